#include "components/htmlhint/GifFrames.h"

#include <cstring>

namespace GifFrames {

namespace {

int Word(std::span<const uint8_t> Data, size_t At) {
    if (At + 2 > Data.size()) return 0;
    return Data[At] | (Data[At + 1] << 8);
}

}  // namespace

bool IsGif(std::span<const uint8_t> Data) {
    return Data.size() >= 4 && std::memcmp(Data.data(), "GIF8", 4) == 0;
}

int ScreenWidth(std::span<const uint8_t> Data) {
    return IsGif(Data) ? Word(Data, 6) : 0;
}

int ScreenHeight(std::span<const uint8_t> Data) {
    return IsGif(Data) ? Word(Data, 8) : 0;
}

std::vector<TFrame> Frames(std::span<const uint8_t> Data) {
    std::vector<TFrame> Out;
    if (!IsGif(Data)) return Out;
    for (size_t I = 0; I + 8 < Data.size(); ++I) {
        if (Data[I] != 0x21 || Data[I + 1] != 0xF9 || Data[I + 2] != 0x04 || Data[I + 8] != 0x2C)
            continue;
        TFrame F;
        F.Offset = I;
        F.Left = Word(Data, I + 9);
        F.Top = Word(Data, I + 11);
        F.Width = Word(Data, I + 13);
        F.Height = Word(Data, I + 15);
        Out.push_back(F);
    }
    return Out;
}

std::vector<uint8_t> KeepFrame(std::span<const uint8_t> Data, int Number) {
    const std::vector<TFrame> All = Frames(Data);
    if (Number < 1 || size_t(Number) > All.size()) return {Data.begin(), Data.end()};
    std::vector<uint8_t> Out(Data.begin(), Data.begin() + std::ptrdiff_t(All.front().Offset));
    Out.insert(Out.end(), Data.begin() + std::ptrdiff_t(All[size_t(Number) - 1].Offset),
               Data.end());
    return Out;
}

}  // namespace GifFrames

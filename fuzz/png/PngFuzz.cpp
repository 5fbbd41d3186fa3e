// Feeds arbitrary bytes to the PNG decoder as a file, with gamma correction and the detailed log
// on so every path runs. Any outcome but a crash, a sanitizer report or unbounded memory is fine:
// the decoder either places the pixels or raises EIpPNGError. A file it decodes must give a
// picture of the size its one header chunk declares, and a second decode the same pixels.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "htmlview/png/PngDecoder.h"

namespace {

[[noreturn]] void Fail(const char* What) {
    std::fprintf(stderr, "%s\n", What);
    std::abort();
}

uint32_t BigEndian(const uint8_t* P) {
    return uint32_t(P[0]) << 24 | uint32_t(P[1]) << 16 | uint32_t(P[2]) << 8 | P[3];
}

struct TSize {
    uint32_t Width;
    uint32_t Height;
};

// The size the file's header chunk declares, walking the chunks by their lengths; nothing when
// there is no complete one, or more than one.
std::optional<TSize> DeclaredSize(const uint8_t* Data, size_t Size) {
    std::optional<TSize> Found;
    int Headers = 0;
    for (size_t At = 8; Size >= 8 && Size - At >= 8;) {
        const uint32_t Length = BigEndian(Data + At);
        const std::string Type(reinterpret_cast<const char*>(Data + At + 4), 4);
        if (Type == "IHDR") {
            ++Headers;
            if (Length >= 8 && Size - At - 8 >= 8)
                Found = TSize{BigEndian(Data + At + 8), BigEndian(Data + At + 12)};
        }
        if (Type == "IEND" || Length > Size - At - 8 || Size - At - 8 - Length < 4) break;
        At += 8 + size_t(Length) + 4;
    }
    if (Headers != 1) return std::nullopt;
    return Found;
}

bool Decode(const uint8_t* Data, size_t Size, TPngPixelBuffer& Pixels) {
    TStringStream Stream(std::string(reinterpret_cast<const char*>(Data), Size));
    TIpPNGDecoder Decoder;
    Decoder.CorrectGamma = true;
    Decoder.ShowWarnings = true;
    Decoder.OnShowWarning = [](const std::string&) {};
    try {
        Decoder.Decode(Stream, Pixels);
        return true;
    } catch (const EIpPNGError&) {
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TPngPixelBuffer Pixels;
    if (!Decode(Data, Size, Pixels)) return 0;
    if (const std::optional<TSize> Declared = DeclaredSize(Data, Size))
        if (uint32_t(Pixels.Width()) != Declared->Width ||
            uint32_t(Pixels.Height()) != Declared->Height)
            Fail("the picture's size is not the one its header declares");
    TPngPixelBuffer Again;
    if (!Decode(Data, Size, Again)) Fail("a file decoded once failed the second time");
    if (Again.Width() != Pixels.Width() || Again.Height() != Pixels.Height())
        Fail("a second decode gave another size");
    for (int Y = 0; Y < Pixels.Height(); ++Y)
        for (int X = 0; X < Pixels.Width(); ++X)
            if (Again.Pixel(X, Y) != Pixels.Pixel(X, Y)) Fail("a second decode gave other pixels");
    return 0;
}

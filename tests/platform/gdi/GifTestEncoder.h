#pragma once
// GIF files for tests, written byte by byte: a four-colour global table (0 red, 1 green, 2 blue,
// 3 white unless given) and frames of palette indices with their place, delay, disposal and
// transparent index in a graphic control block of their own (or none). The LZW data restarts the
// code table after every two pixels, so the codes stay 3 bits wide.
#include <QColor>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace GifTest {

struct TFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    std::vector<uint8_t> Pixels;  // Width * Height indices 0 to 3, row by row
    int Delay = 10;
    int Disposal = 0;
    int Transparent = -1;
    bool Interlaced = false;
    // Without a graphic control block the frame has no delay, disposal or transparency.
    bool Control = true;
};

// A frame of one index.
inline TFrame Solid(int Left, int Top, int Width, int Height, uint8_t Index) {
    return {Left, Top, Width, Height, std::vector<uint8_t>(size_t(Width) * size_t(Height), Index)};
}

inline std::vector<uint8_t> Encode(int Width, int Height, const std::vector<TFrame>& Frames,
                                   const std::vector<QRgb>& Palette = {
                                       qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                                       qRgb(255, 255, 255)}) {
    std::vector<uint8_t> G = {'G', 'I', 'F', '8', '9', 'a'};
    auto Word = [&](int V) {
        G.push_back(uint8_t(V & 0xFF));
        G.push_back(uint8_t((V >> 8) & 0xFF));
    };
    Word(Width);
    Word(Height);
    G.insert(G.end(), {0x81, 0, 0});
    for (size_t I = 0; I < 4; ++I) {
        const QRgb C = I < Palette.size() ? Palette[I] : qRgb(0, 0, 0);
        G.insert(G.end(), {uint8_t(qRed(C)), uint8_t(qGreen(C)), uint8_t(qBlue(C))});
    }
    for (const TFrame& F : Frames) {
        if (F.Control) {
            const uint8_t Packed = uint8_t((F.Disposal & 7) << 2 | (F.Transparent >= 0 ? 1 : 0));
            G.insert(G.end(), {0x21, 0xF9, 0x04, Packed});
            Word(F.Delay);
            G.push_back(uint8_t(std::max(F.Transparent, 0)));
            G.push_back(0);
        }
        G.push_back(0x2C);
        Word(F.Left);
        Word(F.Top);
        Word(F.Width);
        Word(F.Height);
        G.push_back(F.Interlaced ? 0x40 : 0);
        G.push_back(2);  // minimum code size
        constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
        std::vector<int> Rows;
        for (int Pass = 0; Pass < (F.Interlaced ? 4 : 1); ++Pass)
            for (int Y = F.Interlaced ? kStart[Pass] : 0; Y < F.Height;
                 Y += F.Interlaced ? kStep[Pass] : 1)
                Rows.push_back(Y);
        std::vector<uint8_t> Bits;
        uint32_t Acc = 0;
        int Used = 0;
        auto Code = [&](int C) {
            Acc |= uint32_t(C) << Used;
            Used += 3;
            while (Used >= 8) {
                Bits.push_back(uint8_t(Acc & 0xFF));
                Acc >>= 8;
                Used -= 8;
            }
        };
        size_t Written = 0;
        for (int Y : Rows)
            for (int X = 0; X < F.Width; ++X) {
                if (Written++ % 2 == 0) Code(4);
                Code(F.Pixels[size_t(Y) * size_t(F.Width) + size_t(X)] & 3);
            }
        Code(5);
        if (Used > 0) Bits.push_back(uint8_t(Acc & 0xFF));
        for (size_t At = 0; At < Bits.size(); At += 255) {
            const size_t N = std::min<size_t>(255, Bits.size() - At);
            G.push_back(uint8_t(N));
            G.insert(G.end(), Bits.begin() + std::ptrdiff_t(At),
                     Bits.begin() + std::ptrdiff_t(At + N));
        }
        G.push_back(0);
    }
    G.push_back(0x3B);
    return G;
}

}  // namespace GifTest

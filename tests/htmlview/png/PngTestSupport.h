#pragma once
// Decoding helpers shared by the PNG tests.
#include <cstdint>
#include <string>
#include <vector>

#include "htmlview/png/PngDecoder.h"
#include "tests/htmlview/png/PngTestEncoder.h"

// Decodes Bytes; the message of the EIpPNGError raised, or "" when none was.
inline std::string DecodeBytes(TIpPNGDecoder& Decoder, TPngPixelTarget& Target,
                               const std::string& Bytes) {
    TStringStream Stream(Bytes);
    try {
        Decoder.Decode(Stream, Target);
    } catch (const EIpPNGError& E) {
        return E.Message();
    }
    return "";
}

inline uint32_t Pixel(uint32_t R, uint32_t G, uint32_t B) {
    return 0xFF000000u | R << 16 | G << 8 | B;
}

// What a sample becomes as an 8-bit colour component.
inline uint32_t Component(uint16_t Sample, uint8_t Depth) {
    if (Depth == 16) return Sample >> 8;
    return Sample * 255u / ((1u << Depth) - 1);
}

// The pixel a sample image shows at (X, Y); Palette holds the pixels of palette entries.
inline uint32_t ExpectedPixel(const TSampleImage& Image, uint32_t X, uint32_t Y,
                              const std::vector<uint32_t>& Palette = {}) {
    const uint8_t D = Image.Depth;
    switch (Image.ColorType) {
        case 0:
        case 4: {
            const uint32_t G = Component(Image.At(X, Y, 0), D);
            return Pixel(G, G, G);
        }
        case 3:
            return Palette.at(Image.At(X, Y, 0));
        default:
            return Pixel(Component(Image.At(X, Y, 0), D), Component(Image.At(X, Y, 1), D),
                         Component(Image.At(X, Y, 2), D));
    }
}

// The entries of a string list (a log or the comments), to compare as a whole.
inline std::vector<std::string> LogLines(const TStringList& Log) {
    std::vector<std::string> Lines;
    for (int I = 0; I < Log.Count(); ++I) Lines.push_back(Log[I]);
    return Lines;
}

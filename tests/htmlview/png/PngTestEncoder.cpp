#include "tests/htmlview/png/PngTestEncoder.h"

#include <zlib.h>

#include <cstdlib>
#include <stdexcept>

uint32_t TSampleImage::Channels(uint8_t ColorType) {
    switch (ColorType) {
        case 2:
            return 3;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 1;
    }
}

TSampleImage PatternImage(uint32_t Width, uint32_t Height, uint8_t Depth, uint8_t ColorType) {
    TSampleImage Image{Width, Height, Depth, ColorType, {}};
    const uint32_t Channels = TSampleImage::Channels(ColorType);
    const uint32_t Modulus = 1u << Depth;
    Image.Samples.resize(size_t(Width) * Height * Channels);
    for (uint32_t Y = 0; Y < Height; ++Y)
        for (uint32_t X = 0; X < Width; ++X)
            for (uint32_t C = 0; C < Channels; ++C)
                Image.At(X, Y, C) =
                    uint16_t((X * 37u + Y * 101u + C * 53u + X * Y * 7u) * 2654435761u % Modulus);
    return Image;
}

std::string BigEndian32(uint32_t Value) {
    std::string Out(4, '\0');
    for (int I = 0; I < 4; ++I) Out[size_t(I)] = char(Value >> (24 - 8 * I));
    return Out;
}

std::string PngChunkWithLength(uint32_t DeclaredLength, std::string_view Type,
                               std::string_view Data) {
    std::string Body(Type);
    Body += Data;
    const uLong Crc = crc32(0, reinterpret_cast<const Bytef*>(Body.data()), uInt(Body.size()));
    return BigEndian32(DeclaredLength) + Body + BigEndian32(uint32_t(Crc));
}

std::string PngChunk(std::string_view Type, std::string_view Data) {
    return PngChunkWithLength(uint32_t(Data.size()), Type, Data);
}

std::string PngHeader(uint32_t Width, uint32_t Height, uint8_t Depth, uint8_t ColorType,
                      uint8_t Interlace) {
    std::string Data = BigEndian32(Width) + BigEndian32(Height);
    Data += char(Depth);
    Data += char(ColorType);
    Data += '\0';  // compression
    Data += '\0';  // filter method
    Data += char(Interlace);
    return PngChunk("IHDR", Data);
}

namespace {

// One row of pixels [X0, X0 + Step, ...) of row Y, packed as the format stores samples.
std::string PackRow(const TSampleImage& Image, uint32_t Y, uint32_t X0, uint32_t Step) {
    const uint32_t Channels = TSampleImage::Channels(Image.ColorType);
    std::string Out;
    uint32_t Bits = 0;
    uint32_t Pending = 0;
    for (uint32_t X = X0; X < Image.Width; X += Step)
        for (uint32_t C = 0; C < Channels; ++C) {
            const uint16_t V = Image.At(X, Y, C);
            if (Image.Depth == 16) {
                Out += char(V >> 8);
                Out += char(V & 0xFF);
            } else if (Image.Depth == 8) {
                Out += char(V);
            } else {
                Pending = Pending << Image.Depth | V;
                Bits += Image.Depth;
                if (Bits == 8) {
                    Out += char(Pending);
                    Bits = Pending = 0;
                }
            }
        }
    if (Bits > 0) Out += char(Pending << (8 - Bits));
    return Out;
}

int PaethPredict(int A, int B, int C) {
    const int P = A + B - C;
    const int PA = std::abs(P - A), PB = std::abs(P - B), PC = std::abs(P - C);
    if (PA <= PB && PA <= PC) return A;
    return PB <= PC ? B : C;
}

// The filtered form of Row given the (unfiltered) row above it.
std::string FilterRow(uint8_t Filter, const std::string& Row, const std::string& Prior,
                      size_t Bpp) {
    std::string Out(Row.size(), '\0');
    for (size_t I = 0; I < Row.size(); ++I) {
        const int X = uint8_t(Row[I]);
        const int A = I >= Bpp ? uint8_t(Row[I - Bpp]) : 0;
        const int B = uint8_t(Prior[I]);
        const int C = I >= Bpp ? uint8_t(Prior[I - Bpp]) : 0;
        int Predicted = 0;
        switch (Filter) {
            case 1:
                Predicted = A;
                break;
            case 2:
                Predicted = B;
                break;
            case 3:
                Predicted = (A + B) / 2;
                break;
            case 4:
                Predicted = PaethPredict(A, B, C);
                break;
            default:
                Predicted = 0;
                break;
        }
        Out[I] = char(uint8_t(X - Predicted));
    }
    return Out;
}

}  // namespace

std::string FilteredRows(const TSampleImage& Image, uint8_t Interlace,
                         const std::vector<uint8_t>& Filters) {
    struct TPassShape {
        uint32_t X0, Y0, XStep, YStep;
    };
    std::vector<TPassShape> Passes = {{0, 0, 1, 1}};
    if (Interlace == 1)
        Passes = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                  {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    const size_t Bits = size_t(Image.Depth) * TSampleImage::Channels(Image.ColorType);
    const size_t Bpp = Bits < 8 ? 1 : Bits / 8;
    std::string Out;
    for (const TPassShape& Pass : Passes) {
        if (Pass.X0 >= Image.Width || Pass.Y0 >= Image.Height) continue;
        std::string Prior;
        uint32_t Row = 0;
        for (uint32_t Y = Pass.Y0; Y < Image.Height; Y += Pass.YStep, ++Row) {
            const std::string Raw = PackRow(Image, Y, Pass.X0, Pass.XStep);
            if (Prior.empty()) Prior.assign(Raw.size(), '\0');
            const uint8_t Filter = Filters[Row % Filters.size()];
            Out += char(Filter);
            Out += FilterRow(Filter, Raw, Prior, Bpp);
            Prior = Raw;
        }
    }
    return Out;
}

std::string Deflate(std::string_view Raw) {
    uLongf Size = compressBound(uLong(Raw.size()));
    std::string Out(Size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(Out.data()), &Size,
                  reinterpret_cast<const Bytef*>(Raw.data()), uLong(Raw.size()), 6) != Z_OK)
        throw std::runtime_error("compress2 failed");
    Out.resize(Size);
    return Out;
}

std::string EncodePng(const TSampleImage& Image, uint8_t Interlace,
                      const std::vector<uint8_t>& Filters,
                      const std::vector<std::string>& ExtraChunks) {
    std::string File = kPngSignatureBytes;
    File += PngHeader(Image.Width, Image.Height, Image.Depth, Image.ColorType, Interlace);
    for (const std::string& Chunk : ExtraChunks) File += Chunk;
    File += PngChunk("IDAT", Deflate(FilteredRows(Image, Interlace, Filters)));
    File += PngChunk("IEND", "");
    return File;
}

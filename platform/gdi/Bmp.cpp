// BMP files and device-independent bitmaps: a reader that trusts no length in the data, and a
// writer for 1-, 24- and 32-bit pictures.
#include <bit>
#include <cstring>

#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/Graphics.h"
#include "platform/gdi/Limits.h"

namespace GdiInternal {
namespace {

[[noreturn]] void Bad(const std::string& Why) {
    throw EInvalidGraphic("Bitmap image is not valid: " + Why);
}

// Reads little-endian values at checked offsets of the data.
class TReader {
  public:
    explicit TReader(std::span<const uint8_t> Data) : FData(Data) {}
    size_t Size() const { return FData.size(); }
    void Need(size_t At, size_t Count, const char* What) const {
        if (At > FData.size() || Count > FData.size() - At)
            Bad(std::string(What) + " runs past the end of the data");
    }
    uint32_t U32(size_t At) const {
        Need(At, 4, "a header");
        return uint32_t(FData[At]) | (uint32_t(FData[At + 1]) << 8) |
               (uint32_t(FData[At + 2]) << 16) | (uint32_t(FData[At + 3]) << 24);
    }
    uint16_t U16(size_t At) const {
        Need(At, 2, "a header");
        return uint16_t(FData[At] | (FData[At + 1] << 8));
    }
    int32_t I32(size_t At) const { return int32_t(U32(At)); }
    const uint8_t* At(size_t Pos) const { return FData.data() + Pos; }

  private:
    std::span<const uint8_t> FData;
};

struct TMask {
    uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;
    uint8_t Get(uint32_t V) const {
        if (!Bits) return 0;
        const uint32_t C = (V & Mask) >> Shift;
        if (Bits >= 8) return uint8_t(C >> (Bits - 8));
        const uint32_t Max = (1u << Bits) - 1;
        return uint8_t((C * 255 + Max / 2) / Max);
    }
};

TMask MakeMask(uint32_t M) {
    TMask R;
    R.Mask = M;
    if (!M) return R;
    R.Shift = std::countr_zero(M);
    const uint32_t Run = M >> R.Shift;
    if ((Run & (Run + 1)) != 0) Bad("a colour mask is not contiguous");
    R.Bits = std::popcount(Run);
    return R;
}

struct THeader {
    int64_t Width = 0, Height = 0;
    bool TopDown = false;
    int Bpp = 0;
    uint32_t Compression = BI_RGB;
    uint32_t ColorsUsed = 0;
    bool Core = false;
    TMask Red, Green, Blue;
    size_t HeaderEnd = 0;  // where the colour table (or the masks) start
};

THeader ReadInfoHeader(const TReader& R, size_t Pos) {
    THeader H;
    const uint32_t Size = R.U32(Pos);
    if (Size == 12) {
        H.Core = true;
        H.Width = R.U16(Pos + 4);
        H.Height = R.U16(Pos + 6);
        H.Bpp = R.U16(Pos + 10);
    } else if (Size >= 40 && Size <= 1024) {
        R.Need(Pos, 40, "the information header");
        H.Width = R.I32(Pos + 4);
        const int32_t Height = R.I32(Pos + 8);
        H.TopDown = Height < 0;
        H.Height = H.TopDown ? -int64_t(Height) : int64_t(Height);
        H.Bpp = R.U16(Pos + 14);
        H.Compression = R.U32(Pos + 16);
        H.ColorsUsed = R.U32(Pos + 32);
    } else {
        Bad("unknown header size " + std::to_string(Size));
    }
    R.Need(Pos, Size, "the information header");
    H.HeaderEnd = Pos + Size;
    if (H.Width <= 0 || H.Height <= 0) Bad("the size is empty or negative");
    if (H.Width > GdiLimits::kMaxBitmapSide || H.Height > GdiLimits::kMaxBitmapSide ||
        H.Width * H.Height > GdiLimits::kMaxBitmapPixels)
        Bad("the picture is too large");
    switch (H.Bpp) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            break;
        default:
            Bad("unsupported depth " + std::to_string(H.Bpp));
    }
    const bool Rle = H.Compression == BI_RLE8 || H.Compression == BI_RLE4;
    if (H.Compression == BI_RLE8 && H.Bpp != 8) Bad("RLE8 needs 8 bits per pixel");
    if (H.Compression == BI_RLE4 && H.Bpp != 4) Bad("RLE4 needs 4 bits per pixel");
    if (Rle && H.TopDown) Bad("compressed pictures cannot be top-down");
    if (H.Compression == BI_BITFIELDS || H.Compression == 6) {
        if (H.Bpp != 16 && H.Bpp != 32) Bad("bit fields need 16 or 32 bits per pixel");
        // The masks sit inside larger headers, or right after a 40-byte one.
        size_t MaskPos = Pos + 40;
        if (Size == 40) {
            R.Need(MaskPos, 12, "the colour masks");
            H.HeaderEnd = MaskPos + (H.Compression == 6 ? 16 : 12);
            R.Need(MaskPos, H.HeaderEnd - MaskPos, "the colour masks");
        } else if (Size < 52) {
            Bad("the header is too short for its colour masks");
        }
        H.Red = MakeMask(R.U32(MaskPos));
        H.Green = MakeMask(R.U32(MaskPos + 4));
        H.Blue = MakeMask(R.U32(MaskPos + 8));
    } else if (H.Compression != BI_RGB && !Rle) {
        Bad("unsupported compression " + std::to_string(H.Compression));
    } else if (H.Bpp == 16) {
        H.Red = MakeMask(0x7C00);
        H.Green = MakeMask(0x03E0);
        H.Blue = MakeMask(0x001F);
    } else if (H.Bpp == 32) {
        H.Red = MakeMask(0xFF0000);
        H.Green = MakeMask(0x00FF00);
        H.Blue = MakeMask(0x0000FF);
    }
    return H;
}

std::vector<uint32_t> ReadPalette(const TReader& R, const THeader& H, size_t Limit) {
    std::vector<uint32_t> Palette;
    if (H.Bpp > 8) return Palette;
    const int64_t Entries = H.ColorsUsed ? int64_t(H.ColorsUsed) : (int64_t(1) << H.Bpp);
    if (Entries > GdiLimits::kMaxPaletteEntries) Bad("the colour table is too large");
    const size_t Each = H.Core ? 3 : 4;
    // A table that runs into the pixels is cut where they start.
    const size_t Room = Limit > H.HeaderEnd ? (Limit - H.HeaderEnd) / Each : 0;
    const size_t N = std::min(size_t(Entries), Room);
    if (N == 0) Bad("the colour table is missing");
    R.Need(H.HeaderEnd, N * Each, "the colour table");
    for (size_t I = 0; I < N; ++I) {
        const uint8_t* P = R.At(H.HeaderEnd + I * Each);
        Palette.push_back(0xFF000000u | (uint32_t(P[2]) << 16) | (uint32_t(P[1]) << 8) | P[0]);
    }
    return Palette;
}

uint32_t PaletteColour(const std::vector<uint32_t>& Palette, uint32_t Index) {
    // Indexes past the table read as black, as they do elsewhere.
    return Index < Palette.size() ? Palette[Index] : 0xFF000000u;
}

int64_t PlainStride(const THeader& H) {
    return ((H.Width * H.Bpp + 31) / 32) * 4;
}

void ReadPlain(const TReader& R, const THeader& H, const std::vector<uint32_t>& Palette, size_t Pos,
               QImage& Out) {
    const int64_t Stride = PlainStride(H);
    for (int64_t Row = 0; Row < H.Height; ++Row) {
        const uint8_t* P = R.At(Pos + size_t(Row * Stride));
        const int Y = int(H.TopDown ? Row : H.Height - 1 - Row);
        auto* Line = reinterpret_cast<uint32_t*>(Out.scanLine(Y));
        for (int64_t X = 0; X < H.Width; ++X) {
            uint32_t V;
            switch (H.Bpp) {
                case 1:
                    V = PaletteColour(Palette, (P[X / 8] >> (7 - X % 8)) & 1);
                    break;
                case 4:
                    V = PaletteColour(Palette, (P[X / 2] >> (X % 2 ? 0 : 4)) & 15);
                    break;
                case 8:
                    V = PaletteColour(Palette, P[X]);
                    break;
                case 24:
                    V = 0xFF000000u | (uint32_t(P[X * 3 + 2]) << 16) |
                        (uint32_t(P[X * 3 + 1]) << 8) | P[X * 3];
                    break;
                default: {
                    uint32_t Raw;
                    if (H.Bpp == 16) {
                        Raw = uint32_t(P[X * 2] | (P[X * 2 + 1] << 8));
                    } else {
                        std::memcpy(&Raw, P + X * 4, 4);
                    }
                    V = 0xFF000000u | (uint32_t(H.Red.Get(Raw)) << 16) |
                        (uint32_t(H.Green.Get(Raw)) << 8) | H.Blue.Get(Raw);
                }
            }
            Line[X] = V;
        }
    }
}

void ReadRle(const TReader& R, const THeader& H, const std::vector<uint32_t>& Palette, size_t Pos,
             QImage& Out) {
    const bool Four = H.Compression == BI_RLE4;
    int64_t X = 0, Row = 0;
    size_t I = Pos;
    auto Put = [&](uint32_t Index) {
        if (X < H.Width && Row < H.Height)
            Out.setPixel(int(X), int(H.Height - 1 - Row), PaletteColour(Palette, Index));
        ++X;
    };
    Out.fill(PaletteColour(Palette, 0));
    while (Row < H.Height) {
        R.Need(I, 2, "the compressed data");
        const uint8_t Count = *R.At(I), Value = *R.At(I + 1);
        I += 2;
        if (Count) {
            for (int K = 0; K < Count; ++K) Put(Four ? (K % 2 ? Value & 15 : Value >> 4) : Value);
            continue;
        }
        if (Value == 0) {  // end of line
            X = 0;
            ++Row;
        } else if (Value == 1) {  // end of picture
            break;
        } else if (Value == 2) {  // move right and up
            R.Need(I, 2, "the compressed data");
            X += *R.At(I);
            Row += *R.At(I + 1);
            I += 2;
        } else {  // a literal run, padded to 16 bits
            const size_t Bytes = Four ? (Value + 1) / 2 : Value;
            R.Need(I, Bytes, "the compressed data");
            for (int K = 0; K < Value; ++K) {
                const uint8_t B = *R.At(I + (Four ? K / 2 : K));
                Put(Four ? (K % 2 ? B & 15 : B >> 4) : B);
            }
            I += Bytes + (Bytes & 1);
        }
    }
}

}  // namespace

QImage ReadBmp(std::span<const uint8_t> Data, int* BitsPerPixel, bool* Monochrome) {
    const TReader R(Data);
    size_t Pos = 0;
    size_t PixelsAt = 0;
    bool HaveOffset = false;
    if (Data.size() >= 2 && Data[0] == 'B' && Data[1] == 'M') {
        R.Need(0, 14, "the file header");
        PixelsAt = R.U32(10);
        HaveOffset = true;
        Pos = 14;
    }
    const THeader H = ReadInfoHeader(R, Pos);
    if (HaveOffset && (PixelsAt < H.HeaderEnd || PixelsAt >= Data.size()))
        Bad("the pixel offset points outside the data");
    const std::vector<uint32_t> Palette = ReadPalette(R, H, HaveOffset ? PixelsAt : Data.size());
    if (!HaveOffset) PixelsAt = H.HeaderEnd + Palette.size() * (H.Core ? 3 : 4);
    const bool Rle = H.Compression == BI_RLE8 || H.Compression == BI_RLE4;
    if (Rle) {
        const int64_t Compressed = PixelsAt < Data.size() ? int64_t(Data.size() - PixelsAt) : 0;
        if (H.Width * H.Height > Compressed * GdiLimits::kMaxRlePixelsPerByte)
            Bad("the compressed data is too short for the size of the picture");
    } else {
        // The picture is allocated only once its rows are known to be there: a header of a few
        // bytes may claim the largest picture the limits allow.
        R.Need(PixelsAt, size_t(PlainStride(H) * H.Height), "the pixel data");
    }
    QImage Out(int(H.Width), int(H.Height), QImage::Format_RGB32);
    if (Out.isNull()) Bad("out of memory");
    if (Rle)
        ReadRle(R, H, Palette, PixelsAt, Out);
    else
        ReadPlain(R, H, Palette, PixelsAt, Out);
    if (BitsPerPixel) *BitsPerPixel = H.Bpp;
    if (Monochrome) {
        *Monochrome = H.Bpp == 1 && Palette.size() == 2 && (Palette[0] & 0xFFFFFF) == 0 &&
                      (Palette[1] & 0xFFFFFF) == 0xFFFFFF;
    }
    return Out;
}

std::string WriteBmp(const QImage& Image, int Bpp) {
    if (Bpp != 1 && Bpp != 24) Bpp = 32;
    const int64_t W = Image.width(), H = Image.height();
    const int64_t Stride = ((W * Bpp + 31) / 32) * 4;
    const int64_t PaletteBytes = Bpp == 1 ? 8 : 0;
    const int64_t Offset = 14 + 40 + PaletteBytes;
    const int64_t Total = Offset + Stride * H;
    std::string Out(size_t(Total), '\0');
    auto Put32 = [&](size_t At, uint32_t V) {
        for (int I = 0; I < 4; ++I) Out[At + size_t(I)] = char(V >> (8 * I));
    };
    auto Put16 = [&](size_t At, uint16_t V) {
        Out[At] = char(V);
        Out[At + 1] = char(V >> 8);
    };
    Out[0] = 'B';
    Out[1] = 'M';
    Put32(2, uint32_t(Total));
    Put32(10, uint32_t(Offset));
    Put32(14, 40);
    Put32(18, uint32_t(W));
    Put32(22, uint32_t(H));
    Put16(26, 1);
    Put16(28, uint16_t(Bpp));
    Put32(34, uint32_t(Stride * H));
    Put32(38, 3780);  // 96 pixels per inch
    Put32(42, 3780);
    if (Bpp == 1) Put32(58, 0x00FFFFFF);  // entry 0 black, entry 1 white
    const QImage Src = Image.convertToFormat(QImage::Format_RGB32);
    for (int64_t Row = 0; Row < H; ++Row) {
        const auto* Line = reinterpret_cast<const uint32_t*>(Src.constScanLine(int(H - 1 - Row)));
        char* P = Out.data() + Offset + Row * Stride;
        for (int64_t X = 0; X < W; ++X) {
            const uint32_t V = Line[X];
            if (Bpp == 1) {
                if ((V & 0xFFFFFF) == 0xFFFFFF) P[X / 8] = char(P[X / 8] | (0x80 >> (X % 8)));
            } else if (Bpp == 24) {
                P[X * 3] = char(V);
                P[X * 3 + 1] = char(V >> 8);
                P[X * 3 + 2] = char(V >> 16);
            } else {
                std::memcpy(P + X * 4, &V, 4);
            }
        }
    }
    return Out;
}

}  // namespace GdiInternal

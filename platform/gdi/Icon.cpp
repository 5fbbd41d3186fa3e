// Icon and cursor files (.ico, .cur): a directory of pictures, each a device-independent bitmap
// of twice its height (the colour picture, then the 1-bit AND mask). Read as defensively as BMP.
#include <cstring>

#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/Graphics.h"
#include "platform/gdi/Limits.h"
#include "resources/ResourceData.h"

namespace GdiInternal {
namespace {

[[noreturn]] void Bad(const std::string& Why) {
    throw EInvalidGraphic("Icon image is not valid: " + Why);
}

uint32_t U32(std::span<const uint8_t> D, size_t At) {
    if (At > D.size() || D.size() - At < 4) Bad("a header runs past the end of the data");
    return uint32_t(D[At]) | (uint32_t(D[At + 1]) << 8) | (uint32_t(D[At + 2]) << 16) |
           (uint32_t(D[At + 3]) << 24);
}

uint16_t U16(std::span<const uint8_t> D, size_t At) {
    if (At > D.size() || D.size() - At < 2) Bad("a header runs past the end of the data");
    return uint16_t(D[At] | (D[At + 1] << 8));
}

}  // namespace

std::shared_ptr<TIconObject> ReadIcon(std::span<const uint8_t> Data) {
    if (U16(Data, 0) != 0) Bad("not an icon or cursor file");
    const uint16_t Type = U16(Data, 2);
    const uint16_t Count = U16(Data, 4);
    if (Type != 1 && Type != 2) Bad("not an icon or cursor file");
    if (Count == 0 || Count > GdiLimits::kMaxIconImages) Bad("bad number of pictures");
    // The largest picture, the deepest among equals.
    size_t Best = 0;
    int64_t BestScore = -1;
    for (size_t I = 0; I < Count; ++I) {
        const size_t E = 6 + I * 16;
        if (E + 16 > Data.size()) Bad("the directory runs past the end of the data");
        const int W = Data[E] ? Data[E] : 256, H = Data[E + 1] ? Data[E + 1] : 256;
        const int64_t Score = int64_t(W) * H * 64 + (Type == 1 ? U16(Data, E + 6) : 0);
        if (Score > BestScore) {
            BestScore = Score;
            Best = E;
        }
    }
    const uint32_t Size = U32(Data, Best + 8), Offset = U32(Data, Best + 12);
    if (Offset > Data.size() || Size > Data.size() - Offset || Size < 40)
        Bad("a picture lies outside the data");
    std::span<const uint8_t> Dib = Data.subspan(Offset, Size);
    if (Dib.size() >= 8 && std::memcmp(Dib.data(), "\x89PNG", 4) == 0)
        Bad("compressed (PNG) pictures are not supported");
    const uint32_t HeaderSize = U32(Dib, 0);
    const int32_t Width = int32_t(U32(Dib, 4)), DoubleHeight = int32_t(U32(Dib, 8));
    const int Bpp = U16(Dib, 14);
    if (HeaderSize < 40 || HeaderSize > Dib.size()) Bad("bad picture header");
    if (Width <= 0 || Width > 256 || DoubleHeight <= 0 || DoubleHeight > 512 || DoubleHeight % 2)
        Bad("bad picture size");
    const int Height = DoubleHeight / 2;
    // The colour part is an ordinary bitmap of half the stored height.
    std::vector<uint8_t> Copy(Dib.begin(), Dib.end());
    Copy[8] = uint8_t(Height);
    Copy[9] = Copy[10] = Copy[11] = 0;
    bool Mono = false;
    int ReadBpp = 0;
    const QImage Colour = ReadBmp(Copy, &ReadBpp, &Mono);
    // Where the mask starts: after the header, the colour table and the colour rows.
    const uint32_t Used = U32(Dib, 32);
    const size_t Entries = Bpp <= 8 ? (Used ? Used : (size_t(1) << Bpp)) : 0;
    const size_t ColourStride = ((size_t(Width) * size_t(Bpp) + 31) / 32) * 4;
    const size_t MaskAt = HeaderSize + Entries * 4 + ColourStride * size_t(Height);
    const size_t MaskStride = ((size_t(Width) + 31) / 32) * 4;
    auto I = std::make_shared<TIconObject>();
    I->Icon = Type == 1;
    I->Color = Colour;
    I->Mask = QImage(Width, Height, QImage::Format_RGB32);
    I->Mask.fill(kBlack);
    const bool HaveMask =
        MaskAt <= Dib.size() && MaskStride * size_t(Height) <= Dib.size() - MaskAt;
    for (int Y = 0; Y < Height; ++Y) {
        const int Row = Height - 1 - Y;
        for (int X = 0; X < Width; ++X) {
            bool Clear = false;
            if (HaveMask)
                Clear = (Dib[MaskAt + size_t(Row) * MaskStride + size_t(X / 8)] >> (7 - X % 8)) & 1;
            if (Bpp == 32) {
                // 32-bit pictures carry their own alpha: fully transparent counts as masked.
                const uint8_t Alpha =
                    Dib[HeaderSize + size_t(Row) * ColourStride + size_t(X) * 4 + 3];
                Clear = Clear || Alpha == 0;
            }
            if (Clear) {
                I->Mask.setPixel(X, Y, kWhite);
                I->Color.setPixel(X, Y, kBlack);
            }
        }
    }
    if (Type == 2) I->HotSpot = POINT{U16(Data, Best + 4), U16(Data, Best + 6)};
    return I;
}

}  // namespace GdiInternal

using namespace GdiInternal;

HICON CreateIconFromFileData(std::span<const uint8_t> Data) {
    return Add(ReadIcon(Data));
}

HICON LoadIconResource(const std::string& Name) {
    try {
        const auto Data = FindResourceData(Name);
        return Data.empty() ? 0 : CreateIconFromFileData(Data);
    } catch (const Exception&) {
        return 0;
    }
}

POINT GetCursorHotSpot(HCURSOR Cursor) {
    auto I = FindAs<TIconObject>(Cursor, OBJ_ICON_INTERNAL);
    return I ? I->HotSpot : POINT{};
}

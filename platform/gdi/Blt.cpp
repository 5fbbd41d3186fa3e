// Raster operations: BitBlt, StretchBlt, PatBlt and MaskBlt over 32-bit scan lines.
//
// Every ternary operation is a byte whose bit i (i = P·4 + S·2 + D) gives the result for one
// combination of pattern, source and destination bits; the generic evaluator ORs one minterm per
// set bit. The frequent operations have loops of their own. Colour and monochrome meet by the
// usual rules: a monochrome source drawn in colour takes the destination's background colour for
// 1 bits and its text colour for 0 bits; a colour source drawn into a monochrome bitmap gives 1
// where a pixel equals the source context's background colour.
#include <algorithm>
#include <cstring>

#include "platform/gdi/GdiInternal.h"

using namespace GdiInternal;

namespace {

bool GGenericOnly = false;

inline uint8_t RopCode(DWORD Rop) {
    return uint8_t(Rop >> 16);
}
inline bool UsesSource(uint8_t R) {
    return (((R >> 2) ^ R) & 0x33) != 0;
}
inline bool UsesPattern(uint8_t R) {
    return (((R >> 4) ^ R) & 0x0F) != 0;
}

inline uint32_t Rop3(uint8_t Code, uint32_t P, uint32_t S, uint32_t D) {
    uint32_t R = 0;
    for (int I = 0; I < 8; ++I) {
        if (!((Code >> I) & 1)) continue;
        R |= ((I & 4) ? P : ~P) & ((I & 2) ? S : ~S) & ((I & 1) ? D : ~D);
    }
    return R | 0xFF000000u;
}

// One row of the operation: D[0..N) with the source row S (may be null when unused) and the
// pattern row Pat (8 pixels, index (X + PatShift) & 7; may be null when unused).
void RowGeneric(uint8_t Code, uint32_t* D, const uint32_t* S, const uint32_t* Pat, int PatShift,
                int N) {
    // One pass over the row per minterm; each pass is branch-free.
    static thread_local std::vector<uint32_t> Out, PatRow;
    Out.assign(size_t(N), 0);
    PatRow.resize(size_t(N));
    for (int X = 0; X < N; ++X) PatRow[size_t(X)] = Pat ? Pat[(X + PatShift) & 7] : 0;
    for (int I = 0; I < 8; ++I) {
        if (!((Code >> I) & 1)) continue;
        const uint32_t MP = (I & 4) ? 0 : ~0u, MS = (I & 2) ? 0 : ~0u, MD = (I & 1) ? 0 : ~0u;
        uint32_t* O = Out.data();
        const uint32_t* P = PatRow.data();
        if (S) {
            for (int X = 0; X < N; ++X) O[X] |= (P[X] ^ MP) & (S[X] ^ MS) & (D[X] ^ MD);
        } else {
            for (int X = 0; X < N; ++X) O[X] |= (P[X] ^ MP) & MS & (D[X] ^ MD);
        }
    }
    for (int X = 0; X < N; ++X) D[X] = Out[size_t(X)] | 0xFF000000u;
}

bool RowSpecial(uint8_t Code, uint32_t* D, const uint32_t* S, const uint32_t* Pat, int PatShift,
                int N) {
    constexpr uint32_t A = 0xFF000000u;
    switch (Code) {
        case 0xCC:  // SRCCOPY
            for (int X = 0; X < N; ++X) D[X] = S[X] | A;
            return true;
        case 0x66:  // SRCINVERT
            for (int X = 0; X < N; ++X) D[X] = (D[X] ^ S[X]) | A;
            return true;
        case 0x88:  // SRCAND
            for (int X = 0; X < N; ++X) D[X] = (D[X] & S[X]) | A;
            return true;
        case 0xEE:  // SRCPAINT
            for (int X = 0; X < N; ++X) D[X] = D[X] | S[X] | A;
            return true;
        case 0xBB:  // MERGEPAINT
            for (int X = 0; X < N; ++X) D[X] = D[X] | ~S[X] | A;
            return true;
        case 0x55:  // DSTINVERT
            for (int X = 0; X < N; ++X) D[X] = ~D[X] | A;
            return true;
        case 0x00:  // BLACKNESS
            for (int X = 0; X < N; ++X) D[X] = A;
            return true;
        case 0xFF:  // WHITENESS
            for (int X = 0; X < N; ++X) D[X] = 0xFFFFFFFFu;
            return true;
        case 0xF0:  // PATCOPY
            for (int X = 0; X < N; ++X) D[X] = Pat[(X + PatShift) & 7] | A;
            return true;
        case 0x5A:  // PATINVERT
            for (int X = 0; X < N; ++X) D[X] = (D[X] ^ Pat[(X + PatShift) & 7]) | A;
            return true;
        case 0xE2:  // DSPDxax: pattern where the source is 1, destination where it is 0
            for (int X = 0; X < N; ++X)
                D[X] = (((D[X] ^ Pat[(X + PatShift) & 7]) & S[X]) ^ D[X]) | A;
            return true;
        default:
            return false;
    }
}

struct TPattern {
    uint32_t Pixels[64];
    bool Transparent[64];  // hatch gaps in transparent background mode
    bool AnyTransparent = false;
    bool Solid = false;  // one colour throughout (a solid brush)
    const uint32_t* Row(int Y) const { return Pixels + (Y & 7) * 8; }
};

bool HatchBit(int Hatch, int X, int Y) {
    switch (Hatch) {
        case HS_HORIZONTAL:
            return Y == 7;
        case HS_VERTICAL:
            return X == 7;
        case HS_FDIAGONAL:
            return X == Y;
        case HS_BDIAGONAL:
            return X + Y == 7;
        case HS_CROSS:
            return X == 7 || Y == 7;
        default:
            return X == Y || X + Y == 7;
    }
}

// False for the null brush.
bool MakePattern(TDCObject& DC, const TBrushObject* Brush, TPattern& Out) {
    if (!Brush || Brush->Log.lbStyle == BS_NULL) return false;
    const TDCState& S = DC.S;
    if (Brush->Log.lbStyle != BS_PATTERN && Brush->Log.lbStyle != BS_HATCHED) {
        std::fill_n(Out.Pixels, 64, DC.Pixel(Brush->Log.lbColor));
        std::fill_n(Out.Transparent, 64, false);
        Out.Solid = true;
        return true;
    }
    for (int I = 0; I < 64; ++I) {
        const int X = I % 8, Y = I / 8;
        uint32_t P;
        Out.Transparent[I] = false;
        if (Brush->Log.lbStyle == BS_PATTERN) {
            const uint32_t V = Brush->Pattern.pixel(X, Y) | 0xFF000000u;
            if (Brush->PatternMono)
                P = DC.Pixel((V & 0xFFFFFF) ? S.BkColor : S.TextColor);
            else
                P = DC.Mono() ? MonoPixel(FromPixel(V)) : V;
        } else if (HatchBit(int(Brush->Log.lbHatch), X, Y)) {
            P = DC.Pixel(Brush->Log.lbColor);
        } else {
            P = DC.Pixel(S.BkColor);
            Out.Transparent[I] = S.BkMode == TRANSPARENT;
            Out.AnyTransparent |= Out.Transparent[I];
        }
        Out.Pixels[I] = P;
    }
    return true;
}

// The source as rows of destination pixels, for the part of the destination that is drawn.
struct TSource {
    std::vector<uint32_t> Buffer;
    const uint32_t* Base = nullptr;
    qsizetype Stride = 0;  // in pixels
    QPoint Origin;         // image coordinates of Base's first pixel
    const uint32_t* At(int X, int Y) const {
        return Base + qsizetype(Y - Origin.y()) * Stride + (X - Origin.x());
    }
};

struct TBltArgs {
    TDCObject* Dest = nullptr;
    QRect DestRect;  // image coordinates, may be partly outside
    TDCObject* Src = nullptr;
    QRect SrcRect;  // image coordinates of the source, may be mirrored by negative sizes
    bool Mirror[2] = {false, false};
    const TBrushObject* Brush = nullptr;
    const QImage* Mask = nullptr;  // MaskBlt: monochrome, image coordinates at DestRect
    QPoint MaskOrigin;
    DWORD Rop = 0;
    // TransparentBlt: source pixels of this colour (0xRRGGBB) are not drawn.
    bool Keyed = false;
    uint32_t Key = 0;
};

// Builds the source pixels for Area, the drawn part of DestRect, converted to the destination's
// kind, sampled when the sizes differ. Only Area is built: a picture stretched far beyond the
// bitmap (a page's <img> whose size attributes ask for millions of pixels) costs what shows of
// it. Pixels outside the source image, and those of the key colour of a keyed copy, are marked in
// Missing, row by row over Area.
void BuildSource(const TBltArgs& A, const QRect& Area, TSource& Out,
                 std::vector<uint8_t>& Missing) {
    TDCObject& S = *A.Src;
    TDCObject& D = *A.Dest;
    const QImage& SI = *S.Target();
    const QRect& R = A.DestRect;
    const int W = R.width(), H = R.height();
    const int AW = Area.width(), AH = Area.height();
    const bool SrcMono = S.Mono(), DstMono = D.Mono();
    const bool Same = A.SrcRect.size() == R.size() && !A.Mirror[0] && !A.Mirror[1];
    const bool Inside = QRect(QPoint(0, 0), SI.size()).contains(A.SrcRect);
    // Straight from the source's scan lines when nothing needs converting and the images differ
    // (an overlapping copy within one image goes through the buffer).
    if (Same && Inside && SrcMono == DstMono && &SI != D.Target() && !A.Keyed) {
        Out.Stride = SI.bytesPerLine() / 4;
        Out.Base = reinterpret_cast<const uint32_t*>(SI.constBits()) + A.SrcRect.y() * Out.Stride +
                   A.SrcRect.x();
        Out.Origin = R.topLeft();
        return;
    }
    const uint32_t One = D.Pixel(D.S.BkColor), Zero = D.Pixel(D.S.TextColor);
    const uint32_t SrcBk = ToPixel(S.S.BkColor) & 0xFFFFFF;
    Out.Buffer.assign(size_t(AW) * size_t(AH), 0);
    const int SW = A.SrcRect.width(), SH = A.SrcRect.height();
    // Source column of every drawn column, -1 outside the source picture.
    std::vector<int> Columns(static_cast<size_t>(AW));
    bool AnyMissing = false;
    for (int X = 0; X < AW; ++X) {
        const int64_t DX = int64_t(Area.left() - R.left()) + X;
        int SX = int((DX * SW) / W);
        if (A.Mirror[0]) SX = SW - 1 - SX;
        SX += A.SrcRect.x();
        Columns[size_t(X)] = SX >= 0 && SX < SI.width() ? SX : -1;
        AnyMissing |= Columns[size_t(X)] < 0;
    }
    std::vector<uint8_t> Gaps(size_t(AW) * size_t(AH), 0);
    for (int Y = 0; Y < AH; ++Y) {
        const int64_t DY = int64_t(Area.top() - R.top()) + Y;
        int SY = int((DY * SH) / H);
        if (A.Mirror[1]) SY = SH - 1 - SY;
        SY += A.SrcRect.y();
        uint32_t* Row = Out.Buffer.data() + size_t(Y) * size_t(AW);
        if (SY < 0 || SY >= SI.height()) {
            std::fill_n(Gaps.begin() + ptrdiff_t(Y) * AW, AW, uint8_t(1));
            AnyMissing = true;
            continue;
        }
        const auto* SRow = reinterpret_cast<const uint32_t*>(SI.constScanLine(SY));
        for (int X = 0; X < AW; ++X) {
            const int SX = Columns[size_t(X)];
            if (SX < 0) {
                Gaps[size_t(Y) * size_t(AW) + size_t(X)] = 1;
                continue;
            }
            const uint32_t P = SRow[SX];
            if (A.Keyed && (P & 0xFFFFFF) == A.Key) {
                Gaps[size_t(Y) * size_t(AW) + size_t(X)] = 1;
                AnyMissing = true;
                continue;
            }
            if (SrcMono == DstMono)
                Row[X] = P | 0xFF000000u;
            else if (SrcMono)
                Row[X] = (P & 0xFFFFFF) ? One : Zero;
            else
                Row[X] = (P & 0xFFFFFF) == SrcBk ? kWhite : kBlack;
        }
    }
    if (AnyMissing) Missing = std::move(Gaps);
    Out.Base = Out.Buffer.data();
    Out.Stride = AW;
    Out.Origin = Area.topLeft();
}

BOOL DoBlt(const TBltArgs& A) {
    TDCObject& D = *A.Dest;
    QImage* Image = D.Target();
    if (!Image || Image->isNull()) return FALSE;
    const uint8_t Code = RopCode(A.Rop);
    const bool NeedS = UsesSource(Code) || (A.Mask && UsesSource(uint8_t(A.Rop >> 24)));
    const bool NeedP = UsesPattern(Code) || (A.Mask && UsesPattern(uint8_t(A.Rop >> 24)));
    if (NeedS && (!A.Src || !A.Src->Target() || A.Src->Target()->isNull())) return FALSE;
    TPattern Pat;
    if (NeedP && !MakePattern(D, A.Brush, Pat)) return TRUE;  // the null brush paints nothing
    const QRect R = A.DestRect.normalized();
    if (R.isEmpty()) return TRUE;
    const QRegion Clip =
        D.EffectiveClip().translated(D.DeviceToImage()).intersected(R).intersected(Image->rect());
    if (Clip.isEmpty()) return TRUE;

    TSource Src;
    std::vector<uint8_t> Missing;
    const QRect Area = Clip.boundingRect();
    if (NeedS) {
        TBltArgs B = A;
        B.DestRect = R;
        BuildSource(B, Area, Src, Missing);
    }
    const QPoint PatOrg = D.DeviceToImage() + QPoint(D.S.BrushOrg.x, D.S.BrushOrg.y);
    const bool Special = !GGenericOnly && !A.Mask && Missing.empty() && !Pat.AnyTransparent;
    // Filling with a solid brush is what most painting does (backgrounds, FillRect): one 32-bit
    // fill per row instead of picking the pattern pixel of every column.
    const bool SolidFill = Special && Code == 0xF0 && Pat.Solid;
    for (const QRect& C : Clip) {
        const int N = C.width();
        for (int Y = C.top(); Y <= C.bottom(); ++Y) {
            auto* DRow = reinterpret_cast<uint32_t*>(Image->scanLine(Y)) + C.left();
            const uint32_t* SRow = NeedS ? Src.At(C.left(), Y) : nullptr;
            const uint32_t* PRow = NeedP ? Pat.Row(Y - PatOrg.y()) : nullptr;
            const int Shift = (C.left() - PatOrg.x()) & 7;
            if (SolidFill) {
                std::fill_n(DRow, N, Pat.Pixels[0] | 0xFF000000u);
                continue;
            }
            if (Special && RowSpecial(Code, DRow, SRow, PRow, Shift, N)) continue;
            if (!A.Mask && Missing.empty() && !Pat.AnyTransparent) {
                RowGeneric(Code, DRow, SRow, PRow, Shift, N);
                continue;
            }
            for (int X = 0; X < N; ++X) {
                const int PX = (X + Shift) & 7;
                if (NeedP && Pat.Transparent[((Y - PatOrg.y()) & 7) * 8 + PX]) continue;
                const size_t SI = size_t(Y - Area.top()) * size_t(Area.width()) +
                                  size_t(C.left() - Area.left() + X);
                if (!Missing.empty() && Missing[SI]) continue;
                uint8_t Use = Code;
                if (A.Mask) {
                    const QPoint M = A.MaskOrigin + QPoint(C.left() + X, Y) - R.topLeft();
                    const bool Fore = M.x() >= 0 && M.y() >= 0 && M.x() < A.Mask->width() &&
                                      M.y() < A.Mask->height() &&
                                      (A.Mask->pixel(M) & 0xFFFFFF) != 0;
                    Use = Fore ? Code : uint8_t(A.Rop >> 24);
                }
                DRow[X] = Rop3(Use, PRow ? PRow[PX] : 0, SRow ? SRow[X] : 0, DRow[X]);
            }
        }
    }
    return TRUE;
}

QRect LogicalRect(TDCObject& DC, int X, int Y, int W, int H) {
    return QRect(DC.ToImage(X, Y), QSize(W, H));
}

}  // namespace

void SetGenericRasterOps(bool Generic) {
    GGenericOnly = Generic;
}

void GdiInternal::PatFill(TDCObject& DC, const QRect& R, const TBrushObject* Brush, DWORD Rop) {
    TBltArgs A;
    A.Dest = &DC;
    A.DestRect = R;
    A.Brush = Brush;
    A.Rop = Rop;
    DoBlt(A);
}

BOOL BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, DWORD Rop) {
    auto D = FindDC(Dest);
    if (!D || Width < 0 || Height < 0) return FALSE;
    auto S = FindDC(Src);
    TBltArgs A;
    A.Dest = D.get();
    A.DestRect = LogicalRect(*D, X, Y, Width, Height);
    A.Src = S.get();
    if (S) A.SrcRect = LogicalRect(*S, XSrc, YSrc, Width, Height);
    A.Brush = D->S.Brush.get();
    A.Rop = Rop;
    return DoBlt(A);
}

BOOL StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc,
                int WidthSrc, int HeightSrc, DWORD Rop) {
    auto D = FindDC(Dest);
    if (!D) return FALSE;
    auto S = FindDC(Src);
    TBltArgs A;
    A.Dest = D.get();
    // Negative sizes mirror; the rectangles are kept normalised and the mirroring remembered.
    if (Width < 0) {
        X += Width;
        Width = -Width;
        A.Mirror[0] = !A.Mirror[0];
    }
    if (Height < 0) {
        Y += Height;
        Height = -Height;
        A.Mirror[1] = !A.Mirror[1];
    }
    if (WidthSrc < 0) {
        XSrc += WidthSrc;
        WidthSrc = -WidthSrc;
        A.Mirror[0] = !A.Mirror[0];
    }
    if (HeightSrc < 0) {
        YSrc += HeightSrc;
        HeightSrc = -HeightSrc;
        A.Mirror[1] = !A.Mirror[1];
    }
    A.DestRect = LogicalRect(*D, X, Y, Width, Height);
    A.Src = S.get();
    if (S) {
        if (UsesSource(RopCode(Rop)) && (WidthSrc == 0 || HeightSrc == 0)) return FALSE;
        A.SrcRect = LogicalRect(*S, XSrc, YSrc, WidthSrc, HeightSrc);
    }
    A.Brush = D->S.Brush.get();
    A.Rop = Rop;
    return DoBlt(A);
}

BOOL TransparentBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc,
                    int WidthSrc, int HeightSrc, COLORREF Transparent) {
    auto D = FindDC(Dest);
    auto S = FindDC(Src);
    if (!D || !S || Width <= 0 || Height <= 0 || WidthSrc <= 0 || HeightSrc <= 0) return FALSE;
    TBltArgs A;
    A.Dest = D.get();
    A.DestRect = LogicalRect(*D, X, Y, Width, Height);
    A.Src = S.get();
    A.SrcRect = LogicalRect(*S, XSrc, YSrc, WidthSrc, HeightSrc);
    A.Rop = SRCCOPY;
    A.Keyed = true;
    A.Key = ToPixel(Transparent) & 0xFFFFFF;
    return DoBlt(A);
}

BOOL PatBlt(HDC DC, int X, int Y, int Width, int Height, DWORD Rop) {
    auto D = FindDC(DC);
    if (!D || UsesSource(RopCode(Rop))) return FALSE;
    if (Width < 0) {
        X += Width;
        Width = -Width;
    }
    if (Height < 0) {
        Y += Height;
        Height = -Height;
    }
    TBltArgs A;
    A.Dest = D.get();
    A.DestRect = LogicalRect(*D, X, Y, Width, Height);
    A.Brush = D->S.Brush.get();
    A.Rop = Rop;
    return DoBlt(A);
}

BOOL MaskBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc,
             HBITMAP Mask, int XMask, int YMask, DWORD Rop) {
    if (!Mask) return BitBlt(Dest, X, Y, Width, Height, Src, XSrc, YSrc, Rop & 0x00FFFFFF);
    auto D = FindDC(Dest);
    auto S = FindDC(Src);
    auto M = FindAs<TBitmapObject>(Mask, OBJ_BITMAP);
    if (!D || !M || !M->Mono || Width < 0 || Height < 0) return FALSE;
    TBltArgs A;
    A.Dest = D.get();
    A.DestRect = LogicalRect(*D, X, Y, Width, Height);
    A.Src = S.get();
    if (S) A.SrcRect = LogicalRect(*S, XSrc, YSrc, Width, Height);
    A.Brush = D->S.Brush.get();
    A.Mask = &M->Image;
    A.MaskOrigin = QPoint(XMask, YMask);
    A.Rop = Rop;
    return DoBlt(A);
}

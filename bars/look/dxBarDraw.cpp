#include "bars/look/dxBarDraw.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "bars/look/dxBarSystem.h"
#include "platform/classes/MulDiv.h"
#include "platform/core/Paint.h"
#include "platform/gdi/RectMath.h"

namespace {

// A memory context with a bitmap of its own selected; both go with it, also when drawing throws.
class TMemoryBitmapDC {
  public:
    TMemoryBitmapDC(HDC Compatible, HBITMAP Bitmap)
        : FDC(CreateCompatibleDC(Compatible)), FBitmap(Bitmap), FOld(SelectObject(FDC, Bitmap)) {}
    ~TMemoryBitmapDC() {
        SelectObject(FDC, FOld);
        DeleteDC(FDC);
        DeleteObject(FBitmap);
    }
    TMemoryBitmapDC(const TMemoryBitmapDC&) = delete;
    TMemoryBitmapDC& operator=(const TMemoryBitmapDC&) = delete;
    HDC DC() const { return FDC; }
    HBITMAP Bitmap() const { return FBitmap; }

  private:
    HDC FDC;
    HBITMAP FBitmap;
    HGDIOBJ FOld;
};

// Selects an object into a context for the scope.
class TSelected {
  public:
    TSelected(HDC DC, HGDIOBJ Object) : FDC(DC), FOld(SelectObject(DC, Object)) {}
    ~TSelected() { SelectObject(FDC, FOld); }
    TSelected(const TSelected&) = delete;
    TSelected& operator=(const TSelected&) = delete;

  private:
    HDC FDC;
    HGDIOBJ FOld;
};

bool HasBitmap(const TdxBarGlyphSource& S) {
    return S.Glyph && !S.Glyph->Empty();
}

TSize GlyphSizeOf(const TdxBarGlyphSource& S) {
    if (HasBitmap(S)) return TSize{S.Glyph->Width(), S.Glyph->Height()};
    if (S.ImageList) return TSize{S.ImageList->Width(), S.ImageList->Height()};
    return TSize{0, 0};
}

COLORREF BrushColor(HBRUSH Brush) {
    LOGBRUSH Log;
    return GetObject(Brush, sizeof(Log), &Log) ? Log.lbColor : dxBarSysColor(COLOR_BTNFACE);
}

void DrawListImage(const TdxBarGlyphSource& S, HDC DC) {
    if (S.ImageList && S.ImageIndex >= 0 && S.ImageIndex < S.ImageList->Count())
        ImageList_Draw(S.ImageList->Handle(), S.ImageIndex, DC, 0, 0, ILD_NORMAL);
}

// The glyph's silhouette: 0 where it draws, 1 where it is transparent (or white, for a bitmap,
// which the disabled look leaves out as the classic one does).
void MakeDisabledMask(const TdxBarGlyphSource& S, HDC Mask, TSize Size) {
    if (HasBitmap(S)) {
        const HDC Src = S.Glyph->Canvas().Handle();
        BitBlt(Mask, 0, 0, Size.cx, Size.cy, Src, 0, 0, SRCCOPY);
        const COLORREF Old = SetBkColor(Src, ColorToRGB(S.Glyph->TransparentColor()));
        BitBlt(Mask, 0, 0, Size.cx, Size.cy, Src, 0, 0, SRCINVERT);
        SetBkColor(Src, Old);
        return;
    }
    // The image drawn on white, then whatever is not white is the silhouette.
    TMemoryBitmapDC White(Mask, CreateBitmap(Size.cx, Size.cy, 1, 32, nullptr));
    PatBlt(White.DC(), 0, 0, Size.cx, Size.cy, WHITENESS);
    DrawListImage(S, White.DC());
    SetBkColor(White.DC(), RGB(255, 255, 255));
    BitBlt(Mask, 0, 0, Size.cx, Size.cy, White.DC(), 0, 0, SRCCOPY);
}

void DrawDisabled(HDC Mem, const TdxBarGlyphSource& S, TSize Size, TPoint At, bool Flat) {
    TMemoryBitmapDC Mask(Mem, CreateBitmap(Size.cx, Size.cy, 1, 1, nullptr));
    MakeDisabledMask(S, Mask.DC(), Size);
    const COLORREF OldText = SetTextColor(Mem, RGB(255, 255, 255));
    const COLORREF OldBk = SetBkColor(Mem, RGB(0, 0, 0));
    if (!Flat) {
        TSelected Brush(Mem, dxBarSysBrush(COLOR_BTNHIGHLIGHT));
        BitBlt(Mem, At.X + 1, At.Y + 1, Size.cx, Size.cy, Mask.DC(), 0, 0, DSPDxax);
    }
    {
        TSelected Brush(Mem, dxBarSysBrush(COLOR_BTNSHADOW));
        BitBlt(Mem, At.X, At.Y, Size.cx, Size.cy, Mask.DC(), 0, 0, DSPDxax);
    }
    SetTextColor(Mem, OldText);
    SetBkColor(Mem, OldBk);
}

void DrawEnabled(HDC Mem, HBRUSH BkBrush, const TdxBarGlyphSource& S, TSize Size, TPoint At,
                 TSize Stretch, const TdxBarGlyphLook& Look) {
    TMemoryBitmapDC Color(Mem, CreateCompatibleBitmap(Mem, Size.cx, Size.cy));
    if (HasBitmap(S)) {
        BitBlt(Color.DC(), 0, 0, Size.cx, Size.cy, S.Glyph->Canvas().Handle(), 0, 0, SRCCOPY);
    } else {
        const HBRUSH Bk = CreateSolidBrush(ColorToRGB(S.ImageListBkColor));
        const RECT All{0, 0, Size.cx, Size.cy};
        FillRect(Color.DC(), &All, Bk);
        DeleteObject(Bk);
        DrawListImage(S, Color.DC());
    }
    // The bottom-left pixel is the transparent colour.
    const COLORREF Transparent = GetPixel(Color.DC(), 0, Size.cy - 1);
    if (Look.GrayScale) {
        // The context lets go of the bitmap while its pixels change.
        const HGDIOBJ Held = SelectObject(Color.DC(), CreateBitmap(1, 1, 1, 32, nullptr));
        GrayBitmap(Color.Bitmap(), Size.cx, Size.cy, Transparent);
        DeleteObject(SelectObject(Color.DC(), Held));
    }
    TMemoryBitmapDC Mask(Mem, CreateBitmap(Size.cx, Size.cy, 1, 1, nullptr));
    SetBkColor(Color.DC(), Transparent);
    BitBlt(Mask.DC(), 0, 0, Size.cx, Size.cy, Color.DC(), 0, 0, SRCCOPY);

    const bool Raised = Look.Flat && Look.Selected && !Look.Down;
    if (Raised) {
        At = TPoint{At.X - 1, At.Y - 1};
        const COLORREF OldText = SetTextColor(Mem, dxBarSysColor(COLOR_BTNSHADOW));
        const COLORREF OldBk = SetBkColor(Mem, BrushColor(BkBrush));
        StretchBlt(Mem, At.X + 2, At.Y + 2, Stretch.cx, Stretch.cy, Mask.DC(), 0, 0, Size.cx,
                   Size.cy, SRCCOPY);
        SetTextColor(Mem, OldText);
        SetBkColor(Mem, OldBk);
    }
    DWORD First = MERGEPAINT, Second = SRCAND;
    // On a black face the glyph would vanish: its colours are drawn inverted there.
    if (dxBarSysColor(COLOR_BTNFACE) == RGB(0, 0, 0) && !Look.GrayScale && !Raised)
        std::swap(First, Second);
    const COLORREF OldText = SetTextColor(Mem, RGB(0, 0, 0));
    const COLORREF OldBk = SetBkColor(Mem, RGB(255, 255, 255));
    StretchBlt(Mem, At.X, At.Y, Stretch.cx, Stretch.cy, Mask.DC(), 0, 0, Size.cx, Size.cy, First);
    SetTextColor(Color.DC(), RGB(0, 0, 0));
    SetBkColor(Color.DC(), RGB(255, 255, 255));
    BitBlt(Color.DC(), 0, 0, Size.cx, Size.cy, Mask.DC(), 0, 0, SRCPAINT);
    StretchBlt(Mem, At.X, At.Y, Stretch.cx, Stretch.cy, Color.DC(), 0, 0, Size.cx, Size.cy, Second);
    SetTextColor(Mem, OldText);
    SetBkColor(Mem, OldBk);
}

struct TBrushHolder {
    HBRUSH Brush = 0;
    ~TBrushHolder() {
        if (Brush) DeleteObject(Brush);
    }
};

TBrushHolder& DitherHolder() {
    static TBrushHolder* Holder = new TBrushHolder;
    return *Holder;
}

}  // namespace

void DrawGlyph(HDC DC, HBRUSH BkBrush, const TRect& Rect, const TRect& GlyphRect,
               const TdxBarGlyphSource& Source, const TdxBarGlyphLook& Look) {
    if (IsRectEmpty(Rect)) return;
    const TSize Size = GlyphSizeOf(Source);
    TMemoryBitmapDC Mem(DC, CreateCompatibleBitmap(DC, Rect.Width(), Rect.Height()));
    const RECT All{0, 0, Rect.Width(), Rect.Height()};
    FillRect(Mem.DC(), &All, BkBrush);
    const TPoint At{GlyphRect.Left - Rect.Left, GlyphRect.Top - Rect.Top};
    if (Size.cx > 0 && Size.cy > 0 && (HasBitmap(Source) || Source.ImageList)) {
        if (!Look.Enabled)
            DrawDisabled(Mem.DC(), Source, Size, At, Look.Flat);
        else
            DrawEnabled(Mem.DC(), BkBrush, Source, Size, At,
                        TSize{GlyphRect.Width(), GlyphRect.Height()}, Look);
    }
    BitBlt(DC, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), Mem.DC(), 0, 0, SRCCOPY);
}

void DrawArrow(HDC DC, const TRect& Rect, bool Down, bool Enabled, bool Selected, bool Flat,
               int Size) {
    const COLORREF Color = !Enabled   ? dxBarSysColor(COLOR_BTNSHADOW)
                           : Selected ? dxBarSysColor(COLOR_HIGHLIGHTTEXT)
                                      : dxBarSysColor(COLOR_BTNTEXT);
    int X, Y;
    POINT P[3];
    if (Down) {
        X = (Rect.Left + Rect.Right - (2 * Size - 1)) / 2;
        Y = (Rect.Top + Rect.Bottom - Size) / 2;
        P[0] = POINT{X, Y};
        P[1] = POINT{X + 2 * Size - 2, Y};
        P[2] = POINT{X + Size - 1, Y + Size - 1};
    } else {
        X = (Rect.Left + Rect.Right - Size) / 2;
        Y = (Rect.Top + Rect.Bottom - (2 * Size - 1)) / 2;
        P[0] = POINT{X, Y};
        P[1] = POINT{X, Y + 2 * Size - 2};
        P[2] = POINT{X + Size - 1, Y + Size - 1};
    }
    const HPEN Pen = CreatePen(PS_SOLID, 1, Color);
    const HBRUSH Brush = CreateSolidBrush(Color);
    {
        TSelected SelPen(DC, Pen);
        TSelected SelBrush(DC, Brush);
        Polygon(DC, P, 3);
    }
    DeleteObject(Brush);
    DeleteObject(Pen);
    if (Enabled || Flat) return;
    const HPEN Light = CreatePen(PS_SOLID, 1, dxBarSysColor(COLOR_BTNHIGHLIGHT));
    {
        TSelected SelPen(DC, Light);
        if (Down) {
            MoveToEx(DC, X + Size, Y + Size - 1, nullptr);
            LineTo(DC, X + 2 * Size - 1, Y);
            MoveToEx(DC, X + Size, Y + Size, nullptr);
            LineTo(DC, X + 2 * Size, Y);
        } else {
            MoveToEx(DC, X + Size - 1, Y + Size, nullptr);
            LineTo(DC, X, Y + 2 * Size - 1);
            MoveToEx(DC, X + Size, Y + Size, nullptr);
            LineTo(DC, X, Y + 2 * Size);
        }
    }
    DeleteObject(Light);
}

int RectArrowSize(const TRect& Rect, bool Down) {
    const int E = Down ? Rect.Width() - 8 : Rect.Height() - 6;
    const int Size = (E - 1) / 2 + (E % 2 != 0 ? 1 : 0);
    return std::max(Size, 3);
}

void DrawRectArrow(HDC DC, const TRect& Rect, bool Down, bool Enabled, bool Selected, bool Flat) {
    DrawArrow(DC, Rect, Down, Enabled, Selected, Flat, RectArrowSize(Rect, Down));
}

void FillBarRect(HDC DC, const TRect& Rect, HBRUSH Brush) {
    const RECT R = Rect;
    FillRect(DC, &R, Brush);
}

void FrameBarRect(HDC DC, const TRect& Rect, HBRUSH Brush) {
    const RECT R = Rect;
    FrameRect(DC, &R, Brush);
}

void ExcludeBarRect(HRGN Region, const TRect& Rect) {
    const HRGN Part = CreateRectRgnIndirect(Rect);
    CombineRgn(Region, Region, Part, RGN_DIFF);
    DeleteObject(Part);
}

void FrameHighlight(HDC DC, const TRect& Rect) {
    const RECT R = Rect;
    FrameRect(DC, &R, dxBarSysBrush(COLOR_HIGHLIGHT));
}

void FillGradient(HDC DC, const TRect& Rect, COLORREF From, COLORREF To) {
    const int H = Rect.Height();
    auto Channel = [](int I, int A, int B) { return BYTE(A + MulDiv(I, B - A, 255)); };
    for (int I = 0; I < 256; ++I) {
        const RECT Band{Rect.Left, Rect.Top + MulDiv(I, H, 256), Rect.Right,
                        Rect.Top + MulDiv(I + 1, H, 256)};
        if (Band.bottom <= Band.top) continue;
        const HBRUSH Brush = CreateSolidBrush(RGB(Channel(I, GetRValue(From), GetRValue(To)),
                                                  Channel(I, GetGValue(From), GetGValue(To)),
                                                  Channel(I, GetBValue(From), GetBValue(To))));
        FillRect(DC, &Band, Brush);
        DeleteObject(Brush);
    }
}

void GrayBitmap(HBITMAP Bitmap, int Width, int Height, COLORREF TransparentColor) {
    if (Width <= 0 || Height <= 0) return;
    BITMAPINFO Info;
    Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = -Height;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    Info.bmiHeader.biCompression = BI_RGB;
    std::vector<BYTE> Pixels(size_t(Width) * size_t(Height) * 4);
    const HDC DC = GetDC(0);
    GetDIBits(DC, Bitmap, 0, UINT(Height), Pixels.data(), &Info, DIB_RGB_COLORS);
    for (size_t I = 0; I < Pixels.size(); I += 4) {
        BYTE& B = Pixels[I];
        BYTE& G = Pixels[I + 1];
        BYTE& R = Pixels[I + 2];
        if (RGB(R, G, B) == TransparentColor) continue;
        const BYTE Gray = BYTE((int(R) + int(G) + int(B)) / 3);
        R = G = B = Gray;
    }
    SetDIBits(DC, Bitmap, 0, UINT(Height), Pixels.data(), &Info, DIB_RGB_COLORS);
    ReleaseDC(0, DC);
}

void GrayBitmap(TBitmap& Bitmap, COLORREF TransparentColor) {
    QImage Image = Bitmap.Image();
    for (int Y = 0; Y < Image.height(); ++Y) {
        auto* Row = reinterpret_cast<QRgb*>(Image.scanLine(Y));
        for (int X = 0; X < Image.width(); ++X) {
            const QRgb P = Row[X];
            if (RGB(qRed(P), qGreen(P), qBlue(P)) == TransparentColor) continue;
            const int Gray = (qRed(P) + qGreen(P) + qBlue(P)) / 3;
            Row[X] = qRgb(Gray, Gray, Gray);
        }
    }
    Bitmap.SetImage(Image);
}

COLORREF GetLightColor(int SysColorIndex, int DeltaRed, int DeltaGreen, int DeltaBlue) {
    const COLORREF C = dxBarSysColor(SysColorIndex);
    auto Clamp = [](int V) { return BYTE(std::clamp(V, 0, 255)); };
    return RGB(Clamp(GetRValue(C) + DeltaRed), Clamp(GetGValue(C) + DeltaGreen),
               Clamp(GetBValue(C) + DeltaBlue));
}

HBRUSH DitherBrush() {
    if (!DitherHolder().Brush) CreateDitherBrush();
    return DitherHolder().Brush;
}

void CreateDitherBrush() {
    TMemoryBitmapDC Pattern(0, CreateBitmap(8, 8, 1, 32, nullptr));
    const RECT All{0, 0, 8, 8};
    FillRect(Pattern.DC(), &All, dxBarSysBrush(COLOR_BTNHIGHLIGHT));
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 8; ++X)
            if ((X % 2) == (Y % 2)) SetPixelV(Pattern.DC(), X, Y, dxBarSysColor(COLOR_BTNFACE));
    const HBRUSH Brush = CreatePatternBrush(Pattern.Bitmap());
    TBrushHolder& Holder = DitherHolder();
    if (Holder.Brush) DeleteObject(Holder.Brush);
    Holder.Brush = Brush;
}

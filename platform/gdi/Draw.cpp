// Lines, shapes, rectangles, pixels, regions, edges, frame controls and icons.
#include <cmath>
#include <cstring>

#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/Limits.h"

using namespace GdiInternal;

namespace {

// The ternary operation that applies a line raster operation with the brush as pen.
DWORD Rop2ToRop3(int Rop2) {
    const unsigned T = unsigned(Rop2 - 1) & 15;
    unsigned Code = 0;
    for (int I = 0; I < 8; ++I) {
        const int P = (I >> 2) & 1, D = I & 1;
        if ((T >> (P * 2 + D)) & 1) Code |= 1u << I;
    }
    return DWORD(Code) << 16;
}

// Dash patterns of cosmetic pens: lengths of on and off runs.
const std::vector<int>& DashPattern(int Style) {
    static const std::vector<int> Solid, Dash{18, 6}, Dot{3, 3}, DashDot{9, 6, 3, 6},
        DashDotDot{9, 3, 3, 3, 3, 3};
    switch (Style) {
        case PS_DASH:
            return Dash;
        case PS_DOT:
            return Dot;
        case PS_DASHDOT:
            return DashDot;
        case PS_DASHDOTDOT:
            return DashDotDot;
        default:
            return Solid;
    }
}

// A one-pixel line from A to B (image coordinates) without its last point, by Bresenham.
void RasterLine(TDCObject& DC, const QRegion& Clip, QPoint A, QPoint B, const TPenObject& Pen) {
    QImage& Image = *DC.Target();
    const uint32_t Colour = DC.Pixel(Pen.Log.lopnColor);
    const uint32_t Gap = DC.Pixel(DC.S.BkColor);
    const auto& Dashes = DashPattern(Pen.Style());
    int Total = 0;
    for (int L : Dashes) Total += L;
    int DX = std::abs(B.x() - A.x()), DY = -std::abs(B.y() - A.y());
    const int SX = A.x() < B.x() ? 1 : -1, SY = A.y() < B.y() ? 1 : -1;
    int Err = DX + DY, X = A.x(), Y = A.y(), Step = 0;
    const QRect Bounds = Clip.boundingRect();
    while (X != B.x() || Y != B.y()) {
        bool On = true;
        if (Total) {
            int Pos = Step % Total, I = 0;
            while (Pos >= Dashes[size_t(I)]) Pos -= Dashes[size_t(I++)];
            On = (I % 2) == 0;
        }
        if (Bounds.contains(X, Y) && Clip.contains(QPoint(X, Y))) {
            if (On)
                PlotRop2(Image, X, Y, Colour, DC.S.Rop2);
            else if (DC.S.BkMode == OPAQUE)
                PlotRop2(Image, X, Y, Gap, DC.S.Rop2);
        }
        ++Step;
        const int E2 = 2 * Err;
        if (E2 >= DY) {
            Err += DY;
            X += SX;
        }
        if (E2 <= DX) {
            Err += DX;
            Y += SY;
        }
    }
}

QBrush ToQBrush(TDCObject& DC, const TBrushObject* Brush) {
    if (!Brush || Brush->Log.lbStyle == BS_NULL) return QBrush(Qt::NoBrush);
    if (Brush->Log.lbStyle == BS_PATTERN) {
        QImage P = Brush->Pattern;
        if (Brush->PatternMono)
            for (int Y = 0; Y < 8; ++Y)
                for (int X = 0; X < 8; ++X)
                    P.setPixel(
                        X, Y, DC.Pixel((P.pixel(X, Y) & 0xFFFFFF) ? DC.S.BkColor : DC.S.TextColor));
        QBrush B(P);
        B.setTransform(QTransform::fromTranslate(DC.DeviceToImage().x() + DC.S.BrushOrg.x,
                                                 DC.DeviceToImage().y() + DC.S.BrushOrg.y));
        return B;
    }
    const QColor C = QColor::fromRgb(DC.Pixel(Brush->Log.lbColor));
    if (Brush->Log.lbStyle == BS_HATCHED) {
        static const Qt::BrushStyle Styles[] = {Qt::HorPattern,   Qt::VerPattern,
                                                Qt::FDiagPattern, Qt::BDiagPattern,
                                                Qt::CrossPattern, Qt::DiagCrossPattern};
        return QBrush(C, Styles[std::clamp<int>(int(Brush->Log.lbHatch), 0, 5)]);
    }
    return QBrush(C);
}

// Runs Draw with a painter set up for the context's line raster operation and clip.
template <class F>
void WithPainter(TDCObject& DC, F&& Draw) {
    TPainting P(DC);
    if (!P.Painter) return;
    QPainter::CompositionMode Mode;
    uint32_t Forced = 0;
    if (!CompositionFor(DC.S.Rop2, Mode, Forced)) return;
    P.Painter->setCompositionMode(Mode);
    Draw(*P.Painter, Forced);
}

QPen ToQPen(TDCObject& DC, const TPenObject& Pen, uint32_t Forced) {
    if (Pen.Style() == PS_NULL) return QPen(Qt::NoPen);
    QPen P(QColor::fromRgb(Forced ? Forced : DC.Pixel(Pen.Log.lopnColor)));
    P.setWidth(Pen.Width());
    P.setCapStyle(Qt::FlatCap);
    P.setJoinStyle(Qt::MiterJoin);
    return P;
}

void Outline(TDCObject& DC, const std::vector<QPoint>& Points, bool Close) {
    const TPenObject& Pen = *DC.S.Pen;
    if (Pen.Style() == PS_NULL || Points.size() < 2) return;
    if (Pen.Width() > 1) {
        WithPainter(DC, [&](QPainter& P, uint32_t Forced) {
            P.setPen(ToQPen(DC, Pen, Forced));
            P.setBrush(Qt::NoBrush);
            QPolygon Poly;
            for (const QPoint& Pt : Points) Poly << Pt;
            if (Close)
                P.drawPolygon(Poly);
            else
                P.drawPolyline(Poly);
        });
        return;
    }
    const QRegion Clip = DC.EffectiveClip().translated(DC.DeviceToImage());
    if (Clip.isEmpty()) return;
    const QPoint O = DC.ImageOffset();
    for (size_t I = 0; I + 1 < Points.size(); ++I)
        RasterLine(DC, Clip, Points[I] + O, Points[I + 1] + O, Pen);
    if (Close && Points.front() != Points.back())
        RasterLine(DC, Clip, Points.back() + O, Points.front() + O, Pen);
}

QRect ImageRect(TDCObject& DC, int L, int T, int R, int B) {
    if (R < L) std::swap(L, R);
    if (B < T) std::swap(T, B);
    return QRect(DC.ToImage(L, T), QSize(R - L, B - T));
}

void FillImageRect(TDCObject& DC, const QRect& R, const TBrushObject* Brush) {
    PatFill(DC, R, Brush, Rop2ToRop3(DC.S.Rop2) | 0x21);
}

std::shared_ptr<TBrushObject> SolidBrush(COLORREF Color) {
    auto B = std::make_shared<TBrushObject>();
    B->Log.lbStyle = BS_SOLID;
    B->Log.lbColor = Color;
    return B;
}

}  // namespace

BOOL LineTo(HDC DC, int X, int Y) {
    auto D = FindDC(DC);
    if (!D) return FALSE;
    const POINT From = D->S.CurrentPos;
    Outline(*D, {QPoint(From.x, From.y), QPoint(X, Y)}, false);
    D->S.CurrentPos = POINT{X, Y};
    return TRUE;
}

BOOL Polyline(HDC DC, const POINT* Points, int Count) {
    auto D = FindDC(DC);
    if (!D || !Points || Count < 2 || Count > GdiLimits::kMaxPolygonPoints) return FALSE;
    std::vector<QPoint> P;
    for (int I = 0; I < Count; ++I) P.emplace_back(Points[I].x, Points[I].y);
    Outline(*D, P, false);
    return TRUE;
}

BOOL Polygon(HDC DC, const POINT* Points, int Count) {
    auto D = FindDC(DC);
    if (!D || !Points || Count < 2 || Count > GdiLimits::kMaxPolygonPoints) return FALSE;
    QPolygon Poly;
    std::vector<QPoint> P;
    for (int I = 0; I < Count; ++I) {
        Poly << QPoint(Points[I].x, Points[I].y);
        P.emplace_back(Points[I].x, Points[I].y);
    }
    const QBrush Brush = ToQBrush(*D, D->S.Brush.get());
    if (Brush.style() != Qt::NoBrush) {
        WithPainter(*D, [&](QPainter& Painter, uint32_t Forced) {
            Painter.setPen(Qt::NoPen);
            Painter.setBrush(Forced ? QBrush(QColor::fromRgb(Forced)) : Brush);
            Painter.drawPolygon(Poly,
                                D->S.PolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
        });
    }
    Outline(*D, P, true);
    return TRUE;
}

BOOL Rectangle(HDC DC, int Left, int Top, int Right, int Bottom) {
    auto D = FindDC(DC);
    if (!D) return FALSE;
    if (Right < Left) std::swap(Left, Right);
    if (Bottom < Top) std::swap(Top, Bottom);
    const TPenObject& Pen = *D->S.Pen;
    if (Pen.Style() == PS_NULL) {
        // Without a pen the interior loses the right column and bottom row the pen would take.
        FillImageRect(*D, ImageRect(*D, Left, Top, Right - 1, Bottom - 1), D->S.Brush.get());
        return TRUE;
    }
    const int W = Pen.Width();
    if (Right - Left <= 2 * W || Bottom - Top <= 2 * W) {
        auto B = SolidBrush(Pen.Log.lopnColor);
        FillImageRect(*D, ImageRect(*D, Left, Top, Right, Bottom), B.get());
        return TRUE;
    }
    FillImageRect(*D, ImageRect(*D, Left + W, Top + W, Right - W, Bottom - W), D->S.Brush.get());
    if (W == 1 && Pen.Style() != PS_SOLID && Pen.Style() != PS_INSIDEFRAME) {
        Outline(*D,
                {QPoint(Left, Top), QPoint(Right - 1, Top), QPoint(Right - 1, Bottom - 1),
                 QPoint(Left, Bottom - 1), QPoint(Left, Top)},
                false);
        return TRUE;
    }
    // A solid frame as four bands that do not overlap (so XOR pens stay exact).
    auto B = SolidBrush(Pen.Log.lopnColor);
    FillImageRect(*D, ImageRect(*D, Left, Top, Right, Top + W), B.get());
    FillImageRect(*D, ImageRect(*D, Left, Bottom - W, Right, Bottom), B.get());
    FillImageRect(*D, ImageRect(*D, Left, Top + W, Left + W, Bottom - W), B.get());
    FillImageRect(*D, ImageRect(*D, Right - W, Top + W, Right, Bottom - W), B.get());
    return TRUE;
}

namespace {
template <class F>
BOOL Shape(HDC DC, int Left, int Top, int Right, int Bottom, F&& Draw) {
    auto D = FindDC(DC);
    if (!D) return FALSE;
    if (Right < Left) std::swap(Left, Right);
    if (Bottom < Top) std::swap(Top, Bottom);
    const QBrush Brush = ToQBrush(*D, D->S.Brush.get());
    WithPainter(*D, [&](QPainter& P, uint32_t Forced) {
        P.setPen(ToQPen(*D, *D->S.Pen, Forced));
        P.setBrush(Forced && Brush.style() != Qt::NoBrush ? QBrush(QColor::fromRgb(Forced))
                                                          : Brush);
        Draw(P, QRect(Left, Top, Right - Left - 1, Bottom - Top - 1));
    });
    return TRUE;
}
}  // namespace

BOOL Ellipse(HDC DC, int Left, int Top, int Right, int Bottom) {
    return Shape(DC, Left, Top, Right, Bottom,
                 [](QPainter& P, const QRect& R) { P.drawEllipse(R); });
}

BOOL RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int Width, int Height) {
    return Shape(DC, Left, Top, Right, Bottom, [&](QPainter& P, const QRect& R) {
        P.drawRoundedRect(R, std::abs(Width) / 2.0, std::abs(Height) / 2.0);
    });
}

int FillRect(HDC DC, const RECT* Rect, HBRUSH Brush) {
    auto D = FindDC(DC);
    auto B = FindAs<TBrushObject>(Brush, OBJ_BRUSH);
    if (!D || !Rect || !B) return FALSE;
    if (Rect->right <= Rect->left || Rect->bottom <= Rect->top) return TRUE;
    PatFill(*D, ImageRect(*D, Rect->left, Rect->top, Rect->right, Rect->bottom), B.get(), PATCOPY);
    return TRUE;
}

int FrameRect(HDC DC, const RECT* Rect, HBRUSH Brush) {
    auto D = FindDC(DC);
    auto B = FindAs<TBrushObject>(Brush, OBJ_BRUSH);
    if (!D || !Rect || !B) return FALSE;
    const int L = Rect->left, T = Rect->top, R = Rect->right, Bt = Rect->bottom;
    if (R <= L || Bt <= T) return TRUE;
    PatFill(*D, ImageRect(*D, L, T, R, T + 1), B.get(), PATCOPY);
    if (Bt - T > 1) PatFill(*D, ImageRect(*D, L, Bt - 1, R, Bt), B.get(), PATCOPY);
    if (Bt - T > 2) {
        PatFill(*D, ImageRect(*D, L, T + 1, L + 1, Bt - 1), B.get(), PATCOPY);
        if (R - L > 1) PatFill(*D, ImageRect(*D, R - 1, T + 1, R, Bt - 1), B.get(), PATCOPY);
    }
    return TRUE;
}

BOOL InvertRect(HDC DC, const RECT* Rect) {
    auto D = FindDC(DC);
    if (!D || !Rect) return FALSE;
    PatFill(*D, ImageRect(*D, Rect->left, Rect->top, Rect->right, Rect->bottom), nullptr,
            DSTINVERT);
    return TRUE;
}

void DrawCaretRect(HDC DC, const RECT& Rect) {
    InvertRect(DC, &Rect);
}

BOOL DrawFocusRect(HDC DC, const RECT* Rect) {
    auto D = FindDC(DC);
    if (!D || !Rect) return FALSE;
    // Every other pixel of the border inverted, aligned to the device grid, so a second call
    // restores the picture.
    auto Checker = std::make_shared<TBrushObject>();
    Checker->Log.lbStyle = BS_PATTERN;
    Checker->Pattern = QImage(8, 8, QImage::Format_RGB32);
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 8; ++X) Checker->Pattern.setPixel(X, Y, (X + Y) % 2 ? kBlack : kWhite);
    const POINT SavedOrg = D->S.BrushOrg;
    D->S.BrushOrg = POINT{};
    const int L = Rect->left, T = Rect->top, R = Rect->right, B = Rect->bottom;
    if (R > L && B > T) {
        PatFill(*D, ImageRect(*D, L, T, R, T + 1), Checker.get(), PATINVERT);
        if (B - T > 1) PatFill(*D, ImageRect(*D, L, B - 1, R, B), Checker.get(), PATINVERT);
        if (B - T > 2) {
            PatFill(*D, ImageRect(*D, L, T + 1, L + 1, B - 1), Checker.get(), PATINVERT);
            if (R - L > 1)
                PatFill(*D, ImageRect(*D, R - 1, T + 1, R, B - 1), Checker.get(), PATINVERT);
        }
    }
    D->S.BrushOrg = SavedOrg;
    return TRUE;
}

COLORREF GetPixel(HDC DC, int X, int Y) {
    auto D = FindDC(DC);
    if (!D || !D->Target()) return CLR_NONE;
    const QPoint P = D->ToImage(X, Y);
    if (!D->EffectiveClip().translated(D->DeviceToImage()).contains(P)) return CLR_NONE;
    return FromPixel(D->Target()->pixel(P));
}

COLORREF SetPixel(HDC DC, int X, int Y, COLORREF Color) {
    auto D = FindDC(DC);
    if (!D || !D->Target()) return CLR_NONE;
    const QPoint P = D->ToImage(X, Y);
    if (!D->EffectiveClip().translated(D->DeviceToImage()).contains(P)) return CLR_NONE;
    const uint32_t V = D->Pixel(Color);
    D->Target()->setPixel(P, V);
    return FromPixel(V);
}

BOOL SetPixelV(HDC DC, int X, int Y, COLORREF Color) {
    return SetPixel(DC, X, Y, Color) != CLR_NONE;
}

// --- regions -----------------------------------------------------------------------------------

namespace {
BOOL FillRegionWith(HDC DC, const QRegion& Region, const TBrushObject* Brush, DWORD Rop) {
    auto D = FindDC(DC);
    if (!D) return FALSE;
    for (const QRect& R : Region.translated(D->ImageOffset())) PatFill(*D, R, Brush, Rop);
    return TRUE;
}
}  // namespace

BOOL FillRgn(HDC DC, HRGN Region, HBRUSH Brush) {
    auto R = FindAs<TRegionObject>(Region, OBJ_REGION);
    auto B = FindAs<TBrushObject>(Brush, OBJ_BRUSH);
    if (!R || !B) return FALSE;
    return FillRegionWith(DC, R->Region, B.get(), PATCOPY);
}

BOOL PaintRgn(HDC DC, HRGN Region) {
    auto D = FindDC(DC);
    auto R = FindAs<TRegionObject>(Region, OBJ_REGION);
    if (!D || !R) return FALSE;
    return FillRegionWith(DC, R->Region, D->S.Brush.get(), Rop2ToRop3(D->S.Rop2) | 0x21);
}

BOOL InvertRgn(HDC DC, HRGN Region) {
    auto R = FindAs<TRegionObject>(Region, OBJ_REGION);
    if (!R) return FALSE;
    return FillRegionWith(DC, R->Region, nullptr, DSTINVERT);
}

BOOL FrameRgn(HDC DC, HRGN Region, HBRUSH Brush, int Width, int Height) {
    auto R = FindAs<TRegionObject>(Region, OBJ_REGION);
    auto B = FindAs<TBrushObject>(Brush, OBJ_BRUSH);
    if (!R || !B || Width < 0 || Height < 0) return FALSE;
    // The frame is what the region loses when it shrinks by Width and Height on every side.
    QRegion Inner = R->Region;
    for (int I = 1; I <= Width; ++I)
        Inner =
            Inner.intersected(R->Region.translated(I, 0)).intersected(R->Region.translated(-I, 0));
    for (int I = 1; I <= Height; ++I)
        Inner =
            Inner.intersected(R->Region.translated(0, I)).intersected(R->Region.translated(0, -I));
    return FillRegionWith(DC, R->Region.subtracted(Inner), B.get(), PATCOPY);
}

// --- edges -------------------------------------------------------------------------------------

namespace {

void Line(HDC DC, int X1, int Y1, int X2, int Y2, COLORREF Color) {
    // A one-pixel band from (X1, Y1) to (X2, Y2) inclusive, horizontal or vertical.
    RECT R{std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2) + 1, std::max(Y1, Y2) + 1};
    auto D = FindDC(DC);
    auto B = SolidBrush(Color);
    PatFill(*D, ImageRect(*D, R.left, R.top, R.right, R.bottom), B.get(), PATCOPY);
}

void FillSolid(HDC DC, const RECT& R, COLORREF Color) {
    if (R.right <= R.left || R.bottom <= R.top) return;
    auto D = FindDC(DC);
    auto B = SolidBrush(Color);
    PatFill(*D, ImageRect(*D, R.left, R.top, R.right, R.bottom), B.get(), PATCOPY);
}

// One ring of an edge: left/top in TopLeft, right/bottom in BottomRight (which owns the corners
// where they meet); the rectangle shrinks by the sides drawn.
void Ring(HDC DC, RECT& R, UINT Flags, COLORREF TopLeft, COLORREF BottomRight) {
    if (R.right <= R.left || R.bottom <= R.top) return;
    if (Flags & BF_LEFT) Line(DC, R.left, R.top, R.left, R.bottom - 1, TopLeft);
    if (Flags & BF_TOP) Line(DC, R.left, R.top, R.right - 1, R.top, TopLeft);
    if (Flags & BF_RIGHT) Line(DC, R.right - 1, R.top, R.right - 1, R.bottom - 1, BottomRight);
    if (Flags & BF_BOTTOM) Line(DC, R.left, R.bottom - 1, R.right - 1, R.bottom - 1, BottomRight);
    if (Flags & BF_LEFT) ++R.left;
    if (Flags & BF_TOP) ++R.top;
    if (Flags & BF_RIGHT) --R.right;
    if (Flags & BF_BOTTOM) --R.bottom;
}

}  // namespace

BOOL DrawEdge(HDC DC, RECT* Rect, UINT Edge, UINT Flags) {
    if (!FindDC(DC) || !Rect) return FALSE;
    RECT R = *Rect;
    const bool Mono = Flags & BF_MONO, Flat = Flags & BF_FLAT;
    struct TRing {
        UINT Bits;
        COLORREF RaisedTL, RaisedBR, SunkenTL, SunkenBR;
    };
    const TRing Rings[2] = {
        {Edge & BDR_OUTER, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW),
         GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT)},
        {Edge & BDR_INNER, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW),
         GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT)},
    };
    for (int I = 0; I < 2; ++I) {
        const TRing& G = Rings[I];
        if (!G.Bits) continue;
        COLORREF TL, BR;
        if (Mono) {
            TL = BR = GetSysColor(I == 0 ? COLOR_WINDOWFRAME : COLOR_WINDOW);
        } else if (Flat) {
            TL = BR = GetSysColor(I == 0 ? COLOR_BTNSHADOW : COLOR_BTNFACE);
        } else {
            const bool Raised = G.Bits & (BDR_RAISEDOUTER | BDR_RAISEDINNER);
            TL = Raised ? G.RaisedTL : G.SunkenTL;
            BR = Raised ? G.RaisedBR : G.SunkenBR;
        }
        Ring(DC, R, Flags, TL, BR);
    }
    if (Flags & BF_MIDDLE) FillSolid(DC, R, GetSysColor(Mono ? COLOR_WINDOW : COLOR_BTNFACE));
    if (Flags & BF_ADJUST) *Rect = R;
    return TRUE;
}

// --- frame controls ----------------------------------------------------------------------------

namespace {

// Draws a glyph given as rows of '#' centred in R.
void Glyph(HDC DC, const RECT& R, std::initializer_list<const char*> Rows, COLORREF Color,
           int DX = 0, int DY = 0) {
    const int H = int(Rows.size());
    const int W = int(std::strlen(*Rows.begin()));
    const int X0 = (R.left + R.right - W) / 2 + DX, Y0 = (R.top + R.bottom - H) / 2 + DY;
    int Y = Y0;
    for (const char* Row : Rows) {
        for (int X = 0; Row[X]; ++X)
            if (Row[X] == '#') FillSolid(DC, RECT{X0 + X, Y, X0 + X + 1, Y + 1}, Color);
        ++Y;
    }
}

// Size is the triangle's height; the base is 2·Size − 1 pixels.
void Arrow(HDC DC, const RECT& R, UINT Direction, COLORREF Color, int DX, int DY, int Size) {
    const int CX = (R.left + R.right) / 2 + DX, CY = (R.top + R.bottom) / 2 + DY;
    for (int I = 0; I < Size; ++I) {
        const int Half = Size - 1 - I;  // the base row is the widest
        switch (Direction) {
            case DFCS_SCROLLUP:
                FillSolid(DC, RECT{CX - I, CY - Size / 2 + I, CX + I + 1, CY - Size / 2 + I + 1},
                          Color);
                break;
            case DFCS_SCROLLDOWN:
            case DFCS_SCROLLCOMBOBOX:
                FillSolid(DC,
                          RECT{CX - Half, CY - Size / 2 + I, CX + Half + 1, CY - Size / 2 + I + 1},
                          Color);
                break;
            case DFCS_SCROLLLEFT:
                FillSolid(DC, RECT{CX - Size / 2 + I, CY - I, CX - Size / 2 + I + 1, CY + I + 1},
                          Color);
                break;
            default:
                FillSolid(DC,
                          RECT{CX - Size / 2 + I, CY - Half, CX - Size / 2 + I + 1, CY + Half + 1},
                          Color);
                break;
        }
    }
}

void ButtonFace(HDC DC, RECT& R, UINT State) {
    const bool Pushed = State & (DFCS_PUSHED | DFCS_CHECKED);
    const UINT Flat = (State & DFCS_FLAT) ? BF_FLAT : 0;
    DrawEdge(DC, &R, Pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST | Flat);
}

void CheckBox(HDC DC, RECT R, UINT State) {
    const int S = std::min({13, int(R.right - R.left), int(R.bottom - R.top)});
    RECT Box{R.left, (R.top + R.bottom - S) / 2, R.left + S, (R.top + R.bottom - S) / 2 + S};
    const bool Grey = State & (DFCS_INACTIVE | DFCS_PUSHED);
    if (State & DFCS_FLAT) {
        FillSolid(DC, Box, GetSysColor(COLOR_BTNSHADOW));
        InflateRect(&Box, -1, -1);
        FillSolid(DC, Box, GetSysColor(Grey ? COLOR_BTNFACE : COLOR_WINDOW));
    } else {
        DrawEdge(DC, &Box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        FillSolid(DC, Box, GetSysColor(Grey ? COLOR_BTNFACE : COLOR_WINDOW));
    }
    if (State & DFCS_CHECKED)
        Glyph(DC, Box,
              {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."},
              GetSysColor((State & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT));
}

void RadioButton(HDC DC, RECT R, UINT State) {
    const int S = std::min({12, int(R.right - R.left), int(R.bottom - R.top)});
    RECT Box{R.left, (R.top + R.bottom - S) / 2, R.left + S, (R.top + R.bottom - S) / 2 + S};
    auto D = FindDC(DC);
    const bool Grey = State & (DFCS_INACTIVE | DFCS_PUSHED);
    const HPEN Pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    const HBRUSH Fill = CreateSolidBrush(GetSysColor(Grey ? COLOR_BTNFACE : COLOR_WINDOW));
    const HGDIOBJ OldPen = SelectObject(DC, Pen), OldBrush = SelectObject(DC, Fill);
    const int OldRop = SetROP2(DC, R2_COPYPEN);
    Ellipse(DC, Box.left, Box.top, Box.right, Box.bottom);
    if (State & DFCS_CHECKED) {
        const HBRUSH Dot = CreateSolidBrush(
            GetSysColor((State & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT));
        SelectObject(DC, GetStockObject(NULL_PEN));
        SelectObject(DC, Dot);
        const int C = (Box.left + Box.right) / 2, M = (Box.top + Box.bottom) / 2;
        Ellipse(DC, C - 2, M - 2, C + 2, M + 2);
        SelectObject(DC, Fill);
        DeleteObject(Dot);
    }
    SetROP2(DC, OldRop);
    SelectObject(DC, OldPen);
    SelectObject(DC, OldBrush);
    DeleteObject(Pen);
    DeleteObject(Fill);
    (void)D;
}

void CaptionGlyph(HDC DC, const RECT& R, UINT Kind, COLORREF Color, int DX, int DY) {
    switch (Kind) {
        case DFCS_CAPTIONCLOSE:
            Glyph(DC, R,
                  {"##....##", ".##..##.", "..####..", "...##...", "..####..", ".##..##.",
                   "##....##"},
                  Color, DX, DY);
            break;
        case DFCS_CAPTIONMIN:
            Glyph(DC, R, {"......", "......", "......", "######", "######"}, Color, DX, DY + 2);
            break;
        case DFCS_CAPTIONMAX:
            Glyph(DC, R,
                  {"#########", "#########", "#.......#", "#.......#", "#.......#", "#.......#",
                   "#.......#", "#########"},
                  Color, DX, DY);
            break;
        case DFCS_CAPTIONRESTORE:
            Glyph(DC, R,
                  {"..######", "..######", "..#....#", "######.#", "######.#", "#....###",
                   "#....#..", "#....#..", "######.."},
                  Color, DX, DY);
            break;
        default:
            Glyph(DC, R, {".####.", "##..##", "....##", "...##.", "..##..", "......", "..##.."},
                  Color, DX, DY);
            break;
    }
}

}  // namespace

BOOL DrawFrameControl(HDC DC, RECT* Rect, UINT Type, UINT State) {
    if (!FindDC(DC) || !Rect) return FALSE;
    RECT R = *Rect;
    const bool Inactive = State & DFCS_INACTIVE;
    const int Shift = (State & DFCS_PUSHED) ? 1 : 0;
    switch (Type) {
        case DFC_BUTTON:
            if (State & DFCS_BUTTONPUSH) {
                ButtonFace(DC, R, State);
            } else if (State & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
                RadioButton(DC, R, State);
            } else {
                CheckBox(DC, R, State);
            }
            break;
        case DFC_CAPTION: {
            ButtonFace(DC, R, State);
            const UINT Kind = State & 0xFF;
            if (Inactive) {
                CaptionGlyph(DC, R, Kind, GetSysColor(COLOR_BTNHIGHLIGHT), 1, 1);
                CaptionGlyph(DC, R, Kind, GetSysColor(COLOR_BTNSHADOW), 0, 0);
            } else {
                CaptionGlyph(DC, R, Kind, GetSysColor(COLOR_BTNTEXT), Shift, Shift);
            }
            break;
        }
        case DFC_SCROLL: {
            const UINT Kind = State & 0xFF;
            if (Kind == DFCS_SCROLLSIZEGRIP || Kind == DFCS_SCROLLSIZEGRIPRIGHT) {
                FillSolid(DC, R, GetSysColor(COLOR_BTNFACE));
                // Three diagonal ridges toward the bottom-right corner.
                for (int I = 0; I < 3; ++I)
                    for (int K = 0; K < 2 + 4 * I + 2 && K < R.right - R.left; ++K) {
                        const int Off = 4 * I + 2;
                        const int X = R.right - 1 - Off + K, Y = R.bottom - 1 - K;
                        if (K >= Off + 1) break;
                        FillSolid(DC, RECT{X, Y, X + 1, Y + 1}, GetSysColor(COLOR_BTNHIGHLIGHT));
                        FillSolid(DC, RECT{X + 1, Y, X + 3, Y + 1}, GetSysColor(COLOR_BTNSHADOW));
                    }
                break;
            }
            ButtonFace(DC, R, State);
            const int Size =
                std::max(2, (std::min(Rect->right - Rect->left, Rect->bottom - Rect->top) + 1) / 4);
            if (Inactive) {
                Arrow(DC, R, Kind, GetSysColor(COLOR_BTNHIGHLIGHT), 1, 1, Size);
                Arrow(DC, R, Kind, GetSysColor(COLOR_BTNSHADOW), 0, 0, Size);
            } else {
                Arrow(DC, R, Kind, GetSysColor(COLOR_BTNTEXT), Shift, Shift, Size);
            }
            break;
        }
        case DFC_MENU: {
            // Menu glyphs come black on white, ready to be used as a mask.
            FillSolid(DC, R, RGB(255, 255, 255));
            const UINT Kind = State & 0xFF;
            if (Kind == DFCS_MENUCHECK)
                Glyph(DC, R,
                      {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."},
                      0);
            else if (Kind == DFCS_MENUBULLET)
                Glyph(DC, R, {".##.", "####", "####", ".##."}, 0);
            else
                Arrow(DC, R, DFCS_SCROLLRIGHT, 0, 0, 0,
                      std::max(2, (std::min(R.right - R.left, R.bottom - R.top) + 1) / 4));
            break;
        }
        default:
            return FALSE;
    }
    if (State & DFCS_ADJUSTRECT) *Rect = R;
    return TRUE;
}

// --- icons -------------------------------------------------------------------------------------

HICON CreateIconIndirect(const ICONINFO* Info) {
    if (!Info) return 0;
    auto Mask = FindAs<TBitmapObject>(Info->hbmMask, OBJ_BITMAP);
    if (!Mask) return 0;
    auto Color = FindAs<TBitmapObject>(Info->hbmColor, OBJ_BITMAP);
    auto I = std::make_shared<TIconObject>();
    I->Icon = Info->fIcon != 0;
    I->HotSpot = POINT{LONG(Info->xHotspot), LONG(Info->yHotspot)};
    if (Color) {
        I->Color = Color->Image.copy();
        I->Mask = Mask->Image.copy(0, 0, Color->Image.width(), Color->Image.height());
    } else {
        // A monochrome icon: the AND mask above the XOR picture in one bitmap.
        const int H = Mask->Image.height() / 2;
        if (H <= 0) return 0;
        I->Mask = Mask->Image.copy(0, 0, Mask->Image.width(), H);
        I->Color = Mask->Image.copy(0, H, Mask->Image.width(), H);
    }
    return Add(I);
}

BOOL GetIconInfo(HICON Icon, ICONINFO* Info) {
    auto I = FindAs<TIconObject>(Icon, OBJ_ICON_INTERNAL);
    if (!I || !Info) return FALSE;
    Info->fIcon = I->Icon;
    Info->xHotspot = DWORD(I->HotSpot.x);
    Info->yHotspot = DWORD(I->HotSpot.y);
    Info->hbmColor = CreateBitmapFromImage(I->Color);
    Info->hbmMask = CreateBitmapFromImage(I->Mask, true);
    return TRUE;
}

BOOL DestroyIcon(HICON Icon) {
    if (!FindAs<TIconObject>(Icon, OBJ_ICON_INTERNAL)) return FALSE;
    Remove(Icon);
    return TRUE;
}

HICON CopyIcon(HICON Icon) {
    auto I = FindAs<TIconObject>(Icon, OBJ_ICON_INTERNAL);
    if (!I) return 0;
    return Add(std::make_shared<TIconObject>(*I));
}

QImage IconImage(HICON Icon) {
    auto I = FindAs<TIconObject>(Icon, OBJ_ICON_INTERNAL);
    if (!I) return QImage();
    QImage Out(I->Color.size(), QImage::Format_ARGB32);
    for (int Y = 0; Y < Out.height(); ++Y)
        for (int X = 0; X < Out.width(); ++X) {
            const bool Clear = (I->Mask.pixel(X, Y) & 0xFFFFFF) != 0;
            const uint32_t C = I->Color.pixel(X, Y) & 0xFFFFFF;
            Out.setPixel(X, Y, Clear && C == 0 ? 0u : (0xFF000000u | C));
        }
    return Out;
}

BOOL DrawIconEx(HDC DC, int X, int Y, HICON Icon, int Width, int Height, UINT, HBRUSH FlickerFree,
                UINT Flags) {
    auto D = FindDC(DC);
    auto I = FindAs<TIconObject>(Icon, OBJ_ICON_INTERNAL);
    if (!D || !I || !D->Target()) return FALSE;
    if (Flags == 0) Flags = DI_NORMAL;
    const int W = Width > 0 ? Width : (Flags & DI_DEFAULTSIZE ? 32 : I->Color.width());
    const int H = Height > 0 ? Height : (Flags & DI_DEFAULTSIZE ? 32 : I->Color.height());
    if (FlickerFree) {
        RECT R{X, Y, X + W, Y + H};
        FillRect(DC, &R, FlickerFree);
    }
    const QImage Color = I->Color.scaled(W, H);
    const QImage Mask = I->Mask.scaled(W, H);
    QImage& Target = *D->Target();
    const QRegion Clip = D->EffectiveClip().translated(D->DeviceToImage());
    const QPoint O = D->ToImage(X, Y);
    const bool Mono = D->Mono();
    for (const QRect& C : Clip.intersected(QRect(O, QSize(W, H)))) {
        for (int PY = C.top(); PY <= C.bottom(); ++PY) {
            auto* Row = reinterpret_cast<uint32_t*>(Target.scanLine(PY));
            for (int PX = C.left(); PX <= C.right(); ++PX) {
                uint32_t V = Row[PX];
                if (Flags & DI_MASK) V &= Mask.pixel(PX - O.x(), PY - O.y());
                if (Flags & DI_IMAGE) {
                    uint32_t Src = Color.pixel(PX - O.x(), PY - O.y());
                    if (Mono) Src = MonoPixel(FromPixel(Src));
                    V = (Flags & DI_MASK) ? (V ^ Src) : Src;
                }
                Row[PX] = V | 0xFF000000u;
            }
        }
    }
    return TRUE;
}

BOOL DrawIcon(HDC DC, int X, int Y, HICON Icon) {
    return DrawIconEx(DC, X, Y, Icon, 0, 0, 0, 0, DI_NORMAL | DI_DEFAULTSIZE);
}

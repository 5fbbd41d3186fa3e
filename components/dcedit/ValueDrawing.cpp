#include "components/dcedit/ValueDrawing.h"

namespace {

constexpr int kSwatchInset = 2;
constexpr int kNamedSwatchWidth = 22;

}  // namespace

TRect SwatchRect(const TRect& R, bool WithName) {
    const int Left = R.Left + kSwatchInset;
    const int Right = WithName ? Left + kNamedSwatchWidth : R.Right - 3;
    return TRect{Left, R.Top + kSwatchInset, Right, R.Bottom - kSwatchInset};
}

void DrawValue(TCanvas& Canvas, const TRect& R, const std::string& Name,
               const TSwatchPainter& Paint) {
    const TRect Swatch = SwatchRect(R, !Name.empty());
    const TColor Text = Canvas.Font().Color();
    Paint(Canvas, Swatch);
    Canvas.Brush().SetStyle(bsClear);
    Canvas.Pen().SetStyle(psSolid);
    Canvas.Pen().SetColor(clBlack);
    Canvas.Rectangle(Swatch);
    Canvas.Brush().SetStyle(bsSolid);
    if (Name.empty()) return;
    RECT Place{R.Left + kValueNameOffset, R.Top, R.Right, R.Bottom};
    const HDC DC = Canvas.Handle();
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, ColorToRGB(Text));
    DrawText(DC, Name, &Place, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

TSwatchPainter ColorSwatch(TColor Color) {
    return [Color](TCanvas& Canvas, const TRect& Swatch) {
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(Color == clNone ? clWindow : Color);
        Canvas.FillRect(Swatch);
    };
}

TSwatchPainter BrushSwatch(TBrushStyle Style) {
    return [Style](TCanvas& Canvas, const TRect& Swatch) {
        // The pattern's gaps show the tooltip colour; a clear brush is that colour alone.
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(clInfoBk);
        Canvas.FillRect(Swatch);
        if (Style == bsClear) return;
        Canvas.Brush().SetStyle(Style);
        Canvas.Brush().SetColor(clBlack);
        const HDC DC = Canvas.Handle();
        SetBkMode(DC, TRANSPARENT);
        Canvas.FillRect(Swatch);
        Canvas.Brush().SetStyle(bsSolid);
    };
}

TSwatchPainter PenSwatch(TPenStyle Style) {
    return [Style](TCanvas& Canvas, const TRect& Swatch) {
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(clWindow);
        Canvas.FillRect(Swatch);
        Canvas.Pen().SetColor(clBlack);
        Canvas.Pen().SetStyle(Style);
        const int Middle = (Swatch.Top + Swatch.Bottom) / 2;
        Canvas.MoveTo(Swatch.Left + 1, Middle);
        Canvas.LineTo(Swatch.Right - 1, Middle);
        Canvas.Pen().SetStyle(psSolid);
    };
}

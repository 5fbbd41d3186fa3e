#include "htmlview/html/IpHtmlBevel.h"

namespace {

constexpr TIpHtmlColor kTopColor = 0xDCDCDC;
constexpr TIpHtmlColor kBottomColor = 0x404040;
constexpr TIpHtmlColor kLeftColor = 0xC0C0C0;
constexpr TIpHtmlColor kRightColor = 0x808080;

}  // namespace

void PaintBevel(TIpHtmlCanvas& Canvas, const TIpHtmlRect& R, int32_t Width, TIpHtmlEdges Edges) {
    if (Width <= 0 || IsEmptyRect(R)) return;
    // The last pixel row and column inside R.
    const int32_t L = R.Left, T = R.Top, Rt = R.Right - 1, B = R.Bottom - 1;
    if (Width == 1) {
        if (Edges.Top) Canvas.Polyline({{L, T}, {Rt + 1, T}}, kTopColor);
        if (Edges.Left) Canvas.Polyline({{L, T}, {L, B + 1}}, kLeftColor);
        if (Edges.Bottom) Canvas.Polyline({{L, B}, {Rt + 1, B}}, kBottomColor);
        if (Edges.Right) Canvas.Polyline({{Rt, T}, {Rt, B + 1}}, kRightColor);
        return;
    }
    const int32_t D = Width - 1;
    if (Edges.Top) Canvas.Polygon({{L, T}, {Rt, T}, {Rt - D, T + D}, {L + D, T + D}}, kTopColor);
    if (Edges.Left) Canvas.Polygon({{L, T}, {L, B}, {L + D, B - D}, {L + D, T + D}}, kLeftColor);
    if (Edges.Bottom)
        Canvas.Polygon({{L, B}, {Rt, B}, {Rt - D, B - D}, {L + D, B - D}}, kBottomColor);
    if (Edges.Right)
        Canvas.Polygon({{Rt, T}, {Rt, B}, {Rt - D, B - D}, {Rt - D, T + D}}, kRightColor);
}

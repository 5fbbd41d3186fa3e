#pragma once
// The raised frame of pictures with a border and of tables: a light top and left, a dark bottom
// and right; one pixel wide as lines, wider as trapezoids with mitred inner corners.
#include <cstdint>

#include "htmlview/html/IpHtmlCanvas.h"

struct TIpHtmlEdges {
    bool Top = true;
    bool Bottom = true;
    bool Left = true;
    bool Right = true;
};

// Paints the chosen edges Width pixels thick just inside R (canvas coordinates).
void PaintBevel(TIpHtmlCanvas& Canvas, const TIpHtmlRect& R, int32_t Width, TIpHtmlEdges Edges);

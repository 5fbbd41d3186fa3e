#pragma once
// How the value editors and their lists show a value: a swatch framed in black (the colour, the
// brush pattern in black on the tooltip colour, or a line in the pen style through its middle),
// and after it, when names are shown, the value's name.
#include <functional>
#include <string>

#include "platform/gdi/Graphics.h"

using TSwatchPainter = std::function<void(TCanvas& Canvas, const TRect& Swatch)>;

// The swatch of an item or field R: 2 pixels inside it, 22 wide when a name follows, else the
// full width less 3.
TRect SwatchRect(const TRect& R, bool WithName);
// Where a name after a swatch starts, from R's left.
inline constexpr int kValueNameOffset = 28;

// Draws the swatch (painted by Paint, then framed in black) and, when Name is not empty, the
// name after it (one line, vertically centred, no prefix) in the canvas's font colour.
void DrawValue(TCanvas& Canvas, const TRect& R, const std::string& Name,
               const TSwatchPainter& Paint);

TSwatchPainter ColorSwatch(TColor Color);
TSwatchPainter BrushSwatch(TBrushStyle Style);
TSwatchPainter PenSwatch(TPenStyle Style);

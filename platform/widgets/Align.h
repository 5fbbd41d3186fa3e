#pragma once
// Where alignment and anchors put the children of a control, as plain geometry.
//
// Alignment fills the parent's client rectangle from its edges: first the controls aligned to the
// top (in the order of their tops), then those at the bottom (lowest first), at the left (leftmost
// first), at the right (rightmost first), and last those that take the client area; each takes the
// whole width or height of what is left and the rest shrinks by its size. A control being moved
// by the program wins ties at its new place, so dragging a bar above another puts it there.
//
// Anchors keep a control (not aligned) at its distances from the parent's edges: anchored left
// and right it stretches with the parent, anchored right only it moves with the right edge,
// anchored to neither it keeps its centre in proportion. The same holds vertically.
#include <vector>

#include "platform/widgets/Control.h"

struct TAlignItem {
    TAlign Align = alNone;
    TRect Bounds;
    // The item the caller is moving (it wins ties with the others).
    bool Moving = false;
};

// Places every item with an Align other than alNone inside Client (their Bounds change) and leaves
// in Client what is left for the next.
void AlignItems(std::vector<TAlignItem>& Items, TRect& Client);

// Where a control whose bounds were Origin while its parent's client area was OriginWidth x
// OriginHeight goes when that area becomes Width x Height.
TRect AnchoredBounds(const TRect& Origin, int OriginWidth, int OriginHeight, int Width, int Height,
                     TAnchors Anchors);

#pragma once
// The texts of the column list: an item's text holds its columns separated by '|', and a column
// text may mark one part to be drawn in bold between two '~' (the two '~' are not shown:
// "Re: ~Meeting~ on Monday"). A single '~' marks nothing and is shown as it is.
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/widgets/ExtCtrls.h"

// A column text cut at its marked part.
struct TMarkedText {
    std::string Before;
    std::string Marked;
    std::string After;
    bool operator==(const TMarkedText&) const = default;
};

// The columns of an item's text, at most DCEditLimits::kMaxListColumns (the rest of the text
// stays in the last one).
std::vector<std::string> SplitColumns(const std::string& Item);
TMarkedText SplitMarked(const std::string& Column);

// The width of the three parts side by side and the height of the tallest, the marked part
// measured in Bold and the others in Normal.
SIZE MarkedTextExtent(HDC DC, const TMarkedText& Text, HFONT Normal, HFONT Bold);

// Draws the parts side by side on one line in Rect, the marked one in Bold, vertically centred.
// Left-aligned text starts at the left end and right-aligned text ends at the right end,
// centred text is centred; a text wider than Rect starts at the left end and ends in "...".
void DrawMarkedText(HDC DC, const RECT& Rect, const TMarkedText& Text, HFONT Normal, HFONT Bold,
                    TAlignment Alignment);

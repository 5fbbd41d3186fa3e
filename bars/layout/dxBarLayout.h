#pragma once
// Placing the items of a toolbar window along its line (or lines), without windows: what the
// window knows of each item is its length along the line, its thickness across it, whether it
// begins a group and how it is aligned. Lengths and thicknesses are horizontal-bar terms; a
// vertical bar passes heights as lengths and gets its rectangles turned.
#include <vector>

#include "bars/model/dxBarTypes.h"
#include "platform/gdi/GdiTypes.h"

struct TdxBarLayoutItem {
    int Length = 0;
    int Thickness = 0;
    bool BeginGroup = false;
    TdxBarItemAlign Align = iaLeft;
    // A wrapping bar starts a new row with it (set by WrapItems).
    bool NewRow = false;
};

struct TdxBarLayoutParams {
    // Room along the line and across it (the client area less the mark and buttons at its end).
    int LineLength = 0;
    int Thickness = 0;
    // Floating and multi-line bars wrap; the others stop at the first item that does not fit.
    bool CanWrap = false;
    // Docked at the left or right: lengths run down, rows (columns) stack from the right edge.
    bool Vertical = false;
    // The client width of a vertical bar (its columns stack from the right edge).
    int ClientWidth = 0;
    int GroupSize = 0;
    // Items' Align applies (docked single-line bars).
    bool CanAlign = false;
};

struct TdxBarLayoutPlace {
    TRect Rect;
    int RowThickness = 0;
    bool Placed = false;
    bool LastInRow = false;
    // Starts a row that is not the first (a group separator line goes above it).
    bool StartsRow = false;
};

struct TdxBarLayoutResult {
    std::vector<TdxBarLayoutPlace> Places;
    int PlacedCount = 0;
    // Not every item could be placed on a single line.
    bool HiddenItems = false;
};

TdxBarLayoutResult PlaceItems(const std::vector<TdxBarLayoutItem>& Items,
                              const TdxBarLayoutParams& Params);

struct TdxBarWrapResult {
    // Length of the longest row and the rows' thicknesses with the separators between them.
    int Length = 0;
    int Thickness = 0;
    int RowCount = 0;
};

// Breaks the items into rows of at most Length: a row that overflows breaks before its last
// group start (a separator's room goes between the rows), or, without one, before the item that
// does not fit, and then the next group start begins a row too. Marks Items' NewRow.
TdxBarWrapResult WrapItems(std::vector<TdxBarLayoutItem>& Items, int Length, int GroupSize);

// The length all items take on one line, separators included.
int LineLengthOf(const std::vector<TdxBarLayoutItem>& Items, int GroupSize);
// The largest number of leading items that fit into Length (with Reserve more once not every
// item fits: the mark).
int FittingItemCount(const std::vector<TdxBarLayoutItem>& Items, int Length, int GroupSize,
                     int Reserve);

#pragma once
// Dragging item links in customizing mode. The manager's DragItem runs the drag as a loop of its
// own (dxBarDragItem.cpp); the bar window under the pointer tells where a drop would land (a drop
// place), an insertion mark shows it (dxBarDragMark.cpp), and the drop changes the links
// (dxBarDragDrop.cpp).
#include <functional>
#include "bars/model/dxBarTypes.h"
#include "bars/windows/dxBarControl.h"
#include "platform/gdi/GdiTypes.h"

// Where on a bar window a dragged item would land: on the link under the pointer (none: over no
// item), on the group separator before it or on the link itself, nearer its start edge or its
// end edge. A vertical place stacks its items from the top (submenus, bars docked at a side).
struct TdxBarDropPlace {
    // None once the window closes.
    TBarWindowRef<> Window;
    TdxBarItemLink* Link = nullptr;
    bool OnSeparator = false;
    bool Before = false;
    bool Vertical = false;
    bool operator==(const TdxBarDropPlace&) const = default;
};

// How a drag ended, as the drop rules need it.
struct TdxBarDragOutcome {
    TdxBarItem* Item = nullptr;
    // The link dragged; none for a command of the customizing dialog.
    TdxBarItemLink* SourceLink = nullptr;
    // The pointer moved (or Ctrl changed) during the drag, and the button was released (not Esc,
    // not a lost capture).
    bool Moved = false;
    bool Dropped = false;
    // Ctrl held: a copy, never a move.
    bool Copying = false;
    // The pointer was over a bar window at the drop (not off every bar), and the place on it
    // (without a window once the window closed).
    bool OverBar = false;
    TdxBarDropPlace Place;
    // Screen points: the pointer at the drop, and where it held the dragged link when the drag
    // began (measured from the link's rectangle as it lies at the drop).
    TPoint DropPoint;
    TPoint GrabPoint;
    bool HasGrabPoint = false;
};

// The new link goes in front of the drop link (else right after it).
bool dxBarDropGoesBefore(const TdxBarDropPlace& Place);
// In front of the drop link, the new link takes over the drop link's group separator (it lands
// behind the separator): on the separator's end half, or on the link's start half when the link
// begins a group.
bool dxBarDropTakesGroup(const TdxBarDropPlace& Place);

// --- the insertion mark ---------------------------------------------------------------------

// Whether a drop at Place shows the mark: always for a command or a copy; for a move not where
// the link would land on its own place.
bool dxBarInsertionMarkWanted(const TdxBarItemLink* SourceLink, bool Copying,
                              const TdxBarDropPlace& Place);

// The I-beam six pixels across at the edge of an item where a new link goes: Edge is its left
// (a horizontal mark) or top (a vertical one), Span the item's rectangle across the line.
struct TdxBarInsertionMark {
    TBarWindowRef<> Window;
    TRect Span;
    int Edge = 0;
    bool Vertical = false;
    bool operator==(const TdxBarInsertionMark&) const = default;
};
inline constexpr int kdxBarInsertionMarkSize = 6;

// The mark for a drop place on a link; between two links of one group it lies at the start of
// the second, so each gap shows one mark.
TdxBarInsertionMark dxBarInsertionMarkOf(const TdxBarDropPlace& Place);
// Inverts the mark's pixels on its window: drawn twice, it is gone.
void InvertInsertionMark(const TdxBarInsertionMark& Mark);
void DrawInsertionMark(const TdxBarDropPlace& Place);

// --- the drop ---------------------------------------------------------------------------------

// What the drop does to the links, the selection and menu mode (nothing without a drop after a
// move of the pointer). True when it deleted the source link.
bool dxBarDropDraggedItem(TdxBarManager* Manager, const TdxBarDragOutcome& Outcome);
// Drags Item in customizing mode until it is dropped or cancelled (the manager's DragItem, through
// the customizing entry point), calls Dropped once the pointer has let go, then drops it as above.
bool dxBarDragAndDropItem(TdxBarManager* Manager, TdxBarItem* Item, TdxBarItemLink* SourceLink,
                          const std::function<void()>& Dropped);
// A window that shows no link takes a drop anywhere in it.
bool dxBarShowsNoLinks(const TCustomdxBarControl* Window);
// Whether a drop on these links may add a link to the item (a sub-item never comes to hold
// itself).
bool dxBarLinksCanTake(const TdxBarItemLinks* Links, TdxBarItem* Item);

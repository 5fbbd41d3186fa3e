// The insertion mark of a drag: whether a drop place shows it, where on the bar window it lies,
// and the I-beam itself, drawn by inverting pixels so that drawing it again takes it away
// without repainting the items under it.
#include <iterator>

#include "bars/customize/dxBarDrag.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarItemControls.h"
#include "platform/core/Paint.h"

namespace {

// The link next to Link in the visible list of its own collection (Step -1: before, 1: after).
const TdxBarItemLink* VisibleNeighbour(const TdxBarItemLink* Link, int Step) {
    const TdxBarItemLinks* Links = Link ? Link->Links() : nullptr;
    const int Index = Links ? Links->VisibleIndexOf(Link) : -1;
    return Index < 0 ? nullptr : Links->VisibleItems(Index + Step);
}

// The link shown next to Link in Window (Step -1: before, 1: after), or none.
TdxBarItemLink* ShownNeighbour(TCustomdxBarControl* Window, TdxBarItemLink* Link, int Step) {
    TdxBarItemLinks* Links = Window->ItemLinks();
    const int Index = Links->ShownIndexOf(Link);
    return Index < 0 || Index + Step < 0 ? nullptr : Links->ShownItems(Index + Step);
}

TRect RectOf(TCustomdxBarControl* Window, TdxBarItemLink* Link) {
    return Link->Control() ? Window->GetItemRect(Link->Control()) : Link->ItemRect();
}

// Two links lie on one line of the window (one row of a horizontal bar, one column of a
// vertical one), so that a mark between them reads as one gap.
bool OnOneLine(TCustomdxBarControl* Window, TdxBarItemLink* A, TdxBarItemLink* B, bool Vertical) {
    const TRect RA = RectOf(Window, A), RB = RectOf(Window, B);
    return Vertical ? RA.Left == RB.Left : RA.Top == RB.Top;
}

// One stroke of the I-beam: from (Along1, Across1) to (Along2, Across2), the last point left
// out. Along counts from the mark's edge; across from the item's start (FromEnd false) or end.
struct TStroke {
    int Along1;
    bool FromEnd1;
    int Across1;
    int Along2;
    bool FromEnd2;
    int Across2;
};

// The I-beam: a bar along each end of the item, narrowing toward a two-pixel stem.
constexpr TStroke kIBeam[] = {
    {0, false, 0, 6, false, 0}, {1, false, 1, 5, false, 1}, {2, false, 2, 2, true, -2},
    {3, false, 2, 3, true, -2}, {1, true, -2, 5, true, -2}, {0, true, -1, 6, true, -1},
};

POINT StrokePoint(const TdxBarInsertionMark& Mark, int Along, bool FromEnd, int Across) {
    const int Start = Mark.Vertical ? Mark.Span.Left : Mark.Span.Top;
    const int End = Mark.Vertical ? Mark.Span.Right : Mark.Span.Bottom;
    const int A = Mark.Edge + Along;
    const int C = (FromEnd ? End : Start) + Across;
    return Mark.Vertical ? POINT{C, A} : POINT{A, C};
}

}  // namespace

bool dxBarInsertionMarkWanted(const TdxBarItemLink* SourceLink, bool Copying,
                              const TdxBarDropPlace& Place) {
    const TdxBarItemLink* Drop = Place.Link;
    if (!Drop) return false;
    if (!SourceLink || Copying) return true;
    const bool BeforeSeparator = Place.OnSeparator && Place.Before;
    // A move onto its own place: only across the separator before it does the link go anywhere.
    if (Drop == SourceLink) return BeforeSeparator;
    if (Drop == VisibleNeighbour(SourceLink, -1))
        return Place.OnSeparator || Place.Before || SourceLink->BeginGroup();
    if (Drop == VisibleNeighbour(SourceLink, 1)) {
        if (BeforeSeparator) return false;
        if (Drop->BeginGroup()) return true;
        return !Place.Before;
    }
    return true;
}

TdxBarInsertionMark dxBarInsertionMarkOf(const TdxBarDropPlace& Place) {
    TdxBarInsertionMark Mark;
    Mark.Window = Place.Window;
    Mark.Vertical = Place.Vertical;
    TCustomdxBarControl* Window = Place.Window;
    TdxBarItemLink* Link = Place.Link;
    if (!Window || !Link || !Window->ItemLinks()) return Mark;
    // In front of a separator the mark goes to the end of the link before it.
    TdxBarItemLink* On = Link;
    bool AtEnd = false;
    if (dxBarDropGoesBefore(Place)) {
        TdxBarItemLink* Prev = ShownNeighbour(Window, Link, -1);
        if (Link->BeginGroup() && !dxBarDropTakesGroup(Place) && Prev &&
            OnOneLine(Window, Prev, Link, Place.Vertical)) {
            On = Prev;
            AtEnd = true;
        }
    } else {
        TdxBarItemLink* Next = ShownNeighbour(Window, Link, 1);
        if (Next && !Next->BeginGroup() && OnOneLine(Window, Link, Next, Place.Vertical))
            On = Next;
        else
            AtEnd = true;
    }
    Mark.Span = RectOf(Window, On);
    const int Start = Place.Vertical ? Mark.Span.Top : Mark.Span.Left;
    const int End = Place.Vertical ? Mark.Span.Bottom : Mark.Span.Right;
    Mark.Edge = AtEnd ? End - kdxBarInsertionMarkSize : Start;
    return Mark;
}

void InvertInsertionMark(const TdxBarInsertionMark& Mark) {
    TCustomdxBarControl* Window = Mark.Window;
    if (BarWindowGone(Window) || !Window->HandleAllocated()) return;
    const HDC DC = GetDC(Window->Handle());
    const int OldRop = SetROP2(DC, R2_NOT);
    for (const TStroke& S : kIBeam) {
        const POINT From = StrokePoint(Mark, S.Along1, S.FromEnd1, S.Across1);
        const POINT To = StrokePoint(Mark, S.Along2, S.FromEnd2, S.Across2);
        MoveToEx(DC, From.x, From.y, nullptr);
        LineTo(DC, To.x, To.y);
    }
    SetROP2(DC, OldRop);
    ReleaseDC(Window->Handle(), DC);
}

void DrawInsertionMark(const TdxBarDropPlace& Place) {
    InvertInsertionMark(dxBarInsertionMarkOf(Place));
}

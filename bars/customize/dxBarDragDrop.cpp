// What the drop of a dragged item does to the links. Off every bar a dragged link is deleted
// (kept when Ctrl is held); on its own place, dragged a few pixels along the bar, a link starts
// or ends a group; anywhere else a link to the item is inserted before or after the link under
// the pointer, and a move deletes the link it came from.
#include <cstdlib>

#include "bars/customize/dxBarDrag.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarToolbar.h"
#include "platform/gdi/RectMath.h"

namespace {

// A link dragged along its bar by more than this (pixels) on its own place changes its group.
constexpr int kNudgeDistance = 3;

// The customizing selection goes; its window paints itself without it.
void ClearCustomizingSelection(TdxBarManager* Manager) {
    TdxBarItemControl* Selection = Manager->CustomizingSelection();
    if (!Selection) return;
    const TBarWindowRef<> Window = Selection->Parent();
    Manager->SetCustomizingSelection(nullptr);
    if (BarWindowGone(Window)) return;
    if (Window->SelectedControl() == Selection) Window->SetSelectedControl(nullptr);
    if (!BarWindowGone(Window)) Window->Invalidate();
}

// Deletes a dragged link. The group it started keeps its separator: the separator passes to the
// next link (and a first link's successor, now first, drops its own).
void DeleteDraggedLink(TdxBarItemLink* Link) {
    TdxBarItemLinks* Links = Link->Links();
    const int Index = Link->Index();
    TdxBarItemLink* Next = Links && Index + 1 < Links->Count() ? Links->Items(Index + 1) : nullptr;
    const bool HandOver = Next && ((Index == 0 && Next->OwnBeginGroup()) ||
                                   (Link->OwnBeginGroup() && !Next->OwnBeginGroup()));
    delete Link;
    if (HandOver) Next->SetBeginGroup(!Next->OwnBeginGroup());
}

// The drop on the link's own place: dragged forward (right, or down in a vertical bar) it starts
// a group, backward it ends one.
void Nudge(TdxBarManager* Manager, const TdxBarDragOutcome& Outcome) {
    TdxBarItemLink* Link = Outcome.SourceLink;
    TdxBarItemControl* Control = Link->Control();
    TCustomdxBarControl* Window = Control ? Control->Parent() : nullptr;
    if (BarWindowGone(Window) || !Outcome.HasGrabPoint) return;
    const bool Vertical = Window->IsSubMenuWindow() || IsVerticalBar(Window);
    const int Distance = Vertical ? Outcome.DropPoint.Y - Outcome.GrabPoint.Y
                                  : Outcome.DropPoint.X - Outcome.GrabPoint.X;
    if (std::abs(Distance) <= kNudgeDistance) return;
    const bool Forward = Distance > 0;
    if (Link->BeginGroup() == Forward) {
        Window->SetKeySelectedControl(Control);
        return;
    }
    Window->SetSelectedControl(Control);
    Manager->SetCustomizingSelection(Control);
    Link->SetBeginGroup(Forward);
}

// The active toolbar leaves menu mode for the toolbar that took the new link.
void FollowWithMenuMode(TdxBarItemLink* Link) {
    auto* Active = dynamic_cast<TdxBarControl*>(ActiveBarControl());
    const TBarWindowRef<> Window = Link->Links()->BarControl();
    if (!Active || Active == Window) return;
    Active->HideAll();
    if (auto* Toolbar = dynamic_cast<TdxBarControl*>(Window.get()))
        Toolbar->EnterMenuMode(Link->Control());
}

// A new link to the item at the drop place (at the end of a window that shows no link); a move
// deletes its source link. True when the source link went.
bool InsertLink(TdxBarManager* Manager, const TdxBarDragOutcome& Outcome) {
    const TdxBarDropPlace& Place = Outcome.Place;
    const TBarWindowRef<> Target = Place.Window;
    TdxBarItemLinks* Links = Target->ItemLinks();
    if (!dxBarLinksCanTake(Links, Outcome.Item)) {
        ClearCustomizingSelection(Manager);
        return false;
    }
    // Read before the new link changes which link comes first.
    const bool TakesGroup = Place.Link && dxBarDropTakesGroup(Place);
    const int Index = !Place.Link                  ? Links->Count()
                      : dxBarDropGoesBefore(Place) ? Place.Link->Index()
                                                   : Place.Link->Index() + 1;
    TdxBarItemLink* Link = Links->Insert(Index);
    try {
        Link->SetItem(Outcome.Item);
        if (Outcome.SourceLink) Link->Assign(Outcome.SourceLink);
    } catch (...) {
        delete Link;
        throw;
    }
    if (TakesGroup) {
        Link->SetBeginGroup(true);
        Place.Link->SetBeginGroup(false);
    }
    const bool FromElsewhere = !Outcome.SourceLink || Outcome.SourceLink->Links() != Links;
    const bool Move = Outcome.SourceLink && !Outcome.Copying;
    // The source goes before the window lays itself out, so that the layout it posts for
    // itself finds nothing left to change and keeps the new selection.
    if (Move) DeleteDraggedLink(Outcome.SourceLink);
    if (BarWindowGone(Target)) return Move;
    Target->UpdateLayout();
    if (!BarWindowGone(Target) && Link->Control()) {
        Manager->SetCustomizingSelection(Link->Control());
        Target->SetSelectedControl(Link->Control());
    }
    if (!BarWindowGone(Target) && (FromElsewhere || Outcome.Copying)) Target->Invalidate();
    FollowWithMenuMode(Link);
    return Move;
}

// Over a window without a link under the pointer, a drop fills only a window that shows none.
bool InsertsIntoEmpty(const TdxBarDragOutcome& Outcome) {
    TCustomdxBarControl* Target = Outcome.Place.Window;
    if (!dxBarShowsNoLinks(Target) || !Target->HandleAllocated()) return false;
    const TPoint Client = Target->ScreenToClient(Outcome.DropPoint);
    return PtInRect(Target->ClientRect(), Client);
}

bool OnOwnPlace(const TdxBarDragOutcome& Outcome) {
    const TdxBarDropPlace& Place = Outcome.Place;
    return Outcome.SourceLink && !Outcome.Copying && Place.Link &&
           !(Place.OnSeparator && Place.Before) &&
           !dxBarInsertionMarkWanted(Outcome.SourceLink, Outcome.Copying, Place);
}

}  // namespace

bool dxBarDropGoesBefore(const TdxBarDropPlace& Place) {
    return Place.OnSeparator || Place.Before;
}

bool dxBarDropTakesGroup(const TdxBarDropPlace& Place) {
    if (Place.OnSeparator == Place.Before) return false;
    return Place.OnSeparator || (Place.Link && Place.Link->BeginGroup());
}

bool dxBarLinksCanTake(const TdxBarItemLinks* Links, TdxBarItem* Item) {
    if (!Links || !Item) return false;
    const TCustomdxBarSubItem* Owner = Links->OwnerSubItem();
    return !Owner || Owner->CanContainItem(Item);
}

bool dxBarShowsNoLinks(const TCustomdxBarControl* Window) {
    return !BarWindowGone(Window) && Window->ItemLinks() &&
           Window->ItemLinks()->VisibleItemCount() == 0;
}

bool dxBarDropDraggedItem(TdxBarManager* Manager, const TdxBarDragOutcome& Outcome) {
    if (!Outcome.Dropped || !Outcome.Moved) return false;
    if (!Outcome.OverBar) {
        const bool Delete = Outcome.SourceLink && !Outcome.Copying;
        ClearCustomizingSelection(Manager);
        if (Delete) DeleteDraggedLink(Outcome.SourceLink);
        return Delete;
    }
    // The window under the pointer closed meanwhile (a submenu): nothing to drop on.
    if (BarWindowGone(Outcome.Place.Window)) return false;
    if (OnOwnPlace(Outcome)) {
        Nudge(Manager, Outcome);
        return false;
    }
    if (!Outcome.Place.Link && !InsertsIntoEmpty(Outcome)) {
        ClearCustomizingSelection(Manager);
        return false;
    }
    return InsertLink(Manager, Outcome);
}

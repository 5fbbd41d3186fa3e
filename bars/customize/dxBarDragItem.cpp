// The drag of an item in customizing mode: a loop of its own that follows the pointer over the
// bar windows and shows what a drop there would do (the cursor, the selection, the insertion
// mark). The release of the button drops; Esc, a lost capture and the end of the program's
// message loop cancel without a change. Ctrl copies instead of moving, also when it is pressed or
// released without a move of the pointer.
#include <optional>

#include "bars/customize/dxBarCustForm.h"
#include "bars/customize/dxBarDrag.h"
#include "bars/look/dxBarCursors.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarToolbar.h"
#include "bars/windows/dxBarUtils.h"
#include "platform/core/Input.h"
#include "platform/core/Pointer.h"
#include "platform/gdi/RectMath.h"
#include "platform/widgets/Forms.h"

namespace {

bool ScreenRectHolds(HWND Wnd, TPoint P) {
    RECT R;
    return Wnd && IsWindowVisible(Wnd) && GetWindowRect(Wnd, &R) && PtInRect(&R, POINT{P.X, P.Y});
}

// The screen place of a link's rectangle while its window shows it.
std::optional<TPoint> LinkOrigin(TdxBarItemLink* Link) {
    TdxBarItemControl* Control = Link ? Link->Control() : nullptr;
    TCustomdxBarControl* Window = Control ? Control->Parent() : nullptr;
    if (BarWindowGone(Window) || !Window->HandleAllocated()) return std::nullopt;
    const TRect R = Window->GetItemRect(Control);
    return Window->ClientToScreen(TPoint{R.Left, R.Top});
}

class TdxBarItemDrag {
  public:
    TdxBarItemDrag(TdxBarManager* Manager, TdxBarItem* Item, TdxBarItemLink* SourceLink)
        : FManager(Manager) {
        FOutcome.Item = Item;
        FOutcome.SourceLink = SourceLink;
    }
    TdxBarItemDrag(const TdxBarItemDrag&) = delete;
    TdxBarItemDrag& operator=(const TdxBarItemDrag&) = delete;

    // Follows the pointer until the drop or the cancellation; then the mark is gone, the capture
    // released and the cursor the one from before.
    TdxBarDragOutcome Run();

  private:
    // One message of the loop; false ends the loop.
    bool Handle(MSG& Msg);
    // The pointer moved, or Ctrl changed: the target, the cursor, the selection and the mark.
    void Follow();
    void FollowInSubMenu(const TBarWindowRef<>& Target, const TdxBarDropPlace& Place, TPoint P);
    TCustomdxBarControl* FindTarget(TPoint P) const;
    TdxBarDropPlace PlaceOn(TCustomdxBarControl* Target, TPoint P);
    int CursorFor(const TdxBarDropPlace& Place) const;
    // The target's selection and the mark follow a changed place.
    void Track(const TdxBarDropPlace& Place);
    void Select(const TdxBarDropPlace& Place);
    void EraseMark();
    void Finish();

    TdxBarManager* FManager;
    TdxBarDragOutcome FOutcome;
    HWND FOwner = 0;
    HCURSOR FSavedCursor = 0;
    std::optional<TPoint> FGrabOffset;
    std::optional<TPoint> FLastPoint;
    // The place the selection and the mark show, with the Ctrl state they were worked out for.
    TdxBarDropPlace FShown;
    bool FShownCopying = false;
    std::optional<TdxBarInsertionMark> FMark;
};

TdxBarDragOutcome TdxBarItemDrag::Run() {
    FOwner = FManager->DragOwnerWindow();
    if (!FOwner) return FOutcome;
    const TPoint Start = ToTPoint(CursorNow());
    if (const std::optional<TPoint> Origin = LinkOrigin(FOutcome.SourceLink))
        FGrabOffset = TPoint{Start.X - Origin->X, Start.Y - Origin->Y};
    FOutcome.Copying = GetKeyState(VK_CONTROL) < 0;
    FSavedCursor = GetCursor();
    SetCapture(FOwner);
    try {
        TModalLoop Loop(kDragWait);
        MSG Msg;
        bool Going = true;
        while (Going && GetCapture() == FOwner) {
            const TModalLoop::TNext Next = Loop.Next(Msg);
            if (Next == TModalLoop::TNext::Quit) break;
            if (Next == TModalLoop::TNext::Message) Going = Handle(Msg);
        }
    } catch (...) {
        Finish();
        throw;
    }
    Finish();
    FOutcome.DropPoint = FLastPoint.value_or(ToTPoint(CursorNow()));
    const std::optional<TPoint> Origin = LinkOrigin(FOutcome.SourceLink);
    FOutcome.HasGrabPoint = FGrabOffset && Origin;
    if (FOutcome.HasGrabPoint)
        FOutcome.GrabPoint = TPoint{Origin->X + FGrabOffset->X, Origin->Y + FGrabOffset->Y};
    return FOutcome;
}

bool TdxBarItemDrag::Handle(MSG& Msg) {
    const UINT Kind = Msg.message;
    if (Kind >= WM_KEYFIRST && Kind <= WM_KEYLAST) {
        const bool Down = Kind == WM_KEYDOWN || Kind == WM_SYSKEYDOWN;
        if (Msg.wParam == VK_ESCAPE && Down) return false;
        if (Msg.wParam == VK_CONTROL && (Kind == WM_KEYDOWN || Kind == WM_KEYUP)) {
            FOutcome.Copying = Kind == WM_KEYDOWN;
            Follow();
        }
        // Every other key waits until the drag is over.
        return true;
    }
    switch (Kind) {
        case WM_MOUSEMOVE:
            Follow();
            return true;
        case WM_LBUTTONUP:
            // The drop lands where the button came up.
            if (ToTPoint(CursorNow()) != FLastPoint) Follow();
            FOutcome.Dropped = true;
            return false;
        default:
            TModalLoop::Deliver(Msg);
            return true;
    }
}

void TdxBarItemDrag::Follow() {
    const TPoint P = ToTPoint(CursorNow());
    FLastPoint = P;
    FOutcome.Moved = true;
    const TBarWindowRef<> Target = FindTarget(P);
    const TdxBarDropPlace Place = PlaceOn(Target, P);
    FOutcome.Place = Place;
    FOutcome.OverBar = Place.Window != nullptr;
    if (!Target) {
        EraseMark();
        FShown = TdxBarDropPlace{};
    } else {
        const bool SubMenu = Target->IsSubMenuWindow();
        if (SubMenu) FollowInSubMenu(Target, Place, P);
        // A submenu with a submenu open below it is only passed over.
        const auto PassedOver = [&] {
            return SubMenu && !BarWindowGone(Target) && Target->ChildBar();
        };
        if (!PassedOver()) Track(Place);
        if (PassedOver()) {
            EraseMark();
            FShown.Link = nullptr;
            FOutcome.Place.Link = nullptr;
        }
    }
    // Last: a window whose selection went may have set the cursor of its own.
    ::SetCursor(dxBarCursor(CursorFor(Place)));
}

void TdxBarItemDrag::FollowInSubMenu(const TBarWindowRef<>& Target, const TdxBarDropPlace& Place,
                                     TPoint P) {
    if (!Target->HandleAllocated()) return;
    const TPoint Client = Target->ScreenToClient(P);
    const WPARAM Keys = MK_LBUTTON | (FOutcome.Copying ? MK_CONTROL : 0);
    SendMessage(Target->Handle(), WM_MOUSEMOVE, Keys, MAKELPARAM(Client.X, Client.Y));
    // Customizing menus do not follow the pointer themselves: a submenu opened from another
    // entry closes once the pointer rests on this one.
    TdxBarItemControl* Control = Place.Link ? Place.Link->Control() : nullptr;
    if (!BarWindowGone(Target) && Target->ChildBar() && Control &&
        Control != Target->SelectedControl())
        Target->SetMouseSelectedControl(Control);
}

TCustomdxBarControl* TdxBarItemDrag::FindTarget(TPoint P) const {
    TCustomdxBarControl* Target = nullptr;
    for (HWND Wnd = ControlAtScreenPoint(P); Wnd && !Target; Wnd = GetParent(Wnd))
        Target = dynamic_cast<TCustomdxBarControl*>(FindControl(Wnd));
    if (Target && (Target->Retired() || Target->BarManager() != FManager)) Target = nullptr;
    // A bar window below a window that is not a bar (a form disabled while the customizing
    // dialog is open), unless the dialog itself lies over the point.
    TCustomForm* Dialog = GetCustomizingForm();
    const bool InDialog =
        Dialog && Dialog->HandleAllocated() && ScreenRectHolds(Dialog->Handle(), P);
    for (int I = 0; !Target && !InDialog && I < FManager->Bars()->Count(); ++I) {
        TdxBarControl* Window = FManager->Bars()->Items(I)->Control();
        if (Window && Window->HandleAllocated() && ScreenRectHolds(Window->Handle(), P))
            Target = Window;
    }
    if (!Target || !Target->ItemLinks() || !Target->IsCustomizable()) return nullptr;
    return Target;
}

TdxBarDropPlace TdxBarItemDrag::PlaceOn(TCustomdxBarControl* Target, TPoint P) {
    TdxBarDropPlace Place;
    if (!Target || !Target->HandleAllocated()) return Place;
    Place.Window = Target;
    TdxBarItemControl* Control = Target->GetDropPlace(Target->ScreenToClient(P), Place.OnSeparator,
                                                      Place.Before, Place.Vertical);
    // A sub-item's menu never takes the sub-item itself (or one that holds it).
    if (Control && dxBarLinksCanTake(Target->ItemLinks(), FOutcome.Item)) {
        Place.Link = Control->ItemLink();
    } else {
        Place.OnSeparator = Place.Before = false;
    }
    if (Place.Link || dxBarShowsNoLinks(Target)) FOutcome.Copying = GetKeyState(VK_CONTROL) < 0;
    return Place;
}

int TdxBarItemDrag::CursorFor(const TdxBarDropPlace& Place) const {
    if (!Place.Window || (!Place.Link && !dxBarShowsNoLinks(Place.Window)))
        return crdxBarDragNoDrop;
    return FOutcome.Copying || !FOutcome.SourceLink ? crdxBarDragCopy : crdxBarDrag;
}

void TdxBarItemDrag::Track(const TdxBarDropPlace& Place) {
    if (Place == FShown && FOutcome.Copying == FShownCopying) return;
    EraseMark();
    const bool ControlChanged = Place.Window != FShown.Window || Place.Link != FShown.Link;
    FShown = Place;
    FShownCopying = FOutcome.Copying;
    if (ControlChanged) Select(Place);
    if (BarWindowGone(Place.Window)) {
        FShown = TdxBarDropPlace{};
        return;
    }
    if (!dxBarInsertionMarkWanted(FOutcome.SourceLink, FOutcome.Copying, Place)) return;
    FMark = dxBarInsertionMarkOf(Place);
    InvertInsertionMark(*FMark);
}

void TdxBarItemDrag::Select(const TdxBarDropPlace& Place) {
    const TBarWindowRef<> Window = Place.Window;
    TdxBarItemControl* Control = Place.Link ? Place.Link->Control() : nullptr;
    TdxBarItemControl* Current = Window->SelectedControl();
    // Sub-items open and close their submenus as the pointer passes.
    if ((Control && Control->IsSubItemControl()) || (Current && Current->IsSubItemControl())) {
        Window->SetMouseSelectedControl(Control);
        return;
    }
    FManager->SetCustomizingSelection(Control);
    if (!BarWindowGone(Window)) Window->SetSelectedControl(Control);
}

void TdxBarItemDrag::EraseMark() {
    if (!FMark) return;
    InvertInsertionMark(*FMark);
    FMark.reset();
}

void TdxBarItemDrag::Finish() {
    EraseMark();
    if (GetCapture() == FOwner) ReleaseCapture();
    ::SetCursor(FSavedCursor);
}

}  // namespace

bool dxBarDragAndDropItem(TdxBarManager* Manager, TdxBarItem* Item, TdxBarItemLink* SourceLink,
                          const std::function<void()>& Dropped) {
    const TdxBarDragOutcome Outcome = TdxBarItemDrag(Manager, Item, SourceLink).Run();
    Dropped();
    return dxBarDropDraggedItem(Manager, Outcome);
}

// The keyboard and the mouse of every bar window: moving the selection with the arrow keys, Tab,
// Home and End; accelerator letters; leaving menu mode with Alt and F10; hot tracking under the
// mouse; pressing, clicking and double-clicking items; the start of item dragging in customizing
// mode.
#include "bars/model/dxBarCustomizing.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarItemControls.h"
#include "platform/core/Input.h"
#include "platform/core/Pointer.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/RectMath.h"
#include "platform/widgets/Forms.h"

namespace {

TdxBarItemControl* ControlOf(TdxBarItemLink* Link) {
    return Link ? Link->Control() : nullptr;
}

bool IsDroppedDownButton(TdxBarItemControl* Control) {
    auto* Button = dynamic_cast<TdxBarButtonControl*>(Control);
    return Button && Button->DroppedDown();
}

}  // namespace

// ---- keys -------------------------------------------------------------------------------------

void TCustomdxBarControl::WMKeyDown(TMessage& Message) {
    TCustomControl::Dispatch(Message);
    if (!ActiveBarControl() || !FItemLinks) return;
    WORD Key = WORD(Message.WParam);
    if (IsSubMenuWindow()) {
        // Up and down move along a submenu; left and right are the submenu's own.
        if (Key == VK_UP)
            Key = VK_LEFT;
        else if (Key == VK_DOWN)
            Key = VK_RIGHT;
        else if (Key == VK_LEFT || Key == VK_RIGHT)
            Key = 0;
    }
    const bool WasTab = Key == VK_TAB;
    if (WasTab) Key = GetKeyState(VK_SHIFT) < 0 ? VK_LEFT : VK_RIGHT;
    TdxBarItemLink* Selected = FSelectedControl ? FSelectedControl->ItemLink() : nullptr;
    switch (Key) {
        case 0:
            return;
        case VK_RIGHT:
        case VK_LEFT: {
            TdxBarItemLink* Link = !Selected         ? FItemLinks->First()
                                   : Key == VK_RIGHT ? FItemLinks->Next(Selected)
                                                     : FItemLinks->Prev(Selected);
            SetKeySelectedControl(ControlOf(Link));
            if (WasTab && !Retired() && FSelectedControl && FSelectedControl->IsWindowControl())
                FSelectedControl->Activate(false);
            return;
        }
        case VK_HOME:
            SetKeySelectedControl(ControlOf(FItemLinks->First()));
            return;
        case VK_END:
            SetKeySelectedControl(ControlOf(FItemLinks->Last()));
            return;
        case VK_MENU:
            Message.WParam = 0;
            HideAll();
            return;
        case VK_F10:
            if (!BarManager()->UseF10ForMenu) return;
            Message.WParam = 0;
            HideAll();
            return;
        default:
            break;
    }
    const bool Accel = (Key >= VK_A && Key <= VK_Z) || (Key >= VK_0 && Key <= VK_9);
    if (!Accel) return;
    const TShiftState Shift = KeyboardShiftState();
    TdxBarItemLink* Match = FItemLinks->FindLinkByAccel(Key, Shift, Selected);
    if (!Match || !Match->Item() || !Match->Item()->Enabled()) return;
    bool Several = false;
    bool LastNotShown = FItemLinks->ShownIndexOf(Match) < 0;
    for (TdxBarItemLink* At = Match; !LastNotShown;) {
        At = FItemLinks->FindLinkByAccel(Key, Shift, At);
        if (!At || At == Match) break;
        Several = true;
        LastNotShown = FItemLinks->ShownIndexOf(At) < 0;
    }
    if (IsSubMenuWindow() && BarManager()->Style() != bmsStandard &&
        ((Several && LastNotShown) ||
         (!Several && LastNotShown && Match->Control() && !Match->Control()->ClosesMenusOnClick())))
        SetMarkState(TdxBarButtonState::Down);
    if (Retired()) return;
    SetKeySelectedControl(Match->Control());
    if (!Several && !Retired() && HandleAllocated())
        SendMessage(Handle(), WM_KEYDOWN, VK_RETURN, 0);
}

// ---- the mouse --------------------------------------------------------------------------------

void TCustomdxBarControl::WMMouseMove(TMessage& Message) {
    if (FUpdateLock) return;
    const TPoint P = PointOf(Message.LParam);
    if (FInputState == TdxBarInputState::Pressed) {
        const bool Hot = PtInRect(GetItemRect(FPressedControl), P);
        if (Hot != FPressedControlHot) {
            FPressedControlHot = Hot;
            FPressedControl->Repaint();
        }
    }
    if (FInputState == TdxBarInputState::DragPending) {
        const int DX = GetSystemMetrics(SM_CXDRAG) / 2, DY = GetSystemMetrics(SM_CYDRAG) / 2;
        const TRect Drag{FDragStartPoint.X - DX, FDragStartPoint.Y - DY, FDragStartPoint.X + DX,
                         FDragStartPoint.Y + DY};
        if (PtInRect(Drag, P)) return;
        // The pointer left the drag rectangle: the item drag takes over.
        SetInputState(TdxBarInputState::Idle);
        ReleaseCapture();
        if (FSelectedControl) FSelectedControl->Deselect(true);
        TdxBarManager* Manager = BarManager();
        Manager->DragItem(Manager->DraggingItem(), Manager->DraggingItemLink());
        return;
    }
    if (!PtInRect(ClientRect(), P)) return;
    TCustomControl::Dispatch(Message);
    if (IsMouseUnmoved(P)) return;
    FLastCursorPos = ClientToScreen(P);
    TdxBarItemControl* Control = ItemAtPos(P);
    TdxBarItemControl* Editing = BarManager()->SelectedItem();
    const bool Edited = Editing && Editing->IsWindowControl() && Editing->Focused();
    if (!ActiveBarControl() || ActiveBarControl() == this) {
        // The I-beam says where typing goes; over another editor than the one being edited it
        // would promise what a click there does not do.
        const bool OverEditor = Control && Control->IsWindowControl() &&
                                PtInRect(Control->EditRect(), P) && (!Edited || Editing == Control);
        ::SetCursor(LoadCursor(0, MAKEINTRESOURCE(OverEditor ? IDC_IBEAM : IDC_ARROW)));
    }
    if (Edited) return;
    if (!IsMouseTracked(Handle())) {
        StartMouseTracking(Handle());
        if (Control && Control == FSelectedControl && !IsSubMenuWindow()) Control->Repaint();
    }
    if (Control && !Control->IsSelectable()) Control = nullptr;
    // A menu bar in menu mode keeps its selection between the items.
    if (!Control && FActive && !IsSubMenuWindow()) return;
    if (!Control && FInputState != TdxBarInputState::Pressed) {
        auto* Sub = dynamic_cast<TdxBarSubItemControl*>(FSelectedControl);
        if (Sub && Sub->GetSubMenuControl()) return;
    }
    SetMouseSelectedControl(Control);
}

void TCustomdxBarControl::WMMouseLeave(TMessage& Message) {
    if (FMarkState == TdxBarButtonState::Hot) SetMarkState(TdxBarButtonState::Normal);
    TCustomControl::Dispatch(Message);
    if (FChildBar || IsCustomizing() || IsDroppedDownButton(FSelectedControl)) return;
    SetMouseSelectedControl(nullptr);
}

void TCustomdxBarControl::WMNCHitTest(TMessage& Message) {
    TCustomControl::Dispatch(Message);
    if (HandleAllocated() && StopsMouseTracking(Message.Result)) StopMouseTracking(Handle());
}

void TCustomdxBarControl::WMLButtonDown(TMessage& Message) {
    if (IgnoreNextClick || !FItemLinks || FItemLinks->ShownCount() == 0) return;
    TCustomControl::Dispatch(Message);
    const TPoint P = PointOf(Message.LParam);
    const bool InClient = PtInRect(ClientRect(), P);
    TdxBarItemControl* Control = InClient ? ItemAtPos(P) : nullptr;
    if (IsCustomizing()) {
        if (Control && !Control->IsOwnManagerItem()) return;
        if (Control || !InClient) {
            if (Control && Control == FSelectedControl) {
                if (Control->Selected())
                    Control->Deselect(true);
                else
                    Control->Select(true);
                BarManager()->SetCustomizingSelection(Control);
                Control->Repaint();
            }
            SetMouseSelectedControl(Control);
        }
        if (Control && !Retired()) {
            SetInputState(TdxBarInputState::DragPending);
            FDragStartPoint = P;
            BarManager()->SetDragging(Control->Item(), Control->ItemLink());
            SetCapture(Handle());
        }
        return;
    }
    if (Control &&
        (!Control->GetEnabled() || (!Control->IsSelectable() && !Control->ExecutesItemOnClick())))
        Control = nullptr;
    if (!Control) return;
    SetKeySelectedControl(Control);
    auto* Button = dynamic_cast<TdxBarButtonControl*>(FSelectedControl);
    if (Button) Button->MouseDown = true;
    if (auto* Sub = dynamic_cast<TdxBarSubItemControl*>(FSelectedControl))
        Sub->AnimateNextOpening = true;
    Control->Press(true);
    if (Retired() || !HasControl(Control)) return;
    if (Button && HasControl(Button)) Button->MouseDown = false;
    if (!IsSubMenuWindow() && FSelectedControl && FSelectedControl->CapturesMouse()) {
        SetInputState(TdxBarInputState::Pressed);
        FPressedControl = FSelectedControl;
        FPressedControlHot = true;
        SetCapture(Handle());
        FPressedControl->Repaint();
    }
}

void TCustomdxBarControl::WMLButtonUp(TMessage& Message) {
    if (IgnoreNextClick) {
        IgnoreNextClick = false;
        return;
    }
    TCustomControl::Dispatch(Message);
    if (FInputState == TdxBarInputState::DragPending) {
        SetInputState(TdxBarInputState::Idle);
        BarManager()->SetDragging(nullptr, nullptr);
        ReleaseCapture();
        return;
    }
    TdxBarItemControl* Pressed = FPressedControl;
    EndPress();
    if (Pressed && GetCapture() == Handle()) ReleaseCapture();
    const TPoint P = PointOf(Message.LParam);
    if (PtInRect(ClientRect(), P) && FActive && !IsCustomizing()) {
        TdxBarItemControl* Control = ItemAtPos(P);
        if (Control && (Control->IsSelectable() || Control->ExecutesItemOnClick())) {
            if (Control->GetEnabled() && Control == FSelectedControl) {
                Control->Click(true);
            } else if (!IsSubMenuWindow() && !Control->GetEnabled() &&
                       Control != FSelectedControl && !IsDroppedDownButton(FSelectedControl)) {
                HideAll();
            }
        }
    }
    if (Pressed && !Retired()) HideAll();
}

void TCustomdxBarControl::WMLButtonDblClk(TMessage& Message) {
    TCustomControl::Dispatch(Message);
    TdxBarItemControl* Control = ItemAtPos(PointOf(Message.LParam));
    if (!Control || Control != FSelectedControl) return;
    if (Control->HandlesDblClick())
        DblClickItem(Control);
    else if (HandleAllocated())
        SendMessage(Handle(), WM_LBUTTONDOWN, Message.WParam, Message.LParam);
}

void TCustomdxBarControl::WMRButtonDown(TMessage& Message) {
    TCustomControl::Dispatch(Message);
    if (!IsCustomizing()) return;
    if (FSelectedControl) FSelectedControl->Deselect(true);
    const TPoint P = PointOf(Message.LParam);
    TdxBarItemControl* Control = PtInRect(ClientRect(), P) ? ItemAtPos(P) : nullptr;
    if (Control == BarManager()->CustomizingSelection() && Control) Control->Repaint();
    BarManager()->SetCustomizingSelection(Control);
    SetKeySelectedControl(Control);
    if (Control && !Retired() && HasControl(Control))
        dxBarCustomizing().ShowPopup(Control->ItemLink(), ClientToScreen(P));
}

void TCustomdxBarControl::WMCaptureChanged(TMessage& Message) {
    TCustomControl::Dispatch(Message);
    if (FInputState == TdxBarInputState::DragPending) {
        SetInputState(TdxBarInputState::Idle);
        BarManager()->SetDragging(nullptr, nullptr);
    }
    EndPress();
}

void TCustomdxBarControl::WMSetCursor(TMessage& Message) {
    if (HWND(Message.WParam) == Handle() && LOWORD(std::uintptr_t(Message.LParam)) == HTCLIENT) {
        ::SetCursor(Screen ? Screen->Cursors(Cursor()) : LoadCursor(0, MAKEINTRESOURCE(IDC_ARROW)));
        Message.Result = 1;
        return;
    }
    TCustomControl::Dispatch(Message);
}

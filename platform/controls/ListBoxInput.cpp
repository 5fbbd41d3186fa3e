// What the user does to a list box: keys, typed characters and the mouse, in a list of its own
// and in a combo box's list (see ListBoxControl.h).
#include <algorithm>

#include "platform/classes/FlagScope.h"
#include "platform/controls/Limits.h"
#include "platform/controls/ListBoxControl.h"
#include "platform/core/Input.h"

namespace {

// Characters typed within this time of each other make one search prefix.
constexpr DWORD kTypeAheadMs = 1000;
// Lines one notch of the wheel scrolls.
constexpr int kWheelLines = 3;

bool KeyHeld(int Key) {
    return (GetKeyState(Key) & 0x8000) != 0;
}

}  // namespace

bool LeftButtonHeld() {
    return KeyHeld(VK_LBUTTON);
}

// --- keyboard -----------------------------------------------------------------------------------

int TListBoxControl::Target(WPARAM Key, int From) const {
    const int Last = FItems.Count() - 1;
    const int Step = std::max(1, FullyVisible(FTop) - 1);
    // With nothing selected yet, the first step selects the item with the caret.
    const bool Fresh =
        !Multiple() && !NoSelection() && (Extended() ? SelCount() == 0 : FSelected < 0);
    int To = -1;
    switch (Key) {
        case VK_UP:
        case VK_LEFT:
            To = Fresh ? From : From - 1;
            break;
        case VK_DOWN:
        case VK_RIGHT:
            To = Fresh ? From : From + 1;
            break;
        case VK_PRIOR:
            To = From - Step;
            break;
        case VK_NEXT:
            To = From + Step;
            break;
        case VK_HOME:
            To = 0;
            break;
        case VK_END:
            To = Last;
            break;
        default:
            return -1;
    }
    return std::clamp(To, 0, Last);
}

void TListBoxControl::MoveCaretTo(int Index, bool Shift, bool Ctrl) {
    bool Changed = false;
    if (NoSelection() || Multiple()) {
        // The caret moves alone.
    } else if (Extended()) {
        if (Shift) {
            Changed = SelectRange(FAnchor, Index, true, !Ctrl);
        } else if (!Ctrl) {
            Changed = SelectRange(Index, Index, true, true);
            FAnchor = Index;
        }
    } else {
        Changed = SelectOnly(Index);
    }
    SetCaret(Index);
    ScrollIntoView(Index, false);
    if (InCombo()) {
        if (Changed) TellCombo(TComboListNotice::SelectionMoved);
        return;
    }
    // Multiple-selection lists tell of every move, single-selection lists of changes.
    if (Notifying() && !NoSelection() && (Changed || AnyMultiSelect())) NotifyParent(LBN_SELCHANGE);
}

LRESULT TListBoxControl::KeyDown(WPARAM Key) {
    int From = FCaret;
    if (!InCombo() && (Style() & LBS_WANTKEYBOARDINPUT)) {
        const LRESULT Answer =
            SendMessage(Owner().Wnd, WM_VKEYTOITEM,
                        MAKEWPARAM(static_cast<WORD>(Key), static_cast<WORD>(FCaret)), Handle());
        if (Answer == -2 || !IsWindow(Handle())) return 0;
        if (Answer >= 0 && Answer < FItems.Count()) From = static_cast<int>(Answer);
    }
    if (FItems.Empty()) return 0;
    const bool Shift = KeyHeld(VK_SHIFT);
    const bool Ctrl = KeyHeld(VK_CONTROL);
    if (Key == VK_SPACE && !NoSelection() && (Multiple() || (Extended() && Ctrl))) {
        SetSelected(FCaret, !Selected(FCaret));
        FAnchor = FCaret;
        if (Notifying()) NotifyParent(LBN_SELCHANGE);
        return 0;
    }
    const int To = Target(Key, From);
    if (To >= 0) MoveCaretTo(To, Shift, Ctrl);
    return 0;
}

int TListBoxControl::TypedSearch(unsigned char Character) {
    const auto Now = static_cast<DWORD>(GetMessageTime());
    if (Now - FTypedTime > kTypeAheadMs) FTyped.clear();
    FTypedTime = Now;
    if (FTyped.size() < ControlsLimits::kMaxTypedPrefix) FTyped += static_cast<char>(Character);
    // One letter typed again and again steps through the items that start with it; a longer
    // prefix may stay on the item it found before.
    const bool Stepping =
        std::all_of(FTyped.begin(), FTyped.end(), [&](char C) { return C == FTyped.front(); });
    const std::string Prefix = Stepping ? FTyped.substr(0, 1) : FTyped;
    const int Start = Stepping ? FCaret : FCaret - 1;
    return Find(Start, reinterpret_cast<LPARAM>(Prefix.c_str()), false);
}

LRESULT TListBoxControl::Char(unsigned char Character) {
    if (FItems.Empty()) return 0;
    if (!InCombo() && (Style() & LBS_WANTKEYBOARDINPUT) && !HasStrings()) {
        const LRESULT Answer = SendMessage(
            Owner().Wnd, WM_CHARTOITEM,
            MAKEWPARAM(static_cast<WORD>(Character), static_cast<WORD>(FCaret)), Handle());
        if (Answer >= 0 && Answer < FItems.Count() && IsWindow(Handle()))
            MoveCaretTo(static_cast<int>(Answer), false, false);
        return 0;
    }
    if (!HasStrings() || Character < 0x20) return 0;
    // Space toggles in multiple-selection lists (as a key).
    if (Character == ' ' && AnyMultiSelect()) return 0;
    const int Found = TypedSearch(Character);
    if (Found < 0) return 0;
    const TFlagScope Searching(FSearching);
    MoveCaretTo(Found, false, false);
    return 0;
}

// --- mouse --------------------------------------------------------------------------------------

void TListBoxControl::MouseDown(POINT Pt, WPARAM Keys, bool Double) {
    if (!FFocused) {
        SetFocus(Handle());
        if (!IsWindow(Handle())) return;
    }
    if (FItems.Empty()) return;
    bool Outside = false;
    const int Index = ItemAt(Pt, Outside);
    if (Double) {
        if (Notifying() && ItemRect(Index).bottom > Pt.y) NotifyParent(LBN_DBLCLK);
        return;
    }
    const bool Shift = Keys & MK_SHIFT;
    const bool Ctrl = Keys & MK_CONTROL;
    FTrackSelects = true;
    if (NoSelection()) {
        // Only the caret follows.
    } else if (Multiple()) {
        SetSelected(Index, !Selected(Index));
    } else if (Extended()) {
        if (Shift) {
            SelectRange(FAnchor, Index, true, !Ctrl);
        } else if (Ctrl) {
            SetSelected(Index, !Selected(Index));
            FAnchor = Index;
            FTrackSelects = Selected(Index);
        } else {
            SelectRange(Index, Index, true, true);
            FAnchor = Index;
        }
    } else {
        SelectOnly(Index);
    }
    SetCaret(Index);
    ScrollIntoView(Index, true);
    FTracking = true;
    SetCapture(Handle());
    if (!LeftButtonHeld()) MouseUp(Pt);
}

void TListBoxControl::TrackTo(int Index) {
    if (Index == FCaret && Index >= FTop && Index < FTop + FullyVisible(FTop)) return;
    if (NoSelection() || Multiple()) {
        // The caret follows alone.
    } else if (Extended()) {
        SelectRange(FAnchor, Index, FTrackSelects, FTrackSelects);
    } else {
        SelectOnly(Index);
    }
    SetCaret(Index);
    ScrollIntoView(Index, false);
}

void TListBoxControl::MouseMove(POINT Pt) {
    if (!FTracking || FItems.Empty()) return;
    bool Outside = false;
    int Index = ItemAt(Pt, Outside);
    // Below the list the selection moves on one item per move, scrolling.
    if (Pt.y >= Client().bottom) Index = std::min(FItems.Count() - 1, FCaret + 1);
    TrackTo(Index);
    if (!LeftButtonHeld()) MouseUp(Pt);
}

void TListBoxControl::MouseUp(POINT) {
    if (!FTracking) return;
    FTracking = false;
    if (GetCapture() == Handle()) ReleaseCapture();
    if (Notifying() && !NoSelection()) NotifyParent(LBN_SELCHANGE);
}

// The capture taken away in the middle of a gesture (by another window, or WM_CANCELMODE) cancels
// it.
void TListBoxControl::CaptureLost() {
    const bool WasTracking = FTracking;
    FTracking = false;
    if (InCombo()) {
        if (FDropped) TellCombo(TComboListNotice::Cancelled);
        return;
    }
    if (WasTracking && Notifying() && !NoSelection()) NotifyParent(LBN_SELCANCEL);
}

// A list that holds the capture gets a press on its bar as a client press: it goes on to the
// window's bar as the press on the bar it is.
bool TListBoxControl::ScrollBarPress(POINT ClientPt) {
    POINT Screen = ClientPt;
    ClientToScreen(Handle(), &Screen);
    const LPARAM At = PointLParam(Screen);
    const LRESULT Hit = SendMessage(Handle(), WM_NCHITTEST, 0, At);
    if (Hit != HTVSCROLL && Hit != HTHSCROLL) return false;
    DefWindowProc(Handle(), WM_NCLBUTTONDOWN, static_cast<WPARAM>(Hit), At);
    return true;
}

void TListBoxControl::Wheel(int Delta) {
    FWheelRest += Delta;
    const int Notches = FWheelRest / WHEEL_DELTA;
    FWheelRest -= Notches * WHEEL_DELTA;
    if (Notches != 0) SetTop(FTop - Notches * kWheelLines);
}

// --- a combo box's list -------------------------------------------------------------------------

void TListBoxControl::DroppedDown(bool Tracking) {
    FDropped = true;
    FTracking = Tracking;
    ScrollIntoView(FSelected, false);
    Invalidate();
}

void TListBoxControl::ClosedUp() {
    FDropped = false;
    FTracking = false;
}

void TListBoxControl::ComboMouseDown(POINT Pt, bool Double) {
    RECT Window;
    GetWindowRect(Handle(), &Window);
    POINT Screen = Pt;
    ClientToScreen(Handle(), &Screen);
    if (!PtInRect(&Window, Screen)) {
        TellCombo(TComboListNotice::Cancelled);
        return;
    }
    const RECT C = Client();
    if (!PtInRect(&C, Pt)) {
        ScrollBarPress(Pt);
        return;
    }
    // A list that is always shown holds the capture only while the button is down.
    if (!FDropped) {
        TellCombo(TComboListNotice::Pressed);
        if (!IsWindow(Handle())) return;
        SetCapture(Handle());
    }
    FTracking = true;
    ComboFollow(Pt);
    if (Double && !FDropped) TellCombo(TComboListNotice::DoubleClicked);
    if (IsWindow(Handle()) && !LeftButtonHeld()) ComboMouseUp(Pt);
}

void TListBoxControl::ComboMouseMove(POINT Pt) {
    if (!FDropped && !FTracking) return;
    ComboFollow(Pt);
    if (FTracking && !LeftButtonHeld()) ComboMouseUp(Pt);
}

// The selection follows the pointer over the items, and, while the button is held above or
// below the list, moves on, scrolling.
void TListBoxControl::ComboFollow(POINT Pt) {
    if (FItems.Empty() || NoSelection()) return;
    const RECT C = Client();
    bool Outside = false;
    int Index = ItemAt(Pt, Outside);
    if (Outside) {
        if (!FTracking || Pt.x < C.left || Pt.x >= C.right) return;
        const int From = FSelected < 0 ? FTop : FSelected;
        Index = Pt.y < 0 ? std::max(0, From - 1) : std::min(FItems.Count() - 1, From + 1);
    }
    SelectOnly(Index);
    SetCaret(Index);
    ScrollIntoView(Index, false);
}

void TListBoxControl::ComboMouseUp(POINT Pt) {
    if (!FTracking) return;
    FTracking = false;
    if (!FDropped && GetCapture() == Handle()) ReleaseCapture();
    const RECT C = Client();
    bool Outside = false;
    const int Index = ItemAt(Pt, Outside);
    if (PtInRect(&C, Pt) && !FItems.Empty() && ItemRect(Index).bottom > Pt.y)
        TellCombo(TComboListNotice::Chosen);
    else
        TellCombo(TComboListNotice::Released);
}

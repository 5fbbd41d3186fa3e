// The edit control with buttons: messages, keys, the mouse and the focus, and the inner edit's
// subclassed window.
#include <algorithm>

#include "components/dcedit/DCEdit.h"
#include "components/dcedit/PopupListBox.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Edit.h"
#include "platform/widgets/Forms.h"

namespace {

bool IsKeyboardMessage(UINT Msg) {
    return Msg == WM_KEYDOWN || Msg == WM_SYSKEYDOWN || Msg == WM_KEYUP || Msg == WM_SYSKEYUP ||
           Msg == WM_CHAR || Msg == WM_SYSCHAR;
}

// Switches the form's key preview off for a while: the edit gave the form its keys already.
class TKeyPreviewOff {
  public:
    explicit TKeyPreviewOff(TCustomForm* Form)
        : FForm(Form && Form->KeyPreview() ? Form : nullptr) {
        if (FForm) FForm->SetKeyPreview(false);
    }
    ~TKeyPreviewOff() {
        if (FForm) FForm->SetKeyPreview(true);
    }
    TKeyPreviewOff(const TKeyPreviewOff&) = delete;
    TKeyPreviewOff& operator=(const TKeyPreviewOff&) = delete;

  private:
    TCustomForm* FForm;
};

}  // namespace

// ---- the inner edit's window ------------------------------------------------------------------

void TCustomDCEdit::HookEdit(HWND Wnd) {
    if (FEditWnd == Wnd) return;
    UnhookEdit();
    FEditWnd = Wnd;
    FEditDefProc = reinterpret_cast<WNDPROC>(GetWindowLongPtr(Wnd, GWLP_WNDPROC));
    SetWindowLongPtr(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FEditInstance));
    LayoutButtons();
}

void TCustomDCEdit::UnhookEdit() {
    if (!FEditWnd) return;
    // Restored only while ours is the window's procedure: one put in after ours still calls
    // ours, which passes everything on.
    if (IsWindow(FEditWnd) &&
        GetWindowLongPtr(FEditWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(FEditInstance))
        SetWindowLongPtr(FEditWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FEditDefProc));
    FEditWnd = 0;
}

void TCustomDCEdit::EditWndProc(TMessage& Message) {
    const HWND Wnd = FEditWnd;
    const auto Pass = [&] {
        Message.Result =
            CallWindowProc(FEditDefProc, Wnd, Message.Msg, Message.WParam, Message.LParam);
    };
    if (ComponentState().Contains(csDestroying)) {
        Pass();
        return;
    }
    try {
        switch (Message.Msg) {
            case WM_LBUTTONDOWN:
                if (!FEditWnd) break;
                EditMouseDown(Message);
                if (!EditFocused() || FLostFocusInMouseDown) return;
                break;
            case WM_LBUTTONDBLCLK:
                DblClick();
                return;
            case WM_RBUTTONUP:
                // The edit's own menu comes only when the control has none to offer.
                if (PopupMenu() || OnContextPopup) {
                    POINT P = MessagePoint(Message.LParam);
                    MapWindowPoints(Wnd, Handle(), &P, 1);
                    Perform(WM_RBUTTONUP, Message.WParam, PointLParam(P));
                    return;
                }
                break;
            case WM_MOUSEMOVE: {
                if (FMouseOutside) MouseEntered();
                TRACKMOUSEEVENT Track;
                Track.dwFlags = TME_LEAVE;
                Track.hwndTrack = Wnd;
                TrackMouseEvent(&Track);
                break;
            }
            case WM_MOUSELEAVE:
                MouseLeft();
                break;
            case WM_SETFOCUS:
                Pass();
                FocusEntered(HWND(Message.WParam));
                return;
            case WM_KILLFOCUS:
                if (FInEditMouseDown) FLostFocusInMouseDown = true;
                Pass();
                FocusLeft(HWND(Message.WParam));
                return;
            case WM_GETDLGCODE:
                Pass();
                Message.Result |= WantedDialogCode();
                return;
            case WM_NCDESTROY:
                Pass();
                if (FEditWnd == Wnd) FEditWnd = 0;
                return;
            default:
                if (IsKeyboardMessage(Message.Msg) && EditKey(Message)) return;
                break;
        }
    } catch (...) {
        Application.HandleException();
        return;
    }
    if (IsKeyboardMessage(Message.Msg)) {
        TKeyPreviewOff Off(GetParentForm(this));
        Pass();
        return;
    }
    Pass();
}

// The press counts as the control's: it closes the popup and takes the focus.
void TCustomDCEdit::EditMouseDown(TMessage& Message) {
    POINT P = MessagePoint(Message.LParam);
    MapWindowPoints(FEditWnd, Handle(), &P, 1);
    FInEditMouseDown = true;
    FLostFocusInMouseDown = false;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FInEditMouseDown};
    MouseDown(mbLeft, MouseShiftState(Message.WParam), P.x, P.y);
}

// True when the key went no further.
bool TCustomDCEdit::EditKey(TMessage& Message) {
    if (FDroppedDown && FPopup) {
        WORD Key = WORD(Message.WParam);
        ::SendMessage(FPopup->Handle(), Message.Msg, Message.WParam, Message.LParam);
        if (Message.Msg == WM_SYSKEYDOWN && Key == VK_UP) DoKeyDown(Key, KeyboardShiftState());
        return true;
    }
    const bool Down = Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN;
    if (!Down && Message.Msg != WM_CHAR) return false;
    // An inner combo box keeps its keys while its list is open.
    if (::SendMessage(FEditWnd, CB_GETDROPPEDSTATE, 0, 0) != 0) return false;
    if (Down) {
        WORD Key = WORD(Message.WParam);
        if (DoKeyDown(Key, KeyboardShiftState())) return true;
        Message.WParam = Key;
        return false;
    }
    char Char = char(Message.WParam);
    if (DoKeyPress(Char)) return true;
    Message.WParam = static_cast<unsigned char>(Char);
    return false;
}

// ---- the control's own messages ---------------------------------------------------------------

void TCustomDCEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_PARENTNOTIFY: {
            const HWND Child = HWND(Message.LParam);
            if (LOWORD(Message.WParam) == WM_DESTROY && Child == FEditWnd) UnhookEdit();
            auto* Windowed = dynamic_cast<TWinControl*>(FEdit);
            if (LOWORD(Message.WParam) == WM_CREATE && Windowed && Windowed->HandleAllocated() &&
                Windowed->Handle() == Child)
                HookEdit(Child);
            break;
        }
        case WM_COMMAND:
            if (FEditWnd && HWND(Message.LParam) == FEditWnd && HIWORD(Message.WParam) == EN_CHANGE)
                InnerEditChanged();
            break;
        case WM_SIZE:
            TCustomControl::Dispatch(Message);
            LayoutButtons();
            return;
        case WM_SETFOCUS:
            TCustomControl::Dispatch(Message);
            FocusEntered(HWND(Message.WParam));
            if (!FEnterForwarded && HasWindowedEdit() &&
                static_cast<TWinControl*>(FEdit)->CanFocus()) {
                FEnterForwarded = true;
                ::SetFocus(static_cast<TWinControl*>(FEdit)->Handle());
            }
            return;
        case WM_KILLFOCUS:
            TCustomControl::Dispatch(Message);
            FocusLeft(HWND(Message.WParam));
            return;
        case WM_TIMER:
            if (Message.WParam == kPopupTimer) {
                TimerTick();
                return;
            }
            break;
        case WM_GETDLGCODE:
            Message.Result = WantedDialogCode();
            return;
        case CM_WANTSPECIALKEY:
            Message.Result = WantsKey(WORD(Message.WParam)) ? 1 : 0;
            return;
        case CM_DIALOGCHAR:
            if (IsAccel(WORD(Message.WParam), Caption()) && CanFocus()) {
                Click();
                Message.Result = 1;
                return;
            }
            break;
        case CM_ENTER:
        case CM_EXIT:
            // Entering and leaving count for the whole control, inner edit included (see
            // FocusEntered and FocusLeft).
            return;
        case CM_MOUSEENTER:
            MouseEntered();
            return;
        case CM_MOUSELEAVE:
            MouseLeft();
            return;
        case CM_FONTCHANGED:
            TCustomControl::Dispatch(Message);
            FitHeightToFont();
            LayoutButtons();
            return;
        case CM_COLORCHANGED:
            TCustomControl::Dispatch(Message);
            if (FEdit) FEdit->SetColor(FColor);
            UpdateButtonLook();
            return;
        case CM_ENABLEDCHANGED:
            TCustomControl::Dispatch(Message);
            // Enabled or disabled as a whole: the buttons show it too.
            if (FEdit) FEdit->SetEnabled(FEnabled);
            for (TEditButton* Button : FButtons)
                if (Button) Button->SetEnabled(FEnabled);
            return;
        case CM_VISIBLECHANGED:
            TCustomControl::Dispatch(Message);
            if (!FVisible) CloseUp(false);
            return;
        case CM_UPDATESOURCE:
            UpdateSource();
            return;
        default:
            break;
    }
    TCustomControl::Dispatch(Message);
}

void TCustomDCEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    CloseUp(false);
    if (CanFocus() || !GetParentForm(this)) SetFocus();
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomDCEdit::Click() {
    SetFocus();
    TCustomControl::Click();
}

// ---- keys -------------------------------------------------------------------------------------

bool TCustomDCEdit::WantsKey(WORD Key) const {
    if (Key == VK_UP || Key == VK_DOWN) return true;
    return FDroppedDown && (Key == VK_RETURN || Key == VK_ESCAPE);
}

LRESULT TCustomDCEdit::WantedDialogCode() const {
    return DLGC_WANTARROWS | (FDroppedDown ? DLGC_WANTALLKEYS : 0);
}

void TCustomDCEdit::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    const bool Alt = Shift.Contains(ssAlt);
    switch (Key) {
        case VK_UP:
            if (!Alt) {
                SelectNeighbour(false);
                Key = 0;
            } else if (FDroppedDown) {
                CloseUp(true);
                Key = 0;
            }
            break;
        case VK_DOWN:
            if (!Alt) {
                SelectNeighbour(true);
                Key = 0;
            } else if (FButtons[0] && FButtons[0]->Visible()) {
                DropDown();
                Key = 0;
            }
            break;
        case VK_RETURN:
            if (!FDroppedDown) {
                UpdateSource();
                Key = 0;
            }
            break;
        default:
            break;
    }
}

void TCustomDCEdit::KeyPress(char& Key) {
    TCustomControl::KeyPress(Key);
    if (Key == '\r' || Key == '\x1b') Key = 0;
}

void TCustomDCEdit::SelectNeighbour(bool GoForward) {
    // Counted from the inner edit, the next control is never the edit's own.
    TWinControl* From = HasWindowedEdit() ? static_cast<TWinControl*>(FEdit) : this;
    if (FParent) FParent->SelectNext(From, GoForward, true);
}

// ---- focus ------------------------------------------------------------------------------------

bool TCustomDCEdit::Inside(HWND Wnd) {
    return Wnd != 0 && HandleAllocated() && (Wnd == Handle() || IsChild(Handle(), Wnd));
}

bool TCustomDCEdit::EditFocused() {
    return Inside(GetFocus());
}

void TCustomDCEdit::SetFocus() {
    auto* Windowed = dynamic_cast<TWinControl*>(FEdit);
    if (!Windowed || !FVisible || !FEnabled) {
        TCustomControl::SetFocus();
        return;
    }
    Windowed->SetFocus();
    if (!FFlat) Windowed->Invalidate();
    FMouseOutside = false;
}

void TCustomDCEdit::FocusEntered(HWND From) {
    if (Inside(From)) return;
    FMouseOutside = false;
    RedrawFlatState();
    DoEnter();
}

void TCustomDCEdit::FocusLeft(HWND To) {
    if (Inside(To)) return;
    FEnterForwarded = false;
    CancelPopup();
    TCustomForm* Form = GetParentForm(this);
    if (!Form || Form->Visible()) UpdateSource();
    RedrawFlatState();
    DoExit();
}

// ---- the pointer over the control -------------------------------------------------------------

void TCustomDCEdit::MouseEntered() {
    FMouseOutside = false;
    RedrawFlatState();
}

// The frame is redrawn a moment later: the pointer may only be moving on to a child.
void TCustomDCEdit::MouseLeft() {
    FLeaveSeen = true;
    FMouseOutside = true;
    if (HandleAllocated()) SetTimer(Handle(), kPopupTimer, kLeaveTick);
}

// The edit control with buttons: dropping the popup down and closing it, and what watches it
// meanwhile (the mouse hook, the hook on the program's activation and timer 1).
#include "components/dcedit/DCEdit.h"
#include "components/dcedit/Limits.h"
#include "components/dcedit/PopupListBox.h"
#include "platform/controls/Edit.h"
#include "platform/widgets/Forms.h"

namespace {

// The one edit in the program whose popup is dropped down.
TCustomDCEdit* GDroppedEdit = nullptr;

bool InWindow(HWND Wnd, POINT Screen) {
    RECT R;
    return Wnd != 0 && GetWindowRect(Wnd, &R) && Screen.x >= R.left && Screen.x < R.right &&
           Screen.y >= R.top && Screen.y < R.bottom;
}

}  // namespace

void TCustomDCEdit::DropDown() {
    if (IsDummyPopup() || FDroppedDown) return;
    if (GDroppedEdit && GDroppedEdit != this) GDroppedEdit->CancelPopup();
    FPopup->SetWidth(ClientWidth());
    if (OnDropDown) OnDropDown(this);
    if (!FPopup) return;
    SetPopupValue();
    // Below the client area, in the parent's coordinates first.
    const TPoint Origin = FParent ? FParent->ScreenToClient(ClientOrigin()) : ClientOrigin();
    TPoint At{Origin.X - (FUseDreamBorder ? 0 : 2), Origin.Y + ClientHeight()};
    int PopupWidth = FPopup->Width();
    const int PopupHeight = FPopup->Height();
    if (PopupWidth > Width())
        At.X -= PopupWidth - Width();
    else
        PopupWidth = Width();
    if (At.X < 0) At.X = Origin.X - 2;
    SetFocus();
    if (FParent) At = FParent->ClientToScreen(At);
    // Where it would leave the screen at the bottom, it opens above the control.
    if (At.Y + PopupHeight > GetSystemMetrics(SM_CYSCREEN)) At.Y -= PopupHeight + Height();
    SetWindowPos(FPopup->Handle(), HWND_TOPMOST, At.X, At.Y, PopupWidth, PopupHeight,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    GDroppedEdit = this;
    InstallPopupHooks();
    SetTimer(Handle(), kPopupTimer, kTrackingTick);
    FDroppedDown = true;
}

void TCustomDCEdit::CloseUp(bool Accept) {
    if (!FDroppedDown) return;
    if (const HWND Capture = GetCapture()) ::SendMessage(Capture, WM_CANCELMODE, 0, 0);
    RemovePopupHooks();
    // A frame redraw still waiting keeps the timer.
    if (HandleAllocated() && !FLeaveSeen) KillTimer(Handle(), kPopupTimer);
    if (FPopup && FPopup->HandleAllocated())
        SetWindowPos(FPopup->Handle(), 0, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    FDroppedDown = false;
    if (TCustomForm* Form = GetParentForm(this);
        Form && Form->HandleAllocated() && GetFocus() == Form->Handle())
        SetFocus();
    if (Accept) {
        GetPopupValue();
        // The edit source may correct the value.
        const std::string Text = GetEditText();
        if (FEditSource) {
            FEditSource->SetValue(Text);
            std::string Corrected;
            FEditSource->GetValue(Corrected);
            if (Corrected != Text) SetEditText(Corrected);
        }
    }
    if (FPopup) FPopup->SetTabStop(false);
    if (FEditWnd) ::SendMessage(FEditWnd, EM_SETSEL, 0, LPARAM(-1));
}

void TCustomDCEdit::CancelPopup() {
    if (!FDroppedDown) return;
    if (auto* List = dynamic_cast<TPopupListBox*>(FPopup))
        List->CloseUp(false);
    else
        CloseUp(false);
}

void TCustomDCEdit::SetPopupValue() {
    const std::string Text = GetEditText();
    ::SendMessage(FPopup->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
}

void TCustomDCEdit::GetPopupValue() {
    if (!FPopup) return;
    std::string Value = GetWindowText(FPopup->Handle());
    if (Value.size() > DCEditLimits::kMaxValueLength) Value.resize(DCEditLimits::kMaxValueLength);
    // A new value fires OnChange (once); the same value fires nothing.
    if (!Value.empty()) SetEditText(Value);
}

// ---- what watches the popup -------------------------------------------------------------------

void TCustomDCEdit::InstallPopupHooks() {
    if (!FMouseHook)
        FMouseHook = SetWindowsHookEx(WH_MOUSE, [this](int Code, WPARAM WParam, LPARAM LParam) {
            return MouseHook(Code, WParam, LParam);
        });
    if (!FActivationHook)
        FActivationHook =
            SetWindowsHookEx(WH_CALLWNDPROC, [this](int Code, WPARAM WParam, LPARAM LParam) {
                return ActivationHook(Code, WParam, LParam);
            });
}

void TCustomDCEdit::RemovePopupHooks() {
    if (GDroppedEdit == this) GDroppedEdit = nullptr;
    if (FMouseHook) UnhookWindowsHookEx(FMouseHook);
    if (FActivationHook) UnhookWindowsHookEx(FActivationHook);
    FMouseHook = 0;
    FActivationHook = 0;
}

bool TCustomDCEdit::InsidePopupOrEdit(POINT Screen) {
    if (FPopup && FPopup->HandleAllocated() && InWindow(FPopup->Handle(), Screen)) return true;
    if (!HandleAllocated()) return false;
    RECT R;
    GetWindowRect(Handle(), &R);
    for (TEditButton* Button : FButtons)
        if (Button && Button->Visible()) R.right += Button->Width();
    return Screen.x >= R.left && Screen.x < R.right && Screen.y >= R.top && Screen.y < R.bottom;
}

LRESULT TCustomDCEdit::MouseHook(int Code, WPARAM WParam, LPARAM LParam) {
    const HHOOK Hook = FMouseHook;
    if (Code != HC_ACTION || !FDroppedDown || !FPopup || LParam == 0)
        return CallNextHookEx(Hook, Code, WParam, LParam);
    const auto& Info = *reinterpret_cast<const MOUSEHOOKSTRUCT*>(LParam);
    const HWND PopupWnd = FPopup->Handle();
    switch (UINT(WParam)) {
        case WM_LBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_NCLBUTTONUP:
            if (!InsidePopupOrEdit(Info.pt)) {
                CancelPopup();
                break;
            }
            if (WParam == WM_LBUTTONDOWN && InWindow(PopupWnd, Info.pt)) SetCapture(PopupWnd);
            break;
        case WM_MOUSEMOVE:
            if (GetCapture() == PopupWnd) {
                POINT P = Info.pt;
                ::ScreenToClient(PopupWnd, &P);
                ::SendMessage(PopupWnd, WM_MOUSEMOVE, GetKeyState(VK_LBUTTON) < 0 ? MK_LBUTTON : 0,
                              PointLParam(P));
                if (!InsidePopupOrEdit(Info.pt)) return 1;
            }
            break;
        default:
            break;
    }
    return CallNextHookEx(Hook, Code, WParam, LParam);
}

LRESULT TCustomDCEdit::ActivationHook(int Code, WPARAM WParam, LPARAM LParam) {
    const HHOOK Hook = FActivationHook;
    if (Code == HC_ACTION && LParam != 0) {
        const auto& Call = *reinterpret_cast<const CWPSTRUCT*>(LParam);
        if (Call.message == WM_ACTIVATEAPP && Call.wParam == FALSE) CancelPopup();
    }
    return CallNextHookEx(Hook, Code, WParam, LParam);
}

// Timer 1: a frame redraw after the pointer left, or a list tracking the held pointer.
void TCustomDCEdit::TimerTick() {
    if (FLeaveSeen) {
        // Cleared here: only a pending redraw stops the timer, never a later drop-down's.
        FLeaveSeen = false;
        POINT Cursor;
        GetCursorPos(&Cursor);
        RECT R;
        GetWindowRect(Handle(), &R);
        FMouseOutside =
            !(Cursor.x >= R.left && Cursor.x < R.right && Cursor.y >= R.top && Cursor.y < R.bottom);
        RedrawFlatState();
        if (FDroppedDown)
            SetTimer(Handle(), kPopupTimer, kTrackingTick);
        else
            KillTimer(Handle(), kPopupTimer);
        return;
    }
    if (FDroppedDown && FPopup && GetCapture() == FPopup->Handle()) TrackPopupMouse();
}

void TCustomDCEdit::TrackPopupMouse() {
    const HWND PopupWnd = FPopup->Handle();
    POINT P;
    GetCursorPos(&P);
    ::ScreenToClient(PopupWnd, &P);
    ::SendMessage(PopupWnd, WM_MOUSEMOVE, GetKeyState(VK_LBUTTON) < 0 ? MK_LBUTTON : 0,
                  PointLParam(P));
}

// Focus, activation and capture.
#include "platform/core/HostImpl.h"
#include "platform/core/Input.h"
#include "platform/core/InputImpl.h"
#include "platform/core/WindowImpl.h"

namespace {

bool InTree(HWND Root, HWND Wnd) {
    return Wnd != 0 && (Wnd == Root || IsChild(Root, Wnd));
}

void SendActivateApp(BOOL Active) {
    const std::vector<HWND> Tops = WindowState().TopLevels;
    for (HWND H : Tops)
        if (FindWnd(H))
            SendMessage(H, WM_ACTIVATEAPP, Active, static_cast<LPARAM>(GetCurrentThreadId()));
}

WORD MinimizedFlag(HWND Wnd) {
    return IsIconic(Wnd) ? 1 : 0;
}

}  // namespace

// ---- focus --------------------------------------------------------------------------------------

HWND SetFocus(HWND Wnd) {
    TWindowState& S = WindowState();
    if (Wnd == 0) {
        const HWND Old = S.Focus;
        if (Old == 0) return 0;
        S.Focus = 0;
        if (FindWnd(Old)) SendMessage(Old, WM_KILLFOCUS, 0, 0);
        HostImpl::FocusChanged(Old, 0);
        return Old;
    }
    TWndPtr W = FindWnd(Wnd);
    if (!W || W->MessageOnly || !W->Enabled()) return 0;
    if (S.Focus == Wnd) return Wnd;
    TWndPtr Top = WindowImpl::TopLevelOf(*W);
    if (Top && Top->Handle != S.Active && WindowImpl::Activatable(*Top)) {
        WindowImpl::Activate(Top->Handle, WA_ACTIVE);
        if (!FindWnd(Wnd)) return 0;
    }
    const HWND Old = S.Focus;
    if (Old == Wnd) return Old;
    S.Focus = Wnd;
    if (Old != 0 && FindWnd(Old)) SendMessage(Old, WM_KILLFOCUS, static_cast<WPARAM>(Wnd), 0);
    // A WM_KILLFOCUS handler may have moved the focus elsewhere already.
    if (S.Focus == Wnd && FindWnd(Wnd)) SendMessage(Wnd, WM_SETFOCUS, static_cast<WPARAM>(Old), 0);
    HostImpl::FocusChanged(Old, S.Focus);
    return Old;
}

void WindowImpl::FocusLeaves(HWND Wnd) {
    const HWND Focus = WindowState().Focus;
    if (!InTree(Wnd, Focus)) return;
    TWndPtr To = FindWnd(Wnd);
    do {
        To = To ? FindWnd(To->Parent) : nullptr;
    } while (To && (!IsWindowVisible(To->Handle) || !To->Enabled()));
    SetFocus(To ? To->Handle : 0);
}

HWND GetFocus() {
    return WindowState().Focus;
}

// ---- activation ---------------------------------------------------------------------------------

bool WindowImpl::Activatable(const TWnd& W) {
    return W.Parent == 0 && !W.MessageOnly && W.Enabled() && !(W.ExStyle & WS_EX_NOACTIVATE) &&
           HostImpl::KindOf(W) != HostImpl::THostKind::Popup;
}

HWND WindowImpl::Activate(HWND Wnd, WORD How) {
    TWindowState& S = WindowState();
    if (Wnd != 0) {
        TWndPtr W = FindWnd(Wnd);
        if (!W) return 0;
        TWndPtr Top = TopLevelOf(*W);
        if (!Top || !Activatable(*Top)) return 0;
        Wnd = Top->Handle;
    }
    const HWND Old = S.Active;
    if (Old == Wnd && S.AppActive == (Wnd != 0)) return Old;
    const bool AppWasActive = S.AppActive;
    S.Active = Wnd;
    S.AppActive = Wnd != 0;
    if (Old != 0 && Old != Wnd && FindWnd(Old)) {
        SendMessage(Old, WM_NCACTIVATE, FALSE, 0);
        SendMessage(Old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, MinimizedFlag(Old)),
                    static_cast<LPARAM>(Wnd));
    }
    if (AppWasActive != S.AppActive) SendActivateApp(S.AppActive ? TRUE : FALSE);
    if (Wnd == 0) {
        // The program lost the activation: the focus and the capture go too.
        if (S.Focus != 0) SetFocus(0);
        if (S.Capture != 0) ReleaseCapture();
        return Old;
    }
    if (S.Active != Wnd || !FindWnd(Wnd)) return Old;
    // The window activated comes to the top, with the windows it owns above it.
    if (Old != Wnd)
        SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (S.Active != Wnd || !FindWnd(Wnd)) return Old;
    if (TWndPtr W = FindWnd(Wnd)) HostImpl::Activated(*W);
    SendMessage(Wnd, WM_NCACTIVATE, TRUE, 0);
    if (S.Active != Wnd || !FindWnd(Wnd)) return Old;
    SendMessage(Wnd, WM_ACTIVATE, MAKEWPARAM(How, MinimizedFlag(Wnd)), static_cast<LPARAM>(Old));
    // The focus does not stay in a window that is no longer active.
    if (S.Active == Wnd && Old != 0 && Old != Wnd && InTree(Old, S.Focus)) SetFocus(0);
    return Old;
}

void WindowImpl::ActivateOther(HWND Wnd) {
    TWndPtr W = FindWnd(Wnd);
    auto Candidate = [&](HWND H) {
        TWndPtr C = FindWnd(H);
        return C && H != Wnd && C->Visible() && !(C->Style & WS_MINIMIZE) && Activatable(*C) &&
               C->State == TWndState::Alive;
    };
    if (W && W->Owner != 0 && Candidate(W->Owner)) {
        Activate(W->Owner, WA_ACTIVE);
        return;
    }
    for (HWND H : WindowState().TopLevels)
        if (Candidate(H)) {
            Activate(H, WA_ACTIVE);
            return;
        }
    Activate(0, WA_INACTIVE);
}

void WindowImpl::ApplicationDeactivated() {
    if (WindowState().AppActive) Activate(0, WA_INACTIVE);
}

HWND SetActiveWindow(HWND Wnd) {
    return WindowImpl::Activate(Wnd, WA_ACTIVE);
}

HWND GetActiveWindow() {
    return WindowState().Active;
}

BOOL SetForegroundWindow(HWND Wnd) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return FALSE;
    TWndPtr Top = WindowImpl::TopLevelOf(*W);
    if (!Top) return FALSE;
    SetWindowPos(Top->Handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    WindowImpl::Activate(Top->Handle, WA_ACTIVE);
    return GetActiveWindow() == Top->Handle ? TRUE : FALSE;
}

HWND GetForegroundWindow() {
    const TWindowState& S = WindowState();
    return S.AppActive ? S.Active : 0;
}

// ---- capture ------------------------------------------------------------------------------------

HWND SetCapture(HWND Wnd) {
    TWindowState& S = WindowState();
    if (Wnd != 0 && !FindWnd(Wnd)) return 0;
    const HWND Old = S.Capture;
    if (Old == Wnd) return Old;
    S.Capture = Wnd;
    HostImpl::CaptureChanged(Wnd);
    if (Old != 0 && FindWnd(Old)) SendMessage(Old, WM_CAPTURECHANGED, 0, static_cast<LPARAM>(Wnd));
    return Old;
}

BOOL ReleaseCapture() {
    TWindowState& S = WindowState();
    const HWND Old = S.Capture;
    if (Old == 0) return TRUE;
    S.Capture = 0;
    HostImpl::CaptureChanged(0);
    if (FindWnd(Old)) SendMessage(Old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    return WindowState().Capture;
}

// ---- windows that go ----------------------------------------------------------------------------

void WindowImpl::LeaveFocusAndCapture(HWND Wnd) {
    TWindowState& S = WindowState();
    if (InTree(Wnd, S.Capture)) ReleaseCapture();
    if (InTree(Wnd, S.Focus)) {
        TWndPtr W = FindWnd(Wnd);
        TWndPtr Parent = W && W->Parent != 0 ? FindWnd(W->Parent) : nullptr;
        if (Parent && Parent->State == TWndState::Alive && Parent->Enabled())
            SetFocus(Parent->Handle);
        else
            SetFocus(0);
    }
    if (S.Active == Wnd) ActivateOther(Wnd);
}

void WindowImpl::ForgetWindow(HWND Wnd) {
    TWindowState& S = WindowState();
    if (S.Focus == Wnd) S.Focus = 0;
    if (S.Capture == Wnd) {
        S.Capture = 0;
        HostImpl::CaptureChanged(0);
    }
    if (S.Active == Wnd) S.Active = 0;
    InputImpl::ForgetWindow(Wnd);
}

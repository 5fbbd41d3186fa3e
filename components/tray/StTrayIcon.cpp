#include "components/tray/StTrayIcon.h"

#include <cstring>

#include "platform/core/Application.h"
#include "platform/core/Input.h"
#include "platform/core/Window.h"
#include "platform/shell/Limits.h"
#include "platform/shell/Tray.h"
#include "platform/widgets/Forms.h"

namespace {

TStCustomTrayIcon* GInstance = nullptr;

constexpr UINT_PTR kAnimationTimer = 1;

bool IsCommand(const TMessage& M, WPARAM Command) {
    return M.Msg == WM_SYSCOMMAND && (M.WParam & 0xFFF0) == Command;
}

// The shift state of a click, from the keyboard state (the callback carries none).
TShiftState ShiftNow(TMouseButton Button) {
    TShiftState S;
    if (GetKeyState(VK_SHIFT) < 0) S.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) S.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) S.Include(ssAlt);
    S.Include(Button == mbLeft ? ssLeft : Button == mbRight ? ssRight : ssMiddle);
    return S;
}

HWND FormWindow(TComponent* Owner) {
    auto* Form = dynamic_cast<TCustomForm*>(Owner);
    return Form ? Form->Handle() : 0;
}

}  // namespace

// The owner window's replacement procedure outlives the icon when another procedure was put in
// after it (it cannot be taken out of the chain then): it passes everything on once the icon is
// gone.
struct TStCustomTrayIcon::TOwnerHook {
    TStCustomTrayIcon* Icon = nullptr;
    WNDPROC Previous = nullptr;
    WNDPROC Ours = nullptr;
};

TStCustomTrayIcon::TStCustomTrayIcon(TComponent* AOwner)
    : TStCustomTrayIcon(AOwner, FormWindow(AOwner)) {}

TStCustomTrayIcon::TStCustomTrayIcon(TComponent* AOwner, HWND OwnerWindow)
    : TSsShellComponent(AOwner), FOwnerWindow(OwnerWindow) {
    if (GInstance) RaiseSsError<ESsTrayIconError>(ssscTrayIconDuplicate);
    GInstance = this;
    FBuiltInMenu = CreatePopupMenu();
    AppendMenu(FBuiltInMenu, MF_STRING, kTrayCloseCommand, SsText(ssscTrayIconClose).c_str());
    AppendMenu(FBuiltInMenu, MF_STRING, kTrayRestoreCommand, SsText(ssscTrayIconRestore).c_str());
    FPopupMenu = FBuiltInMenu;
    FHandle = AllocateHWnd([this](TMessage& M) { TrayMessage(M); });
}

TStCustomTrayIcon::~TStCustomTrayIcon() {
    RemoveIcon();
    StopTimer();
    DestroyMenu(FBuiltInMenu);
    DeallocateHWnd(FHandle);
    if (FOwnerHook) {
        FOwnerHook->Icon = nullptr;
        if (IsWindow(FOwnerWindow) && GetWindowLongPtr(FOwnerWindow, GWLP_WNDPROC) ==
                                          reinterpret_cast<LONG_PTR>(FOwnerHook->Ours)) {
            SetWindowLongPtr(FOwnerWindow, GWLP_WNDPROC,
                             reinterpret_cast<LONG_PTR>(FOwnerHook->Previous));
            FreeObjectInstance(FOwnerHook->Ours);
        }
    }
    if (GInstance == this) GInstance = nullptr;
}

// --- the shell -------------------------------------------------------------------------------

NOTIFYICONDATA TStCustomTrayIcon::Record() const {
    NOTIFYICONDATA D;
    D.hWnd = FHandle;
    D.uID = kTrayIconId;
    D.uFlags = NIF_MESSAGE | NIF_ICON | (FShowHint ? NIF_TIP : 0);
    D.uCallbackMessage = kTrayCallbackMessage;
    D.hIcon = !FShownIcon.Empty() ? FShownIcon.Handle() : Forms.Icon()->Handle();
    std::strncpy(D.szTip, FHint.c_str(), ShellLimits::kMaxTipLength);
    return D;
}

void TStCustomTrayIcon::ShowIcon() {
    if (FShown) return;
    HookOwner();
    const NOTIFYICONDATA D = Record();
    Shell_NotifyIcon(NIM_ADD, &D);
    FShown = true;
}

void TStCustomTrayIcon::RemoveIcon() {
    if (!FShown) return;
    const NOTIFYICONDATA D = Record();
    Shell_NotifyIcon(NIM_DELETE, &D);
    FShown = false;
}

// Only a shown icon is changed in the shell; one that is not there yet takes the values when it
// is added.
void TStCustomTrayIcon::UpdateShell() {
    if (!FActive || !FShown) return;
    const NOTIFYICONDATA D = Record();
    if (!Shell_NotifyIcon(NIM_MODIFY, &D)) RaiseSsError<ESsTrayIconError>(ssscTrayIconError);
}

void TStCustomTrayIcon::TakeImage(int Index) {
    if (!FImages || Index < 0 || Index >= FImages->Count()) return;
    FShownIcon.SetHandle(ImageList_GetIcon(FImages->Handle(), Index, ILD_NORMAL));
}

void TStCustomTrayIcon::Loaded() {
    TSsShellComponent::Loaded();
    if (FActive) ShowIcon();
    if (!FIcon.Empty())
        FShownIcon.Assign(FIcon);
    else if (FImages)
        TakeImage(FImageIndex);
    UpdateShell();
}

// --- properties --------------------------------------------------------------------------------

void TStCustomTrayIcon::SetActive(bool Value) {
    if (Value == FActive && (Value == FShown)) return;
    if (!Value) {
        if (FAnimate) {
            SetAnimate(false);
            FResumeAnimation = true;
        }
        RemoveIcon();
        FActive = false;
        return;
    }
    ShowIcon();
    FActive = true;
    // An animation stopped by the deactivation, or asked for while inactive, runs now.
    if (FResumeAnimation || FAnimate) {
        FAnimate = false;
        SetAnimate(true);
    }
}

void TStCustomTrayIcon::SetAnimate(bool Value) {
    if (!FActive) {
        FAnimate = Value;
        return;
    }
    if (Value == FAnimate) return;
    FAnimate = Value;
    FResumeAnimation = Value;
    if (Value) {
        StartTimer();
        return;
    }
    StopTimer();
    if (!FIcon.Empty())
        FShownIcon.Assign(FIcon);
    else if (FImages)
        TakeImage(FImageIndex);
    UpdateShell();
}

void TStCustomTrayIcon::SetHint(const std::string& Value) {
    if (Value == FHint) return;
    FHint = Value;
    if (FShowHint) UpdateShell();
}

void TStCustomTrayIcon::SetShowHint(bool Value) {
    FShowHint = Value;
    UpdateShell();
}

void TStCustomTrayIcon::SetIcon(const TIcon& Value) {
    FIcon.Assign(Value);
    if (FIcon.Empty())
        FShownIcon.SetHandle(0);
    else
        FShownIcon.Assign(FIcon);
    UpdateShell();
}

void TStCustomTrayIcon::SetImages(TCustomImageList* Value) {
    FImages = Value;
    if (!(ComponentState().Contains(csLoading)) && FIcon.Empty() && FImages) {
        TakeImage(FImageIndex);
        UpdateShell();
    }
}

void TStCustomTrayIcon::SetImageIndex(int Value) {
    FImageIndex = Value;
    if (!FShown) return;
    if (!FImages) RaiseSsError<ESsTrayIconError>(ssscNoImageList);
    TakeImage(Value);
    UpdateShell();
}

void TStCustomTrayIcon::SetInterval(int Value) {
    FInterval = Value;
    if (FTimerRunning) SetTimer(FHandle, kAnimationTimer, Period());
}

// --- animation ---------------------------------------------------------------------------------

void TStCustomTrayIcon::StartTimer() {
    FTimerRunning = SetTimer(FHandle, kAnimationTimer, Period()) != 0;
}

void TStCustomTrayIcon::StopTimer() {
    if (FTimerRunning) KillTimer(FHandle, kAnimationTimer);
    FTimerRunning = false;
}

void TStCustomTrayIcon::Tick() {
    if (!FImages || !FShown) return;
    if (FFrame >= FImages->Count()) FFrame = 0;
    TakeImage(FFrame);
    UpdateShell();
    if (++FFrame >= FImages->Count()) FFrame = 0;
}

// --- the hidden window ---------------------------------------------------------------------------

void TStCustomTrayIcon::TrayMessage(TMessage& M) {
    try {
        if (M.Msg == kTrayCallbackMessage) {
            Callback(M.LParam);
        } else if (M.Msg == WM_TIMER && M.WParam == kAnimationTimer) {
            Tick();
        } else if (M.Msg == WM_QUERYENDSESSION) {
            M.Result = 1;
        } else {
            M.Result = DefWindowProc(FHandle, M.Msg, M.WParam, M.LParam);
        }
    } catch (...) {
        Application.HandleException();
    }
}

void TStCustomTrayIcon::Callback(LPARAM Mouse) {
    switch (UINT(Mouse)) {
        case WM_LBUTTONDOWN:
            if (OnClick) OnClick(this, mbLeft, ShiftNow(mbLeft));
            break;
        case WM_LBUTTONDBLCLK:
            DoubleClick(mbLeft);
            break;
        case WM_RBUTTONDOWN:
            PopUp();
            break;
        case WM_RBUTTONDBLCLK:
            DoubleClick(mbRight);
            break;
        case WM_MBUTTONDOWN:
            if (OnClick) OnClick(this, mbMiddle, ShiftNow(mbMiddle));
            break;
        case WM_MBUTTONDBLCLK:
            DoubleClick(mbMiddle);
            break;
        default:
            break;
    }
}

void TStCustomTrayIcon::DoubleClick(TMouseButton Button) {
    bool Restore = true;
    if (OnDblClick) OnDblClick(this, Button, ShiftNow(Button), Restore);
    if (Restore) RestoreOwner();
}

void TStCustomTrayIcon::PopUp() {
    if (!FPopupMenu || !IsMenu(FPopupMenu)) return;
    if (IsWindowVisible(FOwnerWindow)) SetForegroundWindow(FOwnerWindow);
    Application.ProcessMessages();
    POINT At;
    GetCursorPos(&At);
    if (FPopupMenu != FBuiltInMenu) {
        TrackPopupMenu(FPopupMenu, TPM_RIGHTBUTTON, At.x, At.y, 0, FOwnerWindow, nullptr);
        return;
    }
    const UINT Command = UINT(TrackPopupMenu(FBuiltInMenu, TPM_RIGHTBUTTON | TPM_RETURNCMD, At.x,
                                             At.y, 0, FHandle, nullptr));
    if (Command == kTrayCloseCommand) {
        // Closed as the window's own close box would: its close query runs and may refuse.
        PostMessage(FOwnerWindow, WM_CLOSE, 0, 0);
    } else if (Command == kTrayRestoreCommand) {
        RestoreOwner();
    }
}

void TStCustomTrayIcon::RestoreOwner() {
    if (OnRestore) OnRestore(this);
    if (Forms.Minimized()) Forms.Restore();
    if (!IsWindow(FOwnerWindow)) return;
    // A window that started minimised comes back in its normal state too.
    ShowWindow(FOwnerWindow, IsIconic(FOwnerWindow) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(FOwnerWindow);
    BringWindowToTop(FOwnerWindow);
    if (FHideOnRestore) RemoveIcon();
}

// --- the owner window ----------------------------------------------------------------------------

void TStCustomTrayIcon::HookOwner() {
    if (FOwnerHook || !IsWindow(FOwnerWindow)) return;
    auto Hook = std::make_shared<TOwnerHook>();
    Hook->Icon = this;
    const HWND Owner = FOwnerWindow;
    // The procedure keeps the hook record alive for as long as it is in the window's chain.
    Hook->Ours = MakeObjectInstance([Hook, Owner](TMessage& M) {
        if (Hook->Icon && Hook->Icon->OwnerMessage(M)) return;
        M.Result = CallWindowProc(Hook->Previous, Owner, M.Msg, M.WParam, M.LParam);
    });
    Hook->Previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(Owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Hook->Ours)));
    FOwnerHook = Hook;
}

// True when the message was handled here and goes no further.
bool TStCustomTrayIcon::OwnerMessage(TMessage& M) {
    const bool Tray = IsTrayAvailable();
    if (M.Msg == WM_WINDOWPOSCHANGING && FStartHidden < 2) {
        // A window that starts minimised goes to the tray on its first two position changes.
        if (IsIconic(FOwnerWindow) && Tray) {
            auto* Pos = reinterpret_cast<WINDOWPOS*>(M.LParam);
            if (Pos) Pos->flags = (Pos->flags & ~SWP_SHOWWINDOW) | SWP_HIDEWINDOW;
            ++FStartHidden;
        } else {
            FStartHidden = 2;
        }
        return false;
    }
    const bool Minimize = IsCommand(M, SC_MINIMIZE);
    if (Minimize && OnMinimize) OnMinimize(this);
    const bool ToTray = (Minimize && FMinimizeToTray) || (IsCommand(M, SC_CLOSE) && FCloseToTray);
    if (!ToTray || !FActive) return false;
    try {
        if (!Tray) {
            // No tray to come back from: an ordinary minimised window instead of a hidden one.
            if (Minimize) return false;
            ShowWindow(FOwnerWindow, SW_MINIMIZE);
            return true;
        }
        ShowIcon();
        ShowWindow(FOwnerWindow, SW_HIDE);
    } catch (...) {
        Application.HandleException();
    }
    return true;
}

void PostMinimizeMainForm() {
    if (TCustomForm* Main = Forms.MainForm())
        PostMessage(Main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

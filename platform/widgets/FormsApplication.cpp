#include <QCoreApplication>
#include <algorithm>

#include "platform/core/Host.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/dialogs/OnScreenDialogs.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/Register.h"

TFormsApplication Forms;

namespace {

constexpr const char* kApplicationClass = "TApplication";
constexpr UINT_PTR kHintTimer = 1;
constexpr UINT_PTR kHideTimer = 2;

bool IsKeyMessage(UINT Msg) {
    return Msg == WM_KEYDOWN || Msg == WM_SYSKEYDOWN || Msg == WM_KEYUP || Msg == WM_SYSKEYUP ||
           Msg == WM_CHAR || Msg == WM_SYSCHAR;
}

bool IsPress(UINT Msg) {
    return Msg == WM_LBUTTONDOWN || Msg == WM_RBUTTONDOWN || Msg == WM_MBUTTONDOWN ||
           Msg == WM_NCLBUTTONDOWN || Msg == WM_NCRBUTTONDOWN || Msg == WM_NCMBUTTONDOWN ||
           Msg == WM_LBUTTONDBLCLK || Msg == WM_RBUTTONDBLCLK;
}

// Whether the control shows its hint: its own flag (or its parent's), and a hint to show.
bool WantsHint(TControl* Control) {
    return Control && Control->ShowHint() && !GetShortHint(Control->Hint()).empty();
}

}  // namespace

TFormsApplication::TFormsApplication() : TComponent(nullptr) {
    HintWindowClass = [](TComponent* Owner) { return new THintWindow(Owner); };
}

void TFormsApplication::SetIcon(HICON Icon) {
    FIcon.SetHandle(Icon);
    SetApplicationIcon(FIcon.Handle());
}

TFormsApplication::~TFormsApplication() {
    // What the application owns goes while the application is whole: an owned component (a hint
    // component, say) puts the application's settings back as it goes. Reached without Free when
    // the program ends through exit (the X server went away).
    BeforeDestruction();
    if (FTimerWindow) DeallocateHWnd(FTimerWindow);
    if (FHandle) DeallocateHWnd(FHandle);
    if (ApplicationIcon() == FIcon.Handle()) SetApplicationIcon(0);
    delete Screen;
    Screen = nullptr;
}

void TFormsApplication::Initialize() {
    if (FInitialized) return;
    FInitialized = true;
    RegisterWidgetClasses();
    // Boxes and file dialogs show on a display from now on (headless they still answer at once).
    InstallOnScreenDialogs();
    if (!Screen) Screen = new TScreen;
    Application.MessageHook = [this](MSG& Msg) { return OnMessage(Msg); };
    Application.IdleHook = [this] { Idle(); };
    FTimerWindow = AllocateHWnd([this](TMessage& M) { TimerMessage(M); });
    WNDCLASS Class;
    Class.lpfnWndProc = ApplicationWndProc;
    Class.lpszClassName = kApplicationClass;
    RegisterClass(&Class);
    FHandle = CreateWindowEx(0, kApplicationClass, Title().c_str(), WS_POPUP, 0, 0, 0, 0, 0, 0, 0,
                             nullptr);
}

void TFormsApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FMainForm) FMainForm = nullptr;
    if (AComponent == FHintWindow) FHintWindow = nullptr;
    if (AComponent == FMouseControl) FMouseControl = nullptr;
    if (AComponent == FHintControl) FHintControl = nullptr;
}

std::string TFormsApplication::Title() const {
    if (!Application.Title.empty()) return Application.Title;
    return QCoreApplication::instance() ? QCoreApplication::applicationName().toStdString()
                                        : std::string();
}

void TFormsApplication::SetTitle(const std::string& Value) {
    Application.Title = Value;
    if (FHandle) SetWindowText(FHandle, Title());
}

LRESULT TFormsApplication::ApplicationWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_ACTIVATE && LOWORD(WParam) != WA_INACTIVE) {
        // The window itself is never seen: what activates it means the program.
        Forms.BringMainFormForward();
        return 0;
    }
    if (Msg == WM_SYSCOMMAND && (WParam & 0xFFF0) == SC_MINIMIZE) {
        Forms.Minimize();
        return 0;
    }
    if (Msg == WM_SYSCOMMAND && (WParam & 0xFFF0) == SC_RESTORE) {
        Forms.Restore();
        return 0;
    }
    return DefWindowProc(Wnd, Msg, WParam, LParam);
}

void TFormsApplication::BringMainFormForward() {
    if (FMinimized) Restore();
    if (!FMainForm || !FMainForm->HandleAllocated()) return;
    const HWND Main = FMainForm->Handle();
    if (!IsWindowVisible(Main)) return;
    if (IsIconic(Main)) ShowWindow(Main, SW_RESTORE);
    // A dialog the main form shows comes first, as the one the user was busy with.
    const HWND Popup = GetWindow(Main, GW_ENABLEDPOPUP);
    SetForegroundWindow(Popup ? Popup : Main);
}

int TFormsApplication::Run() {
    if (FMainForm && ShowMainForm) FMainForm->Show();
    return Application.Run();
}

void TFormsApplication::Terminate() {
    PostQuitMessage(Application.ExitCode);
    Application.Terminate();
}

bool TFormsApplication::Terminated() const {
    return Application.Terminated();
}

bool TFormsApplication::ProcessMessages() {
    return Application.ProcessMessages();
}

void TFormsApplication::HandleException(TObject*) {
    Application.HandleException();
}

// ---- the loops' hooks -------------------------------------------------------------------------

bool TFormsApplication::OnMessage(MSG& Msg) {
    if (FHintWindow && (IsPress(Msg.message) || IsKeyMessage(Msg.message)) &&
        Msg.message != WM_KEYUP && Msg.message != WM_SYSKEYUP)
        CancelHint();
    if (Msg.message == WM_MOUSEMOVE || Msg.message == WM_NCMOUSEMOVE) MouseMoved(Msg);
    if (IsKeyMessage(Msg.message)) return KeyMessage(Msg);
    return false;
}

// Keys go to the control first as CN_ messages: its form's shortcuts, the key events, the dialog
// keys. What one of them uses is not translated into characters and not dispatched.
bool TFormsApplication::KeyMessage(MSG& Msg) {
    TWinControl* Control = FindControl(Msg.hwnd);
    if (!Control) return false;
    if (Msg.message == WM_KEYUP || Msg.message == WM_SYSKEYUP) return false;
    return Control->Perform(CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

void TFormsApplication::Idle() {
    // The actions of every form update their state (and so their controls).
    if (Screen)
        for (int I = 0; I < Screen->FormCount(); ++I)
            if (Screen->Forms(I)->Visible()) UpdateActionsOf(Screen->Forms(I));
    bool Done = true;
    if (OnIdle) OnIdle(this, Done);
}

// ---- minimising -------------------------------------------------------------------------------

void TFormsApplication::Minimize() {
    if (FMinimized) return;
    FMinimized = true;
    FMinimizedForms.clear();
    if (Screen)
        for (int I = 0; I < Screen->FormCount(); ++I) {
            TCustomForm* F = Screen->Forms(I);
            if (F != FMainForm && F->HandleAllocated() && IsWindowVisible(F->Handle())) {
                FMinimizedForms.push_back(F->Handle());
                ShowWindow(F->Handle(), SW_HIDE);
            }
        }
    if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_MINIMIZE);
    if (OnMinimize) OnMinimize(this);
}

void TFormsApplication::Restore() {
    if (!FMinimized) return;
    FMinimized = false;
    if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_RESTORE);
    for (HWND Wnd : FMinimizedForms)
        if (IsWindow(Wnd)) ShowWindow(Wnd, SW_SHOWNA);
    FMinimizedForms.clear();
    if (OnRestore) OnRestore(this);
}

// ---- hints ------------------------------------------------------------------------------------

void TFormsApplication::SetHint(const std::string& Value) {
    if (FHint == Value) return;
    FHint = Value;
    if (OnHint) OnHint(this);
}

void TFormsApplication::SetShowHint(bool Value) {
    if (FShowHint == Value) return;
    FShowHint = Value;
    if (Value) return;
    // Off and on again is how a new hint-window class takes over: the window goes now and the
    // next hint makes one of the class then set.
    CancelHint();
    if (FHintWindow) {
        THintWindow* Old = FHintWindow;
        FHintWindow = nullptr;
        Old->Free();
    }
}

void TFormsApplication::MouseMoved(const MSG& Msg) {
    TControl* Under = FindDragTarget(Msg.pt, true);
    SetMouseControl(Under);
    if (FHintShown && FHintControl == Under && FHintControl) {
        // Leaving the hint's cursor rectangle asks for the hint again.
        const TPoint P = Under->ScreenToClient(TPoint{Msg.pt.x, Msg.pt.y});
        const TRect& R = FHintCursorRect;
        if (P.X < R.Left || P.X >= R.Right || P.Y < R.Top || P.Y >= R.Bottom)
            StartHintTimer(HintShortPause);
    }
}

void TFormsApplication::SetMouseControl(TControl* Control) {
    if (FMouseControl == Control) return;
    TControl* Old = FMouseControl;
    if (Old) Old->RemoveFreeNotification(this);
    FMouseControl = Control;
    if (Control) Control->FreeNotification(this);
    if (Old) Old->Perform(CM_MOUSELEAVE);
    if (FMouseControl == Control && Control) Control->Perform(CM_MOUSEENTER);
    SetHint(Control ? GetLongHint(Control->Hint()) : std::string());
    if (!FShowHint) return;
    if (WantsHint(Control)) {
        // Moving from one hint to the next shows it after the short pause.
        StartHintTimer(FHintShown || FHintActive ? HintShortPause : HintPause);
    } else {
        if (FHintShown) HideHint();
        StopHintTimer();
    }
}

void TFormsApplication::StartHintTimer(int Pause) {
    FHintActive = true;
    SetTimer(FTimerWindow, kHintTimer, UINT(std::max(Pause, 1)));
}

void TFormsApplication::StopHintTimer() {
    if (FTimerWindow) KillTimer(FTimerWindow, kHintTimer);
}

void TFormsApplication::TimerMessage(TMessage& Message) {
    if (Message.Msg != WM_TIMER) {
        Message.Result = DefWindowProc(FTimerWindow, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    if (Message.WParam == kHintTimer) HintTimerExpired();
    if (Message.WParam == kHideTimer) HideTimerExpired();
}

void TFormsApplication::HintTimerExpired() {
    StopHintTimer();
    POINT P;
    GetCursorPos(&P);
    ActivateHint(TPoint{P.x, P.y});
}

void TFormsApplication::HideTimerExpired() {
    KillTimer(FTimerWindow, kHideTimer);
    HideHint();
    // The hint stays away until the mouse goes to another control.
    FHintActive = false;
}

void TFormsApplication::ActivateHint(TPoint CursorPos) {
    TControl* Control = FindDragTarget(POINT{CursorPos.X, CursorPos.Y}, true);
    if (!FShowHint || !WantsHint(Control)) {
        HideHint();
        return;
    }
    THintInfo Info;
    Info.HintControl = Control;
    Info.HintWindowClass = HintWindowClass;
    Info.HintColor = HintColor;
    Info.HintMaxWidth = Screen ? Screen->Width() : 640;
    Info.CursorPos = Control->ScreenToClient(CursorPos);
    Info.CursorRect = Control->ClientRect();
    Info.HintStr = GetShortHint(Control->Hint());
    // Below the cursor, as far as the cursor reaches.
    Info.HintPos = TPoint{CursorPos.X, CursorPos.Y + 20};
    bool CanShow = Control->Perform(CM_HINTSHOW, 0, LPARAM(&Info)) == 0;
    if (CanShow && OnShowHint) OnShowHint(Info.HintStr, CanShow, Info);
    if (!CanShow || Info.HintStr.empty()) {
        HideHint();
        return;
    }
    if (!FHintWindow) {
        THintWindowClass Make = Info.HintWindowClass ? Info.HintWindowClass : HintWindowClass;
        FHintWindow = Make(this);
        FHintWindow->FreeNotification(this);
    }
    FHintWindow->SetColor(Info.HintColor);
    TRect R = FHintWindow->CalcHintRect(Info.HintMaxWidth, Info.HintStr, Info.HintData);
    R = TRect{Info.HintPos.X, Info.HintPos.Y, Info.HintPos.X + R.Width(),
              Info.HintPos.Y + R.Height()};
    FHintWindow->ActivateHintData(R, Info.HintStr, Info.HintData);
    FHintControl = Control;
    FHintCursorRect = Info.CursorRect;
    FHintShown = true;
    const int Hide = Info.HideTimeout >= 0 ? Info.HideTimeout : HintHidePause;
    if (Hide > 0) SetTimer(FTimerWindow, kHideTimer, UINT(Hide));
    if (Info.ReshowTimeout > 0) StartHintTimer(Info.ReshowTimeout);
}

void TFormsApplication::HideHint() {
    if (FTimerWindow) KillTimer(FTimerWindow, kHideTimer);
    if (FHintWindow) FHintWindow->ReleaseHandle();
    FHintShown = false;
}

void TFormsApplication::CancelHint() {
    StopHintTimer();
    HideHint();
    FHintActive = false;
}

// ---- THintWindow ------------------------------------------------------------------------------

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    FColor = clInfoBk;
    FParentColor = false;
    FParentFont = false;
    FVisible = false;
    if (Screen) FFont.Assign(*Screen->HintFont());
}

void THintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WndParent = 0;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& Hint, void*) {
    RECT R{0, 0, MaxWidth, 0};
    const HDC DC = GetDC(0);
    const HGDIOBJ Old = SelectObject(DC, FFont.Handle());
    DrawText(DC, Hint, &R, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(DC, Old);
    ReleaseDC(0, DC);
    // Room for the border and a margin on each side.
    return TRect{0, 0, R.right + 6, R.bottom + 2};
}

void THintWindow::ActivateHint(TRect Rect, const std::string& Hint) {
    ActivateHintData(Rect, Hint, nullptr);
}

void THintWindow::ActivateHintData(TRect Rect, const std::string& Hint, void*) {
    SetText(Hint);
    const TRect Area =
        Screen ? TRect{0, 0, Screen->Width(), Screen->Height()} : TRect{0, 0, 800, 600};
    const int W = Rect.Width();
    const int H = Rect.Height();
    int L = std::min(int(Rect.Left), int(Area.Right) - W);
    int T = Rect.Top;
    if (T + H > Area.Bottom) T = Rect.Top - H - 24;
    L = std::max(L, int(Area.Left));
    T = std::max(T, int(Area.Top));
    SetBounds(L, T, W, H);
    SetWindowPos(Handle(), HWND_TOPMOST, L, T, W, H, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FVisible = true;
    Invalidate();
}

void THintWindow::ReleaseHandle() {
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    FVisible = false;
}

bool THintWindow::IsHintMsg(const MSG& Msg) {
    return IsPress(Msg.message) || IsKeyMessage(Msg.message);
}

void THintWindow::Paint() {
    TRect R = ClientRect();
    Canvas()->Brush().SetColor(FColor);
    Canvas()->FillRect(R);
    Canvas()->Font().Assign(FFont);
    R.Left += 2;
    R.Top += 1;
    RECT Text = R;
    SetBkMode(Canvas()->Handle(), TRANSPARENT);
    SetTextColor(Canvas()->Handle(), ColorToRGB(FFont.Color()));
    DrawText(Canvas()->Handle(), GetText(), &Text, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

void THintWindow::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_NCHITTEST) {
        // The mouse goes through a hint to what is below.
        Message.Result = HTTRANSPARENT;
        return;
    }
    TCustomControl::Dispatch(Message);
}

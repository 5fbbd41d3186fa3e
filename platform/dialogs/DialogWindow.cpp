#include "platform/dialogs/DialogWindow.h"

#include <algorithm>

#include "platform/controls/Button.h"
#include "platform/core/Application.h"
#include "platform/core/Input.h"
#include "platform/core/ModalScope.h"
#include "platform/core/Paint.h"
#include "platform/core/Screens.h"
#include "platform/dialogs/DialogKeys.h"
#include "platform/dialogs/DialogTexts.h"
#include "platform/dialogs/Limits.h"
#include "platform/gdi/Gdi.h"

namespace {

constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

bool IsPushButton(HWND Wnd) {
    return SendMessage(Wnd, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
}

RECT WorkAreaOf(HWND Wnd) {
    MONITORINFO Info;
    const HMONITOR Monitor = Wnd ? MonitorFromWindow(Wnd, MONITOR_DEFAULTTONEAREST)
                                 : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (GetMonitorInfo(Monitor, &Info)) return Info.rcWork;
    RECT Work{0, 0, 800, 600};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &Work, 0);
    return Work;
}

// The window a dialog opened now belongs over: the program's active window, when it is shown.
HWND ActiveOwner() {
    const HWND Active = GetActiveWindow();
    if (Active == 0 || !IsWindowVisible(Active) || IsIconic(Active)) return 0;
    return GetAncestor(Active, GA_ROOT);
}

}  // namespace

TDialogWindow::TDialogWindow(std::string Caption) : FCaption(std::move(Caption)) {}

TDialogWindow::~TDialogWindow() {
    if (FHandle && IsWindow(FHandle)) DestroyWindow(FHandle);
}

HFONT TDialogWindow::Font() {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

SIZE TDialogWindow::TextExtent(const std::string& Text, int MaxWidth, UINT Format) {
    const HDC DC = CreateCompatibleDC(0);
    const HGDIOBJ Old = SelectObject(DC, Font());
    RECT R{0, 0, MaxWidth > 0 ? MaxWidth : 0x7FFF, 0};
    DrawText(DC, Text, &R, Format | DT_CALCRECT);
    SelectObject(DC, Old);
    DeleteDC(DC);
    return SIZE{R.right - R.left, R.bottom - R.top};
}

// ---- running --------------------------------------------------------------------------------

int TDialogWindow::RunModal() {
    FOwner = ActiveOwner();
    FEnded = false;
    FLastFocus = 0;
    Create();
    if (FHandle == 0) return QuitAnswer();
    struct TDestroy {
        TDialogWindow& Dialog;
        ~TDestroy() {
            if (Dialog.FHandle && IsWindow(Dialog.FHandle)) DestroyWindow(Dialog.FHandle);
            Dialog.FHandle = 0;
        }
    } Destroy{*this};
    Place(Build());
    UpdateDefaultLook();

    TModalScope Modal(FHandle);
    // The dialog keys go first; whatever the loop's hook did before comes after them.
    struct THook {
        std::function<bool(MSG&)> Previous = Application.MessageHook;
        explicit THook(HWND Dialog) {
            Application.MessageHook = [Dialog, Outer = Previous](MSG& Msg) {
                return IsDialogMessage(Dialog, Msg) || (Outer && Outer(Msg));
            };
        }
        ~THook() { Application.MessageHook = Previous; }
    } Hook(FHandle);

    ShowWindow(FHandle, SW_SHOW);
    if (GetActiveWindow() != FHandle) SetActiveWindow(FHandle);
    RunModalLoop([this] { return FEnded || FHandle == 0; });
    // The activation goes back while the dialog is still there, never to an unrelated window.
    Modal.End();
    return FEnded ? FResult : QuitAnswer();
}

void TDialogWindow::EndDialog(int Result) {
    if (FEnded) return;
    FEnded = true;
    FResult = Result;
    // Wakes the loop when this came from outside its messages (a socket's handler).
    if (FHandle) PostMessage(FHandle, WM_NULL, 0, 0);
}

// ---- the window -----------------------------------------------------------------------------

void TDialogWindow::Create() {
    static const bool Registered = [] {
        WNDCLASS Class;
        Class.style = CS_DBLCLKS | CS_SAVEBITS;
        Class.lpfnWndProc = &TDialogWindow::Procedure;
        Class.hbrBackground = static_cast<HBRUSH>(COLOR_BTNFACE + 1);
        Class.hCursor = LoadCursor(0, MAKEINTRESOURCE(IDC_ARROW));
        Class.lpszClassName = kClassName;
        return RegisterClass(&Class) != 0;
    }();
    (void)Registered;
    std::string Caption = ShownText(FCaption);
    if (Caption.size() > DialogLimits::kMaxCaption) Caption.resize(DialogLimits::kMaxCaption);
    const DWORD Style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN | (CanCancel() ? WS_SYSMENU : 0);
    CreateWindowEx(kExStyle, kClassName, Caption.c_str(), Style, 0, 0, 100, 100, FOwner, 0, 0,
                   this);
}

void TDialogWindow::Place(SIZE Client) {
    RECT R{0, 0, Client.cx, Client.cy};
    AdjustWindowRectEx(&R, DWORD(GetWindowLongPtr(FHandle, GWL_STYLE)), FALSE, kExStyle);
    const int W = R.right - R.left, H = R.bottom - R.top;
    const RECT Work = WorkAreaOf(FOwner);
    RECT Over = Work;
    if (FOwner) GetWindowRect(FOwner, &Over);
    int X = (Over.left + Over.right) / 2 - W / 2;
    int Y = (Over.top + Over.bottom) / 2 - H / 2;
    X = std::max(int(Work.left), std::min(X, int(Work.right) - W));
    Y = std::max(int(Work.top), std::min(Y, int(Work.bottom) - H));
    SetWindowPos(FHandle, 0, X, Y, W, H, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND TDialogWindow::AddControl(const char* ClassName, const std::string& Text, DWORD Style,
                               const RECT& Place, UINT Id, DWORD ExStyle) {
    const HWND Wnd = CreateWindowEx(ExStyle, ClassName, Text.c_str(), WS_CHILD | WS_VISIBLE | Style,
                                    Place.left, Place.top, Place.right - Place.left,
                                    Place.bottom - Place.top, FHandle, Id, 0, nullptr);
    if (Wnd == 0) return 0;
    SendMessage(Wnd, WM_SETFONT, WPARAM(Font()), FALSE);
    // Below the controls made before it: z-order is the tab order.
    SetWindowPos(Wnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return Wnd;
}

HWND TDialogWindow::Control(UINT Id) const {
    return FHandle && Id ? GetDlgItem(FHandle, int(Id)) : 0;
}

void TDialogWindow::SetDefaultButton(UINT Id) {
    FDefaultId = Id;
    if (FHandle) UpdateDefaultLook();
}

HWND TDialogWindow::FirstFocus() {
    const HWND Default = Control(FDefaultId);
    if (Default && IsWindowEnabled(Default) && IsWindowVisible(Default)) return Default;
    return GetNextDlgTabItem(FHandle, 0, false);
}

LRESULT TDialogWindow::Notify(NMHDR&) {
    return 0;
}

void TDialogWindow::Paint(HDC) {}

void TDialogWindow::UpdateDefaultLook() {
    const HWND Focus = DialogChildOf(FHandle, GetFocus());
    const HWND Looks = Focus && IsPushButton(Focus) ? Focus : Control(FDefaultId);
    for (HWND W = GetWindow(FHandle, GW_CHILD); W != 0; W = GetWindow(W, GW_HWNDNEXT)) {
        if (!IsPushButton(W)) continue;
        const DWORD Style = DWORD(GetWindowLongPtr(W, GWL_STYLE));
        const DWORD Type = W == Looks ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((Style & BS_TYPEMASK) != Type) SendMessage(W, BM_SETSTYLE, Type, TRUE);
    }
}

void TDialogWindow::Activated(bool Active) {
    if (!Active) {
        const HWND Focus = GetFocus();
        if (Focus && IsChild(FHandle, Focus)) FLastFocus = Focus;
        return;
    }
    // Coming back, the focus goes where it was.
    HWND Target = FLastFocus && IsWindow(FLastFocus) && IsWindowEnabled(FLastFocus) ? FLastFocus
                                                                                    : FirstFocus();
    SetFocus(Target ? Target : FHandle);
    UpdateDefaultLook();
}

LRESULT TDialogWindow::Procedure(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NCCREATE && LParam) {
        auto* Self =
            static_cast<TDialogWindow*>(reinterpret_cast<CREATESTRUCT*>(LParam)->lpCreateParams);
        SetWindowLongPtr(Wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Self));
        if (Self) Self->FHandle = Wnd;
    }
    auto* Self = reinterpret_cast<TDialogWindow*>(GetWindowLongPtr(Wnd, GWLP_USERDATA));
    if (Self == nullptr) return DefWindowProc(Wnd, Msg, WParam, LParam);
    if (Msg == WM_NCDESTROY) {
        SetWindowLongPtr(Wnd, GWLP_USERDATA, 0);
        Self->FHandle = 0;
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
    return Self->WndProc(Msg, WParam, LParam);
}

LRESULT TDialogWindow::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_COMMAND:
            UpdateDefaultLook();
            Command(LOWORD(WParam), HIWORD(WParam), static_cast<HWND>(LParam));
            return 0;
        case WM_NOTIFY:
            UpdateDefaultLook();
            return LParam ? Notify(*reinterpret_cast<NMHDR*>(LParam)) : 0;
        case DM_GETDEFID:
            return FDefaultId ? LRESULT(MAKELONG(WORD(FDefaultId), DC_HASDEFID)) : 0;
        case DM_SETDEFID:
            SetDefaultButton(UINT(WParam));
            return TRUE;
        case WM_ACTIVATE:
            Activated(LOWORD(WParam) != WA_INACTIVE);
            return 0;
        case WM_CLOSE:
            if (CanCancel()) Command(IDCANCEL, BN_CLICKED, 0);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT PS;
            const HDC DC = BeginPaint(FHandle, &PS);
            Paint(DC);
            EndPaint(FHandle, &PS);
            return 0;
        }
        default:
            return DefWindowProc(FHandle, Msg, WParam, LParam);
    }
}

#include "components/store/FormPlacement.h"

#include <cstdio>

#include "components/store/Limits.h"
#include "components/text/WordRoutines.h"
#include "platform/classes/Exception.h"
#include "platform/core/Screens.h"
#include "platform/gdi/Gdi.h"

namespace {

void LogStoreError(const std::string& Section, const char* Consequence, const Exception& E) {
    std::fprintf(stderr, "form state of %s: %s; %s\n", Section.c_str(), E.Message().c_str(),
                 Consequence);
}

// A coordinate of the stored rectangle; one out of any screen's reach counts as missing.
int32_t NumberAt(const std::string& Text, uint32_t Word, int32_t Default) {
    const int32_t Value = StrToIntDef(ExtractWord(Word, Text, ","), Default);
    if (Value < -StoreLimits::kMaxCoordinate - 1 || Value > StoreLimits::kMaxCoordinate)
        return Default;
    return Value;
}

bool Sizeable(HWND Wnd) {
    return (GetWindowLong(Wnd, GWL_STYLE) & WS_THICKFRAME) != 0;
}

// The frame a maximised window hides beyond the screen's edges.
SIZE FrameOf(HWND Wnd) {
    const DWORD Style = DWORD(GetWindowLong(Wnd, GWL_STYLE));
    const DWORD ExStyle = DWORD(GetWindowLong(Wnd, GWL_EXSTYLE));
    if (Style & WS_THICKFRAME)
        return {GetSystemMetrics(SM_CXSIZEFRAME), GetSystemMetrics(SM_CYSIZEFRAME)};
    if (ExStyle & WS_EX_DLGMODALFRAME)
        return {GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME)};
    if (Style & (WS_BORDER | WS_DLGFRAME))
        return {GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER)};
    return {0, 0};
}

// Moves a rectangle (screen coordinates) into the work area of the screen nearest to it,
// shrinking it to that work area when it is larger: a placement saved on a screen that has gone
// does not open the window out of reach.
RECT ClampedToScreen(RECT R) {
    MONITORINFO Info;
    if (!GetMonitorInfo(MonitorFromRect(&R, MONITOR_DEFAULTTONEAREST), &Info)) return R;
    const RECT& Work = Info.rcWork;
    const LONG Width = std::min(R.right - R.left, Work.right - Work.left);
    const LONG Height = std::min(R.bottom - R.top, Work.bottom - Work.top);
    const LONG Left = std::clamp(R.left, Work.left, Work.right - Width);
    const LONG Top = std::clamp(R.top, Work.top, Work.bottom - Height);
    return {Left, Top, Left + Width, Top + Height};
}

// Normal rectangles of top-level windows count from the primary screen's work area.
POINT WorkspaceOrigin() {
    RECT Work;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &Work, 0);
    return {Work.left, Work.top};
}

RECT ClampedWorkspaceRect(RECT R) {
    const POINT Origin = WorkspaceOrigin();
    OffsetRect(&R, Origin.x, Origin.y);
    R = ClampedToScreen(R);
    OffsetRect(&R, -Origin.x, -Origin.y);
    return R;
}

// False when the section holds no position: then nothing else is restored either.
bool RestorePosition(TOvcAbstractStore& Store, const std::string& Section,
                     TOvcFormStateOptions Options, const TFormStateSubject& Form,
                     WINDOWPLACEMENT& Placement, TFormStateRestored& Result) {
    const int32_t Flags = Store.ReadInteger(Section, "Flags", int32_t(Placement.flags));
    const std::string Position = Store.ReadString(Section, "NormalPos", "");
    if (Position.empty()) return false;
    Result.PositionDesigned = Form.PlainFormClass;
    RECT Current;
    GetWindowRect(Form.Wnd, &Current);
    const LONG Width = Current.right - Current.left;
    const LONG Height = Current.bottom - Current.top;
    const LONG Left = NumberAt(Position, 1, Current.left);
    const LONG Top = NumberAt(Position, 2, Current.top);
    if (Options.Contains(fsNoSize)) {
        const RECT Moved = ClampedToScreen({Left, Top, Left + Width, Top + Height});
        SetWindowPos(Form.Wnd, 0, Moved.left, Moved.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return true;
    }
    RECT Normal{Left, Top, NumberAt(Position, 3, Left + Width),
                NumberAt(Position, 4, Top + Height)};
    if (!Sizeable(Form.Wnd)) {
        // A fixed border keeps the size the form was made with.
        Normal.right = Normal.left + Width;
        Normal.bottom = Normal.top + Height;
    }
    // A rectangle with no width or no height is no place to restore (the window would vanish).
    if (Normal.right > Normal.left && Normal.bottom > Normal.top) {
        Placement.flags = UINT(Flags);
        Placement.rcNormalPosition = ClampedWorkspaceRect(Normal);
        SetWindowPlacement(Form.Wnd, &Placement);
    }
    return true;
}

TRestoredWindowState StateOfShowCommand(int32_t ShowCmd) {
    if (ShowCmd == SW_SHOWMINIMIZED || ShowCmd == SW_MINIMIZE)
        return TRestoredWindowState::Minimized;
    if (ShowCmd == SW_SHOWMAXIMIZED) return TRestoredWindowState::Maximized;
    return TRestoredWindowState::Normal;
}

void RestorePlacement(TOvcAbstractStore& Store, const std::string& Section,
                      TOvcFormStateOptions Options, const TFormStateSubject& Form,
                      TFormStateRestored& Result) {
    if (Store.ReadInteger(Section, "PixelsPerInch", kFormPixelsPerInch) != kFormPixelsPerInch)
        return;
    WINDOWPLACEMENT Placement;
    GetWindowPlacement(Form.Wnd, &Placement);
    Placement.showCmd = 0;
    if (Options.Contains(fsPosition) &&
        !RestorePosition(Store, Section, Options, Form, Placement, Result))
        return;
    if (Options.Contains(fsState)) {
        const TRestoredWindowState State =
            StateOfShowCommand(Store.ReadInteger(Section, "ShowCmd", 0));
        if (State == TRestoredWindowState::Minimized && Form.MainForm) {
            const HWND Target = Form.ApplicationWindow != 0 ? Form.ApplicationWindow : Form.Wnd;
            PostMessage(Target, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return;
        }
        Result.WindowState = State;
    }
    if (Options.Contains(fsDefaultMonitor)) {
        const std::string Monitor = Store.ReadString(Section, "DefaultMonitor", "");
        const int32_t Value = StrToIntDef(Monitor, -1);
        if (Value >= 0 && Value <= 3) Result.DefaultMonitor = Value;
    }
    if (Options.Contains(fsColor)) Result.Color = Store.ReadInteger(Section, "Color", Form.Color);
    Result.Repaint = true;
}

void SetMaximizedPosition(const TFormStateSubject& Form) {
    if (!IsWindow(Form.Wnd) || Form.Loading) return;
    WINDOWPLACEMENT Placement;
    GetWindowPlacement(Form.Wnd, &Placement);
    const SIZE Frame = FrameOf(Form.Wnd);
    Placement.ptMaxPosition = {-Frame.cx, -Frame.cy};
    if (IsWindowVisible(Form.Wnd)) SetWindowPlacement(Form.Wnd, &Placement);
}

}  // namespace

TFormStateRestored RestoreFormState(TOvcAbstractStore& Store, const std::string& Section,
                                    TOvcFormStateOptions Options, const TFormStateSubject& Form) {
    TFormStateRestored Result;
    try {
        WithStoreOpen(Store, [&] {
            if (Options.Contains(fsState) || Options.Contains(fsPosition))
                RestorePlacement(Store, Section, Options, Form, Result);
            if (Options.Contains(fsActiveControl))
                Result.ActiveControl = Store.ReadString(Section, "ActiveControl", "");
        });
    } catch (const Exception& E) {
        LogStoreError(Section, "the window opens at its default place", E);
        Result = {};
    }
    SetMaximizedPosition(Form);
    return Result;
}

void SaveFormState(TOvcAbstractStore& Store, const std::string& Section,
                   TOvcFormStateOptions Options, const TFormStateSubject& Form) {
    WINDOWPLACEMENT Placement;
    GetWindowPlacement(Form.Wnd, &Placement);
    UINT Flags = Placement.flags;
    if (Form.MDIChild && IsIconic(Form.Wnd)) Flags |= WPF_SETMINPOSITION;
    UINT ShowCmd = Placement.showCmd;
    if (Form.MainForm && Form.ApplicationMinimized) ShowCmd = SW_SHOWMINIMIZED;
    const RECT& Normal = Placement.rcNormalPosition;
    const std::string Position = std::to_string(Normal.left) + "," + std::to_string(Normal.top) +
                                 "," + std::to_string(Normal.right) + "," +
                                 std::to_string(Normal.bottom);
    try {
        WithStoreOpen(Store, [&] {
            Store.WriteInteger(Section, "Flags", int32_t(Flags));
            Store.WriteInteger(Section, "ShowCmd", int32_t(ShowCmd));
            Store.WriteString(Section, "NormalPos", Position);
            Store.WriteInteger(Section, "PixelsPerInch", kFormPixelsPerInch);
            if (Options.Contains(fsDefaultMonitor))
                Store.WriteInteger(Section, "DefaultMonitor", Form.DefaultMonitor);
            Store.WriteInteger(Section, "Color", Form.Color);
            if (Options.Contains(fsActiveControl) && !Form.ActiveControl.empty())
                Store.WriteString(Section, "ActiveControl", Form.ActiveControl);
        });
    } catch (const Exception& E) {
        LogStoreError(Section, "the window's placement is not saved", E);
    }
}

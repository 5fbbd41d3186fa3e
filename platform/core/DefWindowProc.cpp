// What a window procedure answers for the messages it leaves alone.
#include <algorithm>
#include <cstring>

#include "platform/core/HostImpl.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/WindowImpl.h"
#include "platform/gdi/Gdi.h"

namespace {

HBRUSH ClassBrush(const TWnd& W) {
    const HBRUSH Brush = W.Class->Info.hbrBackground;
    // Small values name a system colour (index + 1).
    if (Brush != 0 && Brush <= static_cast<HBRUSH>(COLOR_MENUBAR + 1))
        return GetSysColorBrush(static_cast<int>(Brush) - 1);
    return Brush;
}

LRESULT SetText(TWnd& W, LPARAM LParam) {
    const char* Text = reinterpret_cast<const char*>(LParam);
    std::string New = Text ? std::string(Text) : std::string();
    if (New.size() > CoreLimits::kMaxWindowText) New.resize(CoreLimits::kMaxWindowText);
    if (New == W.Text) return TRUE;
    W.Text = std::move(New);
    HostImpl::StyleChanged(W);
    if ((W.Style & WS_CAPTION) == WS_CAPTION && IsWindowVisible(W.Handle))
        NonClientImpl::NcPaint(W.Handle);
    return TRUE;
}

LRESULT GetText(const TWnd& W, WPARAM Size, LPARAM LParam) {
    char* Buffer = reinterpret_cast<char*>(LParam);
    if (!Buffer || Size == 0) return 0;
    const size_t N = std::min(W.Text.size(), static_cast<size_t>(Size - 1));
    std::memcpy(Buffer, W.Text.data(), N);
    Buffer[N] = '\0';
    return static_cast<LRESULT>(N);
}

LRESULT EraseBackground(const TWnd& W, WPARAM WParam) {
    const HBRUSH Brush = ClassBrush(W);
    const auto DC = static_cast<HDC>(WParam);
    if (Brush == 0 || DC == 0) return 0;
    RECT Box;
    GetClipBox(DC, &Box);
    FillRect(DC, &Box, Brush);
    return 1;
}

void Paint(HWND Wnd) {
    PAINTSTRUCT Ps;
    BeginPaint(Wnd, &Ps);
    EndPaint(Wnd, &Ps);
}

LRESULT PassToParent(const TWnd& W, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (W.Parent == 0) return 0;
    return SendMessage(W.Parent, Msg, WParam, LParam);
}

}  // namespace

LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return 0;
    switch (Msg) {
        case WM_NCCREATE:
            return TRUE;
        case WM_NCCALCSIZE:
            return NonClientImpl::NcCalcSize(Wnd, WParam, LParam);
        case WM_NCHITTEST:
            return NonClientImpl::NcHitTest(Wnd, MessagePoint(LParam));
        case WM_NCPAINT:
            NonClientImpl::NcPaint(Wnd);
            return 0;
        case WM_NCACTIVATE:
            return NonClientImpl::NcActivate(Wnd, WParam);
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
            return NonClientImpl::NcButtonDown(Wnd, Msg, WParam, LParam);
        case WM_NCLBUTTONDBLCLK:
            return NonClientImpl::NcButtonDblClk(Wnd, WParam);
        case WM_SYSCOMMAND:
            return NonClientImpl::SysCommand(Wnd, WParam, LParam);
        case WM_SETCURSOR:
            return NonClientImpl::SetCursorDefault(Wnd, WParam, LParam);
        case WM_SETTEXT:
            return SetText(*W, LParam);
        case WM_GETTEXT:
            return GetText(*W, WParam, LParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(W->Text.size());
        case WM_CLOSE:
            DestroyWindow(Wnd);
            return 0;
        case WM_PAINT:
            Paint(Wnd);
            return 0;
        case WM_ERASEBKGND:
            return EraseBackground(*W, WParam);
        case WM_WINDOWPOSCHANGED: {
            const auto* Pos = reinterpret_cast<const WINDOWPOS*>(LParam);
            if (!Pos) return 0;
            const RECT C = W->Client;
            if (!(Pos->flags & SWP_NOCLIENTSIZE))
                SendMessage(Wnd, WM_SIZE,
                            (W->Style & WS_MAXIMIZE)   ? SIZE_MAXIMIZED
                            : (W->Style & WS_MINIMIZE) ? SIZE_MINIMIZED
                                                       : SIZE_RESTORED,
                            MAKELPARAM(static_cast<WORD>(C.right - C.left),
                                       static_cast<WORD>(C.bottom - C.top)));
            if (!(Pos->flags & SWP_NOCLIENTMOVE) && FindWnd(Wnd))
                SendMessage(Wnd, WM_MOVE, 0,
                            MAKELPARAM(static_cast<WORD>(W->Window.left + C.left),
                                       static_cast<WORD>(W->Window.top + C.top)));
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(WParam) != WA_INACTIVE && HIWORD(WParam) == 0) SetFocus(Wnd);
            return 0;
        case WM_MOUSEACTIVATE:
            if (W->Parent != 0) {
                const LRESULT Answer = PassToParent(*W, Msg, WParam, LParam);
                if (Answer != 0) return Answer;
            }
            return MA_ACTIVATE;
        case WM_RBUTTONUP: {
            POINT P = MessagePoint(LParam);
            ClientToScreen(Wnd, &P);
            SendMessage(Wnd, WM_CONTEXTMENU, static_cast<WPARAM>(Wnd), PointLParam(P));
            return 0;
        }
        case WM_NCRBUTTONUP:
            SendMessage(Wnd, WM_CONTEXTMENU, static_cast<WPARAM>(Wnd), LParam);
            return 0;
        case WM_KEYUP:
            if (WParam == VK_APPS)
                SendMessage(Wnd, WM_CONTEXTMENU, static_cast<WPARAM>(Wnd), static_cast<LPARAM>(-1));
            return 0;
        case WM_SYSKEYDOWN:
            if (WParam == VK_F4 && (LParam & KF_ALTDOWN_BIT)) {
                const HWND Top = GetAncestor(Wnd, GA_ROOT);
                PostMessage(Top, WM_SYSCOMMAND, SC_CLOSE, 0);
            } else if (WParam == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000)) {
                SendMessage(Wnd, WM_CONTEXTMENU, static_cast<WPARAM>(Wnd), static_cast<LPARAM>(-1));
            }
            return 0;
        case WM_CONTEXTMENU:
        case WM_MOUSEWHEEL:
            return PassToParent(*W, Msg, WParam, LParam);
        case WM_CANCELMODE:
            if (GetCapture() == Wnd) ReleaseCapture();
            return 0;
        case WM_SETREDRAW:
            W->RedrawOff = WParam == 0;
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_CTLCOLOREDIT: {
            const auto DC = static_cast<HDC>(WParam);
            SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(DC, GetSysColor(COLOR_WINDOW));
            return static_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        default:
            return 0;
    }
}

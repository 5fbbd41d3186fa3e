// The non-client area as DefWindowProc gives it: frame and caption metrics, hit testing, the
// classic look, caption buttons, the move and size loop, and the hooks of the scroll bars.
#include <algorithm>
#include <cstring>

#include "platform/core/CaptionFont.h"
#include "platform/core/Host.h"
#include "platform/core/Input.h"
#include "platform/core/MessageLoop.h"
#include "platform/core/Paint.h"
#include "platform/core/Pointer.h"
#include "platform/core/Screens.h"
#include "platform/core/ScrollBarImpl.h"
#include "platform/core/TrackImpl.h"
#include "platform/core/WindowImpl.h"
#include "platform/gdi/Gdi.h"

namespace {

bool HasCaption(DWORD Style) {
    return (Style & WS_CAPTION) == WS_CAPTION;
}

// Thickness of the outer frame alone (without the client edge).
int FrameThickness(DWORD Style, DWORD ExStyle) {
    if (Style & WS_THICKFRAME) return GetSystemMetrics(SM_CXFRAME);
    if ((Style & WS_DLGFRAME) || (ExStyle & WS_EX_DLGMODALFRAME))
        return GetSystemMetrics(SM_CXDLGFRAME);
    if (Style & WS_BORDER) return GetSystemMetrics(SM_CXBORDER);
    return 0;
}

int CaptionHeight(DWORD ExStyle) {
    return GetSystemMetrics((ExStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
}

// The program's icon stands in a caption as the window's system-menu mark; tool windows and
// dialogs show none.
bool ShowsApplicationIcon(const TWnd& W) {
    return ApplicationIcon() != 0 && (W.Style & WS_SYSMENU) &&
           !(W.ExStyle & (WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME));
}

struct TCaptionLayout {
    RECT Caption{};  // window coordinates, without the line below it
    RECT Close{};
    RECT Max{};
    RECT Min{};
    bool HasClose = false;
    bool HasMax = false;
    bool HasMin = false;
};

TCaptionLayout LayoutCaption(const TWnd& W) {
    TCaptionLayout L;
    if (!HasCaption(W.Style)) return L;
    const int B = FrameThickness(W.Style, W.ExStyle);
    const int H = CaptionHeight(W.ExStyle);
    L.Caption = RECT{B, B, W.Width() - B, B + H - 1};
    if (!(W.Style & WS_SYSMENU)) return L;
    const bool Small = (W.ExStyle & WS_EX_TOOLWINDOW) != 0;
    const int BtnW = GetSystemMetrics(Small ? SM_CXSMSIZE : SM_CXSIZE) - 2;
    const int BtnH = H - 5;
    const int Top = L.Caption.top + 2;
    int Right = L.Caption.right - 2;
    L.Close = RECT{Right - BtnW, Top, Right, Top + BtnH};
    L.HasClose = true;
    Right = L.Close.left - 2;
    if (!Small && (W.Style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX))) {
        L.Max = RECT{Right - BtnW, Top, Right, Top + BtnH};
        L.HasMax = true;
        L.Min = RECT{L.Max.left - BtnW, Top, L.Max.left, Top + BtnH};
        L.HasMin = true;
    }
    return L;
}

HFONT CaptionFont(bool Small) {
    static HFONT Normal = 0;
    static HFONT Tool = 0;
    HFONT& Font = Small ? Tool : Normal;
    if (Font == 0) Font = CreateFontIndirect(CaptionLogFont(Small));
    return Font;
}

void DrawCaptionButton(HDC DC, RECT R, UINT Kind, bool Pushed, bool Enabled) {
    DrawFrameControl(DC, &R, DFC_CAPTION,
                     Kind | (Pushed ? DFCS_PUSHED : 0) | (Enabled ? 0 : DFCS_INACTIVE));
}

UINT MaxKind(const TWnd& W) {
    return (W.Style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX;
}

void PaintFrame(HDC DC, const TWnd& W, LRESULT PushedButton) {
    const int Width = W.Width();
    const int Height = W.Height();
    RECT R{0, 0, Width, Height};
    const int B = FrameThickness(W.Style, W.ExStyle);
    const bool Active = W.NcActive;
    if (W.Style & WS_THICKFRAME || (W.Style & WS_DLGFRAME) || (W.ExStyle & WS_EX_DLGMODALFRAME)) {
        DrawEdge(DC, &R, EDGE_RAISED, BF_RECT | BF_ADJUST);
        // What is left of the frame inside the raised edge.
        const HBRUSH Fill = GetSysColorBrush(
            (W.Style & WS_THICKFRAME) ? (Active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER)
                                      : COLOR_BTNFACE);
        for (int I = 2; I < B; ++I) {
            FrameRect(DC, &R, Fill);
            InflateRect(&R, -1, -1);
        }
    } else if (W.Style & WS_BORDER) {
        FrameRect(DC, &R, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&R, -1, -1);
    }
    if (HasCaption(W.Style)) {
        const TCaptionLayout L = LayoutCaption(W);
        RECT Cap = L.Caption;
        FillRect(DC, &Cap, GetSysColorBrush(Active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        // The line between caption and client area.
        RECT Line{Cap.left, Cap.bottom, Cap.right, Cap.bottom + 1};
        FillRect(DC, &Line, GetSysColorBrush(COLOR_BTNFACE));
        const bool Small = (W.ExStyle & WS_EX_TOOLWINDOW) != 0;
        RECT Text = Cap;
        Text.left += 2;
        if (ShowsApplicationIcon(W)) {
            const int Size = GetSystemMetrics(SM_CXSMICON);
            DrawIconEx(DC, Text.left, Cap.top + (Cap.bottom - Cap.top - Size) / 2,
                       ApplicationIcon(), Size, Size, 0, 0, DI_NORMAL);
            Text.left += Size + 2;
        }
        Text.right = (L.HasMin ? L.Min.left : L.HasClose ? L.Close.left : Cap.right) - 2;
        const HGDIOBJ OldFont = SelectObject(DC, CaptionFont(Small));
        SetBkMode(DC, TRANSPARENT);
        SetTextColor(DC, GetSysColor(Active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        DrawText(DC, W.Text, &Text,
                 DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(DC, OldFont);
        const bool CanClose = !(W.Class->Info.style & CS_NOCLOSE);
        if (L.HasClose)
            DrawCaptionButton(DC, L.Close, DFCS_CAPTIONCLOSE, PushedButton == HTCLOSE, CanClose);
        if (L.HasMax)
            DrawCaptionButton(DC, L.Max, MaxKind(W), PushedButton == HTMAXBUTTON,
                              (W.Style & WS_MAXIMIZEBOX) != 0);
        if (L.HasMin)
            DrawCaptionButton(DC, L.Min, DFCS_CAPTIONMIN, PushedButton == HTMINBUTTON,
                              (W.Style & WS_MINIMIZEBOX) != 0);
    }
    ScrollBarImpl::Paint(DC, W);
    if (W.ExStyle & WS_EX_CLIENTEDGE) {
        RECT Edge = ScrollBarImpl::ClientWithBars(W);
        InflateRect(&Edge, GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE));
        DrawEdge(DC, &Edge, EDGE_SUNKEN, BF_RECT);
    }
}

void PaintFrameWith(HWND Wnd, LRESULT PushedButton) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || !IsWindowVisible(Wnd)) return;
    const HDC DC = GetWindowDC(Wnd);
    if (!DC) return;
    PaintFrame(DC, *W, PushedButton);
    ReleaseDC(Wnd, DC);
}

}  // namespace

namespace TrackImpl {

bool IsMouseMessage(UINT Msg) {
    return (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST) ||
           (Msg >= WM_NCMOUSEMOVE && Msg <= WM_NCMBUTTONDBLCLK);
}

// The tracking loops poll the button as they poll the cursor: as the input stands now, not as
// of the last message they took (they drop most of those).
bool LeftButtonDown() {
    return GetAsyncKeyState(VK_LBUTTON) < 0;
}

void DropDragMessages() {
    // A WM_QUIT matches both ranges: it stays in the queue, and so does what came after it.
    DropQueued(0, WM_MOUSEFIRST, WM_MOUSELAST);
    DropQueued(0, WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK);
}

}  // namespace TrackImpl

namespace {

using namespace TrackImpl;

// Presses a caption button while the mouse is held; true when it was released over it.
bool TrackCaptionButton(HWND Wnd, LRESULT Button) {
    SetCapture(Wnd);
    PaintFrameWith(Wnd, Button);
    bool Pressed = true;
    bool Clicked = false;
    TModalLoop Loop(kTrackWait);
    MSG Msg;
    for (;;) {
        if (GetCapture() != Wnd || !FindWnd(Wnd)) break;
        const bool Over = NonClientImpl::NcHitTest(Wnd, CursorNow()) == Button;
        if (!LeftButtonDown()) {
            Clicked = Over;
            DropDragMessages();
            break;
        }
        if (Over != Pressed) {
            Pressed = Over;
            PaintFrameWith(Wnd, Pressed ? Button : HTNOWHERE);
        }
        const TNext Next = Loop.Next(Msg);
        if (Next == TNext::Quit) break;
        if (Next == TNext::Idle || IsMouseMessage(Msg.message)) continue;
        TModalLoop::Deliver(Msg);
    }
    if (GetCapture() == Wnd) ReleaseCapture();
    PaintFrameWith(Wnd, HTNOWHERE);
    return Clicked;
}

RECT ApplyEdge(RECT R, WPARAM Edge, LONG Dx, LONG Dy) {
    const bool Left = Edge == WMSZ_LEFT || Edge == WMSZ_TOPLEFT || Edge == WMSZ_BOTTOMLEFT;
    const bool Right = Edge == WMSZ_RIGHT || Edge == WMSZ_TOPRIGHT || Edge == WMSZ_BOTTOMRIGHT;
    const bool Top = Edge == WMSZ_TOP || Edge == WMSZ_TOPLEFT || Edge == WMSZ_TOPRIGHT;
    const bool Bottom = Edge == WMSZ_BOTTOM || Edge == WMSZ_BOTTOMLEFT || Edge == WMSZ_BOTTOMRIGHT;
    if (Left) R.left += Dx;
    if (Right) R.right += Dx;
    if (Top) R.top += Dy;
    if (Bottom) R.bottom += Dy;
    return R;
}

// Keeps the size within the tracking limits, moving the edge that is dragged.
RECT ClampTrack(RECT R, WPARAM Edge, const MINMAXINFO& Info) {
    const bool Left = Edge == WMSZ_LEFT || Edge == WMSZ_TOPLEFT || Edge == WMSZ_BOTTOMLEFT;
    const bool Top = Edge == WMSZ_TOP || Edge == WMSZ_TOPLEFT || Edge == WMSZ_TOPRIGHT;
    const LONG Width = std::clamp(R.right - R.left, Info.ptMinTrackSize.x, Info.ptMaxTrackSize.x);
    const LONG Height = std::clamp(R.bottom - R.top, Info.ptMinTrackSize.y, Info.ptMaxTrackSize.y);
    if (Left)
        R.left = R.right - Width;
    else
        R.right = R.left + Width;
    if (Top)
        R.top = R.bottom - Height;
    else
        R.bottom = R.top + Height;
    return R;
}

// Screen rectangle to the coordinates SetWindowPos takes for the window.
RECT ToParent(const TWnd& W, RECT R) {
    if (W.Parent != 0)
        if (TWndPtr P = FindWnd(W.Parent)) {
            const POINT O = WindowImpl::ClientOrigin(*P);
            OffsetRect(&R, -O.x, -O.y);
        }
    return R;
}

// The move (Edge 0) or size loop: follows the cursor until the button is released, Escape
// (back to where it started) or Return, or the capture is lost. Other messages are dispatched.
void MoveSizeLoop(HWND Wnd, WPARAM Edge, POINT Start, bool ByMouse) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return;
    if (Edge == 0 && (W->Style & WS_MAXIMIZE)) return;
    if (Edge != 0 && !(W->Style & WS_THICKFRAME)) return;
    MINMAXINFO Info;
    NonClientImpl::DefaultMinMax(*W, Info);
    SendMessage(Wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
    if (!FindWnd(Wnd)) return;
    SetCapture(Wnd);
    SendMessage(Wnd, WM_ENTERSIZEMOVE, 0, 0);
    const RECT Original = WindowImpl::ScreenRect(*W);
    RECT Current = Original;
    auto Place = [&](RECT R) {
        if (EqualRect(&R, &Current)) return;
        Current = R;
        const RECT P = ToParent(*W, R);
        SetWindowPos(Wnd, 0, P.left, P.top, P.right - P.left, P.bottom - P.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    POINT Followed = ByMouse ? Start : CursorNow();
    auto Follow = [&](POINT Cursor) {
        if (Cursor == Followed) return;
        Followed = Cursor;
        const LONG Dx = Cursor.x - Start.x;
        const LONG Dy = Cursor.y - Start.y;
        RECT R;
        if (Edge == 0) {
            R = Original;
            OffsetRect(&R, Dx, Dy);
            SendMessage(Wnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&R));
        } else {
            R = ClampTrack(ApplyEdge(Original, Edge, Dx, Dy), Edge, Info);
            SendMessage(Wnd, WM_SIZING, Edge, reinterpret_cast<LPARAM>(&R));
        }
        if (FindWnd(Wnd)) Place(R);
    };
    TModalLoop Loop(kTrackWait);
    MSG Msg;
    for (;;) {
        if (GetCapture() != Wnd || !FindWnd(Wnd)) break;
        Follow(CursorNow());
        if (ByMouse && !LeftButtonDown()) {
            DropDragMessages();
            break;
        }
        const TNext Next = Loop.Next(Msg);
        if (Next == TNext::Quit) break;
        if (Next == TNext::Idle || IsMouseMessage(Msg.message)) continue;
        if (Msg.message == WM_KEYDOWN || Msg.message == WM_SYSKEYDOWN) {
            if (Msg.wParam == VK_ESCAPE) {
                Place(Original);
                break;
            }
            if (Msg.wParam == VK_RETURN) break;
            continue;
        }
        if (Msg.message == WM_KEYUP || Msg.message == WM_SYSKEYUP || Msg.message == WM_CHAR)
            continue;
        TModalLoop::Deliver(Msg);
    }
    if (GetCapture() == Wnd) ReleaseCapture();
    if (FindWnd(Wnd)) SendMessage(Wnd, WM_EXITSIZEMOVE, 0, 0);
}

}  // namespace

RECT NonClientImpl::FrameInsets(DWORD Style, DWORD ExStyle) {
    int B = FrameThickness(Style, ExStyle);
    if (ExStyle & WS_EX_CLIENTEDGE) B += GetSystemMetrics(SM_CXEDGE);
    if (ExStyle & WS_EX_STATICEDGE) B += GetSystemMetrics(SM_CXBORDER);
    RECT Insets{B, B, B, B};
    if (HasCaption(Style)) Insets.top += CaptionHeight(ExStyle);
    return Insets;
}

LRESULT NonClientImpl::NcCalcSize(HWND Wnd, WPARAM WParam, LPARAM LParam) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || LParam == 0) return 0;
    RECT* R = WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(LParam)->rgrc[0]
                     : reinterpret_cast<RECT*>(LParam);
    const RECT In = FrameInsets(W->Style, W->ExStyle);
    R->left += In.left;
    R->top += In.top;
    R->right = std::max(R->left, R->right - In.right);
    R->bottom = std::max(R->top, R->bottom - In.bottom);
    ScrollBarImpl::TakeRoom(*W, *R);
    return 0;
}

LRESULT NonClientImpl::NcHitTest(HWND Wnd, POINT Screen) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return HTNOWHERE;
    const RECT R = WindowImpl::ScreenRect(*W);
    if (!PtInRect(&R, Screen)) return HTNOWHERE;
    const int X = Screen.x - R.left;
    const int Y = Screen.y - R.top;
    if (W->HasRegion && !W->Region.contains(QPoint(X, Y))) return HTNOWHERE;
    const POINT Local{X, Y};
    if (PtInRect(&W->Client, Local)) return HTCLIENT;
    if (const LRESULT Bar = ScrollBarImpl::HitTest(*W, Local); Bar != HTNOWHERE) return Bar;
    const int Width = W->Width();
    const int Height = W->Height();
    const int B = FrameThickness(W->Style, W->ExStyle);
    const bool OnFrame = X < B || Y < B || X >= Width - B || Y >= Height - B;
    if (OnFrame) {
        if (!(W->Style & WS_THICKFRAME) || (W->Style & WS_MAXIMIZE)) return HTBORDER;
        // The corners reach along the edges as far as a caption is high.
        const int Corner = GetSystemMetrics(SM_CYCAPTION) + B;
        const bool Left = X < Corner;
        const bool Right = X >= Width - Corner;
        const bool Top = Y < Corner;
        const bool Bottom = Y >= Height - Corner;
        if (X < B) return Top ? HTTOPLEFT : Bottom ? HTBOTTOMLEFT : HTLEFT;
        if (X >= Width - B) return Top ? HTTOPRIGHT : Bottom ? HTBOTTOMRIGHT : HTRIGHT;
        if (Y < B) return Left ? HTTOPLEFT : Right ? HTTOPRIGHT : HTTOP;
        return Left ? HTBOTTOMLEFT : Right ? HTBOTTOMRIGHT : HTBOTTOM;
    }
    if (HasCaption(W->Style)) {
        const TCaptionLayout L = LayoutCaption(*W);
        RECT Band = L.Caption;
        Band.bottom += 1;
        if (PtInRect(&Band, Local)) {
            if (L.HasClose && PtInRect(&L.Close, Local)) return HTCLOSE;
            if (L.HasMax && PtInRect(&L.Max, Local)) return HTMAXBUTTON;
            if (L.HasMin && PtInRect(&L.Min, Local)) return HTMINBUTTON;
            return HTCAPTION;
        }
    }
    return HTBORDER;
}

void NonClientImpl::NcPaint(HWND Wnd) {
    PaintFrameWith(Wnd, HTNOWHERE);
}

LRESULT NonClientImpl::NcActivate(HWND Wnd, WPARAM WParam) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return TRUE;
    const bool Active = WParam != 0;
    if (W->NcActive != Active) {
        W->NcActive = Active;
        if (HasCaption(W->Style) || (W->Style & WS_THICKFRAME)) NcPaint(Wnd);
    }
    return TRUE;
}

LRESULT NonClientImpl::NcButtonDown(HWND Wnd, UINT Msg, WPARAM HitTest, LPARAM LParam) {
    if (Msg != WM_NCLBUTTONDOWN) return 0;
    const auto Hit = static_cast<LRESULT>(HitTest);
    if (Hit == HTCAPTION) {
        SendMessage(Wnd, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, LParam);
    } else if (Hit >= HTLEFT && Hit <= HTBOTTOMRIGHT) {
        SendMessage(Wnd, WM_SYSCOMMAND, SC_SIZE + static_cast<WPARAM>(Hit - HTLEFT + WMSZ_LEFT),
                    LParam);
    } else if (Hit == HTVSCROLL || Hit == HTHSCROLL) {
        SendMessage(Wnd, WM_SYSCOMMAND, (Hit == HTVSCROLL ? SC_VSCROLL : SC_HSCROLL) + HitTest,
                    LParam);
    } else if (Hit == HTCLOSE || Hit == HTMAXBUTTON || Hit == HTMINBUTTON) {
        TWndPtr W = FindWnd(Wnd);
        if (!W) return 0;
        if (Hit == HTCLOSE && (W->Class->Info.style & CS_NOCLOSE)) return 0;
        if (Hit == HTMAXBUTTON && !(W->Style & WS_MAXIMIZEBOX)) return 0;
        if (Hit == HTMINBUTTON && !(W->Style & WS_MINIMIZEBOX)) return 0;
        if (!TrackCaptionButton(Wnd, Hit)) return 0;
        const WPARAM Cmd = Hit == HTCLOSE       ? SC_CLOSE
                           : Hit == HTMINBUTTON ? SC_MINIMIZE
                           : IsZoomed(Wnd)      ? SC_RESTORE
                                                : SC_MAXIMIZE;
        SendMessage(Wnd, WM_SYSCOMMAND, Cmd, LParam);
    }
    return 0;
}

LRESULT NonClientImpl::NcButtonDblClk(HWND Wnd, WPARAM HitTest) {
    // A quick second press on a bar presses it again (the tracking loop takes the cursor).
    if (static_cast<LRESULT>(HitTest) == HTVSCROLL || static_cast<LRESULT>(HitTest) == HTHSCROLL)
        return NcButtonDown(Wnd, WM_NCLBUTTONDOWN, HitTest, 0);
    TWndPtr W = FindWnd(Wnd);
    if (!W || static_cast<LRESULT>(HitTest) != HTCAPTION || !(W->Style & WS_MAXIMIZEBOX)) return 0;
    SendMessage(Wnd, WM_SYSCOMMAND, IsZoomed(Wnd) ? SC_RESTORE : SC_MAXIMIZE, 0);
    return 0;
}

LRESULT NonClientImpl::SysCommand(HWND Wnd, WPARAM Cmd, LPARAM LParam) {
    switch (Cmd & 0xFFF0) {
        case SC_CLOSE:
            SendMessage(Wnd, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(Wnd, SW_MINIMIZE);
            break;
        case SC_MAXIMIZE:
            ShowWindow(Wnd, SW_MAXIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(Wnd, SW_RESTORE);
            break;
        case SC_VSCROLL:
        case SC_HSCROLL:
            ScrollBarImpl::Track(Wnd, (Cmd & 0xFFF0) == SC_VSCROLL ? SB_VERT : SB_HORZ);
            break;
        case SC_MOVE:
        case SC_SIZE: {
            // Started by a press on the frame the command carries its point; by the keyboard
            // (no point), no button ends the loop.
            POINT Start = MessagePoint(LParam);
            if (LParam == 0) GetCursorPos(&Start);
            MoveSizeLoop(Wnd, (Cmd & 0xFFF0) == SC_SIZE ? (Cmd & 0x000F) : 0, Start, LParam != 0);
            break;
        }
        default:
            break;
    }
    return 0;
}

LRESULT NonClientImpl::SetCursorDefault(HWND Wnd, WPARAM WParam, LPARAM LParam) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return FALSE;
    if (W->Parent != 0 && SendMessage(W->Parent, WM_SETCURSOR, WParam, LParam)) return TRUE;
    const auto Hit =
        static_cast<LRESULT>(static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(LParam))));
    std::uintptr_t Shape = IDC_ARROW;
    switch (Hit) {
        case HTCLIENT:
            if (W->Class->Info.hCursor == 0) return FALSE;
            SetCursor(W->Class->Info.hCursor);
            return TRUE;
        case HTLEFT:
        case HTRIGHT:
            Shape = IDC_SIZEWE;
            break;
        case HTTOP:
        case HTBOTTOM:
            Shape = IDC_SIZENS;
            break;
        case HTTOPLEFT:
        case HTBOTTOMRIGHT:
            Shape = IDC_SIZENWSE;
            break;
        case HTTOPRIGHT:
        case HTBOTTOMLEFT:
            Shape = IDC_SIZENESW;
            break;
        default:
            break;
    }
    SetCursor(LoadCursor(0, MAKEINTRESOURCE(Shape)));
    return TRUE;
}

void NonClientImpl::DefaultMinMax(const TWnd& W, MINMAXINFO& Info) {
    MONITORINFO Monitor;
    GetMonitorInfo(MonitorFromWindow(W.Handle, MONITOR_DEFAULTTONEAREST), &Monitor);
    const RECT Work = Monitor.rcWork;
    const int B = FrameThickness(W.Style, W.ExStyle);
    // Maximized, the frame lies just outside the work area.
    Info.ptMaxPosition = POINT{Work.left - B, Work.top - B};
    Info.ptMaxSize = POINT{Work.right - Work.left + 2 * B, Work.bottom - Work.top + 2 * B};
    Info.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    Info.ptMaxTrackSize = POINT{CoreLimits::kMaxSurfaceSide, CoreLimits::kMaxSurfaceSide};
    if (!(W.Style & (WS_THICKFRAME | WS_CAPTION))) Info.ptMinTrackSize = POINT{0, 0};
}

LOGFONT CaptionLogFont(bool /*Small*/) {
    // The classic look writes both captions in the same face and size.
    LOGFONT Log;
    Log.lfHeight = -11;
    Log.lfWeight = FW_BOLD;
    std::strncpy(Log.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
    return Log;
}

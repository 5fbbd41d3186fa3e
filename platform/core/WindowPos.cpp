// Position, size, z-order, showing, placement and enabling of windows.
#include <algorithm>

#include "platform/core/HostImpl.h"
#include "platform/core/Input.h"
#include "platform/core/InputImpl.h"
#include "platform/core/Overlaps.h"
#include "platform/core/Paint.h"
#include "platform/core/Screens.h"
#include "platform/core/WindowImpl.h"

namespace {

RECT PrimaryWorkArea() {
    for (const TScreenInfo& S : GetScreens())
        if (S.Primary) return S.Work;
    return GetScreens().front().Work;
}

RECT ClientInParent(const TWnd& W) {
    RECT R = W.Client;
    OffsetRect(&R, W.Window.left, W.Window.top);
    return R;
}

WPARAM SizeKind(const TWnd& W) {
    if (W.Style & WS_MINIMIZE) return SIZE_MINIMIZED;
    if (W.Style & WS_MAXIMIZE) return SIZE_MAXIMIZED;
    return SIZE_RESTORED;
}

// Cascade for top-level windows placed by CW_USEDEFAULT.
int NextCascadeStep() {
    static int Step = 0;
    return Step++ % 8;
}

void InvalidateAll(HWND Wnd) {
    RedrawWindow(Wnd, nullptr, 0, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void InvalidateInParent(const TWnd& W, const RECT& Area) {
    if (W.Parent == 0 || IsRectEmpty(&Area)) return;
    RedrawWindow(W.Parent, &Area, 0, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

using TMove = TWindowState::TMove;

// The part of Area (parent's client coordinates) over a sibling that stayed where it was.
void InvalidateSiblingUnder(const TWnd& S, const RECT& Area) {
    RECT Part;
    if (!IntersectRect(&Part, &Area, &S.Window)) return;
    OffsetRect(&Part, -S.Window.left, -S.Window.top);
    RECT Client = S.Client;
    RECT Inside;
    const bool Frame = !IntersectRect(&Inside, &Part, &Client) || !EqualRect(&Inside, &Part);
    OffsetRect(&Part, -Client.left, -Client.top);
    RedrawWindow(S.Handle, &Part, 0,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | (Frame ? RDW_FRAME : 0));
}

// Children of one parent that moved, were sized, shown or hidden: the parent is painted again
// where each was and where each is (two rectangles, not the box around both); a child in its
// new place is painted whole with its own children; a sibling that stayed is painted again only
// where a moved one's old or new rectangle covers it. Nothing else is touched: no region is
// copied for a child that is not concerned.
void InvalidateMoves(HWND Parent, const TMove* First, const TMove* Last) {
    TWndPtr P = FindWnd(Parent);
    if (!P || P->MessageOnly) return;
    constexpr UINT kParent = RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN;
    bool Any = false;
    for (const TMove* M = First; M != Last; ++M) {
        if (!IsRectEmpty(&M->Left)) RedrawWindow(Parent, &M->Left, 0, kParent);
        if (!IsRectEmpty(&M->Taken)) RedrawWindow(Parent, &M->Taken, 0, kParent);
        Any = Any || !IsRectEmpty(&M->Left) || !IsRectEmpty(&M->Taken);
    }
    if (!Any) return;
    P->FrameNeeded = true;
    for (const TMove* M = First; M != Last; ++M)
        if (!IsRectEmpty(&M->Taken))
            if (TWndPtr C = FindWnd(M->Child); C && C->Parent == Parent && C->Visible())
                InvalidateAll(M->Child);
    // Siblings that did not move, against the moves' rectangles: only the pairs that overlap are
    // visited (the strips of an aligned layout cross each other's boxes, so a plain test of each
    // pair grows with the square of the children).
    std::vector<HWND> Moved;
    Moved.reserve(size_t(Last - First));
    std::vector<RECT> Areas;
    Areas.reserve(2 * size_t(Last - First));
    for (const TMove* M = First; M != Last; ++M) {
        Moved.push_back(M->Child);
        Areas.push_back(M->Left);
        Areas.push_back(M->Taken);
    }
    std::sort(Moved.begin(), Moved.end());
    std::vector<TWndPtr> Stayed;
    std::vector<RECT> Places;
    for (HWND H : P->Children) {
        if (std::binary_search(Moved.begin(), Moved.end(), H)) continue;
        TWndPtr S = FindWnd(H);
        if (!S || !S->Visible()) continue;
        Places.push_back(S->Window);
        Stayed.push_back(std::move(S));
    }
    ForEachOverlap(Places, Areas,
                   [&](size_t S, size_t A) { InvalidateSiblingUnder(*Stayed[S], Areas[A]); });
}

// Invalid areas of the batch's moves, parent by parent, in the order they moved.
void FlushMoves() {
    std::vector<TMove> Moves;
    Moves.swap(WindowState().Moves);
    std::stable_sort(Moves.begin(), Moves.end(),
                     [](const TMove& A, const TMove& B) { return A.Parent < B.Parent; });
    for (size_t I = 0; I < Moves.size();) {
        size_t End = I;
        while (End < Moves.size() && Moves[End].Parent == Moves[I].Parent) ++End;
        InvalidateMoves(Moves[I].Parent, Moves.data() + I, Moves.data() + End);
        I = End;
    }
}

void NoteMove(const TWnd& W, const RECT& Left, const RECT& Taken) {
    const TMove Move{W.Parent, W.Handle, Left, Taken};
    if (WindowState().DeferDepth > 0)
        WindowState().Moves.push_back(Move);
    else
        InvalidateMoves(Move.Parent, &Move, &Move + 1);
}

}  // namespace

void WindowImpl::DefaultPlacement(TWnd& W, int X, int Y, int Width, int Height) {
    const bool TopLevel = W.Parent == 0 && !W.MessageOnly;
    if (X == CW_USEDEFAULT) {
        X = Y = 0;
        if (TopLevel) {
            const RECT Work = PrimaryWorkArea();
            const int Step = NextCascadeStep() * 26;
            X = Work.left + Step;
            Y = Work.top + Step;
        }
    }
    if (Width == CW_USEDEFAULT) {
        Width = Height = 0;
        if (TopLevel) {
            const RECT Work = PrimaryWorkArea();
            Width = (Work.right - Work.left) * 2 / 3;
            Height = (Work.bottom - Work.top) * 2 / 3;
        }
    }
    Width = std::clamp(Width, 0, CoreLimits::kMaxSurfaceSide);
    Height = std::clamp(Height, 0, CoreLimits::kMaxSurfaceSide);
    W.Window = RECT{X, Y, X + Width, Y + Height};
    W.Client = RECT{0, 0, Width, Height};
    W.NormalRect = W.Window;
}

void WindowImpl::CalcClient(TWnd& W) {
    RECT R = W.Window;
    SendMessage(W.Handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&R));
    // The client area lies inside the window, whatever the procedure answered.
    RECT Inside;
    if (!IntersectRect(&Inside, &R, &W.Window)) Inside = RECT{R.left, R.top, R.left, R.top};
    OffsetRect(&Inside, -W.Window.left, -W.Window.top);
    W.Client = Inside;
}

void WindowImpl::SendSizeAndMove(TWnd& W) {
    const HWND Handle = W.Handle;
    const RECT C = ClientInParent(W);
    SendMessage(
        Handle, WM_SIZE, SizeKind(W),
        MAKELPARAM(static_cast<WORD>(C.right - C.left), static_cast<WORD>(C.bottom - C.top)));
    if (!FindWnd(Handle)) return;
    SendMessage(Handle, WM_MOVE, 0,
                MAKELPARAM(static_cast<WORD>(C.left), static_cast<WORD>(C.top)));
}

void WindowImpl::InvalidateWhereItIs(TWnd& W) {
    if (W.Parent != 0 && W.Visible()) InvalidateInParent(W, W.Window);
}

// ---- SetWindowPos -------------------------------------------------------------------------------

BOOL SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Width, int Height, UINT Flags) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || W->MessageOnly) return FALSE;
    if (W->Visible()) Flags &= ~SWP_SHOWWINDOW;
    if (!W->Visible()) Flags &= ~SWP_HIDEWINDOW;
    if (InsertAfter == Wnd) Flags |= SWP_NOZORDER;
    WINDOWPOS Pos{Wnd, InsertAfter, X, Y, Width, Height, Flags};
    if (Flags & SWP_NOMOVE) {
        Pos.x = W->Window.left;
        Pos.y = W->Window.top;
    }
    if (Flags & SWP_NOSIZE) {
        Pos.cx = W->Width();
        Pos.cy = W->Height();
    }
    if (!(Flags & SWP_NOSENDCHANGING)) {
        SendMessage(Wnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&Pos));
        if (!FindWnd(Wnd)) return FALSE;
    }
    Flags = Pos.flags;
    const int Cx = std::clamp(Pos.cx, 0, CoreLimits::kMaxSurfaceSide);
    const int Cy = std::clamp(Pos.cy, 0, CoreLimits::kMaxSurfaceSide);
    const RECT OldWindow = W->Window;
    const RECT OldClient = ClientInParent(*W);
    const RECT OldScreenClient = WindowImpl::ClientScreenRect(*W);
    const bool WasVisible = W->Visible();
    const RECT NewWindow{Pos.x, Pos.y, Pos.x + Cx, Pos.y + Cy};
    const bool Moved = NewWindow.left != OldWindow.left || NewWindow.top != OldWindow.top;
    const bool Sized = (NewWindow.right - NewWindow.left) != W->Width() ||
                       (NewWindow.bottom - NewWindow.top) != W->Height();

    W->Window = NewWindow;
    if (Sized || (Flags & SWP_FRAMECHANGED)) {
        NCCALCSIZE_PARAMS Params;
        Params.rgrc[0] = NewWindow;
        Params.rgrc[1] = OldWindow;
        Params.rgrc[2] = OldClient;
        Params.lppos = &Pos;
        SendMessage(Wnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&Params));
        if (!FindWnd(Wnd)) return FALSE;
        RECT Inside;
        if (!IntersectRect(&Inside, &Params.rgrc[0], &NewWindow))
            Inside = RECT{NewWindow.left, NewWindow.top, NewWindow.left, NewWindow.top};
        OffsetRect(&Inside, -NewWindow.left, -NewWindow.top);
        W->Client = Inside;
    }
    bool ZOrderChanged = false;
    if (!(Flags & SWP_NOZORDER)) {
        WindowImpl::Link(*W, Pos.hwndInsertAfter);
        ZOrderChanged = true;
    }
    if (Flags & SWP_SHOWWINDOW) W->Style |= WS_VISIBLE;
    if (Flags & SWP_HIDEWINDOW) W->Style &= ~WS_VISIBLE;
    const bool IsVisible = W->Visible();

    const RECT NewScreenClient = WindowImpl::ClientScreenRect(*W);
    if (EqualRect(&OldScreenClient, &NewScreenClient) ||
        (OldScreenClient.left == NewScreenClient.left &&
         OldScreenClient.top == NewScreenClient.top))
        Pos.flags |= SWP_NOCLIENTMOVE;
    if ((OldScreenClient.right - OldScreenClient.left) ==
            (NewScreenClient.right - NewScreenClient.left) &&
        (OldScreenClient.bottom - OldScreenClient.top) ==
            (NewScreenClient.bottom - NewScreenClient.top))
        Pos.flags |= SWP_NOCLIENTSIZE;
    Pos.x = NewWindow.left;
    Pos.y = NewWindow.top;
    Pos.cx = Cx;
    Pos.cy = Cy;

    const bool Changed =
        Moved || Sized || ZOrderChanged || WasVisible != IsVisible || (Flags & SWP_FRAMECHANGED);
    if (!(Flags & SWP_NOREDRAW) && Changed) {
        if (W->Parent != 0) {
            if (WasVisible || IsVisible)
                NoteMove(*W, WasVisible ? OldWindow : RECT{}, IsVisible ? NewWindow : RECT{});
        } else if (IsVisible && (Sized || !WasVisible || (Flags & SWP_FRAMECHANGED))) {
            InvalidateAll(Wnd);
        }
    }
    if (W->Parent == 0) HostImpl::Sync(*W);
    // Wrapped controls in the window follow it.
    if (Changed) InputImpl::PlaceWidgets(*W);
    if (WasVisible && !IsVisible && WindowState().Active == Wnd) WindowImpl::ActivateOther(Wnd);
    if (WasVisible && !IsVisible && W->Parent != 0) WindowImpl::FocusLeaves(Wnd);
    if (W->Parent == 0 && IsVisible && !(Flags & SWP_NOACTIVATE) && WindowImpl::Activatable(*W))
        SetActiveWindow(Wnd);
    if (!FindWnd(Wnd)) return TRUE;
    SendMessage(Wnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&Pos));
    return TRUE;
}

HDWP BeginDeferWindowPos(int) {
    return HDWP(++WindowState().DeferDepth);
}

BOOL EndDeferWindowPos(HDWP Batch) {
    TWindowState& State = WindowState();
    if (Batch == 0 || Batch != HDWP(State.DeferDepth)) return FALSE;
    if (--State.DeferDepth == 0) FlushMoves();
    return TRUE;
}

BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL Repaint) {
    return SetWindowPos(Wnd, 0, X, Y, Width, Height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (Repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND Wnd) {
    return SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void WindowImpl::PlacedFromOutside(HWND Wnd, RECT R) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || W->Parent != 0 || (W->Style & WS_MINIMIZE) || EqualRect(&R, &W->Window)) return;
    LONG Width = R.right - R.left;
    LONG Height = R.bottom - R.top;
    if (!(W->Style & WS_THICKFRAME)) {
        Width = W->Width();
        Height = W->Height();
    } else if (!(W->Style & WS_MAXIMIZE)) {
        MINMAXINFO Info;
        NonClientImpl::DefaultMinMax(*W, Info);
        SendMessage(Wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
        if (!FindWnd(Wnd)) return;
        Width = std::clamp(Width, Info.ptMinTrackSize.x,
                           std::max(Info.ptMinTrackSize.x, Info.ptMaxTrackSize.x));
        Height = std::clamp(Height, Info.ptMinTrackSize.y,
                            std::max(Info.ptMinTrackSize.y, Info.ptMaxTrackSize.y));
    }
    SetWindowPos(Wnd, 0, R.left, R.top, Width, Height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- ShowWindow ---------------------------------------------------------------------------------

namespace {

void Minimize(HWND Wnd, bool Activate) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || (W->Style & WS_MINIMIZE)) return;
    if (W->Style & WS_MAXIMIZE) {
        W->RestoreToMaximized = true;
        W->Style &= ~WS_MAXIMIZE;
    } else {
        W->RestoreToMaximized = false;
        W->NormalRect = W->Window;
    }
    W->Style |= WS_MINIMIZE;
    HostImpl::Sync(*W);
    SendMessage(Wnd, WM_SIZE, SIZE_MINIMIZED, 0);
    if (!FindWnd(Wnd)) return;
    if (Activate && WindowImpl::Activatable(*W))
        SetActiveWindow(Wnd);
    else if (WindowState().Active == Wnd)
        WindowImpl::ActivateOther(Wnd);
}

void Maximize(HWND Wnd, UINT PosFlags) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return;
    if (!(W->Style & (WS_MAXIMIZE | WS_MINIMIZE))) W->NormalRect = W->Window;
    MINMAXINFO Info;
    NonClientImpl::DefaultMinMax(*W, Info);
    SendMessage(Wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
    if (!FindWnd(Wnd)) return;
    W->Style = (W->Style & ~WS_MINIMIZE) | WS_MAXIMIZE;
    W->MaxPosition = Info.ptMaxPosition;
    SetWindowPos(Wnd, 0, Info.ptMaxPosition.x, Info.ptMaxPosition.y, Info.ptMaxSize.x,
                 Info.ptMaxSize.y, PosFlags | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void Restore(HWND Wnd, UINT PosFlags) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return;
    if ((W->Style & WS_MINIMIZE) && W->RestoreToMaximized) {
        Maximize(Wnd, PosFlags);
        return;
    }
    if (!(W->Style & (WS_MINIMIZE | WS_MAXIMIZE))) {
        SetWindowPos(Wnd, 0, 0, 0, 0, 0, PosFlags | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        return;
    }
    W->Style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
    const RECT N = W->NormalRect;
    SetWindowPos(Wnd, 0, N.left, N.top, N.right - N.left, N.bottom - N.top,
                 PosFlags | SWP_NOZORDER | SWP_FRAMECHANGED);
    // The size may not have changed (minimized and back): the size message still tells the state.
    if (TWndPtr Now = FindWnd(Wnd)) {
        const RECT C = Now->Client;
        SendMessage(
            Wnd, WM_SIZE, SIZE_RESTORED,
            MAKELPARAM(static_cast<WORD>(C.right - C.left), static_cast<WORD>(C.bottom - C.top)));
    }
}

}  // namespace

BOOL ShowWindow(HWND Wnd, int Cmd) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || W->MessageOnly) return FALSE;
    const bool WasVisible = W->Visible();
    const bool Hide = Cmd == SW_HIDE;
    if (WasVisible != !Hide) {
        SendMessage(Wnd, WM_SHOWWINDOW, Hide ? FALSE : TRUE, 0);
        if (!FindWnd(Wnd)) return WasVisible;
    }
    const UINT Show = SWP_SHOWWINDOW;
    switch (Cmd) {
        case SW_HIDE:
            SetWindowPos(Wnd, 0, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        case SW_SHOWNORMAL:
        case SW_RESTORE:
        case SW_SHOWDEFAULT:
            Restore(Wnd, Show);
            break;
        case SW_SHOWNOACTIVATE:
            Restore(Wnd, Show | SWP_NOACTIVATE);
            break;
        case SW_SHOW:
            SetWindowPos(Wnd, 0, 0, 0, 0, 0, Show | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
            break;
        case SW_SHOWNA:
            SetWindowPos(Wnd, 0, 0, 0, 0, 0,
                         Show | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        case SW_SHOWMAXIMIZED:
            Maximize(Wnd, Show);
            break;
        case SW_MINIMIZE:
            SetWindowPos(Wnd, 0, 0, 0, 0, 0,
                         Show | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            Minimize(Wnd, false);
            break;
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
            SetWindowPos(Wnd, 0, 0, 0, 0, 0,
                         Show | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            Minimize(Wnd, Cmd == SW_SHOWMINIMIZED);
            break;
        default:
            return WasVisible;
    }
    return WasVisible;
}

BOOL IsWindowVisible(HWND Wnd) {
    TWndPtr W = FindWnd(Wnd);
    for (int Depth = 0; W && Depth < CoreLimits::kMaxWindowDepth; ++Depth) {
        if (!W->Visible()) return FALSE;
        if (W->Parent == 0) return W->MessageOnly ? FALSE : TRUE;
        W = FindWnd(W->Parent);
    }
    return FALSE;
}

BOOL IsIconic(HWND Wnd) {
    TWndPtr W = FindWnd(Wnd);
    return W && (W->Style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND Wnd) {
    TWndPtr W = FindWnd(Wnd);
    return W && (W->Style & WS_MAXIMIZE) ? TRUE : FALSE;
}

// ---- placement ----------------------------------------------------------------------------------
// The normal rectangle of a top-level window is given in work-area coordinates, as stored
// placements expect; a child's in its parent's client coordinates.

BOOL GetWindowPlacement(HWND Wnd, WINDOWPLACEMENT* Placement) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || !Placement) return FALSE;
    WINDOWPLACEMENT P;
    P.showCmd = (W->Style & WS_MINIMIZE)   ? SW_SHOWMINIMIZED
                : (W->Style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                                           : SW_SHOWNORMAL;
    if ((W->Style & WS_MINIMIZE) && W->RestoreToMaximized) P.flags |= WPF_RESTORETOMAXIMIZED;
    P.ptMinPosition = W->MinPosition;
    P.ptMaxPosition = W->MaxPosition;
    P.rcNormalPosition = (W->Style & (WS_MINIMIZE | WS_MAXIMIZE)) ? W->NormalRect : W->Window;
    if (W->Parent == 0) {
        const RECT Work = PrimaryWorkArea();
        OffsetRect(&P.rcNormalPosition, -Work.left, -Work.top);
    }
    *Placement = P;
    return TRUE;
}

BOOL SetWindowPlacement(HWND Wnd, const WINDOWPLACEMENT* Placement) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || !Placement) return FALSE;
    RECT Normal = Placement->rcNormalPosition;
    if (W->Parent == 0) {
        const RECT Work = PrimaryWorkArea();
        OffsetRect(&Normal, Work.left, Work.top);
    }
    if (Normal.right < Normal.left) Normal.right = Normal.left;
    if (Normal.bottom < Normal.top) Normal.bottom = Normal.top;
    W->NormalRect = Normal;
    if (Placement->flags & WPF_SETMINPOSITION) W->MinPosition = Placement->ptMinPosition;
    W->RestoreToMaximized = (Placement->flags & WPF_RESTORETOMAXIMIZED) != 0;
    if (!(W->Style & (WS_MINIMIZE | WS_MAXIMIZE)))
        SetWindowPos(Wnd, 0, Normal.left, Normal.top, Normal.right - Normal.left,
                     Normal.bottom - Normal.top, SWP_NOZORDER | SWP_NOACTIVATE);
    const int Cmd = static_cast<int>(Placement->showCmd);
    // A hidden window keeps hidden for the plain "normal" command: only the state is set.
    if (!W->Visible() && (Cmd == SW_SHOWNORMAL || Cmd == SW_RESTORE)) return TRUE;
    ShowWindow(Wnd, Cmd);
    return TRUE;
}

// ---- enabling -----------------------------------------------------------------------------------

BOOL EnableWindow(HWND Wnd, BOOL Enable) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return FALSE;
    const bool WasDisabled = !W->Enabled();
    if (Enable && WasDisabled) {
        W->Style &= ~WS_DISABLED;
        SendMessage(Wnd, WM_ENABLE, TRUE, 0);
    } else if (!Enable && !WasDisabled) {
        const HWND Capture = GetCapture();
        if (Capture != 0 && (Capture == Wnd || IsChild(Wnd, Capture))) {
            SendMessage(Wnd, WM_CANCELMODE, 0, 0);
            // A disabled window takes no input: a capture inside it goes whoever holds it.
            const HWND Still = GetCapture();
            if (Still != 0 && (Still == Wnd || IsChild(Wnd, Still))) ReleaseCapture();
        }
        if (!FindWnd(Wnd)) return FALSE;
        W->Style |= WS_DISABLED;
        if (W->Parent != 0) {
            WindowImpl::FocusLeaves(Wnd);
        } else {
            const HWND Focus = GetFocus();
            if (Focus != 0 && (Focus == Wnd || IsChild(Wnd, Focus))) SetFocus(0);
        }
        SendMessage(Wnd, WM_ENABLE, FALSE, 0);
    }
    return WasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND Wnd) {
    TWndPtr W = FindWnd(Wnd);
    return W && W->Enabled() ? TRUE : FALSE;
}

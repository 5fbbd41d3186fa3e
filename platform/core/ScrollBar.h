#pragma once
// The standard scroll bars of a window: a vertical bar (WS_VSCROLL) along the right of the client
// area and a horizontal one (WS_HSCROLL) along its bottom, in the non-client area inside the
// frame and client edge. DefWindowProc gives them their room (WM_NCCALCSIZE; SM_CXVSCROLL wide,
// SM_CYHSCROLL high, with a corner square when both show), hit-tests them (HTVSCROLL,
// HTHSCROLL), paints them in the classic look (WM_NCPAINT) and tracks a press on them in a loop
// of its own that sends the window WM_VSCROLL / WM_HSCROLL:
//   arrows: SB_LINEUP / SB_LINEDOWN (SB_LINELEFT / SB_LINERIGHT) at once and again on a timer
//     while the button is held over the arrow;
//   the track beside the thumb: SB_PAGEUP / SB_PAGEDOWN the same way, until the thumb reaches
//     the cursor;
//   the thumb: SB_THUMBTRACK with every new position while it is dragged, SB_THUMBPOSITION where
//     it is released;
//   then SB_ENDSCROLL. A window that holds the capture when the press comes (a list that is
//   dropped down) keeps it afterwards; it may pass a captured press on the bar, which comes to
//   it as WM_LBUTTONDOWN, to DefWindowProc as WM_NCLBUTTONDOWN with the bar's hit-test code. The
//   high word of WParam carries the position (16 bits; the whole value is GetScrollInfo's nTrackPos
//   while the thumb is dragged). The bar does not move by itself: the window sets the new position
//   (SetScrollPos / SetScrollInfo).
//
// Each bar has a range [nMin, nMax], a page (nPage, 0 for none) and a position, which is kept in
// [nMin, nMax - nPage + 1]. A bar is shown while it can scroll (nMax - nMin + 1 > nPage) and is
// hidden otherwise, which changes the client area (WM_NCCALCSIZE, WM_SIZE); with
// SIF_DISABLENOSCROLL it stays and is disabled instead. ShowScrollBar shows or hides a bar
// whatever its range; the style bits WS_VSCROLL and WS_HSCROLL say which bars are shown. A window
// made with a bar starts with the range 0 to 100.
//
// The flat scroll bar functions of the common controls (FlatSB_...) work on the same bars: they
// look and behave as the standard ones.
#include "platform/core/Window.h"

// Which bar.
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;
constexpr int SB_BOTH = 3;

// WM_HSCROLL / WM_VSCROLL requests (low word of WParam).
constexpr WORD SB_LINEUP = 0;
constexpr WORD SB_LINELEFT = 0;
constexpr WORD SB_LINEDOWN = 1;
constexpr WORD SB_LINERIGHT = 1;
constexpr WORD SB_PAGEUP = 2;
constexpr WORD SB_PAGELEFT = 2;
constexpr WORD SB_PAGEDOWN = 3;
constexpr WORD SB_PAGERIGHT = 3;
constexpr WORD SB_THUMBPOSITION = 4;
constexpr WORD SB_THUMBTRACK = 5;
constexpr WORD SB_TOP = 6;
constexpr WORD SB_LEFT = 6;
constexpr WORD SB_BOTTOM = 7;
constexpr WORD SB_RIGHT = 7;
constexpr WORD SB_ENDSCROLL = 8;

// SCROLLINFO's fMask.
constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

// EnableScrollBar: which arrows are disabled.
constexpr UINT ESB_ENABLE_BOTH = 0x0000;
constexpr UINT ESB_DISABLE_LTUP = 0x0001;
constexpr UINT ESB_DISABLE_LEFT = 0x0001;
constexpr UINT ESB_DISABLE_UP = 0x0001;
constexpr UINT ESB_DISABLE_RTDN = 0x0002;
constexpr UINT ESB_DISABLE_RIGHT = 0x0002;
constexpr UINT ESB_DISABLE_DOWN = 0x0002;
constexpr UINT ESB_DISABLE_BOTH = 0x0003;

// WM_SYSCOMMAND for a press on a bar (the low four bits carry the hit-test code).
constexpr WPARAM SC_VSCROLL = 0xF070;
constexpr WPARAM SC_HSCROLL = 0xF080;

struct SCROLLINFO {
    UINT cbSize = sizeof(SCROLLINFO);
    UINT fMask = 0;
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

// Sets what fMask names and returns the new position (0 for a window or bar that is not there).
// The bar is shown, hidden or disabled as its new range and page call for (see above); Redraw
// repaints it at once if it looks different now.
int SetScrollInfo(HWND Wnd, int Bar, const SCROLLINFO* Info, BOOL Redraw);
// Fills in what fMask names; nTrackPos is the dragged position while the thumb is tracked, else
// the position. FALSE for a window or bar that is not there.
BOOL GetScrollInfo(HWND Wnd, int Bar, SCROLLINFO* Info);
// Returns the previous position.
int SetScrollPos(HWND Wnd, int Bar, int Pos, BOOL Redraw);
int GetScrollPos(HWND Wnd, int Bar);
BOOL SetScrollRange(HWND Wnd, int Bar, int Min, int Max, BOOL Redraw);
BOOL GetScrollRange(HWND Wnd, int Bar, int* Min, int* Max);
// Bar: SB_HORZ, SB_VERT or SB_BOTH.
BOOL ShowScrollBar(HWND Wnd, int Bar, BOOL Show);
// Disables the arrows ESB_... names (both: the whole bar, no thumb); FALSE when nothing changed.
BOOL EnableScrollBar(HWND Wnd, UINT Bar, UINT Arrows);

// The flat scroll bars.
constexpr int WSB_PROP_CYVSCROLL = 0x0001;
constexpr int WSB_PROP_CXHSCROLL = 0x0002;
constexpr int WSB_PROP_CYHSCROLL = 0x0004;
constexpr int WSB_PROP_CXVSCROLL = 0x0008;
constexpr int WSB_PROP_CXHTHUMB = 0x0010;
constexpr int WSB_PROP_CYVTHUMB = 0x0020;
constexpr int WSB_PROP_VBKGCOLOR = 0x0040;
constexpr int WSB_PROP_HBKGCOLOR = 0x0080;
constexpr int WSB_PROP_VSTYLE = 0x0100;
constexpr int WSB_PROP_HSTYLE = 0x0200;
constexpr int WSB_PROP_WINSTYLE = 0x0400;
constexpr int WSB_PROP_PALETTE = 0x0800;
constexpr int FSB_REGULAR_MODE = 0;
constexpr int FSB_ENCARTA_MODE = 1;
constexpr int FSB_FLAT_MODE = 2;

BOOL InitializeFlatSB(HWND Wnd);
BOOL FlatSB_GetScrollInfo(HWND Wnd, int Bar, SCROLLINFO* Info);
int FlatSB_SetScrollInfo(HWND Wnd, int Bar, const SCROLLINFO* Info, BOOL Redraw);
int FlatSB_GetScrollPos(HWND Wnd, int Bar);
int FlatSB_SetScrollPos(HWND Wnd, int Bar, int Pos, BOOL Redraw);
// Looks (sizes, colours, flat or encarta style) are accepted and change nothing: the bars keep
// the classic look. TRUE for a window that exists.
BOOL FlatSB_SetScrollProp(HWND Wnd, UINT Index, LONG_PTR NewValue, BOOL Redraw);

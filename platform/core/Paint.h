#pragma once
// Painting: update regions, WM_PAINT / WM_ERASEBKGND / WM_NCPAINT, device contexts on the
// windows' surfaces, scrolling, window regions and the caret.
//
// Every top-level window has a retained 32-bit surface of its whole area (non-client area
// included) that its host shows; painting may touch it at any time, not only in WM_PAINT. Child
// windows are rectangles of their top-level window's surface: their device contexts have their
// origin and a clip of what they may touch (their client area within their ancestors, less the
// children for WS_CLIPCHILDREN and the siblings above them for WS_CLIPSIBLINGS, within window
// regions). Wrapped Qt controls lie over the surface as Qt widgets.
//
// A window's update region collects what InvalidateRect & co. mark; WM_PAINT is made up for it
// when nothing else waits in the queue (parents before children). BeginPaint sends WM_ERASEBKGND
// when the invalidation asked for erasing, hides the caret, validates the update region and
// gives a context clipped to it; EndPaint shows the caret again and lets the host show the new
// pixels. A WM_PAINT whose procedure neither begins painting nor validates is validated after it
// returns, so that a window cannot keep the loop busy with paint messages.
//
// Invalidating a window without WS_CLIPCHILDREN invalidates the children it covers as well; with
// WS_SETREDRAW off (WM_SETREDRAW FALSE) a window and its children collect invalidations but get
// no WM_PAINT until it is switched on again.
#include <string>

#include "platform/core/Window.h"
#include "platform/gdi/GdiTypes.h"

struct PAINTSTRUCT {
    HDC hdc = 0;
    BOOL fErase = FALSE;
    RECT rcPaint{};
    BOOL fRestore = FALSE;
    BOOL fIncUpdate = FALSE;
    BYTE rgbReserved[32]{};
};

// RedrawWindow.
constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_INTERNALPAINT = 0x0002;
constexpr UINT RDW_ERASE = 0x0004;
constexpr UINT RDW_VALIDATE = 0x0008;
constexpr UINT RDW_NOINTERNALPAINT = 0x0010;
constexpr UINT RDW_NOERASE = 0x0020;
constexpr UINT RDW_NOCHILDREN = 0x0040;
constexpr UINT RDW_ALLCHILDREN = 0x0080;
constexpr UINT RDW_UPDATENOW = 0x0100;
constexpr UINT RDW_ERASENOW = 0x0200;
constexpr UINT RDW_FRAME = 0x0400;
constexpr UINT RDW_NOFRAME = 0x0800;

// ScrollWindowEx.
constexpr UINT SW_SCROLLCHILDREN = 0x0001;
constexpr UINT SW_INVALIDATE = 0x0002;
constexpr UINT SW_ERASE = 0x0004;

// Rect (client coordinates; null: the whole client area) joins the update region.
BOOL InvalidateRect(HWND Wnd, const RECT* Rect, BOOL Erase);
BOOL InvalidateRgn(HWND Wnd, HRGN Region, BOOL Erase);
BOOL ValidateRect(HWND Wnd, const RECT* Rect);
BOOL ValidateRgn(HWND Wnd, HRGN Region);
// The update region's bounding box (client coordinates); FALSE when it is empty. With Erase, a
// pending erase is done now.
BOOL GetUpdateRect(HWND Wnd, RECT* Rect, BOOL Erase);
// Copies the update region into Region; the region's kind (NULLREGION...), or ERROR.
int GetUpdateRgn(HWND Wnd, HRGN Region, BOOL Erase);
// Sends WM_PAINT now when the update region is not empty.
BOOL UpdateWindow(HWND Wnd);
// Rect (client coordinates) or Region; both null: the whole window. See the RDW_ flags.
BOOL RedrawWindow(HWND Wnd, const RECT* Rect, HRGN Region, UINT Flags);

HDC BeginPaint(HWND Wnd, PAINTSTRUCT* Paint);
BOOL EndPaint(HWND Wnd, const PAINTSTRUCT* Paint);
// A context on the window's client area (GetDC) or whole window (GetWindowDC), clipped to what
// is visible of it; 0 for a window without a surface (message-only windows). GetDC(0) gives a
// context on the screen: the desktop surface (see GetScreenSurface).
HDC GetDC(HWND Wnd);
HDC GetWindowDC(HWND Wnd);
int ReleaseDC(HWND Wnd, HDC DC);
// The size of a text in a font, measured on the screen's context.
SIZE TextExtentOf(HFONT Font, const std::string& Text);

// Moves the client area's pixels by (Dx, Dy) within Scroll (whole client area when null),
// clipped to Clip; what is uncovered joins the update region (SW_INVALIDATE, SW_ERASE) and is
// reported in UpdateRegion / UpdateRect; pending invalid areas move along. SW_SCROLLCHILDREN
// moves the children too. The caret is hidden while the pixels move.
int ScrollWindowEx(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip,
                   HRGN UpdateRegion, RECT* UpdateRect, UINT Flags);
// ScrollWindowEx with invalidation; children move along when Scroll is null.
BOOL ScrollWindow(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip);

// The window region (window coordinates): the window is only this shape, for painting, hit
// testing and its host's mask. The layer takes the region handle over (and deletes it); 0
// removes the region.
int SetWindowRgn(HWND Wnd, HRGN Region, BOOL Redraw);
// Copies the window region into Region; ERROR when the window has none.
int GetWindowRgn(HWND Wnd, HRGN Region);

// The caret: one per program, owned by a window. Bitmap 0 gives a solid black caret, 1 a grey
// one (drawn inverted, so it shows on any background); it blinks every GetCaretBlinkTime ms.
BOOL CreateCaret(HWND Wnd, HBITMAP Bitmap, int Width, int Height);
BOOL DestroyCaret();
// Hide and show nest: after n HideCaret calls it takes n ShowCaret calls to show it again.
BOOL HideCaret(HWND Wnd);
BOOL ShowCaret(HWND Wnd);
BOOL SetCaretPos(int X, int Y);
BOOL GetCaretPos(POINT* Point);
// The window that shows a caret now and the caret's top left in its client area: the caret of
// CreateCaret, else the text cursor of the focus window's text widget (an edit). FALSE when no
// window shows one.
BOOL GetCaretWindowPos(HWND* Wnd, POINT* Point);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT Milliseconds);

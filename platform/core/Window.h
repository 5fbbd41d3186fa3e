#pragma once
// Windows: classes, creation and destruction, the parent/child tree and owned windows, styles,
// rectangles and coordinate mapping, showing and z-order, window text and the window longs.
//
// Every window is an entry of the one window table (see Messages.h for handles and the queue).
// A child window (WS_CHILD) is a rectangle of its parent's client area; a top-level window has
// no parent (an owner perhaps) and is shown through a Qt host of its own (see Host.h). A child's
// window rectangle is kept in its parent's client coordinates, a top-level window's in screen
// coordinates; GetWindowRect answers in screen coordinates for both. The client rectangle is
// what WM_NCCALCSIZE leaves of the window rectangle; the rest is the non-client area (frame,
// caption, borders), which DefWindowProc draws and hit-tests.
//
// Children are kept in z-order, the topmost first; top-level windows likewise, those with
// WS_EX_TOPMOST above all others, and windows above their owner.
//
// Window text is bytes (Windows-1252), as every text API of the layer.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/classes/WinTypes.h"
#include "platform/core/Messages.h"
#include "platform/gdi/GdiTypes.h"

using ATOM = WORD;
using HINSTANCE = std::uintptr_t;
// A child window's id (CreateWindowEx's menu argument); menus of their own do not exist here.
using HMENU = std::uintptr_t;

// Window styles.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_CAPTION = WS_BORDER | WS_DLGFRAME;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;

constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;
constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
constexpr DWORD WS_EX_MDICHILD = 0x00000040;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_CONTEXTHELP = 0x00000400;
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;

// Class styles. CS_OWNDC, CS_CLASSDC, CS_PARENTDC and CS_SAVEBITS are accepted and change nothing:
// every window paints into its host's retained surface.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr UINT CS_OWNDC = 0x0020;
constexpr UINT CS_CLASSDC = 0x0040;
constexpr UINT CS_PARENTDC = 0x0080;
constexpr UINT CS_NOCLOSE = 0x0200;
constexpr UINT CS_SAVEBITS = 0x0800;
constexpr UINT CS_GLOBALCLASS = 0x4000;

// Window longs.
constexpr int GWLP_WNDPROC = -4;
constexpr int GWLP_HINSTANCE = -6;
constexpr int GWLP_HWNDPARENT = -8;
constexpr int GWLP_ID = -12;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWLP_USERDATA = -21;
// Class longs.
constexpr int GCLP_HBRBACKGROUND = -10;
constexpr int GCLP_HCURSOR = -12;
constexpr int GCLP_HICON = -14;
constexpr int GCLP_WNDPROC = -24;
constexpr int GCL_STYLE = -26;

// GetWindow.
constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;
constexpr UINT GW_ENABLEDPOPUP = 6;
// GetAncestor.
constexpr UINT GA_PARENT = 1;
constexpr UINT GA_ROOT = 2;
constexpr UINT GA_ROOTOWNER = 3;
// ChildWindowFromPointEx.
constexpr UINT CWP_ALL = 0x0000;
constexpr UINT CWP_SKIPINVISIBLE = 0x0001;
constexpr UINT CWP_SKIPDISABLED = 0x0002;
constexpr UINT CWP_SKIPTRANSPARENT = 0x0004;

// ShowWindow.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_NORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;
constexpr int SW_SHOWDEFAULT = 10;
// WM_SHOWWINDOW's LParam.
constexpr int SW_PARENTCLOSING = 1;
constexpr int SW_PARENTOPENING = 3;

// SetWindowPos.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr UINT SWP_NOCOPYBITS = 0x0100;
constexpr UINT SWP_NOOWNERZORDER = 0x0200;
constexpr UINT SWP_NOSENDCHANGING = 0x0400;
// Set by the layer in WM_WINDOWPOSCHANGED when the client area kept its size / place.
constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;
constexpr UINT SWP_DEFERERASE = 0x2000;
constexpr UINT SWP_ASYNCWINDOWPOS = 0x4000;
constexpr HWND HWND_TOP = 0;
constexpr HWND HWND_BOTTOM = 1;
constexpr HWND HWND_TOPMOST = static_cast<HWND>(-1);
constexpr HWND HWND_NOTOPMOST = static_cast<HWND>(-2);
// Parent of windows that only receive messages (never shown, never in the tree).
constexpr HWND HWND_MESSAGE = static_cast<HWND>(-3);
constexpr HWND HWND_DESKTOP = 0;

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// WM_SIZE's WParam.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;

// WM_ACTIVATE's low word.
constexpr WORD WA_INACTIVE = 0;
constexpr WORD WA_ACTIVE = 1;
constexpr WORD WA_CLICKACTIVE = 2;
// WM_MOUSEACTIVATE's answers.
constexpr LRESULT MA_ACTIVATE = 1;
constexpr LRESULT MA_ACTIVATEANDEAT = 2;
constexpr LRESULT MA_NOACTIVATE = 3;
constexpr LRESULT MA_NOACTIVATEANDEAT = 4;

// Hit-test codes (WM_NCHITTEST's answers).
constexpr LRESULT HTERROR = -2;
constexpr LRESULT HTTRANSPARENT = -1;
constexpr LRESULT HTNOWHERE = 0;
constexpr LRESULT HTCLIENT = 1;
constexpr LRESULT HTCAPTION = 2;
constexpr LRESULT HTSYSMENU = 3;
constexpr LRESULT HTGROWBOX = 4;
constexpr LRESULT HTSIZE = 4;
constexpr LRESULT HTMENU = 5;
constexpr LRESULT HTHSCROLL = 6;
constexpr LRESULT HTVSCROLL = 7;
constexpr LRESULT HTMINBUTTON = 8;
constexpr LRESULT HTMAXBUTTON = 9;
constexpr LRESULT HTLEFT = 10;
constexpr LRESULT HTRIGHT = 11;
constexpr LRESULT HTTOP = 12;
constexpr LRESULT HTTOPLEFT = 13;
constexpr LRESULT HTTOPRIGHT = 14;
constexpr LRESULT HTBOTTOM = 15;
constexpr LRESULT HTBOTTOMLEFT = 16;
constexpr LRESULT HTBOTTOMRIGHT = 17;
constexpr LRESULT HTBORDER = 18;
constexpr LRESULT HTCLOSE = 20;
constexpr LRESULT HTHELP = 21;

// WM_SIZING's WParam: the edge being dragged.
constexpr WPARAM WMSZ_LEFT = 1;
constexpr WPARAM WMSZ_RIGHT = 2;
constexpr WPARAM WMSZ_TOP = 3;
constexpr WPARAM WMSZ_TOPLEFT = 4;
constexpr WPARAM WMSZ_TOPRIGHT = 5;
constexpr WPARAM WMSZ_BOTTOM = 6;
constexpr WPARAM WMSZ_BOTTOMLEFT = 7;
constexpr WPARAM WMSZ_BOTTOMRIGHT = 8;

// WM_SYSCOMMAND's WParam (the low four bits are the system's own).
constexpr WPARAM SC_SIZE = 0xF000;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_NEXTWINDOW = 0xF040;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_MOUSEMENU = 0xF090;
constexpr WPARAM SC_KEYMENU = 0xF100;
constexpr WPARAM SC_RESTORE = 0xF120;
constexpr WPARAM SC_CONTEXTHELP = 0xF180;

// WM_GETDLGCODE's answers.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTMESSAGE = 0x0004;
constexpr LRESULT DLGC_HASSETSEL = 0x0008;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;
constexpr LRESULT DLGC_STATIC = 0x0100;
constexpr LRESULT DLGC_BUTTON = 0x2000;

// WINDOWPLACEMENT's flags.
constexpr UINT WPF_SETMINPOSITION = 0x0001;
constexpr UINT WPF_RESTORETOMAXIMIZED = 0x0002;

struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = 0;
    HICON hIcon = 0;
    HCURSOR hCursor = 0;
    // A brush, or a system colour index + 1 (COLOR_BTNFACE + 1); 0: WM_ERASEBKGND erases nothing.
    HBRUSH hbrBackground = 0;
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
};

struct CREATESTRUCT {
    void* lpCreateParams = nullptr;
    HINSTANCE hInstance = 0;
    HMENU hMenu = 0;
    HWND hwndParent = 0;
    int cy = 0;
    int cx = 0;
    int y = 0;
    int x = 0;
    LONG style = 0;
    const char* lpszName = nullptr;
    const char* lpszClass = nullptr;
    DWORD dwExStyle = 0;
};

struct WINDOWPOS {
    HWND hwnd = 0;
    HWND hwndInsertAfter = 0;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
};

// WM_NCCALCSIZE with WParam TRUE: rgrc[0] is the new window rectangle on the way in and the new
// client rectangle on the way out (parent coordinates); rgrc[1] and rgrc[2] the old window and
// client rectangles.
struct NCCALCSIZE_PARAMS {
    RECT rgrc[3]{};
    WINDOWPOS* lppos = nullptr;
};

struct MINMAXINFO {
    POINT ptReserved{};
    POINT ptMaxSize{};
    POINT ptMaxPosition{};
    POINT ptMinTrackSize{};
    POINT ptMaxTrackSize{};
};

struct WINDOWPLACEMENT {
    UINT length = sizeof(WINDOWPLACEMENT);
    UINT flags = 0;
    UINT showCmd = 0;
    POINT ptMinPosition{};
    POINT ptMaxPosition{};
    RECT rcNormalPosition{};
};

struct STYLESTRUCT {
    DWORD styleOld = 0;
    DWORD styleNew = 0;
};

// WM_NOTIFY's LParam points at one (or at a bigger record that starts with one).
struct NMHDR {
    HWND hwndFrom = 0;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};

// --- classes --------------------------------------------------------------------------------
// Class names are compared without regard to case. Registering a name twice fails (0), as does a
// class without a name or procedure. Windows that exist keep the class they were made with.
ATOM RegisterClass(const WNDCLASS* Class);
BOOL UnregisterClass(const char* ClassName, HINSTANCE Instance);
BOOL GetClassInfo(HINSTANCE Instance, const char* ClassName, WNDCLASS* Class);
int GetClassName(HWND Wnd, char* Buffer, int MaxCount);
std::string GetClassName(HWND Wnd);
ULONG_PTR GetClassLongPtr(HWND Wnd, int Index);
ULONG_PTR SetClassLongPtr(HWND Wnd, int Index, LONG_PTR NewLong);

// --- creation -------------------------------------------------------------------------------
// Creates a window of a registered class. Messages, in order: WM_NCCREATE (FALSE ends the
// creation), WM_NCCALCSIZE, WM_CREATE (-1 ends it), WM_SIZE and WM_MOVE, WM_PARENTNOTIFY to the
// parent of a child window (unless WS_EX_NOPARENTNOTIFY), then the show when WS_VISIBLE is given.
// A creation that ends early destroys the window (WM_NCDESTROY) and returns 0. Parent is the
// owner of a window without WS_CHILD; HWND_MESSAGE makes a window that only receives messages.
// CW_USEDEFAULT positions and sizes become (0, 0) and 0 for children, and a cascade position and
// two thirds of the work area for top-level windows.
HWND CreateWindowEx(DWORD ExStyle, const char* ClassName, const char* WindowName, DWORD Style,
                    int X, int Y, int Width, int Height, HWND Parent, HMENU Menu,
                    HINSTANCE Instance, void* Param);

// --- the tree -------------------------------------------------------------------------------
// The parent of a child window, the owner of a top-level window.
HWND GetParent(HWND Wnd);
// Makes Wnd a child of NewParent (0: a top-level window) and returns the old parent; WS_CHILD
// must fit: a window becomes top-level here only without WS_CHILD. Its position stays the same
// number in the new parent's coordinates.
HWND SetParent(HWND Wnd, HWND NewParent);
BOOL IsChild(HWND Parent, HWND Wnd);
HWND GetAncestor(HWND Wnd, UINT Flags);
HWND GetWindow(HWND Wnd, UINT Cmd);
HWND GetTopWindow(HWND Wnd);
// The window that stands for the screen; the parent GetAncestor names for top-level windows.
HWND GetDesktopWindow();
// Every descendant of Parent (children before their own children), until Fn returns FALSE.
using WNDENUMPROC = std::function<BOOL(HWND, LPARAM)>;
BOOL EnumChildWindows(HWND Parent, const WNDENUMPROC& Fn, LPARAM Param);
// Every top-level window in z-order.
BOOL EnumWindows(const WNDENUMPROC& Fn, LPARAM Param);
// The first top-level window whose class and/or text match (null: any); class case-insensitive.
HWND FindWindow(const char* ClassName, const char* WindowName);

// --- window longs ---------------------------------------------------------------------------
// GWLP_WNDPROC may be replaced while the procedure runs: the running call finishes, the next
// message goes to the new procedure. Styles set here change the flags only (SetWindowPos with
// SWP_FRAMECHANGED recomputes the frame); WS_VISIBLE and WS_DISABLED follow ShowWindow and
// EnableWindow. Non-negative indexes address the class's cbWndExtra bytes.
LONG_PTR GetWindowLongPtr(HWND Wnd, int Index);
LONG_PTR SetWindowLongPtr(HWND Wnd, int Index, LONG_PTR NewLong);
LONG GetWindowLong(HWND Wnd, int Index);
LONG SetWindowLong(HWND Wnd, int Index, LONG NewLong);

// --- text -----------------------------------------------------------------------------------
// Through WM_SETTEXT / WM_GETTEXT, so a window may answer for itself; DefWindowProc keeps the
// text in the window entry.
BOOL SetWindowText(HWND Wnd, const std::string& Text);
int GetWindowText(HWND Wnd, char* Buffer, int MaxCount);
std::string GetWindowText(HWND Wnd);
int GetWindowTextLength(HWND Wnd);

// --- rectangles and coordinates ------------------------------------------------------------
BOOL GetWindowRect(HWND Wnd, RECT* Rect);
BOOL GetClientRect(HWND Wnd, RECT* Rect);
BOOL ClientToScreen(HWND Wnd, POINT* Point);
BOOL ScreenToClient(HWND Wnd, POINT* Point);
// Maps points from one window's client coordinates to another's (0: the screen); returns the
// offset added, x in the low word and y in the high word.
int MapWindowPoints(HWND From, HWND To, POINT* Points, UINT Count);
// The window rectangle whose client area is Rect, for the given styles.
BOOL AdjustWindowRectEx(RECT* Rect, DWORD Style, BOOL Menu, DWORD ExStyle);

// The deepest visible, enabled window under the screen point (a top-level window of ours, or one
// of its children); windows whose window region leaves the point out do not count. 0 outside
// every window of the program.
HWND WindowFromPoint(POINT Point);
// The child of Parent (not grandchildren) under Point (Parent's client coordinates), Parent
// itself when the point is inside it but on no child, 0 outside.
HWND ChildWindowFromPoint(HWND Parent, POINT Point);
HWND ChildWindowFromPointEx(HWND Parent, POINT Point, UINT Flags);

// --- position, size, z-order and showing ----------------------------------------------------
// Sends WM_WINDOWPOSCHANGING (unless SWP_NOSENDCHANGING; the handler may change the record),
// applies it, then WM_NCCALCSIZE for a new size or SWP_FRAMECHANGED, WM_WINDOWPOSCHANGED, whose
// default handling sends WM_MOVE and WM_SIZE. SWP_SHOWWINDOW / SWP_HIDEWINDOW show or hide
// (WM_SHOWWINDOW is not sent here, as ShowWindow does). A window that is shown or brought to
// the top is activated unless SWP_NOACTIVATE is given (top-level windows only).
BOOL SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Width, int Height, UINT Flags);
BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL Repaint);
// A batch of placings: windows placed until the matching EndDeferWindowPos take their places at
// once (messages and all), but what they uncover and cover is made invalid once, when the
// outermost batch ends, each child's old and new rectangle in its parent. Batches nest;
// NumWindows is a hint. EndDeferWindowPos is FALSE for a handle that is no open batch.
using HDWP = std::uintptr_t;
HDWP BeginDeferWindowPos(int NumWindows);
BOOL EndDeferWindowPos(HDWP Batch);
// Returns whether the window was visible before. WM_SHOWWINDOW goes first when the visibility
// changes. SW_SHOWNOACTIVATE, SW_SHOWNA, SW_SHOWMINNOACTIVE and SW_HIDE never activate; SW_HIDE
// of the active window activates another one (its owner first).
BOOL ShowWindow(HWND Wnd, int Cmd);
// The window and all its ancestors have WS_VISIBLE.
BOOL IsWindowVisible(HWND Wnd);
BOOL IsIconic(HWND Wnd);
BOOL IsZoomed(HWND Wnd);
BOOL GetWindowPlacement(HWND Wnd, WINDOWPLACEMENT* Placement);
BOOL SetWindowPlacement(HWND Wnd, const WINDOWPLACEMENT* Placement);
// To the top of its siblings; a top-level window is activated as well.
BOOL BringWindowToTop(HWND Wnd);

// --- enabling -------------------------------------------------------------------------------
// Our own flag: a disabled window gets no mouse or keyboard input (the mouse hook sees HTERROR
// for it), is not greyed and keeps its children's look. Disabling sends WM_CANCELMODE when the
// window or a child holds the capture (and releases a capture still inside it afterwards) and
// takes the focus away from it; WM_ENABLE goes to the window when the state changes. Returns
// whether it was disabled before.
BOOL EnableWindow(HWND Wnd, BOOL Enable);
BOOL IsWindowEnabled(HWND Wnd);

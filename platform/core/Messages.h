#pragma once
// Window messages, window handles and window timers of the user-interface thread.
//
// A window handle is the id of one entry in a table of window objects. Hidden windows are plain
// objects, no Qt widget stands behind them. Ids count up and are never reused while the process
// runs, so a message that is still queued for a destroyed window misses and is dropped, even when
// new windows were created in the meantime.
//
// Threads: PostMessage, PostQuitMessage and IsWindow may be called from any thread (name lookup
// workers post their answers). Everything else belongs to the user-interface thread: the thread
// that first allocates a window, sets a timer or runs a pass of the message loop.
//
// Qt: the loop runs over Qt's event loop. The layer needs only QtCore. When no QCoreApplication
// (or QGuiApplication/QApplication) exists at first use, one QCoreApplication is created and kept
// for the life of the process; a program that wants the GUI module creates its QApplication
// before it first touches this layer.
#include <cstdint>
#include <functional>

#include "platform/core/WinTypes.h"

constexpr DWORD INFINITE = 0xFFFFFFFFu;

// Message numbers used by the layers above; numbers are those the peers and stored code expect.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUERYENDSESSION = 0x0011;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// Shortest and longest timer period in milliseconds; SetTimer clamps to them.
constexpr UINT USER_TIMER_MINIMUM = 10;
constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;

// One message as a window method receives it; the method sets Result (0 unless it says otherwise).
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// The window procedure of a window made by AllocateHWnd.
using TWndMethod = std::function<void(TMessage&)>;

class TReleasable;

// Makes a hidden window whose messages go to Method. When Owner is given, every message delivery
// counts as a handler of Owner on the stack (see TReleasable and TApplication::ReleaseLater).
HWND AllocateHWnd(TWndMethod Method, TReleasable* Owner = nullptr);
// Removes the window without calling its procedure again (its owner is going away), kills its
// timers and drops its queued messages. A handler of it that is running finishes safely: the
// method object stays alive until it returns. Unknown or 0 handles are ignored.
void DeallocateHWnd(HWND Wnd);
// Sends WM_DESTROY to the window, then removes it as DeallocateHWnd does. False for an unknown
// handle.
bool DestroyWindow(HWND Wnd);
bool IsWindow(HWND Wnd);

// What a window procedure answers for a message it does not handle: WM_CLOSE destroys the window,
// everything else gives 0.
LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// Queues the message (first in, first out) for a later pass of the message loop. False, and
// nothing queued, for a handle that is not a window. Safe from any thread; wakes a waiting loop.
bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// Calls the window's procedure at once and returns its result; 0 for a handle that is not a
// window. An exception from the procedure passes to the caller. User-interface thread only.
LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// Queues WM_QUIT; when a pass reaches it the application counts as terminated. Any thread.
void PostQuitMessage(int ExitCode);

// Starts (or restarts, for the same window and id) a timer that posts WM_TIMER with
// WParam = IDEvent to the window every Elapse milliseconds. At most one WM_TIMER per timer waits
// in the queue at any time; none arrives after KillTimer. Returns IDEvent, or 0 when the window
// does not exist.
UINT_PTR SetTimer(HWND Wnd, UINT_PTR IDEvent, UINT Elapse);
bool KillTimer(HWND Wnd, UINT_PTR IDEvent);

// Milliseconds since an arbitrary start (the monotonic clock), wrapping every 2^32 ms.
DWORD GetTickCount();

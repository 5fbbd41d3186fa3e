#pragma once
// Window messages, the message queue, window timers and hidden windows of the user-interface
// thread.
//
// A window handle is the id of one entry in the window table (see Window.h). Ids count up and are
// never reused while the process runs, so a message that is still queued for a destroyed window
// misses and is dropped, even when new windows were created in the meantime.
//
// The queue: one first-in-first-out queue for everything posted (PostMessage, timers, input
// translated from Qt). Two consecutive mouse moves to one window merge into the later one.
// WM_PAINT is never queued: it is made up from the windows' update regions when nothing else that
// a caller asks for is waiting. Window timers only ever post WM_TIMER, at most one per timer at a
// time. WM_QUIT is queued like any other message and is handed to every filter.
//
// Threads: PostMessage, PostQuitMessage and IsWindow may be called from any thread (name lookup
// workers post their answers). Everything else belongs to the user-interface thread: the thread
// that first allocates a window, sets a timer or runs a pass of the message loop.
//
// Qt: the loop runs over Qt's event loop. The program creates its application object first (see
// TApplication::InitializeQt); every call that needs the loop raises an exception before that.
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/classes/WinTypes.h"

constexpr DWORD INFINITE = 0xFFFFFFFFu;

// Message numbers; the numbers are those stored code and the peers expect.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUERYENDSESSION = 0x0011;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_SETTINGCHANGE = 0x001A;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr UINT WM_CHILDACTIVATE = 0x0022;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_PAINTICON = 0x0026;
constexpr UINT WM_ICONERASEBKGND = 0x0027;
constexpr UINT WM_NEXTDLGCTL = 0x0028;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_MEASUREITEM = 0x002C;
constexpr UINT WM_DELETEITEM = 0x002D;
constexpr UINT WM_VKEYTOITEM = 0x002E;
constexpr UINT WM_CHARTOITEM = 0x002F;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_SETHOTKEY = 0x0032;
constexpr UINT WM_QUERYDRAGICON = 0x0037;
constexpr UINT WM_COMPAREITEM = 0x0039;
constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_HELP = 0x0053;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_STYLECHANGING = 0x007C;
constexpr UINT WM_STYLECHANGED = 0x007D;
constexpr UINT WM_DISPLAYCHANGE = 0x007E;
constexpr UINT WM_GETICON = 0x007F;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_NCCALCSIZE = 0x0083;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_NCACTIVATE = 0x0086;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCLBUTTONUP = 0x00A2;
constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
constexpr UINT WM_NCRBUTTONUP = 0x00A5;
constexpr UINT WM_NCRBUTTONDBLCLK = 0x00A6;
constexpr UINT WM_NCMBUTTONDOWN = 0x00A7;
constexpr UINT WM_NCMBUTTONUP = 0x00A8;
constexpr UINT WM_NCMBUTTONDBLCLK = 0x00A9;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_DEADCHAR = 0x0103;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_SYSDEADCHAR = 0x0107;
constexpr UINT WM_KEYLAST = 0x0108;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MENUSELECT = 0x011F;
constexpr UINT WM_MENUCHAR = 0x0120;
constexpr UINT WM_ENTERIDLE = 0x0121;
constexpr UINT WM_CTLCOLORMSGBOX = 0x0132;
constexpr UINT WM_CTLCOLOREDIT = 0x0133;
constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
constexpr UINT WM_CTLCOLORBTN = 0x0135;
constexpr UINT WM_CTLCOLORDLG = 0x0136;
constexpr UINT WM_CTLCOLORSCROLLBAR = 0x0137;
constexpr UINT WM_CTLCOLORSTATIC = 0x0138;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_MOUSELAST = 0x020A;
constexpr UINT WM_PARENTNOTIFY = 0x0210;
constexpr UINT WM_ENTERMENULOOP = 0x0211;
constexpr UINT WM_EXITMENULOOP = 0x0212;
constexpr UINT WM_SIZING = 0x0214;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_MOVING = 0x0216;
constexpr UINT WM_MDIACTIVATE = 0x0222;
constexpr UINT WM_MDIGETACTIVE = 0x0229;
constexpr UINT WM_ENTERSIZEMOVE = 0x0231;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;
constexpr UINT WM_DROPFILES = 0x0233;
constexpr UINT WM_MOUSEHOVER = 0x02A1;
constexpr UINT WM_NCMOUSELEAVE = 0x02A2;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;
constexpr UINT WM_CLEAR = 0x0303;
constexpr UINT WM_UNDO = 0x0304;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// Shortest and longest timer period in milliseconds; SetTimer clamps to them.
constexpr UINT USER_TIMER_MINIMUM = 10;
constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;

// PeekMessage: whether the message is taken out of the queue.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_NOYIELD = 0x0002;

// A queued message as the loops see it: window, message, parameters, the tick count when it was
// queued and the cursor position (screen coordinates) at that moment.
struct MSG {
    HWND hwnd = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt{};
};

// One message as a window method receives it; the method sets Result (0 unless it says otherwise).
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// A method that serves as a window procedure (AllocateHWnd, MakeObjectInstance).
using TWndMethod = std::function<void(TMessage&)>;
// A window procedure: it gets the window it serves, so one procedure can serve many windows.
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

class TReleasable;

// Makes a hidden window whose messages go to Method. When Owner is given, every message delivery
// counts as a handler of Owner on the stack (see TReleasable and TApplication::ReleaseLater).
HWND AllocateHWnd(TWndMethod Method, TReleasable* Owner = nullptr);
// Removes the window without calling its procedure again (its owner is going away), kills its
// timers and drops its queued messages. A handler of it that is running finishes safely: the
// method object stays alive until it returns. Unknown or 0 handles are ignored.
void DeallocateHWnd(HWND Wnd);
// Destroys the window and its children: WM_DESTROY goes to the window first and then to its
// children, WM_NCDESTROY to the children first; owned windows go before their owner. A window
// gets WM_DESTROY once, also when it is destroyed again from its own handler, and a handler that
// is running when its window goes finishes safely. False for an unknown handle. An exception from
// a handler passes to the caller once the window is gone.
bool DestroyWindow(HWND Wnd);
bool IsWindow(HWND Wnd);

// A window procedure made from a method: the value can be installed with SetWindowLongPtr
// (GWLP_WNDPROC) and called with CallWindowProc like any procedure. FreeObjectInstance ends it;
// a window that still names it afterwards gets DefWindowProc's answers. A call that is running
// when it is freed finishes safely.
WNDPROC MakeObjectInstance(TWndMethod Method);
void FreeObjectInstance(WNDPROC Proc);
// Calls Proc (a function or an object instance; null gives DefWindowProc) for the window.
LRESULT CallWindowProc(WNDPROC Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// What a window procedure answers for a message it does not handle (see Window.h for the list).
LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// Queues the message (first in, first out) for a later pass of the message loop. False, and
// nothing queued, for a handle that is not a window. Safe from any thread; wakes a waiting loop.
bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// Queues a message that carries data the queue owns (WParam or LParam usually point into it):
// Payload lives until the procedure that receives the message has returned, and is freed without
// delivery when the message is dropped (its window died, a loop never dispatched it). False, and
// Payload freed, for a handle that is not a window. Any thread.
bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, std::shared_ptr<void> Payload);
// Calls the window's procedure at once and returns its result; 0 for a handle that is not a
// window. The WH_CALLWNDPROC hooks see the message first. An exception from the procedure passes
// to the caller. User-interface thread only.
LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// Queues WM_QUIT; when a pass reaches it the application counts as terminated. Any thread.
void PostQuitMessage(int ExitCode);

// Looks for a message of the window (0: any window; the window's children count as its own) in
// the range [FilterMin, FilterMax] (0, 0: every message). Qt's pending events are serviced first
// when nothing matches, so that input and socket notices arrive. WM_QUIT matches every filter.
// Without a queued match, WM_PAINT is made up for a window inside the filter whose update region
// is not empty. PM_REMOVE takes the message out. False when nothing matches.
BOOL PeekMessage(MSG* Msg, HWND Wnd, UINT FilterMin, UINT FilterMax, UINT RemoveMsg);
// PeekMessage with PM_REMOVE that waits (using no CPU) until a message matches. FALSE for
// WM_QUIT, TRUE for everything else.
BOOL GetMessage(MSG* Msg, HWND Wnd, UINT FilterMin, UINT FilterMax);
// Waits until something new arrives: a message is queued, a timer falls due or a window needs
// painting. Messages that were already queued do not end the wait.
BOOL WaitMessage();
// Removes the queued messages in [FilterMin, FilterMax] of Wnd (and of its children, as
// PeekMessage filters). A WM_QUIT, which matches every filter, is not removed: the removal stops
// there and the quit stays for the loop that waits for it.
void DropQueued(HWND Wnd, UINT FilterMin, UINT FilterMax);
// For WM_KEYDOWN and WM_SYSKEYDOWN taken from the queue: queues the character message(s) the key
// typed (WM_CHAR or WM_SYSCHAR, a Windows-1252 byte) at the head of the queue, so that they come
// next. TRUE when it queued one.
BOOL TranslateMessage(const MSG* Msg);
// Calls the procedure of the message's window. Exceptions of the procedure go to
// Application.HandleException. A payload the message carries is freed afterwards.
LRESULT DispatchMessage(const MSG* Msg);
// Cursor position (screen, packed as MAKELONG(x, y)) and time of the message most recently taken
// from the queue.
DWORD GetMessagePos();
LONG GetMessageTime();

// The service every loop inside a handler runs on: modal forms and dialogs, menus, the bars'
// popup menus and drags, the tracking of the non-client area and of scroll bars, the pumps that
// empty one range of the queue. It takes messages as every loop does (PeekMessage), waits when
// there is none, posts WM_QUIT again for the loop outside, and delivers as every loop does: the
// application's message hook, then TranslateMessage and DispatchMessage. Timers, posted messages,
// painting and sockets go on inside it. While it lives it counts as one loop inside the others;
// it raises when CoreLimits::kMaxModalDepth loops run inside each other already.
class TModalLoop {
  public:
    // What the loop does when nothing is queued.
    enum class TWait {
        // The idle step (TApplication::Idle); unless Done then holds, a wait until anything
        // happens or the application is terminated.
        Idle,
        // A wait until something new arrives (WaitMessage), unless Done (when given) holds.
        News,
        // As Idle's wait, without the idle step and for at most kRecheckMs: the loop looks at
        // the input state itself (a release may have been taken by a pass run meanwhile).
        Recheck,
        // None: the loop empties what is queued and ends.
        None,
    };
    static constexpr DWORD kRecheckMs = 50;
    // What Next found. Done: the loop's Done held after the idle step (it is not asked again:
    // asking may have side effects, such as a modal form's closing).
    enum class TNext { Message, Idle, Quit, Done };

    explicit TModalLoop(TWait Wait, std::function<bool()> Done = {});
    ~TModalLoop();
    TModalLoop(const TModalLoop&) = delete;
    TModalLoop& operator=(const TModalLoop&) = delete;

    // Takes the next message in [Min, Max] (0, 0: every message) into Msg: Message. None: the
    // loop waits as it was made to and gets Idle (or Done). WM_QUIT: posted again for the loop
    // outside, Quit.
    TNext Next(MSG& Msg, UINT Min = 0, UINT Max = 0);
    // Delivers a message the loop took: the hook first, then TranslateMessage and
    // DispatchMessage.
    static void Deliver(const MSG& Msg);

  private:
    TWait FWait;
    std::function<bool()> FDone;
};

// A modal message loop: takes and delivers (TModalLoop) until Done() holds (asked before every
// message), the application is terminated or WM_QUIT arrives; WM_QUIT is posted again for the
// loop outside. Nothing queued: the idle step, then a wait. False when WM_QUIT or termination
// ended it.
bool RunModalLoop(const std::function<bool()>& Done);
// Delivers the paint messages pending now (the windows that need painting), without waiting.
void ProcessPaintMessages();

// Starts (or restarts, for the same window and id) a timer that posts WM_TIMER with
// WParam = IDEvent to the window every Elapse milliseconds. At most one WM_TIMER per timer waits
// in the queue at any time; none arrives after KillTimer. Returns IDEvent, or 0 when the window
// does not exist.
UINT_PTR SetTimer(HWND Wnd, UINT_PTR IDEvent, UINT Elapse);
bool KillTimer(HWND Wnd, UINT_PTR IDEvent);

// Milliseconds since an arbitrary start (the monotonic clock), wrapping every 2^32 ms.
DWORD GetTickCount();

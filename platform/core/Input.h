#pragma once
// Input: the keyboard (virtual keys, key data, the key-state table), the mouse (tracked cursor
// position, capture, mouse-leave tracking, cursors), focus and activation, and the hooks.
//
// Qt's input is translated once, where it reaches one of our hosts' QWindows, into messages in
// the one queue (see InputTranslation.cpp):
//   mouse: tracked cursor position; the window under it (WindowFromPoint) or the capture window;
//     WM_NCHITTEST (HTERROR, without asking, for a disabled window); WM_SETCURSOR; the WH_MOUSE
//     hooks with the hit-test code; then a client message (client coordinates, MK_* flags) or a
//     non-client one (hit-test code, screen coordinates). Double clicks are ours: a second press
//     of the same button on the same window within GetDoubleClickTime and SM_CXDOUBLECLK /
//     SM_CYDOUBLECLK becomes a ..DBLCLK message when the class has CS_DBLCLKS (non-client double
//     clicks always). A press on a window of an inactive form sends WM_MOUSEACTIVATE first.
//   keys: WM_KEYDOWN / WM_KEYUP, or WM_SYSKEYDOWN / WM_SYSKEYUP while Alt is held (without Ctrl)
//     and for F10, with the virtual-key code and the key data (repeat count 1, scan code, extended
//     bit, context bit for Alt, previous state, transition); they go to the focus window (to the
//     active window when nothing has the focus); the WH_KEYBOARD hooks see each key when the loop
//     takes it, just before its window does. AltGr is not VK_MENU: it makes no key message of its
//     own and the characters it types are plain WM_CHAR. TranslateMessage turns the characters a
//     key typed into WM_CHAR / WM_SYSCHAR (one Windows-1252 byte each; characters that have none
//     become '?').
// A hook that eats a message stops it: a mouse message is not queued, a key is not delivered.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/core/Window.h"

// Virtual keys.
constexpr WORD VK_LBUTTON = 0x01;
constexpr WORD VK_RBUTTON = 0x02;
constexpr WORD VK_CANCEL = 0x03;
constexpr WORD VK_MBUTTON = 0x04;
constexpr WORD VK_BACK = 0x08;
constexpr WORD VK_TAB = 0x09;
constexpr WORD VK_CLEAR = 0x0C;
constexpr WORD VK_RETURN = 0x0D;
constexpr WORD VK_SHIFT = 0x10;
constexpr WORD VK_CONTROL = 0x11;
constexpr WORD VK_MENU = 0x12;
constexpr WORD VK_PAUSE = 0x13;
constexpr WORD VK_CAPITAL = 0x14;
constexpr WORD VK_ESCAPE = 0x1B;
constexpr WORD VK_SPACE = 0x20;
constexpr WORD VK_PRIOR = 0x21;
constexpr WORD VK_NEXT = 0x22;
constexpr WORD VK_END = 0x23;
constexpr WORD VK_HOME = 0x24;
constexpr WORD VK_LEFT = 0x25;
constexpr WORD VK_UP = 0x26;
constexpr WORD VK_RIGHT = 0x27;
constexpr WORD VK_DOWN = 0x28;
constexpr WORD VK_SELECT = 0x29;
constexpr WORD VK_PRINT = 0x2A;
constexpr WORD VK_EXECUTE = 0x2B;
constexpr WORD VK_SNAPSHOT = 0x2C;
constexpr WORD VK_INSERT = 0x2D;
constexpr WORD VK_DELETE = 0x2E;
constexpr WORD VK_HELP = 0x2F;
constexpr WORD VK_0 = 0x30;
constexpr WORD VK_1 = 0x31;
constexpr WORD VK_2 = 0x32;
constexpr WORD VK_3 = 0x33;
constexpr WORD VK_4 = 0x34;
constexpr WORD VK_5 = 0x35;
constexpr WORD VK_6 = 0x36;
constexpr WORD VK_7 = 0x37;
constexpr WORD VK_8 = 0x38;
constexpr WORD VK_9 = 0x39;
constexpr WORD VK_A = 0x41;
constexpr WORD VK_B = 0x42;
constexpr WORD VK_C = 0x43;
constexpr WORD VK_D = 0x44;
constexpr WORD VK_E = 0x45;
constexpr WORD VK_F = 0x46;
constexpr WORD VK_G = 0x47;
constexpr WORD VK_H = 0x48;
constexpr WORD VK_I = 0x49;
constexpr WORD VK_J = 0x4A;
constexpr WORD VK_K = 0x4B;
constexpr WORD VK_L = 0x4C;
constexpr WORD VK_M = 0x4D;
constexpr WORD VK_N = 0x4E;
constexpr WORD VK_O = 0x4F;
constexpr WORD VK_P = 0x50;
constexpr WORD VK_Q = 0x51;
constexpr WORD VK_R = 0x52;
constexpr WORD VK_S = 0x53;
constexpr WORD VK_T = 0x54;
constexpr WORD VK_U = 0x55;
constexpr WORD VK_V = 0x56;
constexpr WORD VK_W = 0x57;
constexpr WORD VK_X = 0x58;
constexpr WORD VK_Y = 0x59;
constexpr WORD VK_Z = 0x5A;
constexpr WORD VK_LWIN = 0x5B;
constexpr WORD VK_RWIN = 0x5C;
constexpr WORD VK_APPS = 0x5D;
constexpr WORD VK_NUMPAD0 = 0x60;
constexpr WORD VK_NUMPAD1 = 0x61;
constexpr WORD VK_NUMPAD2 = 0x62;
constexpr WORD VK_NUMPAD3 = 0x63;
constexpr WORD VK_NUMPAD4 = 0x64;
constexpr WORD VK_NUMPAD5 = 0x65;
constexpr WORD VK_NUMPAD6 = 0x66;
constexpr WORD VK_NUMPAD7 = 0x67;
constexpr WORD VK_NUMPAD8 = 0x68;
constexpr WORD VK_NUMPAD9 = 0x69;
constexpr WORD VK_MULTIPLY = 0x6A;
constexpr WORD VK_ADD = 0x6B;
constexpr WORD VK_SEPARATOR = 0x6C;
constexpr WORD VK_SUBTRACT = 0x6D;
constexpr WORD VK_DECIMAL = 0x6E;
constexpr WORD VK_DIVIDE = 0x6F;
constexpr WORD VK_F1 = 0x70;
constexpr WORD VK_F2 = 0x71;
constexpr WORD VK_F3 = 0x72;
constexpr WORD VK_F4 = 0x73;
constexpr WORD VK_F5 = 0x74;
constexpr WORD VK_F6 = 0x75;
constexpr WORD VK_F7 = 0x76;
constexpr WORD VK_F8 = 0x77;
constexpr WORD VK_F9 = 0x78;
constexpr WORD VK_F10 = 0x79;
constexpr WORD VK_F11 = 0x7A;
constexpr WORD VK_F12 = 0x7B;
constexpr WORD VK_F24 = 0x87;
constexpr WORD VK_NUMLOCK = 0x90;
constexpr WORD VK_SCROLL = 0x91;
constexpr WORD VK_LSHIFT = 0xA0;
constexpr WORD VK_RSHIFT = 0xA1;
constexpr WORD VK_LCONTROL = 0xA2;
constexpr WORD VK_RCONTROL = 0xA3;
constexpr WORD VK_LMENU = 0xA4;
constexpr WORD VK_RMENU = 0xA5;
constexpr WORD VK_OEM_1 = 0xBA;
constexpr WORD VK_OEM_PLUS = 0xBB;
constexpr WORD VK_OEM_COMMA = 0xBC;
constexpr WORD VK_OEM_MINUS = 0xBD;
constexpr WORD VK_OEM_PERIOD = 0xBE;
constexpr WORD VK_OEM_2 = 0xBF;
constexpr WORD VK_OEM_3 = 0xC0;
constexpr WORD VK_OEM_4 = 0xDB;
constexpr WORD VK_OEM_5 = 0xDC;
constexpr WORD VK_OEM_6 = 0xDD;
constexpr WORD VK_OEM_7 = 0xDE;
constexpr WORD VK_OEM_102 = 0xE2;
constexpr WORD VK_PROCESSKEY = 0xE5;

// Key data bits (LParam of the key messages).
constexpr LPARAM KF_EXTENDED_BIT = LPARAM(1) << 24;
constexpr LPARAM KF_ALTDOWN_BIT = LPARAM(1) << 29;
constexpr LPARAM KF_REPEAT_BIT = LPARAM(1) << 30;
constexpr LPARAM KF_UP_BIT = LPARAM(1) << 31;

// Mouse message key flags (WParam).
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr int WHEEL_DELTA = 120;

// --- the keyboard state ---------------------------------------------------------------------
// Our own table, kept from the input we translate: the high bit means down, the low bit of the
// lock keys (Caps, Num, Scroll) toggled. The asynchronous state is the same table.
SHORT GetKeyState(int VirtualKey);
SHORT GetAsyncKeyState(int VirtualKey);
BOOL GetKeyboardState(BYTE* KeyState);
BOOL SetKeyboardState(const BYTE* KeyState);

// --- the mouse -----------------------------------------------------------------------------
// The tracked cursor position (screen coordinates): where the last mouse input was, or where
// SetCursorPos put it. SetCursorPos moves the platform pointer too where the platform can.
BOOL GetCursorPos(POINT* Point);
BOOL SetCursorPos(int X, int Y);
// The point a mouse message carries in LParam: client coordinates, or screen coordinates for the
// non-client messages.
inline POINT MessagePoint(LPARAM LParam) {
    return POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
}
// The other way: Point packed into a mouse message's LParam (each coordinate cut to 16 bits).
inline LPARAM PointLParam(POINT Point) {
    return MAKELPARAM(static_cast<WORD>(Point.x), static_cast<WORD>(Point.y));
}
// Capture: all mouse input goes to the window (client messages) until it is released; the window
// losing it gets WM_CAPTURECHANGED with the new one. Returns the previous capture window.
HWND SetCapture(HWND Wnd);
BOOL ReleaseCapture();
HWND GetCapture();
UINT GetDoubleClickTime();

// TrackMouseEvent: WM_MOUSELEAVE (or WM_NCMOUSELEAVE with TME_NONCLIENT) is posted once when the
// cursor leaves the window's client (or non-client) area; tracking ends with it.
constexpr DWORD TME_HOVER = 0x00000001;
constexpr DWORD TME_LEAVE = 0x00000002;
constexpr DWORD TME_NONCLIENT = 0x00000010;
constexpr DWORD TME_QUERY = 0x40000000;
constexpr DWORD TME_CANCEL = 0x80000000;
constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;
struct TRACKMOUSEEVENT {
    DWORD cbSize = sizeof(TRACKMOUSEEVENT);
    DWORD dwFlags = 0;
    HWND hwndTrack = 0;
    DWORD dwHoverTime = 0;
};
BOOL TrackMouseEvent(TRACKMOUSEEVENT* Event);

// Cursors. LoadCursor with hInstance 0 and an IDC_* value gives a standard cursor; with a name
// it gives a cursor registered under that name (RegisterCursorResource, or the program's cursor
// resources). SetCursor shows the cursor over the program's windows and returns the previous.
constexpr std::uintptr_t IDC_ARROW = 32512;
constexpr std::uintptr_t IDC_IBEAM = 32513;
constexpr std::uintptr_t IDC_WAIT = 32514;
constexpr std::uintptr_t IDC_CROSS = 32515;
constexpr std::uintptr_t IDC_UPARROW = 32516;
constexpr std::uintptr_t IDC_SIZE = 32640;
constexpr std::uintptr_t IDC_ICON = 32641;
constexpr std::uintptr_t IDC_SIZENWSE = 32642;
constexpr std::uintptr_t IDC_SIZENESW = 32643;
constexpr std::uintptr_t IDC_SIZEWE = 32644;
constexpr std::uintptr_t IDC_SIZENS = 32645;
constexpr std::uintptr_t IDC_SIZEALL = 32646;
constexpr std::uintptr_t IDC_NO = 32648;
constexpr std::uintptr_t IDC_HAND = 32649;
constexpr std::uintptr_t IDC_APPSTARTING = 32650;
constexpr std::uintptr_t IDC_HELP = 32651;
// A name as IDC_* values are passed: small integers stand for themselves.
inline const char* MAKEINTRESOURCE(std::uintptr_t Id) {
    return reinterpret_cast<const char*>(Id);
}
HCURSOR LoadCursor(HINSTANCE Instance, const char* Name);
// Makes a cursor known under a name, for LoadCursor (takes the icon handle; 0 removes it).
void RegisterCursorResource(const std::string& Name, HCURSOR Cursor);
HCURSOR SetCursor(HCURSOR Cursor);
HCURSOR GetCursor();

// --- focus and activation ------------------------------------------------------------------
// SetFocus sends WM_KILLFOCUS (WParam: the window getting the focus) to the old focus window and
// WM_SETFOCUS (WParam: the window that had it) to the new one; the new window's top-level window
// is activated first. Returns the old focus window; 0 (and no change) for a window that does not
// exist or is disabled.
HWND SetFocus(HWND Wnd);
HWND GetFocus();
// Activation of top-level windows: WM_NCACTIVATE and WM_ACTIVATE (LParam: the other window) to
// the window losing and the window getting it; WM_ACTIVATEAPP to every top-level window when the
// program as a whole becomes active or inactive. DefWindowProc's WM_ACTIVATE puts the focus on
// the window activated. Activation changes Qt reports for hosts that are not forms are ignored.
HWND SetActiveWindow(HWND Wnd);
HWND GetActiveWindow();
// Activates the window and raises its host on the screen.
BOOL SetForegroundWindow(HWND Wnd);
// The active window while the program is active, else 0.
HWND GetForegroundWindow();

// --- hooks ---------------------------------------------------------------------------------
// Hooks of the user-interface thread. A hook gets (code, WParam, LParam) and passes the call on
// with CallNextHookEx; what it returns is the chain's answer. The newest hook runs first.
//   WH_KEYBOARD: WParam the virtual key, LParam the key data; non-zero eats the key.
//   WH_MOUSE: WParam the message that will be queued, LParam a MOUSEHOOKSTRUCT (screen point,
//     window, hit-test code: HTERROR for a disabled window); non-zero eats the message.
//   WH_CALLWNDPROC: WParam non-zero, LParam a CWPSTRUCT, for every message sent to a window
//     procedure (SendMessage, and the messages the layer sends itself); the answer is ignored.
// A hook removed while hooks run is skipped from then on.
using HHOOK = std::uintptr_t;
using HOOKPROC = LRESULT (*)(int Code, WPARAM WParam, LPARAM LParam);
using THookProc = std::function<LRESULT(int Code, WPARAM WParam, LPARAM LParam)>;
constexpr int WH_KEYBOARD = 2;
constexpr int WH_CALLWNDPROC = 4;
constexpr int WH_MOUSE = 7;
constexpr int HC_ACTION = 0;
constexpr int HC_NOREMOVE = 3;
struct MOUSEHOOKSTRUCT {
    POINT pt{};
    HWND hwnd = 0;
    UINT wHitTestCode = 0;
    ULONG_PTR dwExtraInfo = 0;
};
struct CWPSTRUCT {
    LPARAM lParam = 0;
    WPARAM wParam = 0;
    UINT message = 0;
    HWND hwnd = 0;
};
// Module and thread are accepted and ignored: hooks are always those of the user-interface
// thread. 0 for an unknown hook type or a null procedure.
HHOOK SetWindowsHookEx(int IdHook, HOOKPROC Proc, HINSTANCE Module, DWORD ThreadId);
HHOOK SetWindowsHookEx(int IdHook, THookProc Proc);
BOOL UnhookWindowsHookEx(HHOOK Hook);
LRESULT CallNextHookEx(HHOOK Hook, int Code, WPARAM WParam, LPARAM LParam);
DWORD GetCurrentThreadId();

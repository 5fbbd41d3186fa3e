#pragma once
// Inside of the window layer: the entries of the window table, window classes and the state the
// window functions share (z-order of top-level windows, focus, activation, capture). Only the
// files of platform/core use it; other code uses Window.h, Input.h and Paint.h.
#include <QRegion>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Window.h"

class THost;
class QWidget;
struct TSurface;
class TReleasable;

struct TWndClass {
    std::string Name;
    WNDCLASS Info;  // lpszClassName and lpszMenuName are not kept
    ATOM Atom = 0;
    std::vector<BYTE> Extra;
};

enum class TWndState : std::uint8_t {
    Creating,  // WM_NCCREATE / WM_CREATE are running
    Alive,
    Destroying,  // WM_DESTROY sent, children going
    Gone,        // out of the table; a handler may still hold the entry
};

struct TWnd {
    HWND Handle = 0;
    std::shared_ptr<TWndClass> Class;
    // The current procedure (a function or an object instance).
    WNDPROC Proc = nullptr;
    // Deliveries count as handlers of this object (AllocateHWnd's owner).
    TReleasable* DispatchOwner = nullptr;
    // An object instance made for the window (AllocateHWnd), freed with it.
    WNDPROC OwnInstance = nullptr;
    HINSTANCE Instance = 0;
    HWND Parent = 0;  // 0 for top-level windows
    HWND Owner = 0;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    LONG_PTR Id = 0;
    LONG_PTR UserData = 0;
    std::vector<BYTE> Extra;
    // Parent client coordinates for children, screen coordinates for top-level windows.
    RECT Window{};
    // Relative to the window rectangle's top-left corner.
    RECT Client{};
    std::string Text;
    bool MessageOnly = false;
    TWndState State = TWndState::Creating;
    bool DestroySent = false;
    // Topmost first.
    std::vector<HWND> Children;

    // Painting. Update is in client coordinates.
    QRegion Update;
    bool EraseNeeded = false;
    bool FrameNeeded = false;
    bool InternalPaint = false;
    bool RedrawOff = false;
    // Counts BeginPaint calls, so a WM_PAINT that painted nothing can be told apart.
    std::uint32_t PaintSerial = 0;

    // Placement while minimized or maximized.
    RECT NormalRect{};
    POINT MinPosition{-1, -1};
    POINT MaxPosition{-1, -1};
    bool RestoreToMaximized = false;

    // Window region (window coordinates).
    bool HasRegion = false;
    QRegion Region;

    bool NcActive = false;
    // TrackMouseEvent's flags while tracking.
    DWORD TrackFlags = 0;

    // Top-level windows only: the Qt host and its surface (the whole window, frame included).
    THost* Host = nullptr;
    std::shared_ptr<TSurface> Surface;
    // A wrapped Qt control: its widget, a child of the top-level window's host.
    QWidget* Widget = nullptr;

    bool IsChild() const { return (Style & WS_CHILD) != 0; }
    bool Visible() const { return (Style & WS_VISIBLE) != 0; }
    bool Enabled() const { return (Style & WS_DISABLED) == 0; }
    LONG Width() const { return Window.right - Window.left; }
    LONG Height() const { return Window.bottom - Window.top; }
};

using TWndPtr = std::shared_ptr<TWnd>;

// Looks a window up; null for 0, unknown and destroyed handles.
TWndPtr FindWnd(HWND Wnd);
// Every window of the table (no message-only windows), unordered.
std::vector<TWndPtr> AllWindows();

// State of the window functions; user-interface thread only.
struct TWindowState {
    // Top-level windows (no message-only ones), topmost first.
    std::vector<HWND> TopLevels;
    HWND Desktop = 0;
    HWND Focus = 0;
    HWND Active = 0;
    HWND Capture = 0;
    // The program has one of its windows active (the platform says so, or we made it so).
    bool AppActive = false;
    std::vector<std::shared_ptr<TWndClass>> Classes;
    ATOM NextAtom = 0xC000;
    // Children placed inside BeginDeferWindowPos / EndDeferWindowPos: what each left and what
    // it took in its parent, made invalid when the outermost batch ends.
    struct TMove {
        HWND Parent = 0;
        HWND Child = 0;
        RECT Left{};
        RECT Taken{};
    };
    int DeferDepth = 0;
    std::vector<TMove> Moves;
};
TWindowState& WindowState();

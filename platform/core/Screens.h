#pragma once
// Screens and the work area, behind an injectable source.
//
// By default the screens are Qt's (the offscreen platform has one screen of 800x600 whose work
// area is the whole screen); without a Qt GUI application there is one 800x600 screen. Tests and
// programs may inject their own list (SetScreenSource). GetSystemMetrics' screen sizes
// (SM_CXSCREEN...) follow the primary screen, and SPI_GETWORKAREA answers its work area.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/classes/WinTypes.h"

using HMONITOR = std::uintptr_t;

constexpr DWORD MONITOR_DEFAULTTONULL = 0x00000000;
constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 0x00000001;
constexpr DWORD MONITOR_DEFAULTTONEAREST = 0x00000002;
constexpr DWORD MONITORINFOF_PRIMARY = 0x00000001;

struct MONITORINFO {
    DWORD cbSize = sizeof(MONITORINFO);
    RECT rcMonitor{};
    RECT rcWork{};
    DWORD dwFlags = 0;
};

constexpr UINT SPI_GETWORKAREA = 0x0030;
// WM_SETTINGCHANGE's WParam: the fonts of menus and captions, or the work area, changed.
constexpr UINT SPI_SETNONCLIENTMETRICS = 0x002A;
constexpr UINT SPI_SETWORKAREA = 0x002F;

// One screen: its rectangle and work area in the virtual desktop's coordinates.
struct TScreenInfo {
    RECT Monitor{};
    RECT Work{};
    bool Primary = false;
};

class TScreenSource {
  public:
    virtual ~TScreenSource() = default;
    // At least one screen; the first primary one is the primary screen.
    virtual std::vector<TScreenInfo> Screens() const = 0;
};

// Installs the source (null: back to Qt's screens). The screen metrics are updated at once.
void SetScreenSource(std::shared_ptr<TScreenSource> Source);
std::vector<TScreenInfo> GetScreens();

// A monitor handle is the screen's number + 1 in GetScreens' list; 0 is none.
HMONITOR MonitorFromPoint(POINT Point, DWORD Flags);
HMONITOR MonitorFromRect(const RECT* Rect, DWORD Flags);
HMONITOR MonitorFromWindow(HWND Wnd, DWORD Flags);
BOOL GetMonitorInfo(HMONITOR Monitor, MONITORINFO* Info);
// SPI_GETWORKAREA (Param: RECT*) only; FALSE for everything else.
BOOL SystemParametersInfo(UINT Action, UINT UiParam, void* Param, UINT WinIni);
// The work area of the screen nearest to a point.
RECT WorkAreaAt(POINT P);

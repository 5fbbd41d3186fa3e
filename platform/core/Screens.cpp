// Screens and the work area.
#include "platform/core/Screens.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstdint>

#include "platform/core/WindowImpl.h"
#include "platform/gdi/Gdi.h"

namespace {

RECT ToRect(const QRect& R) {
    return RECT{R.x(), R.y(), R.x() + R.width(), R.y() + R.height()};
}

std::shared_ptr<TScreenSource>& Injected() {
    static auto* Source = new std::shared_ptr<TScreenSource>;
    return *Source;
}

std::vector<TScreenInfo> QtScreens() {
    std::vector<TScreenInfo> Out;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        const QScreen* Primary = QGuiApplication::primaryScreen();
        for (const QScreen* S : QGuiApplication::screens()) {
            TScreenInfo Info;
            Info.Monitor = ToRect(S->geometry());
            Info.Work = ToRect(S->availableGeometry());
            Info.Primary = S == Primary;
            Out.push_back(Info);
        }
    }
    if (Out.empty()) Out.push_back(TScreenInfo{RECT{0, 0, 800, 600}, RECT{0, 0, 800, 600}, true});
    return Out;
}

// In 64 bits: a point a few ten thousand pixels off the screens squares beyond 32.
int64_t DistanceSquared(const RECT& R, POINT P) {
    const int64_t X = P.x, Y = P.y;
    const int64_t Dx = X < R.left ? R.left - X : X >= R.right ? X - R.right + 1 : 0;
    const int64_t Dy = Y < R.top ? R.top - Y : Y >= R.bottom ? Y - R.bottom + 1 : 0;
    return Dx * Dx + Dy * Dy;
}

HMONITOR PrimaryMonitor(const std::vector<TScreenInfo>& Screens) {
    for (size_t I = 0; I < Screens.size(); ++I)
        if (Screens[I].Primary) return I + 1;
    return 1;
}

void UpdateMetrics() {
    const std::vector<TScreenInfo> Screens = GetScreens();
    const TScreenInfo& P = Screens[PrimaryMonitor(Screens) - 1];
    SetScreenMetrics(P.Monitor.right - P.Monitor.left, P.Monitor.bottom - P.Monitor.top, P.Work);
}

}  // namespace

void SetScreenSource(std::shared_ptr<TScreenSource> Source) {
    Injected() = std::move(Source);
    UpdateMetrics();
}

std::vector<TScreenInfo> GetScreens() {
    std::vector<TScreenInfo> Out = Injected() ? Injected()->Screens() : QtScreens();
    if (Out.empty()) Out = QtScreens();
    if (std::none_of(Out.begin(), Out.end(), [](const TScreenInfo& S) { return S.Primary; }))
        Out.front().Primary = true;
    return Out;
}

HMONITOR MonitorFromPoint(POINT Point, DWORD Flags) {
    const std::vector<TScreenInfo> Screens = GetScreens();
    for (size_t I = 0; I < Screens.size(); ++I)
        if (PtInRect(&Screens[I].Monitor, Point)) return I + 1;
    if (Flags == MONITOR_DEFAULTTONULL) return 0;
    if (Flags == MONITOR_DEFAULTTOPRIMARY) return PrimaryMonitor(Screens);
    size_t Best = 0;
    for (size_t I = 1; I < Screens.size(); ++I)
        if (DistanceSquared(Screens[I].Monitor, Point) <
            DistanceSquared(Screens[Best].Monitor, Point))
            Best = I;
    return Best + 1;
}

HMONITOR MonitorFromRect(const RECT* Rect, DWORD Flags) {
    if (!Rect) return 0;
    const std::vector<TScreenInfo> Screens = GetScreens();
    // The screen that holds most of the rectangle.
    HMONITOR Best = 0;
    LONG BestArea = 0;
    for (size_t I = 0; I < Screens.size(); ++I) {
        RECT Common;
        if (!IntersectRect(&Common, Rect, &Screens[I].Monitor)) continue;
        const LONG Area = (Common.right - Common.left) * (Common.bottom - Common.top);
        if (Area > BestArea) {
            BestArea = Area;
            Best = I + 1;
        }
    }
    if (Best != 0) return Best;
    const POINT Center{Rect->left + (Rect->right - Rect->left) / 2,
                       Rect->top + (Rect->bottom - Rect->top) / 2};
    return MonitorFromPoint(Center, Flags);
}

HMONITOR MonitorFromWindow(HWND Wnd, DWORD Flags) {
    RECT R;
    if (!GetWindowRect(Wnd, &R)) {
        if (Flags == MONITOR_DEFAULTTONULL) return 0;
        return PrimaryMonitor(GetScreens());
    }
    return MonitorFromRect(&R, Flags);
}

BOOL GetMonitorInfo(HMONITOR Monitor, MONITORINFO* Info) {
    const std::vector<TScreenInfo> Screens = GetScreens();
    if (!Info || Monitor == 0 || Monitor > Screens.size()) return FALSE;
    const TScreenInfo& S = Screens[Monitor - 1];
    Info->rcMonitor = S.Monitor;
    Info->rcWork = S.Work;
    Info->dwFlags = S.Primary ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

BOOL SystemParametersInfo(UINT Action, UINT, void* Param, UINT) {
    if (Action != SPI_GETWORKAREA || !Param) return FALSE;
    const std::vector<TScreenInfo> Screens = GetScreens();
    *static_cast<RECT*>(Param) = Screens[PrimaryMonitor(Screens) - 1].Work;
    return TRUE;
}

RECT WorkAreaAt(POINT P) {
    MONITORINFO Info;
    if (GetMonitorInfo(MonitorFromPoint(P, MONITOR_DEFAULTTONEAREST), &Info)) return Info.rcWork;
    RECT Work{};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &Work, 0);
    return Work;
}

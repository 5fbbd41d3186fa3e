#include "platform/core/Pointer.h"

#include "platform/core/Input.h"
#include "platform/core/Messages.h"
#include "platform/gdi/Gdi.h"

namespace {

bool IsDown(int VirtualKey) {
    return GetAsyncKeyState(VirtualKey) < 0;
}

}  // namespace

POINT CursorNow() {
    POINT P;
    GetCursorPos(&P);
    return P;
}

bool IsPrimaryButtonDown() {
    return IsDown(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON);
}

bool IsSecondaryButtonDown() {
    return IsDown(GetSystemMetrics(SM_SWAPBUTTON) ? VK_LBUTTON : VK_RBUTTON);
}

void StartMouseTracking(HWND Wnd) {
    TRACKMOUSEEVENT Event;
    Event.dwFlags = TME_LEAVE;
    Event.hwndTrack = Wnd;
    TrackMouseEvent(&Event);
}

bool IsMouseTracked(HWND Wnd) {
    TRACKMOUSEEVENT Event;
    Event.dwFlags = TME_QUERY;
    TrackMouseEvent(&Event);
    return Event.hwndTrack == Wnd && (Event.dwFlags & TME_LEAVE);
}

void StopMouseTracking(HWND Wnd) {
    if (!IsMouseTracked(Wnd)) return;
    TRACKMOUSEEVENT Event;
    Event.dwFlags = TME_CANCEL | TME_LEAVE;
    Event.hwndTrack = Wnd;
    TrackMouseEvent(&Event);
    SendMessage(Wnd, WM_MOUSELEAVE, 0, 0);
}

#include "platform/core/Messages.h"

#include <time.h>

#include "platform/core/MessageLoop.h"

HWND AllocateHWnd(TWndMethod Method, TReleasable* Owner) {
    return TMessageLoop::Instance().Allocate(std::move(Method), Owner);
}

void DeallocateHWnd(HWND Wnd) {
    if (Wnd != 0) TMessageLoop::Instance().Remove(Wnd, false);
}

bool DestroyWindow(HWND Wnd) {
    return Wnd != 0 && TMessageLoop::Instance().Remove(Wnd, true);
}

bool IsWindow(HWND Wnd) {
    return Wnd != 0 && TMessageLoop::Instance().Exists(Wnd);
}

LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM, LPARAM) {
    if (Msg == WM_CLOSE) DestroyWindow(Wnd);
    return 0;
}

bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return Wnd != 0 && TMessageLoop::Instance().Post(Wnd, Msg, WParam, LParam);
}

LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return Wnd == 0 ? 0 : TMessageLoop::Instance().Send(Wnd, Msg, WParam, LParam);
}

void PostQuitMessage(int ExitCode) {
    TMessageLoop::Instance().PostQuit(ExitCode);
}

UINT_PTR SetTimer(HWND Wnd, UINT_PTR IDEvent, UINT Elapse) {
    return TMessageLoop::Instance().StartTimer(Wnd, IDEvent, Elapse);
}

bool KillTimer(HWND Wnd, UINT_PTR IDEvent) {
    return TMessageLoop::Instance().StopTimer(Wnd, IDEvent);
}

DWORD GetTickCount() {
    timespec Now{};
    clock_gettime(CLOCK_MONOTONIC, &Now);
    const auto Ms = static_cast<std::uint64_t>(Now.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(Now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(Ms);  // wraps, as callers expect
}

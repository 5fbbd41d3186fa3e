#pragma once
// How long the message loop went without a pass: a window timer ticks every few milliseconds,
// and the longest gap between two ticks (or since the last one) is the longest time the program
// could not have painted or answered. Used by tests (a bound far below any blocking wait) and by
// benchmarks (the measured value).
#include <algorithm>
#include <chrono>
#include <cstdint>

#include "platform/core/Messages.h"

class TLoopWatchdog {
  public:
    using TClock = std::chrono::steady_clock;

    explicit TLoopWatchdog(uint32_t PeriodMs = 10) {
        FWnd = AllocateHWnd([this](TMessage& M) {
            if (M.Msg == WM_TIMER) Tick();
        });
        SetTimer(FWnd, 1, PeriodMs);
        FLast = TClock::now();
    }
    ~TLoopWatchdog() {
        KillTimer(FWnd, 1);
        DeallocateHWnd(FWnd);
    }
    TLoopWatchdog(const TLoopWatchdog&) = delete;
    TLoopWatchdog& operator=(const TLoopWatchdog&) = delete;

    // The longest gap so far, the one still open included.
    std::chrono::milliseconds Longest() const {
        const TClock::duration Open = TClock::now() - FLast;
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::max(FLongest, Open));
    }

  private:
    void Tick() {
        const TClock::time_point Now = TClock::now();
        FLongest = std::max(FLongest, Now - FLast);
        FLast = Now;
    }

    HWND FWnd = 0;
    TClock::time_point FLast;
    TClock::duration FLongest{};
};

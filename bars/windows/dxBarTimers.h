#pragma once
// The framework's timers: the thread timers of hints, hover and docking and the bar windows' own
// timers (scrolling, expanding, the opening animation) all run through one service, so that a
// program and its tests can give them a clock of their own. By default they are the window
// layer's timers, on a hidden window of the framework.
//
// A timer ticks every Elapse milliseconds until it is stopped; a tick may stop or start timers,
// its own included.
#include <functional>
#include <memory>

#include "platform/classes/WinTypes.h"

using TdxBarTimerProc = std::function<void()>;

class TdxBarTimerService {
  public:
    virtual ~TdxBarTimerService() = default;
    // A new timer's id (never 0).
    virtual UINT_PTR SetTimer(UINT Elapse, TdxBarTimerProc Tick) = 0;
    // Stopping a timer that runs no more (or id 0) does nothing.
    virtual void KillTimer(UINT_PTR Id) = 0;
};

// The service in use; SetdxBarTimerService(nullptr) goes back to the window layer's timers.
TdxBarTimerService& dxBarTimers();
void SetdxBarTimerService(std::shared_ptr<TdxBarTimerService> Service);

// Stops the timer whose id Id holds, if any, and clears Id.
void dxBarKillTimer(UINT_PTR& Id);

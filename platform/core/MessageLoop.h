#pragma once
// Inside of the message layer: the queue, the window table, the window timers and the bridge to
// Qt's event loop. Only Messages.cpp and Application.cpp use it; other code uses Messages.h and
// Application.h.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>

#include "platform/core/Messages.h"

class QObject;
class TReleasable;

class TMessageLoop {
  public:
    using Clock = std::chrono::steady_clock;

    static TMessageLoop& Instance();

    // Creates the QCoreApplication (when none exists) and the Qt object that wakes the loop, on
    // the first call; later calls from another thread than that first one are a programming
    // error and abort.
    void EnsureStarted();

    HWND Allocate(TWndMethod Method, TReleasable* Owner);
    bool Remove(HWND Wnd, bool SendDestroy);
    bool Exists(HWND Wnd);

    bool Post(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    void PostQuit(int ExitCode);
    LRESULT Send(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

    UINT_PTR StartTimer(HWND Wnd, UINT_PTR IDEvent, UINT Elapse);
    bool StopTimer(HWND Wnd, UINT_PTR IDEvent);

    // The steps of a pass and of a wait; TApplication puts them together.
    void ServiceQt(bool WaitForMore);
    void QueueDueTimers();
    bool DeliverQueued();
    bool HasPendingMessages();
    // Milliseconds until the next window timer falls due (0: one is due now), or -1 for none.
    std::int64_t MillisecondsToNextTimer();
    // Keeps a Qt timer armed for the next window timer, so that Qt's own loops wake for it.
    void ArmTimerWake();
    // Arms (Ms >= 0) or cancels (Ms < 0) the time-out of a wait; true once it has fired.
    void SetWaitTimeout(std::int64_t Ms);
    bool WaitTimedOut() const { return FWaitTimedOut; }

    // Called by the Qt object for its wake event and its timers.
    void OnWakeEvent();
    void OnQtTimer(int TimerId);

  private:
    struct TWindowEntry {
        TWndMethod Method;
        TReleasable* Owner = nullptr;
        bool Destroying = false;
    };
    struct TQueued {
        HWND Wnd;
        UINT Msg;
        WPARAM WParam;
        LPARAM LParam;
        // Non-zero for WM_TIMER: the serial of the timer that queued it.
        std::uint64_t TimerSerial;
    };
    struct TTimer {
        std::chrono::milliseconds Interval{};
        Clock::time_point Due{};
        std::uint64_t Serial = 0;
        bool Queued = false;
    };
    using TTimerKey = std::pair<HWND, UINT_PTR>;

    void Erase(HWND Wnd);
    void Enqueue(const TQueued& Item);
    void Wake();
    void Deliver(const std::shared_ptr<TWindowEntry>& Entry, const TQueued& Item);
    bool TakeTimerMessage(const TQueued& Item);
    void RunForeignPass();
    void CheckThread() const;

    // Guards the queue, its counters and the window table (posting is allowed from any thread).
    std::mutex FLock;
    std::deque<TQueued> FQueue;
    std::uint64_t FPushed = 0;
    std::uint64_t FPopped = 0;
    std::unordered_map<HWND, std::shared_ptr<TWindowEntry>> FWindows;
    HWND FNextHandle = 1;

    // User-interface thread only.
    std::map<TTimerKey, TTimer> FTimers;
    std::uint64_t FNextTimerSerial = 1;
    int FServicingQt = 0;
    int FTimerWakeId = 0;
    Clock::time_point FTimerWakeDue{};
    int FWaitTimerId = 0;
    bool FWaitTimedOut = false;

    std::atomic<bool> FWakePending{false};
    std::atomic<QObject*> FPump{nullptr};
    std::thread::id FThread;
};

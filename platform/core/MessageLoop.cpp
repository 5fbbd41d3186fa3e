#include "platform/core/MessageLoop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimerEvent>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/core/Application.h"

namespace {

// The Qt object through which the queue wakes Qt's loop. It lives on the user-interface thread.
class TPump : public QObject {
  public:
    TPump(TMessageLoop& Loop, QEvent::Type WakeType) : FLoop(Loop), FWakeType(WakeType) {}

    bool event(QEvent* E) override {
        if (E->type() == FWakeType) {
            FLoop.OnWakeEvent();
            return true;
        }
        return QObject::event(E);
    }

  protected:
    void timerEvent(QTimerEvent* E) override { FLoop.OnQtTimer(E->timerId()); }

  private:
    TMessageLoop& FLoop;
    QEvent::Type FWakeType;
};

QEvent::Type WakeEventType() {
    static const auto Type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return Type;
}

std::int64_t MillisecondsUntil(TMessageLoop::Clock::time_point Due) {
    const auto Left = Due - TMessageLoop::Clock::now();
    if (Left <= TMessageLoop::Clock::duration::zero()) return 0;
    // Round up, so that a wait for the timer does not wake just before it is due.
    return std::chrono::ceil<std::chrono::milliseconds>(Left).count();
}

// Qt timers take an int of milliseconds.
int QtInterval(std::int64_t Ms) {
    return static_cast<int>(std::clamp<std::int64_t>(Ms, 0, USER_TIMER_MAXIMUM));
}

}  // namespace

TMessageLoop& TMessageLoop::Instance() {
    static TMessageLoop* Loop = new TMessageLoop;  // never freed: Qt objects may outlive statics
    return *Loop;
}

void TMessageLoop::EnsureStarted() {
    if (FPump.load(std::memory_order_acquire)) {
        CheckThread();
        return;
    }
    if (!QCoreApplication::instance()) {
        static int Argc = 1;
        static char Name[] = "kestro";
        static char* Argv[] = {Name, nullptr};
        static QCoreApplication* Created = new QCoreApplication(Argc, Argv);
        (void)Created;
    }
    FThread = std::this_thread::get_id();
    FPump.store(new TPump(*this, WakeEventType()), std::memory_order_release);
    // Messages may have been posted before the loop existed.
    Wake();
}

void TMessageLoop::CheckThread() const {
    if (std::this_thread::get_id() != FThread) {
        std::fprintf(stderr, "message loop used from a thread other than the user-interface one\n");
        std::abort();
    }
}

HWND TMessageLoop::Allocate(TWndMethod Method, TReleasable* Owner) {
    EnsureStarted();
    auto Entry = std::make_shared<TWindowEntry>();
    Entry->Method = std::move(Method);
    Entry->Owner = Owner;
    std::lock_guard Guard(FLock);
    const HWND Handle = FNextHandle++;
    FWindows.emplace(Handle, std::move(Entry));
    return Handle;
}

bool TMessageLoop::Remove(HWND Wnd, bool SendDestroy) {
    EnsureStarted();
    std::shared_ptr<TWindowEntry> Entry;
    {
        std::lock_guard Guard(FLock);
        auto It = FWindows.find(Wnd);
        if (It == FWindows.end()) return false;
        Entry = It->second;
    }
    // A window that destroys itself again from its WM_DESTROY handler gets WM_DESTROY once.
    if (SendDestroy && !Entry->Destroying) {
        Entry->Destroying = true;
        try {
            Send(Wnd, WM_DESTROY, 0, 0);
        } catch (...) {
            Erase(Wnd);
            throw;
        }
    }
    Erase(Wnd);
    return true;  // Entry goes here, outside the lock: its method may own objects
}

void TMessageLoop::Erase(HWND Wnd) {
    for (auto It = FTimers.lower_bound({Wnd, 0}); It != FTimers.end() && It->first.first == Wnd;)
        It = FTimers.erase(It);
    // Queued messages for the handle stay queued and are dropped when they come up: the handle
    // is never given out again. A delivery still running holds its own reference to the entry.
    std::shared_ptr<TWindowEntry> Entry;
    std::lock_guard Guard(FLock);
    auto It = FWindows.find(Wnd);
    if (It == FWindows.end()) return;
    Entry = std::move(It->second);
    FWindows.erase(It);
}

bool TMessageLoop::Exists(HWND Wnd) {
    std::lock_guard Guard(FLock);
    return FWindows.count(Wnd) != 0;
}

void TMessageLoop::Enqueue(const TQueued& Item) {
    {
        std::lock_guard Guard(FLock);
        FQueue.push_back(Item);
        ++FPushed;
    }
    Wake();
}

void TMessageLoop::Wake() {
    QObject* Pump = FPump.load(std::memory_order_acquire);
    if (!Pump) return;
    // One wake event at a time is enough: the pass that follows it looks at the whole queue.
    if (!FWakePending.exchange(true))
        QCoreApplication::postEvent(Pump, new QEvent(WakeEventType()));
}

bool TMessageLoop::Post(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    {
        std::lock_guard Guard(FLock);
        if (FWindows.count(Wnd) == 0) return false;
        FQueue.push_back({Wnd, Msg, WParam, LParam, 0});
        ++FPushed;
    }
    Wake();
    return true;
}

void TMessageLoop::PostQuit(int ExitCode) {
    Enqueue({0, WM_QUIT, static_cast<WPARAM>(ExitCode), 0, 0});
}

LRESULT TMessageLoop::Send(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    std::shared_ptr<TWindowEntry> Entry;
    {
        std::lock_guard Guard(FLock);
        auto It = FWindows.find(Wnd);
        if (It == FWindows.end()) return 0;
        Entry = It->second;
    }
    TDispatchScope Scope(Entry->Owner);
    TMessage Message{Msg, WParam, LParam, 0};
    Entry->Method(Message);
    return Message.Result;
}

void TMessageLoop::Deliver(const std::shared_ptr<TWindowEntry>& Entry, const TQueued& Item) {
    TDispatchScope Scope(Entry->Owner);
    TMessage Message{Item.Msg, Item.WParam, Item.LParam, 0};
    // Qt is not exception-safe: nothing a handler throws may unwind past this point.
    try {
        Entry->Method(Message);
    } catch (...) {
        Application.HandleException();
    }
}

bool TMessageLoop::DeliverQueued() {
    std::uint64_t Limit;
    {
        std::lock_guard Guard(FLock);
        Limit = FPushed;
    }
    bool Delivered = false;
    for (;;) {
        TQueued Item;
        std::shared_ptr<TWindowEntry> Entry;
        {
            std::lock_guard Guard(FLock);
            // A nested pass may have taken what this pass saw; it stops at what it saw itself.
            if (FPopped >= Limit || FQueue.empty()) break;
            Item = FQueue.front();
            FQueue.pop_front();
            ++FPopped;
            if (Item.Wnd != 0) {
                auto It = FWindows.find(Item.Wnd);
                if (It != FWindows.end()) Entry = It->second;
            }
        }
        if (Item.Wnd == 0) {
            if (Item.Msg == WM_QUIT) {
                Application.ExitCode = static_cast<int>(static_cast<LPARAM>(Item.WParam));
                Application.Terminate();
            }
            continue;
        }
        if (Item.TimerSerial != 0 && !TakeTimerMessage(Item)) continue;
        if (!Entry) continue;  // the window was destroyed after the post
        Deliver(Entry, Item);
        Delivered = true;
    }
    return Delivered;
}

bool TMessageLoop::HasPendingMessages() {
    std::lock_guard Guard(FLock);
    return !FQueue.empty();
}

UINT_PTR TMessageLoop::StartTimer(HWND Wnd, UINT_PTR IDEvent, UINT Elapse) {
    EnsureStarted();
    if (!Exists(Wnd)) return 0;
    Elapse = std::clamp(Elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    TTimer& Timer = FTimers[{Wnd, IDEvent}];
    Timer.Interval = std::chrono::milliseconds(Elapse);
    Timer.Due = Clock::now() + Timer.Interval;
    // A new serial: a WM_TIMER queued under the old settings is dropped.
    Timer.Serial = FNextTimerSerial++;
    Timer.Queued = false;
    ArmTimerWake();
    return IDEvent;
}

bool TMessageLoop::StopTimer(HWND Wnd, UINT_PTR IDEvent) {
    EnsureStarted();
    const bool Found = FTimers.erase({Wnd, IDEvent}) != 0;
    if (Found) ArmTimerWake();
    return Found;
}

void TMessageLoop::QueueDueTimers() {
    const auto Now = Clock::now();
    for (auto& [Key, Timer] : FTimers) {
        if (Timer.Queued || Timer.Due > Now) continue;
        Timer.Queued = true;
        // Periods missed while the loop was busy are not made up.
        Timer.Due = Now + Timer.Interval;
        std::lock_guard Guard(FLock);
        FQueue.push_back({Key.first, WM_TIMER, Key.second, 0, Timer.Serial});
        ++FPushed;
    }
}

bool TMessageLoop::TakeTimerMessage(const TQueued& Item) {
    auto It = FTimers.find({Item.Wnd, Item.WParam});
    if (It == FTimers.end() || It->second.Serial != Item.TimerSerial) return false;
    It->second.Queued = false;
    return true;
}

std::int64_t TMessageLoop::MillisecondsToNextTimer() {
    std::int64_t Best = -1;
    for (const auto& [Key, Timer] : FTimers) {
        // A timer whose WM_TIMER still waits in the queue cannot queue another one.
        if (Timer.Queued) continue;
        const std::int64_t Ms = MillisecondsUntil(Timer.Due);
        if (Best < 0 || Ms < Best) Best = Ms;
    }
    return Best;
}

void TMessageLoop::ArmTimerWake() {
    QObject* Pump = FPump.load(std::memory_order_relaxed);
    Clock::time_point Due = Clock::time_point::max();
    for (const auto& [Key, Timer] : FTimers)
        if (!Timer.Queued) Due = std::min(Due, Timer.Due);
    if (FTimerWakeId != 0 && Due == FTimerWakeDue) return;
    if (FTimerWakeId != 0) {
        Pump->killTimer(FTimerWakeId);
        FTimerWakeId = 0;
    }
    if (Due == Clock::time_point::max()) return;
    FTimerWakeDue = Due;
    FTimerWakeId = Pump->startTimer(QtInterval(MillisecondsUntil(Due)), Qt::PreciseTimer);
}

void TMessageLoop::SetWaitTimeout(std::int64_t Ms) {
    QObject* Pump = FPump.load(std::memory_order_relaxed);
    if (FWaitTimerId != 0) {
        Pump->killTimer(FWaitTimerId);
        FWaitTimerId = 0;
    }
    FWaitTimedOut = false;
    if (Ms >= 0) FWaitTimerId = Pump->startTimer(QtInterval(Ms), Qt::PreciseTimer);
}

void TMessageLoop::ServiceQt(bool WaitForMore) {
    ++FServicingQt;
    QCoreApplication::processEvents(WaitForMore ? QEventLoop::WaitForMoreEvents
                                                : QEventLoop::AllEvents);
    --FServicingQt;
}

void TMessageLoop::OnWakeEvent() {
    FWakePending.store(false);
    // Under a wait or a pass of our own the caller looks at the queue itself; under one of Qt's
    // loops (exec, a modal dialog) nobody would, so the pass runs from here.
    if (FServicingQt == 0) RunForeignPass();
}

void TMessageLoop::OnQtTimer(int TimerId) {
    QObject* Pump = FPump.load(std::memory_order_relaxed);
    Pump->killTimer(TimerId);
    if (TimerId == FWaitTimerId) {
        FWaitTimerId = 0;
        FWaitTimedOut = true;
        return;
    }
    if (TimerId == FTimerWakeId) FTimerWakeId = 0;
    if (FServicingQt == 0) RunForeignPass();
}

void TMessageLoop::RunForeignPass() {
    Application.FreeReleased();
    QueueDueTimers();
    DeliverQueued();
    ArmTimerWake();
}

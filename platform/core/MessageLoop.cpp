#include "platform/core/MessageLoop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>
#include <QTimerEvent>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/core/Application.h"
#include "platform/core/InputImpl.h"
#include "platform/core/LoopImpl.h"
#include "platform/core/WindowImpl.h"

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

bool IsMouseMove(UINT Msg) {
    return Msg == WM_MOUSEMOVE || Msg == WM_NCMOUSEMOVE;
}

bool IsKeyMessage(UINT Msg) {
    return Msg == WM_KEYDOWN || Msg == WM_KEYUP || Msg == WM_SYSKEYDOWN || Msg == WM_SYSKEYUP;
}

bool SameMessage(const MSG& A, const MSG& B) {
    return A.hwnd == B.hwnd && A.message == B.message && A.wParam == B.wParam &&
           A.lParam == B.lParam && A.time == B.time;
}

// Once the application object is gone (its destructor runs the post routine) or the display it
// showed on, the loop no longer touches Qt: objects freed at exit may still remove windows and
// timers.
bool QtGone = false;
// The loop left Qt because the display went, not because the program ends.
bool DisplayLeft = false;
// How often a wait without Qt looks at the queue and the clock again.
constexpr auto kWaitSlice = std::chrono::milliseconds(5);

void OnApplicationGone() {
    LoopImpl::DestroyHosts();
    QtGone = true;
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
    if (QtGone) return;
    if (!QCoreApplication::instance())
        throw Exception(
            "The application object does not exist yet: the program creates it "
            "(TApplication::InitializeQt) before it uses windows, messages or timers");
    FThread = std::this_thread::get_id();
    qAddPostRoutine(OnApplicationGone);
    FPump.store(new TPump(*this, WakeEventType()), std::memory_order_release);
    // Messages may have been posted before the loop existed.
    Wake();
}

bool TMessageLoop::OnLoopThread() const {
    return FPump.load(std::memory_order_acquire) && std::this_thread::get_id() == FThread;
}

void TMessageLoop::LeaveQt() {
    QtGone = true;
    DisplayLeft = true;
}

void TMessageLoop::CheckThread() const {
    if (std::this_thread::get_id() != FThread) {
        std::fprintf(stderr, "message loop used from a thread other than the user-interface one\n");
        std::abort();
    }
}

// ---- the window table ---------------------------------------------------------------------------

HWND TMessageLoop::Insert(std::shared_ptr<TWnd> Entry) {
    EnsureStarted();
    std::lock_guard Guard(FLock);
    const HWND Handle = FNextHandle++;
    Entry->Handle = Handle;
    FWindows.emplace(Handle, std::move(Entry));
    return Handle;
}

void TMessageLoop::Erase(HWND Wnd) {
    for (auto It = FTimers.lower_bound({Wnd, 0}); It != FTimers.end() && It->first.first == Wnd;)
        It = FTimers.erase(It);
    // Queued messages for the handle stay queued and are dropped when they come up: the handle
    // is never given out again. A delivery still running holds its own reference to the entry.
    std::shared_ptr<TWnd> Entry;
    std::lock_guard Guard(FLock);
    auto It = FWindows.find(Wnd);
    if (It == FWindows.end()) return;
    Entry = std::move(It->second);
    FWindows.erase(It);
}

std::shared_ptr<TWnd> TMessageLoop::Find(HWND Wnd) {
    // Only the loop's thread puts windows in or takes them out, so it reads the table without
    // the lock; painting and placing look windows up thousands of times a pass.
    if (OnLoopThread()) {
        auto It = FWindows.find(Wnd);
        return It == FWindows.end() ? nullptr : It->second;
    }
    std::lock_guard Guard(FLock);
    auto It = FWindows.find(Wnd);
    return It == FWindows.end() ? nullptr : It->second;
}

bool TMessageLoop::Exists(HWND Wnd) {
    std::lock_guard Guard(FLock);
    return FWindows.count(Wnd) != 0;
}

std::vector<std::shared_ptr<TWnd>> TMessageLoop::Entries() {
    std::lock_guard Guard(FLock);
    std::vector<std::shared_ptr<TWnd>> Out;
    Out.reserve(FWindows.size());
    for (const auto& [Handle, Entry] : FWindows) Out.push_back(Entry);
    return Out;
}

// ---- the queue ----------------------------------------------------------------------------------

MSG TMessageLoop::MakeMsg(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) const {
    MSG Out;
    Out.hwnd = Wnd;
    Out.message = Msg;
    Out.wParam = WParam;
    Out.lParam = LParam;
    Out.time = GetTickCount();
    // Read without a lock by other threads: a torn point is harmless for a posted message.
    Out.pt = FCursorPos;
    return Out;
}

void TMessageLoop::Push(TQueued Item) {
    {
        std::lock_guard Guard(FLock);
        Item.Seq = ++FNextSeq;
        FQueue.push_back(std::move(Item));
    }
    FActivity.fetch_add(1, std::memory_order_acq_rel);
    Wake();
}

void TMessageLoop::Wake() {
    QObject* Pump = FPump.load(std::memory_order_acquire);
    if (!Pump || QtGone) return;
    // One wake event at a time is enough: whoever handles it looks at the whole queue.
    if (!FWakePending.exchange(true))
        QCoreApplication::postEvent(Pump, new QEvent(WakeEventType()));
}

void TMessageLoop::NoteActivity() {
    FActivity.fetch_add(1, std::memory_order_acq_rel);
    Wake();
}

bool TMessageLoop::Post(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam,
                        std::shared_ptr<void> Payload) {
    TQueued Item;
    Item.Msg = MakeMsg(Wnd, Msg, WParam, LParam);
    Item.Payload = std::move(Payload);
    {
        std::lock_guard Guard(FLock);
        if (FWindows.count(Wnd) == 0) return false;  // Item (and its payload) go here
        Item.Seq = ++FNextSeq;
        FQueue.push_back(std::move(Item));
    }
    FActivity.fetch_add(1, std::memory_order_acq_rel);
    Wake();
    return true;
}

void TMessageLoop::PostQuit(int ExitCode) {
    TQueued Item;
    Item.Msg = MakeMsg(0, WM_QUIT, static_cast<WPARAM>(ExitCode), 0);
    Push(std::move(Item));
}

void TMessageLoop::PostInput(const MSG& Msg, std::string Chars,
                             std::shared_ptr<const std::array<BYTE, 256>> Keys) {
    {
        std::lock_guard Guard(FLock);
        if (IsMouseMove(Msg.message) && !FQueue.empty()) {
            TQueued& Last = FQueue.back();
            if (Last.Msg.message == Msg.message && Last.Msg.hwnd == Msg.hwnd) {
                // The waiting move now carries the newest position and key state.
                Last.Msg = Msg;
                Last.Keys = std::move(Keys);
                return;
            }
        }
    }
    TQueued Item;
    Item.Msg = Msg;
    Item.Chars = std::move(Chars);
    Item.Keys = std::move(Keys);
    Item.Typed = IsKeyMessage(Msg.message);
    Push(std::move(Item));
}

bool TMessageLoop::Matches(const TQueued& Item, HWND Filter, UINT Min, UINT Max) {
    const MSG& M = Item.Msg;
    if (M.message == WM_QUIT && M.hwnd == 0) return true;
    if (Min != 0 || Max != 0) {
        if (M.message < Min || M.message > Max) return false;
    }
    if (Filter == 0) return true;
    if (Filter == static_cast<HWND>(-1)) return M.hwnd == 0;
    // The filter window or one of its descendants (the table is locked by the caller).
    for (HWND At = M.hwnd; At != 0;) {
        if (At == Filter) return true;
        auto It = FWindows.find(At);
        if (It == FWindows.end()) return false;
        At = It->second->Parent;
    }
    return false;
}

bool TMessageLoop::TakeTimerMessage(const TQueued& Item) {
    auto It = FTimers.find({Item.Msg.hwnd, Item.Msg.wParam});
    if (It == FTimers.end() || It->second.Serial != Item.TimerSerial) return false;
    It->second.Queued = false;
    return true;
}

bool TMessageLoop::Take(MSG* Out, HWND Filter, UINT Min, UINT Max, bool Remove,
                        std::uint64_t Limit) {
    for (;;) {
        bool Typed = false;
        if (!TakeQueued(Out, Filter, Min, Max, Remove, Limit, Typed)) return false;
        // The hooks run without the lock: they may post (a menu's hook hands the key on).
        if (!Typed || InputImpl::KeyReachesItsWindow(*Out)) return true;
        if (SameMessage(*Out, FLastKey)) FLastKeyChars.clear();
    }
}

bool TMessageLoop::TakeQueued(MSG* Out, HWND Filter, UINT Min, UINT Max, bool Remove,
                              std::uint64_t Limit, bool& Typed) {
    std::vector<TQueued> Dropped;  // freed after the lock: payload destructors may post
    bool Found = false;
    {
        std::lock_guard Guard(FLock);
        for (auto It = FQueue.begin(); It != FQueue.end();) {
            const MSG& M = It->Msg;
            const bool Dead = M.hwnd != 0 && FWindows.count(M.hwnd) == 0;
            bool StaleTimer = false;
            if (!Dead && It->TimerSerial != 0) {
                auto Timer = FTimers.find({M.hwnd, M.wParam});
                StaleTimer = Timer == FTimers.end() || Timer->second.Serial != It->TimerSerial;
            }
            if (Dead || StaleTimer) {
                Dropped.push_back(std::move(*It));
                It = FQueue.erase(It);
                continue;
            }
            if (It->Seq > Limit) break;
            if (!Matches(*It, Filter, Min, Max)) {
                ++It;
                continue;
            }
            *Out = M;
            Found = true;
            if (!Remove) break;
            TQueued Item = std::move(*It);
            FQueue.erase(It);
            if (Item.TimerSerial != 0) TakeTimerMessage(Item);
            // A loop takes its next message: what it took before at this depth and never
            // dispatched is dropped now.
            const int Depth = FDispatchDepth;
            for (auto H = FHeld.begin(); H != FHeld.end();) {
                if (H->Depth >= Depth) {
                    Dropped.push_back(TQueued{H->Msg, 0, 0, std::move(H->Payload), {}, {}});
                    H = FHeld.erase(H);
                } else {
                    ++H;
                }
            }
            if (Item.Payload) FHeld.push_back(THeld{Item.Msg, Depth, std::move(Item.Payload)});
            if (Item.Msg.message == WM_KEYDOWN || Item.Msg.message == WM_SYSKEYDOWN) {
                FLastKey = Item.Msg;
                FLastKeySeq = Item.Seq;
                FLastKeyChars = std::move(Item.Chars);
            }
            if (Item.Keys) InputImpl::TookInput(*Item.Keys);
            Typed = Item.Typed;
            FCurrent = Item.Msg;
            break;
        }
    }
    return Found;
}

bool TMessageLoop::QueueCharsOf(const MSG& Key) {
    if (FLastKeyChars.empty() || !SameMessage(Key, FLastKey)) return false;
    const UINT CharMsg = Key.message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    {
        std::lock_guard Guard(FLock);
        // At the head, last character first, so that they come next and in order.
        for (auto C = FLastKeyChars.rbegin(); C != FLastKeyChars.rend(); ++C) {
            TQueued Item;
            Item.Msg = Key;
            Item.Msg.message = CharMsg;
            Item.Msg.wParam = static_cast<unsigned char>(*C);
            Item.Seq = FLastKeySeq;
            FQueue.push_front(std::move(Item));
        }
    }
    FLastKeyChars.clear();
    FActivity.fetch_add(1, std::memory_order_acq_rel);
    return true;
}

std::shared_ptr<void> TMessageLoop::TakeHeldPayload(const MSG& Msg) {
    for (auto H = FHeld.rbegin(); H != FHeld.rend(); ++H) {
        if (!SameMessage(H->Msg, Msg)) continue;
        std::shared_ptr<void> Payload = std::move(H->Payload);
        FHeld.erase(std::next(H).base());
        return Payload;
    }
    return nullptr;
}

bool TMessageLoop::HasPendingMessages() {
    std::lock_guard Guard(FLock);
    return !FQueue.empty();
}

bool TMessageLoop::TakeNext(MSG* Out, HWND Filter, UINT Min, UINT Max, bool Remove,
                            const TTakeScope& Scope) {
    if (Take(Out, Filter, Min, Max, Remove, Scope.Limit)) return true;
    if (Scope.ServiceQt) {
        // Let input, socket notices and Qt timers arrive, then look again.
        ServiceQt(false);
        QueueDueTimers();
        if (Take(Out, Filter, Min, Max, Remove, Scope.Limit)) return true;
    }
    const bool WantsPaint = (Min == 0 && Max == 0) || (Min <= WM_PAINT && WM_PAINT <= Max);
    if (!WantsPaint) return false;
    const HWND Paint =
        LoopImpl::NextWindowToPaint(Filter == static_cast<HWND>(-1) ? 0 : Filter, Scope.Painted);
    if (Paint == 0) return false;
    *Out = MSG{};
    Out->hwnd = Paint;
    Out->message = WM_PAINT;
    Out->time = GetTickCount();
    Out->pt = FCursorPos;
    return true;
}

void TMessageLoop::Housekeep(bool FreeObjects) {
    if (FreeObjects) {
        Application.FreeReleased();
        LoopImpl::DeleteRetiredHosts();
    }
    QueueDueTimers();
}

// ---- the pass -----------------------------------------------------------------------------------

bool TMessageLoop::RunPass(bool ServiceFirst) {
    if (ServiceFirst) ServiceQt(false);
    Housekeep(true);
    const bool Delivered = DeliverQueued();
    ArmTimerWake();
    return Delivered;
}

bool TMessageLoop::DeliverQueued() {
    TTakeScope Scope;
    {
        std::lock_guard Guard(FLock);
        Scope.Limit = FNextSeq;
    }
    Scope.ServiceQt = false;
    bool Delivered = false;
    MSG Msg;
    // A nested pass may take what this pass saw; this one stops at what was queued when it began.
    while (Take(&Msg, 0, 0, 0, true, Scope.Limit)) {
        if (Msg.message == WM_QUIT && Msg.hwnd == 0) {
            Application.ExitCode = static_cast<int>(static_cast<LPARAM>(Msg.wParam));
            Application.Terminate();
            continue;
        }
        LoopImpl::ProcessTaken(Msg);
        Delivered = true;
    }
    // Painting comes when nothing else waits, each window once: one that invalidates itself
    // while painting waits for the next pass.
    if (!HasPendingMessages()) {
        std::vector<HWND> Painted;
        Scope.Painted = &Painted;
        while (TakeNext(&Msg, 0, WM_PAINT, WM_PAINT, true, Scope)) {
            Painted.push_back(Msg.hwnd);
            LoopImpl::ProcessTaken(Msg);
            Delivered = true;
        }
    }
    return Delivered;
}

// ---- timers -------------------------------------------------------------------------------------

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
        TQueued Item;
        Item.Msg = MakeMsg(Key.first, WM_TIMER, Key.second, 0);
        Item.TimerSerial = Timer.Serial;
        std::lock_guard Guard(FLock);
        Item.Seq = ++FNextSeq;
        FQueue.push_back(std::move(Item));
        FActivity.fetch_add(1, std::memory_order_acq_rel);
    }
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
    if (!Pump || QtGone) return;
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

// ---- waiting and Qt -----------------------------------------------------------------------------

void TMessageLoop::ServiceQt(bool WaitForMore) {
    if (QtGone) return;
    const int SavedLevel = FServicingLevel;
    FServicingLevel = QThread::currentThread()->loopLevel();
    ++FServicingQt;
    struct TRestore {
        TMessageLoop& Loop;
        int Level;
        ~TRestore() {
            --Loop.FServicingQt;
            Loop.FServicingLevel = Level;
        }
    } Restore{*this, SavedLevel};
    QCoreApplication::processEvents(WaitForMore ? QEventLoop::WaitForMoreEvents
                                                : QEventLoop::AllEvents);
}

bool TMessageLoop::WaitUntil(const std::function<bool()>& Ready, std::int64_t TimeoutMs) {
    EnsureStarted();
    QObject* Pump = FPump.load(std::memory_order_relaxed);
    if (!Pump || QtGone) return WaitWithoutQt(Ready, TimeoutMs);
    TWait Wait;
    if (TimeoutMs >= 0) Wait.TimerId = Pump->startTimer(QtInterval(TimeoutMs), Qt::PreciseTimer);
    FWaits.push_back(&Wait);
    struct TUnregister {
        TMessageLoop& Loop;
        TWait& Wait;
        QObject* Pump;
        ~TUnregister() {
            Loop.FWaits.erase(std::find(Loop.FWaits.begin(), Loop.FWaits.end(), &Wait));
            if (Wait.TimerId != 0) Pump->killTimer(Wait.TimerId);
        }
    } Unregister{*this, Wait, Pump};
    // Timers that fall due are only noticed here; the caller queues their messages.
    for (;;) {
        if (Ready()) return true;
        if (Wait.TimedOut) return false;
        ArmTimerWake();
        ServiceQt(true);
    }
}

bool TMessageLoop::WaitWithoutQt(const std::function<bool()>& Ready, std::int64_t TimeoutMs) {
    // At exit nothing is left to wait for. After the display went, posts from other threads and
    // the clock can still end a wait: a bounded one looks at them every few milliseconds (a wait
    // without a bound could never end, so it ends at once).
    if (!DisplayLeft || TimeoutMs < 0) return Ready();
    const Clock::time_point Deadline = Clock::now() + std::chrono::milliseconds(TimeoutMs);
    while (!Ready()) {
        if (Clock::now() >= Deadline) return false;
        std::this_thread::sleep_for(kWaitSlice);
    }
    return true;
}

void TMessageLoop::OnWakeEvent() {
    FWakePending.store(false);
    // Under a wait or a pass of our own the caller looks at the queue itself. Under one of Qt's
    // loops (exec, a modal dialog) nobody would, also when that loop runs inside a handler that
    // one of our waits started: then the pass runs from here.
    if (FServicingQt == 0 || QThread::currentThread()->loopLevel() > FServicingLevel)
        RunPass(false);
}

void TMessageLoop::OnQtTimer(int TimerId) {
    QObject* Pump = FPump.load(std::memory_order_relaxed);
    Pump->killTimer(TimerId);
    for (TWait* Wait : FWaits) {
        if (Wait->TimerId != TimerId) continue;
        Wait->TimerId = 0;
        Wait->TimedOut = true;
        return;
    }
    if (TimerId == FTimerWakeId) FTimerWakeId = 0;
    if (FServicingQt == 0 || QThread::currentThread()->loopLevel() > FServicingLevel)
        RunPass(false);
}

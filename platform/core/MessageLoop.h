#pragma once
// Inside of the message layer: the queue, the window table's storage, the window timers, waiting
// and the bridge to Qt's event loop. Only the files of platform/core use it; other code uses
// Messages.h and Application.h.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/core/Messages.h"

class QObject;
class TReleasable;
struct TWnd;

class TMessageLoop {
  public:
    using Clock = std::chrono::steady_clock;

    static TMessageLoop& Instance();

    // Binds the loop to the calling thread and makes the Qt object that wakes it, on the first
    // call. Raises when the program has not created its Qt application object yet; a call from
    // another thread than the first is a programming error and aborts.
    void EnsureStarted();
    bool OnLoopThread() const;
    // The loop no longer calls into Qt (the display went away): passes deliver what is queued and
    // waits end at once, as after the application object went.
    void LeaveQt();

    // --- the window table ---
    // Gives the entry its handle (never reused) and puts it into the table.
    HWND Insert(std::shared_ptr<TWnd> Entry);
    // Takes the entry out of the table and kills its timers; queued messages for it are dropped
    // when they come up.
    void Erase(HWND Wnd);
    std::shared_ptr<TWnd> Find(HWND Wnd);
    bool Exists(HWND Wnd);
    std::vector<std::shared_ptr<TWnd>> Entries();

    // --- the queue ---
    bool Post(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, std::shared_ptr<void> Payload);
    void PostQuit(int ExitCode);
    // Input translated from Qt: Chars are the Windows-1252 bytes a key typed (for
    // TranslateMessage), Keys the key-state table as it stood then (the state GetKeyState reads
    // once the message is taken). A mouse move merges into a mouse move queued last for the same
    // window.
    void PostInput(const MSG& Msg, std::string Chars,
                   std::shared_ptr<const std::array<BYTE, 256>> Keys);
    // Takes the first queued message that matches (see PeekMessage) without servicing Qt, looking
    // no further than the message numbered Limit. The one rule of every loop: messages of windows
    // that died and WM_TIMERs of timers killed or restarted since are dropped on the way; a typed
    // key is shown to the WH_KEYBOARD hooks as it is taken (not as it arrives: a burst of keys
    // reaches the hooks one by one, each just before its window), and dropped when a hook eats it
    // or its window is gone or disabled by then; the key message taken is remembered for
    // TranslateMessage; a payload is held for DispatchMessage.
    bool Take(MSG* Out, HWND Filter, UINT Min, UINT Max, bool Remove,
              std::uint64_t Limit = UINT64_MAX);
    // How far TakeNext looks.
    struct TTakeScope {
        // No queued message after the one numbered Limit (a pass: what was queued when it began).
        std::uint64_t Limit = UINT64_MAX;
        // Nothing queued matches: Qt's pending events are serviced once and the queue looked at
        // again.
        bool ServiceQt = true;
        // Windows not to paint again (a pass paints each window once); null: none.
        const std::vector<HWND>* Painted = nullptr;
    };
    // Where every loop takes its next message: the first queued message that matches (Take);
    // then, when the range admits WM_PAINT, a window inside Filter that needs painting, as a
    // WM_PAINT made up for it (the one source of painting). False when there is neither.
    bool TakeNext(MSG* Out, HWND Filter, UINT Min, UINT Max, bool Remove, const TTakeScope& Scope);
    // What every loop does before it takes: objects handed to ReleaseLater whose handlers have
    // returned are freed and the hosts of destroyed windows deleted (FreeObjects), and every
    // window timer that is due queues its WM_TIMER.
    void Housekeep(bool FreeObjects);
    // TranslateMessage's step: queues the characters of the key message last taken.
    bool QueueCharsOf(const MSG& Key);
    // DispatchMessage's step: the payload of a taken message, released by the returned holder
    // once the dispatch ends.
    std::shared_ptr<void> TakeHeldPayload(const MSG& Msg);
    bool HasPendingMessages();
    // Counts everything that may end a wait: posts, input, invalidated windows.
    std::uint64_t Activity() const { return FActivity.load(std::memory_order_acquire); }
    // Something other than a post changed (a window became invalid): wake waits.
    void NoteActivity();

    // The message being handled, for GetMessagePos and GetMessageTime.
    const MSG& CurrentMessage() const { return FCurrent; }
    void SetCurrentMessage(const MSG& Msg) { FCurrent = Msg; }
    // The tracked cursor position that queued messages record (screen coordinates).
    POINT CursorPos() const { return FCursorPos; }
    void SetCursorPos(POINT Pos) { FCursorPos = Pos; }
    // A message as it is queued: stamped with the time and the tracked cursor position.
    MSG MakeMsg(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) const;

    // --- timers ---
    UINT_PTR StartTimer(HWND Wnd, UINT_PTR IDEvent, UINT Elapse);
    bool StopTimer(HWND Wnd, UINT_PTR IDEvent);

    // --- the steps of a pass and of a wait; TApplication and the message functions use them ---
    void ServiceQt(bool WaitForMore);
    void QueueDueTimers();
    // One pass (see TApplication::ProcessMessages), Qt's events serviced first when ServiceFirst;
    // true when it delivered a message or painted.
    bool RunPass(bool ServiceFirst);
    // Milliseconds until the next window timer falls due (0: one is due now), or -1 for none.
    std::int64_t MillisecondsToNextTimer();
    // Keeps a Qt timer armed for the next window timer, so that Qt's own loops wake for it.
    void ArmTimerWake();
    // Services Qt (blocking) until Ready() holds; false when TimeoutMs (>= 0) passed first. Each
    // wait has its own time-out, also when waits nest inside Qt handlers.
    bool WaitUntil(const std::function<bool()>& Ready, std::int64_t TimeoutMs);
    // Counts deliveries of queued messages on the stack (payloads taken at a depth are held
    // until the loop at that depth takes its next message).
    int DispatchDepth() const { return FDispatchDepth; }
    void EnterDispatch() { ++FDispatchDepth; }
    void LeaveDispatch() { --FDispatchDepth; }

    // Called by the Qt object for its wake event and its timers.
    void OnWakeEvent();
    void OnQtTimer(int TimerId);

  private:
    struct TQueued {
        MSG Msg;
        std::uint64_t Seq = 0;
        // Non-zero for WM_TIMER: the serial of the timer that queued it.
        std::uint64_t TimerSerial = 0;
        std::shared_ptr<void> Payload;
        std::string Chars;
        std::shared_ptr<const std::array<BYTE, 256>> Keys;
        // A key message of the keyboard (PostInput), not one a program posted.
        bool Typed = false;
    };
    struct TTimer {
        std::chrono::milliseconds Interval{};
        Clock::time_point Due{};
        std::uint64_t Serial = 0;
        bool Queued = false;
    };
    struct THeld {
        MSG Msg;
        int Depth = 0;
        std::shared_ptr<void> Payload;
    };
    struct TWait {
        int TimerId = 0;
        bool TimedOut = false;
    };
    using TTimerKey = std::pair<HWND, UINT_PTR>;

    void Push(TQueued Item);
    void Wake();
    bool Matches(const TQueued& Item, HWND Filter, UINT Min, UINT Max);
    // Take without the hooks; Typed tells whether a typed key was removed.
    bool TakeQueued(MSG* Out, HWND Filter, UINT Min, UINT Max, bool Remove, std::uint64_t Limit,
                    bool& Typed);
    // A WM_TIMER whose timer was killed or restarted since it was queued: false, drop it.
    bool TakeTimerMessage(const TQueued& Item);
    // Delivers what was queued when the pass began, then paints when nothing else waits.
    bool DeliverQueued();
    // WaitUntil once the loop no longer services Qt.
    bool WaitWithoutQt(const std::function<bool()>& Ready, std::int64_t TimeoutMs);
    void CheckThread() const;

    // Guards the queue, its counters and the window table (posting is allowed from any thread).
    std::mutex FLock;
    std::deque<TQueued> FQueue;
    std::uint64_t FNextSeq = 0;
    std::unordered_map<HWND, std::shared_ptr<TWnd>> FWindows;
    HWND FNextHandle = 1;
    std::atomic<std::uint64_t> FActivity{0};

    // User-interface thread only.
    std::map<TTimerKey, TTimer> FTimers;
    std::uint64_t FNextTimerSerial = 1;
    int FServicingQt = 0;
    // Qt's loop level (QThread::loopLevel) when the innermost ServiceQt started.
    int FServicingLevel = 0;
    int FTimerWakeId = 0;
    Clock::time_point FTimerWakeDue{};
    std::vector<TWait*> FWaits;
    std::vector<THeld> FHeld;
    // The key message last taken, with the characters it typed.
    MSG FLastKey{};
    std::uint64_t FLastKeySeq = 0;
    std::string FLastKeyChars;
    MSG FCurrent{};
    POINT FCursorPos{};
    int FDispatchDepth = 0;

    std::atomic<bool> FWakePending{false};
    std::atomic<QObject*> FPump{nullptr};
    std::thread::id FThread;
};

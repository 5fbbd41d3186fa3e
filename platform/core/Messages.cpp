#include "platform/core/Messages.h"

#include <time.h>

#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/core/Application.h"
#include "platform/core/HookImpl.h"
#include "platform/core/LoopImpl.h"
#include "platform/core/MessageLoop.h"
#include "platform/core/WindowImpl.h"

namespace {

// Object instances are procedure values that cannot be the address of a function: user-space
// code never lives in the top byte of the address space. The low bits count up, never reused.
constexpr std::uintptr_t kInstanceTag = std::uintptr_t(0xFF) << 56;
static_assert(sizeof(std::uintptr_t) == 8, "object instances need 64-bit procedure values");

struct TInstances {
    std::mutex Lock;
    std::unordered_map<std::uintptr_t, std::shared_ptr<TWndMethod>> Methods;
    std::uintptr_t Next = 1;
};

TInstances& Instances() {
    static TInstances* Table = new TInstances;  // outlives windows freed at exit
    return *Table;
}

std::uintptr_t ProcValue(WNDPROC Proc) {
    return reinterpret_cast<std::uintptr_t>(Proc);
}

bool IsInstance(WNDPROC Proc) {
    return (ProcValue(Proc) & kInstanceTag) == kInstanceTag;
}

std::shared_ptr<TWndMethod> FindInstance(WNDPROC Proc) {
    TInstances& Table = Instances();
    std::lock_guard Guard(Table.Lock);
    auto It = Table.Methods.find(ProcValue(Proc) & ~kInstanceTag);
    return It == Table.Methods.end() ? nullptr : It->second;
}

// The message being handled, for GetMessagePos and GetMessageTime; restored on every way out.
class TCurrentMessage {
  public:
    explicit TCurrentMessage(const MSG& Msg)
        : FLoop(TMessageLoop::Instance()), FSaved(FLoop.CurrentMessage()) {
        FLoop.SetCurrentMessage(Msg);
    }
    ~TCurrentMessage() { FLoop.SetCurrentMessage(FSaved); }
    TCurrentMessage(const TCurrentMessage&) = delete;
    TCurrentMessage& operator=(const TCurrentMessage&) = delete;

  private:
    TMessageLoop& FLoop;
    MSG FSaved;
};

// Procedure of the windows AllocateHWnd makes before their method is installed.
LRESULT UtilWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return DefWindowProc(Wnd, Msg, WParam, LParam);
}

std::shared_ptr<TWndClass> UtilWindowClass() {
    static std::shared_ptr<TWndClass> Class = [] {
        auto C = std::make_shared<TWndClass>();
        C->Name = "TPUtilWindow";
        C->Info.lpfnWndProc = UtilWindowProc;
        return C;
    }();
    return Class;
}

}  // namespace

// ---- object instances and procedures
// --------------------------------------------------------------

WNDPROC MakeObjectInstance(TWndMethod Method) {
    TInstances& Table = Instances();
    std::lock_guard Guard(Table.Lock);
    const std::uintptr_t Id = Table.Next++;
    Table.Methods.emplace(Id, std::make_shared<TWndMethod>(std::move(Method)));
    return reinterpret_cast<WNDPROC>(Id | kInstanceTag);
}

void FreeObjectInstance(WNDPROC Proc) {
    if (!IsInstance(Proc)) return;
    std::shared_ptr<TWndMethod> Method;  // freed outside the lock: it may own windows
    TInstances& Table = Instances();
    std::lock_guard Guard(Table.Lock);
    auto It = Table.Methods.find(ProcValue(Proc) & ~kInstanceTag);
    if (It == Table.Methods.end()) return;
    Method = std::move(It->second);
    Table.Methods.erase(It);
}

LRESULT CallWindowProc(WNDPROC Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!Proc) return DefWindowProc(Wnd, Msg, WParam, LParam);
    if (!IsInstance(Proc)) return Proc(Wnd, Msg, WParam, LParam);
    // The method stays alive until it returns, also when it frees its own instance.
    std::shared_ptr<TWndMethod> Method = FindInstance(Proc);
    if (!Method) return DefWindowProc(Wnd, Msg, WParam, LParam);
    TMessage Message{Msg, WParam, LParam, 0};
    (*Method)(Message);
    return Message.Result;
}

LRESULT WindowImpl::CallProcedure(const TWndPtr& W, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TDispatchScope Scope(W->DispatchOwner);
    return CallWindowProc(W->Proc, W->Handle, Msg, WParam, LParam);
}

// ---- hidden windows -----------------------------------------------------------------------------

HWND AllocateHWnd(TWndMethod Method, TReleasable* Owner) {
    auto Entry = std::make_shared<TWnd>();
    Entry->Class = UtilWindowClass();
    Entry->Proc = MakeObjectInstance(std::move(Method));
    Entry->OwnInstance = Entry->Proc;
    Entry->DispatchOwner = Owner;
    Entry->MessageOnly = true;
    Entry->State = TWndState::Alive;
    return TMessageLoop::Instance().Insert(std::move(Entry));
}

void DeallocateHWnd(HWND Wnd) {
    if (Wnd == 0) return;
    TMessageLoop::Instance().EnsureStarted();
    if (TWndPtr W = FindWnd(Wnd)) WindowImpl::RemoveEntry(*W);
}

bool IsWindow(HWND Wnd) {
    return Wnd != 0 && TMessageLoop::Instance().Exists(Wnd);
}

// ---- posting and sending ------------------------------------------------------------------------

bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return Wnd != 0 && TMessageLoop::Instance().Post(Wnd, Msg, WParam, LParam, nullptr);
}

bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, std::shared_ptr<void> Payload) {
    return Wnd != 0 && TMessageLoop::Instance().Post(Wnd, Msg, WParam, LParam, std::move(Payload));
}

LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Wnd == 0) return 0;
    TMessageLoop::Instance().EnsureStarted();
    TWndPtr W = FindWnd(Wnd);
    if (!W) return 0;
    HookImpl::CallWndProcHooks(Wnd, Msg, WParam, LParam);
    return WindowImpl::CallProcedure(W, Msg, WParam, LParam);
}

void PostQuitMessage(int ExitCode) {
    TMessageLoop::Instance().PostQuit(ExitCode);
}

// ---- taking messages ----------------------------------------------------------------------------

BOOL PeekMessage(MSG* Msg, HWND Wnd, UINT FilterMin, UINT FilterMax, UINT RemoveMsg) {
    if (!Msg) return FALSE;
    TMessageLoop& Loop = TMessageLoop::Instance();
    Loop.EnsureStarted();
    const bool Remove = (RemoveMsg & PM_REMOVE) != 0;
    Loop.Housekeep(Remove);
    if (Loop.TakeNext(Msg, Wnd, FilterMin, FilterMax, Remove, {})) return TRUE;
    Loop.ArmTimerWake();
    return FALSE;
}

BOOL GetMessage(MSG* Msg, HWND Wnd, UINT FilterMin, UINT FilterMax) {
    for (;;) {
        if (PeekMessage(Msg, Wnd, FilterMin, FilterMax, PM_REMOVE))
            return Msg->message == WM_QUIT ? FALSE : TRUE;
        WaitMessage();
    }
}

BOOL WaitMessage() {
    TMessageLoop& Loop = TMessageLoop::Instance();
    Loop.EnsureStarted();
    const std::uint64_t Seen = Loop.Activity();
    Loop.WaitUntil([&] { return Loop.Activity() != Seen || Loop.MillisecondsToNextTimer() == 0; },
                   -1);
    return TRUE;
}

BOOL TranslateMessage(const MSG* Msg) {
    if (!Msg || (Msg->message != WM_KEYDOWN && Msg->message != WM_SYSKEYDOWN)) return FALSE;
    return TMessageLoop::Instance().QueueCharsOf(*Msg) ? TRUE : FALSE;
}

LRESULT LoopImpl::DispatchQueued(const MSG& Msg) {
    TWndPtr W = FindWnd(Msg.hwnd);
    if (!W) return 0;
    TMessageLoop& Loop = TMessageLoop::Instance();
    Loop.EnterDispatch();
    struct TLeave {
        TMessageLoop& Loop;
        ~TLeave() { Loop.LeaveDispatch(); }
    } Leave{Loop};
    if (Msg.message == WM_PAINT) return PaintImpl::DispatchPaint(W);
    return WindowImpl::CallProcedure(W, Msg.message, Msg.wParam, Msg.lParam);
}

LRESULT DispatchMessage(const MSG* Msg) {
    if (!Msg) return 0;
    TMessageLoop& Loop = TMessageLoop::Instance();
    // Lives until the procedure has returned.
    std::shared_ptr<void> Payload = Loop.TakeHeldPayload(*Msg);
    TCurrentMessage Current(*Msg);
    try {
        return LoopImpl::DispatchQueued(*Msg);
    } catch (...) {
        Application.HandleException();
        return 0;
    }
}

DWORD GetMessagePos() {
    const POINT Pt = TMessageLoop::Instance().CurrentMessage().pt;
    return MAKELONG(static_cast<WORD>(Pt.x), static_cast<WORD>(Pt.y));
}

LONG GetMessageTime() {
    return static_cast<LONG>(TMessageLoop::Instance().CurrentMessage().time);
}

void LoopImpl::ProcessTaken(const MSG& Msg) {
    MSG Taken = Msg;
    if (Application.MessageHook) {
        bool Handled = false;
        // The hook runs for the message as its delivery would: the message is current, and what
        // it throws goes to the application's handler.
        TCurrentMessage Current(Taken);
        try {
            Handled = Application.MessageHook(Taken);
        } catch (...) {
            Application.HandleException();
            Handled = true;
        }
        if (Handled) {
            // A payload it carried goes now.
            TMessageLoop::Instance().TakeHeldPayload(Msg);
            return;
        }
    }
    TranslateMessage(&Taken);
    DispatchMessage(&Taken);
}

namespace {
// Loops of TModalLoop running inside each other.
int ModalDepth = 0;
}  // namespace

TModalLoop::TModalLoop(TWait Wait, std::function<bool()> Done)
    : FWait(Wait), FDone(std::move(Done)) {
    if (ModalDepth >= CoreLimits::kMaxModalDepth)
        throw Exception("Too many modal loops inside each other (" +
                        std::to_string(CoreLimits::kMaxModalDepth) + ")");
    ++ModalDepth;
}

TModalLoop::~TModalLoop() {
    --ModalDepth;
}

TModalLoop::TNext TModalLoop::Next(MSG& Msg, UINT Min, UINT Max) {
    if (PeekMessage(&Msg, 0, Min, Max, PM_REMOVE)) {
        if (Msg.message != WM_QUIT) return TNext::Message;
        // The loop outside must end too.
        PostQuitMessage(static_cast<int>(static_cast<LPARAM>(Msg.wParam)));
        return TNext::Quit;
    }
    switch (FWait) {
        case TWait::Idle:
            if (!Application.IdleThenWait([this] { return FDone && FDone(); })) return TNext::Done;
            break;
        case TWait::News:
            // What ran while the queue was looked at (a pass from a Qt callback) may have ended
            // the loop and taken the message that was to wake it.
            if (FDone && FDone()) return TNext::Done;
            WaitMessage();
            break;
        case TWait::Recheck:
            Application.WaitForEvent(kRecheckMs);
            break;
        case TWait::None:
            break;
    }
    return TNext::Idle;
}

void DropQueued(HWND Wnd, UINT FilterMin, UINT FilterMax) {
    MSG Msg;
    while (PeekMessage(&Msg, Wnd, FilterMin, FilterMax, PM_NOREMOVE)) {
        if (Msg.message == WM_QUIT) return;
        PeekMessage(&Msg, Wnd, FilterMin, FilterMax, PM_REMOVE);
    }
}

void TModalLoop::Deliver(const MSG& Msg) {
    LoopImpl::ProcessTaken(Msg);
}

bool RunModalLoop(const std::function<bool()>& Done) {
    TModalLoop Loop(TModalLoop::TWait::Idle, Done);
    MSG Msg;
    while (!Done()) {
        if (Application.Terminated()) return false;
        switch (Loop.Next(Msg)) {
            case TModalLoop::TNext::Message:
                TModalLoop::Deliver(Msg);
                break;
            case TModalLoop::TNext::Idle:
                break;
            case TModalLoop::TNext::Done:
                return true;
            case TModalLoop::TNext::Quit:
                return false;
        }
    }
    return true;
}

// ---- timers and time ----------------------------------------------------------------------------

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

void ProcessPaintMessages() {
    TModalLoop Loop(TModalLoop::TWait::None);
    MSG Msg;
    while (Loop.Next(Msg, WM_PAINT, WM_PAINT) == TModalLoop::TNext::Message)
        TModalLoop::Deliver(Msg);
}

#include "platform/core/Application.h"

#include <cstdio>

#include "platform/core/MessageLoop.h"

TApplication Application;

namespace {

// Diagnostic detail may follow the message behind a NUL; the handler gets the message alone.
bool CutAtNul(std::string& Text) {
    const auto At = Text.find('\0');
    if (At == std::string::npos) return false;
    Text.erase(At);
    return true;
}

}  // namespace

TApplication::TApplication() = default;

TApplication::~TApplication() {
    // What is still waiting at exit goes now; nothing of it can be on the stack any more.
    std::vector<TReleasable*> Left;
    Left.swap(FReleased);
    for (TReleasable* Obj : Left) delete Obj;
}

bool TApplication::ProcessMessages() {
    TMessageLoop& Loop = TMessageLoop::Instance();
    Loop.EnsureStarted();
    Loop.ServiceQt(false);
    FreeReleased();
    Loop.QueueDueTimers();
    const bool Delivered = Loop.DeliverQueued();
    Loop.ArmTimerWake();
    return Delivered;
}

bool TApplication::WaitForEvent(DWORD Timeout) {
    TMessageLoop& Loop = TMessageLoop::Instance();
    Loop.EnsureStarted();
    if (Loop.HasPendingMessages()) return true;
    const std::int64_t ToTimer = Loop.MillisecondsToNextTimer();
    if (ToTimer == 0) return true;
    if (Timeout == 0) return false;

    std::int64_t Wait = Timeout == INFINITE ? -1 : static_cast<std::int64_t>(Timeout);
    const bool ForTimer = ToTimer >= 0 && (Wait < 0 || ToTimer <= Wait);
    if (ForTimer) Wait = ToTimer;
    Loop.SetWaitTimeout(Wait);
    Loop.ServiceQt(true);
    const bool TimedOut = Loop.WaitTimedOut();
    Loop.SetWaitTimeout(-1);
    if (Loop.HasPendingMessages() || Loop.MillisecondsToNextTimer() == 0) return true;
    return !TimedOut || ForTimer;
}

void TApplication::HandleMessage() {
    TMessageLoop& Loop = TMessageLoop::Instance();
    Loop.EnsureStarted();
    if (!FTerminated && !Loop.HasPendingMessages()) WaitForEvent(INFINITE);
    ProcessMessages();
}

int TApplication::Run() {
    while (!FTerminated) HandleMessage();
    return ExitCode;
}

void TApplication::Terminate() {
    FTerminated = true;
}

void TApplication::HandleException() {
    try {
        throw;
    } catch (Exception& E) {
        std::string Text = E.Message();
        if (CutAtNul(Text)) E.SetMessage(Text);
        HandleException(E);
    } catch (const std::exception& E) {
        HandleException(E);
    } catch (...) {
        HandleException(Exception("Unknown exception"));
    }
}

void TApplication::HandleException(const std::exception& E) {
    const auto* Own = dynamic_cast<const Exception*>(&E);
    std::string Text = Own ? Own->Message() : std::string(E.what());
    const bool Cut = CutAtNul(Text);
    try {
        if (!OnException) {
            std::fprintf(stderr, "%s\n", Text.c_str());
        } else if (Own && !Cut) {
            OnException(*Own);
        } else {
            OnException(Exception(Text));
        }
    } catch (...) {
        // The handler itself failed; there is nobody left to tell but standard error.
        std::fprintf(stderr, "Exception in the exception handler: %s\n", Text.c_str());
    }
}

void TApplication::ReleaseLater(TReleasable* Obj) {
    if (!Obj || Obj->FReleasePending) return;
    Obj->FReleasePending = true;
    FReleased.push_back(Obj);
}

void TApplication::FreeReleased() {
    if (FReleased.empty()) return;
    std::vector<TReleasable*> Free;
    std::vector<TReleasable*> Keep;
    for (TReleasable* Obj : FReleased) (Obj->FDispatchDepth == 0 ? Free : Keep).push_back(Obj);
    if (Free.empty()) return;
    FReleased.swap(Keep);
    // Destructors may hand further objects to ReleaseLater; they wait for the next pass.
    for (TReleasable* Obj : Free) delete Obj;
}

#pragma once
// The application object: the message loop of the user-interface thread, the application-wide
// exception handler and deferred freeing of objects whose handlers may be on the stack.
//
// The Qt application object is explicit: the program (or the test main) creates it with
// InitializeQt before it uses windows, messages or timers.
//
// One pass (ProcessMessages):
//   1. Qt's pending events are serviced: socket notifiers, Qt timers, input (translated into
//      queued messages) and events posted to Qt objects. Their handlers are expected to post
//      window messages and return; code run from them should go through Application.Guarded so
//      that no exception unwinds through Qt.
//   2. Objects handed to ReleaseLater whose handlers have all returned are freed.
//   3. Every window timer that is due queues its WM_TIMER.
//   4. The messages queued at this point are delivered in order, each as every loop does it
//      (MessageHook, then TranslateMessage and DispatchMessage). Messages posted while they run
//      wait for the next pass. A handler may run a nested pass or a modal loop; it delivers what is
//      pending then.
//   5. When nothing is queued any more, windows that need painting get WM_PAINT, each once and
//      delivered as every loop delivers (the message hook sees it too).
// Every exception that leaves a window procedure is caught at the delivery and handed to
// HandleException; the pass goes on with the next message.
//
// Waiting: WaitForEvent sleeps in the operating system until a message is posted (from any
// thread), a window timer falls due, a window needs painting or the time-out passes; it services
// Qt's events meanwhile but never delivers window messages. Each wait keeps its own time-out,
// also when a handler that a wait runs waits itself.
//
// Qt's own loops (QCoreApplication::exec, QEventLoop::exec in a handler) deliver window messages
// and timers too: the queue wakes Qt with one custom event and runs a pass from it whenever no
// wait or pass of this layer is looking at the queue at that level. Windows of this layer never
// use Qt's modal loops: their modal loops run on TModalLoop (Messages.h).
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Exception.h"
#include "platform/core/Messages.h"

// Base of objects that may be freed while one of their own handlers runs. The message loop keeps
// a count of deliveries to the object that are on the stack (see AllocateHWnd's Owner and
// TDispatchScope); TApplication::ReleaseLater frees it only once that count is back to 0 and the
// object is not otherwise in use.
class TReleasable {
  public:
    TReleasable() = default;
    TReleasable(const TReleasable&) = delete;
    TReleasable& operator=(const TReleasable&) = delete;
    virtual ~TReleasable() = default;

    int DispatchDepth() const { return FDispatchDepth; }
    bool ReleasePending() const { return FReleasePending; }
    // Other reasons the object must not be freed yet (a handler of an object it owns is on the
    // stack); ReleaseLater waits while this says so.
    virtual bool InUse() const { return false; }

  private:
    friend class TDispatchScope;
    friend class TApplication;
    int FDispatchDepth = 0;
    bool FReleasePending = false;
};

// Marks a handler of Target as running for the lifetime of the scope (null Target: no effect).
class TDispatchScope {
  public:
    explicit TDispatchScope(TReleasable* Target) : FTarget(Target) {
        if (FTarget) ++FTarget->FDispatchDepth;
    }
    ~TDispatchScope() {
        if (FTarget) --FTarget->FDispatchDepth;
    }
    TDispatchScope(const TDispatchScope&) = delete;
    TDispatchScope& operator=(const TDispatchScope&) = delete;

  private:
    TReleasable* FTarget;
};

// The program's handler of exceptions that escaped a message handler. Exceptions that are not of
// the class library's root class arrive wrapped in one with their text.
using TExceptionEvent = std::function<void(const Exception& E)>;

class QCoreApplication;

class TApplication {
  public:
    // Creates the program's Qt application object: a QApplication (windows, Gui) or a
    // QCoreApplication (console tools). Closing the last window does not end it; the loop ends
    // with WM_QUIT / Terminate. When QT_QPA_PLATFORM is unset and there is no display, the GUI
    // object uses the offscreen platform. The caller keeps the object alive while windows and
    // messages are in use. Raises when an application object exists already.
    // Unseen: a program whose windows nobody looks at when there is no screen (a run that ends
    // by itself). On the offscreen platform it gets a QCoreApplication only: windows and their
    // pictures work on one 800x600 screen, text is measured by a fixed metric and not drawn, and
    // no Qt widget, platform plugin or font is loaded for them (no host, no wrapped control's
    // widget, no tray icon). On a screen it gets the QApplication as above.
    static std::unique_ptr<QCoreApplication> InitializeQt(int& Argc, char** Argv, bool Gui,
                                                          bool Unseen = false);

    TApplication();
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    std::string Title;
    int ExitCode = 0;
    // Unassigned: the message goes to standard error.
    TExceptionEvent OnException;
    // For the class library: sees every message a pass or a modal loop takes before it is
    // translated and dispatched; true when it handled the message (it is then not dispatched).
    std::function<bool(MSG& Msg)> MessageHook;
    // For the class library: runs whenever a loop has nothing queued and is about to wait.
    std::function<void()> IdleHook;

    // One pass, see above. True when it delivered at least one window message.
    bool ProcessMessages();
    // Waits for something to do (at most Timeout milliseconds; INFINITE waits without limit).
    // True when a message or timer is pending, a window needs painting or the application was
    // terminated; false on time-out.
    bool WaitForEvent(DWORD Timeout);
    // Waits when nothing is pending (after the idle step), then runs one pass.
    void HandleMessage();
    // The idle step: IdleHook, with its exceptions handed to HandleException.
    void Idle();
    // What every loop does when it found nothing to do: the idle step, then, unless Done holds,
    // a wait (WaitForEvent without limit). False when Done held (and nothing was waited for).
    bool IdleThenWait(const std::function<bool()>& Done);
    // Runs passes until Terminated; returns ExitCode.
    int Run();
    // Ends Run: Terminated is true from now on (a loop that has not started yet ends at once).
    void Terminate();
    bool Terminated() const { return FTerminated; }

    // Hands the exception being handled (call inside a catch block) to OnException. The text
    // is cut at its first NUL: what follows is diagnostic detail, not part of the message.
    void HandleException();
    void HandleException(const std::exception& E);
    // Runs Fn and hands whatever it throws to HandleException. For callbacks that Qt calls.
    template <class F>
    void Guarded(F&& Fn) {
        try {
            Fn();
        } catch (...) {
            HandleException();
        }
    }

    // Frees Obj (with delete) in the first pass in which none of its handlers is on the stack and
    // it is not in use.
    // Calling it twice for one object frees it once. User-interface thread only.
    void ReleaseLater(TReleasable* Obj);
    // Frees every object handed to ReleaseLater whose handlers have returned; the pass does this
    // itself.
    void FreeReleased();

  private:
    bool FTerminated = false;
    std::vector<TReleasable*> FReleased;
};

extern TApplication Application;

#include "platform/core/Application.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/core/DisplayWatch.h"
#include "platform/core/InputImpl.h"
#include "platform/core/LoopImpl.h"
#include "platform/core/MessageLoop.h"
#include "platform/core/Screens.h"

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

std::unique_ptr<QCoreApplication> TApplication::InitializeQt(int& Argc, char** Argv, bool Gui,
                                                             bool Unseen) {
    if (QCoreApplication::instance()) throw Exception("The application object exists already");
    std::unique_ptr<QCoreApplication> App;
    if (Gui) {
        const char* Platform = std::getenv("QT_QPA_PLATFORM");
        const char* X11 = std::getenv("DISPLAY");
        const char* Wayland = std::getenv("WAYLAND_DISPLAY");
        // Without a display the windows live on Qt's offscreen platform.
        if ((!Platform || !*Platform) && (!X11 || !*X11) && (!Wayland || !*Wayland))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        const char* Chosen = std::getenv("QT_QPA_PLATFORM");
        const bool OffscreenPlatform = Chosen && std::strncmp(Chosen, "offscreen", 9) == 0 &&
                                       (Chosen[9] == '\0' || Chosen[9] == ':');
        if (Unseen && OffscreenPlatform) {
            // No platform plugin, font system or Qt widget: the windows live on this layer alone,
            // on one screen of the offscreen platform's size. Qt's plain Unix event dispatcher
            // serves it (GLib's adds only code to run); what the program starts does not inherit
            // the choice.
            const bool NoGlibGiven = std::getenv("QT_NO_GLIB") != nullptr;
            if (!NoGlibGiven) setenv("QT_NO_GLIB", "1", 1);
            App = std::make_unique<QCoreApplication>(Argc, Argv);
            if (!NoGlibGiven) unsetenv("QT_NO_GLIB");
        } else {
            auto* Made = new QApplication(Argc, Argv);
            // Windows close through WM_CLOSE and the loop ends through WM_QUIT, never by Qt.
            Made->setQuitOnLastWindowClosed(false);
            App.reset(Made);
            InputImpl::Install();
            if (QGuiApplication::platformName() == QLatin1String("xcb")) WatchDisplay();
        }
        // The screen metrics of the painting layer follow the platform's screens.
        SetScreenSource(nullptr);
    } else {
        App = std::make_unique<QCoreApplication>(Argc, Argv);
    }
    TMessageLoop::Instance().EnsureStarted();
    return App;
}

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
    return Loop.RunPass(true);
}

bool TApplication::WaitForEvent(DWORD Timeout) {
    TMessageLoop& Loop = TMessageLoop::Instance();
    Loop.EnsureStarted();
    const std::uint64_t Seen = Loop.Activity();
    auto Ready = [&] {
        return FTerminated || Loop.HasPendingMessages() || Loop.MillisecondsToNextTimer() == 0 ||
               Loop.Activity() != Seen || LoopImpl::NextWindowToPaint(0) != 0;
    };
    if (Ready()) return true;
    if (Timeout == 0) return false;
    return Loop.WaitUntil(Ready, Timeout == INFINITE ? -1 : static_cast<std::int64_t>(Timeout));
}

void TApplication::HandleMessage() {
    TMessageLoop& Loop = TMessageLoop::Instance();
    Loop.EnsureStarted();
    auto Busy = [&] { return FTerminated || Loop.HasPendingMessages(); };
    if (!Busy()) IdleThenWait(Busy);
    ProcessMessages();
}

void TApplication::Idle() {
    if (IdleHook) Guarded(IdleHook);
}

bool TApplication::IdleThenWait(const std::function<bool()>& Done) {
    Idle();
    if (Done()) return false;
    WaitForEvent(INFINITE);
    return true;
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
    for (TReleasable* Obj : FReleased)
        (Obj->FDispatchDepth == 0 && !Obj->InUse() ? Free : Keep).push_back(Obj);
    if (Free.empty()) return;
    FReleased.swap(Keep);
    // Destructors may hand further objects to ReleaseLater; they wait for the next pass.
    for (TReleasable* Obj : Free) delete Obj;
}

// Qt's xcb platform ends the process with exit() from inside its event processing once it finds
// its connection to the X server broken. exit() would destroy the program's static objects while
// its forms and the run still exist on the stack, and what the run keeps in memory would be lost.
// The watch sees Qt's last words first and ends the program in order from there.
#include "platform/core/DisplayWatch.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

#include "platform/core/Application.h"
#include "platform/core/MessageLoop.h"

namespace {

// What Qt says just before it ends the process: from its event processing when the connection
// broke, and from Xlib's fatal I/O error handler, which it installs, alike.
constexpr const char* kConnectionBroke = "The X11 connection broke";

struct TDisplayState {
    std::function<void()> Handler;
    bool Gone = false;
    QtMessageHandler Previous = nullptr;
    bool Watching = false;
};

TDisplayState& State() {
    static auto* Kept = new TDisplayState;  // never freed: it outlives whatever ends the process
    return *Kept;
}

[[noreturn]] void EndProcess() {
    std::fflush(nullptr);
    std::_Exit(kDisplayLostExitCode);
}

void PassOn(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
    if (State().Previous) {
        State().Previous(Type, Context, Text);
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(Type, Context, Text)));
}

void Watch(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
    PassOn(Type, Context, Text);
    if (Type != QtWarningMsg || !Text.startsWith(QLatin1String(kConnectionBroke))) return;
    // Nothing of the program may run on another thread; at least nothing is destroyed under it.
    if (!TMessageLoop::Instance().OnLoopThread()) EndProcess();
    DisplayLost();
}

}  // namespace

void SetDisplayLostHandler(std::function<void()> Handler) {
    State().Handler = std::move(Handler);
}

void DisplayLost() {
    TDisplayState& S = State();
    if (!S.Gone) {
        S.Gone = true;
        // Qt's loop would only end the process; whatever still runs goes on without it.
        TMessageLoop::Instance().LeaveQt();
        if (S.Handler) Application.Guarded(S.Handler);
    }
    EndProcess();
}

bool DisplayGone() {
    return State().Gone;
}

void WatchDisplay() {
    TDisplayState& S = State();
    if (S.Watching) return;
    S.Watching = true;
    S.Previous = qInstallMessageHandler(Watch);
}

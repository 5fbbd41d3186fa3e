#pragma once
// Real input on a real X server for the x11 tests: xdotool run while our loop keeps going, the X
// window of a host, and waiting until the server has shown a window.
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>

#include "platform/core/Messages.h"
#include "tests/support/GuiTestSupport.h"

namespace GuiTest {

// Starts xdotool with the arguments; the loop that runs meanwhile (the test's, a modal form's)
// takes what it sends.
inline std::unique_ptr<QProcess> StartXdo(const QStringList& Args) {
    auto Process = std::make_unique<QProcess>();
    Process->setProcessChannelMode(QProcess::MergedChannels);
    Process->start(QStringLiteral("xdotool"), Args);
    return Process;
}

// Runs xdotool with the arguments while our loop keeps going; its output (both channels).
inline std::string Xdo(const QStringList& Args) {
    std::unique_ptr<QProcess> Process = StartXdo(Args);
    EXPECT_TRUE(PumpUntil([&] { return Process->state() == QProcess::NotRunning; }, 20000))
        << Args.join(' ').toStdString();
    return Process->readAllStandardOutput().toStdString();
}

inline QString Num(long N) {
    return QString::number(N);
}

// The X window of the host (the Qt window's: the platform may have made the X window again when
// the host's flags were applied).
inline QString XId(HWND Wnd) {
    return QString::number(QtWindowOf(Wnd)->winId());
}

// Whether the X server has mapped and exposed the window's host.
inline bool IsExposed(HWND Wnd) {
    QWindow* W = QtWindowOf(Wnd);
    return W && W->isExposed();
}

// Waits until the X server has mapped and exposed the window's host.
inline bool WaitExposed(HWND Wnd) {
    const bool Exposed = PumpUntil([&] { return IsExposed(Wnd); });
    Drain();
    return Exposed;
}

// A drag with the left button: pressed at From (with Ctrl held when Ctrl), moved through Path, and
// released at its last point once RestMs passed there and Rested (when given) holds. Pressed
// tells when the program has taken the press, for a press that reaches it other than as input
// (the button's key state is read otherwise).
struct TXdoDrag {
    POINT From{};
    std::vector<POINT> Path;
    int RestMs = 0;
    bool Ctrl = false;
    std::function<bool()> Rested;
    std::function<bool()> Pressed;
};

// Gives the drag one step at a time, each an xdotool run started once the program has taken the
// step before (the button down in the key state of the message last taken; the message last
// taken made at the point moved to), so that a program lagging behind a busy machine still sees
// the moves and the rest as a hand makes them. The drag loop runs inside the press, so the steps
// run from Qt timers of its waits. Then waits until Ended holds; false when it never did.
inline bool XdoDrag(const TXdoDrag& Drag, const std::function<bool()>& Ended) {
    std::unique_ptr<QProcess> Process;
    int Steps = 0;
    auto Run = [&](const QStringList& Args) {
        ++Steps;
        Process = StartXdo(Args);
    };
    auto Idle = [&] { return !Process || Process->state() == QProcess::NotRunning; };
    auto At = [](POINT P) {
        const DWORD Pos = GetMessagePos();
        return GET_X_LPARAM(LPARAM(Pos)) == P.x && GET_Y_LPARAM(LPARAM(Pos)) == P.y;
    };
    TScript Script;
    QStringList Press{"mousemove", Num(Drag.From.x), Num(Drag.From.y), "mousedown", "1"};
    if (Drag.Ctrl)
        Press << "keydown"
              << "ctrl";
    Script.Then([&, Press] { Run(Press); });
    std::function<bool()> Taken = [&] {
        return Idle() && (Drag.Pressed ? Drag.Pressed() : GetKeyState(VK_LBUTTON) < 0) &&
               (!Drag.Ctrl || GetKeyState(VK_CONTROL) < 0);
    };
    for (POINT P : Drag.Path) {
        Script.ThenWhen(Taken, [&, P] { Run({"mousemove", Num(P.x), Num(P.y)}); });
        Taken = [&, P] { return Idle() && At(P); };
    }
    QElapsedTimer Resting;
    Script.ThenWhen(Taken, [&] { Resting.start(); });
    Script.ThenWhen(
        [&] { return Resting.elapsed() >= Drag.RestMs && (!Drag.Rested || Drag.Rested()); },
        [&] {
            QStringList Release;
            if (Drag.Ctrl)
                Release << "keyup"
                        << "ctrl";
            Run(Release << "mouseup"
                        << "1");
        });
    Script.Start();
    const bool Done =
        PumpUntil([&] { return Script.Done() && Idle() && GetKeyState(VK_LBUTTON) >= 0; }, 20000);
    const DWORD Pos = GetMessagePos();
    EXPECT_TRUE(Done) << "the drag stopped after " << Steps
                      << " xdotool runs, the message last taken at " << GET_X_LPARAM(LPARAM(Pos))
                      << "," << GET_Y_LPARAM(LPARAM(Pos)) << ", the button "
                      << (GetKeyState(VK_LBUTTON) < 0 ? "down" : "up");
    return Done && PumpUntil(Ended, 20000);
}

}  // namespace GuiTest

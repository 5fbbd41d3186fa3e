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

// A drag with the left button: pressed at From (Ctrl pressed then too when Ctrl), moved through
// Path, and released at its last point once RestMs passed there and Rested (when given) holds
// (Ctrl let go after the button). Pressed tells when the program has taken the press, for a press
// that reaches it other than as input (the button's key state is read otherwise).
struct TXdoDrag {
    POINT From{};
    std::vector<POINT> Path;
    int RestMs = 0;
    bool Ctrl = false;
    std::function<bool()> Rested;
    std::function<bool()> Pressed;
};

// Gives the drag one step at a time, each an xdotool run started once the program has taken the
// step before (the key state of the message last taken; the message last taken made at the point
// moved to), so that a program lagging behind a busy machine still sees the moves and the rest
// as a hand makes them. A key and a button given in one run may reach the program in either
// order (Qt reads them from two streams of the X server), so each is a step of its own. The drag
// loop runs inside the press, so the steps run from Qt timers of its waits. A step the program
// has not taken 10 s after the step before is a failure, and the drag goes on, so that the loop
// ends. Then waits until Ended holds; false when it never did.
inline bool XdoDrag(const TXdoDrag& Drag, const std::function<bool()>& Ended) {
    std::unique_ptr<QProcess> Process;
    QElapsedTimer Since;
    Since.start();
    std::string Missed;
    auto Run = [&](const QStringList& Args) {
        Process = StartXdo(Args);
        Since.restart();
    };
    auto Idle = [&] { return !Process || Process->state() == QProcess::NotRunning; };
    auto At = [](POINT P) {
        const DWORD Pos = GetMessagePos();
        return GET_X_LPARAM(LPARAM(Pos)) == P.x && GET_Y_LPARAM(LPARAM(Pos)) == P.y;
    };
    // Ready once xdotool is done, or 10 s after the step before ran (noted as missed).
    auto Within = [&](std::function<bool()> Ready, std::string What) -> std::function<bool()> {
        return [&, Ready, What] {
            if (Idle() && Ready()) return true;
            if (Since.elapsed() < 10000) return false;
            const DWORD Pos = GetMessagePos();
            if (Missed.empty())
                Missed = What + " (the message last taken at " +
                         std::to_string(GET_X_LPARAM(LPARAM(Pos))) + "," +
                         std::to_string(GET_Y_LPARAM(LPARAM(Pos))) + ")";
            return true;
        };
    };
    TScript Script;
    Script.Then([&] { Run({"mousemove", Num(Drag.From.x), Num(Drag.From.y), "mousedown", "1"}); });
    std::function<bool()> Taken = Within(
        [&] { return Drag.Pressed ? Drag.Pressed() : GetKeyState(VK_LBUTTON) < 0; }, "the press");
    if (Drag.Ctrl) {
        Script.ThenWhen(Taken, [&] { Run({"keydown", "ctrl"}); });
        Taken = Within([] { return GetKeyState(VK_CONTROL) < 0; }, "Ctrl");
    }
    for (POINT P : Drag.Path) {
        Script.ThenWhen(Taken, [&, P] { Run({"mousemove", Num(P.x), Num(P.y)}); });
        Taken = Within([&, P] { return At(P); },
                       "the move to " + std::to_string(P.x) + "," + std::to_string(P.y));
    }
    Script.ThenWhen(Taken, [&] { Since.restart(); });
    Script.ThenWhen(
        Within([&] { return Since.elapsed() >= Drag.RestMs && (!Drag.Rested || Drag.Rested()); },
               "the rest"),
        [&] {
            Run({"mouseup", "1"});
        });
    if (Drag.Ctrl)
        Script.ThenWhen(Within([] { return GetKeyState(VK_LBUTTON) >= 0; }, "the release"), [&] {
            Run({"keyup", "ctrl"});
        });
    Script.Start();
    const bool Done =
        PumpUntil([&] { return Script.Done() && Idle() && GetKeyState(VK_LBUTTON) >= 0; }, 60000);
    EXPECT_TRUE(Done) << "the drag did not end";
    EXPECT_EQ(Missed, "") << "the program did not take this step of the drag";
    return Done && Missed.empty() && PumpUntil(Ended, 20000);
}

}  // namespace GuiTest

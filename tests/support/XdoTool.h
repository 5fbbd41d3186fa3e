#pragma once
// Real input on a real X server for the x11 tests: xdotool run while our loop keeps going, the X
// window of a host, and waiting until the server has shown a window.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>

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

}  // namespace GuiTest

#pragma once
// Real input on a real X server for the x11 tests: xdotool run while our loop keeps going, the X
// window of a host, and waiting until the server has shown a window.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <string>

#include "tests/support/GuiTestSupport.h"

namespace GuiTest {

// Runs xdotool with the arguments while our loop keeps going; its output (both channels).
inline std::string Xdo(const QStringList& Args) {
    QProcess Process;
    Process.setProcessChannelMode(QProcess::MergedChannels);
    Process.start(QStringLiteral("xdotool"), Args);
    EXPECT_TRUE(PumpUntil([&] { return Process.state() == QProcess::NotRunning; }, 20000))
        << Args.join(' ').toStdString();
    return Process.readAllStandardOutput().toStdString();
}

inline QString Num(long N) {
    return QString::number(N);
}

// The X window of the host (the Qt window's: the platform may have made the X window again when
// the host's flags were applied).
inline QString XId(HWND Wnd) {
    return QString::number(QtWindowOf(Wnd)->winId());
}

// Waits until the X server has mapped and exposed the window's host.
inline bool WaitExposed(HWND Wnd) {
    const bool Exposed = PumpUntil([&] {
        QWindow* W = QtWindowOf(Wnd);
        return W && W->isExposed();
    });
    Drain();
    return Exposed;
}

}  // namespace GuiTest

// The loss of the display: what Qt's xcb platform says when its connection to the X server broke
// ends the program through the program's own handler, with the loop off Qt, and exit code 1.
// Each case runs in a process of its own (a death test): the process ends. One that would not end
// kills itself after a bound, saying so, as the death test would wait for it for ever.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QtGlobal>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/core/DisplayWatch.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

// Qt's words, as its event processing and its Xlib error handler put them.
constexpr const char* kBroke = "The X11 connection broke (error 1). Did the X11 server die?";

// The child's whole case takes well under a second; this allows for a loaded machine.
constexpr unsigned kEndBoundSeconds = 20;
char BoundPassed[96];

void KillAtBound(int) {
    (void)!write(STDERR_FILENO, BoundPassed, std::strlen(BoundPassed));
    raise(SIGKILL);
}

// Called first in a death test's child: when it has not ended by the bound, it is killed.
void EndsWithinBound() {
    std::snprintf(BoundPassed, sizeof BoundPassed,
                  "\nthe process did not end within %u s: killed at the bound\n", kEndBoundSeconds);
    std::signal(SIGALRM, KillAtBound);
    alarm(kEndBoundSeconds);
}

class DisplayWatch : public testing::Test {
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(DisplayWatch, TheBrokenConnectionEndsTheProgramThroughItsHandlerWithTheLoopOffQt) {
    EXPECT_EXIT(
        {
            EndsWithinBound();
            WatchDisplay();
            // Other words of Qt's end nothing.
            qWarning("QXcbConnection: XCB error: 3 (BadWindow)");
            bool Delivered = false;
            const HWND Wnd = Windows().Create(0, WS_POPUP, {0, 0, 10, 10});
            Windows().Handlers[Wnd] = [&](HWND, UINT Msg, WPARAM,
                                          LPARAM) -> std::optional<LRESULT> {
                Delivered = Delivered || Msg == WM_USER;
                return std::nullopt;
            };
            SetDisplayLostHandler([&] {
                std::fprintf(stderr, "handler: gone %d\n", DisplayGone() ? 1 : 0);
                // A pass still delivers what is queued; a wait ends at its time-out, as nothing
                // of Qt's can end it.
                PostMessage(Wnd, WM_USER, 0, 0);
                Application.ProcessMessages();
                std::fprintf(stderr, "delivered %d\n", Delivered ? 1 : 0);
                std::fprintf(stderr, "woke %d\n", Application.WaitForEvent(30) ? 1 : 0);
                // An unbounded wait would never end: it ends at once.
                std::fprintf(stderr, "unbounded %d\n", Application.WaitForEvent(INFINITE) ? 1 : 0);
                // A second loss (Qt says it again) ends the process at once.
                DisplayLost();
            });
            qWarning("%s", kBroke);
            std::fprintf(stderr, "went on\n");
            std::exit(0);
        },
        testing::ExitedWithCode(kDisplayLostExitCode),
        "QXcbConnection: XCB error.*handler: gone 1\ndelivered 1\nwoke 0\nunbounded 0\n$");
}

TEST_F(DisplayWatch, AnExceptionOfTheHandlerStillEndsTheProgram) {
    EXPECT_EXIT(
        {
            EndsWithinBound();
            WatchDisplay();
            Application.OnException = [](const Exception& E) {
                std::fprintf(stderr, "handled: %s\n", E.Message().c_str());
            };
            SetDisplayLostHandler([] { throw Exception("the box could not be written"); });
            qWarning("%s", kBroke);
            std::exit(0);
        },
        testing::ExitedWithCode(kDisplayLostExitCode), "handled: the box could not be written\n$");
}

// Said on another thread, nothing of the program may run: the process ends at once.
TEST_F(DisplayWatch, OnAnotherThreadTheProcessEndsAtOnce) {
    EXPECT_EXIT(
        {
            EndsWithinBound();
            WatchDisplay();
            SetDisplayLostHandler([] { std::fprintf(stderr, "handler ran\n"); });
            std::thread([] { qWarning("%s", kBroke); }).join();
            std::exit(0);
        },
        testing::ExitedWithCode(kDisplayLostExitCode), "X11 connection broke[^\n]*\n$");
}

}  // namespace

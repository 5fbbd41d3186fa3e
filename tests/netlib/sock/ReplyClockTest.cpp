// The time limit of a reply, driven with a clock of the test's own: what a server may send when
// and still finish its reply, and what ends it.
#include "netlib/sock/ReplyClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The reply as the checks see it: at each time (ms since the command), the bytes received in all,
// and whether more had arrived than was read (the client was busy).
struct TCheck {
    uint64_t Ms;
    uint32_t Bytes;
    bool Waiting = false;
};

// The time of the first check that finds the reply out of time; -1 when none does.
int64_t CutAt(const std::vector<TCheck>& Checks, uint32_t IdleMs = 3000, uint32_t StartBytes = 0) {
    const TReplyClock::TLimit Limit{8192, 60000};
    TReplyClock Clock;
    Clock.Begin(0, StartBytes);
    for (const TCheck& Check : Checks)
        if (Clock.OutOfTime(Check.Ms, StartBytes + Check.Bytes, Check.Waiting, IdleMs, Limit))
            return int64_t(Check.Ms);
    return -1;
}

// A server sending Rate bytes a second from FirstMs on, looked at every 50 ms up to EndMs.
std::vector<TCheck> Steady(uint64_t Rate, uint64_t FirstMs, uint64_t EndMs) {
    std::vector<TCheck> Checks;
    for (uint64_t Ms = 50; Ms <= EndMs; Ms += 50)
        Checks.push_back({Ms, Ms < FirstMs ? 0u : uint32_t(1 + Rate * (Ms - FirstMs) / 1000)});
    return Checks;
}

// The same checks, with the server's bytes found waiting unread (the client was behind) at those
// for which Behind holds.
template <class F>
std::vector<TCheck> WaitingWhen(std::vector<TCheck> Checks, F Behind) {
    for (TCheck& Check : Checks) Check.Waiting = Behind(Check.Ms);
    return Checks;
}

TEST(ReplyClock, SlowRepliesEndSoonAfterTheIdleTimeFastOnesNever) {
    struct TCase {
        const char* Name;
        std::vector<TCheck> Checks;
        int64_t CutMs;
    };
    const TCase Cases[] = {
        {"a line now and then", Steady(75, 0, 60000), 3050},
        {"4 KB/s", Steady(4096, 0, 60000), 3050},
        {"just below the rate", Steady(8000, 0, 60000), 3050},
        {"just above the rate", Steady(8400, 0, 30000), -1},
        {"a fast link", Steady(1 << 20, 0, 30000), -1},
        // The server thinks before it answers: only the idle time-out watches that.
        {"fast after a long think", Steady(1 << 20, 2950, 30000), -1},
        {"dripping after a long think", Steady(100, 2950, 30000), 5950},
        // A window counts as a whole: a burst makes up for a pause within it.
        {"bursts", {{1000, 30000}, {2900, 30000}, {3050, 30000}, {4000, 60000}, {6100, 60000}}, -1},
        // Fast at first, then dripping: cut one window after the rate fell.
        {"fast, then dripping",
         {{50, 100000}, {3050, 200000}, {4000, 200100}, {6100, 200200}},
         6100},
        // Nothing comes for an idle time: the idle time-out's case, never this one's.
        {"silent", {{3050, 0}, {10000, 0}}, -1},
        {"silent after the first line", {{50, 20}, {3050, 20}, {6100, 20}}, -1},
        {"a line just before each idle time", {{50, 20}, {2900, 40}, {3050, 40}}, 3050},
        {"past the longest time", Steady(1 << 20, 0, 60100), 60050},
        // A client that was busy reads nothing for a while: the server answers only for the
        // time in which the client kept up. Busy for five seconds after the first lines, it
        // reads little for the time at last, but more waits unread.
        {"busy, then catching up with a fast server",
         {{50, 1000},
          {100, 1500},
          {5000, 30000, true},
          {5050, 2000000, true},
          {5100, 2400000},
          {8200, 9000000}},
         -1},
        {"busy, then a server that has nothing more",
         {{50, 1000}, {100, 1500}, {5000, 30000, true}, {5050, 30000}, {8100, 30010}},
         8100},
        // Bytes found waiting once keep no dripping server going: the next window is judged.
        {"a line now and then, once waiting",
         WaitingWhen(Steady(75, 0, 60000), [](uint64_t Ms) { return Ms == 1000; }), 4000},
        {"past the longest time while always behind",
         WaitingWhen(Steady(1 << 20, 0, 60100), [](uint64_t) { return true; }), 60050},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        EXPECT_EQ(CutAt(Case.Checks), Case.CutMs);
    }
}

TEST(ReplyClock, CountsThatWrapAndNoIdleTimeOut) {
    // The connection's count passes 4 GB in the middle of the reply.
    EXPECT_EQ(CutAt(Steady(4096, 0, 10000), 3000, 0xFFFFF000u), 3050);
    EXPECT_EQ(CutAt(Steady(1 << 20, 0, 10000), 3000, 0xFFFFF000u), -1);
    // Without an idle time-out only the longest time holds.
    EXPECT_EQ(CutAt(Steady(75, 0, 59000), 0), -1);
    EXPECT_EQ(CutAt(Steady(75, 0, 61000), 0), 60050);
}

}  // namespace

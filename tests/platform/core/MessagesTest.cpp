#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/platform/core/LoopHelpers.h"

namespace {

constexpr UINT WM_A = WM_USER + 1;
constexpr UINT WM_B = WM_USER + 2;
constexpr UINT WM_SENT = WM_USER + 3;
constexpr UINT WM_LATE = WM_USER + 4;

TEST(CoreMessages, PostedRunLaterInOrderSentRunAtOnce) {
    TRecordingWindow W;
    W.OnMessage = [&](TMessage& M) {
        if (M.Msg == WM_A && M.WParam == 1) {
            PostMessage(W.Handle, WM_LATE, 0, 0);
            EXPECT_EQ(SendMessage(W.Handle, WM_SENT, 0, 0), 42);
        }
        if (M.Msg == WM_SENT) M.Result = 42;
    };
    ASSERT_TRUE(PostMessage(W.Handle, WM_A, 1, 0));
    ASSERT_TRUE(PostMessage(W.Handle, WM_A, 2, 0));
    ASSERT_TRUE(PostMessage(W.Handle, WM_B, 3, 0));

    EXPECT_TRUE(Application.ProcessMessages());
    EXPECT_EQ(W.Got, (std::vector<TGot>{{WM_A, 1}, {WM_SENT, 0}, {WM_A, 2}, {WM_B, 3}}));

    // What a handler posted waits for the next pass.
    W.Got.clear();
    EXPECT_TRUE(Application.ProcessMessages());
    EXPECT_EQ(W.Got, (std::vector<TGot>{{WM_LATE, 0}}));
    EXPECT_FALSE(Application.ProcessMessages());
}

TEST(CoreMessages, NestedPassDeliversWhatIsPendingThen) {
    TRecordingWindow W;
    std::vector<std::string> Trace;
    W.OnMessage = [&](TMessage& M) {
        Trace.push_back("in " + std::to_string(M.WParam));
        if (M.WParam == 1) {
            Application.ProcessMessages();
            Trace.push_back("back in 1");
        }
        if (M.WParam == 2) PostMessage(W.Handle, WM_LATE, 4, 0);
    };
    PostMessage(W.Handle, WM_A, 1, 0);
    PostMessage(W.Handle, WM_A, 2, 0);
    PostMessage(W.Handle, WM_A, 3, 0);

    Application.ProcessMessages();
    // The nested pass took 2 and 3; 4 was posted during it and waits for the next pass, which
    // the outer pass must not run either.
    EXPECT_EQ(Trace, (std::vector<std::string>{"in 1", "in 2", "in 3", "back in 1"}));
    Application.ProcessMessages();
    EXPECT_EQ(Trace.back(), "in 4");
}

TEST(CoreMessages, MessageToDestroyedWindowIsDropped) {
    auto Old = std::make_unique<TRecordingWindow>();
    const HWND OldHandle = Old->Handle;
    ASSERT_TRUE(PostMessage(OldHandle, WM_A, 1, 0));
    ASSERT_TRUE(DestroyWindow(OldHandle));
    EXPECT_EQ(Old->Got, (std::vector<TGot>{{WM_DESTROY, 0}, {WM_NCDESTROY, 0}}));
    EXPECT_FALSE(IsWindow(OldHandle));
    EXPECT_FALSE(DestroyWindow(OldHandle));

    // A window made afterwards never gets the old handle, so the queued message still misses.
    TRecordingWindow Fresh;
    EXPECT_NE(Fresh.Handle, OldHandle);
    EXPECT_TRUE(PostMessage(Fresh.Handle, WM_B, 2, 0));
    Application.ProcessMessages();
    EXPECT_EQ(Old->Got.size(), 2u);
    EXPECT_EQ(Fresh.Got, (std::vector<TGot>{{WM_B, 2}}));

    EXPECT_FALSE(PostMessage(OldHandle, WM_A, 3, 0));
    EXPECT_EQ(SendMessage(OldHandle, WM_SENT, 0, 0), 0);
    EXPECT_FALSE(PostMessage(0, WM_A, 0, 0));
}

TEST(CoreMessages, WindowDestroyedByAnEarlierMessageOfThePassGetsNoMore) {
    TRecordingWindow Killer;
    TRecordingWindow Victim;
    Killer.OnMessage = [&](TMessage&) { DeallocateHWnd(Victim.Handle); };
    PostMessage(Killer.Handle, WM_A, 0, 0);
    PostMessage(Victim.Handle, WM_B, 0, 0);
    Application.ProcessMessages();
    EXPECT_TRUE(Victim.Got.empty());
}

TEST(CoreMessages, WindowFreedInsideItsOwnHandlerFinishesSafely) {
    // The handler's captured state must survive its own window's removal until it returns.
    auto State = std::make_shared<std::string>("still here");
    std::string Seen;
    HWND Handle = 0;
    Handle = AllocateHWnd([State, &Seen, &Handle](TMessage&) {
        DeallocateHWnd(Handle);
        Seen = *State;
    });
    State.reset();
    PostMessage(Handle, WM_A, 0, 0);
    PostMessage(Handle, WM_A, 0, 0);
    Application.ProcessMessages();
    EXPECT_EQ(Seen, "still here");
    EXPECT_FALSE(IsWindow(Handle));
}

TEST(CoreMessages, DestroyWindowSendsDestroyOnceEvenWhenItsHandlerFails) {
    TRecordingWindow Again;
    Again.OnMessage = [&](TMessage& M) {
        if (M.Msg == WM_DESTROY) {
            EXPECT_TRUE(DestroyWindow(Again.Handle));
        }
    };
    EXPECT_TRUE(DestroyWindow(Again.Handle));
    EXPECT_EQ(Again.Got, (std::vector<TGot>{{WM_DESTROY, 0}, {WM_NCDESTROY, 0}}));
    EXPECT_FALSE(IsWindow(Again.Handle));

    TRecordingWindow Failing;
    Failing.OnMessage = [](TMessage&) { throw Exception("cleanup failed"); };
    EXPECT_THROW(DestroyWindow(Failing.Handle), Exception);
    EXPECT_FALSE(IsWindow(Failing.Handle));
}

TEST(CoreMessages, DefaultProcedureDestroysOnClose) {
    HWND Handle = 0;
    Handle = AllocateHWnd(
        [&Handle](TMessage& M) { M.Result = DefWindowProc(Handle, M.Msg, M.WParam, M.LParam); });
    EXPECT_EQ(SendMessage(Handle, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(Handle));
}

TEST(CoreMessages, WordHelpers) {
    const LPARAM L = MAKELPARAM(1, 2);
    EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(L)), 1);
    EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(L)), 2);
    EXPECT_EQ(MAKELONG(0xFFFF, 0xFFFF), 0xFFFFFFFFu);
}

TEST(CoreTimers, TimerTicksUntilKilled) {
    TRecordingWindow W;
    ASSERT_EQ(SetTimer(W.Handle, 7, 10), 7u);
    ASSERT_TRUE(PumpUntil([&] { return W.Params(WM_TIMER).size() >= 2; }));
    EXPECT_TRUE(KillTimer(W.Handle, 7));
    EXPECT_FALSE(KillTimer(W.Handle, 7));
    const size_t Ticks = W.Params(WM_TIMER).size();

    // A slower timer marks a stretch of time in which the killed one would have ticked.
    SetTimer(W.Handle, 8, 60);
    ASSERT_TRUE(PumpUntil([&] { return W.Params(WM_TIMER).size() > Ticks; }));
    for (WPARAM Id : W.Params(WM_TIMER)) EXPECT_TRUE(Id == 7 || Id == 8);
    EXPECT_EQ(W.Params(WM_TIMER).back(), 8u);
    EXPECT_EQ(W.Params(WM_TIMER).size(), Ticks + 1);
    KillTimer(W.Handle, 8);
}

TEST(CoreTimers, KillTimerDropsATickAlreadyQueued) {
    TRecordingWindow W;
    W.OnMessage = [&](TMessage& M) {
        if (M.Msg == WM_A) KillTimer(W.Handle, 5);
    };
    SetTimer(W.Handle, 5, 10);
    // Counted from after the timer started, so that the tick is surely due when the wait ends.
    const DWORD Start = GetTickCount();
    // With nothing queued, the wait returns once the timer is due; no pass runs meanwhile.
    for (int Tries = 0; Tries < 100 && GetTickCount() - Start < 12; ++Tries)
        Application.WaitForEvent(1000);
    // The due tick now queues behind WM_A, whose handler kills the timer.
    PostMessage(W.Handle, WM_A, 0, 0);
    Application.ProcessMessages();
    Application.ProcessMessages();
    EXPECT_TRUE(W.Params(WM_TIMER).empty());
}

// A timer started again with the same id starts over: the tick queued by its old period is gone.
TEST(CoreTimers, RestartingATimerDropsATickAlreadyQueued) {
    TRecordingWindow W;
    W.OnMessage = [&](TMessage& M) {
        if (M.Msg == WM_A) SetTimer(W.Handle, 5, 100000);
    };
    SetTimer(W.Handle, 5, 10);
    const DWORD Start = GetTickCount();
    for (int Tries = 0; Tries < 100 && GetTickCount() - Start < 12; ++Tries)
        Application.WaitForEvent(1000);
    PostMessage(W.Handle, WM_A, 0, 0);
    Application.ProcessMessages();
    Application.ProcessMessages();
    EXPECT_TRUE(W.Params(WM_TIMER).empty());
    KillTimer(W.Handle, 5);
}

TEST(CoreTimers, TimersEndWithTheirWindowAndNeedOne) {
    EXPECT_EQ(SetTimer(0, 1, 10), 0u);
    auto W = std::make_unique<TRecordingWindow>();
    const HWND Handle = W->Handle;
    SetTimer(Handle, 1, 10);
    W.reset();
    EXPECT_FALSE(KillTimer(Handle, 1));
}

TEST(CoreTimers, TickCountAdvances) {
    const DWORD Start = GetTickCount();
    TRecordingWindow W;
    SetTimer(W.Handle, 1, 20);
    ASSERT_TRUE(PumpUntil([&] { return !W.Params(WM_TIMER).empty(); }));
    EXPECT_GE(static_cast<DWORD>(GetTickCount() - Start), 20u);
}

}  // namespace

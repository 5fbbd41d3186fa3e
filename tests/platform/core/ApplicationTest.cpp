#include <gtest/gtest.h>

#include <unistd.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <atomic>
#include <stdexcept>
#include <thread>

#include "tests/platform/core/LoopHelpers.h"

namespace {

constexpr UINT WM_THROW = WM_USER + 10;
constexpr UINT WM_WORK = WM_USER + 11;

class CoreApplication : public testing::Test {
  protected:
    void TearDown() override { Application.OnException = nullptr; }
};

// Carries diagnostic detail behind a NUL, as raised exceptions may.
class ETestError : public Exception {
  public:
    using Exception::Exception;
};

TEST_F(CoreApplication, ExceptionsReachTheHandlerAndThePassGoesOn) {
    std::vector<std::string> Caught;
    bool KeptType = false;
    Application.OnException = [&](const Exception& E) {
        Caught.push_back(E.Message());
        if (dynamic_cast<const ETestError*>(&E)) KeptType = true;
    };
    TRecordingWindow W;
    W.OnMessage = [](TMessage& M) {
        if (M.Msg != WM_THROW) return;
        if (M.WParam == 1) throw ETestError(std::string("bad box\0detail", 14));
        if (M.WParam == 2) throw std::runtime_error("plain");
        if (M.WParam == 3) throw 17;
    };
    for (WPARAM Kind = 1; Kind <= 3; ++Kind) PostMessage(W.Handle, WM_THROW, Kind, 0);
    PostMessage(W.Handle, WM_WORK, 0, 0);

    Application.ProcessMessages();
    EXPECT_EQ(Caught, (std::vector<std::string>{"bad box", "plain", "Unknown exception"}));
    EXPECT_TRUE(KeptType);
    EXPECT_EQ(W.Got.back(), (TGot{WM_WORK, 0}));
}

TEST_F(CoreApplication, DefaultHandlerWritesToStandardError) {
    TRecordingWindow W;
    W.OnMessage = [](TMessage&) { throw Exception("Datei nicht gefunden"); };
    PostMessage(W.Handle, WM_THROW, 0, 0);
    testing::internal::CaptureStderr();
    Application.ProcessMessages();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Datei nicht gefunden"),
              std::string::npos);
}

TEST_F(CoreApplication, FailingHandlerDoesNotStopTheLoop) {
    Application.OnException = [](const Exception&) { throw std::runtime_error("again"); };
    TRecordingWindow W;
    W.OnMessage = [](TMessage& M) {
        if (M.Msg == WM_THROW) throw Exception("first");
    };
    PostMessage(W.Handle, WM_THROW, 0, 0);
    PostMessage(W.Handle, WM_WORK, 0, 0);
    testing::internal::CaptureStderr();
    Application.ProcessMessages();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(W.Got.back(), (TGot{WM_WORK, 0}));
}

TEST_F(CoreApplication, GuardedHandsExceptionsToTheHandler) {
    std::string Caught;
    Application.OnException = [&](const Exception& E) { Caught = E.Message(); };
    Application.Guarded([] { throw EStreamError("stream"); });
    EXPECT_EQ(Caught, "stream");
}

// An object that owns a window and frees itself from within one of its handlers.
class TSelfFreeing : public TReleasable {
  public:
    explicit TSelfFreeing(bool& Freed) : FFreed(Freed) {
        Handle = AllocateHWnd([this](TMessage& M) { WndProc(M); }, this);
    }
    ~TSelfFreeing() override {
        DeallocateHWnd(Handle);
        FFreed = true;
    }
    HWND Handle;
    std::string Data = "alive";
    std::string SeenAfterNestedPass;

  private:
    void WndProc(TMessage& M) {
        if (M.Msg != WM_WORK) return;
        Application.ReleaseLater(this);
        Application.ReleaseLater(this);  // a second request changes nothing
        Application.ProcessMessages();   // a nested pass must not free us
        SeenAfterNestedPass = Data;
        Captured = SeenAfterNestedPass;
    }
    bool& FFreed;

  public:
    static inline std::string Captured;
};

TEST_F(CoreApplication, ReleaseLaterWaitsUntilNoHandlerIsOnTheStack) {
    bool Freed = false;
    auto* Obj = new TSelfFreeing(Freed);
    const HWND Handle = Obj->Handle;
    PostMessage(Handle, WM_WORK, 0, 0);
    Application.ProcessMessages();
    EXPECT_EQ(TSelfFreeing::Captured, "alive");
    EXPECT_FALSE(Freed);  // the handler returned after this pass had freed what it could
    Application.ProcessMessages();
    EXPECT_TRUE(Freed);
    EXPECT_FALSE(IsWindow(Handle));
}

TEST_F(CoreApplication, ObjectReleasedOutsideItsHandlersGoesOnTheNextPass) {
    bool Freed = false;
    auto* Obj = new TSelfFreeing(Freed);
    Application.ReleaseLater(Obj);
    EXPECT_FALSE(Freed);
    Application.ProcessMessages();
    EXPECT_TRUE(Freed);
}

TEST_F(CoreApplication, WaitReturnsForAPostFromAnotherThread) {
    TRecordingWindow W;
    std::atomic<bool> Waiting{false};
    std::thread Poster([&] {
        while (!Waiting.load()) std::this_thread::yield();
        PostMessage(W.Handle, WM_WORK, 99, 0);
    });
    Waiting = true;
    EXPECT_TRUE(Application.WaitForEvent(10000));
    Poster.join();
    Application.ProcessMessages();
    EXPECT_EQ(W.Params(WM_WORK), (std::vector<WPARAM>{99}));
}

TEST_F(CoreApplication, PostsFromManyThreadsAllArriveInOrderPerThread) {
    TRecordingWindow W;
    constexpr int Threads = 4;
    constexpr int PerThread = 5000;
    std::vector<std::thread> Posters;
    for (int T = 0; T < Threads; ++T)
        Posters.emplace_back([&, T] {
            for (int I = 0; I < PerThread; ++I)
                PostMessage(W.Handle, WM_WORK, static_cast<WPARAM>(T * PerThread + I), 0);
        });
    ASSERT_TRUE(PumpUntil([&] { return W.Got.size() == size_t{Threads * PerThread}; }, 20000));
    for (auto& P : Posters) P.join();
    std::vector<int> Last(Threads, -1);
    for (const TGot& G : W.Got) {
        const int T = static_cast<int>(G.WParam) / PerThread;
        const int I = static_cast<int>(G.WParam) % PerThread;
        EXPECT_EQ(I, Last[T] + 1);
        Last[T] = I;
    }
}

TEST_F(CoreApplication, SocketNotifierWakesTheWaitAndItsPostRunsInThePass) {
    // The socket layer turns descriptor readiness into posted messages this way.
    int Pipe[2];
    ASSERT_EQ(pipe(Pipe), 0);
    TRecordingWindow W;
    Application.ProcessMessages();
    QSocketNotifier Notifier(Pipe[0], QSocketNotifier::Read);
    QObject::connect(&Notifier, &QSocketNotifier::activated, [&] {
        Application.Guarded([&] {
            char Byte = 0;
            ASSERT_EQ(read(Pipe[0], &Byte, 1), 1);
            PostMessage(W.Handle, WM_WORK, static_cast<unsigned char>(Byte), 0);
        });
    });
    std::atomic<bool> Waiting{false};
    std::thread Writer([&] {
        while (!Waiting.load()) std::this_thread::yield();
        const char Byte = 'x';
        EXPECT_EQ(write(Pipe[1], &Byte, 1), 1);
    });
    Waiting = true;
    EXPECT_TRUE(Application.WaitForEvent(10000));
    Writer.join();
    ASSERT_TRUE(PumpUntil([&] { return !W.Got.empty(); }));
    EXPECT_EQ(W.Params(WM_WORK), (std::vector<WPARAM>{'x'}));
    close(Pipe[0]);
    close(Pipe[1]);
}

TEST_F(CoreApplication, WaitTimesOutWhenNothingHappens) {
    Application.ProcessMessages();
    EXPECT_FALSE(Application.WaitForEvent(0));
    EXPECT_FALSE(Application.WaitForEvent(20));
}

TEST_F(CoreApplication, RunEndsAtTheQuitMessageWithItsCode) {
    // Termination is for good; a repeated run of the suite in one process cannot test it again.
    if (Application.Terminated()) GTEST_SKIP();
    TRunBound Bound;
    TRecordingWindow W;
    SetTimer(W.Handle, 1, 10);
    W.OnMessage = [&](TMessage& M) {
        if (M.Msg == WM_TIMER && W.Params(WM_TIMER).size() == 2) PostQuitMessage(3);
    };
    EXPECT_EQ(Application.Run(), 3);
    EXPECT_TRUE(Application.Terminated());
    EXPECT_EQ(W.Params(WM_TIMER).size(), 2u);
    // Once terminated, a loop that starts ends at once.
    EXPECT_EQ(Application.Run(), 3);
}

TEST_F(CoreApplication, QtsOwnLoopDeliversMessagesAndTimers) {
    TRecordingWindow W;
    QEventLoop Loop;
    W.OnMessage = [&](TMessage& M) {
        if (M.Msg == WM_WORK) SetTimer(W.Handle, 4, 10);
        if (M.Msg == WM_TIMER) {
            KillTimer(W.Handle, 4);
            Loop.quit();
        }
    };
    Application.ProcessMessages();  // starts the layer before Qt's loop runs
    PostMessage(W.Handle, WM_WORK, 0, 0);
    BoundLoop(Loop);
    Loop.exec();
    EXPECT_EQ(W.Got, (std::vector<TGot>{{WM_WORK, 0}, {WM_TIMER, 4}}));
}

}  // namespace

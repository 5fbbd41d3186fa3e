#include <gtest/gtest.h>

#include <unistd.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <atomic>
#include <stdexcept>
#include <thread>

#include "platform/core/Limits.h"
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

// ---- passes at every nesting level ------------------------------------------------------------

// A pipe whose reading end's notifier posts what it reads to a window, as the socket layer does.
class TDataPipe {
  public:
    explicit TDataPipe(HWND Target) {
        EXPECT_EQ(pipe(FFds), 0);
        FNotifier = std::make_unique<QSocketNotifier>(FFds[0], QSocketNotifier::Read);
        QObject::connect(FNotifier.get(), &QSocketNotifier::activated, [this, Target] {
            char Buffer[4096];
            const ssize_t N = read(FFds[0], Buffer, sizeof Buffer);
            if (N > 0) PostMessage(Target, WM_WORK, static_cast<WPARAM>(N), 0);
        });
    }
    ~TDataPipe() {
        FNotifier.reset();
        close(FFds[0]);
        close(FFds[1]);
    }
    // Writes Total bytes from another thread, as a peer sends them.
    std::thread Send(size_t Total) {
        return std::thread([this, Total] {
            const std::string Chunk(512, 'd');
            for (size_t Sent = 0; Sent < Total; Sent += Chunk.size())
                EXPECT_EQ(write(FFds[1], Chunk.data(), Chunk.size()), ssize_t(Chunk.size()));
        });
    }

  private:
    int FFds[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> FNotifier;
};

TEST_F(CoreApplication, BoxesOpenedFromQtStartedHandlersKeepTheDataComing) {
    constexpr size_t Total = 64 * 512;
    struct TCase {
        const char* What;
        bool QtLoop;  // the box runs Qt's own loop, as a Qt dialog would
    };
    for (const TCase C : {TCase{"our modal loop", false}, TCase{"Qt's loop", true}}) {
        size_t Received = 0;
        QEventLoop QtBox;
        TRecordingWindow Socket;
        Socket.OnMessage = [&](TMessage& M) {
            if (M.Msg != WM_WORK) return;
            Received += M.WParam;
            if (Received >= Total) QtBox.quit();
        };
        TDataPipe Data(Socket.Handle);
        int Click[2];
        ASSERT_EQ(pipe(Click), 0);
        bool Closed = false;
        size_t ReceivedWhileOpen = 0;
        std::thread Sender;
        // The "click": a Qt notifier's handler opens the box while the data is on its way.
        QSocketNotifier ClickNotifier(Click[0], QSocketNotifier::Read);
        QObject::connect(&ClickNotifier, &QSocketNotifier::activated, [&] {
            Application.Guarded([&] {
                ClickNotifier.setEnabled(false);
                Sender = Data.Send(Total);
                if (C.QtLoop) {
                    // A bound for a broken layer: the test fails instead of hanging.
                    QTimer::singleShot(10000, &QtBox, [&] { QtBox.quit(); });
                    QtBox.exec();
                } else {
                    RunModalLoop([&] { return Received >= Total; });
                }
                ReceivedWhileOpen = Received;
                Closed = true;
            });
        });
        ASSERT_EQ(write(Click[1], "c", 1), 1);
        ASSERT_TRUE(PumpUntil([&] { return Closed; }, 30000)) << C.What;
        Sender.join();
        EXPECT_EQ(ReceivedWhileOpen, Total) << C.What;
        close(Click[0]);
        close(Click[1]);
    }
}

// ---- owned payloads ---------------------------------------------------------------------------

struct TTracked {
    static inline int Alive = 0;
    explicit TTracked(std::string T) : Text(std::move(T)) { ++Alive; }
    ~TTracked() { --Alive; }
    std::string Text;
};

std::shared_ptr<TTracked> Payload(const std::string& Text) {
    return std::make_shared<TTracked>(Text);
}

LPARAM PointerOf(const std::shared_ptr<TTracked>& P) {
    return reinterpret_cast<LPARAM>(P.get());
}

TEST_F(CoreApplication, PostedPayloadsLiveUntilHandledAndGoWhenDropped) {
    Application.ProcessMessages();
    auto W = std::make_unique<TRecordingWindow>();
    std::vector<std::string> Seen;
    W->OnMessage = [&](TMessage& M) {
        if (M.Msg != WM_WORK) return;
        // Alive while the handler runs.
        Seen.push_back(reinterpret_cast<TTracked*>(M.LParam)->Text + " " +
                       std::to_string(TTracked::Alive));
    };
    {
        auto P = Payload("delivered");
        ASSERT_TRUE(PostMessage(W->Handle, WM_WORK, 0, PointerOf(P), P));
    }
    Application.ProcessMessages();
    EXPECT_EQ(Seen, std::vector<std::string>{"delivered 1"});
    EXPECT_EQ(TTracked::Alive, 0);

    // Refused at once for a window that does not exist.
    EXPECT_FALSE(PostMessage(0x7FFFFFF0, WM_WORK, 0, 0, Payload("refused")));
    EXPECT_EQ(TTracked::Alive, 0);

    // Taken and dispatched by a loop of the program: alive until the dispatch returns.
    {
        auto P = Payload("dispatched");
        PostMessage(W->Handle, WM_WORK, 0, PointerOf(P), P);
    }
    MSG Msg;
    ASSERT_TRUE(GetMessage(&Msg, W->Handle, WM_WORK, WM_WORK));
    EXPECT_EQ(TTracked::Alive, 1);
    DispatchMessage(&Msg);
    EXPECT_EQ(Seen.back(), "dispatched 1");
    EXPECT_EQ(TTracked::Alive, 0);

    // Taken and never dispatched: it goes when that loop takes its next message.
    {
        auto P = Payload("abandoned");
        PostMessage(W->Handle, WM_WORK, 0, PointerOf(P), P);
    }
    PostMessage(W->Handle, WM_USER, 0, 0);
    ASSERT_TRUE(PeekMessage(&Msg, W->Handle, WM_WORK, WM_WORK, PM_REMOVE));
    EXPECT_EQ(TTracked::Alive, 1);
    ASSERT_TRUE(PeekMessage(&Msg, W->Handle, WM_USER, WM_USER, PM_REMOVE));
    EXPECT_EQ(TTracked::Alive, 0);

    // Queued for a window that dies before the pass, from this thread and from another.
    {
        auto P = Payload("dropped");
        PostMessage(W->Handle, WM_WORK, 0, PointerOf(P), P);
    }
    std::thread([H = W->Handle] {
        auto P = Payload("from a worker");
        PostMessage(H, WM_WORK, 0, PointerOf(P), P);
    }).join();
    EXPECT_EQ(TTracked::Alive, 2);
    W.reset();
    Application.ProcessMessages();
    EXPECT_EQ(TTracked::Alive, 0);
    EXPECT_EQ(Seen.size(), 2u);
}

// ---- waits inside waits -------------------------------------------------------------------------

TEST_F(CoreApplication, NestedWaitsEachKeepTheirOwnTimeOut) {
    while (Application.ProcessMessages()) {
    }
    // A Qt handler that runs inside a short wait waits longer itself: both end at their own
    // time-out, and the outer one says it timed out.
    bool NestedResult = true;
    bool NestedRan = false;
    QTimer::singleShot(1, [&] {
        NestedRan = true;
        NestedResult = Application.WaitForEvent(80);
    });
    EXPECT_FALSE(Application.WaitForEvent(20));
    EXPECT_TRUE(NestedRan);
    EXPECT_FALSE(NestedResult);

    // An endless wait is ended by the message it waits for, not by a nested wait's time-out.
    TRecordingWindow W;
    std::atomic<bool> NestedDone{false};
    std::atomic<bool> Posting{false};
    QTimer::singleShot(1, [&] {
        Application.WaitForEvent(10);
        NestedDone = true;
    });
    std::thread Poster([&] {
        while (!NestedDone) std::this_thread::yield();
        Posting = true;
        PostMessage(W.Handle, WM_WORK, 1, 0);
    });
    EXPECT_TRUE(Application.WaitForEvent(INFINITE));
    EXPECT_TRUE(Posting);
    Poster.join();
    Application.ProcessMessages();
    EXPECT_EQ(W.Params(WM_WORK), std::vector<WPARAM>{1});
}

TEST_F(CoreApplication, ModalLoopsInsideEachOtherStopAtTheirLimit) {
    TRecordingWindow W;
    int Depth = 0;
    int Deepest = 0;
    bool Stop = false;
    std::string Caught;
    Application.OnException = [&](const Exception& E) {
        Caught = E.Message();
        Stop = true;
    };
    // Every message opens another loop inside the one that delivered it.
    W.OnMessage = [&](TMessage& M) {
        if (M.Msg != WM_WORK) return;
        Deepest = std::max(Deepest, ++Depth);
        PostMessage(W.Handle, WM_WORK, 0, 0);
        struct TLeave {
            int& Depth;
            ~TLeave() { --Depth; }
        } Leave{Depth};
        RunModalLoop([&] { return Stop; });
    };
    PostMessage(W.Handle, WM_WORK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return Stop && Depth == 0; }));
    EXPECT_EQ(Deepest, CoreLimits::kMaxModalDepth + 1);
    EXPECT_EQ(Caught, "Too many modal loops inside each other (64)");
    Application.ProcessMessages();  // the last post meets no loop any more
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

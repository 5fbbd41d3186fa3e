#pragma once
// Helpers of the message-loop tests: a window that records what it receives.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <vector>

#include "platform/core/Application.h"
#include "platform/core/Messages.h"
#include "tests/support/TestSupport.h"

struct TGot {
    UINT Msg;
    WPARAM WParam;
    bool operator==(const TGot&) const = default;
};

// A hidden window that records what it receives; OnMessage may add behaviour.
class TRecordingWindow {
  public:
    TRecordingWindow()
        : Handle(AllocateHWnd([this](TMessage& M) {
              Got.push_back({M.Msg, M.WParam});
              if (OnMessage) OnMessage(M);
          })) {}
    ~TRecordingWindow() { DeallocateHWnd(Handle); }
    TRecordingWindow(const TRecordingWindow&) = delete;
    TRecordingWindow& operator=(const TRecordingWindow&) = delete;

    std::vector<WPARAM> Params(UINT Msg) const {
        std::vector<WPARAM> Out;
        for (const TGot& G : Got)
            if (G.Msg == Msg) Out.push_back(G.WParam);
        return Out;
    }

    std::vector<TGot> Got;
    std::function<void(TMessage&)> OnMessage;
    HWND Handle;
};

// A loop that runs until the code under test ends it (Application.Run, a QEventLoop) would hang
// the suite when that code is broken. These bounds fail the test instead and end the loop, long
// after a working loop has ended by itself.
inline constexpr UINT RunBoundMs = 20000;

// While it lives, Application.Run() ends after RunBoundMs with a failure.
class TRunBound {
  public:
    TRunBound() {
        FWindow.OnMessage = [](TMessage& M) {
            if (M.Msg != WM_TIMER) return;
            ADD_FAILURE() << "the loop did not end within " << RunBoundMs << " ms";
            Application.Terminate();
        };
        SetTimer(FWindow.Handle, 1, RunBoundMs);
    }
    ~TRunBound() { KillTimer(FWindow.Handle, 1); }

  private:
    TRecordingWindow FWindow;
};

// Loop.exec() ends after RunBoundMs with a failure (the timer dies with the loop).
inline void BoundLoop(QEventLoop& Loop) {
    QTimer::singleShot(RunBoundMs, &Loop, [&Loop] {
        ADD_FAILURE() << "the loop did not end within " << RunBoundMs << " ms";
        Loop.quit();
    });
}

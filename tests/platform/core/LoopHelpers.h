#pragma once
// Helpers of the message-loop tests: a window that records what it receives.
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

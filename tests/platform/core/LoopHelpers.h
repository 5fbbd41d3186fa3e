#pragma once
// Helpers of the message-loop tests: a recording window and a bounded drive of the loop.
#include <chrono>
#include <functional>
#include <vector>

#include "platform/core/Application.h"
#include "platform/core/Messages.h"

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

// Runs passes, waiting between them, until Done holds or the bound passes.
inline bool DriveUntil(const std::function<bool()>& Done, int BoundMs = 5000) {
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(BoundMs);
    while (!Done()) {
        const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(
            Deadline - std::chrono::steady_clock::now());
        if (Left.count() <= 0) return false;
        Application.WaitForEvent(static_cast<DWORD>(Left.count()));
        Application.ProcessMessages();
    }
    return true;
}

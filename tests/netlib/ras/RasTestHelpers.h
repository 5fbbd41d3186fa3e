#pragma once
// Shared pieces of the dial-up tests: a dialer whose events are recorded, a status display that
// records what it is told, and a captured log.
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "netlib/ras/IpRas.h"
#include "platform/core/Application.h"
#include "tests/support/TestSupport.h"

// Runs a few passes so that anything already posted is delivered.
inline void DrainPosted() {
    for (int i = 0; i < 5; ++i) Application.ProcessMessages();
}

class TRecordedDialer : public TIpRasDialer {
  public:
    TRecordedDialer() {
        OnConnected = [this](TIpCustomRasDialer*) { Events.push_back("connected"); };
        OnDisconnected = [this](TIpCustomRasDialer*) { Events.push_back("disconnected"); };
        OnDialStatus = [this](TIpCustomRasDialer*, int32_t S) {
            Events.push_back("status " + std::to_string(S));
        };
        OnDialError = [this](TIpCustomRasDialer*, int32_t E) {
            Events.push_back("error " + std::to_string(E));
        };
    }
    bool Has(const std::string& event) const {
        for (const auto& e : Events)
            if (e == event) return true;
        return false;
    }
    int Count(const std::string& event) const {
        int n = 0;
        for (const auto& e : Events) n += e == event;
        return n;
    }
    std::vector<std::string> Events;
};

class TRecordedStatus : public TIpAbstractRasStatus {
  public:
    void UpdateStatus(const std::string& Text) override { Lines.push_back(Text); }
    void StartStatus(const std::string& EntryName) override {
        Lines.push_back("start " + EntryName);
    }
    void CloseStatus() override { Lines.push_back("close"); }
    std::vector<std::string> Lines;
};

// Collects the providers' log lines while it lives.
class TCapturedLog {
  public:
    TCapturedLog() {
        FOld = SetDialupLogSink([this](const std::string& line) {
            std::lock_guard<std::mutex> lock(FMutex);
            FLines.push_back(line);
        });
    }
    ~TCapturedLog() { SetDialupLogSink(FOld); }
    std::string Find(const std::string& part) {
        std::lock_guard<std::mutex> lock(FMutex);
        for (const auto& l : FLines)
            if (l.find(part) != std::string::npos) return l;
        return {};
    }

  private:
    std::mutex FMutex;
    std::vector<std::string> FLines;
    TDialupLogSink FOld;
};

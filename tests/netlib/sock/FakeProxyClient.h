#pragma once
// A client over the fake socket that records what happens in order, and a terminal that stands
// in for the telnet window's terminal.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "netlib/sock/IpFakeSocket.h"
#include "netlib/sock/IpSock.h"
#include "netlib/sock/IpTelnet.h"

inline std::string Bytes(std::initializer_list<int> values) {
    std::string S;
    for (int V : values) S += static_cast<char>(V);
    return S;
}

class TRecordingClient : public TIpCustomClient {
  public:
    TRecordingClient() {
        DefaultPort = 119;
        SetSocketFactory([this](TIpCustomClient& c) {
            Fake = new TIpFakeSocket(c);
            return Fake;
        });
        OnError = [this](TIpSockControl*, SOCKET, int32_t code, const std::string& text) {
            Events.push_back("error " + std::to_string(code) + " " + text);
        };
        OnStatus = [this](TIpSockControl*, SOCKET, TIpStatusType e, const TIpConnRec& c,
                          const TIpSockStatRec&) {
            if (e == stConnect) {
                Events.push_back("connect");
                Conn = c;
            }
            if (e == stDisconnect) Events.push_back("close");
        };
        StatusEvents = StatusBit(stConnect) | StatusBit(stDisconnect);
    }
    void DoReadLine(SOCKET, const std::string& line) override { Events.push_back("line " + line); }

    // Connects and lets the peer accept; what the client sent first is in Fake->Written().
    TIpFakeSocket* Open(const std::string& address) {
        Connect(address);
        Fake->AcceptConnect();
        return Fake;
    }

    TIpFakeSocket* Fake = nullptr;
    std::vector<std::string> Events;
    TIpConnRec Conn;
};

class TTestTerminal : public TIpTelnetTerminal {
  public:
    void WindowSizeBytes(std::string& s) override {
        s += static_cast<char>(Cols >> 8);
        s += static_cast<char>(Cols & 0xFF);
        s += static_cast<char>(Rows >> 8);
        s += static_cast<char>(Rows & 0xFF);
    }
    std::string TelnetTermType() override { return HasEmulator ? TermType : std::string(); }

    uint16_t Cols = 80;
    uint16_t Rows = 24;
    bool HasEmulator = true;
    std::string TermType = "vt100";
};

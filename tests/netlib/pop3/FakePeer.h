#pragma once
// The server side of a mail client's connection in transcript tests: what the server says goes
// in through a fake socket, what the client sends is read back as text.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "netlib/sock/IpFakeSocket.h"
#include "platform/core/Application.h"

class TFakePeer {
  public:
    // Makes the client's next connection a fake one.
    void Install(TIpCustomClient& client) {
        client.SetSocketFactory([this](TIpCustomClient& owner) {
            Socket = new TIpFakeSocket(owner);
            return Socket;
        });
    }
    void Accept() {
        if (Connected()) Socket->AcceptConnect();
    }
    // One reply line from the server (CR LF added).
    void Say(const std::string& line) { SayAll(line + "\r\n"); }
    // Several lines in one read.
    void SayAll(const std::string& bytes) {
        if (!Connected()) return;
        Said += bytes.size();
        Socket->Feed(bytes);
    }
    // What the client sent since the last call.
    std::string Sent() { return Connected() ? Socket->TakeWritten() : std::string(); }
    void Close() {
        if (Connected()) Socket->PeerClose();
    }
    // A client that never connected fails the test here instead of crashing it.
    bool Connected() const {
        if (!Socket) ADD_FAILURE() << "the client opened no connection";
        return Socket != nullptr;
    }

    TIpFakeSocket* Socket = nullptr;
    // Bytes the server said, over every connection.
    uint64_t Said = 0;
};

// Delivers the posted messages (state changes, task completions).
inline void Pump(int passes = 4) {
    for (int i = 0; i < passes; ++i) Application.ProcessMessages();
}

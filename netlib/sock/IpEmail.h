#pragma once
// The common base of the mail and news clients (POP3, SMTP, NNTP): one place where what they
// share as clients of a line-oriented mail or news server can live.
#include <cstdint>

#include "netlib/sock/IpSock.h"

class TIpCustomEmailClass : public TIpCustomClient {
  public:
    using TIpCustomClient::TIpCustomClient;

  protected:
    // The idle time-out of the client's connections in milliseconds: stored here, put on every
    // connection when it is made, and at once on an open one. The published clients offer it.
    uint32_t IdleTimeout() const { return FIdleTimeout; }
    void SetIdleTimeout(uint32_t ms) {
        FIdleTimeout = ms;
        if (IsConnected()) SetSocketIdleTimeout(ms);
    }
    // For the connect notice.
    void ApplyIdleTimeout() {
        if (Socket()) SetSocketIdleTimeout(FIdleTimeout);
    }

    // A debug-log entry that carries one value, on the client's socket.
    void DebugValue(uint32_t entryType, uint32_t value) {
        if (DebugLog().Enabled())
            DebugLog().AddDebugValue(this, uint32_t(SocketHandle()), entryType, value, 0);
    }

  private:
    uint32_t FIdleTimeout = 0;
};

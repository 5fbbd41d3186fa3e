#pragma once
// The common base of the mail and news clients (POP3, SMTP, NNTP): one place where what they
// share as clients of a line-oriented mail or news server can live.
#include <cstdint>
#include <string>

#include "netlib/sock/IpSock.h"
#include "netlib/sock/Limits.h"
#include "netlib/sock/ReplyClock.h"

class TIpCustomEmailClass : public TIpCustomClient {
  public:
    using TIpCustomClient::TIpCustomClient;

    void TimerElapsed(uint32_t ms) override;
    // Gives the reply up: the error event with text (after ProtocolTag), then the connection is
    // closed, so that nothing more of it is read.
    void AbortReply(int32_t errCode, const std::string& text);
    // A reply was given up as too slow on this connection: a server that stopped answering in
    // time, as the idle time-out's case is (other socket errors, a time-out of the system's
    // among them, are failures of the connection).
    bool ReplyTooSlow() const { return FReplyTooSlow; }

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

    // The time limit of a whole reply (ReplyClock.h): a minimum rate over every idle time-out,
    // and a longest time.
    using TReplyTimeLimit = TReplyClock::TLimit;
    void SetReplyTimeLimit(TReplyTimeLimit limit) { FReplyLimit = limit; }
    // A command went out, or the connection was made: the reply (greeting) is timed from now.
    void BeginReply();
    // The data of a message (a mail, an article) follows on the connection: its lines are taken
    // whole up to the given size, the client's own limit on the message. An honest mailer may
    // send a body of megabytes as one line; the socket's own line limit is for replies only.
    // Every reply that begins afterwards has that limit again.
    void AllowMessageLines(uint64_t maxBytes) {
        if (Socket()) Socket()->SetMaxLineLength(maxBytes);
    }
    // The reply the client waited for is complete.
    void EndReply() { FReplyRunning = false; }
    bool ReplyRunning() const { return FReplyRunning; }
    // The line being handed out is the piece the close of the connection cut off: inside a
    // multi-line reply it ends nothing (a data line cut right after its stuffed dot reads as the
    // final dot).
    bool LineCutByClose(SOCKET socket) {
        const TIpDataSocket* S = GetSocket(socket, false);
        return S && S->DeliveringCutLine();
    }
    // The socket ends lines at CR LF only, so a status line a server ends with a bare LF comes
    // with the line after it attached: that is the reply's next line (of a mail or an article,
    // its first line). Hands read the status line up to its LF and then what follows, split the
    // same way while statusDue() says a status line comes next; a status line never holds an LF.
    template <class StatusDue, class Read>
    void ReadStatusLines(SOCKET socket, const std::string& line, StatusDue statusDue, Read read) {
        size_t at = 0;
        for (;;) {
            if (socket != SocketHandle()) return;
            const size_t end = statusDue() ? line.find('\n', at) : std::string::npos;
            if (end == std::string::npos) break;
            read(line.substr(at, end - at));
            at = end + 1;
            // Nothing followed the LF before the close.
            if (at == line.size() && LineCutByClose(socket)) return;
        }
        if (at == 0)
            read(line);  // a message's line of megabytes is not copied
        else
            read(line.substr(at));
    }
    // A line of the running reply arrived: every few hundred lines the reply's time is looked at
    // (the timer looks between reads). False when the reply has run out of time: it was given
    // up and the connection closed.
    bool ReplyLineArrived();
    // Milliseconds of a steady clock that the reply's time limit is measured by.
    virtual uint64_t ClockMs() const;
    // "[POP3] ", "[NNTP] ", ...: what the client's own error texts begin with.
    virtual std::string ProtocolTag() const { return std::string(); }

  private:
    // While the request is still going out (a posted article, a mail body) the server cannot
    // answer yet: the reply's clock starts once the last byte has left. A server that has sent
    // nothing at all is the idle time-out's case.
    bool ReplyOutOfTime();
    // Bytes the connection has received in all, line ends and partial lines included.
    uint32_t BytesReceived() const;

    uint32_t FIdleTimeout = 0;
    TReplyTimeLimit FReplyLimit{SockLimits::kReplyMinBytesPerSecond, SockLimits::kMaxReplyMs};
    bool FReplyRunning = false;
    bool FReplyTooSlow = false;
    // Set while a reply is being given up: the connection is on its way out.
    bool FAborting = false;
    TReplyClock FReplyClock;
    uint32_t FLinesSinceCheck = 0;
};

// A received line as a log or an error text shows it: control characters escaped, cut to a
// readable length.
std::string IpLineForLog(const std::string& line);

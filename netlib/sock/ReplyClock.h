#pragma once
// The time limit of one reply of a mail or news server, kept apart from the socket so that the
// rule can be tested with any clock. The idle time-out only watches for a server that sends
// nothing; a server that keeps a reply going, however slowly, would hold the task for ever. So a
// reply must also keep up a minimum rate: measured over windows as long as the idle time-out, a
// window that brought fewer than MinBytesPerSecond bytes a second ends the reply. The first
// window opens with the first bytes, so a server that thinks before it answers stays the idle
// time-out's case alone, as does one that falls quiet. Any link a mail or news server is reached
// over today moves far more than the rate; a server that drips lines to stay clear of the idle
// time-out is caught within the idle time-out plus a timer tick. Above the rate a reply ends by
// its size limit, and never takes longer than MaxMs. The rate is the server's only where the
// client kept up: a client that was busy (a long handler, a loaded machine) reads nothing for a
// while, but then the server's bytes wait unread, and a window with bytes waiting at its end is
// not held against the server.
#include <cstdint>

class TReplyClock {
  public:
    struct TLimit {
        uint64_t MinBytesPerSecond;
        uint32_t MaxMs;
    };

    // The reply is timed from NowMs; Bytes is the connection's received count then (a count that
    // wraps at 4 GB: only differences are taken).
    void Begin(uint64_t NowMs, uint32_t Bytes);
    // True when the reply has run out of time at NowMs with Bytes received. Waiting: more of
    // the reply has arrived than was read (the client was busy: a long handler, a loaded
    // machine), so the time since the window opened says nothing of the server and the window
    // starts afresh. IdleMs 0 (no idle time-out) leaves MaxMs alone in force.
    bool OutOfTime(uint64_t NowMs, uint32_t Bytes, bool Waiting, uint32_t IdleMs,
                   const TLimit& Limit);

  private:
    // The next window opens at NowMs; the reply is not out of time.
    bool NextWindow(uint64_t NowMs, uint32_t Bytes);

    uint64_t FStartMs = 0;
    uint32_t FStartBytes = 0;
    bool FWindowOpen = false;
    uint64_t FWindowMs = 0;
    uint32_t FWindowBytes = 0;
    // The count as the last check saw it, and when it last grew.
    uint32_t FLastBytes = 0;
    uint64_t FLastGrowthMs = 0;
};

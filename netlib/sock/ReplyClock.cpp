#include "netlib/sock/ReplyClock.h"

void TReplyClock::Begin(uint64_t NowMs, uint32_t Bytes) {
    FStartMs = NowMs;
    FStartBytes = Bytes;
    FWindowOpen = false;
}

bool TReplyClock::OutOfTime(uint64_t NowMs, uint32_t Bytes, bool Waiting, uint32_t IdleMs,
                            const TLimit& Limit) {
    // Nothing has come yet: a silent server is the idle time-out's case.
    if (uint32_t(Bytes - FStartBytes) == 0) return false;
    if (!FWindowOpen) {
        FWindowOpen = true;
        FWindowMs = NowMs;
        FWindowBytes = FStartBytes;
        FLastBytes = Bytes;
        FLastGrowthMs = NowMs;
    }
    if (Bytes != FLastBytes || Waiting) {
        FLastBytes = Bytes;
        FLastGrowthMs = NowMs;
    }
    if (NowMs - FStartMs > Limit.MaxMs) return true;
    if (IdleMs == 0 || Limit.MinBytesPerSecond == 0) return false;
    // The server only answers for time in which the client kept up with it.
    if (Waiting) return NextWindow(NowMs, Bytes);
    const uint64_t WindowMs = NowMs - FWindowMs;
    if (WindowMs < IdleMs) return false;
    // Quiet for an idle time: the idle time-out ends it, as it does a server that never answered.
    if (NowMs - FLastGrowthMs >= IdleMs) return false;
    const uint64_t InWindow = uint32_t(Bytes - FWindowBytes);
    if (InWindow * 1000 < Limit.MinBytesPerSecond * WindowMs) return true;
    return NextWindow(NowMs, Bytes);
}

bool TReplyClock::NextWindow(uint64_t NowMs, uint32_t Bytes) {
    FWindowMs = NowMs;
    FWindowBytes = Bytes;
    return false;
}

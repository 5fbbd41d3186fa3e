#include "platform/system/SystemClock.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {
TRealSystemClock& RealClock() {
    static TRealSystemClock clock;
    return clock;
}
ISystemClock* gInstalled = nullptr;
}  // namespace

ISystemClock::TimePoint TRealSystemClock::Now() const {
    return std::chrono::system_clock::now();
}

TSetTimeResult TRealSystemClock::SetSystemTime(TimePoint time) {
    // Test runs (as root) must never move the machine's clock.
    const char* mode = std::getenv("KESTRO_CLOCK");
    if (mode != nullptr && std::strcmp(mode, "none") == 0) {
        FLastError = 0;
        return TSetTimeResult::Disabled;
    }
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
    timespec ts;
    ts.tv_sec = time_t(ns / 1000000000);
    ts.tv_nsec = long(ns % 1000000000);
    if (ts.tv_nsec < 0) {
        ts.tv_nsec += 1000000000;
        ts.tv_sec -= 1;
    }
    if (::clock_settime(CLOCK_REALTIME, &ts) != 0) {
        FLastError = errno;
        return TSetTimeResult::Failed;
    }
    FLastError = 0;
    return TSetTimeResult::Set;
}

TSetTimeResult TFakeSystemClock::SetSystemTime(TimePoint time) {
    FSetCalls.push_back(time);
    if (FResult == TSetTimeResult::Set) FNow = time;
    return FResult;
}

ISystemClock& SystemClock() {
    return gInstalled ? *gInstalled : RealClock();
}

ISystemClock* SetSystemClock(ISystemClock* clock) {
    ISystemClock* previous = gInstalled;
    gInstalled = clock;
    return previous;
}

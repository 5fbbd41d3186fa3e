#pragma once
// The machine's clock behind an interface, so tests can use a fake one.
#include <chrono>
#include <string>
#include <vector>

enum class TSetTimeResult {
    Set,       // the clock was set
    Failed,    // clock_settime refused (errno kept in LastError), typically missing privilege
    Disabled,  // KESTRO_CLOCK=none: nothing was set; the caller logs the time it would set
};

class ISystemClock {
  public:
    using TimePoint = std::chrono::system_clock::time_point;
    virtual ~ISystemClock() = default;
    // The current time.
    virtual TimePoint Now() const = 0;
    // Sets the machine's clock to time (a point in time, so time zones do not matter).
    virtual TSetTimeResult SetSystemTime(TimePoint time) = 0;
    // errno of the last failed SetSystemTime (0 otherwise).
    virtual int LastError() const = 0;
};

// The real clock: system_clock and clock_settime(CLOCK_REALTIME). KESTRO_CLOCK=none in the
// environment (read at every call) turns setting off.
class TRealSystemClock : public ISystemClock {
  public:
    TimePoint Now() const override;
    TSetTimeResult SetSystemTime(TimePoint time) override;
    int LastError() const override { return FLastError; }

  private:
    int FLastError = 0;
};

// A clock for tests: Now() is whatever was set or advanced; SetSystemTime records the time,
// moves Now() there when the result is Set, and returns the configured result.
class TFakeSystemClock : public ISystemClock {
  public:
    explicit TFakeSystemClock(TimePoint now = TimePoint()) : FNow(now) {}
    TimePoint Now() const override { return FNow; }
    TSetTimeResult SetSystemTime(TimePoint time) override;
    int LastError() const override { return FResult == TSetTimeResult::Failed ? FError : 0; }

    void SetNow(TimePoint now) { FNow = now; }
    void Advance(std::chrono::system_clock::duration d) { FNow += d; }
    // What SetSystemTime answers from now on (and the errno for Failed).
    void SetResult(TSetTimeResult result, int error = 1 /* EPERM */) {
        FResult = result;
        FError = error;
    }
    // Every time SetSystemTime was asked to set, in order.
    const std::vector<TimePoint>& SetCalls() const { return FSetCalls; }

  private:
    TimePoint FNow;
    TSetTimeResult FResult = TSetTimeResult::Set;
    int FError = 1;
    std::vector<TimePoint> FSetCalls;
};

// The clock the program uses: the real one unless another was installed.
ISystemClock& SystemClock();
// Installs a clock (not owned; nullptr restores the real one); returns the previous one installed
// (nullptr when it was the real one).
ISystemClock* SetSystemClock(ISystemClock* clock);

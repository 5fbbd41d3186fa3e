#pragma once
// A clock for animated graphics that the test advances: armed, it fires each time its interval
// has passed, as the class library's timer would; arming it again or changing its interval
// starts the interval over.
#include <algorithm>
#include <memory>

#include "htmlview/anim/IpAnim.h"

class TFakeAnimationClock : public TIpAnimationTimer {
  public:
    bool Enabled() const override { return FEnabled; }
    void SetEnabled(bool Value) override {
        FEnabled = Value;
        FElapsed = 0;
    }
    unsigned Interval() const override { return FInterval; }
    void SetInterval(unsigned Value) override {
        FInterval = Value;
        FElapsed = 0;
    }
    // Moves time on by Milliseconds; the handler may re-arm the clock as it fires.
    void Advance(unsigned Milliseconds) {
        while (Milliseconds > 0 && FEnabled && FInterval > 0) {
            const unsigned Step = std::min(Milliseconds, FInterval - FElapsed);
            FElapsed += Step;
            Milliseconds -= Step;
            if (FElapsed < FInterval) continue;
            FElapsed = 0;
            if (OnTimer) OnTimer();
        }
    }

  private:
    bool FEnabled = false;
    unsigned FInterval = 1000;
    unsigned FElapsed = 0;
};

// While it lives, every animated graphic made takes a fake clock.
class TFakeClockScope {
  public:
    TFakeClockScope() {
        TIpAnimatedGraphic::SetTimerFactory([] { return std::make_unique<TFakeAnimationClock>(); });
    }
    ~TFakeClockScope() { TIpAnimatedGraphic::SetTimerFactory(nullptr); }
    TFakeClockScope(const TFakeClockScope&) = delete;
    TFakeClockScope& operator=(const TFakeClockScope&) = delete;
    static TFakeAnimationClock& Of(TIpAnimatedGraphic& Graphic) {
        return dynamic_cast<TFakeAnimationClock&>(Graphic.Timer());
    }
};

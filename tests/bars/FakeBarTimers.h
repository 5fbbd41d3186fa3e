#pragma once
// The framework's timers on a clock of the test's own: nothing ticks until the test moves the
// clock on, and then every tick that falls due runs in the order of its time (the queue of the
// window layer is drained after each, as the loop would between two ticks).
#include <cstdint>
#include <map>
#include <memory>

#include "bars/windows/dxBarTimers.h"
#include "tests/support/GuiTestSupport.h"

namespace BarTest {

class TFakeBarTimers : public TdxBarTimerService {
  public:
    UINT_PTR SetTimer(UINT Elapse, TdxBarTimerProc Tick) override {
        const UINT_PTR Id = FNext++;
        FTimers[Id] = TTimer{Elapse, FNow + Elapse, std::move(Tick)};
        return Id;
    }
    void KillTimer(UINT_PTR Id) override { FTimers.erase(Id); }

    // Moves the clock on by Ms milliseconds.
    void Advance(int64_t Ms) {
        const int64_t End = FNow + Ms;
        for (;;) {
            auto Due = FTimers.end();
            for (auto It = FTimers.begin(); It != FTimers.end(); ++It)
                if (It->second.Due <= End &&
                    (Due == FTimers.end() || It->second.Due < Due->second.Due))
                    Due = It;
            if (Due == FTimers.end()) break;
            FNow = Due->second.Due;
            Due->second.Due += std::max<int64_t>(Due->second.Elapse, 1);
            // A copy: the tick may stop its timer or start others.
            const TdxBarTimerProc Tick = Due->second.Tick;
            Tick();
            GuiTest::Drain();
        }
        FNow = End;
    }
    int64_t Now() const { return FNow; }
    size_t Count() const { return FTimers.size(); }

  private:
    struct TTimer {
        int64_t Elapse = 0;
        int64_t Due = 0;
        TdxBarTimerProc Tick;
    };
    std::map<UINT_PTR, TTimer> FTimers;
    // Far from the window layer's ids: a timer id the framework kept from before the fake clock
    // never names one of these.
    UINT_PTR FNext = UINT_PTR(1) << 40;
    int64_t FNow = 0;
};

// Fake timers for the framework while the object lives.
class TFakeClock {
  public:
    TFakeClock() : FTimers(std::make_shared<TFakeBarTimers>()) { SetdxBarTimerService(FTimers); }
    ~TFakeClock() { SetdxBarTimerService(nullptr); }
    TFakeClock(const TFakeClock&) = delete;
    TFakeClock& operator=(const TFakeClock&) = delete;
    void Advance(int64_t Ms) { FTimers->Advance(Ms); }
    TFakeBarTimers& Timers() { return *FTimers; }

  private:
    std::shared_ptr<TFakeBarTimers> FTimers;
};

}  // namespace BarTest

// GIF animations on the class library's own timer, in the real message loop: frames step at the
// rate their delays ask for from the start on. Steps are counted over about a second of real
// time, with a tolerance wide enough for a loaded machine and the sanitizer build and narrow
// enough that frames shown twice as long as asked, or a start held back, fail.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "htmlview/anim/IpGifImage.h"
#include "platform/core/Application.h"
#include "tests/platform/gdi/GifTestEncoder.h"

namespace {

using Clock = std::chrono::steady_clock;

// A GIF of two small frames with the given delays (hundredths of a second) at the top left of a
// screen of Width x Height, which counts the times it steps.
class TCountedGif : public TIpGifImage {
  public:
    TCountedGif(int Width, int Height, int FirstDelay, int SecondDelay) {
        GifTest::TFrame First = GifTest::Solid(0, 0, 4, 4, 0),
                        Second = GifTest::Solid(0, 0, 4, 4, 1);
        First.Delay = FirstDelay;
        Second.Delay = SecondDelay;
        const std::vector<uint8_t> Bytes = GifTest::Encode(Width, Height, {First, Second});
        TMemoryStream Stream;
        Stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
        Stream.SetPosition(0);
        LoadFromStream(Stream);
        OnFrameShown = [this](TIpAnimatedGraphic*, int, TIpAnimationFrameList&) {
            Steps.push_back(Clock::now());
        };
    }
    void Start() {
        Started = Clock::now();
        SetAnimate(true);
    }
    // Steps a second from the start to the last step.
    double StepsPerSecond() const {
        if (Steps.empty()) return 0;
        return double(Steps.size()) / std::chrono::duration<double>(Steps.back() - Started).count();
    }
    Clock::time_point Started;
    std::vector<Clock::time_point> Steps;
};

void RunLoopFor(std::chrono::milliseconds Span) {
    const Clock::time_point End = Clock::now() + Span;
    while (Clock::now() < End) {
        Application.WaitForEvent(DWORD(
            std::chrono::duration_cast<std::chrono::milliseconds>(End - Clock::now()).count() + 1));
        Application.ProcessMessages();
    }
}

// Delays of 5 hundredths and of 0 (a short default) both show a frame 50 ms: 20 steps a second,
// also on a large screen, whose first frame put together millions of pixels when it was read (a
// cost that does not come again while the frames are small). A frame of 20 hundredths beside
// them steps at its own 5 a second.
TEST(AnimationTiming, FramesStepAtTheRateTheirDelaysAskForFromTheStartOn) {
    TCountedGif Fast(4000, 3000, 5, 0), Slow(8, 8, 20, 20);
    Fast.Start();
    Slow.Start();
    ASSERT_TRUE(Fast.Animate());
    ASSERT_TRUE(Slow.Animate());
    RunLoopFor(std::chrono::milliseconds(1050));
    Fast.SetAnimate(false);
    Slow.SetAnimate(false);
    EXPECT_GT(Fast.StepsPerSecond(), 15.0) << Fast.Steps.size() << " steps";
    EXPECT_LT(Fast.StepsPerSecond(), 21.0) << Fast.Steps.size() << " steps";
    EXPECT_GT(Slow.StepsPerSecond(), 3.9) << Slow.Steps.size() << " steps";
    EXPECT_LT(Slow.StepsPerSecond(), 5.25) << Slow.Steps.size() << " steps";
}

}  // namespace

// The animated graphic on a clock of the test's: frame timing (the 50 ms floor, the first step,
// wrapping, a handler that vetoes or redirects a step), the disposal methods, shared frame
// lists, copies and the placeholder.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "htmlview/anim/IpAnim.h"
#include "tests/htmlview/anim/FakeAnimationClock.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr QRgb kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu,
               kBlack = 0xFF000000u;

// A loader's stand-in: frames of one colour each.
class TTestAnimation : public TIpAnimatedGraphic {
  public:
    TTestAnimation(int Width, int Height) {
        SetWidth(Width);
        SetHeight(Height);
    }
    TIpAnimationFrame& AddFrame(QRgb Color, int Delay, uint8_t Disposal = kDisposeNone,
                                QRect Place = {}) {
        auto Frame = std::make_shared<TIpAnimationFrame>();
        if (Place.isNull()) Place = QRect(0, 0, Width(), Height());
        QImage Image(Place.width(), Place.height(), QImage::Format_RGB32);
        Image.fill(Color);
        Frame->Bitmap().SetImage(Image);
        Frame->Left = Place.left();
        Frame->Top = Place.top();
        Frame->Delay = Delay;
        Frame->DisposalMethod = Disposal;
        Frames().Add(Frame);
        SetFrameCount(FrameCount() + 1);
        return *Frame;
    }
    QRgb Pixel(int X, int Y) { return Bitmap().Image().pixel(X, Y) | 0xFF000000u; }
};

class AnimatedGraphic : public testing::Test {
  protected:
    TFakeClockScope Clocks;
};

// Red for 100 ms, green for 200, blue for 300, animating from red.
void StartRedGreenBlue(TTestAnimation& Anim) {
    Anim.AddFrame(kRed, 10);
    Anim.AddFrame(kGreen, 20);
    Anim.AddFrame(kBlue, 30);
    Anim.ShowFrame(0);
    Anim.SetAnimate(true);
}

TEST_F(AnimatedGraphic, OneFrameDoesNotAnimate) {
    TTestAnimation Anim(4, 4);
    Anim.AddFrame(kRed, 10);
    EXPECT_FALSE(Anim.StartAnimation());
    Anim.SetAnimate(true);
    EXPECT_FALSE(Anim.Animate());
    EXPECT_FALSE(Clocks.Of(Anim).Enabled());
}

// Frames stay their delay in hundredths, at least 50 ms, so that frames without a delay cannot
// keep the loop busy.
TEST_F(AnimatedGraphic, FramesStayTheirDelayButAtLeastFiftyMilliseconds) {
    const struct {
        int Delay;
        unsigned Interval;
    } Cases[] = {{0, 50}, {1, 50}, {4, 50}, {5, 50}, {6, 60}, {10, 100}, {250, 2500}};
    for (const auto& Case : Cases) {
        TTestAnimation Anim(2, 2);
        Anim.AddFrame(kRed, 100);
        Anim.AddFrame(kGreen, Case.Delay);
        Anim.SetAnimate(true);
        Clocks.Of(Anim).Advance(100);
        EXPECT_EQ(Anim.CurrentFrameIndex(), 1) << Case.Delay;
        EXPECT_EQ(Clocks.Of(Anim).Interval(), Case.Interval) << Case.Delay;
    }
}

// The first step comes after 100 ms unless the delay setting asks for the first frame's own.
TEST_F(AnimatedGraphic, TheFirstStepWaitsAHundredMillisecondsOrTheFirstFramesDelay) {
    for (const auto& [DelayTime, FirstDelay, Expected] :
         std::vector<std::tuple<int, int, unsigned>>{
             {0, 30, 100}, {1, 30, 100}, {2, 30, 300}, {2, 0, 50}, {2, 3, 50}}) {
        TTestAnimation Anim(2, 2);
        Anim.SetDelayTime(DelayTime);
        Anim.AddFrame(kRed, FirstDelay);
        Anim.AddFrame(kGreen, 10);
        EXPECT_TRUE(Anim.StartAnimation());
        EXPECT_TRUE(Clocks.Of(Anim).Enabled());
        EXPECT_EQ(Clocks.Of(Anim).Interval(), Expected) << DelayTime << " " << FirstDelay;
    }
}

TEST_F(AnimatedGraphic, AfterTheLastFrameTheAnimationGoesOnWithTheFirst) {
    TTestAnimation Anim(2, 2);
    StartRedGreenBlue(Anim);
    std::vector<std::pair<int, QRgb>> Seen;
    Anim.OnFrameShown = [&](TIpAnimatedGraphic*, int Frame, TIpAnimationFrameList&) {
        Seen.emplace_back(Frame, Anim.Pixel(0, 0));
    };
    // 100 ms to the first step, then each frame's own delay.
    TFakeAnimationClock& Clock = Clocks.Of(Anim);
    Clock.Advance(99);
    EXPECT_TRUE(Seen.empty());
    Clock.Advance(1);
    Clock.Advance(200);
    Clock.Advance(299);
    EXPECT_EQ(Seen.size(), 2u);
    Clock.Advance(1);
    Clock.Advance(100);
    EXPECT_EQ(Seen,
              (std::vector<std::pair<int, QRgb>>{{1, kGreen}, {2, kBlue}, {0, kRed}, {1, kGreen}}));
}

TEST_F(AnimatedGraphic, AHandlerThatForbidsTheStepKeepsTheFrameAndTheTimerRunning) {
    TTestAnimation Anim(2, 2);
    StartRedGreenBlue(Anim);
    std::vector<int> Asked;
    Anim.OnFrameChange = [&](TIpAnimatedGraphic*, int Current, int& Next, TIpAnimationFrameList&,
                             bool& CanChange) {
        Asked.push_back(Current * 10 + Next);
        CanChange = false;
    };
    TFakeAnimationClock& Clock = Clocks.Of(Anim);
    Clock.Advance(100);
    EXPECT_EQ(Anim.CurrentFrameIndex(), 0);
    EXPECT_EQ(Anim.Pixel(1, 1), kRed);
    EXPECT_TRUE(Clock.Enabled());
    EXPECT_EQ(Clock.Interval(), 100u);  // frame 0 stays its own delay
    Clock.Advance(100);
    EXPECT_EQ(Asked, (std::vector<int>{1, 1}));
    // A handler may also send the animation elsewhere.
    Anim.OnFrameChange = [](TIpAnimatedGraphic*, int, int& Next, TIpAnimationFrameList&, bool&) {
        Next = 2;
    };
    Clock.Advance(100);
    EXPECT_EQ(Anim.CurrentFrameIndex(), 2);
    EXPECT_EQ(Anim.Pixel(1, 1), kBlue);
}

// Method 2 clears the frame's area to the background; 3 puts back the last frame that stays
// (method 1) before drawing; 0 and 1 draw over what is there. Transparent frames keep the
// pixels of their key colour out.
TEST_F(AnimatedGraphic, DisposalMethodsPrepareTheBitmapForTheFrame) {
    TTestAnimation Anim(4, 1);
    Anim.BackgroundColor = clWhite;
    Anim.AddFrame(kRed, 10, kDisposeNone);
    TIpAnimationFrame& Keyed = Anim.AddFrame(kGreen, 10, kDisposeUnspecified, QRect(1, 0, 2, 1));
    QImage Pixels = Keyed.Bitmap().Image();
    Pixels.setPixel(1, 0, kBlack);
    Keyed.Bitmap().SetImage(Pixels);
    Keyed.Transparent = 1;
    Keyed.TransparentColor = clBlack;
    Anim.AddFrame(kBlue, 10, kDisposeBackground, QRect(2, 0, 1, 1));
    Anim.AddFrame(kBlue, 10, kDisposePrevious, QRect(3, 0, 1, 1));
    const auto Row = [&] {
        std::vector<QRgb> Out;
        for (int X = 0; X < 4; ++X) Out.push_back(Anim.Pixel(X, 0));
        return Out;
    };
    // Each frame says which part of the picture it changed: its own area and the one it
    // restored.
    Anim.ShowFrame(0);
    EXPECT_EQ(Row(), (std::vector<QRgb>{kRed, kRed, kRed, kRed}));
    EXPECT_EQ(Anim.ChangedRect(), QRect(0, 0, 4, 1));
    Anim.ShowFrame(1);
    EXPECT_EQ(Row(), (std::vector<QRgb>{kRed, kGreen, kRed, kRed}));
    EXPECT_EQ(Anim.ChangedRect(), QRect(1, 0, 2, 1));
    Anim.ShowFrame(2);
    EXPECT_EQ(Row(), (std::vector<QRgb>{kRed, kGreen, kBlue, kRed}));
    EXPECT_EQ(Anim.ChangedRect(), QRect(2, 0, 1, 1));
    // The last frame that stays is frame 0: its red comes back, then the frame is drawn.
    Anim.ShowFrame(3);
    EXPECT_EQ(Row(), (std::vector<QRgb>{kRed, kRed, kRed, kBlue}));
    EXPECT_EQ(Anim.ChangedRect(), QRect(0, 0, 4, 1));
    EXPECT_EQ(Anim.DisposalMethod(), kDisposePrevious);
    // Out of range: nothing changes.
    Anim.ShowFrame(4);
    Anim.ShowFrame(-1);
    EXPECT_EQ(Anim.CurrentFrameIndex(), 3);
}

TEST_F(AnimatedGraphic, BackgroundDisposalFillsOnlyTheFramesArea) {
    TTestAnimation Anim(3, 2);
    Anim.BackgroundColor = clBlue;
    Anim.AddFrame(kRed, 10);
    Anim.AddFrame(kGreen, 10, kDisposeBackground, QRect(1, 1, 2, 1));
    Anim.ShowFrame(0);
    Anim.ShowFrame(1);
    EXPECT_EQ(Anim.Pixel(0, 0), kRed);
    EXPECT_EQ(Anim.Pixel(1, 1), kGreen);
    // A frame partly outside the picture draws what falls inside.
    Anim.AddFrame(kBlue, 10, kDisposeNone, QRect(2, -1, 3, 3));
    Anim.ShowFrame(2);
    EXPECT_EQ(Anim.Pixel(2, 0), kBlue);
    EXPECT_EQ(Anim.Pixel(2, 1), kBlue);
    EXPECT_EQ(Anim.Pixel(1, 0), kRed);
}

TEST_F(AnimatedGraphic, EveryShownFrameFiresTheChangeEventWhileChangeNotifyHolds) {
    TTestAnimation Anim(2, 2);
    Anim.AddFrame(kRed, 10);
    Anim.AddFrame(kGreen, 10);
    int Changes = 0;
    Anim.OnChange = [&](TGraphic*) { ++Changes; };
    Anim.ShowFrame(1);
    EXPECT_EQ(Changes, 1);
    Anim.ChangeNotify = false;
    Anim.ShowFrame(0);
    EXPECT_EQ(Changes, 1);
}

// Frames are shared: a copy keeps them whichever list lets go first, and only the last holder
// frees them.
TEST_F(AnimatedGraphic, FrameListsShareTheirFrames) {
    auto Source = std::make_unique<TIpAnimationFrameList>();
    auto Frame = std::make_shared<TIpAnimationFrame>();
    const std::weak_ptr<TIpAnimationFrame> Watch = Frame;
    Source->Add(std::move(Frame));
    TIpAnimationFrameList Copy;
    Copy.Assign(*Source);
    EXPECT_EQ(Copy.ShareCount(), 1);
    Copy.Release();
    EXPECT_EQ(Copy.Count(), 1);
    EXPECT_FALSE(Watch.expired());
    Source->Release();
    EXPECT_EQ(Source->Count(), 0);
    Source.reset();
    ASSERT_EQ(Copy.Items(0), Watch.lock().get());
    Copy.Items(0)->Delay = 7;  // still there to use
    Copy.Release();
    EXPECT_EQ(Copy.Count(), 0);
    EXPECT_TRUE(Watch.expired());
}

TEST_F(AnimatedGraphic, AnEntryThatIsNoFrameRaisesAndOtherIndexesGiveNone) {
    TIpAnimationFrameList List;
    List.Add(std::make_shared<TIpAnimationFrame>());
    List.Add(nullptr);
    List.Add(std::make_shared<TObject>());
    EXPECT_NE(List.Items(0), nullptr);
    EXPECT_EQ(List.Items(1), nullptr);
    EXPECT_EQ(List.Items(-1), nullptr);
    EXPECT_EQ(List.Items(3), nullptr);
    EXPECT_EQ(ErrorOf<EFrameListError>([&] { List.Items(2); }),
              "Unrecognized object in GIF Frame List");
}

// A picture holds a copy, made by class name; the copy shares the frames and goes on animating.
TEST_F(AnimatedGraphic, PicturesHoldCopiesThatShareTheFramesAndTheAnimation) {
    TTestAnimation Anim(2, 2);
    Anim.AddFrame(kRed, 10);
    Anim.AddFrame(kGreen, 10);
    Anim.SetDelayTime(3);
    Anim.RedrawOnChange = true;
    Anim.SetAnimate(true);
    TPicture Picture;
    Picture.SetGraphic(&Anim);
    auto* Copy = dynamic_cast<TIpAnimatedGraphic*>(Picture.Graphic());
    ASSERT_NE(Copy, nullptr);
    EXPECT_EQ(Copy->FrameCount(), 2);
    EXPECT_EQ(Copy->Frames().Items(1), Anim.Frames().Items(1));
    EXPECT_EQ(Copy->DelayTime(), 3);
    EXPECT_TRUE(Copy->RedrawOnChange);
    EXPECT_TRUE(Copy->Animate());
    int PictureChanges = 0;
    Picture.OnChange = [&](TPicture*) { ++PictureChanges; };
    Clocks.Of(*Copy).Advance(100);
    EXPECT_EQ(Copy->CurrentFrameIndex(), 1);
    EXPECT_EQ(PictureChanges, 1);
    TBitmap Plain;
    Plain.Assign(*Copy);
    EXPECT_EQ(Plain.Image().pixel(0, 0) | 0xFF000000u, kGreen);
}

TEST_F(AnimatedGraphic, ClearingFramesStopsTheAnimation) {
    TTestAnimation Anim(2, 2);
    Anim.AddFrame(kRed, 10);
    Anim.AddFrame(kGreen, 10);
    Anim.SetAnimate(true);
    Anim.ClearFrames();
    EXPECT_EQ(Anim.FrameCount(), 0);
    EXPECT_FALSE(Anim.Animate());
    EXPECT_FALSE(Clocks.Of(Anim).Enabled());
    EXPECT_EQ(Anim.Frames().Count(), 0);
    // A tick with nothing to show waits long.
    Anim.TimerTick();
    EXPECT_EQ(Clocks.Of(Anim).Interval(), 32767u);
}

TEST_F(AnimatedGraphic, TheBaseLoadsAPlaceholderWithARedCross) {
    TIpAnimatedGraphic Anim;
    TMemoryStream Nothing;
    Anim.LoadFromStream(Nothing);
    EXPECT_EQ(Anim.Width(), 50);
    EXPECT_EQ(Anim.Height(), 50);
    EXPECT_FALSE(Anim.Empty());
    const QImage Image = Anim.Bitmap().Image();
    EXPECT_EQ(Image.pixel(49, 49) | 0xFF000000u, kWhite);
    int Red = 0;
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 0; X < 20; ++X) {
            const QRgb P = Image.pixel(X, Y);
            if (qRed(P) > 150 && qGreen(P) < 100 && qBlue(P) < 100) ++Red;
        }
    EXPECT_GT(Red, 5);
}

}  // namespace

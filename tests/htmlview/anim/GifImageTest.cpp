// GIF files as animated graphics: a still picture's pixels, every disposal method stepped on a
// clock of the test's, a jump to a frame, copies by class name, the registration by extension,
// and damaged files.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>

#include "htmlview/anim/IpGifImage.h"
#include "tests/htmlview/anim/FakeAnimationClock.h"
#include "tests/platform/gdi/GifTestEncoder.h"
#include "tests/support/CappedMemory.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr QRgb R = 0xFFFF0000u, G = 0xFF00FF00u, B = 0xFF0000FFu, W = 0xFFFFFFFFu;
// The background: a colour of no frame, drawn transparent.
constexpr QRgb T = 0;

std::vector<QRgb> Pixels(TIpAnimatedGraphic& Gif) {
    const QImage Image = Gif.Bitmap().Image();
    const COLORREF Key = ColorToRGB(Gif.Bitmap().TransparentColor());
    const QRgb Background = qRgb(GetRValue(Key), GetGValue(Key), GetBValue(Key));
    std::vector<QRgb> Out;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X) {
            const QRgb Pixel = Image.pixel(X, Y) | 0xFF000000u;
            Out.push_back(Pixel == Background ? T : Pixel);
        }
    return Out;
}

void Load(TIpGifImage& Gif, const std::vector<uint8_t>& Bytes) {
    TMemoryStream Stream;
    Stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
    Stream.SetPosition(0);
    Gif.LoadFromStream(Stream);
}

// 4 x 4: red all over, left in place; green at the top left, to be restored to what was before;
// blue at the bottom right with a transparent corner, to be restored to the background; a green
// pixel at the bottom left whose delay asks for less than the shortest interval.
std::vector<uint8_t> FourDisposals() {
    GifTest::TFrame Red = GifTest::Solid(0, 0, 4, 4, 0);
    Red.Disposal = 1;
    GifTest::TFrame Green = GifTest::Solid(0, 0, 2, 2, 1);
    Green.Delay = 20;
    Green.Disposal = 3;
    GifTest::TFrame Blue{2, 2, 2, 2, {2, 2, 2, 3}, 30, 2, 3};
    GifTest::TFrame Dot = GifTest::Solid(0, 3, 1, 1, 1);
    Dot.Delay = 4;
    return GifTest::Encode(4, 4, {Red, Green, Blue, Dot});
}

// Each frame as the format means it, frame after frame as the clock runs.
const std::vector<std::vector<QRgb>> kFourDisposals = {
    {R, R, R, R, R, R, R, R, R, R, R, R, R, R, R, R},
    {G, G, R, R, G, G, R, R, R, R, R, R, R, R, R, R},
    {R, R, R, R, R, R, R, R, R, R, B, B, R, R, B, R},
    {R, R, R, R, R, R, R, R, R, R, T, T, G, R, T, T},
};

class GifImage : public testing::Test {
  protected:
    TFakeClockScope Clocks;
};

TEST_F(GifImage, AStillPictureShowsItsPixelsAndDoesNotAnimate) {
    TIpGifImage Gif;
    Load(Gif, GifTest::Encode(3, 2, {{1, 0, 2, 2, {0, 1, 2, 3}}}));
    EXPECT_EQ(Gif.Width(), 3);
    EXPECT_EQ(Gif.Height(), 2);
    EXPECT_EQ(Gif.FrameCount(), 1);
    EXPECT_EQ(Pixels(Gif), (std::vector<QRgb>{T, R, G, T, B, W}));
    Gif.SetAnimate(true);
    EXPECT_FALSE(Gif.Animate());
    // Drawn like any graphic, what lies below showing around the frame.
    TBitmap Target(3, 2, pf32bit);
    Target.Canvas().Brush().SetColor(clBlue);
    Target.Canvas().FillRect(Rect(0, 0, 3, 2));
    Gif.Draw(Target.Canvas(), Rect(0, 0, 3, 2));
    EXPECT_EQ(Target.Image().pixel(0, 0) | 0xFF000000u, B);
    EXPECT_EQ(Target.Image().pixel(1, 0) | 0xFF000000u, R);
    EXPECT_EQ(Target.Image().pixel(2, 1) | 0xFF000000u, W);
}

// A frame that covers the whole screen and has a transparent colour: the page shows through
// where the frame is transparent, as around a frame smaller than its screen.
TEST_F(GifImage, AGifWhoseOnlySeeThroughPartIsItsTransparentColourShowsThePageThere) {
    TIpGifImage Gif;
    Load(Gif, GifTest::Encode(2, 1, {{0, 0, 2, 1, {3, 0}, 10, 0, 3}}));
    EXPECT_EQ(Pixels(Gif), (std::vector<QRgb>{T, R}));
    TBitmap Target(2, 1, pf32bit);
    Target.Canvas().Brush().SetColor(clBlue);
    Target.Canvas().FillRect(Rect(0, 0, 2, 1));
    Gif.Draw(Target.Canvas(), Rect(0, 0, 2, 1));
    EXPECT_EQ(Target.Image().pixel(0, 0) | 0xFF000000u, B);
    EXPECT_EQ(Target.Image().pixel(1, 0) | 0xFF000000u, R);
}

// A step puts together only the area the frame before it is removed from and the frame's own:
// on a large screen with small frames the rest of the picture is not touched, and the picture
// says which part changed. Starting again clears only what was drawn on.
TEST_F(GifImage, AStepChangesOnlyTheAreasOfItsFrames) {
    GifTest::TFrame Base = GifTest::Solid(0, 0, 2, 2, 0);
    Base.Disposal = 1;
    GifTest::TFrame Kept = GifTest::Solid(10, 5, 1, 1, 1);
    Kept.Disposal = 3;
    GifTest::TFrame Cleared = GifTest::Solid(300, 200, 2, 1, 2);
    Cleared.Disposal = 2;
    GifTest::TFrame Last = GifTest::Solid(50, 60, 1, 1, 3);
    TIpGifImage Gif;
    Load(Gif, GifTest::Encode(1000, 800, {Base, Kept, Cleared, Last}));
    EXPECT_EQ(Gif.ChangedRect(), QRect(0, 0, 1000, 800));
    const auto At = [&](int X, int Y) {
        const COLORREF C = ColorToRGB(Gif.Bitmap().Canvas().Pixel(X, Y));
        return C == ColorToRGB(Gif.Bitmap().TransparentColor())
                   ? T
                   : qRgb(GetRValue(C), GetGValue(C), GetBValue(C));
    };
    Gif.ShowFrame(1);
    EXPECT_EQ(Gif.ChangedRect(), QRect(10, 5, 1, 1));
    EXPECT_EQ(At(10, 5), G);
    Gif.ShowFrame(2);
    EXPECT_EQ(Gif.ChangedRect(), QRect(10, 5, 1, 1) | QRect(300, 200, 2, 1));
    EXPECT_EQ(At(10, 5), T);
    EXPECT_EQ(At(301, 200), B);
    Gif.ShowFrame(3);
    EXPECT_EQ(Gif.ChangedRect(), QRect(300, 200, 2, 1) | QRect(50, 60, 1, 1));
    EXPECT_EQ(At(301, 200), T);
    EXPECT_EQ(At(50, 60), W);
    EXPECT_EQ(At(0, 0), R);
    Gif.ShowFrame(0);
    EXPECT_EQ(Gif.ChangedRect(), QRect(0, 0, 302, 201));
    EXPECT_EQ(At(50, 60), T);
    EXPECT_EQ(At(1, 1), R);
}

// A frame that a step put together from millions of pixels stays until putting them together
// again would take a small share of a core, whatever delay it claims; small pictures keep their
// own delays. What reading the picture put together is not counted against its first frame.
TEST_F(GifImage, AFrameThatChangedMillionsOfPixelsStaysLonger) {
    TIpGifImage Gif;
    GifTest::TFrame Top = GifTest::Solid(0, 0, 2000, 1000, 0),
                    Bottom = GifTest::Solid(0, 1000, 2000, 1000, 1);
    Top.Delay = Bottom.Delay = 0;
    Load(Gif, GifTest::Encode(2000, 2000, {Top, Bottom}));
    EXPECT_EQ(Gif.ChangedRect(), QRect(0, 0, 2000, 2000));
    Gif.SetAnimate(true);
    TFakeAnimationClock& Clock = Clocks.Of(Gif);
    // The first frame stays its own 50 ms.
    Clock.Advance(49);
    EXPECT_EQ(Gif.CurrentFrameIndex(), 0);
    Clock.Advance(1);
    ASSERT_EQ(Gif.CurrentFrameIndex(), 1);
    // The second put together its own 2 million pixels.
    Clock.Advance(99);
    EXPECT_EQ(Gif.CurrentFrameIndex(), 1);
    Clock.Advance(1);
    ASSERT_EQ(Gif.CurrentFrameIndex(), 0);
    // Starting again put together the whole screen: 4 million.
    Clock.Advance(199);
    EXPECT_EQ(Gif.CurrentFrameIndex(), 0);
    Clock.Advance(1);
    EXPECT_EQ(Gif.CurrentFrameIndex(), 1);
}

// Memory the machine does not have for the screen (an address space limit in a child process)
// refuses the file and leaves the picture as it was.
TEST_F(GifImage, AScreenWhoseMemoryCannotBeHadIsRefused) {
    if (!CappedMemory::Available())
        GTEST_SKIP() << "needs allocations that can fail (not under AddressSanitizer)";
    TIpGifImage Gif;
    Load(Gif, GifTest::Encode(2, 1, {{0, 0, 2, 1, {1, 2}}}));
    const std::vector<uint8_t> Wide = GifTest::Encode(32768, 1024, {GifTest::Solid(0, 0, 1, 1, 0)});
    // 64 MB to spare: the screen's 128 MB do not fit.
    const int Code = CappedMemory::RunWithSpare(int64_t(64) << 20, [&] {
        try {
            Load(Gif, Wide);
        } catch (const EInvalidGraphic&) {
            return Gif.Width() == 2 && Pixels(Gif) == std::vector<QRgb>{G, B} ? 0 : 2;
        }
        return 1;
    });
    ASSERT_GE(Code, 0) << "the child died of signal " << -Code;
    EXPECT_EQ(Code, 0) << "1: not refused, 2: the picture changed";
}

TEST_F(GifImage, EachDisposalMethodStepsOnTheClock) {
    TIpGifImage Gif;
    Load(Gif, FourDisposals());
    ASSERT_EQ(Gif.FrameCount(), 4);
    EXPECT_EQ(Gif.Frames().Items(2)->Left, 2);
    EXPECT_EQ(Gif.Frames().Items(2)->DisposalMethod, kDisposeBackground);
    EXPECT_EQ(Pixels(Gif), kFourDisposals[0]);
    Gif.SetAnimate(true);
    TFakeAnimationClock& Clock = Clocks.Of(Gif);
    // The first frame stays its own delay, as every other does.
    for (const auto& [Wait, Frame] :
         std::vector<std::pair<unsigned, int>>{{100, 1}, {200, 2}, {300, 3}, {50, 0}, {100, 1}}) {
        Clock.Advance(Wait - 1);
        EXPECT_NE(Gif.CurrentFrameIndex(), Frame);
        Clock.Advance(1);
        ASSERT_EQ(Gif.CurrentFrameIndex(), Frame) << Wait;
        EXPECT_EQ(Pixels(Gif), kFourDisposals[size_t(Frame)]) << Frame;
    }
}

// A frame shown out of turn (a handler's choice, a copy) is put together from the start.
TEST_F(GifImage, AFrameShownOutOfTurnLooksAsInTurn) {
    TIpGifImage Gif;
    Load(Gif, FourDisposals());
    for (int Frame : {3, 1, 2, 0, 2})
        EXPECT_EQ((Gif.ShowFrame(Frame), Pixels(Gif)), kFourDisposals[size_t(Frame)]) << Frame;
    Gif.SetAnimate(true);
    Gif.OnFrameChange = [](TIpAnimatedGraphic*, int, int& Next, TIpAnimationFrameList&, bool&) {
        Next = 3;
    };
    Clocks.Of(Gif).Advance(300);
    EXPECT_EQ(Gif.CurrentFrameIndex(), 3);
    EXPECT_EQ(Pixels(Gif), kFourDisposals[3]);
}

TEST_F(GifImage, PicturesReadGifFilesAndCopyThemByClass) {
    const std::string Path = testing::TempDir() + "anim-" + std::to_string(getpid()) + ".GIF";
    const std::vector<uint8_t> Bytes = FourDisposals();
    WriteFile(Path, std::string(Bytes.begin(), Bytes.end()));
    TPicture Picture;
    Picture.LoadFromFile(Path);
    std::remove(Path.c_str());
    auto* Gif = dynamic_cast<TIpGifImage*>(Picture.Graphic());
    ASSERT_NE(Gif, nullptr);
    EXPECT_EQ(Gif->FrameCount(), 4);
    TPicture Copy;
    Copy.Assign(Picture);
    auto* Copied = dynamic_cast<TIpGifImage*>(Copy.Graphic());
    ASSERT_NE(Copied, nullptr);
    Copied->ShowFrame(2);
    EXPECT_EQ(Pixels(*Copied), kFourDisposals[2]);
    Copied->ShowFrame(3);
    EXPECT_EQ(Pixels(*Copied), kFourDisposals[3]);
    EXPECT_TRUE(Copied->Bitmap().Transparent());
    TMemoryStream Saved;
    Copied->SaveToStream(Saved);
    EXPECT_EQ(Saved.Size(), int64_t(Bytes.size()));
}

// A damaged file is refused and the picture keeps what it showed.
TEST_F(GifImage, ADamagedFileLeavesThePictureAsItWas) {
    TIpGifImage Gif;
    Load(Gif, GifTest::Encode(2, 1, {{0, 0, 2, 1, {1, 2}}}));
    const std::vector<uint8_t> Good = FourDisposals();
    for (const std::vector<uint8_t>& Bad :
         {std::vector<uint8_t>(Good.begin(), Good.begin() + 40), std::vector<uint8_t>{'G', 'I'},
          std::vector<uint8_t>(100, 0xAB)}) {
        EXPECT_EQ(ErrorOf<EInvalidGraphic>([&] { Load(Gif, Bad); }), "GIF image is not valid");
        EXPECT_EQ(Pixels(Gif), (std::vector<QRgb>{G, B}));
    }
}

}  // namespace

// The hint window's measuring, placing on the screen, region and painting, on a fake screen.
#include <gtest/gtest.h>

#include "HtmlTestSupport.h"
#include "components/htmlhint/HintLayout.h"
#include "components/htmlhint/HtmlPicture.h"
#include "platform/core/Screens.h"

using namespace HtmlTest;

namespace {

// Two screens side by side: 800 x 600, and 1024 x 768 to its right.
class TTwoScreens : public TScreenSource {
  public:
    std::vector<TScreenInfo> Screens() const override {
        return {{{0, 0, 800, 600}, {0, 0, 800, 570}, true},
                {{800, 0, 1824, 768}, {800, 0, 1824, 768}, false}};
    }
};

class HintLayout : public ::testing::Test {
  protected:
    void SetUp() override { SetScreenSource(std::make_shared<TTwoScreens>()); }
    void TearDown() override { SetScreenSource(nullptr); }
    TPaper Paper{10, 10};
    THTMLHintSettings Settings;
};

TEST_F(HintLayout, TheHintIsMeasuredAndKeptTwoPixelsInsideItsScreen) {
    const std::string Hint = "<b>Senden</b><br>Schickt die Post ab";
    const int TextW = Width("Schickt die Post ab");
    const int TextH = 2 * LineHeight();
    struct TCase {
        TPoint Pos;
        TRect Want;
    };
    const int W = TextW + 16, H = TextH + 4;
    const TCase Cases[] = {
        {{100, 100}, Rect(100, 100, 100 + W, 100 + H)},
        // Past the right edge of the first screen: it ends two pixels inside it.
        {{790, 100}, Rect(798 - W, 100, 798, 100 + H)},
        // Past the bottom: moved up, whole (the work area does not count).
        {{100, 595}, Rect(100, 598 - H, 100 + W, 598)},
        {{795, 597}, Rect(798 - W, 598 - H, 798, 598)},
        // On the second screen its own edges count.
        {{1800, 700}, Rect(1822 - W, 700, 1822, 700 + H)},
    };
    for (const TCase& C : Cases) {
        const THintPlacement P = PlaceHTMLHint(Paper.Canvas(), Hint, C.Pos, 300, Settings);
        EXPECT_EQ(P.Text.cx, TextW);
        EXPECT_EQ(P.Text.cy, TextH);
        EXPECT_EQ(P.Window, C.Want) << C.Pos.X << "," << C.Pos.Y;
    }
    // Margins widen the window on both sides; a hint wider than the screen keeps its start on it.
    Settings.XMargin = 5;
    Settings.YMargin = 3;
    const THintPlacement M = PlaceHTMLHint(Paper.Canvas(), Hint, Point(10, 10), 300, Settings);
    EXPECT_EQ(M.Window.Width(), TextW + 10 + 16);
    EXPECT_EQ(M.Window.Height(), TextH + 6 + 4);
    const std::string Wide(400, 'W');
    EXPECT_EQ(PlaceHTMLHint(Paper.Canvas(), Wide, Point(300, 10), 5000, Settings).Window.Left, 0);
}

TEST_F(HintLayout, TheRoundedStyleCutsTheCornersAndTheRectangleStyleHasNoRegion) {
    EXPECT_EQ(HTMLHintRegion(Settings, 100, 40), 0u);
    Settings.HintStyle = hsRounded;
    const HRGN Region = HTMLHintRegion(Settings, 100, 40);
    ASSERT_NE(Region, 0u);
    EXPECT_FALSE(PtInRegion(Region, 0, 0));
    EXPECT_FALSE(PtInRegion(Region, 99, 39));
    EXPECT_TRUE(PtInRegion(Region, 50, 20));
    EXPECT_TRUE(PtInRegion(Region, 8, 0));
    DeleteObject(Region);
}

// Paints a hint the way the window does, into a picture of the window's size.
QImage PaintedHint(const std::string& Hint, THTMLHintSettings& Settings) {
    TPaper Measure(10, 10);
    const THintPlacement P = PlaceHTMLHint(Measure.Canvas(), Hint, Point(0, 0), 400, Settings);
    TPaper Window(P.Window.Width(), P.Window.Height());
    PaintHTMLHint(Window.Canvas(), Rect(0, 0, P.Window.Width(), P.Window.Height()), Hint, P.Text.cy,
                  Settings);
    return Window.Image();
}

TEST_F(HintLayout, TheFrameIsLightAboveAndLeftAndDarkBelowAndRight) {
    const QImage I = PaintedHint("<b>Abholen</b><br>Holt Mail und News", Settings);
    const int W = I.width(), H = I.height();
    const QRgb Light = ColorToRGB(cl3DLight), Dark = ColorToRGB(cl3DDkShadow);
    auto Rgb = [](COLORREF C) { return qRgb(GetRValue(C), GetGValue(C), GetBValue(C)); };
    EXPECT_EQ(I.pixel(0, H / 2) | 0xFF000000u, Rgb(Light));
    EXPECT_EQ(I.pixel(W / 2, 0) | 0xFF000000u, Rgb(Light));
    EXPECT_EQ(I.pixel(W / 2, H - 1) | 0xFF000000u, Rgb(Dark));
    EXPECT_EQ(I.pixel(W - 1, H / 2) | 0xFF000000u, Rgb(Dark));
    EXPECT_EQ(I.pixel(2, 2) | 0xFF000000u, Rgb(ColorToRGB(clInfoBk)));
    // The text starts 4 pixels in.
    int FirstInk = W;
    for (int X = 1; X < W - 1 && FirstInk == W; ++X)
        for (int Y = 1; Y < H - 1; ++Y)
            if ((I.pixel(X, Y) | 0xFF000000u) == 0xFF000000u) {
                FirstInk = X;
                break;
            }
    EXPECT_GE(FirstInk, 4);
    EXPECT_LE(FirstInk, 7);
}

TEST_F(HintLayout, PicturesOfHintsWithBoldColourAndAPicture) {
    TPictureContainer Pictures(nullptr);
    TPictureItem* Item = Pictures.Add();
    Item->SetName("mail");
    Item->Picture().LoadFromBytes(SolidFramesGif(16, 16, {2}));
    Settings.PictureContainer = &Pictures;
    const std::string Hint =
        "<img src=\"mail\" align=\"middle\"> <b>Abholen</b> <font color=\"clred\">(F5)</font><br>"
        "Holt neue Mail und News von allen Servern";
    const QImage Rectangle = PaintedHint(Hint, Settings);
    SavePicture(Rectangle, "html-hint");
    Settings.HintStyle = hsRounded;
    Settings.XMargin = 4;
    Settings.YMargin = 2;
    SavePicture(PaintedHint(Hint, Settings), "html-hint-rounded");
    // The picture, the red text and the bold title are there.
    int Blue = 0, Red = 0;
    for (int Y = 0; Y < Rectangle.height(); ++Y)
        for (int X = 0; X < Rectangle.width(); ++X) {
            const QRgb P = Rectangle.pixel(X, Y) | 0xFF000000u;
            Blue += P == 0xFF0000FFu;
            Red += Reddish(P);
        }
    EXPECT_EQ(Blue, 256);
    EXPECT_GT(Red, 10);
}

}  // namespace

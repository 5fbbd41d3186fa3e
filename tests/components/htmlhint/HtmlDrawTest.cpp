// The mini-HTML renderer: what each tag does to the plain text, the measured size and the
// pixels, and what lies under the mouse. Sizes come from the metrics of the font that draws.
#include <gtest/gtest.h>

#include "HtmlTestSupport.h"
#include "components/htmlhint/HtmlDraw.h"
#include "components/htmlhint/HtmlPicture.h"

using namespace HtmlTest;

namespace {

THTMLDrawResult Measure(const std::string& Text, int Width = 400, bool Wrap = false) {
    TPaper Paper(10, 10);
    THTMLDrawOptions Options;
    Options.CheckOnly = true;
    Options.WordWrap = Wrap;
    THTMLDrawResult Result;
    HTMLDrawEx(Paper.Canvas(), Text, Rect(0, 0, Width, 1000), Options, Result);
    return Result;
}

TEST(HtmlMeasure, TagsAndEntitiesGiveThePlainTextAndTheSizeOfWhatIsShown) {
    const int H = LineHeight();
    struct TCase {
        const char* Text;
        const char* Plain;
        int Width;
        int Height;
    };
    const TCase Cases[] = {
        {"plain", "plain", Width("plain"), H},
        {"<b>bold</b> rest", "bold rest", Width("bold", 11, true) + Width(" rest"), H},
        {"a&amp;b", "a&b", Width("a&b"), H},
        {"&lt;b&gt;x", "<b>x", Width("<b>x"), H},
        {"x&nbsp;y &quot;q&quot;", "x y \"q\"", Width("x y \"q\""), H},
        {"&euro;&copy;&AMP;", "\x80\xA9&", Width("\xE2\x82\xAC\xC2\xA9&"), H},
        {"abc<x", "abc", Width("abc"), H},
        {"abc<", "abc", Width("abc"), H},
        {"<font size=\"3\">x</font>", "x", Width("x", 16), LineHeight(16)},
        {"<font size=\"20\">x</font>", "x", Width("x", 27), LineHeight(27)},
        {"<FONT SIZE=1>x</FONT>y", "xy", Width("x", 11) + Width("y"), H},
        {"a<z>hidden</z>", "ahidden", Width("a"), H},
        {"a<br>bb", "a\rbb", Width("bb"), 2 * H},
        {"a\r\nbb", "a\rbb", Width("bb"), 2 * H},
        {"a<hr>b", "ab", Width("a"), 2 * H},
        {"<p>a</p>b", "ab", Width("a"), 2 * H},
        {"<unknown>a</unknown>", "a", Width("a"), H},
        {"<#a>b", "ab", Width("ab"), H},
        {"", "", 0, Metrics().height()},
    };
    for (const TCase& C : Cases) {
        const THTMLDrawResult R = Measure(C.Text);
        EXPECT_EQ(R.PlainText, C.Plain) << C.Text;
        EXPECT_EQ(R.Width, C.Width) << C.Text;
        EXPECT_EQ(R.Height, C.Height) << C.Text;
    }
}

TEST(HtmlMeasure, ListItemsIndentAndASecondItemOnALineStartsTheNext) {
    const THTMLDrawResult Two = Measure("<ul><li>one<li>two</ul>");
    EXPECT_EQ(Two.PlainText, "onetwo");
    EXPECT_EQ(Two.Height, 2 * LineHeight());
    const THTMLDrawResult One = Measure("<ul><li>one</ul>");
    EXPECT_EQ(One.Height, LineHeight());
    // One level: 12 pixels of indentation, then the bullet's cell.
    EXPECT_GE(One.Width, 12 + 12 + Width("one"));
    EXPECT_GT(Measure("<ul><ul><li>one</ul></ul>").Width, One.Width);
}

TEST(HtmlMeasure, StylesHoldAcrossLineBreaksAndWraps) {
    EXPECT_EQ(Measure("<b>abc<br>abcdef</b>").Width, Width("abcdef", 11, true));
    // A wrapped bold phrase stays bold on its second line.
    const int Wide = Width("a ", 11, true) + Width("ccccccc", 11, true) - 1;
    const THTMLDrawResult R = Measure("<b>a ccccccc</b>", Wide, true);
    EXPECT_EQ(R.Height, 2 * LineHeight());
    EXPECT_EQ(R.Width, Width("ccccccc", 11, true));
}

TEST(HtmlMeasure, WordWrapBreaksBeforeARunThatDoesNotFitAfterABlank) {
    const int Fits = Width("one ") + Width("two ");
    THTMLDrawResult R = Measure("one two three", Fits + 2, true);
    EXPECT_EQ(R.Height, 2 * LineHeight());
    EXPECT_EQ(R.PlainText, "one two three");
    // No blank before it: the run stays on the line however wide.
    R = Measure("one<b>twothree</b>", Width("one") + 2, true);
    EXPECT_EQ(R.Height, LineHeight());
    // A word wider than the rectangle stays where it is; what follows it goes on.
    R = Measure("a verylongword b", Width("verylong"), true);
    EXPECT_EQ(R.Height, 2 * LineHeight());
    // Without word wrap nothing breaks.
    EXPECT_EQ(Measure("one two three", Fits + 2, false).Height, LineHeight());
}

TEST(HtmlMeasure, SubscriptAndSuperscriptReserveAQuarterOfTheHeight) {
    const int H = LineHeight();
    EXPECT_EQ(Measure("a<sub>2</sub>").Height, H + H / 4);
    EXPECT_EQ(Measure("a<sup>2</sup>").Height, H + H / 4);
    EXPECT_EQ(Measure("a<sup>2</sup><sub>3</sub>").Height, H + 2 * (H / 4));
}

TEST(HtmlMeasure, ParagraphAlignmentAndIndentationPlaceTheLine) {
    TPaper Paper(300, 40);
    THTMLDrawResult R;
    const int W = Width("mid");
    HTMLDrawEx(Paper.Canvas(), "<p align=\"right\">mid</p>", Rect(0, 0, 300, 40), {}, R);
    EXPECT_GE(Paper.Ink().Right, 298);
    EXPECT_GE(Paper.Ink().Left, 300 - W);
    TPaper Centred(300, 40);
    HTMLDrawEx(Centred.Canvas(), "<p align=\"center\">mid</p>", Rect(0, 0, 300, 40), {}, R);
    EXPECT_NEAR(Centred.Ink().Left, 1 + (300 - W) / 2, 2);
    TPaper Indented(300, 40);
    HTMLDrawEx(Indented.Canvas(), "<p indent=\"40\">x</p>", Rect(0, 0, 300, 40), {}, R);
    EXPECT_GE(Indented.Ink().Left, 41);
    EXPECT_EQ(R.Width, Width("x") + 40);
    // The paragraph ends its alignment: the next line starts at the left again.
    TPaper Next(300, 40);
    HTMLDrawEx(Next.Canvas(), "<p align=\"right\">a</p>b", Rect(0, 0, 300, 40), {}, R);
    EXPECT_LE(Next.Ink().Left, 3);
}

TEST(HtmlHitTest, TheLinkUnderTheMouseIsReportedWithItsRectangleAndNumber) {
    const std::string Text = "go <a href=\"First\">one</a> and <a href=\"Second\">two</a>";
    const int X1 = 1 + Width("go ");
    const int X2 = X1 + Width("one") + Width(" and ");
    struct TCase {
        TPoint Mouse;
        bool Over;
        const char* Anchor;
        int Link;
    };
    const TCase Cases[] = {
        {{X1 + 2, 5}, true, "First", 1},
        {{X2 + 2, 5}, true, "Second", 2},
        {{3, 5}, false, "", 0},
        {{X1 + 2, 40}, false, "", 0},
    };
    for (const TCase& C : Cases) {
        TPaper Paper(300, 60);
        THTMLDrawOptions Options;
        Options.Mouse = C.Mouse;
        THTMLDrawResult R;
        EXPECT_EQ(HTMLDrawEx(Paper.Canvas(), Text, Rect(0, 0, 300, 60), Options, R), C.Over);
        EXPECT_EQ(R.Anchor, C.Anchor);
        EXPECT_EQ(R.HoverLink, C.Link);
        EXPECT_EQ(R.LinkCount, 2);
        if (C.Link == 1) {
            EXPECT_EQ(R.LinkRect, Rect(X1, 0, X1 + Width("one"), LineHeight()));
        }
    }
    // A centred link is hit where it is drawn, not where it would stand at the left.
    THTMLDrawOptions Options;
    Options.Mouse = Point(150, 5);
    THTMLDrawResult R;
    TPaper Paper(300, 40);
    HTMLDrawEx(Paper.Canvas(), "<p align=\"center\"><a href=\"c\">middle</a></p>",
               Rect(0, 0, 300, 40), Options, R);
    EXPECT_TRUE(R.OverLink);
    EXPECT_EQ(R.Anchor, "c");
}

TEST(HtmlPaint, LinksTakeTheLinkColourOrTheHoverColoursUnderTheMouse) {
    const std::string Text = "<a href=\"x\">link</a>";
    const QRgb Blue = 0xFF0000FF, Red = 0xFFFF0000, Yellow = 0xFFFFFF00;
    THTMLDrawOptions Options;
    Options.URLColor = clBlue;
    Options.HoverFontColor = clRed;
    Options.HoverColor = clYellow;
    TPaper Away(100, 20);
    THTMLDrawResult R;
    HTMLDrawEx(Away.Canvas(), Text, Rect(0, 0, 100, 20), Options, R);
    EXPECT_GT(Away.Count(Blue, Rect(0, 0, 100, 20)), 10);
    EXPECT_EQ(Away.Count(Red, Rect(0, 0, 100, 20)), 0);
    Options.Mouse = Point(5, 5);
    TPaper Over(100, 20);
    HTMLDrawEx(Over.Canvas(), Text, Rect(0, 0, 100, 20), Options, R);
    EXPECT_GT(Over.Count(Red, Rect(0, 0, 100, 20)), 10);
    EXPECT_GT(Over.Count(Yellow, Rect(0, 0, 100, 20)), 100);
    EXPECT_EQ(Over.Count(Blue, Rect(0, 0, 100, 20)), 0);
    // The link with the keyboard focus gets a dotted frame.
    Options.Mouse = Point(-1, -1);
    Options.FocusLink = 1;
    TPaper Focused(100, 20);
    HTMLDrawEx(Focused.Canvas(), Text, Rect(0, 0, 100, 20), Options, R);
    EXPECT_GT(Focused.Ink().Height(), Away.Ink().Height());
}

TEST(HtmlPaint, ColoursBackgroundsRulesAndBlinking) {
    const QRgb Red = 0xFFFF0000, Lime = 0xFF00FF00, Black = 0xFF000000, Silver = 0xFFC0C0C0;
    THTMLDrawResult R;
    {
        TPaper P(200, 40);
        HTMLDrawEx(P.Canvas(), "<font color=\"#FF0000\">red</font> black", Rect(0, 0, 200, 40), {},
                   R);
        EXPECT_GT(P.Count(Red, Rect(0, 0, Width("red"), 20)), 5);
        EXPECT_GT(P.Count(Black, Rect(Width("red "), 0, 200, 20)), 5);
    }
    {
        TPaper P(200, 40);
        HTMLDrawEx(P.Canvas(), "<font bgcolor=\"cllime\">x</font>", Rect(0, 0, 200, 40), {}, R);
        EXPECT_GT(P.Count(Lime, Rect(0, 0, 200, 40)), 20);
    }
    {
        TPaper P(200, 40);
        HTMLDrawEx(P.Canvas(), "<body bgcolor=\"clSilver\">x", Rect(10, 10, 50, 30), {}, R);
        // The whole rectangle and nothing else: ink and silver inside, white outside.
        EXPECT_EQ(P.Count(0xFFFFFFFF, Rect(10, 10, 50, 30)), 0);
        EXPECT_GT(P.Count(Silver, Rect(10, 10, 50, 30)), 700);
        EXPECT_EQ(P.Count(0xFFFFFFFF, Rect(0, 0, 200, 40)), 200 * 40 - 40 * 20);
    }
    {
        TPaper P(200, 60);
        HTMLDrawEx(P.Canvas(), "<p bgcolor=\"clLime\">a<br>b</p>c", Rect(0, 0, 200, 60), {}, R);
        // Both lines of the paragraph are filled across, the line after it is not.
        EXPECT_GT(P.Count(Lime, Rect(150, 0, 200, 2 * LineHeight())), 50 * 2 * LineHeight() - 5);
        EXPECT_EQ(P.Count(Lime, Rect(0, 2 * LineHeight(), 200, 60)), 0);
    }
    {
        TPaper P(200, 40);
        HTMLDrawEx(P.Canvas(), "a<hr>b", Rect(0, 0, 200, 40), {}, R);
        EXPECT_EQ(P.Count(Black, Rect(0, LineHeight() - 1, 200, LineHeight())), 200);
    }
    {
        THTMLDrawOptions Off;
        Off.Blink = false;
        TPaper P(200, 40);
        HTMLDrawEx(P.Canvas(), "<blink>gone</blink>", Rect(0, 0, 200, 40), Off, R);
        EXPECT_TRUE(P.Ink().Width() <= 0);
    }
}

TEST(HtmlPaint, ShadowZigZagRotationAndEllipsis) {
    THTMLDrawResult R;
    {
        THTMLDrawOptions Options;
        Options.ShadowColor = clRed;
        Options.ShadowOffset = 2;
        TPaper P(200, 40);
        HTMLDrawEx(P.Canvas(), "<sh>S</sh>", Rect(0, 0, 200, 40), Options, R);
        EXPECT_GT(P.CountWhere(Reddish, Rect(0, 0, 200, 40)), 3);
    }
    {
        // Red, one pixel either side of the run's bottom, alternating every two pixels.
        TPaper P(200, 40);
        HTMLDrawEx(P.Canvas(), "<e>wrong</e>", Rect(0, 0, 200, 40), {}, R);
        const int Bottom = LineHeight();
        const int Low = P.Count(0xFFFF0000, Rect(0, Bottom + 1, 200, Bottom + 2));
        const int High = P.Count(0xFFFF0000, Rect(0, Bottom - 1, 200, Bottom));
        EXPECT_GT(Low, 3);
        EXPECT_GT(High, 3);
        EXPECT_EQ(P.Count(0xFFFF0000, Rect(Width("wrong") + 4, 0, 200, 40)), 0);
        // Measuring draws no zig-zag and reports the same size.
        EXPECT_EQ(Measure("<e>wrong</e>").Height, LineHeight());
    }
    {
        TPaper Flat(200, 200), Turned(200, 200);
        HTMLDrawEx(Flat.Canvas(), "horizontal", Rect(0, 100, 200, 200), {}, R);
        HTMLDrawEx(Turned.Canvas(), "<r a=\"90\">horizontal</r>", Rect(0, 100, 200, 200), {}, R);
        EXPECT_GT(Flat.Ink().Width(), Flat.Ink().Height());
        EXPECT_GT(Turned.Ink().Height(), Turned.Ink().Width());
    }
    {
        THTMLDrawOptions Options;
        Options.Ellipsis = true;
        TPaper P(200, 40);
        HTMLDrawEx(P.Canvas(), "a rather long text that will not fit", Rect(0, 0, 60, 40), Options,
                   R);
        EXPECT_LE(P.Ink().Right, 60);
    }
}

TEST(HtmlPaint, SubscriptSitsLowerAndHiddenTextIsNotDrawn) {
    THTMLDrawResult R;
    TPaper Normal(100, 40), Low(100, 40), Hidden(100, 40);
    HTMLDrawEx(Normal.Canvas(), "x", Rect(0, 0, 100, 40), {}, R);
    HTMLDrawEx(Low.Canvas(), "<sub>x</sub>", Rect(0, 0, 100, 40), {}, R);
    EXPECT_GT(Low.Ink().Bottom, Normal.Ink().Bottom);
    HTMLDrawEx(Hidden.Canvas(), "<z>x</z>", Rect(0, 0, 100, 40), {}, R);
    EXPECT_LE(Hidden.Ink().Width(), 0);
}

// --- pictures -------------------------------------------------------------------------------

class HtmlPictures : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::vector<uint8_t> Gif = SolidFramesGif(20, 10, {0});
        Red = Container.Add();
        Red->SetName("Red");
        Red->Picture().LoadFromBytes(Gif);
        QImage Blue(16, 16, QImage::Format_RGB32);
        Blue.fill(qRgb(0, 0, 255));
        TBitmap B;
        B.SetImage(Blue);
        Images.Add(B, nullptr);
    }
    TPictureContainer Container{nullptr};
    TPictureItem* Red = nullptr;
    TCustomImageList Images{16, 16};
};

TEST_F(HtmlPictures, PicturesTakeTheirSizeAndEndALineTheyDoNotFitOn) {
    THTMLDrawOptions Options;
    Options.CheckOnly = true;
    Options.Pictures = &Container;
    Options.Images = &Images;
    TPaper P(10, 10);
    auto Size = [&](const std::string& Text, int Width = 400) {
        THTMLDrawResult R;
        HTMLDrawEx(P.Canvas(), Text, Rect(0, 0, Width, 100), Options, R);
        return TSize{R.Width, R.Height};
    };
    const int H = LineHeight();
    EXPECT_EQ(Size("<img src=\"red\">").cx, 20);
    EXPECT_EQ(Size("<img src=\"red\" width=\"40\" height=\"30\">").cy, std::max(30, H));
    EXPECT_EQ(Size("<img src=\"red\" width=\"40\" height=\"30\">").cx, 40);
    EXPECT_EQ(Size("<img src=\"idx:0\">").cx, 16);
    // The desktop's icons of files: small and large.
    EXPECT_EQ(Size("<img src=\"ssys:/tmp\">").cx, 16);
    EXPECT_EQ(Size("<img src=\"lsys:/no/such/file.txt\">").cx, 32);
    // Names that find nothing take no room.
    EXPECT_EQ(Size("<img src=\"idx:1\">").cx, 0);
    EXPECT_EQ(Size("<img src=\"nothing\">").cx, 0);
    EXPECT_EQ(Size("a<img src=\"red\">").cx, Width("a") + 20);
    // Too wide for what is left of a line with text: it goes to the next line.
    const TSize Wrapped =
        Size("abc<img src=\"red\" width=\"50\" height=\"40\">", Width("abc") + 30);
    EXPECT_EQ(Wrapped.cy, H + std::max(40, H));
}

TEST_F(HtmlPictures, PicturesAreDrawnAndHitWithTheirAlternativeText) {
    THTMLDrawOptions Options;
    Options.Pictures = &Container;
    Options.Images = &Images;
    Options.Mouse = Point(5 + 20, 5);
    TPaper P(200, 40);
    THTMLDrawResult R;
    HTMLDrawEx(P.Canvas(),
               "<a href=\"pic\"><img src=\"idx:0\"><img src=\"red\" alt=\"A Red One\"></a>",
               Rect(0, 0, 200, 40), Options, R);
    EXPECT_EQ(P.Count(0xFF0000FF, Rect(1, 0, 17, 16)), 256);
    EXPECT_EQ(P.Count(0xFFFF0000, Rect(17, 0, 37, 10)), 200);
    EXPECT_TRUE(R.OverPicture);
    EXPECT_TRUE(R.OverLink);
    EXPECT_EQ(R.AltText, "A Red One");
    EXPECT_EQ(R.Anchor, "pic");
}

TEST_F(HtmlPictures, SourcesAreLoadedOnceIntoTheCache) {
    const std::string Path = std::string(KESTRO_BINARY_DIR) + "/htmlhint-cache-test.gif";
    const std::vector<uint8_t> Gif = SolidFramesGif(8, 6, {1});
    WriteFile(Path, std::string(Gif.begin(), Gif.end()));
    THTMLPictureCache Cache;
    THTMLDrawOptions Options;
    Options.CheckOnly = true;
    Options.Cache = &Cache;
    TPaper P(10, 10);
    THTMLDrawResult R;
    // The source arrives upper-cased; the file is found all the same.
    const std::string Text = "<img src=\"file://" + Path + "\"><img src=\"file://" + Path + "\">";
    HTMLDrawEx(P.Canvas(), Text, Rect(0, 0, 400, 100), Options, R);
    EXPECT_EQ(R.Width, 16);
    EXPECT_EQ(Cache.Count(), 1);
    // A source that cannot be read is kept empty, not tried again on every paint.
    HTMLDrawEx(P.Canvas(), "<img src=\"file:///no/such/picture.gif\">", Rect(0, 0, 400, 100),
               Options, R);
    HTMLDrawEx(P.Canvas(), "<img src=\"file:///no/such/picture.gif\">", Rect(0, 0, 400, 100),
               Options, R);
    EXPECT_EQ(R.Width, 0);
    EXPECT_EQ(Cache.Count(), 2);
}

}  // namespace

// Block layout on the recording canvas: 6-pixel characters (blanks too), 16-pixel lines with an
// ascent of 12, pages without margins unless a test sets them.
#include <gtest/gtest.h>

#include <climits>

#include "platform/classes/Exception.h"
#include "platform/gdi/Graphics.h"
#include "tests/htmlview/html/LayoutTestSupport.h"

namespace {

struct TCase {
    const char* Name;
    const char* Html;
    int32_t Width;
    const char* Words;
};

void ExpectWords(const std::vector<TCase>& Cases) {
    for (const TCase& Case : Cases) {
        TLaidOut Page(Case.Html, {{"p40", {40, 40}}, {"p20", {20, 20}}});
        Page.Layout(Case.Width);
        EXPECT_EQ(WordRects(*Page.Doc), Case.Words) << Case.Name;
    }
}

TEST(HtmlLayout, LinesWrapAtBlanksAndBreaks) {
    ExpectWords({
        {"wraps at the last blank", "<body>aaa bbb ccc", 40,
         "aaa@0,0,18,16 bbb@0,16,18,32 ccc@0,32,18,48"},
        {"a blank that does not fit starts the next line, without width", "<body>aaaaaa bb", 36,
         "aaaaaa@0,0,36,16 bb@0,16,12,32"},
        {"words without a blank between them wrap together", "<body>aa bb<b>cc</b>", 40,
         "aa@0,0,12,16 bb@0,16,12,32 cc@12,16,24,32"},
        {"two hard breaks leave one empty line", "<body>aa<br><br>bb", 100,
         "aa@0,0,12,16 bb@0,32,12,48"},
        {"a paragraph starts and ends with a break", "<body>aa<p>bb</p>cc", 100,
         "aa@0,0,12,16 bb@0,28,12,44 cc@0,56,12,72"},
        {"preformatted lines break only at line feeds", "<pre>a b\nc  d</pre>", 20,
         "a b@0,16,15,29 c  d@0,29,20,42"},
    });
}

// Laid out narrower than its widest word (the page never is; a caller may), a block places the
// word all the same rather than stop and drop the rest.
TEST(HtmlLayout, AnOverWideFirstWordIsPlacedAndWhatFollowsStillComes) {
    TLaidOut Page("<body>aaaaaaaaaa bb");
    Page.Layout(100);
    Page.Doc->Fonts().SetCanvas(&Page.Canvas);
    TIpHtmlNodeBODY& Body = *Page.Doc->Body();
    Body.LayoutBlock(Body.Props(), {0, 0, 30, INT32_MAX});
    EXPECT_EQ(WordRects(*Page.Doc), "aaaaaaaaaa@0,0,60,16 bb@0,16,12,32");
    EXPECT_EQ(Body.PageRect(), (TIpHtmlRect{0, 0, 30, 32}));
}

TEST(HtmlLayout, TrailingBlanksAreNotLaidOut) {
    TLaidOut Page("<body>aaa ");
    // Laid out, the blank would need a second line.
    EXPECT_EQ(Page.Layout(18).Bottom, 16);
    const LayoutElement* Blank = Page.Doc->Body()->Elements().back();
    ASSERT_EQ(Blank->IsBlank, 1);
    EXPECT_TRUE(IsEmptyRect(Blank->WordRect));
}

// Soft breaks in a row make no empty lines; hard breaks do.
TEST(HtmlLayout, SoftBreaksCollapseHardBreaksDoNot) {
    const auto Layout = [](std::initializer_list<TElementType> Between) {
        TIpHtml Doc;
        Doc.MarginWidth = Doc.MarginHeight = 0;
        auto* Body = new TIpHtmlNodeBODY(Doc.HtmlNode());
        auto* Text = new TIpHtmlNodeText(Body, "");
        const auto Word = [&](const char* W) {
            LayoutElement* E = Doc.NewElement(TElementType::Word, Text);
            E->AnsiWord = W;
            Body->AddElement(E);
        };
        Word("aa");
        for (TElementType Type : Between) Body->AddElement(Doc.SharedElement(Type));
        Word("bb");
        TRecordingCanvas Canvas;
        Doc.LayoutPage(Canvas, 100, 0);
        return Body->Elements().back()->WordRect.Top;
    };
    using enum TElementType;
    EXPECT_EQ(Layout({SoftBreak}), 16);
    EXPECT_EQ(Layout({SoftBreak, SoftBreak, SoftBreak}), 16);
    EXPECT_EQ(Layout({HardBreak}), 16);
    EXPECT_EQ(Layout({HardBreak, HardBreak}), 32);
}

TEST(HtmlLayout, ASoftHyphenShowsOnlyWhereTheLineBreaks) {
    TLaidOut Page("<body>hy&shy;phen&shy;ation");
    Page.Layout(50);
    EXPECT_EQ(WordRects(*Page.Doc), "hy@0,0,12,16 phen@12,0,36,16 ation@0,16,30,32");
    const std::vector<std::string> Expected = {"text 0,0 hy", "text 12,0 phen", "text 36,0 -",
                                               "text 0,16 ation"};
    EXPECT_EQ(Page.Canvas.Drawn("text"), std::vector<std::string>{});
    Page.Paint({0, 0, 50, 100});
    EXPECT_EQ(Page.Canvas.Drawn("text"), Expected);
    // Wide enough, no hyphen shows.
    Page.Layout(200);
    Page.Paint({0, 0, 200, 100});
    EXPECT_EQ(Page.Canvas.Drawn("text"),
              (std::vector<std::string>{"text 0,0 hy", "text 12,0 phen", "text 36,0 ation"}));
}

TEST(HtmlLayout, FloatsIndentTheLinesBesideThem) {
    ExpectWords({
        {"text passes a left float, then uses the full width",
         "<img align=left src=p40>aaa bbb ccc ddd eee fff ggg hhh", 100,
         "aaa@40,0,58,16 bbb@64,0,82,16 ccc@40,16,58,32 ddd@64,16,82,32 eee@40,32,58,48 "
         "fff@64,32,82,48 ggg@0,48,18,64 hhh@24,48,42,64"},
        {"CLEAR=LEFT moves below the float", "<img align=left src=p40> aaa<br clear=left>bbb", 100,
         "aaa@40,0,58,16 bbb@0,40,18,56"},
        {"a right float keeps the left edge", "<img align=right src=p40>aaa", 100, "aaa@0,0,18,16"},
    });
    TLaidOut Page("<img align=right src=p40>aaa", {{"p40", {40, 40}}});
    Page.Layout(100);
    EXPECT_EQ(FirstNode<TIpHtmlNodeIMG>(*Page.Doc)->Element()->WordRect,
              (TIpHtmlRect{60, 0, 100, 40}));
}

TEST(HtmlLayout, AlignmentOfLines) {
    ExpectWords({
        {"justified lines fill the width, the last one does not",
         "<div align=justify>aa bb cc dd ee ff</div>", 60,
         "aa@0,16,12,32 bb@24,16,36,32 cc@48,16,60,32 dd@0,32,12,48 ee@18,32,30,48 "
         "ff@36,32,48,48"},
        {"an object aligned to the centre centres its line",
         "<body>aa <img align=center src=p20> bb", 100, "aa@22,0,34,16 bb@66,0,78,16"},
        {"centred text", "<center>aa</center>", 100, "aa@44,16,56,32"},
        {"right aligned text", "<div align=right>aa bb</div>", 100,
         "aa@70,16,82,32 bb@88,16,100,32"},
    });
}

TEST(HtmlLayout, ADocumentIsNeverNarrowerThanItsWidestWord) {
    TLaidOut Page("<body>aaaaaaaaaa bb");
    Page.Doc->MarginWidth = 10;
    Page.Doc->MarginHeight = 5;
    EXPECT_EQ(Page.Layout(30), (TIpHtmlRect{0, 0, 80, 42}));
    EXPECT_EQ(WordRects(*Page.Doc), "aaaaaaaaaa@10,5,70,21 bb@10,21,22,37");
}

TEST(HtmlLayout, RulesAndListMarkers) {
    TLaidOut Page("<hr width=50% size=3><ol><li>aa<li>bb</ol>");
    Page.Layout(400);
    // Half the width, centred, on a line of its own as high as the rule.
    auto* Rule = FirstNode<TIpHtmlNodeHR>(*Page.Doc);
    EXPECT_EQ(Rule->Element()->WordRect, (TIpHtmlRect{100, 0, 300, 3}));
    // Markers one indent in, their items at the next indent stop.
    EXPECT_EQ(WordRects(*Page.Doc), "1.@16,3,28,19 aa@32,3,44,19 2.@16,19,28,35 bb@32,19,44,35");
}

// A rule or a centred table right after text keeps its height: what follows comes below it.
TEST(HtmlLayout, BoxesHangingBelowALineKeepTheirRoom) {
    TLaidOut Page("<body>aa<hr size=5>bb<table align=center><tr><td>x</table>cc");
    Page.Layout(100);
    EXPECT_EQ(FirstNode<TIpHtmlNodeHR>(*Page.Doc)->Element()->WordRect,
              (TIpHtmlRect{0, 16, 100, 21}));
    EXPECT_EQ(WordRect(*Page.Doc, "bb").Top, 21);
    const TIpHtmlRect Table = FirstNode<TIpHtmlNodeTABLE>(*Page.Doc)->Element()->WordRect;
    EXPECT_EQ(Table.Top, 33);  // the line of bb ends with a soft break after a wrap: no descent
    EXPECT_EQ(WordRect(*Page.Doc, "cc").Top, Table.Bottom);
}

TEST(HtmlLayout, OrderedListNumbers) {
    const std::pair<const char*, const char*> Cases[] = {
        {"<ol><li>a<li>b</ol>", "1. 2."},
        {"<ol>x<li>a y<li>b</ol>", "2. 3."},  // every child counts, text too
        {"<ol type=I><li>a<li>b<li>c<li>d</ol>", "I. II. III. IIII."},
        {"<ol type=i><li>a<li>b<li>c<li>d<li>e<li>f<li>g<li>h<li>i</ol>",
         "i. ii. iii. iiii. v. vi. vii. viii. viiii."},
        {"<ol type=a><li>a<li>b</ol>", "a. b."},
        {"<ol type=A><li>a<li>b</ol>", "A. B."},
    };
    for (const auto& [Html, Numbers] : Cases) {
        TLaidOut Page(Html);
        Page.Layout(400);
        std::string Shown;
        Page.Doc->HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
            if (auto* Item = dynamic_cast<TIpHtmlNodeLI*>(Node))
                Shown += (Shown.empty() ? "" : " ") + Item->NumberWord()->AnsiWord;
        });
        EXPECT_EQ(Shown, Numbers) << Html;
    }
    // An item, a text, an item: numbered 1 and 3.
    TIpHtml Doc;
    auto* List = new TIpHtmlNodeOL(new TIpHtmlNodeBODY(Doc.HtmlNode()));
    auto* First = new TIpHtmlNodeLI(List);
    new TIpHtmlNodeText(List, "x");
    auto* Second = new TIpHtmlNodeLI(List);
    TRecordingCanvas Canvas;
    Doc.LayoutPage(Canvas, 100, 0);
    EXPECT_EQ(First->NumberWord()->AnsiWord, "1.");
    EXPECT_EQ(Second->NumberWord()->AnsiWord, "3.");
    // The additive numerals of a large number.
    List->Style = TIpHtmlOLStyle::olUpperRoman;
    EXPECT_EQ(List->NumberText(1999), "MDCCCCLXXXXVIIII.");
}

TEST(HtmlLayout, AParagraphInAListItemStartsOnTheMarkersLine) {
    TLaidOut Page("<ul><li><p>ab</p></ul>");
    Page.Layout(400);
    auto* Item = FirstNode<TIpHtmlNodeLI>(*Page.Doc);
    EXPECT_EQ(Item->Element()->WordRect, (TIpHtmlRect{16, 4, 24, 12}));
    EXPECT_EQ(WordRect(*Page.Doc, "ab"), (TIpHtmlRect{32, 0, 44, 16}));
}

TEST(HtmlLayout, ImageSizes) {
    struct TImageCase {
        const char* Html;
        int32_t Width;
        TIpHtmlSize Size;
        bool Asked;
    };
    const TImageCase Cases[] = {
        {"<img src=p30x20>", 400, {30, 20}, true},
        {"<img src=p30x20 hspace=5 vspace=3 border=2>", 400, {44, 30}, true},
        // 50% of 400 less spacing and border, then spacing and border around it.
        {"<img src=p30x20 width=50% hspace=5 border=2>", 400, {200, 24}, true},
        {"<img src=p30x20 height=50>", 400, {30, 50}, true},
        // Both given: no picture is needed for the size.
        {"<img src=p30x20 width=10 height=15>", 400, {10, 15}, false},
        {"<img>", 400, {0, 0}, false},
        // Nobody has the picture: the default one stands in.
        {"<img src=missing>", 400, {16, 16}, true},
    };
    for (const TImageCase& Case : Cases) {
        TLaidOut Page(Case.Html, {{"p30x20", {30, 20}}});
        Page.Layout(Case.Width);
        const TIpHtmlRect R = FirstNode<TIpHtmlNodeIMG>(*Page.Doc)->Element()->WordRect;
        EXPECT_EQ((TIpHtmlSize{R.Right - R.Left, R.Bottom - R.Top}), Case.Size) << Case.Html;
        EXPECT_EQ(!Page.Requested.empty(), Case.Asked) << Case.Html;
    }
}

TEST(HtmlLayout, NoImageHandlerIsAnError) {
    auto Doc = ParseHtml("<img src=x>");
    TRecordingCanvas Canvas;
    try {
        Doc->LayoutPage(Canvas, 100, 0);
        FAIL() << "no error";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "No OnGetImage event handler assigned");
    }
    // The document can be laid out again once the viewer connected its provider.
    Doc->OnGetImage = [](TIpHtmlNode*, const std::string&, TIpHtmlPictureRef&) {};
    EXPECT_EQ(Doc->LayoutPage(Canvas, 100, 0).Right, 100);
}

TEST(HtmlLayout, ALayoutAgainMeasuresNothing) {
    TLaidOut Page("<p>one two three <b>four five</b> six<table><tr><td>seven eight</table>");
    Page.Layout(300);
    const int Measured = Page.Canvas.Measures;
    EXPECT_GT(Measured, 0);
    const int Calls = Page.Canvas.Calls;
    const std::string Before = WordRects(*Page.Doc);
    Page.Layout(300);
    EXPECT_EQ(Page.Canvas.Calls, Calls);  // nothing at all reached the canvas
    EXPECT_EQ(WordRects(*Page.Doc), Before);
    // Another width breaks the lines anew with the words' known sizes.
    Page.Layout(40);
    EXPECT_EQ(Page.Canvas.Measures, Measured);
    EXPECT_NE(WordRects(*Page.Doc), Before);
    Page.Layout(300);
    EXPECT_EQ(WordRects(*Page.Doc), Before);
    EXPECT_EQ(Page.Canvas.Measures, Measured);
}

TEST(HtmlLayout, ADifferentCanvasMeasuresAgain) {
    struct TWider : TRecordingCanvas {
        uint64_t MetricsId() const override { return 8; }
    };
    TLaidOut Page("<body>aa bb");
    Page.Layout(300);
    TWider Other;
    Page.Doc->LayoutPage(Other, 300, 0);
    EXPECT_GT(Other.Measures, 0);
}

}  // namespace

namespace {

// A picture that arrives after the layout: of the same size it only repaints, of another size
// the document is told to lay out again.
TEST(HtmlLayout, APictureArrivingLater) {
    TLaidOut Page("<body><img src=late width=30 height=20><img src=other>", {{"other", {8, 8}}});
    Page.Layout(200);
    Page.Paint({0, 0, 200, 100});
    int Relayouts = 0;
    std::vector<TIpHtmlRect> Repainted;
    Page.Doc->OnInvalidSize = [&] { ++Relayouts; };
    Page.Doc->OnInvalidateRect = [&](const TIpHtmlRect& R) { Repainted.push_back(R); };
    const auto Picture = [](int32_t W, int32_t H) {
        TBitmap Bitmap(W, H);
        auto P = std::make_shared<TPicture>();
        P->SetGraphic(&Bitmap);
        return P;
    };
    auto* Late = FirstNode<TIpHtmlNodeIMG>(*Page.Doc);
    Late->PictureArrived(Picture(300, 200));  // WIDTH and HEIGHT keep the size
    EXPECT_EQ(Relayouts, 0);
    EXPECT_EQ(Repainted.size(), 1u);
    auto* Other = Page.Doc->Images().at(1);
    Other->PictureArrived(Picture(50, 40));
    EXPECT_EQ(Relayouts, 1);
    EXPECT_EQ(Page.Layout(200).Bottom, 40);
    // A picture without a graphic is refused.
    auto Empty = std::make_shared<TPicture>();
    try {
        Other->PictureArrived(Empty);
        FAIL() << "no error";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Picture object contains no graphic object");
    }
}

// Cut into pages, a line that would cross a page boundary starts on the next page.
TEST(HtmlLayout, LinesKeepOffPageBoundaries) {
    TLaidOut Page("<body>aa<br>bb<br>cc<br>dd");
    Page.Doc->LayoutPage(Page.Canvas, 100, 40);
    EXPECT_EQ(WordRects(*Page.Doc), "aa@0,0,12,16 bb@0,16,12,32 cc@0,40,12,56 dd@0,56,12,72");
}

TEST(HtmlLayout, BreaksClearFloatsOnTheirSide) {
    const std::map<std::string, TIpHtmlSize> Pictures{{"l", {20, 40}}, {"r", {20, 60}}};
    const std::pair<const char*, int32_t> Cases[] = {
        {"<br clear=left>", 40}, {"<br clear=right>", 60}, {"<br clear=all>", 60}, {"<br>", 16}};
    for (const auto& [Break, Top] : Cases) {
        TLaidOut Page(
            std::string("<body><img align=left src=l><img align=right src=r>aa") + Break + "bb",
            Pictures);
        Page.Layout(200);
        EXPECT_EQ(WordRect(*Page.Doc, "bb").Top, Top) << Break;
    }
}

}  // namespace

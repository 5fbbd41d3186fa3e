// Painting, selection and the mouse, on the recording canvas (6-pixel characters, 16-pixel
// lines, no margins).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <set>

#include "platform/classes/Exception.h"

#include "tests/htmlview/html/LayoutTestSupport.h"

namespace {

using TLog = std::vector<std::string>;

TEST(HtmlPaint, DrawCallsOfAPage) {
    TLaidOut Page("<body bgcolor=#ffff00><b>aa</b> bb<ul><li>x</ul><hr>");
    Page.Layout(200);
    EXPECT_EQ(Page.Paint({0, 0, 200, 100}),
              (TLog{"fill 0,0,200,100 FFFFFF", "fill 0,0,200,100 00FFFF",
                    "font Times New Roman 12 1", "color 000000", "text 0,0 aa",
                    "font Times New Roman 12 0", "text 12,0  ", "text 18,0 bb",
                    "ellipse 16,20,23,27 000000 000000", "text 32,16 x", "fill 0,28,200,29 808080",
                    "line -1,29 -1,27 200,27 FFFFFF", "line 200,27 200,29 -1,29 000000"}));
    // Scrolled: the same page rectangle lands at the canvas origin, moved.
    Page.Canvas.Log.clear();
    Page.Doc->RenderPage(Page.Canvas, {0, 16, 200, 32}, {5, 100}, false);
    EXPECT_EQ(Page.Canvas.Drawn("text"), (TLog{"text 37,100 x"}));
    EXPECT_EQ(Page.Canvas.Drawn("ellipse"), (TLog{"ellipse 21,104,28,111 000000 000000"}));
}

// Bullets are drawn in the text colour: a disc filled, a square and a circle as outlines.
TEST(HtmlPaint, BulletsOfEachKind) {
    TLaidOut Page(
        "<body><font color=#0000ff><ul><li type=disc>a<li type=square>b<li type=circle>c</ul>");
    Page.Layout(200);
    Page.Paint({0, 0, 200, 100});
    const auto Figures = [](const TLog& Calls) {
        TLog Out;
        for (const std::string& Call : Calls)
            Out.push_back(Call.substr(Call.rfind(' ', Call.rfind(' ') - 1)));
        return Out;
    };
    EXPECT_EQ(Figures(Page.Canvas.Drawn("ellipse")), (TLog{" FF0000 FF0000", " FF0000 none"}));
    EXPECT_EQ(Figures(Page.Canvas.Drawn("rectangle")), (TLog{" FF0000 none"}));
}

TEST(HtmlPaint, BeforeTheFirstLayoutAPaintOnlyFills) {
    TLaidOut Page("<body>aa");
    EXPECT_EQ(Page.Paint({0, 0, 50, 20}), (TLog{"fill 0,0,50,20 FFFFFF"}));
}

TEST(HtmlPaint, ABufferIsMadeOnceAndCopiedAtTheOrigin) {
    TLaidOut Page("<body>aa");
    Page.Layout(100);
    Page.Canvas.Log.clear();
    Page.Doc->RenderPage(Page.Canvas, {0, 0, 100, 20}, {3, 4}, true);
    EXPECT_EQ(Page.Canvas.Log.front(), "buffer 100x20");
    EXPECT_NE(std::find(Page.Canvas.Log.begin(), Page.Canvas.Log.end(), "[buffer] text 0,0 aa"),
              Page.Canvas.Log.end());
    EXPECT_EQ(Page.Canvas.Log.back(), "copy to 3,4");
    Page.Canvas.Log.clear();
    Page.Doc->RenderPage(Page.Canvas, {0, 0, 100, 20}, {3, 4}, true);
    EXPECT_TRUE(Page.Canvas.Drawn("buffer").empty());
}

TEST(HtmlPaint, PicturesTablesAndTheirFrames) {
    TLaidOut Page(
        "<body><img src=missing border=2 width=40 height=30><br>"
        "<table border=1 cellspacing=0 cellpadding=0><tr><td>aa</table>");
    Page.Layout(200);
    const TLog Log = Page.Paint({0, 0, 200, 100});
    const TLog Expected = {
        // The picture's raised border, two pixels wide.
        "polygon 0,0 43,0 42,1 1,1 DCDCDC", "polygon 0,0 0,33 1,32 1,1 C0C0C0",
        "polygon 0,33 43,33 42,32 1,32 404040", "polygon 43,0 43,33 42,32 42,1 808080",
        // The default picture is smaller than the box: shown as it is, framed.
        "frame 2,2,42,32 000000", "picture 3,3,19,19 16x16",
        // The table: its cell framed, then its own one-pixel bevel.
        "text 2,36 aa", "frame 1,35,15,53 C0C0C0", "line 0,34 16,34 DCDCDC",
        "line 0,34 0,54 C0C0C0", "line 0,53 16,53 404040", "line 15,34 15,54 808080"};
    TLog Drawn;
    for (const std::string& Line : Log)
        if (Line.rfind("fill", 0) != 0 && Line.rfind("font", 0) != 0 && Line.rfind("color", 0) != 0)
            Drawn.push_back(Line);
    EXPECT_EQ(Drawn, Expected);
}

// Floats are placed before the line they start; they are painted all the same.
TEST(HtmlPaint, FloatsArePainted) {
    for (const char* Html : {"<body><img align=left src=p>", "<body><img align=right src=p>aa"}) {
        TLaidOut Page(Html, {{"p", {30, 20}}});
        Page.Layout(100);
        Page.Paint({0, 0, 100, 50});
        EXPECT_EQ(Page.Canvas.Drawn("picture").size(), 1u) << Html;
    }
}

TEST(HtmlPaint, TheBackgroundPictureIsTiledFromThePageOrigin) {
    TLaidOut Page("<body background=bg.png>aa", {{"bg.png", {8, 8}}});
    Page.Layout(100);
    Page.Canvas.Log.clear();
    Page.Doc->RenderPage(Page.Canvas, {0, 30, 100, 50}, {0, 0}, false);
    EXPECT_EQ(Page.Canvas.Drawn("tile"), (TLog{"tile 0,0,100,20 8x8 from 0,-30"}));
    EXPECT_TRUE(Page.Canvas.Drawn("fill").empty());
    EXPECT_EQ(Page.Requested, (std::vector<std::string>{"bg.png"}));
}

// What a paint draws is what lies on the page rectangle, found through the line list: the same
// as testing every element.
TEST(HtmlPaint, OnlyWhatLiesOnThePageRectangleIsPainted) {
    std::string Html = "<body>";
    for (int I = 0; I < 400; ++I)
        Html += "line " + std::to_string(I) + (I % 7 == 0 ? " <b>bold</b>" : "") +
                (I % 50 == 0 ? "<table><tr><td>cell " + std::to_string(I) + "</table>" : "") +
                "<br>";
    TLaidOut Page(Html);
    const TIpHtmlRect Doc = Page.Layout(300);
    for (const TIpHtmlRect R :
         {TIpHtmlRect{0, 0, 300, 100}, TIpHtmlRect{0, 3000, 300, 3333},
          TIpHtmlRect{0, Doc.Bottom - 200, 300, Doc.Bottom}, TIpHtmlRect{40, 805, 90, 811}}) {
        Page.Paint(R);
        std::multiset<std::string> Drawn, Expected;
        for (const std::string& Line : Page.Canvas.Drawn("text")) Drawn.insert(Line);
        Page.Doc->HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
            auto* Block = dynamic_cast<TIpHtmlNodeBlock*>(Node);
            if (!Block) return;
            for (const LayoutElement* E : Block->Elements())
                if (E->ElementType == TElementType::Word && RectsIntersect(E->WordRect, R))
                    Expected.insert("text " + std::to_string(E->WordRect.Left - R.Left) + "," +
                                    std::to_string(E->WordRect.Top - R.Top) + " " + E->AnsiWord);
        });
        EXPECT_FALSE(Expected.empty());
        EXPECT_EQ(Drawn, Expected) << RectText(R);
    }
}

TEST(HtmlSelection, CopiedTextAndInversion) {
    TLaidOut Page("<body>aa bb<br>cc dd");
    Page.Layout(200);
    EXPECT_EQ(Page.Doc->SelectionText(), "");
    Page.Doc->SetSelectionPoints({3, 20}, {20, 5});  // ordered: the higher point starts
    EXPECT_EQ(Page.Doc->SelStart(), (TIpHtmlPoint{20, 5}));
    EXPECT_EQ(Page.Doc->SelectionText(), "bb\r\ncc");
    Page.Paint({0, 0, 200, 100});
    EXPECT_EQ(Page.Canvas.Drawn("invert"), (TLog{"invert 18,0,30,16", "invert 0,16,12,32"}));
    Page.Doc->SelectAll();
    EXPECT_EQ(Page.Doc->SelectionText(), "aa bb\r\ncc dd");
    // Lines that wrapped come apart at the wrap; a table's cells come with their text.
    TLaidOut Wrapped("<body>aa bb cc<table><tr><td>x<td>y</table>zz");
    Wrapped.Layout(40);
    Wrapped.Doc->SelectAll();
    EXPECT_EQ(Wrapped.Doc->SelectionText(), "aa bb\r\ncc\r\nxy\r\nzz");
    Wrapped.Doc->SetSelectionPoints({-1, -1}, {-1, -1});
    EXPECT_EQ(Wrapped.Doc->SelectionText(), "");
}

TEST(HtmlMouse, TheHotAnchorIsTheFirstUnderThePoint) {
    std::string Html = "<body>";
    for (int I = 0; I < 300; ++I)
        Html += (I % 3 ? "plain " : "") + std::string("<a href=l") + std::to_string(I) + ">link " +
                std::to_string(I) + "</a> " + (I % 11 == 0 ? "<br>" : "");
    Html += "<a href=tall><img src=p40x600></a>";
    TLaidOut Page(Html, {{"p40x600", {40, 600}}});
    const TIpHtmlRect Doc = Page.Layout(300);
    int Hot = 0;
    for (int32_t Y = 0; Y < Doc.Bottom; Y += 7)
        for (int32_t X = 0; X < 300; X += 5) {
            TIpHtmlNodeA* Walked = nullptr;
            for (TIpHtmlNodeA* Anchor : Page.Doc->Anchors())
                if (Anchor->AnchorHitTest({X, Y})) {
                    Walked = Anchor;
                    break;
                }
            Page.Doc->TrackMouse({X, Y});
            ASSERT_EQ(Page.Doc->HotNode(), Walked) << X << "," << Y;
            Hot += Walked != nullptr;
        }
    EXPECT_GT(Hot, 100);
}

TEST(HtmlMouse, AHotLinkShowsInTheActiveColourAndIsRepainted) {
    TLaidOut Page("<body>xx <a href=there>go on</a>");
    Page.Layout(200);
    Page.Paint({0, 0, 200, 50});
    std::vector<TIpHtmlRect> Invalid;
    Page.Doc->OnInvalidateRect = [&](const TIpHtmlRect& R) { Invalid.push_back(R); };
    const TIpHtmlRect Link = WordRect(*Page.Doc, "go");
    Page.Doc->TrackMouse({Link.Left + 1, Link.Top + 1});
    auto* Anchor = FirstNode<TIpHtmlNodeA>(*Page.Doc);
    ASSERT_EQ(Page.Doc->HotNode(), Anchor);
    EXPECT_EQ(Anchor->Props().FontColor(), 0x0000FFu);
    // The words and the blank between them make one rectangle.
    EXPECT_EQ(Invalid, (std::vector<TIpHtmlRect>{{18, 0, 48, 16}}));
    Page.Doc->TrackMouse({0, 40});
    EXPECT_EQ(Page.Doc->HotNode(), nullptr);
    EXPECT_EQ(Anchor->Props().FontColor(), 0xFF0000u);
    // Off the links, the element under the mouse is the word painted there.
    Page.Doc->TrackMouse({2, 2});
    ASSERT_NE(Page.Doc->CurElement(), nullptr);
    EXPECT_EQ(Page.Doc->CurElement()->AnsiWord, "xx");
}

TEST(HtmlMouse, AServerSideMapGivesThePointInThePicture) {
    TLaidOut Page("<body>xx<a href=map><img src=p ismap></a>", {{"p", {50, 30}}});
    Page.Layout(200);
    Page.Doc->TrackMouse({12 + 7, 5});
    EXPECT_EQ(Page.Doc->HotPoint(), (TIpHtmlPoint{7, 5}));
    auto* Anchor = FirstNode<TIpHtmlNodeA>(*Page.Doc);
    TIpHtmlRect Scrolled;
    Page.Doc->OnScroll = [&](const TIpHtmlRect& R) { Scrolled = R; };
    Anchor->FocusAnchor();
    EXPECT_EQ(Scrolled, (TIpHtmlRect{12, 0, 62, 30}));
    EXPECT_TRUE(Anchor->Hot());
    Anchor->UnfocusAnchor();
    EXPECT_FALSE(Anchor->Hot());
}

TEST(HtmlMouse, ImageMapAreas) {
    TLaidOut Page(
        "<body><img src=p usemap=#m><map name=m>"
        "<area shape=circle coords=50,50,10% href=circle>"
        "<area shape=rect coords=100,0,150,40 href=rect>"
        "<area shape=poly coords=150,60,190,60,170,99 href=poly>"
        "<area shape=rect coords=0,0,x,20 href=broken>"
        "</map>",
        {{"p", {200, 100}}});
    Page.Layout(400);
    const auto HotAt = [&](int32_t X, int32_t Y) -> std::string {
        Page.Doc->TrackMouse({X, Y});
        auto* Area = dynamic_cast<TIpHtmlNodeAREA*>(Page.Doc->HotNode());
        return Area ? Area->HRef : "";
    };
    EXPECT_EQ(HotAt(59, 50), "circle");  // a radius of 10% of 100
    EXPECT_EQ(HotAt(60, 50), "");
    EXPECT_EQ(HotAt(50, 41), "circle");
    EXPECT_EQ(HotAt(120, 10), "rect");
    // A rectangle holds its left and top edges and ends before its right and bottom ones.
    EXPECT_EQ(HotAt(100, 0), "rect");
    EXPECT_EQ(HotAt(149, 39), "rect");
    EXPECT_EQ(HotAt(99, 20), "");
    EXPECT_EQ(HotAt(150, 20), "");
    EXPECT_EQ(HotAt(120, 40), "");
    EXPECT_EQ(HotAt(150, 40), "");
    EXPECT_EQ(HotAt(170, 80), "poly");
    EXPECT_EQ(HotAt(152, 95), "");
    // Parsing stops at the first value that is no number: the rest reads 0.
    EXPECT_EQ(HotAt(5, 5), "");
}

// Each picture takes the areas of the map its USEMAP names: the first picture's map after the
// second's, a map two pictures share, and a name no map has.
TEST(HtmlMouse, EachPictureTakesTheAreasOfItsOwnMap) {
    TLaidOut Page(
        "<body><map name=Top><area shape=rect coords=0,0,50,50 href=top-left alt=Left>"
        "<area shape=circle coords=75,25,20 href=top-round></map>"
        "<img src=p usemap=#top><br><img src=p usemap=\"#bottom\"><br>"
        "<img src=p usemap=top><br><img src=p usemap=#nothing>"
        "<map name=bottom><area shape=rect coords=50,0,100,50 href=bottom-right></map>",
        {{"p", {100, 50}}});
    Page.Layout(400);
    std::vector<TIpHtmlRect> Images;
    Page.Doc->HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
        if (auto* Image = dynamic_cast<TIpHtmlNodeIMG*>(Node))
            Images.push_back(Image->Element()->WordRect);
    });
    ASSERT_EQ(Images.size(), 4u);
    const auto HotAt = [&](size_t Image, int32_t X, int32_t Y) -> std::string {
        Page.Doc->TrackMouse({Images[Image].Left + X, Images[Image].Top + Y});
        auto* Area = dynamic_cast<TIpHtmlNodeAREA*>(Page.Doc->HotNode());
        return Area ? Area->HRef + "|" + Area->HintText() : "";
    };
    EXPECT_EQ(HotAt(0, 10, 10), "top-left|Left");
    EXPECT_EQ(HotAt(0, 75, 25), "top-round|top-round");
    EXPECT_EQ(HotAt(1, 10, 10), "");
    EXPECT_EQ(HotAt(1, 75, 25), "bottom-right|bottom-right");
    EXPECT_EQ(HotAt(2, 10, 10), "top-left|Left");
    EXPECT_EQ(HotAt(2, 75, 25), "top-round|top-round");
    EXPECT_EQ(HotAt(3, 10, 10), "");
    EXPECT_EQ(HotAt(3, 75, 25), "");
}

}  // namespace

namespace {

// Every document of the parser's fuzz corpus is laid out narrow and wide, painted whole, hit
// by the mouse and copied: none may crash, hang or read out of bounds.
TEST(HtmlRobustness, TheFuzzCorpusLaysOutAndPaints) {
    const QDir Corpus(KESTRO_SOURCE_DIR "/fuzz/html/corpus");
    int Laid = 0;
    for (const QString& Name : Corpus.entryList(QDir::Files)) {
        QFile File(Corpus.filePath(Name));
        ASSERT_TRUE(File.open(QIODevice::ReadOnly));
        const QByteArray Bytes = File.readAll();
        TLaidOut Page(std::string(Bytes.constData(), size_t(Bytes.size())), {{"x", {5, 5}}});
        try {
            for (int32_t Width : {1, 500}) {
                const TIpHtmlRect Doc = Page.Layout(Width);
                Page.Paint({0, 0, Doc.Right, std::min(Doc.Bottom, 20000)});
                for (int32_t Y = 0; Y < std::min(Doc.Bottom, 2000); Y += 97)
                    Page.Doc->TrackMouse({Y % std::max(Doc.Right, 1), Y});
            }
            Page.Doc->SelectAll();
            (void)Page.Doc->SelectionText();
            ++Laid;
        } catch (const Exception&) {
            // A document may ask for more elements than a document may have.
        }
    }
    EXPECT_GT(Laid, 100);
}

}  // namespace

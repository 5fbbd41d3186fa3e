// The element parsers: golden tree dumps of a corpus of edge cases, the parse errors raised with
// FlagErrors, and the limits on what a stranger's document can make the parser do.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/Limits.h"
#include "platform/classes/Classes.h"
#include "tests/htmlview/html/HtmlTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

// Each corpus/<name>.html parses into the tree in corpus/<name>.tree. With KESTRO_UPDATE_GOLDEN
// set the trees are written instead (review the difference before committing it).
TEST(HtmlParser, CorpusParsesIntoTheGoldenTrees) {
    const fs::path Corpus = fs::path(KESTRO_SOURCE_DIR) / "tests/htmlview/html/corpus";
    std::vector<fs::path> Inputs;
    for (const auto& Entry : fs::directory_iterator(Corpus))
        if (Entry.path().extension() == ".html") Inputs.push_back(Entry.path());
    std::sort(Inputs.begin(), Inputs.end());
    ASSERT_GE(Inputs.size(), 10u);
    const bool Update = std::getenv("KESTRO_UPDATE_GOLDEN") != nullptr;
    for (const fs::path& Input : Inputs) {
        fs::path Golden = Input;
        Golden.replace_extension(".tree");
        const std::string Tree = DumpTree(*ParseHtml(ReadFile(Input.string())));
        if (Update) WriteFile(Golden.string(), Tree);
        EXPECT_EQ(Tree, ReadFile(Golden.string())) << Input.filename();
    }
}

TEST(HtmlParser, FlagErrorsRaisesWithLineAndPosition) {
    const std::pair<const char*, const char*> Cases[] = {
        {"<html><body>x</body>junk", "Error \"/HTML expected\" at line 1, position 24"},
        {"<p>\n\n<h1>title", "Error \"/H1 expected\" at line 3, position 9"},
        {"<!-x-->", "Error \"- expected\" at line 1, position 4"},
        {"<head><title>x</head>", "Error \"/TITLE expected\" at line 1, position 21"},
        {"<table><caption>x</table>", "Error \"/CAPTION expected\" at line 1, position 25"},
        {"<map name=m><p></map>", "Error \"</MAP> or <AREA> expected\" at line 1, position 15"},
        {"<select><optgroup><p>", "Error \"/OPTGROUP expected\" at line 1, position 21"},
        {"<font color=#12345>x", "Error \"Invalid color constant:#12345\" at line 1, position 19"},
        {"<img width=abc>", "Error \"Invalid integer constant\" at line 1, position 15"},
        {"<p align=up>x", "Error \"Invalid alignment specified\" at line 1, position 12"},
        {"<ul type=star><li>x</ul>", "Error \"Invalid type specified\" at line 1, position 14"},
        {"<frameset><frame scrolling=maybe>",
         "Error \"Invalid scrolling specified\" at line 1, position 33"},
        // Without an HTML tag the text is read twice; positions count from its start again.
        {"x\n<h2>y", "Error \"/H2 expected\" at line 2, position 5"},
        // An IMG without HEIGHT is no error.
        {"<img src=a.gif><b>x</b>", ""},
    };
    for (const auto& [Html, Expected] : Cases) EXPECT_EQ(ParseError(Html), Expected) << Html;
}

TEST(HtmlParser, AParseErrorLeavesTheTreeBuiltSoFar) {
    TIpHtml Doc;
    Doc.FlagErrors = true;
    TStringStream Stream("<p>kept<h1>x");
    EXPECT_NE(ErrorOf([&] { Doc.Parse(Stream); }), "");
    EXPECT_NE(DumpTree(Doc).find("Text 'kept'"), std::string::npos);
    EXPECT_FALSE(Doc.Parsed());
}

int TreeDepth(const TIpHtml& Doc, size_t& Nodes) {
    int Deepest = 0;
    Nodes = 0;
    std::vector<std::pair<const TIpHtmlNode*, int>> Pending{{Doc.HtmlNode(), 0}};
    while (!Pending.empty()) {
        const auto [Node, Depth] = Pending.back();
        Pending.pop_back();
        ++Nodes;
        Deepest = std::max(Deepest, Depth);
        if (const auto* Multi = dynamic_cast<const TIpHtmlNodeMulti*>(Node))
            for (int I = 0; I < Multi->ChildCount(); ++I)
                Pending.push_back({Multi->ChildNode(I), Depth + 1});
    }
    return Deepest;
}

std::string Repeat(const std::string& Text, int Count) {
    std::string Out;
    Out.reserve(Text.size() * size_t(Count));
    for (int I = 0; I < Count; ++I) Out += Text;
    return Out;
}

// Markup nested too deep is flattened at the limit: the tree stays shallow, none of the text is
// lost, and the tree frees without recursion.
void ExpectFlattened(const char* Name, const std::string& Html, size_t TextNodes) {
    auto Doc = ParseHtml(Html);
    size_t Nodes = 0;
    EXPECT_LE(TreeDepth(*Doc, Nodes), HtmlLimits::kMaxNestingDepth + 8) << Name;
    size_t Texts = 0;
    Doc->HtmlNode()->ForEachNode(
        [&](TIpHtmlNode* Node) { Texts += dynamic_cast<TIpHtmlNodeText*>(Node) != nullptr; });
    EXPECT_EQ(Texts, TextNodes) << Name;
}

TEST(HtmlParser, AHundredThousandLevelsParseAndFree) {
    ExpectFlattened("div", Repeat("<div>x", 100000), 100000);
    ExpectFlattened("tables", "<html><body>" + Repeat("<table><tr><td>x", 100000), 100000);
}

TEST(HtmlParser, EveryWayOfNestingIsFlattened) {
    const int Deep = 20000;
    ExpectFlattened("font styles", Repeat("<b><i>x", Deep), Deep);
    ExpectFlattened("lists", Repeat("<ul><li>x", Deep), Deep);
    ExpectFlattened("definitions", Repeat("<dl><dd>x", Deep), Deep);
    ExpectFlattened("anchors", Repeat("<a href=#>x", Deep), Deep);
    ExpectFlattened("framesets", Repeat("<frameset rows=*>", Deep) + "<noframes>x", 1);
    ExpectFlattened("fieldsets", "<input>" + Repeat("<fieldset><button>x", Deep), Deep);
    ExpectFlattened("bodies", Repeat("<p><body>x", Deep), Deep);
    ExpectFlattened("headers", Repeat("<h1><pre>x", Deep), Deep);
}

TEST(HtmlParser, ATreeBuiltDeeperThanTheParserGoesFreesWithoutRecursion) {
    auto Doc = std::make_unique<TIpHtml>();
    TIpHtmlNode* Parent = new TIpHtmlNodeBODY(Doc->HtmlNode());
    for (int I = 0; I < 200000; ++I) Parent = new TIpHtmlNodeDIV(Parent);
    new TIpHtmlNodeText(Parent, "deep");
    Doc.reset();
    // Freeing one branch by hand unlinks it from its parent.
    TIpHtml Other;
    auto* Body = new TIpHtmlNodeBODY(Other.HtmlNode());
    auto* Div = new TIpHtmlNodeDIV(Body);
    for (int I = 0; I < 1000; ++I) new TIpHtmlNodeDIV(Div);
    delete Div;
    EXPECT_EQ(Body->ChildCount(), 0);
}

TEST(HtmlParser, SpansAreClampedAndIntegersBounded) {
    auto Doc = ParseHtml(
        "<table cellspacing=99999999><tr><td colspan=0 rowspan=-4>a<td colspan=100000 "
        "rowspan=9999999>b<td colspan=7 rowspan=70000>c</table>");
    std::vector<std::pair<int32_t, int32_t>> Spans;
    Doc->HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
        if (auto* Cell = dynamic_cast<TIpHtmlNodeTD*>(Node))
            Spans.push_back({Cell->Colspan, Cell->Rowspan});
    });
    using P = std::pair<int32_t, int32_t>;
    EXPECT_EQ(Spans, (std::vector<P>{{1, 1}, {1000, 65534}, {7, 65534}}));
    const auto* Table = Doc->Images().empty() ? nullptr : Doc->Images()[0];
    EXPECT_EQ(Table, nullptr);
    EXPECT_NE(DumpTree(*Doc).find("CellSpacing=1000000"), std::string::npos);
}

TEST(HtmlParser, LinksAreReportedWithoutFragments) {
    std::vector<std::string> Reported;
    auto Doc = std::make_unique<TIpHtml>();
    Doc->OnReportReference = [&](const std::string& URL) { Reported.push_back(URL); };
    TStringStream Stream(
        "<a href=one.htm#part>1</a><a href=#local>2</a><a href='  '>3</a><a name=n>4</a>"
        "<map><area href=two.htm><area nohref></map><link href=style.css>");
    Doc->Parse(Stream);
    EXPECT_EQ(Reported, (std::vector<std::string>{"one.htm", "two.htm"}));
    EXPECT_TRUE(Doc->Parsed());
}

TEST(HtmlParser, DocumentListsFollowTheNodes) {
    auto Doc = ParseHtml(
        "<a name=Top href=x>a</a><a name=top>b</a><a href=y>c</a><form><input><select>"
        "<option>o</select><textarea>t</textarea><label>l</label></form><map name=m></map>"
        "<img src=p.png><iframe src=f.htm></iframe>");
    EXPECT_EQ(Doc->Anchors().size(), 2u);
    ASSERT_NE(Doc->FindNamedAnchor("TOP"), nullptr);
    EXPECT_EQ(Doc->FindNamedAnchor("TOP")->HRef(), "x");  // the first of a name keeps it
    EXPECT_EQ(Doc->Controls().size(), 5u);                // INPUT SELECT TEXTAREA LABEL IFRAME
    EXPECT_EQ(Doc->Maps().size(), 1u);
    EXPECT_EQ(Doc->Images().size(), 1u);
    Doc->FindNamedAnchor("top")->SetHRef("");
    Doc->FindNamedAnchor("top")->SetName("other");
    EXPECT_EQ(Doc->Anchors().size(), 1u);
    EXPECT_EQ(Doc->FindNamedAnchor("top"), nullptr);
    EXPECT_NE(Doc->FindNamedAnchor("Other"), nullptr);
}

TEST(HtmlParser, ParsingAgainReplacesTheTree) {
    TIpHtml Doc;
    TStringStream First("<head><title>One</title></head><img><b>x</b>");
    Doc.Parse(First);
    TStringStream Second("<head><title>Two</title></head>y");
    Doc.Parse(Second);
    EXPECT_EQ(Doc.Title(), "Two");
    EXPECT_TRUE(Doc.Images().empty());
    EXPECT_EQ(Doc.Pool().Count(), 0u);  // the old tree's elements went with it
}

TEST(HtmlParser, WordsAreCutAtSoftHyphens) {
    TIpHtml Doc;
    auto* Body = new TIpHtmlNodeBODY(Doc.HtmlNode());
    auto* Text = new TIpHtmlNodeText(Body, "");
    Doc.BuildWordList("hy&shy;phen&shy;ation", nullptr, Text);
    Doc.BuildWordList("&shy;x&shy;", nullptr, Text);
    Doc.BuildWordList("   ", nullptr, Text);
    std::string Words;
    for (const LayoutElement* E : Body->Elements())
        Words += E->ElementType == TElementType::SoftHyphen
                     ? std::string("-")
                     : "[" + E->AnsiWord + "]" + std::to_string(E->IsBlank);
    EXPECT_EQ(Words, "[hy]0-[phen]0-[ation]0[]0-[x]0[   ]3");
}

TEST(HtmlParser, AnInlineFrameIsHeldSharedByItsNode) {
    auto Doc = ParseHtml("<iframe src=f.htm></iframe>");
    auto* Frame = dynamic_cast<TIpHtmlNodeIFRAME*>(Doc->Controls().at(0));
    ASSERT_NE(Frame, nullptr);
    auto Shown = std::make_shared<int>(7);
    Frame->Frame =
        std::shared_ptr<TIpHtmlFrame>(Shown, reinterpret_cast<TIpHtmlFrame*>(Shown.get()));
    std::weak_ptr<int> Watch = Shown;
    Shown.reset();  // the frame's owner lets go first: the node still holds it
    EXPECT_FALSE(Watch.expired());
    Doc.reset();
    EXPECT_TRUE(Watch.expired());
}

TEST(HtmlParser, NodesNeedAContainerAsParent) {
    TIpHtml Doc;
    auto* Text = new TIpHtmlNodeText(Doc.HtmlNode(), "x");
    EXPECT_EQ(ErrorOf([&] { new TIpHtmlNodeBR(Text); }), "Parent is not a container");
    EXPECT_EQ(Doc.HtmlNode()->ChildCount(), 1);
}

}  // namespace

// Property records shared by copy on write, the properties inline nodes give their content, and
// the element pool.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlPool.h"
#include "tests/htmlview/html/HtmlTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(HtmlProps, EqualValuesShareOneRecord) {
    TIpHtml Doc;
    TIpHtmlPropList& List = Doc.PropList();
    ASSERT_EQ(List.PropACount(), 1u);
    ASSERT_EQ(List.PropBCount(), 1u);
    // One use for the document, one for its default properties, one per TIpHtmlProps.
    EXPECT_EQ(Doc.DefaultPropA()->UseCount(), 2);
    TIpHtmlProps Props(Doc);
    EXPECT_EQ(Doc.DefaultPropB()->UseCount(), 3);

    Props.SetFontSize(12);  // the value it has: no record
    EXPECT_EQ(List.PropACount(), 1u);
    Props.SetFontSize(14);
    EXPECT_EQ(List.PropACount(), 2u);
    EXPECT_EQ(Doc.DefaultPropA()->UseCount(), 2);
    Props.SetFontSize(12);  // back: the first record again, not a third
    EXPECT_EQ(Props.PropA(), Doc.DefaultPropA());
    EXPECT_EQ(List.PropACount(), 2u);  // font records stay while the document lives

    Props.SetAlignment(TIpHtmlAlign::haDefault);
    EXPECT_EQ(Props.PropB(), Doc.DefaultPropB());
    Props.SetAlignment(TIpHtmlAlign::haRight);
    EXPECT_EQ(List.PropBCount(), 2u);
    Props.SetAlignment(TIpHtmlAlign::haLeft);  // the right-aligned record lost its last use
    EXPECT_EQ(List.PropBCount(), 1u);

    TIpHtmlProps Other(Doc);
    Other.SetFontSize(14);
    Other.SetBgColor(0x00FF00);
    Props.Assign(Other);
    EXPECT_TRUE(Props.PropsEqual(Other));
    EXPECT_EQ(Other.PropB()->UseCount(), 2);
}

TEST(HtmlProps, ARecordLeavingTheListIsReplacedByTheLast) {
    TIpHtml Doc;
    TIpHtmlProps Red(Doc), Green(Doc), Blue(Doc);
    Red.SetFontColor(0x0000FF);
    Green.SetFontColor(0x00FF00);
    Blue.SetFontColor(0xFF0000);
    TIpHtmlPropList& List = Doc.PropList();
    ASSERT_EQ(List.PropBCount(), 4u);
    Red.SetFontColor(0);
    ASSERT_EQ(List.PropBCount(), 3u);
    EXPECT_EQ(List.PropB(1), Blue.PropB());
    EXPECT_EQ(List.PropB(2), Green.PropB());
    // The index still finds the moved record.
    TIpHtmlProps AgainBlue(Doc);
    AgainBlue.SetFontColor(0xFF0000);
    EXPECT_EQ(AgainBlue.PropB(), Blue.PropB());
}

TEST(HtmlProps, ASpaceOfWidthZeroIsAnInternalError) {
    TIpHtml Doc;
    EXPECT_EQ(ErrorOf([&] { Doc.DefaultPropA()->SetKnownSizeOfSpace(0, 12); }), "Internal error");
    Doc.DefaultPropA()->SetKnownSizeOfSpace(4, 12);
    EXPECT_TRUE(Doc.DefaultPropA()->SizeOfSpaceKnown());
    Doc.PropList().ClearFontMetrics();
    EXPECT_FALSE(Doc.DefaultPropA()->SizeOfSpaceKnown());
}

// The properties in force at the first text of Html, after the document assigned its defaults.
const TIpHtmlProps& TextProps(TIpHtml& Doc) {
    Doc.SetDefaultProps();
    Doc.HtmlNode()->AssignProps(Doc.DefaultProps());
    const TIpHtmlProps* Found = nullptr;
    Doc.HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
        if (auto* Text = dynamic_cast<TIpHtmlNodeText*>(Node); Text && !Found)
            Found = Text->Props();
    });
    return *Found;
}

std::string Describe(const TIpHtmlProps& P) {
    char Color[16];
    std::snprintf(Color, sizeof Color, "%06X", P.FontColor());
    return P.FontName() + " " + std::to_string(P.FontSize()) + " style" +
           std::to_string(P.FontStyle()) + " offset" + std::to_string(P.BaseOffset()) + " align" +
           std::to_string(int(P.Alignment())) + " color" + Color +
           (P.Preformatted() ? " pre" : "") + (P.NoBreak() ? " nobr" : "");
}

TEST(HtmlProps, InlineNodesChangeThePropertiesOfTheirContent) {
    const std::pair<const char*, const char*> Cases[] = {
        {"<body>x", "Times New Roman 12 style0 offset0 align1 color000000"},
        {"<b><i>x", "Times New Roman 12 style3 offset0 align1 color000000"},
        {"<font size=+2 face='Arial, Helvetica' color=red>x",
         "Arial 18 style0 offset0 align1 color0000FF"},
        {"<font size=1>x", "Times New Roman 8 style0 offset0 align1 color000000"},
        {"<font size=9>x", "Times New Roman 12 style0 offset0 align1 color000000"},
        {"<h2 align=center>x", "Times New Roman 18 style1 offset0 align2 color000000"},
        {"<pre>x", "Courier New 10 style0 offset0 align1 color000000 pre"},
        {"<sub>x", "Times New Roman 8 style0 offset-2 align1 color000000"},
        {"<sup><big>x", "Times New Roman 10 style0 offset4 align1 color000000"},
        {"<tt><u><s>x", "Courier New 12 style12 offset0 align1 color000000"},
        {"<code><em><strong>x", "Courier New 12 style3 offset0 align1 color000000"},
        {"<nobr><del><ins>x", "Times New Roman 12 style12 offset0 align1 color000000 nobr"},
        {"<span align=right>x", "Times New Roman 12 style0 offset0 align3 color000000"},
        {"<p align=justify>x", "Times New Roman 12 style0 offset0 align4 color000000"},
        {"<a href=x>x", "Times New Roman 12 style4 offset0 align1 colorFF0000"},
        {"<a href=#top>x", "Times New Roman 12 style4 offset0 align1 color800080"},
        {"<a name=x>x", "Times New Roman 12 style0 offset0 align1 color000000"},
        {"<body text=green link=navy><a href=x>x",
         "Times New Roman 12 style4 offset0 align1 color800000"},
        {"<body text=green>x", "Times New Roman 12 style0 offset0 align1 color008000"},
    };
    for (const auto& [Html, Expected] : Cases) {
        auto Doc = ParseHtml(Html);
        EXPECT_EQ(Describe(TextProps(*Doc)), Expected) << Html;
    }
    // A link the viewer has seen shows in the visited colour.
    auto Doc = ParseHtml("<a href=seen#part>x</a>");
    std::string Asked;
    Doc->OnURLCheck = [&](const std::string& URL) {
        Asked = URL;
        return true;
    };
    EXPECT_EQ(TextProps(*Doc).FontColor(), 0x800080u);
    EXPECT_EQ(Asked, "seen");
}

TEST(HtmlProps, FontTagsShareRecordsByValue) {
    auto Doc = ParseHtml(
        "<font color=red>a</font><font color=red>b</font><font color=blue>c</font>"
        "<font color=red><b>d</b></font><b>e</b>");
    TextProps(*Doc);
    TIpHtmlPropList& List = Doc->PropList();
    EXPECT_EQ(List.PropBCount(), 3u);  // default, red, blue
    EXPECT_EQ(List.PropACount(), 2u);  // plain, bold
    int RedUses = 0;
    for (size_t I = 0; I < List.PropBCount(); ++I)
        if (List.PropB(I)->Key().FontColor == 0x0000FF) RedUses = List.PropB(I)->UseCount();
    EXPECT_EQ(RedUses, 4);  // three FONTs and the B inside the third
    // Freeing the tree gives every record back but the document's own.
    Doc->Clear();
    EXPECT_EQ(List.PropBCount(), 1u);
    EXPECT_EQ(Doc->DefaultPropB()->UseCount(), 2);
}

TEST(HtmlPool, ItemsComeInPagesUpToTheLimit) {
    TIpHtmlPoolManager Pool(48, 100);
    EXPECT_EQ(Pool.ItemSize(), 64u);
    std::vector<void*> Items;
    for (int I = 0; I < 100; ++I) Items.push_back(Pool.NewItm());
    EXPECT_EQ(ErrorOf([&] { Pool.NewItm(); }), "Out of memory");
    std::vector<void*> Seen;
    Pool.EnumerateItems([&](void* Item) { Seen.push_back(Item); });
    EXPECT_EQ(Seen, Items);
    EXPECT_EQ(static_cast<char*>(Items[1]) - static_cast<char*>(Items[0]), 64);
    EXPECT_EQ(TIpHtmlPoolManager(5000, 1).ItemSize(), 8192u);
}

}  // namespace

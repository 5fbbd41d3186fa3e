// What the nodes do besides holding properties: size resets reaching the document, text changes
// reaching their block, the hints they give, and the order trees are walked in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "htmlview/html/IpHtml.h"
#include "tests/htmlview/html/HtmlTestSupport.h"

namespace {

template <class T>
T* First(TIpHtml& Doc) {
    T* Found = nullptr;
    Doc.HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
        if (!Found) Found = dynamic_cast<T*>(Node);
    });
    return Found;
}

TEST(HtmlNodes, SizeChangesReachTheDocument) {
    auto Doc = ParseHtml("<body bgcolor=red><table><tr><td><img src=a width=10><b>x</b></table>");
    int Reports = 0;
    Doc->OnInvalidSize = [&] { ++Reports; };
    First<TIpHtmlNodeBODY>(*Doc)->SetBgColor(0x0000FF);  // the value it has
    EXPECT_EQ(Reports, 0);
    First<TIpHtmlNodeBODY>(*Doc)->SetBgColor(0x00FF00);
    EXPECT_EQ(Reports, 1);
    // The parser connects value objects to their node.
    First<TIpHtmlNodeIMG>(*Doc)->Width.SetLengthValue(20);
    EXPECT_EQ(Reports, 2);
    auto* Cell = First<TIpHtmlNodeTD>(*Doc);
    Cell->Height.SetValue(5);
    EXPECT_EQ(Reports, 3);
    EXPECT_EQ(Cell->MinWidth(), -1);
    First<TIpHtmlNodeTABLE>(*Doc)->SetBorder(2);
    EXPECT_EQ(First<TIpHtmlNodeTABLE>(*Doc)->Frame, TIpHtmlFrameProp::hfBorder);
    EXPECT_EQ(Reports, 4);
}

TEST(HtmlNodes, ChangingATextMakesItsBlockBuildAgain) {
    auto Doc = ParseHtml("<body><p><b>old</b></p>");
    auto* Text = First<TIpHtmlNodeText>(*Doc);
    Doc->BuildWordList(Text->EscapedText(), Text->Props(), Text);
    ASSERT_EQ(Doc->Body()->Elements().size(), 1u);
    int Reports = 0;
    Doc->OnInvalidSize = [&] { ++Reports; };
    Text->SetANSIText("a < b");
    EXPECT_EQ(Text->EscapedText(), "a &lt; b");
    EXPECT_EQ(Text->ANSIText(), "a < b");
    EXPECT_TRUE(Doc->Body()->Elements().empty());
    EXPECT_EQ(Reports, 1);
}

TEST(HtmlNodes, HintsAndLimits) {
    auto Doc = ParseHtml(
        "<body><a href=link.htm>a</a><img alt=Picture><map><area href=area.htm><area alt=Alt "
        "href=x></map><applet alt=Applet></applet><input alt=Field><b>x</b>");
    std::vector<std::string> Hints;
    Doc->HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
        if (const std::string Hint = Node->HintText(); !Hint.empty()) Hints.push_back(Hint);
    });
    EXPECT_EQ(Hints, (std::vector<std::string>{"link.htm", "Picture", "area.htm", "Alt", "Applet",
                                               "Field"}));
    EXPECT_EQ(First<TIpHtmlNodeFontStyle>(*Doc)->ParentWidthLimit(), 0x7FFFFFFF);
}

TEST(HtmlNodes, TreesAreWalkedInDocumentOrder) {
    auto Doc = ParseHtml("<body><p>a<b>b</b>c</p><p>d</p>");
    std::string Order;
    Doc->HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
        if (auto* Text = dynamic_cast<TIpHtmlNodeText*>(Node)) Order += Text->EscapedText();
    });
    EXPECT_EQ(Order, "abcd");
}

}  // namespace

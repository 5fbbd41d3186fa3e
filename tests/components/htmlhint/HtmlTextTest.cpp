// The renderer's small routines: entities, colour values, attributes and numbers.
#include <gtest/gtest.h>

#include <climits>

#include "components/htmlhint/HtmlText.h"

using namespace HtmlText;

namespace {

TEST(HtmlText, EntitiesAreReplacedUntilNoneIsLeft) {
    const std::pair<const char*, const char*> Cases[] = {
        {"a&amp;b", "a&&b"},
        {"&QUOT;x&quot;", "\"x\""},
        {"&sect;&permil;&reg;&copy;&para;&trade;&euro;", "\xA7\x89\xAE\xA9\xB6\x99\x80"},
        // The second ampersand of a replaced "&amp;" starts the entity that follows it.
        {"&amp;quot;", "&\""},
        {"&amp;amp;amp;", "&&&&"},
        {"&amp", "&amp"},
        {"& amp;", "& amp;"},
        {"&nbsp;&lt;", "&nbsp;&lt;"},
        {"", ""},
    };
    for (const auto& [In, Out] : Cases) EXPECT_EQ(ReplaceEntities(In), Out) << In;
    EXPECT_EQ(ReplaceRunEntities("&nbsp;&LT;b&gt;&amp;"), " <b>&amp;");
}

TEST(HtmlText, ColourValuesByHexAndByName) {
    EXPECT_EQ(HexToColor("#FF0000"), clRed);
    EXPECT_EQ(HexToColor("#00FF00"), clLime);
    EXPECT_EQ(HexToColor("#0000ff"), clBlue);
    EXPECT_EQ(HexToColor("#12"), 0x12);
    EXPECT_EQ(HexToColor("#GG0000"), 0);
    const std::pair<const char*, TColor> Names[] = {
        {"clRed", 0x0000FF},        {"CLNAVY", 0x800000},
        {"clmaroon", 0x000080},     {"clBackground", SysColor(1)},
        {"clInfoBk", SysColor(24)}, {"cl3DDkShadow", SysColor(21)},
        {"clNoSuchColour", 0},      {"", 0},
    };
    for (const auto& [Name, Color] : Names) EXPECT_EQ(Text2Color(Name), Color) << Name;
    EXPECT_EQ(ColorValue("#808080"), clGray);
    EXPECT_EQ(ColorValue("CLTEAL"), clTeal);
}

TEST(HtmlText, AttributesNumbersAndCaseInsensitiveSearch) {
    std::string V;
    EXPECT_TRUE(AttributeValue("FONT FACE=\"ARIAL\" COLOR=\"#FF0000\"", " COLOR", V));
    EXPECT_EQ(V, "#FF0000");
    EXPECT_TRUE(AttributeValue("FONT BGCOLOR=\"CLRED\" COLOR=CLBLUE SIZE=3", " COLOR", V));
    EXPECT_EQ(V, "CLBLUE");
    EXPECT_TRUE(AttributeValue("P ALIGN=\"CENTER", "ALIGN", V));
    EXPECT_EQ(V, "CENTER");
    EXPECT_FALSE(AttributeValue("P", "ALIGN", V));
    EXPECT_EQ(FirstQuoted("a href=\"MixedCase.html\" x=\"y\""), "MixedCase.html");
    EXPECT_EQ(IStrToInt("42px"), 42);
    EXPECT_EQ(IStrToInt(" -7"), -7);
    EXPECT_EQ(IStrToInt("x1"), 0);
    EXPECT_EQ(IStrToInt("99999999999999999999"), INT_MAX);
    EXPECT_EQ(IPos("BODY", "<body bgcolor>"), 1u);
    EXPECT_EQ(IPos("x", "abc"), npos);
    std::string S = "one Two two";
    EXPECT_TRUE(TagReplaceString("two", "2", S));
    EXPECT_EQ(S, "one 2 two");
    EXPECT_FALSE(TagReplaceString("three", "3", S));
}

}  // namespace

// Entity conversion both ways and the two text normalisers.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "htmlview/html/IpHtmlEntities.h"

namespace {

TEST(HtmlEntities, EscapeToAnsiCases) {
    const std::pair<std::string, std::string> Cases[] = {
        {"&lt;&#65;&#x42;&copy;&bogus;", "<AB\xA9 "},
        {"&#5;", " "},
        {"&#10;&#31;&#0;", "   "},  // control codes are never made
        {"&#300;", " "},
        {"&#X41;", "A"},
        {"&#32;&#255;", " \xFF"},
        {"AT&T", "AT&T"},
        {"&amp x", "&x"},
        {"&amp;lt;", "&lt;"},
        {"R&D dept", "R dept"},  // unknown names become a blank
        {"&", "&"},
        {"x&", "x&"},
        {"x&;y", "x&;y"},
        {"&nbsp;&shy;", "\x02\x01"},
        {"&euro;", " "},  // no name for 128 in the table
        {"&hellip;&mdash;&trade;&Yuml;", "\x85\x97\x99\x9F"},
        {"&#x;", " "},
        {"&#12a;", " "},
        {"no entities", "no entities"},
        {"&LT;", " "},  // names are compared exactly
    };
    for (const auto& [Text, Expected] : Cases) EXPECT_EQ(EscapeToAnsi(Text), Expected) << Text;
}

// The HTML 4 names of the Latin-1 codes, as Python's html.entities has them.
TEST(HtmlEntities, LatinOneNamesMatchTheStandardTable) {
    const std::pair<const char*, int> Names[] = {
#include "tests/htmlview/html/Latin1Entities.inc"
    };
    ASSERT_EQ(std::size(Names), 95u);
    for (const auto& [Name, Code] : Names) {
        const char Expected = Code == 173 ? '\x01' : char(Code);  // shy is the internal code
        EXPECT_EQ(EscapeToAnsi(std::string("&") + Name + ";"), std::string(1, Expected)) << Name;
    }
}

TEST(HtmlEntities, AnsiToEscapeUndoesTheSpecialCharacters) {
    EXPECT_EQ(AnsiToEscape("a<b>&\"c\x01\x02"), "a&lt;b&gt;&amp;&quot;c&shy;&nbsp;");
    const std::string Text = "x < y & \"z\" \x02";
    EXPECT_EQ(EscapeToAnsi(AnsiToEscape(Text)), Text);
    EXPECT_EQ(NoBreakToSpace("a\x02"
                             "b\x02"),
              "a b ");
}

TEST(HtmlEntities, TextNormalisers) {
    EXPECT_EQ(NormalizeText("a\tb\x01"
                            "c"),
              "abc");
    EXPECT_EQ(NormalizeText("ab\ncd"), "ab cd");
    EXPECT_EQ(NormalizeText("\nab"), "ab");  // a line feed within the first two is dropped
    EXPECT_EQ(NormalizeText("a\nb"), "ab");
    EXPECT_EQ(NormalizeText("a   b  \n c"), "a b c");
    EXPECT_EQ(NormalizePreText("a\tb\r\nc"), "a b\nc");
    EXPECT_EQ(NormalizePreText("a\r\rb"), "a\n\nb");
    EXPECT_EQ(NormalizePreText("a\n\nb"), "a\nb");
    EXPECT_EQ(NormalizePreText("a\x0B\x0C\x01"
                               "z\x0D"),
              "az\n");
}

}  // namespace

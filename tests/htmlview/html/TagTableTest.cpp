#include <gtest/gtest.h>

#include <string>

#include "htmlview/html/IpHtmlTokens.h"

namespace {

TIpHtmlToken Token(int Number) {
    return TIpHtmlToken(Number);
}

TEST(TagTable, NumbersAndNamesAreTheDocumentedOnes) {
    const std::pair<int, const char*> kNumbered[] = {
        {0, "<eof>"},    {1, "<unknown>"}, {2, "<text>"},     {3, "HTML"},    {4, "/HTML"},
        {15, "ISINDEX"}, {18, "LINK"},     {19, "BODY"},      {46, "/DT"},    {71, "HR"},
        {72, "TT"},      {73, "/TT"},      {91, "/SUP"},      {92, "EM"},     {111, "/ACRONYM"},
        {112, "A"},      {114, "IMG"},     {120, "BASEFONT"}, {126, "AREA"},  {127, "!DOCTYPE"},
        {128, "!--"},    {151, "COL"},     {152, "INPUT"},    {175, "FRAME"}, {176, "NOFRAMES"},
        {178, "IFRAME"}, {179, "/IFRAME"},
    };
    for (auto [Number, Name] : kNumbered) EXPECT_STREQ(HtmlTokenName(Token(Number)), Name);
    EXPECT_EQ(kHtmlTokenCount, 180);
}

// The enumeration, the names and the sorted search are one list: every tag's name finds the tag.
TEST(TagTable, EveryTagNameFindsItsToken) {
    for (int Number = ttHTML; Number < kHtmlTokenCount; ++Number)
        EXPECT_EQ(HtmlTokenOfName(HtmlTokenName(Token(Number))), Token(Number))
            << HtmlTokenName(Token(Number));
    for (const char* NoTag : {"<eof>", "<unknown>", "<text>", "html", "", "/", "XYZ", "H7"})
        EXPECT_EQ(HtmlTokenOfName(NoTag), ttUnknown) << NoTag;
}

TEST(TagTable, AnEndTagFollowsItsElement) {
    int Ends = 0;
    for (int Number = ttHTML; Number < kHtmlTokenCount; ++Number) {
        const std::string Name = HtmlTokenName(Token(Number));
        if (Name[0] != '/') continue;
        ++Ends;
        EXPECT_EQ(Name, std::string("/") + HtmlTokenName(Token(Number - 1)));
        EXPECT_EQ(IsHtmlEndTag(Number), Number != ttDTEnd) << Name;
        EXPECT_FALSE(IsHtmlEndTag(Number - 1)) << Name;
    }
    EXPECT_EQ(Ends, 81);
    EXPECT_FALSE(IsHtmlEndTag(ttText));
    EXPECT_FALSE(IsHtmlEndTag(kHtmlTokenCount));
}

// The style enumerations follow the tags' order: the n-th start tag of the group is style n.
TEST(TagTable, FontStylesAndPhrasesAreTheirGroupsStartTags) {
    const char* const kFontStyles[] = {"TT", "I",   "B",     "U",   "STRIKE",
                                       "S",  "BIG", "SMALL", "SUB", "SUP"};
    const char* const kPhrases[] = {"EM",  "STRONG", "DFN",  "CODE", "SAMP",
                                    "KBD", "VAR",    "CITE", "ABBR", "ACRONYM"};
    for (int I = 0; I < 10; ++I) {
        EXPECT_EQ(HtmlFontStyleOf(HtmlTokenOfName(kFontStyles[I])), TIpHtmlFontStyles(I));
        EXPECT_EQ(HtmlPhraseStyleOf(HtmlTokenOfName(kPhrases[I])), TIpHtmlPhraseStyle(I));
    }
    int FontStyles = 0, Phrases = 0;
    for (int Number = 0; Number < kHtmlTokenCount; ++Number) {
        FontStyles += HtmlFontStyleOf(Token(Number)) ? 1 : 0;
        Phrases += HtmlPhraseStyleOf(Token(Number)) ? 1 : 0;
    }
    EXPECT_EQ(FontStyles, 10);
    EXPECT_EQ(Phrases, 10);
    EXPECT_FALSE(HtmlFontStyleOf(ttTTEnd));
    EXPECT_FALSE(HtmlPhraseStyleOf(ttEMEnd));
    EXPECT_FALSE(HtmlFontStyleOf(ttEM));
}

TEST(TagTable, ATokenSetHoldsEveryToken) {
    for (int Number = 0; Number < kHtmlTokenCount; ++Number) {
        const TIpHtmlTokenSet One{Token(Number)};
        EXPECT_TRUE(One.Has(Token(Number)));
        EXPECT_FALSE((One - One).Has(Token(Number)));
    }
}

}  // namespace

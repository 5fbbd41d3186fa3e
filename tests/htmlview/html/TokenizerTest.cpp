// The tokenizer as token dumps: what a text reads as, tag by tag and text by text.
#include <gtest/gtest.h>

#include <string>

#include "htmlview/html/IpHtmlTokenizer.h"
#include "platform/classes/Classes.h"
#include "tests/htmlview/html/HtmlTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

struct TTokenCase {
    const char* Name;
    std::string Text;
    int BodyTextDepth;
    const char* Expected;
};

TEST(HtmlTokenizer, EdgeCasesReadAsExpected) {
    const TTokenCase Cases[] = {
        {"white runs become one blank", "a  \r\n  b", 1, "text 'a b'\n"},
        {"a break after a tag vanishes with the indent", "<B>\r\n   x", 1, "B\ntext 'x'\n"},
        {"a blank after a tag stays", "<B> x", 1, "B\ntext ' x'\n"},
        {"two dashes close a comment", "<!-- a -- b --> c", 1, "text ' c'\n"},
        {"three dashes do not", "<!-- x ---> y --> z", 1, "text ' z'\n"},
        {"four dashes do", "<!-- x ----> y", 1, "text ' y'\n"},
        {"a comment left open runs to the end", "<!-- x", 1, ""},
        {"a declaration yields nothing", "<!DOCTYPE html PUBLIC \"x\">q", 1, "text 'q'\n"},
        {"'<!>x>' is read to the second '>'", "<!>x>y", 1, "text 'y'\n"},
        {"flags get their own name", "<a href=x.htm target=_top nowrap>", 1,
         "A href=x.htm target=_top NOWRAP=NOWRAP\n"},
        {"quoted values keep their blanks", "<a title='a b' alt=\"c d\">", 1,
         "A title=a b alt=c d\n"},
        {"a quote of the other kind is part of the value", "<a title=\"it's\">", 1,
         "A title=it's\n"},
        {"an empty quoted value drops the attribute", "<img alt=\"\" src=a.gif>", 1,
         "IMG src=a.gif\n"},
        {"names before '=' keep their case", "<x Foo=1 bar baz = 2>", 1,
         "<unknown> X Foo=1 BAR=BAR BAZ=2\n"},
        {"a flag before a blank and '>' counts", "<td nowrap >", 1, "TD NOWRAP=NOWRAP\n"},
        {"'>' inside quotes is part of the value", "<a href=\"x>y\">z", 1,
         "A href=x>y\ntext 'z'\n"},
        {"'a < b' is text", "a < b", 1, "text 'a < b'\n"},
        {"'a<b' ends the text", "a<b>", 1, "text 'a'\nB\n"},
        {"a '<' at the end stays text", "x<", 1, "text 'x<'\n"},
        {"tag names are upper-cased", "<Table></tAbLe>", 1, "TABLE\n/TABLE\n"},
        {"unknown tags keep their name", "<blah x=1>", 1, "<unknown> BLAH x=1\n"},
        {"a self-closing P gives P and /P", "<p/>", 1, "P\n/P\n"},
        {"a self-closing BR gives BR only", "<br/>", 1, "BR\n"},
        {"a self-closing DT gives DT only", "<dt/>", 1, "DT\n"},
        {"white text outside body text is dropped", "<head> <title>", 0, "HEAD\nTITLE\n"},
        {"white text in body text is kept", "<b> <i>", 1, "B\ntext ' '\nI\n"},
        {"a white text with a line break is dropped", "x<b>\n<i>", 1, "text 'x'\nB\nI\n"},
        {"a NUL byte ends the input", std::string("a<b>\0<i>", 8), 1, "text 'a'\nB\n"},
        // Wherever it stands: nothing after it is read, also where a NUL only ends a part.
        {"a NUL byte in a quoted value ends the input", std::string("<a title='x\0'>y<i>", 18), 1,
         "A\n"},
        {"a NUL byte in a comment ends the input", std::string("<!-- x\0 -->y<i>", 16), 1, ""},
        {"a NUL byte in a tag ends the input", std::string("<b\0>y<i>", 9), 1, "B\n"},
        {"bytes above 127 pass as they are", "\xE4<b>", 1, "text '\\xE4'\nB\n"},
    };
    for (const TTokenCase& Case : Cases)
        EXPECT_EQ(DumpTokens(Case.Text, Case.BodyTextDepth), Case.Expected) << Case.Name;
}

// Nothing is cut: an entity reference across the old buffer ends stays whole.
TEST(HtmlTokenizer, LongTextsAndValuesAreKeptWhole) {
    const std::string LongText = std::string(65534, 'x') + "&amp;" + std::string(1000, 'y');
    const std::string LongValue = std::string(4094, 'v') + "&amp;" + std::string(100, 'w');
    TStringStream Stream(LongText + "<a title=\"" + LongValue + "\">");
    TIpHtmlTokenizer Tok;
    Tok.Start(Stream);
    Tok.BodyTextDepth = 1;
    Tok.NextToken();
    EXPECT_EQ(Tok.TokenString(), LongText);
    Tok.NextToken();
    EXPECT_EQ(Tok.CurToken(), ttA);
    EXPECT_EQ(Tok.FindAttribute("TITLE"), LongValue);
}

TEST(HtmlTokenizer, PushBackHoldsEightCharactersAndOneToken) {
    TStringStream Stream("<a href=x>");
    TIpHtmlTokenizer Tok;
    Tok.Start(Stream);
    Tok.NextToken();
    for (int I = 0; I < 8; ++I) Tok.PutChar('q');
    EXPECT_EQ(ErrorOf([&] { Tok.PutChar('q'); }), "Character stack overflow");
    // A pushed-back token comes back with the attributes of the last tag.
    Tok.PutToken(ttP);
    EXPECT_EQ(ErrorOf([&] { Tok.PutToken(ttP); }), "Token stack overflow");
    Tok.NextToken();
    EXPECT_EQ(Tok.CurToken(), ttP);
    EXPECT_EQ(Tok.FindAttribute("href"), "x");
}

TEST(HtmlTokenizer, RestartReadsTheTextAgainFromWhereItBegan) {
    TStringStream Stream("skip<b>one\ntwo<i>");
    Stream.SetPosition(4);
    TIpHtmlTokenizer Tok;
    Tok.Start(Stream);
    Tok.BodyTextDepth = 1;
    Tok.NextToken();
    Tok.NextToken();
    EXPECT_EQ(Tok.TokenString(), "one two");
    EXPECT_EQ(Tok.LineNumber(), 2);
    Tok.Restart();
    EXPECT_EQ(Tok.LineNumber(), 1);
    Tok.NextToken();
    EXPECT_EQ(Tok.CurToken(), ttB);
}

}  // namespace

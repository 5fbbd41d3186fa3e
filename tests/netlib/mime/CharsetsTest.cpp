// Received text in the declared charset, converted to the code page the windows show.
#include "netlib/mime/Charsets.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Charsets, ConvertsEachKnownCharsetToTheWindowCodePage) {
    const struct {
        const char* Charset;
        std::string Bytes;
        std::string Shown;
    } Cases[] = {
        // "Grüße aus Köln – 5 €"
        {"UTF-8",
         "Gr\xC3\xBC\xC3\x9F"
         "e aus K\xC3\xB6ln \xE2\x80\x93 5 \xE2\x82\xAC",
         "Gr\xFC\xDF"
         "e aus K\xF6ln \x96 5 \x80"},
        {"utf8", "\xC3\xA4", "\xE4"},
        {"ISO-8859-1",
         "Gr\xFC\xDF"
         "e",
         "Gr\xFC\xDF"
         "e"},
        // Labelled Latin-1, written by a Windows mailer: its quotes stay quotes.
        {"iso-8859-1", "\x84Hallo\x93", "\x84Hallo\x93"},
        {"Windows-1252",
         "\x80 \x84"
         "a\x93",
         "\x80 \x84"
         "a\x93"},
        // Latin-9's euro, S and Z with caron, OE and Y with diaeresis.
        {"ISO-8859-15", "\xA4 \xA6\xA8 \xB4\xB8 \xBC\xBD \xBE \xE4",
         "\x80 \x8A\x9A \x8E\x9E \x8C\x9C \x9F \xE4"},
        {"latin-9", "5 \xA4", "5 \x80"},
        // Quoted and spaced as headers write it.
        {" \"utf-8\" ", "\xC3\xB6", "\xF6"},
    };
    for (const auto& C : Cases) {
        EXPECT_TRUE(IsKnownCharset(C.Charset)) << C.Charset;
        EXPECT_EQ(ToWindowCodePage(C.Charset, C.Bytes), C.Shown) << C.Charset;
    }
}

TEST(Charsets, ShowsACharacterWithoutAPlaceAsOneQuestionMark) {
    // Cyrillic, a CJK character, an emoji (beyond 16 bits) and a malformed sequence.
    EXPECT_EQ(ToWindowCodePage("utf-8", "\xD0\x96 \xE4\xB8\xAD \xF0\x9F\x98\x80 \xC3"), "? ? ? ?");
    // A byte order mark is not shown at all, at the text's start or inside it (texts pasted
    // together, each with its own).
    EXPECT_EQ(ToWindowCodePage("utf-8", "\xEF\xBB\xBFK\xC3\xB6ln"), "K\xF6ln");
    EXPECT_EQ(ToWindowCodePage("utf-8", "K\xC3\xB6ln\xEF\xBB\xBF \xEF\xBB\xBFist"), "K\xF6ln ist");
    // Characters beyond 16 bits side by side, and one at the very end: one "?" each.
    EXPECT_EQ(ToWindowCodePage("utf-8", "\xF0\x9F\x98\x80\xF0\x9F\x98\x81x\xF0\x9F\x98\x82"),
              "??x?");
    // Latin-9 has no C1 controls to show.
    EXPECT_EQ(ToWindowCodePage("iso-8859-15",
                               "a\x85"
                               "b"),
              "a?b");
}

TEST(Charsets, LeavesTextOfAnUnknownOrMissingCharsetAsItCame) {
    for (const char* Charset : {"", "koi8-r", "x-unknown", "utf-88"}) {
        EXPECT_FALSE(IsKnownCharset(Charset)) << Charset;
        EXPECT_EQ(ToWindowCodePage(Charset, "Gru\xDF \xC3\xBC"), "Gru\xDF \xC3\xBC") << Charset;
    }
}

TEST(Charsets, FindsTheCharsetAnHtmlDocumentNamesInItsMeta) {
    const struct {
        std::string Document;
        std::string Charset;
    } Cases[] = {
        {"<html><head><meta charset=\"utf-8\"></head>", "utf-8"},
        {"<HTML><HEAD><META CHARSET=UTF-8/></HEAD>", "UTF-8"},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-15\">",
         "iso-8859-15"},
        {"<meta content='text/html;charset = windows-1252' http-equiv='Content-Type'>",
         "windows-1252"},
        // Only a meta tag names it; a meta without a charset does not stop the search.
        {"<p>charset=utf-8</p><meta name=\"x\"><meta charset='utf-8'>", "utf-8"},
        {"<html><body>kein meta</body></html>", ""},
        {"<meta charset=", ""},
        {"<meta", ""},
        // Not searched for beyond the document's start.
        {"<html>" + std::string(10000, ' ') + "<meta charset=utf-8>", ""},
    };
    for (const auto& C : Cases) EXPECT_EQ(HtmlMetaCharset(C.Document), C.Charset) << C.Document;
}

}  // namespace

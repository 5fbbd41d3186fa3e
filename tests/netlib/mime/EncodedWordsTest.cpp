// Header texts with RFC 2047 encoded words, decoded for display in the window's code page.
#include "netlib/mime/EncodedWords.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TCase {
    std::string Value;
    std::string Shown;
};

void ExpectShown(const std::initializer_list<TCase>& Cases) {
    for (const TCase& C : Cases) EXPECT_EQ(DecodeEncodedWords(C.Value), C.Shown) << C.Value;
}

// The examples of RFC 2047, section 8 (ISO-8859-2 replaced by UTF-8 where it mixes charsets).
TEST(EncodedWords, StandardExamples) {
    ExpectShown({
        {"=?US-ASCII?Q?Keith_Moore?= <moore@cs.utk.edu>", "Keith Moore <moore@cs.utk.edu>"},
        {"=?ISO-8859-1?Q?Keld_J=F8rn_Simonsen?= <keld@dkuug.dk>",
         "Keld J\xF8rn Simonsen <keld@dkuug.dk>"},
        {"=?ISO-8859-1?Q?Andr=E9?= Pirard <PIRARD@vm1.ulg.ac.be>",
         "Andr\xE9 Pirard <PIRARD@vm1.ulg.ac.be>"},
        {"=?ISO-8859-1?B?SWYgeW91IGNhbiByZWFkIHRoaXMgeW8=?=\r\n "
         "=?UTF-8?B?dSB1bmRlcnN0YW5kIHRoZSBleGFtcGxlLg==?=",
         "If you can read this you understand the example."},
        {"(=?ISO-8859-1?Q?a?=)", "(a)"},
        {"(=?ISO-8859-1?Q?a?= b)", "(a b)"},
        {"(=?ISO-8859-1?Q?a?= =?ISO-8859-1?Q?b?=)", "(ab)"},
        {"(=?ISO-8859-1?Q?a?=  =?ISO-8859-1?Q?b?=)", "(ab)"},
        {"(=?ISO-8859-1?Q?a?=\r\n    =?ISO-8859-1?Q?b?=)", "(ab)"},
        {"(=?ISO-8859-1?Q?a_b?=)", "(a b)"},
        {"(=?ISO-8859-1?Q?a?= =?UTF-8?Q?_b?=)", "(a b)"},
    });
}

TEST(EncodedWords, DecodesSubjectsAndNamesAsMailersWriteThem) {
    ExpectShown({
        {"=?iso-8859-1?q?Termine_f=FCr_n=E4chste_Woche?=",
         "Termine f\xFCr n\xE4"
         "chste Woche"},
        {"Re: =?utf-8?Q?Gr=C3=BC=C3=9Fe_aus_K=C3=B6ln?= (2)",
         "Re: Gr\xFC\xDF"
         "e aus K\xF6ln (2)"},
        {"=?UTF-8?B?V2lsaGVsbSBNw7xsbGVy?= <wm@x.example>", "Wilhelm M\xFCller <wm@x.example>"},
        // A character split across two words: the words are joined before conversion, also
        // where the charset's name is written in another case.
        {"=?utf-8?B?R3LD?= =?utf-8?B?vMOfZQ==?=",
         "Gr\xFC\xDF"
         "e"},
        {"=?UTF-8?B?R3LD?= =?utf-8?B?vMOfZQ==?=",
         "Gr\xFC\xDF"
         "e"},
        // Adjacent words of two charsets: each in its own.
        {"=?iso-8859-1?q?M=FCller?= =?utf-8?q?_K=C3=B6ln?=", "M\xFCller K\xF6ln"},
        {"=?utf-8?q?K=C3=B6ln?= =?iso-8859-15?q?_=A4?= =?utf-8?q?_=E2=82=AC?=",
         "K\xF6ln \x80 \x80"},
        // Padding left out; lower-case encoding letters; a language after the charset.
        {"=?utf-8?b?QQ?=", "A"},
        {"=?utf-8*de?q?K=c3=b6ln?=", "K\xF6ln"},
        {"=?iso-8859-15?q?5_=A4?=", "5 \x80"},
        // Words written against the text around them, as some mailers do.
        {"Re:=?utf-8?q?x?=", "Re:x"},
        // Blanks after the last word are text.
        {"=?utf-8?q?a?=  ", "a  "},
        // No place in the window's code page.
        {"=?utf-8?q?=D0=96?=", "?"},
    });
}

TEST(EncodedWords, LeavesWhatIsNoWordAsWritten) {
    ExpectShown({
        {"Termine f\xFCr heute", "Termine f\xFCr heute"},
        {"=?utf-8?q?a=ZZ?=", "=?utf-8?q?a=ZZ?="},
        {"=?utf-8?q?a=C?=", "=?utf-8?q?a=C?="},
        {"=?utf-8?x?abc?=", "=?utf-8?x?abc?="},
        {"=?koi8-r?q?abc?=", "=?koi8-r?q?abc?="},
        {"=?utf-8?q?a b?=", "=?utf-8?q?a b?="},
        {"=?utf-8?b?Q?=", "=?utf-8?b?Q?="},
        {"=?utf-8?b?QQ!?=", "=?utf-8?b?QQ!?="},
        {"=??q?a?=", "=??q?a?="},
        {"=?utf-8?q?abc", "=?utf-8?q?abc"},
        {"=?utf-8?q", "=?utf-8?q"},
        {"=?", "=?"},
        // The blank between a word and a word that is none stays.
        {"=?utf-8?q?a?= =?utf-8?q?=?=", "a =?utf-8?q?=?="},
        // Longer than any word a mailer writes.
        {"=?utf-8?q?" + std::string(1000, 'a') + "?=",
         "=?utf-8?q?" + std::string(1000, 'a') + "?="},
    });
}

TEST(EncodedWords, ADecodedTextStaysOneLineOfText) {
    // Line ends and the list's separator characters carried by a word become blanks.
    ExpectShown({
        {"=?utf-8?q?a=0D=0Ab=01c=09d?=", "a  b c d"},
        {"=?iso-8859-1?B?AQIDBA==?=", "    "},
    });
}

}  // namespace

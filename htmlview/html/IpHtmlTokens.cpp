#include "htmlview/html/IpHtmlTokens.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace {

const char* const kTokenNames[kHtmlTokenCount] = {
    "<eof>",     "<unknown>", "<text>",    "HTML",      "/HTML",      "HEAD",        "/HEAD",
    "TITLE",     "/TITLE",    "STYLE",     "/STYLE",    "SCRIPT",     "/SCRIPT",     "NOSCRIPT",
    "/NOSCRIPT", "ISINDEX",   "BASE",      "META",      "LINK",       "BODY",        "/BODY",
    "H1",        "/H1",       "H2",        "/H2",       "H3",         "/H3",         "H4",
    "/H4",       "H5",        "/H5",       "H6",        "/H6",        "FONT",        "/FONT",
    "P",         "/P",        "UL",        "/UL",       "OL",         "/OL",         "LI",
    "/LI",       "DL",        "/DL",       "DT",        "/DT",        "DD",          "/DD",
    "DIR",       "/DIR",      "MENU",      "/MENU",     "PRE",        "/PRE",        "DIV",
    "/DIV",      "SPAN",      "/SPAN",     "CENTER",    "/CENTER",    "LEFT",        "/LEFT",
    "RIGHT",     "/RIGHT",    "BLINK",     "/BLINK",    "BLOCKQUOTE", "/BLOCKQUOTE", "Q",
    "/Q",        "HR",        "TT",        "/TT",       "I",          "/I",          "B",
    "/B",        "U",         "/U",        "STRIKE",    "/STRIKE",    "S",           "/S",
    "BIG",       "/BIG",      "SMALL",     "/SMALL",    "SUB",        "/SUB",        "SUP",
    "/SUP",      "EM",        "/EM",       "STRONG",    "/STRONG",    "DFN",         "/DFN",
    "CODE",      "/CODE",     "SAMP",      "/SAMP",     "KBD",        "/KBD",        "VAR",
    "/VAR",      "CITE",      "/CITE",     "ABBR",      "/ABBR",      "ACRONYM",     "/ACRONYM",
    "A",         "/A",        "IMG",       "APPLET",    "/APPLET",    "OBJECT",      "/OBJECT",
    "PARAM",     "BASEFONT",  "BR",        "NOBR",      "/NOBR",      "MAP",         "/MAP",
    "AREA",      "!DOCTYPE",  "!--",       "ADDRESS",   "/ADDRESS",   "FORM",        "/FORM",
    "TABLE",     "/TABLE",    "CAPTION",   "/CAPTION",  "TR",         "/TR",         "TH",
    "/TH",       "TD",        "/TD",       "TBODY",     "/TBODY",     "THEAD",       "/THEAD",
    "TFOOT",     "/TFOOT",    "COLGROUP",  "/COLGROUP", "COL",        "INPUT",       "BUTTON",
    "/BUTTON",   "SELECT",    "/SELECT",   "OPTGROUP",  "/OPTGROUP",  "OPTION",      "/OPTION",
    "TEXTAREA",  "/TEXTAREA", "LABEL",     "/LABEL",    "FIELDSET",   "/FIELDSET",   "LEGEND",
    "/LEGEND",   "INS",       "/INS",      "DEL",       "/DEL",       "FRAMESET",    "/FRAMESET",
    "FRAME",     "NOFRAMES",  "/NOFRAMES", "IFRAME",    "/IFRAME"};

using TNameEntry = std::pair<const char*, TIpHtmlToken>;

// The tag names sorted, for a binary search; "<...>" names are no tags and stay out.
const std::array<TNameEntry, kHtmlTokenCount - 3>& SortedNames() {
    static const auto Sorted = [] {
        std::array<TNameEntry, kHtmlTokenCount - 3> Names;
        for (int I = 3; I < kHtmlTokenCount; ++I)
            Names[size_t(I - 3)] = {kTokenNames[I], TIpHtmlToken(I)};
        std::sort(Names.begin(), Names.end(), [](const TNameEntry& A, const TNameEntry& B) {
            return std::strcmp(A.first, B.first) < 0;
        });
        return Names;
    }();
    return Sorted;
}

}  // namespace

const char* HtmlTokenName(TIpHtmlToken Token) {
    return Token < kHtmlTokenCount ? kTokenNames[Token] : "<unknown>";
}

TIpHtmlToken HtmlTokenOfName(const std::string& Name) {
    const auto& Names = SortedNames();
    const auto Found = std::lower_bound(Names.begin(), Names.end(), Name,
                                        [](const TNameEntry& Entry, const std::string& Key) {
                                            return Key.compare(Entry.first) > 0;
                                        });
    if (Found != Names.end() && Name == Found->first) return Found->second;
    return ttUnknown;
}

bool IsHtmlEndTag(int Token) {
    return Token >= 3 && Token < kHtmlTokenCount && kTokenNames[Token][0] == '/' &&
           Token != ttDTEnd;
}

#pragma once
// Token numbers and token sets. Every tag the viewer knows is a number from 3 to 179; the end tag
// of an element is the element's number plus one wherever the element has one (the table of
// IpHtmlTagTable.h). Token sets are bit sets over 0 to 183, used as the end sets of the element
// parsers.
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "htmlview/html/IpHtmlTagTable.h"
#include "htmlview/html/IpHtmlTypes.h"

#define IP_HTML_ONE_TOKEN(Name, Text) tt##Name,
#define IP_HTML_PAIR_TOKENS(Name, Text) tt##Name, tt##Name##End,
enum TIpHtmlToken : uint8_t { IP_HTML_TOKENS(IP_HTML_ONE_TOKEN, IP_HTML_PAIR_TOKENS) };
#undef IP_HTML_ONE_TOKEN
#undef IP_HTML_PAIR_TOKENS

#define IP_HTML_ONE_COUNT(Name, Text) +1
#define IP_HTML_PAIR_COUNT(Name, Text) +2
inline constexpr int kHtmlTokenCount = 0 IP_HTML_TOKENS(IP_HTML_ONE_COUNT, IP_HTML_PAIR_COUNT);
#undef IP_HTML_ONE_COUNT
#undef IP_HTML_PAIR_COUNT
// Token sets have room for the tokens in whole bytes.
inline constexpr int kHtmlTokenSetSize = (kHtmlTokenCount + 7) / 8 * 8;

// The numbers every stored or compared token keeps.
static_assert(ttEof == 0 && ttUnknown == 1 && ttText == 2 && ttHTML == 3 && ttHTMLEnd == 4);
static_assert(ttISINDEX == 15 && ttBODY == 19 && ttH1 == 21 && ttFONT == 33 && ttP == 35);
static_assert(ttHR == 71 && ttTT == 72 && ttSUPEnd == 91 && ttEM == 92 && ttACRONYMEnd == 111);
static_assert(ttA == 112 && ttIMG == 114 && ttBR == 121 && ttDOCTYPE == 127 && ttComment == 128);
static_assert(ttFORM == 131 && ttTABLE == 133 && ttCOL == 151 && ttINPUT == 152);
static_assert(ttFRAME == 175 && ttIFRAMEEnd == 179 && kHtmlTokenCount == 180);
static_assert(kHtmlTokenSetSize == 184);

// The name of a token: "<eof>", "<unknown>", "<text>" or the tag name ("/TITLE" for an end tag).
const char* HtmlTokenName(TIpHtmlToken Token);
// The token of an upper-case tag name, or ttUnknown.
TIpHtmlToken HtmlTokenOfName(const std::string& Name);
// Whether a self-closing Token is followed by its end tag: every end tag counts except /DT.
bool IsHtmlEndTag(int Token);
// The style of a font-style start tag (TT to SUP) or of a phrase start tag (EM to ACRONYM); empty
// for any other token.
std::optional<TIpHtmlFontStyles> HtmlFontStyleOf(TIpHtmlToken Token);
std::optional<TIpHtmlPhraseStyle> HtmlPhraseStyleOf(TIpHtmlToken Token);

class TIpHtmlTokenSet {
  public:
    TIpHtmlTokenSet() = default;
    TIpHtmlTokenSet(std::initializer_list<TIpHtmlToken> Tokens) {
        for (TIpHtmlToken Token : Tokens) FBits.set(Token);
    }
    bool Has(TIpHtmlToken Token) const { return FBits.test(Token); }
    TIpHtmlTokenSet operator+(const TIpHtmlTokenSet& Other) const {
        TIpHtmlTokenSet Result = *this;
        Result.FBits |= Other.FBits;
        return Result;
    }
    TIpHtmlTokenSet operator-(const TIpHtmlTokenSet& Other) const {
        TIpHtmlTokenSet Result = *this;
        Result.FBits &= ~Other.FBits;
        return Result;
    }

  private:
    std::bitset<kHtmlTokenSetSize> FBits;
};

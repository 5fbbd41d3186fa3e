#include "htmlview/html/IpHtmlTokens.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>
#include <utility>

namespace {

#define IP_HTML_ONE_NAME(Name, Text) Text,
#define IP_HTML_PAIR_NAMES(Name, Text) Text, "/" Text,
constexpr const char* kTokenNames[] = {IP_HTML_TOKENS(IP_HTML_ONE_NAME, IP_HTML_PAIR_NAMES)};
#undef IP_HTML_ONE_NAME
#undef IP_HTML_PAIR_NAMES
static_assert(std::size(kTokenNames) == kHtmlTokenCount);

#define IP_HTML_START_TAG(Name, Text) tt##Name,
constexpr TIpHtmlToken kFontStyleTags[] = {IP_HTML_FONT_STYLE_TAGS(IP_HTML_START_TAG)};
constexpr TIpHtmlToken kPhraseTags[] = {IP_HTML_PHRASE_TAGS(IP_HTML_START_TAG)};
#undef IP_HTML_START_TAG

using TNameEntry = std::pair<std::string_view, TIpHtmlToken>;
constexpr size_t kFirstTag = ttHTML;  // "<...>" names are no tags and stay out of the search

// The tag names sorted, for a binary search.
constexpr auto kSortedNames = [] {
    std::array<TNameEntry, kHtmlTokenCount - kFirstTag> Names;
    for (size_t I = kFirstTag; I < size_t(kHtmlTokenCount); ++I)
        Names[I - kFirstTag] = {kTokenNames[I], TIpHtmlToken(I)};
    std::sort(Names.begin(), Names.end(),
              [](const TNameEntry& A, const TNameEntry& B) { return A.first < B.first; });
    return Names;
}();

constexpr bool NamesDiffer() {
    for (size_t I = 1; I < kSortedNames.size(); ++I)
        if (kSortedNames[I - 1].first == kSortedNames[I].first) return false;
    return true;
}
static_assert(NamesDiffer(), "two tokens share a name");

// The index of Token in Tags, or -1.
template <size_t N>
constexpr int IndexIn(const TIpHtmlToken (&Tags)[N], TIpHtmlToken Token) {
    for (size_t I = 0; I < N; ++I)
        if (Tags[I] == Token) return int(I);
    return -1;
}

}  // namespace

const char* HtmlTokenName(TIpHtmlToken Token) {
    return Token < kHtmlTokenCount ? kTokenNames[Token] : "<unknown>";
}

TIpHtmlToken HtmlTokenOfName(const std::string& Name) {
    const std::string_view Key = Name;
    const auto Found = std::lower_bound(
        kSortedNames.begin(), kSortedNames.end(), Key,
        [](const TNameEntry& Entry, std::string_view Wanted) { return Entry.first < Wanted; });
    if (Found != kSortedNames.end() && Found->first == Key) return Found->second;
    return ttUnknown;
}

bool IsHtmlEndTag(int Token) {
    return Token >= 3 && Token < kHtmlTokenCount && kTokenNames[Token][0] == '/' &&
           Token != ttDTEnd;
}

std::optional<TIpHtmlFontStyles> HtmlFontStyleOf(TIpHtmlToken Token) {
    const int At = IndexIn(kFontStyleTags, Token);
    if (At < 0) return std::nullopt;
    return TIpHtmlFontStyles(At);
}

std::optional<TIpHtmlPhraseStyle> HtmlPhraseStyleOf(TIpHtmlToken Token) {
    const int At = IndexIn(kPhraseTags, Token);
    if (At < 0) return std::nullopt;
    return TIpHtmlPhraseStyle(At);
}

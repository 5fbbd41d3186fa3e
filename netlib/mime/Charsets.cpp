#include "netlib/mime/Charsets.h"

#include <QString>
#include <algorithm>
#include <cctype>

#include "netlib/mime/Limits.h"
#include "platform/classes/CodePages.h"

namespace {

QString FromWindows1252(std::string_view bytes) {
    return Cp1252ToUnicode(bytes);
}

QString FromUtf8(std::string_view bytes) {
    // Malformed sequences become U+FFFD, which has no place in the window's code page either.
    QString text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    // A byte order mark (many editors start a file with one) is no character to show.
    text.remove(QChar(0xFEFF));
    return text;
}

// ISO-8859-15 is Latin-1 with eight characters replaced.
QString FromLatin9(std::string_view bytes) {
    static constexpr struct {
        char byte;
        char16_t character;
    } replaced[] = {{'\xA4', 0x20AC}, {'\xA6', 0x0160}, {'\xA8', 0x0161}, {'\xB4', 0x017D},
                    {'\xB8', 0x017E}, {'\xBC', 0x0152}, {'\xBD', 0x0153}, {'\xBE', 0x0178}};
    QString text;
    text.reserve(qsizetype(bytes.size()));
    for (const char c : bytes) {
        QChar shown = QChar(char16_t(uint8_t(c)));
        for (const auto& r : replaced)
            if (r.byte == c) shown = QChar(r.character);
        text.append(shown);
    }
    return text;
}

// Every charset name the converter knows. Texts labelled Latin-1 or ASCII are read as
// Windows-1252, its superset: mailers write the typographic quotes and the euro sign of the
// Windows code page under those labels, and every web browser reads them so.
struct TCharset {
    const char* name;
    QString (*toUnicode)(std::string_view);
};
constexpr TCharset kCharsets[] = {
    {"utf-8", FromUtf8},
    {"utf8", FromUtf8},
    {"windows-1252", FromWindows1252},
    {"cp1252", FromWindows1252},
    {"x-cp1252", FromWindows1252},
    {"iso-8859-1", FromWindows1252},
    {"iso8859-1", FromWindows1252},
    {"iso_8859-1", FromWindows1252},
    {"latin1", FromWindows1252},
    {"l1", FromWindows1252},
    {"us-ascii", FromWindows1252},
    {"ascii", FromWindows1252},
    {"iso-8859-15", FromLatin9},
    {"iso8859-15", FromLatin9},
    {"iso_8859-15", FromLatin9},
    {"latin9", FromLatin9},
    {"latin-9", FromLatin9},
    {"l9", FromLatin9},
};

// A character beyond the 16-bit range is one character, so one "?" in the window's code page, not
// one for each half of its surrogate pair: the pair becomes its first half alone. Built in one
// pass; taking the halves out of the text in place moved the rest of it for each one, which
// froze the viewer for half a minute on a few megabytes of emoji. A text without such a
// character (most) is not copied at all.
QString OneUnitPerCharacter(const QString& text) {
    const auto pair =
        std::find_if(text.begin(), text.end(), [](QChar c) { return c.isHighSurrogate(); });
    if (pair == text.end()) return text;
    QString out;
    out.reserve(text.size());
    out.append(text.constData(), pair - text.begin());
    for (qsizetype i = pair - text.begin(); i < text.size(); ++i) {
        out.append(text[i]);
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
    }
    return out;
}

std::string NormalName(std::string_view charset) {
    std::string name;
    for (const char c : charset)
        if (c != '"' && c != '\'' && c != ' ' && c != '\t')
            name += char(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

const TCharset* FindCharset(std::string_view charset) {
    const std::string name = NormalName(charset);
    for (const TCharset& c : kCharsets)
        if (name == c.name) return &c;
    return nullptr;
}

bool EqualsNoCaseAt(std::string_view text, size_t at, std::string_view word) {
    if (text.size() - at < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != word[i]) return false;
    return true;
}

// The charset named after "charset" in one tag: blanks, "=", an optional quote, then the name up
// to a quote, blank, ";", "/" or ">".
std::string CharsetInTag(std::string_view tag) {
    for (size_t at = 0; at < tag.size(); ++at) {
        if (!EqualsNoCaseAt(tag, at, "charset")) continue;
        size_t i = at + 7;
        while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t')) ++i;
        if (i >= tag.size() || tag[i] != '=') continue;
        ++i;
        while (i < tag.size() &&
               (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '"' || tag[i] == '\''))
            ++i;
        const size_t start = i;
        while (i < tag.size() && std::string_view("\"' \t;/>").find(tag[i]) == std::string::npos)
            ++i;
        if (i > start) return std::string(tag.substr(start, i - start));
    }
    return {};
}

}  // namespace

bool IsKnownCharset(std::string_view charset) {
    return FindCharset(charset) != nullptr;
}

std::string ToWindowCodePage(std::string_view charset, std::string_view bytes) {
    const TCharset* known = FindCharset(charset);
    if (!known || known->toUnicode == FromWindows1252) return std::string(bytes);
    return UnicodeToCp1252(OneUnitPerCharacter(known->toUnicode(bytes)));
}

std::string HtmlMetaCharset(std::string_view document) {
    const std::string_view head =
        document.substr(0, std::min(document.size(), size_t(MimeLimits::kMetaCharsetScanLength)));
    for (size_t at = 0; at < head.size(); ++at) {
        if (head[at] != '<' || !EqualsNoCaseAt(head, at + 1, "meta")) continue;
        const size_t end = head.find('>', at);
        const std::string found =
            CharsetInTag(head.substr(at, end == std::string::npos ? head.npos : end - at));
        if (!found.empty()) return found;
    }
    return {};
}

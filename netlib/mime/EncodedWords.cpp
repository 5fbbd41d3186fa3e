#include "netlib/mime/EncodedWords.h"

#include <cctype>
#include <optional>

#include "netlib/mime/Charsets.h"
#include "netlib/mime/Limits.h"
#include "netlib/mime/MimeHeaders.h"

namespace {

// One encoded word: its charset and the bytes it stands for, and how much of the value it took.
struct TEncodedWord {
    std::string charset;
    std::string bytes;
    size_t length = 0;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

std::optional<std::string> DecodeQ(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '_') {
            out += ' ';
        } else if (text[i] != '=') {
            out += text[i];
        } else {
            if (text.size() - i < 3) return std::nullopt;
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high < 0 || low < 0) return std::nullopt;
            out += char(high * 16 + low);
            i += 2;
        }
    }
    return out;
}

// Padding may be left out (many mailers do); anything else outside the alphabet is no base64.
std::optional<std::string> DecodeB(std::string_view text) {
    while (!text.empty() && text.back() == '=') text.remove_suffix(1);
    if (text.size() % 4 == 1) return std::nullopt;
    std::string out;
    uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        const int value = Base64Value(c);
        if (value < 0) return std::nullopt;
        bits = (bits << 6) | uint32_t(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += char((bits >> count) & 0xFF);
        }
    }
    return out;
}

// The encoded word "=?charset?encoding?text?=" at the value's start, if there is one.
std::optional<TEncodedWord> ParseWord(std::string_view value) {
    if (value.substr(0, 2) != "=?") return std::nullopt;
    const std::string_view rest = value.substr(0, MimeLimits::kMaxEncodedWordLength);
    const size_t charsetEnd = rest.find('?', 2);
    if (charsetEnd == std::string::npos || charsetEnd == 2 || charsetEnd + 2 >= rest.size() ||
        rest[charsetEnd + 2] != '?')
        return std::nullopt;
    const size_t textStart = charsetEnd + 3;
    const size_t textEnd = rest.find("?=", textStart);
    if (textEnd == std::string::npos) return std::nullopt;
    const std::string_view text = rest.substr(textStart, textEnd - textStart);
    for (const char c : rest.substr(2, textEnd - 2))
        if (IsBlank(c)) return std::nullopt;

    TEncodedWord word;
    // A language follows the charset after "*" (RFC 2231); it changes nothing shown.
    word.charset = std::string(rest.substr(2, charsetEnd - 2));
    word.charset = word.charset.substr(0, word.charset.find('*'));
    if (!IsKnownCharset(word.charset)) return std::nullopt;
    const char encoding = char(std::toupper(static_cast<unsigned char>(rest[charsetEnd + 1])));
    std::optional<std::string> bytes = encoding == 'Q'   ? DecodeQ(text)
                                       : encoding == 'B' ? DecodeB(text)
                                                         : std::nullopt;
    if (!bytes) return std::nullopt;
    word.bytes = std::move(*bytes);
    word.length = textEnd + 2;
    return word;
}

// Decoded text in the window's code page, kept on one line.
std::string Shown(const std::string& charset, const std::string& bytes) {
    std::string text = ToWindowCodePage(charset, bytes);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return text;
}

}  // namespace

std::string DecodeEncodedWords(std::string_view value) {
    std::string out;
    // The run of adjacent words of one charset not yet converted, and the white space seen
    // after the last word (dropped when another word follows).
    std::string runCharset, runBytes, blanks;
    bool afterWord = false;
    const auto flushRun = [&] {
        if (!runBytes.empty()) out += Shown(runCharset, runBytes);
        runBytes.clear();
    };
    size_t i = 0;
    while (i < value.size()) {
        if (std::optional<TEncodedWord> word = ParseWord(value.substr(i))) {
            // "UTF-8" and "utf-8" are one charset: a character split across them joins up.
            if (!afterWord || !IpMimeHeaders::EqualsNoCase(word->charset, runCharset)) {
                flushRun();
                runCharset = word->charset;
            }
            blanks.clear();
            runBytes += word->bytes;
            afterWord = true;
            i += word->length;
        } else if (afterWord && IsBlank(value[i])) {
            blanks += value[i++];
        } else {
            flushRun();
            out += blanks;
            blanks.clear();
            afterWord = false;
            out += value[i++];
        }
    }
    flushRun();
    return out + blanks;
}

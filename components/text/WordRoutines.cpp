#include "components/text/WordRoutines.h"

#include <cstdint>

#include "platform/classes/Exception.h"

namespace {

// Positions are 32-bit; a text they cannot address is refused rather than miscounted.
uint32_t CheckedLength(const std::string& text) {
    if (text.size() >= UINT32_MAX) throw ERangeError("Text too long for word routines");
    return uint32_t(text.size());
}

bool IsDelimiterAt(const std::string& text, const std::string& delimiters, uint32_t position) {
    return IsWordDelimiter(delimiters, text[position - 1]);
}

uint32_t SkipDelimiters(const std::string& text, const std::string& delimiters, uint32_t i) {
    const uint32_t length = uint32_t(text.size());
    while (i <= length && IsDelimiterAt(text, delimiters, i)) ++i;
    return i;
}

uint32_t SkipWord(const std::string& text, const std::string& delimiters, uint32_t i) {
    const uint32_t length = uint32_t(text.size());
    while (i <= length && !IsDelimiterAt(text, delimiters, i)) ++i;
    return i;
}

}  // namespace

bool IsWordDelimiter(const std::string& delimiters, char c) {
    return delimiters.find(c) != std::string::npos;
}

uint32_t CountWords(const std::string& text, const std::string& delimiters) {
    const uint32_t length = CheckedLength(text);
    uint32_t count = 0;
    uint32_t i = 1;
    while (i <= length) {
        i = SkipDelimiters(text, delimiters, i);
        if (i <= length) ++count;
        i = SkipWord(text, delimiters, i);
    }
    return count;
}

bool FindWordPosition(uint32_t n, const std::string& text, const std::string& delimiters,
                      uint32_t& position) {
    const uint32_t length = CheckedLength(text);
    uint32_t count = 0;
    uint32_t i = 1;
    while (i <= length && count != n) {
        i = SkipDelimiters(text, delimiters, i);
        if (i <= length) ++count;
        if (count != n) {
            i = SkipWord(text, delimiters, i);
        } else {
            position = i;
            return true;
        }
    }
    return false;
}

std::string ExtractWord(uint32_t n, const std::string& text, const std::string& delimiters) {
    uint32_t start = 0;
    if (!FindWordPosition(n, text, delimiters, start)) return std::string();
    const uint32_t end = SkipWord(text, delimiters, start);
    return text.substr(start - 1, end - start);
}

bool FindCharPosition(const std::string& text, char c, uint32_t& position) {
    CheckedLength(text);
    const size_t at = text.find(c);
    position = at == std::string::npos ? 0 : uint32_t(at + 1);
    return position != 0;
}

std::string CopySubString(const std::string& text, int32_t start, int32_t count) {
    if (text.empty() || count < 0) return std::string();
    if (start < 1) start = 1;
    if (size_t(start) > text.size()) return std::string();
    return text.substr(size_t(start - 1), size_t(count));
}

#include "netlib/base/IpUtils.h"

#include <cstring>

#include "platform/classes/Classes.h"

namespace {

constexpr int64_t kStreamBlockSize = 2048;

int32_t Length(const std::string& s) {
    return s.size() > size_t(INT32_MAX) ? INT32_MAX : int32_t(s.size());
}

}  // namespace

int32_t CharPos(char c, const std::string& s) {
    return CharPosIdx(c, s, 1);
}

int32_t CharPosIdx(char c, const std::string& s, int32_t start) {
    if (start < 1 || start > Length(s)) return 0;
    for (int32_t i = start; i <= Length(s); ++i)
        if (s[size_t(i - 1)] == c) return i;
    return 0;
}

int32_t RCharPos(char c, const std::string& s) {
    return RCharPosIdx(c, s, Length(s));
}

int32_t RCharPosIdx(char c, const std::string& s, int32_t start) {
    if (start < 1 || start > Length(s)) return 0;
    for (int32_t i = start; i >= 1; --i)
        if (s[size_t(i - 1)] == c) return i;
    return 0;
}

int32_t PosIdx(const std::string& sub, const std::string& s, int32_t start) {
    if (sub.empty()) return 0;
    if (start < 1) start = 1;
    if (start > Length(s)) return 0;
    const size_t at = s.find(sub, size_t(start - 1));
    return at == std::string::npos ? 0 : int32_t(at + 1);
}

std::string TrimSpaces(const std::string& s) {
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    const size_t last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

namespace {

// The length of the UTF-8 character at text[i] (2 to 4), or 0 when the bytes there are none.
size_t Utf8Length(std::string_view text, size_t i) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        const unsigned char c = static_cast<unsigned char>(text[i + k]);
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return 0;
    }
    return length;
}

}  // namespace

std::string EscapeForLog(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += char(c);
            ++i;
            continue;
        }
        const size_t length = c >= 0x80 ? Utf8Length(text, i) : 0;
        if (length > 0) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        out += "\\x";
        out += kHex[c >> 4];
        out += kHex[c & 15];
        ++i;
    }
    return out;
}

std::string TrimControls(std::string_view s) {
    size_t first = 0;
    size_t last = s.size();
    while (first < last && static_cast<unsigned char>(s[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(s[last - 1]) <= ' ') --last;
    return std::string(s.substr(first, last - first));
}

std::string StripControls(std::string_view s) {
    std::string out;
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= ' ' && c != '\x7F') out += c;
    return out;
}

std::string LowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

int64_t ToInt64Def(const std::string& text, int64_t fallback) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size() || text.size() - i > 18) return fallback;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return fallback;
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

int32_t CompareBuffers(const void* buffer1, const void* buffer2, size_t count) {
    const auto* a = static_cast<const uint8_t*>(buffer1);
    const auto* b = static_cast<const uint8_t*>(buffer2);
    for (size_t i = 0; i < count; ++i)
        if (a[i] != b[i]) return a[i] > b[i] ? 1 : -1;
    return 0;
}

int32_t CharCount(const void* buffer, int32_t count, uint8_t value) {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    int32_t found = 0;
    for (int32_t i = 0; i < count; ++i)
        if (bytes[i] == value) ++found;
    return found;
}

uint32_t ChecksumBuffer(const void* buffer, size_t count, uint32_t start) {
    if (count == 0) return start;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    uint32_t sum = start;  // wraps, as the stored values were computed that way
    for (size_t i = 0; i < count; ++i) sum += (i % 2 == 0) ? bytes[i] : uint32_t(bytes[i]) << 8;
    // One fold only, without adding back its carry: the dupe files hold values made this way.
    sum = (sum & 0xFFFF) + (sum >> 16);
    return ~sum & 0xFFFF;
}

uint32_t ChecksumStream(TStream& stream, uint32_t start) {
    uint8_t block[kStreamBlockSize];
    uint32_t value = start;
    int64_t got = 0;
    do {
        got = stream.Read(block, kStreamBlockSize);
        if (got < 0) got = 0;
        value = ChecksumBuffer(block, size_t(got), value);
    } while (got == kStreamBlockSize);
    return value;
}

void MD5DigestStream(TStream& stream, TIpMD5Digest& digest) {
    uint8_t block[kStreamBlockSize];
    TIpMD5Context context;
    MD5Init(context);
    int64_t got = 0;
    do {
        got = stream.Read(block, kStreamBlockSize);
        if (got < 0) got = 0;
        MD5Update(context, block, size_t(got));
    } while (got == kStreamBlockSize);
    MD5Final(context, digest);
}

std::string MD5DigestString(const std::string& s) {
    static const char kDigits[] = "0123456789abcdef";
    TIpMD5Context context;
    TIpMD5Digest digest;
    MD5Init(context);
    MD5Update(context, s.data(), s.size());
    MD5Final(context, digest);
    std::string hex;
    hex.reserve(32);
    for (uint8_t b : digest) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0x0F];
    }
    return hex;
}

std::string VersionString() {
    return "v1.11";
}

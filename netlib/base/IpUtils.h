#pragma once
// Small string and buffer routines, the dupe checksum, MD5, the library version and the URL
// parser of the internet library. Strings are byte strings; positions are 1-based and 0 means
// "not found".
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TStream;

// How text lines end, in streams and on sockets.
enum TIpLineTerminator : uint8_t { ltNone, ltCR, ltLF, ltCRLF, ltOther };

// --- strings and buffers ---

int32_t CharPos(char c, const std::string& s);
// First position at or after start; 0 when absent or start is outside 1..length.
int32_t CharPosIdx(char c, const std::string& s, int32_t start);
int32_t RCharPos(char c, const std::string& s);
// Last position at or before start; 0 when absent or start is outside 1..length.
int32_t RCharPosIdx(char c, const std::string& s, int32_t start);
// Position (in the whole string) of the first occurrence of sub that begins at or after start.
// A start below 1 searches from the beginning; an empty sub is never found.
int32_t PosIdx(const std::string& sub, const std::string& s, int32_t start);
// Removes every byte up to the blank (controls, tabs, CR, LF) at both ends, as the class
// library's Trim does.
std::string TrimControls(std::string_view s);
// Removes every control character (below the blank, and DEL) wherever it stands.
std::string StripControls(std::string_view s);
// A to Z become a to z; every other byte stays.
std::string LowerAscii(std::string s);
// Removes leading and trailing blanks (character 32 only; tabs stay).
std::string TrimSpaces(const std::string& s);
// Text for a log line, which is UTF-8 and one line: control characters (tab, CR, LF and NUL
// among them) and bytes that are no part of a UTF-8 character become "\xHH"; everything else
// stays as it is.
std::string EscapeForLog(std::string_view text);
// -1, 0 or 1 by the first differing byte, compared unsigned; 0 for count 0.
int32_t CompareBuffers(const void* buffer1, const void* buffer2, size_t count);
// How many of the first count bytes equal value; 0 for a count of 0 or less.
int32_t CharCount(const void* buffer, int32_t count, uint8_t value);
// A decimal number of at most 18 digits with an optional sign; fallback for anything else
// (empty text, other characters, more digits).
int64_t ToInt64Def(const std::string& text, int64_t fallback);
inline int32_t IntMax(int32_t a, int32_t b) {
    return a > b ? a : b;
}
inline int32_t IntMin(int32_t a, int32_t b) {
    return a < b ? a : b;
}

// Clears the variable first, then frees what it held, so nothing reaches a half-freed object
// through it.
template <class T>
void FreeAndNilObject(T*& object) {
    T* held = object;
    object = nullptr;
    delete held;
}

// --- checksum ---

// 16-bit ones'-complement style checksum (what earlier versions kept in the checksum dupe file):
// the buffer summed as little-endian words onto start, folded once, complemented. count 0
// returns start unchanged.
uint32_t ChecksumBuffer(const void* buffer, size_t count, uint32_t start);
// Chains ChecksumBuffer over 2048-byte blocks read from the stream's current position.
uint32_t ChecksumStream(TStream& stream, uint32_t start);

// --- MD5 (RFC 1321) ---

using TIpMD5Digest = std::array<uint8_t, 16>;

struct TIpMD5Context {
    uint32_t State[4];   // chaining words A, B, C, D
    uint32_t Count[2];   // message length in bits, low word first
    uint8_t Buffer[64];  // the block being filled
};

void MD5Init(TIpMD5Context& context);
void MD5Update(TIpMD5Context& context, const void* buffer, size_t count);
// Pads, writes the digest and zeroes the context.
void MD5Final(TIpMD5Context& context, TIpMD5Digest& digest);
// MD5 of the stream from its current position to its end.
void MD5DigestStream(TStream& stream, TIpMD5Digest& digest);
// MD5 of the string's bytes as 32 lower-case hexadecimal digits.
std::string MD5DigestString(const std::string& s);

// --- version ---

// "v1.11"
std::string VersionString();

// --- URLs ---

struct TIpAddrRec {
    std::string Scheme;
    std::string UserName;
    std::string Password;
    std::string Authority;  // host name or address
    std::string Port;       // decimal digits
    std::string Path;       // never empty after a parse ("/" when the URL has none)
    std::string Fragment;
    std::string Query;
    char QueryDelim = '\0';  // '?' or '&'; written only when a query begins
};

// Fills addr from the URL text; true when the text ended in an accepting state. Malformed text
// never raises: the record is completed from what was read up to the error.
bool ParseURL(const std::string& url, TIpAddrRec& addr);
// newURL resolved against baseURL.
std::string BuildURL(const std::string& baseURL, const std::string& newURL);

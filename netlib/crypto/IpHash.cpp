// MD5 (RFC 1321) and SHA-1 (FIPS 180-1) with incremental contexts.
#include <algorithm>
#include <bit>
#include <cstring>

#include "netlib/crypto/IpCrypto.h"

namespace {

// ----- MD5 -----

constexpr uint32_t kMD5T[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr int kMD5Shift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

inline uint32_t LoadLE32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

inline void StoreLE32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i, v >>= 8) p[i] = static_cast<uint8_t>(v);
}

// One MD5 step: a := b + ((a + f + x[g] + T[i]) <<< s), then the registers rotate.
template <typename F>
inline void MD5Step(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, F f, uint32_t x, uint32_t t,
                    int s) {
    const uint32_t next = b + std::rotl(a + f(b, c, d) + x + t, s);
    a = d;
    d = c;
    c = b;
    b = next;
}

void MD5Transform(uint32_t state[4], const uint8_t block[64]) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = LoadLE32(block + 4 * i);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    const auto f = [](uint32_t b, uint32_t c, uint32_t d) { return d ^ (b & (c ^ d)); };
    const auto g = [](uint32_t b, uint32_t c, uint32_t d) { return c ^ (d & (b ^ c)); };
    const auto h = [](uint32_t b, uint32_t c, uint32_t d) { return b ^ c ^ d; };
    const auto k = [](uint32_t b, uint32_t c, uint32_t d) { return c ^ (b | ~d); };
    for (int i = 0; i < 16; ++i) MD5Step(a, b, c, d, f, x[i], kMD5T[i], kMD5Shift[0][i % 4]);
    for (int i = 16; i < 32; ++i)
        MD5Step(a, b, c, d, g, x[(5 * i + 1) % 16], kMD5T[i], kMD5Shift[1][i % 4]);
    for (int i = 32; i < 48; ++i)
        MD5Step(a, b, c, d, h, x[(3 * i + 5) % 16], kMD5T[i], kMD5Shift[2][i % 4]);
    for (int i = 48; i < 64; ++i)
        MD5Step(a, b, c, d, k, x[(7 * i) % 16], kMD5T[i], kMD5Shift[3][i % 4]);
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

// ----- SHA-1 -----

// The 32-bit byte swap of the SHA-1 routines: message words are big-endian.
inline uint32_t ByteSwap32(uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24);
}

inline uint32_t LoadBE32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return std::endian::native == std::endian::little ? ByteSwap32(v) : v;
}

// One SHA-1 step with the registers renamed instead of moved: the caller passes them rotated.
template <typename F>
inline void SHA1Step(uint32_t a, uint32_t& b, uint32_t c, uint32_t d, uint32_t& e, F f, uint32_t k,
                     uint32_t w) {
    e += std::rotl(a, 5) + f(b, c, d) + k + w;
    b = std::rotl(b, 30);
}

// The message schedule in a ring of 16 words, extended as the steps need it. (Extending all 80
// words up front lets the compiler vectorise the loop into loads that straddle the stores just
// made, which stalls badly.)
inline uint32_t Schedule(uint32_t w[16], int i) {
    if (i < 16) return w[i];
    const uint32_t next =
        std::rotl(w[(i - 3) & 15] ^ w[(i - 8) & 15] ^ w[(i - 14) & 15] ^ w[i & 15], 1);
    w[i & 15] = next;
    return next;
}

// Twenty steps of one round, five at a time; after five renamed steps the registers are back
// in their places.
template <typename F>
inline void SHA1Round(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, uint32_t& e, F f,
                      uint32_t k, uint32_t w[16], int first) {
    for (int i = first; i < first + 20; i += 5) {
        SHA1Step(a, b, c, d, e, f, k, Schedule(w, i));
        SHA1Step(e, a, b, c, d, f, k, Schedule(w, i + 1));
        SHA1Step(d, e, a, b, c, f, k, Schedule(w, i + 2));
        SHA1Step(c, d, e, a, b, f, k, Schedule(w, i + 3));
        SHA1Step(b, c, d, e, a, f, k, Schedule(w, i + 4));
    }
}

void SHA1Transform(uint32_t h[5], const uint8_t block[64]) {
    uint32_t w[16];
    for (int i = 0; i < 16; ++i) w[i] = LoadBE32(block + 4 * i);
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    const auto choose = [](uint32_t b, uint32_t c, uint32_t d) { return d ^ (b & (c ^ d)); };
    const auto parity = [](uint32_t b, uint32_t c, uint32_t d) { return b ^ c ^ d; };
    const auto majority = [](uint32_t b, uint32_t c, uint32_t d) {
        return (b & c) | (d & (b | c));
    };
    SHA1Round(a, b, c, d, e, choose, 0x5A827999, w, 0);
    SHA1Round(a, b, c, d, e, parity, 0x6ED9EBA1, w, 20);
    SHA1Round(a, b, c, d, e, majority, 0x8F1BBCDC, w, 40);
    SHA1Round(a, b, c, d, e, parity, 0xCA62C1D6, w, 60);
    h[0] += a;
    h[1] += b;
    h[2] += c;
    h[3] += d;
    h[4] += e;
}

}  // namespace

void InitMD5(TIpMD5Context& context) {
    context.Count[0] = context.Count[1] = 0;
    context.State[0] = 0x67452301;
    context.State[1] = 0xefcdab89;
    context.State[2] = 0x98badcfe;
    context.State[3] = 0x10325476;
    std::memset(context.Buffer, 0, sizeof context.Buffer);
}

void UpdateMD5(TIpMD5Context& context, const void* data, size_t length) {
    if (length == 0) return;
    const auto* in = static_cast<const uint8_t*>(data);
    size_t index = (context.Count[0] >> 3) & 0x3F;
    // The bit count is 64 bits wide (two words); it wraps as RFC 1321 says.
    const uint64_t bits = ((uint64_t{context.Count[1]} << 32) | context.Count[0]) +
                          (static_cast<uint64_t>(length) << 3);
    context.Count[0] = static_cast<uint32_t>(bits);
    context.Count[1] = static_cast<uint32_t>(bits >> 32);
    if (index > 0) {
        const size_t take = std::min(length, 64 - index);
        std::memcpy(context.Buffer + index, in, take);
        in += take;
        length -= take;
        index += take;
        if (index < 64) return;
        MD5Transform(context.State, context.Buffer);
    }
    for (; length >= 64; in += 64, length -= 64) MD5Transform(context.State, in);
    if (length > 0) std::memcpy(context.Buffer, in, length);
}

void FinalizeMD5(TIpMD5Context& context, uint8_t digest[16]) {
    uint8_t bits[8];
    StoreLE32(bits, context.Count[0]);
    StoreLE32(bits + 4, context.Count[1]);
    const size_t index = (context.Count[0] >> 3) & 0x3F;
    const size_t padding = index < 56 ? 56 - index : 120 - index;
    static const uint8_t kPadding[64] = {0x80};
    UpdateMD5(context, kPadding, padding);
    UpdateMD5(context, bits, 8);
    for (int i = 0; i < 4; ++i) StoreLE32(digest + 4 * i, context.State[i]);
    std::memset(&context, 0, sizeof context);
}

void HashMD5(uint8_t digest[16], const void* data, size_t length) {
    TIpMD5Context context;
    InitMD5(context);
    UpdateMD5(context, data, length);
    FinalizeMD5(context, digest);
}

void InitSHA1(TIpSHA1Context& context) {
    std::memset(&context, 0, sizeof context);
    context.H[0] = 0x67452301;
    context.H[1] = 0xEFCDAB89;
    context.H[2] = 0x98BADCFE;
    context.H[3] = 0x10325476;
    context.H[4] = 0xC3D2E1F0;
}

void UpdateSHA1(TIpSHA1Context& context, const void* data, size_t length) {
    if (length == 0) return;
    const auto* in = static_cast<const uint8_t*>(data);
    const uint64_t bits = ((uint64_t{context.Length[0]} << 32) | context.Length[1]) +
                          (static_cast<uint64_t>(length) << 3);
    context.Length[0] = static_cast<uint32_t>(bits >> 32);
    context.Length[1] = static_cast<uint32_t>(bits);
    while (length > 0) {
        if (context.Index == 0 && length >= 64) {
            SHA1Transform(context.H, in);
            in += 64;
            length -= 64;
            continue;
        }
        const size_t take = std::min<size_t>(length, 64 - context.Index);
        std::memcpy(context.Block + context.Index, in, take);
        context.Index += static_cast<uint32_t>(take);
        in += take;
        length -= take;
        if (context.Index == 64) {
            SHA1Transform(context.H, context.Block);
            // The buffer may hold secrets (MAC keys): it does not outlive its block.
            std::memset(context.Block, 0, sizeof context.Block);
            context.Index = 0;
        }
    }
}

void FinalizeSHA1(TIpSHA1Context& context, uint8_t digest[20]) {
    uint8_t length[8];
    for (int i = 0; i < 4; ++i) {
        length[i] = static_cast<uint8_t>(context.Length[0] >> (24 - 8 * i));
        length[4 + i] = static_cast<uint8_t>(context.Length[1] >> (24 - 8 * i));
    }
    const size_t padding = context.Index < 56 ? 56 - context.Index : 120 - context.Index;
    static const uint8_t kPadding[64] = {0x80};
    UpdateSHA1(context, kPadding, padding);
    UpdateSHA1(context, length, 8);
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 4; ++j)
            digest[4 * i + j] = static_cast<uint8_t>(context.H[i] >> (24 - 8 * j));
    std::memset(&context, 0, sizeof context);
}

void HashSHA1(uint8_t digest[20], const void* data, size_t length) {
    TIpSHA1Context context;
    InitSHA1(context);
    UpdateSHA1(context, data, length);
    FinalizeSHA1(context, digest);
}

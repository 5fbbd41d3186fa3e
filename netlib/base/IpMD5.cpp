// MD5 as RFC 1321 describes it. The one implementation of the program: the mail clients, the
// dupe database and the SSL client's cipher unit all hash through it.
#include <algorithm>
#include <bit>
#include <cstring>

#include "netlib/base/IpUtils.h"

namespace {

constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

inline uint32_t LoadLE32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// One step: a := b + ((a + f(b, c, d) + x + t) <<< s), then the registers rotate.
template <typename F>
inline void Step(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, F f, uint32_t x, uint32_t t,
                 int s) {
    const uint32_t next = b + std::rotl(a + f(b, c, d) + x + t, s);
    a = d;
    d = c;
    c = b;
    b = next;
}

// Each round in its own loop with its own function, so that the compiler unrolls them into
// straight code (one loop with a switch per step runs at two thirds of the speed).
void Transform(uint32_t state[4], const uint8_t block[64]) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = LoadLE32(block + 4 * i);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    const auto f = [](uint32_t b, uint32_t c, uint32_t d) { return d ^ (b & (c ^ d)); };
    const auto g = [](uint32_t b, uint32_t c, uint32_t d) { return c ^ (d & (b ^ c)); };
    const auto h = [](uint32_t b, uint32_t c, uint32_t d) { return b ^ c ^ d; };
    const auto k = [](uint32_t b, uint32_t c, uint32_t d) { return c ^ (b | ~d); };
    for (int i = 0; i < 16; ++i) Step(a, b, c, d, f, x[i], kSine[i], kShift[0][i % 4]);
    for (int i = 16; i < 32; ++i)
        Step(a, b, c, d, g, x[(5 * i + 1) % 16], kSine[i], kShift[1][i % 4]);
    for (int i = 32; i < 48; ++i)
        Step(a, b, c, d, h, x[(3 * i + 5) % 16], kSine[i], kShift[2][i % 4]);
    for (int i = 48; i < 64; ++i) Step(a, b, c, d, k, x[(7 * i) % 16], kSine[i], kShift[3][i % 4]);
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

}  // namespace

void MD5Init(TIpMD5Context& context) {
    std::memset(&context, 0, sizeof context);
    context.State[0] = 0x67452301;
    context.State[1] = 0xefcdab89;
    context.State[2] = 0x98badcfe;
    context.State[3] = 0x10325476;
}

void MD5Update(TIpMD5Context& context, const void* buffer, size_t count) {
    if (count == 0) return;
    const auto* input = static_cast<const uint8_t*>(buffer);
    size_t used = (context.Count[0] >> 3) & 0x3F;
    // The bit count is 64 bits wide (two words); it wraps as RFC 1321 says.
    const uint64_t bits =
        (uint64_t(context.Count[1]) << 32 | context.Count[0]) + (uint64_t(count) << 3);
    context.Count[0] = uint32_t(bits);
    context.Count[1] = uint32_t(bits >> 32);
    if (used > 0) {
        const size_t take = std::min(count, 64 - used);
        std::memcpy(context.Buffer + used, input, take);
        input += take;
        count -= take;
        used += take;
        if (used < 64) return;
        Transform(context.State, context.Buffer);
    }
    // Whole blocks are hashed where they lie, without a copy.
    for (; count >= 64; input += 64, count -= 64) Transform(context.State, input);
    if (count > 0) std::memcpy(context.Buffer, input, count);
}

void MD5Final(TIpMD5Context& context, TIpMD5Digest& digest) {
    uint8_t length[8];
    for (int i = 0; i < 4; ++i) {
        length[i] = uint8_t(context.Count[0] >> (8 * i));
        length[4 + i] = uint8_t(context.Count[1] >> (8 * i));
    }
    const size_t used = (context.Count[0] >> 3) & 0x3F;
    const size_t padding = used < 56 ? 56 - used : 120 - used;
    static const uint8_t kPadding[64] = {0x80};
    MD5Update(context, kPadding, padding);
    MD5Update(context, length, 8);
    for (int i = 0; i < 16; ++i) digest[size_t(i)] = uint8_t(context.State[i / 4] >> (8 * (i % 4)));
    // Nothing of the message may stay behind in the context (it may have hashed MAC secrets).
    volatile uint8_t* wipe = reinterpret_cast<volatile uint8_t*>(&context);
    for (size_t i = 0; i < sizeof context; ++i) wipe[i] = 0;
}

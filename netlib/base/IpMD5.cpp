// MD5 as RFC 1321 describes it.
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

constexpr uint32_t kShift[4][4] = {
    {7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

uint32_t RotateLeft(uint32_t x, uint32_t n) {
    return (x << n) | (x >> (32 - n));
}

void Transform(uint32_t state[4], const uint8_t block[64]) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = uint32_t(block[i * 4]) | uint32_t(block[i * 4 + 1]) << 8 |
               uint32_t(block[i * 4 + 2]) << 16 | uint32_t(block[i * 4 + 3]) << 24;
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int step = 0; step < 64; ++step) {
        const int round = step / 16;
        uint32_t f;
        int word;
        switch (round) {
            case 0:
                f = (b & c) | (~b & d);
                word = step;
                break;
            case 1:
                f = (b & d) | (c & ~d);
                word = (1 + 5 * step) % 16;
                break;
            case 2:
                f = b ^ c ^ d;
                word = (5 + 3 * step) % 16;
                break;
            default:
                f = c ^ (b | ~d);
                word = (7 * step) % 16;
                break;
        }
        const uint32_t next =
            b + RotateLeft(a + f + kSine[step] + x[word], kShift[round][step % 4]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
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
    const auto* input = static_cast<const uint8_t*>(buffer);
    size_t used = (context.Count[0] >> 3) & 0x3F;
    const uint64_t bits =
        (uint64_t(context.Count[1]) << 32 | context.Count[0]) + uint64_t(count) * 8;
    context.Count[0] = uint32_t(bits);
    context.Count[1] = uint32_t(bits >> 32);
    while (count > 0) {
        const size_t take = count < 64 - used ? count : 64 - used;
        std::memcpy(context.Buffer + used, input, take);
        used += take;
        input += take;
        count -= take;
        if (used == 64) {
            Transform(context.State, context.Buffer);
            used = 0;
        }
    }
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
    // Nothing of the message may stay behind in the context.
    volatile uint8_t* wipe = reinterpret_cast<volatile uint8_t*>(&context);
    for (size_t i = 0; i < sizeof context; ++i) wipe[i] = 0;
}

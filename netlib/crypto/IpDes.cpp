// DES in its usual table-driven form. The combined S-box/permutation tables and the initial and
// final permutations are derived from the standard's tables at compile time, so only the
// standard's own numbers are written down here.
//
// The halves travel rotated left by one bit: then every 6-bit group of the expansion is a plain
// byte-aligned field of either the half or the half rotated right by four, and the round needs
// no expansion step.
#include <array>
#include <bit>
#include <cstring>

#include "netlib/crypto/IpCrypto.h"

namespace {

using Table64 = std::array<std::array<uint64_t, 256>, 8>;
using SPTable = std::array<std::array<uint32_t, 64>, 8>;

// Bit numbers in all standard tables count from 1 at the most significant bit.
constexpr uint8_t kIP[64] = {58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4,
                             62, 54, 46, 38, 30, 22, 14, 6, 64, 56, 48, 40, 32, 24, 16, 8,
                             57, 49, 41, 33, 25, 17, 9,  1, 59, 51, 43, 35, 27, 19, 11, 3,
                             61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7};

constexpr uint8_t kPC1[56] = {57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18,
                              10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36,
                              63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22,
                              14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};

constexpr uint8_t kPC2[48] = {14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, 23, 19, 12, 4,
                              26, 8,  16, 7,  27, 20, 13, 2,  41, 52, 31, 37, 47, 55, 30, 40,
                              51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};

constexpr uint8_t kRotations[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

constexpr uint8_t kP[32] = {16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
                            2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};

constexpr uint8_t kS[8][64] = {
    {14, 4,  13, 1, 2,  15, 11, 8, 3, 10, 6, 12, 5,  9,  0,  7,  0,  15, 7,  4,  14, 2,
     13, 1,  10, 6, 12, 11, 9,  5, 3, 8,  4, 1,  14, 8,  13, 6,  2,  11, 15, 12, 9,  7,
     3,  10, 5,  0, 15, 12, 8,  2, 4, 9,  1, 7,  5,  11, 3,  14, 10, 0,  6,  13},
    {15, 1,  8,  14, 6,  11, 3,  4, 9,  7,  2, 13, 12, 0,  5,  10, 3,  13, 4,  7, 15, 2,
     8,  14, 12, 0,  1,  10, 6,  9, 11, 5,  0, 14, 7,  11, 10, 4,  13, 1,  5,  8, 12, 6,
     9,  3,  2,  15, 13, 8,  10, 1, 3,  15, 4, 2,  11, 6,  7,  12, 0,  5,  14, 9},
    {10, 0,  9,  14, 6, 3,  15, 5,  1,  13, 12, 7, 11, 4,  2,  8,  13, 7, 0,  9, 3, 4,
     6,  10, 2,  8,  5, 14, 12, 11, 15, 1,  13, 6, 4,  9,  8,  15, 3,  0, 11, 1, 2, 12,
     5,  10, 14, 7,  1, 10, 13, 0,  6,  9,  8,  7, 4,  15, 14, 3,  11, 5, 2,  12},
    {7, 13, 14, 3, 0, 6,  9, 10, 1,  2, 8,  5, 11, 12, 4,  15, 13, 8,  11, 5, 6, 15,
     0, 3,  4,  7, 2, 12, 1, 10, 14, 9, 10, 6, 9,  0,  12, 11, 7,  13, 15, 1, 3, 14,
     5, 2,  8,  4, 3, 15, 0, 6,  10, 1, 13, 8, 9,  4,  5,  11, 12, 7,  2,  14},
    {2,  12, 4, 1,  7,  10, 11, 6, 8, 5,  3, 15, 13, 0,  14, 9,  14, 11, 2,  12, 4,  7,
     13, 1,  5, 0,  15, 10, 3,  9, 8, 6,  4, 2,  1,  11, 10, 13, 7,  8,  15, 9,  12, 5,
     6,  3,  0, 14, 11, 8,  12, 7, 1, 14, 2, 13, 6,  15, 0,  9,  10, 4,  5,  3},
    {12, 1,  10, 15, 9,  2,  6, 8,  0, 13, 3,  4,  14, 7,  5, 11, 10, 15, 4, 2, 7, 12,
     9,  5,  6,  1,  13, 14, 0, 11, 3, 8,  9,  14, 15, 5,  2, 8,  12, 3,  7, 0, 4, 10,
     1,  13, 11, 6,  4,  3,  2, 12, 9, 5,  15, 10, 11, 14, 1, 7,  6,  0,  8, 13},
    {4, 11, 2,  14, 15, 0,  8,  13, 3, 12, 9,  7, 5,  10, 6,  1,  13, 0,  11, 7,  4, 9,
     1, 10, 14, 3,  5,  12, 2,  15, 8, 6,  1,  4, 11, 13, 12, 3,  7,  14, 10, 15, 6, 8,
     0, 5,  9,  2,  6,  11, 13, 8,  1, 4,  10, 7, 9,  5,  0,  15, 14, 2,  3,  12},
    {13, 2, 8,  4, 6, 15, 11, 1,  10, 9,  3, 14, 5,  0,  12, 7,  1,  15, 13, 8, 10, 3,
     7,  4, 12, 5, 6, 11, 0,  14, 9,  2,  7, 11, 4,  1,  9,  12, 14, 2,  0,  6, 10, 13,
     15, 3, 5,  8, 2, 1,  14, 7,  4,  10, 8, 13, 15, 12, 9,  0,  3,  5,  6,  11}};

// A 64-bit permutation as eight byte-indexed tables: out = OR of table[k][byte k of in].
constexpr Table64 MakePermutation(const uint8_t (&source)[64]) {
    // single[i]: the output bits that input bit i (0 = most significant) lands in.
    uint64_t single[64] = {};
    for (int out = 0; out < 64; ++out) single[source[out] - 1] |= uint64_t{1} << (63 - out);
    Table64 table{};
    for (int k = 0; k < 8; ++k)
        for (int v = 0; v < 256; ++v) {
            uint64_t bits = 0;
            for (int b = 0; b < 8; ++b)
                if (v & (0x80 >> b)) bits |= single[k * 8 + b];
            table[k][v] = bits;
        }
    return table;
}

constexpr std::array<uint8_t, 64> InverseIP() {
    std::array<uint8_t, 64> inverse{};
    for (int j = 0; j < 64; ++j) inverse[kIP[j] - 1] = static_cast<uint8_t>(j + 1);
    return inverse;
}

constexpr Table64 MakeFinalPermutation() {
    const std::array<uint8_t, 64> inverse = InverseIP();
    uint8_t raw[64] = {};
    for (int j = 0; j < 64; ++j) raw[j] = inverse[j];
    return MakePermutation(raw);
}

// S-box i followed by the permutation P, rotated left by one like the halves.
constexpr SPTable MakeSP() {
    SPTable sp{};
    for (int box = 0; box < 8; ++box)
        for (int x = 0; x < 64; ++x) {
            const int row = ((x >> 4) & 2) | (x & 1);
            const int column = (x >> 1) & 0xF;
            const uint32_t pre = uint32_t{kS[box][row * 16 + column]} << (28 - 4 * box);
            uint32_t post = 0;
            for (int j = 0; j < 32; ++j)
                if (pre & (0x80000000u >> (kP[j] - 1))) post |= 0x80000000u >> j;
            sp[box][x] = std::rotl(post, 1);
        }
    return sp;
}

constexpr Table64 kIPTable = MakePermutation(kIP);
constexpr Table64 kFPTable = MakeFinalPermutation();
constexpr SPTable kSP = MakeSP();

inline uint64_t Permute(const Table64& table, uint64_t in) {
    uint64_t out = 0;
    for (int k = 0; k < 8; ++k) out |= table[k][(in >> (56 - 8 * k)) & 0xFF];
    return out;
}

inline uint64_t LoadBE64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
    return v;
}

inline void StoreBE64(uint8_t* p, uint64_t v) {
    for (int i = 7; i >= 0; --i) {
        p[i] = static_cast<uint8_t>(v);
        v >>= 8;
    }
}

// The round function on a rotated half, with the two packed words of one round key.
inline uint32_t F(uint32_t half, const uint32_t* k) {
    uint32_t work = std::rotr(half, 4) ^ k[0];
    uint32_t f = kSP[6][work & 0x3F] | kSP[4][(work >> 8) & 0x3F] | kSP[2][(work >> 16) & 0x3F] |
                 kSP[0][(work >> 24) & 0x3F];
    work = half ^ k[1];
    f |= kSP[7][work & 0x3F] | kSP[5][(work >> 8) & 0x3F] | kSP[3][(work >> 16) & 0x3F] |
         kSP[1][(work >> 24) & 0x3F];
    return f;
}

inline bool KeyBit(const uint8_t key[8], int bit) {  // bit counts from 1
    return (key[(bit - 1) / 8] & (0x80 >> ((bit - 1) % 8))) != 0;
}

}  // namespace

void InitDESKey(TIpDESKey& schedule, const uint8_t key[8], bool encrypt) {
    // C and D as 28-bit values, bit 27 being the first bit of each.
    uint32_t c = 0, d = 0;
    for (int i = 0; i < 28; ++i) {
        c = (c << 1) | (KeyBit(key, kPC1[i]) ? 1 : 0);
        d = (d << 1) | (KeyBit(key, kPC1[28 + i]) ? 1 : 0);
    }
    uint32_t rounds[16][2];
    for (int r = 0; r < 16; ++r) {
        for (int s = 0; s < kRotations[r]; ++s) {
            c = ((c << 1) | (c >> 27)) & 0x0FFFFFFF;
            d = ((d << 1) | (d >> 27)) & 0x0FFFFFFF;
        }
        const uint64_t cd = (uint64_t{c} << 28) | d;  // bit 55 is bit 1 of C||D
        uint8_t group[8] = {};
        for (int j = 0; j < 48; ++j)
            if ((cd >> (56 - kPC2[j])) & 1) group[j / 6] |= static_cast<uint8_t>(0x20 >> (j % 6));
        rounds[r][0] = (uint32_t{group[0]} << 24) | (uint32_t{group[2]} << 16) |
                       (uint32_t{group[4]} << 8) | group[6];
        rounds[r][1] = (uint32_t{group[1]} << 24) | (uint32_t{group[3]} << 16) |
                       (uint32_t{group[5]} << 8) | group[7];
    }
    for (int r = 0; r < 16; ++r) {
        const int from = encrypt ? r : 15 - r;
        schedule.Subkeys[2 * r] = rounds[from][0];
        schedule.Subkeys[2 * r + 1] = rounds[from][1];
    }
    schedule.Encrypt = encrypt ? 1 : 0;
}

void DESCipherBlock(const TIpDESKey& schedule, uint8_t block[8]) {
    const uint64_t in = Permute(kIPTable, LoadBE64(block));
    uint32_t left = std::rotl(static_cast<uint32_t>(in >> 32), 1);
    uint32_t right = std::rotl(static_cast<uint32_t>(in), 1);
    const uint32_t* k = schedule.Subkeys;
    for (int r = 0; r < 8; ++r, k += 4) {
        left ^= F(right, k);
        right ^= F(left, k + 2);
    }
    // The last round does not swap: the output is R16 || L16.
    const uint64_t out = (uint64_t{std::rotr(right, 1)} << 32) | std::rotr(left, 1);
    StoreBE64(block, Permute(kFPTable, out));
}

void CBCStep(const TIpDESKey& schedule, const uint8_t chain[8], uint8_t block[8]) {
    if (schedule.Encrypt) {
        XorMem(block, chain, 8);
        DESCipherBlock(schedule, block);
    } else {
        DESCipherBlock(schedule, block);
        XorMem(block, chain, 8);
    }
}

void XorMem(void* destination, const void* source, size_t count) {
    auto* d = static_cast<uint8_t*>(destination);
    const auto* s = static_cast<const uint8_t*>(source);
    // Four bytes at a time (memcpy keeps unaligned buffers legal), then the rest.
    for (; count >= 4; count -= 4, d += 4, s += 4) {
        uint32_t a, b;
        std::memcpy(&a, d, 4);
        std::memcpy(&b, s, 4);
        a ^= b;
        std::memcpy(d, &a, 4);
    }
    for (; count > 0; --count) *d++ ^= *s++;
}

void InitDES3Key(TIpDES3Key& schedule, const uint8_t key[24], bool encrypt) {
    // EDE: the middle key always runs the other way round.
    InitDESKey(schedule.K1, key, encrypt);
    InitDESKey(schedule.K2, key + 8, !encrypt);
    InitDESKey(schedule.K3, key + 16, encrypt);
    schedule.Encrypt = encrypt ? 1 : 0;
}

void DES3CBCStep(const TIpDES3Key& schedule, const uint8_t chain[8], uint8_t block[8]) {
    // The same chaining value in all three steps: the XORs of the middle steps cancel out.
    if (schedule.Encrypt) {
        CBCStep(schedule.K1, chain, block);
        CBCStep(schedule.K2, chain, block);
        CBCStep(schedule.K3, chain, block);
    } else {
        CBCStep(schedule.K3, chain, block);
        CBCStep(schedule.K2, chain, block);
        CBCStep(schedule.K1, chain, block);
    }
}

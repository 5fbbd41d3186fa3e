// SHA-1 (FIPS 180-1) with an incremental context, and the unit's names for the library base's
// MD5.
#include <algorithm>
#include <bit>
#include <cstring>

#include "netlib/crypto/IpCrypto.h"

namespace {

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
    MD5Init(context);
}

void UpdateMD5(TIpMD5Context& context, const void* data, size_t length) {
    MD5Update(context, data, length);
}

void FinalizeMD5(TIpMD5Context& context, uint8_t digest[16]) {
    TIpMD5Digest out;
    MD5Final(context, out);
    std::memcpy(digest, out.data(), out.size());
}

void HashMD5(uint8_t digest[16], const void* data, size_t length) {
    TIpMD5Context context;
    MD5Init(context);
    MD5Update(context, data, length);
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

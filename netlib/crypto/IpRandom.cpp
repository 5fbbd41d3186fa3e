// Random bytes for the SSL client (client random, pre-master secret, padding). The seed comes from
// the operating system: a seed from the clock can be guessed, and with it the session keys.
#include <sys/random.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "netlib/crypto/IpCrypto.h"

namespace {

// The program-wide seed of the shift registers; every seeding advances it, so two registers
// seeded one after the other never start alike.
std::atomic<uint32_t> gLFSSeed{1};

bool ReadUrandom(uint8_t* out, size_t count) {
    std::ifstream in("/dev/urandom", std::ios::binary);
    return in.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count)).good();
}

void SecureZero(void* p, size_t n) {
    volatile auto* v = static_cast<volatile uint8_t*>(p);
    while (n--) *v++ = 0;
}

}  // namespace

void IpSystemRandomBytes(void* buffer, size_t count) {
    auto* out = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        const ssize_t got = getrandom(out, count, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            if (errno == ENOSYS && ReadUrandom(out, count)) return;
            throw EIpRandomError(std::string("Random source not available: ") +
                                 std::strerror(errno));
        }
        out += got;
        count -= static_cast<size_t>(got);
    }
}

TIpRanLFS::TIpRanLFS() : FState(0) {
    do {
        uint32_t noise;
        IpSystemRandomBytes(&noise, sizeof noise);
        const uint32_t seed = gLFSSeed.load();
        FState = (seed << (seed & 15)) ^ noise;
        gLFSSeed.store(FState + 1);
    } while (FState == 0);
}

bool TIpRanLFS::NextBit() {
    const uint32_t s = FState;
    const uint32_t feedback = ((s >> 31) ^ (s >> 6) ^ (s >> 4) ^ (s >> 2) ^ (s >> 1) ^ s) & 1;
    FState = (feedback << 31) | (s >> 1);
    return (FState & 1) != 0;
}

uint8_t TIpRanLFS::NextByte() {
    uint8_t byte = 0;
    for (int i = 0; i < 8; ++i) byte = static_cast<uint8_t>((byte << 1) | (NextBit() ? 1 : 0));
    return byte;
}

TIpRandomGenerator::TIpRandomGenerator() {
    uint8_t seed[16];
    IpSystemRandomBytes(seed, sizeof seed);
    // Five rounds of pool := MD5(pool + seed), the pool starting at zero.
    uint8_t input[32];
    for (int round = 0; round < 5; ++round) {
        std::memcpy(input, FPool, 16);
        std::memcpy(input + 16, seed, 16);
        HashMD5(FPool, input, sizeof input);
    }
    SecureZero(seed, sizeof seed);
    SecureZero(input, sizeof input);
}

TIpRandomGenerator::TIpRandomGenerator(const uint8_t pool[16], uint32_t counter)
    : FCounter(counter) {
    std::memcpy(FPool, pool, 16);
}

TIpRandomGenerator::~TIpRandomGenerator() {
    SecureZero(FPool, sizeof FPool);
    SecureZero(&FCounter, sizeof FCounter);
}

void TIpRandomGenerator::GetRandomBytes(void* buffer, size_t count) {
    auto* out = static_cast<uint8_t*>(buffer);
    uint8_t input[20];
    uint8_t digest[16];
    std::memcpy(input, FPool, 16);
    while (count > 0) {
        for (int i = 0; i < 4; ++i) input[16 + i] = static_cast<uint8_t>(FCounter >> (8 * i));
        ++FCounter;
        HashMD5(digest, input, sizeof input);
        const size_t take = count < 16 ? count : 16;
        std::memcpy(out, digest, take);
        out += take;
        count -= take;
    }
    SecureZero(input, sizeof input);
    SecureZero(digest, sizeof digest);
}

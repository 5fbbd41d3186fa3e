// Throughput of the SSL client's primitives next to openssl's on the same machine:
//   build/<dir>/bench/crypto/crypto_bench
// Prints MB/s for DES-CBC, 3DES-EDE-CBC, MD5 and SHA-1 over 16 KiB buffers, and the time of one
// 2048-bit modular exponentiation with exponent 65537 (the RSA public operation of a
// handshake). When openssl is on the PATH, its `openssl speed` figures are taken in the same
// run and the ratio ours/openssl is printed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "netlib/crypto/IpBigInt.h"
#include "netlib/crypto/IpCrypto.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kBuffer = 16384;

// Runs f repeatedly for about a second; returns calls per second.
double Rate(const std::function<void()>& f) {
    size_t calls = 0;
    const auto start = Clock::now();
    double elapsed = 0;
    do {
        for (int i = 0; i < 8; ++i) f();
        calls += 8;
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < 1.0);
    return calls / elapsed;
}

volatile uint8_t gSink;

double DesCbcRate(std::vector<uint8_t>& data) {
    TIpDESKey key;
    const uint8_t k[8] = {1, 35, 69, 103, 137, 171, 205, 239};
    InitDESKey(key, k, true);
    return Rate([&] {
               uint8_t iv[8] = {};
               for (size_t i = 0; i < data.size(); i += 8) {
                   CBCStep(key, iv, &data[i]);
                   std::memcpy(iv, &data[i], 8);
               }
               gSink = data[0];
           }) *
           data.size();
}

double Des3CbcRate(std::vector<uint8_t>& data) {
    TIpDES3Key key;
    uint8_t k[24];
    for (int i = 0; i < 24; ++i) k[i] = static_cast<uint8_t>(i * 11 + 3);
    InitDES3Key(key, k, true);
    return Rate([&] {
               uint8_t iv[8] = {};
               for (size_t i = 0; i < data.size(); i += 8) {
                   DES3CBCStep(key, iv, &data[i]);
                   std::memcpy(iv, &data[i], 8);
               }
               gSink = data[0];
           }) *
           data.size();
}

double Md5Rate(const std::vector<uint8_t>& data) {
    return Rate([&] {
               uint8_t digest[16];
               HashMD5(digest, data.data(), data.size());
               gSink = digest[0];
           }) *
           data.size();
}

double Sha1Rate(const std::vector<uint8_t>& data) {
    return Rate([&] {
               uint8_t digest[20];
               HashSHA1(digest, data.data(), data.size());
               gSink = digest[0];
           }) *
           data.size();
}

TIpBigInteger FromBytes(const std::vector<uint8_t>& msbFirst) {
    TIpBigInteger wire, n;
    BigInit(wire, static_cast<int32_t>(msbFirst.size()));
    BigSetBytes(wire, 0, msbFirst.data(), static_cast<int32_t>(msbFirst.size()));
    BigCopy(wire, n);
    return n;
}

// Microseconds for one 2048-bit x^65537 mod m.
double ModExpMicros() {
    std::vector<uint8_t> m(256), x(256);
    uint32_t s = 12345;
    for (size_t i = 0; i < m.size(); ++i) {
        s = s * 1103515245 + 12345;
        m[i] = static_cast<uint8_t>(s >> 16);
        s = s * 1103515245 + 12345;
        x[i] = static_cast<uint8_t>(s >> 16);
    }
    m[0] |= 0x80;
    m[255] |= 1;
    x[0] &= 0x7F;
    const TIpBigInteger modulus = FromBytes(m), base = FromBytes(x), e = FromBytes({1, 0, 1});
    TIpBigInteger result;
    return 1e6 / Rate([&] { BigModExp(base, e, modulus, result); });
}

// Bytes per second of `openssl speed` for one algorithm at 16 KiB, or 0.
double OpensslRate(const std::string& args) {
    const std::string command = "openssl speed -mr -seconds 1 -bytes " + std::to_string(kBuffer) +
                                " " + args + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return 0;
    char line[512];
    double rate = 0;
    while (std::fgets(line, sizeof line, pipe)) {
        if (std::strncmp(line, "+F:", 3) != 0) continue;
        const char* last = std::strrchr(line, ':');
        if (last) rate = std::atof(last + 1);
    }
    pclose(pipe);
    return rate;
}

// Microseconds of openssl's RSA-2048 public operation (verify), or 0.
double OpensslRsaMicros() {
    FILE* pipe = popen("openssl speed -mr -seconds 1 rsa2048 2>/dev/null", "r");
    if (!pipe) return 0;
    char line[512];
    double perSecond = 0;
    while (std::fgets(line, sizeof line, pipe)) {
        if (std::strncmp(line, "+F2:", 4) != 0) continue;
        const char* last = std::strrchr(line, ':');
        if (last) perSecond = std::atof(last + 1);
    }
    pclose(pipe);
    return perSecond > 0 ? 1e6 / perSecond : 0;
}

void Row(const char* name, double ours, double theirs, const char* unit, bool higherIsBetter) {
    if (theirs > 0)
        std::printf("%-26s %12.1f %12.1f %8.2f   %s\n", name, ours, theirs,
                    higherIsBetter ? ours / theirs : theirs / ours, unit);
    else
        std::printf("%-26s %12.1f %12s %8s   %s\n", name, ours, "-", "-", unit);
}

}  // namespace

int main() {
    const bool haveOpenssl = std::system("openssl version >/dev/null 2>&1") == 0;
    std::vector<uint8_t> data(kBuffer);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 31);
    constexpr double MB = 1e6;

    std::printf("%-26s %12s %12s %8s\n", "", "ours", "openssl", "ratio");
    Row("DES-CBC (MB/s)", DesCbcRate(data) / MB,
        haveOpenssl ? OpensslRate("-provider legacy -provider default -evp des-cbc") / MB : 0,
        "MB/s", true);
    Row("3DES-EDE-CBC (MB/s)", Des3CbcRate(data) / MB,
        haveOpenssl ? OpensslRate("-evp des-ede3-cbc") / MB : 0, "MB/s", true);
    Row("MD5 (MB/s)", Md5Rate(data) / MB, haveOpenssl ? OpensslRate("-evp md5") / MB : 0, "MB/s",
        true);
    Row("SHA-1 (MB/s)", Sha1Rate(data) / MB, haveOpenssl ? OpensslRate("-evp sha1") / MB : 0,
        "MB/s", true);
    Row("modexp 2048, e=65537 (us)", ModExpMicros(), haveOpenssl ? OpensslRsaMicros() : 0,
        "us per operation", false);
    std::printf("ratio: ours relative to openssl (1.00 = as fast, below 1 = slower)\n");
    return 0;
}

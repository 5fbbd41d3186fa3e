// What the SSL 3.0 record layer costs on top of its cipher:
//   build/<dir>/bench/ssl/ssl_bench
// Prints MB/s of application data received through the client engine (records parsed, decrypted,
// MAC-checked and handed out as plaintext) for records of 16384 and of 1000 bytes, next to the
// bare cipher's rate over the same bytes (CBC decryption, as in bench/crypto). The server side is
// the in-process test server; its records are made before the clock starts.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "netlib/crypto/IpCrypto.h"
#include "netlib/ssl/IpSSL.h"
#include "tests/netlib/ssl/SslTestServer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kData = 1 << 20;
constexpr double MB = 1024.0 * 1024.0;

double Seconds(const std::function<void()>& f, int& runs) {  // about a second of calls
    runs = 0;
    const auto start = Clock::now();
    double elapsed = 0;
    do {
        f();
        ++runs;
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < 1.0);
    return elapsed;
}

volatile uint8_t gSink;

double CipherRate(uint8_t cipher) {
    std::vector<uint8_t> data(kData, 0x5A);
    uint8_t k[24];
    for (int i = 0; i < 24; ++i) k[i] = static_cast<uint8_t>(i * 11 + 3);
    TIpDESKey des;
    TIpDES3Key des3;
    InitDESKey(des, k, false);
    InitDES3Key(des3, k, false);
    int runs = 0;
    const double s = Seconds(
        [&] {
            uint8_t chain[8] = {}, next[8];
            for (size_t i = 0; i < data.size(); i += 8) {
                std::memcpy(next, &data[i], 8);
                if (cipher == kCipherDES)
                    CBCStep(des, chain, &data[i]);
                else
                    DES3CBCStep(des3, chain, &data[i]);
                std::memcpy(chain, next, 8);
            }
            gSink = data[0];
        },
        runs);
    return runs * static_cast<double>(kData) / s / MB;
}

// An engine after a complete handshake, and 1 MB of server records of the given size for it,
// several copies so that each run feeds fresh records (the sequence numbers move on).
double ReceiveRate(uint16_t suite, size_t recordSize) {
    ssltest::TTestServer server;
    server.Suite = suite;
    TIpSSLEngine client;
    client.SendClientHello();
    std::string w = server.OnClientHello(client.TakeOutput());
    client.Feed(w.data(), w.size());
    w = server.OnClientFlight(client.TakeOutput());
    client.Feed(w.data(), w.size());
    if (!client.HandshakeComplete()) {
        std::fprintf(stderr, "handshake failed\n");
        return 0;
    }
    const std::string plain(recordSize, 'p');
    constexpr int kCopies = 8;  // 8 MB in all
    std::vector<std::string> wire(kCopies);
    for (auto& one : wire)
        for (size_t at = 0; at < kData; at += recordSize) one += server.Seal(23, plain);
    std::vector<char> out(8192);
    size_t received = 0;
    const auto start = Clock::now();
    for (const std::string& in : wire) {
        // as the socket hands them over: reads of 16 KiB, plaintext taken in 8 KiB pieces
        for (size_t at = 0; at < in.size(); at += 16384) {
            client.Feed(in.data() + at, std::min<size_t>(16384, in.size() - at));
            while (size_t n = client.ReadPlain(out.data(), out.size())) received += n;
        }
    }
    const double s = std::chrono::duration<double>(Clock::now() - start).count();
    gSink = static_cast<uint8_t>(out[0]);
    return static_cast<double>(received) / s / MB;
}

}  // namespace

int main() {
    std::printf("%-44s %10s\n", "", "MB/s");
    std::printf("%-44s %10.1f\n", "DES-CBC decryption", CipherRate(kCipherDES));
    std::printf("%-44s %10.1f\n", "3DES-EDE-CBC decryption", CipherRate(kCipher3DES));
    std::printf("%-44s %10.1f\n", "SSL 3.0 receive, DES, 16384-byte records",
                ReceiveRate(9, 16384));
    std::printf("%-44s %10.1f\n", "SSL 3.0 receive, 3DES, 16384-byte records",
                ReceiveRate(10, 16384));
    std::printf("%-44s %10.1f\n", "SSL 3.0 receive, 3DES, 1000-byte records",
                ReceiveRate(10, 1000));
    return 0;
}

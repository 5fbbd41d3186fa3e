// The SSL 3.0 client engine against a server that sends anything after the client's hello. The
// engine's random source and tick count are fixed, so a recorded server side (the corpus holds
// whole handshakes of the in-process test server) completes the handshake and reaches the
// records of application data. The first byte is the size of the pieces the rest is fed in (0:
// all at once). Whatever arrives:
//   - the engine raises nothing but EIpSSLError, and is failed after one, taking no more input;
//   - no plaintext is handed out before the handshake is complete;
//   - what it sends is a sequence of whole SSL 3.0 records.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "fuzz/support/FuzzInput.h"
#include "netlib/crypto/IpCrypto.h"
#include "netlib/sock/IpWinSock.h"
#include "netlib/ssl/IpSSL.h"
#include "netlib/ssl/Limits.h"

namespace {

using Fuzz::Fail;

void CheckRecords(const std::string& Wire) {
    size_t At = 0;
    while (At < Wire.size()) {
        if (Wire.size() - At < SslLimits::kRecordHeader) Fail("a record cut in its header");
        if (Wire[At + 1] != 3 || Wire[At + 2] != 0) Fail("a record of another version");
        const size_t Length = size_t(uint8_t(Wire[At + 3])) << 8 | uint8_t(Wire[At + 4]);
        At += SslLimits::kRecordHeader + Length;
        if (At > Wire.size()) Fail("a record cut in its body");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    static const uint8_t Pool[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    TIpSSLEngine Engine;
    Engine.SetRandom(std::make_unique<TIpRandomGenerator>(Pool, 0));
    Engine.SetTickCount(0x01020304);
    Engine.SendClientHello();
    CheckRecords(Engine.TakeOutput());
    const size_t Piece = Data[0] ? Data[0] : Size;
    bool Failed = false;
    for (size_t At = 1; At < Size; At += Piece) {
        try {
            Engine.Feed(Data + At, std::min(Piece, Size - At));
        } catch (const EIpSSLError&) {
            if (Engine.State() != TIpSSLEngine::ssFailed) Fail("an error left the engine going");
            Failed = true;
        }
        if (Engine.PlainAvailable() > 0 && !Engine.HandshakeComplete())
            Fail("plaintext before the handshake was complete");
        CheckRecords(Engine.TakeOutput());
        if (Failed) break;
    }
    if (Failed) {
        try {
            Engine.Feed("x", 1);
            Fail("a failed engine took more input");
        } catch (const EIpSSLError&) {
        }
        return 0;
    }
    std::string Plain(Engine.PlainAvailable(), '\0');
    Plain.resize(Engine.ReadPlain(Plain.data(), Plain.size()));
    Engine.Write("QUIT\r\n", 6);
    const std::string Out = Engine.TakeOutput();
    CheckRecords(Out);
    if (Engine.State() == TIpSSLEngine::ssOpen && Out.empty())
        Fail("an open connection sent nothing written");
    return 0;
}

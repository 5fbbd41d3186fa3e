// The SSL client inside the data socket, as the program runs it: a client with SSL switched on
// connects through the fake socket, every received byte comes with a read notice, and a peer of
// the target's own (a small key and certificate of its own, 3DES or DES) completes a valid
// handshake. From then on the input speaks for the peer. Its first byte gives the size of the
// reads the peer's bytes arrive in (0: a piece at once) and the suite; the rest is cut at 0x1E,
// and each piece is by its first byte:
//   0 application data, sealed in one record      3 a sealed record of the type its next byte
//   1 bytes put on the wire as they are              names, the rest its content
//   2 a sealed alert (its content the rest)        4 application data sealed, then one byte of
//   5 the peer's close                               the record before its last block changed
//                                                    (which: the next byte)
// After each piece the client writes a line while its connection is open. Checks:
//   - the connection is reported once, after the handshake;
//   - what the client is handed is the start of the data the peer sealed whole, in order: no
//     byte of a changed record, of bytes put on the wire or of a record out of turn;
//   - all the data sealed before anything else came is handed over, none after an alert or a
//     changed record;
//   - a close_notify ends the input without an error, any other alert with one error; no
//     session reports more than one, however much the peer sends after it;
//   - every line the client writes reaches the peer sealed in whole records, byte for byte.
#include <QCoreApplication>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/support/FuzzInput.h"
#include "netlib/crypto/IpBigInt.h"
#include "netlib/sock/IpFakeSocket.h"
#include "netlib/sock/IpSock.h"
#include "netlib/ssl/IpSSLLayer.h"
#include "netlib/ssl/Limits.h"
#include "netlib/ssl/SSL3Crypto.h"
#include "tests/netlib/ssl/SslWire.h"

namespace {

using Fuzz::Fail;

#include "fuzz/sslsocket/PeerKey.inc"

std::string FromHex(const char* Hex) {
    std::string Out;
    for (size_t I = 0; Hex[I] && Hex[I + 1]; I += 2)
        Out += static_cast<char>(std::stoi(std::string(Hex + I, 2), nullptr, 16));
    return Out;
}

const uint8_t* U(const std::string& S) {
    return reinterpret_cast<const uint8_t*>(S.data());
}

using sslwire::Be;
using sslwire::Handshake;
using sslwire::Record;

// The client's bytes as whole SSL 3.0 records; anything else fails the run.
sslwire::TRecords Records(const std::string& Wire) {
    sslwire::TRecords Out;
    const std::string Fault = sslwire::SplitRecords(Wire, Out);
    if (!Fault.empty()) Fail("the client sent " + Fault);
    return Out;
}

TIpBigInteger Big(const std::string& BigEndian) {
    TIpBigInteger Raw;
    BigInit(Raw, static_cast<int32_t>(BigEndian.size()));
    BigSetBytes(Raw, 1, U(BigEndian), static_cast<int32_t>(BigEndian.size()));
    TIpBigInteger N;
    BigCopy(Raw, N);
    BigTrim(N);
    return N;
}

// Secret ^ d mod n by the key's factors, as size big-endian bytes.
std::string Decrypt(const std::string& Secret, size_t Size) {
    const TIpBigInteger C = Big(Secret), P = Big(FromHex(kPeerP)), Q = Big(FromHex(kPeerQ));
    TIpBigInteger CP, CQ, MP, MQ, T, H, M;
    BigMod(C, P, CP);
    BigMod(C, Q, CQ);
    BigModExp(CP, Big(FromHex(kPeerDP)), P, MP);
    BigModExp(CQ, Big(FromHex(kPeerDQ)), Q, MQ);
    // M = MQ + Q * (QInv * (MP - MQ) mod P), the difference kept positive.
    BigMod(MQ, P, T);
    BigAdd(MP, P, H);
    BigSubAssign(H, T);
    BigMulAssign(H, Big(FromHex(kPeerQInv)));
    BigModAssign(H, P);
    BigMul(H, Q, M);
    BigAddAssign(M, MQ);
    BigTrim(M);
    std::string Out(Size, '\0');
    for (int I = 0; I < M.Used && I < static_cast<int>(Size); ++I)
        Out[Size - 1 - I] = static_cast<char>(M.Digits[I]);
    return Out;
}

// The server's side of the handshake and of the records after it.
class TPeer {
  public:
    explicit TPeer(uint16_t Suite) : FSuite(Suite) {}

    // The server's first flight for the client's hello.
    std::string OnClientHello(const std::string& Wire) {
        const auto Recs = Records(Wire);
        if (Recs.size() != 1 || Recs[0].first != ctHandshake || Recs[0].second.size() < 38 ||
            U(Recs[0].second)[0] != 1)
            Fail("the client's first flight is no hello");
        FTranscript += Recs[0].second;
        std::memcpy(FClientRandom, Recs[0].second.data() + 6, 32);
        for (int I = 0; I < 32; ++I) FServerRandom[I] = static_cast<uint8_t>(I * 7 + 1);
        const std::string Hello = std::string("\x03\x00", 2) +
                                  std::string(reinterpret_cast<char*>(FServerRandom), 32) +
                                  std::string(1, '\0') + Be(FSuite, 2) + std::string(1, '\0');
        const std::string Cert = FromHex(kPeerCertDer);
        std::string Out;
        for (const std::string& Message :
             {Handshake(2, Hello),
              Handshake(11, Be(Cert.size() + 3, 3) + Be(Cert.size(), 3) + Cert),
              Handshake(14, "")}) {
            FTranscript += Message;
            Out += Record(ctHandshake, Message);
        }
        return Out;
    }

    // Takes the client's key exchange, cipher change and Finished; gives the server's.
    std::string OnClientFlight(const std::string& Wire) {
        const auto Recs = Records(Wire);
        if (Recs.size() != 3 || Recs[0].first != ctHandshake || Recs[1].first != 20 ||
            Recs[2].first != ctHandshake || Recs[0].second.size() < 4)
            Fail("the client's second flight is not key exchange, cipher change, Finished");
        const std::string Modulus = FromHex(kPeerModulus);
        const std::string Block = Decrypt(Recs[0].second.substr(4), Modulus.size());
        const std::string PreMaster = Block.substr(Block.size() - 48);
        if (Block[0] != 0 || Block[1] != 2 || Block[Block.size() - 49] != 0 ||
            PreMaster.compare(0, 2, "\x03\x00", 2) != 0)
            Fail("the client's pre-master secret is not padded as it must be");
        FTranscript += Recs[0].second;
        SSL3MasterSecret(U(PreMaster), FClientRandom, FServerRandom, FMaster);
        const TIpSSLSuiteParams Params = SSLSuiteParams(FSuite);
        const size_t Key = SSLKeySize(Params.Cipher);
        const std::string Keys =
            SSL3KeyBlock(FMaster, FServerRandom, FClientRandom, 2 * (20 + Key + 8));
        const uint8_t* K = U(Keys);
        FRecv.Init(Params.Cipher, false, K + 40, K + 40 + 2 * Key, K);
        FSend.Init(Params.Cipher, true, K + 40 + Key, K + 40 + 2 * Key + 8, K + 20);
        std::string Finished = Recs[2].second;
        FRecv.Open(ctHandshake, Finished);
        uint8_t Expected[36];
        SSL3FinishedHashes(FMaster, FTranscript, "CLNT", Expected);
        if (Finished != Handshake(20, std::string(reinterpret_cast<char*>(Expected), 36)))
            Fail("the client's Finished is wrong");
        FTranscript += Finished;
        uint8_t Mine[36];
        SSL3FinishedHashes(FMaster, FTranscript, "SRVR", Mine);
        return Record(20, "\x01") +
               Seal(ctHandshake, Handshake(20, std::string(reinterpret_cast<char*>(Mine), 36)));
    }

    std::string Seal(uint8_t Type, const std::string& Content) {
        std::string Out;
        FSend.Seal(Type, Content.data(), Content.size(), Out);
        return Out;
    }

    // The application data of the client's records.
    std::string OpenAll(const std::string& Wire) {
        std::string Data;
        for (auto& [Type, Body] : Records(Wire)) {
            if (Type != ctApplicationData) Fail("the client sent a record that is not data");
            FRecv.Open(Type, Body);
            Data += Body;
        }
        return Data;
    }

  private:
    uint16_t FSuite;
    std::string FTranscript;
    uint8_t FClientRandom[32] = {};
    uint8_t FServerRandom[32] = {};
    uint8_t FMaster[48] = {};
    TIpSSLCipherState FSend, FRecv;
};

class TSslClient : public TIpCustomClient {
  public:
    TSslClient() {
        DefaultPort = 995;
        SockInits().ReceiveMode = rmAny;
        SetSocketFactory([this](TIpCustomClient& C) {
            Fake = new TIpFakeSocket(C);
            return Fake;
        });
        OnStatus = [this](TIpSockControl*, SOCKET, TIpStatusType E, const TIpConnRec&,
                          const TIpSockStatRec&) {
            if (E == stConnect) ++Connects;
        };
        OnError = [this](TIpSockControl*, SOCKET, int32_t, const std::string& Text) {
            Errors.push_back(Text);
        };
        SetUsingSSL(true);
    }
    void DoReadLine(SOCKET, const std::string& Data) override { Handed += Data; }

    // The peer's bytes in reads of Piece bytes, each announced by a read notice.
    void Feed(const std::string& Bytes, size_t Piece) {
        for (size_t At = 0; At < Bytes.size() && Socket() == Fake; At += Piece)
            Fake->FeedByNotice(Bytes.substr(At, Piece));
    }

    TIpFakeSocket* Fake = nullptr;
    std::string Handed;
    std::vector<std::string> Errors;
    int Connects = 0;
};

enum TStep : uint8_t { kData, kRaw, kAlert, kOtherType, kChanged, kClose, kSteps };

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    static std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(*Argc, *Argv, false);
    IpSSLRegister();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    const size_t Piece = Data[0] & 0x7F ? Data[0] & 0x7F : SIZE_MAX;
    TPeer Peer(Data[0] & 0x80 ? 0x0009 : 0x000A);
    TSslClient Client;
    Client.Connect("pop.example.org");
    Client.Fake->AcceptConnect();
    Client.Feed(Peer.OnClientHello(Client.Fake->TakeWritten()), Piece);
    if (Client.Connects != 0) Fail("the connection reported before the handshake");
    Client.Feed(Peer.OnClientFlight(Client.Fake->TakeWritten()), Piece);
    if (Client.Connects != 1 || !Client.Errors.empty())
        Fail("a valid handshake did not report the connection once");

    // The data sealed whole, in order; how much of it came before anything else, and before
    // an alert or a changed record.
    std::string Sealed;
    size_t CleanBefore = SIZE_MAX, EndsBefore = SIZE_MAX;
    bool Closed = false, Notified = false, Fatal = false;
    int Line = 0;
    for (const std::string& Step : Fuzz::Pieces(Data + 1, Size - 1)) {
        if (Step.empty()) continue;
        const uint8_t Kind = uint8_t(Step[0]) % kSteps;
        const std::string Rest = Step.substr(1, SslLimits::kMaxPlainFragment);
        std::string Wire;
        bool Clean = false;
        switch (Kind) {
            case kData:
                Wire = Peer.Seal(ctApplicationData, Rest);
                Sealed += Rest;
                Clean = true;
                break;
            case kRaw:
                Wire = Rest;
                Clean = Rest.empty();
                break;
            case kAlert:
                Wire = Peer.Seal(ctAlert, Rest);
                if (EndsBefore == SIZE_MAX) EndsBefore = Sealed.size();
                // Read as it was sealed when nothing else came before it.
                if (CleanBefore == SIZE_MAX && Rest.size() >= 2 && Rest[1] == 0)
                    Notified = true;
                else if (CleanBefore == SIZE_MAX)
                    Fatal = true;
                break;
            case kOtherType: {
                const uint8_t Type = Rest.empty() ? 0 : uint8_t(Rest[0]);
                const std::string Content = Rest.empty() ? Rest : Rest.substr(1);
                Wire = Peer.Seal(Type, Content);
                if (Type == ctApplicationData) Sealed += Content;
                Clean = Type == ctApplicationData;
                break;
            }
            case kChanged: {
                Wire = Peer.Seal(ctApplicationData, Rest.empty() ? Rest : Rest.substr(1));
                const uint8_t At = Rest.empty() ? 0 : uint8_t(Rest[0]);
                // Not in the last block: that block holds the padding, which SSL 3.0 leaves
                // unprotected, so a change there may hit nothing that is checked.
                Wire[At % (Wire.size() - 8)] ^= static_cast<char>(1 << (At % 8));
                if (EndsBefore == SIZE_MAX) EndsBefore = Sealed.size();
                break;
            }
            case kClose:
                Closed = true;
                break;
        }
        if (!Clean && CleanBefore == SIZE_MAX) CleanBefore = Sealed.size();
        if (Closed) {
            if (Client.Socket() == Client.Fake) Client.Fake->PeerCloseByNotice();
            break;
        }
        Client.Feed(Wire, Piece);
        if (Client.Socket() == Client.Fake && Client.IsConnected()) {
            const std::string Text = "NOOP " + std::to_string(++Line) + "\r\n";
            Client.PutString(Client.SocketHandle(), Text, false);
            if (Peer.OpenAll(Client.Fake->TakeWritten()) != Text)
                Fail("a line the client wrote did not reach the peer as written");
        }
    }

    const std::string& Handed = Client.Handed;
    if (Handed.size() > Sealed.size() || Sealed.compare(0, Handed.size(), Handed) != 0)
        Fail("the client was handed data the peer did not seal: " + std::to_string(Handed.size()) +
             " bytes, " + std::to_string(Sealed.size()) + " sealed");
    const size_t Least = std::min(CleanBefore, Sealed.size());
    if (Handed.size() < Least)
        Fail("data sealed before anything else was not handed over: " +
             std::to_string(Handed.size()) + " of " + std::to_string(Least) + " bytes");
    if (Handed.size() > EndsBefore)
        Fail("data sealed after an alert or a changed record was handed over");
    if (Notified && !Client.Errors.empty())
        Fail("a close_notify was reported as an error: " + Client.Errors[0]);
    if (Fatal && Client.Errors.size() != 1)
        Fail("a fatal alert was reported " + std::to_string(Client.Errors.size()) + " times");
    if (Client.Errors.size() > 1)
        Fail("one session reported " + std::to_string(Client.Errors.size()) + " errors");
    return 0;
}

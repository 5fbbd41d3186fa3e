// The client engine through whole handshakes with the in-process test server: both suites,
// input in pieces of every size, application data both ways, and the server's failures.
#include <gtest/gtest.h>

#include <functional>

#include "netlib/sock/IpWinSock.h"
#include "netlib/ssl/IpSSL.h"
#include "tests/netlib/ssl/SslTestServer.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace ssltest;

// Feeds bytes in pieces of the given size.
void FeedIn(TIpSSLEngine& e, const std::string& bytes, size_t piece) {
    for (size_t at = 0; at < bytes.size(); at += piece)
        e.Feed(bytes.data() + at, std::min(piece, bytes.size() - at));
}

std::string ReadAll(TIpSSLEngine& e) {
    std::string out(e.PlainAvailable(), '\0');
    out.resize(e.ReadPlain(out.data(), out.size()));
    return out;
}

struct Pair {
    TTestServer Server;
    TIpSSLEngine Client;
    std::vector<std::string> Log;

    Pair() {
        Client.OnLog = [this](const std::string& s) { Log.push_back(s); };
    }

    // The client's hello, answered by the server's first flight.
    std::string Hello() {
        Client.SendClientHello();
        return Server.OnClientHello(Client.TakeOutput());
    }

    void Handshake(size_t piece = 1 << 20) {
        FeedIn(Client, Hello(), piece);
        ASSERT_EQ(Client.State(), TIpSSLEngine::ssKeysSent);
        const std::string fin = Server.OnClientFlight(Client.TakeOutput());
        FeedIn(Client, fin, piece);
        ASSERT_TRUE(Client.HandshakeComplete());
    }
};

// The error a fresh engine raises for the server's bytes after its hello (fed in pieces).
std::string ErrorAfterHello(const std::string& wire, size_t piece = 1 << 20,
                            TIpSSLEngine::TState* state = nullptr) {
    TIpSSLEngine e;
    e.SendClientHello();
    std::string error = ErrorOf<EIpBaseException>([&] { FeedIn(e, wire, piece); });
    if (state) *state = e.State();
    return error;
}

TEST(SslEngine, ClientHelloIs52Bytes) {
    TIpSSLEngine e;
    e.SetTickCount(0x01020304);
    e.SendClientHello();
    const std::string w = e.TakeOutput();
    ASSERT_EQ(w.size(), 52u);
    EXPECT_EQ(w.substr(0, 5), std::string("\x16\x03\x00\x00\x2f", 5));
    EXPECT_EQ(w.substr(5, 6), std::string("\x01\x00\x00\x2b\x03\x00", 6));
    EXPECT_EQ(w.substr(11, 4), std::string("\x04\x03\x02\x01", 4));  // tick count, low byte first
    EXPECT_EQ(w.substr(43), std::string("\x00\x00\x04\x00\x09\x00\x0a\x01\x00", 9));
}

TEST(SslEngine, HandshakeAndDataBothSuitesInPiecesOfAnySize) {
    for (uint16_t suite : {0x0009, 0x000A}) {
        for (size_t piece : {size_t{1}, size_t{3}, size_t{7}, size_t{4096}}) {
            SCOPED_TRACE(testing::Message() << "suite " << suite << " piece " << piece);
            Pair p;
            p.Server.Suite = suite;
            p.Handshake(piece);
            EXPECT_EQ(p.Client.SelectedSuite(), suite);
            std::string wire = p.Server.Seal(23, "+OK hello\r\n");
            wire += p.Server.Seal(23, "more");
            FeedIn(p.Client, wire, piece);
            EXPECT_EQ(ReadAll(p.Client), "+OK hello\r\nmore");
            p.Client.Write("USER x\r\n", 8);
            EXPECT_EQ(p.Server.OpenAll(p.Client.TakeOutput()), "USER x\r\n");
        }
    }
}

// The certificate is expired and self-signed; it is described, never checked.
TEST(SslEngine, AcceptsAnExpiredSelfSignedCertificateAndLogsIt) {
    Pair p;
    p.Handshake();
    bool found = false;
    for (const std::string& line : p.Log)
        if (line.find("subject \"ssl-test.invalid\"") != std::string::npos) {
            found = true;
            EXPECT_NE(line.find("issuer \"Kestro Test CA\""), std::string::npos) << line;
            EXPECT_NE(line.find("2000-01-01 00:00:00 UTC to 2001-01-01"), std::string::npos)
                << line;
        }
    EXPECT_TRUE(found);
}

TEST(SslEngine, ServerKeyExchangeAndSessionIds) {
    for (size_t idLength : {size_t{0}, size_t{32}}) {
        Pair p;
        p.Server.SendKeyExchange = true;
        p.Server.SessionId.assign(idLength, 'S');
        p.Handshake();
        EXPECT_EQ(p.Client.SessionId().size(), idLength);
    }
    Pair p;
    p.Server.SessionId.assign(33, 'S');
    const std::string flight = p.Hello();
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { p.Client.Feed(flight.data(), flight.size()); }),
              "SSLGetServerSessionID : Session ID is longer than 32 bytes.");
    EXPECT_EQ(p.Client.State(), TIpSSLEngine::ssFailed);
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { p.Client.Feed("x", 1); }), "SSLRecv : Read error.");
}

TEST(SslEngine, RefusedSuitesAfterServerHelloDone) {
    const std::pair<uint16_t, const char*> cases[] = {
        {4, "SSLSetEncryptionType : Unsupported cipher chosen."},
        {3, "SSLSetEncryptionType : Unsupported public encoding."},
        {0x002F, "SSLSetEncryptionType : Unsupported public encoding."},
    };
    for (auto [suite, text] : cases) {
        Pair p;
        p.Server.Suite = suite;
        const std::string flight = p.Hello();
        EXPECT_EQ(ErrorOf<EIpBaseException>([&] { p.Client.Feed(flight.data(), flight.size()); }),
                  text);
        EXPECT_FALSE(p.Client.HasOutput()) << "nothing is sent after an error";
    }
    Pair p;
    p.Server.SendCertificate = false;
    const std::string flight = p.Hello();
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { p.Client.Feed(flight.data(), flight.size()); }),
              "SetServerPublicKey :Certificate is not available.");
}

TEST(SslEngine, Alerts) {
    // close_notify, plain or encrypted, ends quietly
    const struct {
        const char* Alert;
        const char* Error;
        TIpSSLEngine::TState State;
    } cases[] = {
        {"\x02\x28", "Alert : Fatal Error - Handshake failure.", TIpSSLEngine::ssFailed},
        {"\x01\x2a", "Alert : Warning - Bad certificate.", TIpSSLEngine::ssFailed},
        {"\x02\x46", "Alert : Fatal Error - Unknown Alert Error.", TIpSSLEngine::ssFailed},
        {"\x01\x00", "", TIpSSLEngine::ssClosed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Error);
        TIpSSLEngine::TState state;
        EXPECT_EQ(ErrorAfterHello(Record(21, std::string(c.Alert, 2)), 1 << 20, &state), c.Error);
        EXPECT_EQ(state, c.State);
    }
    Pair p;
    p.Handshake();
    std::string w = p.Server.Seal(23, "bye");
    w += p.Server.Seal(21, std::string("\x01\x00", 2));
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { p.Client.Feed(w.data(), w.size()); }), "");
    EXPECT_EQ(ReadAll(p.Client), "bye");
    EXPECT_EQ(p.Client.State(), TIpSSLEngine::ssClosed);
}

// What a TLS-only server answers: a record of another version.
TEST(SslEngine, RecordHeaderChecks) {
    const std::pair<std::string, const char*> cases[] = {
        {Record(21, std::string("\x02\x46", 2), 3, 1), "SanityCheckRecord : Parsing error."},
        {Record(24, "x"), "SanityCheckRecord : bParsing error."},
        {std::string("\x16\x03\x00\x80\x00", 5), "dsReadData : Buffer overflow error."},
        {Record(23, "data before the handshake"), "SSLRecv : Read error."},
        {Record(20, "\x01"), "SSLChangeChiper : Parsing error."},
    };
    // the header alone is enough to refuse
    for (const auto& [wire, text] : cases) EXPECT_EQ(ErrorAfterHello(wire, 5), text);
}

// Lengths from the server are checked against the data before anything is read.
TEST(SslEngine, TruncatedHandshakeLengths) {
    const std::string der = Hex(kTestCertDer);
    const std::pair<std::string, const char*> cases[] = {
        {Handshake(11, Be24(der.size() + 10) + Be24(der.size()) + der),
         "MovePtrValue : Buffer overflow error."},
        {Handshake(11, Be24(der.size() + 3) + Be24(der.size() + 1) + der),
         "MovePtrValue : Buffer overflow error."},
        {Handshake(11, "\x00"), "MovePtrValue : Buffer overflow error."},
        {Handshake(12, std::string("\x01\x00\x01", 3)), "MovePtrValue : Buffer overflow error."},
        {Handshake(2, std::string(20, '\0')), "SSLParseHello : Parsing error."},
        {Handshake(2, std::string(2 + 32, '\0') + std::string("\x00\x00\x0a\x00\x00", 5)),
         "SSLParseHello : Parsing error."},
        {Handshake(2, std::string(2 + 32, '\0') + std::string("\x00\x00\x0a\x01", 4)),
         "SSLParseHello : Compression value is wrong."},
        {Handshake(14, "x"), "SSLGetServerHelloDone : Parsing error."},
        {Handshake(20, std::string(36, '\0')),
         "SSLParseHandShake : Did not parse server hello correctly."},
        {Handshake(0, ""), "SSLParseHandShake : Did not parse server hello correctly."},
        {std::string("\x0b\x10\x00\x00", 4), "SSLParseHandShake : Read size miss-match."},
    };
    for (const auto& [msg, text] : cases) EXPECT_EQ(ErrorAfterHello(Record(22, msg)), text);
}

// One handshake message split over several records, several messages in one record.
TEST(SslEngine, HandshakeMessagesSpanRecords) {
    Pair p;
    const std::string flight = p.Hello();
    std::string messages;
    for (auto& [type, body] : Records(flight)) messages += body;
    std::string wire;
    for (size_t at = 0; at < messages.size(); at += 100)
        wire += Record(22, messages.substr(at, 100));
    FeedIn(p.Client, wire, 13);
    ASSERT_EQ(p.Client.State(), TIpSSLEngine::ssKeysSent);
    const std::string fin = p.Server.OnClientFlight(p.Client.TakeOutput());
    p.Client.Feed(fin.data(), fin.size());
    EXPECT_TRUE(p.Client.HandshakeComplete());
}

TEST(SslEngine, WrongServerFinishedAndMac) {
    Pair p;
    p.Server.WrongFinished = true;
    FeedIn(p.Client, p.Hello(), 1 << 20);
    const std::string out = p.Server.OnClientFlight(p.Client.TakeOutput());
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { p.Client.Feed(out.data(), out.size()); }),
              "SSLVerifyHashes : SHA1 hash did not match.");

    Pair q;
    q.Handshake();
    std::string rec = q.Server.Seal(23, "hello");
    rec[8] ^= 0x40;
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { q.Client.Feed(rec.data(), rec.size()); }),
              "SSLVerifySHAMac : MAC did not match.");
}

// Content that ends on a block boundary leaves the MAC's first bytes alone in the next block. A
// bit flipped in that block changes the received MAC (its first 8 bytes scrambled, one bit of
// the next 8) and nothing else: content, the MAC's last bytes and the padding are as sealed.
TEST(SslEngine, RecordWithOnlyItsMacChangedIsRefused) {
    for (uint16_t Suite : {0x0009, 0x000A}) {
        SCOPED_TRACE(Suite);
        Pair P;
        P.Server.Suite = Suite;
        P.Handshake();
        const std::string Content(16, 'c');
        std::string Rec = P.Server.Seal(23, Content);
        // 16 content bytes, 20 MAC bytes, 3 padding bytes and the padding length.
        ASSERT_EQ(Rec.size(), 5u + 16 + 24);
        Rec[5 + 16] ^= 0x01;
        EXPECT_EQ(ErrorOf<EIpBaseException>([&] { P.Client.Feed(Rec.data(), Rec.size()); }),
                  "SSLVerifySHAMac : MAC did not match.");
        EXPECT_EQ(P.Client.PlainAvailable(), 0u);
        EXPECT_EQ(P.Client.State(), TIpSSLEngine::ssFailed);
    }
}

// Over 256 records each way: the sequence numbers carry; large writes are split at 16384.
TEST(SslEngine, ManyRecordsAndLargeWrites) {
    Pair p;
    p.Server.Suite = 0x0009;
    p.Handshake();
    std::string sent, wire;
    for (int i = 0; i < 600; ++i) {
        const std::string line = "line " + std::to_string(i) + "\r\n";
        sent += line;
        wire += p.Server.Seal(23, line);
    }
    FeedIn(p.Client, wire, 1000);
    EXPECT_EQ(ReadAll(p.Client), sent);
    for (int i = 0; i < 300; ++i) p.Client.Write("x", 1);
    EXPECT_EQ(p.Server.OpenAll(p.Client.TakeOutput()), std::string(300, 'x'));
    std::string big(100000, 'b');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 31);
    p.Client.Write(big.data(), big.size());
    const std::string out = p.Client.TakeOutput();
    EXPECT_EQ(Records(out).size(), 7u);  // 6 * 16384 + 1696
    EXPECT_EQ(p.Server.OpenAll(out), big);
}

TEST(SslEngine, DataWrittenBeforeTheHandshakeEndsIsHeld) {
    Pair p;
    p.Client.Write("early", 5);
    FeedIn(p.Client, p.Hello(), 1 << 20);
    p.Client.Write(" data", 5);
    const std::string fin = p.Server.OnClientFlight(p.Client.TakeOutput());
    p.Client.Feed(fin.data(), fin.size());
    EXPECT_EQ(p.Server.OpenAll(p.Client.TakeOutput()), "early data");
}

// Many handshakes: the RSA result always has the modulus' length, also when its top byte is 0
// (about one in 256), and the padding never holds a zero byte (checked by the server).
TEST(SslEngine, PreMasterBlockAlwaysHasModulusLength) {
    for (int i = 0; i < 40; ++i) {
        Pair p;
        p.Handshake();
        EXPECT_EQ(p.Server.PreMasterBlockSize, 128u);
    }
}

// A certificate the parser refuses fails the handshake with the parser's text, as an SSL error.
TEST(SslEngine, UnparsableCertificate) {
    TIpSSLEngine e;
    e.SendClientHello();
    const std::string junk = "\x30\x84\x7f\xff\xff\xff junk";
    const std::string w =
        Record(22, Handshake(11, Be24(junk.size() + 3) + Be24(junk.size()) + junk));
    const std::string error = ErrorOf<EIpSSLError>([&] { e.Feed(w.data(), w.size()); });
    EXPECT_EQ(error.rfind("Cert Error", 0), 0u) << error;
    EXPECT_EQ(e.State(), TIpSSLEngine::ssFailed);
}

}  // namespace

// The SSL 3.0 constructions against values computed by scapy (make_fixtures.py).
#include <gtest/gtest.h>

#include "netlib/sock/IpWinSock.h"
#include "netlib/ssl/SSL3Crypto.h"
#include "tests/netlib/ssl/SslTestServer.h"

namespace {

using ssltest::Hex;
using ssltest::U;

#include "tests/netlib/ssl/Ssl3Fixtures.inc"

std::string Str(const uint8_t* p, size_t n) {
    return std::string(reinterpret_cast<const char*>(p), n);
}

TEST(Ssl3Crypto, MasterSecretAndKeyBlockMatchScapy) {
    for (const TMasterCase& t : kMasterCases) {
        uint8_t master[48];
        SSL3MasterSecret(U(Hex(t.PreMaster)), U(Hex(t.ClientRandom)), U(Hex(t.ServerRandom)),
                         master);
        EXPECT_EQ(Str(master, 48), Hex(t.Master));
        const std::string kb = Hex(t.KeyBlock);
        EXPECT_EQ(SSL3KeyBlock(master, U(Hex(t.ServerRandom)), U(Hex(t.ClientRandom)), kb.size()),
                  kb);
    }
}

TEST(Ssl3Crypto, FinishedHashesMatchScapy) {
    for (const TFinishedCase& t : kFinishedCases) {
        uint8_t out[36];
        SSL3FinishedHashes(U(Hex(t.Master)), Hex(t.Messages), "CLNT", out);
        EXPECT_EQ(Str(out, 36), Hex(t.Client));
        SSL3FinishedHashes(U(Hex(t.Master)), Hex(t.Messages), "SRVR", out);
        EXPECT_EQ(Str(out, 36), Hex(t.Server));
    }
}

// Sequence numbers past 255 and past 2^32 carry into the higher bytes.
TEST(Ssl3Crypto, RecordMacsMatchScapy) {
    for (const TMacCase& t : kMacCases) {
        const std::string content = Hex(t.Content);
        uint8_t mac[20];
        SSL3MacSHA1(U(Hex(t.Secret)), t.Sequence, static_cast<uint8_t>(t.Type), content.data(),
                    content.size(), mac);
        EXPECT_EQ(Str(mac, 20), Hex(t.Mac)) << "sequence " << t.Sequence;
    }
}

// Whole records: MAC, padding (0xAA bytes and the count, always a final block) and the chaining
// value carried from record to record; and the way back.
TEST(Ssl3Crypto, SealedRecordsMatchScapyAndOpenAgain) {
    for (const TRecordCase& t : kRecordCases) {
        TIpSSLCipherState seal, open;
        seal.Init(static_cast<uint8_t>(t.Cipher), true, U(Hex(t.Key)), U(Hex(t.IV)),
                  U(Hex(t.MacSecret)));
        open.Init(static_cast<uint8_t>(t.Cipher), false, U(Hex(t.Key)), U(Hex(t.IV)),
                  U(Hex(t.MacSecret)));
        for (const TRecord& r : t.Records) {
            const std::string content = Hex(r.Content);
            std::string wire;
            seal.Seal(static_cast<uint8_t>(r.Type), content.data(), content.size(), wire);
            const std::string body = Hex(r.Body);
            ASSERT_EQ(wire.size(), 5 + body.size());
            EXPECT_EQ(wire.substr(5), body);
            EXPECT_EQ(U(wire)[0], r.Type);
            // content + MAC of 24 bytes gives 32, of 60 gives 64: a padding block always follows
            EXPECT_EQ(body.size(), (content.size() + 20) / 8 * 8 + 8);
            std::string back = body;
            open.Open(static_cast<uint8_t>(r.Type), back);
            EXPECT_EQ(back, content);
        }
    }
}

TEST(Ssl3Crypto, OpenRejectsDamagedRecords) {
    const TRecordCase& des = kRecordCases[0];
    const TRecordCase& des3 = kRecordCases[1];
    auto opener = [](const TRecordCase& t) {
        TIpSSLCipherState s;
        s.Init(static_cast<uint8_t>(t.Cipher), false, U(Hex(t.Key)), U(Hex(t.IV)),
               U(Hex(t.MacSecret)));
        return s;
    };
    auto expectError = [](TIpSSLCipherState s, uint8_t type, std::string body,
                          const std::string& text) {
        try {
            s.Open(type, body);
            ADD_FAILURE() << "no error, expected " << text;
        } catch (const EIpSSLError& e) {
            EXPECT_EQ(e.Message(), text);
        }
    };
    const std::string good = Hex(des.Records[0].Body);
    // a DES record of a wrong length is an error, as for triple DES
    expectError(opener(des), 22, good.substr(0, good.size() - 3),
                "SSLDecrptRecvDES : Block size error");
    expectError(opener(des3), 22, good.substr(0, 12), "SSLDecrptRecv3DES : Block size error");
    expectError(opener(des), 22, "", "SSLDecrptRecvDES : Block size error");
    // one flipped bit, the wrong type, a record shorter than its MAC
    std::string flipped = good;
    flipped[3] ^= 1;
    expectError(opener(des), 22, flipped, "SSLVerifySHAMac : MAC did not match.");
    expectError(opener(des), 23, good, "SSLVerifySHAMac : MAC did not match.");
    expectError(opener(des), 22, good.substr(0, 16),
                "SSLVerifySHAMac : Record shorter than its MAC.");
}

TEST(Ssl3Crypto, SuiteTable) {
    EXPECT_EQ(SSLSuiteParams(9).Cipher, kCipherDES);
    EXPECT_EQ(SSLSuiteParams(10).Cipher, kCipher3DES);
    EXPECT_EQ(SSLSuiteParams(10).Mac, kMacSHA1);
    EXPECT_EQ(SSLSuiteParams(3).KeyExchange, kKeyExchangeRSAExport);
    EXPECT_EQ(SSLSuiteParams(0x002F).KeyExchange, kKeyExchangeNone);
}

}  // namespace

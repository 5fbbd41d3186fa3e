#pragma once
// The server side of an SSL 3.0 handshake for tests of the client engine, in process: it reads
// the client's records, answers with its own and checks what the client computed (the padding of
// the pre-master block, the Finished hashes, every MAC). Its constructions are checked against
// scapy's through the fixtures; here it serves to drive the client through every path.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "netlib/crypto/IpBigInt.h"
#include "netlib/ssl/SSL3Crypto.h"
#include "tests/netlib/ssl/SslWire.h"

namespace ssltest {

#include "tests/netlib/ssl/TestKey.inc"

inline std::string Hex(const char* hex) {
    std::string out;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2)
        out += static_cast<char>(std::stoi(std::string(hex + i, 2), nullptr, 16));
    return out;
}

inline const uint8_t* U(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}

using sslwire::Handshake;
using sslwire::Record;

inline std::string Be24(size_t n) {
    return sslwire::Be(n, 3);
}

// Splits wire bytes into (type, body) records; all must be whole records of version 3.0.
inline sslwire::TRecords Records(const std::string& wire) {
    sslwire::TRecords out;
    const std::string fault = sslwire::SplitRecords(wire, out);
    EXPECT_EQ(fault, "");
    return out;
}

inline TIpBigInteger Big(const std::string& be) {
    TIpBigInteger raw;
    BigInit(raw, static_cast<int32_t>(be.size()));
    BigSetBytes(raw, 1, U(be), static_cast<int32_t>(be.size()));
    TIpBigInteger n;
    BigCopy(raw, n);
    BigTrim(n);
    return n;
}

struct TTestServer {
    uint16_t Suite = 0x000A;
    std::string SessionId;
    bool SendKeyExchange = false;
    bool SendCertificate = true;
    bool WrongFinished = false;  // sends a Finished over other messages

    std::string Transcript;
    uint8_t ClientRandom[32] = {};
    uint8_t ServerRandom[32] = {};
    uint8_t Master[48] = {};
    TIpSSLCipherState Send, Recv;
    size_t PreMasterBlockSize = 0;

    // The server's first flight for the client's ClientHello record, one record per message.
    std::string OnClientHello(const std::string& wire) {
        auto recs = Records(wire);
        EXPECT_EQ(recs.size(), 1u);
        const std::string& hello = recs.at(0).second;
        EXPECT_EQ(U(hello)[0], 1);
        Transcript += hello;
        std::memcpy(ClientRandom, hello.data() + 6, 32);
        for (int i = 0; i < 32; ++i) ServerRandom[i] = static_cast<uint8_t>(i * 7 + 1);
        std::string sh("\x03\x00", 2);
        sh.append(reinterpret_cast<const char*>(ServerRandom), 32);
        sh += static_cast<char>(SessionId.size());
        sh += SessionId;
        sh += static_cast<char>(Suite >> 8);
        sh += static_cast<char>(Suite);
        sh += '\0';
        std::string out;
        auto add = [&](uint8_t type, const std::string& body) {
            const std::string m = Handshake(type, body);
            Transcript += m;
            out += Record(22, m);
        };
        add(2, sh);
        if (SendCertificate) {
            const std::string der = Hex(kTestCertDer);
            add(11, Be24(der.size() + 3) + Be24(der.size()) + der);
        }
        if (SendKeyExchange) {
            const std::string n = Hex(kTestModulus);
            std::string ske;
            ske += static_cast<char>(n.size() >> 8);
            ske += static_cast<char>(n.size());
            ske += n;
            ske += std::string("\x00\x03\x01\x00\x01", 5);
            add(12, ske);
        }
        add(14, "");
        return out;
    }

    // Checks the client's second flight; returns the server's ChangeCipherSpec and Finished.
    std::string OnClientFlight(const std::string& wire) {
        auto recs = Records(wire);
        EXPECT_EQ(recs.size(), 3u);
        if (recs.size() != 3) return {};
        const std::string& cke = recs[0].second;
        EXPECT_EQ(recs[0].first, 22);
        EXPECT_EQ(U(cke)[0], 16);
        const std::string c = cke.substr(4);
        const std::string n = Hex(kTestModulus);
        PreMasterBlockSize = c.size();
        EXPECT_EQ(c.size(), n.size()) << "the RSA result must have the modulus' length";
        TIpBigInteger m;
        BigModExp(Big(c), Big(Hex(kTestPrivateExponent)), Big(n), m);
        // back to k big-endian bytes
        std::string block(n.size(), '\0');
        for (int i = 0; i < m.Used && i < static_cast<int>(n.size()); ++i)
            block[n.size() - 1 - i] = static_cast<char>(m.Digits[i]);
        EXPECT_EQ(U(block)[0], 0);
        EXPECT_EQ(U(block)[1], 2);
        const size_t pad = n.size() - 3 - 48;
        for (size_t i = 2; i < 2 + pad; ++i) EXPECT_NE(U(block)[i], 0) << "padding byte " << i;
        EXPECT_EQ(U(block)[2 + pad], 0);
        const std::string pre = block.substr(3 + pad);
        EXPECT_EQ(pre.substr(0, 2), std::string("\x03\x00", 2));
        Transcript += cke;
        SSL3MasterSecret(U(pre), ClientRandom, ServerRandom, Master);
        const TIpSSLSuiteParams p = SSLSuiteParams(Suite);
        const size_t keySize = SSLKeySize(p.Cipher);
        const std::string kb =
            SSL3KeyBlock(Master, ServerRandom, ClientRandom, 2 * (20 + keySize + 8));
        const uint8_t* k = U(kb);
        Recv.Init(p.Cipher, false, k + 40, k + 40 + 2 * keySize, k);
        Send.Init(p.Cipher, true, k + 40 + keySize, k + 40 + 2 * keySize + 8, k + 20);
        EXPECT_EQ(recs[1].first, 20);
        EXPECT_EQ(recs[1].second, std::string("\x01"));
        std::string fin = recs[2].second;
        Recv.Open(22, fin);
        uint8_t expect[36];
        SSL3FinishedHashes(Master, Transcript, "CLNT", expect);
        EXPECT_EQ(fin, Handshake(20, std::string(reinterpret_cast<char*>(expect), 36)));
        Transcript += fin;
        uint8_t mine[36];
        SSL3FinishedHashes(Master, Transcript, "SRVR", mine);
        if (WrongFinished) mine[20] ^= 1;
        std::string out = Record(20, "\x01");
        Send.Seal(22, Handshake(20, std::string(reinterpret_cast<char*>(mine), 36)).data(), 40,
                  out);
        return out;
    }

    std::string Seal(uint8_t type, const std::string& content) {
        std::string out;
        Send.Seal(type, content.data(), content.size(), out);
        return out;
    }

    // The application data of the client's records.
    std::string OpenAll(const std::string& wire) {
        std::string data;
        for (auto& [type, body] : Records(wire)) {
            EXPECT_EQ(type, 23);
            EXPECT_LE(body.size(), 16384u + 20 + 8);
            Recv.Open(type, body);
            data += body;
        }
        return data;
    }
};

}  // namespace ssltest

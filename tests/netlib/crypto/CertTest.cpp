// The certificate walk: RSA keys of certificates made by openssl at run time (compared with
// openssl's own reading of the modulus), hand-built DER for the positional rules, and malformed
// input that must fail cleanly.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "netlib/crypto/IpCert.h"
#include "tests/netlib/crypto/TestHex.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<uint8_t>;

// ----- DER building -----

Bytes Der(uint8_t tag, const Bytes& content) {
    Bytes out{tag};
    const size_t n = content.size();
    if (n < 128) {
        out.push_back(static_cast<uint8_t>(n));
    } else if (n < 256) {
        out.push_back(0x81);
        out.push_back(static_cast<uint8_t>(n));
    } else {
        out.push_back(0x82);
        out.push_back(static_cast<uint8_t>(n >> 8));
        out.push_back(static_cast<uint8_t>(n));
    }
    out.insert(out.end(), content.begin(), content.end());
    return out;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes Seq(std::initializer_list<Bytes> parts) {
    return Der(0x30, Cat(parts));
}
Bytes Text(const std::string& s) {
    return Der(0x13, Bytes(s.begin(), s.end()));
}
const Bytes kNull = {0x05, 0x00};
const Bytes kRsaOid = FromHex("06092a864886f70d010101");
const Bytes kSha1RsaOid = FromHex("06092a864886f70d010105");
const Bytes kCommonName = FromHex("0603550403");

Bytes Name(const std::string& cn) {
    return Seq({Der(0x31, Seq({kCommonName, Text(cn)}))});
}

Bytes RsaKey(const Bytes& modulus, const Bytes& exponent) {
    Bytes bits{0x00};
    const Bytes key = Seq({Der(0x02, modulus), Der(0x02, exponent)});
    bits.insert(bits.end(), key.begin(), key.end());
    return Der(0x03, bits);
}

// A certificate in the usual shape, with the parts a test wants to vary.
Bytes Certificate(const Bytes& versionAndSerial, const Bytes& keyInfo,
                  const Bytes& algorithm = Seq({kSha1RsaOid, kNull})) {
    const Bytes validity = Seq({Der(0x17, FromHex("3236303130313030303030305a")),
                                Der(0x17, FromHex("3237303130313030303030305a"))});
    const Bytes tbs =
        Seq({versionAndSerial, algorithm, Name("issuer"), validity, Name("subject"), keyInfo});
    return Seq({tbs, Seq({kSha1RsaOid, kNull}), Der(0x03, FromHex("00deadbeef"))});
}

Bytes StandardKeyInfo(const Bytes& modulus, const Bytes& exponent) {
    return Seq({Seq({kRsaOid, kNull}), RsaKey(modulus, exponent)});
}

struct Key {
    std::string Modulus, Exponent;
};

Key ReadKey(TIpCert_Cert& certs, TIpCertHandle handle) {
    int32_t modLength = 0, expLength = 0;
    certs.GetPublicKeySizes(handle, modLength, expLength);
    Bytes mod(static_cast<size_t>(modLength)), exp(static_cast<size_t>(expLength));
    certs.GetPublicKey(handle, mod.data(), modLength, exp.data(), expLength);
    return {ToHex(mod), ToHex(exp)};
}

std::string ParseError(const Bytes& der) {
    return ErrorOf<ECertError>([&] {
        TIpCert_Cert certs;
        certs.ParseCert(der.data(), static_cast<int32_t>(der.size()));
    });
}

// ----- certificates made by openssl -----

class OpensslCertTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::system("openssl version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no openssl";
        std::string pattern = (fs::temp_directory_path() / "kestro-cert-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        FDir = pattern;
    }
    void TearDown() override {
        if (!FDir.empty()) fs::remove_all(FDir);
    }

    // Runs an openssl command in the test directory.
    void Run(const std::string& command) {
        const std::string line = "cd '" + FDir.string() + "' && " + command + " 2>/dev/null";
        ASSERT_EQ(std::system(line.c_str()), 0) << command;
    }

    Bytes Read(const std::string& name) {
        std::ifstream in(FDir / name, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // What openssl reads as the modulus, in lower-case hex.
    std::string OpensslModulus(const std::string& der) {
        Run("openssl x509 -inform DER -in " + der + " -noout -modulus > " + der + ".mod");
        std::ifstream in(FDir / (der + ".mod"));
        std::string line;
        std::getline(in, line);
        EXPECT_EQ(line.rfind("Modulus=", 0), 0u);
        std::string hex = line.substr(8);
        for (char& c : hex) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return hex;
    }

    void MakeV3(const std::string& name, int bits, const std::string& extra = "") {
        Run("openssl req -x509 -newkey rsa:" + std::to_string(bits) + " -nodes -keyout " + name +
            ".key -subj '/C=DE/O=Kestro Test/CN=" + name + "' -days 2 -outform DER -out " + name +
            ".der " + extra);
    }

    fs::path FDir;
};

TEST_F(OpensslCertTest, KeysAgreeWithOpenssl) {
    MakeV3("v3", 1024);
    MakeV3("serial20", 2048, "-set_serial 0x7f0102030405060708090a0b0c0d0e0f10111213");
    MakeV3("big", 4096);
    Run("openssl req -new -newkey rsa:1024 -nodes -keyout v1.key -subj '/CN=v1' -out v1.csr");
    Run("openssl x509 -req -in v1.csr -signkey v1.key -days 2 -outform DER -out v1.der");
    const struct {
        const char* File;
        size_t ModulusBytes;
    } cases[] = {{"v3.der", 128}, {"serial20.der", 256}, {"big.der", 512}, {"v1.der", 128}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        const Bytes der = Read(c.File);
        TIpCert_Cert certs;
        const TIpCertHandle handle = certs.ParseCert(der.data(), static_cast<int32_t>(der.size()));
        const Key key = ReadKey(certs, handle);
        EXPECT_EQ(key.Modulus, OpensslModulus(c.File));
        EXPECT_EQ(key.Modulus.size(), 2 * c.ModulusBytes);  // the sign byte is not part of it
        EXPECT_EQ(key.Exponent, "010001");
        const TIpCertRecord* record = certs.Record(handle);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->NotBefore.Tag, 23);
        EXPECT_EQ(record->NotAfter.Tag, 23);
    }
}

TEST_F(OpensslCertTest, ChainGivesOneRecordPerCertificate) {
    MakeV3("server", 1024);
    MakeV3("ca", 2048);
    const Bytes server = Read("server.der"), ca = Read("ca.der");
    TIpCert_Cert certs;
    const TIpCertHandle first = certs.ParseCert(server.data(), static_cast<int32_t>(server.size()));
    const TIpCertHandle second = certs.ParseCert(ca.data(), static_cast<int32_t>(ca.size()));
    EXPECT_EQ(certs.Count(), 2);
    EXPECT_NE(first, second);
    EXPECT_EQ(ReadKey(certs, first).Modulus, OpensslModulus("server.der"));
    EXPECT_EQ(ReadKey(certs, second).Modulus, OpensslModulus("ca.der"));
    // The subject's last attribute is the common name.
    const TIpCertRecord* record = certs.Record(first);
    EXPECT_EQ(std::string(record->Subject.Value.begin(), record->Subject.Value.end()), "server");
}

// ----- positional rules on hand-built certificates -----

TEST(CertTest, ExplicitVersionAndMissingVersion) {
    const Bytes modulus = FromHex("00c0ffee0123456789");
    const Bytes v3 = Certificate(Cat({Der(0xA0, Der(0x02, {2})), Der(0x02, FromHex("1234"))}),
                                 StandardKeyInfo(modulus, {3}));
    TIpCert_Cert certs;
    TIpCertHandle h = certs.ParseCert(v3.data(), static_cast<int32_t>(v3.size()));
    EXPECT_TRUE(certs.Record(h)->Version.Value.empty());  // the wrapper only moves on
    EXPECT_EQ(ToHex(certs.Record(h)->SerialNumber.Value), "1234");
    EXPECT_EQ(ReadKey(certs, h).Modulus, "c0ffee0123456789");

    // Without a version the first INTEGER of two bytes or more is the serial number.
    const Bytes v1 = Certificate(Der(0x02, FromHex("4321")), StandardKeyInfo(modulus, {3}));
    h = certs.ParseCert(v1.data(), static_cast<int32_t>(v1.size()));
    EXPECT_EQ(ToHex(certs.Record(h)->Version.Value), "00");
    EXPECT_EQ(ToHex(certs.Record(h)->SerialNumber.Value), "4321");
    EXPECT_EQ(ToHex(certs.Record(h)->SignatureAlgorithm.Value), "2a864886f70d010105");
    EXPECT_EQ(
        std::string(certs.Record(h)->Issuer.Value.begin(), certs.Record(h)->Issuer.Value.end()),
        "issuer");
    EXPECT_EQ(ReadKey(certs, h).Exponent, "03");
}

TEST(CertTest, OneByteSerialIsTakenForTheVersion) {
    // Without a version field a one-byte serial number looks like a version: it is stored as
    // one, and the algorithm OID after it then becomes the serial number. The key still reads.
    const Bytes cert = Certificate(Der(0x02, {5}), StandardKeyInfo(FromHex("00c0ffee"), {3}));
    TIpCert_Cert certs;
    const TIpCertHandle h = certs.ParseCert(cert.data(), static_cast<int32_t>(cert.size()));
    EXPECT_EQ(ToHex(certs.Record(h)->Version.Value), "00");
    EXPECT_EQ(ToHex(certs.Record(h)->SerialNumber.Value), "2a864886f70d010105");
    EXPECT_EQ(ReadKey(certs, h).Modulus, "c0ffee");
}

TEST(CertTest, FailedParseLeavesNoRecordBehind) {
    const Bytes good = Certificate(Der(0x02, FromHex("4321")), StandardKeyInfo({0, 9, 9}, {3}));
    TIpCert_Cert certs;
    EXPECT_THROW(certs.ParseCert(good.data(), 20), ECertError);
    EXPECT_EQ(certs.ParseCert(good.data(), static_cast<int32_t>(good.size())), 1);
    EXPECT_THROW(certs.ParseCert(good.data(), 20), ECertError);
    EXPECT_EQ(certs.ParseCert(good.data(), static_cast<int32_t>(good.size())), 2);
    EXPECT_EQ(certs.Count(), 2);
}

TEST(CertTest, ExtensionsAndUnknownAlgorithmsAreSkipped) {
    const Bytes sha256 = FromHex("06092a864886f70d01010b");  // not in the table
    const Bytes extensions = Der(0xA3, Seq({Seq({FromHex("0603551d13"), Der(0x04, {0x30, 0})})}));
    const Bytes cert = Certificate(
        Cat({Der(0xA0, Der(0x02, {2})), Der(0x02, FromHex("01020304"))}),
        Cat({StandardKeyInfo(FromHex("00ff00ff"), {1, 0, 1}), extensions}), Seq({sha256, kNull}));
    // Extensions sit in the key info's SEQUENCE here only to be walked after the key.
    TIpCert_Cert certs;
    const TIpCertHandle h = certs.ParseCert(cert.data(), static_cast<int32_t>(cert.size()));
    EXPECT_TRUE(certs.Record(h)->SignatureAlgorithm.Value.empty());
    EXPECT_EQ(ReadKey(certs, h).Modulus, "ff00ff");
}

TEST(CertTest, KeyAlgorithmWithoutNullParameter) {
    const Bytes keyInfo = Seq({Seq({kRsaOid}), RsaKey(FromHex("00abcdef"), {3})});
    const Bytes cert = Certificate(Der(0x02, FromHex("4321")), keyInfo);
    TIpCert_Cert certs;
    const TIpCertHandle h = certs.ParseCert(cert.data(), static_cast<int32_t>(cert.size()));
    EXPECT_EQ(ReadKey(certs, h).Modulus, "abcdef");
}

TEST(CertTest, ModulusLeadingByteIsDroppedOnlyWhenZero) {
    // An INTEGER whose first byte is not zero keeps it (a negative number in DER, but the bytes
    // stay intact rather than losing the top byte).
    const Bytes cert = Certificate(Der(0x02, FromHex("4321")), StandardKeyInfo({0x7f, 1, 2}, {3}));
    TIpCert_Cert certs;
    const TIpCertHandle h = certs.ParseCert(cert.data(), static_cast<int32_t>(cert.size()));
    EXPECT_EQ(ReadKey(certs, h).Modulus, "7f0102");
}

TEST(CertTest, OidTextAndTable) {
    const Bytes rsa = FromHex("2a864886f70d010101");
    EXPECT_EQ(TIpCert_Cert::ParseOID(rsa.data(), 9), "1.2.840.113549.1.1.1");
    EXPECT_EQ(TIpCert_Cert::OIDClass("1.2.840.113549.1.1.1"), 0);
    const Bytes cn = FromHex("550403");
    EXPECT_EQ(TIpCert_Cert::ParseOID(cn.data(), 3), "2.5.4.3");
    EXPECT_EQ(TIpCert_Cert::OIDClass("2.5.4.3"), 1);
    EXPECT_EQ(TIpCert_Cert::OIDClass("2.5.4.41"), -1);
    EXPECT_EQ(TIpCert_Cert::OIDClass("1.2.840.113549.1.1.11"), -1);
    const Bytes arc2 = FromHex("8837");  // 2.999: the first sub-identifier spans two bytes
    EXPECT_EQ(TIpCert_Cert::ParseOID(arc2.data(), 2), "2.999");
    const Bytes huge = FromHex("2affffffffffffffffff7f");
    EXPECT_EQ(TIpCert_Cert::ParseOID(huge.data(), 11), "");
    EXPECT_EQ(ErrorOf<ECertError>([] { TIpCert_Cert::ParseOID(nullptr, 0); }),
              "Cert Error in IpCert_ParseOID : Pointer not assigned");
}

TEST(CertTest, PublicKeyErrors) {
    TIpCert_Cert certs;
    int32_t m = 0, e = 0;
    uint8_t buf[4];
    EXPECT_EQ(ErrorOf<ECertError>([&] { certs.GetPublicKeySizes(1, m, e); }),
              "Cert Error in IpCert_GetPublicKey : Certificate is not assigned");
    EXPECT_EQ(ErrorOf<ECertError>([&] { certs.GetPublicKey(0, buf, 4, buf, 4); }),
              "Cert Error in IpCert_GetPublicKey : Certificate is not available");
    const Bytes cert = Certificate(Der(0x02, FromHex("4321")), StandardKeyInfo({0, 9, 9}, {3}));
    const TIpCertHandle h = certs.ParseCert(cert.data(), static_cast<int32_t>(cert.size()));
    EXPECT_EQ(ErrorOf<ECertError>([&] { certs.GetPublicKey(h, nullptr, 2, buf, 1); }),
              "Cert Error in IpCert_GetPublicKey : No buffer to place _mod.");
    EXPECT_EQ(ErrorOf<ECertError>([&] { certs.GetPublicKey(h, buf, 2, nullptr, 1); }),
              "Cert Error in IpCert_GetPublicKey : No buffer to place exp.");
    EXPECT_EQ(ErrorOf<ECertError>([&] { certs.GetPublicKey(h, buf, 3, buf, 1); }),
              "Cert Error in IpCert_GetPublicKey : Size missmatch _mod.");
    EXPECT_EQ(ErrorOf<ECertError>([&] { certs.GetPublicKey(h, buf, 2, buf, 2); }),
              "Cert Error in IpCert_GetPublicKey : Size missmatch exp.");

    // A key that is not SEQUENCE { INTEGER, INTEGER }.
    const Bytes notInt = Der(0x03, Cat({{0}, Seq({Der(0x04, {1}), Der(0x02, {3})})}));
    const Bytes bad = Certificate(Der(0x02, FromHex("4321")), Seq({Seq({kRsaOid, kNull}), notInt}));
    const TIpCertHandle hb = certs.ParseCert(bad.data(), static_cast<int32_t>(bad.size()));
    EXPECT_EQ(ErrorOf<ECertError>([&] { certs.GetPublicKeySizes(hb, m, e); }),
              "Cert Error in IpCert_GetPublicKey : Key value not an integer.");
    const Bytes cut = Der(0x03, FromHex("00300502030102"));  // the SEQUENCE claims more
    const Bytes bad2 = Certificate(Der(0x02, FromHex("4321")), Seq({Seq({kRsaOid, kNull}), cut}));
    const TIpCertHandle hc = certs.ParseCert(bad2.data(), static_cast<int32_t>(bad2.size()));
    EXPECT_EQ(ErrorOf<ECertError>([&] { certs.GetPublicKeySizes(hc, m, e); }),
              "Cert Error in IpCert_GetPublicKey : Parsing error.");
}

TEST(CertTest, MalformedDerFailsCleanly) {
    const Bytes good = Certificate(Der(0x02, FromHex("4321")), StandardKeyInfo({0, 9, 9}, {3}));
    // Every truncation fails with a certificate error and leaves no record.
    for (size_t n = 1; n < good.size(); ++n) {
        TIpCert_Cert certs;
        try {
            certs.ParseCert(good.data(), static_cast<int32_t>(n));
        } catch (const ECertError&) {
        }
        EXPECT_EQ(certs.Count(), 0) << n;
    }
    EXPECT_EQ(ParseError(FromHex("30850100000000")),
              "Cert Error in IpCert_Parse1Cert : run over end of buffer");  // 5 length bytes
    EXPECT_EQ(ParseError(FromHex("3084ffffffff00")),
              "Cert Error in IpCert_Parse1Cert : run over end of buffer");
    EXPECT_EQ(ParseError(FromHex("30")), "Cert Error in IpCert_MovePtr : Buffer OverFlow");
    EXPECT_EQ(ParseError(FromHex("0d00")), "Cert Error in IpCert_Parse1Cert : Unknown tag type");
    EXPECT_EQ(ParseError(FromHex("1f8181818100")),
              "Cert Error in IpCert_Parse1Cert : Unknown tag type");
    Bytes deep = Der(0x02, {1});
    for (int i = 0; i < 40; ++i) deep = Der(0x30, deep);
    EXPECT_EQ(ParseError(deep), "Cert Error in IpCert_Parse1Cert : Nesting too deep");
    // A validity that is no time.
    const Bytes badTime = Seq({Seq({Der(0x02, FromHex("4321")), Seq({kSha1RsaOid, kNull}),
                                    Name("i"), Seq({Der(0x17, {'1'}), Der(0x02, {1})})})});
    EXPECT_EQ(ParseError(badTime), "Cert Error in IpCert_SetNotAfter : Parse put of alignment");
    const Bytes emptyIssuer = Seq({Der(0x02, FromHex("4321")), Seq({kSha1RsaOid, kNull}),
                                   Seq({Der(0x31, Seq({kCommonName, Text("")}))})});
    EXPECT_EQ(ParseError(emptyIssuer), "Cert Error in IpCert_SetIssuer : No Data");
    // More values than a certificate has fields.
    Bytes many = good;
    for (int i = 0; i < 3; ++i) many = Cat({many, kNull});
    many = Cat({many, Der(0x02, {1})});
    EXPECT_EQ(ParseError(many), "Cert Error in IpCert_FillCertStruct : Cert Fill out of alignment");
}

TEST(CertTest, ErrorWithSystemCode) {
    const ECertError e(12, "IpCert_CreateBuff_N_Fill");
    EXPECT_EQ(e.Message(),
              "Cert Error (12): Cannot allocate memory, in procedure 'IpCert_CreateBuff_N_Fill'");
}

}  // namespace

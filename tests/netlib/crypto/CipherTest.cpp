// DES, triple DES and the CBC step against published vectors.
#include <gtest/gtest.h>

#include <cstring>

#include "netlib/crypto/IpCrypto.h"
#include "tests/netlib/crypto/TestHex.h"

namespace {

const std::string kNowIsTheTime = "Now is the time for all ";

// Runs CBC over whole blocks the way the SSL client does: the chaining value becomes the
// ciphertext block after each step.
std::vector<uint8_t> DesCbc(const std::vector<uint8_t>& key, std::vector<uint8_t> iv,
                            std::vector<uint8_t> data, bool encrypt) {
    TIpDESKey schedule;
    InitDESKey(schedule, key.data(), encrypt);
    for (size_t i = 0; i < data.size(); i += 8) {
        uint8_t cipher[8];
        std::memcpy(cipher, &data[i], 8);
        CBCStep(schedule, iv.data(), &data[i]);
        std::memcpy(iv.data(), encrypt ? &data[i] : cipher, 8);
    }
    return data;
}

std::vector<uint8_t> Des3Cbc(const std::vector<uint8_t>& key, std::vector<uint8_t> iv,
                             std::vector<uint8_t> data, bool encrypt, bool chain = true) {
    TIpDES3Key schedule;
    InitDES3Key(schedule, key.data(), encrypt);
    for (size_t i = 0; i < data.size(); i += 8) {
        uint8_t cipher[8];
        std::memcpy(cipher, &data[i], 8);
        DES3CBCStep(schedule, iv.data(), &data[i]);
        if (chain) std::memcpy(iv.data(), encrypt ? &data[i] : cipher, 8);
    }
    return data;
}

std::vector<uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

struct DesVector {
    const char* Key;
    const char* Plain;
    const char* Cipher;
};

TEST(DesTest, SingleBlocksMatchPublishedVectors) {
    const DesVector vectors[] = {
        {"133457799bbcdff1", "0123456789abcdef", "85e813540f0ab405"},
        {"0123456789abcdef", "4e6f772069732074", "3fa40e8a984d4815"},  // "Now is t"
        // Parity bits are ignored: this key differs from the one above only in them.
        {"0022446688aaccee", "4e6f772069732074", "3fa40e8a984d4815"},
        {"0000000000000000", "0000000000000000", "8ca64de9c1b123a7"},
        {"ffffffffffffffff", "ffffffffffffffff", "7359b2163e4edc58"},
    };
    for (const DesVector& v : vectors) {
        SCOPED_TRACE(v.Key);
        TIpDESKey enc, dec;
        InitDESKey(enc, FromHex(v.Key).data(), true);
        InitDESKey(dec, FromHex(v.Key).data(), false);
        EXPECT_EQ(enc.Encrypt, 1);
        EXPECT_EQ(dec.Encrypt, 0);
        std::vector<uint8_t> block = FromHex(v.Plain);
        DESCipherBlock(enc, block.data());
        EXPECT_EQ(ToHex(block), v.Cipher);
        DESCipherBlock(dec, block.data());
        EXPECT_EQ(ToHex(block), v.Plain);
    }
}

TEST(DesTest, NowIsTheTimeInEcbAndCbc) {
    const auto key = FromHex("0123456789abcdef");
    // ECB is CBC with a zero chaining value for every block.
    std::vector<uint8_t> ecb = Bytes(kNowIsTheTime);
    TIpDESKey enc;
    InitDESKey(enc, key.data(), true);
    for (size_t i = 0; i < ecb.size(); i += 8) DESCipherBlock(enc, &ecb[i]);
    EXPECT_EQ(ToHex(ecb), "3fa40e8a984d48156a271787ab8883f9893d51ec4b563b53");

    const auto iv = FromHex("1234567890abcdef");
    const auto cbc = DesCbc(key, iv, Bytes(kNowIsTheTime), true);
    EXPECT_EQ(ToHex(cbc), "e5c7cdde872bf27c43e934008c389c0f683788499a7c05f6");
    EXPECT_EQ(DesCbc(key, iv, cbc, false), Bytes(kNowIsTheTime));
}

TEST(DesTest, CbcStepLeavesTheChainingValueAlone) {
    const auto key = FromHex("0123456789abcdef");
    TIpDESKey enc;
    InitDESKey(enc, key.data(), true);
    uint8_t chain[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    uint8_t block[8] = {};
    CBCStep(enc, chain, block);
    const uint8_t expected[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(0, std::memcmp(chain, expected, 8));
}

TEST(TripleDesTest, Sp80067ExampleAndCbc) {
    const auto key = FromHex("0123456789abcdef23456789abcdef01456789abcdef0123");
    const auto zero = FromHex("0000000000000000");
    const auto plain = Bytes("The qufck brown fox jump");
    // The example is in ECB mode: a zero chaining value for every block.
    const auto ecb = Des3Cbc(key, zero, plain, true, false);
    EXPECT_EQ(ToHex(ecb), "a826fd8ce53b855fcce21c8112256fe668d5c05dd9b6b900");
    EXPECT_EQ(Des3Cbc(key, zero, ecb, false, false), plain);

    // CBC over the same data, checked against openssl des-ede3-cbc.
    const auto iv = FromHex("1234567890abcdef");
    const auto cbc = Des3Cbc(key, iv, plain, true);
    EXPECT_EQ(ToHex(cbc), "38413d4ba2325cf1141f707471ac2ced57db530f0123b5ac");
    EXPECT_EQ(Des3Cbc(key, iv, cbc, false), plain);
}

TEST(TripleDesTest, EqualKeysGiveSingleDes) {
    const auto single = FromHex("0123456789abcdef");
    std::vector<uint8_t> triple;
    for (int i = 0; i < 3; ++i) triple.insert(triple.end(), single.begin(), single.end());
    const auto iv = FromHex("1234567890abcdef");
    EXPECT_EQ(Des3Cbc(triple, iv, Bytes(kNowIsTheTime), true),
              DesCbc(single, iv, Bytes(kNowIsTheTime), true));
    const auto cipher = DesCbc(single, iv, Bytes(kNowIsTheTime), true);
    EXPECT_EQ(Des3Cbc(triple, iv, cipher, false), Bytes(kNowIsTheTime));
}

TEST(XorMemTest, XorsWholeWordsAndTheTail) {
    for (size_t count : {0u, 1u, 3u, 4u, 7u, 8u, 13u}) {
        uint8_t dest[16], src[16], expected[16];
        for (int i = 0; i < 16; ++i) {
            dest[i] = static_cast<uint8_t>(i * 17);
            src[i] = static_cast<uint8_t>(0xA5 + i);
            expected[i] =
                static_cast<uint8_t>(i < static_cast<int>(count) ? dest[i] ^ src[i] : dest[i]);
        }
        XorMem(dest + 0, src + 0, count);
        EXPECT_EQ(0, std::memcmp(dest, expected, 16)) << count;
    }
}

}  // namespace

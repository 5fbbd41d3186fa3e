// The shift register and the MD5 pool generator.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "netlib/crypto/IpCrypto.h"
#include "tests/netlib/crypto/TestHex.h"

namespace {

TEST(RanLFSTest, StepsByTheFeedbackTaps) {
    TIpRanLFS lfs(1);
    // 1: feedback is bit 0 = 1, so bit 31 is set and the output (new bit 0) is 0.
    EXPECT_FALSE(lfs.NextBit());
    EXPECT_EQ(lfs.State(), 0x80000000u);
    EXPECT_FALSE(lfs.NextBit());  // bit 31 feeds back
    EXPECT_EQ(lfs.State(), 0xC0000000u);
    TIpRanLFS taps(0x56);  // bits 1, 2, 4 and 6: four taps cancel out
    taps.NextBit();
    EXPECT_EQ(taps.State(), 0x2Bu);
}

TEST(RanLFSTest, FirstBitOfAByteIsTheMostSignificant) {
    TIpRanLFS bits(0x12345678), byte(0x12345678);
    uint8_t expected = 0;
    for (int i = 0; i < 8; ++i) expected = static_cast<uint8_t>((expected << 1) | bits.NextBit());
    EXPECT_EQ(byte.NextByte(), expected);
}

TEST(RanLFSTest, SeededRegistersAreNonZeroAndDiffer) {
    std::set<uint32_t> states;
    for (int i = 0; i < 16; ++i) {
        TIpRanLFS lfs;
        EXPECT_NE(lfs.State(), 0u);
        states.insert(lfs.State());
    }
    EXPECT_EQ(states.size(), 16u);
}

TEST(RandomGeneratorTest, EachSixteenBytesAreMd5OfPoolAndCounter) {
    uint8_t pool[16];
    for (int i = 0; i < 16; ++i) pool[i] = static_cast<uint8_t>(i * 7 + 1);
    TIpRandomGenerator generator(pool, 0x01020304);
    uint8_t out[28];
    generator.GetRandomBytes(out, sizeof out);
    EXPECT_EQ(generator.Counter(), 0x01020306u);  // two digests for 28 bytes

    uint8_t input[20], digest[16];
    std::memcpy(input, pool, 16);
    const uint8_t first[4] = {0x04, 0x03, 0x02, 0x01};  // counter, little-endian
    std::memcpy(input + 16, first, 4);
    HashMD5(digest, input, 20);
    EXPECT_EQ(ToHex(out, 16), ToHex(digest, 16));
    input[16] = 0x05;
    HashMD5(digest, input, 20);
    EXPECT_EQ(ToHex(out + 16, 12), ToHex(digest, 12));
}

TEST(RandomGeneratorTest, GeneratorsCreatedTogetherDiffer) {
    std::set<std::string> outputs;
    for (int i = 0; i < 8; ++i) {
        TIpRandomGenerator generator;
        uint8_t out[32];
        generator.GetRandomBytes(out, sizeof out);
        outputs.insert(ToHex(out, sizeof out));
    }
    EXPECT_EQ(outputs.size(), 8u);
}

TEST(RandomGeneratorTest, OddCountsAndZeroBytes) {
    TIpRandomGenerator generator;
    uint8_t guard[40];
    std::memset(guard, 0xEE, sizeof guard);
    generator.GetRandomBytes(guard, 0);
    EXPECT_EQ(generator.Counter(), 0u);
    generator.GetRandomBytes(guard + 1, 17);  // two digests, nothing written past the count
    EXPECT_EQ(guard[0], 0xEE);
    EXPECT_EQ(guard[18], 0xEE);
    EXPECT_EQ(generator.Counter(), 2u);
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "netlib/base/IpUtils.h"
#include "platform/classes/Classes.h"

namespace {

TEST(IpChecksum, BufferKnownValues) {
    const uint8_t twoBytes[] = {0x01, 0x02};
    const uint8_t oneByte[] = {0x01};
    EXPECT_EQ(ChecksumBuffer(twoBytes, 2, 0), 0xFDFEu);
    EXPECT_EQ(ChecksumBuffer(oneByte, 1, 0), 0xFFFEu);
    EXPECT_EQ(ChecksumBuffer(twoBytes, 0, 0x1234), 0x1234u);  // no fold, no complement
    // 0xFFFFFFFE + 1 folds to 0xFFFF + 0xFFFF = 0x1FFFE; that carry is not added back, so the
    // result is 0x0001 (an end-around carry would give 0x0000).
    EXPECT_EQ(ChecksumBuffer(oneByte, 1, 0xFFFFFFFE), 0x0001u);
    // 0xFFFFFFFF + 0x0001 wraps to 0, which complements to 0xFFFF.
    EXPECT_EQ(ChecksumBuffer(oneByte, 1, 0xFFFFFFFF), 0xFFFFu);
}

TEST(IpChecksum, StreamChainsOver2048ByteBlocks) {
    TStringStream empty;
    EXPECT_EQ(ChecksumStream(empty, 0), 0u);
    EXPECT_EQ(ChecksumStream(empty, 77), 77u);

    // 2048 bytes of 0x01: 1024 words of 0x0101 sum to 0x40400; fold 0x0404; complement 0xFBFB.
    std::string data(2048, '\x01');
    TStringStream block(data);
    EXPECT_EQ(ChecksumStream(block, 0), 0xFBFBu);  // ends with an empty read that changes nothing

    // One more byte 0x05 chains on 0xFBFB: 0xFC00, complemented 0x03FF. A single sum over all
    // 2049 bytes would give 0xFBF6 instead.
    data += '\x05';
    TStringStream chained(data);
    EXPECT_EQ(ChecksumStream(chained, 0), 0x03FFu);
    EXPECT_EQ(ChecksumBuffer(data.data(), data.size(), 0), 0xFBF6u);

    // It reads from the current position.
    TStringStream positioned(data);
    positioned.SetPosition(2048);
    EXPECT_EQ(ChecksumStream(positioned, 0), 0xFFFAu);
}

TEST(IpMD5, Rfc1321Suite) {
    const struct {
        const char* input;
        const char* digest;
    } vectors[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890"
         "123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
        // APOP example of RFC 1939
        {"<1896.697170952@dbc.mtview.ca.us>tanstaaf", "c4c9334bac560ecc979e58001b3e22fb"},
    };
    for (const auto& v : vectors) EXPECT_EQ(MD5DigestString(v.input), v.digest) << v.input;
}

// Known answers where the padding changes shape: a message of 56 bytes or more modulo 64 leaves
// no room for the length and takes a second padding block. (Digests from another MD5.)
TEST(IpMD5, KnownAnswersAtThePaddingEdges) {
    const std::pair<size_t, const char*> Vectors[] = {
        {55, "ef1772b6dff9a122358552954ad0df65"},  {56, "3b0c8ac703f828b04c6c197006d17218"},
        {57, "652b906d60af96844ebd21b674f35e93"},  {63, "b06521f39153d618550606be297466d5"},
        {64, "014842d480b571495a4a0363793f7367"},  {65, "c743a45e0d2e6a95cb859adae0248435"},
        {119, "8a7bd0732ed6a28ce75f6dabc90e1613"}, {120, "5f61c0ccad4cac44c75ff505e1f1e537"},
    };
    for (const auto& [Length, Digest] : Vectors)
        EXPECT_EQ(MD5DigestString(std::string(Length, 'a')), Digest) << Length;
}

std::string Hex(const TIpMD5Digest& digest) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (uint8_t b : digest) hex += {kDigits[b >> 4], kDigits[b & 15]};
    return hex;
}

TEST(IpMD5, StreamAndPiecewiseUpdatesAgreeAcrossBlockAndPaddingEdges) {
    // Lengths around the 56-byte padding edge, the 64-byte block and the 2048-byte read block.
    for (size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 2047u, 2048u, 2049u, 5000u}) {
        std::string data(length, '\0');
        for (size_t i = 0; i < length; ++i) data[i] = char(i * 7 + 3);
        TStringStream stream(data);
        TIpMD5Digest fromStream;
        MD5DigestStream(stream, fromStream);

        TIpMD5Context context;
        TIpMD5Digest piecewise;
        MD5Init(context);
        for (size_t at = 0; at < length; at += 13)
            MD5Update(context, data.data() + at, std::min<size_t>(13, length - at));
        MD5Final(context, piecewise);
        EXPECT_EQ(Hex(fromStream), MD5DigestString(data)) << length;
        EXPECT_EQ(Hex(piecewise), MD5DigestString(data)) << length;
        const TIpMD5Context zero{};
        EXPECT_EQ(std::memcmp(&context, &zero, sizeof context), 0) << "context not wiped";
    }
    // One million "a" (RFC 1321's longer test).
    TStringStream million(std::string(1000000, 'a'));
    TIpMD5Digest digest;
    MD5DigestStream(million, digest);
    EXPECT_EQ(Hex(digest), "7707d6ae4e027c70eea2a935c2296f21");
}

}  // namespace

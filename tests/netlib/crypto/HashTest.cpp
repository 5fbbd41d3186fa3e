// MD5 and SHA-1 through the cipher unit: FIPS 180 vectors and MD5 padding edges, whole and in
// pieces.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "netlib/base/IpUtils.h"
#include "netlib/crypto/IpCrypto.h"
#include "tests/netlib/crypto/TestHex.h"

namespace {

std::string Md5Pieces(const std::string& text, size_t piece) {
    TIpMD5Context context;
    InitMD5(context);
    for (size_t i = 0; i < text.size(); i += piece)
        UpdateMD5(context, text.data() + i, std::min(piece, text.size() - i));
    uint8_t digest[16];
    FinalizeMD5(context, digest);
    return ToHex(digest, 16);
}

std::string Sha1Pieces(const std::string& text, size_t piece) {
    TIpSHA1Context context;
    InitSHA1(context);
    for (size_t i = 0; i < text.size(); i += piece)
        UpdateSHA1(context, text.data() + i, std::min(piece, text.size() - i));
    uint8_t digest[20];
    FinalizeSHA1(context, digest);
    return ToHex(digest, 20);
}

struct Vector {
    std::string Text;
    const char* Digest;
};

// Piece sizes around the 64-byte block and the 56-byte padding boundary.
const size_t kPieces[] = {1, 3, 55, 56, 63, 64, 65, 1000};

// The RFC 1321 suite runs against the one MD5 of the library base (tests/netlib/base); here the
// unit's own names and the padding boundaries.
TEST(Md5Test, PaddingBoundaries) {
    // Lengths 55, 56 and 64 put the length field in the same or in an extra block.
    EXPECT_EQ(Md5Pieces(std::string(55, 'a'), 55), "ef1772b6dff9a122358552954ad0df65");
    EXPECT_EQ(Md5Pieces(std::string(56, 'a'), 7), "3b0c8ac703f828b04c6c197006d17218");
    EXPECT_EQ(Md5Pieces(std::string(64, 'a'), 64), "014842d480b571495a4a0363793f7367");
}

// The unit's names and the library base's work on one context: a hash begun through one may be
// continued and finished through the other, and both headers go into one file.
TEST(Md5Test, UnitNamesAndLibraryBaseShareOneContext) {
    const std::string text(1000, 'a');
    TIpMD5Context context;
    InitMD5(context);
    MD5Update(context, text.data(), 300);
    UpdateMD5(context, text.data() + 300, 700);
    uint8_t digest[16];
    FinalizeMD5(context, digest);
    EXPECT_EQ(ToHex(digest, 16), "cabe45dcc9ae5b66ba86600cca6b8ba8");
    const TIpMD5Context zero{};
    EXPECT_EQ(std::memcmp(&context, &zero, sizeof context), 0) << "context not wiped";
    EXPECT_EQ(MD5DigestString(text), "cabe45dcc9ae5b66ba86600cca6b8ba8");
    HashMD5(digest, text.data(), text.size());
    EXPECT_EQ(ToHex(digest, 16), "cabe45dcc9ae5b66ba86600cca6b8ba8");
}

TEST(Sha1Test, Fips180VectorsWholeAndInPieces) {
    const Vector vectors[] = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
    };
    for (const Vector& v : vectors) {
        SCOPED_TRACE(v.Text);
        uint8_t digest[20];
        HashSHA1(digest, v.Text.data(), v.Text.size());
        EXPECT_EQ(ToHex(digest, 20), v.Digest);
        for (size_t piece : kPieces) EXPECT_EQ(Sha1Pieces(v.Text, piece), v.Digest) << piece;
    }
}

TEST(Sha1Test, OneMillionA) {
    const std::string million(1000000, 'a');
    const char* expected = "34aa973cd4c4daa4f61eeb2bdbad27316534016f";
    uint8_t digest[20];
    HashSHA1(digest, million.data(), million.size());
    EXPECT_EQ(ToHex(digest, 20), expected);
    EXPECT_EQ(Sha1Pieces(million, 1), expected);
    EXPECT_EQ(Sha1Pieces(million, 4097), expected);
}

TEST(Sha1Test, ContextIsClearedAroundUse) {
    TIpSHA1Context context;
    std::memset(&context, 0x5A, sizeof context);
    InitSHA1(context);  // leftovers of an earlier use do not leak into the digest
    UpdateSHA1(context, "abc", 3);
    uint8_t digest[20];
    FinalizeSHA1(context, digest);
    EXPECT_EQ(ToHex(digest, 20), "a9993e364706816aba3e25717850c26c9cd0d89d");
    const TIpSHA1Context zero{};
    EXPECT_EQ(0, std::memcmp(&context, &zero, sizeof context));  // no key material left behind
}

}  // namespace

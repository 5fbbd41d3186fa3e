#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "netlib/base/IpBase.h"
#include "netlib/mime/Codecs.h"
#include "tests/support/TestSupport.h"

namespace {

// A body stream over its own memory, as the message model holds one.
struct Body {
    TMemoryStream* Memory = new TMemoryStream;
    TIpAnsiTextStream Text{Memory};
    ~Body() { Text.FreeStream(); }
    std::string Bytes() {
        Text.Seek(0, soBeginning);
        std::string s(size_t(Text.Size()), '\0');
        Text.Read(s.data(), int64_t(s.size()));
        return s;
    }
};

using Encoder = std::function<void(TStream&, TIpAnsiTextStream&)>;
using Decoder = std::function<void(TIpAnsiTextStream&, TStream&)>;

std::string Encode(const Encoder& enc, const std::string& data) {
    TStringStream src(data);
    Body b;
    enc(src, b.Text);
    return b.Bytes();
}

std::string Decode(const Decoder& dec, const std::string& body) {
    Body b;
    b.Text.WriteString(body);
    TStringStream out;
    dec(b.Text, out);
    return out.DataString();
}

const Encoder B64 = [](TStream& s, TIpAnsiTextStream& b) { EncodeBase64(s, b); };
const Decoder UnB64 = [](TIpAnsiTextStream& b, TStream& d) { DecodeBase64(b, d); };
const Encoder QP = [](TStream& s, TIpAnsiTextStream& b) { EncodeQuoted(s, b); };
const Decoder UnQP = [](TIpAnsiTextStream& b, TStream& d) { DecodeQuoted(b, d); };
const Encoder UU = [](TStream& s, TIpAnsiTextStream& b) { EncodeUU(s, b, "cat.txt"); };
const Decoder UnUU = [](TIpAnsiTextStream& b, TStream& d) { DecodeUU(b, d); };
const Encoder BinHex = [](TStream& s, TIpAnsiTextStream& b) { EncodeBinHex(s, b, "dir/file.bin"); };
const Decoder UnBinHex = [](TIpAnsiTextStream& b, TStream& d) { DecodeBinHex(b, d); };

std::string AllBytes(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = char((i * 7 + i / 256) & 0xFF);
    return s;
}

}  // namespace

TEST(Base64, Rfc4648Vectors) {
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {"Username:", "VXNlcm5hbWU6"},
        {"Password:", "UGFzc3dvcmQ6"},
    };
    for (const auto& [plain, coded] : vectors) {
        EXPECT_EQ(Base64EncodeString(plain), coded);
        EXPECT_EQ(Decode(UnB64, std::string(coded) + "\r\n"), plain);
    }
}

TEST(Base64, LinesOf76Characters) {
    EXPECT_EQ(Encode(B64, std::string(57, 'a')).size(), 78u);
    std::string two = Encode(B64, std::string(58, 'a'));
    EXPECT_EQ(two.size(), 78u + 6u);
    EXPECT_EQ(two.substr(78), "YQ==\r\n");
    std::string data = AllBytes(100000);
    EXPECT_EQ(Decode(UnB64, Encode(B64, data)), data);
}

TEST(Base64, DecoderLimitsAndStops) {
    EXPECT_EQ(ErrorOf<EIpBaseException>([] { Decode(UnB64, std::string(86, 'A') + "\r\n"); }),
              "Invalid line length for encoded text");
    EXPECT_EQ(Decode(UnB64, "Zm9v\r\n--boundary\r\nYmFy\r\n"), "foo");
    EXPECT_EQ(Decode(UnB64, "Zm9v\r\nend\r\nYmFy\r\n"), "foo");
    EXPECT_EQ(Decode(UnB64, "Zg==\r\nYmFy\r\n"), "f");
    EXPECT_EQ(Decode(UnB64, "Zm*9v\r\n"), "foo");  // characters outside the alphabet are ignored
}

TEST(QuotedPrintable, Rfc2045Decoding) {
    EXPECT_EQ(Decode(UnQP, "a=3Db\r\n"), "a=b\r\n");
    EXPECT_EQ(Decode(UnQP, "abc=\r\ndef\r\n"), "abcdef\r\n");
    EXPECT_EQ(Decode(UnQP, "abc  \r\n"), "abc\r\n");
    EXPECT_EQ(Decode(UnQP, "\r\n\r\nx=c8=C8\r\n"), "x\xC8\xC8\r\n");
    // RFC 2045 6.7 rule 3 and 5: trailing white space is dropped, a soft break joins lines
    EXPECT_EQ(Decode(UnQP, "Now's the time =\r\nfor all folk to come=\r\n to the aid\r\n"),
              "Now's the time for all folk to come to the aid\r\n");
}

TEST(QuotedPrintable, MalformedInputIsKeptAndBounded) {
    EXPECT_EQ(Decode(UnQP, "50=% off =XY\r\n"), "50=% off =XY\r\n");
    EXPECT_EQ(Decode(UnQP, "8bit \xE4 kept\r\n"), "8bit \xE4 kept\r\n");
    // Long lines within the accepted limit decode in full; longer ones are refused.
    std::string escapes;
    for (int i = 0; i < 333; ++i) escapes += "=41";
    EXPECT_EQ(Decode(UnQP, escapes + "\r\n"), std::string(333, 'A') + "\r\n");
    EXPECT_EQ(ErrorOf<EIpBaseException>([] { Decode(UnQP, std::string(1000, 'x') + "\r\n"); }),
              "Invalid line length for encoded text");
}

TEST(QuotedPrintable, Encoding) {
    EXPECT_EQ(Encode(QP, "=\r\n"), "=3D\r\n");
    EXPECT_EQ(Encode(QP, "\xC8\r\n"), "=C8\r\n");
    EXPECT_EQ(Encode(QP, "trailing \r\n"), "trailing=20\r\n");
    EXPECT_EQ(Encode(QP, "tab\t\r\n"), "tab=09\r\n");
    EXPECT_EQ(Encode(QP, "lf\nonly\n"), "lf\r\nonly\r\n");
    std::string letters(100, 'x');
    std::string two = Encode(QP, letters + "\r\n");
    size_t first = two.find("\r\n");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(two[first - 1], '=');
    EXPECT_LE(first, 76u);
    EXPECT_EQ(Decode(UnQP, two), letters + "\r\n");
}

TEST(QuotedPrintable, RoundTripsAnyBytesWithinTheLineWidth) {
    std::string data = AllBytes(5000) + "words and  blanks \t\r\nend without break";
    std::string coded = Encode(QP, data);
    size_t start = 0;
    while (start < coded.size()) {
        size_t end = coded.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - start, 76u);
        start = end + 2;
    }
    // Bare CR and LF in the source come back as CR LF line breaks.
    std::string expected;
    for (size_t i = 0; i < data.size(); ++i) {
        char c = data[i];
        if (c == '\r' && i + 1 < data.size() && data[i + 1] == '\n') continue;
        expected += (c == '\r' || c == '\n') ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_EQ(Decode(UnQP, coded), expected);
}

TEST(UUEncode, KnownAnswerAndFraming) {
    EXPECT_EQ(Encode(UU, "Cat"), "begin 600 cat.txt\r\n#0V%T\r\n`\r\nend\r\n");
    std::string one = Encode(UU, std::string(45, 'x'));
    EXPECT_EQ(one.substr(0, one.find("\r\n")), "begin 600 cat.txt");
    EXPECT_EQ(one[19], 'M');
    EXPECT_EQ(one.substr(one.size() - 10), "\r\n`\r\nend\r\n");
    EXPECT_EQ(std::count(one.begin(), one.end(), '\n'), 4);
    std::string data = AllBytes(1000);
    EXPECT_EQ(Decode(UnUU, Encode(UU, data)), data);
}

TEST(UUEncode, BadLineLengthsAreRefused) {
    EXPECT_EQ(ErrorOf<EIpBaseException>([] { Decode(UnUU, "begin 600 x\r\nM0V%T\r\n`\r\n"); }),
              "Count <> Len or Count > 63");
    EXPECT_EQ(ErrorOf<EIpBaseException>(
                  [] { Decode(UnUU, "begin 600 x\r\nP" + std::string(90, 'A') + "\r\n"); }),
              "Count <> Len or Count > 63");
}

TEST(BinHex, CrcKnownAnswer) {
    EXPECT_EQ(BinHexCRC("123456789", 9), 0x31C3);
    TStringStream s("xx123456789yy");
    EXPECT_EQ(StreamCRC16(s, 2, 11), 0x31C3);
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { StreamCRC16(s, 0, 14); }), "Invalid stream offset");
    EXPECT_EQ(SwapBytes32(0x11223344u), 0x44332211u);
}

TEST(BinHex, RoundTripWithRunsAndMarkers) {
    std::string data =
        AllBytes(3000) + std::string(700, '\x90') + std::string(300, 'r') + "\x90\x90x";
    std::string coded = Encode(BinHex, data);
    EXPECT_EQ(coded.substr(0, coded.find("\r\n")), "(This file must be converted with BinHex 4.0)");
    EXPECT_EQ(coded[coded.find("\r\n") + 2], ':');
    EXPECT_EQ(Decode(UnBinHex, coded), data);
    EXPECT_EQ(Decode(UnBinHex, Encode(BinHex, "")), "");
}

TEST(BinHex, DamagedTextIsRefused) {
    std::string good = Encode(BinHex, "hello world");
    EXPECT_EQ(ErrorOf<EIpBaseException>([] { Decode(UnBinHex, "no banner\r\n:abc:\r\n"); }),
              "Invalid BinHex format");
    const std::string banner = "(This file must be converted with BinHex 4.0)\r\n";
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { Decode(UnBinHex, banner + "abc:\r\n"); }),
              "\":\" expected");
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { Decode(UnBinHex, banner + ":ab7c:\r\n"); }),
              "Invalid BinHex character");
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { Decode(UnBinHex, banner + ":abcde:\r\n"); }),
              "One odd character");
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { Decode(UnBinHex, banner + ":abcd\r\n"); }),
              "\":\" expected");
    // Changing one character of the data breaks a CRC; a truncated text breaks the lengths.
    std::string bad = good;
    size_t colon = bad.find(':');
    bad[colon + 30] = bad[colon + 30] == 'a' ? 'b' : 'a';
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { Decode(UnBinHex, bad); }), "Bad header CRC");
    std::string cut = good.substr(0, colon + 40) + ":\r\n";
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { Decode(UnBinHex, cut); }), "Invalid data length");
}

TEST(Codecs, ProgressCanStopAnEncoder) {
    TStringStream src(std::string(45 * 10, 'p'));
    Body b;
    int calls = 0;
    EncodeBase64(src, b.Text, [&](int64_t done, int64_t total) {
        EXPECT_EQ(total, 450);
        EXPECT_LE(done, total);
        return ++calls == 3;
    });
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(Decode(UnB64, b.Bytes()), std::string(45 * 3, 'p'));
}

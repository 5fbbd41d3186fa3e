#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "netlib/base/IpBase.h"
#include "netlib/stream/Limits.h"
#include "netlib/stream/Streams.h"
#include "tests/support/TestSupport.h"

namespace {

std::string Data(TMemoryStream& m) {
    return std::string(m.Memory(), size_t(m.Size()));
}

// An underlying stream that refuses to move, to reach the paging errors.
class StuckStream : public TMemoryStream {
  public:
    int64_t Seek(int64_t offset, TSeekOrigin origin) override {
        if (origin == soBeginning && offset > 0) return 0;
        return TMemoryStream::Seek(offset, origin);
    }
};

}  // namespace

TEST(BufferedStream, NeedsAStreamAndRejectsUnknownOrigins) {
    EXPECT_EQ(ErrorOf<EIpBaseException>([] { TIpBufferedStream s(nullptr); }),
              "Stream not assigned");
    TMemoryStream m;
    TIpBufferedStream s(&m);
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { s.Seek(1, TSeekOrigin(7)); }), "Invalid seek origin");
    TIpBufferedStream none;
    char c;
    EXPECT_EQ(none.Write("x", 1), 0);
    EXPECT_EQ(none.Read(&c, 1), 0);
    EXPECT_FALSE(none.ReadChar(c));
}

TEST(BufferedStream, PagesReachTheUnderlyingStreamOnlyWhenLeft) {
    auto* m = new TMemoryStream;
    std::string data(40000, 'x');
    for (size_t i = 0; i < data.size(); ++i) data[i] = char('a' + i % 26);
    {
        TIpBufferedStream s(m);
        EXPECT_EQ(s.Write(data.data(), int64_t(data.size())), 40000);
        EXPECT_EQ(m->Size(), 32768);
        EXPECT_EQ(s.Size(), 40000);
        s.SetStream(nullptr);  // leaving the stream writes the held page back
        EXPECT_EQ(Data(*m), data);
    }
    TIpBufferedStream s2(m);
    std::string back(40000, '\0');
    EXPECT_EQ(s2.Read(back.data(), 50000), 40000);
    EXPECT_EQ(back, data);
    s2.FreeStream();
    EXPECT_EQ(s2.Stream(), nullptr);
}

TEST(BufferedStream, DestructionFlushesAPartialPage) {
    TMemoryStream m;
    {
        TIpBufferedStream s(&m);
        s.Write("partial", 7);
        EXPECT_EQ(m.Size(), 0);
    }
    EXPECT_EQ(Data(m), "partial");
}

TEST(BufferedStream, SeekClampsToTheData) {
    TMemoryStream m;
    m.WriteString("0123456789");
    TIpBufferedStream s(&m);
    EXPECT_EQ(s.Seek(10, soEnd), 10);
    EXPECT_EQ(s.Seek(-5, soBeginning), 0);
    EXPECT_EQ(s.Seek(4, soCurrent), 4);
    char c;
    ASSERT_TRUE(s.ReadChar(c));
    EXPECT_EQ(c, '4');
}

TEST(BufferedStream, WritingAfterASeekKeepsTheEarlierBytesOfThePage) {
    TMemoryStream m;
    {
        TIpBufferedStream s(&m);
        std::string big(33000, 'a');
        s.Write(big.data(), int64_t(big.size()));
        s.Seek(10, soBeginning);  // another page: the last one is written back
        s.Seek(0, soEnd);         // back into the partly filled last page, not loaded
        s.Write("END", 3);
    }
    ASSERT_EQ(m.Size(), 33003);
    EXPECT_EQ(std::string(m.Memory() + 32768, 235), std::string(232, 'a') + "END");
}

TEST(BufferedStream, PagingErrorsAreReported) {
    StuckStream stuck;
    std::string big(40000, 'b');
    stuck.WriteString(big);
    TIpBufferedStream s(&stuck);
    s.Seek(35000, soBeginning);
    char c;
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { s.ReadChar(c); }), "No seek for read");
}

TEST(TextStream, ReadsLinesUnderEachTerminator) {
    TMemoryStream m;
    m.WriteString("a\r\nb\nc");
    TIpAnsiTextStream s(&m);
    EXPECT_EQ(s.ReadLine(), "a");
    EXPECT_EQ(s.ReadLine(), "b");
    EXPECT_EQ(s.ReadLine(), "c");
    EXPECT_TRUE(s.AtEndOfStream());

    TMemoryStream m2;
    m2.WriteString("x\ry\r\nz");
    TIpAnsiTextStream crlf(&m2);
    EXPECT_EQ(crlf.ReadLine(), "x\ry");  // a lone CR stays in the line
    crlf.SetLineTerminator(ltCR);
    crlf.Seek(0, soBeginning);
    EXPECT_EQ(crlf.ReadLine(), "x");
    EXPECT_EQ(crlf.ReadLine(), "y");
    EXPECT_EQ(crlf.ReadLine(), "\nz");
    crlf.SetLineTerminator(ltOther);
    crlf.SetLineTermChar('y');
    crlf.Seek(0, soBeginning);
    EXPECT_EQ(crlf.ReadLine(), "x\r");
}

TEST(TextStream, FixedLengthLinesArePaddedAndCut) {
    TMemoryStream m;
    m.WriteString(std::string(100, 'q'));
    TIpAnsiTextStream s(&m);
    s.SetLineTerminator(ltNone);
    EXPECT_EQ(s.ReadLine(), std::string(80, 'q'));
    EXPECT_EQ(s.ReadLine(), std::string(20, 'q') + std::string(60, ' '));

    TMemoryStream out;
    {
        TIpAnsiTextStream w(&out);
        w.SetLineTerminator(ltNone);
        w.SetFixedLineLength(4);
        w.WriteLine("ab");
        w.WriteLine("abcdef");
    }
    EXPECT_EQ(Data(out), "ab  abcd");
}

TEST(TextStream, WritesEachTerminator) {
    TMemoryStream out;
    {
        TIpAnsiTextStream w(&out);
        w.WriteLine("a");
        w.SetLineTerminator(ltLF);
        w.WriteLineZ("b");
        w.SetLineTerminator(ltCR);
        w.WriteLineArray("cd", 1);
        w.SetLineTerminator(ltOther);
        w.SetLineTermChar('|');
        w.WriteLine("");
        w.SetLineTerminator(TIpLineTerminator(9));
        EXPECT_EQ(ErrorOf<EIpBaseException>([&] { w.WriteLine("x"); }), "Invalid line terminator");
    }
    EXPECT_EQ(Data(out), "a\r\nb\nc\r|");
}

TEST(TextStream, SeekLineFindsLinesAndTheEnd) {
    TMemoryStream m;
    m.WriteString("l0\r\nl1\r\nl2\r\n");
    TIpAnsiTextStream s(&m);
    EXPECT_EQ(s.LastLine(), 2147483647);
    EXPECT_EQ(s.SeekLine(1), 1);
    EXPECT_EQ(s.ReadLine(), "l1");
    EXPECT_EQ(s.SeekLine(10), 3);
    EXPECT_TRUE(s.AtEndOfStream());
    EXPECT_EQ(s.LastLine(), 3);
    EXPECT_EQ(s.SeekLine(2), 2);
    EXPECT_EQ(s.ReadLine(), "l2");
    EXPECT_EQ(s.SeekLine(-4), 0);
    EXPECT_EQ(s.ReadLine(), "l0");
}

TEST(TextStream, SeekLineStaysRightAfterTheIndexIsThinned) {
    // Enough lines for the index to be compacted several times, across many pages.
    TMemoryStream m;
    std::string text;
    for (int i = 0; i < 9000; ++i) text += "line " + std::to_string(i) + "\r\n";
    m.WriteString(text);
    TIpAnsiTextStream s(&m);
    EXPECT_EQ(s.SeekLine(8500), 8500);
    EXPECT_EQ(s.ReadLine(), "line 8500");
    for (int n : {0, 1, 1023, 1024, 1025, 2047, 4097, 7777, 8999}) {
        EXPECT_EQ(s.SeekLine(n), n);
        EXPECT_EQ(s.ReadLine(), "line " + std::to_string(n)) << n;
    }
    EXPECT_EQ(s.SeekLine(9500), 9000);
    EXPECT_TRUE(s.AtEndOfStream());
}

// The same steps on a chunked stream and on a stream in one piece give the same bytes, sizes
// and positions: writes across block ends, writes past the end, seeks, cuts and regrowth.
TEST(ChunkedStream, BehavesAsAMemoryStream) {
    const int64_t Chunk = StreamLimits::kChunkSize;
    TIpChunkedStream Chunked;
    TMemoryStream Plain;
    auto Both = [&](const std::function<void(TStream&)>& Step) {
        Step(Chunked);
        Step(Plain);
        ASSERT_EQ(Chunked.Size(), Plain.Size());
        ASSERT_EQ(Chunked.Position(), Plain.Position());
        const int64_t Position = Chunked.Position();
        std::string Bytes(size_t(Chunked.Size()), '\0');
        Chunked.SetPosition(0);
        Chunked.ReadBuffer(Bytes.data(), int64_t(Bytes.size()));
        Chunked.SetPosition(Position);
        ASSERT_EQ(Bytes, Data(Plain));
    };
    auto Fill = [](int64_t Count, char Seed) {
        std::string Bytes(size_t(Count), '\0');
        for (size_t I = 0; I < Bytes.size(); ++I) Bytes[I] = char(Seed + I * 7 + I / 251);
        return Bytes;
    };
    const std::string Big = Fill(2 * Chunk + 77, 'a');
    Both([&](TStream& S) { S.WriteBuffer(Big.data(), int64_t(Big.size())); });
    Both([&](TStream& S) { S.Seek(Chunk - 3, soBeginning); });
    Both([&](TStream& S) { S.WriteString("across"); });
    Both([&](TStream& S) { S.Seek(3 * Chunk + 10, soBeginning); });  // past the end
    Both([&](TStream& S) { S.WriteString("after a gap"); });
    Both([&](TStream& S) { S.SetSize(Chunk + 5); });
    Both([&](TStream& S) { S.SetSize(2 * Chunk); });  // the cut part comes back as zeros
    Both([&](TStream& S) { S.Seek(-5, soEnd); });
    Both([&](TStream& S) { S.WriteString(Fill(Chunk, 'k')); });
    Both([&](TStream& S) { S.Seek(-10, soBeginning); });
    Both([&](TStream& S) { S.SetSize(0); });
    Both([&](TStream& S) { S.Seek(Chunk + 1, soBeginning); });
    Both([&](TStream& S) { S.WriteString("z"); });

    Chunked.SetPosition(0);
    std::string Back(size_t(Chunked.Size()), '\0');
    Chunked.ReadBuffer(Back.data(), int64_t(Back.size()));
    EXPECT_EQ(Back, Data(Plain));
    EXPECT_EQ(Chunked.Read(Back.data(), 1), 0);
    // A read across a block end that asks for more than is left.
    Chunked.Seek(-3, soEnd);
    std::string Tail(10, '\0');
    EXPECT_EQ(Chunked.Read(Tail.data(), int64_t(Tail.size())), 3);
    EXPECT_EQ(Tail.substr(0, 3), Data(Plain).substr(size_t(Plain.Size() - 3)));
    EXPECT_THROW(Chunked.SetSize(-1), EStreamError);
}

// Blocks grow with the stream: at every block end a write, a read and a cut behave as in a stream
// in one piece, and what the blocks hold beyond the data stays bounded.
TEST(ChunkedStream, GrowingBlocksKeepTheBytesAndTheSpaceBounded) {
    const int64_t Ends[] = {1 << 16, 1 << 17, 1 << 18, 1 << 19, 1 << 20, 2 << 20, 3 << 20};
    std::string Pattern(size_t(3 << 20) + 4096, '\0');
    for (size_t I = 0; I < Pattern.size(); ++I) Pattern[I] = char(I * 31 + I / 4093);
    TIpChunkedStream Chunked;
    // Written in odd pieces, so that writes cross every block end somewhere inside.
    for (size_t At = 0; At < Pattern.size(); At += 10007)
        Chunked.WriteBuffer(Pattern.data() + At,
                            int64_t(std::min<size_t>(10007, Pattern.size() - At)));
    for (int64_t End : Ends) {
        SCOPED_TRACE(End);
        std::string Around(64, '\0');
        Chunked.Seek(End - 32, soBeginning);
        ASSERT_EQ(Chunked.Read(Around.data(), 64), 64);
        EXPECT_EQ(Around, Pattern.substr(size_t(End - 32), 64));
    }
    // Cut just past each block end, then grown again: the cut bytes come back as zeros.
    for (auto It = std::rbegin(Ends); It != std::rend(Ends); ++It) {
        SCOPED_TRACE(*It);
        Chunked.SetSize(*It + 1);
        Chunked.SetSize(*It + 40);
        std::string Back(64, '\0');
        Chunked.Seek(*It - 24, soBeginning);
        ASSERT_EQ(Chunked.Read(Back.data(), 64), 64);
        EXPECT_EQ(Back, Pattern.substr(size_t(*It - 24), 25) + std::string(39, '\0'));
        Chunked.SetSize(*It + 1);
    }
    struct {
        int64_t Size;
        int64_t Capacity;
    } Spaces[] = {{0, 0},
                  {1, 1 << 16},
                  {1 << 16, 1 << 16},
                  {(1 << 16) + 1, 1 << 17},
                  {700000, 1 << 20},
                  {(1 << 20) + 1, 2 << 20},
                  {16 << 20, 16 << 20},
                  {(16 << 20) + 5, 17 << 20}};
    for (const auto& Space : Spaces) {
        SCOPED_TRACE(Space.Size);
        TIpChunkedStream Sized;
        Sized.SetSize(Space.Size);
        EXPECT_EQ(Sized.Capacity(), Space.Capacity);
        Sized.SetSize(Space.Size / 3);
        EXPECT_LE(Sized.Capacity(),
                  std::max<int64_t>(2 * (Space.Size / 3), StreamLimits::kChunkSize));
    }
}

TEST(ByteStream, ReadsThroughItsBuffer) {
    TMemoryStream m;
    m.WriteString(std::string(3000, 'z') + "!");
    m.SetPosition(0);
    TIpByteStream b(m);
    uint8_t v = 0;
    for (int i = 0; i < 1500; ++i) ASSERT_TRUE(b.ReadByte(v));
    EXPECT_EQ(b.Position(), 1500);
    EXPECT_EQ(b.Size(), 3001);
    for (int i = 0; i < 1501; ++i) ASSERT_TRUE(b.ReadByte(v));
    EXPECT_EQ(v, '!');
    EXPECT_FALSE(b.ReadByte(v));
}

// The page buffer of a buffered stream is allocated on first use and grows with the data. What
// the underlying stream ends up with must not depend on how the buffer grew.
#include <gtest/gtest.h>

#include <string>

#include "netlib/stream/Limits.h"
#include "netlib/stream/Streams.h"

namespace {

std::string Data(TMemoryStream& m) {
    return std::string(m.Memory(), size_t(m.Size()));
}

// Deterministic bytes that differ from position to position.
char ByteAt(size_t i) {
    return char('a' + (i * 7 + i / 251) % 26);
}

}  // namespace

TEST(PageGrowth, WritesReadsAndOverwritesAcrossPagesMatchAPlainString) {
    const size_t page = size_t(StreamLimits::kPageSize);
    TMemoryStream under;
    std::string model;
    {
        TIpBufferedStream s(&under);
        // Growing writes of odd sizes across three pages.
        for (size_t chunk = 1; model.size() < 2 * page + 1000; chunk = chunk * 3 % 997 + 1) {
            std::string part;
            for (size_t i = 0; i < chunk; ++i) part += ByteAt(model.size() + i);
            s.WriteBuffer(part.data(), int64_t(part.size()));
            model += part;
        }
        // Overwrites that straddle page ends and one that extends the data.
        for (size_t at : {size_t(5), page - 3, 2 * page - 1, model.size() - 2}) {
            s.Seek(int64_t(at), soBeginning);
            s.WriteBuffer("XYZW", 4);
            model.replace(at, std::min<size_t>(4, model.size() - at), "XYZW");
        }
        EXPECT_EQ(s.Size(), int64_t(model.size()));
        s.Seek(0, soBeginning);
        std::string back(model.size(), '\0');
        EXPECT_EQ(s.Read(back.data(), int64_t(back.size())), int64_t(model.size()));
        EXPECT_EQ(back, model);
    }
    EXPECT_EQ(Data(under), model) << "every dirty page reaches the underlying stream";

    // A new stream over existing data writes into the middle of a page it loaded lazily.
    {
        TIpAnsiTextStream text(&under);
        text.Seek(int64_t(page + 10), soBeginning);
        text.WriteLine("mid");
        model.replace(page + 10, 5, "mid\r\n");
        EXPECT_EQ(text.SeekLine(0), 0);
        EXPECT_EQ(text.ReadLine(), model.substr(0, model.find("\r\n")));
    }
    EXPECT_EQ(Data(under), model);
}

TEST(PageGrowth, AStreamThatClaimsMoreThanItHoldsLeavesZerosInTheGap) {
    // The underlying stream shrinks behind the buffered stream's back; a write past what the
    // page could load leaves a gap that is written back as zeros.
    TMemoryStream under;
    under.WriteBuffer("0123456789", 10);
    TIpBufferedStream s(&under);
    under.SetSize(4);
    s.Seek(8, soBeginning);
    s.WriteBuffer("AB", 2);
    s.Seek(0, soBeginning);  // same page: nothing written back yet
    s.SetStream(nullptr);
    EXPECT_EQ(Data(under), std::string("0123\0\0\0\0AB", 10));
}

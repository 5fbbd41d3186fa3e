#include "app/engine/SpoolLimits.h"
#include "app/engine/dupecheck.h"

#include <filesystem>
#include <set>

#include "EngineFixture.h"
#include "netlib/mime/MimeMessage.h"
#include "platform/fs/Files.h"

namespace {

class DupecheckTest : public EngineTest {
  protected:
    // An article with the given Message-ID and body line, decoded as the NNTP task gets it.
    static std::unique_ptr<TIpMessage> Article(const std::string& id, const std::string& body) {
        auto message = std::make_unique<TIpMessage>();
        message->NewMessageStream();
        message->WriteLine("From: a@example.org");
        if (!id.empty()) message->WriteLine("Message-ID: " + id);
        message->WriteLine("Subject: test");
        message->WriteLine("");
        message->WriteLine(body);
        message->DecodeMessage();
        return message;
    }

    std::string File(const std::string& name) const { return ProgramDir() + name; }
};

std::string LittleEndian(uint32_t v) {
    return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

TEST_F(DupecheckTest, DirectoryIsTheProgramDirectory) {
    TCRCDupecheck crc;
    EXPECT_EQ(crc.Dir, ProgramDir());
    EXPECT_EQ(crc.FileName(), ProgramDir() + "dupes.crc");
    EXPECT_EQ(crc.LastIndex, -1);
    EXPECT_EQ(crc.MaxEntries, 0);
}

TEST_F(DupecheckTest, ChecksumKindRoundTripWritesLittleEndianCrc32) {
    auto a = Article("<a@x>", "first");
    auto b = Article("<b@x>", "second");
    TCRCDupecheck crc;
    crc.MaxEntries = 10;
    crc.Load();
    EXPECT_FALSE(crc.IsDupe(*a));
    EXPECT_FALSE(crc.IsDupe(*b));
    EXPECT_TRUE(crc.IsDupe(*a));  // the same article again in one run
    EXPECT_EQ(crc.LastIndex, 1);
    crc.Save();

    const uint32_t sumA = TCRCDupecheck::Crc32(*a);
    const uint32_t sumB = TCRCDupecheck::Crc32(*b);
    EXPECT_EQ(ReadFile(File("dupes.crc")), LittleEndian(sumA) + LittleEndian(sumB));

    TCRCDupecheck again;
    again.MaxEntries = 10;
    again.Load();
    ASSERT_EQ(again.Count(), 2);
    EXPECT_EQ(again.Checksum(0), sumA);
    EXPECT_TRUE(again.IsDupe(*b));
}

TEST_F(DupecheckTest, ChecksumIsTheCrc32OfTheRawText) {
    const std::pair<std::string, uint32_t> vectors[] = {
        {"", 0},
        {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
    };
    for (const auto& [text, crc] : vectors) {
        TIpMessage message;
        message.NewMessageStream();
        message.MessageStream.WriteBuffer(text.data(), int64_t(text.size()));
        EXPECT_EQ(TCRCDupecheck::Crc32(message), crc) << text;
    }
}

// Bot and cron posts: one template, a counter and a date changing. The old 16-bit sum took 1,678
// of 3,000 such articles for duplicates.
TEST_F(DupecheckTest, ChecksumKindTellsTemplatedArticlesApart) {
    // A file of an earlier version: 16-bit sums, upper half 0. Kept, and matching nothing new.
    WriteFile(File("dupes.crc"), LittleEndian(0x1234));
    TCRCDupecheck crc;
    crc.MaxEntries = 5000;
    crc.Load();
    std::set<uint32_t> oldSums;
    int dupes = 0;
    for (int i = 0; i < 3000; ++i) {
        const std::string n = std::to_string(i);
        auto article = Article("<" + n + "@bot>", "Report " + n + " of 3000, all fine.");
        dupes += crc.IsDupe(*article);
        article->MessageStream.Seek(0, soBeginning);
        oldSums.insert(ChecksumStream(article->MessageStream, 0));
    }
    EXPECT_EQ(dupes, 0);
    EXPECT_LT(oldSums.size(), 3000u);  // the trap the 16-bit sum fell into
    EXPECT_TRUE(crc.IsDupeChecksum(0x1234));
    EXPECT_EQ(crc.Count(), 3001);
}

TEST_F(DupecheckTest, MD5KindRoundTripWritesDigestBytes) {
    auto a = Article("<a@x>", "body");
    TMD5Dupecheck md5;
    md5.MaxEntries = 5;
    EXPECT_FALSE(md5.IsDupe(*a));
    EXPECT_TRUE(md5.IsDupe(*a));
    md5.Save();

    a->MessageStream.Seek(0, soBeginning);
    TIpMD5Digest digest;
    MD5DigestStream(a->MessageStream, digest);
    EXPECT_EQ(ReadFile(File("dupes.md5")),
              std::string(reinterpret_cast<const char*>(digest.data()), 16));

    TMD5Dupecheck again;
    again.MaxEntries = 5;
    again.Load();
    EXPECT_EQ(again.Count(), 1);
    EXPECT_TRUE(again.IsDupe(*a));
    EXPECT_FALSE(again.IsDupe(*Article("<a@x>", "other body")));
}

TEST_F(DupecheckTest, ZeroMaxEntriesNeverFindsOrRecords) {
    auto a = Article("<a@x>", "body");
    TCRCDupecheck crc;
    TMD5Dupecheck md5;
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(crc.IsDupe(*a));
        EXPECT_FALSE(md5.IsDupe(*a));
    }
    EXPECT_EQ(crc.LastIndex, -1);
    EXPECT_EQ(md5.LastIndex, -1);
}

TEST_F(DupecheckTest, TornLastEntryIsIgnored) {
    WriteFile(File("dupes.crc"), LittleEndian(7) + LittleEndian(9) + "\x01\x02");
    TCRCDupecheck crc;
    crc.MaxEntries = 100;
    crc.Load();
    ASSERT_EQ(crc.Count(), 2);
    EXPECT_EQ(crc.Checksum(1), 9u);
    EXPECT_TRUE(crc.IsDupeChecksum(7));

    WriteFile(File("dupes.md5"), std::string(16, 'a') + std::string(16, 'b') + "torn");
    TMD5Dupecheck md5;
    md5.MaxEntries = 100;
    md5.Load();
    EXPECT_EQ(md5.Count(), 2);
    TIpMD5Digest b;
    b.fill('b');
    EXPECT_TRUE(md5.IsDupeDigest(b));
    // Saving writes whole entries only: the torn bytes are gone.
    md5.Save();
    EXPECT_EQ(FileSizeOf(File("dupes.md5")), 32);
}

TEST_F(DupecheckTest, SaveKeepsTheNewestMaxEntries) {
    TCRCDupecheck crc;
    crc.MaxEntries = 100;
    for (uint32_t v = 1; v <= 120; ++v) ASSERT_FALSE(crc.IsDupeChecksum(v));
    crc.Save();
    EXPECT_EQ(crc.Count(), 100);
    // The oldest 20 are forgotten, in memory as well as in the file.
    EXPECT_FALSE(crc.IsDupeChecksum(5));
    const std::string bytes = ReadFile(File("dupes.crc"));
    ASSERT_EQ(bytes.size(), 400u);
    EXPECT_EQ(bytes.substr(0, 4), LittleEndian(21));
    EXPECT_EQ(bytes.substr(396), LittleEndian(120));

    TCRCDupecheck one;
    one.MaxEntries = 100;
    one.IsDupeChecksum(42);
    one.Save();
    EXPECT_EQ(ReadFile(File("dupes.crc")), LittleEndian(42));
}

TEST_F(DupecheckTest, EmptyDatabaseDeletesItsFile) {
    WriteFile(File("dupes.crc"), LittleEndian(1));
    WriteFile(File("dupes.md5"), "short");  // no whole entry
    WriteFile(File("dupes.mid"), "");
    TCRCDupecheck crc;  // MaxEntries 0: everything loaded is trimmed away
    crc.Load();
    crc.Save();
    TMD5Dupecheck md5;
    md5.MaxEntries = 10;
    md5.Load();
    md5.Save();
    TMIDDupecheck mid;
    mid.MaxEntries = 10;
    mid.Load();
    mid.Save();
    EXPECT_FALSE(FileExists(File("dupes.crc")));
    EXPECT_FALSE(FileExists(File("dupes.md5")));
    EXPECT_FALSE(FileExists(File("dupes.mid")));
    // Nothing to delete is no error either.
    mid.Save();
}

TEST_F(DupecheckTest, MessageIDKindKeepsNewestAndIgnoresCase) {
    TMIDDupecheck mid;
    mid.MaxEntries = 2;
    EXPECT_FALSE(mid.IsDupe(*Article("<a@x>", "1")));
    EXPECT_FALSE(mid.IsDupe(*Article("<b@x>", "2")));
    EXPECT_FALSE(mid.IsDupe(*Article("<c@x>", "3")));
    ASSERT_EQ(mid.Count(), 2);
    EXPECT_EQ(mid.MessageID(0), "<b@x>");
    EXPECT_TRUE(mid.IsDupe(*Article("<C@X>", "other text, same ID")));
    EXPECT_FALSE(mid.IsDupe(*Article("<a@x>", "1")));  // dropped as the oldest
    mid.Save();
    EXPECT_EQ(ReadFile(File("dupes.mid")), "<c@x>\r\n<a@x>\r\n");

    TMIDDupecheck again;
    again.MaxEntries = 1;  // a smaller size keeps only the newest when saved
    again.Load();
    EXPECT_EQ(again.Count(), 2);
    EXPECT_TRUE(again.IsDupeMessageID("  <c@x> "));
    again.Save();
    EXPECT_EQ(ReadFile(File("dupes.mid")), "<a@x>\r\n");
}

TEST_F(DupecheckTest, ArticlesWithoutMessageIDAreNeverDupes) {
    TMIDDupecheck mid;
    mid.MaxEntries = 10;
    EXPECT_FALSE(mid.IsDupe(*Article("", "one")));
    EXPECT_FALSE(mid.IsDupe(*Article("", "two")));
    EXPECT_FALSE(mid.IsDupeMessageID(" \t "));
    EXPECT_EQ(mid.Count(), 0);
}

TEST_F(DupecheckTest, BatchesAreLearnedOnlyWhenCommitted) {
    TCRCDupecheck crc;
    TMD5Dupecheck md5;
    TMIDDupecheck mid;
    for (TCustomDupecheck* check : std::initializer_list<TCustomDupecheck*>{&crc, &md5, &mid}) {
        SCOPED_TRACE(check->FileName());
        check->MaxEntries = 10;
        auto a = Article("<a@x>", "a");
        auto b = Article("<b@x>", "b");
        TDupeBatch stored, failed;
        EXPECT_FALSE(check->IsDupe(*a, stored));
        EXPECT_FALSE(check->IsDupe(*b, failed));
        // Taken, though not learned: another task, or the same one, must not take it again.
        EXPECT_TRUE(check->IsDupe(*a, failed));
        EXPECT_TRUE(check->IsDupe(*b));
        EXPECT_EQ(check->Count(), 0);
        check->Discard(failed);
        check->Commit(stored);
        EXPECT_TRUE(stored.Empty());
        EXPECT_EQ(check->Count(), 1);
        EXPECT_TRUE(check->IsDupe(*a));
        EXPECT_FALSE(check->IsDupe(*b));  // discarded: new again, and now learned
        EXPECT_EQ(check->Count(), 2);
        check->Save();
        EXPECT_FALSE(check->Modified());
    }
}

TEST_F(DupecheckTest, FailedSaveKeepsTheOldFileAndNamesTheReason) {
    WriteFile(File("dupes.mid"), "<old@x>\r\n");
    std::filesystem::create_directory(File("dupes.mid.tmp"));  // in the way of the new file
    TMIDDupecheck mid;
    mid.MaxEntries = 10;
    mid.Load();
    mid.IsDupeMessageID("<new@x>");
    const std::string error = ErrorOf([&] { mid.Save(); });
    EXPECT_NE(error.find("dupes.mid.tmp konnte nicht geschrieben werden: Is a directory"),
              std::string::npos)
        << error;
    EXPECT_EQ(ReadFile(File("dupes.mid")), "<old@x>\r\n");
    std::filesystem::remove(File("dupes.mid.tmp"));
    mid.Save();
    EXPECT_EQ(ReadFile(File("dupes.mid")), "<old@x>\r\n<new@x>\r\n");
    EXPECT_FALSE(FileExists(File("dupes.mid.tmp")));
}

TEST_F(DupecheckTest, OversizedFileRaises) {
    {
        std::ofstream out(File("dupes.md5"), std::ios::binary);
        out.seekp(SpoolLimits::kMaxDupeFileSize + 1);
        out.put('x');
    }
    TMD5Dupecheck md5;
    md5.MaxEntries = 10;
    EXPECT_THROW(md5.Load(), EReadError);
}

// A long run through a small database: every drop of the oldest entry must leave the index able
// to find all the others, whatever their places in the table.
TEST_F(DupecheckTest, SlidingWindowKeepsExactlyTheNewest) {
    TMIDDupecheck mid;
    mid.MaxEntries = 50;
    for (int i = 0; i < 10000; ++i)
        ASSERT_FALSE(
            mid.IsDupeMessageID(std::string(1, '<').append(std::to_string(i)).append(">")));
    for (int i = 9950; i < 10000; ++i)
        EXPECT_TRUE(mid.IsDupeMessageID(std::string(1, '<').append(std::to_string(i)).append(">")));
    EXPECT_EQ(mid.Count(), 50);
    EXPECT_FALSE(mid.IsDupeMessageID("<9949>"));
    EXPECT_EQ(mid.MessageID(0), "<9951>");

    TMD5Dupecheck md5;  // the fixed kinds forget only when saved
    md5.MaxEntries = 50;
    TIpMD5Digest d{};
    for (int i = 0; i < 1000; ++i) {
        d[0] = uint8_t(i);
        d[15] = uint8_t(i >> 8);  // the same first bytes for many entries: the full digest decides
        ASSERT_FALSE(md5.IsDupeDigest(d));
    }
    md5.Save();
    EXPECT_EQ(md5.Count(), 50);
    d[0] = uint8_t(999);
    d[15] = uint8_t(999 >> 8);
    EXPECT_TRUE(md5.IsDupeDigest(d));
    d[0] = uint8_t(949);
    d[15] = uint8_t(949 >> 8);
    EXPECT_FALSE(md5.IsDupeDigest(d));
}

}  // namespace

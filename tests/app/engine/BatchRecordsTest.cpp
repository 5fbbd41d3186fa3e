// Pending records of news batches: what a record holds, and how the start of a run settles the
// records a killed run left behind.
#include "app/engine/BatchRecords.h"

#include <filesystem>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "app/engine/RunState.h"
#include "app/engine/dupecheck.h"
#include "platform/fs/Files.h"

namespace {

class BatchRecordsTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        Spool = PointDir() + "spool/";
        std::filesystem::create_directories(Spool);
        SetRunExitCode(0);
    }

    // A record of batch m4.msg moving line 1 of news.rc from "de.b 0" to "de.b 7" and teaching
    // the Message-ID database two articles; the batch is stored when its temporary file is gone.
    TBatchRecord Record() const {
        TBatchRecord record;
        record.Batch = Spool + "m4.msg";
        record.Complete = Spool + "m4.tmp";
        record.Temps = {Spool + "m4.tmp", Spool + "m4.sorted.tmp"};
        record.GroupList = PointDir() + "news.rc";
        record.Line = 1;
        record.OldLine = "de.b 0";
        record.NewLine = "de.b 7";
        record.Dupes = ProgramDir() + "dupes.mid";
        record.Entries = {"<6@x>", "<7@x>"};
        return record;
    }

    std::vector<std::string> Records() const { return FindFiles(ProgramDir(), "batch*"); }
    bool Logged(const std::string& text) const {
        for (const std::string& line : LogLines)
            if (line.find(text) != std::string::npos) return true;
        return false;
    }

    std::string Spool;
};

TEST_F(BatchRecordsTest, RecordReadsBackAsWritten) {
    TBatchRecord record = Record();
    record.OldLine = "odd \\ line\r\nwith breaks";
    record.Dupes = ProgramDir() + "dupes.md5";
    record.Entries = {std::string("\0\xFF\x10 binary=\r\n", 12), ""};
    const std::string name = WriteBatchRecord(record, ProgramDir());
    EXPECT_EQ(ExtractFileName(name), "batch0.pending");
    EXPECT_EQ(ExtractFileName(WriteBatchRecord(record, ProgramDir())), "batch1.pending");
    const TBatchRecord back = TBatchRecord::Parse(ReadFile(name));
    EXPECT_EQ(back.Batch, record.Batch);
    EXPECT_EQ(back.Complete, record.Complete);
    EXPECT_EQ(back.Temps, record.Temps);
    EXPECT_EQ(back.GroupList, record.GroupList);
    EXPECT_EQ(back.Line, 1);
    EXPECT_EQ(back.OldLine, record.OldLine);
    EXPECT_EQ(back.NewLine, record.NewLine);
    EXPECT_EQ(back.Dupes, record.Dupes);
    EXPECT_EQ(back.Entries, record.Entries);
    EXPECT_TRUE(FindFiles(ProgramDir(), "*.tmp").empty());

    for (const char* damaged : {"", "Kestro news batch 1\r\n", "something else\r\nBatch=x\r\n",
                                "Kestro news batch 1\r\nBatch=a\r\nComplete=b\r\nEntry=xyz\r\n",
                                "Kestro news batch 1\r\nBatch=a\r\nComplete=b\r\nWhat=1\r\n"}) {
        SCOPED_TRACE(damaged);
        EXPECT_NE(ErrorOf([&] { TBatchRecord::Parse(damaged); }), "");
    }
}

// The batch took its name before the run ended: its line moves, in the file and in the lists
// this run loaded already, and the dupe database learns its articles. Settling it twice changes
// nothing more.
TEST_F(BatchRecordsTest, StoredBatchGetsItsLineAndItsDupeEntries) {
    WriteFile(PointDir() + "news.rc", "de.a 3\r\nde.b 0\r\n");
    WriteFile(ProgramDir() + "dupes.mid", "<1@x>\r\n<6@x>\r\n");
    // A sorted batch: its sorted copy took the name, the unsorted one is still there.
    WriteFile(Spool + "m4.msg", "#! rnews 1\nx");
    WriteFile(Spool + "m4.tmp", "#! rnews 1\nx");
    TBatchRecord record = Record();
    record.Complete = Spool + "m4.sorted.tmp";
    WriteBatchRecord(record, ProgramDir());
    NNTPTasks.AddList(PointDir() + "news.rc");
    NNTPTasks.Count = 1;

    RecoverNewsBatches(ProgramDir());
    EXPECT_EQ(ReadFile(PointDir() + "news.rc"), "de.a 3\r\nde.b 7\r\n");
    EXPECT_EQ((*NNTPTasks.GetList(0))[1], "de.b 7");
    EXPECT_EQ(ReadFile(ProgramDir() + "dupes.mid"), "<1@x>\r\n<6@x>\r\n<7@x>\r\n");
    EXPECT_TRUE(Records().empty());
    EXPECT_EQ(FindFiles(Spool, "*"), std::vector<std::string>{"m4.msg"});
    EXPECT_TRUE(Logged("Gespeicherter Stapel " + Spool + "m4.msg: Zeile \"de.b 7\" in " +
                       PointDir() + "news.rc und 2 Eintr\xC3\xA4ge in " + ProgramDir() +
                       "dupes.mid nachgetragen"));
    EXPECT_EQ(RunExitCode(), 0);

    WriteBatchRecord(record, ProgramDir());
    RecoverNewsBatches(ProgramDir());
    EXPECT_EQ(ReadFile(PointDir() + "news.rc"), "de.a 3\r\nde.b 7\r\n");
    EXPECT_EQ(ReadFile(ProgramDir() + "dupes.mid"), "<1@x>\r\n<6@x>\r\n<7@x>\r\n");
    EXPECT_TRUE(Records().empty());
}

// The point program may have imported the batch before the next run: gone from the spool, it
// was stored all the same.
TEST_F(BatchRecordsTest, ImportedBatchCountsAsStored) {
    WriteFile(PointDir() + "news.rc", "de.a 3\r\nde.b 0\r\n");
    WriteBatchRecord(Record(), ProgramDir());
    RecoverNewsBatches(ProgramDir());
    EXPECT_EQ(ReadFile(PointDir() + "news.rc"), "de.a 3\r\nde.b 7\r\n");
    EXPECT_EQ(ReadFile(ProgramDir() + "dupes.mid"), "<6@x>\r\n<7@x>\r\n");
}

// The run ended before the batch took its name: the batch goes, and nothing of it is recorded.
TEST_F(BatchRecordsTest, BatchStillUnderItsTemporaryNameIsDropped) {
    WriteFile(PointDir() + "news.rc", "de.a 3\r\nde.b 0\r\n");
    WriteFile(Spool + "m4.tmp", "#! rnews 1\nx");
    WriteBatchRecord(Record(), ProgramDir());
    WriteFile(ProgramDir() + "batch9.pending.tmp", "Kestro news");  // a record cut short
    RecoverNewsBatches(ProgramDir());
    EXPECT_EQ(ReadFile(PointDir() + "news.rc"), "de.a 3\r\nde.b 0\r\n");
    EXPECT_FALSE(FileExists(ProgramDir() + "dupes.mid"));
    EXPECT_TRUE(FindFiles(Spool, "*").empty());
    EXPECT_TRUE(Records().empty());
    EXPECT_TRUE(Logged("Unvollst\xC3\xA4ndiger Stapel " + Spool + "m4.tmp verworfen"));
}

// Records are settled oldest first, so a group stored twice by a run ends at its last line; a
// line the user has changed since is left alone.
TEST_F(BatchRecordsTest, LinesMoveInTheOrderOfTheRecordsAndOnlyFromWhereTheyStood) {
    WriteFile(PointDir() + "news.rc", "de.a 3\r\n# new comment\r\nde.b 0\r\nde.c 5\r\n");
    TBatchRecord first = Record();
    first.Dupes.clear();
    TBatchRecord second = first;
    second.OldLine = "de.b 7";
    second.NewLine = "de.b 9";
    TBatchRecord changed = first;
    changed.Line = 3;
    changed.OldLine = "de.c 1";
    changed.NewLine = "de.c 2";
    WriteFile(ProgramDir() + "batch9.pending", first.Text());
    // Numbered after batch9 (although "1" sorts before "9"), and settled after it.
    EXPECT_EQ(ExtractFileName(WriteBatchRecord(second, ProgramDir())), "batch10.pending");
    WriteBatchRecord(changed, ProgramDir());
    RecoverNewsBatches(ProgramDir());
    EXPECT_EQ(ReadFile(PointDir() + "news.rc"), "de.a 3\r\n# new comment\r\nde.b 9\r\nde.c 5\r\n");
    EXPECT_TRUE(Logged("enth\xC3\xA4lt die Zeile \"de.c 1\" nicht mehr"));
    EXPECT_TRUE(Records().empty());
}

// A change that cannot be made keeps the record for the next run, which makes it then.
TEST_F(BatchRecordsTest, RecordThatCannotBeSettledStaysForTheNextRun) {
    WriteFile(PointDir() + "news.rc", "de.a 3\r\nde.b 0\r\n");
    std::filesystem::create_directories(PointDir() + "news.rc.tmp");  // the list cannot be written
    WriteBatchRecord(Record(), ProgramDir());
    WriteFile(ProgramDir() + "batch5.pending", "no record at all");
    RecoverNewsBatches(ProgramDir());
    EXPECT_EQ(RunExitCode(), 1);
    EXPECT_TRUE(Logged("Error: Stapel " + Spool + "m4.msg: "));
    EXPECT_TRUE(Logged("Warnung: " + ProgramDir() + "batch5.pending wird verworfen"));
    EXPECT_EQ(Records(), std::vector<std::string>{"batch0.pending"});

    std::filesystem::remove(PointDir() + "news.rc.tmp");
    RecoverNewsBatches(ProgramDir());
    EXPECT_EQ(ReadFile(PointDir() + "news.rc"), "de.a 3\r\nde.b 7\r\n");
    EXPECT_TRUE(Records().empty());
}

}  // namespace

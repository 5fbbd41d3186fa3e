// The news task driven through transcripts: the server's side is fed into a fake socket, the
// task's commands, spool files, group lists and log lines are checked.
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "app/engine/BatchRecords.h"
#include "app/engine/RunState.h"
#include "app/engine/dupecheck.h"
#include "app/engine/nntp.h"
#include "netlib/nntp/Limits.h"
#include "netlib/sock/IpFakeSocket.h"
#include "platform/fs/Files.h"

namespace {

std::vector<std::string>* TaskLines = nullptr;

void CaptureTaskLog(TKestroCustomClient*, int32_t, const std::string& text, bool toRunLog) {
    if (TaskLines && toRunLog) TaskLines->push_back(text);
}

// The articles of one rnews batch.
std::vector<std::string> ParseBatch(const std::string& bytes) {
    std::vector<std::string> articles;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t eol = bytes.find('\n', pos);
        EXPECT_EQ(bytes.compare(pos, 9, "#! rnews "), 0);
        size_t size = std::stoul(bytes.substr(pos + 9, eol - pos - 9));
        articles.push_back(bytes.substr(eol + 1, size));
        pos = eol + 1 + size;
    }
    return articles;
}

std::string Article(int64_t number, const std::string& group, const std::string& extra = "") {
    std::string n = std::to_string(number);
    return "220 " + n + " <" + n + "@" + group + "> article\r\nFrom: poster@example\r\n" +
           "Newsgroups: " + group + "\r\nSubject: article " + n + "\r\nMessage-ID: <" + n + "@" +
           group + ">\r\n" + extra + "\r\nbody of " + n + "\r\n.\r\n";
}

class NntpTaskTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        TaskLines = &LogLines;
        Spool = ProgramDir() + "spool/";
        std::filesystem::create_directories(Spool);
        Running = true;
        NewsCount = 0;
        DupeCheck = nullptr;
        SetRunExitCode(0);
    }

    void TearDown() override {
        Task.reset();
        delete DupeCheck;
        DupeCheck = nullptr;
        Running = false;
        TaskLines = nullptr;
        EngineTest::TearDown();
    }

    // Loads the box and its newsgroup list (index 0).
    void Box(const std::string& rcLines, const std::string& extraConfig = "") {
        WriteFile(ProgramDir() + "news.cfg",
                  "### Kestro Configuration File Version 1 ###\r\nNntpServer=news.example\r\n"
                  "NntpSpool=" +
                      Spool + "\r\nNntpNewMax=0\r\n" + extraConfig);
        WriteFile(ProgramDir() + "news.rc", rcLines);
        ASSERT_EQ(ConfigList.Add(ProgramDir() + "news.cfg"), 0);
        NNTPTasks.AddList(ProgramDir() + "news.rc");
        NNTPTasks.Count = 1;
    }

    TKestroConfig& Config() { return *ConfigList.GetConfig(0); }
    TStringList& Groups() { return *NNTPTasks.GetList(0); }

    void Start(const std::string& command) {
        Task = std::make_unique<TKestroNNTPClient>();
        Task->ConfigIndex = 0;
        Task->Command = command;
        Task->GroupListIndex = 0;
        // The transcripts read one command at a time; the window is tested on its own.
        Task->ArticleWindow = Window;
        Task->OnTaskLog = CaptureTaskLog;
        Task->Client->SetSocketFactory([this](TIpCustomClient& c) {
            Fake = new TIpFakeSocket(c);
            return Fake;
        });
        Task->Start(1);
    }

    void Greet(const std::string& greeting = "200 news.example ready") {
        ASSERT_NE(Fake, nullptr);
        Fake->AcceptConnect();
        Fake->Feed(greeting + "\r\n");
    }
    // A task that never connected fails the test here instead of crashing it.
    bool Connected() {
        if (!Fake) ADD_FAILURE() << "the task opened no connection";
        return Fake != nullptr;
    }
    void Feed(const std::string& bytes) {
        if (Connected()) Fake->Feed(bytes);
    }
    void PeerClose() {
        if (Connected()) Fake->PeerClose();
    }
    // Starts a fetch, greets and answers its first GROUP with groupReply (CR LF added).
    void Open(const std::string& command, const std::string& groupReply) {
        Start(command);
        Greet();
        Sent();
        Feed(groupReply + "\r\n");
    }
    std::string Sent() { return Connected() ? Fake->TakeWritten() : std::string(); }

    std::vector<std::string> SpoolFiles(const std::string& pattern = "m*.msg") {
        return FindFiles(Spool, pattern);
    }
    std::vector<std::string> Batch(const std::string& name) {
        return ParseBatch(ReadFile(Spool + name));
    }
    std::vector<std::string> GroupList() {
        TStringList bl;
        bl.LoadFromFile(ProgramDir() + "news.bl");
        std::vector<std::string> lines;
        for (int32_t i = 0; i < bl.Count(); ++i) lines.push_back(bl[i]);
        return lines;
    }
    bool Logged(const std::string& text) const {
        for (const std::string& line : LogLines)
            if (line.find(text) != std::string::npos) return true;
        return false;
    }

    std::string Spool;
    std::unique_ptr<TKestroNNTPClient> Task;
    TIpFakeSocket* Fake = nullptr;
    int32_t Window = 1;
};

TEST_F(NntpTaskTest, RangeFetchesEachGroupIntoItsOwnBatchAndAdvancesItsLine) {
    Box("de.a 0\r\n# a comment\r\n\r\nde.b 2\r\n");
    Start("0 3");
    Greet();
    EXPECT_EQ(Sent(), "GROUP de.a\r\n");
    Feed("211 3 1 3 de.a\r\n");
    EXPECT_EQ(Sent(), "ARTICLE 1\r\n");
    Feed(Article(1, "de.a"));
    EXPECT_EQ(Sent(), "ARTICLE 2\r\n");
    Feed("423 no such article\r\n");  // expired between GROUP and ARTICLE: passed over
    EXPECT_EQ(Sent(), "ARTICLE 3\r\n");
    Feed(Article(3, "de.a"));
    // The group's batch is on disk before the next group is asked for.
    ASSERT_EQ(SpoolFiles().size(), 1u);
    EXPECT_EQ(Sent(), "GROUP de.b\r\n");
    Feed("211 2 1 3 de.b\r\n");
    EXPECT_EQ(Sent(), "ARTICLE 3\r\n");
    Feed(Article(3, "de.b"));
    EXPECT_EQ(Task->State, 3);

    auto files = SpoolFiles();
    ASSERT_EQ(files.size(), 2u);
    auto first = Batch(files[0]);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_NE(first[0].find("Message-ID: <1@de.a>"), std::string::npos);
    EXPECT_NE(first[1].find("body of 3"), std::string::npos);
    EXPECT_EQ(Batch(files[1]).size(), 1u);
    EXPECT_EQ(Groups()[0], "de.a 3");
    EXPECT_EQ(Groups()[1], "# a comment");
    EXPECT_EQ(Groups()[3], "de.b 3");
    EXPECT_EQ(NewsCount, 3);
    EXPECT_TRUE(Logged("Wähle Gruppe de.a auf news.example"));
    EXPECT_TRUE(Logged("Hole 3 Artikel in der Newsgroup de.a"));
    EXPECT_TRUE(Logged("Hole 1 Artikel in der Newsgroup de.b"));
}

// A run killed in the middle repeats at most the group in flight: each group's line and the
// dupe database are on disk as soon as its batch is.
TEST_F(NntpTaskTest, EveryStoredGroupIsRecordedOnDiskAtOnce) {
    Box("de.a 0\r\n# comment\r\nde.b 0\r\n", "NntpDupeSize=100\r\n");
    DupeCheck = new TMIDDupecheck();
    DupeCheck->MaxEntries = 100;
    Open("0 2", "211 2 1 2 de.a");
    Feed(Article(1, "de.a"));
    EXPECT_EQ(ReadFile(ProgramDir() + "news.rc"), "de.a 0\r\n# comment\r\nde.b 0\r\n");
    EXPECT_FALSE(FileExists(ProgramDir() + "dupes.mid"));
    Feed(Article(2, "de.a"));
    EXPECT_EQ(Sent(), "ARTICLE 1\r\nARTICLE 2\r\nGROUP de.b\r\n");
    EXPECT_EQ(ReadFile(ProgramDir() + "news.rc"), "de.a 2\r\n# comment\r\nde.b 0\r\n");
    EXPECT_EQ(ReadFile(ProgramDir() + "dupes.mid"), "<1@de.a>\r\n<2@de.a>\r\n");
    // A group without new articles stores nothing and leaves the database file alone.
    std::filesystem::remove(ProgramDir() + "dupes.mid");
    Feed("211 0 0 0 de.b\r\n");
    EXPECT_EQ(Task->State, 3);
    EXPECT_FALSE(FileExists(ProgramDir() + "dupes.mid"));
    EXPECT_TRUE(SpoolFiles("*.tmp").empty());
    EXPECT_TRUE(FindFiles(ProgramDir(), "*.tmp").empty());
    EXPECT_TRUE(FindFiles(ProgramDir(), "batch*").empty());  // each record went with its batch
}

// What storing a batch changes besides is recorded before the batch takes its name. A change
// that then fails leaves its record, from which the next run makes it.
TEST_F(NntpTaskTest, StoredBatchWhoseLineCannotBeSavedLeavesItsRecord) {
    Box("de.a 0\r\n", "NntpDupeSize=100\r\n");
    DupeCheck = new TMIDDupecheck();
    DupeCheck->MaxEntries = 100;
    std::filesystem::create_directories(ProgramDir() + "news.rc.tmp");
    Open("0 0", "211 2 1 2 de.a");
    Feed(Article(1, "de.a"));
    Feed(Article(2, "de.a"));
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(RunExitCode(), 1);
    ASSERT_EQ(SpoolFiles().size(), 1u);
    EXPECT_EQ(ReadFile(ProgramDir() + "news.rc"), "de.a 0\r\n");
    const auto records = FindFiles(ProgramDir(), "batch*.pending");
    ASSERT_EQ(records.size(), 1u);
    const TBatchRecord record = TBatchRecord::Parse(ReadFile(ProgramDir() + records[0]));
    EXPECT_EQ(record.Batch, Spool + SpoolFiles()[0]);
    EXPECT_EQ(record.GroupList, ProgramDir() + "news.rc");
    EXPECT_EQ(record.Line, 0);
    EXPECT_EQ(record.OldLine, "de.a 0");
    EXPECT_EQ(record.NewLine, "de.a 2");
    EXPECT_EQ(record.Dupes, ProgramDir() + "dupes.mid");
    EXPECT_EQ(record.Entries, (std::vector<std::string>{"<1@de.a>", "<2@de.a>"}));
    Task.reset();

    std::filesystem::remove(ProgramDir() + "news.rc.tmp");
    RecoverNewsBatches(ProgramDir());
    EXPECT_EQ(ReadFile(ProgramDir() + "news.rc"), "de.a 2\r\n");
    EXPECT_EQ(ReadFile(ProgramDir() + "dupes.mid"), "<1@de.a>\r\n<2@de.a>\r\n");
    EXPECT_TRUE(FindFiles(ProgramDir(), "batch*").empty());
}

// A batch that cannot take its name is no stored batch: its record goes with it, and neither
// its line nor the dupe database moves.
TEST_F(NntpTaskTest, BatchThatCannotTakeItsNameTakesItsRecordAlong) {
    Box("de.a 0\r\n", "NntpDupeSize=100\r\n");
    DupeCheck = new TMIDDupecheck();
    DupeCheck->MaxEntries = 100;
    Open("0 0", "211 2 1 2 de.a");
    Feed(Article(1, "de.a"));
    ASSERT_EQ(SpoolFiles("*.tmp").size(), 1u);
    std::filesystem::create_directories(Spool + ChangeFileExt(SpoolFiles("*.tmp")[0], ".msg"));
    Feed(Article(2, "de.a"));
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(RunExitCode(), 1);
    EXPECT_TRUE(Logged("umbenannt werden"));
    EXPECT_TRUE(SpoolFiles("*.tmp").empty());
    EXPECT_EQ(Groups()[0], "de.a 0");
    EXPECT_EQ(DupeCheck->Count(), 0);
    EXPECT_TRUE(FindFiles(ProgramDir(), "batch*").empty());
}

TEST_F(NntpTaskTest, NegativeNumberAsksForTheNewestAndNewMaxCapsIt) {
    Box("de.a -5\r\nde.b -5\r\nde.c 10\r\nde.d 0\r\n");
    Open("0 0", "211 10 1 10 de.a");
    EXPECT_EQ(Sent(), "ARTICLE 6\r\n");
    Task.reset();

    Config().NntpNewMax = 3;
    Open("1 1", "211 10 1 10 de.b");
    EXPECT_EQ(Sent(), "ARTICLE 8\r\n");
    EXPECT_TRUE(Logged("Hole nur die letzen 3 Artikel in der Newsgroup de.b"));
    Task.reset();

    // Nothing new: the line stays and the range goes on.
    Open("2 3", "211 10 1 10 de.c");
    EXPECT_TRUE(Logged("Keine neuen Artikel in der Newsgroup de.c"));
    EXPECT_EQ(Sent(), "GROUP de.d\r\n");
    // Expired articles are skipped: the first one the server still has is fetched.
    Feed("211 3 40 42 de.d\r\n");
    EXPECT_EQ(Sent(), "ARTICLE 40\r\n");
    EXPECT_EQ(Groups()[2], "de.c 10");
}

// Only "no such article" passes an article over. Any other refusal ends the group before the
// article, with an error, so that the next run asks for it again.
TEST_F(NntpTaskTest, RefusedArticleEndsTheGroupBeforeIt) {
    // A success code other than the article's own is no article either: passed over, the
    // article would never be fetched.
    for (const char* refusal :
         {"503 program fault, try again", "480 authentication required", "500 what?",
          "200 news ready", "222 3 <3@de.a> body", "100 help text follows"}) {
        SCOPED_TRACE(refusal);
        SetRunExitCode(0);
        LogLines.clear();
        Box("de.a 0\r\nde.b 0\r\n");
        Open("0 1", "211 4 1 4 de.a");
        Feed(Article(1, "de.a"));
        Feed("423 expired\r\n");
        Feed(std::string(refusal) + "\r\n");
        EXPECT_EQ(Task->State, 3);
        EXPECT_EQ(RunExitCode(), 1);
        const std::string text = refusal;
        EXPECT_TRUE(
            Logged("NNTP Error " + text.substr(0, 3) + " auf news.example: " + text.substr(4)));
        EXPECT_EQ(Sent(), "ARTICLE 1\r\nARTICLE 2\r\nARTICLE 3\r\n");
        EXPECT_EQ(Groups()[0], "de.a 2");
        EXPECT_EQ(Groups()[1], "de.b 0");
        ASSERT_EQ(SpoolFiles().size(), 1u);
        EXPECT_EQ(Batch(SpoolFiles()[0]).size(), 1u);
        Task.reset();
        std::filesystem::remove(Spool + SpoolFiles()[0]);
        NNTPTasks.SaveAndClear();
        ConfigList.FreeAll();
    }
}

// With a window the task keeps several requests on their way, asks for one more with every
// answer, and counts the group done only when every request is answered.
TEST_F(NntpTaskTest, WindowKeepsRequestsOnTheirWay) {
    Window = 4;
    Box("de.a 0\r\nde.b 0\r\n");
    Open("0 1", "211 10 1 10 de.a");
    EXPECT_EQ(Sent(), "ARTICLE 1\r\nARTICLE 2\r\nARTICLE 3\r\nARTICLE 4\r\n");
    Feed(Article(1, "de.a"));
    EXPECT_EQ(Sent(), "ARTICLE 5\r\n");
    Feed("423 expired\r\n");
    EXPECT_EQ(Sent(), "ARTICLE 6\r\n");
    Running = false;  // a soft stop: what is on its way still arrives and is stored
    Feed(Article(3, "de.a") + Article(4, "de.a") + Article(5, "de.a"));
    EXPECT_EQ(Sent(), "");
    EXPECT_EQ(Task->State, 1);
    Feed(Article(6, "de.a"));
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(Sent(), "");
    EXPECT_EQ(Groups()[0], "de.a 6");
    ASSERT_EQ(SpoolFiles().size(), 1u);
    const auto articles = Batch(SpoolFiles()[0]);
    ASSERT_EQ(articles.size(), 5u);
    EXPECT_NE(articles[4].find("body of 6"), std::string::npos);
}

TEST_F(NntpTaskTest, ConnectionLostWithRequestsOnTheirWayRecordsWhatArrived) {
    Window = 8;
    Box("de.a 0\r\n");
    Open("0 0", "211 20 1 20 de.a");
    Feed(Article(1, "de.a") + Article(2, "de.a") + "220 3 <3@de.a>\r\nFrom: p@x\r\n");
    Fake->PeerClose();
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(Groups()[0], "de.a 2");
    EXPECT_EQ(Batch(SpoolFiles().at(0)).size(), 2u);
}

TEST_F(NntpTaskTest, RangeOfCommentsOnlyEndsAtOnce) {
    Box("! header\r\n#x\r\n$y\r\n\r\nde.a 0\r\n");
    Start("0 3");
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(Fake, nullptr);
}

TEST_F(NntpTaskTest, HeaderOnlyGroupFetchesHeadsAndMarksThem) {
    Box("de.h 0 HdrOnly\r\n");
    Open("0 0", "211 1 1 1 de.h");
    EXPECT_EQ(Sent(), "HEAD 1\r\n");
    Feed(
        "221 1 <1@de.h>\r\nFrom: p@x\r\nNewsgroups: de.h\r\nSubject: head\r\n"
        "Message-ID: <1@de.h>\r\n.\r\n");
    EXPECT_TRUE(Logged("Hole 1 Artikelheader in der Newsgroup de.h"));
    auto files = SpoolFiles();
    ASSERT_EQ(files.size(), 1u);
    auto articles = Batch(files[0]);
    ASSERT_EQ(articles.size(), 1u);
    // The head as received with the mark, ending as a header block ends (no body added).
    EXPECT_EQ(articles[0],
              "From: p@x\r\nNewsgroups: de.h\r\nSubject: head\r\nMessage-ID: <1@de.h>\r\n"
              "X-XP-Mode: HdrOnly\r\n\r\n");
    EXPECT_EQ(Groups()[0], "de.h 1 HdrOnly");
}

TEST_F(NntpTaskTest, MissingGroupLeavesANoticeAndTheRangeGoesOn) {
    Box("gone.group 5\r\nde.a 0\r\n");
    Start("0 1");
    Greet();
    Sent();
    Feed("411 no such group\r\n");
    EXPECT_TRUE(Logged("NNTP Error 411 auf news.example: no such group"));
    EXPECT_EQ(Sent(), "GROUP de.a\r\n");
    auto files = SpoolFiles();
    ASSERT_EQ(files.size(), 1u);
    auto notice = Batch(files[0]);
    ASSERT_EQ(notice.size(), 1u);
    EXPECT_NE(notice[0].find("Subject: Diese Newsgroup existiert nicht mehr"), std::string::npos);
    EXPECT_NE(notice[0].find("Newsgroups: gone.group"), std::string::npos);
    EXPECT_NE(notice[0].find("nicht verf\xFCgbar"), std::string::npos);
    EXPECT_NE(notice[0].find("Fehlermeldung: no such group"), std::string::npos);
    Feed("211 1 1 1 de.a\r\n");
    Feed(Article(1, "de.a"));
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(Groups()[0], "gone.group 5");
    EXPECT_EQ(Groups()[1], "de.a 1");
    EXPECT_EQ(RunExitCode(), 0);  // the notice tells the point program; nothing failed
}

TEST_F(NntpTaskTest, ConnectionLostInAGroupKeepsWhatArrivedAndRecordsIt) {
    Box("de.a 0\r\nde.b 0\r\n");
    Start("0 1");
    Greet();
    Feed("211 5 1 5 de.a\r\n");
    Feed(Article(1, "de.a"));
    Feed(Article(2, "de.a"));
    EXPECT_EQ(Sent(), "GROUP de.a\r\nARTICLE 1\r\nARTICLE 2\r\nARTICLE 3\r\n");
    Feed("220 3 <3@de.a>\r\nFrom: p@x\r\n");
    PeerClose();
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(RunExitCode(), 1);
    EXPECT_TRUE(Logged("Server news.example hat die Verbindung vorzeitig beendet"));
    auto files = SpoolFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(Batch(files[0]).size(), 2u);
    // Article 3 was never complete: the next run asks for it again.
    EXPECT_EQ(Groups()[0], "de.a 2");
    EXPECT_EQ(Groups()[1], "de.b 0");
    Task.reset();
    EXPECT_EQ(SpoolFiles().size(), 1u);
}

// A greeting cut short by the server's close: whatever the client then tries must end the task
// with an error, not leave it running while the run waits for ever.
TEST_F(NntpTaskTest, GreetingCutShortByACloseEndsTheTask) {
    Box("de.a 0\r\n");
    Start("0 0");
    Fake->AcceptConnect();
    Fake->FeedByNotice("200 news.ho");
    Fake->PeerCloseByNotice();
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(RunExitCode(), 1);
    EXPECT_EQ(Groups()[0], "de.a 0");
}

// Article numbers that are no numbers (a sign, 20 digits) make no empty group: the run must not
// report success while the group's articles stay unseen. The line keeps its number.
TEST_F(NntpTaskTest, GroupReplyWithoutArticleNumbersEndsTheTaskWithExitCode1) {
    Box("de.a 5\r\nde.b 0\r\n");
    Open("0 1", "211 99999999999999999999 -3 99999999999999999999 de.a");
    EXPECT_EQ(Sent(), "");
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(RunExitCode(), 1);
    EXPECT_TRUE(
        Logged("Error auf news.example: GROUP-Antwort \"211 99999999999999999999 -3 "
               "99999999999999999999 de.a\" ist ung\xC3\xBCltig"));
    Task.reset();
    EXPECT_EQ(Groups()[0], "de.a 5");
    EXPECT_TRUE(SpoolFiles().empty());
}

TEST_F(NntpTaskTest, FailedBatchWriteKeepsTheLineAndSetsTheExitCode) {
    Box("de.a 0\r\n");
    Open("0 0", "211 1 1 1 de.a");
    std::filesystem::remove_all(Spool);
    Feed(Article(1, "de.a"));
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(Groups()[0], "de.a 0");
    EXPECT_EQ(RunExitCode(), 1);
}

TEST_F(NntpTaskTest, BatchThatCannotBeStoredLeavesNoTraceAndComesAgain) {
    Box("de.a 0\r\n", "NntpDupeSize=100\r\n");
    DupeCheck = new TMIDDupecheck();
    DupeCheck->MaxEntries = 100;
    Open("0 0", "211 2 1 2 de.a");
    Feed(Article(1, "de.a"));
    {
        FileSizeLimit full(64);
        Feed(Article(2, "de.a"));
    }
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(RunExitCode(), 1);
    EXPECT_TRUE(Logged(".tmp konnte nicht geschrieben werden: File too large"));
    // Nothing half-written is left, nothing is learned, the line stays.
    EXPECT_TRUE(FindFiles(Spool, "*").empty());
    EXPECT_EQ(DupeCheck->Count(), 0);
    EXPECT_EQ(Groups()[0], "de.a 0");
    Task.reset();

    // With room again the same articles are new and stored once.
    Open("0 0", "211 2 1 2 de.a");
    Feed(Article(1, "de.a"));
    Feed(Article(2, "de.a"));
    ASSERT_EQ(SpoolFiles().size(), 1u);
    EXPECT_EQ(Batch(SpoolFiles()[0]).size(), 2u);
    EXPECT_EQ(DupeCheck->Count(), 2);
    EXPECT_EQ(Groups()[0], "de.a 2");
}

// Each article is on disk as soon as it arrived, under the batch's temporary name; the batch
// takes its name, and the group's line moves, only when the group is complete. A disk that
// fills up in the middle of a group drops the group's batch and leaves its line alone.
TEST_F(NntpTaskTest, ArticlesGoToDiskAsTheyArrive) {
    Box("de.a 0\r\n", "NntpDupeSize=100\r\n");
    DupeCheck = new TCRCDupecheck();
    DupeCheck->MaxEntries = 100;
    const std::string big(300 * 1024, 'x');  // more than the write buffer holds
    Open("0 0", "211 3 1 3 de.a");
    Feed(Article(1, "de.a", "X-Big: " + big + "\r\n"));
    ASSERT_EQ(SpoolFiles("*.tmp").size(), 1u);
    EXPECT_GT(FileSizeOf(Spool + SpoolFiles("*.tmp")[0]), int64_t(big.size()));
    EXPECT_TRUE(SpoolFiles().empty());
    EXPECT_EQ(ReadFile(ProgramDir() + "news.rc"), "de.a 0\r\n");
    {
        FileSizeLimit full(64 * 1024);
        Feed(Article(2, "de.a", "X-Big: " + big + "\r\n"));
    }
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(RunExitCode(), 1);
    EXPECT_TRUE(Logged("konnte nicht geschrieben werden: File too large"));
    EXPECT_TRUE(FindFiles(Spool, "*").empty());
    EXPECT_EQ(DupeCheck->Count(), 0);
    Task.reset();  // a stop now has nothing to store and nothing to record
    EXPECT_EQ(Groups()[0], "de.a 0");
    EXPECT_TRUE(FindFiles(Spool, "*").empty());
}

// Two tasks fetch an article posted to both their groups: the second finds it taken, although
// the first has not stored it yet; once stored, the database holds it once.
TEST_F(NntpTaskTest, ArticleTakenByAnotherTaskIsADupeBeforeItIsStored) {
    Box("de.a 0\r\nde.b 0\r\n", "NntpDupeSize=100\r\n");
    DupeCheck = new TMD5Dupecheck();
    DupeCheck->MaxEntries = 100;
    Open("0 0", "211 2 1 2 de.a");
    Feed(Article(1, "both"));
    auto first = std::move(Task);
    Open("1 1", "211 1 1 1 de.b");
    Feed(Article(1, "both"));
    EXPECT_TRUE(Logged("Artikel 1 in de.b ist doppelt und wurde nicht gespeichert"));
    EXPECT_EQ(DupeCheck->Count(), 0);
    first.reset();  // stopped: stores what it holds
    EXPECT_EQ(DupeCheck->Count(), 1);
    EXPECT_EQ(SpoolFiles().size(), 1u);
}

TEST_F(NntpTaskTest, StoppedTaskStoresItsArticlesOnceAndRecordsThem) {
    Box("de.a 0\r\n");
    Open("0 0", "211 9 1 9 de.a");
    Feed(Article(1, "de.a"));
    Feed(Article(2, "de.a"));
    // The hard stop frees the task while it waits for article 3.
    Task.reset();
    auto files = SpoolFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(Batch(files[0]).size(), 2u);
    EXPECT_EQ(Groups()[0], "de.a 2");
    EXPECT_EQ(Config().NntpRunning, 0);
}

TEST_F(NntpTaskTest, SoftStopFinishesTheGroupBetweenArticles) {
    Box("de.a 0\r\nde.b 0\r\n");
    Start("0 1");
    Greet();
    Feed("211 9 1 9 de.a\r\n");
    Running = false;
    Feed(Article(1, "de.a"));
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(Groups()[0], "de.a 1");
    EXPECT_EQ(SpoolFiles().size(), 1u);
    EXPECT_EQ(Sent(), "GROUP de.a\r\nARTICLE 1\r\n");
}

// Servers and gateways change the letter case of Message-IDs: the same article crossposted to two
// groups is still stored once.
TEST_F(NntpTaskTest, MessageIdsThatDifferOnlyInCaseAreOneArticle) {
    Box("de.a 0\r\nde.b 0\r\n", "NntpDupeSize=100\r\n");
    DupeCheck = new TMIDDupecheck();
    DupeCheck->MaxEntries = 100;
    auto Crossposted = [](const std::string& Id) {
        return "220 1 " + Id + "\r\nFrom: p@x\r\nNewsgroups: de.a,de.b\r\nSubject: twice\r\n" +
               "Message-ID: " + Id + "\r\n\r\nbody\r\n.\r\n";
    };
    Open("0 1", "211 1 1 1 de.a");
    Feed(Crossposted("<Part.One@Example.ORG>"));
    EXPECT_EQ(Sent(), "ARTICLE 1\r\nGROUP de.b\r\n");
    Feed("211 1 1 1 de.b\r\n");
    Feed(Crossposted("<part.one@example.org>"));
    EXPECT_EQ(Task->State, 3);
    EXPECT_TRUE(Logged("Artikel 1 in de.b ist doppelt und wurde nicht gespeichert"));
    EXPECT_EQ(NewsCount, 1);
    auto Files = SpoolFiles();
    ASSERT_EQ(Files.size(), 1u);
    auto Stored = Batch(Files[0]);
    ASSERT_EQ(Stored.size(), 1u);
    EXPECT_NE(Stored[0].find("Message-ID: <Part.One@Example.ORG>"), std::string::npos);
    ASSERT_EQ(Groups().Count(), 2);
    EXPECT_EQ(Groups()[1], "de.b 1");
}

TEST_F(NntpTaskTest, DuplicatesAreCountedOnceWhenTheBoxAsksForIt) {
    Box("de.a 0\r\nde.b 0\r\n", "NntpDupeSize=100\r\n");
    DupeCheck = new TMIDDupecheck();
    DupeCheck->MaxEntries = 100;
    Open("0 1", "211 1 1 1 de.a");
    Feed(Article(1, "x"));
    Feed("211 1 1 1 de.b\r\n");
    Feed(Article(1, "x"));
    EXPECT_EQ(Task->State, 3);
    EXPECT_TRUE(Logged("Artikel 1 in de.b ist doppelt und wurde nicht gespeichert"));
    EXPECT_EQ(SpoolFiles().size(), 1u);
    EXPECT_EQ(NewsCount, 1);
    EXPECT_EQ(Groups()[1], "de.b 1");
}

TEST_F(NntpTaskTest, LogonRejectedEndsTheTaskWithExitCode1) {
    for (const char* refusal : {"481 rejected", "482 out of sequence", "502 no permission"}) {
        SCOPED_TRACE(refusal);
        SetRunExitCode(0);
        Box("de.a 0\r\n", "NntpUser=reader\r\nNntpPass=wrong\r\n");
        Start("0 0");
        Greet();
        EXPECT_EQ(Sent(), "AUTHINFO USER reader\r\n");
        Feed("381 password\r\n");
        EXPECT_EQ(Sent(), "AUTHINFO PASS wrong\r\n");
        Feed(std::string(refusal) + "\r\n");
        EXPECT_EQ(Task->State, 3);
        const std::string text = refusal;
        EXPECT_TRUE(
            Logged("NNTP Error " + text.substr(0, 3) + " auf news.example: " + text.substr(4)));
        EXPECT_EQ(RunExitCode(), 1);
        EXPECT_EQ(Groups()[0], "de.a 0");
        // Until the run loop frees it, the idle connection of a finished task is no failure.
        bool reset = true;
        Task->Client->DoIdleTimeout(Task->Client->SocketHandle(), reset);
        EXPECT_FALSE(reset);
        EXPECT_FALSE(Logged("Socket Timeout"));
        Task.reset();
        NNTPTasks.SaveAndClear();
        ConfigList.FreeAll();
    }
}

// The first article carries an attachment in base64 lines of 120 characters, as some mailers
// write them, and one whose uuencoded body is broken. Neither keeps an article from being stored,
// nor the line from moving past it: the long lines are read as data, the broken part stays in the
// article as it came, and the next article follows.
TEST_F(NntpTaskTest, AttachmentsThatBendOrBreakTheEncodingLoseNoArticle) {
    const std::string Extract = ProgramDir() + "files/";
    std::filesystem::create_directories(Extract);
    Box("de.a 0\r\n",
        "ExtractAttach=enabled\r\nDeleteAttach=enabled\r\nExtractPath=" + Extract + "\r\n");
    const TBentAttachments Files;
    Open("0 0", "211 2 1 2 de.a");
    Feed(
        "220 1 <1@de.a> article\r\nFrom: poster@example\r\nNewsgroups: de.a\r\n"
        "Subject: files\r\nMessage-ID: <1@de.a>\r\n" +
        Files.Mime + ".\r\n");
    EXPECT_EQ(Sent(), "ARTICLE 1\r\nARTICLE 2\r\n");
    Feed(Article(2, "de.a"));
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(RunExitCode(), 0);
    EXPECT_EQ(Groups()[0], "de.a 2");
    EXPECT_EQ(NewsCount, 2);
    ASSERT_EQ(SpoolFiles().size(), 1u);
    const auto Articles = Batch(SpoolFiles()[0]);
    ASSERT_EQ(Articles.size(), 2u);
    EXPECT_NE(Articles[0].find(Files.NoticeStart), std::string::npos) << Articles[0];
    EXPECT_NE(Articles[0].find("filename=broken.bin\r\n\r\n" + Files.Broken), std::string::npos)
        << Articles[0];
    EXPECT_EQ(ReadFile(Extract + "long.bin"), Files.Content);
    EXPECT_FALSE(FileExists(Extract + "broken.bin"));
    EXPECT_TRUE(Logged("Anhang " + Extract + "broken.bin konnte nicht dekodiert werden"));
}

// A dupe check that meets a fault on one article, as a failed allocation would.
class TFaultingDupecheck : public TMIDDupecheck {
  protected:
    std::string Fingerprint(TIpMessage& message) override {
        if (message.MessageID == "<2@de.a>") throw std::bad_alloc();
        return TMIDDupecheck::Fingerprint(message);
    }
};

// An article that meets a fault before it is stored ends the task, and the group's line stays
// before it: the next run asks for it again instead of passing it over for good.
TEST_F(NntpTaskTest, AnArticleThatMeetsAFaultIsAskedForAgain) {
    Box("de.a 0\r\n", "NntpDupeSize=100\r\n");
    DupeCheck = new TFaultingDupecheck();
    DupeCheck->MaxEntries = 100;
    Open("0 0", "211 3 1 3 de.a");
    Feed(Article(1, "de.a"));
    Feed(Article(2, "de.a"));
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(RunExitCode(), 1);
    Task.reset();
    EXPECT_EQ(Groups()[0], "de.a 1");
    ASSERT_EQ(SpoolFiles().size(), 1u);
    EXPECT_EQ(Batch(SpoolFiles()[0]).size(), 1u);
    EXPECT_TRUE(Logged("std::bad_alloc"));
}

// The task view shows what a news task moved: every byte received and sent, counted when each
// reply has been read, whatever the client's timer reported in between.
TEST_F(NntpTaskTest, CountsEveryByteOfTheSessionAsTheRepliesArrive) {
    Box("de.a 0\r\nde.b 0\r\n");
    Start("0 1");
    int64_t Received = 0;
    int64_t Written = 0;
    auto Say = [&](const std::string& Bytes) {
        Written += int64_t(Sent().size());
        Feed(Bytes);
        Received += int64_t(Bytes.size());
    };
    Greet();
    Received += int64_t(std::string("200 news.example ready\r\n").size());
    Say("211 2 1 2 de.a\r\n");
    for (int64_t N : {1, 2}) {
        Say(Article(N, "de.a"));
        EXPECT_EQ(Task->Bytes, Received + Written) << "after article " << N;
    }
    Say("211 2 1 2 de.b\r\n");
    Say("430 no such article\r\n");  // a missing article is counted too
    EXPECT_EQ(Task->Bytes, Received + Written);
    Say(Article(2, "de.b"));
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(Task->Bytes, Received + Written);
    // A progress report of the article's own count adds nothing the session had not counted.
    Task->DoProgress(Task->Client.get(), 10);
    EXPECT_EQ(Task->Bytes, Received + Written);
}

class NntpPostTest : public NntpTaskTest {
  protected:
    void Outgoing(const std::string& name, const std::string& extra = "") {
        WriteFile(Spool + name, "From: me@example\r\nNewsgroups: de.test\r\nSubject: " + name +
                                    "\r\n" + extra + "\r\n.dotted line\r\nbody\r\n");
    }
};

TEST_F(NntpPostTest, EveryFileIsDeletedOnlyAfterTheServerTookIt) {
    Box("");
    GlobalConfig.Version = "1.2";
    Outgoing("N1.OUT");
    Outgoing("N2.OUT", "X-Newsreader: OpenXP 5\r\n");
    Outgoing("N3.OUT");
    Start("SendNews");
    EXPECT_TRUE(Logged("Versende 3 ausgehenden News in Verzeichnis " + Spool));
    Greet();
    EXPECT_EQ(Sent(), "GROUP de.test\r\n");
    Feed("211 0 0 0 de.test\r\n");
    EXPECT_EQ(Sent(), "POST\r\n");
    Feed("340 send\r\n");
    // The article as the point program wrote it, dot-stuffed, with the banner as its only change.
    EXPECT_EQ(Sent(),
              "From: me@example\r\nNewsgroups: de.test\r\nSubject: N1.OUT\r\n"
              "X-Newsreader: Orvalin Kestro V1.2\r\n\r\n..dotted line\r\nbody\r\n.\r\n");
    EXPECT_EQ(SpoolFiles("N*.OUT").size(), 3u);
    Feed("240 posted\r\n");
    EXPECT_EQ(SpoolFiles("N*.OUT").size(), 2u);
    EXPECT_EQ(Sent(), "POST\r\n");
    Feed("340 send\r\n");
    std::string second = Sent();
    EXPECT_NE(second.find("X-Newsreader: OpenXP 5 via Kestro\r\n"), std::string::npos);
    EXPECT_NE(second.find("X-NNTP-Client: Orvalin Kestro V1.2\r\n"), std::string::npos);
    Feed("240 posted\r\n340 send\r\n");
    Feed("240 posted\r\n");
    EXPECT_EQ(Task->State, 3);
    EXPECT_TRUE(SpoolFiles("N*.OUT").empty());
    EXPECT_EQ(NewsCount, 3);
    EXPECT_EQ(RunExitCode(), 0);
    EXPECT_TRUE(Logged("Versende Artikel 1 von 3"));
    EXPECT_TRUE(Logged("Versende Artikel 2 von 3"));
    EXPECT_TRUE(Logged("Versende Artikel 3 von 3"));
}

// An article the server refuses (a group it does not carry) would meet the same refusal on
// every run: it stays in the spool as written, and the articles after it still go out.
TEST_F(NntpPostTest, RefusedPostStaysAndTheLaterOnesGoOut) {
    Box("");
    Outgoing("N1.OUT");
    Outgoing("N2.OUT");
    Outgoing("N3.OUT");
    const std::string Refused = ReadFile(Spool + "N2.OUT");
    Start("SendNews");
    Greet();
    Feed("211 0 0 0 de.test\r\n340 send\r\n240 posted\r\n");
    Sent();
    Feed("340 send\r\n");
    Sent();
    Feed("441 posting failed\r\n");
    EXPECT_EQ(Sent(), "POST\r\n");
    EXPECT_NE(Task->State, 3);
    Feed("340 send\r\n240 posted\r\n");
    EXPECT_EQ(Task->State, 3);
    EXPECT_TRUE(Logged("NNTP Error 441 auf news.example: posting failed"));
    EXPECT_TRUE(Logged("Artikel 2 (" + Spool + "N2.OUT) wurde abgewiesen und bleibt im Spool"));
    EXPECT_EQ(SpoolFiles("N*.OUT"), std::vector<std::string>{"N2.OUT"});
    EXPECT_EQ(ReadFile(Spool + "N2.OUT"), Refused);
    EXPECT_EQ(RunExitCode(), 1);  // an unattended caller learns that a post is still there
}

// A run that ended between the server's acceptance and the deletion leaves a file the server
// has already: its refusal of the copy is a delivery, or no later article would ever go out.
TEST_F(NntpPostTest, ArticleTheServerHoldsAlreadyCountsAsDelivered) {
    Box("");
    Outgoing("N1.OUT");
    Outgoing("N2.OUT");
    Outgoing("N3.OUT");
    Start("SendNews");
    Greet();
    Feed("211 0 0 0 de.test\r\n340 send\r\n");
    Sent();
    Feed("441 435 Duplicate\r\n");
    EXPECT_EQ(SpoolFiles("N*.OUT"), (std::vector<std::string>{"N2.OUT", "N3.OUT"}));
    EXPECT_TRUE(
        Logged("Artikel 1 ist auf news.example bereits vorhanden und gilt als versandt: "
               "441 435 Duplicate"));
    EXPECT_EQ(Sent(), "POST\r\n");
    Feed("340 send\r\n240 posted\r\n");
    Feed("340 send\r\n437 Duplicate article\r\n");
    EXPECT_TRUE(
        Logged("Artikel 3 ist auf news.example bereits vorhanden und gilt als versandt: "
               "437 Duplicate article"));
    EXPECT_EQ(Task->State, 3);
    EXPECT_TRUE(SpoolFiles("N*.OUT").empty());
    EXPECT_EQ(RunExitCode(), 0);
    EXPECT_FALSE(Logged("NNTP Error"));
}

// Every other refusal, a 437 for any reason but a duplicate among them, keeps the article. A
// 441 passes it over to the next; the others end the task, keeping the rest too.
TEST_F(NntpPostTest, RefusalForAnyOtherReasonKeepsTheFile) {
    for (const char* Refusal : {"441 437 Unwanted newsgroup \"de.test\"", "437 Too old",
                                "441 4350 odd", "441 Duplicate", "436 try again later"}) {
        SCOPED_TRACE(Refusal);
        const std::string Text = Refusal;
        const bool PassedOver = Text.starts_with("441");
        SetRunExitCode(0);
        Box("");
        Outgoing("N1.OUT");
        Outgoing("N2.OUT");
        Start("SendNews");
        Greet();
        Feed("211 0 0 0 de.test\r\n340 send\r\n" + Text + "\r\n");
        if (PassedOver) Feed("340 send\r\n240 posted\r\n");
        EXPECT_EQ(Task->State, 3);
        EXPECT_EQ(RunExitCode(), 1);
        EXPECT_TRUE(
            Logged("NNTP Error " + Text.substr(0, 3) + " auf news.example: " + Text.substr(4)));
        const std::vector<std::string> Left = PassedOver
                                                  ? std::vector<std::string>{"N1.OUT"}
                                                  : std::vector<std::string>{"N1.OUT", "N2.OUT"};
        EXPECT_EQ(SpoolFiles("N*.OUT"), Left);
        Task.reset();
        NNTPTasks.SaveAndClear();
        ConfigList.FreeAll();
        for (const std::string& Name : SpoolFiles("N*.OUT")) DeleteFile(Spool + Name);
    }
}

TEST_F(NntpPostTest, ConnectionLostDuringThePostKeepsTheFile) {
    Box("");
    Outgoing("N1.OUT");
    Start("SendNews");
    Greet();
    Feed("411 unknown group\r\n340 send\r\n");  // posting needs no group the server carries
    PeerClose();
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(RunExitCode(), 1);
    EXPECT_EQ(SpoolFiles("N*.OUT").size(), 1u);
    EXPECT_TRUE(SpoolFiles().empty());  // and no notice for the group
}

// A news fallback box posts from the same spool: its task must wait for the box's own.
TEST_F(NntpPostTest, PostingTaskHoldsItsSpoolWhileItExists) {
    Box("");
    Outgoing("N1.OUT");
    TKestroConfig fallback;
    fallback.NntpSpool = Spool;
    TKestroConfig elsewhere;
    elsewhere.NntpSpool = ProgramDir();
    EXPECT_FALSE(NntpPostingBusy(fallback));
    Start("SendNews");
    EXPECT_TRUE(NntpPostingBusy(fallback));
    EXPECT_FALSE(NntpPostingBusy(elsewhere));
    Task.reset();
    EXPECT_FALSE(NntpPostingBusy(fallback));
}

TEST_F(NntpPostTest, NoOutgoingFilesEndsWithoutConnecting) {
    Box("");
    Start("SendNews");
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(Fake, nullptr);
    EXPECT_TRUE(Logged("Versende 0 ausgehenden News"));
}

TEST_F(NntpTaskTest, GroupListIsFetchedWholeTheFirstTime) {
    Box("");
    Start("GetGroups");
    Greet();
    EXPECT_EQ(Sent(), "LIST\r\n");
    Feed("215 list follows\r\nzeta.group 2 1 y\r\nAlpha.group 5 3 m\r\nbeta*x 1 1 y\r\n.\r\n");
    EXPECT_EQ(Task->State, 3);
    auto bl = GroupList();
    ASSERT_EQ(bl.size(), 4u);
    EXPECT_EQ(bl[0].substr(0, 12), "!new_groups:");
    EXPECT_EQ(bl[0].size(), 25u);
    EXPECT_EQ(std::vector<std::string>(bl.begin() + 1, bl.end()),
              (std::vector<std::string>{"Alpha.group ", "beta ", "zeta.group "}));
    EXPECT_NE(ReadFile(ProgramDir() + "news.bl").find("\r\n"), std::string::npos);
}

TEST_F(NntpTaskTest, RefusedListWritesNoGroupList) {
    Box("");
    Start("GetGroups");
    Greet();
    Sent();
    Feed("502 not allowed\r\n");
    EXPECT_EQ(Task->State, 3);
    EXPECT_FALSE(FileExists(ProgramDir() + "news.bl"));
    EXPECT_TRUE(Logged("NNTP Error 502 auf news.example: not allowed"));
    EXPECT_EQ(RunExitCode(), 1);
}

// A reply other than the listing's own, a success code among them, is a failed command: the
// group list stays as it was (none, or the old one), and the run says so.
TEST_F(NntpTaskTest, ListingAnsweredWithAnotherCodeKeepsTheGroupList) {
    const std::string old = "!new_groups:261201 093000\r\nb.old \r\n";
    const struct {
        bool HasList;
        const char* Reply;
        const char* Logged;
    } cases[] = {
        {false, "200 ok", "NNTP Error 200 auf news.example: ok"},
        {false, "231 new groups", "NNTP Error 231 auf news.example: new groups"},
        {true, "215 list follows", "NNTP Error 215 auf news.example: list follows"},
        {true, "200 ok", "NNTP Error 200 auf news.example: ok"},
    };
    Box("");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Reply);
        LogLines.clear();
        SetRunExitCode(0);
        Fake = nullptr;
        DeleteFile(ProgramDir() + "news.bl");
        if (c.HasList) WriteFile(ProgramDir() + "news.bl", old);
        Start("GetGroups");
        Greet();
        EXPECT_EQ(Sent(), c.HasList ? "NEWGROUPS 261201 093000\r\n" : "LIST\r\n");
        Feed(std::string(c.Reply) + "\r\n.\r\n");
        EXPECT_EQ(Task->State, 3);
        if (c.HasList)
            EXPECT_EQ(ReadFile(ProgramDir() + "news.bl"), old);
        else
            EXPECT_FALSE(FileExists(ProgramDir() + "news.bl"));
        EXPECT_TRUE(Logged(c.Logged));
        EXPECT_EQ(RunExitCode(), 1);
        EXPECT_TRUE(SpoolFiles().empty());
        Task.reset();
    }
}

TEST_F(NntpTaskTest, NewGroupsAreMergedAndAnnouncedByMail) {
    Box("");
    WriteFile(ProgramDir() + "news.bl", "!new_groups:261201 093000\r\nb.old \r\nd.old \r\n");
    Start("GetGroups");
    Greet();
    EXPECT_EQ(Sent(), "NEWGROUPS 261201 093000\r\n");
    Feed("231 new\r\nc.new 1 1 y\r\na.new 1 1 y\r\n.\r\n");
    EXPECT_EQ(Task->State, 3);
    auto bl = GroupList();
    ASSERT_EQ(bl.size(), 5u);
    EXPECT_NE(bl[0], "!new_groups:261201 093000");
    EXPECT_EQ(std::vector<std::string>(bl.begin() + 1, bl.end()),
              (std::vector<std::string>{"a.new ", "b.old ", "c.new ", "d.old "}));
    auto mails = SpoolFiles();
    ASSERT_EQ(mails.size(), 1u);
    std::string mail = ReadFile(Spool + mails[0]);
    EXPECT_EQ(mail.substr(0, 7), "HELO \r\n");
    EXPECT_NE(mail.find("Subject: Liste neuer Newsgroups auf news.example"), std::string::npos);
    EXPECT_LT(mail.find("a.new 1 1 y"), mail.find("c.new 1 1 y"));
}

TEST_F(NntpTaskTest, NoNewGroupsLeavesTheListAlone) {
    Box("");
    const std::string old = "!new_groups:261201 093000\r\nb.old \r\n";
    WriteFile(ProgramDir() + "news.bl", old);
    Start("GetGroups");
    Greet();
    Feed("231 none\r\n.\r\n");
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(ReadFile(ProgramDir() + "news.bl"), old);
    EXPECT_TRUE(SpoolFiles().empty());
}

TEST_F(NntpTaskTest, RequestedMessageIdsAreFetchedIntoOneBatch) {
    Box("");
    WriteFile(ProgramDir() + "news.mid", "<a@x>\r\nb@x\r\n\r\n");
    Start("GetMsgIDs");
    EXPECT_TRUE(Logged("Bearbeite 2 MessageID Anforderungen"));
    Greet();
    EXPECT_EQ(Sent(), "ARTICLE <a@x>\r\n");
    Feed("220 0 <a@x>\r\nMessage-ID: <a@x>\r\nSubject: a\r\n\r\nbody\r\n.\r\n");
    EXPECT_EQ(Sent(), "ARTICLE <b@x>\r\n");
    Feed("430 no such article\r\n");
    EXPECT_EQ(Task->State, 3);
    EXPECT_TRUE(SpoolFiles().empty());  // written when the task is freed
    Task.reset();
    auto files = SpoolFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(Batch(files[0]).size(), 1u);
}

// ---- batch bytes ----------------------------------------------------------------------------

// The batches of each kind of fetch, byte for byte as they have always been written: the files
// in data/batches were written by the collecting container this task used before it wrote each
// article to disk as it came (KESTRO_WRITE_GOLDEN=1 writes them anew).
// Each runs with one request at a time and with a window of requests on their way.
class NntpBatchBytesTest : public NntpTaskTest, public ::testing::WithParamInterface<int32_t> {
  protected:
    void SetUp() override {
        NntpTaskTest::SetUp();
        Window = GetParam();
    }
    // Every batch of the spool in name order, concatenated, then the spool emptied.
    std::string TakeBatches() {
        std::string all;
        for (const std::string& name : SpoolFiles()) {
            all += "== batch\n" + ReadFile(Spool + name);
            std::filesystem::remove(Spool + name);
        }
        return all;
    }
    void ExpectGolden(const std::string& name, const std::string& bytes) {
        const std::string path =
            std::string(KESTRO_SOURCE_DIR) + "/tests/app/engine/data/batches/" + name;
        if (std::getenv("KESTRO_WRITE_GOLDEN")) WriteFile(path, bytes);
        EXPECT_EQ(bytes, ReadFile(path)) << name;
    }
    static std::string Raw(int64_t number, const std::string& subject, const std::string& body) {
        const std::string n = std::to_string(number);
        return "220 " + n + " <" + n + "@g>\r\nFrom: p@example\r\nNewsgroups: de.g\r\n" +
               "Subject: " + subject + "\r\nMessage-ID: <" + n + "." + subject.substr(0, 2) +
               "@g>\r\n\r\n" + body + ".\r\n";
    }
    // Five articles with subjects that sort apart, a dot-stuffed line, 8-bit bytes, a
    // missing article between them.
    void FeedGroup() {
        Feed(Raw(1, "Re: beta", "first beta\r\n..dotted\r\n"));
        Feed(Raw(2, "alpha", "\xE4\xF6\xFC \xDF\r\n"));
        Feed("423 expired\r\n");
        Feed(Raw(4, "beta", "second beta\r\n"));
        Feed(Raw(5, "AW: Alpha", "second alpha\r\n\r\n"));
        Feed(Raw(6, "Fwd: zeta", "forwarded\r\n"));
    }
};

TEST_P(NntpBatchBytesTest, UnsortedAndSortedGroups) {
    for (const char* sort : {"0", "1"}) {
        SCOPED_TRACE(sort);
        Box("de.g 0\r\n", std::string("NntpSort=") + sort + "\r\n");
        Open("0 0", "211 6 1 6 de.g");
        FeedGroup();
        EXPECT_EQ(Task->State, 3);
        EXPECT_EQ(Groups()[0], "de.g 6");
        ExpectGolden(std::string("group-sort") + sort + ".batch", TakeBatches());
        Task.reset();
        NNTPTasks.SaveAndClear();
        ConfigList.FreeAll();
    }
}

TEST_P(NntpBatchBytesTest, HeaderOnlyGroup) {
    Box("de.g 0 HdrOnly\r\n");
    Open("0 0", "211 2 1 2 de.g");
    Feed("221 1 <1@g>\r\nFrom: p@example\r\nSubject: one\r\nMessage-ID: <1@g>\r\n.\r\n");
    Feed("221 2 <2@g>\r\nFrom: p@example\r\nSubject: two\r\nMessage-ID: <2@g>\r\n.\r\n");
    ExpectGolden("header-only.batch", TakeBatches());
}

TEST_P(NntpBatchBytesTest, DupesAcrossGroupsAndRequestedIds) {
    Box("de.g 0\r\nde.h 0\r\n", "NntpDupeSize=100\r\nNntpSort=1\r\n");
    DupeCheck = new TCRCDupecheck();
    DupeCheck->MaxEntries = 100;
    Open("0 1", "211 6 1 6 de.g");
    FeedGroup();
    Feed("211 3 1 3 de.h\r\n");
    Feed(Raw(1, "Re: beta", "first beta\r\n..dotted\r\n"));  // posted to both groups
    Feed(Raw(2, "gamma", "only here\r\n"));
    Feed(Raw(3, "alpha", "\xE4\xF6\xFC \xDF\r\n"));  // both groups as well
    EXPECT_EQ(Task->State, 3);
    std::string all = TakeBatches();
    Task.reset();

    WriteFile(ProgramDir() + "news.mid", "<a@x>\r\n<b@x>\r\n<c@x>\r\n");
    Start("GetMsgIDs");
    Greet();
    Feed("220 0 <a@x>\r\nMessage-ID: <a@x>\r\nSubject: zz\r\n\r\na\r\n.\r\n");
    Feed("430 no such article\r\n");
    Feed("220 0 <c@x>\r\nMessage-ID: <c@x>\r\nSubject: aa\r\n\r\nc\r\n.\r\n");
    Task.reset();
    all += TakeBatches();
    ExpectGolden("dupes-and-ids.batch", all);
}

TEST_P(NntpBatchBytesTest, ArticleAboveTheSizeLimitIsPassedOver) {
    Box("de.g 0\r\n");
    Open("0 0", "211 3 1 3 de.g");
    Feed(Raw(1, "small", "before\r\n"));
    Feed("220 2 <big@g>\r\nMessage-ID: <big@g>\r\n\r\n");
    std::string block;
    for (int i = 0; i < 1024; ++i) block += std::string(1023, 'x') + "\r\n";  // 1 MiB
    for (uint64_t sent = 0; sent <= NntpLimits::kMaxArticleSize; sent += block.size()) Feed(block);
    Feed(".\r\n");
    Feed(Raw(3, "small", "after\r\n"));
    EXPECT_EQ(Task->State, 3);
    EXPECT_EQ(Groups()[0], "de.g 3");
    ExpectGolden("oversize.batch", TakeBatches());
}

INSTANTIATE_TEST_SUITE_P(Windows, NntpBatchBytesTest, ::testing::Values(1, 16));

TEST(NntpGroupNames, FirstWordOfEveryPieceBetweenLineFeeds) {
    TStringList names;
    AddGroupListNames("de.a 1 1 y", names);
    AddGroupListNames("de.b*odd\nde.c 2 2 m", names);
    AddGroupListNames("", names);
    EXPECT_EQ(names.Text(), "de.a \r\nde.b \r\nde.c \r\n");
}

}  // namespace

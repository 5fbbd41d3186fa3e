#include "app/engine/UnitScheduler.h"

#include <cctype>

#include "platform/fs/Files.h"
#include "tests/app/engine/EngineFixture.h"

namespace {

// A queued task as one comparable line: kind, box index, command, task number, list index.
std::string Describe(const TTask& t) {
    std::string text = std::to_string(t.Kind) + " box" + std::to_string(t.ConfigIndex);
    if (!t.Command.empty()) text += " [" + t.Command + "]";
    text += " #" + std::to_string(t.TaskNo);
    if (t.Kind == tkNntp && std::isdigit(static_cast<unsigned char>(t.Command[0])))
        text += " list" + std::to_string(t.GroupListIndex);
    return text;
}

std::vector<std::string> Queue() {
    std::vector<std::string> lines;
    for (int32_t i = 0; i < TaskQueue.Count(); ++i) lines.push_back(Describe(*TaskQueue.Task(i)));
    return lines;
}

// A newsgroup list of n groups, every third one header-only, with a comment in front.
std::string GroupList(int groups) {
    std::string text = groups > 0 ? "# Gruppen\r\n" : "";
    for (int i = 1; i < groups; ++i)
        text += "de.test.g" + std::to_string(i) + " " + std::to_string(i * 10) +
                (i % 3 == 0 ? " HdrOnly" : "") + "\r\n";
    return text;
}

using SchedulerTest = EngineTest;

TEST_F(SchedulerTest, BoxWithFallbacksAndFurtherBoxesIsQueuedTaskByTask) {
    WriteFile("main.cfg",
              "DialOnStart=enabled\r\nHangupOnExit=enabled\r\nDialName=isp\r\n"
              "Pop3Server=pop\r\nSmtpServer=smtp\r\nNntpServer=news\r\n"
              "SmtpSpool=/spool/out/\r\nNntpSpool=/spool/news/\r\n");
    WriteFile("main.bfg",
              "client-mailfallback=mfall\r\nclient-newsfallback=nfall\r\n"
              "client-addservers=second  third\r\n");
    WriteFile("main.rc", GroupList(7));
    WriteFile("mfall.cfg", "SmtpServer=smtp2\r\nPop3Server=pop2\r\nSmtpSpool=/other/\r\n");
    WriteFile("nfall.cfg", "NntpServer=news2\r\nNntpSpool=/other/\r\nNntpGetNewsList=enabled\r\n");
    WriteFile("nfall.rc", GroupList(4));
    WriteFile("second.cfg", "Pop3Server=pop3\r\nNntpServer=news3\r\nNntpPosting=disabled\r\n");
    WriteFile("second.rc", GroupList(3));
    WriteFile("third.cfg", "SmtpServer=smtp4\r\n");
    GlobalConfig.MaxThreads = 8;

    AddConfigToToDo("main");

    const std::vector<std::string> expected = {
        "1 box0 #1",
        "3 box0 #2",
        "4 box0 #3",
        "5 box0 [GetGroups] #4",
        "5 box0 [SendNews] #5",
        "5 box0 [GetMsgIDs] #6",
        "5 box0 [0 0] #7 list0",
        "5 box0 [1 1] #8 list0",
        "5 box0 [2 2] #9 list0",
        "5 box0 [3 3] #10 list0",
        "5 box0 [4 4] #11 list0",
        "5 box0 [5 5] #12 list0",
        "5 box0 [6 6] #13 list0",
        "2 box0 #14",
        "4 box1 #15",             // mail fallback: its SMTP task only
        "5 box2 [SendNews] #16",  // news fallback: posting only
        "3 box3 #17",
        "5 box3 [GetGroups] #18",
        "5 box3 [GetMsgIDs] #19",
        "5 box3 [0 0] #20 list1",
        "5 box3 [1 1] #21 list1",
        "5 box3 [2 2] #22 list1",
        "4 box4 #23",
    };
    EXPECT_EQ(Queue(), expected);
    EXPECT_EQ(NNTPTasks.Count, 2);
    ASSERT_EQ(ConfigList.Count(), 5);
    const TKestroConfig& mailFallback = *ConfigList.GetConfig(1);
    EXPECT_TRUE(mailFallback.IsFallback);
    EXPECT_EQ(mailFallback.SmtpSpool, "/spool/out/");
    const TKestroConfig& newsFallback = *ConfigList.GetConfig(2);
    EXPECT_TRUE(newsFallback.IsFallback);
    EXPECT_EQ(newsFallback.NntpSpool, "/spool/news/");
    EXPECT_FALSE(ConfigList.GetConfig(3)->IsFallback);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(SchedulerTest, SendOnlyQueuesNoFetching) {
    WriteFile("box.cfg", "Pop3Server=pop\r\nSmtpServer=smtp\r\nNntpServer=news\r\n");
    WriteFile("box.rc", GroupList(5));
    OptSendOnly = true;
    AddConfigToToDo("box");
    const std::vector<std::string> expected = {
        "4 box0 #1",
        "5 box0 [GetGroups] #2",
        "5 box0 [SendNews] #3",
    };
    EXPECT_EQ(Queue(), expected);
    EXPECT_EQ(NNTPTasks.Count, 0);
}

TEST_F(SchedulerTest, RangesFollowMaxThreads) {
    WriteFile("box.cfg", "NntpServer=news\r\nNntpGetNewsList=n\r\nNntpPosting=n\r\n");
    WriteFile("box.rc", GroupList(100));
    const auto ranges = [&](int32_t maxThreads) {
        ResetEngine();
        GlobalConfig.MaxThreads = maxThreads;
        AddConfigToToDo("box");
        std::vector<std::string> commands;
        for (int32_t i = 1; i < TaskQueue.Count(); ++i)
            commands.push_back(TaskQueue.Task(i)->Command);
        NNTPTasks.SaveAndClear();
        return commands;
    };
    const std::vector<std::string> one = {"0 33", "34 67", "68 99"};
    EXPECT_EQ(ranges(1), one);
    const std::vector<std::string> three = {"0 11",  "12 23", "24 35", "36 47", "48 59",
                                            "60 71", "72 83", "84 95", "96 99"};
    EXPECT_EQ(ranges(3), three);
    const auto eight = ranges(8);
    ASSERT_EQ(eight.size(), 20u);
    EXPECT_EQ(eight.front(), "0 4");
    EXPECT_EQ(eight[1], "5 9");
    EXPECT_EQ(eight.back(), "95 99");
    // A dialog or registry that put 0 there must not stop the queueing.
    EXPECT_EQ(ranges(0), one);
    EXPECT_EQ(ranges(-3), one);
}

TEST_F(SchedulerTest, EmptyGroupListQueuesNoRangeButUsesItsIndex) {
    WriteFile("empty.cfg", "NntpServer=news\r\nNntpGetNewsList=n\r\nNntpPosting=n\r\n");
    WriteFile("empty.rc", "");
    WriteFile("full.cfg", "NntpServer=news\r\nNntpGetNewsList=n\r\nNntpPosting=n\r\n");
    // A box found in the point directory whose list lies in the program's directory.
    WriteFile(PointDir() + "far.cfg", "NntpServer=news\r\nNntpGetNewsList=n\r\nNntpPosting=n\r\n");
    WriteFile("far.rc", GroupList(2));
    WriteFile("full.rc", GroupList(2));
    AddConfigToToDo("empty");
    AddConfigToToDo("far");
    AddConfigToToDo("full");
    const std::vector<std::string> expected = {
        "5 box0 [GetMsgIDs] #1", "5 box1 [GetMsgIDs] #2", "5 box1 [0 0] #3 list1",
        "5 box1 [1 1] #4 list1", "5 box2 [GetMsgIDs] #5", "5 box2 [0 0] #6 list2",
        "5 box2 [1 1] #7 list2",
    };
    EXPECT_EQ(Queue(), expected);
    EXPECT_EQ(NNTPTasks.FileNames[1], ProgramDir() + "far.rc");
    EXPECT_EQ(NNTPTasks.Count, 3);
}

TEST_F(SchedulerTest, FurtherBoxesThatNameEachOtherAreQueuedOnce) {
    WriteFile("a.cfg", "SmtpServer=a\r\n");
    WriteFile("a.bfg", "client-addservers=b\r\n");
    WriteFile("b.cfg", "SmtpServer=b\r\n");
    WriteFile("b.bfg", "client-addservers=A.BFG c ./a\r\n");
    WriteFile("c.cfg", "SmtpServer=c\r\n");
    WriteFile("c.bfg", "client-addservers=b\r\n");
    AddConfigToToDo("a");
    const std::vector<std::string> expected = {"4 box0 #1", "4 box1 #2", "4 box2 #3"};
    EXPECT_EQ(Queue(), expected);
    ASSERT_EQ(LogLines.size(), 3u);
    EXPECT_NE(LogLines[0].find("A.BFG"), std::string::npos);
    EXPECT_NE(LogLines[1].find("./a"), std::string::npos);
    EXPECT_NE(LogLines[2].find("b"), std::string::npos);

    // A new call queues them again.
    AddConfigToToDo("a");
    EXPECT_EQ(TaskQueue.Count(), 6);
}

TEST_F(SchedulerTest, BoxesThatFailToLoadAreReportedAndSkipped) {
    WriteFile("a.cfg", "SmtpServer=a\r\nNntpServer=news\r\nNntpGetNewsList=n\r\n");
    WriteFile("a.bfg",
              "client-mailfallback=gone\r\nclient-newsfallback=news-fb\r\n"
              "client-addservers=missing c\r\n");
    WriteFile("news-fb.cfg", "NntpServer=fb\r\n");
    WriteFile("c.cfg", "SmtpServer=c\r\n");
    AddConfigToToDo("a");
    const std::vector<std::string> expected = {
        "4 box0 #1",
        "5 box0 [SendNews] #2",
        "5 box0 [GetMsgIDs] #3",
        "5 box2 [SendNews] #4",  // slot 1 is the mail fallback that failed
        "4 box4 #5",             // slot 3 is the missing further box
    };
    EXPECT_EQ(Queue(), expected);
    const std::vector<std::string> messages = {
        "Fehler: Konfig-Datei gone konnte nicht geladen werden",
        "Fehler: Konfig-Datei missing konnte nicht geladen werden",
    };
    EXPECT_EQ(Messages, messages);
    ASSERT_EQ(ConfigList.Count(), 5);
    EXPECT_EQ(ConfigList.GetConfig(1), nullptr);
    EXPECT_EQ(ConfigList.GetConfig(3), nullptr);
    EXPECT_THROW(ConfigList.GetConfig(5), ERangeError);
    EXPECT_THROW(ConfigList.GetConfig(-1), ERangeError);
}

TEST_F(SchedulerTest, DupeSettingsCollectOverTheQueuedBoxes) {
    WriteFile("quiet.cfg", "NntpDupeSize=3000\r\nNntpDupeType=2\r\n");
    WriteFile("other.cfg", "NntpDupeSize=1000\r\nNntpDupeType=0\r\n");
    AddConfigToToDo("quiet");
    EXPECT_EQ(TaskQueue.Count(), 0);
    EXPECT_EQ(DupeMaxSize, 3000);
    EXPECT_EQ(DupeType, 2);
    AddConfigToToDo("other");
    EXPECT_EQ(DupeMaxSize, 3000);
    EXPECT_EQ(DupeType, 2);
    ResetDupeSettings();
    EXPECT_EQ(DupeMaxSize, 0);
    EXPECT_EQ(DupeType, 0);
}

TEST_F(SchedulerTest, EveryRemovalRestartsTheWalk) {
    WriteFile("box.cfg",
              "DialOnStart=j\r\nHangupOnExit=j\r\nDialName=isp\r\nPop3Server=p\r\n"
              "SmtpServer=s\r\n");
    AddConfigToToDo("box");
    ASSERT_EQ(TaskQueue.Count(), 4);
    EXPECT_EQ(TaskQueue.First()->Kind, tkDial);
    EXPECT_EQ(TaskQueue.Next()->Kind, tkPop3);
    TaskQueue.DeleteCurrent();
    EXPECT_EQ(TaskQueue.Cursor, -1);
    EXPECT_EQ(TaskQueue.Next()->Kind, tkDial);
    EXPECT_EQ(TaskQueue.Next()->Kind, tkSmtp);
    EXPECT_EQ(TaskQueue.Next()->Kind, tkHangup);
    EXPECT_EQ(TaskQueue.Next(), nullptr);
    EXPECT_THROW(TaskQueue.DeleteCurrent(), ERangeError);
    // Numbers given later follow the queue's length, so they can repeat.
    AddConfigToToDo("box");
    EXPECT_EQ(TaskQueue.Task(3)->TaskNo, 4);
    TaskQueue.Clear();
    EXPECT_EQ(TaskQueue.First(), nullptr);
}

TEST_F(SchedulerTest, GroupListSurvivesLoadAndWriteBack) {
    WriteFile("box.cfg", "NntpServer=news\r\n");
    WriteFile("box.rc", Golden("groups.rc"));
    AddConfigToToDo("box");
    ASSERT_EQ(NNTPTasks.Count, 1);
    TStringList& list = *NNTPTasks.GetList(0);
    ASSERT_EQ(list.Count(), 9);
    EXPECT_EQ(list[5], "  de.test 0 HdrOnly  ");
    // What a fetch does to a group's line; the other lines stay as they were.
    list.SetString(5, "de.test 57 HdrOnly");
    NNTPTasks.SaveAndClear();
    EXPECT_EQ(ReadFile("box.rc"), Golden("groups.rc.expected"));
    EXPECT_EQ(NNTPTasks.Count, 0);
    EXPECT_TRUE(NNTPTasks.Lists.empty());
    EXPECT_FALSE(FileExists("box.rc.tmp"));
}

TEST_F(SchedulerTest, BoxQueuedTwiceWritesItsListTwiceLastWins) {
    WriteFile("box.cfg", "NntpServer=news\r\n");
    WriteFile("box.rc", "de.test 1\r\n");
    AddConfigToToDo("box");
    AddConfigToToDo("box");
    ASSERT_EQ(NNTPTasks.Count, 2);
    NNTPTasks.GetList(0)->SetString(0, "de.test 5");
    NNTPTasks.GetList(1)->SetString(0, "de.test 9");
    NNTPTasks.SaveAndClear();
    EXPECT_EQ(ReadFile("box.rc"), "de.test 9\r\n");
}

TEST_F(SchedulerTest, UnwritableListDoesNotStopTheOthers) {
    std::filesystem::create_directories(ProgramDir() + "sub");
    WriteFile("sub/a.cfg", "NntpServer=news\r\n");
    WriteFile("sub/a.rc", "de.a 1\r\n");
    WriteFile("b.cfg", "NntpServer=news\r\n");
    WriteFile("b.rc", "de.b 1\r\n");
    AddConfigToToDo("sub/a");
    AddConfigToToDo("b");
    std::filesystem::remove_all(ProgramDir() + "sub");
    NNTPTasks.GetList(1)->SetString(0, "de.b 2");
    EXPECT_THROW(NNTPTasks.SaveAndClear(), EStreamError);
    EXPECT_EQ(ReadFile("b.rc"), "de.b 2\r\n");
    EXPECT_EQ(NNTPTasks.Count, 0);
}

// Stands in for a transfer task: the list only stores and hands back the pointer.
struct FakeClient {
    int Started = -1;
    int RowsAtStart = -1;
};

TEST_F(SchedulerTest, TaskListAddsTheRowBeforeTheTaskStarts) {
    FakeClient clients[2];
    int created = 0;
    TaskList.CreateClient = [&](const TTask& task) -> TKestroCustomClient* {
        if (task.Kind == tkDial) return nullptr;
        return reinterpret_cast<TKestroCustomClient*>(&clients[created++]);
    };
    TaskList.StartClient = [&](TKestroCustomClient* client, int32_t taskNo) {
        auto* fake = reinterpret_cast<FakeClient*>(client);
        fake->Started = taskNo;
        fake->RowsAtStart = TaskList.Count();
    };
    TTask dial;
    dial.Kind = tkDial;
    TaskList.StartTask(dial);
    EXPECT_EQ(TaskList.Count(), 0);

    TTask pop;
    pop.Kind = tkPop3;
    pop.TaskNo = 7;
    TTask news;
    news.Kind = tkNntp;
    news.TaskNo = 12;
    TaskList.StartTask(pop);
    TaskList.StartTask(news);
    EXPECT_EQ(clients[0].Started, 7);
    EXPECT_EQ(clients[0].RowsAtStart, 1);
    EXPECT_EQ(clients[1].RowsAtStart, 2);
    EXPECT_EQ(TaskList.TaskNos.IndexOf("12"), 1);
    EXPECT_EQ(TaskList.Statuses[1], "");

    TaskList.Remove(0);
    EXPECT_EQ(TaskList.Count(), 1);
    EXPECT_EQ(TaskList.GetClient(0), reinterpret_cast<TKestroCustomClient*>(&clients[1]));
    EXPECT_EQ(TaskList.TaskNos[0], "12");
    EXPECT_THROW(TaskList.Remove(1), ERangeError);
    TaskList.Remove(0);
    TaskList.CreateClient = nullptr;
    TaskList.StartClient = nullptr;
}

}  // namespace

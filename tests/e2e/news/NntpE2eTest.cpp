// The news task against INN on 127.0.0.1 (the kestro_e2e fixture): range fetches with
// AUTHINFO, a header-only group, a large group and one INN does not carry; the dupe database
// across runs; LIST and NEWGROUPS into the group list file; posting; Message-ID requests.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/engine/EngineLog.h"
#include "app/engine/KestroGlobal.h"
#include "app/engine/RunState.h"
#include "app/engine/UnitScheduler.h"
#include "app/engine/dupecheck.h"
#include "app/engine/nntp.h"
#include "platform/core/Application.h"
#include "platform/fs/Files.h"
#include "tests/e2e/E2eEnv.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<std::string>* TaskLines = nullptr;

void CaptureTaskLog(TKestroCustomClient*, int32_t, const std::string& text, bool toRunLog) {
    if (TaskLines && toRunLog) TaskLines->push_back(text);
}

// Message-ID -> body, the way both sides are compared.
using TArticles = std::map<std::string, std::string>;

std::string HeaderValue(const std::string& article, const std::string& name) {
    size_t end = article.find("\r\n\r\n");
    std::string head = "\r\n" + article.substr(0, end);
    std::string key = "\r\n" + name + ": ";
    size_t at = head.find(key);
    if (at == std::string::npos) return "";
    size_t start = at + key.size();
    return head.substr(start, head.find("\r\n", start) - start);
}

std::string Body(const std::string& article) {
    size_t end = article.find("\r\n\r\n");
    return end == std::string::npos ? "" : article.substr(end + 4);
}

TArticles ParseBatches(const std::string& spool) {
    TArticles articles;
    for (const std::string& name : FindFiles(spool, "m*.msg")) {
        std::string bytes = ReadFile(spool + name);
        if (bytes.rfind("#! rnews ", 0) != 0) continue;  // mail (the new-groups notice)
        size_t pos = 0;
        while (pos < bytes.size()) {
            size_t eol = bytes.find('\n', pos);
            size_t size = std::stoul(bytes.substr(pos + 9, eol - pos - 9));
            std::string article = bytes.substr(eol + 1, size);
            std::string id = HeaderValue(article, "Message-ID");
            // The notices the task writes itself carry no Message-ID.
            if (id.empty()) id = "notice#" + std::to_string(articles.size());
            EXPECT_EQ(articles.count(id), 0u) << "stored twice: " << id;
            articles[id] = article;
            pos = eol + 1 + size;
        }
    }
    return articles;
}

// A plain blocking reader for checking what INN holds.
class RawNntp {
  public:
    explicit RawNntp(int port) {
        FFd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(uint16_t(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(FFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
            throw std::runtime_error("connect");
        Line();
    }
    ~RawNntp() { close(FFd); }

    std::string Command(const std::string& line) {
        std::string out = line + "\r\n";
        if (send(FFd, out.data(), out.size(), MSG_NOSIGNAL) != ssize_t(out.size()))
            throw std::runtime_error("send");
        return Line();
    }
    // The lines of a multi-line reply, unstuffed, joined with CR LF.
    std::string Data() {
        std::string text;
        for (std::string line = Line(); line != "."; line = Line())
            text += (line.rfind('.', 0) == 0 ? line.substr(1) : line) + "\r\n";
        return text;
    }
    // Every article of the group.
    TArticles Group(const std::string& group, bool headsOnly) {
        TArticles articles;
        std::string reply = Command("GROUP " + group);
        std::istringstream words(reply);
        std::string code;
        int64_t count = 0, first = 0, last = -1;
        words >> code >> count >> first >> last;
        if (code != "211") return articles;
        for (int64_t n = first; n <= last; ++n) {
            if (Command((headsOnly ? "HEAD " : "ARTICLE ") + std::to_string(n)).rfind("22", 0) != 0)
                continue;
            std::string article = Data();
            articles[HeaderValue(article, "Message-ID")] = article;
        }
        return articles;
    }

  private:
    std::string Line() {
        for (;;) {
            size_t eol = FBuffer.find("\r\n");
            if (eol != std::string::npos) {
                std::string line = FBuffer.substr(0, eol);
                FBuffer.erase(0, eol + 2);
                return line;
            }
            char chunk[65536];
            ssize_t n = recv(FFd, chunk, sizeof chunk, 0);
            if (n <= 0) throw std::runtime_error("connection closed");
            FBuffer.append(chunk, size_t(n));
        }
    }
    int FFd = -1;
    std::string FBuffer;
};

class NntpE2eTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto env = e2e::Env::Load();
        if (!env) GTEST_SKIP() << "no e2e servers (run through ctest)";
        Env = std::make_unique<e2e::Env>(*env);
        Prefix = "kestro" + std::to_string(getpid());
        Root = std::filesystem::temp_directory_path() / ("kestro-nntp-e2e-" + Prefix);
        std::filesystem::remove_all(Root);
        std::filesystem::create_directories(Root / "spool");
        Dir = Root.string() + "/";
        Spool = Dir + "spool/";
        OldCwd = std::filesystem::current_path();
        std::filesystem::current_path(Root);
        TaskLines = &Lines;
        OldLog = SetEngineLog([this](const std::string& text) { Lines.push_back(text); });
        Running = true;
        NewsCount = 0;
    }

    void TearDown() override {
        if (!Env) return;
        delete DupeCheck;
        DupeCheck = nullptr;
        Running = false;
        TaskLines = nullptr;
        NNTPTasks.SaveAndClear();
        NNTPTasks.Count = 0;
        ConfigList.FreeAll();
        SetEngineLog(OldLog);
        std::filesystem::current_path(OldCwd);
        std::filesystem::remove_all(Root);
    }

    void Shell(const std::string& command) {
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    // The box on the server that asks for AUTHINFO, with its newsgroup list at index 0.
    void Box(const std::string& rc) {
        WriteFile(Dir + "news.cfg",
                  "### Kestro Configuration File Version 1 ###\r\nNntpServer=127.0.0.1\r\n"
                  "NntpPort=" +
                      Env->Get("NNTP_AUTH_PORT") + "\r\nNntpUser=" + Env->Get("NNTP_USER") +
                      "\r\nNntpPass=" + Env->Get("NNTP_PASS") + "\r\nNntpSpool=" + Spool +
                      "\r\nNntpNewMax=0\r\nNntpDupeSize=5000\r\n");
        WriteFile(Dir + "news.rc", rc);
        ConfigList.FreeAll();
        ASSERT_EQ(ConfigList.Add(Dir + "news.cfg"), 0);
        NNTPTasks.SaveAndClear();
        NNTPTasks.Count = 0;
        NNTPTasks.AddList(Dir + "news.rc");
        NNTPTasks.Count = 1;
    }

    // Runs the tasks side by side until all are done, then frees them (as the run loop does).
    void Run(const std::vector<std::string>& commands) {
        std::vector<std::unique_ptr<TKestroNNTPClient>> tasks;
        for (const std::string& command : commands) {
            auto task = std::make_unique<TKestroNNTPClient>();
            task->ConfigIndex = 0;
            task->Command = command;
            task->GroupListIndex = 0;
            task->OnTaskLog = CaptureTaskLog;
            task->Start(int32_t(tasks.size() + 1));
            tasks.push_back(std::move(task));
        }
        ASSERT_TRUE(PumpUntil(
            [&] {
                for (auto& task : tasks)
                    if (task->State != 3) return false;
                return true;
            },
            120000))
            << "tasks still running after 120 s";
        tasks.clear();
    }

    int Port() const { return std::stoi(Env->Get("NNTP_PORT")); }
    std::string Group(const std::string& name) const { return Prefix + "." + name; }

    std::unique_ptr<e2e::Env> Env;
    std::string Prefix;
    std::filesystem::path Root;
    std::filesystem::path OldCwd;
    std::string Dir;
    std::string Spool;
    std::vector<std::string> Lines;
    TEngineLogProc OldLog;
};

TEST_F(NntpE2eTest, RangesFetchEveryArticleOnceAcrossTwoRuns) {
    const std::string bulk = Env->Get("NNTP_BULK");
    Shell(bulk + " --groups 3 --articles 7 --prefix " + Group("g") + " > /dev/null");
    Shell(bulk + " --groups 1 --articles 500 --prefix " + Group("big") + " > /dev/null");
    Box(Group("g.1") + " 0\r\n" + Group("g.2") + " 0 HdrOnly\r\n# comment\r\n" + Group("big") +
        " 0\r\n" + Group("missing") + " 0\r\n" + Group("g.3") + " 0\r\n");
    DupeCheck = new TMIDDupecheck();
    DupeCheck->MaxEntries = 5000;

    Run({"0 2", "3 5"});
    TArticles fetched = ParseBatches(Spool);

    RawNntp inn(Port());
    TArticles expected;
    for (const char* g : {"g.1", "big", "g.3"})
        for (auto& [id, article] : inn.Group(Group(g), false)) expected[id] = article;
    TArticles heads = inn.Group(Group("g.2"), true);
    ASSERT_EQ(expected.size(), 514u);
    ASSERT_EQ(heads.size(), 7u);

    // Everything INN holds arrived, with its body; the heads are marked; one notice besides.
    for (auto& [id, article] : expected) {
        ASSERT_EQ(fetched.count(id), 1u) << id;
        EXPECT_EQ(Body(fetched[id]), Body(article)) << id;
    }
    for (auto& [id, head] : heads) {
        ASSERT_EQ(fetched.count(id), 1u) << id;
        EXPECT_EQ(HeaderValue(fetched[id], "X-XP-Mode"), "HdrOnly");
        EXPECT_EQ(Body(fetched[id]).find_first_not_of("\r\n"), std::string::npos);
    }
    ASSERT_EQ(fetched.size(), expected.size() + heads.size() + 1);
    size_t notices = 0;
    for (auto& [id, article] : fetched)
        if (HeaderValue(article, "Subject") == "Diese Newsgroup existiert nicht mehr") {
            ++notices;
            EXPECT_EQ(HeaderValue(article, "Newsgroups"), Group("missing"));
        }
    EXPECT_EQ(notices, 1u);
    TStringList& rc = *NNTPTasks.GetList(0);
    EXPECT_EQ(rc[0], Group("g.1") + " 7");
    EXPECT_EQ(rc[1], Group("g.2") + " 7 HdrOnly");
    EXPECT_EQ(rc[3], Group("big") + " 500");
    EXPECT_EQ(rc[4], Group("missing") + " 0");
    EXPECT_EQ(rc[5], Group("g.3") + " 7");

    // A second run finds nothing new; even with a line set back the dupe database keeps the
    // articles from being stored again.
    NNTPTasks.SaveAndClear();
    std::string rcText = ReadFile(Dir + "news.rc");
    rcText.replace(rcText.find(Group("g.1") + " 7"), Group("g.1").size() + 2, Group("g.1") + " 0");
    WriteFile(Dir + "news.rc", rcText);
    NNTPTasks.Count = 0;
    NNTPTasks.AddList(Dir + "news.rc");
    NNTPTasks.Count = 1;
    const size_t filesBefore = FindFiles(Spool, "m*.msg").size();
    Run({"0 2", "3 5"});
    TArticles again = ParseBatches(Spool);
    EXPECT_EQ(again.size(), fetched.size() + 1);  // only the second notice of the missing group
    EXPECT_EQ(FindFiles(Spool, "m*.msg").size(), filesBefore + 1);
    EXPECT_EQ((*NNTPTasks.GetList(0))[0], Group("g.1") + " 7");
}

TEST_F(NntpE2eTest, GroupListIsFetchedAndNewGroupsAreMergedIn) {
    Shell(Env->Get("NNTP_NEWGROUP") + " " + Group("old") + " y > /dev/null");
    Box("");
    Run({"GetGroups"});
    TStringList bl;
    bl.LoadFromFile(Dir + "news.bl");
    ASSERT_GT(bl.Count(), 2);
    EXPECT_EQ(bl[0].rfind("!new_groups:", 0), 0u);
    EXPECT_GE(bl.IndexOf(Group("old") + " "), 1);
    EXPECT_GE(bl.IndexOf("local.general "), 1);
    EXPECT_EQ(bl.IndexOf(Group("new") + " "), -1);

    // A group made after the list was fetched comes with NEWGROUPS. The header is set back a
    // minute so that the new group's second is surely later.
    std::time_t past = std::time(nullptr) - 60;
    bl.SetString(0, "!new_groups:" + FormatNntpDate(past) + " " + FormatNntpTime(past));
    bl.SaveToFile(Dir + "news.bl");
    Shell(Env->Get("NNTP_NEWGROUP") + " " + Group("new") + " y > /dev/null");
    const int before = bl.Count();
    Run({"GetGroups"});
    bl.LoadFromFile(Dir + "news.bl");
    EXPECT_GE(bl.IndexOf(Group("new") + " "), 1);
    EXPECT_GE(bl.Count(), before + 1);
    auto mails = FindFiles(Spool, "m*.msg");
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_NE(ReadFile(Spool + mails[0]).find(Group("new")), std::string::npos);
}

TEST_F(NntpE2eTest, PostedFileAppearsInInnAndARequestedIdIsFetched) {
    Shell(Env->Get("NNTP_NEWGROUP") + " " + Group("post") + " y > /dev/null");
    Box("");
    GlobalConfig.Version = "1.0";
    const std::string id = "<" + Prefix + ".post@kestro.invalid>";
    WriteFile(Spool + "N0001.OUT",
              "From: Poster <poster@example.org>\r\nNewsgroups: " + Group("post") +
                  "\r\nSubject: posted by the e2e test\r\n" + "Message-ID: " + id +
                  "\r\n\r\n.a line with a dot\r\n" + "second line\r\n");
    Run({"SendNews"});
    EXPECT_TRUE(FindFiles(Spool, "N*.OUT").empty());
    RawNntp inn(Port());
    ASSERT_EQ(inn.Command("ARTICLE " + id).substr(0, 3), "220");
    std::string posted = inn.Data();
    EXPECT_EQ(Body(posted), ".a line with a dot\r\nsecond line\r\n");
    EXPECT_NE(posted.find("X-Newsreader: Orvalin Kestro V1.0"), std::string::npos);

    // request.id: one record for this box (string[8] box name, string[255] Message-ID).
    std::string record(267, '\0');
    record[0] = 1;
    record[2] = 4;
    record.replace(3, 4, "news");
    record[11] = char(id.size());
    record.replace(12, id.size(), id);
    WriteFile(Dir + "request.id", record);
    Run({"GetMsgIDs"});
    TArticles fetched = ParseBatches(Spool);
    ASSERT_EQ(fetched.count(id), 1u);
    EXPECT_EQ(Body(fetched[id]), ".a line with a dot\r\nsecond line\r\n");
}

}  // namespace

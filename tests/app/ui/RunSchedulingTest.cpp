// The run loop's scheduling with the real transfer tasks: their sockets are fake, and scripted
// servers behind them answer every command on a later pass of the message loop, as a real
// server's answer comes later. The run drives everything; the tests read what was started when,
// how many connections were open at that moment, and what the run log says.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/engine/KestroGlobal.h"
#include "app/engine/RunState.h"
#include "app/engine/UnitScheduler.h"
#include "app/engine/nntp.h"
#include "app/engine/pop3.h"
#include "app/engine/smtp.h"
#include "app/ui/MainFrm.h"
#include "netlib/ras/IpRas.h"
#include "netlib/ras/provider/SimProvider.h"
#include "netlib/sock/IpFakeSocket.h"
#include "platform/system/MessageBox.h"
#include "tests/support/TestSupport.h"

namespace {

class TScriptedServers;

// A connection to one scripted server: the connect and every line sent are answered later.
class TScriptedSocket : public TIpFakeSocket {
  public:
    TScriptedSocket(TIpCustomClient& owner, TScriptedServers& servers, uint8_t kind);
    ~TScriptedSocket() override;

    const uint8_t Kind;
    bool Accepted = false;

  protected:
    int ApiConnect(const TSockAddrIn& addr) override;
    int ApiSend(const void* buf, int len) override;

  private:
    TScriptedServers& FServers;
};

// The servers of all tasks: a POP3 server with an empty mailbox, an NNTP server whose groups hold
// no articles. Their answers go out from a window of their own when its posted message arrives.
class TScriptedServers {
  public:
    TScriptedServers() {
        FWindow = AllocateHWnd([this](TMessage& m) {
            if (m.Msg == WM_USER) Serve();
        });
    }
    ~TScriptedServers() { DeallocateHWnd(FWindow); }

    void Opened(TScriptedSocket* socket) {
        FLive.push_back(socket);
        const int now = ++FOpen[socket->Kind];
        FMostOpen[socket->Kind] = std::max(FMostOpen[socket->Kind], now);
    }
    void Closed(TScriptedSocket* socket) {
        FLive.erase(std::find(FLive.begin(), FLive.end(), socket));
        --FOpen[socket->Kind];
    }
    void Schedule() {
        if (FPosted) return;
        FPosted = PostMessage(FWindow, WM_USER, 0, 0);
    }

    int Open(uint8_t kind) { return FOpen[kind]; }
    int MostOpen(uint8_t kind) { return FMostOpen[kind]; }

    // Makes the connections of the task's client scripted ones.
    void Attach(TKestroCustomClient* task, uint8_t kind) {
        TIpCustomClient* client = nullptr;
        if (auto* pop = dynamic_cast<TKestroPOP3Client*>(task)) client = pop->Client.get();
        if (auto* smtp = dynamic_cast<TKestroSMTPClient*>(task)) client = smtp->Client.get();
        if (auto* news = dynamic_cast<TKestroNNTPClient*>(task)) client = news->Client.get();
        ASSERT_NE(client, nullptr);
        client->SetSocketFactory([this, kind](TIpCustomClient& owner) {
            return new TScriptedSocket(owner, *this, kind);
        });
    }

  private:
    static std::string Greeting(uint8_t kind) {
        return kind == tkNntp ? "200 news ready\r\n" : "+OK ready\r\n";
    }

    static std::string Answer(uint8_t kind, const std::string& line) {
        const std::string verb = line.substr(0, line.find(' '));
        if (kind == tkNntp) {
            if (verb == "GROUP") return "211 0 1 0 " + line.substr(6) + "\r\n";
            if (verb == "QUIT") return "205 bye\r\n";
            return "500 what?\r\n";
        }
        if (verb == "STAT") return "+OK 0 0\r\n";
        if (verb == "LIST") return "+OK\r\n.\r\n";
        return "+OK\r\n";
    }

    bool IsLive(TScriptedSocket* socket) const {
        return std::find(FLive.begin(), FLive.end(), socket) != FLive.end();
    }

    // Answers what every connection is waiting for. Each answer runs the client's handlers,
    // which may close any connection: every step looks again whether its socket still exists.
    void Serve() {
        FPosted = false;
        const std::vector<TScriptedSocket*> sockets = FLive;
        for (TScriptedSocket* socket : sockets) {
            if (IsLive(socket) && socket->ConnectCalled() && !socket->Accepted) {
                socket->Accepted = true;
                socket->AcceptConnect();
                if (IsLive(socket)) socket->Feed(Greeting(socket->Kind));
            }
            if (!IsLive(socket)) continue;
            std::string sent = socket->TakeWritten();
            size_t start = 0;
            for (size_t end; (end = sent.find("\r\n", start)) != std::string::npos;
                 start = end + 2) {
                if (!IsLive(socket)) break;
                socket->Feed(Answer(socket->Kind, sent.substr(start, end - start)));
            }
        }
    }

    HWND FWindow = 0;
    bool FPosted = false;
    std::vector<TScriptedSocket*> FLive;
    std::map<uint8_t, int> FOpen;
    std::map<uint8_t, int> FMostOpen;
};

TScriptedSocket::TScriptedSocket(TIpCustomClient& owner, TScriptedServers& servers, uint8_t kind)
    : TIpFakeSocket(owner), Kind(kind), FServers(servers) {
    FServers.Opened(this);
}

TScriptedSocket::~TScriptedSocket() {
    FServers.Closed(this);
}

int TScriptedSocket::ApiConnect(const TSockAddrIn& addr) {
    FServers.Schedule();
    return TIpFakeSocket::ApiConnect(addr);
}

int TScriptedSocket::ApiSend(const void* buf, int len) {
    FServers.Schedule();
    return TIpFakeSocket::ApiSend(buf, len);
}

// One task as it was started, with the connections open at that moment.
struct TStart {
    std::string What;  // "POP3", "SMTP" or "NNTP <command>"
    int OpenPop3 = 0;
    int OpenNntp = 0;
};

class RunSchedulingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kestro-sched-XXXXXX";
        Dir = std::string(mkdtemp(tmpl)) + "/";
        for (const char* spool : {"in", "out", "news"})
            std::filesystem::create_directories(Dir + spool);
        setenv("KESTRO_HOME", Dir.c_str(), 1);
        setenv("KESTRO_REGISTRY_DIR", (Dir + "reg").c_str(), 1);
        SetRunExitCode(0);
        ResetEngine();
        IpRasAccess().SetProvider(std::make_shared<TSimDialupProvider>());
        SetMessageBoxHandler([this](const std::string& text, const std::string&, uint32_t) {
            Questions.push_back(text);
            return IDOK;
        });
        Form = std::make_unique<TFormMain>();
        Servers = std::make_unique<TScriptedServers>();
        TaskList.CreateClient = [this, real = TaskList.CreateClient](const TTask& task) {
            TKestroCustomClient* client = real(task);
            if (!client) return client;
            Servers->Attach(client, task.Kind);
            const char* kinds[] = {"", "", "", "POP3", "SMTP", "NNTP"};
            std::string what = kinds[task.Kind];
            if (task.Kind == tkNntp) what += " " + task.Command;
            Starts.push_back({what, Servers->Open(tkPop3), Servers->Open(tkNntp)});
            return client;
        };
    }

    void TearDown() override {
        Form.reset();
        Servers.reset();
        ResetEngine();
        CurrentConfig.reset();
        SetMessageBoxHandler(nullptr);
        std::filesystem::remove_all(Dir);
    }

    static void ResetEngine() {
        TaskQueue.Clear();
        NNTPTasks.SaveAndClear();
        ConfigList.FreeAll();
        ResetDupeSettings();
        GlobalConfig = TGlobalConfig();
        GlobalConfig.TimeServer.clear();
        OptSendOnly = OptCfg = OptCfgOnly = false;
    }

    // A box file with the spools of this test and whatever the lines set.
    std::string WriteBox(const std::string& name, const std::string& lines) {
        const std::string path = Dir + name + ".cfg";
        WriteFile(path, "### Kestro Configuration File Version 1 ###\r\nPop3Spool=" + Dir +
                            "in\r\nSmtpSpool=" + Dir + "out\r\nNntpSpool=" + Dir + "news\r\n" +
                            lines);
        return path;
    }
    static std::string MailBox() {
        return "Pop3Server=pop.example\r\nPop3User=joe\r\nPop3Pass=pw\r\n"
               "SmtpServer=mail.example\r\n";
    }
    // A news server whose tasks fetch the box's groups only (and the requested Message-IDs).
    static std::string NewsBox() {
        return "NntpServer=news.example\r\nNntpPosting=disabled\r\nNntpGetNewsList=disabled\r\n";
    }

    // Queues the boxes as the command line does and runs them, with a fresh run log.
    void Run(const std::vector<std::string>& boxes) {
        std::filesystem::remove(Dir + "kestro.log");
        for (const std::string& box : boxes) AddConfigToToDo(box);
        Form->WMRunToDo();
        EXPECT_EQ(TaskQueue.Count(), 0);
        EXPECT_EQ(TaskList.Count(), 0);
        EXPECT_TRUE(Questions.empty());
    }

    std::vector<std::string> Started() const {
        std::vector<std::string> names;
        for (const TStart& start : Starts) names.push_back(start.What);
        return names;
    }
    const TStart* Find(const std::string& what) const {
        for (const TStart& start : Starts)
            if (start.What == what) return &start;
        return nullptr;
    }

    std::string RunLog() const { return ReadFile(Dir + "kestro.log"); }
    int RunLogCount(const std::string& text) const {
        const std::string log = RunLog();
        int count = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++count;
        return count;
    }

    std::string Dir;
    std::unique_ptr<TFormMain> Form;
    std::unique_ptr<TScriptedServers> Servers;
    std::vector<TStart> Starts;
    std::vector<std::string> Questions;
};

// Two range tasks of a news box and a mail box queued behind them. A range task whose box already
// runs its maximum of news tasks is passed over, the task behind it starts, and the range task
// starts once the box's running task was freed; with room for two both run side by side.
TEST_F(RunSchedulingTest, NewsTaskWaitsWhileItsBoxRunsItsMaximum) {
    const struct {
        int NntpMaxThreads;
        std::vector<std::string> Order;
        int MostNewsConnections;
    } cases[] = {
        {1, {"NNTP GetMsgIDs", "SMTP", "NNTP 0 0", "NNTP 1 1"}, 1},
        {2, {"NNTP GetMsgIDs", "NNTP 0 0", "SMTP", "NNTP 1 1"}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.NntpMaxThreads);
        Starts.clear();
        Servers = std::make_unique<TScriptedServers>();
        const std::string news = WriteBox(
            "news", NewsBox() + "NntpMaxThreads=" + std::to_string(c.NntpMaxThreads) + "\r\n");
        WriteFile(Dir + "news.rc", "de.a 0\r\nde.b 0\r\n");
        const std::string mail = WriteBox("mail", "SmtpServer=mail.example\r\n");
        Run({news, mail});
        EXPECT_EQ(Started(), c.Order);
        EXPECT_EQ(Servers->MostOpen(tkNntp), c.MostNewsConnections);
        EXPECT_EQ(RunLogCount("Keine neuen Artikel in der Newsgroup de."), 2);
        EXPECT_EQ(RunExitCode(), 0);
    }
}

// A send task that waits for the box's fetch task holds a place among MaxThreads: with two
// places the news task starts only once the fetch task was freed, with three it runs beside it.
TEST_F(RunSchedulingTest, WaitingSendTaskCountsAgainstMaxThreads) {
    for (int maxThreads : {2, 3}) {
        SCOPED_TRACE(maxThreads);
        Starts.clear();
        GlobalConfig.MaxThreads = maxThreads;
        Run({WriteBox("box", MailBox() + NewsBox() + "SmtpAfterPop=enabled\r\n")});
        const std::vector<std::string> order = {"POP3", "SMTP", "NNTP GetMsgIDs"};
        EXPECT_EQ(Started(), order);
        const TStart* news = Find("NNTP GetMsgIDs");
        ASSERT_NE(news, nullptr);
        EXPECT_EQ(news->OpenPop3, maxThreads == 2 ? 0 : 1);
        EXPECT_EQ(RunLogCount("Warte auf anderen POP3 oder SMTP-Task"), 1);
        EXPECT_EQ(RunLogCount("Versende 0 ausgehende Nachrichten"), 1);
        EXPECT_EQ(RunExitCode(), 0);
    }
}

// The time server is asked only when one is set and a fetch or send task starts.
TEST_F(RunSchedulingTest, TimeIsAskedOnlyWithATimeServerAndAMailTask) {
    uint16_t port = 0;
    const int server = LoopbackSocket(SOCK_DGRAM, port);
    std::vector<std::string> exceptions;
    Application.OnException = [&, logged = Application.OnException](const Exception& e) {
        exceptions.push_back(e.Message());
        if (logged) logged(e);
    };
    const struct {
        bool TimeServer;
        std::string Box;
        bool Asked;
    } cases[] = {
        {false, MailBox(), false},
        {true, NewsBox(), false},
        // Last: the request stays unanswered.
        {true, MailBox(), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Box + (c.TimeServer ? " with a time server" : ""));
        GlobalConfig.TimeServer = c.TimeServer ? "127.0.0.1:" + std::to_string(port) : "";
        Run({WriteBox("box", c.Box)});
        // A request still queued when the run ended goes out now.
        for (int i = 0; i < 4; ++i) Application.ProcessMessages();
        char probe[16];
        const bool asked = ::recv(server, probe, sizeof probe, MSG_DONTWAIT) > 0;
        EXPECT_EQ(asked, c.Asked);
        EXPECT_EQ(RunLogCount("TimeClient"), 0);
        EXPECT_EQ(RunLogCount("Exception"), 0);
        for (const std::string& text : exceptions) ADD_FAILURE() << text;
        exceptions.clear();
    }
    ::close(server);
}

// Every Start queues the window's box again, so a second Start runs its tasks a second time.
TEST_F(RunSchedulingTest, SecondStartQueuesTheWindowsBoxAgain) {
    CurrentConfig = std::make_unique<TKestroConfig>();
    CurrentConfig->Load(WriteBox("box", MailBox()), true);
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_TRUE(Form->BarButtonStart.Enabled());
        Form->BarButtonStart.Click();
        ASSERT_TRUE(PumpUntil([&] { return RunLogCount(" gestartet") == run; }));
        ASSERT_TRUE(PumpUntil([&] { return !Form->RunInProgress(); }));
        EXPECT_EQ(RunLogCount("Keine neuen Nachrichten vorhanden"), run);
    }
    const std::vector<std::string> order = {"POP3", "SMTP", "POP3", "SMTP"};
    EXPECT_EQ(Started(), order);
    EXPECT_EQ(TaskQueue.Count(), 0);
    EXPECT_EQ(RunExitCode(), 0);
}

}  // namespace

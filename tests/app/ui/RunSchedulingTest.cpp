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
#include "app/ui/ExchangeRun.h"
#include "netlib/ras/IpRas.h"
#include "netlib/ras/provider/SimProvider.h"
#include "netlib/sock/IpFakeSocket.h"
#include "platform/shell/Dialogs.h"
#include "tests/support/TestSupport.h"

namespace {

class TScriptedServers;

// A connection to one scripted server: the connect and every line sent are answered later.
class TScriptedSocket : public TIpFakeSocket {
  public:
    TScriptedSocket(TIpCustomClient& Owner, TScriptedServers& ServerSet, uint8_t ServerKind);
    ~TScriptedSocket() override;

    const uint8_t Kind;
    bool Accepted = false;

  protected:
    int ApiConnect(const TSockAddrIn& Addr) override;
    int ApiSend(const void* Buf, int Len) override;

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

    void Opened(TScriptedSocket* Conn) {
        FLive.push_back(Conn);
        const int OpenNow = ++FOpen[Conn->Kind];
        FMostOpen[Conn->Kind] = std::max(FMostOpen[Conn->Kind], OpenNow);
    }
    void Closed(TScriptedSocket* Conn) {
        FLive.erase(std::find(FLive.begin(), FLive.end(), Conn));
        --FOpen[Conn->Kind];
    }
    void Schedule() {
        if (FPosted) return;
        FPosted = PostMessage(FWindow, WM_USER, 0, 0);
    }

    int Open(uint8_t ServerKind) { return FOpen[ServerKind]; }
    int MostOpen(uint8_t ServerKind) { return FMostOpen[ServerKind]; }

    // Makes the connections of the task's client scripted ones.
    void Attach(TKestroCustomClient* Task, uint8_t ServerKind) {
        TIpCustomClient* Client = nullptr;
        if (auto* Pop = dynamic_cast<TKestroPOP3Client*>(Task)) Client = Pop->Client.get();
        if (auto* Smtp = dynamic_cast<TKestroSMTPClient*>(Task)) Client = Smtp->Client.get();
        if (auto* News = dynamic_cast<TKestroNNTPClient*>(Task)) Client = News->Client.get();
        ASSERT_NE(Client, nullptr);
        Client->SetSocketFactory([this, ServerKind](TIpCustomClient& Owner) {
            return new TScriptedSocket(Owner, *this, ServerKind);
        });
    }

  private:
    static std::string Greeting(uint8_t ServerKind) {
        return ServerKind == tkNntp ? "200 news ready\r\n" : "+OK ready\r\n";
    }

    static std::string Answer(uint8_t ServerKind, const std::string& Line) {
        const std::string Verb = Line.substr(0, Line.find(' '));
        if (ServerKind == tkNntp) {
            if (Verb == "GROUP") return "211 0 1 0 " + Line.substr(6) + "\r\n";
            if (Verb == "QUIT") return "205 bye\r\n";
            return "500 what?\r\n";
        }
        if (Verb == "STAT") return "+OK 0 0\r\n";
        if (Verb == "LIST") return "+OK\r\n.\r\n";
        return "+OK\r\n";
    }

    bool IsLive(TScriptedSocket* Conn) const {
        return std::find(FLive.begin(), FLive.end(), Conn) != FLive.end();
    }

    // Answers what every connection is waiting for. Each answer runs the client's handlers,
    // which may close any connection: every step looks again whether its socket still exists.
    void Serve() {
        FPosted = false;
        const std::vector<TScriptedSocket*> Conns = FLive;
        for (TScriptedSocket* Conn : Conns) {
            if (IsLive(Conn) && Conn->ConnectCalled() && !Conn->Accepted) {
                Conn->Accepted = true;
                Conn->AcceptConnect();
                if (IsLive(Conn)) Conn->Feed(Greeting(Conn->Kind));
            }
            if (!IsLive(Conn)) continue;
            std::string Sent = Conn->TakeWritten();
            size_t From = 0;
            for (size_t To; (To = Sent.find("\r\n", From)) != std::string::npos; From = To + 2) {
                if (!IsLive(Conn)) break;
                Conn->Feed(Answer(Conn->Kind, Sent.substr(From, To - From)));
            }
        }
    }

    HWND FWindow = 0;
    bool FPosted = false;
    std::vector<TScriptedSocket*> FLive;
    std::map<uint8_t, int> FOpen;
    std::map<uint8_t, int> FMostOpen;
};

TScriptedSocket::TScriptedSocket(TIpCustomClient& Owner, TScriptedServers& ServerSet,
                                 uint8_t ServerKind)
    : TIpFakeSocket(Owner), Kind(ServerKind), FServers(ServerSet) {
    FServers.Opened(this);
}

TScriptedSocket::~TScriptedSocket() {
    FServers.Closed(this);
}

int TScriptedSocket::ApiConnect(const TSockAddrIn& Addr) {
    FServers.Schedule();
    return TIpFakeSocket::ApiConnect(Addr);
}

int TScriptedSocket::ApiSend(const void* Buf, int Len) {
    FServers.Schedule();
    return TIpFakeSocket::ApiSend(Buf, Len);
}

// One task as it was started, with the POP3 connections open at that moment.
struct TStart {
    std::string What;  // "POP3", "SMTP" or "NNTP <command>"
    int OpenPop3 = 0;
};

class RunSchedulingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char Template[] = "/tmp/kestro-sched-XXXXXX";
        Dir = std::string(mkdtemp(Template)) + "/";
        for (const char* Spool : {"in", "out", "news"})
            std::filesystem::create_directories(Dir + Spool);
        setenv("KESTRO_HOME", Dir.c_str(), 1);
        setenv("KESTRO_REGISTRY_DIR", (Dir + "reg").c_str(), 1);
        SetRunExitCode(0);
        ResetEngine();
        IpRasAccess().SetProvider(std::make_shared<TSimDialupProvider>());
        SetMessageBoxHandler([this](const std::string& Text, const std::string&, uint32_t) {
            Questions.push_back(Text);
            return IDOK;
        });
        Form = std::make_unique<TExchangeRun>();
        Servers = std::make_unique<TScriptedServers>();
        TaskList.CreateClient = [this, Real = TaskList.CreateClient](const TTask& Task) {
            TKestroCustomClient* Client = Real(Task);
            if (!Client) return Client;
            Servers->Attach(Client, Task.Kind);
            const char* KindNames[] = {"", "", "", "POP3", "SMTP", "NNTP"};
            std::string What = KindNames[Task.Kind];
            if (Task.Kind == tkNntp) What += " " + Task.Command;
            Starts.push_back({What, Servers->Open(tkPop3)});
            return Client;
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
    std::string WriteBox(const std::string& Name, const std::string& Lines) {
        const std::string Path = Dir + Name + ".cfg";
        WriteFile(Path, "### Kestro Configuration File Version 1 ###\r\nPop3Spool=" + Dir +
                            "in\r\nSmtpSpool=" + Dir + "out\r\nNntpSpool=" + Dir + "news\r\n" +
                            Lines);
        return Path;
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
    void Run(const std::vector<std::string>& Boxes) {
        std::filesystem::remove(Dir + "kestro.log");
        for (const std::string& Box : Boxes) AddConfigToToDo(Box);
        Form->WMRunToDo();
        EXPECT_EQ(TaskQueue.Count(), 0);
        EXPECT_EQ(TaskList.Count(), 0);
        EXPECT_TRUE(Questions.empty());
    }

    std::vector<std::string> Started() const {
        std::vector<std::string> Names;
        for (const TStart& Entry : Starts) Names.push_back(Entry.What);
        return Names;
    }
    const TStart* Find(const std::string& What) const {
        for (const TStart& Entry : Starts)
            if (Entry.What == What) return &Entry;
        return nullptr;
    }

    std::string RunLog() const { return ReadFile(Dir + "kestro.log"); }
    int RunLogCount(const std::string& Text) const {
        const std::string Log = RunLog();
        int Count = 0;
        for (size_t At = Log.find(Text); At != std::string::npos; At = Log.find(Text, At + 1))
            ++Count;
        return Count;
    }

    std::string Dir;
    std::unique_ptr<TExchangeRun> Form;
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
    } Cases[] = {
        {1, {"NNTP GetMsgIDs", "SMTP", "NNTP 0 0", "NNTP 1 1"}, 1},
        {2, {"NNTP GetMsgIDs", "NNTP 0 0", "SMTP", "NNTP 1 1"}, 2},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.NntpMaxThreads);
        Starts.clear();
        Servers = std::make_unique<TScriptedServers>();
        const std::string NewsFile = WriteBox(
            "news", NewsBox() + "NntpMaxThreads=" + std::to_string(Case.NntpMaxThreads) + "\r\n");
        WriteFile(Dir + "news.rc", "de.a 0\r\nde.b 0\r\n");
        const std::string MailFile = WriteBox("mail", "SmtpServer=mail.example\r\n");
        Run({NewsFile, MailFile});
        EXPECT_EQ(Started(), Case.Order);
        EXPECT_EQ(Servers->MostOpen(tkNntp), Case.MostNewsConnections);
        EXPECT_EQ(RunLogCount("Keine neuen Artikel in der Newsgroup de."), 2);
        EXPECT_EQ(RunExitCode(), 0);
    }
}

// A send task that waits for the box's fetch task holds a place among MaxThreads: with two
// places the news task starts only once the fetch task was freed, with three it runs beside it.
TEST_F(RunSchedulingTest, WaitingSendTaskCountsAgainstMaxThreads) {
    for (int Places : {2, 3}) {
        SCOPED_TRACE(Places);
        Starts.clear();
        GlobalConfig.MaxThreads = Places;
        Run({WriteBox("box", MailBox() + NewsBox() + "SmtpAfterPop=enabled\r\n")});
        const std::vector<std::string> Order = {"POP3", "SMTP", "NNTP GetMsgIDs"};
        EXPECT_EQ(Started(), Order);
        const TStart* News = Find("NNTP GetMsgIDs");
        ASSERT_NE(News, nullptr);
        EXPECT_EQ(News->OpenPop3, Places == 2 ? 0 : 1);
        EXPECT_EQ(RunLogCount("Warte auf anderen POP3 oder SMTP-Task"), 1);
        EXPECT_EQ(RunLogCount("Versende 0 ausgehende Nachrichten"), 1);
        EXPECT_EQ(RunExitCode(), 0);
    }
}

// The time server is asked only when one is set and a fetch or send task starts.
TEST_F(RunSchedulingTest, TimeIsAskedOnlyWithATimeServerAndAMailTask) {
    uint16_t Port = 0;
    const int TimeServerSocket = LoopbackSocket(SOCK_DGRAM, Port);
    std::vector<std::string> Exceptions;
    Application.OnException = [&, Logged = Application.OnException](const Exception& E) {
        Exceptions.push_back(E.Message());
        if (Logged) Logged(E);
    };
    const struct {
        bool TimeServer;
        std::string Box;
        bool Asked;
    } Cases[] = {
        {false, MailBox(), false},
        {true, NewsBox(), false},
        // Last: the request stays unanswered.
        {true, MailBox(), true},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Box + (Case.TimeServer ? " with a time server" : ""));
        GlobalConfig.TimeServer = Case.TimeServer ? "127.0.0.1:" + std::to_string(Port) : "";
        Run({WriteBox("box", Case.Box)});
        // A request still queued when the run ended goes out now.
        for (int I = 0; I < 4; ++I) Application.ProcessMessages();
        char Probe[16];
        const bool WasAsked = ::recv(TimeServerSocket, Probe, sizeof Probe, MSG_DONTWAIT) > 0;
        EXPECT_EQ(WasAsked, Case.Asked);
        EXPECT_EQ(RunLogCount("TimeClient"), 0);
        EXPECT_EQ(RunLogCount("Exception"), 0);
        for (const std::string& Text : Exceptions) ADD_FAILURE() << Text;
        Exceptions.clear();
    }
    ::close(TimeServerSocket);
}

// Every Start queues the window's box again, so a second Start runs its tasks a second time.
TEST_F(RunSchedulingTest, SecondStartQueuesTheWindowsBoxAgain) {
    CurrentConfig = std::make_unique<TKestroConfig>();
    CurrentConfig->Load(WriteBox("box", MailBox()), true);
    for (int RunNo = 1; RunNo <= 2; ++RunNo) {
        SCOPED_TRACE(RunNo);
        ASSERT_TRUE(Form->StartEnabled());
        Form->PostRunToDo();
        ASSERT_TRUE(PumpUntil([&] { return RunLogCount(" gestartet") == RunNo; }));
        ASSERT_TRUE(PumpUntil([&] { return !Form->RunInProgress(); }));
        EXPECT_EQ(RunLogCount("Keine neuen Nachrichten vorhanden"), RunNo);
    }
    const std::vector<std::string> Order = {"POP3", "SMTP", "POP3", "SMTP"};
    EXPECT_EQ(Started(), Order);
    EXPECT_EQ(TaskQueue.Count(), 0);
    EXPECT_EQ(RunExitCode(), 0);
}

}  // namespace

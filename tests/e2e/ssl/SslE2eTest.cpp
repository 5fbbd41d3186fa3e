// The SSL client against real peers on 127.0.0.1 (ssl-servers.sh): scapy's SSL 3.0 server for
// both suites, the POP3 client through scapy in front of Dovecot, and a TLS-only openssl server
// that must be refused cleanly.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/engine/KestroGlobal.h"
#include "app/engine/RunState.h"
#include "app/engine/UnitScheduler.h"
#include "app/engine/pop3.h"
#include "netlib/pop3/IpPop3.h"
#include "netlib/sock/IpSock.h"
#include "netlib/ssl/IpSSLLayer.h"
#include "platform/core/Application.h"
#include "tests/support/TestSupport.h"

namespace {

using TEnv = std::map<std::string, std::string>;

// The servers' env file: $KESTRO_SSL_E2E_ENV; without it the tests skip.
bool LoadEnv(const char* variable, TEnv& env) {
    const char* path = std::getenv(variable);
    if (!path || !*path) return false;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos && line[0] != '#')
            env[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return !env.empty();
}

// Real servers get a minute (or the given seconds) to answer.
bool Await(const std::function<bool()>& done, int seconds = 60) {
    return PumpUntil(done, seconds * 1000);
}

class TSslLineClient : public TIpCustomClient {
  public:
    TSslLineClient() {
        IpSSLRegister();
        OnStatus = [this](TIpSockControl*, SOCKET, TIpStatusType e, const TIpConnRec&,
                          const TIpSockStatRec&) {
            if (e == stConnect) ++Connects;
            if (e == stDisconnect) ++Disconnects;
        };
        OnError = [this](TIpSockControl*, SOCKET, int32_t, const std::string& text) {
            Errors.push_back(text);
        };
        SetUsingSSL(true);
    }
    void DoReadLine(SOCKET, const std::string& line) override {
        if (Collect) {
            Bytes += line.size();
            if (line == ".\r\n") {
                Collect = false;
                Lines.push_back(line);
            } else if (line.size() != 64 || line.compare(0, 7, Expected()) != 0) {
                ++BadLines;
            }
            ++NextLine;
            return;
        }
        Lines.push_back(line);
    }
    std::string Expected() const {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%07d", NextLine);
        return buf;
    }
    void Send(const std::string& text) { PutString(SocketHandle(), text, false); }

    std::vector<std::string> Lines, Errors;
    int Connects = 0, Disconnects = 0;
    bool Collect = false;
    size_t Bytes = 0;
    int NextLine = 0, BadLines = 0;
};

class SslE2e : public testing::Test {
  protected:
    void SetUp() override {
        if (!LoadEnv("KESTRO_SSL_E2E_ENV", Env)) GTEST_SKIP() << "no SSL e2e servers";
        Application.OnException = [this](const Exception& e) { Exceptions.push_back(e.Message()); };
    }
    void TearDown() override { Application.OnException = nullptr; }

    TEnv Env;
    std::vector<std::string> Exceptions;
};

// Handshake, lines both ways, 1 MB arriving in small records, close_notify: for both suites.
TEST_F(SslE2e, BothSuitesExchangeData) {
    for (const char* suite : {"DES", "3DES"}) {
        SCOPED_TRACE(suite);
        TSslLineClient c;
        c.Connect("127.0.0.1:" + Env.at(std::string("SSL_") + suite + "_PORT"));
        ASSERT_TRUE(
            Await([&] { return !c.Lines.empty() || c.Disconnects || !Exceptions.empty(); }));
        ASSERT_TRUE(Exceptions.empty()) << Exceptions.front();
        EXPECT_EQ(c.Connects, 1);
        EXPECT_EQ(c.Lines.at(0), std::string("+OK ssl3 ready ") +
                                     (std::string(suite) == "DES" ? "9" : "10") + "\r\n");
        c.Send("ECHO h\xe4llo \x01 world\r\n");
        ASSERT_TRUE(Await([&] { return c.Lines.size() == 2; }));
        EXPECT_EQ(c.Lines[1], "h\xe4llo \x01 world\r\n");
        // a long line out: more than one record of 16384 bytes
        const std::string longText(40000, 'L');
        c.Send("ECHO " + longText + "\r\n");
        ASSERT_TRUE(Await([&] { return c.Lines.size() == 3; }));
        EXPECT_EQ(c.Lines[2], longText + "\r\n");
        c.Collect = true;
        c.Send("BULK 1048576 1000\r\n");
        ASSERT_TRUE(Await([&] { return !c.Collect || c.Disconnects; }, 300));
        EXPECT_EQ(c.Bytes, 1048576u + 3u);
        EXPECT_EQ(c.BadLines, 0);
        c.Send("QUIT\r\n");
        ASSERT_TRUE(Await([&] { return c.Disconnects > 0; }));
        EXPECT_EQ(c.Lines.back(), "+OK bye\r\n");
        EXPECT_TRUE(c.Errors.empty());
        EXPECT_TRUE(Exceptions.empty());
    }
}

// A server that speaks TLS only answers with a record the client does not take.
TEST_F(SslE2e, TlsOnlyServerIsRefusedCleanly) {
    TSslLineClient c;
    c.Connect("127.0.0.1:" + Env.at("SSL_TLS_ONLY_PORT"));
    ASSERT_TRUE(Await([&] { return !c.Errors.empty() || !Exceptions.empty() || c.Disconnects; }));
    const std::string text = !c.Errors.empty()     ? c.Errors.front()
                             : !Exceptions.empty() ? Exceptions.front()
                                                   : std::string("(closed without error)");
    // OpenSSL answers an SSL 3.0 hello with a handshake_failure alert; other TLS-only servers
    // answer with a record of a later version or a protocol_version alert.
    EXPECT_TRUE(text == "Alert : Fatal Error - Handshake failure." ||
                text == "SanityCheckRecord : Parsing error." ||
                text == "Alert : Fatal Error - Unknown Alert Error.")
        << text;
    EXPECT_EQ(c.Connects, 0);
}

// The POP3 client over SSL 3.0: scapy terminates SSL in front of Dovecot.
TEST_F(SslE2e, Pop3ListAndRetrieveOverSsl) {
    if (!Env.count("SSL_POP3_PORT")) GTEST_SKIP() << "no POP3 relay";
    TEnv pop3;
    {
        std::ifstream in(Env.at("SSL_SERVERS_ENV"));
        std::string line;
        while (std::getline(in, line))
            if (line.find('=') != std::string::npos)
                pop3[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    }
    if (!pop3.count("KESTRO_E2E_POP3_DROP")) GTEST_SKIP() << "no POP3 server";
    const std::string user = "sslpop3", pass = "sslsecret";
    ASSERT_EQ(std::system((pop3.at("KESTRO_E2E_ADDUSER") + " " + user + " " + pass).c_str()), 0);
    const std::string body = "From: a@example.org\r\nSubject: over ssl\r\n\r\nline one\r\n";
    const std::string file = "/tmp/kestro-ssl-e2e-mail.eml";
    std::ofstream(file, std::ios::binary) << body;
    ASSERT_EQ(std::system((pop3.at("KESTRO_E2E_POP3_DROP") + " " + user + " " + file).c_str()), 0);

    IpSSLRegister();
    TIpPop3Client c;
    c.UserName = user;
    c.Password = pass;
    c.SetUsingSSL(true);
    bool listed = false, done = false;
    std::string subject;
    std::vector<std::string> errors;
    c.OnError = [&](TIpSockControl*, SOCKET, int32_t, const std::string& t) {
        errors.push_back(t);
    };
    c.OnTaskComplete = [&](TIpCustomPop3Client* cl, TIpPop3Tasks, TStringList& list) {
        listed = true;
        EXPECT_EQ(list.Count(), 1);
        cl->Retrieve(1);
    };
    c.OnMessage = [&](TIpCustomPop3Client* cl, TIpMailMessage& m) {
        subject = m.Subject;
        cl->Dele(1);
        cl->Quit();
        done = true;
    };
    c.StartList("127.0.0.1:" + Env.at("SSL_POP3_PORT"));
    ASSERT_TRUE(Await([&] { return done || !errors.empty() || !Exceptions.empty(); }));
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_TRUE(Exceptions.empty()) << Exceptions.front();
    EXPECT_TRUE(listed);
    EXPECT_EQ(subject, "over ssl");
}

// The SMTP and NNTP servers through SSL 3.0: greeting, a command, QUIT.
TEST_F(SslE2e, SmtpAndNntpServersBehindSsl) {
    if (!Env.count("SSL_SMTP_PORT")) GTEST_SKIP() << "no relays";
    TEnv servers;
    LoadEnv("KESTRO_E2E_ENV", servers);
    if (!servers.count("KESTRO_E2E_SMTP_PORT")) GTEST_SKIP() << "no mail and news servers";
    struct TCase {
        const char* Port;
        const char* Greeting;
        const char* Command;
        const char* Reply;
        const char* QuitReply;
    };
    for (const TCase& t : {TCase{"SSL_SMTP_PORT", "220", "HELO kestro.test\r\n", "250", "221"},
                           TCase{"SSL_NNTP_PORT", "20", "DATE\r\n", "111", "205"}}) {
        SCOPED_TRACE(t.Port);
        TSslLineClient c;
        c.Connect("127.0.0.1:" + Env.at(t.Port));
        ASSERT_TRUE(Await([&] { return !c.Lines.empty() || c.Disconnects; }));
        EXPECT_EQ(c.Lines.at(0).rfind(t.Greeting, 0), 0u) << c.Lines[0];
        c.Send(t.Command);
        ASSERT_TRUE(Await([&] { return c.Lines.size() >= 2 || c.Disconnects; }));
        EXPECT_EQ(c.Lines.at(1).rfind(t.Reply, 0), 0u) << c.Lines[1];
        c.Send("QUIT\r\n");
        ASSERT_TRUE(Await([&] { return c.Disconnects > 0; }));
        EXPECT_EQ(c.Lines.back().rfind(t.QuitReply, 0), 0u) << c.Lines.back();
        EXPECT_TRUE(Exceptions.empty());
    }
}

// The mail task of a box with SSL on, as a run starts it.
class SslTaskE2e : public SslE2e {
  protected:
    void SetUp() override {
        SslE2e::SetUp();
        if (IsSkipped()) return;
        IpSSLRegister();
        Dir = std::filesystem::temp_directory_path() /
              ("kestro-ssl-task-" + std::to_string(getpid()));
        std::filesystem::remove_all(Dir);
        std::filesystem::create_directories(Dir / "spool");
        Running = true;
        Pop3Busy = SmtpBusy = 0;
        SetRunExitCode(0);
        GlobalConfig = TGlobalConfig();
    }
    void TearDown() override {
        Running = false;
        SetRunExitCode(0);
        ConfigList.FreeAll();
        if (!Dir.empty()) std::filesystem::remove_all(Dir);
        SslE2e::TearDown();
    }
    // Runs a POP3 task of a box with SSL on against 127.0.0.1:port; its log lines.
    std::vector<std::string> RunPop3Task(const std::string& port, const std::string& user,
                                         const std::string& pass) {
        const std::string file = (Dir / "box.cfg").string();
        std::ofstream(file, std::ios::binary)
            << "Pop3Server=127.0.0.1:" << port << "\r\nPop3UseSSL=enabled\r\nPop3User=" << user
            << "\r\nPop3Pass=" << pass << "\r\nPop3Spool=" << (Dir / "spool").string()
            << "/\r\nPop3Timeout=20\r\nPop3Envelope=" << user << "@example.org\r\n";
        static std::vector<std::string>* lines = nullptr;
        std::vector<std::string> out;
        lines = &out;
        TKestroPOP3Client task;
        task.ConfigIndex = ConfigList.Add(file);
        task.OnTaskLog = [](TKestroCustomClient*, int32_t, const std::string& text, bool) {
            if (lines) lines->push_back(text);
        };
        task.Start(1);
        EXPECT_TRUE(Await([&] { return task.State == 3; }, 60)) << "the task did not end";
        lines = nullptr;
        return out;
    }
    std::filesystem::path Dir;
};

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& l : lines) all += l + "\n";
    return all;
}

// A POP3 fetch over SSL: the mail lands in the spool and leaves the server.
TEST_F(SslTaskE2e, Pop3TaskFetchesOverSsl) {
    if (!Env.count("SSL_POP3_PORT")) GTEST_SKIP() << "no POP3 relay";
    TEnv pop3;
    LoadEnv("KESTRO_E2E_ENV", pop3);
    if (!pop3.count("KESTRO_E2E_POP3_DROP")) GTEST_SKIP() << "no POP3 server";
    const std::string user = "ssltask", pass = "ssltaskpw";
    ASSERT_EQ(std::system((pop3.at("KESTRO_E2E_ADDUSER") + " " + user + " " + pass).c_str()), 0);
    const std::string file = (Dir / "mail.eml").string();
    std::ofstream(file, std::ios::binary)
        << "From: a@example.org\r\nSubject: task over ssl\r\n\r\nbody\r\n";
    ASSERT_EQ(std::system((pop3.at("KESTRO_E2E_POP3_DROP") + " " + user + " " + file).c_str()), 0);
    const auto lines = RunPop3Task(Env.at("SSL_POP3_PORT"), user, pass);
    EXPECT_EQ(RunExitCode(), 0) << Joined(lines);
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Dir / "spool")) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        EXPECT_NE(text.find("task over ssl"), std::string::npos);
        ++files;
    }
    EXPECT_EQ(files, 1u) << Joined(lines);
}

// Against a TLS-only server the task ends with exit code 1; the SSL error arrives as the task's
// error event (its text in the task log), not at the program's exception handler.
TEST_F(SslTaskE2e, Pop3TaskAgainstTlsOnlyServerEndsWithExitCode1) {
    const auto lines = RunPop3Task(Env.at("SSL_TLS_ONLY_PORT"), "nobody", "nothing");
    EXPECT_EQ(RunExitCode(), 1) << Joined(lines);
    EXPECT_TRUE(Exceptions.empty()) << Joined(lines);
    EXPECT_NE(Joined(lines).find("Alert : Fatal Error - Handshake failure."), std::string::npos)
        << Joined(lines);
}

}  // namespace

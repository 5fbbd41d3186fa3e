// The mail tasks against real servers on 127.0.0.1 (the kestro_e2e fixture): Dovecot for POP3
// (USER/PASS and APOP, no LAST) and aiosmtpd for SMTP with AUTH LOGIN; mail sent by SMTP comes
// back by POP3 unchanged.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/engine/KestroGlobal.h"
#include "app/engine/RunState.h"
#include "app/engine/UnitScheduler.h"
#include "app/engine/pop3.h"
#include "app/engine/smtp.h"
#include "platform/core/Application.h"
#include "platform/fs/Files.h"
#include "tests/e2e/E2eEnv.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<std::string>* TaskLines = nullptr;

void CaptureTaskLog(TKestroCustomClient*, int32_t, const std::string& text, bool) {
    if (TaskLines) TaskLines->push_back(text);
}

bool Contains(const std::vector<std::string>& lines, const std::string& text) {
    for (const auto& line : lines)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

// The message inside a spool mail script: the lines after DATA, dot-unstuffed, with CR LF.
std::string ScriptMessage(const std::string& script) {
    const size_t data = script.find("\r\nDATA\r\n");
    if (data == std::string::npos) return std::string();
    std::string out;
    size_t pos = data + 8;
    while (pos < script.size()) {
        size_t end = script.find("\r\n", pos);
        if (end == std::string::npos) end = script.size();
        std::string line = script.substr(pos, end - pos);
        if (!line.empty() && line[0] == '.') line.erase(0, 1);
        out += line + "\r\n";
        pos = end + 2;
    }
    return out;
}

// A port of 127.0.0.1 that nothing listens on at the moment.
uint16_t FreePort() {
    uint16_t port = 0;
    close(LoopbackSocket(SOCK_STREAM, port));
    return port;
}

// A message as its header lines (sorted: the message model writes the fields in an order of its
// own) and its body. A parameter quoted without need may lose its quotes: that is the same value.
struct TParts {
    std::vector<std::string> Head;
    std::string Body;
    bool operator==(const TParts&) const = default;
};

TParts Split(const std::string& message) {
    TParts parts;
    const size_t end = message.find("\r\n\r\n");
    const std::string head = message.substr(0, end);
    parts.Body = end == std::string::npos ? "" : message.substr(end + 4);
    size_t pos = 0;
    while (pos < head.size()) {
        size_t eol = head.find("\r\n", pos);
        if (eol == std::string::npos) eol = head.size();
        parts.Head.push_back(head.substr(pos, eol - pos));
        pos = eol + 2;
    }
    std::sort(parts.Head.begin(), parts.Head.end());
    for (const char* quoted : {"filename=\"data.bin\"", "name=\"data.bin\""}) {
        std::string plain = quoted;
        plain.erase(std::remove(plain.begin(), plain.end(), '"'), plain.end());
        for (size_t at; (at = parts.Body.find(quoted)) != std::string::npos;)
            parts.Body.replace(at, std::string(quoted).size(), plain);
    }
    return parts;
}

// The message of the spool mail whose Subject is the given one; empty when none.
std::string BySubject(const std::vector<std::string>& mails, const std::string& subject) {
    for (const auto& mail : mails) {
        const std::string message = ScriptMessage(mail);
        if (message.find("\r\nSubject: " + subject + "\r\n") != std::string::npos ||
            message.rfind("Subject: " + subject + "\r\n", 0) == 0)
            return message;
    }
    return std::string();
}

class MailE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        auto env = e2e::Env::Load();
        if (!env) GTEST_SKIP() << "KESTRO_E2E_ENV is not set";
        Env = *env;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Dir = std::filesystem::temp_directory_path() /
              ("kestro-mail-e2e-" + std::to_string(getpid()) + "-" + info->name());
        std::filesystem::remove_all(Dir);
        std::filesystem::create_directories(Dir / "spool");
        Spool = (Dir / "spool").string() + "/";
        // A mailbox of its own: tests run in parallel against the same servers.
        User = "m";
        for (char c : std::string(info->name()))
            if (std::isalnum(static_cast<unsigned char>(c)) && User.size() < 24)
                User += char(std::tolower(static_cast<unsigned char>(c)));
        Pass = "pw" + std::to_string(getpid());
        Run(Env.Get("ADDUSER") + " " + User + " " + Pass);
        // ... and an empty one: a test run again finds what its last run left on the server.
        for (const char* sub : {"new", "cur", "tmp"}) {
            std::error_code none;
            for (const auto& entry : std::filesystem::directory_iterator(
                     Env.Get("POP3_MAILROOT") + "/" + User + "/Maildir/" + sub, none))
                std::filesystem::remove(entry.path(), none);
        }
        TaskLines = &Lines;
        Running = true;
        Pop3Busy = SmtpBusy = 0;
        SetRunExitCode(0);
        GlobalConfig = TGlobalConfig();
    }

    void TearDown() override {
        TaskLines = nullptr;
        Running = false;
        SetRunExitCode(0);
        ConfigList.FreeAll();
        if (!Dir.empty()) std::filesystem::remove_all(Dir);
        if (!PostfixDir.empty()) {
            std::system((PostfixDir + "/stop >/dev/null 2>&1").c_str());
            std::filesystem::remove_all(PostfixDir);
        }
    }

    static void Run(const std::string& command) {
        ASSERT_EQ(std::system((command + " >/dev/null").c_str()), 0) << command;
    }

    void Drop(const std::string& message) {
        const std::string file = (Dir / "drop.eml").string();
        WriteFile(file, message);
        Run(Env.Get("POP3_DROP") + " " + User + " " + file);
    }

    // Files in the user's mailbox, new and seen.
    size_t MailboxCount() {
        const std::string maildir = Env.Get("POP3_MAILROOT") + "/" + User + "/Maildir/";
        size_t n = 0;
        for (const char* sub : {"new", "cur"})
            for (const auto& entry : std::filesystem::directory_iterator(maildir + sub)) {
                (void)entry;
                ++n;
            }
        return n;
    }

    int32_t Box(const std::string& settings) {
        const std::string file = (Dir / "box.cfg").string();
        WriteFile(file,
                  "Pop3Server=" + Env.Host() + "\r\nPop3Port=" + std::to_string(Env.Port("POP3")) +
                      "\r\nPop3User=" + User + "\r\nPop3Pass=" + Pass + "\r\nPop3Spool=" + Spool +
                      "\r\nSmtpServer=" + Env.Host() + "\r\nSmtpSpool=" + Spool +
                      "\r\nPop3Envelope=" + User + "@example.org\r\n" + settings);
        return ConfigList.Add(file);
    }

    // Runs the task's event loop until it finishes (at most 30 s).
    static void RunTask(TKestroCustomClient& task) {
        ASSERT_TRUE(PumpUntil([&] { return task.State == 3; }, 30000)) << "the task did not finish";
    }

    // Fetches the box's mail; returns the spool's mail files in name order.
    std::vector<std::string> Fetch(const std::string& settings) {
        TKestroPOP3Client task;
        task.ConfigIndex = Box(settings);
        task.OnTaskLog = CaptureTaskLog;
        task.Start(1);
        RunTask(task);
        ApopStamp = task.Client->Timestamp();
        std::vector<std::string> out;
        for (const auto& name : FindFiles(Spool, "m*.msg")) out.push_back(ReadFile(Spool + name));
        return out;
    }

    e2e::Env Env;
    std::filesystem::path Dir;
    std::string Spool;
    std::string User;
    std::string Pass;
    std::string ApopStamp;
    std::string PostfixDir;
    std::vector<std::string> Lines;
};

const std::string kPlain =
    "From: Ann <ann@example.org>\r\nTo: someone@example.org\r\nSubject: plain\r\n"
    "Date: Sun, 6 Dec 2026 10:00:00 +0000\r\nMessage-ID: <plain.1@example.org>\r\n\r\n"
    "Hello.\r\n.leading dot\r\n..two dots\r\n\r\nBye.\r\n";
const std::string kEightBit =
    "From: b@example.org\r\nTo: someone@example.org\r\nSubject: Umlaute\r\n"
    "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=ISO-8859-1\r\n"
    "Content-Transfer-Encoding: 8bit\r\n\r\nGr\xFC\xDF"
    "e aus K\xF6ln, \xE4\xF6\xFC \xC4\xD6\xDC\r\n";
const std::string kMultipart =
    "From: c@example.org\r\nTo: someone@example.org\r\nSubject: attachment\r\n"
    "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"XYZ\"\r\n\r\n"
    "This is a multi-part message in MIME format.\r\n\r\n--XYZ\r\n"
    "Content-Type: text/plain; charset=us-ascii\r\n\r\nSee attachment.\r\n\r\n--XYZ\r\n"
    "Content-Type: application/octet-stream; name=\"data.bin\"\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "Content-Disposition: attachment; filename=\"data.bin\"\r\n\r\n"
    "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJygpKissLS4v\r\n\r\n--XYZ--\r\n";

std::string BigMail() {
    std::string text = "From: d@example.org\r\nTo: someone@example.org\r\nSubject: big\r\n\r\n";
    for (int i = 0; i < 400; ++i)
        text += "line " + std::to_string(i) + " " + std::string(70, 'x') + "\r\n";
    return text;  // about 31 KB
}

TEST_F(MailE2e, Pop3FetchesWholeMailsDeletesThemAndLeavesTheBigOne) {
    for (const auto& m : {kPlain, kEightBit, kMultipart, BigMail()}) Drop(m);
    const auto mails = Fetch("Pop3MaxLen=20\r\n");
    EXPECT_EQ(RunExitCode(), 0);
    ASSERT_EQ(mails.size(), 4u);
    EXPECT_EQ(Split(BySubject(mails, "plain")), Split(kPlain));
    EXPECT_EQ(Split(BySubject(mails, "Umlaute")), Split(kEightBit));
    EXPECT_EQ(Split(BySubject(mails, "attachment")), Split(kMultipart));
    for (const auto& mail : mails)
        EXPECT_EQ(mail.rfind("HELO " + Env.Host() + "\r\nRCPT TO:<" + User + "@example.org>", 0),
                  0u);
    const std::string big = BySubject(mails, "big");
    EXPECT_NE(big.find("line 49 "), std::string::npos);
    EXPECT_EQ(big.find("line 50 "), std::string::npos);
    EXPECT_NE(big.find("line 49 " + std::string(70, 'x') +
                       "\r\n\r\nDer Rest dieser Nachricht "
                       "wurde von Kestro \xFC"
                       "bersprungen,\r\n"),
              std::string::npos);
    EXPECT_TRUE(Contains(Lines,
                         "ist gr\xC3\xB6\xC3\x9F"
                         "er als 20 KBytes"));
    // Only the partly fetched mail is still on the server.
    EXPECT_EQ(MailboxCount(), 1u);
}

// A broken mailer's body of megabytes on a single line (base64 or HTML without line breaks) is
// fetched whole like any other mail; the session ends normally and every mail is deleted on the
// server, the long one last in the box as well.
TEST_F(MailE2e, Pop3FetchesAMailWithALineOfMegabytesAndEmptiesTheBox) {
    const std::string longLine(2 * 1024 * 1024 + 3, 'A');
    const std::string longMail =
        "From: e@example.org\r\nTo: someone@example.org\r\nSubject: one long line\r\n"
        "MIME-Version: 1.0\r\nContent-Type: text/html\r\n\r\n<p>" +
        longLine + "</p>\r\nafter\r\n";
    Drop(kPlain);
    Drop(longMail);
    const auto mails = Fetch("");
    EXPECT_EQ(RunExitCode(), 0);
    EXPECT_FALSE(Contains(Lines, "too long"));
    ASSERT_EQ(mails.size(), 2u);
    EXPECT_EQ(Split(BySubject(mails, "plain")), Split(kPlain));
    EXPECT_NE(BySubject(mails, "one long line").find("\r\n<p>" + longLine + "</p>\r\nafter\r\n"),
              std::string::npos);
    EXPECT_EQ(MailboxCount(), 0u);
}

TEST_F(MailE2e, Pop3KeepsMailWhenAskedAndFallsBackWithoutLast) {
    Drop(kPlain);
    Drop(kEightBit);
    const auto mails = Fetch("Pop3Keep=enabled\r\nPop3OnlyNew=enabled\r\n");
    EXPECT_EQ(mails.size(), 2u);
    EXPECT_TRUE(Contains(Lines, "unterst\xC3\xBCtzt LAST Kommando nicht"));
    EXPECT_EQ(MailboxCount(), 2u);
    EXPECT_EQ(RunExitCode(), 0);
}

TEST_F(MailE2e, Pop3LogsOnWithApop) {
    Drop(kPlain);
    const auto mails = Fetch("Pop3Auth=enabled\r\n");
    EXPECT_FALSE(ApopStamp.empty());
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(Split(ScriptMessage(mails[0])), Split(kPlain));
    EXPECT_EQ(MailboxCount(), 0u);
}

TEST_F(MailE2e, Pop3WrongPasswordFailsTheTransfer) {
    Drop(kPlain);
    Pass += "-wrong";
    const auto mails = Fetch("");
    EXPECT_TRUE(mails.empty());
    EXPECT_EQ(RunExitCode(), 1);
    EXPECT_TRUE(Contains(Lines, "Error auf " + Env.Host()));
    EXPECT_EQ(MailboxCount(), 1u);
}

class SmtpE2e : public MailE2e {
  protected:
    void Outgoing(const std::string& name, const std::string& rcpt, const std::string& message) {
        std::string body;
        std::istringstream in(message);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty() && line[0] == '.') line.insert(0, ".");
            body += line + "\r\n";
        }
        WriteFile(Spool + name, "HELO point.example\r\nMAIL FROM:<me@point.example>\r\nRCPT TO:<" +
                                    rcpt + ">\r\nDATA\r\n" + body + ".\r\nQUIT\r\n");
    }

    void Send(const std::string& settings) {
        TKestroSMTPClient task;
        task.ConfigIndex = Box(settings);
        task.OnTaskLog = CaptureTaskLog;
        task.Start(1);
        RunTask(task);
    }

    std::string Mail(const std::string& subject, const std::string& to) {
        return "From: Me <me@point.example>\r\nTo: " + to + "\r\nSubject: " + subject +
               "\r\nDate: Sun, 6 Dec 2026 11:00:00 +0100\r\nMessage-ID: <" + subject +
               "@point.example>\r\n\r\nText of " + subject + "\r\n.dot line\r\n";
    }

    std::string SmtpSettings(bool authPort) {
        return "SmtpPort=" + std::to_string(Env.Port(authPort ? "SMTP_AUTH" : "SMTP")) +
               "\r\nSmtpUser=" + Env.Get("SMTP_USER") + "\r\nSmtpPass=" + Env.Get("SMTP_PASS") +
               "\r\n";
    }
};

TEST_F(SmtpE2e, ThreeFilesWithLoginOnOneConnectionAndBackByPop3) {
    const std::string to = User + "@example.org";
    const std::string a = Mail("one", to), b = Mail("two", to), c = Mail("three", to);
    Outgoing("M0001.OUT", to, a);
    Outgoing("M0002.OUT", to, b);
    Outgoing("M0003.OUT", to, c);
    // The server's log is the whole fixture's: only what it writes from here on is this run's.
    const size_t logged = ReadFile(Env.Get("SMTP_LOG")).size();
    Send(SmtpSettings(true));
    EXPECT_EQ(RunExitCode(), 0);
    EXPECT_TRUE(FindFiles(Spool, "M*.OUT").empty());
    EXPECT_TRUE(Contains(Lines, "Letze Nachricht versandt"));

    // The server logged one transaction per file, each after AUTH.
    const std::string log = ReadFile(Env.Get("SMTP_LOG")).substr(logged);
    int seen = 0;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line))
        if (line.find(to) != std::string::npos) {
            ++seen;
            EXPECT_NE(line.find("\"auth\": \"" + Env.Get("SMTP_USER") + "\""), std::string::npos)
                << line;
        }
    EXPECT_EQ(seen, 3);

    // Back by POP3: every header line and the body as sent, with the mailer line added.
    const auto mails = Fetch("");
    ASSERT_EQ(mails.size(), 3u);
    for (const auto& [subject, sent] : {std::pair{"one", a}, {"two", b}, {"three", c}}) {
        TParts back = Split(BySubject(mails, subject));
        const auto mailer = std::find_if(back.Head.begin(), back.Head.end(), [](auto& l) {
            return l.rfind("X-Mailer: Orvalin Kestro V", 0) == 0;
        });
        ASSERT_NE(mailer, back.Head.end()) << subject;
        back.Head.erase(mailer);
        EXPECT_EQ(back, Split(sent)) << subject;
    }
}

// Postfix as a real MTA: AUTH LOGIN through its SASL, three files on one connection, delivered
// into the mailbox that Dovecot serves.
TEST_F(SmtpE2e, PostfixTakesThreeFilesWithLoginAndDeliversThem) {
    const uint16_t port = FreePort();
    ASSERT_NE(port, 0);
    // Short: the SASL socket's path must fit a socket address.
    const std::string dir = "/tmp/kestro-pf-" + std::to_string(getpid());
    PostfixDir = dir;
    Run(std::string(KESTRO_SOURCE_DIR) + "/tests/e2e/mail/smtp-postfix.sh " + dir + " " +
        std::to_string(port) + " " + Env.Get("POP3_MAILROOT") + " " + User + ":" + Pass);
    if (HasFatalFailure()) return;
    const std::string to = User + "@example.org";
    Outgoing("M0001.OUT", to, Mail("pf-one", to));
    Outgoing("M0002.OUT", to, Mail("pf-two", to));
    Outgoing("M0003.OUT", to, Mail("pf-three", to));
    Send("SmtpPort=" + std::to_string(port) + "\r\nSmtpUser=" + User + "\r\nSmtpPass=" + Pass +
         "\r\n");
    EXPECT_EQ(RunExitCode(), 0);
    EXPECT_TRUE(FindFiles(Spool, "M*.OUT").empty());

    // Postfix delivers and logs in the background: wait for the three files and the session's
    // summary line (at most 30 s; its first delivery agent can take some seconds to start).
    PumpUntil(
        [&] {
            return MailboxCount() >= 3 &&
                   ReadFile(dir + "/maillog").find(" quit=1") != std::string::npos;
        },
        30000);
    const std::string log = ReadFile(dir + "/maillog");
    EXPECT_EQ(MailboxCount(), 3u) << log;
    EXPECT_NE(log.find("sasl_username=" + User), std::string::npos) << log;
    EXPECT_NE(log.find("ehlo=1 auth=1 mail=3 rcpt=3 data=3 quit=1"), std::string::npos) << log;
    Run(dir + "/stop");

    const auto mails = Fetch("");
    std::string log2;
    for (const auto& l : Lines) log2 += l + "\n";
    ASSERT_EQ(mails.size(), 3u) << log2;
    EXPECT_NE(BySubject(mails, "pf-two").find("\r\n\r\nText of pf-two\r\n.dot line\r\n"),
              std::string::npos);
}

// A recipient refused for good would be refused on every run: its mail stays as written, and
// the mail after it still goes out.
TEST_F(SmtpE2e, RefusedRecipientKeepsItsFileAndTheLaterOnesGoOut) {
    const std::string to = User + "@example.org";
    const std::string reject = Env.Get("SMTP_REJECT_RCPT");
    Outgoing("M0001.OUT", to, Mail("first", to));
    Outgoing("M0002.OUT", reject, Mail("second", reject));
    Outgoing("M0003.OUT", to, Mail("third", to));
    const std::string refused = ReadFile(Spool + "M0002.OUT");
    Send(SmtpSettings(false));
    EXPECT_EQ(RunExitCode(), 1);
    EXPECT_TRUE(Contains(Lines, "SMTP Error 550"));
    EXPECT_TRUE(Contains(Lines, "M0002.OUT) wurde abgewiesen und bleibt im Spool"));
    const std::vector<std::string> left = {"M0002.OUT"};
    EXPECT_EQ(FindFiles(Spool, "M*.OUT"), left);
    EXPECT_EQ(ReadFile(Spool + "M0002.OUT"), refused);
    EXPECT_EQ(MailboxCount(), 2u);
}

}  // namespace

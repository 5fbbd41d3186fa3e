// The POP3 fetch task and the SMTP send task against scripted servers: what lands in the spool,
// what leaves it, what the run log says and which exit code the process gets.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/engine/RunState.h"
#include "app/engine/SpoolFiles.h"
#include "app/engine/pop3.h"
#include "app/engine/smtp.h"
#include "platform/fs/Files.h"
#include "tests/app/engine/EngineFixture.h"
#include "tests/netlib/pop3/FakePeer.h"

namespace {

std::vector<std::string>* TaskLines = nullptr;
std::vector<std::string>* MailLines = nullptr;

void CaptureLog(TKestroCustomClient*, int32_t, const std::string& text, bool) {
    if (TaskLines) TaskLines->push_back(text);
}
void CaptureMail(TKestroCustomClient*, const std::string& line) {
    if (MailLines) MailLines->push_back(line);
}
int StatusReports = 0;
void CountStatus(TKestroCustomClient*, int32_t) {
    ++StatusReports;
}

bool Contains(const std::vector<std::string>& lines, const std::string& text) {
    for (const auto& line : lines)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

// The whole line is in the log, as written: nothing of the wire (a line end) hangs on.
bool Logged(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class MailTask : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        TaskLines = &Lines;
        MailLines = &Mails;
        Running = true;
        StatusReports = 0;
        Pop3Busy = SmtpBusy = 0;
        MailCount = 0;
        SpoolCounter = 0;  // every test starts with m0.msg, also when all run in one process
        SetRunExitCode(0);
        Spool = ProgramDir() + "spool/";
        std::filesystem::create_directories(Spool);
    }
    void TearDown() override {
        TaskLines = nullptr;
        MailLines = nullptr;
        Running = false;
        SetRunExitCode(0);
        EngineTest::TearDown();
    }

    // Loads a box with the given extra settings (key=value lines).
    int32_t Box(const std::string& settings) {
        WriteFile(ProgramDir() + "box.cfg",
                  "Pop3Server=127.0.0.1\r\nPop3User=joe\r\nPop3Pass=pw\r\n"
                  "SmtpServer=127.0.0.1\r\nPop3Spool=" +
                      Spool + "\r\nSmtpSpool=" + Spool + "\r\n" + settings);
        return ConfigList.Add(ProgramDir() + "box.cfg");
    }

    template <class T>
    void Wire(T& task, int32_t box) {
        task.ConfigIndex = box;
        task.OnTaskLog = CaptureLog;
        task.OnNewMail = CaptureMail;
        Peer.Install(*task.Client);
    }

    // Wires the task to a fresh box with the given settings and starts it as task number n.
    template <class T>
    void Run(T& task, const std::string& settings, int32_t n = 1) {
        Wire(task, Box(settings));
        task.Start(n);
    }

    template <class T>
    void ExpectEnded(const T& task, int32_t exitCode) {
        EXPECT_EQ(task.State, 3);
        EXPECT_EQ(RunExitCode(), exitCode);
    }

    std::vector<std::string> SpoolFiles(const std::string& pattern) {
        return FindFiles(Spool, pattern);
    }

    std::string Spool;
    TFakePeer Peer;
    std::vector<std::string> Lines;
    std::vector<std::string> Mails;
};

// ---- POP3 ---------------------------------------------------------------------------------------

class Pop3Task : public MailTask {
  protected:
    // Greeting, USER, PASS, STAT and LIST with the given entries ("1 120", ...).
    void ListMailbox(const std::vector<std::string>& entries) {
        Peer.Accept();
        Peer.Say("+OK ready");
        EXPECT_EQ(Peer.Sent(), "USER joe\r\n");
        Peer.Say("+OK");
        EXPECT_EQ(Peer.Sent(), "PASS pw\r\n");
        Peer.Say("+OK");
        EXPECT_EQ(Peer.Sent(), "STAT\r\n");
        Peer.Say("+OK " + std::to_string(entries.size()) + " 999");
        if (entries.empty()) return;
        EXPECT_EQ(Peer.Sent(), "LIST\r\n");
        std::string listing = "+OK\r\n";
        for (const auto& e : entries) listing += e + "\r\n";
        Peer.SayAll(listing + ".\r\n");
    }
    // The unique-id listing a task asks for before it fetches mails it is to delete.
    void SendUidl(const std::string& lines) { Peer.SayAll("+OK\r\n" + lines + ".\r\n"); }
    // The mailbox listed, then asked for its ids, which the server gives as lines.
    void ListWithIds(const std::vector<std::string>& entries, const std::string& uidl) {
        ListMailbox(entries);
        EXPECT_EQ(Peer.Sent(), "UIDL\r\n");
        SendUidl(uidl);
    }
    void SendMail(int n) {
        Peer.SayAll("+OK\r\nFrom: a" + std::to_string(n) + "@example.org\r\nSubject: mail " +
                    std::to_string(n) +
                    "\r\nDate: Sun, 6 Dec 2026 10:00:00 +0000\r\n\r\n"
                    "..dotted\r\nbody " +
                    std::to_string(n) + "\r\n.\r\n");
    }
};

TEST_F(Pop3Task, FetchesEveryMailIntoTheSpoolThenDeletesAndQuits) {
    TKestroPOP3Client task;
    Run(task, "Pop3Envelope=joe@example.org\r\n", 7);
    EXPECT_TRUE(Peer.Socket->ConnectCalled());
    ListWithIds({"1 120", "2 130"}, "1 u1\r\n2 u2\r\n");
    EXPECT_EQ(Peer.Sent(), "RETR 1\r\n");
    SendMail(1);
    EXPECT_EQ(Peer.Sent(), "RETR 2\r\n");
    SendMail(2);
    // Deletions only after both mails are in the spool.
    ASSERT_EQ(SpoolFiles("*.msg").size(), 2u);
    EXPECT_EQ(Peer.Sent(), "DELE 1\r\n");
    Peer.Say("+OK deleted");
    EXPECT_EQ(Peer.Sent(), "DELE 2\r\n");
    Peer.Say("+OK deleted");
    EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
    EXPECT_EQ(task.State, 1);  // until the server confirms, the deletions are not done
    Peer.Say("+OK bye");
    ExpectEnded(task, 0);
    EXPECT_EQ(MailCount, 2);

    const std::string first = ReadFile(Spool + "m0.msg");
    EXPECT_EQ(first.rfind("HELO 127.0.0.1\r\nRCPT TO:<joe@example.org>\r\nDATA\r\n", 0), 0u)
        << first;
    EXPECT_NE(first.find("Subject: mail 1\r\n"), std::string::npos);
    EXPECT_NE(first.find("\r\n..dotted\r\nbody 1\r\n"), std::string::npos) << first;
    EXPECT_TRUE(SpoolFiles("*.tmp").empty());

    ASSERT_EQ(Mails.size(), 2u);
    EXPECT_EQ(Mails[0].rfind(Spool + "m0.msg\x01", 0), 0u);
    EXPECT_NE(Mails[0].find("\x02mail 1\x03"), std::string::npos);
    EXPECT_TRUE(Contains(Lines, "Verbinde zu POP Server 127.0.0.1"));
    EXPECT_TRUE(Contains(Lines, "Empfange Nachricht 2 von 2 Nachrichten"));
    EXPECT_TRUE(Contains(Lines, "L\xC3\xB6sche Nachricht 2 von 2 Nachrichten"));
    EXPECT_TRUE(Contains(Lines, "Es wurden 2 Nachrichten empfangen/bearbeitet"));
}

// A fast server's mails arrive between two ticks of the client's timer, the only time the
// client reports progress: the task still counts every byte of the session, at the end of each
// mail, for the task view and the run's total.
TEST_F(Pop3Task, CountsEveryByteOfTheSessionWhenTheMailsEnd) {
    TKestroPOP3Client task;
    Run(task, "");
    task.OnTaskStatus = CountStatus;
    ListWithIds({"1 120", "2 130", "3 140"}, "1 u1\r\n2 u2\r\n3 u3\r\n");
    for (int N = 1; N <= 3; ++N) {
        Peer.Sent();
        SendMail(N);
        EXPECT_EQ(task.Bytes, int64_t(Peer.Said)) << N;
    }
    EXPECT_EQ(StatusReports, 3);
    // A progress report of the mail's own count adds nothing the session had not counted.
    task.DoProgress(task.Client.get(), 10);
    EXPECT_EQ(task.Bytes, int64_t(Peer.Said));
}

TEST_F(Pop3Task, EmptyMailboxFinishesWithoutFurtherCommands) {
    TKestroPOP3Client task;
    Run(task, "");
    ListMailbox({});
    EXPECT_EQ(Peer.Sent(), "LIST\r\n");
    Peer.SayAll("+OK\r\n.\r\n");
    EXPECT_EQ(Peer.Sent(), "");
    EXPECT_EQ(task.State, 3);
    EXPECT_TRUE(Contains(Lines, "Keine neuen Nachrichten vorhanden"));
}

TEST_F(Pop3Task, MailAboveTheLimitComesPartlyWithANoticeAndStaysOnTheServer) {
    TKestroPOP3Client task;
    Run(task, "Pop3MaxLen=1\r\n");
    ListMailbox({"1 1024", "2 1025"});
    EXPECT_EQ(Peer.Sent(), "UIDL\r\n");
    Peer.SayAll("+OK\r\n1 u1\r\n2 u2\r\n.\r\n");
    EXPECT_EQ(Peer.Sent(), "RETR 1\r\n");
    SendMail(1);
    EXPECT_EQ(Peer.Sent(), "TOP 2 50\r\n");
    EXPECT_TRUE(Contains(Lines,
                         "Nachricht 2 (1025 Bytes) ist gr\xC3\xB6\xC3\x9F"
                         "er als 1 KBytes"));
    SendMail(2);
    // The partial mail stays on the server: only mail 1 is deleted.
    EXPECT_EQ(Peer.Sent(), "DELE 1\r\n");
    Peer.Say("+OK");
    EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
    // The head and lines as the server sent them, the notice after them as the only change.
    EXPECT_EQ(ReadFile(Spool + "m1.msg"),
              "HELO 127.0.0.1\r\nRCPT TO:<" + std::string(DefaultEnvelope) +
                  ">\r\nDATA\r\nFrom: a2@example.org\r\nSubject: mail 2\r\n"
                  "Date: Sun, 6 Dec 2026 10:00:00 +0000\r\n\r\n..dotted\r\nbody 2\r\n\r\n"
                  "Der Rest dieser Nachricht wurde von Kestro \xFC"
                  "bersprungen,\r\nda die eingestellte Nachrichtengr\xF6\xDF"
                  "e \xFC"
                  "berschritten wurde.\r\n\r\n");
}

TEST_F(Pop3Task, StoresEachMailAsReceivedForTheFirstToAddress) {
    TKestroPOP3Client task;
    Run(task, "Pop3Envelope=*\r\nPop3Keep=enabled\r\n");
    ListMailbox({"1 300"});
    EXPECT_EQ(Peer.Sent(), "RETR 1\r\n");
    const std::string mail =
        "subject: as sent\r\nTo: \"Muster, Anna\" <anna@example.net>,\r\n  b@example.org\r\n"
        "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\npreamble\r\n"
        "--b\r\nContent-Type: text/plain; charset=\"UTF-8\"\r\n\r\n\r\nblank first\r\n"
        "--b--\r\nepilogue\r\n";
    Peer.SayAll("+OK\r\n" + mail + ".\r\n");
    EXPECT_EQ(ReadFile(Spool + "m0.msg"),
              "HELO 127.0.0.1\r\nRCPT TO:<anna@example.net>\r\nDATA\r\n" + mail);
}

TEST_F(Pop3Task, KeepWithOnlyNewFetchesAfterTheLastReadOrAllWithoutLast) {
    {
        TKestroPOP3Client task;
        Run(task, "Pop3Keep=enabled\r\nPop3OnlyNew=enabled\r\n");
        ListMailbox({"1 100", "2 100"});
        EXPECT_EQ(Peer.Sent(), "LAST\r\n");
        Peer.Say("-ERR Unknown command: LAST");
        EXPECT_TRUE(
            Contains(Lines, "Warnung: Server 127.0.0.1 unterst\xC3\xBCtzt LAST Kommando nicht"));
        EXPECT_EQ(Peer.Sent(), "RETR 1\r\n");
        SendMail(1);
        EXPECT_EQ(Peer.Sent(), "RETR 2\r\n");
        SendMail(2);
        EXPECT_EQ(Peer.Sent(), "");  // nothing deleted, no QUIT needed before the end
        EXPECT_EQ(task.State, 3);
    }
    {
        TKestroPOP3Client task;
        Run(task, "Pop3Keep=enabled\r\nPop3OnlyNew=enabled\r\n", 2);
        ListMailbox({"1 100", "2 100"});
        EXPECT_EQ(Peer.Sent(), "LAST\r\n");
        Peer.Say("+OK 2");
        EXPECT_EQ(Peer.Sent(), "");
        EXPECT_EQ(task.State, 3);
        EXPECT_TRUE(Contains(Lines, "Es wurden 2 Nachrichten empfangen/bearbeitet"));
    }
}

TEST_F(Pop3Task, RefusedLoginEndsTheTaskWithExitCode1) {
    TKestroPOP3Client task;
    Run(task, "");
    Peer.Accept();
    Peer.Say("+OK ready");
    Peer.Say("+OK");
    Peer.Say("-ERR [AUTH] Authentication failed.");
    ExpectEnded(task, 1);
    EXPECT_TRUE(Contains(Lines, "Error auf 127.0.0.1: [AUTH] Authentication failed."));
}

// A mailbox whose count cannot be read is no empty mailbox: the run must not report success
// while the mail stays on the server unseen.
TEST_F(Pop3Task, StatReplyWithoutACountEndsTheTaskWithExitCode1) {
    for (const char* Reply : {"+OK 99999999999999999999 100", "+OK -5 0", "+OK -1 -1", "+OK"}) {
        const std::string stat = Reply;
        SCOPED_TRACE(stat);
        SetRunExitCode(0);
        Lines.clear();
        TKestroPOP3Client task;
        Run(task, "");
        Peer.Accept();
        Peer.Say("+OK ready");
        Peer.Say("+OK");
        Peer.Say("+OK");
        EXPECT_EQ(Peer.Sent(), "USER joe\r\nPASS pw\r\nSTAT\r\n");
        Peer.Say(stat);
        ExpectEnded(task, 1);
        EXPECT_TRUE(Contains(
            Lines, "Error auf 127.0.0.1: STAT-Antwort \"" + stat + "\" ist ung\xC3\xBCltig"));
        Peer.SayAll("+OK\r\n1 100\r\n.\r\n");
        EXPECT_FALSE(Contains(Lines, "Nachrichten empfangen/bearbeitet"));
        EXPECT_EQ(Peer.Sent().find("RETR"), std::string::npos);
    }
}

TEST_F(Pop3Task, ServerThatClosesEarlyEndsTheTaskWithExitCode1) {
    TKestroPOP3Client task;
    Run(task, "");
    ListMailbox({"1 100"});
    Peer.Sent();
    Peer.Close();
    ExpectEnded(task, 1);
    EXPECT_TRUE(Contains(Lines, "vorzeitig beendet"));
    EXPECT_TRUE(SpoolFiles("*.msg").empty());
}

// Attachments in base64 lines of 120 characters (some mailers write them so) and one whose
// uuencoded body is broken: the first mail is stored with what could be taken from it, the broken
// part as it came, and the mailbox goes on to the next mail.
TEST_F(Pop3Task, AttachmentsThatBendOrBreakTheEncodingBlockNoMailbox) {
    const std::string extract = ProgramDir() + "files/";
    std::filesystem::create_directories(extract);
    const TBentAttachments files;
    const std::string mail = "From: a@example.org\r\nSubject: files\r\n" + files.Mime;
    TKestroPOP3Client task;
    Run(task, "ExtractAttach=enabled\r\nDeleteAttach=enabled\r\nExtractPath=" + extract + "\r\n");
    ListWithIds({"1 900", "2 130"}, "1 u1\r\n2 u2\r\n");
    EXPECT_EQ(Peer.Sent(), "RETR 1\r\n");
    Peer.SayAll("+OK\r\n" + mail + ".\r\n");
    EXPECT_EQ(Peer.Sent(), "RETR 2\r\n");
    SendMail(2);
    EXPECT_EQ(Peer.Sent(), "DELE 1\r\n");
    Peer.Say("+OK");
    EXPECT_EQ(Peer.Sent(), "DELE 2\r\n");
    Peer.Say("+OK");
    EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
    Peer.Say("+OK bye");
    ExpectEnded(task, 0);
    EXPECT_EQ(MailCount, 2);

    EXPECT_EQ(ReadFile(extract + "long.bin"), files.Content);
    EXPECT_FALSE(FileExists(extract + "broken.bin"));
    const std::string first = ReadFile(Spool + "m0.msg");
    EXPECT_NE(first.find("filename=broken.bin\r\n\r\n" + files.Broken), std::string::npos) << first;
    EXPECT_NE(first.find(files.NoticeStart), std::string::npos) << first;
    EXPECT_NE(ReadFile(Spool + "m1.msg").find("Subject: mail 2"), std::string::npos);
    EXPECT_TRUE(
        Contains(LogLines, "Anhang " + extract + "broken.bin konnte nicht dekodiert werden"));
}

TEST_F(Pop3Task, MailThatCannotBeStoredIsNotDeleted) {
    std::filesystem::create_directories(Spool + "m0.tmp");  // the spool file cannot be written
    TKestroPOP3Client task;
    Run(task, "");
    ListWithIds({"1 100"}, "1 u1\r\n");
    EXPECT_EQ(Peer.Sent(), "RETR 1\r\n");
    SendMail(1);
    EXPECT_EQ(Peer.Sent(), "");
    ExpectEnded(task, 1);
}

// The disk fills up while the spool file is written: no part of it stays under any name, the
// mail stays on the server, and the log names the file and the reason.
TEST_F(Pop3Task, MailThatFillsTheDiskLeavesNoPartAndIsNotDeleted) {
    TKestroPOP3Client task;
    Run(task, "");
    ListWithIds({"1 100"}, "1 u1\r\n");
    EXPECT_EQ(Peer.Sent(), "RETR 1\r\n");
    {
        FileSizeLimit full(64);
        SendMail(1);
    }
    EXPECT_EQ(Peer.Sent(), "");
    ExpectEnded(task, 1);
    EXPECT_TRUE(SpoolFiles("*").empty());
    EXPECT_TRUE(Contains(Lines, "Error: Die Datei " + Spool +
                                    "m0.tmp konnte nicht geschrieben werden: File too large"));
}

// The written spool file cannot take its name (a directory holds it, so the rename that never
// replaces fails): only a .tmp would be left, which the point program never imports, so the
// mail must stay on the server.
TEST_F(Pop3Task, MailWhoseSpoolFileCannotBeRenamedIsNotDeleted) {
    std::filesystem::create_directories(Spool + "m0.msg");
    TKestroPOP3Client task;
    Run(task, "");
    ListWithIds({"1 100"}, "1 u1\r\n");
    EXPECT_EQ(Peer.Sent(), "RETR 1\r\n");
    SendMail(1);
    EXPECT_EQ(Peer.Sent(), "");  // neither DELE nor the QUIT that would commit one
    ExpectEnded(task, 1);
    EXPECT_TRUE(SpoolFiles("*.tmp").empty());
    EXPECT_TRUE(SpoolFiles("*.msg").empty());  // files only: the directory is not listed
    EXPECT_TRUE(std::filesystem::is_directory(Spool + "m0.msg"));
    EXPECT_EQ(MailCount, 0);
    EXPECT_TRUE(Mails.empty());
}

TEST_F(Pop3Task, MissingSpoolOrBadPortEndsBeforeConnecting) {
    int32_t n = 0;
    for (const std::string& settings :
         {"Pop3Spool=" + ProgramDir() + "nowhere\r\n", std::string("Pop3Port=70000\r\n")}) {
        SCOPED_TRACE(settings);
        SetRunExitCode(0);
        TKestroPOP3Client task;
        Run(task, settings, ++n);
        EXPECT_EQ(Peer.Socket, nullptr);
        ExpectEnded(task, 1);
    }
    EXPECT_TRUE(Contains(Lines, "existiert nicht!"));
}

TEST_F(Pop3Task, SilentServerEndsTheTaskAfterTheIdleTimeWithExitCode2) {
    TKestroPOP3Client task;
    Run(task, "Pop3Timeout=1\r\n");
    Peer.Accept();  // and then says nothing
    for (int i = 0; i < 40 && task.State != 3; ++i) {
        Application.WaitForEvent(100);
        Application.ProcessMessages();
    }
    ExpectEnded(task, 2);
    EXPECT_TRUE(Contains(Lines, "Error: Socket Timeout"));
    EXPECT_FALSE(task.HandlerRunning());
}

// A server that drips its reply stopped answering in time as much as a silent one: the client
// gives the reply up with a time-out error, and the run ends as after the idle time-out.
TEST_F(Pop3Task, ReplyGivenUpAsTooSlowEndsWithExitCode2) {
    TKestroPOP3Client Task;
    Run(Task, "");
    ListMailbox({"1 100"});
    Task.Client->AbortReply(WSAETIMEDOUT, "reply too slow, connection dropped");
    ExpectEnded(Task, 2);
    EXPECT_TRUE(Contains(Lines, "Error: [POP3] reply too slow, connection dropped"));
}

// A connection the system timed out is a failed connection, as every other socket error.
TEST_F(Pop3Task, ASocketTimeOutOfTheSystemEndsWithExitCode1) {
    TKestroPOP3Client Task;
    Run(Task, "");
    ListMailbox({"1 100"});
    Task.Client->DoError(Task.Client->SocketHandle(), WSAETIMEDOUT, "Connection timed out");
    ExpectEnded(Task, 1);
}

TEST_F(Pop3Task, SmtpAfterPopHoldsTheCountUntilTheTaskIsFreed) {
    {
        TKestroPOP3Client a;
        TKestroPOP3Client b;
        Run(a, "SmtpAfterPop=enabled\r\n");
        Run(b, "SmtpAfterPop=enabled\r\n", 2);
        EXPECT_EQ(Pop3Busy, 2);
    }
    EXPECT_EQ(Pop3Busy, 0);
}

// ---- mails above the size limit -----------------------------------------------------------------

// A mail above the limit stays on the server; the box's list of partly fetched mails keeps later
// runs from storing it again.
class PartialMail : public Pop3Task {
  protected:
    std::string ListFile() const { return ProgramDir() + "box.big"; }

    // The reply to TOP: a head (with the Message-ID given, none when empty) and one body line.
    void SendTop(const std::string& subject, const std::string& messageId = "") {
        Peer.SayAll("+OK\r\nFrom: big@example.org\r\nSubject: " + subject + "\r\n" +
                    (messageId.empty() ? "" : "Message-ID: " + messageId + "\r\n") +
                    "\r\nfirst lines\r\n.\r\n");
    }

    // Spool mails with the given subject.
    size_t Stored(const std::string& subject) {
        size_t n = 0;
        for (const auto& name : SpoolFiles("*.msg"))
            n += ReadFile(Spool + name).find("\r\nSubject: " + subject + "\r\n") !=
                 std::string::npos;
        return n;
    }

    static std::string Skipped(int n, const char* size) {
        return "Nachricht " + std::to_string(n) + " (" + size +
               " Bytes) ist gr\xC3\xB6\xC3\x9F"
               "er als 1 KBytes und wurde schon teilweise geholt";
    }
};

TEST_F(PartialMail, StoredOnceOverThreeRunsByTheServersUniqueIdAndNeverDeleted) {
    {
        TKestroPOP3Client task;
        Run(task, "Pop3MaxLen=1\r\n", 1);
        ListWithIds({"1 100", "2 5000"}, "1 whole-1\r\n2 big-1\r\n");
        EXPECT_EQ(Peer.Sent(), "RETR 1\r\n");
        SendMail(1);
        EXPECT_EQ(Peer.Sent(), "TOP 2 50\r\n");
        SendTop("big", "<big@example.org>");
        EXPECT_EQ(ReadFile(ListFile()), "big-1\r\n");
        EXPECT_EQ(Peer.Sent(), "DELE 1\r\n");
        Peer.Say("+OK");
        EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
        Peer.Say("+OK");
        ExpectEnded(task, 0);
    }
    // The big mail is message 1 now, beside a new one: its top is not asked for again.
    for (int run = 2; run <= 3; ++run) {
        SCOPED_TRACE(run);
        TKestroPOP3Client task;
        Run(task, "Pop3MaxLen=1\r\n", run);
        ListWithIds({"1 5000", "2 100"}, "1 big-1\r\n2 whole-" + std::to_string(run) + "\r\n");
        EXPECT_EQ(Peer.Sent(), "RETR 2\r\n");
        SendMail(run);
        EXPECT_EQ(Peer.Sent(), "DELE 2\r\n");
        Peer.Say("+OK");
        EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
        Peer.Say("+OK");
        ExpectEnded(task, 0);
    }
    EXPECT_EQ(Stored("big"), 1u);
    EXPECT_EQ(SpoolFiles("*.msg").size(), 4u);
    EXPECT_EQ(MailCount, 4);
    EXPECT_EQ(ReadFile(ListFile()), "big-1\r\n");
    EXPECT_TRUE(Contains(Lines, Skipped(1, "5000")));
}

// Without UIDL the head is fetched each run and its Message-ID decides; a mail without either id
// cannot be recognised and is stored each time, as before.
TEST_F(PartialMail, WithoutUniqueIdsTheMessageIdOfTheHeadRecognisesIt) {
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        TKestroPOP3Client task;
        Run(task, "Pop3MaxLen=1\r\nPop3Keep=enabled\r\nPop3OnlyNew=enabled\r\n", run);
        ListMailbox({"1 5000", "2 6000"});
        EXPECT_EQ(Peer.Sent(), "UIDL\r\n");
        Peer.Say("-ERR Unknown command: UIDL");
        EXPECT_EQ(Peer.Sent(), "LAST\r\n");
        Peer.Say("-ERR Unknown command: LAST");
        EXPECT_EQ(Peer.Sent(), "TOP 1 50\r\n");
        SendTop("with id", "<a@example.org>");
        EXPECT_EQ(Peer.Sent(), "TOP 2 50\r\n");
        SendTop("no id");
        EXPECT_EQ(Peer.Sent(), "");
        ExpectEnded(task, 0);
        EXPECT_EQ(ReadFile(ListFile()), "<a@example.org>\r\n");
    }
    EXPECT_TRUE(
        Contains(Lines, "Warnung: Server 127.0.0.1 unterst\xC3\xBCtzt UIDL Kommando nicht"));
    EXPECT_TRUE(Contains(Lines, Skipped(1, "5000")));
    EXPECT_EQ(Stored("with id"), 1u);
    EXPECT_EQ(Stored("no id"), 2u);
}

TEST_F(PartialMail, ListForgetsMailsGoneFromTheServerOrNowWithinTheLimit) {
    // Gone: only the ids of this run's big mails stay.
    WriteFile(ListFile(), "gone-1\r\nbig-1\r\n");
    {
        TKestroPOP3Client task;
        Run(task, "Pop3MaxLen=1\r\n", 1);
        ListWithIds({"1 5000"}, "1 big-1\r\n");
        EXPECT_EQ(Peer.Sent(), "");
        ExpectEnded(task, 0);
        EXPECT_EQ(ReadFile(ListFile()), "big-1\r\n");
    }
    // The user raised the limit: the mail comes whole and is deleted, the list goes.
    {
        TKestroPOP3Client task;
        Run(task, "Pop3MaxLen=10\r\n", 2);
        ListWithIds({"1 5000"}, "1 big-1\r\n");
        EXPECT_EQ(Peer.Sent(), "RETR 1\r\n");
        SendMail(1);
        EXPECT_EQ(Peer.Sent(), "DELE 1\r\n");
        EXPECT_FALSE(FileExists(ListFile()));
    }
    // An empty mailbox leaves nothing to remember.
    WriteFile(ListFile(), "big-1\r\n");
    {
        TKestroPOP3Client task;
        Run(task, "Pop3MaxLen=1\r\n", 3);
        ListMailbox({});
        Peer.SayAll("+OK\r\n.\r\n");
        ExpectEnded(task, 0);
        EXPECT_FALSE(FileExists(ListFile()));
    }
}

// Without unique ids a listed mail whose head was not seen this run may be any of the remembered
// ones: nothing is forgotten until every big mail's head has been read.
TEST_F(PartialMail, IdsAreKeptUntilEveryBigMailWasLookedAt) {
    WriteFile(ListFile(), "<b@example.org>\r\n<gone@example.org>\r\n");
    {
        TKestroPOP3Client task;
        Run(task, "Pop3MaxLen=1\r\n", 1);
        ListMailbox({"1 5000", "2 5000"});
        Peer.Sent();
        Peer.Say("-ERR no UIDL here");
        EXPECT_EQ(Peer.Sent(), "TOP 1 50\r\n");
        SendTop("new", "<new@example.org>");
        EXPECT_EQ(ReadFile(ListFile()),
                  "<b@example.org>\r\n<gone@example.org>\r\n<new@example.org>\r\n");
        Peer.Close();
        ExpectEnded(task, 1);
    }
    SetRunExitCode(0);
    {
        TKestroPOP3Client task;
        Run(task, "Pop3MaxLen=1\r\n", 2);
        ListMailbox({"1 5000", "2 5000"});
        Peer.Sent();
        Peer.Say("-ERR no UIDL here");
        EXPECT_EQ(Peer.Sent(), "TOP 1 50\r\n");
        SendTop("new", "<new@example.org>");
        EXPECT_EQ(Peer.Sent(), "TOP 2 50\r\n");
        SendTop("b", "<b@example.org>");
        ExpectEnded(task, 0);
    }
    EXPECT_EQ(ReadFile(ListFile()), "<b@example.org>\r\n<new@example.org>\r\n");
    EXPECT_EQ(Stored("new"), 1u);
    EXPECT_EQ(Stored("b"), 0u);
}

// A unique id the server gives to two mails names neither for sure: both are told apart by their
// heads, and the remembered id does not hide either of them.
TEST_F(PartialMail, UniqueIdGivenTwiceFallsBackToTheHeads) {
    WriteFile(ListFile(), "same\r\n");
    TKestroPOP3Client task;
    Run(task, "Pop3MaxLen=1\r\n");
    ListMailbox({"1 5000", "2 5000"});
    Peer.Sent();
    SendUidl("1 same\r\n2 same\r\n");
    EXPECT_EQ(Peer.Sent(), "TOP 1 50\r\n");
    SendTop("one", "<1@example.org>");
    EXPECT_EQ(Peer.Sent(), "TOP 2 50\r\n");
    SendTop("two", "<2@example.org>");
    ExpectEnded(task, 0);
    EXPECT_EQ(Stored("one") + Stored("two"), 2u);
    EXPECT_EQ(ReadFile(ListFile()), "<1@example.org>\r\n<2@example.org>\r\n");
}

// Whatever state the list is in, no mail goes missing: at worst a big mail is stored in part once
// more, and the list is written anew.
TEST_F(PartialMail, DamagedOversizeOrUnwritableListLosesNoMail) {
    const std::string tooLarge = "big-1\r\n" + std::string(size_t(1) << 20, 'x') + "\r\n";
    const struct {
        const char* Name;
        std::string Content;  // empty: the list's name is taken by a directory
        size_t Stored;
        const char* Warning;
        const char* After;
    } cases[] = {
        {"damaged", "big-1\r\nbad\x01\x7F\r\n \t\r\n" + std::string(1200, 'y') + "\r\nother\r\n", 0,
         "Warnung: 2 ung\xC3\xBCltige Zeilen in ", "big-1\r\n"},
        {"too large", tooLarge, 1, " ist zu gro\xC3\x9F (", "big-1\r\n"},
        {"unwritable", "", 1, "konnte nicht geschrieben werden", nullptr},
    };
    int32_t n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::filesystem::remove_all(ListFile());
        if (c.Content.empty())
            std::filesystem::create_directories(ListFile());
        else
            WriteFile(ListFile(), c.Content);
        Lines.clear();
        const size_t before = Stored("big");
        TKestroPOP3Client task;
        Run(task, "Pop3MaxLen=1\r\n", ++n);
        ListMailbox({"1 5000"});
        Peer.Sent();
        SendUidl("1 big-1\r\n");
        if (c.Stored) {
            EXPECT_EQ(Peer.Sent(), "TOP 1 50\r\n");
            SendTop("big");
        }
        ExpectEnded(task, 0);
        EXPECT_EQ(Stored("big") - before, c.Stored);
        EXPECT_TRUE(Contains(Lines, c.Warning));
        if (c.After) {
            EXPECT_EQ(ReadFile(ListFile()), c.After);
        }
    }
}

// ---- mails stored whole whose deletion did not take effect
// ----------------------------------------

// A run that ends after storing mails but before the server answered QUIT leaves them on the
// server: the next run deletes them without storing them a second time.
class FetchedMail : public Pop3Task {
  protected:
    std::string ListFile() const { return ProgramDir() + "box.got"; }

    // A run of two mails cut after both were stored and deleted, before the answer to QUIT.
    void RunCutBeforeQuit() {
        TKestroPOP3Client task;
        Run(task, "", 1);
        ListWithIds({"1 120", "2 130"}, "1 u1\r\n2 u2\r\n");
        EXPECT_EQ(Peer.Sent(), "RETR 1\r\n");
        SendMail(1);
        EXPECT_EQ(Peer.Sent(), "RETR 2\r\n");
        SendMail(2);
        EXPECT_EQ(Peer.Sent(), "DELE 1\r\n");
        Peer.Say("+OK");
        EXPECT_EQ(Peer.Sent(), "DELE 2\r\n");
        Peer.Say("+OK");
        EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
        Peer.Close();
        ExpectEnded(task, 1);
    }
};

TEST_F(FetchedMail, MailsStoredBeforeACutAreDeletedNotStoredAgain) {
    RunCutBeforeQuit();
    EXPECT_EQ(SpoolFiles("*.msg").size(), 2u);
    EXPECT_EQ(ReadFile(ListFile()), "u1 " + Spool + "m0.tmp\r\nu2 " + Spool + "m1.tmp\r\n");

    SetRunExitCode(0);
    TKestroPOP3Client task;
    Run(task, "", 2);
    ListWithIds({"1 120", "2 130", "3 140"}, "1 u1\r\n2 u2\r\n3 u3\r\n");
    EXPECT_EQ(Peer.Sent(), "RETR 3\r\n");
    SendMail(3);
    EXPECT_EQ(SpoolFiles("*.msg").size(), 3u);
    EXPECT_TRUE(Contains(Lines, "Nachricht 1 von 3 wurde schon geholt"));
    EXPECT_EQ(Peer.Sent(), "DELE 1\r\n");
    Peer.Say("+OK");
    EXPECT_EQ(Peer.Sent(), "DELE 2\r\n");
    Peer.Say("+OK");
    EXPECT_EQ(Peer.Sent(), "DELE 3\r\n");
    Peer.Say("+OK");
    EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
    EXPECT_TRUE(FileExists(ListFile()));  // until the server has deleted them
    Peer.Say("+OK bye");
    ExpectEnded(task, 0);
    EXPECT_FALSE(FileExists(ListFile()));
    EXPECT_EQ(MailCount, 3);
}

// The point program may have taken the stored mails meanwhile: the list, not the spool, says
// they were stored. A mail gone from the server is forgotten.
TEST_F(FetchedMail, StoredMailsCountAfterTheImportAndGoneOnesAreForgotten) {
    RunCutBeforeQuit();
    for (const auto& name : SpoolFiles("*.msg")) std::filesystem::remove(Spool + name);

    SetRunExitCode(0);
    TKestroPOP3Client task;
    Run(task, "", 2);
    ListWithIds({"1 130"}, "1 u2\r\n");
    EXPECT_EQ(ReadFile(ListFile()), "u2 " + Spool + "m1.tmp\r\n");
    EXPECT_EQ(Peer.Sent(), "DELE 1\r\n");
    Peer.Say("+OK");
    EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
    Peer.Say("+OK");
    ExpectEnded(task, 0);
    EXPECT_TRUE(SpoolFiles("*.msg").empty());
    EXPECT_FALSE(FileExists(ListFile()));
}

// A run that ended between listing a mail and naming its spool file left the temporary file: the
// mail was not stored, so it is fetched again, and the temporary file goes.
TEST_F(FetchedMail, AMailListedButNeverNamedIsFetchedAgain) {
    WriteFile(Spool + "m0.tmp", "HELO half");
    WriteFile(ListFile(), "u1 " + Spool + "m0.tmp\r\n");
    TKestroPOP3Client task;
    Run(task, "");
    ListWithIds({"1 120"}, "1 u1\r\n");
    EXPECT_EQ(Peer.Sent(), "RETR 1\r\n");
    EXPECT_FALSE(FileExists(Spool + "m0.tmp"));
    SendMail(1);
    EXPECT_EQ(SpoolFiles("*.msg"), std::vector<std::string>{"m0.msg"});
    EXPECT_TRUE(Contains(Lines, "Warnung: 1 ung\xC3\xBCltige Zeilen in "));
}

// Whatever the list holds, no mail is lost: a line that cannot be trusted is dropped, and its
// mail is stored (once more at worst). A temporary name outside the box's spool is never
// touched.
TEST_F(FetchedMail, LinesThatCannotBeTrustedAreDroppedAndTheirMailsFetched) {
    const std::string outside = ProgramDir() + "keep.tmp";
    WriteFile(outside, "not ours");
    WriteFile(ListFile(), "u1 " + outside + "\r\nu2\r\nu3 " + Spool + "x.tmp\r\nu\x01 " + Spool +
                              "m9.tmp\r\nu4 " + Spool + "m8.tmp\r\n");
    TKestroPOP3Client task;
    Run(task, "");
    ListWithIds({"1 100", "2 100", "3 100", "4 100"}, "1 u1\r\n2 u2\r\n3 u3\r\n4 u4\r\n");
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(Peer.Sent(), "RETR " + std::to_string(n) + "\r\n");
        SendMail(n);
    }
    EXPECT_EQ(Peer.Sent(), "DELE 1\r\n");  // mail 4 was stored before: deleted only
    EXPECT_TRUE(Contains(Lines, "Warnung: 4 ung\xC3\xBCltige Zeilen in "));
    EXPECT_EQ(ReadFile(outside), "not ours");
}

// With the mails kept on the server nothing is deleted, so nothing is listed either.
TEST_F(FetchedMail, KeptMailsAreNeitherIdentifiedNorListed) {
    TKestroPOP3Client task;
    Run(task, "Pop3Keep=enabled\r\n");
    ListMailbox({"1 120"});
    EXPECT_EQ(Peer.Sent(), "RETR 1\r\n");
    SendMail(1);
    ExpectEnded(task, 0);
    EXPECT_FALSE(FileExists(ListFile()));
}

// A list that cannot be written stores no mail: the mail stays on the server for the next run.
TEST_F(FetchedMail, AListThatCannotBeWrittenStoresNothing) {
    std::filesystem::create_directories(ListFile() + ".tmp");
    TKestroPOP3Client task;
    Run(task, "");
    ListWithIds({"1 120"}, "1 u1\r\n");
    EXPECT_EQ(Peer.Sent(), "RETR 1\r\n");
    SendMail(1);
    EXPECT_EQ(Peer.Sent(), "");
    ExpectEnded(task, 1);
    EXPECT_TRUE(SpoolFiles("*.msg").empty());
    EXPECT_TRUE(SpoolFiles("*.tmp").empty());
    EXPECT_FALSE(FileExists(ListFile()));
}

// ---- SMTP ---------------------------------------------------------------------------------------

class SmtpTask : public MailTask {
  protected:
    void Outgoing(const std::string& name, const std::string& rcpt, const std::string& subject) {
        WriteFile(Spool + name,
                  "HELO point.example\r\nMAIL FROM:<me@point.example>\r\n"
                  "RCPT TO:<" +
                      rcpt +
                      ">\r\nDATA\r\nFrom: me@point.example\r\n"
                      "To: " +
                      rcpt + "\r\nSubject: " + subject + "\r\n\r\n..dot\r\ntext\r\n.\r\nQUIT\r\n");
    }
    // Connection, greeting and (unless ehlo is empty) the server's EHLO reply.
    void Greet(const std::string& ehlo = "") {
        Peer.Accept();
        Peer.Say("220 mail.example");
        if (!ehlo.empty()) Peer.SayAll(ehlo);
    }
    // Greeting and a one-line EHLO reply without AUTH: the client goes straight to MAIL FROM.
    void GreetWithoutLogin() {
        Greet("250 mail.example\r\n");
        EXPECT_EQ(Peer.Sent(), "EHLO point.example\r\nMAIL FROM:<me@point.example>\r\n");
    }
    // Answers one whole message after its MAIL FROM; returns the body sent.
    std::string Deliver(const std::string& rcpt) {
        Peer.Say("250 OK");
        EXPECT_EQ(Peer.Sent(), "RCPT TO:<" + rcpt + ">\r\n");
        Peer.Say("250 OK");
        EXPECT_EQ(Peer.Sent(), "DATA\r\n");
        Peer.Say("354 go on");
        return Peer.Sent();
    }
};

TEST_F(SmtpTask, ThreeFilesOneConnectionWithLoginEachDeletedAfterItsBody) {
    Outgoing("M0001.OUT", "ann@example.org", "one");
    Outgoing("M0002.OUT", "bob@example.org", "two");
    Outgoing("m0003.out", "carl@example.org", "three");
    TKestroSMTPClient task;
    Run(task, "SmtpUser=joe\r\nSmtpPass=secret\r\n", 4);
    Greet();
    EXPECT_EQ(Peer.Sent(), "EHLO point.example\r\n");
    // AUTH is named on the final line only.
    Peer.SayAll("250-mail.example\r\n250-PIPELINING\r\n250 AUTH PLAIN LOGIN\r\n");
    EXPECT_EQ(Peer.Sent(), "AUTH LOGIN\r\n");
    Peer.Say("334 VXNlciBOYW1lAA==");  // any prompt: the first asks for the user
    EXPECT_EQ(Peer.Sent(), "am9l\r\n");
    Peer.Say("334 UGFzc3dvcmQA");
    EXPECT_EQ(Peer.Sent(), "c2VjcmV0\r\n");
    Peer.Say("235 2.7.0 Authentication successful");
    EXPECT_EQ(Peer.Sent(), "MAIL FROM:<me@point.example>\r\n");

    const std::string body = Deliver("ann@example.org");
    EXPECT_NE(body.find("\r\n..dot\r\ntext\r\n.\r\n"), std::string::npos) << body;
    EXPECT_NE(body.find("X-Mailer: Orvalin Kestro V"), std::string::npos);
    EXPECT_TRUE(FileExists(Spool + "M0001.OUT"));  // not before the 250 for the body
    Peer.Say("250 queued");
    EXPECT_FALSE(FileExists(Spool + "M0001.OUT"));
    EXPECT_EQ(Peer.Sent(), "MAIL FROM:<me@point.example>\r\n");
    Deliver("bob@example.org");
    Peer.Say("250 queued");
    EXPECT_EQ(Peer.Sent(), "MAIL FROM:<me@point.example>\r\n");
    Deliver("carl@example.org");
    Peer.Say("250 queued");
    EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
    EXPECT_TRUE(SpoolFiles("M*.OUT").empty());
    ExpectEnded(task, 0);
    EXPECT_EQ(MailCount, 3);
    EXPECT_TRUE(Contains(Lines, "Versende 3 ausgehende Nachrichten in Verzeichnis " + Spool));
    EXPECT_TRUE(Contains(Lines, "Versende Nachricht 3 von 3 an carl@example.org"));
    EXPECT_TRUE(Contains(Lines, "Letze Nachricht versandt"));
}

// How servers word a refusal: on one line, or on several as large providers do. A reply of
// several lines means what its code says, as one of a single line does; the log shows the text of
// all its lines, joined by a blank.
struct TRefusal {
    const char* Reply;
    const char* Text;  // in the log
};
const TRefusal kRecipientRefusals[] = {
    {"550 5.1.1 mailbox unavailable", "5.1.1 mailbox unavailable"},
    {"550-5.1.1 The email account that you tried to reach does not exist. Please try\r\n"
     "550-5.1.1 double-checking the recipient's email address for typos or\r\n"
     "550 5.1.1 unnecessary spaces. (scripted)",
     "5.1.1 The email account that you tried to reach does not exist. Please try 5.1.1 "
     "double-checking the recipient's email address for typos or 5.1.1 unnecessary spaces. "
     "(scripted)"},
};
const TRefusal kBodyRefusals[] = {
    {"554 5.6.0 message refused", "5.6.0 message refused"},
    {"554-5.7.1 Message refused\r\n554 5.7.1 by policy", "5.7.1 Message refused 5.7.1 by policy"},
};

// A mail the server refuses for good, at its recipient or at the end of its body, would meet
// the same refusal on every run: it stays in the spool as written, and the mails after it still
// go out on the same connection.
TEST_F(SmtpTask, MailRefusedForGoodStaysAndTheLaterOnesGoOut) {
    for (int Form = 0; Form < 2; ++Form) {
        const TRefusal& AtRecipient = kRecipientRefusals[Form];
        const TRefusal& AtBody = kBodyRefusals[Form];
        SCOPED_TRACE(AtRecipient.Reply);
        SetRunExitCode(0);
        Lines.clear();
        Outgoing("M0001.OUT", "ann@example.org", "one");
        Outgoing("M0002.OUT", "reject@example.org", "two");
        Outgoing("M0003.OUT", "carl@example.org", "three");
        Outgoing("M0004.OUT", "dave@example.org", "four");
        Outgoing("M0005.OUT", "eve@example.org", "five");
        const std::string Refused = ReadFile(Spool + "M0002.OUT");
        TKestroSMTPClient task;
        Run(task, "", Form + 1);
        GreetWithoutLogin();
        Deliver("ann@example.org");
        Peer.Say("250 queued");
        EXPECT_EQ(Peer.Sent(), "MAIL FROM:<me@point.example>\r\n");
        Peer.Say("250 OK");
        EXPECT_EQ(Peer.Sent(), "RCPT TO:<reject@example.org>\r\n");
        Peer.Say(AtRecipient.Reply);
        // The recipients the server took before are dropped with the rest of the mail.
        EXPECT_EQ(Peer.Sent(), "RSET\r\n");
        Peer.Say("250 2.0.0 flushed");
        EXPECT_EQ(Peer.Sent(), "MAIL FROM:<me@point.example>\r\n");
        Deliver("carl@example.org");
        Peer.Say("250 queued");
        Peer.Sent();
        Deliver("dave@example.org");
        Peer.Say(AtBody.Reply);
        EXPECT_EQ(Peer.Sent(), "RSET\r\n");
        Peer.Say("250 flushed");
        EXPECT_EQ(Peer.Sent(), "MAIL FROM:<me@point.example>\r\n");
        Deliver("eve@example.org");
        Peer.Say("250 queued");
        EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
        ExpectEnded(task, 1);
        EXPECT_EQ(SpoolFiles("M*.OUT"), (std::vector<std::string>{"M0002.OUT", "M0004.OUT"}));
        EXPECT_EQ(ReadFile(Spool + "M0002.OUT"), Refused);
        EXPECT_TRUE(
            Logged(Lines, "SMTP Error 550 auf 127.0.0.1: " + std::string(AtRecipient.Text)));
        EXPECT_TRUE(Contains(Lines, "Nachricht 2 (" + Spool + "M0002.OUT) wurde abgewiesen"));
        EXPECT_TRUE(Logged(Lines, "SMTP Error 554 auf 127.0.0.1: " + std::string(AtBody.Text)));
        EXPECT_TRUE(Contains(Lines, "Nachricht 4 (" + Spool + "M0004.OUT) wurde abgewiesen"));
        EXPECT_TRUE(Contains(Lines, "Letze Nachricht versandt"));
        for (const std::string& Name : SpoolFiles("M*.OUT")) DeleteFile(Spool + Name);
    }
}

// With no mail left after the refused one the client ends the session itself: the server's
// close after QUIT is no failure of the server's.
TEST_F(SmtpTask, LastMailRefusedAtItsRecipientStillQuits) {
    for (int Form = 0; Form < 2; ++Form) {
        const TRefusal& Refusal = kRecipientRefusals[Form];
        SCOPED_TRACE(Refusal.Reply);
        SetRunExitCode(0);
        Lines.clear();
        for (const std::string& Name : SpoolFiles("M*.OUT")) DeleteFile(Spool + Name);
        Outgoing("M0001.OUT", "ann@example.org", "one");
        Outgoing("M0002.OUT", "reject@example.org", "two");
        TKestroSMTPClient task;
        Run(task, "", Form + 1);
        GreetWithoutLogin();
        Deliver("ann@example.org");
        Peer.Say("250 queued");
        EXPECT_EQ(Peer.Sent(), "MAIL FROM:<me@point.example>\r\n");
        Peer.Say("250 OK");
        EXPECT_EQ(Peer.Sent(), "RCPT TO:<reject@example.org>\r\n");
        Peer.Say(Refusal.Reply);
        EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
        Peer.Say("221 2.0.0 bye");
        Peer.Close();
        ExpectEnded(task, 1);
        EXPECT_EQ(SpoolFiles("M*.OUT"), (std::vector<std::string>{"M0002.OUT"}));
        EXPECT_TRUE(Logged(Lines, "SMTP Error 550 auf 127.0.0.1: " + std::string(Refusal.Text)));
        EXPECT_TRUE(Logged(
            Lines, "Nachricht 2 (" + Spool + "M0002.OUT) wurde abgewiesen und bleibt im Spool"));
        EXPECT_FALSE(Contains(Lines, "vorzeitig beendet"));
    }
}

// A reply of thousands of lines is no paragraph: the log line shows its beginning.
TEST_F(SmtpTask, EndlessRefusalIsCutInTheLog) {
    Outgoing("M0001.OUT", "reject@example.org", "one");
    TKestroSMTPClient task;
    Run(task, "");
    GreetWithoutLogin();
    Peer.Say("250 OK");
    Peer.Sent();
    std::string Reply;
    for (int i = 0; i < 1000; ++i) Reply += "550-5.1.1 line " + std::to_string(i) + "\r\n";
    Peer.Say(Reply + "550 5.1.1 end");
    EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
    ExpectEnded(task, 1);
    const std::string Head = "SMTP Error 550 auf 127.0.0.1: 5.1.1 line 0 5.1.1 line 1 ";
    const auto Line = std::find_if(Lines.begin(), Lines.end(),
                                   [&](const std::string& l) { return l.rfind(Head, 0) == 0; });
    ASSERT_NE(Line, Lines.end());
    EXPECT_LE(Line->size(), Head.size() + 2100);
    EXPECT_EQ(Line->substr(Line->size() - 3), "...");
}

// What does not concern the mail alone ends the task: a refusal that may pass (4xx), one of its
// sender, one of the reset. The mail and every later one stay for the next run.
TEST_F(SmtpTask, OtherRefusalsEndTheTaskAndKeepTheRest) {
    struct TCase {
        const char* Reply;
        int Step;  // 0: to MAIL FROM, 1: to RCPT TO, 2: to the RSET after a refused recipient
        const char* Logged;
    };
    int32_t N = 0;
    for (const TCase Case :
         {TCase{"451 4.7.1 try again later", 1,
                "SMTP Error 451 auf 127.0.0.1: 4.7.1 try again later"},
          TCase{"553 5.7.1 sender refused", 0,
                "SMTP Error 553 auf 127.0.0.1: 5.7.1 sender refused"},
          TCase{"421 4.3.2 closing", 2, "SMTP Error 421 auf 127.0.0.1: 4.3.2 closing"},
          TCase{"553-5.7.1 sender refused\r\n553 5.7.1 see the policy", 0,
                "SMTP Error 553 auf 127.0.0.1: 5.7.1 sender refused 5.7.1 see the policy"},
          TCase{"421-4.3.2 shutting down\r\n421-\r\n421 4.3.2 try again later", 1,
                "SMTP Error 421 auf 127.0.0.1: 4.3.2 shutting down 4.3.2 try again later"}}) {
        SCOPED_TRACE(Case.Reply);
        SetRunExitCode(0);
        Lines.clear();
        for (const std::string& Name : SpoolFiles("M*.OUT")) DeleteFile(Spool + Name);
        Outgoing("M0001.OUT", "reject@example.org", "one");
        Outgoing("M0002.OUT", "bob@example.org", "two");
        TKestroSMTPClient task;
        Run(task, "", ++N);
        GreetWithoutLogin();
        if (Case.Step >= 1) {
            Peer.Say("250 OK");
            EXPECT_EQ(Peer.Sent(), "RCPT TO:<reject@example.org>\r\n");
        }
        if (Case.Step == 2) {
            Peer.Say("550 5.1.1 mailbox unavailable");
            EXPECT_EQ(Peer.Sent(), "RSET\r\n");
        }
        Peer.Say(Case.Reply);
        EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
        ExpectEnded(task, 1);
        EXPECT_TRUE(Logged(Lines, Case.Logged));
        EXPECT_EQ(SpoolFiles("M*.OUT").size(), 2u);
        EXPECT_FALSE(Contains(Lines, "Letze Nachricht versandt"));
    }
}

// Only a 250 after the body says the server took the mail: a refusal, temporary or for good,
// and an answer that is no answer to the body both keep the file for the next run.
TEST_F(SmtpTask, BodyNotAnsweredWith250KeepsItsFile) {
    int32_t N = 0;
    for (const std::string Reply :
         {"451 4.7.1 greylisted, try again later", "554 5.6.0 message refused", "354 go on"}) {
        SCOPED_TRACE(Reply);
        SetRunExitCode(0);
        Lines.clear();
        Outgoing("M0001.OUT", "ann@example.org", "one");
        TKestroSMTPClient task;
        Run(task, "", ++N);
        GreetWithoutLogin();
        Deliver("ann@example.org");
        Peer.Say(Reply);
        ExpectEnded(task, 1);
        EXPECT_TRUE(FileExists(Spool + "M0001.OUT"));
        EXPECT_TRUE(Logged(
            Lines, "SMTP Error " + Reply.substr(0, 3) + " auf 127.0.0.1: " + Reply.substr(4)));
        EXPECT_FALSE(Contains(Lines, "Letze Nachricht versandt"));
    }
}

// A line that begins with 250 but runs on is no acceptance: the server has lost track.
TEST_F(SmtpTask, BodyAnsweredWithAReplyThatIsNoneKeepsItsFile) {
    Outgoing("M0001.OUT", "ann@example.org", "one");
    TKestroSMTPClient task;
    Run(task, "");
    GreetWithoutLogin();
    Deliver("ann@example.org");
    Peer.Say("2500 queued");
    ExpectEnded(task, 1);
    EXPECT_TRUE(FileExists(Spool + "M0001.OUT"));
    EXPECT_TRUE(
        Logged(Lines, "SMTP Error 0 auf 127.0.0.1: ung\xC3\xBCltige Antwort \"2500 queued\""));
}

// Every byte the task sent counts once the server answered the body, though no timer tick
// came for a progress report.
TEST_F(SmtpTask, CountsEveryByteSentWhenTheBodyIsAnswered) {
    Outgoing("M0001.OUT", "ann@example.org", "one");
    Outgoing("M0002.OUT", "bob@example.org", "two");
    TKestroSMTPClient task;
    Run(task, "");
    std::string All;
    Greet("250 mail.example\r\n");
    for (int Mail = 1; Mail <= 2; ++Mail) {
        for (const char* Reply : {"250 OK", "250 OK", "354 go on"}) {
            All += Peer.Sent();
            Peer.Say(Reply);
        }
        All += Peer.Sent();  // the body
        Peer.Say("250 queued");
        EXPECT_EQ(task.Bytes, int64_t(All.size())) << Mail;
    }
    EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
}

TEST_F(SmtpTask, EmptySpoolConnectsToNothing) {
    TKestroSMTPClient task;
    Run(task, "");
    EXPECT_EQ(Peer.Socket, nullptr);
    EXPECT_EQ(task.State, 3);
    EXPECT_TRUE(Contains(Lines, "Versende 0 ausgehende Nachrichten in Verzeichnis"));
}

TEST_F(SmtpTask, EnvelopeAddressGivesTheGreetingDomain) {
    Outgoing("M0001.OUT", "ann@example.org", "one");
    TKestroSMTPClient task;
    Run(task, "SmtpEnvelope=joe@dialup.example\r\n");
    Greet();
    EXPECT_EQ(Peer.Sent(), "EHLO dialup.example\r\n");
}

TEST_F(SmtpTask, WaitsWhileAPop3TaskWithSmtpAfterPopIsAlive) {
    Outgoing("M0001.OUT", "ann@example.org", "one");
    const int32_t box = Box("SmtpAfterPop=enabled\r\n");
    auto pop = std::make_unique<TKestroPOP3Client>();
    TFakePeer popPeer;
    pop->ConfigIndex = box;
    popPeer.Install(*pop->Client);
    pop->Start(1);
    ASSERT_EQ(Pop3Busy, 1);

    TKestroSMTPClient task;
    Wire(task, box);
    task.Start(2);
    EXPECT_TRUE(task.Waiting());
    EXPECT_EQ(Peer.Socket, nullptr);
    for (int i = 0; i < 5; ++i) Application.WaitForEvent(100), Application.ProcessMessages();
    EXPECT_EQ(Peer.Socket, nullptr);
    pop.reset();  // the run frees the finished POP3 task

    for (int i = 0; i < 50 && !Peer.Socket; ++i) {
        Application.WaitForEvent(100);
        Application.ProcessMessages();
    }
    ASSERT_NE(Peer.Socket, nullptr);
    EXPECT_FALSE(task.Waiting());
    EXPECT_EQ(SmtpBusy, 1);
    int waits = 0;
    for (const auto& line : Lines) waits += line == "Warte auf anderen POP3 oder SMTP-Task";
    EXPECT_EQ(waits, 1);
}

TEST_F(SmtpTask, EmptyPasswordIsReportedAndEndsTheTask) {
    Outgoing("M0001.OUT", "ann@example.org", "one");
    TKestroSMTPClient task;
    Run(task, "SmtpUser=joe\r\n");
    Greet("250-mail.example\r\n250-AUTH LOGIN\r\n250 HELP\r\n");
    Peer.Say("334 VXNlcm5hbWU6");
    Peer.Say("334 UGFzc3dvcmQ6");
    EXPECT_EQ(task.State, 3);
    EXPECT_TRUE(Contains(Lines, "SMTP Error auf 127.0.0.1: Leeres Passwort"));
    EXPECT_TRUE(FileExists(Spool + "M0001.OUT"));
}

// Servers name AUTH wherever they like in their EHLO reply, or not at all.
TEST_F(SmtpTask, LoginFollowsWhatTheEhloReplyOffers) {
    Outgoing("M0001.OUT", "ann@example.org", "one");
    const struct {
        const char* Ehlo;
        const char* Next;
    } cases[] = {
        {"250-mail.example\r\n250-AUTH PLAIN LOGIN\r\n250-8BITMIME\r\n250 DSN\r\n",
         "AUTH LOGIN\r\n"},
        {"250-mail.example\r\n250 8BITMIME\r\n", "MAIL FROM:<me@point.example>\r\n"},
    };
    int32_t n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Ehlo);
        TKestroSMTPClient task;
        Run(task, "SmtpUser=joe\r\nSmtpPass=secret\r\n", ++n);
        Greet();
        Peer.Sent();
        Peer.SayAll(c.Ehlo);
        EXPECT_EQ(Peer.Sent(), c.Next);
    }
}

TEST_F(SmtpTask, RefusedLoginEndsTheTaskAndKeepsTheFile) {
    Outgoing("M0001.OUT", "ann@example.org", "one");
    TKestroSMTPClient task;
    Run(task, "SmtpUser=joe\r\nSmtpPass=wrong\r\n");
    Greet("250-mail.example\r\n250 AUTH LOGIN\r\n");
    Peer.Say("334 VXNlcm5hbWU6");
    Peer.Say("334 UGFzc3dvcmQ6");
    EXPECT_EQ(Peer.Sent(), "EHLO point.example\r\nAUTH LOGIN\r\nam9l\r\nd3Jvbmc=\r\n");
    Peer.Say("535 5.7.8 Authentication credentials invalid");
    EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
    ExpectEnded(task, 1);
    EXPECT_TRUE(Contains(Lines, "SMTP Error 535 auf 127.0.0.1"));
    EXPECT_TRUE(FileExists(Spool + "M0001.OUT"));
}

TEST_F(SmtpTask, ServerThatClosesBeforeTheBodyIsAcceptedKeepsTheFile) {
    Outgoing("M0001.OUT", "ann@example.org", "one");
    TKestroSMTPClient task;
    Run(task, "");
    GreetWithoutLogin();
    Deliver("ann@example.org");
    Peer.Close();
    ExpectEnded(task, 1);
    EXPECT_TRUE(FileExists(Spool + "M0001.OUT"));
}

// A reply cut short by the close has no code: the log shows what did arrive.
TEST_F(SmtpTask, HalfAReplyBeforeTheCloseIsLoggedAsItArrived) {
    Outgoing("M0001.OUT", "ann@example.org", "one");
    TKestroSMTPClient task;
    Run(task, "");
    GreetWithoutLogin();
    Deliver("ann@example.org");
    Peer.SayAll("25");
    Peer.Close();
    ExpectEnded(task, 1);
    EXPECT_TRUE(Contains(Lines, "SMTP Error 0 auf 127.0.0.1: ung\xC3\xBCltige Antwort \"25\""));
    EXPECT_TRUE(FileExists(Spool + "M0001.OUT"));
}

}  // namespace

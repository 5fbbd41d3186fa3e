// The POP3 client as transcripts: what the server says, what the client answers, and which
// events its user sees.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "netlib/pop3/IpPop3.h"
#include "netlib/pop3/Limits.h"
#include "netlib/pop3/Pop3Reply.h"
#include "netlib/sock/Limits.h"
#include "tests/netlib/pop3/FakePeer.h"
#include "tests/support/TestSupport.h"

namespace {

// The client on a clock that the test moves.
class TTimedPop3Client : public TIpPop3Client {
  public:
    uint64_t Ms = 0;

  protected:
    uint64_t ClockMs() const override { return Ms; }
};

class Pop3Client : public ::testing::Test {
  protected:
    void SetUp() override {
        Peer.Install(Client);
        Client.UserName = "mrose";
        Client.Password = "tanstaaf";
        Client.OnResponse = [this](TIpCustomPop3Client*, TIpPop3States to, const std::string& code,
                                   const std::string& text) {
            Events.push_back("response " + std::to_string(to) + " " + code + " " + text);
        };
        Client.OnMultiLineResponse = [this](TIpCustomPop3Client*, TIpPop3States to,
                                            TStringList& list) {
            std::string text = "multiline " + std::to_string(to) + ":";
            for (int i = 0; i < list.Count(); ++i) text += " [" + list[i] + "]";
            Events.push_back(text);
        };
        Client.OnTaskComplete = [this](TIpCustomPop3Client*, TIpPop3Tasks task, TStringList& l) {
            Events.push_back("complete " + std::to_string(task) + " " + std::to_string(l.Count()));
        };
        Client.OnStateChange = [this](TIpCustomPop3Client*, TIpPop3States s) {
            States.push_back(s);
        };
    }

    // Connects with a LIST task and logs on with USER and PASS up to the STAT command.
    void LogOn(const std::string& stat = "+OK 2 320") {
        Client.StartList("127.0.0.1");
        Peer.Accept();
        Peer.Say("+OK POP3 ready");
        EXPECT_EQ(Peer.Sent(), "USER mrose\r\n");
        Peer.Say("+OK");
        EXPECT_EQ(Peer.Sent(), "PASS tanstaaf\r\n");
        Peer.Say("+OK logged in");
        EXPECT_EQ(Peer.Sent(), "STAT\r\n");
        Peer.Say(stat);
    }

    // Logged on with a 3 s idle time-out at clock 0, the one mail asked for and the head of its
    // reply received; the reply's clock has had its first look at 100 ms.
    void StartRetrieve(const std::string& subject) {
        Client.SetIdleTimeout(3000);
        Client.Ms = 0;
        LogOn();
        Peer.SayAll("+OK\r\n1 43000\r\n.\r\n");
        Client.Retrieve(1);
        Peer.Sent();
        Peer.SayAll("+OK message follows\r\nSubject: " + subject + "\r\n\r\n");
        Client.Ms = 100;
        Client.TimerElapsed(50);
    }

    TTimedPop3Client Client;
    TFakePeer Peer;
    std::vector<std::string> Events;
    std::vector<TIpPop3States> States;
};

TEST(Pop3Reply, LinesSplitIntoCodeAndText) {
    EXPECT_EQ(SplitPop3Reply("+OK 2 320").Code, "+OK");
    EXPECT_EQ(SplitPop3Reply("+OK 2 320").Text, "2 320");
    EXPECT_EQ(SplitPop3Reply("-ERR no such message").Code, "-ERR");
    EXPECT_EQ(SplitPop3Reply("-ERR no such message").Text, "no such message");
    EXPECT_EQ(SplitPop3Reply("+OK").Text, "");
    EXPECT_EQ(SplitPop3Reply("hello").Text, "Unknown response");
    EXPECT_EQ(SplitPop3Reply("").Text, "Empty");
    EXPECT_EQ(Pop3Number("1200", -1, INT64_MAX), 1200);
    EXPECT_EQ(Pop3Number("12x", -1, INT64_MAX), -1);
    EXPECT_EQ(Pop3Number("99999999999", -1, INT32_MAX), -1);
    EXPECT_EQ(Pop3Number("", -1, INT32_MAX), -1);
}

// A STAT reply's numbers are a count and a size or nothing: a sign or more digits than the type
// holds is no number, so the caller can refuse the reply instead of reading "no mail".
TEST(Pop3Reply, StatNumbersAreCountsOrNothing) {
    struct TCase {
        const char* Text;
        int32_t Count;
        int64_t Size;
    };
    const TCase cases[] = {
        {"2 320", 2, 320},
        {"0 0", 0, 0},
        {"2 320 octets in the maildrop", 2, 320},
        {"2147483647 9223372036854775807", INT32_MAX, INT64_MAX},
        {"2147483648 1", -1, 1},
        {"99999999999999999999 100", -1, 100},
        {"2 99999999999999999999", 2, -1},
        {"-5 0", -1, 0},
        {"-1 -1", -1, -1},
        {"+3 10", -1, 10},
        {"3", 3, -1},
        {"", -1, -1},
        {"two 10", -1, 10},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        const TPop3Stat stat = ParsePop3Stat(c.Text);
        EXPECT_EQ(stat.Count, c.Count);
        EXPECT_EQ(stat.Size, c.Size);
    }
}

TEST(Pop3Reply, TimestampIsCutFromTheGreetingAlone) {
    EXPECT_EQ(Pop3Timestamp("POP3 server ready <1896.697170952@dbc.mtview.ca.us> and more"),
              "<1896.697170952@dbc.mtview.ca.us>");
    EXPECT_EQ(Pop3Timestamp("ready > then <a@b>"), "<a@b>");
    EXPECT_EQ(Pop3Timestamp("no stamp"), "");
    EXPECT_EQ(Pop3Timestamp("half <stamp"), "");
}

TEST(Pop3Reply, ApopDigestMatchesTheRfcExample) {
    EXPECT_EQ(TIpCustomPop3Client::ApopDigest("<1896.697170952@dbc.mtview.ca.us>", "tanstaaf"),
              "c4c9334bac560ecc979e58001b3e22fb");
}

TEST_F(Pop3Client, ListTaskLogsOnReadsStatusAndListsTheMailbox) {
    LogOn("+OK 3 1200");
    EXPECT_EQ(Client.MessageCount(), 3);
    EXPECT_EQ(Client.MailboxSize(), 1200);
    EXPECT_FALSE(Client.InAuthorization());
    EXPECT_EQ(Peer.Sent(), "LIST\r\n");
    Peer.SayAll("+OK 3 messages\r\n1 100\r\n2 500\r\n3 600\r\n.\r\n");
    EXPECT_EQ(Events.back(), "complete 2 3");
    EXPECT_EQ(Events[Events.size() - 2], "multiline 5: [1 100] [2 500] [3 600]");
    EXPECT_EQ(Client.Task(), ptNone);
    EXPECT_EQ(TIpCustomPop3Client::ListLineNumber("2 500"), "2");
    EXPECT_EQ(TIpCustomPop3Client::ListLineValue("2 500"), "500");

    // State changes arrive through the message queue, one per assignment, in order.
    Pump();
    const std::vector<TIpPop3States> expected = {psConnect, psUser, psPass, psStat, psList};
    EXPECT_EQ(States, expected);
}

TEST_F(Pop3Client, StatWithoutNumbersAndAnEmptyListing) {
    LogOn("+OK");
    EXPECT_EQ(Client.MessageCount(), -1);
    EXPECT_EQ(Client.MailboxSize(), -1);
    Peer.Sent();
    Peer.SayAll("+OK\r\n.\r\n");
    ASSERT_GE(Events.size(), 2u);
    EXPECT_EQ(Events[Events.size() - 2], "multiline 5:");
    EXPECT_EQ(Events.back(), "complete 2 0");
}

TEST_F(Pop3Client, ApopIsUsedWhenTheGreetingCarriesAStamp) {
    Client.EncryptedLogon = true;
    Client.StartList("127.0.0.1");
    Peer.Accept();
    Peer.Say("+OK POP3 server ready <1896.697170952@dbc.mtview.ca.us> extra text");
    EXPECT_EQ(Client.Timestamp(), "<1896.697170952@dbc.mtview.ca.us>");
    EXPECT_EQ(Peer.Sent(), "APOP mrose c4c9334bac560ecc979e58001b3e22fb\r\n");
    Peer.Say("+OK maildrop has 0 messages");
    EXPECT_EQ(Peer.Sent(), "STAT\r\n");
}

TEST_F(Pop3Client, WithoutAStampEncryptedLogonFallsBackToUser) {
    Client.EncryptedLogon = true;
    Client.StartList("127.0.0.1");
    Peer.Accept();
    Peer.Say("+OK ready");
    EXPECT_EQ(Peer.Sent(), "USER mrose\r\n");
}

TEST_F(Pop3Client, RetrievedMessageIsDotUnstuffedAndDecoded) {
    LogOn();
    Peer.SayAll("+OK\r\n1 160\r\n2 160\r\n.\r\n");
    Peer.Sent();
    std::vector<std::string> body;
    std::string subject;
    Client.OnMessage = [&](TIpCustomPop3Client* c, TIpMailMessage& m) {
        subject = m.Subject;
        m.SetPosition(0);
        while (!m.AtEndOfStream()) body.push_back(m.ReadLine());
        EXPECT_EQ(c->State(), psNoOp);
    };
    Client.Retrieve(1);
    EXPECT_EQ(Peer.Sent(), "RETR 1\r\n");
    Peer.SayAll("+OK 160 octets\r\nSubject: dots\r\nFrom: a@b\r\n\r\n..\r\n..x\r\nplain\r\n.\r\n");
    const std::vector<std::string> expected = {"Subject: dots", "From: a@b", "", ".", ".x",
                                               "plain"};
    EXPECT_EQ(body, expected);
    EXPECT_EQ(subject, "dots");
    EXPECT_FALSE(Client.MultiLine());
}

// A close in the middle of a message: only a final dot the server sent whole ends it. A data
// line cut right after its stuffed dot must not pass for the end (the head would be stored as
// the whole mail, and the mail deleted).
TEST_F(Pop3Client, OnlyAWholeFinalDotEndsAMessageAtTheClose) {
    struct TCase {
        const char* Tail;
        bool Delivered;
    };
    const TCase Cases[] = {
        {"\r\n.", false},     // the first byte of ".dotted"
        {"\r\n.dot", false},  // a piece of a data line
        {"\r\n", false},      // no final dot at all
        {"\r\n.\r\n", true},  // the final dot, then the close
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Tail);
        TTimedPop3Client Cut;
        TFakePeer Server;
        Server.Install(Cut);
        int Messages = 0;
        Cut.OnMessage = [&](TIpCustomPop3Client*, TIpMailMessage&) { ++Messages; };
        Cut.UserName = "mrose";
        Cut.Password = "tanstaaf";
        Cut.StartList("127.0.0.1");
        Server.Accept();
        Server.Say("+OK POP3 ready");
        Server.Say("+OK");
        Server.Say("+OK logged in");
        Server.Say("+OK 1 160");
        Server.SayAll("+OK\r\n1 160\r\n.\r\n");
        Server.Sent();
        Cut.Retrieve(1);
        EXPECT_EQ(Server.Sent(), "RETR 1\r\n");
        Server.SayAll(std::string("+OK 160 octets\r\nSubject: cut\r\n\r\nfirst line") + C.Tail);
        Server.Close();
        EXPECT_EQ(Messages, C.Delivered ? 1 : 0);
        EXPECT_EQ(Cut.State(), psNoOp);
    }
}

// A broken mailer's base64 or HTML body of megabytes on one line is still an honest mail: its
// lines are taken whole (the socket's line limit guards replies, not a message's data), and the
// next command's reply is held to that limit again.
TEST_F(Pop3Client, MessageLinesLongerThanTheSocketLimitAreTakenWhole) {
    LogOn();
    Peer.SayAll("+OK\r\n1 160\r\n2 160\r\n.\r\n");
    Peer.Sent();
    std::vector<std::string> errors;
    Client.OnError = [&](TIpSockControl*, SOCKET, int32_t, const std::string& text) {
        errors.push_back(text);
    };
    std::vector<std::string> body;
    Client.OnMessage = [&](TIpCustomPop3Client*, TIpMailMessage& m) {
        m.SetPosition(0);
        while (!m.AtEndOfStream()) body.push_back(m.ReadLine());
    };
    std::string topBody;
    Client.OnTop = [&](TIpCustomPop3Client*, TIpMailMessage& m) {
        m.SetPosition(0);
        while (!m.AtEndOfStream()) topBody += m.ReadLine();
    };
    const std::string longLine(2 * SockLimits::kMaxLineBuf + 17, 'Q');
    Client.Retrieve(1);
    Peer.Sent();
    Peer.SayAll("+OK\r\nSubject: long\r\n\r\n" + longLine + "\r\n." + longLine +
                "\r\nend\r\n.\r\n");
    const std::vector<std::string> expected = {"Subject: long", "", longLine, longLine, "end"};
    EXPECT_EQ(body, expected);
    Client.Top(2, 10);
    EXPECT_EQ(Peer.Sent(), "TOP 2 10\r\n");
    Peer.SayAll("+OK\r\nSubject: top\r\n\r\n" + longLine + "\r\n.\r\n");
    EXPECT_NE(topBody.find(longLine), std::string::npos);
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(Client.IsConnected());

    // A status line as long is no mail's data: the guard against endless replies holds.
    Client.Dele(1);
    Peer.Sent();
    Peer.SayAll("+OK " + longLine + "\r\n");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Received line too long, exceeds MaxLineBuf");
}

TEST_F(Pop3Client, TopDeliversAMessageOfTheLinesReceived) {
    LogOn();
    Peer.SayAll("+OK\r\n1 160\r\n.\r\n");
    Peer.Sent();
    std::string subject;
    Client.OnTop = [&](TIpCustomPop3Client*, TIpMailMessage& m) { subject = m.Subject; };
    Client.Top(1, 50);
    EXPECT_EQ(Peer.Sent(), "TOP 1 50\r\n");
    Peer.SayAll("+OK\r\nSubject: big one\r\n\r\nfirst line\r\n.\r\n");
    EXPECT_EQ(subject, "big one");
    EXPECT_EQ(Client.State(), psTop);
}

// The unique-id listing on an open connection: its lines replace the LIST lines, and a server
// without UIDL only reports its refusal, so the caller can go on without ids.
TEST_F(Pop3Client, UidlListsTheIdsOrIsOnlyReportedWhenRefused) {
    LogOn();
    Peer.SayAll("+OK\r\n1 160\r\n2 160\r\n.\r\n");
    Peer.Sent();
    Client.Uidl();
    EXPECT_EQ(Peer.Sent(), "UIDL\r\n");
    Peer.SayAll("+OK\r\n1 whqtswO00WBw418f9t5JxYwZ\r\n2 QhdPYR:00WBw1Ph7x7\r\n.\r\n");
    EXPECT_EQ(Events.back(), "multiline 11: [1 whqtswO00WBw418f9t5JxYwZ] [2 QhdPYR:00WBw1Ph7x7]");
    EXPECT_FALSE(Client.MultiLine());

    Client.Uidl();
    Peer.Say("-ERR unknown command");
    EXPECT_EQ(Events.back(), "response 11 -ERR unknown command");
    EXPECT_EQ(Client.State(), psUidl);
    Client.Retrieve(1);
    EXPECT_EQ(Peer.Sent(), "UIDL\r\nRETR 1\r\n");
}

TEST_F(Pop3Client, ErrorToDeleResetsTaskAndState) {
    LogOn();
    Peer.SayAll("+OK\r\n1 160\r\n.\r\n");
    Peer.Sent();
    Client.Dele(1);
    EXPECT_EQ(Peer.Sent(), "DELE 1\r\n");
    Peer.Say("-ERR message 1 already deleted");
    EXPECT_EQ(Events.back(), "response 7 -ERR message 1 already deleted");
    EXPECT_EQ(Client.State(), psNoOp);
    EXPECT_EQ(Client.Task(), ptNone);
}

// A status line ended by a bare LF (with bytes of any kind in its text) reaches the socket
// joined to the line after it: that line is still the reply's first line, so a mail arrives
// whole and a listing keeps its first entry, whether the rest comes in the same read or later.
TEST_F(Pop3Client, StatusLineEndedByABareLfKeepsTheLineAfterIt) {
    const struct {
        const char* Status;
        const char* Text;
        bool SplitRead;
    } cases[] = {
        {"+OK 160 octets\xEC\xEC\x0E"
         "1\xEC\n",
         "160 octets\xEC\xEC\x0E"
         "1\xEC",
         false},
        {"+OK\n", "", false},
        {"+OK 160 octets\n", "160 octets", true},
    };
    LogOn();
    Peer.SayAll("+OK\n1 160\r\n2 160\r\n.\r\n");
    ASSERT_GE(Events.size(), 2u);
    EXPECT_EQ(Events[Events.size() - 2],
              "multiline " + std::to_string(psList) + ": [1 160] [2 160]");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Status);
        Peer.Sent();
        std::vector<std::string> body;
        Client.OnMessage = [&](TIpCustomPop3Client*, TIpMailMessage& m) {
            m.SetPosition(0);
            while (!m.AtEndOfStream()) body.push_back(m.ReadLine());
        };
        Client.Retrieve(1);
        EXPECT_EQ(Peer.Sent(), "RETR 1\r\n");
        const std::string mail = "Subject: first\r\nFrom: a@b\r\n\r\nbody\r\n.\r\n";
        if (c.SplitRead) {
            Peer.SayAll(c.Status);
            Peer.SayAll(mail);
        } else {
            Peer.SayAll(c.Status + mail);
        }
        EXPECT_EQ(body, (std::vector<std::string>{"Subject: first", "From: a@b", "", "body"}));
        EXPECT_NE(std::find(Events.begin(), Events.end(),
                            "response " + std::to_string(psRetr) + " +OK " + c.Text),
                  Events.end());
        EXPECT_TRUE(Client.IsConnected());
    }
    // A refusal so ended: what follows is no reply to anything, and nothing is delivered.
    std::vector<std::string> errors;
    Client.OnError = [&](TIpSockControl*, SOCKET, int32_t, const std::string& text) {
        errors.push_back(text);
    };
    int messages = 0;
    Client.OnMessage = [&](TIpCustomPop3Client*, TIpMailMessage&) { ++messages; };
    Client.Retrieve(2);
    Peer.SayAll("-ERR gone\nSubject: stray\r\n.\r\n");
    EXPECT_EQ(messages, 0);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("[POP3] unexpected line \"Subject: stray\"", 0), 0u) << errors[0];
}

TEST_F(Pop3Client, ErrorAsFirstLineOfRetrieveIsOnlyReported) {
    LogOn();
    Peer.SayAll("+OK\r\n1 160\r\n.\r\n");
    Client.Retrieve(9);
    Peer.Say("-ERR no such message");
    EXPECT_EQ(Events.back(), "response 6 -ERR no such message");
    EXPECT_EQ(Client.State(), psRetr);
    EXPECT_TRUE(Client.MultiLine());
}

TEST_F(Pop3Client, CommandsNeedTheTransactionState) {
    Client.StartList("127.0.0.1");
    Peer.Accept();
    EXPECT_EQ(ErrorOf<EIpPop3Exception>([&] { Client.Dele(1); }),
              "DELE can not be called in authentication state");
    EXPECT_THROW(Client.Retrieve(1), EIpPop3Exception);
    EXPECT_THROW(Client.Top(1, 5), EIpPop3Exception);
    EXPECT_THROW(Client.Uidl(), EIpPop3Exception);
}

// A handler that answers a reply with a command of its own takes over: the machine must not
// reset the client behind it. Here a refused raw command is answered with TOP, whose lines
// must still be taken as a multi-line reply.
TEST_F(Pop3Client, CommandSentFromAHandlerIsNotUndoneByTheMachine) {
    LogOn();
    Peer.SayAll("+OK\r\n1 99999\r\n.\r\n");
    Peer.Sent();
    std::string subject;
    Client.OnTop = [&](TIpCustomPop3Client*, TIpMailMessage& m) { subject = m.Subject; };
    Client.OnResponse = [this](TIpCustomPop3Client*, TIpPop3States to, const std::string& code,
                               const std::string&) {
        if (to == psSpecial && code == "-ERR") Client.Top(1, 50);
    };
    Client.SendCommand("LAST", false);
    EXPECT_EQ(Peer.Sent(), "LAST\r\n");
    Peer.Say("-ERR Unknown command: LAST");
    EXPECT_EQ(Peer.Sent(), "TOP 1 50\r\n");
    EXPECT_EQ(Client.State(), psTop);
    EXPECT_TRUE(Client.MultiLine());
    Peer.SayAll("+OK\r\nSubject: kept\r\n\r\n.\r\n");
    EXPECT_EQ(subject, "kept");
}

TEST_F(Pop3Client, SocketErrorCompletesTheRunningTask) {
    std::vector<int32_t> errors;
    Client.OnError = [&](TIpSockControl*, SOCKET, int32_t code, const std::string&) {
        errors.push_back(code);
    };
    Client.StartList("127.0.0.1");
    Peer.Socket->RefuseConnect();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], WSAECONNREFUSED);
    EXPECT_EQ(Events.back(), "complete 4 1");
    EXPECT_EQ(Client.Task(), ptNone);
    EXPECT_EQ(Client.State(), psNoOp);
}

TEST_F(Pop3Client, ServerCloseReturnsToIdle) {
    LogOn();
    Peer.Close();
    EXPECT_EQ(Client.State(), psNoOp);
    EXPECT_EQ(Client.Task(), ptNone);
    EXPECT_FALSE(Client.InAuthorization());
}

TEST_F(Pop3Client, QuitWithoutConnectionOnlyReturnsToIdle) {
    Client.Quit();
    EXPECT_EQ(Client.State(), psNoOp);
    LogOn();
    Peer.SayAll("+OK\r\n.\r\n");
    Peer.Sent();
    Client.Quit();
    EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
    EXPECT_EQ(Client.State(), psQuit);
}

// What no POP3 server would send, or a listing without end: the reply is given up, the error
// event fires once and the connection is dropped with whatever else came.
TEST_F(Pop3Client, HostileRepliesDropTheConnection) {
    std::string endless = "+OK listing follows\r\n";
    for (int i = 0; i <= Pop3Limits::kMaxListLines; ++i) endless += "1 100\r\n";
    const struct {
        const char* Name;
        bool LoggedOn;
        std::string Bytes;
        const char* Error;
    } cases[] = {
        {"random bytes for a greeting", false, "\x01\x02 binary\r\n+OK late\r\n",
         "[POP3] invalid reply \"\\x01\\x02 binary\", connection dropped"},
        {"an answer that is no status", true, "200 ok\r\n", "[POP3] invalid reply \"200 ok\""},
        {"talking without being asked", true, "+OK 1 100\r\n+OK\r\n1 100\r\n.\r\n+OK more\r\n",
         "[POP3] unexpected line \"+OK more\""},
        {"an endless listing", true, "+OK 2 320\r\n" + endless,
         "[POP3] reply too large, connection dropped"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<std::string> errors;
        Client.OnError = [&](TIpSockControl*, SOCKET, int32_t, const std::string& text) {
            errors.push_back(text);
        };
        if (c.LoggedOn) {
            LogOn(c.Bytes.substr(0, c.Bytes.find("\r\n")));
            const std::string rest = c.Bytes.substr(c.Bytes.find("\r\n") + 2);
            if (std::string(c.Name) == "an endless listing") Peer.Sent();  // LIST went out
            Peer.SayAll(rest);
        } else {
            Client.StartList("127.0.0.1");
            Peer.Accept();
            Peer.SayAll(c.Bytes);
        }
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].rfind(c.Error, 0), 0u) << errors[0];
        EXPECT_FALSE(Client.IsConnected());
        EXPECT_EQ(Client.Socket(), nullptr);
        Pump();
    }
}

// The same bytes over the same seven seconds: a server whose bytes waited unread while the
// client was busy is not slow; one that sent them while the client kept up is.
TEST_F(Pop3Client, ServerIsJudgedOnlyByTimeTheClientKeptUp) {
    std::string bulk;
    for (int i = 0; i < 600; ++i) bulk += std::string(70, 'x') + "\r\n";
    const struct {
        const char* Name;
        bool Busy;
        const char* Error;
    } cases[] = {
        {"busy while the server sent", true, ""},
        {"kept up with a server that sent little", false,
         "[POP3] reply too slow, connection dropped"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string error;
        Client.OnError = [&](TIpSockControl*, SOCKET, int32_t, const std::string& text) {
            error = text;
        };
        int messages = 0;
        Client.OnMessage = [&](TIpCustomPop3Client*, TIpMailMessage&) { ++messages; };
        StartRetrieve("big");
        if (c.Busy)
            Peer.Socket->Arrive(bulk);
        else
            Peer.SayAll(bulk);
        Client.Ms = 7000;
        Peer.SayAll("the last line\r\n");
        Client.TimerElapsed(50);
        if (Client.IsConnected()) Peer.SayAll(".\r\n");
        EXPECT_EQ(error, c.Error);
        EXPECT_EQ(messages, c.Busy ? 1 : 0);
        Client.DropConnection();
        Pump();
    }
}

// A reply given up as too slow at a tick of the timer, while the next lines of the server are on
// their way: they belong to the connection being dropped. The error is the time-out alone, and
// the client still knows the reply as too slow (the run's exit code depends on it).
TEST_F(Pop3Client, LinesThatComeWhileATooSlowReplyIsGivenUpAreNoSecondError) {
    std::vector<std::string> errors;
    Client.OnError = [&](TIpSockControl*, SOCKET, int32_t, const std::string& text) {
        errors.push_back(text);
        // The handler's pass of the message loop takes the next lines of the server.
        if (errors.size() == 1) Peer.SayAll("one more line\r\nand another\r\n");
    };
    StartRetrieve("slow");
    Peer.SayAll("a line now and then\r\n");
    Client.Ms = 7000;
    Client.TimerElapsed(50);
    Pump();
    EXPECT_EQ(errors, std::vector<std::string>{"[POP3] reply too slow, connection dropped"});
    EXPECT_TRUE(Client.ReplyTooSlow());
    EXPECT_FALSE(Client.IsConnected());
}

TEST_F(Pop3Client, DebugLogTextsCarryThePrefix) {
    const uint32_t noop = psNoOp;
    EXPECT_EQ(Client.FormatDebugEntry(1, 0x0303, &noop, 0),
              "[POP3] State change: No operation {psNoOp)\r\n");
    const uint32_t list = ptList;
    EXPECT_EQ(Client.FormatDebugEntry(1, 0x0301, &list, 0),
              "[POP3] Starting task: Retrieving mailbox list (ptList)\r\n");
}

}  // namespace

// The SMTP client as transcripts: what the server says, what the client answers, and which
// events its user sees.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "netlib/smtp/IpSmtp.h"
#include "netlib/smtp/Limits.h"
#include "tests/netlib/pop3/FakePeer.h"
#include "tests/support/TestSupport.h"

namespace {

class SmtpClient : public ::testing::Test {
  protected:
    void SetUp() override {
        Peer.Install(Client);
        Client.Domain = "point.example";
        Client.XMailer = "Test Mailer";
        Client.OnResponse = [this](TIpCustomSmtpClient*, TIpSmtpStates to, int32_t code,
                                   const std::string& text) {
            Events.push_back("response " + std::to_string(to) + " " + std::to_string(code) + " " +
                             text);
        };
        Client.OnMultiLineResponse = [this](TIpCustomSmtpClient*, TIpSmtpStates to,
                                            TStringList& lines) {
            std::string text = "multiline " + std::to_string(to) + ":";
            for (int i = 0; i < lines.Count(); ++i) text += " [" + lines[i] + "]";
            Events.push_back(text);
        };
        Client.OnTaskComplete = [this](TIpCustomSmtpClient*, TIpSmtpTasks task) {
            Completions.push_back(task);
        };
    }

    void SetMessage(const std::string& raw) {
        TIpMailMessage& m = Client.Message();
        m.ClearMessage();
        m.NewMessageStream();
        size_t start = 0;
        while (start < raw.size()) {
            size_t end = raw.find('\n', start);
            if (end == std::string::npos) end = raw.size();
            m.WriteLine(raw.substr(start, end - start));
            start = end + 1;
        }
        m.DecodeMessage();
    }

    // Greeting and EHLO up to the MAIL FROM line, which is returned.
    std::string Greet() {
        Client.SendMail("127.0.0.1", true);
        Peer.Accept();
        Peer.Say("220 mail.example ESMTP");
        EXPECT_EQ(Peer.Sent(), "EHLO point.example\r\n");
        Peer.SayAll("250-mail.example\r\n250-PIPELINING\r\n250 HELP\r\n");
        return Peer.Sent();
    }

    // Accepts every recipient after MAIL FROM, then DATA; returns the body sent.
    std::string Deliver(const std::vector<std::string>& rcpts) {
        for (const auto& rcpt : rcpts) {
            Peer.Say("250 OK");
            EXPECT_EQ(Peer.Sent(), "RCPT TO:" + rcpt + "\r\n");
        }
        Peer.Say("250 OK");
        EXPECT_EQ(Peer.Sent(), "DATA\r\n");
        Peer.Say("354 go on");
        return Peer.Sent();
    }
    // The send task reports its end once (posted, so only after a pump).
    void ExpectSendCompletedOnce() {
        Pump();
        ASSERT_EQ(Completions.size(), 1u);
        EXPECT_EQ(Completions[0], stSendMail);
    }

    TIpSmtpClient Client;
    TFakePeer Peer;
    std::vector<std::string> Events;
    std::vector<TIpSmtpTasks> Completions;
};

const char* const kMail =
    "From: Sender Name <sender@point.example>\n"
    "To: Ann <ann@example.org>, bob@example.org\n"
    "Cc: carl@example.org\n"
    "Subject: test\n"
    "\n"
    "first line\n"
    ".\n"
    ".hidden\n"
    "last line";

TEST(SmtpLines, AddressesAreNormalized) {
    const std::pair<const char*, const char*> cases[] = {
        {"Ann <ann@example.org>", "<ann@example.org>"},
        {"bob@example.org", "<bob@example.org>"},
        {"bob@example.org (Bob)", "<bob@example.org>"},
        {"<x@y>", "<x@y>"},
        {"\"Muster, Anna\" <anna@example.net>", "<anna@example.net>"},
        {"=?UTF-8?B?TXVzdGVyLCBBbm5h?= <point@example.org>", "<point@example.org>"},
        {"Team: a@example.org, b@example.org;", "<a@example.org>"},
        {"undisclosed-recipients:;", ""},
        {"Anna Muster", ""},
        {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(TIpCustomSmtpClient::NormalizeAddress(in), out) << in;
}

TEST(SmtpLines, ReplyCodesAndDotStuffing) {
    EXPECT_EQ(SmtpReplyCode("250 OK\r\n"), 250);
    EXPECT_EQ(SmtpReplyCode("25x OK\r\n"), 0);
    EXPECT_EQ(SmtpReplyCode("250\r\n"), 250);
    EXPECT_EQ(SmtpReplyCode("250\n"), 0);
    EXPECT_EQ(SmtpReplyCode("250-8BITMIME\r\n"), 250);
    EXPECT_EQ(SmtpReplyCode("2500 queued\r\n"), 0);
    EXPECT_EQ(SmtpReplyCode("250x\r\n"), 0);
    std::string out;
    AppendStuffedLine(out, ".");
    AppendStuffedLine(out, ".x");
    AppendStuffedLine(out, "x.");
    EXPECT_EQ(out, "..\r\n..x\r\nx.\r\n");
}

TEST_F(SmtpClient, WholeSendWithEnvelopeBodyAndQuit) {
    SetMessage(kMail);
    EXPECT_EQ(Greet(), "MAIL FROM:<sender@point.example>\r\n");
    // Only the continuation lines of a multi-line reply are in the list.
    EXPECT_EQ(Events.back(), "multiline 2: [250-mail.example\r\n] [250-PIPELINING\r\n]");
    const std::string body =
        Deliver({"<ann@example.org>", "<bob@example.org>", "<carl@example.org>"});
    EXPECT_NE(body.find("\r\nX-Mailer: Test Mailer\r\n"), std::string::npos) << body;
    EXPECT_NE(body.find("\r\n\r\nfirst line\r\n..\r\n..hidden\r\nlast line\r\n.\r\n"),
              std::string::npos)
        << body;
    EXPECT_EQ(body.substr(body.size() - 5), "\r\n.\r\n");

    bool asked = false;
    Client.OnNextMessage = [&](TIpCustomSmtpClient*, bool& ready) {
        asked = true;
        ready = false;
    };
    Peer.Say("250 queued");
    EXPECT_TRUE(asked);
    EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
    Peer.Say("221 bye");
    EXPECT_TRUE(Completions.empty());  // posted: arrives after the line
    Pump();
    ASSERT_EQ(Completions.size(), 1u);
    EXPECT_EQ(Completions[0], stSendMail);
    EXPECT_EQ(Client.State(), ssNoOp);
}

TEST_F(SmtpClient, RefusedEhloFallsBackToHelo) {
    SetMessage(kMail);
    Client.SendMail("127.0.0.1", true);
    Peer.Accept();
    Peer.SayAll("220-mail.example\r\n220 ready\r\n");
    EXPECT_EQ(Peer.Sent(), "EHLO point.example\r\n");
    Peer.Say("502 unknown command");
    EXPECT_EQ(Peer.Sent(), "HELO point.example\r\n");
    Peer.Say("250 hello");
    EXPECT_EQ(Peer.Sent(), "MAIL FROM:<sender@point.example>\r\n");
}

TEST_F(SmtpClient, BlindCopyGetsARecipientButNoHeader) {
    SetMessage("From: a@b\nBcc: hidden@example.org\nSubject: s\n\nbody");
    EXPECT_EQ(Greet(), "MAIL FROM:<a@b>\r\n");
    const std::string body = Deliver({"<hidden@example.org>"});
    EXPECT_EQ(body.find("hidden@"), std::string::npos) << body;
    EXPECT_EQ(Client.Message().BCC.Count(), 1);
}

TEST_F(SmtpClient, EnvelopeTakesBareAddressesAndTheMessageGoesAsItCame) {
    // Only the blind copies' header goes and the mailer's line comes at the end of the header;
    // every other byte is the message as the point program wrote it.
    SetMessage(
        "subject: as written\nFrom: \"Muster, Anna\" <anna@point.example>\n"
        "To: undisclosed-recipients:;\nBcc: a@example.org,\n =?UTF-8?Q?Doe=2C_J?= "
        "<j@example.org>\nContent-Type: text/plain; charset=\"UTF-8\"\n\n\nleading blank\n");
    EXPECT_EQ(Greet(), "MAIL FROM:<anna@point.example>\r\n");
    const std::string body = Deliver({"<a@example.org>", "<j@example.org>"});
    EXPECT_EQ(body,
              "subject: as written\r\nFrom: \"Muster, Anna\" <anna@point.example>\r\n"
              "To: undisclosed-recipients:;\r\nContent-Type: text/plain; charset=\"UTF-8\"\r\n"
              "X-Mailer: Test Mailer\r\n\r\n\r\nleading blank\r\n.\r\n");
}

TEST_F(SmtpClient, AMessageWithoutSenderGoesWithTheNullSender) {
    for (const char* from : {"", "From: Anna Muster\n", "From: undisclosed:;\n"}) {
        SetMessage(std::string(from) + "To: c@d\n\nbody");
        EXPECT_EQ(Greet(), "MAIL FROM:<>\r\n") << from;
        Client.Quit();
        Peer.Sent();
        Peer.Say("221 bye");
        Peer.Close();
        Pump();
    }
}

TEST_F(SmtpClient, AnExistingMailerHeaderIsKept) {
    SetMessage("From: a@b\nTo: c@d\nX-Mailer: Point 3.8\n\nbody");
    Greet();
    const std::string body = Deliver({"<c@d>"});
    EXPECT_NE(body.find("X-Mailer: Point 3.8\r\n"), std::string::npos) << body;
    EXPECT_EQ(body.find("Test Mailer"), std::string::npos) << body;
}

TEST_F(SmtpClient, RefusedRecipientEndsTheTaskAndQuits) {
    SetMessage(kMail);
    Greet();
    Peer.Say("250 OK");
    EXPECT_EQ(Peer.Sent(), "RCPT TO:<ann@example.org>\r\n");
    Peer.Say("550 5.1.1 no such user");
    EXPECT_EQ(Events.back(), "response 5 550 5.1.1 no such user\r\n");
    EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
    EXPECT_EQ(Client.Task(), stFailed);
    ExpectSendCompletedOnce();
}

TEST_F(SmtpClient, SeveralMessagesGoOverOneConnection) {
    SetMessage(kMail);
    Greet();
    int next = 0;
    Client.OnNextMessage = [&](TIpCustomSmtpClient*, bool& ready) {
        ready = ++next == 1;
        if (ready) SetMessage("From: second@point.example\nTo: z@example.org\n\nsecond");
    };
    for (int i = 0; i < 4; ++i) Peer.Say("250 OK");
    EXPECT_EQ(Peer.Sent().substr(0, 40).find("RCPT"), 0u);
    Peer.Say("354 go on");
    Peer.Sent();
    Peer.Say("250 queued");
    EXPECT_EQ(Peer.Sent(), "MAIL FROM:<second@point.example>\r\n");
    EXPECT_NE(Deliver({"<z@example.org>"}).find("second\r\n.\r\n"), std::string::npos);
    Peer.Say("250 queued");
    EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
    EXPECT_EQ(next, 2);
}

// After a raw command, a handler that starts the send from the reply (as AUTH LOGIN's 235 does)
// must find the machine waiting for the reply to its MAIL FROM, not running ahead.
TEST_F(SmtpClient, HandlerThatSendsTakesOverTheReply) {
    SetMessage(kMail);
    Greet();
    Client.OnResponse = [this](TIpCustomSmtpClient*, TIpSmtpStates, int32_t code,
                               const std::string&) {
        if (code == 235) Client.SendMail("127.0.0.1", true);
    };
    Client.OnMultiLineResponse = nullptr;
    Client.SendCommand("AUTH LOGIN", false);
    EXPECT_EQ(Peer.Sent(), "AUTH LOGIN\r\n");
    Peer.Say("235 2.7.0 Authentication successful");
    EXPECT_EQ(Peer.Sent(), "MAIL FROM:<sender@point.example>\r\n");
    EXPECT_EQ(Client.State(), ssMailFrom);
    Peer.Say("250 OK");
    EXPECT_EQ(Peer.Sent(), "RCPT TO:<ann@example.org>\r\n");
}

TEST_F(SmtpClient, SendMailWhileBusyIsRefused) {
    SetMessage(kMail);
    Client.SendMail("127.0.0.1", true);
    EXPECT_EQ(ErrorOf<EIpBaseException>([&] { Client.SendMail("127.0.0.1", true); }),
              "Can not comply, wrong state");
}

TEST_F(SmtpClient, ServerCloseReturnsToIdleWithoutCompletion) {
    SetMessage(kMail);
    Greet();
    Peer.Close();
    Pump();
    EXPECT_EQ(Client.State(), ssNoOp);
    EXPECT_EQ(Client.Task(), stNoTask);
    EXPECT_TRUE(Completions.empty());
}

TEST_F(SmtpClient, RefusedGreetingEndsTheTask) {
    SetMessage(kMail);
    Client.SendMail("127.0.0.1", true);
    Peer.Accept();
    Peer.Say("421 too busy, try later");
    EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
    EXPECT_EQ(Client.Task(), stFailed);
    ExpectSendCompletedOnce();
}

// The debug log tells the whole send in order; the encoding of each message is bracketed by
// its start and stop entries, before the envelope goes out.
TEST_F(SmtpClient, DebugLogTellsTheSendInOrder) {
    const std::string File = ::testing::TempDir() + "smtp-debug-" + std::to_string(getpid());
    Client.DebugLog().SetFileName(File);
    Client.DebugLog().SetEnabled(true);
    SetMessage(kMail);
    Greet();
    Deliver({"<ann@example.org>", "<bob@example.org>", "<carl@example.org>"});
    Peer.Say("250 queued");
    Peer.Say("221 bye");
    Pump();
    Client.DebugLog().WriteDebugLog();
    const std::string Text = ReadFile(File);
    std::remove(File.c_str());
    size_t At = 0;
    for (const char* Entry :
         {"[SMTP] Starting task: Sending mail (stSendMail)\r\n",
          "[SMTP] State change: Logging on with EHLO (ssEhlo)\r\n",
          "[SMTP] Generating OnMultiLineResponse event\r\n",
          "[SMTP] Generating OnEncodeAction(Start)\r\n",
          "[SMTP] Generating OnEncodeAction(Stop)\r\n",
          "[SMTP] State change: Sending sender's info (ssMailFrom)\r\n",
          "[SMTP] Generating OnResponse event, Code = 354\r\n", "[SMTP] Next message not ready\r\n",
          "[SMTP] Generating OnTaskComplete event Sending mail (stSendMail)\r\n"}) {
        const size_t Found = Text.find(Entry, At);
        ASSERT_NE(Found, std::string::npos) << "missing or out of order: " << Entry << Text;
        At = Found;
    }
}

// A server whose reply never ends cannot make the client collect lines without end: past the
// limit the connection is dropped and the send ends as failed.
TEST_F(SmtpClient, EndlessReplyIsCutOffAtTheLineLimit) {
    std::vector<int32_t> Errors;
    Client.OnConnectError = [&](TIpCustomSmtpClient*, int32_t Code, const std::string&) {
        Errors.push_back(Code);
    };
    SetMessage(kMail);
    Client.SendMail("127.0.0.1", true);
    Peer.Accept();
    Peer.Say("220 mail.example");
    EXPECT_EQ(Peer.Sent(), "EHLO point.example\r\n");
    std::string Lines;
    for (int32_t I = 0; I <= SmtpLimits::kMaxReplyLines; ++I) Lines += "250-more\r\n";
    Peer.SayAll(Lines);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], WSAEMSGSIZE);
    EXPECT_EQ(Client.ReplyLines().Count(), 0);
    EXPECT_FALSE(Client.IsConnected());
    Pump();
    ASSERT_EQ(Completions.size(), 1u);
    EXPECT_EQ(Completions[0], stFailed);
}

// A line with no reply code is no consent: at the greeting, after EHLO, after a recipient and
// after DATA it ends the send as failed and drops the connection, before anything more is sent;
// the user sees it as a reply with code 0.
TEST_F(SmtpClient, ALineWithoutReplyCodeEndsTheSend) {
    struct TCase {
        int Step;  // replies that went well before the bad line
        const char* Line;
    } const Cases[] = {{0, "\xdb\x97garbage"}, {1, "25O-EHLO"}, {2, "ok"}, {3, "2500 go on"}};
    const char* const Good[] = {"220 mail.example", "250 HELP", "250 OK", "250 OK"};
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Line);
        Completions.clear();
        SetMessage("From: p@point.example\nTo: ann@example.org\n\nbody");
        Client.SendMail("127.0.0.1", true);
        Peer.Accept();
        for (int I = 0; I < Case.Step; ++I) Peer.Say(Good[I]);
        Peer.Sent();
        Events.clear();
        Peer.Say(Case.Line);
        EXPECT_EQ(Peer.Sent(), "");
        ASSERT_EQ(Events.size(), 1u);
        EXPECT_EQ(Events[0].rfind("response ", 0), 0u);
        EXPECT_NE(Events[0].find(" 0 "), std::string::npos) << Events[0];
        EXPECT_FALSE(Client.IsConnected());
        EXPECT_EQ(Client.State(), ssNoOp);
        ExpectSendCompletedOnce();
    }
}

// Every line of an SMTP reply is a status line: one a server ends with a bare LF reaches the
// socket joined to the line after it, and is still a line of its own. The greeting, the EHLO
// reply and the message's acceptance keep the send going, each line listed as if it had ended
// with CR LF, and a reply cut by the close after its LF ends nothing more.
TEST_F(SmtpClient, StatusLinesEndedByABareLfAreLinesOfTheirOwn) {
    SetMessage("From: p@point.example\nTo: ann@example.org\n\nbody");
    Client.SendMail("127.0.0.1", true);
    Peer.Accept();
    Peer.SayAll("220-mail.example \xE9\n220 ready\r\n");
    EXPECT_EQ(Peer.Sent(), "EHLO point.example\r\n");
    Peer.SayAll("250-mail.example\n250-PIPELINING\n250 HELP\r\n");
    EXPECT_EQ(Events.back(), "multiline 2: [250-mail.example\r\n] [250-PIPELINING\r\n]");
    EXPECT_EQ(Peer.Sent(), "MAIL FROM:<p@point.example>\r\n");
    Deliver({"<ann@example.org>"});
    Client.OnNextMessage = [](TIpCustomSmtpClient*, bool& ready) { ready = false; };
    Peer.SayAll("250-queued as 17\n250 ok\r\n");
    EXPECT_EQ(Events.back(), "multiline 12: [250-queued as 17\r\n]");
    EXPECT_EQ(Peer.Sent(), "QUIT\r\n");
    Events.clear();
    Peer.SayAll("221 bye\n");
    Peer.Close();
    EXPECT_EQ(Events, (std::vector<std::string>{"response 14 221 bye\r\n"}));
    ExpectSendCompletedOnce();
}

// An address of the header whose quoted part holds a CR (lines end at LF) goes into RCPT TO
// without it: the CR would end the command there and make the rest a command of its own.
TEST_F(SmtpClient, EnvelopeAddressesLoseControlCharacters) {
    SetMessage("From: \"p\x01\" <p\r@point.example>\nTo: \"y\rDATA\"@example.org\n\nbody");
    EXPECT_EQ(Greet(), "MAIL FROM:<p@point.example>\r\n");
    Deliver({"<\"yDATA\"@example.org>"});
    EXPECT_EQ(EnvelopeAddress("a\tb\x7f@c\n"), "<ab@c>");
}

TEST_F(SmtpClient, ConnectWithoutTaskStopsAfterTheGreeting) {
    Client.Connect("127.0.0.1");
    EXPECT_TRUE(Client.ConnectOnly());
    Peer.Accept();
    Peer.Say("220 ready");
    EXPECT_EQ(Peer.Sent(), "");
    EXPECT_EQ(Client.State(), ssNoOp);
}

}  // namespace

// Transcripts of the news client against a fake socket: what the server says goes in with Feed,
// what the client sends comes back with Sent.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "netlib/nntp/IpNntp.h"
#include "netlib/nntp/Limits.h"
#include "netlib/sock/IpFakeSocket.h"
#include "netlib/sock/Limits.h"
#include "tests/support/TestSupport.h"

namespace {

class NntpClientTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Client.SetSocketFactory([this](TIpCustomClient& c) {
            Fake = new TIpFakeSocket(c);
            return Fake;
        });
        Client.OnResponse = [this](TIpCustomNntpClient*, TIpNntpStates to, int32_t code,
                                   const std::string& text) {
            Events.push_back("response " + std::to_string(to) + " " + std::to_string(code) + " " +
                             text);
        };
        Client.OnMultiLineResponse = [this](TIpCustomNntpClient*, TIpNntpStates to,
                                            TStringList& list) {
            std::string joined;
            for (int i = 0; i < list.Count(); ++i) joined += "|" + list[i];
            Events.push_back("multi " + std::to_string(to) + " " + joined);
        };
        Client.OnArticle = [this](TIpCustomNntpClient*, TIpNewsArticle& article) {
            Articles.push_back(RawText(article));
            Events.push_back("article " + article.MessageID);
        };
        Client.OnTaskComplete = [this](TIpCustomNntpClient*, TIpNntpTasks task, TStringList&) {
            Events.push_back("complete " + std::to_string(task));
        };
        Client.OnStateChange = [this](TIpCustomNntpClient*, TIpNntpStates state) {
            StateChanges.push_back(state);
        };
    }

    static std::string RawText(TIpNewsArticle& article) {
        std::string text;
        article.SetPosition(0);
        while (!article.AtEndOfStream()) text += article.ReadLine() + "\n";
        return text;
    }

    // Connects for a task and answers with the greeting.
    void Open(const std::string& greeting, TIpNntpTasks task = ntSelectGroup,
              const std::string& group = "de.test") {
        if (task == ntAuthenticate)
            Client.Authenticate("news.example");
        else if (task == ntPostTo)
            Client.PostTo("news.example", group);
        else
            Client.SelectGroup("news.example", group);
        ASSERT_NE(Fake, nullptr);
        Fake->AcceptConnect();
        Feed(greeting + "\r\n");
    }

    void Feed(const std::string& bytes) { Fake->Feed(bytes); }
    std::string Sent() { return Fake->TakeWritten(); }
    void Pump() {
        for (int i = 0; i < 5; ++i) Application.ProcessMessages();
    }

    TIpNntpClient Client;
    TIpFakeSocket* Fake = nullptr;
    std::vector<std::string> Events;
    std::vector<std::string> Articles;
    std::vector<TIpNntpStates> StateChanges;
};

TEST_F(NntpClientTest, GreetingsDecidePostingAndWhetherTheTaskGoesOn) {
    Open("200 news.example ready");
    EXPECT_TRUE(Client.PostingAllowed());
    EXPECT_EQ(Sent(), "GROUP de.test\r\n");
    EXPECT_EQ(Events.at(0), "response 1 200 news.example ready");
}

TEST_F(NntpClientTest, GreetingWithoutPostingStillSelectsTheGroup) {
    Open("201 news.example no posting");
    EXPECT_FALSE(Client.PostingAllowed());
    EXPECT_EQ(Sent(), "GROUP de.test\r\n");
}

TEST_F(NntpClientTest, RefusedServiceSendsNothingFurther) {
    Open("400 service discontinued");
    EXPECT_EQ(Sent(), "");
    EXPECT_EQ(Client.State(), nsNoOp);
    EXPECT_EQ(Events.at(0), "response 0 400 service discontinued");
}

TEST_F(NntpClientTest, AuthinfoAcceptedCompletesTheAuthenticateTask) {
    Client.UserID = "reader";
    Client.Password = "secret";
    Open("200 hello", ntAuthenticate);
    EXPECT_EQ(Sent(), "AUTHINFO USER reader\r\n");
    Feed("381 more\r\n");
    EXPECT_EQ(Sent(), "AUTHINFO PASS secret\r\n");
    Feed("281 ok\r\n");
    EXPECT_EQ(Events.back(), "complete 1");
}

TEST_F(NntpClientTest, AuthinfoRejectedIsReportedAndUnsupportedStopsTheTask) {
    Client.UserID = "reader";
    Client.Password = "wrong";
    Open("200 hello");
    Sent();
    Feed("381 more\r\n");
    Sent();
    Feed("481 rejected\r\n");
    EXPECT_EQ(Events.back(), "response 18 481 rejected");
    // The selection goes on; the caller decides what a rejection means.
    EXPECT_EQ(Sent(), "GROUP de.test\r\n");

    Feed("211 1 1 1 de.test\r\n");
    Client.Quit();
    Sent();
    Fake->PeerClose();
    Fake = nullptr;
    Events.clear();
    Open("200 hello");
    Sent();
    Feed("381 more\r\n");
    Sent();
    Feed("502 no permission\r\n");
    EXPECT_EQ(Sent(), "");
    EXPECT_EQ(Events.back(), "response 18 502 no permission");
}

TEST_F(NntpClientTest, GroupReplyFillsTheNumbers) {
    Open("200 hello");
    Sent();
    Feed("211 3 17 19 de.test\r\n");
    EXPECT_EQ(Client.ArticleCount(), 3);
    EXPECT_EQ(Client.FirstArticle(), 17);
    EXPECT_EQ(Client.LastArticle(), 19);
    EXPECT_EQ(Client.CurrentArticle(), 17);
    EXPECT_EQ(Client.SelectedGroup(), "de.test");
    EXPECT_EQ(Events.back(), "complete 2");

    // Every later GROUP of the connection completes the selection again.
    Client.Group("empty.group");
    EXPECT_EQ(Sent(), "GROUP empty.group\r\n");
    Feed("211 0 0 0 empty.group\r\n");
    EXPECT_EQ(Client.FirstArticle(), 0);
    EXPECT_EQ(Client.LastArticle(), 0);

    Client.Group("odd.group");
    Feed("211 odd\r\n");
    EXPECT_EQ(Client.FirstArticle(), -1);
    EXPECT_EQ(Client.LastArticle(), -1);
    EXPECT_EQ(Client.ArticleCount(), 0);

    // A sign or more digits than a number holds is no article number either.
    Client.Group("odd.group");
    Feed("211 1 -3 +4 odd.group\r\n");
    EXPECT_EQ(Client.FirstArticle(), -1);
    EXPECT_EQ(Client.LastArticle(), -1);
    Client.Group("odd.group");
    Feed("211 1 1 99999999999999999999 odd.group\r\n");
    EXPECT_EQ(Client.FirstArticle(), 1);
    EXPECT_EQ(Client.LastArticle(), -1);
}

TEST_F(NntpClientTest, MissingGroupIsAResponseAndStillCompletes) {
    Open("200 hello");
    Sent();
    Feed("211 3 17 19 de.test\r\n");
    Client.Group("gone.group");
    Feed("411 no such group\r\n");
    EXPECT_EQ(Events.at(Events.size() - 2), "response 8 411 no such group");
    EXPECT_EQ(Events.back(), "complete 2");
    // The numbers of the group before stay.
    EXPECT_EQ(Client.LastArticle(), 19);
}

TEST_F(NntpClientTest, ArticleIsUnstuffedDecodedAndDelivered) {
    Open("200 hello");
    Feed("211 1 1 1 de.test\r\n");
    Sent();
    Client.ArticleByNumber(1);
    EXPECT_EQ(Sent(), "ARTICLE 1\r\n");
    Feed(
        "220 1 <a1@x> article\r\nFrom: a@b\r\nMessage-ID: <a1@x>\r\nSubject: s\r\n\r\n"
        "..\r\n..leading dot\r\nplain\r\n.\r\n");
    ASSERT_EQ(Articles.size(), 1u);
    EXPECT_EQ(Events.back(), "article <a1@x>");
    EXPECT_NE(Articles[0].find("\n.\n.leading dot\nplain\n"), std::string::npos);
    EXPECT_EQ(Client.ResponseList().Count(), 0);
}

TEST_F(NntpClientTest, ArticleSplitAcrossReadsArrivesWhole) {
    Open("200 hello");
    Feed("211 1 1 1 de.test\r\n");
    Client.ArticleByNumber(1);
    Feed("220 1 <a1@x>\r\nMessage-ID: <a1@x>\r\n\r\nbo");
    EXPECT_TRUE(Articles.empty());
    Feed("dy\r\n.\r\n");
    ASSERT_EQ(Articles.size(), 1u);
    EXPECT_NE(Articles[0].find("\nbody\n"), std::string::npos);
}

// A status line ended by a bare LF (with bytes of any kind in its text) reaches the socket
// joined to the line after it: that line is still the reply's first line, so an article keeps
// its first header line, in one read or split, and the replies after it stay in step.
TEST_F(NntpClientTest, StatusLineEndedByABareLfKeepsTheLineAfterIt) {
    Open("200 hello");
    Feed("211 2 1 2 de.test\r\n");
    Sent();
    Events.clear();
    std::string error;
    Client.OnError = [&](TIpSockControl*, SOCKET, int32_t, const std::string& t) { error = t; };
    Client.ArticleByNumber(1);
    Client.HeadByNumber(2);
    Client.ArticleByNumber(3);
    EXPECT_EQ(Sent(), "ARTICLE 1\r\nHEAD 2\r\nARTICLE 3\r\n");
    Feed("220 1 <1@x> \xE9\xEC\nMessage-ID: <1@x>\r\nSubject: one\r\n\r\nbody\r\n.\r\n");
    Feed("221 2 <2@x>\n");
    Feed("Message-ID: <2@x>\r\n.\r\n423 no such article\nSubject: stray\r\n");
    ASSERT_GE(Events.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(Events.begin(), Events.begin() + 3),
              (std::vector<std::string>{"article <1@x>", "article <2@x>",
                                        "multi 4 |423 no such article"}));
    ASSERT_EQ(Articles.size(), 2u);
    EXPECT_EQ(Articles[0].rfind("Message-ID: <1@x>\nSubject: one\n", 0), 0u) << Articles[0];
    EXPECT_EQ(Articles[1].rfind("Message-ID: <2@x>\n", 0), 0u) << Articles[1];
    // What came after the last reply is no reply to anything.
    EXPECT_EQ(error, "[NNTP] unexpected line \"Subject: stray\", connection dropped");
    EXPECT_FALSE(Client.IsConnected());
}

TEST_F(NntpClientTest, MissingArticleIsAOneLineListAndTheNextFetchWorks) {
    Open("200 hello");
    Feed("211 2 1 2 de.test\r\n");
    Sent();
    // The handler fetches the next article from inside the event, as the exchange task does.
    Client.OnMultiLineResponse = [this](TIpCustomNntpClient* c, TIpNntpStates to,
                                        TStringList& list) {
        Events.push_back("multi " + std::to_string(to) + " " + list[0] + " #" +
                         std::to_string(list.Count()));
        c->ArticleByNumber(2);
    };
    Client.ArticleByNumber(1);
    Feed("423 no such article\r\n");
    EXPECT_EQ(Events.back(), "multi 4 423 no such article #1");
    EXPECT_TRUE(Articles.empty());
    EXPECT_EQ(Sent(), "ARTICLE 1\r\nARTICLE 2\r\n");
    // The body of the next article is not taken for replies.
    Feed("220 2 <a2@x>\r\nMessage-ID: <a2@x>\r\n\r\n500 looks like a code\r\n.\r\n");
    ASSERT_EQ(Articles.size(), 1u);
    EXPECT_EQ(Events.back(), "article <a2@x>");
}

TEST_F(NntpClientTest, OversizedArticleIsReportedAsAFailedFetch) {
    Open("200 hello");
    Feed("211 1 1 1 de.test\r\n");
    Client.ArticleByNumber(1);
    Feed("220 1 <big@x>\r\nMessage-ID: <big@x>\r\n\r\n");
    const std::string chunk(1023, 'x');
    std::string block;
    for (int i = 0; i < 1024; ++i) block += chunk + "\r\n";  // 1 MiB
    for (uint64_t sent = 0; sent <= NntpLimits::kMaxArticleSize; sent += block.size()) Feed(block);
    Feed(".\r\n");
    EXPECT_TRUE(Articles.empty());
    EXPECT_EQ(Events.back(), "multi 4 |220 1 <big@x>");
    // The connection goes on with the next command.
    Client.ArticleByNumber(1);
    Feed("423 gone\r\n");
    EXPECT_EQ(Events.back(), "multi 4 |423 gone");
}

// Only the reply that brings a fetch's lines (220 to ARTICLE, 221 to HEAD, 222 to BODY) starts
// an article. Any other success or continuation code is a failed fetch of that article alone:
// nothing is delivered for it, nothing of the article before comes back, and the replies to the
// commands already on their way are read in step.
TEST_F(NntpClientTest, OnlyTheDataReplyOfItsCommandStartsAnArticle) {
    const struct {
        const char* Command;
        const char* Reply;
    } cases[] = {
        {"ARTICLE", "300 2 6 7 de.other"}, {"ARTICLE", "200 news ready"},
        {"ARTICLE", "221 2 <2@x> head"},   {"ARTICLE", "222 2 <2@x> body"},
        {"HEAD", "220 2 <2@x> article"},   {"ARTICLE", "100 help text follows"},
    };
    Open("200 hello");
    Feed("211 9 1 9 de.test\r\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Command) + " answered " + c.Reply);
        Events.clear();
        Articles.clear();
        Sent();
        Client.ArticleByNumber(1);
        Feed("220 1 <1@x>\r\nMessage-ID: <1@x>\r\nSubject: first\r\n\r\nbody one\r\n.\r\n");
        if (std::string(c.Command) == "HEAD")
            Client.HeadByNumber(2);
        else
            Client.ArticleByNumber(2);
        Client.ArticleByNumber(3);
        EXPECT_EQ(Sent(), "ARTICLE 1\r\n" + std::string(c.Command) + " 2\r\nARTICLE 3\r\n");
        Feed(std::string(c.Reply) + "\r\n");
        Feed("220 3 <3@x>\r\nMessage-ID: <3@x>\r\nSubject: third\r\n\r\nbody three\r\n.\r\n");
        const int refusedIn = std::string(c.Command) == "HEAD" ? nsHead : nsArticle;
        EXPECT_EQ(Events,
                  (std::vector<std::string>{"article <1@x>",
                                            "multi " + std::to_string(refusedIn) + " |" + c.Reply,
                                            "article <3@x>"}));
        ASSERT_EQ(Articles.size(), 2u);
        EXPECT_EQ(Articles[1].find("first"), std::string::npos) << Articles[1];
        EXPECT_EQ(Articles[1].find("body one"), std::string::npos) << Articles[1];
        EXPECT_NE(Articles[1].find("\nbody three\n"), std::string::npos) << Articles[1];
        EXPECT_TRUE(Client.IsConnected());
    }
}

// Whatever a server sends that no NNTP server would, or without end, the client gives the reply
// up at once: the error event (the task's error) and a dropped connection, of which nothing
// more is read.
TEST_F(NntpClientTest, HostileRepliesDropTheConnection) {
    std::string endlessList = "215 list follows\r\n";
    for (size_t i = 0; i <= NntpLimits::kMaxResponseLines; ++i) endlessList += "alt.x 1 1 y\r\n";
    const struct {
        const char* Name;
        std::string Greeting;
        std::string Then;
        const char* Error;
    } cases[] = {
        {"random bytes for a greeting", std::string("\x8F\x01\0garbage", 10) + "\r\n", "",
         "[NNTP] invalid reply \"\\x8F\\x01\\x00garbage\", connection dropped"},
        {"a status line without its code", "20 ready\r\n", "", "[NNTP] invalid reply"},
        {"talking without being asked", "200 ready\r\n211 0 0 0 de.test\r\n", "211 again\r\n",
         "[NNTP] unexpected line \"211 again\", connection dropped"},
        {"an endless list", "200 ready\r\n211 0 0 0 de.test\r\n", endlessList,
         "[NNTP] reply too large: more than 500000 lines"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Events.clear();
        std::vector<std::string> errors;
        Client.OnError = [&](TIpSockControl*, SOCKET, int32_t, const std::string& text) {
            errors.push_back(text);
        };
        Client.SelectGroup("news.example", "de.test");
        Fake->AcceptConnect();
        Feed(c.Greeting);
        if (!c.Then.empty()) {
            if (std::string(c.Name) == "an endless list") Client.List();
            Feed(c.Then + "\r\nmore\r\n");
        }
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].rfind(c.Error, 0), 0u) << errors[0];
        EXPECT_FALSE(Client.IsConnected());
        EXPECT_EQ(Client.Socket(), nullptr);
        Pump();
    }
}

// A server that keeps a reply going with a line now and then never lets the idle time-out
// fire; the reply's own time limit ends it soon after the idle time.
TEST_F(NntpClientTest, DrippingReplyIsGivenUpAfterTheIdleTime) {
    Client.SetIdleTimeout(300);
    Client.SetTimerInterval(50);
    int32_t code = 0;
    std::string error;
    Client.OnError = [&](TIpSockControl*, SOCKET, int32_t c, const std::string& text) {
        code = c;
        error = text;
    };
    Open("200 hello");
    Feed("211 1 1 1 de.test\r\n");
    Client.ArticleByNumber(1);
    Feed("220 1 <slow@x>\r\n");
    EXPECT_TRUE(PumpUntil(
        [&] {
            if (Client.IsConnected()) Feed("X-Slow: one more line\r\n");
            return !error.empty();
        },
        20000));
    EXPECT_EQ(error, "[NNTP] reply too slow, connection dropped");
    EXPECT_EQ(code, WSAETIMEDOUT);
    EXPECT_TRUE(Articles.empty());
}

TEST_F(NntpClientTest, ArticleByMessageIdAddsMissingBrackets) {
    Open("200 hello");
    Feed("211 1 1 1 de.test\r\n");
    Sent();
    Client.ArticleByMessageId("abc@host");
    Client.ArticleByMessageId("<abc@host>");
    Client.HeadByMessageId("<abc@host");
    EXPECT_EQ(Sent(), "ARTICLE <abc@host>\r\nARTICLE <abc@host>\r\nHEAD <abc@host>\r\n");
    // Each reply is read as the answer to its own command, in the order sent.
    Feed("430 no such article\r\n430 no such article\r\n430 no such article\r\n");
    EXPECT_EQ(
        std::vector<std::string>(Events.end() - 3, Events.end()),
        (std::vector<std::string>{"multi 4 |430 no such article", "multi 4 |430 no such article",
                                  "multi 7 |430 no such article"}));
    EXPECT_THROW(Client.ArticleByMessageId("a@b>\r\nQUIT"), EIpNntpException);
}

// Several ARTICLE commands on their way at once: the replies, split anyhow across reads, are
// taken in order, and a command sent from an event goes behind those already on their way.
TEST_F(NntpClientTest, PipelinedArticlesArriveInOrder) {
    Open("200 hello");
    Feed("211 3 1 3 de.test\r\n");
    Sent();
    Client.OnArticle = [this](TIpCustomNntpClient*, TIpNewsArticle& article) {
        Events.push_back("article " + article.MessageID);
        if (article.MessageID == "<1@x>") Client.HeadByNumber(4);
    };
    Client.ArticleByNumber(1);
    Client.ArticleByNumber(2);
    Client.ArticleByNumber(3);
    EXPECT_EQ(Sent(), "ARTICLE 1\r\nARTICLE 2\r\nARTICLE 3\r\n");
    const std::string replies =
        "220 1 <1@x>\r\nMessage-ID: <1@x>\r\n\r\n.. one\r\n.\r\n"
        "423 no such article\r\n"
        "220 3 <3@x>\r\nMessage-ID: <3@x>\r\n\r\n500 not a code\r\n.\r\n"
        "221 4 <4@x>\r\nMessage-ID: <4@x>\r\n.\r\n";
    Events.clear();
    for (size_t at = 0; at < replies.size(); at += 7) Feed(replies.substr(at, 7));
    EXPECT_EQ(Sent(), "HEAD 4\r\n");
    EXPECT_EQ(Events, (std::vector<std::string>{"article <1@x>", "multi 4 |423 no such article",
                                                "article <3@x>", "article <4@x>"}));
    EXPECT_EQ(Client.State(), nsHead);
    // Nothing is outstanding now: a further line is the server talking unasked.
    std::string error;
    Client.OnError = [&](TIpSockControl*, SOCKET, int32_t, const std::string& t) { error = t; };
    Feed("220 5 <5@x>\r\n");
    EXPECT_EQ(error.rfind("[NNTP] unexpected line", 0), 0u) << error;
}

// An article's lines are taken whole however long (a poster's HTML or base64 on one line),
// also in pipelined replies and in a head; a list that follows is held to the socket's line
// limit again, as every reply that is no article's data.
TEST_F(NntpClientTest, ArticleLinesLongerThanTheSocketLimitAreTakenWhole) {
    Open("200 hello");
    Feed("211 2 1 2 de.test\r\n");
    Sent();
    std::string error;
    Client.OnError = [&](TIpSockControl*, SOCKET, int32_t, const std::string& t) { error = t; };
    const std::string longLine(2 * SockLimits::kMaxLineBuf + 5, 'z');
    Client.ArticleByNumber(1);
    Client.HeadByNumber(2);
    Feed("220 1 <1@x>\r\nMessage-ID: <1@x>\r\n\r\n" + longLine + "\r\n." + longLine +
         "\r\nend\r\n.\r\n221 2 <2@x>\r\nMessage-ID: <2@x>\r\nX-Long: " + longLine + "\r\n.\r\n");
    ASSERT_EQ(Articles.size(), 2u);
    EXPECT_NE(Articles[0].find("\n" + longLine + "\n" + longLine + "\nend\n"), std::string::npos);
    EXPECT_NE(Articles[1].find("X-Long: " + longLine), std::string::npos);
    EXPECT_EQ(error, "");

    Client.List();
    Feed("215 list follows\r\nde." + longLine + " 1 1 y\r\n.\r\n");
    EXPECT_EQ(error, "Received line too long, exceeds MaxLineBuf");
}

TEST_F(NntpClientTest, HeadIsDeliveredAsAnArticle) {
    Open("200 hello");
    Feed("211 1 1 1 de.test\r\n");
    Sent();
    Client.HeadByNumber(7);
    EXPECT_EQ(Sent(), "HEAD 7\r\n");
    Feed("221 7 <h7@x> head\r\nMessage-ID: <h7@x>\r\nSubject: only the head\r\n.\r\n");
    ASSERT_EQ(Articles.size(), 1u);
    EXPECT_EQ(Events.back(), "article <h7@x>");
}

TEST_F(NntpClientTest, ListAndNewGroupsDeliverTheWholeReply) {
    Open("200 hello", ntAuthenticate);
    Sent();
    Client.List();
    EXPECT_EQ(Sent(), "LIST\r\n");
    Feed("215 list follows\r\nde.a 2 1 y\r\nde.b 0 1 m\r\n.\r\n");
    EXPECT_EQ(Events.back(), "multi 9 |215 list follows|de.a 2 1 y|de.b 0 1 m");
    EXPECT_EQ(Client.State(), nsNoOp);

    Client.NewGroups("261201", "120000", 0);
    Client.NewGroups("261201", "120000", 1);
    Client.NewGroups("261201", "120000", 2);
    EXPECT_EQ(Sent(),
              "NEWGROUPS 261201 120000\r\nNEWGROUPS 261201 120000 GMT\r\n"
              "NEWGROUPS 261201 120000 UTC\r\n");
    Feed("231 new groups\r\nde.new 1 1 y\r\n.\r\n");
    EXPECT_EQ(Events.back(), "multi 2 |231 new groups|de.new 1 1 y");
}

// Only the reply that brings a listing (215 to LIST, 231 to NEWGROUPS, 230 to NEWNEWS) starts
// it. Any other reply, a success or another listing's code among them, is the failed command
// alone: the caller gets its status line without lines (never an empty listing), no line is
// awaited after it, and the reply to the command sent behind it is read in step.
TEST_F(NntpClientTest, OnlyTheDataReplyOfItsCommandStartsAListing) {
    const struct {
        TIpNntpStates Command;
        const char* Reply;
    } cases[] = {
        {nsList, "200 news ready"},        {nsList, "231 new groups follow"},
        {nsList, "211 1 1 1 de.test"},     {nsList, "100 help text follows"},
        {nsNewGroups, "215 list follows"}, {nsNewGroups, "200 ok"},
        {nsNewGroups, "230 new articles"}, {nsNewNews, "231 new groups follow"},
        {nsNewNews, "215 list follows"},   {nsNewNews, "381 more"},
    };
    Open("200 hello", ntAuthenticate);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Command) + " answered " + c.Reply);
        Events.clear();
        Sent();
        if (c.Command == nsList)
            Client.List();
        else if (c.Command == nsNewGroups)
            Client.NewGroups("261201", "120000", 0);
        else
            Client.NewNews("de.*", "261201", "120000", 0);
        Client.List();
        Feed(std::string(c.Reply) + "\r\n");
        Feed("215 list follows\r\nde.a 2 1 y\r\n.\r\n");
        EXPECT_EQ(Events,
                  (std::vector<std::string>{"multi " + std::to_string(c.Command) + " |" + c.Reply,
                                            "multi 9 |215 list follows|de.a 2 1 y"}));
        EXPECT_TRUE(Client.IsConnected());
    }
    // The listing's own codes still bring their lines.
    Events.clear();
    Client.NewNews("de.*", "261201", "120000", 0);
    Feed("230 new articles\r\n<1@x>\r\n.\r\n");
    EXPECT_EQ(Events, (std::vector<std::string>{"multi 3 |230 new articles|<1@x>"}));
}

TEST_F(NntpClientTest, RefusedListIsTheStatusLineAlone) {
    Open("200 hello", ntAuthenticate);
    Client.List();
    Feed("502 not allowed\r\n");
    EXPECT_EQ(Events.back(), "multi 9 |502 not allowed");
}

TEST_F(NntpClientTest, PostSendsTheArticleDotStuffedAndCompletesOnTheAnswer) {
    const std::string file = ::testing::TempDir() + "nntp-post-" + std::to_string(getpid());
    std::ofstream(file, std::ios::binary)
        << "From: me@example\r\nNewsgroups: de.test\r\nSubject: dots\r\n\r\n"
           ".starts with a dot\r\n.\r\n";
    Client.Article().LoadFromFile(file);
    std::remove(file.c_str());
    Open("200 hello", ntPostTo);
    EXPECT_EQ(Sent(), "GROUP de.test\r\n");
    Feed("211 1 1 1 de.test\r\n");
    EXPECT_EQ(Sent(), "POST\r\n");
    Feed("340 send it\r\n");
    std::string posted = Sent();
    EXPECT_NE(posted.find("\r\n..starts with a dot\r\n..\r\n.\r\n"), std::string::npos) << posted;
    EXPECT_EQ(posted.substr(posted.size() - 3), ".\r\n");
    Feed("240 article posted\r\n");
    EXPECT_EQ(Events.at(Events.size() - 2), "response 13 240 article posted");
    EXPECT_EQ(Events.back(), "complete 4");
}

TEST_F(NntpClientTest, RefusedPostSendsNoArticle) {
    Client.Article().Newsgroups.Add("de.test");
    Open("200 hello", ntPostTo);
    Feed("211 1 1 1 de.test\r\n");
    Sent();
    Feed("440 posting not allowed\r\n");
    EXPECT_EQ(Sent(), "");
    EXPECT_EQ(Events.back(), "response 12 440 posting not allowed");
    EXPECT_EQ(Client.State(), nsNoOp);
}

TEST_F(NntpClientTest, PostRejectedAfterTheBodyIsReportedWithItsCode) {
    Client.Article().Newsgroups.Add("de.test");
    Open("200 hello", ntPostTo);
    Feed("211 1 1 1 de.test\r\n340 go ahead\r\n");
    Sent();
    Feed("441 posting failed\r\n");
    EXPECT_EQ(Events.at(Events.size() - 2), "response 13 441 posting failed");
    EXPECT_EQ(Events.back(), "complete 4");
}

TEST_F(NntpClientTest, DroppedConnectionCompletesTheRunningTask) {
    Open("200 hello");
    Feed("211 5 1 5 de.test\r\n");
    Client.ArticleByNumber(1);
    Feed("220 1 <a1@x>\r\nMessage-ID: <a1@x>\r\n\r\nhalf of it\r\n");
    Events.clear();
    Fake->PeerClose();
    EXPECT_TRUE(Articles.empty());
    ASSERT_EQ(Events.size(), 1u);
    EXPECT_EQ(Events[0], "complete 2");
    EXPECT_EQ(Client.Task(), ntNoTask);
    EXPECT_EQ(Client.State(), nsNoOp);
    EXPECT_FALSE(Client.IsConnected());
}

// A close in the middle of an article or listing: only a final dot the server sent whole ends
// it. A data line cut right after its stuffed dot must not pass for the end (the head would be
// stored as the whole article).
TEST_F(NntpClientTest, OnlyAWholeFinalDotEndsAReplyAtTheClose) {
    struct TCase {
        const char* Command;
        const char* Tail;
        bool Delivered;
    };
    const TCase Cases[] = {
        {"article", "\r\n.", false},     // the first byte of ".dotted"
        {"article", "\r\n.dot", false},  // a piece of a data line
        {"article", "\r\n", false},      // no final dot at all
        {"article", "\r\n.\r\n", true},  // the final dot, then the close
        {"list", "\r\n.", false},       {"list", "\r\n.\r\n", true},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(std::string(C.Command) + " " + C.Tail);
        Events.clear();
        Articles.clear();
        Open("200 hello");
        Feed("211 1 1 1 de.test\r\n");
        Sent();
        const bool Article = std::string(C.Command) == "article";
        if (Article) {
            Client.ArticleByNumber(1);
            Feed(std::string("220 1 <a1@x>\r\nMessage-ID: <a1@x>\r\n\r\nfirst line") + C.Tail);
        } else {
            Client.List();
            Feed(std::string("215 list follows\r\nde.test 1 1 y") + C.Tail);
        }
        Fake->PeerClose();
        const bool Delivered =
            Article ? !Articles.empty()
                    : std::any_of(Events.begin(), Events.end(),
                                  [](const std::string& E) { return E.rfind("multi ", 0) == 0; });
        EXPECT_EQ(Delivered, C.Delivered);
        EXPECT_FALSE(Client.IsConnected());
    }
}

TEST_F(NntpClientTest, StateChangesArriveLaterAndOnlyOnChange) {
    Client.SelectGroup("news.example", "de.test");
    EXPECT_TRUE(StateChanges.empty());  // posted, not sent
    Pump();
    ASSERT_EQ(StateChanges.size(), 1u);
    EXPECT_EQ(StateChanges[0], nsConnect);
    Fake->AcceptConnect();
    Feed("200 hello\r\n");
    Pump();
    ASSERT_EQ(StateChanges.size(), 2u);
    EXPECT_EQ(StateChanges[1], nsGroup);
    Feed("211 1 1 1 de.test\r\n");
    Client.Group("de.other");  // same state: nothing posted
    Pump();
    EXPECT_EQ(StateChanges.size(), 2u);
}

TEST_F(NntpClientTest, CommandsNeedAConnectionButQuitDoesNot) {
    EXPECT_EQ(ErrorOf<EIpNntpException>([&] { Client.List(); }), "Not connected");
    EXPECT_THROW(Client.ArticleByNumber(1), EIpNntpException);
    EXPECT_NO_THROW(Client.Quit());
    EXPECT_EQ(Client.State(), nsNoOp);
}

TEST_F(NntpClientTest, DebugLogNamesTasksStatesAndEvents) {
    const std::string file = ::testing::TempDir() + "nntp-debug-" + std::to_string(getpid());
    Client.DebugLog().SetFileName(file);
    Client.DebugLog().SetEnabled(true);
    Open("200 hello");
    Feed("211 1 1 1 de.test\r\n");
    Client.ArticleByNumber(1);
    Feed("220 1 <a@b>\r\nMessage-ID: <a@b>\r\n\r\nx\r\n.\r\n");
    Client.DebugLog().WriteDebugLog();
    std::ifstream in(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(file.c_str());
    for (const char* entry :
         {"[NNTP] Starting task: Selecting Group (ntSelectGroup)\r\n",
          "[NNTP] State change: Connecting (nsConnect)\r\n",
          "[NNTP] Generating OnResponse event, Code = 200\r\n",
          "[NNTP] State change: Selecting group (nsGroup)\r\n",
          "[NNTP] Generating OnTaskComplete event Selecting Group (ntSelectGroup)\r\n",
          "[NNTP] Generating OnArticle event\r\n"})
        EXPECT_NE(text.find(entry), std::string::npos) << entry;
}

TEST(NntpFormat, DateAndTimeAreSixDigitsOfTheLocalTime) {
    std::tm tm{};
    tm.tm_year = 2007 - 1900;
    tm.tm_mon = 2;
    tm.tm_mday = 4;
    tm.tm_hour = 5;
    tm.tm_min = 6;
    tm.tm_sec = 7;
    tm.tm_isdst = -1;
    int64_t t = std::mktime(&tm);
    EXPECT_EQ(FormatNntpDate(t), "070304");
    EXPECT_EQ(FormatNntpTime(t), "050607");
}

TEST(NntpTexts, StateAndTaskTextsCarryTheirNames) {
    EXPECT_EQ(TIpCustomNntpClient::StateText(nsNoOp), "No operation (nsNoOp)");
    EXPECT_EQ(TIpCustomNntpClient::StateText(nsDate), "Retrieving server date (nsDate)");
    EXPECT_EQ(TIpCustomNntpClient::TaskText(ntPostTo), "Posting article (ntPostTo)");
}

}  // namespace

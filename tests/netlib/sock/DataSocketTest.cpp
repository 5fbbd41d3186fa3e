// Line cutting, the send queue and the logs, driven through the fake socket.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "netlib/sock/IpFakeSocket.h"
#include "netlib/sock/IpSock.h"
#include "platform/fs/Files.h"
#include "tests/support/TestSupport.h"

namespace {

class TFakeClient : public TIpCustomClient {
  public:
    TFakeClient() {
        DefaultPort = 119;
        SetSocketFactory([this](TIpCustomClient& c) {
            Fake = new TIpFakeSocket(c);
            return Fake;
        });
        OnError = [this](TIpSockControl*, SOCKET, int32_t code, const std::string&) {
            Errors.push_back(code);
        };
        OnStatus = [this](TIpSockControl*, SOCKET, TIpStatusType e, const TIpConnRec&,
                          const TIpSockStatRec&) {
            if (e == stDisconnect) ++Closes;
        };
    }
    void DoReadLine(SOCKET, const std::string& line) override {
        Lines.push_back(line);
        if (OnLine) OnLine(line);
    }
    TIpFakeSocket* Open() {
        Connect("news.example.org");
        Fake->AcceptConnect();
        return Fake;
    }
    TIpFakeSocket* Fake = nullptr;
    std::vector<std::string> Lines;
    std::vector<int32_t> Errors;
    int Closes = 0;
    std::function<void(const std::string&)> OnLine;
};

using Lines = std::vector<std::string>;

TEST(LineCutting, SplitReadsAndCrLfAcrossReads) {
    TFakeClient C;
    TIpFakeSocket* F = C.Open();
    F->Feed("20");
    F->Feed("0 hello\r");
    EXPECT_TRUE(C.Lines.empty());
    F->Feed("\nnext\nline\r\n");
    // A bare LF does not end a line under CR LF.
    EXPECT_EQ(C.Lines, (Lines{"200 hello\r\n", "next\nline\r\n"}));
}

TEST(LineCutting, TerminatorKindsAndStripping) {
    TFakeClient C;
    C.SockInits().LineTerminator = ltLF;
    C.SockInits().StripLineTerminator = true;
    TIpFakeSocket* F = C.Open();
    F->Feed("a\nb\r\nc");
    EXPECT_EQ(C.Lines, (Lines{"a", "b\r"}));
    F->LineTerminator = ltOther;
    F->LineTermChar = ';';
    F->Feed("d;e;");
    EXPECT_EQ(C.Lines, (Lines{"a", "b\r", "cd", "e"}));
    F->LineTerminator = ltCRLF;
    F->Feed("x\r\n");
    EXPECT_EQ(C.Lines.back(), "x");
}

TEST(LineCutting, LongLineAcrossFullBuffersIsDeliveredWhole) {
    TFakeClient C;
    TIpFakeSocket* F = C.Open();
    const std::string Long(9000, 'L');
    // More than the buffer in one go, with complete lines before and after the long one: a full
    // buffer must not merge lines that were already cut.
    std::string Data;
    for (int I = 0; I < 200; ++I) Data += "short " + std::to_string(I) + "\r\n";
    Data += Long + "\r\n";
    for (int I = 0; I < 200; ++I) Data += "tail " + std::to_string(I) + "\r\n";
    F->Feed(Data);
    ASSERT_EQ(C.Lines.size(), 401u);
    EXPECT_EQ(C.Lines[199], "short 199\r\n");
    EXPECT_EQ(C.Lines[200], Long + "\r\n");
    EXPECT_EQ(C.Lines[400], "tail 199\r\n");
    EXPECT_TRUE(C.Errors.empty());
}

TEST(LineCutting, FixedRecordsAndAnyMode) {
    TFakeClient C;
    C.SockInits().LineTerminator = ltNone;
    C.SockInits().FixedLineLength = 80;
    TIpFakeSocket* F = C.Open();
    F->Feed(std::string(50, 'a'));
    F->Feed(std::string(60, 'b') + std::string(50, 'c'));
    ASSERT_EQ(C.Lines.size(), 2u);
    EXPECT_EQ(C.Lines[0], std::string(50, 'a') + std::string(30, 'b'));
    EXPECT_EQ(C.Lines[1], std::string(30, 'b') + std::string(50, 'c'));
    F->Feed(std::string(10000, 'd'));
    for (const auto& L : C.Lines) EXPECT_EQ(L.size(), 80u);
    F->ReceiveMode = rmAny;
    C.Lines.clear();
    F->Feed("whatever");
    ASSERT_FALSE(C.Lines.empty());
    EXPECT_EQ(C.Lines.back().substr(C.Lines.back().size() - 8), "whatever");
}

TEST(LineCutting, HeldLineIsFlushedAtCloseOnce) {
    TFakeClient C;
    TIpFakeSocket* F = C.Open();
    F->Feed("done\r\n" + std::string(9000, 'z'));
    F->PeerClose();
    EXPECT_EQ(C.Lines, (Lines{"done\r\n", std::string(9000, 'z')}));
    EXPECT_EQ(C.Closes, 1);
    EXPECT_FALSE(C.IsActive());
}

TEST(LineCutting, CloseNoticeDuringALineWaitsForTheReadLoop) {
    TFakeClient C;
    TIpFakeSocket* F = C.Open();
    C.OnLine = [&](const std::string& line) {
        if (line == "1\r\n") F->PeerClose();  // the peer's close arrives inside the handler
    };
    F->Feed("1\r\n2\r\n3");
    EXPECT_EQ(C.Lines, (Lines{"1\r\n", "2\r\n", "3"}));
    EXPECT_EQ(C.Closes, 1);
    EXPECT_FALSE(C.IsActive());
    Application.ProcessMessages();  // the deferred free happens here
}

// The idle time-out judges the peer: a tick that comes late because this side was busy (a long
// handler, a stalled machine) finds the peer's bytes waiting unread, and the peer was not idle.
TEST(IdleTime, FiresOnlyWhenNothingWaitsUnread) {
    TFakeClient C;
    TIpFakeSocket* F = C.Open();
    int Fired = 0;
    C.OnIdleTimeout = [&](TIpSockControl*, SOCKET, bool&) { ++Fired; };
    C.SetSocketIdleTimeout(3000);
    F->Arrive("200 sent while the client was busy\r\n");
    C.TimerElapsed(10000);
    EXPECT_EQ(Fired, 0);
    // The clock began anew: an idle time must pass again after the bytes were read.
    F->Feed("");
    EXPECT_EQ(C.Lines, Lines{"200 sent while the client was busy\r\n"});
    C.TimerElapsed(2900);
    EXPECT_EQ(Fired, 0);
    C.TimerElapsed(200);
    EXPECT_EQ(Fired, 1);
}

// A tick may carry more than the idle time-out (a long read held the loop, or the machine stopped
// the program while the peer went on sending): it fires only when the peer sent nothing meanwhile.
TEST(IdleTime, LongTickFiresOnlyWhenThePeerSentNothing) {
    struct TCase {
        const char* Name;
        std::function<void(TIpFakeSocket&)> Meanwhile;
        int Fired;
    };
    const TCase Cases[] = {
        {"the peer sent nothing", [](TIpFakeSocket&) {}, 1},
        // The read took all there was: nothing waits when the tick looks.
        {"read, and caught up with the peer", [](TIpFakeSocket& F) { F.Feed("+OK 5\r\n"); }, 0},
        // The tick reports the sent command's progress first; that report runs a pass of the
        // message loop, and the pass reads what waited.
        {"waiting, read by the tick's own pass",
         [](TIpFakeSocket& F) { F.ArriveByNotice("+OK 5\r\n"); }, 0},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TFakeClient C;
        TIpFakeSocket* F = C.Open();
        int Fired = 0;
        C.OnIdleTimeout = [&](TIpSockControl*, SOCKET, bool& Reset) {
            ++Fired;
            Reset = true;
        };
        C.SetSocketIdleTimeout(3000);
        F->Feed("+OK ready\r\n");
        C.TimerElapsed(50);
        C.PutString(C.SocketHandle(), "STAT\r\n", false);
        Case.Meanwhile(*F);
        C.TimerElapsed(6000);
        EXPECT_EQ(Fired, Case.Fired);
        // Whatever the long tick decided, a peer quiet for an idle time after it is idle.
        C.TimerElapsed(50);
        C.TimerElapsed(3100);
        EXPECT_EQ(Fired, Case.Fired + 1);
        Application.ProcessMessages();
    }
}

TEST(SendQueue, SentAtOnceOrQueuedWithItemEvents) {
    TFakeClient C;
    TIpFakeSocket* F = C.Open();
    EXPECT_EQ(C.PutString(C.SocketHandle(), "GROUP a\r\n", false), 0u);
    EXPECT_EQ(F->TakeWritten(), "GROUP a\r\n");
    F->SetBlocked(true);
    const uint32_t Id1 = C.PutString(C.SocketHandle(), "one\r\n", false);
    const uint32_t Id2 = C.PutString(C.SocketHandle(), "two\r\n", false);
    EXPECT_NE(Id1, 0u);
    EXPECT_EQ(Id2, Id1 + 1);
    std::vector<std::pair<uint32_t, uint32_t>> Sent;
    C.OnItemSent = [&](TIpSockControl*, SOCKET, uint32_t id, uint32_t left) {
        Sent.emplace_back(id, left);
        // The sent item is already out of the queue; queueing from here is safe.
        EXPECT_EQ(F->QueueCount(), left);
        if (id == Id1) C.PutString(C.SocketHandle(), "three\r\n", false);
    };
    F->SetBlocked(false);
    EXPECT_EQ(F->TakeWritten(), "one\r\ntwo\r\nthree\r\n");
    ASSERT_EQ(Sent.size(), 3u);
    EXPECT_EQ(Sent[0], std::make_pair(Id1, 1u));
    TIpSockStatRec R;
    C.GetStatRec(C.SocketHandle(), R);
    EXPECT_EQ(R.BytesSent, 9u + 5u + 5u + 7u);
}

TEST(SendQueue, CloseAfterSendFreesTheSocket) {
    TFakeClient C;
    TIpFakeSocket* F = C.Open();
    F->SetBlocked(true);
    C.PutString(C.SocketHandle(), "QUIT\r\n", true);
    F->SetBlocked(false);
    EXPECT_EQ(C.Closes, 1);
    Application.ProcessMessages();
    EXPECT_FALSE(C.IsActive());
}

// A layer that negotiates before the connection may be reported, as a proxy does.
class TNegotiatingFilter : public TIpSocketFilter {
  public:
    bool StartNegotiation(TIpDataSocket& socket) override {
        socket.SendRaw("PROXY?", 6, true);
        return true;
    }
    uint32_t Received(TIpDataSocket&, char*, uint32_t count) override { return count; }
    void Encode(TIpDataSocket&, const char* data, uint32_t size, std::string& out) override {
        out.append(data, size);
    }
};

// Caller data queued before the connect or during the negotiation must not reach the peer in
// the middle of it: it waits, then leaves in order before the connection is reported.
TEST(SendQueue, CallerDataWaitsForTheNegotiation) {
    TFakeClient C;
    C.Connect("news.example.org");
    TIpFakeSocket* F = C.Fake;
    F->SetFilter(std::make_unique<TNegotiatingFilter>());
    const uint32_t Early = C.PutString(C.SocketHandle(), "early\r\n", false);
    F->AcceptConnect();
    EXPECT_EQ(F->TakeWritten(), "PROXY?");
    const uint32_t During = C.PutString(C.SocketHandle(), "during\r\n", false);
    EXPECT_NE(Early, 0u);
    EXPECT_GT(During, Early);
    EXPECT_EQ(F->QueueCount(), 2u);
    EXPECT_TRUE(F->Written().empty());
    std::vector<uint32_t> Sent;
    C.OnItemSent = [&](TIpSockControl*, SOCKET, uint32_t id, uint32_t) { Sent.push_back(id); };
    std::string AtConnect = "(no connect)";
    C.OnStatus = [&](TIpSockControl*, SOCKET, TIpStatusType e, const TIpConnRec&,
                     const TIpSockStatRec&) {
        if (e == stConnect) AtConnect = F->Written();
    };
    F->NegotiationDone();
    EXPECT_EQ(AtConnect, "early\r\nduring\r\n");
    EXPECT_EQ(Sent, (std::vector<uint32_t>{Early, During}));
    EXPECT_EQ(F->QueueCount(), 0u);
    F->TakeWritten();
    EXPECT_EQ(C.PutString(C.SocketHandle(), "after\r\n", false), 0u);
    EXPECT_EQ(F->TakeWritten(), "after\r\n");
}

// An SSL failure while a socket notice is handled is the transfer's error event (code 0, the
// error's text), like a socket error; it does not reach the program's exception handler.
TEST(SockControl, SslErrorInASocketEventBecomesAnErrorEvent) {
    TFakeClient C;
    std::vector<std::string> Texts;
    C.OnError = [&](TIpSockControl*, SOCKET, int32_t code, const std::string& text) {
        C.Errors.push_back(code);
        Texts.push_back(text);
    };
    C.OnLine = [](const std::string&) { throw EIpSSLError("SSLRecv : Read error."); };
    TIpFakeSocket* F = C.Open();
    EXPECT_NO_THROW(F->FeedByNotice("+OK\r\n"));
    EXPECT_EQ(C.Errors, (std::vector<int32_t>{0}));
    EXPECT_EQ(Texts, (std::vector<std::string>{"SSLRecv : Read error."}));
}

// Any other exception goes to the component's exception event when it has one (its owner ends
// its work there), else on to the caller and the program's handler.
TEST(SockControl, ExceptionInASocketEventGoesToTheExceptionEvent) {
    TFakeClient C;
    C.OnLine = [](const std::string& line) {
        if (line.rfind("boom", 0) == 0)
            throw EIpBaseException(std::string("Not connected\0report", 20));
    };
    TIpFakeSocket* F = C.Open();
    EXPECT_THROW(F->FeedByNotice("boom\r\n"), EIpBaseException);
    std::vector<std::string> Texts;
    C.OnException = [&](TIpSockControl* sender, const std::string& text) {
        EXPECT_EQ(sender, &C);
        Texts.push_back(text);
    };
    EXPECT_NO_THROW(F->FeedByNotice("boom\r\nnext\r\n"));
    EXPECT_NO_THROW(F->PeerCloseByNotice());
    EXPECT_EQ(Texts, (std::vector<std::string>{"Not connected"}));
    EXPECT_TRUE(C.Errors.empty());
}

// A client that gives up on a connection from inside a line handler: a close still hands out
// what arrived with the line, a drop hands out nothing more.
TEST(SockControl, DropHandsOutNothingMoreButCloseDoes) {
    for (bool drop : {false, true}) {
        SCOPED_TRACE(drop ? "drop" : "close");
        TFakeClient C;
        C.OnLine = [&](const std::string& line) {
            if (line.rfind("first", 0) == 0) drop ? C.DropConnection() : C.Disconnect();
        };
        TIpFakeSocket* F = C.Open();
        F->Feed("first\r\nsecond\r\nthird");
        EXPECT_EQ(C.Lines.size(), drop ? 1u : 3u);
        EXPECT_EQ(C.Closes, 1);
        EXPECT_FALSE(C.IsConnected());
        Application.ProcessMessages();
    }
}

// The user closes while the peer's last line waits unread, and the peer's own close notice comes
// while that line is handed out (its handler runs a pass of the message loop): the close that is
// under way still reports the disconnect, once, and nothing asks for a socket that is gone.
TEST(SockControl, PeerCloseDuringTheUsersCloseLeavesTheCloseToFinish) {
    for (bool byNotice : {false, true}) {
        SCOPED_TRACE(byNotice ? "close notice through the window" : "close notice direct");
        TFakeClient C;
        TIpFakeSocket* F = C.Open();
        C.OnLine = [&](const std::string&) { byNotice ? F->PeerCloseByNotice() : F->PeerClose(); };
        F->Arrive("bye\r\n");
        EXPECT_NO_THROW(C.Disconnect());
        EXPECT_EQ(C.Lines, (Lines{"bye\r\n"}));
        EXPECT_EQ(C.Closes, 1);
        EXPECT_FALSE(C.IsActive());
        Application.ProcessMessages();
        EXPECT_EQ(C.Closes, 1);
    }
}

// A handler of the last data that throws still lets the close report the disconnect: the owner
// never takes a closed connection for an open one.
TEST(SockControl, HandlerThrowingDuringTheCloseStillReportsTheDisconnect) {
    TFakeClient C;
    TIpFakeSocket* F = C.Open();
    C.OnLine = [](const std::string&) { throw EIpNoSocketError(); };
    F->Arrive("bye\r\n");
    EXPECT_THROW(C.Disconnect(), EIpNoSocketError);
    EXPECT_EQ(C.Closes, 1);
    EXPECT_FALSE(C.IsConnected());
    Application.ProcessMessages();
}

TEST(SockControl, OperationsWithoutSocketRaise) {
    TFakeClient C;
    EXPECT_THROW(C.PutString(5, "x", false), EIpNoSocketError);
    EXPECT_THROW(C.SetSocketIdleTimeout(1), EIpNoSocketError);
    EXPECT_THROW(C.GetRemoteAddress(), EIpNoSocketError);
    C.Open();
    EXPECT_THROW(C.SetSockProtocol(spUdp), EIpActiveError);
    EXPECT_EQ(C.GetRemoteAddress(), "news.example.org");
}

// ---- logs ----------------------------------------------------------------------------------

std::string Mask(std::string text) {
    text =
        std::regex_replace(text, std::regex(R"(\d{4}\.\d{2}\.\d{2} \d{2}:\d{2}:\d{2})"), "<date>");
    text = std::regex_replace(text, std::regex(R"(\d{4,}\.\d{3} : )"), "<tick> : ");
    text = std::regex_replace(text, std::regex(R"(Operating System : [^\r]*)"),
                              "Operating System : <os>");
    text = std::regex_replace(text, std::regex(R"(\[\d+\] (Recv|Send) API)"), "[<s>] $1 API");
    text = std::regex_replace(text, std::regex(R"(socket \d+)"), "socket <s>");
    return text;
}

std::string Golden(const std::string& name) {
    return ReadFile(std::string(KESTRO_SOURCE_DIR) + "/tests/netlib/sock/golden/" + name);
}

class LogFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        Dir = std::string(KESTRO_BINARY_DIR) + "/sock_logs_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ForceDirectories(Dir);
        std::remove((Dir + "/event.log").c_str());
        std::remove((Dir + "/debug.log").c_str());
    }
    std::string Dir;
};

TEST_F(LogFiles, ScriptedSessionMatchesGoldenText) {
    {
        TFakeClient C;
        C.EventLog().SetFileName(Dir + "/event.log");
        C.EventLog().SetEnabled(true);
        C.DebugLog().SetFileName(Dir + "/debug.log");
        C.DebugLog().SetEnabled(true);
        C.SockInits().LogOptions = loHighData | loLowData;
        C.Connect("127.0.0.1:119");
        C.Fake->AcceptConnect();
        C.PutString(C.SocketHandle(), "GROUP de.test\r\n", false);
        C.Fake->Feed("211 2 1 2 de.test\r\n");
        C.Fake->Feed(std::string("\x01\xff"
                                 "binary data, twenty!",
                                 20) +
                     "\r\nX");
        C.Fake->PeerClose();
        C.DebugLog().SetEnabled(false);
    }  // the component writes its debug log when it goes
    const std::string Event = Mask(ReadFile(Dir + "/event.log"));
    const std::string Debug = Mask(ReadFile(Dir + "/debug.log"));
    if (std::getenv("KESTRO_WRITE_GOLDEN")) {
        std::ofstream(std::string(KESTRO_SOURCE_DIR) + "/tests/netlib/sock/golden/event.log.txt",
                      std::ios::binary)
            << Event;
        std::ofstream(std::string(KESTRO_SOURCE_DIR) + "/tests/netlib/sock/golden/debug.log.txt",
                      std::ios::binary)
            << Debug;
    }
    EXPECT_EQ(Event, Golden("event.log.txt"));
    EXPECT_EQ(Debug, Golden("debug.log.txt"));
}

TEST_F(LogFiles, AppendWritesNoSecondHeaderAndDisabledEventLogWritesNothing) {
    TIpDebugLog Log(nullptr);
    Log.SetFileName(Dir + "/debug.log");
    Log.SetWriteMode(wmAppend);
    Log.SetEnabled(true);
    Log.WriteDebugLog();
    Log.AddDebugEntry(nullptr, 1, deText, "x", 1);
    Log.WriteDebugLog();
    const std::string Text = ReadFile(Dir + "/debug.log");
    EXPECT_EQ(Text.find("Kestro Internet Library"), Text.rfind("Kestro Internet Library"));
    Log.SetWriteMode(wmOverwrite);
    Log.AddDebugEntry(nullptr, 1, deText, "y", 1);
    Log.WriteDebugLog();
    const std::string Fresh = ReadFile(Dir + "/debug.log");
    EXPECT_EQ(Fresh.find("x\r\n"), std::string::npos);
    EXPECT_NE(Fresh.find("Kestro Internet Library v1.11 compiled with Unknown Compiler\r\n"),
              std::string::npos);

    TIpEventLog Ev(nullptr);
    Ev.SetFileName(Dir + "/event.log");
    Ev.WriteEventString("nothing");
    EXPECT_FALSE(FileExists(Dir + "/event.log"));
}

// A server's text in a log line (an error reply, a refused command) may hold anything: the line
// stays one line of UTF-8.
TEST(EventLog, ServerTextStaysOneLineOfUtf8) {
    const std::string Dir = ::testing::TempDir() + "eventlog-" + std::to_string(getpid());
    std::filesystem::create_directories(Dir);
    TIpEventLog Ev(nullptr);
    Ev.SetFileName(Dir + "/event.log");
    Ev.SetEnabled(true);
    Ev.SetDateTimeFormat("hh");
    Ev.WriteEventString(std::string("NNTP Error 502 auf h\xC3\xB6st: no\0\r\nX-Evil: \xFF", 40));
    const std::string Text = ReadFile(Dir + "/event.log");
    EXPECT_EQ(Text.substr(2),
              " NNTP Error 502 auf h\xC3\xB6st: no\\x00\\x0D\\x0AX-Evil: \\xFF\r\n");
    std::filesystem::remove_all(Dir);
}

TEST(DebugLog, RingDropsOldestEntriesAndFormatsEdgeCases) {
    TIpDebugLog Log(nullptr);
    Log.SetBufferSize(200);
    Log.SetEnabled(true);
    const std::string Data(100, 'a');
    Log.AddDebugEntry(nullptr, 1, deText, Data.data(), 100);
    Log.AddDebugEntry(nullptr, 1, deText, Data.data(), 100);  // pushes out the older ones
    EXPECT_EQ(Log.BufferFree(), 200u - 124u - 1u);
    Log.AddDebugEntry(nullptr, 1, deText, std::string(300, 'b').data(), 300);  // never fits
    EXPECT_EQ(Log.BufferFree(), 200u - 124u - 1u);

    EXPECT_EQ(IpFormatSocketEntry(7, deHighRead, "A", 1),
              "Read - 1 byte read from socket 7\r\n"
              "  000000: 41                                               : A               \r\n");
    const std::string Twenty = IpFormatSocketEntry(7, deLowSend, "0123456789abcdefWXYZ", 20);
    EXPECT_EQ(Twenty,
              "[7] Send API: 20 bytes written\r\n"
              "  000000: 30 31 32 33 34 35 36 37  38 39 61 62 63 64 65 66 : 0123456789abcdef\r\n"
              "  000010: 57 58 59 5A                                      : WXYZ            \r\n");
    EXPECT_EQ(IpFormatTelnetEntry(3, 1, (252u << 8) | 24),
              "[3] Telnet WON'T terminal type received.");
    EXPECT_EQ(IpFormatTelnetEntry(3, 9, (200u << 8) | 77), "[3] Telnet [200] [77] [00000009]");
    EXPECT_EQ(EIpWinSockError(11016, "Recv").Message(),
              "WinSock Error (11016): Unknown error (11016), on API 'Recv'");
    EXPECT_EQ(IpFormatDateTime("yyyy.mm.dd hh:nn:ss", 0).size(), 19u);
}

}  // namespace

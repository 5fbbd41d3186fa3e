// The client socket component against a server on 127.0.0.1.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "netlib/sock/IpDataSocket.h"
#include "netlib/sock/IpSock.h"
#include "netlib/sock/Limits.h"
#include "tests/netlib/sock/TestServer.h"

namespace {

// A client as the protocol clients are: lines are handled at once, inside the read loop.
class TLineClient : public TIpCustomClient {
  public:
    TLineClient() {
        DefaultPort = 119;
        OnStatus = [this](TIpSockControl*, SOCKET, TIpStatusType e, const TIpConnRec&,
                          const TIpSockStatRec&) {
            Events.push_back(e == stConnect ? "connect" : e == stDisconnect ? "close" : "");
            if (e == stConnect) ++Connects;
            if (e == stDisconnect) ++Closes;
        };
        StatusEvents = StatusBit(stConnect) | StatusBit(stDisconnect);
        OnError = [this](TIpSockControl*, SOCKET, int32_t code, const std::string& text) {
            Errors.push_back(code);
            ErrorTexts.push_back(text);
            Events.push_back("error " + std::to_string(code));
        };
    }
    void DoReadLine(SOCKET, const std::string& line) override {
        Lines.push_back(line);
        Events.push_back("line");
        if (OnLine) OnLine(line);
    }
    // Connects and drives the loop until the connection has closed.
    bool RunUntilClosed(const std::string& address) {
        Connect(address);
        return PumpUntil([&] { return Closes > 0; });
    }
    std::string Joined() const {
        std::string all;
        for (const auto& line : Lines) all += line;
        return all;
    }
    std::function<void(const std::string&)> OnLine;
    std::vector<std::string> Lines;
    std::vector<std::string> Events;
    std::vector<int32_t> Errors;
    std::vector<std::string> ErrorTexts;
    int Connects = 0;
    int Closes = 0;
};

std::string NumberedLines(int count, int from = 0) {
    std::string Out;
    for (int I = from; I < from + count; ++I)
        Out += "line " + std::to_string(I) + std::string(static_cast<size_t>(I % 97), 'x') + "\r\n";
    return Out;
}

TEST(Client, ManyLinesInOneReadArriveOnceInOrderAndCloseComesOnce) {
    const std::string Data = NumberedLines(20000);
    TTestServer Server([&](int fd) { TTestServer::SendAll(fd, Data); });
    TLineClient C;
    ASSERT_TRUE(C.RunUntilClosed(Server.Address()));
    EXPECT_EQ(C.Joined(), Data);
    EXPECT_EQ(C.Lines.size(), 20000u);
    EXPECT_EQ(C.Connects, 1);
    EXPECT_EQ(C.Events.front(), "connect");
    EXPECT_EQ(C.Events.back(), "close");
    EXPECT_FALSE(C.IsActive());
    // Nothing more arrives for the old socket.
    for (int I = 0; I < 5; ++I) Application.ProcessMessages();
    EXPECT_EQ(C.Closes, 1);
}

TEST(Client, PartialLineAtPeerCloseComesBeforeTheCloseNotice) {
    TTestServer Server([](int fd) { TTestServer::SendAll(fd, "first\r\nunterminated"); });
    TLineClient C;
    ASSERT_TRUE(C.RunUntilClosed(Server.Address()));
    ASSERT_EQ(C.Lines.size(), 2u);
    EXPECT_EQ(C.Lines[1], "unterminated");
    EXPECT_EQ(C.Events, (std::vector<std::string>{"connect", "line", "line", "close"}));
}

// A line many times the limit is one error: its rest is dropped up to its terminator, never
// handed out as a line of its own, and the next line arrives intact.
TEST(Client, LineAtTheLimitPassesAndLongerOneGivesError8001Once) {
    const std::string AtLimit(SockLimits::kMaxLineBuf, 'a');
    const std::string TooLong(4 * SockLimits::kMaxLineBuf + 3 * SockLimits::kReceiveBufferSize,
                              'b');
    TTestServer Server(
        [&](int fd) { TTestServer::SendAll(fd, AtLimit + "\r\n" + TooLong + "\r\nafter\r\n"); });
    TLineClient C;
    ASSERT_TRUE(C.RunUntilClosed(Server.Address()));
    ASSERT_EQ(C.Errors, std::vector<int32_t>{8001});
    EXPECT_EQ(C.ErrorTexts[0], "Received line too long, exceeds MaxLineBuf");
    ASSERT_EQ(C.Lines.size(), 2u);
    EXPECT_EQ(C.Lines[0], AtLimit + "\r\n");
    EXPECT_EQ(C.Lines[1], "after\r\n");
}

TEST(Client, ConnectionEndingInsideALineTooLongHandsOutNoneOfIt) {
    const std::string TooLong(2 * SockLimits::kMaxLineBuf, 'b');
    TTestServer Server([&](int fd) { TTestServer::SendAll(fd, "first\r\n" + TooLong); });
    TLineClient C;
    ASSERT_TRUE(C.RunUntilClosed(Server.Address()));
    EXPECT_EQ(C.Errors, std::vector<int32_t>{8001});
    EXPECT_EQ(C.Lines, std::vector<std::string>{"first\r\n"});
}

TEST(Client, RefusedConnectGivesErrorAndKeepsTheSocket) {
    uint16_t Port = 0;
    ::close(LoopbackSocket(SOCK_STREAM, Port));  // nobody listens on this port now
    TLineClient C;
    C.Connect("127.0.0.1:" + std::to_string(Port));
    ASSERT_TRUE(PumpUntil([&] { return !C.Errors.empty(); }));
    EXPECT_EQ(C.Errors[0], 10061);
    EXPECT_EQ(C.ErrorTexts[0], "WinSock Error (10061): Connection refused, on API 'Fd_Connect'");
    EXPECT_EQ(C.Connects, 0);
    EXPECT_TRUE(C.IsActive());
    C.Disconnect();
    EXPECT_FALSE(C.IsActive());
}

TEST(Client, ResetByPeerGivesErrorOnCloseAndOneCloseNotice) {
    TTestServer Server([](int fd) {
        TTestServer::SendAll(fd, "hello\r\n");
        TTestServer::ReadUntil(fd, "go\r\n");
        linger Lg{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &Lg, sizeof(Lg));
    });
    TLineClient C;
    C.OnLine = [&](const std::string&) { C.PutString(C.SocketHandle(), "go\r\n", false); };
    ASSERT_TRUE(C.RunUntilClosed(Server.Address()));
    ASSERT_FALSE(C.Errors.empty());
    EXPECT_EQ(C.Errors[0], 10054);
    EXPECT_EQ(C.ErrorTexts[0],
              "WinSock Error (10054): Connection reset by peer, on API 'Fd_Close'");
    EXPECT_EQ(C.Closes, 1);
    EXPECT_FALSE(C.IsActive());
}

TEST(Client, IdleTimeoutFiresOnTicksUntilReset) {
    TTestServer Server([](int fd) { TTestServer::ReadUntil(fd); });
    TLineClient C;
    C.SetTimerInterval(20);
    int Fired = 0;
    C.OnIdleTimeout = [&](TIpSockControl*, SOCKET, bool& reset) {
        ++Fired;
        reset = Fired >= 3;
    };
    C.Connect(Server.Address());
    C.SetSocketIdleTimeout(60);
    ASSERT_TRUE(PumpUntil([&] { return Fired >= 3; }));
    C.Disconnect();
}

TEST(Client, ExceptionInIdleHandlerStopsTheTimer) {
    TTestServer Server([](int fd) { TTestServer::ReadUntil(fd); });
    TLineClient C;
    C.SetTimerInterval(20);
    std::string Handled;
    Application.OnException = [&](const Exception& E) { Handled = E.Message(); };
    C.OnIdleTimeout = [&](TIpSockControl*, SOCKET, bool&) { throw Exception("boom"); };
    C.Connect(Server.Address());
    C.SetSocketIdleTimeout(10);
    ASSERT_TRUE(PumpUntil([&] { return !Handled.empty(); }));
    Application.OnException = nullptr;
    EXPECT_EQ(Handled, "boom");
    EXPECT_EQ(C.TimerInterval(), 0u);
    C.Disconnect();
}

TEST(Client, HundredMegabytesThroughTheQueueArriveIntact) {
    constexpr size_t kBlock = 1 << 20;
    constexpr int kBlocks = 100;
    // Odd blocks swap neighbouring bytes so that a block sent twice or out of order shows.
    std::string Pattern(2 * kBlock, '\0');
    for (size_t I = 0; I < kBlock; ++I) Pattern[I] = static_cast<char>((I * 131 + I / 7) & 0xFF);
    for (size_t I = 0; I < kBlock; ++I) Pattern[kBlock + I] = Pattern[I ^ 1];
    std::atomic<uint64_t> Received{0};
    std::atomic<bool> Intact{true};
    TTestServer Server([&](int fd) {
        std::vector<char> Buf(1 << 16);
        uint64_t Pos = 0;
        for (;;) {
            const ssize_t N = ::recv(fd, Buf.data(), Buf.size(), 0);
            if (N <= 0) break;
            size_t Done = 0;
            while (Done < static_cast<size_t>(N)) {
                const size_t At = static_cast<size_t>(Pos % Pattern.size());
                const size_t Len = std::min(static_cast<size_t>(N) - Done, Pattern.size() - At);
                if (std::memcmp(Buf.data() + Done, Pattern.data() + At, Len) != 0) Intact = false;
                Done += Len;
                Pos += Len;
            }
        }
        Received = Pos;
    });
    TLineClient C;
    uint32_t ItemsSent = 0;
    bool RemainingMatchesQueue = true;
    C.OnItemSent = [&](TIpSockControl*, SOCKET, uint32_t, uint32_t remaining) {
        ++ItemsSent;
        RemainingMatchesQueue = RemainingMatchesQueue && C.Socket()->QueueCount() == remaining;
    };
    C.Connect(Server.Address());
    // Queued before the connection is up: every block waits for the write notices.
    for (int I = 0; I < kBlocks; ++I)
        EXPECT_EQ(C.PutBlock(C.SocketHandle(), Pattern.data() + (I & 1) * kBlock, kBlock,
                             I == kBlocks - 1),
                  static_cast<uint32_t>(I + 1));
    ASSERT_TRUE(PumpUntil([&] { return Server.Done(); }, 60000));
    EXPECT_EQ(Received.load(), uint64_t{kBlock} * kBlocks);
    EXPECT_TRUE(Intact.load());
    EXPECT_EQ(ItemsSent, static_cast<uint32_t>(kBlocks));
    EXPECT_TRUE(RemainingMatchesQueue);
    // The last block closed the socket after it was sent, and the component freed it.
    ASSERT_TRUE(PumpUntil([&] { return !C.IsActive(); }));
    EXPECT_EQ(C.Closes, 1);
}

TEST(Client, HostNamesAndHostPortTextsConnect) {
    for (const std::string Host : {"localhost", "127.0.0.1"}) {
        TTestServer Server([](int fd) { TTestServer::SendAll(fd, "hi\r\n"); });
        TLineClient C;
        C.Connect(Host + ":" + std::to_string(Server.Port()));
        ASSERT_TRUE(PumpUntil([&] { return C.Closes > 0 || !C.Errors.empty(); })) << Host;
        EXPECT_EQ(C.Lines, std::vector<std::string>{"hi\r\n"}) << Host;
        EXPECT_EQ(C.Connects, 1) << Host;
    }
    TLineClient C;
    std::string Host;
    uint16_t Port = 0;
    C.ResolveHostPort("news.example.org", Host, Port);
    EXPECT_EQ(Host, "news.example.org");
    EXPECT_EQ(Port, 119);
    C.ResolveHostPort("nntp://news.example.org:563/", Host, Port);
    EXPECT_EQ(Host, "news.example.org");
    EXPECT_EQ(Port, 563);
    EXPECT_EQ(ErrorOf<EIpWinSockError>([&] { C.Connect(""); }), "Destination address required");
}

TEST(Client, FailedLookupReportsUnusableAddressAndNeverConnects) {
    TLineClient C;
    C.Connect("no-such-host.invalid:119");
    ASSERT_TRUE(PumpUntil([&] { return !C.Errors.empty(); }));
    EXPECT_EQ(C.Errors[0], 10049);
    EXPECT_EQ(C.ErrorTexts[0],
              "WinSock Error (10049): Cannot assign requested address, on API 'Connect'");
    EXPECT_EQ(C.Connects, 0);
    EXPECT_FALSE(C.IsConnected());
}

TEST(Client, SecondConnectWhileConnectedRaises) {
    TTestServer Server([](int fd) { TTestServer::ReadUntil(fd); });
    TLineClient C;
    C.Connect(Server.Address());
    ASSERT_TRUE(PumpUntil([&] { return C.Connects == 1; }));
    EXPECT_EQ(ErrorOf<EIpWinSockError>([&] { C.Connect(Server.Address()); }),
              "Socket is already connected");
    C.Disconnect();
    EXPECT_EQ(C.Closes, 1);
}

// A handler that runs passes of the message loop while more data and the close arrive.
TEST(Client, PumpingLineHandlerSeesEveryLineOnceAndInOrder) {
    const std::string Data = NumberedLines(3000);
    TTestServer Server([&](int fd) {
        for (size_t Off = 0; Off < Data.size(); Off += 1000)
            TTestServer::SendAll(fd, Data.substr(Off, 1000));
    });
    TLineClient C;
    C.OnLine = [](const std::string&) {
        Application.ProcessMessages();
        Application.ProcessMessages();
    };
    ASSERT_TRUE(C.RunUntilClosed(Server.Address()));
    EXPECT_EQ(C.Joined(), Data);
    EXPECT_EQ(C.Closes, 1);
}

TEST(Client, DisconnectInsideALineHandlerIsSafe) {
    TTestServer Server([](int fd) {
        TTestServer::SendAll(fd, "one\r\ntwo\r\nthree\r\n");
        TTestServer::ReadUntil(fd);
    });
    TLineClient C;
    C.OnLine = [&](const std::string& line) {
        if (line == "one\r\n") C.Disconnect();
    };
    ASSERT_TRUE(C.RunUntilClosed(Server.Address()));
    EXPECT_FALSE(C.IsActive());
    // The lines that were already here still arrive, each once, before the close.
    EXPECT_EQ(C.Lines, (std::vector<std::string>{"one\r\n", "two\r\n", "three\r\n"}));
    EXPECT_EQ(C.Events.back(), "close");
    for (int I = 0; I < 3; ++I) Application.ProcessMessages();
}

TEST(Client, PublishedClientPostsLinesAndStatusToWindows) {
    TTestServer Server([](int fd) {
        TTestServer::SendAll(fd, "a\r\nb\r\n");
        TTestServer::ReadUntil(fd, "x");
    });
    TIpClient C;
    std::vector<std::string> Lines;
    C.OnReadLine = [&](TIpSockControl*, SOCKET, const std::string& l) { Lines.push_back(l); };
    std::vector<LPARAM> Status;
    std::string TermData;
    HWND Wnd = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_IPSTATUS) Status.push_back(m.LParam);
        if (m.Msg == WM_IPTERMDATA) {
            TermData.append(reinterpret_cast<const char*>(m.WParam), static_cast<size_t>(m.LParam));
        }
    });
    C.AttachWindow(Wnd);
    const SOCKET S = C.ConnectSocket(Server.Address());
    EXPECT_TRUE(C.RegisterTerminalWindow(S, Wnd));
    EXPECT_FALSE(C.RegisterTerminalWindow(S + 1000, Wnd));
    ASSERT_TRUE(PumpUntil([&] { return Lines.size() == 2 && !Status.empty(); }));
    EXPECT_EQ(Lines, (std::vector<std::string>{"a\r\n", "b\r\n"}));
    EXPECT_EQ(TermData, "a\r\nb\r\n");
    EXPECT_EQ(Status[0], MAKELPARAM(1, 1));
    // A window attached while connected hears of the connection at once.
    std::vector<LPARAM> Late;
    HWND Wnd2 = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_IPSTATUS) Late.push_back(m.LParam);
    });
    C.AttachWindow(Wnd2);
    ASSERT_TRUE(PumpUntil([&] { return !Late.empty(); }));
    C.Disconnect();
    ASSERT_TRUE(PumpUntil([&] { return Status.size() == 2; }));
    EXPECT_EQ(Status[1], MAKELPARAM(2, 1));
    DeallocateHWnd(Wnd);
    DeallocateHWnd(Wnd2);
}

// Received blocks go to every terminal window as one copy the queue owns: a window that dies with
// blocks queued for it drops them without a leak (LeakSanitizer checks), the others still get
// every byte.
TEST(Client, TerminalWindowDestroyedWithBlocksQueuedDropsThemAndOthersGetEverything) {
    TTestServer Server([](int fd) {
        TTestServer::SendAll(fd, "one\r\n");
        TTestServer::ReadUntil(fd, "next\r\n");
        TTestServer::SendAll(fd, "two\r\n");
    });
    std::string Live, Dying;
    auto Sink = [](std::string& Into) {
        return [&Into](TMessage& m) {
            if (m.Msg == WM_IPTERMDATA) {
                Into.append(reinterpret_cast<const char*>(m.WParam), static_cast<size_t>(m.LParam));
                IpFreeTermData(m.WParam);  // still safe to call: it does nothing
            }
        };
    };
    HWND LiveWnd = AllocateHWnd(Sink(Live));
    HWND DyingWnd = AllocateHWnd(Sink(Dying));
    TLineClient C;
    SOCKET S = 0;
    // Lines are handled inside the read, after its block was posted and before it is delivered.
    C.OnLine = [&](const std::string& line) {
        if (line != "one\r\n") return;
        DeallocateHWnd(DyingWnd);
        C.PutString(S, "next\r\n", false);
    };
    S = C.ConnectSocket(Server.Address());
    ASSERT_TRUE(C.RegisterTerminalWindow(S, LiveWnd));
    ASSERT_TRUE(C.RegisterTerminalWindow(S, DyingWnd));
    ASSERT_TRUE(PumpUntil([&] { return C.Closes > 0; }));
    EXPECT_EQ(C.Lines, (std::vector<std::string>{"one\r\n", "two\r\n"}));
    EXPECT_EQ(Live, "one\r\ntwo\r\n");
    EXPECT_EQ(Dying, "");
    for (int I = 0; I < 3; ++I) Application.ProcessMessages();
    DeallocateHWnd(LiveWnd);
}

// A host on a telnet connection that never reads what it is sent: its receive window is kept
// small (set before listening, so the connection starts with it), and it keeps the connection
// open until the test lets it go.
class TDeafTelnetHost {
  public:
    explicit TDeafTelnetHost(std::string flood) {
        FListen = LoopbackSocket(SOCK_STREAM, FPort);
        const int Small = 4096;
        ::setsockopt(FListen, SOL_SOCKET, SO_RCVBUF, &Small, sizeof(Small));
        ::listen(FListen, 1);
        FThread = std::thread([this, flood = std::move(flood)] {
            const int Fd = ::accept(FListen, nullptr, nullptr);
            if (Fd < 0) return;
            TTestServer::SendAll(Fd, flood);
            FRelease.get_future().wait_for(std::chrono::seconds(60));
            ::close(Fd);
        });
    }
    ~TDeafTelnetHost() {
        FRelease.set_value();
        ::shutdown(FListen, SHUT_RDWR);
        ::close(FListen);
        FThread.join();
    }
    std::string Address() const { return "127.0.0.1:" + std::to_string(FPort); }

  private:
    int FListen = -1;
    uint16_t FPort = 0;
    std::promise<void> FRelease;
    std::thread FThread;
};

// Option requests without end from a host that reads none of the answers: past the limit the
// answers are dropped, so the memory stays small; the connection goes on and the data after the
// flood arrives.
TEST(Client, TelnetAnswersToAHostThatNeverReadsStopAtTheQueueLimit) {
    std::string Flood;
    for (int I = 0; I < 400000; ++I) Flood += "\xFF\xFD\xC8";  // IAC DO 200: answered WONT
    TDeafTelnetHost Host(Flood + "after the flood\r\n");
    TLineClient C;
    C.SockInits().SocketOptions = soTelnet;
    C.Connect(Host.Address());
    // A small send buffer of our own as well (the system's grows to megabytes): the queue fills
    // after a few thousand answers.
    ASSERT_NE(WinSock::setsockopt(C.SocketHandle(), WS_SOL_SOCKET, WS_SO_SNDBUF, 4096),
              SOCKET_ERROR);
    ASSERT_TRUE(PumpUntil([&] { return !C.Lines.empty(); }, 60000));
    EXPECT_EQ(C.Lines, std::vector<std::string>{"after the flood\r\n"});
    ASSERT_TRUE(C.IsConnected());
    EXPECT_TRUE(C.Errors.empty());
    EXPECT_LE(C.Socket()->QueuedBytes(),
              SockLimits::kMaxQueuedAnswers + 3 + SockLimits::kSendItemOverhead);
    EXPECT_LT(C.Socket()->QueueCount(), 4000u);
    C.Disconnect();
}

// The caller's data on a telnet connection whose host reads nothing: the connection is closed
// with an error once the queue passes its limit, not kept growing.
TEST(Client, TelnetDataForAHostThatNeverReadsClosesTheConnectionAtTheQueueLimit) {
    TDeafTelnetHost Host("ready\r\n");
    TLineClient C;
    C.SockInits().SocketOptions = soTelnet;
    C.Connect(Host.Address());
    ASSERT_TRUE(PumpUntil([&] { return !C.Lines.empty(); }));
    const std::string Block(1 << 20, 'k');
    const SOCKET Handle = C.SocketHandle();
    for (int I = 0; I < 40 && C.Errors.empty(); ++I) C.PutString(Handle, Block, false);
    ASSERT_EQ(C.Errors, std::vector<int32_t>{WSAENOBUFS});
    EXPECT_EQ(C.ErrorTexts[0], "Send queue full: the host reads nothing, connection closed");
    EXPECT_TRUE(PumpUntil([&] { return C.Closes == 1; }));
    EXPECT_FALSE(C.IsConnected());
}

}  // namespace

// The WinSock-shaped binding: notices follow WinSock's rules, handles are never reused.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/core/Application.h"
#include "platform/net/WinSock.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr UINT kMsg = WM_USER + 1;

struct TNotice {
    SOCKET S;
    uint16_t Event;
    uint16_t Error;
};

class TListener {
  public:
    TListener() {
        Fd = LoopbackSocket(SOCK_STREAM, Port);
        ::listen(Fd, 4);
    }
    ~TListener() { ::close(Fd); }
    int Accept() { return ::accept(Fd, nullptr, nullptr); }
    TSockAddrIn Addr() const {
        TSockAddrIn A;
        A.sin_addr = WinSock::inet_addr("127.0.0.1");
        A.sin_port = WinSock::HostToNetShort(Port);
        return A;
    }
    int Fd;
    uint16_t Port;
};

class WinSockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Wnd = AllocateHWnd([this](TMessage& m) {
            if (m.Msg == kMsg)
                Notices.push_back({static_cast<SOCKET>(m.WParam),
                                   LOWORD(static_cast<uintptr_t>(m.LParam)),
                                   HIWORD(static_cast<uintptr_t>(m.LParam))});
        });
    }
    void TearDown() override { DeallocateHWnd(Wnd); }
    int Count(uint16_t event) {
        int N = 0;
        for (const auto& n : Notices) N += n.Event == event;
        return N;
    }
    // A few passes so that anything that would still come has come.
    void Settle() {
        for (int I = 0; I < 5; ++I) {
            Application.WaitForEvent(10);
            Application.ProcessMessages();
        }
    }
    HWND Wnd = 0;
    std::vector<TNotice> Notices;
};

TEST_F(WinSockTest, ConnectReadAndCloseNoticesFollowWinSockRules) {
    TListener L;
    const SOCKET S = WinSock::socket(WS_AF_INET, WS_SOCK_STREAM, 0);
    ASSERT_NE(S, INVALID_SOCKET);
    ASSERT_EQ(WinSock::WSAAsyncSelect(S, Wnd, kMsg, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE), 0);
    EXPECT_EQ(WinSock::connect(S, L.Addr()), SOCKET_ERROR);
    EXPECT_EQ(WinSock::WSAGetLastError(), WSAEWOULDBLOCK);
    const int Peer = L.Accept();
    ASSERT_TRUE(PumpUntil([&] { return Count(FD_WRITE) == 1; }));
    ASSERT_EQ(Notices[0].Event, FD_CONNECT);
    EXPECT_EQ(Notices[0].Error, 0);
    EXPECT_EQ(Notices[1].Event, FD_WRITE);

    // Two sends from the peer give one read notice until recv is called again.
    ::send(Peer, "abc", 3, 0);
    ASSERT_TRUE(PumpUntil([&] { return Count(FD_READ) == 1; }));
    ::send(Peer, "def", 3, 0);
    Settle();
    EXPECT_EQ(Count(FD_READ), 1);
    char Buf[2];
    EXPECT_EQ(WinSock::recv(S, Buf, 2, 0), 2);
    ASSERT_TRUE(PumpUntil([&] { return Count(FD_READ) == 2; }));
    char Rest[16];
    EXPECT_EQ(WinSock::recv(S, Rest, sizeof(Rest), 0), 4);
    EXPECT_EQ(WinSock::recv(S, Rest, sizeof(Rest), 0), SOCKET_ERROR);
    EXPECT_EQ(WinSock::WSAGetLastError(), WSAEWOULDBLOCK);

    ::close(Peer);
    ASSERT_TRUE(PumpUntil([&] { return Count(FD_CLOSE) == 1; }));
    Settle();
    EXPECT_EQ(Count(FD_CLOSE), 1);
    EXPECT_EQ(Count(FD_WRITE), 1);
    // Sending to a closed peer fails with a code, never with SIGPIPE.
    int Rc = 0;
    for (int I = 0; I < 50 && Rc != SOCKET_ERROR; ++I) Rc = WinSock::send(S, "x", 1, 0);
    EXPECT_EQ(Rc, SOCKET_ERROR);
    EXPECT_EQ(WinSock::closesocket(S), 0);
}

TEST_F(WinSockTest, WriteNoticeOnlyAfterASendWouldBlock) {
    TListener L;
    const SOCKET S = WinSock::socket(WS_AF_INET, WS_SOCK_STREAM, 0);
    WinSock::setsockopt(S, WS_SOL_SOCKET, WS_SO_SNDBUF, 4096);
    WinSock::WSAAsyncSelect(S, Wnd, kMsg, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE);
    WinSock::connect(S, L.Addr());
    const int Peer = L.Accept();
    ASSERT_TRUE(PumpUntil([&] { return Count(FD_WRITE) == 1; }));
    std::vector<char> Big(1 << 16, 'x');
    while (WinSock::send(S, Big.data(), static_cast<int>(Big.size()), 0) != SOCKET_ERROR) {
    }
    EXPECT_EQ(WinSock::WSAGetLastError(), WSAEWOULDBLOCK);
    // Sends that went through raised no notice; the one that would block brings one more.
    EXPECT_EQ(Count(FD_WRITE), 1);
    std::vector<char> Drain(1 << 20);
    while (Count(FD_WRITE) < 2) {
        ::recv(Peer, Drain.data(), Drain.size(), MSG_DONTWAIT);
        Application.WaitForEvent(5);
        Application.ProcessMessages();
    }
    EXPECT_EQ(Count(FD_WRITE), 2);
    ::close(Peer);
    WinSock::closesocket(S);
}

TEST_F(WinSockTest, EmptyDatagramsAreReadLikeOthersAndEndNothing) {
    uint16_t Port = 0;
    const int Peer = LoopbackSocket(SOCK_DGRAM, Port);
    const SOCKET S = WinSock::socket(WS_AF_INET, WS_SOCK_DGRAM, 0);
    ASSERT_EQ(WinSock::WSAAsyncSelect(S, Wnd, kMsg, FD_READ | FD_CLOSE), 0);
    TSockAddrIn To;
    To.sin_family = WS_AF_INET;
    To.sin_addr = WinSock::inet_addr("127.0.0.1");
    To.sin_port = WinSock::HostToNetShort(Port);
    ASSERT_EQ(WinSock::sendto(S, "?", 1, 0, To), 1);
    sockaddr_in From{};
    socklen_t Len = sizeof(From);
    char Buf[16];
    ASSERT_EQ(::recvfrom(Peer, Buf, sizeof(Buf), 0, reinterpret_cast<sockaddr*>(&From), &Len), 1);

    ::sendto(Peer, "", 0, 0, reinterpret_cast<sockaddr*>(&From), Len);
    ::sendto(Peer, "time", 4, 0, reinterpret_cast<sockaddr*>(&From), Len);
    ASSERT_TRUE(PumpUntil([&] { return Count(FD_READ) + Count(FD_CLOSE) >= 1; }, 5000));
    EXPECT_EQ(WinSock::recvfrom(S, Buf, sizeof(Buf), 0, nullptr), 0);
    ASSERT_TRUE(PumpUntil([&] { return Count(FD_READ) + Count(FD_CLOSE) >= 2; }, 5000))
        << "the datagram after an empty one is noticed";
    EXPECT_EQ(WinSock::recvfrom(S, Buf, sizeof(Buf), 0, nullptr), 4);
    EXPECT_EQ(Count(FD_READ), 2);
    EXPECT_EQ(Count(FD_CLOSE), 0);
    WinSock::closesocket(S);
    ::close(Peer);
}

TEST_F(WinSockTest, RefusedAndUnusableAddresses) {
    TListener L;
    TSockAddrIn Addr = L.Addr();
    ::close(L.Fd);
    L.Fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const SOCKET S = WinSock::socket(WS_AF_INET, WS_SOCK_STREAM, 0);
    WinSock::WSAAsyncSelect(S, Wnd, kMsg, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE);
    WinSock::connect(S, Addr);
    ASSERT_TRUE(PumpUntil([&] { return Count(FD_CONNECT) == 1; }));
    EXPECT_EQ(Notices[0].Error, WSAECONNREFUSED);
    Settle();
    EXPECT_EQ(Count(FD_WRITE), 0);
    WinSock::closesocket(S);

    const SOCKET T = WinSock::socket(WS_AF_INET, WS_SOCK_STREAM, 0);
    TSockAddrIn Any;
    Any.sin_port = WinSock::HostToNetShort(119);
    EXPECT_EQ(WinSock::connect(T, Any), SOCKET_ERROR);
    EXPECT_EQ(WinSock::WSAGetLastError(), WSAEADDRNOTAVAIL);
    WinSock::closesocket(T);
}

TEST_F(WinSockTest, HandlesAreNeverReusedAndStaleCallsMiss) {
    const SOCKET A = WinSock::socket(WS_AF_INET, WS_SOCK_STREAM, 0);
    WinSock::closesocket(A);
    const SOCKET B = WinSock::socket(WS_AF_INET, WS_SOCK_STREAM, 0);
    EXPECT_NE(A, B);  // although the kernel hands out the same descriptor again
    char C;
    EXPECT_EQ(WinSock::recv(A, &C, 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WinSock::WSAGetLastError(), WSAENOTSOCK);
    EXPECT_EQ(WinSock::closesocket(A), SOCKET_ERROR);
    WinSock::closesocket(B);
}

TEST_F(WinSockTest, LookupRunsOffThreadAndIsAnsweredByMessage) {
    std::vector<std::pair<uintptr_t, uint16_t>> Replies;
    HWND W = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == kMsg) Replies.emplace_back(m.WParam, HIWORD(static_cast<uintptr_t>(m.LParam)));
    });
    const uintptr_t Good = WinSock::WSAAsyncGetHostByName(W, kMsg, "localhost");
    const uintptr_t Bad = WinSock::WSAAsyncGetHostByName(W, kMsg, "no-such-host.invalid");
    const uintptr_t Cancelled = WinSock::WSAAsyncGetHostByName(W, kMsg, "localhost");
    // The worker may have answered already; then the cancel is refused and the answer comes.
    const bool CancelTookEffect = WinSock::WSACancelAsyncRequest(Cancelled) == 0;
    if (!CancelTookEffect) {
        EXPECT_EQ(WinSock::WSAGetLastError(), WSAEALREADY);
    }
    const size_t Expected = CancelTookEffect ? 2 : 3;
    ASSERT_TRUE(PumpUntil([&] { return Replies.size() >= Expected; }));
    Settle();
    EXPECT_EQ(Replies.size(), Expected);
    for (const auto& R : Replies) {
        std::vector<uint32_t> Addrs;
        EXPECT_TRUE(WinSock::WSAGetAsyncHostResult(R.first, Addrs));
        if (R.first == Good || R.first == Cancelled) {
            EXPECT_EQ(R.second, 0);
            ASSERT_FALSE(Addrs.empty());
            EXPECT_EQ(WinSock::inet_ntoa(Addrs[0]), "127.0.0.1");
        } else {
            EXPECT_EQ(R.first, Bad);
            EXPECT_NE(R.second, 0);
        }
    }
    DeallocateHWnd(W);
}

TEST(WinSockText, ErrorTextsAndAddresses) {
    EXPECT_EQ(WSAErrorText(10061), "Connection refused");
    EXPECT_EQ(WSAErrorText(11001), "Host not found");
    EXPECT_EQ(WSAErrorText(10035), "Resource temporarily unavailable");
    EXPECT_EQ(WinSock::inet_addr("10.1.2.3"), WinSock::HostToNetLong(0x0A010203));
    EXPECT_EQ(WinSock::inet_addr("news.example.org"), WS_INADDR_NONE);
    EXPECT_EQ(WinSock::inet_ntoa(WinSock::HostToNetLong(0xC0A80001)), "192.168.0.1");
}

}  // namespace

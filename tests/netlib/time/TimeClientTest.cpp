// The time client against small servers on 127.0.0.1 written here: TCP through the socket
// test server, UDP through a datagram server that answers with scripted bytes.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "netlib/time/IpTime.h"
#include "platform/net/WinSock.h"
#include "tests/netlib/sock/TestServer.h"

namespace {

const std::string Y2000("\xBC\x17\xC2\x00", 4);  // 3155673600: 1 January 2000, a zero byte last

// A time client that records what it reports.
class TRecordingClient : public TIpTimeClient {
  public:
    TRecordingClient() {
        OnTime = [this](TIpCustomTimeClient*, double t) { Times.push_back(t); };
        OnDaytime = [this](TIpCustomTimeClient*, const std::string& d) { Daytimes.push_back(d); };
        OnError = [this](TIpSockControl*, SOCKET, int32_t code, const std::string&) {
            Errors.push_back(code);
        };
    }
    // Asks for the time service (port 37) of server, over UDP or TCP.
    void AskTime(const std::string& server, bool udp) {
        if (udp) SetSockProtocol(spUdp);
        SetTimeService(tsTime);
        Server = server;
        RequestTime();
    }
    bool Reported() const { return !Times.empty() || !Daytimes.empty() || !Errors.empty(); }
    std::vector<double> Times;
    std::vector<std::string> Daytimes;
    std::vector<int32_t> Errors;
};

// Waits for one request datagram, then sends each answer; an answer marked as from a stranger
// goes out from another port.
class TUdpServer {
  public:
    struct TAnswer {
        std::string Bytes;
        bool FromStranger = false;
    };
    explicit TUdpServer(std::vector<TAnswer> answers) {
        uint16_t strangerPort = 0;
        FFd = LoopbackSocket(SOCK_DGRAM, FPort);
        FStranger = LoopbackSocket(SOCK_DGRAM, strangerPort);
        FThread = std::thread([this, answers] {
            pollfd p{FFd, POLLIN, 0};
            if (::poll(&p, 1, 20000) != 1) return;
            char buffer[64];
            sockaddr_in client{};
            socklen_t len = sizeof(client);
            const ssize_t n = ::recvfrom(FFd, buffer, sizeof(buffer), 0,
                                         reinterpret_cast<sockaddr*>(&client), &len);
            FRequestSize = int(n);
            for (const TAnswer& a : answers)
                ::sendto(a.FromStranger ? FStranger : FFd, a.Bytes.data(), a.Bytes.size(), 0,
                         reinterpret_cast<sockaddr*>(&client), len);
            FDone = true;
        });
    }
    ~TUdpServer() {
        ::shutdown(FFd, SHUT_RDWR);
        if (FThread.joinable()) FThread.join();
        ::close(FFd);
        ::close(FStranger);
    }
    std::string Address() const { return "127.0.0.1:" + std::to_string(FPort); }
    bool Done() const { return FDone; }
    int RequestSize() const { return FRequestSize; }

  private:
    int FFd = -1;
    int FStranger = -1;
    uint16_t FPort = 0;
    std::atomic<int> FRequestSize{-1};
    std::atomic<bool> FDone{false};
    std::thread FThread;
};

TEST(TimeClient, TimeStampsCountDaysFrom1899) {
    EXPECT_DOUBLE_EQ(TIpCustomTimeClient::TimeStampOf(0), 2.0);
    EXPECT_DOUBLE_EQ(TIpCustomTimeClient::TimeStampOf(3155673600u), 36526.0);
    EXPECT_DOUBLE_EQ(TIpCustomTimeClient::TimeStampOf(0xFFFFFFFFu), 4294967295.0 / 86400 + 2);
}

TEST(TimeClient, ServiceChoosesPortAndIsFixedWhileConnected) {
    TRecordingClient c;
    EXPECT_EQ(c.DefaultPort, 13);
    c.SetTimeService(tsTime);
    EXPECT_EQ(c.DefaultPort, 37);
    EXPECT_EQ(c.SockInits().LineTerminator, ltNone);

    TTestServer server([](int fd) { TTestServer::ReadUntil(fd); });
    c.Server = server.Address();
    c.RequestTime();
    ASSERT_TRUE(PumpUntil([&] { return c.IsConnected(); }));
    c.SetTimeService(tsDaytime);
    EXPECT_EQ(c.TimeService(), tsTime);
    EXPECT_EQ(c.DefaultPort, 37);
    c.Disconnect();
}

TEST(TimeClient, TcpTimeWithAZeroByte) {
    TTestServer server([](int fd) { TTestServer::SendAll(fd, Y2000); });
    TRecordingClient c;
    c.AskTime(server.Address(), false);
    ASSERT_TRUE(PumpUntil([&] { return c.Reported(); }));
    ASSERT_EQ(c.Times, std::vector<double>{36526.0});
    EXPECT_DOUBLE_EQ(c.TimeStamp(), 36526.0);
    // The close that follows the answer is no error.
    ASSERT_TRUE(PumpUntil([&] { return !c.IsActive(); }));
    EXPECT_TRUE(c.Errors.empty());
}

TEST(TimeClient, TcpDaytimeLine) {
    const std::string line = "Sunday, December 6, 2026 22:31:20-UTC\r\n";
    TTestServer server([&](int fd) { TTestServer::SendAll(fd, line); });
    TRecordingClient c;
    c.Server = server.Address();
    c.RequestTime();
    ASSERT_TRUE(PumpUntil([&] { return c.Reported(); }));
    ASSERT_EQ(c.Daytimes.size(), 1u);
    EXPECT_EQ(c.Daytimes[0], line);
    EXPECT_EQ(c.Daytime(), line);
}

TEST(TimeClient, TcpShortAnswerAndNoAnswerAreErrors) {
    const std::pair<std::string, int32_t> cases[] = {
        {std::string("\x00\x01\x02", 3), kIpTimeShortAnswer},
        {"", kIpTimeNoAnswer},
    };
    for (const auto& [answer, error] : cases) {
        SCOPED_TRACE(error);
        TTestServer server([&](int fd) { TTestServer::SendAll(fd, answer); });
        TRecordingClient c;
        c.AskTime(server.Address(), false);
        ASSERT_TRUE(PumpUntil([&] { return !c.Errors.empty(); }));
        EXPECT_EQ(c.Errors, std::vector<int32_t>{error});
        ASSERT_TRUE(PumpUntil([&] { return !c.IsActive(); }));
        EXPECT_TRUE(c.Times.empty());
    }
}

TEST(TimeClient, UdpTimeWithZeroBytesIsReadByCount) {
    TUdpServer server({{std::string(4, '\0')}});
    TRecordingClient c;
    c.AskTime(server.Address(), true);
    ASSERT_TRUE(PumpUntil([&] { return c.Reported(); }));
    EXPECT_EQ(c.Times, std::vector<double>{2.0});
    EXPECT_EQ(server.RequestSize(), 1);
    EXPECT_TRUE(c.Errors.empty());
}

TEST(TimeClient, UdpIgnoresStrangersAndReportsShortAnswers) {
    const struct {
        std::vector<TUdpServer::TAnswer> Answers;
        std::vector<double> Times;
        std::vector<int32_t> Errors;
    } cases[] = {
        {{{std::string("\x01\x02\x03\x04", 4), true}, {Y2000}}, {36526.0}, {}},
        {{{std::string("\x00\x00", 2)}}, {}, {kIpTimeShortAnswer}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.Answers.size());
        TUdpServer server(k.Answers);
        TRecordingClient c;
        c.AskTime(server.Address(), true);
        ASSERT_TRUE(PumpUntil([&] { return c.Reported(); }));
        EXPECT_EQ(c.Times, k.Times);
        EXPECT_EQ(c.Errors, k.Errors);
    }
}

TEST(TimeClient, UdpWithoutAnswerTimesOutAndPollsAgain) {
    const size_t socketsBefore = WinSock::OpenSocketCount();
    TUdpServer server({});
    TRecordingClient c;
    c.SetSockProtocol(spUdp);
    c.SetTimeService(tsTime);
    c.SockInits().IdleTimeout = 100;
    c.Server = server.Address();
    c.SetPollInterval(5);
    c.RequestTime();
    ASSERT_TRUE(PumpUntil([&] { return c.Reported(); }));
    EXPECT_EQ(c.Errors, std::vector<int32_t>{kIpTimeNoAnswer});
    EXPECT_TRUE(c.PollTimerEnabled()) << "the next poll still comes";
    EXPECT_EQ(WinSock::OpenSocketCount(), socketsBefore) << "the datagram socket is closed";
}

TEST(TimeClient, PollTimerRequestsAndWaitsForTheAnswer) {
    TUdpServer server({{Y2000}});
    TRecordingClient c;
    c.SetSockProtocol(spUdp);
    c.SetTimeService(tsTime);
    c.Server = server.Address();
    EXPECT_FALSE(c.PollTimerEnabled());
    c.SetPollInterval(5);
    EXPECT_TRUE(c.PollTimerEnabled());
    // A tick stops the timer until the answer is in.
    SendMessage(c.Handle(), WM_TIMER, 2, 0);
    EXPECT_FALSE(c.PollTimerEnabled());
    ASSERT_TRUE(PumpUntil([&] { return c.Reported(); }));
    EXPECT_EQ(c.Times, std::vector<double>{36526.0});
    EXPECT_TRUE(c.PollTimerEnabled());
    c.SetPollInterval(0);
    EXPECT_FALSE(c.PollTimerEnabled());
}

}  // namespace

// The SSL client inside a data socket, driven through the fake socket: the connection is
// reported after the handshake, lines arrive decrypted, writes leave as records.
#include <gtest/gtest.h>

#include "netlib/sock/IpFakeSocket.h"
#include "netlib/sock/IpSock.h"
#include "netlib/ssl/IpSSLLayer.h"
#include "tests/netlib/ssl/SslTestServer.h"

namespace {

using namespace ssltest;
using TLines = std::vector<std::string>;

class TSslClient : public TIpCustomClient {
  public:
    TSslClient() {
        IpSSLRegister();
        DefaultPort = 995;
        SetSocketFactory([this](TIpCustomClient& c) {
            Fake = new TIpFakeSocket(c);
            return Fake;
        });
        OnStatus = [this](TIpSockControl*, SOCKET, TIpStatusType e, const TIpConnRec&,
                          const TIpSockStatRec&) {
            if (e == stConnect) ++Connects;
        };
        OnIdleTimeout = [this](TIpSockControl*, SOCKET, bool&) { ++IdleTimeouts; };
        SetUsingSSL(true);
    }
    void DoReadLine(SOCKET, const std::string& line) override { Lines.push_back(line); }

    // Connects and completes the handshake, the server's bytes fed in pieces of piece bytes.
    void Open(TTestServer& server, size_t piece) {
        Connect("pop.example.org");
        Fake->AcceptConnect();
        Feed(server.OnClientHello(Fake->TakeWritten()), piece);
        EXPECT_EQ(Connects, 0);
        Feed(server.OnClientFlight(Fake->TakeWritten()), piece);
    }
    void Feed(const std::string& bytes, size_t piece) {
        for (size_t at = 0; at < bytes.size(); at += piece) Fake->Feed(bytes.substr(at, piece));
    }

    TIpFakeSocket* Fake = nullptr;
    TLines Lines;
    int Connects = 0;
    int IdleTimeouts = 0;
};

TEST(SslSocket, ConnectionReportedAfterHandshakeThenLinesBothWays) {
    for (size_t piece : {size_t{1}, size_t{5}, size_t{10000}}) {
        SCOPED_TRACE(piece);
        TTestServer server;
        TSslClient c;
        c.Open(server, piece);
        EXPECT_EQ(c.Connects, 1);
        // a line split over two records and over reads
        std::string wire = server.Seal(23, "+OK ready");
        wire += server.Seal(23, "\r\nsecond\r\n");
        c.Feed(wire, piece);
        EXPECT_EQ(c.Lines, (TLines{"+OK ready\r\n", "second\r\n"}));
        c.PutString(c.SocketHandle(), "USER test\r\n", false);
        EXPECT_EQ(server.OpenAll(c.Fake->TakeWritten()), "USER test\r\n");
        const TIpSockStatRec stats = c.Socket()->GetStatRec();
        EXPECT_EQ(stats.BytesReceived, 19u);
        EXPECT_EQ(stats.BytesSent, 11u);
    }
}

// A send that would block is tried again later: its records go out once, not sealed twice.
TEST(SslSocket, BlockedSendIsSealedOnce) {
    TTestServer server;
    TSslClient c;
    c.Open(server, 1000);
    c.Fake->SetBlocked(true);
    c.PutString(c.SocketHandle(), "RETR 1\r\n", false);
    c.PutString(c.SocketHandle(), "DELE 1\r\n", false);
    EXPECT_TRUE(c.Fake->Written().empty());
    c.Fake->SetBlocked(false);
    EXPECT_EQ(server.OpenAll(c.Fake->TakeWritten()), "RETR 1\r\nDELE 1\r\n");
}

// A server that stops answering during the handshake meets the idle time-out.
TEST(SslSocket, StalledHandshakeMeetsIdleTimeout) {
    TTestServer server;
    TSslClient c;
    c.SetSocketIdleTimeout(30000);
    c.Connect("pop.example.org");
    c.Fake->AcceptConnect();
    c.Fake->TimerElapsed(20000);
    EXPECT_EQ(c.IdleTimeouts, 0);
    c.Fake->TimerElapsed(20000);
    EXPECT_EQ(c.IdleTimeouts, 1);
    EXPECT_EQ(c.Connects, 0);
}

TEST(SslSocket, ProtocolErrorsReachTheCaller) {
    TSslClient c;
    c.Connect("pop.example.org");
    c.Fake->AcceptConnect();
    try {
        c.Fake->Feed(Record(21, std::string("\x02\x46", 2), 3, 1));
        ADD_FAILURE() << "no error";
    } catch (const EIpSSLError& e) {
        EXPECT_EQ(e.Message(), "SanityCheckRecord : Parsing error.");
    }
    EXPECT_EQ(c.Connects, 0);
}

// A server that closes after close_notify: what came before it is delivered, then the close.
TEST(SslSocket, CloseNotifyThenClose) {
    TTestServer server;
    TSslClient c;
    c.Open(server, 1000);
    std::string wire = server.Seal(23, "+OK bye\r\n");
    wire += server.Seal(21, std::string("\x01\x00", 2));
    c.Feed(wire, 7);
    c.Fake->PeerClose();
    EXPECT_EQ(c.Lines, (TLines{"+OK bye\r\n"}));
}

}  // namespace

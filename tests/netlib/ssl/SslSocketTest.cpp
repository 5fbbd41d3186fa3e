// The SSL client inside a data socket, driven through the fake socket: the connection is
// reported after the handshake, lines arrive decrypted, writes leave as records.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "netlib/sock/IpFakeSocket.h"
#include "netlib/sock/IpSock.h"
#include "netlib/ssl/IpSSLLayer.h"
#include "tests/netlib/ssl/SslTestServer.h"
#include "tests/support/TestSupport.h"

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
            if (e == stConnect) {
                ++Connects;
                if (OnConnect) OnConnect();
            }
        };
        OnError = [this](TIpSockControl*, SOCKET, int32_t code, const std::string& text) {
            Errors.push_back(std::to_string(code) + " " + text);
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
    TLines Errors;
    std::function<void()> OnConnect;
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

// The same line twice in a row, both sealed while the socket blocks: both records go out, each
// once (nothing may be taken for a repeat of the last output).
TEST(SslSocket, SameLineTwiceWhileBlockedArrivesTwice) {
    TTestServer server;
    TSslClient c;
    c.Open(server, 1000);
    c.PutString(c.SocketHandle(), "NOOP\r\n", false);
    c.Fake->SetBlocked(true);
    c.PutString(c.SocketHandle(), "NOOP\r\n", false);
    c.PutString(c.SocketHandle(), "NOOP\r\n", false);
    c.Fake->SetBlocked(false);
    c.Fake->SetBlocked(true);
    c.PutString(c.SocketHandle(), "NOOP\r\n", false);
    c.Fake->SetBlocked(false);
    EXPECT_EQ(server.OpenAll(c.Fake->TakeWritten()), "NOOP\r\nNOOP\r\nNOOP\r\nNOOP\r\n");
}

// Lines queued before the connect and during the handshake never leave in plain text: they wait
// and go out sealed, in order, before the connection is reported.
TEST(SslSocket, DataQueuedBeforeTheHandshakeEndsLeavesEncrypted) {
    TTestServer server;
    TSslClient c;
    std::vector<uint32_t> sent;
    c.OnItemSent = [&](TIpSockControl*, SOCKET, uint32_t id, uint32_t) { sent.push_back(id); };
    c.Connect("pop.example.org");
    const uint32_t first = c.PutString(c.SocketHandle(), "CAPA\r\n", false);
    c.Fake->AcceptConnect();
    const uint32_t second = c.PutString(c.SocketHandle(), "USER test\r\n", false);
    // The test server checks that only the ClientHello, then only the key exchange, cipher
    // change and Finished were written.
    c.Feed(server.OnClientHello(c.Fake->TakeWritten()), 1000);
    const uint32_t third = c.PutString(c.SocketHandle(), "PASS secret\r\n", false);
    const std::string flight = c.Fake->TakeWritten();
    EXPECT_EQ(flight.find("secret"), std::string::npos);
    const std::string finished = server.OnClientFlight(flight);
    std::string atConnect = "(no connect)";
    c.OnConnect = [&] { atConnect = c.Fake->Written(); };
    c.Feed(finished, 1000);
    EXPECT_EQ(c.Connects, 1);
    EXPECT_EQ(server.OpenAll(atConnect), "CAPA\r\nUSER test\r\nPASS secret\r\n");
    EXPECT_EQ(c.Fake->TakeWritten(), atConnect);
    for (uint32_t id : {first, second, third})
        EXPECT_NE(std::count(sent.begin(), sent.end(), id), 0);
    EXPECT_EQ(c.Socket()->QueueCount(), 0u);
}

// The data log shows what the caller sent, not the records that carried it.
TEST(SslSocket, DataLogShowsPlainText) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("kestro-ssl-log-" + std::to_string(getpid()) + ".log"))
                                 .string();
    TTestServer server;
    TSslClient c;
    c.DebugLog().SetFileName(path);
    c.DebugLog().SetEnabled(true);
    c.Open(server, 1000);
    c.Fake->SetBlocked(true);
    c.PutString(c.SocketHandle(), "USER logged\r\n", false);
    c.Fake->SetBlocked(false);
    c.DebugLog().WriteDebugLog();
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::filesystem::remove(path);
    EXPECT_NE(text.find("USER logged"), std::string::npos) << text;
}

// A failed handshake during a socket notice reaches the caller as an error event with code 0.
TEST(SslSocket, HandshakeFailureInASocketNoticeIsAnErrorEvent) {
    TSslClient c;
    c.Connect("pop.example.org");
    c.Fake->AcceptConnect();
    EXPECT_NO_THROW(c.Fake->FeedByNotice(Record(21, std::string("\x02\x46", 2), 3, 1)));
    EXPECT_EQ(c.Errors, (TLines{"0 SanityCheckRecord : Parsing error."}));
    EXPECT_EQ(c.Connects, 0);
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
    EXPECT_EQ(
        ErrorOf<EIpSSLError>([&] { c.Fake->Feed(Record(21, std::string("\x02\x46", 2), 3, 1)); }),
        "SanityCheckRecord : Parsing error.");
    EXPECT_EQ(c.Connects, 0);
}

// A failed session is reported once: what the server sends after a fatal alert or a damaged
// record is not read as records any more, however many reads it takes. The data before the
// failure is still handed over.
TEST(SslSocket, FailedSessionIsReportedOnce) {
    for (const std::string& failure : {std::string("\x02\x28", 2), std::string("damaged")}) {
        SCOPED_TRACE(failure);
        TTestServer server;
        TSslClient c;
        c.Open(server, 1000);
        const bool alert = failure != "damaged";
        std::string wire = server.Seal(23, "+OK one\r\n");
        wire += server.Seal(alert ? 21 : 23, failure);
        if (!alert) wire[wire.size() - 1] ^= 0x10;
        c.Fake->FeedByNotice(wire);
        c.Fake->FeedByNotice(server.Seal(23, "+OK two\r\n"));
        c.Fake->FeedByNotice("plain bytes\r\n");
        EXPECT_EQ(c.Lines, (TLines{"+OK one\r\n"}));
        ASSERT_EQ(c.Errors.size(), 1u);
        EXPECT_EQ(c.Errors[0], alert ? "0 Alert : Fatal Error - Handshake failure."
                                     : "0 SSLVerifySHAMac : MAC did not match.");
    }
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

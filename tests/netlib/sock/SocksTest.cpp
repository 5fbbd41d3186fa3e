// The proxy negotiation of SOCKS 4, 4a and 5 as byte transcripts over the fake socket.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/netlib/sock/FakeProxyClient.h"

namespace {

using Events = std::vector<std::string>;

class Socks : public ::testing::Test {
  protected:
    void Use(TIpSocksVersion version, const std::string& user = "", const std::string& pass = "") {
        C.SocksServer.Address = "127.0.0.1";
        C.SocksServer.Port = 1080;
        C.SocksServer.SocksVersion = version;
        C.SocksServer.UserCode = user;
        C.SocksServer.Password = pass;
    }
    TRecordingClient C;
};

const std::string Target = Bytes({10, 1, 2, 3});  // 10.1.2.3
const std::string Port119 = Bytes({0, 119});

TEST_F(Socks, Socks4RequestGoesToTheProxyAndGreetingInTheReplyBlockFollowsTheConnect) {
    Use(svSocks4, "fred");
    TIpFakeSocket* F = C.Open("10.1.2.3:119");
    EXPECT_EQ(F->ConnectAddress().sin_addr, WinSock::inet_addr("127.0.0.1"));
    EXPECT_EQ(F->ConnectAddress().sin_port, WinSock::HostToNetShort(1080));
    EXPECT_EQ(F->TakeWritten(), Bytes({4, 1}) + Port119 + Target + "fred" + Bytes({0}));
    EXPECT_TRUE(C.Events.empty());  // no connection before the proxy has made it

    F->Feed(Bytes({0, 90}) + Port119 + Target + "200 news ready\r\n");
    EXPECT_EQ(C.Events, (Events{"connect", "line 200 news ready\r\n"}));
    EXPECT_EQ(C.Conn.RemoteAddress, WinSock::inet_addr("10.1.2.3"));
    EXPECT_EQ(C.Conn.RemotePort, 119);
    // Only the server's bytes count as received data.
    EXPECT_EQ(F->GetStatRec().BytesReceived, 16u);
    EXPECT_EQ(F->GetStatRec().RawBytesReceived, 24u);
}

TEST_F(Socks, Socks4ReplySplitOverReadsConnectsOnceAndZeroAddressKeepsTheTarget) {
    Use(svSocks4);
    TIpFakeSocket* F = C.Open("10.1.2.3:119");
    EXPECT_EQ(F->TakeWritten(), Bytes({4, 1}) + Port119 + Target + Bytes({0}));
    F->Feed(Bytes({0}));
    F->Feed(Bytes({90, 0, 0, 0}));
    EXPECT_TRUE(C.Events.empty());
    F->Feed(Bytes({0, 0, 0}) + "hi\r\n");
    EXPECT_EQ(C.Events, (Events{"connect", "line hi\r\n"}));
    EXPECT_EQ(C.Conn.RemoteAddress, WinSock::inet_addr("10.1.2.3"));
    EXPECT_EQ(C.Conn.RemotePort, 119);
}

TEST_F(Socks, Socks4RefusalIsAnErrorEventAndTheConnectionStaysOpen) {
    Use(svSocks4);
    TIpFakeSocket* F = C.Open("10.1.2.3:119");
    F->Feed(Bytes({0, 91, 0, 0, 0, 0, 0, 0}) + "junk\r\n");
    EXPECT_EQ(C.Events, (Events{"error 91 SOCKS request refused - 91"}));
    EXPECT_TRUE(C.IsActive());
    C.Disconnect();
    EXPECT_EQ(C.Events.back(), "close");
}

TEST_F(Socks, Socks4aSendsTheHostNameForTheProxyToLookUp) {
    Use(svSocks4a, "u");
    TIpFakeSocket* F = C.Open("news.example.org:563");
    EXPECT_EQ(F->TakeWritten(), Bytes({4, 1, 2, 51, 0, 0, 0, 1}) + "u" + Bytes({0}) +
                                    "news.example.org" + Bytes({0}));
    F->Feed(Bytes({0, 90, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(C.Events, (Events{"connect"}));
}

TEST_F(Socks, Socks4aWithAnAddressIsTheSocks4Request) {
    Use(svSocks4a);
    TIpFakeSocket* F = C.Open("10.1.2.3:119");
    EXPECT_EQ(F->TakeWritten(), Bytes({4, 1}) + Port119 + Target + Bytes({0}));
}

TEST_F(Socks, Socks5WithoutAuthentication) {
    Use(svSocks5);
    TIpFakeSocket* F = C.Open("10.1.2.3:119");
    EXPECT_EQ(F->TakeWritten(), Bytes({5, 2, 0, 2}));
    F->Feed(Bytes({5, 0}));
    EXPECT_EQ(F->TakeWritten(), Bytes({5, 1, 0, 1}) + Target + Port119);
    EXPECT_TRUE(C.Events.empty());
    F->Feed(Bytes({5, 0, 0, 1, 192, 0, 2, 7, 0x30, 0x39}) + "200 ok\r\n");
    EXPECT_EQ(C.Events, (Events{"connect", "line 200 ok\r\n"}));
    // The proxy's report of the peer becomes the remote address.
    EXPECT_EQ(C.Conn.RemoteAddress, WinSock::inet_addr("192.0.2.7"));
    EXPECT_EQ(C.Conn.RemotePort, 12345);
}

TEST_F(Socks, Socks5UserAndPasswordAcceptedAndRefused) {
    Use(svSocks5, "fred", "secret");
    TIpFakeSocket* F = C.Open("10.1.2.3:119");
    F->TakeWritten();
    F->Feed(Bytes({5, 2}));
    EXPECT_EQ(F->TakeWritten(), Bytes({1, 4}) + "fred" + Bytes({6}) + "secret");
    F->Feed(Bytes({1, 0}));
    EXPECT_EQ(F->TakeWritten(), Bytes({5, 1, 0, 1}) + Target + Port119);

    TRecordingClient D;
    D.SocksServer.Address = "127.0.0.1";
    D.SocksServer.SocksVersion = svSocks5;
    TIpFakeSocket* G = D.Open("10.1.2.3:119");
    G->Feed(Bytes({5, 2, 1, 1}));  // method and refusal in one block
    EXPECT_EQ(D.Events, (Events{"error 1 SOCKS request refused - 1"}));
    EXPECT_TRUE(D.IsActive());
}

TEST_F(Socks, Socks5LongCredentialsAreCutTo255Bytes) {
    Use(svSocks5, std::string(300, 'u'), std::string(256, 'p'));
    TIpFakeSocket* F = C.Open("10.1.2.3:119");
    F->TakeWritten();
    F->Feed(Bytes({5, 2}));
    EXPECT_EQ(F->TakeWritten(),
              Bytes({1, 255}) + std::string(255, 'u') + Bytes({255}) + std::string(255, 'p'));
}

TEST_F(Socks, Socks5MethodsThatCannotGoOnAreErrors) {
    for (int Method : {255, 1, 3}) {
        TRecordingClient D;
        D.SocksServer.Address = "127.0.0.1";
        D.SocksServer.SocksVersion = svSocks5;
        TIpFakeSocket* F = D.Open("10.1.2.3:119");
        F->TakeWritten();
        F->Feed(Bytes({5, Method}));
        const std::string Code = std::to_string(Method);
        EXPECT_EQ(D.Events, (Events{"error " + Code + " SOCKS request refused - " + Code}));
        EXPECT_EQ(F->TakeWritten(), "");
    }
}

TEST_F(Socks, Socks5ConnectRefusedGivesTheProxyCode) {
    Use(svSocks5);
    TIpFakeSocket* F = C.Open("10.1.2.3:119");
    F->Feed(Bytes({5, 0}));
    F->Feed(Bytes({5, 5, 0, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(C.Events, (Events{"error 5 SOCKS request refused - 5"}));
}

// A connect reply is as long as its address type says; byte by byte, nothing of it leaks into
// the data.
TEST_F(Socks, Socks5ConnectReplyLengthFollowsTheAddressType) {
    const std::string Name = "proxy.example";
    const std::string Replies[] = {
        Bytes({5, 0, 0, 3, static_cast<int>(Name.size())}) + Name + Bytes({0, 80}),
        Bytes({5, 0, 0, 4}) + std::string(16, '\x01') + Bytes({0, 80}),
        Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0, 80}),
    };
    for (const std::string& Reply : Replies) {
        TRecordingClient D;
        D.SocksServer.Address = "127.0.0.1";
        D.SocksServer.SocksVersion = svSocks5;
        TIpFakeSocket* F = D.Open("10.1.2.3:119");
        F->Feed(Bytes({5, 0}));
        for (char Ch : Reply + "200 x\r\n") F->Feed(std::string(1, Ch));
        EXPECT_EQ(D.Events, (Events{"connect", "line 200 x\r\n"}));
        F->Feed("a\r\nb\r\n");
        EXPECT_EQ(D.Events.size(), 4u);
    }
}

TEST_F(Socks, Socks5UnknownAddressTypeIsAnError) {
    Use(svSocks5);
    TIpFakeSocket* F = C.Open("10.1.2.3:119");
    F->Feed(Bytes({5, 0}));
    F->Feed(Bytes({5, 0, 0, 9, 1, 2}));
    EXPECT_EQ(C.Events, (Events{"error 8 SOCKS request refused - 8"}));
}

TEST_F(Socks, NoProxyAddressMeansADirectConnection) {
    TIpFakeSocket* F = C.Open("10.1.2.3:119");
    EXPECT_EQ(F->ConnectAddress().sin_addr, WinSock::inet_addr("10.1.2.3"));
    EXPECT_EQ(F->Filter(), nullptr);
    EXPECT_EQ(C.Events, (Events{"connect"}));
    EXPECT_EQ(F->TakeWritten(), "");
}

TEST_F(Socks, TelnetBehindTheProxyFiltersTheBytesAfterTheReply) {
    Use(svSocks4);
    C.SockInits().SocketOptions = soTelnet;
    TIpFakeSocket* F = C.Open("10.1.2.3:23");
    F->TakeWritten();
    F->Feed(Bytes({0, 90, 0, 0, 0, 0, 0, 0, 255, 251, 1}) + "login:\r\n");
    EXPECT_EQ(C.Events, (Events{"connect", "line login:\r\n"}));
    EXPECT_EQ(F->TakeWritten(), Bytes({255, 253, 1}));
    F->PutString(Bytes({'a', 255}) + "\r\n", false);
    EXPECT_EQ(F->TakeWritten(), Bytes({'a', 255, 255}) + "\r\n");
}

}  // namespace

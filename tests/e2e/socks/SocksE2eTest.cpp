// The SOCKS and telnet layers against real servers on 127.0.0.1: Dante as SOCKS 4 and SOCKS 5
// proxy in front of an echo server, and telnetd running a shell (socks-servers.sh).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "netlib/sock/IpSock.h"
#include "netlib/sock/IpTelnet.h"
#include "platform/core/Application.h"
#include "tests/e2e/socks/SocksEnv.h"
#include "tests/support/TestSupport.h"

namespace {

class TClient : public TIpClient {
  public:
    TClient() {
        DefaultPort = 119;
        OnError = [this](TIpSockControl*, SOCKET, int32_t code, const std::string& text) {
            Errors.push_back(std::to_string(code) + " " + text);
        };
        OnStatus = [this](TIpSockControl*, SOCKET, TIpStatusType e, const TIpConnRec&,
                          const TIpSockStatRec&) {
            if (e == stConnect) ++Connects;
            if (e == stDisconnect) ++Closes;
        };
    }
    void DoReadLine(SOCKET, const std::string& line) override {
        Lines.push_back(line);
        Text += line;
    }
    std::vector<std::string> Lines;
    std::string Text;
    std::vector<std::string> Errors;
    int Connects = 0;
    int Closes = 0;
};

class TTerminal : public TIpTelnetTerminal {
  public:
    void WindowSizeBytes(std::string& s) override {
        for (uint16_t V : {Cols, Rows}) {
            s += static_cast<char>(V >> 8);
            s += static_cast<char>(V & 0xFF);
        }
    }
    std::string TelnetTermType() override { return "vt100"; }
    uint16_t Cols = 100;
    uint16_t Rows = 37;
};

class SocksE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        Env = LoadSocksEnv();
        if (Env.empty()) GTEST_SKIP() << "KESTRO_SOCKS_E2E_ENV is not set";
    }
    void UseProxy(TClient& c, TIpSocksVersion version, bool withAuth = false) {
        c.SocksServer.Address = "127.0.0.1";
        c.SocksServer.Port =
            static_cast<uint16_t>(std::stoi(Env[withAuth ? "SOCKS_AUTH_PORT" : "SOCKS_PORT"]));
        c.SocksServer.SocksVersion = version;
        if (withAuth) {
            c.SocksServer.UserCode = Env["SOCKS_USER"];
            c.SocksServer.Password = Env["SOCKS_PASS"];
        }
    }
    // Greeting, a few hundred lines both ways, and the farewell through the proxy.
    void Exchange(TClient& c, const std::string& host) {
        c.Connect(host + ":" + Env["ECHO_PORT"]);
        ASSERT_TRUE(PumpUntil([&] { return !c.Lines.empty() || !c.Errors.empty(); }));
        ASSERT_TRUE(c.Errors.empty()) << c.Errors[0];
        EXPECT_EQ(c.Connects, 1);
        EXPECT_EQ(c.Lines[0], "200 echo ready\r\n");
        std::string Sent;
        for (int I = 0; I < 500; ++I) Sent += "line " + std::to_string(I) + " \xff\x01\r\n";
        c.PutString(c.SocketHandle(), Sent + "QUIT\r\n", false);
        ASSERT_TRUE(PumpUntil([&] { return c.Closes > 0; }));
        EXPECT_EQ(c.Text, "200 echo ready\r\n" + Sent + "205 bye\r\n");
    }
    std::map<std::string, std::string> Env;
};

TEST_F(SocksE2e, Socks4ByAddressAndByName) {
    for (const char* Host : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(Host);
        TClient C;
        UseProxy(C, svSocks4);
        Exchange(C, Host);
    }
}

TEST_F(SocksE2e, Socks5WithoutAuthenticationByAddressAndByName) {
    for (const char* Host : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(Host);
        TClient C;
        UseProxy(C, svSocks5);
        Exchange(C, Host);
    }
}

TEST_F(SocksE2e, Socks5WithUserAndPasswordByAddressAndByName) {
    for (const char* Host : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(Host);
        TClient C;
        UseProxy(C, svSocks5, true);
        Exchange(C, Host);
    }
}

TEST_F(SocksE2e, Socks5WrongPasswordIsRefused) {
    TClient C;
    UseProxy(C, svSocks5, true);
    C.SocksServer.Password = "wrong";
    C.Connect("127.0.0.1:" + Env["ECHO_PORT"]);
    ASSERT_TRUE(PumpUntil([&] { return !C.Errors.empty(); }));
    EXPECT_EQ(C.Errors[0], "1 SOCKS request refused - 1");
    EXPECT_EQ(C.Connects, 0);
}

TEST_F(SocksE2e, RefusedDestinationGivesTheProxyCode) {
    struct TCase {
        TIpSocksVersion Version;
        bool Auth;
        std::string Error;
    };
    const TCase Cases[] = {{svSocks4, false, "91 SOCKS request refused - 91"},
                           {svSocks5, false, "5 SOCKS request refused - 5"},
                           {svSocks5, true, "5 SOCKS request refused - 5"}};
    for (const TCase& K : Cases) {
        TClient C;
        UseProxy(C, K.Version, K.Auth);
        C.Connect("127.0.0.1:" + Env["CLOSED_PORT"]);
        ASSERT_TRUE(PumpUntil([&] { return !C.Errors.empty(); }));
        EXPECT_EQ(C.Errors[0], K.Error);
        EXPECT_EQ(C.Connects, 0);
        C.Disconnect();
    }
}

// telnetd asks for the terminal type and window size before it starts the shell; the shell
// shows what arrived.
void TelnetSession(TClient& c, const std::string& address) {
    TTerminal Term;
    c.SockInits().SocketOptions = soTelnet;
    c.SockInits().ReceiveMode = rmAny;
    c.Connect(address);
    c.SetMasterTerminal(c.SocketHandle(), &Term);
    ASSERT_TRUE(PumpUntil([&] { return c.Text.find("# ") != std::string::npos || c.Closes; }))
        << c.Text;
    ASSERT_TRUE(c.Errors.empty()) << c.Errors[0];
    auto Run = [&](const std::string& command, const std::string& expect) {
        c.Text.clear();
        auto answered = [&] { return c.Text.find(expect) != std::string::npos; };
        c.PutString(c.SocketHandle(), command + "\r\n", false);
        // telnetd may still set the terminal up when the first prompt shows, and that flushes
        // pending input: a command that got no answer is typed once more.
        if (!PumpUntil(answered, 3000)) c.PutString(c.SocketHandle(), command + "\r\n", false);
        EXPECT_TRUE(PumpUntil(answered, 10000)) << "no '" << expect << "' in: " << c.Text;
    };
    // The echo comes after the size; waiting for it sees both.
    Run("stty size; echo T=$TERM", "T=vt100");
    EXPECT_NE(c.Text.find("37 100"), std::string::npos) << c.Text;
    Term.Cols = 132;
    Term.Rows = 50;
    PostMessage(c.Handle(), WM_IPTERMRESIZE, c.SocketHandle(), 0);
    Run("stty size", "50 132");
    // Bytes above 127 and a 255 (doubled on the wire) reach the shell and come back.
    Run("printf '%s\\n' 'x\xe4\xff\xe4y' | od -An -tx1", "78 e4 ff e4 79");
    c.PutString(c.SocketHandle(), "exit\r\n", false);
    EXPECT_TRUE(PumpUntil([&] { return c.Closes > 0; }));
}

TEST_F(SocksE2e, TelnetNegotiatesTerminalTypeAndWindowSize) {
    TClient C;
    TelnetSession(C, "127.0.0.1:" + Env["TELNET_PORT"]);
}

TEST_F(SocksE2e, TelnetThroughSocks5) {
    TClient C;
    UseProxy(C, svSocks5, true);
    TelnetSession(C, "localhost:" + Env["TELNET_PORT"]);
}

}  // namespace

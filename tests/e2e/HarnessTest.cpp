// The fixture's env file read through E2eEnv.h, and every TCP server greeting a raw socket
// (what a protocol client sees first).
#include "tests/e2e/E2eEnv.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <set>
#include <string>

namespace {

// Connects to 127.0.0.1:port and returns what arrives until CRLF, EOF or 10 s.
std::string FirstLine(uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return "socket failed";
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string line;
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        pollfd p{fd, POLLIN, 0};
        char c = 0;
        while (line.find("\r\n") == std::string::npos && poll(&p, 1, 10000) == 1 &&
               read(fd, &c, 1) == 1) {
            line += c;
        }
    } else {
        line = "connect failed";
    }
    close(fd);
    return line;
}

class Harness : public ::testing::Test {
  protected:
    void SetUp() override {
        env_ = e2e::Env::Load();
        if (!env_) {
            GTEST_SKIP() << "KESTRO_E2E_ENV is not set: run through ctest (fixture kestro_e2e)";
        }
    }
    std::optional<e2e::Env> env_;
};

TEST_F(Harness, EnvFileNamesDistinctPortsAndTheLoopbackHost) {
    EXPECT_EQ(env_->Host(), "127.0.0.1");
    std::set<uint16_t> ports;
    int count = 0;
    for (const auto& [key, value] : env_->All()) {
        if (key.size() > 16 && key.compare(key.size() - 5, 5, "_PORT") == 0) {
            ++count;
            ports.insert(env_->Port(key.substr(11, key.size() - 16)));
        }
    }
    EXPECT_EQ(count, 14) << "POP3 SMTP SMTP_AUTH NNTP NNTP_AUTH TIME DAYTIME and 7 FAKE_*";
    EXPECT_EQ(ports.size(), static_cast<size_t>(count));
    EXPECT_EQ(env_->Get("POP3_USER"), env_->Get("KESTRO_E2E_POP3_USER"));
    EXPECT_THROW(env_->Get("NO_SUCH_KEY"), std::runtime_error);
    EXPECT_STREQ(std::getenv("KESTRO_CLOCK"), "none");
}

TEST_F(Harness, EveryLineServerGreets) {
    const struct {
        const char* name;
        const char* prefix;
    } servers[] = {{"POP3", "+OK "},
                   {"SMTP", "220 "},
                   {"SMTP_AUTH", "220 "},
                   {"NNTP", "200 "},
                   {"NNTP_AUTH", "200 "},
                   {"FAKE_CLOSE_POP3", "+OK "},
                   {"FAKE_CLOSE_SMTP", "220 "},
                   {"FAKE_CLOSE_NNTP", "200 "},
                   {"FAKE_DELAY_POP3", "+OK "},
                   {"FAKE_DELAY_SMTP", "220 "},
                   {"FAKE_DELAY_NNTP", "200 "}};
    for (const auto& s : servers) {
        const std::string line = FirstLine(env_->Port(s.name));
        EXPECT_EQ(line.rfind(s.prefix, 0), 0u) << s.name << ": " << line;
        EXPECT_GE(line.size(), 2u);
        EXPECT_EQ(line.substr(line.size() - 2), "\r\n") << s.name;
    }
}

}  // namespace

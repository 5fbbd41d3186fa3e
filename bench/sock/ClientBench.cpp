// Receive throughput of the client socket component next to a plain recv loop.
//
// A server thread on 127.0.0.1 sends the same stream of 80-byte lines (78 characters and CR LF)
// twice: first to a blocking recv loop with a buffer as large as the component's, then to a
// client component that cuts every line and hands it to DoReadLine, as the protocol clients do.
// Usage: sock_client_bench [megabytes]   (default 1024)
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "netlib/sock/IpSock.h"
#include "netlib/sock/Limits.h"
#include "platform/core/Application.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string MakePattern() {
    // 1 MiB of lines; 1 MiB is not a multiple of 80, so the pattern repeats mid-line, which
    // keeps every line 80 bytes long across the repeats only when the total is cut to lines.
    std::string P;
    for (int I = 0; P.size() < (1u << 20); ++I) {
        std::string Line = "line " + std::to_string(I) + " ";
        Line.resize(78, static_cast<char>('a' + I % 26));
        P += Line + "\r\n";
    }
    P.resize((P.size() / 80) * 80);
    return P;
}

class TServer {
  public:
    TServer(const std::string& pattern, uint64_t total) : FPattern(pattern), FTotal(total) {
        FListen = ::socket(AF_INET, SOCK_STREAM, 0);
        int On = 1;
        ::setsockopt(FListen, SOL_SOCKET, SO_REUSEADDR, &On, sizeof(On));
        sockaddr_in A{};
        A.sin_family = AF_INET;
        A.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(FListen, reinterpret_cast<sockaddr*>(&A), sizeof(A));
        socklen_t L = sizeof(A);
        ::getsockname(FListen, reinterpret_cast<sockaddr*>(&A), &L);
        FPort = ntohs(A.sin_port);
        ::listen(FListen, 2);
        FThread = std::thread([this] {
            for (int Conn = 0; Conn < 2; ++Conn) {
                const int Fd = ::accept(FListen, nullptr, nullptr);
                if (Fd < 0) return;
                uint64_t Sent = 0;
                while (Sent < FTotal) {
                    const size_t Len =
                        static_cast<size_t>(std::min<uint64_t>(FPattern.size(), FTotal - Sent));
                    size_t Off = 0;
                    while (Off < Len) {
                        const ssize_t N =
                            ::send(Fd, FPattern.data() + Off, Len - Off, MSG_NOSIGNAL);
                        if (N <= 0) break;
                        Off += static_cast<size_t>(N);
                    }
                    Sent += Len;
                }
                ::close(Fd);
            }
        });
    }
    ~TServer() {
        FThread.join();
        ::close(FListen);
    }
    uint16_t Port() const { return FPort; }

  private:
    const std::string& FPattern;
    uint64_t FTotal;
    int FListen = -1;
    uint16_t FPort = 0;
    std::thread FThread;
};

uint64_t PlainLoop(uint16_t port) {
    const int Fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in A{};
    A.sin_family = AF_INET;
    A.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    A.sin_port = htons(port);
    if (::connect(Fd, reinterpret_cast<sockaddr*>(&A), sizeof(A)) != 0) std::exit(2);
    char Buf[SockLimits::kReceiveBufferSize];
    uint64_t Total = 0;
    for (;;) {
        const ssize_t N = ::recv(Fd, Buf, sizeof(Buf), 0);
        if (N <= 0) break;
        Total += static_cast<uint64_t>(N);
    }
    ::close(Fd);
    return Total;
}

class TBenchClient : public TIpCustomClient {
  public:
    TBenchClient() {
        StatusEvents = 0;
        OnError = [](TIpSockControl*, SOCKET, int32_t, const std::string& text) {
            std::fprintf(stderr, "error: %s\n", text.c_str());
            std::exit(3);
        };
    }
    void DoReadLine(SOCKET, const std::string& line) override {
        ++Lines;
        Bytes += line.size();
        if (line.size() != 80) ++BadLines;
    }
    void DoStatus(SOCKET socket, TIpStatusType event, const TIpConnRec& connection) override {
        TIpCustomClient::DoStatus(socket, event, connection);
        if (event == stDisconnect) Closed = true;
    }
    uint64_t Lines = 0;
    uint64_t Bytes = 0;
    uint64_t BadLines = 0;
    bool Closed = false;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication App(argc, argv);
    const uint64_t Megabytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
    const std::string Pattern = MakePattern();
    // Whole lines only, so that both readers see the same number of 80-byte lines.
    const uint64_t Total = (Megabytes * 1000000 / 80) * 80;
    TServer Server(Pattern, Total);

    auto T0 = Clock::now();
    const uint64_t PlainBytes = PlainLoop(Server.Port());
    const double PlainSecs = std::chrono::duration<double>(Clock::now() - T0).count();

    TBenchClient C;
    T0 = Clock::now();
    C.Connect("127.0.0.1:" + std::to_string(Server.Port()));
    while (!C.Closed) {
        Application.WaitForEvent(INFINITE);
        Application.ProcessMessages();
    }
    const double CompSecs = std::chrono::duration<double>(Clock::now() - T0).count();

    const double PlainRate = PlainBytes / 1e6 / PlainSecs;
    const double CompRate = C.Bytes / 1e6 / CompSecs;
    std::printf("data: %.0f MB of 80-byte lines over 127.0.0.1\n", Total / 1e6);
    std::printf("plain recv loop : %10.1f MB/s  (%llu bytes, %.3f s)\n", PlainRate,
                static_cast<unsigned long long>(PlainBytes), PlainSecs);
    std::printf("client component: %10.1f MB/s  (%llu lines, %llu bytes, %.3f s)\n", CompRate,
                static_cast<unsigned long long>(C.Lines), static_cast<unsigned long long>(C.Bytes),
                CompSecs);
    std::printf("ratio component/plain: %.2f\n", CompRate / PlainRate);
    if (C.Bytes != Total || PlainBytes != Total || C.BadLines != 0) {
        std::printf("MISMATCH: expected %llu bytes, %llu bad lines\n",
                    static_cast<unsigned long long>(Total),
                    static_cast<unsigned long long>(C.BadLines));
        return 1;
    }
    return 0;
}

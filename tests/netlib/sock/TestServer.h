#pragma once
// A one-connection TCP server on 127.0.0.1 for the socket tests.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "tests/support/TestSupport.h"

// Runs the script on its own thread with the accepted connection's descriptor.
class TTestServer {
  public:
    explicit TTestServer(std::function<void(int fd)> script) : FScript(std::move(script)) {
        FListen = LoopbackSocket(SOCK_STREAM, FPort);
        ::listen(FListen, 4);
        FThread = std::thread([this] {
            const int Fd = ::accept(FListen, nullptr, nullptr);
            if (Fd < 0) return;
            FScript(Fd);
            ::close(Fd);
            FDone = true;
        });
    }
    ~TTestServer() {
        ::shutdown(FListen, SHUT_RDWR);
        ::close(FListen);
        if (FThread.joinable()) FThread.join();
    }
    uint16_t Port() const { return FPort; }
    std::string Address() const { return "127.0.0.1:" + std::to_string(FPort); }
    bool Done() const { return FDone; }

    static void SendAll(int fd, const std::string& data) {
        size_t Off = 0;
        while (Off < data.size()) {
            const ssize_t N = ::send(fd, data.data() + Off, data.size() - Off, MSG_NOSIGNAL);
            if (N <= 0) return;
            Off += static_cast<size_t>(N);
        }
    }
    // Reads until the peer closes or until `until` appears; returns what was read.
    static std::string ReadUntil(int fd, const std::string& until = std::string()) {
        std::string In;
        char Buf[65536];
        for (;;) {
            const ssize_t N = ::recv(fd, Buf, sizeof(Buf), 0);
            if (N <= 0) break;
            In.append(Buf, static_cast<size_t>(N));
            if (!until.empty() && In.find(until) != std::string::npos) break;
        }
        return In;
    }

  private:
    std::function<void(int)> FScript;
    int FListen = -1;
    uint16_t FPort = 0;
    std::atomic<bool> FDone{false};
    std::thread FThread;
};

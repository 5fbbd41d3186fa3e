#pragma once
// Pieces every test folder needs: a bounded drive of the message loop, a socket on 127.0.0.1,
// whole-file reads and writes, and the message of the exception a step raises.
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "platform/classes/Exception.h"
#include "platform/core/Application.h"

// Drives the message loop until cond() holds; false when it did not within the bound.
inline bool PumpUntil(const std::function<bool()>& cond, int boundMs = 20000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > end) return false;
        Application.WaitForEvent(50);
        Application.ProcessMessages();
    }
    return true;
}

// A socket of the given type (SOCK_STREAM, SOCK_DGRAM) bound to a free port of 127.0.0.1.
inline int LoopbackSocket(int type, uint16_t& port) {
    const int fd = ::socket(AF_INET, type, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    socklen_t len = sizeof(a);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    return fd;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Text cut into lines of width bytes, each ended by CR LF: an encoded body as a mailer writes it.
inline std::string InLines(const std::string& text, size_t width) {
    std::string lines;
    for (size_t at = 0; at < text.size(); at += width) lines += text.substr(at, width) + "\r\n";
    return lines;
}

// The message of the E that step raises; empty when it raises none.
template <class E = Exception, class F>
std::string ErrorOf(F&& step) {
    try {
        step();
    } catch (const E& e) {
        return e.Message();
    }
    return "";
}

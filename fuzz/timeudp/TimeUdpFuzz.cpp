// The time client over UDP against a server on 127.0.0.1 that answers its request with anything:
// the first byte picks the time service (bit 0: four bytes, else the daytime service) and
// whether the first answer comes from a stranger's port (bit 1); the rest, cut at 0x1E, are the
// datagrams sent back. The request is one datagram to the server. It gets exactly one report:
// the first datagram from the server (the stranger's never counts) read as the time of its
// first four bytes (the time checked by a conversion of the target's own), as the daytime of
// its bytes (as far as the client's buffer holds), as a short answer, or no answer when the
// server sent none.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <QCoreApplication>

#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/support/FuzzInput.h"
#include "netlib/time/IpTime.h"
#include "netlib/time/Limits.h"
#include "platform/core/Application.h"

namespace {

using Fuzz::Fail;

// A datagram socket bound to a free port of 127.0.0.1.
int Loopback(uint16_t& Port) {
    const int Fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in A{};
    A.sin_family = AF_INET;
    A.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (Fd < 0 || ::bind(Fd, reinterpret_cast<sockaddr*>(&A), sizeof(A)) != 0)
        Fail("no datagram socket on 127.0.0.1");
    socklen_t Len = sizeof(A);
    ::getsockname(Fd, reinterpret_cast<sockaddr*>(&A), &Len);
    Port = ntohs(A.sin_port);
    return Fd;
}

struct TServer {
    int Fd = -1, Stranger = -1;
    uint16_t Port = 0;
    TServer() {
        uint16_t Unused = 0;
        Fd = Loopback(Port);
        Stranger = Loopback(Unused);
    }
};

TServer& Server() {
    static TServer Made;
    return Made;
}

// Drives the event loop until Done holds, for at most five seconds.
template <typename T>
bool PumpUntil(const T& Done) {
    const auto End = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!Done()) {
        if (std::chrono::steady_clock::now() > End) return false;
        Application.WaitForEvent(20);
        Application.ProcessMessages();
    }
    return true;
}

uint32_t BigEndian(const std::string& Bytes) {
    return uint32_t(uint8_t(Bytes[0])) << 24 | uint32_t(uint8_t(Bytes[1])) << 16 |
           uint32_t(uint8_t(Bytes[2])) << 8 | uint32_t(uint8_t(Bytes[3]));
}

// The seconds since 1900-01-01 00:00 UTC a time stamp (days since 1899-12-30, the day's time as
// the fraction) stands for, counted without the client's own conversion: through the Unix epoch,
// which lies 25,569 days after the stamp's and 2,208,988,800 seconds after the time service's
// (70 years, 17 of them leap years). Rounded: a stamp holds the second to well within a
// millisecond.
int64_t SecondsSince1900(double Stamp) {
    constexpr int64_t kUnixEpochDay = 25569;
    constexpr int64_t kUnixEpochSeconds = 2208988800;
    return std::llround((Stamp - double(kUnixEpochDay)) * 86400.0) + kUnixEpochSeconds;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    static std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(*Argc, *Argv, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    const bool Time = Data[0] & 1, StrangerFirst = Data[0] & 2;
    const std::vector<std::string> Answers = Fuzz::Pieces(Data + 1, Size - 1);
    TServer& S = Server();
    char Drop[TimeLimits::kDatagramSize];
    while (::recv(S.Fd, Drop, sizeof(Drop), MSG_DONTWAIT) >= 0) {
    }

    TIpTimeClient Client;
    std::vector<double> Times;
    std::vector<std::string> Daytimes;
    std::vector<int32_t> Errors;
    Client.OnTime = [&](TIpCustomTimeClient*, double Stamp) { Times.push_back(Stamp); };
    Client.OnDaytime = [&](TIpCustomTimeClient*, const std::string& Text) {
        Daytimes.push_back(Text);
    };
    Client.OnError = [&](TIpSockControl*, SOCKET, int32_t Code, const std::string&) {
        Errors.push_back(Code);
    };
    const auto Reports = [&] { return Times.size() + Daytimes.size() + Errors.size(); };
    Client.SetSockProtocol(spUdp);
    Client.SetTimeService(Time ? tsTime : tsDaytime);
    Client.SockInits().IdleTimeout = 50;
    Client.Server = "127.0.0.1:" + std::to_string(S.Port);
    Client.RequestTime();

    sockaddr_in From{};
    socklen_t Len = sizeof(From);
    ssize_t Request = -1;
    if (!PumpUntil([&] {
            Request = ::recvfrom(S.Fd, Drop, sizeof(Drop), MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&From), &Len);
            return Request >= 0 || Reports() > 0;
        }))
        Fail("the request sent no datagram");
    if (Reports() > 0) Fail("the request was reported before an answer");
    if (Request != 1) Fail("the request is not one datagram of one byte");

    std::optional<std::string> First;
    for (size_t I = 0; I < Answers.size(); ++I) {
        const bool Stranger = I == 0 && StrangerFirst;
        if (!Stranger && !First) First = Answers[I];
        if (::sendto(Stranger ? S.Stranger : S.Fd, Answers[I].data(), Answers[I].size(), 0,
                     reinterpret_cast<sockaddr*>(&From), Len) < 0)
            return 0;  // too large for a datagram: nothing to check
    }
    if (!PumpUntil([&] { return Reports() > 0; })) Fail("the request got no report");
    for (int I = 0; I < 4; ++I) Application.ProcessMessages();
    if (Reports() != 1) Fail("a request got " + std::to_string(Reports()) + " reports");
    // The report as a text, for the failures below.
    const std::string Got = !Errors.empty() ? "error " + std::to_string(Errors[0])
                            : !Times.empty()
                                ? "time " + std::to_string(Times[0])
                                : "daytime of " + std::to_string(Daytimes[0].size()) + " bytes";

    if (!First) {
        if (Errors != std::vector<int32_t>{kIpTimeNoAnswer})
            Fail("no answer from the server is reported as " + Got);
    } else if (Time) {
        if (First->size() < 4) {
            if (Errors != std::vector<int32_t>{kIpTimeShortAnswer})
                Fail("a time answer of " + std::to_string(First->size()) +
                     " bytes is not reported as short but as " + Got);
        } else if (Times.size() != 1 || SecondsSince1900(Times[0]) != BigEndian(*First)) {
            Fail("the time is not the one of the server's first four bytes: " + Got);
        }
    } else {
        const std::string Expected = First->substr(0, TimeLimits::kDatagramSize);
        if (Daytimes != std::vector<std::string>{Expected})
            Fail("the daytime is not the server's first datagram: " + Got);
    }
    return 0;
}

// The time client over TCP against a server that sends anything: the first byte picks the time
// service (four bytes) or the daytime service (a line); the input's pieces (cut at 0x1E) are the
// server's reads before it closes. Each request gets exactly one report: the time of the first
// four bytes the server sent, the first line it sent, or an error.
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/support/FuzzInput.h"
#include "netlib/sock/IpFakeSocket.h"
#include "netlib/time/IpTime.h"
#include "platform/core/Application.h"

namespace {

using Fuzz::Fail;

void Pump() {
    for (int I = 0; I < 6; ++I) Application.ProcessMessages();
}

uint32_t BigEndian(const std::string& Bytes) {
    return uint32_t(uint8_t(Bytes[0])) << 24 | uint32_t(uint8_t(Bytes[1])) << 16 |
           uint32_t(uint8_t(Bytes[2])) << 8 | uint32_t(uint8_t(Bytes[3]));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    static std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(*Argc, *Argv, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    const bool Time = Data[0] & 1;
    const std::vector<std::string> Pieces = Fuzz::Pieces(Data + 1, Size - 1);
    std::string Stream;
    for (const std::string& Piece : Pieces) Stream += Piece;

    TIpTimeClient Client;
    int Reports = 0;
    std::vector<double> Times;
    std::vector<std::string> Daytimes;
    Client.OnTime = [&](TIpCustomTimeClient*, double Stamp) { ++Reports, Times.push_back(Stamp); };
    Client.OnDaytime = [&](TIpCustomTimeClient*, const std::string& Text) {
        ++Reports, Daytimes.push_back(Text);
    };
    Client.OnError = [&](TIpSockControl*, SOCKET, int32_t, const std::string&) { ++Reports; };
    TIpFakeSocket* Socket = nullptr;
    Client.SetSocketFactory(
        [&](TIpCustomClient& Owner) { return Socket = new TIpFakeSocket(Owner); });
    Client.SetTimeService(Time ? tsTime : tsDaytime);
    Client.Server = "127.0.0.1";
    Client.RequestTime();
    Pump();
    if (!Socket || Client.Socket() != Socket) Fail("the request opened no connection");
    Socket->AcceptConnect();
    Pump();
    for (const std::string& Piece : Pieces) {
        if (Client.Socket() != Socket) break;
        Socket->Feed(Piece);
        Pump();
    }
    if (Client.Socket() == Socket) Socket->PeerClose();
    Pump();

    if (Reports != 1) Fail("a request got " + std::to_string(Reports) + " reports");
    if (!Times.empty() &&
        (Stream.size() < 4 || Times[0] != TIpCustomTimeClient::TimeStampOf(BigEndian(Stream))))
        Fail("the time is not the one of the first four bytes");
    if (!Daytimes.empty() && (Daytimes[0].empty() || Stream.find(Daytimes[0]) == std::string::npos))
        Fail("the daytime is not a line the server sent");
    return 0;
}

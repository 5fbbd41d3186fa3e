// A telnet server that sends anything, in the reads the input's pieces give (cut at 0x1E); the
// first byte says whether a terminal is attached (which answers the window size and terminal
// type). The telnet layer must hold no more of a sub-negotiation than its limit, hand on as data
// no byte 255 that the server did not send doubled, and answer only with whole telnet commands:
// WILL, WONT, DO or DONT with an option, or a sub-negotiation closed by IAC SE.
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "fuzz/support/FuzzInput.h"
#include "netlib/sock/Limits.h"
#include "tests/netlib/sock/FakeProxyClient.h"

namespace {

using namespace IpTelnet;

using Fuzz::Fail;

// The position after the command at At of what the client sent; npos when it is none.
size_t CommandEnd(const std::string& Out, size_t At) {
    if (At + 3 > Out.size() || uint8_t(Out[At]) != IAC) return std::string::npos;
    const uint8_t Command = uint8_t(Out[At + 1]);
    if (Command == WILL || Command == WONT || Command == DO || Command == DONT) return At + 3;
    if (Command != SB) return std::string::npos;
    for (size_t I = At + 3; I + 1 < Out.size(); ++I) {
        if (uint8_t(Out[I]) != IAC) continue;
        if (uint8_t(Out[I + 1]) == SE) return I + 2;
        if (uint8_t(Out[I + 1]) != IAC) return std::string::npos;
        ++I;
    }
    return std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    static std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(*Argc, *Argv, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    TRecordingClient Client;
    Client.SockInits().SocketOptions = soTelnet;
    Client.SockInits().ReceiveMode = rmAny;
    TIpFakeSocket* Socket = Client.Open("10.1.2.3:23");
    TTestTerminal Terminal;
    if (Data[0] & 1) Client.SetMasterTerminal(Socket->Handle(), &Terminal);
    Terminal.HasEmulator = Data[0] & 2;
    auto* Filter = dynamic_cast<TIpTelnetFilter*>(Socket->Filter());
    if (!Filter) Fail("the telnet option gave no telnet layer");

    for (const std::string& Piece : Fuzz::Pieces(Data + 1, Size - 1)) {
        Socket->Feed(Piece);
        if (Filter->HeldBytes() > SockLimits::kTelnetMaxHeld)
            Fail("a sub-negotiation held beyond the limit");
    }
    // A 255 of the data comes doubled: at most half the 255 bytes sent can be data.
    size_t Sent255 = 0;
    for (size_t I = 1; I < Size; ++I) Sent255 += Data[I] == IAC;
    size_t Seen255 = 0;
    for (const std::string& Event : Client.Events)
        if (Event.rfind("line ", 0) == 0)
            for (char C : Event.substr(5)) Seen255 += uint8_t(C) == IAC;
    if (Seen255 > Sent255 / 2) Fail("more 255 bytes handed on than the server sent doubled");

    const std::string Out = Socket->TakeWritten();
    for (size_t At = 0; At < Out.size();) {
        const size_t End = CommandEnd(Out, At);
        if (End == std::string::npos) Fail("an answer that is no whole telnet command");
        At = End;
    }
    return 0;
}

// A SOCKS proxy that answers anything, in the reads the input's pieces give (cut at 0x1E). The
// first byte picks the version (4, 4a, 5), whether a user and password are set and whether the
// target is named or an address. Whatever the proxy sends, the client reports the connection at
// most once and never after a refusal, hands on no data before the connection is made, and what
// it hands on is exactly the end of what the proxy sent: nothing of a reply leaks into the data.
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "fuzz/support/FuzzInput.h"
#include "tests/netlib/sock/FakeProxyClient.h"

namespace {

using Fuzz::Fail;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    static std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(*Argc, *Argv, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    const TIpSocksVersion Versions[] = {svSocks4, svSocks4a, svSocks5};
    TRecordingClient Client;
    Client.SockInits().ReceiveMode = rmAny;
    Client.SocksServer.Address = "127.0.0.1";
    Client.SocksServer.SocksVersion = Versions[Data[0] % 3];
    if (Data[0] & 4) {
        Client.SocksServer.UserCode = "fred";
        Client.SocksServer.Password = "secret";
    }
    TIpFakeSocket* Socket = Client.Open(Data[0] & 8 ? "news.example.org:563" : "10.1.2.3:119");

    std::string Stream;
    for (const std::string& Piece : Fuzz::Pieces(Data + 1, Size - 1)) {
        Stream += Piece;
        if (Client.Socket() == Socket) Socket->Feed(Piece);
    }

    bool Connected = false, Refused = false;
    std::string Handed;
    for (const std::string& Event : Client.Events) {
        if (Event == "connect") {
            if (Connected || Refused) Fail("a connection reported twice or after a refusal");
            Connected = true;
        } else if (Event.rfind("line ", 0) == 0) {
            if (!Connected || Refused) Fail("data handed on without a connection");
            Handed += Event.substr(5);
        } else if (Event.rfind("error ", 0) == 0) {
            if (Connected) Fail("a refusal after the connection was made");
            Refused = true;
        }
    }
    if (Handed.size() > Stream.size() ||
        Stream.compare(Stream.size() - Handed.size(), Handed.size(), Handed) != 0)
        Fail("the data handed on is not the end of what the proxy sent");
    return 0;
}

// Feeds arbitrary bytes from a host to the VT100 emulator, cut into blocks of a size the first
// byte chooses, on a screen whose width the second byte chooses; the replies go out through a
// fake socket. The same bytes then go to the TTY emulator and, as key codes, to the VT100 key
// translation.
#include <QCoreApplication>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "netlib/sock/IpFakeSocket.h"
#include "platform/core/Application.h"
#include "terminal/IpTerm.h"

namespace {

class TFuzzTerminal : public TIpTerminalHost {
  public:
    TFuzzTerminal() {
        Client.SetSocketFactory([this](TIpCustomClient& Owner) {
            Socket = new TIpFakeSocket(Owner);
            return Socket;
        });
        Client.Connect("127.0.0.1:23");
        Socket->AcceptConnect();
    }
    void EmulatorLinked(TIpTerminalEmulator* E) override { Emulator = E; }
    bool HalfDuplex() const override { return true; }
    TIpSockControl* SockControl() const override { return const_cast<TIpClient*>(&Client); }
    SOCKET SocketHandle() const override { return Client.SocketHandle(); }
    bool IsMasterTerminal() const override { return true; }
    void SetColumns(int Columns) override {
        if (Emulator) Emulator->Buffer().tbSetColCount(Columns);
    }
    void Beep() override {}

    TIpClient Client;
    TIpFakeSocket* Socket = nullptr;
    TIpTerminalEmulator* Emulator = nullptr;
};

}  // namespace

// The client component lives on the message loop, which needs the application object.
extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    static std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(*Argc, *Argv, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 2) return 0;
    const size_t Block = Data[0] % 64 + 1;
    const int Columns = 2 + Data[1] % 140;
    Data += 2;
    Size -= 2;
    TFuzzTerminal Host;
    TIpVT100Emulator Vt;
    Vt.SetTerminal(&Host);
    Vt.Buffer().tbSetColCount(Columns);
    for (size_t At = 0; At < Size; At += Block) {
        Vt.ProcessBlock(Data + At, std::min(Block, Size - At));
        Host.Socket->TakeWritten();
    }
    for (int Row = 1; Row <= Vt.Buffer().RowCount(); ++Row)
        Vt.RowRuns(Row, 1, Vt.Buffer().ColCount(), Row % 2 == 0);
    for (size_t At = 0; At + 1 < Size && At < 64; At += 2) {
        uint16_t Key = uint16_t(Data[At] | Data[At + 1] << 8);
        Vt.KeyDown(Key, TShiftState(Data[At] & 7));
    }
    TIpTTYEmulator Tty;
    Tty.ProcessBlock(Data, Size);
    return 0;
}

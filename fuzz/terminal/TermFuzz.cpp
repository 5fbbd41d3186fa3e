// Feeds arbitrary bytes from a host to the VT100 emulator, cut into blocks of a size the first
// byte chooses, on a screen whose width the second byte chooses; the replies go out through a
// fake socket. The same bytes then go to the TTY emulator and, as key codes, to the VT100 key
// translation. After every block the cursor must be on the screen; at the end every row of the
// screen must paint as runs side by side that cover exactly its width.
#include <QCoreApplication>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

[[noreturn]] void Fail(const char* What, int Row, int Col) {
    std::fprintf(stderr, "%s (row %d, column %d)\n", What, Row, Col);
    std::abort();
}

void CheckCursor(TIpTerminalBuffer& B) {
    if (B.ScreenCursorRow() < 1 || B.ScreenCursorRow() > B.RowCount() || B.CursorCol() < 1 ||
        B.CursorCol() > B.ColCount())
        Fail("the cursor left the screen", B.ScreenCursorRow(), B.CursorCol());
}

void CheckScreen(TIpTerminalEmulator& Emulator, bool VT100) {
    TIpTerminalBuffer& B = Emulator.Buffer();
    CheckCursor(B);
    for (int Row = 1; Row <= B.RowCount(); ++Row) {
        int Next = 1;
        bool Double = false;
        for (const TIpPaintRun& Run : Emulator.RowRuns(Row, 1, B.ColCount(), Row % 2 == 0)) {
            if (Run.Row != Row || Run.Column != Next || Run.Count < 1)
                Fail("a row's runs are not side by side", Row, Run.Column);
            Next += Run.Count;
            Double = Run.DoubleWidth;
        }
        // A double-width line holds half as many cells, each twice as wide.
        const int Width = VT100 && Double ? (B.ColCount() + 1) / 2 : B.ColCount();
        if (Next - 1 != Width) Fail("a row's runs do not cover its width", Row, Next - 1);
    }
}

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
        CheckCursor(Vt.Buffer());
    }
    CheckScreen(Vt, true);
    for (size_t At = 0; At + 1 < Size && At < 64; At += 2) {
        uint16_t Key = uint16_t(Data[At] | Data[At + 1] << 8);
        Vt.KeyDown(Key, TShiftState::FromBits(Data[At] & 7));
    }
    CheckScreen(Vt, true);
    TIpTTYEmulator Tty;
    Tty.ProcessBlock(Data, Size);
    CheckScreen(Tty, false);
    return 0;
}

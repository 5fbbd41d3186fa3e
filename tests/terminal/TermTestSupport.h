#pragma once
// A stand-in for the terminal control in emulator tests: a real client socket component with a
// fake socket behind it, so replies and keys arrive as the bytes a server would read; and text
// dumps of a buffer's screen, history and attributes.
#include <string>
#include <vector>

#include "netlib/sock/IpFakeSocket.h"
#include "terminal/IpTerm.h"

class TFakeTerminal : public TIpTerminalHost {
  public:
    TFakeTerminal() {
        Client.SetSocketFactory([this](TIpCustomClient& Owner) {
            Socket = new TIpFakeSocket(Owner);
            return Socket;
        });
    }

    // Connects the socket; the terminal becomes its master unless told otherwise.
    void Connect(bool AsMaster = true) {
        Client.Connect("127.0.0.1:23");
        Socket->AcceptConnect();
        Master = AsMaster;
    }
    // What went out on the socket since the last call.
    std::string Sent() { return Socket ? Socket->TakeWritten() : std::string(); }

    void EmulatorLinked(TIpTerminalEmulator* E) override { Emulator = E; }
    bool HalfDuplex() const override { return Half; }
    TIpSockControl* SockControl() const override { return const_cast<TIpClient*>(&Client); }
    SOCKET SocketHandle() const override { return Client.SocketHandle(); }
    bool IsMasterTerminal() const override { return Master; }
    void SetColumns(int Columns) override {
        ColumnRequests.push_back(Columns);
        if (Emulator) Emulator->Buffer().tbSetColCount(Columns);
    }
    void Beep() override { ++Beeps; }
    void CursorMoved(int Row, int Col) override { LastCursor = {Row, Col}; }
    void RestoreNumLock() override { ++NumLockRestores; }

    TIpClient Client;
    TIpFakeSocket* Socket = nullptr;
    TIpTerminalEmulator* Emulator = nullptr;
    bool Half = false;
    bool Master = false;
    int Beeps = 0;
    int NumLockRestores = 0;
    std::vector<int> ColumnRequests;
    std::pair<int, int> LastCursor{0, 0};
};

// Rows First..Last (1-based screen rows; 0 and below are history), one line each, trailing
// blanks cut.
inline std::string Rows(TIpTerminalBuffer& B, int First, int Last) {
    std::string Out;
    for (int Row = First; Row <= Last; ++Row) {
        std::string Line;
        for (int Col = 1; Col <= B.ColCount(); ++Col) {
            const int Abs = B.SVRowCount() - B.RowCount() + Row - 1;
            Line.push_back(Abs < 0 ? '?' : char(B.CharAt(Row, Col)));
        }
        Line.erase(Line.find_last_not_of(' ') + 1);
        Out += Line + "\n";
    }
    return Out;
}

inline std::string Screen(TIpTerminalBuffer& B) {
    return Rows(B, 1, B.RowCount());
}

// The screen's attribute bytes, one character per cell: "." for 0, then 1-9, a-z, A-Z for 1 to
// 61; trailing dots cut.
inline std::string Attrs(TIpTerminalBuffer& B) {
    std::string Out;
    for (int Row = 1; Row <= B.RowCount(); ++Row) {
        std::string Line;
        for (int Col = 1; Col <= B.ColCount(); ++Col) {
            const uint8_t A = B.AttrAt(Row, Col);
            const char* Digits = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
            Line.push_back(A == 0 ? '.' : A < 62 ? Digits[A] : '#');
        }
        Line.erase(Line.find_last_not_of('.') + 1);
        Out += Line + "\n";
    }
    return Out;
}

inline std::string Cursor(TIpTerminalBuffer& B) {
    return std::to_string(B.CursorRow()) + "," + std::to_string(B.CursorCol());
}

inline void Feed(TIpTerminalEmulator& E, const std::string& Bytes) {
    E.ProcessBlock(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size());
}

inline void Write(TIpTerminalBuffer& B, const std::string& Text) {
    for (const char C : Text) B.WriteChar(uint8_t(C));
}

// A small buffer for readable dumps.
inline void SmallScreen(TIpTerminalBuffer& B, int Cols, int Rows, int History) {
    B.tbSetSVRowCount(Rows + History);
    B.tbSetColCount(Cols);
    B.tbSetRowCount(Rows);
    B.SetCursorPosition(1, 1);
}

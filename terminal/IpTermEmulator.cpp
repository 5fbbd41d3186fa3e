#include "terminal/IpTermEmulator.h"

#include <algorithm>
#include <utility>

#include "netlib/sock/IpSock.h"

// --- registry ---------------------------------------------------------------------------------

namespace {

using TLink = std::pair<TIpTerminalHost*, TIpTerminalEmulator*>;

// The user-interface thread is the only one that touches it.
std::vector<TLink>& Links() {
    static std::vector<TLink> List;
    return List;
}

std::vector<TLink>::iterator FindLink(TIpTerminalHost* Terminal) {
    return std::find_if(Links().begin(), Links().end(),
                        [Terminal](const TLink& L) { return L.first == Terminal; });
}

}  // namespace

void IpTermRegistryLink(TIpTerminalHost* Terminal, TIpTerminalEmulator* Emulator) {
    if (!Terminal || !Emulator || FindLink(Terminal) != Links().end()) return;
    Links().emplace_back(Terminal, Emulator);
    Terminal->EmulatorLinked(Emulator);
    Emulator->SetTerminal(Terminal);
}

void IpTermRegistryUnlink(TIpTerminalHost* Terminal, bool Notify) {
    const auto It = FindLink(Terminal);
    if (It == Links().end()) return;
    TIpTerminalEmulator* Emulator = It->second;
    Links().erase(It);
    if (!Notify) return;
    Terminal->EmulatorLinked(nullptr);
    Emulator->SetTerminal(nullptr);
}

TIpTerminalEmulator* IpTermRegistryEmulator(TIpTerminalHost* Terminal) {
    const auto It = FindLink(Terminal);
    return It == Links().end() ? nullptr : It->second;
}

// --- emulator base ----------------------------------------------------------------------------

TIpTerminalEmulator::TIpTerminalEmulator(TComponent* Owner) : TComponent(Owner) {}

TIpTerminalEmulator::~TIpTerminalEmulator() {
    if (!FIsDefault) SetTerminal(nullptr);
}

void TIpTerminalEmulator::SetBuffer(std::unique_ptr<TIpTerminalBuffer> Buffer) {
    FBuffer = std::move(Buffer);
    RouteCursorMoved();
}

// The buffer reports every cursor step of a written run to an assigned event, so it is only
// assigned while there is a terminal to tell.
void TIpTerminalEmulator::RouteCursorMoved() {
    if (!FBuffer) return;
    if (!FTerminal) {
        FBuffer->OnCursorMoved = nullptr;
        return;
    }
    if (FBuffer->OnCursorMoved) return;
    FBuffer->OnCursorMoved = [this](TIpTerminalBuffer*, int Row, int Col) {
        if (FTerminal) FTerminal->CursorMoved(Row, Col);
    };
}

void TIpTerminalEmulator::SetTerminal(TIpTerminalHost* Terminal) {
    if (Terminal == FTerminal) return;
    if (FTerminal && !FIsDefault) {
        TIpTerminalHost* Old = FTerminal;
        FTerminal = nullptr;
        IpTermRegistryUnlink(Old, true);
    }
    FTerminal = Terminal;
    RouteCursorMoved();
    if (!Terminal || FIsDefault) return;
    TIpTerminalEmulator* Current = IpTermRegistryEmulator(Terminal);
    if (Current && Current != this) IpTermRegistryUnlink(Terminal, true);
    IpTermRegistryLink(Terminal, this);
}

void TIpTerminalEmulator::TerminalRemoved(TIpTerminalHost* Terminal) {
    if (Terminal != FTerminal) return;
    FTerminal = nullptr;
    RouteCursorMoved();
}

void TIpTerminalEmulator::TerminalInserted(TIpTerminalHost* Terminal) {
    if (!FTerminal) SetTerminal(Terminal);
}

void TIpTerminalEmulator::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    auto* Terminal = dynamic_cast<TIpTerminalHost*>(AComponent);
    if (!Terminal || FIsDefault) return;
    if (Operation == opRemove) TerminalRemoved(Terminal);
    if (Operation == opInsert && !ComponentState().Contains(csDestroying))
        TerminalInserted(Terminal);
}

const std::vector<TIpBlinkRegion>& TIpTerminalEmulator::BlinkRegions() const {
    static const std::vector<TIpBlinkRegion> None;
    return None;
}

bool TIpTerminalEmulator::NeedsRepaint() {
    const bool Moved = FBuffer->HasCursorMoved();
    return Moved || FBuffer->HasInvalidRect();
}

void TIpTerminalEmulator::SendByte(uint8_t Byte, bool EchoAllowed) {
    if (!FTerminal) return;
    if (EchoAllowed && FTerminal->HalfDuplex()) ProcessBlock(&Byte, 1);
    TIpSockControl* Control = FTerminal->SockControl();
    const SOCKET Socket = FTerminal->SocketHandle();
    if (Control && Socket != INVALID_SOCKET && Control->GetSocket(Socket, false))
        Control->PutBlock(Socket, &Byte, 1, false);
}

void TIpTerminalEmulator::SendReply(const std::string& Text) {
    if (!FTerminal || !FTerminal->IsMasterTerminal()) return;
    TIpSockControl* Control = FTerminal->SockControl();
    const SOCKET Socket = FTerminal->SocketHandle();
    if (Control && Socket != INVALID_SOCKET && Control->GetSocket(Socket, false))
        Control->PutString(Socket, Text, false);
}

void TIpTerminalEmulator::KeyDown(uint16_t&, TShiftState) {}

void TIpTerminalEmulator::KeyPress(char) {}

void TIpTerminalEmulator::ProcessBlock(const uint8_t*, size_t) {}

void TIpTerminalEmulator::CellColors(uint8_t Attr, uint32_t Fore, uint32_t Back, bool ReverseScreen,
                                     uint32_t& OutFore, uint32_t& OutBack) {
    const int Flips = ((Attr >> 4) & 1) + ((Attr >> 6) & 1) + (ReverseScreen ? 1 : 0);
    if (Flips % 2 == 1) std::swap(Fore, Back);
    if (Attr & 0x20) {
        Fore = Back;
    } else if (Attr & 0x01) {
        uint32_t Bright = 0;
        for (int Shift = 0; Shift < 24; Shift += 8)
            Bright |= std::min<uint32_t>(((Fore >> Shift) & 0xFF) + 128, 255) << Shift;
        Fore = Bright;
    }
    OutFore = Fore;
    OutBack = Back;
}

// Runs of equal colours and attributes; the text of a run is collected in a line as long as
// the run, whatever the column count.
std::vector<TIpPaintRun> TIpTerminalEmulator::RowRuns(int Row, int FirstCol, int LastCol,
                                                      bool WithText) {
    std::vector<TIpPaintRun> Runs;
    TIpTerminalBuffer& B = *FBuffer;
    if (Row < FirstBufferRow() || Row > B.RowCount()) return Runs;
    FirstCol = std::max(FirstCol, 1);
    LastCol = std::min(LastCol, B.ColCount());
    const TIpTermRowCells Cells(B, Row);
    for (int Col = FirstCol; Col <= LastCol;) {
        const uint8_t Attr = Cells.Attr(Col);
        const uint32_t Fore = Cells.ForeColor(Col), Back = Cells.BackColor(Col);
        int End = Col;
        std::string Text;
        while (End <= LastCol && Cells.Attr(End) == Attr && Cells.ForeColor(End) == Fore &&
               Cells.BackColor(End) == Back)
            Text.push_back(char(Cells.Char(End++)));
        TIpPaintRun Run;
        Run.Row = Row;
        Run.Column = Col;
        Run.Count = End - Col;
        CellColors(Attr, Fore, Back, false, Run.ForeColor, Run.BackColor);
        Run.Underline = Attr & 0x02;
        Run.StrikeThrough = Attr & 0x04;
        Run.WithText = WithText;
        if (WithText) Run.Script.push_back({"<Default>", std::move(Text)});
        Runs.push_back(std::move(Run));
        Col = End;
    }
    return Runs;
}

// --- TTY --------------------------------------------------------------------------------------

TIpTTYEmulator::TIpTTYEmulator(TComponent* Owner) : TIpTerminalEmulator(Owner) {
    SetTelnetTermType("dumb");
    SetBuffer(std::make_unique<TIpTerminalBuffer>(false));
}

bool TIpTTYEmulator::NeedsRepaint() {
    const bool Moved = Buffer().HasCursorMoved();
    return Moved || RepaintAll() || Buffer().HasInvalidRect();
}

void TIpTTYEmulator::ClearIntoHistory() {
    Buffer().ClearIntoHistory();
}

void TIpTTYEmulator::ClearScreenAndHome() {
    Buffer().ClearScreen();
}

// Backspace goes out as DEL, which hosts take as erase.
void TIpTTYEmulator::KeyPress(char Ch) {
    SendByte(Ch == 8 ? 127 : uint8_t(Ch), true);
}

void TIpTTYEmulator::ProcessBlock(const uint8_t* Data, size_t Count) {
    TIpTerminalBuffer& B = Buffer();
    for (size_t I = 0; I < Count; ++I) {
        const uint8_t Ch = Data[I];
        if (Ch >= 32) {
            size_t Run = 1;
            while (I + Run < Count && Data[I + Run] >= 32) ++Run;
            B.WriteChars(Data + I, Run);
            I += Run - 1;
            continue;
        }
        switch (Ch) {
            case 7:
                if (Terminal()) Terminal()->Beep();
                break;
            case 8:
                B.MoveCursorLeft(false, false);
                break;
            case 9:
                B.DoHorzTab();
                break;
            case 10:
                B.DoLineFeed();
                break;
            case 13:
                B.DoCarriageReturn();
                break;
            default:
                break;
        }
    }
}

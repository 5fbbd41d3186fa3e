#include "terminal/IpVT100.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint8_t ESC = 0x1B;

// SGR colours 30-37 and 40-47.
constexpr uint32_t kColors[8] = {
    IpTermRGB(0x00, 0x00, 0x00), IpTermRGB(0x80, 0x00, 0x00), IpTermRGB(0x00, 0x80, 0x00),
    IpTermRGB(0x80, 0x80, 0x00), IpTermRGB(0x00, 0x00, 0x80), IpTermRGB(0x80, 0x00, 0x80),
    IpTermRGB(0x00, 0x80, 0x80), IpTermRGB(0xC0, 0xC0, 0xC0),
};

// The attribute bit each SGR value sets, 0 for none. 22 clears bold; 24, 25, 27 and 28 clear
// what 4, 5, 7 and 8 set.
uint8_t SgrBit(int Value) {
    switch (Value) {
        case 1:
            return IpTermAttr::Bold;
        case 4:
            return IpTermAttr::Underline;
        case 5:
            return IpTermAttr::Blink;
        case 7:
            return IpTermAttr::Reverse;
        case 8:
            return IpTermAttr::Invisible;
        default:
            return 0;
    }
}

// The box-drawing bytes 176 to 218 of code page 437 as DEC special-graphics characters.
constexpr char kBoxDrawing[] = "aaaxuuukkuxkjjjkmvwtqnttmlvwtqnvvwwmmllnnjl";
static_assert(sizeof kBoxDrawing - 1 == 218 - 176 + 1);

std::string Hex2(uint16_t Key) {
    char Text[8];
    std::snprintf(Text, sizeof Text, "\\x%02X", unsigned(Key));
    return Text;
}

int HexDigit(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}

}  // namespace

const char* IpVT100CharSetName(uint8_t CharSet) {
    switch (CharSet) {
        case csUK:
            return "VT100-UK";
        case csLineDraw:
            return "VT100-linedraw";
        case csROM1:
            return "VT100-ROM1";
        case csROM2:
            return "VT100-ROM2";
        default:
            return "VT100-USASCII";
    }
}

TIpVT100Emulator::TIpVT100Emulator(TComponent* Owner, const TResourceModule* Module)
    : TIpTerminalEmulator(Owner) {
    SetTelnetTermType("vt100");
    SetBuffer(std::make_unique<TIpTerminalBuffer>(false));
    SetParser(std::make_unique<TIpVT100Parser>(false));
    FLineAttrs = std::make_unique<TIpLineAttrArray>(Buffer());
    Buffer().OnScroll = [this](TIpTerminalBuffer*, int Count, int First, int Last) {
        FLineAttrs->Scroll(Count, First, Last);
    };
    const TResourceModule& From = Module ? *Module : MainResourceModule();
    FKeyMap.LoadFromRes(From, "IPVT100KeyMap");
    FCharSetMap.LoadFromRes(From, "IPVT100CharSet");
}

TIpVT100Emulator::~TIpVT100Emulator() {
    Buffer().OnScroll = nullptr;
}

bool TIpVT100Emulator::NeedsRepaint() {
    const bool Moved = Buffer().HasCursorMoved();
    return Buffer().HasInvalidRect() || RepaintAll() || Moved;
}

void TIpVT100Emulator::ClearIntoHistory() {
    Buffer().ClearIntoHistory();
}

void TIpVT100Emulator::ClearScreenAndHome() {
    Buffer().ClearScreen();
}

// --- received data ----------------------------------------------------------------------------

// Runs of displayable characters go to the buffer whole: most of what a host sends is text.
void TIpVT100Emulator::ProcessBlock(const uint8_t* Data, size_t Count) {
    TIpVT100Parser& P = VT100Parser();
    for (size_t I = 0; I < Count; ++I) {
        if (const size_t Run = P.TakeChars(Data + I, Count - I)) {
            Buffer().WriteChars(Data + I, Run);
            I += Run - 1;
            continue;
        }
        if (const size_t Part = P.TakeSequenceBytes(Data + I, Count - I)) {
            I += Part - 1;
            continue;
        }
        switch (P.ProcessChar(Data[I])) {
            case prChar:
                Buffer().WriteChar(Data[I]);
                break;
            case prHighChar:
                WriteHighChar(Data[I]);
                break;
            case prCommand:
                Execute();
                break;
            default:
                break;
        }
    }
    if (Buffer().HasInvalidRect()) RebuildBlinkRegions();
}

// Without DisplayUpperASCII the box-drawing bytes of code page 437 show as line drawing; the
// other high bytes are dropped.
void TIpVT100Emulator::WriteHighChar(uint8_t Ch) {
    TIpTerminalBuffer& B = Buffer();
    if (FDisplayUpperASCII) return B.WriteChar(Ch);
    if (Ch < 176 || Ch > 218) return;
    const uint8_t Current = B.CharSet();
    B.SetCharSet(csLineDraw);
    B.WriteChar(uint8_t(kBoxDrawing[Ch - 176]));
    B.SetCharSet(Current);
}

int TIpVT100Emulator::Count(int Index) const {
    const int N = const_cast<TIpVT100Emulator*>(this)->VT100Parser().GetArgument(Index);
    return N <= 0 ? 1 : N;
}

void TIpVT100Emulator::Execute() {
    TIpVT100Parser& P = VT100Parser();
    TIpTerminalBuffer& B = Buffer();
    const int Args = P.ArgumentCount();
    const int Arg0 = P.GetArgument(0);
    switch (P.Command()) {
        case tcCUP:
            if (Args == 2) B.SetCursorPosition(Arg0, P.GetArgument(1));
            break;
        case tcCUU:
            if (Args == 1) B.MoveCursorUp(false, Count(0));
            break;
        case tcCUD:
            if (Args == 1) B.MoveCursorDown(false, Count(0));
            break;
        case tcCUF:
            if (Args == 1) B.MoveCursorRight(false, false, Count(0));
            break;
        case tcCUB:
            if (Args == 1) B.MoveCursorLeft(false, false, Count(0));
            break;
        case tcSM:
            SetMode(true);
            break;
        case tcRM:
            SetMode(false);
            break;
        case tcSGR:
            SelectGraphicRendition();
            break;
        case tcDECSC:
            SaveCursor();
            break;
        case tcDECRC:
            RestoreCursor();
            break;
        case tcDSR:
            if (Args == 1) StatusReport(Arg0);
            break;
        case tcHT:
            for (int I = std::min(Count(0), B.ColCount()); I > 0; --I) B.DoHorzTab();
            break;
        case tcVT:
            for (int I = std::min(Count(0), B.RowCount()); I > 0; --I) B.DoVertTab();
            break;
        case tcDA:
            if (Args == 1 && Arg0 == 0) SendReply("\x1b[?1;0c");
            if (Args == 1 && Arg0 == 52) SendReply("\x1b/Z");
            break;
        case tcDCH:
            B.DeleteChars(Count(0));
            break;
        case tcDL:
            B.DeleteLines(Count(0));
            break;
        case tcECH:
            B.EraseChars(Count(0));
            break;
        case tcED:
            if (Arg0 == 0) B.EraseToEOS();
            if (Arg0 == 1) B.EraseFromBOS();
            if (Arg0 == 2) B.ClearIntoHistory();
            break;
        case tcEL:
            if (Arg0 == 0) B.EraseToEOL();
            if (Arg0 == 1) B.EraseFromBOL();
            if (Arg0 == 2) B.EraseLine();
            break;
        case tcHTS:
            B.SetHorzTabStop();
            break;
        case tcICH:
            B.InsertChars(Count(0));
            break;
        case tcIL:
            B.InsertLines(Count(0));
            break;
        case tcNEL:
            B.DoLineFeed();
            if (!B.UseNewLineMode()) B.DoCarriageReturn();
            break;
        case tcRI:
            B.MoveCursorUp(true);
            break;
        case tcRIS:
            Reset();
            break;
        case tcTBC:
            if (Arg0 == 0) B.ClearHorzTabStop();
            if (Arg0 == 3) {
                B.ClearAllHorzTabStops();
                B.ClearAllVertTabStops();
            }
            break;
        case tcDECSTBM:
            SetScrollRegion();
            break;
        case tcENQ:
            SendReply(FAnswerback);
            break;
        case tcBEL:
            if (Terminal()) Terminal()->Beep();
            break;
        case tcBS:
            B.DoBackspace();
            break;
        case tcLF:
            B.DoLineFeed();
            break;
        case tcCR:
            B.DoCarriageReturn();
            break;
        case tcSO:
            FShiftedOut = true;
            B.SetCharSet(FANSIMode ? FG1CharSet : uint8_t(csLineDraw));
            break;
        case tcSI:
            FShiftedOut = false;
            B.SetCharSet(FANSIMode ? FG0CharSet : uint8_t(csUSASCII));
            break;
        case tcIND:
            B.MoveCursorDown(true);
            break;
        case tcDECALN: {
            // The screen fills with E by clearing it into the history with E as the blank.
            const uint16_t Blank = B.DefaultChar();
            B.SetDefaultChar('E');
            B.ClearIntoHistory();
            B.SetDefaultChar(Blank);
            break;
        }
        case tcDECDHL:
            SetLineAttr(Arg0 == 0 ? 1 : 2);
            break;
        case tcDECDWL:
            SetLineAttr(3);
            break;
        case tcDECSWL:
            SetLineAttr(0);
            break;
        case tcDECLL:
            for (int I = 0; I < Args; ++I) {
                const int Led = P.GetArgument(I);
                if (Led == 0) FLEDs = 0;
                if (Led >= 1 && Led <= 4) FLEDs |= uint8_t(1 << (Led - 1));
            }
            break;
        case tcDECREQTPARM: {
            const int Sol = Arg0 == 0 || Arg0 == 1 ? Arg0 : 1;
            char Reply[48];
            std::snprintf(Reply, sizeof Reply, "\x1b[%d;%d;%d;%d;%d;%d;%dx", Sol + 2, 1, 1, 120,
                          120, 1, 0);
            SendReply(Reply);
            break;
        }
        case tcSCS:
            if (Args == 2) SelectCharSet(Arg0, P.GetArgument(1));
            break;
        default:
            break;
    }
}

void TIpVT100Emulator::SetMode(bool On) {
    TIpVT100Parser& P = VT100Parser();
    if (P.ArgumentCount() == 1) {
        if (P.GetArgument(0) == 4) {
            FInsertMode = On;
            Buffer().SetUseInsertMode(On);
        } else if (P.GetArgument(0) == 20) {
            FNewLineMode = On;
            Buffer().SetUseNewLineMode(On);
        }
    } else if (P.ArgumentCount() == 2 && P.GetArgument(0) == kArgPrivate) {
        SetDECMode(P.GetArgument(1), On);
    }
}

void TIpVT100Emulator::SetDECMode(int Mode, bool On) {
    switch (Mode) {
        case 1:
            FCursorKeyMode = On;
            break;
        case 2:
            FANSIMode = On;
            VT100Parser().SetInVT52Mode(!On);
            break;
        case 3:
            // A VT100 erases the screen when it changes its width, and hosts count on it. The
            // old screen goes into the history, as an erased display does here.
            FCol132Mode = On;
            Buffer().ClearIntoHistory();
            SetColumns(On ? 132 : 80);
            Buffer().SetCursorPosition(1, 1);
            break;
        case 4:
            FSmoothScroll = On;
            break;
        case 5:
            if (FReverseScreen != On) {
                FReverseScreen = On;
                SetRepaintAll();
                Buffer().InvalidateScreen();
            }
            break;
        case 6:
            FOriginMode = On;
            Buffer().SetUseAbsAddress(!On);
            break;
        case 7:
            FAutoWrap = On;
            Buffer().SetUseAutoWrap(On);
            break;
        case 8:
            FAutoRepeat = On;
            break;
        case 9:
            FInterlace = On;
            break;
        case 999:
            FKeypadMode = On;
            break;
        default:
            break;
    }
}

void TIpVT100Emulator::SelectGraphicRendition() {
    TIpVT100Parser& P = VT100Parser();
    TIpTerminalBuffer& B = Buffer();
    for (int I = 0; I < P.ArgumentCount(); ++I) {
        const int Value = P.GetArgument(I);
        if (Value == 0) {
            B.SetAttr(0);
            B.SetForeColor(B.DefaultForeColor());
            B.SetBackColor(B.DefaultBackColor());
        } else if (const uint8_t Bit = SgrBit(Value)) {
            B.SetAttr(B.Attr() | Bit);
        } else if (const uint8_t Off = Value == 22  ? IpTermAttr::Bold
                                       : Value > 22 ? SgrBit(Value - 20)
                                                    : 0) {
            B.SetAttr(B.Attr() & uint8_t(~Off));
        } else if (Value >= 30 && Value <= 37) {
            B.SetForeColor(kColors[Value - 30]);
        } else if (Value >= 40 && Value <= 47) {
            B.SetBackColor(kColors[Value - 40]);
        }
    }
}

// The position is kept as a screen position: the rows may scroll into the history meanwhile,
// and a restore must not take the cursor there.
void TIpVT100Emulator::SaveCursor() {
    TIpTerminalBuffer& B = Buffer();
    FSaved = {B.Attr(),      B.BackColor(), B.CharSet(),
              B.CursorCol(), B.ForeColor(), B.ScreenCursorRow()};
}

void TIpVT100Emulator::RestoreCursor() {
    TIpTerminalBuffer& B = Buffer();
    B.SetAttr(FSaved.Attr);
    B.SetBackColor(FSaved.BackColor);
    B.SetCharSet(FSaved.CharSet);
    B.SetScreenCursor(FSaved.Row, FSaved.Col);
    B.SetForeColor(FSaved.ForeColor);
}

void TIpVT100Emulator::StatusReport(int Request) {
    if (Request == 5) {
        SendReply("\x1b[0n");
    } else if (Request == 6) {
        char Reply[32];
        std::snprintf(Reply, sizeof Reply, "\x1b[%d;%dR", Buffer().CursorRow(),
                      Buffer().CursorCol());
        SendReply(Reply);
    }
}

// The host chooses the rows; a bottom below the screen is taken as the screen's last row, and
// a region of less than two rows is refused, as a VT100 refuses it.
void TIpVT100Emulator::SetScrollRegion() {
    TIpVT100Parser& P = VT100Parser();
    const int Rows = Buffer().RowCount();
    const int First = P.GetArgument(0);
    if (First == kArgPrivate) return;
    const int Top = First <= 0 ? 1 : First;
    const int Second = P.ArgumentCount() >= 2 ? P.GetArgument(1) : 0;
    const int Bottom = Second <= 0 ? Rows : std::min(Second, Rows);
    if (Top >= Bottom) return;
    Buffer().SetScrollRegion(Top, Bottom);
}

void TIpVT100Emulator::SelectCharSet(int Set, int Code) {
    int CharSet = -1;
    switch (Code) {
        case 'A':
            CharSet = csUK;
            break;
        case 'B':
            CharSet = csUSASCII;
            break;
        case 0:
            CharSet = csLineDraw;
            break;
        case 1:
            CharSet = csROM1;
            break;
        case 2:
            CharSet = csROM2;
            break;
        default:
            return;
    }
    if (Set == 0) FG0CharSet = uint8_t(CharSet);
    if (Set == 1) FG1CharSet = uint8_t(CharSet);
    if ((Set == 0 && !FShiftedOut) || (Set == 1 && FShiftedOut))
        Buffer().SetCharSet(uint8_t(CharSet));
}

void TIpVT100Emulator::SetLineAttr(uint8_t Value) {
    const int Row = Buffer().ScreenCursorRow();
    FLineAttrs->SetAttr(Row, Value);
    Buffer().InvalidateRect({1, Row, Buffer().ColCount(), Row});
}

void TIpVT100Emulator::SetColumns(int Columns) {
    if (Terminal())
        Terminal()->SetColumns(Columns);
    else
        Buffer().tbSetColCount(Columns);
}

void TIpVT100Emulator::Reset() {
    Buffer().Reset();
    FLineAttrs->Clear();
    FANSIMode = true;
    VT100Parser().SetInVT52Mode(false);
    FCursorKeyMode = false;
    FKeypadMode = false;
    FAutoRepeat = true;
    FCol132Mode = false;
    SetColumns(80);
    FInsertMode = false;
    FInterlace = false;
    FNewLineMode = false;
    FOriginMode = false;
    if (FReverseScreen) SetRepaintAll();
    FReverseScreen = false;
    FSmoothScroll = false;
    FAutoWrap = true;
    FShiftedOut = false;
    FG0CharSet = csUSASCII;
    FG1CharSet = csUSASCII;
}

// This runs after every received block, over the whole screen, and most cells do not blink:
// eight cells at a time without the bit are passed over at once.
void TIpVT100Emulator::RebuildBlinkRegions() {
    constexpr uint64_t kBlinkBits = 0x0101010101010101u * IpTermAttr::Blink;
    FBlinkRegions.clear();
    TIpTerminalBuffer& B = Buffer();
    for (int Row = 1; Row <= B.RowCount(); ++Row) {
        const uint8_t* Attrs = B.GetAttrPtr(Row);
        for (int Col = 0; Col < B.ColCount(); ++Col) {
            uint64_t Eight = 0;
            if (Col % 8 == 0 && Col + 8 <= B.ColCount()) {
                std::memcpy(&Eight, Attrs + Col, 8);
                if (!(Eight & kBlinkBits)) {
                    Col += 7;
                    continue;
                }
            }
            if (!(Attrs[Col] & IpTermAttr::Blink)) continue;
            const int First = Col;
            while (Col + 1 < B.ColCount() && (Attrs[Col + 1] & IpTermAttr::Blink)) ++Col;
            FBlinkRegions.push_back({Row, First + 1, Col + 1});
        }
    }
}

// --- keys -------------------------------------------------------------------------------------

void TIpVT100Emulator::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (Key & kAutoRepeatFlag) {
        if (!FAutoRepeat) {
            Key = 0;
            return;
        }
        Key &= uint16_t(~kAutoRepeatFlag);
    }
    std::string Name = FKeyMap.Get(Hex2(Key));
    if (Name.empty()) return;
    if (Shift.Contains(ssAlt)) Name = "alt+" + Name;
    if (Shift.Contains(ssCtrl)) Name = "ctrl+" + Name;
    if (Shift.Contains(ssShift)) Name = "shift+" + Name;
    std::string Dec = FKeyMap.Get(Name);
    if (Dec.empty()) return;
    if (Dec.back() == 'c')
        Dec.back() = !FANSIMode ? '0' : FCursorKeyMode ? '2' : '1';
    else if (Dec.back() == 'k')
        Dec.back() = FANSIMode ? (FKeypadMode ? '6' : '5') : (FKeypadMode ? '4' : '3');
    const std::string Sequence = FKeyMap.Get(Dec);
    if (Sequence.empty()) return;
    SendKeySequence(Sequence);
    const uint16_t Pressed = Key;
    Key = 0;
    if (Pressed == VK_NUMLOCK && Terminal()) Terminal()->RestoreNumLock();
}

// The key map's texts: "\e" is ESC, "\x" and two hexadecimal digits one byte. ESC never echoes
// locally, and neither does anything after it; a CR and the two bytes of an unknown escape
// always may.
void TIpVT100Emulator::SendKeySequence(const std::string& Sequence) {
    bool EscSent = false;
    for (size_t I = 0; I < Sequence.size();) {
        const char C = Sequence[I];
        if (C != '\\' || I + 1 >= Sequence.size()) {
            SendByte(uint8_t(C), !EscSent);
            ++I;
            continue;
        }
        const char Next = Sequence[I + 1];
        if (Next == 'e') {
            SendByte(ESC, false);
            EscSent = true;
            I += 2;
        } else if (Next == 'x') {
            const int High = I + 2 < Sequence.size() ? HexDigit(Sequence[I + 2]) : -1;
            const int Low = I + 3 < Sequence.size() ? HexDigit(Sequence[I + 3]) : -1;
            const uint8_t Byte = High < 0 || Low < 0 ? uint8_t('?') : uint8_t(High * 16 + Low);
            if (Byte == 13) {
                SendByte(13, true);
                if (FNewLineMode) SendByte(10, true);
            } else {
                SendByte(Byte, !EscSent);
            }
            I = std::min(I + 4, Sequence.size());
        } else {
            SendByte('\\', true);
            SendByte(uint8_t(Next), true);
            I += 2;
        }
    }
}

void TIpVT100Emulator::KeyPress(char Ch) {
    SendByte(uint8_t(Ch), true);
    if (Ch == 13 && FNewLineMode) SendByte(10, true);
}

// --- paint runs -------------------------------------------------------------------------------

// Rows with a line attribute have cells twice as wide, so the columns asked for (in screen
// cells) are halved. The bottom half of a double-height line shows the row above it; on the
// screen's top row, and on the oldest row of the history, it shows itself (hosts write the
// text on both rows anyway).
std::vector<TIpPaintRun> TIpVT100Emulator::RowRuns(int Row, int FirstCol, int LastCol,
                                                   bool WithText) {
    std::vector<TIpPaintRun> Runs;
    TIpTerminalBuffer& B = Buffer();
    if (Row < FirstBufferRow() || Row > B.RowCount()) return Runs;
    const uint8_t LineAttr = FLineAttrs->Attr(Row);
    const bool Double = LineAttr != 0;
    const bool HasAbove = Row != 1 && Row > FirstBufferRow();
    const int Source = LineAttr == 2 && HasAbove ? Row - 1 : Row;
    if (Double) {
        FirstCol = (FirstCol - 1) / 2 + 1;
        LastCol = (LastCol - 1) / 2 + 1;
    }
    FirstCol = std::max(FirstCol, 1);
    LastCol = std::min(LastCol, Double ? (B.ColCount() + 1) / 2 : B.ColCount());
    const TIpTermRowCells Cells(B, Source);
    for (int Col = FirstCol; Col <= LastCol;) {
        const uint8_t Attr = Cells.Attr(Col), CharSet = Cells.CharSet(Col);
        const uint32_t Fore = Cells.ForeColor(Col), Back = Cells.BackColor(Col);
        int End = Col;
        std::string Text;
        while (End <= LastCol && Cells.Attr(End) == Attr && Cells.CharSet(End) == CharSet &&
               Cells.ForeColor(End) == Fore && Cells.BackColor(End) == Back)
            Text.push_back(char(Cells.Char(End++)));
        TIpPaintRun Run;
        Run.Row = Row;
        Run.Column = Col;
        Run.Count = End - Col;
        Run.DoubleWidth = Double;
        Run.LineAttr = LineAttr;
        CellColors(Attr, Fore, Back, FReverseScreen, Run.ForeColor, Run.BackColor);
        Run.Underline = Attr & IpTermAttr::Underline;
        Run.StrikeThrough = Attr & IpTermAttr::StrikeThrough;
        Run.WithText = WithText;
        if (WithText) {
            FCharSetMap.GenerateDrawScript(Text, IpVT100CharSetName(CharSet));
            TIpDrawElement E;
            while (FCharSetMap.GetNextDrawCommand(E.Font, E.Text)) Run.Script.push_back(E);
        }
        Runs.push_back(std::move(Run));
        Col = End;
    }
    return Runs;
}

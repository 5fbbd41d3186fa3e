#include "terminal/IpTermParser.h"

#include <algorithm>
#include <limits>

#include "terminal/Limits.h"

namespace {

constexpr uint8_t ESC = 0x1B;

struct TControlCommand {
    uint8_t Ch;
    uint8_t Command;
    int Argument;  // kArgAbsent: the command takes none
};

constexpr TControlCommand kControls[] = {
    {5, tcENQ, kArgAbsent}, {7, tcBEL, kArgAbsent}, {8, tcBS, kArgAbsent}, {9, tcHT, 1},
    {10, tcLF, kArgAbsent}, {11, tcVT, 1},          {12, tcED, 2},         {13, tcCR, kArgAbsent},
    {14, tcSO, kArgAbsent}, {15, tcSI, kArgAbsent},
};

// The final bytes of the control sequences, with the argument check: more than Greatest
// arguments is refused, missing ones up to Least take Default, and so does every absent one.
struct TSequenceCommand {
    char Final;
    uint8_t Command;
    bool Checked;
    int Least;
    int Greatest;
    int Default;
};

constexpr int kManyArgs = int(TerminalLimits::kMaxArguments);

constexpr TSequenceCommand kSequences[] = {
    {'@', tcICH, true, 1, 1, 1},
    {'A', tcCUU, true, 1, 1, 1},
    {'B', tcCUD, true, 1, 1, 1},
    {'C', tcCUF, true, 1, 1, 1},
    {'D', tcCUB, true, 1, 1, 1},
    {'H', tcCUP, true, 2, 2, 1},
    {'f', tcCUP, true, 2, 2, 1},
    {'J', tcED, true, 1, 1, 0},
    {'K', tcEL, true, 1, 1, 0},
    {'L', tcIL, true, 1, 1, 1},
    {'M', tcDL, true, 1, 1, 1},
    {'P', tcDCH, true, 1, 1, 1},
    {'X', tcECH, true, 1, 1, 1},
    {'c', tcDA, true, 1, 1, 0},
    {'g', tcTBC, true, 1, 1, 0},
    {'m', tcSGR, true, 1, kManyArgs, 0},
    {'q', tcDECLL, true, 1, kManyArgs, 0},
    {'n', tcDSR, true, 1, 1, kArgAbsent},
    {'x', tcDECREQTPARM, true, 1, 1, kArgAbsent},
    {'h', tcSM, false, 0, 0, 0},
    {'l', tcRM, false, 0, 0, 0},
    {'r', tcDECSTBM, false, 0, 0, 0},
    {'s', tcDECSC, false, 0, 0, 0},
    {'u', tcDECRC, false, 0, 0, 0},
    {'y', tcDECTST, false, 0, 0, 0},
};

}  // namespace

// --- base -------------------------------------------------------------------------------------

int TIpTerminalParser::GetArgument(int) const {
    return 0;
}

std::string TIpTerminalParser::GetSequence() const {
    return {};
}

TIpParserResult TIpTerminalParser::ProcessChar(uint8_t) {
    return prError;
}

TIpParserResult TIpTerminalParser::ProcessWideChar(char16_t) {
    return prError;
}

void TIpTerminalParser::Clear() {}

// --- VT100 ------------------------------------------------------------------------------------

TIpVT100Parser::TIpVT100Parser(bool UseWideChar) : TIpTerminalParser(UseWideChar) {
    FArgs.reserve(16);
}

int TIpVT100Parser::GetArgument(int Index) const {
    return Index >= 0 && Index < FArgCount ? FArgs[size_t(Index)] : 0;
}

std::string TIpVT100Parser::GetSequence() const {
    if (FCommand == tcNone) return {};
    if (FState == psInterrupted) return std::string(1, FControl);
    return FSequence;
}

void TIpVT100Parser::Clear() {
    FSequence.clear();
    FOverflow = false;
    FCommand = tcNone;
    FArgCount = 0;
}

void TIpVT100Parser::SetArgument(int Index, int Value) {
    if (size_t(Index) >= FArgs.size()) FArgs.resize(size_t(Index) + 1);
    FArgs[size_t(Index)] = Value;
    FArgCount = Index + 1;
}

TIpParserResult TIpVT100Parser::Finish(uint8_t Command, std::initializer_list<int> Args) {
    FState = psFinished;
    FCommand = Command;
    FArgCount = 0;
    for (const int A : Args) SetArgument(FArgCount, A);
    return prCommand;
}

TIpParserResult TIpVT100Parser::Fail() {
    FState = psFinished;
    FCommand = tcNone;
    FArgCount = 0;
    return prError;
}

TIpParserResult TIpVT100Parser::ProcessWideChar(char16_t Ch) {
    return Ch < 256 ? ProcessChar(uint8_t(Ch)) : Fail();
}

TIpParserResult TIpVT100Parser::ProcessChar(uint8_t Ch) {
    if (FState == psFinished) {
        Clear();
        FState = psGround;
    } else if (FState == psInterrupted) {
        FArgCount = 0;
        FCommand = tcNone;
        FState = FSavedState;
    }
    if (Ch < 32) return ControlChar(Ch);
    // Past the cap the bytes are dropped; the sequence is refused at its final byte.
    if (FSequence.size() < TerminalLimits::kMaxSequenceBytes)
        FSequence.push_back(char(Ch));
    else
        FOverflow = true;
    switch (FState) {
        case psGround:
            FState = psFinished;
            FCommand = tcChar;
            FArgCount = 0;
            return Ch < 127 ? prChar : prHighChar;
        case psGotEscape:
            return FInVT52Mode ? VT52Escape(Ch) : Escape(Ch);
        case psControlSequence:
            if (Ch >= 64 && Ch <= 126) return DispatchControlSequence();
            return prIncomplete;
        case psGotHash:
            return Hash(Ch);
        case psG0Designator:
        case psG1Designator:
        case psOtherDesignator:
            return Designator(Ch);
        case psVT52Address:
            return VT52Address(Ch);
        default:
            return Fail();
    }
}

// In the ground state every character ends a sequence of its own: what is left is the last.
size_t TIpVT100Parser::TakeGroundChars(const uint8_t* Data, size_t Count) {
    size_t N = 1;
    while (N < Count && Data[N] >= 32 && Data[N] < 127) ++N;
    FSequence.assign(1, char(Data[N - 1]));
    FOverflow = false;
    FState = psFinished;
    FCommand = tcChar;
    FArgCount = 0;
    return N;
}

size_t TIpVT100Parser::CollectSequenceBytes(const uint8_t* Data, size_t Count) {
    size_t N = 0;
    while (N < Count && Data[N] >= 32 && Data[N] < 64) ++N;
    const size_t Room = TerminalLimits::kMaxSequenceBytes -
                        std::min(FSequence.size(), TerminalLimits::kMaxSequenceBytes);
    FSequence.append(reinterpret_cast<const char*>(Data), std::min(N, Room));
    if (N > Room) FOverflow = true;
    return N;
}

// A control character is carried out at once, whatever sequence it interrupts; the sequence
// then goes on with the next byte. ESC starts a new sequence instead.
TIpParserResult TIpVT100Parser::ControlChar(uint8_t Ch) {
    if (Ch == ESC) {
        FSequence.assign(1, char(ESC));
        FOverflow = false;
        FArgCount = 0;
        FCommand = tcNone;
        FState = psGotEscape;
        return prIncomplete;
    }
    FSavedState = FState;
    FState = psInterrupted;
    FControl = char(Ch);
    FArgCount = 0;
    for (const TControlCommand& C : kControls) {
        if (C.Ch != Ch) continue;
        FCommand = C.Command;
        if (C.Argument != kArgAbsent) SetArgument(0, C.Argument);
        return prCommand;
    }
    FCommand = tcNone;
    return prError;
}

TIpParserResult TIpVT100Parser::Escape(uint8_t Ch) {
    switch (Ch) {
        case '[':
            FState = psControlSequence;
            return prIncomplete;
        case '#':
            FState = psGotHash;
            return prIncomplete;
        case '(':
            FState = psG0Designator;
            return prIncomplete;
        case ')':
            FState = psG1Designator;
            return prIncomplete;
        case '*':
        case '+':
        case '-':
        case '.':
        case '/':
            FState = psOtherDesignator;
            return prIncomplete;
        case '7':
            return Finish(tcDECSC);
        case '8':
            return Finish(tcDECRC);
        case '=':
            return Finish(tcSM, {kArgPrivate, 999});
        case '>':
            return Finish(tcRM, {kArgPrivate, 999});
        case 'D':
            return Finish(tcIND);
        case 'E':
            return Finish(tcNEL);
        case 'H':
            return Finish(tcHTS);
        case 'M':
            return Finish(tcRI);
        case 'Z':
            return Finish(tcDA, {0});
        case 'c':
            return Finish(tcRIS);
        case '1':
        case '2':
            return Finish(tcNone);
        default:
            return Fail();
    }
}

TIpParserResult TIpVT100Parser::VT52Escape(uint8_t Ch) {
    switch (Ch) {
        case '<':
            FInVT52Mode = false;
            return Finish(tcSM, {kArgPrivate, 2});
        case '=':
            return Finish(tcSM, {kArgPrivate, 999});
        case '>':
            return Finish(tcRM, {kArgPrivate, 999});
        case 'A':
            return Finish(tcCUU, {1});
        case 'B':
            return Finish(tcCUD, {1});
        case 'C':
            return Finish(tcCUF, {1});
        case 'D':
            return Finish(tcCUB, {1});
        case 'F':
            return Finish(tcSO);
        case 'G':
            return Finish(tcSI);
        case 'H':
            return Finish(tcCUP, {1, 1});
        case 'I':
            return Finish(tcRI);
        case 'J':
            return Finish(tcED, {0});
        case 'K':
            return Finish(tcEL, {0});
        case 'Z':
            return Finish(tcDA, {52});
        case 'Y':
            FState = psVT52Address;
            FCommand = tcCUP;
            FArgCount = 0;
            return prIncomplete;
        default:
            return Fail();
    }
}

// ESC Y row column, each as a byte of 31 plus the value. Both are read from the sequence, so a
// control character between them does not lose the row.
TIpParserResult TIpVT100Parser::VT52Address(uint8_t) {
    if (FSequence.size() < 4) return prIncomplete;
    return Finish(tcCUP, {uint8_t(FSequence[2]) - 31, uint8_t(FSequence[3]) - 31});
}

TIpParserResult TIpVT100Parser::Hash(uint8_t Ch) {
    switch (Ch) {
        case '3':
            return Finish(tcDECDHL, {0});
        case '4':
            return Finish(tcDECDHL, {1});
        case '5':
            return Finish(tcDECSWL);
        case '6':
            return Finish(tcDECDWL);
        case '8':
            return Finish(tcDECALN);
        default:
            return Fail();
    }
}

// ESC ( c and ESC ) c designate G0 and G1; G2 and G3 (ESC * and the others) are not supported.
// Bytes below 48 are intermediates and are collected; a designation must be exactly three
// bytes long.
TIpParserResult TIpVT100Parser::Designator(uint8_t Ch) {
    if (Ch < 48 || Ch > 126) return prIncomplete;
    if (FState == psOtherDesignator || FOverflow || FSequence.size() != 3) return Fail();
    const int Set = FState == psG0Designator ? 0 : 1;
    switch (Ch) {
        case '0':
        case '1':
        case '2':
            return Finish(tcSCS, {Set, Ch - '0'});
        case 'A':
        case 'B':
            return Finish(tcSCS, {Set, Ch});
        default:
            return Fail();
    }
}

// Numbers separated by ";" up to the first intermediate or the final byte; an empty number is
// absent. Anything else, a number beyond the integer range or too many arguments fails.
bool TIpVT100Parser::ParseArguments() {
    FArgCount = 0;
    size_t Pos = 2;
    if (FSequence.size() > 2 && FSequence[2] == '?') {
        SetArgument(0, kArgPrivate);
        Pos = 3;
    }
    int64_t Value = kArgAbsent;
    for (; Pos + 1 < FSequence.size(); ++Pos) {
        const auto C = uint8_t(FSequence[Pos]);
        if (C >= 32 && C <= 47) break;
        if (C >= '0' && C <= '9') {
            Value = (Value < 0 ? 0 : Value) * 10 + (C - '0');
            if (Value > std::numeric_limits<int>::max()) return false;
        } else if (C == ';') {
            if (size_t(FArgCount) >= TerminalLimits::kMaxArguments) return false;
            SetArgument(FArgCount, int(Value));
            Value = kArgAbsent;
        } else {
            return false;
        }
    }
    if (size_t(FArgCount) >= TerminalLimits::kMaxArguments) return false;
    SetArgument(FArgCount, int(Value));
    return true;
}

bool TIpVT100Parser::CheckArguments(int Least, int Greatest, int Default) {
    if (FArgCount > Greatest) return false;
    while (FArgCount < Least) SetArgument(FArgCount, Default);
    for (int I = 0; I < FArgCount; ++I)
        if (FArgs[size_t(I)] == kArgAbsent) FArgs[size_t(I)] = Default;
    return true;
}

TIpParserResult TIpVT100Parser::DispatchControlSequence() {
    FState = psFinished;
    if (FOverflow) return Fail();
    if (FSequence == "\x1b[61\"p") return Finish(tcRIS);
    const char Final = FSequence.back();
    if (!ParseArguments()) return Fail();
    for (const TSequenceCommand& S : kSequences) {
        if (S.Final != Final) continue;
        if (S.Checked && !CheckArguments(S.Least, S.Greatest, S.Default)) return Fail();
        FCommand = S.Command;
        // Resetting DEC mode 2 leaves ANSI mode: from now on the host speaks VT52.
        if (Final == 'l' && FArgCount == 2 && FArgs[0] == kArgPrivate && FArgs[1] == 2)
            FInVT52Mode = true;
        return prCommand;
    }
    return Fail();
}

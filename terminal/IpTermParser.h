#pragma once
// Turns received bytes into numbered terminal commands. The emulator hands every byte to
// ProcessChar and acts on the result; on prCommand it reads Command() and the arguments.
// State survives between calls, so a sequence split across received blocks is parsed whole,
// and a control character inside a sequence is carried out at once while the sequence goes on
// with the next byte.
//
// The host is untrusted: a sequence with more than TerminalLimits::kMaxArguments arguments or
// more than kMaxSequenceBytes bytes is refused (prError) at its final byte, and the parser
// holds no more than that cap meanwhile.
#include <cstdint>
#include <string>
#include <vector>

enum TIpParserResult : uint8_t {
    prError = 0,       // not a known sequence, or a control character that is not handled
    prChar = 1,        // a displayable character below 127 (command 1)
    prHighChar = 2,    // a displayable character of 127 or above (command 1)
    prIncomplete = 3,  // more bytes are needed
    prCommand = 4,     // a command is ready
};

// Command codes: the VT100 executor gives their effects.
enum TIpTermCommand : uint8_t {
    tcNone = 0,
    tcChar = 1,
    tcCUP = 2,
    tcCUU = 3,
    tcCUD = 4,
    tcCUF = 5,
    tcCUB = 6,
    tcSM = 13,
    tcSGR = 16,
    tcDECSC = 17,
    tcDECRC = 18,
    tcDSR = 19,
    tcHT = 34,
    tcVT = 40,
    tcDA = 41,
    tcDCH = 43,
    tcDL = 45,
    tcECH = 49,
    tcED = 50,
    tcEL = 52,
    tcHTS = 65,
    tcICH = 66,
    tcIL = 67,
    tcNEL = 76,
    tcRI = 88,
    tcRIS = 89,
    tcRM = 90,
    tcTBC = 106,
    tcDECSTBM = 113,
    tcENQ = 114,
    tcBEL = 115,
    tcBS = 116,
    tcLF = 117,
    tcCR = 118,
    tcSO = 119,
    tcSI = 120,
    tcIND = 121,
    tcDECALN = 122,
    tcDECDHL = 123,
    tcDECDWL = 124,
    tcDECLL = 125,
    tcDECREQTPARM = 126,
    tcDECSWL = 127,
    tcDECTST = 128,
    tcSCS = 129,
};

// An argument that was not given.
inline constexpr int kArgAbsent = -1;
// The first argument of a DEC private sequence (one that began ESC [ ?).
inline constexpr int kArgPrivate = -2;

class TIpTerminalParser {
  public:
    explicit TIpTerminalParser(bool UseWideChar) : FUseWideChar(UseWideChar) {}
    virtual ~TIpTerminalParser() = default;

    int ArgumentCount() const { return FArgCount; }
    uint8_t Command() const { return FCommand; }
    bool UseWideChar() const { return FUseWideChar; }

    // The argument at Index (0-based); 0 outside the arguments.
    virtual int GetArgument(int Index) const;
    // The bytes of the sequence just parsed when a command is set, else empty.
    virtual std::string GetSequence() const;
    virtual TIpParserResult ProcessChar(uint8_t Ch);
    virtual TIpParserResult ProcessWideChar(char16_t Ch);
    virtual void Clear();

  protected:
    int FArgCount = 0;
    uint8_t FCommand = tcNone;

  private:
    bool FUseWideChar;
};

class TIpVT100Parser final : public TIpTerminalParser {
  public:
    explicit TIpVT100Parser(bool UseWideChar);

    int GetArgument(int Index) const override;
    std::string GetSequence() const override;
    TIpParserResult ProcessChar(uint8_t Ch) override;
    TIpParserResult ProcessWideChar(char16_t Ch) override;
    void Clear() override;

    // Shortcuts through ProcessChar for the emulator, which is handed blocks of bytes. Each
    // takes as many of the first Count bytes as ProcessChar would take one after another with
    // the same results, leaves the parser as it would be after them, and says how many:
    // TakeChars displayable characters below 127 (each prChar), TakeSequenceBytes the
    // parameter and intermediate bytes of a control sequence in progress (each prIncomplete).
    size_t TakeChars(const uint8_t* Data, size_t Count) {
        const bool Ground = FState == psFinished || FState == psGround ||
                            (FState == psInterrupted && FSavedState == psGround);
        return Ground && Count > 0 && Data[0] >= 32 && Data[0] < 127 ? TakeGroundChars(Data, Count)
                                                                     : 0;
    }
    size_t TakeSequenceBytes(const uint8_t* Data, size_t Count) {
        return FState == psControlSequence ? CollectSequenceBytes(Data, Count) : 0;
    }

    bool InVT52Mode() const { return FInVT52Mode; }
    void SetInVT52Mode(bool Value) { FInVT52Mode = Value; }

  private:
    enum TState : uint8_t {
        psGround = 0,
        psGotEscape = 1,
        psControlSequence = 2,
        psGotHash = 3,
        psG0Designator = 4,
        psG1Designator = 5,
        psOtherDesignator = 6,
        psFinished = 7,
        psInterrupted = 8,
        psVT52Address = 9,
    };

    size_t TakeGroundChars(const uint8_t* Data, size_t Count);
    size_t CollectSequenceBytes(const uint8_t* Data, size_t Count);
    TIpParserResult ControlChar(uint8_t Ch);
    TIpParserResult Escape(uint8_t Ch);
    TIpParserResult VT52Escape(uint8_t Ch);
    TIpParserResult Hash(uint8_t Ch);
    TIpParserResult Designator(uint8_t Ch);
    TIpParserResult VT52Address(uint8_t Ch);
    TIpParserResult DispatchControlSequence();
    bool ParseArguments();
    bool CheckArguments(int Least, int Greatest, int Default);
    TIpParserResult Finish(uint8_t Command, std::initializer_list<int> Args = {});
    TIpParserResult Fail();
    void SetArgument(int Index, int Value);

    TState FState = psGround;
    TState FSavedState = psGround;
    bool FInVT52Mode = false;
    std::vector<int> FArgs;
    std::string FSequence;
    bool FOverflow = false;  // bytes beyond the cap were dropped
    char FControl = 0;       // the control character that interrupted a sequence
};

#pragma once
// The VT100 emulator (terminal type "vt100"): received bytes go through the VT100 parser and
// the commands are carried out on the buffer; status and identification requests are answered
// through the socket (only by the socket's master terminal); keys are translated through the
// key map into what a VT100, or in VT52 mode a VT52, sends.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "terminal/IpTermEmulator.h"
#include "terminal/IpTermMaps.h"

// Character-set numbers in the buffer's character-set plane.
enum TIpVT100CharSet : uint8_t {
    csUSASCII = 0,
    csUK = 1,
    csLineDraw = 2,
    csROM1 = 3,
    csROM2 = 4,
};

// Attribute bits in the buffer's attribute plane.
namespace IpTermAttr {
inline constexpr uint8_t Bold = 0x01;
inline constexpr uint8_t Underline = 0x02;
inline constexpr uint8_t StrikeThrough = 0x04;
inline constexpr uint8_t Blink = 0x08;
inline constexpr uint8_t Reverse = 0x10;
inline constexpr uint8_t Invisible = 0x20;
inline constexpr uint8_t Selected = 0x40;
}  // namespace IpTermAttr

class TIpVT100Emulator : public TIpTerminalEmulator {
  public:
    // Module: where the key map and the character-set map are read from (the program's own
    // resources when none is given).
    explicit TIpVT100Emulator(TComponent* Owner = nullptr, const TResourceModule* Module = nullptr);
    ~TIpVT100Emulator() override;

    const std::string& Answerback() const { return FAnswerback; }
    void SetAnswerback(const std::string& Value) { FAnswerback = Value; }
    bool DisplayUpperASCII() const { return FDisplayUpperASCII; }
    void SetDisplayUpperASCII(bool Value) { FDisplayUpperASCII = Value; }

    bool NeedsRepaint() override;
    void ClearIntoHistory() override;
    void ClearScreenAndHome() override;
    bool HasBlinkingText() override { return !FBlinkRegions.empty(); }
    const std::vector<TIpBlinkRegion>& BlinkRegions() const override { return FBlinkRegions; }
    std::vector<std::string> FontNames() const override { return FCharSetMap.GetFontNames(); }
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char Ch) override;
    void ProcessBlock(const uint8_t* Data, size_t Count) override;
    std::vector<TIpPaintRun> RowRuns(int Row, int FirstCol, int LastCol, bool WithText) override;

    // Modes and state, for the control and for tests.
    bool ANSIMode() const { return FANSIMode; }
    bool CursorKeyMode() const { return FCursorKeyMode; }
    bool KeypadMode() const { return FKeypadMode; }
    bool AutoRepeat() const { return FAutoRepeat; }
    bool Col132Mode() const { return FCol132Mode; }
    bool InsertMode() const { return FInsertMode; }
    bool Interlace() const { return FInterlace; }
    bool NewLineMode() const { return FNewLineMode; }
    bool OriginMode() const { return FOriginMode; }
    bool ReverseScreen() const { return FReverseScreen; }
    bool SmoothScroll() const { return FSmoothScroll; }
    bool AutoWrap() const { return FAutoWrap; }
    bool ShiftedOut() const { return FShiftedOut; }
    uint8_t G0CharSet() const { return FG0CharSet; }
    uint8_t G1CharSet() const { return FG1CharSet; }
    uint8_t LEDs() const { return FLEDs; }
    uint8_t LineAttr(int Row) { return FLineAttrs->Attr(Row); }
    TIpKeyboardMapping& KeyMap() { return FKeyMap; }
    TIpCharSetMapping& CharSetMap() { return FCharSetMap; }

  private:
    struct TSavedCursor {
        uint8_t Attr = 0;
        uint32_t BackColor = 0;
        uint8_t CharSet = 0;
        int Col = 1;
        uint32_t ForeColor = 0;
        int Row = 1;
    };

    void Execute();
    void WriteHighChar(uint8_t Ch);
    void SetMode(bool On);
    void SetDECMode(int Mode, bool On);
    void SelectGraphicRendition();
    void SaveCursor();
    void RestoreCursor();
    void StatusReport(int Request);
    void SetScrollRegion();
    void SelectCharSet(int Set, int Code);
    void SetLineAttr(uint8_t Value);
    void SetColumns(int Columns);
    void Reset();
    void RebuildBlinkRegions();
    int Count(int Index) const;
    void SendKeySequence(const std::string& Sequence);
    uint8_t CurrentGCharSet() const { return FShiftedOut ? FG1CharSet : FG0CharSet; }

    TIpVT100Parser& VT100Parser() { return static_cast<TIpVT100Parser&>(*Parser()); }

    std::string FAnswerback = "dOROrora";
    bool FDisplayUpperASCII = false;

    TIpKeyboardMapping FKeyMap;
    TIpCharSetMapping FCharSetMap;
    std::unique_ptr<TIpLineAttrArray> FLineAttrs;
    std::vector<TIpBlinkRegion> FBlinkRegions;

    bool FANSIMode = true;
    bool FCursorKeyMode = false;
    bool FKeypadMode = false;
    bool FAutoRepeat = true;
    bool FCol132Mode = false;
    bool FInsertMode = false;
    bool FInterlace = false;
    bool FNewLineMode = false;
    bool FOriginMode = false;
    bool FReverseScreen = false;
    bool FSmoothScroll = false;
    bool FAutoWrap = true;
    bool FShiftedOut = false;
    uint8_t FG0CharSet = csUSASCII;
    uint8_t FG1CharSet = csUSASCII;
    uint8_t FLEDs = 0;
    TSavedCursor FSaved;
};

// The character-set names of the character-set map, by number.
const char* IpVT100CharSetName(uint8_t CharSet);

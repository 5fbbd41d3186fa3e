#pragma once
// The emulator base, the interface to the control that shows an emulator's buffer, the
// terminal-to-emulator registry and the TTY emulator (terminal type "dumb").
//
// The emulators never paint: they keep the buffer and turn a row of it into paint runs (cells
// of one look, with the text to draw); the control that owns the window draws the runs.
//
// Emulators are components, so that a form definition places one beside its terminal and the
// two find each other when they are inserted into the same owner.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/Component.h"
#include "platform/net/WinSock.h"
#include "terminal/IpTermBuffer.h"
#include "terminal/IpTermKeys.h"
#include "terminal/IpTermParser.h"

class TIpSockControl;
class TIpTerminalEmulator;

// What an emulator needs of the control that shows it: the socket to send through, the
// control's modes, its column count and a few services. The terminal control implements it;
// tests implement it with a fake.
class TIpTerminalHost {
  public:
    virtual ~TIpTerminalHost() = default;

    // The registry records that Emulator now serves this control (none: it left). The control
    // stores it and does nothing else.
    virtual void EmulatorLinked(TIpTerminalEmulator* Emulator) = 0;
    // Local echo of sent bytes.
    virtual bool HalfDuplex() const = 0;
    virtual TIpSockControl* SockControl() const = 0;
    // INVALID_SOCKET when there is none.
    virtual SOCKET SocketHandle() const = 0;
    // Whether this control is the master terminal of its socket (only that one answers the
    // host's requests).
    virtual bool IsMasterTerminal() const = 0;
    // The host asked for 80 or 132 columns.
    virtual void SetColumns(int Columns) = 0;
    // The system beep.
    virtual void Beep() = 0;
    // The buffer's cursor moved (1-based row and column); the control's OnCursorMoved.
    virtual void CursorMoved(int, int) {}
    // The Num Lock key served as PF1: the control puts the keyboard's Num Lock state back.
    virtual void RestoreNumLock() {}
};

// Terminal-to-emulator registry: at most one link per control. Link sets the control's
// emulator and the emulator's terminal; Unlink with Notify clears both.
void IpTermRegistryLink(TIpTerminalHost* Terminal, TIpTerminalEmulator* Emulator);
void IpTermRegistryUnlink(TIpTerminalHost* Terminal, bool Notify);
TIpTerminalEmulator* IpTermRegistryEmulator(TIpTerminalHost* Terminal);

// One element of a run's draw script: text to draw in one font ("<Default>" is the control's
// own font).
struct TIpDrawElement {
    std::string Font;
    std::string Text;
    bool operator==(const TIpDrawElement&) const = default;
};

// A run of blinking cells on a screen row.
struct TIpBlinkRegion {
    int Row;
    int FirstCol;
    int LastCol;
    bool operator==(const TIpBlinkRegion&) const = default;
};

// Cells of one row that look alike, ready to draw.
struct TIpPaintRun {
    int Row = 0;               // 1-based screen row
    int Column = 0;            // first cell, 1-based, in the row's own cell units
    int Count = 0;             // cells
    bool DoubleWidth = false;  // line attribute other than 0: cells twice as wide
    uint8_t LineAttr = 0;      // 1 top half, 2 bottom half of double height; 3 double width
    uint32_t ForeColor = 0;    // colours after reverse, invisible and bold
    uint32_t BackColor = 0;
    bool Underline = false;
    bool StrikeThrough = false;
    bool WithText = true;  // false: only the background (the off phase of blinking)
    std::vector<TIpDrawElement> Script;
};

class TIpTerminalEmulator : public TComponent {
  public:
    ~TIpTerminalEmulator() override;

    TIpTerminalHost* Terminal() const { return FTerminal; }
    const std::string& TelnetTermType() const { return FTelnetTermType; }
    void SetTelnetTermType(const std::string& Value) { FTelnetTermType = Value; }
    TIpTerminalBuffer& Buffer() { return *FBuffer; }
    TIpTerminalParser* Parser() { return FParser.get(); }
    // The built-in emulator of a control is never entered in the registry.
    bool IsDefault() const { return FIsDefault; }
    void SetIsDefault(bool Value) { FIsDefault = Value; }

    virtual bool NeedsRepaint();
    virtual void SetTerminal(TIpTerminalHost* Terminal);
    virtual void ClearIntoHistory() {}
    virtual void ClearScreenAndHome() {}
    virtual void SendByte(uint8_t Byte, bool EchoAllowed);
    virtual void PaintBlinking(bool) {}
    virtual bool HasBlinkingText() { return false; }
    // The runs of blinking cells on the screen, as of the last received block.
    virtual const std::vector<TIpBlinkRegion>& BlinkRegions() const;
    // The fonts the emulator draws with besides the control's own ("<Default>").
    virtual std::vector<std::string> FontNames() const { return {}; }
    // Key is a virtual-key code (plus kAutoRepeatFlag for a repeated key); set to 0 when the
    // emulator consumed it.
    virtual void KeyDown(uint16_t& Key, TShiftState Shift);
    virtual void KeyPress(char Ch);
    virtual void LazyPaint() {}
    virtual void Paint() {}
    virtual void ProcessBlock(const uint8_t* Data, size_t Count);

    // The paint runs of one row over columns FirstCol..LastCol (1-based, clipped); rows 1 to
    // RowCount are the screen, rows 0 and below the history.
    virtual std::vector<TIpPaintRun> RowRuns(int Row, int FirstCol, int LastCol, bool WithText);

    // Set when the whole screen must be painted again (the colours or the reverse-screen mode
    // changed); the painter takes it.
    bool RepaintAll() const { return FRepaintAll; }
    void SetRepaintAll() { FRepaintAll = true; }
    bool TakeRepaintAll() { return std::exchange(FRepaintAll, false); }

    // Component notifications: the control went away, or one appeared beside this emulator.
    void TerminalRemoved(TIpTerminalHost* Terminal);
    void TerminalInserted(TIpTerminalHost* Terminal);

  protected:
    // Only the concrete emulators, which make the buffer, are made (forms cannot make this one).
    explicit TIpTerminalEmulator(TComponent* Owner = nullptr);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The first row RowRuns paints: the oldest row of the history.
    int FirstBufferRow() { return FBuffer->RowCount() - FBuffer->SVRowCount() + 1; }
    void SetBuffer(std::unique_ptr<TIpTerminalBuffer> Buffer);
    void SetParser(std::unique_ptr<TIpTerminalParser> Parser) { FParser = std::move(Parser); }
    // Sends Text to the socket, when this terminal is its socket's master.
    void SendReply(const std::string& Text);
    // Colours of a cell after reverse (attribute bit 4, flipped by ReverseScreen and by the
    // selection mark bit 6), invisible (bit 5) and bold (bit 0).
    static void CellColors(uint8_t Attr, uint32_t Fore, uint32_t Back, bool ReverseScreen,
                           uint32_t& OutFore, uint32_t& OutBack);

  private:
    void RouteCursorMoved();

    TIpTerminalHost* FTerminal = nullptr;
    std::string FTelnetTermType;
    std::unique_ptr<TIpTerminalBuffer> FBuffer;
    std::unique_ptr<TIpTerminalParser> FParser;
    bool FIsDefault = false;
    bool FRepaintAll = false;
};

class TIpTTYEmulator : public TIpTerminalEmulator {
  public:
    explicit TIpTTYEmulator(TComponent* Owner = nullptr);

    bool NeedsRepaint() override;
    void ClearIntoHistory() override;
    void ClearScreenAndHome() override;
    void KeyPress(char Ch) override;
    void ProcessBlock(const uint8_t* Data, size_t Count) override;
};

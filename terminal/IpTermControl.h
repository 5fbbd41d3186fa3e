#pragma once
// The terminal control: a window that shows an emulator's cell buffer, fed by a socket
// component, with a view that scrolls into the history, mouse selection copied to the
// clipboard, a capture file for the raw received bytes, blinking text and a caret at the cursor.
// Keys go to the emulator, which sends bytes to the socket.
//
// The socket component talks to the control's window: WM_IPSTATUS says a socket connected or
// went (the control takes the first one it hears of), WM_IPTERMDATA brings received bytes,
// which the control queues and hands to the emulator on a posted drain message of its own, so
// that blocks that arrive together are taken together. When Columns or Rows change, the control
// posts WM_IPTERMRESIZE to the socket component, which tells the telnet peer the new size. A
// control registered with a socket is that socket's master terminal (the one that answers the
// host's requests) unless another was first.
//
// Painting follows the received data at once, or (UseLazyDisplay, the default) from a 100 ms
// tick, at most every LazyTimeDelay milliseconds or LazyByteDelay bytes, whichever comes first.
// The same tick blinks blinking text and scrolls a mouse selection that left the window.
#include <functional>
#include <memory>
#include <string>

#include "netlib/sock/IpSock.h"
#include "netlib/sock/IpTelnet.h"
#include "platform/classes/Classes.h"
#include "platform/widgets/Control.h"
#include "terminal/IpTermEmulator.h"
#include "terminal/IpTermMaps.h"
#include "terminal/IpTermPainter.h"

enum TIpCaptureMode { cmOff, cmOn, cmAppend };
enum TIpCursorType { ctNone, ctUnderline, ctBlock };
using TIpTerminalCursorMovedEvent = std::function<void(TObject* aSender, int aRow, int aCol)>;

// The drain message the control posts to itself after queueing received bytes.
constexpr UINT WM_IPTERMDRAIN = 0x12A1;

class TIpCustomTerminal : public TCustomControl, public TIpTerminalHost, public TIpTelnetTerminal {
  public:
    explicit TIpCustomTerminal(TComponent* AOwner);
    ~TIpCustomTerminal() override;

    // --- published ---
    // Whether the control is registered with its socket (receives its data).
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    // Milliseconds of one blink phase: below 1 no blinking, 1 to 250 become 250.
    int BlinkTime() const { return FBlinkTime; }
    void SetBlinkTime(int Value);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    // The raw received bytes go to CaptureFile: cmOn replaces the file, cmAppend adds to its end
    // (and then reads cmOn). A file that cannot be opened raises, and capture stays off.
    TIpCaptureMode Capture() const { return FCapture; }
    void SetCapture(TIpCaptureMode Value);
    const std::string& CaptureFile() const { return FCaptureFile; }
    void SetCaptureFile(const std::string& Value);
    // The emulator buffer's size: columns, screen rows and all rows held (history included).
    // Values below 1 and unchanged ones are ignored; 1 raises from the buffer.
    int Columns() const;
    void SetColumns(int Value) override;
    int Rows() const;
    void SetRows(int Value);
    int ScrollbackRows() const;
    void SetScrollbackRows(int Value);
    TIpCursorType CursorType() const { return FCursorType; }
    void SetCursorType(TIpCursorType Value);
    // Local echo of what is sent.
    bool HalfDuplex() const override { return FHalfDuplex; }
    void SetHalfDuplex(bool Value) { FHalfDuplex = Value; }
    bool IsMasterTerminal() const override;
    // Accepted 1 to 1024 bytes and 1 to 1000 ms; other values are ignored.
    int LazyByteDelay() const { return FLazyByteDelay; }
    void SetLazyByteDelay(int Value);
    int LazyTimeDelay() const { return FLazyTimeDelay; }
    void SetLazyTimeDelay(int Value);
    // Whether the vertical scroll bar reaches into the history when the screen does not fit.
    bool Scrollback() const { return FScrollback; }
    void SetScrollback(bool Value);
    TIpSockControl* SockControl() const override { return FSockControl; }
    void SetSockControl(TIpSockControl* Value);
    bool UseLazyDisplay() const { return FUseLazyDisplay; }
    void SetUseLazyDisplay(bool Value) { FUseLazyDisplay = Value; }
    // Keys go to the emulator before the form's dialog keys (Enter, Escape) see them.
    bool WantAllKeys() const { return FWantAllKeys; }
    void SetWantAllKeys(bool Value) { FWantAllKeys = Value; }
    bool FreezeScrollBack() const { return FFreezeScrollBack; }
    void SetFreezeScrollBack(bool Value) { FFreezeScrollBack = Value; }
    TIpTerminalCursorMovedEvent OnCursorMoved;

    // --- operations ---
    void ClearScreen();
    // Appends the telnet window-size payload: columns high and low byte, rows high and low byte.
    void WindowSizeBytes(std::string& Text) override;
    // The attached emulator's terminal type; empty with the built-in one.
    std::string TelnetTermType() override;
    SOCKET SocketHandle() const override { return FSocket; }
    // Puts the selected cells on the clipboard, each row followed by CR LF.
    void CopyToClipboard();
    bool HasSelection() const { return FHasSelection; }

    // --- the view ---
    int CellWidth() const { return FCellWidth; }
    int CellHeight() const { return FCellHeight; }
    // The first column and row shown (rows 0 and below are the history).
    int FirstVisibleCol() const { return FFirstCol; }
    int FirstVisibleRow() const { return FFirstRow; }
    // Scrolls the view (clamped) as the scroll bars do.
    void ScrollTo(int Col, int Row);

  protected:
    // The attached emulator (none: the built-in TTY emulator serves). TIpTerminal publishes it.
    TIpTerminalEmulator* Emulator() const { return FEmulator; }
    void SetEmulator(TIpTerminalEmulator* Value);
    TIpTerminalEmulator& CurrentEmulator() const { return FEmulator ? *FEmulator : *FBuiltIn; }

    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    void PaintWindow(HDC DC) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    // The 100 ms tick comes from a window timer while the window exists; tests replace these
    // two and call Tick themselves, which makes their clock.
    virtual void StartTicking();
    virtual void StopTicking();
    void Tick();

    // What the emulator asks of its terminal.
    void EmulatorLinked(TIpTerminalEmulator* Emulator) override { FEmulator = Emulator; }
    void Beep() override;
    void CursorMoved(int Row, int Col) override;
    void RestoreNumLock() override;

  private:
    // The window timer of the tick.
    static constexpr UINT_PTR kTickTimer = 1;

    struct TCell {
        int Col = 1;
        int Row = 1;
        bool operator==(const TCell&) const = default;
    };

    // Socket (IpTermSocket.cpp).
    void SetSocketHandle(SOCKET Socket);
    void RegisterSocket();
    void UnregisterSocket();
    void AttachToSockControl();
    void DetachFromSockControl();
    void PickSockControl();
    void NotifySizeChanged();
    void WMIpStatus(const TMessage& Message);
    void WMIpTermData(const TMessage& Message);
    void Drain();

    // Keys (IpTermKeyboard.cpp).
    bool CNKeyDown(TMessage& Message);

    // View (IpTermView.cpp).
    void MeasureCell();
    void Layout();
    void UpdateScrollBars();
    int ClientCols();
    int ClientRows();
    // Whether the vertical scroll bar reaches into the history, and the first row it reaches.
    bool HistoryReachable() const { return !FVertNeeded || FScrollback; }
    int LowestFirstRow() const;
    void WMScroll(int Bar, WORD Request);
    void WMSize();
    void CreateTheCaret();
    void DestroyTheCaret();
    void PlaceCaret();

    // Display (IpTermDisplay.cpp).
    void SyncColors();
    void PaintRows(HDC DC, int FirstRow, int LastRow, int FirstCol, int LastCol, bool WithText);
    // Paints on the window outside WM_PAINT, caret hidden and clipped to the text area.
    void PaintNow(const std::function<void(HDC)>& Paint);
    void LazyPaint(HDC DC);
    void PaintBlinking(HDC DC);
    void TickBlink();
    void TickLazyDisplay();

    // Selection (IpTermSelection.cpp).
    TCell CellAt(int X, int Y) const;
    void ExtendSelection(TCell To);
    void MarkCells(TCell From, TCell To, bool Selected);
    void InvalidateRow(int Row);
    void RemoveSelection();
    void CancelSelecting();
    std::string SelectionText();
    void TickSelection();

    // Capture (IpTermControl.cpp).
    void WriteCapture(const uint8_t* Data, size_t Count);

    std::unique_ptr<TIpTTYEmulator> FBuiltIn;
    TIpTerminalEmulator* FEmulator = nullptr;
    TIpTermPainter FPainter;

    bool FActive = true;
    int FBlinkTime = 500;
    TFormBorderStyle FBorderStyle = bsSingle;
    TIpCaptureMode FCapture = cmOff;
    std::string FCaptureFile = "DORORORA.CAP";
    std::unique_ptr<TFileStream> FCaptureStream;
    TIpCursorType FCursorType = ctBlock;
    bool FHalfDuplex = false;
    int FLazyByteDelay = 200;
    int FLazyTimeDelay = 100;
    bool FScrollback = false;
    bool FUseLazyDisplay = true;
    bool FWantAllKeys = true;
    bool FFreezeScrollBack = true;

    TIpSockControl* FSockControl = nullptr;
    // The socket control as a component, when it is one (its removal is announced by identity:
    // by then it may be half gone).
    TComponent* FSockComponent = nullptr;
    SOCKET FSocket = INVALID_SOCKET;
    TaaByteQueue FQueue;
    bool FDrainPending = false;

    int FCellWidth = 1;
    int FCellHeight = 1;
    int FFirstCol = 1;
    int FFirstRow = 1;
    int FVisibleCols = 0;
    int FFullCols = 0;
    int FVisibleRows = 0;
    int FFullRows = 0;
    RECT FTextRect{};
    bool FHorzNeeded = false;
    bool FVertNeeded = false;
    bool FLayingOut = false;

    bool FCaretCreated = false;
    bool FCaretShown = false;
    bool FTicking = false;
    bool FBlinkPhase = true;
    int FBlinkElapsed = 0;
    int FMsSincePaint = 0;
    size_t FBytesSincePaint = 0;

    TCell FAnchor;
    TCell FSelStart;
    TCell FSelEnd;
    bool FHasSelection = false;
    bool FSelecting = false;
};

// The terminal control as forms place it, with its emulator.
class TIpTerminal : public TIpCustomTerminal {
  public:
    explicit TIpTerminal(TComponent* AOwner) : TIpCustomTerminal(AOwner) {}
    using TIpCustomTerminal::Emulator;
    using TIpCustomTerminal::SetEmulator;
};

// The terminal control: its life, its properties, the emulator it shows, the capture file and
// the messages it handles.
#include "terminal/IpTermControl.h"

#include <algorithm>
#include <exception>

#include "platform/core/ScrollBar.h"
#include "platform/fs/Files.h"
#include "platform/shell/Dialogs.h"
#include "platform/shell/Sound.h"

namespace {

constexpr const char* kDefaultCaptureFile = "DORORORA.CAP";

}  // namespace

// --- life -------------------------------------------------------------------------------------

TIpCustomTerminal::TIpCustomTerminal(TComponent* AOwner)
    : TCustomControl(AOwner), FBuiltIn(std::make_unique<TIpTTYEmulator>()) {
    FBuiltIn->SetIsDefault(true);
    FBuiltIn->SetTerminal(this);
    SetBounds(0, 0, 300, 200);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clBlack);
    SetParentFont(false);
    Font()->SetName("Terminal");
    Font()->SetSize(9);
    Font()->SetColor(TColor(0xC0C0C0));
    FPainter.SetBaseFont(Font()->LogFont());
}

// The window goes first, while this class's DestroyWnd still runs: it leaves the socket.
TIpCustomTerminal::~TIpCustomTerminal() {
    DestroyHandle();
    SetEmulator(nullptr);
    IpTermRegistryUnlink(this, false);
    FBuiltIn->SetTerminal(nullptr);
}

void TIpCustomTerminal::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
    const TIpTerminalBuffer& B = CurrentEmulator().Buffer();
    if (FHorzNeeded) Params.Style |= WS_HSCROLL;
    if (FVertNeeded || B.SVRowCount() > B.RowCount()) Params.Style |= WS_VSCROLL;
}

void TIpCustomTerminal::CreateWnd() {
    DestroyTheCaret();
    TCustomControl::CreateWnd();
    PickSockControl();
    AttachToSockControl();
    MeasureCell();
    Layout();
    StartTicking();
}

void TIpCustomTerminal::DestroyWnd() {
    DetachFromSockControl();
    StopTicking();
    DestroyTheCaret();
    TCustomControl::DestroyWnd();
}

// --- properties -------------------------------------------------------------------------------

void TIpCustomTerminal::SetActive(bool Value) {
    if (Value == FActive) return;
    if (!Value) UnregisterSocket();
    FActive = Value;
    if (Value) RegisterSocket();
}

void TIpCustomTerminal::SetBlinkTime(int Value) {
    FBlinkTime = Value < 1 ? 0 : std::max(Value, 250);
}

void TIpCustomTerminal::SetBorderStyle(TFormBorderStyle Value) {
    Value = Value == bsSingle ? bsSingle : bsNone;
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    RecreateWnd();
}

int TIpCustomTerminal::Columns() const {
    return CurrentEmulator().Buffer().ColCount();
}

int TIpCustomTerminal::Rows() const {
    return CurrentEmulator().Buffer().RowCount();
}

int TIpCustomTerminal::ScrollbackRows() const {
    return CurrentEmulator().Buffer().SVRowCount();
}

void TIpCustomTerminal::SetColumns(int Value) {
    if (Value <= 0 || Value == Columns()) return;
    CurrentEmulator().Buffer().tbSetColCount(Value);
    FFirstCol = 1;
    FFirstRow = 1;
    Layout();
    NotifySizeChanged();
    Invalidate();
}

void TIpCustomTerminal::SetRows(int Value) {
    if (Value <= 0 || Value == Rows()) return;
    CurrentEmulator().Buffer().tbSetRowCount(Value);
    Layout();
    NotifySizeChanged();
    Invalidate();
}

void TIpCustomTerminal::SetScrollbackRows(int Value) {
    if (Value <= 0 || Value == ScrollbackRows()) return;
    CurrentEmulator().Buffer().tbSetSVRowCount(Value);
    Layout();
    ScrollTo(FFirstCol, FFirstRow);
    Invalidate();
}

void TIpCustomTerminal::SetCursorType(TIpCursorType Value) {
    if (Value == FCursorType) return;
    FCursorType = Value;
    if (HandleAllocated() && GetFocus() == FHandle) CreateTheCaret();
}

void TIpCustomTerminal::SetLazyByteDelay(int Value) {
    if (Value >= 1 && Value <= 1024) FLazyByteDelay = Value;
}

void TIpCustomTerminal::SetLazyTimeDelay(int Value) {
    if (Value >= 1 && Value <= 1000) FLazyTimeDelay = Value;
}

void TIpCustomTerminal::SetScrollback(bool Value) {
    if (Value == FScrollback) return;
    FScrollback = Value;
    UpdateScrollBars();
    ScrollTo(FFirstCol, FFirstRow);
}

void TIpCustomTerminal::ClearScreen() {
    CurrentEmulator().ClearScreenAndHome();
    Invalidate();
}

// --- the emulator -----------------------------------------------------------------------------

void TIpCustomTerminal::Beep() {
    MessageBeep(MB_ICONASTERISK);
}

void TIpCustomTerminal::CursorMoved(int Row, int Col) {
    if (OnCursorMoved) OnCursorMoved(this, Row, Col);
}

// The new emulator's buffer takes the size the old one had, so that switching keeps the
// terminal's shape.
void TIpCustomTerminal::SetEmulator(TIpTerminalEmulator* Value) {
    if (Value == FEmulator) return;
    StopTicking();
    const TIpTerminalBuffer& Old = CurrentEmulator().Buffer();
    const int SVRows = Old.SVRowCount(), ScreenRows = Old.RowCount(), Cols = Old.ColCount();
    if (FEmulator) IpTermRegistryUnlink(this, true);
    if (Value) IpTermRegistryLink(this, Value);
    if (SVRows > 0) {
        TIpTerminalBuffer& B = CurrentEmulator().Buffer();
        B.tbSetSVRowCount(SVRows);
        B.tbSetRowCount(ScreenRows);
        B.tbSetColCount(Cols);
    }
    FHasSelection = false;
    FSelecting = false;
    CurrentEmulator().SetRepaintAll();
    if (HandleAllocated()) {
        MeasureCell();
        Layout();
        Invalidate();
        StartTicking();
    }
}

void TIpCustomTerminal::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opInsert) {
        if (ComponentState().Contains(csDestroying)) return;
        auto* Emulator = dynamic_cast<TIpTerminalEmulator*>(AComponent);
        if (!FEmulator && Emulator && !Emulator->IsDefault()) SetEmulator(Emulator);
        auto* Sock = dynamic_cast<TIpSockControl*>(AComponent);
        if (!FSockControl && Sock) SetSockControl(Sock);
        return;
    }
    if (FEmulator && AComponent == static_cast<TComponent*>(FEmulator)) SetEmulator(nullptr);
    if (FSockComponent && AComponent == FSockComponent) {
        // It is going: nothing more is asked of it.
        FActive = false;
        FSockControl = nullptr;
        FSockComponent = nullptr;
        FSocket = INVALID_SOCKET;
    }
}

// A component is announced to its owner's others while its constructor runs, before it is
// anything but a component: a form read from its definition pairs its terminal and emulator once
// everything is read.
void TIpCustomTerminal::Loaded() {
    TCustomControl::Loaded();
    if (FEmulator || !Owner()) return;
    for (int I = 0; I < Owner()->ComponentCount(); ++I) {
        auto* Emulator = dynamic_cast<TIpTerminalEmulator*>(Owner()->Components(I));
        if (Emulator && !Emulator->IsDefault() && !Emulator->Terminal()) {
            SetEmulator(Emulator);
            return;
        }
    }
}

// --- capture ----------------------------------------------------------------------------------

void TIpCustomTerminal::SetCapture(TIpCaptureMode Value) {
    if (Value == FCapture || (Value == cmAppend && FCapture == cmOn)) return;
    if (FCapture == cmOn) {
        FCaptureStream.reset();
        FCapture = cmOff;
    }
    if (Value == cmOff) return;
    if (FCaptureFile.empty()) FCaptureFile = kDefaultCaptureFile;
    // Appending to a file that is not there yet starts it.
    if (Value == cmAppend && FileExists(FCaptureFile)) {
        FCaptureStream = std::make_unique<TFileStream>(FCaptureFile, fmOpenReadWrite);
        FCaptureStream->Seek(0, soEnd);
    } else {
        FCaptureStream = std::make_unique<TFileStream>(FCaptureFile, fmCreate);
    }
    FCapture = cmOn;
}

void TIpCustomTerminal::SetCaptureFile(const std::string& Value) {
    if (Value == FCaptureFile) return;
    const bool Capturing = FCapture == cmOn;
    if (Capturing) SetCapture(cmOff);
    FCaptureFile = Value;
    if (Capturing) SetCapture(cmOn);
}

// A capture that fails (a full disk) ends, so that it does not fail again with every block;
// the error still reaches the user.
void TIpCustomTerminal::WriteCapture(const uint8_t* Data, size_t Count) {
    if (FCapture != cmOn || !FCaptureStream) return;
    try {
        FCaptureStream->WriteBuffer(Data, int64_t(Count));
    } catch (...) {
        FCaptureStream.reset();
        FCapture = cmOff;
        throw;
    }
}

// --- messages ---------------------------------------------------------------------------------

void TIpCustomTerminal::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_IPTERMDATA:
            WMIpTermData(Message);
            return;
        case WM_IPTERMDRAIN:
            Drain();
            return;
        case WM_IPSTATUS:
            WMIpStatus(Message);
            return;
        case CN_KEYDOWN:
        case CN_SYSKEYDOWN:
            if (CNKeyDown(Message)) {
                Message.Result = 1;
                return;
            }
            break;
        case WM_GETDLGCODE:
            Message.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS | DLGC_HASSETSEL |
                             (FWantAllKeys ? DLGC_WANTALLKEYS : 0);
            return;
        case WM_ERASEBKGND:
            Message.Result = 1;
            return;
        case WM_SETFOCUS:
            TCustomControl::Dispatch(Message);
            CreateTheCaret();
            return;
        case WM_KILLFOCUS:
            TCustomControl::Dispatch(Message);
            DestroyTheCaret();
            return;
        case WM_SIZE:
            TCustomControl::Dispatch(Message);
            WMSize();
            return;
        case WM_HSCROLL:
            WMScroll(SB_HORZ, LOWORD(Message.WParam));
            return;
        case WM_VSCROLL:
            WMScroll(SB_VERT, LOWORD(Message.WParam));
            return;
        case WM_TIMER:
            if (Message.WParam == kTickTimer) {
                Tick();
                return;
            }
            break;
        case WM_COPY:
            CopyToClipboard();
            return;
        case WM_CANCELMODE:
            CancelSelecting();
            break;
        case CM_FONTCHANGED:
            TCustomControl::Dispatch(Message);
            FPainter.SetBaseFont(Font()->LogFont());
            if (HandleAllocated()) MeasureCell();
            return;
        default:
            break;
    }
    TCustomControl::Dispatch(Message);
}

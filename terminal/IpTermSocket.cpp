// The terminal control and its socket component: which socket it shows, registering with it,
// the received data and the window-size notice.
#include <vector>

#include "platform/widgets/Forms.h"
#include "terminal/IpTermControl.h"

// --- the socket component ---------------------------------------------------------------------

// The socket that was shown belongs to the old component; the new one tells of its own socket
// when the window attaches (a connected client posts its status to a window that attaches).
void TIpCustomTerminal::SetSockControl(TIpSockControl* Value) {
    if (Value == FSockControl) return;
    DetachFromSockControl();
    FSockControl = Value;
    FSockComponent = dynamic_cast<TComponent*>(Value);
    FSocket = INVALID_SOCKET;
    if (FSockComponent) FSockComponent->FreeNotification(this);
    AttachToSockControl();
}

void TIpCustomTerminal::AttachToSockControl() {
    if (!FSockControl || !HandleAllocated()) return;
    FSockControl->AttachWindow(FHandle);
    RegisterSocket();
}

void TIpCustomTerminal::DetachFromSockControl() {
    UnregisterSocket();
    if (FSockControl && HandleAllocated()) FSockControl->DetachWindow(FHandle);
}

// A control placed on a form without a socket component takes the form's first one.
void TIpCustomTerminal::PickSockControl() {
    if (FSockControl) return;
    TComponent* Holder = GetParentForm(this);
    if (!Holder) Holder = Owner();
    if (!Holder) return;
    for (int I = 0; I < Holder->ComponentCount(); ++I) {
        if (auto* Sock = dynamic_cast<TIpSockControl*>(Holder->Components(I))) {
            SetSockControl(Sock);
            return;
        }
    }
}

// --- the socket -------------------------------------------------------------------------------

void TIpCustomTerminal::SetSocketHandle(SOCKET Socket) {
    UnregisterSocket();
    FSocket = Socket;
    RegisterSocket();
}

void TIpCustomTerminal::RegisterSocket() {
    if (!FActive || !FSockControl || FSocket == INVALID_SOCKET || !HandleAllocated()) return;
    if (!FSockControl->RegisterTerminalWindow(FSocket, FHandle)) {
        FSocket = INVALID_SOCKET;
        return;
    }
    if (!FSockControl->GetMasterTerminal(FSocket)) FSockControl->SetMasterTerminal(FSocket, this);
}

void TIpCustomTerminal::UnregisterSocket() {
    if (!FSockControl || FSocket == INVALID_SOCKET || !HandleAllocated()) return;
    if (IsMasterTerminal()) FSockControl->SetMasterTerminal(FSocket, nullptr);
    FSockControl->UnregisterTerminalWindow(FSocket, FHandle);
}

bool TIpCustomTerminal::IsMasterTerminal() const {
    if (!FSockControl || FSocket == INVALID_SOCKET) return false;
    const TIpTelnetTerminal* Self = this;
    return FSockControl->GetMasterTerminal(FSocket) == Self;
}

void TIpCustomTerminal::NotifySizeChanged() {
    if (FSockControl && FSocket != INVALID_SOCKET)
        PostMessage(FSockControl->Handle(), WM_IPTERMRESIZE, WPARAM(FSocket), 0);
}

void TIpCustomTerminal::WindowSizeBytes(std::string& Text) {
    for (const int Count : {Columns(), Rows()}) {
        Text += char((Count >> 8) & 0xFF);
        Text += char(Count & 0xFF);
    }
}

std::string TIpCustomTerminal::TelnetTermType() {
    return FEmulator ? FEmulator->TelnetTermType() : std::string();
}

// --- messages from the socket component -------------------------------------------------------

// The first socket that connects becomes the one shown; it stays until it disconnects.
void TIpCustomTerminal::WMIpStatus(const TMessage& Message) {
    if (!FSockControl) return;
    const auto Status = uintptr_t(Message.LParam);
    const auto Socket = SOCKET(Message.WParam);
    if (LOWORD(Status) == 1 && HIWORD(Status) == 1 && FSocket == INVALID_SOCKET)
        SetSocketHandle(Socket);
    else if (LOWORD(Status) == 2 && Socket == FSocket)
        SetSocketHandle(INVALID_SOCKET);
}

// The bytes belong to the message queue and live only while the message is handled.
void TIpCustomTerminal::WMIpTermData(const TMessage& Message) {
    if (Message.WParam == 0 || Message.LParam <= 0) return;
    FQueue.Put(reinterpret_cast<const void*>(Message.WParam), size_t(Message.LParam));
    if (!FDrainPending) FDrainPending = PostMessage(FHandle, WM_IPTERMDRAIN, 0, 0);
}

// One drain takes everything queued until it runs. The bytes are taken out of the queue first:
// the emulator's replies go to the socket, and whatever runs meanwhile may queue more.
void TIpCustomTerminal::Drain() {
    FDrainPending = false;
    const size_t Count = FQueue.Count();
    if (Count == 0) return;
    const uint8_t* Head = FQueue.Peek(Count);
    const std::vector<uint8_t> Block(Head, Head + Count);
    FQueue.Remove(Count);
    std::exception_ptr CaptureError;
    try {
        WriteCapture(Block.data(), Count);
    } catch (...) {
        CaptureError = std::current_exception();
    }
    CurrentEmulator().ProcessBlock(Block.data(), Count);
    if (!FUseLazyDisplay && HandleAllocated() && CurrentEmulator().NeedsRepaint())
        PaintNow([this](HDC DC) { LazyPaint(DC); });
    FBytesSincePaint += Count;
    if (CaptureError) std::rethrow_exception(CaptureError);
}

#include "app/ui/TelnetFrm.h"

#include "platform/shell/Dialogs.h"
#include "terminal/IpTermControl.h"
#include "terminal/IpVT100.h"

namespace {

constexpr const char* kIdleCaption = "Orvalin Kestro Telnet";
constexpr const char* kTelnetPort = "23";
constexpr uint32_t kClientTimerMs = 500;
constexpr const char* kLogDateTimeFormat = "yyyy.mm.dd hh:nn:ss";

}  // namespace

std::string TelnetAddress(const std::string& Server, bool TelnetPort, const std::string& Port) {
    return Server + ":" + (TelnetPort ? std::string(kTelnetPort) : Port);
}

TTelnetForm::TTelnetForm(TComponent* AOwner) : TForm(AOwner) {
    IpClient1.SockInits().SocketOptions = soTelnet;
    IpClient1.SocksServer.Port = 1080;
    IpClient1.SocksServer.SocksVersion = svSocks4;
    IpClient1.SetTimerInterval(kClientTimerMs);
    IpClient1.DebugLog().SetEnabled(false);
    IpClient1.EventLog().SetEnabled(false);
    IpClient1.EventLog().SetDateTimeFormat(kLogDateTimeFormat);
    IpClient1.OnStatus = [this](TIpSockControl*, SOCKET, TIpStatusType Event, const TIpConnRec&,
                                const TIpSockStatRec&) { ClientStatus(Event); };
    IpClient1.OnError = [this](TIpSockControl*, SOCKET, int32_t, const std::string& Text) {
        ClientError(Text);
    };
}

TTelnetForm::~TTelnetForm() = default;

void TTelnetForm::BeforeDestruction() {
    // The form's components (the terminal among them) go before its destructor runs: the socket
    // lets go of them first, and its events no longer reach the window.
    IpClient1.OnStatus = nullptr;
    IpClient1.OnError = nullptr;
    if (IpTerminal1) IpTerminal1->SetSockControl(nullptr);
    IpTerminal1 = nullptr;
    IpVT100Emulator1 = nullptr;
    TForm::BeforeDestruction();
}

void TTelnetForm::FormCreate(TObject*) {
    ServerEdit = dynamic_cast<TEdit*>(FindComponent("ServerEdit"));
    TelnetPort = dynamic_cast<TCheckBox*>(FindComponent("TelnetPort"));
    PortEdit = dynamic_cast<TEdit*>(FindComponent("PortEdit"));
    BtnConnect = dynamic_cast<TButton*>(FindComponent("BtnConnect"));
    BtnDisconnect = dynamic_cast<TButton*>(FindComponent("BtnDisconnect"));
    BtnExit = dynamic_cast<TButton*>(FindComponent("BtnExit"));
    IpTerminal1 = dynamic_cast<TIpTerminal*>(FindComponent("IpTerminal1"));
    IpVT100Emulator1 = dynamic_cast<TIpVT100Emulator*>(FindComponent("IpVT100Emulator1"));
    if (!ServerEdit || !TelnetPort || !PortEdit || !BtnConnect || !BtnDisconnect || !BtnExit ||
        !IpTerminal1 || !IpVT100Emulator1)
        throw Exception("The telnet window's definition is incomplete");
    IpTerminal1->SetSockControl(&IpClient1);
}

void TTelnetForm::BtnConnectClick(TObject*) {
    IpTerminal1->ClearScreen();
    BtnConnect->SetEnabled(false);
    if (ServerEdit->Text().empty()) {
        ShowMessage("Kein Server angegeben.");
        BtnConnect->SetEnabled(true);
        return;
    }
    const std::string Target =
        TelnetAddress(ServerEdit->Text(), TelnetPort->Checked(), PortEdit->Text());
    try {
        IpClient1.Connect(Target);
    } catch (const std::exception& E) {
        // Refused before any socket event (a port that is no number): as a socket error.
        ClientError(E.what());
        return;
    }
    FAddress = Target;
}

void TTelnetForm::BtnDisconnectClick(TObject*) {
    IpClient1.Disconnect();
}

void TTelnetForm::BtnExitClick(TObject*) {
    IpClient1.Disconnect();
    Close();
}

void TTelnetForm::TelnetPortClick(TObject*) {
    PortEdit->SetEnabled(!TelnetPort->Checked());
}

void TTelnetForm::ClientStatus(TIpStatusType Event) {
    if (Event == stConnect) {
        SetConnected(true);
        SetCaption("Telnet : Verbunden zu " + FAddress);
        if (IpTerminal1->CanFocus()) IpTerminal1->SetFocus();
    } else if (Event == stDisconnect) {
        SetConnected(false);
        SetCaption(kIdleCaption);
    }
}

void TTelnetForm::ClientError(const std::string& Text) {
    MessageBox(Text, Forms.Title(), MB_OK | MB_ICONERROR);
    SetConnected(false);
}

void TTelnetForm::SetConnected(bool Connected) {
    BtnConnect->SetEnabled(!Connected);
    BtnDisconnect->SetEnabled(Connected);
}

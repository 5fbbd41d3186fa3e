#pragma once
// The telnet window: a VT100 terminal on a client socket with telnet option processing, the
// server and port to connect to, and Connect, Disconnect and Exit. It is "not connected"
// (Connect enabled) or "connected" (Disconnect enabled), moved between the two only by what the
// socket reports.
#include <string>

#include "netlib/sock/IpSock.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/StdCtrls.h"

class TIpTerminal;
class TIpVT100Emulator;

// Where "Connect" goes: the server at the telnet port 23 when TelnetPort is checked, else at the
// port text.
std::string TelnetAddress(const std::string& Server, bool TelnetPort, const std::string& Port);

class TTelnetForm : public TForm {
  public:
    explicit TTelnetForm(TComponent* AOwner);
    ~TTelnetForm() override;
    void BeforeDestruction() override;

    TEdit* ServerEdit = nullptr;
    TCheckBox* TelnetPort = nullptr;
    TEdit* PortEdit = nullptr;
    TButton* BtnConnect = nullptr;
    TButton* BtnDisconnect = nullptr;
    TButton* BtnExit = nullptr;
    TIpTerminal* IpTerminal1 = nullptr;
    TIpVT100Emulator* IpVT100Emulator1 = nullptr;
    // The socket: not a component of the class library, so it is set up here and not read from
    // the definition.
    TIpClient IpClient1;

    // The address last connected to.
    const std::string& Address() const { return FAddress; }

    void FormCreate(TObject* Sender);
    void BtnConnectClick(TObject* Sender);
    void BtnDisconnectClick(TObject* Sender);
    void BtnExitClick(TObject* Sender);
    void TelnetPortClick(TObject* Sender);

  private:
    void ClientStatus(TIpStatusType Event);
    // The socket's error text in a box; the window is ready to connect again.
    void ClientError(const std::string& Text);
    void SetConnected(bool Connected);

    std::string FAddress;
};

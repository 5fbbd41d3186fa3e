// The telnet window and the information box on the offscreen platform: the telnet window's two
// states as the socket moves it (against a listening socket of the test), its errors, and the
// information box's version and links; pictures of both.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>

#include "app/ui/AboutFrm.h"
#include "app/ui/MainFrm.h"
#include "app/ui/TelnetFrm.h"
#include "components/shell/OvcURL.h"
#include "platform/shell/Dialogs.h"
#include "platform/shell/ShellExecute.h"
#include "terminal/IpTermControl.h"
#include "terminal/IpVT100.h"
#include "tests/app/ui/TelnetWindowChecks.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

// A TCP listener on 127.0.0.1 at a port of the kernel's choice.
class TListener {
  public:
    TListener() {
        FFd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in A{};
        A.sin_family = AF_INET;
        A.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(FFd, reinterpret_cast<sockaddr*>(&A), sizeof A);
        listen(FFd, 4);
        socklen_t Len = sizeof A;
        getsockname(FFd, reinterpret_cast<sockaddr*>(&A), &Len);
        FPort = ntohs(A.sin_port);
    }
    ~TListener() {
        if (FPeer >= 0) close(FPeer);
        if (FFd >= 0) close(FFd);
    }
    int Port() const { return FPort; }
    // The connection the kernel accepted for us (the client saw it complete already).
    void Accept() { FPeer = accept(FFd, nullptr, nullptr); }
    void Send(const std::string& Bytes) { ::send(FPeer, Bytes.data(), Bytes.size(), 0); }
    void HangUp() {
        close(FPeer);
        FPeer = -1;
    }
    // No longer listening: connections to the port are refused.
    void Stop() {
        close(FFd);
        FFd = -1;
    }

  private:
    int FFd = -1;
    int FPeer = -1;
    int FPort = 0;
};

class SmallWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        Forms.Initialize();
        RegisterMainFormClasses();
        auto Dialogs = std::make_unique<TScriptedDialogService>();
        Script = Dialogs.get();
        SetDialogService(std::move(Dialogs));
        std::filesystem::create_directories(std::string(KESTRO_BINARY_DIR) + "/pictures/app");
    }
    void TearDown() override {
        if (Telnet) Telnet->Free();
        if (About) About->Free();
        Drain();
        SetDialogService(nullptr);
    }

    void OpenTelnet() {
        Telnet = CreateForm<TTelnetForm>(nullptr);
        Telnet->Show();
        Drain();
    }
    void Click(TControl* Control) { TelnetChecks::ClickMiddle(Telnet->Handle(), Control); }
    bool ShowsConnected(const std::string& Address) {
        return TelnetChecks::ShowsConnected(Telnet, Address);
    }
    bool ShowsIdle() { return TelnetChecks::ShowsIdle(Telnet); }
    std::string Picture(const std::string& Name) const {
        return std::string(KESTRO_BINARY_DIR) + "/pictures/app/" + Name + ".png";
    }

    TScriptedDialogService* Script = nullptr;
    TTelnetForm* Telnet = nullptr;
    TAboutBox* About = nullptr;
};

TEST_F(SmallWindows, TelnetAddressIsTheTelnetPortUnlessAnotherIsGiven) {
    EXPECT_EQ(TelnetAddress("host.example", true, "2323"), "host.example:23");
    EXPECT_EQ(TelnetAddress("host.example", false, "2323"), "host.example:2323");
    EXPECT_EQ(TelnetAddress("10.0.0.1", false, ""), "10.0.0.1:");
}

TEST_F(SmallWindows, TelnetTerminalKeepsNoHistoryAndShowsNoScrollBars) {
    OpenTelnet();
    TIpTerminal* Terminal = Telnet->IpTerminal1;
    EXPECT_EQ(Terminal->ScrollbackRows(), Terminal->Rows());
    // The whole screen fits the window: nothing to scroll to either way.
    const auto Style = GetWindowLongPtr(Terminal->Handle(), GWL_STYLE);
    EXPECT_FALSE(Style & WS_VSCROLL);
    EXPECT_FALSE(Style & WS_HSCROLL);
}

TEST_F(SmallWindows, TelnetWindowMovesBetweenItsStatesAsTheSocketReports) {
    OpenTelnet();
    EXPECT_TRUE(ShowsIdle());
    EXPECT_TRUE(Telnet->TelnetPort->Checked());
    EXPECT_FALSE(Telnet->PortEdit->Enabled());
    Click(Telnet->TelnetPort);
    EXPECT_FALSE(Telnet->TelnetPort->Checked());
    EXPECT_TRUE(Telnet->PortEdit->Enabled());

    TListener Host;
    const std::string Address = "127.0.0.1:" + std::to_string(Host.Port());
    Telnet->PortEdit->SetText(std::to_string(Host.Port()));
    Click(Telnet->BtnConnect);
    ASSERT_TRUE(PumpUntil([&] { return ShowsConnected(Address); })) << Telnet->Caption();
    EXPECT_EQ(Telnet->Address(), Address);
    Host.Accept();
    Host.Send("Welcome to the test host\r\nlogin: ");
    ASSERT_TRUE(PumpUntil([&] {
        return TelnetChecks::TerminalText(Telnet).find("Welcome to the test host") !=
               std::string::npos;
    }));
    Telnet->IpTerminal1->Invalidate();
    Drain();
    EXPECT_TRUE(SaveWindowPicture(Telnet->Handle(), Picture("telnet")));

    // The host ends the session: the window is ready to connect again.
    Host.HangUp();
    ASSERT_TRUE(PumpUntil([&] { return ShowsIdle(); })) << Telnet->Caption();

    // Disconnect ends a session from this side.
    Click(Telnet->BtnConnect);
    ASSERT_TRUE(PumpUntil([&] { return ShowsConnected(Address); }));
    Host.Accept();
    Click(Telnet->BtnDisconnect);
    ASSERT_TRUE(PumpUntil([&] { return ShowsIdle(); })) << Telnet->Caption();
    EXPECT_TRUE(Script->Asked().empty());
}

TEST_F(SmallWindows, TelnetWindowShowsWhyItCouldNotConnect) {
    OpenTelnet();
    Click(Telnet->TelnetPort);
    struct TCase {
        const char* Server;
        const char* Port;  // null: a port nothing listens on
        const char* Shown;
    };
    const TCase Cases[] = {
        {"", "23", "Kein Server angegeben."},
        {"127.0.0.1", nullptr, ""},
        {"127.0.0.1", "no-port", ""},
    };
    for (const TCase& C : Cases) {
        std::string Port = C.Port ? C.Port : "";
        if (!C.Port) {
            TListener Gone;
            Port = std::to_string(Gone.Port());
            Gone.Stop();
        }
        const size_t Before = Script->Asked().size();
        Telnet->ServerEdit->SetText(C.Server);
        Telnet->PortEdit->SetText(Port);
        Click(Telnet->BtnConnect);
        ASSERT_TRUE(PumpUntil([&] { return Script->Asked().size() > Before; })) << Port;
        const auto& Asked = Script->Asked().back();
        EXPECT_EQ(Asked.Kind, TScriptedDialogService::TKind::MessageBox);
        if (*C.Shown)
            EXPECT_EQ(Asked.Text, C.Shown);
        else
            EXPECT_FALSE(Asked.Text.empty());
        ASSERT_TRUE(PumpUntil([&] { return ShowsIdle(); })) << Port << " " << Telnet->Caption();
    }
}

TEST_F(SmallWindows, InformationBoxShowsTheVersionAndOpensItsLinks) {
    auto Runner = std::make_unique<TRecordingProcessRunner>();
    TRecordingProcessRunner* Started = Runner.get();
    std::unique_ptr<TProcessRunner> Before = SetProcessRunner(std::move(Runner));
    About = CreateForm<TAboutBox>(nullptr);
    About->Show();
    Drain();
    EXPECT_EQ(About->Caption(), "Informationen");
    EXPECT_EQ(About->VersionLabel->Caption().rfind("Version ", 0), 0u);
    EXPECT_GT(About->VersionLabel->Caption().size(), std::string("Version ").size());
    EXPECT_TRUE(SaveWindowPicture(About->Handle(), Picture("about")));

    const std::pair<const char*, const char*> Links[] = {
        {"ProductURL", "http://www.orvalin.example/kestro/"},
        {"SupportURL", "mailto:kestro@orvalin.example"},
        {"OpenXPURL", "http://www.openxp.example/"},
        {"XP2URL", "http://www.xp2.example/"},
    };
    for (const auto& [Name, URL] : Links) {
        auto* Label = dynamic_cast<TOvcURL*>(About->FindComponent(Name));
        ASSERT_NE(Label, nullptr) << Name;
        const size_t Count = Started->Started.size();
        TelnetChecks::ClickMiddle(About->Handle(), Label);
        ASSERT_EQ(Started->Started.size(), Count + 1) << Name;
        EXPECT_EQ(Started->Started.back().Arguments, std::vector<std::string>{URL});
    }
    SetProcessRunner(std::move(Before));
}

}  // namespace

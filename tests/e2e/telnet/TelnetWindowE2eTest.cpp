// The program's telnet window against telnetd on 127.0.0.1, through its own buttons: not
// connected, connected (the host's shell answers what is typed), and not connected again when the
// host ends the session or Disconnect is pressed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "app/ui/MainFrm.h"
#include "app/ui/TelnetFrm.h"
#include "platform/shell/Dialogs.h"
#include "terminal/IpTermControl.h"
#include "terminal/IpVT100.h"
#include "tests/app/ui/TelnetWindowChecks.h"
#include "tests/e2e/socks/SocksEnv.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

class TelnetWindow : public testing::Test {
  protected:
    void SetUp() override {
        Env = LoadSocksEnv();
        if (Env.empty()) GTEST_SKIP() << "no telnet server: KESTRO_SOCKS_E2E_ENV is not set";
        Forms.Initialize();
        RegisterMainFormClasses();
        auto Dialogs = std::make_unique<TScriptedDialogService>();
        Script = Dialogs.get();
        SetDialogService(std::move(Dialogs));
        Form = CreateForm<TTelnetForm>(nullptr);
        Form->Show();
        Drain();
    }
    void TearDown() override {
        if (Form) Form->Free();
        Drain();
        SetDialogService(nullptr);
    }

    void Click(TControl* Control) { TelnetChecks::ClickMiddle(Form->Handle(), Control); }
    bool Connected() { return TelnetChecks::ShowsConnected(Form, Address); }
    bool Idle() { return TelnetChecks::ShowsIdle(Form); }
    std::string Shown() { return TelnetChecks::TerminalText(Form); }
    // The shell's prompt "# " with the cursor after it.
    bool WaitForPrompt() {
        TIpTerminalBuffer& B = Form->IpVT100Emulator1->Buffer();
        return PumpUntil([&] {
            const int Row = B.ScreenCursorRow();
            return B.CharAt(Row, 1) == '#' && B.CharAt(Row, 2) == ' ' && B.CursorCol() == 3;
        });
    }
    // A line typed into the focused terminal; typed again when telnetd flushed it while it was
    // still setting the terminal up.
    void Run(const std::string& Command, const std::string& Answer) {
        auto Type = [&] {
            QWindow* Window = QtWindowOf(Form->Handle());
            for (const char C : Command) QTest::keyClick(Window, C);
            QTest::keyClick(Window, Qt::Key_Return);
        };
        Type();
        if (!PumpUntil([&] { return Shown().find(Answer) != std::string::npos; }, 3000)) Type();
        EXPECT_TRUE(PumpUntil([&] { return Shown().find(Answer) != std::string::npos; }))
            << Shown();
    }
    void ConnectToTelnetd() {
        Form->ServerEdit->SetText("127.0.0.1");
        Click(Form->TelnetPort);  // telnetd does not listen on port 23 here
        Form->PortEdit->SetText(Env["TELNET_PORT"]);
        Address = "127.0.0.1:" + Env["TELNET_PORT"];
        Click(Form->BtnConnect);
    }

    std::map<std::string, std::string> Env;
    TScriptedDialogService* Script = nullptr;
    TTelnetForm* Form = nullptr;
    std::string Address;
};

TEST_F(TelnetWindow, ConnectsRunsCommandsAndFollowsTheHostAndDisconnect) {
    ASSERT_TRUE(Idle());
    ConnectToTelnetd();
    ASSERT_TRUE(PumpUntil([&] { return Connected(); })) << Form->Caption();
    ASSERT_TRUE(WaitForPrompt()) << Shown();
    Run("echo window-$((6*7))", "\nwindow-42\n");
    Form->IpTerminal1->Invalidate();
    Drain();
    std::filesystem::create_directories(std::string(KESTRO_BINARY_DIR) + "/pictures/app");
    EXPECT_TRUE(SaveWindowPicture(
        Form->Handle(), std::string(KESTRO_BINARY_DIR) + "/pictures/app/telnet-telnetd.png"));

    // The host ends the session: the window can connect again.
    Run("exit", "");
    ASSERT_TRUE(PumpUntil([&] { return Idle(); })) << Form->Caption();

    Click(Form->BtnConnect);
    ASSERT_TRUE(PumpUntil([&] { return Connected(); })) << Form->Caption();
    ASSERT_TRUE(WaitForPrompt()) << Shown();
    Click(Form->BtnDisconnect);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); })) << Form->Caption();
    EXPECT_TRUE(Script->Asked().empty());
}

TEST_F(TelnetWindow, AClosedPortIsReportedAndTheWindowStaysReady) {
    Click(Form->TelnetPort);
    Form->PortEdit->SetText(Env["CLOSED_PORT"]);
    Click(Form->BtnConnect);
    ASSERT_TRUE(PumpUntil([&] { return !Script->Asked().empty(); }));
    EXPECT_FALSE(Script->Asked()[0].Text.empty());
    EXPECT_TRUE(PumpUntil([&] { return Idle(); })) << Form->Caption();
}

}  // namespace

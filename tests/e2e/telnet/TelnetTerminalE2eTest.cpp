// The telnet window's terminal against telnetd on 127.0.0.1: a VT100 terminal control on a
// form, connected through the client socket component with telnet option processing, shows what
// the host sends, sends what is typed, and tells the host its new size.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "platform/widgets/Forms.h"
#include "terminal/IpTermControl.h"
#include "terminal/IpTermRegister.h"
#include "terminal/IpVT100.h"
#include "tests/e2e/socks/SocksEnv.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

class TelnetTerminal : public testing::Test {
  protected:
    void SetUp() override {
        Env = LoadSocksEnv();
        if (Env.empty()) GTEST_SKIP() << "no telnet server: KESTRO_SOCKS_E2E_ENV is not set";
        Forms.Initialize();
        RegisterTerminalClasses();
        Form = new TForm(nullptr);
        Form->AfterConstruction();
        Form->SetCaption("Orvalin Kestro Telnet");
        Form->SetBounds(30, 30, 760, 520);
        Term = new TIpTerminal(Form);
        Term->SetParent(Form);
        Term->SetAlign(alClient);
        Term->SetScrollback(false);
        Vt = new TIpVT100Emulator(Form);
        Vt->SetAnswerback("Kestro Terminal");
        Vt->SetDisplayUpperASCII(true);
        Term->SetEmulator(Vt);
        Client.SockInits().SocketOptions = soTelnet;
        Client.OnError = [this](TIpSockControl*, SOCKET, int32_t Code, const std::string& Text) {
            Errors += std::to_string(Code) + " " + Text + "\n";
        };
        Term->SetSockControl(&Client);
        Form->Show();
        Drain();
    }
    void TearDown() override {
        if (Form) Form->Free();
        Drain();
    }

    // The screen and the history as text, one line a row, trailing blanks cut.
    std::string Shown() {
        TIpTerminalBuffer& B = Vt->Buffer();
        std::string Text;
        for (int Row = B.RowCount() - B.SVRowCount() + 1; Row <= B.RowCount(); ++Row) {
            std::string Line;
            for (int Col = 1; Col <= B.ColCount(); ++Col) Line += char(B.CharAt(Row, Col));
            Line.erase(Line.find_last_not_of(' ') + 1);
            if (!Line.empty() || !Text.empty()) Text += Line + "\n";
        }
        return Text;
    }
    // The shell's prompt "# " on the cursor's row, the cursor after it.
    bool WaitForPrompt() {
        TIpTerminalBuffer& B = Vt->Buffer();
        return PumpUntil([&] {
            const int Row = B.ScreenCursorRow();
            return B.CharAt(Row, 1) == '#' && B.CharAt(Row, 2) == ' ' && B.CursorCol() == 3;
        });
    }
    bool WaitFor(const std::string& Text) {
        return PumpUntil([&] { return Shown().find(Text) != std::string::npos; }, 20000);
    }
    // Types a line as the keyboard does, into the focused terminal.
    void Type(const std::string& Line) {
        QWindow* Window = QtWindowOf(Form->Handle());
        for (const char C : Line) QTest::keyClick(Window, C);
        QTest::keyClick(Window, Qt::Key_Return);
    }
    // A command typed once the shell is ready; typed again when telnetd flushed it while it was
    // still setting the terminal up.
    void Run(const std::string& Command, const std::string& Answer) {
        Type(Command);
        if (!PumpUntil([&] { return Shown().find(Answer) != std::string::npos; }, 3000))
            Type(Command);
        EXPECT_TRUE(WaitFor(Answer)) << "no '" << Answer << "' after '" << Command << "' in:\n"
                                     << Shown();
    }

    std::map<std::string, std::string> Env;
    TIpClient Client;
    TForm* Form = nullptr;
    TIpTerminal* Term = nullptr;
    TIpVT100Emulator* Vt = nullptr;
    std::string Errors;
};

TEST_F(TelnetTerminal, ShowsTheHostTypesCommandsAndTellsTheHostItsSize) {
    Term->ClearScreen();
    Client.Connect("127.0.0.1:" + Env["TELNET_PORT"]);
    // telnetd's banner names the system, the host and the terminal line it opened; its shell's
    // prompt follows once the terminal type and size are settled.
    ASSERT_TRUE(WaitForPrompt()) << Errors << Shown();
    EXPECT_EQ(Errors, "");
    const std::string Banner = Shown().substr(0, Shown().find('\n'));
    EXPECT_NE(Banner.find(" (pts/"), std::string::npos) << Shown();
    EXPECT_TRUE(Term->IsMasterTerminal());
    Term->SetFocus();
    Drain();

    // The shell echoes what is typed, then answers.
    Run("echo abc | tr a-c x-z", "\nxyz\n");
    EXPECT_NE(Shown().find("# echo abc | tr a-c x-z\n"), std::string::npos) << Shown();
    Run("echo $TERM", "\nvt100\n");
    Run("stty size", "\n24 80\n");
    Run("printf 'bold \\033[1mon\\033[m, reverse \\033[7mon\\033[m\\n'", "bold on, reverse on");
    Term->Invalidate();
    Drain();
    EXPECT_TRUE(SaveWindowPicture(
        Form->Handle(), std::string(KESTRO_BINARY_DIR) + "/pictures/terminal/telnet-session.png"));

    // A new size goes to the host as it changes.
    Term->SetRows(30);
    Term->SetColumns(100);
    Run("clear; stty size", "30 100\n");
    EXPECT_EQ(Shown().find("echo abc"), std::string::npos) << "not cleared:\n" << Shown();

    Type("exit");
    EXPECT_TRUE(PumpUntil([&] { return Term->SocketHandle() == INVALID_SOCKET; }, 20000));
}

}  // namespace

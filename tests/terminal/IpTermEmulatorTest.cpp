// The emulator base (sending, echo, the registry) and the TTY emulator.
#include <gtest/gtest.h>

#include <memory>

#include "tests/terminal/TermTestSupport.h"

namespace {

class TTY : public ::testing::Test {
  protected:
    void SetUp() override {
        Tty.SetTerminal(&Host);  // the registry attaches it like any published emulator
        SmallScreen(Tty.Buffer(), 8, 3, 2);
        Host.Connect();
    }

    TFakeTerminal Host;
    TIpTTYEmulator Tty;
};

TEST_F(TTY, ControlBytesAndText) {
    Feed(Tty, "abc\bX\tY\r\nline2\x01\x1b[m\a");
    EXPECT_EQ(Screen(Tty.Buffer()), "abX    Y\nline2[m\n\n");
    EXPECT_EQ(Host.Beeps, 1);
    EXPECT_EQ(Tty.TelnetTermType(), "dumb");
    // A received BS moves left without erasing.
    Feed(Tty, "\b\b");
    EXPECT_EQ(Cursor(Tty.Buffer()), "2,6");
    EXPECT_EQ(Screen(Tty.Buffer()), "abX    Y\nline2[m\n\n");
}

TEST_F(TTY, KeysAreSentAndBackspaceBecomesDelete) {
    Tty.KeyPress('l');
    Tty.KeyPress('\b');
    Tty.KeyPress('\r');
    EXPECT_EQ(Host.Sent(), "l\x7f\r");
    uint16_t Key = VK_UP;
    Tty.KeyDown(Key, {});
    EXPECT_EQ(Key, VK_UP);  // left to default processing
    EXPECT_EQ(Host.Sent(), "");
    EXPECT_EQ(Screen(Tty.Buffer()), "\n\n\n");
}

TEST_F(TTY, HalfDuplexEchoesWhatIsSent) {
    Host.Half = true;
    Tty.KeyPress('o');
    Tty.KeyPress('k');
    EXPECT_EQ(Host.Sent(), "ok");
    EXPECT_EQ(Screen(Tty.Buffer()), "ok\n\n\n");
    EXPECT_EQ(Host.LastCursor, std::make_pair(1, 3));
}

TEST_F(TTY, NothingIsSentWithoutASocket) {
    TFakeTerminal Unconnected;
    TIpTTYEmulator Lone;
    Lone.SetTerminal(&Unconnected);
    Lone.KeyPress('x');
    EXPECT_EQ(Unconnected.Socket, nullptr);
    Lone.SetTerminal(nullptr);
    Lone.KeyPress('y');  // no terminal: nothing at all
}

TEST_F(TTY, RowRunsSplitByLookAndHoldTheWholeRow) {
    TIpTerminalBuffer& B = Tty.Buffer();
    B.tbSetColCount(300);
    B.SetCursorPosition(1, 1);
    Feed(Tty, std::string(150, 'a'));
    B.SetAttr(0x11);  // bold and reverse
    Feed(Tty, std::string(150, 'b'));
    const auto Runs = Tty.RowRuns(1, 1, 300, true);
    ASSERT_EQ(Runs.size(), 2u);
    EXPECT_EQ(Runs[0].Count, 150);
    EXPECT_EQ(Runs[1].Column, 151);
    EXPECT_EQ(Runs[1].Script[0].Text, std::string(150, 'b'));
    EXPECT_EQ(Runs[0].ForeColor, 0xC0C0C0u);
    // Reversed, then the foreground (the old background, black) brightened by 128.
    EXPECT_EQ(Runs[1].ForeColor, 0x808080u);
    EXPECT_EQ(Runs[1].BackColor, 0xC0C0C0u);
    EXPECT_TRUE(Tty.RowRuns(4, 1, 9, true).empty());
    EXPECT_EQ(Tty.RowRuns(1, 290, 400, false)[0].Count, 11);
}

TEST(TerminalRegistry, OneEmulatorPerTerminal) {
    TFakeTerminal Host;
    auto First = std::make_unique<TIpVT100Emulator>();
    TIpTTYEmulator Second;
    First->SetTerminal(&Host);
    EXPECT_EQ(Host.Emulator, First.get());
    EXPECT_EQ(IpTermRegistryEmulator(&Host), First.get());

    Second.SetTerminal(&Host);  // takes the terminal over
    EXPECT_EQ(Host.Emulator, &Second);
    EXPECT_EQ(First->Terminal(), nullptr);
    First->SetTerminal(&Host);
    EXPECT_EQ(Second.Terminal(), nullptr);
    First.reset();  // leaving unlinks
    EXPECT_EQ(Host.Emulator, nullptr);
    EXPECT_EQ(IpTermRegistryEmulator(&Host), nullptr);

    // A control's built-in emulator never enters the registry.
    TIpTTYEmulator BuiltIn;
    BuiltIn.SetIsDefault(true);
    BuiltIn.SetTerminal(&Host);
    EXPECT_EQ(Host.Emulator, nullptr);
    EXPECT_EQ(BuiltIn.Terminal(), &Host);

    TIpTTYEmulator Waiting;
    Waiting.TerminalInserted(&Host);
    EXPECT_EQ(Host.Emulator, &Waiting);
    Waiting.TerminalRemoved(&Host);
    EXPECT_EQ(Waiting.Terminal(), nullptr);
    IpTermRegistryUnlink(&Host, false);
}

}  // namespace

// The VT100 emulator: screens after received sequences, the replies the host reads back, and
// the bytes keys send in each mode.
#include <gtest/gtest.h>

#include "tests/terminal/TermTestSupport.h"

namespace {

class VT100 : public ::testing::Test {
  protected:
    void SetUp() override {
        Vt.SetTerminal(&Host);
        Vt.SetAnswerback("Kestro Terminal");
        Host.Connect();
    }

    // A small screen for readable dumps.
    void Small(int Cols = 10, int Rows = 5) { SmallScreen(Vt.Buffer(), Cols, Rows, 10); }
    std::string Replies(const std::string& Bytes) {
        Feed(Vt, Bytes);
        return Host.Sent();
    }
    std::string Keys(uint16_t Key, TShiftState Shift = {}) {
        uint16_t K = Key;
        Vt.KeyDown(K, Shift);
        return (K == 0 ? "" : "(not consumed)") + Host.Sent();
    }

    TFakeTerminal Host;
    TIpVT100Emulator Vt;
    TIpTerminalBuffer& B = Vt.Buffer();
};

TEST_F(VT100, RepliesToStatusAndIdentificationRequests) {
    struct Case {
        const char* Request;
        const char* Reply;
    } Cases[] = {
        {"\x1b[5n", "\x1b[0n"},
        {"\x1b[12;7H\x1b[6n", "\x1b[12;7R"},
        {"\x1b[c", "\x1b[?1;0c"},
        {"\x1b[0c", "\x1b[?1;0c"},
        {"\x1bZ", "\x1b[?1;0c"},
        {"\x1b[x", "\x1b[3;1;1;120;120;1;0x"},
        {"\x1b[0x", "\x1b[2;1;1;120;120;1;0x"},
        {"\x1b[1x", "\x1b[3;1;1;120;120;1;0x"},
        {"\x1b[7x", "\x1b[3;1;1;120;120;1;0x"},
        {"\x05", "Kestro Terminal"},
        {"\x1b[1c\x1b[7n\x1b[?6n", ""},
        {"\x1b[?2l\x1bZ\x1b<", "\x1b/Z"},
    };
    for (const Case& C : Cases) EXPECT_EQ(Replies(C.Request), C.Reply) << C.Request;
    // In origin mode the position counts from the region's top.
    EXPECT_EQ(Replies("\x1b[5;10r\x1b[?6h\x1b[2;3H\x1b[6n"), "\x1b[2;3R");
    EXPECT_EQ(Cursor(B), "2,3");
    EXPECT_EQ(B.ScreenCursorRow(), 6);
}

TEST_F(VT100, OnlyTheMasterTerminalAnswers) {
    Host.Master = false;
    EXPECT_EQ(Replies("\x1b[5n\x1b[c\x05\x1b[x"), "");
}

TEST_F(VT100, ModesWithTheWrongArgumentsChangeNothing) {
    Feed(Vt, "\x1b[?7l");
    EXPECT_FALSE(Vt.AutoWrap());
    Feed(Vt, "\x1b[?1;7h\x1b[7h\x1b[?7;1h");
    EXPECT_FALSE(Vt.AutoWrap());
    EXPECT_FALSE(Vt.CursorKeyMode());
    Feed(Vt, "\x1b[?7h\x1b[4h\x1b[20h\x1b[?1h\x1b=\x1b[?8l\x1b[?5h\x1b[?9h\x1b[?4h");
    EXPECT_TRUE(Vt.AutoWrap());
    EXPECT_TRUE(B.UseAutoWrap());
    EXPECT_TRUE(Vt.InsertMode() && B.UseInsertMode());
    EXPECT_TRUE(Vt.NewLineMode() && B.UseNewLineMode());
    EXPECT_TRUE(Vt.CursorKeyMode() && Vt.KeypadMode() && Vt.ReverseScreen());
    EXPECT_TRUE(Vt.Interlace() && Vt.SmoothScroll() && Vt.RepaintAll());
    EXPECT_FALSE(Vt.AutoRepeat());
    Feed(Vt, "\x1b[Hwide\x1b[?3h");
    EXPECT_EQ(B.ColCount(), 132);
    EXPECT_EQ(Rows(B, -23, -23) + Rows(B, 1, 1), "wide\n\n");  // erased into the history
    EXPECT_EQ(Host.ColumnRequests, std::vector<int>{132});
    Feed(Vt,
         "\x1b"
         "c");
    EXPECT_EQ(B.ColCount(), 80);
    EXPECT_FALSE(Vt.InsertMode() || Vt.NewLineMode() || Vt.CursorKeyMode() || Vt.KeypadMode() ||
                 Vt.ReverseScreen() || Vt.Interlace() || Vt.SmoothScroll() || Vt.Col132Mode());
    EXPECT_TRUE(Vt.AutoRepeat() && Vt.AutoWrap() && Vt.ANSIMode());
}

TEST_F(VT100, EraseDisplayMovesTheScreenIntoTheHistory) {
    Small();
    Feed(Vt, "one\r\ntwo\x1b[2J");
    EXPECT_EQ(Rows(B, -4, 2), "one\ntwo\n\n\n\n\n\n");
    EXPECT_EQ(Cursor(B), "2,4");
    Feed(Vt, "\x1b[Hab\r\ncd\x1b[1;2H\x1b[1J");
    EXPECT_EQ(Rows(B, 1, 2), "\ncd\n");
    Feed(Vt, "\x1b[2;1H\x1b[0J");
    EXPECT_EQ(Screen(B), "\n\n\n\n\n");
}

TEST_F(VT100, EraseInLineTakesTheCellUnderTheCursorWithIt) {
    const std::pair<const char*, const char*> Cases[] = {
        {"\x1b[K", "ab\n"},
        {"\x1b[0K", "ab\n"},
        {"\x1b[1K", "   def\n"},
        {"\x1b[2K", "\n"},
    };
    for (const auto& [Erase, Want] : Cases) {
        Small(6, 2);
        Feed(Vt, std::string("\x1b[2J\x1b[Habcdef\x1b[1;3H") + Erase);
        EXPECT_EQ(Rows(B, 1, 1), Want) << Erase + 1;
        EXPECT_EQ(Cursor(B), "1,3") << Erase + 1;
    }
}

TEST_F(VT100, ADoubleWidthLineOfAnOddScreenShowsItsHalfCellAtTheEnd) {
    Small(7, 2);
    Feed(Vt, "abcdefg\x1b#6");
    const auto Runs = Vt.RowRuns(1, 1, 7, true);
    ASSERT_EQ(Runs.size(), 1u);
    EXPECT_EQ(Runs[0].Count, 4);
    EXPECT_EQ(Runs[0].Script[0].Text, "abcd");
}

TEST_F(VT100, ScrollRegionsAreValidated) {
    Small(10, 6);
    struct Case {
        const char* Sequence;
        int Top, Bottom;
        const char* Cursor;
    } Cases[] = {
        {"\x1b[5;10r", 5, 6, "5,1"},  // the bottom is kept on the screen
        {"\x1b[2;4r", 2, 4, "2,1"},   // homes to the region's top
        {"\x1b[4;2r", 2, 4, "3,3"},   // top above bottom: refused
        {"\x1b[3;3r", 2, 4, "3,3"},   // one row: refused
        {"\x1b[9;99r", 2, 4, "3,3"},  // below the screen: refused
        {"\x1b[?5;6r", 2, 4, "3,3"},  // a private sequence is no region
        {"\x1b[r", 1, 6, "1,1"},      // the whole screen again
        {"\x1b[0;3r", 1, 3, "1,1"},  {"\x1b[;0r", 1, 6, "1,1"},
    };
    for (const Case& C : Cases) {
        Feed(Vt, std::string("\x1b[3;3H") + C.Sequence);
        EXPECT_EQ(B.RegionTop(), C.Top) << C.Sequence;
        EXPECT_EQ(B.RegionBottom(), C.Bottom) << C.Sequence;
        EXPECT_EQ(Cursor(B), C.Cursor) << C.Sequence;
    }
}

TEST_F(VT100, CursorAddressingNeverReachesTheHistory) {
    Small();
    Feed(Vt, "\x1b[0;0Hx\x1b[99;99Hy\x1b[2;99H\x1b[99A\x1b[99Dz");
    EXPECT_EQ(Rows(B, -2, 5), "\n\n\nz\n\n\n\n         y\n");
    Feed(Vt, "\x1b[3;3H\x1b[2B\x1b[0C\x1b[A*");
    EXPECT_EQ(Rows(B, 4, 4), "   *\n");
}

TEST_F(VT100, WrapAtTheBottomRightScrollsOnTheNextCharacter) {
    Small(4, 2);
    Feed(Vt, "abcd\r\nwxyz");
    EXPECT_EQ(Screen(B), "abcd\nwxyz\n");
    EXPECT_EQ(Cursor(B), "2,4");
    Feed(Vt, "!");
    EXPECT_EQ(Rows(B, 0, 2), "abcd\nwxyz\n!\n");
}

TEST_F(VT100, InsertAndDeleteLinesOutsideTheRegionAreIgnored) {
    Small(6, 5);
    Feed(Vt, "a\r\nb\r\nc\r\nd\r\ne\x1b[2;4r\x1b[5;1H\x1b[L\x1b[M\x1b[1;1H\x1b[2M");
    EXPECT_EQ(Screen(B), "a\nb\nc\nd\ne\n");
    Feed(Vt, "\x1b[3;1H\x1b[L");
    EXPECT_EQ(Screen(B), "a\nb\n\nc\ne\n");
}

TEST_F(VT100, GraphicRenditionAndColours) {
    Small(12, 2);
    Feed(Vt, "n\x1b[1mb\x1b[4mu\x1b[5mk\x1b[7mr\x1b[8mi\x1b[0;1;7mR\x1b[22;27mn\x1b[m");
    Feed(Vt, "\x1b[31;42mc\x1b[0m.\x1b[99;3mx");
    EXPECT_EQ(Screen(B), "nbukriRnc.x\n\n");
    EXPECT_EQ(Attrs(B), ".13brXh\n\n");
    EXPECT_EQ(B.ForeColorAt(1, 9), IpTermRGB(0x80, 0, 0));
    EXPECT_EQ(B.BackColorAt(1, 9), IpTermRGB(0, 0x80, 0));
    EXPECT_EQ(B.ForeColorAt(1, 10), 0xC0C0C0u);
    EXPECT_EQ(Vt.BlinkRegions(), (std::vector<TIpBlinkRegion>{{1, 4, 6}}));
    EXPECT_TRUE(Vt.HasBlinkingText());
}

TEST_F(VT100, SaveAndRestoreCursor) {
    Small();
    Feed(Vt,
         "\x1b[2;3H\x1b[1;31m\x1b(0\x1b"
         "7\x1b[m\x1b(B\x1b[5;5Hz\x1b"
         "8q\x1b[sQ\x1b[Hx\x1b[u!");
    EXPECT_EQ(Rows(B, 2, 2), "  q!\n");
    EXPECT_EQ(B.AttrAt(2, 3), 1);
    EXPECT_EQ(B.CharSetAt(2, 3), csLineDraw);
    EXPECT_EQ(B.ForeColorAt(2, 3), IpTermRGB(0x80, 0, 0));
}

// As on a VT100, a count of 0 is a count of 1 for every movement and edit that takes one.
TEST_F(VT100, ACountOfZeroIsACountOfOne) {
    Small(8, 4);
    const struct {
        const char* Sequence;
        const char* Row;
        const char* Cursor;
    } Cases[] = {
        {"\x1b[0C", "abcdef\n", "1,5"},  {"\x1b[0D", "abcdef\n", "1,3"},
        {"\x1b[0P", "abcef\n", "1,4"},   {"\x1b[0X", "abc ef\n", "1,4"},
        {"\x1b[0@", "abc def\n", "1,4"},
    };
    for (const auto& C : Cases) {
        Feed(Vt, "\x1b[2J\x1b[Habcdef\x1b[1;4H");
        Feed(Vt, C.Sequence);
        EXPECT_EQ(Rows(B, 1, 1), C.Row) << C.Sequence + 1;
        EXPECT_EQ(Cursor(B), C.Cursor) << C.Sequence + 1;
    }
    Feed(Vt, "\x1b[2J\x1b[Ha\r\nb\r\nc\x1b[2;1H\x1b[0L");
    EXPECT_EQ(Screen(B), "a\n\nb\nc\n");
    Feed(Vt, "\x1b[0M");
    EXPECT_EQ(Screen(B), "a\nb\nc\n\n");
}

// The saved cursor is a place on the screen: rows that scroll into the history meanwhile do
// not take it with them.
TEST_F(VT100, ARestoredCursorStaysOnTheScreen) {
    Small(6, 3);
    Feed(Vt,
         "\x1b[2;3H\x1b"
         "7\x1b[3;1Hx\r\ny\r\nz\x1b"
         "8!");
    EXPECT_EQ(Rows(B, -1, 3), "\n\nx\ny !\nz\n");
    EXPECT_EQ(Cursor(B), "2,4");
}

// A reset also takes the rows back to single width and height, as on a VT100.
TEST_F(VT100, AResetClearsTheLineAttributes) {
    Small(6, 3);
    Feed(Vt,
         "\x1b[1;1H\x1b#6\x1b[2;1H\x1b#3\x1b"
         "c");
    EXPECT_EQ(Vt.LineAttr(1), 0);
    EXPECT_EQ(Vt.LineAttr(2), 0);
}

TEST_F(VT100, CharacterSetsAndUpperASCII) {
    Small(12, 2);
    Feed(Vt,
         "a\x1b)0\x0eq\x0f"
         "b\x1b(Aq\xc4\xc8\x82\x1b(B");
    EXPECT_EQ(Screen(B), "aqbqqm\n\n");
    const uint8_t Expected[] = {csUSASCII, csLineDraw, csUSASCII, csUK, csLineDraw, csLineDraw};
    for (int Col = 1; Col <= 6; ++Col) EXPECT_EQ(B.CharSetAt(1, Col), Expected[Col - 1]) << Col;
    EXPECT_EQ(B.CharSet(), csUSASCII);
    Vt.SetDisplayUpperASCII(true);
    Feed(Vt, "\x82");
    EXPECT_EQ(B.CharAt(1, 7), 0x82);
    // In VT52 mode SO always selects line drawing.
    Feed(Vt, "\x1b[?2l\x0e");
    EXPECT_EQ(B.CharSet(), csLineDraw);
}

TEST_F(VT100, AlignmentPatternAndLineAttributes) {
    Small(4, 3);
    Feed(Vt, "ab\x1b#8");
    EXPECT_EQ(Rows(B, -2, 3), "ab\n\n\nEEEE\nEEEE\nEEEE\n");
    Feed(Vt, "\x1b[1;1H\x1b#4\x1b[2;1H\x1b#3\x1b[3;1H\x1b#6");
    EXPECT_EQ(Vt.LineAttr(1), 2);
    EXPECT_EQ(Vt.LineAttr(2), 1);
    EXPECT_EQ(Vt.LineAttr(3), 3);
    // Line attributes scroll with their rows.
    Feed(Vt, "\n\n");
    EXPECT_EQ(Vt.LineAttr(1), 3);
    Feed(Vt, "\x1b#5");
    EXPECT_EQ(Vt.LineAttr(3), 0);
}

TEST_F(VT100, DoubleHeightBottomHalfOnTheTopRowShowsItself) {
    Small(8, 3);
    Feed(Vt, "top\r\nbottom\x1b#4\x1b[1;1H\x1b#4");
    const auto Top = Vt.RowRuns(1, 1, 8, true);
    ASSERT_EQ(Top.size(), 1u);
    EXPECT_EQ(Top[0].Script[0].Text, "top ");
    EXPECT_TRUE(Top[0].DoubleWidth);
    const auto Second = Vt.RowRuns(2, 3, 8, true);
    ASSERT_EQ(Second.size(), 1u);
    EXPECT_EQ(Second[0].Column, 2);
    EXPECT_EQ(Second[0].Script[0].Text, "op ");  // the row above
}

TEST_F(VT100, RowRunsCoverWideScreensAndSplitByCharacterSet) {
    Feed(Vt, "\x1b[?3h");
    B.tbSetColCount(400);
    Feed(Vt, "\x1b[1;1H" + std::string(200, 'x') + "\x1b(0lqk\x1b(B" + std::string(197, 'y'));
    const auto Runs = Vt.RowRuns(1, 1, 400, true);
    ASSERT_EQ(Runs.size(), 3u);
    EXPECT_EQ(Runs[0].Script[0].Text, std::string(200, 'x'));
    EXPECT_EQ(Runs[1].Script[0], (TIpDrawElement{"Terminal", "\xda\xc4\xbf"}));
    EXPECT_EQ(Runs[2].Count, 197);
    Feed(Vt, "\x1b[?5h");
    EXPECT_EQ(Vt.RowRuns(1, 1, 1, true)[0].BackColor, 0xC0C0C0u);
}

struct KeyCase {
    const char* Modes;  // sequences received first
    uint16_t Key;
    TShiftState Shift;
    const char* Sent;
};

TEST_F(VT100, KeysSendWhatTheModeAsks) {
    const KeyCase Cases[] = {
        {"", VK_UP, {}, "\x1b[A"},
        {"\x1b[?1h", VK_UP, {}, "\x1bOA"},
        {"\x1b[?2l",
         VK_UP,
         {},
         "\x1b"
         "A"},
        {"\x1b[?2l\x1b[?1h",
         VK_LEFT,
         {},
         "\x1b"
         "D"},
        // Keypad keys reach the emulator as numpad codes while Num Lock is off.
        {"", VK_NUMPAD0 + 5, {}, "5"},
        {"\x1b=", VK_NUMPAD0 + 5, {}, "\x1bOu"},
        {"\x1b[?2l\x1b=", VK_NUMPAD0 + 5, {}, "\x1b?u"},
        {"\x1b[?2l", VK_NUMPAD0 + 5, {}, "5"},
        {"", VK_DECIMAL, {}, "."},
        {"", VK_DECIMAL, TShiftState{ssCtrl}, ","},
        {"\x1b=", VK_ADD, {}, "\x1bOm"},
        {"", VK_EXECUTE, {}, "\r"},
        {"\x1b[20h", VK_EXECUTE, {}, "\r\n"},
        {"\x1b=", VK_EXECUTE, {}, "\x1bOM"},
        {"", VK_F1, {}, "\x1bOP"},
        {"\x1b[?2l", VK_F1 + 3, {}, "\x1bS"},
        {"", VK_BACK, {}, "\x7f"},
        {"", VK_BACK, TShiftState{ssShift}, "\b"},
        {"", VK_RETURN, TShiftState{ssShift}, "\n"},
        {"", VK_SPACE, TShiftState{ssCtrl}, std::string("\0", 1).c_str()},
        {"", VK_UP, TShiftState{ssShift, ssCtrl, ssAlt}, "(not consumed)"},
        {"", VK_RETURN, {}, "(not consumed)"},
        {"", VK_A, {}, "(not consumed)"},
        {"", VK_UP | kAutoRepeatFlag, {}, "\x1b[A"},
        {"\x1b[?8l", VK_UP | kAutoRepeatFlag, {}, ""},
        {"\x1b[?8l", VK_UP, {}, "\x1b[A"},
    };
    for (const KeyCase& C : Cases) {
        Feed(Vt, std::string("\x1b<\x1b"
                             "c") +
                     C.Modes);  // to ANSI mode, then reset
        const std::string Expected = C.Key == VK_SPACE ? std::string(1, '\0') : C.Sent;
        EXPECT_EQ(Keys(C.Key, C.Shift), Expected) << C.Modes << " key " << C.Key;
    }
}

TEST_F(VT100, NumLockAsPF1LeavesNumLockAlone) {
    EXPECT_EQ(Keys(VK_NUMLOCK), "\x1bOP");
    EXPECT_EQ(Host.NumLockRestores, 1);
}

TEST_F(VT100, LocalEchoNeverShowsEscape) {
    Small(12, 2);
    Host.Half = true;
    EXPECT_EQ(Keys(VK_UP), "\x1b[A");  // nothing of it echoes
    EXPECT_EQ(Keys(VK_NUMPAD0 + 7), "7");
    Vt.KeyPress('h');
    Vt.KeyPress('\r');
    EXPECT_EQ(Host.Sent(), "h\r");
    EXPECT_EQ(Screen(B), "7h\n\n");
    EXPECT_EQ(Cursor(B), "1,1");
}

TEST_F(VT100, MissingResourcesLeaveKeysToDefaultProcessing) {
    const TResourceModule Empty{};
    TIpVT100Emulator Bare(nullptr, &Empty);
    EXPECT_EQ(Bare.KeyMap().Count(), 0);
    EXPECT_EQ(Bare.CharSetMap().Count(), 0);
    uint16_t Key = VK_UP;
    Bare.KeyDown(Key, {});
    EXPECT_EQ(Key, VK_UP);
    Feed(Bare, "\x1b(0q");
    EXPECT_EQ(Bare.RowRuns(1, 1, 1, true)[0].Script[0], (TIpDrawElement{"<Default>", "q"}));
    EXPECT_EQ(Vt.KeyMap().Count(), 221);
    EXPECT_EQ(Vt.CharSetMap().Count(), 603);
}

}  // namespace

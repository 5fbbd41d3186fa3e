// The cell buffer as screen, history and attribute dumps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/terminal/TermTestSupport.h"

namespace {

class Buffer : public ::testing::Test {
  protected:
    void SetUp() override { SmallScreen(B, 6, 3, 2); }

    // Fills the screen with lines "a", "b", "c", ... one per row.
    void Letters() {
        for (int Row = 1; Row <= B.RowCount(); ++Row) {
            B.SetCursorPosition(Row, 1);
            B.WriteChar(uint8_t('a' + Row - 1));
        }
    }

    TIpTerminalBuffer B{false};
};

TEST(TerminalArray, ResizingKeepsTheBottomRowsAndPadsRowsToWords) {
    TIpTerminalArray A(1);
    A.SetDefaultItem('.');
    A.SetColCount(5);
    A.SetRowCount(3);
    EXPECT_EQ(A.Stride(), 8);
    for (int Row = 0; Row < 3; ++Row) A.WriteItems("abcde", 5, Row, 0);
    A.ScrollRows(1, 0, 2);  // turns the ring: storage no longer starts at row 0
    A.WriteItems("xyz", 3, 2, 0);
    A.SetRowCount(2);
    A.SetColCount(4);
    EXPECT_EQ(char(A.Item(0, 0)), 'a');
    EXPECT_EQ(char(A.Item(1, 0)), 'x');
    EXPECT_EQ(char(A.Item(1, 3)), '.');
    EXPECT_EQ(A.GetItemPtr(2, 0), nullptr);
    EXPECT_EQ(TIpTerminalArray(3).ItemSize(), 1);
    EXPECT_EQ(TIpTerminalArray(2).Stride(), 0);
    TIpTerminalArray Wide(2);
    Wide.SetColCount(3);
    Wide.SetRowCount(1);
    EXPECT_EQ(Wide.Stride(), 4);
}

TEST_F(Buffer, LineFeedAtTheBottomMovesTheTopLineIntoTheHistory) {
    Letters();
    B.DoLineFeed();
    B.WriteChar('d');
    EXPECT_EQ(Rows(B, -1, 3), "\na\nb\nc\n d\n");
    EXPECT_EQ(Cursor(B), "3,3");
}

TEST_F(Buffer, WithARegionOnlyTheRegionScrolls) {
    SmallScreen(B, 6, 4, 2);
    Letters();
    B.SetScrollRegion(2, 3);
    EXPECT_EQ(Cursor(B), "2,1");  // the region's top-left
    B.SetCursorRow(3);
    B.DoLineFeed();
    B.WriteChar('x');
    EXPECT_EQ(Rows(B, -1, 4), "\n\na\nc\nx\nd\n");
    B.SetCursorRow(2);
    B.MoveCursorUp(true);  // reverse index at the region's top
    EXPECT_EQ(Rows(B, -1, 4), "\n\na\n\nc\nd\n");
}

TEST_F(Buffer, DelayedWrapAndTheBottomRightCell) {
    Write(B, "123456");
    EXPECT_TRUE(B.PendingWrap());
    EXPECT_EQ(Cursor(B), "1,6");
    B.WriteChar('7');
    EXPECT_EQ(Screen(B), "123456\n7\n\n");

    // The write into the bottom-right cell itself never scrolls; the next character does.
    B.SetCursorPosition(3, 6);
    B.WriteChar('z');
    EXPECT_EQ(Screen(B), "123456\n7\n     z\n");
    B.WriteChar('!');
    EXPECT_EQ(Rows(B, 0, 3), "123456\n7\n     z\n!\n");

    // Without auto wrap the last column is overwritten.
    B.SetUseAutoWrap(false);
    B.SetCursorPosition(1, 5);
    Write(B, "abc");
    EXPECT_EQ(Rows(B, 1, 1), "7   ac\n");
}

TEST_F(Buffer, ACursorMoveEndsAPendingWrap) {
    Write(B, "abcdef");
    B.SetCursorPosition(2, 2);
    B.WriteChar('x');
    EXPECT_EQ(Screen(B), "abcdef\n x\n\n");
    B.SetCursorPosition(1, 6);
    B.WriteChar('F');
    B.DoCarriageReturn();
    B.WriteChar('A');
    EXPECT_EQ(Screen(B), "AbcdeF\n x\n\n");
}

TEST_F(Buffer, CursorAddressingStaysOnTheScreen) {
    struct Case {
        int Row, Col;
        const char* Expected;
    } Cases[] = {{0, 0, "1,1"}, {-5, 3, "1,3"}, {99, 99, "3,6"}, {2147483647, -2147483647, "3,1"}};
    for (const Case& C : Cases) {
        B.SetCursorPosition(C.Row, C.Col);
        EXPECT_EQ(Cursor(B), C.Expected) << C.Row << "," << C.Col;
        EXPECT_EQ(B.ScreenCursorRow(), B.CursorRow());
    }
    // With relative addressing the region is the frame.
    SmallScreen(B, 6, 5, 2);
    B.SetScrollRegion(2, 4);
    B.SetUseAbsAddress(false);
    B.SetCursorPosition(0, 1);
    EXPECT_EQ(B.ScreenCursorRow(), 2);
    B.SetCursorPosition(9, 1);
    EXPECT_EQ(B.ScreenCursorRow(), 4);
    EXPECT_EQ(Cursor(B), "3,1");
}

TEST_F(Buffer, ScrollRegionOutsideTheScreenIsClamped) {
    SmallScreen(B, 6, 4, 2);
    Letters();
    B.SetScrollRegion(3, 999);
    EXPECT_EQ(B.RegionTop(), 3);
    EXPECT_EQ(B.RegionBottom(), 4);
    B.SetScrollRegion(4, 2);  // reversed
    EXPECT_EQ(B.RegionTop(), 2);
    EXPECT_EQ(B.RegionBottom(), 4);
    B.SetScrollRegion(1, 4);  // the whole screen: no region
    EXPECT_FALSE(B.UseScrollRegion());
}

TEST_F(Buffer, InsertAndDeleteLinesOnlyInsideTheRegion) {
    SmallScreen(B, 6, 5, 2);
    Letters();
    B.SetScrollRegion(2, 4);
    B.SetCursorRow(5);
    B.InsertLines(1);
    B.DeleteLines(1);
    EXPECT_EQ(Screen(B), "a\nb\nc\nd\ne\n");
    B.SetCursorRow(3);
    B.InsertLines(1);
    EXPECT_EQ(Screen(B), "a\nb\n\nc\ne\n");
    B.DeleteLines(5);
    EXPECT_EQ(Screen(B), "a\nb\n\n\ne\n");
}

TEST_F(Buffer, EditingAndErasing) {
    SmallScreen(B, 6, 4, 2);
    for (int Row = 1; Row <= 4; ++Row) {
        B.SetCursorPosition(Row, 1);
        Write(B, std::string(6, char('a' + Row - 1)));
    }
    B.SetCursorPosition(1, 2);
    B.InsertChars(2);
    B.SetCursorPosition(2, 2);
    B.DeleteChars(2);
    B.SetCursorPosition(3, 5);
    B.EraseChars(4);  // goes on at the left of the next row
    EXPECT_EQ(Screen(B), "a  aaa\nbbbb\ncccc\n  dddd\n");
    B.SetCursorPosition(1, 3);
    B.EraseFromBOL();
    B.SetCursorPosition(2, 3);
    B.EraseToEOL();
    B.SetCursorPosition(4, 4);
    B.EraseLine();
    EXPECT_EQ(Screen(B), "   aaa\nbb\ncccc\n\n");
    B.SetCursorPosition(2, 2);
    B.EraseToEOS();
    EXPECT_EQ(Screen(B), "   aaa\nb\n\n\n");
    B.SetCursorPosition(1, 5);
    B.EraseFromBOS();
    EXPECT_EQ(Screen(B), "     a\nb\n\n\n");
    B.EraseChars(2147483647);
    EXPECT_EQ(Screen(B), "\n\n\n\n");
}

TEST_F(Buffer, TabsAndVerticalTabs) {
    SmallScreen(B, 20, 4, 0);
    B.DoHorzTab();
    EXPECT_EQ(Cursor(B), "1,9");
    B.DoHorzTab();
    B.DoHorzTab();
    EXPECT_EQ(Cursor(B), "1,20");  // no stop left: the right margin
    B.SetCursorCol(3);
    B.SetHorzTabStop();
    B.SetCursorCol(1);
    B.DoHorzTab();
    EXPECT_EQ(Cursor(B), "1,3");
    B.ClearAllHorzTabStops();
    B.DoHorzTab();
    EXPECT_EQ(Cursor(B), "1,20");
    B.DoVertTab();  // there are no vertical stops: the region's bottom
    EXPECT_EQ(Cursor(B), "4,20");
}

TEST_F(Buffer, ClearScreenEmptiesTheHistoryClearIntoHistoryKeepsIt) {
    Letters();
    B.SetCursorPosition(2, 3);
    B.ClearIntoHistory();
    EXPECT_EQ(Rows(B, -1, 3), "b\nc\n\n\n\n");
    EXPECT_EQ(Cursor(B), "2,3");
    B.ClearScreen();
    EXPECT_EQ(Rows(B, -1, 3), "\n\n\n\n\n");
    EXPECT_EQ(Cursor(B), "1,1");
}

TEST_F(Buffer, CountSetters) {
    Letters();
    B.SetCursorPosition(3, 2);
    B.tbSetSVRowCount(2);  // below RowCount: RowCount follows
    EXPECT_EQ(B.RowCount(), 2);
    EXPECT_EQ(Screen(B), "b\nc\n");
    EXPECT_EQ(Cursor(B), "2,2");
    B.tbSetSVRowCount(6);  // the screen keeps its lines; empty history on top
    EXPECT_EQ(Rows(B, -3, 2), "\n\n\n\nb\nc\n");
    EXPECT_EQ(Cursor(B), "2,2");
    B.tbSetRowCount(7);  // more than SVRowCount: ignored
    EXPECT_EQ(B.RowCount(), 2);

    struct Case {
        void (TIpTerminalBuffer::*Setter)(int);
        int Value;
        const char* Message;
    } Cases[] = {
        {&TIpTerminalBuffer::tbSetColCount, 1,
         "TIpTerminalBuffer.tbSetColCount: new count too small"},
        {&TIpTerminalBuffer::tbSetRowCount, 0,
         "TIpTerminalBuffer.tbSetRowCount: new count too small"},
        {&TIpTerminalBuffer::tbSetSVRowCount, -4,
         "TIpTerminalBuffer.tbSetSVRowCount: new count too small"},
        {&TIpTerminalBuffer::tbSetColCount, 100000,
         "TIpTerminalBuffer.tbSetColCount: new count too large"},
        {&TIpTerminalBuffer::tbSetSVRowCount, 2000000000,
         "TIpTerminalBuffer.tbSetSVRowCount: new count too large"},
    };
    for (const Case& C : Cases) EXPECT_EQ(ErrorOf([&] { (B.*C.Setter)(C.Value); }), C.Message);
    EXPECT_EQ(B.ColCount(), 6);
    EXPECT_EQ(B.SVRowCount(), 6);
}

TEST_F(Buffer, CurrentAttributesFillClearedCellsAndDefaultColoursRecolour) {
    B.SetAttr(0x12);
    B.SetBackColor(0x0000FF);
    Write(B, "ab");
    B.SetAttr(0);
    B.SetBackColor(0);
    B.SetCursorPosition(2, 1);
    B.SetAttr(0x01);
    B.EraseToEOL();
    EXPECT_EQ(Attrs(B), "ii\n111111\n\n");
    EXPECT_EQ(B.BackColorAt(1, 1), 0x0000FFu);
    B.SetDefaultBackColor(0x00FF00);
    EXPECT_EQ(B.BackColorAt(1, 1), 0x0000FFu);
    EXPECT_EQ(B.BackColorAt(1, 3), 0x00FF00u);
    EXPECT_EQ(B.BackColorAt(3, 6), 0x00FF00u);
}

TEST_F(Buffer, InvalidRectanglesAreTakenAsTheirUnion) {
    TIpTermRect R;
    B.GetInvalidRect(R);
    B.tbSetColCount(5);  // a new size: the whole screen
    ASSERT_TRUE(B.GetInvalidRect(R));
    EXPECT_EQ(R, (TIpTermRect{1, 1, 5, 3}));
    EXPECT_FALSE(B.HasInvalidRect());
    B.SetCursorPosition(2, 2);
    B.WriteChar('x');
    B.SetCursorPosition(3, 5);
    B.WriteChar('y');
    ASSERT_TRUE(B.GetInvalidRect(R));
    EXPECT_EQ(R, (TIpTermRect{2, 2, 5, 3}));
    EXPECT_FALSE(B.GetInvalidRect(R));
    EXPECT_TRUE(B.HasCursorMoved());
    EXPECT_FALSE(B.HasCursorMoved());
}

// The history is a ring: the same output gives the same screen and the same last history rows
// whatever the history's length.
TEST(BufferRing, LongHistoryAndShortHistoryKeepTheSameRows) {
    TIpTerminalBuffer Short(false), Long(false);
    SmallScreen(Short, 12, 4, 6);
    SmallScreen(Long, 12, 4, 500);
    for (int Line = 0; Line < 1000; ++Line)
        for (TIpTerminalBuffer* B : {&Short, &Long}) {
            Write(*B, "line " + std::to_string(Line));
            B->DoCarriageReturn();
            B->DoLineFeed();
        }
    EXPECT_EQ(Rows(Short, -5, 4), Rows(Long, -5, 4));
    EXPECT_EQ(Rows(Long, -1, 0), "line 995\nline 996\n");
    EXPECT_EQ(Rows(Long, -495, -495), "line 501\n");
}

// Everything a run of characters can change: every plane of every row, history included, the
// cursor, a pending wrap and what waits to be repainted.
std::string Everything(TIpTerminalBuffer& B) {
    std::string Out;
    for (int Row = 1 - (B.SVRowCount() - B.RowCount()); Row <= B.RowCount(); ++Row)
        for (int Col = 1; Col <= B.ColCount(); ++Col)
            Out += std::to_string(B.CharAt(Row, Col)) + "/" +
                   std::to_string(B.CharSetAt(Row, Col)) + "/" +
                   std::to_string(B.AttrAt(Row, Col)) + "/" +
                   std::to_string(B.ForeColorAt(Row, Col)) + "/" +
                   std::to_string(B.BackColorAt(Row, Col)) + " ";
    TIpTermRect R;
    const bool Invalid = B.GetInvalidRect(R);
    Out += "cursor " + Cursor(B) + (B.PendingWrap() ? " pending" : "") +
           (B.HasCursorMoved() ? " moved" : "");
    if (Invalid)
        Out += " invalid " + std::to_string(R.Left) + "," + std::to_string(R.Top) + "-" +
               std::to_string(R.Right) + "," + std::to_string(R.Bottom);
    return Out;
}

// Writing a run is writing its characters one by one, in every mode and from every column,
// with every cursor step reported while someone listens.
TEST(BufferRuns, ARunIsItsCharactersOneByOne) {
    const std::string Text = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (const bool Wide : {false, true})
        for (int Mode = 0; Mode < 16; ++Mode)
            for (const int Length : {1, 3, 7, 8, 9, 20, 36})
                for (const int StartCol : {1, 4, 8})
                    for (const bool Listen : {false, true}) {
                        TIpTerminalBuffer One(Wide), Run(Wide);
                        std::vector<std::string> OneMoves, RunMoves;
                        for (TIpTerminalBuffer* B : {&One, &Run}) {
                            SmallScreen(*B, 8, 4, 3);
                            B->SetUseAutoWrap(Mode & 1);
                            B->SetUseAutoWrapDelay(Mode & 2);
                            B->SetUseInsertMode(Mode & 4);
                            if (Mode & 8) B->SetScrollRegion(2, 3);
                            B->SetAttr(uint8_t(Length));
                            B->SetForeColor(0x123456);
                            B->SetCharSet(2);
                            B->SetCursorPosition(2, StartCol);
                            Write(*B, "xy");  // something to push along in insert mode
                            B->SetCursorPosition(2, StartCol);
                            auto& Moves = B == &One ? OneMoves : RunMoves;
                            if (Listen)
                                B->OnCursorMoved = [&Moves](TIpTerminalBuffer*, int Row, int Col) {
                                    Moves.push_back(std::to_string(Row) + "," +
                                                    std::to_string(Col));
                                };
                            Everything(*B);  // takes the flags set so far
                        }
                        const auto* Data = reinterpret_cast<const uint8_t*>(Text.data());
                        // Twice: the second run starts where the first left, perhaps with a
                        // pending wrap.
                        for (int Pass = 0; Pass < 2; ++Pass) {
                            for (int I = 0; I < Length; ++I) One.WriteChar(Data[I]);
                            Run.WriteChars(Data, size_t(Length));
                        }
                        const std::string Case = "wide " + std::to_string(Wide) + " mode " +
                                                 std::to_string(Mode) + " length " +
                                                 std::to_string(Length) + " from " +
                                                 std::to_string(StartCol);
                        EXPECT_EQ(Everything(Run), Everything(One)) << Case;
                        EXPECT_EQ(RunMoves, OneMoves) << Case;
                    }
}

TEST(LineAttributes, FollowTheBufferAndScrollWithIt) {
    TIpTerminalBuffer B(false);
    SmallScreen(B, 6, 3, 2);
    TIpLineAttrArray L(B);
    B.OnScroll = [&](TIpTerminalBuffer*, int Count, int First, int Last) {
        L.Scroll(Count, First, Last);
    };
    L.SetAttr(3, 2);
    L.SetAttr(9, 1);  // outside: ignored
    EXPECT_EQ(L.Attr(9), 0);
    B.SetCursorPosition(3, 1);
    B.DoLineFeed();
    EXPECT_EQ(L.Attr(2), 2);
    EXPECT_EQ(L.Attr(3), 0);
    B.tbSetSVRowCount(10);
    EXPECT_EQ(L.Attr(2), 2);
}

}  // namespace

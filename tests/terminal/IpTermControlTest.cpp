// The terminal control on the offscreen platform: what received data paints and when, blinking,
// the view into the history, selection and copying, the capture file, keys, the socket it
// serves and the classes forms place.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "platform/fs/Files.h"
#include "tests/terminal/TermControlTestSupport.h"

using namespace GuiTest;

namespace {

constexpr QRgb kGrey = 0xFFC0C0C0u;
constexpr QRgb kBlack = 0xFF000000u;

// The cell the control's font asks for, measured here as the rule says: the height with its
// external leading, and for a fixed-pitch font the average width plus half the way to the widest.
void ExpectedCell(int& Width, int& Height) {
    TFont Font;
    Font.SetName("Terminal");
    Font.SetSize(9);
    const HDC DC = CreateCompatibleDC(0);
    SelectObject(DC, Font.Handle());
    TEXTMETRIC M;
    GetTextMetrics(DC, &M);
    DeleteDC(DC);
    Height = M.tmHeight + M.tmExternalLeading;
    Width = M.tmAveCharWidth + (M.tmMaxCharWidth - M.tmAveCharWidth) / 2;
}

class TerminalControl : public TTermFixture {};

TEST_F(TerminalControl, ReceivedDataPaintsItsCellsWhereTheFontsMetricsPutThem) {
    int Width = 0, Height = 0;
    ExpectedCell(Width, Height);
    EXPECT_EQ(Term->CellWidth(), Width);
    EXPECT_EQ(Term->CellHeight(), Height);
    Term->SetUseLazyDisplay(false);
    Connect();
    // Full blocks (code page 437) on row 1 at columns 1, 2 and 5, on row 3 at column 40.
    Receive("\xdb\xdb  \xdb\r\n\r\n" + std::string(39, ' ') + "\xdb");
    const QImage P = ClientPicture();
    for (int Col : {1, 2, 5}) EXPECT_EQ(CellCentre(P, 1, Col), kGrey) << Col;
    for (int Col : {3, 4, 6}) EXPECT_EQ(CellCentre(P, 1, Col), kBlack) << Col;
    EXPECT_EQ(CellCentre(P, 3, 40), kGrey);
    EXPECT_EQ(CellCentre(P, 3, 39), kBlack);
    EXPECT_EQ(CellCentre(P, 2, 40), kBlack);
    EXPECT_EQ(CellCentre(P, 3, 41), kBlack);
}

// With the default delays (100 ms, 200 bytes) a tick paints once more than 100 ms passed since
// the last paint: a block a tick shows every second tick.
TEST_F(TerminalControl, LazyDisplayPaintsEverySecondTickOrOnceEnoughBytesCame) {
    Connect();
    std::vector<std::string> Shown;
    for (int Tick = 1; Tick <= 6; ++Tick) {
        Receive("\xdb");
        Term->Ticks(1);
        const QImage P = ClientPicture();
        std::string Row;
        for (int Col = 1; Col <= 6; ++Col) Row += CellCentre(P, 1, Col) == kGrey ? '#' : '.';
        Shown.push_back(Row);
    }
    EXPECT_EQ(Shown, (std::vector<std::string>{"......", "##....", "##....", "####..", "####..",
                                               "######"}));
    // More than LazyByteDelay bytes paint at the next tick.
    Receive("\r\n" + std::string(201, '\xdb'));
    Term->Ticks(1);
    EXPECT_EQ(CellCentre(ClientPicture(), 2, 1), kGrey);
}

TEST_F(TerminalControl, BlinkTimeBelow250IsRaisedAndBlinkingTextBlinks) {
    const std::vector<std::pair<int, int>> Cases{{100, 250}, {1, 250},   {0, 0},
                                                 {-5, 0},    {251, 251}, {1000, 1000}};
    for (auto [Asked, Kept] : Cases) {
        Term->SetBlinkTime(Asked);
        EXPECT_EQ(Term->BlinkTime(), Kept) << Asked;
    }
    auto* Vt = new TIpVT100Emulator(Form);
    Vt->SetDisplayUpperASCII(true);
    Term->SetEmulator(Vt);
    Term->SetBlinkTime(100);
    Connect();
    Receive("\x1b[5m\xdb\x1b[m");
    std::string Phases;
    for (int Tick = 1; Tick <= 9; ++Tick) {
        Term->Ticks(1);
        Phases += CellCentre(ClientPicture(), 1, 1) == kGrey ? '#' : '.';
    }
    // Painted at the second tick, then a phase every 300 ms (the first tick past 250 ms).
    EXPECT_EQ(Phases, ".#...###.");
}

TEST_F(TerminalControl, TheViewScrollsIntoTheHistoryAndPaintsItsRows) {
    Connect();
    // Line k holds a block in column k: line 1 ends up furthest in the history.
    for (int Line = 1; Line <= 30; ++Line) Receive(std::string(Line - 1, ' ') + "\xdb\r\n");
    const HWND W = Term->Handle();
    SendMessage(W, WM_VSCROLL, SB_LINEUP, 0);
    SendMessage(W, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(Term->FirstVisibleRow(), -1);
    EXPECT_EQ(GetScrollPos(W, SB_VERT), -2);
    // The rows uncovered at the top are painted at once, the screen's rows at the next paint.
    Drain();
    Term->Ticks(2);
    QImage P = ClientPicture();
    // The screen holds lines 8 to 30 and the empty last line; its top row was line 8, so the
    // view's first row (two above it) is line 6.
    EXPECT_EQ(CellCentre(P, 1, 6), kGrey);
    EXPECT_EQ(CellCentre(P, 1, 7), kBlack);
    EXPECT_EQ(CellCentre(P, 3, 8), kGrey);
    // Up to the oldest row of the history, and back.
    for (int I = 0; I < 300; ++I) SendMessage(W, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(Term->FirstVisibleRow(), 24 - 200 + 1);
    SendMessage(W, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(Term->FirstVisibleRow(), 24 - 200 + 1 + P.height() / Term->CellHeight());
    Term->ScrollTo(1, 1);
    EXPECT_EQ(GetScrollPos(W, SB_VERT), 0);
}

// The vertical thumb dragged with the mouse to the top, the middle and past the bottom: the view
// shows the rows the bar stands for (its first row is the bar's position plus one), down to the
// screen's last rows with the cursor in view.
TEST_F(TerminalControl, TheVerticalThumbDraggedShowsTheRowsTheBarStandsFor) {
    Connect();
    // Line k holds a block in column k; line 30 ends on the screen's row 23.
    for (int Line = 1; Line <= 30; ++Line) Receive(std::string(Line - 1, ' ') + "\xdb\r\n");
    const HWND W = Term->Handle();
    const HWND Via = Form->Handle();
    RECT Client;
    GetClientRect(W, &Client);
    POINT Origin{0, 0};
    ClientToScreen(W, &Origin);
    const int Arrow = GetSystemMetrics(SM_CYVSCROLL);
    const int X = Origin.x + Client.right + GetSystemMetrics(SM_CXVSCROLL) / 2;
    const int Top = Origin.y, Bottom = Origin.y + Client.bottom;
    // Presses on the thumb at one end of the track and lets it go at To.
    auto Drag = [&](bool FromTop, int ToY) {
        Term->ScrollTo(1, FromTop ? -1000 : 1000);
        Drain();
        const POINT Grab{X, FromTop ? Top + Arrow + 3 : Bottom - Arrow - 3};
        const POINT To{X, ToY};
        TScript Script;
        Script.Then([&] { MouseMove(Via, To); });
        Script.Then([&] { MouseRelease(Via, To); });
        MouseMove(Via, Grab);
        Script.Start();
        MousePress(Via, Grab);  // the bar's loop runs in here
        ASSERT_TRUE(PumpUntil([&] { return Script.Done(); }, 10000));
        Drain();
        Term->Ticks(2);
    };
    auto TrackPos = [&] {
        SCROLLINFO Info;
        Info.fMask = SIF_TRACKPOS | SIF_POS;
        GetScrollInfo(W, SB_VERT, &Info);
        return Info.nTrackPos;
    };
    // The view's first row holds line (row + 7): its block is painted in that column.
    auto ShowsLineOfFirstRow = [&] {
        const int Line = Term->FirstVisibleRow() + 7;
        if (Line < 1 || Line > 30) return true;
        return CellCentre(ClientPicture(), 1, Line) == kGrey &&
               CellCentre(ClientPicture(), 1, Line + 1) == kBlack;
    };

    Drag(false, Top - 20);
    EXPECT_EQ(Term->FirstVisibleRow(), 24 - 200 + 1);  // the oldest row of the history
    EXPECT_EQ(GetScrollPos(W, SB_VERT), TrackPos());

    Drag(false, (Top + Bottom) / 2);
    const int Middle = TrackPos();
    EXPECT_LT(Middle, -50);
    EXPECT_GT(Middle, -150);
    EXPECT_EQ(Term->FirstVisibleRow(), Middle + 1);
    EXPECT_EQ(GetScrollPos(W, SB_VERT), Middle);
    // Near the screen: the view's first row shows its line.
    Drag(false, Bottom - Arrow - 3 - (Bottom - Top) / 20);
    EXPECT_EQ(Term->FirstVisibleRow(), TrackPos() + 1);
    EXPECT_LT(Term->FirstVisibleRow(), 1);
    EXPECT_TRUE(ShowsLineOfFirstRow()) << Term->FirstVisibleRow();

    // At the bottom the window, taller than the screen, shows the screen's rows at its foot.
    Drag(true, Bottom + 20);
    EXPECT_EQ(Term->FirstVisibleRow(), TrackPos() + 1);
    EXPECT_EQ(GetScrollPos(W, SB_VERT), TrackPos());
    EXPECT_GT(TrackPos(), -10);
    EXPECT_TRUE(ShowsLineOfFirstRow());
    // The cursor's row (the screen's last, after line 30) lies inside the window.
    EXPECT_LE((Buffer().ScreenCursorRow() - Term->FirstVisibleRow() + 1) * Term->CellHeight(),
              Client.bottom);
}

// A window too short for the screen keeps the history out of the bar's reach until a line up
// from the top row asks for it; scrolling down again gives it up.
TEST_F(TerminalControl, AShortWindowReachesTheHistoryOnlyWhenAskedTo) {
    Term->SetHeight(10 * Term->CellHeight());
    Drain();
    const HWND W = Term->Handle();
    SendMessage(W, WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(Term->FirstVisibleRow(), 1);
    EXPECT_FALSE(Term->Scrollback());
    SendMessage(W, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_TRUE(Term->Scrollback());
    EXPECT_EQ(Term->FirstVisibleRow(), 0);
    SendMessage(W, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_GT(Term->FirstVisibleRow(), 1);
    EXPECT_FALSE(Term->Scrollback());
    // A window that grows again brings the last rows back to its bottom edge.
    Term->SetHeight(420);
    Drain();
    EXPECT_EQ(Term->FirstVisibleRow(), 1);
}

TEST_F(TerminalControl, SelectionMarksCellsAndCopiesRowsWithCrLf) {
    Term->SetColumns(20);
    Connect();
    Receive("first line\r\nsecond\r\nthird");
    const HWND W = Term->Handle();
    auto At = [&](int Row, int Col) {
        return MAKELPARAM((Col - 1) * Term->CellWidth() + 1, (Row - 1) * Term->CellHeight() + 1);
    };
    SendMessage(W, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 7));
    SendMessage(W, WM_MOUSEMOVE, MK_LBUTTON, At(3, 3));
    SendMessage(W, WM_LBUTTONUP, 0, At(3, 3));
    Drain();
    TIpTerminalBuffer& B = Buffer();
    auto Marked = [&](int Row, int Col) {
        return (B.AttrAt(Row, Col) & IpTermAttr::Selected) != 0;
    };
    EXPECT_FALSE(Marked(1, 6));
    EXPECT_TRUE(Marked(1, 7) && Marked(2, 1) && Marked(2, 20) && Marked(3, 3));
    EXPECT_FALSE(Marked(3, 4));
    // Selected cells show reversed: a selected blank is grey, an unselected one black.
    const QImage P = ClientPicture();
    EXPECT_EQ(CellCentre(P, 2, 15), kGrey);
    EXPECT_EQ(CellCentre(P, 3, 15), kBlack);
    SendMessage(W, WM_COPY, 0, 0);
    const std::string Copied =
        "line" + std::string(10, ' ') + "\r\nsecond" + std::string(14, ' ') + "\r\nthi\r\n";
    EXPECT_EQ(Clipboard().AsText(), Copied);

    // Ctrl+C with a selection copies and sends nothing; without one it goes to the host.
    Term->SetFocus();
    Clipboard().Clear();
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_C, Qt::ControlModifier);
    Drain();
    EXPECT_EQ(Clipboard().AsText(), Copied);
    EXPECT_EQ(Sent(), "");
    SendMessage(W, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1));
    SendMessage(W, WM_LBUTTONUP, 0, At(1, 1));
    EXPECT_FALSE(Term->HasSelection());
    EXPECT_FALSE(Marked(2, 1));
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_C, Qt::ControlModifier);
    Drain();
    EXPECT_EQ(Sent(), "\x03");

    // Escape while selecting drops the selection; the key goes no further.
    SendMessage(W, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1));
    SendMessage(W, WM_MOUSEMOVE, MK_LBUTTON, At(2, 2));
    EXPECT_TRUE(Marked(1, 5));
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Escape);
    Drain();
    EXPECT_FALSE(Marked(1, 5));
    EXPECT_FALSE(Term->HasSelection());
    EXPECT_EQ(Sent(), "");
}

// Whichever way the mouse goes, the selection runs in reading order from the earlier cell to the
// later one, both included; moving back shrinks it, and the copy is what is marked.
TEST_F(TerminalControl, ASelectionDraggedEitherWayMarksAndCopiesTheCellsBetween) {
    Term->SetColumns(20);
    Connect();
    Receive("first line\r\nsecond\r\nthird");
    const HWND W = Term->Handle();
    auto At = [&](int Row, int Col) {
        return MAKELPARAM((Col - 1) * Term->CellWidth() + 1, (Row - 1) * Term->CellHeight() + 1);
    };
    TIpTerminalBuffer& B = Buffer();
    // The marked cells of the first three rows, as "row:first-last" runs.
    auto Marks = [&] {
        std::string Out;
        for (int Row = 1; Row <= 3; ++Row)
            for (int Col = 1; Col <= 20; ++Col) {
                if (!(B.AttrAt(Row, Col) & IpTermAttr::Selected)) continue;
                int Last = Col;
                while (Last < 20 && (B.AttrAt(Row, Last + 1) & IpTermAttr::Selected)) ++Last;
                Out += (Out.empty() ? "" : " ") + std::to_string(Row) + ":" + std::to_string(Col) +
                       "-" + std::to_string(Last);
                Col = Last;
            }
        return Out;
    };
    auto Copy = [&] {
        Clipboard().Clear();
        SendMessage(W, WM_COPY, 0, 0);
        return Clipboard().AsText();
    };
    const struct {
        const char* Name;
        std::vector<std::pair<int, int>> Path;  // press, moves; released at the last
        const char* Marks;
        std::string Copied;
    } Cases[] = {
        {"down",
         {{1, 7}, {3, 3}},
         "1:7-20 2:1-20 3:1-3",
         "line" + std::string(10, ' ') + "\r\nsecond" + std::string(14, ' ') + "\r\nthi\r\n"},
        {"up",
         {{3, 3}, {1, 7}},
         "1:7-20 2:1-20 3:1-3",
         "line" + std::string(10, ' ') + "\r\nsecond" + std::string(14, ' ') + "\r\nthi\r\n"},
        {"right in a row", {{1, 2}, {1, 5}}, "1:2-5", "irst\r\n"},
        {"left in a row", {{1, 5}, {1, 2}}, "1:2-5", "irst\r\n"},
        {"down, then back up",
         {{1, 7}, {3, 3}, {2, 4}},
         "1:7-20 2:1-4",
         "line" + std::string(10, ' ') + "\r\nseco\r\n"},
        {"across the anchor", {{2, 4}, {3, 2}, {1, 19}}, "1:19-20 2:1-4", "  \r\nseco\r\n"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        SendMessage(W, WM_LBUTTONDOWN, MK_LBUTTON, At(Case.Path[0].first, Case.Path[0].second));
        for (size_t I = 1; I < Case.Path.size(); ++I)
            SendMessage(W, WM_MOUSEMOVE, MK_LBUTTON, At(Case.Path[I].first, Case.Path[I].second));
        SendMessage(W, WM_LBUTTONUP, 0, At(Case.Path.back().first, Case.Path.back().second));
        Drain();
        EXPECT_TRUE(Term->HasSelection());
        EXPECT_EQ(Marks(), Case.Marks);
        EXPECT_EQ(Copy(), Case.Copied);
    }
    // A press released on its own cell selects nothing, and the old selection goes.
    SendMessage(W, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2));
    SendMessage(W, WM_MOUSEMOVE, MK_LBUTTON, At(2, 2));
    SendMessage(W, WM_LBUTTONUP, 0, At(2, 2));
    EXPECT_FALSE(Term->HasSelection());
    EXPECT_EQ(Marks(), "");
}

TEST_F(TerminalControl, CaptureAppendsOrReplacesTheRawBytes) {
    const std::string Dir = testing::TempDir() + "term-capture-" + std::to_string(getpid());
    std::filesystem::remove_all(Dir);
    ForceDirectories(Dir);
    const std::string File = Dir + "/session.cap";
    WriteFile(File, "old\r\n");
    Term->SetCaptureFile(File);
    Term->SetCapture(cmAppend);
    EXPECT_EQ(Term->Capture(), cmOn);
    Connect();
    Receive("new \x1b[1mbytes\x1b[m\r\n");
    EXPECT_EQ(ReadFile(File), "old\r\nnew \x1b[1mbytes\x1b[m\r\n");
    // cmAppend while capturing changes nothing; switching off and on again replaces the file.
    Term->SetCapture(cmAppend);
    Term->SetCapture(cmOff);
    Receive("lost");
    Term->SetCapture(cmOn);
    Receive("fresh");
    EXPECT_EQ(ReadFile(File), "fresh");
    // Another name while capturing starts that file.
    Term->SetCaptureFile(Dir + "/other.cap");
    Receive("more");
    EXPECT_EQ(ReadFile(Dir + "/other.cap"), "more");
    EXPECT_EQ(ReadFile(File), "fresh");
    // Appending to a file that is not there starts it; one that cannot be made raises.
    Term->SetCapture(cmOff);
    Term->SetCaptureFile(Dir + "/missing.cap");
    Term->SetCapture(cmAppend);
    Receive("first");
    EXPECT_EQ(ReadFile(Dir + "/missing.cap"), "first");
    Term->SetCapture(cmOff);
    Term->SetCaptureFile(Dir + "/no/such/dir/x.cap");
    EXPECT_NE(ErrorOf([&] { Term->SetCapture(cmOn); }), "");
    EXPECT_EQ(Term->Capture(), cmOff);
    Term->SetCaptureFile("");
    EXPECT_EQ(Term->CaptureFile(), "");
    std::filesystem::remove_all(Dir);
}

// Keys as the window layer delivers them, with the VT100 emulator in its modes.
TEST_F(TerminalControl, KeysReachTheEmulatorTranslatedForTheKeypad) {
    auto* Vt = new TIpVT100Emulator(Form);
    Term->SetEmulator(Vt);
    Connect();
    Term->SetFocus();
    Drain();
    QWindow* Window = QtWindowOf(Form->Handle());
    auto Keys = [&](std::function<void()> Type) {
        Type();
        Drain();
        return Sent();
    };
    auto Click = [&](Qt::Key Key, Qt::KeyboardModifiers Mods = {}) {
        return Keys([&] { QTest::keyClick(Window, Key, Mods); });
    };
    auto SetNumLock = [](bool On) {
        BYTE State[256];
        GetKeyboardState(State);
        State[VK_NUMLOCK] = On ? 1 : 0;
        SetKeyboardState(State);
    };
    SetNumLock(false);
    // Num Lock off: the keypad's 8 comes as an up arrow without the extended flag and reaches
    // the emulator as the keypad key; the arrow of the cursor block stays an arrow.
    EXPECT_EQ(Click(Qt::Key_Up, Qt::KeypadModifier), "8");
    EXPECT_EQ(Click(Qt::Key_Up), "\x1b[A");
    EXPECT_EQ(Click(Qt::Key_Clear, Qt::KeypadModifier), "5");
    EXPECT_EQ(Click(Qt::Key_Delete, Qt::KeypadModifier), ".");
    EXPECT_EQ(Click(Qt::Key_Enter, Qt::KeypadModifier), "\r");
    // The control asks for every key, so that Enter and Escape reach the host and not the form's
    // buttons; without WantAllKeys the form sees them first.
    const LRESULT Wanted = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS | DLGC_HASSETSEL;
    EXPECT_EQ(SendMessage(Term->Handle(), WM_GETDLGCODE, 0, 0), Wanted | DLGC_WANTALLKEYS);
    Term->SetWantAllKeys(false);
    EXPECT_EQ(SendMessage(Term->Handle(), WM_GETDLGCODE, 0, 0), Wanted);
    Term->SetWantAllKeys(true);
    Receive("\x1b=\x1b[?1h");  // keypad and cursor keys in application mode
    EXPECT_EQ(Click(Qt::Key_Up, Qt::KeypadModifier), "\x1bOx");
    EXPECT_EQ(Click(Qt::Key_Up), "\x1bOA");
    EXPECT_EQ(Click(Qt::Key_Enter, Qt::KeypadModifier), "\x1bOM");
    // Num Lock on: the same key is an arrow again.
    SetNumLock(true);
    EXPECT_EQ(Click(Qt::Key_Up, Qt::KeypadModifier), "\x1bOA");
    // Typed characters go out as they are; Enter goes to the host, not to the form.
    EXPECT_EQ(Click(Qt::Key_A), "a");
    EXPECT_EQ(Click(Qt::Key_Return), "\r");
    // A held key repeats unless the host switched auto repeat off.
    Receive("\x1b[?8l\x1b>\x1b[?1l");
    EXPECT_EQ(Keys([&] {
                  QTest::keyPress(Window, Qt::Key_Down);
                  QTest::keyPress(Window, Qt::Key_Down);
                  QTest::keyRelease(Window, Qt::Key_Down);
              }),
              "\x1b[B");
    SetNumLock(false);
}

// The telnet peer asks for the window size; the size the control has goes out, and again when
// Columns or Rows change.
TEST_F(TerminalControl, WindowSizeGoesToTheTelnetPeerAndFollowsChanges) {
    std::string Bytes;
    Term->SetColumns(300);
    Term->WindowSizeBytes(Bytes);
    EXPECT_EQ(Bytes, std::string("\x01\x2c\x00\x18", 4));
    Term->SetColumns(80);
    Client.SockInits().SocketOptions = soTelnet;
    Connect();
    EXPECT_TRUE(Term->IsMasterTerminal());
    const std::string Iac = "\xff";
    Receive(Iac + "\xfd\x1f");  // DO NAWS
    const std::string Size80x24 =
        Iac + "\xfa\x1f" + std::string("\x00\x50\x00\x18", 4) + Iac + "\xf0";
    EXPECT_EQ(Sent(), Iac + "\xfb\x1f" + Size80x24);
    Term->SetRows(30);
    Term->SetRows(30);  // unchanged: no second notice
    Drain();
    EXPECT_EQ(Sent(), Iac + "\xfa\x1f" + std::string("\x00\x50\x00\x1e", 4) + Iac + "\xf0");
    Term->SetRows(0);  // ignored
    EXPECT_EQ(Term->Rows(), 30);
    EXPECT_NE(ErrorOf([&] { Term->SetRows(1); }), "");
    Drain();
    EXPECT_EQ(Sent(), "");
}

TEST_F(TerminalControl, TheControlFollowsItsSocketAndStopsWhenInactive) {
    EXPECT_EQ(Term->SocketHandle(), INVALID_SOCKET);
    Connect();
    const SOCKET S = Client.SocketHandle();
    EXPECT_EQ(Term->SocketHandle(), S);
    EXPECT_TRUE(Term->IsMasterTerminal());
    // Inactive, the control leaves its socket: nothing more arrives, and it is master no more.
    Term->SetActive(false);
    EXPECT_FALSE(Term->IsMasterTerminal());
    Term->SetUseLazyDisplay(false);
    Receive("\xdb");
    EXPECT_EQ(CellCentre(ClientPicture(), 1, 1), kBlack);
    Term->SetActive(true);
    Receive("\xdb");
    EXPECT_EQ(CellCentre(ClientPicture(), 1, 1), kGrey);
    // Keys go out one byte at a time; with HalfDuplex they show too.
    Term->SetHalfDuplex(true);
    Term->Perform(WM_CHAR, 'z');
    EXPECT_EQ(Sent(), "z");
    EXPECT_EQ(Buffer().CharAt(1, 2), 'z');  // the first block came while inactive
    // The peer closes: the control lets the socket go.
    Socket->PeerClose();
    Drain();
    EXPECT_EQ(Term->SocketHandle(), INVALID_SOCKET);
    EXPECT_FALSE(Term->IsMasterTerminal());
}

// A socket component that forms can place: a component that is also a client.
class TPlacedClient : public TComponent, public TIpClient {
  public:
    explicit TPlacedClient(TComponent* AOwner) : TComponent(AOwner) {}
};

TEST_F(TerminalControl, ATerminalTakesItsFormsSocketComponentAndLetsItGo) {
    auto* Other = new TForm(nullptr);
    Other->AfterConstruction();
    auto* Placed = new TPlacedClient(Other);
    auto* Second = new TTestTerminal(Other);
    Second->SetParent(Other);
    EXPECT_EQ(Second->SockControl(), nullptr);
    Other->Show();
    Drain();
    EXPECT_EQ(Second->SockControl(), static_cast<TIpSockControl*>(Placed));
    Placed->Free();
    EXPECT_EQ(Second->SockControl(), nullptr);
    EXPECT_FALSE(Second->Active());
    EXPECT_EQ(Second->SocketHandle(), INVALID_SOCKET);
    Other->Free();
    Drain();
}

// The buffer's size moves from emulator to emulator, and the built-in one serves when none is
// attached.
TEST_F(TerminalControl, SwitchingEmulatorsKeepsTheTerminalsSize) {
    Term->SetScrollbackRows(300);
    Term->SetColumns(100);
    Term->SetRows(30);
    auto* Vt = new TIpVT100Emulator(Form);
    Term->SetEmulator(Vt);
    EXPECT_EQ(&Buffer(), &Vt->Buffer());
    EXPECT_EQ(Vt->Buffer().ColCount(), 100);
    EXPECT_EQ(Vt->Buffer().RowCount(), 30);
    EXPECT_EQ(Vt->Buffer().SVRowCount(), 300);
    EXPECT_EQ(Term->TelnetTermType(), "vt100");
    Vt->Free();  // removed from the form: the built-in emulator takes over
    EXPECT_EQ(Term->Emulator(), nullptr);
    EXPECT_EQ(Term->TelnetTermType(), "");
    EXPECT_EQ(Term->Columns(), 100);
    EXPECT_EQ(Term->Rows(), 30);
    // An emulator that goes away without Free leaves the control as well.
    {
        TIpTTYEmulator Tty;
        Term->SetEmulator(&Tty);
        EXPECT_EQ(Term->TelnetTermType(), "dumb");
    }
    EXPECT_EQ(Term->Emulator(), nullptr);
}

TEST_F(TerminalControl, TheCaretSitsOnTheCursorWhileTheControlHasTheFocus) {
    Term->SetCursorType(ctUnderline);
    std::pair<int, int> Moved{0, 0};
    Term->OnCursorMoved = [&](TObject* Sender, int Row, int Col) {
        EXPECT_EQ(Sender, Term);
        Moved = {Row, Col};
    };
    Connect();
    Receive("abc\r\nde");
    EXPECT_EQ(Moved, std::make_pair(2, 3));
    Term->SetFocus();
    Term->Ticks(2);
    POINT Caret{-1, -1};
    GetCaretPos(&Caret);
    EXPECT_EQ(Caret.x, 2 * Term->CellWidth());
    EXPECT_EQ(Caret.y, 2 * Term->CellHeight() - 2);
    Term->SetCursorType(ctBlock);
    Receive("f");
    Term->Ticks(2);
    GetCaretPos(&Caret);
    EXPECT_EQ(Caret.x, 3 * Term->CellWidth());
    EXPECT_EQ(Caret.y, Term->CellHeight());
    Term->SetCursorType(ctNone);
}

// A selection dragged below the window scrolls the view a line a tick and follows the mouse.
TEST_F(TerminalControl, ASelectionHeldBelowTheWindowScrollsTheView) {
    Term->SetHeight(10 * Term->CellHeight());
    Term->SetColumns(20);
    Drain();
    Connect();
    for (int Line = 1; Line <= 24; ++Line) Receive("line " + std::to_string(Line) + "\r\n");
    const HWND W = Term->Handle();
    SendMessage(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, Term->CellHeight() + 1));
    POINT Below{Term->CellWidth() * 3, 12 * Term->CellHeight()};
    ClientToScreen(W, &Below);
    SetCursorPos(Below.x, Below.y);
    Term->Ticks(3);
    EXPECT_EQ(Term->FirstVisibleRow(), 4);
    EXPECT_TRUE(Term->HasSelection());
    SendMessage(W, WM_LBUTTONUP, 0, 0);
    SendMessage(W, WM_COPY, 0, 0);
    // From row 2 (line 1 went into the history) to the row under the mouse, twelve rows below
    // the view's top, row 16.
    const std::string Copied = Clipboard().AsText();
    EXPECT_EQ(Copied.substr(0, 8), "line 3  ");
    EXPECT_EQ(std::count(Copied.begin(), Copied.end(), '\n'), 15);
    Term->Ticks(3);  // no longer selecting: the view stays
    EXPECT_EQ(Term->FirstVisibleRow(), 4);
}

// The telnet window's terminal as its form definition places it.
TEST_F(TerminalControl, AFormDefinitionPlacesTheTerminalWithItsEmulator) {
    const std::string Definition = R"(object TelnetTestForm: TForm
  Left = 60
  Top = 60
  Caption = 'Telnet'
  ClientHeight = 300
  ClientWidth = 500
  object IpTerminal1: TIpTerminal
    Left = 0
    Top = 0
    Width = 500
    Height = 300
    Align = alClient
    Color = clBlack
    CaptureFile = 'DORORORA.CAP'
    Scrollback = False
    Columns = 100
    CursorType = ctUnderline
    Emulator = IpVT100Emulator1
  end
  object IpVT100Emulator1: TIpVT100Emulator
    TelnetTermType = 'vt100'
    Answerback = 'Kestro Terminal'
    DisplayUpperASCII = True
  end
  object IpVT100Emulator2: TIpVT100Emulator
    TelnetTermType = 'other'
  end
end
)";
    const std::string Path = testing::TempDir() + "term-form-" + std::to_string(getpid()) + ".dfm";
    WriteFile(Path, Definition);
    auto* Read = new TForm(nullptr);
    ReadComponentResFile(Path, Read);
    auto* Terminal = dynamic_cast<TIpTerminal*>(Read->FindComponent("IpTerminal1"));
    auto* Vt = dynamic_cast<TIpVT100Emulator*>(Read->FindComponent("IpVT100Emulator1"));
    ASSERT_TRUE(Terminal && Vt);
    EXPECT_EQ(Terminal->Emulator(), Vt);
    EXPECT_EQ(Vt->Answerback(), "Kestro Terminal");
    EXPECT_TRUE(Vt->DisplayUpperASCII());
    EXPECT_EQ(Terminal->TelnetTermType(), "vt100");
    EXPECT_EQ(Terminal->Columns(), 100);
    EXPECT_EQ(Terminal->CursorType(), ctUnderline);
    EXPECT_EQ(Terminal->Capture(), cmOff);
    Read->Free();
    // The emulator base has no buffer: definitions cannot make one.
    ASSERT_NE(GetClass("TIpTerminalEmulator"), nullptr);
    EXPECT_FALSE(GetClass("TIpTerminalEmulator")->Create);

    // Without the reference the first emulator of the form serves once it is read.
    std::string Unpaired = Definition;
    Unpaired.erase(Unpaired.find("    Emulator = IpVT100Emulator1\n"),
                   std::string("    Emulator = IpVT100Emulator1\n").size());
    WriteFile(Path, Unpaired);
    Read = new TForm(nullptr);
    ReadComponentResFile(Path, Read);
    Terminal = dynamic_cast<TIpTerminal*>(Read->FindComponent("IpTerminal1"));
    EXPECT_EQ(Terminal->Emulator(), Read->FindComponent("IpVT100Emulator1"));
    Read->Free();
    std::remove(Path.c_str());
}

// A screen with every look the VT100 emulator gives cells, for review.
TEST_F(TerminalControl, PictureOfAVT100ScreenWithEveryAttribute) {
    auto* Vt = new TIpVT100Emulator(Form);
    Vt->SetDisplayUpperASCII(true);
    Term->SetEmulator(Vt);
    Term->SetUseLazyDisplay(false);
    Connect();
    std::string Screen = "\x1b#3 Double height\r\n\x1b#4 Double height\r\n\x1b#6 Double width\r\n";
    Screen += "\x1b[1mBold\x1b[m \x1b[4mUnderline\x1b[m \x1b[5mBlink\x1b[m \x1b[7mReverse\x1b[m ";
    Screen += "[\x1b[8mInvisible\x1b[m] \x1b[1;4;7mAll three\x1b[m\r\n";
    for (int Color = 0; Color < 8; ++Color)
        Screen += "\x1b[3" + std::to_string(Color) + "mFore " + std::to_string(Color) + " ";
    Screen += "\x1b[m\r\n";
    for (int Color = 0; Color < 8; ++Color)
        Screen += "\x1b[4" + std::to_string(Color) + "mBack " + std::to_string(Color) + " ";
    Screen += "\x1b[m\r\n";
    Screen += "\x1b[1;33;44m Bold yellow on blue \x1b[m\r\n";
    Screen += "\x1b(0lqqqqqqqqwqqqqqqqqk\r\nx        x        x\r\ntqqqqqqqqnqqqqqqqqu\r\n";
    Screen += "x `afgjk x ~y|z{} x\r\nmqqqqqqqqvqqqqqqqqj\x1b(B\r\n";
    Screen +=
        "UK: \x1b(A#\x1b(B  code page 437: \xb0\xb1\xb2\xdb \xc9\xcd\xbb \x84\x94\x81\xe1\r\n";
    Screen += "\x1b[7m Reverse line for the selection below \x1b[m\r\nSelected text";
    Receive(Screen);
    const HWND W = Term->Handle();
    auto At = [&](int Row, int Col) {
        return MAKELPARAM((Col - 1) * Term->CellWidth() + 1, (Row - 1) * Term->CellHeight() + 1);
    };
    SendMessage(W, WM_LBUTTONDOWN, MK_LBUTTON, At(14, 1));
    SendMessage(W, WM_MOUSEMOVE, MK_LBUTTON, At(15, 8));
    SendMessage(W, WM_LBUTTONUP, 0, At(15, 8));
    Drain();
    EXPECT_TRUE(SaveWindowPicture(Form->Handle(), PicturePath("vt100-attributes")));
    // Spot checks: a red foreground cell and a blue background cell.
    const QImage P = ClientPicture();
    EXPECT_EQ(Buffer().ForeColorAt(5, 10), IpTermRGB(0x80, 0, 0));
    EXPECT_EQ(Buffer().BackColorAt(6, 31), IpTermRGB(0, 0, 0x80));
    EXPECT_EQ(CellCentre(P, 6, 31), 0xFF000080u);
}

}  // namespace

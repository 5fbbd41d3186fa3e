// The terminal control on the offscreen platform: what received data paints and when, blinking,
// the view into the history, selection and copying, the capture file, keys, the socket it
// serves and the classes forms place.
#include <gtest/gtest.h>

#include <cstdio>

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

}  // namespace

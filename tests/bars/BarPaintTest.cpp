// The pixels of painted bar windows: backgrounds, hot, pressed and checked buttons in the flat
// and the standard style, and group separators.
#include <gtest/gtest.h>

#include "bars/dxBar.h"
#include "bars/look/dxBarSystem.h"
#include "tests/bars/ShownBars.h"

namespace {

using namespace BarTest;

QRgb Rgb(COLORREF C) {
    return GuiTest::ColorOf(C);
}

QRgb BrushRgb(HBRUSH Brush) {
    LOGBRUSH Log{};
    GetObject(Brush, sizeof Log, &Log);
    return Rgb(Log.lbColor);
}

// The pixel of a bar window at a client point.
QRgb ClientPixel(TCustomdxBarControl* Window, int X, int Y) {
    RECT Outer;
    GetWindowRect(Window->Handle(), &Outer);
    POINT Origin{0, 0};
    ClientToScreen(Window->Handle(), &Origin);
    return GuiTest::PixelAt(Window->Handle(), X + Origin.x - Outer.left, Y + Origin.y - Outer.top);
}

// The toolbar's link I: its rectangle and the pixels of its corner and just inside it.
struct TItemPixels {
    QRgb Corner, Inside, BottomRight;
};
TItemPixels ItemPixels(const TShownBars& Shown, int I) {
    const TRect R = Shown.Link(Shown.Toolbar(), I)->ItemRect();
    TdxBarControl* Toolbar = Shown.Toolbar()->Control();
    return {ClientPixel(Toolbar, R.Left, R.Top), ClientPixel(Toolbar, R.Left + 1, R.Top + 1),
            ClientPixel(Toolbar, R.Right - 1, R.Bottom - 1)};
}

TEST(FlatPaint, ToolbarsAreLighterThanTheMenuBar) {
    TShownBars Shown(640);
    TdxBarManager* M = Shown.Manager();
    EXPECT_EQ(ItemPixels(Shown, 0).Corner, BrushRgb(M->FlatToolbarsBrush()));
    const TRect MenuItem = Shown.Link(Shown.Menu(), 0)->ItemRect();
    EXPECT_EQ(ClientPixel(Shown.Menu()->Control(), MenuItem.Left, MenuItem.Top),
              Rgb(dxBarSysColor(COLOR_BTNFACE)));
    EXPECT_NE(BrushRgb(M->FlatToolbarsBrush()), Rgb(dxBarSysColor(COLOR_BTNFACE)));
}

TEST(FlatPaint, HotPressedAndCheckedButtons) {
    TShownBars Shown(640);
    TdxBarManager* M = Shown.Manager();
    const QRgb Frame = BrushRgb(M->FlatFrameBrush());
    // Hot: framed, filled with the selected colour.
    GuiTest::MouseMove(Shown.FormWindow(), Shown.ScreenPoint(Shown.Toolbar(), 3));
    GuiTest::Drain();
    TItemPixels Hot = ItemPixels(Shown, 3);
    EXPECT_EQ(Hot.Corner, Frame);
    EXPECT_EQ(Hot.BottomRight, Frame);
    EXPECT_EQ(Hot.Inside, BrushRgb(M->FlatSelectedBrush()));
    // Pressed: the down-selected colour.
    GuiTest::MousePress(Shown.FormWindow(), Shown.ScreenPoint(Shown.Toolbar(), 3));
    GuiTest::Drain();
    EXPECT_EQ(ItemPixels(Shown, 3).Inside, BrushRgb(M->FlatDownSelectedBrush()));
    GuiTest::MouseRelease(Shown.FormWindow(), Shown.ScreenPoint(Shown.Toolbar(), 3));
    GuiTest::Drain();
    // A checked button that is down and not hot: framed, the down colour.
    TdxBarButton* Start = Shown.Bars.Button("BarButtonStart");
    Start->SetButtonStyle(bsChecked);
    Start->SetDown(true);
    GuiTest::Drain();
    const TItemPixels Down = ItemPixels(Shown, 2);
    EXPECT_EQ(Down.Corner, Frame);
    EXPECT_EQ(Down.Inside, BrushRgb(M->FlatDownBrush()));
    // Up again it is plain.
    Start->SetDown(false);
    GuiTest::Drain();
    EXPECT_EQ(ItemPixels(Shown, 2).Corner, BrushRgb(M->FlatToolbarsBrush()));
}

TEST(FlatPaint, AGroupSeparatorIsAShadowLineInTheMiddleOfItsGap) {
    TShownBars Shown(640);
    TdxBarControl* Toolbar = Shown.Toolbar()->Control();
    const TRect R = Shown.Link(Shown.Toolbar(), 2)->ItemRect();  // begins a group
    const int Gap = Toolbar->GetBeginGroupSize();
    ASSERT_EQ(Gap, 5);
    const QRgb Bk = BrushRgb(Shown.Manager()->FlatToolbarsBrush());
    const int Y = (R.Top + R.Bottom) / 2;
    EXPECT_EQ(ClientPixel(Toolbar, R.Left - 5, Y), Bk);
    EXPECT_EQ(ClientPixel(Toolbar, R.Left - 4, Y), Bk);
    EXPECT_EQ(ClientPixel(Toolbar, R.Left - 3, Y), Rgb(dxBarSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(ClientPixel(Toolbar, R.Left - 2, Y), Bk);
    EXPECT_EQ(ClientPixel(Toolbar, R.Left - 1, Y), Bk);
}

TEST(StandardPaint, HotButtonsAreRaisedAndPressedOnesSunken) {
    TShownBars Shown(640, true, bmsStandard);
    const QRgb Light = Rgb(dxBarSysColor(COLOR_BTNHIGHLIGHT));
    const QRgb Shadow = Rgb(dxBarSysColor(COLOR_BTNSHADOW));
    const TItemPixels Plain = ItemPixels(Shown, 3);
    EXPECT_EQ(Plain.Corner, Rgb(dxBarSysColor(COLOR_BTNFACE)));
    GuiTest::MouseMove(Shown.FormWindow(), Shown.ScreenPoint(Shown.Toolbar(), 3));
    GuiTest::Drain();
    const TItemPixels Hot = ItemPixels(Shown, 3);
    EXPECT_EQ(Hot.Corner, Light);
    EXPECT_EQ(Hot.BottomRight, Shadow);
    GuiTest::MousePress(Shown.FormWindow(), Shown.ScreenPoint(Shown.Toolbar(), 3));
    GuiTest::Drain();
    const TItemPixels Pressed = ItemPixels(Shown, 3);
    EXPECT_EQ(Pressed.Corner, Shadow);
    EXPECT_EQ(Pressed.BottomRight, Light);
    GuiTest::MouseRelease(Shown.FormWindow(), Shown.ScreenPoint(Shown.Toolbar(), 3));
    GuiTest::Drain();
}

TEST(StandardPaint, AGroupSeparatorIsEtched) {
    TShownBars Shown(640, true, bmsStandard);
    TdxBarControl* Toolbar = Shown.Toolbar()->Control();
    const TRect R = Shown.Link(Shown.Toolbar(), 2)->ItemRect();
    ASSERT_EQ(Toolbar->GetBeginGroupSize(), 6);
    const int Y = (R.Top + R.Bottom) / 2;
    EXPECT_EQ(ClientPixel(Toolbar, R.Left - 4, Y), Rgb(dxBarSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(ClientPixel(Toolbar, R.Left - 3, Y), Rgb(dxBarSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(ClientPixel(Toolbar, R.Left - 1, Y), Rgb(dxBarSysColor(COLOR_BTNFACE)));
}

}  // namespace

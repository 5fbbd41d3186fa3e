// The main window's menus on a real X server: xdotool moves the pointer, clicks and types, and
// the menus open, follow the pointer, run their commands and close as they do offscreen. Run by
// run-x11.sh under xvfb-run (no window manager), on Qt's xcb platform, with the window layer's
// own timers.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include "bars/customize/dxBarQuickCust.h"
#include "tests/bars/MenuTestSupport.h"
#include "tests/support/XdoTool.h"

using namespace BarTest;
using namespace GuiTest;

namespace {

class BarsX11 : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        ASSERT_TRUE(WaitExposed(Form.FormWindow()));
        Xdo({"windowfocus", "--sync", XId(Form.FormWindow())});
        Drain();
    }
    void TearDown() override {
        if (ActiveBarControl()) ActiveBarControl()->HideAll();
        Drain();
    }
    void MoveTo(POINT P) { Xdo({"mousemove", Num(P.x), Num(P.y)}); }
    void ClickAt(POINT P) { Xdo({"mousemove", Num(P.x), Num(P.y), "click", "1"}); }
    void Keys(const char* Keys) { Xdo({"key", "--clearmodifiers", Keys}); }
    // The open submenu of a main-menu item, shown on the X server at its place.
    TdxBarSubMenuControl* WaitMenu(int I) {
        TdxBarSubMenuControl* Menu = nullptr;
        const bool Open = PumpUntil([&] {
            Menu = Form.OpenMenu(I);
            return Menu && IsWindowVisible(Menu->Handle()) && QtWindowOf(Menu->Handle()) &&
                   QtWindowOf(Menu->Handle())->isExposed();
        });
        EXPECT_TRUE(Open) << I;
        return Open ? Menu : nullptr;
    }
    bool WaitClosed() {
        return PumpUntil([] { return ActiveBarControl() == nullptr; });
    }
    TMenuForm Form;
};

TEST_F(BarsX11, TheMenusOpenByClicksFollowThePointerAndCloseOutside) {
    ClickAt(Form.ScreenPoint(Form.Menu(), 1));
    TdxBarSubMenuControl* Menu = WaitMenu(1);
    ASSERT_NE(Menu, nullptr);
    // The X server has it exactly below its item.
    const std::string Geometry = Xdo({"getwindowgeometry", XId(Menu->Handle())});
    const std::string Position =
        "Position: " + std::to_string(Menu->Left()) + "," + std::to_string(Menu->Top());
    EXPECT_NE(Geometry.find(Position), std::string::npos) << Geometry;
    // The focus stays with the form.
    EXPECT_EQ(GetActiveWindow(), Form.FormWindow());
    SaveScenePicture({Form.FormWindow(), Menu->Handle()}, "x11-menu-konfiguration");
    for (int I : {2, 3, 0}) {
        MoveTo(Form.ScreenPoint(Form.Menu(), I));
        ASSERT_NE(WaitMenu(I), nullptr);
    }
    ClickAt(Form.FormPoint());
    EXPECT_TRUE(WaitClosed());
    EXPECT_EQ(Form.Manager()->KeyboardModeBar(), nullptr);
}

TEST_F(BarsX11, ACommandRunsFromAMenuByTheMouseAndByTheKeys) {
    int Started = 0;
    Form.Bars.Button("BarButtonStart")->OnClick = [&](TObject*) { ++Started; };
    ClickAt(Form.ScreenPoint(Form.Menu(), 2));
    TdxBarSubMenuControl* Online = WaitMenu(2);
    ASSERT_NE(Online, nullptr);
    MoveTo(TMenuForm::EntryPoint(Online, 0));
    ASSERT_TRUE(PumpUntil([&] { return TMenuForm::SelectedIndex(Online) == 0; }));
    ClickAt(TMenuForm::EntryPoint(Online, 0));
    ASSERT_TRUE(PumpUntil([&] { return Started == 1; }));
    EXPECT_TRUE(WaitClosed());
    // Alt+O opens Online with its first entry; S runs Start.
    Keys("alt+o");
    Online = WaitMenu(2);
    ASSERT_NE(Online, nullptr);
    EXPECT_EQ(TMenuForm::SelectedIndex(Online), 0);
    Keys("s");
    ASSERT_TRUE(PumpUntil([&] { return Started == 2; }));
    EXPECT_TRUE(WaitClosed());
    // F7 is Start's shortcut.
    Keys("F7");
    ASSERT_TRUE(PumpUntil([&] { return Started == 3; }));
}

TEST_F(BarsX11, AltAloneAndTheArrowsWalkTheMenusAndEscClosesThem) {
    Keys("alt");
    ASSERT_TRUE(PumpUntil([&] { return Form.Manager()->KeyboardModeBar() != nullptr; }));
    Keys("Down");
    ASSERT_NE(WaitMenu(0), nullptr);
    Keys("Right");
    ASSERT_NE(WaitMenu(1), nullptr);
    Keys("Right");
    TdxBarSubMenuControl* Online = WaitMenu(2);
    ASSERT_NE(Online, nullptr);
    Keys("Down");
    ASSERT_TRUE(PumpUntil([&] { return TMenuForm::SelectedIndex(Online) == 1; }));
    std::vector<WORD> Released;
    Form.Bars.Form()->OnKeyUp = [&](TObject*, WORD& Key, TShiftState) { Released.push_back(Key); };
    Keys("Escape");
    EXPECT_TRUE(WaitClosed());
    // The release of Esc went nowhere; the next key reaches the form.
    Keys("F9");
    ASSERT_TRUE(PumpUntil([&] { return !Released.empty(); }));
    EXPECT_EQ(Released, std::vector<WORD>{VK_F9});
}

// The lowered "&Ende" makes the toolbar's row thicker: hiding and showing it from the
// quick-customizing menu changes the top dock site's height, and the menu stays open for the next
// entry and the keys.
TEST_F(BarsX11, TheQuickCustomizingMenuStaysOpenWhileItsTogglesResizeTheDockSite) {
    TdxBarItemLink* Exit = Form.Link(Form.Toolbar(), 5);
    dynamic_cast<TdxBarButton*>(Exit->Item())->SetLowered(true);
    Drain();
    TdxDockControl* Site = Form.Toolbar()->RealDockControl();
    ASSERT_NE(Site, nullptr);
    const int Thick = Site->Height();
    TdxBarControl* Toolbar = Form.Toolbar()->Control();
    const TRect Mark = Toolbar->MarkRect();
    ClickAt(ScreenOf(Toolbar->Handle(),
                     POINT{(Mark.Left + Mark.Right) / 2, (Mark.Top + Mark.Bottom) / 2}));
    TdxBarQuickControl* Quick = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        Quick = OpenQuickControl();
        return Quick && IsExposed(Quick->Handle());
    }));
    TdxBarItemLinks* Links = Quick->ItemLinks();
    ClickAt(TMenuForm::Middle(Links->Items(Links->Count() - 1)));
    TdxBarSubMenuControl* Menu = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        Menu = TMenuForm::MenuOf(Quick->AddRemoveItem());
        return Menu && IsExposed(Menu->Handle());
    }));
    for (const bool Shown : {false, true}) {
        ClickAt(TMenuForm::EntryPoint(Menu, 5));
        ASSERT_TRUE(PumpUntil([&] { return Exit->Visible() == Shown; })) << Shown;
        ASSERT_TRUE(PumpUntil([&] { return Site->Height() == (Shown ? Thick : Thick - 2); }))
            << Shown << " " << Site->Height();
        ASSERT_EQ(OpenQuickControl(), Quick);
        ASSERT_EQ(TMenuForm::MenuOf(Quick->AddRemoveItem()), Menu);
        EXPECT_EQ(ActiveBarControl(), Menu);
        if (Shown) continue;
        Drain();
        SaveScenePicture({Form.FormWindow(), Quick->Handle(), Menu->Handle()},
                         "x11-quick-customizing-resized");
        // What the X server shows: the form with the thinner row, the window and its menu.
        RECT R;
        GetWindowRect(Form.FormWindow(), &R);
        RECT M;
        GetWindowRect(Menu->Handle(), &M);
        UnionRect(&R, &R, &M);
        const std::string Path = BarPicturePath("x11-quick-customizing-resized-screen");
        QDir().mkpath(QFileInfo(QString::fromStdString(Path)).path());
        QGuiApplication::primaryScreen()
            ->grabWindow(0, R.left, R.top, R.right - R.left, R.bottom - R.top)
            .save(QString::fromStdString(Path));
    }
    // The keys still walk the menu; a click on the form closes it.
    Keys("Down");
    ASSERT_TRUE(PumpUntil([&] { return TMenuForm::SelectedIndex(Menu) == 6; }));
    ClickAt(Form.FormPoint());
    EXPECT_TRUE(WaitClosed());
    EXPECT_EQ(OpenQuickControl(), nullptr);
}

}  // namespace

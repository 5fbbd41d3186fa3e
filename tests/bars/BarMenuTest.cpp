// The main window's menus on the offscreen platform, by input through the platform's translation:
// the four submenus opened by clicks, by the pointer resting on items and by keys; Esc and its
// swallowed release; clicks outside; shortcuts and accelerators through the keyboard hook.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "bars/dxBar.h"
#include "bars/windows/dxBarHint.h"
#include "bars/windows/dxBarHooks.h"
#include "platform/core/WindowPicture.h"
#include "platform/gdi/RectMath.h"
#include "tests/bars/MenuTestSupport.h"

namespace {

using namespace BarTest;

const char* const kMenuNames[4] = {"kestro", "konfiguration", "online", "hilfe"};
const int kMenuEntries[4] = {3, 6, 3, 1};

TEST(MenuWalk, EachSubmenuOpensBelowItsItemOnAClickAndClosesOnASecondOne) {
    TMenuForm Form;
    for (int I = 0; I < 4; ++I) {
        SCOPED_TRACE(kMenuNames[I]);
        Form.Click(Form.ScreenPoint(Form.Menu(), I));
        TdxBarSubMenuControl* Menu = Form.OpenMenu(I);
        ASSERT_NE(Menu, nullptr);
        EXPECT_TRUE(IsWindowVisible(Menu->Handle()));
        EXPECT_EQ(Form.Manager()->KeyboardModeBar(), Form.Menu()->Control());
        // Below the item, its left edges lined up.
        const TRect Item = Form.MenuLink(I)->ItemRect();
        const POINT Corner =
            GuiTest::ScreenOf(Form.Menu()->Control()->Handle(), POINT{Item.Left, Item.Bottom});
        EXPECT_EQ(Menu->Left(), Corner.x);
        EXPECT_EQ(Menu->Top(), Corner.y);
        // Every entry shows; a popup of ours is never activated.
        EXPECT_EQ(Menu->TopIndex(), 0);
        EXPECT_TRUE(Menu->BottomScrollRect().Width() == 0);
        for (int E = 0; E < kMenuEntries[I]; ++E)
            EXPECT_FALSE(IsRectEmpty(Menu->ItemLinks()->Items(E)->ItemRect())) << E;
        EXPECT_NE(GetActiveWindow(), Menu->Handle());
        EXPECT_EQ(GetActiveWindow(), Form.FormWindow());
        SaveScenePicture({Form.FormWindow(), Menu->Handle()}, std::string("menu-") + kMenuNames[I]);
        // The same item again: the menu closes and menu mode ends.
        Form.Click(Form.ScreenPoint(Form.Menu(), I));
        EXPECT_EQ(Form.OpenMenu(I), nullptr);
        EXPECT_EQ(Form.Manager()->KeyboardModeBar(), nullptr);
        EXPECT_EQ(ActiveBarControl(), nullptr);
    }
}

TEST(MenuWalk, InMenuModeTheMenuFollowsThePointerAlongTheMenuBar) {
    TMenuForm Form;
    Form.Click(Form.ScreenPoint(Form.Menu(), 0));
    ASSERT_NE(Form.OpenMenu(0), nullptr);
    for (int I = 1; I < 4; ++I) {
        Form.Move(Form.ScreenPoint(Form.Menu(), I));
        EXPECT_EQ(Form.OpenMenu(I - 1), nullptr) << I;
        EXPECT_NE(Form.OpenMenu(I), nullptr) << I;
    }
}

TEST(MenuWalk, ACommandInASubmenuRunsOnceAndEveryMenuCloses) {
    TMenuForm Form;
    int Started = 0;
    Form.Bars.Button("BarButtonStart")->OnClick = [&](TObject*) {
        EXPECT_EQ(ActiveBarControl(), nullptr);  // the menus closed before the command runs
        ++Started;
    };
    Form.Click(Form.ScreenPoint(Form.Menu(), 2));
    TdxBarSubMenuControl* Online = Form.OpenMenu(2);
    ASSERT_NE(Online, nullptr);
    const POINT Start = TMenuForm::EntryPoint(Online, 0);
    Form.Move(Start);
    EXPECT_EQ(TMenuForm::SelectedIndex(Online), 0);
    Form.Click(Start);
    EXPECT_EQ(Started, 1);
    EXPECT_EQ(Form.OpenMenu(2), nullptr);
    EXPECT_EQ(Form.Manager()->KeyboardModeBar(), nullptr);
}

// Neither we nor Qt show the window any more: it is off the screen.
bool OffTheScreen(HWND Wnd) {
    if (IsWindowVisible(Wnd)) return false;
    QWindow* Qt = GuiTest::QtWindowOf(Wnd);
    return !Qt || !Qt->isVisible();
}

// A command that opens a window (a modal dialog, often) runs with its menu gone from the screen,
// whether the entry was clicked or chosen by its letter: a menu left mapped would cover the new
// window until that closed.
TEST(MenuWalk, TheMenuLeavesTheScreenBeforeItsCommandRuns) {
    TMenuForm Form;
    HWND Menu = 0;
    int Started = 0;
    Form.Bars.Button("BarButtonStart")->OnClick = [&](TObject*) {
        ++Started;
        EXPECT_TRUE(OffTheScreen(Menu)) << Started;
    };
    Form.Click(Form.ScreenPoint(Form.Menu(), 2));
    ASSERT_NE(Form.OpenMenu(2), nullptr);
    Menu = Form.OpenMenu(2)->Handle();
    ASSERT_FALSE(OffTheScreen(Menu));
    Form.Click(TMenuForm::EntryPoint(Form.OpenMenu(2), 0));
    EXPECT_EQ(Started, 1);

    Form.AltTap(Qt::Key_O);  // "&Online"
    ASSERT_NE(Form.OpenMenu(2), nullptr);
    Menu = Form.OpenMenu(2)->Handle();
    ASSERT_FALSE(OffTheScreen(Menu));
    Form.Tap(Qt::Key_S);  // "&Start"
    EXPECT_EQ(Started, 2);
}

TEST(MenuWalk, AClickOutsideClosesTheMenusAndReachesTheForm) {
    TMenuForm Form;
    Form.Click(Form.ScreenPoint(Form.Menu(), 1));
    ASSERT_NE(Form.OpenMenu(1), nullptr);
    Form.Click(Form.FormPoint());
    EXPECT_EQ(Form.OpenMenu(1), nullptr);
    EXPECT_EQ(ActiveBarControl(), nullptr);
    EXPECT_EQ(Form.Manager()->KeyboardModeBar(), nullptr);
}

TEST(MenuWalk, AnUnmovedMouseMoveLeavesTheKeyboardSelectionAlone) {
    TMenuForm Form;
    Form.Click(Form.ScreenPoint(Form.Menu(), 1));
    TdxBarSubMenuControl* Menu = Form.OpenMenu(1);
    ASSERT_NE(Menu, nullptr);
    const POINT Over = TMenuForm::EntryPoint(Menu, 0);
    Form.Move(Over);
    EXPECT_EQ(TMenuForm::SelectedIndex(Menu), 0);
    Form.Tap(Qt::Key_Down);
    Form.Tap(Qt::Key_Down);
    EXPECT_EQ(TMenuForm::SelectedIndex(Menu), 2);
    // A move that does not move the pointer (the window layer's own) changes nothing.
    POINT Client = Over;
    ScreenToClient(Menu->Handle(), &Client);
    PostMessage(Menu->Handle(), WM_MOUSEMOVE, 0, MAKELONG(WORD(Client.x), WORD(Client.y)));
    GuiTest::Drain();
    EXPECT_EQ(TMenuForm::SelectedIndex(Menu), 2);
    Form.Move(POINT{Over.x + 1, Over.y});
    EXPECT_EQ(TMenuForm::SelectedIndex(Menu), 0);
}

// ---- keys ----------------------------------------------------------------------------------

TEST(MenuKeys, AltAloneEntersMenuModeAndTheArrowsOpenEachSubmenuInTurn) {
    TMenuForm Form;
    TdxBarControl* MenuBar = Form.Menu()->Control();
    Form.KeyDown(Qt::Key_Alt, Qt::AltModifier);
    EXPECT_EQ(Form.Manager()->KeyboardModeBar(), nullptr);  // not before Alt comes up
    Form.KeyUp(Qt::Key_Alt);
    EXPECT_EQ(Form.Manager()->KeyboardModeBar(), MenuBar);
    EXPECT_EQ(TMenuForm::SelectedIndex(MenuBar), 0);
    EXPECT_EQ(Form.OpenMenu(0), nullptr);  // selected, not open
    Form.Tap(Qt::Key_Down);
    TdxBarSubMenuControl* Kestro = Form.OpenMenu(0);
    ASSERT_NE(Kestro, nullptr);
    EXPECT_EQ(TMenuForm::SelectedIndex(Kestro), 0);  // opened by a key: its first entry
    for (int I = 1; I < 4; ++I) {
        Form.Tap(Qt::Key_Right);
        EXPECT_NE(Form.OpenMenu(I), nullptr) << I;
        EXPECT_EQ(Form.OpenMenu(I - 1), nullptr) << I;
        EXPECT_EQ(TMenuForm::SelectedIndex(Form.OpenMenu(I)), 0) << I;
    }
    Form.Tap(Qt::Key_Right);  // round to the first
    EXPECT_NE(Form.OpenMenu(0), nullptr);
    Form.Tap(Qt::Key_Left);
    EXPECT_NE(Form.OpenMenu(3), nullptr);
    // Up and Down move within the submenu.
    Form.Tap(Qt::Key_Left);
    TdxBarSubMenuControl* Online = Form.OpenMenu(2);
    ASSERT_NE(Online, nullptr);
    Form.Tap(Qt::Key_Down);
    EXPECT_EQ(TMenuForm::SelectedIndex(Online), 1);
    Form.Tap(Qt::Key_Up);
    Form.Tap(Qt::Key_Up);
    EXPECT_EQ(TMenuForm::SelectedIndex(Online), 2);
}

TEST(MenuKeys, EscClosesTheMenusAndItsReleaseGoesNowhere) {
    TMenuForm Form;
    std::vector<WORD> Released;
    Form.Bars.Form()->OnKeyUp = [&](TObject*, WORD& Key, TShiftState) { Released.push_back(Key); };
    Form.Click(Form.ScreenPoint(Form.Menu(), 0));
    ASSERT_NE(Form.OpenMenu(0), nullptr);
    Form.KeyDown(Qt::Key_Escape);
    EXPECT_EQ(Form.OpenMenu(0), nullptr);
    EXPECT_EQ(ActiveBarControl(), nullptr);
    EXPECT_EQ(Form.Manager()->KeyboardModeBar(), nullptr);
    Form.KeyUp(Qt::Key_Escape);
    EXPECT_TRUE(Released.empty());
    // With the menus closed, keys reach the form again.
    Form.Tap(Qt::Key_Escape);
    EXPECT_EQ(Released, std::vector<WORD>{VK_ESCAPE});
}

TEST(MenuKeys, F10OpensTheMenuBarOnlyWhenTheManagerSaysSo) {
    TMenuForm Form;
    Form.Tap(Qt::Key_F10);
    EXPECT_EQ(Form.Manager()->KeyboardModeBar(), Form.Menu()->Control());
    Form.Tap(Qt::Key_F10);  // and leaves it again
    EXPECT_EQ(Form.Manager()->KeyboardModeBar(), nullptr);
    Form.Manager()->UseF10ForMenu = false;
    Form.Tap(Qt::Key_F10);
    EXPECT_EQ(Form.Manager()->KeyboardModeBar(), nullptr);
}

TEST(MenuKeys, AltWithAnAcceleratorOpensThatMenuAndALetterInItRunsTheCommand) {
    TMenuForm Form;
    int Started = 0;
    Form.Bars.Button("BarButtonStart")->OnClick = [&](TObject*) { ++Started; };
    Form.AltTap(Qt::Key_O);  // "&Online"
    TdxBarSubMenuControl* Online = Form.OpenMenu(2);
    ASSERT_NE(Online, nullptr);
    EXPECT_EQ(Form.Manager()->KeyboardModeBar(), Form.Menu()->Control());
    EXPECT_EQ(TMenuForm::SelectedIndex(Online), 0);
    Form.Tap(Qt::Key_S);  // "&Start", the only S
    EXPECT_EQ(Started, 1);
    EXPECT_EQ(ActiveBarControl(), nullptr);
    // A click on the item an accelerator opened closes it again.
    Form.AltTap(Qt::Key_H);
    ASSERT_NE(Form.OpenMenu(3), nullptr);
    Form.Click(Form.ScreenPoint(Form.Menu(), 3));
    EXPECT_EQ(Form.OpenMenu(3), nullptr);
    EXPECT_EQ(Form.Manager()->KeyboardModeBar(), nullptr);
}

TEST(MenuKeys, ALetterTwoEntriesShareSelectsEachInTurnAndEnterRunsTheSelectedOne) {
    TMenuForm Form;
    std::vector<std::string> Ran;
    for (const char* Name : {"BarButtonStart", "BarButtonMultiStart", "Telnet1"})
        Form.Bars.Button(Name)->OnClick = [&Ran, Name](TObject*) { Ran.push_back(Name); };
    // "Online" holds Start, then these two, both on Q.
    Form.Bars.Button("BarButtonMultiStart")->SetCaption("&Quelle");
    Form.Bars.Button("Telnet1")->SetCaption("&Quittung");
    // Asked afresh each time: a command run closes the menu and frees its window.
    auto Selected = [&] { return TMenuForm::SelectedIndex(Form.OpenMenu(2)); };
    Form.AltTap(Qt::Key_O);
    ASSERT_NE(Form.OpenMenu(2), nullptr);
    ASSERT_EQ(Selected(), 0);
    Form.Tap(Qt::Key_Q);  // the first Q is only selected
    EXPECT_EQ(Selected(), 1);
    EXPECT_TRUE(Ran.empty());
    Form.Tap(Qt::Key_Q);  // then the second
    EXPECT_EQ(Selected(), 2);
    EXPECT_TRUE(Ran.empty());
    Form.Tap(Qt::Key_Q);  // and round to the first again
    EXPECT_EQ(Selected(), 1);
    Form.Tap(Qt::Key_Q);
    Form.Tap(Qt::Key_Return);
    EXPECT_EQ(Ran, std::vector<std::string>{"Telnet1"});
    EXPECT_EQ(Form.OpenMenu(2), nullptr);

    // A letter only one entry has runs it at once.
    Form.AltTap(Qt::Key_O);
    ASSERT_NE(Form.OpenMenu(2), nullptr);
    Form.Tap(Qt::Key_S);
    EXPECT_EQ(Ran, (std::vector<std::string>{"Telnet1", "BarButtonStart"}));
    EXPECT_EQ(ActiveBarControl(), nullptr);
}

TEST(MenuKeys, AltWithALetterTwoMenusShareSelectsEachInTurn) {
    TMenuForm Form;
    // Alt with a letter two menus of the menu bar share: the first is selected, not opened;
    // the letter again moves on to the second (moving along the menu bar opens it).
    Form.SubItem(3)->SetCaption("&Kurz");  // "Hilfe", after "Konfiguration"
    Form.AltTap(Qt::Key_K);
    EXPECT_EQ(Form.Manager()->KeyboardModeBar(), Form.Menu()->Control());
    EXPECT_EQ(TMenuForm::SelectedIndex(Form.Menu()->Control()), 1);
    EXPECT_EQ(Form.OpenMenu(1), nullptr);
    Form.Tap(Qt::Key_K);
    EXPECT_EQ(TMenuForm::SelectedIndex(Form.Menu()->Control()), 3);
    EXPECT_EQ(Form.OpenMenu(1), nullptr);
    Form.Tap(Qt::Key_Escape);
    Form.Tap(Qt::Key_Escape);
    EXPECT_EQ(Form.Manager()->KeyboardModeBar(), nullptr);
}

TEST(MenuKeys, ShortcutsOfTheMainWindowRunTheirCommands) {
    TMenuForm Form;
    struct TCase {
        const char* Button;
        Qt::Key Key;
        Qt::KeyboardModifiers Mods;
    };
    const TCase kCases[] = {
        {"Editieren1", Qt::Key_F3, {}},
        {"ButtonOptionen", Qt::Key_F5, {}},
        {"dxBarManagerxBarButton1", Qt::Key_F6, {}},
        {"BarButtonStart", Qt::Key_F7, {}},
        {"BarButtonMultiStart", Qt::Key_F8, {}},
    };
    std::vector<std::string> Ran;
    for (const TCase& C : kCases)
        Form.Bars.Button(C.Button)->OnClick = [&Ran, &C](TObject*) { Ran.push_back(C.Button); };
    int Ended = 0;
    Form.Bars.Button("BarButtonExit")->OnClick = [&](TObject*) { ++Ended; };
    std::vector<WORD> Reached;
    Form.Bars.Form()->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { Reached.push_back(Key); };
    for (const TCase& C : kCases) Form.Tap(C.Key, C.Mods);
    std::vector<std::string> Expected;
    for (const TCase& C : kCases) Expected.push_back(C.Button);
    EXPECT_EQ(Ran, Expected);
    // Alt+X, Alt held: "&Ende" runs, and Alt's release does not open the menu.
    Form.AltTap(Qt::Key_X);
    EXPECT_EQ(Ended, 1);
    EXPECT_EQ(Form.Manager()->KeyboardModeBar(), nullptr);
    // The keys the bars took did not reach the form; a key no item has does.
    for (WORD Key : Reached) EXPECT_NE(Key, VK_F7);
    Form.Tap(Qt::Key_F9);
    EXPECT_NE(std::find(Reached.begin(), Reached.end(), VK_F9), Reached.end());
    // A disabled command's key goes on to the form.
    Form.Bars.Button("BarButtonStart")->SetEnabled(false);
    Form.Tap(Qt::Key_F7);
    EXPECT_EQ(std::count(Ran.begin(), Ran.end(), std::string("BarButtonStart")), 1);
}

TEST(MenuKeys, TheHooksLiveAsLongAsAnyManager) {
    {
        TBarsForm First;
        EXPECT_TRUE(dxBarHooksInstalled());
        {
            TBarsForm Second;
            EXPECT_TRUE(dxBarHooksInstalled());
        }
        EXPECT_TRUE(dxBarHooksInstalled());
        EXPECT_NE(dxBarHintWindow(), nullptr);
    }
    EXPECT_FALSE(dxBarHooksInstalled());
    EXPECT_EQ(dxBarHintWindow(), nullptr);
}

// ---- the close button at the end of the main menu bar ------------------------------------------

// ShowCloseButton puts a close button at the end of the docked main menu bar, clear of the
// items; a click on it runs the manager's close-button event, a press that is let go elsewhere
// does nothing, and neither moves the bar.
TEST(MenuCloseButton, TheButtonIsDrawnAndRunsTheEventWhenReleasedOverIt) {
    for (TdxBarManagerStyle Style : {bmsFlat, bmsStandard}) {
        SCOPED_TRACE(int(Style));
        TMenuForm Form(640, Style);
        int Clicks = 0;
        Form.Manager()->OnCloseButtonClick = [&](TObject*) { ++Clicks; };
        Form.Manager()->SetShowCloseButton(true);
        GuiTest::Drain();
        TdxBarControl* Bar = Form.Menu()->Control();
        const TRect R = Bar->RightCloseButtonRect();
        ASSERT_FALSE(IsRectEmpty(R));
        EXPECT_EQ(R.Right, Bar->ClientRect().Right);
        TdxBarItemLinks* Links = Form.Menu()->ItemLinks();
        EXPECT_LE(Links->Items(Links->Count() - 1)->ItemRect().Right, R.Left);
        // The cross of the button is drawn: dark pixels inside it.
        const QImage Picture = WindowPicture(Bar->Handle());
        const POINT Origin = GuiTest::ScreenOf(Bar->Handle(), POINT{R.Left, R.Top});
        RECT W;
        GetWindowRect(Bar->Handle(), &W);
        int Dark = 0;
        for (int Y = 0; Y < R.Height(); ++Y)
            for (int X = 0; X < R.Width(); ++X)
                Dark += qGray(Picture.pixel(Origin.x - W.left + X, Origin.y - W.top + Y)) < 80;
        EXPECT_GT(Dark, 4);
        SaveScenePicture({Form.FormWindow()}, std::string("menu-close-button-") +
                                                  (Style == bmsFlat ? "flat" : "standard"));

        const POINT On =
            GuiTest::ScreenOf(Bar->Handle(), POINT{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2});
        const int Row = Form.Menu()->Row();
        // Pressed there, then let go at To: the button holds the mouse meanwhile.
        const auto PressAndRelease = [&](POINT To) {
            GuiTest::TScript Script;
            Script.Then([&] { GuiTest::MousePress(Form.FormWindow(), On); });
            Script.ThenWhen([&] { return GetCapture() == Bar->Handle(); },
                            [&] {
                                GuiTest::MouseMove(Form.FormWindow(), To);
                                GuiTest::MouseRelease(Form.FormWindow(), To);
                            });
            Script.Start();
            ASSERT_TRUE(PumpUntil([&] { return Script.Done() && GetCapture() == 0; }));
            GuiTest::Drain();
        };
        PressAndRelease(On);
        EXPECT_EQ(Clicks, 1);
        PressAndRelease(Form.FormPoint());
        EXPECT_EQ(Clicks, 1);
        EXPECT_EQ(Form.Menu()->Row(), Row);
        EXPECT_EQ(Form.Menu()->DockingStyle(), dsTop);
        EXPECT_EQ(ActiveBarControl(), nullptr);
    }
}

// A modal window opening while the close button is held ends the press: the event does not run,
// whether the button comes up in the modal window or afterwards over the close button.
TEST(MenuCloseButton, APressThatAModalWindowCancelsRunsNothing) {
    for (bool ReleaseInModal : {true, false}) {
        SCOPED_TRACE(ReleaseInModal ? "released in the modal window" : "released afterwards");
        TMenuForm Form;
        int Clicks = 0;
        Form.Manager()->OnCloseButtonClick = [&](TObject*) { ++Clicks; };
        Form.Manager()->SetShowCloseButton(true);
        GuiTest::Drain();
        TdxBarControl* Bar = Form.Menu()->Control();
        const TRect R = Bar->RightCloseButtonRect();
        const POINT On =
            GuiTest::ScreenOf(Bar->Handle(), POINT{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2});
        PressCancelledByAModalWindow(Form.FormWindow(), On, Form.FormPoint(), ReleaseInModal);
        EXPECT_EQ(Clicks, 0);
        EXPECT_EQ(ActiveBarControl(), nullptr);
        // A whole click afterwards runs the event once.
        GuiTest::TScript Script;
        Script.Then([&] { GuiTest::MousePress(Form.FormWindow(), On); });
        Script.ThenWhen([&] { return GetCapture() == Bar->Handle(); },
                        [&] { GuiTest::MouseRelease(Form.FormWindow(), On); });
        Script.Start();
        ASSERT_TRUE(PumpUntil([&] { return Script.Done() && GetCapture() == 0; }));
        GuiTest::Drain();
        EXPECT_EQ(Clicks, 1);
    }
}

}  // namespace

// Popup menus of the bars: Popup's own loop (it returns once the menu closed and drops
// WM_COMMAND meanwhile), a right click or Shift+F10 on a control with a popup-menu link, a
// button's drop-down menu that stays open, keys that belong to the class library's menus, the
// owner form's deactivation, the system-menu item and the MDI merge.
#include <gtest/gtest.h>

#include <QImage>
#include <QTimer>
#include <string>
#include <vector>

#include "bars/dxBar.h"
#include "bars/windows/dxBarHooks.h"
#include "bars/windows/dxBarSystemMenu.h"
#include "platform/controls/Controls.h"
#include "platform/core/Paint.h"
#include "platform/menus/Menus.h"
#include "platform/widgets/ExtCtrls.h"
#include "platform/widgets/Menus.h"
#include "platform/widgets/StdCtrls.h"
#include "tests/bars/MenuTestSupport.h"

namespace {

using namespace BarTest;

// A popup menu of three commands on the main window's form (texts are Windows-1252).
struct TPopupForm : TMenuForm {
    TdxBarPopupMenu* Popup = nullptr;
    std::vector<std::string> Clicked;
    TPopupForm() {
        Popup = new TdxBarPopupMenu(Bars.Form());
        for (const char* Caption : {"&Kopieren", "&Einf\xFCgen", "&L\xF6schen"}) {
            TdxBarButton* Item = Bars.NewItem(Caption);
            Item->OnClick = [this, Caption](TObject*) { Clicked.push_back(Caption); };
            Popup->ItemLinks()->Add()->SetItem(Item);
        }
    }
    TdxBarSubMenuControl* Window() const { return Popup->Window(); }
};

TEST(BarPopupMenus, PopupReturnsOnceTheMenuClosedAndDropsCommandsMeanwhile) {
    TPopupForm Form;
    GuiTest::TWindowGuard Guard;
    const HWND Target = Guard(GuiTest::Windows().Create(0, WS_POPUP, {0, 0, 10, 10}));
    const POINT At = GuiTest::ScreenOf(Form.FormWindow(), POINT{200, 100});
    bool Returned = false;
    bool OpenWhileLooping = false;
    GuiTest::TScript Script;
    Script
        .Then([&] {
            Form.Popup->Popup(At.x, At.y);
            Returned = true;
        })
        .Then([&] {
            OpenWhileLooping = Form.Popup->IsOpen() && !Returned;
            // Left to the menu's loop: nothing here runs a pass of its own.
            PostMessage(Target, WM_COMMAND, 1, 0);
            PostMessage(Target, WM_USER, 2, 0);
        })
        .Then(
            [&] { GuiTest::MouseMove(Form.FormWindow(), TMenuForm::EntryPoint(Form.Window(), 1)); })
        .Then([&] {
            GuiTest::MouseClick(Form.FormWindow(), TMenuForm::EntryPoint(Form.Window(), 1));
        });
    Script.Start();
    ASSERT_TRUE(PumpUntil([&] { return Script.Done() && Returned; }));
    EXPECT_TRUE(OpenWhileLooping);
    EXPECT_EQ(Form.Clicked, std::vector<std::string>{"&Einf\xFCgen"});
    EXPECT_FALSE(Form.Popup->IsOpen());
    EXPECT_TRUE(GuiTest::Windows().MessagesOf(Target, {WM_COMMAND}).empty());
    EXPECT_EQ(GuiTest::Windows().MessagesOf(Target, {WM_USER}).size(), 1u);
}

// The menu closed inside a pass that someone else runs while Popup waits (a command's dialog, a
// test's own pass) leaves nothing in the queue: Popup still returns at once, not at the next
// input. The nudge stands for that next input, should it be needed.
TEST(BarPopupMenus, PopupReturnsWhenTheMenuClosedInsideAnotherPass) {
    for (const std::string How : {"Esc", "a command", "code"}) {
        SCOPED_TRACE(How);
        TPopupForm Form;
        const POINT At = GuiTest::ScreenOf(Form.FormWindow(), POINT{200, 100});
        bool Returned = false;
        bool Nudged = false;
        QTimer Nudge;
        Nudge.setSingleShot(true);
        QObject::connect(&Nudge, &QTimer::timeout, [&] {
            Nudged = true;
            PostMessage(Form.FormWindow(), WM_NULL, 0, 0);
        });
        GuiTest::TScript Script;
        Script.Then([&] {
            Form.Popup->Popup(At.x, At.y);
            Returned = true;
        });
        // A while after the menu showed: by then Popup waits in its loop for input.
        int Polls = 0;
        Script.ThenWhen([&] { return Form.Popup->IsOpen() && ++Polls > 20; },
                        [&] {
                            if (How == "Esc") {
                                Form.Tap(Qt::Key_Escape);
                            } else if (How == "code") {
                                Form.Window()->HideAll();
                            } else {
                                Form.Tap(Qt::Key_Down);
                                Form.Tap(Qt::Key_Return);
                            }
                            GuiTest::Drain();
                            Nudge.start(5000);
                        });
        Script.Start();
        ASSERT_TRUE(PumpUntil([&] { return Script.Done() && Returned; }));
        EXPECT_FALSE(Nudged);
        EXPECT_FALSE(Form.Popup->IsOpen());
        EXPECT_EQ(Form.Clicked.size(), How == "a command" ? 1u : 0u);
    }
}

// The entry under the pointer of a popup menu puts its long hint in the application's status
// bar (a popup menu has no bar of its own to show it).
TEST(BarPopupMenus, TheSelectedEntrysHintGoesToTheStatusBar) {
    TPopupForm Form;
    Form.Popup->ItemLinks()->Items(1)->Item()->SetHint("Einf\xFCgen|F\xFCgt die Ablage ein");
    const POINT At = GuiTest::ScreenOf(Form.FormWindow(), POINT{200, 100});
    std::string Shown = "-";
    GuiTest::TScript Script;
    Script.Then([&] { Form.Popup->Popup(At.x, At.y); });
    Script.ThenWhen([&] { return Form.Popup->IsOpen() && ActiveBarControl() == Form.Window(); },
                    [&] {
                        // Over another entry first: a pointer that did not move selects
                        // nothing.
                        Form.Move(TMenuForm::EntryPoint(Form.Window(), 0));
                        Form.Move(TMenuForm::EntryPoint(Form.Window(), 1));
                        Shown = Forms.Hint();
                        // The menu's own loop takes the Escape: a pass run here would take the
                        // loop's wake-up with it, before the loop waits.
                        QTest::keyClick(GuiTest::QtWindowOf(Form.FormWindow()), Qt::Key_Escape);
                    });
    Script.Start();
    ASSERT_TRUE(PumpUntil([&] { return Script.Done() && !Form.Popup->IsOpen(); }));
    EXPECT_EQ(Shown, "F\xFCgt die Ablage ein");
}

TEST(BarPopupMenus, ARightClickOnALinkedControlShowsItsMenuWhereTheMouseIs) {
    TPopupForm Form;
    auto* Panel = new TPanel(Form.Bars.Form());
    Panel->SetParent(Form.Bars.Form());
    Panel->SetBounds(40, 90, 200, 60);
    GuiTest::Drain();
    TdxBarPopupMenuLink* Link = Form.Manager()->PopupMenuLinks()->Add();
    Link->SetControl(Panel);
    Link->SetPopupMenu(Form.Popup);
    TPoint Asked{-1, -1};
    Link->OnAction = [&](TdxBarPopupMenuLink*, int& X, int& Y, bool ByMouse, bool&) {
        EXPECT_TRUE(ByMouse);
        Asked = TPoint{X, Y};
    };
    const POINT At = GuiTest::ScreenOf(Panel->Handle(), POINT{30, 20});
    TPoint Shown{-1, -1};
    GuiTest::TScript Script;
    Script
        .Then([&] {
            GuiTest::MouseClick(Form.FormWindow(), At, Qt::RightButton);
            GuiTest::Drain();
        })
        .ThenWhen([&] { return Form.Popup->IsOpen() && ActiveBarControl() == Form.Window(); },
                  [&] {
                      Shown = TPoint{Form.Window()->Left(), Form.Window()->Top()};
                      Form.Tap(Qt::Key_Escape);
                  });
    Script.Start();
    ASSERT_TRUE(PumpUntil([&] { return Script.Done() && !Form.Popup->IsOpen(); }));
    EXPECT_EQ(Asked, (TPoint{30, 20}));
    EXPECT_EQ(Shown, (TPoint{At.x, At.y}));
    EXPECT_TRUE(Form.Clicked.empty());
}

TEST(BarPopupMenus, ShiftF10ShowsTheMenuOfTheFocusedControlAtItsCorner) {
    TPopupForm Form;
    TdxBarPopupMenuLink* Link = Form.Manager()->PopupMenuLinks()->Add();
    Link->SetControl(Form.Bars.Form());
    Link->SetPopupMenu(Form.Popup);
    ASSERT_EQ(GetFocus(), Form.FormWindow());
    const POINT Corner = GuiTest::ScreenOf(Form.FormWindow(), POINT{0, 0});
    TPoint Shown{-1, -1};
    GuiTest::TScript Script;
    Script
        .Then([&] {
            Form.KeyDown(Qt::Key_Shift, Qt::ShiftModifier);
            Form.Tap(Qt::Key_F10, Qt::ShiftModifier);
        })
        .ThenWhen([&] { return Form.Popup->IsOpen() && ActiveBarControl() == Form.Window(); },
                  [&] {
                      Shown = TPoint{Form.Window()->Left(), Form.Window()->Top()};
                      Form.KeyUp(Qt::Key_Shift);
                      Form.Tap(Qt::Key_Down);
                      Form.Tap(Qt::Key_Return);
                  });
    Script.Start();
    ASSERT_TRUE(PumpUntil([&] { return Script.Done() && !Form.Popup->IsOpen(); }));
    EXPECT_EQ(Shown, (TPoint{Corner.x, Corner.y}));
    EXPECT_EQ(Form.Clicked, std::vector<std::string>{"&Kopieren"});
}

// From the keyboard the menu opens where the user types: at the text cursor of a focused edit,
// or at the caret a window made for itself, not at the control's corner.
TEST(BarPopupMenus, ShiftF10OpensTheMenuAtTheCaretOfTheFocusedControl) {
    InitStandardControls();
    for (const std::string Kind : {"edit", "own caret"}) {
        SCOPED_TRACE(Kind);
        TPopupForm Form;
        TWinControl* Target = nullptr;
        if (Kind == "edit") {
            auto* Edit = new TEdit(Form.Bars.Form());
            Edit->SetParent(Form.Bars.Form());
            Edit->SetBounds(40, 90, 220, 24);
            Edit->SetText("Kopieren und einf\xFCgen");
            Target = Edit;
        } else {
            auto* Panel = new TPanel(Form.Bars.Form());
            Panel->SetParent(Form.Bars.Form());
            Panel->SetBounds(40, 90, 200, 60);
            Target = Panel;
        }
        GuiTest::Drain();
        Target->SetFocus();
        GuiTest::Drain();
        ASSERT_EQ(GetFocus(), Target->Handle());
        if (Kind == "edit") {
            static_cast<TEdit*>(Target)->SetSelStart(8);
        } else {
            ASSERT_TRUE(CreateCaret(Target->Handle(), 0, 2, 14));
            SetCaretPos(17, 9);
        }
        TdxBarPopupMenuLink* Link = Form.Manager()->PopupMenuLinks()->Add();
        Link->SetControl(Target);
        Link->SetPopupMenu(Form.Popup);
        TPoint Asked{-1, -1};
        Link->OnAction = [&](TdxBarPopupMenuLink*, int& X, int& Y, bool ByMouse, bool&) {
            EXPECT_FALSE(ByMouse);
            Asked = TPoint{X, Y};
        };
        TPoint Shown{-1, -1};
        GuiTest::TScript Script;
        Script
            .Then([&] {
                Form.KeyDown(Qt::Key_Shift, Qt::ShiftModifier);
                Form.Tap(Qt::Key_F10, Qt::ShiftModifier);
            })
            .ThenWhen([&] { return Form.Popup->IsOpen() && ActiveBarControl() == Form.Window(); },
                      [&] {
                          Shown = TPoint{Form.Window()->Left(), Form.Window()->Top()};
                          Form.KeyUp(Qt::Key_Shift);
                          Form.Tap(Qt::Key_Escape);
                      });
        Script.Start();
        ASSERT_TRUE(PumpUntil([&] { return Script.Done() && !Form.Popup->IsOpen(); }));
        const POINT Corner = GuiTest::ScreenOf(Target->Handle(), POINT{0, 0});
        if (Kind == "edit") {
            // Eight characters in: well to the right of the corner, on the edit's line.
            EXPECT_GT(Asked.X, 20);
            EXPECT_LT(Asked.X, 200);
            EXPECT_GE(Asked.Y, 0);
            EXPECT_LT(Asked.Y, 24);
        } else {
            EXPECT_EQ(Asked, (TPoint{17, 9}));
            DestroyCaret();
        }
        EXPECT_EQ(Shown, (TPoint{Corner.x + Asked.X, Corner.y + Asked.Y}));
    }
}

TEST(BarPopupMenus, ADropDownButtonsMenuStaysOpenUntilAClickElsewhere) {
    TPopupForm Form;
    TdxBarButton* Button = Form.Bars.NewItem("&Mehr");
    Button->SetButtonStyle(bsDropDown);
    Button->SetDropDownMenu(Form.Popup);
    int Clicked = 0;
    Button->OnClick = [&](TObject*) { ++Clicked; };
    Form.Toolbar()->ItemLinks()->Add()->SetItem(Button);
    GuiTest::Drain();
    TdxBarItemLink* Link = Form.Toolbar()->ItemLinks()->Items(6);
    auto* Control = dynamic_cast<TdxBarButtonControl*>(Link->Control());
    ASSERT_NE(Control, nullptr);
    const TRect R = Link->ItemRect();
    const HWND Bar = Form.Toolbar()->Control()->Handle();
    const POINT Arrow = GuiTest::ScreenOf(Bar, POINT{R.Right - 3, (R.Top + R.Bottom) / 2});
    Form.Click(Arrow);  // returns: the drop-down runs no loop of its own
    ASSERT_TRUE(Form.Popup->IsOpen());
    EXPECT_TRUE(Control->DroppedDown());
    EXPECT_EQ(Clicked, 0);
    const POINT Below = GuiTest::ScreenOf(Bar, POINT{R.Left, R.Bottom});
    EXPECT_EQ(Form.Window()->Left(), Below.x);
    EXPECT_EQ(Form.Window()->Top(), Below.y);
    SaveScenePicture({Form.FormWindow(), Form.Window()->Handle()}, "menu-drop-down");
    // A click on the arrow again closes it and does not open it again.
    Form.Click(Arrow);
    EXPECT_FALSE(Form.Popup->IsOpen());
    EXPECT_FALSE(Control->DroppedDown());
    Form.Click(Arrow);
    ASSERT_TRUE(Form.Popup->IsOpen());
    Form.Click(Form.FormPoint());
    EXPECT_FALSE(Form.Popup->IsOpen());
    EXPECT_FALSE(Control->DroppedDown());
    EXPECT_EQ(ActiveBarControl(), nullptr);
    // The button's own part runs its command.
    Form.Click(GuiTest::ScreenOf(Bar, POINT{R.Left + 4, (R.Top + R.Bottom) / 2}));
    EXPECT_EQ(Clicked, 1);
    EXPECT_FALSE(Form.Popup->IsOpen());
}

// A command run from a button's drop-down menu counts as a use of the button's link too, as a
// command of a submenu counts for the item that opened it.
TEST(BarPopupMenus, ACommandOfADropDownMenuCountsForTheButtonThatOpenedIt) {
    TPopupForm Form;
    TdxBarButton* Button = Form.Bars.NewItem("&Mehr");
    Button->SetButtonStyle(bsDropDown);
    Button->SetDropDownMenu(Form.Popup);
    Form.Toolbar()->ItemLinks()->Add()->SetItem(Button);
    GuiTest::Drain();
    TdxBarItemLink* Link = Form.Toolbar()->ItemLinks()->Items(6);
    const TRect R = Link->ItemRect();
    const HWND Bar = Form.Toolbar()->Control()->Handle();
    Form.Click(GuiTest::ScreenOf(Bar, POINT{R.Right - 3, (R.Top + R.Bottom) / 2}));
    ASSERT_TRUE(Form.Popup->IsOpen());
    // Another link of the bar was used since the button opened its menu.
    Form.Toolbar()->ItemLinks()->Items(0)->RecordUse(false);
    ASSERT_GT(Link->UsagePosition(), 0);
    Form.Click(TMenuForm::EntryPoint(Form.Window(), 0));
    EXPECT_EQ(Form.Clicked, std::vector<std::string>{"&Kopieren"});
    EXPECT_FALSE(Form.Popup->IsOpen());
    // The most recently used link of its bar now.
    EXPECT_EQ(Link->UsagePosition(), 0);
}

// Commands shown only while customizing: customizing mode takes them into a popup menu's lists
// as into a bar's and a submenu's, and leaving it takes them out again.
TEST(BarPopupMenus, CustomizingModeRebuildsThePopupMenusLists) {
    TPopupForm Form;
    TdxBarButton* Customizing = Form.Bars.NewItem("&Anpassen");
    Customizing->SetVisible(ivInCustomizing);
    Form.Popup->ItemLinks()->Add()->SetItem(Customizing);
    TdxBarItemLinks* Links = Form.Popup->ItemLinks();
    EXPECT_EQ(Links->AvailableCount(), 3);
    Form.Manager()->CustomizingMode(true);
    EXPECT_EQ(Links->AvailableCount(), 4);
    EXPECT_EQ(Links->CanVisibleItems(3)->Item(), Customizing);
    Form.Manager()->CustomizingMode(false);
    EXPECT_EQ(Links->AvailableCount(), 3);
}

TEST(BarPopupMenus, APopupMenuNeedsAManager) {
    EXPECT_EQ(ErrorOf<EdxBarError>([] { delete new TdxBarPopupMenu(nullptr); }),
              "There are no TdxBarManagers available");
}

// ---- the owner form -----------------------------------------------------------------------------

TEST(BarOwnerForm, KeysNoBarTakesGoOnToTheFormsOwnMenus) {
    TMenuForm Form;
    // The task view's commands are a menu of the class library owned by the form.
    auto* Tasks = new TPopupMenu(Form.Bars.Form());
    int Soft = 0, Hard = 0;
    for (auto [Key, Count] : {std::pair{ShortCut(VK_F7, {ssCtrl}), &Soft},
                              std::pair{ShortCut(VK_F8, {ssCtrl}), &Hard}}) {
        auto* Item = new TMenuItem(Form.Bars.Form());
        Item->SetShortCut(Key);
        Item->OnClick = [Count](TObject*) { ++*Count; };
        Tasks->Items()->Add(Item);
    }
    int Started = 0;
    Form.Bars.Button("BarButtonStart")->OnClick = [&](TObject*) { ++Started; };
    Form.KeyDown(Qt::Key_Control, Qt::ControlModifier);
    Form.Tap(Qt::Key_F7, Qt::ControlModifier);
    Form.Tap(Qt::Key_F8, Qt::ControlModifier);
    Form.KeyUp(Qt::Key_Control);
    EXPECT_EQ(Soft, 1);
    EXPECT_EQ(Hard, 1);
    EXPECT_EQ(Started, 0);  // F7 alone is Start's, Ctrl+F7 is not
}

// A bar window never keeps the focus: with its form hidden it goes on to the next window shown
// below the form that takes input, past a disabled one in between (keys would go nowhere there).
TEST(BarOwnerForm, WithTheFormHiddenABarsFocusGoesToTheNextWindow) {
    auto* Other = new TForm(nullptr);
    Other->SetBounds(500, 400, 200, 100);
    Other->Show();
    auto* Disabled = new TForm(nullptr);
    Disabled->SetBounds(450, 350, 200, 100);
    Disabled->Show();
    GuiTest::Drain();
    {
        TMenuForm Form;
        ShowWindow(Form.FormWindow(), SW_HIDE);
        EnableWindow(Disabled->Handle(), FALSE);
        SetWindowPos(Disabled->Handle(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        GuiTest::Drain();
        // The disabled window lies above the other one.
        HWND First = GetTopWindow(0);
        while (First && First != Disabled->Handle() && First != Other->Handle())
            First = GetWindow(First, GW_HWNDNEXT);
        ASSERT_EQ(First, Disabled->Handle());
        ASSERT_TRUE(IsWindowVisible(Disabled->Handle()));
        // The focus activates the form, which comes above both.
        SetFocus(Form.Toolbar()->Control()->Handle());
        GuiTest::Drain();
        EXPECT_EQ(GetFocus(), Other->Handle());
    }
    Disabled->Free();
    Other->Free();
    GuiTest::Drain();
}

TEST(BarOwnerForm, TheFormLosingTheActivationClosesItsMenus) {
    TMenuForm Form;
    Form.Click(Form.ScreenPoint(Form.Menu(), 1));
    ASSERT_NE(Form.OpenMenu(1), nullptr);
    SendMessage(Form.FormWindow(), WM_ACTIVATEAPP, FALSE, 0);
    GuiTest::Drain();
    EXPECT_EQ(Form.OpenMenu(1), nullptr);
    EXPECT_EQ(ActiveBarControl(), nullptr);
    // Another form taking the activation closes them too.
    Form.Click(Form.ScreenPoint(Form.Menu(), 0));
    ASSERT_NE(Form.OpenMenu(0), nullptr);
    TForm* Other = CreateForm<TForm>(nullptr);
    Other->SetBounds(400, 300, 200, 100);
    Other->Show();
    GuiTest::Drain();
    EXPECT_EQ(Form.OpenMenu(0), nullptr);
    EXPECT_EQ(Form.Manager()->KeyboardModeBar(), nullptr);
    Other->Free();
}

// ---- the system menu ----------------------------------------------------------------------------

TEST(BarSystemMenu, TheItemMakesItsLinksFromTheFormsSystemMenu) {
    TBarsForm Bars;
    const HMENU System = CreatePopupMenu();
    const HMENU Size = CreatePopupMenu();
    AppendMenu(Size, MF_STRING, 0x7001, "&Klein");
    AppendMenu(System, MF_STRING, 0x7002, "&Wiederherstellen");
    AppendMenu(System, MF_STRING | MF_GRAYED, 0x7003, "&Verschieben");
    AppendMenu(System, MF_STRING | MF_CHECKED, 0x7004, "&Oben");
    AppendMenu(System, MF_POPUP, Size,
               "&Gr\xF6\xDF"
               "e");
    AppendMenu(System, MF_SEPARATOR, 0, nullptr);
    AppendMenu(System, MF_STRING, 0x7005,
               "&Schlie\xDF"
               "en\tAlt+F4");
    auto* Item = new TSystemMenuSubItem(Bars.Form());
    Item->SetForm(Bars.Form());
    Item->SetSystemMenu(System);
    Item->DoClick();  // what opening its submenu does
    TdxBarItemLinks* Links = Item->ItemLinks();
    ASSERT_EQ(Links->Count(), 5);
    auto Button = [&](int I) { return dynamic_cast<TdxBarButton*>(Links->Items(I)->Item()); };
    EXPECT_EQ(Button(0)->Caption(), "&Wiederherstellen");
    EXPECT_FALSE(Button(1)->Enabled());
    EXPECT_EQ(Button(2)->ButtonStyle(), bsChecked);
    EXPECT_TRUE(Button(2)->Down());
    auto* Sub = dynamic_cast<TdxBarSubItem*>(Links->Items(3)->Item());
    ASSERT_NE(Sub, nullptr);
    ASSERT_EQ(Sub->ItemLinks()->Count(), 1);
    EXPECT_EQ(Sub->ItemLinks()->Items(0)->Item()->Caption(), "&Klein");
    EXPECT_TRUE(Links->Items(4)->OwnBeginGroup());
    EXPECT_EQ(Button(4)->Caption(),
              "&Schlie\xDF"
              "en");
    EXPECT_EQ(Button(4)->ShortCut(), ShortCut(VK_F4, {ssAlt}));
    // A command sends its id to the form.
    std::vector<WPARAM> Commands;
    const HWND FormWindow = Bars.Form()->Handle();
    const HHOOK Hook = SetWindowsHookEx(WH_CALLWNDPROC, [&](int Code, WPARAM W, LPARAM L) {
        const auto* Info = reinterpret_cast<const CWPSTRUCT*>(L);
        if (Info->hwnd == FormWindow && Info->message == WM_SYSCOMMAND)
            Commands.push_back(Info->wParam);
        return CallNextHookEx(0, Code, W, L);
    });
    Button(0)->Click();
    UnhookWindowsHookEx(Hook);
    EXPECT_EQ(Commands, std::vector<WPARAM>{0x7002});
    // Every opening reads the menu again.
    DeleteMenu(System, 1, MF_BYPOSITION);
    Item->DoClick();
    EXPECT_EQ(Links->Count(), 4);
    Item->Free();
    DestroyMenu(System);
}

// The window commands of a system menu show pictures of their own, one for each command (as the
// caption buttons do); other entries show none.
TEST(BarSystemMenu, TheWindowCommandsShowTheirOwnPictures) {
    TBarsForm Bars;
    const HMENU System = CreatePopupMenu();
    AppendMenu(System, MF_STRING, SC_RESTORE, "&Wiederherstellen");
    AppendMenu(System, MF_STRING, SC_MINIMIZE, "Mi&nimieren");
    AppendMenu(System, MF_STRING, SC_MAXIMIZE, "Ma&ximieren");
    AppendMenu(System, MF_STRING, 0x7004, "&Oben");
    AppendMenu(System, MF_SEPARATOR, 0, nullptr);
    AppendMenu(System, MF_STRING, SC_CLOSE,
               "&Schlie\xDF"
               "en\tAlt+F4");
    auto* Item = new TSystemMenuSubItem(Bars.Form());
    Item->SetForm(Bars.Form());
    Item->SetSystemMenu(System);
    Item->DoClick();
    TdxBarItemLinks* Links = Item->ItemLinks();
    ASSERT_EQ(Links->Count(), 5);
    std::vector<QImage> Pictures;
    for (int I : {0, 1, 2, 4}) {
        SCOPED_TRACE(I);
        TBitmap* Glyph = Links->Items(I)->Item()->Glyph();
        ASSERT_FALSE(Glyph->Empty());
        const QImage Picture = Glyph->Image().convertToFormat(QImage::Format_RGB32);
        // Drawn, not a blank square: some pixel differs from the corner's background.
        bool Drawn = false;
        for (int Y = 0; Y < Picture.height(); ++Y)
            for (int X = 0; X < Picture.width(); ++X)
                Drawn = Drawn || Picture.pixel(X, Y) != Picture.pixel(0, Picture.height() - 1);
        EXPECT_TRUE(Drawn);
        for (const QImage& Other : Pictures) EXPECT_NE(Picture, Other);
        Pictures.push_back(Picture);
    }
    EXPECT_TRUE(Links->Items(3)->Item()->Glyph()->Empty());
    Item->Free();
    DestroyMenu(System);
}

TEST(BarMDI, AnMDIChildsMainMenuMergesIntoTheFramesAndGoesBack) {
    TBarsForm Frame = TBarsForm::FromDefinition("TFormMain");
    TBarsForm Child;
    TdxBar* ChildMain =
        Child.NewBar("Child Menu", {Child.NewItem("&Datei"), Child.NewItem("&Ansicht")});
    ChildMain->SetIsMainMenu(true);
    ChildMain->SetVisible(true);
    TdxBarManager* Manager = Frame.Manager();
    Manager->AlwaysMerge = true;
    TdxBarItemLinks* FrameMain = Manager->MainMenuBar()->ItemLinks();
    ASSERT_EQ(FrameMain->Count(), 4);
    MergeMDIChild(Manager, Child.Form(), true, false);
    ASSERT_EQ(FrameMain->Count(), 6);
    EXPECT_EQ(FrameMain->Items(5)->Item()->Caption(), "&Ansicht");
    EXPECT_FALSE(ChildMain->Visible());
    MergeMDIChild(Manager, Child.Form(), false, false);
    EXPECT_EQ(FrameMain->Count(), 4);
    EXPECT_FALSE(ChildMain->Visible());  // always merged: the child's own bar stays hidden
    // Without AlwaysMerge a child that is not maximized merges nothing, and its bar comes back.
    Manager->AlwaysMerge = false;
    MergeMDIChild(Manager, Child.Form(), true, false);
    EXPECT_EQ(FrameMain->Count(), 4);
    MergeMDIChild(Manager, Child.Form(), false, false);
    EXPECT_TRUE(ChildMain->Visible());
    // Forms here have no MDI client: a frame never has an active child to merge.
    EXPECT_EQ(ActiveMDIChild(Frame.Form()), HWND(0));
    MDIChildChanged(Manager);
    EXPECT_EQ(FrameMain->Count(), 4);
}

}  // namespace

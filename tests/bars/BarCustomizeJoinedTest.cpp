// The customizing pieces together: the dialog opened from the toolbars popup and a dock site,
// commands dragged from its list onto the main window's toolbar, and the main window's bars worked
// on by the mouse while the dialog keeps their form disabled.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "bars/customize/dxBarCustomizingPopup.h"
#include "bars/windows/dxBarEditControls.h"
#include "bars/windows/dxBarToolbarsPopup.h"
#include "platform/widgets/StdCtrls.h"
#include "tests/bars/CustomizeTestSupport.h"

namespace {

using namespace BarTest;

int LinksOf(TdxBarItemLinks* Links, TdxBarItem* Item) {
    int Count = 0;
    for (int I = 0; I < Links->Count(); ++I) Count += Links->Items(I)->Item() == Item;
    return Count;
}

TEST_F(Customize, CustomizeInTheToolbarsPopupOpensTheDialogOverDisabledForms) {
    const POINT At = Bars.ScreenPoint(Bars.Toolbar(), 0);
    GuiTest::MousePress(TMenuForm::Via(At), At, Qt::RightButton);
    GuiTest::Drain();
    GuiTest::MouseRelease(TMenuForm::Via(At), At, Qt::RightButton);
    GuiTest::Drain();
    auto* Popup = dynamic_cast<TdxBarToolbarsPopup*>(ActiveBarControl());
    ASSERT_NE(Popup, nullptr);
    const int Last = Popup->ItemLinks()->Count() - 1;
    ASSERT_EQ(Popup->ItemLinks()->Items(Last)->Item()->Caption(), "&Customize...");
    Bars.Click(TMenuForm::EntryPoint(Popup, Last));
    ASSERT_NE(GetCustomizingForm(), nullptr);
    EXPECT_TRUE(Manager()->IsCustomizing());
    EXPECT_FALSE(IsWindowEnabled(Bars.FormWindow()));
    ShowCustomizingForm(Manager(), false);
    GuiTest::Drain();
    EXPECT_TRUE(IsWindowEnabled(Bars.FormWindow()));
    EXPECT_FALSE(Manager()->IsCustomizing());
}

// A double click on a dock site opens the dialog, unless the manager may not customize.
TEST_F(Customize, ADoubleClickOnADockSiteOpensTheDialog) {
    TdxBarControl* Window = Bars.Toolbar()->Control();
    const POINT Site =
        GuiTest::ScreenOf(Manager()->Bars()->DockControls(dsTop)->Handle(),
                          POINT{Window->Left() + Window->Width() + 30, Window->Top() + 5});
    Manager()->CanCustomize = false;
    GuiTest::MouseDoubleClick(TMenuForm::Via(Site), Site);
    GuiTest::Drain();
    EXPECT_EQ(GetCustomizingForm(), nullptr);
    Manager()->CanCustomize = true;
    GuiTest::MouseDoubleClick(TMenuForm::Via(Site), Site);
    GuiTest::Drain();
    EXPECT_NE(GetCustomizingForm(), nullptr);
    EXPECT_TRUE(Manager()->IsCustomizing());
}

// A command pressed in the dialog's list and moved out of the drag rectangle is dragged: dropped
// on the toolbar it gets a link there; Esc on the way adds nothing.
TEST_F(Customize, ACommandDraggedOntoTheToolbarGetsALinkThereUnlessEscCancels) {
    for (const bool Cancel : {false, true}) {
        SCOPED_TRACE(Cancel ? "Esc" : "drop");
        TdxBarCustomizingForm* D = Open();
        ASSERT_NE(D, nullptr);
        D->PageControl->SetActivePage(D->TabSheet2);
        GuiTest::Drain();
        auto* Commands = D->CommandsListBox();
        ASSERT_GT(Commands->Items()->Count(), 1);
        TdxBarItemLinks* Links = Bars.Toolbar()->ItemLinks();
        const int Before = Links->Count();
        const HWND Dialog = D->Handle();
        const auto At = [&](int X, int Y) {
            const TPoint P = Commands->ClientToScreen(TPoint{X, Y});
            return POINT{P.X, P.Y};
        };
        GuiTest::MousePress(Dialog, At(40, 33));
        GuiTest::Drain();
        TdxBarItem* Dragged = Commands->Item(Commands->ItemIndex());
        ASSERT_NE(Dragged, nullptr);
        const int LinksBefore = LinksOf(Links, Dragged);
        TdxBarItemLink* Target = Links->Items(Links->Count() - 1);
        const TRect R = Target->ItemRect();
        const POINT Drop = GuiTest::ScreenOf(Target->Links()->BarControl()->Handle(),
                                             POINT{R.Right - 3, (R.Top + R.Bottom) / 2});
        GuiTest::TScript Script;
        Script.Then([&] { GuiTest::MouseMove(Dialog, At(60, 60)); });
        Script.ThenWhen([&] { return Manager()->Dragging(); },
                        [&] { GuiTest::MouseMove(Dialog, Drop); });
        Script.Then([&] {
            if (Cancel)
                QTest::keyClick(GuiTest::QtWindowOf(Dialog), Qt::Key_Escape);
            else
                GuiTest::MouseRelease(Dialog, Drop);
        });
        Script.Start();
        ASSERT_TRUE(PumpUntil([&] { return Script.Done() && !Manager()->Dragging(); }));
        GuiTest::Drain();
        if (Cancel) GuiTest::MouseRelease(Dialog, Drop);
        GuiTest::Drain();
        EXPECT_EQ(Links->Count(), Before + (Cancel ? 0 : 1));
        EXPECT_EQ(LinksOf(Links, Dragged), LinksBefore + (Cancel ? 0 : 1));
        ShowCustomizingForm(Manager(), false);
        GuiTest::Drain();
    }
}

// ---- the docked bars while the dialog is open ---------------------------------------------------

// The captions of a bar's links, a "|" before each link that begins a group.
std::string Captions(TdxBar* Bar) {
    std::string Out;
    TdxBarItemLinks* Links = Bar->ItemLinks();
    for (int I = 0; I < Links->Count(); ++I) {
        if (I > 0) Out += Links->Items(I)->OwnBeginGroup() ? " | " : " ";
        Out += Links->Items(I)->Caption();
    }
    return Out;
}

// The dialog as a user opens it: "&Customize..." of the toolbar's popup. The bars are then
// worked on by the mouse over their disabled form, as the desktop delivers it.
struct TDialogWalk {
    TMenuForm& Bars;
    TdxBarManager* Manager() const { return Bars.Manager(); }
    void OpenFromToolbarsPopup() {
        RightClick(Bars.ScreenPoint(Bars.Toolbar(), 0));
        auto* Popup = dynamic_cast<TdxBarToolbarsPopup*>(ActiveBarControl());
        ASSERT_NE(Popup, nullptr);
        Bars.Click(TMenuForm::EntryPoint(Popup, Popup->ItemLinks()->Count() - 1));
        ASSERT_NE(GetCustomizingForm(), nullptr);
        ASSERT_FALSE(IsWindowEnabled(Bars.FormWindow()));
        ASSERT_EQ(GetActiveWindow(), GetCustomizingForm()->Handle());
    }
    void RightClick(POINT At) const {
        GuiTest::MousePress(TMenuForm::Via(At), At, Qt::RightButton);
        GuiTest::Drain();
        GuiTest::MouseRelease(TMenuForm::Via(At), At, Qt::RightButton);
        GuiTest::Drain();
    }
    // Presses on a link, leaves the drag rectangle and lets go at To: each step once the bar
    // (then the drag loop) has taken the one before.
    void Drag(TdxBarItemLink* Link, POINT To) {
        const POINT From = TMenuForm::Middle(Link);
        const HWND Via = Bars.FormWindow();
        const HWND Window = Link->Links()->BarControl()->Handle();
        GuiTest::TScript Script;
        Script.Then([&] {
            GuiTest::MouseMove(Via, From);
            GuiTest::MousePress(Via, From);
        });
        AddLoopSteps(Script,
                     {{[&] { return GetCapture() == Window; },
                       [&] {
                           GuiTest::MouseMove(Via, POINT{From.x + 12, From.y + 12});
                       }},
                      {[&] { return Manager()->Dragging(); }, [&] { GuiTest::MouseMove(Via, To); }},
                      {[] { return true; }, [&] { GuiTest::MouseRelease(Via, To); }}});
        Script.Start();
        ASSERT_TRUE(PumpUntil([&] { return Script.Done() && !Manager()->Dragging(); }));
        GuiTest::Drain();
    }
    // A point Fraction of the way along a link of the toolbar.
    POINT Along(int Index, double Fraction) const {
        TdxBarItemLink* Link = Bars.Link(Bars.Toolbar(), Index);
        const TRect R = Link->ItemRect();
        return GuiTest::ScreenOf(Bars.Toolbar()->Control()->Handle(),
                                 POINT{R.Left + int(R.Width() * Fraction), (R.Top + R.Bottom) / 2});
    }
    // Renames a link of the toolbar through the "&Name:" entry of its item menu.
    void Rename(int Index, const std::string& Name) {
        RightClick(TMenuForm::Middle(Bars.Link(Bars.Toolbar(), Index)));
        TdxBarCustomizingPopup* Popup = ShownCustomizingPopup();
        ASSERT_NE(Popup, nullptr);
        Bars.Click(TMenuForm::EntryPoint(Popup, ceName));
        auto* Edit = dynamic_cast<TdxBarEditControl*>(Popup->ItemLinks()->Items(ceName)->Control());
        ASSERT_NE(Edit, nullptr);
        ASSERT_TRUE(Edit->Focused());
        QWindow* Keys = GuiTest::QtWindowOf(GetCustomizingForm()->Handle());
        for (char C : Name) {
            QTest::keyClick(Keys, C);
            GuiTest::Drain();
        }
        QTest::keyClick(Keys, Qt::Key_Return);
        GuiTest::Drain();
    }
};

// A right click on a button opens its item menu, a press and a move drag it, a click on a main
// menu item opens its menu: the form is disabled, the bar under the pointer takes the mouse.
TEST_F(Customize, TheDockedBarsTakeTheMouseWhileTheDialogDisablesTheirForm) {
    TDialogWalk Walk{Bars};
    Walk.OpenFromToolbarsPopup();
    TdxBarItemLink* Button = Bars.Link(Bars.Toolbar(), 2);
    Walk.RightClick(TMenuForm::Middle(Button));
    EXPECT_NE(ShownCustomizingPopup(), nullptr);
    EXPECT_EQ(CurrentCustomizingLink(), Button);
    EXPECT_EQ(Manager()->CustomizingSelection(), Button->Control());
    // The dialog stays the active window over the bars.
    EXPECT_EQ(GetActiveWindow(), GetCustomizingForm()->Handle());
    // A press elsewhere on the bars closes the item menu (it opened right of the pointer).
    Bars.Click(TMenuForm::Middle(Bars.Link(Bars.Toolbar(), 0)));
    EXPECT_EQ(ShownCustomizingPopup(), nullptr);

    Bars.Click(TMenuForm::Middle(Bars.MenuLink(1)));
    EXPECT_NE(Bars.OpenMenu(1), nullptr);
    Bars.Click(TMenuForm::Middle(Bars.MenuLink(1)));

    Walk.Drag(Bars.Link(Bars.Toolbar(), 0), Walk.Along(3, 0.9));
    EXPECT_EQ(Bars.Link(Bars.Toolbar(), 3)->Caption(), "&Laden...");
}

// Without the dialog's customizing the disabled form's bars stay deaf: a modal window of the
// program over the main window takes no detour through its bars.
TEST_F(Customize, ADisabledFormsBarsStayDeafOutsideCustomizing) {
    TDialogWalk Walk{Bars};
    EnableWindow(Bars.FormWindow(), FALSE);
    Walk.RightClick(Bars.ScreenPoint(Bars.Toolbar(), 0));
    EXPECT_EQ(ActiveBarControl(), nullptr);
    Bars.Click(TMenuForm::Middle(Bars.MenuLink(1)));
    EXPECT_EQ(Bars.OpenMenu(1), nullptr);
    EnableWindow(Bars.FormWindow(), TRUE);
}

// The walk of a new user: the dialog from the toolbar's popup, then on the docked toolbar a
// button moved, one dragged off and one renamed through its item menu; closed and started again
// (the layout goes through the registry, as the program's manager stores it), the toolbar is as
// it was left.
TEST(CustomizeWalk, WorkOnTheDockedToolbarSurvivesARestart) {
    InitStandardControls();
    TServices Services;
    char Template[] = "/tmp/kestro-custwalk-XXXXXX";
    const std::string Dir = mkdtemp(Template);
    setenv("KESTRO_REGISTRY_DIR", Dir.c_str(), 1);
    // The toolbar: Laden, Konfiguration | Start MultiStart | News bestellen | Ende.
    const std::string Left = "&Start Viele &Konfiguration... | News &bestellen... | &Ende";
    {
        TMenuForm Program;
        // As the program's manager: the layout is saved when the form goes.
        Program.Manager()->StoreInRegistry = true;
        TDialogWalk Walk{Program};
        Walk.OpenFromToolbarsPopup();
        Walk.Drag(Program.Link(Program.Toolbar(), 1), Walk.Along(3, 0.9));
        EXPECT_EQ(Captions(Program.Toolbar()),
                  "&Laden... | &Start &MultiStart &Konfiguration... | News &bestellen... | &Ende");
        Walk.Drag(Program.Link(Program.Toolbar(), 0), Program.FormPoint());
        EXPECT_EQ(Captions(Program.Toolbar()),
                  "&Start &MultiStart &Konfiguration... | News &bestellen... | &Ende");
        Walk.Rename(1, "Viele");
        EXPECT_EQ(Captions(Program.Toolbar()), Left);
        ShowCustomizingForm(Program.Manager(), false);
        GuiTest::Drain();
    }
    {
        TMenuForm Again;
        Again.Manager()->LoadFromRegistry(Again.Manager()->RegistryPath);
        GuiTest::Drain();
        EXPECT_EQ(Captions(Again.Toolbar()), Left);
    }
    unsetenv("KESTRO_REGISTRY_DIR");
    std::filesystem::remove_all(Dir);
}

// The messages sent to one window while the object lives.
class TSentMessages {
  public:
    explicit TSentMessages(HWND Wnd) {
        FHook =
            SetWindowsHookEx(WH_CALLWNDPROC, [this, Wnd](int Code, WPARAM WParam, LPARAM LParam) {
                const auto* Info = reinterpret_cast<const CWPSTRUCT*>(LParam);
                if (Code >= 0 && Info && Info->hwnd == Wnd) FSeen.push_back(Info->message);
                return CallNextHookEx(FHook, Code, WParam, LParam);
            });
    }
    ~TSentMessages() { UnhookWindowsHookEx(FHook); }
    TSentMessages(const TSentMessages&) = delete;
    TSentMessages& operator=(const TSentMessages&) = delete;
    int Count(UINT Msg) const { return int(std::count(FSeen.begin(), FSeen.end(), Msg)); }

  private:
    HHOOK FHook = 0;
    std::vector<UINT> FSeen;
};

// The dialog goes with the form whose bars it customizes: hidden and shown with it, and handed
// the activation that the disabled form receives.
TEST_F(Customize, TheDialogIsHiddenShownAndActivatedWithItsForm) {
    TdxBarCustomizingForm* Dialog = Open();
    ASSERT_NE(Dialog, nullptr);
    ShowWindow(Bars.FormWindow(), SW_HIDE);
    GuiTest::Drain();
    EXPECT_FALSE(IsWindowVisible(Dialog->Handle()));
    ShowWindow(Bars.FormWindow(), SW_SHOW);
    GuiTest::Drain();
    EXPECT_TRUE(IsWindowVisible(Dialog->Handle()));
    {
        TSentMessages Sent(Dialog->Handle());
        SendMessage(Bars.FormWindow(), WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_EQ(Sent.Count(WM_ACTIVATE), 1);
        // A deactivation stays the form's own.
        SendMessage(Bars.FormWindow(), WM_ACTIVATE, WA_INACTIVE, 0);
        EXPECT_EQ(Sent.Count(WM_ACTIVATE), 1);
    }
    // Closed, the dialog no longer follows the form.
    ShowCustomizingForm(Manager(), false);
    GuiTest::Drain();
    ShowWindow(Bars.FormWindow(), SW_HIDE);
    ShowWindow(Bars.FormWindow(), SW_SHOW);
    GuiTest::Drain();
    EXPECT_EQ(GetCustomizingForm(), nullptr);
}

// The program losing the desktop takes the customizing selection away, also where no bar window
// is active to close.
TEST_F(Customize, LeavingTheProgramClearsTheCustomizingSelection) {
    TDialogWalk Walk{Bars};
    Walk.OpenFromToolbarsPopup();
    Walk.RightClick(TMenuForm::Middle(Bars.Link(Bars.Toolbar(), 1)));
    ASSERT_NE(ShownCustomizingPopup(), nullptr);
    Key(GetCustomizingForm(), Qt::Key_Escape);
    ASSERT_EQ(ActiveBarControl(), nullptr);
    ASSERT_EQ(Manager()->CustomizingSelection(), Bars.Link(Bars.Toolbar(), 1)->Control());
    SendMessage(Bars.FormWindow(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(Manager()->CustomizingSelection(), nullptr);
}

// What changes outside the open dialog shows in it at once: options set by the program, a bar
// renamed, a command freed (the list would otherwise keep showing a command that is gone).
TEST_F(Customize, AnOpenDialogShowsWhatChangesOutsideIt) {
    TdxBarCustomizingForm* D = Open();
    ASSERT_NE(D, nullptr);
    auto Box = [&](const char* Name) { return dynamic_cast<TCheckBox*>(D->FindComponent(Name)); };
    ASSERT_NE(Box("CBHint1Ex"), nullptr);
    ASSERT_TRUE(Box("CBHint1Ex")->Checked());
    Manager()->SetShowHint(false);
    EXPECT_FALSE(Box("CBHint1Ex")->Checked());
    EXPECT_FALSE(Box("CBHint2Ex")->Enabled());
    Manager()->SetMenusShowRecentItemsFirst(!Manager()->MenusShowRecentItemsFirst());
    EXPECT_EQ(Box("CBMenusShowRecentItemsFirst")->Checked(),
              Manager()->MenusShowRecentItemsFirst());

    Bars.Toolbar()->SetCaption("Werkzeuge");
    EXPECT_EQ(Entries(BarsList()), (std::vector<std::string>{"Main Menu", "Werkzeuge"}));

    D->PageControl->SetActivePage(D->TabSheet2);
    GuiTest::Drain();
    ClickControl(D->LCategories, TPoint{20, 4});
    auto* Commands = D->CommandsListBox();
    const int Before = Commands->Items()->Count();
    ASSERT_GT(Before, 1);
    TdxBarItem* Gone = Commands->Item(0);
    Gone->Free();
    ASSERT_EQ(Commands->Items()->Count(), Before - 1);
    for (int I = 0; I < Commands->Items()->Count(); ++I) EXPECT_NE(Commands->Item(I), Gone);
    GuiTest::Drain();
}

// The focus that reaches a bar while the dialog customizes goes on to the dialog, not to the
// disabled form: the keys stay with the dialog.
TEST_F(Customize, TheFocusOfABarGoesToTheDialogWhileCustomizing) {
    TDialogWalk Walk{Bars};
    Walk.OpenFromToolbarsPopup();
    const HWND Dialog = GetCustomizingForm()->Handle();
    SetFocus(Bars.Toolbar()->Control()->Handle());
    GuiTest::Drain();
    const HWND Focus = GetFocus();
    EXPECT_TRUE(Focus == Dialog || IsChild(Dialog, Focus));
    ShowCustomizingForm(Manager(), false);
    GuiTest::Drain();
    SetFocus(Bars.Toolbar()->Control()->Handle());
    EXPECT_EQ(GetFocus(), Bars.FormWindow());
}

}  // namespace

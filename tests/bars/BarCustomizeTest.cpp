// The customizing dialog and its name dialog, driven by input on the offscreen platform: opening
// disables every form with a manager and closing enables them again, the toolbars page makes,
// renames, deletes and shows or hides toolbars, the options reach the manager, and what the user
// cancels changes nothing.
#include <gtest/gtest.h>

#include "platform/forms/FormDefinitions.h"
#include "tests/bars/CustomizeTestSupport.h"

namespace {

using namespace BarTest;

TEST_F(Customize, OpeningDisablesEveryManagersFormAndClosingEnablesThemAgain) {
    TBarsForm Other;
    Other.Form()->SetBounds(700, 20, 200, 100);
    Other.Form()->Show();
    TBarsForm Disabled;
    Disabled.Form()->Show();
    EnableWindow(Disabled.Form()->Handle(), FALSE);
    GuiTest::Drain();
    std::vector<std::string> Events;
    Manager()->OnShowCustomizingForm = [&](TObject*) { Events.push_back("show"); };
    Manager()->OnHideCustomizingForm = [&](TObject*) { Events.push_back("hide"); };

    TdxBarCustomizingForm* Dialog = Open();
    ASSERT_NE(Dialog, nullptr);
    EXPECT_TRUE(Dialog->Visible());
    EXPECT_TRUE(Manager()->IsCustomizing());
    EXPECT_FALSE(IsWindowEnabled(Bars.FormWindow()));
    EXPECT_FALSE(IsWindowEnabled(Other.Form()->Handle()));
    EXPECT_TRUE(IsWindowEnabled(Dialog->Handle()));
    EXPECT_EQ(GetWindow(Dialog->Handle(), GW_OWNER), Bars.FormWindow());

    // A second show, also for another manager, keeps the one dialog.
    ShowCustomizingForm(Other.Manager(), true);
    ShowCustomizingForm(Manager(), true);
    EXPECT_EQ(GetCustomizingForm(), Dialog);
    EXPECT_FALSE(Other.Manager()->IsCustomizing());

    ClickControl(Dialog->BClose);
    EXPECT_EQ(GetCustomizingForm(), nullptr);
    EXPECT_FALSE(Manager()->IsCustomizing());
    EXPECT_TRUE(IsWindowEnabled(Bars.FormWindow()));
    EXPECT_TRUE(IsWindowEnabled(Other.Form()->Handle()));
    // Disabled before the dialog: not the dialog's to enable.
    EXPECT_FALSE(IsWindowEnabled(Disabled.Form()->Handle()));
    EXPECT_EQ(Events, (std::vector<std::string>{"show", "hide"}));
    GuiTest::Drain();
}

// Switching the manager's customizing mode is what opens and closes the dialog: code that turns
// customizing on gets the dialog to end it with, and turning it off does not leave a dialog over
// a form that stays disabled.
TEST_F(Customize, TheManagersCustomizingModeOpensAndClosesTheDialog) {
    std::vector<std::string> Events;
    Manager()->OnShowCustomizingForm = [&](TObject*) { Events.push_back("show"); };
    Manager()->OnHideCustomizingForm = [&](TObject*) { Events.push_back("hide"); };
    Manager()->Customizing(true);
    GuiTest::Drain();
    TdxBarCustomizingForm* Dialog = GetCustomizingForm();
    ASSERT_NE(Dialog, nullptr);
    EXPECT_EQ(Dialog->BarManager(), Manager());
    EXPECT_TRUE(Dialog->Visible());
    EXPECT_TRUE(Manager()->IsCustomizing());
    EXPECT_FALSE(IsWindowEnabled(Bars.FormWindow()));
    Manager()->Customizing(false);
    GuiTest::Drain();
    EXPECT_EQ(GetCustomizingForm(), nullptr);
    EXPECT_FALSE(Manager()->IsCustomizing());
    EXPECT_TRUE(IsWindowEnabled(Bars.FormWindow()));
    EXPECT_EQ(Events, (std::vector<std::string>{"show", "hide"}));
    // The mode alone leaves the form as it is.
    Manager()->CustomizingMode(true);
    EXPECT_TRUE(Manager()->IsCustomizing());
    EXPECT_EQ(GetCustomizingForm(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(Bars.FormWindow()));
    Manager()->Customizing(false);
    EXPECT_FALSE(Manager()->IsCustomizing());
}

TEST_F(Customize, EscClosesTheDialogAndAClosedDialogOpensAgain) {
    TdxBarCustomizingForm* Dialog = Open();
    ASSERT_NE(Dialog, nullptr);
    Key(Dialog, Qt::Key_Escape);
    EXPECT_EQ(GetCustomizingForm(), nullptr);
    EXPECT_FALSE(Manager()->IsCustomizing());
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(Manager()->IsCustomizing());
    ShowCustomizingForm(Manager(), false);
    EXPECT_EQ(GetCustomizingForm(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(Bars.FormWindow()));
}

TEST_F(Customize, OneDialogInTheProcessAndOnlyItsManagerCustomizes) {
    TBarsForm Other;
    Other.Form()->Show();
    TdxBarCustomizingForm* Dialog = Open();
    ASSERT_NE(Dialog, nullptr);
    // Another manager may not switch customizing on, nor close this manager's dialog.
    Other.Manager()->Customizing(true);
    EXPECT_FALSE(Other.Manager()->IsCustomizing());
    ShowCustomizingForm(Other.Manager(), false);
    EXPECT_EQ(GetCustomizingForm(), Dialog);
    EXPECT_FALSE(IsWindowEnabled(Other.Form()->Handle()));
    ShowCustomizingForm(Manager(), false);
    EXPECT_EQ(GetCustomizingForm(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(Other.Form()->Handle()));
    EXPECT_TRUE(IsWindowEnabled(Bars.FormWindow()));
}

TEST_F(Customize, TheWindowsCloseBoxClosesTheDialogToo) {
    TdxBarCustomizingForm* Dialog = Open();
    ASSERT_NE(Dialog, nullptr);
    SendMessage(Dialog->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    GuiTest::Drain();
    EXPECT_EQ(GetCustomizingForm(), nullptr);
    EXPECT_FALSE(Manager()->IsCustomizing());
    EXPECT_TRUE(IsWindowEnabled(Bars.FormWindow()));
}

TEST_F(Customize, TheActiveDialogKeepsTheOwnerFormsFloatingToolbarsShown) {
    Bars.Toolbar()->FloatLeft = 300;
    Bars.Toolbar()->FloatTop = 300;
    Bars.Toolbar()->SetDockingStyle(dsNone);
    GuiTest::Drain();
    const HWND Floating = Bars.Toolbar()->Control()->Handle();
    ASSERT_TRUE(IsWindowVisible(Floating));
    TdxBarCustomizingForm* Dialog = Open();
    ASSERT_NE(Dialog, nullptr);
    SetActiveWindow(Dialog->Handle());
    GuiTest::Drain();
    EXPECT_EQ(GetActiveWindow(), Dialog->Handle());
    EXPECT_TRUE(IsWindowVisible(Floating));
}

TEST_F(Customize, FreeingTheManagerClosesTheDialog) {
    auto Owner = std::make_unique<TBarsForm>();
    Owner->Form()->Show();
    ShowCustomizingForm(Owner->Manager(), true);
    ASSERT_NE(GetCustomizingForm(), nullptr);
    Owner->Manager()->Free();
    EXPECT_EQ(GetCustomizingForm(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(Bars.FormWindow()));
    GuiTest::Drain();
}

TEST_F(Customize, CaptionsComeFromTheFrameworksTexts) {
    TdxBarCustomizingForm* D = Open();
    ASSERT_NE(D, nullptr);
    const std::pair<TControl*, std::string> Cases[] = {
        {D, "Customize"},
        {D->TabSheet1, " Toolbars "},
        {D->TabSheet2, " Commands "},
        {D->TabSheet3, " Options "},
        {D->BClose, "Close"},
        {D->LabelToobars, "Toolb&ars:"},
        {D->BBarNew, "&New..."},
        {D->BBarRename, "R&ename..."},
        {D->BBarDelete, "&Delete"},
        {D->BBarReset, "&Reset..."},
        {D->LabelCategories, "Cate&gories:"},
        {D->LabelCommands, "Comman&ds:"},
        {D->LabelDescription, "Description  "},
        {D->BResetUsageData, "&Reset my usage data"},
    };
    for (const auto& [Control, Text] : Cases) EXPECT_EQ(Control->Caption(), Text);
    // The close button sits against the panel's right margin.
    EXPECT_EQ(D->BClose->Left() + D->BClose->Width(),
              D->Panel1->Width() - D->PanelCloseMargin->Width());
    EXPECT_FALSE(D->TabSheet4->TabVisible());
    EXPECT_FALSE(D->TabSheet5->TabVisible());
    EXPECT_FALSE(D->BHelp->Visible());
}

TEST_F(Customize, TheBarsListTogglesBarsThatMayBeHiddenAndBeepsForTheOthers) {
    Open();
    ASSERT_EQ(Entries(BarsList()), (std::vector<std::string>{"Main Menu", "Toolbar"}));
    TdxBar* Menu = Bars.Menu();
    TdxBar* Toolbar = Bars.Toolbar();
    // The main menu bar: in its check column, by a double click and by Space.
    ClickControl(BarsList(), EntryPoint(0, true));
    EXPECT_EQ(BarsList()->ItemIndex(), 0);
    const TPoint Text = BarsList()->ClientToScreen(EntryPoint(0, false));
    GuiTest::MouseDoubleClick(GetCustomizingForm()->Handle(), POINT{Text.X, Text.Y});
    GuiTest::Drain();
    Key(GetCustomizingForm(), Qt::Key_Space);
    EXPECT_TRUE(Menu->Visible());
    EXPECT_GE(Services.Sounds->Beeps.size(), 3u);
    for (UINT Beep : Services.Sounds->Beeps) EXPECT_EQ(Beep, 0u);

    // The toolbar: a click on its text only selects; the check column, Space toggle.
    Services.Sounds->Beeps.clear();
    ClickControl(BarsList(), EntryPoint(1, false));
    EXPECT_EQ(BarsList()->ItemIndex(), 1);
    EXPECT_TRUE(Toolbar->Visible());
    ClickControl(BarsList(), EntryPoint(1, true));
    EXPECT_FALSE(Toolbar->Visible());
    Key(GetCustomizingForm(), Qt::Key_Space);
    EXPECT_TRUE(Toolbar->Visible());
    Toolbar->SetAllowClose(false);
    Key(GetCustomizingForm(), Qt::Key_Space);
    EXPECT_TRUE(Toolbar->Visible());
    EXPECT_EQ(Services.Sounds->Beeps.size(), 1u);
}

TEST_F(Customize, BarsMarkedHiddenAreNotListed) {
    Bars.Toolbar()->Hidden = true;
    Open();
    EXPECT_EQ(Entries(BarsList()), std::vector<std::string>{"Main Menu"});
}

TEST_F(Customize, ALoadedToolbarCanBeResetButNotRenamedOrDeleted) {
    TdxBarCustomizingForm* D = Open();
    BarsList()->SetItemIndex(1);
    D->UpdateBarButtons();
    EXPECT_FALSE(D->BBarRename->Enabled());
    EXPECT_FALSE(D->BBarDelete->Enabled());
    EXPECT_TRUE(D->BBarReset->Enabled());
    EXPECT_TRUE(D->BBarReset->Visible());
    Bars.Toolbar()->AllowReset = false;
    D->UpdateBarButtons();
    EXPECT_FALSE(D->BBarReset->Enabled());
}

TEST_F(Customize, AManagerThatMayNotResetHidesTheResetButton) {
    Manager()->AllowReset = false;
    EXPECT_FALSE(Open()->BBarReset->Visible());
}

// The bar's own reset asks; the dialog asks nothing of its own, so the question comes once.
TEST_F(Customize, TheResetButtonAsksOnceAndOnOkTheBarIsBackToItsDesign) {
    // The design the bars go back to.
    Bars.Bars.Form()->SetDefinitionText(FindFormDefinition("TFormMain")->Text);
    TdxBarItemLinks* Links = Bars.Toolbar()->ItemLinks();
    const int Designed = Links->Count();
    delete Links->Items(0);
    GuiTest::Drain();
    ASSERT_EQ(Links->Count(), Designed - 1);
    TdxBarCustomizingForm* D = Open();
    BarsList()->SetItemIndex(1);
    D->UpdateBarButtons();
    D->PageControl->SetActivePage(D->TabSheet1);
    const std::string Question = "Are you sure you want to reset the changes made to the '" +
                                 Bars.Toolbar()->Caption() + "' toolbar?";
    Services.Boxes->QueueAnswer(IDCANCEL);
    ClickControl(D->BBarReset);
    EXPECT_EQ(Services.Texts(), std::vector<std::string>{Question});
    EXPECT_EQ(Links->Count(), Designed - 1);
    Services.Boxes->QueueAnswer(IDOK);
    ClickControl(D->BBarReset);
    EXPECT_EQ(Services.Texts(), (std::vector<std::string>{Question, Question}));
    EXPECT_EQ(Links->Count(), Designed);
}

TEST_F(Customize, NewMakesAFloatingToolbarOfTheFirstFreeCustomName) {
    TScreensGuard Screens({WholeScreen(1280, 1024)});
    Manager()->Bars()->Add()->SetCaption("Custom 1");
    TdxBarCustomizingForm* D = Open();
    D->SetBounds(400, 300, D->Width(), D->Height());
    std::string Proposed;
    WithNameDialog([&] { ClickControl(D->BBarNew); }, {[&] {
                       ASSERT_NE(NameDialog(), nullptr);
                       Proposed = NameDialog()->EName->Text();
                       EXPECT_EQ(NameDialog()->Caption(), "Custom ");
                       EXPECT_EQ(NameDialog()->LName->Caption(), "&Toolbar name:");
                       EXPECT_EQ(NameDialog()->BOK->Caption(), "OK");
                       EXPECT_EQ(NameDialog()->BCancel->Caption(), "Cancel");
                       Answer("Mine");
                   }});
    EXPECT_EQ(Proposed, "Custom 2");
    TdxBar* Made = Manager()->BarByCaption("Mine");
    ASSERT_NE(Made, nullptr);
    EXPECT_TRUE(Made->Visible());
    EXPECT_EQ(Made->DockingStyle(), dsNone);
    EXPECT_EQ(Made->FloatLeft, 350);
    EXPECT_EQ(Made->FloatTop, 300);
    EXPECT_EQ(BarsList()->Items()->Get(BarsList()->ItemIndex()), "Mine");
    EXPECT_TRUE(D->BBarRename->Enabled());
    EXPECT_TRUE(D->BBarDelete->Enabled());
    EXPECT_FALSE(D->BBarReset->Enabled());
}

TEST_F(Customize, ANewToolbarGoesRightOfADialogAtTheWorkAreasLeftEdge) {
    TScreensGuard Screens({TScreenInfo{RECT{0, 0, 1280, 1024}, RECT{0, 40, 1280, 1024}, true}});
    TdxBarCustomizingForm* D = Open();
    D->SetBounds(20, 10, D->Width(), D->Height());
    WithNameDialog([&] { D->NewBar(); }, {[&] { Answer("Left"); }});
    TdxBar* Made = Manager()->BarByCaption("Left");
    ASSERT_NE(Made, nullptr);
    EXPECT_EQ(Made->FloatLeft, 20 + D->Width() + 10);
    EXPECT_EQ(Made->FloatTop, 50);
}

TEST_F(Customize, CancelAndEscInTheNameDialogMakeNothing) {
    TdxBarCustomizingForm* D = Open();
    const int Count = Manager()->Bars()->Count();
    WithNameDialog([&] { D->NewBar(); }, {[&] { ClickControl(NameDialog()->BCancel); }});
    WithNameDialog([&] { D->NewBar(); }, {[&] {
                       NameDialog()->EName->SetText("Typed");
                       Key(NameDialog(), Qt::Key_Escape);
                   }});
    EXPECT_EQ(Manager()->Bars()->Count(), Count);
    EXPECT_EQ(BarsList()->Items()->Count(), Count);
    EXPECT_EQ(GetCustomizingForm(), D);
}

TEST_F(Customize, TheNameDialogRefusesBlankAndTakenNames) {
    TdxBarCustomizingForm* D = Open();
    bool EmptyRefused = false;
    std::string After;
    WithNameDialog([&] { D->NewBar(); }, {[&] {
                                              NameDialog()->EName->SetText("");
                                              EmptyRefused = !NameDialog()->BOK->Enabled();
                                              NameDialog()->EName->SetText("x");
                                              EXPECT_TRUE(NameDialog()->BOK->Enabled());
                                              Answer("   ");
                                          },
                                          [&] {
                                              ASSERT_NE(NameDialog(), nullptr);
                                              Answer("Toolbar");
                                          },
                                          [&] {
                                              ASSERT_NE(NameDialog(), nullptr);
                                              Answer("toolbar");
                                          }});
    EXPECT_TRUE(EmptyRefused);
    EXPECT_EQ(
        Services.Texts(),
        (std::vector<std::string>{"A command name cannot be blank. Please enter a name.",
                                  "A toolbar named 'Toolbar' already exists. Type another name."}));
    ASSERT_EQ(Services.Boxes->Asked().size(), 2u);
    EXPECT_EQ(Services.Boxes->Asked()[1].Flags, MB_OK | MB_ICONSTOP);
    // Captions are compared exactly: another case is another name.
    EXPECT_NE(Manager()->BarByCaption("toolbar"), nullptr);
}

TEST_F(Customize, RenameTakesANewNameAndAcceptsTheBarsOwn) {
    TdxBarCustomizingForm* D = Open();
    WithNameDialog([&] { D->NewBar(); }, {[&] { Answer("Mine"); }});
    TdxBar* Made = Manager()->BarByCaption("Mine");
    ASSERT_NE(Made, nullptr);
    WithNameDialog([&] { ClickControl(D->BBarRename); }, {[&] {
                       EXPECT_EQ(NameDialog()->Caption(), "Rename Toolbar");
                       EXPECT_EQ(NameDialog()->EName->Text(), "Mine");
                       Answer("Mine");
                   }});
    EXPECT_TRUE(Services.Texts().empty());
    WithNameDialog([&] { D->RenameBar(); },
                   {[&] { Answer("Main Menu"); }, [&] { Answer("Ours"); }});
    EXPECT_EQ(Made->Caption(), "Ours");
    EXPECT_EQ(BarsList()->Items()->Get(BarsList()->ItemIndex()), "Ours");
    EXPECT_EQ(Services.Texts().size(), 1u);
}

TEST_F(Customize, DeleteAsksAndOnOkRemovesTheBarAndSelectsTheNewLastEntry) {
    TdxBarCustomizingForm* D = Open();
    WithNameDialog([&] { D->NewBar(); }, {[&] { Answer("Mine"); }});
    const int Count = Manager()->Bars()->Count();
    Services.Boxes->QueueAnswer(IDCANCEL);
    ClickControl(D->BBarDelete);
    EXPECT_EQ(Manager()->Bars()->Count(), Count);
    ASSERT_EQ(Services.Texts(),
              std::vector<std::string>{"Are you sure you want to delete the 'Mine' toolbar?"});
    EXPECT_EQ(Services.Boxes->Asked()[0].Flags, MB_OKCANCEL | MB_ICONEXCLAMATION);

    Services.Boxes->QueueAnswer(IDOK);
    ClickControl(D->BBarDelete);
    EXPECT_EQ(Manager()->Bars()->Count(), Count - 1);
    EXPECT_EQ(Manager()->BarByCaption("Mine"), nullptr);
    EXPECT_EQ(Entries(BarsList()), (std::vector<std::string>{"Main Menu", "Toolbar"}));
    EXPECT_EQ(BarsList()->ItemIndex(), 1);
}

TEST_F(Customize, TheCommandsPageListsTheVisibleCategoriesAndTheirCommands) {
    Manager()->SetCategoryVisible(1, false);
    TdxBarCustomizingForm* D = Open();
    D->PageControl->SetActivePage(D->TabSheet2);
    GuiTest::Drain();
    TdxBarManagerCategories* Categories = Manager()->Categories();
    std::vector<std::string> Visible;
    for (int I = 0; I < Categories->Count(); ++I)
        if (I != 1) Visible.push_back(Categories->Get(I));
    EXPECT_EQ(Entries(D->LCategories), Visible);

    // The last visible category: its commands, and a command's description.
    const int Last = int(Visible.size()) - 1;
    ClickControl(D->LCategories, TPoint{20, D->LCategories->ItemRect(Last).Top + 4});
    std::vector<TdxBarItem*> Expected;
    Manager()->GetVisibleItemsByCategory(Manager()->GetRealCategoryIndex(Last), Expected);
    auto* Commands = D->CommandsListBox();
    ASSERT_EQ(Commands->Items()->Count(), int(Expected.size()));
    ASSERT_FALSE(Expected.empty());
    Expected[0]->SetDescription("What it does");
    ClickControl(Commands, TPoint{40, 11});
    EXPECT_EQ(Commands->Item(0), Expected[0]);
    EXPECT_EQ(D->DescriptionLabel->Caption(), "What it does");
    ClickControl(D->LCategories, TPoint{20, 4});
    EXPECT_EQ(D->DescriptionLabel->Caption(), "");
}

TEST_F(Customize, ALeftPressOnTheSelectedCommandDragsItOnceTheMouseLeavesTheDragRectangle) {
    TdxBarCustomizingForm* D = Open();
    D->PageControl->SetActivePage(D->TabSheet2);
    GuiTest::Drain();
    auto* Commands = D->CommandsListBox();
    ASSERT_GT(Commands->Items()->Count(), 1);
    std::vector<TdxBarItem*> Dragged;
    Commands->OnDragItem = [&](TdxBarItem* Item) { Dragged.push_back(Item); };
    const HWND Via = D->Handle();
    const auto At = [&](int X, int Y) {
        const TPoint P = Commands->ClientToScreen(TPoint{X, Y});
        return POINT{P.X, P.Y};
    };
    // A press that selects an entry, then a small move: no drag yet.
    GuiTest::MousePress(Via, At(40, 33));
    GuiTest::Drain();
    GuiTest::MouseMove(Via, At(41, 34));
    GuiTest::Drain();
    EXPECT_TRUE(Dragged.empty());
    GuiTest::MouseMove(Via, At(60, 60));
    GuiTest::Drain();
    GuiTest::MouseRelease(Via, At(60, 60));
    GuiTest::Drain();
    ASSERT_EQ(Dragged.size(), 1u);
    EXPECT_EQ(Dragged[0], Commands->Item(1));
    // Released without moving: nothing.
    GuiTest::MouseClick(Via, At(40, 11));
    GuiTest::Drain();
    EXPECT_EQ(Dragged.size(), 1u);
}

TEST_F(Customize, TheOptionsWriteTheManagersProperties) {
    // The options that depend on them are enabled.
    Manager()->SetShowHint(true);
    Manager()->SetMenusShowRecentItemsFirst(true);
    TdxBarCustomizingForm* D = Open();
    D->PageControl->SetActivePage(D->TabSheet3);
    GuiTest::Drain();
    EXPECT_TRUE(D->EnhancedOptionsPanel->Visible());
    EXPECT_FALSE(D->StandardOptionsPanel->Visible());
    struct TCase {
        const char* Check;
        bool (TdxBarManager::*Get)() const;
    };
    const TCase Cases[] = {
        {"CBLargeIconsEx", &TdxBarManager::LargeIcons},
        {"CBHint1Ex", &TdxBarManager::ShowHint},
        {"CBHint2Ex", &TdxBarManager::ShowShortCutInHint},
        {"CBMenusShowRecentItemsFirst", &TdxBarManager::MenusShowRecentItemsFirst},
        {"CBShowFullMenusAfterDelay", &TdxBarManager::ShowFullMenusAfterDelay},
    };
    for (const TCase& C : Cases) {
        auto* Check = dynamic_cast<TCheckBox*>(D->FindComponent(C.Check));
        ASSERT_NE(Check, nullptr) << C.Check;
        const bool Was = (Manager()->*C.Get)();
        EXPECT_EQ(Check->Checked(), Was) << C.Check;
        ClickControl(Check, TPoint{6, Check->Height() / 2});
        EXPECT_EQ((Manager()->*C.Get)(), !Was) << C.Check;
        ClickControl(Check, TPoint{6, Check->Height() / 2});
        EXPECT_EQ((Manager()->*C.Get)(), Was) << C.Check;
    }
    auto* Hint = dynamic_cast<TCheckBox*>(D->FindComponent("CBHint1Ex"));
    auto* ShortCuts = dynamic_cast<TCheckBox*>(D->FindComponent("CBHint2Ex"));
    auto* Recent = dynamic_cast<TCheckBox*>(D->FindComponent("CBMenusShowRecentItemsFirst"));
    auto* Full = dynamic_cast<TCheckBox*>(D->FindComponent("CBShowFullMenusAfterDelay"));
    EXPECT_TRUE(ShortCuts->Enabled());
    EXPECT_TRUE(Full->Enabled());
    ClickControl(Hint, TPoint{6, Hint->Height() / 2});
    ClickControl(Recent, TPoint{6, Recent->Height() / 2});
    EXPECT_FALSE(ShortCuts->Enabled());
    EXPECT_FALSE(Full->Enabled());

    auto* Animations = dynamic_cast<TComboBox*>(D->FindComponent("ComboBoxMenuAnimationsEx"));
    ASSERT_NE(Animations, nullptr);
    std::vector<std::string> Shown;
    for (int I = 0; I < Animations->Items()->Count(); ++I)
        Shown.push_back(Animations->Items()->Get(I));
    EXPECT_EQ(Shown, (std::vector<std::string>{"(None)", "Random", "Unfold", "Slide"}));
    Manager()->SetMenuAnimations(maUnfold);
    CustomizingFormUpdateOptions();
    EXPECT_EQ(Animations->ItemIndex(), 2);
    Animations->SetFocus();
    Key(D, Qt::Key_Down);
    EXPECT_EQ(Manager()->MenuAnimations(), maSlide);
}

TEST_F(Customize, TheStandardStyleShowsTheStandardPanelWithoutPersonalizedMenus) {
    Manager()->SetStyle(bmsStandard);
    TdxBarCustomizingForm* D = Open();
    D->PageControl->SetActivePage(D->TabSheet3);
    GuiTest::Drain();
    EXPECT_TRUE(D->StandardOptionsPanel->Visible());
    EXPECT_FALSE(D->EnhancedOptionsPanel->Visible());
    EXPECT_FALSE(D->BResetUsageData->IsVisibleOnScreen());
    auto* Large = dynamic_cast<TCheckBox*>(D->FindComponent("CBLargeIcons"));
    ASSERT_NE(Large, nullptr);
    ClickControl(Large, TPoint{6, Large->Height() / 2});
    EXPECT_TRUE(Manager()->LargeIcons());
    // The style changes while the dialog is open: the other panel shows.
    Manager()->SetStyle(bmsFlat);
    CustomizingFormUpdateAll();
    EXPECT_TRUE(D->EnhancedOptionsPanel->Visible());
    EXPECT_EQ(D->CommandsListBox()->Color(), clWindow);
}

// The program changing the manager while the dialog is open: the help button comes and goes and
// takes the new glyph; a new style shows its options panel, with its texts and working boxes.
TEST_F(Customize, TheHelpButtonAndTheStyleFollowTheManagerWhileTheDialogIsOpen) {
    TdxBarCustomizingForm* D = Open();
    EXPECT_FALSE(D->BHelp->Visible());
    Manager()->SetShowHelpButton(true);
    EXPECT_TRUE(D->BHelp->Visible());
    TBitmap Glyph(16, 15);
    Manager()->HelpButtonGlyph()->Assign(Glyph);
    EXPECT_EQ(D->BHelp->Glyph()->Width(), 16);
    EXPECT_EQ(D->BHelp->Glyph()->Height(), 15);
    Manager()->SetShowHelpButton(false);
    EXPECT_FALSE(D->BHelp->Visible());

    D->PageControl->SetActivePage(D->TabSheet3);
    GuiTest::Drain();
    ASSERT_TRUE(D->EnhancedOptionsPanel->Visible());
    Manager()->SetStyle(bmsStandard);
    GuiTest::Drain();
    EXPECT_TRUE(D->StandardOptionsPanel->Visible());
    EXPECT_FALSE(D->EnhancedOptionsPanel->Visible());
    EXPECT_EQ(D->CommandsListBox()->Color(), clBtnFace);
    auto* Large = dynamic_cast<TCheckBox*>(D->FindComponent("CBLargeIcons"));
    ASSERT_NE(Large, nullptr);
    EXPECT_EQ(Large->Caption(), "&Large icons");
    EXPECT_EQ(Large->Checked(), Manager()->LargeIcons());
    ClickControl(Large, TPoint{6, Large->Height() / 2});
    EXPECT_TRUE(Manager()->LargeIcons());
    auto* Animations = dynamic_cast<TComboBox*>(D->FindComponent("ComboBoxMenuAnimations"));
    ASSERT_NE(Animations, nullptr);
    ASSERT_EQ(Animations->Items()->Count(), 4);
    EXPECT_EQ(Animations->Items()->Get(3), "Slide");
    Manager()->SetStyle(bmsFlat);
    EXPECT_TRUE(D->EnhancedOptionsPanel->Visible());
    EXPECT_FALSE(D->StandardOptionsPanel->Visible());
    EXPECT_EQ(D->CommandsListBox()->Color(), clWindow);
}

// Bars the program changes or frees while the dialog is open: whether one may be deleted follows
// AllowClose and the main menu, and a freed bar leaves the list at once (its entry would be read
// when the list paints).
TEST_F(Customize, TheBarsListFollowsBarsTheProgramChangesOrFrees) {
    TdxBarCustomizingForm* D = Open();
    WithNameDialog([&] { D->NewBar(); }, {[&] { Answer("Mine"); }});
    TdxBar* Mine = Manager()->BarByCaption("Mine");
    ASSERT_NE(Mine, nullptr);
    ASSERT_TRUE(D->BBarDelete->Enabled());
    Mine->SetAllowClose(false);
    EXPECT_FALSE(D->BBarDelete->Enabled());
    Mine->SetAllowClose(true);
    EXPECT_TRUE(D->BBarDelete->Enabled());
    Mine->SetIsMainMenu(true);
    EXPECT_FALSE(D->BBarDelete->Enabled());
    Bars.Menu()->SetIsMainMenu(true);
    EXPECT_TRUE(D->BBarDelete->Enabled());

    delete Mine;
    EXPECT_EQ(Entries(BarsList()), (std::vector<std::string>{"Main Menu", "Toolbar"}));
    EXPECT_EQ(BarsList()->ItemIndex(), 1);
    EXPECT_FALSE(D->BBarDelete->Enabled());
    D->Repaint();
    GuiTest::Drain();
}

TEST_F(Customize, EachModeOfTheNameDialogHasItsCaptionsAndCategoryNamesAreNotChecked) {
    struct TCase {
        TdxBarNameMode Mode;
        const char* Caption;
        const char* Label;
        bool IsCategory;
    };
    const TCase Cases[] = {
        {TdxBarNameMode::CategoryAdd, "Add Category", "&Category name:", true},
        {TdxBarNameMode::CategoryInsert, "Insert Category", "&Category name:", true},
        {TdxBarNameMode::CategoryRename, "Rename Category", "&Category name:", true},
        {TdxBarNameMode::ToolbarNew, "Custom ", "&Toolbar name:", false},
        {TdxBarNameMode::ToolbarRename, "Rename Toolbar", "&Toolbar name:", false},
    };
    for (const TCase& C : Cases) {
        // A name that a bar has as its caption.
        std::string Name = "Toolbar";
        bool Confirmed = false;
        std::vector<std::function<void()>> Steps{[&] {
            ASSERT_NE(NameDialog(), nullptr);
            EXPECT_EQ(NameDialog()->Caption(), C.Caption);
            EXPECT_EQ(NameDialog()->LName->Caption(), C.Label);
            EXPECT_EQ(NameDialog()->EName->Text(), "Toolbar");
            ClickControl(NameDialog()->BOK);
        }};
        // A toolbar's name is refused and the dialog stays: cancel it.
        if (!C.IsCategory) Steps.push_back([&] { ClickControl(NameDialog()->BCancel); });
        WithNameDialog([&] { Confirmed = ShowNameDialog(Name, C.Mode, nullptr, Manager()); },
                       std::move(Steps));
        EXPECT_EQ(Confirmed, C.IsCategory) << C.Caption;
    }
    EXPECT_EQ(Services.Texts().size(), 2u);
}

}  // namespace

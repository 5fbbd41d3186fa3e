// The bar manager's model without windows: the main window's definition, defaults and clamps,
// categories, groups, items, links with their usage record, accelerators and shortcuts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "bars/dxBar.h"
#include "bars/model/Limits.h"
#include "platform/classes/Mnemonics.h"
#include "platform/core/Input.h"
#include "platform/registry/Registry.h"
#include "tests/bars/BarTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

// ---- the main window's definition ----------------------------------------------------------

TEST(MainWindowBars, LoadFromTheWindowsDefinition) {
    TBarsForm Form = TBarsForm::FromDefinition("TFormMain");
    TdxBarManager* M = Form.Manager();
    ASSERT_NE(M, nullptr);
    EXPECT_EQ(M->Style(), bmsFlat);
    EXPECT_TRUE(M->UseSystemFont());
    EXPECT_TRUE(M->UseFullReset);
    EXPECT_TRUE(M->ShowShortCutInHint());
    EXPECT_EQ(M->MostRecentItemsPercents(), 100);
    EXPECT_FALSE(M->MenusShowRecentItemsFirst());
    EXPECT_FALSE(M->StoreInRegistry);
    EXPECT_FALSE(M->StoreInIniFile);
    ASSERT_EQ(M->Bars()->Count(), 2);
    TdxBar* Menu = M->Bars()->Items(0);
    TdxBar* Toolbar = M->Bars()->Items(1);
    EXPECT_EQ(Menu->Caption(), "Main Menu");
    EXPECT_TRUE(Menu->IsMainMenu());
    EXPECT_EQ(M->MainMenuBar(), Menu);
    EXPECT_TRUE(Menu->MultiLine());
    EXPECT_TRUE(Menu->WholeRow());
    EXPECT_TRUE(Menu->OneOnRow);
    EXPECT_EQ(Menu->Row(), 0);
    EXPECT_EQ(Menu->DockingStyle(), dsTop);
    EXPECT_TRUE(Menu->Visible());
    EXPECT_EQ(Toolbar->Caption(), "Toolbar");
    EXPECT_EQ(Toolbar->Row(), 1);
    EXPECT_TRUE(Toolbar->Visible());
    // The menu bar's four submenus and what they hold, separators as the links' BeginGroup.
    const std::vector<std::pair<std::string, std::vector<std::string>>> Menus = {
        {"K&estro", {"ButtonOptionen", "dxBarManagerxBarButton1", "|BarButtonExit"}},
        {"&Konfiguration",
         {"Neu1", "LoadConfig", "Editieren1", "BarButtonOrderNews", "SaveConfig", "SaveConfigAs"}},
        {"&Online", {"BarButtonStart", "BarButtonMultiStart", "|Telnet1"}},
        {"&Hilfe", {"ber1"}},
    };
    ASSERT_EQ(Menu->ItemLinks()->Count(), 4);
    for (int I = 0; I < 4; ++I) {
        auto* Sub = dynamic_cast<TdxBarSubItem*>(Menu->ItemLinks()->Items(I)->Item());
        ASSERT_NE(Sub, nullptr);
        EXPECT_EQ(Sub->Caption(), Menus[size_t(I)].first);
        const auto& Names = Menus[size_t(I)].second;
        ASSERT_EQ(Sub->ItemLinks()->Count(), int(Names.size()));
        for (size_t K = 0; K < Names.size(); ++K) {
            TdxBarItemLink* Link = Sub->ItemLinks()->Items(int(K));
            const bool Group = Names[K][0] == '|';
            EXPECT_EQ(Link->Item()->Name(), Group ? Names[K].substr(1) : Names[K]);
            EXPECT_EQ(Link->BeginGroup(), Group) << Names[K];
        }
    }
    const std::vector<std::string> Tools = {"LoadConfig",         "Editieren1",
                                            "BarButtonStart",     "BarButtonMultiStart",
                                            "BarButtonOrderNews", "BarButtonExit"};
    ASSERT_EQ(Toolbar->ItemLinks()->VisibleItemCount(), 6);
    for (int I = 0; I < 6; ++I)
        EXPECT_EQ(Toolbar->ItemLinks()->VisibleItems(I)->Item()->Name(), Tools[size_t(I)]);
    int Buttons = 0, SubItems = 0;
    for (int I = 0; I < M->ItemCount(); ++I) {
        if (dynamic_cast<TdxBarButton*>(M->Items(I))) ++Buttons;
        if (dynamic_cast<TdxBarSubItem*>(M->Items(I))) ++SubItems;
    }
    EXPECT_EQ(Buttons, 13);
    EXPECT_EQ(SubItems, 4);
    EXPECT_EQ(M->Categories()->Count(), 6);
    EXPECT_EQ(M->Categories()->Strings(0), "Konfiguration");
    EXPECT_EQ(M->DockControlHeights(), (std::vector<int>{0, 0, 49, 0}));
}

TEST(MainWindowBars, CommandsCarryTheirShortcutsAndHints) {
    TBarsForm Form = TBarsForm::FromDefinition("TFormMain");
    struct TCommand {
        const char* Name;
        const char* Caption;
        const char* ShortCut;
        const char* Hint;
    };
    const TCommand kCommands[] = {
        {"Editieren1", "&Konfiguration...", "F3", "Konfiguration bearbeiten"},
        {"BarButtonStart", "&Start", "F7", "Start"},
        {"BarButtonMultiStart", "&MultiStart", "F8", "MultiStart"},
        {"ButtonOptionen", "&Optionen...", "F5", "Optionen"},
        {"dxBarManagerxBarButton1", "&Wizard...", "F6", "Wizard"},
        {"BarButtonExit", "&Ende", "Alt+X", "Ende"},
        {"SaveConfigAs", "Speichern &unter...", "", ""},
        {"ber1",
         "\xDC"
         "ber...",
         "",
         "\xDC"
         "ber"},
    };
    for (const TCommand& C : kCommands) {
        TdxBarButton* Button = Form.Button(C.Name);
        ASSERT_NE(Button, nullptr) << C.Name;
        EXPECT_EQ(Button->Caption(), C.Caption);
        EXPECT_EQ(ShortCutToText(Button->ShortCut()), C.ShortCut);
        EXPECT_EQ(Button->Hint(), C.Hint);
    }
}

// ---- the manager ---------------------------------------------------------------------------

TEST(BarManager, RefusesOwnersThatAreNoFormAndASecondManager) {
    TBarsForm Bars;
    EXPECT_EQ(ErrorOf<EdxBarError>([&] { new TdxBarManager(Bars.Form()); }),
              "A Form should contain only a single TdxBarManager");
    TComponent Plain(nullptr);
    EXPECT_EQ(ErrorOf<EdxBarError>([&] { new TdxBarManager(&Plain); }),
              "TdxBarManager should have as its Owner - TForm (TCustomForm)");
    EXPECT_EQ(Plain.ComponentCount(), 0);
    EXPECT_EQ(TdxBarManagerList::Instance().Count(), 1);
}

TEST(BarManager, DefaultsAndClamps) {
    TBarsForm Bars;
    TdxBarManager* M = Bars.Manager();
    EXPECT_EQ(M->Style(), bmsEnhanced);
    EXPECT_EQ(M->ArrowWidth(), 9);
    EXPECT_EQ(M->ButtonWidth(), 23);
    EXPECT_EQ(M->ButtonHeight(), 22);
    EXPECT_EQ(M->Categories()->Count(), 1);
    EXPECT_EQ(M->Categories()->Strings(0), "Default");
    EXPECT_EQ(M->MostRecentItemsPercents(), 95);
    EXPECT_EQ(M->MostRecentlyUsedUseCount(), 20);
    EXPECT_TRUE(M->UseSystemFont());
    EXPECT_EQ(M->WaitForDockingTime(), 21);

    M->SetStyle(bmsFlat);
    EXPECT_EQ(M->ArrowWidth(), 8);
    M->SetLargeIcons(true);
    EXPECT_EQ(M->ArrowWidth(), 18);
    EXPECT_EQ(M->ButtonWidth(), 39);
    M->SetStyle(bmsEnhanced);
    EXPECT_EQ(M->ArrowWidth(), 19);
    M->SetLargeIcons(false);
    M->SetButtonArrowWidth(1);  // below 2: ignored
    EXPECT_EQ(M->ButtonArrowWidth(), 9);
    M->SetButtonArrowWidth(10);  // even: raised to the next odd width
    EXPECT_EQ(M->ArrowWidth(), 11);
    M->SetMostRecentItemsPercents(150);
    EXPECT_EQ(M->MostRecentItemsPercents(), 100);
    EXPECT_EQ(M->MostRecentlyUsedUseCount(), 0);
    M->SetWaitForDockingTime(-5);
    EXPECT_EQ(M->WaitForDockingTime(), 21);

    // The style metrics: grip offset, grip size, separator indent.
    const struct {
        TdxBarManagerStyle Style;
        int Offset, Grip, Indent;
    } kMetrics[] = {{bmsStandard, 2, 9, 2}, {bmsEnhanced, 1, 6, 12}, {bmsFlat, 1, 6, 8}};
    for (const auto& Row : kMetrics) {
        M->SetStyle(Row.Style);
        EXPECT_EQ(M->GripOffset(), Row.Offset);
        EXPECT_EQ(M->GripSize(), Row.Grip);
        EXPECT_EQ(M->SubMenuSeparatorIndent(), Row.Indent);
    }
}

TEST(BarManager, DockColorFollowsTheFormUntilOneIsSet) {
    TBarsForm Bars;
    TdxBarManager* M = Bars.Manager();
    Bars.Form()->SetColor(clTeal);
    EXPECT_EQ(M->DockColor(), clTeal);
    M->SetDockColor(clRed);
    EXPECT_FALSE(M->AutoDockColor());
    EXPECT_EQ(M->DockColor(), clRed);
}

TEST(BarManager, UsageStepFromThePercentage) {
    const std::pair<int, int> kSteps[] = {{95, 20}, {99, 100}, {0, 1}, {100, 0}, {50, 2}};
    for (auto [Percents, Step] : kSteps)
        EXPECT_EQ(MostRecentlyUsedStep(Percents), Step) << Percents;
}

// ---- categories ----------------------------------------------------------------------------

TEST(BarCategories, NamesKeepTheirItemsWhenTheyMoveAndTakeThemAlongWhenTheyGo) {
    TBarsForm Bars;
    TdxBarManagerCategories* C = Bars.Manager()->Categories();
    C->Add("File");
    C->Add("Edit");  // Default 0, File 1, Edit 2
    TdxBarButton* Open = Bars.NewItem("Open");
    TdxBarButton* Copy = Bars.NewItem("Copy");
    Open->SetCategory(1);
    Copy->SetCategory(2);
    Copy->SetCategory(7);  // beyond the categories: ignored
    EXPECT_EQ(Copy->Category(), 2);

    C->Insert(1, "View");  // Default, View, File, Edit
    EXPECT_EQ(Open->Category(), 2);
    EXPECT_EQ(Copy->Category(), 3);
    C->Exchange(2, 3);  // Default, View, Edit, File
    EXPECT_EQ(Open->Category(), 3);
    EXPECT_EQ(Copy->Category(), 2);
    C->Move(3, 1);  // Default, File, View, Edit
    EXPECT_EQ(C->Strings(1), "File");
    EXPECT_EQ(Open->Category(), 1);
    EXPECT_EQ(Copy->Category(), 3);

    bool OpenGone = false;
    Open->OnDestroy = [&](TObject*) { OpenGone = true; };
    C->Delete(1);  // File goes, and Open with it
    EXPECT_TRUE(OpenGone);
    EXPECT_EQ(Bars.Manager()->ItemCount(), 1);
    EXPECT_EQ(Copy->Category(), 2);
    while (C->Count() > 1) C->Delete(C->Count() - 1);
    C->Delete(0);  // the last one goes: "Default" comes back
    ASSERT_EQ(C->Count(), 1);
    EXPECT_EQ(C->Strings(0), "Default");
    EXPECT_EQ(Bars.Manager()->ItemCount(), 0);
}

// A bar that a category left empty is hidden and marked, and comes back with the category; the
// mark is the manager's own: the published Hidden (which keeps a bar out of the toolbar lists)
// is neither set by it nor cleared with it.
TEST(BarCategories, EmptiedBarsHideAndComeBackWithoutTouchingHidden) {
    TBarsForm Bars;
    TdxBarManager* M = Bars.Manager();
    M->SetAutoHideEmptyBars(true);
    M->Categories()->Add("Extras");
    TdxBarButton* A = Bars.NewItem("A");
    A->SetCategory(1);
    TdxBar* Extras = Bars.NewBar("Extras", {A});
    TdxBar* Designed = Bars.NewBar("Designed", {Bars.NewItem("B")});
    Extras->SetVisible(true);
    Designed->Hidden = true;
    M->SetCategoryItemsVisible(1, ivNever);
    EXPECT_FALSE(Extras->Visible());
    EXPECT_TRUE(Extras->AutoHidden);
    EXPECT_FALSE(Extras->Hidden);
    M->SetCategoryItemsVisible(1, ivAlways);
    EXPECT_TRUE(Extras->Visible());
    EXPECT_FALSE(Extras->AutoHidden);
    // A designed hidden bar with links stays hidden when a category comes back, and when the
    // automatic hiding is switched off.
    EXPECT_FALSE(Designed->Visible());
    M->SetAutoHideEmptyBars(false);
    EXPECT_TRUE(Designed->Hidden);
    M->SetAutoHideEmptyBars(true);
    M->SetCategoryItemsVisible(1, ivNever);
    ASSERT_TRUE(Extras->AutoHidden);
    M->SetAutoHideEmptyBars(false);
    EXPECT_FALSE(Extras->AutoHidden);
}

TEST(BarCategories, ItemsVisibleChangesOnlyItemsThatFollowedTheCategory) {
    TBarsForm Bars;
    TdxBarManager* M = Bars.Manager();
    TdxBarButton* A = Bars.NewItem("A");
    TdxBarButton* B = Bars.NewItem("B");
    A->SetCategory(0);
    B->SetCategory(0);
    B->SetVisible(ivInCustomizing);
    M->SetCategoryItemsVisible(0, ivNever);
    EXPECT_EQ(A->Visible(), ivNever);
    EXPECT_EQ(B->Visible(), ivInCustomizing);
    EXPECT_EQ(M->GetCategoryItemsVisible(0), ivNever);
    M->SetCategoryItemsVisible(5, ivNever);  // no such category: ignored

    M->Categories()->Add("Hidden");
    M->Categories()->Add("Shown");
    M->SetCategoryVisible(1, false);
    EXPECT_EQ(M->GetRealCategoryIndex(0), 0);
    EXPECT_EQ(M->GetRealCategoryIndex(1), 2);
    EXPECT_EQ(M->GetRealCategoryIndex(2), -1);
}

// ---- groups --------------------------------------------------------------------------------

TEST(BarGroups, SetTheirMembersAndRefuseToContainThemselves) {
    TBarsForm Bars;
    TdxBarManager* M = Bars.Manager();
    TdxBarGroup* Outer = M->AddGroup();
    TdxBarGroup* Inner = M->AddGroup();
    TdxBarButton* A = Bars.NewItem("A");
    TdxBarButton* B = Bars.NewItem("B");
    Outer->Add(A);
    Outer->Add(Inner);
    Outer->Add(A);  // already there
    Inner->Add(B);
    EXPECT_EQ(Outer->Count(), 2);
    EXPECT_EQ(ErrorOf<EdxBarError>([&] { Inner->Add(Outer); }),
              "You cannot create recursive groups");
    EXPECT_EQ(ErrorOf<EdxBarError>([&] { Inner->Add(Inner); }),
              "You cannot create recursive groups");
    EXPECT_EQ(Inner->Count(), 1);
    Outer->SetEnabled(false);
    EXPECT_FALSE(A->Enabled());
    EXPECT_FALSE(B->Enabled());
    Outer->SetVisible(ivNever);
    EXPECT_EQ(B->Visible(), ivNever);
    B->Free();  // a member that goes leaves the group
    EXPECT_EQ(Inner->Count(), 0);
    EXPECT_EQ(M->GroupCount(), 2);
    Inner->Free();
    EXPECT_EQ(M->GroupCount(), 1);
    EXPECT_EQ(Outer->Count(), 1);
}

// ---- items ---------------------------------------------------------------------------------

TEST(BarItems, TheHintFollowsTheCaptionWhileItMatchedIt) {
    TBarsForm Bars;
    TdxBarButton* Button = Bars.NewItem("&Open...");
    EXPECT_EQ(Button->Hint(), "Open");
    Button->SetHint("Open|Opens a file");
    Button->SetCaption("&Save...");
    EXPECT_EQ(Button->Hint(), "Save|Opens a file");
    Button->SetHint("Something else");
    Button->SetCaption("&Close");
    EXPECT_EQ(Button->Hint(), "Something else");
    TdxBarSubItem* Sub = Bars.NewItem<TdxBarSubItem>("&File");
    EXPECT_EQ(Sub->Hint(), "");  // sub-items have no hint of their caption
    // The hint's text drops the caption's first "&" only, and its first "...".
    TdxBarButton* Marks = Bars.NewItem("Drag && Drop...");
    EXPECT_EQ(Marks->Hint(), "Drag & Drop");
    Marks->SetCaption("a&b&c");
    EXPECT_EQ(Marks->Hint(), "ab&c");
}

TEST(BarItems, ClickOrderAndErrors) {
    TBarsForm Bars;
    TdxBarManager* M = Bars.Manager();
    TdxBarButton* Check = Bars.NewItem("Check");
    Check->SetButtonStyle(bsChecked);
    std::vector<std::string> Seen;
    M->OnClickItem = [&](TdxBarManager*, TdxBarItem* Item) {
        Seen.push_back("manager " + static_cast<TdxBarButton*>(Item)->Caption() +
                       (static_cast<TdxBarButton*>(Item)->Down() ? " down" : " up"));
    };
    Check->OnClick = [&](TObject*) { Seen.push_back("item"); };
    Check->Click();
    EXPECT_EQ(Seen, (std::vector<std::string>{"manager Check down", "item"}));

    // A handler that raises is reported once and goes no further; the next click works.
    std::vector<std::string> Reported;
    TExceptionEvent Old = Application.OnException;
    Application.OnException = [&](const Exception& E) { Reported.push_back(E.Message()); };
    Check->OnClick = [&](TObject*) { throw Exception("broken handler"); };
    EXPECT_NO_THROW(Check->Click());
    EXPECT_EQ(Reported, (std::vector<std::string>{"broken handler"}));
    Seen.clear();
    Check->OnClick = [&](TObject*) { Seen.push_back("item"); };
    Check->SetEnabled(false);
    Check->Click();
    EXPECT_TRUE(Seen.empty());
    EXPECT_FALSE(Check->Down());  // a disabled button does not toggle either
    Application.OnException = Old;
}

TEST(BarItems, CheckedButtonsOfAGroup) {
    TBarsForm Bars;
    TdxBarButton* Left = Bars.NewItem("Left");
    TdxBarButton* Right = Bars.NewItem("Right");
    TdxBarButton* Plain = Bars.NewItem("Plain");
    for (TdxBarButton* B : {Left, Right}) {
        B->SetButtonStyle(bsChecked);
        B->SetGroupIndex(1);
    }
    Plain->SetGroupIndex(1);  // not a checked button: its group stays 0
    EXPECT_EQ(Plain->GroupIndex(), 0);
    Plain->SetDown(true);
    EXPECT_FALSE(Plain->Down());

    std::vector<std::string> Order;
    Left->SetDown(true);
    Left->SetDown(false);  // the last down button of the group stays down
    EXPECT_TRUE(Left->Down());
    Right->SetDown(true);  // pressing another raises the first
    EXPECT_TRUE(Right->Down());
    EXPECT_FALSE(Left->Down());
    Left->SetAllowAllUp(true);  // shared by the group
    EXPECT_TRUE(Right->AllowAllUp());
    Right->SetDown(false);
    EXPECT_FALSE(Right->Down());
}

TEST(BarItems, ShortcutsAreFoundThroughSubItemsButNotDisabledOnes) {
    TBarsForm Form = TBarsForm::FromDefinition("TFormMain");
    TdxBar* Menu = Form.Manager()->MainMenuBar();
    int Started = 0, Exited = 0;
    Form.Button("BarButtonStart")->OnClick = [&](TObject*) { ++Started; };
    Form.Button("BarButtonExit")->OnClick = [&](TObject*) { ++Exited; };
    EXPECT_FALSE(Menu->ProcessShortCut(scNone));
    EXPECT_TRUE(Menu->ProcessShortCut(ShortCut(VK_F7, {})));
    EXPECT_EQ(Started, 1);
    EXPECT_TRUE(Menu->ProcessShortCut(TextToShortCut("Alt+X")));
    EXPECT_EQ(Exited, 1);
    EXPECT_FALSE(Menu->ProcessShortCut(ShortCut(VK_F7, {ssCtrl})));
    // A link's own Visible does not hide its shortcut; a disabled sub-item hides its contents.
    Form.Find<TdxBarSubItem>("dxBarSubItem3")->ItemLinks()->Items(0)->SetVisible(false);
    EXPECT_TRUE(Menu->ProcessShortCut(ShortCut(VK_F7, {})));
    EXPECT_EQ(Started, 2);
    Form.Find<TdxBarSubItem>("dxBarSubItem3")->SetEnabled(false);
    EXPECT_FALSE(Menu->ProcessShortCut(ShortCut(VK_F7, {})));
    EXPECT_EQ(Started, 2);
}

TEST(BarItems, ShortcutsGoToTheFirstMatchInCollectionOrder) {
    TBarsForm Bars;
    const TShortCut F9 = ShortCut(VK_F9, {});
    std::vector<std::string> Clicked;
    auto Button = [&](const std::string& Caption, TShortCut Key) {
        TdxBarButton* B = Bars.NewItem(Caption);
        B->SetShortCut(Key);
        B->OnClick = [&Clicked, Caption](TObject*) { Clicked.push_back(Caption); };
        return B;
    };
    TdxBarButton* Hidden = Button("hidden", F9);
    Hidden->SetVisible(ivNever);
    TdxBarButton* Disabled = Button("disabled", F9);
    Disabled->SetEnabled(false);
    auto* Sub = Bars.NewItem<TdxBarSubItem>("sub");
    TdxBarButton* Nested = Button("nested", F9);
    Sub->ItemLinks()->Add()->SetItem(Nested);
    TdxBarButton* Later = Button("later", F9);
    TdxBar* Bar = Bars.NewBar("Bar", {Hidden, Disabled, Sub, Later});
    // Items never shown and disabled ones are passed over; a sub-item is searched where it
    // stands, before the links that follow it.
    EXPECT_TRUE(Bar->ProcessShortCut(F9));
    EXPECT_EQ(Clicked, (std::vector<std::string>{"nested"}));
    Nested->SetShortCut(scNone);
    EXPECT_TRUE(Bar->ProcessShortCut(F9));
    EXPECT_EQ(Clicked, (std::vector<std::string>{"nested", "later"}));
    // A drop-down button's menu is searched when the button's own key differs.
    Later->SetShortCut(scNone);
    TdxBarButton* InMenu = Button("in the menu", F9);
    auto* Menu = new TdxBarPopupMenu(Bars.Form());
    Menu->SetBarManager(Bars.Manager());
    Menu->ItemLinks()->Add()->SetItem(InMenu);
    Later->SetButtonStyle(bsDropDown);
    Later->SetDropDownMenu(Menu);
    EXPECT_TRUE(Bar->ProcessShortCut(F9));
    EXPECT_EQ(Clicked.back(), "in the menu");
    // A menu that holds its own drop-down button is searched once, not for ever.
    Menu->ItemLinks()->Add()->SetItem(Later);
    EXPECT_FALSE(Bar->ProcessShortCut(ShortCut(VK_F10, {})));
    EXPECT_TRUE(Bar->ProcessShortCut(F9));
    EXPECT_EQ(Clicked.back(), "in the menu");
    // The command may take the bar away.
    InMenu->OnClick = [&](TObject*) { Bars.Manager()->Bars()->Delete(Bar->Index()); };
    EXPECT_TRUE(Bar->ProcessShortCut(F9));
    EXPECT_EQ(Bars.Manager()->Bars()->Count(), 0);
}

TEST(BarItems, SubItemsCannotContainThemselves) {
    TBarsForm Bars;
    auto* Outer = Bars.NewItem<TdxBarSubItem>("Outer");
    auto* Inner = Bars.NewItem<TdxBarSubItem>("Inner");
    Outer->ItemLinks()->Add()->SetItem(Inner);
    TdxBarItemLink* Link = Inner->ItemLinks()->Add();
    EXPECT_EQ(ErrorOf<EdxBarError>([&] { Link->SetItem(Outer); }),
              "You cannot create recursive subitems");
    EXPECT_EQ(Link->Item(), nullptr);
    EXPECT_EQ(ErrorOf<EdxBarError>([&] { Inner->ItemLinks()->Add()->SetItem(Inner); }),
              "You cannot create recursive subitems");
}

// ---- bars ----------------------------------------------------------------------------------

TEST(Bars, CaptionsStayUniqueAndOneBarIsTheMainMenu) {
    TBarsForm Bars;
    TdxBar* First = Bars.NewBar("Tools", {});
    TdxBar* Second = Bars.NewBar("Other", {});
    EXPECT_EQ(First->Name(), "Tools");
    Second->SetCaption("Tools");  // taken: refused without a word
    EXPECT_EQ(Second->Caption(), "Other");
    First->SetIsMainMenu(true);
    EXPECT_TRUE(First->MultiLine());
    EXPECT_TRUE(First->WholeRow());
    First->SetMultiLine(false);  // a main menu bar stays multi-line
    EXPECT_TRUE(First->MultiLine());
    Second->SetIsMainMenu(true);
    EXPECT_FALSE(First->IsMainMenu());
    EXPECT_FALSE(First->MultiLine());
    EXPECT_EQ(Bars.Manager()->MainMenuBar(), Second);
    First->SetRow(-3);
    First->SetDockedLeft(-1);
    EXPECT_EQ(First->Row(), 0);
    EXPECT_EQ(First->DockedLeft(), 0);
    EXPECT_EQ(Bars.Manager()->BarByName("Other"), Second);
    EXPECT_EQ(Bars.Manager()->BarByCaption("tools"), nullptr);  // exact comparison
}

// ---- links and the usage record ------------------------------------------------------------

// A bar of the named buttons in a manager of the given percentage and style.
struct TUsageBar {
    TBarsForm Bars;
    TdxBar* Bar = nullptr;
    std::vector<TdxBarButton*> Items;
    TUsageBar(int Percents, std::initializer_list<const char*> Names) {
        Bars.Manager()->SetMostRecentItemsPercents(Percents);
        std::vector<TdxBarItem*> List;
        for (const char* Name : Names) {
            Items.push_back(Bars.NewItem(Name));
            List.push_back(Items.back());
        }
        Bar = Bars.NewBar("Bar", {});
        for (TdxBarItem* Item : List) Bar->ItemLinks()->Add()->SetItem(Item);
    }
    TdxBarItemLinks* Links() const { return Bar->ItemLinks(); }
    TdxBarItemLink* Link(int I) const { return Links()->Items(I); }
};

TEST(BarLinks, RecentItemCountWithTheWorkedExamples) {
    {
        // Counts 20, 20 and 0, the unused link last: T = MulDiv(20, 5, 100) = 1, two shown.
        TUsageBar U(95, {"A", "B", "C"});
        U.Link(2)->SetMostRecentlyUsed(false);
        EXPECT_EQ(U.Link(0)->UseCount(), 20);
        EXPECT_EQ(U.Link(2)->UseCount(), 0);
        EXPECT_EQ(U.Links()->UsageItems(2), U.Link(2));
        EXPECT_EQ(U.Links()->CalcRecentItemCount(), 2);
        U.Links()->SetRecentItemCount(U.Links()->CalcRecentItemCount());
        EXPECT_EQ(U.Links()->VisibleItemCount(), 2);
        EXPECT_EQ(U.Links()->VisibleItems(1), U.Link(1));
    }
    {
        // A (25), B (0), C (21) in that usage order: T = 1 (1.25 rounded), C at entry 2 reaches it,
        // so every link shows.
        TUsageBar U(95, {"A", "B", "C"});
        U.Link(0)->SetUseCount(25);
        U.Link(1)->SetUseCount(0);
        U.Link(2)->SetUseCount(21);
        U.Link(2)->MoveToUsagePosition(0);
        U.Link(1)->MoveToUsagePosition(0);
        U.Link(0)->MoveToUsagePosition(0);
        EXPECT_EQ(U.Links()->CalcRecentItemCount(), -1);
    }
    {
        // With 100 percent everything shows whatever the counts.
        TUsageBar U(100, {"A", "B", "C"});
        U.Link(1)->SetUseCount(7);
        EXPECT_EQ(U.Links()->CalcRecentItemCount(), -1);
    }
}

TEST(BarLinks, UseMovesALinkToTheFrontAndCountsTheStep) {
    TUsageBar U(95, {"A", "B", "C"});
    U.Link(2)->RecordUse(true);
    EXPECT_EQ(U.Links()->UsageItems(0), U.Link(2));
    EXPECT_EQ(U.Link(2)->UseCount(), 40);
    U.Link(2)->RecordHidden();
    EXPECT_EQ(U.Links()->UsageItems(2), U.Link(2));
    U.Bars.Manager()->SetStyle(bmsStandard);  // no personalized menus in the standard style
    EXPECT_EQ(U.Links()->CalcRecentItemCount(), -1);
}

TEST(BarLinks, AGroupStartHiddenByPersonalizationPassesItsSeparatorOn) {
    TUsageBar U(95, {"A", "B", "C", "D"});
    U.Link(0)->SetBeginGroup(true);
    U.Link(2)->SetBeginGroup(true);
    U.Link(2)->SetMostRecentlyUsed(false);
    U.Links()->SetRecentItemCount(3);  // A, B, D
    ASSERT_EQ(U.Links()->VisibleItemCount(), 3);
    EXPECT_FALSE(U.Link(0)->BeginGroup());  // the first shown link never has a separator
    EXPECT_FALSE(U.Link(1)->BeginGroup());
    EXPECT_TRUE(U.Link(3)->BeginGroup());  // C's separator, C being hidden
    EXPECT_TRUE(U.Link(2)->BeginGroup());  // not shown: its own flag
}

TEST(BarLinks, HiddenItemsAndLinksLeaveTheVisibleList) {
    TUsageBar U(100, {"A", "B", "C"});
    U.Items[1]->SetVisible(ivNever);
    EXPECT_EQ(U.Links()->AvailableCount(), 2);
    U.Link(2)->SetVisible(false);
    EXPECT_EQ(U.Links()->AvailableCount(), 2);
    EXPECT_EQ(U.Links()->CanVisibleItemCount(), 1);
    U.Items[1]->SetVisible(ivInCustomizing);
    EXPECT_EQ(U.Links()->AvailableCount(), 2);
    U.Bars.Manager()->CustomizingMode(true);
    EXPECT_EQ(U.Links()->AvailableCount(), 3);
}

TEST(BarLinks, UserValuesAndTheirFlags) {
    TUsageBar U(100, {"&Open"});
    TdxBarItemLink* L = U.Link(0);
    L->SetUserCaption("&Laden");
    EXPECT_EQ(L->Caption(), "&Laden");
    L->SetUserWidth(10);
    EXPECT_EQ(L->UserWidth(), 20);
    L->SetUserWidth(1000);
    EXPECT_EQ(L->UserWidth(), 600);
    EXPECT_TRUE(L->UserDefine().Contains(udWidth));
    L->SetUserDefine(TdxBarUserDefines{udWidth});  // the caption flag goes, and its value
    EXPECT_EQ(L->Caption(), "&Open");
    EXPECT_EQ(L->UserCaption(), "");
    // Stored flags keep the defined bits only.
    EXPECT_EQ(UserDefinesFromStored(0xFF), kAllUserDefines);
    EXPECT_EQ(UserDefinesFromStored(0x12), TdxBarUserDefines{udGlyph});
    L->SetUserDefine(TdxBarUserDefines::FromBits(0xF0));
    EXPECT_TRUE(L->UserDefine().Empty());
}

TEST(BarLinks, AcceleratorsOfCaptions) {
    TUsageBar U(100, {"&Konfiguration", "Speichern &unter...", "Salt && Pepper", "Ende&"});
    const TShiftState None{}, Shift{ssShift}, Alt{ssAlt};
    EXPECT_TRUE(U.Link(0)->MatchesAccel(VK_K, None));
    EXPECT_TRUE(U.Link(0)->MatchesAccel(VK_K, Shift));  // an upper-case mnemonic ignores Shift
    EXPECT_TRUE(U.Link(1)->MatchesAccel(VK_U, None));
    EXPECT_TRUE(U.Link(1)->MatchesAccel(VK_U, Alt));
    EXPECT_FALSE(U.Link(1)->MatchesAccel(VK_U, Shift));
    EXPECT_FALSE(U.Link(1)->MatchesAccel(VK_S, None));
    for (WORD Key : {VK_S, VK_P, VK_7}) EXPECT_FALSE(U.Link(2)->MatchesAccel(Key, None));
    EXPECT_FALSE(U.Link(3)->MatchesAccel(VK_E, None));

    const std::pair<const char*, const char*> kPlain[] = {{"&Datei", "Datei"},
                                                          {"Salt && Pepper", "Salt & Pepper"},
                                                          {"Ende&", "Ende&"},
                                                          {"&&&x", "&x"},
                                                          {"", ""},
                                                          {"a&b&c", "abc"}};
    for (auto [Caption, Plain] : kPlain) EXPECT_EQ(StripMnemonics(Caption), Plain) << Caption;
}

// ---- edit, combo and list items ------------------------------------------------------------

TEST(BarWindowItems, EditClampsAndComboIndexFollowsText) {
    TBarsForm Bars;
    auto* Edit = Bars.NewItem<TdxBarEdit>("Edit");
    Edit->SetWidth(10);
    EXPECT_EQ(Edit->Width(), 20);
    Edit->SetWidth(1000);
    EXPECT_EQ(Edit->Width(), 600);
    Edit->SetMaxLength(-4);
    EXPECT_EQ(Edit->MaxLength(), 0);
    EXPECT_FALSE(Edit->IsClickable());

    auto* Combo = Bars.NewItem<TdxBarCombo>("Combo");
    int Changes = 0;
    Combo->OnChange = [&](TObject*) { ++Changes; };
    Combo->Items()->SetCommaText("one,two,three");
    Combo->SetItemIndex(1);
    EXPECT_EQ(Combo->Text(), "two");
    Combo->SetItemIndex(7);
    EXPECT_EQ(Combo->ItemIndex(), -1);
    EXPECT_EQ(Combo->Text(), "");
    Combo->SetText("three");
    EXPECT_EQ(Combo->ItemIndex(), 2);
    Combo->SetText("four");
    EXPECT_EQ(Combo->ItemIndex(), -1);
    EXPECT_EQ(Changes, 4);
    Combo->SetItemIndex(2);
    Combo->Items()->Delete(2);  // the entry went: no index
    EXPECT_EQ(Combo->ItemIndex(), -1);
    EXPECT_TRUE(Combo->CheckKeyForDropDownWindow(VK_DOWN, {}));
    EXPECT_FALSE(Combo->CheckKeyForDropDownWindow(VK_DOWN, {ssShift}));
    EXPECT_FALSE(Combo->CheckKeyForDropDownWindow(VK_A, {}));
}

TEST(BarWindowItems, ComboPrefixSearch) {
    TBarsForm Bars;
    auto* Combo = Bars.NewItem<TdxBarCombo>("Combo");
    Combo->Items()->SetCommaText("b,Ax,ABc");
    EXPECT_EQ(Combo->FindItemIndex("ab", -1), 2);
    EXPECT_EQ(Combo->FindItemIndex("Ax", 1), 1);  // the current entry when it is the text
    EXPECT_EQ(Combo->FindItemIndex("zz", -1), -1);
    Combo->Items()->Delete(2);
    EXPECT_EQ(Combo->FindItemIndex("ab", -1), 1);
}

TEST(BarListItems, NumberedButtonsAndSeparators) {
    TBarsForm Bars;
    auto* List = Bars.NewItem<TdxBarListItem>("Recent");
    List->Items()->SetCommaText("one,-,two");
    TdxBarItemLinks* Target = Bars.NewBar("Menu", {})->ItemLinks();
    List->AddListedItemLinks(Target, 0, nullptr, false);
    ASSERT_EQ(Target->Count(), 2);
    EXPECT_EQ(Target->Items(0)->Item()->Caption(), "&1 one");
    EXPECT_EQ(Target->Items(1)->Item()->Caption(), "&2 two");
    EXPECT_TRUE(Target->Items(0)->OwnBeginGroup());
    EXPECT_TRUE(Target->Items(1)->OwnBeginGroup());  // it follows a separator

    int Chosen = -1;
    List->OnClick = [&](TObject*) { Chosen = List->ItemIndex(); };
    Target->Items(1)->Item()->Click();
    EXPECT_EQ(Chosen, 2);
    EXPECT_EQ(List->DataIndex(), 1);
    List->DeleteListedItemLinks(Target, 0);
    EXPECT_EQ(Target->Count(), 0);
    List->ClearListedItems();
    EXPECT_EQ(List->ButtonCount(), 0);

    EXPECT_EQ(List->CaptionOf(8, "x"), "&9 x");
    EXPECT_EQ(List->CaptionOf(9, "x"), "&A x");  // the tenth entry takes a letter
    List->ShowNumbers = false;
    EXPECT_EQ(List->CaptionOf(9, "x"), "x");
    // A position with no entry selects none rather than a place past the list.
    List->SetDataIndex(5);
    EXPECT_EQ(List->ItemIndex(), -1);
    EXPECT_EQ(List->DataIndex(), -1);
    List->SetDataIndex(0);
    EXPECT_EQ(List->ItemIndex(), 0);
}

TEST(BarContainerItems, CopiesOfTheirLinksMarkedAsGenerated) {
    TBarsForm Bars;
    auto* Container = Bars.NewItem<TdxBarContainerItem>("More");
    TdxBarButton* A = Bars.NewItem("A");
    TdxBarButton* B = Bars.NewItem("B");
    Container->ItemLinks()->Add()->SetItem(A);
    Container->ItemLinks()->Add()->SetItem(B);
    TdxBar* Menu = Bars.NewBar("Menu", {Bars.NewItem("First")});
    TdxBarItemLink* Owner = Menu->ItemLinks()->Items(0);
    Container->AddListedItemLinks(Menu->ItemLinks(), 1, Owner, false);
    ASSERT_EQ(Menu->ItemLinks()->Count(), 3);
    EXPECT_EQ(Menu->ItemLinks()->Items(1)->Item(), A);
    EXPECT_TRUE(Menu->ItemLinks()->Items(1)->OwnBeginGroup());
    EXPECT_EQ(Menu->ItemLinks()->Items(2)->OwnerLink(), Owner);
    EXPECT_EQ(Menu->ItemLinks()->Items(2)->SourceLink(), Container->ItemLinks()->Items(1));
    Container->DeleteListedItemLinks(Menu->ItemLinks(), 1);
    EXPECT_EQ(Menu->ItemLinks()->Count(), 1);
}

// ---- what stored layouts hold --------------------------------------------------------------

class StoredValues : public ::testing::Test {
  protected:
    void SetUp() override {
        char Template[] = "/tmp/kestro-bars-XXXXXX";
        Dir = mkdtemp(Template);
        setenv("KESTRO_REGISTRY_DIR", Dir.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("KESTRO_REGISTRY_DIR");
        std::filesystem::remove_all(Dir);
    }
    std::string Dir;
};

TEST_F(StoredValues, AManagerValueOfTheWrongTypeCountsAsMissing) {
    TBarsForm Bars;
    TdxBarManager* M = Bars.Manager();
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKey("\\Software\\Kestro\\Bars", true));
    Registry.WriteString("LargeIcons", "yes");   // damaged: a string where a DWORD belongs
    Registry.WriteInteger("MenuAnimations", 9);  // no such animation
    Registry.WriteInteger("ShowHint", 0);
    Registry.WriteInteger("MenusShowRecentItemsFirst", 0);
    EXPECT_NO_THROW(ReadManagerOptions(*M, Registry));
    EXPECT_FALSE(M->LargeIcons());
    EXPECT_EQ(M->MenuAnimations(), maNone);
    EXPECT_FALSE(M->ShowHint());
    EXPECT_FALSE(M->MenusShowRecentItemsFirst());
    // The standard style has no recent-item options: they are not read.
    M->SetStyle(bmsStandard);
    Registry.WriteInteger("MenusShowRecentItemsFirst", 1);
    ReadManagerOptions(*M, Registry);
    EXPECT_FALSE(M->MenusShowRecentItemsFirst());
}

TEST_F(StoredValues, AStoredGlyphGoesThroughTheBoundedReader) {
    TUsageBar U(100, {"A"});
    TdxBarItemLink* L = U.Link(0);
    TBitmap Picture(4, 4, pf24bit);
    TMemoryStream Stream;
    Picture.SaveToStream(Stream);
    const std::string Bmp(Stream.Memory(), size_t(Stream.Size()));
    LoadUserGlyph(*L, Bmp);
    EXPECT_EQ(L->UserGlyph()->Width(), 4);
    EXPECT_TRUE(L->UserDefine().Contains(udGlyph));

    TUsageBar V(100, {"B"});
    TdxBarItemLink* Other = V.Link(0);
    std::string Damaged = Bmp;
    Damaged[18] = char(0xFF);  // an absurd width
    Damaged[19] = char(0xFF);
    Damaged[20] = char(0xFF);
    EXPECT_THROW(LoadUserGlyph(*Other, Damaged), EInvalidGraphic);
    EXPECT_THROW(LoadUserGlyph(*Other, Bmp.substr(0, 30)), EInvalidGraphic);
    EXPECT_THROW(LoadUserGlyph(*Other, std::string(BarsLimits::kMaxUserGlyphBytes + 1, 'B')),
                 EInvalidGraphic);
    EXPECT_TRUE(Other->UserGlyph()->Empty());
    EXPECT_FALSE(Other->UserDefine().Contains(udGlyph));
}

TEST(BarClicks, AClickThroughALinkKnowsTheLinkAndHearsOfItsItemGoing) {
    TBarsForm Bars;
    TdxBarButton* Open = Bars.NewItem("Open");
    TdxBar* Bar = Bars.NewBar("Bar", {Open});
    TdxBarItemLink* Link = Bar->ItemLinks()->Items(0);
    TdxBarItemLink* Seen = nullptr;
    Open->OnClick = [&](TObject*) { Seen = Open->ClickItemLink(); };
    EXPECT_TRUE(Open->ClickThrough(Link));
    EXPECT_EQ(Seen, Link);
    EXPECT_EQ(Open->ClickItemLink(), nullptr);

    // A link that goes during the click leaves nothing behind on its item.
    Open->OnClick = [&](TObject*) {
        delete Link;
        Seen = Open->ClickItemLink();
    };
    EXPECT_TRUE(Open->ClickThrough(Link));
    EXPECT_EQ(Seen, nullptr);
    EXPECT_EQ(Open->ClickItemLink(), nullptr);

    // An item freed by its own command, also from a click inside another click of it: no click
    // touches it afterwards.
    for (const bool Nested : {false, true}) {
        TdxBarButton* Close = Bars.NewItem("Close");
        bool InnerAlive = true;
        Close->OnClick = [Close, Nested, &InnerAlive](TObject*) {
            if (!Nested) {
                Close->Free();
                return;
            }
            // This handler goes when it hands over to the inner one: it keeps what it needs.
            TdxBarButton* const Item = Close;
            bool& Inner = InnerAlive;
            Item->OnClick = [Item](TObject*) { Item->Free(); };
            Inner = Item->ClickThrough(nullptr);
        };
        EXPECT_FALSE(Close->ClickThrough(nullptr)) << Nested;
        EXPECT_EQ(InnerAlive, !Nested) << Nested;
    }
}

}  // namespace

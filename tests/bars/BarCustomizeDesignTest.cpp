// The customizing dialog while its manager is designed: the designer's pages and popups, driven
// through the dialog's own controls and entries, and what they change in the manager.
#include <gtest/gtest.h>

#include <QTimer>
#include "bars/customize/dxBarAddGroupItemsEd.h"
#include "bars/customize/dxBarCustFormDesign.h"
#include "bars/customize/dxBarItemEd.h"
#include "bars/customize/dxBarPopupMenuEd.h"
#include "bars/model/dxBarGroups.h"
#include "bars/model/dxBarStrings.h"
#include "bars/model/dxBarWindowItems.h"
#include "bars/windows/dxBarSubMenu.h"
#include "platform/actions/ShortCuts.h"
#include "platform/core/Input.h"
#include "tests/bars/DesignTestSupport.h"

namespace {

using namespace BarTest;
using dxBarCustFormDesign::TDesignPages;

TPoint Middle(const TRect& R) {
    return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
}

struct DesignDialog : DesignTime {
    TdxBarCustomizingForm* Dialog = nullptr;
    TDesignPages* Pages = nullptr;
    void OpenDesigned() {
        Dialog = Open();
        ASSERT_NE(Dialog, nullptr);
        Pages = Dialog->DesignPages();
        ASSERT_NE(Pages, nullptr);
    }
    void ShowPage(TTabSheet* Page) {
        Dialog->PageControl->SetActivePage(Page);
        Dialog->RefreshPage();
        GuiTest::Drain();
    }
    void SelectCategory(int Index) {
        Dialog->LCategories->SetItemIndex(Index);
        ClickControl(Dialog->LCategories, Middle(Dialog->LCategories->ItemRect(Index)));
    }
    dxBarCustForm::TCommandsListBox* Commands() { return Dialog->CommandsListBox(); }
    void SelectCommand(int Index) {
        ShowPage(Dialog->TabSheet2);
        ClickControl(Commands(), Middle(Commands()->ItemRect(Index)));
    }
    void Entry(const std::string& Name) { Pages->PopupItem(Name)->Click(); }
    std::vector<std::string> ManagerCategories() {
        std::vector<std::string> Out;
        for (int I = 0; I < Manager()->Categories()->Count(); ++I)
            Out.push_back(Manager()->Categories()->Get(I));
        return Out;
    }
    int IndexOfItem(TdxBarItem* Item) {
        for (int I = 0; I < Manager()->ItemCount(); ++I)
            if (Manager()->Items(I) == Item) return I;
        return -1;
    }
    void KeyOn(TWinControl* Control, Qt::Key K, Qt::KeyboardModifiers Mods = {}) {
        Control->SetFocus();
        GuiTest::Drain();
        QTest::keyClick(GuiTest::QtWindowOf(Dialog->Handle()), K, Mods);
        GuiTest::Drain();
    }
};

TEST_F(DesignDialog, ADesignedManagerGetsTheDesignersPagesPopupsAndEveryBarAndCategory) {
    Manager()->Bars()->Items(1)->Hidden = true;
    Manager()->SetCategoryVisible(2, false);
    OpenDesigned();
    EXPECT_TRUE(Dialog->TabSheet4->TabVisible());
    EXPECT_TRUE(Dialog->TabSheet5->TabVisible());
    // Hidden bars and categories are the designer's too.
    EXPECT_EQ(Dialog->BarsListBox()->Items()->Count(), Manager()->Bars()->Count());
    EXPECT_EQ(Entries(Dialog->LCategories), ManagerCategories());
    // A loaded toolbar may be renamed and deleted; nothing is reset to a design being made.
    Dialog->BarsListBox()->SetItemIndex(1);
    Dialog->UpdateBarButtons();
    EXPECT_TRUE(Dialog->BBarRename->Enabled());
    EXPECT_TRUE(Dialog->BBarDelete->Enabled());
    EXPECT_FALSE(Dialog->BBarReset->Visible());

    ASSERT_NE(Pages->CategoriesButton(), nullptr);
    EXPECT_EQ(Pages->CategoriesButton()->Caption(), "... modify");
    EXPECT_EQ(Pages->CommandsButton()->Caption(), "... modify");
    EXPECT_EQ(Pages->CategoriesButton()->PopupMenu, Pages->CategoriesPopupMenu());
    EXPECT_EQ(Dialog->FindComponent("CategoriesPopupButtonPlace"), nullptr);
    EXPECT_EQ(Pages->DialogManager()->Style(), Manager()->Style());
    const std::pair<const char*, const char*> Captions[] = {
        {"CategoriesAdd", "Add..."},
        {"CategoriesInsert", "Insert..."},
        {"CategoriesRename", "Rename..."},
        {"CategoriesVisible", "Visible"},
        {"CategoriesDelete", "Delete"},
        {"CommandsAdd", "Add..."},
        {"CommandsDelete", "Delete"},
        {"CommandsClear", "Clear"},
        {"CommandsMoveUp", "Move Up"},
        {"CommandsMoveDown", "Move Down"},
        {"CommandsSubMenuEditor", "SubMenu Editor..."},
    };
    for (const auto& [Name, Caption] : Captions) {
        ASSERT_NE(Pages->PopupItem(Name), nullptr) << Name;
        EXPECT_EQ(Pages->PopupItem(Name)->Caption(), Caption) << Name;
    }
    EXPECT_EQ(Pages->PopupItem("CommandsMoveUp")->ShortCut(), ShortCut(VK_UP, {ssCtrl}));
    EXPECT_EQ(Pages->PopupItem("CategoriesInsert")->ShortCut(), ShortCut(VK_INSERT, {}));
    EXPECT_EQ(Pages->CategoriesPopupMenu()->ItemLinks()->Count(), 6);
    // No help opens for a form being designed.
    int Helped = 0;
    Manager()->OnHelpButtonClick = [&](TObject*) { ++Helped; };
    Dialog->BHelp->OnClick(Dialog->BHelp);
    EXPECT_EQ(Helped, 0);
    EXPECT_EQ(Pages->CommandsPopupMenu()->ItemLinks()->Count(), 6);
}

TEST_F(DesignDialog, TheModifyButtonOpensItsPopupUnderItself) {
    OpenDesigned();
    ShowPage(Dialog->TabSheet2);
    bool Opened = false;
    TPoint Corner;
    // The menu's loop runs inside the click: it is closed from a timer once it shows.
    QObject Context;
    QTimer Watch;
    int Ticks = 0;
    QObject::connect(&Watch, &QTimer::timeout, &Context, [&] {
        TdxBarSubMenuControl* Menu = Pages->CommandsPopupMenu()->Window();
        if (++Ticks > 2000) {
            Watch.stop();
            if (Menu && !Menu->Hiding()) Menu->Hide();
            return;
        }
        if (!Menu || !Menu->HandleAllocated() || !IsWindowVisible(Menu->Handle())) return;
        Watch.stop();
        Opened = true;
        RECT R{};
        GetWindowRect(Menu->Handle(), &R);
        Corner = TPoint{R.left, R.top};
        PostMessage(Menu->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    Watch.start(1);
    ClickControl(Pages->CommandsButton());
    GuiTest::Drain();
    EXPECT_FALSE(Pages->CommandsPopupMenu()->IsOpen());
    EXPECT_TRUE(Opened);
    const TPoint Under =
        Pages->CommandsButton()->ClientToScreen(TPoint{0, Pages->CommandsButton()->Height()});
    EXPECT_EQ(Corner.X, Under.X);
    EXPECT_EQ(Corner.Y, Under.Y);
}

TEST_F(DesignDialog, TheCategoriesPopupAddsInsertsRenamesShowsAndDeletesCategories) {
    OpenDesigned();
    ShowPage(Dialog->TabSheet2);
    std::vector<std::string> Expected = ManagerCategories();
    WithNameDialog([&] { Entry("CategoriesAdd"); }, {[] {
                                                         ASSERT_NE(NameDialog(), nullptr);
                                                         EXPECT_EQ(NameDialog()->Caption(),
                                                                   "Add Category");
                                                     },
                                                     [] { Answer("Extras"); }});
    Expected.push_back("Extras");
    EXPECT_EQ(ManagerCategories(), Expected);
    EXPECT_EQ(Dialog->LCategories->ItemIndex(), int(Expected.size()) - 1);

    SelectCategory(1);
    WithNameDialog([&] { Entry("CategoriesInsert"); }, {[] { Answer("Before"); }});
    Expected.insert(Expected.begin() + 1, "Before");
    EXPECT_EQ(ManagerCategories(), Expected);
    EXPECT_EQ(Dialog->LCategories->ItemIndex(), 1);

    WithNameDialog([&] { Entry("CategoriesRename"); }, {[] {
                       ASSERT_NE(NameDialog(), nullptr);
                       EXPECT_EQ(NameDialog()->EName->Text(), "Before");
                       Answer("Renamed");
                   }});
    Expected[1] = "Renamed";
    EXPECT_EQ(ManagerCategories(), Expected);
    EXPECT_EQ(Entries(Dialog->LCategories), Expected);

    Entry("CategoriesVisible");
    EXPECT_FALSE(Manager()->GetCategoryVisible(1));
    Entry("CategoriesVisible");
    EXPECT_TRUE(Manager()->GetCategoryVisible(1));
    // The combo of the popup sets the category's items' visibility.
    auto* Combo = dynamic_cast<TdxBarCombo*>(Pages->PopupItem("CategoriesItemsVisible"));
    ASSERT_NE(Combo, nullptr);
    Pages->UpdatePopupItems();
    EXPECT_EQ(Combo->ItemIndex(), int(Manager()->GetCategoryItemsVisible(1)));
    Combo->SetItemIndex(int(ivInCustomizing));
    Combo->OnChange(Combo);
    EXPECT_EQ(Manager()->GetCategoryItemsVisible(1), ivInCustomizing);

    // Deleting asks; Cancel keeps the category.
    Services.Boxes->QueueAnswer(IDCANCEL);
    Entry("CategoriesDelete");
    EXPECT_EQ(ManagerCategories(), Expected);
    Services.Boxes->QueueAnswer(IDOK);
    Entry("CategoriesDelete");
    Expected.erase(Expected.begin() + 1);
    EXPECT_EQ(ManagerCategories(), Expected);
    EXPECT_EQ(Services.Texts(), (std::vector<std::string>(
                                    2, "Are you sure you want to delete the 'Renamed' category?")));
    EXPECT_EQ(Services.Boxes->Asked()[0].Flags, MB_OKCANCEL | MB_ICONEXCLAMATION);
}

TEST_F(DesignDialog, TheLastCategoryCannotBeDeletedAndKeysAndDraggingWorkInTheList) {
    OpenDesigned();
    ShowPage(Dialog->TabSheet2);
    std::vector<std::string> Expected = ManagerCategories();
    // Insert in the list inserts where the selection is.
    SelectCategory(2);
    WithNameDialog([&] { KeyOn(Dialog->LCategories, Qt::Key_Insert); }, {[] { Answer("ByKey"); }});
    Expected.insert(Expected.begin() + 2, "ByKey");
    EXPECT_EQ(ManagerCategories(), Expected);

    // A category dragged onto another entry takes its place.
    const std::string Moved = Expected[0];
    TListBox* List = Dialog->LCategories;
    const TPoint From = List->ClientToScreen(Middle(List->ItemRect(0)));
    const TPoint To = List->ClientToScreen(Middle(List->ItemRect(3)));
    GuiTest::MousePress(Dialog->Handle(), POINT{From.X, From.Y});
    GuiTest::Drain();
    GuiTest::MouseMove(Dialog->Handle(), POINT{To.X, To.Y});
    GuiTest::Drain();
    GuiTest::MouseRelease(Dialog->Handle(), POINT{To.X, To.Y});
    GuiTest::Drain();
    Expected.erase(Expected.begin());
    Expected.insert(Expected.begin() + 3, Moved);
    EXPECT_EQ(ManagerCategories(), Expected);
    EXPECT_EQ(Entries(Dialog->LCategories), Expected);
    EXPECT_EQ(Dialog->LCategories->ItemIndex(), 3);

    while (Manager()->Categories()->Count() > 1) {
        Services.Boxes->QueueAnswer(IDOK);
        SelectCategory(0);
        KeyOn(Dialog->LCategories, Qt::Key_Delete);
    }
    Pages->UpdatePopupItems();
    EXPECT_FALSE(Pages->PopupItem("CategoriesDelete")->Enabled());
    const size_t Asked = Services.Boxes->Asked().size();
    Entry("CategoriesDelete");
    EXPECT_EQ(Services.Boxes->Asked().size(), Asked);
    EXPECT_EQ(Manager()->Categories()->Count(), 1);
}

TEST_F(DesignDialog, TheCommandsPopupAddsDeletesMovesAndClearsCommands) {
    OpenDesigned();
    ShowPage(Dialog->TabSheet2);
    SelectCategory(0);
    const std::vector<std::string> Before = CategoryItems(0);
    ASSERT_GE(Before.size(), 3u);

    WithDialog([&] { Entry("CommandsAdd"); },
               {[] {
                    auto* Editor = ShownForm<TdxBarItemAddEditor>();
                    ASSERT_NE(Editor, nullptr);
                    EXPECT_EQ(Editor->ComboBox2->ItemIndex(), 0);
                    Editor->Edit2->SetText("Fresh");
                },
                [] { ClickControl(ShownForm<TdxBarItemAddEditor>()->BOk); }});
    std::vector<std::string> Expected = Before;
    Expected.push_back("dxBarButton1");
    EXPECT_EQ(CategoryItems(0), Expected);
    EXPECT_EQ(Commands()->Items()->Count(), int(Expected.size()));
    EXPECT_EQ(Commands()->Item(Commands()->ItemIndex())->Name(), "dxBarButton1");
    EXPECT_EQ(dxBarDesigner()->Selection(), Manager()->ItemByName("dxBarButton1"));

    // Move Up swaps the command with the one above it in the manager's order.
    TdxBarItem* Fresh = Manager()->ItemByName("dxBarButton1");
    TdxBarItem* Above = Manager()->ItemByName(Expected[Expected.size() - 2]);
    const int FreshAt = IndexOfItem(Fresh), AboveAt = IndexOfItem(Above);
    Entry("CommandsMoveUp");
    EXPECT_EQ(IndexOfItem(Fresh), AboveAt);
    EXPECT_EQ(IndexOfItem(Above), FreshAt);
    std::swap(Expected[Expected.size() - 1], Expected[Expected.size() - 2]);
    EXPECT_EQ(CategoryItems(0), Expected);
    EXPECT_EQ(Commands()->Item(Commands()->ItemIndex()), Fresh);
    // Ctrl+Down in the list moves it back.
    KeyOn(Commands(), Qt::Key_Down, Qt::ControlModifier);
    std::swap(Expected[Expected.size() - 1], Expected[Expected.size() - 2]);
    EXPECT_EQ(CategoryItems(0), Expected);

    // Delete frees the selected command; the selection stays on the last entry.
    Entry("CommandsDelete");
    EXPECT_EQ(Manager()->ItemByName("dxBarButton1"), nullptr);
    EXPECT_EQ(CategoryItems(0), Before);
    EXPECT_EQ(Commands()->ItemIndex(), Commands()->Items()->Count() - 1);
    EXPECT_EQ(dxBarDesigner()->Selection(), nullptr);

    // Clear asks first; Cancel keeps every command.
    const std::string Category = Manager()->Categories()->Get(0);
    Services.Boxes->QueueAnswer(IDCANCEL);
    Entry("CommandsClear");
    EXPECT_EQ(CategoryItems(0), Before);
    Services.Boxes->QueueAnswer(IDOK);
    Entry("CommandsClear");
    EXPECT_TRUE(CategoryItems(0).empty());
    EXPECT_EQ(Commands()->Items()->Count(), 0);
    EXPECT_EQ(Services.Texts().back(),
              "Are you sure you want to delete all commands in the '" + Category + "' category?");
}

TEST_F(DesignDialog, SelectionsGoToTheDesignerAndComeBackOnActivation) {
    OpenDesigned();
    SelectCategory(0);
    SelectCommand(1);
    TdxBarItem* Second = Commands()->Item(1);
    EXPECT_EQ(dxBarDesigner()->Selection(), Second);
    // The designer selects another command meanwhile: the page shows it when it is refreshed.
    TdxBarItem* Exit = Manager()->ItemByName("BarButtonExit");
    ASSERT_NE(Exit, nullptr);
    dxBarDesigner()->SelectComponent(Exit);
    ShowPage(Dialog->TabSheet2);
    EXPECT_EQ(Commands()->Item(Commands()->ItemIndex()), Exit);
    EXPECT_EQ(Dialog->DescriptionLabel->Caption(), Exit->Description());
    ShowPage(Dialog->TabSheet4);
    EXPECT_EQ(Pages->AllCommands()->Items()->GetObject(Pages->AllCommands()->ItemIndex()), Exit);
    // The bars list hands its bar over too.
    ShowPage(Dialog->TabSheet1);
    ClickControl(Dialog->BarsListBox(), Middle(Dialog->BarsListBox()->ItemRect(1)));
    EXPECT_EQ(dxBarDesigner()->Selection(), Dialog->SelectedBar());
}

TEST_F(DesignDialog, AllCommandsListsCommandsWithAShortCutPropertyInThreeColumns) {
    OpenDesigned();
    ShowPage(Dialog->TabSheet4);
    TListBox* List = Pages->AllCommands();
    auto* Check = dynamic_cast<TCheckBox*>(Dialog->FindComponent("CBShowCommandsWithShortCut"));
    ASSERT_NE(Check, nullptr);
    EXPECT_TRUE(Check->Checked());
    int Buttons = 0, WithCategory = 0;
    for (int I = 0; I < Manager()->ItemCount(); ++I) {
        TdxBarItem* Item = Manager()->Items(I);
        if (Item->Category() < 0 || Item->Category() >= Manager()->Categories()->Count()) continue;
        ++WithCategory;
        if (dynamic_cast<TdxBarButton*>(Item)) ++Buttons;
    }
    ASSERT_LT(Buttons, WithCategory);
    EXPECT_EQ(List->Items()->Count(), Buttons);
    EXPECT_EQ(List->Items()->IndexOfObject(Manager()->ItemByName("dxBarSubItem1")), -1);
    ClickControl(Check);
    EXPECT_EQ(List->Items()->Count(), WithCategory);
    // Each column is as wide as its widest text.
    int Name = 0, Caption = 0, Key = 0;
    HFONT Font = Dialog->Font()->Handle();
    for (int I = 0; I < List->Items()->Count(); ++I) {
        auto* Item = static_cast<TdxBarItem*>(List->Items()->GetObject(I));
        Name = std::max<int>(Name, TextExtentOf(Font, Item->Name()).cx);
        Caption = std::max<int>(Caption, TextExtentOf(Font, Item->Caption()).cx);
        Key = std::max<int>(Key, TextExtentOf(Font, ShortCutToText(Item->ShortCut())).cx);
    }
    EXPECT_EQ(Pages->NameWidth(), Name);
    EXPECT_EQ(Pages->CaptionWidth(), Caption);
    EXPECT_EQ(Pages->ShortCutWidth(), Key);
    EXPECT_GT(Key, 0);
    // A double click opens the command in the designer.
    dxBarDesigner()->SelectComponent(nullptr);
    const TPoint P = List->ClientToScreen(Middle(List->ItemRect(0)));
    GuiTest::MouseDoubleClick(Dialog->Handle(), POINT{P.X, P.Y});
    GuiTest::Drain();
    EXPECT_EQ(dxBarDesigner()->Selection(), List->Items()->GetObject(0));
}

TEST_F(DesignDialog, GroupsAreMadeNamedFilledOrderedAndFreedOnTheGroupsPage) {
    OpenDesigned();
    ShowPage(Dialog->TabSheet5);
    TListBox* Groups = Pages->Groups();
    TListBox* Members = Pages->GroupItems();
    auto* Add = dynamic_cast<TButton*>(Dialog->FindComponent("btnGroupAdd"));
    auto* Delete = dynamic_cast<TButton*>(Dialog->FindComponent("btnGroupDelete"));
    auto* AddItems = dynamic_cast<TButton*>(Dialog->FindComponent("btnGroupItemAdd"));
    auto* DeleteItems = dynamic_cast<TButton*>(Dialog->FindComponent("btnGroupItemDelete"));
    auto* Up = dynamic_cast<TButton*>(Dialog->FindComponent("btnMoveUp"));
    auto* Down = dynamic_cast<TButton*>(Dialog->FindComponent("btnMoveDown"));
    EXPECT_FALSE(Delete->Enabled());
    EXPECT_FALSE(AddItems->Enabled());
    ClickControl(Add);
    ClickControl(Add);
    ClickControl(Add);
    EXPECT_EQ(Entries(Groups),
              (std::vector<std::string>{"dxBarGroup1", "dxBarGroup2", "dxBarGroup3"}));
    EXPECT_EQ(Manager()->GroupCount(), 3);
    EXPECT_EQ(Groups->ItemIndex(), 2);
    EXPECT_TRUE(Delete->Enabled());
    EXPECT_EQ(Groups->ItemHeight(), TextExtentOf(Dialog->Font()->Handle(), "Qq").cy + 2);

    // Add... : the add-items dialog picks a group and two commands.
    TdxBarItem* Exit = Manager()->ItemByName("BarButtonExit");
    TdxBarItem* Neu = Manager()->ItemByName("Neu1");
    WithDialog([&] { ClickControl(AddItems); },
               {[&] {
                    auto* Picker = ShownForm<TfrmAddGroupItems>();
                    ASSERT_NE(Picker, nullptr);
                    TdxBarGroupItemsListBox* List = Picker->lbGroupItems;
                    List->SetSelected(List->Items()->IndexOfObject(Manager()->Groups(0)), true);
                    List->SetSelected(List->Items()->IndexOfObject(Exit), true);
                    List->SetSelected(List->Items()->IndexOfObject(Neu), true);
                },
                [] { ClickControl(ShownForm<TfrmAddGroupItems>()->btnOk); }});
    TdxBarGroup* Group = Manager()->Groups(2);
    ASSERT_EQ(Group->Count(), 3);
    EXPECT_EQ(Entries(Members),
              (std::vector<std::string>{"dxBarGroup1", Neu->Caption(), Exit->Caption()}));

    // The arrows move the selected members by one; the buttons follow what can be done.
    Members->SetSelected(2, true);
    Members->OnClick(Members);
    EXPECT_FALSE(Down->Enabled());
    EXPECT_TRUE(Up->Enabled());
    ClickControl(Up);
    ClickControl(Up);
    EXPECT_EQ(Group->Items(0), Exit);
    EXPECT_EQ(Group->Items(1), Manager()->Groups(0));
    EXPECT_TRUE(Members->Selected(0));
    EXPECT_FALSE(Up->Enabled());
    ClickControl(DeleteItems);
    EXPECT_EQ(Group->Count(), 2);
    EXPECT_EQ(Group->IndexOf(Exit), -1);

    // Delete frees the group and selects its neighbour; Insert on the list adds one.
    Groups->SetItemIndex(1);
    Groups->OnClick(Groups);
    ClickControl(Delete);
    EXPECT_EQ(Manager()->GroupCount(), 2);
    EXPECT_EQ(Entries(Groups), (std::vector<std::string>{"dxBarGroup1", "dxBarGroup3"}));
    EXPECT_EQ(Groups->ItemIndex(), 1);
    KeyOn(Groups, Qt::Key_Insert);
    EXPECT_EQ(Entries(Groups),
              (std::vector<std::string>{"dxBarGroup1", "dxBarGroup3", "dxBarGroup2"}));
}

TEST_F(DesignDialog, CommandsAndGroupsFreedElsewhereLeaveTheDesignersLists) {
    TdxBarGroup* Kept = Manager()->AddGroup();
    static_cast<TComponent*>(Kept)->SetName("Kept");
    TdxBarGroup* Doomed = Manager()->AddGroup();
    static_cast<TComponent*>(Doomed)->SetName("Doomed");
    TdxBarItem* Exit = Manager()->ItemByName("BarButtonExit");
    TdxBarItem* Neu = Manager()->ItemByName("Neu1");
    Kept->Add(Exit);
    Kept->Add(Neu);
    OpenDesigned();
    ShowPage(Dialog->TabSheet5);
    Pages->Groups()->SetItemIndex(1);
    Pages->UpdateGroupItems();
    ASSERT_EQ(Pages->GroupItems()->Items()->Count(), 0);
    Pages->Groups()->SetItemIndex(0);
    Pages->UpdateGroupItems();
    ASSERT_EQ(Pages->GroupItems()->Items()->Count(), 2);
    ASSERT_GE(Pages->AllCommands()->Items()->IndexOfObject(Exit), 0);
    Dialog->SelectItem(Exit, true);
    ASSERT_GE(Commands()->Items()->IndexOfObject(Exit), 0);

    Exit->Free();
    EXPECT_EQ(Pages->AllCommands()->Items()->IndexOfObject(Exit), -1);
    EXPECT_EQ(Commands()->Items()->IndexOfObject(Exit), -1);
    EXPECT_EQ(Pages->GroupItems()->Items()->IndexOfObject(Exit), -1);
    EXPECT_EQ(Pages->GroupItems()->Items()->Count(), 1);
    Doomed->Free();
    EXPECT_EQ(Entries(Pages->Groups()), std::vector<std::string>{"Kept"});
    // What is left paints (a freed entry would be read while painting).
    for (TTabSheet* Page : {Dialog->TabSheet2, Dialog->TabSheet4, Dialog->TabSheet5}) {
        ShowPage(Page);
        Dialog->Repaint();
        GuiTest::Drain();
    }
    EXPECT_EQ(Pages->GroupItems()->Items()->GetObject(0), Neu);
}

TEST_F(DesignDialog, TheSubMenuEditorOpensTheSubItemsMenuUnderItsCaption) {
    OpenDesigned();
    auto* Sub = dynamic_cast<TCustomdxBarSubItem*>(Manager()->ItemByName("dxBarSubItem1"));
    ASSERT_NE(Sub, nullptr);
    Dialog->SelectItem(Sub, true);
    ShowPage(Dialog->TabSheet4);
    Pages->UpdatePopupItems();
    EXPECT_TRUE(Pages->PopupItem("CommandsSubMenuEditor")->Enabled());
    Entry("CommandsSubMenuEditor");
    GuiTest::Drain();
    TdxBarSubMenuEditor* Editor = GetSubMenuEditor();
    ASSERT_NE(Editor, nullptr);
    // The designed dialog shows its commands while a submenu is edited.
    EXPECT_EQ(Dialog->PageControl->ActivePage(), Dialog->TabSheet2);
    EXPECT_EQ(Editor->Caption(), "VizirizEvev SubMenu Editor");
    EXPECT_EQ(Editor->ClientHeight(), 0);
    EXPECT_EQ(Editor->ItemLinks(), Sub->ItemLinks());
    EXPECT_EQ(GetWindow(Editor->Handle(), GW_OWNER), Form()->Handle());
    ASSERT_NE(Editor->SubMenu(), nullptr);
    RECT E{}, M{};
    GetWindowRect(Editor->Handle(), &E);
    GetWindowRect(Editor->SubMenu()->Handle(), &M);
    EXPECT_EQ(M.left, E.left);
    EXPECT_EQ(M.top, E.bottom);
    EXPECT_EQ(E.right - E.left, M.right - M.left);
    // The menu goes along when the editor moves.
    Editor->SetBounds(Editor->Left() + 40, Editor->Top() + 30, Editor->Width(), Editor->Height());
    GuiTest::Drain();
    GetWindowRect(Editor->Handle(), &E);
    GetWindowRect(Editor->SubMenu()->Handle(), &M);
    EXPECT_EQ(M.left, E.left);
    EXPECT_EQ(M.top, E.bottom);

    // The close box closes the menu and the editor.
    SendMessage(Editor->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    GuiTest::Drain();
    EXPECT_EQ(GetSubMenuEditor(), nullptr);
    EXPECT_EQ(Sub->ItemLinks()->BarControl(), nullptr);
}

TEST_F(DesignDialog, TheSubMenuEditorGoesWithItsSubItemAndWithTheDialog) {
    OpenDesigned();
    auto* Sub = dynamic_cast<TCustomdxBarSubItem*>(Manager()->ItemByName("dxBarSubItem2"));
    ASSERT_NE(Sub, nullptr);
    ShowSubMenuEditor(Sub->ItemLinks());
    GuiTest::Drain();
    ASSERT_NE(GetSubMenuEditor(), nullptr);
    Sub->Free();
    GuiTest::Drain();
    EXPECT_EQ(GetSubMenuEditor(), nullptr);

    auto* Other = dynamic_cast<TCustomdxBarSubItem*>(Manager()->ItemByName("dxBarSubItem3"));
    ASSERT_NE(Other, nullptr);
    ShowSubMenuEditor(Other->ItemLinks());
    GuiTest::Drain();
    ASSERT_NE(GetSubMenuEditor(), nullptr);
    ShowCustomizingForm(Manager(), false);
    GuiTest::Drain();
    EXPECT_EQ(GetSubMenuEditor(), nullptr);
    EXPECT_EQ(Other->ItemLinks()->BarControl(), nullptr);
}

TEST_F(DesignDialog, AGroupRenamedElsewhereShowsItsNewNameOnTheGroupsPage) {
    TdxBarGroup* Group = Manager()->AddGroup();
    static_cast<TComponent*>(Group)->SetName("Alt");
    OpenDesigned();
    ShowPage(Dialog->TabSheet5);
    ASSERT_EQ(Entries(Pages->Groups()), std::vector<std::string>{"Alt"});
    static_cast<TComponent*>(Group)->SetName("Neu");
    EXPECT_EQ(Entries(Pages->Groups()), std::vector<std::string>{"Neu"});
}

// Like the dialog, the sub-menu editor is hidden with the form being designed and comes back
// with it (with its menu, and without taking the activation).
TEST_F(DesignDialog, TheSubMenuEditorIsHiddenAndShownWithItsForm) {
    OpenDesigned();
    auto* Sub = dynamic_cast<TCustomdxBarSubItem*>(Manager()->ItemByName("dxBarSubItem1"));
    ASSERT_NE(Sub, nullptr);
    ShowSubMenuEditor(Sub->ItemLinks());
    GuiTest::Drain();
    TdxBarSubMenuEditor* Editor = GetSubMenuEditor();
    ASSERT_NE(Editor, nullptr);
    ASSERT_NE(Editor->SubMenu(), nullptr);
    ShowWindow(Form()->Handle(), SW_HIDE);
    GuiTest::Drain();
    EXPECT_FALSE(IsWindowVisible(Dialog->Handle()));
    EXPECT_FALSE(IsWindowVisible(Editor->Handle()));
    EXPECT_EQ(Editor->SubMenu(), nullptr);
    ShowWindow(Form()->Handle(), SW_SHOW);
    GuiTest::Drain();
    EXPECT_TRUE(IsWindowVisible(Dialog->Handle()));
    ASSERT_EQ(GetSubMenuEditor(), Editor);
    EXPECT_TRUE(IsWindowVisible(Editor->Handle()));
    EXPECT_NE(GetActiveWindow(), Editor->Handle());
    ASSERT_NE(Editor->SubMenu(), nullptr);
    EXPECT_TRUE(IsWindowVisible(Editor->SubMenu()->Handle()));
}

TEST_F(Customize, AtRunTimeTheDesignersPagesAndButtonsStayAway) {
    TdxBarCustomizingForm* Dialog = Open();
    ASSERT_NE(Dialog, nullptr);
    EXPECT_EQ(Dialog->DesignPages(), nullptr);
    EXPECT_FALSE(Dialog->TabSheet4->TabVisible());
    EXPECT_FALSE(Dialog->TabSheet5->TabVisible());
    EXPECT_EQ(Dialog->FindComponent("BarManager1"), nullptr);
}

}  // namespace

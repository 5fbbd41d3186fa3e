#include "bars/customize/dxBarCustFormDesign.h"

#include <algorithm>

#include "bars/customize/dxBarAddGroupItemsEd.h"
#include "bars/customize/dxBarCustForm.h"
#include "bars/customize/dxBarCustLists.h"
#include "bars/customize/dxBarItemEd.h"
#include "bars/customize/dxBarNameEd.h"
#include "bars/customize/dxBarPopupMenuEd.h"
#include "bars/look/dxBarDraw.h"
#include "bars/model/dxBarCategories.h"
#include "bars/model/dxBarContainerItems.h"
#include "bars/model/dxBarGroups.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarStoredValues.h"
#include "bars/model/dxBarStrings.h"
#include "bars/model/dxBarTypes.h"
#include "bars/model/dxBarWindowItems.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarDock.h"
#include "bars/windows/dxBarDropDownList.h"
#include "bars/windows/dxBarEditControls.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarPopupMenus.h"
#include "bars/windows/dxBarToolbar.h"
#include "platform/actions/ShortCuts.h"
#include "platform/controls/ListBox.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/dialogs/DialogTexts.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/forms/Errors.h"
#include "platform/shell/Dialogs.h"

namespace dxBarCustFormDesign {

namespace {

template <class T>
T* Part(TComponent* Form, const std::string& Name) {
    auto* Found = dynamic_cast<T*>(Form->FindComponent(Name));
    if (!Found) throw EComponentError("Customize: control " + Name + " is missing");
    return Found;
}

// The entries of the items-visible combo, in the order of TdxBarItemVisible.
constexpr const char* kItemsVisible[] = {"Never", "InCustomizing", "Always"};
constexpr const char* kGroupBase = "dxBarGroup";

bool Ask(int Question, const std::string& Name) {
    const std::string Text = FormatDialogText(dxBarString(Question).c_str(), TypedText(Name));
    return MessageBox(Text, Forms.Title(), MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
}

// Whether the item's class offers a shortcut to the designer.
bool HasShortCutProperty(TdxBarItem* Item) {
    void* Obj = nullptr;
    return FindProperty(InstanceOf(Item), "ShortCut", Obj) != nullptr;
}

int TextWidth(HFONT Font, const std::string& Text) {
    return int(TextExtentOf(Font, Text).cx);
}

}  // namespace

// ---- the popup buttons --------------------------------------------------------------------------

TCheckableButton::TCheckableButton(TComponent* AOwner) : TSpeedButton(AOwner) {
    SetFlat(true);
}

void TCheckableButton::Click() {
    TSpeedButton::Click();
    if (!PopupMenu) return;
    const TPoint At = ClientToScreen(TPoint{0, Height()});
    PopupMenu->Popup(At.X, At.Y);
}

// ---- building
// -------------------------------------------------------------------------------------

class TDesignPages::TWatcher : public TComponent {
  public:
    explicit TWatcher(TDesignPages* Pages) : TComponent(nullptr), FPages(Pages) {}

  protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove) FPages->ComponentFreed(AComponent);
    }

  private:
    TDesignPages* FPages;
};

TDesignPages::TDesignPages(TdxBarCustomizingForm* Form)
    : FForm(Form), FWatcher(new TWatcher(this)) {
    // The popups are the framework's own menus, run by a manager of the dialog.
    FDialogManager = new TdxBarManager(Form);
    static_cast<TComponent*>(FDialogManager)->SetName("BarManager1");
    if (TdxBarManager* Customized = Form->BarManager()) {
        FDialogManager->SetFont(Customized->Font());
        FDialogManager->SetStyle(Customized->Style());
    }
    CreatePopupMenus();
}

TDesignPages::~TDesignPages() {
    FWatcher->Free();
    // Bars are no components: nobody would tell the designer when one goes.
    if (!dynamic_cast<TComponent*>(dxBarDesigner()->Selection()))
        dxBarDesigner()->SelectComponent(nullptr);
}

namespace {

// The entries of the two popups, in their order. The combo sets the category's items'
// visibility; the others are buttons running an operation of the pages.
enum class TEntryKind { Button, Check, ItemsVisibleCombo };
struct TPopupEntry {
    bool Commands;
    const char* Name;
    int Caption;
    WORD Key;
    bool Ctrl;
    bool BeginGroup;
    TEntryKind Kind;
    void (TDesignPages::*Action)();
};

constexpr TPopupEntry kPopupEntries[] = {
    {false, "CategoriesAdd", kdxBarAdd, 0, false, false, TEntryKind::Button,
     &TDesignPages::CategoriesAdd},
    {false, "CategoriesInsert", kdxBarInsert, VK_INSERT, false, false, TEntryKind::Button,
     &TDesignPages::CategoriesInsert},
    {false, "CategoriesRename", kdxBarRename, 0, false, false, TEntryKind::Button,
     &TDesignPages::CategoriesRename},
    {false, "CategoriesVisible", kdxBarVisible, 0, false, false, TEntryKind::Check,
     &TDesignPages::CategoriesToggleVisible},
    {false, "CategoriesItemsVisible", 0, 0, false, false, TEntryKind::ItemsVisibleCombo, nullptr},
    {false, "CategoriesDelete", kdxBarDelete, VK_DELETE, false, true, TEntryKind::Button,
     &TDesignPages::CategoriesDelete},
    {true, "CommandsAdd", kdxBarAdd, VK_INSERT, false, false, TEntryKind::Button,
     &TDesignPages::CommandsAdd},
    {true, "CommandsDelete", kdxBarDelete, VK_DELETE, false, false, TEntryKind::Button,
     &TDesignPages::CommandsDelete},
    {true, "CommandsClear", kdxBarClear, 0, false, false, TEntryKind::Button,
     &TDesignPages::CommandsClear},
    {true, "CommandsMoveUp", kdxBarMoveUp, VK_UP, true, true, TEntryKind::Button,
     &TDesignPages::CommandsMoveUp},
    {true, "CommandsMoveDown", kdxBarMoveDown, VK_DOWN, true, false, TEntryKind::Button,
     &TDesignPages::CommandsMoveDown},
    {true, "CommandsSubMenuEditor", kdxBarSubMenuEditorEntry, 0, false, true, TEntryKind::Button,
     &TDesignPages::CommandsSubMenuEditor},
};

}  // namespace

TdxBarPopupMenu* TDesignPages::NewPopupMenu(const char* Name) {
    auto* Menu = new TdxBarPopupMenu(FForm);
    static_cast<TComponent*>(Menu)->SetName(Name);
    Menu->SetBarManager(FDialogManager);
    // The entries follow the selections each time the menu opens.
    Menu->OnPopup = [this](TObject*) { UpdatePopupItems(); };
    return Menu;
}

void TDesignPages::CreatePopupMenus() {
    FCategoriesPopupMenu = NewPopupMenu("CategoriesPopupMenu");
    FCommandsPopupMenu = NewPopupMenu("CommandsPopupMenu");
    for (const TPopupEntry& E : kPopupEntries) {
        TdxBarItem* Item = nullptr;
        if (E.Kind == TEntryKind::ItemsVisibleCombo) {
            FCategoriesItemsVisible = new TdxBarCombo(FForm);
            for (const char* Entry : kItemsVisible) FCategoriesItemsVisible->Items()->Add(Entry);
            FCategoriesItemsVisible->SetWidth(100);
            FCategoriesItemsVisible->OnChange = [this](TObject*) {
                const int Index = FCategoriesItemsVisible->ItemIndex();
                if (Index >= 0) CategoriesSetItemsVisible(TdxBarItemVisible(Index));
            };
            Item = FCategoriesItemsVisible;
        } else {
            auto* Button = new TdxBarButton(FForm);
            Button->SetCaption(dxBarString(E.Caption));
            // Shown in the menu; the lists take the keys themselves.
            if (E.Key)
                Button->SetShortCut(ShortCut(E.Key, E.Ctrl ? TShiftState{ssCtrl} : TShiftState{}));
            if (E.Kind == TEntryKind::Check) {
                Button->SetButtonStyle(bsChecked);
                FCategoriesVisible = Button;
            }
            const auto Action = E.Action;
            Button->OnClick = [this, Action](TObject*) { (this->*Action)(); };
            Item = Button;
        }
        static_cast<TComponent*>(Item)->SetName(E.Name);
        TdxBarPopupMenu* Menu = E.Commands ? FCommandsPopupMenu : FCategoriesPopupMenu;
        TdxBarItemLink* Link = Menu->ItemLinks()->Add();
        Link->SetItem(Item);
        if (E.BeginGroup) Link->SetBeginGroup(true);
    }
}

void TDesignPages::Watch(TComponent* Listed) {
    // One being freed is announcing itself: asking it now would be announced to again.
    if (Listed && !Listed->ComponentState().Contains(csDestroying))
        Listed->FreeNotification(FWatcher);
}

void TDesignPages::ComponentFreed(TComponent* Gone) {
    if (FForm->ComponentState().Contains(csDestroying)) return;
    if (!FForm->BarManager()) {
        // The manager went first: nothing is listed any more.
        for (TListBox* List : {FAllCommands, FGroups, FGroupItems})
            if (List) List->Items()->Clear();
        return;
    }
    // The manager or a group may still hold it while it is announced: the lists are filled again
    // and then lose every entry of it.
    auto Strip = [Gone](TListBox* List) {
        if (!List) return;
        for (int I = List->Items()->Count() - 1; I >= 0; --I)
            if (List->Items()->GetObject(I) == Gone) List->Items()->Delete(I);
    };
    FillAllCommands();
    Strip(FAllCommands);
    if (dynamic_cast<TdxBarItem*>(Gone) && !FDeletingCommands) {
        FForm->ItemsChanged();
        Strip(FForm->CommandsListBox());
    }
    UpdateGroups();
    Strip(FGroups);
    if (FGroups && FGroups->ItemIndex() < 0 && FGroups->Items()->Count() > 0)
        FGroups->SetItemIndex(0);
    UpdateGroupItems();
    Strip(FGroupItems);
    UpdateGroupButtons();
}

TdxBarItem* TDesignPages::PopupItem(const std::string& Name) const {
    return dynamic_cast<TdxBarItem*>(FForm->FindComponent(Name));
}

void TDesignPages::CreatePopupButtons() {
    auto Place = [this](const char* PlaceName, TdxBarPopupMenu* Menu) {
        auto* Holder = Part<TControl>(FForm, PlaceName);
        auto* Button = new TCheckableButton(FForm);
        Button->SetParent(Holder->Parent());
        Button->SetBoundsRect(Holder->BoundsRect());
        Button->SetCaption(dxBarString(kdxBarModify));
        Button->PopupMenu = Menu;
        return Button;
    };
    FCategoriesButton = Place("CategoriesPopupButtonPlace", FCategoriesPopupMenu);
    FCommandsButton = Place("CommandsPopupButtonPlace", FCommandsPopupMenu);
}

void TDesignPages::Prepare() {
    FAllCommands = Part<TListBox>(FForm, "LAllCommands");
    FShowCommandsWithShortCut = Part<TCheckBox>(FForm, "CBShowCommandsWithShortCut");
    FGroups = Part<TListBox>(FForm, "lbGroups");
    FGroupItems = Part<TListBox>(FForm, "lbGroupItems");
    FGroupAdd = Part<TButton>(FForm, "btnGroupAdd");
    FGroupDelete = Part<TButton>(FForm, "btnGroupDelete");
    FGroupItemAdd = Part<TButton>(FForm, "btnGroupItemAdd");
    FGroupItemDelete = Part<TButton>(FForm, "btnGroupItemDelete");
    FMoveUp = Part<TButton>(FForm, "btnMoveUp");
    FMoveDown = Part<TButton>(FForm, "btnMoveDown");

    // The lists' selections are the designer's.
    auto Chain = [](TNotifyEvent& Event, std::function<void()> After) {
        TNotifyEvent Before = std::move(Event);
        Event = [Before = std::move(Before), After = std::move(After)](TObject* Sender) {
            if (Before) Before(Sender);
            After();
        };
    };
    Chain(FForm->BarsListBox()->OnClick,
          [this] { dxBarDesigner()->SelectComponent(FForm->SelectedBar()); });
    // A bar is no component: the designer is told of a deleted one by the next selection.
    Chain(FForm->BBarDelete->OnClick,
          [this] { dxBarDesigner()->SelectComponent(FForm->SelectedBar()); });
    Chain(FForm->CommandsListBox()->OnClick, [this] {
        if (TdxBarItem* Item = SelectedCommand()) dxBarDesigner()->SelectComponent(Item);
    });
    FForm->CommandsListBox()->OnDblClick = [this](TObject*) {
        if (TdxBarItem* Item = SelectedCommand()) dxBarDesigner()->Edit(Item);
    };
    FForm->CommandsListBox()->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) {
        CommandKeys(Key, Shift);
    };
    FForm->LCategories->OnKeyDown = [this](TObject*, WORD& Key, TShiftState) { CategoryKeys(Key); };
    // A category pressed and let go over another entry moves there.
    FForm->LCategories->OnMouseDown = [this](TObject*, TMouseButton Button, TShiftState, int X,
                                             int Y) {
        FDragCategory = Button == mbLeft ? FForm->LCategories->ItemAtPos(TPoint{X, Y}, true) : -1;
    };
    FForm->LCategories->OnMouseUp = [this](TObject*, TMouseButton Button, TShiftState, int X,
                                           int Y) {
        const int From = FDragCategory;
        FDragCategory = -1;
        if (Button != mbLeft || From < 0) return;
        const int To = FForm->LCategories->ItemAtPos(TPoint{X, Y}, true);
        if (To >= 0 && To != From) MoveCategory(From, To);
    };

    FAllCommands->SetStyle(lbOwnerDrawFixed);
    FAllCommands->OnDrawItem = [this](TWinControl*, int Index, TRect Rect, TOwnerDrawState State) {
        DrawAllCommand(Index, Rect, State.Contains(odSelected));
    };
    FAllCommands->OnClick = [this](TObject*) {
        const int Index = FAllCommands->ItemIndex();
        if (Index >= 0)
            dxBarDesigner()->SelectComponent(
                static_cast<TdxBarItem*>(FAllCommands->Items()->GetObject(Index)));
    };
    FAllCommands->OnDblClick = [this](TObject*) {
        const int Index = FAllCommands->ItemIndex();
        if (Index >= 0)
            dxBarDesigner()->Edit(
                static_cast<TdxBarItem*>(FAllCommands->Items()->GetObject(Index)));
    };
    FShowCommandsWithShortCut->OnClick = [this](TObject*) { FillAllCommands(); };

    const int Height = TextExtentOf(FForm->Font()->Handle(), "Qq").cy + 2;
    for (TListBox* List : {FGroups, FGroupItems}) {
        List->SetStyle(lbOwnerDrawFixed);
        List->SetItemHeight(Height);
        List->OnDrawItem = [this, List](TWinControl*, int Index, TRect Rect,
                                        TOwnerDrawState State) {
            DrawGroupEntry(List, Index, Rect, State.Contains(odSelected));
        };
    }
    FGroups->OnClick = [this](TObject*) {
        UpdateGroupItems();
        if (TdxBarGroup* Group = SelectedGroup()) dxBarDesigner()->SelectComponent(Group);
    };
    FGroupItems->OnClick = [this](TObject*) { UpdateGroupButtons(); };
    FGroups->OnEnter = [this](TObject*) { FGroupItemsFocused = false; };
    FGroupItems->OnEnter = [this](TObject*) { FGroupItemsFocused = true; };
    auto GroupKeys = [this](TObject*, WORD& Key, TShiftState) {
        if (Key == VK_INSERT) {
            FGroupItemsFocused ? GroupItemAdd() : GroupAdd();
            Key = 0;
        } else if (Key == VK_DELETE) {
            FGroupItemsFocused ? GroupItemDelete() : GroupDelete();
            Key = 0;
        }
    };
    FGroups->OnKeyDown = GroupKeys;
    FGroupItems->OnKeyDown = GroupKeys;
    FGroupAdd->OnClick = [this](TObject*) { GroupAdd(); };
    FGroupDelete->OnClick = [this](TObject*) { GroupDelete(); };
    FGroupItemAdd->OnClick = [this](TObject*) { GroupItemAdd(); };
    FGroupItemDelete->OnClick = [this](TObject*) { GroupItemDelete(); };
    FMoveUp->OnClick = [this](TObject*) { GroupItemsMove(-1); };
    FMoveDown->OnClick = [this](TObject*) { GroupItemsMove(1); };

    FillAllCommands();
    UpdateGroups();
}

// ---- categories -------------------------------------------------------------------------------

int TDesignPages::SelectedCategory() {
    // While designing the list shows every category: its index is the manager's.
    return FForm->LCategories->ItemIndex();
}

void TDesignPages::SelectCategory(int Index) {
    TStrings* Entries = FForm->LCategories->Items();
    TdxBarManagerCategories* Categories = FForm->BarManager()->Categories();
    Entries->Clear();
    for (int I = 0; I < Categories->Count(); ++I) Entries->Add(Categories->Get(I));
    FForm->LCategories->SetItemIndex(std::min(Index, Entries->Count() - 1));
    FForm->CategoryClicked();
    FillAllCommands();
}

void TDesignPages::CategoriesAdd() {
    TdxBarManager* Manager = FForm->BarManager();
    std::string Name;
    if (!Manager || !ShowNameDialog(Name, TdxBarNameMode::CategoryAdd, nullptr, Manager)) return;
    Manager->Categories()->Add(Name);
    SelectCategory(Manager->Categories()->Count() - 1);
    dxBarDesigner()->Modified();
}

void TDesignPages::CategoriesInsert() {
    TdxBarManager* Manager = FForm->BarManager();
    std::string Name;
    if (!Manager || !ShowNameDialog(Name, TdxBarNameMode::CategoryInsert, nullptr, Manager)) return;
    const int At = std::max(0, SelectedCategory());
    Manager->Categories()->Insert(At, Name);
    SelectCategory(At);
    dxBarDesigner()->Modified();
}

void TDesignPages::CategoriesRename() {
    TdxBarManager* Manager = FForm->BarManager();
    const int Index = SelectedCategory();
    if (!Manager || Index < 0) return;
    std::string Name = Manager->Categories()->Get(Index);
    if (!ShowNameDialog(Name, TdxBarNameMode::CategoryRename, nullptr, Manager)) return;
    Manager->Categories()->Put(Index, Name);
    SelectCategory(Index);
    dxBarDesigner()->Modified();
}

void TDesignPages::CategoriesToggleVisible() {
    TdxBarManager* Manager = FForm->BarManager();
    const int Index = SelectedCategory();
    if (!Manager || Index < 0) return;
    Manager->SetCategoryVisible(Index, !Manager->GetCategoryVisible(Index));
    UpdatePopupItems();
    dxBarDesigner()->Modified();
}

void TDesignPages::CategoriesSetItemsVisible(TdxBarItemVisible Value) {
    TdxBarManager* Manager = FForm->BarManager();
    const int Index = SelectedCategory();
    if (!Manager || Index < 0) return;
    Manager->SetCategoryItemsVisible(Index, Value);
    FForm->ItemsChanged();
    dxBarDesigner()->Modified();
}

void TDesignPages::CategoriesDelete() {
    TdxBarManager* Manager = FForm->BarManager();
    const int Index = SelectedCategory();
    // The last category stays: every item needs one.
    if (!Manager || Index < 0 || Manager->Categories()->Count() <= 1) return;
    if (!Ask(kdxBarDeleteCategoryQuestion, Manager->Categories()->Get(Index))) return;
    FDeletingCommands = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FDeletingCommands};
    Manager->Categories()->Delete(Index);
    SelectCategory(Index);
    dxBarDesigner()->Modified();
}

void TDesignPages::MoveCategory(int From, int To) {
    TdxBarManager* Manager = FForm->BarManager();
    if (!Manager) return;
    const int Count = Manager->Categories()->Count();
    if (From < 0 || From >= Count || To < 0 || To >= Count || From == To) return;
    Manager->Categories()->Move(From, To);
    SelectCategory(To);
    dxBarDesigner()->Modified();
}

void TDesignPages::CategoryKeys(WORD& Key) {
    if (Key == VK_INSERT) {
        Key = 0;
        CategoriesInsert();
    } else if (Key == VK_DELETE) {
        Key = 0;
        CategoriesDelete();
    }
}

// ---- commands ---------------------------------------------------------------------------------

TdxBarItem* TDesignPages::SelectedCommand() {
    dxBarCustForm::TCommandsListBox* List = FForm->CommandsListBox();
    return List->Item(List->ItemIndex());
}

void TDesignPages::CommandsAdd() {
    TdxBarManager* Manager = FForm->BarManager();
    if (!Manager) return;
    TdxBarItem* Item = ShowItemAddEditor(Manager, SelectedCategory());
    if (!Item) return;
    FForm->ItemsChanged();
    FillAllCommands();
    FForm->SelectItem(Item, true);
    dxBarDesigner()->SelectComponent(Item);
}

void TDesignPages::CommandsDelete() {
    TdxBarItem* Item = SelectedCommand();
    if (!Item) return;
    dxBarDesigner()->Forget(Item);
    {
        FDeletingCommands = true;
        struct TDone {
            bool& Flag;
            ~TDone() { Flag = false; }
        } Done{FDeletingCommands};
        Item->Free();
    }
    FForm->ItemsChanged();
    FillAllCommands();
    dxBarDesigner()->Modified();
}

void TDesignPages::CommandsClear() {
    TdxBarManager* Manager = FForm->BarManager();
    const int Category = SelectedCategory();
    if (!Manager || Category < 0) return;
    if (!Ask(kdxBarClearCommandsQuestion, Manager->Categories()->Get(Category))) return;
    std::vector<TdxBarItem*> Items;
    Manager->GetItemsByCategory(Category, Items);
    {
        FDeletingCommands = true;
        struct TDone {
            bool& Flag;
            ~TDone() { Flag = false; }
        } Done{FDeletingCommands};
        for (TdxBarItem* Item : Items) {
            dxBarDesigner()->Forget(Item);
            Item->Free();
        }
    }
    FForm->ItemsChanged();
    FillAllCommands();
    dxBarDesigner()->Modified();
}

void TDesignPages::CommandsMove(int Delta) {
    TdxBarManager* Manager = FForm->BarManager();
    dxBarCustForm::TCommandsListBox* List = FForm->CommandsListBox();
    const int Index = List->ItemIndex();
    TdxBarItem* Item = List->Item(Index);
    TdxBarItem* Neighbour = List->Item(Index + Delta);
    if (!Manager || !Item || !Neighbour) return;
    int A = -1, B = -1;
    for (int I = 0; I < Manager->ItemCount(); ++I) {
        if (Manager->Items(I) == Item) A = I;
        if (Manager->Items(I) == Neighbour) B = I;
    }
    Manager->ExchangeItems(A, B);
    FForm->ItemsChanged();
    FForm->SelectItem(Item, false);
    FillAllCommands();
    dxBarDesigner()->Modified();
}

void TDesignPages::CommandsSubMenuEditor() {
    if (auto* Sub = dynamic_cast<TCustomdxBarSubItem*>(SelectedCommand()))
        ShowSubMenuEditor(Sub->ItemLinks());
}

void TDesignPages::CommandKeys(WORD& Key, TShiftState Shift) {
    const bool Ctrl = Shift.Contains(ssCtrl);
    if (Key == VK_INSERT && !Ctrl) {
        Key = 0;
        CommandsAdd();
    } else if (Key == VK_DELETE && !Ctrl) {
        Key = 0;
        CommandsDelete();
    } else if ((Key == VK_UP || Key == VK_DOWN) && Ctrl) {
        const int Delta = Key == VK_UP ? -1 : 1;
        Key = 0;
        CommandsMove(Delta);
    }
}

void TDesignPages::UpdatePopupItems() {
    TdxBarManager* Manager = FForm->BarManager();
    const int Category = SelectedCategory();
    const bool HasCategory = Manager && Category >= 0;
    PopupItem("CategoriesRename")->SetEnabled(HasCategory);
    FCategoriesVisible->SetEnabled(HasCategory);
    FCategoriesVisible->SetDown(HasCategory && Manager->GetCategoryVisible(Category));
    FCategoriesItemsVisible->SetEnabled(HasCategory);
    FCategoriesItemsVisible->SetItemIndex(
        HasCategory ? int(Manager->GetCategoryItemsVisible(Category)) : -1);
    PopupItem("CategoriesDelete")->SetEnabled(HasCategory && Manager->Categories()->Count() > 1);

    dxBarCustForm::TCommandsListBox* List = FForm->CommandsListBox();
    const int Index = List->ItemIndex();
    TdxBarItem* Item = List->Item(Index);
    PopupItem("CommandsAdd")->SetEnabled(HasCategory);
    PopupItem("CommandsDelete")->SetEnabled(Item != nullptr);
    PopupItem("CommandsClear")->SetEnabled(List->Items()->Count() > 0);
    PopupItem("CommandsMoveUp")->SetEnabled(Item && Index > 0);
    PopupItem("CommandsMoveDown")->SetEnabled(Item && Index < List->Items()->Count() - 1);
    PopupItem("CommandsSubMenuEditor")
        ->SetEnabled(dynamic_cast<TCustomdxBarSubItem*>(Item) != nullptr);
}

// ---- all commands -----------------------------------------------------------------------------

void TDesignPages::FillAllCommands() {
    if (!FAllCommands) return;
    TdxBarManager* Manager = FForm->BarManager();
    TStrings* Entries = FAllCommands->Items();
    TdxBarItem* Selected =
        FAllCommands->ItemIndex() >= 0
            ? static_cast<TdxBarItem*>(Entries->GetObject(FAllCommands->ItemIndex()))
            : nullptr;
    Entries->Clear();
    if (Manager) {
        const bool ShortCutsOnly = FShowCommandsWithShortCut->Checked();
        const int Categories = Manager->Categories()->Count();
        for (int I = 0; I < Manager->ItemCount(); ++I) {
            TdxBarItem* Item = Manager->Items(I);
            if (Item->Category() < 0 || Item->Category() >= Categories) continue;
            // The commands page lists it too.
            Watch(Item);
            if (ShortCutsOnly && !HasShortCutProperty(Item)) continue;
            Entries->AddObject(Item->Name(), Item);
        }
    }
    FAllCommands->SetItemIndex(Entries->IndexOfObject(Selected));
    UpdateAllCommandsWidths();
}

void TDesignPages::UpdateAllCommandsWidths() {
    if (!FAllCommands) return;
    HFONT Font = FForm->Font()->Handle();
    std::fill(std::begin(FWidths), std::end(FWidths), 0);
    for (int I = 0; I < FAllCommands->Items()->Count(); ++I) {
        auto* Item = static_cast<TdxBarItem*>(FAllCommands->Items()->GetObject(I));
        FWidths[0] = std::max(FWidths[0], TextWidth(Font, Item->Name()));
        FWidths[1] = std::max(FWidths[1], TextWidth(Font, Item->Caption()));
        FWidths[2] = std::max(FWidths[2], TextWidth(Font, ShortCutToText(Item->ShortCut())));
    }
    if (FAllCommands->HandleAllocated()) {
        SendMessage(FAllCommands->Handle(), LB_SETHORIZONTALEXTENT,
                    WPARAM(FWidths[0] + 15 + FWidths[1] + 10 + FWidths[2] + 5), 0);
        FAllCommands->Invalidate();
    }
}

void TDesignPages::DrawAllCommand(int Index, TRect Rect, bool Selected) {
    auto* Item = static_cast<TdxBarItem*>(FAllCommands->Items()->GetObject(Index));
    HDC DC = FAllCommands->Canvas()->Handle();
    RECT R = Rect;
    FillRect(DC, &R, GetSysColorBrush(Selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, GetSysColor(Selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const UINT Format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    const int Lines[2] = {Rect.Left + 2 + FWidths[0] + 10,
                          Rect.Left + 2 + FWidths[0] + 10 + FWidths[1] + 10};
    RECT Name{Rect.Left + 2, Rect.Top, Lines[0] - 5, Rect.Bottom};
    RECT Caption{Lines[0] + 5, Rect.Top, Lines[1] - 5, Rect.Bottom};
    RECT Key{Lines[1] + 5, Rect.Top, Rect.Right, Rect.Bottom};
    DrawText(DC, Item->Name(), &Name, Format);
    DrawText(DC, Item->Caption(), &Caption, Format);
    DrawText(DC, ShortCutToText(Item->ShortCut()), &Key, Format);
    for (int X : Lines) {
        RECT Line{X, Rect.Top, X + 1, Rect.Bottom};
        FillRect(DC, &Line, GetSysColorBrush(COLOR_BTNSHADOW));
    }
}

// ---- groups -----------------------------------------------------------------------------------

TdxBarGroup* TDesignPages::SelectedGroup() {
    const int Index = FGroups ? FGroups->ItemIndex() : -1;
    return Index >= 0 ? static_cast<TdxBarGroup*>(FGroups->Items()->GetObject(Index)) : nullptr;
}

void TDesignPages::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) UpdateGroups();
}

void TDesignPages::UpdateGroups() {
    if (!FGroups || FUpdateCount > 0) return;
    TdxBarManager* Manager = FForm->BarManager();
    TdxBarGroup* Selected = SelectedGroup();
    TStrings* Entries = FGroups->Items();
    Entries->Clear();
    if (Manager)
        for (int I = 0; I < Manager->GroupCount(); ++I) {
            Entries->AddObject(Manager->Groups(I)->Name(), Manager->Groups(I));
            Watch(Manager->Groups(I));
        }
    int Index = Entries->IndexOfObject(Selected);
    if (Index < 0 && Entries->Count() > 0) Index = 0;
    FGroups->SetItemIndex(Index);
    UpdateGroupItems();
}

void TDesignPages::UpdateGroupItems() {
    if (!FGroupItems || FUpdateCount > 0) return;
    TStrings* Entries = FGroupItems->Items();
    Entries->Clear();
    if (TdxBarGroup* Group = SelectedGroup())
        for (int I = 0; I < Group->Count(); ++I) {
            TComponent* Member = Group->Items(I);
            auto* Item = dynamic_cast<TdxBarItem*>(Member);
            Entries->AddObject(Item ? Item->Caption() : Member->Name(), Member);
            Watch(Member);
        }
    UpdateGroupButtons();
}

std::vector<int> TDesignPages::SelectedMembers() {
    std::vector<int> Out;
    for (int I = 0; I < FGroupItems->Items()->Count(); ++I)
        if (FGroupItems->Selected(I)) Out.push_back(I);
    return Out;
}

void TDesignPages::UpdateGroupButtons() {
    if (!FGroups || FUpdateCount > 0) return;
    const bool HasGroup = SelectedGroup() != nullptr;
    const std::vector<int> Members = SelectedMembers();
    const int Count = FGroupItems->Items()->Count();
    FGroupAdd->SetEnabled(FForm->BarManager() != nullptr);
    FGroupDelete->SetEnabled(HasGroup);
    FGroupItemAdd->SetEnabled(HasGroup);
    FGroupItemDelete->SetEnabled(!Members.empty());
    FMoveUp->SetEnabled(!Members.empty() && Members.front() > 0);
    FMoveDown->SetEnabled(!Members.empty() && Members.back() < Count - 1);
}

void TDesignPages::GroupAdd() {
    TdxBarManager* Manager = FForm->BarManager();
    if (!Manager) return;
    TdxBarGroup* Group = Manager->AddGroup();
    static_cast<TComponent*>(Group)->SetName(
        dxBarDesigner()->UniqueName(Manager->OwnerForm(), kGroupBase));
    UpdateGroups();
    FGroups->SetItemIndex(FGroups->Items()->IndexOfObject(Group));
    UpdateGroupItems();
    dxBarDesigner()->SelectComponent(Group);
    dxBarDesigner()->Modified();
}

void TDesignPages::GroupDelete() {
    TdxBarGroup* Group = SelectedGroup();
    if (!Group) return;
    const int Index = FGroups->ItemIndex();
    dxBarDesigner()->Forget(Group);
    // The page is filled once, when the group has gone.
    BeginUpdate();
    Group->Free();
    EndUpdate();
    FGroups->SetItemIndex(std::min(Index, FGroups->Items()->Count() - 1));
    UpdateGroupItems();
    dxBarDesigner()->Modified();
}

void TDesignPages::GroupItemAdd() {
    TdxBarGroup* Group = SelectedGroup();
    if (!Group) return;
    std::vector<TComponent*> Picked;
    if (!ShowAddGroupItems(Group, Picked)) return;
    for (TComponent* Member : Picked) {
        try {
            Group->Add(Member);
        } catch (const EdxBarError& E) {
            // A group that holds this one: the rest is added all the same.
            MessageBox(E.Message(), Forms.Title(), MB_OK | MB_ICONSTOP);
        }
    }
    UpdateGroupItems();
    dxBarDesigner()->Modified();
}

void TDesignPages::GroupItemDelete() {
    TdxBarGroup* Group = SelectedGroup();
    const std::vector<int> Members = SelectedMembers();
    if (!Group || Members.empty()) return;
    std::vector<TComponent*> Gone;
    for (int I : Members) Gone.push_back(Group->Items(I));
    for (TComponent* Member : Gone) Group->Remove(Member);
    UpdateGroupItems();
    FGroupItems->SetItemIndex(std::min(Members.front(), FGroupItems->Items()->Count() - 1));
    if (FGroupItems->ItemIndex() >= 0) FGroupItems->SetSelected(FGroupItems->ItemIndex(), true);
    UpdateGroupButtons();
    dxBarDesigner()->Modified();
}

void TDesignPages::GroupItemsMove(int Delta) {
    TdxBarGroup* Group = SelectedGroup();
    const std::vector<int> Members = SelectedMembers();
    if (!Group || Members.empty()) return;
    const int Count = Group->Count();
    if ((Delta < 0 && Members.front() == 0) || (Delta > 0 && Members.back() == Count - 1)) return;
    std::vector<TComponent*> Order;
    for (int I = 0; I < Count; ++I) Order.push_back(Group->Items(I));
    std::vector<char> Chosen(size_t(Count), 0);
    for (int I : Members) Chosen[size_t(I)] = true;
    // Each chosen member changes place with the neighbour in the direction of the move.
    if (Delta < 0) {
        for (int I = 1; I < Count; ++I)
            if (Chosen[size_t(I)] && !Chosen[size_t(I - 1)]) {
                std::swap(Order[size_t(I)], Order[size_t(I - 1)]);
                std::swap(Chosen[size_t(I)], Chosen[size_t(I - 1)]);
            }
    } else {
        for (int I = Count - 2; I >= 0; --I)
            if (Chosen[size_t(I)] && !Chosen[size_t(I + 1)]) {
                std::swap(Order[size_t(I)], Order[size_t(I + 1)]);
                std::swap(Chosen[size_t(I)], Chosen[size_t(I + 1)]);
            }
    }
    // The group keeps its members in the order they were added.
    for (TComponent* Member : Order) Group->Remove(Member);
    for (TComponent* Member : Order) Group->Add(Member);
    UpdateGroupItems();
    for (int I = 0; I < Count; ++I) FGroupItems->SetSelected(I, Chosen[size_t(I)] != 0);
    UpdateGroupButtons();
    dxBarDesigner()->Modified();
}

void TDesignPages::DrawGroupEntry(TListBox* List, int Index, TRect Rect, bool Selected) {
    auto* Member = static_cast<TComponent*>(List->Items()->GetObject(Index));
    TCanvas* Canvas = List->Canvas();
    const bool Group = dynamic_cast<TdxBarGroup*>(Member) != nullptr;
    Canvas->Font().SetStyle(Group ? TFontStyles{fsBold} : TFontStyles{});
    HDC DC = Canvas->Handle();
    RECT R = Rect;
    FillRect(DC, &R, GetSysColorBrush(Selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, GetSysColor(Selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    R.left += 2;
    DrawText(DC, List->Items()->Get(Index), &R, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

// ---- refreshing -------------------------------------------------------------------------------

void TDesignPages::Refresh() {
    TTabSheet* Page = FForm->PageControl->ActivePage();
    TPersistent* Selection = dxBarDesigner()->Selection();
    if (Page == FForm->TabSheet1) {
        FForm->UpdateBarButtons();
    } else if (Page == FForm->TabSheet2) {
        auto* Item = dynamic_cast<TdxBarItem*>(Selection);
        if (Item && Item->BarManager() == FForm->BarManager())
            FForm->SelectItem(Item, false);
        else
            FForm->UpdateCommands();
    } else if (Page == FForm->TabSheet4) {
        if (auto* Item = dynamic_cast<TdxBarItem*>(Selection))
            FAllCommands->SetItemIndex(FAllCommands->Items()->IndexOfObject(Item));
    } else if (Page == FForm->TabSheet5) {
        UpdateGroups();
    }
}

}  // namespace dxBarCustFormDesign

// ---- the entry points
// -----------------------------------------------------------------------------

namespace {

dxBarCustFormDesign::TDesignPages* OpenDesignPages() {
    TdxBarCustomizingForm* Form = GetCustomizingForm();
    return Form ? Form->DesignPages() : nullptr;
}

}  // namespace

void CustomizingFormUpdateAllCommandsWidths() {
    if (auto* Pages = OpenDesignPages()) Pages->UpdateAllCommandsWidths();
}

void CustomizingFormUpdateGroups() {
    if (auto* Pages = OpenDesignPages()) Pages->UpdateGroups();
}

void CustomizingFormUpdateGroupItems() {
    if (auto* Pages = OpenDesignPages()) Pages->UpdateGroupItems();
}

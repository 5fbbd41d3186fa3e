#pragma once
// What the customizing dialog adds while its manager is in a form designer's hands: the
// "... modify" buttons with the popups that edit categories and commands, the All commands page
// (every command with its name, caption and shortcut) and the Groups page (the manager's item
// groups and their members). Selections go to the designer; commands are made by the item
// editor, group members picked in the add-items dialog, and submenus edited in the sub-menu
// editor.
#include <memory>
#include <string>
#include <vector>

#include "bars/customize/dxBarDesigner.h"
#include "bars/model/dxBarTypes.h"
#include "platform/widgets/Buttons.h"

class TComponent;
class TdxBarButton;
class TdxBarCombo;
class TdxBarCustomizingForm;
class TdxBarGroup;
class TdxBarItem;
class TdxBarManager;
class TdxBarPopupMenu;
class TListBox;
class TCheckBox;
class TButton;
class TPersistent;
class TTabSheet;

namespace dxBarCustFormDesign {

// A flat button that shows its popup menu under itself.
class TCheckableButton : public TSpeedButton {
  public:
    explicit TCheckableButton(TComponent* AOwner);
    TdxBarPopupMenu* PopupMenu = nullptr;
    void Click() override;
};

class TDesignPages {
  public:
    explicit TDesignPages(TdxBarCustomizingForm* Form);
    ~TDesignPages();

    // The popup buttons take the places of the two place-holders.
    void CreatePopupButtons();
    // The two designer pages and the selections passed to the designer.
    void Prepare();

    TdxBarManager* DialogManager() const { return FDialogManager; }
    TCheckableButton* CategoriesButton() const { return FCategoriesButton; }
    TCheckableButton* CommandsButton() const { return FCommandsButton; }
    TdxBarPopupMenu* CategoriesPopupMenu() const { return FCategoriesPopupMenu; }
    TdxBarPopupMenu* CommandsPopupMenu() const { return FCommandsPopupMenu; }
    // The popup entry of that name (CategoriesAdd ... CommandsSubMenuEditor).
    TdxBarItem* PopupItem(const std::string& Name) const;
    bool DeletingCommands() const { return FDeletingCommands; }

    // --- the categories popup
    void CategoriesAdd();
    void CategoriesInsert();
    void CategoriesRename();
    void CategoriesToggleVisible();
    void CategoriesSetItemsVisible(TdxBarItemVisible Value);
    void CategoriesDelete();
    // Drags a category within its list to another place.
    void MoveCategory(int From, int To);
    // --- the commands popup
    void CommandsAdd();
    void CommandsDelete();
    void CommandsClear();
    void CommandsMove(int Delta);
    void CommandsMoveUp() { CommandsMove(-1); }
    void CommandsMoveDown() { CommandsMove(1); }
    void CommandsSubMenuEditor();
    // The entries follow the selections.
    void UpdatePopupItems();

    // --- the all commands page
    TListBox* AllCommands() const { return FAllCommands; }
    void FillAllCommands();
    void UpdateAllCommandsWidths();
    int NameWidth() const { return FWidths[0]; }
    int CaptionWidth() const { return FWidths[1]; }
    int ShortCutWidth() const { return FWidths[2]; }

    // --- the groups page
    TListBox* Groups() const { return FGroups; }
    TListBox* GroupItems() const { return FGroupItems; }
    TdxBarGroup* SelectedGroup();
    void UpdateGroups();
    void UpdateGroupItems();
    void UpdateGroupButtons();
    void GroupAdd();
    void GroupDelete();
    void GroupItemAdd();
    void GroupItemDelete();
    void GroupItemsMove(int Delta);
    // The update counter: the groups page is refreshed when it returns to 0.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

    // The current page shows the designer's selection and what changed meanwhile.
    void Refresh();

  private:
    class TWatcher;
    // The lists hold the manager's items and groups: each listed one is watched, and one freed
    // elsewhere leaves the lists at once.
    void Watch(TComponent* Listed);
    void ComponentFreed(TComponent* Gone);
    TdxBarPopupMenu* NewPopupMenu(const char* Name);
    void CreatePopupMenus();
    int SelectedCategory();
    TdxBarItem* SelectedCommand();
    void SelectCategory(int Index);
    void CategoryKeys(WORD& Key);
    void CommandKeys(WORD& Key, TShiftState Shift);
    void DrawAllCommand(int Index, TRect Rect, bool Selected);
    void DrawGroupEntry(TListBox* List, int Index, TRect Rect, bool Selected);
    std::vector<int> SelectedMembers();

    TdxBarCustomizingForm* FForm;
    TdxBarManager* FDialogManager = nullptr;
    TdxBarPopupMenu* FCategoriesPopupMenu = nullptr;
    TdxBarPopupMenu* FCommandsPopupMenu = nullptr;
    TdxBarButton* FCategoriesVisible = nullptr;
    TdxBarCombo* FCategoriesItemsVisible = nullptr;
    TCheckableButton* FCategoriesButton = nullptr;
    TCheckableButton* FCommandsButton = nullptr;
    TListBox* FAllCommands = nullptr;
    TCheckBox* FShowCommandsWithShortCut = nullptr;
    TListBox* FGroups = nullptr;
    TListBox* FGroupItems = nullptr;
    TButton* FGroupAdd = nullptr;
    TButton* FGroupDelete = nullptr;
    TButton* FGroupItemAdd = nullptr;
    TButton* FGroupItemDelete = nullptr;
    TButton* FMoveUp = nullptr;
    TButton* FMoveDown = nullptr;
    int FWidths[3] = {0, 0, 0};
    int FUpdateCount = 0;
    bool FDeletingCommands = false;
    // The group members list had the focus last (Insert and Delete act on it).
    bool FGroupItemsFocused = false;
    // The category pressed in its list, while the mouse may drag it elsewhere.
    int FDragCategory = -1;
    TWatcher* FWatcher = nullptr;
};

}  // namespace dxBarCustFormDesign

// What the manager tells an open dialog's designer pages (nothing when there is none, or when
// the manager is not designed).
void CustomizingFormUpdateAllCommandsWidths();
void CustomizingFormUpdateGroups();
void CustomizingFormUpdateGroupItems();

#pragma once
// The "Customize" dialog of a bar manager: one at a time in the process. While it is open the
// manager customizes and every form that owns a manager is disabled (the bars are handled through
// the manager's hooks, the dialog alone takes the keyboard). The entry points below are what the
// manager, bars and items call; each does nothing while no dialog is open.
//
// Run-time pages: Toolbars (show, hide, make, rename, delete and reset toolbars), Commands (the
// commands of a category, dragged from here onto the bars) and Options (the manager's look and its
// personalized menus). While the manager is in a form designer's hands (csDesigning) the dialog
// also has the designer's pages and popups (dxBarCustFormDesign.h).
#include <memory>
#include <string>

#include "platform/widgets/Buttons.h"
#include "platform/widgets/ComCtrls.h"
#include "platform/widgets/ComboBoxes.h"
#include "platform/widgets/ExtCtrls.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/ListBoxes.h"
#include "platform/widgets/StdCtrls.h"

class TdxBar;
class TdxBarItem;
class TdxBarManager;

namespace dxBarCustForm {
class TCheckListBox;
class TCommandsListBox;
}  // namespace dxBarCustForm
namespace dxBarCustFormDesign {
class TDesignPages;
}  // namespace dxBarCustFormDesign

class TdxBarCustomizingForm : public TForm {
  public:
    TdxBarCustomizingForm(TComponent* AOwner, TdxBarManager* BarManager);
    ~TdxBarCustomizingForm() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    dxBarCustForm::TCheckListBox* BarsListBox() const { return FBarsListBox; }
    dxBarCustForm::TCommandsListBox* CommandsListBox() const { return FCommandsListBox; }
    TdxBar* SelectedBar();
    // The manager is in a form designer's hands: the designer's pages and popups are there.
    bool Designing() const;
    dxBarCustFormDesign::TDesignPages* DesignPages() const { return FDesign.get(); }

    // --- what the entry points ask of the dialog
    void UpdateAll();
    void UpdateHelpButton();
    void BarCaptionChanged(TdxBar* Bar);
    // The bar goes: its entry goes at once (the list would paint a freed bar).
    void BarDestroyed(TdxBar* Bar);
    // Hidden and shown with the form whose bars it customizes, with its sub-menu editor.
    void FollowOwnerForm(bool Shown);
    void UpdateCommands();
    void SelectItem(TdxBarItem* Item, bool Force);
    void ItemsChanged();
    // Loads the options of the manager's style into the panel that shows them.
    void UpdateOptions();
    // The dialog's look follows the manager's style.
    void UpdateLook();
    // The current page follows what changed while the dialog was inactive.
    void RefreshPage();

    // --- the toolbars page
    void NewBar();
    void RenameBar();
    void DeleteBar();
    void ResetBar();
    void UpdateBarButtons();

    // --- from the definition
    TPanel* Panel1 = nullptr;
    TPanel* PanelCloseMargin = nullptr;
    TButton* BClose = nullptr;
    TBitBtn* BHelp = nullptr;
    TPageControl* PageControl = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TTabSheet* TabSheet2 = nullptr;
    TTabSheet* TabSheet3 = nullptr;
    TTabSheet* TabSheet4 = nullptr;
    TTabSheet* TabSheet5 = nullptr;
    TLabel* LabelToobars = nullptr;
    TButton* BBarNew = nullptr;
    TButton* BBarRename = nullptr;
    TButton* BBarDelete = nullptr;
    TButton* BBarReset = nullptr;
    TLabel* LabelCategories = nullptr;
    TLabel* LabelCommands = nullptr;
    TLabel* LabelDescription = nullptr;
    TLabel* DescriptionLabel = nullptr;
    TListBox* LCategories = nullptr;
    TPanel* StandardOptionsPanel = nullptr;
    TPanel* EnhancedOptionsPanel = nullptr;
    TButton* BResetUsageData = nullptr;

    void FormCreate(TObject* Sender);

  protected:
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void DoClose(TCloseAction& Action) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    friend class dxBarCustFormDesign::TDesignPages;
    template <class T>
    T* Part(const std::string& Name);
    void SetCaptions();
    void PlaceCloseButton();
    // The list goes where the definition's place-holder was, which goes.
    void TakePlace(TListBox* List, const std::string& PlaceName);
    void CreateBarsList();
    void CreateCommandsList();
    // The texts, handlers and sizes of one options panel (the standard or the enhanced one),
    // once.
    void PrepareOptions(bool Standard);
    void FillBars();
    void FillCategories();
    void CategoryClicked();
    void CommandClicked();
    void OptionClicked(TObject* Sender);
    void UpdateOptionsEnabled();
    bool StandardOptions() const;

    TdxBarManager* FBarManager;
    dxBarCustForm::TCheckListBox* FBarsListBox = nullptr;
    dxBarCustForm::TCommandsListBox* FCommandsListBox = nullptr;
    // The options being loaded into the controls: their clicks write nothing back.
    bool FLoadingOptions = false;
    // The standard and the enhanced options panel got their texts and handlers.
    bool FOptionsPrepared[2] = {false, false};
    std::unique_ptr<dxBarCustFormDesign::TDesignPages> FDesign;
};

// Opens (Show) or closes the dialog for a manager, switching the manager's customizing mode on
// and off with it. A second open while a dialog exists does nothing; closing leaves another
// manager's dialog open.
void ShowCustomizingForm(TdxBarManager* Manager, bool Show);
TdxBarCustomizingForm* GetCustomizingForm();

// What the manager, its bars and items tell the open dialog.
void CustomizingFormUpdateAll();
void CustomizingFormUpdateHelpButton();
void CustomizingFormBarCaptionChanged(TdxBar* Bar);
void CustomizingFormBarDestroyed(TdxBar* Bar);
void CustomizingFormOwnerFormShown(bool Shown);
void CustomizingFormUpdateCommands();
void CustomizingFormSelectItem(TdxBarItem* Item, bool Force);
void CustomizingFormItemsChanged();
void CustomizingFormUpdateOptions();

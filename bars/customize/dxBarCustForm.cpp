#include "bars/customize/dxBarCustForm.h"

#include <algorithm>
#include <vector>

#include "bars/customize/dxBarCustFormDesign.h"
#include "bars/customize/dxBarCustLists.h"
#include "bars/customize/dxBarCustomizeEntry.h"
#include "bars/customize/dxBarCustomizingPopup.h"
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
#include "bars/windows/dxBarHooks.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarPopupMenus.h"
#include "bars/windows/dxBarToolbar.h"
#include "platform/classes/FlagScope.h"
#include "platform/classes/Mnemonics.h"
#include "platform/core/Paint.h"
#include "platform/core/Screens.h"
#include "platform/dialogs/DialogTexts.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/forms/Errors.h"
#include "platform/shell/Dialogs.h"

namespace {

// The one dialog of the process, and the forms it disabled when it opened.
struct TCustomizing {
    TdxBarCustomizingForm* Form = nullptr;
    bool Closing = false;
    std::vector<HWND> Disabled;
};

TCustomizing& Customizing() {
    static TCustomizing State;
    return State;
}

// Captions the dialog takes from the framework's texts.
struct TCaption {
    const char* Control;
    int Text;
};

constexpr TCaption kCaptions[] = {
    {"TabSheet1", kdxBarTabToolbars},       {"TabSheet2", kdxBarTabCommands},
    {"TabSheet3", kdxBarTabOptions},        {"BClose", kdxBarClose},
    {"LabelToobars", kdxBarToolbarsLabel},  {"BBarNew", kdxBarNewToolbar},
    {"BBarRename", kdxBarRenameToolbar},    {"BBarDelete", kdxBarDeleteToolbar},
    {"BBarReset", kdxBarResetBar},          {"LabelCategories", kdxBarCategoriesLabel},
    {"LabelCommands", kdxBarCommandsLabel}, {"LabelDescription", kdxBarDescriptionLabel},
};

// The options: each check box writes one property of the manager. The standard panel has no
// personalized menus.
struct TCheckOption {
    const char* Standard;
    const char* Enhanced;
    int Caption;
    bool (TdxBarManager::*Get)() const;
    void (TdxBarManager::*Set)(bool);
    // The option that must be on for this one to matter (an index here, -1 for none).
    int DependsOn;
};

constexpr TCheckOption kCheckOptions[] = {
    {"CBLargeIcons", "CBLargeIconsEx", kdxBarLargeIcons, &TdxBarManager::LargeIcons,
     &TdxBarManager::SetLargeIcons, -1},
    {"CBHint1", "CBHint1Ex", kdxBarShowHint, &TdxBarManager::ShowHint, &TdxBarManager::SetShowHint,
     -1},
    {"CBHint2", "CBHint2Ex", kdxBarShowShortCutInHint, &TdxBarManager::ShowShortCutInHint,
     &TdxBarManager::SetShowShortCutInHint, 1},
    {nullptr, "CBMenusShowRecentItemsFirst", kdxBarRecentItemsFirst,
     &TdxBarManager::MenusShowRecentItemsFirst, &TdxBarManager::SetMenusShowRecentItemsFirst, -1},
    {nullptr, "CBShowFullMenusAfterDelay", kdxBarFullMenusAfterDelay,
     &TdxBarManager::ShowFullMenusAfterDelay, &TdxBarManager::SetShowFullMenusAfterDelay, 3},
};

// The rest of each panel: the animations label and combo, and the enhanced panel's own texts.
struct TPanelParts {
    const char* AnimationsLabel;
    const char* Animations;
};
constexpr TPanelParts kStandardParts{"LabelMenuAnimations", "ComboBoxMenuAnimations"};
constexpr TPanelParts kEnhancedParts{"Label1", "ComboBoxMenuAnimationsEx"};
constexpr TCaption kEnhancedCaptions[] = {
    {"Label3", kdxBarPersonalizedMenus},
    {"Label2", kdxBarOtherOptions},
    {"BResetUsageData", kdxBarResetUsageData},
};
// In the order of TdxBarMenuAnimations.
constexpr int kAnimations[] = {kdxBarAnimationNone, kdxBarAnimationRandom, kdxBarAnimationUnfold,
                               kdxBarAnimationSlide};
// Section labels end in blanks, then a line runs to the page's edge.
constexpr std::pair<const char*, const char*> kSectionLines[] = {
    {"LabelDescription", "BevelDescription"},
    {"Label3", "BevelPersonalized"},
    {"Label2", "BevelOther"},
};

void RegisterCustomizingForm() {
    static const bool Registered = [] {
        RegisterClass<TdxBarCustomizingForm, TForm>("TdxBarCustomizingForm")
            .Method("FormCreate", &TdxBarCustomizingForm::FormCreate);
        return true;
    }();
    (void)Registered;
}

void DisableManagerForms() {
    TCustomizing& State = Customizing();
    const TdxBarManagerList& Managers = TdxBarManagerList::Instance();
    for (int I = 0; I < Managers.Count(); ++I) {
        TCustomForm* Form = Managers.Items(I)->OwnerForm();
        if (!Form || !Form->HandleAllocated() || !IsWindowEnabled(Form->Handle())) continue;
        EnableWindow(Form->Handle(), FALSE);
        State.Disabled.push_back(Form->Handle());
    }
}

void EnableManagerForms() {
    TCustomizing& State = Customizing();
    for (HWND Wnd : State.Disabled)
        if (IsWindow(Wnd)) EnableWindow(Wnd, TRUE);
    State.Disabled.clear();
}

// Ends the dialog: the forms are enabled again and the manager leaves customizing mode. From the
// dialog's own handlers it is freed on a later pass.
void EndCustomizing(bool FreeNow) {
    TCustomizing& State = Customizing();
    TdxBarCustomizingForm* Form = State.Form;
    if (!Form || State.Closing) return;
    TdxBarManager* Manager = Form->BarManager();
    {
        const TFlagScope Closing(State.Closing);
        EnableManagerForms();
        if (Manager) Manager->Customizing(false);
        State.Form = nullptr;
        FreeSubMenuEditor();
        if (FreeNow) {
            Form->Free();
        } else {
            Form->Hide();
            Form->Release();
        }
    }
    if (Manager && Manager->OnHideCustomizingForm) Manager->OnHideCustomizingForm(Manager);
}

}  // namespace

// ---- the dialog ---------------------------------------------------------------------------------

TdxBarCustomizingForm::TdxBarCustomizingForm(TComponent* AOwner, TdxBarManager* BarManager)
    : TForm(AOwner), FBarManager(BarManager) {
    if (FBarManager) FBarManager->FreeNotification(this);
}

TdxBarCustomizingForm::~TdxBarCustomizingForm() {
    if (FBarManager) FBarManager->RemoveFreeNotification(this);
    // Freed by someone else than the entry points: the process forgets the dialog all the same.
    TCustomizing& State = Customizing();
    if (State.Form == this && !State.Closing) {
        State.Form = nullptr;
        EnableManagerForms();
        if (FBarManager) FBarManager->Customizing(false);
    }
}

template <class T>
T* TdxBarCustomizingForm::Part(const std::string& Name) {
    auto* Found = dynamic_cast<T*>(FindComponent(Name));
    if (!Found) throw EComponentError("Customize: control " + Name + " is missing");
    return Found;
}

void TdxBarCustomizingForm::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    // Owned by the manager's form, so that it stays above it.
    TCustomForm* Owner = FBarManager ? FBarManager->OwnerForm() : nullptr;
    if (Owner && Owner->HandleAllocated()) Params.WndParent = Owner->Handle();
}

void TdxBarCustomizingForm::Notification(TComponent* AComponent, TOperation Operation) {
    TForm::Notification(AComponent, Operation);
    if (Operation != opRemove || AComponent != FBarManager) return;
    FBarManager = nullptr;
    if (FCommandsListBox) FCommandsListBox->SetBarManager(nullptr);
    if (Customizing().Form == this) EndCustomizing(false);
}

void TdxBarCustomizingForm::FormCreate(TObject*) {
    Panel1 = Part<TPanel>("Panel1");
    PanelCloseMargin = Part<TPanel>("PanelCloseMargin");
    BClose = Part<TButton>("BClose");
    BHelp = Part<TBitBtn>("BHelp");
    PageControl = Part<TPageControl>("PageControl");
    TabSheet1 = Part<TTabSheet>("TabSheet1");
    TabSheet2 = Part<TTabSheet>("TabSheet2");
    TabSheet3 = Part<TTabSheet>("TabSheet3");
    TabSheet4 = Part<TTabSheet>("TabSheet4");
    TabSheet5 = Part<TTabSheet>("TabSheet5");
    LabelToobars = Part<TLabel>("LabelToobars");
    BBarNew = Part<TButton>("BBarNew");
    BBarRename = Part<TButton>("BBarRename");
    BBarDelete = Part<TButton>("BBarDelete");
    BBarReset = Part<TButton>("BBarReset");
    LabelCategories = Part<TLabel>("LabelCategories");
    LabelCommands = Part<TLabel>("LabelCommands");
    LabelDescription = Part<TLabel>("LabelDescription");
    DescriptionLabel = Part<TLabel>("DescriptionLabel");
    LCategories = Part<TListBox>("LCategories");
    StandardOptionsPanel = Part<TPanel>("StandardOptionsPanel");
    EnhancedOptionsPanel = Part<TPanel>("EnhancedOptionsPanel");
    BResetUsageData = Part<TButton>("BResetUsageData");
    if (!FBarManager) return;

    Font()->SetName(FBarManager->Font()->Name());
    Font()->SetCharset(FBarManager->Font()->Charset());
    if (Designing()) FDesign = std::make_unique<dxBarCustFormDesign::TDesignPages>(this);
    SetCaptions();
    PlaceCloseButton();
    UpdateHelpButton();
    CreateBarsList();
    CreateCommandsList();
    // The panel of the style alone: the other gets its texts when a new style shows it.
    PrepareOptions(StandardOptions());
    // The designer's pages are there only while a designer holds the manager.
    TabSheet4->SetTabVisible(FDesign != nullptr);
    TabSheet5->SetTabVisible(FDesign != nullptr);
    PageControl->SetActivePage(TabSheet1);
    FillBars();
    FillCategories();

    BClose->OnClick = [this](TObject*) { Close(); };
    BHelp->OnClick = [this](TObject*) {
        if (!Designing()) FBarManager->DoHelpButtonClick();
    };
    BBarNew->OnClick = [this](TObject*) { NewBar(); };
    BBarRename->OnClick = [this](TObject*) { RenameBar(); };
    BBarDelete->OnClick = [this](TObject*) { DeleteBar(); };
    BBarReset->OnClick = [this](TObject*) { ResetBar(); };
    BResetUsageData->OnClick = [this](TObject*) { FBarManager->ResetUsageData(); };
    LCategories->OnClick = [this](TObject*) { CategoryClicked(); };
    PageControl->OnChange = [this](TObject*) { RefreshPage(); };
    if (FDesign) FDesign->Prepare();
    UpdateOptions();
    UpdateLook();
    UpdateBarButtons();
}

bool TdxBarCustomizingForm::Designing() const {
    return FBarManager && FBarManager->ComponentState().Contains(csDesigning);
}

void TdxBarCustomizingForm::SetCaptions() {
    SetCaption(dxBarString(kdxBarCustomizeFormCaption));
    for (const TCaption& C : kCaptions) Part<TControl>(C.Control)->SetCaption(dxBarString(C.Text));
    for (const auto& [Label, Bevel] : kSectionLines) {
        auto* L = Part<TLabel>(Label);
        auto* B = Part<TBevel>(Bevel);
        const int Right = B->Left() + B->Width();
        B->SetBounds(L->Left() + L->Width(), B->Top(), std::max(0, Right - L->Left() - L->Width()),
                     B->Height());
    }
}

void TdxBarCustomizingForm::PlaceCloseButton() {
    const int Width = TextExtentOf(Font()->Handle(), StripMnemonics(BClose->Caption())).cx + 49;
    BClose->SetBounds(Panel1->Width() - PanelCloseMargin->Width() - Width, BClose->Top(), Width,
                      BClose->Height());
}

void TdxBarCustomizingForm::UpdateHelpButton() {
    if (!FBarManager) return;
    BHelp->Glyph()->Assign(*FBarManager->HelpButtonGlyph());
    BHelp->SetVisible(FBarManager->ShowHelpButton());
}

void TdxBarCustomizingForm::TakePlace(TListBox* List, const std::string& PlaceName) {
    auto* Place = Part<TListBox>(PlaceName);
    List->SetParent(Place->Parent());
    List->SetBoundsRect(Place->BoundsRect());
    List->SetTabOrder(Place->TabOrder());
    Place->Free();
}

void TdxBarCustomizingForm::CreateBarsList() {
    FBarsListBox = new dxBarCustForm::TCheckListBox(this);
    TakePlace(FBarsListBox, "BarsListBoxPlace");
    FBarsListBox->SetItemHeight(TextExtentOf(Font()->Handle(), "0").cy + 2);
    FBarsListBox->OnClick = [this](TObject*) { UpdateBarButtons(); };
    LabelToobars->SetFocusControl(FBarsListBox);
    if (!FBarManager->BarsResettable() || Designing()) BBarReset->Hide();
}

void TdxBarCustomizingForm::CreateCommandsList() {
    FCommandsListBox = new dxBarCustForm::TCommandsListBox(this);
    FCommandsListBox->SetBarManager(FBarManager);
    TakePlace(FCommandsListBox, "LCommandsPlace");
    FCommandsListBox->OnClick = [this](TObject*) { CommandClicked(); };
    FCommandsListBox->OnDragItem = [this](TdxBarItem* Item) {
        if (FBarManager) FBarManager->DragItem(Item, nullptr);
    };
    LabelCommands->SetFocusControl(FCommandsListBox);
    // The designer's buttons for editing categories and commands.
    if (FDesign) FDesign->CreatePopupButtons();
    Part<TPanel>("CategoriesPopupButtonPlace")->Free();
    Part<TPanel>("CommandsPopupButtonPlace")->Free();
}

// ---- the lists
// -----------------------------------------------------------------------------------

TdxBar* TdxBarCustomizingForm::SelectedBar() {
    return FBarsListBox ? FBarsListBox->Bar(FBarsListBox->ItemIndex()) : nullptr;
}

void TdxBarCustomizingForm::FillBars() {
    TStrings* Entries = FBarsListBox->Items();
    Entries->Clear();
    TdxBars* Bars = FBarManager->Bars();
    int First = -1;
    for (int I = 0; I < Bars->Count(); ++I) {
        TdxBar* Bar = Bars->Items(I);
        if (Bar->Hidden && !Designing()) continue;
        const int Index = Entries->AddObject(Bar->Caption(), Bar);
        if (First < 0 && Bar->Visible()) First = Index;
    }
    FBarsListBox->SetItemIndex(First >= 0 ? First : (Entries->Count() > 0 ? 0 : -1));
}

void TdxBarCustomizingForm::FillCategories() {
    TStrings* Entries = LCategories->Items();
    Entries->Clear();
    TdxBarManagerCategories* Categories = FBarManager->Categories();
    for (int I = 0; I < Categories->Count(); ++I)
        if (Designing() || Categories->Visible(I)) Entries->Add(Categories->Get(I));
    LCategories->SetItemIndex(Entries->Count() > 0 ? 0 : -1);
    CategoryClicked();
}

void TdxBarCustomizingForm::CategoryClicked() {
    TStrings* Entries = FCommandsListBox->Items();
    Entries->Clear();
    // A designer sees every category, else the list shows the visible ones alone.
    const int Category = Designing() ? LCategories->ItemIndex()
                                     : FBarManager->GetRealCategoryIndex(LCategories->ItemIndex());
    if (Category >= 0) {
        std::vector<TdxBarItem*> Items;
        FBarManager->GetVisibleItemsByCategory(Category, Items);
        for (TdxBarItem* Item : Items) Entries->AddObject(Item->Caption(), Item);
    }
    DescriptionLabel->SetCaption({});
}

void TdxBarCustomizingForm::CommandClicked() {
    TdxBarItem* Item = FCommandsListBox->Item(FCommandsListBox->ItemIndex());
    DescriptionLabel->SetCaption(Item ? Item->Description() : std::string());
}

// ---- the toolbars page
// ---------------------------------------------------------------------------

void TdxBarCustomizingForm::UpdateBarButtons() {
    TdxBar* Bar = SelectedBar();
    // Only the user's own toolbars (made after the form was read) can be renamed and deleted;
    // a designer may change any.
    const bool Users = Bar && (Designing() || !Bar->Loaded());
    BBarRename->SetEnabled(Users);
    BBarDelete->SetEnabled(Users && (Designing() || Bar->CanClose()));
    BBarReset->SetEnabled(Bar && Bar->CanReset());
}

void TdxBarCustomizingForm::NewBar() {
    std::string Name;
    for (int N = 1;; ++N) {
        Name = dxBarString(kdxBarNewToolbarCaption) + std::to_string(N);
        if (!FBarManager->BarByName(Name)) break;
    }
    if (!ShowNameDialog(Name, TdxBarNameMode::ToolbarNew, nullptr, FBarManager)) return;
    TdxBar* Bar = FBarManager->Bars()->Add();
    Bar->SetCaption(Name);
    // Beside the dialog, on the left when there is room, else on its right.
    const TRect Area = ToTRect(WorkAreaAt(POINT{Left(), Top()}));
    Bar->FloatLeft = Left() - 50 < Area.Left ? Left() + Width() + 10 : Left() - 50;
    Bar->FloatTop = Top() < Area.Top ? Area.Top + 10 : Top();
    Bar->SetDockingStyle(dsNone);
    Bar->SetVisible(true);
    FBarsListBox->SetItemIndex(FBarsListBox->Items()->AddObject(Bar->Caption(), Bar));
    UpdateBarButtons();
}

void TdxBarCustomizingForm::RenameBar() {
    TdxBar* Bar = SelectedBar();
    if (!Bar) return;
    std::string Name = Bar->Caption();
    if (!ShowNameDialog(Name, TdxBarNameMode::ToolbarRename, Bar, FBarManager)) return;
    Bar->SetCaption(Name);
    BarCaptionChanged(Bar);
}

void TdxBarCustomizingForm::DeleteBar() {
    const int Index = FBarsListBox->ItemIndex();
    TdxBar* Bar = SelectedBar();
    if (!Bar) return;
    const std::string Question = FormatDialogText(dxBarString(kdxBarDeleteToolbarQuestion).c_str(),
                                                  TypedText(FBarsListBox->Items()->Get(Index)));
    if (MessageBox(Question, Forms.Title(), MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK) return;
    FBarsListBox->Items()->Delete(Index);
    FBarsListBox->SetItemIndex(std::min(Index, FBarsListBox->Items()->Count() - 1));
    Bar->SetIndex(FBarManager->Bars()->Count() - 1);
    FBarManager->Bars()->Delete(FBarManager->Bars()->Count() - 1);
    UpdateBarButtons();
}

void TdxBarCustomizingForm::ResetBar() {
    TdxBar* Bar = SelectedBar();
    if (!Bar) return;
    // The bar asks the user itself; asking here as well would ask twice.
    Bar->ResetWithConfirmation();
    // The design may bring back another caption and visibility.
    BarCaptionChanged(Bar);
    FBarsListBox->Invalidate();
}

// ---- the options page
// ----------------------------------------------------------------------------

bool TdxBarCustomizingForm::StandardOptions() const {
    return FBarManager && FBarManager->Style() == bmsStandard;
}

void TdxBarCustomizingForm::PrepareOptions(bool Standard) {
    bool& Prepared = FOptionsPrepared[Standard ? 0 : 1];
    if (Prepared) return;
    Prepared = true;
    const TPanelParts& Parts = Standard ? kStandardParts : kEnhancedParts;
    for (const TCheckOption& O : kCheckOptions) {
        const char* Name = Standard ? O.Standard : O.Enhanced;
        if (!Name) continue;
        auto* Check = Part<TCheckBox>(Name);
        Check->SetCaption(dxBarString(O.Caption));
        Check->OnClick = [this](TObject* Sender) { OptionClicked(Sender); };
    }
    if (!Standard)
        for (const TCaption& C : kEnhancedCaptions)
            Part<TControl>(C.Control)->SetCaption(dxBarString(C.Text));
    BResetUsageData->SetWidth(
        TextExtentOf(Font()->Handle(), StripMnemonics(BResetUsageData->Caption())).cx + 17);

    auto* Label = Part<TLabel>(Parts.AnimationsLabel);
    auto* Combo = Part<TComboBox>(Parts.Animations);
    Label->SetCaption(dxBarString(kdxBarMenuAnimationsLabel));
    Combo->Items()->Clear();
    int Widest = 0;
    for (int Text : kAnimations) {
        Combo->Items()->Add(dxBarString(Text));
        Widest = std::max<int>(Widest, TextExtentOf(Font()->Handle(), dxBarString(Text)).cx);
    }
    Combo->SetBounds(std::max(Combo->Left(), Label->Left() + Label->Width() + 10), Combo->Top(),
                     Widest + 54, Combo->Height());
    Combo->OnChange = [this, Combo](TObject*) {
        if (!FLoadingOptions && FBarManager && Combo->ItemIndex() >= 0)
            FBarManager->SetMenuAnimations(TdxBarMenuAnimations(Combo->ItemIndex()));
    };
}

void TdxBarCustomizingForm::OptionClicked(TObject* Sender) {
    if (FLoadingOptions || !FBarManager) return;
    auto* Check = dynamic_cast<TCheckBox*>(Sender);
    if (!Check) return;
    const bool Standard = StandardOptions();
    for (const TCheckOption& O : kCheckOptions) {
        const char* Name = Standard ? O.Standard : O.Enhanced;
        if (Name && Check->Name() == Name) (FBarManager->*O.Set)(Check->Checked());
    }
    UpdateOptionsEnabled();
}

void TdxBarCustomizingForm::UpdateOptionsEnabled() {
    const bool Standard = StandardOptions();
    for (const TCheckOption& O : kCheckOptions) {
        const char* Name = Standard ? O.Standard : O.Enhanced;
        if (!Name || O.DependsOn < 0) continue;
        const TCheckOption& On = kCheckOptions[O.DependsOn];
        const char* OnName = Standard ? On.Standard : On.Enhanced;
        if (OnName) Part<TCheckBox>(Name)->SetEnabled(Part<TCheckBox>(OnName)->Checked());
    }
}

void TdxBarCustomizingForm::UpdateOptions() {
    if (!FBarManager) return;
    const bool Standard = StandardOptions();
    PrepareOptions(Standard);
    StandardOptionsPanel->SetVisible(Standard);
    EnhancedOptionsPanel->SetVisible(!Standard);
    FLoadingOptions = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FLoadingOptions};
    for (const TCheckOption& O : kCheckOptions)
        if (const char* Name = Standard ? O.Standard : O.Enhanced)
            Part<TCheckBox>(Name)->SetChecked((FBarManager->*O.Get)());
    Part<TComboBox>((Standard ? kStandardParts : kEnhancedParts).Animations)
        ->SetItemIndex(int(FBarManager->MenuAnimations()));
    UpdateOptionsEnabled();
}

void TdxBarCustomizingForm::UpdateLook() {
    if (!FBarManager || !FCommandsListBox) return;
    if (FDesign) FDesign->DialogManager()->SetStyle(FBarManager->Style());
    FCommandsListBox->SetColor(FBarManager->IsFlat() ? clWindow : clBtnFace);
    FCommandsListBox->Invalidate();
}

// ---- refreshing
// ----------------------------------------------------------------------------------

void TdxBarCustomizingForm::RefreshPage() {
    if (FDesign) {
        FDesign->Refresh();
        return;
    }
    // At run time only the toolbars page shows what may have changed meanwhile.
    if (PageControl && PageControl->ActivePage() == TabSheet1) UpdateBarButtons();
}

void TdxBarCustomizingForm::UpdateAll() {
    // A bar's visibility, or whether it may close, shows in its tick and the page's buttons.
    FBarsListBox->Invalidate();
    UpdateBarButtons();
    UpdateCommands();
    UpdateOptions();
    UpdateLook();
}

void TdxBarCustomizingForm::BarCaptionChanged(TdxBar* Bar) {
    TStrings* Entries = FBarsListBox->Items();
    for (int I = 0; I < Entries->Count(); ++I)
        if (Entries->GetObject(I) == Bar && Entries->Get(I) != Bar->Caption())
            Entries->Put(I, Bar->Caption());
}

void TdxBarCustomizingForm::BarDestroyed(TdxBar* Bar) {
    if (!FBarsListBox) return;
    TStrings* Entries = FBarsListBox->Items();
    const int Index = Entries->IndexOfObject(Bar);
    if (Index < 0) return;
    const bool WasSelected = FBarsListBox->ItemIndex() == Index;
    Entries->Delete(Index);
    if (WasSelected) FBarsListBox->SetItemIndex(std::min(Index, Entries->Count() - 1));
    UpdateBarButtons();
}

void TdxBarCustomizingForm::FollowOwnerForm(bool Shown) {
    ShowWindow(Handle(), Shown ? SW_SHOW : SW_HIDE);
    // The editor stays a tool of the dialog: shown again without taking the activation.
    if (TdxBarSubMenuEditor* Editor = GetSubMenuEditor(); Editor && Editor->HandleAllocated())
        Editor->FollowOwnerForm(Shown);
}

void TdxBarCustomizingForm::UpdateCommands() {
    FCommandsListBox->Invalidate();
    CommandClicked();
    if (FDesign) FDesign->UpdateAllCommandsWidths();
}

void TdxBarCustomizingForm::SelectItem(TdxBarItem* Item, bool Force) {
    if (!Item || !FBarManager) return;
    TdxBarManagerCategories* Categories = FBarManager->Categories();
    const int Real = Item->Category();
    if (Real < 0 || Real >= Categories->Count()) return;
    if (!Designing() && !Categories->Visible(Real)) return;
    // The categories list shows the visible categories alone (every one to a designer).
    int Visible = 0;
    for (int I = 0; I < Real; ++I)
        if (Designing() || Categories->Visible(I)) ++Visible;
    if (Force || LCategories->ItemIndex() != Visible) {
        LCategories->SetItemIndex(Visible);
        CategoryClicked();
    }
    FCommandsListBox->SetItemIndex(FCommandsListBox->Items()->IndexOfObject(Item));
    CommandClicked();
}

void TdxBarCustomizingForm::ItemsChanged() {
    // The designer's delete lists the commands again once it is done.
    if (FDesign && FDesign->DeletingCommands()) return;
    const int Selected = FCommandsListBox->ItemIndex();
    CategoryClicked();
    const int Count = FCommandsListBox->Items()->Count();
    FCommandsListBox->SetItemIndex(Selected >= Count ? Count - 1 : Selected);
    CommandClicked();
    if (FDesign) FDesign->FillAllCommands();
}

// ---- the window -------------------------------------------------------------------------------

void TdxBarCustomizingForm::Dispatch(TMessage& Message) {
    TForm::Dispatch(Message);
    if (Message.Msg != WM_ACTIVATE || LOWORD(Message.WParam) == WA_INACTIVE || !FBarManager) return;
    // The owner form stays the active form in the user's eyes: its caption stays lit and its
    // floating toolbars stay shown while the dialog has the keyboard.
    TCustomForm* Owner = FBarManager->OwnerForm();
    if (Owner && Owner->HandleAllocated() && HWND(Message.LParam) != Owner->Handle()) {
        FormActivationChanged(FBarManager, true, Handle());
        SendMessage(Owner->Handle(), WM_NCACTIVATE, TRUE, 0);
    }
    // The item context menu works on the selection the page would refresh away.
    if (!ShownCustomizingPopup()) RefreshPage();
}

void TdxBarCustomizingForm::DoClose(TCloseAction& Action) {
    TForm::DoClose(Action);
    if (Action == caNone) return;
    Action = caNone;
    if (Customizing().Form == this) EndCustomizing(false);
}

// ---- the entry points
// ----------------------------------------------------------------------------

void ShowCustomizingForm(TdxBarManager* Manager, bool Show) {
    RegisterdxBarCustomizing();
    TCustomizing& State = Customizing();
    if (!Show) {
        // Another manager's dialog stays.
        if (State.Form && (!Manager || State.Form->BarManager() == Manager)) EndCustomizing(true);
        return;
    }
    if (State.Form || !Manager) return;
    // The mode comes first and opens the dialog itself.
    if (!Manager->IsCustomizing()) {
        Manager->Customizing(true);
        return;
    }
    if (Manager->OnShowCustomizingForm) Manager->OnShowCustomizingForm(Manager);
    DisableManagerForms();
    RegisterCustomizingForm();
    try {
        State.Form = CreateForm<TdxBarCustomizingForm>(nullptr, Manager);
    } catch (...) {
        Manager->Customizing(false);
        EnableManagerForms();
        throw;
    }
    State.Form->Show();
}

TdxBarCustomizingForm* GetCustomizingForm() {
    return Customizing().Form;
}

void CustomizingFormUpdateAll() {
    if (TdxBarCustomizingForm* Form = GetCustomizingForm()) Form->UpdateAll();
}

void CustomizingFormUpdateHelpButton() {
    if (TdxBarCustomizingForm* Form = GetCustomizingForm()) Form->UpdateHelpButton();
}

void CustomizingFormBarCaptionChanged(TdxBar* Bar) {
    if (TdxBarCustomizingForm* Form = GetCustomizingForm()) Form->BarCaptionChanged(Bar);
}

void CustomizingFormBarDestroyed(TdxBar* Bar) {
    if (TdxBarCustomizingForm* Form = GetCustomizingForm()) Form->BarDestroyed(Bar);
}

void CustomizingFormOwnerFormShown(bool Shown) {
    if (TdxBarCustomizingForm* Form = GetCustomizingForm(); Form && Form->HandleAllocated())
        Form->FollowOwnerForm(Shown);
}

void CustomizingFormUpdateCommands() {
    if (TdxBarCustomizingForm* Form = GetCustomizingForm()) Form->UpdateCommands();
}

void CustomizingFormSelectItem(TdxBarItem* Item, bool Force) {
    if (TdxBarCustomizingForm* Form = GetCustomizingForm()) Form->SelectItem(Item, Force);
}

void CustomizingFormItemsChanged() {
    if (TdxBarCustomizingForm* Form = GetCustomizingForm()) Form->ItemsChanged();
}

void CustomizingFormUpdateOptions() {
    if (TdxBarCustomizingForm* Form = GetCustomizingForm()) Form->UpdateOptions();
}

#include "bars/model/dxBarManager.h"

#include <algorithm>

#include "bars/model/dxBarCustomizing.h"
#include "bars/model/dxBarGroups.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarStrings.h"
#include "bars/model/dxBarViews.h"
#include "bars/model/dxBars.h"
#include "platform/classes/FlagScope.h"
#include "platform/forms/Errors.h"
#include "platform/forms/Filer.h"

// ---- the list of managers ---------------------------------------------------------------------

TdxBarManagerList& TdxBarManagerList::Instance() {
    static TdxBarManagerList* List = new TdxBarManagerList;
    return *List;
}

bool TdxBarManagerList::Contains(const TdxBarManager* Manager) const {
    return std::find(FManagers.begin(), FManagers.end(), Manager) != FManagers.end();
}

void TdxBarManagerList::Add(TdxBarManager* Manager) {
    if (!Contains(Manager)) FManagers.push_back(Manager);
}

void TdxBarManagerList::Remove(TdxBarManager* Manager) {
    FManagers.erase(std::remove(FManagers.begin(), FManagers.end(), Manager), FManagers.end());
}

TdxBarManager* BarManagerOfForm(TCustomForm* Form) {
    if (!Form) return nullptr;
    const TdxBarManagerList& List = TdxBarManagerList::Instance();
    for (int I = 0; I < List.Count(); ++I)
        if (List.Items(I)->OwnerForm() == Form) return List.Items(I);
    return nullptr;
}

// ---- life -------------------------------------------------------------------------------------

TdxBarManager::TdxBarManager(TComponent* AOwner) : TComponent(AOwner) {
    if (!AOwner && Forms.MainForm()) Forms.MainForm()->InsertComponent(this);
    FOwnerForm = dynamic_cast<TCustomForm*>(Owner());
    if (!FOwnerForm)
        throw EdxBarError("TdxBarManager should have as its Owner - TForm (TCustomForm)");
    if (BarManagerOfForm(FOwnerForm))
        throw EdxBarError("A Form should contain only a single TdxBarManager");
    FCreationFailed = false;
    dxBarViews().ManagerChanged(this, TdxBarManagerChange::Joined);
    // Told when the form goes, before its components (and their links) do: the layout is kept
    // then.
    FOwnerForm->FreeNotification(this);

    if (!IsLoading()) FCategories.Add("Default");
    FFont.OnChange = [this](TGraphicsObject*) { FontChanged(); };
    FImagesLink.OnChange = [this](TCustomImageList* L) { ImagesChanged(L); };
    FLargeImagesLink.OnChange = [this](TCustomImageList* L) { ImagesChanged(L); };
    FHotImagesLink.OnChange = [this](TCustomImageList* L) { ImagesChanged(L); };
    FHelpButtonGlyph.OnChange = [this](TGraphic*) {
        if (FIsCustomizing) dxBarCustomizing().UpdateHelpButton();
    };
    FBars = std::make_unique<TdxBars>(this);
    FGreyBrush = CreateSolidBrush(RGB(128, 128, 128));
    CreateFlatBrushes();
    CalcMostRecentlyUsedUseCount();
    SetMetrics();
    CalcDerivedSizes();
    SetUseSystemFont(true);
}

TdxBarManager::~TdxBarManager() {
    DestroyEverything();
}

void TdxBarManager::BeforeDestruction() {
    DestroyEverything();
    TComponent::BeforeDestruction();
}

void TdxBarManager::DestroyEverything() {
    if (FCreationFailed) return;
    FCreationFailed = true;  // once only
    Destroying();
    // The open dialog hears of the manager going by its free notice.
    CustomizingMode(false);
    for (HBRUSH& Brush : FFlatBrushes) {
        if (Brush) DeleteObject(Brush);
        Brush = 0;
    }
    if (FGreyBrush) DeleteObject(FGreyBrush);
    FGreyBrush = 0;
    SetImageList(FImages, FImagesLink, nullptr);
    SetImageList(FLargeImages, FLargeImagesLink, nullptr);
    SetImageList(FHotImages, FHotImagesLink, nullptr);
    while (!FGroups.empty()) FGroups.back()->Free();
    if (FFontHandle) DeleteObject(FFontHandle);
    FFontHandle = 0;
    FBars.reset();
    while (!FDockControls.empty()) RemoveDockControl(FDockControls.back());
    while (!FItems.empty()) {
        TdxBarItem* Item = FItems.back();
        Item->Free();
        // An item freed some other way leaves the list itself; this one must not come back.
        if (!FItems.empty() && FItems.back() == Item) FItems.pop_back();
    }
    dxBarViews().ManagerChanged(this, TdxBarManagerChange::Left);
}

// ---- items, groups, dock sites ---------------------------------------------------------------

TdxBarItem* TdxBarManager::Items(int Index) const {
    return Index >= 0 && Index < ItemCount() ? FItems[size_t(Index)] : nullptr;
}

TdxBarItem* TdxBarManager::ItemByName(const std::string& Name) const {
    for (TdxBarItem* Item : FItems)
        if (SameText(Item->Name(), Name)) return Item;
    return nullptr;
}

void TdxBarManager::GetItemsByCategory(int Index, std::vector<TdxBarItem*>& List) const {
    List.clear();
    if (Index < 0 || Index >= FCategories.Count()) return;
    for (TdxBarItem* Item : FItems)
        if (Item->Category() == Index) List.push_back(Item);
}

void TdxBarManager::GetVisibleItemsByCategory(int Index, std::vector<TdxBarItem*>& List) const {
    GetItemsByCategory(Index, List);
    // What the customizing dialog lists: items that show in customizing mode.
    List.erase(std::remove_if(List.begin(), List.end(),
                              [](TdxBarItem* Item) { return Item->Visible() == ivNever; }),
               List.end());
}

void TdxBarManager::MoveItem(int From, int To) {
    if (From < 0 || From >= ItemCount() || To < 0 || To >= ItemCount() || From == To) return;
    TdxBarItem* Item = FItems[size_t(From)];
    FItems.erase(FItems.begin() + From);
    FItems.insert(FItems.begin() + To, Item);
}

void TdxBarManager::ExchangeItems(int A, int B) {
    if (A < 0 || A >= ItemCount() || B < 0 || B >= ItemCount()) return;
    std::swap(FItems[size_t(A)], FItems[size_t(B)]);
}

void TdxBarManager::AddItem(TdxBarItem* Item) {
    FItems.push_back(Item);
}

void TdxBarManager::RemoveItem(TdxBarItem* Item) {
    FItems.erase(std::remove(FItems.begin(), FItems.end(), Item), FItems.end());
}

TdxBarGroup* TdxBarManager::Groups(int Index) const {
    return Index >= 0 && Index < GroupCount() ? FGroups[size_t(Index)] : nullptr;
}

TdxBarGroup* TdxBarManager::AddGroup() {
    auto* Group = new TdxBarGroup(FOwnerForm);
    Group->SetBarManager(this);
    return Group;
}

void TdxBarManager::RemoveGroup(TdxBarGroup* Group) {
    FGroups.erase(std::remove(FGroups.begin(), FGroups.end(), Group), FGroups.end());
}

TdxDockControl* TdxBarManager::DockControls(int Index) const {
    return Index >= 0 && Index < DockControlCount() ? FDockControls[size_t(Index)] : nullptr;
}

void TdxBarManager::AddDockControl(TdxDockControl* DockControl) {
    if (std::find(FDockControls.begin(), FDockControls.end(), DockControl) == FDockControls.end())
        FDockControls.push_back(DockControl);
}

void TdxBarManager::RemoveDockControl(TdxDockControl* DockControl) {
    auto It = std::find(FDockControls.begin(), FDockControls.end(), DockControl);
    if (It == FDockControls.end()) return;
    FDockControls.erase(It);
    if (FBars) {
        for (int I = 0; I < FBars->Count(); ++I) {
            TdxBar* Bar = FBars->Items(I);
            if (Bar->FDockControl && dxBarViews().SiteOf(Bar->FDockControl) == DockControl)
                Bar->FDockControl = nullptr;
            if (Bar->FDockedDockControl &&
                dxBarViews().SiteOf(Bar->FDockedDockControl) == DockControl)
                Bar->FDockedDockControl = nullptr;
            if (const TdxBarWindowState Window = Bar->WindowState();
                Window.Exists && Window.Site == DockControl)
                Bar->SetVisible(false);
        }
        FBars->DockControlRemoved(DockControl);
    }
    dxBarViews().SiteChanged(DockControl, TdxBarSiteChange::ParentColor);
    if (dxBarViews().SiteState(DockControl).Manager == this)
        dxBarViews().SiteChanged(DockControl, TdxBarSiteChange::LeaveManager);
}

// ---- bars -------------------------------------------------------------------------------------

void TdxBarManager::SetBars(TdxBars* Value) {
    if (Value && Value != FBars.get()) FBars->Assign(Value);
}

TdxBar* TdxBarManager::BarByCaption(const std::string& Caption) const {
    for (int I = 0; I < FBars->Count(); ++I)
        if (FBars->Items(I)->Caption() == Caption) return FBars->Items(I);
    return nullptr;
}

TdxBar* TdxBarManager::BarByName(const std::string& Name) const {
    for (int I = 0; I < FBars->Count(); ++I)
        if (FBars->Items(I)->Name() == Name) return FBars->Items(I);
    return nullptr;
}

// ---- categories -------------------------------------------------------------------------------

void TdxBarManager::SetCategories(const TStrings* Value) {
    if (Value && Value != &FCategories) FCategories.Assign(*Value);
}

TdxBarItemVisible TdxBarManager::GetCategoryItemsVisible(int Index) const {
    return FCategories.ItemsVisible(Index);
}

void TdxBarManager::SetCategoryItemsVisible(int Index, TdxBarItemVisible Value) {
    if (Index < 0 || Index >= FCategories.Count()) return;
    if (IsLoading() || (FOwnerForm && FOwnerForm->ComponentState().Contains(csLoading))) {
        FCategories.SetPendingItemsVisible(Index, Value);
        return;
    }
    const TdxBarItemVisible Previous = FCategories.ItemsVisible(Index);
    FCategories.SetItemsVisibleRecord(Index, Value);
    TdxBarUpdateLock Lock(this);
    std::vector<bool> WasEmpty;
    if (FAutoHideEmptyBars)
        for (int I = 0; I < FBars->Count(); ++I)
            WasEmpty.push_back(FBars->Items(I)->ItemLinks()->VisibleItemCount() == 0);
    std::vector<TdxBarItem*> Members;
    GetItemsByCategory(Index, Members);
    if (Value == ivAlways) std::reverse(Members.begin(), Members.end());
    for (TdxBarItem* Item : Members)
        if (Item->Visible() == Previous) Item->SetVisible(Value);
    if (!FAutoHideEmptyBars) return;
    for (int I = 0; I < FBars->Count(); ++I) {
        TdxBar* Bar = FBars->Items(I);
        const bool Empty = Bar->ItemLinks()->VisibleItemCount() == 0;
        if (Value == ivNever && !WasEmpty[size_t(I)] && Empty) {
            Bar->SetVisible(false);
            Bar->AutoHidden = true;
        } else if (Value == ivAlways && !Empty && Bar->AutoHidden) {
            Bar->SetVisible(true);
            Bar->AutoHidden = false;
        }
    }
}

bool TdxBarManager::GetCategoryVisible(int Index) const {
    return FCategories.Visible(Index);
}

void TdxBarManager::SetCategoryVisible(int Index, bool Value) {
    if (Index < 0 || Index >= FCategories.Count()) return;
    if (FCategories.Visible(Index) != Value) FCategories.SetVisibleRecord(Index, Value);
}

int TdxBarManager::GetRealCategoryIndex(int VisibleIndex) const {
    int Seen = -1;
    for (int I = 0; I < FCategories.Count(); ++I)
        if (FCategories.Visible(I) && ++Seen == VisibleIndex) return I;
    return -1;
}

// ---- state ------------------------------------------------------------------------------------

void TdxBarManager::SetUpdateLocked(bool Value) {
    if (Value == FUpdateLocked) return;
    FUpdateLocked = Value;
    for (TdxDockControl* Site : FDockControls)
        dxBarViews().SiteChanged(
            Site, Value ? TdxBarSiteChange::StopRedraw : TdxBarSiteChange::ResumeRedraw);
    for (int I = 0; FBars && I < FBars->Count(); ++I) {
        TdxBar* Bar = FBars->Items(I);
        const bool Floating = Bar->WindowState().Floating;
        if (Floating)
            Bar->TellWindow(Value ? TdxBarWindowChange::StopRedraw
                                  : TdxBarWindowChange::ResumeRedraw);
        if (!Floating) {
            // Docked bars hold their layouts back until the sites lay them out below.
            Bar->FLockUpdate = Bar->FLockedByManager = Value;
        } else if (!Value && Bar->FLockedByManager) {
            // Docked when the lock was taken and floating now (a stored layout read, a bar
            // dragged off): no site lays its window out, the bar's own release does.
            Bar->FLockedByManager = false;
            Bar->SetUpdateLocked(false);
        }
    }
    if (Value) return;
    for (TdxDockControl* Site : FDockControls) {
        dxBarViews().SiteChanged(Site, TdxBarSiteChange::Realign);
        dxBarViews().SiteChanged(Site, TdxBarSiteChange::RepaintFrame);
    }
    for (int I = 0; FBars && I < FBars->Count(); ++I) {
        TdxBar* Bar = FBars->Items(I);
        const TdxBarWindowState Window = Bar->WindowState();
        if (!Window.Exists || Window.Floating || !Window.HasHandle) continue;
        Bar->TellWindow(TdxBarWindowChange::Frame);
        Bar->TellWindow(TdxBarWindowChange::Repaint);
    }
}

void TdxBarManager::Customizing(bool Value) {
    if (Value == FIsCustomizing) return;
    if (Value && dxBarCustomizing().Form()) return;
    CustomizingMode(Value);
    if (FIsCustomizing != Value) return;
    dxBarCustomizing().ShowForm(this, Value);
}

void TdxBarManager::CustomizingMode(bool Value) {
    if (Value == FIsCustomizing) return;
    // One customizing dialog in the process: another manager's is open.
    if (Value && dxBarCustomizing().Form()) return;
    for (int I = 0; FBars && I < FBars->Count(); ++I)
        FBars->Items(I)->TellWindow(TdxBarWindowChange::CloseMenus);
    FIsCustomizing = Value;
    if (!Value) FCustomizingSelection = nullptr;
    for (int I = 0; FBars && I < FBars->Count(); ++I) {
        TdxBar* Bar = FBars->Items(I);
        Bar->ItemLinks()->Rebuild();
        Bar->TellWindow(TdxBarWindowChange::Layout);
    }
    for (TdxBarItem* Item : FItems)
        if (auto* Sub = dynamic_cast<TCustomdxBarSubItem*>(Item)) Sub->ItemLinks()->Rebuild();
    for (TdxBarPopupMenu* Menu : FPopupMenus)
        if (TdxBarItemLinks* Links = dxBarViews().PopupMenuLinks(Menu)) Links->Rebuild();
    RealignDockControls();
    RepaintBarControls();
}

int TdxBarManager::BorderWidth() const {
    return IsFlat() ? 3 : GetSystemMetrics(SM_CXFRAME);
}

int TdxBarManager::BorderHeight() const {
    return IsFlat() ? 3 : GetSystemMetrics(SM_CYFRAME);
}

HWND TdxBarManager::DragOwnerWindow() {
    if (TCustomForm* Dialog = FIsCustomizing ? dxBarCustomizing().Form() : nullptr)
        return Dialog->Handle();
    return FOwnerForm ? FOwnerForm->Handle() : 0;
}

void TdxBarManager::SetCustomizingSelection(TdxBarItemControl* Value) {
    if (Value == FCustomizingSelection) return;
    TdxBarItemControl* Previous = FCustomizingSelection;
    if (FIsCustomizing && Previous) dxBarViews().SelectionMoved(Previous, Value);
    FCustomizingSelection = Value;
    if (Previous && !FDragging) dxBarViews().RepaintControl(Previous);
    dxBarCustomizing().StartQuickCloseTimer();
}

void TdxBarManager::SetDragging(TdxBarItem* Item, TdxBarItemLink* Link) {
    FDraggingItem = Item;
    FDraggingItemLink = Link;
}

void TdxBarManager::ControlDestroyed(TdxBarItemControl* Control) {
    if (FSelectedItem == Control) FSelectedItem = nullptr;
    if (FCustomizingSelection == Control) FCustomizingSelection = nullptr;
}

void TdxBarManager::KeepBarToShowAgain(TdxBar* Bar) {
    if (std::find(FBarsToShowAgain.begin(), FBarsToShowAgain.end(), Bar) == FBarsToShowAgain.end())
        FBarsToShowAgain.push_back(Bar);
}

TdxBar* TdxBarManager::TakeBarToShowAgain() {
    if (FBarsToShowAgain.empty()) return nullptr;
    TdxBar* Bar = FBarsToShowAgain.back();
    FBarsToShowAgain.pop_back();
    return Bar;
}

// ---- metrics, fonts and colours ---------------------------------------------------------------

void TdxBarManager::SetMetrics() {
    static constexpr int kMetrics[3][3] = {{2, 9, 2}, {1, 6, 12}, {1, 6, 8}};
    FGripOffset = kMetrics[FStyle][0];
    FGripSize = kMetrics[FStyle][1];
    FSeparatorIndent = kMetrics[FStyle][2];
}

void TdxBarManager::CalcDerivedSizes() {
    const int Scale = FLargeIcons ? 2 : 1;
    FImageSize = 16 * Scale;
    FButtonWidth = FImageSize + 7;
    FButtonHeight = FImageSize + 6;
    FArrowWidth = Scale * FButtonArrowWidth;
    if (FArrowWidth % 2 == 0) ++FArrowWidth;
    if (FStyle == bmsFlat) --FArrowWidth;
}

void TdxBarManager::CalcMostRecentlyUsedUseCount() {
    FMostRecentlyUsedUseCount = MostRecentlyUsedStep(FMostRecentItemsPercents);
}

void TdxBarManager::CreateFlatBrushes() {
    for (HBRUSH& Brush : FFlatBrushes)
        if (Brush) DeleteObject(Brush);
    FFlatBrushes[0] = CreateSolidBrush(dxBarViews().LightColor(COLOR_BTNFACE, 10, 10, 10));
    FFlatBrushes[1] = CreateSolidBrush(dxBarViews().LightColor(COLOR_BTNFACE, 0, 0, 16));
    FFlatBrushes[2] = CreateSolidBrush(dxBarViews().LightColor(COLOR_BTNFACE, -79, -62, -18));
    FFlatBrushes[3] = CreateSolidBrush(dxBarViews().LightColor(COLOR_HIGHLIGHT, 172, 153, 104));
}

void TdxBarManager::ApplySystemFont() {
    FFontChanging = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FFontChanging};
    LOGFONT Menu = dxBarViews().MenuFont();
    if (FUseSystemFont) {
        FFont.SetLogFont(Menu);
    } else if (FScaled) {
        FFont.SetHeight(Menu.lfHeight);
    }
}

void TdxBarManager::SystemFontChanged() {
    if (!FUseSystemFont && !FScaled) return;
    ApplySystemFont();
    FontHandleChanged();
}

void TdxBarManager::FontChanged() {
    if (FFontChanging) return;
    FUseSystemFont = false;
    if (FScaled) ApplySystemFont();
    FontHandleChanged();
}

HFONT TdxBarManager::FontHandle() const {
    if (!FFontHandle) dxBarViews().MakeBarFont(FFont, FFontHandle, FUseSystemFont);
    return FFontHandle;
}

void TdxBarManager::FontHandleChanged() {
    if (FFontHandle) DeleteObject(FFontHandle);
    FFontHandle = 0;
    for (int I = 0; FBars && I < FBars->Count(); ++I) FBars->Items(I)->ManagerFontChanged();
    dxBarViews().ManagerChanged(this, TdxBarManagerChange::Font);
}

void TdxBarManager::SetUseSystemFont(bool Value) {
    FUseSystemFont = Value;
    if (Value) {
        ApplySystemFont();
        FontHandleChanged();
    }
}

void TdxBarManager::SetScaled(bool Value) {
    if (FScaled == Value) return;
    FScaled = Value;
    if (Value && !FUseSystemFont) ApplySystemFont();
}

void TdxBarManager::SetStyle(TdxBarManagerStyle Value) {
    if (FStyle == Value) return;
    const TFlagScope StyleChanging(FStyleChanging);
    FStyle = Value;
    SetMetrics();
    CalcDerivedSizes();
    for (int I = 0; FBars && I < FBars->Count(); ++I) {
        TdxBar* Bar = FBars->Items(I);
        const TdxBarWindowState Window = Bar->WindowState();
        if (!Window.Exists) continue;
        if (Window.Floating) {
            Bar->SetVisible(false);
            Bar->SetVisible(true);
        } else {
            Bar->TellWindow(TdxBarWindowChange::Frame);
            Bar->TellWindow(TdxBarWindowChange::Layout);
        }
    }
    RealignDockControls();
    RepaintBarControls();
    // The dialog's options panel and look follow the style.
    if (FIsCustomizing) dxBarCustomizing().UpdateAll();
}

void TdxBarManager::SetButtonArrowWidth(int Value) {
    if (Value < 2 || Value == FButtonArrowWidth) return;
    FButtonArrowWidth = Value;
    CalcDerivedSizes();
    RecalcBarControls();
}

void TdxBarManager::SetLargeButtonArrowWidth(int Value) {
    if (Value < 2 || Value == FLargeButtonArrowWidth) return;
    FLargeButtonArrowWidth = Value;
    RecalcBarControls();
}

void TdxBarManager::SetLargeIcons(bool Value) {
    if (FLargeIcons == Value) return;
    FLargeIcons = Value;
    CalcDerivedSizes();
    RecalcBarControls();
    Changed();
}

void TdxBarManager::SetMostRecentItemsPercents(int Value) {
    Value = std::clamp(Value, 0, 100);
    if (FMostRecentItemsPercents == Value) return;
    FMostRecentItemsPercents = Value;
    CalcMostRecentlyUsedUseCount();
}

void TdxBarManager::SetWaitForDockingTime(int Value) {
    if (Value >= 0) FWaitForDockingTime = Value;
}

void TdxBarManager::SetAutoDockColor(bool Value) {
    if (FAutoDockColor == Value) return;
    FAutoDockColor = Value;
    for (TdxDockControl* Site : FDockControls)
        dxBarViews().SiteChanged(Site, TdxBarSiteChange::Color);
}

void TdxBarManager::SetAutoHideEmptyBars(bool Value) {
    if (FAutoHideEmptyBars == Value) return;
    FAutoHideEmptyBars = Value;
    if (!Value)
        for (int I = 0; I < FBars->Count(); ++I) FBars->Items(I)->AutoHidden = false;
}

TColor TdxBarManager::DockColor() const {
    if (FAutoDockColor && FOwnerForm) return FOwnerForm->Color();
    return FDockColor;
}

void TdxBarManager::SetDockColor(TColor Value) {
    FAutoDockColor = false;
    FDockColor = Value;
    for (TdxDockControl* Site : FDockControls)
        dxBarViews().SiteChanged(Site, TdxBarSiteChange::Color);
}

void TdxBarManager::SetFlatCloseButton(bool Value) {
    if (FFlatCloseButton == Value) return;
    FFlatCloseButton = Value;
    if (FMainMenuBar) FMainMenuBar->TellWindow(TdxBarWindowChange::Layout);
}

void TdxBarManager::SetShowCloseButton(bool Value) {
    if (FShowCloseButton == Value) return;
    FShowCloseButton = Value;
    if (FMainMenuBar) FMainMenuBar->TellWindow(TdxBarWindowChange::Layout);
}

void TdxBarManager::SetShowHelpButton(bool Value) {
    if (FShowHelpButton == Value) return;
    FShowHelpButton = Value;
    if (FIsCustomizing) dxBarCustomizing().UpdateHelpButton();
}

void TdxBarManager::SetImageListBkColor(TColor Value) {
    if (FImageListBkColor == Value) return;
    FImageListBkColor = Value;
    RepaintBarControls();
}

void TdxBarManager::SetMenuAnimations(TdxBarMenuAnimations Value) {
    FMenuAnimations = Value;
    Changed();
}

void TdxBarManager::SetMenusShowRecentItemsFirst(bool Value) {
    FMenusShowRecentItemsFirst = Value;
    Changed();
}

void TdxBarManager::SetShowFullMenusAfterDelay(bool Value) {
    FShowFullMenusAfterDelay = Value;
    Changed();
}

void TdxBarManager::SetShowHint(bool Value) {
    FShowHint = Value;
    Changed();
}

void TdxBarManager::SetShowShortCutInHint(bool Value) {
    FShowShortCutInHint = Value;
    Changed();
}

void TdxBarManager::Changed() {
    if (!IsLoading()) dxBarCustomizing().UpdateOptions();
}

void TdxBarManager::SetSunkenBorder(bool Value) {
    if (FSunkenBorder == Value) return;
    FSunkenBorder = Value;
    for (TdxDockControl* Site : FDockControls)
        dxBarViews().SiteChanged(Site, TdxBarSiteChange::Frame);
}

// ---- image lists ------------------------------------------------------------------------------

void TdxBarManager::SetImageList(TCustomImageList*& Field, TChangeLink& Link,
                                 TCustomImageList* Value) {
    if (Field == Value) return;
    if (Field) {
        Field->UnRegisterChanges(&Link);
        if (auto* Old = dynamic_cast<TComponent*>(Field)) Old->RemoveFreeNotification(this);
    }
    Field = Value;
    if (Field) {
        Field->RegisterChanges(&Link);
        if (auto* New = dynamic_cast<TComponent*>(Field)) New->FreeNotification(this);
    }
    if (!IsDestroying()) ImagesChanged(Field);
}

void TdxBarManager::SetImages(TCustomImageList* Value) {
    SetImageList(FImages, FImagesLink, Value);
}

void TdxBarManager::SetLargeImages(TCustomImageList* Value) {
    SetImageList(FLargeImages, FLargeImagesLink, Value);
}

void TdxBarManager::SetHotImages(TCustomImageList* Value) {
    SetImageList(FHotImages, FHotImagesLink, Value);
}

void TdxBarManager::ImagesChanged(TCustomImageList* List) {
    if (IsLoading()) return;
    TdxBarUpdateLock Lock(this);
    for (TdxBarItem* Item : FItems)
        if (List != FImages || Item->ImageIndex() >= 0) Item->GlyphChanged();
}

// ---- bar windows ------------------------------------------------------------------------------

void TdxBarManager::RecalcBarControls() {
    for (int I = 0; FBars && I < FBars->Count(); ++I)
        FBars->Items(I)->TellWindow(TdxBarWindowChange::Layout);
    RealignDockControls();
}

void TdxBarManager::RepaintBarControls() {
    for (int I = 0; FBars && I < FBars->Count(); ++I)
        FBars->Items(I)->TellWindow(TdxBarWindowChange::Repaint);
}

void TdxBarManager::RealignDockControls() {
    for (TdxDockControl* Site : FDockControls)
        dxBarViews().SiteChanged(Site, TdxBarSiteChange::Realign);
}

// ---- operations -------------------------------------------------------------------------------

void TdxBarManager::DoClickItem(TdxBarItem* Item) {
    if (OnClickItem) OnClickItem(this, Item);
}

bool TdxBarManager::CanDockBar(TdxBar* Bar, TdxBarDockingStyle Style, TdxDockControl* Site) {
    bool Result = !Bar->NotDocking.Contains(Style);
    if (Result) {
        if (!Site || dxBarViews().SiteState(Site).Default)
            Result = !NotDocking.Contains(Style);
        else
            Result = dxBarViews().SiteTakes(Site, Bar);
    }
    if (OnDocking) OnDocking(Bar, Style, Site, Result);
    return Result;
}

void TdxBarManager::FillToolbarsPopup(TdxBarItemLinks* ItemLinks) {
    for (int I = 0; I < FBars->Count(); ++I) {
        TdxBar* Bar = FBars->Items(I);
        if (!Bar->AllowClose() || Bar->IsMainMenu() || Bar->Hidden || !Bar->CanClose()) continue;
        auto* Button = new TdxBarButton(FOwnerForm);
        TdxBarItem::AddTemporaryItem(Button);
        Button->SetButtonStyle(bsChecked);
        Button->SetCaption(Bar->Caption());
        Button->SetTag(I);
        Button->SetDown(Bar->Visible());
        Button->OnClick = [this](TObject* Sender) {
            auto* B = static_cast<TdxBarButton*>(Sender);
            if (B->Tag() >= 0 && B->Tag() < FBars->Count())
                FBars->Items(B->Tag())->SetVisible(!FBars->Items(B->Tag())->Visible());
        };
        ItemLinks->Add()->SetItem(Button);
    }
    DoShowToolbarsPopup(ItemLinks);
    if (TdxBarItemLink* Link = AddCustomizeButton(ItemLinks, new TdxBarButton(FOwnerForm)))
        Link->SetBeginGroup(true);
}

TdxBarItemLink* TdxBarManager::AddCustomizeButton(TdxBarItemLinks* ItemLinks,
                                                  TdxBarButton* Button) {
    if (!CanCustomize) {
        Button->Free();
        return nullptr;
    }
    TdxBarItem::AddTemporaryItem(Button);
    Button->SetCaption(dxBarString(kdxBarCustomizeCaption));
    Button->SetTag(1000);
    // One customizing dialog at a time in the program.
    Button->SetEnabled(dxBarCustomizing().Form() == nullptr);
    Button->OnClick = [this](TObject*) { dxBarCustomizing().ShowForm(this, true); };
    TdxBarItemLink* Link = ItemLinks->Add();
    Link->SetItem(Button);
    return Link;
}

void TdxBarManager::DoBarAfterReset(TdxBar* Bar) {
    if (OnBarAfterReset) OnBarAfterReset(this, Bar);
}

void TdxBarManager::DoBarBeforeReset(TdxBar* Bar) {
    if (OnBarBeforeReset) OnBarBeforeReset(this, Bar);
}

void TdxBarManager::DoBarClose(TdxBar* Bar) {
    if (OnBarClose) OnBarClose(this, Bar);
}

void TdxBarManager::DoBarDockingStyleChange(TdxBar* Bar) {
    if (FBars && FBars->Loading()) return;
    if (OnBarDockingStyleChange) OnBarDockingStyleChange(this, Bar);
}

void TdxBarManager::DoCloseButtonClick() {
    if (OnCloseButtonClick) OnCloseButtonClick(this);
}

void TdxBarManager::DoHelpButtonClick() {
    if (OnHelpButtonClick) OnHelpButtonClick(this);
}

void TdxBarManager::DoShowCustomizingPopup(TdxBarItemLinks* ItemLinks) {
    if (OnShowCustomizingPopup) OnShowCustomizingPopup(this, ItemLinks);
}

void TdxBarManager::DoShowToolbarsPopup(TdxBarItemLinks* ItemLinks) {
    if (OnShowToolbarsPopup) OnShowToolbarsPopup(this, ItemLinks);
}

// ---- streaming --------------------------------------------------------------------------------

void TdxBarManager::Loaded() {
    TComponent::Loaded();
    if (FUpdateLocked) return;
    FBars->SetLoading(true);
    for (TdxBarItem* Item : FItems) {
        // Items that are still being read keep their visibility held; it is theirs now.
        Item->FVisible = Item->FLoadedVisible;
        if (auto* Sub = dynamic_cast<TCustomdxBarSubItem*>(Item))
            Sub->ItemLinks()->ResetUsage(true);
    }
    for (int I = 0; I < FBars->Count(); ++I) FBars->Items(I)->ApplyLoadedState();
    LoadStoredLayout();
    FBars->SetLoading(false);
    FCategories.ApplyPendingItemsVisible();
    RealignDockControls();
}

void TdxBarManager::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FOwnerForm && !FCreationFailed) SaveStoredLayout();
    if (auto* List = dynamic_cast<TCustomImageList*>(AComponent)) {
        if (List == FImages) SetImages(nullptr);
        if (List == FLargeImages) SetLargeImages(nullptr);
        if (List == FHotImages) SetHotImages(nullptr);
    }
    dxBarViews().ManagerChanged(this, TdxBarManagerChange::ComponentRemoved, AComponent);
}

void TdxBarManager::ReadState(TReader& Reader) {
    ++FReadStateCount;
    TComponent::ReadState(Reader);
}

std::vector<int> TdxBarManager::DockControlHeights() const {
    std::vector<int> Result;
    for (TdxBarDockingStyle Style : {dsLeft, dsRight, dsTop, dsBottom}) {
        TdxDockControl* Site = FBars ? FBars->DockControls(Style) : nullptr;
        Result.push_back(Site ? dxBarViews().SiteState(Site).Extent : 0);
    }
    return Result;
}

void TdxBarManager::SetDockControlHeights(const std::vector<int>& Values) {
    const TdxBarDockingStyle Styles[4] = {dsLeft, dsRight, dsTop, dsBottom};
    for (size_t I = 0; I < Values.size() && I < 4; ++I) {
        TdxDockControl* Site = FBars->DockControls(Styles[I]);
        if (Site) dxBarViews().SetSiteExtent(Site, Values[I]);
    }
}

void TdxBarManager::DefineProperties(TFiler& Filer) {
    TComponent::DefineProperties(Filer);
    Filer.DefineProperty(
        "DockControlHeights",
        [this](TReader& Reader) {
            std::vector<int> Values;
            Reader.ReadListBegin();
            while (!Reader.EndOfList()) Values.push_back(Reader.ReadInteger());
            Reader.ReadListEnd();
            SetDockControlHeights(Values);
        },
        [this](TWriter& Writer) {
            Writer.WriteListBegin();
            for (int V : DockControlHeights()) Writer.WriteInteger(V);
            Writer.WriteListEnd();
        },
        true);
    // The image lists are components of the form: named in the definition and found once the
    // whole form is read.
    struct TListProperty {
        const char* Name;
        TCustomImageList* TdxBarManager::*Field;
        void (TdxBarManager::*Set)(TCustomImageList*);
    };
    static const TListProperty kLists[] = {
        {"HotImages", &TdxBarManager::FHotImages, &TdxBarManager::SetHotImages},
        {"Images", &TdxBarManager::FImages, &TdxBarManager::SetImages},
        {"LargeImages", &TdxBarManager::FLargeImages, &TdxBarManager::SetLargeImages},
    };
    for (const TListProperty& List : kLists) {
        auto* Named = dynamic_cast<TComponent*>(this->*List.Field);
        Filer.DefineProperty(
            List.Name,
            [this, &List](TReader& Reader) {
                Reader.AddFixup(TFormValue::MakeIdent(Reader.ReadIdent()),
                                [this, &List](TComponent* Target) {
                                    auto* Images = dynamic_cast<TCustomImageList*>(Target);
                                    if (Target && !Images) return false;
                                    (this->*List.Set)(Images);
                                    return true;
                                });
            },
            [Named](TWriter& Writer) { Writer.WriteIdent(Writer.ReferenceName(Named)); },
            Named != nullptr);
    }
}

void TdxBarManager::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TdxBarGroup* Group : FGroups)
        if (Group->Owner() == Root) Proc(Group);
    for (TdxBarItem* Item : FItems)
        if (Item->Category() >= 0 && Item->Owner() == Root) Proc(Item);
}

void TdxBarManager::DragItem(TdxBarItem* Item, TdxBarItemLink* SourceLink) {
    if (!Item || FDragging || !FIsCustomizing) return;
    FDraggingItem = Item;
    FDraggingItemLink = SourceLink;
    FDragging = true;
    bool SourceDeleted = false;
    try {
        SourceDeleted = dxBarCustomizing().DragAndDropItem(this, Item, SourceLink,
                                                           [this] { FDragging = false; });
    } catch (...) {
        FDragging = false;
        SetDragging(nullptr, nullptr);
        throw;
    }
    FDragging = false;
    SetDragging(nullptr, nullptr);
    // Without the drag the link's control loses the frame it had as the dragged one.
    if (SourceLink && !SourceDeleted && SourceLink->Control())
        dxBarViews().RepaintControl(SourceLink->Control());
}

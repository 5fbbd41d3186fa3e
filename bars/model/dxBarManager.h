#pragma once
// The bar manager: the one component of a form that owns its menu bar, toolbars, command items,
// categories, item groups, popup-menu links and dock sites, with the visual style and its metrics,
// the font, the image lists and customizing mode. Every other part of the framework reaches its
// settings through the manager of the bar, item or window it serves.
//
// Loading: a manager read from a form definition receives its bars (the collection), its
// categories and its items (nested as its children) before anything is applied; Loaded then
// applies what the items and bars held back while they were read (visibility, docking), in the
// order the bars need it.
//
// The update lock is a flag, not a counter: code that takes it saves the previous state and puts
// it back (TdxBarUpdateLock).
#include <memory>
#include <string>
#include <vector>

#include "bars/model/dxBarCategories.h"
#include "bars/model/dxBarTypes.h"
#include "platform/gdi/Graphics.h"
#include "platform/widgets/Forms.h"

class TdxBarButton;
class TdxBarGroup;
class TdxBarPopupMenuLinks;

class TdxBarManager : public TComponent {
  public:
    // Raises EComponentError when the owner is not a form or the form has a manager already;
    // without an owner the application's main form (when there is one) becomes the owner.
    explicit TdxBarManager(TComponent* AOwner);
    ~TdxBarManager() override;

    TCustomForm* OwnerForm() const { return FOwnerForm; }

    // --- items, groups, dock sites ---
    int ItemCount() const { return int(FItems.size()); }
    TdxBarItem* Items(int Index) const;
    TdxBarItem* ItemByName(const std::string& Name) const;
    void GetItemsByCategory(int Index, std::vector<TdxBarItem*>& List) const;
    void GetVisibleItemsByCategory(int Index, std::vector<TdxBarItem*>& List) const;
    void MoveItem(int From, int To);
    void ExchangeItems(int A, int B);
    int GroupCount() const { return int(FGroups.size()); }
    TdxBarGroup* Groups(int Index) const;
    TdxBarGroup* AddGroup();
    int DockControlCount() const { return int(FDockControls.size()); }
    TdxDockControl* DockControls(int Index) const;
    void AddDockControl(TdxDockControl* DockControl);
    void RemoveDockControl(TdxDockControl* DockControl);

    // --- bars ---
    TdxBars* Bars() const { return FBars.get(); }
    void SetBars(TdxBars* Value);
    TdxBar* BarByCaption(const std::string& Caption) const;
    TdxBar* BarByName(const std::string& Name) const;
    TdxBar* MainMenuBar() const { return FMainMenuBar; }

    // --- categories ---
    TdxBarManagerCategories* Categories() { return &FCategories; }
    void SetCategories(const TStrings* Value);
    TdxBarItemVisible GetCategoryItemsVisible(int Index) const;
    void SetCategoryItemsVisible(int Index, TdxBarItemVisible Value);
    bool GetCategoryVisible(int Index) const;
    void SetCategoryVisible(int Index, bool Value);
    int GetRealCategoryIndex(int VisibleIndex) const;

    // --- state ---
    bool UpdateLocked() const { return FUpdateLocked; }
    void SetUpdateLocked(bool Value);
    bool IsCustomizing() const { return FIsCustomizing; }
    // Switches customizing mode and opens or closes the customizing dialog with it (switching
    // on is refused while a customizing dialog is open).
    void Customizing(bool Value);
    // The mode alone, without the dialog: for code that shows the bars customized inside a
    // window of its own (and for tests of the mode itself).
    void CustomizingMode(bool Value);
    bool IsFlat() const { return FStyle == bmsFlat; }
    bool RecentItemsShownFirst() const {
        return FMenusShowRecentItemsFirst && FStyle != bmsStandard;
    }
    // The frame of floating bar windows.
    int BorderWidth() const;
    int BorderHeight() const;
    // The window that owns drag feedback and floating windows.
    HWND DragOwnerWindow();
    bool IsLoading() const { return ComponentState().Contains(csLoading); }
    bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
    // Item controls selected by the mouse or keys, outside and inside customizing mode.
    TdxBarItemControl* SelectedItem() const { return FSelectedItem; }
    void SetSelectedItem(TdxBarItemControl* Value) { FSelectedItem = Value; }
    TdxBarItemControl* CustomizingSelection() const { return FCustomizingSelection; }
    void SetCustomizingSelection(TdxBarItemControl* Value);
    // The toolbar window in menu mode, or none.
    TdxBarControl* KeyboardModeBar() const { return FKeyboardModeBar; }
    void SetKeyboardModeBar(TdxBarControl* Value) { FKeyboardModeBar = Value; }
    bool Dragging() const { return FDragging; }
    TdxBarItem* DraggingItem() const { return FDraggingItem; }
    TdxBarItemLink* DraggingItemLink() const { return FDraggingItemLink; }
    void SetDragging(TdxBarItem* Item, TdxBarItemLink* Link);
    // Forgets a bar window or item control that goes.
    void ControlDestroyed(TdxBarItemControl* Control);

    // --- what the hooks keep for the manager ---
    // A submenu window runs a loop of its own (dragging a menu off): keys go to it directly.
    bool InMenuLoop = false;
    // The owner form's activation is being handled.
    bool ActivationChanging = false;
    // The MDI child merged last, whether it was maximized, and the visibility its main menu bar
    // had before the merge.
    HWND LastMDIChild = 0;
    bool LastMDIChildMaximized = false;
    bool ChildMainMenuVisible = true;
    // Bars hidden because their window went with the owner form's window while the form stays
    // (the form's window is made again for a new border): each is kept once, and the form's
    // new window takes them back, the last kept first. A bar that is freed is forgotten.
    void KeepBarToShowAgain(TdxBar* Bar);
    TdxBar* TakeBarToShowAgain();

    // --- metrics ---
    int GripOffset() const { return FGripOffset; }
    int GripSize() const { return FGripSize; }
    int SubMenuSeparatorIndent() const { return FSeparatorIndent; }
    int ImageSize() const { return FImageSize; }
    int ButtonWidth() const { return FButtonWidth; }
    int ButtonHeight() const { return FButtonHeight; }
    int ArrowWidth() const { return FArrowWidth; }
    // The derived font for captions; the manager owns it (made when first asked for: sizes are
    // measured only once there is a window).
    HFONT FontHandle() const;
    // Flat-style brushes (made from the system colours) and the grey shadow brush.
    HBRUSH FlatToolbarsBrush() const { return FFlatBrushes[0]; }
    HBRUSH FlatGlyphColumnBrush() const { return FFlatBrushes[1]; }
    HBRUSH FlatFrameBrush() const { return FFlatBrushes[2]; }
    HBRUSH FlatSelectedBrush() const { return FFlatBrushes[3]; }
    HBRUSH FlatDownBrush() const { return FFlatBrushes[1]; }
    HBRUSH FlatDownSelectedBrush() const { return FFlatBrushes[2]; }
    HBRUSH ShadowBrush() const { return FGreyBrush; }
    // Makes the flat brushes again (the system colours changed).
    void CreateFlatBrushes();
    // The system's menu font changed: the manager's font follows it as UseSystemFont and
    // Scaled say.
    void SystemFontChanged();

    // --- operations ---
    // Fires OnClickItem; the item calls it before its own click.
    virtual void DoClickItem(TdxBarItem* Item);
    virtual bool CanDockBar(TdxBar* Bar, TdxBarDockingStyle Style, TdxDockControl* DockControl);
    void FillToolbarsPopup(TdxBarItemLinks* ItemLinks);
    // With CanCustomize: Button (a temporary item) becomes the "&Customize..." entry that opens
    // the customizing dialog, linked last in ItemLinks; its link, or none (Button is then freed).
    TdxBarItemLink* AddCustomizeButton(TdxBarItemLinks* ItemLinks, TdxBarButton* Button);
    // The item-change notice: meaningful to a form designer only.
    void DesignerModified() {}
    // The change notice: an open customizing dialog shows the options as they are now.
    void Changed();
    // Fired by the bars and the move engine.
    void DoBarAfterReset(TdxBar* Bar);
    void DoBarBeforeReset(TdxBar* Bar);
    void DoBarClose(TdxBar* Bar);
    void DoBarDockingStyleChange(TdxBar* Bar);
    void DoCloseButtonClick();
    void DoHelpButtonClick();
    void DoShowCustomizingPopup(TdxBarItemLinks* ItemLinks);
    void DoShowToolbarsPopup(TdxBarItemLinks* ItemLinks);
    // Customizing mode: drags an item (a link of it, or a command of the customizing dialog when
    // SourceLink is none) until it is dropped or the drag is cancelled.
    void DragItem(TdxBarItem* Item, TdxBarItemLink* SourceLink);
    // Gives every bar's and sub-item's links back the usage flags of the form's design.
    void ResetAllLinks();
    // Asks the user, then runs ResetAllLinks.
    void ResetUsageData();
    // Every bar window lays itself out again (metrics changed).
    void RecalcBarControls();
    // Every bar window paints itself again.
    void RepaintBarControls();
    // Layout of every dock site with a window.
    void RealignDockControls();

    // --- published properties ---
    bool AllowCallFromAnotherForm = false;
    bool AllowReset = true;
    bool AlwaysMerge = false;
    bool AlwaysSaveText = false;
    bool AutoDockColor() const { return FAutoDockColor; }
    void SetAutoDockColor(bool Value);
    bool AutoHideEmptyBars() const { return FAutoHideEmptyBars; }
    void SetAutoHideEmptyBars(bool Value);
    bool Scaled() const { return FScaled; }
    void SetScaled(bool Value);
    TFont* Font() { return &FFont; }
    void SetFont(const TFont* Value) { FFont.Assign(*Value); }
    int ButtonArrowWidth() const { return FButtonArrowWidth; }
    void SetButtonArrowWidth(int Value);
    bool CanCustomize = true;
    TColor DockColor() const;
    void SetDockColor(TColor Value);
    bool FlatCloseButton() const { return FFlatCloseButton; }
    void SetFlatCloseButton(bool Value);
    // Any change of the glyph shows in an open customizing dialog.
    TBitmap* HelpButtonGlyph() { return &FHelpButtonGlyph; }
    int HelpContext = 0;
    TCustomImageList* HotImages() const { return FHotImages; }
    void SetHotImages(TCustomImageList* Value);
    TColor ImageListBkColor() const { return FImageListBkColor; }
    void SetImageListBkColor(TColor Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    std::string IniFileName;
    TCustomImageList* LargeImages() const { return FLargeImages; }
    void SetLargeImages(TCustomImageList* Value);
    int LargeButtonArrowWidth() const { return FLargeButtonArrowWidth; }
    void SetLargeButtonArrowWidth(int Value);
    bool LargeIcons() const { return FLargeIcons; }
    void SetLargeIcons(bool Value);
    TdxBarMenuAnimations MenuAnimations() const { return FMenuAnimations; }
    void SetMenuAnimations(TdxBarMenuAnimations Value);
    bool MenusShowRecentItemsFirst() const { return FMenusShowRecentItemsFirst; }
    void SetMenusShowRecentItemsFirst(bool Value);
    int MostRecentItemsPercents() const { return FMostRecentItemsPercents; }
    void SetMostRecentItemsPercents(int Value);
    // The usage step derived from MostRecentItemsPercents (see TdxBarItemLinks).
    int MostRecentlyUsedUseCount() const { return FMostRecentlyUsedUseCount; }
    TdxBarDockingStyles NotDocking;
    // The links of the form's controls to popup menus: the windows' part of the manager, made
    // when it joins them and freed when it leaves.
    TdxBarPopupMenuLinks* PopupMenuLinks() const { return FPopupMenuLinks; }
    void SetPopupMenuLinks(TdxBarPopupMenuLinks* Value) { FPopupMenuLinks = Value; }
    // The popup menus of this manager.
    const std::vector<TdxBarPopupMenu*>& PopupMenus() const { return FPopupMenus; }
    std::string RegistryPath;
    bool ShowCloseButton() const { return FShowCloseButton; }
    void SetShowCloseButton(bool Value);
    bool ShowFullMenusAfterDelay() const { return FShowFullMenusAfterDelay; }
    void SetShowFullMenusAfterDelay(bool Value);
    bool ShowHelpButton() const { return FShowHelpButton; }
    void SetShowHelpButton(bool Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ShowHintForDisabledItems = true;
    bool ShowShortCutInHint() const { return FShowShortCutInHint; }
    void SetShowShortCutInHint(bool Value);
    bool StoreInIniFile = false;
    bool StoreInRegistry = false;
    bool StretchGlyphs = true;
    TdxBarManagerStyle Style() const { return FStyle; }
    void SetStyle(TdxBarManagerStyle Value);
    bool SunkenBorder() const { return FSunkenBorder; }
    void SetSunkenBorder(bool Value);
    bool UseF10ForMenu = true;
    bool UseFullReset = false;
    bool UseSystemFont() const { return FUseSystemFont; }
    void SetUseSystemFont(bool Value);
    int WaitForDockingTime() const { return FWaitForDockingTime; }
    void SetWaitForDockingTime(int Value);

    // --- events ---
    TdxBarEvent OnBarAdd;
    TdxBarEvent OnBarAfterReset;
    TdxBarEvent OnBarBeforeReset;
    TdxBarEvent OnBarClose;
    TdxBarEvent OnBarDelete;
    TdxBarEvent OnBarDockingStyleChange;
    TdxBarVisibleChangeEvent OnBarVisibleChange;
    TdxBarItemLinkEvent OnItemLinkAdd;
    TdxBarItemLinkEvent OnItemLinkChange;
    TdxBarItemLinkEvent OnItemLinkDelete;
    TNotifyEvent OnCloseButtonClick;
    TNotifyEvent OnHelpButtonClick;
    TNotifyEvent OnHideCustomizingForm;
    TNotifyEvent OnShowCustomizingForm;
    TdxBarCanDockingEvent OnDocking;
    TdxBarMenuMergeEvent OnMenuMerge;
    TdxBarShowPopupEvent OnShowCustomizingPopup;
    TdxBarShowPopupEvent OnShowToolbarsPopup;
    TdxBarClickItemEvent OnClickItem;

    // The four form-edge dock sites' sizes: left width, right width, top height, bottom height.
    std::vector<int> DockControlHeights() const;
    void SetDockControlHeights(const std::vector<int>& Values);
    // Form-definition resources read into the owner form.
    int ReadStateCount() const { return FReadStateCount; }
    // Whether a bar may go back to the form's design at all: AllowReset, and a form read from
    // exactly one definition (the design copy reads that one).
    bool BarsResettable() const { return AllowReset && FReadStateCount == 1; }

    // --- the stored layout and the form's design (dxBarStorage.cpp) ---
    // The layout under a path of HKEY_CURRENT_USER (an empty path: nothing), or in the sections
    // "<form>.<manager>.*" of an INI file (an empty name: nothing); see dxBarStoredLayout.h.
    void SaveToRegistry(const std::string& ARegistryPath);
    void LoadFromRegistry(const std::string& ARegistryPath);
    void SaveToIniFile(const std::string& AIniFileName);
    void LoadFromIniFile(const std::string& AIniFileName);
    // The owner form's design read again into a new form without owner, which the caller frees
    // (see dxBarDesignCopy.h); none when the form has no definition or the manager is not in it.
    TCustomForm* CreateDesignTimeCopy();

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  protected:
    void BeforeDestruction() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void ReadState(TReader& Reader) override;
    void DefineProperties(TFiler& Filer) override;

  private:
    friend class TdxBarItem;
    friend class TdxBarGroup;
    friend class TdxBar;
    friend class TdxBars;
    friend class TdxBarManagerCategories;
    friend class TdxBarPopupMenu;

    void SetMetrics();
    void CalcDerivedSizes();
    void CalcMostRecentlyUsedUseCount();
    void FontChanged();
    void FontHandleChanged();
    void ApplySystemFont();
    void ImagesChanged(TCustomImageList* List);
    void SetImageList(TCustomImageList*& Field, TChangeLink& Link, TCustomImageList* Value);
    void ChangeNotice() {}
    void AddItem(TdxBarItem* Item);
    void RemoveItem(TdxBarItem* Item);
    void RemoveGroup(TdxBarGroup* Group);
    void DestroyEverything();
    // The layout as StoreInRegistry and StoreInIniFile ask: read at the end of loading, written
    // when the owner form goes.
    void LoadStoredLayout();
    void SaveStoredLayout();
    std::string IniSectionPrefix() const;

    bool FCreationFailed = true;
    TCustomForm* FOwnerForm = nullptr;
    std::vector<TdxBarItem*> FItems;
    std::vector<TdxBarGroup*> FGroups;
    std::vector<TdxBar*> FBarsToShowAgain;
    std::vector<TdxDockControl*> FDockControls;
    std::vector<TdxBarPopupMenu*> FPopupMenus;
    TdxBarManagerCategories FCategories{this};
    std::unique_ptr<TdxBars> FBars;
    TdxBarPopupMenuLinks* FPopupMenuLinks = nullptr;
    TdxBar* FMainMenuBar = nullptr;

    bool FUpdateLocked = false;
    bool FIsCustomizing = false;
    bool FStyleChanging = false;
    TdxBarItemControl* FSelectedItem = nullptr;
    TdxBarItemControl* FCustomizingSelection = nullptr;
    TdxBarControl* FKeyboardModeBar = nullptr;
    bool FDragging = false;
    TdxBarItem* FDraggingItem = nullptr;
    TdxBarItemLink* FDraggingItemLink = nullptr;
    int FReadStateCount = 0;

    bool FAutoDockColor = true;
    bool FAutoHideEmptyBars = false;
    bool FScaled = true;
    TFont FFont;
    mutable HFONT FFontHandle = 0;
    bool FFontChanging = false;
    int FButtonArrowWidth = 9;
    TColor FDockColor = clBtnFace;
    bool FFlatCloseButton = false;
    TBitmap FHelpButtonGlyph;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FLargeImages = nullptr;
    TCustomImageList* FHotImages = nullptr;
    TChangeLink FImagesLink, FLargeImagesLink, FHotImagesLink;
    TColor FImageListBkColor = clFuchsia;
    int FLargeButtonArrowWidth = 14;
    bool FLargeIcons = false;
    TdxBarMenuAnimations FMenuAnimations = maNone;
    bool FMenusShowRecentItemsFirst = true;
    int FMostRecentItemsPercents = 95;
    int FMostRecentlyUsedUseCount = 0;
    bool FShowCloseButton = false;
    bool FShowFullMenusAfterDelay = true;
    bool FShowHelpButton = false;
    bool FShowHint = true;
    bool FShowShortCutInHint = false;
    TdxBarManagerStyle FStyle = bmsEnhanced;
    bool FSunkenBorder = false;
    bool FUseSystemFont = false;
    int FWaitForDockingTime = 21;

    int FGripOffset = 0, FGripSize = 0, FSeparatorIndent = 0;
    int FImageSize = 16, FButtonWidth = 23, FButtonHeight = 22, FArrowWidth = 9;
    HBRUSH FFlatBrushes[4] = {0, 0, 0, 0};
    HBRUSH FGreyBrush = 0;
};

// Takes the manager's update lock for its lifetime and puts the previous state back.
class TdxBarUpdateLock {
  public:
    explicit TdxBarUpdateLock(TdxBarManager* Manager)
        : FManager(Manager), FWas(Manager ? Manager->UpdateLocked() : false) {
        if (FManager) FManager->SetUpdateLocked(true);
    }
    ~TdxBarUpdateLock() {
        if (FManager) FManager->SetUpdateLocked(FWas);
    }
    TdxBarUpdateLock(const TdxBarUpdateLock&) = delete;
    TdxBarUpdateLock& operator=(const TdxBarUpdateLock&) = delete;

  private:
    TdxBarManager* FManager;
    bool FWas;
};

// The process-wide list of managers, through which the hooks and the items find the manager of a
// form.
class TdxBarManagerList {
  public:
    static TdxBarManagerList& Instance();
    int Count() const { return int(FManagers.size()); }
    TdxBarManager* Items(int Index) const { return FManagers.at(size_t(Index)); }
    bool Contains(const TdxBarManager* Manager) const;
    // Lists each manager once.
    void Add(TdxBarManager* Manager);
    void Remove(TdxBarManager* Manager);

  private:
    std::vector<TdxBarManager*> FManagers;
};

// The manager whose owner form is Form; none without a form or manager.
TdxBarManager* BarManagerOfForm(TCustomForm* Form);

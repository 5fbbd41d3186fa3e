#pragma once
// Bars: the menu bar and the toolbars of a form, each a named, captioned list of item links that
// is docked at a dock site or floats. The manager owns them in a collection, which also makes the
// four dock sites along the form's edges.
//
// A bar's window exists while the bar is visible: showing the bar makes it (docked into its dock
// site, or floating), hiding the bar frees it. While the manager loads, the docking and the
// visibility read are held back and applied by the manager's Loaded.
#include <memory>
#include <string>
#include <vector>

#include "bars/model/dxBarTypes.h"
#include "platform/forms/Collection.h"
#include "platform/gdi/Graphics.h"

enum class TdxBarWindowChange;
struct TdxBarWindowState;

class TdxBar : public TCollectionItem {
  public:
    explicit TdxBar(TCollection* Collection);
    ~TdxBar() override;

    TdxBars* Bars() const;
    TdxBarManager* BarManager() const;
    // The bar's window, while the bar is visible.
    TdxBarControl* Control() const;
    // The bar's window (when it has one) does as What says; what it is.
    void TellWindow(TdxBarWindowChange What) const;
    TdxBarWindowState WindowState() const;

    // --- published ---
    bool AllowClose() const { return FAllowClose; }
    void SetAllowClose(bool Value);
    bool AllowCustomizing = true;
    bool AllowQuickCustomizing() const { return FAllowQuickCustomizing; }
    void SetAllowQuickCustomizing(bool Value);
    bool AllowReset = true;
    TdxBarBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TdxBarBorderStyle Value);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TdxBarDockControl* DockControl() const { return FDockControl; }
    void SetDockControl(TdxBarDockControl* Value);
    TdxBarDockControl* DockedDockControl() const { return FDockedDockControl; }
    void SetDockedDockControl(TdxBarDockControl* Value);
    TdxBarDockingStyle DockedDockingStyle() const;
    void SetDockedDockingStyle(TdxBarDockingStyle Value) { FDockedDockingStyle = Value; }
    int DockedLeft() const { return FDockedLeft; }
    void SetDockedLeft(int Value) { FDockedLeft = Value < 0 ? 0 : Value; }
    int DockedTop() const { return FDockedTop; }
    void SetDockedTop(int Value) { FDockedTop = Value < 0 ? 0 : Value; }
    TdxBarDockingStyle DockingStyle() const;
    void SetDockingStyle(TdxBarDockingStyle Value);
    int FloatLeft = 0;
    int FloatTop = 0;
    int FloatClientWidth = 0;
    int FloatClientHeight = 0;
    TFont* Font() { return &FFont; }
    void SetFont(const TFont* Value) { FFont.Assign(*Value); }
    bool Hidden = false;
    // Hidden by the manager because a category change left it empty (AutoHideEmptyBars); not
    // stored, and not the published Hidden: the bar is still offered in the toolbar lists.
    bool AutoHidden = false;
    bool IsMainMenu() const { return FIsMainMenu; }
    void SetIsMainMenu(bool Value);
    TdxBarItemLinks* ItemLinks() const { return FItemLinks.get(); }
    void SetItemLinks(TdxBarItemLinks* Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    TdxBarDockingStyles NotDocking;
    bool OneOnRow = false;
    bool RotateWhenVertical() const { return FRotateWhenVertical; }
    void SetRotateWhenVertical(bool Value);
    int Row() const { return FRow; }
    void SetRow(int Value) { FRow = Value < 0 ? 0 : Value; }
    bool ShowMark() const { return FShowMark; }
    void SetShowMark(bool Value);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    bool UseOwnFont() const { return FUseOwnFont; }
    void SetUseOwnFont(bool Value);
    bool UseRecentItems() const { return FUseRecentItems; }
    void SetUseRecentItems(bool Value);
    bool UseRestSpace() const { return FUseRestSpace; }
    void SetUseRestSpace(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool WholeRow() const { return FWholeRow; }
    void SetWholeRow(bool Value);

    // --- what the windows ask ---
    // The site the bar docks into: its own, or the collection's site of its style (none when
    // floating).
    TdxDockControl* RealDockControl() const;
    bool CanClose() const;
    bool CanReset() const { return FLoaded && AllowReset; }
    bool ShowsSizeGrip() const;
    // The frame's extents for a docking style, added to the window's client size.
    int FrameWidth(TdxBarDockingStyle Style) const;
    int FrameHeight(TdxBarDockingStyle Style) const;
    // The font handle captions use: the bar's own with UseOwnFont, else the manager's.
    HFONT FontHandle() const;
    bool ProcessShortCut(TShortCut Key);
    // Back to the form's design (Reset); ResetWithConfirmation asks the user first.
    void Reset();
    void ResetWithConfirmation();
    // The repaint lock: while set the window skips its layouts; clearing it lays it out again.
    bool UpdateLocked() const { return FLockUpdate; }
    void SetUpdateLocked(bool Value);
    bool Loaded() const { return FLoaded; }

    // Sub-items whose DetachingBar is this bar.
    void AddDetachingSubItem(TCustomdxBarSubItem* Item);
    void RemoveDetachingSubItem(TCustomdxBarSubItem* Item);

    void Assign(const TPersistent* Source) override;
    std::string DisplayName() const override { return FCaption; }

  private:
    friend class TdxBarManager;
    friend class TdxBars;
    friend class TdxBarControl;
    // Docking by style and site together (Assign).
    void SetDocking(TdxBarDockingStyle Style, TdxBarDockControl* Site);
    void ApplyLoadedState();
    void FontChanged();
    // The manager's font changed: a bar without a font of its own takes it.
    void ManagerFontChanged();
    void ShowControl();
    void HideControl();
    void RecalcControl();
    bool ManagerLoading() const;

    bool FAllowClose = true;
    bool FAllowQuickCustomizing = true;
    TdxBarBorderStyle FBorderStyle = bbsSingle;
    std::string FCaption;
    TdxBarDockControl* FDockControl = nullptr;
    TdxBarDockControl* FDockedDockControl = nullptr;
    TdxBarDockingStyle FDockedDockingStyle = dsTop;
    int FDockedLeft = 0;
    int FDockedTop = 0;
    TdxBarDockingStyle FDockingStyle = dsTop;
    TFont FFont;
    mutable HFONT FFontHandle = 0;
    bool FIsMainMenu = false;
    std::unique_ptr<TdxBarItemLinks> FItemLinks;
    bool FMultiLine = false;
    std::string FName;
    bool FRotateWhenVertical = true;
    int FRow = 0;
    bool FShowMark = true;
    bool FSizeGrip = true;
    bool FUseOwnFont = false;
    bool FUseRecentItems = true;
    bool FUseRestSpace = false;
    bool FVisible = false;
    bool FWholeRow = false;

    bool FChangingDock = false;
    bool FLoaded = false;
    bool FLockUpdate = false;
    // The lock was set by the manager's update lock, which releases it again.
    bool FLockedByManager = false;
    bool FFontCopying = false;
    TdxBarDockControl* FLoadedDockControl = nullptr;
    TdxBarDockingStyle FLoadedDockingStyle = dsTop;
    bool FLoadedVisible = false;
    std::vector<TCustomdxBarSubItem*> FDetachingSubItems;
};

class TdxBars : public TCollection {
  public:
    explicit TdxBars(TdxBarManager* Manager);
    ~TdxBars() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    TdxBar* Items(int Index) const { return static_cast<TdxBar*>(TCollection::Items(Index)); }
    TdxBar* Add() { return static_cast<TdxBar*>(TCollection::Add()); }
    // The form-edge dock site of a docking style (none for dsNone).
    TdxDockControl* DockControls(TdxBarDockingStyle Style) const;
    // Forgets a form-edge site that goes away (the manager's RemoveDockControl).
    void DockControlRemoved(TdxDockControl* Site);
    // The caption followed by 1, 2, ...: the first name no bar has.
    std::string GetUniqueBarName(const std::string& Caption) const;
    // Set by the manager's Loaded while it restores the bars: change notices stay quiet.
    bool Loading() const { return FLoading; }
    void SetLoading(bool Value) { FLoading = Value; }

    // Set by the windows while a bar of the manager is moved with the mouse.
    bool Dragging() const { return FDragging; }
    void SetDragging(bool Value) { FDragging = Value; }

  protected:
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

  private:
    TdxBarManager* FBarManager;
    TdxDockControl* FDockControls[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
    bool FLoading = false;
    bool FDragging = false;
};

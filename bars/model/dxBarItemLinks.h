#pragma once
// Item links: one item placed at one position of a bar, a submenu or a popup menu, with what that
// place overrides (caption, glyph, paint style, width). A links collection belongs to each bar,
// sub-item and popup menu, and keeps the usage record behind the personalized menus.
//
// The lists a collection keeps, rebuilt after every change (Rebuild):
//   available  - links whose item is shown (IsShown), in collection order;
//   can-visible - available links whose own Visible is set;
//   visible    - what the bar window shows: the can-visible list, or its recently used subset;
//   usage      - every link, most recently used first.
// The window places the first ShownCount links of the visible list (a single-line toolbar that is
// too short places fewer and shows the rest through its mark).
//
// Usage step S: from MostRecentItemsPercents P the manager derives S, the smallest N from 1 up for
// which (100 - P) * N / 100 (fraction dropped) is above 0, or 0 when P is 100. A used link gets S
// added to its count; the recent item count keeps the links whose count reaches a threshold
// between the smallest and the largest count (CalcRecentItemCount).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bars/model/dxBarTypes.h"
#include "platform/actions/ShortCuts.h"
#include "platform/classes/WinTypes.h"
#include "platform/forms/Collection.h"
#include "platform/gdi/Graphics.h"

class TdxBarItemLink : public TCollectionItem {
  public:
    explicit TdxBarItemLink(TCollection* Collection);
    ~TdxBarItemLink() override;

    TdxBarItemLinks* Links() const;
    TdxBarManager* BarManager() const;

    // --- published ---
    // The effective value: see the top of dxBarItemLinks.cpp.
    bool BeginGroup() const;
    void SetBeginGroup(bool Value);
    // The link's own flag, as stored.
    bool OwnBeginGroup() const { return FBeginGroup; }
    TdxBarItem* Item() const { return FItem; }
    // Setting none frees the link.
    void SetItem(TdxBarItem* Value);
    bool MostRecentlyUsed() const { return FMostRecentlyUsed; }
    void SetMostRecentlyUsed(bool Value);
    const std::string& UserCaption() const { return FUserCaption; }
    void SetUserCaption(const std::string& Value);
    TdxBarUserDefines UserDefine() const { return FUserDefine; }
    // Removing a flag clears its value; flags that do not exist are dropped.
    void SetUserDefine(TdxBarUserDefines Value);
    TBitmap* UserGlyph() { return &FUserGlyph; }
    void SetUserGlyph(const TBitmap* Value);
    TdxBarPaintStyle UserPaintStyle() const { return FUserPaintStyle; }
    void SetUserPaintStyle(TdxBarPaintStyle Value);
    int UserWidth() const { return FUserWidth; }
    void SetUserWidth(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    // --- effective values ---
    std::string Caption() const;
    TBitmap* Glyph();
    TdxBarPaintStyle PaintStyle() const;
    int Width() const;

    // --- the window's view of it ---
    TdxBarItemControl* Control() const { return FControl; }
    void CreateControl();
    void DestroyControl();
    const TRect& ItemRect() const { return FItemRect; }
    void SetItemRect(const TRect& R) { FItemRect = R; }
    int RowHeight() const { return FRowHeight; }
    void SetRowHeight(int Value) { FRowHeight = Value; }
    // The item is shown and the link is visible.
    bool IsShown() const;
    // Key (a virtual key) with Shift matches the caption's mnemonic.
    bool MatchesAccel(WORD Key, TShiftState Shift) const;
    // The link change notice (see Changed in the .cpp).
    void Changed();

    // --- usage ---
    int UseCount() const { return FUseCount; }
    void SetUseCount(int Value) { FUseCount = Value; }
    // Marks the link used: to the front of the usage list, S added when Count.
    void RecordUse(bool Count = true);
    // Marks the link hidden: to the end of the usage list.
    void RecordHidden();
    // The usage state a link starts with (by MostRecentlyUsed).
    void ResetUsage();
    void MoveToUsagePosition(int Position);
    int UsagePosition() const;
    void SaveUsagePosition();
    void RestoreUsagePosition();
    void CopyUsage(TdxBarItemLink* From);
    // Read from a stored layout and applied by the collection's ResetUsage (-1: none).
    int LoadedRecentIndex = -1;
    int LoadedUseCount = 0;
    // Visible as read while the manager loads or the collection assigns.
    bool LoadedVisible() const { return FLoadedVisible; }
    void SetLoadedVisible(bool Value) { FLoadedVisible = Value; }

    // A link a container item made for its submenu: the container's link, and the link copied.
    TdxBarItemLink* OwnerLink() const { return FOwnerLink; }
    void SetOwnerLink(TdxBarItemLink* Value) { FOwnerLink = Value; }
    TdxBarItemLink* OriginalLink() const { return FOriginalLink; }
    void SetOriginalLink(TdxBarItemLink* Value) { FOriginalLink = Value; }
    // The link a click counts for: the copied link, else this one.
    TdxBarItemLink* SourceLink() { return FOriginalLink ? FOriginalLink : this; }

    void Assign(const TPersistent* Source) override;
    std::string DisplayName() const override;

  private:
    // Lets go of the item and of the control that shows it.
    void LeaveItem();
    friend class TdxBarItemLinks;
    friend class TdxBarItem;
    void ItemDestroyed() { FItem = nullptr; }
    // The bar window posts itself a new layout (links shown or hidden by use).
    void PostLayout(bool WasVisible);

    TdxBarItem* FItem = nullptr;
    bool FBeginGroup = false;
    bool FMostRecentlyUsed = true;
    std::string FUserCaption;
    TdxBarUserDefines FUserDefine;
    TBitmap FUserGlyph;
    TdxBarPaintStyle FUserPaintStyle = psStandard;
    int FUserWidth = 0;
    bool FVisible = true;
    bool FLoadedVisible = true;
    TdxBarItemControl* FControl = nullptr;
    TRect FItemRect;
    int FRowHeight = 0;
    int FUseCount = 0;
    int FSavedUsagePosition = -1;
    TdxBarItemLink* FOwnerLink = nullptr;
    TdxBarItemLink* FOriginalLink = nullptr;
    bool FDestroying = false;
};

class TdxBarItemLinks : public TCollection {
  public:
    // Owner: a TdxBar, a sub-item or a popup menu.
    TdxBarItemLinks(TdxBarManager* Manager, TPersistent* Owner);
    ~TdxBarItemLinks() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    void SetBarManager(TdxBarManager* Value) { FBarManager = Value; }
    TPersistent* LinksOwner() const { return FOwner; }
    // The owner as a bar, a sub-item or a popup menu (none when it is another kind).
    TdxBar* OwnerBar() const;
    TCustomdxBarSubItem* OwnerSubItem() const;
    TdxBarPopupMenu* OwnerPopupMenu() const;

    TdxBarItemLink* Add() { return static_cast<TdxBarItemLink*>(TCollection::Add()); }
    TdxBarItemLink* Items(int Index) const {
        return static_cast<TdxBarItemLink*>(TCollection::Items(Index));
    }
    TdxBarItemLink* Insert(int Index) {
        return static_cast<TdxBarItemLink*>(TCollection::Insert(Index));
    }

    // --- the lists ---
    int AvailableCount() const { return int(FAvailable.size()); }
    TdxBarItemLink* AvailableItems(int Index) const { return At(FAvailable, Index); }
    int AvailableIndexOf(const TdxBarItemLink* Link) const { return IndexIn(FAvailable, Link); }
    int CanVisibleItemCount() const { return int(FCanVisible.size()); }
    TdxBarItemLink* CanVisibleItems(int Index) const { return At(FCanVisible, Index); }
    int CanVisibleIndexOf(const TdxBarItemLink* Link) const { return IndexIn(FCanVisible, Link); }
    int VisibleItemCount() const { return int(FVisible.size()); }
    TdxBarItemLink* VisibleItems(int Index) const { return At(FVisible, Index); }
    int VisibleIndexOf(const TdxBarItemLink* Link) const { return IndexIn(FVisible, Link); }
    int UsageCount() const { return int(FUsage.size()); }
    TdxBarItemLink* UsageItems(int Index) const { return At(FUsage, Index); }
    int UsageIndexOf(const TdxBarItemLink* Link) const { return IndexIn(FUsage, Link); }
    // The links the window places: the first ShownCount of the visible list (-1: all).
    int ShownCount() const;
    void SetShownCount(int Value) { FShownCount = Value; }
    TdxBarItemLink* ShownItems(int Index) const;
    int ShownIndexOf(const TdxBarItemLink* Link) const;

    // --- personalized menus ---
    void Rebuild();
    bool UseRecentItems() const { return FUseRecentItems; }
    void SetUseRecentItems(bool Value);
    bool UsesRecentItems() const;
    int RecentItemCount() const { return FRecentItemCount; }
    int CalcRecentItemCount() const;
    void SetRecentItemCount(int Value);
    void RestoreRecentItemCount();
    // Every link gets its usage state back; with ApplyLoaded its loaded visibility and stored
    // usage too.
    void ResetUsage(bool ApplyLoaded);
    void CopyMostRecentlyUsed(const TdxBarItemLinks* From);

    // --- keyboard selection ---
    int FittingCount() const;
    TdxBarItemLink* First() const;
    TdxBarItemLink* Last() const;
    TdxBarItemLink* Next(TdxBarItemLink* Link) const;
    TdxBarItemLink* Prev(TdxBarItemLink* Link) const;
    TdxBarItemLink* FindLinkByAccel(WORD Key, TShiftState Shift, TdxBarItemLink* Start) const;
    // The first clickable item of these links (and sub-items inside) whose ShortCut is Key is
    // clicked; true when one was. Links already being searched (a drop-down menu that holds its
    // own button) are not searched again.
    bool ProcessShortCut(TShortCut Key);

    // --- the window ---
    TCustomdxBarControl* BarControl() const { return FBarControl; }
    void SetBarControl(TCustomdxBarControl* Value) { FBarControl = Value; }
    TCustomdxBarControl* CreateBarControl();
    // Forgets every link's rectangle.
    void EmptyItemRects();
    void UpdateActions();

    bool Assigning() const { return FAssigning; }
    void Assign(const TPersistent* Source) override;
    // Fired after every update and after a link went.
    TNotifyEvent OnChange;

  protected:
    void Update(TCollectionItem* Item) override;
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

  private:
    friend class TdxBarItemLink;
    static TdxBarItemLink* At(const std::vector<TdxBarItemLink*>& List, int Index);
    static int IndexIn(const std::vector<TdxBarItemLink*>& List, const TdxBarItemLink* Link);
    bool Selectable(TdxBarItemLink* Link) const;
    void Forget(const TCollectionItem* Link);

    TdxBarManager* FBarManager;
    TPersistent* FOwner;
    TCustomdxBarControl* FBarControl = nullptr;
    std::vector<TdxBarItemLink*> FAvailable, FCanVisible, FVisible, FUsage;
    int FRecentItemCount = -1;
    int FSavedRecentItemCount = -1;
    int FShownCount = -1;
    bool FUseRecentItems = true;
    bool FAssigning = false;
};

// The usage step for a percentage (0..100).
int MostRecentlyUsedStep(int Percents);

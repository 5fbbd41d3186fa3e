#pragma once
// The bar manager and its command items: for now the part the exchange run needs (enabled
// state, clicks, the update lock). Bars, links and item controls attach to the same classes.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TdxBarManager;
class TdxBarItem;

using TNotifyEvent = std::function<void(void* Sender)>;

// What shows an item (a link on a bar, in a submenu or a popup menu): told when the item's
// state changed so that its control repaints.
class TdxBarItemLinkObserver {
  public:
    virtual ~TdxBarItemLinkObserver() = default;
    virtual void ItemChanged(TdxBarItem& Item) = 0;
};

// One manager per window: owns nothing yet but the items' common state.
class TdxBarManager {
  public:
    TdxBarManager() = default;
    TdxBarManager(const TdxBarManager&) = delete;
    TdxBarManager& operator=(const TdxBarManager&) = delete;

    bool UpdateLocked() const { return FUpdateLocked; }
    // Stores the lock; unlocking has everything that shows an item repaint it.
    void SetUpdateLocked(bool Value);
    // Customizing mode: while it is on, items of a category read as enabled.
    bool IsCustomizing() const { return FIsCustomizing; }
    void SetIsCustomizing(bool Value) { FIsCustomizing = Value; }
    // Items being created from the window's definition: enabling does not refresh links then.
    bool Loading() const { return FLoading; }
    void SetLoading(bool Value) { FLoading = Value; }

    const std::vector<TdxBarItem*>& Items() const { return FItems; }

  private:
    friend class TdxBarItem;
    bool FUpdateLocked = false;
    bool FIsCustomizing = false;
    bool FLoading = false;
    std::vector<TdxBarItem*> FItems;
};

class TdxBarItem {
  public:
    explicit TdxBarItem(TdxBarManager* BarManager);
    virtual ~TdxBarItem();
    TdxBarItem(const TdxBarItem&) = delete;
    TdxBarItem& operator=(const TdxBarItem&) = delete;

    TdxBarManager* BarManager() const { return FBarManager; }
    std::string Caption;
    std::string Hint;
    int32_t Category = -1;
    TNotifyEvent OnClick;

    // The stored flag, except that in customizing mode an item of a category reads as enabled.
    bool Enabled() const;
    // Stores the flag; a change refreshes every link of the item (not while loading).
    void SetEnabled(bool Value);

    // What a click on a link or the item's shortcut does: calls OnClick with the item when it
    // is enabled.
    virtual void Click();

    void AddLink(TdxBarItemLinkObserver* Link);
    // Tells every link that the item changed.
    void NotifyLinks();
    void RemoveLink(TdxBarItemLinkObserver* Link);

  private:
    TdxBarManager* FBarManager;
    bool FEnabled = true;
    std::vector<TdxBarItemLinkObserver*> FLinks;
};

class TdxBarButton : public TdxBarItem {
  public:
    using TdxBarItem::TdxBarItem;
};

class TdxBarSubItem : public TdxBarItem {
  public:
    using TdxBarItem::TdxBarItem;
};

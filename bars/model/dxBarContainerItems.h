#pragma once
// Container items: sub-items that do not open a submenu of their own but expand, inside the
// submenu that shows their link, into links of their own making. TdxBarContainerItem inserts
// copies of its links; TdxBarListItem turns a list of strings into numbered buttons and reports
// the one chosen.
#include <string>
#include <vector>

#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarWindowItems.h"

class TCustomdxBarContainerItem : public TCustomdxBarSubItem {
  public:
    explicit TCustomdxBarContainerItem(TComponent* AOwner) : TCustomdxBarSubItem(AOwner) {}

    TNotifyEvent OnGetData;
    // The generated contents must be made again (the submenu that showed them closed).
    bool Stale() const { return FStale; }
    void SetStale(bool Value) { FStale = Value; }

    // Inserts the generated links into Target at Index, each marked as made for OwnerLink.
    virtual void AddListedItemLinks(TdxBarItemLinks* Target, int Index, TdxBarItemLink* OwnerLink,
                                    bool FireGetData) = 0;
    // Takes them out of Target again.
    virtual void DeleteListedItemLinks(TdxBarItemLinks* Target, int Index) = 0;
    virtual void ClearListedItems() { FStale = false; }
    virtual bool FirstLinkBeginsGroup() const { return true; }

  protected:
    void BeforeDestruction() override;
    // Clears stale contents and fires OnGetData when asked: the start of every expansion.
    void PrepareExpansion(bool FireGetData);

  private:
    bool FStale = false;
};

class TdxBarContainerItem : public TCustomdxBarContainerItem {
  public:
    explicit TdxBarContainerItem(TComponent* AOwner) : TCustomdxBarContainerItem(AOwner) {}

    void AddListedItemLinks(TdxBarItemLinks* Target, int Index, TdxBarItemLink* OwnerLink,
                            bool FireGetData) override;
    void DeleteListedItemLinks(TdxBarItemLinks* Target, int Index) override;
};

class TdxBarListItem : public TCustomdxBarContainerItem {
  public:
    explicit TdxBarListItem(TComponent* AOwner);

    // The position of ItemIndex among the entries that are not separators (-1 when none);
    // writing a position selects that entry, or none (-1) when there is no such position.
    int DataIndex() const;
    void SetDataIndex(int Value);
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value) { FItemIndex = Value; }
    TStringList* Items() { return &FItems; }
    void SetItems(const TStrings* Value) { FItems.Assign(*Value); }
    bool ShowCheck = false;
    bool ShowNumbers = true;

    // The text an entry shows (the entry itself).
    virtual void GetDisplayText(int Entry, std::string& Text) const;
    // Nothing while one of the item's links shows its submenu.
    void DirectClick() override;

    void AddListedItemLinks(TdxBarItemLinks* Target, int Index, TdxBarItemLink* OwnerLink,
                            bool FireGetData) override;
    void DeleteListedItemLinks(TdxBarItemLinks* Target, int Index) override;
    // Frees the generated buttons while none of them is linked anywhere.
    void ClearListedItems() override;

    // The caption of the K-th entry that is not a separator (K from 0).
    std::string CaptionOf(int K, const std::string& Text) const;
    int ButtonCount() const { return int(FButtons.size()); }
    TdxBarButton* Buttons(int Index) const { return FButtons.at(size_t(Index)); }

  protected:
    void BeforeDestruction() override;
    // A made button freed by the form before the list item is forgotten.
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    int NonSeparatorCount() const;
    void FreeButtons();
    TdxBarNotifyingStrings FItems;
    int FItemIndex = -1;
    std::vector<TdxBarButton*> FButtons;
};

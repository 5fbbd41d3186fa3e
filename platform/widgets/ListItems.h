#pragma once
// What list boxes and combo boxes share: their items, the canvas their owner-drawn items are
// painted on, and the colours they ask their parent for.
//
// Items are texts (Windows-1252 bytes), each with an object that the window keeps as the item's
// data. They live in the control's window while it has one, and in the control itself while it
// has none: before the window is made (a definition fills a list long before its form shows) and
// while it is made again (RecreateWnd after a change of style). Going from one to the other keeps
// the texts, the data, the selection and the current item; a sorted control keeps its items in
// the order the window sorts them in (platform/controls/ItemTexts.h) in both places.
//
// Owner-drawn items: the window asks its parent to measure and draw them; the parent hands the
// request back to the control (CN_MEASUREITEM, CN_DRAWITEM), which paints on Canvas with the
// control's font and colour (the highlight colours for a selected item) and calls DrawItem,
// whose default calls OnDrawItem or draws the text; the focus rectangle is drawn after it.
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/controls/OwnerDraw.h"
#include "platform/widgets/Control.h"
#include "platform/widgets/ItemCanvas.h"

// The state of an owner-drawn item: bit n of the window's itemState is the value n.
enum TOwnerDrawStateItem {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odReserved1,
    odReserved2,
    odComboBoxEdit,
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
inline TOwnerDrawState OwnerDrawStateOf(UINT ItemState) {
    return TOwnerDrawState::FromBits(ItemState & ((1u << (odComboBoxEdit + 1)) - 1));
}

using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

// The messages of one kind of list window (a list box's LB_..., a combo box's CB_...).
struct TListMessages {
    UINT AddString, InsertString, DeleteString, ResetContent, GetCount, GetText, GetTextLen,
        GetItemData, SetItemData, FindStringExact, GetCurSel, SetCurSel;
    LRESULT Err, ErrSpace;
};
extern const TListMessages kListBoxMessages;
extern const TListMessages kComboBoxMessages;

class TCustomListControl;

// A control's items as a string list. Reading an index outside the list raises
// EStringListError; an item the window refuses (too many, too long) raises it too.
class TListControlItems : public TStrings {
  public:
    explicit TListControlItems(TCustomListControl* Control) : FControl(Control) {}
    TCustomListControl* Control() const { return FControl; }

    int Count() const override;
    std::string Get(int Index) const override;
    // Replaces the text in place: the item keeps its data and the current item stays.
    void Put(int Index, const std::string& Value) override;
    void* GetObject(int Index) const override;
    void PutObject(int Index, void* Object) override;
    void Insert(int Index, const std::string& Value) override;
    // Appends, or, in a sorted control, puts the item in its place.
    int AddObject(const std::string& Value, void* Object) override;
    void Delete(int Index) override;
    void Clear() override;
    // Compared as the window compares: without regard to case, Ä equal to ä.
    int IndexOf(const std::string& Value) const override;

  protected:
    // The window stops drawing between BeginUpdate and EndUpdate.
    void SetUpdateState(bool Updating) override;

  private:
    TCustomListControl* FControl;
};

class TCustomListControl : public TWinControl {
  public:
    ~TCustomListControl() override;

    TStrings* Items() { return FItems.get(); }
    void SetItems(const TStrings* Value) { FItems->Assign(*Value); }
    // The current item, -1 for none; setting an index outside the items selects none.
    int ItemIndex();
    void SetItemIndex(int Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    void Clear() { FItems->Clear(); }
    TCanvas* Canvas() { return &FCanvas; }

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

  protected:
    TCustomListControl(TComponent* AOwner, const TListMessages& Messages);

    // --- items, in the window or in memory (for TListControlItems)
    int ItemCount();
    std::string ItemText(int Index);
    // The item's data as the window keeps it; the object unless a class keeps more (see
    // GetItemObject).
    LRESULT ItemData(int Index);
    void SetItemData(int Index, LRESULT Data);
    // Index -1 adds (sorted when the control sorts); the index the item got.
    int InsertItem(int Index, const std::string& Text);
    // Takes an item out; its data is the caller's.
    void RemoveItem(int Index);
    virtual void* GetItemObject(int Index) { return reinterpret_cast<void*>(ItemData(Index)); }
    virtual void SetItemObject(int Index, void* Object) {
        SetItemData(Index, reinterpret_cast<LRESULT>(Object));
    }
    // An item's data goes for good (deleted or cleared, not when an item is replaced or the
    // window made again).
    virtual void ItemDataFreed(LRESULT) {}

    // --- the current item and the selection in the window
    virtual int WindowItemIndex();
    virtual void SetWindowItemIndex(int Value);
    virtual bool WindowSelected(int) { return false; }
    virtual void SetWindowSelected(int) {}
    // In memory: whether an item is marked selected, and marking it.
    bool SavedSelected(int Index) const;
    void SetSavedSelected(int Index, bool Value);

    // --- owner draw
    virtual bool OwnerDrawn() const = 0;
    virtual bool VariableHeight() const = 0;
    // The default: OnDrawItem when assigned, else the item's text.
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    int FItemHeight = 16;

    void CreateWnd() override;
    void DestroyWnd() override;
    void Loaded() override;
    void Dispatch(TMessage& Message) override;
    // The window was made again with the items: each class restores what else it kept.
    virtual void ItemsRestored() {}
    // WM_CTLCOLOR...: the control's font colour on its colour.

    const TListMessages& FMessages;

  private:
    friend class TListControlItems;
    struct TSavedItem {
        std::string Text;
        LRESULT Data = 0;
        bool Selected = false;
        // The current item (ItemIndex).
        bool Current = false;
    };
    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    bool ItemSelected(int Index);
    void SelectItem(int Index);
    void SortSaved();
    void SaveItems();
    void RestoreItems();
    void DrawItemMessage(DRAWITEMSTRUCT& Draw);
    void MeasureItemMessage(MEASUREITEMSTRUCT& Measure);

    std::unique_ptr<TListControlItems> FItems;
    std::vector<TSavedItem> FSaved;
    bool FSorted = false;
    // An ItemIndex read from a definition waits for the items that follow it there.
    int FLoadedItemIndex = -1;
    bool FItemIndexLoaded = false;
    TItemCanvas FCanvas;
};

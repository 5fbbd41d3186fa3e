#pragma once
// The list view: items with a caption, sub-item texts, an image, a state image and item data,
// shown as rows under column headers (report), as large or small icons, or as a list.
//
// The items (TListItems of TListItem) and the columns (TListColumns of TListColumn) are objects of
// the control, in the order the window shows them; the window (SysListView32, see
// platform/controls/ListView.h) gets them when it is made and every change while it exists (see
// ComCtrlsBase.h). Each window item carries its TListItem as item data. Selection and focus are
// changed through the window, made when needed, and come back to the items through the window's
// notifications, which also raise the events (a change the program makes raises them as one the
// user makes). The view and the other styles change on the window that is there: items, selection
// and focus stay.
//
// Sorting: with SortType stText (stData) the items keep sorted when a caption (an item's data)
// changes, between Items.BeginUpdate and EndUpdate once at the end; AlphaSort sorts by OnCompare
// or, without a handler, by caption in the controls' text order (platform/controls/ItemTexts.h).
#include <functional>
#include <string>
#include <vector>

#include "platform/classes/Classes.h"
#include "platform/forms/Collection.h"
#include "platform/widgets/ComCtrlsBase.h"
#include "platform/widgets/Control.h"
#include "platform/widgets/ExtCtrls.h"

class TCustomListView;
class TListItem;
class TListItems;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum TItemChange { ctText, ctImage, ctState };
// The parts of an item DisplayRect measures.
enum TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };

// Column widths that follow the texts: the widest item text, or that and the header's.
inline constexpr int ColumnTextWidth = -1;
inline constexpr int ColumnHeaderWidth = -2;

// A column of the report view. An AutoSize column shares what the other columns leave of the
// client width with the other AutoSize columns; MinWidth and MaxWidth (0: none) bound the width
// the program or the sharing gives it.
class TListColumn : public TCollectionItem {
  public:
    explicit TListColumn(TCollection* Collection);

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    // The width the window shows (the user may have dragged it), else the one set.
    int Width() const;
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);

    std::string DisplayName() const override;
    void Assign(const TPersistent* Source) override;

  private:
    friend class TCustomListView;
    TCustomListView* ListView() const;
    int Bounded(int Value) const;

    std::string FCaption;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = false;
    int FMinWidth = 0;
    int FMaxWidth = 0;
};

class TListColumns : public TCollection {
  public:
    explicit TListColumns(TCustomListView* Owner);
    TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
    TListColumn* Items(int Index) const {
        return static_cast<TListColumn*>(TCollection::Items(Index));
    }
    TCustomListView* Owner() const { return FListView; }

  protected:
    void Update(TCollectionItem* Item) override;

  private:
    TCustomListView* FListView;
};

// The sub-item texts of an item (the texts of the columns after the first).
class TSubItems : public TStrings {
  public:
    explicit TSubItems(TListItem* Owner) : FOwner(Owner) {}

    int Count() const override { return int(FItems.size()); }
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& Value) override;
    void* GetObject(int Index) const override;
    void PutObject(int Index, void* Object) override;
    void Insert(int Index, const std::string& Value) override;
    void Delete(int Index) override;
    void Clear() override;

  private:
    struct TLine {
        std::string Text;
        void* Object = nullptr;
    };
    // The window's texts of the sub-items From..To-1 (empty where there is none any more).
    void Changed(int From, int To);

    TListItem* FOwner;
    std::vector<TLine> FItems;
};

class TListItem {
  public:
    explicit TListItem(TListItems* Owner);
    TListItem(const TListItem&) = delete;
    TListItem& operator=(const TListItem&) = delete;

    TListItems* Owner() const { return FOwner; }
    TCustomListView* ListView() const;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TStrings* SubItems() { return &FSubItems; }
    void SetSubItems(const TStrings* Value) { FSubItems.Assign(*Value); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // The picture of the state image list shown before the item; -1 for none.
    int StateIndex() const { return FStateIndex; }
    void SetStateIndex(int Value);
    void* Data() const { return FData; }
    void SetData(void* Value);

    bool Selected() const;
    void SetSelected(bool Value);
    bool Focused() const;
    void SetFocused(bool Value);
    // The position in the list (and in the window).
    int Index() const;
    // Takes the item out of the list and frees it.
    void Delete();
    // Scrolls the window until the item shows (PartialOK: a part of it is enough).
    void MakeVisible(bool PartialOK);
    // Where a part of the item lies in the client area; empty without a window.
    TRect DisplayRect(TDisplayCode Code) const;

  private:
    friend class TListItems;
    friend class TCustomListView;
    friend class TSubItems;
    ~TListItem() = default;
    // The window's item state for the selection and focus bits asked.
    void SetState(UINT State, UINT Mask);

    TListItems* FOwner;
    std::string FCaption;
    TSubItems FSubItems;
    int FImageIndex = 0;
    int FStateIndex = -1;
    void* FData = nullptr;
    // The selection and focus bits as the window has them.
    UINT FState = 0;
    // The position, valid below the list's first stale position.
    mutable int FIndex = 0;
};

class TListItems {
  public:
    explicit TListItems(TCustomListView* Owner);
    ~TListItems();
    TListItems(const TListItems&) = delete;
    TListItems& operator=(const TListItems&) = delete;

    TCustomListView* Owner() const { return FOwner; }
    int Count() const { return int(FItems.size()); }
    // ERangeError outside 0..Count-1.
    TListItem* Item(int Index) const;
    TListItem* operator[](int Index) const { return Item(Index); }
    // A new item at the end, or at Index (clamped to the list).
    TListItem* Add();
    TListItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int IndexOf(const TListItem* Value) const;
    // The window is not redrawn and the list is not sorted until the last EndUpdate.
    void BeginUpdate();
    void EndUpdate();

  private:
    friend class TListItem;
    friend class TCustomListView;
    void Remove(TListItem* Value);
    void Renumber() const;

    TCustomListView* FOwner;
    std::vector<TListItem*> FItems;
    mutable size_t FFirstStale = 0;
    int FUpdateCount = 0;
};

using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVChangeEvent = std::function<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVColumnClickEvent = std::function<void(TObject* Sender, TListColumn* Column)>;
using TLVCompareEvent = std::function<void(TObject* Sender, TListItem* Item1, TListItem* Item2,
                                           int Data, int& Compare)>;
// A sort order for CustomSort: negative when Item1 goes before Item2.
using TLVCompare = std::function<int(TListItem* Item1, TListItem* Item2, LPARAM Data)>;

class TCustomListView : public TWinControl {
  public:
    explicit TCustomListView(TComponent* AOwner);
    ~TCustomListView() override;

    TListColumns* Columns() { return &FColumns; }
    void SetColumns(const TListColumns* Value) { FColumns.Assign(Value); }
    TListItems* Items() { return &FItems; }

    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    bool GridLines() const { return FGridLines; }
    void SetGridLines(bool Value);
    bool ShowColumnHeaders() const { return FShowColumnHeaders; }
    void SetShowColumnHeaders(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // Whether the column headers are buttons that raise OnColumnClick.
    bool ColumnClick() const { return FColumnClick; }
    void SetColumnClick(bool Value);
    // bsSingle (the sunken frame) or bsNone.
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TSortType SortType() const { return FSortType; }
    void SetSortType(TSortType Value);
    TCustomImageList* LargeImages() const { return FLargeImages.List(); }
    void SetLargeImages(TCustomImageList* Value) { FLargeImages.Set(Value); }
    TCustomImageList* SmallImages() const { return FSmallImages.List(); }
    void SetSmallImages(TCustomImageList* Value) { FSmallImages.Set(Value); }
    TCustomImageList* StateImages() const { return FStateImages.List(); }
    void SetStateImages(TCustomImageList* Value) { FStateImages.Set(Value); }

    // The first selected item; setting one selects it (none: clears the selection).
    TListItem* Selected() const;
    void SetSelected(TListItem* Value);
    TListItem* ItemFocused() const;
    void SetItemFocused(TListItem* Value);
    int SelCount() const;
    // The first item whose caption is Value (Partial: starts with it), searching after
    // StartIndex (Inclusive: from it), and from the top again when Wrap; case is ignored.
    TListItem* FindCaption(int StartIndex, const std::string& Value, bool Partial, bool Inclusive,
                           bool Wrap) const;
    // The item at a point of the client area, or none.
    TListItem* GetItemAt(int X, int Y);
    // Sorts by OnCompare (by caption without a handler); CustomSort by SortProc when given.
    bool AlphaSort();
    bool CustomSort(const TLVCompare& SortProc, LPARAM Data);

    TLVSelectItemEvent OnSelectItem;
    TLVChangeEvent OnChange;
    TLVColumnClickEvent OnColumnClick;
    TLVCompareEvent OnCompare;

  protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Resize() override;

  private:
    friend class TListColumn;
    friend class TListColumns;
    friend class TListItem;
    friend class TListItems;
    friend class TSubItems;

    // Styles the properties give the window (view, selection, headers...), and the extended ones.
    DWORD ListViewStyle() const;
    DWORD ExtendedStyle() const;
    // Gives the window the styles of the properties as they are now.
    void UpdateStyles();
    void UpdateColours();
    void UpdateImages();

    // Columns: the window's columns from the collection (all, or one), and the shared widths of
    // the AutoSize columns.
    void UpdateColumns();
    void UpdateColumn(TListColumn* Column);
    void UpdateAutoSize();
    int ShownColumn(const TListColumn* Column) const;

    // Items in the window: a new one at its index with everything it has, one text (0: the
    // caption, n: sub-item n), the image, the state image.
    void InsertWindowItem(TListItem* Item, int Index);
    void SetWindowText(const TListItem* Item, int SubItem, const std::string& Text);
    void SetWindowImage(const TListItem* Item);
    void SetWindowStateImage(const TListItem* Item);
    // A caption (stText) or item data (stData) changed: the list sorts again when it keeps
    // sorted by that.
    void KeepSorted(TSortType Cause);
    bool Sorted(const TLVCompare& Compare, LPARAM Data);

    void CNNotify(TMessage& Message);
    void ItemStateChanged(TListItem* Item, UINT OldState, UINT NewState);

    TListColumns FColumns;
    TListItems FItems;
    TControlImages FLargeImages;
    TControlImages FSmallImages;
    TControlImages FStateImages;
    // The columns the window has, in its order.
    std::vector<TListColumn*> FShownColumns;
    TViewStyle FViewStyle = vsIcon;
    bool FMultiSelect = false;
    bool FReadOnly = false;
    bool FRowSelect = false;
    bool FGridLines = false;
    bool FShowColumnHeaders = true;
    bool FHideSelection = true;
    bool FColumnClick = true;
    TFormBorderStyle FBorderStyle = bsSingle;
    TSortType FSortType = stNone;
    bool FSortPending = false;
    // While the window is being filled from the objects: its notifications are no news.
    bool FFilling = false;
    bool FDestroying = false;
};

class TListView : public TCustomListView {
  public:
    using TCustomListView::TCustomListView;
};

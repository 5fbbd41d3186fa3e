#pragma once
// List boxes over the LISTBOX class (platform/controls/ListBox.h): a list of texts the user
// selects from, drawn by the window or by the program (owner draw, see ListItems.h), and the
// check list box, which puts a check box before each item.
//
// Selection: a list box selects one item (ItemIndex), or with MultiSelect several (Selected[];
// with ExtendedSelect the user extends it with Shift and Ctrl, else each click toggles an item),
// and then ItemIndex is the item with the focus. The user's selection fires OnClick; a double
// click fires OnDblClick; changes made by the program fire nothing.
#include "platform/widgets/CheckBoxState.h"
#include "platform/widgets/ListItems.h"

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

class TCustomListBox : public TCustomListControl {
  public:
    explicit TCustomListBox(TComponent* AOwner);

    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool Value);
    // Whether an item is selected; EStringListError for an index outside the items.
    bool Selected(int Index);
    void SetSelected(int Index, bool Value);
    // Selected items; -1 for a list that selects one item only.
    int SelCount();
    // The height of the items: the font's for a standard list, else the height its owner draws
    // (a variable list's default for OnMeasureItem). 1 to 255; ERangeError otherwise.
    int ItemHeight();
    void SetItemHeight(int Value);
    // The first item shown.
    int TopIndex();
    void SetTopIndex(int Value);
    // 0: one column scrolled vertically; n: columns a n-th of the width wide.
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    // Without it the list keeps the height it is given, showing part of the last item.
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value);
    // bsSingle (a sunken edge) or bsNone.
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);

    // The item at a point of the client area; -1 when there is none there, or, with Existing
    // false, the item count for a point below the last item.
    int ItemAtPos(TPoint Pos, bool Existing);
    // The rectangle of an item in the client area (the place after the last item for the item
    // count); empty for other indexes and while the list has no window.
    TRect ItemRect(int Index);

  protected:
    TPoint KeyboardPopupPoint() override;
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void DestroyWnd() override;
    void ItemsRestored() override;
    bool OwnerDrawn() const override { return FStyle != lbStandard; }
    bool VariableHeight() const override { return FStyle == lbOwnerDrawVariable; }
    int WindowItemIndex() override;
    void SetWindowItemIndex(int Value) override;
    bool WindowSelected(int Index) override;
    void SetWindowSelected(int Index) override;
    void CheckItem(int Index);
    // Styles that need a new window.
    void StyleChanged();

  private:
    void UpdateColumnWidth();

    TListBoxStyle FStyle = lbStandard;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    int FColumns = 0;
    bool FIntegralHeight = false;
    TFormBorderStyle FBorderStyle = bsSingle;
    int FSavedTop = 0;
};

class TListBox : public TCustomListBox {
  public:
    using TCustomListBox::TCustomListBox;
};

// A list box whose items each have a check box in a column as wide as an item is high. A click
// on the box, or Space, changes the state of an enabled item (unchecked, checked, and grayed
// when AllowGrayed) and fires OnClickCheck; the program's changes fire nothing. The states go
// with their items when the list sorts or its window is made again.
class TCheckListBox : public TCustomListBox {
  public:
    explicit TCheckListBox(TComponent* AOwner);
    ~TCheckListBox() override;

    bool Checked(int Index) { return State(Index) == cbChecked; }
    void SetChecked(int Index, bool Value) { SetState(Index, Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State(int Index);
    void SetState(int Index, TCheckBoxState Value);
    // A disabled item draws its box inactive and its text grey, and the user cannot change it.
    bool ItemEnabled(int Index);
    void SetItemEnabled(int Index, bool Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    int CheckWidth();

    TNotifyEvent OnClickCheck;

  protected:
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void KeyPress(char& Key) override;
    void* GetItemObject(int Index) override;
    void SetItemObject(int Index, void* Object) override;
    void ItemDataFreed(LRESULT Data) override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    virtual void ClickCheck();

  private:
    // What the list keeps per item besides its text (the item's data points to it).
    struct TCheckItem {
        TCheckBoxState State = cbUnchecked;
        bool Enabled = true;
        void* Object = nullptr;
    };
    // The record of an item; none when it has the defaults (unless Create) or when its data is
    // not one of this list's records.
    TCheckItem* Record(int Index, bool Create);
    void ToggleClickCheck(int Index);
    void MouseToggle(TMessage& Message);
    void InvalidateCheck(int Index);
    void DrawCheck(HDC DC, RECT Column, int Index);

    std::unordered_map<const TCheckItem*, std::unique_ptr<TCheckItem>> FRecords;
    bool FAllowGrayed = false;
};

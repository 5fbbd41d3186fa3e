#pragma once
// The column list: a list box whose items hold several columns separated by '|', each drawn in
// its own rectangle, with a part of a column in bold between two '~' (see ColumnText.h).
//
// A column is as wide as its ColumnSize, or, when that is 0 or the column is not described, as
// the widest text of that column over all items plus a blank (the automatic width, kept up to
// date as items come and go, and recomputed once when a redraw lock ends; it includes the
// column's insets). The text of a column keeps 2 pixels off both ends of its rectangle (a
// right-aligned one 3 at its right end), is drawn on one line and ends in "..." when it does not
// fit.
#include <memory>
#include <vector>

#include "platform/forms/Collection.h"
#include "platform/widgets/ExtCtrls.h"
#include "platform/widgets/ListBoxes.h"

class TDCListBox;

class TDCListBoxColumn : public TCollectionItem {
  public:
    explicit TDCListBoxColumn(TCollection* Collection) : TCollectionItem(Collection) {}

    // Right-aligned text ends at the right end (one pixel further in); centred text is centred.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The column's width in pixels; 0: the automatic width.
    int ColumnSize() const { return FColumnSize; }
    void SetColumnSize(int Value);

    void Assign(const TPersistent* Source) override;

  private:
    TAlignment FAlignment = taLeftJustify;
    int FColumnSize = 0;
};

class TDCListBoxColumns : public TCollection {
  public:
    explicit TDCListBoxColumns(TDCListBox* ListBox);
    TDCListBoxColumn* Add() { return static_cast<TDCListBoxColumn*>(TCollection::Add()); }
    TDCListBoxColumn* Items(int Index) const {
        return static_cast<TDCListBoxColumn*>(TCollection::Items(Index));
    }

  protected:
    void Update(TCollectionItem* Item) override;

  private:
    TDCListBox* FListBox;
};

class TDCListBox : public TCustomListBox {
  public:
    explicit TDCListBox(TComponent* AOwner);
    ~TDCListBox() override;

    TDCListBoxColumns* ListColumns() { return FColumns.get(); }
    // On: the list draws its items in columns, owner-drawn with a fixed item height (Style
    // lbOwnerDrawFixed, the default). Off: a plain list box.
    bool OwnerDrawColumns() const { return FOwnerDrawColumns; }
    void SetOwnerDrawColumns(bool Value);
    // The automatic width of a column (0 for a column no item has).
    int AutoColumnWidth(int Column) const;
    // The width column Index is drawn in.
    int ColumnWidth(int Index) const;
    // The font of the marked parts: the list's font in bold.
    TFont* BoldFont() { return &FBoldFont; }

  protected:
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;

  private:
    // Widens the automatic widths to fit one item's columns.
    void FitColumns(const std::string& Item);
    // Recomputes the automatic widths from every item.
    void MeasureColumns();
    // After a message that added (Text: the new item's), inserted or deleted items.
    void ItemsChanged(UINT Msg, LPARAM Text);

    std::unique_ptr<TDCListBoxColumns> FColumns;
    TFont FBoldFont;
    std::vector<int> FAutoWidths;
    // WM_SETREDRAW FALSE without its TRUE yet: the widths wait for the end of the lock.
    bool FRedrawLocked = false;
    bool FOwnerDrawColumns = true;
};

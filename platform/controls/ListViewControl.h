#pragma once
// The control object behind windows of the list view class (see ListView.h for the class's
// behaviour). It keeps the items itself (TListViewData), so every message but the geometry ones
// works without a Qt widget; the widget (TListViewWidget) only shows them.
#include "platform/controls/ItemViewControl.h"
#include "platform/controls/ListViewData.h"
#include "platform/controls/ListViewWidget.h"

class TListViewControl : public TItemViewControl<TListViewData, TListViewWidget> {
  public:
    using TItemViewControl::TItemViewControl;

    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

  protected:
    QWidget* CreateWidget(QWidget* Host, const CREATESTRUCT& Create) override;

  private:
    // How a state change treats the other items.
    enum TChangeFlag : unsigned { cfNone = 0, cfOnly = 1 };

    LRESULT ItemMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT ColumnMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT LookMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT GeometryMessage(UINT Msg, WPARAM WParam, LPARAM LParam);

    // Columns.
    LRESULT InsertColumn(int Index, const LVCOLUMN* Column);
    LRESULT SetColumn(int Index, const LVCOLUMN* Column);
    LRESULT GetColumn(int Index, LVCOLUMN* Column) const;
    LRESULT DeleteColumn(int Index);
    LRESULT SetColumnWidth(int Index, int Width);

    // Items.
    LRESULT InsertItem(const LVITEM* Item);
    LRESULT SetItem(int Index, const LVITEM* Item, UINT Mask);
    LRESULT GetItem(LVITEM* Item) const;
    LRESULT GetItemText(int Index, LVITEM* Item) const;
    LRESULT DeleteItem(int Index);
    LRESULT DeleteAllItems();
    LRESULT SetItemState(int Index, const LVITEM* Item);
    LRESULT GetNextItem(int Start, UINT Flags) const;
    LRESULT FindItem(int Start, const LVFINDINFO* Find) const;
    LRESULT SortItems(LPARAM Sort, PFNLVCOMPARE Compare);
    int SortedPosition(const std::string& Text) const;

    // State changes with their notifications; false when the change was refused.
    bool ChangeState(int Index, UINT State, UINT Mask, unsigned Flags = cfNone);
    // LVN_ITEMCHANGING (true: refused) or LVN_ITEMCHANGED.
    bool NotifyItem(UINT Code, int Index, UINT Changed, UINT OldState, UINT NewState);
    void SelectOnly(int Index);
    void SelectRange(int From, int To, bool KeepOthers);
    void ClearSelection();
    int Focused() const;

    // Input.
    void Press(UINT Msg, WPARAM Keys, POINT At) override;
    void Release(UINT Msg, WPARAM Keys, LPARAM LParam) override;
    void Clicked(int Item, WPARAM Keys);
    void KeyDown(WPARAM Key, LPARAM KeyData) override;
    QWidget* WheelTarget() const override;
    void NotifyActivate(UINT Code, int Item, int Column, POINT At, WPARAM Keys);
    void ColumnClicked(int Column);

    void Repaint(int First, int Last);

    // Where a Shift+click or Shift+arrow selection starts.
    int FAnchor = -1;
    // The press whose release is a click: its button message, item, column and point.
    struct TPress {
        UINT Msg = 0;
        int Item = -1;
        int Column = 0;
        POINT At{};
    } FPress;
};

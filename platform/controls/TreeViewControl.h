#pragma once
// The control object behind windows of the tree view class (see TreeView.h for the class's
// behaviour). It keeps the items itself (TTreeViewData), so every message but the geometry ones
// works without a Qt widget; the widget (TTreeViewWidget) only shows them.
#include "platform/controls/ItemViewControl.h"
#include "platform/controls/TreeViewData.h"
#include "platform/controls/TreeViewWidget.h"

class TTreeViewControl : public TItemViewControl<TTreeViewData, TTreeViewWidget> {
  public:
    using TItemViewControl::TItemViewControl;

    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

  protected:
    QWidget* CreateWidget(QWidget* Host, const CREATESTRUCT& Create) override;

  private:
    // Who asks for an expansion: the user always hears of it, a message only until the item was
    // expanded once.
    enum class TBy { Message, User };

    LRESULT ItemMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT LookMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT GeometryMessage(UINT Msg, WPARAM WParam, LPARAM LParam);

    HTREEITEM InsertItem(const TVINSERTSTRUCT* Insert);
    BOOL DeleteItem(HTREEITEM Item);
    void DeleteSubtree(HTREEITEM Item);
    BOOL Expand(HTREEITEM Item, WPARAM Code, TBy By);
    void ExpandAll(HTREEITEM Item);
    // Moves the caret with TVN_SELCHANGING / TVN_SELCHANGED; Forced: the answer cannot refuse.
    BOOL Select(HTREEITEM Item, UINT Action, bool Forced = false);
    BOOL SelectOther(WPARAM Which, HTREEITEM Item);
    // Expands the item's ancestors so that it can be seen.
    void Reveal(HTREEITEM Item);
    HTREEITEM NextItem(WPARAM Which, HTREEITEM Item);
    BOOL GetItem(TVITEM* Item) const;
    BOOL SetItem(const TVITEM* Item);
    BOOL SortChildren(HTREEITEM Parent, bool Recurse, PFNTVCOMPARE Compare, LPARAM Sort);
    // NMTREEVIEW to the parent; the answer.
    LRESULT NotifyTree(UINT Code, UINT Action, HTREEITEM Old, HTREEITEM New);
    void Describe(TVITEM& Item, HTREEITEM Handle) const;

    void Press(UINT Msg, WPARAM Keys, POINT At) override;
    void Release(UINT Msg, WPARAM Keys, LPARAM LParam) override;
    void KeyDown(WPARAM Key, LPARAM KeyData) override;
    QWidget* WheelTarget() const override;
    // The hot item follows the mouse (TVS_TRACKSELECT).
    void Hover(POINT At) override;
    void SetHot(TTreeItem* Node);

    void Changed(HTREEITEM Item);

    // The button of a press whose release is a click.
    UINT FPress = 0;
};

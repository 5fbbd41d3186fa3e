#pragma once
// What a tree view holds: its items as a tree under a hidden root, found by handle, and the
// settings its picture depends on. The control (TreeViewControl) changes it and tells its Qt
// widget (TreeViewWidget), which only reads it.
#include <algorithm>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/controls/ItemTexts.h"
#include "platform/controls/TreeView.h"

struct TTreeItem {
    HTREEITEM Handle = 0;
    // Null for the hidden root only.
    TTreeItem* Parent = nullptr;
    std::vector<std::unique_ptr<TTreeItem>> Children;
    std::string Text;
    int Image = 0;
    int SelectedImage = 0;
    UINT State = 0;
    // TVIF_CHILDREN: 1 shows a button before any child is there.
    int ChildrenFlag = 0;
    LPARAM Param = 0;
    // Depth below the hidden root: root items are 1.
    int Depth = 0;

    bool Expanded() const { return State & TVIS_EXPANDED; }
    // Whether the item counts as having children (it has some, or says it will).
    bool HasChildren() const { return !Children.empty() || ChildrenFlag > 0; }

  private:
    friend class TTreeViewData;
    // This item's index among its parent's children, valid while below the parent's FirstStale.
    mutable size_t FRow = 0;
    mutable size_t FFirstStale = 0;
    // The children are in text order (as far as known): TVI_SORT can search instead of scan.
    bool FSorted = true;
};

class TTreeViewData {
  public:
    TTreeViewData();
    TTreeViewData(const TTreeViewData&) = delete;
    TTreeViewData& operator=(const TTreeViewData&) = delete;

    TTreeItem& Root() { return FRoot; }
    const TTreeItem& Root() const { return FRoot; }
    // The item with this handle; null for 0, TVI_ROOT and handles of deleted items.
    TTreeItem* Find(HTREEITEM Handle) const;
    // The parent a TVI_ROOT / 0 / handle argument names: the hidden root for the first two.
    TTreeItem* ParentOf(HTREEITEM Handle);
    size_t Count() const { return FByHandle.size(); }

    // Where an item goes under Parent for an hInsertAfter value (TVI_FIRST, TVI_LAST, TVI_SORT
    // with Text, or a child of Parent); -1 when After is no child of Parent.
    long long PositionFor(const TTreeItem& Parent, HTREEITEM After, const std::string& Text) const;
    // Puts a new item (with a new handle) at Position under Parent.
    TTreeItem& Insert(TTreeItem& Parent, size_t Position, std::string Text);
    void SetText(TTreeItem& Node, std::string Text);
    // Takes Node and its subtree out (Node must not be the root).
    void Remove(TTreeItem& Node);
    // Sorts Parent's children (stable) by Less.
    template <class TLess>
    void Sort(TTreeItem& Parent, TLess Less);

    // The index of Node among its parent's children.
    size_t RowOf(const TTreeItem& Node) const;
    TTreeItem* NextSibling(const TTreeItem& Node) const;
    TTreeItem* PreviousSibling(const TTreeItem& Node) const;
    // Neighbours in the order the items are shown when collapsed items hide their children.
    TTreeItem* NextVisible(const TTreeItem& Node) const;
    TTreeItem* PreviousVisible(const TTreeItem& Node) const;
    TTreeItem* LastVisible() const;
    // Whether every ancestor is expanded.
    bool Reachable(const TTreeItem& Node) const;
    // Whether Node is Inside or below it.
    static bool Within(const TTreeItem& Node, const TTreeItem& Inside);

    DWORD Style = 0;
    int Indent = 19;
    // -1: the height the font and images ask for.
    int ItemHeight = -1;
    COLORREF BkColour;
    COLORREF TextColour;
    TTreeItem* Caret = nullptr;
    TTreeItem* DropTarget = nullptr;
    TTreeItem* Hot = nullptr;
    bool Focused = false;

  private:
    void Forget(TTreeItem& Node);
    // Whether the child at Row sorts between its neighbours.
    static bool InOrder(const TTreeItem& Parent, size_t Row);
    void Renumber(const TTreeItem& Parent) const;

    TTreeItem FRoot;
    std::unordered_map<HTREEITEM, TTreeItem*> FByHandle;
    HTREEITEM FNextHandle = 1;
};

template <class TLess>
void TTreeViewData::Sort(TTreeItem& Parent, TLess Less) {
    std::stable_sort(Parent.Children.begin(), Parent.Children.end(),
                     [&](const std::unique_ptr<TTreeItem>& A, const std::unique_ptr<TTreeItem>& B) {
                         return Less(*A, *B);
                     });
    Parent.FFirstStale = 0;
    Parent.FSorted = std::is_sorted(
        Parent.Children.begin(), Parent.Children.end(),
        [](const std::unique_ptr<TTreeItem>& A, const std::unique_ptr<TTreeItem>& B) {
            return CompareItemTexts(A->Text, B->Text) < 0;
        });
}

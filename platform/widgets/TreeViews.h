#pragma once
// The tree view: nodes in a hierarchy, each with a text, a normal and a selected image, a state
// image and node data.
//
// The nodes (TTreeNodes of TTreeNode) are objects of the control; the window (SysTreeView32, see
// platform/controls/TreeView.h) gets them when it is made and every change while it exists, each
// window item carrying its node as item data (see ComCtrlsBase.h). The selection is set through
// the window, made when needed, and comes back with the window's notifications (with OnChanging
// and OnChange, whoever moved it). Expansion is asked of the window while there is one (it expands
// the parents of a node it shows without a word); expanding or collapsing from the program asks
// OnExpanding / OnCollapsing and tells OnExpanded / OnCollapsed as the user's clicks do.
//
// A node that goes (Delete, DeleteChildren, Clear, the control freed) is told to OnDeletion while
// it is whole, children before their parent, so that the program can free its node data there.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/widgets/ComCtrlsBase.h"
#include "platform/widgets/Control.h"

class TCustomTreeView;
class TTreeNode;
class TTreeNodes;

// The children of a node (or the nodes at the top), with each one's position kept up to date
// lazily: positions below FirstStale are right.
struct TTreeNodeList {
    std::vector<TTreeNode*> Nodes;
    size_t FirstStale = 0;
    void Renumber();
};

class TTreeNode {
  public:
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    TTreeNodes* Owner() const { return FOwner; }
    TCustomTreeView* TreeView() const;

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    void* Data() const { return FData; }
    void SetData(void* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // The image shown while the node is selected.
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int Value);
    // The picture of the state image list shown before the node: 1..15; -1 (or 0) for none.
    int StateIndex() const { return FStateIndex; }
    void SetStateIndex(int Value);
    // The node has children, or shows a button as if it had.
    bool HasChildren() const { return FHasChildren || !FChildren.Nodes.empty(); }
    void SetHasChildren(bool Value);
    bool Expanded() const;
    void SetExpanded(bool Value);
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    bool Selected() const;
    void SetSelected(bool Value);

    int Count() const { return int(FChildren.Nodes.size()); }
    // The child at Index (ERangeError outside 0..Count-1).
    TTreeNode* Item(int Index) const;
    TTreeNode* Parent() const { return FParent; }
    TTreeNode* GetFirstChild() const;
    TTreeNode* GetLastChild() const;
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // The next node in the order the tree lists them (children after their parent).
    TTreeNode* GetNext() const;
    // The position among the siblings, in the whole tree, and the depth (top nodes: 0).
    int Index() const;
    int AbsoluteIndex() const;
    int Level() const;

    // Frees the node with its subtree; DeleteChildren only the subtree.
    void Delete();
    void DeleteChildren();
    // Expands the parents and scrolls until the node shows.
    void MakeVisible();
    // The node's line (TextOnly: its label) in the client area; empty when it does not show.
    TRect DisplayRect(bool TextOnly) const;
    // Sorts the children (Recurse: and theirs) as the tree's AlphaSort does.
    void AlphaSort(bool Recurse = false);

  private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    friend struct TTreeNodeList;
    TTreeNode(TTreeNodes* Owner, TTreeNode* Parent, std::string Text, void* Data);
    ~TTreeNode() = default;
    TTreeNodeList& Siblings() const;
    // Sets fields of the window's item (a TVITEM mask) from the node.
    void Push(UINT Mask) const;

    TTreeNodes* FOwner;
    TTreeNode* FParent;
    mutable TTreeNodeList FChildren;
    std::string FText;
    void* FData;
    int FImageIndex = 0;
    int FSelectedIndex = 0;
    int FStateIndex = -1;
    bool FHasChildren = false;
    // The expansion kept while there is no window.
    bool FExpanded = false;
    // The window's item (0 without a window).
    std::uintptr_t FItemId = 0;
    mutable int FIndex = 0;
};

class TTreeNodes {
  public:
    explicit TTreeNodes(TCustomTreeView* Owner);
    ~TTreeNodes();
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    TCustomTreeView* Owner() const { return FOwner; }
    // Every node of the tree, and the node at a position in the order the tree lists them.
    int Count() const { return FCount; }
    TTreeNode* Item(int Index) const;
    TTreeNode* operator[](int Index) const { return Item(Index); }
    TTreeNode* GetFirstNode() const;

    // A node after the last sibling of Sibling (none: at the top level).
    TTreeNode* Add(TTreeNode* Sibling, const std::string& S);
    TTreeNode* AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr);
    // A node after the last child of Parent (none: at the top level).
    TTreeNode* AddChild(TTreeNode* Parent, const std::string& S);
    TTreeNode* AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr);
    // A node before Sibling (none: at the end of the top level).
    TTreeNode* Insert(TTreeNode* Sibling, const std::string& S);
    TTreeNode* InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr);
    void Delete(TTreeNode* Node);
    void Clear();
    // The window is not redrawn until the last EndUpdate.
    void BeginUpdate();
    void EndUpdate();

  private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    // A new node under Parent (none: the top) at Position (-1: the end; the sorted place when
    // the tree keeps sorted by text).
    TTreeNode* AddNode(TTreeNode* Parent, int Position, const std::string& S, void* Ptr);
    // Takes Node and its subtree out of the tree and frees them, after OnDeletion for each.
    void Remove(TTreeNode* Node);
    void Free(TTreeNode* Node);

    TCustomTreeView* FOwner;
    mutable TTreeNodeList FRoots;
    int FCount = 0;
    int FUpdateCount = 0;
};

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVExpandingEvent =
    std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent =
    std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVCompareEvent = std::function<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2,
                                           int Data, int& Compare)>;

class TCustomTreeView : public TWinControl {
  public:
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;

    TTreeNodes* Items() { return &FItems; }
    TTreeNode* Selected() const { return FSelected; }
    void SetSelected(TTreeNode* Value);
    // The node at the top of the client area (scrolls there when set).
    TTreeNode* TopItem();
    void SetTopItem(TTreeNode* Value);
    TCustomImageList* Images() const { return FImages.List(); }
    void SetImages(TCustomImageList* Value) { FImages.Set(Value); }
    TCustomImageList* StateImages() const { return FStateImages.List(); }
    void SetStateImages(TCustomImageList* Value) { FStateImages.Set(Value); }
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool Value);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    // The node under the mouse is underlined.
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // bsSingle (the sunken frame) or bsNone.
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    // stText and stBoth put new nodes in text order and sort siblings when a text changes.
    TSortType SortType() const { return FSortType; }
    void SetSortType(TSortType Value);

    // Sorts the top nodes (Recurse: and every subtree) by OnCompare, or by text without one.
    void AlphaSort(bool Recurse = true);
    void FullExpand();
    void FullCollapse();
    // The node whose line is at a point of the client area, or none.
    TTreeNode* GetNodeAt(int X, int Y);

    TTVChangedEvent OnChange;
    TTVChangingEvent OnChanging;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVCollapsingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;
    TTVExpandedEvent OnDeletion;
    TTVCompareEvent OnCompare;

  protected:
    TPoint KeyboardPopupPoint() override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    friend class TTreeNode;
    friend class TTreeNodes;

    DWORD TreeViewStyle() const;
    void UpdateStyles();
    void UpdateColours();
    void UpdateImages();

    // Puts Node (and, Deep, its subtree) into the window after its previous sibling.
    void InsertWindowNode(TTreeNode* Node, bool Deep);
    TTreeNode* NodeOf(std::uintptr_t Item) const;
    // Sorts a list of siblings and the window's items under Parent (none: the top) alike.
    void SortNodes(TTreeNodeList& List, TTreeNode* Parent, bool Recurse);
    int Compare(TTreeNode* A, TTreeNode* B) const;
    bool KeepsSortedBy(TSortType Cause) const;
    bool CanExpand(TTreeNode* Node, bool Expanding);
    void Expanded(TTreeNode* Node, bool Expanding);

    void CNNotify(TMessage& Message);

    TTreeNodes FItems;
    TControlImages FImages;
    TControlImages FStateImages;
    TTreeNode* FSelected = nullptr;
    int FIndent = 19;
    bool FShowRoot = true;
    bool FShowLines = true;
    bool FShowButtons = true;
    bool FHotTrack = false;
    bool FReadOnly = false;
    bool FRowSelect = false;
    bool FHideSelection = true;
    TFormBorderStyle FBorderStyle = bsSingle;
    TSortType FSortType = stNone;
    // While the window is being filled from the nodes: its notifications are no news.
    bool FFilling = false;
    // While the program expands or collapses: the window's word about it is not the user's.
    int FExpanding = 0;
    bool FDestroying = false;
};

class TTreeView : public TCustomTreeView {
  public:
    using TCustomTreeView::TCustomTreeView;
};

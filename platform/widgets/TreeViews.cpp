#include "platform/widgets/TreeViews.h"

#include <algorithm>

#include "platform/controls/ItemTexts.h"
#include "platform/controls/Limits.h"
#include "platform/controls/TreeView.h"

namespace {

// The styles of the window the properties decide; others (WS_...) stay as they are.
constexpr DWORD kTreeViewStyles = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                  TVS_TRACKSELECT | TVS_EDITLABELS | TVS_SHOWSELALWAYS |
                                  TVS_FULLROWSELECT;
// The window numbers state images 1..15 (0 is none).
constexpr int kMaxStateIndex = 15;

UINT StateImageMask(int StateIndex) {
    return INDEXTOSTATEIMAGEMASK(static_cast<UINT>(std::max(0, StateIndex)));
}

// Puts the window's items in the order of the nodes (each window item carries its node).
int CompareByIndex(LPARAM A, LPARAM B, LPARAM) {
    return reinterpret_cast<const TTreeNode*>(A)->Index() -
           reinterpret_cast<const TTreeNode*>(B)->Index();
}

bool Within(const TTreeNode* Node, const TTreeNode* Inside) {
    for (; Node; Node = Node->Parent())
        if (Node == Inside) return true;
    return false;
}

}  // namespace

// ---- TTreeNode ---------------------------------------------------------------------------------

TTreeNode::TTreeNode(TTreeNodes* Owner, TTreeNode* Parent, std::string Text, void* Data)
    : FOwner(Owner), FParent(Parent), FText(std::move(Text)), FData(Data) {}

TCustomTreeView* TTreeNode::TreeView() const {
    return FOwner->Owner();
}

TTreeNodeList& TTreeNode::Siblings() const {
    return FParent ? FParent->FChildren : FOwner->FRoots;
}

void TTreeNode::Push(UINT Mask) const {
    TCustomTreeView* Tree = TreeView();
    if (!Tree->HandleAllocated() || !FItemId) return;
    TVITEM Item;
    Item.mask = Mask;
    Item.hItem = FItemId;
    Item.pszText = const_cast<char*>(FText.c_str());
    Item.iImage = FImageIndex;
    Item.iSelectedImage = FSelectedIndex;
    Item.state = StateImageMask(FStateIndex);
    Item.stateMask = TVIS_STATEIMAGEMASK;
    Item.cChildren = FHasChildren ? 1 : 0;
    SendMessage(Tree->Handle(), TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&Item));
}

void TTreeNode::SetText(const std::string& Value) {
    if (FText == Value) return;
    FText = Value;
    Push(TVIF_TEXT);
    TCustomTreeView* Tree = TreeView();
    if (Tree->KeepsSortedBy(stText)) Tree->SortNodes(Siblings(), FParent, false);
}

void TTreeNode::SetData(void* Value) {
    if (FData == Value) return;
    FData = Value;
    TCustomTreeView* Tree = TreeView();
    if (Tree->KeepsSortedBy(stData)) Tree->SortNodes(Siblings(), FParent, false);
}

void TTreeNode::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    Push(TVIF_IMAGE);
}

void TTreeNode::SetSelectedIndex(int Value) {
    if (FSelectedIndex == Value) return;
    FSelectedIndex = Value;
    Push(TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetStateIndex(int Value) {
    if (Value < -1 || Value > kMaxStateIndex)
        throw ERangeError("State index " + std::to_string(Value) + " is not one of -1.." +
                          std::to_string(kMaxStateIndex));
    if (FStateIndex == Value) return;
    FStateIndex = Value;
    Push(TVIF_STATE);
}

void TTreeNode::SetHasChildren(bool Value) {
    if (FHasChildren == Value) return;
    FHasChildren = Value;
    Push(TVIF_CHILDREN);
}

bool TTreeNode::Expanded() const {
    TCustomTreeView* Tree = TreeView();
    if (!Tree->HandleAllocated() || !FItemId) return FExpanded;
    TVITEM Item;
    Item.mask = TVIF_STATE;
    Item.hItem = FItemId;
    Item.stateMask = TVIS_EXPANDED;
    SendMessage(Tree->Handle(), TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&Item));
    return Item.state & TVIS_EXPANDED;
}

void TTreeNode::SetExpanded(bool Value) {
    if (Expanded() == Value || (Value && !HasChildren())) return;
    TCustomTreeView* Tree = TreeView();
    if (!Tree->CanExpand(this, Value)) return;
    if (Tree->HandleAllocated() && FItemId) {
        ++Tree->FExpanding;
        struct TDone {
            int& Count;
            ~TDone() { --Count; }
        } Done{Tree->FExpanding};
        SendMessage(Tree->Handle(), TVM_EXPAND, Value ? TVE_EXPAND : TVE_COLLAPSE,
                    static_cast<LPARAM>(FItemId));
    }
    FExpanded = Value;
    Tree->Expanded(this, Value);
}

void TTreeNode::Expand(bool Recurse) {
    SetExpanded(true);
    if (!Recurse) return;
    const std::vector<TTreeNode*> Children = FChildren.Nodes;
    for (TTreeNode* Child : Children) Child->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
    SetExpanded(false);
    if (!Recurse) return;
    const std::vector<TTreeNode*> Children = FChildren.Nodes;
    for (TTreeNode* Child : Children) Child->Collapse(true);
}

bool TTreeNode::Selected() const {
    return TreeView()->FSelected == this;
}

void TTreeNode::SetSelected(bool Value) {
    if (Value)
        TreeView()->SetSelected(this);
    else if (Selected())
        TreeView()->SetSelected(nullptr);
}

TTreeNode* TTreeNode::Item(int Index) const {
    if (Index < 0 || Index >= Count())
        throw ERangeError("List index out of bounds (" + std::to_string(Index) + ")");
    return FChildren.Nodes[size_t(Index)];
}

TTreeNode* TTreeNode::GetFirstChild() const {
    return FChildren.Nodes.empty() ? nullptr : FChildren.Nodes.front();
}

TTreeNode* TTreeNode::GetLastChild() const {
    return FChildren.Nodes.empty() ? nullptr : FChildren.Nodes.back();
}

TTreeNode* TTreeNode::GetNextSibling() const {
    const TTreeNodeList& List = Siblings();
    const size_t Next = size_t(Index()) + 1;
    return Next < List.Nodes.size() ? List.Nodes[Next] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
    const int At = Index();
    return At > 0 ? Siblings().Nodes[size_t(At - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    if (!FChildren.Nodes.empty()) return FChildren.Nodes.front();
    for (const TTreeNode* Node = this; Node; Node = Node->FParent)
        if (TTreeNode* Sibling = Node->GetNextSibling()) return Sibling;
    return nullptr;
}

int TTreeNode::Index() const {
    TTreeNodeList& List = Siblings();
    if (size_t(FIndex) >= List.FirstStale) List.Renumber();
    return FIndex;
}

int TTreeNode::AbsoluteIndex() const {
    int Result = 0;
    for (const TTreeNode* Node = FOwner->GetFirstNode(); Node && Node != this;
         Node = Node->GetNext())
        ++Result;
    return Result;
}

int TTreeNode::Level() const {
    int Result = 0;
    for (const TTreeNode* Node = FParent; Node; Node = Node->FParent) ++Result;
    return Result;
}

void TTreeNode::Delete() {
    FOwner->Delete(this);
}

void TTreeNode::DeleteChildren() {
    // The last child first: each goes from the end of the list.
    while (!FChildren.Nodes.empty()) FOwner->Remove(FChildren.Nodes.back());
}

void TTreeNode::MakeVisible() {
    TCustomTreeView* Tree = TreeView();
    if (Tree->HandleAllocated() && FItemId)
        SendMessage(Tree->Handle(), TVM_ENSUREVISIBLE, 0, static_cast<LPARAM>(FItemId));
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
    TCustomTreeView* Tree = TreeView();
    RECT R{};
    if (!Tree->HandleAllocated() || !FItemId ||
        !TreeViewItemRect(Tree->Handle(), FItemId, TextOnly ? TRUE : FALSE, &R))
        return TRect{};
    return TRect{R.left, R.top, R.right, R.bottom};
}

void TTreeNode::AlphaSort(bool Recurse) {
    TreeView()->SortNodes(FChildren, this, Recurse);
}

void TTreeNodeList::Renumber() {
    for (size_t I = FirstStale; I < Nodes.size(); ++I) Nodes[I]->FIndex = int(I);
    FirstStale = Nodes.size();
}

// ---- TTreeNodes --------------------------------------------------------------------------------

TTreeNodes::TTreeNodes(TCustomTreeView* Owner) : FOwner(Owner) {}

// The control has told OnDeletion of every node by now.
TTreeNodes::~TTreeNodes() {
    for (TTreeNode* Node : FRoots.Nodes) Free(Node);
}

TTreeNode* TTreeNodes::Item(int Index) const {
    if (Index < 0 || Index >= FCount)
        throw ERangeError("List index out of bounds (" + std::to_string(Index) + ")");
    TTreeNode* Node = GetFirstNode();
    for (int I = 0; I < Index; ++I) Node = Node->GetNext();
    return Node;
}

TTreeNode* TTreeNodes::GetFirstNode() const {
    return FRoots.Nodes.empty() ? nullptr : FRoots.Nodes.front();
}

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const std::string& S) {
    return AddObject(Sibling, S, nullptr);
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    return AddNode(Sibling ? Sibling->FParent : nullptr, -1, S, Ptr);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const std::string& S) {
    return AddChildObject(Parent, S, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr) {
    return AddNode(Parent, -1, S, Ptr);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* Sibling, const std::string& S) {
    return InsertObject(Sibling, S, nullptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    if (!Sibling) return AddNode(nullptr, -1, S, Ptr);
    return AddNode(Sibling->FParent, Sibling->Index(), S, Ptr);
}

TTreeNode* TTreeNodes::AddNode(TTreeNode* Parent, int Position, const std::string& S, void* Ptr) {
    if (Parent && Parent->FOwner != this)
        throw EInvalidOperation("The parent node belongs to another tree");
    if (FCount >= ControlsLimits::kMaxTreeItems)
        throw ERangeError("A tree view holds at most " +
                          std::to_string(ControlsLimits::kMaxTreeItems) + " nodes");
    if (Parent && Parent->Level() + 2 > ControlsLimits::kMaxTreeDepth)
        throw ERangeError("Tree view nodes nest at most " +
                          std::to_string(ControlsLimits::kMaxTreeDepth) + " deep");
    TTreeNodeList& List = Parent ? Parent->FChildren : FRoots;
    auto At = Position < 0 ? List.Nodes.end()
                           : List.Nodes.begin() + std::min(size_t(Position), List.Nodes.size());
    if (FOwner->KeepsSortedBy(stText))
        At = std::upper_bound(List.Nodes.begin(), List.Nodes.end(), S,
                              [](const std::string& Text, const TTreeNode* Node) {
                                  return CompareItemTexts(Text, Node->FText) < 0;
                              });
    auto* Node = new TTreeNode(this, Parent, S, Ptr);
    const size_t Index = size_t(At - List.Nodes.begin());
    Node->FIndex = int(Index);
    List.Nodes.insert(At, Node);
    List.FirstStale = std::min(List.FirstStale, Index);
    ++FCount;
    if (FOwner->HandleAllocated()) FOwner->InsertWindowNode(Node, false);
    return Node;
}

void TTreeNodes::Delete(TTreeNode* Node) {
    if (Node && Node->FOwner == this) Remove(Node);
}

void TTreeNodes::Remove(TTreeNode* Node) {
    TCustomTreeView* Tree = FOwner;
    if (Tree->OnDeletion) {
        // Children before their parent, every one while the whole subtree is still there.
        std::vector<TTreeNode*> Gone;
        for (TTreeNode* N = Node; N && Within(N, Node); N = N->GetNext()) Gone.push_back(N);
        for (auto It = Gone.rbegin(); It != Gone.rend(); ++It) Tree->OnDeletion(Tree, *It);
    }
    // The window moves its selection off the subtree (and says so) before the items go.
    if (Tree->HandleAllocated() && Node->FItemId)
        SendMessage(Tree->Handle(), TVM_DELETEITEM, 0, static_cast<LPARAM>(Node->FItemId));
    if (Within(Tree->FSelected, Node)) Tree->FSelected = nullptr;
    TTreeNode* Parent = Node->FParent;
    TTreeNodeList& List = Node->Siblings();
    const size_t Index = size_t(Node->Index());
    List.Nodes.erase(List.Nodes.begin() + long(Index));
    List.FirstStale = std::min(List.FirstStale, Index);
    Free(Node);
    // A parent whose last child went shows no button any more.
    if (Parent && Parent->FChildren.Nodes.empty() && Parent->FHasChildren) {
        Parent->FHasChildren = false;
        Parent->Push(TVIF_CHILDREN);
    }
}

void TTreeNodes::Free(TTreeNode* Node) {
    for (TTreeNode* Child : Node->FChildren.Nodes) Free(Child);
    --FCount;
    delete Node;
}

void TTreeNodes::Clear() {
    if (FRoots.Nodes.empty()) return;
    TCustomTreeView* Tree = FOwner;
    if (Tree->OnDeletion) {
        std::vector<TTreeNode*> Gone;
        for (TTreeNode* N = GetFirstNode(); N; N = N->GetNext()) Gone.push_back(N);
        for (auto It = Gone.rbegin(); It != Gone.rend(); ++It) Tree->OnDeletion(Tree, *It);
    }
    if (Tree->HandleAllocated() && !Tree->FDestroying)
        SendMessage(Tree->Handle(), TVM_DELETEITEM, 0, static_cast<LPARAM>(TVI_ROOT));
    Tree->FSelected = nullptr;
    std::vector<TTreeNode*> Roots;
    Roots.swap(FRoots.Nodes);
    FRoots.FirstStale = 0;
    for (TTreeNode* Node : Roots) Free(Node);
}

void TTreeNodes::BeginUpdate() {
    if (FUpdateCount++ == 0 && FOwner->HandleAllocated())
        SendMessage(FOwner->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
    if (FUpdateCount == 0 || --FUpdateCount > 0) return;
    if (FOwner->HandleAllocated()) SendMessage(FOwner->Handle(), WM_SETREDRAW, TRUE, 0);
}

// ---- TCustomTreeView: life and window ----------------------------------------------------------

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TWinControl(AOwner),
      FItems(this),
      FImages(this, [this] { UpdateImages(); }),
      FStateImages(this, [this] { UpdateImages(); }) {
    // Clicks come from the window's notifications, after it moved the selection.
    FControlStyle.Exclude(csCaptureMouse);
    FControlStyle.Exclude(csClickEvents);
    FControlStyle.Exclude(csDoubleClicks);
    FControlStyle.Exclude(csSetCaption);
    FColor = clWindow;
    FParentColor = false;
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
}

TCustomTreeView::~TCustomTreeView() {
    // The window no longer speaks for the nodes; every node is told it goes.
    FDestroying = true;
    FItems.Clear();
}

void TCustomTreeView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "SysTreeView32");
    Params.Style |= TreeViewStyle();
    if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTreeView::CreateWnd() {
    TWinControl::CreateWnd();
    FFilling = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FFilling};
    SendMessage(FHandle, TVM_SETINDENT, WPARAM(FIndent), 0);
    UpdateColours();
    UpdateImages();
    for (TTreeNode* Root : FItems.FRoots.Nodes) InsertWindowNode(Root, true);
    if (FSelected)
        SendMessage(FHandle, TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(FSelected->FItemId));
}

void TCustomTreeView::DestroyWnd() {
    // The expansion lives in the window; the next one gets it from the nodes.
    for (TTreeNode* Node = FItems.GetFirstNode(); Node; Node = Node->GetNext()) {
        Node->FExpanded = Node->Expanded();
        Node->FItemId = 0;
    }
    TWinControl::DestroyWnd();
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    FImages.Notification(AComponent, Operation);
    FStateImages.Notification(AComponent, Operation);
}

void TCustomTreeView::InsertWindowNode(TTreeNode* Node, bool Deep) {
    TVINSERTSTRUCT Insert;
    Insert.hParent = Node->FParent ? Node->FParent->FItemId : TVI_ROOT;
    if (Deep) {
        Insert.hInsertAfter = TVI_LAST;
    } else {
        const TTreeNode* Previous = Node->GetPrevSibling();
        Insert.hInsertAfter = Previous ? Previous->FItemId : TVI_FIRST;
    }
    TVITEM& Item = Insert.item;
    Item.mask =
        TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE | TVIF_CHILDREN;
    Item.pszText = const_cast<char*>(Node->FText.c_str());
    Item.iImage = Node->FImageIndex;
    Item.iSelectedImage = Node->FSelectedIndex;
    Item.lParam = reinterpret_cast<LPARAM>(Node);
    Item.state = (Node->FExpanded ? TVIS_EXPANDED : 0) | StateImageMask(Node->FStateIndex);
    Item.stateMask = TVIS_EXPANDED | TVIS_STATEIMAGEMASK;
    Item.cChildren = Node->FHasChildren ? 1 : 0;
    Node->FItemId = static_cast<std::uintptr_t>(
        SendMessage(FHandle, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&Insert)));
    if (!Deep) return;
    for (TTreeNode* Child : Node->FChildren.Nodes) InsertWindowNode(Child, true);
}

TTreeNode* TCustomTreeView::NodeOf(std::uintptr_t Item) const {
    if (!FHandle || !Item) return nullptr;
    TVITEM Get;
    Get.mask = TVIF_PARAM;
    Get.hItem = Item;
    if (!SendMessage(FHandle, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&Get))) return nullptr;
    return reinterpret_cast<TTreeNode*>(Get.lParam);
}

// ---- styles and look ---------------------------------------------------------------------------

DWORD TCustomTreeView::TreeViewStyle() const {
    DWORD Style = 0;
    if (FShowButtons) Style |= TVS_HASBUTTONS;
    if (FShowLines) Style |= TVS_HASLINES;
    if (FShowRoot) Style |= TVS_LINESATROOT;
    if (FHotTrack) Style |= TVS_TRACKSELECT;
    if (!FReadOnly) Style |= TVS_EDITLABELS;
    if (!FHideSelection) Style |= TVS_SHOWSELALWAYS;
    if (FRowSelect) Style |= TVS_FULLROWSELECT;
    return Style;
}

void TCustomTreeView::UpdateStyles() {
    if (!FHandle) return;
    const auto Old = DWORD(GetWindowLongPtr(FHandle, GWL_STYLE));
    const DWORD New = (Old & ~kTreeViewStyles) | TreeViewStyle();
    if (New != Old) SetWindowLongPtr(FHandle, GWL_STYLE, LONG_PTR(New));
}

void TCustomTreeView::UpdateColours() {
    if (!FHandle) return;
    SendMessage(FHandle, TVM_SETBKCOLOR, 0, LPARAM(ColorToRGB(FColor)));
    SendMessage(FHandle, TVM_SETTEXTCOLOR, 0, LPARAM(ColorToRGB(FFont.Color())));
}

void TCustomTreeView::UpdateImages() {
    if (!FHandle) return;
    SendMessage(FHandle, TVM_SETIMAGELIST, TVSIL_NORMAL, LPARAM(FImages.Handle()));
    SendMessage(FHandle, TVM_SETIMAGELIST, TVSIL_STATE, LPARAM(FStateImages.Handle()));
}

void TCustomTreeView::SetIndent(int Value) {
    FIndent = std::max(0, Value);
    if (FHandle) SendMessage(FHandle, TVM_SETINDENT, WPARAM(FIndent), 0);
}

void TCustomTreeView::SetShowRoot(bool Value) {
    FShowRoot = Value;
    UpdateStyles();
}

void TCustomTreeView::SetShowLines(bool Value) {
    FShowLines = Value;
    UpdateStyles();
}

void TCustomTreeView::SetShowButtons(bool Value) {
    FShowButtons = Value;
    UpdateStyles();
}

void TCustomTreeView::SetHotTrack(bool Value) {
    FHotTrack = Value;
    UpdateStyles();
}

void TCustomTreeView::SetReadOnly(bool Value) {
    FReadOnly = Value;
    UpdateStyles();
}

void TCustomTreeView::SetRowSelect(bool Value) {
    FRowSelect = Value;
    UpdateStyles();
}

void TCustomTreeView::SetHideSelection(bool Value) {
    FHideSelection = Value;
    UpdateStyles();
}

void TCustomTreeView::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

// ---- selection, expansion, sorting -------------------------------------------------------------

void TCustomTreeView::SetSelected(TTreeNode* Value) {
    if (Value && Value->FOwner != &FItems)
        throw EInvalidOperation("The node belongs to another tree");
    HandleNeeded();
    SendMessage(FHandle, TVM_SELECTITEM, TVGN_CARET,
                static_cast<LPARAM>(Value ? Value->FItemId : 0));
}

TPoint TCustomTreeView::KeyboardPopupPoint() {
    return FSelected ? PopupPointBelow(FSelected->DisplayRect(true)) : TPoint{0, 0};
}

TTreeNode* TCustomTreeView::TopItem() {
    if (!FHandle) return FItems.GetFirstNode();
    return NodeOf(
        static_cast<std::uintptr_t>(SendMessage(FHandle, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)));
}

void TCustomTreeView::SetTopItem(TTreeNode* Value) {
    if (FHandle && Value && Value->FItemId)
        SendMessage(FHandle, TVM_SELECTITEM, TVGN_FIRSTVISIBLE,
                    static_cast<LPARAM>(Value->FItemId));
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) {
    if (!FHandle) return nullptr;
    TVHITTESTINFO Hit;
    Hit.pt = POINT{X, Y};
    return NodeOf(static_cast<std::uintptr_t>(
        SendMessage(FHandle, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit))));
}

void TCustomTreeView::FullExpand() {
    const std::vector<TTreeNode*> Roots = FItems.FRoots.Nodes;
    for (TTreeNode* Root : Roots) Root->Expand(true);
}

void TCustomTreeView::FullCollapse() {
    const std::vector<TTreeNode*> Roots = FItems.FRoots.Nodes;
    for (TTreeNode* Root : Roots) Root->Collapse(true);
}

bool TCustomTreeView::CanExpand(TTreeNode* Node, bool Expanding) {
    bool Allow = true;
    if (Expanding && OnExpanding) OnExpanding(this, Node, Allow);
    if (!Expanding && OnCollapsing) OnCollapsing(this, Node, Allow);
    return Allow;
}

void TCustomTreeView::Expanded(TTreeNode* Node, bool Expanding) {
    if (Expanding && OnExpanded) OnExpanded(this, Node);
    if (!Expanding && OnCollapsed) OnCollapsed(this, Node);
}

void TCustomTreeView::SetSortType(TSortType Value) {
    if (FSortType == Value) return;
    FSortType = Value;
    if (Value != stNone) AlphaSort(true);
}

bool TCustomTreeView::KeepsSortedBy(TSortType Cause) const {
    return FSortType == stBoth || FSortType == Cause;
}

void TCustomTreeView::AlphaSort(bool Recurse) {
    SortNodes(FItems.FRoots, nullptr, Recurse);
}

int TCustomTreeView::Compare(TTreeNode* A, TTreeNode* B) const {
    if (!OnCompare) return CompareItemTexts(A->FText, B->FText);
    int Order = 0;
    OnCompare(const_cast<TCustomTreeView*>(this), A, B, 0, Order);
    return Order;
}

void TCustomTreeView::SortNodes(TTreeNodeList& List, TTreeNode* Parent, bool Recurse) {
    std::stable_sort(List.Nodes.begin(), List.Nodes.end(),
                     [this](TTreeNode* A, TTreeNode* B) { return Compare(A, B) < 0; });
    List.FirstStale = 0;
    if (FHandle) {
        TVSORTCB Sort;
        Sort.hParent = Parent ? Parent->FItemId : TVI_ROOT;
        Sort.lpfnCompare = &CompareByIndex;
        SendMessage(FHandle, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&Sort));
    }
    if (!Recurse) return;
    for (TTreeNode* Node : List.Nodes) SortNodes(Node->FChildren, Node, true);
}

// ---- notifications -----------------------------------------------------------------------------

void TCustomTreeView::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_NOTIFY:
            CNNotify(Message);
            return;
        case CM_COLORCHANGED:
        case CM_FONTCHANGED:
            TWinControl::Dispatch(Message);
            UpdateColours();
            return;
        default:
            TWinControl::Dispatch(Message);
    }
}

void TCustomTreeView::CNNotify(TMessage& Message) {
    const auto* Header = reinterpret_cast<const NMHDR*>(Message.LParam);
    if (!Header || FDestroying || FFilling) return;
    const auto* Note = reinterpret_cast<const NMTREEVIEW*>(Message.LParam);
    switch (Header->code) {
        case TVN_SELCHANGING: {
            bool Allow = true;
            if (OnChanging)
                OnChanging(this, reinterpret_cast<TTreeNode*>(Note->itemNew.lParam), Allow);
            Message.Result = Allow ? FALSE : TRUE;
            return;
        }
        case TVN_SELCHANGED:
            FSelected = reinterpret_cast<TTreeNode*>(Note->itemNew.lParam);
            if (OnChange) OnChange(this, FSelected);
            return;
        case TVN_ITEMEXPANDING:
            if (FExpanding == 0)
                Message.Result = CanExpand(reinterpret_cast<TTreeNode*>(Note->itemNew.lParam),
                                           Note->action == TVE_EXPAND)
                                     ? FALSE
                                     : TRUE;
            return;
        case TVN_ITEMEXPANDED:
            if (auto* Node = reinterpret_cast<TTreeNode*>(Note->itemNew.lParam);
                Node && FExpanding == 0) {
                Node->FExpanded = Note->action == TVE_EXPAND;
                Expanded(Node, Node->FExpanded);
            }
            return;
        case NM_CLICK:
            Click();
            return;
        case NM_DBLCLK:
            DblClick();
            return;
        default:
            return;
    }
}

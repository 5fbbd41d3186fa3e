#include "platform/controls/TreeViewData.h"

#include "platform/gdi/Gdi.h"

TTreeViewData::TTreeViewData() : BkColour(CLR_NONE), TextColour(CLR_NONE) {
    FRoot.Handle = TVI_ROOT;
    FRoot.State = TVIS_EXPANDED;
}

TTreeNode* TTreeViewData::Find(HTREEITEM Handle) const {
    const auto It = FByHandle.find(Handle);
    return It == FByHandle.end() ? nullptr : It->second;
}

TTreeNode* TTreeViewData::ParentOf(HTREEITEM Handle) {
    if (Handle == 0 || Handle == TVI_ROOT) return &FRoot;
    return Find(Handle);
}

long long TTreeViewData::PositionFor(const TTreeNode& Parent, HTREEITEM After,
                                     const std::string& Text) const {
    const size_t Size = Parent.Children.size();
    if (After == TVI_FIRST) return 0;
    if (After == TVI_LAST || After == 0) return static_cast<long long>(Size);
    if (After == TVI_SORT) {
        // Before the first child that sorts behind the new text, so that equal texts keep the
        // order they came in: searched while the children are in order, else looked for.
        if (Parent.FSorted) {
            const auto At = std::upper_bound(
                Parent.Children.begin(), Parent.Children.end(), Text,
                [](const std::string& New, const std::unique_ptr<TTreeNode>& Child) {
                    return CompareItemTexts(New, Child->Text) < 0;
                });
            return static_cast<long long>(At - Parent.Children.begin());
        }
        size_t At = 0;
        while (At < Size && CompareItemTexts(Parent.Children[At]->Text, Text) <= 0) ++At;
        return static_cast<long long>(At);
    }
    const TTreeNode* Sibling = Find(After);
    if (!Sibling || Sibling->Parent != &Parent) return -1;
    return static_cast<long long>(RowOf(*Sibling)) + 1;
}

TTreeNode& TTreeViewData::Insert(TTreeNode& Parent, size_t Position, std::string Text) {
    auto Node = std::make_unique<TTreeNode>();
    Node->Text = std::move(Text);
    Node->Handle = FNextHandle++;
    Node->Parent = &Parent;
    Node->Depth = Parent.Depth + 1;
    Node->FRow = Position;
    TTreeNode& Made = *Node;
    Parent.Children.insert(Parent.Children.begin() + static_cast<std::ptrdiff_t>(Position),
                           std::move(Node));
    Parent.FFirstStale = std::min(Parent.FFirstStale, Position);
    // Appending keeps every row known.
    if (Position + 1 == Parent.Children.size() && Parent.FFirstStale == Position)
        Parent.FFirstStale = Parent.Children.size();
    FByHandle[Made.Handle] = &Made;
    if (Parent.FSorted) Parent.FSorted = InOrder(Parent, Position);
    return Made;
}

void TTreeViewData::SetText(TTreeNode& Node, std::string Text) {
    Node.Text = std::move(Text);
    if (Node.Parent && Node.Parent->FSorted)
        Node.Parent->FSorted = InOrder(*Node.Parent, RowOf(Node));
}

bool TTreeViewData::InOrder(const TTreeNode& Parent, size_t Row) {
    const auto& Children = Parent.Children;
    const std::string& Text = Children[Row]->Text;
    return (Row == 0 || CompareItemTexts(Children[Row - 1]->Text, Text) <= 0) &&
           (Row + 1 >= Children.size() || CompareItemTexts(Text, Children[Row + 1]->Text) <= 0);
}

void TTreeViewData::Forget(TTreeNode& Node) {
    for (auto& Child : Node.Children) Forget(*Child);
    FByHandle.erase(Node.Handle);
}

void TTreeViewData::Remove(TTreeNode& Node) {
    TTreeNode* Parent = Node.Parent;
    if (!Parent) return;
    for (TTreeNode** Ref : {&Caret, &DropTarget, &Hot})
        if (*Ref && Within(**Ref, Node)) *Ref = nullptr;
    const size_t Row = RowOf(Node);
    Forget(Node);
    Parent->Children.erase(Parent->Children.begin() + static_cast<std::ptrdiff_t>(Row));
    Parent->FFirstStale = std::min(Parent->FFirstStale, Row);
}

void TTreeViewData::Renumber(const TTreeNode& Parent) const {
    for (size_t I = Parent.FFirstStale; I < Parent.Children.size(); ++I)
        Parent.Children[I]->FRow = I;
    Parent.FFirstStale = Parent.Children.size();
}

size_t TTreeViewData::RowOf(const TTreeNode& Node) const {
    const TTreeNode* Parent = Node.Parent;
    if (!Parent) return 0;
    if (Node.FRow >= Parent->FFirstStale) Renumber(*Parent);
    return Node.FRow;
}

TTreeNode* TTreeViewData::NextSibling(const TTreeNode& Node) const {
    if (!Node.Parent) return nullptr;
    const size_t Row = RowOf(Node);
    return Row + 1 < Node.Parent->Children.size() ? Node.Parent->Children[Row + 1].get() : nullptr;
}

TTreeNode* TTreeViewData::PreviousSibling(const TTreeNode& Node) const {
    if (!Node.Parent) return nullptr;
    const size_t Row = RowOf(Node);
    return Row > 0 ? Node.Parent->Children[Row - 1].get() : nullptr;
}

TTreeNode* TTreeViewData::NextVisible(const TTreeNode& Node) const {
    if (Node.Expanded() && !Node.Children.empty()) return Node.Children.front().get();
    for (const TTreeNode* N = &Node; N && N->Parent; N = N->Parent)
        if (TTreeNode* Next = NextSibling(*N)) return Next;
    return nullptr;
}

TTreeNode* TTreeViewData::PreviousVisible(const TTreeNode& Node) const {
    TTreeNode* Before = PreviousSibling(Node);
    if (!Before) return Node.Parent && Node.Parent->Parent ? Node.Parent : nullptr;
    while (Before->Expanded() && !Before->Children.empty()) Before = Before->Children.back().get();
    return Before;
}

TTreeNode* TTreeViewData::LastVisible() const {
    if (FRoot.Children.empty()) return nullptr;
    TTreeNode* Last = FRoot.Children.back().get();
    while (Last->Expanded() && !Last->Children.empty()) Last = Last->Children.back().get();
    return Last;
}

bool TTreeViewData::Reachable(const TTreeNode& Node) const {
    for (const TTreeNode* P = Node.Parent; P && P->Parent; P = P->Parent)
        if (!P->Expanded()) return false;
    return true;
}

bool TTreeViewData::Within(const TTreeNode& Node, const TTreeNode& Inside) {
    for (const TTreeNode* N = &Node; N; N = N->Parent)
        if (N == &Inside) return true;
    return false;
}

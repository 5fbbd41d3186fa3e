#include "platform/controls/TreeViewData.h"

#include "platform/gdi/Gdi.h"

TTreeViewData::TTreeViewData() : BkColour(CLR_NONE), TextColour(CLR_NONE) {
    FRoot.Handle = TVI_ROOT;
    FRoot.State = TVIS_EXPANDED;
}

TTreeItem* TTreeViewData::Find(HTREEITEM Handle) const {
    const auto It = FByHandle.find(Handle);
    return It == FByHandle.end() ? nullptr : It->second;
}

TTreeItem* TTreeViewData::ParentOf(HTREEITEM Handle) {
    if (Handle == 0 || Handle == TVI_ROOT) return &FRoot;
    return Find(Handle);
}

long long TTreeViewData::PositionFor(const TTreeItem& Parent, HTREEITEM After,
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
                [](const std::string& New, const std::unique_ptr<TTreeItem>& Child) {
                    return CompareItemTexts(New, Child->Text) < 0;
                });
            return static_cast<long long>(At - Parent.Children.begin());
        }
        size_t At = 0;
        while (At < Size && CompareItemTexts(Parent.Children[At]->Text, Text) <= 0) ++At;
        return static_cast<long long>(At);
    }
    const TTreeItem* Sibling = Find(After);
    if (!Sibling || Sibling->Parent != &Parent) return -1;
    return static_cast<long long>(RowOf(*Sibling)) + 1;
}

TTreeItem& TTreeViewData::Insert(TTreeItem& Parent, size_t Position, std::string Text) {
    auto Node = std::make_unique<TTreeItem>();
    Node->Text = std::move(Text);
    Node->Handle = FNextHandle++;
    Node->Parent = &Parent;
    Node->Depth = Parent.Depth + 1;
    Node->FRow = Position;
    TTreeItem& Made = *Node;
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

void TTreeViewData::SetText(TTreeItem& Node, std::string Text) {
    Node.Text = std::move(Text);
    if (Node.Parent && Node.Parent->FSorted)
        Node.Parent->FSorted = InOrder(*Node.Parent, RowOf(Node));
}

bool TTreeViewData::InOrder(const TTreeItem& Parent, size_t Row) {
    const auto& Children = Parent.Children;
    const std::string& Text = Children[Row]->Text;
    return (Row == 0 || CompareItemTexts(Children[Row - 1]->Text, Text) <= 0) &&
           (Row + 1 >= Children.size() || CompareItemTexts(Text, Children[Row + 1]->Text) <= 0);
}

void TTreeViewData::Forget(TTreeItem& Node) {
    for (auto& Child : Node.Children) Forget(*Child);
    FByHandle.erase(Node.Handle);
}

void TTreeViewData::Remove(TTreeItem& Node) {
    TTreeItem* Parent = Node.Parent;
    if (!Parent) return;
    for (TTreeItem** Ref : {&Caret, &DropTarget, &Hot})
        if (*Ref && Within(**Ref, Node)) *Ref = nullptr;
    const size_t Row = RowOf(Node);
    Forget(Node);
    Parent->Children.erase(Parent->Children.begin() + static_cast<std::ptrdiff_t>(Row));
    Parent->FFirstStale = std::min(Parent->FFirstStale, Row);
}

void TTreeViewData::Renumber(const TTreeItem& Parent) const {
    for (size_t I = Parent.FFirstStale; I < Parent.Children.size(); ++I)
        Parent.Children[I]->FRow = I;
    Parent.FFirstStale = Parent.Children.size();
}

size_t TTreeViewData::RowOf(const TTreeItem& Node) const {
    const TTreeItem* Parent = Node.Parent;
    if (!Parent) return 0;
    if (Node.FRow >= Parent->FFirstStale) Renumber(*Parent);
    return Node.FRow;
}

TTreeItem* TTreeViewData::NextSibling(const TTreeItem& Node) const {
    if (!Node.Parent) return nullptr;
    const size_t Row = RowOf(Node);
    return Row + 1 < Node.Parent->Children.size() ? Node.Parent->Children[Row + 1].get() : nullptr;
}

TTreeItem* TTreeViewData::PreviousSibling(const TTreeItem& Node) const {
    if (!Node.Parent) return nullptr;
    const size_t Row = RowOf(Node);
    return Row > 0 ? Node.Parent->Children[Row - 1].get() : nullptr;
}

TTreeItem* TTreeViewData::NextVisible(const TTreeItem& Node) const {
    if (Node.Expanded() && !Node.Children.empty()) return Node.Children.front().get();
    for (const TTreeItem* N = &Node; N && N->Parent; N = N->Parent)
        if (TTreeItem* Next = NextSibling(*N)) return Next;
    return nullptr;
}

TTreeItem* TTreeViewData::PreviousVisible(const TTreeItem& Node) const {
    TTreeItem* Before = PreviousSibling(Node);
    if (!Before) return Node.Parent && Node.Parent->Parent ? Node.Parent : nullptr;
    while (Before->Expanded() && !Before->Children.empty()) Before = Before->Children.back().get();
    return Before;
}

TTreeItem* TTreeViewData::LastVisible() const {
    if (FRoot.Children.empty()) return nullptr;
    TTreeItem* Last = FRoot.Children.back().get();
    while (Last->Expanded() && !Last->Children.empty()) Last = Last->Children.back().get();
    return Last;
}

bool TTreeViewData::Reachable(const TTreeItem& Node) const {
    for (const TTreeItem* P = Node.Parent; P && P->Parent; P = P->Parent)
        if (!P->Expanded()) return false;
    return true;
}

bool TTreeViewData::Within(const TTreeItem& Node, const TTreeItem& Inside) {
    for (const TTreeItem* N = &Node; N; N = N->Parent)
        if (N == &Inside) return true;
    return false;
}

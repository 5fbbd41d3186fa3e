#include "platform/controls/TreeViewControl.h"

#include <algorithm>
#include <cstring>

#include "platform/controls/ItemTexts.h"
#include "platform/controls/Limits.h"
#include "platform/controls/TreeViewWidget.h"
#include "platform/core/Input.h"
#include "platform/gdi/Gdi.h"

BOOL TreeViewItemRect(HWND Tree, HTREEITEM Item, BOOL TextOnly, RECT* Rect) {
    if (!Rect) return FALSE;
    static_assert(sizeof(HTREEITEM) <= sizeof(RECT));
    std::memcpy(static_cast<void*>(Rect), &Item, sizeof Item);
    return static_cast<BOOL>(SendMessage(Tree, TVM_GETITEMRECT, static_cast<WPARAM>(TextOnly),
                                         reinterpret_cast<LPARAM>(Rect)));
}

QWidget* TTreeViewControl::CreateWidget(QWidget* Host, const CREATESTRUCT& Create) {
    FView = new TTreeViewWidget(Host, FData);
    const bool Framed = (Create.style & WS_BORDER) || (Create.dwExStyle & WS_EX_CLIENTEDGE);
    FView->setFrameStyle((Framed ? QFrame::StyledPanel : QFrame::NoFrame) | QFrame::Sunken);
    return FView;
}

void TTreeViewControl::Changed(HTREEITEM Item) {
    const TTreeItem* Node = FData.Find(Item);
    if (Node && View()) View()->Changed(*Node);
}

// ---- the message procedure ---------------------------------------------------------------------

LRESULT TTreeViewControl::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_CREATE: {
            if (const auto* Create = reinterpret_cast<const CREATESTRUCT*>(LParam))
                FData.Style = static_cast<DWORD>(Create->style);
            const LRESULT Result = TWrappedControl::WndProc(Msg, WParam, LParam);
            if (View()) View()->LookChanged();
            return Result;
        }
        case WM_MOUSELEAVE:
            SetHot(nullptr);
            return 0;
        case TVM_INSERTITEM:
        case TVM_DELETEITEM:
        case TVM_EXPAND:
        case TVM_GETCOUNT:
        case TVM_GETNEXTITEM:
        case TVM_SELECTITEM:
        case TVM_GETITEM:
        case TVM_SETITEM:
        case TVM_SORTCHILDREN:
        case TVM_SORTCHILDRENCB:
            return ItemMessage(Msg, WParam, LParam);
        case TVM_GETINDENT:
        case TVM_SETINDENT:
        case TVM_GETIMAGELIST:
        case TVM_SETIMAGELIST:
        case TVM_GETITEMHEIGHT:
        case TVM_SETITEMHEIGHT:
        case TVM_GETBKCOLOR:
        case TVM_SETBKCOLOR:
        case TVM_GETTEXTCOLOR:
        case TVM_SETTEXTCOLOR:
            return LookMessage(Msg, WParam, LParam);
        case TVM_GETITEMRECT:
        case TVM_HITTEST:
        case TVM_ENSUREVISIBLE:
        case TVM_GETVISIBLECOUNT:
            return GeometryMessage(Msg, WParam, LParam);
        default:
            return TItemViewControl::WndProc(Msg, WParam, LParam);
    }
}

LRESULT TTreeViewControl::ItemMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    const auto Item = static_cast<HTREEITEM>(LParam);
    switch (Msg) {
        case TVM_INSERTITEM:
            return static_cast<LRESULT>(
                InsertItem(reinterpret_cast<const TVINSERTSTRUCT*>(LParam)));
        case TVM_DELETEITEM:
            return DeleteItem(Item);
        case TVM_EXPAND:
            return Expand(Item, WParam, TBy::Message);
        case TVM_GETCOUNT:
            return static_cast<LRESULT>(FData.Count());
        case TVM_GETNEXTITEM:
            return static_cast<LRESULT>(NextItem(WParam, Item));
        case TVM_SELECTITEM:
            return SelectOther(WParam, Item);
        case TVM_GETITEM:
            return GetItem(reinterpret_cast<TVITEM*>(LParam));
        case TVM_SETITEM:
            return SetItem(reinterpret_cast<const TVITEM*>(LParam));
        case TVM_SORTCHILDREN:
            return SortChildren(Item, WParam != 0, nullptr, 0);
        case TVM_SORTCHILDRENCB: {
            const auto* Sort = reinterpret_cast<const TVSORTCB*>(LParam);
            if (!Sort || !Sort->lpfnCompare) return FALSE;
            return SortChildren(Sort->hParent, WParam != 0, Sort->lpfnCompare, Sort->lParam);
        }
        default:
            return 0;
    }
}

LRESULT TTreeViewControl::LookMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto Relook = [this] {
        if (View()) View()->LookChanged();
    };
    switch (Msg) {
        case TVM_GETINDENT:
            return FData.Indent;
        case TVM_SETINDENT:
            FData.Indent = std::clamp(static_cast<int>(WParam), 0, 1000);
            Relook();
            return 0;
        case TVM_GETIMAGELIST:
            return WParam <= TVSIL_STATE ? static_cast<LRESULT>(FLists[WParam]) : 0;
        case TVM_SETIMAGELIST: {
            if (WParam != TVSIL_NORMAL && WParam != TVSIL_STATE) return 0;
            const HIMAGELIST Old = FLists[WParam];
            FLists[WParam] = static_cast<HIMAGELIST>(LParam);
            if (View()) View()->Images(WParam).Set(FLists[WParam]);
            Relook();
            return static_cast<LRESULT>(Old);
        }
        case TVM_GETITEMHEIGHT:
            return View() ? View()->ItemHeight() : std::max(FData.ItemHeight, 16);
        case TVM_SETITEMHEIGHT: {
            const LRESULT Old = View() ? View()->ItemHeight() : FData.ItemHeight;
            int Height = static_cast<SHORT>(LOWORD(WParam));
            if (Height != -1) {
                Height = std::clamp(Height, 1, 0x7FFF);
                if (!(FData.Style & TVS_NONEVENHEIGHT) && Height > 1) Height &= ~1;
            }
            FData.ItemHeight = Height;
            Relook();
            return Old;
        }
        case TVM_GETBKCOLOR:
            return static_cast<LRESULT>(static_cast<int>(FData.BkColour));
        case TVM_GETTEXTCOLOR:
            return static_cast<LRESULT>(static_cast<int>(FData.TextColour));
        case TVM_SETBKCOLOR:
        case TVM_SETTEXTCOLOR: {
            COLORREF& Field = Msg == TVM_SETBKCOLOR ? FData.BkColour : FData.TextColour;
            const COLORREF Old = Field;
            Field = static_cast<COLORREF>(LParam);
            Relook();
            return static_cast<LRESULT>(static_cast<int>(Old));
        }
        default:
            return 0;
    }
}

LRESULT TTreeViewControl::GeometryMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TTreeViewWidget* V = View();
    switch (Msg) {
        case TVM_GETITEMRECT: {
            auto* Rect = reinterpret_cast<RECT*>(LParam);
            if (!Rect) return FALSE;
            HTREEITEM Item = 0;
            std::memcpy(&Item, Rect, sizeof Item);
            const TTreeItem* Node = FData.Find(Item);
            return Node && V && V->ItemRect(*Node, WParam != 0, *Rect) ? TRUE : FALSE;
        }
        case TVM_HITTEST: {
            auto* Info = reinterpret_cast<TVHITTESTINFO*>(LParam);
            if (!Info) return 0;
            Info->hItem = 0;
            Info->flags = TVHT_NOWHERE;
            if (!V) return 0;
            TTreeItem* Node = nullptr;
            Info->flags = V->HitTest(Info->pt, Node);
            Info->hItem = Node ? Node->Handle : 0;
            return static_cast<LRESULT>(Info->hItem);
        }
        case TVM_ENSUREVISIBLE: {
            const auto Item = static_cast<HTREEITEM>(LParam);
            if (!FData.Find(Item)) return FALSE;
            Reveal(Item);
            if (const TTreeItem* Node = FData.Find(Item); Node && View())
                View()->EnsureVisible(*Node);
            return TRUE;
        }
        case TVM_GETVISIBLECOUNT:
            return V ? V->VisibleCount() : 0;
        default:
            return 0;
    }
}

// ---- items
// ---------------------------------------------------------------------------------------

HTREEITEM TTreeViewControl::InsertItem(const TVINSERTSTRUCT* Insert) {
    if (!Insert) return 0;
    TTreeItem* Parent = FData.ParentOf(Insert->hParent);
    if (!Parent || Parent->Depth + 1 > ControlsLimits::kMaxTreeDepth ||
        FData.Count() >= static_cast<size_t>(ControlsLimits::kMaxTreeItems))
        return 0;
    const TVITEM& Item = Insert->item;
    std::string Text = (Item.mask & TVIF_TEXT) ? ItemTextFrom(Item.pszText) : std::string();
    const long long Position = FData.PositionFor(*Parent, Insert->hInsertAfter, Text);
    if (Position < 0) return 0;
    const bool WasLeaf = Parent->Children.empty();
    if (View()) View()->BeginInsert(*Parent, static_cast<size_t>(Position));
    TTreeItem& Node = FData.Insert(*Parent, static_cast<size_t>(Position), std::move(Text));
    if (Item.mask & TVIF_IMAGE) Node.Image = Item.iImage;
    if (Item.mask & TVIF_SELECTEDIMAGE) Node.SelectedImage = Item.iSelectedImage;
    if (Item.mask & TVIF_PARAM) Node.Param = Item.lParam;
    if (Item.mask & TVIF_CHILDREN) Node.ChildrenFlag = Item.cChildren;
    if (Item.mask & TVIF_STATE) Node.State = Item.state & Item.stateMask & ~TVIS_SELECTED;
    if (View()) View()->EndInsert();
    // A parent that was expanded while it had no children shows its first one.
    if (WasLeaf && Parent->Parent && View()) View()->ExpansionChanged(*Parent);
    return Node.Handle;
}

BOOL TTreeViewControl::DeleteItem(HTREEITEM Item) {
    if (Item == 0 || Item == TVI_ROOT) {
        if (FData.Caret) Select(0, TVC_UNKNOWN, true);
        while (!FData.Root().Children.empty()) {
            const HTREEITEM First = FData.Root().Children.front()->Handle;
            DeleteSubtree(First);
            // A parent that keeps adding items from the notices cannot make this go on forever.
            if (FData.Find(First)) return FALSE;
        }
        return TRUE;
    }
    TTreeItem* Node = FData.Find(Item);
    if (!Node) return FALSE;
    if (FData.Caret && TTreeViewData::Within(*FData.Caret, *Node)) {
        // The selection moves to a neighbour before the item goes.
        TTreeItem* Next = FData.NextSibling(*Node);
        if (!Next) Next = FData.PreviousSibling(*Node);
        if (!Next && Node->Parent != &FData.Root()) Next = Node->Parent;
        Select(Next ? Next->Handle : 0, TVC_UNKNOWN, true);
    }
    if (!FData.Find(Item)) return TRUE;
    DeleteSubtree(Item);
    return TRUE;
}

void TTreeViewControl::DeleteSubtree(HTREEITEM Item) {
    TTreeItem* Node = FData.Find(Item);
    if (!Node) return;
    // Every item that goes is named, children first, while all of them still exist.
    std::vector<HTREEITEM> Gone;
    std::vector<std::pair<TTreeItem*, size_t>> Stack{{Node, 0}};
    while (!Stack.empty()) {
        auto& [N, Next] = Stack.back();
        if (Next < N->Children.size()) {
            TTreeItem* Child = N->Children[Next++].get();
            Stack.push_back({Child, 0});
            continue;
        }
        Gone.push_back(N->Handle);
        Stack.pop_back();
    }
    for (HTREEITEM H : Gone) {
        if (!FData.Find(H)) continue;
        NMTREEVIEW Note;
        Describe(Note.itemOld, H);
        Notify(TVN_DELETEITEM, &Note.hdr);
    }
    Node = FData.Find(Item);
    if (!Node) return;
    TTreeItem* Parent = Node->Parent;
    if (View()) View()->BeginRemove(*Node);
    FData.Remove(*Node);
    if (View()) View()->EndRemove();
    if (Parent && Parent->Parent && Parent->Children.empty() && View()) View()->Changed(*Parent);
}

BOOL TTreeViewControl::Expand(HTREEITEM Item, WPARAM Code, TBy By) {
    TTreeItem* Node = FData.Find(Item);
    if (!Node || !Node->HasChildren()) return FALSE;
    WPARAM Action = Code & TVE_TOGGLE;
    if (Action == TVE_TOGGLE) Action = Node->Expanded() ? TVE_COLLAPSE : TVE_EXPAND;
    if (Action == 0) return FALSE;
    const bool Reset = Code & TVE_COLLAPSERESET;
    if (Action == TVE_EXPAND && Node->Expanded()) return TRUE;
    if (Action == TVE_COLLAPSE && !Node->Expanded()) {
        if (Reset) Node->State &= ~TVIS_EXPANDEDONCE;
        return FALSE;
    }
    const bool Tell = By == TBy::User || !(Node->State & TVIS_EXPANDEDONCE);
    if (Tell && NotifyTree(TVN_ITEMEXPANDING, static_cast<UINT>(Action), 0, Item)) return FALSE;
    Node = FData.Find(Item);
    if (!Node) return FALSE;
    if (Action == TVE_COLLAPSE && FData.Caret && FData.Caret != Node &&
        TTreeViewData::Within(*FData.Caret, *Node)) {
        // The selection may not hide: it goes to the item that collapses.
        Select(Item, TVC_UNKNOWN, true);
        Node = FData.Find(Item);
        if (!Node) return FALSE;
    }
    if (Action == TVE_EXPAND) {
        Node->State |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    } else {
        Node->State &= ~TVIS_EXPANDED;
    }
    if (View()) View()->ExpansionChanged(*Node);
    if (Action == TVE_COLLAPSE && Reset) {
        Node->State &= ~TVIS_EXPANDEDONCE;
        while (Node && !Node->Children.empty()) {
            DeleteSubtree(Node->Children.front()->Handle);
            Node = FData.Find(Item);
        }
    }
    if (Tell) NotifyTree(TVN_ITEMEXPANDED, static_cast<UINT>(Action), 0, Item);
    return TRUE;
}

void TTreeViewControl::ExpandAll(HTREEITEM Item) {
    Expand(Item, TVE_EXPAND, TBy::User);
    const TTreeItem* Node = FData.Find(Item);
    if (!Node) return;
    std::vector<HTREEITEM> Children;
    for (const auto& Child : Node->Children) Children.push_back(Child->Handle);
    for (HTREEITEM Child : Children) ExpandAll(Child);
}

void TTreeViewControl::Reveal(HTREEITEM Item) {
    const TTreeItem* Node = FData.Find(Item);
    if (!Node) return;
    std::vector<HTREEITEM> Ancestors;
    for (const TTreeItem* P = Node->Parent; P && P->Parent; P = P->Parent)
        Ancestors.push_back(P->Handle);
    for (auto It = Ancestors.rbegin(); It != Ancestors.rend(); ++It)
        Expand(*It, TVE_EXPAND, TBy::Message);
}

BOOL TTreeViewControl::Select(HTREEITEM Item, UINT Action, bool Forced) {
    TTreeItem* Node = FData.Find(Item);
    if (Item != 0 && !Node) return FALSE;
    const HTREEITEM Old = FData.Caret ? FData.Caret->Handle : 0;
    if (Old == Item) {
        if (Node && View()) View()->EnsureVisible(*Node);
        return TRUE;
    }
    if (NotifyTree(TVN_SELCHANGING, Action, Old, Item) && !Forced) return FALSE;
    Node = FData.Find(Item);
    if (Item != 0 && !Node) return FALSE;
    if (TTreeItem* Before = FData.Find(Old)) Before->State &= ~TVIS_SELECTED;
    FData.Caret = Node;
    if (Node) Node->State |= TVIS_SELECTED;
    Changed(Old);
    if (Node) {
        Reveal(Item);
        if (const TTreeItem* Now = FData.Find(Item); Now && View()) {
            View()->Changed(*Now);
            View()->EnsureVisible(*Now);
        }
    }
    NotifyTree(TVN_SELCHANGED, Action, Old, Item);
    return TRUE;
}

BOOL TTreeViewControl::SelectOther(WPARAM Which, HTREEITEM Item) {
    TTreeItem* Node = FData.Find(Item);
    if (Item != 0 && !Node) return FALSE;
    switch (Which) {
        case TVGN_CARET:
            return Select(Item, TVC_UNKNOWN);
        case TVGN_DROPHILITE: {
            const HTREEITEM Old = FData.DropTarget ? FData.DropTarget->Handle : 0;
            FData.DropTarget = Node;
            Changed(Old);
            Changed(Item);
            return TRUE;
        }
        case TVGN_FIRSTVISIBLE:
            if (!Node) return FALSE;
            Reveal(Item);
            if ((Node = FData.Find(Item)) && View()) View()->ScrollToTop(*Node);
            return TRUE;
        default:
            return FALSE;
    }
}

HTREEITEM TTreeViewControl::NextItem(WPARAM Which, HTREEITEM Item) {
    auto HandleOf = [](const TTreeItem* N) { return N ? N->Handle : HTREEITEM(0); };
    const TTreeItem& Root = FData.Root();
    switch (Which) {
        case TVGN_ROOT:
            return Root.Children.empty() ? 0 : Root.Children.front()->Handle;
        case TVGN_CARET:
            return HandleOf(FData.Caret);
        case TVGN_DROPHILITE:
            return HandleOf(FData.DropTarget);
        case TVGN_FIRSTVISIBLE:
            if (View()) return HandleOf(View()->FirstVisible());
            return NextItem(TVGN_ROOT, 0);
        case TVGN_LASTVISIBLE:
            return HandleOf(FData.LastVisible());
        default:
            break;
    }
    const TTreeItem* Node = Which == TVGN_CHILD ? FData.ParentOf(Item) : FData.Find(Item);
    if (!Node) return 0;
    switch (Which) {
        case TVGN_CHILD:
            return Node->Children.empty() ? 0 : Node->Children.front()->Handle;
        case TVGN_NEXT:
            return HandleOf(FData.NextSibling(*Node));
        case TVGN_PREVIOUS:
            return HandleOf(FData.PreviousSibling(*Node));
        case TVGN_PARENT:
            return Node->Parent == &Root ? 0 : HandleOf(Node->Parent);
        case TVGN_NEXTVISIBLE:
            return FData.Reachable(*Node) ? HandleOf(FData.NextVisible(*Node)) : 0;
        case TVGN_PREVIOUSVISIBLE:
            return FData.Reachable(*Node) ? HandleOf(FData.PreviousVisible(*Node)) : 0;
        default:
            return 0;
    }
}

BOOL TTreeViewControl::GetItem(TVITEM* Item) const {
    if (!Item) return FALSE;
    const TTreeItem* Node = FData.Find(Item->hItem);
    if (!Node) return FALSE;
    if (Item->mask & TVIF_TEXT) ItemTextTo(Node->Text, Item->pszText, Item->cchTextMax);
    if (Item->mask & TVIF_IMAGE) Item->iImage = Node->Image;
    if (Item->mask & TVIF_SELECTEDIMAGE) Item->iSelectedImage = Node->SelectedImage;
    if (Item->mask & TVIF_STATE) Item->state = Node->State & Item->stateMask;
    if (Item->mask & TVIF_CHILDREN)
        Item->cChildren = Node->Children.empty() ? Node->ChildrenFlag : 1;
    if (Item->mask & TVIF_PARAM) Item->lParam = Node->Param;
    return TRUE;
}

BOOL TTreeViewControl::SetItem(const TVITEM* Item) {
    if (!Item) return FALSE;
    TTreeItem* Node = FData.Find(Item->hItem);
    if (!Node) return FALSE;
    if (Item->mask & TVIF_TEXT) FData.SetText(*Node, ItemTextFrom(Item->pszText));
    if (Item->mask & TVIF_IMAGE) Node->Image = Item->iImage;
    if (Item->mask & TVIF_SELECTEDIMAGE) Node->SelectedImage = Item->iSelectedImage;
    if (Item->mask & TVIF_CHILDREN) Node->ChildrenFlag = Item->cChildren;
    if (Item->mask & TVIF_PARAM) Node->Param = Item->lParam;
    if (Item->mask & TVIF_STATE) {
        const bool WasExpanded = Node->Expanded();
        Node->State = (Node->State & ~Item->stateMask) | (Item->state & Item->stateMask);
        // The expansion follows quietly, as the state says.
        if (WasExpanded != Node->Expanded() && View()) View()->ExpansionChanged(*Node);
    }
    if (View()) View()->Changed(*Node);
    return TRUE;
}

BOOL TTreeViewControl::SortChildren(HTREEITEM Parent, bool Recurse, PFNTVCOMPARE Compare,
                                    LPARAM Sort) {
    TTreeItem* Node = FData.ParentOf(Parent);
    if (!Node) return FALSE;
    auto Less = [&](const TTreeItem& A, const TTreeItem& B) {
        return Compare ? Compare(A.Param, B.Param, Sort) < 0 : CompareItemTexts(A.Text, B.Text) < 0;
    };
    if (View()) View()->BeginSort();
    std::vector<TTreeItem*> Pending{Node};
    while (!Pending.empty()) {
        TTreeItem* N = Pending.back();
        Pending.pop_back();
        FData.Sort(*N, Less);
        if (Recurse)
            for (auto& Child : N->Children) Pending.push_back(Child.get());
    }
    if (View()) View()->EndSort();
    return TRUE;
}

void TTreeViewControl::Describe(TVITEM& Item, HTREEITEM Handle) const {
    const TTreeItem* Node = FData.Find(Handle);
    Item.hItem = Handle;
    if (!Node) return;
    Item.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    Item.state = Node->State;
    Item.stateMask = 0xFFFF;
    Item.lParam = Node->Param;
}

LRESULT TTreeViewControl::NotifyTree(UINT Code, UINT Action, HTREEITEM Old, HTREEITEM New) {
    NMTREEVIEW Note;
    Note.action = Action;
    Describe(Note.itemOld, Old);
    Describe(Note.itemNew, New);
    return Notify(Code, &Note.hdr);
}

// ---- input -------------------------------------------------------------------------------------

QWidget* TTreeViewControl::WheelTarget() const {
    return View();
}

void TTreeViewControl::Press(UINT Msg, WPARAM, POINT At) {
    TTreeItem* Node = nullptr;
    const UINT Hit = View() ? View()->HitTest(At, Node) : TVHT_NOWHERE;
    const HTREEITEM Item = Node ? Node->Handle : 0;
    if (Msg == WM_RBUTTONDOWN || Msg == WM_RBUTTONDBLCLK) {
        FPress = WM_RBUTTONDOWN;
        return;
    }
    if (Hit == TVHT_ONITEMBUTTON) {
        Expand(Item, TVE_TOGGLE, TBy::User);
        FPress = Msg == WM_LBUTTONDOWN ? WM_LBUTTONDOWN : 0;
        return;
    }
    if (Hit & TVHT_ONITEM) Select(Item, TVC_BYMOUSE);
    if (!IsWindow(Handle())) return;
    if (Msg == WM_LBUTTONDBLCLK) {
        // The double click is the click: no NM_CLICK follows its release.
        FPress = 0;
        if (Notify(NM_DBLCLK) == 0 && (Hit & TVHT_ONITEM)) Expand(Item, TVE_TOGGLE, TBy::User);
        return;
    }
    FPress = WM_LBUTTONDOWN;
}

void TTreeViewControl::Release(UINT Msg, WPARAM Keys, LPARAM LParam) {
    const UINT Down = Msg == WM_LBUTTONUP ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
    if (FPress != Down) return;
    FPress = 0;
    if (Msg == WM_LBUTTONUP) {
        Notify(NM_CLICK);
        return;
    }
    RightClicked(Keys, LParam);
}

void TTreeViewControl::Hover(POINT At) {
    if (!(FData.Style & TVS_TRACKSELECT) || !View()) return;
    TTreeItem* Node = nullptr;
    const UINT Hit = View()->HitTest(At, Node);
    SetHot(Hit & TVHT_ONITEM ? Node : nullptr);
    if (FData.Hot) {
        TRACKMOUSEEVENT Leave;
        Leave.dwFlags = TME_LEAVE;
        Leave.hwndTrack = Handle();
        TrackMouseEvent(&Leave);
    }
}

void TTreeViewControl::SetHot(TTreeItem* Node) {
    if (FData.Hot == Node) return;
    const HTREEITEM Old = FData.Hot ? FData.Hot->Handle : 0;
    FData.Hot = Node;
    Changed(Old);
    if (Node) Changed(Node->Handle);
}

void TTreeViewControl::KeyDown(WPARAM Key, LPARAM KeyData) {
    NMTVKEYDOWN Note;
    Note.wVKey = static_cast<WORD>(Key);
    Note.flags = KeyFlagsOf(KeyData);
    Notify(TVN_KEYDOWN, &Note.hdr);
    if (!IsWindow(Handle()) || FData.Root().Children.empty()) return;
    if (Key == VK_RETURN) {
        Notify(NM_RETURN);
        return;
    }
    TTreeItem* Caret = FData.Caret;
    if (!Caret) {
        // The first key that moves starts at the top.
        Select(FData.Root().Children.front()->Handle, TVC_BYKEYBOARD);
        return;
    }
    const HTREEITEM Item = Caret->Handle;
    const HTREEITEM Parent = Caret->Parent != &FData.Root() ? Caret->Parent->Handle : 0;
    switch (Key) {
        case VK_LEFT:
            if (Caret->Expanded() && Caret->HasChildren()) {
                Expand(Item, TVE_COLLAPSE, TBy::User);
            } else if (Parent) {
                Select(Parent, TVC_BYKEYBOARD);
            }
            return;
        case VK_RIGHT:
            if (!Caret->HasChildren()) return;
            if (!Caret->Expanded()) {
                Expand(Item, TVE_EXPAND, TBy::User);
            } else if (!Caret->Children.empty()) {
                Select(Caret->Children.front()->Handle, TVC_BYKEYBOARD);
            }
            return;
        case VK_BACK:
            if (Parent) Select(Parent, TVC_BYKEYBOARD);
            return;
        case VK_ADD:
            Expand(Item, TVE_EXPAND, TBy::User);
            return;
        case VK_SUBTRACT:
            Expand(Item, TVE_COLLAPSE, TBy::User);
            return;
        case VK_MULTIPLY:
            ExpandAll(Item);
            return;
        default:
            break;
    }
    const TTreeItem* To = nullptr;
    if (View()) {
        To = View()->Neighbour(*Caret, static_cast<WORD>(Key));
    } else if (Key == VK_UP) {
        To = FData.PreviousVisible(*Caret);
    } else if (Key == VK_DOWN) {
        To = FData.NextVisible(*Caret);
    }
    if (To && To != Caret) Select(To->Handle, TVC_BYKEYBOARD);
}

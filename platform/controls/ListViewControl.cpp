#include "platform/controls/ListViewControl.h"

#include <algorithm>
#include <cstring>

#include "platform/controls/ItemTexts.h"
#include "platform/controls/Limits.h"
#include "platform/controls/ListViewWidget.h"
#include "platform/core/Input.h"
#include "platform/gdi/Gdi.h"

namespace {

// NMITEMACTIVATE's key flags.
constexpr UINT LVKF_ALT = 0x0001;
constexpr UINT LVKF_CONTROL = 0x0002;
constexpr UINT LVKF_SHIFT = 0x0004;

}  // namespace

QWidget* TListViewControl::CreateWidget(QWidget* Host, const CREATESTRUCT&) {
    TListViewWidget::THooks Hooks;
    Hooks.ColumnClicked = [this](int Column) { ColumnClicked(Column); };
    Hooks.ColumnResized = [this](int Column, int Width) {
        if (Column >= 0 && Column < static_cast<int>(FData.Columns.size()))
            FData.Columns[static_cast<size_t>(Column)].Width = Width;
    };
    FView = new TListViewWidget(Host, FData, std::move(Hooks));
    return FView;
}

void TListViewControl::Repaint(int First, int Last) {
    if (View()) View()->ItemsChanged(std::max(0, First), Last);
}

// ---- the message procedure ---------------------------------------------------------------------

LRESULT TListViewControl::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_CREATE) {
        if (const auto* Create = reinterpret_cast<const CREATESTRUCT*>(LParam)) {
            FData.Style = static_cast<DWORD>(Create->style);
            FData.Frame = (Create->style & WS_BORDER) || (Create->dwExStyle & WS_EX_CLIENTEDGE);
        }
        return TWrappedControl::WndProc(Msg, WParam, LParam);
    }
    if (Msg >= LVM_FIRST && Msg < LVM_FIRST + 0x100) {
        switch (Msg) {
            case LVM_INSERTCOLUMN:
            case LVM_SETCOLUMN:
            case LVM_GETCOLUMN:
            case LVM_DELETECOLUMN:
            case LVM_SETCOLUMNWIDTH:
            case LVM_GETCOLUMNWIDTH:
                return ColumnMessage(Msg, WParam, LParam);
            case LVM_SETBKCOLOR:
            case LVM_GETBKCOLOR:
            case LVM_SETTEXTCOLOR:
            case LVM_GETTEXTCOLOR:
            case LVM_SETTEXTBKCOLOR:
            case LVM_GETTEXTBKCOLOR:
            case LVM_SETIMAGELIST:
            case LVM_GETIMAGELIST:
            case LVM_SETEXTENDEDLISTVIEWSTYLE:
            case LVM_GETEXTENDEDLISTVIEWSTYLE:
            case LVM_REDRAWITEMS:
            case LVM_UPDATE:
                return LookMessage(Msg, WParam, LParam);
            case LVM_GETITEMRECT:
            case LVM_HITTEST:
            case LVM_ENSUREVISIBLE:
            case LVM_GETTOPINDEX:
            case LVM_GETCOUNTPERPAGE:
                return GeometryMessage(Msg, WParam, LParam);
            default:
                return ItemMessage(Msg, WParam, LParam);
        }
    }
    return TItemViewControl::WndProc(Msg, WParam, LParam);
}

LRESULT TListViewControl::ItemMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    const int Index = static_cast<int>(static_cast<LONG_PTR>(WParam));
    switch (Msg) {
        case LVM_INSERTITEM:
            return InsertItem(reinterpret_cast<const LVITEM*>(LParam));
        case LVM_SETITEM: {
            const auto* Item = reinterpret_cast<const LVITEM*>(LParam);
            return Item ? SetItem(Item->iItem, Item, Item->mask) : FALSE;
        }
        case LVM_GETITEM:
            return GetItem(reinterpret_cast<LVITEM*>(LParam));
        case LVM_SETITEMTEXT:
            return SetItem(Index, reinterpret_cast<const LVITEM*>(LParam), LVIF_TEXT);
        case LVM_GETITEMTEXT:
            return GetItemText(Index, reinterpret_cast<LVITEM*>(LParam));
        case LVM_DELETEITEM:
            return DeleteItem(Index);
        case LVM_DELETEALLITEMS:
            return DeleteAllItems();
        case LVM_GETITEMCOUNT:
            return static_cast<LRESULT>(FData.Items.size());
        case LVM_SETITEMSTATE:
            return SetItemState(Index, reinterpret_cast<const LVITEM*>(LParam));
        case LVM_GETITEMSTATE:
            return FData.Valid(Index)
                       ? static_cast<LRESULT>(FData.Items[static_cast<size_t>(Index)].State &
                                              static_cast<UINT>(LParam))
                       : 0;
        case LVM_GETNEXTITEM:
            return GetNextItem(Index,
                               static_cast<UINT>(LOWORD(static_cast<std::uintptr_t>(LParam))));
        case LVM_GETSELECTEDCOUNT:
            return std::count_if(FData.Items.begin(), FData.Items.end(), [](const TListViewRow& I) {
                return (I.State & LVIS_SELECTED) != 0;
            });
        case LVM_FINDITEM:
            return FindItem(Index, reinterpret_cast<const LVFINDINFO*>(LParam));
        case LVM_SORTITEMS:
            return SortItems(static_cast<LPARAM>(WParam), reinterpret_cast<PFNLVCOMPARE>(LParam));
        default:
            return 0;
    }
}

LRESULT TListViewControl::ColumnMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    const int Index = static_cast<int>(static_cast<LONG_PTR>(WParam));
    switch (Msg) {
        case LVM_INSERTCOLUMN:
            return InsertColumn(Index, reinterpret_cast<const LVCOLUMN*>(LParam));
        case LVM_SETCOLUMN:
            return SetColumn(Index, reinterpret_cast<const LVCOLUMN*>(LParam));
        case LVM_GETCOLUMN:
            return GetColumn(Index, reinterpret_cast<LVCOLUMN*>(LParam));
        case LVM_DELETECOLUMN:
            return DeleteColumn(Index);
        case LVM_SETCOLUMNWIDTH:
            return SetColumnWidth(Index,
                                  static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(LParam))));
        case LVM_GETCOLUMNWIDTH:
            return Index >= 0 && Index < static_cast<int>(FData.Columns.size())
                       ? FData.Columns[static_cast<size_t>(Index)].Width
                       : 0;
        default:
            return 0;
    }
}

LRESULT TListViewControl::LookMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto SetColour = [&](COLORREF& Field) {
        Field = static_cast<COLORREF>(LParam);
        if (View()) View()->LookChanged();
        return TRUE;
    };
    switch (Msg) {
        case LVM_SETBKCOLOR:
            return SetColour(FData.BkColour);
        case LVM_GETBKCOLOR:
            return static_cast<LRESULT>(FData.BkColour);
        case LVM_SETTEXTCOLOR:
            return SetColour(FData.TextColour);
        case LVM_GETTEXTCOLOR:
            return static_cast<LRESULT>(FData.TextColour);
        case LVM_SETTEXTBKCOLOR:
            return SetColour(FData.TextBkColour);
        case LVM_GETTEXTBKCOLOR:
            return static_cast<LRESULT>(FData.TextBkColour);
        case LVM_SETIMAGELIST: {
            if (WParam > LVSIL_STATE) return 0;
            const HIMAGELIST Old = FLists[WParam];
            FLists[WParam] = static_cast<HIMAGELIST>(LParam);
            if (View()) {
                View()->Images(WParam).Set(FLists[WParam]);
                View()->LookChanged();
            }
            return static_cast<LRESULT>(Old);
        }
        case LVM_GETIMAGELIST:
            return WParam <= LVSIL_STATE ? static_cast<LRESULT>(FLists[WParam]) : 0;
        case LVM_SETEXTENDEDLISTVIEWSTYLE: {
            const DWORD Old = FData.ExStyle;
            const DWORD Mask = WParam ? static_cast<DWORD>(WParam) : 0xFFFFFFFFu;
            FData.ExStyle = (Old & ~Mask) | (static_cast<DWORD>(LParam) & Mask);
            if (View()) View()->LookChanged();
            return static_cast<LRESULT>(Old);
        }
        case LVM_GETEXTENDEDLISTVIEWSTYLE:
            return static_cast<LRESULT>(FData.ExStyle);
        case LVM_REDRAWITEMS:
            Repaint(static_cast<int>(static_cast<LONG_PTR>(WParam)),
                    std::min(static_cast<int>(LParam), static_cast<int>(FData.Items.size()) - 1));
            return TRUE;
        case LVM_UPDATE: {
            const int Index = static_cast<int>(static_cast<LONG_PTR>(WParam));
            if (!FData.Valid(Index)) return FALSE;
            Repaint(Index, Index);
            return TRUE;
        }
        default:
            return 0;
    }
}

LRESULT TListViewControl::GeometryMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    const int Index = static_cast<int>(static_cast<LONG_PTR>(WParam));
    TListViewWidget* V = View();
    switch (Msg) {
        case LVM_GETITEMRECT: {
            auto* Rect = reinterpret_cast<RECT*>(LParam);
            if (!V || !Rect) return FALSE;
            return V->ItemRect(Index, Rect->left, *Rect) ? TRUE : FALSE;
        }
        case LVM_HITTEST: {
            auto* Info = reinterpret_cast<LVHITTESTINFO*>(LParam);
            if (!Info) return -1;
            Info->iItem = -1;
            Info->iSubItem = 0;
            Info->flags = LVHT_NOWHERE;
            if (!V) return -1;
            int Column = 0;
            Info->flags = V->HitTest(Info->pt, Info->iItem, Column);
            return Info->iItem;
        }
        case LVM_ENSUREVISIBLE:
            if (!FData.Valid(Index)) return FALSE;
            if (V) V->EnsureVisible(Index, LParam != 0);
            return TRUE;
        case LVM_GETTOPINDEX:
            return V ? V->TopIndex() : 0;
        case LVM_GETCOUNTPERPAGE:
            return V ? V->CountPerPage() : 0;
        default:
            return 0;
    }
}

// ---- columns -----------------------------------------------------------------------------------

LRESULT TListViewControl::InsertColumn(int Index, const LVCOLUMN* Column) {
    if (!Column || Index < 0 ||
        static_cast<int>(FData.Columns.size()) >= ControlsLimits::kMaxListColumns)
        return -1;
    Index = std::min(Index, static_cast<int>(FData.Columns.size()));
    TListViewColumn New;
    New.SubItem = Index;
    if (View()) View()->BeginReset();
    FData.Columns.insert(FData.Columns.begin() + Index, New);
    if (View()) View()->EndReset();
    SetColumn(Index, Column);
    return Index;
}

LRESULT TListViewControl::SetColumn(int Index, const LVCOLUMN* Column) {
    if (!Column || Index < 0 || Index >= static_cast<int>(FData.Columns.size())) return FALSE;
    TListViewColumn& C = FData.Columns[static_cast<size_t>(Index)];
    if (Column->mask & LVCF_TEXT) C.Text = ItemTextFrom(Column->pszText);
    if (Column->mask & LVCF_FMT) C.Format = Column->fmt;
    if (Column->mask & LVCF_SUBITEM)
        C.SubItem = std::clamp(Column->iSubItem, 0, ControlsLimits::kMaxListColumns - 1);
    if (View()) {
        View()->BeginReset();
        View()->EndReset();
    }
    if (Column->mask & LVCF_WIDTH) SetColumnWidth(Index, Column->cx);
    return TRUE;
}

LRESULT TListViewControl::GetColumn(int Index, LVCOLUMN* Column) const {
    if (!Column || Index < 0 || Index >= static_cast<int>(FData.Columns.size())) return FALSE;
    const TListViewColumn& C = FData.Columns[static_cast<size_t>(Index)];
    if (Column->mask & LVCF_TEXT) ItemTextTo(C.Text, Column->pszText, Column->cchTextMax);
    if (Column->mask & LVCF_FMT) Column->fmt = C.Format;
    if (Column->mask & LVCF_WIDTH) Column->cx = C.Width;
    if (Column->mask & LVCF_SUBITEM) Column->iSubItem = C.SubItem;
    if (Column->mask & LVCF_ORDER) Column->iOrder = Index;
    return TRUE;
}

LRESULT TListViewControl::DeleteColumn(int Index) {
    if (Index < 0 || Index >= static_cast<int>(FData.Columns.size())) return FALSE;
    if (View()) View()->BeginReset();
    FData.Columns.erase(FData.Columns.begin() + Index);
    if (View()) View()->EndReset();
    return TRUE;
}

LRESULT TListViewControl::SetColumnWidth(int Index, int Width) {
    if (Index < 0 || Index >= static_cast<int>(FData.Columns.size())) return FALSE;
    if (Width == LVSCW_AUTOSIZE || Width == LVSCW_AUTOSIZE_USEHEADER) {
        // Measuring needs the widget's font; without one the width stays.
        if (!View()) return TRUE;
        Width = View()->FitWidth(Index, Width == LVSCW_AUTOSIZE_USEHEADER);
    }
    FData.Columns[static_cast<size_t>(Index)].Width = std::max(0, Width);
    if (View()) View()->LookChanged();
    return TRUE;
}

// ---- items
// ---------------------------------------------------------------------------------------

int TListViewControl::SortedPosition(const std::string& Text) const {
    const bool Descending =
        (FData.Style & LVS_SORTDESCENDING) && !(FData.Style & LVS_SORTASCENDING);
    // After the items that sort equal, so that equal texts keep the order they came in.
    const auto At =
        std::upper_bound(FData.Items.begin(), FData.Items.end(), Text,
                         [Descending](const std::string& New, const TListViewRow& Item) {
                             const int Order = CompareItemTexts(New, Item.Text(0));
                             return Descending ? Order > 0 : Order < 0;
                         });
    return static_cast<int>(At - FData.Items.begin());
}

LRESULT TListViewControl::InsertItem(const LVITEM* Item) {
    if (!Item || Item->iSubItem != 0 || Item->iItem < 0 ||
        static_cast<int>(FData.Items.size()) >= ControlsLimits::kMaxListItems)
        return -1;
    TListViewRow New;
    New.Texts.push_back((Item->mask & LVIF_TEXT) ? ItemTextFrom(Item->pszText) : std::string());
    if (Item->mask & LVIF_IMAGE) New.Image = Item->iImage;
    if (Item->mask & LVIF_PARAM) New.Param = Item->lParam;
    if (Item->mask & LVIF_INDENT) New.Indent = std::max(0, Item->iIndent);
    const UINT Wanted = (Item->mask & LVIF_STATE) ? (Item->state & Item->stateMask) : 0;
    // Selection and focus come through the rules of a state change below.
    New.State = Wanted & ~(LVIS_SELECTED | LVIS_FOCUSED);
    int Index = std::min(Item->iItem, static_cast<int>(FData.Items.size()));
    if (FData.Style & (LVS_SORTASCENDING | LVS_SORTDESCENDING))
        Index = SortedPosition(New.Texts[0]);
    if (View()) View()->BeginInsert(Index, 1);
    FData.Items.insert(FData.Items.begin() + Index, std::move(New));
    if (View()) View()->EndInsert();
    if (FAnchor >= Index) ++FAnchor;
    NMLISTVIEW Note;
    Note.iItem = Index;
    Note.lParam = FData.Items[static_cast<size_t>(Index)].Param;
    Notify(LVN_INSERTITEM, &Note.hdr);
    if ((Wanted & (LVIS_SELECTED | LVIS_FOCUSED)) && FData.Valid(Index))
        ChangeState(Index, Wanted, LVIS_SELECTED | LVIS_FOCUSED);
    return Index;
}

LRESULT TListViewControl::SetItem(int Index, const LVITEM* Item, UINT Mask) {
    if (!Item || !FData.Valid(Index)) return FALSE;
    if (Item->iSubItem < 0 || Item->iSubItem >= ControlsLimits::kMaxListColumns) return FALSE;
    // Sub-items have a text only.
    if (Item->iSubItem > 0) Mask &= LVIF_TEXT;
    if (Mask & LVIF_STATE) {
        if (!ChangeState(Index, Item->state, Item->stateMask)) return FALSE;
        Mask &= ~LVIF_STATE;
    }
    if (!(Mask & (LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_INDENT)) || !FData.Valid(Index))
        return TRUE;
    const UINT State = FData.Items[static_cast<size_t>(Index)].State;
    if (NotifyItem(LVN_ITEMCHANGING, Index, Mask, State, State) || !FData.Valid(Index))
        return FALSE;
    TListViewRow& It = FData.Items[static_cast<size_t>(Index)];
    if (Mask & LVIF_TEXT) {
        const size_t Sub = static_cast<size_t>(Item->iSubItem);
        if (It.Texts.size() <= Sub) It.Texts.resize(Sub + 1);
        It.Texts[Sub] = ItemTextFrom(Item->pszText);
    }
    if (Mask & LVIF_IMAGE) It.Image = Item->iImage;
    if (Mask & LVIF_PARAM) It.Param = Item->lParam;
    if (Mask & LVIF_INDENT) It.Indent = std::max(0, Item->iIndent);
    Repaint(Index, Index);
    NotifyItem(LVN_ITEMCHANGED, Index, Mask, State, State);
    return TRUE;
}

LRESULT TListViewControl::GetItem(LVITEM* Item) const {
    if (!Item || !FData.Valid(Item->iItem)) return FALSE;
    const TListViewRow& It = FData.Items[static_cast<size_t>(Item->iItem)];
    if (Item->mask & LVIF_TEXT)
        ItemTextTo(It.Text(Item->iSubItem), Item->pszText, Item->cchTextMax);
    if (Item->iSubItem != 0) return TRUE;
    if (Item->mask & LVIF_IMAGE) Item->iImage = It.Image;
    if (Item->mask & LVIF_PARAM) Item->lParam = It.Param;
    if (Item->mask & LVIF_STATE) Item->state = It.State & Item->stateMask;
    if (Item->mask & LVIF_INDENT) Item->iIndent = It.Indent;
    return TRUE;
}

LRESULT TListViewControl::GetItemText(int Index, LVITEM* Item) const {
    if (!Item || !FData.Valid(Index)) return 0;
    return ItemTextTo(FData.Items[static_cast<size_t>(Index)].Text(Item->iSubItem), Item->pszText,
                      Item->cchTextMax);
}

LRESULT TListViewControl::DeleteItem(int Index) {
    if (!FData.Valid(Index)) return FALSE;
    NMLISTVIEW Note;
    Note.iItem = Index;
    Note.lParam = FData.Items[static_cast<size_t>(Index)].Param;
    Notify(LVN_DELETEITEM, &Note.hdr);
    // The parent may have changed the list meanwhile.
    if (!FData.Valid(Index)) return FALSE;
    if (View()) View()->BeginRemove(Index, 1);
    FData.Items.erase(FData.Items.begin() + Index);
    if (View()) View()->EndRemove();
    if (FAnchor == Index) FAnchor = -1;
    if (FAnchor > Index) --FAnchor;
    if (FPress.Item == Index) FPress.Item = -1;
    return TRUE;
}

LRESULT TListViewControl::DeleteAllItems() {
    NMLISTVIEW Note;
    Note.iItem = -1;
    const bool Quiet = Notify(LVN_DELETEALLITEMS, &Note.hdr) != 0;
    if (!Quiet) {
        for (size_t I = 0; I < FData.Items.size(); ++I) {
            NMLISTVIEW One;
            One.iItem = static_cast<int>(I);
            One.lParam = FData.Items[I].Param;
            Notify(LVN_DELETEITEM, &One.hdr);
        }
    }
    if (View()) View()->BeginReset();
    FData.Items.clear();
    if (View()) View()->EndReset();
    FAnchor = -1;
    FPress.Item = -1;
    return TRUE;
}

LRESULT TListViewControl::SetItemState(int Index, const LVITEM* Item) {
    if (!Item) return FALSE;
    if (Index != -1) return FData.Valid(Index) && ChangeState(Index, Item->state, Item->stateMask);
    for (size_t I = 0; I < FData.Items.size(); ++I)
        ChangeState(static_cast<int>(I), Item->state, Item->stateMask);
    return TRUE;
}

LRESULT TListViewControl::GetNextItem(int Start, UINT Flags) const {
    const UINT Wanted =
        (Flags & LVNI_SELECTED ? LVIS_SELECTED : 0) | (Flags & LVNI_FOCUSED ? LVIS_FOCUSED : 0) |
        (Flags & LVNI_CUT ? LVIS_CUT : 0) | (Flags & LVNI_DROPHILITED ? LVIS_DROPHILITED : 0);
    for (int I = std::max(-1, Start) + 1; I < static_cast<int>(FData.Items.size()); ++I)
        if ((FData.Items[static_cast<size_t>(I)].State & Wanted) == Wanted) return I;
    return -1;
}

LRESULT TListViewControl::FindItem(int Start, const LVFINDINFO* Find) const {
    if (!Find) return -1;
    const int Count = static_cast<int>(FData.Items.size());
    const std::string Wanted = Find->psz ? Find->psz : "";
    auto Matches = [&](const TListViewRow& Item) {
        if (Find->flags & LVFI_PARAM) return Item.Param == Find->lParam;
        if (!(Find->flags & (LVFI_STRING | LVFI_PARTIAL))) return false;
        const std::string& Text = Item.Text(0);
        if (Find->flags & LVFI_PARTIAL) return ItemTextStartsWith(Text, Wanted);
        return ItemTextEquals(Text, Wanted);
    };
    const int First = std::max(-1, Start) + 1;
    for (int I = First; I < Count; ++I)
        if (Matches(FData.Items[static_cast<size_t>(I)])) return I;
    if (Find->flags & LVFI_WRAP)
        for (int I = 0; I < std::min(First, Count); ++I)
            if (Matches(FData.Items[static_cast<size_t>(I)])) return I;
    return -1;
}

LRESULT TListViewControl::SortItems(LPARAM Sort, PFNLVCOMPARE Compare) {
    if (!Compare) return FALSE;
    if (View()) View()->BeginReset();
    std::stable_sort(FData.Items.begin(), FData.Items.end(),
                     [&](const TListViewRow& A, const TListViewRow& B) {
                         return Compare(A.Param, B.Param, Sort) < 0;
                     });
    if (View()) View()->EndReset();
    FAnchor = -1;
    return TRUE;
}

// ---- state changes -----------------------------------------------------------------------------

bool TListViewControl::NotifyItem(UINT Code, int Index, UINT Changed, UINT OldState,
                                  UINT NewState) {
    NMLISTVIEW Note;
    Note.iItem = Index;
    Note.uChanged = Changed;
    Note.uOldState = OldState;
    Note.uNewState = NewState;
    Note.lParam = FData.Valid(Index) ? FData.Items[static_cast<size_t>(Index)].Param : 0;
    return Notify(Code, &Note.hdr) != 0;
}

int TListViewControl::Focused() const {
    return static_cast<int>(GetNextItem(-1, LVNI_FOCUSED));
}

bool TListViewControl::ChangeState(int Index, UINT State, UINT Mask, unsigned Flags) {
    if (!FData.Valid(Index)) return false;
    const UINT Old = FData.Items[static_cast<size_t>(Index)].State;
    const UINT New = (Old & ~Mask) | (State & Mask);
    if (New != Old && NotifyItem(LVN_ITEMCHANGING, Index, LVIF_STATE, Old, New)) return false;
    // One item is selected in a single-selection list, and one has the focus in any.
    const bool Selecting =
        (New & LVIS_SELECTED) && ((Flags & cfOnly) || (FData.Style & LVS_SINGLESEL));
    for (int I = 0; Selecting && I < static_cast<int>(FData.Items.size()); ++I)
        if (I != Index && (FData.Items[static_cast<size_t>(I)].State & LVIS_SELECTED))
            ChangeState(I, 0, LVIS_SELECTED);
    if ((New & LVIS_FOCUSED) && !(Old & LVIS_FOCUSED)) {
        const int Had = Focused();
        if (Had >= 0 && Had != Index) ChangeState(Had, 0, LVIS_FOCUSED);
    }
    if (New == Old || !FData.Valid(Index)) return New == Old;
    FData.Items[static_cast<size_t>(Index)].State = New;
    Repaint(Index, Index);
    NotifyItem(LVN_ITEMCHANGED, Index, LVIF_STATE, Old, New);
    return true;
}

void TListViewControl::SelectOnly(int Index) {
    ChangeState(Index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED, cfOnly);
}

void TListViewControl::SelectRange(int From, int To, bool KeepOthers) {
    const int Low = std::min(From, To);
    const int High = std::max(From, To);
    for (int I = 0; I < static_cast<int>(FData.Items.size()); ++I) {
        const bool Inside = I >= Low && I <= High;
        if (Inside) {
            ChangeState(I, LVIS_SELECTED, LVIS_SELECTED);
        } else if (!KeepOthers) {
            ChangeState(I, 0, LVIS_SELECTED);
        }
    }
    ChangeState(To, LVIS_FOCUSED, LVIS_FOCUSED);
}

void TListViewControl::ClearSelection() {
    for (int I = 0; I < static_cast<int>(FData.Items.size()); ++I) ChangeState(I, 0, LVIS_SELECTED);
}

// ---- input -------------------------------------------------------------------------------------

QWidget* TListViewControl::WheelTarget() const {
    return View()->ScrollTarget();
}

void TListViewControl::Press(UINT Msg, WPARAM Keys, POINT At) {
    int Item = -1;
    int Column = 0;
    if (View()) View()->HitTest(At, Item, Column);
    const bool Left = Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK;
    if (Left) {
        Clicked(Item, Keys);
    } else if (Item < 0) {
        ClearSelection();
    } else if (!(FData.Items[static_cast<size_t>(Item)].State & LVIS_SELECTED)) {
        SelectOnly(Item);
        FAnchor = Item;
    } else {
        ChangeState(Item, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    if (!IsWindow(Handle())) return;
    if (Msg == WM_LBUTTONDBLCLK) {
        // The double click is the click: no NM_CLICK follows its release.
        FPress = TPress{};
        NotifyActivate(NM_DBLCLK, Item, Column, At, Keys);
        return;
    }
    FPress = TPress{Left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, Item, Column, At};
}

void TListViewControl::Release(UINT Msg, WPARAM Keys, LPARAM LParam) {
    const UINT Down = Msg == WM_LBUTTONUP ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
    if (FPress.Msg != Down) return;
    const TPress Press = FPress;
    FPress = TPress{};
    if (Msg == WM_LBUTTONUP) {
        NotifyActivate(NM_CLICK, Press.Item, Press.Column, Press.At, Keys);
        return;
    }
    NMITEMACTIVATE Note;
    Note.iItem = Press.Item;
    Note.iSubItem = Press.Column;
    Note.ptAction = Press.At;
    RightClicked(Keys, LParam, &Note.hdr);
}

void TListViewControl::Clicked(int Item, WPARAM Keys) {
    const bool Ctrl = Keys & MK_CONTROL;
    const bool Shift = Keys & MK_SHIFT;
    const bool Single = FData.Style & LVS_SINGLESEL;
    if (Item < 0) {
        if (!Ctrl && !Shift) ClearSelection();
        return;
    }
    if (Single || (!Ctrl && !Shift)) {
        SelectOnly(Item);
        FAnchor = Item;
    } else if (!Shift) {
        const bool Selected = FData.Items[static_cast<size_t>(Item)].State & LVIS_SELECTED;
        ChangeState(Item, (Selected ? 0 : LVIS_SELECTED) | LVIS_FOCUSED,
                    LVIS_SELECTED | LVIS_FOCUSED);
        FAnchor = Item;
    } else {
        SelectRange(FData.Valid(FAnchor) ? FAnchor : Item, Item, Ctrl);
    }
}

void TListViewControl::NotifyActivate(UINT Code, int Item, int Column, POINT At, WPARAM Keys) {
    NMITEMACTIVATE Note;
    Note.iItem = Item;
    Note.iSubItem = Column;
    Note.ptAction = At;
    Note.lParam = FData.Valid(Item) ? FData.Items[static_cast<size_t>(Item)].Param : 0;
    Note.uKeyFlags = (Keys & MK_CONTROL ? LVKF_CONTROL : 0) | (Keys & MK_SHIFT ? LVKF_SHIFT : 0) |
                     (GetKeyState(VK_MENU) & 0x8000 ? LVKF_ALT : 0);
    Notify(Code, &Note.hdr);
}

void TListViewControl::KeyDown(WPARAM Key, LPARAM KeyData) {
    NMLVKEYDOWN Note;
    Note.wVKey = static_cast<WORD>(Key);
    Note.flags = KeyFlagsOf(KeyData);
    Notify(LVN_KEYDOWN, &Note.hdr);
    if (!IsWindow(Handle()) || FData.Items.empty()) return;
    const bool Ctrl = GetKeyState(VK_CONTROL) & 0x8000;
    const bool Shift = (GetKeyState(VK_SHIFT) & 0x8000) && !(FData.Style & LVS_SINGLESEL);
    const int From = Focused();
    if (Key == VK_SPACE) {
        const int Item = From >= 0 ? From : 0;
        const bool Selected = FData.Items[static_cast<size_t>(Item)].State & LVIS_SELECTED;
        if (Ctrl && !(FData.Style & LVS_SINGLESEL)) {
            ChangeState(Item, Selected ? 0 : LVIS_SELECTED, LVIS_SELECTED);
        } else {
            ChangeState(Item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }
        FAnchor = Item;
        return;
    }
    int To = -1;
    if (View()) {
        To = View()->Neighbour(From, static_cast<WORD>(Key));
    } else {
        const int Last = static_cast<int>(FData.Items.size()) - 1;
        if (Key == VK_UP) To = std::max(0, From - 1);
        if (Key == VK_DOWN) To = std::min(Last, From + 1);
        if (Key == VK_HOME) To = 0;
        if (Key == VK_END) To = Last;
    }
    if (To < 0 || (To == From && From >= 0 && !(Key == VK_HOME || Key == VK_END))) return;
    if (Shift) {
        SelectRange(FData.Valid(FAnchor) ? FAnchor : (From >= 0 ? From : To), To, Ctrl);
    } else if (Ctrl) {
        ChangeState(To, LVIS_FOCUSED, LVIS_FOCUSED);
    } else {
        SelectOnly(To);
        FAnchor = To;
    }
    if (View() && IsWindow(Handle())) View()->EnsureVisible(To, false);
}

void TListViewControl::ColumnClicked(int Column) {
    NMLISTVIEW Note;
    Note.iItem = -1;
    Note.iSubItem = Column;
    Notify(LVN_COLUMNCLICK, &Note.hdr);
}

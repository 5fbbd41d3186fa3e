#include "platform/widgets/ListViews.h"

#include <algorithm>

#include "platform/controls/ItemTexts.h"
#include "platform/controls/Limits.h"
#include "platform/controls/ListView.h"
#include "platform/gdi/Gdi.h"

namespace {

// The styles of the window the properties decide; others (WS_...) stay as they are.
constexpr DWORD kListViewStyles = LVS_TYPEMASK | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                  LVS_EDITLABELS | LVS_NOCOLUMNHEADER | LVS_NOSORTHEADER |
                                  LVS_SHAREIMAGELISTS;
constexpr DWORD kExtendedStyles = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
// The item state bits the items keep as the window has them.
constexpr UINT kMirroredState = LVIS_SELECTED | LVIS_FOCUSED;
// State images are numbered from 1 in the window (0 is none); StateIndex counts from 0.
constexpr int kMaxStateIndex = 14;

int FormatOf(TAlignment Alignment) {
    switch (Alignment) {
        case taRightJustify:
            return LVCFMT_RIGHT;
        case taCenter:
            return LVCFMT_CENTER;
        default:
            return LVCFMT_LEFT;
    }
}

UINT StateImageMask(int StateIndex) {
    return INDEXTOSTATEIMAGEMASK(static_cast<UINT>(StateIndex + 1));
}

// Puts the window's items in the order of the list's items (each window item carries its item).
int CompareByIndex(LPARAM A, LPARAM B, LPARAM) {
    return reinterpret_cast<const TListItem*>(A)->Index() -
           reinterpret_cast<const TListItem*>(B)->Index();
}

}  // namespace

// ---- TListColumn -------------------------------------------------------------------------------

TListColumn::TListColumn(TCollection* Collection) : TCollectionItem(Collection) {}

TCustomListView* TListColumn::ListView() const {
    const auto* Columns = dynamic_cast<const TListColumns*>(Collection());
    return Columns ? Columns->Owner() : nullptr;
}

int TListColumn::Bounded(int Value) const {
    if (Value < 0) return Value;  // a width that follows the texts
    if (FMaxWidth > 0) Value = std::min(Value, FMaxWidth);
    return std::max(Value, FMinWidth);
}

void TListColumn::SetCaption(const std::string& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    Changed(false);
}

int TListColumn::Width() const {
    TCustomListView* View = ListView();
    const int Shown = View ? View->ShownColumn(this) : -1;
    if (Shown < 0) return FWidth;
    return int(SendMessage(View->Handle(), LVM_GETCOLUMNWIDTH, WPARAM(Shown), 0));
}

void TListColumn::SetWidth(int Value) {
    FWidth = Bounded(std::max(Value, ColumnHeaderWidth));
    Changed(false);
}

void TListColumn::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Changed(false);
}

void TListColumn::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    Changed(false);
}

void TListColumn::SetMinWidth(int Value) {
    FMinWidth = std::max(0, Value);
    FWidth = Bounded(FWidth);
    Changed(false);
}

void TListColumn::SetMaxWidth(int Value) {
    FMaxWidth = std::max(0, Value);
    FWidth = Bounded(FWidth);
    Changed(false);
}

std::string TListColumn::DisplayName() const {
    return FCaption.empty() ? TCollectionItem::DisplayName() : FCaption;
}

void TListColumn::Assign(const TPersistent* Source) {
    const auto* Other = dynamic_cast<const TListColumn*>(Source);
    if (!Other) {
        TCollectionItem::Assign(Source);
        return;
    }
    FCaption = Other->FCaption;
    FWidth = Other->Width();
    FAlignment = Other->FAlignment;
    FAutoSize = Other->FAutoSize;
    FMinWidth = Other->FMinWidth;
    FMaxWidth = Other->FMaxWidth;
    Changed(false);
}

TListColumns::TListColumns(TCustomListView* Owner)
    : TCollection(ItemClassOf<TListColumn>(), Owner), FListView(Owner) {}

void TListColumns::Update(TCollectionItem* Item) {
    if (Item)
        FListView->UpdateColumn(static_cast<TListColumn*>(Item));
    else
        FListView->UpdateColumns();
}

// ---- TSubItems ---------------------------------------------------------------------------------

std::string TSubItems::Get(int Index) const {
    CheckIndex(Index);
    return FItems[size_t(Index)].Text;
}

void TSubItems::Put(int Index, const std::string& Value) {
    CheckIndex(Index);
    FItems[size_t(Index)].Text = Value;
    Changed(Index, Index + 1);
}

void* TSubItems::GetObject(int Index) const {
    CheckIndex(Index);
    return FItems[size_t(Index)].Object;
}

void TSubItems::PutObject(int Index, void* Object) {
    CheckIndex(Index);
    FItems[size_t(Index)].Object = Object;
}

void TSubItems::Insert(int Index, const std::string& Value) {
    if (Index < 0 || Index > Count())
        throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
    FItems.insert(FItems.begin() + Index, TLine{Value, nullptr});
    Changed(Index, Count());
}

void TSubItems::Delete(int Index) {
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
    Changed(Index, Count() + 1);
}

void TSubItems::Clear() {
    const int Gone = Count();
    FItems.clear();
    Changed(0, Gone);
}

void TSubItems::Changed(int From, int To) {
    TCustomListView* View = FOwner->ListView();
    for (int I = From; I < To; ++I)
        View->SetWindowText(FOwner, I + 1, I < Count() ? FItems[size_t(I)].Text : std::string());
}

// ---- TListItem ---------------------------------------------------------------------------------

TListItem::TListItem(TListItems* Owner) : FOwner(Owner), FSubItems(this) {}

TCustomListView* TListItem::ListView() const {
    return FOwner->Owner();
}

void TListItem::SetCaption(const std::string& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    ListView()->SetWindowText(this, 0, Value);
    ListView()->KeepSorted(stText);
}

void TListItem::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    ListView()->SetWindowImage(this);
}

void TListItem::SetStateIndex(int Value) {
    if (Value < -1 || Value > kMaxStateIndex)
        throw ERangeError("State index " + std::to_string(Value) + " is not one of -1.." +
                          std::to_string(kMaxStateIndex));
    if (FStateIndex == Value) return;
    FStateIndex = Value;
    ListView()->SetWindowStateImage(this);
}

void TListItem::SetData(void* Value) {
    if (FData == Value) return;
    FData = Value;
    ListView()->KeepSorted(stData);
}

bool TListItem::Selected() const {
    return FState & LVIS_SELECTED;
}

void TListItem::SetSelected(bool Value) {
    SetState(Value ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

bool TListItem::Focused() const {
    return FState & LVIS_FOCUSED;
}

void TListItem::SetFocused(bool Value) {
    SetState(Value ? LVIS_FOCUSED : 0, LVIS_FOCUSED);
}

void TListItem::SetState(UINT State, UINT Mask) {
    TCustomListView* View = ListView();
    View->HandleNeeded();
    LVITEM Item;
    Item.state = State;
    Item.stateMask = Mask;
    SendMessage(View->Handle(), LVM_SETITEMSTATE, WPARAM(Index()), reinterpret_cast<LPARAM>(&Item));
}

int TListItem::Index() const {
    if (size_t(FIndex) >= FOwner->FFirstStale) FOwner->Renumber();
    return FIndex;
}

void TListItem::Delete() {
    FOwner->Remove(this);
    delete this;
}

void TListItem::MakeVisible(bool PartialOK) {
    TCustomListView* View = ListView();
    if (View->HandleAllocated())
        SendMessage(View->Handle(), LVM_ENSUREVISIBLE, WPARAM(Index()), PartialOK ? 1 : 0);
}

TRect TListItem::DisplayRect(TDisplayCode Code) const {
    TCustomListView* View = ListView();
    RECT R{};
    R.left = LONG(Code);
    if (!View->HandleAllocated() || !SendMessage(View->Handle(), LVM_GETITEMRECT, WPARAM(Index()),
                                                 reinterpret_cast<LPARAM>(&R)))
        return TRect{};
    return TRect{R.left, R.top, R.right, R.bottom};
}

// ---- TListItems --------------------------------------------------------------------------------

TListItems::TListItems(TCustomListView* Owner) : FOwner(Owner) {}

// The window (if any) goes after the items: the control no longer listens to it by then.
TListItems::~TListItems() {
    for (TListItem* Item : FItems) delete Item;
}

TListItem* TListItems::Item(int Index) const {
    if (Index < 0 || Index >= Count())
        throw ERangeError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[size_t(Index)];
}

TListItem* TListItems::Add() {
    return Insert(Count());
}

TListItem* TListItems::Insert(int Index) {
    if (Count() >= ControlsLimits::kMaxListItems)
        throw ERangeError("A list view holds at most " +
                          std::to_string(ControlsLimits::kMaxListItems) + " items");
    Index = std::clamp(Index, 0, Count());
    auto* New = new TListItem(this);
    New->FIndex = Index;
    FItems.insert(FItems.begin() + Index, New);
    FFirstStale = std::min(FFirstStale, size_t(Index));
    if (FOwner->HandleAllocated()) FOwner->InsertWindowItem(New, Index);
    return New;
}

void TListItems::Delete(int Index) {
    Item(Index)->Delete();
}

void TListItems::Remove(TListItem* Value) {
    const int Index = Value->Index();
    if (FOwner->HandleAllocated()) SendMessage(FOwner->Handle(), LVM_DELETEITEM, WPARAM(Index), 0);
    FItems.erase(FItems.begin() + Index);
    FFirstStale = std::min(FFirstStale, size_t(Index));
}

void TListItems::Clear() {
    if (FItems.empty()) return;
    if (FOwner->HandleAllocated()) SendMessage(FOwner->Handle(), LVM_DELETEALLITEMS, 0, 0);
    std::vector<TListItem*> Gone;
    Gone.swap(FItems);
    FFirstStale = 0;
    for (TListItem* Item : Gone) delete Item;
}

int TListItems::IndexOf(const TListItem* Value) const {
    return Value && Value->FOwner == this ? Value->Index() : -1;
}

void TListItems::BeginUpdate() {
    if (FUpdateCount++ == 0 && FOwner->HandleAllocated())
        SendMessage(FOwner->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
    if (FUpdateCount == 0 || --FUpdateCount > 0) return;
    if (FOwner->FSortPending) FOwner->AlphaSort();
    if (FOwner->HandleAllocated()) SendMessage(FOwner->Handle(), WM_SETREDRAW, TRUE, 0);
}

void TListItems::Renumber() const {
    for (size_t I = FFirstStale; I < FItems.size(); ++I) FItems[I]->FIndex = int(I);
    FFirstStale = FItems.size();
}

// ---- TCustomListView: life and window ----------------------------------------------------------

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner),
      FColumns(this),
      FItems(this),
      FLargeImages(this, [this] { UpdateImages(); }),
      FSmallImages(this, [this] { UpdateImages(); }),
      FStateImages(this, [this] { UpdateImages(); }) {
    // Clicks come from the window's notifications, after it moved the selection.
    FControlStyle.Exclude(csCaptureMouse);
    FControlStyle.Exclude(csClickEvents);
    FControlStyle.Exclude(csDoubleClicks);
    FControlStyle.Exclude(csSetCaption);
    FColor = clWindow;
    FParentColor = false;
    SetBounds(0, 0, 250, 150);
    SetTabStop(true);
}

TCustomListView::~TCustomListView() {
    FDestroying = true;
}

void TCustomListView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "SysListView32");
    Params.Style |= ListViewStyle();
    if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListView::CreateWnd() {
    TWinControl::CreateWnd();
    FFilling = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FFilling};
    SendMessage(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, kExtendedStyles, ExtendedStyle());
    UpdateColours();
    UpdateImages();
    FShownColumns.clear();
    UpdateColumns();
    for (int I = 0; I < FItems.Count(); ++I) InsertWindowItem(FItems.FItems[size_t(I)], I);
}

void TCustomListView::DestroyWnd() {
    // Widths the user dragged are kept for the next window.
    for (size_t I = 0; I < FShownColumns.size(); ++I)
        if (!FShownColumns[I]->FAutoSize)
            FShownColumns[I]->FWidth = int(SendMessage(FHandle, LVM_GETCOLUMNWIDTH, I, 0));
    FShownColumns.clear();
    TWinControl::DestroyWnd();
}

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    FLargeImages.Notification(AComponent, Operation);
    FSmallImages.Notification(AComponent, Operation);
    FStateImages.Notification(AComponent, Operation);
}

void TCustomListView::Resize() {
    TWinControl::Resize();
    UpdateAutoSize();
}

// ---- styles and look ---------------------------------------------------------------------------

DWORD TCustomListView::ListViewStyle() const {
    static constexpr DWORD kViews[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    DWORD Style = kViews[FViewStyle] | LVS_SHAREIMAGELISTS;
    if (!FMultiSelect) Style |= LVS_SINGLESEL;
    if (!FHideSelection) Style |= LVS_SHOWSELALWAYS;
    if (!FReadOnly) Style |= LVS_EDITLABELS;
    if (!FShowColumnHeaders) Style |= LVS_NOCOLUMNHEADER;
    if (!FColumnClick) Style |= LVS_NOSORTHEADER;
    return Style;
}

DWORD TCustomListView::ExtendedStyle() const {
    return (FRowSelect ? LVS_EX_FULLROWSELECT : 0) | (FGridLines ? LVS_EX_GRIDLINES : 0);
}

void TCustomListView::UpdateStyles() {
    if (!FHandle) return;
    const auto Old = DWORD(GetWindowLongPtr(FHandle, GWL_STYLE));
    const DWORD New = (Old & ~kListViewStyles) | ListViewStyle();
    if (New != Old) SetWindowLongPtr(FHandle, GWL_STYLE, LONG_PTR(New));
    SendMessage(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, kExtendedStyles, ExtendedStyle());
}

void TCustomListView::UpdateColours() {
    if (!FHandle) return;
    const COLORREF Back = ColorToRGB(FColor);
    SendMessage(FHandle, LVM_SETBKCOLOR, 0, LPARAM(Back));
    SendMessage(FHandle, LVM_SETTEXTBKCOLOR, 0, LPARAM(Back));
    SendMessage(FHandle, LVM_SETTEXTCOLOR, 0, LPARAM(ColorToRGB(FFont.Color())));
}

void TCustomListView::UpdateImages() {
    if (!FHandle) return;
    SendMessage(FHandle, LVM_SETIMAGELIST, LVSIL_NORMAL, LPARAM(FLargeImages.Handle()));
    SendMessage(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(FSmallImages.Handle()));
    SendMessage(FHandle, LVM_SETIMAGELIST, LVSIL_STATE, LPARAM(FStateImages.Handle()));
}

void TCustomListView::SetViewStyle(TViewStyle Value) {
    if (FViewStyle == Value) return;
    FViewStyle = Value;
    UpdateStyles();
}

void TCustomListView::SetMultiSelect(bool Value) {
    FMultiSelect = Value;
    UpdateStyles();
}

void TCustomListView::SetReadOnly(bool Value) {
    FReadOnly = Value;
    UpdateStyles();
}

void TCustomListView::SetRowSelect(bool Value) {
    FRowSelect = Value;
    UpdateStyles();
}

void TCustomListView::SetGridLines(bool Value) {
    FGridLines = Value;
    UpdateStyles();
}

void TCustomListView::SetShowColumnHeaders(bool Value) {
    FShowColumnHeaders = Value;
    UpdateStyles();
}

void TCustomListView::SetHideSelection(bool Value) {
    FHideSelection = Value;
    UpdateStyles();
}

void TCustomListView::SetColumnClick(bool Value) {
    FColumnClick = Value;
    UpdateStyles();
}

void TCustomListView::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

// ---- columns -----------------------------------------------------------------------------------

int TCustomListView::ShownColumn(const TListColumn* Column) const {
    if (!FHandle) return -1;
    const auto It = std::find(FShownColumns.begin(), FShownColumns.end(), Column);
    return It == FShownColumns.end() ? -1 : int(It - FShownColumns.begin());
}

void TCustomListView::UpdateColumns() {
    if (!FHandle) return;
    // Columns that stay keep the widths the user gave them.
    for (size_t I = 0; I < FShownColumns.size(); ++I) {
        TListColumn* Column = FShownColumns[I];
        bool Stays = false;
        for (int C = 0; C < FColumns.Count() && !Stays; ++C) Stays = FColumns.Items(C) == Column;
        if (Stays && !Column->FAutoSize)
            Column->FWidth = int(SendMessage(FHandle, LVM_GETCOLUMNWIDTH, I, 0));
    }
    for (size_t I = FShownColumns.size(); I > 0; --I)
        SendMessage(FHandle, LVM_DELETECOLUMN, I - 1, 0);
    FShownColumns.clear();
    for (int C = 0; C < FColumns.Count(); ++C) {
        TListColumn* Column = FColumns.Items(C);
        LVCOLUMN Record;
        Record.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        Record.fmt = FormatOf(Column->FAlignment);
        Record.cx = Column->FWidth;
        Record.pszText = const_cast<char*>(Column->FCaption.c_str());
        Record.iSubItem = C;
        if (SendMessage(FHandle, LVM_INSERTCOLUMN, WPARAM(C), reinterpret_cast<LPARAM>(&Record)) <
            0)
            break;
        FShownColumns.push_back(Column);
    }
    UpdateAutoSize();
}

void TCustomListView::UpdateColumn(TListColumn* Column) {
    const int Shown = ShownColumn(Column);
    if (Shown < 0) {
        UpdateColumns();
        return;
    }
    LVCOLUMN Record;
    Record.mask = LVCF_FMT | LVCF_TEXT | (Column->FAutoSize ? 0 : LVCF_WIDTH);
    Record.fmt = FormatOf(Column->FAlignment);
    Record.cx = Column->FWidth;
    Record.pszText = const_cast<char*>(Column->FCaption.c_str());
    SendMessage(FHandle, LVM_SETCOLUMN, WPARAM(Shown), reinterpret_cast<LPARAM>(&Record));
    UpdateAutoSize();
}

void TCustomListView::UpdateAutoSize() {
    if (!FHandle) return;
    std::vector<size_t> Auto;
    int Left = ClientWidth();
    if (FBorderStyle == bsSingle) Left -= 2 * GetSystemMetrics(SM_CXEDGE);
    for (size_t I = 0; I < FShownColumns.size(); ++I) {
        if (FShownColumns[I]->FAutoSize)
            Auto.push_back(I);
        else
            Left -= int(SendMessage(FHandle, LVM_GETCOLUMNWIDTH, I, 0));
    }
    for (size_t N = 0; N < Auto.size(); ++N) {
        // Each takes an even share of what is left; the last takes the rest.
        const int Share = N + 1 == Auto.size() ? Left : Left / int(Auto.size() - N);
        TListColumn* Column = FShownColumns[Auto[N]];
        const int Width = Column->Bounded(std::max(0, Share));
        SendMessage(FHandle, LVM_SETCOLUMNWIDTH, Auto[N], MAKELPARAM(WORD(Width), 0));
        Left -= Width;
    }
}

// ---- items in the window -----------------------------------------------------------------------

void TCustomListView::InsertWindowItem(TListItem* Item, int Index) {
    LVITEM Record;
    Record.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    Record.iItem = Index;
    Record.pszText = const_cast<char*>(Item->FCaption.c_str());
    Record.iImage = Item->FImageIndex;
    Record.lParam = reinterpret_cast<LPARAM>(Item);
    Record.state = Item->FState | StateImageMask(Item->FStateIndex);
    Record.stateMask = kMirroredState | LVIS_STATEIMAGEMASK;
    SendMessage(FHandle, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&Record));
    for (int I = 0; I < Item->FSubItems.Count(); ++I)
        SetWindowText(Item, I + 1, Item->FSubItems.Get(I));
}

void TCustomListView::SetWindowText(const TListItem* Item, int SubItem, const std::string& Text) {
    if (!FHandle) return;
    LVITEM Record;
    Record.iSubItem = SubItem;
    Record.pszText = const_cast<char*>(Text.c_str());
    SendMessage(FHandle, LVM_SETITEMTEXT, WPARAM(Item->Index()), reinterpret_cast<LPARAM>(&Record));
}

void TCustomListView::SetWindowImage(const TListItem* Item) {
    if (!FHandle) return;
    LVITEM Record;
    Record.mask = LVIF_IMAGE;
    Record.iItem = Item->Index();
    Record.iImage = Item->FImageIndex;
    SendMessage(FHandle, LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&Record));
}

void TCustomListView::SetWindowStateImage(const TListItem* Item) {
    if (!FHandle) return;
    LVITEM Record;
    Record.state = StateImageMask(Item->FStateIndex);
    Record.stateMask = LVIS_STATEIMAGEMASK;
    SendMessage(FHandle, LVM_SETITEMSTATE, WPARAM(Item->Index()),
                reinterpret_cast<LPARAM>(&Record));
}

// ---- selection, search, sorting ----------------------------------------------------------------

TListItem* TCustomListView::Selected() const {
    for (TListItem* Item : FItems.FItems)
        if (Item->Selected()) return Item;
    return nullptr;
}

void TCustomListView::SetSelected(TListItem* Value) {
    if (Value) {
        Value->SetSelected(true);
        return;
    }
    for (TListItem* Item = Selected(); Item; Item = Selected()) Item->SetSelected(false);
}

TListItem* TCustomListView::ItemFocused() const {
    for (TListItem* Item : FItems.FItems)
        if (Item->Focused()) return Item;
    return nullptr;
}

void TCustomListView::SetItemFocused(TListItem* Value) {
    if (Value)
        Value->SetFocused(true);
    else if (TListItem* Item = ItemFocused())
        Item->SetFocused(false);
}

int TCustomListView::SelCount() const {
    return int(std::count_if(FItems.FItems.begin(), FItems.FItems.end(),
                             [](const TListItem* Item) { return Item->Selected(); }));
}

TListItem* TCustomListView::FindCaption(int StartIndex, const std::string& Value, bool Partial,
                                        bool Inclusive, bool Wrap) const {
    const int Count = FItems.Count();
    const int First = std::clamp(Inclusive ? StartIndex : StartIndex + 1, 0, Count);
    auto Matches = [&](int I) {
        const std::string& Caption = FItems.FItems[size_t(I)]->FCaption;
        return Partial ? ItemTextStartsWith(Caption, Value) : ItemTextEquals(Caption, Value);
    };
    for (int I = First; I < Count; ++I)
        if (Matches(I)) return FItems.FItems[size_t(I)];
    for (int I = 0; Wrap && I < First; ++I)
        if (Matches(I)) return FItems.FItems[size_t(I)];
    return nullptr;
}

TListItem* TCustomListView::GetItemAt(int X, int Y) {
    if (!FHandle) return nullptr;
    LVHITTESTINFO Info;
    Info.pt = POINT{X, Y};
    const auto Index = int(SendMessage(FHandle, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Info)));
    if (Index < 0 || Index >= FItems.Count() || !(Info.flags & LVHT_ONITEM)) return nullptr;
    return FItems.FItems[size_t(Index)];
}

void TCustomListView::SetSortType(TSortType Value) {
    if (FSortType == Value) return;
    FSortType = Value;
    if (Value != stNone) KeepSorted(Value);
}

void TCustomListView::KeepSorted(TSortType Cause) {
    if (FSortType == stNone || (FSortType != stBoth && Cause != stBoth && FSortType != Cause))
        return;
    if (FItems.FUpdateCount > 0) {
        FSortPending = true;
        return;
    }
    AlphaSort();
}

bool TCustomListView::AlphaSort() {
    return CustomSort(nullptr, 0);
}

bool TCustomListView::CustomSort(const TLVCompare& SortProc, LPARAM Data) {
    FSortPending = false;
    if (SortProc) return Sorted(SortProc, Data);
    return Sorted(
        [this](TListItem* A, TListItem* B, LPARAM D) {
            if (!OnCompare) return CompareItemTexts(A->FCaption, B->FCaption);
            int Order = 0;
            OnCompare(this, A, B, int(D), Order);
            return Order;
        },
        Data);
}

bool TCustomListView::Sorted(const TLVCompare& Compare, LPARAM Data) {
    std::vector<TListItem*>& List = FItems.FItems;
    std::stable_sort(List.begin(), List.end(),
                     [&](TListItem* A, TListItem* B) { return Compare(A, B, Data) < 0; });
    FItems.FFirstStale = 0;
    FItems.Renumber();
    if (FHandle) SendMessage(FHandle, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&CompareByIndex));
    return true;
}

// ---- notifications -----------------------------------------------------------------------------

void TCustomListView::Dispatch(TMessage& Message) {
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

void TCustomListView::CNNotify(TMessage& Message) {
    const auto* Header = reinterpret_cast<const NMHDR*>(Message.LParam);
    if (!Header) return;
    // Emptying the window needs no word per item: the items are the control's own.
    if (Header->code == LVN_DELETEALLITEMS) Message.Result = TRUE;
    if (FDestroying || FFilling) return;
    switch (Header->code) {
        case LVN_ITEMCHANGED: {
            const auto* Note = reinterpret_cast<const NMLISTVIEW*>(Message.LParam);
            auto* Item = reinterpret_cast<TListItem*>(Note->lParam);
            if (!Item) return;
            if (Note->uChanged & LVIF_STATE)
                ItemStateChanged(Item, Note->uOldState, Note->uNewState);
            else if (OnChange && (Note->uChanged & (LVIF_TEXT | LVIF_IMAGE)))
                OnChange(this, Item, Note->uChanged & LVIF_TEXT ? ctText : ctImage);
            return;
        }
        case LVN_COLUMNCLICK: {
            const int Column = reinterpret_cast<const NMLISTVIEW*>(Message.LParam)->iSubItem;
            if (OnColumnClick && Column >= 0 && size_t(Column) < FShownColumns.size())
                OnColumnClick(this, FShownColumns[size_t(Column)]);
            return;
        }
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

void TCustomListView::ItemStateChanged(TListItem* Item, UINT OldState, UINT NewState) {
    Item->FState = NewState & kMirroredState;
    if (OnChange) OnChange(this, Item, ctState);
    if (OnSelectItem && ((OldState ^ NewState) & LVIS_SELECTED))
        OnSelectItem(this, Item, (NewState & LVIS_SELECTED) != 0);
}

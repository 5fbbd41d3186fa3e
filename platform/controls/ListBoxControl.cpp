#include "platform/controls/ListBoxControl.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/controls/Limits.h"
#include "platform/controls/OwnerDraw.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/gdi/Gdi.h"

namespace {

// Characters typed within this time of each other make one search prefix.
constexpr DWORD kTypeAheadMs = 1000;
// Lines one notch of the wheel scrolls.
constexpr int kWheelLines = 3;

// Indexes travel as 32-bit values, as the classic controls read them ((WPARAM)-1 is -1).
int IndexOf(std::uintptr_t Value) {
    return static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(Value)));
}

POINT PointOf(LPARAM LParam) {
    return POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
}

UINT IdOf(HWND Wnd) {
    return static_cast<UINT>(GetWindowLongPtr(Wnd, GWLP_ID));
}

HFONT FontOrDefault(HFONT Font) {
    return Font ? Font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

bool KeyHeld(int Key) {
    return (GetKeyState(Key) & 0x8000) != 0;
}

}  // namespace

TListBoxControl::TListBoxControl(HWND Wnd) : TWrappedControl(Wnd), FBars(Wnd) {}

TListBoxControl::~TListBoxControl() = default;

QWidget* TListBoxControl::CreateWidget(QWidget*, const CREATESTRUCT&) {
    return nullptr;
}

// --- styles and owner ---------------------------------------------------------------------------

bool TListBoxControl::OwnerDraw() const {
    return Style() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE);
}

bool TListBoxControl::HasStrings() const {
    return !OwnerDraw() || (Style() & LBS_HASSTRINGS);
}

bool TListBoxControl::Variable() const {
    return Style() & LBS_OWNERDRAWVARIABLE;
}

bool TListBoxControl::Extended() const {
    return Style() & LBS_EXTENDEDSEL;
}

bool TListBoxControl::Multiple() const {
    return (Style() & LBS_MULTIPLESEL) && !Extended();
}

bool TListBoxControl::NoSelection() const {
    return Style() & LBS_NOSEL;
}

bool TListBoxControl::Notifying() const {
    return Style() & LBS_NOTIFY;
}

TListBoxControl::TOwner TListBoxControl::Owner() const {
    if (InCombo()) return TOwner{GetParent(FCombo), ODT_COMBOBOX, IdOf(FCombo), FCombo};
    return TOwner{GetParent(Handle()), ODT_LISTBOX, IdOf(Handle()), Handle()};
}

void TListBoxControl::NotifyParent(WORD Code) {
    if (!InCombo()) Command(Code);
}

void TListBoxControl::TellCombo(TComboListNotice Notice) {
    if (InCombo())
        SendMessage(FCombo, kComboListNotice, static_cast<WPARAM>(Notice),
                    static_cast<LPARAM>(Handle()));
}

// --- creation, fonts and heights ----------------------------------------------------------------

void TListBoxControl::Created(const CREATESTRUCT& Create) {
    if (static_cast<DWORD>(Create.style) & LBS_COMBOBOX)
        FCombo = reinterpret_cast<std::uintptr_t>(Create.lpCreateParams);
    FBars.KeepWhenNotNeeded(Style() & LBS_DISABLENOSCROLL);
    FItemHeight = FontHeight();
    if (OwnerDraw() && !Variable() && !InCombo()) FItemHeight = MeasureItem(0, 0);
    UpdateScrollBars();
    if (!(Style() & LBS_NOINTEGRALHEIGHT) && !Variable()) {
        RECT R;
        GetWindowRect(Handle(), &R);
        SetWindowPos(Handle(), 0, 0, 0, R.right - R.left, R.bottom - R.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

int TListBoxControl::FontHeight() const {
    const HDC DC = CreateCompatibleDC(0);
    SelectObject(DC, FontOrDefault(FFont));
    TEXTMETRIC Metrics;
    GetTextMetrics(DC, &Metrics);
    DeleteDC(DC);
    return std::clamp(static_cast<int>(Metrics.tmHeight), 1, ControlsLimits::kMaxItemHeight);
}

void TListBoxControl::SetFont(HFONT Font, bool Redraw) {
    FFont = Font;
    // Owner-drawn items keep the heights their owner gave them.
    if (!OwnerDraw()) FItemHeight = FontHeight();
    SetTop(FTop);
    UpdateScrollBars();
    if (Redraw) Invalidate();
}

int TListBoxControl::MeasureItem(int Index, ULONG_PTR Data) {
    const TOwner O = Owner();
    MEASUREITEMSTRUCT M;
    M.CtlType = O.CtlType;
    M.CtlID = O.Id;
    M.itemID = static_cast<UINT>(Index);
    M.itemWidth = static_cast<UINT>(Client().right);
    M.itemHeight = static_cast<UINT>(FItemHeight);
    M.itemData = Data;
    if (O.Wnd) SendMessage(O.Wnd, WM_MEASUREITEM, M.CtlID, reinterpret_cast<LPARAM>(&M));
    return std::clamp(static_cast<int>(M.itemHeight), 1, ControlsLimits::kMaxItemHeight);
}

int TListBoxControl::HeightOf(int Index) const {
    if (Variable() && Index >= 0 && Index < FItems.Count()) return FItems[Index].Height;
    return FItemHeight;
}

void TListBoxControl::AdjustIntegralHeight(WINDOWPOS& Pos) const {
    if ((Pos.flags & SWP_NOSIZE) || (Style() & LBS_NOINTEGRALHEIGHT) || Variable()) return;
    RECT Window;
    GetWindowRect(Handle(), &Window);
    const int NonClient = (Window.bottom - Window.top) - Client().bottom;
    const int Inside = Pos.cy - NonClient;
    if (Inside > FItemHeight) Pos.cy -= Inside % FItemHeight;
}

// --- items --------------------------------------------------------------------------------------

LRESULT TListBoxControl::AddString(LPARAM LParam, int Index, bool Sorted) {
    TListItem Item;
    if (HasStrings()) {
        const char* Text = reinterpret_cast<const char*>(LParam);
        const size_t Length = Text ? strnlen(Text, ControlsLimits::kMaxItemText + 1) : 0;
        if (Length > ControlsLimits::kMaxItemText) {
            NotifyParent(LBN_ERRSPACE);
            return LB_ERRSPACE;
        }
        Item.Text.assign(Text ? Text : "", Length);
    } else {
        Item.Data = static_cast<ULONG_PTR>(LParam);
    }
    if (FItems.Count() >= ControlsLimits::kMaxListItems) {
        NotifyParent(LBN_ERRSPACE);
        return LB_ERRSPACE;
    }
    const int At = Sorted ? SortedIndex(Item) : Index;
    Item.Height = FItemHeight;
    const ULONG_PTR Data = Item.Data;
    FItems.Insert(At, std::move(Item));
    if (FSelected >= At) ++FSelected;
    if (FItems.Count() > 1) {
        if (FCaret >= At) ++FCaret;
        if (FAnchor >= At) ++FAnchor;
    }
    // The owner may read the new item while it measures it.
    if (Variable()) {
        const int Height = MeasureItem(At, Data);
        if (At < FItems.Count()) FItems[At].Height = Height;
    }
    UpdateScrollBars();
    InvalidateFrom(At);
    return At;
}

int TListBoxControl::SortedIndex(const TListItem& Item) const {
    if (HasStrings())
        return FItems.UpperBound([&](int, const TListItem& Other) {
            return CompareItemTexts(Item.Text, Other.Text) < 0;
        });
    // Items without strings: their owner says how they compare.
    const TOwner O = Owner();
    return FItems.UpperBound([&](int Index, const TListItem& Other) {
        COMPAREITEMSTRUCT C;
        C.CtlType = O.CtlType;
        C.CtlID = O.Id;
        C.hwndItem = O.Item;
        C.itemID1 = static_cast<UINT>(Index);
        C.itemData1 = Other.Data;
        C.itemID2 = static_cast<UINT>(-1);
        C.itemData2 = Item.Data;
        return SendMessage(O.Wnd, WM_COMPAREITEM, C.CtlID, reinterpret_cast<LPARAM>(&C)) > 0;
    });
}

LRESULT TListBoxControl::DeleteString(int Index) {
    if (Index < 0 || Index >= FItems.Count()) return LB_ERR;
    const TListItem Gone = FItems.Erase(Index);
    if (FSelected == Index)
        FSelected = -1;
    else if (FSelected > Index)
        --FSelected;
    const int Last = std::max(0, FItems.Count() - 1);
    if (FCaret > Index) --FCaret;
    if (FAnchor > Index) --FAnchor;
    FCaret = std::min(FCaret, Last);
    FAnchor = std::min(FAnchor, Last);
    if (FTop > Index) --FTop;
    SetTop(FTop);
    UpdateScrollBars();
    InvalidateFrom(Index);
    SendDeleteItem(Index, Gone);
    return FItems.Count();
}

void TListBoxControl::ResetContent() {
    TItemList Gone = std::move(FItems);
    FItems.Clear();
    FSelected = -1;
    FCaret = FAnchor = FTop = FHorzPos = 0;
    UpdateScrollBars();
    Invalidate();
    for (int I = 0; I < Gone.Count(); ++I) SendDeleteItem(I, Gone[I]);
}

void TListBoxControl::SendDeleteItem(int Index, const TListItem& Item) {
    if (!OwnerDraw() && Item.Data == 0) return;
    const TOwner O = Owner();
    if (!O.Wnd) return;
    DELETEITEMSTRUCT D;
    D.CtlType = O.CtlType;
    D.CtlID = O.Id;
    D.itemID = static_cast<UINT>(Index);
    D.hwndItem = O.Item;
    D.itemData = Item.Data;
    SendMessage(O.Wnd, WM_DELETEITEM, D.CtlID, reinterpret_cast<LPARAM>(&D));
}

LRESULT TListBoxControl::GetText(int Index, char* Buffer) const {
    if (Index < 0 || Index >= FItems.Count() || !Buffer) return LB_ERR;
    const TListItem& Item = FItems[Index];
    if (!HasStrings()) {
        std::memcpy(Buffer, &Item.Data, sizeof Item.Data);
        return sizeof Item.Data;
    }
    std::memcpy(Buffer, Item.Text.data(), Item.Text.size());
    Buffer[Item.Text.size()] = '\0';
    return static_cast<LRESULT>(Item.Text.size());
}

bool TListBoxControl::Matches(int Index, const TListItem& Item, LPARAM LParam, bool Exact) const {
    if (HasStrings()) {
        const char* Text = reinterpret_cast<const char*>(LParam);
        const std::string_view Wanted = Text ? Text : "";
        return Exact ? ItemTextEquals(Item.Text, Wanted) : ItemTextStartsWith(Item.Text, Wanted);
    }
    if (!(Style() & LBS_SORT)) return Item.Data == static_cast<ULONG_PTR>(LParam);
    const TOwner O = Owner();
    COMPAREITEMSTRUCT C;
    C.CtlType = O.CtlType;
    C.CtlID = O.Id;
    C.hwndItem = O.Item;
    C.itemID1 = static_cast<UINT>(Index);
    C.itemData1 = Item.Data;
    C.itemID2 = static_cast<UINT>(-1);
    C.itemData2 = static_cast<ULONG_PTR>(LParam);
    return SendMessage(O.Wnd, WM_COMPAREITEM, C.CtlID, reinterpret_cast<LPARAM>(&C)) == 0;
}

int TListBoxControl::Find(int Start, LPARAM LParam, bool Exact) const {
    const int First = (Start < 0 || Start >= FItems.Count() - 1) ? 0 : Start + 1;
    return FItems.FindFrom(First, [&](int Index, const TListItem& Item) {
        return Matches(Index, Item, LParam, Exact);
    });
}

// --- selection ----------------------------------------------------------------------------------

bool TListBoxControl::Selected(int Index) const {
    if (Index < 0 || Index >= FItems.Count()) return false;
    return AnyMultiSelect() ? FItems[Index].Selected : Index == FSelected;
}

int TListBoxControl::CurSel() const {
    if (!AnyMultiSelect()) return FSelected;
    return FItems.Empty() ? static_cast<int>(LB_ERR) : FCaret;
}

bool TListBoxControl::SetSelected(int Index, bool Select) {
    TListItem& Item = FItems[Index];
    if (Item.Selected == Select) return false;
    Item.Selected = Select;
    RedrawItem(Index, ODA_SELECT);
    return true;
}

bool TListBoxControl::SelectOnly(int Index) {
    if (FSelected == Index) return false;
    const int Old = FSelected;
    FSelected = Index;
    RedrawItem(Old, ODA_SELECT);
    RedrawItem(Index, ODA_SELECT);
    return true;
}

bool TListBoxControl::SelectRange(int From, int To, bool Select, bool Others) {
    if (From > To) std::swap(From, To);
    bool Changed = false;
    for (int I = 0; I < FItems.Count(); ++I) {
        const bool Inside = I >= From && I <= To;
        if (Inside || Others) Changed |= SetSelected(I, Inside ? Select : false);
    }
    return Changed;
}

void TListBoxControl::SetCaret(int Index) {
    // A caret moved otherwise than by typing starts the next typed prefix anew.
    if (!FSearching) FTyped.clear();
    if (FCaret == Index) return;
    const int Old = FCaret;
    FCaret = Index;
    if (!ShowsFocus()) return;
    RedrawItem(Old, ODA_FOCUS);
    RedrawItem(Index, ODA_FOCUS);
}

LRESULT TListBoxControl::SetCurSel(int Index) {
    if (AnyMultiSelect() || NoSelection()) return LB_ERR;
    if (Index < 0 || Index >= FItems.Count()) {
        // A bad index clears the selection, as -1 does; both answer LB_ERR.
        SelectOnly(-1);
        return LB_ERR;
    }
    SelectOnly(Index);
    SetCaret(Index);
    ScrollIntoView(Index, false);
    return Index;
}

LRESULT TListBoxControl::SetSel(bool Select, int Index) {
    if (!AnyMultiSelect() || NoSelection() || Index < -1 || Index >= FItems.Count()) return LB_ERR;
    if (Index == -1) {
        for (int I = 0; I < FItems.Count(); ++I) SetSelected(I, Select);
    } else {
        SetSelected(Index, Select);
    }
    return LB_OKAY;
}

LRESULT TListBoxControl::SelItemRange(bool Select, int First, int Last) {
    if (!AnyMultiSelect() || NoSelection()) return LB_ERR;
    if (First > Last) std::swap(First, Last);
    if (FItems.Empty() || First >= FItems.Count() || Last < 0) return LB_ERR;
    SelectRange(std::max(First, 0), std::min(Last, FItems.Count() - 1), Select, false);
    return LB_OKAY;
}

LRESULT TListBoxControl::GetSelItems(int Max, int* Buffer) const {
    if (!AnyMultiSelect()) return LB_ERR;
    if (!Buffer || Max <= 0) return 0;
    int N = 0;
    for (int I = 0; I < FItems.Count() && N < Max; ++I)
        if (FItems[I].Selected) Buffer[N++] = I;
    return N;
}

int TListBoxControl::SelCount() const {
    if (!AnyMultiSelect()) return static_cast<int>(LB_ERR);
    int N = 0;
    for (int I = 0; I < FItems.Count(); ++I) N += FItems[I].Selected ? 1 : 0;
    return N;
}

// --- geometry and scrolling ---------------------------------------------------------------------

RECT TListBoxControl::Client() const {
    RECT R;
    GetClientRect(Handle(), &R);
    return R;
}

int TListBoxControl::ItemTop(int Index) const {
    if (!Variable()) return (Index - FTop) * FItemHeight;
    int Y = 0;
    for (int I = FTop; I < Index; ++I) Y += HeightOf(I);
    for (int I = Index; I < FTop; ++I) Y -= HeightOf(I);
    return Y;
}

RECT TListBoxControl::ItemRect(int Index) const {
    const int Top = ItemTop(Index);
    const int Width = std::max(static_cast<int>(Client().right), FHorzExtent);
    return RECT{-FHorzPos, Top, Width - FHorzPos, Top + HeightOf(Index)};
}

int TListBoxControl::FullyVisible(int From) const {
    const int Height = Client().bottom;
    if (!Variable()) return std::max(1, Height / FItemHeight);
    int N = 0;
    int Y = 0;
    for (int I = From; I < FItems.Count(); ++I) {
        Y += HeightOf(I);
        if (Y > Height) break;
        ++N;
    }
    return std::max(1, N);
}

int TListBoxControl::LastTop() const {
    const int Count = FItems.Count();
    if (!Variable()) return std::max(0, Count - FullyVisible(0));
    const int Height = Client().bottom;
    int Y = 0;
    int Top = Count;
    while (Top > 0 && Y + HeightOf(Top - 1) <= Height) Y += HeightOf(--Top);
    return std::min(Top, std::max(0, Count - 1));
}

int TListBoxControl::ItemAt(POINT Pt, bool& Outside) const {
    const RECT C = Client();
    Outside = !PtInRect(&C, Pt);
    if (FItems.Empty()) return 0;
    // Above the list: the item before the first one shown; below the items: the last one.
    if (Pt.y < 0) return std::max(0, FTop - 1);
    int Y = 0;
    for (int I = FTop; I < FItems.Count(); ++I) {
        Y += HeightOf(I);
        if (Pt.y < Y) return I;
    }
    return FItems.Count() - 1;
}

void TListBoxControl::SetTop(int Top) {
    Top = std::clamp(Top, 0, LastTop());
    if (Top == FTop) return;
    FTop = Top;
    Invalidate();
    UpdateScrollBars();
}

void TListBoxControl::ScrollIntoView(int Index, bool Partly) {
    if (Index < 0 || Index >= FItems.Count()) return;
    if (Index < FTop) {
        SetTop(Index);
        return;
    }
    const int Height = Client().bottom;
    const RECT R = ItemRect(Index);
    if (R.bottom <= Height || (Partly && R.top < Height)) return;
    // The item becomes the last one wholly shown.
    int Top = Index;
    int Y = HeightOf(Index);
    while (Top > 0 && Y + HeightOf(Top - 1) <= Height) Y += HeightOf(--Top);
    SetTop(Top);
}

void TListBoxControl::SetHorzPos(int Pos) {
    Pos = std::clamp(Pos, 0, std::max(0, FHorzExtent - static_cast<int>(Client().right)));
    if (Pos == FHorzPos) return;
    FHorzPos = Pos;
    Invalidate();
    UpdateScrollBars();
}

void TListBoxControl::UpdateScrollBars() {
    if (FUpdatingBars || FRedrawOff) return;
    FUpdatingBars = true;
    // A bar that comes or goes changes the room for the other one: settle within a few rounds.
    for (int Round = 0; Round < 3; ++Round) {
        const int Count = FItems.Count();
        const int Width = Client().right;
        bool Changed = FBars.Set(
            SB_VERT, TScrollRange{0, std::max(0, Count - 1), std::max(1, Count - LastTop()), FTop});
        Changed |= FBars.Set(
            SB_HORZ, TScrollRange{0, std::max(0, FHorzExtent - 1), std::max(1, Width), FHorzPos});
        if (!Changed) break;
        FTop = std::clamp(FTop, 0, LastTop());
        FHorzPos = std::clamp(FHorzPos, 0, std::max(0, FHorzExtent - Width));
        Invalidate();
    }
    FUpdatingBars = false;
}

void TListBoxControl::VScroll(WORD Code) {
    const int Page = FullyVisible(FTop);
    switch (Code) {
        case SB_LINEUP:
            SetTop(FTop - 1);
            break;
        case SB_LINEDOWN:
            SetTop(FTop + 1);
            break;
        case SB_PAGEUP:
            SetTop(FTop - Page);
            break;
        case SB_PAGEDOWN:
            SetTop(FTop + Page);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            SetTop(FBars.TrackPos(SB_VERT));
            break;
        case SB_TOP:
            SetTop(0);
            break;
        case SB_BOTTOM:
            SetTop(LastTop());
            break;
        default:
            break;
    }
}

void TListBoxControl::HScroll(WORD Code) {
    const int Width = Client().right;
    const int Line = std::max(1, FItemHeight / 2);
    switch (Code) {
        case SB_LINELEFT:
            SetHorzPos(FHorzPos - Line);
            break;
        case SB_LINERIGHT:
            SetHorzPos(FHorzPos + Line);
            break;
        case SB_PAGELEFT:
            SetHorzPos(FHorzPos - Width);
            break;
        case SB_PAGERIGHT:
            SetHorzPos(FHorzPos + Width);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            SetHorzPos(FBars.TrackPos(SB_HORZ));
            break;
        case SB_LEFT:
            SetHorzPos(0);
            break;
        case SB_RIGHT:
            SetHorzPos(FHorzExtent);
            break;
        default:
            break;
    }
}

// --- painting -----------------------------------------------------------------------------------

bool TListBoxControl::CanDrawNow() const {
    return !FRedrawOff && IsWindowVisible(Handle());
}

bool TListBoxControl::ShowsFocus() const {
    return InCombo() ? FDropped : FFocused;
}

void TListBoxControl::Invalidate() {
    if (!FRedrawOff) InvalidateRect(Handle(), nullptr, FALSE);
}

HBRUSH TListBoxControl::PrepareDC(HDC DC) {
    SelectObject(DC, FontOrDefault(FFont));
    SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(DC, GetSysColor(COLOR_WINDOW));
    SetBkMode(DC, OPAQUE);
    const HWND Asked = InCombo() ? FCombo : GetParent(Handle());
    HBRUSH Brush = 0;
    if (Asked)
        Brush = static_cast<HBRUSH>(SendMessage(Asked, WM_CTLCOLORLISTBOX, static_cast<WPARAM>(DC),
                                                static_cast<LPARAM>(Handle())));
    return Brush ? Brush : GetSysColorBrush(COLOR_WINDOW);
}

void TListBoxControl::DrawItem(HDC DC, int Index, UINT Action) {
    const RECT R = ItemRect(Index);
    const bool Sel = !NoSelection() && Selected(Index);
    // A combo box's list shows its focus only on the item that is selected.
    const bool Focus = ShowsFocus() && Index == FCaret && (!InCombo() || Index == FSelected);
    const bool Enabled = IsWindowEnabled(Handle());
    if (OwnerDraw()) {
        const TOwner O = Owner();
        DRAWITEMSTRUCT D;
        D.CtlType = O.CtlType;
        D.CtlID = O.Id;
        D.itemID = static_cast<UINT>(Index);
        D.itemAction = Action;
        D.itemState =
            (Sel ? ODS_SELECTED : 0) | (Focus ? ODS_FOCUS : 0) | (Enabled ? 0 : ODS_DISABLED);
        D.hwndItem = O.Item;
        D.hDC = DC;
        D.rcItem = R;
        D.itemData = FItems[Index].Data;
        const int Saved = SaveDC(DC);
        IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
        if (O.Wnd) SendMessage(O.Wnd, WM_DRAWITEM, D.CtlID, reinterpret_cast<LPARAM>(&D));
        RestoreDC(DC, Saved);
        return;
    }
    const COLORREF Text = GetTextColor(DC);
    const COLORREF Back = GetBkColor(DC);
    if (Sel) {
        SetTextColor(DC, GetSysColor(COLOR_HIGHLIGHTTEXT));
        SetBkColor(DC, GetSysColor(COLOR_HIGHLIGHT));
    } else if (!Enabled) {
        SetTextColor(DC, GetSysColor(COLOR_GRAYTEXT));
    }
    ExtTextOut(DC, R.left + 2, R.top, ETO_OPAQUE | ETO_CLIPPED, &R, FItems[Index].Text);
    SetTextColor(DC, Text);
    SetBkColor(DC, Back);
    if (Focus) DrawFocusRect(DC, &R);
}

// An empty list shows its focus where the first item would be.
void TListBoxControl::DrawEmptyFocus(HDC DC, UINT Action) {
    const RECT R{0, 0, Client().right, FItemHeight};
    if (!OwnerDraw()) {
        DrawFocusRect(DC, &R);
        return;
    }
    const TOwner O = Owner();
    DRAWITEMSTRUCT D;
    D.CtlType = O.CtlType;
    D.CtlID = O.Id;
    D.itemID = static_cast<UINT>(-1);
    D.itemAction = Action;
    D.itemState = ODS_FOCUS;
    D.hwndItem = O.Item;
    D.hDC = DC;
    D.rcItem = R;
    if (O.Wnd) SendMessage(O.Wnd, WM_DRAWITEM, D.CtlID, reinterpret_cast<LPARAM>(&D));
}

void TListBoxControl::Paint() {
    PAINTSTRUCT Ps;
    const HDC DC = BeginPaint(Handle(), &Ps);
    const HBRUSH Brush = PrepareDC(DC);
    const RECT C = Client();
    int Y = 0;
    for (int I = FTop; I < FItems.Count() && Y < C.bottom; ++I) {
        const RECT R = ItemRect(I);
        if (R.bottom > Ps.rcPaint.top && R.top < Ps.rcPaint.bottom) DrawItem(DC, I, ODA_DRAWENTIRE);
        Y = R.bottom;
    }
    const RECT Rest{C.left, Y, C.right, C.bottom};
    FillRect(DC, &Rest, Brush);
    if (FItems.Empty() && ShowsFocus()) DrawEmptyFocus(DC, ODA_FOCUS);
    EndPaint(Handle(), &Ps);
}

void TListBoxControl::RedrawItem(int Index, UINT Action) {
    if (Index < 0 || Index >= FItems.Count() || !CanDrawNow()) return;
    const RECT C = Client();
    const RECT R = ItemRect(Index);
    RECT Shown;
    if (!IntersectRect(&Shown, &R, &C)) return;
    const HDC DC = GetDC(Handle());
    if (!DC) return;
    PrepareDC(DC);
    DrawItem(DC, Index, Action);
    ReleaseDC(Handle(), DC);
}

// Many items may move in a row: they are painted in the next pass, not drawn at once.
void TListBoxControl::InvalidateFrom(int From) {
    if (FRedrawOff) return;
    const RECT C = Client();
    // An empty list that showed its focus where the first item goes shows it no more (or again).
    const int Top = FItems.Count() <= 1 ? 0 : std::max(0, ItemTop(From));
    const RECT Area{C.left, Top, C.right, C.bottom};
    if (!IsRectEmpty(&Area)) InvalidateRect(Handle(), &Area, FALSE);
}

// --- keyboard -----------------------------------------------------------------------------------

int TListBoxControl::Target(WPARAM Key, int From) const {
    const int Last = FItems.Count() - 1;
    const int Step = std::max(1, FullyVisible(FTop) - 1);
    // With nothing selected yet, the first step selects the item with the caret.
    const bool Fresh =
        !Multiple() && !NoSelection() && (Extended() ? SelCount() == 0 : FSelected < 0);
    int To = -1;
    switch (Key) {
        case VK_UP:
        case VK_LEFT:
            To = Fresh ? From : From - 1;
            break;
        case VK_DOWN:
        case VK_RIGHT:
            To = Fresh ? From : From + 1;
            break;
        case VK_PRIOR:
            To = From - Step;
            break;
        case VK_NEXT:
            To = From + Step;
            break;
        case VK_HOME:
            To = 0;
            break;
        case VK_END:
            To = Last;
            break;
        default:
            return -1;
    }
    return std::clamp(To, 0, Last);
}

void TListBoxControl::MoveCaretTo(int Index, bool Shift, bool Ctrl) {
    bool Changed = false;
    if (NoSelection() || Multiple()) {
        // The caret moves alone.
    } else if (Extended()) {
        if (Shift) {
            Changed = SelectRange(FAnchor, Index, true, !Ctrl);
        } else if (!Ctrl) {
            Changed = SelectRange(Index, Index, true, true);
            FAnchor = Index;
        }
    } else {
        Changed = SelectOnly(Index);
    }
    SetCaret(Index);
    ScrollIntoView(Index, false);
    if (InCombo()) {
        if (Changed) TellCombo(TComboListNotice::SelectionMoved);
        return;
    }
    // Multiple-selection lists tell of every move, single-selection lists of changes.
    if (Notifying() && !NoSelection() && (Changed || AnyMultiSelect())) NotifyParent(LBN_SELCHANGE);
}

LRESULT TListBoxControl::KeyDown(WPARAM Key) {
    int From = FCaret;
    if (!InCombo() && (Style() & LBS_WANTKEYBOARDINPUT)) {
        const LRESULT Answer =
            SendMessage(Owner().Wnd, WM_VKEYTOITEM,
                        MAKEWPARAM(static_cast<WORD>(Key), static_cast<WORD>(FCaret)), Handle());
        if (Answer == -2 || !IsWindow(Handle())) return 0;
        if (Answer >= 0 && Answer < FItems.Count()) From = static_cast<int>(Answer);
    }
    if (FItems.Empty()) return 0;
    const bool Shift = KeyHeld(VK_SHIFT);
    const bool Ctrl = KeyHeld(VK_CONTROL);
    if (Key == VK_SPACE && !NoSelection() && (Multiple() || (Extended() && Ctrl))) {
        SetSelected(FCaret, !Selected(FCaret));
        FAnchor = FCaret;
        if (Notifying()) NotifyParent(LBN_SELCHANGE);
        return 0;
    }
    const int To = Target(Key, From);
    if (To >= 0) MoveCaretTo(To, Shift, Ctrl);
    return 0;
}

int TListBoxControl::TypedSearch(unsigned char Character) {
    const auto Now = static_cast<DWORD>(GetMessageTime());
    if (Now - FTypedTime > kTypeAheadMs) FTyped.clear();
    FTypedTime = Now;
    if (FTyped.size() < ControlsLimits::kMaxTypedPrefix) FTyped += static_cast<char>(Character);
    // One letter typed again and again steps through the items that start with it; a longer
    // prefix may stay on the item it found before.
    const bool Stepping =
        std::all_of(FTyped.begin(), FTyped.end(), [&](char C) { return C == FTyped.front(); });
    const std::string Prefix = Stepping ? FTyped.substr(0, 1) : FTyped;
    const int Start = Stepping ? FCaret : FCaret - 1;
    return Find(Start, reinterpret_cast<LPARAM>(Prefix.c_str()), false);
}

LRESULT TListBoxControl::Char(unsigned char Character) {
    if (FItems.Empty()) return 0;
    if (!InCombo() && (Style() & LBS_WANTKEYBOARDINPUT) && !HasStrings()) {
        const LRESULT Answer = SendMessage(
            Owner().Wnd, WM_CHARTOITEM,
            MAKEWPARAM(static_cast<WORD>(Character), static_cast<WORD>(FCaret)), Handle());
        if (Answer >= 0 && Answer < FItems.Count() && IsWindow(Handle()))
            MoveCaretTo(static_cast<int>(Answer), false, false);
        return 0;
    }
    if (!HasStrings() || Character < 0x20) return 0;
    // Space toggles in multiple-selection lists (as a key).
    if (Character == ' ' && AnyMultiSelect()) return 0;
    const int Found = TypedSearch(Character);
    if (Found < 0) return 0;
    FSearching = true;
    MoveCaretTo(Found, false, false);
    FSearching = false;
    return 0;
}

// --- mouse --------------------------------------------------------------------------------------

void TListBoxControl::MouseDown(POINT Pt, WPARAM Keys, bool Double) {
    if (!FFocused) {
        SetFocus(Handle());
        if (!IsWindow(Handle())) return;
    }
    if (FItems.Empty()) return;
    bool Outside = false;
    const int Index = ItemAt(Pt, Outside);
    if (Double) {
        if (Notifying() && ItemRect(Index).bottom > Pt.y) NotifyParent(LBN_DBLCLK);
        return;
    }
    const bool Shift = Keys & MK_SHIFT;
    const bool Ctrl = Keys & MK_CONTROL;
    FTrackSelects = true;
    if (NoSelection()) {
        // Only the caret follows.
    } else if (Multiple()) {
        SetSelected(Index, !Selected(Index));
    } else if (Extended()) {
        if (Shift) {
            SelectRange(FAnchor, Index, true, !Ctrl);
        } else if (Ctrl) {
            SetSelected(Index, !Selected(Index));
            FAnchor = Index;
            FTrackSelects = Selected(Index);
        } else {
            SelectRange(Index, Index, true, true);
            FAnchor = Index;
        }
    } else {
        SelectOnly(Index);
    }
    SetCaret(Index);
    ScrollIntoView(Index, true);
    FTracking = true;
    SetCapture(Handle());
    if (!LeftButtonHeld()) MouseUp(Pt);
}

void TListBoxControl::TrackTo(int Index) {
    if (Index == FCaret && Index >= FTop && Index < FTop + FullyVisible(FTop)) return;
    if (NoSelection() || Multiple()) {
        // The caret follows alone.
    } else if (Extended()) {
        SelectRange(FAnchor, Index, FTrackSelects, FTrackSelects);
    } else {
        SelectOnly(Index);
    }
    SetCaret(Index);
    ScrollIntoView(Index, false);
}

void TListBoxControl::MouseMove(POINT Pt) {
    if (!FTracking || FItems.Empty()) return;
    bool Outside = false;
    int Index = ItemAt(Pt, Outside);
    // Below the list the selection moves on one item per move, scrolling.
    if (Pt.y >= Client().bottom) Index = std::min(FItems.Count() - 1, FCaret + 1);
    TrackTo(Index);
    if (!LeftButtonHeld()) MouseUp(Pt);
}

void TListBoxControl::MouseUp(POINT) {
    if (!FTracking) return;
    FTracking = false;
    if (GetCapture() == Handle()) ReleaseCapture();
    if (Notifying() && !NoSelection()) NotifyParent(LBN_SELCHANGE);
}

bool TListBoxControl::ScrollBarPress(POINT ClientPt) {
    POINT Screen = ClientPt;
    ClientToScreen(Handle(), &Screen);
    return FBars.Press(Screen);
}

void TListBoxControl::Wheel(int Delta) {
    FWheelRest += Delta;
    const int Notches = FWheelRest / WHEEL_DELTA;
    FWheelRest -= Notches * WHEEL_DELTA;
    if (Notches != 0) SetTop(FTop - Notches * kWheelLines);
}

// --- a combo box's list -------------------------------------------------------------------------

void TListBoxControl::DroppedDown(bool Tracking) {
    FDropped = true;
    FTracking = Tracking;
    ScrollIntoView(FSelected, false);
    Invalidate();
}

void TListBoxControl::ClosedUp() {
    FDropped = false;
    FTracking = false;
    FBars.Cancel();
}

void TListBoxControl::ComboMouseDown(POINT Pt, bool Double) {
    RECT Window;
    GetWindowRect(Handle(), &Window);
    POINT Screen = Pt;
    ClientToScreen(Handle(), &Screen);
    if (!PtInRect(&Window, Screen)) {
        TellCombo(TComboListNotice::Cancelled);
        return;
    }
    const RECT C = Client();
    if (!PtInRect(&C, Pt)) {
        ScrollBarPress(Pt);
        return;
    }
    // A list that is always shown holds the capture only while the button is down.
    if (!FDropped) {
        TellCombo(TComboListNotice::Pressed);
        if (!IsWindow(Handle())) return;
        SetCapture(Handle());
    }
    FTracking = true;
    ComboFollow(Pt);
    if (Double && !FDropped) TellCombo(TComboListNotice::DoubleClicked);
    if (IsWindow(Handle()) && !LeftButtonHeld()) ComboMouseUp(Pt);
}

void TListBoxControl::ComboMouseMove(POINT Pt) {
    if (!FDropped && !FTracking) return;
    ComboFollow(Pt);
    if (FTracking && !LeftButtonHeld()) ComboMouseUp(Pt);
}

// The selection follows the pointer over the items, and, while the button is held above or
// below the list, moves on, scrolling.
void TListBoxControl::ComboFollow(POINT Pt) {
    if (FItems.Empty() || NoSelection()) return;
    const RECT C = Client();
    bool Outside = false;
    int Index = ItemAt(Pt, Outside);
    if (Outside) {
        if (!FTracking || Pt.x < C.left || Pt.x >= C.right) return;
        const int From = FSelected < 0 ? FTop : FSelected;
        Index = Pt.y < 0 ? std::max(0, From - 1) : std::min(FItems.Count() - 1, From + 1);
    }
    SelectOnly(Index);
    SetCaret(Index);
    ScrollIntoView(Index, false);
}

void TListBoxControl::ComboMouseUp(POINT Pt) {
    if (!FTracking) return;
    FTracking = false;
    if (!FDropped && GetCapture() == Handle()) ReleaseCapture();
    const RECT C = Client();
    bool Outside = false;
    const int Index = ItemAt(Pt, Outside);
    if (PtInRect(&C, Pt) && !FItems.Empty() && ItemRect(Index).bottom > Pt.y)
        TellCombo(TComboListNotice::Chosen);
    else
        TellCombo(TComboListNotice::Released);
}

// --- messages -----------------------------------------------------------------------------------

LRESULT TListBoxControl::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_NCCREATE:
            return TWrappedControl::WndProc(Msg, WParam, LParam);
        case WM_CREATE: {
            const LRESULT Answer = TWrappedControl::WndProc(Msg, WParam, LParam);
            if (LParam) Created(*reinterpret_cast<const CREATESTRUCT*>(LParam));
            return Answer;
        }
        case WM_DESTROY: {
            // The owner frees what the items carry.
            TItemList Gone = std::move(FItems);
            FItems.Clear();
            for (int I = 0; I < Gone.Count(); ++I) SendDeleteItem(I, Gone[I]);
            break;
        }
        case WM_NCCALCSIZE: {
            DefWindowProc(Handle(), Msg, WParam, LParam);
            RECT* R = WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(LParam)->rgrc[0]
                             : reinterpret_cast<RECT*>(LParam);
            if (R) FBars.CalcSize(*R);
            return 0;
        }
        case WM_NCHITTEST: {
            const LRESULT Hit = FBars.HitTest(PointOf(LParam));
            return Hit != HTNOWHERE ? Hit : DefWindowProc(Handle(), Msg, WParam, LParam);
        }
        case WM_NCPAINT:
            DefWindowProc(Handle(), Msg, WParam, LParam);
            FBars.Paint();
            return 0;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            if (WParam == static_cast<WPARAM>(HTVSCROLL) ||
                WParam == static_cast<WPARAM>(HTHSCROLL)) {
                FBars.Press(PointOf(LParam));
                return 0;
            }
            break;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_WINDOWPOSCHANGING:
            if (LParam) AdjustIntegralHeight(*reinterpret_cast<WINDOWPOS*>(LParam));
            break;
        case WM_SIZE:
            FTop = std::clamp(FTop, 0, LastTop());
            UpdateScrollBars();
            Invalidate();
            return 0;
        case WM_SETFONT:
            SetFont(static_cast<HFONT>(WParam), LOWORD(static_cast<std::uintptr_t>(LParam)) != 0);
            return 0;
        case WM_GETFONT:
            return static_cast<LRESULT>(FFont);
        case WM_SETREDRAW:
            FRedrawOff = WParam == 0;
            DefWindowProc(Handle(), Msg, WParam, LParam);
            if (!FRedrawOff) {
                UpdateScrollBars();
                Invalidate();
            }
            return 0;
        case WM_ENABLE:
            RedrawWindow(Handle(), nullptr, 0, RDW_INVALIDATE | RDW_FRAME);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            FFocused = Msg == WM_SETFOCUS;
            if (FItems.Empty())
                Invalidate();
            else
                RedrawItem(FCaret, ODA_FOCUS);
            NotifyParent(FFocused ? LBN_SETFOCUS : LBN_KILLFOCUS);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_KEYDOWN:
            return KeyDown(WParam);
        case WM_CHAR:
            return Char(static_cast<unsigned char>(WParam & 0xFF));
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (InCombo())
                ComboMouseDown(PointOf(LParam), Msg == WM_LBUTTONDBLCLK);
            else
                MouseDown(PointOf(LParam), WParam, Msg == WM_LBUTTONDBLCLK);
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP: {
            const POINT Pt = PointOf(LParam);
            if (FBars.Tracking()) {
                POINT Screen = Pt;
                ClientToScreen(Handle(), &Screen);
                if (Msg == WM_MOUSEMOVE)
                    FBars.Move(Screen);
                else
                    FBars.Release(Screen);
            } else if (InCombo()) {
                if (Msg == WM_MOUSEMOVE)
                    ComboMouseMove(Pt);
                else
                    ComboMouseUp(Pt);
            } else if (Msg == WM_MOUSEMOVE) {
                MouseMove(Pt);
            } else {
                MouseUp(Pt);
            }
            return 0;
        }
        case WM_MOUSEWHEEL:
            Wheel(static_cast<SHORT>(HIWORD(WParam)));
            return 0;
        case WM_CAPTURECHANGED:
            if (static_cast<HWND>(LParam) == Handle()) return 0;
            FBars.Cancel();
            FTracking = false;
            if (InCombo() && FDropped) TellCombo(TComboListNotice::Cancelled);
            return 0;
        case WM_CANCELMODE:
            FBars.Cancel();
            FTracking = false;
            break;
        case WM_TIMER:
            if (WParam == TNcScrollBars::kRepeatTimer) {
                FBars.Repeat();
                return 0;
            }
            break;
        case WM_VSCROLL:
            VScroll(LOWORD(WParam));
            return 0;
        case WM_HSCROLL:
            HScroll(LOWORD(WParam));
            return 0;
        default:
            if (Msg >= LB_ADDSTRING && Msg <= LB_ITEMFROMPOINT)
                return ListMessage(Msg, WParam, LParam);
            break;
    }
    return DefWindowProc(Handle(), Msg, WParam, LParam);
}

LRESULT TListBoxControl::ListMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    const int Index = IndexOf(WParam);
    const int Count = FItems.Count();
    const bool Valid = Index >= 0 && Index < Count;
    switch (Msg) {
        case LB_ADDSTRING:
            return AddString(LParam, Count, Style() & LBS_SORT);
        case LB_INSERTSTRING:
            if (Index < -1 || Index > Count) return LB_ERR;
            return AddString(LParam, Index == -1 ? Count : Index, false);
        case LB_DELETESTRING:
            return DeleteString(Index);
        case LB_RESETCONTENT:
            ResetContent();
            return LB_OKAY;
        case LB_GETCOUNT:
            return Count;
        case LB_GETTEXT:
            return GetText(Index, reinterpret_cast<char*>(LParam));
        case LB_GETTEXTLEN:
            if (!Valid) return LB_ERR;
            return HasStrings() ? static_cast<LRESULT>(FItems[Index].Text.size())
                                : static_cast<LRESULT>(sizeof(ULONG_PTR));
        case LB_SETITEMDATA:
            if (!Valid) return LB_ERR;
            FItems[Index].Data = static_cast<ULONG_PTR>(LParam);
            return LB_OKAY;
        case LB_GETITEMDATA:
            return Valid ? static_cast<LRESULT>(FItems[Index].Data) : LB_ERR;
        case LB_SETCURSEL:
            return SetCurSel(Index);
        case LB_GETCURSEL:
            return CurSel();
        case LB_SETSEL:
            return SetSel(WParam != 0, IndexOf(static_cast<std::uintptr_t>(LParam)));
        case LB_GETSEL: {
            if (!Valid) return LB_ERR;
            return Selected(Index) ? 1 : 0;
        }
        case LB_GETSELCOUNT:
            return SelCount();
        case LB_GETSELITEMS:
            return GetSelItems(Index, reinterpret_cast<int*>(LParam));
        case LB_SELITEMRANGE:
            return SelItemRange(WParam != 0, LOWORD(static_cast<std::uintptr_t>(LParam)),
                                HIWORD(static_cast<std::uintptr_t>(LParam)));
        case LB_SELITEMRANGEEX: {
            const int Last = IndexOf(static_cast<std::uintptr_t>(LParam));
            return Index <= Last ? SelItemRange(true, Index, Last)
                                 : SelItemRange(false, Last, Index);
        }
        case LB_SETTOPINDEX:
            if (!Valid) return LB_ERR;
            SetTop(Index);
            return LB_OKAY;
        case LB_GETTOPINDEX:
            return FTop;
        case LB_SETCARETINDEX:
            if (!Valid) return LB_ERR;
            SetCaret(Index);
            ScrollIntoView(Index, LParam != 0);
            return LB_OKAY;
        case LB_GETCARETINDEX:
            return FCaret;
        case LB_SETANCHORINDEX:
            if (!Valid) return LB_ERR;
            FAnchor = Index;
            return LB_OKAY;
        case LB_GETANCHORINDEX:
            return FAnchor;
        case LB_FINDSTRING:
        case LB_FINDSTRINGEXACT: {
            const int Found = Find(Index, LParam, Msg == LB_FINDSTRINGEXACT);
            return Found < 0 ? LB_ERR : Found;
        }
        case LB_SELECTSTRING: {
            if (AnyMultiSelect()) return LB_ERR;
            const int Found = Find(Index, LParam, false);
            if (Found < 0) return LB_ERR;
            return SetCurSel(Found);
        }
        case LB_SETITEMHEIGHT:
            return SetItemHeight(Index, LOWORD(static_cast<std::uintptr_t>(LParam)));
        case LB_GETITEMHEIGHT:
            if (Variable()) return Valid ? FItems[Index].Height : LB_ERR;
            return FItemHeight;
        case LB_GETITEMRECT: {
            auto* R = reinterpret_cast<RECT*>(LParam);
            // An empty list answers for its first item, where its focus shows.
            if (!R || !(Valid || (Count == 0 && Index == 0))) return LB_ERR;
            *R = ItemRect(Index);
            return LB_OKAY;
        }
        case LB_ITEMFROMPOINT: {
            bool Outside = false;
            const int Found = ItemAt(PointOf(LParam), Outside);
            return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(Found), Outside ? 1 : 0));
        }
        case LB_SETHORIZONTALEXTENT:
            FHorzExtent = std::clamp(Index, 0, 0x7FFF);
            UpdateScrollBars();
            SetHorzPos(FHorzPos);
            Invalidate();
            return 0;
        case LB_GETHORIZONTALEXTENT:
            return FHorzExtent;
        case LB_SETCOLUMNWIDTH:
            FColumnWidth = std::max(0, Index);
            return LB_OKAY;
        case LB_INITSTORAGE: {
            const long long Wanted = static_cast<long long>(Count) + std::max(0, Index);
            return Wanted > ControlsLimits::kMaxListItems ? LB_ERRSPACE
                                                          : static_cast<LRESULT>(Wanted);
        }
        default:
            // Directory listings, tab stops, locales and data-less lists are not offered.
            return LB_ERR;
    }
}

LRESULT TListBoxControl::SetItemHeight(int Index, int Height) {
    if (Height <= 0 || Height > ControlsLimits::kMaxItemHeight) return LB_ERR;
    if (Variable()) {
        if (Index < 0 || Index >= FItems.Count()) return LB_ERR;
        FItems[Index].Height = Height;
    } else {
        FItemHeight = Height;
    }
    SetTop(FTop);
    UpdateScrollBars();
    Invalidate();
    return LB_OKAY;
}

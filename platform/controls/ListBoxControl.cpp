#include "platform/controls/ListBoxControl.h"

#include <algorithm>
#include <cstring>

#include "platform/controls/ControlLook.h"
#include "platform/controls/ItemTexts.h"
#include "platform/controls/Limits.h"
#include "platform/controls/OwnerDraw.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/gdi/Gdi.h"

namespace {

// Indexes travel as 32-bit values, as the classic controls read them ((WPARAM)-1 is -1).
int IndexOf(std::uintptr_t Value) {
    return static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(Value)));
}

UINT IdOf(HWND Wnd) {
    return static_cast<UINT>(GetWindowLongPtr(Wnd, GWLP_ID));
}

}  // namespace

TListBoxControl::TListBoxControl(HWND Wnd) : TWrappedControl(Wnd) {}

TListBoxControl::~TListBoxControl() = default;

QWidget* TListBoxControl::CreateWidget(QWidget*, const CREATESTRUCT&) {
    return nullptr;
}

HFONT TListBoxControl::Font() const {
    return FontOrDefault(FFont);
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
    FBarStyles = static_cast<DWORD>(Create.style) & (WS_VSCROLL | WS_HSCROLL);
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
    SelectObject(DC, Font());
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
    TListBoxItem Item;
    if (HasStrings()) {
        // A text over the limit is cut, as window texts are: the item is only shown, and
        // refusing it would fail whoever lists a long subject or header line.
        Item.Text = ItemTextFrom(reinterpret_cast<const char*>(LParam));
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

int TListBoxControl::SortedIndex(const TListBoxItem& Item) const {
    if (HasStrings())
        return FItems.UpperBound([&](int, const TListBoxItem& Other) {
            return CompareItemTexts(Item.Text, Other.Text) < 0;
        });
    // Items without strings: their owner says how they compare.
    return FItems.UpperBound([&](int Index, const TListBoxItem& Other) {
        return CompareByOwner(Index, Other.Data, Item.Data) > 0;
    });
}

LRESULT TListBoxControl::CompareByOwner(int Index, ULONG_PTR Data, ULONG_PTR Other) const {
    const TOwner O = Owner();
    COMPAREITEMSTRUCT C;
    C.CtlType = O.CtlType;
    C.CtlID = O.Id;
    C.hwndItem = O.Item;
    C.itemID1 = static_cast<UINT>(Index);
    C.itemData1 = Data;
    C.itemID2 = static_cast<UINT>(-1);
    C.itemData2 = Other;
    return SendMessage(O.Wnd, WM_COMPAREITEM, C.CtlID, reinterpret_cast<LPARAM>(&C));
}

LRESULT TListBoxControl::DeleteString(int Index) {
    if (Index < 0 || Index >= FItems.Count()) return LB_ERR;
    const TListBoxItem Gone = FItems.Erase(Index);
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

void TListBoxControl::SendDeleteItem(int Index, const TListBoxItem& Item) {
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
    const TListBoxItem& Item = FItems[Index];
    if (!HasStrings()) {
        std::memcpy(Buffer, &Item.Data, sizeof Item.Data);
        return sizeof Item.Data;
    }
    std::memcpy(Buffer, Item.Text.data(), Item.Text.size());
    Buffer[Item.Text.size()] = '\0';
    return static_cast<LRESULT>(Item.Text.size());
}

bool TListBoxControl::Matches(int Index, const TListBoxItem& Item, LPARAM LParam,
                              bool Exact) const {
    if (HasStrings()) {
        const char* Text = reinterpret_cast<const char*>(LParam);
        const std::string_view Wanted = Text ? Text : "";
        return Exact ? ItemTextEquals(Item.Text, Wanted) : ItemTextStartsWith(Item.Text, Wanted);
    }
    if (!(Style() & LBS_SORT)) return Item.Data == static_cast<ULONG_PTR>(LParam);
    return CompareByOwner(Index, Item.Data, static_cast<ULONG_PTR>(LParam)) == 0;
}

int TListBoxControl::Find(int Start, LPARAM LParam, bool Exact) const {
    const int First = (Start < 0 || Start >= FItems.Count() - 1) ? 0 : Start + 1;
    return FItems.FindFrom(First, [&](int Index, const TListBoxItem& Item) {
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
    TListBoxItem& Item = FItems[Index];
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
        case WM_NCCALCSIZE:
        case WM_NCPAINT:
            // The list draws only its items: frame, edge and scroll bars are the window's.
            return DefWindowProc(Handle(), Msg, WParam, LParam);
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
                ComboMouseDown(MessagePoint(LParam), Msg == WM_LBUTTONDBLCLK);
            else
                MouseDown(MessagePoint(LParam), WParam, Msg == WM_LBUTTONDBLCLK);
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP: {
            const POINT Pt = MessagePoint(LParam);
            if (InCombo()) {
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
            if (static_cast<HWND>(LParam) != Handle()) CaptureLost();
            return 0;
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
            const int Found = ItemAt(MessagePoint(LParam), Outside);
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

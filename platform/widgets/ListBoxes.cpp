#include "platform/widgets/ListBoxes.h"

#include <algorithm>

#include "platform/controls/Limits.h"
#include "platform/controls/ListBox.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/gdi/Gdi.h"

// ---- list box -------------------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* AOwner) : TCustomListControl(AOwner, kListBoxMessages) {
    // The window selects, captures the mouse and reports clicks and double clicks itself.
    FControlStyle = TControlStyle{csOpaque};
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    FColor = clWindow;
    FParentColor = false;
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
    TCustomListControl::CreateParams(Params);
    CreateSubClass(Params, "LISTBOX");
    static constexpr DWORD Styles[] = {0, LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE};
    Params.Style |= WS_VSCROLL | LBS_HASSTRINGS | LBS_NOTIFY | Styles[FStyle];
    if (Sorted()) Params.Style |= LBS_SORT;
    if (FMultiSelect) Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (FColumns > 0) Params.Style |= LBS_MULTICOLUMN | WS_HSCROLL;
    if (!FIntegralHeight) Params.Style |= LBS_NOINTEGRALHEIGHT;
    if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListBox::StyleChanged() {
    RecreateWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    StyleChanged();
}

void TCustomListBox::SetMultiSelect(bool Value) {
    if (FMultiSelect == Value) return;
    FMultiSelect = Value;
    StyleChanged();
}

void TCustomListBox::SetExtendedSelect(bool Value) {
    if (FExtendedSelect == Value) return;
    FExtendedSelect = Value;
    StyleChanged();
}

void TCustomListBox::SetColumns(int Value) {
    Value = std::max(Value, 0);
    if (FColumns == Value) return;
    // Going from one column to several (or back) changes the window's style; the width of the
    // columns follows the list's width.
    const bool Recreate = (FColumns == 0) != (Value == 0);
    FColumns = Value;
    if (Recreate)
        StyleChanged();
    else
        UpdateColumnWidth();
}

void TCustomListBox::SetIntegralHeight(bool Value) {
    if (FIntegralHeight == Value) return;
    FIntegralHeight = Value;
    StyleChanged();
}

void TCustomListBox::SetBorderStyle(TFormBorderStyle Value) {
    if (Value != bsNone && Value != bsSingle)
        throw EInvalidOperation("A list box's border is bsNone or bsSingle");
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    StyleChanged();
}

void TCustomListBox::UpdateColumnWidth() {
    if (HandleAllocated() && FColumns > 0)
        ::SendMessage(Handle(), LB_SETCOLUMNWIDTH, WPARAM(Width() / FColumns), 0);
}

int TCustomListBox::ItemHeight() {
    if (FStyle == lbStandard && HandleAllocated())
        return int(::SendMessage(Handle(), LB_GETITEMHEIGHT, 0, 0));
    return FItemHeight;
}

void TCustomListBox::SetItemHeight(int Value) {
    if (Value < 1 || Value > ControlsLimits::kMaxItemHeight)
        throw ERangeError("Item height " + std::to_string(Value) + " is not between 1 and " +
                          std::to_string(ControlsLimits::kMaxItemHeight));
    if (FItemHeight == Value) return;
    FItemHeight = Value;
    if (!HandleAllocated()) return;
    if (FStyle == lbOwnerDrawFixed)
        ::SendMessage(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(Value, 0));
    else if (FStyle == lbOwnerDrawVariable)
        RecreateWnd();  // every item is measured again
}

void TCustomListBox::CheckItem(int Index) {
    if (Index < 0 || Index >= Items()->Count())
        throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
}

bool TCustomListBox::Selected(int Index) {
    CheckItem(Index);
    if (!FMultiSelect) return ItemIndex() == Index;
    return HandleAllocated() ? WindowSelected(Index) : SavedSelected(Index);
}

void TCustomListBox::SetSelected(int Index, bool Value) {
    CheckItem(Index);
    if (!FMultiSelect) {
        if (Value)
            SetItemIndex(Index);
        else if (ItemIndex() == Index)
            SetItemIndex(-1);
        return;
    }
    if (HandleAllocated())
        ::SendMessage(Handle(), LB_SETSEL, Value ? TRUE : FALSE, LPARAM(Index));
    else
        SetSavedSelected(Index, Value);
}

int TCustomListBox::SelCount() {
    if (!FMultiSelect) return -1;
    if (HandleAllocated()) return int(::SendMessage(Handle(), LB_GETSELCOUNT, 0, 0));
    int Count = 0;
    for (int I = 0; I < Items()->Count(); ++I) Count += SavedSelected(I) ? 1 : 0;
    return Count;
}

int TCustomListBox::WindowItemIndex() {
    if (!FMultiSelect) return TCustomListControl::WindowItemIndex();
    // The focus stays on the first place of an empty list; no item has it.
    if (::SendMessage(Handle(), LB_GETCOUNT, 0, 0) <= 0) return -1;
    return int(::SendMessage(Handle(), LB_GETCARETINDEX, 0, 0));
}

void TCustomListBox::SetWindowItemIndex(int Value) {
    if (FMultiSelect)
        ::SendMessage(Handle(), LB_SETCARETINDEX, WPARAM(Value), FALSE);
    else
        TCustomListControl::SetWindowItemIndex(Value);
}

bool TCustomListBox::WindowSelected(int Index) {
    return FMultiSelect && ::SendMessage(Handle(), LB_GETSEL, WPARAM(Index), 0) > 0;
}

void TCustomListBox::SetWindowSelected(int Index) {
    if (FMultiSelect) ::SendMessage(Handle(), LB_SETSEL, TRUE, LPARAM(Index));
}

int TCustomListBox::TopIndex() {
    return HandleAllocated() ? int(::SendMessage(Handle(), LB_GETTOPINDEX, 0, 0)) : FSavedTop;
}

void TCustomListBox::SetTopIndex(int Value) {
    if (HandleAllocated())
        ::SendMessage(Handle(), LB_SETTOPINDEX, WPARAM(Value), 0);
    else
        FSavedTop = Value;
}

void TCustomListBox::DestroyWnd() {
    FSavedTop = TopIndex();
    TCustomListControl::DestroyWnd();
}

void TCustomListBox::ItemsRestored() {
    UpdateColumnWidth();
    if (FSavedTop > 0) ::SendMessage(Handle(), LB_SETTOPINDEX, WPARAM(FSavedTop), 0);
    FSavedTop = 0;
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) {
    if (!HandleAllocated()) return -1;
    const TRect Client = ClientRect();
    if (Pos.X < Client.Left || Pos.X >= Client.Right || Pos.Y < Client.Top ||
        Pos.Y >= Client.Bottom)
        return -1;
    const int Count = Items()->Count();
    for (int I = std::max(TopIndex(), 0); I < Count; ++I) {
        const TRect R = ItemRect(I);
        if (R.Top >= Client.Bottom) break;
        if (Pos.X >= R.Left && Pos.X < R.Right && Pos.Y >= R.Top && Pos.Y < R.Bottom) return I;
    }
    return Existing ? -1 : Count;
}

TPoint TCustomListBox::KeyboardPopupPoint() {
    const int Index = ItemIndex();
    return Index < 0 ? TPoint{0, 0} : PopupPointBelow(ItemRect(Index));
}

TRect TCustomListBox::ItemRect(int Index) {
    if (!HandleAllocated()) return {};
    const int Count = Items()->Count();
    RECT R{};
    if (Index >= 0 && (Index < Count || (Index == 0 && Count == 0))) {
        ::SendMessage(Handle(), LB_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&R));
        return ToTRect(R);
    }
    if (Index == Count) {
        ::SendMessage(Handle(), LB_GETITEMRECT, WPARAM(Index - 1), reinterpret_cast<LPARAM>(&R));
        OffsetRect(&R, 0, R.bottom - R.top);
        return ToTRect(R);
    }
    return {};
}

void TCustomListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_COMMAND:
            switch (HIWORD(std::uintptr_t(Message.WParam))) {
                case LBN_SELCHANGE:
                    Click();
                    break;
                case LBN_DBLCLK:
                    DblClick();
                    break;
                default:
                    break;
            }
            return;
        case WM_SIZE:
            TCustomListControl::Dispatch(Message);
            UpdateColumnWidth();
            return;
        default:
            TCustomListControl::Dispatch(Message);
    }
}

// ---- check list box -------------------------------------------------------------------------

TCheckListBox::TCheckListBox(TComponent* AOwner) : TCustomListBox(AOwner) {
    SetStyle(lbOwnerDrawFixed);
}

TCheckListBox::~TCheckListBox() = default;

void TCheckListBox::CreateParams(TCreateParams& Params) {
    TCustomListBox::CreateParams(Params);
    // The boxes are drawn with the items: a standard style still draws them.
    if (!(Params.Style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)))
        Params.Style |= LBS_OWNERDRAWFIXED;
}

int TCheckListBox::CheckWidth() {
    return FItemHeight;
}

TCheckListBox::TCheckItem* TCheckListBox::Record(int Index, bool Create) {
    const LRESULT Data = ItemData(Index);
    const auto* Known = reinterpret_cast<const TCheckItem*>(Data);
    if (auto It = FRecords.find(Known); It != FRecords.end()) return It->second.get();
    // Data this list did not make (another program's LB_SETITEMDATA) is never taken for one.
    if (!Create) return nullptr;
    auto Item = std::make_unique<TCheckItem>();
    TCheckItem* Made = Item.get();
    FRecords.emplace(Made, std::move(Item));
    SetItemData(Index, reinterpret_cast<LRESULT>(Made));
    return Made;
}

void TCheckListBox::ItemDataFreed(LRESULT Data) {
    FRecords.erase(reinterpret_cast<const TCheckItem*>(Data));
}

void* TCheckListBox::GetItemObject(int Index) {
    const TCheckItem* Item = Record(Index, false);
    return Item ? Item->Object : nullptr;
}

void TCheckListBox::SetItemObject(int Index, void* Object) {
    if (TCheckItem* Item = Record(Index, Object != nullptr)) Item->Object = Object;
}

TCheckBoxState TCheckListBox::State(int Index) {
    CheckItem(Index);
    const TCheckItem* Item = Record(Index, false);
    return Item ? Item->State : cbUnchecked;
}

void TCheckListBox::SetState(int Index, TCheckBoxState Value) {
    CheckItem(Index);
    TCheckItem* Item = Record(Index, Value != cbUnchecked);
    if (!Item || Item->State == Value) return;
    Item->State = Value;
    InvalidateCheck(Index);
}

bool TCheckListBox::ItemEnabled(int Index) {
    CheckItem(Index);
    const TCheckItem* Item = Record(Index, false);
    return Item ? Item->Enabled : true;
}

void TCheckListBox::SetItemEnabled(int Index, bool Value) {
    CheckItem(Index);
    TCheckItem* Item = Record(Index, !Value);
    if (!Item || Item->Enabled == Value) return;
    Item->Enabled = Value;
    if (HandleAllocated()) {
        const RECT R = ItemRect(Index);
        InvalidateRect(Handle(), &R, FALSE);
    }
}

void TCheckListBox::InvalidateCheck(int Index) {
    if (!HandleAllocated()) return;
    RECT R = ItemRect(Index);
    R.right = R.left + CheckWidth();
    InvalidateRect(Handle(), &R, FALSE);
}

void TCheckListBox::ToggleClickCheck(int Index) {
    if (Index < 0 || Index >= Items()->Count() || !ItemEnabled(Index)) return;
    // Unchecked, (grayed,) checked, unchecked...
    const TCheckBoxState Now = State(Index);
    SetState(Index, Now == cbChecked                     ? cbUnchecked
                    : Now == cbUnchecked && FAllowGrayed ? cbGrayed
                                                         : cbChecked);
    ClickCheck();
}

void TCheckListBox::ClickCheck() {
    if (OnClickCheck) OnClickCheck(this);
}

void TCheckListBox::KeyPress(char& Key) {
    TCustomListBox::KeyPress(Key);
    if (Key == ' ') {
        ToggleClickCheck(ItemIndex());
        Key = 0;
    }
}

void TCheckListBox::MouseToggle(TMessage& Message) {
    const POINT Point = MessagePoint(Message.LParam);
    const TPoint At{Point.x, Point.y};
    const int Index = ItemAtPos(At, true);
    if (Index < 0) return;
    const TRect R = ItemRect(Index);
    if (At.X >= R.Left && At.X < R.Left + CheckWidth()) ToggleClickCheck(Index);
}

void TCheckListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_DRAWITEM: {
            auto& Draw = *reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
            const int Index = int(Draw.itemID);
            if (Index >= 0 && Index < Items()->Count()) {
                RECT Column = Draw.rcItem;
                Column.right = std::min<LONG>(Column.left + CheckWidth(), Column.right);
                DrawCheck(Draw.hDC, Column, Index);
                Draw.rcItem.left = Column.right;
            }
            TCustomListBox::Dispatch(Message);
            return;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // The list selects the item first, so that a handler of OnClickCheck finds it current.
            TCustomListBox::Dispatch(Message);
            MouseToggle(Message);
            return;
        default:
            TCustomListBox::Dispatch(Message);
    }
}

void TCheckListBox::DrawCheck(HDC DC, RECT Column, int Index) {
    const HBRUSH Background = CreateSolidBrush(ColorToRGB(Color()));
    ::FillRect(DC, &Column, Background);
    DeleteObject(Background);
    // The classic box, smaller in short rows, with a pixel of margin above and below.
    const int Side =
        std::min<int>({13, Column.right - Column.left, Column.bottom - Column.top - 2});
    if (Side <= 0) return;
    const int X = (Column.left + Column.right - Side) / 2;
    const int Y = (Column.top + Column.bottom - Side) / 2;
    RECT Box{X, Y, X + Side, Y + Side};
    const TCheckBoxState S = State(Index);
    UINT Flags = DFCS_BUTTONCHECK;
    if (S != cbUnchecked) Flags |= DFCS_CHECKED;
    if (S == cbGrayed || !ItemEnabled(Index)) Flags |= DFCS_INACTIVE;
    DrawFrameControl(DC, &Box, DFC_BUTTON, Flags);
}

void TCheckListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (!ItemEnabled(Index) && !State.Contains(odSelected)) Canvas()->Font().SetColor(clGrayText);
    TCustomListBox::DrawItem(Index, Rect, State);
}

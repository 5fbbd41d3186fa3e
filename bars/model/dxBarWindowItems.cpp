#include "bars/model/dxBarWindowItems.h"

#include <algorithm>
#include <cctype>

#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarViews.h"
#include "platform/controls/OwnerDraw.h"
#include "platform/core/Input.h"
#include "platform/gdi/Gdi.h"

// ---- the notifying list -----------------------------------------------------------------------

void TdxBarNotifyingStrings::Changed() {
    if (UpdateCount() > 0) {
        FChangedWhileUpdating = true;
        return;
    }
    if (OnChange) OnChange();
}

void TdxBarNotifyingStrings::SetUpdateState(bool Updating) {
    if (Updating || !FChangedWhileUpdating) return;
    FChangedWhileUpdating = false;
    if (OnChange) OnChange();
}

int TdxBarNotifyingStrings::AddObject(const std::string& Value, void* Object) {
    const int Index = TStringList::AddObject(Value, Object);
    Changed();
    return Index;
}

void TdxBarNotifyingStrings::InsertObject(int Index, const std::string& Value, void* Object) {
    TStringList::InsertObject(Index, Value, Object);
    Changed();
}

void TdxBarNotifyingStrings::Put(int Index, const std::string& Value) {
    TStringList::Put(Index, Value);
    Changed();
}

void TdxBarNotifyingStrings::Delete(int Index) {
    TStringList::Delete(Index);
    Changed();
}

void TdxBarNotifyingStrings::Clear() {
    TStringList::Clear();
    Changed();
}

void TdxBarNotifyingStrings::Exchange(int A, int B) {
    TStringList::Exchange(A, B);
    Changed();
}

// ---- window items -----------------------------------------------------------------------------

void TdxBarWindowItem::StoreText(const std::string& Value) {
    FText = Value;
    TextChanged();
    Change();
    TextChanged();
}

void TdxBarWindowItem::WriteText(const std::string& Value) {
    if (FText == Value) return;
    StoreText(Value);
}

void TdxBarWindowItem::Change() {
    if (!IsLoading() && OnChange) OnChange(this);
}

std::string TdxBarWindowItem::CurText() const {
    std::string Typed;
    for (int I = 0; I < LinkCount(); ++I)
        if (dxBarViews().FocusedText(Links(I), Typed)) return Typed;
    return FText;
}

void TdxBarWindowItem::CurTextChanged() {
    if (OnCurChange) OnCurChange(this);
}

void TdxBarWindowItem::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TdxBarWindowItem::DoExit() {
    if (OnExit) OnExit(this);
}

void TdxBarWindowItem::KeyDown(WORD& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TdxBarWindowItem::KeyUp(WORD& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TdxBarWindowItem::KeyPress(char& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

// ---- edits ------------------------------------------------------------------------------------

void TdxBarEdit::SetShowCaption(bool Value) {
    if (FShowCaption == Value) return;
    FShowCaption = Value;
    if (!IsLoading()) LayoutChanged();
}

void TdxBarEdit::SetWidth(int Value) {
    CheckWidth(Value);
    if (FWidth == Value) return;
    FWidth = Value;
    if (!IsLoading()) WidthChanged();
}

void TdxBarEdit::WidthChanged() {
    for (int I = 0; I < LinkCount(); ++I) {
        TdxBarItemLink* Link = Links(I);
        if (!Link->UserDefine().Contains(udWidth))
            dxBarViews().ItemChanged(Link, TdxBarItemChange::Layout);
    }
}

bool TdxBarEdit::HasAccel(TdxBarItemLink* Link) const {
    if (!Enabled()) return false;
    if (FShowCaption) return true;
    return !Link || !Link->Links() || !Link->Links()->OwnerBar();
}

// ---- combos -----------------------------------------------------------------------------------

void TCustomdxBarCombo::SetShowEditor(bool Value) {
    if (FHideEditor == !Value) return;
    FHideEditor = !Value;
    if (!IsLoading()) TextChanged();
}

bool TCustomdxBarCombo::CheckKeyForDropDownWindow(WORD Key, TShiftState Shift) {
    bool Allow = Key != VK_ESCAPE && Key != VK_RETURN && Key != VK_TAB;
    if (OnCheckKeyForDropDownWindow) OnCheckKeyForDropDownWindow(this, Key, Shift, Allow);
    return Allow;
}

HWND TCustomdxBarCombo::GetDropDownWindow() {
    HWND Window = 0;
    if (OnGetDropDownWindow) OnGetDropDownWindow(this, Window);
    return Window;
}

void TCustomdxBarCombo::DropDown(TPoint At, TCustomdxBarComboControl* Control) {
    if (OnDropDown) OnDropDown(this);
    const HWND Window = GetDropDownWindow();
    if (!Window || !dxBarViews().CanDropDown(Control)) return;
    FDropDownControl = Control;
    InitDropDownWindow(Window, Control);
    dxBarViews().ShowDropDown(Window, Control, At);
}

void TCustomdxBarCombo::CloseUp() {
    if (!FDropDownControl) return;
    const HWND Window = GetDropDownWindow();
    FDropDownControl = nullptr;
    dxBarViews().HideDropDown(Window);
    DropDownClosed();
    if (OnCloseUp) OnCloseUp(this);
}

TdxBarCustomCombo::TdxBarCustomCombo(TComponent* AOwner) : TCustomdxBarCombo(AOwner) {
    FItems.OnChange = [this] { ItemsChanged(); };
}

bool TdxBarCustomCombo::CheckKeyForDropDownWindow(WORD Key, TShiftState Shift) {
    const bool Plain = (Shift * TShiftState{ssShift, ssAlt, ssCtrl}).Empty();
    return Plain && (Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT);
}

void TdxBarCustomCombo::SetItemIndex(int Value) {
    if (Value < 0 || Value >= FItems.Count()) Value = -1;
    FItemIndex = Value;
    const std::string Entry = Value >= 0 ? FItems[Value] : std::string();
    if (Entry == Text())
        StoreText(Entry);
    else
        TdxBarWindowItem::WriteText(Entry);
}

void TdxBarCustomCombo::WriteText(const std::string& Value) {
    const bool Keeps =
        FItemIndex >= 0 && FItemIndex < FItems.Count() && FItems[FItemIndex] == Value;
    if (!Keeps) {
        FItemIndex = -1;
        for (int I = 0; I < FItems.Count(); ++I)
            if (FItems[I] == Value) {
                FItemIndex = I;
                break;
            }
    }
    TdxBarWindowItem::WriteText(Value);
}

void TdxBarCustomCombo::ItemsChanged() {
    if (FItemIndex >= FItems.Count())
        FItemIndex = -1;
    else
        TextChanged();
}

void TdxBarCustomCombo::SetSorted(bool Value) {
    if (FSorted == Value) return;
    FSorted = Value;
    FItems.SetSorted(Value);
    FItemIndex = -1;
    for (int I = 0; I < FItems.Count(); ++I)
        if (FItems[I] == Text()) {
            FItemIndex = I;
            break;
        }
}

// ---- a custom combo's list --------------------------------------------------------------------

void TdxBarCustomCombo::BeforeDestruction() {
    if (DroppedDownControl()) CloseUp();
    dxBarViews().ComboListChanged(this, TdxBarComboListChange::Freed);
    TCustomdxBarCombo::BeforeDestruction();
}

HWND TdxBarCustomCombo::GetDropDownWindow() {
    if (HWND Own = TCustomdxBarCombo::GetDropDownWindow()) return Own;
    return dxBarViews().ComboListWindow(this);
}

void TdxBarCustomCombo::InitDropDownWindow(HWND Window, TCustomdxBarComboControl* Control) {
    dxBarViews().FillComboList(this, Window, Control);
}

void TdxBarCustomCombo::DropDownClosed() {
    // The list leaves the form until it opens again.
    dxBarViews().ComboListChanged(this, TdxBarComboListChange::Closed);
}

int TdxBarCustomCombo::GetDropDownWidth(int ControlWidth) {
    const bool Scrolls = Items()->Count() > DropDownCount;
    const int ScrollBar = Scrolls ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    if (DropDownWidth > 0) return DropDownWidth + 4 + ScrollBar;
    int Width = ControlWidth - 4 - ScrollBar;
    for (int I = 0; I < Items()->Count(); ++I) {
        int Entry = 0;
        MeasureItemWidth(I, Entry);
        Width = std::max(Width, Entry);
    }
    return Width + 4 + ScrollBar;
}

void TdxBarCustomCombo::MeasureItem(int Index, int& Height) {
    if (ItemHeight > 0) {
        Height = ItemHeight;
    } else {
        Height = dxBarViews().ComboTextExtent(this, "Qq").cy;
    }
    if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TdxBarCustomCombo::MeasureItemWidth(int Index, int& Width) {
    Width = dxBarViews().ComboTextExtent(this, Items()->Get(Index)).cx + 2;
}

void TdxBarCustomCombo::DrawItem(TCanvas* Canvas, int Index, const TRect& R, unsigned State,
                                 bool InBar) {
    if (OnDrawItem) {
        OnDrawItem(this, Index, R, State);
        return;
    }
    Canvas->FillRect(R);
    const std::string Entry = Index >= 0 && Index < Items()->Count() ? Items()->Get(Index) : Text();
    const int Top = R.Top + (InBar && BarManager() && BarManager()->IsFlat() ? 2 : 0);
    Canvas->TextRect(R, R.Left + 2, Top, Entry);
    if (State & ODS_FOCUS) Canvas->DrawFocusRect(R);
}

// ---- finding entries ----------------------------------------------------------------------------

int TdxBarCustomCombo::FindItemIndex(const std::string& Text, int CurIndex) const {
    if (CurIndex >= 0 && CurIndex < FItems.Count() && FItems[CurIndex] == Text) return CurIndex;
    auto Upper = [](std::string S) {
        for (char& C : S) C = char(std::toupper(static_cast<unsigned char>(C)));
        return S;
    };
    const std::string Wanted = Upper(Text);
    int Best = -1;
    size_t BestLength = 0;
    for (int I = 0; I < FItems.Count(); ++I) {
        const std::string Entry = Upper(FItems[I]);
        size_t Common = 0;
        while (Common < Entry.size() && Common < Wanted.size() && Entry[Common] == Wanted[Common])
            ++Common;
        if (Common > BestLength) {
            Best = I;
            BestLength = Common;
        }
        if (Common == Wanted.size() && !Wanted.empty()) break;  // starts with the whole text
    }
    return Best;
}

#include "platform/widgets/ListItems.h"

#include <algorithm>

#include "platform/controls/ComboBox.h"
#include "platform/controls/ItemTexts.h"
#include "platform/controls/Limits.h"
#include "platform/controls/ListBox.h"
#include "platform/gdi/Gdi.h"

const TListMessages kListBoxMessages{
    LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, LB_GETCOUNT,
    LB_GETTEXT,   LB_GETTEXTLEN,   LB_GETITEMDATA,  LB_SETITEMDATA,  LB_FINDSTRINGEXACT,
    LB_GETCURSEL, LB_SETCURSEL,    LB_ERR,          LB_ERRSPACE};
const TListMessages kComboBoxMessages{
    CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, CB_GETCOUNT,
    CB_GETLBTEXT, CB_GETLBTEXTLEN, CB_GETITEMDATA,  CB_SETITEMDATA,  CB_FINDSTRINGEXACT,
    CB_GETCURSEL, CB_SETCURSEL,    CB_ERR,          CB_ERRSPACE};

namespace {

[[noreturn]] void InsertError() {
    throw EStringListError("Unable to insert a line");
}

}  // namespace

// ---- the items ------------------------------------------------------------------------------

int TListControlItems::Count() const {
    return FControl->ItemCount();
}

std::string TListControlItems::Get(int Index) const {
    CheckIndex(Index);
    return FControl->ItemText(Index);
}

void TListControlItems::Put(int Index, const std::string& Value) {
    CheckIndex(Index);
    const LRESULT Data = FControl->ItemData(Index);
    const bool Selected = FControl->ItemSelected(Index);
    const int Current = FControl->ItemIndex();
    FControl->RemoveItem(Index);
    FControl->InsertItem(Index, Value);
    FControl->SetItemData(Index, Data);
    if (Selected) FControl->SelectItem(Index);
    FControl->SetItemIndex(Current);
}

void* TListControlItems::GetObject(int Index) const {
    CheckIndex(Index);
    return FControl->GetItemObject(Index);
}

void TListControlItems::PutObject(int Index, void* Object) {
    CheckIndex(Index);
    FControl->SetItemObject(Index, Object);
}

void TListControlItems::Insert(int Index, const std::string& Value) {
    if (Index < 0 || Index > Count())
        throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
    FControl->InsertItem(Index, Value);
}

int TListControlItems::AddObject(const std::string& Value, void* Object) {
    const int Index = FControl->InsertItem(-1, Value);
    if (Object) FControl->SetItemObject(Index, Object);
    return Index;
}

void TListControlItems::Delete(int Index) {
    CheckIndex(Index);
    const LRESULT Data = FControl->ItemData(Index);
    FControl->RemoveItem(Index);
    FControl->ItemDataFreed(Data);
}

void TListControlItems::Clear() {
    std::vector<LRESULT> Data;
    const int N = Count();
    Data.reserve(size_t(N));
    for (int I = 0; I < N; ++I) Data.push_back(FControl->ItemData(I));
    if (FControl->HandleAllocated())
        FControl->Send(FControl->FMessages.ResetContent);
    else
        FControl->FSaved.clear();
    for (LRESULT D : Data) FControl->ItemDataFreed(D);
}

int TListControlItems::IndexOf(const std::string& Value) const {
    if (FControl->HandleAllocated()) {
        const LRESULT Found = FControl->Send(FControl->FMessages.FindStringExact, WPARAM(-1),
                                             reinterpret_cast<LPARAM>(Value.c_str()));
        return Found < 0 ? -1 : int(Found);
    }
    const auto& Saved = FControl->FSaved;
    for (size_t I = 0; I < Saved.size(); ++I)
        if (ItemTextEquals(Saved[I].Text, Value)) return int(I);
    return -1;
}

void TListControlItems::SetUpdateState(bool Updating) {
    if (FControl->HandleAllocated()) FControl->Send(WM_SETREDRAW, Updating ? FALSE : TRUE);
}

// ---- the control ----------------------------------------------------------------------------

TCustomListControl::TCustomListControl(TComponent* AOwner, const TListMessages& Messages)
    : TWinControl(AOwner),
      FMessages(Messages),
      FItems(std::make_unique<TListControlItems>(this)),
      FCanvas(this) {}

TCustomListControl::~TCustomListControl() = default;

LRESULT TCustomListControl::Send(UINT Msg, WPARAM WParam, LPARAM LParam) {
    return ::SendMessage(Handle(), Msg, WParam, LParam);
}

int TCustomListControl::ItemCount() {
    return HandleAllocated() ? int(Send(FMessages.GetCount)) : int(FSaved.size());
}

std::string TCustomListControl::ItemText(int Index) {
    if (!HandleAllocated()) return FSaved.at(size_t(Index)).Text;
    const LRESULT Length = Send(FMessages.GetTextLen, WPARAM(Index));
    if (Length < 0) return {};
    std::string Text(size_t(Length) + 1, '\0');
    const LRESULT Got =
        Send(FMessages.GetText, WPARAM(Index), reinterpret_cast<LPARAM>(Text.data()));
    Text.resize(size_t(std::clamp<LRESULT>(Got, 0, Length)));
    return Text;
}

LRESULT TCustomListControl::ItemData(int Index) {
    if (!HandleAllocated()) return FSaved.at(size_t(Index)).Data;
    return Send(FMessages.GetItemData, WPARAM(Index));
}

void TCustomListControl::SetItemData(int Index, LRESULT Data) {
    if (HandleAllocated())
        Send(FMessages.SetItemData, WPARAM(Index), Data);
    else
        FSaved.at(size_t(Index)).Data = Data;
}

int TCustomListControl::InsertItem(int Index, const std::string& Text) {
    if (HandleAllocated()) {
        const auto Param = reinterpret_cast<LPARAM>(Text.c_str());
        const LRESULT At = Index < 0 ? Send(FMessages.AddString, 0, Param)
                                     : Send(FMessages.InsertString, WPARAM(Index), Param);
        if (At < 0) InsertError();
        return int(At);
    }
    // Kept as the window would keep it: up to the first NUL, cut at the item limit.
    if (FSaved.size() >= size_t(ControlsLimits::kMaxListItems)) InsertError();
    TSavedItem Item;
    Item.Text = ItemTextFrom(Text.c_str());
    auto At = FSaved.end();
    if (Index >= 0)
        At = FSaved.begin() + std::min<size_t>(size_t(Index), FSaved.size());
    else if (FSorted)
        At = std::upper_bound(FSaved.begin(), FSaved.end(), Item,
                              [](const TSavedItem& A, const TSavedItem& B) {
                                  return CompareItemTexts(A.Text, B.Text) < 0;
                              });
    const auto Inserted = FSaved.insert(At, std::move(Item));
    return int(Inserted - FSaved.begin());
}

void TCustomListControl::RemoveItem(int Index) {
    if (HandleAllocated())
        Send(FMessages.DeleteString, WPARAM(Index));
    else
        FSaved.erase(FSaved.begin() + Index);
}

bool TCustomListControl::ItemSelected(int Index) {
    return HandleAllocated() ? WindowSelected(Index) : SavedSelected(Index);
}

void TCustomListControl::SelectItem(int Index) {
    if (HandleAllocated())
        SetWindowSelected(Index);
    else
        SetSavedSelected(Index, true);
}

bool TCustomListControl::SavedSelected(int Index) const {
    return FSaved.at(size_t(Index)).Selected;
}

void TCustomListControl::SetSavedSelected(int Index, bool Value) {
    FSaved.at(size_t(Index)).Selected = Value;
}

int TCustomListControl::WindowItemIndex() {
    return int(Send(FMessages.GetCurSel));
}

void TCustomListControl::SetWindowItemIndex(int Value) {
    Send(FMessages.SetCurSel, WPARAM(Value));
}

int TCustomListControl::ItemIndex() {
    if (FItemIndexLoaded) return FLoadedItemIndex;
    if (HandleAllocated()) return WindowItemIndex();
    const auto It =
        std::find_if(FSaved.begin(), FSaved.end(), [](const TSavedItem& I) { return I.Current; });
    return It == FSaved.end() ? -1 : int(It - FSaved.begin());
}

void TCustomListControl::SetItemIndex(int Value) {
    // A definition may name the current item before it lists the items.
    if (ComponentState().Contains(csLoading)) {
        FLoadedItemIndex = Value;
        FItemIndexLoaded = true;
        return;
    }
    if (HandleAllocated()) {
        SetWindowItemIndex(Value);
        return;
    }
    for (size_t I = 0; I < FSaved.size(); ++I) FSaved[I].Current = int(I) == Value;
}

void TCustomListControl::Loaded() {
    TWinControl::Loaded();
    if (FItemIndexLoaded) {
        FItemIndexLoaded = false;
        SetItemIndex(FLoadedItemIndex);
    }
}

void TCustomListControl::SetSorted(bool Value) {
    if (FSorted == Value) return;
    FSorted = Value;
    if (HandleAllocated())
        RecreateWnd();
    else
        SortSaved();
}

void TCustomListControl::SortSaved() {
    if (FSorted)
        std::stable_sort(FSaved.begin(), FSaved.end(),
                         [](const TSavedItem& A, const TSavedItem& B) {
                             return CompareItemTexts(A.Text, B.Text) < 0;
                         });
}

// ---- the window going and coming ------------------------------------------------------------

void TCustomListControl::CreateWnd() {
    TWinControl::CreateWnd();
    RestoreItems();
    ItemsRestored();
}

void TCustomListControl::DestroyWnd() {
    SaveItems();
    TWinControl::DestroyWnd();
}

void TCustomListControl::SaveItems() {
    const int Count = ItemCount();
    const int Current = WindowItemIndex();
    std::vector<TSavedItem> Saved;
    Saved.reserve(size_t(std::max(Count, 0)));
    for (int I = 0; I < Count; ++I)
        Saved.push_back(TSavedItem{ItemText(I), ItemData(I), WindowSelected(I), I == Current});
    FSaved = std::move(Saved);
}

void TCustomListControl::RestoreItems() {
    std::vector<TSavedItem> Saved = std::move(FSaved);
    FSaved.clear();
    if (Saved.empty()) return;
    // In the window's own order, a sorted window appends each item: the indexes stay as given.
    if (FSorted)
        std::stable_sort(Saved.begin(), Saved.end(), [](const TSavedItem& A, const TSavedItem& B) {
            return CompareItemTexts(A.Text, B.Text) < 0;
        });
    Send(WM_SETREDRAW, FALSE);
    int Current = -1;
    for (const TSavedItem& Item : Saved) {
        const LRESULT At =
            Send(FMessages.AddString, 0, reinterpret_cast<LPARAM>(Item.Text.c_str()));
        if (At < 0) break;
        Send(FMessages.SetItemData, WPARAM(At), Item.Data);
        if (Item.Selected) SetWindowSelected(int(At));
        if (Item.Current) Current = int(At);
    }
    if (Current >= 0) SetWindowItemIndex(Current);
    Send(WM_SETREDRAW, TRUE);
}

// ---- drawing --------------------------------------------------------------------------------

void TCustomListControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_DRAWITEM:
            DrawItemMessage(*reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam));
            Message.Result = TRUE;
            return;
        case CN_MEASUREITEM:
            MeasureItemMessage(*reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam));
            Message.Result = TRUE;
            return;
        default:
            TWinControl::Dispatch(Message);
    }
}

void TCustomListControl::DrawItemMessage(DRAWITEMSTRUCT& Draw) {
    const TOwnerDrawState State = OwnerDrawStateOf(Draw.itemState);
    TItemCanvas::TLent Lent(FCanvas, Draw.hDC, Color());
    const int Index = int(Draw.itemID);
    if (Index >= 0 && State.Contains(odSelected)) {
        FCanvas.Brush().SetColor(clHighlight);
        FCanvas.Font().SetColor(clHighlightText);
    }
    const TRect R = ToTRect(Draw.rcItem);
    if (Index >= 0)
        DrawItem(Index, R, State);
    else
        FCanvas.FillRect(R);
    if (State.Contains(odFocused) && !State.Contains(odNoFocusRect))
        ::DrawFocusRect(Draw.hDC, &Draw.rcItem);
}

void TCustomListControl::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    FCanvas.FillRect(Rect);
    if (Index < ItemCount()) FCanvas.TextOut(Rect.Left + 2, Rect.Top, ItemText(Index));
}

void TCustomListControl::MeasureItemMessage(MEASUREITEMSTRUCT& Measure) {
    int Height = FItemHeight;
    if (VariableHeight()) MeasureItem(int(Measure.itemID), Height);
    Measure.itemHeight = UINT(std::max(Height, 1));
}

void TCustomListControl::MeasureItem(int Index, int& Height) {
    if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

#include "components/dcedit/DCListBox.h"

#include <algorithm>

#include "components/dcedit/ColumnText.h"
#include "platform/controls/ListBox.h"

namespace {

// Room kept free at both ends of a column's rectangle.
constexpr int kColumnInset = 2;

}  // namespace

// ---- columns ----------------------------------------------------------------------------------

void TDCListBoxColumn::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Changed(false);
}

void TDCListBoxColumn::SetColumnSize(int Value) {
    Value = std::max(Value, 0);
    if (FColumnSize == Value) return;
    FColumnSize = Value;
    Changed(false);
}

void TDCListBoxColumn::Assign(const TPersistent* Source) {
    if (const auto* Other = dynamic_cast<const TDCListBoxColumn*>(Source)) {
        FAlignment = Other->FAlignment;
        FColumnSize = Other->FColumnSize;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

TDCListBoxColumns::TDCListBoxColumns(TDCListBox* ListBox)
    : TCollection(ItemClassOf<TDCListBoxColumn>(), ListBox), FListBox(ListBox) {}

void TDCListBoxColumns::Update(TCollectionItem*) {
    FListBox->Invalidate();
}

// ---- the list ---------------------------------------------------------------------------------

TDCListBox::TDCListBox(TComponent* AOwner)
    : TCustomListBox(AOwner), FColumns(std::make_unique<TDCListBoxColumns>(this)) {
    FBoldFont.Assign(FFont);
    FBoldFont.SetStyle({fsBold});
    SetStyle(lbOwnerDrawFixed);
}

TDCListBox::~TDCListBox() = default;

void TDCListBox::SetOwnerDrawColumns(bool Value) {
    if (FOwnerDrawColumns == Value) return;
    FOwnerDrawColumns = Value;
    SetStyle(Value ? lbOwnerDrawFixed : lbStandard);
}

void TDCListBox::CreateWnd() {
    TCustomListBox::CreateWnd();
    // The window asks its parent to measure the items; a list that is a window of its own (a
    // popup) has no parent that would answer, so it is told.
    if (Style() == lbOwnerDrawFixed)
        ::SendMessage(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(FItemHeight, 0));
}

int TDCListBox::AutoColumnWidth(int Column) const {
    if (Column < 0 || Column >= int(FAutoWidths.size())) return 0;
    // Room for the insets too (and the pixel a right-aligned column keeps), or the widest text
    // of every column would end in "...".
    return FAutoWidths[size_t(Column)] + 2 * kColumnInset + 1;
}

int TDCListBox::ColumnWidth(int Index) const {
    const int Size = Index < FColumns->Count() ? FColumns->Items(Index)->ColumnSize() : 0;
    return Size > 0 ? Size : AutoColumnWidth(Index);
}

void TDCListBox::FitColumns(const std::string& Item) {
    const HDC DC = Canvas()->Handle();
    const std::vector<std::string> Columns = SplitColumns(Item);
    if (FAutoWidths.size() < Columns.size()) FAutoWidths.resize(Columns.size(), 0);
    for (size_t I = 0; I < Columns.size(); ++I) {
        const TMarkedText Text = SplitMarked(Columns[I] + ' ');
        const int Width = MarkedTextExtent(DC, Text, FFont.Handle(), FBoldFont.Handle()).cx;
        FAutoWidths[I] = std::max(FAutoWidths[I], Width);
    }
}

void TDCListBox::MeasureColumns() {
    FAutoWidths.clear();
    for (int I = 0; I < Items()->Count(); ++I) FitColumns(Items()->Get(I));
}

void TDCListBox::ItemsChanged(UINT Msg, LPARAM Text) {
    if (FRedrawLocked) return;
    if (Msg == LB_ADDSTRING || Msg == LB_INSERTSTRING) {
        // An item added can only widen the columns.
        if (Text) FitColumns(reinterpret_cast<const char*>(Text));
        return;
    }
    MeasureColumns();
}

void TDCListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case LB_ADDSTRING:
        case LB_INSERTSTRING:
        case LB_DELETESTRING:
        case LB_RESETCONTENT:
            TCustomListBox::Dispatch(Message);
            if (Message.Result >= 0) ItemsChanged(Message.Msg, Message.LParam);
            return;
        case WM_SETREDRAW:
            TCustomListBox::Dispatch(Message);
            FRedrawLocked = Message.WParam == FALSE;
            if (!FRedrawLocked) MeasureColumns();
            return;
        case CM_FONTCHANGED:
            FBoldFont.Assign(FFont);
            FBoldFont.SetStyle({fsBold});
            TCustomListBox::Dispatch(Message);
            MeasureColumns();
            return;
        default:
            TCustomListBox::Dispatch(Message);
    }
}

void TDCListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (!FOwnerDrawColumns || OnDrawItem) {
        TCustomListBox::DrawItem(Index, Rect, State);
        return;
    }
    TCanvas& C = *Canvas();
    C.FillRect(Rect);
    const HDC DC = C.Handle();
    SetTextColor(DC, ColorToRGB(C.Font().Color()));
    const std::vector<std::string> Columns = SplitColumns(Items()->Get(Index));
    int Left = Rect.Left;
    for (size_t I = 0; I < Columns.size() && Left < Rect.Right; ++I) {
        const int Column = int(I);
        const TAlignment Alignment =
            Column < FColumns->Count() ? FColumns->Items(Column)->Alignment() : taLeftJustify;
        const int Width = ColumnWidth(Column);
        RECT R{Left + kColumnInset, Rect.Top, Left + Width - kColumnInset, Rect.Bottom};
        if (Alignment == taRightJustify) --R.right;
        DrawMarkedText(DC, R, SplitMarked(Columns[I]), FFont.Handle(), FBoldFont.Handle(),
                       Alignment);
        Left += Width;
    }
}

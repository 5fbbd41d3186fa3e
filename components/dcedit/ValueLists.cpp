#include "components/dcedit/ValueLists.h"

#include "components/dcedit/ValueTexts.h"
#include "platform/controls/ListBox.h"

namespace {

constexpr int kSwatchListWidth = 42;

}  // namespace

TValueListBox::TValueListBox(TComponent* AOwner, std::string Value, bool DisplayNames)
    : TPopupListBox(AOwner), FValue(std::move(Value)) {
    FDisplayNames = DisplayNames;
}

void TValueListBox::AfterHandleCreated() {
    // The items stay with the control when its window is made again.
    if (Items()->Count() == 0) FillItems();
}

int TValueListBox::IndexOfValue(const std::string& Text) {
    for (int I = 0; I < Items()->Count(); ++I)
        if (SameText(ValueOfItem(I), Text)) return I;
    return -1;
}

void TValueListBox::SetPopupText(const std::string& Text) {
    TPopupListBox::SetPopupText(Text);
    const int NameWidth = FDisplayNames ? Canvas()->TextWidth(LongestName()) : 0;
    SetWidth(kSwatchListWidth + NameWidth);
    SetItemIndex(IndexOfValue(FValue));
    if (const int Index = IndexOfValue(Text); Index >= 0) SetItemIndex(Index);
}

std::string TValueListBox::PopupText() {
    const int Index = ItemIndex();
    if (Index < 0) return std::string();
    FValue = ValueOfItem(Index);
    return FValue;
}

void TValueListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState) {
    TCanvas& C = *Canvas();
    C.FillRect(Rect);
    DrawValue(C, Rect, FDisplayNames ? Items()->Get(Index) : std::string(), SwatchOf(Index));
}

void TValueListBox::Click() {
    if (ItemIndex() >= 0) FValue = ValueOfItem(ItemIndex());
    TPopupListBox::Click();
}

// ---- colours ----------------------------------------------------------------------------------

TPopupColorBox::TPopupColorBox(TComponent* AOwner)
    : TValueListBox(AOwner, ColorText(clBlack), true) {}

void TPopupColorBox::FillItems() {
    for (TColor Color : ListedColors())
        Items()->AddObject(ColorText(Color), reinterpret_cast<void*>(intptr_t(Color)));
}

TSwatchPainter TPopupColorBox::SwatchOf(int Index) {
    return ColorSwatch(TColor(reinterpret_cast<intptr_t>(Items()->GetObject(Index))));
}

// ---- brush styles -----------------------------------------------------------------------------

TPopupBrushBox::TPopupBrushBox(TComponent* AOwner)
    : TValueListBox(AOwner, BrushStyleText(bsSolid), true) {
    FBrush.SetColor(clBlack);
}

void TPopupBrushBox::FillItems() {
    for (const char* Name : BrushStyleNames()) Items()->Add(Name);
}

std::string TPopupBrushBox::ValueOfItem(int Index) {
    return kBrushStylePrefix + Items()->Get(Index);
}

TSwatchPainter TPopupBrushBox::SwatchOf(int Index) {
    return BrushSwatch(BrushStyleFromText(ValueOfItem(Index)));
}

// ---- pen styles -------------------------------------------------------------------------------

TPopupPenBox::TPopupPenBox(TComponent* AOwner)
    : TValueListBox(AOwner, PenStyleText(psSolid), false) {}

void TPopupPenBox::FillItems() {
    for (const char* Name : PenStyleNames()) Items()->Add(Name);
}

TSwatchPainter TPopupPenBox::SwatchOf(int Index) {
    return PenSwatch(PenStyleFromText(Items()->Get(Index)));
}

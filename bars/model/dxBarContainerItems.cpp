#include "bars/model/dxBarContainerItems.h"

#include <algorithm>

#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarViews.h"

// ---- containers -------------------------------------------------------------------------------

void TCustomdxBarContainerItem::BeforeDestruction() {
    if (FStale) ClearListedItems();
    TCustomdxBarSubItem::BeforeDestruction();
}

void TCustomdxBarContainerItem::PrepareExpansion(bool FireGetData) {
    if (FStale) ClearListedItems();
    if (FireGetData && OnGetData) OnGetData(this);
}

void TdxBarContainerItem::AddListedItemLinks(TdxBarItemLinks* Target, int Index,
                                             TdxBarItemLink* OwnerLink, bool FireGetData) {
    PrepareExpansion(FireGetData);
    for (int I = 0; I < ItemLinks()->Count(); ++I) {
        TdxBarItemLink* Source = ItemLinks()->Items(I);
        TdxBarItemLink* Copy = Target->Insert(Index + I);
        Copy->Assign(Source);
        if (I == 0 && FirstLinkBeginsGroup()) Copy->SetBeginGroup(true);
        Copy->SetOwnerLink(OwnerLink);
        Copy->SetOriginalLink(Source);
        Copy->CopyUsage(Source);
    }
}

void TdxBarContainerItem::DeleteListedItemLinks(TdxBarItemLinks* Target, int Index) {
    for (int I = 0; I < ItemLinks()->Count() && Index < Target->Count(); ++I) Target->Delete(Index);
}

// ---- list items -------------------------------------------------------------------------------

TdxBarListItem::TdxBarListItem(TComponent* AOwner) : TCustomdxBarContainerItem(AOwner) {}

void TdxBarListItem::BeforeDestruction() {
    // The buttons are the form's: they go now, linked or not.
    FreeButtons();
    TCustomdxBarContainerItem::BeforeDestruction();
}

void TdxBarListItem::FreeButtons() {
    // Taken out first: each one freed tells Notification.
    std::vector<TdxBarButton*> Buttons;
    Buttons.swap(FButtons);
    for (TdxBarButton* Button : Buttons) Button->Free();
}

void TdxBarListItem::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomdxBarContainerItem::Notification(AComponent, Operation);
    if (Operation == opRemove)
        FButtons.erase(std::remove(FButtons.begin(), FButtons.end(), AComponent), FButtons.end());
}

int TdxBarListItem::NonSeparatorCount() const {
    int Count = 0;
    for (int I = 0; I < FItems.Count(); ++I)
        if (FItems[I] != "-") ++Count;
    return Count;
}

int TdxBarListItem::DataIndex() const {
    int Position = 0;
    for (int I = 0; I < FItems.Count(); ++I) {
        if (FItems[I] == "-") continue;
        if (I == FItemIndex) return Position;
        ++Position;
    }
    return -1;
}

void TdxBarListItem::SetDataIndex(int Value) {
    int Position = 0;
    for (int I = 0; I < FItems.Count(); ++I) {
        if (FItems[I] == "-") continue;
        if (Position++ == Value) {
            FItemIndex = I;
            return;
        }
    }
    // No entry at that position: nothing is selected (rather than an index past the list).
    FItemIndex = -1;
}

void TdxBarListItem::GetDisplayText(int Entry, std::string& Text) const {
    Text = Entry >= 0 && Entry < FItems.Count() ? FItems[Entry] : std::string();
}

std::string TdxBarListItem::CaptionOf(int K, const std::string& Text) const {
    if (!ShowNumbers) return Text;
    const std::string Number = K < 9 ? std::to_string(K + 1) : std::string(1, char(56 + K));
    return "&" + Number + " " + Text;
}

void TdxBarListItem::DirectClick() {
    for (int I = 0; I < LinkCount(); ++I)
        if (dxBarViews().ControlState(Links(I)).SubMenuOpen) return;
    TCustomdxBarContainerItem::DirectClick();
}

void TdxBarListItem::AddListedItemLinks(TdxBarItemLinks* Target, int Index,
                                        TdxBarItemLink* OwnerLink, bool FireGetData) {
    PrepareExpansion(FireGetData);
    const bool Make = FButtons.empty();
    int K = 0;
    bool AfterSeparator = false;
    for (int Entry = 0; Entry < FItems.Count(); ++Entry) {
        if (FItems[Entry] == "-") {
            AfterSeparator = true;
            continue;
        }
        if (Make) {
            auto* Button = new TdxBarButton(Owner());
            std::string Text;
            GetDisplayText(Entry, Text);
            Button->SetCaption(CaptionOf(K, Text));
            Button->SetTag(Entry);
            if (ShowCheck) {
                Button->SetButtonStyle(bsChecked);
                Button->SetDown(Entry == FItemIndex);
            }
            Button->SetEnabled(Enabled());
            Button->OnClick = [this](TObject* Sender) {
                FItemIndex = static_cast<TdxBarButton*>(Sender)->Tag();
                DirectClick();
            };
            Button->FreeNotification(this);
            FButtons.push_back(Button);
        }
        if (K >= int(FButtons.size())) break;
        TdxBarItemLink* Link = Target->Insert(Index + K);
        Link->SetItem(FButtons[size_t(K)]);
        if (K == 0 || AfterSeparator) Link->SetBeginGroup(true);
        Link->SetOwnerLink(OwnerLink);
        // A click counts for the list item's own link, which outlives the menu it was made for.
        Link->SetOriginalLink(OwnerLink);
        AfterSeparator = false;
        ++K;
    }
}

void TdxBarListItem::DeleteListedItemLinks(TdxBarItemLinks* Target, int Index) {
    for (int I = 0; I < NonSeparatorCount() && Index < Target->Count(); ++I) Target->Delete(Index);
}

void TdxBarListItem::ClearListedItems() {
    for (TdxBarButton* Button : FButtons)
        if (Button->LinkCount() > 0) return;
    FreeButtons();
    TCustomdxBarContainerItem::ClearListedItems();
}

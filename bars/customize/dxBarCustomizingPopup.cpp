#include "bars/customize/dxBarCustomizingPopup.h"

#include "bars/customize/dxBarCustomizeEntry.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarStrings.h"
#include "bars/model/dxBarWindowItems.h"
#include "bars/windows/dxBarItemControls.h"
#include "platform/shell/Dialogs.h"
#include "platform/widgets/Forms.h"

namespace {

// The four paint-style entries share one radio group of their own.
constexpr int kStyleGroup = -1000;

// The paint style each style entry stands for, from ceDefaultStyle on.
constexpr TdxBarPaintStyle kEntryStyles[] = {psStandard, psCaption, psCaptionInMenu,
                                             psCaptionGlyph};

bool IsStyleEntry(int Index) {
    return Index >= ceDefaultStyle && Index <= ceImageAndText;
}

struct TCustomizingState {
    TdxBarItemLink* Link = nullptr;
    TdxBarCustomizingPopup* Shown = nullptr;
};

TCustomizingState& State() {
    static TCustomizingState S;
    return S;
}

// A non-empty name becomes the link's caption; an empty one is refused with a message.
void Rename(TdxBarEdit* Edit) {
    TdxBarItemLink* Link = State().Link;
    if (!Link) return;
    if (!Edit->Text().empty()) {
        Link->SetUserCaption(Edit->Text());
        return;
    }
    if (TdxBarCustomizingPopup* Shown = State().Shown) Shown->HideAll();
    MessageBox(dxBarString(kdxBarBlankName), Forms.Title(), MB_OK | MB_ICONERROR);
}

// When the menu closes outside customizing mode, the link's bar window shows no selection on it
// any more.
void ClearStaleSelection() {
    TdxBarItemLink* Link = State().Link;
    TdxBarManager* Manager = Link ? Link->BarManager() : nullptr;
    TdxBarItemControl* Control = Link ? Link->Control() : nullptr;
    if (!Manager || Manager->IsCustomizing() || !Control) return;
    TCustomdxBarControl* Window = Control->Parent();
    if (BarWindowGone(Window) || Window->SelectedControl() != Control) return;
    Manager->SetCustomizingSelection(nullptr);
    Window->SetKeySelectedControl(nullptr);
}

void EntryClick(TObject* Sender) {
    TdxBarItemLink* Link = State().Link;
    auto* Item = dynamic_cast<TdxBarItem*>(Sender);
    if (!Link || !Item) return;
    const int Index = Item->Tag();
    if (IsStyleEntry(Index)) {
        Link->SetUserPaintStyle(kEntryStyles[Index - ceDefaultStyle]);
        return;
    }
    switch (Index) {
        case ceReset:
            Link->SetUserDefine(TdxBarUserDefines{});
            return;
        case ceDelete:
            State().Link = nullptr;
            delete Link;
            return;
        case ceBeginGroup:
            Link->SetBeginGroup(!Link->BeginGroup());
            return;
        default:
            return;
    }
}

}  // namespace

TdxBarItemLink* CurrentCustomizingLink() {
    return State().Link;
}

TdxBarCustomizingPopup* ShownCustomizingPopup() {
    return State().Shown;
}

void CustomizingLinkDestroyed(TdxBarItemLink* Link) {
    if (State().Link == Link) State().Link = nullptr;
}

TdxBarCustomizingPopup::TdxBarCustomizingPopup(TdxBarManager* Manager)
    : TdxBarOwnLinksPopup(Manager) {
    for (int I = 0; I < ceEntryCount; ++I) {
        TdxBarItem* Item = nullptr;
        if (I == ceName) {
            Item = new TdxBarEdit(Manager->OwnerForm());
        } else {
            auto* Button = new TdxBarButton(Manager->OwnerForm());
            if (I >= ceDefaultStyle) Button->SetButtonStyle(bsChecked);
            if (IsStyleEntry(I)) Button->SetGroupIndex(kStyleGroup);
            Item = Button;
        }
        TdxBarItem::AddTemporaryItem(Item);
        Item->SetCaption(dxBarString(kdxBarCustomizingPopupFirst + I));
        Item->SetTag(I);
        Item->OnClick = EntryClick;
        FEntries[I] = Item;
        TdxBarItemLink* Link = OwnLinks()->Add();
        Link->SetItem(Item);
        Link->SetBeginGroup(I == ceName || I == ceDefaultStyle || I == ceBeginGroup);
    }
    OnCloseUp = [this](TObject*) {
        ClearStaleSelection();
        if (State().Shown == this) State().Shown = nullptr;
    };
    Manager->DoShowCustomizingPopup(OwnLinks());
}

TdxBarCustomizingPopup::~TdxBarCustomizingPopup() {
    if (State().Shown == this) State().Shown = nullptr;
}

TdxBarEdit* TdxBarCustomizingPopup::NameEdit() const {
    return dynamic_cast<TdxBarEdit*>(FEntries[ceName]);
}

void TdxBarCustomizingPopup::InitFor(TdxBarItemLink* Link) {
    RegisterdxBarCustomizing();
    State().Link = Link;
    if (TdxBarEdit* Edit = NameEdit()) {
        Edit->OnChange = nullptr;
        Edit->SetText(Link->Caption());
        Edit->OnChange = [Edit](TObject*) { Rename(Edit); };
    }
    // Only buttons have a paint style; any other item shows the default one, unchangeable.
    const bool Styles = dynamic_cast<TdxBarButton*>(Link->Item()) != nullptr;
    int Down = ceDefaultStyle;
    for (int I = ceDefaultStyle; I <= ceImageAndText; ++I) {
        FEntries[I]->SetEnabled(Styles);
        if (Styles && Link->PaintStyle() == kEntryStyles[I - ceDefaultStyle]) Down = I;
    }
    static_cast<TdxBarButton*>(FEntries[Down])->SetDown(true);
    auto* Group = static_cast<TdxBarButton*>(FEntries[ceBeginGroup]);
    Group->SetEnabled(Link->Index() > 0);
    Group->SetDown(Link->BeginGroup());
}

void ShowCustomizingPopup(TdxBarItemLink* Link, TPoint ScreenPoint) {
    RegisterdxBarCustomizing();
    TdxBarManager* Manager = Link ? Link->BarManager() : nullptr;
    if (!Manager) return;
    if (TdxBarCustomizingPopup* Open = State().Shown) {
        State().Shown = nullptr;
        Open->HideAll();
    }
    auto* Popup = new TdxBarCustomizingPopup(Manager);
    Popup->InitFor(Link);
    State().Shown = Popup;
    Popup->SetRequestedPos(ScreenPoint);
    Popup->Show();
}

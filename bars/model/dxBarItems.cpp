#include "bars/model/dxBarItems.h"

#include <algorithm>
#include <utility>

#include "bars/model/dxBarCustomizing.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarViews.h"
#include "bars/model/dxBars.h"
#include "platform/classes/Mnemonics.h"
#include "platform/forms/Filer.h"
#include "platform/widgets/Forms.h"

namespace {

std::vector<TdxBarItem*>& TemporaryItems() {
    static auto* Items = new std::vector<TdxBarItem*>;
    return *Items;
}

std::vector<TdxBarItemClassInfo>& ItemClasses() {
    static auto* Classes = new std::vector<TdxBarItemClassInfo>;
    return *Classes;
}

// The short part of a hint ("short|long").
std::string ShortPart(const std::string& Hint) {
    const auto Bar = Hint.find('|');
    return Bar == std::string::npos ? Hint : Hint.substr(0, Bar);
}

// A caption without its first "&" and then its first "..." (the hint's text, not the shown one).
std::string PlainCaption(std::string Caption) {
    if (auto At = Caption.find('&'); At != std::string::npos) Caption.erase(At, 1);
    if (auto At = Caption.find("..."); At != std::string::npos) Caption.erase(At, 3);
    return Caption;
}

}  // namespace

// ---- the action link ----------------------------------------------------------------------------

bool TdxBarItemActionLink::IsCaptionLinked() const {
    return TActionLink::IsCaptionLinked() && FClient->Caption() == CustomAction()->Caption();
}

bool TdxBarItemActionLink::IsCheckedLinked() const {
    auto* Button = dynamic_cast<TdxBarButton*>(FClient);
    return TActionLink::IsCheckedLinked() && Button && Button->Down() == CustomAction()->Checked();
}

bool TdxBarItemActionLink::IsEnabledLinked() const {
    return TActionLink::IsEnabledLinked() && FClient->Enabled() == CustomAction()->Enabled();
}

bool TdxBarItemActionLink::IsHelpContextLinked() const {
    return TActionLink::IsHelpContextLinked() &&
           FClient->HelpContext() == CustomAction()->HelpContext();
}

bool TdxBarItemActionLink::IsHintLinked() const {
    return TActionLink::IsHintLinked() && FClient->Hint() == CustomAction()->Hint();
}

bool TdxBarItemActionLink::IsImageIndexLinked() const {
    return TActionLink::IsImageIndexLinked() &&
           FClient->ImageIndex() == CustomAction()->ImageIndex();
}

bool TdxBarItemActionLink::IsShortCutLinked() const {
    return TActionLink::IsShortCutLinked() && FClient->ShortCut() == CustomAction()->ShortCut();
}

bool TdxBarItemActionLink::IsVisibleLinked() const {
    const TdxBarItemVisible Mapped =
        CustomAction() && CustomAction()->Visible() ? ivAlways : ivNever;
    return TActionLink::IsVisibleLinked() && FClient->Visible() == Mapped;
}

// Handlers cannot be compared, so an item runs the action whenever it has no OnClick of its own.
bool TdxBarItemActionLink::IsOnExecuteLinked() const {
    return TActionLink::IsOnExecuteLinked() && !FClient->OnClick;
}

void TdxBarItemActionLink::SetCaption(const std::string& Value) {
    if (IsCaptionLinked()) FClient->SetCaption(Value);
}

void TdxBarItemActionLink::SetChecked(bool Value) {
    if (IsCheckedLinked()) static_cast<TdxBarButton*>(FClient)->SetDown(Value);
}

void TdxBarItemActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked()) FClient->SetEnabled(Value);
}

void TdxBarItemActionLink::SetHelpContext(int Value) {
    if (IsHelpContextLinked()) FClient->SetHelpContext(Value);
}

void TdxBarItemActionLink::SetHint(const std::string& Value) {
    if (IsHintLinked()) FClient->SetHint(Value);
}

void TdxBarItemActionLink::SetImageIndex(int Value) {
    if (IsImageIndexLinked()) FClient->SetImageIndex(Value);
}

void TdxBarItemActionLink::SetShortCut(TShortCut Value) {
    if (IsShortCutLinked()) FClient->SetShortCut(Value);
}

void TdxBarItemActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked()) FClient->SetVisible(Value ? ivAlways : ivNever);
}

void TdxBarItemActionLink::SetOnExecute(const TNotifyEvent&) {}

// ---- life ---------------------------------------------------------------------------------------

TdxBarItem::TdxBarItem(TComponent* AOwner) : TComponent(AOwner) {
    TdxBarManager* Manager = BarManagerOfForm(dynamic_cast<TCustomForm*>(AOwner));
    if (!Manager && TdxBarManagerList::Instance().Count() > 0)
        Manager = TdxBarManagerList::Instance().Items(0);
    if (Manager) {
        FBarManager = Manager;
        Manager->AddItem(this);
    }
    FGlyph.OnChange = [this](TGraphic*) { GlyphChanged(); };
}

TdxBarItem::~TdxBarItem() {
    if (!ComponentState().Contains(csDestroying)) TdxBarItem::BeforeDestruction();
}

void TdxBarItem::BeforeDestruction() {
    if (!ComponentState().Contains(csDestroying)) Destroying();
    if (FAliveWhileClicking) *std::exchange(FAliveWhileClicking, nullptr) = false;
    if (OnDestroy) {
        TNotifyEvent Handler = std::move(OnDestroy);
        OnDestroy = nullptr;
        Handler(this);
    }
    auto& Temporary = TemporaryItems();
    Temporary.erase(std::remove(Temporary.begin(), Temporary.end(), this), Temporary.end());
    while (!FLinks.empty()) delete FLinks.back();
    if (FBarManager) {
        FBarManager->RemoveItem(this);
        // The dialog's command list no longer shows the item.
        if (FBarManager->IsCustomizing() && Category() >= 0) dxBarCustomizing().ItemsChanged();
    }
    FBarManager = nullptr;
    FActionLink.reset();
    TComponent::BeforeDestruction();
}

void TdxBarItem::SetBarManager(TdxBarManager* Value) {
    if (FBarManager == Value) return;
    if (FBarManager) {
        FBarManager->RemoveItem(this);
        // The dialog's command list no longer shows the item.
        if (FBarManager->IsCustomizing() && Category() >= 0) dxBarCustomizing().ItemsChanged();
    }
    FBarManager = Value;
    if (FBarManager) FBarManager->AddItem(this);
    BarManagerChanged();
}

TComponent* TdxBarItem::GetParentComponent() const {
    return FBarManager;
}

bool TdxBarItem::HasParent() const {
    return true;
}

void TdxBarItem::SetParentComponent(TComponent* Value) {
    if (IsLoading()) return;
    if (auto* Manager = dynamic_cast<TdxBarManager*>(Value)) SetBarManager(Manager);
}

void TdxBarItem::ReadState(TReader& Reader) {
    if (auto* Manager = dynamic_cast<TdxBarManager*>(Reader.Parent())) SetBarManager(Manager);
    TComponent::ReadState(Reader);
}

void TdxBarItem::SetName(const std::string& NewName) {
    TComponent::SetName(NewName);
    dxBarCustomizing().ItemsChanged();
}

void TdxBarItem::Loaded() {
    TComponent::Loaded();
    if (TBasicAction* A = Action()) ActionChange(A, true);
}

void TdxBarItem::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && FActionLink && AComponent == FActionLink->Action())
        FActionLink.reset();
}

// ---- properties ---------------------------------------------------------------------------------

void TdxBarItem::SetAlign(TdxBarItemAlign Value) {
    if (FAlign == Value) return;
    FAlign = Value;
    if (IsLoading()) return;
    for (TdxBarItemLink* Link : FLinks) dxBarViews().ItemChanged(Link, TdxBarItemChange::Layout);
}

void TdxBarItem::SetCaption(const std::string& Value) {
    if (FCaption == Value) return;
    const std::string OldPlain = PlainCaption(FCaption);
    const bool HintFollows = !dynamic_cast<TCustomdxBarSubItem*>(this) &&
                             (FHint.empty() || ShortPart(FHint) == OldPlain);
    FCaption = Value;
    if (IsLoading()) return;
    if (HintFollows) {
        const auto Bar = FHint.find('|');
        const std::string NewPlain = PlainCaption(Value);
        FHint = Bar == std::string::npos ? NewPlain : NewPlain + FHint.substr(Bar);
    }
    CaptionChanged();
}

void TdxBarItem::SetCategory(int Value) {
    if (FCategory == Value) return;
    if (!IsLoading()) {
        if (Value < 0 || !FBarManager || Value >= FBarManager->Categories()->Count()) return;
    }
    FCategory = Value;
    if (FBarManager && !IsLoading()) FBarManager->DesignerModified();
}

void TdxBarItem::SetDescription(const std::string& Value) {
    if (FDescription == Value) return;
    FDescription = Value;
    if (FBarManager) FBarManager->DesignerModified();
}

bool TdxBarItem::Enabled() const {
    if (FBarManager && FBarManager->IsCustomizing() && FCategory >= 0) return true;
    return FEnabled;
}

void TdxBarItem::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    if (!IsLoading()) EnabledChanged();
}

void TdxBarItem::SetVisible(TdxBarItemVisible Value) {
    if (IsLoading()) {
        FLoadedVisible = Value;
        return;
    }
    if (FVisible == Value) return;
    FVisible = Value;
    VisibleChanged();
}

void TdxBarItem::SetGlyph(const TBitmap* Value) {
    if (Value)
        FGlyph.Assign(*Value);
    else
        FGlyph.SetSize(0, 0);
}

void TdxBarItem::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    GlyphChanged();
}

void TdxBarItem::SetShortCut(TShortCut Value) {
    if (FShortCut == Value) return;
    FShortCut = Value;
    if (!IsLoading()) ShortCutChanged();
}

// ---- actions ------------------------------------------------------------------------------------

TBasicAction* TdxBarItem::Action() const {
    return FActionLink ? FActionLink->Action() : nullptr;
}

TdxBarItemActionLink* TdxBarItem::EnsureActionLink() {
    if (!FActionLink) FActionLink = std::make_unique<TdxBarItemActionLink>(this);
    return FActionLink.get();
}

void TdxBarItem::SetAction(TBasicAction* Value) {
    if (!Value) {
        FActionLink.reset();
        return;
    }
    TdxBarItemActionLink* Link = EnsureActionLink();
    Link->SetAction(Value);
    Link->OnChange = [this](TObject* Sender) { DoActionChange(Sender); };
    ActionChange(Value, Value->ComponentState().Contains(csLoading));
    Value->FreeNotification(this);
}

void TdxBarItem::DoActionChange(TObject* Sender) {
    if (FActionLink && Sender == FActionLink->Action()) ActionChange(FActionLink->Action(), false);
}

void TdxBarItem::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    auto* A = dynamic_cast<TCustomAction*>(Sender);
    if (!A) return;
    if (!CheckDefaults || FCaption.empty()) SetCaption(A->Caption());
    if (auto* Button = dynamic_cast<TdxBarButton*>(this);
        Button && (!CheckDefaults || !Button->Down()))
        Button->SetDown(A->Checked());
    if (!CheckDefaults || FEnabled) SetEnabled(A->Enabled());
    if (!CheckDefaults || FHelpContext == 0) FHelpContext = A->HelpContext();
    if (!CheckDefaults || FHint.empty()) FHint = A->Hint();
    if (!CheckDefaults || FImageIndex == -1) SetImageIndex(A->ImageIndex());
    if (!CheckDefaults || FShortCut == scNone) SetShortCut(A->ShortCut());
    if (!CheckDefaults || FVisible == ivAlways) SetVisible(A->Visible() ? ivAlways : ivNever);
}

// ---- clicks -------------------------------------------------------------------------------------

void TdxBarItem::Click() {
    if (IsClickable()) DirectClick();
}

bool TdxBarItem::ClickThrough(TdxBarItemLink* Link) {
    bool Alive = true;
    bool* const Outer = std::exchange(FAliveWhileClicking, &Alive);
    struct TEnd {
        TdxBarItem* Item;
        bool& Alive;
        bool* Outer;
        ~TEnd() {
            if (!Alive) {
                // The clicks that run around this one hear of it too.
                if (Outer) *Outer = false;
                return;
            }
            Item->FAliveWhileClicking = Outer;
            Item->SetClickItemLink(nullptr);
        }
    } End{this, Alive, Outer};
    SetClickItemLink(Link);
    DirectClick();
    return Alive;
}

void TdxBarItem::DirectClick() {
    if (!Enabled()) return;
    try {
        if (FBarManager) FBarManager->DoClickItem(this);
        DoClick();
    } catch (...) {
        Forms.HandleException(this);
    }
}

void TdxBarItem::DoClick() {
    if (OnClick) {
        OnClick(this);
    } else if (FActionLink && !ComponentState().Contains(csDesigning)) {
        FActionLink->Execute(this);
    }
}

// ---- links --------------------------------------------------------------------------------------

void TdxBarItem::AddLink(TdxBarItemLink* Link) {
    FLinks.push_back(Link);
}

void TdxBarItem::RemoveLink(TdxBarItemLink* Link) {
    FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), Link), FLinks.end());
}

TdxBarItemLink* TdxBarItem::Links(int Index) const {
    return Index >= 0 && Index < LinkCount() ? FLinks[size_t(Index)] : nullptr;
}

TdxBarItemLink* TdxBarItem::CurItemLink() const {
    for (TdxBarItemLink* Link : FLinks)
        if (dxBarViews().ControlState(Link).SubMenuOpen) return Link;
    return nullptr;
}

TdxBarItemLink* TdxBarItem::SelectedLink() const {
    for (TdxBarItemLink* Link : FLinks)
        if (dxBarViews().ControlState(Link).Selected) return Link;
    return nullptr;
}

int TdxBarItem::Index() const {
    if (!FBarManager) return -1;
    for (int I = 0; I < FBarManager->ItemCount(); ++I)
        if (FBarManager->Items(I) == this) return I;
    return -1;
}

bool TdxBarItem::IsShown() const {
    return FVisible == ivAlways ||
           (FVisible == ivInCustomizing && FBarManager && FBarManager->IsCustomizing());
}

bool TdxBarItem::HasControls() const {
    return std::any_of(FLinks.begin(), FLinks.end(),
                       [](TdxBarItemLink* Link) { return Link->Control() != nullptr; });
}

bool TdxBarItem::HasImage() const {
    TCustomImageList* Images = FBarManager ? FBarManager->Images() : nullptr;
    return Images && FImageIndex >= 0 && FImageIndex < Images->Count();
}

bool TdxBarItem::HasAccel(TdxBarItemLink*) const {
    return Enabled();
}

// ---- telling the controls -----------------------------------------------------------------------

void TdxBarItem::CaptionChanged() {
    for (TdxBarItemLink* Link : std::vector<TdxBarItemLink*>(FLinks))
        if (!Link->UserDefine().Contains(udCaption))
            dxBarViews().ItemChanged(Link, TdxBarItemChange::Caption);
    if (FBarManager) FBarManager->DesignerModified();
}

void TdxBarItem::EnabledChanged() {
    for (TdxBarItemLink* Link : std::vector<TdxBarItemLink*>(FLinks))
        dxBarViews().ItemChanged(Link, TdxBarItemChange::Enabled);
}

void TdxBarItem::GlyphChanged() {
    for (TdxBarItemLink* Link : std::vector<TdxBarItemLink*>(FLinks))
        if (!Link->UserDefine().Contains(udGlyph))
            dxBarViews().ItemChanged(Link, TdxBarItemChange::Glyph);
    if (FBarManager) FBarManager->DesignerModified();
}

void TdxBarItem::ShortCutChanged() {
    for (TdxBarItemLink* Link : std::vector<TdxBarItemLink*>(FLinks))
        dxBarViews().ItemChanged(Link, TdxBarItemChange::ShortCut);
    if (FBarManager) FBarManager->DesignerModified();
}

void TdxBarItem::TextChanged() {
    for (TdxBarItemLink* Link : std::vector<TdxBarItemLink*>(FLinks))
        dxBarViews().ItemChanged(Link, TdxBarItemChange::RepaintUnlessInUse);
}

void TdxBarItem::LayoutChanged() {
    for (TdxBarItemLink* Link : std::vector<TdxBarItemLink*>(FLinks))
        dxBarViews().ItemChanged(Link, TdxBarItemChange::LayoutUnlessInUse);
}

void TdxBarItem::VisibleChanged() {
    if (ComponentState().Contains(csDesigning)) return;
    {
        TdxBarUpdateLock Lock(FBarManager);
        for (TdxBarItemLink* Link : std::vector<TdxBarItemLink*>(FLinks)) {
            Link->Links()->Rebuild();
            if (IsShown()) {
                Link->RecordUse(false);
                if (!Link->Control() && Link->Links()->BarControl() &&
                    Link->Links()->VisibleIndexOf(Link) >= 0)
                    Link->CreateControl();
                dxBarViews().ItemChanged(Link, TdxBarItemChange::Visible);
            } else {
                Link->RecordHidden();
                if (Link->Control()) {
                    dxBarViews().ItemChanged(Link, TdxBarItemChange::Visible);
                    Link->DestroyControl();
                }
            }
        }
    }
    if (FBarManager) FBarManager->DesignerModified();
}

// ---- temporary items ----------------------------------------------------------------------------

void TdxBarItem::AddTemporaryItem(TdxBarItem* Item) {
    TemporaryItems().push_back(Item);
}

void TdxBarItem::FreeTemporaryItems() {
    auto& Items = TemporaryItems();
    for (int I = int(Items.size()) - 1; I >= 0; --I) {
        if (I >= int(Items.size())) continue;
        TdxBarItem* Item = Items[size_t(I)];
        if (!Item->HasControls()) Item->Free();
    }
}

// ---- buttons ------------------------------------------------------------------------------------

TdxBarButton::TdxBarButton(TComponent* AOwner) : TdxBarItem(AOwner) {}

void TdxBarButton::ForEachControl(TdxBarItemChange What) {
    for (int I = 0; I < LinkCount(); ++I) dxBarViews().ItemChanged(Links(I), What);
}

TdxBarButton* TdxBarButton::DownButtonOfGroup() const {
    TdxBarManager* Manager = BarManager();
    if (!Manager) return nullptr;
    for (int I = 0; I < Manager->ItemCount(); ++I) {
        auto* Other = dynamic_cast<TdxBarButton*>(Manager->Items(I));
        if (Other && Other != this && Other->FButtonStyle == bsChecked &&
            Other->FGroupIndex == FGroupIndex && Other->FDown)
            return Other;
    }
    return nullptr;
}

void TdxBarButton::SetDown(bool Value) {
    if (FDown == Value) return;
    if (Value && FButtonStyle != bsChecked) return;
    TdxBarButton* Release = nullptr;
    if (!IsLoading() && FButtonStyle == bsChecked && FGroupIndex != 0) {
        if (Value)
            Release = DownButtonOfGroup();
        else if (!FAllowAllUp && !DownButtonOfGroup())
            return;  // the last down button of the group stays down
    }
    FDown = Value;
    if (!IsLoading()) DownChanged();
    if (Release) Release->SetDown(false);
}

void TdxBarButton::SetGroupIndex(int Value) {
    if (FButtonStyle != bsChecked) Value = 0;
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    if (FDown) {
        FDown = false;
        if (!IsLoading()) DownChanged();
    }
}

void TdxBarButton::SetButtonStyle(TdxBarButtonStyle Value) {
    if (FButtonStyle == Value) return;
    FButtonStyle = Value;
    if (FDown) {
        FDown = false;
        if (!IsLoading()) DownChanged();
    }
    if (!IsLoading()) ButtonStyleChanged();
    if (BarManager()) BarManager()->DesignerModified();
}

void TdxBarButton::SetAllowAllUp(bool Value) {
    if (FAllowAllUp == Value) return;
    FAllowAllUp = Value;
    if (FGroupIndex == 0 || !BarManager()) return;
    for (int I = 0; I < BarManager()->ItemCount(); ++I) {
        auto* Other = dynamic_cast<TdxBarButton*>(BarManager()->Items(I));
        if (Other && Other != this && Other->FGroupIndex == FGroupIndex) Other->FAllowAllUp = Value;
    }
}

void TdxBarButton::SetDropDownEnabled(bool Value) {
    if (FDropDownEnabled == Value) return;
    FDropDownEnabled = Value;
    if (!IsLoading()) DropDownEnabledChanged();
}

void TdxBarButton::SetDropDownMenu(TdxBarPopupMenu* Value) {
    if (FDropDownMenu == Value) return;
    FDropDownMenu = Value;
    if (TComponent* Menu = Value ? dxBarViews().PopupMenuComponent(Value) : nullptr)
        Menu->FreeNotification(this);
}

void TdxBarButton::SetLowered(bool Value) {
    if (FLowered == Value) return;
    FLowered = Value;
    if (!IsLoading()) LayoutChanged();
}

void TdxBarButton::SetPaintStyle(TdxBarPaintStyle Value) {
    if (FPaintStyle == Value) return;
    FPaintStyle = Value;
    if (!IsLoading()) PaintStyleChanged();
}

void TdxBarButton::Click() {
    if (FButtonStyle == bsChecked && Enabled()) SetDown(!FDown);
    TdxBarItem::Click();
}

void TdxBarButton::DropDown(TPoint ScreenPoint, bool ByMouse, TdxBarButtonControl* Control) {
    dxBarViews().DropDown(this, Control, ScreenPoint, ByMouse);
}

void TdxBarButton::CloseDropDown() {
    dxBarViews().CloseDropDown(this);
}

bool TdxBarButton::HasAccel(TdxBarItemLink* Link) const {
    if (!Enabled()) return false;
    if (!Link || !Link->Links() || !Link->Links()->OwnerBar()) return true;
    TdxBarPaintStyle Style = Link->PaintStyle();
    if (Style == psStandard && Link->Control()) Style = dxBarViews().ControlState(Link).PaintStyle;
    return Style == psCaption || Style == psCaptionGlyph;
}

void TdxBarButton::ButtonStyleChanged() {
    ForEachControl(TdxBarItemChange::ButtonStyle);
}

void TdxBarButton::DownChanged() {
    ForEachControl(TdxBarItemChange::Down);
}

void TdxBarButton::DropDownEnabledChanged() {
    ForEachControl(TdxBarItemChange::DropDownEnabled);
}

void TdxBarButton::PaintStyleChanged() {
    for (int I = 0; I < LinkCount(); ++I) {
        TdxBarItemLink* Link = Links(I);
        if (Link->UserDefine().Contains(udPaintStyle)) continue;
        dxBarViews().ItemChanged(Link, TdxBarItemChange::PaintStyle);
    }
}

void TdxBarButton::Notification(TComponent* AComponent, TOperation Operation) {
    TdxBarItem::Notification(AComponent, Operation);
    if (Operation == opRemove && FDropDownMenu &&
        AComponent == dxBarViews().PopupMenuComponent(FDropDownMenu))
        FDropDownMenu = nullptr;
}

// ---- sub-items ----------------------------------------------------------------------------------

TCustomdxBarSubItem::TCustomdxBarSubItem(TComponent* AOwner)
    : TdxBarItem(AOwner), FItemLinks(std::make_unique<TdxBarItemLinks>(BarManager(), this)) {}

TCustomdxBarSubItem::~TCustomdxBarSubItem() = default;

void TCustomdxBarSubItem::BeforeDestruction() {
    SetDetachingBar(-1);
    FItemLinks.reset();
    TdxBarItem::BeforeDestruction();
}

void TCustomdxBarSubItem::BarManagerChanged() {
    if (FItemLinks) FItemLinks->SetBarManager(BarManager());
}

int TCustomdxBarSubItem::DetachingBar() const {
    return FDetachingBar ? FDetachingBar->Index() : -1;
}

void TCustomdxBarSubItem::SetDetachingBar(int Value) {
    TdxBars* Bars = BarManager() ? BarManager()->Bars() : nullptr;
    if (!Bars || Value < -1 || Value >= Bars->Count()) Value = -1;
    TdxBar* New = Value >= 0 ? Bars->Items(Value) : nullptr;
    if (New == FDetachingBar) return;
    if (FDetachingBar) FDetachingBar->RemoveDetachingSubItem(this);
    FDetachingBar = New;
    if (FDetachingBar) FDetachingBar->AddDetachingSubItem(this);
}

void TCustomdxBarSubItem::BarRemoved(TdxBar* Bar) {
    if (Bar == FDetachingBar) SetDetachingBar(-1);
}

void TCustomdxBarSubItem::SetShowCaption(bool Value) {
    if (FShowCaption == Value) return;
    FShowCaption = Value;
    if (!IsLoading()) LayoutChanged();
}

void TCustomdxBarSubItem::SetItemLinks(TdxBarItemLinks* Value) {
    if (Value && Value != FItemLinks.get()) FItemLinks->Assign(Value);
}

bool TCustomdxBarSubItem::ContainsItem(TdxBarItem* Item) const {
    if (!FItemLinks) return false;
    for (int I = 0; I < FItemLinks->Count(); ++I) {
        TdxBarItem* Linked = FItemLinks->Items(I)->Item();
        if (Linked == Item) return true;
        if (auto* Sub = dynamic_cast<TCustomdxBarSubItem*>(Linked); Sub && Sub->ContainsItem(Item))
            return true;
    }
    return false;
}

bool TCustomdxBarSubItem::CanContainItem(TdxBarItem* Item) const {
    if (Item == this) return false;
    auto* Sub = dynamic_cast<TCustomdxBarSubItem*>(Item);
    return !Sub || !Sub->ContainsItem(const_cast<TCustomdxBarSubItem*>(this));
}

void TCustomdxBarSubItem::DoCloseUp() {
    if (OnCloseUp) OnCloseUp(this);
}

void TCustomdxBarSubItem::DoDetaching() {
    if (OnDetaching) OnDetaching(this);
}

void TCustomdxBarSubItem::DoPopup() {
    if (OnPopup) OnPopup(this);
}

void TCustomdxBarSubItem::DoPaintBar(TCanvas* Canvas, const TRect& R) {
    if (OnPaintBar) OnPaintBar(this, Canvas, R);
}

// ---- the item-class registry --------------------------------------------------------------------

void RegisterBarItemClass(TdxBarItemClassInfo Info) {
    UnregisterBarItemClass(*Info.ItemClass);
    ItemClasses().push_back(std::move(Info));
}

void UnregisterBarItemClass(const std::type_info& ItemClass) {
    auto& Classes = ItemClasses();
    Classes.erase(
        std::remove_if(Classes.begin(), Classes.end(),
                       [&](const TdxBarItemClassInfo& C) { return *C.ItemClass == ItemClass; }),
        Classes.end());
}

int VisibleItemClassCount() {
    const auto& Classes = ItemClasses();
    return int(std::count_if(Classes.begin(), Classes.end(),
                             [](const TdxBarItemClassInfo& C) { return C.ShownInDialog; }));
}

const TdxBarItemClassInfo* VisibleItemClassByIndex(int Index) {
    for (const TdxBarItemClassInfo& C : ItemClasses())
        if (C.ShownInDialog && Index-- == 0) return &C;
    return nullptr;
}

const TdxBarItemClassInfo* BarItemClassOf(const TdxBarItem* Item) {
    if (!Item) return nullptr;
    for (const TdxBarItemClassInfo& C : ItemClasses())
        if (*C.ItemClass == typeid(*Item)) return &C;
    return nullptr;
}

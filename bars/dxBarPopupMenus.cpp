#include "bars/dxBarPopupMenus.h"

#include <algorithm>

#include "bars/dxBarItemLinks.h"
#include "bars/dxBarManager.h"
#include "platform/widgets/Forms.h"

TdxBarPopupMenu::TdxBarPopupMenu(TComponent* AOwner) : TComponent(AOwner) {
    FItemLinks = std::make_unique<TdxBarItemLinks>(nullptr, this);
    SetBarManager(BarManagerOfForm(dynamic_cast<TCustomForm*>(AOwner)));
    FFont.OnChange = [this](TGraphicsObject*) {
        if (FCopyingFont) return;
        FUseOwnFont = true;
        if (FFontHandle) DeleteObject(FFontHandle);
        FFontHandle = 0;
    };
}

TdxBarPopupMenu::~TdxBarPopupMenu() {
    FItemLinks.reset();
    SetBarManager(nullptr);
    if (FFontHandle) DeleteObject(FFontHandle);
}

void TdxBarPopupMenu::SetBarManager(TdxBarManager* Value) {
    if (FBarManager == Value) return;
    if (FBarManager) {
        auto& Menus = FBarManager->FPopupMenus;
        Menus.erase(std::remove(Menus.begin(), Menus.end(), this), Menus.end());
        FBarManager->RemoveFreeNotification(this);
    }
    FBarManager = Value;
    if (FItemLinks) FItemLinks->SetBarManager(Value);
    if (!FBarManager) return;
    FBarManager->FPopupMenus.push_back(this);
    FBarManager->FreeNotification(this);
    ManagerFontChanged();
}

void TdxBarPopupMenu::SetItemLinks(TdxBarItemLinks* Value) {
    if (Value && Value != FItemLinks.get()) FItemLinks->Assign(Value);
}

void TdxBarPopupMenu::SetUseOwnFont(bool Value) {
    FUseOwnFont = Value;
    if (!Value) ManagerFontChanged();
}

bool TdxBarPopupMenu::UseRecentItems() const {
    return FItemLinks->UseRecentItems();
}

void TdxBarPopupMenu::SetUseRecentItems(bool Value) {
    FItemLinks->SetUseRecentItems(Value);
}

HFONT TdxBarPopupMenu::FontHandle() {
    if (!FUseOwnFont) return FBarManager ? FBarManager->FontHandle() : 0;
    if (!FFontHandle) FFontHandle = CreateFontIndirect(FFont.LogFont());
    return FFontHandle;
}

void TdxBarPopupMenu::ManagerFontChanged() {
    if (FUseOwnFont || !FBarManager) return;
    FCopyingFont = true;
    FFont.Assign(*FBarManager->Font());
    FCopyingFont = false;
}

void TdxBarPopupMenu::DoPaintBar(TCanvas* Canvas, const TRect& R) {
    if (OnPaintBar) OnPaintBar(this, Canvas, R);
}

void TdxBarPopupMenu::Loaded() {
    TComponent::Loaded();
    FItemLinks->ResetUsage(true);
}

void TdxBarPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBarManager) SetBarManager(nullptr);
}

void TdxBarPopupMenuLink::SetControl(TWinControl* Value) {
    auto* Links = static_cast<TdxBarPopupMenuLinks*>(Collection());
    TdxBarManager* Manager = Links ? Links->BarManager() : nullptr;
    if (Value && (!Manager || GetParentForm(Value) != Manager->OwnerForm())) Value = nullptr;
    FControl = Value;
    // A control that is not the form's component would go unannounced: the manager listens.
    if (FControl) FControl->FreeNotification(Manager);
}

void TdxBarPopupMenuLink::SetPopupMenu(TdxBarPopupMenu* Value) {
    FPopupMenu = Value;
    if (!FPopupMenu) return;
    auto* Links = static_cast<TdxBarPopupMenuLinks*>(Collection());
    if (Links && Links->BarManager()) FPopupMenu->FreeNotification(Links->BarManager());
}

void TdxBarPopupMenuLink::Assign(const TPersistent* Source) {
    auto* From = dynamic_cast<const TdxBarPopupMenuLink*>(Source);
    if (!From) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetControl(From->FControl);
    SetPopupMenu(From->FPopupMenu);
    OnAction = From->OnAction;
}

TdxBarPopupMenuLinks::TdxBarPopupMenuLinks(TdxBarManager* Manager)
    : TCollection(ItemClassOf<TdxBarPopupMenuLink>(), Manager), FBarManager(Manager) {}

void TdxBarPopupMenuLinks::ComponentRemoved(TComponent* AComponent) {
    for (int I = 0; I < Count(); ++I) {
        TdxBarPopupMenuLink* Link = Items(I);
        if (Link->Control() == AComponent) Link->SetControl(nullptr);
        if (Link->PopupMenu() == AComponent) Link->SetPopupMenu(nullptr);
    }
}

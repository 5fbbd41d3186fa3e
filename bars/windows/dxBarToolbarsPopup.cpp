#include "bars/windows/dxBarToolbarsPopup.h"

#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "platform/widgets/Forms.h"

TdxBarOwnLinksPopup::TdxBarOwnLinksPopup(TdxBarManager* Manager) : TdxBarSubMenuControl(Manager) {
    TdxBarItem::FreeTemporaryItems();
    FLinks = std::make_unique<TdxBarItemLinks>(Manager, this);
    FLinks->SetUseRecentItems(false);
    FLinks->SetBarControl(this);
    SetItemLinks(FLinks.get());
}

TdxBarOwnLinksPopup::~TdxBarOwnLinksPopup() {
    // The links go before the window: nothing of the window may point at them afterwards.
    if (FLinks->BarControl() == this) FLinks->SetBarControl(nullptr);
    SetItemLinks(nullptr);
}

TdxBarToolbarsPopup::TdxBarToolbarsPopup(TdxBarManager* Manager) : TdxBarOwnLinksPopup(Manager) {
    Manager->FillToolbarsPopup(OwnLinks());
}

void CloseAllMenus() {
    while (TCustomdxBarControl* Active = ActiveBarControl()) {
        Active->HideAll();
        if (ActiveBarControl() == Active) break;
    }
}

void ShowToolbarsPopup(TCustomForm* Form, TPoint ScreenPoint) {
    TdxBarManager* Manager = BarManagerOfForm(Form);
    if (!Manager) return;
    auto* Popup = new TdxBarToolbarsPopup(Manager);
    if (Popup->ItemLinks()->Count() == 0) {
        Popup->Free();
        return;
    }
    CloseAllMenus();
    Popup->SetRequestedPos(ScreenPoint);
    Popup->Show();
}

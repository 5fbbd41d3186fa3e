#include "bars/windows/dxBarWindowViews.h"

#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarViews.h"
#include "bars/windows/dxBarDock.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarSubMenu.h"
#include "platform/widgets/Forms.h"

namespace {

class TWindowViews : public TdxBarViews {
  public:
    void ItemChanged(TdxBarItemLink* Link, TdxBarItemChange What) override {
        TdxBarItemControl* Control = Link->Control();
        if (!Control) return;
        switch (What) {
            case TdxBarItemChange::Layout:
                Control->RequestLayout();
                break;
        }
    }
    bool SubMenuOpen(const TdxBarItemLink* Link) override {
        auto* Control = dynamic_cast<TdxBarSubItemControl*>(Link->Control());
        return Control && Control->GetSubMenuControl();
    }
    TdxBarItemLink* OpenerLink(const TdxBarItemLinks* Links) override {
        auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(Links->BarControl());
        TdxBarItemControl* Opener = Menu ? Menu->ParentItemControl() : nullptr;
        return Opener ? Opener->ItemLink() : nullptr;
    }
    TdxBarItemLinks* ParentBarLinks(const TdxBarItemLinks* Links) override {
        TCustomdxBarControl* Window = Links->BarControl();
        TCustomdxBarControl* Parent = Window ? Window->ParentBar() : nullptr;
        return Parent ? Parent->ItemLinks() : nullptr;
    }
    std::string SiteName(const TdxBarDockControl* Site) override { return Site->Name(); }
    TdxBarDockControl* FindSite(TCustomForm* Form, const std::string& Name) override {
        return dynamic_cast<TdxBarDockControl*>(Form->FindComponent(Name));
    }
};

}  // namespace

void RegisterdxBarViews() {
    // Never freed: see dxBarInPlace.
    static auto* Views = new TWindowViews;
    SetdxBarViews(Views);
}

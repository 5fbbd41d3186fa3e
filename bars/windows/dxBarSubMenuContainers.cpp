// Container items inside a submenu: while the menu is open, each container's link is followed by
// the links the container makes (copies of its own links, or the buttons of a list item), and
// its own entry takes no room; when the menu closes they go again and the container makes them
// anew next time. A list item's own menu (opened from a bar) shows its entries the same way.
#include <algorithm>

#include "bars/model/dxBarContainerItems.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarSubMenu.h"

bool TdxBarContainerItemControl::ListedInPlace() const {
    return InSubMenu() && !(BarManager() && BarManager()->IsCustomizing());
}

int TdxBarContainerItemControl::GetDefaultHeight() const {
    return ListedInPlace() ? 0 : TdxBarSubItemControl::GetDefaultHeight();
}

bool TdxBarContainerItemControl::IsSelectable() const {
    return !ListedInPlace() && TdxBarSubItemControl::IsSelectable();
}

void TdxBarSubMenuControl::CreateControls() {
    ListContainers();
    TCustomdxBarControl::CreateControls();
}

void TdxBarSubMenuControl::ListContainers() {
    TdxBarItemLinks* Links = ItemLinks();
    if (FContainersListed || !Links || IsCustomizing() || Hiding()) return;
    FContainersListed = true;
    if (auto* List = dynamic_cast<TdxBarListItem*>(Links->OwnerSubItem())) {
        TdxBarItemControl* Opener = ParentItemControl();
        List->AddListedItemLinks(Links, 0, Opener ? Opener->ItemLink() : nullptr, true);
        FListedOwnList = List;
    }
    std::vector<TdxBarItemLink*> Owners;
    for (int I = 0; I < Links->Count(); ++I) {
        TdxBarItemLink* Link = Links->Items(I);
        if (Link->IsShown() && dynamic_cast<TCustomdxBarContainerItem*>(Link->Item()))
            Owners.push_back(Link);
    }
    // From the last to the first, so that the places of those before stay as they are.
    for (auto It = Owners.rbegin(); It != Owners.rend(); ++It) {
        auto* Container = static_cast<TCustomdxBarContainerItem*>((*It)->Item());
        Container->AddListedItemLinks(Links, (*It)->Index() + 1, *It, true);
        FListedContainers.push_back(*It);
    }
}

void TdxBarSubMenuControl::UnlistContainers() {
    TdxBarItemLinks* Links = ItemLinks();
    std::vector<TdxBarItemLink*> Listed;
    Listed.swap(FListedContainers);
    TdxBarListItem* OwnList = FListedOwnList;
    FListedOwnList = nullptr;
    if (!Links) return;
    // Front to back: the containers were listed from the back.
    for (auto It = Listed.rbegin(); It != Listed.rend(); ++It) {
        TdxBarItemLink* Link = *It;
        bool Still = false;
        for (int I = 0; I < Links->Count() && !Still; ++I) Still = Links->Items(I) == Link;
        auto* Container = Still ? dynamic_cast<TCustomdxBarContainerItem*>(Link->Item()) : nullptr;
        if (!Container) continue;
        Container->DeleteListedItemLinks(Links, Link->Index() + 1);
        Container->SetStale(true);
    }
    if (OwnList && Links->OwnerSubItem() == OwnList) {
        OwnList->DeleteListedItemLinks(Links, 0);
        OwnList->SetStale(true);
    }
}

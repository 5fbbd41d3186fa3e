#include "bars/dxBar.h"

#include <algorithm>

void TdxBarManager::SetUpdateLocked(bool Value) {
    if (Value == FUpdateLocked) return;
    FUpdateLocked = Value;
    // Unlocking repaints what shows every item, so that changes made under the lock show.
    if (!Value)
        for (TdxBarItem* item : FItems) item->NotifyLinks();
}

TdxBarItem::TdxBarItem(TdxBarManager* BarManager) : FBarManager(BarManager) {
    if (FBarManager) FBarManager->FItems.push_back(this);
}

TdxBarItem::~TdxBarItem() {
    if (FBarManager) {
        auto& items = FBarManager->FItems;
        items.erase(std::remove(items.begin(), items.end(), this), items.end());
    }
}

bool TdxBarItem::Enabled() const {
    if (FBarManager && FBarManager->IsCustomizing() && Category >= 0) return true;
    return FEnabled;
}

void TdxBarItem::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    if (FBarManager && FBarManager->Loading()) return;
    NotifyLinks();
}

void TdxBarItem::NotifyLinks() {
    // A link may remove itself while it repaints: walk a copy.
    auto links = FLinks;
    for (TdxBarItemLinkObserver* link : links) link->ItemChanged(*this);
}

void TdxBarItem::Click() {
    if (FEnabled && OnClick) OnClick(this);
}

void TdxBarItem::AddLink(TdxBarItemLinkObserver* Link) {
    FLinks.push_back(Link);
}

void TdxBarItem::RemoveLink(TdxBarItemLinkObserver* Link) {
    FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), Link), FLinks.end());
}

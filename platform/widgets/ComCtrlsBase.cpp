#include "platform/widgets/ComCtrlsBase.h"

TControlImages::TControlImages(TComponent* Control, std::function<void()> Changed)
    : FControl(Control), FChanged(std::move(Changed)) {
    FLink.OnChange = [this](TCustomImageList*) { FChanged(); };
}

// The free notification is left in place when the list is let go: another image set of the
// control may show the same list, and a notice about a list no longer shown changes nothing.
TControlImages::~TControlImages() = default;

void TControlImages::Set(TCustomImageList* Value) {
    TCustomImageList* Old = List();
    if (Old == Value) return;
    if (Old) Old->UnRegisterChanges(&FLink);
    if (Value) {
        Value->RegisterChanges(&FLink);
        if (auto* Component = dynamic_cast<TComponent*>(Value))
            Component->FreeNotification(FControl);
    }
    FChanged();
}

HIMAGELIST TControlImages::Handle() const {
    TCustomImageList* L = List();
    return L ? L->Handle() : 0;
}

void TControlImages::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation != opRemove || !List()) return;
    if (dynamic_cast<TComponent*>(List()) == AComponent) Set(nullptr);
}

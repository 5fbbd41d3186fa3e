#include "components/store/OvcState.h"

TOvcAbstractState::TOvcAbstractState(TComponent* AOwner) : TOvcComponent(AOwner) {}

TOvcAbstractState::~TOvcAbstractState() {
    SetStorage(nullptr);
}

std::string TOvcAbstractState::Section() const {
    return FSection.empty() ? DefaultSection() : FSection;
}

void TOvcAbstractState::SetStorage(TOvcAbstractStore* Value) {
    if (FStorage == Value) return;
    if (FStorage) FStorage->RemoveFreeNotification(this);
    FStorage = Value;
    if (FStorage) FStorage->FreeNotification(this);
}

void TOvcAbstractState::Notification(TComponent* AComponent, TOperation Operation) {
    TOvcComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FStorage) {
        FStorage = nullptr;
        FActive = false;
    }
}

void TOvcAbstractState::FormCreated(const std::function<void()>& Previous) {
    if (Previous) Previous();
    if (!FActive) return;
    FSaved = false;
    RestoreState();
    FRestored = true;
    if (OnRestoreState) OnRestoreState(this);
}

void TOvcAbstractState::FormCloseQuery(const std::function<void(bool& CanClose)>& Previous,
                                       bool& CanClose) {
    if (Previous) Previous(CanClose);
    if (CanClose && FActive) SaveFromHook();
}

void TOvcAbstractState::FormDestroying(const std::function<void()>& Previous) {
    if (FActive && !FSaved) SaveFromHook();
    if (Previous) Previous();
}

void TOvcAbstractState::SaveFromHook() {
    if (FActive && !FRestored) return;
    SaveState();
    if (OnSaveState) OnSaveState(this);
    FSaved = true;
}

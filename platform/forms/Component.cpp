#include "platform/forms/Component.h"

#include <algorithm>

#include "platform/forms/Errors.h"
#include "platform/forms/Filer.h"

namespace {

// The state the next component starts with (see TComponentCreationScope). UI thread only, but
// thread-local costs nothing and keeps a stray worker from picking it up.
thread_local TComponentState GPendingState;

char UpperAscii(char C) {
    return C >= 'a' && C <= 'z' ? char(C - 'a' + 'A') : C;
}

bool IsIdentStart(char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_';
}

bool IsIdentChar(char C) {
    return IsIdentStart(C) || (C >= '0' && C <= '9');
}

template <class T>
void Erase(std::vector<T*>& List, T* Item) {
    auto It = std::find(List.begin(), List.end(), Item);
    if (It != List.end()) List.erase(It);
}

}  // namespace

bool IsValidIdent(const std::string& Ident) {
    if (Ident.empty() || !IsIdentStart(Ident[0])) return false;
    return std::all_of(Ident.begin() + 1, Ident.end(), IsIdentChar);
}

bool SameText(const std::string& A, const std::string& B) {
    if (A.size() != B.size()) return false;
    for (size_t I = 0; I < A.size(); ++I)
        if (UpperAscii(A[I]) != UpperAscii(B[I])) return false;
    return true;
}

TComponentCreationScope::TComponentCreationScope(TComponentState State) : FSaved(GPendingState) {
    GPendingState = State;
}

TComponentCreationScope::~TComponentCreationScope() {
    GPendingState = FSaved;
}

TComponent::TComponent(TComponent* AOwner) : FComponentState(GPendingState) {
    GPendingState = {};
    if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    TComponent::BeforeDestruction();
}

void TComponent::Free() {
    BeforeDestruction();
    delete this;
}

void TComponent::BeforeDestruction() {
    if (FDetached) return;
    FDetached = true;
    Destroying();
    // Unlink before telling, so that an override that forgets to call the base cannot make the
    // same component be told twice.
    while (!FFreeNotifies.empty()) {
        TComponent* Other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        Erase(Other->FFreeNotifies, this);
        Other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent* Owned : FComponents) Owned->Destroying();
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    if (SetChildren)
        for (TComponent* Owned : FComponents) Owned->SetDesigning(Value, true);
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* Last = FComponents.back();
        // Its siblings go too; only one that somebody watches is announced to them.
        if (Last->FComponentState.Contains(csFreeNotification))
            RemoveComponent(Last);
        else
            Remove(Last);
        Last->Free();
    }
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw ERangeError("List index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[size_t(Index)];
}

int TComponent::ComponentIndex() const {
    if (FOwner == nullptr) return -1;
    const auto& List = FOwner->FComponents;
    return int(std::find(List.begin(), List.end(), this) - List.begin());
}

void TComponent::SetComponentIndex(int Value) {
    if (FOwner == nullptr) return;
    auto& List = FOwner->FComponents;
    const int Current = ComponentIndex();
    Value = std::clamp(Value, 0, int(List.size()) - 1);
    if (Current == Value) return;
    List.erase(List.begin() + Current);
    List.insert(List.begin() + Value, this);
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* Owned : FComponents)
        if (SameText(Owned->FName, AName)) return Owned;
    return nullptr;
}

void TComponent::SetName(const std::string& NewName) {
    if (FName == NewName) return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (FOwner != nullptr)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    FName = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName,
                                const std::string& NewName) {
    if (AComponent == nullptr || NewName.empty() || SameText(CurName, NewName)) return;
    TComponent* Found = FindComponent(NewName);
    if (Found != nullptr && Found != AComponent)
        throw EComponentError("A component named " + NewName + " already exists");
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent->FOwner == this) return;
    ValidateRename(AComponent, std::string(), AComponent->FName);
    if (AComponent->FOwner != nullptr) AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent->FOwner != this) return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    Erase(FComponents, AComponent);
    AComponent->FOwner = nullptr;
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent == this) return;
    if (FOwner == nullptr || AComponent->FOwner != FOwner) {
        if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) ==
            FFreeNotifies.end())
            FFreeNotifies.push_back(AComponent);
        auto& Theirs = AComponent->FFreeNotifies;
        if (std::find(Theirs.begin(), Theirs.end(), this) == Theirs.end()) Theirs.push_back(this);
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr) return;
    Erase(FFreeNotifies, AComponent);
    Erase(AComponent->FFreeNotifies, this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove) RemoveFreeNotification(AComponent);
    NotifyOwned(AComponent, Operation);
}

void TComponent::NotifyOwned(TComponent* AComponent, TOperation Operation) {
    // A handler may free components of this list: the index is checked again at every step.
    for (size_t I = FComponents.size(); I > 0; --I) {
        if (I > FComponents.size()) I = FComponents.size();
        if (I == 0) break;
        FComponents[I - 1]->Notification(AComponent, Operation);
    }
}

void TComponent::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    if (Root == nullptr) return;
    // A copy: writing a child must not be disturbed by a list that changes under it.
    const std::vector<TComponent*> Owned = Root->FComponents;
    for (TComponent* Child : Owned) {
        TComponent* Parent = Child->GetParentComponent();
        if (this == Root ? (Parent == nullptr || Parent == Root) : Parent == this) Proc(Child);
    }
}

void TComponent::Loaded() {
    FComponentState.Exclude(csLoading);
}

void TComponent::ReadState(TReader& Reader) {
    Reader.ReadData(this);
}

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::SetChildOrder(TComponent*, int) {}

TComponent* TComponent::GetChildOwner() {
    return FComponentState.Contains(csInline) ? this : nullptr;
}

TComponent* TComponent::GetChildParent() {
    return this;
}

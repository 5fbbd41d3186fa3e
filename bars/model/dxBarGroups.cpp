#include "bars/model/dxBarGroups.h"

#include <algorithm>

#include "bars/model/dxBarCustomizing.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "platform/forms/Filer.h"

TdxBarGroup::TdxBarGroup(TComponent* AOwner) : TComponent(AOwner) {}

TdxBarGroup::~TdxBarGroup() {
    SetBarManager(nullptr);
}

void TdxBarGroup::SetBarManager(TdxBarManager* Value) {
    if (FBarManager == Value) return;
    if (FBarManager) FBarManager->RemoveGroup(this);
    FBarManager = Value;
    if (FBarManager) FBarManager->FGroups.push_back(this);
}

TComponent* TdxBarGroup::GetParentComponent() const {
    return FBarManager;
}

void TdxBarGroup::SetParentComponent(TComponent* Value) {
    if (auto* Manager = dynamic_cast<TdxBarManager*>(Value)) SetBarManager(Manager);
}

int TdxBarGroup::IndexOf(const TComponent* Member) const {
    auto It = std::find(FItems.begin(), FItems.end(), Member);
    return It == FItems.end() ? -1 : int(It - FItems.begin());
}

bool TdxBarGroup::Contains(const TComponent* Member) const {
    for (TComponent* Item : FItems) {
        if (Item == Member) return true;
        if (auto* Group = dynamic_cast<TdxBarGroup*>(Item); Group && Group->Contains(Member))
            return true;
    }
    return false;
}

void TdxBarGroup::Add(TComponent* Member) {
    auto* Group = dynamic_cast<TdxBarGroup*>(Member);
    if (!Member || (!Group && !dynamic_cast<TdxBarItem*>(Member)) || IndexOf(Member) >= 0) return;
    if (Group && (Group == this || Group->Contains(this)))
        throw EdxBarError("You cannot create recursive groups");
    FItems.push_back(Member);
    Member->FreeNotification(this);
}

void TdxBarGroup::Remove(TComponent* Member) {
    auto It = std::find(FItems.begin(), FItems.end(), Member);
    if (It == FItems.end()) return;
    FItems.erase(It);
    Member->RemoveFreeNotification(this);
}

template <class F>
void TdxBarGroup::ForMembers(F Set) {
    const bool Quiet =
        ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying);
    std::unique_ptr<TdxBarUpdateLock> Lock;
    if (!Quiet && FBarManager) Lock = std::make_unique<TdxBarUpdateLock>(FBarManager);
    for (TComponent* Member : std::vector<TComponent*>(FItems)) {
        if (auto* Group = dynamic_cast<TdxBarGroup*>(Member))
            Set(*Group);
        else if (auto* Item = dynamic_cast<TdxBarItem*>(Member))
            Set(*Item);
    }
}

void TdxBarGroup::SetEnabled(bool Value) {
    FEnabled = Value;
    ForMembers([Value](auto& Member) { Member.SetEnabled(Value); });
}

void TdxBarGroup::SetVisible(TdxBarItemVisible Value) {
    FVisible = Value;
    ForMembers([Value](auto& Member) { Member.SetVisible(Value); });
}

int TdxBarGroup::Index() const {
    if (!FBarManager) return -1;
    for (int I = 0; I < FBarManager->GroupCount(); ++I)
        if (FBarManager->Groups(I) == this) return I;
    return -1;
}

void TdxBarGroup::SetIndex(int Value) {
    if (!FBarManager) return;
    auto& Groups = FBarManager->FGroups;
    Groups.erase(std::remove(Groups.begin(), Groups.end(), this), Groups.end());
    Groups.insert(Groups.begin() + std::clamp(Value, 0, int(Groups.size())), this);
}

void TdxBarGroup::Loaded() {
    TComponent::Loaded();
    TComponent* Root = Owner();
    for (const std::string& Name : FItemNames)
        if (TComponent* Member = Root ? Root->FindComponent(Name) : nullptr) Add(Member);
    FItemNames.clear();
}

void TdxBarGroup::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) Remove(AComponent);
}

void TdxBarGroup::DefineProperties(TFiler& Filer) {
    TComponent::DefineProperties(Filer);
    Filer.DefineProperty(
        "Items",
        [this](TReader& Reader) {
            FItemNames.clear();
            Reader.ReadListBegin();
            while (!Reader.EndOfList()) FItemNames.push_back(Reader.ReadString());
            Reader.ReadListEnd();
        },
        [this](TWriter& Writer) {
            Writer.WriteListBegin();
            for (TComponent* Member : FItems) Writer.WriteString(Member->Name());
            Writer.WriteListEnd();
        },
        !FItems.empty());
}

void TdxBarGroup::SetName(const std::string& NewName) {
    TComponent::SetName(NewName);
    // The groups page lists groups by name.
    if (FBarManager && FBarManager->IsCustomizing()) dxBarCustomizing().UpdateGroups();
}

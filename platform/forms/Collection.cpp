#include "platform/forms/Collection.h"

#include <algorithm>

#include "platform/classes/Exception.h"
#include "platform/classes/FlagScope.h"

namespace {

// Ends an update however the work inside it ends.
class TUpdateScope {
  public:
    explicit TUpdateScope(TCollection& Collection) : FCollection(Collection) {
        FCollection.BeginUpdate();
    }
    ~TUpdateScope() { FCollection.EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

  private:
    TCollection& FCollection;
};

}  // namespace

// ---- TCollectionItem -----------------------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* Collection) {
    SetCollection(Collection);
}

TCollectionItem::~TCollectionItem() {
    SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* Value) {
    if (FCollection == Value) return;
    if (FCollection != nullptr) FCollection->RemoveItem(this);
    if (Value != nullptr) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
    if (FCollection == nullptr) return -1;
    const auto& Items = FCollection->FItems;
    return int(std::find(Items.begin(), Items.end(), this) - Items.begin());
}

void TCollectionItem::SetIndex(int Value) {
    const int Current = Index();
    if (Current < 0) return;
    auto& Items = FCollection->FItems;
    Value = std::clamp(Value, 0, int(Items.size()) - 1);
    if (Current == Value) return;
    Items.erase(Items.begin() + Current);
    Items.insert(Items.begin() + Value, this);
    Changed(true);
}

std::string TCollectionItem::DisplayName() const {
    return ClassName();
}

void TCollectionItem::SetDisplayName(const std::string&) {
    Changed(false);
}

std::string TCollectionItem::GetNamePath() const {
    if (FCollection == nullptr) return ClassName();
    return FCollection->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection != nullptr && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() const {
    return FCollection;
}

// ---- TCollection ---------------------------------------------------------------------------

TCollection::TCollection(TCollectionItemClass ItemClass, TPersistent* Owner)
    : FItemClass(ItemClass), FOwner(Owner) {}

TCollection::~TCollection() {
    // Nothing is reported any more: the derived collection is gone already.
    FUpdateCount = 1;
    while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw ERangeError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[size_t(Index)];
}

TCollectionItem* TCollection::Add() {
    TCollectionItem* Item;
    {
        const TFlagScope Adding(FAdding);
        Item = FItemClass.Create(this);
    }
    Notify(Item, cnAdded);
    Changed();
    return Item;
}

TCollectionItem* TCollection::Insert(int Index) {
    TCollectionItem* Item = Add();
    Item->SetIndex(Index);
    return Item;
}

void TCollection::Delete(int Index) {
    TCollectionItem* Item = Items(Index);
    Notify(Item, cnDeleting);
    delete Item;
}

void TCollection::Clear() {
    if (FItems.empty()) return;
    TUpdateScope Update(*this);
    while (!FItems.empty()) {
        TCollectionItem* Last = FItems.back();
        Notify(Last, cnDeleting);
        delete Last;
    }
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (TCollectionItem* Item : FItems)
        if (Item->FID == ID) return Item;
    return nullptr;
}

void TCollection::BeginUpdate() {
    ++FUpdateCount;
}

void TCollection::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    Changed();
}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::Assign(const TPersistent* Source) {
    const auto* Other = dynamic_cast<const TCollection*>(Source);
    if (Other == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (Other == this) return;
    TUpdateScope Update(*this);
    Clear();
    for (TCollectionItem* Item : Other->FItems) Add()->Assign(Item);
}

std::string TCollection::GetNamePath() const {
    if (FOwner == nullptr) return ClassName();
    const std::string OwnerPath = FOwner->GetNamePath();
    return OwnerPath.empty() ? ClassName() : OwnerPath + "." + ClassName();
}

void TCollection::InsertItem(TCollectionItem* Item) {
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    if (FAdding) return;  // Add announces the item once it is complete
    Notify(Item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    Notify(Item, cnExtracting);
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It != FItems.end()) FItems.erase(It);
    Item->FCollection = nullptr;
    Changed();
}

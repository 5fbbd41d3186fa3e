#include "bars/model/dxBarCategories.h"

#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "platform/forms/Filer.h"

void TdxBarManagerCategories::MoveItems(TdxBarManager* Manager, int From, int To) {
    if (!Manager) return;
    for (int I = 0; I < Manager->ItemCount(); ++I)
        if (Manager->Items(I)->Category() == From) Manager->Items(I)->FCategory = To;
}

TdxBarManagerCategories::~TdxBarManagerCategories() = default;

void TdxBarManagerCategories::Renumber(int From, int To) {
    MoveItems(FManager, From, To);
}

TdxBarManagerCategories::TRecord& TdxBarManagerCategories::RecordOf(int Index) {
    std::unique_ptr<TRecord>& R = FRecords.at(size_t(Index));
    if (!R) R = std::make_unique<TRecord>();
    return *R;
}

int TdxBarManagerCategories::AddObject(const std::string& Value, void* Object) {
    const int Index = Count();
    InsertObject(Index, Value, Object);
    return Index;
}

void TdxBarManagerCategories::InsertObject(int Index, const std::string& Value, void* Object) {
    if (Index < 0 || Index > Count()) {
        TStringList::InsertObject(Index, Value, Object);  // raises the list's error
        return;
    }
    for (int I = Count() - 1; I >= Index; --I) Renumber(I, I + 1);
    TStringList::InsertObject(Index, Value, Object);
    FRecords.insert(FRecords.begin() + Index, nullptr);
}

void TdxBarManagerCategories::Delete(int Index) {
    CheckIndex(Index);
    if (FManager)
        for (int I = FManager->ItemCount() - 1; I >= 0; --I)
            if (TdxBarItem* Item = FManager->Items(I); Item && Item->Category() == Index)
                Item->Free();
    for (int I = Index + 1; I < Count(); ++I) Renumber(I, I - 1);
    FRecords.erase(FRecords.begin() + Index);
    TStringList::Delete(Index);
    if (Count() == 0) Add("Default");
}

void TdxBarManagerCategories::Clear() {
    FRecords.clear();
    TStringList::Clear();
}

void TdxBarManagerCategories::Exchange(int A, int B) {
    CheckIndex(A);
    CheckIndex(B);
    if (A == B) return;
    MoveItems(FManager, A, -1000);
    MoveItems(FManager, B, A);
    MoveItems(FManager, -1000, B);
    std::swap(FRecords[size_t(A)], FRecords[size_t(B)]);
    TStringList::Exchange(A, B);
}

void TdxBarManagerCategories::Move(int From, int To) {
    if (From == To) return;
    CheckIndex(From);
    CheckIndex(To);
    MoveItems(FManager, From, -1000);
    if (From < To)
        for (int I = From + 1; I <= To; ++I) MoveItems(FManager, I, I - 1);
    else
        for (int I = From - 1; I >= To; --I) MoveItems(FManager, I, I + 1);
    MoveItems(FManager, -1000, To);
    std::unique_ptr<TRecord> Record = std::move(FRecords[size_t(From)]);
    FRecords.erase(FRecords.begin() + From);
    FRecords.insert(FRecords.begin() + To, std::move(Record));
    const std::string Name = Strings(From);
    TStringList::Delete(From);
    TStringList::InsertObject(To, Name, nullptr);
}

TdxBarItemVisible TdxBarManagerCategories::ItemsVisible(int Index) const {
    if (Index < 0 || Index >= int(FRecords.size()) || !FRecords[size_t(Index)]) return ivAlways;
    return FRecords[size_t(Index)]->ItemsVisible;
}

bool TdxBarManagerCategories::Visible(int Index) const {
    if (Index < 0 || Index >= int(FRecords.size()) || !FRecords[size_t(Index)]) return true;
    return FRecords[size_t(Index)]->Visible;
}

void TdxBarManagerCategories::SetItemsVisibleRecord(int Index, TdxBarItemVisible Value) {
    RecordOf(Index).ItemsVisible = Value;
}

void TdxBarManagerCategories::SetPendingItemsVisible(int Index, TdxBarItemVisible Value) {
    TRecord& R = RecordOf(Index);
    R.HasPending = true;
    R.Pending = Value;
}

void TdxBarManagerCategories::SetVisibleRecord(int Index, bool Value) {
    RecordOf(Index).Visible = Value;
}

void TdxBarManagerCategories::ApplyPendingItemsVisible() {
    for (int I = 0; I < int(FRecords.size()); ++I) {
        TRecord* R = FRecords[size_t(I)].get();
        if (!R || !R->HasPending) continue;
        R->HasPending = false;
        if (FManager) FManager->SetCategoryItemsVisible(I, R->Pending);
    }
}

void TdxBarManagerCategories::DefineProperties(TFiler& Filer) {
    Filer.DefineProperty(
        "ItemsVisibles",
        [this](TReader& Reader) {
            Reader.ReadListBegin();
            for (int I = 0; !Reader.EndOfList(); ++I) {
                const int Value = Reader.ReadInteger();
                if (I < Count() && Value >= ivNever && Value <= ivAlways && FManager)
                    FManager->SetCategoryItemsVisible(I, TdxBarItemVisible(Value));
            }
            Reader.ReadListEnd();
        },
        [this](TWriter& Writer) {
            Writer.WriteListBegin();
            for (int I = 0; I < Count(); ++I) Writer.WriteInteger(ItemsVisible(I));
            Writer.WriteListEnd();
        },
        Count() > 0);
    Filer.DefineProperty(
        "Visibles",
        [this](TReader& Reader) {
            Reader.ReadListBegin();
            for (int I = 0; !Reader.EndOfList(); ++I) {
                const bool Value = Reader.ReadBoolean();
                if (I < Count() && FManager) FManager->SetCategoryVisible(I, Value);
            }
            Reader.ReadListEnd();
        },
        [this](TWriter& Writer) {
            Writer.WriteListBegin();
            for (int I = 0; I < Count(); ++I) Writer.WriteBoolean(Visible(I));
            Writer.WriteListEnd();
        },
        Count() > 0);
}

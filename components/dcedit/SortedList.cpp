#include "components/dcedit/SortedList.h"

#include <algorithm>
#include <string>

#include "platform/classes/Exception.h"

TCustomSortedList::TItem TCustomSortedList::Items(int Index) const {
    CheckIndex(Index);
    return FItems[size_t(Index)];
}

void TCustomSortedList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        throw ERangeError("List index out of bounds (" + std::to_string(Index) + ")");
}

int TCustomSortedList::Compare(TItem A, TItem B) const {
    return A < B ? -1 : A > B ? 1 : 0;
}

void TCustomSortedList::SetSorted(bool Value) {
    if (Value && !FSorted)
        std::stable_sort(FItems.begin(), FItems.end(),
                         [this](TItem A, TItem B) { return Compare(A, B) < 0; });
    FSorted = Value;
}

bool TCustomSortedList::Find(TItem Key, int& Index) const {
    if (!FSorted) {
        Index = IndexOf(Key);
        if (Index >= 0) return true;
        Index = Count();
        return false;
    }
    int Low = 0;
    int High = Count();
    bool Found = false;
    while (Low < High) {
        const int Middle = Low + (High - Low) / 2;
        const int Order = CompareKey(FItems[size_t(Middle)], Key);
        if (Order == 0) Found = true;
        // With duplicates the search goes on past equal items, else it stops at the first.
        if (Order < 0 || (Order == 0 && FDuplicates))
            Low = Middle + 1;
        else
            High = Middle;
    }
    Index = Low;
    return Found;
}

int TCustomSortedList::IndexOf(TItem Key) const {
    if (FSorted) {
        int Index = 0;
        if (!Find(Key, Index)) return -1;
        if (!FDuplicates) return Index;
        while (Index > 0 && CompareKey(FItems[size_t(Index - 1)], Key) == 0) --Index;
        return Index;
    }
    for (int I = 0; I < Count(); ++I)
        if (CompareKey(FItems[size_t(I)], Key) == 0) return I;
    return -1;
}

int TCustomSortedList::Add(TItem Item) {
    int Index = Count();
    if (FSorted) {
        if (Find(Item, Index) && !FDuplicates) return -1;
    } else if (!FDuplicates && IndexOf(Item) >= 0) {
        return -1;
    }
    FItems.insert(FItems.begin() + Index, Item);
    return Index;
}

void TCustomSortedList::Delete(int Index) {
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
}

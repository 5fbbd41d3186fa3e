#pragma once
// A list of items (pointer-sized values) kept in the order of a comparison of its own: a
// descendant compares two items, and an item with a search key (by default the items' values).
// A sorted list finds by binary search, an unsorted one by walking it.
#include <cstdint>
#include <vector>

class TCustomSortedList {
  public:
    using TItem = std::intptr_t;

    TCustomSortedList() = default;
    virtual ~TCustomSortedList() = default;
    TCustomSortedList(const TCustomSortedList&) = delete;
    TCustomSortedList& operator=(const TCustomSortedList&) = delete;

    int Count() const { return int(FItems.size()); }
    // ERangeError outside 0..Count-1.
    TItem Items(int Index) const;
    // On by default; switching it on sorts the list.
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    // Whether Add takes an item equal to one in the list (off by default).
    bool Duplicates() const { return FDuplicates; }
    void SetDuplicates(bool Value) { FDuplicates = Value; }

    // Adds the item at its place (at the end while unsorted); -1 when it equals one in the list
    // and duplicates are not taken.
    int Add(TItem Item);
    // True when an item equals Key. Index receives, for a sorted list, the first equal item, or
    // with Duplicates the place after the last one, or where Key would go; for an unsorted list
    // the first equal item or Count.
    bool Find(TItem Key, int& Index) const;
    // The first item equal to Key, or -1.
    int IndexOf(TItem Key) const;
    virtual void Delete(int Index);
    void Clear() { FItems.clear(); }

  protected:
    virtual int Compare(TItem A, TItem B) const;
    virtual int CompareKey(TItem Item, TItem Key) const { return Compare(Item, Key); }

  private:
    void CheckIndex(int Index) const;

    std::vector<TItem> FItems;
    bool FSorted = true;
    bool FDuplicates = false;
};

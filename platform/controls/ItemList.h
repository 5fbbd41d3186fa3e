#pragma once
// The items of a list box (and of a combo box's list): texts, data values, heights and selection
// marks. They are kept in blocks, so that an item inserted into a long sorted list moves the rest
// of one block rather than the rest of the list, and an index is found by a search over the
// blocks' first indexes. How their texts compare is ItemTexts.h's.
#include <string>
#include <vector>

#include "platform/classes/WinTypes.h"

struct TListBoxItem {
    std::string Text;
    ULONG_PTR Data = 0;
    // Owner-drawn lists of variable height only.
    int Height = 0;
    bool Selected = false;
};

class TItemList {
  public:
    int Count() const { return FCount; }
    bool Empty() const { return FCount == 0; }
    // Index must be in [0, Count()).
    TListBoxItem& operator[](int Index);
    const TListBoxItem& operator[](int Index) const;

    // Index in [0, Count()]: the item lands there.
    void Insert(int Index, TListBoxItem Item);
    TListBoxItem Erase(int Index);
    void Clear();

    // The index a new item goes to in a sorted list: after every item for which Before(index,
    // item) is false (the new item does not sort before it), the items being in order.
    template <class F>
    int UpperBound(F&& Before) const;

    // Calls Visit(index, item) for every item from First to the end and then from the start up
    // to First (wrapping once), until it returns true; that index, or -1.
    template <class F>
    int FindFrom(int First, F&& Visit) const;

  private:
    // Where an index lies: block and place within it.
    struct TPlace {
        size_t Block;
        size_t Offset;
    };
    TPlace Locate(int Index) const;
    // The first indexes of the blocks from Block on are counted again.
    void Renumber(size_t Block);

    std::vector<std::vector<TListBoxItem>> FBlocks;
    // FStarts[b]: the index of block b's first item. No block is ever empty.
    std::vector<int> FStarts;
    int FCount = 0;
};

template <class F>
int TItemList::UpperBound(F&& Before) const {
    // The first block whose last item the new one sorts before holds the place.
    size_t Low = 0;
    size_t High = FBlocks.size();
    while (Low < High) {
        const size_t Mid = (Low + High) / 2;
        const int Last = FStarts[Mid] + static_cast<int>(FBlocks[Mid].size()) - 1;
        if (Before(Last, FBlocks[Mid].back()))
            High = Mid;
        else
            Low = Mid + 1;
    }
    if (Low == FBlocks.size()) return FCount;
    const std::vector<TListBoxItem>& Block = FBlocks[Low];
    size_t First = 0;
    size_t Last = Block.size();
    while (First < Last) {
        const size_t Mid = (First + Last) / 2;
        if (Before(FStarts[Low] + static_cast<int>(Mid), Block[Mid]))
            Last = Mid;
        else
            First = Mid + 1;
    }
    return FStarts[Low] + static_cast<int>(First);
}

template <class F>
int TItemList::FindFrom(int First, F&& Visit) const {
    if (FCount == 0) return -1;
    if (First < 0 || First >= FCount) First = 0;
    const TPlace Start = Locate(First);
    int Index = First;
    size_t B = Start.Block;
    size_t O = Start.Offset;
    for (int Seen = 0; Seen < FCount; ++Seen) {
        if (Visit(Index, FBlocks[B][O])) return Index;
        ++Index;
        if (++O == FBlocks[B].size()) {
            O = 0;
            if (++B == FBlocks.size()) {
                B = 0;
                Index = 0;
            }
        }
    }
    return -1;
}

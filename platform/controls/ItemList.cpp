#include "platform/controls/ItemList.h"

#include <algorithm>

namespace {

// Blocks are split when they grow past this many items.
constexpr size_t kBlockItems = 512;

}  // namespace

TItemList::TPlace TItemList::Locate(int Index) const {
    const auto It = std::upper_bound(FStarts.begin(), FStarts.end(), Index);
    const auto Block = static_cast<size_t>(It - FStarts.begin()) - 1;
    return TPlace{Block, static_cast<size_t>(Index - FStarts[Block])};
}

TListBoxItem& TItemList::operator[](int Index) {
    const TPlace P = Locate(Index);
    return FBlocks[P.Block][P.Offset];
}

const TListBoxItem& TItemList::operator[](int Index) const {
    const TPlace P = Locate(Index);
    return FBlocks[P.Block][P.Offset];
}

void TItemList::Renumber(size_t Block) {
    FStarts.resize(FBlocks.size());
    int Start = Block == 0 ? 0 : FStarts[Block - 1] + static_cast<int>(FBlocks[Block - 1].size());
    for (size_t B = Block; B < FBlocks.size(); ++B) {
        FStarts[B] = Start;
        Start += static_cast<int>(FBlocks[B].size());
    }
}

void TItemList::Insert(int Index, TListBoxItem Item) {
    if (FBlocks.empty()) {
        FBlocks.emplace_back();
        FStarts.push_back(0);
    }
    // At the end it goes into the last block; else into the block that holds Index now.
    TPlace P = Index == FCount ? TPlace{FBlocks.size() - 1, FBlocks.back().size()} : Locate(Index);
    std::vector<TListBoxItem>& Block = FBlocks[P.Block];
    Block.insert(Block.begin() + static_cast<std::ptrdiff_t>(P.Offset), std::move(Item));
    ++FCount;
    if (Block.size() > kBlockItems) {
        std::vector<TListBoxItem> Tail(std::make_move_iterator(Block.begin() + kBlockItems / 2),
                                       std::make_move_iterator(Block.end()));
        Block.resize(kBlockItems / 2);
        FBlocks.insert(FBlocks.begin() + static_cast<std::ptrdiff_t>(P.Block) + 1, std::move(Tail));
    }
    Renumber(P.Block);
}

TListBoxItem TItemList::Erase(int Index) {
    const TPlace P = Locate(Index);
    std::vector<TListBoxItem>& Block = FBlocks[P.Block];
    TListBoxItem Gone = std::move(Block[P.Offset]);
    Block.erase(Block.begin() + static_cast<std::ptrdiff_t>(P.Offset));
    --FCount;
    if (Block.empty()) FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(P.Block));
    Renumber(P.Block);
    return Gone;
}

void TItemList::Clear() {
    FBlocks.clear();
    FStarts.clear();
    FCount = 0;
}

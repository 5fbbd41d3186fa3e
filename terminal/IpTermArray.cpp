#include <algorithm>
#include <cstring>

#include "platform/classes/Exception.h"
#include "terminal/IpTermBuffer.h"

namespace {

// Columns per stored row, so that every row starts on a multiple of 4 bytes.
int StrideFor(int Cols, int ItemSize) {
    const int PerWord = 4 / ItemSize;
    return (Cols + PerWord - 1) / PerWord * PerWord;
}

// A copy of a size the compiler knows becomes one store per item; copying the item size in
// bytes was a library call per item, most of the time it took to make a new buffer.
template <class TItem>
void FillAs(uint8_t* At, int Count, uint32_t Item) {
    const auto Value = TItem(Item);
    for (int I = 0; I < Count; ++I)
        std::memcpy(At + size_t(I) * sizeof Value, &Value, sizeof Value);
}

}  // namespace

TIpTerminalArray::TIpTerminalArray(int ItemSize)
    : FItemSize(ItemSize == 2 || ItemSize == 4 ? ItemSize : 1) {}

// Every caller passes a row inside the array and the ring's start is one too, so one
// subtraction finds the stored row: this runs for every cell written.
uint8_t* TIpTerminalArray::RowPtr(int Row) {
    int Stored = Row + FTop;
    if (Stored >= FRowCount) Stored -= FRowCount;
    return FItems.data() + size_t(Stored) * FRowBytes;
}

const uint8_t* TIpTerminalArray::RowPtr(int Row) const {
    return const_cast<TIpTerminalArray*>(this)->RowPtr(Row);
}

void TIpTerminalArray::Fill(uint8_t* At, int Count) {
    FillWith(At, Count, FDefault);
}

void TIpTerminalArray::FillWith(uint8_t* At, int Count, uint32_t Item) {
    if (Count <= 0) return;
    if (FItemSize == 1)
        std::memset(At, int(Item & 0xFF), size_t(Count));
    else if (FItemSize == 2)
        FillAs<uint16_t>(At, Count, Item);
    else
        FillAs<uint32_t>(At, Count, Item);
}

// New storage filled with the default item; the old rows go in from the bottom, so a change of
// the row count adds or drops rows at the top, where the history lies.
void TIpTerminalArray::Resize(int Cols, int Rows) {
    std::vector<uint8_t> Old;
    Old.swap(FItems);
    const int OldCols = FColCount, OldRows = FRowCount, OldStride = FStride, OldTop = FTop;
    FColCount = Cols;
    FRowCount = Rows;
    FStride = StrideFor(Cols, FItemSize);
    FRowBytes = size_t(FStride) * size_t(FItemSize);
    FTop = 0;
    if (Cols <= 0 || Rows <= 0) return;
    FItems.resize(size_t(Rows) * size_t(FStride) * size_t(FItemSize));
    Fill(FItems.data(), Rows * FStride);
    if (Old.empty()) return;
    const int Keep = std::min(OldRows, Rows);
    const size_t Bytes = size_t(std::min(OldCols, Cols)) * size_t(FItemSize);
    for (int I = 1; I <= Keep; ++I) {
        const size_t From =
            size_t((OldRows - I + OldTop) % OldRows) * size_t(OldStride) * size_t(FItemSize);
        std::memcpy(RowPtr(Rows - I), Old.data() + From, Bytes);
    }
}

void TIpTerminalArray::SetColCount(int Count) {
    if (Count != FColCount) Resize(Count, FRowCount);
}

void TIpTerminalArray::SetRowCount(int Count) {
    if (Count != FRowCount) Resize(FColCount, Count);
}

void TIpTerminalArray::SetDefaultItem(uint32_t Item) {
    FDefault = FItemSize == 1 ? Item & 0xFF : FItemSize == 2 ? Item & 0xFFFF : Item;
}

void TIpTerminalArray::Clear() {
    FTop = 0;
    if (!FItems.empty()) Fill(FItems.data(), FRowCount * FStride);
}

void TIpTerminalArray::ClearItems(int Row, int FromCol, int ToCol) {
    if (FItems.empty() || Row < 0 || Row >= FRowCount) return;
    FromCol = std::max(FromCol, 0);
    ToCol = std::min(ToCol, FColCount - 1);
    if (FromCol > ToCol) return;
    Fill(RowPtr(Row) + size_t(FromCol) * size_t(FItemSize), ToCol - FromCol + 1);
}

void TIpTerminalArray::DeleteItems(int Count, int Row, int Col) {
    if (FItems.empty() || Row < 0 || Row >= FRowCount || Col < 0 || Col >= FColCount || Count <= 0)
        return;
    Count = std::min(Count, FColCount - Col);
    uint8_t* At = RowPtr(Row) + size_t(Col) * size_t(FItemSize);
    const int Move = FColCount - Col - Count;
    std::memmove(At, At + size_t(Count) * size_t(FItemSize), size_t(Move) * size_t(FItemSize));
    Fill(At + size_t(Move) * size_t(FItemSize), Count);
}

void TIpTerminalArray::InsertItems(int Count, int Row, int Col) {
    if (FItems.empty() || Row < 0 || Row >= FRowCount || Col < 0 || Col >= FColCount || Count <= 0)
        return;
    Count = std::min(Count, FColCount - Col);
    uint8_t* At = RowPtr(Row) + size_t(Col) * size_t(FItemSize);
    const int Move = FColCount - Col - Count;
    std::memmove(At + size_t(Count) * size_t(FItemSize), At, size_t(Move) * size_t(FItemSize));
    Fill(At, Count);
}

void TIpTerminalArray::WriteItems(const void* Items, int Count, int Row, int Col) {
    if (FItems.empty() || Row < 0 || Row >= FRowCount || Col < 0 || Col >= FColCount || Count <= 0)
        return;
    Count = std::min(Count, FColCount - Col);
    std::memcpy(RowPtr(Row) + size_t(Col) * size_t(FItemSize), Items,
                size_t(Count) * size_t(FItemSize));
}

void TIpTerminalArray::FillItems(uint32_t Item, int Count, int Row, int Col) {
    if (FItems.empty() || Row < 0 || Row >= FRowCount || Col < 0 || Col >= FColCount || Count <= 0)
        return;
    Count = std::min(Count, FColCount - Col);
    FillWith(RowPtr(Row) + size_t(Col) * size_t(FItemSize), Count, Item);
}

void TIpTerminalArray::ReplaceItems(uint32_t OldItem, uint32_t NewItem) {
    for (int Row = 0; Row < FRowCount && !FItems.empty(); ++Row)
        for (int Col = 0; Col < FColCount; ++Col)
            if (Item(Row, Col) == OldItem)
                std::memcpy(RowPtr(Row) + size_t(Col) * size_t(FItemSize), &NewItem,
                            size_t(FItemSize));
}

void TIpTerminalArray::ScrollRows(int Count, int First, int Last) {
    if (FItems.empty() || Count == 0) return;
    if (First > Last) std::swap(First, Last);
    First = std::max(First, 0);
    Last = std::min(Last, FRowCount - 1);
    if (First > Last) return;
    const int Range = Last - First + 1;
    const int Shift = Count > 0 ? Count : -Count;
    if (Shift >= Range) {
        for (int Row = First; Row <= Last; ++Row) Fill(RowPtr(Row), FStride);
        return;
    }
    const size_t RowBytes = size_t(FStride) * size_t(FItemSize);
    if (Range == FRowCount) {
        // Every row moves: turn the ring instead of copying.
        FTop = Count > 0 ? (FTop + Shift) % FRowCount : (FTop + FRowCount - Shift) % FRowCount;
        const int From = Count > 0 ? FRowCount - Shift : 0;
        for (int Row = From; Row < From + Shift; ++Row) Fill(RowPtr(Row), FStride);
        return;
    }
    if (Count > 0) {
        for (int Row = First; Row <= Last - Shift; ++Row)
            std::memcpy(RowPtr(Row), RowPtr(Row + Shift), RowBytes);
        for (int Row = Last - Shift + 1; Row <= Last; ++Row) Fill(RowPtr(Row), FStride);
    } else {
        for (int Row = Last; Row >= First + Shift; --Row)
            std::memcpy(RowPtr(Row), RowPtr(Row - Shift), RowBytes);
        for (int Row = First; Row < First + Shift; ++Row) Fill(RowPtr(Row), FStride);
    }
}

void* TIpTerminalArray::GetItemPtr(int Row, int Col) {
    if (FItemSize != 1 && FItemSize != 2 && FItemSize != 4)
        throw Exception("TIpTerminalArray.GetItemPtr: invalid item size");
    if (FItems.empty() || Row < 0 || Row >= FRowCount || Col < 0 || Col >= FColCount)
        return nullptr;
    return RowPtr(Row) + size_t(Col) * size_t(FItemSize);
}

uint32_t TIpTerminalArray::Item(int Row, int Col) const {
    if (FItems.empty() || Row < 0 || Row >= FRowCount || Col < 0 || Col >= FColCount) return 0;
    uint32_t Value = 0;
    std::memcpy(&Value, RowPtr(Row) + size_t(Col) * size_t(FItemSize), size_t(FItemSize));
    return Value;
}

#pragma once
// The growable arrays of the table layout. Reading outside an array answers nothing (0 or no
// rectangle), so columns and grid rows that a table never filled read as empty; writing grows
// the array to the index in steps of 64.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "htmlview/html/IpHtmlTypes.h"

class TIntArr {
  public:
    int32_t operator[](int64_t Index) const {
        return Index >= 0 && size_t(Index) < FValues.size() ? FValues[size_t(Index)] : 0;
    }
    // Writing at a negative index does nothing.
    void Set(int64_t Index, int32_t Value) {
        if (Index < 0) return;
        if (size_t(Index) >= FValues.size()) FValues.resize((size_t(Index) / 64 + 1) * 64, 0);
        FValues[size_t(Index)] = Value;
    }
    void Clear() { FValues.clear(); }

  private:
    std::vector<int32_t> FValues;
};

// References to rectangles, by column.
class TRectArr {
  public:
    TIpHtmlRect* operator[](int64_t Index) const {
        return Index >= 0 && size_t(Index) < FRects.size() ? FRects[size_t(Index)] : nullptr;
    }
    void Set(int64_t Index, TIpHtmlRect* Rect) {
        if (Index < 0) return;
        if (size_t(Index) >= FRects.size()) FRects.resize((size_t(Index) / 64 + 1) * 64, nullptr);
        FRects[size_t(Index)] = Rect;
    }
    const std::vector<TIpHtmlRect*>& Rects() const { return FRects; }

  private:
    std::vector<TIpHtmlRect*> FRects;
};

// Rows of rectangle references; asking for a row makes it, deleting one moves the later rows up.
class TRectRectArr {
  public:
    TRectArr& Row(size_t Index) {
        if (Index >= FRows.size()) FRows.resize(Index + 1);
        return FRows[Index];
    }
    void DeleteRow(size_t Index) {
        if (Index < FRows.size()) FRows.erase(FRows.begin() + std::ptrdiff_t(Index));
    }
    void Clear() { FRows.clear(); }

  private:
    std::deque<TRectArr> FRows;
};

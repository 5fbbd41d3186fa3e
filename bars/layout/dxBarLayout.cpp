#include "bars/layout/dxBarLayout.h"

#include <algorithm>

namespace {

// Places items [Start, End) of a finished row across its thickness.
void FinishRow(TdxBarLayoutResult& R, const std::vector<TdxBarLayoutItem>& Items, int Start,
               int End, int RowOffset, int RowThickness, const TdxBarLayoutParams& P) {
    if (End <= Start) return;
    const int T = P.CanWrap ? RowThickness : P.Thickness;
    for (int I = Start; I < End; ++I) {
        TdxBarLayoutPlace& Place = R.Places[size_t(I)];
        const int Thick = Items[size_t(I)].Thickness;
        const int Along = Place.Rect.Left;  // kept here until the row is done
        const int Len = Place.Rect.Right - Place.Rect.Left;
        int Across;
        if (!P.CanWrap)
            Across = (T - Thick) / 2;
        else if (P.Vertical)
            // Columns stack from the right edge leftward.
            Across = P.ClientWidth - RowOffset - Thick - (T - Thick) / 2;
        else
            Across = RowOffset + (T - Thick) / 2;
        Place.RowThickness = T;
        Place.Rect = P.Vertical ? TRect{Across, Along, Across + Thick, Along + Len}
                                : TRect{Along, Across, Along + Len, Across + Thick};
    }
    R.Places[size_t(End - 1)].LastInRow = true;
}

int SeparatorBefore(const TdxBarLayoutItem& Item, bool FirstInRow, int GroupSize) {
    return !FirstInRow && Item.BeginGroup ? GroupSize : 0;
}

}  // namespace

TdxBarLayoutResult PlaceItems(const std::vector<TdxBarLayoutItem>& Items,
                              const TdxBarLayoutParams& P) {
    TdxBarLayoutResult R;
    R.Places.resize(Items.size());
    const int Count = int(Items.size());
    int Pos = 0, RowStart = 0, RowOffset = 0, RowThickness = 0, End = 0;
    for (int I = 0; I < Count; ++I) {
        const TdxBarLayoutItem& It = Items[size_t(I)];
        int Sep = SeparatorBefore(It, Pos == 0, P.GroupSize);
        const bool Wraps =
            Pos > 0 && (Pos + Sep + It.Length > P.LineLength || (P.CanWrap && It.NewRow));
        if (Wraps) {
            if (!P.CanWrap) {
                R.HiddenItems = true;
                break;
            }
            FinishRow(R, Items, RowStart, I, RowOffset, RowThickness, P);
            RowOffset += RowThickness + (It.BeginGroup ? P.GroupSize : 0);
            RowStart = I;
            Pos = 0;
            RowThickness = 0;
            Sep = 0;
            R.Places[size_t(I)].StartsRow = true;
        }
        int At = Pos + Sep, Len = It.Length;
        const bool Aligned = P.CanAlign && !P.CanWrap && It.Align != iaLeft;
        if (Aligned) {
            const int Rest = P.LineLength - At;
            if (It.Align == iaCenter) At += (Rest - Len) / 2;
            if (It.Align == iaRight) At = P.LineLength - Len;
            if (It.Align == iaClient) Len = std::max(Len, Rest);
        }
        // The rectangle holds the place along the line until its row is finished.
        R.Places[size_t(I)].Rect = TRect{At, 0, At + Len, 0};
        R.Places[size_t(I)].Placed = true;
        ++R.PlacedCount;
        RowThickness = std::max(RowThickness, It.Thickness);
        Pos = Pos + Sep + It.Length;
        End = I + 1;
        if (Aligned) {
            // An aligned item takes the rest of the line.
            if (I + 1 < Count) R.HiddenItems = true;
            break;
        }
    }
    FinishRow(R, Items, RowStart, End, RowOffset, RowThickness, P);
    return R;
}

TdxBarWrapResult WrapItems(std::vector<TdxBarLayoutItem>& Items, int Length, int GroupSize) {
    TdxBarWrapResult R;
    const int Count = int(Items.size());
    for (TdxBarLayoutItem& It : Items) It.NewRow = false;
    if (Count == 0) return R;
    std::vector<std::pair<int, int>> Rows;
    int RowStart = 0, Pos = 0, I = 0;
    bool NextGroupBreaks = false;
    while (I < Count) {
        const TdxBarLayoutItem& It = Items[size_t(I)];
        const bool First = I == RowStart;
        const int Sep = SeparatorBefore(It, First, GroupSize);
        int Break = -1;
        if (!First && NextGroupBreaks && It.BeginGroup) {
            Break = I;
            NextGroupBreaks = false;
        } else if (!First && Pos + Sep + It.Length > Length) {
            int LastGroup = -1;
            // The item that does not fit counts: a group start moves to the new row whole.
            for (int K = RowStart + 1; K <= I; ++K)
                if (Items[size_t(K)].BeginGroup) LastGroup = K;
            if (LastGroup >= 0) {
                Break = LastGroup;
            } else {
                Break = I;
                NextGroupBreaks = true;
            }
        }
        if (Break >= 0) {
            Rows.push_back({RowStart, Break});
            RowStart = I = Break;
            Items[size_t(Break)].NewRow = true;
            Pos = 0;
            continue;
        }
        Pos += Sep + It.Length;
        ++I;
    }
    Rows.push_back({RowStart, Count});
    for (size_t Row = 0; Row < Rows.size(); ++Row) {
        const auto [Start, End] = Rows[Row];
        int Len = 0, Thick = 0;
        for (int K = Start; K < End; ++K) {
            Len +=
                SeparatorBefore(Items[size_t(K)], K == Start, GroupSize) + Items[size_t(K)].Length;
            Thick = std::max(Thick, Items[size_t(K)].Thickness);
        }
        R.Length = std::max(R.Length, Len);
        R.Thickness += Thick + (Row > 0 && Items[size_t(Start)].BeginGroup ? GroupSize : 0);
    }
    R.RowCount = int(Rows.size());
    return R;
}

int LineLengthOf(const std::vector<TdxBarLayoutItem>& Items, int GroupSize) {
    int Len = 0;
    for (size_t I = 0; I < Items.size(); ++I)
        Len += SeparatorBefore(Items[I], I == 0, GroupSize) + Items[I].Length;
    return Len;
}

int FittingItemCount(const std::vector<TdxBarLayoutItem>& Items, int Length, int GroupSize,
                     int Reserve) {
    const int Count = int(Items.size());
    int Fitting = Count > 0 ? 1 : 0, Len = 0;
    for (int C = 1; C <= Count; ++C) {
        Len +=
            SeparatorBefore(Items[size_t(C - 1)], C == 1, GroupSize) + Items[size_t(C - 1)].Length;
        if (Len + (C < Count ? Reserve : 0) <= Length) Fitting = C;
    }
    return Fitting;
}

// A sweep from left to right over the rectangles' edges. While it passes a rectangle, the
// rectangle's rows are kept among the active ones of its list; one that starts is checked only
// against the active rows of the other list that overlap its own.
#include "platform/core/Overlaps.h"

#include <algorithm>
#include <cstdint>

namespace {

// Intervals [Lo, Hi) of row numbers (indices into the sorted distinct edges), some of them
// active, asked which of the active ones overlap a given interval. Two intervals overlap when
// one contains the other's start: the covering tree finds the active intervals that contain a
// point, the starts tree those that start inside an interval.
class TActiveRows {
  public:
    TActiveRows(size_t Rows, size_t Count) {
        while (FLeaves < Rows) FLeaves *= 2;
        FCover.resize(2 * FLeaves);
        FStarting.resize(FLeaves);
        FStarts.assign(2 * FLeaves, 0);
        FItems.resize(Count);
    }

    void Insert(int Id, int Lo, int Hi) {
        TItem& Item = FItems[size_t(Id)];
        Item.Lo = Lo;
        Item.SlotsBegin = FSlots.size();
        for (size_t L = size_t(Lo) + FLeaves, R = size_t(Hi) + FLeaves; L < R; L /= 2, R /= 2) {
            if (L & 1) Cover(Id, L++);
            if (R & 1) Cover(Id, --R);
        }
        Item.SlotsEnd = FSlots.size();
        std::vector<int>& Here = FStarting[size_t(Lo)];
        Item.StartAt = Here.size();
        Here.push_back(Id);
        for (size_t N = size_t(Lo) + FLeaves; N >= 1; N /= 2) ++FStarts[N];
    }

    void Remove(int Id) {
        const TItem& Item = FItems[size_t(Id)];
        for (size_t S = Item.SlotsBegin; S < Item.SlotsEnd; ++S) {
            std::vector<TEntry>& List = FCover[FSlots[S].Node];
            const TEntry Last = List.back();
            List[FSlots[S].At] = Last;
            FSlots[Last.Slot].At = FSlots[S].At;
            List.pop_back();
        }
        std::vector<int>& Here = FStarting[size_t(Item.Lo)];
        const int Last = Here.back();
        Here[Item.StartAt] = Last;
        FItems[size_t(Last)].StartAt = Item.StartAt;
        Here.pop_back();
        for (size_t N = size_t(Item.Lo) + FLeaves; N >= 1; N /= 2) --FStarts[N];
    }

    // Report(Id) for every active interval that overlaps [Lo, Hi).
    template <class F>
    void Overlapping(int Lo, int Hi, F&& Report) const {
        for (size_t N = size_t(Lo) + FLeaves; N >= 1; N /= 2)
            for (const TEntry& E : FCover[N]) Report(E.Id);
        for (size_t L = size_t(Lo) + 1 + FLeaves, R = size_t(Hi) + FLeaves; L < R; L /= 2, R /= 2) {
            if (L & 1) Starting(L++, Report);
            if (R & 1) Starting(--R, Report);
        }
    }

  private:
    struct TEntry {
        int Id;
        size_t Slot;
    };
    struct TSlot {
        size_t Node;
        size_t At;
    };
    struct TItem {
        int Lo = 0;
        size_t SlotsBegin = 0;
        size_t SlotsEnd = 0;
        size_t StartAt = 0;
    };

    void Cover(int Id, size_t Node) {
        FSlots.push_back(TSlot{Node, FCover[Node].size()});
        FCover[Node].push_back(TEntry{Id, FSlots.size() - 1});
    }

    // Every active interval starting in the rows below Node; empty subtrees are not entered.
    template <class F>
    void Starting(size_t Node, F& Report) const {
        if (FStarts[Node] == 0) return;
        if (Node >= FLeaves) {
            for (int Id : FStarting[Node - FLeaves]) Report(Id);
            return;
        }
        Starting(2 * Node, Report);
        Starting(2 * Node + 1, Report);
    }

    size_t FLeaves = 1;
    std::vector<std::vector<TEntry>> FCover;  // tree node: intervals it covers whole
    std::vector<std::vector<int>> FStarting;  // row: active intervals starting there
    std::vector<int> FStarts;                 // tree node: active intervals starting below it
    std::vector<TItem> FItems;
    std::vector<TSlot> FSlots;  // the covering nodes of each interval, in insertion order
};

struct TEdge {
    LONG X;
    bool Start;  // at the same x, rectangles end before others start: they only touch
    int List;
    int Id;
};

}  // namespace

void ForEachOverlap(const std::vector<RECT>& A, const std::vector<RECT>& B,
                    const std::function<void(size_t, size_t)>& Pair) {
    if (A.empty() || B.empty()) return;
    const std::vector<RECT>* Lists[2] = {&A, &B};
    std::vector<LONG> Rows;
    std::vector<TEdge> Edges;
    for (int List = 0; List < 2; ++List)
        for (size_t I = 0; I < Lists[List]->size(); ++I) {
            const RECT& R = (*Lists[List])[I];
            if (R.left >= R.right || R.top >= R.bottom) continue;
            Rows.push_back(R.top);
            Rows.push_back(R.bottom);
            Edges.push_back(TEdge{R.left, true, List, int(I)});
            Edges.push_back(TEdge{R.right, false, List, int(I)});
        }
    std::sort(Rows.begin(), Rows.end());
    Rows.erase(std::unique(Rows.begin(), Rows.end()), Rows.end());
    std::sort(Edges.begin(), Edges.end(), [](const TEdge& L, const TEdge& R) {
        return L.X != R.X ? L.X < R.X : L.Start < R.Start;
    });
    const auto Row = [&Rows](LONG Y) {
        return int(std::lower_bound(Rows.begin(), Rows.end(), Y) - Rows.begin());
    };
    TActiveRows Active[2] = {TActiveRows(Rows.size(), A.size()),
                             TActiveRows(Rows.size(), B.size())};
    for (const TEdge& E : Edges) {
        if (!E.Start) {
            Active[E.List].Remove(E.Id);
            continue;
        }
        const RECT& R = (*Lists[E.List])[size_t(E.Id)];
        const int Lo = Row(R.top);
        const int Hi = Row(R.bottom);
        Active[1 - E.List].Overlapping(Lo, Hi, [&](int Other) {
            if (E.List == 0)
                Pair(size_t(E.Id), size_t(Other));
            else
                Pair(size_t(Other), size_t(E.Id));
        });
        Active[E.List].Insert(E.Id, Lo, Hi);
    }
}

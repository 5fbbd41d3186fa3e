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
// point, the starts tree those that start inside an interval. Every list is a chain through flat
// arrays, so that nothing is allocated while the sweep goes on.
class TActiveRows {
  public:
    TActiveRows(size_t Rows, size_t Count) {
        while (FLeaves < Rows) FLeaves *= 2;
        FCoverHead.assign(2 * FLeaves, kNone);
        FStartHead.assign(FLeaves, kNone);
        FStarts.assign(2 * FLeaves, 0);
        FItems.resize(Count);
        FLinks.reserve(Count * 4);
    }

    void Insert(int Id, int Lo, int Hi) {
        TItem& Item = FItems[size_t(Id)];
        Item.Lo = Lo;
        Item.LinksBegin = uint32_t(FLinks.size());
        for (size_t L = size_t(Lo) + FLeaves, R = size_t(Hi) + FLeaves; L < R; L /= 2, R /= 2) {
            if (L & 1) Cover(Id, L++);
            if (R & 1) Cover(Id, --R);
        }
        Item.LinksEnd = uint32_t(FLinks.size());
        Item.Prev = kNone;
        Item.Next = FStartHead[size_t(Lo)];
        if (Item.Next != kNone) FItems[Item.Next].Prev = uint32_t(Id);
        FStartHead[size_t(Lo)] = uint32_t(Id);
        for (size_t N = size_t(Lo) + FLeaves; N >= 1; N /= 2) ++FStarts[N];
    }

    void Remove(int Id) {
        const TItem& Item = FItems[size_t(Id)];
        for (uint32_t K = Item.LinksBegin; K < Item.LinksEnd; ++K) {
            const TLink& Link = FLinks[K];
            (Link.Prev == kNone ? FCoverHead[Link.Node] : FLinks[Link.Prev].Next) = Link.Next;
            if (Link.Next != kNone) FLinks[Link.Next].Prev = Link.Prev;
        }
        (Item.Prev == kNone ? FStartHead[size_t(Item.Lo)] : FItems[Item.Prev].Next) = Item.Next;
        if (Item.Next != kNone) FItems[Item.Next].Prev = Item.Prev;
        for (size_t N = size_t(Item.Lo) + FLeaves; N >= 1; N /= 2) --FStarts[N];
    }

    // Report(Id) for every active interval that overlaps [Lo, Hi).
    template <class F>
    void Overlapping(int Lo, int Hi, F&& Report) const {
        for (size_t N = size_t(Lo) + FLeaves; N >= 1; N /= 2)
            for (uint32_t K = FCoverHead[N]; K != kNone; K = FLinks[K].Next) Report(FLinks[K].Id);
        for (size_t L = size_t(Lo) + 1 + FLeaves, R = size_t(Hi) + FLeaves; L < R; L /= 2, R /= 2) {
            if (L & 1) Starting(L++, Report);
            if (R & 1) Starting(--R, Report);
        }
    }

  private:
    static constexpr uint32_t kNone = UINT32_MAX;

    // One interval in the list of one tree node that it covers whole.
    struct TLink {
        int Id;
        uint32_t Node;
        uint32_t Prev;
        uint32_t Next;
    };
    struct TItem {
        int Lo = 0;
        uint32_t LinksBegin = 0;
        uint32_t LinksEnd = 0;
        uint32_t Prev = kNone;  // the list of active intervals starting in the same row
        uint32_t Next = kNone;
    };

    void Cover(int Id, size_t Node) {
        const auto K = uint32_t(FLinks.size());
        FLinks.push_back(TLink{Id, uint32_t(Node), kNone, FCoverHead[Node]});
        if (FCoverHead[Node] != kNone) FLinks[FCoverHead[Node]].Prev = K;
        FCoverHead[Node] = K;
    }

    // Every active interval starting in the rows below Node; empty subtrees are not entered.
    template <class F>
    void Starting(size_t Node, F& Report) const {
        if (FStarts[Node] == 0) return;
        if (Node >= FLeaves) {
            for (uint32_t Id = FStartHead[Node - FLeaves]; Id != kNone; Id = FItems[Id].Next)
                Report(int(Id));
            return;
        }
        Starting(2 * Node, Report);
        Starting(2 * Node + 1, Report);
    }

    size_t FLeaves = 1;
    std::vector<uint32_t> FCoverHead;  // tree node: its first link
    std::vector<uint32_t> FStartHead;  // row: the first active interval starting there
    std::vector<int> FStarts;          // tree node: active intervals starting below it
    std::vector<TItem> FItems;
    std::vector<TLink> FLinks;  // the covering nodes of each interval, in insertion order
};

// Pairs tested one by one for each rectangle of both lists, at most, before the sweep pays.
constexpr size_t kPairsTestedOneByOne = 16;

// Dense numbers for the distinct coordinates of one axis, in their order: the coordinates less
// the smallest when they lie close together (a window's children mostly do), else their ranks.
class TAxis {
  public:
    explicit TAxis(std::vector<LONG> Values) {
        const auto [Min, Max] = std::minmax_element(Values.begin(), Values.end());
        FMin = *Min;
        const int64_t Range = int64_t(*Max) - int64_t(*Min) + 1;
        if (Range <= int64_t(4 * Values.size() + 64)) {
            FSize = size_t(Range);
            return;
        }
        std::sort(Values.begin(), Values.end());
        Values.erase(std::unique(Values.begin(), Values.end()), Values.end());
        FRanks = std::move(Values);
        FSize = FRanks.size();
    }

    size_t Size() const { return FSize; }

    int operator()(LONG V) const {
        if (FRanks.empty()) return int(int64_t(V) - int64_t(FMin));
        return int(std::lower_bound(FRanks.begin(), FRanks.end(), V) - FRanks.begin());
    }

  private:
    LONG FMin = 0;
    size_t FSize = 0;
    std::vector<LONG> FRanks;
};

struct TEdge {
    bool Start;  // at the same x, rectangles end before others start: they only touch
    int List;
    int Id;
};

}  // namespace

void ForEachOverlap(const std::vector<RECT>& A, const std::vector<RECT>& B,
                    const std::function<void(size_t, size_t)>& Pair) {
    if (A.empty() || B.empty()) return;
    // A short list against a long one (a single window placed among its siblings) is quicker
    // tested pair by pair than sorted.
    if (A.size() * B.size() <= kPairsTestedOneByOne * (A.size() + B.size())) {
        for (size_t I = 0; I < A.size(); ++I)
            for (size_t J = 0; J < B.size(); ++J) {
                RECT Both;
                if (IntersectRect(&Both, &A[I], &B[J])) Pair(I, J);
            }
        return;
    }
    const std::vector<RECT>* Lists[2] = {&A, &B};
    std::vector<LONG> Xs;
    std::vector<LONG> Ys;
    for (const std::vector<RECT>* List : Lists)
        for (const RECT& R : *List) {
            if (R.left >= R.right || R.top >= R.bottom) continue;
            Xs.insert(Xs.end(), {R.left, R.right});
            Ys.insert(Ys.end(), {R.top, R.bottom});
        }
    if (Xs.empty()) return;
    const TAxis Column(std::move(Xs));
    const TAxis Row(std::move(Ys));
    // The edges from left to right, each column's ends before its starts (a counting sort).
    std::vector<uint32_t> Before(2 * Column.Size() + 1, 0);
    const auto Slot = [&Column](LONG X, bool Start) { return 2 * size_t(Column(X)) + Start; };
    for (const std::vector<RECT>* List : Lists)
        for (const RECT& R : *List) {
            if (R.left >= R.right || R.top >= R.bottom) continue;
            ++Before[Slot(R.left, true) + 1];
            ++Before[Slot(R.right, false) + 1];
        }
    for (size_t I = 1; I < Before.size(); ++I) Before[I] += Before[I - 1];
    std::vector<TEdge> Edges(Before.back());
    for (int List = 0; List < 2; ++List)
        for (size_t I = 0; I < Lists[List]->size(); ++I) {
            const RECT& R = (*Lists[List])[I];
            if (R.left >= R.right || R.top >= R.bottom) continue;
            Edges[Before[Slot(R.left, true)]++] = TEdge{true, List, int(I)};
            Edges[Before[Slot(R.right, false)]++] = TEdge{false, List, int(I)};
        }
    TActiveRows Active[2] = {TActiveRows(Row.Size(), A.size()), TActiveRows(Row.Size(), B.size())};
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

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <utility>
#include <vector>

#include "platform/core/Overlaps.h"

namespace {

using TPairs = std::map<std::pair<size_t, size_t>, int>;

TPairs Found(const std::vector<RECT>& A, const std::vector<RECT>& B) {
    TPairs Out;
    ForEachOverlap(A, B, [&](size_t I, size_t J) { ++Out[{I, J}]; });
    return Out;
}

TPairs EachPairTested(const std::vector<RECT>& A, const std::vector<RECT>& B) {
    TPairs Out;
    for (size_t I = 0; I < A.size(); ++I)
        for (size_t J = 0; J < B.size(); ++J) {
            RECT Both;
            if (IntersectRect(&Both, &A[I], &B[J])) ++Out[{I, J}];
        }
    return Out;
}

TEST(Overlaps, EdgesThatOnlyTouchEmptyRectanglesAndSharedStarts) {
    const std::vector<RECT> A = {
        {0, 0, 10, 10},    // 0: touches B0 on the right, B1 below
        {20, 0, 30, 10},   // 1: the same top and left as B2, larger
        {5, 5, 5, 50},     // 2: empty (no width)
        {40, 40, 60, 60},  // 3: holds B3 whole
        {0, 20, 100, 21},  // 4: one row crossing B4
    };
    const std::vector<RECT> B = {
        {10, 0, 20, 10},  {0, 10, 10, 20}, {20, 0, 25, 5}, {45, 45, 50, 50},
        {50, 0, 51, 100}, {5, 5, 6, 6},    {0, 0, 0, 0},
    };
    const TPairs Once{{{0, 5}, 1}, {{1, 2}, 1}, {{3, 3}, 1}, {{3, 4}, 1}, {{4, 4}, 1}};
    EXPECT_EQ(Found(A, B), Once);
    // The same lists many times over, long enough to be swept rather than tested pair by pair.
    std::vector<RECT> ManyA, ManyB;
    TPairs Many;
    for (size_t Copy = 0; Copy < 20; ++Copy) {
        ManyA.insert(ManyA.end(), A.begin(), A.end());
        ManyB.insert(ManyB.end(), B.begin(), B.end());
    }
    for (const auto& [Pair, Times] : Once)
        for (size_t CopyA = 0; CopyA < 20; ++CopyA)
            for (size_t CopyB = 0; CopyB < 20; ++CopyB)
                Many[{Pair.first + CopyA * A.size(), Pair.second + CopyB * B.size()}] = Times;
    EXPECT_EQ(Found(ManyA, ManyB), Many);
    EXPECT_TRUE(Found(A, {}).empty());
    EXPECT_TRUE(Found({}, B).empty());
}

// Strips aligned top, bottom, left and right in turn, as alignment places panels: none overlaps
// another, though each crosses the box of many; then the same strips against themselves.
TEST(Overlaps, NestedStripsAgainstEachOtherAndThemselves) {
    std::vector<RECT> Strips;
    RECT Rest{0, 0, 1600, 1800};
    for (int I = 0; I < 400; ++I) {
        switch (I % 4) {
            case 0:
                Strips.push_back({Rest.left, Rest.top, Rest.right, Rest.top += 2});
                break;
            case 1:
                Strips.push_back({Rest.left, Rest.bottom -= 2, Rest.right, Rest.bottom + 2});
                break;
            case 2:
                Strips.push_back({Rest.left, Rest.top, Rest.left += 2, Rest.bottom});
                break;
            default:
                Strips.push_back({Rest.right -= 2, Rest.top, Rest.right + 2, Rest.bottom});
        }
    }
    std::vector<RECT> Left, Others;
    for (size_t I = 0; I < Strips.size(); ++I) (I % 4 == 2 ? Left : Others).push_back(Strips[I]);
    EXPECT_TRUE(Found(Left, Others).empty());
    const TPairs Self = Found(Strips, Strips);
    EXPECT_EQ(Self.size(), Strips.size());
    for (const auto& [Pair, Times] : Self) {
        EXPECT_EQ(Pair.first, Pair.second);
        EXPECT_EQ(Times, 1);
    }
}

// Many random rectangles, small and large, on grids of several steps so that edges often
// coincide, and spread far apart (the coordinates then numbered by rank): every overlapping pair
// once, none other.
TEST(Overlaps, SameAsTestingEachPair) {
    std::mt19937 Random(7);
    const auto Rects = [&](size_t Count, int Largest, int Step) {
        std::uniform_int_distribution<int> Coord(0, 40);
        std::uniform_int_distribution<int> Side(0, Largest);
        std::vector<RECT> Out;
        for (size_t I = 0; I < Count; ++I) {
            const int X = Coord(Random) * Step;
            const int Y = Coord(Random) * Step;
            Out.push_back({X, Y, X + Side(Random) * Step, Y + Side(Random) * Step});
        }
        return Out;
    };
    for (int Step : {1, 5, 100000}) {
        for (int Round = 0; Round < 20; ++Round) {
            const std::vector<RECT> A = Rects(1 + Round * 15, Round % 2 ? 40 : 4, Step);
            const std::vector<RECT> B = Rects(300 - Round * 10, Round % 3 ? 8 : 40, Step);
            EXPECT_EQ(Found(A, B), EachPairTested(A, B)) << "step " << Step << ", round " << Round;
        }
    }
}

}  // namespace

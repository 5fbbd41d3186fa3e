// Placing the items of a toolbar along its line or in rows, without windows; the arithmetic and
// the key table the layout and the accelerators use.
#include <gtest/gtest.h>

#include <climits>

#include "bars/layout/dxBarLayout.h"
#include "platform/classes/Mnemonics.h"
#include "platform/classes/MulDiv.h"
#include "platform/core/Input.h"
#include "platform/core/KeyboardLayout.h"

namespace {

// Items of the given lengths, 22 thick, those at GroupStarts beginning a group.
std::vector<TdxBarLayoutItem> Items(std::initializer_list<int> Lengths,
                                    std::initializer_list<int> GroupStarts = {}) {
    std::vector<TdxBarLayoutItem> Result;
    for (int Length : Lengths) Result.push_back(TdxBarLayoutItem{Length, 22, false, iaLeft, false});
    for (int Index : GroupStarts) Result[size_t(Index)].BeginGroup = true;
    return Result;
}

TdxBarLayoutParams Line(int Length, int Thickness) {
    TdxBarLayoutParams P;
    P.LineLength = Length;
    P.Thickness = Thickness;
    P.GroupSize = 6;
    P.CanAlign = true;
    return P;
}

std::vector<int> Lefts(const TdxBarLayoutResult& R) {
    std::vector<int> Out;
    for (const TdxBarLayoutPlace& P : R.Places) Out.push_back(P.Placed ? P.Rect.Left : -1);
    return Out;
}

TEST(BarLayout, ASingleLineStopsAtTheFirstItemThatDoesNotFit) {
    const TdxBarLayoutResult R = PlaceItems(Items({23, 23, 23, 23, 23}, {2}), Line(105, 26));
    EXPECT_EQ(Lefts(R), (std::vector<int>{0, 23, 52, 75, -1}));
    EXPECT_EQ(R.PlacedCount, 4);
    EXPECT_TRUE(R.HiddenItems);
    // Centred across the line's thickness.
    EXPECT_EQ(R.Places[0].Rect, (TRect{0, 2, 23, 24}));
    EXPECT_EQ(R.Places[0].RowThickness, 26);
    EXPECT_TRUE(R.Places[3].LastInRow);
    // The first item is placed even when the line is too short for it.
    EXPECT_EQ(PlaceItems(Items({50, 10}), Line(30, 26)).PlacedCount, 1);
}

TEST(BarLayout, AlignedItemsTakeTheRestOfTheLine) {
    std::vector<TdxBarLayoutItem> Set = Items({20, 30, 20});
    Set[1].Align = iaRight;
    TdxBarLayoutResult R = PlaceItems(Set, Line(200, 22));
    EXPECT_EQ(Lefts(R), (std::vector<int>{0, 170, -1}));
    EXPECT_TRUE(R.HiddenItems);  // what follows an aligned item is not placed
    Set[1].Align = iaCenter;
    EXPECT_EQ(PlaceItems(Set, Line(200, 22)).Places[1].Rect.Left, 20 + (180 - 30) / 2);
    Set[1].Align = iaClient;
    EXPECT_EQ(PlaceItems(Set, Line(200, 22)).Places[1].Rect, (TRect{20, 0, 200, 22}));
    TdxBarLayoutParams NoAlign = Line(200, 22);
    NoAlign.CanAlign = false;
    EXPECT_EQ(Lefts(PlaceItems(Set, NoAlign)), (std::vector<int>{0, 20, 50}));
}

TEST(BarLayout, RowsBreakBeforeTheLastGroupStart) {
    // 30 each, A B |C |D E on 130: D does not fit, and the row breaks before D, the last group
    // start, rather than inside a group.
    std::vector<TdxBarLayoutItem> Set = Items({30, 30, 30, 30, 30}, {2, 3});
    const TdxBarWrapResult W = WrapItems(Set, 130, 6);
    EXPECT_EQ(W.RowCount, 2);
    EXPECT_FALSE(Set[2].NewRow);
    EXPECT_TRUE(Set[3].NewRow);
    EXPECT_EQ(W.Length, 30 + 30 + 6 + 30);
    EXPECT_EQ(W.Thickness, 22 + 6 + 22);  // a separator's room between the rows
}

TEST(BarLayout, WithoutAGroupStartTheRowBreaksAtTheItemAndTheNextGroupStartsARow) {
    std::vector<TdxBarLayoutItem> Set = Items({40, 40, 40, 20, 20}, {4});
    const TdxBarWrapResult W = WrapItems(Set, 100, 6);
    // [A B] breaks at C (no group start in the row); C D fit, and E, the next group start,
    // begins a row although it would fit.
    EXPECT_TRUE(Set[2].NewRow);
    EXPECT_FALSE(Set[3].NewRow);
    EXPECT_TRUE(Set[4].NewRow);
    EXPECT_EQ(W.RowCount, 3);
    EXPECT_EQ(W.Thickness, 22 + 22 + 6 + 22);
}

TEST(BarLayout, WrappedRowsStackAndVerticalColumnsStackFromTheRight) {
    std::vector<TdxBarLayoutItem> Set = Items({30, 30, 30}, {2});
    WrapItems(Set, 70, 6);
    TdxBarLayoutParams P = Line(70, 0);
    P.CanWrap = true;
    P.CanAlign = false;
    TdxBarLayoutResult R = PlaceItems(Set, P);
    EXPECT_EQ(R.Places[2].Rect, (TRect{0, 22 + 6, 30, 22 + 6 + 22}));
    EXPECT_TRUE(R.Places[2].StartsRow);
    EXPECT_TRUE(R.Places[1].LastInRow);
    EXPECT_EQ(R.PlacedCount, 3);
    EXPECT_FALSE(R.HiddenItems);

    P.Vertical = true;
    P.ClientWidth = 60;
    R = PlaceItems(Set, P);
    // Lengths run down; the second column lies left of the first.
    EXPECT_EQ(R.Places[0].Rect, (TRect{38, 0, 60, 30}));
    EXPECT_EQ(R.Places[2].Rect, (TRect{60 - 22 - 6 - 22, 0, 60 - 22 - 6, 30}));
}

TEST(BarLayout, LineLengthsAndWhatFits) {
    const std::vector<TdxBarLayoutItem> Set = Items({23, 23, 23, 23}, {2});
    EXPECT_EQ(LineLengthOf(Set, 6), 23 * 4 + 6);
    EXPECT_EQ(FittingItemCount(Set, 98, 6, 11), 4);
    EXPECT_EQ(FittingItemCount(Set, 97, 6, 11), 3);  // 3 items need 75 and 11 for the mark
    EXPECT_EQ(FittingItemCount(Set, 80, 6, 11), 2);
    EXPECT_EQ(FittingItemCount(Set, 5, 6, 11), 1);  // never fewer than one
    EXPECT_EQ(FittingItemCount({}, 50, 6, 11), 0);
}

// ---- arithmetic and keys -------------------------------------------------------------------

TEST(BarUtils, MulDivRoundsHalvesAwayFromZeroAndRefusesZero) {
    struct TCase {
        int A, B, C, Expected;
    };
    const TCase kCases[] = {
        {10, 3, 4, 8},
        {-10, 3, 4, -8},
        {10, -3, 4, -8},
        {10, 3, -4, -8},
        {-10, -3, 4, 8},
        {25, 5, 100, 1},
        {5, 1, 2, 3},
        {-5, 1, 2, -3},
        {7, 1, 0, -1},
        {INT_MAX, 2, 2, INT_MAX},
        {INT_MIN, 1, 1, INT_MIN},
        {INT_MAX, 4, 1, -1},
        {255, 128, 255, 128},
        {100000, 100000, 100000, 100000},
    };
    for (const TCase& C : kCases)
        EXPECT_EQ(MulDiv(C.A, C.B, C.C), C.Expected) << C.A << " * " << C.B << " / " << C.C;
}

TEST(BarUtils, KeysOfCharactersOnTheUsKeyboard) {
    const std::pair<char, SHORT> kKeys[] = {
        {'a', VK_A},         {'z', VK_Z},     {'K', 0x100 | VK_K}, {'7', VK_7},
        {'&', 0x100 | VK_7}, {' ', VK_SPACE}, {',', VK_OEM_COMMA}, {'?', 0x100 | VK_OEM_2},
        {'\\', VK_OEM_5},    {'\xE4', -1},  // a letter of no key of this keyboard
        {'\0', -1},
    };
    for (auto [C, Key] : kKeys) EXPECT_EQ(VkKeyScan(C), Key) << int(C);
}

TEST(BarUtils, TheAcceleratorIsTheCharacterAfterASingleAmpersand) {
    const std::pair<const char*, size_t> kTexts[] = {
        {"&Datei", 0 + 1},
        {"K&estro", 2},
        {"Drag && Drop", std::string::npos},
        {"A&&&B", 4},
        {"a&b&c", 4},  // the last single mark counts in bars and menus
        {"Ende&", std::string::npos},
        {"", std::string::npos},
    };
    for (auto [Text, Pos] : kTexts) EXPECT_EQ(MnemonicPos(Text, TMnemonicMark::Last), Pos) << Text;
}

}  // namespace

// Where alignment and anchors put children, as plain geometry.
#include <gtest/gtest.h>

#include "platform/widgets/Align.h"

namespace {

TEST(Align, EdgesFillInOrderAndTheClientTakesTheRest) {
    // Two at the top in the order of their tops (not of the list), one at each other edge.
    std::vector<TAlignItem> Items{
        {alTop, TRect{0, 50, 10, 70}},   {alTop, TRect{0, 0, 10, 30}},
        {alBottom, TRect{0, 0, 10, 15}}, {alLeft, TRect{0, 0, 40, 10}},
        {alRight, TRect{0, 0, 25, 10}},  {alClient, TRect{1, 2, 3, 4}},
        {alNone, TRect{5, 5, 6, 6}},
    };
    TRect Client{0, 0, 300, 200};
    AlignItems(Items, Client);
    EXPECT_EQ(Items[1].Bounds, (TRect{0, 0, 300, 30}));
    EXPECT_EQ(Items[0].Bounds, (TRect{0, 30, 300, 50}));
    EXPECT_EQ(Items[2].Bounds, (TRect{0, 185, 300, 200}));
    EXPECT_EQ(Items[3].Bounds, (TRect{0, 50, 40, 185}));
    EXPECT_EQ(Items[4].Bounds, (TRect{275, 50, 300, 185}));
    EXPECT_EQ(Items[5].Bounds, (TRect{40, 50, 275, 185}));
    EXPECT_EQ(Items[6].Bounds, (TRect{5, 5, 6, 6}));
    EXPECT_EQ(Client, (TRect{40, 50, 275, 185}));
}

TEST(Align, TheMovedItemWinsTiesAndNothingGoesNegative) {
    std::vector<TAlignItem> Items{{alTop, TRect{0, 10, 5, 30}, false},
                                  {alTop, TRect{0, 10, 5, 25}, true}};
    TRect Client{0, 0, 100, 30};
    AlignItems(Items, Client);
    EXPECT_EQ(Items[1].Bounds, (TRect{0, 0, 100, 15}));
    // The second gets what is left, and the client rectangle stops at its bottom.
    EXPECT_EQ(Items[0].Bounds, (TRect{0, 15, 100, 35}));
    EXPECT_EQ(Client.Top, 30);
    EXPECT_EQ(Client.Bottom, 30);
}

TEST(Anchors, EachCombinationKeepsItsEdges) {
    const TRect Origin{10, 20, 60, 50};  // in a 200 x 100 parent
    struct TCase {
        TAnchors Anchors;
        TRect Expected;  // in a 300 x 160 parent
    };
    for (const TCase& C : {
             TCase{TAnchors{akLeft, akTop}, TRect{10, 20, 60, 50}},
             TCase{TAnchors{akLeft, akTop, akRight}, TRect{10, 20, 160, 50}},
             TCase{TAnchors{akRight, akBottom}, TRect{110, 80, 160, 110}},
             TCase{TAnchors{akLeft, akTop, akRight, akBottom}, TRect{10, 20, 160, 110}},
             // Neither edge: the centre (35, 35) keeps its proportion (52, 56).
             TCase{TAnchors{}, TRect{27, 41, 77, 71}},
         }) {
        EXPECT_EQ(AnchoredBounds(Origin, 200, 100, 300, 160, C.Anchors), C.Expected);
    }
    // A stretched control never gets a negative size.
    EXPECT_EQ(AnchoredBounds(Origin, 200, 100, 100, 100, TAnchors{akLeft, akRight}).Width(), 0);
    // Without a parent size at placing time the control stays where it was put.
    EXPECT_EQ(AnchoredBounds(Origin, -1, -1, 300, 160, TAnchors{akRight}), Origin);
}

}  // namespace

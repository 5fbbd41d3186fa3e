// Regions: combining, testing points and rectangles, and clipping device contexts with them.
#include <gtest/gtest.h>

#include "GdiTestSupport.h"

using namespace GdiTest;

namespace {

class RegionTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

TEST_F(RegionTest, CombineModesGiveTheExpectedPixels) {
    struct TCase {
        int Mode;
        int Result;
        std::vector<POINT> In, Out;
    };
    // A = (0,0)-(10,10), B = (5,5)-(15,15).
    const TCase Cases[] = {
        {RGN_AND, SIMPLEREGION, {{5, 5}, {9, 9}}, {{4, 4}, {10, 10}, {12, 12}}},
        {RGN_OR, COMPLEXREGION, {{0, 0}, {14, 14}, {9, 9}}, {{14, 0}, {0, 14}, {15, 15}}},
        {RGN_XOR, COMPLEXREGION, {{0, 0}, {14, 14}}, {{7, 7}, {14, 0}}},
        {RGN_DIFF, COMPLEXREGION, {{0, 0}, {9, 4}, {4, 9}}, {{5, 5}, {9, 9}, {14, 14}}},
        {RGN_COPY, SIMPLEREGION, {{0, 0}, {9, 9}}, {{10, 10}}},
    };
    for (const TCase& C : Cases) {
        const HRGN A = CreateRectRgn(0, 0, 10, 10), B = CreateRectRgn(5, 5, 15, 15);
        const HRGN D = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(CombineRgn(D, A, B, C.Mode), C.Result) << C.Mode;
        for (const POINT& P : C.In)
            EXPECT_TRUE(PtInRegion(D, P.x, P.y)) << C.Mode << " " << P.x << "," << P.y;
        for (const POINT& P : C.Out)
            EXPECT_FALSE(PtInRegion(D, P.x, P.y)) << C.Mode << " " << P.x << "," << P.y;
        DeleteObject(A);
        DeleteObject(B);
        DeleteObject(D);
    }
    // Bad handles and modes fail instead of guessing.
    const HRGN A = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(CombineRgn(A, A, 0, RGN_OR), ERROR);
    EXPECT_EQ(CombineRgn(A, A, A, 99), ERROR);
    EXPECT_EQ(CombineRgn(0, A, A, RGN_OR), ERROR);
    DeleteObject(A);
}

TEST_F(RegionTest, ShapesBoxesOffsetsAndEquality) {
    const HRGN E = CreateEllipticRgn(0, 0, 20, 10);
    RECT Box;
    EXPECT_EQ(GetRgnBox(E, &Box), COMPLEXREGION);
    EXPECT_EQ(Box.left, 0);
    EXPECT_EQ(Box.right, 20);
    EXPECT_EQ(Box.bottom, 10);
    EXPECT_TRUE(PtInRegion(E, 10, 5));
    EXPECT_FALSE(PtInRegion(E, 0, 0));  // the corner is outside the ellipse
    const RECT Corner{0, 0, 2, 2}, Middle{8, 3, 12, 7};
    EXPECT_FALSE(RectInRegion(E, &Corner));
    EXPECT_TRUE(RectInRegion(E, &Middle));

    const POINT Tri[] = {{0, 0}, {10, 0}, {0, 10}};
    const HRGN T = CreatePolygonRgn(Tri, 3, ALTERNATE);
    EXPECT_TRUE(PtInRegion(T, 1, 1));
    EXPECT_FALSE(PtInRegion(T, 9, 9));
    EXPECT_EQ(CreatePolygonRgn(nullptr, 3, ALTERNATE), 0u);

    const HRGN R = CreateRoundRectRgn(0, 0, 16, 16, 16, 16);  // the hint window's rounded shape
    EXPECT_FALSE(PtInRegion(R, 0, 0));
    EXPECT_TRUE(PtInRegion(R, 8, 0));

    const HRGN A = CreateRectRgn(0, 0, 4, 4), B = CreateRectRgn(10, 10, 14, 14);
    EXPECT_FALSE(EqualRgn(A, B));
    EXPECT_EQ(OffsetRgn(A, 10, 10), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(A, B));
    const HRGN Empty = CreateRectRgn(5, 5, 5, 9);
    EXPECT_EQ(GetRgnBox(Empty, &Box), NULLREGION);
    for (HRGN H : {E, T, R, A, B, Empty}) DeleteObject(H);
}

TEST_F(RegionTest, ClipRegionsLimitDrawing) {
    TMemDC DC(30, 30);
    const HRGN Clip = CreateRectRgn(5, 5, 25, 25);
    EXPECT_EQ(SelectClipRgn(DC.DC, Clip), SIMPLEREGION);
    // The context keeps its own copy: changing the region later changes nothing.
    OffsetRgn(Clip, 100, 100);
    EXPECT_EQ(ExcludeClipRect(DC.DC, 10, 10, 20, 20), COMPLEXREGION);
    RECT Box;
    EXPECT_EQ(GetClipBox(DC.DC, &Box), COMPLEXREGION);
    EXPECT_EQ(Box.left, 5);
    EXPECT_EQ(Box.right, 25);
    const HBRUSH Blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT All{0, 0, 30, 30};
    FillRect(DC.DC, &All, Blue);
    EXPECT_EQ(DC.At(5, 5), 0x0000FFu);
    EXPECT_EQ(DC.At(15, 15), 0xFFFFFFu);
    EXPECT_EQ(DC.At(4, 4), 0xFFFFFFu);
    EXPECT_FALSE(PtVisible(DC.DC, 15, 15));
    EXPECT_TRUE(PtVisible(DC.DC, 6, 6));
    // Selecting no region removes the clip.
    EXPECT_EQ(SelectClipRgn(DC.DC, 0), SIMPLEREGION);
    FillRect(DC.DC, &All, Blue);
    EXPECT_EQ(DC.At(15, 15), 0x0000FFu);
    DeleteObject(Blue);
    DeleteObject(Clip);
}

TEST_F(RegionTest, FillAndFrameRegions) {
    TMemDC DC(20, 20);
    const HRGN R = CreateRectRgn(2, 2, 12, 12);
    const HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
    ASSERT_TRUE(FrameRgn(DC.DC, R, Red, 2, 1));
    EXPECT_EQ(DC.At(2, 2), 0xFF0000u);
    EXPECT_EQ(DC.At(3, 5), 0xFF0000u);  // two pixels wide at the sides
    EXPECT_EQ(DC.At(4, 5), 0xFFFFFFu);
    EXPECT_EQ(DC.At(5, 3), 0xFFFFFFu);  // one pixel high at top and bottom
    EXPECT_EQ(DC.At(11, 11), 0xFF0000u);
    ASSERT_TRUE(InvertRgn(DC.DC, R));
    EXPECT_EQ(DC.At(2, 2), 0x00FFFFu);
    EXPECT_EQ(DC.At(5, 5), 0x000000u);
    DeleteObject(Red);
    DeleteObject(R);
}

}  // namespace

#include <gtest/gtest.h>

#include <climits>

#include "platform/classes/MulDiv.h"

namespace {

TEST(MulDiv, RoundsHalvesAwayFromZeroWhateverTheSigns) {
    struct TCase {
        int A, B, C, Expected;
    };
    const TCase kCases[] = {
        {10, 3, 4, 8},        {-10, 3, 4, -8},   {10, -3, 4, -8},    {10, 3, -4, -8},
        {-10, 3, -4, 8},      {-10, -3, -4, -8}, {5, 1, 2, 3},       {-5, 1, 2, -3},
        {5, 1, -2, -3},       {7, 1, 3, 2},      {8, 1, 3, 3},       {-8, 1, 3, -3},
        {12, 72, 96, 9},      {11, 96, 72, 15},  {-11, 96, 72, -15}, {0, 5, -7, 0},
        {255, 128, 255, 128},
    };
    for (const TCase& C : kCases)
        EXPECT_EQ(MulDiv(C.A, C.B, C.C), C.Expected) << C.A << " * " << C.B << " / " << C.C;
}

TEST(MulDiv, NoDivisorOrNoRoomIsMinusOne) {
    EXPECT_EQ(MulDiv(7, 1, 0), -1);
    EXPECT_EQ(MulDiv(0, 0, 0), -1);
    EXPECT_EQ(MulDiv(INT_MAX, 4, 1), -1);
    EXPECT_EQ(MulDiv(INT_MIN, 2, 1), -1);
    EXPECT_EQ(MulDiv(INT_MIN, -1, 1), -1);
    // The product may be far beyond an int as long as the quotient is not.
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
    EXPECT_EQ(MulDiv(INT_MIN, INT_MAX, INT_MAX), INT_MIN);
    EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);
}

}  // namespace

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/classes/FlagScope.h"

namespace {

TEST(FlagScope, SetsTheFlagForTheScopeAndClearsItAfterwards) {
    bool Flag = false;
    {
        const TFlagScope Scope(Flag);
        EXPECT_TRUE(Flag);
    }
    EXPECT_FALSE(Flag);
    // An inner scope of the same flag clears it: the outer work sees it cleared from then on.
    {
        const TFlagScope Outer(Flag);
        { const TFlagScope Inner(Flag); }
        EXPECT_FALSE(Flag);
    }
    EXPECT_FALSE(Flag);
}

TEST(FlagScope, NestedGivesBackTheEarlierValue) {
    bool Flag = false;
    {
        const auto Outer = TFlagScope::Nested(Flag);
        {
            const auto Inner = TFlagScope::Nested(Flag);
            EXPECT_TRUE(Flag);
        }
        EXPECT_TRUE(Flag);
    }
    EXPECT_FALSE(Flag);
}

TEST(FlagScope, AnExceptionLeavingTheScopeClearsTheFlag) {
    bool Flag = false, Saved = false;
    EXPECT_THROW(
        {
            const TFlagScope Scope(Flag);
            throw std::runtime_error("work failed");
        },
        std::runtime_error);
    EXPECT_FALSE(Flag);
    EXPECT_THROW(
        {
            const auto Scope = TFlagScope::Nested(Saved);
            throw std::runtime_error("work failed");
        },
        std::runtime_error);
    EXPECT_FALSE(Saved);
}

}  // namespace

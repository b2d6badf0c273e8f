#include <gtest/gtest.h>

#include "ui/gradient.h"

namespace setup {
namespace {

TEST(Gradient, PenIndexRunsFromZeroToSixtyTwoOverAnyHeight) {
    for (int height : {1, 2, 63, 64, 480, 600, 768, 1080, 1200, 2160}) {
        SCOPED_TRACE(height);
        EXPECT_EQ(GradientPenIndex(0, height, 1, 32), 0);
        int previous = 0;
        for (int y = 0; y < height; ++y) {
            int index = GradientPenIndex(y, height, 1, 32);
            EXPECT_EQ(index, (63 * y) / height);
            EXPECT_GE(index, previous);
            EXPECT_LE(index, 62);
            previous = index;
        }
    }
    EXPECT_EQ(GradientPenIndex(12, 768, 1, 24), 0);
    EXPECT_EQ(GradientPenIndex(13, 768, 1, 24), 1);
    EXPECT_EQ(GradientPenIndex(384, 768, 1, 24), 31);
    EXPECT_EQ(GradientPenIndex(767, 768, 1, 24), 62);
}

TEST(Gradient, BelowTwentyFourBitsTheWholeAreaIsPenThirtyTwo) {
    for (auto [planes, bits] : {std::pair{1, 16}, std::pair{1, 8}, std::pair{4, 4}, std::pair{1, 1}}) {
        for (int y : {0, 100, 767}) EXPECT_EQ(GradientPenIndex(y, 768, planes, bits), 32);
    }
    EXPECT_EQ(GradientPenColor(32), 0x680000u);
    EXPECT_EQ(GradientPenIndex(5, 768, 3, 8), 0);  // 3 planes x 8 bits counts as 24
}

TEST(Gradient, PenColoursDarkenByThreePerStep) {
    EXPECT_EQ(GradientPenColor(0), 0xC80000u);
    EXPECT_EQ(GradientPenColor(1), 0xC50000u);
    EXPECT_EQ(GradientPenColor(63), 0x0B0000u);
}

}  // namespace
}  // namespace setup

#include <gtest/gtest.h>

#include "ui/gradient.h"

namespace setup {
namespace {

TEST(Gradient, SixtyFourShadesFromTheTopOrOneFlatBlueBelowTwentyFourBits) {
    for (int height : {1, 63, 64, 768, 2160}) {
        for (int y = 0; y < height; ++y) ASSERT_EQ(GradientPenIndex(y, height, 1, 32), 63 * y / height) << height;
    }
    EXPECT_EQ(GradientPenIndex(13, 768, 1, 24), 1);
    EXPECT_EQ(GradientPenIndex(0, 0, 1, 32), 0);
    EXPECT_EQ(GradientPenIndex(5, 768, 3, 8), 0);  // 3 planes x 8 bits counts as 24
    for (auto [planes, bits] : {std::pair{1, 16}, std::pair{4, 4}, std::pair{2, 11}})
        EXPECT_EQ(GradientPenIndex(0, 768, planes, bits), 32);
    EXPECT_EQ(GradientPenColor(0), 0xC80000u);
    EXPECT_EQ(GradientPenColor(32), 0x680000u);
    EXPECT_EQ(GradientPenColor(63), 0x0B0000u);
}

}  // namespace
}  // namespace setup

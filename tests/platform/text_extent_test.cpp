// The box a text's glyphs can fill, known from its advance: where each
// alignment puts it, and how a slant, a mirror and a turn move it.
#include "platform/text_extent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using namespace platform;

TextFont Font(TextAlign align) {
    TextFont font;
    font.height = 10;
    font.align = align;
    return font;
}

TEST(TextExtentTest, TheAlignmentPutsTheAdvanceAheadBehindOrAboutTheAnchor) {
    const TextExtent left = TextExtentOf(100, Font(TextAlign::Left));
    EXPECT_GE(left.behind, 10); // side bearings of a first letter
    EXPECT_GE(left.ahead, 110);
    EXPECT_GE(left.across, 15); // accents above, descenders below the capitals
    EXPECT_LT(left.ahead, 130);
    const TextExtent right = TextExtentOf(100, Font(TextAlign::Right));
    EXPECT_EQ(right.behind, left.ahead);
    EXPECT_EQ(right.ahead, left.behind);
    const TextExtent centre = TextExtentOf(100, Font(TextAlign::Centre));
    EXPECT_EQ(centre.behind, centre.ahead);
    EXPECT_EQ(centre.ahead, left.ahead - 50);
    // Mirrored by a negative width factor, the advance runs the other way.
    EXPECT_EQ(TextExtentOf(-100, Font(TextAlign::Left)).behind, left.ahead);
}

TEST(TextExtentTest, ASlantWidensTheBoxAndNothingFiniteMakesItEndless) {
    TextFont slanted = Font(TextAlign::Left);
    slanted.oblique = 30;
    const TextExtent plain = TextExtentOf(100, Font(TextAlign::Left));
    const TextExtent leaning = TextExtentOf(100, slanted);
    EXPECT_GT(leaning.ahead, plain.ahead + 5);
    EXPECT_GT(leaning.behind, plain.behind + 5);
    slanted.oblique = 90; // no face leans so far: taken as the steepest there is
    EXPECT_TRUE(std::isfinite(TextExtentOf(100, slanted).ahead));
    TextFont broken = Font(TextAlign::Left);
    broken.height = NAN;
    const TextExtent none = TextExtentOf(INFINITY, broken);
    EXPECT_EQ(none.ahead, 0);
    EXPECT_EQ(none.across, 0);
}

TEST(TextExtentTest, CornersTurnWithTheTextOnPagesOfEitherAxis) {
    TextFont turned = Font(TextAlign::Left);
    turned.rotation = 90;
    const TextExtent extent{5, 100, 15};
    const auto ys = [](const std::array<DevicePoint, 4>& corners) {
        const auto [low, high] = std::minmax_element(
            corners.begin(), corners.end(),
            [](const DevicePoint& a, const DevicePoint& b) { return a.y < b.y; });
        return std::pair{low->y, high->y};
    };
    // Turned a quarter, the text runs up the page: up the rows of a device.
    const auto [top, bottom] = ys(TextExtentCorners(extent, turned, {50, 200}, false));
    EXPECT_NEAR(top, 100, 1e-9);
    EXPECT_NEAR(bottom, 205, 1e-9);
    const auto [low, high] = ys(TextExtentCorners(extent, turned, {50, 200}, true));
    EXPECT_NEAR(low, 195, 1e-9);
    EXPECT_NEAR(high, 300, 1e-9);
}

} // namespace

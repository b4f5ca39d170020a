// Moving a picture's pixels as a scroll does: within its area only, every
// way, what is uncovered left as it was.
#include "render/pixel_rows.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::DeviceRect;
using render::PixelWindow;

// A 12 x 10 picture whose every pixel tells where it was: 100 * y + x.
struct Numbered {
    Numbered() : pixels(12 * 10) {
        for (uint32_t y = 0; y < 10; ++y) {
            for (uint32_t x = 0; x < 12; ++x)
                pixels[y * 12 + x] = 100 * y + x;
        }
    }
    uint32_t At(int x, int y) const { return pixels[y * 12 + x]; }
    PixelWindow Whole() { return {pixels.data(), 12, 0, 0, 12, 10}; }
    std::vector<uint32_t> pixels;
};

TEST(PixelRowsTest, APictureMovesWithinItsAreaEveryWay) {
    const DeviceRect area{2, 1, 10, 9}; // columns 2 to 9, rows 1 to 8
    for (const auto& [dx, dy] : {std::pair{3, 2}, {-3, -2}, {0, -4}, {5, 0}}) {
        Numbered picture;
        const Numbered before;
        render::MovePixels(picture.Whole(), area, dx, dy);
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 12; ++x) {
                const bool inside = x >= 2 && x < 10 && y >= 1 && y < 9;
                const bool from = x - dx >= 2 && x - dx < 10 && y - dy >= 1 && y - dy < 9;
                const uint32_t expected =
                    inside && from ? before.At(x - dx, y - dy) : before.At(x, y);
                ASSERT_EQ(picture.At(x, y), expected)
                    << dx << ", " << dy << " at " << x << ", " << y;
            }
        }
    }
}

TEST(PixelRowsTest, AMoveAsLargeAsTheAreaOrAnAreaOutsideChangesNothing) {
    Numbered picture;
    const Numbered before;
    render::MovePixels(picture.Whole(), {2, 1, 10, 9}, 8, 0);
    render::MovePixels(picture.Whole(), {20, 20, 30, 30}, 1, 1);
    render::MovePixels(picture.Whole(), {-5, -5, 3, 3}, 1, 1); // cut to the picture first
    EXPECT_EQ(picture.At(2, 2), before.At(1, 1));
    EXPECT_EQ(picture.At(5, 5), before.At(5, 5));
    EXPECT_EQ(picture.At(0, 0), before.At(0, 0));
}

} // namespace

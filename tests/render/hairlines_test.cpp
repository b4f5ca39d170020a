// One-pixel lines straight into pixel rows: where they land, their dashes,
// and that a line painted in parts is the line painted whole.
#include "render/hairlines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

using platform::DevicePoint;
using render::HairlinePainter;
using render::PixelWindow;

constexpr uint32_t kInk = 0xff000000;
constexpr uint32_t kPaper = 0xffffffff;

// A picture of paper with the window of it that may be painted.
struct Picture {
    Picture(int width, int height) : width(width), height(height), pixels(width * height, kPaper) {}

    PixelWindow Window(int left, int top, int right, int bottom) {
        return {pixels.data(), width, left, top, right, bottom};
    }
    PixelWindow Whole() { return Window(0, 0, width, height); }
    std::set<std::pair<int, int>> Ink() const {
        std::set<std::pair<int, int>> ink;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (pixels[y * width + x] == kInk) ink.insert({x, y});
            }
        }
        return ink;
    }

    int width, height;
    std::vector<uint32_t> pixels;
};

using Pixels = std::set<std::pair<int, int>>;

TEST(HairlineTest, ALineCoversOnePixelAlongItsLongerAxisAndBothEnds) {
    Picture picture(20, 20);
    HairlinePainter painter(picture.Whole(), kInk);
    painter.Segment({2.3, 10.0}, {7.9, 10.4});
    EXPECT_EQ(picture.Ink(), (Pixels{{2, 10}, {3, 10}, {4, 10}, {5, 10}, {6, 10}, {7, 10}}));

    Picture steep(20, 20);
    HairlinePainter(steep.Whole(), kInk).Segment({5.5, 12.2}, {4.2, 1.6});
    const Pixels ink = steep.Ink();
    ASSERT_EQ(ink.size(), 12u);     // rows 1 to 12, one pixel each
    EXPECT_TRUE(ink.count({4, 1})); // the end points' own pixels
    EXPECT_TRUE(ink.count({5, 12}));
    for (int row = 1; row <= 12; ++row) {
        EXPECT_EQ(std::count_if(ink.begin(), ink.end(), [&](auto& p) { return p.second == row; }),
                  1);
    }
}

TEST(HairlineTest, EqualPointsMakeADotAndAPolylineRunsThroughItsCorners) {
    Picture picture(20, 20);
    HairlinePainter painter(picture.Whole(), kInk);
    painter.Segments(std::vector<DevicePoint>{{3.7, 4.2}, {3.7, 4.2}});
    EXPECT_EQ(picture.Ink(), (Pixels{{3, 4}}));

    Picture corner(20, 20);
    HairlinePainter(corner.Whole(), kInk)
        .Polyline(std::vector<DevicePoint>{{1, 1}, {4, 1}, {4, 3}});
    EXPECT_EQ(corner.Ink(), (Pixels{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}}));
}

TEST(HairlineTest, NothingLandsOutsideTheWindowAndStrayPointsAreHarmless) {
    Picture picture(30, 30);
    HairlinePainter painter(picture.Window(10, 10, 20, 20), kInk);
    painter.Segment({0.5, 15.5}, {29.5, 15.5});
    painter.Segment({-1e300, 12}, {1e300, 12}); // far beyond: cut to where it is seen
    painter.Segment({NAN, 3}, {15, 15});
    painter.Segment({15, 15}, {INFINITY, 3});
    Pixels expected;
    for (int x = 10; x < 20; ++x) {
        expected.insert({x, 15});
        expected.insert({x, 12});
    }
    EXPECT_EQ(picture.Ink(), expected);

    Picture empty(10, 10);
    HairlinePainter(empty.Window(5, 5, 5, 9), kInk).Segment({0, 6}, {9, 6});
    EXPECT_TRUE(empty.Ink().empty());
}

TEST(HairlineTest, AClipKeepsThePixelsWhoseMiddlesLieInIt) {
    Picture picture(30, 30);
    const PixelWindow clipped = render::Clipped(picture.Whole(), {4.5, 2.4, 10.5, 9.6});
    EXPECT_EQ(clipped.left, 4);
    EXPECT_EQ(clipped.right, 10);
    EXPECT_EQ(clipped.top, 2);
    EXPECT_EQ(clipped.bottom, 10); // row 9's middle, 9.5, is inside
    // Never beyond the window it cuts, and an inverted or missing clip is empty.
    const PixelWindow beyond = render::Clipped(picture.Window(0, 0, 8, 8), {-50, -50, 50, 50});
    EXPECT_EQ(beyond.right, 8);
    EXPECT_EQ(beyond.bottom, 8);
    const PixelWindow inverted = render::Clipped(picture.Whole(), {20, 20, 10, NAN});
    EXPECT_LE(inverted.right, inverted.left);
    EXPECT_LE(inverted.bottom, inverted.top);
}

TEST(HairlineTest, DashesFollowTheirPatternFromTheOffsetAcrossCorners) {
    const std::vector<double> dashDot{4, 2, 0, 2}; // a dash of 4, a gap, a dot, a gap
    Picture picture(40, 10);
    HairlinePainter(picture.Whole(), kInk)
        .Polyline(std::vector<DevicePoint>{{0, 5}, {16, 5}}, dashDot);
    EXPECT_EQ(picture.Ink(), (Pixels{{0, 5},
                                     {1, 5},
                                     {2, 5},
                                     {3, 5},
                                     {4, 5}, // the dash
                                     {6, 5}, // the dot
                                     {8, 5},
                                     {9, 5},
                                     {10, 5},
                                     {11, 5},
                                     {12, 5},
                                     {14, 5},
                                     {16, 5}}));

    // Two into the pattern the line starts in the dash's second half.
    Picture offset(40, 10);
    HairlinePainter(offset.Whole(), kInk)
        .Polyline(std::vector<DevicePoint>{{0, 5}, {8, 5}}, dashDot, 2);
    EXPECT_EQ(offset.Ink(), (Pixels{{0, 5}, {1, 5}, {2, 5}, {4, 5}, {6, 5}, {7, 5}, {8, 5}}));

    // The pattern runs on round a corner: the dash begun on the first leg ends on the second.
    Picture corner(20, 20);
    HairlinePainter(corner.Whole(), kInk)
        .Polyline(std::vector<DevicePoint>{{0, 0}, {2, 0}, {2, 10}}, std::vector<double>{4, 6});
    EXPECT_EQ(corner.Ink(),
              (Pixels{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {2, 8}, {2, 9}, {2, 10}}));
}

TEST(HairlineTest, APatternFinerThanAPixelIsDrawnSolid) {
    Picture picture(20, 10);
    HairlinePainter(picture.Whole(), kInk)
        .Polyline(std::vector<DevicePoint>{{0, 5}, {9, 5}}, std::vector<double>{0.3, 0.3});
    EXPECT_EQ(picture.Ink().size(), 10u);
}

// A pan moves lines by whole pixels: a line must land on the same pixels,
// moved, however the rounding of its new place falls. At 45 degrees the
// rounding of these ends decides whether the line is longer across or down
// (found by search), and it differs 240 pixels along.
TEST(HairlineTest, ALineMovedByWholePixelsCoversTheSamePixelsMoved) {
    const struct {
        double x, y, run;
    } lines[] = {{90.006994013036319, 409.3979857303147, 9.4157879481379965},
                 {84.402958843674725, 438.10123325089501, 12.541234553502688},
                 {56.568176983750881, 272.85100884785788, 8.4475282583817783}};
    for (const auto& line : lines) {
        Picture here(400, 450), there(400, 450);
        HairlinePainter(here.Whole(), kInk)
            .Segment({line.x, line.y}, {line.x + line.run, line.y - line.run});
        HairlinePainter(there.Whole(), kInk)
            .Segment({line.x + 240, line.y}, {line.x + 240 + line.run, line.y - line.run});
        Pixels moved;
        for (const auto& [column, row] : here.Ink())
            moved.insert({column + 240, row});
        EXPECT_EQ(there.Ink(), moved) << "the line from " << line.x << ", " << line.y;
    }
}

// The property bands and scrolled strips rely on: any window of a line, solid
// or dashed, is the same pixels as that window of the line painted whole.
TEST(HairlineTest, ALinePaintedInPartsIsTheLinePaintedWhole) {
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> place(-40, 140);
    std::uniform_int_distribution<int> edge(0, 100);
    for (int round = 0; round < 300; ++round) {
        const std::vector<DevicePoint> line{{place(random), place(random)},
                                            {place(random), place(random)},
                                            {place(random), place(random)}};
        const std::vector<double> dashes =
            round % 2 == 0 ? std::vector<double>{} : std::vector<double>{7.5, 3.25, 0, 3.25};
        const double offset = round * 1.7;

        Picture whole(100, 100);
        HairlinePainter(whole.Whole(), kInk).Polyline(line, dashes, offset);

        int left = edge(random), right = edge(random), top = edge(random), bottom = edge(random);
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
        Picture part(100, 100);
        HairlinePainter(part.Window(left, top, right, bottom), kInk).Polyline(line, dashes, offset);

        Pixels expected;
        for (const auto& [x, y] : whole.Ink()) {
            if (x >= left && x < right && y >= top && y < bottom) expected.insert({x, y});
        }
        ASSERT_EQ(part.Ink(), expected) << "round " << round;
    }
}

} // namespace

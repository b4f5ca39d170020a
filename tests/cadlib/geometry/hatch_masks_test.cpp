// Masks: what later white or black areas cover is cut out of a hatch's pieces.
#include "cadlib/geometry/hatch_masks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

// Work without end: these cases are about what the masks cover.
cadlib::WorkBudget unbounded{UINT64_MAX};

using cadlib::HatchCircle;
using cadlib::HatchMasks;
using cadlib::HatchPiece;

constexpr double kClose = 1e-12;
const KqRect2 kHatchBox{0, 0, 10, 10};

std::vector<KqPoint2> Square(double x, double y, double side) {
    return {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}};
}

TEST(HatchMasksTest, ALaterMaskCutsItsStretchOutOfEachPiece) {
    const std::vector<KqPoint2> white = Square(2, 2, 2);
    HatchMasks masks;
    masks.AddPolygon(5, white);
    std::vector<HatchPiece> pieces = {
        {{0, 3}, {10, 3}},    // across the mask: two pieces remain
        {{0.1, 7}, {9.3, 7}}, // above it: kept exactly as it was
        {{3, 3}, {3, 3}},     // a dot under it: gone
        {{1, 1}, {1, 1}},     // a dot beside it: kept
        {{2.5, 2.5}, {3, 3}}, // wholly under it: gone
    };
    masks.CutAway(4, kHatchBox, pieces, unbounded);
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_NEAR(pieces[0].from.x, 0, kClose);
    EXPECT_NEAR(pieces[0].to.x, 2, kClose);
    EXPECT_NEAR(pieces[1].from.x, 4, kClose);
    EXPECT_NEAR(pieces[1].to.x, 10, kClose);
    EXPECT_EQ(pieces[1].to.y, 3);
    EXPECT_EQ(pieces[2].from.x, 0.1);
    EXPECT_EQ(pieces[2].to.x, 9.3);
    EXPECT_EQ(pieces[3].from.x, 1);

    // A mask drawn before the hatch, or the hatch's own fill, hides nothing.
    std::vector<HatchPiece> under = {{{0, 3}, {10, 3}}};
    masks.CutAway(5, kHatchBox, under, unbounded);
    masks.CutAway(6, kHatchBox, under, unbounded);
    EXPECT_EQ(under.size(), 1u);
}

TEST(HatchMasksTest, CirclesAndConcaveOrOverlappingMasksCutExactly) {
    HatchMasks masks;
    masks.AddCircle(1, HatchCircle{{5, 5}, 1});
    // A U: the piece through its notch keeps the notch.
    const std::vector<KqPoint2> u{{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}};
    masks.AddPolygon(2, u);
    // Two masks that overlap: their union is cut, in one stretch.
    const std::vector<KqPoint2> a = Square(6, 8, 2), b = Square(7, 8, 2);
    masks.AddPolygon(3, a);
    masks.AddPolygon(3, b);
    std::vector<HatchPiece> pieces = {{{3, 5}, {7, 5}}, {{-1, 2}, {4, 2}}, {{5, 9}, {10, 9}}};
    masks.CutAway(0, kHatchBox, pieces, unbounded);
    ASSERT_EQ(pieces.size(), 7u);
    EXPECT_NEAR(pieces[0].to.x, 4, kClose); // the circle's rim
    EXPECT_NEAR(pieces[1].from.x, 6, kClose);
    EXPECT_NEAR(pieces[2].to.x, 0, kClose); // up to the U, its notch, after it
    EXPECT_NEAR(pieces[3].from.x, 1, kClose);
    EXPECT_NEAR(pieces[3].to.x, 2, kClose);
    EXPECT_NEAR(pieces[4].from.x, 3, kClose);
    EXPECT_NEAR(pieces[5].to.x, 6, kClose); // up to the two squares, nothing between them
    EXPECT_NEAR(pieces[6].from.x, 9, kClose);
}

TEST(HatchMasksTest, ManyMasksAreFoundThroughTheGridAndALargeOneEverywhere) {
    HatchMasks masks;
    std::vector<std::vector<KqPoint2>> squares;
    for (int i = 0; i < 2000; ++i)
        squares.push_back(Square(2.0 * i + 1, 0, 1));
    for (uint32_t i = 0; i < squares.size(); ++i)
        masks.AddPolygon(i + 1, squares[i]);
    // A hatch over each square loses what the square covers, and only that.
    for (int i = 0; i < 2000; i += 7) {
        const double x = 2.0 * i;
        std::vector<HatchPiece> row = {{{x, 0.5}, {x + 3, 0.5}}};
        masks.CutAway(0, {x, 0, x + 3, 1}, row, unbounded);
        ASSERT_EQ(row.size(), 2u) << i;
        EXPECT_NEAR(row[0].to.x, x + 1, kClose);
        EXPECT_NEAR(row[1].from.x, x + 2, kClose);
    }

    const std::vector<KqPoint2> everything = Square(-10, -10, 5000);
    masks.AddPolygon(9999, everything);
    std::vector<HatchPiece> covered = {{{100.5, 0.5}, {100.5, 0.7}}, {{3000, 3000}, {3001, 3001}}};
    masks.CutAway(0, {100, 0, 101, 1}, covered, unbounded);
    EXPECT_TRUE(covered.empty());
}

TEST(HatchMasksTest, AHatchIsCutByTheFirstMasksAfterItAndTheSameMaskOnce) {
    HatchMasks masks;
    // The same white box drawn again on every page: kept once, at its latest.
    const std::vector<KqPoint2> box = Square(0, 0, 1);
    for (uint32_t page = 1; page <= 100; ++page)
        masks.AddPolygon(page * 10, box);
    std::vector<HatchPiece> early = {{{0.5, 0.2}, {0.5, 0.4}}};
    masks.CutAway(995, {0, 0, 1, 1}, early, unbounded); // before the last page's box
    EXPECT_TRUE(early.empty());

    // 64 small masks after a hatch reach it; a 65th that would hide its piece is not looked at.
    HatchMasks stacked;
    std::vector<std::vector<KqPoint2>> dots;
    for (int i = 0; i < 64; ++i)
        dots.push_back(Square(5 + 0.01 * i, 5, 0.005));
    for (uint32_t i = 0; i < dots.size(); ++i)
        stacked.AddPolygon(i + 1, dots[i]);
    const std::vector<KqPoint2> cover = Square(0, 0, 10);
    stacked.AddPolygon(100, cover);
    std::vector<HatchPiece> piece = {{{1, 1}, {2, 1}}};
    stacked.CutAway(0, kHatchBox, piece, unbounded);
    EXPECT_EQ(piece.size(), 1u);
    // One small mask fewer after it: the cover is seen.
    stacked.CutAway(1, kHatchBox, piece, unbounded);
    EXPECT_TRUE(piece.empty());
}

TEST(HatchMasksTest, EachMaskSetAgainstAPieceIsPaidForByItsEdges) {
    // A star of 249 corners, a box and a circle, each over a piece that
    // crosses it: a unit for the mask, and one for each edge of a polygon.
    std::vector<KqPoint2> star;
    for (int i = 0; i < 249; ++i) {
        const double angle = 2 * M_PI * i / 249, radius = i % 2 ? 0.5 : 4;
        star.push_back({5 + radius * std::cos(angle), 5 + radius * std::sin(angle)});
    }
    const std::vector<KqPoint2> box = Square(2, 2, 2);
    const struct {
        const char* mask;
        std::function<void(HatchMasks&)> add;
        uint64_t cost;
    } cases[] = {
        {"star", [&](HatchMasks& m) { m.AddPolygon(1, star); }, 250},
        {"box", [&](HatchMasks& m) { m.AddPolygon(1, box); }, 1},
        {"circle",
         [](HatchMasks& m) {
             m.AddCircle(1, HatchCircle{{5, 5}, 2});
         },
         1},
    };
    for (const auto& c : cases) {
        HatchMasks masks;
        c.add(masks);
        for (const uint64_t units : {c.cost, c.cost - 1}) {
            std::vector<HatchPiece> pieces = {{{0, 3}, {10, 3}}, {{0, 5}, {10, 5}}};
            cadlib::WorkBudget work(2 * units);
            EXPECT_EQ(masks.CutAway(0, kHatchBox, pieces, work), units == c.cost) << c.mask;
        }
    }
}

} // namespace

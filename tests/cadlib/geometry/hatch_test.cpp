// The hatch-line generator: families of lines cut to their boundary, dashes and dots.
#include "cadlib/geometry/hatch.h"
#include "cadlib/kq.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <vector>

namespace {

using cadlib::HatchCircle;
using cadlib::HatchPiece;

// The pieces of a cut that stays within the bound on one hatch's work.
template <typename Outline>
std::vector<HatchPiece> PiecesOf(const Outline& outline, std::span<const KqFillLine> lines,
                                 const KqRect2& window) {
    const cadlib::HatchCut cut = cadlib::HatchLines(outline, lines, window);
    EXPECT_FALSE(cut.overBound);
    return cut.pieces;
}

constexpr double kClose = 1e-9;
const KqRect2 kEverywhere{-1e9, -1e9, 1e9, 1e9};

KqFillLine Family(double angle, double across, double dash = 0, double gap = 0, double along = 0,
                  double baseX = 0, double baseY = 0) {
    KqFillLine line;
    kq_set_fill_pattern(angle, baseX, baseY, along, across, dash, gap, 0, 0, 0, 0, 0, 0, 0, 2, 1.0,
                        line);
    return line;
}

double Length(const HatchPiece& piece) {
    return std::hypot(piece.to.x - piece.from.x, piece.to.y - piece.from.y);
}

bool IsDot(const HatchPiece& piece) {
    return piece.from.x == piece.to.x && piece.from.y == piece.to.y;
}

const std::vector<KqPoint2> kSquare{{0.1, 0.1}, {1.1, 0.1}, {1.1, 1.1}, {0.1, 1.1}};

TEST(HatchLinesTest, HorizontalLinesAcrossASquare) {
    const KqFillLine lines[] = {Family(0, 0.25)};
    const std::vector<HatchPiece> pieces = PiecesOf(kSquare, lines, kEverywhere);
    ASSERT_EQ(pieces.size(), 4u); // y = 0.25, 0.5, 0.75, 1.0
    for (size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_NEAR(pieces[i].from.y, 0.25 * double(i + 1), kClose);
        EXPECT_NEAR(std::min(pieces[i].from.x, pieces[i].to.x), 0.1, kClose);
        EXPECT_NEAR(std::max(pieces[i].from.x, pieces[i].to.x), 1.1, kClose);
        EXPECT_NEAR(pieces[i].to.y, pieces[i].from.y, kClose);
    }
}

TEST(HatchLinesTest, DiagonalLinesEndOnTheBoundary) {
    const KqFillLine lines[] = {Family(45, 0.1)};
    const std::vector<HatchPiece> pieces = PiecesOf(kSquare, lines, kEverywhere);
    // Across the square's diagonal, 1.414 wide: 15 lines, the middle one
    // along the diagonal itself.
    EXPECT_EQ(pieces.size(), 15u);
    const auto onBoundary = [](const KqPoint2& p) {
        const bool insideX = p.x >= 0.1 - kClose && p.x <= 1.1 + kClose;
        const bool insideY = p.y >= 0.1 - kClose && p.y <= 1.1 + kClose;
        const bool onEdge = std::fabs(p.x - 0.1) < kClose || std::fabs(p.x - 1.1) < kClose ||
                            std::fabs(p.y - 0.1) < kClose || std::fabs(p.y - 1.1) < kClose;
        return insideX && insideY && onEdge;
    };
    for (const HatchPiece& piece : pieces) {
        EXPECT_TRUE(onBoundary(piece.from)) << piece.from.x << ", " << piece.from.y;
        EXPECT_TRUE(onBoundary(piece.to)) << piece.to.x << ", " << piece.to.y;
        EXPECT_NEAR(piece.to.y - piece.from.y, piece.to.x - piece.from.x, kClose); // 45 degrees
    }
}

TEST(HatchLinesTest, AConcaveBoundaryLeavesItsNotchEmpty) {
    // A U: two arms from x 0-1 and 2-3, joined below y = 1.
    const std::vector<KqPoint2> u{{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}};
    const KqFillLine lines[] = {Family(0, 0.5, 0, 0, 0, 0, 0.25)};
    const std::vector<HatchPiece> pieces = PiecesOf(u, lines, kEverywhere);
    int armPieces = 0, basePieces = 0;
    for (const HatchPiece& piece : pieces) {
        const double low = std::min(piece.from.x, piece.to.x);
        const double high = std::max(piece.from.x, piece.to.x);
        if (piece.from.y > 1) {
            ++armPieces;
            // Above the base a line is cut in two: nothing in the notch.
            EXPECT_TRUE((std::fabs(low) < kClose && std::fabs(high - 1) < kClose) ||
                        (std::fabs(low - 2) < kClose && std::fabs(high - 3) < kClose));
        } else {
            ++basePieces;
            EXPECT_NEAR(high - low, 3, kClose);
        }
    }
    EXPECT_EQ(basePieces, 2);    // y = 0.25, 0.75
    EXPECT_EQ(armPieces, 2 * 4); // y = 1.25 ... 2.75, two pieces each
}

TEST(HatchLinesTest, ASelfCrossingBoundaryIsFilledEvenOdd) {
    // A pentagram: its middle pentagon is crossed twice, so it stays empty.
    std::vector<KqPoint2> star;
    for (int i = 0; i < 5; ++i) {
        const double angle = M_PI / 2 + i * 4 * M_PI / 5;
        star.push_back({std::cos(angle), std::sin(angle)});
    }
    const KqFillLine lines[] = {Family(0, 1.0, 0, 0, 0, 0, 0.05)};
    const std::vector<HatchPiece> pieces = PiecesOf(star, lines, kEverywhere);
    ASSERT_EQ(pieces.size(), 2u); // the line through the middle: two points of the star
    for (const HatchPiece& piece : pieces) {
        EXPECT_GT(std::min(std::fabs(piece.from.x), std::fabs(piece.to.x)), 0.2);
    }
}

TEST(HatchLinesTest, DashesAndGapsRepeatFromTheLinesOrigin) {
    const std::vector<KqPoint2> strip{{0.05, -0.1}, {1.05, -0.1}, {1.05, 0.1}, {0.05, 0.1}};
    const KqFillLine lines[] = {Family(0, 1.0, 0.2, 0.1)};
    const std::vector<HatchPiece> pieces = PiecesOf(strip, lines, kEverywhere);
    // From x = 0: dashes 0-0.2, 0.3-0.5, 0.6-0.8, 0.9-1.1, cut to 0.05-1.05.
    ASSERT_EQ(pieces.size(), 4u);
    const double starts[] = {0.05, 0.3, 0.6, 0.9}, ends[] = {0.2, 0.5, 0.8, 1.05};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(pieces[i].from.x, starts[i], kClose);
        EXPECT_NEAR(pieces[i].to.x, ends[i], kClose);
    }
}

TEST(HatchLinesTest, AnOffsetAlongShiftsTheDashesOfTheNextLine) {
    const std::vector<KqPoint2> strip{{0, -0.1}, {1, -0.1}, {1, 1.1}, {0, 1.1}};
    const KqFillLine lines[] = {Family(0, 1.0, 0.2, 0.3, 0.25)};
    const std::vector<HatchPiece> pieces = PiecesOf(strip, lines, kEverywhere);
    std::vector<double> firstLine, secondLine;
    for (const HatchPiece& piece : pieces)
        (piece.from.y < 0.5 ? firstLine : secondLine).push_back(piece.from.x);
    ASSERT_GE(firstLine.size(), 2u);
    ASSERT_GE(secondLine.size(), 2u);
    EXPECT_NEAR(firstLine[0], 0.0, kClose);
    EXPECT_NEAR(firstLine[1], 0.5, kClose);
    EXPECT_NEAR(secondLine[0], 0.25, kClose);
    EXPECT_NEAR(secondLine[1], 0.75, kClose);
}

TEST(HatchLinesTest, ADashOfZeroIsADot) {
    const std::vector<KqPoint2> strip{{0.1, -0.1}, {1.1, -0.1}, {1.1, 0.1}, {0.1, 0.1}};
    const KqFillLine lines[] = {Family(0, 1.0, 0, 0.25)};
    const std::vector<HatchPiece> pieces = PiecesOf(strip, lines, kEverywhere);
    ASSERT_EQ(pieces.size(), 4u); // x = 0.25, 0.5, 0.75, 1.0
    for (size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_TRUE(IsDot(pieces[i]));
        EXPECT_NEAR(pieces[i].from.x, 0.25 * double(i + 1), kClose);
    }
}

TEST(HatchLinesTest, NoDashAndNoGapIsAContinuousLine) {
    const KqFillLine lines[] = {Family(90, 0.5)};
    const std::vector<HatchPiece> pieces = PiecesOf(kSquare, lines, kEverywhere);
    ASSERT_EQ(pieces.size(), 2u); // x = 0.5, 1.0
    for (const HatchPiece& piece : pieces)
        EXPECT_NEAR(Length(piece), 1.0, kClose);
}

TEST(HatchLinesTest, TheScaleMultipliesOffsetsAndDashes) {
    KqFillLine line = Family(0, 0.125, 0.1, 0.05);
    line.scale = 2;
    const std::vector<HatchPiece> pieces =
        PiecesOf(kSquare, std::vector<KqFillLine>{line}, kEverywhere);
    ASSERT_FALSE(pieces.empty());
    EXPECT_NEAR(pieces[0].from.y, 0.25, kClose);
    EXPECT_NEAR(Length(pieces[1]), 0.2, kClose);
}

TEST(HatchLinesTest, OnlyTheWindowIsFilled) {
    const KqFillLine lines[] = {Family(0, 0.1)};
    const std::vector<HatchPiece> pieces = PiecesOf(kSquare, lines, {0.5, 0.45, 0.7, 0.65});
    ASSERT_EQ(pieces.size(), 2u); // y = 0.5, 0.6
    for (const HatchPiece& piece : pieces) {
        EXPECT_NEAR(std::min(piece.from.x, piece.to.x), 0.5, kClose);
        EXPECT_NEAR(std::max(piece.from.x, piece.to.x), 0.7, kClose);
    }
}

TEST(HatchLinesTest, FamiliesTooDenseOrBrokenShowNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const KqFillLine lines[] = {Family(0, 0), Family(0, 1e-7), Family(nan, 0.1),
                                Family(0, 0.1, nan, 0.1)};
    EXPECT_TRUE(PiecesOf(kSquare, lines, kEverywhere).empty());
    const KqFillLine fine[] = {Family(0, 0.1)};
    EXPECT_TRUE(PiecesOf(std::vector<KqPoint2>{{0, 0}, {1, 1}}, fine, kEverywhere).empty());
}

TEST(HatchLinesTest, DashesTooFineToShowBecomeOneLine) {
    const KqFillLine lines[] = {Family(0, 1.0, 1e-6, 1e-6)};
    const std::vector<KqPoint2> strip{{0, -0.1}, {1, -0.1}, {1, 0.1}, {0, 0.1}};
    const std::vector<HatchPiece> pieces = PiecesOf(strip, lines, kEverywhere);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_NEAR(Length(pieces[0]), 1.0, kClose);
}

TEST(HatchLinesTest, ACircleCutsEachLineExactlyAtItsRim) {
    const HatchCircle circle{{1, 2}, 0.5};
    const KqFillLine lines[] = {Family(30, 0.1, 0, 0, 0, 1, 2)};
    const std::vector<HatchPiece> pieces = PiecesOf(circle, lines, kEverywhere);
    // Lines through the centre and every 0.1 on both sides; the ones at
    // +-0.5 only touch the rim and draw nothing.
    ASSERT_EQ(pieces.size(), 9u);
    for (const HatchPiece& piece : pieces) {
        for (const KqPoint2& end : {piece.from, piece.to}) {
            EXPECT_NEAR(std::hypot(end.x - 1, end.y - 2), 0.5, 1e-12);
        }
    }
    EXPECT_NEAR(Length(pieces[4]), 1.0, kClose); // the diameter
}

TEST(HatchLinesTest, ACircleKeepsDashesDotsAndTheWindow) {
    const HatchCircle circle{{0, 0}, 1};
    const KqFillLine dots[] = {Family(0, 0.5, 0, 0.25)};
    for (const HatchPiece& piece : PiecesOf(circle, dots, kEverywhere)) {
        EXPECT_TRUE(IsDot(piece));
        EXPECT_LE(std::hypot(piece.from.x, piece.from.y), 1.0 + kClose);
    }
    const KqFillLine rules[] = {Family(0, 0.5)};
    const std::vector<HatchPiece> right = PiecesOf(circle, rules, {0, -2, 2, 2});
    ASSERT_EQ(right.size(), 3u); // y = -0.5, 0, 0.5, each from x = 0 to the rim
    for (const HatchPiece& piece : right) {
        EXPECT_NEAR(std::min(piece.from.x, piece.to.x), 0, kClose);
        EXPECT_NEAR(std::hypot(std::max(piece.from.x, piece.to.x), piece.from.y), 1, kClose);
    }
    EXPECT_TRUE(PiecesOf(HatchCircle{{0, 0}, 0}, rules, kEverywhere).empty());
    EXPECT_TRUE(PiecesOf(HatchCircle{{0, 0}, NAN}, rules, kEverywhere).empty());
}

TEST(HatchLinesTest, WhatRoundingLeavesOfADashIsNoPiece) {
    // Dashes of 0.1 every 0.3: the second starts at 0.1 + 0.2, just past 0.3,
    // and the boundary ends 5e-10 after 0.3.
    const std::vector<KqPoint2> strip{{0, -0.1}, {0.3 + 5e-10, -0.1}, {0.3 + 5e-10, 0.1}, {0, 0.1}};
    const KqFillLine lines[] = {Family(0, 1.0, 0.1, 0.2)};
    const std::vector<HatchPiece> pieces = PiecesOf(strip, lines, kEverywhere);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_NEAR(Length(pieces[0]), 0.1, kClose);
}

// The bound on one hatch's work holds for the product of lines and dashes,
// which each pass their own limits.
TEST(HatchLinesTest, AHatchPastTheBoundOnItsWorkGivesNoPieces) {
    // Dashes of 1/1024 every 1/512 on lines 1/512 apart (exact in binary):
    // 21 million pieces over 8 x 10.
    constexpr double kFine = 1.0 / 512;
    const KqFillLine dense[] = {Family(0, kFine, kFine / 2, kFine / 2)};
    const std::vector<KqPoint2> page{{0, 0}, {8, 0}, {8, 10}, {0, 10}};
    const cadlib::HatchCut cut = cadlib::HatchLines(page, dense, kEverywhere);
    EXPECT_TRUE(cut.overBound);
    EXPECT_TRUE(cut.pieces.empty());
    EXPECT_TRUE(cadlib::HatchLines(HatchCircle{{4, 5}, 4}, dense, kEverywhere).overBound);

    // The same pattern over a small square, or cut to a small window, is drawn:
    // 256 lines of 256 dashes.
    const std::vector<KqPoint2> small{{0, 0}, {0.5, 0}, {0.5, 0.5}, {0, 0.5}};
    EXPECT_EQ(PiecesOf(small, dense, kEverywhere).size(), 256u * 256u);
    EXPECT_FALSE(PiecesOf(page, dense, {1, 1, 1.5, 1.5}).empty());

    // The families of one hatch share the bound: each makes 655360 pieces.
    constexpr double kDash = 1.0 / 256;
    const KqFillLine across[] = {Family(0, 1.0 / 64, kDash, kDash)};
    const KqFillLine up[] = {Family(90, 1.0 / 64, kDash, kDash)};
    EXPECT_EQ(PiecesOf(page, across, kEverywhere).size(), 640u * 1024u);
    EXPECT_EQ(PiecesOf(page, up, kEverywhere).size(), 512u * 1280u);
    const KqFillLine both[] = {across[0], up[0]};
    EXPECT_TRUE(cadlib::HatchLines(page, both, kEverywhere).overBound);
}

TEST(HatchLinesTest, EveryStepIsPaidForWhetherOrNotItMakesAPiece) {
    // 125 lines 0.00008 apart over a 0.01 inch square, a repeat every 0.0008
    // along each: at least 125 x 12 steps, whatever they make.
    const std::vector<KqPoint2> square{{0, 0}, {0.01, 0}, {0.01, 0.01}, {0, 0.01}};
    const HatchCircle circle{{0.005, 0.005}, 0.005};
    constexpr size_t kLeastSteps = 125 * 12;
    const struct {
        const char* family;
        KqFillLine line;
        size_t pieces;
    } cases[] = {
        {"dashes all shorter than a sliver", Family(0, 0.00008, 1e-12, -0.0008), 0},
        {"dashes all gaps", Family(0, 0.00008, -0.0004, -0.0004), 0},
        {"a dot each repeat", Family(0, 0.00008, 0, -0.0008), 125 * 13},
    };
    for (const auto& c : cases) {
        const KqFillLine lines[] = {c.line};
        const cadlib::HatchCut cut = cadlib::HatchLines(square, lines, kEverywhere);
        EXPECT_EQ(cut.pieces.size(), c.pieces) << c.family;
        EXPECT_GE(cut.work, std::max(kLeastSteps, c.pieces)) << c.family;
        // Short of that work, the same hatch is over its bound, square or circle.
        EXPECT_TRUE(cadlib::HatchLines(square, lines, kEverywhere, kLeastSteps / 2).overBound)
            << c.family;
        EXPECT_TRUE(cadlib::HatchLines(circle, lines, kEverywhere, kLeastSteps / 4).overBound)
            << c.family;
    }
}

TEST(HatchLinesTest, FamiliesWhoseNumbersCannotBeCountedAreLeftOutAndNamed) {
    const std::vector<KqPoint2> square{{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    // A base point of 1e15 puts the line numbers near 1e16, past exact counting.
    const KqFillLine far[] = {Family(0, 0.25), Family(0, 0.1, 0, 0, 0, 0, 1e15),
                              Family(0, 0.1, 0.05, 0.05, 0, 1e17, 0)};
    const cadlib::HatchCut cut = cadlib::HatchLines(square, far, kEverywhere);
    EXPECT_FALSE(cut.overBound);
    EXPECT_EQ(cut.leftOut, (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(cut.pieces.size(), 4u); // the first family alone: y = 0, 0.25, 0.5 and 0.75
    const HatchCircle circle{{0.5, 0.5}, 0.5};
    EXPECT_EQ(cadlib::HatchLines(circle, far, kEverywhere).leftOut, (std::vector<uint32_t>{1, 2}));

    // 1e14 is counted exactly: the family is drawn.
    const KqFillLine near[] = {Family(0, 0.1, 0, 0, 0, 0, 1e14)};
    const cadlib::HatchCut drawn = cadlib::HatchLines(square, near, kEverywhere);
    EXPECT_TRUE(drawn.leftOut.empty());
    EXPECT_FALSE(drawn.pieces.empty());
    // Too dense and broken families are named too.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const KqFillLine broken[] = {Family(0, 0), Family(0, 0.5), Family(nan, 0.1)};
    EXPECT_EQ(cadlib::HatchLines(square, broken, kEverywhere).leftOut,
              (std::vector<uint32_t>{0, 2}));
    // So are families whose values overflow: a dash plus its gap, an offset.
    constexpr double kLargest = std::numeric_limits<double>::max();
    const KqFillLine overflowing[] = {Family(0, 0.5), Family(0, 0.1, kLargest, -kLargest),
                                      Family(30, kLargest, 0, 0, kLargest)};
    for (const cadlib::HatchCut& overflown :
         {cadlib::HatchLines(square, overflowing, kEverywhere),
          cadlib::HatchLines(circle, overflowing, kEverywhere)}) {
        EXPECT_EQ(overflown.leftOut, (std::vector<uint32_t>{1, 2}));
        EXPECT_FALSE(overflown.pieces.empty());
    }
}

} // namespace

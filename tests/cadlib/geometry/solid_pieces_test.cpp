// A filled area cut into convex pieces covers what the even-odd rule fills,
// each point once: the same area, every point inside in exactly one piece and
// every point outside in none, for shapes of every kind and thousands of
// random ones; and the cutting stays within its budget.
#include "cadlib/geometry/solid_pieces.h"

#include "cadlib/geometry/entity_plan.h"
#include "cadlib/geometry/extents.h"
#include "cadlib/geometry/polygon.h"

#include "support/random_polygons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <sstream>
#include <vector>

namespace {

using cadlib::SolidPiece;
using cadlib::WorkBudget;
using Polygon = std::vector<KqPoint2>;
using Pieces = std::vector<SolidPiece>;

constexpr uint64_t kPlenty = uint64_t(1) << 40;

Pieces Cut(const Polygon& polygon) {
    WorkBudget budget(kPlenty);
    return cadlib::SolidPieces(polygon, budget).value();
}

double AreaOf(const Pieces& pieces) {
    double area = 0;
    for (const SolidPiece& p : pieces)
        area += (p.bottomRight - p.bottomLeft + p.topRight - p.topLeft) / 2 * (p.top - p.bottom);
    return area;
}

// How many pieces hold `point` strictly inside.
int PiecesHolding(const Pieces& pieces, const KqPoint2& point) {
    int holding = 0;
    for (const SolidPiece& p : pieces) {
        if (!(p.bottom < point.y && point.y < p.top)) continue;
        const double share = (point.y - p.bottom) / (p.top - p.bottom);
        const double left = p.bottomLeft + (p.topLeft - p.bottomLeft) * share;
        const double right = p.bottomRight + (p.topRight - p.bottomRight) * share;
        holding += left < point.x && point.x < right;
    }
    return holding;
}

// The even-odd area found apart from the sweep: every pair of edges is
// crossed by brute force, and between neighbouring heights of vertices and
// crossings the inside's width is linear, so its middle line's width times
// the height is that slice's area.
double EvenOddArea(const Polygon& polygon) {
    std::vector<double> heights;
    const size_t n = polygon.size();
    for (size_t i = 0; i < n; ++i) {
        heights.push_back(polygon[i].y);
        const KqPoint2 a = polygon[i], b = polygon[(i + 1) % n];
        for (size_t j = i + 1; j < n; ++j) {
            const KqPoint2 c = polygon[j], d = polygon[(j + 1) % n];
            const double denominator = (b.x - a.x) * (d.y - c.y) - (b.y - a.y) * (d.x - c.x);
            if (denominator == 0) continue;
            const double t = ((c.x - a.x) * (d.y - c.y) - (c.y - a.y) * (d.x - c.x)) / denominator;
            const double u = ((c.x - a.x) * (b.y - a.y) - (c.y - a.y) * (b.x - a.x)) / denominator;
            if (t > 0 && t < 1 && u > 0 && u < 1) heights.push_back(a.y + t * (b.y - a.y));
        }
    }
    std::sort(heights.begin(), heights.end());
    double area = 0;
    std::vector<double> xs;
    for (size_t k = 0; k + 1 < heights.size(); ++k) {
        const double y = (heights[k] + heights[k + 1]) / 2;
        xs.clear();
        cadlib::ForEachCrossing(polygon, y, [&](double x) { xs.push_back(x); });
        std::sort(xs.begin(), xs.end());
        for (size_t i = 0; i + 1 < xs.size(); i += 2)
            area += (xs[i + 1] - xs[i]) * (heights[k + 1] - heights[k]);
    }
    return area;
}

std::string Shape(const Polygon& polygon) {
    std::ostringstream shape;
    shape.precision(17);
    for (const KqPoint2& p : polygon)
        shape << " (" << p.x << ", " << p.y << ")";
    return shape.str();
}

// Every piece convex, and a point of the box inside exactly one piece when
// the even-odd rule fills it, in none when not.
::testing::AssertionResult CoversEvenOdd(const Polygon& polygon, const Pieces& pieces,
                                         std::mt19937& random, int samples) {
    const KqRect2 box = cadlib::BoxOf<KqPoint2>(polygon);
    for (const SolidPiece& p : pieces) {
        if (!(p.bottom < p.top && p.bottomLeft <= p.bottomRight && p.topLeft <= p.topRight)) {
            return ::testing::AssertionFailure() << "a piece inside out in" << Shape(polygon);
        }
    }
    for (int i = 0; i < samples; ++i) {
        const KqPoint2 point{testsupport::Uniform(random, box.x1, box.x2),
                             testsupport::Uniform(random, box.y1, box.y2)};
        const int expected = cadlib::InsideEvenOdd(polygon, point) ? 1 : 0;
        if (const int holding = PiecesHolding(pieces, point); holding != expected) {
            return ::testing::AssertionFailure() << "(" << point.x << ", " << point.y << ") in "
                                                 << holding << " pieces of" << Shape(polygon);
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(SolidPiecesTest, CoverEveryShapeEvenOdd) {
    const auto star = [] {
        Polygon points;
        for (int k = 0; k < 5; ++k) {
            const double angle = std::numbers::pi / 2 + k * 4 * std::numbers::pi / 5;
            points.push_back({std::cos(angle), std::sin(angle)});
        }
        return points;
    }();
    const struct {
        const char* shape;
        Polygon polygon;
        int pieces; // -1: not counted
    } cases[] = {
        {"convex", {{0, 0}, {4, 0}, {5, 2}, {2, 4}, {-1, 2}}, 2},
        {"triangle", {{0, 0}, {4, 0}, {1, 3}}, 1},
        {"rectangle", {{0, 0}, {4, 0}, {4, 3}, {0, 3}}, 1},
        {"concave arrow", {{0, 0}, {2, 1}, {4, 0}, {2, 4}}, 3},
        {"L", {{0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 3}, {0, 3}}, 2},
        {"U", {{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}}, 3},
        // The middle pentagon is covered twice, so left out.
        {"star", star, -1},
        {"bow-tie", {{0, 0}, {2, 2}, {2, 0}, {0, 2}}, 4},
        {"repeated points", {{0, 0}, {0, 0}, {4, 0}, {4, 0}, {4, 3}, {0, 3}, {0, 3}}, 1},
        {"collinear edges",
         {{0, 0}, {2, 0}, {4, 0}, {4, 1.5}, {4, 3}, {2, 3}, {0, 3}, {0, 1.5}},
         2},
        {"edge back over itself", {{0, 0}, {4, 0}, {4, 3}, {4, 1}, {4, 3}, {0, 3}}, 2},
        {"sliver", {{0, 0}, {1000, 1e-7}, {1000, 2e-7}}, 2},
        {"ring of two loops",
         {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}, {1, 1}, {1, 3}, {3, 3}, {3, 1}, {1, 1}},
         5},
        {"two squares overlapping",
         {{0, 0}, {2, 0}, {2, 2}, {0, 2}, {0, 0}, {1, 1}, {3, 1}, {3, 3}, {1, 3}, {1, 1}},
         -1},
        {"no area", {{0, 0}, {1, 1}, {2, 2}}, 0},
    };
    std::mt19937 random(12);
    for (const auto& c : cases) {
        const Pieces pieces = Cut(c.polygon);
        EXPECT_NEAR(AreaOf(pieces), EvenOddArea(c.polygon), 1e-12) << c.shape;
        if (c.pieces >= 0) {
            EXPECT_EQ(pieces.size(), size_t(c.pieces)) << c.shape;
        }
        EXPECT_TRUE(CoversEvenOdd(c.polygon, pieces, random, 2000)) << c.shape;
    }
}

// A circle is cut as the polygon of its chords, which stray from it by at
// most the tolerance, in about one piece per two chords.
TEST(SolidPiecesTest, CutACircleAsItsChords) {
    const cadlib::CircleGeometry circle{{3, -4, 0}, 2};
    cadlib::FillArea area;
    area.circle = &circle;
    WorkBudget budget(kPlenty);
    const Pieces pieces = area.SolidPieces(budget).value();
    const double exact = std::numbers::pi * 4;
    const double area2 = AreaOf(pieces);
    EXPECT_LT(area2, exact);
    EXPECT_GT(area2, exact - 2 * std::numbers::pi * 2 * cadlib::kSolidChordTolerance);
    const double chord = 2 * std::acos(1 - cadlib::kSolidChordTolerance / 2);
    EXPECT_NEAR(double(pieces.size()), std::numbers::pi / chord, 2);
    for (const SolidPiece& p : pieces) {
        KqPoint2 corners[4];
        const size_t count = p.Corners(corners);
        for (size_t i = 0; i < count; ++i)
            EXPECT_LE(std::hypot(corners[i].x - 3, corners[i].y + 4), 2 + 1e-12);
    }
}

TEST(SolidPiecesTest, CornersRunCounterClockwiseAndATriangleHasThree) {
    KqPoint2 corners[4];
    ASSERT_EQ((SolidPiece{0, 1, 0, 2, 0.5, 1.5}.Corners(corners)), 4u);
    EXPECT_EQ(corners[1].x, 2);
    EXPECT_EQ(corners[2].x, 1.5);
    EXPECT_EQ(corners[3].x, 0.5);
    ASSERT_EQ((SolidPiece{0, 1, 0, 2, 1, 1}.Corners(corners)), 3u);
    EXPECT_EQ(corners[2].x, 1);
    EXPECT_EQ(corners[2].y, 1);
    ASSERT_EQ((SolidPiece{0, 1, 1, 1, 0, 2}.Corners(corners)), 3u);
    EXPECT_EQ(corners[0].x, 1);
    EXPECT_EQ(corners[1].x, 2);
    EXPECT_EQ(corners[2].x, 0);
    for (size_t i = 0; i < 3; ++i) { // counter-clockwise: a positive area
        const KqPoint2 a = corners[i], b = corners[(i + 1) % 3];
        EXPECT_GE((a.x - corners[0].x) * (b.y - corners[0].y) -
                      (b.x - corners[0].x) * (a.y - corners[0].y),
                  0);
    }
}

// Thousands of polygons from a fixed generator: convex, star-shaped
// (concave), random vertices (self-crossing), slivers and small grid
// polygons (shared heights, collinear, repeated and overlapping edges).
TEST(SolidPiecesTest, CoverEveryRandomPolygonEvenOdd) {
    std::mt19937 random(28);
    for (int n = 0; n < 4000; ++n) {
        const Polygon polygon = testsupport::RandomPolygon(random, n, 14);
        const Pieces pieces = Cut(polygon);
        const KqRect2 box = cadlib::BoxOf<KqPoint2>(polygon);
        const double boxArea = (box.x2 - box.x1) * (box.y2 - box.y1);
        ASSERT_NEAR(AreaOf(pieces), EvenOddArea(polygon), 1e-9 * boxArea)
            << "polygon " << n << Shape(polygon);
        ASSERT_TRUE(CoversEvenOdd(polygon, pieces, random, 50)) << "polygon " << n;
    }
}

// A budget too small for the area gives nothing, having taken no more than
// it had; one just large enough gives every piece.
TEST(SolidPiecesTest, StopWithinTheBudget) {
    const Polygon u{{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}};
    WorkBudget measuring(kPlenty);
    ASSERT_TRUE(cadlib::SolidPieces(u, measuring));
    const uint64_t needed = measuring.Used();
    EXPECT_EQ(needed, 2u + 4u); // two edges in the lower band, four in the upper
    WorkBudget exact(needed);
    EXPECT_EQ(cadlib::SolidPieces(u, exact).value().size(), 3u);
    WorkBudget short_(needed - 1);
    EXPECT_FALSE(cadlib::SolidPieces(u, short_));
    EXPECT_EQ(short_.Left(), 0u);
}

// Tens of thousands of points: a curve filled to its baseline, as a log's
// shading is, costs a few units a point; a tangle of random edges, crossing
// one another millions of times, is stopped by the budget.
TEST(SolidPiecesTest, LargePolygonsCostTheirBandsOnly) {
    Polygon shading;
    const int depths = 40000;
    for (int i = 0; i <= depths; ++i)
        shading.push_back({1 + 0.5 * std::sin(i * 0.37) + 0.2 * std::sin(i * 0.011), i * 0.01});
    shading.push_back({0, depths * 0.01});
    shading.push_back({0, 0});
    WorkBudget budget(1'000'000);
    const auto pieces = cadlib::SolidPieces(shading, budget);
    ASSERT_TRUE(pieces);
    EXPECT_EQ(pieces->size(), size_t(depths));
    EXPECT_LE(budget.Used(), 2u * depths + 2);
    EXPECT_NEAR(AreaOf(*pieces), std::fabs(cadlib::TwiceSignedArea(shading)) / 2, 1e-6);

    std::mt19937 random(5);
    Polygon tangle;
    for (int i = 0; i < 20000; ++i)
        tangle.push_back({random() / 4294967296.0, random() / 4294967296.0});
    WorkBudget bounded(1'000'000);
    EXPECT_FALSE(cadlib::SolidPieces(tangle, bounded));
    EXPECT_EQ(bounded.Left(), 0u);
}

} // namespace

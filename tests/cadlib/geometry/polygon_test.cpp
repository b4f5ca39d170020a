// A hatch's seed point lies strictly inside its boundary, by the even-odd
// rule its area is filled by, for every boundary that has an inside.
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

using cadlib::InsideEvenOdd;
using cadlib::SeedPoint;
using Polygon = std::vector<KqPoint2>;

double DistanceToEdges(const Polygon& polygon, const KqPoint2& p) {
    double nearest = INFINITY;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const KqPoint2 a = polygon[j], d{polygon[i].x - a.x, polygon[i].y - a.y};
        const double length = d.x * d.x + d.y * d.y;
        const double t =
            length > 0 ? std::clamp(((p.x - a.x) * d.x + (p.y - a.y) * d.y) / length, 0.0, 1.0) : 0;
        nearest = std::min(nearest, std::hypot(p.x - a.x - t * d.x, p.y - a.y - t * d.y));
    }
    return nearest;
}

// Inside, off every edge, and off the x axis (a HATCH's last value line).
::testing::AssertionResult WellPlaced(const Polygon& polygon, const KqPoint2& seed) {
    const bool inside = InsideEvenOdd(polygon, seed) && DistanceToEdges(polygon, seed) > 0;
    if (inside && seed.y != 0) return ::testing::AssertionSuccess();
    std::ostringstream shape;
    shape.precision(17);
    for (const KqPoint2& p : polygon)
        shape << " (" << p.x << ", " << p.y << ")";
    return ::testing::AssertionFailure()
           << "seed (" << seed.x << ", " << seed.y << ") of" << shape.str();
}

TEST(SeedPointTest, LiesInsideBoundariesOfEveryShape) {
    const struct {
        const char* shape;
        Polygon polygon;
    } cases[] = {
        // S 600 600; PTO 1200 1800; PTO 600 1800; PTO 1206 600: its centroid
        // lies far below it.
        {"crossed", {{1, 1}, {2, 3}, {1, 3}, {2.01, 1}}},
        {"L", {{0, 0}, {3, 0}, {3, 0.5}, {0.5, 0.5}, {0.5, 3}, {0, 3}}},
        {"U", {{4, 4}, {7, 4}, {7, 8}, {6, 8}, {6, 5}, {5, 5}, {5, 8}, {4, 8}}},
        {"sliver", {{0, 0}, {1000, 1e-7}, {1000, 2e-7}}},
        {"diamond on the x axis", {{-1, 0}, {0, -1}, {1, 0}, {0, 1}}},
        {"ring of two loops",
         {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}, {1, 1}, {1, 3}, {3, 3}, {3, 1}, {1, 1}}},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(WellPlaced(c.polygon, SeedPoint(c.polygon))) << c.shape;
}

// Thousands of polygons from a fixed generator: convex, star-shaped (concave),
// random vertices (self-crossing), slivers and small grid polygons (shared
// heights, collinear and repeated edges). Every one with an inside, as
// random points of its box find it, gets a seed strictly inside.
TEST(SeedPointTest, LiesInsideEveryRandomPolygonThatHasAnInside) {
    std::mt19937 random(28);
    size_t withInside = 0;
    for (int n = 0; n < 5000; ++n) {
        const Polygon polygon = testsupport::RandomPolygon(random, n, 12);
        double x1 = INFINITY, y1 = INFINITY, x2 = -INFINITY, y2 = -INFINITY;
        for (const KqPoint2& p : polygon) {
            x1 = std::min(x1, p.x), y1 = std::min(y1, p.y);
            x2 = std::max(x2, p.x), y2 = std::max(y2, p.y);
        }
        bool hasInside = false;
        for (int i = 0; i < 400 && !hasInside; ++i)
            hasInside = InsideEvenOdd(polygon, {testsupport::Uniform(random, x1, x2),
                                                testsupport::Uniform(random, y1, y2)});
        if (!hasInside) continue;
        ++withInside;
        ASSERT_TRUE(WellPlaced(polygon, SeedPoint(polygon))) << "polygon " << n;
    }
    EXPECT_GT(withInside, 4000u);
}

} // namespace

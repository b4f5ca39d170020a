#include "cadlib/geometry/polygon.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

namespace cadlib {

namespace {

// The most edges the search for a seed looks at across the bands it tries:
// a boundary of thousands of vertices is searched whole, a larger one in its
// tallest bands, so no boundary costs more than a few milliseconds.
constexpr size_t kMostSeedWork = size_t(1) << 24;
// Where in a band (from its lower height, as a share of its height) the
// lines the seed is looked for on lie: its middle and its golden sections,
// on which no crossing of edges at simple coordinates falls.
constexpr double kBandLines[] = {0.5, 0.381966011250105, 0.618033988749895};

// Calls `triangle(a, b, cross)` for each triangle of the fan from the first
// vertex, with its other two corners relative to that vertex and their cross
// product (twice the triangle's signed area).
template <typename Triangle>
void ForEachFanTriangle(std::span<const KqPoint2> polygon, Triangle triangle) {
    const KqPoint2& origin = polygon[0];
    for (size_t i = 1; i + 1 < polygon.size(); ++i) {
        const KqPoint2 a{polygon[i].x - origin.x, polygon[i].y - origin.y};
        const KqPoint2 b{polygon[i + 1].x - origin.x, polygon[i + 1].y - origin.y};
        triangle(a, b, a.x * b.y - b.x * a.y);
    }
}

bool OnAnEdge(std::span<const KqPoint2> polygon, const KqPoint2& p) {
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const KqPoint2& a = polygon[j];
        const KqPoint2& b = polygon[i];
        const bool between = std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) &&
                             std::min(a.y, b.y) <= p.y && p.y <= std::max(a.y, b.y);
        if (between && (b.x - a.x) * (p.y - a.y) == (b.y - a.y) * (p.x - a.x)) return true;
    }
    return false;
}

// The seed of a polygon with no inside: any point, off the x axis.
KqPoint2 AnyPoint(std::span<const KqPoint2> polygon) {
    if (polygon.empty()) return {0, 1};
    const KqPoint2& first = polygon[0];
    return {first.x, first.y != 0 ? first.y : 1};
}

} // namespace

bool InsideEvenOdd(std::span<const KqPoint2> polygon, const KqPoint2& point) {
    bool inside = false;
    ForEachCrossing(polygon, point.y, [&](double x) {
        if (x > point.x) inside = !inside;
    });
    return inside;
}

double TwiceSignedArea(std::span<const KqPoint2> polygon) {
    double twice = 0;
    ForEachFanTriangle(polygon,
                       [&](const KqPoint2&, const KqPoint2&, double cross) { twice += cross; });
    return twice;
}

KqPoint2 Centroid(std::span<const KqPoint2> polygon) {
    double twice = 0, x = 0, y = 0;
    ForEachFanTriangle(polygon, [&](const KqPoint2& a, const KqPoint2& b, double cross) {
        twice += cross;
        x += (a.x + b.x) * cross;
        y += (a.y + b.y) * cross;
    });
    const KqPoint2& origin = polygon[0];
    return {origin.x + x / (3 * twice), origin.y + y / (3 * twice)};
}

KqPoint2 SeedPoint(std::span<const KqPoint2> polygon) {
    if (polygon.size() < 3) return AnyPoint(polygon);
    const KqPoint2 centroid = Centroid(polygon);
    if (centroid.y != 0 && InsideEvenOdd(polygon, centroid) && !OnAnEdge(polygon, centroid)) {
        return centroid;
    }
    // Between two neighbouring vertex heights no vertex lies, so on a line
    // across that band every stretch between a pair of crossings (the first
    // and second, third and fourth...) lies inside, and its middle on no edge.
    std::vector<double> heights;
    for (const KqPoint2& p : polygon) {
        if (std::isfinite(p.y)) heights.push_back(p.y);
    }
    std::sort(heights.begin(), heights.end());
    heights.erase(std::unique(heights.begin(), heights.end()), heights.end());
    if (heights.size() < 2) return AnyPoint(polygon);
    std::vector<size_t> bands(heights.size() - 1);
    std::iota(bands.begin(), bands.end(), 0);
    const auto height = [&](size_t band) { return heights[band + 1] - heights[band]; };
    std::stable_sort(bands.begin(), bands.end(),
                     [&](size_t a, size_t b) { return height(a) > height(b); });
    std::optional<KqPoint2> best;
    double bestClearance = 0;
    std::vector<double> xs;
    size_t work = 0;
    for (const size_t band : bands) {
        // Bands are tried tallest first: a lower one cannot give more clearance.
        if (height(band) <= bestClearance || work > kMostSeedWork) break;
        const double lower = heights[band], upper = heights[band + 1];
        // Edges may cross one another near the middle line, where the stretch
        // between them is narrow: lines off the middle are tried too.
        for (const double fraction : kBandLines) {
            double y = lower + (upper - lower) * fraction;
            if (y == 0) y = upper / 2;
            if (!(lower < y && y < upper)) continue; // no line between the two heights
            work += polygon.size();
            xs.clear();
            ForEachCrossing(polygon, y, [&](double x) { xs.push_back(x); });
            std::sort(xs.begin(), xs.end());
            const double room = 2 * std::min(y - lower, upper - y);
            for (size_t i = 0; i + 1 < xs.size(); i += 2) {
                const double x = xs[i] + (xs[i + 1] - xs[i]) / 2;
                const double clearance = std::min(xs[i + 1] - xs[i], room);
                if (xs[i] < x && x < xs[i + 1] && clearance > bestClearance) {
                    best = KqPoint2{x, y};
                    bestClearance = clearance;
                }
            }
        }
    }
    return best ? *best : AnyPoint(polygon);
}

} // namespace cadlib

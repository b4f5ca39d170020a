#include "cadlib/geometry/polygon.h"

namespace cadlib {

namespace {

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

} // namespace cadlib

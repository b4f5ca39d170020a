// Rules about a polygon (its vertices in order, the last joined to the
// first, without a last vertex that repeats the first) that the fills, the
// masks and the writer share: what lies inside it by the even-odd rule a
// fill's boundary is filled by, its signed area and centroid, and a point
// inside it for a hatch's seed.
#pragma once

#include "cadlib/records.h"

#include <span>
#include <vector>

namespace cadlib {

// Calls `crossed(x)` with each x where an edge of `polygon` crosses the
// horizontal at `y`, in edge order. An edge counts when its ends lie on
// either side; an end on the line counts as above it, so a vertex on the line
// is crossed once or not at all, and a horizontal edge never.
template <typename Crossed>
void ForEachCrossing(std::span<const KqPoint2> polygon, double y, Crossed crossed) {
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const KqPoint2& a = polygon[i];
        const KqPoint2& b = polygon[j];
        if ((a.y > y) != (b.y > y)) crossed(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
    }
}

// Whether `point` lies inside `polygon` by the even-odd rule: an odd number
// of its crossings at the point's height lie right of it.
bool InsideEvenOdd(std::span<const KqPoint2> polygon, const KqPoint2& point);

// Twice the signed area (counter-clockwise positive), summed relative to the
// first vertex for precision.
double TwiceSignedArea(std::span<const KqPoint2> polygon);

// The centroid of the area of a polygon of three or more vertices
// (non-finite when its signed area is 0).
KqPoint2 Centroid(std::span<const KqPoint2> polygon);

// A point strictly inside `polygon` by the even-odd rule, on no edge,
// whenever it has an inside: its centroid when that lies so, else the middle
// of the inside stretch of widest clearance (the lesser of its width and
// twice its line's distance to the band's edges) on the lines across the
// bands between neighbouring vertex heights, which no vertex interrupts: a
// band's middle line and its golden sections (edges crossing one another
// within a band can narrow one line's stretches to nothing). Its y is never
// exactly 0 (a HATCH's seed is its last value line, which must not be "0").
// A polygon with no inside gets its first vertex (off the x axis).
KqPoint2 SeedPoint(std::span<const KqPoint2> polygon);

} // namespace cadlib

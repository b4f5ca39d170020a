// A filled area cut into convex pieces, for a file whose only fill is a
// four-cornered one. The area is a polygon (its vertices in order, without a
// last one that repeats the first), concave or crossing itself, filled by the
// even-odd rule as the screen fills it.
//
// The plane is cut by horizontal lines at every vertex's height and at every
// height where two edges cross. Inside one band no edges cross, so the edges
// that span it keep one order across; the stretches between the first and
// second, third and fourth... of them are inside, each a trapezoid with a
// horizontal bottom and top, or a triangle where two edges meet.
#pragma once

#include "cadlib/geometry/work_budget.h"
#include "cadlib/records.h"

#include <optional>
#include <span>
#include <vector>

namespace cadlib {

// A trapezoid between the heights `bottom` < `top`; a triangle when either
// side's left and right are one point.
struct SolidPiece {
    double bottom, top;
    double bottomLeft, bottomRight, topLeft, topRight;

    // Its corners counter-clockwise from the lower left, into `corners`: four,
    // or three for a triangle. Returns how many.
    size_t Corners(KqPoint2 (&corners)[4]) const;
};

// The pieces that fill `polygon`, in bands from the bottom up; none where a
// band is thinner than rounding (a trillionth of the polygon's size). The
// work is charged to `budget`: one unit for each edge a band pairs and for
// each crossing of two edges. Nothing (std::nullopt) when the budget runs
// out first: then the area is best left unfilled than half filled.
std::optional<std::vector<SolidPiece>> SolidPieces(std::span<const KqPoint2> polygon,
                                                   WorkBudget& budget);

} // namespace cadlib

// Arcs and circles as polygons: what the display strokes and fills, and what
// a filled circle is cut into for a file that has no curved fill.
#pragma once

#include "cadlib/records.h"

#include <vector>

namespace cadlib {

// Appends points along the arc from `startDegrees` sweeping `sweepDegrees`
// counter-clockwise, first and last included, close enough that no chord
// strays more than `tolerance` from the circle.
void AppendArcPoints(const KqPoint2& centre, double radius, double startDegrees,
                     double sweepDegrees, double tolerance, std::vector<KqPoint2>& points);

} // namespace cadlib

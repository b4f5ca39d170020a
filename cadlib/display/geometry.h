// Geometry the display needs before anything reaches a device: clipping to the
// area being painted (so no device sees coordinates far beyond its edges),
// arcs as polylines (arc_points.h), and line-type dash patterns. Boxes are
// KqRect2 with x1 <= x2 and y1 <= y2, in whatever units their points use.
#pragma once

#include "cadlib/geometry/arc_points.h"
#include "cadlib/records.h"
#include "platform/device_context.h"

#include <functional>
#include <span>
#include <vector>

namespace cadlib {

// The runs of an open polyline inside `box`; each run is handed on with the
// distance along the polyline at which it starts.
using PolylineRun = std::function<void(std::span<const platform::LogicalPoint>, double)>;
void ClipPolyline(std::span<const platform::LogicalPoint> points, const KqRect2& box,
                  const PolylineRun& run);

// The part of a closed polygon inside `box`; empty when nothing is inside.
std::vector<platform::LogicalPoint> ClipPolygon(std::span<const platform::LogicalPoint> points,
                                                const KqRect2& box);

// A line type as a pen's dash pattern: lengths alternate drawn and skipped,
// starting with a drawn one (0 is a dot), and `phase` is where the line type's
// own start lies in it. Empty for a solid line.
struct DashPattern {
    std::vector<double> lengths;
    double phase = 0;
    double period = 0;
};

// `elements` in the line-type convention (> 0 dash, < 0 gap, 0 dot), each
// multiplied by `unit`.
DashPattern MakeDashPattern(std::span<const double> elements, double unit);

} // namespace cadlib

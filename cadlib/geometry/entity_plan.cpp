#include "cadlib/geometry/entity_plan.h"

#include "cadlib/geometry/extents.h"
#include "cadlib/geometry/polygon.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace cadlib {

namespace {

// The middle of the widest stretch of the horizontal at `y` that lies inside
// the polygon: between its first and second crossings, third and fourth...
double WidestInsideStretch(std::span<const KqPoint2> polygon, double y) {
    std::vector<double> xs;
    ForEachCrossing(polygon, y, [&xs](double x) { xs.push_back(x); });
    if (xs.size() < 2) return polygon[0].x; // only when `y` misses the polygon
    std::sort(xs.begin(), xs.end());
    size_t widest = 0;
    for (size_t i = 2; i + 1 < xs.size(); i += 2) {
        if (xs[i + 1] - xs[i] > xs[widest + 1] - xs[widest]) widest = i;
    }
    return (xs[widest] + xs[widest + 1]) / 2;
}

} // namespace

KqRect2 FillArea::Bounds() const {
    if (circle) {
        const double r = circle->radius;
        return {circle->centre.x - r, circle->centre.y - r, circle->centre.x + r,
                circle->centre.y + r};
    }
    return BoxOf(polygon);
}

double FillArea::Extent() const {
    if (circle) return 2 * std::sqrt(2.0) * circle->radius;
    const KqRect2 box = Bounds();
    return std::hypot(box.x2 - box.x1, box.y2 - box.y1);
}

bool FillArea::Fillable() const {
    if (circle) return true;
    if (polygon.size() < 3) return false;
    const double extent = Extent();
    return std::fabs(TwiceSignedArea(polygon)) > 1e-12 * extent * extent;
}

KqPoint2 FillArea::Seed() const {
    if (circle) {
        const KqPoint3& centre = circle->centre;
        return {centre.x, centre.y != 0 ? centre.y : circle->radius / 2};
    }
    const KqPoint2 centroid = Centroid(polygon);
    if (centroid.y != 0 && InsideEvenOdd(polygon, centroid)) return centroid;
    // A centroid on the x axis has the outline on both sides of it.
    double y = centroid.y;
    if (y == 0) {
        double top = -HUGE_VAL;
        for (const KqPoint2& p : polygon)
            top = std::max(top, p.y);
        y = top * 1e-3;
    }
    return {WidestInsideStretch(polygon, y), y};
}

HatchCircle FillArea::AsHatchCircle() const {
    return {{circle->centre.x, circle->centre.y}, circle->radius};
}

HatchCut FillArea::Lines(std::span<const KqFillLine> lines, const KqRect2& window,
                         size_t maxWork) const {
    if (circle) return HatchLines(AsHatchCircle(), lines, window, maxWork);
    return HatchLines(polygon, lines, window, maxWork);
}

std::span<const KqFillLine> FillLinesOf(const DataArea& area, const HatchAttachment& hatch) {
    return {area.fillLines.data() + hatch.firstLine, hatch.lineCount};
}

FillArea FillAreaOf(const DataArea& area, const Entity& entity) {
    FillArea fill;
    if (entity.kind == EntityKind::Polyline) {
        const PolylineGeometry& polyline = area.polylines[entity.geometry];
        std::span<const KqPoint2> points(area.Points(polyline), polyline.pointCount);
        if (points.size() > 2 && points.front().x == points.back().x &&
            points.front().y == points.back().y) {
            points = points.first(points.size() - 1);
        }
        fill.polygon = points;
    } else if (entity.kind == EntityKind::Circle) {
        fill.circle = &area.circles[entity.geometry];
    }
    return fill;
}

EntityPlan PlanEntity(const DataArea& area, const Entity& entity) {
    EntityPlan plan;
    if (entity.kind != EntityKind::Polyline && entity.kind != EntityKind::Circle) return plan;
    plan.area = FillAreaOf(area, entity);
    const bool closed =
        entity.kind == EntityKind::Circle || (area.polylines[entity.geometry].kind & 1) != 0;
    const bool fillable = plan.area.Fillable();
    plan.solid = entity.fillStyle == 1 && entity.fillMode == 1 && closed && fillable;
    // A filled area is its fill alone; one with no area to fill keeps its line.
    if (entity.kind == EntityKind::Polyline &&
        area.polylines[entity.geometry].kind == kPolylineFilledArea) {
        plan.outline = !plan.solid;
    }
    if (entity.hatch < area.hatches.size() && fillable) plan.pattern = &area.hatches[entity.hatch];
    return plan;
}

} // namespace cadlib

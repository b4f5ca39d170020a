#include "cadlib/geometry/entity_plan.h"

#include <algorithm>
#include <cmath>

namespace cadlib {

KqRect2 FillArea::Bounds() const {
    if (circle) {
        const double r = circle->radius;
        return {circle->centre.x - r, circle->centre.y - r, circle->centre.x + r,
                circle->centre.y + r};
    }
    KqRect2 box{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (const KqPoint2& p : polygon) {
        box = {std::min(box.x1, p.x), std::min(box.y1, p.y), std::max(box.x2, p.x),
               std::max(box.y2, p.y)};
    }
    return box;
}

double FillArea::Extent() const {
    if (circle) return 2 * std::sqrt(2.0) * circle->radius;
    const KqRect2 box = Bounds();
    return std::hypot(box.x2 - box.x1, box.y2 - box.y1);
}

bool FillArea::Fillable() const {
    if (circle) return true;
    if (polygon.size() < 3) return false;
    // Twice the signed area, relative to the first vertex for precision.
    const KqPoint2* points = polygon.data();
    double twice = 0;
    for (size_t i = 1; i + 1 < polygon.size(); ++i) {
        twice += (points[i].x - points[0].x) * (points[i + 1].y - points[0].y) -
                 (points[i + 1].x - points[0].x) * (points[i].y - points[0].y);
    }
    const double extent = Extent();
    return std::fabs(twice) > 1e-12 * extent * extent;
}

HatchCircle FillArea::AsHatchCircle() const {
    return {{circle->centre.x, circle->centre.y}, circle->radius};
}

HatchCut FillArea::Lines(std::span<const KqFillLine> lines, const KqRect2& window) const {
    if (circle) return HatchLines(AsHatchCircle(), lines, window);
    return HatchLines(polygon, lines, window);
}

std::span<const KqFillLine> FillLinesOf(const DataArea& area, const HatchAttachment& hatch) {
    return {area.fillLines.data() + hatch.firstLine, hatch.lineCount};
}

EntityPlan PlanEntity(const DataArea& area, const Entity& entity) {
    EntityPlan plan;
    bool closed = true;
    if (entity.kind == EntityKind::Polyline) {
        const PolylineGeometry& polyline = area.polylines[entity.geometry];
        std::span<const KqPoint2> points(area.Points(polyline), polyline.pointCount);
        if (points.size() > 2 && points.front().x == points.back().x &&
            points.front().y == points.back().y) {
            points = points.first(points.size() - 1);
        }
        plan.area.polygon = points;
        closed = (polyline.kind & 1) != 0;
    } else if (entity.kind == EntityKind::Circle) {
        plan.area.circle = &area.circles[entity.geometry];
    } else {
        return plan;
    }
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

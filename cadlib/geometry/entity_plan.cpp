#include "cadlib/geometry/entity_plan.h"

#include "cadlib/geometry/arc_points.h"
#include "cadlib/geometry/extents.h"
#include "cadlib/geometry/polygon.h"

#include <cmath>

namespace cadlib {

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
    return SeedPoint(polygon);
}

HatchCircle FillArea::AsHatchCircle() const {
    return {{circle->centre.x, circle->centre.y}, circle->radius};
}

HatchCut FillArea::Lines(std::span<const KqFillLine> lines, const KqRect2& window,
                         size_t maxWork) const {
    if (circle) return HatchLines(AsHatchCircle(), lines, window, maxWork);
    return HatchLines(polygon, lines, window, maxWork);
}

std::optional<std::vector<SolidPiece>> FillArea::SolidPieces(WorkBudget& budget) const {
    if (!circle) return cadlib::SolidPieces(polygon, budget);
    // Right half up, left half down, each with as many chords: each vertex
    // has its mirror at its height, so each band holds a chord of either half.
    std::vector<KqPoint2> chords;
    const KqPoint2 centre{circle->centre.x, circle->centre.y};
    for (const double start : {-90.0, 90.0}) {
        AppendArcPoints(centre, circle->radius, start, 180, kSolidChordTolerance, chords);
        chords.pop_back(); // the next half's start
    }
    return cadlib::SolidPieces(chords, budget);
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

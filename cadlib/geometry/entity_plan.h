// What each entity becomes, decided once and used by both the display and
// the DXF writer, so that the screen and the file never disagree: the
// entity's own line (its outline), a solid fill of its area, and the lines
// of its hatch pattern over that area.
#pragma once

#include "cadlib/database.h"
#include "cadlib/geometry/hatch.h"
#include "cadlib/geometry/solid_pieces.h"

#include <optional>
#include <span>
#include <vector>

namespace cadlib {

// How far the chords of a filled circle cut into pieces may stray from it: a
// tenth of the thinnest pen (0.005 inch), so that its edge looks as round.
inline constexpr double kSolidChordTolerance = 0.0005;

// The area a fill or a pattern covers: a polygon (without a last vertex that
// repeats the first), or a circle.
struct FillArea {
    std::span<const KqPoint2> polygon;
    const CircleGeometry* circle = nullptr;

    KqRect2 Bounds() const;
    // Diagonal of the bounding box.
    double Extent() const;
    // A circle, or a polygon of three or more vertices that encloses an area:
    // a fill of no area shows nothing and some readers refuse it.
    bool Fillable() const;
    // A point inside the area, for a hatch's seed point: a circle's centre, a
    // polygon's SeedPoint (polygon.h). Its y is never exactly 0, so that no
    // value line of a HATCH ends on "0".
    KqPoint2 Seed() const;
    HatchCircle AsHatchCircle() const;
    // The pattern's lines cut to the area and to `window`, within `maxWork`.
    HatchCut Lines(std::span<const KqFillLine> lines, const KqRect2& window,
                   size_t maxWork = MaxHatchWork()) const;
    // The convex pieces its solid fill is cut into (solid_pieces.h), a
    // circle as the polygon of its chords; none when `budget` runs out.
    std::optional<std::vector<SolidPiece>> SolidPieces(WorkBudget& budget) const;
};

struct EntityPlan {
    bool outline = true;
    bool solid = false;
    const HatchAttachment* pattern = nullptr;
    FillArea area; // of polylines and circles
};

// The area of a polyline (its points without a last one that repeats the
// first) or a circle; none for other entities. Found again at no cost by
// whoever keeps only what a plan decided.
FillArea FillAreaOf(const DataArea& area, const Entity& entity);

// A polyline or circle filled (fill style and mode 1) over an area is filled
// solid when it is closed; a filled area (kind 513) filled so is its fill
// alone, any other entity keeps its outline. A hatch attached to an entity with an area
// is drawn over it.
EntityPlan PlanEntity(const DataArea& area, const Entity& entity);

std::span<const KqFillLine> FillLinesOf(const DataArea& area, const HatchAttachment& hatch);

} // namespace cadlib

// Hatch lines: the families of parallel, possibly dashed lines of a
// user-defined hatch, cut to the area they fill. Pure geometry in drawing
// units, so the display draws them and tests check them without any device.
#pragma once

#include "cadlib/records.h"

#include <span>
#include <vector>

namespace cadlib {

// A circle a hatch fills.
struct HatchCircle {
    KqPoint2 centre;
    double radius = 0;
};

// A piece of hatch line: a dash, or a dot when both ends are the same point.
struct HatchPiece {
    KqPoint2 from, to;
};

// Each family runs at its angle through its base point, the next line
// shifted by the offset measured in the line's own frame (along, across), all
// times the family's scale. Along a line the dash values repeat from the
// line's origin: > 0 drawn, a gap or < 0 skipped, 0 a dot; a family that
// never skips is continuous. The lines are cut to `boundary`, a closed polygon
// filled even-odd, and to `window`. A family with more than 100000 lines
// across the area (a spacing of 0 included) is too dense to show and is left
// out; a line whose dashes would repeat more than 10000 times is drawn
// continuous, as such dashes are finer than any device shows. A piece shorter
// than 1e-9 (what rounding leaves of a dash cut at its very end) is none. The display
// draws these pieces and the DXF writer writes them as lines: one clipper, so
// the screen and the file agree.
std::vector<HatchPiece> HatchLines(std::span<const KqPoint2> boundary,
                                   std::span<const KqFillLine> lines, const KqRect2& window);
// The same over a circle, cut exactly to it.
std::vector<HatchPiece> HatchLines(const HatchCircle& circle, std::span<const KqFillLine> lines,
                                   const KqRect2& window);

} // namespace cadlib

// Hatch lines: the families of parallel, possibly dashed lines of a
// user-defined hatch, cut to the area they fill. Pure geometry in drawing
// units, so the display draws them and tests check them without any device.
#pragma once

#include "cadlib/geometry/work_budget.h"
#include "cadlib/records.h"

#include <cstddef>
#include <cstdint>
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

// A dash or line shorter than this is what rounding leaves of one cut where
// an outline (or a mask's) passes through its end: no piece at all, not a dot.
inline constexpr double kHatchSliver = 1e-9;

// The most work one hatch may take, in the units of
// cadlib/geometry/work_budget.h (a million; tests and fuzz targets may lower
// it through cadlib::testing::SetMaxHatchWork). A hatch that would pass it is
// not cut at all; the screen shows it as a tone and the DXF writer keeps its
// HATCH entity. The drawing's budget bounds all its hatches together.
size_t MaxHatchWork();
// What the hatches of one drawing may take when it is written as DXF (its
// plan: the line form's cuts and masks, the HATCH form's patterns too dense
// for readers): sixteen hatches at their bound, a fraction of a second.
uint64_t DrawingWork();
// What one drawing pass of the display may take (the window's, or one
// picture's: PNG, SVG or PDF): one hatch at its bound. Less than a file's,
// since each unit may become a segment painted, and a vector picture holds
// every one (an SVG about 75 bytes and 4 microseconds a segment).
uint64_t DrawingPassWork();
// What one hatch may take of a drawing's `budget`: its own bound, or what is
// left when that is less. The caller charges the budget with what the cut took.
size_t HatchWorkWithin(const WorkBudget& budget);

// What cutting a hatch gives: its pieces, or none when the hatch passed the
// work it was allowed; the work it took (all of it when over the bound); and
// the families (positions in the pattern, from 0) left out because they could
// not be drawn: too dense, values that overflow once scaled, or so large that
// their lines or dashes cannot be counted exactly.
struct HatchCut {
    std::vector<HatchPiece> pieces;
    bool overBound = false;
    size_t work = 0;
    std::vector<uint32_t> leftOut;
};

// Each family runs at its angle through its base point, the next line
// shifted by the offset measured in the line's own frame (along, across), all
// times the family's scale. Along a line the dash values repeat from the
// line's origin: > 0 drawn, a gap or < 0 skipped, 0 a dot; a family that
// never skips is continuous. The lines are cut to `boundary`, a closed polygon
// filled even-odd, and to `window`. A family with more than 100000 lines
// across the area (a spacing of 0 included) is too dense to show and is left
// out; a line whose dashes would repeat more than 10000 times is drawn
// continuous, as such dashes are finer than any device shows. A family whose
// line or dash numbers pass 2^53 (a base point of 1e15, say) is left out: its
// lines would fall on the rounding of their numbers; so is one whose values
// overflow once scaled (a dash plus its gap, an offset or a value times the
// scale past the largest double). A piece shorter
// than 1e-9 (what rounding leaves of a dash cut at its very end) is none. The display
// draws these pieces and the DXF writer writes them as lines: one clipper, so
// the screen and the file agree. `maxWork` (at most MaxHatchWork()) is the
// work this hatch may take.
HatchCut HatchLines(std::span<const KqPoint2> boundary, std::span<const KqFillLine> lines,
                    const KqRect2& window, size_t maxWork = MaxHatchWork());
// The same over a circle, cut exactly to it.
HatchCut HatchLines(const HatchCircle& circle, std::span<const KqFillLine> lines,
                    const KqRect2& window, size_t maxWork = MaxHatchWork());

} // namespace cadlib

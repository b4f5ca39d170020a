// Areas that hide the hatch lines drawn before them. On screen an area
// filled white or black later in the drawing paints over the pattern lines
// under it; a DXF reader that draws no fills would show them through. So the
// line form cuts away, from each hatch's pieces, what later masks cover.
#pragma once

#include "cadlib/geometry/hatch.h"
#include "cadlib/geometry/work_budget.h"
#include "cadlib/records.h"

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <utility>
#include <vector>

namespace cadlib {

class HatchMasks {
  public:
    // A mask at `position` in the drawing's order: a polygon filled even-odd
    // (its points are referred to, not copied) or a circle.
    void AddPolygon(uint32_t position, std::span<const KqPoint2> polygon);
    void AddCircle(uint32_t position, const HatchCircle& circle);

    // Removes from `pieces` (of a hatch at `position`, within `box`) what the
    // masks after it cover (the first 64 of them that reach it); a dot under
    // a mask goes whole. Masks are all added before the first cut. Each mask
    // set against a piece is charged to `work`: a unit, and one for each edge
    // of a polygon that reaches the piece; false, `pieces` unfinished, when
    // it runs out.
    bool CutAway(uint32_t position, const KqRect2& box, std::vector<HatchPiece>& pieces,
                 WorkBudget& work);

  private:
    struct Mask {
        uint32_t position;
        KqRect2 box;
        std::span<const KqPoint2> polygon; // empty for a circle
        HatchCircle circle;
        bool rectangle;        // an axis-parallel rectangle: its box
        bool replaced = false; // by the same shape drawn again later
    };

    void Add(const Mask& mask);
    // Files the masks in a grid of cells over their boxes, once all are added.
    void MakeGrid();
    // The cells (columns c0 to c1, rows r0 to r1) that `box` reaches.
    void CellsOf(const KqRect2& box, int& c0, int& r0, int& c1, int& r1) const;
    // Appends to `kept` what of `piece` none of the masks `over` covers;
    // false when `work` runs out first.
    bool Keep(const HatchPiece& piece, std::span<const Mask* const> over,
              std::vector<HatchPiece>& kept, WorkBudget& work);
    // Appends the stretches [t0, t1] of `piece` (t from 0 at its start to 1
    // at its end) that `mask` covers.
    void Cover(const Mask& mask, const HatchPiece& piece,
               std::vector<std::pair<double, double>>& covered);

    std::vector<Mask> masks_; // in drawing order
    // Rectangles and circles by their box (and kind), to keep each once.
    std::map<std::array<double, 5>, uint32_t> byShape_;
    bool gridMade_ = false;
    KqRect2 extent_{};
    int columns_ = 0, rows_ = 0;
    double cellWidth_ = 0, cellHeight_ = 0;
    std::vector<std::vector<uint32_t>> cells_; // mask indices, rows of columns
    std::vector<uint32_t> large_;              // masks over too many cells to file
    std::vector<uint32_t> seen_;               // by mask: the query that last found it
    uint32_t query_ = 0;
    std::vector<std::pair<double, double>> covered_; // scratch of Keep
    std::vector<double> crossings_;                  // of Cover
};

} // namespace cadlib

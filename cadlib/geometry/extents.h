// Where an entity lies, computed in one place for everything that asks, in
// one of two modes:
// - exactly, as a drawing's file states its extents ($EXTMIN/$EXTMAX): an
//   arc's box through the axis points its sweep passes, a text's capitals'
//   box at the width of the text faces' tables;
// - conservatively, for finding what may reach a view and which rows of a
//   picture a text may touch: an arc as its whole circle, a text as every
//   place its glyphs can fill, from the advance the screen's font system
//   measures (faces differ from one system to another, so only a
//   measurement bounds them), with margins for accents, bearings and slant.
// A text lies in its frame (text_frame.h) in both. Boxes are KqRect2 with
// x1 <= x2 and y1 <= y2, in whatever units their points use.
#pragma once

#include "cadlib/database.h"
#include "cadlib/geometry/text_frame.h"
#include "cadlib/records.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <span>

namespace cadlib {

// The box that holds every point: a window that cuts nothing.
inline constexpr KqRect2 kEverywhere{-INFINITY, -INFINITY, INFINITY, INFINITY};
// The box that holds no point (x1 > x2): what Joined starts from.
inline constexpr KqRect2 kNowhere{INFINITY, INFINITY, -INFINITY, -INFINITY};

// The smallest box that holds both.
inline KqRect2 Joined(const KqRect2& a, const KqRect2& b) {
    return {std::min(a.x1, b.x1), std::min(a.y1, b.y1), std::max(a.x2, b.x2), std::max(a.y2, b.y2)};
}

// Asked of every entity in every drawing pass: defined here, to be inlined.
inline KqRect2 Grown(const KqRect2& box, double margin) {
    return {box.x1 - margin, box.y1 - margin, box.x2 + margin, box.y2 + margin};
}
inline bool Overlaps(const KqRect2& a, const KqRect2& b) {
    return a.x1 <= b.x2 && b.x1 <= a.x2 && a.y1 <= b.y2 && b.y1 <= a.y2;
}
// Whether `inner` lies wholly within `outer`.
inline bool Contains(const KqRect2& outer, const KqRect2& inner) {
    return outer.x1 <= inner.x1 && inner.x2 <= outer.x2 && outer.y1 <= inner.y1 &&
           inner.y2 <= outer.y2;
}

// `rect` with its corners sorted: x1 <= x2, y1 <= y2.
KqRect2 Normalised(const KqRect2& rect);

// The box of `points` (drawing or device points): x1 > x2 when there are none.
template <typename Point>
KqRect2 BoxOf(std::span<const Point> points) {
    KqRect2 box = kNowhere;
    for (const Point& p : points)
        box = Joined(box, {p.x, p.y, p.x, p.y});
    return box;
}

// A box in drawing space, z included; empty until a point is added.
struct SpaceBox {
    double min[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL};
    double max[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};

    bool Empty() const { return min[0] > max[0]; }
    void Add(double x, double y, double z);
    void Add(const KqPoint3& p) { Add(p.x, p.y, p.z); }
};

// Exactly: adds where `entity` lies to `box`, a text at the width of its
// style's face (`faces`), as the file places it.
void AddExactExtents(SpaceBox& box, const DataArea& area, const StyleFaces& faces,
                     const Entity& entity);
// The same for a text of `frame`: its capitals (readers fit the page to the
// extents: what descends below them is left to the margin, as it always was).
void AddTextExtents(SpaceBox& box, const TextFrame& frame);

// The advance of a text's kept part, in drawing units, as a font system
// measures it.
using MeasuredWidth = std::function<double(const TextGeometry&)>;

// Conservatively: a box that holds everything drawn of `entity` (a text's
// glyphs given `textWidth`) but the reach of its pen.
KqRect2 ReachOf(const DataArea& area, const StyleFaces& faces, const Entity& entity,
                const MeasuredWidth& textWidth);

} // namespace cadlib

// Drawing the database into a device context. Only cadlib/ sources include
// this header.
#pragma once

#include "cadlib/display/view.h"
#include "cadlib/geometry/extents.h"
#include "platform/device_context.h"

namespace cadlib {

// Strokes wider than a pixel and fills are cut at the edges of the cells of
// this size (logical units) counted from the drawing's origin that they
// cross, not at the view's edge: where a line is cut decides how it is
// rasterised and dashed, and a pan moves the view over the cells, so a moved
// picture keeps the pieces a refresh draws. Large enough for few pieces,
// small enough for any painter.
inline constexpr double kSteadyCell = 16384;

// One picture: the world-to-logical mapping, the box of logical units it
// fills (x1 <= x2, y1 <= y2), the logical units of one pen-width unit
// (0.01 inch: one pixel on screen, its true size on paper) and the part of
// the box painted this time (logical units), everywhere by default.
struct Scene {
    ViewMapping mapping;
    KqRect2 area;
    double penUnit = 1;
    KqRect2 part = kEverywhere;
};

// Draws every entity of the drawing order on a visible layer that reaches
// the scene's part of its area, clipped to it, in that order, each exactly
// as the whole area's picture has it there. The screen keeps the index
// of where the entities lie (made or made again here), so only those that
// reach the area are looked at.
void DrawScene(Screen& screen, const DataArea& area, platform::DeviceContext& dc,
               const Scene& scene);

} // namespace cadlib

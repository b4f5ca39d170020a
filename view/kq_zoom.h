// KQZoom: the zoom procedures of the screen view (zoom to a band of window
// pixels, zoom in, out or to the limits about a point) and the rubber band.
// Positions are client pixels of the window, origin top left, y down.
#pragma once

#include "platform/window_handles.h"
#include "view/zoom_state.h"

#include <cstdint>

namespace view {

// Makes the band from `start` to `end` (in either order) fill the view. A
// band without width or height (a click without a drag) zooms nothing.
void ZoomByWindow(const PixelPoint& start, const PixelPoint& end);

// Zoom in (twice as close) or out (half as close) on the viewport under
// (x, y), about that point; about the middle of the view when x or y is
// negative (the pointer dragged off the window). Nothing happens when no
// viewport lies there.
void ZoomInAtPoint(int32_t x, int32_t y);
void ZoomOutAtPoint(int32_t x, int32_t y);
// The same by any factor (above 1 closer, below 1 farther).
void ZoomAboutPoint(int32_t x, int32_t y, double factor);
// Shows the limits (the page) in the viewport under (x, y).
void ZoomLimitsAtPoint(int32_t x, int32_t y);

// Inverts the outline of the rectangle with the corners given: drawing the
// same band a second time restores the picture, so no background is saved.
void DrawRubberBand(platform::WindowHandle window, const PixelPoint& corner1,
                    const PixelPoint& corner2);

bool SamePoint(const PixelPoint& p, const PixelPoint& q);

} // namespace view

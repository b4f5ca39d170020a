// The display's geometry: how viewports lie on the drawing area, which part of
// the world each one shows, and the mapping between world and device units.
// Only cadlib/ sources include this header.
#pragma once

#include "cadlib/database.h"
#include "platform/device_context.h"

#include <optional>

namespace cadlib {

// World (drawing units, y up) to logical units of a device, one scale across
// and down.
struct ViewMapping {
    double scale = 1;                // logical units per drawing unit
    double originX = 0, originY = 0; // where the world's origin lies
    double ySign = -1;               // -1: logical y grows downwards

    platform::LogicalPoint ToLogical(double x, double y) const {
        return {originX + x * scale, originY + ySign * y * scale};
    }
    KqPoint2 ToWorld(double x, double y) const {
        return {(x - originX) / scale, (y - originY) / (ySign * scale)};
    }
};

// A viewport as laid out on the drawing area.
struct ViewportView {
    int32_t id = 0;
    KqRect2 pixels;      // x1, y1 top left; x2, y2 bottom right (pixels, y down)
    KqRect2 world;       // the world rectangle shown: the viewport's own, fitted
    ViewMapping mapping; // world to pixels
};

// The display state of viewport `id` (1-based), nullptr when unknown.
ViewportDisplay* DisplayOf(Screen& screen, int32_t id);

// The viewport a request names: `id` itself when known, the current viewport
// for 0; 0 when there is none.
int32_t ResolveViewport(const Screen& screen, int32_t id);

// nullopt for an unknown viewport, or while the drawing area has no size.
std::optional<ViewportView> ViewOf(const Screen& screen, int32_t id);

// The world rectangle viewport `id` (a known one) shows: its own, fitted to
// its shape once the drawing area has a size.
KqRect2 ShownWorld(const Screen& screen, int32_t id);

// A world rectangle a view can show: finite, x1 < x2 and y1 < y2, and large
// enough against its coordinates that pixels still tell points apart.
bool IsUsableView(const KqRect2& world);

} // namespace cadlib

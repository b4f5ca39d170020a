// Rows of 32-bit pixels painted or moved directly: the window of a picture
// that may be painted, its clip, and the move a scrolled picture makes.
#pragma once

#include "platform/device_context.h"

#include <cstddef>
#include <cstdint>

namespace render {

// Rows of pixels that may be painted: those of the half-open window
// [left, right) x [top, bottom) of a picture, `origin` being the picture's
// pixel (0, 0) (which need not be held itself) and `stride` the pixels from
// one row to the next.
struct PixelWindow {
    uint32_t* origin = nullptr;
    ptrdiff_t stride = 0;
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The pixels of `rows` inside `clip`: those whose middles lie in it.
PixelWindow Clipped(const PixelWindow& rows, const platform::DeviceRect& clip);

// Moves the pixels of `area` (cut to the window) by dx, dy pixels, as
// Surface::Scroll: what moves out is lost, what is uncovered keeps its pixels.
void MovePixels(const PixelWindow& window, const platform::DeviceRect& area, int dx, int dy);

} // namespace render

#include "render/pixel_rows.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace render {

using namespace platform; // the device's points, pens and states

PixelWindow Clipped(const PixelWindow& rows, const DeviceRect& clip) {
    // Pixel i's middle, i + 0.5, lies at or beyond `edge` from ceil(edge - 0.5) on.
    const auto from = [](double edge, int low, int high) {
        const double pixel = std::ceil(edge - 0.5);
        return !(pixel > low) ? low : pixel < high ? static_cast<int>(pixel) : high;
    };
    PixelWindow result = rows;
    result.left = from(clip.left, rows.left, rows.right);
    result.right = from(clip.right, result.left, rows.right);
    result.top = from(clip.top, rows.top, rows.bottom);
    result.bottom = from(clip.bottom, result.top, rows.bottom);
    return result;
}

void MovePixels(const PixelWindow& window, const DeviceRect& area, int dx, int dy) {
    const PixelWindow moved = Clipped(window, area);
    const int columns = moved.right - moved.left - std::abs(dx);
    const int rows = moved.bottom - moved.top - std::abs(dy);
    if (columns <= 0 || rows <= 0) return; // all of it moves out
    const int toColumn = moved.left + std::max(dx, 0), fromColumn = moved.left + std::max(-dx, 0);
    // Rows are taken before they are overwritten: from the far end when moving down.
    for (int i = 0; i < rows; ++i) {
        const int to = dy > 0 ? moved.bottom - 1 - i : moved.top + i;
        std::memmove(window.origin + to * window.stride + toColumn,
                     window.origin + (to - dy) * window.stride + fromColumn,
                     static_cast<size_t>(columns) * sizeof(uint32_t));
    }
}

} // namespace render

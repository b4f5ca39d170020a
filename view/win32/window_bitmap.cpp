#include "view/win32/window_bitmap.h"

#include "render/pixel_rows.h"

namespace view::win32 {

bool WindowBitmap::Scroll(const platform::DeviceRect& area, int dx, int dy) {
    // Pixels() first finishes what GDI holds back, so that it moves with the rest.
    uint32_t* const rows = Pixels();
    if (!rows) return false;
    render::MovePixels({rows, Width(), 0, 0, Width(), Height()}, area, dx, dy);
    return true;
}

} // namespace view::win32

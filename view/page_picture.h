// The window's picture of the whole page, drawn onto any surface: what the
// headless --png and --pdf modes of every shell write.
#pragma once

#include "platform/device_context.h"

namespace view {

// The pixels to the inch of the window's pictures: a drawing area of 850 x
// 1100 pixels is the letter page.
inline constexpr int kPagePixelsPerInch = 100;

// A side of `side` pixels at kPagePixelsPerInch, in pixels at `pixelsPerInch`.
int PictureSide(int side, int pixelsPerInch);

// Lays the drawing area out over `surface` (width x height pixels), zooms the
// page into view and draws it once.
void DrawPage(platform::Surface& surface, int width, int height);

} // namespace view

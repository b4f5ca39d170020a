// The window's picture of the whole page, drawn onto any surface: what the
// headless --png and --pdf modes of every shell write.
#pragma once

#include "platform/device_context.h"

namespace view {

// Lays the drawing area out over `surface` (width x height pixels), zooms the
// page into view and draws it once.
void DrawPage(platform::Surface& surface, int width, int height);

} // namespace view

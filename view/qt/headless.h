// Drawing the session's page without a window through Qt: the viewer's --png,
// --pdf and --svg modes (view/shell.h). This header is free of Qt so that the
// driver and the benchmark need none.
#pragma once

#include "platform/device_context.h"
#include "view/shell.h"

#include <memory>
#include <string>

namespace view::qt {

using view::HeadlessGui;
using view::PictureFormat;
using view::WritePagePicture;

// A white image of width x height pixels to draw into without a window.
std::unique_ptr<platform::Surface> CreateImageSurface(int width, int height);
// Paints what `surface` (made by CreateImageSurface) holds back: the window
// asks for its picture after every redraw, and a timing of redraws must too.
void FinishPainting(platform::Surface& surface);
// Writes what `surface` (made by CreateImageSurface) holds as a PNG file.
bool WriteImageSurface(platform::Surface& surface, const std::string& pngFile);

} // namespace view::qt

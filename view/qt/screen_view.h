// The interactive screen view of plotdxf-view. This header is free of Qt so
// that the driver needs none.
#pragma once

#include "view/draw_area.h"

#include <string>

namespace view::qt {

// Creates the window, has `openDrawing` open the session on `commandFile`
// (the window must exist first: the session binds the display to it), then
// shows the drawing until the window is closed (0) or Exit ends the program;
// File > Open, Reload and changes of the file on disk use `openDrawing`
// again. A run-time error while the first drawing opens ends the program
// with the uncaught-error report.
int RunScreenView(int& argc, char** argv, const std::string& commandFile,
                  DrawingOpener openDrawing);

} // namespace view::qt

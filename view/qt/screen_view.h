// The interactive screen view of plotdxf-view. This header is free of Qt so
// that the driver needs none.
#pragma once

#include <functional>

namespace view::qt {

// Creates the window, lets `prepareDrawing` open the session and interpret
// the command file (the window must exist first: the session binds the
// display to it), then shows the drawing until the window is closed (0) or
// Exit ends the program. A run-time error on the way ends the program with
// the uncaught-error report.
int RunScreenView(int& argc, char** argv, const std::function<void()>& prepareDrawing);

} // namespace view::qt

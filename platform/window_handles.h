// Window handles. The viewer's window registers its handle when it is created;
// the drawing session binds the CAD library's display to the registered one.
#pragma once

#include <cstdint>

namespace platform {

using WindowHandle = int32_t;

// A new, never used window handle (non-zero).
WindowHandle CreateWindowHandle();

// The handle of the main drawing window, 0 when none has registered.
WindowHandle MainWindowHandle();
void RegisterMainWindow(WindowHandle window);

} // namespace platform

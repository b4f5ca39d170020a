#include "platform/window_handles.h"

namespace platform {

namespace {
WindowHandle nextWindow = 0x100;
WindowHandle mainWindow = 0;
} // namespace

WindowHandle CreateWindowHandle() {
    return nextWindow++;
}
WindowHandle MainWindowHandle() {
    return mainWindow;
}
void RegisterMainWindow(WindowHandle window) {
    mainWindow = window;
}

} // namespace platform

#include "builder/redraw.h"

#include "builder/session.h"
#include "cadlib/kq_display.h"
#include "platform/device_context.h"
#include "platform/window_handles.h"

namespace builder {

namespace {

// A drawing pass into the main window, `draw` drawing the screen.
template <typename Draw>
void Redraw(Draw draw) {
    const int32_t screen = Session().ScreenHandle;
    if (screen == 0) return;
    const platform::WindowHandle window = platform::MainWindowHandle();
    const platform::DeviceContextHandle dc = platform::GetDC(window);
    kq_set_window_DC(screen, dc);
    kq_begin_draw(screen);
    draw(screen);
    kq_end_draw(screen);
    platform::ReleaseDC(window, dc);
    // The library is never left bound to a released context.
    kq_set_window_DC(screen, 0);
}

} // namespace

void RedrawScreen() {
    Redraw([](int32_t screen) { kq_draw_it(screen); });
}

void RedrawPart(const KqRect2& pixels) {
    Redraw([&pixels](int32_t screen) { kq_draw_part(screen, pixels); });
}

} // namespace builder

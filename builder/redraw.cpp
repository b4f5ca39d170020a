#include "builder/redraw.h"

#include "builder/session.h"
#include "cadlib/kq_display.h"
#include "platform/device_context.h"
#include "platform/window_handles.h"

namespace builder {

void RedrawScreen() {
    const int32_t screen = Session().ScreenHandle;
    if (screen == 0) return;
    const platform::WindowHandle window = platform::MainWindowHandle();
    const platform::DeviceContextHandle dc = platform::GetDC(window);
    kq_set_window_DC(screen, dc);
    kq_begin_draw(screen);
    kq_draw_it(screen);
    kq_end_draw(screen);
    platform::ReleaseDC(window, dc);
    // The library is never left bound to a released context.
    kq_set_window_DC(screen, 0);
}

} // namespace builder

#include "view/page_picture.h"

#include "builder/redraw.h"
#include "builder/session.h"
#include "cadlib/kq_display.h"
#include "platform/window_handles.h"

namespace view {

int PictureSide(int side, int pixelsPerInch) {
    return static_cast<int>(static_cast<long long>(side) * pixelsPerInch / kPagePixelsPerInch);
}

void DrawPage(platform::Surface& surface, int width, int height) {
    const builder::SessionState& session = builder::Session();
    const platform::ScopedWindowSurface shown(platform::MainWindowHandle(), surface);
    kq_resize_vports(session.ScreenHandle, width, height);
    kq_zoom_vport_limits(session.ScreenHandle, session.CurrentViewport);
    builder::RedrawScreen();
}

} // namespace view

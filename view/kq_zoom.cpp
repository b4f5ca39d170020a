#include "view/kq_zoom.h"

#include "builder/session.h"
#include "cadlib/kq.h"
#include "cadlib/kq_display.h"
#include "platform/device_context.h"

namespace view {

namespace {

constexpr double kZoomInFactor = 2.0, kZoomOutFactor = 0.5;

// The viewport under (x, y) made current; negative when there is none or
// the library refuses it.
int32_t ViewportMadeCurrent(int32_t x, int32_t y) {
    const int32_t screen = builder::Session().ScreenHandle;
    const int32_t viewport = kq_which_vport(screen, x, y);
    if (viewport < 0 || kq_set_current_viewport(screen, viewport) < 0) return -1;
    return viewport;
}

} // namespace

void ZoomAboutPoint(int32_t x, int32_t y, double factor) {
    const int32_t viewport = ViewportMadeCurrent(x, y);
    if (viewport < 0) return;
    const int32_t screen = builder::Session().ScreenHandle;
    KqPoint2 centre;
    if (x < 0 || y < 0) {
        KqRect2 world;
        kq_get_vport_world(screen, viewport, world);
        centre = {(world.x1 + world.x2) * 0.5, (world.y1 + world.y2) * 0.5};
    } else {
        kq_get_world_pnt(screen, x, y, centre.x, centre.y);
    }
    kq_zoom_point(screen, viewport, centre, factor);
}

void ZoomByWindow(const PixelPoint& start, const PixelPoint& end) {
    // A band with no width or no height would be an empty view.
    if (SamePoint(start, end) || start.x == end.x || start.y == end.y) return;
    // Start corner first, as dragged: the library sorts the corners.
    const double band[4] = {double(start.x), double(start.y), double(end.x), double(end.y)};
    kq_zoom_vport(builder::Session().ScreenHandle, 0, 0, 1, band, 1.0);
}

void ZoomInAtPoint(int32_t x, int32_t y) {
    ZoomAboutPoint(x, y, kZoomInFactor);
}

void ZoomOutAtPoint(int32_t x, int32_t y) {
    ZoomAboutPoint(x, y, kZoomOutFactor);
}

void ZoomLimitsAtPoint(int32_t x, int32_t y) {
    const int32_t viewport = ViewportMadeCurrent(x, y);
    if (viewport < 0) return;
    kq_zoom_vport_limits(builder::Session().ScreenHandle, viewport);
}

void DrawRubberBand(platform::WindowHandle window, const PixelPoint& corner1,
                    const PixelPoint& corner2) {
    const platform::DeviceContextHandle dc = platform::GetDC(window);
    const int32_t oldOp = platform::SetROP2(dc, platform::R2_NOT);
    const platform::ObjectHandle oldBrush =
        platform::SelectObject(dc, platform::GetStockObject(platform::NULL_BRUSH));
    platform::Rectangle(dc, corner1.x, corner1.y, corner2.x, corner2.y);
    platform::SelectObject(dc, oldBrush);
    platform::SetROP2(dc, oldOp);
    platform::ReleaseDC(window, dc);
}

bool SamePoint(const PixelPoint& p, const PixelPoint& q) {
    return p.x == q.x && p.y == q.y;
}

} // namespace view

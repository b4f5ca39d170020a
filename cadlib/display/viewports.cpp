// Viewports on the drawing area: layout, the world each one shows, picking,
// zoom and pan. A viewport keeps the world rectangle it was given; what it
// shows is that rectangle widened to the viewport's shape, centred. Zooms and
// pans store what they make the viewport show, so a later resize keeps the
// same middle and scale of the picture within reason.
#include "cadlib/display/view.h"
#include "cadlib/geometry/extents.h"
#include "cadlib/kq.h"
#include "cadlib/kq_display.h"

#include <algorithm>
#include <cmath>

namespace cadlib {

namespace {

// The smallest view, relative to the size of its coordinates, that doubles
// still resolve into distinct pixels.
constexpr double kMinimumRelativeSpan = 1e-9;
constexpr int32_t kEveryViewport = 9000;

bool UsableSpan(double low, double high) {
    const double span = high - low;
    const double magnitude = std::max({1.0, std::fabs(low), std::fabs(high)});
    return std::isfinite(span) && span >= kMinimumRelativeSpan * magnitude;
}

// The viewport's requested world widened to the shape of `pixels`, centred.
KqRect2 Fitted(const KqRect2& world, const KqRect2& pixels, double& scale) {
    const double width = pixels.x2 - pixels.x1;
    const double height = pixels.y2 - pixels.y1;
    scale = std::min(width / (world.x2 - world.x1), height / (world.y2 - world.y1));
    const double halfWidth = width / scale / 2, halfHeight = height / scale / 2;
    const double middleX = (world.x1 + world.x2) / 2, middleY = (world.y1 + world.y2) / 2;
    return {middleX - halfWidth, middleY - halfHeight, middleX + halfWidth, middleY + halfHeight};
}

// The active viewport whose pixels hold (x, y); the last made lies on top.
int32_t ActiveViewportAt(const Screen& screen, double x, double y) {
    for (auto id = static_cast<int32_t>(screen.viewports.size()); id >= 1; --id) {
        if (!screen.viewports[id - 1].active) continue;
        const std::optional<ViewportView> view = ViewOf(screen, id);
        if (view && x >= view->pixels.x1 && x < view->pixels.x2 && y >= view->pixels.y1 &&
            y < view->pixels.y2) {
            return id;
        }
    }
    return 0;
}

// Runs `change` on the shown world of the viewport a request names and keeps
// the result when it is a usable view; 1 when kept, 0 otherwise.
template <typename Change>
int32_t ChangeView(int32_t screen, int32_t viewport, Change change) {
    Screen* s = FindScreen(screen);
    const int32_t id = s ? ResolveViewport(*s, viewport) : 0;
    if (id == 0) return 0;
    const std::optional<KqRect2> next = change(*s, id, ShownWorld(*s, id));
    if (!next) return 0;
    const KqRect2 world = Normalised(*next);
    if (!IsUsableView(world)) return 0;
    DisplayOf(*s, id)->world = world;
    return 1;
}

// `world` shrunk about its middle by `factor` (2 shows half as much).
std::optional<KqRect2> Scaled(const KqRect2& world, double factor) {
    if (!std::isfinite(factor) || factor <= 0) return std::nullopt;
    const double halfWidth = (world.x2 - world.x1) / factor / 2;
    const double halfHeight = (world.y2 - world.y1) / factor / 2;
    const double middleX = (world.x1 + world.x2) / 2, middleY = (world.y1 + world.y2) / 2;
    return KqRect2{middleX - halfWidth, middleY - halfHeight, middleX + halfWidth,
                   middleY + halfHeight};
}

} // namespace

ViewportDisplay* DisplayOf(Screen& screen, int32_t id) {
    if (id < 1 || static_cast<size_t>(id) > screen.viewports.size()) return nullptr;
    return &screen.viewports[id - 1];
}

int32_t ResolveViewport(const Screen& screen, int32_t id) {
    const auto count = static_cast<int32_t>(screen.viewports.size());
    if (id != 0) return id >= 1 && id <= count ? id : 0;
    if (screen.currentViewport >= 1 && screen.currentViewport <= count) {
        return screen.currentViewport;
    }
    for (int32_t candidate = 1; candidate <= count; ++candidate) {
        if (screen.viewports[candidate - 1].active) return candidate;
    }
    return 0;
}

std::optional<ViewportView> ViewOf(const Screen& screen, int32_t id) {
    const DataArea* area = DataAreaOf(screen);
    if (!area || id < 1 || static_cast<size_t>(id) > screen.viewports.size() ||
        static_cast<size_t>(id) > area->viewports.size() || screen.areaWidth <= 0 ||
        screen.areaHeight <= 0) {
        return std::nullopt;
    }
    const auto& boundary = area->viewports[id - 1].boundary;
    const double width = screen.areaWidth, height = screen.areaHeight;
    ViewportView view;
    view.id = id;
    view.pixels = {boundary[0] * width, (1 - boundary[3]) * height, boundary[2] * width,
                   (1 - boundary[1]) * height};
    const KqRect2& world = screen.viewports[id - 1].world;
    if (!(view.pixels.x2 > view.pixels.x1 && view.pixels.y2 > view.pixels.y1) ||
        !IsUsableView(world)) {
        return std::nullopt;
    }
    double scale = 1;
    view.world = Fitted(world, view.pixels, scale);
    view.mapping = {scale, view.pixels.x1 - view.world.x1 * scale,
                    view.pixels.y1 + view.world.y2 * scale, -1};
    return view;
}

KqRect2 ShownWorld(const Screen& screen, int32_t id) {
    const std::optional<ViewportView> view = ViewOf(screen, id);
    return view ? view->world : screen.viewports[id - 1].world;
}

bool IsUsableView(const KqRect2& world) {
    return UsableSpan(world.x1, world.x2) && UsableSpan(world.y1, world.y2);
}

} // namespace cadlib

using namespace cadlib;

int32_t kq_resize_vports(int32_t screen, int32_t width, int32_t height) {
    Screen* s = FindScreen(screen);
    if (!s || width <= 0 || height <= 0) return 0;
    s->areaWidth = width;
    s->areaHeight = height;
    return 1;
}

int32_t kq_get_vport_world(int32_t screen, int32_t viewport, KqRect2& world) {
    Screen* s = FindScreen(screen);
    const int32_t id = s ? ResolveViewport(*s, viewport) : 0;
    if (id == 0) return 0;
    world = ShownWorld(*s, id);
    return 1;
}

int32_t kq_get_vport_pixels(int32_t screen, int32_t viewport, KqRect2& pixels) {
    const Screen* s = FindScreen(screen);
    const int32_t id = s ? ResolveViewport(*s, viewport) : 0;
    const std::optional<ViewportView> view = id != 0 ? ViewOf(*s, id) : std::nullopt;
    if (!view) return 0;
    pixels = view->pixels;
    return 1;
}

int32_t kq_set_vport_world(int32_t screen, int32_t viewport, const KqRect2& world) {
    return ChangeView(screen, viewport,
                      [&world](const Screen&, int32_t, const KqRect2&) { return world; });
}

int32_t kq_reset_vport(int32_t screen, int32_t viewport) {
    // What a viewport shows follows from its world whenever it is asked for,
    // so there is nothing to bring up to date: only the id is checked.
    Screen* s = FindScreen(screen);
    if (!s) return 0;
    return viewport == kEveryViewport || ResolveViewport(*s, viewport) != 0 ? 1 : 0;
}

int32_t kq_set_vport_status(int32_t screen, int32_t status, int32_t viewport) {
    Screen* s = FindScreen(screen);
    if (!s) return 0;
    if (viewport == 0 || viewport == -1) {
        for (ViewportDisplay& display : s->viewports)
            display.active = status != 0;
        return 1;
    }
    ViewportDisplay* display = DisplayOf(*s, viewport);
    if (!display) return 0;
    display->active = status != 0;
    return 1;
}

int32_t kq_pan_vport(int32_t screen, int32_t viewport, double dx, double dy) {
    return ChangeView(screen, viewport, [dx, dy](const Screen&, int32_t, const KqRect2& shown) {
        return KqRect2{shown.x1 + dx, shown.y1 + dy, shown.x2 + dx, shown.y2 + dy};
    });
}

int32_t kq_zoom_vport(int32_t screen, int32_t viewport, int32_t worldUnits, int32_t,
                      const double rect[4], double factor) {
    if (!rect) return 0;
    return ChangeView(screen, viewport,
                      [&](const Screen& s, int32_t id, const KqRect2&) -> std::optional<KqRect2> {
                          KqRect2 region{rect[0], rect[1], rect[2], rect[3]};
                          if (worldUnits == 0) {
                              const std::optional<ViewportView> view = ViewOf(s, id);
                              if (!view) return std::nullopt;
                              const KqPoint2 a = view->mapping.ToWorld(rect[0], rect[1]);
                              const KqPoint2 b = view->mapping.ToWorld(rect[2], rect[3]);
                              region = {a.x, a.y, b.x, b.y};
                          }
                          return Scaled(Normalised(region), factor);
                      });
}

int32_t kq_zoom_vport_limits(int32_t screen, int32_t viewport) {
    return ChangeView(screen, viewport,
                      [](const Screen& s, int32_t, const KqRect2&) { return s.paper; });
}

int32_t kq_zoom_point(int32_t screen, int32_t viewport, const KqPoint2& centre, double factor) {
    return ChangeView(
        screen, viewport,
        [&centre, factor](const Screen&, int32_t, const KqRect2& shown) -> std::optional<KqRect2> {
            if (!std::isfinite(factor) || factor <= 0) return std::nullopt;
            // Every corner moves towards the centre by the same ratio, so the
            // centre keeps its place in the viewport.
            return KqRect2{centre.x + (shown.x1 - centre.x) / factor,
                           centre.y + (shown.y1 - centre.y) / factor,
                           centre.x + (shown.x2 - centre.x) / factor,
                           centre.y + (shown.y2 - centre.y) / factor};
        });
}

int32_t kq_which_vport(int32_t screen, int32_t x, int32_t y) {
    const Screen* s = FindScreen(screen);
    if (!s) return 0;
    const int32_t id = ActiveViewportAt(*s, x, y);
    return id != 0 ? id : -1;
}

int32_t kq_set_current_viewport(int32_t screen, int32_t viewport) {
    Screen* s = FindScreen(screen);
    if (!s) return 0;
    if (!DisplayOf(*s, viewport)) return -1;
    s->currentViewport = viewport;
    return viewport;
}

int32_t kq_get_world_pnt(int32_t screen, int32_t x, int32_t y, double& wx, double& wy) {
    const Screen* s = FindScreen(screen);
    if (!s) return 0;
    const int32_t under = ActiveViewportAt(*s, x, y);
    const std::optional<ViewportView> view =
        ViewOf(*s, under != 0 ? under : ResolveViewport(*s, 0));
    if (!view) return 0;
    const KqPoint2 world = view->mapping.ToWorld(x, y);
    wx = world.x;
    wy = world.y;
    return 1;
}

int32_t kq_set_mouse(int32_t screen, int32_t x, int32_t y) {
    Screen* s = FindScreen(screen);
    if (!s) return 0;
    s->mouseX = x;
    s->mouseY = y;
    return 1;
}

// Entity construction, attributes, the entity list and hatch attachment.
#include "cadlib/database.h"
#include "cadlib/dxf/stream.h"
#include "cadlib/fill_line.h"
#include "cadlib/geometry/angles.h"
#include "cadlib/kq.h"

#include <cmath>
#include <cstring>
#include <span>

using namespace cadlib;

namespace {

bool Finite(const KqPoint3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

template <typename Geometry>
int32_t Construct(int32_t dataArea, EntityKind kind, std::vector<Geometry> DataArea::*store,
                  const Geometry& geometry) {
    DataArea* area = FindDataArea(dataArea);
    if (!area) return 0;
    auto& vector = area->*store;
    const int32_t handle = AddEntity(*area, kind, static_cast<uint32_t>(vector.size()));
    if (handle) vector.push_back(geometry);
    return handle;
}

// Index of `name` among the style names text entities refer to, added when new.
uint32_t InternStyleName(DataArea& area, std::string_view name) {
    for (size_t i = area.styleNames.size(); i-- > 0;) {
        if (area.styleNames[i] == name) return static_cast<uint32_t>(i);
    }
    area.styleNames.emplace_back(name);
    return static_cast<uint32_t>(area.styleNames.size() - 1);
}

// The attachment holding exactly these fill lines under this name, made when new.
uint32_t InternHatch(DataArea& area, std::span<const KqFillLine> lines, std::string_view name) {
    const uint32_t hash = FillLinesHash(lines);
    const auto [first, last] = area.hatchesByContent.equal_range(hash);
    for (auto it = first; it != last; ++it) {
        const HatchAttachment& known = area.hatches[it->second];
        const std::span<const KqFillLine> knownLines(area.fillLines.data() + known.firstLine,
                                                     known.lineCount);
        if (known.name == name && SameFillLines(knownLines, lines)) return it->second;
    }
    const auto index = static_cast<uint32_t>(area.hatches.size());
    area.hatches.push_back({static_cast<uint32_t>(area.fillLines.size()),
                            static_cast<uint32_t>(lines.size()), std::string(name), hash});
    area.fillLines.insert(area.fillLines.end(), lines.begin(), lines.end());
    area.hatchesByContent.emplace(hash, index);
    return index;
}

template <typename Apply>
int32_t WithEntity(int32_t handle, Apply apply) {
    DataArea* owner = nullptr;
    Entity* entity = FindEntity(handle, &owner);
    if (!entity) return 0;
    apply(*entity);
    ++owner->revision;
    return 1;
}

} // namespace

int32_t kq_construct_line(int32_t dataArea, const KqPoint3& start, const KqPoint3& end) {
    if (!Finite(start) || !Finite(end)) return 0;
    return Construct(dataArea, EntityKind::Line, &DataArea::lines, LineGeometry{start, end});
}

int32_t kq_construct_circle(int32_t dataArea, const KqPoint3& centre, double radius) {
    if (!Finite(centre) || !std::isfinite(radius) || radius <= 0) return 0;
    return Construct(dataArea, EntityKind::Circle, &DataArea::circles,
                     CircleGeometry{centre, radius});
}

int32_t kq_construct_arc(int32_t dataArea, const KqPoint3& centre, double radius, double first,
                         double second) {
    if (!Finite(centre) || !std::isfinite(radius) || radius <= 0 || !std::isfinite(first) ||
        !std::isfinite(second)) {
        return 0;
    }
    return Construct(dataArea, EntityKind::Arc, &DataArea::arcs,
                     ArcGeometry{centre, radius, first, second});
}

int32_t kq_construct_text(int32_t dataArea, const KqPoint3& first, const char* text, double height,
                          double widthFactor, double oblique, double rotation, int32_t horizontal,
                          int32_t vertical, int32_t flags, const KqPoint3& second) {
    DataArea* area = FindDataArea(dataArea);
    if (!area || !Finite(first) || !Finite(second) || !std::isfinite(height) ||
        !std::isfinite(widthFactor) || !std::isfinite(oblique) || !std::isfinite(rotation)) {
        return 0;
    }
    const char* content = text ? text : "";
    const size_t length = std::strlen(content);
    if (area->textArena.size() + length > UINT32_MAX) return 0;

    TextGeometry geometry;
    geometry.first = first;
    geometry.second = second;
    geometry.height = height;
    geometry.widthFactor = widthFactor;
    geometry.oblique = oblique;
    geometry.rotation = rotation;
    geometry.horizontal = horizontal;
    geometry.vertical = vertical;
    geometry.flags = flags;
    geometry.textOffset = static_cast<uint32_t>(area->textArena.size());
    geometry.textLength = static_cast<uint32_t>(length);
    geometry.keptLength =
        static_cast<uint32_t>(TextKept(std::string_view(content, length), kMaxTextBytes).size());
    geometry.styleName = InternStyleName(*area, "STANDARD");
    const int32_t handle = Construct(dataArea, EntityKind::Text, &DataArea::texts, geometry);
    if (handle) area->textArena.insert(area->textArena.end(), content, content + length);
    return handle;
}

int32_t kq_construct_polyline(int32_t dataArea, int32_t kind, const KqPoint3* points,
                              int32_t count) {
    DataArea* area = FindDataArea(dataArea);
    if (!area || !points || count < 2) return 0;
    for (int32_t i = 0; i < count; ++i) {
        if (!Finite(points[i])) return 0;
    }
    PolylineGeometry geometry{static_cast<uint32_t>(area->polylinePoints.size()),
                              static_cast<uint32_t>(count), kind};
    const int32_t handle =
        Construct(dataArea, EntityKind::Polyline, &DataArea::polylines, geometry);
    if (handle) {
        for (int32_t i = 0; i < count; ++i)
            area->polylinePoints.push_back({points[i].x, points[i].y});
    }
    return handle;
}

int32_t kq_update_entity_list(int32_t dataArea, int32_t, int32_t entity) {
    DataArea* owner = nullptr;
    Entity* record = FindEntity(entity, &owner);
    if (!record || owner != FindDataArea(dataArea) || record->listed) return 0;
    record->listed = true;
    owner->order.push_back(static_cast<uint32_t>(record - owner->entities.data()));
    ++owner->revision;
    return 1;
}

int32_t kq_get_entity_data(int32_t entity) {
    return FindEntity(entity) ? entity : 0;
}

int32_t kq_set_text_name(int32_t entityData, const char* styleName) {
    DataArea* owner = nullptr;
    Entity* entity = FindEntity(entityData, &owner);
    if (!entity || entity->kind != EntityKind::Text || !styleName) return 0;
    // The name ends at its zero character; the buffer's padding is not part of it.
    owner->texts[entity->geometry].styleName = InternStyleName(*owner, styleName);
    return 1;
}

int32_t kq_set_entity_penwidth(int32_t entity, int32_t width) {
    return WithEntity(entity, [&](Entity& e) { e.penWidth = width; });
}

int32_t kq_set_entity_color(int32_t entity, int32_t colour) {
    return WithEntity(entity, [&](Entity& e) { e.colour = colour; });
}

int32_t kq_set_entity_fillstyle(int32_t entity, int32_t style) {
    return WithEntity(entity, [&](Entity& e) { e.fillStyle = style; });
}

int32_t kq_set_entity_fillmode(int32_t entity, int32_t mode) {
    return WithEntity(entity, [&](Entity& e) { e.fillMode = mode; });
}

// --- Arcs through three points ---------------------------------------------

double kq_degrees(double radians) {
    return Degrees(radians);
}

int32_t kq_arc_3pnts(const KqPoint2& start, const KqPoint2& middle, const KqPoint2& end,
                     KqArc& arc) {
    // Circumcentre of the triangle start-middle-end.
    const double ax = start.x, ay = start.y;
    const double bx = middle.x, by = middle.y;
    const double cx = end.x, cy = end.y;
    const double d = 2.0 * (ax * (by - cy) + bx * (cy - ay) + cx * (ay - by));
    const double scale =
        std::fabs(bx - ax) + std::fabs(by - ay) + std::fabs(cx - ax) + std::fabs(cy - ay);
    if (!std::isfinite(d) || std::fabs(d) <= 1e-12 * scale * scale) return 0; // collinear
    const double a2 = ax * ax + ay * ay, b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
    const double ux = (a2 * (by - cy) + b2 * (cy - ay) + c2 * (ay - by)) / d;
    const double uy = (a2 * (cx - bx) + b2 * (ax - cx) + c2 * (bx - ax)) / d;
    const double radius = std::hypot(ax - ux, ay - uy);
    if (!std::isfinite(ux) || !std::isfinite(uy) || !std::isfinite(radius)) return 0;

    const double startAngle = std::atan2(ay - uy, ax - ux);
    const double endAngle = std::atan2(cy - uy, cx - ux);
    // Counter-clockwise from start to end passes the middle point when the
    // three points turn left (d > 0); otherwise the arc runs from end to start.
    arc.centreX = ux;
    arc.centreY = uy;
    arc.radius = radius;
    if (d > 0) {
        arc.firstAngle = startAngle;
        arc.secondAngle = endAngle;
    } else {
        arc.firstAngle = endAngle;
        arc.secondAngle = startAngle;
    }
    return 1;
}

// --- Hatch fills -----------------------------------------------------------

int32_t kq_set_fill_pattern(double angle, double baseX, double baseY, double offsetAlong,
                            double offsetAcross, double dash, double gap, double d1, double d2,
                            double d3, double d4, double d5, double d6, double d7,
                            int32_t dashCount, double scale, KqFillLine& line) {
    line.angle = angle;
    line.baseX = baseX;
    line.baseY = baseY;
    line.offsetAlong = offsetAlong;
    line.offsetAcross = offsetAcross;
    line.dash = dash;
    line.gap = gap;
    const double more[7] = {d1, d2, d3, d4, d5, d6, d7};
    std::memcpy(line.moreDashes, more, sizeof more);
    line.dashCount = dashCount;
    line.scale = scale;
    return 1;
}

int32_t kq_filluser_entity(int32_t screen, const KqFillLine* lines, int32_t count, int32_t entity) {
    return kq_filluser_named_entity(screen, lines, count, nullptr, entity);
}

int32_t kq_filluser_named_entity(int32_t screen, const KqFillLine* lines, int32_t count,
                                 const char* name, int32_t entity) {
    Screen* s = FindScreen(screen);
    DataArea* owner = nullptr;
    Entity* record = FindEntity(entity, &owner);
    if (!s || !record || owner != DataAreaOf(*s) || !lines || count <= 0) return 0;
    if (record->kind != EntityKind::Polyline && record->kind != EntityKind::Circle) return 0;
    record->hatch =
        InternHatch(*owner, {lines, static_cast<size_t>(count)}, name ? name : std::string_view());
    if (owner->sourceLine != 0) {
        owner->hatchSourceLines[static_cast<uint32_t>(record - owner->entities.data())] =
            owner->sourceLine;
    }
    ++owner->revision;
    return 1;
}

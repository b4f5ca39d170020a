#include "cadlib/geometry/extents.h"

#include "cadlib/geometry/angles.h"
#include "platform/text_extent.h"

#include <algorithm>
#include <cmath>

namespace cadlib {

namespace {

void AddArc(SpaceBox& box, const ArcGeometry& arc) {
    const auto at = [&](double cosine, double sine) {
        box.Add(arc.centre.x + arc.radius * cosine, arc.centre.y + arc.radius * sine, arc.centre.z);
    };
    at(std::cos(Radians(arc.startAngle)), std::sin(Radians(arc.startAngle)));
    at(std::cos(Radians(arc.endAngle)), std::sin(Radians(arc.endAngle)));
    // The axis points the counter-clockwise sweep passes.
    const double sweep = ArcSweep(arc.startAngle, arc.endAngle);
    const double axes[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        if (NormalisedDegrees(quadrant * 90.0 - arc.startAngle) <= sweep) {
            at(axes[quadrant][0], axes[quadrant][1]);
        }
    }
}

std::span<const KqPoint2> PointsOf(const DataArea& area, const PolylineGeometry& polyline) {
    return {area.Points(polyline), polyline.pointCount};
}

// The box of a text's glyphs about the middle of its capitals, from its
// measured advance.
KqRect2 GlyphsReach(const TextGeometry& text, const TextFrame& frame, double width) {
    const platform::TextFont font = FontOf(frame, text, {}, text.height);
    const KqPoint3 middle = frame.Middle();
    const auto corners = platform::TextExtentCorners(platform::TextExtentOf(width, font), font,
                                                     {middle.x, middle.y}, true);
    return BoxOf<platform::DevicePoint>(corners);
}

} // namespace

KqRect2 Normalised(const KqRect2& rect) {
    return {std::min(rect.x1, rect.x2), std::min(rect.y1, rect.y2), std::max(rect.x1, rect.x2),
            std::max(rect.y1, rect.y2)};
}

void SpaceBox::Add(double x, double y, double z) {
    const double p[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) {
        min[i] = std::min(min[i], p[i]);
        max[i] = std::max(max[i], p[i]);
    }
}

void AddExactExtents(SpaceBox& box, const DataArea& area, const StyleFaces& faces,
                     const Entity& entity) {
    switch (entity.kind) {
    case EntityKind::Line: {
        const LineGeometry& line = area.lines[entity.geometry];
        box.Add(line.start);
        box.Add(line.end);
        break;
    }
    case EntityKind::Circle: {
        const CircleGeometry& circle = area.circles[entity.geometry];
        const KqPoint3& c = circle.centre;
        box.Add(c.x - circle.radius, c.y - circle.radius, c.z);
        box.Add(c.x + circle.radius, c.y + circle.radius, c.z);
        break;
    }
    case EntityKind::Arc:
        AddArc(box, area.arcs[entity.geometry]);
        break;
    case EntityKind::Text:
        AddTextExtents(box, faces.FrameOf(area, area.texts[entity.geometry]));
        break;
    case EntityKind::Polyline:
        for (const KqPoint2& p : PointsOf(area, area.polylines[entity.geometry]))
            box.Add(p.x, p.y, 0);
        break;
    }
}

void AddTextExtents(SpaceBox& box, const TextFrame& frame) {
    for (const KqPoint3& corner : frame.Capitals())
        box.Add(corner);
}

KqRect2 ReachOf(const DataArea& area, const StyleFaces& faces, const Entity& entity,
                const MeasuredWidth& textWidth) {
    switch (entity.kind) {
    case EntityKind::Line: {
        const LineGeometry& line = area.lines[entity.geometry];
        return Normalised({line.start.x, line.start.y, line.end.x, line.end.y});
    }
    case EntityKind::Circle: {
        const CircleGeometry& circle = area.circles[entity.geometry];
        return Grown({circle.centre.x, circle.centre.y, circle.centre.x, circle.centre.y},
                     circle.radius);
    }
    case EntityKind::Arc: {
        const ArcGeometry& arc = area.arcs[entity.geometry];
        return Grown({arc.centre.x, arc.centre.y, arc.centre.x, arc.centre.y}, arc.radius);
    }
    case EntityKind::Text: {
        const TextGeometry& text = area.texts[entity.geometry];
        const double width = textWidth(text);
        return GlyphsReach(text, faces.FrameOf(text, width), width);
    }
    case EntityKind::Polyline:
        return BoxOf(PointsOf(area, area.polylines[entity.geometry]));
    }
    return {};
}

} // namespace cadlib

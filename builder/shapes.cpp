// Circles, arcs and triangles.
#include "builder/shapes.h"

#include "builder/lines.h"
#include "builder/session.h"
#include "cadlib/kq.h"
#include "interpreter/placement.h"

namespace builder {

namespace {

using interpreter::Placement;
using interpreter::StoreSingle;

// Triangle half-width per unit of size: 0.866 as the plots have always used,
// not the full-precision half of the square root of 3.
constexpr double kTriangleHalfWidth = 0.866;
// Drawing units of arc rise per command unit; the rise ignores ScaleY.
constexpr double kArcRiseFactor = 0.04;

// A circle of `radius` drawing units around the pen, appended; 0 when the
// library refuses it.
int32_t AppendCircle(float radius) {
    const interpreter::PlacementState& p = Placement();
    const KqPoint3 centre{p.PenX, p.PenY, 0.0};
    const int32_t entity = kq_construct_circle(Session().DataAreaHandle, centre, radius);
    return AppendEntity(entity) ? entity : 0;
}

// Both scales are 1 while a triangle draws, so its sizes pass through the line
// operations as drawing units; the caller's scales come back on every exit.
class UnitScales {
  public:
    UnitScales() : scaleX_(Placement().ScaleX), scaleY_(Placement().ScaleY) {
        interpreter::SH(1);
        interpreter::SV(1);
    }
    ~UnitScales() {
        interpreter::SH(scaleX_);
        interpreter::SV(scaleY_);
    }
    UnitScales(const UnitScales&) = delete;
    UnitScales& operator=(const UnitScales&) = delete;

  private:
    float scaleX_, scaleY_;
};

// An equilateral triangle of circumradius `size` around the pen: the base
// side first, drawn leftwards from the corner to the right of the pen, then
// the two sides through the apex. The pen ends where it started.
void DrawTriangle(float size, bool pointsUp) {
    const float a = StoreSingle(double(size) * kTriangleHalfWidth);
    const float b = StoreSingle(double(size) * 0.5);
    const float base = StoreSingle(2.0 * a);
    const float rise = StoreSingle(double(b) + size); // base to apex
    const float toApex = pointsUp ? rise : -rise;
    // The base lies below the pen for an upward triangle, above it otherwise.
    const auto toBase = pointsUp ? interpreter::SD : interpreter::SU;
    const auto fromBase = pointsUp ? interpreter::SU : interpreter::SD;

    const UnitScales unitScales;
    interpreter::SR(a);
    toBase(b);
    LineLeft(base);
    LineRelative(a, toApex);
    LineRelative(a, -toApex);
    interpreter::SL(a);
    fromBase(b);
}

} // namespace

void DrawCircle(float radius) {
    const int32_t entity = AppendCircle(radius);
    if (entity != 0) kq_set_entity_penwidth(entity, Pen().PenWidth);
}

void DrawFilledCircle(float radius) {
    const int32_t entity = AppendCircle(radius);
    if (entity == 0) return;
    kq_set_entity_color(entity, kInkColour);
    kq_set_entity_fillstyle(entity, 1);
    kq_set_entity_fillmode(entity, 1);
}

// An arc from the pen over a horizontal chord of `width` command units, through
// the point `rise` above the chord's middle.
void DrawArc(float width, float rise) {
    const interpreter::PlacementState& p = Placement();
    const float endX = StoreSingle(p.PenX + interpreter::DistanceX(width));
    const float middleX = StoreSingle(p.PenX + interpreter::DistanceX(double(width) / 2.0));
    const float middleY = StoreSingle(p.PenY + double(rise) * kArcRiseFactor);

    KqPoint2 start;
    KqPoint2 middle;
    KqPoint2 end;
    kq_set_pnt_2d(p.PenX, p.PenY, start);
    kq_set_pnt_2d(middleX, middleY, middle);
    kq_set_pnt_2d(endX, p.PenY, end);
    // Collinear points leave the record untouched: zeros make a radius the
    // library refuses, so no entity.
    KqArc arc{};
    kq_arc_3pnts(start, middle, end, arc);

    const KqPoint3 centre{arc.centreX, arc.centreY, 0.0};
    const double first = kq_degrees(arc.firstAngle);
    const double second = kq_degrees(arc.secondAngle);
    AppendEntity(kq_construct_arc(Session().DataAreaHandle, centre, arc.radius, first, second));
}

void DrawTriangleUp(float size) {
    DrawTriangle(size, true);
}
void DrawTriangleDown(float size) {
    DrawTriangle(size, false);
}

} // namespace builder

// Pen width, line type and line commands.
#include "builder/lines.h"

#include "builder/session.h"
#include "cadlib/kq.h"
#include "interpreter/placement.h"
#include "platform/module_state.h"

#include <cmath>

namespace builder {

namespace {

using interpreter::DistanceX;
using interpreter::DistanceY;
using interpreter::Placement;
using interpreter::StoreSingle;

struct LineTypeRow {
    int16_t code;
    double scale;
    const char* name;
};

// The dashed styles; every other code is a continuous line.
constexpr LineTypeRow kDashedLineTypes[] = {
    {2, 0.25, "HIDDEN"},
    {3, 0.1, "DASHDOT"},
    {4, 0.1, "CENTER"},
    {5, 0.1, "DOT"},
};

// Draws from the pen to (endX, endY) and moves the pen there, whether or not
// the library made a line. The library gets the end as given; the pen keeps it
// in single precision, rounded first so an overflow leaves the drawing alone.
void EmitLine(double endX, double endY) {
    const float penX = StoreSingle(endX);
    const float penY = StoreSingle(endY);
    interpreter::PlacementState& p = Placement();
    KqPoint3 start;
    KqPoint3 end;
    kq_set_pnt_3d(p.PenX, p.PenY, 0.0, start);
    kq_set_pnt_3d(endX, endY, 0.0, end);
    AppendWithPenWidth(kq_construct_line(Session().DataAreaHandle, start, end));
    p.PenX = penX;
    p.PenY = penY;
}

} // namespace

PenState& Pen() {
    return platform::ModuleState<PenState, platform::StateScope::CommandFile>();
}

void SetPenWidth(int32_t width) {
    Pen().PenWidth = width;
    kq_set_sys_penwidth(Session().DataAreaHandle, width);
}

void SetLineType(int16_t code) {
    const int32_t area = Session().DataAreaHandle;
    for (const LineTypeRow& row : kDashedLineTypes) {
        if (row.code == code) {
            kq_set_sys_ltscale(area, row.scale);
            kq_set_sys_ltype(area, row.name);
            return;
        }
    }
    // A continuous line keeps the scale an earlier dashed style set.
    kq_set_sys_ltype(area, "CONTINUOUS");
}

void AppendWithPenWidth(int32_t entity) {
    if (AppendEntity(entity)) kq_set_entity_penwidth(entity, Pen().PenWidth);
}

// The end's x is computed before its y (not inside one call's arguments), so
// with both scales bad the x conversion's error is the one raised.
void LineAtAngle(float angleDegrees, float length) {
    const interpreter::PlacementState& p = Placement();
    const double r = double(angleDegrees) * interpreter::kRadiansPerDegree;
    const double endX = p.PenX + std::cos(r) * DistanceX(length);
    const double endY = p.PenY + std::sin(r) * DistanceY(length);
    EmitLine(endX, endY);
}

// The axis-parallel lines round the moved coordinate to single precision
// before the library sees it, so line and pen agree exactly.
void LineRight(float d) {
    const interpreter::PlacementState& p = Placement();
    EmitLine(StoreSingle(p.PenX + DistanceX(d)), p.PenY);
}

void LineLeft(float d) {
    const interpreter::PlacementState& p = Placement();
    EmitLine(StoreSingle(p.PenX - DistanceX(d)), p.PenY);
}

void LineUp(float d) {
    const interpreter::PlacementState& p = Placement();
    EmitLine(p.PenX, StoreSingle(p.PenY + DistanceY(d)));
}

void LineDown(float d) {
    const interpreter::PlacementState& p = Placement();
    EmitLine(p.PenX, StoreSingle(p.PenY - DistanceY(d)));
}

void LineTo(float x, float y) {
    const interpreter::PlacementState& p = Placement();
    const double endX = p.OriginX + DistanceX(x);
    const double endY = p.OriginY + DistanceY(y);
    EmitLine(endX, endY);
}

void LineRelative(float dx, float dy) {
    const interpreter::PlacementState& p = Placement();
    const double endX = p.PenX + DistanceX(dx);
    const double endY = p.PenY + DistanceY(dy);
    EmitLine(endX, endY);
}

} // namespace builder

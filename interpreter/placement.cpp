#include "interpreter/placement.h"

#include "platform/module_state.h"
#include "platform/numbers.h"

#include <cmath>

namespace interpreter {

PlacementState& Placement() {
    return platform::ModuleState<PlacementState, platform::StateScope::CommandFile>();
}

double DistanceX(double d) {
    return platform::Divide(d, Placement().ScaleX);
}
double DistanceY(double d) {
    return platform::Divide(d, Placement().ScaleY);
}

float StoreSingle(double value) {
    return platform::ToSingle(value);
}

void S(float x, float y) {
    PlacementState& p = Placement();
    const float penX = StoreSingle(double(p.OriginX) + DistanceX(x));
    const float penY = StoreSingle(double(p.OriginY) + DistanceY(y));
    p.PenX = penX;
    p.PenY = penY;
}

void SA(float angleDegrees, float distance) {
    PlacementState& p = Placement();
    const double r = double(angleDegrees) * kRadiansPerDegree;
    const float penX = StoreSingle(double(p.PenX) + std::cos(r) * DistanceX(distance));
    const float penY = StoreSingle(double(p.PenY) + std::sin(r) * DistanceY(distance));
    p.PenX = penX;
    p.PenY = penY;
}

void SR(float d) {
    Placement().PenX = StoreSingle(double(Placement().PenX) + DistanceX(d));
}
void SL(float d) {
    Placement().PenX = StoreSingle(double(Placement().PenX) - DistanceX(d));
}
void SU(float d) {
    Placement().PenY = StoreSingle(double(Placement().PenY) + DistanceY(d));
}
void SD(float d) {
    Placement().PenY = StoreSingle(double(Placement().PenY) - DistanceY(d));
}

void SH(float v) {
    Placement().ScaleX = v;
}
void SV(float v) {
    Placement().ScaleY = v;
}

void Z(float x, float y) {
    PlacementState& p = Placement();
    if (p.ScaleX == 0) p.ScaleX = 1;
    if (p.ScaleY == 0) p.ScaleY = 1;
    p.OriginX = p.PenX = x;
    p.OriginY = p.PenY = y;
}

void ZC() {
    PlacementState& p = Placement();
    p.OriginX = p.PenX;
    p.OriginY = p.PenY;
}

void ZXY(float x, float y) {
    Placement().PenX = x;
    Placement().PenY = y;
}

} // namespace interpreter

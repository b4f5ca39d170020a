// The placement state (origin, pen and scales, all single precision) and the
// positioning commands. The conversion rules here are the only way command
// units become drawing units: every drawing command goes through them.
#pragma once

namespace interpreter {

struct PlacementState {
    float OriginX = 0, OriginY = 0;
    float PenX = 0, PenY = 0;
    float ScaleX = 0, ScaleY = 0; // command units per drawing unit
};

// The module's state; assign {} to put it back to its program-start values.
PlacementState& Placement();

// The angle constant of the command language: ten decimals, not full precision.
inline constexpr double kPi = 3.1415926536;
inline constexpr double kRadiansPerDegree = kPi / 180.0;

// Distance rule: a command distance in drawing units (error 11, or 6 for 0/0,
// on a zero scale).
double DistanceX(double d);
double DistanceY(double d);

// Stores a computed coordinate in single precision (error 6 beyond the range).
float StoreSingle(double value);

// Positioning commands (command units unless noted).
void S(float x, float y);
void SA(float angleDegrees, float distance);
void SR(float d);
void SL(float d);
void SU(float d);
void SD(float d);
void SH(float v);
void SV(float v);
void Z(float x, float y); // drawing units
void ZC();
void ZXY(float x, float y); // drawing units

} // namespace interpreter

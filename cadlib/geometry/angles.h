// Angles as the drawing keeps them (degrees, counter-clockwise from +x) and as
// the arithmetic needs them (radians): one rule for each conversion and for
// an arc's sweep, so the extents, the display and the file agree on an arc.
#pragma once

#include <cmath>
#include <numbers>

namespace cadlib {

inline constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

inline double Radians(double degrees) {
    return degrees * kRadiansPerDegree;
}
inline double Degrees(double radians) {
    return radians * (180.0 / std::numbers::pi);
}

// `degrees` turned into [0, 360): what readers expect of an arc's angles. An
// angle a hair below a whole turn rounds to 0, never to 360.
inline double NormalisedDegrees(double degrees) {
    const double angle = std::fmod(degrees, 360.0);
    if (angle >= 0) return angle;
    const double turned = angle + 360.0;
    return turned < 360.0 ? turned : 0.0;
}

// The counter-clockwise sweep of an arc from `startDegrees` to `endDegrees`,
// in (0, 360]: equal angles make a whole circle.
inline double ArcSweep(double startDegrees, double endDegrees) {
    const double sweep = std::fmod(endDegrees - startDegrees, 360.0);
    return sweep <= 0 ? sweep + 360.0 : sweep;
}

} // namespace cadlib

#include "cadlib/geometry/arc_points.h"

#include "cadlib/geometry/angles.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace cadlib {

namespace {

// A circle never needs more chords than this to look round on any device.
constexpr int kMaxArcChords = 4096;

} // namespace

void AppendArcPoints(const KqPoint2& centre, double radius, double startDegrees,
                     double sweepDegrees, double tolerance, std::vector<KqPoint2>& points) {
    const double sweep = Radians(std::fabs(sweepDegrees));
    // The angle of a chord whose middle lies `tolerance` inside the circle.
    const double step =
        tolerance < radius ? 2 * std::acos(1 - tolerance / radius) : std::numbers::pi / 4;
    const double chords =
        std::max(std::ceil(sweep / step), std::ceil(sweep / (std::numbers::pi / 4)));
    const int count = static_cast<int>(std::clamp(chords, 1.0, double(kMaxArcChords)));
    // Each point is the one before turned by a chord's angle; the ends are
    // placed exactly, so an arc ends where it should however many chords.
    const double start = Radians(startDegrees);
    const double turn = Radians(sweepDegrees) / count;
    const double turnCos = std::cos(turn), turnSin = std::sin(turn);
    double c = std::cos(start), s = std::sin(start);
    for (int i = 0; i < count; ++i) {
        points.push_back({centre.x + radius * c, centre.y + radius * s});
        const double next = c * turnCos - s * turnSin;
        s = s * turnCos + c * turnSin;
        c = next;
    }
    const double end = Radians(startDegrees + sweepDegrees);
    points.push_back({centre.x + radius * std::cos(end), centre.y + radius * std::sin(end)});
}

} // namespace cadlib

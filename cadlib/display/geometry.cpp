#include "cadlib/display/geometry.h"

#include <algorithm>
#include <cmath>

namespace cadlib {

using platform::LogicalPoint;

namespace {

// Liang-Barsky: the parameters [t0, t1] of segment a-b inside `box`.
bool ClipSegment(const LogicalPoint& a, const LogicalPoint& b, const KqRect2& box, double& t0,
                 double& t1) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double directions[4] = {-dx, dx, -dy, dy};
    const double distances[4] = {a.x - box.x1, box.x2 - a.x, a.y - box.y1, box.y2 - a.y};
    t0 = 0;
    t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (directions[i] == 0) {
            if (distances[i] < 0) return false;
            continue;
        }
        const double t = distances[i] / directions[i];
        if (directions[i] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) return false;
    }
    return true;
}

LogicalPoint Between(const LogicalPoint& a, const LogicalPoint& b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

// One pass of Sutherland-Hodgman: keeps the side of the line `axis` = `limit`
// where the coordinate is at least (`keepAbove`) or at most the limit.
void ClipToHalfPlane(const std::vector<LogicalPoint>& input, std::vector<LogicalPoint>& output,
                     bool alongX, double limit, bool keepAbove) {
    output.clear();
    const auto coordinate = [alongX](const LogicalPoint& p) { return alongX ? p.x : p.y; };
    const auto inside = [&](const LogicalPoint& p) {
        return keepAbove ? coordinate(p) >= limit : coordinate(p) <= limit;
    };
    for (size_t i = 0; i < input.size(); ++i) {
        const LogicalPoint& previous = input[(i + input.size() - 1) % input.size()];
        const LogicalPoint& current = input[i];
        const bool currentInside = inside(current);
        if (currentInside != inside(previous)) {
            const double t =
                (limit - coordinate(previous)) / (coordinate(current) - coordinate(previous));
            output.push_back(Between(previous, current, t));
        }
        if (currentInside) output.push_back(current);
    }
}

} // namespace

void ClipPolyline(std::span<const LogicalPoint> points, const KqRect2& box,
                  const PolylineRun& run) {
    // Most of what a pass draws lies wholly inside: handed on as it is.
    if (std::all_of(points.begin(), points.end(), [&box](const LogicalPoint& p) {
            return p.x >= box.x1 && p.x <= box.x2 && p.y >= box.y1 && p.y <= box.y2;
        })) {
        if (points.size() >= 2) run(points, 0);
        return;
    }
    std::vector<LogicalPoint> current;
    double start = 0, travelled = 0;
    const auto flush = [&] {
        if (current.size() >= 2) run(current, start);
        current.clear();
    };
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        const LogicalPoint& a = points[i];
        const LogicalPoint& b = points[i + 1];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        double t0 = 0, t1 = 1;
        if (ClipSegment(a, b, box, t0, t1)) {
            if (current.empty() || t0 > 0) {
                flush();
                current.push_back(Between(a, b, t0));
                start = travelled + t0 * length;
            }
            current.push_back(Between(a, b, t1));
            if (t1 < 1) flush();
        } else {
            flush();
        }
        travelled += length;
    }
    flush();
}

std::vector<LogicalPoint> ClipPolygon(std::span<const LogicalPoint> points, const KqRect2& box) {
    std::vector<LogicalPoint> result(points.begin(), points.end()), scratch;
    ClipToHalfPlane(result, scratch, true, box.x1, true);
    ClipToHalfPlane(scratch, result, true, box.x2, false);
    ClipToHalfPlane(result, scratch, false, box.y1, true);
    ClipToHalfPlane(scratch, result, false, box.y2, false);
    if (result.size() < 3) result.clear();
    return result;
}

DashPattern MakeDashPattern(std::span<const double> elements, double unit) {
    struct Run {
        bool drawn;
        double length;
    };
    std::vector<Run> runs;
    for (double element : elements) {
        const bool drawn = element >= 0;
        const double length = std::fabs(element) * unit;
        if (!runs.empty() && runs.back().drawn == drawn) {
            runs.back().length += length;
        } else {
            runs.push_back({drawn, length});
        }
    }
    DashPattern pattern;
    // A line type that never lifts the pen, or never puts it down, is drawn solid.
    const auto drawnRuns = std::count_if(runs.begin(), runs.end(), [](Run r) { return r.drawn; });
    if (drawnRuns == 0 || drawnRuns == static_cast<long>(runs.size())) return pattern;

    // The pattern repeats, so a run at the end continues the one at the start.
    if (runs.front().drawn == runs.back().drawn) {
        pattern.phase = runs.back().length;
        runs.front().length += runs.back().length;
        runs.pop_back();
    }
    double period = 0;
    for (const Run& r : runs)
        period += r.length;
    if (!(period > 0) || !std::isfinite(period)) return {};
    if (!runs.front().drawn) {
        // Pens start with a dash: the leading gap moves to the end.
        pattern.phase += period - runs.front().length;
        std::rotate(runs.begin(), runs.begin() + 1, runs.end());
    }
    for (const Run& r : runs)
        pattern.lengths.push_back(r.length);
    pattern.period = period;
    pattern.phase = std::fmod(pattern.phase, period);
    return pattern;
}

} // namespace cadlib

#include "render/hairlines.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace render {

using namespace platform; // the device's points, pens and states

namespace {

// A dash pattern finer than a pixel could not be told from a solid line.
constexpr double kFinestDashPeriod = 1.0;
// Places across a line in fixed point, with this many bits of fraction.
constexpr int kFixedBits = 32;
constexpr double kFixedOne = 4294967296.0; // 2^kFixedBits
// A place this little short of a pixel's edge counts as on it: a mapping
// moved by whole pixels (a pan) puts a point a rounding error either side of
// an edge it lay on, and it must still land on the same pixel.
constexpr double kOnTheEdge = 1e-6;
// No picture reaches this far (pixels): fixed point holds the places within.
constexpr int kFarthest = 1 << 28;

bool Finite(const DevicePoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

double Distance(const DevicePoint& a, const DevicePoint& b) {
    return std::hypot(b.x - a.x, b.y - a.y);
}

DevicePoint Along(const DevicePoint& a, const DevicePoint& b, double fraction) {
    return {a.x + (b.x - a.x) * fraction, a.y + (b.y - a.y) * fraction};
}

// The part [enter, leave] (fractions of the way from `a` to `b`) of a segment
// that lies within the window grown by a pixel; false when none does.
bool PartInside(const PixelWindow& window, const DevicePoint& a, const DevicePoint& b,
                double& enter, double& leave) {
    enter = 0;
    leave = 1;
    const auto cut = [&](double start, double change, double low, double high) {
        if (change == 0) return start >= low && start <= high;
        double t1 = (low - start) / change, t2 = (high - start) / change;
        if (t1 > t2) std::swap(t1, t2);
        enter = std::max(enter, t1);
        leave = std::min(leave, t2);
        return enter <= leave;
    };
    return cut(a.x, b.x - a.x, window.left - 1.0, window.right + 1.0) &&
           cut(a.y, b.y - a.y, window.top - 1.0, window.bottom + 1.0);
}

// The pixel a place along an axis lies in.
int64_t PixelAt(double place) {
    return static_cast<int64_t>(std::floor(place + kOnTheEdge));
}

} // namespace

void HairlinePainter::Segment(DevicePoint from, DevicePoint to) {
    if (!Finite(from) || !Finite(to)) return;
    if (window_.left >= window_.right || window_.top >= window_.bottom) return;
    // A line at 45 degrees walks across columns, whatever rounding says.
    const bool acrossColumns = std::fabs(to.x - from.x) + kOnTheEdge >= std::fabs(to.y - from.y);
    // Walked along the longer axis (u), placing the pixel on the other (v).
    double u0 = acrossColumns ? from.x : from.y, v0 = acrossColumns ? from.y : from.x;
    double u1 = acrossColumns ? to.x : to.y, v1 = acrossColumns ? to.y : to.x;
    if (u1 < u0) {
        std::swap(u0, u1);
        std::swap(v0, v1);
    }
    const int uLow = acrossColumns ? window_.left : window_.top;
    const int uHigh = acrossColumns ? window_.right : window_.bottom;
    const int vLow = acrossColumns ? window_.top : window_.left;
    const int vHigh = acrossColumns ? window_.bottom : window_.right;
    const double slope = u1 > u0 ? (v1 - v0) / (u1 - u0) : 0;
    if (!std::isfinite(slope)) return;
    // Cut to where fixed point holds it, by the line's own equation: the cut
    // depends on the line alone, and a far end loses nothing of the line.
    if (u0 < -kFarthest) {
        v0 += (-kFarthest - u0) * slope;
        u0 = -kFarthest;
    }
    if (u1 > kFarthest) {
        v1 -= (u1 - kFarthest) * slope;
        u1 = kFarthest;
    }
    if (u0 > u1 || std::min(v0, v1) > kFarthest || std::max(v0, v1) < -kFarthest) return;
    // The place on v where the line crosses the middle of pixel i along u,
    // in 32.32 fixed point: from the first pixel on, whatever part of the
    // line is visited, so a part is placed as the whole line would be.
    const int64_t firstPixel = PixelAt(u0);
    const int64_t lastPixel = PixelAt(u1);
    const auto fixed = [](double value) {
        return static_cast<int64_t>(value * kFixedOne + (value < 0 ? -0.5 : 0.5));
    };
    const int64_t start = fixed(v0 + (firstPixel + 0.5 - u0) * slope + kOnTheEdge);
    const int64_t step = fixed(slope);
    const int64_t first = std::max<int64_t>(firstPixel, uLow);
    const int64_t last = std::min<int64_t>(lastPixel, uHigh - 1);
    uint32_t* const origin = window_.origin;
    const ptrdiff_t stride = window_.stride;
    for (int64_t i = first; i <= last; ++i) {
        // The end pixels are placed at the end points themselves.
        const int64_t j = i == firstPixel  ? PixelAt(v0)
                          : i == lastPixel ? PixelAt(v1)
                                           : (start + (i - firstPixel) * step) >> kFixedBits;
        if (j < vLow || j >= vHigh) continue;
        if (acrossColumns) {
            origin[j * stride + i] = colour_;
        } else {
            origin[i * stride + j] = colour_;
        }
    }
}

void HairlinePainter::Dot(DevicePoint at) {
    Segment(at, at);
}

void HairlinePainter::Segments(std::span<const DevicePoint> ends) {
    for (size_t i = 0; i + 1 < ends.size(); i += 2)
        Segment(ends[i], ends[i + 1]);
}

void HairlinePainter::Polyline(std::span<const DevicePoint> points, std::span<const double> dashes,
                               double dashOffset) {
    const double period = std::accumulate(dashes.begin(), dashes.end(), 0.0);
    const bool lengths = std::all_of(dashes.begin(), dashes.end(), [](double d) { return d >= 0; });
    if (dashes.size() >= 2 && dashes.size() % 2 == 0 && lengths && period >= kFinestDashPeriod &&
        std::isfinite(period) && std::isfinite(dashOffset)) {
        Dashes(points, dashes, period, dashOffset);
        return;
    }
    if (points.size() == 1) Dot(points[0]);
    for (size_t i = 0; i + 1 < points.size(); ++i)
        Segment(points[i], points[i + 1]);
}

void HairlinePainter::Dashes(std::span<const DevicePoint> points, std::span<const double> dashes,
                             double period, double dashOffset) {
    if (points.size() == 2 && points[0].x == points[1].x && points[0].y == points[1].y) {
        Dot(points[0]);
        return;
    }
    double travelled = dashOffset; // along the pattern, at the current segment's start
    for (size_t s = 0; s + 1 < points.size(); ++s) {
        const DevicePoint& a = points[s];
        const DevicePoint& b = points[s + 1];
        const double length = Distance(a, b);
        double enter = 0, leave = 0;
        if (std::isfinite(length) && length > 0 && PartInside(window_, a, b, enter, leave)) {
            // Where in the pattern the visible part starts: whole periods
            // before it are skipped, not walked.
            double at = enter * length;
            double phase = std::fmod(travelled + at, period);
            if (phase < 0) phase += period;
            size_t element = 0;
            // A dot is met only where it lies exactly.
            while (element + 1 < dashes.size() && phase >= dashes[element] &&
                   (dashes[element] > 0 || phase > 0)) {
                phase -= dashes[element];
                ++element;
            }
            double left = std::max(0.0, dashes[element] - phase); // of the current element
            const double end = leave * length;
            while (at <= end) {
                const bool drawn = element % 2 == 0;
                if (drawn && dashes[element] <= 0) {
                    Dot(Along(a, b, at / length));
                } else if (drawn) {
                    Segment(Along(a, b, at / length),
                            Along(a, b, std::min(at + left, end) / length));
                }
                if (at + left > end) break;
                at += left;
                element = (element + 1) % dashes.size();
                left = dashes[element];
            }
        }
        travelled += std::isfinite(length) ? length : 0;
    }
}

} // namespace render

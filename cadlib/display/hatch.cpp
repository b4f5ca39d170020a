#include "cadlib/display/hatch.h"

#include "cadlib/fill_line.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace cadlib {

namespace {

constexpr double kMaxLinesPerFamily = 1e5;
constexpr double kMaxRepeatsPerLine = 1e4;
// A dash or line shorter than this is what rounding leaves of one cut where
// the outline passes through its end: no piece at all, not a dot.
constexpr double kSliver = 1e-9;

double Dot(const KqPoint2& a, const KqPoint2& b) {
    return a.x * b.x + a.y * b.y;
}

// The range [low, high] of parameter t where c*n + t*d lies within `low` and
// `high` of one coordinate (origin o, direction component v).
bool NarrowToSlab(double origin, double direction, double low, double high, double& tLow,
                  double& tHigh) {
    if (direction == 0) return origin >= low && origin <= high;
    double a = (low - origin) / direction, b = (high - origin) / direction;
    if (a > b) std::swap(a, b);
    tLow = std::max(tLow, a);
    tHigh = std::min(tHigh, b);
    return tLow <= tHigh;
}

// One family of hatch lines in its own frame: line j is where n.p equals
// first + j * spacing, and t measures positions along it (p = c n + t d).
class Family {
  public:
    Family(const FillLineValues& line, std::vector<HatchPiece>& out) : out_(out) {
        double c = 0, s = 0;
        line.Direction(c, s);
        direction_ = {c, s};
        normal_ = {-s, c};
        base_ = {line.baseX * line.scale, line.baseY * line.scale};
        shift_ = {(line.offsetAlong * c - line.offsetAcross * s) * line.scale,
                  (line.offsetAlong * s + line.offsetAcross * c) * line.scale};
        const double across = Dot(shift_, normal_);
        spacing_ = std::fabs(across);
        // Counting lines by j upwards walks the family's own numbering backwards
        // when its offset points down.
        numbering_ = across < 0 ? -1 : 1;
        first_ = Dot(base_, normal_);

        dashCount_ = line.dashCount;
        for (int i = 0; i < dashCount_; ++i)
            dashes_[i] = line.dashes[i] * line.scale;
        period_ = line.Period() * std::fabs(line.scale);
        continuous_ = dashCount_ == 0;
    }

    // The lines that cross `region`: numbers jLow to jHigh; false when the
    // family has no spacing or too many lines to show.
    bool LinesAcross(const KqRect2& region, double& jLow, double& jHigh) const {
        if (!(spacing_ > 0)) return false;
        double low = INFINITY, high = -INFINITY;
        for (double x : {region.x1, region.x2}) {
            for (double y : {region.y1, region.y2}) {
                const double across = Dot({x, y}, normal_);
                low = std::min(low, across);
                high = std::max(high, across);
            }
        }
        jLow = std::ceil((low - first_) / spacing_);
        jHigh = std::floor((high - first_) / spacing_);
        return jHigh - jLow <= kMaxLinesPerFamily;
    }

    void Generate(std::span<const KqPoint2> boundary, const KqRect2& region) {
        double jLow = 0, jHigh = 0;
        if (!LinesAcross(region, jLow, jHigh)) return;
        // Where each boundary edge crosses each line: a line crosses the edge
        // when it lies in [lower end, upper end), so a vertex shared by two
        // edges counts once.
        std::vector<std::pair<int64_t, double>> crossings;
        for (size_t i = 0; i < boundary.size(); ++i) {
            const KqPoint2& p = boundary[i];
            const KqPoint2& q = boundary[(i + 1) % boundary.size()];
            const double np = Dot(p, normal_), nq = Dot(q, normal_);
            const double from = std::max(jLow, std::ceil((std::min(np, nq) - first_) / spacing_));
            const double to =
                std::min(jHigh, std::ceil((std::max(np, nq) - first_) / spacing_) - 1);
            for (double j = from; j <= to; ++j) {
                const double u = (first_ + j * spacing_ - np) / (nq - np);
                const KqPoint2 at{p.x + (q.x - p.x) * u, p.y + (q.y - p.y) * u};
                crossings.emplace_back(static_cast<int64_t>(j), Dot(at, direction_));
            }
        }
        std::sort(crossings.begin(), crossings.end());
        size_t i = 0;
        while (i + 1 < crossings.size()) {
            if (crossings[i].first != crossings[i + 1].first) {
                ++i; // an unpaired crossing, left by rounding: pair from the next one
                continue;
            }
            Line(crossings[i].first, crossings[i].second, crossings[i + 1].second, region);
            i += 2;
        }
    }

    // A line at distance d from the centre crosses the circle over the chord
    // of half-length sqrt(r^2 - d^2) about the centre's foot on it.
    void Generate(const HatchCircle& circle, const KqRect2& region) {
        double jLow = 0, jHigh = 0;
        if (!LinesAcross(region, jLow, jHigh)) return;
        const double centreAcross = Dot(circle.centre, normal_);
        const double centreAlong = Dot(circle.centre, direction_);
        for (double j = jLow; j <= jHigh; ++j) {
            const double d = first_ + j * spacing_ - centreAcross;
            const double squared = circle.radius * circle.radius - d * d;
            if (!(squared > 0)) continue; // a tangent line touches the circle in a point
            const double half = std::sqrt(squared);
            Line(static_cast<int64_t>(j), centreAlong - half, centreAlong + half, region);
        }
    }

  private:
    // The stretch [a, b] of line j that lies inside the boundary.
    void Line(int64_t j, double a, double b, const KqRect2& window) {
        const double across = first_ + double(j) * spacing_;
        double tLow = -INFINITY, tHigh = INFINITY;
        if (!NarrowToSlab(across * normal_.x, direction_.x, window.x1, window.x2, tLow, tHigh) ||
            !NarrowToSlab(across * normal_.y, direction_.y, window.y1, window.y2, tLow, tHigh)) {
            return;
        }
        a = std::max(a, tLow);
        b = std::min(b, tHigh);
        if (!(a < b)) return;
        if (continuous_ || (b - a) / period_ > kMaxRepeatsPerLine) {
            if (b - a > kSliver) Emit(across, a, b);
            return;
        }
        // The pattern starts at the line's origin: the base point shifted j times.
        const double k = double(j) * numbering_;
        const double origin = Dot({base_.x + k * shift_.x, base_.y + k * shift_.y}, direction_);
        const double start = origin + std::floor((a - origin) / period_) * period_;
        const auto repeats = static_cast<int64_t>((b - start) / period_) + 1;
        for (int64_t r = 0; r <= repeats; ++r) {
            double position = start + double(r) * period_;
            for (int i = 0; i < dashCount_; ++i) {
                const double value = dashes_[i];
                if (value > 0) {
                    const double from = std::max(position, a), to = std::min(position + value, b);
                    if (to - from > kSliver) Emit(across, from, to);
                } else if (value == 0 && position >= a && position <= b) {
                    Emit(across, position, position);
                }
                position += std::fabs(value);
            }
        }
    }

    void Emit(double across, double from, double to) {
        const KqPoint2 foot{across * normal_.x, across * normal_.y};
        out_.push_back({{foot.x + from * direction_.x, foot.y + from * direction_.y},
                        {foot.x + to * direction_.x, foot.y + to * direction_.y}});
    }

    std::vector<HatchPiece>& out_;
    KqPoint2 direction_, normal_, base_, shift_;
    double spacing_ = 0, first_ = 0;
    int numbering_ = 1;
    double dashes_[kMaxDashValues] = {};
    int dashCount_ = 0;
    double period_ = 0;
    bool continuous_ = true;
};

} // namespace

namespace {

KqRect2 Intersection(const KqRect2& a, const KqRect2& b) {
    return {std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2), std::min(a.y2, b.y2)};
}

// Every family of `lines` generated over `outline` within `region`.
template <typename Outline>
std::vector<HatchPiece> FamiliesOver(const Outline& outline, std::span<const KqFillLine> lines,
                                     const KqRect2& region) {
    std::vector<HatchPiece> pieces;
    if (!(region.x1 <= region.x2 && region.y1 <= region.y2)) return pieces;
    for (const KqFillLine& line : lines) {
        const FillLineValues values = ReadFillLine(line);
        if (values.finite) Family(values, pieces).Generate(outline, region);
    }
    return pieces;
}

} // namespace

std::vector<HatchPiece> HatchLines(std::span<const KqPoint2> boundary,
                                   std::span<const KqFillLine> lines, const KqRect2& window) {
    if (boundary.size() < 3) return {};
    KqRect2 region{INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (const KqPoint2& p : boundary) {
        region = {std::min(region.x1, p.x), std::min(region.y1, p.y), std::max(region.x2, p.x),
                  std::max(region.y2, p.y)};
    }
    return FamiliesOver(boundary, lines, Intersection(region, window));
}

std::vector<HatchPiece> HatchLines(const HatchCircle& circle, std::span<const KqFillLine> lines,
                                   const KqRect2& window) {
    const double r = circle.radius;
    if (!(r > 0) || !std::isfinite(r)) return {};
    const KqRect2 box{circle.centre.x - r, circle.centre.y - r, circle.centre.x + r,
                      circle.centre.y + r};
    return FamiliesOver(circle, lines, Intersection(box, window));
}

} // namespace cadlib

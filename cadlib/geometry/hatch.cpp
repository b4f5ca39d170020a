#include "cadlib/geometry/hatch.h"

#include "cadlib/fill_line.h"
#include "cadlib/geometry/extents.h"
#include "cadlib/testing.h"
#include "platform/module_state.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace cadlib {

namespace {

// The bound on one hatch's work: a test control, never changed by a program,
// and put back with every module's state.
struct HatchWorkBound {
    size_t most = 1'000'000;
};

HatchWorkBound& WorkBound() {
    return platform::ModuleState<HatchWorkBound, platform::StateScope::Process>();
}

constexpr double kMaxLinesPerFamily = 1e5;
constexpr double kMaxRepeatsPerLine = 1e4;
// Line and dash numbers are counted exactly up to here (2^53); past it a
// double no longer tells one number from the next.
constexpr double kMaxCountable = 9007199254740992.0;
double Dot(const KqPoint2& a, const KqPoint2& b) {
    return a.x * b.x + a.y * b.y;
}

bool Countable(double number) {
    return std::fabs(number) <= kMaxCountable; // false for NaN too
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

// Whether every number of a family as scaled is finite: a dash plus its gap,
// an offset or a value times the scale can overflow to infinity.
template <typename... Numbers>
bool AllFinite(Numbers... numbers) {
    return (std::isfinite(numbers) && ...);
}

// What one family came to.
enum class Outcome { Drawn, LeftOut, OverBound };

// One family of hatch lines in its own frame: line j is where n.p equals
// first + j * spacing, and t measures positions along it (p = c n + t d).
// Every step it takes is paid for from `work` (cadlib/geometry/work_budget.h).
class Family {
  public:
    Family(const FillLineValues& line, std::vector<HatchPiece>& out, WorkBudget& work)
        : out_(out), work_(work), firstPiece_(out.size()) {
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
        finite_ = AllFinite(base_.x, base_.y, shift_.x, shift_.y, first_, spacing_, period_);
        for (int i = 0; i < dashCount_; ++i)
            finite_ = finite_ && std::isfinite(dashes_[i]);
    }

    Outcome Generate(std::span<const KqPoint2> boundary, const KqRect2& region) {
        if (!LinesAcross(region)) return Outcome::LeftOut;
        // Where each boundary edge crosses each line: a line crosses the edge
        // when it lies in [lower end, upper end), so a vertex shared by two
        // edges counts once.
        std::vector<std::pair<int64_t, double>> crossings;
        for (size_t i = 0; i < boundary.size(); ++i) {
            const KqPoint2& p = boundary[i];
            const KqPoint2& q = boundary[(i + 1) % boundary.size()];
            const double np = Dot(p, normal_), nq = Dot(q, normal_);
            // Kept within [jLow, jHigh + 1] and [jLow - 1, jHigh], so both are whole numbers.
            const double from = std::min(
                std::max(jLow_, std::ceil((std::min(np, nq) - first_) / spacing_)), jHigh_ + 1);
            const double to = std::max(
                std::min(jHigh_, std::ceil((std::max(np, nq) - first_) / spacing_) - 1), jLow_ - 1);
            for (auto j = static_cast<int64_t>(from); j <= static_cast<int64_t>(to); ++j) {
                if (!Spend()) return Outcome::OverBound;
                const double u = (first_ + double(j) * spacing_ - np) / (nq - np);
                const KqPoint2 at{p.x + (q.x - p.x) * u, p.y + (q.y - p.y) * u};
                crossings.emplace_back(j, Dot(at, direction_));
            }
        }
        std::sort(crossings.begin(), crossings.end());
        size_t i = 0;
        while (i + 1 < crossings.size() && outcome_ == Outcome::Drawn) {
            if (crossings[i].first != crossings[i + 1].first) {
                ++i; // an unpaired crossing, left by rounding: pair from the next one
                continue;
            }
            Line(crossings[i].first, crossings[i].second, crossings[i + 1].second, region);
            i += 2;
        }
        return Finish();
    }

    // A line at distance d from the centre crosses the circle over the chord
    // of half-length sqrt(r^2 - d^2) about the centre's foot on it.
    Outcome Generate(const HatchCircle& circle, const KqRect2& region) {
        if (!LinesAcross(region)) return Outcome::LeftOut;
        const double centreAcross = Dot(circle.centre, normal_);
        const double centreAlong = Dot(circle.centre, direction_);
        const auto last = static_cast<int64_t>(jHigh_);
        for (auto j = static_cast<int64_t>(jLow_); j <= last && outcome_ == Outcome::Drawn; ++j) {
            const double d = first_ + double(j) * spacing_ - centreAcross;
            const double squared = circle.radius * circle.radius - d * d;
            if (!(squared > 0)) { // a tangent line touches the circle in a point
                Spend();
                continue;
            }
            const double half = std::sqrt(squared);
            Line(j, centreAlong - half, centreAlong + half, region);
        }
        return Finish();
    }

  private:
    // The numbers jLow_ to jHigh_ of the lines that cross `region`; false when
    // the family has no spacing, too many lines to show, numbers too large
    // to count or values that overflow when scaled.
    bool LinesAcross(const KqRect2& region) {
        if (!finite_ || !(spacing_ > 0)) return false;
        double low = INFINITY, high = -INFINITY;
        for (double x : {region.x1, region.x2}) {
            for (double y : {region.y1, region.y2}) {
                const double across = Dot({x, y}, normal_);
                low = std::min(low, across);
                high = std::max(high, across);
            }
        }
        jLow_ = std::ceil((low - first_) / spacing_);
        jHigh_ = std::floor((high - first_) / spacing_);
        return jHigh_ - jLow_ <= kMaxLinesPerFamily && Countable(jLow_) && Countable(jHigh_);
    }

    // The stretch [a, b] of line j that lies inside the boundary.
    void Line(int64_t j, double a, double b, const KqRect2& window) {
        const double across = first_ + double(j) * spacing_;
        double tLow = -INFINITY, tHigh = INFINITY;
        if (!NarrowToSlab(across * normal_.x, direction_.x, window.x1, window.x2, tLow, tHigh) ||
            !NarrowToSlab(across * normal_.y, direction_.y, window.y1, window.y2, tLow, tHigh)) {
            Spend();
            return;
        }
        a = std::max(a, tLow);
        b = std::min(b, tHigh);
        if (!(a < b)) {
            Spend();
            return;
        }
        if (continuous_ || (b - a) / period_ > kMaxRepeatsPerLine) {
            if (b - a > kHatchSliver) {
                Emit(across, a, b);
            } else {
                Spend();
            }
            return;
        }
        // The pattern starts at the line's origin: the base point shifted j times.
        const double k = double(j) * numbering_;
        const double origin = Dot({base_.x + k * shift_.x, base_.y + k * shift_.y}, direction_);
        const double repeatsToStart = std::floor((a - origin) / period_);
        if (!Countable(repeatsToStart)) {
            outcome_ = Outcome::LeftOut;
            return;
        }
        const double start = origin + repeatsToStart * period_;
        const auto repeats = static_cast<int64_t>((b - start) / period_) + 1;
        for (int64_t r = 0; r <= repeats; ++r) {
            // A repeat that makes no piece (dashes all slivers or gaps, or
            // beyond the stretch) is paid for as one.
            const size_t made = out_.size();
            double position = start + double(r) * period_;
            for (int i = 0; i < dashCount_; ++i) {
                const double value = dashes_[i];
                if (value > 0) {
                    const double from = std::max(position, a), to = std::min(position + value, b);
                    if (to - from > kHatchSliver && !Emit(across, from, to)) return;
                } else if (value == 0 && position >= a && position <= b) {
                    if (!Emit(across, position, position)) return;
                }
                position += std::fabs(value);
            }
            if (out_.size() == made && !Spend()) return;
        }
    }

    // Pays for one step (a crossing, a piece, or a line or repeat that makes
    // none); false, the family over its bound, when no work is left.
    bool Spend() {
        if (work_.Charge()) return true;
        outcome_ = Outcome::OverBound;
        return false;
    }

    bool Emit(double across, double from, double to) {
        if (!Spend()) return false;
        const KqPoint2 foot{across * normal_.x, across * normal_.y};
        out_.push_back({{foot.x + from * direction_.x, foot.y + from * direction_.y},
                        {foot.x + to * direction_.x, foot.y + to * direction_.y}});
        return true;
    }

    // A family left out keeps none of its pieces.
    Outcome Finish() {
        if (outcome_ == Outcome::LeftOut) out_.resize(firstPiece_);
        return outcome_;
    }

    std::vector<HatchPiece>& out_;
    WorkBudget& work_;
    size_t firstPiece_;
    Outcome outcome_ = Outcome::Drawn;
    KqPoint2 direction_, normal_, base_, shift_;
    double spacing_ = 0, first_ = 0;
    double jLow_ = 0, jHigh_ = 0;
    int numbering_ = 1;
    double dashes_[kMaxDashValues] = {};
    int dashCount_ = 0;
    double period_ = 0;
    bool continuous_ = true;
    bool finite_ = true;
};

KqRect2 Intersection(const KqRect2& a, const KqRect2& b) {
    return {std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2), std::min(a.y2, b.y2)};
}

// Every family of `lines` generated over `outline` within `region`, within
// one bound of work for them all.
template <typename Outline>
HatchCut FamiliesOver(const Outline& outline, std::span<const KqFillLine> lines,
                      const KqRect2& region, size_t maxWork) {
    HatchCut cut;
    if (!(region.x1 <= region.x2 && region.y1 <= region.y2)) return cut;
    WorkBudget work(std::min(maxWork, WorkBound().most));
    for (size_t i = 0; i < lines.size(); ++i) {
        const FillLineValues values = ReadFillLine(lines[i]);
        const Outcome outcome = values.finite
                                    ? Family(values, cut.pieces, work).Generate(outline, region)
                                    : Outcome::LeftOut;
        if (outcome == Outcome::OverBound) {
            cut.pieces = {};
            cut.overBound = true;
            cut.leftOut.clear();
            break;
        }
        if (outcome == Outcome::LeftOut) cut.leftOut.push_back(static_cast<uint32_t>(i));
    }
    cut.work = work.Used();
    return cut;
}

} // namespace

size_t MaxHatchWork() {
    return WorkBound().most;
}

uint64_t DrawingWork() {
    return 16 * uint64_t{MaxHatchWork()};
}

uint64_t DrawingPassWork() {
    return MaxHatchWork();
}

size_t HatchWorkWithin(const WorkBudget& budget) {
    return static_cast<size_t>(std::min<uint64_t>(MaxHatchWork(), budget.Left()));
}

HatchCut HatchLines(std::span<const KqPoint2> boundary, std::span<const KqFillLine> lines,
                    const KqRect2& window, size_t maxWork) {
    if (boundary.size() < 3) return {};
    const KqRect2 region = BoxOf<KqPoint2>(boundary);
    return FamiliesOver(boundary, lines, Intersection(region, window), maxWork);
}

HatchCut HatchLines(const HatchCircle& circle, std::span<const KqFillLine> lines,
                    const KqRect2& window, size_t maxWork) {
    const double r = circle.radius;
    if (!(r > 0) || !std::isfinite(r)) return {};
    const KqRect2 box{circle.centre.x - r, circle.centre.y - r, circle.centre.x + r,
                      circle.centre.y + r};
    return FamiliesOver(circle, lines, Intersection(box, window), maxWork);
}

} // namespace cadlib

namespace cadlib::testing {

void SetMaxHatchWork(size_t work) {
    WorkBound().most = work;
}

void ResetMaxHatchWork() {
    WorkBound() = HatchWorkBound{};
}

} // namespace cadlib::testing

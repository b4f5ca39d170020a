#include "cadlib/fill_line.h"

#include "cadlib/geometry/angles.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace cadlib {

double FillLineValues::Period() const {
    double period = 0;
    for (int i = 0; i < dashCount; ++i)
        period += std::fabs(dashes[i]);
    return period;
}

void FillLineValues::Direction(double& cosine, double& sine) const {
    const double quarterTurns = angle / 90.0;
    if (quarterTurns == std::floor(quarterTurns) && std::isfinite(quarterTurns)) {
        static constexpr double kCosines[] = {1, 0, -1, 0};
        const auto quadrant = static_cast<int>(std::fmod(std::fmod(quarterTurns, 4.0) + 4.0, 4.0));
        cosine = kCosines[quadrant];
        sine = kCosines[(quadrant + 3) % 4];
        return;
    }
    const double radians = Radians(angle);
    cosine = std::cos(radians);
    sine = std::sin(radians);
}

FillLineValues ReadFillLine(const KqFillLine& line) {
    FillLineValues values;
    values.angle = line.angle;
    values.baseX = line.baseX;
    values.baseY = line.baseY;
    values.offsetAlong = line.offsetAlong;
    values.offsetAcross = line.offsetAcross;
    values.scale = line.scale;

    double more[7];
    std::memcpy(more, line.moreDashes, sizeof more);
    values.dashes[0] = line.dash;
    values.dashes[1] = -std::fabs(line.gap);
    const int further = std::clamp(int32_t{line.dashCount} - 2, 0, kMaxDashValues - 2);
    std::copy_n(more, further, values.dashes.begin() + 2);
    const int count = 2 + further;
    const bool liftsPen = std::any_of(values.dashes.begin(), values.dashes.begin() + count,
                                      [](double d) { return d < 0; });
    values.dashCount = liftsPen ? count : 0;

    const auto finite = [](double v) { return std::isfinite(v); };
    const double plain[] = {values.angle,        values.baseX, values.baseY, values.offsetAlong,
                            values.offsetAcross, values.scale, line.dash,    line.gap};
    values.finite = std::all_of(std::begin(plain), std::end(plain), finite) &&
                    std::all_of(std::begin(more), std::end(more), finite);
    return values;
}

uint32_t FillLinesHash(std::span<const KqFillLine> lines) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(lines.data());
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < lines.size_bytes(); ++i)
        hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

bool SameFillLines(std::span<const KqFillLine> a, std::span<const KqFillLine> b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size_bytes()) == 0);
}

} // namespace cadlib

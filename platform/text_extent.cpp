#include "platform/text_extent.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {

namespace {

// Capital heights from the middle of the capitals that any glyph may reach
// up (accents, stacked marks) or down (descenders), and beyond either end of
// the advance (side bearings, overhanging letters).
constexpr double kGlyphReachAcross = 1.5;
constexpr double kGlyphReachAlong = 1;
// The steepest slant a face is drawn with: a steeper one is taken as this.
constexpr double kSteepestOblique = 85;

} // namespace

TextExtent TextExtentOf(double width, const TextFont& font) {
    const double height = std::isfinite(font.height) ? std::fabs(font.height) : 0;
    const double advance = std::isfinite(width) ? width : 0; // negative when mirrored
    const double oblique = std::isfinite(font.oblique)
                               ? std::clamp(font.oblique, -kSteepestOblique, kSteepestOblique)
                               : 0;
    // A slant moves a glyph's top and bottom along the baseline; a wide
    // width factor stretches its bearings.
    const double slant = std::fabs(std::tan(oblique * std::numbers::pi / 180)) * kGlyphReachAcross;
    const double stretch = std::isfinite(font.widthFactor) ? std::fabs(font.widthFactor) : 1;
    const double margin = height * (kGlyphReachAlong * std::max(1.0, stretch) + slant);
    const double start = font.align == TextAlign::Left     ? 0
                         : font.align == TextAlign::Centre ? -advance / 2
                                                           : -advance;
    const double end = start + advance;
    return {std::max(0.0, -std::min(start, end)) + margin,
            std::max(0.0, std::max(start, end)) + margin, height * kGlyphReachAcross};
}

std::array<DevicePoint, 4> TextExtentCorners(const TextExtent& extent, const TextFont& font,
                                             DevicePoint anchor, bool yUp) {
    const double radians =
        (std::isfinite(font.rotation) ? font.rotation : 0) * std::numbers::pi / 180;
    const double up = yUp ? 1 : -1;
    const DevicePoint along{std::cos(radians), up * std::sin(radians)};
    const DevicePoint across{-along.y, along.x};
    const auto corner = [&](double a, double b) {
        return DevicePoint{anchor.x + along.x * a + across.x * b,
                           anchor.y + along.y * a + across.y * b};
    };
    return {corner(-extent.behind, -extent.across), corner(extent.ahead, -extent.across),
            corner(extent.ahead, extent.across), corner(-extent.behind, extent.across)};
}

} // namespace platform

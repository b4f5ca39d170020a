// The AutoCAD Color Index palette as RGB fractions, built from its rule: 1-9
// named colours, 10-249 twenty-four hues in steps of 15 degrees, each in five
// brightness levels, full and half saturated, and 250-255 six greys.
#include "cadlib/database.h"

#include <cmath>

namespace cadlib {

namespace {

KqColour FromLevels(int red, int green, int blue) {
    return {red / 255.0f, green / 255.0f, blue / 255.0f};
}

// HSV with truncation to whole levels, as the index table rounds.
KqColour Hsv(double hueDegrees, double saturation, double value) {
    const double sector = hueDegrees / 60.0;
    const int k = static_cast<int>(std::floor(sector)) % 6;
    const double f = sector - std::floor(sector);
    const double p = value * (1 - saturation);
    const double q = value * (1 - saturation * f);
    const double t = value * (1 - saturation * (1 - f));
    double r = 0, g = 0, b = 0;
    switch (k) {
    case 0:
        r = value, g = t, b = p;
        break;
    case 1:
        r = q, g = value, b = p;
        break;
    case 2:
        r = p, g = value, b = t;
        break;
    case 3:
        r = p, g = q, b = value;
        break;
    case 4:
        r = t, g = p, b = value;
        break;
    default:
        r = value, g = p, b = q;
        break;
    }
    return FromLevels(static_cast<int>(r), static_cast<int>(g), static_cast<int>(b));
}

std::array<KqColour, kPaletteSize> BuildPalette() {
    std::array<KqColour, kPaletteSize> palette{};
    palette[0] = FromLevels(0, 0, 0); // the ink
    const int named[9][3] = {{255, 0, 0},     {255, 255, 0},   {0, 255, 0},
                             {0, 255, 255},   {0, 0, 255},     {255, 0, 255},
                             {255, 255, 255}, {128, 128, 128}, {192, 192, 192}};
    for (int i = 0; i < 9; ++i)
        palette[i + 1] = FromLevels(named[i][0], named[i][1], named[i][2]);
    const double levels[5] = {255, 204, 153, 127, 76};
    for (int index = 10; index < 250; ++index) {
        const double hue = (index / 10 - 1) * 15.0;
        const int shade = index % 10;
        palette[index] = Hsv(hue, shade % 2 ? 0.5 : 1.0, levels[shade / 2]);
    }
    const int greys[6] = {51, 80, 105, 130, 190, 255};
    for (int i = 0; i < 6; ++i)
        palette[250 + i] = FromLevels(greys[i], greys[i], greys[i]);
    return palette;
}

} // namespace

const std::array<KqColour, kPaletteSize>& DefaultPalette() {
    static const std::array<KqColour, kPaletteSize> palette = BuildPalette();
    return palette;
}

} // namespace cadlib

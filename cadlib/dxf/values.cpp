// Lineweights and colours in DXF terms.
#include "cadlib/dxf/values.h"

#include "cadlib/database.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace cadlib {

namespace {

constexpr int kLineweights[] = {0,  5,  9,  13, 15, 18,  20,  25,  30,  35,  40,  50,
                                53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};

int Level(float fraction) {
    return static_cast<int>(std::lround(std::clamp(fraction, 0.0f, 1.0f) * 255.0f));
}

struct Rgb {
    int red, green, blue;
};

Rgb Levels(const KqColour& colour) {
    return {Level(colour.red), Level(colour.green), Level(colour.blue)};
}

bool operator==(const KqColour& a, const KqColour& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// Distance in luma and colour difference, the colour difference counting
// four times: a grey must find a grey, not a dark hue of similar brightness
// (plain RGB distance maps black to dark red, a double weight to dark blue).
double Distance(const Rgb& a, const Rgb& b) {
    const double dr = a.red - b.red, dg = a.green - b.green, db = a.blue - b.blue;
    const double luma = 0.299 * dr + 0.587 * dg + 0.114 * db;
    const double blueDifference = -0.168736 * dr - 0.331264 * dg + 0.5 * db;
    const double redDifference = 0.5 * dr - 0.418688 * dg - 0.081312 * db;
    return luma * luma + 4.0 * (blueDifference * blueDifference + redDifference * redDifference);
}

} // namespace

int32_t KeptTrueColour(int32_t rgb) {
    if (rgb == 0xFFFFFF) return kWhiteKept;
    if (rgb == 0) return kBlackKept;
    return rgb;
}

int NearestLineweight(int32_t penWidth) {
    if (penWidth <= 0) return 0;
    const double hundredthsOfMm = penWidth * 25.4;
    const int* above =
        std::lower_bound(std::begin(kLineweights), std::end(kLineweights), hundredthsOfMm,
                         [](int weight, double value) { return weight < value; });
    if (above == std::end(kLineweights)) return kLineweights[std::size(kLineweights) - 1];
    if (above == std::begin(kLineweights)) return *above;
    const int below = *(above - 1);
    return hundredthsOfMm - below <= *above - hundredthsOfMm ? below : *above;
}

int NearestAci(int red, int green, int blue) {
    const Rgb wanted{red, green, blue};
    const auto& aci = DefaultPalette();
    int best = 1;
    double bestDistance = Distance(wanted, Levels(aci[1]));
    for (int index = 2; index < kPaletteSize; ++index) {
        if (index == 7) continue;
        const double distance = Distance(wanted, Levels(aci[index]));
        if (distance < bestDistance) {
            best = index;
            bestDistance = distance;
        }
    }
    return best;
}

DxfColours::DxfColours(const std::array<KqColour, kPaletteSize>& palette) {
    const auto& aci = DefaultPalette();
    for (int index = 1; index < kPaletteSize; ++index) {
        if (palette[index] == aci[index]) {
            table_[index] = {index, -1};
            continue;
        }
        const Rgb rgb = Levels(palette[index]);
        table_[index] = {NearestAci(rgb.red, rgb.green, rgb.blue),
                         KeptTrueColour((rgb.red << 16) | (rgb.green << 8) | rgb.blue)};
    }
}

} // namespace cadlib

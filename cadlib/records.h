// Records exchanged with the CAD library, laid out as its callers expect.
#pragma once

#include <cstdint>

struct KqPoint3 {
    double x = 0, y = 0, z = 0;
};

struct KqPoint2 {
    double x = 0, y = 0;
};

// x1, y1 lower left; x2, y2 upper right (drawing units, y up).
struct KqRect2 {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct KqRect3 {
    double x1 = 0, y1 = 0, z1 = 0, x2 = 0, y2 = 0, z2 = 0;
};

#pragma pack(push, 4)
// Circle through three points: centre, radius and the two angles (radians) of
// the counter-clockwise arc from the first angle to the second.
struct KqArc {
    double centreX = 0, centreY = 0, radius = 0;
    int32_t unused = 0;
    double firstAngle = 0, secondAngle = 0;
};

// One family of parallel hatch lines, exactly the arguments of
// kq_set_fill_pattern in order: angle (degrees), base point x and y, offset
// along and across the line (in the line's own frame), dash length, gap
// length, seven further dash values, the number of dash values used, scale.
struct KqFillLine {
    double angle = 0, baseX = 0, baseY = 0, offsetAlong = 0, offsetAcross = 0, dash = 0, gap = 0;
    double moreDashes[7] = {};
    int32_t dashCount = 0;
    double scale = 1.0;
};
#pragma pack(pop)

static_assert(sizeof(KqArc) == 44, "the arc record is 44 bytes with 4-byte packing");
static_assert(sizeof(KqFillLine) == 124, "the fill-line record is 124 bytes");

// A palette entry: red, green and blue as fractions from 0 to 1.
struct KqColour {
    float red = 0, green = 0, blue = 0;
};

inline constexpr int kPaletteSize = 256;

// One family of hatch lines, read out of its packed fill-line record into
// aligned values: the one reading that the DXF writer and the display share.
#pragma once

#include "cadlib/records.h"

#include <array>
#include <cstdint>
#include <span>

namespace cadlib {

inline constexpr int kMaxDashValues = 9;

struct FillLineValues {
    double angle = 0, baseX = 0, baseY = 0, offsetAlong = 0, offsetAcross = 0, scale = 1;
    // Before scaling, as DXF has them: > 0 drawn, < 0 a gap, 0 a dot. The dash,
    // the gap, then the further values the line uses; none when the line never
    // lifts the pen (a continuous line).
    std::array<double, kMaxDashValues> dashes{};
    int dashCount = 0;
    bool finite = true; // every value is a finite number

    // The length of one repeat of the dashes, before scaling (0 when continuous).
    double Period() const;
    // The line's direction (cosine, sine), exact for multiples of 90 degrees,
    // so axis-parallel patterns carry no rounding residue into the drawing.
    void Direction(double& cosine, double& sine) const;
};

// The record is packed to 4 bytes, so its doubles may lie off their natural
// alignment in an array: they are copied out here, never referred to.
FillLineValues ReadFillLine(const KqFillLine& line);

// FNV-1a over the records' bytes: equal fill lines hash equal. The data area
// finds a pattern it holds already by it, and the DXF names a pattern that
// came without a name after it, so its value is part of the files written.
uint32_t FillLinesHash(std::span<const KqFillLine> lines);

// Whether two sets of fill lines are the same records, byte for byte.
bool SameFillLines(std::span<const KqFillLine> a, std::span<const KqFillLine> b);

} // namespace cadlib

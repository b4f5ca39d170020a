// One-pixel lines painted straight into rows of 32-bit pixels: the thin solid
// and dashed strokes that make up most of a drawing on screen. A general
// painter pays for a pen, a clip and a stroker on every call; here a line
// costs little more than its pixels.
//
// Pixel (i, j) covers [i, i+1) x [j, j+1). A line covers, along its longer
// axis, one pixel for every column (or row) from its first point's to its
// last point's, at the place the line crosses that column's middle; both end
// points' own pixels are always covered. Which pixels a line covers depends on
// the line alone, never on the window it is cut to, so a picture painted in
// parts (bands, a strip uncovered by a scroll) equals one painted whole.
#pragma once

#include "platform/device_context.h"
#include "render/pixel_rows.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace render {

class HairlinePainter {
  public:
    HairlinePainter(const PixelWindow& window, uint32_t colour)
        : window_(window), colour_(colour) {}

    // A segment from `from` to `to`; equal points make a dot.
    void Segment(platform::DevicePoint from, platform::DevicePoint to);
    // Every second point to the next, as Surface::Segments.
    void Segments(std::span<const platform::DevicePoint> ends);
    // An open polyline, solid, or dashed by `dashes` (Pen::dashes, device
    // pixels: drawn and skipped lengths, a drawn length of 0 being a dot) that
    // starts `dashOffset` into the pattern and runs on across the corners. A
    // pattern that is no pattern (an odd count, a negative length, finer
    // than a pixel) draws the line solid.
    void Polyline(std::span<const platform::DevicePoint> points,
                  std::span<const double> dashes = {}, double dashOffset = 0);

  private:
    void Dot(platform::DevicePoint at);
    // `period`: the sum of `dashes`, at least a pixel.
    void Dashes(std::span<const platform::DevicePoint> points, std::span<const double> dashes,
                double period, double dashOffset);

    PixelWindow window_;
    uint32_t colour_;
};

} // namespace render

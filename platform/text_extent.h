// Where the glyphs of a line of text can lie, known from its advance width
// alone: the one bound that both the search for what a view shows and the
// split of a picture into bands rely on, so that neither cuts a text off.
#pragma once

#include "platform/device_context.h"

#include <array>

namespace platform {

// The box that holds every glyph of a text about its anchor (the middle of
// its capitals at the alignment point), in the text's own directions and the
// font's units: from `behind` to `ahead` along the baseline, and `across` to
// either side of it. `width` is the text's advance (Surface::TextWidth).
struct TextExtent {
    double behind = 0, ahead = 0, across = 0;
};
TextExtent TextExtentOf(double width, const TextFont& font);

// The corners of that box about `anchor` on a page whose y axis points up
// (yUp) or down (a device's), the text turned by the font's rotation.
std::array<DevicePoint, 4> TextExtentCorners(const TextExtent& extent, const TextFont& font,
                                             DevicePoint anchor, bool yUp);

} // namespace platform

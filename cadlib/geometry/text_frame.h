// Where a text goes: the one rule of its frame (the point its alignment
// names, the baseline's direction, where its baseline and its start lie, the
// mirror flags) that the DXF writer places a TEXT by, the extents measure and
// the screen draws the glyphs by, so that the file and the screen agree.
#pragma once

#include "cadlib/database.h"
#include "cadlib/geometry/text_faces.h"
#include "platform/device_context.h"

#include <array>
#include <string>
#include <vector>

namespace cadlib {

// A text in its own frame: x along the baseline from the anchor, the point
// its alignment names, y up from there; the mirror flags turn the frame.
struct TextFrame {
    KqPoint3 anchor;
    double c = 1, s = 0; // the baseline's direction
    double rotation = 0; // the same in degrees, as a font is turned
    double mirrorX = 1, mirrorY = 1;
    double behind = 0;   // the share of the width that lies before the anchor: 0, 1/2 or 1
    double baseline = 0; // from the anchor up to the baseline
    double width = 0;    // the text's advance, or an aligned or fitted text's span
    double height = 0;   // of its capitals
    double descent = 0;  // how far its face's descender reaches below the baseline

    KqPoint3 At(double x, double y) const {
        const double u = x * mirrorX, v = y * mirrorY;
        return {anchor.x + u * c - v * s, anchor.y + u * s + v * c, anchor.z};
    }
    double Left() const { return -behind * width; }
    // The start of the baseline: the first alignment point of DXF.
    KqPoint3 Start() const { return At(Left(), baseline); }
    // The middle of the capitals above the anchor: where the screen sets the
    // glyphs about.
    KqPoint3 Middle() const { return At(0, baseline + height / 2); }
    // The corners of the capitals' box, round from the start of the baseline.
    std::array<KqPoint3, 4> Capitals() const;
};

// The frame of `text`, `width` wide (its advance in drawing units), in a face
// whose descender reaches `descent` heights below the baseline. An aligned or
// fitted text runs from its first point to its second, whatever `width` says.
TextFrame FrameOfText(const TextGeometry& text, double width, double descent);

// The font the screen draws a text of `frame` in: turned as the frame is,
// aligned about its anchor as the frame places the text on the page (a
// mirrored text runs backwards from it), `height` units high.
platform::TextFont FontOf(const TextFrame& frame, const TextGeometry& text, std::string family,
                          double height);

// The face of each text style name (by DataArea::styleNames index): the one
// the viewer shows the style's TrueType family in.
class StyleFaces {
  public:
    explicit StyleFaces(const DataArea& area);

    const TextFace& Of(const TextGeometry& text) const;
    // The frame of `text` as the file keeps it: as wide as its kept part's
    // advance in its face.
    TextFrame FrameOf(const DataArea& area, const TextGeometry& text) const;
    // Its frame `width` wide, as the screen measures it.
    TextFrame FrameOf(const TextGeometry& text, double width) const;

  private:
    std::vector<const TextFace*> faces_;
};

} // namespace cadlib

#include "cadlib/geometry/text_frame.h"

#include "cadlib/geometry/angles.h"

#include <cmath>
#include <utility>

namespace cadlib {

namespace {

platform::TextAlign AlignmentOf(double behind) {
    if (behind == 0) return platform::TextAlign::Left;
    return behind < 1 ? platform::TextAlign::Centre : platform::TextAlign::Right;
}

} // namespace

std::array<KqPoint3, 4> TextFrame::Capitals() const {
    const double left = Left(), right = left + width, top = baseline + height;
    return {At(left, baseline), At(right, baseline), At(right, top), At(left, top)};
}

TextFrame FrameOfText(const TextGeometry& text, double width, double descent) {
    TextFrame frame;
    const double height = text.height;
    frame.width = width;
    frame.height = height;
    frame.descent = descent * height;
    frame.anchor = text.second;
    frame.rotation = text.rotation;
    double radians = Radians(text.rotation);
    switch (text.horizontal) {
    case 1:
    case 4:
        frame.behind = 0.5;
        break;
    case 2:
        frame.behind = 1;
        break;
    case 3:
    case 5:
        frame.anchor = text.first;
        frame.width = std::hypot(text.second.x - text.first.x, text.second.y - text.first.y);
        radians = std::atan2(text.second.y - text.first.y, text.second.x - text.first.x);
        frame.rotation = Degrees(radians);
        break;
    default:
        if (text.vertical < 1 || text.vertical > 3) frame.anchor = text.first;
        break;
    }
    const bool stretched = text.horizontal == 3 || text.horizontal == 5;
    switch (stretched ? 0 : text.vertical) {
    case 1: // bottom: the descender's line
        frame.baseline = frame.descent;
        break;
    case 2:
        frame.baseline = -height / 2;
        break;
    case 3:
        frame.baseline = -height;
        break;
    default: // baseline; "middle" (4) centres the capitals and the descender
        if (text.horizontal == 4) frame.baseline = -(height - frame.descent) / 2;
        break;
    }
    frame.mirrorX = (text.flags & 2) ? -1 : 1;
    frame.mirrorY = (text.flags & 4) ? -1 : 1;
    frame.c = std::cos(radians);
    frame.s = std::sin(radians);
    return frame;
}

platform::TextFont FontOf(const TextFrame& frame, const TextGeometry& text, std::string family,
                          double height) {
    const double behind = frame.mirrorX < 0 ? 1 - frame.behind : frame.behind;
    return {std::move(family), height,       frame.rotation,
            text.widthFactor,  text.oblique, AlignmentOf(behind)};
}

StyleFaces::StyleFaces(const DataArea& area) {
    for (const std::string& name : area.styleNames) {
        const int style = area.FindStyle(name);
        faces_.push_back(&FaceOf(style >= 0 ? area.styles[style].trueTypeFont : ""));
    }
}

const TextFace& StyleFaces::Of(const TextGeometry& text) const {
    return text.styleName < faces_.size() ? *faces_[text.styleName] : FaceOf("");
}

TextFrame StyleFaces::FrameOf(const DataArea& area, const TextGeometry& text) const {
    const TextFace& face = Of(text);
    return FrameOfText(text,
                       TextAdvance(face, area.KeptText(text)) * text.height * text.widthFactor,
                       DescentOf(face));
}

TextFrame StyleFaces::FrameOf(const TextGeometry& text, double width) const {
    return FrameOfText(text, width, DescentOf(Of(text)));
}

} // namespace cadlib

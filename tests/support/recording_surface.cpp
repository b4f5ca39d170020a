#include "support/recording_surface.h"

namespace testsupport {

RecordingSurface::RecordingSurface(int width, int height, double dotsPerInch)
    : width_(width), height_(height), dotsPerInch_(dotsPerInch) {}

void RecordingSurface::Record(RecordedPrimitive::Kind kind, const platform::DrawState& state,
                              std::span<const platform::DevicePoint> points) {
    primitives.push_back({kind, state, {points.begin(), points.end()}, {}, {}});
}

void RecordingSurface::Polyline(const platform::DrawState& state,
                                std::span<const platform::DevicePoint> points) {
    Record(RecordedPrimitive::Kind::Polyline, state, points);
}

void RecordingSurface::Segments(const platform::DrawState& state,
                                std::span<const platform::DevicePoint> ends) {
    Record(RecordedPrimitive::Kind::Segments, state, ends);
}

void RecordingSurface::Polygon(const platform::DrawState& state,
                               std::span<const platform::DevicePoint> points) {
    Record(RecordedPrimitive::Kind::Polygon, state, points);
}

void RecordingSurface::Text(const platform::DrawState& state, platform::DevicePoint anchor,
                            std::u16string_view text, const platform::TextFont& font) {
    primitives.push_back(
        {RecordedPrimitive::Kind::Text, state, {anchor}, std::u16string(text), font});
}

double RecordingSurface::TextWidth(std::u16string_view text, const platform::TextFont& font) {
    return kAdvancePerHeight * font.height * font.widthFactor * static_cast<double>(text.size());
}

bool RecordingSurface::StartDocument(std::string_view name) {
    documentCalls.push_back("StartDocument " + std::string(name));
    return true;
}

bool RecordingSurface::StartPage() {
    documentCalls.emplace_back("StartPage");
    return true;
}

bool RecordingSurface::EndPage() {
    documentCalls.emplace_back("EndPage");
    return true;
}

bool RecordingSurface::EndDocument() {
    documentCalls.emplace_back("EndDocument");
    return true;
}

} // namespace testsupport

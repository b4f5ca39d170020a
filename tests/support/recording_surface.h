// A surface that keeps what is painted on it, in device units with the state
// of each primitive, so that tests can see what a drawing pass produced
// without any graphics library.
#pragma once

#include "platform/device_context.h"

#include <string>
#include <vector>

namespace testsupport {

struct RecordedPrimitive {
    enum class Kind { Polyline, Segments, Polygon, Text };
    Kind kind = Kind::Polyline;
    platform::DrawState state;
    std::vector<platform::DevicePoint> points; // for text: the anchor
    std::u16string text;
    platform::TextFont font;
};

class RecordingSurface : public platform::Surface {
  public:
    RecordingSurface(int width, int height, double dotsPerInch = 100.0);

    // Every letter advances by this many heights: a plain, predictable measure.
    static constexpr double kAdvancePerHeight = 0.6;

    std::vector<RecordedPrimitive> primitives;
    std::vector<std::string> documentCalls; // "StartDocument NAME", "StartPage", ...

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    double DotsPerInch() const override { return dotsPerInch_; }

    void Polyline(const platform::DrawState& state,
                  std::span<const platform::DevicePoint> points) override;
    void Segments(const platform::DrawState& state,
                  std::span<const platform::DevicePoint> ends) override;
    void Polygon(const platform::DrawState& state,
                 std::span<const platform::DevicePoint> points) override;
    void Text(const platform::DrawState& state, platform::DevicePoint anchor,
              std::u16string_view text, const platform::TextFont& font) override;
    double TextWidth(std::u16string_view text, const platform::TextFont& font) override;

    bool StartDocument(std::string_view name) override;
    bool StartPage() override;
    bool EndPage() override;
    bool EndDocument() override;

  private:
    void Record(RecordedPrimitive::Kind kind, const platform::DrawState& state,
                std::span<const platform::DevicePoint> points);

    int width_, height_;
    double dotsPerInch_;
};

} // namespace testsupport

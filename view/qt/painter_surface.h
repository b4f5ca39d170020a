// Surfaces painted with QPainter: the device-context primitives in device
// pixels, lines without antialiasing (as the window has always drawn them,
// and so that an inverting band undoes itself exactly), text antialiased.
#pragma once

#include "platform/device_context.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QVector>

#include <map>
#include <optional>
#include <string>

class QPainter;

namespace view::qt {

class PainterSurface : public platform::Surface {
  public:
    void Polyline(const platform::DrawState& state,
                  std::span<const platform::DevicePoint> points) override;
    void Segments(const platform::DrawState& state,
                  std::span<const platform::DevicePoint> ends) override;
    void Polygon(const platform::DrawState& state,
                 std::span<const platform::DevicePoint> points) override;
    void Text(const platform::DrawState& state, platform::DevicePoint anchor,
              std::u16string_view text, const platform::TextFont& font) override;
    double TextWidth(std::u16string_view text, const platform::TextFont& font) override;

  protected:
    // The painter, active on the device; nullptr when the device cannot be painted.
    virtual QPainter* ActivePainter() = 0;
    // To be called when the painter begins again: it has lost the state applied to it.
    void ForgetAppliedState() { applied_.reset(); }

  private:
    // A family at a fixed pixel size; text is scaled from it, so every height
    // is exact and measures agree with what is drawn.
    struct FontEntry {
        QFont font;
        QFontMetricsF metrics;
        double capHeight;
    };

    QPainter* Prepared(const platform::DrawState& state);
    const FontEntry& FontFor(const std::string& family);
    const QVector<QPointF>& ToQt(std::span<const platform::DevicePoint> points);

    std::optional<platform::DrawState> applied_;
    std::map<std::string, FontEntry> fonts_;
    QVector<QPointF> points_;
};

} // namespace view::qt

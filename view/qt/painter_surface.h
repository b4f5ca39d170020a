// Surfaces painted with QPainter: the device-context primitives in device
// pixels, lines without antialiasing (as the window has always drawn them,
// and so that an inverting band undoes itself exactly), text antialiased.
#pragma once

#include "platform/device_context.h"
#include "render/hairlines.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPointF>
#include <QRectF>
#include <QTransform>
#include <QVector>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

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
    // The device's pixels when it is an image of 32-bit pixels that one-pixel
    // lines may be painted into directly (the active painter paints at once,
    // so the two keep their order); nullopt for any other device.
    virtual std::optional<render::PixelWindow> Pixels() { return std::nullopt; }

  private:
    // A text laid out once in its family's reference size: its glyphs and
    // its advance. Redraws (every pan and zoom) reuse it.
    struct LaidOutText {
        QList<QGlyphRun> glyphs; // placed with the baseline at y = baseline
        double advance = 0;
        double baseline = 0;
        QRectF positions; // the box of the glyphs' positions
    };

    // Looks texts up by their characters without making a string of them.
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::u16string_view text) const {
            return std::hash<std::u16string_view>()(text);
        }
    };

    // A family at a fixed pixel size; text is scaled from it, so every height
    // is exact and measures agree with what is drawn.
    struct FontEntry {
        QFont font;
        QFontMetricsF metrics;
        double capHeight;
        std::unordered_map<std::u16string, LaidOutText, TextHash, std::equal_to<>> laidOut;
    };

    QPainter* Prepared(const platform::DrawState& state);
    // Where a stroke of `state` is painted as hairlines: a one-pixel pen
    // copied onto an image's pixels. nullopt when the painter strokes it.
    std::optional<render::HairlinePainter> Hairlines(const platform::DrawState& state);
    FontEntry& FontFor(const std::string& family);
    const LaidOutText& LayOut(FontEntry& entry, std::u16string_view text);
    const QVector<QPointF>& ToQt(std::span<const platform::DevicePoint> points);
    // `glyphs`, drawn from `origin` through `toDevice`, those that the raster
    // painter would place left of or above the device's origin moved so that
    // it places them as it would anywhere else.
    const QGlyphRun& PlacedAsAnywhere(const QGlyphRun& glyphs, const QPointF& origin,
                                      const QTransform& toDevice);

    std::optional<platform::DrawState> applied_;
    std::map<std::string, FontEntry> fonts_;
    QVector<QPointF> points_;
    std::vector<platform::DevicePoint> closed_; // an outline's points, back to the first
    // Glyphs moved by PlacedAsAnywhere: the run, over the arrays it is given.
    QGlyphRun placed_;
    QList<quint32> placedIndexes_;
    std::vector<QPointF> placedPositions_;
};

} // namespace view::qt

#include "view/qt/painter_surface.h"

#include <QLineF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPen>
#include <QTextLayout>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace view::qt {

namespace {

constexpr int kReferencePixelSize = 256;
// Laid-out texts kept per family; a drawing with more starts the store again.
constexpr size_t kMostTextsKept = 200000;
// Qt wants positive dash lengths: a gap never vanishes entirely.
constexpr double kShortestGap = 1e-3;

QColor ToQColor(const platform::Rgb& colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

QPen ToQPen(const platform::Pen& pen) {
    if (pen.null) return QPen(Qt::NoPen);
    QPen result(ToQColor(pen.colour), pen.width);
    if (pen.dashes.empty()) {
        result.setCapStyle(Qt::RoundCap);
        result.setJoinStyle(Qt::RoundJoin);
        return result;
    }
    // Qt measures dashes in pen widths; a dot is one width long (DashPeriod).
    QVector<qreal> pattern;
    for (size_t i = 0; i < pen.dashes.size(); ++i) {
        const double length = pen.dashes[i] / pen.width;
        pattern.push_back(i % 2 == 0 ? (length > 0 ? length : 1.0)
                                     : std::max(length, kShortestGap));
    }
    result.setCapStyle(Qt::FlatCap);
    result.setJoinStyle(Qt::MiterJoin);
    result.setMiterLimit(platform::kMiterLimit);
    result.setDashPattern(pattern);
    result.setDashOffset(pen.dashOffset / pen.width);
    return result;
}

bool SamePoint(const platform::DevicePoint& a, const platform::DevicePoint& b) {
    return a.x == b.x && a.y == b.y;
}

// Whether the raster painter draws glyphs through `toDevice` from its images
// of glyphs: it keeps those of up to 64 pixels (QT_MAX_CACHED_GLYPH_SIZE, as
// it reads it) across the area the transformation gives a glyph, and fills
// larger ones as outlines.
bool PaintsGlyphImages(const QTransform& toDevice) {
    static const double largest = [] {
        const int set = qEnvironmentVariableIntValue("QT_MAX_CACHED_GLYPH_SIZE");
        return set != 0 ? set : 64;
    }();
    const double size = kReferencePixelSize;
    return size * size * std::fabs(toDevice.determinant()) <= largest * largest;
}

// The raster painter places a glyph image at its device position cut to a
// 64th of a pixel towards zero, so left of or above the device's origin it
// lands on another 64th than the same glyph anywhere else: a text across
// the picture's left or top edge, or across the rows where two bands meet,
// would change when a pan or the bands move it. A position there moves to
// the middle of the 64th below it, which the cut keeps.
double CutAsAnywhere(double device) {
    constexpr double kSteps = 64;
    return device >= 0 ? device : (std::floor(device * kSteps) - 0.5) / kSteps;
}

} // namespace

QPainter* PainterSurface::Prepared(const platform::DrawState& state) {
    QPainter* painter = ActivePainter();
    if (!painter || (applied_ && *applied_ == state)) return painter;
    // Only what changed is applied: a new clip or composition mode costs the
    // painter far more than a new pen, and pens change with every entity.
    const bool fresh = !applied_;
    if (fresh || applied_->pen != state.pen) painter->setPen(ToQPen(state.pen));
    if (fresh || applied_->brush != state.brush) {
        painter->setBrush(state.brush.null ? QBrush(Qt::NoBrush)
                                           : QBrush(ToQColor(state.brush.colour)));
    }
    // Paper has no raster operations: there an inverting pen draws plainly.
    if ((fresh || applied_->rasterOp != state.rasterOp) &&
        painter->paintEngine()->hasFeature(QPaintEngine::RasterOpModes)) {
        painter->setCompositionMode(state.rasterOp == platform::R2_NOT
                                        ? QPainter::RasterOp_NotDestination
                                        : QPainter::CompositionMode_SourceOver);
    }
    if (fresh || applied_->clip != state.clip) {
        if (state.clip) {
            painter->setClipRect(QRectF(QPointF(state.clip->left, state.clip->top),
                                        QPointF(state.clip->right, state.clip->bottom)));
        } else {
            painter->setClipping(false);
        }
    }
    applied_ = state;
    return painter;
}

std::optional<render::HairlinePainter> PainterSurface::Hairlines(const platform::DrawState& state) {
    if (state.pen.null || state.pen.width > 1 || state.rasterOp != platform::R2_COPYPEN) {
        return std::nullopt;
    }
    if (!ActivePainter()) return std::nullopt;
    std::optional<render::PixelWindow> pixels = Pixels();
    if (!pixels) return std::nullopt;
    if (state.clip) pixels = render::Clipped(*pixels, *state.clip);
    const platform::Rgb& colour = state.pen.colour;
    return render::HairlinePainter(*pixels, qRgb(colour.red, colour.green, colour.blue));
}

const QVector<QPointF>& PainterSurface::ToQt(std::span<const platform::DevicePoint> points) {
    points_.resize(static_cast<qsizetype>(points.size()));
    std::transform(points.begin(), points.end(), points_.begin(),
                   [](const platform::DevicePoint& p) { return QPointF(p.x, p.y); });
    return points_;
}

void PainterSurface::Polyline(const platform::DrawState& state,
                              std::span<const platform::DevicePoint> points) {
    if (std::optional<render::HairlinePainter> hairlines = Hairlines(state)) {
        return hairlines->Polyline(points, state.pen.dashes, state.pen.dashOffset);
    }
    QPainter* painter = Prepared(state);
    if (!painter) return;
    if (points.size() == 2 && SamePoint(points[0], points[1])) {
        painter->drawPoint(QPointF(points[0].x, points[0].y));
        return;
    }
    const QVector<QPointF>& qtPoints = ToQt(points);
    // The painter's own dashing passes over a part of the line that lies
    // wholly beyond the device (by more than it pads the device with), and
    // the dashes after such a part can fall out of step: a line would come
    // out otherwise in another band, or moved by a pan. On an image the
    // dashes are made from the whole line, as the painter makes them
    // elsewhere, and filled.
    if (!state.pen.dashes.empty() && qtPoints.size() >= 2 &&
        painter->paintEngine()->type() == QPaintEngine::Raster) {
        QPainterPath line(qtPoints.front());
        for (qsizetype i = 1; i < qtPoints.size(); ++i)
            line.lineTo(qtPoints[i]);
        painter->fillPath(QPainterPathStroker(painter->pen()).createStroke(line),
                          painter->pen().brush());
        return;
    }
    painter->drawPolyline(qtPoints.data(), static_cast<int>(qtPoints.size()));
}

void PainterSurface::Segments(const platform::DrawState& state,
                              std::span<const platform::DevicePoint> ends) {
    if (std::optional<render::HairlinePainter> hairlines = Hairlines(state)) {
        return hairlines->Segments(ends);
    }
    QPainter* painter = Prepared(state);
    if (!painter) return;
    QVector<QLineF> lines;
    QVector<QPointF> dots;
    for (size_t i = 0; i + 1 < ends.size(); i += 2) {
        const QPointF from(ends[i].x, ends[i].y);
        if (SamePoint(ends[i], ends[i + 1])) {
            dots.push_back(from);
        } else {
            lines.push_back(QLineF(from, QPointF(ends[i + 1].x, ends[i + 1].y)));
        }
    }
    painter->drawLines(lines);
    painter->drawPoints(dots.data(), static_cast<int>(dots.size()));
}

void PainterSurface::Polygon(const platform::DrawState& state,
                             std::span<const platform::DevicePoint> points) {
    // A one-pixel outline is drawn as hairlines over the fill, as any other line.
    std::optional<render::HairlinePainter> outline = Hairlines(state);
    platform::DrawState fill = state;
    fill.pen.null = fill.pen.null || outline.has_value();
    QPainter* painter = Prepared(fill);
    if (!painter) return;
    const QVector<QPointF>& qtPoints = ToQt(points);
    painter->drawPolygon(qtPoints.data(), static_cast<int>(qtPoints.size()), Qt::OddEvenFill);
    if (outline && !points.empty()) {
        closed_.assign(points.begin(), points.end());
        closed_.push_back(points.front());
        outline->Polyline(closed_, state.pen.dashes, state.pen.dashOffset);
    }
}

PainterSurface::FontEntry& PainterSurface::FontFor(const std::string& family) {
    auto found = fonts_.find(family);
    if (found == fonts_.end()) {
        QFont font;
        font.setFamilies({QString::fromStdString(family)});
        font.setStyleHint(QFont::SansSerif); // what an unknown family falls back to
        font.setPixelSize(kReferencePixelSize);
        font.setHintingPreference(QFont::PreferNoHinting);
        const QFontMetricsF metrics(font);
        // Some faces report no capital height: take the ascent's usual share.
        const double capHeight =
            metrics.capHeight() > 0 ? metrics.capHeight() : metrics.ascent() * 0.7;
        found = fonts_.emplace(family, FontEntry{font, metrics, capHeight, {}}).first;
    }
    return found->second;
}

const PainterSurface::LaidOutText& PainterSurface::LayOut(FontEntry& entry,
                                                          std::u16string_view text) {
    const auto found = entry.laidOut.find(text);
    if (found != entry.laidOut.end()) return found->second;
    if (entry.laidOut.size() >= kMostTextsKept) entry.laidOut.clear();
    const QString content = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    QTextLayout layout(content, entry.font);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    LaidOutText laidOut;
    if (line.isValid()) {
        laidOut.glyphs = line.glyphRuns();
        laidOut.baseline = line.ascent();
    }
    QPointF first(INFINITY, INFINITY), last(-INFINITY, -INFINITY);
    for (const QGlyphRun& glyphs : laidOut.glyphs) {
        for (const QPointF& position : glyphs.positions()) {
            first = QPointF(std::min(first.x(), position.x()), std::min(first.y(), position.y()));
            last = QPointF(std::max(last.x(), position.x()), std::max(last.y(), position.y()));
        }
    }
    if (first.x() <= last.x()) laidOut.positions = QRectF(first, last);
    laidOut.advance = entry.metrics.horizontalAdvance(content);
    return entry.laidOut.emplace(std::u16string(text), std::move(laidOut)).first->second;
}

void PainterSurface::Text(const platform::DrawState& state, platform::DevicePoint anchor,
                          std::u16string_view text, const platform::TextFont& font) {
    QPainter* painter = Prepared(state);
    if (!painter || !(font.height > 0)) return;
    FontEntry& entry = FontFor(font.family);
    const LaidOutText& laidOut = LayOut(entry, text);
    const double x = font.align == platform::TextAlign::Left     ? 0
                     : font.align == platform::TextAlign::Centre ? -laidOut.advance / 2
                                                                 : -laidOut.advance;
    const double scale = font.height / entry.capHeight;
    QTransform place;
    place.translate(anchor.x, anchor.y);
    place.rotate(-font.rotation);
    place.scale(scale * font.widthFactor, scale);
    place.shear(-std::tan(font.oblique * std::numbers::pi / 180.0), 0);
    const QTransform device = painter->transform();
    painter->setTransform(place, true);
    // The baseline lies half a capital height below the anchor.
    const QPointF origin(x, entry.capHeight / 2 - laidOut.baseline);
    const QTransform toDevice = painter->transform();
    const QRectF placed = toDevice.mapRect(laidOut.positions.translated(origin));
    const bool cut = (placed.left() < 0 || placed.top() < 0) &&
                     painter->paintEngine()->type() == QPaintEngine::Raster &&
                     PaintsGlyphImages(toDevice);
    for (const QGlyphRun& glyphs : laidOut.glyphs)
        painter->drawGlyphRun(origin, cut ? PlacedAsAnywhere(glyphs, origin, toDevice) : glyphs);
    painter->setTransform(device);
}

const QGlyphRun& PainterSurface::PlacedAsAnywhere(const QGlyphRun& glyphs, const QPointF& origin,
                                                  const QTransform& toDevice) {
    bool invertible = false;
    const QTransform toText = toDevice.inverted(&invertible);
    if (!invertible) return glyphs; // a text of no width shows nothing
    // The arrays are kept for the next text: a pan's strip meets hundreds at an edge.
    placedIndexes_ = glyphs.glyphIndexes();
    const QList<QPointF> positions = glyphs.positions();
    placedPositions_.assign(positions.begin(), positions.end());
    for (QPointF& position : placedPositions_) {
        const QPointF at = toDevice.map(origin + position);
        if (at.x() >= 0 && at.y() >= 0) continue;
        position = toText.map(QPointF(CutAsAnywhere(at.x()), CutAsAnywhere(at.y()))) - origin;
    }
    placed_.setRawFont(glyphs.rawFont());
    placed_.setFlags(glyphs.flags());
    placed_.setRawData(
        placedIndexes_.constData(), placedPositions_.data(),
        static_cast<int>(std::min<size_t>(placedIndexes_.size(), placedPositions_.size())));
    return placed_;
}

double PainterSurface::TextWidth(std::u16string_view text, const platform::TextFont& font) {
    FontEntry& entry = FontFor(font.family);
    return LayOut(entry, text).advance * font.height / entry.capHeight * font.widthFactor;
}

} // namespace view::qt

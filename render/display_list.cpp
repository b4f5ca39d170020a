#include "render/display_list.h"

#include "platform/text_extent.h"

#include <algorithm>
#include <cmath>

namespace render {

using namespace platform; // the device's points, pens and states

namespace {

// Estimated costs, in units of a short one-pixel line: a line costs that and
// a little more for every pixel; a letter more the taller it is.
constexpr double kPixelsPerLineCost = 32;
constexpr double kLetterCostPerPixelHeight = 0.6;
constexpr double kPolygonCost = 4;
constexpr double kPolygonPixelsPerCost = 2000;
// Rows beyond a stroke's pen that antialiasing or rounding may touch.
constexpr double kRowMargin = 2;

// The pixels one-pixel lines between the points cover: one for every step
// along the longer axis.
double PixelsAlong(std::span<const DevicePoint> points, size_t step) {
    double pixels = 0;
    for (size_t i = 0; i + 1 < points.size(); i += step) {
        pixels += std::max(std::fabs(points[i + 1].x - points[i].x),
                           std::fabs(points[i + 1].y - points[i].y));
    }
    return std::isfinite(pixels) ? pixels : 0;
}

// How far beyond its points a stroke of `pen` may paint: half its width
// round a solid pen's ends and corners; the mitred corner of a dashed pen
// reaches further, at most kMiterLimit widths.
double PenReach(const Pen& pen) {
    if (pen.null) return 0;
    return pen.dashes.empty() ? pen.width / 2 : std::max(pen.width / 2, kMiterLimit * pen.width);
}

// The rows from `top` to `bottom` that something painted about `points`,
// `reach` beyond them, may touch.
struct Rows {
    float top, bottom;
};
Rows RowsReached(std::span<const DevicePoint> points, double reach) {
    double top = INFINITY, bottom = -INFINITY;
    for (const DevicePoint& p : points) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    // Beyond what a float holds, or not a number: every row.
    const Rows rows{static_cast<float>(std::max(top - reach - kRowMargin, -1e30)),
                    static_cast<float>(std::min(bottom + reach + kRowMargin, 1e30))};
    if (!(rows.top <= rows.bottom)) return {-INFINITY, INFINITY};
    return rows;
}

} // namespace

bool CoversThePicture(const DrawState& state, std::span<const DevicePoint> points, int width,
                      int height) {
    if (state.brush.null || state.rasterOp != R2_COPYPEN || points.size() != 4) return false;
    const DeviceRect picture{0, 0, static_cast<double>(width), static_cast<double>(height)};
    if (state.clip &&
        !(state.clip->left <= 0 && state.clip->top <= 0 && state.clip->right >= picture.right &&
          state.clip->bottom >= picture.bottom)) {
        return false;
    }
    // A rectangle of edges along the axes, round from any corner.
    for (size_t i = 0; i < 4; ++i) {
        const DevicePoint& a = points[i];
        const DevicePoint& b = points[(i + 1) % 4];
        if (a.x != b.x && a.y != b.y) return false;
    }
    const auto [left, right] = std::minmax({points[0].x, points[1].x, points[2].x, points[3].x});
    const auto [top, bottom] = std::minmax({points[0].y, points[1].y, points[2].y, points[3].y});
    return left <= picture.left && top <= picture.top && right >= picture.right &&
           bottom >= picture.bottom;
}

int RowSplittingWork(const std::vector<double>& workByRow, double share) {
    double total = 0;
    for (double work : workByRow)
        total += work;
    double above = 0;
    for (size_t row = 0; row < workByRow.size(); ++row) {
        if (above >= share * total) return static_cast<int>(row);
        above += workByRow[row];
    }
    return static_cast<int>(workByRow.size());
}

DisplayList::Primitive& DisplayList::Add(Kind kind, const DrawState& state,
                                         std::span<const DevicePoint> points) {
    if (states_.empty() || !(states_.back() == state)) states_.push_back(state);
    inverts_ = inverts_ || state.rasterOp != R2_COPYPEN;
    Primitive primitive{kind, static_cast<uint32_t>(states_.size() - 1), points_.size(),
                        points.size()};
    const Rows rows = RowsReached(points, PenReach(state.pen));
    primitive.top = rows.top;
    primitive.bottom = rows.bottom;
    points_.insert(points_.end(), points.begin(), points.end());
    primitives_.push_back(primitive);
    return primitives_.back();
}

void DisplayList::Polyline(const DrawState& state, std::span<const DevicePoint> points) {
    Primitive& added = Add(Kind::Polyline, state, points);
    added.work = static_cast<float>(1 + PixelsAlong(points, 1) / kPixelsPerLineCost);
    work_ += added.work;
}

void DisplayList::Segments(const DrawState& state, std::span<const DevicePoint> ends) {
    Primitive& added = Add(Kind::Segments, state, ends);
    added.work = static_cast<float>(static_cast<double>(ends.size()) / 2 +
                                    PixelsAlong(ends, 2) / kPixelsPerLineCost);
    work_ += added.work;
}

void DisplayList::Polygon(const DrawState& state, std::span<const DevicePoint> points) {
    if (CoversThePicture(state, points, Width(), Height())) Clear();
    Primitive& added = Add(Kind::Polygon, state, points);
    double left = INFINITY, right = -INFINITY;
    for (const DevicePoint& p : points) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
    }
    const double area = (right - left) * (static_cast<double>(added.bottom) - added.top);
    added.work = static_cast<float>(
        kPolygonCost + (std::isfinite(area) ? std::min(area, 1e12) : 0) / kPolygonPixelsPerCost);
    work_ += added.work;
}

void DisplayList::Text(const DrawState& state, DevicePoint anchor, std::u16string_view text,
                       const TextFont& font) {
    const double characters = static_cast<double>(text.size());
    const double height = std::isfinite(font.height) ? std::fabs(font.height) : 0;
    Primitive& added = Add(Kind::Text, state, {&anchor, 1});
    // The rows of the box its glyphs can fill, as measured, however it is turned.
    const TextExtent extent = TextExtentOf(measure_.TextWidth(text, font), font);
    const Rows rows = RowsReached(TextExtentCorners(extent, font, anchor, false), 0);
    added.top = rows.top;
    added.bottom = rows.bottom;
    if (fonts_.empty() || !(fonts_.back() == font)) fonts_.push_back(font);
    added.font = static_cast<uint32_t>(fonts_.size() - 1);
    added.text = text_.size();
    added.characters = text.size();
    text_.append(text);
    added.work =
        static_cast<float>(characters * (1 + kLetterCostPerPixelHeight * std::min(height, 1e6)));
    work_ += added.work;
}

double DisplayList::TextWidth(std::u16string_view text, const TextFont& font) {
    return measure_.TextWidth(text, font);
}

void DisplayList::Clear() {
    primitives_.clear();
    states_.clear();
    fonts_.clear();
    points_.clear();
    text_.clear();
    work_ = 0;
    inverts_ = false;
}

void DisplayList::AddWorkByRow(std::vector<double>& workByRow) const {
    if (workByRow.empty()) return;
    const auto lastRow = static_cast<double>(workByRow.size() - 1);
    for (const Primitive& p : primitives_) {
        const double middle = (static_cast<double>(p.top) + p.bottom) / 2;
        const double row = std::clamp(std::isfinite(middle) ? middle : 0.0, 0.0, lastRow);
        workByRow[static_cast<size_t>(row)] += p.work;
    }
}

void DisplayList::Replay(Surface& target, int top, int bottom) const {
    const DeviceRect rows{0, static_cast<double>(top), static_cast<double>(target.Width()),
                          static_cast<double>(bottom)};
    uint32_t current = UINT32_MAX;
    DrawState banded;
    for (const Primitive& p : primitives_) {
        if (p.bottom < top || p.top >= bottom) continue;
        if (p.state != current) {
            current = p.state;
            banded = states_[current];
            const DeviceRect clip = banded.clip.value_or(rows);
            banded.clip =
                DeviceRect{std::max(clip.left, rows.left), std::max(clip.top, rows.top),
                           std::min(clip.right, rows.right), std::min(clip.bottom, rows.bottom)};
        }
        const std::span<const DevicePoint> points(points_.data() + p.first, p.count);
        switch (p.kind) {
        case Kind::Polyline:
            target.Polyline(banded, points);
            break;
        case Kind::Segments:
            target.Segments(banded, points);
            break;
        case Kind::Polygon:
            target.Polygon(banded, points);
            break;
        case Kind::Text:
            target.Text(banded, points[0], std::u16string_view(text_).substr(p.text, p.characters),
                        fonts_[p.font]);
            break;
        }
    }
}

} // namespace render

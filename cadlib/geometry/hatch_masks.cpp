#include "cadlib/geometry/hatch_masks.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace cadlib {

namespace {

// The grid has at most this many cells along a side; a mask over more cells
// than kMostCellsPerMask is looked at by every query instead of being filed.
constexpr int kMostCellsAcross = 256;
constexpr size_t kMostCellsPerMask = 1024;
// What is left of a piece shorter than this is none (as the clipper has it).
constexpr double kSliver = 1e-9;

bool Overlaps(const KqRect2& a, const KqRect2& b) {
    return a.x1 <= b.x2 && b.x1 <= a.x2 && a.y1 <= b.y2 && b.y1 <= a.y2;
}

KqRect2 BoxOf(const HatchPiece& piece) {
    return {std::min(piece.from.x, piece.to.x), std::min(piece.from.y, piece.to.y),
            std::max(piece.from.x, piece.to.x), std::max(piece.from.y, piece.to.y)};
}

// Even-odd: whether `p` lies inside the polygon.
bool Inside(std::span<const KqPoint2> polygon, const KqPoint2& p) {
    bool inside = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const KqPoint2& a = polygon[i];
        const KqPoint2& b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) {
            inside = !inside;
        }
    }
    return inside;
}

bool Inside(const HatchCircle& circle, const KqPoint2& p) {
    const double dx = p.x - circle.centre.x, dy = p.y - circle.centre.y;
    return dx * dx + dy * dy < circle.radius * circle.radius;
}

// The parameters t in (0, 1) where the piece from a to a + d crosses the
// polygon's edges.
void Crossings(std::span<const KqPoint2> polygon, const KqPoint2& a, const KqPoint2& d,
               std::vector<double>& out) {
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const KqPoint2& p = polygon[j];
        const KqPoint2 e{polygon[i].x - p.x, polygon[i].y - p.y};
        const double denominator = d.x * e.y - d.y * e.x;
        if (denominator == 0) continue; // parallel: the midpoints tell the rest
        const KqPoint2 w{p.x - a.x, p.y - a.y};
        const double t = (w.x * e.y - w.y * e.x) / denominator;
        const double u = (w.x * d.y - w.y * d.x) / denominator;
        if (t > 0 && t < 1 && u >= 0 && u <= 1) out.push_back(t);
    }
}

void Crossings(const HatchCircle& circle, const KqPoint2& a, const KqPoint2& d,
               std::vector<double>& out) {
    const KqPoint2 w{a.x - circle.centre.x, a.y - circle.centre.y};
    const double qa = d.x * d.x + d.y * d.y;
    const double qb = 2 * (w.x * d.x + w.y * d.y);
    const double qc = w.x * w.x + w.y * w.y - circle.radius * circle.radius;
    const double discriminant = qb * qb - 4 * qa * qc;
    if (!(qa > 0) || !(discriminant > 0)) return;
    const double root = std::sqrt(discriminant);
    for (const double t : {(-qb - root) / (2 * qa), (-qb + root) / (2 * qa)}) {
        if (t > 0 && t < 1) out.push_back(t);
    }
}

} // namespace

void HatchMasks::AddPolygon(uint32_t position, std::span<const KqPoint2> polygon) {
    if (polygon.size() < 3) return;
    KqRect2 box{INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (const KqPoint2& p : polygon) {
        box = {std::min(box.x1, p.x), std::min(box.y1, p.y), std::max(box.x2, p.x),
               std::max(box.y2, p.y)};
    }
    if (!std::isfinite(box.x1 + box.y1 + box.x2 + box.y2)) return;
    masks_.push_back({position, box, polygon, {}});
    gridMade_ = false;
}

void HatchMasks::AddCircle(uint32_t position, const HatchCircle& circle) {
    const double r = circle.radius;
    if (!(r > 0) || !std::isfinite(r + circle.centre.x + circle.centre.y)) return;
    const KqRect2 box{circle.centre.x - r, circle.centre.y - r, circle.centre.x + r,
                      circle.centre.y + r};
    masks_.push_back({position, box, {}, circle});
    gridMade_ = false;
}

void HatchMasks::MakeGrid() {
    gridMade_ = true;
    cells_.clear();
    large_.clear();
    seen_.assign(masks_.size(), 0);
    query_ = 0;
    if (masks_.empty()) return;
    extent_ = masks_.front().box;
    for (const Mask& mask : masks_) {
        extent_ = {std::min(extent_.x1, mask.box.x1), std::min(extent_.y1, mask.box.y1),
                   std::max(extent_.x2, mask.box.x2), std::max(extent_.y2, mask.box.y2)};
    }
    const auto across = static_cast<int>(std::ceil(std::sqrt(double(masks_.size()))));
    columns_ = rows_ = std::clamp(across, 1, kMostCellsAcross);
    // A grid of no width is one cell wide.
    cellWidth_ = std::max((extent_.x2 - extent_.x1) / columns_, 1e-300);
    cellHeight_ = std::max((extent_.y2 - extent_.y1) / rows_, 1e-300);
    cells_.resize(size_t(columns_) * rows_);
    for (uint32_t m = 0; m < masks_.size(); ++m) {
        int c0 = 0, r0 = 0, c1 = 0, r1 = 0;
        CellsOf(masks_[m].box, c0, r0, c1, r1);
        if (size_t(c1 - c0 + 1) * size_t(r1 - r0 + 1) > kMostCellsPerMask) {
            large_.push_back(m);
            continue;
        }
        for (int r = r0; r <= r1; ++r) {
            for (int c = c0; c <= c1; ++c)
                cells_[size_t(r) * columns_ + c].push_back(m);
        }
    }
}

void HatchMasks::CellsOf(const KqRect2& box, int& c0, int& r0, int& c1, int& r1) const {
    const auto cell = [](double offset, double size, int count) {
        const double index = std::floor(offset / size);
        return static_cast<int>(std::clamp(index, 0.0, double(count - 1)));
    };
    c0 = cell(box.x1 - extent_.x1, cellWidth_, columns_);
    c1 = cell(box.x2 - extent_.x1, cellWidth_, columns_);
    r0 = cell(box.y1 - extent_.y1, cellHeight_, rows_);
    r1 = cell(box.y2 - extent_.y1, cellHeight_, rows_);
}

void HatchMasks::CutAway(uint32_t position, const KqRect2& box, std::vector<HatchPiece>& pieces) {
    if (masks_.empty() || pieces.empty()) return;
    if (!gridMade_) MakeGrid();
    if (!Overlaps(box, extent_)) return;
    // The masks after the hatch that reach its box, each once, in drawing order.
    if (++query_ == 0) {
        std::fill(seen_.begin(), seen_.end(), 0);
        query_ = 1;
    }
    std::vector<const Mask*> over;
    const auto consider = [&](uint32_t m) {
        if (seen_[m] == query_) return;
        seen_[m] = query_;
        const Mask& mask = masks_[m];
        if (mask.position > position && Overlaps(mask.box, box)) over.push_back(&mask);
    };
    for (const uint32_t m : large_)
        consider(m);
    int c0 = 0, r0 = 0, c1 = 0, r1 = 0;
    CellsOf(box, c0, r0, c1, r1);
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c) {
            for (const uint32_t m : cells_[size_t(r) * columns_ + c])
                consider(m);
        }
    }
    if (over.empty()) return;
    std::sort(over.begin(), over.end());
    std::vector<HatchPiece> kept;
    kept.reserve(pieces.size());
    for (const HatchPiece& piece : pieces)
        Keep(piece, over, kept);
    pieces = std::move(kept);
}

void HatchMasks::Keep(const HatchPiece& piece, std::span<const Mask* const> over,
                      std::vector<HatchPiece>& kept) {
    const KqRect2 reach = BoxOf(piece);
    near_.clear();
    for (const Mask* mask : over) {
        if (Overlaps(mask->box, reach)) near_.push_back(mask);
    }
    if (near_.empty()) {
        kept.push_back(piece);
        return;
    }
    const auto covered = [this](const KqPoint2& p) {
        return std::any_of(near_.begin(), near_.end(), [&p](const Mask* mask) {
            return mask->polygon.empty() ? Inside(mask->circle, p) : Inside(mask->polygon, p);
        });
    };
    const KqPoint2 d{piece.to.x - piece.from.x, piece.to.y - piece.from.y};
    const auto at = [&](double t) {
        return KqPoint2{piece.from.x + t * d.x, piece.from.y + t * d.y};
    };
    crossings_.clear();
    if (d.x != 0 || d.y != 0) {
        for (const Mask* mask : near_) {
            if (mask->polygon.empty()) {
                Crossings(mask->circle, piece.from, d, crossings_);
            } else {
                Crossings(mask->polygon, piece.from, d, crossings_);
            }
        }
    }
    if (crossings_.empty()) {
        // Wholly in or wholly out; a piece kept whole keeps its exact ends.
        if (!covered(at(0.5))) kept.push_back(piece);
        return;
    }
    crossings_.push_back(0);
    crossings_.push_back(1);
    std::sort(crossings_.begin(), crossings_.end());
    // The stretches between crossings that no mask covers, joined where they meet.
    double runFrom = -1, runTo = -1;
    const auto flush = [&] {
        if (runFrom < 0) return;
        const HatchPiece part{runFrom == 0 ? piece.from : at(runFrom),
                              runTo == 1 ? piece.to : at(runTo)};
        if (std::hypot(part.to.x - part.from.x, part.to.y - part.from.y) > kSliver) {
            kept.push_back(part);
        }
        runFrom = runTo = -1;
    };
    for (size_t i = 0; i + 1 < crossings_.size(); ++i) {
        const double t0 = crossings_[i], t1 = crossings_[i + 1];
        if (!(t1 > t0)) continue;
        if (covered(at((t0 + t1) / 2))) {
            flush();
            continue;
        }
        if (runFrom < 0) runFrom = t0;
        runTo = t1;
    }
    flush();
}

} // namespace cadlib

#include "cadlib/geometry/hatch_masks.h"

#include "cadlib/geometry/extents.h"
#include "cadlib/geometry/polygon.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace cadlib {

namespace {

// The grid has at most this many cells along a side; a mask over more cells
// than kMostCellsPerMask is looked at by every query instead of being filed.
constexpr int kMostCellsAcross = 256;
constexpr size_t kMostCellsPerMask = 1024;
// A hatch is cut by at most this many of the masks drawn after it that reach
// it, the first of them: a drawing of pages stacked on one another would
// otherwise set each hatch against every later page.
constexpr size_t kMostMasksPerHatch = 64;

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
    const KqRect2 box = BoxOf<KqPoint2>(polygon);
    if (!std::isfinite(box.x1 + box.y1 + box.x2 + box.y2)) return;
    // An axis-parallel rectangle, the common mask, is cut by its box alone.
    bool rectangle = polygon.size() == 4;
    for (size_t i = 0; i < polygon.size() && rectangle; ++i) {
        const KqPoint2& p = polygon[i];
        const KqPoint2& q = polygon[(i + 1) % polygon.size()];
        rectangle = p.x == q.x || p.y == q.y;
    }
    if (rectangle) {
        Add({position, box, {}, {}, true});
    } else {
        masks_.push_back({position, box, polygon, {}, false});
        gridMade_ = false;
    }
}

void HatchMasks::AddCircle(uint32_t position, const HatchCircle& circle) {
    const double r = circle.radius;
    if (!(r > 0) || !std::isfinite(r + circle.centre.x + circle.centre.y)) return;
    const KqRect2 box{circle.centre.x - r, circle.centre.y - r, circle.centre.x + r,
                      circle.centre.y + r};
    Add({position, box, {}, circle, false});
}

void HatchMasks::Add(const Mask& mask) {
    // A mask drawn again where it was (the same box on every page of a log)
    // hides what the latest of them hides: it is kept once, at the latest.
    const std::array<double, 5> key = {mask.box.x1, mask.box.y1, mask.box.x2, mask.box.y2,
                                       mask.rectangle ? 0.0 : 1.0};
    const auto [found, added] = byShape_.emplace(key, static_cast<uint32_t>(masks_.size()));
    if (!added) {
        masks_[found->second].replaced = true;
        found->second = static_cast<uint32_t>(masks_.size());
    }
    masks_.push_back(mask);
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
    for (const Mask& mask : masks_)
        extent_ = Joined(extent_, mask.box);
    // Cells about the size of a mask, so that a mask is filed in a few and a
    // hatch looks at a few.
    double widths = 0, heights = 0;
    for (const Mask& mask : masks_) {
        widths += mask.box.x2 - mask.box.x1;
        heights += mask.box.y2 - mask.box.y1;
    }
    const auto across = [&](double extent, double sizes) {
        const double cells = std::ceil(extent / std::max(sizes / double(masks_.size()), 1e-300));
        return static_cast<int>(std::clamp(cells, 1.0, double(kMostCellsAcross)));
    };
    columns_ = across(extent_.x2 - extent_.x1, widths);
    rows_ = across(extent_.y2 - extent_.y1, heights);
    // A grid of no width is one cell wide.
    cellWidth_ = std::max((extent_.x2 - extent_.x1) / columns_, 1e-300);
    cellHeight_ = std::max((extent_.y2 - extent_.y1) / rows_, 1e-300);
    cells_.resize(size_t(columns_) * rows_);
    for (uint32_t m = 0; m < masks_.size(); ++m) {
        if (masks_[m].replaced) continue;
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

bool HatchMasks::CutAway(uint32_t position, const KqRect2& box, std::vector<HatchPiece>& pieces,
                         WorkBudget& work) {
    if (masks_.empty() || pieces.empty()) return true;
    if (!gridMade_) MakeGrid();
    if (!Overlaps(box, extent_)) return true;
    // The first masks after the hatch that reach its box, each once, in
    // drawing order. Every list is in drawing order: each is looked at from
    // the first mask after the hatch, and only so far as a hatch may look.
    if (++query_ == 0) {
        std::fill(seen_.begin(), seen_.end(), 0);
        query_ = 1;
    }
    std::vector<const Mask*> over;
    const Mask* last = masks_.data() + masks_.size(); // past which no list needs looking
    const auto consider = [&](const std::vector<uint32_t>& list) {
        auto m =
            std::upper_bound(list.begin(), list.end(), position,
                             [this](uint32_t p, uint32_t k) { return p < masks_[k].position; });
        for (size_t found = 0; m != list.end() && found < kMostMasksPerHatch; ++m) {
            const Mask* mask = &masks_[*m];
            if (mask > last) break;
            if (seen_[*m] == query_) continue;
            seen_[*m] = query_;
            if (!Overlaps(mask->box, box)) continue;
            over.push_back(mask);
            ++found;
        }
        if (over.size() >= kMostMasksPerHatch) {
            std::sort(over.begin(), over.end());
            over.resize(kMostMasksPerHatch);
            last = over.back();
        }
    };
    consider(large_);
    int c0 = 0, r0 = 0, c1 = 0, r1 = 0;
    CellsOf(box, c0, r0, c1, r1);
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c)
            consider(cells_[size_t(r) * columns_ + c]);
    }
    if (over.empty()) return true;
    std::sort(over.begin(), over.end());
    std::vector<HatchPiece> kept;
    kept.reserve(pieces.size());
    for (const HatchPiece& piece : pieces) {
        if (!Keep(piece, over, kept, work)) return false;
    }
    pieces = std::move(kept);
    return true;
}

bool HatchMasks::Keep(const HatchPiece& piece, std::span<const Mask* const> over,
                      std::vector<HatchPiece>& kept, WorkBudget& work) {
    const KqRect2 reach = Normalised({piece.from.x, piece.from.y, piece.to.x, piece.to.y});
    covered_.clear();
    for (const Mask* mask : over) {
        // A unit for the box, and one for each edge that Cover crosses.
        const bool reaches = Overlaps(mask->box, reach);
        if (!work.Charge(1 + (reaches ? mask->polygon.size() : 0))) return false;
        if (!reaches) continue;
        Cover(*mask, piece, covered_);
        if (!covered_.empty() && covered_.back() == std::pair(0.0, 1.0)) return true; // hidden
    }
    if (covered_.empty()) {
        kept.push_back(piece); // kept whole, with its exact ends
        return true;
    }
    if (piece.from.x == piece.to.x && piece.from.y == piece.to.y) return true; // a dot under a mask
    const KqPoint2 d{piece.to.x - piece.from.x, piece.to.y - piece.from.y};
    const auto keep = [&](double t0, double t1) {
        const auto at = [&](double t) {
            return t == 0   ? piece.from
                   : t == 1 ? piece.to
                            : KqPoint2{piece.from.x + t * d.x, piece.from.y + t * d.y};
        };
        const HatchPiece part{at(t0), at(t1)};
        if (std::hypot(part.to.x - part.from.x, part.to.y - part.from.y) > kHatchSliver) {
            kept.push_back(part);
        }
    };
    // What the union of the covered stretches leaves.
    std::sort(covered_.begin(), covered_.end());
    double t = 0;
    for (const auto& [from, to] : covered_) {
        if (from > t) keep(t, from);
        t = std::max(t, to);
    }
    if (t < 1) keep(t, 1);
    return true;
}

void HatchMasks::Cover(const Mask& mask, const HatchPiece& piece,
                       std::vector<std::pair<double, double>>& covered) {
    const KqPoint2& a = piece.from;
    const KqPoint2 d{piece.to.x - a.x, piece.to.y - a.y};
    const bool dot = d.x == 0 && d.y == 0;
    if (mask.rectangle) {
        // Liang-Barsky: the stretch of the piece within the box.
        double t0 = 0, t1 = 1;
        const std::pair<double, double> sides[] = {{-d.x, a.x - mask.box.x1},
                                                   {d.x, mask.box.x2 - a.x},
                                                   {-d.y, a.y - mask.box.y1},
                                                   {d.y, mask.box.y2 - a.y}};
        for (const auto& [p, q] : sides) {
            if (p == 0) {
                if (q < 0) return;
                continue;
            }
            const double r = q / p;
            if (p < 0) {
                t0 = std::max(t0, r);
            } else {
                t1 = std::min(t1, r);
            }
        }
        if (dot || t1 > t0) covered.emplace_back(dot ? 0 : t0, dot ? 1 : t1);
        return;
    }
    const auto inside = [&mask](const KqPoint2& p) {
        return mask.polygon.empty() ? Inside(mask.circle, p) : InsideEvenOdd(mask.polygon, p);
    };
    if (dot) {
        if (inside(a)) covered.emplace_back(0, 1);
        return;
    }
    crossings_.assign({0.0, 1.0});
    if (mask.polygon.empty()) {
        Crossings(mask.circle, a, d, crossings_);
    } else {
        Crossings(mask.polygon, a, d, crossings_);
    }
    std::sort(crossings_.begin(), crossings_.end());
    for (size_t i = 0; i + 1 < crossings_.size(); ++i) {
        const double t0 = crossings_[i], t1 = crossings_[i + 1];
        const double t = (t0 + t1) / 2;
        if (t1 > t0 && inside({a.x + t * d.x, a.y + t * d.y})) covered.emplace_back(t0, t1);
    }
}

} // namespace cadlib

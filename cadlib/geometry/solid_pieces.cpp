#include "cadlib/geometry/solid_pieces.h"

#include "cadlib/geometry/extents.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

namespace cadlib {

namespace {

// Bands thinner than this share of the polygon's size are what rounding
// leaves between heights that are one, such as a circle's mirrored vertices:
// pieces there would only double the count.
constexpr double kThinnestBand = 1e-12;

// An edge from its lower end to its higher; never horizontal, as a
// horizontal edge bounds no band's inside.
struct Edge {
    KqPoint2 low, high;

    // Its x at height `y`: exactly an end's at that end's height.
    double X(double y) const {
        if (y <= low.y) return low.x;
        if (y >= high.y) return high.x;
        return low.x + (y - low.y) * (high.x - low.x) / (high.y - low.y);
    }
};

// Where the edge `left` and its right neighbour `right` cross.
struct Crossing {
    double y;
    uint32_t left, right;

    bool operator>(const Crossing& other) const { return y > other.y; }
};

// Sweeps the bands from the bottom up, keeping the edges that span the
// current band in their order from left to right.
class Cutter {
  public:
    Cutter(std::span<const KqPoint2> polygon, WorkBudget& budget) : budget_(budget) {
        for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
            KqPoint2 a = polygon[j], b = polygon[i];
            if (!(std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(b.x) &&
                  std::isfinite(b.y)) ||
                a.y == b.y) {
                continue;
            }
            if (a.y > b.y) std::swap(a, b);
            edges_.push_back({a, b});
            heights_.push_back(a.y);
            heights_.push_back(b.y);
        }
        std::sort(edges_.begin(), edges_.end(),
                  [](const Edge& a, const Edge& b) { return a.low.y < b.low.y; });
        std::sort(heights_.begin(), heights_.end());
        heights_.erase(std::unique(heights_.begin(), heights_.end()), heights_.end());
        position_.resize(edges_.size());
        const KqRect2 box = BoxOf(polygon);
        thinnest_ = kThinnestBand * std::max(box.x2 - box.x1, box.y2 - box.y1);
    }

    bool Cut() {
        for (size_t k = 0; k + 1 < heights_.size(); ++k) {
            if (!Band(heights_[k], heights_[k + 1])) return false;
        }
        return true;
    }

    std::vector<SolidPiece> Pieces() && { return std::move(pieces_); }

  private:
    // The band between two neighbouring vertex heights: the edges spanning
    // it, ordered at its bottom, swapped pair by pair where they cross.
    bool Band(double bottom, double top) {
        std::erase_if(active_, [&](uint32_t e) { return edges_[e].high.y <= bottom; });
        for (; next_ < edges_.size() && edges_[next_].low.y <= bottom; ++next_)
            active_.push_back(static_cast<uint32_t>(next_));
        // Edges that start together are ordered by where they go.
        std::sort(active_.begin(), active_.end(), [&](uint32_t a, uint32_t b) {
            const double aBottom = edges_[a].X(bottom), bBottom = edges_[b].X(bottom);
            return aBottom != bBottom ? aBottom < bBottom : edges_[a].X(top) < edges_[b].X(top);
        });
        for (size_t at = 0; at < active_.size(); ++at)
            position_[active_[at]] = static_cast<uint32_t>(at);
        crossings_.clear();
        for (size_t at = 0; at + 1 < active_.size(); ++at)
            Watch(at, bottom, top);
        double below = bottom; // the height up to which the pieces are made
        while (!crossings_.empty()) {
            std::pop_heap(crossings_.begin(), crossings_.end(), std::greater<>());
            const Crossing crossing = crossings_.back();
            crossings_.pop_back();
            const uint32_t at = position_[crossing.left];
            // Neighbours no more: another crossing came between them first.
            if (position_[crossing.right] != at + 1) continue;
            if (!budget_.Charge()) return false;
            if (crossing.y > below) {
                if (!Pieces(below, crossing.y)) return false;
                below = crossing.y;
            }
            std::swap(active_[at], active_[at + 1]);
            position_[active_[at]] = at;
            position_[active_[at + 1]] = at + 1;
            if (at > 0) Watch(at - 1, bottom, top);
            if (at + 2 < active_.size()) Watch(at + 1, bottom, top);
        }
        return Pieces(below, top);
    }

    // Queues the crossing of the edge at `at` and its right neighbour when
    // they swap places below the band's top. Two straight edges cross once,
    // so a pair swapped never swaps back and the sweep ends.
    void Watch(size_t at, double bottom, double top) {
        const Edge& left = edges_[active_[at]];
        const Edge& right = edges_[active_[at + 1]];
        const double gapBottom = right.X(bottom) - left.X(bottom);
        const double gapTop = right.X(top) - left.X(top);
        if (!(gapTop < 0)) return;
        // A pair found out of order at the bottom (rounding) swaps at once.
        const double share = std::clamp(gapBottom / (gapBottom - gapTop), 0.0, 1.0);
        const double y = bottom + share * (top - bottom);
        if (y >= top) return; // the next band orders them anew
        crossings_.push_back({y, active_[at], active_[at + 1]});
        std::push_heap(crossings_.begin(), crossings_.end(), std::greater<>());
    }

    // The pieces between the heights `bottom` and `top`, which no crossing
    // or vertex lies between: one between each odd edge and the next.
    bool Pieces(double bottom, double top) {
        if (!budget_.Charge(active_.size())) return false;
        if (top - bottom <= thinnest_) return true;
        for (size_t at = 0; at + 1 < active_.size(); at += 2) {
            const Edge& left = edges_[active_[at]];
            const Edge& right = edges_[active_[at + 1]];
            SolidPiece piece{bottom,          top,         left.X(bottom),
                             right.X(bottom), left.X(top), right.X(top)};
            // Rounding at a crossing's height may leave a side a hair inside out.
            for (auto [l, r] : {std::pair{&piece.bottomLeft, &piece.bottomRight},
                                std::pair{&piece.topLeft, &piece.topRight}}) {
                if (*r < *l) *l = *r = *l + (*r - *l) / 2;
            }
            if (piece.bottomLeft == piece.bottomRight && piece.topLeft == piece.topRight) {
                continue;
            }
            pieces_.push_back(piece);
        }
        return true;
    }

    WorkBudget& budget_;
    std::vector<Edge> edges_;         // by their lower ends' heights
    std::vector<double> heights_;     // of the vertices, ascending, each once
    double thinnest_ = 0;             // the thickest band that makes no pieces
    size_t next_ = 0;                 // the first edge not yet spanning a band
    std::vector<uint32_t> active_;    // the edges spanning the band, left to right
    std::vector<uint32_t> position_;  // in active_, by edge
    std::vector<Crossing> crossings_; // a heap, lowest first
    std::vector<SolidPiece> pieces_;
};

} // namespace

size_t SolidPiece::Corners(KqPoint2 (&corners)[4]) const {
    if (bottomLeft == bottomRight) {
        corners[0] = {bottomLeft, bottom};
        corners[1] = {topRight, top};
        corners[2] = {topLeft, top};
        return 3;
    }
    corners[0] = {bottomLeft, bottom};
    corners[1] = {bottomRight, bottom};
    if (topLeft == topRight) {
        corners[2] = {topLeft, top};
        return 3;
    }
    corners[2] = {topRight, top};
    corners[3] = {topLeft, top};
    return 4;
}

std::optional<std::vector<SolidPiece>> SolidPieces(std::span<const KqPoint2> polygon,
                                                   WorkBudget& budget) {
    if (polygon.size() < 3) return std::vector<SolidPiece>{};
    Cutter cutter(polygon, budget);
    if (!cutter.Cut()) return std::nullopt;
    return std::move(cutter).Pieces();
}

} // namespace cadlib

#include "cadlib/display/extent_index.h"

#include "cadlib/geometry/extents.h"

#include <algorithm>
#include <cmath>

namespace cadlib {

namespace {

// About this many entities to a cell, and no more cells than this a side.
constexpr double kEntitiesPerCell = 8;
constexpr int kMostCellsASide = 1024;
// An entity over more cells than this is kept aside and looked at every time.
constexpr long kMostCellsAnEntity = 64;

bool Finite(const KqRect2& box) {
    return std::isfinite(box.x1) && std::isfinite(box.y1) && std::isfinite(box.x2) &&
           std::isfinite(box.y2);
}

// The cell `offset` falls in along a side of `count` cells of `size`: clamped
// before it becomes an int, so that a coordinate far outside cannot overflow.
int CellAlong(double offset, double size, int count) {
    return static_cast<int>(std::clamp(std::floor(offset / size), 0.0, count - 1.0));
}

} // namespace

void ExtentIndex::File() {
    extent_ = kNowhere;
    size_t finite = 0;
    for (const KqRect2& box : boxes_) {
        if (!Finite(box)) continue; // an entity with nothing to draw is never found
        ++finite;
        extent_ = Joined(extent_, box);
    }
    if (finite == 0) return;
    const int side =
        std::clamp(static_cast<int>(std::sqrt(finite / kEntitiesPerCell)), 1, kMostCellsASide);
    columns_ = rows_ = side;
    // A drawing of one line or one point still has cells of some size.
    cellWidth_ = std::max((extent_.x2 - extent_.x1) / columns_, 1e-9);
    cellHeight_ = std::max((extent_.y2 - extent_.y1) / rows_, 1e-9);

    const auto cellsOf = [this](const KqRect2& box, int& c1, int& r1, int& c2, int& r2) {
        c1 = CellAlong(box.x1 - extent_.x1, cellWidth_, columns_);
        c2 = CellAlong(box.x2 - extent_.x1, cellWidth_, columns_);
        r1 = CellAlong(box.y1 - extent_.y1, cellHeight_, rows_);
        r2 = CellAlong(box.y2 - extent_.y1, cellHeight_, rows_);
    };
    // Counted first, then filed: one array for every cell's positions.
    std::vector<uint32_t> count(static_cast<size_t>(columns_) * rows_ + 1, 0);
    const auto visit = [&](auto each) {
        for (uint32_t position = 0; position < boxes_.size(); ++position) {
            const KqRect2& box = boxes_[position];
            if (!Finite(box)) continue;
            int c1, r1, c2, r2;
            cellsOf(box, c1, r1, c2, r2);
            if (static_cast<long>(c2 - c1 + 1) * (r2 - r1 + 1) > kMostCellsAnEntity) {
                each(position, -1);
                continue;
            }
            for (int r = r1; r <= r2; ++r) {
                for (int c = c1; c <= c2; ++c)
                    each(position, r * columns_ + c);
            }
        }
    };
    visit([&](uint32_t, int cell) {
        if (cell >= 0) ++count[cell + 1];
    });
    for (size_t c = 1; c < count.size(); ++c)
        count[c] += count[c - 1];
    cellStart_ = count;
    filed_.resize(count.back());
    visit([&](uint32_t position, int cell) {
        if (cell < 0) {
            wide_.push_back(position);
        } else {
            filed_[count[cell]++] = position;
        }
    });
}

void ExtentIndex::Find(const KqRect2& window, double margin, std::vector<uint8_t>& marks) const {
    marks.assign(boxes_.size(), 0);
    if (columns_ == 0) return;
    const KqRect2 wanted = Grown(window, margin);
    const auto test = [&](uint32_t position) {
        if (!marks[position] && Overlaps(boxes_[position], wanted)) marks[position] = 1;
    };
    if (!Finite(wanted)) { // no window to speak of: every entity is looked at
        for (uint32_t position = 0; position < boxes_.size(); ++position)
            test(position);
        return;
    }
    if (Contains(wanted, extent_)) { // the whole drawing in view: every entity with a place
        for (uint32_t position = 0; position < boxes_.size(); ++position)
            marks[position] = Finite(boxes_[position]) ? 1 : 0;
        return;
    }
    for (uint32_t position : wide_)
        test(position);
    if (!Overlaps(extent_, wanted)) return;
    const int c1 = CellAlong(wanted.x1 - extent_.x1, cellWidth_, columns_);
    const int c2 = CellAlong(wanted.x2 - extent_.x1, cellWidth_, columns_);
    const int r1 = CellAlong(wanted.y1 - extent_.y1, cellHeight_, rows_);
    const int r2 = CellAlong(wanted.y2 - extent_.y1, cellHeight_, rows_);
    for (int r = r1; r <= r2; ++r) {
        for (int c = c1; c <= c2; ++c) {
            const size_t cell = static_cast<size_t>(r) * columns_ + c;
            for (uint32_t i = cellStart_[cell]; i < cellStart_[cell + 1]; ++i)
                test(filed_[i]);
        }
    }
}

} // namespace cadlib

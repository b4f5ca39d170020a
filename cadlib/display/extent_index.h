// Where each entity of a drawing lies, found without looking at them all: the
// boxes of the listed entities in drawing order, filed in a grid of cells
// over the drawing. A drawing pass asks it which entities meet the view, so
// a zoomed view pays for what it shows and not for the whole drawing. Built
// once per drawing and built again when the drawing changes. Only cadlib/
// sources include this header.
#pragma once

#include "cadlib/database.h"

#include <cstdint>
#include <vector>

namespace cadlib {

class ExtentIndex {
  public:
    // Files the listed entities of `area`; `bounds` gives an entity's box.
    template <typename Bounds>
    ExtentIndex(const DataArea& area, Bounds bounds);

    // Whether the index still describes `area` as it is.
    bool Describes(const DataArea& area) const { return revision_ == area.revision; }

    // Sets marks[p] (one per drawing-order position, resized to fit) for the
    // entities whose box, grown by `margin`, meets `window`; clears the rest.
    void Find(const KqRect2& window, double margin, std::vector<uint8_t>& marks) const;

    // The box of the entity at drawing-order position `position`.
    const KqRect2& Box(size_t position) const { return boxes_[position]; }
    // The widest pen of any listed entity (pen-width units).
    int32_t WidestPen() const { return widestPen_; }

  private:
    void File(); // fills the grid from boxes_

    uint64_t revision_ = 0;
    std::vector<KqRect2> boxes_; // by drawing-order position
    int32_t widestPen_ = 0;
    KqRect2 extent_{};           // of every finite box
    int columns_ = 0, rows_ = 0; // 0: nothing to file
    double cellWidth_ = 1, cellHeight_ = 1;
    std::vector<uint32_t> cellStart_; // positions of cell c: filed_[cellStart_[c], cellStart_[c+1])
    std::vector<uint32_t> filed_;
    std::vector<uint32_t> wide_; // entities spread over too many cells to file in each
};

template <typename Bounds>
ExtentIndex::ExtentIndex(const DataArea& area, Bounds bounds) : revision_(area.revision) {
    boxes_.reserve(area.order.size());
    for (uint32_t index : area.order) {
        const Entity& entity = area.entities[index];
        boxes_.push_back(bounds(entity));
        widestPen_ = std::max(widestPen_, entity.penWidth);
    }
    File();
}

} // namespace cadlib

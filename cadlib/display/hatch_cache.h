// Hatch lines kept from one drawing pass to the next. The lines of an area
// that lies wholly in view do not depend on the view (only an area cut by
// the view's edge is cut again), so once made they serve every redraw, pan
// and zoom that shows the whole area. Made for one state of a drawing and
// dropped when it changes; bounded, so a huge drawing makes the rest anew on
// every pass. Only cadlib/ sources include this header.
#pragma once

#include "cadlib/database.h"
#include "cadlib/geometry/hatch.h"

#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace cadlib {

class HatchLineCache {
  public:
    explicit HatchLineCache(const DataArea& area) : revision_(area.revision) {}

    // Whether the store still belongs to `area` as it is.
    bool Describes(const DataArea& area) const { return revision_ == area.revision; }

    // The lines of entity `entity` (its index in the data area), made by
    // `make` the first time; nullptr when the store is full and had none.
    template <typename Make>
    const HatchCut* Lines(uint32_t entity, Make make) {
        const auto found = lines_.find(entity);
        if (found != lines_.end()) return &found->second;
        if (pieces_ >= kMostPiecesKept) return nullptr;
        HatchCut& made = lines_[entity];
        made = make();
        pieces_ += made.pieces.size();
        return &made;
    }

    // The hatches drawn as a tone since the drawing was last changed: those
    // whose lines, in any view, passed the bound on one hatch's work or what
    // was left of their pass's.
    void MarkToned(uint32_t entity) { toned_.insert(entity); }
    size_t Toned() const { return toned_.size(); }
    // The hatches drawn since then without a line of their pattern whose
    // numbers could not be counted (a base point of 1e15, say).
    void MarkLinesLeftOut(uint32_t entity) { linesLeftOut_.insert(entity); }
    size_t WithLinesLeftOut() const { return linesLeftOut_.size(); }

  private:
    // About 32 MB of pieces.
    static constexpr size_t kMostPiecesKept = size_t{1} << 20;

    uint64_t revision_;
    std::unordered_map<uint32_t, HatchCut> lines_;
    size_t pieces_ = 0;
    std::unordered_set<uint32_t> toned_;
    std::unordered_set<uint32_t> linesLeftOut_;
};

} // namespace cadlib

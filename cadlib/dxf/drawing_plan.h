// What a drawing becomes in a DXF file, decided once before anything is
// written: the records each entity becomes (its plan, PlanEntity, and the
// forms of its fill and its pattern hatch, as the target holds them) and
// the layer of each, where each text starts, the extents, the pattern names,
// the LAYER table, the blocks of lines the line form writes, and what could
// not be written as the drawing asks or is likely wrong (the notices). The
// writer numbers the handles and writes the sections from it.
#pragma once

#include "cadlib/database.h"
#include "cadlib/geometry/entity_plan.h"
#include "cadlib/geometry/extents.h"
#include "cadlib/geometry/hatch.h"
#include "cadlib/geometry/hatch_masks.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace cadlib {

// How a pattern hatch is written: left out, as a HATCH entity, or as the
// INSERT of a block of its lines.
enum class PatternForm : uint8_t { None, Entity, Lines };

// How a solid fill is written: left out, as a solid HATCH over the area, or,
// where the version has no HATCH, as one SOLID per convex piece of the area
// (solid_pieces.h).
enum class SolidForm : uint8_t { None, Hatch, Pieces };

// How the drawing's polylines are written: LWPOLYLINE, or where the version
// lacks it POLYLINE, a VERTEX per point and SEQEND.
enum class PolylineForm : uint8_t { Light, Heavy };

// The records one entity becomes: its own line, a solid fill of its area
// (FillAreaOf) in a form, and its pattern hatch in a form. What its
// EntityPlan decided, kept in three bytes rather than the plan's forty: a
// million entities' plans would add a third to the converter's memory, and
// the area they refer to is found again at no cost.
struct EntityForms {
    bool outline = false;
    SolidForm solid = SolidForm::None;
    PatternForm pattern = PatternForm::None;
};

// The records an entity may become, each on a layer of its own when the
// layers are by kind.
enum class EntityRecord : uint8_t { Outline, Solid, Pattern };

// A record of the LAYER table.
struct PlannedLayer {
    std::string name;
    int32_t colour; // a palette index; the ink for the layers by kind
};

// A pattern hatch of the line form: the block of the pieces its pattern is
// cut into, for the entity at `position` in the drawing's order.
struct LineBlock {
    uint32_t position;
    uint64_t pieceCount;
};

class DrawingPlan {
  public:
    // Plans `area` as `screen` shows it, for the screen's DXF target: its
    // palette tells which solid areas hide the pattern lines under them, its
    // hatch form how patterns are written.
    DrawingPlan(const Screen& screen, const DataArea& area);

    const EntityForms& Forms(uint32_t position) const { return forms_[position]; }
    PolylineForm Polylines() const { return polylines_; }
    // The points a polyline entity is written with, in either form: a closed
    // one's without a last point that repeats the first (the closed flag
    // draws that edge), an open one's every point.
    std::span<const KqPoint2> PolylinePoints(const Entity& entity) const;
    // Whether entities carry their line-type scale (48). R12 lacks it: there
    // each line type's table record is scaled by the scale its first entity
    // has (a line type of the drawing is drawn at one scale), LineTypeScale.
    bool LineTypeScales() const { return target_.Structured(); }
    double LineTypeScale(size_t lineType) const {
        return lineType < lineTypeScales_.size() ? lineTypeScales_[lineType] : 1.0;
    }
    // The name of the layer `record` of the entity at `position` goes on.
    const std::string& LayerOf(uint32_t position, EntityRecord record) const;
    // Every layer of the LAYER table: the drawing's own (0 first) and, by
    // kind, those of the kinds and patterns the records use, by name.
    const std::vector<PlannedLayer>& Layers() const { return layers_; }
    // The start of the baseline of the drawing's `k`th text, in the drawing's order.
    const KqPoint3& TextStart(size_t k) const { return textStarts_[k]; }
    // Of every entity as the file places it; the page when there is none.
    const SpaceBox& Extents() const { return extents_; }
    // How many entity records the entities become, blocks' contents aside.
    uint64_t EntityRecords() const { return entityRecords_; }
    // In the drawing's order.
    const std::vector<LineBlock>& Blocks() const { return blocks_; }
    // The pieces of `block`, cut again: keeping them from the planning would
    // hold all the drawing's pieces at once, several times the drawing. Raises
    // error 51 (internal error) when they are not as many as when planned,
    // in every build: the file's handles were numbered for those.
    std::vector<HatchPiece> Pieces(const LineBlock& block);
    // The pieces of the solid fill of the entity at `position`, of the
    // Pieces form, cut again for the same reason. Raises error 51 when they
    // cannot be, as they were when planned.
    std::vector<SolidPiece> SolidPieces(uint32_t position) const;
    // The name an attachment's pattern is written under.
    const std::string& PatternName(const HatchAttachment& hatch) const {
        return patternNames_[&hatch - area_.hatches.data()];
    }
    // What the drawing asked for and the file does not have, and what is
    // likely wrong with the drawing, by line: the first kMostWarningsTold;
    // Untold() counts the others.
    std::vector<DxfNotice> TakeNotices();
    uint64_t Untold() const { return untold_; }

  private:
    void NamePatterns();
    void PlanEntities(const Screen& screen);
    // The records the entity's own line becomes.
    uint64_t OutlineRecords(const Entity& entity) const;
    SolidForm PlanSolid(uint32_t position, const FillArea& area);
    PatternForm PlanPattern(uint32_t position);
    void PlanLayers();
    // The layers by kind other than the patterns': of texts, lines, outlines
    // and solid fills.
    enum class FixedLayer : uint8_t { Text, Line, Outline, Fill };
    static constexpr size_t kFixedLayers = 4;
    FixedLayer OutlineLayer(const Entity& entity) const;
    // The index in layers_ of the layer of `record` of `entity`.
    uint32_t LayerIndex(const Entity& entity, EntityRecord record) const;
    HatchCut LinesOf(uint32_t position, size_t cutWork, uint64_t allWork);
    // Keeps a notice about the entity at `position`, or about line `line`.
    void Tell(uint32_t position, platform::Warning warning);
    void Keep(uint32_t line, platform::Warning warning);
    // The command-file line the hatch of the entity at `position` was attached on; 0 if none.
    uint32_t SourceLine(uint32_t position) const;

    const DataArea& area_;
    const DxfTarget target_;
    // Pattern hatches as blocks of lines: asked for, or the only form the
    // target holds.
    const bool hatchLines_;
    const PolylineForm polylines_;
    std::vector<EntityForms> forms_; // by position in the drawing's order
    std::vector<KqPoint3> textStarts_;
    std::vector<double> lineTypeScales_; // by line type, where entities carry none
    SpaceBox extents_;
    uint64_t entityRecords_ = 0;
    std::vector<std::string> patternNames_; // by DataArea::hatches index
    std::vector<PlannedLayer> layers_;
    // By kind: the indexes in layers_ of the fixed layers, and of each
    // pattern's layer by DataArea::hatches index. An entity's layers are found
    // again from its kind rather than kept, as its forms are kept in three bytes.
    std::array<uint32_t, kFixedLayers> fixedLayers_{};
    std::vector<uint32_t> patternLayers_;
    HatchMasks masks_; // the line form's
    std::vector<LineBlock> blocks_;
    // What the drawing's pattern hatches may still become as lines; the work
    // cutting them may still take.
    uint64_t linesLeft_ = 0;
    WorkBudget work_{DrawingWork()};
    // What cutting the drawing's solid fills into pieces may still take.
    WorkBudget fillWork_{DrawingWork()};
    std::vector<DxfNotice> notices_;
    uint64_t untold_ = 0; // notices beyond the ones kept
};

} // namespace cadlib

// What a drawing becomes in a DXF file, decided once before anything is
// written: the records each entity becomes (its plan, PlanEntity, and the
// form of its pattern hatch), where each text starts, the extents, the
// pattern names, the blocks of lines the line form writes, and what could
// not be written as the drawing asks or is likely wrong (the notices). The writer numbers the
// handles and writes the sections from it.
#pragma once

#include "cadlib/database.h"
#include "cadlib/geometry/extents.h"
#include "cadlib/geometry/hatch.h"
#include "cadlib/geometry/hatch_masks.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cadlib {

// How a pattern hatch is written: left out, as a HATCH entity, or as the
// INSERT of a block of its lines.
enum class PatternForm : uint8_t { None, Entity, Lines };

// The records one entity becomes: its own line, a solid HATCH over its area
// (FillAreaOf), and its pattern hatch in a form. What its EntityPlan decided,
// kept in three bytes rather than the plan's forty: a million entities'
// plans would add a third to the converter's memory, and the area they
// refer to is found again at no cost.
struct EntityForms {
    bool outline = false;
    bool solid = false;
    PatternForm pattern = PatternForm::None;
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
    PatternForm PlanPattern(uint32_t position);
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
    std::vector<EntityForms> forms_; // by position in the drawing's order
    std::vector<KqPoint3> textStarts_;
    SpaceBox extents_;
    uint64_t entityRecords_ = 0;
    std::vector<std::string> patternNames_; // by DataArea::hatches index
    HatchMasks masks_;                      // the line form's
    std::vector<LineBlock> blocks_;
    // What the drawing's pattern hatches may still become as lines; the work
    // cutting them may still take.
    uint64_t linesLeft_ = 0;
    WorkBudget work_{DrawingWork()};
    std::vector<DxfNotice> notices_;
    uint64_t untold_ = 0; // notices beyond the ones kept
};

} // namespace cadlib

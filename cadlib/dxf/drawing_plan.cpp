#include "cadlib/dxf/drawing_plan.h"

#include "cadlib/dxf/stream.h"
#include "cadlib/fill_line.h"
#include "cadlib/geometry/entity_plan.h"
#include "cadlib/geometry/extents.h"
#include "cadlib/geometry/text_frame.h"
#include "cadlib/kq.h"
#include "cadlib/testing.h"
#include "platform/runtime_error.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace cadlib {

namespace {

// A fill-line family may repeat at most this often across its boundary, and
// its dash sequence at most this often along one line: denser patterns make
// readers refuse the hatch ("hatch scale too small") or stall generating it.
constexpr double kMaxPatternRepeats = 1e5;

// The lines all the pattern hatches of a drawing may become: four hatches at
// their bound, four million lines, about 760 MB of DXF written in about three
// seconds, whatever the command file holds (the generated million-line log,
// 2,500 pages in one drawing, would make 6.8 million). A hatch that would pass
// it keeps its HATCH entity. The work of cutting them is bounded apart, by
// the drawing's budget (DrawingWork).
uint64_t MostHatchLines() {
    return 4 * uint64_t{MaxHatchWork()};
}

// cadlib::testing::CutOnePieceFewerWhenWritten.
bool cutOnePieceFewer = false;

// False when a line of the pattern is too dense for an outline of `extent`.
bool PatternFits(std::span<const KqFillLine> lines, double extent) {
    if (lines.empty()) return false;
    for (const KqFillLine& record : lines) {
        const FillLineValues line = ReadFillLine(record);
        if (!line.finite) return false;
        const double scale = std::fabs(line.scale);
        if (!(std::fabs(line.offsetAcross) * scale * kMaxPatternRepeats > extent)) return false;
        if (line.dashCount > 0 && !(line.Period() * scale * kMaxPatternRepeats > extent)) {
            return false;
        }
    }
    return true;
}

// Less of the drawing's extents on the page than this is told: a drawing
// meant for the page that lies mostly off it was most likely placed wrong
// (a unit, an origin), while one that only runs over a margin is not.
constexpr double kLeastShareOnPage = 0.5;

// The share of [low, high] within [pageLow, pageHigh]: of its length, or for
// a point, 1 when it is within.
double ShareWithin(double low, double high, double pageLow, double pageHigh) {
    const double within = std::min(high, pageHigh) - std::max(low, pageLow);
    if (high > low) return std::max(0.0, within) / (high - low);
    return within >= 0 ? 1.0 : 0.0;
}

// The share of the box of `extents` that lies on `page`: of its area, or of
// its length for a box of no height or width.
double ShareOnPage(const SpaceBox& extents, const KqRect2& page) {
    return ShareWithin(extents.min[0], extents.max[0], page.x1, page.x2) *
           ShareWithin(extents.min[1], extents.max[1], page.y1, page.y2);
}

// A name for a user-defined pattern that came without one, the same for the
// same fill lines.
std::string HashedPatternName(uint32_t hash) {
    std::string name = "KQ_00000000";
    for (size_t i = name.size(); i-- > 3; hash >>= 4)
        name[i] = "0123456789ABCDEF"[hash & 0xF];
    return name;
}

// Whether `colour` paints white or black, which hides what lies under it on
// the page as on the screen.
bool Opaque(const std::array<KqColour, kPaletteSize>& palette, int32_t colour) {
    const KqColour& c = palette[colour >= 1 && colour < kPaletteSize ? colour : 0];
    const auto all = [&c](float level) {
        return c.red == level && c.green == level && c.blue == level;
    };
    return all(1.0f) || all(0.0f);
}

} // namespace

DrawingPlan::DrawingPlan(const Screen& screen, const DataArea& area)
    : area_(area), target_(screen.dxfTarget),
      hatchLines_(screen.dxfHatchForm == KQ_DXF_HATCH_LINES || !target_.Hatches()) {
    NamePatterns();
    PlanEntities(screen);
}

// Every attachment's pattern name as written: the name the caller gave (else
// one made from the lines), made unique, so that two different line sets
// never share a name in one drawing.
void DrawingPlan::NamePatterns() {
    std::map<std::string, uint32_t> owners; // name -> the attachment that has it
    for (size_t i = 0; i < area_.hatches.size(); ++i) {
        const HatchAttachment& hatch = area_.hatches[i];
        const std::string base =
            hatch.name.empty() ? HashedPatternName(hatch.linesHash) : CleanName(hatch.name);
        std::string name = base;
        for (int k = 2;; ++k) {
            const auto [owner, added] = owners.emplace(name, static_cast<uint32_t>(i));
            if (added || SameFillLines(FillLinesOf(area_, area_.hatches[owner->second]),
                                       FillLinesOf(area_, hatch))) {
                break;
            }
            name = base + "_" + std::to_string(k);
        }
        patternNames_.push_back(std::move(name));
    }
}

// Each entity is planned once. Its pattern is planned once every solid area
// is known that may hide some of its lines: those drawn after it.
void DrawingPlan::PlanEntities(const Screen& screen) {
    const StyleFaces faces(area_);
    forms_.reserve(area_.order.size());
    textStarts_.reserve(area_.texts.size());
    std::vector<uint32_t> patterned; // positions
    for (uint32_t position = 0; position < area_.order.size(); ++position) {
        const Entity& entity = area_.entities[area_.order[position]];
        const EntityPlan plan = PlanEntity(area_, entity);
        forms_.push_back({plan.outline, plan.solid, PatternForm::None});
        entityRecords_ += uint64_t{plan.outline} + plan.solid;
        if (plan.pattern) patterned.push_back(position);
        if (entity.kind == EntityKind::Text) {
            const TextFrame frame = faces.FrameOf(area_, area_.texts[entity.geometry]);
            AddTextExtents(extents_, frame);
            textStarts_.push_back(frame.Start());
        } else {
            AddExactExtents(extents_, area_, faces, entity);
        }
        // The solid areas painted in white or black hide, on screen, the
        // pattern lines drawn before them, and so they do in the line form.
        if (hatchLines_ && plan.solid && Opaque(screen.palette, entity.colour)) {
            if (plan.area.circle) {
                masks_.AddCircle(position, plan.area.AsHatchCircle());
            } else {
                masks_.AddPolygon(position, plan.area.polygon);
            }
        }
    }
    const KqRect2 page = Normalised(screen.paper);
    const bool drawn = !extents_.Empty();
    if (!drawn) {
        extents_.Add(page.x1, page.y1, 0);
        extents_.Add(page.x2, page.y2, 0);
    }
    blocks_.reserve(hatchLines_ ? patterned.size() : 0);
    linesLeft_ = MostHatchLines();
    for (const uint32_t position : patterned) {
        const PatternForm form = PlanPattern(position);
        forms_[position].pattern = form;
        entityRecords_ += form != PatternForm::None;
    }
    // After the hatches', which name lines: the notices stay in line order.
    if (const double onPage = ShareOnPage(extents_, page); drawn && onPage < kLeastShareOnPage) {
        Keep(0, platform::OffPage(onPage, page.x2 - page.x1, page.y2 - page.y1));
    }
}

// How the pattern hatch of the entity at `position` is written; told when
// that is not as the drawing asks. The line form writes what the display
// draws, within the same bound on one hatch's work and the drawing's budget;
// so does the HATCH form for a pattern too dense for readers' HATCH entities.
// A hatch pays for its cut whether or not it is written.
PatternForm DrawingPlan::PlanPattern(uint32_t position) {
    const Entity& entity = area_.entities[area_.order[position]];
    const HatchAttachment& pattern = area_.hatches[entity.hatch];
    const std::string& name = PatternName(pattern);
    const bool fitsReaders =
        PatternFits(FillLinesOf(area_, pattern), FillAreaOf(area_, entity).Extent());
    const PatternForm asEntity = fitsReaders ? PatternForm::Entity : PatternForm::None;
    if (!hatchLines_ && fitsReaders) return asEntity;
    const uint64_t workBefore = work_.Left();
    const HatchCut cut = LinesOf(position, HatchWorkWithin(work_), workBefore);
    work_.Charge(cut.work);
    // The drawing's work, not the bound on one hatch, stopped it: it had less
    // than that bound left, or its masks took the rest.
    const bool drawingSpent =
        work_.Left() == 0 && (workBefore < MaxHatchWork() || cut.work > MaxHatchWork());
    for (const uint32_t family : cut.leftOut) {
        Tell(position, platform::HatchLineLeftOut(name, family + 1));
    }
    // Past the bound on one hatch, or on all the hatches of the drawing: on
    // the lines they make or on the work of cutting them.
    const bool tooDense = !fitsReaders;
    if (cut.pieces.size() > linesLeft_) {
        Tell(position, platform::HatchTooManyLines(name, MostHatchLines(), tooDense));
        return asEntity;
    }
    if (cut.overBound) {
        Tell(position,
             platform::HatchTooMuchWork(name, drawingSpent ? DrawingWork() : MaxHatchWork(),
                                        drawingSpent, tooDense));
        return asEntity;
    }
    if (cut.pieces.empty() && !fitsReaders) {
        if (cut.leftOut.empty())
            Tell(position, platform::HatchTooDense(name, "the hatch is left out"));
        return PatternForm::None;
    }
    if (!hatchLines_) {
        Tell(position,
             platform::HatchTooDense(name, "it is written as the lines the screen shows"));
    }
    const uint64_t pieces = cut.pieces.size();
    linesLeft_ -= pieces;
    blocks_.push_back({position, pieces});
    return PatternForm::Lines;
}

// The lines of the pattern hatch of the entity at `position` that the file
// shows: cut to its outline within `cutWork` (as the display cuts it), then
// out of the masks drawn after it, all within `allWork`; none, over its
// bound, when either is passed.
HatchCut DrawingPlan::LinesOf(uint32_t position, size_t cutWork, uint64_t allWork) {
    const Entity& entity = area_.entities[area_.order[position]];
    const FillArea fill = FillAreaOf(area_, entity);
    HatchCut cut =
        fill.Lines(FillLinesOf(area_, area_.hatches[entity.hatch]), kEverywhere, cutWork);
    WorkBudget masking(allWork - cut.work);
    if (!masks_.CutAway(position, fill.Bounds(), cut.pieces, masking)) {
        cut.pieces = {};
        cut.overBound = true;
        cut.leftOut.clear();
    }
    cut.work += masking.Used();
    return cut;
}

std::vector<HatchPiece> DrawingPlan::Pieces(const LineBlock& block) {
    std::vector<HatchPiece> pieces = LinesOf(block.position, MaxHatchWork(), UINT64_MAX).pieces;
    if (cutOnePieceFewer && !pieces.empty()) pieces.pop_back();
    // The handles were numbered for the pieces counted when planned: a file
    // whose handles do not match them would be corrupt, so none is written.
    if (pieces.size() != block.pieceCount) {
        const uint32_t line = SourceLine(block.position);
        platform::Raise(platform::kInternalError,
                        (line > 0 ? "the hatch attached on line " + std::to_string(line)
                                  : std::string("a hatch")) +
                            " was cut into " + std::to_string(pieces.size()) +
                            " lines to be written, not the " + std::to_string(block.pieceCount) +
                            " its handles were numbered for; the drawing is not written");
    }
    return pieces;
}

void DrawingPlan::Tell(uint32_t position, platform::Warning warning) {
    Keep(SourceLine(position), std::move(warning));
}

void DrawingPlan::Keep(uint32_t line, platform::Warning warning) {
    if (notices_.size() >= platform::kMostWarningsTold) {
        ++untold_;
        return;
    }
    notices_.push_back({line, std::move(warning)});
}

uint32_t DrawingPlan::SourceLine(uint32_t position) const {
    const auto line = area_.hatchSourceLines.find(area_.order[position]);
    return line == area_.hatchSourceLines.end() ? 0 : line->second;
}

std::vector<DxfNotice> DrawingPlan::TakeNotices() {
    return std::move(notices_);
}

} // namespace cadlib

namespace cadlib::testing {

void CutOnePieceFewerWhenWritten(bool fewer) {
    cutOnePieceFewer = fewer;
}

} // namespace cadlib::testing

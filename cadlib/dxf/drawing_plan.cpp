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
#include <iterator>
#include <map>
#include <set>
#include <string_view>

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

// The names of the layers by kind, by DrawingPlan::FixedLayer, and the
// start of the patterns'. They sort the fills first: KQ_FILL < KQ_HATCH_...
// < KQ_LINE < KQ_OUTLINE < KQ_TEXT. Web viewers such as dxf-viewer draw the
// layers in the order of their names, whatever the file's order, so every
// line, pattern, outline and text drawn after a fill shows over it.
constexpr std::string_view kFixedLayerNames[] = {"KQ_TEXT", "KQ_LINE", "KQ_OUTLINE", "KQ_FILL"};
constexpr std::string_view kPatternLayerStart = "KQ_HATCH_";

// The layer of a pattern: kPatternLayerStart and its name without the
// "KQ_" that the pattern module's and the hashed names begin with, cut to
// the longest name; its `copy`th name (2, 3...) ends in "_2", "_3"...
std::string PatternLayerName(std::string_view pattern, int copy) {
    if (pattern.starts_with("KQ_")) pattern.remove_prefix(3);
    const std::string number = copy > 1 ? std::to_string(copy) : "";
    const size_t room = kMaxStringBytes - kPatternLayerStart.size() - number.size() - 1;
    std::string name = std::string(kPatternLayerStart).append(pattern.substr(0, room));
    if (!number.empty()) name.append(1, '_').append(number);
    return name;
}

} // namespace

DrawingPlan::DrawingPlan(const Screen& screen, const DataArea& area)
    : area_(area), target_(screen.dxfTarget),
      hatchLines_(screen.dxfHatchForm == KQ_DXF_HATCH_LINES || !target_.Hatches()),
      polylines_(target_.LightPolylines() ? PolylineForm::Light : PolylineForm::Heavy) {
    NamePatterns();
    PlanEntities(screen);
    PlanLayers();
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
    int32_t widestPen = 0;
    if (!LineTypeScales()) lineTypeScales_.assign(area_.lineTypes.size(), NAN);
    for (uint32_t position = 0; position < area_.order.size(); ++position) {
        const Entity& entity = area_.entities[area_.order[position]];
        const EntityPlan plan = PlanEntity(area_, entity);
        const SolidForm solid = plan.solid ? PlanSolid(position, plan.area) : SolidForm::None;
        // A fill that cannot be written shows its outline at least.
        const bool outline = plan.outline || (plan.solid && solid == SolidForm::None);
        forms_.push_back({outline, solid, PatternForm::None});
        if (outline) entityRecords_ += OutlineRecords(entity);
        entityRecords_ += solid == SolidForm::Hatch;
        widestPen = std::max(widestPen, entity.penWidth);
        if (!LineTypeScales() && entity.lineType < area_.lineTypes.size() &&
            std::isnan(lineTypeScales_[entity.lineType])) {
            lineTypeScales_[entity.lineType] = entity.lineTypeScale;
        }
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
        if (hatchLines_ && solid != SolidForm::None && Opaque(screen.palette, entity.colour)) {
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
    for (double& scale : lineTypeScales_) {
        if (std::isnan(scale)) scale = 1; // no entity has the line type
    }
    if (!target_.Lineweights() && widestPen > 0) {
        Keep(0, platform::LineweightDropped(target_.Name(), widestPen));
    }
}

uint64_t DrawingPlan::OutlineRecords(const Entity& entity) const {
    if (entity.kind != EntityKind::Polyline || polylines_ == PolylineForm::Light) return 1;
    return 2 + PolylinePoints(entity).size(); // POLYLINE, VERTEX..., SEQEND
}

std::span<const KqPoint2> DrawingPlan::PolylinePoints(const Entity& entity) const {
    const PolylineGeometry& polyline = area_.polylines[entity.geometry];
    if ((polyline.kind & kPolylineClosed) != 0) return FillAreaOf(area_, entity).polygon;
    return {area_.Points(polyline), polyline.pointCount};
}

// How the solid fill of the entity at `position` over `area` is written: a
// HATCH where the version has one, else its pieces, within the bound on one
// fill's work and the drawing's budget, or, past either, not at all (told).
SolidForm DrawingPlan::PlanSolid(uint32_t position, const FillArea& area) {
    if (target_.Hatches()) return SolidForm::Hatch;
    const uint64_t workBefore = fillWork_.Left();
    WorkBudget work(std::min<uint64_t>(MaxHatchWork(), workBefore));
    const auto pieces = area.SolidPieces(work);
    fillWork_.Charge(work.Used());
    if (!pieces) {
        const bool drawingSpent = workBefore < MaxHatchWork();
        Tell(position, platform::SolidFillTooMuchWork(area.circle ? 0 : area.polygon.size(),
                                                      drawingSpent ? DrawingWork() : MaxHatchWork(),
                                                      drawingSpent));
        return SolidForm::None;
    }
    entityRecords_ += pieces->size();
    return SolidForm::Pieces;
}

std::vector<SolidPiece> DrawingPlan::SolidPieces(uint32_t position) const {
    const Entity& entity = area_.entities[area_.order[position]];
    WorkBudget work(MaxHatchWork());
    auto pieces = FillAreaOf(area_, entity).SolidPieces(work);
    if (!pieces) {
        platform::Raise(platform::kInternalError,
                        "a solid fill planned within its bound could not be cut again; the "
                        "drawing is not written");
    }
    return std::move(*pieces);
}

// The LAYER table, and by kind the layer of each fixed kind and pattern that
// the records use. One layer per pattern, so that a GIS styles each pattern
// (a soil) by its layer and a CAD user switches one off; patterns whose
// layer names would be the same (KQ_CL and CL, names that differ in case
// alone) get one each all the same. A layer by kind that one of the
// drawing's names (names compare without case) is that layer: the table
// holds each name once.
void DrawingPlan::PlanLayers() {
    for (const Layer& layer : area_.layers)
        layers_.push_back({CleanName(layer.name), layer.colour});
    if (target_.layers != DxfLayers::ByKind) return;
    std::array<bool, kFixedLayers> fixedUsed{};
    std::vector<bool> patternUsed(area_.hatches.size());
    for (uint32_t position = 0; position < forms_.size(); ++position) {
        const Entity& entity = area_.entities[area_.order[position]];
        const EntityForms& forms = forms_[position];
        if (forms.outline) fixedUsed[static_cast<size_t>(OutlineLayer(entity))] = true;
        if (forms.solid != SolidForm::None) fixedUsed[static_cast<size_t>(FixedLayer::Fill)] = true;
        if (forms.pattern != PatternForm::None) patternUsed[entity.hatch] = true;
    }
    static_assert(std::size(kFixedLayerNames) == kFixedLayers);
    std::map<std::string, uint32_t> used; // name -> index in layers_, in name order
    for (size_t kind = 0; kind < kFixedLayers; ++kind) {
        if (fixedUsed[kind]) used.emplace(kFixedLayerNames[kind], 0);
    }
    std::map<std::string_view, std::string> patternLayers; // pattern name -> layer name
    std::set<std::string> taken;                           // Upper of the patterns' layer names
    for (size_t i = 0; i < area_.hatches.size(); ++i) {
        if (!patternUsed[i]) continue;
        const auto [named, added] = patternLayers.try_emplace(patternNames_[i]);
        if (!added) continue;
        int copy = 1;
        do
            named->second = PatternLayerName(named->first, copy++);
        while (!taken.insert(Upper(named->second)).second);
        used.emplace(named->second, 0);
    }
    std::map<std::string, uint32_t> drawn; // Upper of the drawing's layer names -> index
    for (uint32_t i = 0; i < area_.layers.size(); ++i)
        drawn.emplace(Upper(layers_[i].name), i);
    for (auto& [name, index] : used) {
        const auto same = drawn.find(Upper(name));
        index = same != drawn.end() ? same->second : static_cast<uint32_t>(layers_.size());
        if (same == drawn.end()) layers_.push_back({name, 0}); // the ink: ACI 7
    }
    for (size_t kind = 0; kind < kFixedLayers; ++kind) {
        if (fixedUsed[kind]) fixedLayers_[kind] = used.at(std::string(kFixedLayerNames[kind]));
    }
    patternLayers_.resize(area_.hatches.size());
    for (size_t i = 0; i < area_.hatches.size(); ++i) {
        if (patternUsed[i]) patternLayers_[i] = used.at(patternLayers.at(patternNames_[i]));
    }
}

// What the outline of `entity` is, as a layer by kind: a closed polyline's
// and a circle's bound an area, the others are lines or texts.
DrawingPlan::FixedLayer DrawingPlan::OutlineLayer(const Entity& entity) const {
    switch (entity.kind) {
    case EntityKind::Text:
        return FixedLayer::Text;
    case EntityKind::Circle:
        return FixedLayer::Outline;
    case EntityKind::Polyline:
        return (area_.polylines[entity.geometry].kind & kPolylineClosed) != 0 ? FixedLayer::Outline
                                                                              : FixedLayer::Line;
    case EntityKind::Line:
    case EntityKind::Arc:
        break;
    }
    return FixedLayer::Line;
}

uint32_t DrawingPlan::LayerIndex(const Entity& entity, EntityRecord record) const {
    if (target_.layers != DxfLayers::ByKind)
        return entity.layer < area_.layers.size() ? entity.layer : 0;
    if (record == EntityRecord::Pattern) return patternLayers_[entity.hatch];
    const FixedLayer layer =
        record == EntityRecord::Solid ? FixedLayer::Fill : OutlineLayer(entity);
    return fixedLayers_[static_cast<size_t>(layer)];
}

const std::string& DrawingPlan::LayerOf(uint32_t position, EntityRecord record) const {
    return layers_[LayerIndex(area_.entities[area_.order[position]], record)].name;
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
    // Past a bound on its lines, a hatch keeps its HATCH entity where it can.
    const platform::PastBound pastBound = !target_.Hatches() ? platform::PastBound::NoHatch
                                          : fitsReaders      ? platform::PastBound::HatchEntity
                                                             : platform::PastBound::TooDense;
    const PatternForm asEntity =
        pastBound == platform::PastBound::HatchEntity ? PatternForm::Entity : PatternForm::None;
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
    if (cut.pieces.size() > linesLeft_) {
        Tell(position, platform::HatchTooManyLines(name, MostHatchLines(), pastBound));
        return asEntity;
    }
    if (cut.overBound) {
        Tell(position,
             platform::HatchTooMuchWork(name, drawingSpent ? DrawingWork() : MaxHatchWork(),
                                        drawingSpent, pastBound));
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

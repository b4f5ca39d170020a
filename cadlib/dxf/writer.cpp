// The DXF writer: the whole drawing of a screen as ASCII DXF of the screen's
// target, with complete tables, one handle counter, resolvable owners and
// the objects section that AutoCAD-family programs insist on. What the
// target's version holds is asked of the plan (the records each entity
// becomes) and of the stream (the pairs it leaves out); here only the
// skeleton asks, for what R12 lacks: sections, header variables, groups of
// the tables, and the names of the spaces' blocks.
#include "cadlib/database.h"
#include "cadlib/dxf/drawing_plan.h"
#include "cadlib/dxf/stream.h"
#include "cadlib/dxf/values.h"
#include "cadlib/fill_line.h"
#include "cadlib/geometry/angles.h"
#include "cadlib/geometry/entity_plan.h"
#include "cadlib/geometry/extents.h"
#include "cadlib/kq.h"
#include "platform/replacing_file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <span>

namespace cadlib {

namespace {

// Each pattern hatch of the line form is a block: its BLOCK_RECORD, BLOCK and
// ENDBLK, then one entity per piece.
constexpr uint64_t kBlockObjects = 3;
constexpr int kAnonymousBlock = 1;
// The length of the line that stands for a dot of a pattern: one pen-width
// unit (0.01 inch), the size of a dot drawn with the thinnest pen.
constexpr double kDotLength = 0.01;

// Handles of everything but the entities, taken from the one counter before
// anything is written, since the header and some pointers refer forward.
struct Handles {
    uint64_t blockRecords, layers, styles, lineTypes, views, ucs, vports, appIds, dimStyles;
    uint64_t root, groups, layouts, plotStyles, placeholder, modelLayout, paperLayout;
    uint64_t modelRecord, paperRecord, modelBlock, modelBlockEnd, paperBlock, paperBlockEnd;
    uint64_t activeVport, byBlock, byLayer, acadAppId, standardDimStyle, standardStyle;
    uint64_t firstLineType, firstLayer, firstStyle, firstView;
    uint64_t firstEntity, firstBlock, seed;
};

Handles AssignHandles(const DataArea& area, uint64_t layers, uint64_t entityObjects,
                      uint64_t blockObjects) {
    uint64_t next = 1;
    const auto take = [&next](uint64_t count = 1) {
        const uint64_t first = next;
        next += count;
        return first;
    };
    Handles h{};
    for (uint64_t* handle :
         {&h.blockRecords, &h.layers,           &h.styles,       &h.lineTypes,   &h.views,
          &h.ucs,          &h.vports,           &h.appIds,       &h.dimStyles,   &h.root,
          &h.groups,       &h.layouts,          &h.plotStyles,   &h.placeholder, &h.modelLayout,
          &h.paperLayout,  &h.modelRecord,      &h.paperRecord,  &h.modelBlock,  &h.modelBlockEnd,
          &h.paperBlock,   &h.paperBlockEnd,    &h.activeVport,  &h.byBlock,     &h.byLayer,
          &h.acadAppId,    &h.standardDimStyle, &h.standardStyle}) {
        *handle = take();
    }
    h.firstLineType = take(area.lineTypes.size());
    h.firstLayer = take(layers);
    h.firstStyle = take(area.styles.size());
    h.firstView = take(area.viewports.size());
    h.firstEntity = take(entityObjects);
    h.firstBlock = take(blockObjects);
    h.seed = next;
    return h;
}

// The file name of a style's shape font: "ROMAND" -> "romand.shx".
std::string ShapeFontFile(std::string_view primary) {
    if (primary.empty()) return "txt";
    std::string file = CleanName(primary);
    std::transform(file.begin(), file.end(), file.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (file.find('.') == std::string::npos) file += ".shx";
    return file;
}

class DrawingWriter {
  public:
    DrawingWriter(const Screen& screen, const DataArea& area, DxfStream& out)
        : area_(area), out_(out), colours_(screen.palette), page_(Normalised(screen.paper)),
          plan_(screen, area) {
        for (const LineType& type : area.lineTypes)
            lineTypeNames_.push_back(CleanName(type.name));
        for (const TextStyle& style : area.styles)
            styleNames_.push_back(CleanName(style.name));
        ownStandard_ = area.FindStyle(kStandard) >= 0;
        for (const std::string& name : area.styleNames) {
            const int style = area.FindStyle(name);
            textStyles_.push_back(style >= 0 ? std::string_view(styleNames_[style]) : kStandard);
        }
        uint64_t blockObjects = 0;
        for (const LineBlock& block : plan_.Blocks()) {
            blockStarts_.push_back(blockObjects); // an offset until the handles are known
            blockObjects += kBlockObjects + block.pieceCount;
        }
        h_ = AssignHandles(area, plan_.Layers().size(), plan_.EntityRecords(), blockObjects);
        for (uint64_t& start : blockStarts_)
            start += h_.firstBlock;
        nextEntity_ = h_.firstEntity;
    }

    // What the drawing asked for and the file does not have, by line, and
    // how many more there were.
    std::vector<DxfNotice> TakeNotices() { return plan_.TakeNotices(); }
    uint64_t Untold() const { return plan_.Untold(); }

    // R12 has neither the CLASSES nor the OBJECTS section.
    void Write() {
        const bool structured = out_.Target().Structured();
        Header();
        if (structured) Classes();
        Tables();
        Blocks();
        Entities();
        if (structured) Objects();
        out_.String(0, "EOF");
    }

  private:
    static constexpr std::string_view kStandard = "Standard";

    void SectionStart(std::string_view name) {
        out_.String(0, "SECTION");
        out_.String(2, name);
    }
    void SectionEnd() { out_.String(0, "ENDSEC"); }
    void Variable(std::string_view name) { out_.String(9, name); }

    void Header() {
        SectionStart("HEADER");
        Variable("$ACADVER");
        out_.String(1, out_.Target().AcadVersion());
        // R12 has no maintenance release in its header.
        if (out_.Target().Structured()) {
            Variable("$ACADMAINTVER");
            out_.Integer(70, out_.Target().MaintenanceVersion());
        }
        Variable("$DWGCODEPAGE");
        out_.String(3, "ANSI_1252");
        Variable("$INSBASE");
        out_.Point(10, 0, 0, 0);
        Variable("$EXTMIN");
        out_.Point(10, plan_.Extents().min[0], plan_.Extents().min[1], plan_.Extents().min[2]);
        Variable("$EXTMAX");
        out_.Point(10, plan_.Extents().max[0], plan_.Extents().max[1], plan_.Extents().max[2]);
        Variable("$LIMMIN");
        out_.Point(10, page_.x1, page_.y1);
        Variable("$LIMMAX");
        out_.Point(10, page_.x2, page_.y2);
        Variable("$LTSCALE");
        out_.Real(40, 1);
        Variable("$TEXTSTYLE");
        out_.String(7, kStandard);
        Variable("$CLAYER");
        out_.String(8, "0");
        Variable("$CELTYPE");
        out_.String(6, "ByLayer");
        Variable("$CECOLOR");
        out_.Integer(62, 256);
        if (out_.Target().Structured()) {
            StructuredHeader();
        } else {
            // No handles at all: R12 readers need none, and a file without
            // them cannot hold a dangling or a duplicate one.
            Variable("$HANDLING");
            out_.Integer(70, 0);
        }
        SectionEnd();
    }

    // The variables R12 lacks: scales and weights of new entities, units,
    // plot styles and the handle seed.
    void StructuredHeader() {
        Variable("$CELTSCALE");
        out_.Real(40, 1);
        Variable("$CELWEIGHT");
        out_.Lineweight(-1);
        Variable("$LWDISPLAY");
        out_.Integer(290, 1);
        const bool metric = out_.Target().Millimetres();
        Variable("$INSUNITS");
        out_.Integer(70, metric ? 4 : 1); // millimetres or inches
        Variable("$MEASUREMENT");
        out_.Integer(70, metric ? 1 : 0);
        Variable("$PSTYLEMODE");
        out_.Integer(290, 1);
        Variable("$HANDSEED");
        out_.Handle(5, h_.seed);
    }

    void Class(std::string_view record, std::string_view cppClass, int instances) {
        out_.String(0, "CLASS");
        out_.String(1, record);
        out_.String(2, cppClass);
        out_.String(3, "ObjectDBX Classes");
        out_.Integer(90, 0);
        out_.Integer(91, instances);
        out_.Integer(280, 0);
        out_.Integer(281, 0);
    }

    void Classes() {
        SectionStart("CLASSES");
        Class("ACDBDICTIONARYWDFLT", "AcDbDictionaryWithDefault", 1);
        Class("ACDBPLACEHOLDER", "AcDbPlaceHolder", 1);
        Class("LAYOUT", "AcDbLayout", 2);
        SectionEnd();
    }

    void TableStart(std::string_view name, uint64_t handle, size_t records) {
        out_.String(0, "TABLE");
        out_.String(2, name);
        out_.Handle(5, handle);
        out_.Owner(0);
        out_.Subclass("AcDbSymbolTable");
        out_.Integer(70, static_cast<int64_t>(records));
    }
    void TableEnd() { out_.String(0, "ENDTAB"); }

    void RecordStart(std::string_view type, uint64_t handle, uint64_t table,
                     std::string_view subclass, int handleCode = 5) {
        out_.String(0, type);
        out_.Handle(handleCode, handle);
        out_.Owner(table);
        out_.Subclass("AcDbSymbolTableRecord");
        out_.Subclass(subclass);
    }

    void Tables() {
        SectionStart("TABLES");
        ViewportTable();
        LineTypeTable();
        LayerTable();
        StyleTable();
        ViewTable();
        TableStart("UCS", h_.ucs, 0);
        TableEnd();
        TableStart("APPID", h_.appIds, 1);
        RecordStart("APPID", h_.acadAppId, h_.appIds, "AcDbRegAppTableRecord");
        out_.String(2, "ACAD");
        out_.Integer(70, 0);
        TableEnd();
        TableStart("DIMSTYLE", h_.dimStyles, 1);
        out_.Subclass("AcDbDimStyleTable");
        RecordStart("DIMSTYLE", h_.standardDimStyle, h_.dimStyles, "AcDbDimStyleTableRecord", 105);
        out_.String(2, kStandard);
        out_.Integer(70, 0);
        TableEnd();
        if (out_.Target().Structured()) BlockRecordTable();
        SectionEnd();
    }

    // What R12 lacks: the blocks' records, each owning its block.
    void BlockRecordTable() {
        TableStart("BLOCK_RECORD", h_.blockRecords, 2 + blockStarts_.size());
        RecordStart("BLOCK_RECORD", h_.modelRecord, h_.blockRecords, "AcDbBlockTableRecord");
        out_.String(2, "*Model_Space");
        out_.Handle(340, h_.modelLayout);
        RecordStart("BLOCK_RECORD", h_.paperRecord, h_.blockRecords, "AcDbBlockTableRecord");
        out_.String(2, "*Paper_Space");
        out_.Handle(340, h_.paperLayout);
        for (size_t k = 0; k < blockStarts_.size(); ++k) {
            RecordStart("BLOCK_RECORD", blockStarts_[k], h_.blockRecords, "AcDbBlockTableRecord");
            out_.String(2, BlockName(k));
        }
        TableEnd();
    }

    // The page, or the drawing when the page has no area: what views show.
    KqRect2 ViewFrame() const {
        if (page_.x2 > page_.x1 && page_.y2 > page_.y1) return page_;
        if (plan_.Extents().max[0] > plan_.Extents().min[0] &&
            plan_.Extents().max[1] > plan_.Extents().min[1]) {
            return {plan_.Extents().min[0], plan_.Extents().min[1], plan_.Extents().max[0],
                    plan_.Extents().max[1]};
        }
        return {0, 0, 1, 1};
    }

    void ViewportTable() {
        const KqRect2 frame = ViewFrame();
        const double width = frame.x2 - frame.x1, height = frame.y2 - frame.y1;
        TableStart("VPORT", h_.vports, 1);
        RecordStart("VPORT", h_.activeVport, h_.vports, "AcDbViewportTableRecord");
        out_.String(2, "*Active");
        out_.Integer(70, 0);
        out_.Vector(10, 0, 0); // the whole window
        out_.Vector(11, 1, 1);
        out_.Point(12, (frame.x1 + frame.x2) / 2, (frame.y1 + frame.y2) / 2);
        out_.Point(13, 0, 0);
        out_.Point(14, 0.5, 0.5);
        out_.Point(15, 0.5, 0.5);
        out_.Vector(16, 0, 0, 1);
        out_.Point(17, 0, 0, 0);
        out_.Length(40, height);
        out_.Real(41, width / height);
        out_.Real(42, 50);
        out_.Length(43, 0);
        out_.Length(44, 0);
        out_.Real(50, 0);
        out_.Real(51, 0);
        for (const auto& [code, value] :
             {std::pair{71, 0}, {72, 100}, {73, 1}, {74, 3}, {75, 0}, {76, 0}, {77, 0}, {78, 0}}) {
            out_.Integer(code, value);
        }
        TableEnd();
    }

    void LineTypeRecord(uint64_t handle, std::string_view name, std::string_view description,
                        std::span<const double> elements, double scale = 1) {
        RecordStart("LTYPE", handle, h_.lineTypes, "AcDbLinetypeTableRecord");
        out_.String(2, name);
        out_.Integer(70, 0);
        out_.Text(3, description);
        out_.Integer(72, 65);
        out_.Integer(73, static_cast<int64_t>(elements.size()));
        double total = 0;
        for (const double element : elements)
            total += std::fabs(element * scale);
        out_.Length(40, total);
        for (const double element : elements) {
            out_.Length(49, element * scale);
            // The kind of element (a dash, not a shape or a text) came after R12.
            if (out_.Target().Structured()) out_.Integer(74, 0);
        }
    }

    void LineTypeTable() {
        TableStart("LTYPE", h_.lineTypes, 2 + area_.lineTypes.size());
        LineTypeRecord(h_.byBlock, "ByBlock", "", {});
        LineTypeRecord(h_.byLayer, "ByLayer", "", {});
        for (size_t i = 0; i < area_.lineTypes.size(); ++i) {
            const LineType& type = area_.lineTypes[i];
            LineTypeRecord(h_.firstLineType + i, lineTypeNames_[i], type.description, type.elements,
                           plan_.LineTypeScale(i));
        }
        TableEnd();
    }

    void LayerTable() {
        const std::vector<PlannedLayer>& layers = plan_.Layers();
        TableStart("LAYER", h_.layers, layers.size());
        for (size_t i = 0; i < layers.size(); ++i) {
            const DxfColour colour = colours_.Of(layers[i].colour);
            RecordStart("LAYER", h_.firstLayer + i, h_.layers, "AcDbLayerTableRecord");
            out_.String(2, layers[i].name);
            out_.Integer(70, 0); // the library's layer status has no DXF meaning
            out_.Integer(62, colour.aci);
            out_.TrueColour(colour.trueColour);
            out_.String(6, lineTypeNames_.front());
            out_.Lineweight(-3);
            out_.Handle(390, h_.placeholder);
        }
        TableEnd();
    }

    void StyleRecord(uint64_t handle, std::string_view name, std::string_view file) {
        RecordStart("STYLE", handle, h_.styles, "AcDbTextStyleTableRecord");
        out_.String(2, name);
        out_.Integer(70, 0);
        out_.Length(40, 0);
        out_.Real(41, 1);
        out_.Real(50, 0);
        out_.Integer(71, 0);
        out_.Length(42, 2.5);
        out_.String(3, file);
        out_.String(4, "");
    }

    void StyleTable() {
        TableStart("STYLE", h_.styles, (ownStandard_ ? 0 : 1) + area_.styles.size());
        if (!ownStandard_) StyleRecord(h_.standardStyle, kStandard, "txt");
        for (size_t i = 0; i < area_.styles.size(); ++i) {
            const TextStyle& style = area_.styles[i];
            if (style.trueTypeFont.empty()) {
                StyleRecord(h_.firstStyle + i, styleNames_[i], ShapeFontFile(style.primaryFont));
                continue;
            }
            // The family in the extended data is what CAD programs pick the font by.
            StyleRecord(h_.firstStyle + i, styleNames_[i],
                        CleanName(TrueTypeFileName(style.trueTypeFont)));
            out_.String(1001, "ACAD");
            out_.Text(1000, style.trueTypeFont);
            out_.Integer(1071, 34); // variable pitch, swiss family, regular
        }
        TableEnd();
    }

    // Each viewport of the data area as a named view of the page, looking at
    // its centre from the viewport's direction.
    void ViewTable() {
        const KqRect2 frame = ViewFrame();
        TableStart("VIEW", h_.views, area_.viewports.size());
        for (size_t i = 0; i < area_.viewports.size(); ++i) {
            const ViewportRecord& viewport = area_.viewports[i];
            double direction[3] = {viewport.view[0], viewport.view[1], viewport.view[2]};
            if (!std::all_of(direction, direction + 3, [](double v) { return std::isfinite(v); }) ||
                std::all_of(direction, direction + 3, [](double v) { return v == 0; })) {
                direction[0] = direction[1] = 0, direction[2] = 1;
            }
            RecordStart("VIEW", h_.firstView + i, h_.views, "AcDbViewTableRecord");
            out_.String(2, CleanName(viewport.name));
            out_.Integer(70, 0);
            out_.Length(40, frame.y2 - frame.y1);
            out_.Point(10, 0, 0); // centre in view coordinates, which start at the target
            out_.Length(41, frame.x2 - frame.x1);
            out_.Vector(11, direction[0], direction[1], direction[2]);
            out_.Point(12, (frame.x1 + frame.x2) / 2, (frame.y1 + frame.y2) / 2, 0);
            out_.Real(42, 50);
            out_.Length(43, 0);
            out_.Length(44, 0);
            out_.Real(50, 0);
            out_.Integer(71, 0);
            if (out_.Target().Structured()) out_.Integer(281, 0); // render mode, after R12
            out_.Integer(72, 0);
        }
        TableEnd();
    }

    // Anonymous blocks: "*U1", "*U2"... in drawing order.
    static std::string BlockName(size_t k) { return "*U" + std::to_string(k + 1); }

    void BlockStart(std::string_view type, uint64_t handle, uint64_t record, bool paper) {
        out_.String(0, type);
        out_.Handle(5, handle);
        out_.Owner(record);
        out_.Subclass("AcDbEntity");
        if (paper) out_.Integer(67, 1);
        out_.String(8, "0");
    }

    // `contents` writes the block's entities between its BLOCK and ENDBLK.
    template <typename Contents>
    void Block(uint64_t begin, uint64_t end, uint64_t record, std::string_view name, bool paper,
               int flags, Contents contents) {
        BlockStart("BLOCK", begin, record, paper);
        out_.Subclass("AcDbBlockBegin");
        out_.String(2, name);
        out_.Integer(70, flags);
        out_.Point(10, 0, 0, 0);
        out_.String(3, name);
        out_.String(1, "");
        contents();
        BlockStart("ENDBLK", end, record, paper);
        out_.Subclass("AcDbBlockEnd");
    }

    void Blocks() {
        SectionStart("BLOCKS");
        const auto none = [] {};
        // R12 names the spaces' blocks otherwise.
        const bool structured = out_.Target().Structured();
        Block(h_.modelBlock, h_.modelBlockEnd, h_.modelRecord,
              structured ? "*Model_Space" : "$MODEL_SPACE", false, 0, none);
        Block(h_.paperBlock, h_.paperBlockEnd, h_.paperRecord,
              structured ? "*Paper_Space" : "$PAPER_SPACE", true, 0, none);
        if (!blockStarts_.empty()) PatternBlocks();
        SectionEnd();
    }

    // The line form: the lines of each pattern hatch, in drawing order, as an
    // anonymous block whose entities take the colour, line type and
    // lineweight of the INSERT that shows them.
    void PatternBlocks() {
        for (size_t k = 0; k < plan_.Blocks().size(); ++k) {
            if (out_.Failed()) return; // the file is abandoned anyway
            const uint64_t record = blockStarts_[k];
            uint64_t next = record + kBlockObjects;
            Block(record + 1, record + 2, record, BlockName(k), false, kAnonymousBlock, [&] {
                for (const HatchPiece& piece : plan_.Pieces(plan_.Blocks()[k]))
                    Piece(piece, next++, record);
            });
        }
    }

    // A dot is a horizontal LINE of kDotLength centred on it: readers drop a
    // line of no length, and some draw no POINT entity at all.
    void Piece(const HatchPiece& piece, uint64_t handle, uint64_t record) {
        BlockStart("LINE", handle, record, false);
        out_.String(6, "ByBlock");
        out_.Integer(62, 0); // by block
        out_.Lineweight(-2); // by block
        out_.Subclass("AcDbLine");
        const bool dot = piece.from.x == piece.to.x && piece.from.y == piece.to.y;
        const double half = dot ? kDotLength / 2 : 0;
        out_.Point(10, piece.from.x - half, piece.from.y, 0);
        out_.Point(11, piece.to.x + half, piece.to.y, 0);
    }

    void Entities() {
        SectionStart("ENTITIES");
        for (const uint32_t index : area_.order) {
            if (out_.Failed()) return; // the file is abandoned anyway
            WriteEntity(area_.entities[index]);
            ++position_;
        }
        SectionEnd();
    }

    void WriteEntity(const Entity& entity) {
        const EntityForms& forms = plan_.Forms(position_);
        const FillArea fill = FillAreaOf(area_, entity);
        const DxfColour colour = colours_.Of(entity.colour);
        if (forms.outline) {
            switch (entity.kind) {
            case EntityKind::Line:
                Line(entity, colour);
                break;
            case EntityKind::Circle:
                Circle(entity, colour, area_.circles[entity.geometry]);
                break;
            case EntityKind::Arc:
                Arc(entity, colour);
                break;
            case EntityKind::Text:
                Text(entity, colour);
                break;
            case EntityKind::Polyline:
                if (plan_.Polylines() == PolylineForm::Light) {
                    Polyline(entity, colour);
                } else {
                    HeavyPolyline(entity, colour);
                }
                break;
            }
        }
        if (forms.solid == SolidForm::Hatch) Hatch(entity, colour, fill, nullptr);
        if (forms.solid == SolidForm::Pieces) {
            for (const SolidPiece& piece : plan_.SolidPieces(position_))
                Solid(entity, colour, piece);
        }
        // Pattern lines are drawn in ink so that they show on a white area.
        if (forms.pattern == PatternForm::Lines) {
            EntityStart("INSERT", entity, DxfColour{}, EntityRecord::Pattern);
            out_.Subclass("AcDbBlockReference");
            out_.String(2, BlockName(nextInsert_++));
            out_.Point(10, 0, 0, 0);
        } else if (forms.pattern == PatternForm::Entity) {
            Hatch(entity, DxfColour{}, fill, &area_.hatches[entity.hatch]);
        }
    }

    // The record's type, handle, owner and layer: all that a polyline's
    // VERTEX and SEQEND carry; returns the handle. `record`: which of the
    // entity's records this is, on the layer the plan gives it.
    uint64_t RecordStart(std::string_view type, uint64_t owner, EntityRecord record) {
        const uint64_t handle = nextEntity_++;
        out_.String(0, type);
        out_.Handle(5, handle);
        out_.Owner(owner);
        out_.Subclass("AcDbEntity");
        out_.String(8, plan_.LayerOf(position_, record));
        return handle;
    }

    uint64_t EntityStart(std::string_view type, const Entity& entity, const DxfColour& colour,
                         EntityRecord record) {
        const uint64_t handle = RecordStart(type, h_.modelRecord, record);
        out_.String(6, entity.lineType < lineTypeNames_.size() ? lineTypeNames_[entity.lineType]
                                                               : lineTypeNames_.front());
        out_.Integer(62, colour.aci);
        out_.Lineweight(NearestLineweight(entity.penWidth));
        if (plan_.LineTypeScales()) out_.Real(48, entity.lineTypeScale);
        out_.TrueColour(colour.trueColour);
        return handle;
    }

    void Line(const Entity& entity, const DxfColour& colour) {
        const LineGeometry& line = area_.lines[entity.geometry];
        EntityStart("LINE", entity, colour, EntityRecord::Outline);
        out_.Subclass("AcDbLine");
        out_.Point(10, line.start.x, line.start.y, line.start.z);
        out_.Point(11, line.end.x, line.end.y, line.end.z);
    }

    void Circle(const Entity& entity, const DxfColour& colour, const CircleGeometry& circle) {
        EntityStart("CIRCLE", entity, colour, EntityRecord::Outline);
        out_.Subclass("AcDbCircle");
        out_.Point(10, circle.centre.x, circle.centre.y, circle.centre.z);
        out_.Length(40, circle.radius);
    }

    void Arc(const Entity& entity, const DxfColour& colour) {
        const ArcGeometry& arc = area_.arcs[entity.geometry];
        EntityStart("ARC", entity, colour, EntityRecord::Outline);
        out_.Subclass("AcDbCircle");
        out_.Point(10, arc.centre.x, arc.centre.y, arc.centre.z);
        out_.Length(40, arc.radius);
        out_.Subclass("AcDbArc");
        out_.Real(50, NormalisedDegrees(arc.startAngle));
        out_.Real(51, NormalisedDegrees(arc.endAngle));
    }

    void Text(const Entity& entity, const DxfColour& colour) {
        const TextGeometry& text = area_.texts[entity.geometry];
        EntityStart("TEXT", entity, colour, EntityRecord::Outline);
        out_.Subclass("AcDbText");
        // The start of the baseline for every alignment, for readers that
        // ignore the alignment; those that honour it place the text on 11.
        const KqPoint3& start = plan_.TextStart(nextText_++);
        out_.Point(10, start.x, start.y, start.z);
        out_.Length(40, text.height);
        out_.Text(1, area_.Text(text), kMaxTextBytes);
        out_.Real(50, text.rotation);
        out_.Real(41, text.widthFactor);
        out_.Real(51, text.oblique);
        out_.String(7,
                    text.styleName < textStyles_.size() ? textStyles_[text.styleName] : kStandard);
        // Only the mirror flags and the alignments readers know are written.
        out_.Integer(71, text.flags & 6);
        out_.Integer(72, text.horizontal >= 0 && text.horizontal <= 5 ? text.horizontal : 0);
        out_.Point(11, text.second.x, text.second.y, text.second.z);
        out_.Subclass("AcDbText");
        // Baseline (0) is the default; leaving it out keeps the entity from
        // ending with a value line "0" (see Hatch).
        if (text.vertical >= 1 && text.vertical <= 3) out_.Integer(73, text.vertical);
    }

    void Polyline(const Entity& entity, const DxfColour& colour) {
        const std::span<const KqPoint2> points = plan_.PolylinePoints(entity);
        EntityStart("LWPOLYLINE", entity, colour, EntityRecord::Outline);
        out_.Subclass("AcDbPolyline");
        out_.Integer(90, static_cast<int64_t>(points.size()));
        out_.Integer(70, Closed(entity) ? 1 : 0);
        for (const KqPoint2& point : points)
            out_.Point(10, point.x, point.y);
    }

    bool Closed(const Entity& entity) const {
        return (area_.polylines[entity.geometry].kind & kPolylineClosed) != 0;
    }

    // The polyline of versions without LWPOLYLINE: a POLYLINE, which holds
    // no point of its own (its 10 is the elevation), a VERTEX for each point,
    // and a SEQEND, the last two owned by the POLYLINE.
    void HeavyPolyline(const Entity& entity, const DxfColour& colour) {
        const uint64_t owner = EntityStart("POLYLINE", entity, colour, EntityRecord::Outline);
        out_.Subclass("AcDb2dPolyline");
        out_.Integer(66, 1); // vertices follow
        out_.Point(10, 0, 0, 0);
        out_.Integer(70, Closed(entity) ? 1 : 0);
        for (const KqPoint2& point : plan_.PolylinePoints(entity)) {
            RecordStart("VERTEX", owner, EntityRecord::Outline);
            out_.Subclass("AcDbVertex");
            out_.Subclass("AcDb2dVertex");
            out_.Point(10, point.x, point.y);
        }
        RecordStart("SEQEND", owner, EntityRecord::Outline);
    }

    // One convex piece of a solid fill. SOLID's third and fourth corners
    // are crossed: it fills 1-2-4-3, so its outline runs 10, 11, 13, 12; a
    // triangle repeats its third corner.
    void Solid(const Entity& entity, const DxfColour& colour, const SolidPiece& piece) {
        KqPoint2 corners[4];
        const size_t count = piece.Corners(corners);
        const KqPoint2& fourth = corners[count - 1];
        EntityStart("SOLID", entity, colour, EntityRecord::Solid);
        out_.Subclass("AcDbTrace");
        out_.Point(10, corners[0].x, corners[0].y, 0);
        out_.Point(11, corners[1].x, corners[1].y, 0);
        out_.Point(12, fourth.x, fourth.y, 0);
        out_.Point(13, corners[2].x, corners[2].y, 0);
    }

    // A closed polyline boundary path; a circle is two half circles (bulge 1).
    void BoundaryPath(const FillArea& outline) {
        out_.Integer(92, 3); // external, polyline
        out_.Integer(72, outline.circle ? 1 : 0);
        out_.Integer(73, 1);
        if (outline.circle) {
            const KqPoint3& centre = outline.circle->centre;
            const double radius = outline.circle->radius;
            out_.Integer(93, 2);
            out_.Point(10, centre.x + radius, centre.y);
            out_.Real(42, 1);
            out_.Point(10, centre.x - radius, centre.y);
            out_.Real(42, 1);
        } else {
            out_.Integer(93, static_cast<int64_t>(outline.polygon.size()));
            for (const KqPoint2& point : outline.polygon)
                out_.Point(10, point.x, point.y);
        }
        out_.Integer(97, 0);
    }

    // A pattern line in drawing space: the offset to the next line is given
    // in the line's own frame and written as a world vector.
    void PatternLine(const KqFillLine& record) {
        const FillLineValues line = ReadFillLine(record);
        const double scale = line.scale;
        double c = 0, s = 0;
        line.Direction(c, s);
        out_.Real(53, line.angle);
        out_.Length(43, line.baseX * scale);
        out_.Length(44, line.baseY * scale);
        out_.Length(45, (line.offsetAlong * c - line.offsetAcross * s) * scale);
        out_.Length(46, (line.offsetAlong * s + line.offsetAcross * c) * scale);
        out_.Integer(79, line.dashCount);
        for (int i = 0; i < line.dashCount; ++i)
            out_.Length(49, line.dashes[i] * scale);
    }

    void Hatch(const Entity& entity, const DxfColour& colour, const FillArea& outline,
               const HatchAttachment* pattern) {
        EntityStart("HATCH", entity, colour, pattern ? EntityRecord::Pattern : EntityRecord::Solid);
        out_.Subclass("AcDbHatch");
        out_.Point(10, 0, 0, outline.circle ? outline.circle->centre.z : 0);
        out_.Vector(210, 0, 0, 1);
        const std::span<const KqFillLine> lines =
            pattern ? FillLinesOf(area_, *pattern) : std::span<const KqFillLine>();
        out_.String(2, pattern ? std::string_view(plan_.PatternName(*pattern)) : "SOLID");
        out_.Integer(70, pattern ? 0 : 1);
        out_.Integer(71, 0); // not associative
        out_.Integer(91, 1);
        BoundaryPath(outline);
        out_.Integer(75, 0);
        out_.Integer(76, pattern ? 2 : 1); // custom pattern, or the predefined SOLID
        if (pattern) {
            out_.Real(52, 0);
            out_.Real(41, 1);
            out_.Integer(77, 0);
            out_.Integer(78, static_cast<int64_t>(lines.size()));
            for (const KqFillLine& line : lines)
                PatternLine(line);
        }
        // One seed point: a reader that steps over a HATCH line by line takes
        // any value line "0" for the next entity's start, so the last value
        // is the seed's y, which is never 0.
        const KqPoint2 seed = outline.Seed();
        out_.Integer(98, 1);
        out_.Point(10, seed.x, seed.y);
    }

    void Layout(uint64_t handle, std::string_view name, bool model, uint64_t record) {
        out_.String(0, "LAYOUT");
        out_.Handle(5, handle);
        out_.Owner(h_.layouts);
        out_.Subclass("AcDbPlotSettings");
        out_.String(1, "");
        out_.String(2, "none_device");
        out_.String(4, "ANSI_A_(8.50_x_11.00_Inches)");
        out_.String(6, "");
        for (const int margin : {40, 41, 42, 43})
            out_.Real(margin, 6.35);
        out_.Real(44, 279.4); // paper size in millimetres
        out_.Real(45, 215.9);
        for (const int origin : {46, 47, 48, 49, 140, 141})
            out_.Real(origin, 0);
        out_.Real(142, 1);
        out_.Real(143, 1);
        out_.Integer(70, model ? 1024 : 0);
        out_.Integer(72, 0); // inches
        out_.Integer(73, 0);
        out_.Integer(74, 5);
        out_.String(7, "");
        out_.Integer(75, 16); // 1:1
        out_.Real(147, 1);
        out_.Real(148, 0);
        out_.Real(149, 0);
        out_.Subclass("AcDbLayout");
        out_.String(1, name);
        out_.Integer(70, 1);
        out_.Integer(71, model ? 0 : 1);
        out_.Point(10, page_.x1, page_.y1);
        out_.Point(11, page_.x2, page_.y2);
        out_.Point(12, 0, 0, 0);
        out_.Point(14, plan_.Extents().min[0], plan_.Extents().min[1], plan_.Extents().min[2]);
        out_.Point(15, plan_.Extents().max[0], plan_.Extents().max[1], plan_.Extents().max[2]);
        out_.Length(146, 0);
        out_.Point(13, 0, 0, 0);
        out_.Vector(16, 1, 0, 0);
        out_.Vector(17, 0, 1, 0);
        out_.Integer(76, 0);
        out_.Owner(record);
    }

    void DictionaryStart(std::string_view type, uint64_t handle, uint64_t owner) {
        out_.String(0, type);
        out_.Handle(5, handle);
        out_.Owner(owner);
        out_.Subclass("AcDbDictionary");
        out_.Integer(281, 1);
    }

    void Objects() {
        SectionStart("OBJECTS");
        out_.String(0, "DICTIONARY");
        out_.Handle(5, h_.root);
        out_.Owner(0);
        out_.Subclass("AcDbDictionary");
        out_.Integer(281, 1);
        out_.String(3, "ACAD_GROUP");
        out_.Handle(350, h_.groups);
        out_.String(3, "ACAD_LAYOUT");
        out_.Handle(350, h_.layouts);
        out_.String(3, "ACAD_PLOTSTYLENAME");
        out_.Handle(350, h_.plotStyles);
        DictionaryStart("DICTIONARY", h_.groups, h_.root);
        DictionaryStart("DICTIONARY", h_.layouts, h_.root);
        out_.String(3, "Layout1");
        out_.Handle(350, h_.paperLayout);
        out_.String(3, "Model");
        out_.Handle(350, h_.modelLayout);
        DictionaryStart("ACDBDICTIONARYWDFLT", h_.plotStyles, h_.root);
        out_.String(3, "Normal");
        out_.Handle(350, h_.placeholder);
        out_.Subclass("AcDbDictionaryWithDefault");
        out_.Handle(340, h_.placeholder);
        out_.String(0, "ACDBPLACEHOLDER");
        out_.Handle(5, h_.placeholder);
        out_.Owner(h_.plotStyles);
        Layout(h_.modelLayout, "Model", true, h_.modelRecord);
        Layout(h_.paperLayout, "Layout1", false, h_.paperRecord);
        SectionEnd();
    }

    const DataArea& area_;
    DxfStream& out_;
    DxfColours colours_;
    KqRect2 page_;
    std::vector<std::string> lineTypeNames_, styleNames_;
    std::vector<std::string_view> textStyles_; // by DataArea::styleNames index
    bool ownStandard_ = false;                 // the data area defines "Standard" itself
    DrawingPlan plan_;
    Handles h_{};
    uint64_t nextEntity_ = 0;
    std::vector<uint64_t> blockStarts_; // first handle of each block, in drawing order
    size_t nextInsert_ = 0;             // the block the next pattern hatch inserts
    size_t nextText_ = 0;               // the next text's, in the drawing's order
    uint32_t position_ = 0;             // of the entity written, in the drawing's order
};

} // namespace

} // namespace cadlib

using namespace cadlib;

namespace {

// The session and its data area, or nullptr with the reason set.
const DataArea* DrawingOf(int32_t screen, Screen*& session) {
    session = FindScreen(screen);
    if (!session) {
        SetLastError("no drawing session");
        return nullptr;
    }
    const DataArea* area = DataAreaOf(*session);
    if (!area) SetLastError("the drawing session has no data area");
    return area;
}

// Writes the drawing and keeps on the screen what it could not write as asked.
void WriteDrawing(Screen& session, const DataArea& area, DxfStream& out) {
    session.dxfNotices.clear();
    session.dxfNoticesUntold = 0;
    DrawingWriter writer(session, area, out);
    writer.Write();
    session.dxfNotices = writer.TakeNotices();
    session.dxfNoticesUntold = writer.Untold();
}

int32_t OutputDxfFile(int32_t screen, const char* fileName, platform::OutputSharing sharing) {
    Screen* session = nullptr;
    const DataArea* area = DrawingOf(screen, session);
    if (!area) return 0;
    if (!fileName || !*fileName) {
        SetLastError("no file name");
        return 0;
    }
    platform::ReplacingFile output(fileName, platform::FileKind::Dxf, sharing);
    if (!output.Open()) {
        SetLastError(output.Error());
        return 0;
    }
    DxfStream stream(output.File(), session->dxfTarget);
    WriteDrawing(*session, *area, stream);
    if (!output.Commit(stream.Finish())) {
        SetLastError(output.Error());
        return 0;
    }
    SetLastError("");
    return 1;
}

} // namespace

int32_t kq_output_dxf_file(int32_t screen, const char* fileName) {
    return OutputDxfFile(screen, fileName, platform::OutputSharing::Ordinary);
}

int32_t kq_output_private_dxf_file(int32_t screen, const char* fileName) {
    return OutputDxfFile(screen, fileName, platform::OutputSharing::OwnerOnly);
}

int32_t kq_output_dxf_stream(int32_t screen, std::FILE* stream) {
    Screen* session = nullptr;
    const DataArea* area = DrawingOf(screen, session);
    if (!area) return 0;
    DxfStream out(stream, session->dxfTarget);
    WriteDrawing(*session, *area, out);
    const int error = out.Finish();
    if (error != 0 || std::fflush(stream) != 0) {
        SetLastError(std::strerror(error != 0 ? error : errno));
        return 0;
    }
    SetLastError("");
    return 1;
}

int32_t kq_text_length_kept(const char* text) {
    return text ? static_cast<int32_t>(TextLengthKept(text, kMaxTextBytes)) : 0;
}

// Drawing passes: entities through the viewports into the bound device
// context, with cosmetic pens, line types, solid areas, hatch lines and text.
#include "cadlib/display/draw.h"

#include "cadlib/display/extent_index.h"
#include "cadlib/display/geometry.h"
#include "cadlib/display/hatch_cache.h"
#include "cadlib/geometry/angles.h"
#include "cadlib/geometry/entity_plan.h"
#include "cadlib/geometry/extents.h"
#include "cadlib/geometry/hatch.h"
#include "cadlib/geometry/text_frame.h"
#include "cadlib/kq_display.h"

#include <algorithm>
#include <cmath>

namespace cadlib {

namespace {

using platform::LogicalPoint;

// How far a chord may stray from its arc, in logical units.
constexpr double kChordTolerance = 0.25;
// Dash patterns shorter than this (logical units) could not be seen: solid.
constexpr double kMinDashPeriod = 2;
// Geometry is cut this far (logical units, beyond half the pen) outside the
// painted area, so nothing of it shows at the edge.
constexpr double kClipMargin = 2;
// Text taller than this (logical units) is drawn as its box: no font system
// renders glyphs of that size sensibly.
constexpr double kMaxTextHeight = 20000;
constexpr const char* kFallbackFamily = "sans-serif";

platform::Rgb ToRgb(const KqColour& colour) {
    const auto level = [](float value) {
        return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
    };
    return {level(colour.red), level(colour.green), level(colour.blue)};
}

platform::Pen SolidPen(platform::Rgb colour) {
    platform::Pen pen;
    pen.colour = colour;
    return pen;
}

// The palette entry of an entity colour: entry 0 (the ink) for no colour.
int ColourIndex(int32_t colour) {
    return colour >= 1 && colour < kPaletteSize ? colour : 0;
}

class SceneDrawer {
  public:
    // `painted`: the part of the scene's area painted this time.
    SceneDrawer(const Screen& screen, const DataArea& area, platform::DeviceContext& dc,
                const Scene& scene, const KqRect2& painted, HatchLineCache& hatchLines)
        : screen_(screen), area_(area), dc_(dc), scene_(scene), hatchLines_(hatchLines),
          faces_(area), families_(area.styleNames.size()) {
        const auto worldOf = [&scene](const KqRect2& pixels) {
            const KqPoint2 a = scene.mapping.ToWorld(pixels.x1, pixels.y1);
            const KqPoint2 b = scene.mapping.ToWorld(pixels.x2, pixels.y2);
            return Normalised({a.x, a.y, b.x, b.y});
        };
        visibleWorld_ = worldOf(scene.area);
        paintedWorld_ = worldOf(painted);
        for (const Layer& layer : area.layers) {
            bool shown = screen.layersVisibleByDefault;
            for (const auto& [name, visible] : screen.layerVisibility) {
                if (SameName(name, layer.name)) shown = visible;
            }
            layerShown_.push_back(shown);
        }
    }

    // The world painted this time, and how far beyond it (drawing units) a
    // pen of `penWidth` units can still reach into it.
    const KqRect2& PaintedWorld() const { return paintedWorld_; }
    double Reach(int32_t penWidth) const {
        return (std::max(0, penWidth) * scene_.penUnit / 2 + kClipMargin) / scene_.mapping.scale;
    }

    // The advance of the kept part of a text, in drawing units, as the
    // context's font system lays it out.
    double TextWidth(const TextGeometry& text) {
        const double scale = scene_.mapping.scale;
        const platform::TextFont font =
            FontOf(faces_.FrameOf(text, 0), text, FamilyOf(text), text.height * scale);
        return dc_.TextWidth(area_.KeptText(text), font) / scale;
    }

    // Where an entity lies: all that is drawn of it but its pen's reach.
    KqRect2 Bounds(const Entity& entity) {
        return ReachOf(area_, faces_, entity,
                       [this](const TextGeometry& text) { return TextWidth(text); });
    }

    // `bounds` is where the entity lies (Bounds).
    void Draw(const Entity& entity, const KqRect2& bounds) {
        if (entity.layer >= layerShown_.size() || !layerShown_[entity.layer]) return;
        if (!Overlaps(Grown(bounds, Reach(entity.penWidth)), paintedWorld_)) return;
        switch (entity.kind) {
        case EntityKind::Line: {
            const LineGeometry& line = area_.lines[entity.geometry];
            const KqPoint2 ends[] = {{line.start.x, line.start.y}, {line.end.x, line.end.y}};
            Stroke(entity, ends, false);
            break;
        }
        case EntityKind::Circle:
            DrawCircle(entity, area_.circles[entity.geometry], bounds);
            break;
        case EntityKind::Arc:
            DrawArc(entity, area_.arcs[entity.geometry]);
            break;
        case EntityKind::Text:
            DrawText(entity, area_.texts[entity.geometry]);
            break;
        case EntityKind::Polyline:
            DrawPolyline(entity, area_.polylines[entity.geometry], bounds);
            break;
        }
    }

    // What is waiting to be drawn is drawn: the page keeps the drawing's order.
    void Flush() {
        if (batch_.empty()) return;
        dc_.SetPen(batchPen_);
        dc_.Segments(batch_);
        batch_.clear();
    }

  private:
    double PenWidth(const Entity& entity) const {
        return std::max(0, entity.penWidth) * scene_.penUnit;
    }

    platform::Pen PenOf(const Entity& entity) const {
        platform::Pen pen;
        pen.colour = ToRgb(screen_.penColours[ColourIndex(entity.colour)]);
        pen.width = PenWidth(entity);
        if (entity.lineType < area_.lineTypes.size() &&
            !area_.lineTypes[entity.lineType].elements.empty()) {
            const DashPattern dashes = MakeDashPattern(area_.lineTypes[entity.lineType].elements,
                                                       entity.lineTypeScale * scene_.mapping.scale);
            if (dashes.period >= kMinDashPeriod) {
                pen.dashes = dashes.lengths;
                pen.dashOffset = dashes.phase;
            }
        }
        return pen;
    }

    // The steady cells that the area grown by `reach` reaches, by index along
    // each axis, from the first to one past the last.
    struct Cells {
        double reach = NAN;
        double column = 0, columnEnd = 0, row = 0, rowEnd = 0;
    };
    // Kept from one stroke or fill to the next of the same reach.
    const Cells& CellsReached(double reach) {
        if (!(cellsReached_.reach == reach)) {
            const KqRect2& area = scene_.area;
            const double x = scene_.mapping.originX, y = scene_.mapping.originY;
            cellsReached_ = {reach, FirstCell(area.x1 - reach, x), EndCell(area.x2 + reach, x),
                             FirstCell(area.y1 - reach, y), EndCell(area.y2 + reach, y)};
        }
        return cellsReached_;
    }
    static double FirstCell(double edge, double origin) {
        return std::floor((edge - origin) / kSteadyCell);
    }
    static double EndCell(double edge, double origin) {
        return std::ceil((edge - origin) / kSteadyCell);
    }
    // One past the last cell that the stretch from `low` to `high` reaches. A
    // stretch of no length on the edge between two cells (a level or upright
    // line along it) reaches the cell after the edge, where the cut keeps it
    // whole, so it is drawn once.
    static double EndCell(double low, double high, double origin) {
        return std::max(EndCell(high, origin), FirstCell(low, origin) + 1);
    }

    // Calls `cut(cell)` with each steady cell that the area grown by `reach`
    // reaches and that the box of `points` meets: a wide stroke or a fill is
    // cut at the edge of every cell it crosses, so each piece of it is the
    // same in every view that shows it, however many cells the view reaches.
    template <typename Cut>
    void EachSteadyCell(double reach, std::span<const LogicalPoint> points, Cut cut) {
        Cells cells = CellsReached(reach);
        const double x = scene_.mapping.originX, y = scene_.mapping.originY;
        if (cells.columnEnd - cells.column > 1 || cells.rowEnd - cells.row > 1) {
            const KqRect2 box = BoxOf(points);
            cells.column = std::max(cells.column, FirstCell(box.x1, x));
            cells.columnEnd = std::min(cells.columnEnd, EndCell(box.x1, box.x2, x));
            cells.row = std::max(cells.row, FirstCell(box.y1, y));
            cells.rowEnd = std::min(cells.rowEnd, EndCell(box.y1, box.y2, y));
        }
        for (double i = cells.column; i < cells.columnEnd; ++i) {
            for (double j = cells.row; j < cells.rowEnd; ++j) {
                cut(KqRect2{x + i * kSteadyCell, y + j * kSteadyCell, x + (i + 1) * kSteadyCell,
                            y + (j + 1) * kSteadyCell});
            }
        }
    }

    const std::vector<LogicalPoint>& ToLogical(std::span<const KqPoint2> world, bool closed) {
        logical_.clear();
        for (const KqPoint2& p : world)
            logical_.push_back(scene_.mapping.ToLogical(p.x, p.y));
        if (closed && !world.empty()) logical_.push_back(logical_.front());
        return logical_;
    }

    // Separate segments of one solid pen wait and are drawn together, so a
    // log's thousands of lines and hatch dashes cost a few calls. Anything
    // else drawn draws them first.
    void Batch(const platform::Pen& pen, std::span<const LogicalPoint> ends) {
        if (!batch_.empty() && !(batchPen_ == pen)) Flush();
        batchPen_ = pen;
        batch_.insert(batch_.end(), ends.begin(), ends.end());
    }

    void Stroke(const Entity& entity, std::span<const KqPoint2> world, bool closed) {
        platform::Pen pen = PenOf(entity);
        const double phase = pen.dashOffset;
        const double period = platform::DashPeriod(pen);
        // A line of one pixel, whose pixels do not depend on where it is cut,
        // is cut near the view: the painter need not follow what is unseen.
        const double reach = pen.width / 2 + kClipMargin;
        const std::vector<LogicalPoint>& logical = ToLogical(world, closed);
        const auto draw = [&](std::span<const LogicalPoint> run, double start) {
            if (pen.dashes.empty() && run.size() == 2) {
                Batch(pen, run);
                return;
            }
            Flush();
            // Every run keeps the line's dashes in step, wherever it starts.
            if (period > 0) pen.dashOffset = std::fmod(phase + start, period);
            dc_.SetPen(pen);
            dc_.Polyline(run);
        };
        if (pen.width <= 1) {
            ClipPolyline(logical, Grown(scene_.area, reach), draw);
            return;
        }
        EachSteadyCell(reach, logical,
                       [&](const KqRect2& cell) { ClipPolyline(logical, cell, draw); });
    }

    void Fill(platform::Rgb colour, std::span<const KqPoint2> boundary) {
        const std::vector<LogicalPoint>& logical = ToLogical(boundary, false);
        EachSteadyCell(kClipMargin, logical, [&](const KqRect2& cell) {
            const std::vector<LogicalPoint> inside = ClipPolygon(logical, cell);
            if (inside.empty()) return;
            Flush();
            platform::Pen none;
            none.null = true;
            dc_.SetPen(none);
            dc_.SetBrush({false, colour});
            dc_.Polygon(inside);
        });
    }

    void Fill(const Entity& entity, std::span<const KqPoint2> boundary) {
        Fill(ToRgb(screen_.palette[ColourIndex(entity.colour)]), boundary);
    }

    // The pattern of `plan` over its area, which lies within `bounds`;
    // `region` is the polygon a tone fills when its lines would pass the bound
    // on one hatch's work, or the pass's budget. A hatch pays the pass for
    // its cut whether the screen kept it from an earlier pass or not, so a
    // pass draws the same whatever was kept.
    void Hatch(const Entity& entity, const EntityPlan& plan, const KqRect2& bounds,
               std::span<const KqPoint2> region) {
        const std::span<const KqFillLine> lines = FillLinesOf(area_, *plan.pattern);
        const auto cutTo = [&](const KqRect2& window, size_t maxWork) {
            return plan.area.Lines(lines, window, maxWork);
        };
        const auto index = static_cast<uint32_t>(&entity - area_.entities.data());
        const HatchCut* cut = nullptr;
        if (Contains(visibleWorld_, bounds) && work_.Left() >= MaxHatchWork()) {
            cut = hatchLines_.Lines(index, [&] { return cutTo(kEverywhere, MaxHatchWork()); });
        }
        HatchCut made;
        if (!cut) {
            // Cut beyond the edge, as strokes are: where a piece ends is never seen.
            made = cutTo(Grown(visibleWorld_, kClipMargin / scene_.mapping.scale),
                         HatchWorkWithin(work_));
            cut = &made;
        }
        work_.Charge(cut->work);
        if (!cut->leftOut.empty()) hatchLines_.MarkLinesLeftOut(index);
        const platform::Rgb ink = ToRgb(screen_.penColours[ColourIndex(screen_.hatchColour)]);
        if (cut->overBound) {
            hatchLines_.MarkToned(index);
            Fill(Tone(ink), region);
            return;
        }
        logical_.clear();
        for (const HatchPiece& piece : cut->pieces) {
            logical_.push_back(scene_.mapping.ToLogical(piece.from.x, piece.from.y));
            logical_.push_back(scene_.mapping.ToLogical(piece.to.x, piece.to.y));
        }
        Batch(SolidPen(ink), logical_);
    }

    // What a pattern too fine to draw line by line looks like from afar: its
    // ink halfway to the white page.
    static platform::Rgb Tone(platform::Rgb ink) {
        const auto half = [](uint8_t level) { return static_cast<uint8_t>((level + 255 + 1) / 2); };
        return {half(ink.red), half(ink.green), half(ink.blue)};
    }

    // Fill, then hatch lines, then the outline: each stays visible over the one before.
    void DrawPolyline(const Entity& entity, const PolylineGeometry& polyline,
                      const KqRect2& bounds) {
        const EntityPlan plan = PlanEntity(area_, entity);
        if (plan.solid) Fill(entity, plan.area.polygon);
        if (plan.pattern) Hatch(entity, plan, bounds, plan.area.polygon);
        if (plan.outline) {
            Stroke(entity, {area_.Points(polyline), polyline.pointCount}, (polyline.kind & 1) != 0);
        }
    }

    void DrawCircle(const Entity& entity, const CircleGeometry& circle, const KqRect2& bounds) {
        const EntityPlan plan = PlanEntity(area_, entity);
        world_.clear();
        AppendArcPoints({circle.centre.x, circle.centre.y}, circle.radius, 0, 360,
                        kChordTolerance / scene_.mapping.scale, world_);
        world_.pop_back(); // the end repeats the start
        if (plan.solid) Fill(entity, world_);
        if (plan.pattern) Hatch(entity, plan, bounds, world_);
        if (plan.outline) Stroke(entity, world_, true);
    }

    void DrawArc(const Entity& entity, const ArcGeometry& arc) {
        world_.clear();
        AppendArcPoints({arc.centre.x, arc.centre.y}, arc.radius, arc.startAngle,
                        ArcSweep(arc.startAngle, arc.endAngle),
                        kChordTolerance / scene_.mapping.scale, world_);
        Stroke(entity, world_, false);
    }

    // The index found the text by the box its glyphs can fill, as measured.
    void DrawText(const Entity& entity, const TextGeometry& text) {
        const std::string_view content = area_.KeptText(text);
        const double height = text.height * scene_.mapping.scale;
        if (content.empty() || !(height > 0)) return;
        // The font aligns the glyphs about the middle: where they go does not
        // depend on the width.
        const TextFrame frame = faces_.FrameOf(text, 0);
        const platform::TextFont font = FontOf(frame, text, FamilyOf(text), height);
        const KqPoint3 middle = frame.Middle();
        if (area_.system.quickTextMode == 0 && height <= kMaxTextHeight) {
            DrawGlyphs(entity, {middle.x, middle.y}, content, font);
            return;
        }
        // Quick text: the box of the capitals, as wide as measured.
        const auto corners = faces_.FrameOf(text, TextWidth(text)).Capitals();
        const KqPoint2 box[] = {{corners[0].x, corners[0].y},
                                {corners[1].x, corners[1].y},
                                {corners[2].x, corners[2].y},
                                {corners[3].x, corners[3].y}};
        Stroke(entity, box, true);
    }

    void DrawGlyphs(const Entity& entity, const KqPoint2& middle, std::string_view content,
                    const platform::TextFont& font) {
        Flush();
        dc_.SetPen(SolidPen(ToRgb(screen_.penColours[ColourIndex(entity.colour)])));
        dc_.Text(scene_.mapping.ToLogical(middle.x, middle.y), content, font);
    }

    // The TrueType family of a text's style, else a sans-serif face.
    const std::string& FamilyOf(const TextGeometry& text) {
        static const std::string fallback = kFallbackFamily;
        if (text.styleName >= families_.size()) return fallback;
        std::string& family = families_[text.styleName];
        if (family.empty()) {
            const int style = area_.FindStyle(area_.styleNames[text.styleName]);
            family = style >= 0 && !area_.styles[style].trueTypeFont.empty()
                         ? area_.styles[style].trueTypeFont
                         : fallback;
        }
        return family;
    }

    const Screen& screen_;
    const DataArea& area_;
    platform::DeviceContext& dc_;
    const Scene& scene_;
    HatchLineCache& hatchLines_;
    StyleFaces faces_;
    // Geometry is cut to the whole area's world, whatever part is painted,
    // so that a part is drawn as the whole picture has it.
    KqRect2 visibleWorld_;
    KqRect2 paintedWorld_;
    std::vector<bool> layerShown_;
    std::vector<std::string> families_; // by style-name index, found on first use
    std::vector<KqPoint2> world_;
    std::vector<LogicalPoint> logical_;
    std::vector<LogicalPoint> batch_; // segment ends waiting, all of batchPen_
    platform::Pen batchPen_;
    WorkBudget work_{DrawingPassWork()}; // what the pass's hatches may still take
    Cells cellsReached_;
};

} // namespace

void DrawScene(Screen& screen, const DataArea& area, platform::DeviceContext& dc,
               const Scene& scene) {
    const KqRect2 painted{
        std::max(scene.area.x1, scene.part.x1), std::max(scene.area.y1, scene.part.y1),
        std::min(scene.area.x2, scene.part.x2), std::min(scene.area.y2, scene.part.y2)};
    if (!(painted.x1 < painted.x2 && painted.y1 < painted.y2)) return;
    dc.SetRasterOp(platform::R2_COPYPEN); // whatever the context was left with
    dc.SetClip(platform::LogicalRect{painted.x1, painted.y1, painted.x2, painted.y2});
    if (!screen.hatchLines || !screen.hatchLines->Describes(area)) {
        screen.hatchLines = std::make_shared<HatchLineCache>(area);
    }
    SceneDrawer drawer(screen, area, dc, scene, painted, *screen.hatchLines);
    if (!screen.extentIndex || !screen.extentIndex->Describes(area)) {
        screen.extentIndex = std::make_shared<const ExtentIndex>(
            area, [&drawer](const Entity& entity) { return drawer.Bounds(entity); });
    }
    const ExtentIndex& index = *screen.extentIndex;
    // The entities that may reach the scene, still drawn in the drawing's order.
    std::vector<uint8_t> reaching;
    index.Find(drawer.PaintedWorld(), drawer.Reach(index.WidestPen()), reaching);
    for (size_t position = 0; position < area.order.size(); ++position) {
        if (reaching[position])
            drawer.Draw(area.entities[area.order[position]], index.Box(position));
    }
    drawer.Flush();
}

} // namespace cadlib

using namespace cadlib;

int32_t kq_set_window_DC(int32_t screen, int32_t deviceContext) {
    Screen* s = FindScreen(screen);
    if (!s) return 0;
    s->deviceContext = deviceContext;
    s->drawPass = 0; // a pass belongs to the context it was opened on
    return 1;
}

int32_t kq_begin_draw(int32_t screen) {
    Screen* s = FindScreen(screen);
    platform::DeviceContext* dc = s ? platform::FindDeviceContext(s->deviceContext) : nullptr;
    if (!dc) return 0;
    if (s->drawPass == 0) s->drawPass = dc->Save();
    return 1;
}

int32_t kq_draw_it(int32_t screen) {
    return kq_draw_part(screen, kEverywhere);
}

int32_t kq_draw_part(int32_t screen, const KqRect2& pixels) {
    Screen* s = FindScreen(screen);
    const DataArea* area = s ? DataAreaOf(*s) : nullptr;
    platform::DeviceContext* dc = s ? platform::FindDeviceContext(s->deviceContext) : nullptr;
    // Viewports are laid out in pixels: the pass draws in the pixel mapping mode.
    if (!area || !dc || s->drawPass == 0 || s->mapMode != platform::MM_TEXT) return 0;
    const KqRect2 part = Normalised(pixels);
    for (auto id = 1; id <= static_cast<int32_t>(s->viewports.size()); ++id) {
        if (!s->viewports[id - 1].active) continue;
        if (const std::optional<ViewportView> view = ViewOf(*s, id)) {
            DrawScene(*s, *area, *dc, Scene{view->mapping, view->pixels, 1.0, part});
        }
    }
    return 1;
}

namespace {

// The screen's hatch lines while they describe its drawing; nullptr otherwise.
const HatchLineCache* CurrentHatchLines(int32_t screen) {
    const Screen* s = FindScreen(screen);
    const DataArea* area = s ? DataAreaOf(*s) : nullptr;
    if (!area || !s->hatchLines || !s->hatchLines->Describes(*area)) return nullptr;
    return s->hatchLines.get();
}

int32_t Count(size_t count) {
    return static_cast<int32_t>(std::min<size_t>(count, INT32_MAX));
}

} // namespace

int32_t kq_toned_hatch_count(int32_t screen) {
    const HatchLineCache* lines = CurrentHatchLines(screen);
    return lines ? Count(lines->Toned()) : 0;
}

int32_t kq_hatches_with_lines_left_out_count(int32_t screen) {
    const HatchLineCache* lines = CurrentHatchLines(screen);
    return lines ? Count(lines->WithLinesLeftOut()) : 0;
}

int32_t kq_end_draw(int32_t screen) {
    Screen* s = FindScreen(screen);
    if (!s || s->drawPass == 0) return 0;
    if (platform::DeviceContext* dc = platform::FindDeviceContext(s->deviceContext)) {
        dc->Restore(s->drawPass);
    }
    s->drawPass = 0;
    return 1;
}

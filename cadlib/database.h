// The library's inner model: data areas (the drawing database), display
// globals bound to a window, pending table records, and the handle scheme.
// Only cadlib/ sources include this header.
#pragma once

#include "cadlib/dxf/target.h"
#include "cadlib/records.h"
#include "platform/warnings.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace cadlib {

inline constexpr int32_t kNoColour = -1;
inline constexpr uint32_t kNoHatch = UINT32_MAX;

enum class EntityKind : uint8_t { Line, Circle, Arc, Text, Polyline };

// Polyline kinds.
inline constexpr int32_t kPolylineOpen = 0;
inline constexpr int32_t kPolylineClosed = 1;
inline constexpr int32_t kPolylineFilledArea = 513;

// One entity: its style stamped at construction plus an index into the
// geometry store of its kind. Kept small: the drawing may hold millions.
struct Entity {
    EntityKind kind = EntityKind::Line;
    bool listed = false;   // appended to the entity list
    uint16_t layer = 0;    // index into DataArea::layers
    uint16_t lineType = 0; // index into DataArea::lineTypes
    int32_t colour = kNoColour;
    int32_t penWidth = 0;
    int32_t fillStyle = 0;
    int32_t fillMode = 0;
    double lineTypeScale = 1.0;
    uint32_t geometry = 0;     // index into the geometry vector of `kind`
    uint32_t hatch = kNoHatch; // index into DataArea::hatches
};

struct LineGeometry {
    KqPoint3 start, end;
};

struct CircleGeometry {
    KqPoint3 centre;
    double radius = 0;
};

struct ArcGeometry {
    KqPoint3 centre;
    double radius = 0;
    double startAngle = 0, endAngle = 0; // degrees, counter-clockwise from start to end
};

struct TextGeometry {
    KqPoint3 first, second;
    double height = 0, widthFactor = 1, oblique = 0, rotation = 0;
    int32_t horizontal = 0, vertical = 0, flags = 0;
    uint32_t textOffset = 0, textLength = 0; // bytes in DataArea::textArena
    // The leading bytes of the text that a DXF TEXT keeps (TextKept): all
    // that the screen shows and measures, and what the extents are made of.
    uint32_t keptLength = 0;
    uint32_t styleName = 0; // index into DataArea::styleNames
};

struct PolylineGeometry {
    uint32_t firstPoint = 0, pointCount = 0; // in DataArea::polylinePoints
    int32_t kind = kPolylineOpen;
};

// A user-defined hatch attached to an entity: its fill lines and the name of
// the pattern they come from (empty when the caller gave none).
struct HatchAttachment {
    uint32_t firstLine = 0, lineCount = 0; // in DataArea::fillLines
    std::string name;
    uint32_t linesHash = 0; // FillLinesHash of its lines
};

struct Layer {
    std::string name;
    int32_t status = 0;
    int32_t colour = 0;
};

struct LineType {
    std::string name;
    std::string description;
    std::vector<double> elements; // dash > 0, gap < 0, dot 0 (inches)
};

struct TextStyle {
    std::string name;
    std::string primaryFont;
    std::string trueTypeFont;
};

struct ViewportRecord {
    std::string name;
    std::array<double, 4> boundary{0, 0, 1, 1}; // fractions of the drawing area
    std::array<double, 7> view{0, 0, 1, 1, 0, 0, 1000000};
};

// Values the data area stamps on each entity it constructs.
struct SystemValues {
    int32_t penWidth = 0;
    double lineTypeScale = 1.0;
    uint16_t lineType = 0;
    int32_t quickTextMode = 0;
    int32_t panPercent = 0;
};

struct DataArea {
    std::vector<Entity> entities;
    std::vector<uint32_t> order; // entity indices in the order appended
    std::vector<LineGeometry> lines;
    std::vector<CircleGeometry> circles;
    std::vector<ArcGeometry> arcs;
    std::vector<TextGeometry> texts;
    std::vector<PolylineGeometry> polylines;
    std::vector<KqPoint2> polylinePoints;
    std::vector<char> textArena;
    std::vector<std::string> styleNames; // names that text entities refer to
    // Hatches with the same fill lines and name share one attachment: a log
    // repeats a handful of patterns thousands of times.
    std::vector<HatchAttachment> hatches;
    std::vector<KqFillLine> fillLines;
    std::unordered_multimap<uint32_t, uint32_t> hatchesByContent; // linesHash -> index in hatches
    // The command-file line the caller is building from (0: none said), and
    // the line each hatch was attached on, by entity index, so that what
    // becomes of a hatch can be told by its line.
    uint32_t sourceLine = 0;
    std::unordered_map<uint32_t, uint32_t> hatchSourceLines;

    std::vector<Layer> layers;       // "0" first
    std::vector<LineType> lineTypes; // "CONTINUOUS" first
    std::vector<TextStyle> styles;
    std::vector<ViewportRecord> viewports;
    SystemValues system;
    uint32_t entitySlot = 0; // which live slot entity handles name
    // Counts the changes a display's view of the drawing depends on (entities
    // listed, their attributes): a display's index is good while it is unchanged.
    uint64_t revision = 0;

    std::string_view Text(const TextGeometry& text) const {
        return {textArena.data() + text.textOffset, text.textLength};
    }
    std::string_view KeptText(const TextGeometry& text) const {
        return {textArena.data() + text.textOffset, text.keptLength};
    }
    const KqPoint2* Points(const PolylineGeometry& polyline) const {
        return polylinePoints.data() + polyline.firstPoint;
    }
    int FindLayer(std::string_view name) const;
    int FindLineType(std::string_view name) const;
    int FindStyle(std::string_view name) const;
    int FindViewport(std::string_view name) const;
};

class ExtentIndex;
class HatchLineCache;

// What the last DXF output could not write as the drawing asks, or found
// likely wrong in it, for the caller to tell: the command-file line it
// concerns (0: none) and the warning.
struct DxfNotice {
    uint32_t line = 0;
    platform::Warning warning;
};

// Display state of one viewport on a screen.
struct ViewportDisplay {
    bool active = false;
    KqRect2 world{0, 0, 1, 1};
};

// Display globals: bound to a window and to one data area.
struct Screen {
    int32_t window = 0;
    int32_t dataArea = 0;
    int32_t mode = 0, flags = 0;
    KqRect2 paper;
    KqRect3 box;
    std::array<KqColour, kPaletteSize> palette{};
    std::array<KqColour, kPaletteSize> penColours{};
    std::string fontPath;
    int32_t fillStyle = 0, fillMode = 0;
    int32_t hatchStyle = 0, hatchColour = 0; // kq_setfillstyle
    int32_t windowAnsi = 0;
    int32_t dxfHatchForm = 0;          // KQ_DXF_HATCH_ENTITY or KQ_DXF_HATCH_LINES
    DxfTarget dxfTarget;               // the version, units and layers of the DXF output
    std::vector<DxfNotice> dxfNotices; // of the last output
    uint64_t dxfNoticesUntold = 0;     // beyond those, made but not kept
    bool layersVisibleByDefault = true;
    std::vector<std::pair<std::string, bool>> layerVisibility; // overrides by name
    std::string assignedLayers, assignedViewports, assignedLineStyles;
    std::vector<ViewportDisplay> viewports; // parallel to the data area's viewport table

    // Display: the device context drawn into (0: none), the SaveDC level of
    // the open drawing pass (0: none), the drawing area the viewports are laid
    // out over (pixels; 0 before the first kq_resize_vports), the mapping mode,
    // the current viewport (0: the first active one) and the pointer.
    int32_t deviceContext = 0;
    int32_t drawPass = 0;
    int32_t areaWidth = 0, areaHeight = 0;
    int32_t mapMode = 1;
    int32_t currentViewport = 0;
    int32_t mouseX = 0, mouseY = 0;
    // Where the entities of the data area lie, made at the first drawing pass.
    std::shared_ptr<const ExtentIndex> extentIndex;
    // Hatch lines of the areas drawn wholly in view, kept for the next passes.
    std::shared_ptr<HatchLineCache> hatchLines;
};

// --- Handles ---------------------------------------------------------------
enum class HandleKind : int32_t {
    DataArea = 1,
    Screen = 2,
    Entity = 3,
    LayerRecord = 4,
    ViewportRecord = 5,
    StyleRecord = 6,
    CharArray = 7,
};

// The handle of object `index` of `kind`, and back: nullopt for 0 and for a
// handle of another kind.
int32_t MakeHandle(HandleKind kind, uint32_t index);
std::optional<uint32_t> IndexOf(int32_t handle, HandleKind kind);

// Table names compare without regard to case.
bool SameName(std::string_view a, std::string_view b);

// Lookups: nullptr for 0, unknown or purged handles.
DataArea* FindDataArea(int32_t handle);
Screen* FindScreen(int32_t handle);
// The entity and the data area that holds it.
Entity* FindEntity(int32_t handle, DataArea** owner = nullptr);
Layer* FindPendingLayer(int32_t handle);
ViewportRecord* FindPendingViewport(int32_t handle);
TextStyle* FindPendingStyle(int32_t handle);

// The data area a screen is bound to (nullptr when either is gone).
DataArea* DataAreaOf(const Screen& screen);

// Makes a new entity in `area` and returns its handle (0 when the area is full).
int32_t AddEntity(DataArea& area, EntityKind kind, uint32_t geometry);

// The ACI colour palette as RGB; entry 0 is the ink (black on the white page).
const std::array<KqColour, kPaletteSize>& DefaultPalette();

// Records why the last output failed (kq_last_error).
void SetLastError(std::string message);

// Mapping of a TrueType family to its font file name ("Arial" -> "arial.ttf").
std::string TrueTypeFileName(std::string_view family);

} // namespace cadlib

// Handles, data areas, display globals, tables and system values.
#include "cadlib/database.h"
#include "cadlib/kq.h"
#include "cadlib/testing.h"
#include "platform/module_state.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>

namespace cadlib {

namespace {

// Handle layout: kind in bits 28-30; for entities the data-area slot in bits
// 26-27 and the index in bits 0-25; for everything else the index in bits 0-27.
constexpr int kKindShift = 28;
constexpr int kSlotShift = 26;
constexpr uint32_t kEntityIndexMask = (1u << kSlotShift) - 1;
constexpr uint32_t kIndexMask = (1u << kKindShift) - 1;
constexpr size_t kDataAreaSlots = 4;

// Slots of owned objects. A purged slot stays empty when handles to it must
// never alias a later object (data areas, screens); pending table records,
// whose handles are spent once stored, reuse their slots.
template <typename T, bool kReuseSlots>
struct Pool {
    std::vector<std::unique_ptr<T>> slots;

    T* Find(std::optional<uint32_t> index) {
        if (!index || *index >= slots.size()) return nullptr;
        return slots[*index].get();
    }
    std::optional<uint32_t> Add() {
        auto free = kReuseSlots ? std::find(slots.begin(), slots.end(), nullptr) : slots.end();
        if (free == slots.end()) {
            if (slots.size() >= kIndexMask - 1) return std::nullopt;
            slots.emplace_back();
            free = slots.end() - 1;
        }
        *free = std::make_unique<T>();
        return static_cast<uint32_t>(free - slots.begin());
    }
    void Remove(uint32_t index) { slots[index].reset(); }
};

struct Library {
    Pool<DataArea, false> dataAreas;
    Pool<Screen, false> screens;
    Pool<Layer, true> pendingLayers;
    Pool<ViewportRecord, true> pendingViewports;
    Pool<TextStyle, true> pendingStyles;
    // Entity handles name their data area by one of a few live slots.
    std::array<int32_t, kDataAreaSlots> entitySlots{};
    bool refuseDataArea = false;
    bool refuseScreen = false;
    std::vector<std::string> refusedNames;
    std::function<void(const std::string&, int32_t)> purgeObserver;
    std::string lastError;
};

Library& Lib() {
    return platform::ModuleState<Library, platform::StateScope::Process>();
}

bool IsRefused(const char* name) {
    const auto& refused = Lib().refusedNames;
    return std::find(refused.begin(), refused.end(), name) != refused.end();
}

std::string Upper(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

template <typename Records>
int FindByName(const Records& records, std::string_view name) {
    for (size_t i = 0; i < records.size(); ++i) {
        if (SameName(records[i].name, name)) return static_cast<int>(i);
    }
    return -1;
}

const char* Safe(const char* text) {
    return text ? text : "";
}

// Runs `apply` on the object of a handle: 1 when there is one, else 0.
template <typename Apply>
int32_t WithScreen(int32_t handle, Apply apply) {
    Screen* screen = FindScreen(handle);
    if (!screen) return 0;
    apply(*screen);
    return 1;
}

template <typename Apply>
int32_t WithDataArea(int32_t handle, Apply apply) {
    DataArea* area = FindDataArea(handle);
    if (!area) return 0;
    apply(*area);
    return 1;
}

// Puts a pending record into a data-area table, replacing one of the same name.
template <typename Record>
int StoreRecord(std::vector<Record>& table, Record&& record) {
    const int existing = FindByName(table, record.name);
    if (existing >= 0) {
        table[existing] = std::move(record);
        return existing;
    }
    table.push_back(std::move(record));
    return static_cast<int>(table.size() - 1);
}

template <typename Record>
int32_t MakePending(Pool<Record, true>& pool, HandleKind kind, const char* name) {
    if (!name || IsRefused(name)) return 0;
    auto index = pool.Add();
    if (!index) return 0;
    pool.slots[*index]->name = name;
    return MakeHandle(kind, *index);
}

// Moves a pending record into `table`; the pending handle is spent.
template <typename Record>
int StorePending(Pool<Record, true>& pool, HandleKind kind, int32_t entry,
                 std::vector<Record>& table) {
    const auto index = IndexOf(entry, kind);
    Record* record = pool.Find(index);
    if (!record) return -1;
    const int stored = StoreRecord(table, std::move(*record));
    pool.Remove(*index);
    return stored;
}

} // namespace

// --- Lookups ---------------------------------------------------------------

int32_t MakeHandle(HandleKind kind, uint32_t index) {
    return static_cast<int32_t>((static_cast<uint32_t>(kind) << kKindShift) | (index + 1));
}

std::optional<uint32_t> IndexOf(int32_t handle, HandleKind kind) {
    if (handle <= 0) return std::nullopt;
    const uint32_t bits = static_cast<uint32_t>(handle);
    if ((bits >> kKindShift) != static_cast<uint32_t>(kind)) return std::nullopt;
    const uint32_t index = bits & kIndexMask;
    if (index == 0) return std::nullopt;
    return index - 1;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && Upper(a) == Upper(b);
}

DataArea* FindDataArea(int32_t handle) {
    return Lib().dataAreas.Find(IndexOf(handle, HandleKind::DataArea));
}

Screen* FindScreen(int32_t handle) {
    return Lib().screens.Find(IndexOf(handle, HandleKind::Screen));
}

Entity* FindEntity(int32_t handle, DataArea** owner) {
    if (handle <= 0) return nullptr;
    const uint32_t bits = static_cast<uint32_t>(handle);
    if ((bits >> kKindShift) != static_cast<uint32_t>(HandleKind::Entity)) return nullptr;
    const uint32_t slot = (bits >> kSlotShift) & 3u;
    const uint32_t index = bits & kEntityIndexMask;
    DataArea* area = FindDataArea(Lib().entitySlots[slot]);
    if (!area || index == 0 || index > area->entities.size()) return nullptr;
    if (owner) *owner = area;
    return &area->entities[index - 1];
}

Layer* FindPendingLayer(int32_t handle) {
    return Lib().pendingLayers.Find(IndexOf(handle, HandleKind::LayerRecord));
}
ViewportRecord* FindPendingViewport(int32_t handle) {
    return Lib().pendingViewports.Find(IndexOf(handle, HandleKind::ViewportRecord));
}
TextStyle* FindPendingStyle(int32_t handle) {
    return Lib().pendingStyles.Find(IndexOf(handle, HandleKind::StyleRecord));
}

DataArea* DataAreaOf(const Screen& screen) {
    return FindDataArea(screen.dataArea);
}

int32_t AddEntity(DataArea& area, EntityKind kind, uint32_t geometry) {
    if (area.entities.size() >= kEntityIndexMask - 1) return 0;
    Entity entity;
    entity.kind = kind;
    entity.lineType = area.system.lineType;
    entity.lineTypeScale = area.system.lineTypeScale;
    entity.penWidth = area.system.penWidth;
    entity.geometry = geometry;
    area.entities.push_back(entity);
    const uint32_t slot = area.entitySlot;
    const uint32_t index = static_cast<uint32_t>(area.entities.size());
    return static_cast<int32_t>((static_cast<uint32_t>(HandleKind::Entity) << kKindShift) |
                                (slot << kSlotShift) | index);
}

int DataArea::FindLayer(std::string_view name) const {
    return FindByName(layers, name);
}
int DataArea::FindLineType(std::string_view name) const {
    return FindByName(lineTypes, name);
}
int DataArea::FindStyle(std::string_view name) const {
    return FindByName(styles, name);
}
int DataArea::FindViewport(std::string_view name) const {
    return FindByName(viewports, name);
}

void SetLastError(std::string message) {
    Lib().lastError = std::move(message);
}

std::string TrueTypeFileName(std::string_view family) {
    static const std::pair<std::string_view, std::string_view> known[] = {
        {"ARIAL", "arial.ttf"},         {"ARIAL NARROW", "arialn.ttf"},
        {"COMIC SANS MS", "comic.ttf"}, {"TIMES NEW ROMAN", "times.ttf"},
        {"COURIER NEW", "cour.ttf"},    {"VERDANA", "verdana.ttf"},
        {"TAHOMA", "tahoma.ttf"},       {"CALIBRI", "calibri.ttf"},
        {"GEORGIA", "georgia.ttf"},     {"TREBUCHET MS", "trebuc.ttf"},
        {"IMPACT", "impact.ttf"},       {"LUCIDA CONSOLE", "lucon.ttf"},
        {"SYMBOL", "symbol.ttf"},       {"CENTURY GOTHIC", "gothic.ttf"},
        {"GARAMOND", "gara.ttf"},       {"BOOK ANTIQUA", "bkant.ttf"},
        {"SEGOE UI", "segoeui.ttf"},    {"MS SANS SERIF", "micross.ttf"},
    };
    const std::string key = Upper(family);
    for (const auto& [name, file] : known) {
        if (key == name) return std::string(file);
    }
    // Unknown families: the usual file name is the family without blanks.
    std::string file;
    for (char c : family) {
        if (c != ' ') file += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return file.empty() ? std::string() : file + ".ttf";
}

} // namespace cadlib

using namespace cadlib;

// --- Geometry values -------------------------------------------------------

void kq_set_pnt_3d(double x, double y, double z, KqPoint3& point) {
    point = {x, y, z};
}
void kq_set_pnt_2d(double x, double y, KqPoint2& point) {
    point = {x, y};
}
void kq_set_rect_2d(double x1, double y1, double x2, double y2, KqRect2& rect) {
    rect = {x1, y1, x2, y2};
}
void kq_set_rect_3d(double x1, double y1, double z1, double x2, double y2, double z2,
                    KqRect3& rect) {
    rect = {x1, y1, z1, x2, y2, z2};
}

// --- Data area and display globals -----------------------------------------

int32_t kq_create_data_area() {
    Library& lib = Lib();
    if (lib.refuseDataArea) {
        lib.refuseDataArea = false;
        return 0;
    }
    auto freeSlot = std::find(lib.entitySlots.begin(), lib.entitySlots.end(), 0);
    if (freeSlot == lib.entitySlots.end()) return 0; // too many live drawings
    auto index = lib.dataAreas.Add();
    if (!index) return 0;
    DataArea& area = *lib.dataAreas.slots[*index];
    area.entitySlot = static_cast<uint32_t>(freeSlot - lib.entitySlots.begin());
    area.layers.push_back(Layer{"0", 0, 0});
    area.lineTypes.push_back(LineType{"CONTINUOUS", "Solid line", {}});
    const int32_t handle = MakeHandle(HandleKind::DataArea, *index);
    *freeSlot = handle;
    return handle;
}

int32_t kq_purge_data_area(int32_t dataArea) {
    const auto index = IndexOf(dataArea, HandleKind::DataArea);
    DataArea* area = Lib().dataAreas.Find(index);
    if (!area) return 0;
    Lib().entitySlots[area->entitySlot] = 0;
    Lib().dataAreas.Remove(*index);
    if (Lib().purgeObserver) Lib().purgeObserver("data area", dataArea);
    return 1;
}

int32_t kq_init_drawing(int32_t window, int32_t dataArea, int32_t mode, int32_t flags,
                        const KqRect2& paper, const KqRect3& box) {
    Library& lib = Lib();
    if (lib.refuseScreen) {
        lib.refuseScreen = false;
        return 0;
    }
    if (!FindDataArea(dataArea)) return 0;
    auto index = lib.screens.Add();
    if (!index) return 0;
    Screen& screen = *lib.screens.slots[*index];
    screen.window = window;
    screen.dataArea = dataArea;
    screen.mode = mode;
    screen.flags = flags;
    screen.paper = paper;
    screen.box = box;
    screen.palette = DefaultPalette();
    screen.penColours = DefaultPalette();
    return MakeHandle(HandleKind::Screen, *index);
}

int32_t kq_purge_scrn_glb(int32_t screen) {
    const auto index = IndexOf(screen, HandleKind::Screen);
    if (!Lib().screens.Find(index)) return 0;
    Lib().screens.Remove(*index);
    if (Lib().purgeObserver) Lib().purgeObserver("screen", screen);
    return 1;
}

// --- Palette and display defaults ------------------------------------------

int32_t kq_get_default_palette(int32_t screen, KqColour* table) {
    if (!FindScreen(screen) || !table) return 0;
    std::copy(DefaultPalette().begin(), DefaultPalette().end(), table);
    return 1;
}

int32_t kq_create_palette(int32_t screen, const KqColour* table, int32_t lastIndex) {
    Screen* s = FindScreen(screen);
    if (!s || !table) return 0;
    const int last = std::clamp(lastIndex, 0, kPaletteSize - 1);
    std::copy(table, table + last + 1, s->palette.begin());
    return 1;
}

int32_t kq_set_pencolors(int32_t screen, const KqColour* table) {
    Screen* s = FindScreen(screen);
    if (!s || !table) return 0;
    std::copy(table, table + kPaletteSize, s->penColours.begin());
    return 1;
}

int32_t kq_set_sys_panpercent(int32_t dataArea, int32_t percent) {
    DataArea* area = FindDataArea(dataArea);
    if (!area) return 0;
    const int32_t previous = area->system.panPercent;
    area->system.panPercent = percent;
    return previous;
}

int32_t kq_set_font_path(int32_t screen, const char* path) {
    return WithScreen(screen, [&](Screen& target) { target.fontPath = Safe(path); });
}

int32_t kq_set_fillstyle(int32_t screen, int32_t style) {
    return WithScreen(screen, [&](Screen& target) { target.fillStyle = style; });
}

int32_t kq_set_fillmode(int32_t screen, int32_t mode) {
    return WithScreen(screen, [&](Screen& target) { target.fillMode = mode; });
}

int32_t kq_setfillstyle(int32_t screen, int32_t style, int32_t colour) {
    return WithScreen(screen, [&](Screen& target) {
        target.hatchStyle = style;
        target.hatchColour = colour;
    });
}

int32_t kq_set_dxf_hatch_form(int32_t screen, int32_t form) {
    Screen* s = FindScreen(screen);
    if (!s || (form != KQ_DXF_HATCH_ENTITY && form != KQ_DXF_HATCH_LINES)) return 0;
    s->dxfHatchForm = form;
    return 1;
}

int32_t kq_set_dxf_version(int32_t screen, int32_t version) {
    static constexpr std::pair<int32_t, DxfVersion> kVersions[] = {
        {KQ_DXF_R12, DxfVersion::R12},    {KQ_DXF_2000, DxfVersion::R2000},
        {KQ_DXF_2004, DxfVersion::R2004}, {KQ_DXF_2007, DxfVersion::R2007},
        {KQ_DXF_2010, DxfVersion::R2010}, {KQ_DXF_2013, DxfVersion::R2013},
        {KQ_DXF_2018, DxfVersion::R2018},
    };
    Screen* s = FindScreen(screen);
    const auto* known = std::find_if(std::begin(kVersions), std::end(kVersions),
                                     [&](const auto& entry) { return entry.first == version; });
    if (!s || known == std::end(kVersions)) return 0;
    s->dxfTarget.version = known->second;
    return 1;
}

int32_t kq_set_dxf_units(int32_t screen, int32_t units) {
    Screen* s = FindScreen(screen);
    if (!s || (units != KQ_DXF_INCHES && units != KQ_DXF_MILLIMETRES)) return 0;
    s->dxfTarget.unitScale = units == KQ_DXF_MILLIMETRES ? kMillimetres : kInches;
    return 1;
}

int32_t kq_set_dxf_layers(int32_t screen, int32_t layers) {
    Screen* s = FindScreen(screen);
    if (!s || (layers != KQ_DXF_LAYERS_AS_DRAWN && layers != KQ_DXF_LAYERS_BY_KIND)) return 0;
    s->dxfTarget.layers = layers == KQ_DXF_LAYERS_BY_KIND ? DxfLayers::ByKind : DxfLayers::AsDrawn;
    return 1;
}

int32_t kq_set_source_line(int32_t dataArea, int32_t line) {
    DataArea* area = FindDataArea(dataArea);
    if (!area) return 0;
    area->sourceLine = static_cast<uint32_t>(std::max(0, line));
    return 1;
}

int32_t kq_dxf_notice_count(int32_t screen) {
    const Screen* s = FindScreen(screen);
    return s ? static_cast<int32_t>(s->dxfNotices.size()) : 0;
}

const platform::Warning* kq_dxf_notice(int32_t screen, int32_t index, int32_t* line) {
    const Screen* s = FindScreen(screen);
    if (!s || index < 0 || static_cast<size_t>(index) >= s->dxfNotices.size()) return nullptr;
    const DxfNotice& notice = s->dxfNotices[static_cast<size_t>(index)];
    if (line) *line = static_cast<int32_t>(notice.line);
    return &notice.warning;
}

uint64_t kq_dxf_notices_untold(int32_t screen) {
    const Screen* s = FindScreen(screen);
    return s ? s->dxfNoticesUntold : 0;
}

int32_t kq_set_window_ansic(int32_t screen, int32_t flag) {
    Screen* s = FindScreen(screen);
    if (!s) return 0;
    const int32_t previous = s->windowAnsi;
    s->windowAnsi = flag;
    return previous;
}

// --- Layers ----------------------------------------------------------------

int32_t kq_create_layer_tbl(const char* name) {
    return MakePending(Lib().pendingLayers, HandleKind::LayerRecord, name);
}

int32_t kq_set_layer_status(int32_t entry, int32_t status) {
    Layer* layer = FindPendingLayer(entry);
    if (!layer) return 0;
    layer->status = status;
    return 1;
}

int32_t kq_set_layer_color(int32_t entry, int32_t colour) {
    Layer* layer = FindPendingLayer(entry);
    if (!layer) return 0;
    layer->colour = colour;
    return 1;
}

int32_t kq_update_layer_table(int32_t dataArea, int32_t, int32_t entry) {
    DataArea* area = FindDataArea(dataArea);
    if (!area || !FindPendingLayer(entry)) return 0;
    return StorePending(Lib().pendingLayers, HandleKind::LayerRecord, entry, area->layers) + 1;
}

int32_t kq_assign_layer(int32_t screen, const char* name) {
    return WithScreen(screen, [&](Screen& target) { target.assignedLayers = Safe(name); });
}

namespace {

int32_t SetLayerVisibility(int32_t screen, const char* name, bool visible) {
    Screen* s = FindScreen(screen);
    if (!s || !name) return 0;
    if (SameName(name, "KQ_ALL")) {
        s->layersVisibleByDefault = visible;
        s->layerVisibility.clear();
        return 1;
    }
    for (auto& [layer, shown] : s->layerVisibility) {
        if (SameName(layer, name)) {
            shown = visible;
            return 1;
        }
    }
    s->layerVisibility.emplace_back(name, visible);
    return 1;
}

} // namespace

int32_t kq_set_layer_off(int32_t screen, const char* name) {
    return SetLayerVisibility(screen, name, false);
}
int32_t kq_set_layer_on(int32_t screen, const char* name) {
    return SetLayerVisibility(screen, name, true);
}

// --- Viewports -------------------------------------------------------------

int32_t kq_create_vport_tbl(const char* name) {
    return MakePending(Lib().pendingViewports, HandleKind::ViewportRecord, name);
}

int32_t kq_set_vport_bdry(double x1, double y1, double x2, double y2, int32_t entry) {
    ViewportRecord* record = FindPendingViewport(entry);
    if (!record) return 0;
    record->boundary = {x1, y1, x2, y2};
    return 1;
}

int32_t kq_set_vport_view(double dirX, double dirY, double dirZ, double v1, double v2, double v3,
                          double v4, int32_t entry) {
    ViewportRecord* record = FindPendingViewport(entry);
    if (!record) return 0;
    record->view = {dirX, dirY, dirZ, v1, v2, v3, v4};
    return 1;
}

int32_t kq_update_vport_table(int32_t dataArea, int32_t, int32_t entry) {
    DataArea* area = FindDataArea(dataArea);
    if (!area || !FindPendingViewport(entry)) return 0;
    return StorePending(Lib().pendingViewports, HandleKind::ViewportRecord, entry,
                        area->viewports) +
           1;
}

int32_t kq_assign_vport(int32_t screen, const char* name) {
    Screen* s = FindScreen(screen);
    DataArea* area = s ? DataAreaOf(*s) : nullptr;
    if (!area) return 0;
    s->assignedViewports = Safe(name);
    s->viewports.resize(area->viewports.size());
    return 1;
}

int32_t kq_get_vport_id(int32_t screen, const char* name) {
    Screen* s = FindScreen(screen);
    DataArea* area = s ? DataAreaOf(*s) : nullptr;
    if (!area || !name) return 0;
    return area->FindViewport(name) + 1;
}

// kq_set_vport_world, kq_reset_vport and kq_set_vport_status: display/viewports.cpp.

// --- Line types and text styles --------------------------------------------

int32_t kq_create_default_line_types(int32_t dataArea) {
    DataArea* area = FindDataArea(dataArea);
    if (!area) return 0;
    const LineType defaults[] = {
        {"CONTINUOUS", "Solid line", {}},
        {"HIDDEN", "Hidden __ __ __ __ __ __ __ __ __ __ __ __ __ __", {0.25, -0.125}},
        {"DASHDOT", "Dash dot __ . __ . __ . __ . __ . __ . __ . __", {0.5, -0.25, 0.0, -0.25}},
        {"CENTER", "Center ____ _ ____ _ ____ _ ____ _ ____ _ ____", {1.25, -0.25, 0.25, -0.25}},
        {"DOT", "Dot . . . . . . . . . . . . . . . . . . . . . . . .", {0.0, -0.25}},
    };
    for (const LineType& type : defaults)
        StoreRecord(area->lineTypes, LineType(type));
    return 1;
}

int32_t kq_assign_line_style(int32_t screen, const char* name) {
    return WithScreen(screen, [&](Screen& target) { target.assignedLineStyles = Safe(name); });
}

int32_t kq_create_style_tbl(const char* name) {
    return MakePending(Lib().pendingStyles, HandleKind::StyleRecord, name);
}

int32_t kq_set_truetype_font(const char* font, int32_t entry) {
    TextStyle* style = FindPendingStyle(entry);
    if (!style) return 0;
    style->trueTypeFont = Safe(font);
    return 1;
}

int32_t kq_set_primary_font(const char* font, int32_t entry) {
    TextStyle* style = FindPendingStyle(entry);
    if (!style) return 0;
    style->primaryFont = Safe(font);
    return 1;
}

int32_t kq_update_style_table(int32_t dataArea, int32_t, int32_t entry) {
    DataArea* area = FindDataArea(dataArea);
    if (!area || !FindPendingStyle(entry)) return 0;
    return StorePending(Lib().pendingStyles, HandleKind::StyleRecord, entry, area->styles) + 1;
}

// --- System values ---------------------------------------------------------

int32_t kq_set_sys_penwidth(int32_t dataArea, int32_t width) {
    return WithDataArea(dataArea, [&](DataArea& target) { target.system.penWidth = width; });
}

double kq_set_sys_ltscale(int32_t dataArea, double scale) {
    DataArea* area = FindDataArea(dataArea);
    if (!area) return 0;
    const double previous = area->system.lineTypeScale;
    area->system.lineTypeScale = scale;
    return previous;
}

int32_t kq_set_sys_ltype(int32_t dataArea, const char* name) {
    DataArea* area = FindDataArea(dataArea);
    if (!area || !name) return 0;
    const int index = area->FindLineType(name);
    if (index < 0) return 0;
    area->system.lineType = static_cast<uint16_t>(index);
    return 1;
}

int32_t kq_set_sys_qtextmode(int32_t dataArea, int32_t mode) {
    return WithDataArea(dataArea, [&](DataArea& target) { target.system.quickTextMode = mode; });
}

const char* kq_last_error() {
    return Lib().lastError.c_str();
}

// --- Test controls ---------------------------------------------------------

namespace cadlib::testing {

void RefuseNextDataArea() {
    Lib().refuseDataArea = true;
}
void RefuseNextScreen() {
    Lib().refuseScreen = true;
}
void RefuseTableEntry(const std::string& name) {
    Lib().refusedNames.push_back(name);
}

void ClearRefusals() {
    Lib().refuseDataArea = false;
    Lib().refuseScreen = false;
    Lib().refusedNames.clear();
}

void SetPurgeObserver(std::function<void(const std::string&, int32_t)> observer) {
    Lib().purgeObserver = std::move(observer);
}

void ResetLibrary() {
    Lib() = Library{};
    ResetMaxHatchWork();
    CutOnePieceFewerWhenWritten(false);
}

} // namespace cadlib::testing

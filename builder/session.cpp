#include "builder/session.h"

#include "builder/text.h"
#include "cadlib/kq.h"
#include "platform/message_box.h"
#include "platform/module_state.h"
#include "platform/printer.h"
#include "platform/warnings.h"
#include "platform/window_handles.h"

#include <algorithm>
#include <cstdint>

namespace builder {

namespace {

struct PaperSize {
    double width, height;
    int16_t orientation;
    float pageHeight, pageWidth; // printer page extents, hundredths of an inch
};

PaperSize LookUpPaper(std::string_view code) {
    if (code == "C") return {0.0, 0.0, 2, 0.0f, 0.0f}; // custom size: nothing supplies it
    if (code == "B" || code == "T") return {17.0, 11.0, 2, 1100.0f, 1700.0f};
    if (code == "L") return {11.0, 8.5, 2, 850.0f, 1100.0f};
    return {8.5, 11.0, 1, 1100.0f, 850.0f};
}

void ShowSessionMessage(std::string_view text) {
    platform::ShowMessage(text, kSessionMessageTitle);
}

struct LayerRow {
    const char* name;
    const char* failure;
};

constexpr LayerRow kLayers[] = {
    {"MAIN", "Could Not Create FONT Layer Table"},
    {"QFENCE", "Could Not Create QFENCE Layer Table"},
    {"BORDER", "Could Not Create BORDER Layer Table"},
};

struct ViewportRow {
    const char* name;
    double boundary[4];
    double direction[3];
    const char* failure;
};

constexpr ViewportRow kViewports[] = {
    {"TOPVIEW", {0.0, 0.0, 1.0, 1.0}, {0, 0, 1}, "Could Not Create TOPVIEW VPORT Table"},
    {"3D270", {0.25, 0.25, 0.75, 0.75}, {0, -1, 1}, "Could Not Create 3DVIEW VPORT Table"},
    {"3D0", {0.25, 0.25, 0.75, 0.75}, {1, 0, 1}, "Could Not Create 3DVIEW VPORT Table"},
    {"3D90", {0.25, 0.25, 0.75, 0.75}, {0, 1, 1}, "Could Not Create 3DVIEW VPORT Table"},
    {"3D180", {0.25, 0.25, 0.75, 0.75}, {-1, 0, 1}, "Could Not Create 3DVIEW VPORT Table"},
};

void SetUpColoursAndDisplay(SessionState& s) {
    kq_get_default_palette(s.ScreenHandle, s.ColourTable.data());
    kq_set_sys_panpercent(s.DataAreaHandle, 0);
    s.ColourTable[kWhiteColour] = {255 / 255.0f, 255 / 255.0f, 255 / 255.0f};
    s.ColourTable[kBlackColour] = {0 / 255.0f, 0 / 255.0f, 0 / 255.0f};
    kq_create_palette(s.ScreenHandle, s.ColourTable.data(), 255);
    kq_set_pencolors(s.ScreenHandle, s.ColourTable.data());
    kq_set_font_path(s.ScreenHandle, kFontConfigurationPath);
    kq_set_fillstyle(s.ScreenHandle, 1);
    kq_set_fillmode(s.ScreenHandle, 1);
    kq_set_window_ansic(s.ScreenHandle, 0);
}

void SetUpTables(SessionState& s) {
    CreateLayers();
    kq_assign_layer(s.ScreenHandle, "KQ_ALL");
    kq_set_layer_off(s.ScreenHandle, "KQ_ALL");
    kq_set_layer_on(s.ScreenHandle, "0");
    CreateViewports();
    kq_assign_vport(s.ScreenHandle, "KQ_ALL");
    s.CurrentViewport = kq_get_vport_id(s.ScreenHandle, "TOPVIEW");
    kq_set_vport_world(s.ScreenHandle, s.CurrentViewport, s.PageRect);
    kq_reset_vport(s.ScreenHandle, s.CurrentViewport);
    kq_set_vport_status(s.ScreenHandle, 0, 0);
    kq_set_vport_status(s.ScreenHandle, 1, s.CurrentViewport);
    s.ScreenViewport = s.CurrentViewport;
    kq_create_default_line_types(s.DataAreaHandle);
    kq_assign_line_style(s.ScreenHandle, "KQ_ALL");
    CreateTextStyle("MYTEXT", "ROMAND", "Comic Sans MS");
    kq_reset_vport(s.ScreenHandle, 9000);
}

} // namespace

SessionState& Session() {
    return platform::ModuleState<SessionState, platform::StateScope::Drawing>();
}

void OpenDrawingSession(std::string_view paperCode) {
    SessionState& s = Session();
    // The set-up frees the display before the data area it shows, as the
    // classic start of a drawing did; the close then frees the data area.
    if (s.ScreenHandle != 0) {
        kq_purge_scrn_glb(s.ScreenHandle);
        s.ScreenHandle = 0;
    }
    CloseDrawingSession();
    Text().TextHeight = 0.15;

    const PaperSize paper = LookUpPaper(paperCode);
    platform::PrinterSettings& printer = platform::DefaultPrinter();
    printer.orientation = paper.orientation;
    printer.pageHeight = paper.pageHeight;
    printer.pageWidth = paper.pageWidth;
    printer.paperSetting = 5;

    s.DataAreaHandle = kq_create_data_area();
    if (s.DataAreaHandle == 0) {
        ShowSessionMessage("Could Not Create DO-DEZ Data Area");
    } else {
        KqRect2 paperRect;
        KqRect3 box;
        kq_set_rect_2d(0.0, 0.0, paper.width, paper.height, paperRect);
        kq_set_rect_3d(-1.0, -1.0, -1.0, 1.0, 1.0, 1.0, box);
        kq_set_rect_2d(0.0, 0.0, paper.width, paper.height, s.PageRect);
        s.ScreenHandle =
            kq_init_drawing(platform::MainWindowHandle(), s.DataAreaHandle, 7, 0, paperRect, box);
        if (s.ScreenHandle == 0) {
            ShowSessionMessage("Could Not Create DO-DEZ View");
        } else {
            SetUpColoursAndDisplay(s);
            SetUpTables(s);
        }
    }
    SelectViewport("TOPVIEW");
    kq_set_sys_penwidth(s.DataAreaHandle, 0);
}

void CloseDrawingSession() {
    SessionState& s = Session();
    if (s.DataAreaHandle != 0) kq_purge_data_area(s.DataAreaHandle);
    if (s.ScreenHandle != 0) kq_purge_scrn_glb(s.ScreenHandle);
    s.DataAreaHandle = s.ScreenHandle = 0;
}

void AtCommandLine(long line) {
    kq_set_source_line(Session().DataAreaHandle,
                       static_cast<int32_t>(std::clamp<long>(line, 0, INT32_MAX)));
}

void CreateTextStyle(const std::string& styleName, const std::string& primaryFont,
                     const std::string& trueTypeFont) {
    const int32_t entry = kq_create_style_tbl(styleName.c_str());
    if (entry == 0) return;
    kq_set_truetype_font(trueTypeFont.c_str(), entry);
    kq_set_primary_font(primaryFont.c_str(), entry);
    kq_update_style_table(Session().DataAreaHandle, 0, entry);
}

void CreateLayers() {
    for (const LayerRow& row : kLayers) {
        const int32_t entry = kq_create_layer_tbl(row.name);
        if (entry == 0) {
            ShowSessionMessage(row.failure);
            continue;
        }
        kq_set_layer_status(entry, 128);
        kq_set_layer_color(entry, 0);
        kq_update_layer_table(Session().DataAreaHandle, 0, entry);
    }
}

void CreateViewports() {
    for (const ViewportRow& row : kViewports) {
        const int32_t entry = kq_create_vport_tbl(row.name);
        if (entry == 0) {
            ShowSessionMessage(row.failure);
            continue;
        }
        kq_set_vport_bdry(row.boundary[0], row.boundary[1], row.boundary[2], row.boundary[3],
                          entry);
        kq_set_vport_view(row.direction[0], row.direction[1], row.direction[2], 1.0, 0.0, 0.0,
                          1000000.0, entry);
        kq_update_vport_table(Session().DataAreaHandle, 0, entry);
    }
}

void SelectViewport(const std::string& name) {
    SessionState& s = Session();
    kq_set_vport_status(s.ScreenHandle, 0, -1);
    s.CurrentViewport = kq_get_vport_id(s.ScreenHandle, name.c_str());
    kq_set_vport_status(s.ScreenHandle, 1, s.CurrentViewport);
}

bool AppendEntity(int32_t entity) {
    if (entity == 0) {
        platform::TellWarning(platform::DrawsNothing());
        return false;
    }
    kq_update_entity_list(Session().DataAreaHandle, 0, entity);
    return true;
}

} // namespace builder

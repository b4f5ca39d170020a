#include "support/dxf_session.h"

#include "cadlib/testing.h"

#include <array>

namespace testsupport {

KqPoint3 Point(double x, double y, double z) {
    KqPoint3 point;
    kq_set_pnt_3d(x, y, z, point);
    return point;
}

KqFillLine FillLine(double angle, double baseX, double baseY, double along, double across,
                    double dash, double gap, double scale) {
    KqFillLine line;
    kq_set_fill_pattern(angle, baseX, baseY, along, across, dash, gap, 0, 0, 0, 0, 0, 0, 0, 2,
                        scale, line);
    return line;
}

void DxfSessionTest::SetUp() {
    cadlib::testing::ResetLibrary();
    area_ = kq_create_data_area();
    KqRect2 paper;
    kq_set_rect_2d(0, 0, 8.5, 11, paper);
    KqRect3 box;
    kq_set_rect_3d(-1, -1, -1, 1, 1, 1, box);
    screen_ = kq_init_drawing(0, area_, 7, 0, paper, box);
    ASSERT_NE(screen_, 0);

    std::array<KqColour, kPaletteSize> palette;
    kq_get_default_palette(screen_, palette.data());
    palette[21] = {1, 1, 1};
    palette[22] = {0, 0, 0};
    kq_create_palette(screen_, palette.data(), 255);

    for (const char* name : {"MAIN", "QFENCE", "BORDER"}) {
        const int32_t entry = kq_create_layer_tbl(name);
        kq_set_layer_status(entry, 128);
        kq_set_layer_color(entry, 0);
        ASSERT_NE(kq_update_layer_table(area_, 0, entry), 0);
    }
    AddViewport("TOPVIEW", 0, 0, 1);
    AddViewport("FRONTVIEW", 0, -1, 0);
    AddViewport("ISOVIEW", 1, -1, 1);
    kq_create_default_line_types(area_);
    AddStyle("MYTEXT", "ROMAND", "Comic Sans MS");
    AddStyle("PLAIN", "ROMAND", "");
}

void DxfSessionTest::TearDown() {
    cadlib::testing::ResetLibrary();
}

void DxfSessionTest::AddViewport(const char* name, double x, double y, double z) {
    const int32_t entry = kq_create_vport_tbl(name);
    kq_set_vport_bdry(0, 0, 1, 1, entry);
    kq_set_vport_view(x, y, z, 1, 0, 0, 1000000, entry);
    ASSERT_NE(kq_update_vport_table(area_, 0, entry), 0);
}

void DxfSessionTest::AddStyle(const char* name, const char* primary, const char* trueType) {
    const int32_t entry = kq_create_style_tbl(name);
    kq_set_truetype_font(trueType, entry);
    kq_set_primary_font(primary, entry);
    ASSERT_NE(kq_update_style_table(area_, 0, entry), 0);
}

int32_t DxfSessionTest::Append(int32_t entity) {
    EXPECT_NE(entity, 0);
    EXPECT_EQ(kq_update_entity_list(area_, 0, entity), 1);
    return entity;
}

int32_t DxfSessionTest::Line(double x1, double y1, double x2, double y2, int32_t colour) {
    const int32_t entity = Append(kq_construct_line(area_, Point(x1, y1), Point(x2, y2)));
    if (colour != cadlib::kNoColour) kq_set_entity_color(entity, colour);
    return entity;
}

int32_t DxfSessionTest::Polyline(int32_t kind, const std::vector<KqPoint3>& points) {
    return Append(
        kq_construct_polyline(area_, kind, points.data(), static_cast<int32_t>(points.size())));
}

int32_t DxfSessionTest::Square(int32_t kind, double x, double y, double side) {
    return Polyline(
        kind, {Point(x, y), Point(x + side, y), Point(x + side, y + side), Point(x, y + side)});
}

int32_t DxfSessionTest::Text(const char* content, const char* style, int32_t horizontal,
                             int32_t vertical, double rotation, int32_t flags) {
    const int32_t entity =
        Append(kq_construct_text(area_, Point(1, 2), content, 0.125, 1.0, 0, rotation, horizontal,
                                 vertical, flags, Point(1.5, 2.25)));
    if (style) kq_set_text_name(kq_get_entity_data(entity), style);
    return entity;
}

void DxfSessionTest::FillSolid(int32_t entity, int32_t colour) {
    kq_set_entity_color(entity, colour);
    kq_set_entity_fillstyle(entity, 1);
    kq_set_entity_fillmode(entity, 1);
}

void DxfSessionTest::FillPattern(int32_t entity, const std::vector<KqFillLine>& lines,
                                 const char* name) {
    ASSERT_EQ(kq_filluser_named_entity(screen_, lines.data(), static_cast<int32_t>(lines.size()),
                                       name, entity),
              1);
}

} // namespace testsupport

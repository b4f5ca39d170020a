// The DXF writer: drawings built through the kq_* calls, written with
// kq_output_dxf_file, checked for structure and read back by an independent
// reader (ezdxf through tools/dxf_probe.py); and the failure paths.
#include "cadlib/database.h"
#include "cadlib/dxf/stream.h"
#include "cadlib/dxf/values.h"
#include "cadlib/geometry/text_faces.h"
#include "cadlib/kq.h"
#include "cadlib/testing.h"
#include "platform/runtime_error.h"
#include "platform/text_encoding.h"
#include "platform/warnings.h"
#include "support/dxf_check.h"
#include "support/dxf_probe.h"
#include "support/dxf_session.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <numbers>
#include <regex>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::DxfProbe;
using testsupport::FillLine;
using testsupport::Point;
using testsupport::ProbeRecord;

constexpr double kExact = 1e-9;

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Files in `folder` other than the ones named: leftovers of a temporary file.
std::vector<std::string> OtherFiles(const fs::path& folder, std::vector<std::string> expected) {
    std::vector<std::string> others;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (std::find(expected.begin(), expected.end(), name) == expected.end()) {
            others.push_back(name);
        }
    }
    return others;
}

void ExpectNumbers(const std::vector<double>& actual, const std::vector<double>& expected,
                   const std::string& what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(actual[i], expected[i], kExact) << what << " [" << i << "]";
    }
}

std::vector<std::string> Types(const DxfProbe& probe) {
    std::vector<std::string> types;
    for (const ProbeRecord& entity : probe.entities)
        types.push_back(entity.Str("type"));
    return types;
}

class DxfWriterTest : public testsupport::DxfSessionTest {
  protected:
    fs::path PathOf(const std::string& name) const { return folder_.Path() / name; }

    // Writes the drawing, checks the file's own structure and the reader's
    // audit, and returns what the reader read.
    DxfProbe WriteAndRead(const std::string& name = "drawing.dxf") {
        const fs::path path = PathOf(name);
        EXPECT_EQ(kq_output_dxf_file(screen_, path.c_str()), 1) << kq_last_error();
        for (const std::string& problem : testsupport::CheckDxfStructure(path)) {
            ADD_FAILURE() << problem;
        }
        DxfProbe probe = testsupport::ProbeDxf(path);
        EXPECT_TRUE(probe.read) << probe.diagnostics;
        std::string messages;
        for (const std::string& message : probe.auditMessages)
            messages += message + "\n";
        EXPECT_EQ(probe.auditErrors, 0) << messages;
        EXPECT_EQ(probe.auditFixes, 0) << messages;
        EXPECT_EQ(probe.recoverErrors, 0);
        EXPECT_EQ(probe.recoverFixes, 0);
        return probe;
    }

    struct Notice {
        int32_t line = 0;
        std::string text;
    };
    // What the last output told.
    std::vector<Notice> Notices() const {
        std::vector<Notice> notices;
        for (int32_t i = 0; i < kq_dxf_notice_count(screen_); ++i) {
            Notice notice;
            notice.text = platform::WarningText(*kq_dxf_notice(screen_, i, &notice.line));
            notices.push_back(notice);
        }
        return notices;
    }

    testsupport::TempFolder folder_;
};

TEST_F(DxfWriterTest, LinesKeepTheirLineTypeScaleColourAndLineweight) {
    kq_set_sys_ltscale(area_, 0.25);
    kq_set_sys_ltype(area_, "HIDDEN");
    kq_set_sys_penwidth(area_, 3);
    Line(1.5, 2.25, 7.125, 2.25, 1);
    kq_set_sys_ltype(area_, "CONTINUOUS");
    kq_set_sys_penwidth(area_, 0);
    const int32_t second =
        Append(kq_construct_line(area_, Point(0.1, 0.2, 0.3), Point(-1e-7, 1e6)));
    kq_set_entity_penwidth(second, 1);

    const DxfProbe probe = WriteAndRead();
    ASSERT_EQ(Types(probe), (std::vector<std::string>{"LINE", "LINE"}));
    const ProbeRecord& first = probe.entities[0];
    EXPECT_EQ(first.Str("layer"), "0");
    EXPECT_EQ(first.Str("linetype"), "HIDDEN");
    EXPECT_EQ(first.Num("ltscale"), 0.25);
    EXPECT_EQ(first.Int("color"), 1);
    EXPECT_EQ(first.Int("true_color"), -1);
    EXPECT_EQ(first.Int("lineweight"), 80); // 3 hundredths of an inch = 0.762 mm
    ExpectNumbers(first.Nums("start"), {1.5, 2.25, 0}, "start");
    ExpectNumbers(first.Nums("end"), {7.125, 2.25, 0}, "end");

    const ProbeRecord& line = probe.entities[1];
    EXPECT_EQ(line.Str("linetype"), "CONTINUOUS");
    EXPECT_EQ(line.Num("ltscale"), 0.25); // the scale stays in force
    EXPECT_EQ(line.Int("color"), 7);
    EXPECT_EQ(line.Int("lineweight"), 25);
    // Shortest round-trip numbers read back exactly.
    EXPECT_EQ(line.Nums("start"), (std::vector<double>{0.1, 0.2, 0.3}));
    EXPECT_EQ(line.Nums("end"), (std::vector<double>{-1e-7, 1e6, 0}));
}

// An arc runs counter-clockwise from its start angle to its end angle, both
// written in [0, 360) whatever turns the drawing gave them: 0 never as 360.
TEST_F(DxfWriterTest, ArcAnglesReadBackWithinOneTurn) {
    const struct {
        double start, end, writtenStart, writtenEnd;
    } arcs[] = {
        {0, 90, 0, 90},   {90, 0, 90, 0},           {0, 360, 0, 0},      {360, 90, 0, 90},
        {-90, 0, 270, 0}, {-30, -60, 330, 300},     {720, -450, 0, 270}, {-1e-14, 90, 0, 90},
        {45, 45, 45, 45}, {179.5, 540, 179.5, 180},
    };
    for (const auto& arc : arcs)
        Append(kq_construct_arc(area_, Point(1, 1), 0.5, arc.start, arc.end));
    const DxfProbe probe = WriteAndRead();
    ASSERT_EQ(probe.entities.size(), std::size(arcs));
    for (size_t i = 0; i < std::size(arcs); ++i) {
        const ProbeRecord& written = probe.entities[i];
        EXPECT_EQ(written.Num("start_angle"), arcs[i].writtenStart) << arcs[i].start;
        EXPECT_EQ(written.Num("end_angle"), arcs[i].writtenEnd) << arcs[i].end;
    }
}

TEST_F(DxfWriterTest, CirclesArcsAndTextsReadBack) {
    Append(kq_construct_circle(area_, Point(2, 3, 0.5), 0.75));
    Append(kq_construct_arc(area_, Point(4, 5), 1.25, 30, 150));
    Append(kq_construct_arc(area_, Point(4, 5), 0.5, 300, 45));
    Text("Boring B-1", "MYTEXT", 1, 2, 30);
    Text("right top mirrored", "PLAIN", 2, 3, 0, 2);
    Text("no such style", "NOSUCH");
    Append(kq_construct_text(area_, Point(0.5, 0.5), "default style", 0.2, 0.8, 15, 0, 0, 0, 0,
                             Point(0.5, 0.5)));

    const DxfProbe probe = WriteAndRead();
    ASSERT_EQ(Types(probe),
              (std::vector<std::string>{"CIRCLE", "ARC", "ARC", "TEXT", "TEXT", "TEXT", "TEXT"}));
    const ProbeRecord& circle = probe.entities[0];
    ExpectNumbers(circle.Nums("center"), {2, 3, 0.5}, "centre");
    EXPECT_EQ(circle.Num("radius"), 0.75);

    const ProbeRecord& arc = probe.entities[1];
    ExpectNumbers(arc.Nums("center"), {4, 5, 0}, "arc centre");
    EXPECT_EQ(arc.Num("radius"), 1.25);
    EXPECT_EQ(arc.Num("start_angle"), 30);
    EXPECT_EQ(arc.Num("end_angle"), 150);
    EXPECT_EQ(probe.entities[2].Num("start_angle"), 300);
    EXPECT_EQ(probe.entities[2].Num("end_angle"), 45);

    const ProbeRecord& centred = probe.entities[3];
    EXPECT_EQ(centred.Str("text"), "Boring B-1");
    EXPECT_EQ(centred.Str("style"), "MYTEXT");
    // The first point is where the baseline starts (see FirstPointIsTheStart...).
    EXPECT_NE(centred.Nums("insert"), (std::vector<double>{1, 2, 0}));
    ExpectNumbers(centred.Nums("align_point"), {1.5, 2.25, 0}, "second point");
    EXPECT_EQ(centred.Num("height"), 0.125);
    EXPECT_EQ(centred.Num("rotation"), 30);
    EXPECT_EQ(centred.Num("width"), 1);
    EXPECT_EQ(centred.Int("halign"), 1);
    EXPECT_EQ(centred.Int("valign"), 2);
    EXPECT_EQ(centred.Int("flags"), 0);

    const ProbeRecord& mirrored = probe.entities[4];
    EXPECT_EQ(mirrored.Str("style"), "PLAIN");
    EXPECT_EQ(mirrored.Int("halign"), 2);
    EXPECT_EQ(mirrored.Int("valign"), 3);
    EXPECT_EQ(mirrored.Int("flags"), 2);

    EXPECT_EQ(probe.entities[5].Str("style"), "Standard");
    const ProbeRecord& plain = probe.entities[6];
    EXPECT_EQ(plain.Str("style"), "Standard");
    EXPECT_EQ(plain.Num("width"), 0.8);
    EXPECT_EQ(plain.Num("oblique"), 15);
    EXPECT_EQ(plain.Int("halign"), 0);
    EXPECT_EQ(plain.Int("valign"), 0);
    ExpectNumbers(plain.Nums("insert"), {0.5, 0.5, 0}, "left on the baseline: its own point");
}

// Readers that ignore the alignment put a text's baseline start on its first
// point: it is where the text the viewer measures starts, for every
// alignment, rotation and mirroring; the second point stays the alignment
// point. Aligned and fitted texts keep their two points.
TEST_F(DxfWriterTest, FirstPointIsTheStartOfTheBaselineForEveryAlignment) {
    struct Case {
        int32_t horizontal, vertical;
        double rotation;
        int32_t flags;
        double along, up; // expected, in text widths and heights from the second point
    };
    const char* const content = "Sandy CLAY";
    constexpr double kHeight = 0.125;
    const double descent = cadlib::DescentOf(cadlib::kLiberationSans);
    const std::vector<Case> cases = {
        {0, 2, 0, 0, 0, -0.5},
        {1, 2, 0, 0, -0.5, -0.5},
        {2, 2, 0, 0, -1, -0.5},
        {1, 3, 90, 0, -0.5, -1},
        {2, 1, 30, 0, -1, descent},
        {1, 0, 0, 0, -0.5, 0},
        {4, 0, 0, 0, -0.5, -(1 - descent) / 2},
        {2, 2, 0, 2, 1, -0.5},   // backwards: the text runs to the left of its end
        {1, 2, 0, 4, -0.5, 0.5}, // upside down
    };
    for (const Case& c : cases) {
        const int32_t entity =
            Append(kq_construct_text(area_, Point(1, 2), content, kHeight, 1.5, 0, c.rotation,
                                     c.horizontal, c.vertical, c.flags, Point(3, 4)));
        kq_set_text_name(kq_get_entity_data(entity), "ARIALTEXT");
    }
    AddStyle("ARIALTEXT", "ROMAND", "Arial");
    Append(kq_construct_text(area_, Point(1, 2), content, kHeight, 1, 0, 0, 3, 0, 0, Point(3, 4)));
    Append(kq_construct_text(area_, Point(1, 2), content, kHeight, 1, 0, 0, 5, 2, 0, Point(3, 4)));

    const DxfProbe probe = WriteAndRead();
    ASSERT_EQ(probe.entities.size(), cases.size() + 2);
    const double width = cadlib::TextAdvance(cadlib::kLiberationSans, content) * kHeight * 1.5;
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const double radians = c.rotation * std::numbers::pi / 180;
        const double u = c.along * width, v = c.up * kHeight;
        ExpectNumbers(probe.entities[i].Nums("insert"),
                      {3 + u * std::cos(radians) - v * std::sin(radians),
                       4 + u * std::sin(radians) + v * std::cos(radians), 0},
                      "case " + std::to_string(i));
        ExpectNumbers(probe.entities[i].Nums("align_point"), {3, 4, 0}, "alignment point");
    }
    for (size_t i = cases.size(); i < probe.entities.size(); ++i)
        ExpectNumbers(probe.entities[i].Nums("insert"), {1, 2, 0}, "aligned or fitted");
}

TEST_F(DxfWriterTest, PolylinesAndSolidAreas) {
    Polyline(cadlib::kPolylineOpen, {Point(0, 0), Point(1, 0.5), Point(2, 0)});
    Square(cadlib::kPolylineClosed, 1, 1, 0.5);
    Square(cadlib::kPolylineFilledArea, 2, 2, 0.5); // not filled: its outline
    // A solid white area: the hatch alone, with the exact page colour.
    FillSolid(Square(cadlib::kPolylineFilledArea, 3, 3, 0.25), 21);
    // Too few points for an area: the polyline instead of a hatch of no area.
    FillSolid(Polyline(cadlib::kPolylineFilledArea, {Point(4, 4), Point(5, 4)}), 22);
    // A closing vertex that repeats the first is not written twice.
    Polyline(cadlib::kPolylineClosed, {Point(6, 6), Point(7, 6), Point(7, 7), Point(6, 6)});
    // Fill on an open polyline does not make an area.
    FillSolid(Polyline(cadlib::kPolylineOpen, {Point(0, 8), Point(1, 8), Point(1, 9)}), 5);

    const DxfProbe probe = WriteAndRead();
    ASSERT_EQ(Types(probe),
              (std::vector<std::string>{"LWPOLYLINE", "LWPOLYLINE", "LWPOLYLINE", "HATCH",
                                        "LWPOLYLINE", "LWPOLYLINE", "LWPOLYLINE"}));
    const ProbeRecord& open = probe.entities[0];
    EXPECT_EQ(open.Int("closed"), 0);
    ExpectNumbers(open.Nums("points"), {0, 0, 1, 0.5, 2, 0}, "open points");
    EXPECT_EQ(probe.entities[1].Int("closed"), 1);
    ExpectNumbers(probe.entities[1].Nums("points"), {1, 1, 1.5, 1, 1.5, 1.5, 1, 1.5}, "square");
    EXPECT_EQ(probe.entities[2].Int("closed"), 1);

    const ProbeRecord& area = probe.entities[3];
    EXPECT_EQ(area.Str("pattern_name"), "SOLID");
    EXPECT_EQ(area.Int("solid"), 1);
    EXPECT_EQ(area.Int("true_color"), cadlib::kWhiteKept);
    EXPECT_EQ(area.Int("color"), 255); // the ACI white that is not 7
    const auto paths = area.Children("path");
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0]->Int("flags"), 3);
    EXPECT_EQ(paths[0]->Int("closed"), 1);
    ExpectNumbers(paths[0]->Nums("vertices"), {3, 3, 0, 3.25, 3, 0, 3.25, 3.25, 0, 3, 3.25, 0},
                  "boundary");

    EXPECT_EQ(probe.entities[4].Int("count"), 2);
    EXPECT_EQ(probe.entities[4].Int("true_color"), cadlib::kBlackKept);
    EXPECT_EQ(probe.entities[5].Int("count"), 3);
    EXPECT_EQ(probe.entities[6].Int("closed"), 0);
}

// Each hatch's one seed point lies inside its boundary, and its y is never 0:
// the seed is the hatch's last value line (WriteAndRead's structure check
// makes sure no hatch ends with a value line "0").
TEST_F(DxfWriterTest, EveryHatchHasOneSeedPointInsideItsBoundary) {
    // A square: its centre.
    FillSolid(Square(cadlib::kPolylineFilledArea, 1, 1, 2), 22);
    // A U whose centroid falls in the gap between its arms: the seed lies in
    // the widest stretch across its tallest band, the right arm.
    FillSolid(Polyline(cadlib::kPolylineFilledArea,
                       {Point(4, 4), Point(7, 4), Point(7, 8), Point(6, 8), Point(6, 5),
                        Point(5, 5), Point(5, 8), Point(4.5, 8), Point(4.5, 5), Point(4, 5)}),
              22);
    // A diamond on the x axis and a circle centred on it: seeds off the axis.
    FillSolid(Polyline(cadlib::kPolylineFilledArea,
                       {Point(-1, 0), Point(0, -1), Point(1, 0), Point(0, 1)}),
              22);
    FillSolid(Append(kq_construct_circle(area_, Point(3, 0), 0.5)), 22);
    // A pattern hatch carries its seed as well.
    FillPattern(Square(cadlib::kPolylineClosed, 0, 8, 1), {FillLine(45, 0, 0, 0, 0.1, 0, 0)});

    const DxfProbe probe = WriteAndRead();
    std::vector<std::vector<double>> seeds;
    for (const ProbeRecord& entity : probe.entities) {
        if (entity.Str("type") == "HATCH") seeds.push_back(entity.Nums("seeds"));
    }
    ASSERT_EQ(seeds.size(), 5u);
    for (const std::vector<double>& seed : seeds) {
        ASSERT_EQ(seed.size(), 2u);
        EXPECT_NE(seed[1], 0);
    }
    ExpectNumbers(seeds[0], {2, 2}, "square");
    EXPECT_GT(seeds[1][0], 6);
    EXPECT_LT(seeds[1][0], 7);
    EXPECT_GT(seeds[1][1], 5);
    EXPECT_LT(seeds[1][1], 8);
    EXPECT_LT(std::fabs(seeds[2][0]) + std::fabs(seeds[2][1]), 1) << "diamond";
    EXPECT_LT(std::hypot(seeds[3][0] - 3, seeds[3][1]), 0.5) << "circle";
    ExpectNumbers(seeds[4], {0.5, 8.5}, "pattern");
}

TEST_F(DxfWriterTest, FilledCircleIsItsCircleAndASolidHatch) {
    FillSolid(Append(kq_construct_circle(area_, Point(2, 3), 0.5)), 22);

    const DxfProbe probe = WriteAndRead();
    ASSERT_EQ(Types(probe), (std::vector<std::string>{"CIRCLE", "HATCH"}));
    for (const ProbeRecord& entity : probe.entities) {
        EXPECT_EQ(entity.Int("true_color"), cadlib::kBlackKept);
        EXPECT_NE(entity.Int("color"), 7);
    }
    const ProbeRecord& hatch = probe.entities[1];
    EXPECT_EQ(hatch.Int("solid"), 1);
    const auto paths = hatch.Children("path");
    ASSERT_EQ(paths.size(), 1u);
    // Two half circles: bulge 1 from the right end round to the left and back.
    ExpectNumbers(paths[0]->Nums("vertices"), {2.5, 3, 1, 1.5, 3, 1}, "circle boundary");
}

TEST_F(DxfWriterTest, ColoursFollowTheScreenPalette) {
    std::array<KqColour, kPaletteSize> palette;
    kq_get_default_palette(screen_, palette.data());
    palette[21] = {1, 1, 1};
    palette[22] = {0, 0, 0};
    palette[30] = {0.2f, 0.4f, 0.6f};
    kq_create_palette(screen_, palette.data(), 255);
    const int32_t colours[] = {0, cadlib::kNoColour, 5, 21, 22, 30, 300, -7, 256, 255};
    for (const int32_t colour : colours)
        Line(0, 0, 1, 1, colour);
    Line(0, 0, 1, 1); // never coloured

    const DxfProbe probe = WriteAndRead();
    ASSERT_EQ(probe.entities.size(), std::size(colours) + 1);
    const struct {
        int aci;
        int trueColour;
    } expected[] = {{7, -1},
                    {7, -1},
                    {5, -1},
                    {255, cadlib::kWhiteKept},
                    {250, cadlib::kBlackKept},
                    {cadlib::NearestAci(51, 102, 153), 0x336699},
                    {7, -1},
                    {7, -1},
                    {7, -1},
                    {255, -1},
                    {7, -1}};
    for (size_t i = 0; i < probe.entities.size(); ++i) {
        EXPECT_EQ(probe.entities[i].Int("color"), expected[i].aci) << "line " << i;
        EXPECT_EQ(probe.entities[i].Int("true_color"), expected[i].trueColour) << "line " << i;
    }
}

TEST(DxfValuesTest, NearestAciKeepsWhiteWhiteBlackBlackAndGreysGrey) {
    EXPECT_EQ(cadlib::NearestAci(255, 255, 255), 255);
    EXPECT_EQ(cadlib::NearestAci(0, 0, 0), 250);
    EXPECT_EQ(cadlib::NearestAci(255, 0, 0), 1);
    EXPECT_EQ(cadlib::NearestAci(0, 0, 255), 5);
    EXPECT_EQ(cadlib::NearestAci(128, 128, 128), 8);
    // Every ACI colour but 7 finds itself or an index of the same colour.
    const auto& aci = cadlib::DefaultPalette();
    for (int index = 1; index < kPaletteSize; ++index) {
        const auto level = [](float f) { return static_cast<int>(std::lround(f * 255)); };
        const KqColour& c = aci[index];
        const int found = cadlib::NearestAci(level(c.red), level(c.green), level(c.blue));
        EXPECT_NE(found, 7);
        if (index == 7) continue;
        EXPECT_EQ(aci[found].red, c.red) << index;
        EXPECT_EQ(aci[found].green, c.green) << index;
        EXPECT_EQ(aci[found].blue, c.blue) << index;
    }
}

TEST(DxfValuesTest, PenWidthsBecomeTheNearestStandardLineweight) {
    EXPECT_EQ(cadlib::NearestLineweight(0), 0);
    EXPECT_EQ(cadlib::NearestLineweight(-3), 0);
    EXPECT_EQ(cadlib::NearestLineweight(1), 25);  // 0.254 mm
    EXPECT_EQ(cadlib::NearestLineweight(2), 50);  // 0.508 mm
    EXPECT_EQ(cadlib::NearestLineweight(3), 80);  // 0.762 mm
    EXPECT_EQ(cadlib::NearestLineweight(4), 100); // 1.016 mm
    EXPECT_EQ(cadlib::NearestLineweight(6), 158); // 1.524 mm
    EXPECT_EQ(cadlib::NearestLineweight(8), 200); // 2.032 mm
    EXPECT_EQ(cadlib::NearestLineweight(1000), 211);
}

TEST_F(DxfWriterTest, PatternHatchCarriesTheFillLinesInDrawingSpace) {
    const std::vector<KqFillLine> lines = {
        FillLine(45, 0, 0, 0, 0.125, 0, 0),                // continuous rules
        FillLine(0, 0.5, 0.25, 0.0625, 0.125, 0, 0.125),   // dots
        FillLine(30, 0, 0, 0.1875, 0.125, 0.25, 0.125, 2), // dashes, scaled
        FillLine(90, 0, 0, 0, 0.2, 0.1, 0),                // a dash without gap: continuous
    };
    const int32_t square = Square(cadlib::kPolylineClosed, 1, 1, 2);
    FillPattern(square, lines);
    FillPattern(Append(kq_construct_circle(area_, Point(5, 5), 1)), lines);
    // A white area with a pattern on it, as the white rectangle fill makes it.
    const int32_t white = Square(cadlib::kPolylineFilledArea, 1, 6, 1);
    FillSolid(white, 21);
    FillPattern(white, {lines[0]});

    const DxfProbe probe = WriteAndRead();
    ASSERT_EQ(Types(probe), (std::vector<std::string>{"LWPOLYLINE", "HATCH", "CIRCLE", "HATCH",
                                                      "HATCH", "HATCH"}));
    const ProbeRecord& hatch = probe.entities[1];
    EXPECT_EQ(hatch.Int("solid"), 0);
    EXPECT_EQ(hatch.Int("pattern_type"), 2);
    EXPECT_EQ(hatch.Num("pattern_angle"), 0);
    EXPECT_EQ(hatch.Num("pattern_scale"), 1);
    EXPECT_EQ(hatch.Int("color"), 7); // pattern lines in ink
    EXPECT_EQ(hatch.Int("true_color"), -1);
    EXPECT_EQ(hatch.Str("pattern_name").substr(0, 3), "KQ_");
    const auto paths = hatch.Children("path");
    ASSERT_EQ(paths.size(), 1u);
    ExpectNumbers(paths[0]->Nums("vertices"), {1, 1, 0, 3, 1, 0, 3, 3, 0, 1, 3, 0}, "boundary");

    const auto pattern = hatch.Children("patternline");
    ASSERT_EQ(pattern.size(), 4u);
    EXPECT_EQ(pattern[0]->Num("angle"), 45);
    ExpectNumbers(pattern[0]->Nums("base"), {0, 0}, "base 1");
    ExpectNumbers(pattern[0]->Nums("offset"), {-0.08838834764831843, 0.08838834764831845},
                  "offset 1");
    ExpectNumbers(pattern[0]->Nums("dashes"), {}, "dashes 1");
    ExpectNumbers(pattern[1]->Nums("base"), {0.5, 0.25}, "base 2");
    ExpectNumbers(pattern[1]->Nums("offset"), {0.0625, 0.125}, "offset 2");
    ExpectNumbers(pattern[1]->Nums("dashes"), {0, -0.125}, "dashes 2");
    EXPECT_EQ(pattern[2]->Num("angle"), 30);
    ExpectNumbers(pattern[2]->Nums("offset"), {2 * 0.09987976320958225, 2 * 0.20200317547305482},
                  "offset 3");
    ExpectNumbers(pattern[2]->Nums("dashes"), {0.5, -0.25}, "dashes 3");
    ExpectNumbers(pattern[3]->Nums("offset"), {-0.2, 0}, "offset 4");
    ExpectNumbers(pattern[3]->Nums("dashes"), {}, "dashes 4");

    const ProbeRecord& round = probe.entities[3];
    EXPECT_EQ(round.Str("pattern_name"), hatch.Str("pattern_name")); // same lines, same name
    const auto circlePaths = round.Children("path");
    ASSERT_EQ(circlePaths.size(), 1u);
    ExpectNumbers(circlePaths[0]->Nums("vertices"), {6, 5, 1, 4, 5, 1}, "circle boundary");
    EXPECT_EQ(round.Children("patternline").size(), 4u);

    EXPECT_EQ(probe.entities[4].Int("solid"), 1);
    EXPECT_EQ(probe.entities[4].Int("true_color"), cadlib::kWhiteKept);
    const ProbeRecord& onWhite = probe.entities[5];
    EXPECT_EQ(onWhite.Int("solid"), 0);
    EXPECT_EQ(onWhite.Int("color"), 7);
    EXPECT_NE(onWhite.Str("pattern_name"), hatch.Str("pattern_name"));
}

TEST_F(DxfWriterTest, PatternHatchesCarryTheirNamesAndNeverShareOne) {
    const std::vector<KqFillLine> clay = {FillLine(45, 0, 0, 0, 0.1, 0, 0)};
    const std::vector<KqFillLine> other = {FillLine(0, 0, 0, 0, 0.1, 0, 0)};
    FillPattern(Square(cadlib::kPolylineClosed, 0, 0, 1), clay, "KQ_CL");
    FillPattern(Square(cadlib::kPolylineClosed, 1, 0, 1), clay, "KQ_CL");
    FillPattern(Square(cadlib::kPolylineClosed, 2, 0, 1), other, "KQ_CL"); // not the same lines
    FillPattern(Square(cadlib::kPolylineClosed, 3, 0, 1), clay, "KQ_SM");  // same lines, own name
    FillPattern(Square(cadlib::kPolylineClosed, 4, 0, 1), other, "KQ_A/B:C");
    FillPattern(Square(cadlib::kPolylineClosed, 5, 0, 1), other); // no name
    const DxfProbe probe = WriteAndRead();
    std::vector<std::string> names;
    for (const ProbeRecord& entity : probe.entities) {
        if (entity.Str("type") == "HATCH") names.push_back(entity.Str("pattern_name"));
    }
    ASSERT_EQ(names.size(), 6u);
    EXPECT_EQ(names[0], "KQ_CL");
    EXPECT_EQ(names[1], "KQ_CL");
    EXPECT_EQ(names[2], "KQ_CL_2");
    EXPECT_EQ(names[3], "KQ_SM");
    EXPECT_EQ(names[4], "KQ_A_B_C"); // what readers accept in a name
    EXPECT_EQ(names[5].substr(0, 3), "KQ_");
    EXPECT_EQ(names[5].size(), 11u); // named after its lines
}

TEST_F(DxfWriterTest, TheLineFormWritesEachPatternHatchAsOneBlockOfItsLines) {
    ASSERT_EQ(kq_set_dxf_hatch_form(screen_, 7), 0); // no such form: nothing changes
    ASSERT_EQ(kq_set_dxf_hatch_form(screen_, KQ_DXF_HATCH_LINES), 1);
    kq_set_sys_penwidth(area_, 5);
    kq_set_sys_ltype(area_, "HIDDEN");
    const std::vector<KqFillLine> lines = {
        FillLine(90, 0, 0, 0, 0.25, 0, 0),       // continuous rules
        FillLine(0, 0, 0.125, 0, 0.25, 0, 0.25), // dots
        FillLine(0, 0, 0, 0, 0.25, 0.1, 0.15),   // dashes
    };
    FillPattern(Square(cadlib::kPolylineClosed, 1, 1, 1), lines, "KQ_SM");
    FillPattern(Append(kq_construct_circle(area_, Point(4, 4), 0.5)), lines, "KQ_SM");
    const int32_t solid = Square(cadlib::kPolylineFilledArea, 6, 6, 1);
    FillSolid(solid, 22);

    const DxfProbe probe = WriteAndRead();
    ASSERT_EQ(Types(probe),
              (std::vector<std::string>{"LWPOLYLINE", "INSERT", "CIRCLE", "INSERT", "HATCH"}));
    EXPECT_EQ(probe.entities[4].Int("solid"), 1); // solid fills stay hatches
    for (const int i : {1, 3}) {
        const ProbeRecord& insert = probe.entities[i];
        EXPECT_EQ(insert.Str("layer"), "0"); // the hatch's
        EXPECT_EQ(insert.Str("linetype"), "HIDDEN");
        EXPECT_EQ(insert.Int("lineweight"), 120); // 5 hundredths of an inch = 1.27 mm
        EXPECT_EQ(insert.Int("color"), 7);        // pattern lines in ink
        EXPECT_EQ(insert.Str("name").substr(0, 2), "*U");
        EXPECT_EQ(insert.Int("block_flags") & 1, 1); // anonymous
        ExpectNumbers(insert.Nums("insert"), {0, 0, 0}, "insertion point");
        const auto inside = insert.Children("blockentity");
        EXPECT_EQ(static_cast<long long>(inside.size()), insert.Int("entities"));
        ASSERT_FALSE(inside.empty());
        int dots = 0;
        for (const ProbeRecord* line : inside) {
            ASSERT_EQ(line->Str("type"), "LINE");
            // The INSERT's layer, colour, line type and lineweight apply.
            EXPECT_EQ(line->Str("layer"), "0");
            EXPECT_EQ(line->Int("color"), 0);
            EXPECT_EQ(line->Str("linetype"), "ByBlock");
            EXPECT_EQ(line->Int("lineweight"), -2);
            const std::vector<double> start = line->Nums("start"), end = line->Nums("end");
            const double length = std::hypot(end[0] - start[0], end[1] - start[1]);
            EXPECT_GT(length, 0.005);
            if (std::fabs(length - 0.01) < kExact && start[1] == end[1]) ++dots;
        }
        EXPECT_GT(dots, 0);
    }
    EXPECT_NE(probe.entities[1].Str("name"), probe.entities[3].Str("name"));
    // The square: dots at (1.0 .. 2.0 step 0.25, 1.125 .. 1.875 step 0.25).
    int squareDots = 0;
    for (const ProbeRecord* line : probe.entities[1].Children("blockentity")) {
        const std::vector<double> start = line->Nums("start"), end = line->Nums("end");
        if (std::fabs(end[0] - start[0] - 0.01) < kExact && start[1] == end[1] &&
            std::fabs(std::fmod(start[1] - 0.125, 0.25)) < kExact) {
            ++squareDots;
        }
    }
    EXPECT_EQ(squareDots, 5 * 4);
}

TEST_F(DxfWriterTest, TheLineFormCutsPatternLinesAwayUnderALaterWhiteOrBlackArea) {
    ASSERT_EQ(kq_set_dxf_hatch_form(screen_, KQ_DXF_HATCH_LINES), 1);
    // Rules at y = 1, 1.25 ... 2.75 across x = 1 .. 3.
    FillPattern(Square(cadlib::kPolylineClosed, 1, 1, 2), {FillLine(0, 0, 0, 0, 0.25, 0, 0)});
    FillSolid(Square(cadlib::kPolylineFilledArea, 1.6, 1.6, 0.8), 21); // white
    FillSolid(Square(cadlib::kPolylineFilledArea, 1.1, 2.6, 0.3), 22); // black
    FillSolid(Square(cadlib::kPolylineFilledArea, 2.6, 1.1, 0.3), 3);  // a colour hides nothing
    const DxfProbe probe = WriteAndRead();
    ASSERT_EQ(Types(probe),
              (std::vector<std::string>{"LWPOLYLINE", "INSERT", "HATCH", "HATCH", "HATCH"}));
    const auto lines = probe.entities[1].Children("blockentity");
    // y = 1.75, 2 and 2.25 in two pieces each about the white area, y = 2.75
    // about the black one.
    ASSERT_EQ(lines.size(), 8u + 4u);
    for (const ProbeRecord* line : lines) {
        const std::vector<double> start = line->Nums("start"), end = line->Nums("end");
        const double y = start[1];
        if (y > 1.6 && y < 2.4) {
            EXPECT_TRUE(end[0] <= 1.6 + kExact || start[0] >= 2.4 - kExact);
        }
        if (y == 2.75) {
            EXPECT_TRUE(end[0] <= 1.1 + kExact || start[0] >= 1.4 - kExact);
        }
        if (y == 1.25) {
            EXPECT_NEAR(end[0] - start[0], 2, kExact);
        }
    }

    // The HATCH form is as ever.
    kq_set_dxf_hatch_form(screen_, KQ_DXF_HATCH_ENTITY);
    EXPECT_EQ(Types(WriteAndRead("hatches.dxf")),
              (std::vector<std::string>{"LWPOLYLINE", "HATCH", "HATCH", "HATCH", "HATCH"}));
}

TEST_F(DxfWriterTest, TheSelfCheckCatchesBrokenBlocks) {
    kq_set_dxf_hatch_form(screen_, KQ_DXF_HATCH_LINES);
    FillPattern(Square(cadlib::kPolylineClosed, 1, 1, 1), {FillLine(0, 0, 0, 0, 0.25, 0, 0)});
    const fs::path path = PathOf("blocks.dxf");
    ASSERT_EQ(kq_output_dxf_file(screen_, path.c_str()), 1);
    ASSERT_TRUE(testsupport::CheckDxfStructure(path).empty());
    const std::string sound = ReadFile(path);

    // The problems the check finds once `pattern` is replaced by `replacement`.
    const auto problemsWith = [&](const std::string& pattern, const std::string& replacement) {
        const std::string broken = std::regex_replace(sound, std::regex(pattern), replacement,
                                                      std::regex_constants::format_first_only);
        EXPECT_NE(broken, sound) << pattern;
        std::ofstream(path, std::ios::binary) << broken;
        std::string problems;
        for (const std::string& problem : testsupport::CheckDxfStructure(path))
            problems += problem + "\n";
        return problems;
    };
    // The INSERT names a block the file does not define.
    EXPECT_NE(problemsWith("(AcDbBlockReference\n  2\n)\\*U1", "$1*U2")
                  .find("INSERT of a block the file does not define"),
              std::string::npos);
    // A line of the block is owned by another object than the block's record.
    EXPECT_NE(problemsWith("330\n[0-9A-F]+(\n100\nAcDbEntity\n  8\n0\n  6\nByBlock)", "330\n1$1")
                  .find("not owned by the record of its block"),
              std::string::npos);
}

// A pattern that repeats too often for readers' HATCH entities is written as
// the lines the screen shows (within the bound on one hatch's work); one the
// screen cannot draw either is left out. Never silently.
TEST_F(DxfWriterTest, PatternsTooDenseForReadersAreWrittenAsTheirLinesOrLeftOut) {
    const std::vector<std::vector<KqFillLine>> patterns = {
        {FillLine(0, 0, 0, 0.1, 0, 0, 0)},         // no spacing across the lines
        {FillLine(0, 0, 0, 0, 1e-9, 0, 0)},        // billions of lines
        {FillLine(0, 0, 0, 0, 0.1, 1e-9, 1e-9)},   // dashes finer than anything shows
        {FillLine(45, 0, 0, 0, 0.1, 0.1, 0.1, 0)}, // scaled to nothing
        {FillLine(0, 0, 0, 0, 0.1, 0, 0), FillLine(90, 0, 0, 0, 0, 0, 0)}, // one bad line
    };
    for (size_t i = 0; i < patterns.size(); ++i) {
        kq_set_source_line(area_, static_cast<int32_t>(10 + i));
        FillPattern(Square(cadlib::kPolylineClosed, static_cast<double>(i), 0, 1), patterns[i],
                    "KQ_FINE");
    }
    const DxfProbe probe = WriteAndRead();
    EXPECT_EQ(Types(probe),
              (std::vector<std::string>{"LWPOLYLINE", "LWPOLYLINE", "LWPOLYLINE", "INSERT",
                                        "LWPOLYLINE", "LWPOLYLINE", "INSERT"}));
    EXPECT_EQ(probe.entities[3].Children("blockentity").size(), 10u);
    EXPECT_EQ(probe.entities[6].Children("blockentity").size(), 10u);
    // Each is told by the line it was built on: what was left out, what was
    // written otherwise than asked.
    const std::vector<std::pair<int32_t, std::string>> told = {
        {10, "left out"}, {11, "left out"}, {12, "written as the lines"},
        {13, "left out"}, {14, "left out"}, {14, "written as the lines"}};
    ASSERT_EQ(Notices().size(), told.size());
    for (size_t i = 0; i < told.size(); ++i) {
        EXPECT_EQ(Notices()[i].line, told[i].first);
        EXPECT_NE(Notices()[i].text.find("KQ_FINE"), std::string::npos) << Notices()[i].text;
        EXPECT_NE(Notices()[i].text.find(told[i].second), std::string::npos) << Notices()[i].text;
    }
}

TEST_F(DxfWriterTest, TheLineFormKeepsTheHatchEntityOfAHatchPastTheBoundOnItsWork) {
    ASSERT_EQ(kq_set_dxf_hatch_form(screen_, KQ_DXF_HATCH_LINES), 1);
    // Each factor is within its limit, their product (20 million pieces) is not.
    const std::vector<KqFillLine> dense = {FillLine(0, 0, 0, 0, 0.002, 0.001, 0.001)};
    kq_set_source_line(area_, 7);
    FillPattern(Polyline(cadlib::kPolylineClosed, {Point(0.25, 0.5), Point(8.25, 0.5),
                                                   Point(8.25, 10.5), Point(0.25, 10.5)}),
                dense, "KQ_DENSE");
    kq_set_source_line(area_, 8);
    FillPattern(Square(cadlib::kPolylineClosed, 1, 1, 0.1), dense, "KQ_DENSE");
    const DxfProbe probe = WriteAndRead();
    ASSERT_EQ(Types(probe),
              (std::vector<std::string>{"LWPOLYLINE", "HATCH", "LWPOLYLINE", "INSERT"}));
    EXPECT_EQ(probe.entities[1].Str("pattern_name"), "KQ_DENSE");
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].line, 7);
    EXPECT_NE(Notices()[0].text.find("HATCH entity"), std::string::npos) << Notices()[0].text;

    // The next output starts afresh.
    kq_set_dxf_hatch_form(screen_, KQ_DXF_HATCH_ENTITY);
    WriteAndRead("hatches.dxf");
    EXPECT_TRUE(Notices().empty());
}

TEST_F(DxfWriterTest, HatchesPastTheBoundPayForTheirWorkFromTheDrawingsOneBudget) {
    cadlib::testing::SetMaxHatchWork(2000); // put back by the fixture's ResetLibrary
    ASSERT_EQ(kq_set_dxf_hatch_form(screen_, KQ_DXF_HATCH_LINES), 1);
    // Sixteen hatches each past the bound on one hatch spend the drawing's
    // work (sixteen times that bound), whether their steps make pieces or
    // none; the hatches after them are not cut at that cost again, however
    // small: a hatch under a star of 249 corners, a hatch of two lines.
    const std::vector<KqFillLine> patterns[] = {
        {FillLine(0, 0, 0, 0, 0.002, 0.001, 0.001)},   // dense dashes
        {FillLine(0, 0, 0, 0, 0.00008, 1e-12, 0.0008)} // dashes shorter than a sliver
    };
    for (int i = 0; i < 16; ++i) {
        kq_set_source_line(area_, 20 + i);
        FillPattern(Square(cadlib::kPolylineClosed, 0.5 * i, 0, 0.4), patterns[i % 2],
                    i % 2 ? "KQ_TINY" : "KQ_DENSE");
    }
    kq_set_source_line(area_, 40);
    FillPattern(Square(cadlib::kPolylineClosed, 7, 7, 0.1), {FillLine(0, 0, 0, 0, 0.05, 0, 0)},
                "KQ_RULES");
    const DxfProbe probe = WriteAndRead();
    std::vector<std::string> types;
    for (int i = 0; i < 17; ++i)
        types.insert(types.end(), {"LWPOLYLINE", "HATCH"});
    EXPECT_EQ(Types(probe), types);
    const std::string oneHatch = "into lines would take more than 2000 steps";
    const std::string drawing =
        "cutting the hatches of the drawing into lines would take more than 32000 steps";
    std::vector<std::pair<int32_t, std::string>> told;
    for (int i = 0; i < 16; ++i)
        told.emplace_back(20 + i, oneHatch);
    told.emplace_back(40, drawing + " at pattern KQ_RULES");
    ASSERT_EQ(Notices().size(), told.size());
    for (size_t i = 0; i < told.size(); ++i) {
        EXPECT_EQ(Notices()[i].line, told[i].first);
        EXPECT_NE(Notices()[i].text.find(told[i].second), std::string::npos) << Notices()[i].text;
    }
}

TEST_F(DxfWriterTest, TheLineFormWritesAtMostFourHatchesAtTheirBoundOfLinesInAll) {
    cadlib::testing::SetMaxHatchWork(2000); // 8000 lines in all
    ASSERT_EQ(kq_set_dxf_hatch_form(screen_, KQ_DXF_HATCH_LINES), 1);
    // 32 lines of 40 dashes each: the seventh hatch passes 8000 lines.
    for (int i = 0; i < 7; ++i) {
        kq_set_source_line(area_, 10 + i);
        FillPattern(Square(cadlib::kPolylineClosed, i, 0, 0.8),
                    {FillLine(0, 0, 0, 0, 0.025, 0.01, -0.01)}, "KQ_DASHES");
    }
    const DxfProbe probe = WriteAndRead();
    std::vector<std::string> types;
    for (int i = 0; i < 7; ++i)
        types.insert(types.end(), {"LWPOLYLINE", i < 6 ? "INSERT" : "HATCH"});
    EXPECT_EQ(Types(probe), types);
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].line, 16);
    EXPECT_EQ(Notices()[0].text,
              "the hatches of the drawing would be more than 8000 lines with "
              "pattern KQ_DASHES: it is written as a HATCH entity [hatch-too-many-lines]");
}

TEST_F(DxfWriterTest, TheLineFormLeavesOutAndNamesAPatternLineItCannotCount) {
    ASSERT_EQ(kq_set_dxf_hatch_form(screen_, KQ_DXF_HATCH_LINES), 1);
    const std::vector<KqFillLine> lines = {FillLine(0, 0, 0, 0, 0.25, 0, 0),
                                           FillLine(0, 0, 1e15, 0, 0.1, 0, 0)};
    kq_set_source_line(area_, 3);
    FillPattern(Square(cadlib::kPolylineClosed, 1, 1, 1), lines, "KQ_FAR");
    const DxfProbe probe = WriteAndRead();
    ASSERT_EQ(Types(probe), (std::vector<std::string>{"LWPOLYLINE", "INSERT"}));
    EXPECT_EQ(probe.entities[1].Children("blockentity").size(), 4u); // the first line's alone
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].line, 3);
    EXPECT_NE(Notices()[0].text.find("line 2 of the hatch pattern KQ_FAR"), std::string::npos)
        << Notices()[0].text;
}

TEST_F(DxfWriterTest, TablesDescribeTheSession) {
    const int32_t odd = kq_create_layer_tbl("A/B:C\tD");
    ASSERT_NE(kq_update_layer_table(area_, 0, odd), 0);
    Line(0, 0, 1, 1);

    const DxfProbe probe = WriteAndRead();
    EXPECT_EQ(probe.header.at("$ACADVER"), "AC1018");
    EXPECT_EQ(probe.header.at("$DWGCODEPAGE"), "ANSI_1252");
    EXPECT_EQ(probe.header.at("$INSUNITS"), "1");
    EXPECT_EQ(probe.header.at("$MEASUREMENT"), "0");
    EXPECT_EQ(probe.header.at("$TEXTSTYLE"), "Standard");
    EXPECT_EQ(probe.header.at("$CLAYER"), "0");
    EXPECT_EQ(probe.header.at("$CELTYPE"), "ByLayer");
    EXPECT_EQ(probe.header.at("$CECOLOR"), "256");
    EXPECT_EQ(probe.header.at("$CELWEIGHT"), "-1");
    ExpectNumbers(probe.HeaderNumbers("$LIMMIN"), {0, 0}, "limmin");
    ExpectNumbers(probe.HeaderNumbers("$LIMMAX"), {8.5, 11}, "limmax");

    ASSERT_EQ(probe.vports.size(), 1u);
    ExpectNumbers(probe.vports[0].Nums("center"), {4.25, 5.5}, "view centre");
    EXPECT_NEAR(probe.vports[0].Num("height"), 11, kExact);
    EXPECT_NEAR(probe.vports[0].Num("aspect"), 8.5 / 11, kExact);

    for (const char* name : {"0", "MAIN", "QFENCE", "BORDER", "A_B_C D"}) {
        const ProbeRecord* layer = probe.Layer(name);
        ASSERT_NE(layer, nullptr) << name;
        EXPECT_EQ(layer->Int("color"), 7) << name;
        EXPECT_EQ(layer->Int("flags"), 0) << name;
        EXPECT_EQ(layer->Str("linetype"), "CONTINUOUS") << name;
    }

    ASSERT_NE(probe.LineType("ByBlock"), nullptr);
    ASSERT_NE(probe.LineType("ByLayer"), nullptr);
    const struct {
        const char* name;
        double length;
        std::vector<double> elements;
    } types[] = {{"CONTINUOUS", 0, {}},
                 {"HIDDEN", 0.375, {0.25, -0.125}},
                 {"DASHDOT", 1, {0.5, -0.25, 0, -0.25}},
                 {"CENTER", 2, {1.25, -0.25, 0.25, -0.25}},
                 {"DOT", 0.25, {0, -0.25}}};
    for (const auto& type : types) {
        const ProbeRecord* record = probe.LineType(type.name);
        ASSERT_NE(record, nullptr) << type.name;
        EXPECT_EQ(record->Num("length"), type.length) << type.name;
        ExpectNumbers(record->Nums("elements"), type.elements, type.name);
    }
    EXPECT_EQ(probe.LineType("HIDDEN")->Str("description").substr(0, 6), "Hidden");

    ASSERT_NE(probe.Style("Standard"), nullptr);
    EXPECT_EQ(probe.Style("Standard")->Str("font"), "txt");
    const ProbeRecord* comic = probe.Style("MYTEXT");
    ASSERT_NE(comic, nullptr);
    EXPECT_EQ(comic->Str("font"), "comic.ttf");
    EXPECT_EQ(comic->Str("family"), "Comic Sans MS");
    EXPECT_EQ(comic->Int("font_flags"), 34);
    const ProbeRecord* plain = probe.Style("PLAIN");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->Str("font"), "romand.shx");
    EXPECT_EQ(plain->Str("family"), "");

    const struct {
        const char* name;
        std::vector<double> direction;
    } views[] = {{"TOPVIEW", {0, 0, 1}}, {"FRONTVIEW", {0, -1, 0}}, {"ISOVIEW", {1, -1, 1}}};
    ASSERT_EQ(probe.views.size(), std::size(views));
    for (const auto& expected : views) {
        const ProbeRecord* view = probe.View(expected.name);
        ASSERT_NE(view, nullptr) << expected.name;
        ExpectNumbers(view->Nums("direction"), expected.direction, expected.name);
        ExpectNumbers(view->Nums("target"), {4.25, 5.5, 0}, expected.name);
        ExpectNumbers(view->Nums("center"), {0, 0}, expected.name);
        EXPECT_EQ(view->Num("height"), 11);
        EXPECT_EQ(view->Num("width"), 8.5);
    }
}

TEST_F(DxfWriterTest, AStyleNamedStandardReplacesTheBuiltInOne) {
    AddStyle("standard", "ROMAND", "Arial");
    Text("plain"); // refers to STANDARD

    const DxfProbe probe = WriteAndRead();
    int standards = 0;
    for (const ProbeRecord& style : probe.styles) {
        standards += style.Str("name") == "standard" || style.Str("name") == "Standard";
    }
    EXPECT_EQ(standards, 1);
    EXPECT_EQ(probe.Style("Standard")->Str("font"), "arial.ttf");
    EXPECT_EQ(probe.entities.at(0).Str("style"), "standard");
}

TEST_F(DxfWriterTest, ExtentsCoverTheDrawingAndThePageWhenItIsEmpty) {
    {
        const DxfProbe empty = WriteAndRead("empty.dxf");
        ExpectNumbers(empty.HeaderNumbers("$EXTMIN"), {0, 0, 0}, "empty extmin");
        ExpectNumbers(empty.HeaderNumbers("$EXTMAX"), {8.5, 11, 0}, "empty extmax");
    }
    Append(kq_construct_line(area_, Point(-1, 2, 0.5), Point(3, 4)));
    Append(kq_construct_circle(area_, Point(10, 10), 1));
    // Counter-clockwise through 90 degrees: its top is the highest point.
    Append(kq_construct_arc(area_, Point(5, -3), 2, 30, 120));
    // From 300 through 0 to 45 degrees: its right end reaches x = 22.
    Append(kq_construct_arc(area_, Point(20, 0), 2, 300, 45));
    Polyline(cadlib::kPolylineOpen, {Point(0, -6), Point(1, -7)});

    const DxfProbe probe = WriteAndRead();
    ExpectNumbers(probe.HeaderNumbers("$EXTMIN"), {-1, -7, 0}, "extmin");
    ExpectNumbers(probe.HeaderNumbers("$EXTMAX"), {22, 11, 0.5}, "extmax");
}

TEST_F(DxfWriterTest, TextExtentsFollowTheAlignment) {
    // Right-aligned 10-character text of height 1 ending at x = 20.
    Append(kq_construct_text(area_, Point(0, 0), "0123456789", 1, 1, 0, 0, 2, 1, 0, Point(20, 30)));
    const DxfProbe probe = WriteAndRead();
    const std::vector<double> low = probe.HeaderNumbers("$EXTMIN");
    const std::vector<double> high = probe.HeaderNumbers("$EXTMAX");
    ASSERT_EQ(low.size(), 3u);
    ASSERT_EQ(high.size(), 3u);
    EXPECT_NEAR(high[0], 20, kExact);
    // Bottom alignment: the descender's line on the point, the capitals'
    // box above the baseline over it.
    const double descent = cadlib::DescentOf(cadlib::kDejaVuSans);
    EXPECT_NEAR(low[1], 30 + descent, kExact);
    EXPECT_NEAR(high[1], 31 + descent, kExact);
    EXPECT_GT(low[0], 10); // about 7 inches of characters
    EXPECT_LT(low[0], 15);
}

TEST_F(DxfWriterTest, ControlCharactersCannotBreakTheFile) {
    std::string low, high;
    for (int byte = 1; byte < 128; ++byte)
        low += static_cast<char>(byte);
    for (int byte = 128; byte < 256; ++byte)
        high += static_cast<char>(byte);
    Text(low.c_str());
    std::string highAsUtf8; // texts reach the library as UTF-8
    platform::AppendAsUtf8(high, platform::TextEncoding::Windows1252, highAsUtf8);
    Text(highAsUtf8.c_str());
    Text(std::string(300, 'x').c_str());
    Text((std::string(249, 'a') + "^b").c_str());

    // The same bytes, cleaned as the file must hold them.
    const auto cleaned = [](const std::string& text) {
        std::string result;
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte == 0x7F) {
                result += ' ';
            } else if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 ||
                       byte == 0x9D) {
                result += '?';
            } else if (c == '^') {
                result += "^ ";
            } else {
                result += c;
            }
        }
        return result;
    };
    const DxfProbe probe = WriteAndRead();
    ASSERT_EQ(Types(probe), (std::vector<std::string>(4, "TEXT")));
    EXPECT_EQ(probe.entities[0].Str("text"), cleaned(low));
    EXPECT_EQ(probe.entities[1].Str("text"), cleaned(high));
    EXPECT_EQ(probe.entities[2].Str("text"), std::string(250, 'x'));
    EXPECT_EQ(probe.entities[3].Str("text"), std::string(249, 'a')); // "^ " does not fit
}

TEST_F(DxfWriterTest, CharactersBeyondTheCodePageAreWrittenAsEscapes) {
    Text("5 \u00B0C \u2014 \u03A9 \u2248 \u20AC"); // the code page has °, the dash and €
    Text((std::string(240, 'a') + "\u03A9\u03A9").c_str()); // an escape counts one
    Text((std::string(249, 'a') + "\u03A9").c_str());       // but is not cut at 255 bytes
    Text("broken \xC3 sequence \U0001F600 beyond U+FFFF");  // neither has an escape
    const DxfProbe probe = WriteAndRead();
    ASSERT_EQ(Types(probe), (std::vector<std::string>(4, "TEXT")));
    EXPECT_EQ(probe.entities[0].Str("text"), "5 \xB0"
                                             "C \x97 \\U+03A9 \\U+2248 \x80");
    EXPECT_EQ(probe.entities[1].Str("text"), std::string(240, 'a') + "\\U+03A9\\U+03A9");
    EXPECT_EQ(probe.entities[2].Str("text"), std::string(249, 'a'));
    EXPECT_EQ(probe.entities[3].Str("text"), "broken ? sequence ? beyond U+FFFF");
}

TEST(DxfStreamTest, WritesShortestExactNumbersAndAlignedCodes) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        cadlib::DxfStream out(file);
        out.Real(10, 0.1);
        out.Real(20, -0.0);
        out.Real(30, 1e20);
        out.Real(40, std::nan(""));
        out.Real(41, HUGE_VAL);
        out.Real(42, 1.0 / 3);
        out.Real(43, -2.5);
        out.Integer(70, -5);
        out.Integer(370, 211);
        out.Handle(5, 0x1AF);
        out.Handle(330, 0);
        out.Text(1000, "a\tb^c\r\n");
        out.String(0, "EOF");
        ASSERT_EQ(out.Finish(), 0);
    }
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(file);
    EXPECT_EQ(text, " 10\n0.1\n 20\n0\n 30\n1e+20\n 40\n0\n 41\n0\n 42\n0.3333333333333333\n"
                    " 43\n-2.5\n 70\n-5\n370\n211\n  5\n1AF\n330\n0\n1000\na b^ c  \n  0\nEOF\n");
}

TEST(DxfStreamTest, NumbersIgnoreTheLocale) {
    const char* chosen = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (std::setlocale(LC_ALL, name)) {
            chosen = name;
            break;
        }
    }
    if (!chosen) GTEST_SKIP() << "no locale with a decimal comma is installed";
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        cadlib::DxfStream out(file);
        out.Real(10, 1.5);
        out.Finish();
    }
    std::setlocale(LC_ALL, "C");
    std::rewind(file);
    char line[16] = {};
    EXPECT_EQ(std::fread(line, 1, sizeof line - 1, file), 8u);
    std::fclose(file);
    EXPECT_STREQ(line, " 10\n1.5\n") << chosen;
}

// Texts mixing escapes (7 bytes, one character) and plain characters: the
// bytes stay within the value's 255 whatever the order, and a text is cut
// before an escape that does not fit whole.
TEST(DxfStreamTest, EscapesNeverTakeATextPastItsBytes) {
    const std::string omega = "\u03A9", escape = "\\U+03A9";
    const auto repeat = [](const std::string& piece, int times) {
        std::string result;
        for (int i = 0; i < times; ++i)
            result += piece;
        return result;
    };
    struct Case {
        const char* what;
        std::string text, written;
    };
    const std::vector<Case> cases = {
        // 36 escapes fill 252 bytes: three of the 214 letters still fit.
        {"escapes first", repeat(omega, 36) + std::string(214, 'a'), repeat(escape, 36) + "aaa"},
        {"escapes last", std::string(200, 'a') + repeat(omega, 50),
         std::string(200, 'a') + repeat(escape, 7)},
        {"escapes in the middle", std::string(100, 'a') + repeat(omega, 30) + std::string(100, 'b'),
         std::string(100, 'a') + repeat(escape, 22)},
        {"an escape across the byte limit", std::string(250, 'a').substr(0, 249) + omega + "b",
         std::string(249, 'a')},
        {"an escape across the character limit", std::string(249, 'a') + "b" + omega,
         std::string(249, 'a') + "b"},
        {"a caret pair at the byte limit", repeat(omega, 36) + "^", repeat(escape, 36) + "^ "},
        {"a caret pair past the byte limit", repeat(omega, 36) + "aa^", repeat(escape, 36) + "aa"},
    };
    for (const Case& c : cases) {
        // Exactly the room every caller gives, on the heap so that the
        // address sanitizer sees a byte beyond it.
        const auto out = std::make_unique<char[]>(cadlib::kMaxStringBytes);
        size_t kept = 0;
        const size_t written = cadlib::CleanText(c.text, cadlib::kMaxTextBytes, out.get(),
                                                 cadlib::OtherCharacters::Escaped, &kept);
        ASSERT_LE(written, cadlib::kMaxStringBytes) << c.what;
        EXPECT_EQ(std::string(out.get(), written), c.written) << c.what;
        EXPECT_EQ(kept, cadlib::TextLengthKept(c.text, cadlib::kMaxTextBytes)) << c.what;
    }
}

// The stream's text path formats into its own buffer: long escaped texts
// one after another stay whole lines of at most 255 bytes.
TEST(DxfStreamTest, LongEscapedTextsKeepTheirLines) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::string omegas;
    for (int i = 0; i < 300; ++i)
        omegas += "\u03A9";
    constexpr int kTexts = 1000; // several flushes of the stream's buffer
    {
        cadlib::DxfStream out(file);
        for (int i = 0; i < kTexts; ++i)
            out.Text(1, omegas);
        ASSERT_EQ(out.Finish(), 0);
    }
    std::rewind(file);
    std::string expected = "  1\n";
    for (int i = 0; i < 36; ++i)
        expected += "\\U+03A9";
    expected += "\n";
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(file);
    std::string all;
    for (int i = 0; i < kTexts; ++i)
        all += expected;
    EXPECT_EQ(text, all);
}

TEST(DxfStreamTest, NamesAreMadeValidSymbolNames) {
    EXPECT_EQ(cadlib::CleanName("MAIN"), "MAIN");
    EXPECT_EQ(cadlib::CleanName(""), "_");
    EXPECT_EQ(cadlib::CleanName("a<b>c/d\\e\"f:g;h?i*j|k,l=m`n"), "a_b_c_d_e_f_g_h_i_j_k_l_m_n");
    EXPECT_EQ(cadlib::CleanName("line\nbreak"), "line break");
    EXPECT_EQ(cadlib::CleanName(std::string(300, 'N')), std::string(255, 'N'));
    EXPECT_EQ(cadlib::CleanName("Caf\u00E9 \u03A9"), "Caf\xE9 _"); // no escapes in names
}

// --- Failure paths ----------------------------------------------------------

TEST_F(DxfWriterTest, NoSessionWritesNothing) {
    const fs::path path = PathOf("none.dxf");
    EXPECT_EQ(kq_output_dxf_file(0, path.c_str()), 0);
    EXPECT_STREQ(kq_last_error(), "no drawing session");
    EXPECT_EQ(kq_output_dxf_file(screen_ + 12345, path.c_str()), 0);
    EXPECT_STREQ(kq_last_error(), "no drawing session");
    EXPECT_EQ(kq_output_dxf_file(screen_, nullptr), 0);
    EXPECT_EQ(kq_output_dxf_file(screen_, ""), 0);
    kq_purge_data_area(area_);
    EXPECT_EQ(kq_output_dxf_file(screen_, path.c_str()), 0);
    EXPECT_STREQ(kq_last_error(), "the drawing session has no data area");
    EXPECT_TRUE(OtherFiles(folder_.Path(), {}).empty());
}

// The handles of a line-form hatch's lines are numbered by the cut when
// planned; its block is written from a second cut. Should the two differ,
// the writing ends with error 51 in every build and the file that was there
// stays as it was, no temporary file beside it.
TEST_F(DxfWriterTest, AHatchCutOtherwiseWhenWrittenEndsTheWritingAndKeepsTheOldFile) {
    ASSERT_EQ(kq_set_dxf_hatch_form(screen_, KQ_DXF_HATCH_LINES), 1);
    FillPattern(Square(cadlib::kPolylineClosed, 1, 1, 1), {FillLine(45, 0, 0, 0, 0.1, 0, 0)});
    const std::string old = "  0\nSECTION\n999\nthe drawing written before\n  0\nEOF\n";
    folder_.Write("drawing.dxf", old);
    cadlib::testing::CutOnePieceFewerWhenWritten(true);
    try {
        kq_output_dxf_file(screen_, PathOf("drawing.dxf").c_str());
        ADD_FAILURE() << "the file was written";
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.Number(), platform::kInternalError);
        EXPECT_TRUE(std::regex_search(error.Detail(), std::regex("cut into 14 lines .* 15 ")))
            << error.Detail();
    }
    cadlib::testing::CutOnePieceFewerWhenWritten(false);
    EXPECT_EQ(ReadFile(PathOf("drawing.dxf")), old);
    EXPECT_TRUE(OtherFiles(folder_.Path(), {"drawing.dxf"}).empty());
}

TEST_F(DxfWriterTest, MissingFolderFailsWithTheReason) {
    const std::string path = (folder_.Path() / "missing" / "out.dxf").string();
    EXPECT_EQ(kq_output_dxf_file(screen_, path.c_str()), 0);
    EXPECT_EQ(std::string(kq_last_error()), path + ": No such file or directory");
    EXPECT_TRUE(OtherFiles(folder_.Path(), {}).empty());
}

TEST_F(DxfWriterTest, TargetThatIsAFolderIsLeftAlone) {
    fs::create_directory(PathOf("folder.dxf"));
    EXPECT_EQ(kq_output_dxf_file(screen_, PathOf("folder.dxf").c_str()), 0);
    EXPECT_EQ(std::string(kq_last_error()), PathOf("folder.dxf").string() + ": Is a directory");
    EXPECT_TRUE(fs::is_directory(PathOf("folder.dxf")));
    EXPECT_TRUE(OtherFiles(folder_.Path(), {"folder.dxf"}).empty());
}

TEST_F(DxfWriterTest, ReadOnlyFileIsKeptIntact) {
    folder_.Write("kept.dxf", "an earlier drawing");
    fs::permissions(PathOf("kept.dxf"), fs::perms::owner_read | fs::perms::group_read);
    Line(0, 0, 1, 1);
    EXPECT_EQ(kq_output_dxf_file(screen_, PathOf("kept.dxf").c_str()), 0);
    EXPECT_EQ(std::string(kq_last_error()),
              PathOf("kept.dxf").string() + ": the file is read-only");
    EXPECT_EQ(ReadFile(PathOf("kept.dxf")), "an earlier drawing");
    EXPECT_TRUE(OtherFiles(folder_.Path(), {"kept.dxf"}).empty());
}

// A drawing the writer may replace: a DXF by its start.
constexpr const char* kEarlierDrawing = "  0\nSECTION\n  0\nENDSEC\n  0\nEOF\n";

TEST_F(DxfWriterTest, FailedWriteKeepsTheEarlierFileAndLeavesNoTemporaryFile) {
    folder_.Write("full.dxf", kEarlierDrawing);
    for (int i = 0; i < 5000; ++i)
        Line(i, 0, i, 1);
    // The file-size limit makes the writes fail as a full disk would.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int32_t result = kq_output_dxf_file(screen_, PathOf("full.dxf").c_str());
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(std::string(kq_last_error()), PathOf("full.dxf").string() + ": File too large");
    EXPECT_EQ(ReadFile(PathOf("full.dxf")), kEarlierDrawing);
    EXPECT_TRUE(OtherFiles(folder_.Path(), {"full.dxf"}).empty());
}

TEST_F(DxfWriterTest, SuccessReplacesTheEarlierFileAndKeepsItsPermissions) {
    folder_.Write("again.dxf", kEarlierDrawing);
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(PathOf("again.dxf"), perms);
    Line(0, 0, 1, 1);
    EXPECT_EQ(kq_output_dxf_file(screen_, PathOf("again.dxf").c_str()), 1) << kq_last_error();
    EXPECT_STREQ(kq_last_error(), "");
    EXPECT_EQ(ReadFile(PathOf("again.dxf")).substr(0, 20), "  0\nSECTION\n  2\nHEAD");
    EXPECT_EQ(fs::status(PathOf("again.dxf")).permissions(), perms);
    EXPECT_TRUE(OtherFiles(folder_.Path(), {"again.dxf"}).empty());
}

TEST_F(DxfWriterTest, RelativeNamesAreWrittenInTheCurrentFolder) {
    Line(0, 0, 1, 1);
    EXPECT_EQ(kq_output_dxf_file(screen_, "relative.dxf"), 1) << kq_last_error();
    EXPECT_TRUE(fs::is_regular_file(PathOf("relative.dxf")));
}

TEST_F(DxfWriterTest, ALargeMixedDrawingKeepsHandlesAndOwnersSound) {
    const std::vector<KqFillLine> pattern = {FillLine(45, 0, 0, 0, 0.1, 0, 0),
                                             FillLine(0, 0, 0, 0.05, 0.1, 0.05, 0.05)};
    size_t expected = 0;
    for (int i = 0; i < 500; ++i) {
        const double x = (i % 20) * 0.4, y = (i / 20) * 0.4;
        Line(x, y, x + 0.3, y + 0.3, i % 23);
        Append(kq_construct_arc(area_, Point(x, y), 0.1, i, i + 90));
        Text("label", "MYTEXT");
        FillSolid(Square(cadlib::kPolylineFilledArea, x, y, 0.2), 21 + i % 2);
        FillPattern(Square(cadlib::kPolylineClosed, x, y, 0.3), pattern);
        expected += 6;
    }
    const DxfProbe probe = WriteAndRead();
    EXPECT_EQ(probe.entities.size(), expected);
}

} // namespace

// The two forms of a pattern hatch agree: the lines the DXF writer writes in
// the line form are the lines the display draws, for every pattern of
// kqhatch.pat over a rectangle, a triangle and a circle.
#include "cadlib/display/fixture.h"
#include "cadlib/kq.h"
#include "hatch/patterns.h"
#include "support/dxf_probe.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using testsupport::ProbeRecord;
using testsupport::RecordedPrimitive;

constexpr double kSame = 1e-9; // inches
constexpr double kDot = 0.01;  // the line the writer writes for a dot
constexpr double kCell = 0.55; // grid of the shapes on the page
constexpr double kShape = 0.5; // their size
constexpr int kColumns = 15;

struct Segment {
    KqPoint2 from, to;
};

class HatchFormsTest : public testsupport::DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        hatch::LoadHatchPatterns(PLOTDXF_SOURCE_DIR "/data/kqhatch.pat");
    }

    int32_t DataArea() const { return builder::Session().DataAreaHandle; }

    // Where shape number `k` goes: its lower left corner.
    static KqPoint2 Corner(int k) {
        return {0.2 + (k % kColumns) * kCell, 0.5 + (k / kColumns) * kCell};
    }

    void Hatch(int32_t entity, int n) {
        ASSERT_NE(entity, 0);
        builder::AppendEntity(entity);
        std::vector<KqFillLine> lines;
        for (int g = 1; g <= hatch::Patterns().PatternLineCount[n]; ++g)
            lines.push_back(hatch::FillLineOf(n, g));
        ASSERT_EQ(kq_filluser_named_entity(Screen(), lines.data(),
                                           static_cast<int32_t>(lines.size()),
                                           hatch::Patterns().PatternNames[n].c_str(), entity),
                  1);
    }

    void Polygon(const std::vector<KqPoint3>& corners, int n) {
        Hatch(kq_construct_polyline(DataArea(), 1, corners.data(),
                                    static_cast<int32_t>(corners.size())),
              n);
    }

    // The hatch segments of one redraw, in drawing units.
    std::vector<Segment> Displayed() {
        KqPoint2 origin, across;
        kq_get_world_pnt(Screen(), 0, 0, origin.x, origin.y);
        kq_get_world_pnt(Screen(), 1000, 1000, across.x, across.y);
        const double perPixelX = (across.x - origin.x) / 1000,
                     perPixelY = (across.y - origin.y) / 1000;
        const auto world = [&](const platform::DevicePoint& p) {
            return KqPoint2{origin.x + p.x * perPixelX, origin.y + p.y * perPixelY};
        };
        std::vector<Segment> segments;
        for (const RecordedPrimitive& drawn : Redraw()) {
            if (drawn.kind != RecordedPrimitive::Kind::Segments) continue;
            for (size_t i = 0; i + 1 < drawn.points.size(); i += 2)
                segments.push_back({world(drawn.points[i]), world(drawn.points[i + 1])});
        }
        return segments;
    }

    testsupport::TempFolder folder_;
};

TEST_F(HatchFormsTest, TheLinesWrittenAreTheLinesDisplayedForEveryPattern) {
    int shapes = 0;
    for (int n = 1; n <= hatch::kMaxPatterns; ++n) {
        if (hatch::Patterns().PatternLineCount[n] <= 0) continue;
        const KqPoint2 a = Corner(shapes++), b = Corner(shapes++), c = Corner(shapes++);
        Polygon({{a.x, a.y, 0},
                 {a.x + kShape, a.y, 0},
                 {a.x + kShape, a.y + 0.7 * kShape, 0},
                 {a.x, a.y + 0.7 * kShape, 0}},
                n);
        Polygon({{b.x, b.y, 0}, {b.x + kShape, b.y + 0.1, 0}, {b.x + 0.2, b.y + kShape, 0}}, n);
        Hatch(kq_construct_circle(DataArea(), {c.x + kShape / 2, c.y + kShape / 2, 0}, kShape / 2),
              n);
    }
    ASSERT_EQ(shapes, 3 * 51); // every pattern of kqhatch.pat
    const std::vector<Segment> displayed = Displayed();

    ASSERT_EQ(kq_set_dxf_hatch_form(Screen(), KQ_DXF_HATCH_LINES), 1);
    const std::string path = (folder_.Path() / "lines.dxf").string();
    ASSERT_EQ(kq_output_dxf_file(Screen(), path.c_str()), 1) << kq_last_error();
    const testsupport::DxfProbe probe = testsupport::ProbeDxf(path);
    ASSERT_TRUE(probe.read) << probe.diagnostics;
    std::vector<const ProbeRecord*> written;
    int inserts = 0;
    for (const ProbeRecord& entity : probe.entities) {
        if (entity.Str("type") != "INSERT") continue;
        ++inserts;
        for (const ProbeRecord* line : entity.Children("blockentity"))
            written.push_back(line);
    }
    EXPECT_EQ(inserts, shapes);

    ASSERT_EQ(written.size(), displayed.size());
    size_t dots = 0;
    for (size_t i = 0; i < written.size(); ++i) {
        const std::vector<double> start = written[i]->Nums("start"), end = written[i]->Nums("end");
        ASSERT_EQ(written[i]->Str("type"), "LINE");
        const Segment& shown = displayed[i];
        if (shown.from.x == shown.to.x && shown.from.y == shown.to.y) {
            // A dot: a short horizontal line centred on it.
            ++dots;
            EXPECT_NEAR((start[0] + end[0]) / 2, shown.from.x, kSame) << i;
            EXPECT_NEAR(start[1], shown.from.y, kSame) << i;
            EXPECT_NEAR(end[0] - start[0], kDot, kSame) << i;
            EXPECT_EQ(end[1], start[1]) << i;
            continue;
        }
        EXPECT_NEAR(start[0], shown.from.x, kSame) << i;
        EXPECT_NEAR(start[1], shown.from.y, kSame) << i;
        EXPECT_NEAR(end[0], shown.to.x, kSame) << i;
        EXPECT_NEAR(end[1], shown.to.y, kSame) << i;
    }
    EXPECT_GT(dots, 0u); // the stipple patterns were among them
}

} // namespace

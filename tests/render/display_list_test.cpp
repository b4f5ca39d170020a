// A kept drawing pass played back in bands: what each band gets, in what
// order and clip, and where the work is split.
#include "render/display_list.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using namespace platform;
using namespace render;
using testsupport::RecordedPrimitive;
using testsupport::RecordingSurface;
using Kind = RecordedPrimitive::Kind;

DrawState Inked(std::optional<DeviceRect> clip = std::nullopt) {
    DrawState state;
    state.pen.width = 1;
    state.clip = clip;
    return state;
}

class DisplayListTest : public ::testing::Test {
  protected:
    RecordingSurface measure{200, 100};
    DisplayList list{measure};
};

TEST_F(DisplayListTest, ABandGetsWhatReachesItInOrderClippedToItsRows) {
    const std::vector<DevicePoint> high{{10, 10}, {50, 12}}, low{{10, 80}, {50, 90}},
        across{{5, 5}, {5, 95}};
    list.Polyline(Inked(), high);
    list.Segments(Inked(DeviceRect{0, 0, 100, 100}), across);
    list.Polygon(Inked(), low);
    // A text hangs on its anchor and reaches its height either side, and more along it.
    TextFont font;
    font.family = "sans-serif";
    font.height = 10;
    list.Text(Inked(), {100, 45}, u"GRAVEL", font);

    RecordingSurface upper(200, 100);
    list.Replay(upper, 0, 40);
    ASSERT_EQ(upper.primitives.size(), 3u);
    EXPECT_EQ(upper.primitives[0].kind, Kind::Polyline);
    EXPECT_EQ(upper.primitives[1].kind, Kind::Segments);
    EXPECT_EQ(upper.primitives[2].kind, Kind::Text);
    EXPECT_EQ(upper.primitives[2].text, u"GRAVEL");
    EXPECT_EQ(upper.primitives[2].font.height, 10);
    // The band's rows cut the primitive's own clip, or the picture when it has none.
    EXPECT_EQ(upper.primitives[0].state.clip, (DeviceRect{0, 0, 200, 40}));
    EXPECT_EQ(upper.primitives[1].state.clip, (DeviceRect{0, 0, 100, 40}));

    RecordingSurface lower(200, 100);
    list.Replay(lower, 40, 100);
    ASSERT_EQ(lower.primitives.size(), 3u);
    EXPECT_EQ(lower.primitives[0].kind, Kind::Segments);
    EXPECT_EQ(lower.primitives[1].kind, Kind::Polygon);
    EXPECT_EQ(lower.primitives[1].points.size(), 2u);
    EXPECT_EQ(lower.primitives[1].points[1].y, 90);
    EXPECT_EQ(lower.primitives[2].kind, Kind::Text);
    EXPECT_EQ(lower.primitives[0].state.clip, (DeviceRect{0, 40, 100, 100}));
}

TEST_F(DisplayListTest, WideStrokesReachFurtherAndStrayPointsReachEveryBand) {
    DrawState wide = Inked();
    wide.pen.width = 20;
    list.Polyline(wide, std::vector<DevicePoint>{{0, 50}, {100, 50}});
    list.Polyline(Inked(), std::vector<DevicePoint>{{NAN, NAN}, {NAN, NAN}});
    RecordingSurface band(200, 100);
    list.Replay(band, 0, 42); // half the pen and a margin above row 50
    EXPECT_EQ(band.primitives.size(), 2u);
    RecordingSurface below(200, 100);
    list.Replay(below, 70, 100);
    EXPECT_EQ(below.primitives.size(), 1u); // only the one of no known place
}

// The rows a primitive reaches bound what it paints: the tip of a dashed
// pen's mitred corner, and a turned text as wide as it measures.
TEST_F(DisplayListTest, MitredCornersAndTurnedTextsReachEveryBandTheyPaint) {
    const auto reaches = [this](int top, int bottom) {
        RecordingSurface band(200, 200);
        list.Replay(band, top, bottom);
        return band.primitives.size();
    };
    DrawState dashed = Inked();
    dashed.pen.width = 20;
    dashed.pen.dashes = {30, 10};
    // A corner of 40 degrees at (100, 100) pointing up: its tip rises some 28 rows.
    const double run = 100 * std::tan(20 * std::numbers::pi / 180);
    list.Polyline(dashed, std::vector<DevicePoint>{{100 - run, 200}, {100, 100}, {100 + run, 200}});
    EXPECT_EQ(reaches(0, 70), 1u);
    EXPECT_EQ(reaches(0, 55), 0u); // beyond two pen widths
    DrawState solid = Inked();
    solid.pen.width = 20; // round corners: half the pen
    list.Clear();
    list.Polyline(solid, std::vector<DevicePoint>{{100 - run, 200}, {100, 100}, {100 + run, 200}});
    EXPECT_EQ(reaches(0, 85), 0u);

    // Letters three heights wide, turned to run up from row 190: 150 rows.
    class WideLetters : public RecordingSurface {
      public:
        using RecordingSurface::RecordingSurface;
        double TextWidth(std::u16string_view text, const TextFont& font) override {
            return 3 * font.height * static_cast<double>(text.size());
        }
    } wide{200, 200};
    DisplayList texts(wide);
    TextFont font;
    font.family = "sans-serif";
    font.height = 10;
    font.rotation = 90;
    texts.Text(Inked(), {100, 190}, u"CLAYS", font);
    RecordingSurface band(200, 200);
    texts.Replay(band, 0, 40);
    EXPECT_EQ(band.primitives.size(), 1u);
    band.primitives.clear();
    texts.Replay(band, 0, 20); // above its end and the margin beyond it
    EXPECT_EQ(band.primitives.size(), 0u);
}

TEST_F(DisplayListTest, TheSplitHalvesTheWorkAndInvertingIsNoticed) {
    for (int i = 0; i < 30; ++i)
        list.Segments(Inked(), std::vector<DevicePoint>{{0, 5}, {200, 5}, {0, 7}, {200, 7}});
    list.Segments(Inked(), std::vector<DevicePoint>{{0, 95}, {200, 95}});
    EXPECT_GT(list.Work(), 0);
    std::vector<double> workByRow(100, 0.0);
    list.AddWorkByRow(workByRow);
    EXPECT_LT(render::RowSplittingWork(workByRow, 0.5), 20); // nearly all of it is at the top
    EXPECT_EQ(render::RowSplittingWork(workByRow, 0), 0);
    EXPECT_GT(render::RowSplittingWork(workByRow, 1), 90); // the last line's too
    EXPECT_EQ(render::RowSplittingWork(std::vector<double>(10, 0.0), 0.5), 0);
    EXPECT_FALSE(list.Inverts());

    DrawState inverting = Inked();
    inverting.rasterOp = R2_NOT;
    list.Polyline(inverting, std::vector<DevicePoint>{{0, 0}, {10, 10}});
    EXPECT_TRUE(list.Inverts());
    EXPECT_EQ(list.TextWidth(u"ABC", TextFont{"sans-serif", 10}),
              measure.TextWidth(u"ABC", TextFont{"sans-serif", 10}));

    list.Clear();
    EXPECT_TRUE(list.Empty());
    EXPECT_FALSE(list.Inverts());
    EXPECT_EQ(list.Work(), 0);
}

TEST_F(DisplayListTest, AFillOverTheWholePictureHidesAllBeforeIt) {
    list.Polyline(Inked(), std::vector<DevicePoint>{{10, 10}, {50, 12}});
    DrawState erase;
    erase.pen.null = true;
    const std::vector<DevicePoint> whole{{0, 0}, {200, 0}, {200, 100}, {0, 100}};
    // Not the whole picture, clipped, or inverting: what lies below still shows.
    list.Polygon(erase, std::vector<DevicePoint>{{0, 0}, {200, 0}, {200, 99}, {0, 99}});
    DrawState clipped = erase;
    clipped.clip = DeviceRect{0, 0, 100, 100};
    list.Polygon(clipped, whole);
    DrawState inverting = erase;
    inverting.rasterOp = R2_NOT;
    list.Polygon(inverting, whole);
    RecordingSurface kept(200, 100);
    list.Replay(kept, 0, 100);
    EXPECT_EQ(kept.primitives.size(), 4u);

    list.Polygon(erase, std::vector<DevicePoint>{{-1, 101}, {-1, -1}, {201, -1}, {201, 101}});
    list.Segments(Inked(), std::vector<DevicePoint>{{0, 5}, {200, 5}});
    RecordingSurface erased(200, 100);
    list.Replay(erased, 0, 100);
    ASSERT_EQ(erased.primitives.size(), 2u);
    EXPECT_EQ(erased.primitives[0].kind, Kind::Polygon);
    EXPECT_EQ(erased.primitives[1].kind, Kind::Segments);
    EXPECT_FALSE(list.Inverts()); // the inverting fill went with the rest
}

} // namespace

// The window's image paints what was drawn in two bands at once, a long pass
// even while it is drawn: the picture must be the one painted primitive by
// primitive, wherever the bands meet.
#include "render/display_list.h"
#include "support/recording_surface.h"
#include "view/qt/image_surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <tuple>
#include <vector>

namespace {

using platform::DevicePoint;
using platform::DrawState;

constexpr int kWidth = 320, kHeight = 240;

// Draws a seeded mix onto `surface`, calling `after` after every primitive:
// thin and wide, solid and dashed strokes, separate segments, filled areas
// and texts, upright and turned, many crossing the middle rows.
void DrawMix(platform::Surface& surface, int count, int seed, const std::function<void()>& after) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> x(-20, kWidth + 20), y(-20, kHeight + 20);
    std::uniform_int_distribution<int> level(0, 200);
    const auto point = [&] { return DevicePoint{x(random), y(random)}; };
    for (int i = 0; i < count; ++i) {
        DrawState state;
        state.pen.colour = {static_cast<uint8_t>(level(random)), 0,
                            static_cast<uint8_t>(level(random))};
        state.pen.width = i % 7 == 3 ? 3 : 1;
        if (i % 5 == 1) state.pen.dashes = {6, 3, 0, 3};
        if (i % 11 == 0) state.clip = platform::DeviceRect{20, 15, 300, 225};
        switch (i % 4) {
        case 0:
            surface.Polyline(state, std::vector<DevicePoint>{point(), point(), point()});
            break;
        case 1:
            surface.Segments(state, std::vector<DevicePoint>{point(), point(), point(), point()});
            break;
        case 2: {
            state.pen.null = i % 8 == 2;
            state.brush.colour = {static_cast<uint8_t>(level(random)), 180, 90};
            const DevicePoint at = point();
            surface.Polygon(
                state, std::vector<DevicePoint>{at, {at.x + 30, at.y + 4}, {at.x + 12, at.y + 25}});
            break;
        }
        default: {
            platform::TextFont font;
            font.family = "sans-serif";
            font.height = 6 + i % 23;
            font.rotation = i % 3 == 0 ? 30 : 0;
            surface.Text(state, point(), u"SILTY SAND, wet", font);
        }
        }
        after();
    }
}

// Most of a pass's work on `row`, the rest far below, in lines as white as
// the page: the bands meet just below it.
void WorkOnRow(platform::Surface& surface, double row) {
    DrawState hairline;
    hairline.pen.colour = {255, 255, 255};
    for (int i = 0; i < 400; ++i) {
        const double at = i < 220 ? row : 230;
        surface.Segments(hairline, std::vector<DevicePoint>{{0, at}, {kWidth, at}});
    }
}

int DifferingPixels(const QImage& a, const QImage& b) {
    int differing = 0;
    for (int row = 0; row < a.height(); ++row) {
        for (int column = 0; column < a.width(); ++column)
            differing += a.pixel(column, row) != b.pixel(column, row);
    }
    return differing;
}

TEST(ImageSurfaceTest, APicturePaintedInBandsIsThePicturePaintedAsItIsDrawn) {
    // Enough work for two threads, or the test would prove nothing.
    testsupport::RecordingSurface measure(kWidth, kHeight);
    render::DisplayList list(measure);
    DrawMix(list, 400, 8, [] {});
    ASSERT_GT(list.Work(), 4 * view::qt::ImageSurface::kWorkWorthTwoThreads);

    view::qt::ImageSurface banded(kWidth, kHeight);
    DrawMix(banded, 400, 8, [] {});
    view::qt::ImageSurface stepwise(kWidth, kHeight);
    DrawMix(stepwise, 400, 8, [&] { stepwise.Image(); }); // one primitive at a time: whole

    EXPECT_EQ(DifferingPixels(banded.Image(), stepwise.Image()), 0);
    EXPECT_NE(banded.Image().pixel(kWidth / 2, kHeight / 2), 0); // painted at all
}

// Where the bands meet cuts nothing: not the tip of a wide dashed pen's
// sharp corner, nor a turned text of letters wider than most, whatever rows
// they lie across.
TEST(ImageSurfaceTest, WhereTheBandsMeetCutsNoCornerAndNoText) {
    DrawState dashed;
    dashed.pen.width = 20;
    dashed.pen.dashes = {200, 20}; // the first dash runs round the corner
    dashed.pen.colour = {0, 0, 160};
    platform::TextFont font;
    font.family = "No Such Face";
    font.height = 14;
    font.rotation = 90;
    const double run = 150 * std::tan(20 * std::numbers::pi / 180);
    for (int offset = 0; offset < 40; offset += 3) {
        // A corner of 40 degrees pointing up, its tip some 28 rows above it,
        // and a text running up from near the bottom.
        const auto draw = [&](platform::Surface& surface, const std::function<void()>& after) {
            WorkOnRow(surface, 28); // the bands meet a little below row 30
            after();
            const double corner = 32 + offset;
            surface.Polyline(dashed, std::vector<DevicePoint>{{100 - run, corner + 150},
                                                              {100, corner},
                                                              {100 + run, corner + 150}});
            after();
            surface.Text(DrawState{}, {220, 200.0 + offset},
                         u"\u2030\u2030\u2030\u2030\u2030\u2030\u2030\u2030", font);
            after();
        };
        view::qt::ImageSurface banded(kWidth, kHeight);
        draw(banded, [] {});
        view::qt::ImageSurface whole(kWidth, kHeight);
        draw(whole, [&] { whole.Image(); });
        EXPECT_EQ(DifferingPixels(banded.Image(), whole.Image()), 0) << "offset " << offset;
    }
}

// The painter places a glyph image at its position cut to a 64th of a pixel
// towards zero. A text across the picture's left or top edge, or across the
// rows where the bands meet, must still be the text painted elsewhere and
// moved there, as a pan moves it, at every 64th of a pixel it may lie at
// (each picture holds eight texts at eight of them): in glyphs small enough
// for the painter's images and in glyphs it fills as outlines.
class TextAcrossAnEdgeTest : public ::testing::TestWithParam<std::tuple<double, int>> {
  protected:
    static constexpr int kTexts = 8;
    static constexpr int kMove = 80;

    static double Height() { return std::get<0>(GetParam()); }
    // Where text `i` lies within its pixel: a little past a 64th.
    static double Fraction(int i) {
        return (std::get<1>(GetParam()) * kTexts + i) / 64.0 + 1 / 256.0;
    }

    // The texts at `at(i)` on a picture whose bands meet a little below row 30.
    template <typename At>
    static QImage Painted(At at) {
        view::qt::ImageSurface banded(kWidth, kHeight);
        WorkOnRow(banded, 28);
        platform::TextFont font;
        font.family = "sans-serif";
        font.height = Height();
        for (int i = 0; i < kTexts; ++i)
            banded.Text(DrawState{}, at(i), u"gypsy jig", font);
        return banded.Image().copy();
    }

    // Pixels of `across` that differ from `inside` moved by dx, dy.
    static int DifferingFromMoved(const QImage& across, const QImage& inside, int dx, int dy) {
        int differing = 0;
        for (int row = std::max(0, dy); row < kHeight + std::min(0, dy); ++row) {
            for (int column = std::max(0, dx); column < kWidth + std::min(0, dx); ++column)
                differing += across.pixel(column, row) != inside.pixel(column - dx, row - dy);
        }
        return differing;
    }
};

TEST_P(TextAcrossAnEdgeTest, IsTheTextPaintedElsewhereMovedThere) {
    const auto leftOf = [](double x) {
        return [x](int i) { return DevicePoint{x + Fraction(i), 50.0 + 25 * i}; };
    };
    EXPECT_EQ(DifferingFromMoved(Painted(leftOf(-20)), Painted(leftOf(kMove - 20)), -kMove, 0), 0)
        << "across the left edge";
    // Their baselines (the anchor is the middle of the capitals) a little
    // above the top edge, and above the rows where the bands meet, the
    // descenders below them.
    for (const double baseline : {-1.5, 27.5}) {
        const auto above = [baseline](double y) {
            return [y = y + baseline - Height() / 2](int i) {
                return DevicePoint{5.0 + 40 * i, y + Fraction(i)};
            };
        };
        EXPECT_EQ(DifferingFromMoved(Painted(above(0)), Painted(above(kMove)), 0, -kMove), 0)
            << "the baselines at row " << baseline;
    }
}

INSTANTIATE_TEST_SUITE_P(SixtyFourths, TextAcrossAnEdgeTest,
                         ::testing::Combine(::testing::Values(13.0, 60.0), ::testing::Range(0, 8)));

// The painter's own dashing can put the dashes after a part of a line that
// lies far beyond its device out of step: a dotted wide line turning a
// corner far above the picture must come out the same whatever rows the
// bands meet at.
TEST(ImageSurfaceTest, ALineDashedFromFarBeyondThePictureIsDashedAlikeInEveryBand) {
    DrawState dotted;
    dotted.pen.width = 3.75;
    dotted.pen.dashes = {0, 91.7};
    dotted.pen.dashOffset = 79.5;
    const auto painted = [&dotted](double row) {
        view::qt::ImageSurface banded(800, 600);
        WorkOnRow(banded, row);
        banded.Polyline(dotted, std::vector<DevicePoint>{{780, -310}, {170, -310}, {170, 910}});
        return banded.Image().copy();
    };
    const QImage high = painted(100);
    for (const double row : {300.0, 500.0})
        EXPECT_EQ(DifferingPixels(painted(row), high), 0) << "the bands meeting at row " << row;
}

// Long passes are painted while they are drawn, and the bands of the next
// pass meet elsewhere: every pass must still be the picture painted whole.
TEST(ImageSurfaceTest, LongPassesPaintedWhileDrawnAreThePicturePaintedWhole) {
    view::qt::ImageSurface streamed(kWidth, kHeight);
    view::qt::ImageSurface stepwise(kWidth, kHeight);
    for (int pass = 0; pass < 3; ++pass) {
        DrawMix(streamed, 8000, pass, [] {});
        DrawMix(stepwise, 8000, pass, [&] { stepwise.Image(); });
        EXPECT_EQ(DifferingPixels(streamed.Image(), stepwise.Image()), 0) << "pass " << pass;
    }
}

} // namespace

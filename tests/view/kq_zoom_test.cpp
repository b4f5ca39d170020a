// The rubber band on a surface that keeps pixels, as the window's image does.
#include "view/draw_area_fixture.h"

#include "view/kq_zoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <utility>

namespace {

// Black and white pixels. A rectangle's outline is painted with the pen and
// its inside with the brush, each pixel once; under R2_NOT what either
// paints is inverted instead.
class PixelSurface : public testsupport::RecordingSurface {
  public:
    PixelSurface(int width, int height)
        : RecordingSurface(width, height), black_(size_t(width) * height) {}

    bool Black(int x, int y) const { return black_[size_t(y) * Width() + x]; }
    int BlackCount() const { return int(std::count(black_.begin(), black_.end(), true)); }

    void Polygon(const platform::DrawState& state,
                 std::span<const platform::DevicePoint> points) override {
        const auto [left, right] = std::minmax({points[0].x, points[2].x});
        const auto [top, bottom] = std::minmax({points[0].y, points[2].y});
        std::set<std::pair<int, int>> outline;
        for (int x = int(left); x <= int(right); ++x) {
            outline.insert({x, int(top)});
            outline.insert({x, int(bottom)});
        }
        for (int y = int(top); y <= int(bottom); ++y) {
            outline.insert({int(left), y});
            outline.insert({int(right), y});
        }
        for (int y = int(top); y <= int(bottom); ++y) {
            for (int x = int(left); x <= int(right); ++x) {
                const bool edge = outline.count({x, y}) != 0;
                const bool painted = edge ? !state.pen.null : !state.brush.null;
                const bool ink = edge ? state.pen.colour.red == 0 : state.brush.colour.red == 0;
                auto pixel = black_.begin() + (size_t(y) * Width() + x);
                if (painted) *pixel = state.rasterOp == platform::R2_NOT ? !*pixel : ink;
            }
        }
    }

  private:
    std::vector<bool> black_;
};

TEST(ZoomModuleTest, InvertsTheOutlineOnlyAndASecondBandRestoresIt) {
    PixelSurface image(200, 120);
    const platform::WindowHandle window = platform::CreateWindowHandle();
    const platform::ScopedWindowSurface shown(window, image);
    const view::PixelPoint from{150, 100}, to{20, 10}; // dragged up and to the left
    view::DrawRubberBand(window, from, to);
    EXPECT_TRUE(image.Black(20, 50));
    EXPECT_TRUE(image.Black(85, 100));
    EXPECT_FALSE(image.Black(85, 50)); // the inside is left alone
    EXPECT_EQ(image.BlackCount(), 2 * 131 + 2 * 89);
    view::DrawRubberBand(window, from, to);
    EXPECT_EQ(image.BlackCount(), 0);
}

class BandDragTest : public testsupport::DrawAreaTest {};

TEST_F(BandDragTest, DraggingShowsOnlyTheLatestBand) {
    PixelSurface image(kWidth, kHeight);
    shown.emplace(area->Handle(), image);
    area->mnuZoomWindowClick();
    area->MouseDown(view::kLeftButton, 0, 10, 10);
    area->MouseMove(view::kLeftButton, 0, 50, 40);
    area->MouseMove(view::kLeftButton, 0, 80, 60);
    EXPECT_TRUE(image.Black(80, 30));
    EXPECT_TRUE(image.Black(45, 60));
    EXPECT_FALSE(image.Black(50, 25)); // the first band is gone
    EXPECT_EQ(image.BlackCount(), 2 * 71 + 2 * 49);
    EXPECT_EQ(shows, 3);
}

class PointZoomTest : public testsupport::DrawAreaTest {
  protected:
    // Arms the point zoom of `menu` and clicks at (x, y).
    void ZoomAt(void (view::DrawArea::*menu)(), int x, int y) {
        (*area.*menu)();
        area->MouseDown(view::kLeftButton, 0, x, y);
        area->MouseUp(view::kLeftButton, 0, x, y);
    }
};

TEST_F(PointZoomTest, ZoomOutDoublesTheViewAndZoomInHalvesItAboutTheClickedPoint) {
    constexpr double kNear = 1e-9;
    constexpr int kX = 300, kY = 400;
    const std::optional<KqPoint2> clicked = area->WorldAt(kX, kY);
    ASSERT_TRUE(clicked);
    const std::pair<void (view::DrawArea::*)(), double> zooms[] = {
        {&view::DrawArea::mnuZoomOutClick, 2.0},
        {&view::DrawArea::mnuZoomInClick, 0.5},
        {&view::DrawArea::mnuZoomInClick, 0.5},
    };
    for (const auto& [menu, scale] : zooms) {
        const KqRect2 before = View();
        ZoomAt(menu, kX, kY);
        EXPECT_NEAR(View().x2 - View().x1, (before.x2 - before.x1) * scale, kNear);
        EXPECT_NEAR(View().y2 - View().y1, (before.y2 - before.y1) * scale, kNear);
        const std::optional<KqPoint2> under = area->WorldAt(kX, kY);
        ASSERT_TRUE(under);
        EXPECT_NEAR(under->x, clicked->x, kNear); // the point stays under the pointer
        EXPECT_NEAR(under->y, clicked->y, kNear);
    }
}

} // namespace

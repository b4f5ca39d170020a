// Viewports on the drawing area: the world-pixel mapping, picking, zoom and pan.
#include "cadlib/display/fixture.h"
#include "cadlib/kq.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using testsupport::RecordedPrimitive;

constexpr double kClose = 1e-9;

void ExpectView(const KqRect2& actual, const KqRect2& expected) {
    EXPECT_NEAR(actual.x1, expected.x1, kClose);
    EXPECT_NEAR(actual.y1, expected.y1, kClose);
    EXPECT_NEAR(actual.x2, expected.x2, kClose);
    EXPECT_NEAR(actual.y2, expected.y2, kClose);
}

class DisplayViewTest : public testsupport::DisplayTest {
  protected:
    // Where a line starting at `world` is drawn.
    platform::DevicePoint PixelOf(KqPoint2 world) {
        const KqPoint3 start{world.x, world.y, 0}, end{world.x + 0.5, world.y, 0};
        builder::AppendEntity(kq_construct_line(builder::Session().DataAreaHandle, start, end));
        const auto& drawn = Redraw();
        EXPECT_FALSE(drawn.empty());
        return drawn.empty() ? platform::DevicePoint{NAN, NAN} : drawn.back().points.front();
    }

    int32_t ZoomWindow(double x1, double y1, double x2, double y2) {
        const double band[4] = {x1, y1, x2, y2};
        return kq_zoom_vport(Screen(), 0, 0, 1, band, 1.0);
    }
};

TEST_F(DisplayViewTest, ThePageFillsAWindowOfItsShapeAtOneHundredPixelsPerInch) {
    ExpectView(View(), {0, 0, 8.5, 11});
    EXPECT_NEAR(WorldAt(0, 0).x, 0, kClose);
    EXPECT_NEAR(WorldAt(0, 0).y, 11, kClose);
    EXPECT_NEAR(WorldAt(425, 550).x, 4.25, kClose);
    EXPECT_NEAR(WorldAt(425, 550).y, 5.5, kClose);
}

TEST_F(DisplayViewTest, AWiderWindowShowsThePageCentredWithItsShapeKept) {
    ASSERT_EQ(kq_resize_vports(Screen(), 1700, 1100), 1);
    ExpectView(View(), {-4.25, 0, 12.75, 11});
    EXPECT_NEAR(WorldAt(425, 0).x, 0, kClose);
}

TEST_F(DisplayViewTest, PixelToWorldToPixelComesBackToThePixel) {
    kq_resize_vports(Screen(), 1000, 700);
    const KqPoint2 world = WorldAt(123, 456);
    const platform::DevicePoint pixel = PixelOf(world);
    EXPECT_NEAR(pixel.x, 123, 1e-6);
    EXPECT_NEAR(pixel.y, 456, 1e-6);
}

TEST_F(DisplayViewTest, ZoomWindowShowsTheBandInEitherCornerOrder) {
    // Pixels (100, 200) and (300, 500) are (1, 9) and (3, 6) inches: a band 2
    // wide and 3 high, widened to the window's shape about its middle.
    ASSERT_EQ(ZoomWindow(100, 200, 300, 500), 1);
    const double halfWidth = 3.0 * 850 / 1100 / 2;
    const KqRect2 expected{2 - halfWidth, 6, 2 + halfWidth, 9};
    ExpectView(View(), expected);

    kq_zoom_vport_limits(Screen(), Viewport());
    ASSERT_EQ(ZoomWindow(300, 500, 100, 200), 1);
    ExpectView(View(), expected);
    ASSERT_EQ(kq_zoom_vport_limits(Screen(), Viewport()), 1);
    ASSERT_EQ(ZoomWindow(100, 500, 300, 200), 1);
    ExpectView(View(), expected);
}

TEST_F(DisplayViewTest, ZoomAboutAPointKeepsThatPointWhereItIs) {
    const KqPoint2 point = WorldAt(200, 300);
    const KqRect2 before = View();
    ASSERT_EQ(kq_zoom_point(Screen(), Viewport(), point, 2.0), 1);
    EXPECT_NEAR(View().x2 - View().x1, (before.x2 - before.x1) / 2, kClose);
    EXPECT_NEAR(WorldAt(200, 300).x, point.x, kClose);
    EXPECT_NEAR(WorldAt(200, 300).y, point.y, kClose);

    ASSERT_EQ(kq_zoom_point(Screen(), Viewport(), point, 0.5), 1);
    ExpectView(View(), before);
    const platform::DevicePoint pixel = PixelOf(point);
    EXPECT_NEAR(pixel.x, 200, 1e-6);
    EXPECT_NEAR(pixel.y, 300, 1e-6);
}

TEST_F(DisplayViewTest, PanMovesTheViewByTheGivenDistance) {
    const KqRect2 before = View();
    const double twentieth = (before.x2 - before.x1) / 20;
    ASSERT_EQ(kq_pan_vport(Screen(), Viewport(), twentieth, 0), 1);
    ExpectView(View(), {before.x1 + twentieth, before.y1, before.x2 + twentieth, before.y2});
    EXPECT_NEAR(WorldAt(425, 550).x, 4.25 + twentieth, kClose);

    const double down = -(before.y2 - before.y1) / 20;
    ASSERT_EQ(kq_pan_vport(Screen(), Viewport(), 0, down), 1);
    EXPECT_NEAR(View().y1, before.y1 + down, kClose);
}

TEST_F(DisplayViewTest, ZoomToTheLimitsShowsTheWholePage) {
    ASSERT_EQ(ZoomWindow(10, 10, 60, 40), 1);
    kq_resize_vports(Screen(), 600, 1100);
    ASSERT_EQ(kq_zoom_vport_limits(Screen(), Viewport()), 1);
    const KqRect2 view = View();
    EXPECT_LE(view.x1, 0);
    EXPECT_LE(view.y1, 0);
    EXPECT_GE(view.x2, 8.5);
    EXPECT_GE(view.y2, 11);
    // The page touches two sides: it is as large as the window allows.
    EXPECT_NEAR(view.x2 - view.x1, 8.5, kClose);
    EXPECT_NEAR((view.y1 + view.y2) / 2, 5.5, kClose);
}

TEST_F(DisplayViewTest, OnlyActiveViewportsArePickedAndOutsideIsNegative) {
    EXPECT_EQ(kq_which_vport(Screen(), 10, 10), Viewport());
    // The inactive viewports in the middle do not take the pick.
    EXPECT_EQ(kq_which_vport(Screen(), 425, 550), Viewport());
    EXPECT_LT(kq_which_vport(Screen(), 850, 10), 0);
    EXPECT_LT(kq_which_vport(Screen(), 10, 1100), 0);
    EXPECT_LT(kq_which_vport(Screen(), -1, 10), 0);
    kq_set_vport_status(Screen(), 0, 0);
    EXPECT_LT(kq_which_vport(Screen(), 10, 10), 0);
}

TEST_F(DisplayViewTest, TheCurrentViewportIsOnlyAKnownOne) {
    EXPECT_EQ(kq_set_current_viewport(Screen(), Viewport()), Viewport());
    EXPECT_LT(kq_set_current_viewport(Screen(), 99), 0);
    EXPECT_LT(kq_set_current_viewport(Screen(), 0), 0);
}

TEST_F(DisplayViewTest, DegenerateOrNonFiniteViewsAreRefusedAndChangeNothing) {
    const KqRect2 before = View();
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const KqRect2 zero{};
    EXPECT_EQ(ZoomWindow(100, 200, 100, 500), 0); // no width
    EXPECT_EQ(ZoomWindow(100, 200, 300, 200), 0); // no height
    EXPECT_EQ(kq_set_vport_world(Screen(), Viewport(), zero), 0);
    EXPECT_EQ(kq_set_vport_world(Screen(), Viewport(), {0, 0, inf, 1}), 0);
    EXPECT_EQ(kq_zoom_point(Screen(), Viewport(), {1, 1}, 0), 0);
    EXPECT_EQ(kq_zoom_point(Screen(), Viewport(), {1, 1}, -2), 0);
    EXPECT_EQ(kq_zoom_point(Screen(), Viewport(), {1, 1}, nan), 0);
    EXPECT_EQ(kq_zoom_point(Screen(), Viewport(), {nan, 1}, 2), 0);
    EXPECT_EQ(kq_zoom_point(Screen(), Viewport(), {1, 1}, inf), 0);
    EXPECT_EQ(kq_pan_vport(Screen(), Viewport(), nan, 0), 0);
    EXPECT_EQ(kq_pan_vport(Screen(), Viewport(), 0, inf), 0);
    const double band[4] = {0, 0, 10, 10};
    EXPECT_EQ(kq_zoom_vport(Screen(), 0, 0, 1, band, 0.0), 0);
    EXPECT_EQ(kq_resize_vports(Screen(), 0, 1100), 0);
    EXPECT_EQ(kq_resize_vports(Screen(), 850, -3), 0);
    ExpectView(View(), before);
}

TEST_F(DisplayViewTest, ZoomingInWithoutEndStopsWhileTheViewIsStillUsable) {
    const KqPoint2 point{3, 4};
    int accepted = 0;
    while (kq_zoom_point(Screen(), Viewport(), point, 1e3) == 1 && accepted < 100)
        ++accepted;
    EXPECT_LT(accepted, 100);
    const KqRect2 view = View();
    EXPECT_GT(view.x2, view.x1);
    EXPECT_TRUE(std::isfinite(view.x1) && std::isfinite(view.y2));
    // A line through the point reaches the device cut to the window's edges.
    const KqPoint3 start{2, 4, 0}, end{4, 4, 0};
    builder::AppendEntity(kq_construct_line(builder::Session().DataAreaHandle, start, end));
    const auto& drawn = Redraw();
    ASSERT_EQ(drawn.size(), 1u);
    for (const platform::DevicePoint& p : drawn[0].points) {
        EXPECT_GE(p.x, -10);
        EXPECT_LE(p.x, kWidth + 10);
    }
}

TEST_F(DisplayViewTest, ARequestForViewportZeroMeansTheCurrentOne) {
    ASSERT_EQ(kq_pan_vport(Screen(), 0, 1.0, 0), 1);
    EXPECT_NEAR(View().x1, 1.0, kClose);
}

TEST_F(DisplayViewTest, HandleZeroDoesNothing) {
    KqRect2 world{1, 2, 3, 4};
    double x = 7, y = 8;
    const double band[4] = {0, 0, 10, 10};
    EXPECT_EQ(kq_resize_vports(0, 850, 1100), 0);
    EXPECT_EQ(kq_get_vport_world(0, 1, world), 0);
    EXPECT_EQ(world.x1, 1);
    EXPECT_EQ(kq_pan_vport(0, 0, 0, 0), 0);
    EXPECT_EQ(kq_zoom_vport(0, 0, 0, 1, band, 1.0), 0);
    EXPECT_EQ(kq_zoom_vport_limits(0, 1), 0);
    EXPECT_EQ(kq_zoom_point(0, 1, {1, 1}, 2), 0);
    EXPECT_EQ(kq_which_vport(0, 1, 1), 0);
    EXPECT_EQ(kq_set_current_viewport(0, 1), 0);
    EXPECT_EQ(kq_get_world_pnt(0, 1, 1, x, y), 0);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(kq_set_mouse(0, 1, 1), 0);
}

} // namespace

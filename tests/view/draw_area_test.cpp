// The window's handlers without any toolkit: scroll bars, layout, zoom
// window, zoom last and page, exit and termination.
#include "view/draw_area_fixture.h"

#include "cadlib/testing.h"
#include "view/zoom_state.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using testsupport::DrawAreaTest;
using view::kLeftButton;
using view::kRightButton;
using view::Zoom;

constexpr double kNear = 1e-9;

TEST_F(DrawAreaTest, BarStepsPanAShareOfTheViewOnceAndTheThumbFollows) {
    using view::DrawArea;
    struct Case {
        view::ScrollBarModel DrawArea::*bar;
        int steps; // in arrows (1) or trough clicks (10)
        double dx, dy;
    };
    for (const Case& c :
         {Case{&DrawArea::HScroll1, 1, 8.5 / 20, 0}, Case{&DrawArea::HScroll1, -10, -8.5 / 2, 0},
          Case{&DrawArea::VScroll1, 10, 0, -11.0 / 2},
          Case{&DrawArea::VScroll1, -1, 0, 11.0 / 20}}) {
        view::ScrollBarModel& bar = (*area).*c.bar;
        const KqRect2 before = View();
        surface.primitives.clear();
        const int16_t thumb = bar.Value();
        const int16_t step = std::abs(c.steps) == 1 ? bar.SmallChange() : bar.LargeChange();
        bar.SetValue(static_cast<int16_t>(thumb + (c.steps > 0 ? step : -step)));
        EXPECT_NEAR(View().x1, before.x1 + c.dx, kNear) << c.steps;
        EXPECT_NEAR(View().y1, before.y1 + c.dy, kNear) << c.steps;
        EXPECT_EQ(c.steps > 0, bar.Value() > thumb) << c.steps; // the thumb is where the view is
        EXPECT_EQ(Refreshes(), 1) << c.steps; // placing the thumb pans nothing more
    }
}

TEST_F(DrawAreaTest, TheThumbsShowTheViewsShareOfThePageAtEveryZoom) {
    // The page and half a view on either side: the page's view is half the bar.
    EXPECT_EQ(area->HScroll1.Span(), view::kBarSteps / 2);
    EXPECT_EQ(area->VScroll1.Span(), view::kBarSteps / 2);
    // A third of the page (1.2^6 = 2.99), half of it more on either side: a quarter.
    area->MouseWheel(6 * view::kWheelNotch, 300, 400);
    EXPECT_NEAR(area->HScroll1.Span(), view::kBarSteps / 4, 2);
    EXPECT_NEAR(area->VScroll1.Span(), view::kBarSteps / 4, 2);
    EXPECT_EQ(area->HScroll1.Max(), view::kBarSteps - area->HScroll1.Span());
    area->mnuZoomPageClick();
    EXPECT_EQ(area->HScroll1.Span(), view::kBarSteps / 2);
    EXPECT_EQ(area->HScroll1.Value(), view::kBarSteps / 4);
}

TEST_F(DrawAreaTest, ThumbLetGoPansTheViewAsFarAsItWasMoved) {
    const KqRect2 before = View();
    const int16_t span = area->HScroll1.Span();
    area->HScroll1.SetValue(static_cast<int16_t>(area->HScroll1.Value() + span / 5 + 1));
    EXPECT_NEAR(View().x1 - before.x1, 8.5 * (span / 5 + 1) / span, kNear);
}

TEST_F(DrawAreaTest, WithoutASessionABarPansNothing) {
    builder::Session().ScreenHandle = 0;
    area->HScroll1.SetValue(100);
    EXPECT_EQ(Refreshes(), 0);
    EXPECT_TRUE(surface.primitives.empty());
}

TEST_F(DrawAreaTest, ResizeGivesTheLibraryTheClientAreaLessTheBars) {
    area->Resize(500.5, 401.5);
    EXPECT_EQ(ScreenGlobals().areaWidth, 484);  // 484.5 to even
    EXPECT_EQ(ScreenGlobals().areaHeight, 386); // 385.5 to even
    EXPECT_EQ(area->VScroll1.Left(), 484.5);
    EXPECT_EQ(area->VScroll1.Top(), 0);
    EXPECT_EQ(area->VScroll1.Height(), 385.5); // the bar's width stays free below it
    EXPECT_EQ(area->HScroll1.Left(), 0);
    EXPECT_EQ(area->HScroll1.Width(), 484.5);
    EXPECT_EQ(area->HScroll1.Top(), 385.5);
    EXPECT_EQ(Refreshes(), 1);
}

TEST_F(DrawAreaTest, AWindowSmallerThanTheBarsKeepsTheirSizesAndStillSetsTheEdges) {
    area->Resize(10, 5);
    EXPECT_EQ(area->VScroll1.Left(), -6);
    EXPECT_EQ(area->VScroll1.Height(), 1100); // -11 refused
    EXPECT_EQ(area->HScroll1.Width(), 850);   // -6 refused
    EXPECT_EQ(area->HScroll1.Top(), -11);
    EXPECT_EQ(ScreenGlobals().areaWidth, 850); // the library refuses the negative area
    area->Resize(kWidth, kHeight);
    EXPECT_EQ(area->VScroll1.Height(), 1100);
}

TEST_F(DrawAreaTest, ZoomWindowShowsTheDraggedBandInEitherDirection) {
    const KqRect2 page = View();
    for (const bool backwards : {false, true}) {
        area->mnuZoomPageClick();
        area->mnuZoomWindowClick();
        EXPECT_EQ(pointers.back(), view::MousePointer::SizeAll);
        // The band from (1, 9) to (3, 6) inches; the view is fitted to its height.
        if (backwards) {
            Drag(300, 500, 100, 200);
        } else {
            Drag(100, 200, 300, 500);
        }
        const KqRect2 view = View();
        EXPECT_NEAR(view.y1, 6, kNear);
        EXPECT_NEAR(view.y2, 9, kNear);
        EXPECT_NEAR((view.x1 + view.x2) / 2, 2, kNear);
        EXPECT_EQ(Zoom().ZoomWindowMode, 0);
        EXPECT_EQ(pointers.back(), view::MousePointer::Default);
        EXPECT_NEAR(Zoom().CurrentView.y1, 6, kNear);
        EXPECT_NEAR(Zoom().PreviousView.y2, page.y2, kNear);
    }
}

TEST_F(DrawAreaTest, AClickOrAFlatBandZoomsNothingButEndsTheMode) {
    const KqRect2 before = View();
    for (const int toY : {200, 500}) {
        area->mnuZoomWindowClick();
        Drag(100, 200, 100, toY); // a click, then a vertical line
        EXPECT_NEAR(View().x1, before.x1, kNear);
        EXPECT_NEAR(View().y2, before.y2, kNear);
        EXPECT_EQ(Zoom().ZoomWindowMode, 0);
        EXPECT_NEAR(Zoom().PreviousView.y2, before.y2, kNear);
    }
    EXPECT_EQ(Refreshes(), 2);
}

TEST_F(DrawAreaTest, TheRightButtonNeitherStartsMovesNorEndsTheBand) {
    area->mnuZoomWindowClick();
    area->MouseDown(kRightButton, 0, 100, 200);
    area->MouseMove(kRightButton, 0, 300, 500);
    area->MouseUp(kRightButton, 0, 300, 500);
    EXPECT_EQ(Zoom().BandShown, 0);
    EXPECT_EQ(Zoom().ZoomWindowMode, 1);
    EXPECT_TRUE(surface.primitives.empty());
    EXPECT_EQ(Zoom().MouseX, 300);
}

TEST_F(DrawAreaTest, AMoveWithBothButtonsLeavesTheBand) {
    area->mnuZoomWindowClick();
    area->MouseDown(kLeftButton, 0, 100, 200);
    area->MouseMove(kLeftButton, 0, 300, 500);
    const size_t drawn = surface.primitives.size();
    area->MouseMove(kLeftButton | kRightButton, 0, 400, 600);
    EXPECT_EQ(Zoom().BandEnd.x, 300);
    EXPECT_EQ(Zoom().BandEnd.y, 500);
    EXPECT_EQ(surface.primitives.size(), drawn);
    EXPECT_EQ(ScreenGlobals().mouseX, 400); // the library still follows the pointer
}

TEST_F(DrawAreaTest, ZoomLastGoesBackAndForth) {
    area->mnuZoomPageClick();
    area->mnuZoomWindowClick();
    Drag(100, 200, 300, 500);
    area->mnuZoomLastClick();
    EXPECT_NEAR(View().y1, 0, kNear); // the page
    EXPECT_NEAR(View().y2, 11, kNear);
    area->mnuZoomLastClick();
    EXPECT_NEAR(View().y1, 6, kNear); // the band again
    EXPECT_NEAR(View().y2, 9, kNear);
}

TEST_F(DrawAreaTest, ZoomLastBeforeAnyZoomReturnsToTheFirstView) {
    area->mnuZoomWindowClick();
    Drag(100, 200, 300, 500);
    area->mnuZoomLastClick();
    EXPECT_NEAR(View().y1, 0, kNear);
    EXPECT_NEAR(View().x2, 8.5, kNear);
}

TEST_F(DrawAreaTest, AnArmedPointZoomRunsOnceAtTheReleaseWithoutRefreshing) {
    area->mnuZoomInClick();
    EXPECT_TRUE(area->PointZoomArmed());
    area->MouseDown(kLeftButton, 0, 200, 300);
    area->MouseUp(kLeftButton, 0, 200, 300);
    EXPECT_FALSE(area->PointZoomArmed());
    EXPECT_NEAR(View().y2 - View().y1, 5.5, kNear);
    const std::optional<KqPoint2> centre = area->WorldAt(200, 300);
    ASSERT_TRUE(centre);
    EXPECT_NEAR(centre->x, 2, kNear); // the point stays under the pointer
    EXPECT_NEAR(centre->y, 8, kNear);
    EXPECT_EQ(Refreshes(), 0);
    area->MouseUp(kLeftButton, 0, 200, 300);
    EXPECT_NEAR(View().y2 - View().y1, 5.5, kNear);
}

TEST_F(DrawAreaTest, TheWheelZoomsAboutThePointerByAGentleStepAndShowsIt) {
    area->MouseWheel(-3 * view::kWheelNotch, 425, 550); // three notches at once
    EXPECT_NEAR(View().y2 - View().y1, 11 * 1.2 * 1.2 * 1.2, kNear);
    area->MouseWheel(2 * view::kWheelNotch, 425, 550);
    EXPECT_NEAR(View().y2 - View().y1, 11 * 1.2, kNear);
    EXPECT_NEAR((View().x1 + View().x2) / 2, 4.25, kNear);
    EXPECT_EQ(Refreshes(), 2);
}

TEST_F(DrawAreaTest, SmallWheelTurnsAddUpBeforeTheyZoom) {
    const std::optional<KqPoint2> under = area->WorldAt(200, 300);
    area->MouseWheel(10, 200, 300); // a touchpad's small steps
    area->MouseWheel(10, 200, 300);
    EXPECT_NEAR(View().y2 - View().y1, 11, kNear);
    EXPECT_EQ(Refreshes(), 0);
    area->MouseWheel(10, 200, 300); // a quarter of a notch in all
    EXPECT_NEAR(View().y2 - View().y1, 11 / std::pow(1.2, 0.25), kNear);
    EXPECT_EQ(Refreshes(), 1);
    const std::optional<KqPoint2> still = area->WorldAt(200, 300);
    ASSERT_TRUE(under && still);
    EXPECT_NEAR(still->x, under->x, kNear); // about the pointer
    EXPECT_NEAR(still->y, under->y, kNear);
}

class EndingTest : public DrawAreaTest {
  protected:
    void SetUp() override {
        DrawAreaTest::SetUp();
        cadlib::testing::SetPurgeObserver(
            [this](const std::string& what, int32_t) { purges.push_back(what); });
    }
    std::vector<std::string> purges;
};

TEST_F(EndingTest, ExitFreesTheDataAreaThenTheScreenOnceAndEnds) {
    area->mnuExitClick();
    EXPECT_EQ(purges, (std::vector<std::string>{"data area", "screen"}));
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(builder::Session().DataAreaHandle, 0); // forgotten: nothing frees them again
    area->Terminate();                               // nothing runs after Exit
    EXPECT_EQ(purges.size(), 2u);
}

TEST_F(EndingTest, TerminationFreesTheSessionAndDoesNotEnd) {
    area->Terminate();
    EXPECT_EQ(purges, (std::vector<std::string>{"data area", "screen"}));
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(ends, 0);
}

TEST_F(EndingTest, AHandleThatIsZeroIsNotPassedOn) {
    builder::Session().DataAreaHandle = 0;
    area->mnuExitClick();
    EXPECT_EQ(purges, (std::vector<std::string>{"screen"}));
}

} // namespace

// What a CAD user reaches for beside the menu: the middle button drags the
// view, the keys pan and Escape cancels, and the prompt follows what is armed.
#include "view/draw_area_fixture.h"

#include "view/zoom_state.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using testsupport::DrawAreaTest;
using view::kLeftButton;
using view::kMiddleButton;
using view::NavigationKey;
using view::Zoom;

constexpr double kNear = 1e-9;

class HabitsTest : public DrawAreaTest {
  protected:
    // Outlines drawn with the inverting raster operation: the band.
    int InvertedOutlines() const {
        return static_cast<int>(std::count_if(surface.primitives.begin(), surface.primitives.end(),
                                              [](const testsupport::RecordedPrimitive& p) {
                                                  return p.state.rasterOp == platform::R2_NOT;
                                              }));
    }
};

TEST_F(HabitsTest, DraggingWithTheMiddleButtonKeepsThePointUnderThePointer) {
    area->mnuZoomInClick(); // the drag must not disturb what is armed
    const std::optional<KqPoint2> grabbed = area->WorldAt(400, 500);
    area->MouseDown(kMiddleButton, 0, 400, 500);
    area->MouseMove(kMiddleButton, 0, 430, 510);
    area->MouseMove(kMiddleButton, 0, 450, 520);
    const std::optional<KqPoint2> under = area->WorldAt(450, 520);
    ASSERT_TRUE(grabbed && under);
    EXPECT_NEAR(under->x, grabbed->x, kNear);
    EXPECT_NEAR(under->y, grabbed->y, kNear);
    EXPECT_EQ(Refreshes(), 2);
    EXPECT_TRUE(area->PointZoomArmed());

    area->MouseUp(kMiddleButton, 0, 450, 520);
    const KqRect2 released = View();
    area->MouseMove(0, 0, 600, 600);             // no button: no pan
    area->MouseMove(kMiddleButton, 0, 600, 700); // held without a press here: no pan either
    EXPECT_NEAR(View().x1, released.x1, kNear);
    EXPECT_NEAR(View().y1, released.y1, kNear);
    EXPECT_EQ(Refreshes(), 2);
}

TEST_F(HabitsTest, ArrowsAndPageKeysPanByTheScrollBarsAmounts) {
    const KqRect2 start = View();
    const double width = start.x2 - start.x1, height = start.y2 - start.y1;
    area->KeyDown(NavigationKey::Right);
    EXPECT_NEAR(View().x1, start.x1 + width / 20, kNear);
    area->KeyDown(NavigationKey::Left);
    area->KeyDown(NavigationKey::Left);
    EXPECT_NEAR(View().x1, start.x1 - width / 20, kNear);
    area->KeyDown(NavigationKey::Down);
    EXPECT_NEAR(View().y1, start.y1 - height / 20, kNear);
    area->KeyDown(NavigationKey::Up);
    area->KeyDown(NavigationKey::PageUp);
    EXPECT_NEAR(View().y1, start.y1 + height / 2, kNear);
    area->KeyDown(NavigationKey::PageDown);
    area->KeyDown(NavigationKey::PageDown);
    EXPECT_NEAR(View().y1, start.y1 - height / 2, kNear);
    EXPECT_EQ(Refreshes(), 8); // one for each key
}

TEST_F(HabitsTest, EscapeDisarmsZoomWindowAndTheNextDragZoomsNothing) {
    area->mnuZoomWindowClick();
    EXPECT_EQ(area->Prompt(), "Drag a window around what to zoom into (Esc cancels)");
    const int changedBefore = changes;
    area->KeyDown(NavigationKey::Escape);
    EXPECT_GT(changes, changedBefore);
    EXPECT_EQ(area->Prompt(), "");
    EXPECT_EQ(Zoom().ZoomWindowMode, 0);
    ASSERT_FALSE(pointers.empty());
    EXPECT_EQ(pointers.back(), view::MousePointer::Default);

    const KqRect2 before = View();
    Drag(100, 100, 300, 400);
    EXPECT_NEAR(View().x1, before.x1, kNear);
    EXPECT_NEAR(View().x2, before.x2, kNear);
    EXPECT_EQ(InvertedOutlines(), 0);
}

TEST_F(HabitsTest, EscapeWhileDraggingABandWipesItAndTheReleaseZoomsNothing) {
    area->mnuZoomWindowClick();
    area->MouseDown(kLeftButton, 0, 100, 100);
    area->MouseMove(kLeftButton, 0, 300, 400);
    EXPECT_EQ(InvertedOutlines(), 3); // drawn at the press, off and on at the move
    area->KeyDown(NavigationKey::Escape);
    ASSERT_EQ(InvertedOutlines(), 4); // inverted once more: gone
    EXPECT_EQ(surface.primitives.back().points[0].x, 100);
    EXPECT_EQ(surface.primitives.back().points[2].y, 400);

    const KqRect2 before = View();
    area->MouseMove(kLeftButton, 0, 350, 450);
    area->MouseUp(kLeftButton, 0, 350, 450);
    EXPECT_EQ(InvertedOutlines(), 4);
    EXPECT_NEAR(View().x1, before.x1, kNear);
    EXPECT_NEAR(View().y2, before.y2, kNear);
    EXPECT_EQ(Refreshes(), 0);
}

TEST_F(HabitsTest, TheArmedZoomIsTheBandBeforeAClick) {
    EXPECT_EQ(area->ArmedZoom(), view::ZoomMode::None);
    area->mnuZoomInClick();
    EXPECT_EQ(area->ArmedZoom(), view::ZoomMode::Point);
    area->mnuZoomWindowClick(); // both armed: the band's prompt is shown
    EXPECT_EQ(area->ArmedZoom(), view::ZoomMode::Window);
    EXPECT_EQ(area->Prompt(), "Drag a window around what to zoom into (Esc cancels)");
    area->KeyDown(NavigationKey::Escape);
    EXPECT_EQ(area->ArmedZoom(), view::ZoomMode::None);
}

TEST_F(HabitsTest, ThePointZoomPromptGoesOnceTheZoomIsDone) {
    area->mnuZoomOutClick();
    EXPECT_EQ(area->Prompt(), "Click the place to zoom (Esc cancels)");
    area->MouseDown(kLeftButton, 0, 400, 500);
    const int changedBefore = changes;
    area->MouseUp(kLeftButton, 0, 400, 500);
    EXPECT_GT(changes, changedBefore); // the window hears that the prompt went
    EXPECT_EQ(area->Prompt(), "");

    area->mnuZoomLimitsClick();
    area->KeyDown(NavigationKey::Escape);
    EXPECT_FALSE(area->PointZoomArmed());
    EXPECT_EQ(area->Prompt(), "");
}

TEST_F(HabitsTest, EveryPanAndZoomTellsTheWindowItsViewChanged) {
    int seen = changes;
    const auto changed = [&] {
        const bool told = changes > seen;
        seen = changes;
        return told;
    };
    area->HScroll1.SetValue(51);
    EXPECT_TRUE(changed());
    area->MouseWheel(view::kWheelNotch, 300, 300);
    EXPECT_TRUE(changed());
    area->mnuZoomPageClick();
    EXPECT_TRUE(changed());
    area->mnuZoomLastClick();
    EXPECT_TRUE(changed());
    area->MouseDown(kMiddleButton, 0, 400, 500);
    area->MouseMove(kMiddleButton, 0, 420, 500);
    EXPECT_TRUE(changed());
}

} // namespace

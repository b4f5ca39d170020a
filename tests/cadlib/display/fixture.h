// A drawing session shown on a window of 850 x 1100 pixels (the letter page
// at 100 pixels per inch), drawn into a recording surface.
#pragma once

#include "builder/redraw.h"
#include "builder/session.h"
#include "cadlib/kq_display.h"
#include "platform/device_context.h"
#include "platform/window_handles.h"
#include "support/drawing_fixture.h"
#include "support/recording_surface.h"

#include <cmath>
#include <vector>

namespace testsupport {

class DisplayTest : public DrawingTest {
  protected:
    static constexpr int kWidth = 850, kHeight = 1100;

    void SetUp() override {
        DrawingTest::SetUp();
        platform::RegisterMainWindow(window);
        StartSession();
        kq_resize_vports(Screen(), kWidth, kHeight);
    }

    void TearDown() override {
        platform::RegisterWindowSurface(window, nullptr);
        DrawingTest::TearDown();
    }

    int32_t Screen() const { return builder::Session().ScreenHandle; }
    int32_t Viewport() const { return builder::Session().ScreenViewport; }

    KqRect2 View() const {
        KqRect2 world;
        kq_get_vport_world(Screen(), Viewport(), world);
        return world;
    }

    KqPoint2 WorldAt(int x, int y) const {
        KqPoint2 world{NAN, NAN};
        kq_get_world_pnt(Screen(), x, y, world.x, world.y);
        return world;
    }

    // What one redraw of the window paints.
    const std::vector<testsupport::RecordedPrimitive>& Redraw() {
        surface.primitives.clear();
        const platform::ScopedWindowSurface shown(window, surface);
        builder::RedrawScreen();
        return surface.primitives;
    }

    platform::WindowHandle window = platform::CreateWindowHandle();
    testsupport::RecordingSurface surface{kWidth, kHeight};
};

} // namespace testsupport

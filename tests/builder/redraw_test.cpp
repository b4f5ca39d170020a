// RedrawScreen: one device context per pass, taken from the window and given back.
#include "builder/redraw.h"

#include "cadlib/display/fixture.h"
#include "cadlib/kq.h"

#include <gtest/gtest.h>

namespace {

class RedrawTest : public testsupport::DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        Command("S\t600\t600\t");
        Command("LR\t600\t");
    }
};

TEST_F(RedrawTest, DrawsTheDrawingIntoTheWindowsSurface) {
    EXPECT_EQ(Redraw().size(), 1u);
}

TEST_F(RedrawTest, LeavesTheLibraryUnbound) {
    const platform::ScopedWindowSurface shown(window, surface);
    builder::RedrawScreen();
    EXPECT_EQ(ScreenGlobals().deviceContext, 0);
    EXPECT_EQ(ScreenGlobals().drawPass, 0);
    EXPECT_EQ(kq_begin_draw(Screen()), 0); // bound to nothing
}

TEST_F(RedrawTest, DoesNothingWithoutASession) {
    builder::Session().ScreenHandle = 0;
    EXPECT_TRUE(Redraw().empty());
}

TEST_F(RedrawTest, AWindowWithoutASurfaceGetsNothingDrawn) {
    builder::RedrawScreen(); // no surface registered: no context to draw into
    EXPECT_TRUE(surface.primitives.empty());
    EXPECT_EQ(ScreenGlobals().deviceContext, 0);
}

} // namespace

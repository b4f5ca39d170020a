// A text is drawn in every view its glyphs reach, however wide its letters:
// a narrow view at the end of a long text shows the pixels the page shows there.
#include "view/qt/page_fixture.h"

#include "builder/redraw.h"
#include "builder/session.h"
#include "cadlib/kq.h"
#include "cadlib/kq_display.h"
#include "driver/batch_run.h"
#include "platform/window_handles.h"
#include "view/draw_area.h"
#include "view/qt/image_surface.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TextViewTest : public testsupport::PageTest {
  protected:
    // The picture of `world` on a drawing area of width x height pixels.
    static QImage Picture(int width, int height, const KqRect2& world) {
        const builder::SessionState& session = builder::Session();
        kq_resize_vports(session.ScreenHandle, width, height);
        kq_set_vport_world(session.ScreenHandle, session.ScreenViewport, world);
        view::qt::ImageSurface image(width, height);
        const platform::ScopedWindowSurface shown(platform::MainWindowHandle(), image);
        builder::RedrawScreen();
        return image.Image().copy();
    }

    static int Differing(const QImage& a, const QImage& b) {
        int differing = 0;
        for (int row = 0; row < a.height(); ++row) {
            for (int column = 0; column < a.width(); ++column)
                differing += a.pixel(column, row) != b.pixel(column, row);
        }
        return differing;
    }
};

TEST_F(TextViewTest, TheEndOfATextOfWideLettersIsDrawnInANarrowView) {
    // Twenty per-mille signs (byte 0x89) in a face no system has, at 20
    // points from x = 1 inch, and the same turned to run up from (5, 1).
    const std::string signs(20, '\x89');
    folder.Write("tempdxf.txt", "AF\tNo Such Face\t\r\nAP\t20\t\r\nAL\t\r\nS\t600\t3000\t\r\nA\t" +
                                    signs + "\t\r\nAD\t90\t\r\nS\t3000\t600\t\r\nA\t" + signs +
                                    "\t\r\n");
    const view::DrawArea window;
    driver::PrepareDrawing();
    const QImage page = Picture(850, 1100, {0, 0, 8.5, 11});
    // An inch across at the first text's end, and an inch down at the second's,
    // at the page's scale.
    const QImage right = Picture(100, 1100, {7.25, 0, 8.25, 11});
    const QImage top = Picture(850, 100, {0, 7.25, 8.5, 8.25});
    const QImage pageRight = page.copy(725, 0, 100, 1100);
    const QImage pageTop = page.copy(0, 275, 850, 100);
    EXPECT_GT(InkIn(pageRight, pageRight.rect()), 300); // the letters reach so far

    EXPECT_GT(InkIn(pageTop, pageTop.rect()), 300);
    EXPECT_EQ(Differing(right, pageRight), 0);
    EXPECT_EQ(Differing(top, pageTop), 0);
}

} // namespace

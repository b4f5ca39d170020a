// A pan moves the window's picture and draws only the strips it uncovers:
// the picture must be the one drawn whole at the new view, on screens of
// every scale, and a move that is not whole device pixels is drawn whole.
#include "view/qt/page_fixture.h"

#include "builder/redraw.h"
#include "builder/session.h"
#include "cadlib/kq_display.h"
#include "driver/batch_run.h"
#include "platform/window_handles.h"
#include "view/draw_area.h"
#include "view/qt/image_surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// The window's image, counting the moves it made.
class MovingImage : public platform::Surface {
  public:
    MovingImage(QSize clientArea, double ratio) : image(clientArea, ratio) {}

    int Width() const override { return image.Width(); }
    int Height() const override { return image.Height(); }
    double DotsPerInch() const override { return image.DotsPerInch(); }
    double PixelRatio() const override { return image.PixelRatio(); }
    void Polyline(const platform::DrawState& state,
                  std::span<const platform::DevicePoint> points) override {
        image.Polyline(state, points);
    }
    void Segments(const platform::DrawState& state,
                  std::span<const platform::DevicePoint> ends) override {
        image.Segments(state, ends);
    }
    void Polygon(const platform::DrawState& state,
                 std::span<const platform::DevicePoint> points) override {
        image.Polygon(state, points);
    }
    void Text(const platform::DrawState& state, platform::DevicePoint anchor,
              std::u16string_view text, const platform::TextFont& font) override {
        image.Text(state, anchor, text, font);
    }
    double TextWidth(std::u16string_view text, const platform::TextFont& font) override {
        return image.TextWidth(text, font);
    }
    bool Scroll(const platform::DeviceRect& area, int dx, int dy) override {
        const bool moved = image.Scroll(area, dx, dy);
        moves += moved ? 1 : 0;
        return moved;
    }

    view::qt::ImageSurface image;
    int moves = 0;
};

class PanTest : public testsupport::PageTest, public ::testing::WithParamInterface<double> {};

TEST_P(PanTest, AMovedPictureIsThePictureDrawnWholeAtTheNewView) {
    const double ratio = GetParam();
    std::ifstream example(std::filesystem::path(PLOTDXF_SOURCE_DIR) / "examples" / "boring_log.txt",
                          std::ios::binary);
    folder.Write("tempdxf.txt", std::string(std::istreambuf_iterator<char>(example), {}));
    view::DrawArea window;
    driver::PrepareDrawing();
    MovingImage surface(QSize(kWidth, kHeight), ratio);
    const platform::ScopedWindowSurface shown(platform::MainWindowHandle(), surface);
    window.Resize(kWidth, kHeight);
    const builder::SessionState& session = builder::Session();
    // Zoomed three times, then three wheel notches about another point.
    kq_zoom_point(session.ScreenHandle, session.ScreenViewport, {4.2, 6.5}, 3.0);
    kq_zoom_point(session.ScreenHandle, session.ScreenViewport, {3.3, 4.1}, 1.2 * 1.2 * 1.2);
    window.Refresh();

    // Dragged with the middle button: whole pixels across and down, every way.
    const auto drag = [&window](float x, float y) {
        window.MouseDown(view::kMiddleButton, 0, 400, 500);
        window.MouseMove(view::kMiddleButton, 0, 400 + x, 500 + y);
        window.MouseUp(view::kMiddleButton, 0, 400 + x, 500 + y);
    };
    int expectedMoves = 0;
    for (const auto& [x, y] : {std::pair{38.0f, -24.0f},
                               {-120.0f, 0.0f},
                               {0.0f, 66.0f},
                               {5.0f, 0.0f},
                               {8.0f, -4.0f},
                               {8.0f, -4.0f},
                               {-30.0f, 20.0f}}) {
        drag(x, y);
        // On a screen of 1.5 a move of 5 client pixels is not whole device pixels.
        const bool whole = std::fmod(x * ratio, 1.0) == 0 && std::fmod(y * ratio, 1.0) == 0;
        expectedMoves += whole ? 1 : 0;
        EXPECT_EQ(surface.moves, expectedMoves) << x << ", " << y;
        const QImage moved = surface.image.Image().copy();
        window.Refresh();
        const QImage& redrawn = surface.image.Image();
        int differing = 0;
        for (int row = 0; row < moved.height(); ++row) {
            for (int column = 0; column < moved.width(); ++column)
                differing += moved.pixel(column, row) != redrawn.pixel(column, row);
        }
        EXPECT_EQ(differing, 0) << "after a drag of " << x << ", " << y;
    }
    EXPECT_GT(expectedMoves, 0); // the moves were tried at this scale
}

INSTANTIATE_TEST_SUITE_P(Ratios, PanTest, ::testing::Values(1.0, 1.5, 2.0));

} // namespace

// A pan moves the window's picture and draws only the strips it uncovers:
// the picture must be the one drawn whole at the new view, on screens of
// every scale, and a move that is not whole device pixels is drawn whole.
#include "view/qt/page_fixture.h"

#include "builder/redraw.h"
#include "builder/session.h"
#include "cadlib/display/draw.h"
#include "cadlib/kq.h"
#include "cadlib/kq_display.h"
#include "driver/batch_run.h"
#include "platform/window_handles.h"
#include "support/module_reset.h"
#include "view/draw_area.h"
#include "view/qt/image_surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

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

int DifferingPixels(const QImage& a, const QImage& b) {
    int differing = 0;
    for (int row = 0; row < a.height(); ++row) {
        for (int column = 0; column < a.width(); ++column)
            differing += a.pixel(column, row) != b.pixel(column, row);
    }
    return differing;
}

// Five line types by three pens.
constexpr int kKinds = 15;
// Where the things of the i-th kind lie, in command units: a rectangle
// outline at the corner, a star of lines from kStar beyond it, a black
// rectangle across the star's lines and the text.
std::pair<int, int> CornerOfKind(int i) {
    return {300 + (i % 5) * 950, 400 + (i / 5) * 1900};
}
constexpr std::pair<int, int> kStar{400, 800};
constexpr double kCommandUnitsPerInch = 600; // the scales at the start

// Lines of every type and of thin, middle and thick pens at many angles,
// rectangles with sharp corners, outlined black rectangles and texts, over
// the whole page.
std::string LinesOfEveryKind() {
    std::string file = "AP\t14\t\r\n";
    int i = 0;
    const auto at = [&file](int x, int y) {
        file += "S\t" + std::to_string(x) + "\t" + std::to_string(y) + "\t\r\n";
    };
    for (int type = 1; type <= 5; ++type) {
        for (int width : {1, 3, 8}) {
            const auto [x, y] = CornerOfKind(i);
            file += "LT\t" + std::to_string(type) + "\t\r\nLW\t" + std::to_string(width) + "\t\r\n";
            for (int angle = 0; angle < 180; angle += 25) {
                at(x + kStar.first, y + kStar.second);
                file += "LA\t" + std::to_string(angle) + "\t700\t\r\n";
            }
            at(x, y);
            file += "RE\t500\t300\t\r\n";
            at(x + 100, y + 900);
            file += "RFC\t300\t200\t1\t\r\n";
            at(x, y + 1500);
            file += "A\tLT " + std::to_string(type) + " LW " + std::to_string(width) +
                    " SILTY CLAY\t\r\n";
            ++i;
        }
    }
    return file;
}

// Client-area size and pixel ratio of a window; `moving`: whether the
// drawing area's edges lie on the edges of device pixels, so a picture can move.
struct Screen {
    int width, height;
    double ratio;
    bool moving = true;
};

void PrintTo(const Screen& screen, std::ostream* out) {
    *out << screen.width << " x " << screen.height << " at " << screen.ratio;
}

// The drawing of every kind in a window of the screen's size.
class EveryPanTest : public testsupport::PageTest, public ::testing::WithParamInterface<Screen> {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        folder.Write("tempdxf.txt", LinesOfEveryKind());
        window_.emplace();
        driver::PrepareDrawing();
        const Screen screen = GetParam();
        surface_.emplace(QSize(screen.width, screen.height), screen.ratio);
        shown_.emplace(platform::MainWindowHandle(), *surface_);
        window_->Resize(screen.width, screen.height);
    }
    void TearDown() override {
        shown_.reset();
        surface_.reset();
        window_.reset();
        PageTest::TearDown();
    }

    void Drag(float x, float y) {
        window_->MouseDown(view::kMiddleButton, 0, 300, 300);
        window_->MouseMove(view::kMiddleButton, 0, 300 + x, 300 + y);
        window_->MouseUp(view::kMiddleButton, 0, 300 + x, 300 + y);
    }
    // The picture must be the one a refresh at the same view gives.
    void ExpectRefreshed(const std::string& what) {
        const QImage moved = surface_->image.Image().copy();
        window_->Refresh();
        EXPECT_EQ(DifferingPixels(moved, surface_->image.Image()), 0) << what;
    }

    std::optional<view::DrawArea> window_;
    std::optional<MovingImage> surface_;
    std::optional<platform::ScopedWindowSurface> shown_;
};

// Every pan, by arrow key and by drag, moved or drawn anew, gives the
// picture a refresh at the new view gives, pixel for pixel.
TEST_P(EveryPanTest, APanGivesThePictureARefreshGives) {
    const builder::SessionState& session = builder::Session();
    for (const KqPoint2& centre : {KqPoint2{2.1, 9.3}, KqPoint2{6.4, 3.7}, KqPoint2{4.3, 6.1}}) {
        kq_zoom_vport_limits(session.ScreenHandle, session.ScreenViewport);
        kq_zoom_point(session.ScreenHandle, session.ScreenViewport, centre, 3.7);
        window_->Refresh();
        for (const view::NavigationKey key :
             {view::NavigationKey::Left, view::NavigationKey::Up, view::NavigationKey::Right,
              view::NavigationKey::Down, view::NavigationKey::Right}) {
            window_->KeyDown(key);
            ExpectRefreshed("an arrow key at " + std::to_string(centre.x));
        }
        for (const auto& [x, y] : {std::pair{40.0f, -30.0f},
                                   {-6.0f, 4.0f},
                                   {-150.0f, 90.0f},
                                   {2.0f, 0.0f},
                                   {0.0f, -2.0f},
                                   {17.0f, 11.0f}}) {
            Drag(x, y);
            ExpectRefreshed("a drag of " + std::to_string(x) + ", " + std::to_string(y));
        }
    }
    // Some pans moved the picture; none where an edge cuts device pixels in two.
    EXPECT_EQ(surface_->moves > 0, GetParam().moving);
}

// Wide strokes and fills are cut where they cross the edges of the steady
// cells counted from the drawing's origin. At a scale that runs an edge
// across the lines, rectangles and black rectangles of each kind, a drag
// carries the edge into the view over each side of it, and one back out.
TEST_P(EveryPanTest, APanAcrossTheEdgeOfASteadyCellGivesThePictureARefreshGives) {
    const builder::SessionState& session = builder::Session();
    KqRect2 pixels{};
    ASSERT_TRUE(kq_get_vport_pixels(session.ScreenHandle, session.ScreenViewport, pixels));
    constexpr float kDrag = 40; // whole device pixels at each pixel ratio
    for (int i = 0; i < kKinds; ++i) {
        const auto [x, y] = CornerOfKind(i);
        // Across the rectangle outline, three lines of the star and the black
        // rectangle; across six lines of the star and the black rectangle.
        const KqPoint2 crossed{(x + 200) / kCommandUnitsPerInch,
                               (y + kStar.second + 200) / kCommandUnitsPerInch};
        for (const bool upright : {true, false}) {
            // The scale that puts the edge of a cell there.
            const double scale = cadlib::kSteadyCell / (upright ? crossed.x : crossed.y);
            const KqPoint2 size{(pixels.x2 - pixels.x1) / scale, (pixels.y2 - pixels.y1) / scale};
            for (const int side : {1, -1}) {
                // The edge half a drag beyond the view's left, right, bottom or top.
                const double away = kDrag / 2 / scale;
                const KqPoint2 middle =
                    upright ? KqPoint2{crossed.x + side * (away + size.x / 2), crossed.y}
                            : KqPoint2{crossed.x, crossed.y + side * (away + size.y / 2)};
                kq_set_vport_world(session.ScreenHandle, session.ScreenViewport,
                                   {middle.x - size.x / 2, middle.y - size.y / 2,
                                    middle.x + size.x / 2, middle.y + size.y / 2});
                window_->Refresh();
                const std::string what = "kind " + std::to_string(i) +
                                         (upright ? ", upright edge" : ", level edge") +
                                         (side > 0 ? " before the view" : " after the view");
                const float drag = side * kDrag;
                Drag(upright ? drag : 0, upright ? 0 : -drag);
                ExpectRefreshed(what + ", carried in");
                Drag(upright ? -drag : 0, upright ? 0 : drag);
                ExpectRefreshed(what + ", carried out");
            }
        }
    }
    EXPECT_EQ(surface_->moves > 0, GetParam().moving);
}

INSTANTIATE_TEST_SUITE_P(Screens, EveryPanTest,
                         ::testing::Values(Screen{640, 480, 1.0}, Screen{851, 1101, 1.0},
                                           Screen{640, 480, 1.25}, Screen{643, 481, 1.25, false},
                                           Screen{640, 480, 1.5}, Screen{641, 481, 1.5, false},
                                           Screen{640, 480, 2.0}, Screen{643, 481, 2.0},
                                           Screen{641, 479, 1.0}));

// A wide line lying along an edge of the page or of a steady cell is drawn:
// a line along the edge between two cells reaches the cell after it. The
// page's lower and left edges are the edges of the cells at the drawing's
// origin; at 16384 pixels an inch, the lines an inch from it lie on edges too.
class WideLineOnAnEdgeTest : public testsupport::PageTest,
                             public ::testing::WithParamInterface<Screen> {};

TEST_P(WideLineOnAnEdgeTest, IsDrawn) {
    const struct {
        const char* where;
        const char* commands; // in command units: 600 an inch, a page of 5100 x 6600
        double scale;         // pixels an inch; 0: the whole page
    } cases[] = {
        {"the page's lower edge", "S\t0\t0\t\r\nLR\t5100\t\r\n", 0},
        {"the page's left edge", "S\t0\t0\t\r\nLU\t6600\t\r\n", 0},
        {"the page's upper edge", "S\t0\t6600\t\r\nLR\t5100\t\r\n", 0},
        {"the page's right edge", "S\t5100\t0\t\r\nLU\t6600\t\r\n", 0},
        {"a cell's level edge", "S\t0\t600\t\r\nLR\t1200\t\r\n", cadlib::kSteadyCell},
        {"a cell's upright edge", "S\t600\t0\t\r\nLU\t1200\t\r\n", cadlib::kSteadyCell},
    };
    const Screen screen = GetParam();
    for (const auto& c : cases) {
        testsupport::ResetAllModules(); // a drawing of its own
        folder.Write("tempdxf.txt", std::string("LW\t20\t\r\n") + c.commands);
        view::DrawArea window;
        driver::PrepareDrawing();
        MovingImage surface(QSize(screen.width, screen.height), screen.ratio);
        const platform::ScopedWindowSurface shown(platform::MainWindowHandle(), surface);
        window.Resize(screen.width, screen.height);
        if (c.scale > 0) {
            // The view about the point an inch from the origin at that scale.
            const builder::SessionState& session = builder::Session();
            KqRect2 pixels{};
            ASSERT_TRUE(kq_get_vport_pixels(session.ScreenHandle, session.ScreenViewport, pixels));
            const double halfX = (pixels.x2 - pixels.x1) / c.scale / 2;
            const double halfY = (pixels.y2 - pixels.y1) / c.scale / 2;
            kq_set_vport_world(session.ScreenHandle, session.ScreenViewport,
                               {1 - halfX, 1 - halfY, 1 + halfX, 1 + halfY});
        }
        window.Refresh();
        const QImage& image = surface.image.Image();
        // Half the pen's 20 pixels along a few hundred at the least.
        EXPECT_GT(InkIn(image, image.rect()), 1000 * screen.ratio) << c.where;
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, WideLineOnAnEdgeTest,
                         ::testing::Values(Screen{640, 480, 1.0}, Screen{851, 1101, 1.0},
                                           Screen{643, 481, 1.25}, Screen{641, 481, 1.5},
                                           Screen{640, 480, 2.0}));

} // namespace

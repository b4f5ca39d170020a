// Painting at the screen's pixel ratio: the window's backing image has as
// many device pixels as the screen shows, a one-pixel line of the drawing is
// one device pixel wide, wider pens keep their size and the band still
// undoes itself.
#include "view/qt/page_fixture.h"

#include "builder/redraw.h"
#include "builder/session.h"
#include "cadlib/kq_display.h"
#include "driver/batch_run.h"
#include "platform/window_handles.h"
#include "view/qt/image_surface.h"
#include "view/qt/main_window.h"

#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace {

// A horizontal line at y = 2 from x = 1 to 3 inches, a vertical one at x = 5
// from y = 1 to 3, and a horizontal line of pen width 3 at y = 4.
constexpr const char* kLines = "S\t600\t1200\t\r\nLR\t1200\t\r\nS\t3000\t600\t\r\nLU\t1200\t\r\n"
                               "LW\t3\t\r\nS\t600\t2400\t\r\nLR\t1200\t\r\n";

// Dark device pixels in a column (`across` false: a row) through `at`,
// within `reach` device pixels either side.
int InkAcross(const QImage& image, QPoint at, int reach, bool down) {
    int ink = 0;
    for (int step = -reach; step <= reach; ++step) {
        const QPoint p = down ? at + QPoint(0, step) : at + QPoint(step, 0);
        if (image.rect().contains(p) && qGray(image.pixel(p)) < 128) ++ink;
    }
    return ink;
}

class PixelRatioTest : public testsupport::PageTest,
                       public ::testing::WithParamInterface<double> {};

TEST_P(PixelRatioTest, AOnePixelLineIsOneDevicePixelAndWiderPensScale) {
    const double ratio = GetParam();
    folder.Write("tempdxf.txt", kLines);
    const view::DrawArea window;
    driver::PrepareDrawing();
    view::qt::ImageSurface surface(QSize(kWidth, kHeight), ratio);
    const platform::ScopedWindowSurface shown(platform::MainWindowHandle(), surface);
    const builder::SessionState& session = builder::Session();
    kq_resize_vports(session.ScreenHandle, kWidth, kHeight);
    kq_zoom_vport_limits(session.ScreenHandle, session.CurrentViewport);
    builder::RedrawScreen();

    const QImage& image = surface.Image();
    EXPECT_EQ(image.width(), std::ceil(kWidth * ratio));
    EXPECT_EQ(image.height(), std::ceil(kHeight * ratio));
    const auto device = [ratio](double x, double y) {
        return QPoint(static_cast<int>(x * 100 * ratio), static_cast<int>((11 - y) * 100 * ratio));
    };
    for (double x : {1.2, 2.0, 2.9}) {
        EXPECT_EQ(InkAcross(image, device(x, 2), 6, true), 1) << "horizontal line at x " << x;
    }
    for (double y : {1.2, 2.0, 2.9}) {
        EXPECT_EQ(InkAcross(image, device(5, y), 6, false), 1) << "vertical line at y " << y;
    }
    // Three hundredths of an inch stay three hundredths: 3 x ratio device pixels.
    EXPECT_NEAR(InkAcross(image, device(2, 4), 8, true), 3 * ratio, 1);
}

INSTANTIATE_TEST_SUITE_P(Ratios, PixelRatioTest, ::testing::Values(1.25, 1.5, 2.0));

// The real window on a scaled screen: run by ctest with QT_SCALE_FACTOR set
// (1.5 and 2); without it there is no scale to check.
class WindowPixelRatioTest : public testsupport::PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR")) {
            GTEST_SKIP() << "runs with QT_SCALE_FACTOR set (ctest: qt_window_at_pixel_ratio_*)";
        }
        folder.Write("tempdxf.txt", kLines);
        window.emplace([] {});
        window->resize(700, 900);
        window->Area().SetDrawingOpener(
            [](const std::string& file) { return driver::PrepareDrawing(file); });
        window->Area().OpenDrawing("tempdxf.txt");
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&*window));
    }
    void TearDown() override {
        window.reset();
        PageTest::TearDown();
    }
    std::optional<view::qt::MainWindow> window;
};

TEST_F(WindowPixelRatioTest, TheBackingImageHasTheScreensPixelsAndLinesStayOnePixel) {
    const double ratio = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble();
    view::qt::Canvas& canvas = window->ClientArea();
    ASSERT_EQ(canvas.devicePixelRatioF(), ratio);
    const QImage& image = *canvas.Picture();
    EXPECT_EQ(image.width(), std::ceil(canvas.width() * ratio));
    EXPECT_EQ(image.height(), std::ceil(canvas.height() * ratio));

    // The horizontal line at y = 2 inches, found through the window's own mapping.
    KqPoint2 corner, step;
    ASSERT_TRUE(window->Area().WorldAt(0, 0) && window->Area().WorldAt(100, 100));
    corner = *window->Area().WorldAt(0, 0);
    step = *window->Area().WorldAt(100, 100);
    const double perInch = 100 / (step.x - corner.x);
    const QPoint onLine(static_cast<int>((2 - corner.x) * perInch * ratio),
                        static_cast<int>((corner.y - 2) * perInch * ratio));
    EXPECT_EQ(InkAcross(image, onLine, 6, true), 1);

    // The band: drawn in device pixels where the pointer is, wiped by Escape.
    window->menuBar()->actions()[1]->menu()->actions()[0]->trigger(); // Zoom Window
    const auto mouse = [&canvas](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent event(type, at, canvas.mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                          Qt::NoModifier);
        QApplication::sendEvent(&canvas, &event);
    };
    mouse(QEvent::MouseButtonPress, QPoint(100, 150), Qt::LeftButton);
    mouse(QEvent::MouseMove, QPoint(300, 400), Qt::LeftButton);
    const QImage& banded = *canvas.Picture();
    const QPoint topEdge(static_cast<int>(200 * ratio), static_cast<int>(150 * ratio));
    EXPECT_EQ(InkAcross(banded, topEdge, 4, true), 1);
    QTest::keyClick(&canvas, Qt::Key_Escape);
    EXPECT_EQ(InkAcross(*canvas.Picture(), topEdge, 4, true), 0);
}

} // namespace

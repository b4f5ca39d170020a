// Command files rendered through Qt as the viewer shows them: pixels probed
// where the drawing puts its ink, and where it must not.
#include "view/qt/page_fixture.h"

#include <gtest/gtest.h>

namespace {

using testsupport::PageTest;

class RenderTest : public PageTest {};

TEST_F(RenderTest, ABlackFilledRectangleIsBlackInside) {
    const QImage page = Render({"S\t600\t600\t", "RFC\t600\t600\t0 0 0\t"});
    const QRect inside(Pixel(1.05, 1.95), Pixel(1.95, 1.05));
    EXPECT_EQ(InkIn(page, inside), inside.width() * inside.height());
    EXPECT_EQ(InkIn(page, QRect(Pixel(2.1, 1.95), Pixel(3, 1.05))), 0);
    EXPECT_EQ(InkIn(page, QRect(Pixel(1.05, 2.9), Pixel(1.95, 2.1))), 0);
}

TEST_F(RenderTest, AWhiteAreaHidesTheLineDrawnBeforeIt) {
    const QImage page = Render({
        "S\t600\t1200\t", // a line at y = 2 from x = 1 to 3
        "LR\t1200\t",
        "S\t1200\t900\t", // a white square over its right half
        "RFS\t600\t600\t0\t",
    });
    const QPoint left = Pixel(1.5, 2), right = Pixel(2.5, 2);
    EXPECT_GT(InkIn(page, QRect(left - QPoint(0, 2), left + QPoint(0, 2))), 0);
    EXPECT_EQ(InkIn(page, QRect(right - QPoint(30, 3), right + QPoint(30, 3))), 0);
}

TEST_F(RenderTest, AHatchedRectangleHasItsPatternInsideAndNothingOutside) {
    const QImage page = Render({"FPF\tCL\t", "S\t600\t600\t", "RF\t1200\t1200\t"});
    // Every quarter of the inside carries pattern ink, but is not filled.
    for (const QRect& quarter :
         {QRect(Pixel(1.1, 1.9), Pixel(1.9, 1.1)), QRect(Pixel(2.1, 1.9), Pixel(2.9, 1.1)),
          QRect(Pixel(1.1, 2.9), Pixel(1.9, 2.1)), QRect(Pixel(2.1, 2.9), Pixel(2.9, 2.1))}) {
        const int ink = InkIn(page, quarter);
        EXPECT_GT(ink, quarter.width() * quarter.height() / 100);
        EXPECT_LT(ink, quarter.width() * quarter.height() / 2);
    }
    // Around the outline (2 pixels either side) there is no ink at all.
    const QRect around(Pixel(0.5, 3.5), Pixel(3.5, 0.5));
    const QRect outline(Pixel(1, 3) - QPoint(2, 2), Pixel(3, 1) + QPoint(2, 2));
    EXPECT_EQ(InkIn(page, around) - InkIn(page, outline), 0);
}

TEST_F(RenderTest, TextInkLiesWhereItsAlignmentPutsIt) {
    const QImage page = Render({
        "AP\t24\t", // capitals of 24 x 0.7 points: 0.233 inch
        "AL\t",
        "S\t1800\t3000\t",
        "A\tHHHH\t",
        "AC\t",
        "S\t1800\t2400\t",
        "A\tHHHH\t",
        "AR\t",
        "S\t1800\t1800\t",
        "A\tHHHH\t",
    });
    const double height = 24 * 0.7 / 72 * 100; // pixels
    const int pen = Pixel(3, 0).x();
    const QRect left = InkBounds(page, QRect(Pixel(1, 5.2), Pixel(6, 4.5)));
    const QRect centre = InkBounds(page, QRect(Pixel(1, 4.2), Pixel(6, 3.5)));
    const QRect right = InkBounds(page, QRect(Pixel(1, 3.2), Pixel(6, 2.5)));
    ASSERT_FALSE(left.isEmpty() || centre.isEmpty() || right.isEmpty());
    // The letters' side bearings keep the ink a few pixels inside the pen.
    EXPECT_GE(left.left(), pen);
    EXPECT_LE(left.left(), pen + 6);
    EXPECT_GT(left.width(), 3 * height);
    EXPECT_NEAR(centre.center().x(), pen, 3);
    EXPECT_LE(right.right(), pen);
    EXPECT_GE(right.right(), pen - 6);
    // The capitals hang below the pen: their middle 0.55 heights down.
    const double middle = Pixel(0, 5).y() + 0.55 * height;
    EXPECT_NEAR(left.top(), middle - height / 2, 2);
    EXPECT_NEAR(left.bottom(), middle + height / 2, 2);
}

TEST_F(RenderTest, ADashedLineHasGapsAndASolidOneNone) {
    const QImage page = Render({
        "LT\t2\t", "S\t600\t3000\t", "LR\t3600\t", // hidden line at y = 5
        "LT\t1\t", "S\t600\t2400\t", "LR\t3600\t", // solid line at y = 4
    });
    const auto runs = [&page](double y) {
        const int row = Pixel(0, y).y();
        int count = 0;
        bool inInk = false;
        for (int x = Pixel(1.2, 0).x(); x < Pixel(6.8, 0).x(); ++x) {
            const bool ink = qGray(page.pixel(x, row)) < 128 || qGray(page.pixel(x, row - 1)) < 128;
            if (ink && !inInk) ++count;
            inInk = ink;
        }
        return count;
    };
    // 0.25 x 0.25 inch dashes and half as long gaps: 9.4 pixels a repeat.
    EXPECT_GT(runs(5), 50);
    EXPECT_LT(runs(5), 65);
    EXPECT_EQ(runs(4), 1);
}

TEST_F(RenderTest, PensKeepTheirWidthInPixels) {
    const QImage page = Render({"LW\t5\t", "S\t600\t3000\t", "LR\t1200\t"});
    const QRect ink = InkBounds(page, QRect(Pixel(1.5, 5.2), Pixel(1.6, 4.8)));
    EXPECT_EQ(ink.height(), 5);
}

} // namespace

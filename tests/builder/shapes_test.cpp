#include "builder/shapes.h"

#include "builder/lines.h"
#include "builder/session.h"
#include "cadlib/kq.h"
#include "interpreter/placement.h"
#include "support/drawing_fixture.h"

#include <gtest/gtest.h>

#include <array>

using interpreter::Placement;
using Ends = std::array<double, 4>;
using ShapesTest = testsupport::DrawingTest;

TEST_F(ShapesTest, CirclesUseTheRadiusUnscaled) {
    StartSession();
    interpreter::ZXY(1, 2);
    Command("C\t0\t"); // the library refuses it: nothing at all
    EXPECT_TRUE(Entities().empty());
    // Builder and library widths differ, so each circle shows whose it carries.
    builder::Pen().PenWidth = 7;
    kq_set_sys_penwidth(builder::Session().DataAreaHandle, 3);
    Command("C\t600\t");
    Command("EF\t0.5\t");
    const auto circles = Entities();
    ASSERT_EQ(circles.size(), 2u);
    const cadlib::CircleGeometry& outline = Area().circles[circles[0]->geometry];
    EXPECT_EQ(outline.radius, 600.0);
    EXPECT_EQ(outline.centre.y, 2.0);
    EXPECT_EQ(circles[0]->penWidth, 7);
    EXPECT_EQ(circles[0]->fillStyle, 0);
    EXPECT_EQ(Area().circles[circles[1]->geometry].radius, 0.5);
    EXPECT_EQ(circles[1]->penWidth, 3);
    EXPECT_EQ(circles[1]->colour, 0);
    EXPECT_EQ(circles[1]->fillStyle, 1);
    EXPECT_EQ(circles[1]->fillMode, 1);
}

TEST_F(ShapesTest, ArcBulgesOverTheChordByTheRise) {
    StartSession();
    Command("SV\t300\t"); // the rise ignores ScaleY
    Command("ARCR\t600\t10\t");
    Command("ARCR\t600\t-10\t");
    Command("ARCR\t600\t0\t"); // collinear: no circle, no entity
    ASSERT_EQ(Area().arcs.size(), 2u);
    const cadlib::ArcGeometry& up = Area().arcs[0];
    EXPECT_NEAR(up.centre.x, 0.5, 1e-9);
    EXPECT_NEAR(up.centre.y, -0.1125, 1e-7);
    EXPECT_NEAR(up.radius, 0.5125, 1e-7);
    EXPECT_NEAR(up.startAngle, 12.6803835, 1e-5);
    EXPECT_NEAR(up.endAngle, 167.3196165, 1e-5);
    const cadlib::ArcGeometry& down = Area().arcs[1];
    EXPECT_NEAR(down.centre.y, 0.1125, 1e-7);
    EXPECT_NEAR(down.startAngle, -167.3196165, 1e-5);
    EXPECT_NEAR(down.endAngle, -12.6803835, 1e-5);
    EXPECT_EQ(Entities().size(), 2u);
    Command("SH\t0\t");
    EXPECT_EQ(CommandError("ARCR\t600\t10\t"), 11);
    EXPECT_EQ(CommandError("ARCR\t0\t10\t"), 6);
    EXPECT_EQ(Area().arcs.size(), 2u);
}

TEST_F(ShapesTest, TrianglesAreThreeLinesAroundThePen) {
    StartSession();
    const double a = 0.866f;
    Command("SV\t300\t");
    Command("TRI\t1\t");
    Command("TRIFD\t1\t");
    const auto lines = Entities();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(LineEnds(*lines[0]), (Ends{a, -0.5, -a, -0.5}));
    EXPECT_EQ(LineEnds(*lines[1]), (Ends{-a, -0.5, 0, 1}));
    EXPECT_EQ(LineEnds(*lines[2]), (Ends{0, 1, a, -0.5}));
    EXPECT_EQ(LineEnds(*lines[3]), (Ends{a, 0.5, -a, 0.5}));
    EXPECT_EQ(LineEnds(*lines[4]), (Ends{-a, 0.5, 0, -1}));
    EXPECT_EQ(LineEnds(*lines[5]), (Ends{0, -1, a, 0.5}));
    EXPECT_EQ(Placement().PenX, 0.0f);
    EXPECT_EQ(Placement().PenY, 0.0f);
    EXPECT_EQ(Placement().ScaleX, 600.0f);
    EXPECT_EQ(Placement().ScaleY, 300.0f);
}

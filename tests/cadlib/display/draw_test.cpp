// Drawing passes into a recording surface: what reaches the device, where,
// and with which pen, brush and font.
#include "cadlib/database.h"
#include "cadlib/display/fixture.h"
#include "cadlib/kq.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numeric>

namespace {

using testsupport::RecordedPrimitive;
using Kind = testsupport::RecordedPrimitive::Kind;

constexpr double kClose = 1e-6;
// Texts hang from the pen, which is kept in single precision.
constexpr double kTextClose = 1e-3;
constexpr platform::Rgb kBlack{0, 0, 0};
constexpr platform::Rgb kWhite{255, 255, 255};

void ExpectPoint(const platform::DevicePoint& actual, double x, double y,
                 double tolerance = kClose) {
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
}

class DisplayDrawTest : public testsupport::DisplayTest {
  protected:
    int32_t DataArea() const { return builder::Session().DataAreaHandle; }

    int32_t Line(double x1, double y1, double x2, double y2) {
        const KqPoint3 start{x1, y1, 0}, end{x2, y2, 0};
        const int32_t entity = kq_construct_line(DataArea(), start, end);
        builder::AppendEntity(entity);
        return entity;
    }

    const RecordedPrimitive& Only(Kind kind) {
        const auto& drawn = Redraw();
        EXPECT_EQ(drawn.size(), 1u);
        if (drawn.empty()) throw std::runtime_error("nothing drawn");
        EXPECT_EQ(drawn[0].kind, kind);
        return drawn[0];
    }

    // A 2 x 1 inch rectangle at (1, 1), its hatch set by Hatch.
    int32_t Rectangle() {
        const KqPoint3 corners[] = {{1, 1, 0}, {3, 1, 0}, {3, 2, 0}, {1, 2, 0}};
        const int32_t rectangle = kq_construct_polyline(DataArea(), 1, corners, 4);
        builder::AppendEntity(rectangle);
        return rectangle;
    }

    // One family of continuous lines `spacing` inches apart at `angle` degrees.
    void Hatch(int32_t entity, double angle, double spacing) {
        KqFillLine line;
        kq_set_fill_pattern(angle, 0, 0, 0, spacing, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1.0, line);
        ASSERT_EQ(kq_filluser_entity(Screen(), &line, 1, entity), 1);
    }

    // The text's middle: the builders hang a text 0.55 heights below the pen.
    double TextMiddleY(double penY) const { return 1100 - (penY - 0.55 * TextHeight()) * 100; }
    double TextHeight() const { return 8.0 / 72.0; }
};

TEST_F(DisplayDrawTest, ALineIsDrawnAtItsPixelsWithACosmeticPen) {
    Command("LW\t3\t");
    Command("S\t600\t600\t");
    Command("LR\t600\t");
    const RecordedPrimitive& line = Only(Kind::Segments);
    ASSERT_EQ(line.points.size(), 2u);
    ExpectPoint(line.points[0], 100, 1000);
    ExpectPoint(line.points[1], 200, 1000);
    EXPECT_EQ(line.state.pen.width, 3);
    EXPECT_EQ(line.state.pen.colour, kBlack);
    EXPECT_TRUE(line.state.pen.dashes.empty());
    EXPECT_EQ(line.state.rasterOp, platform::R2_COPYPEN);

    // Twice as near, the line is twice as long and the pen as wide.
    kq_zoom_point(Screen(), Viewport(), {1.5, 1}, 2.0);
    const RecordedPrimitive& nearer = Only(Kind::Segments);
    EXPECT_NEAR(nearer.points[1].x - nearer.points[0].x, 200, kClose);
    EXPECT_EQ(nearer.state.pen.width, 3);
}

TEST_F(DisplayDrawTest, PenWidthZeroIsOnePixel) {
    Line(1, 1, 2, 2);
    EXPECT_EQ(Only(Kind::Segments).state.pen.width, 1);
}

TEST_F(DisplayDrawTest, ColoursComeFromTheScreensPenColours) {
    const int32_t white = Line(1, 1, 2, 1);
    const int32_t black = Line(1, 2, 2, 2);
    const int32_t red = Line(1, 3, 2, 3);
    Line(1, 4, 2, 4); // no colour: ink
    kq_set_entity_color(white, 21);
    kq_set_entity_color(black, 22);
    kq_set_entity_color(red, 1);
    const auto& drawn = Redraw();
    ASSERT_EQ(drawn.size(), 4u);
    EXPECT_EQ(drawn[0].state.pen.colour, kWhite);
    EXPECT_EQ(drawn[1].state.pen.colour, kBlack);
    EXPECT_EQ(drawn[2].state.pen.colour, (platform::Rgb{255, 0, 0}));
    EXPECT_EQ(drawn[3].state.pen.colour, kBlack);
}

TEST_F(DisplayDrawTest, HiddenLayersAreNotDrawn) {
    Line(1, 1, 2, 1);
    EXPECT_EQ(Redraw().size(), 1u);
    kq_set_layer_off(Screen(), "0");
    EXPECT_TRUE(Redraw().empty());
    kq_set_layer_on(Screen(), "KQ_ALL");
    EXPECT_EQ(Redraw().size(), 1u);
    kq_set_layer_off(Screen(), "KQ_ALL");
    EXPECT_TRUE(Redraw().empty());
}

TEST_F(DisplayDrawTest, LineTypesAreDashPatternsInDrawingUnits) {
    Command("S\t600\t600\t");
    Command("LT\t2\t"); // HIDDEN (0.25 dash, 0.125 gap) at scale 0.25
    Command("LR\t1200\t");
    const RecordedPrimitive& hidden = Only(Kind::Polyline);
    ASSERT_EQ(hidden.state.pen.dashes.size(), 2u);
    EXPECT_NEAR(hidden.state.pen.dashes[0], 6.25, kClose);
    EXPECT_NEAR(hidden.state.pen.dashes[1], 3.125, kClose);

    kq_zoom_point(Screen(), Viewport(), {2, 1}, 2.0);
    const RecordedPrimitive& nearer = Only(Kind::Polyline);
    EXPECT_NEAR(nearer.state.pen.dashes[0], 12.5, kClose);
    EXPECT_NEAR(nearer.state.pen.dashes[1], 6.25, kClose);
}

TEST_F(DisplayDrawTest, DashDotKeepsItsDotAndDotsStayVisible) {
    Command("LT\t3\t"); // DASHDOT at scale 0.1
    Line(1, 1, 5, 1);
    const std::vector<double> dashDot{5, 2.5, 0, 2.5};
    EXPECT_EQ(Only(Kind::Polyline).state.pen.dashes, dashDot);
}

TEST_F(DisplayDrawTest, DashesTooFineToSeeAreDrawnSolid) {
    Command("LT\t5\t"); // DOT: 0.25 gaps at scale 0.1, 2.5 pixels here
    Line(1, 1, 5, 1);
    EXPECT_EQ(Only(Kind::Polyline).state.pen.dashes.size(), 2u);
    kq_zoom_point(Screen(), Viewport(), {3, 1}, 0.5);
    EXPECT_TRUE(Only(Kind::Segments).state.pen.dashes.empty());
}

TEST_F(DisplayDrawTest, ALineCutAtTheWindowEdgeKeepsItsDashesInStep) {
    Command("LT\t2\t");
    Line(1, 5, 7, 5);
    kq_set_vport_world(Screen(), Viewport(), {3, 0, 11.5, 11});
    const RecordedPrimitive& line = Only(Kind::Polyline);
    const double lineStart = (1 - 3) * 100.0;
    const double period = 9.375;
    EXPECT_LT(line.points[0].x, 0);
    EXPECT_NEAR(line.state.pen.dashOffset, std::fmod(line.points[0].x - lineStart, period), kClose);
}

TEST_F(DisplayDrawTest, ABlackRectangleIsAFilledAreaThenItsOutline) {
    Command("S\t600\t600\t");
    Command("RFC\t600\t600\t0 0 0\t");
    const auto& drawn = Redraw();
    ASSERT_EQ(drawn.size(), 2u);
    const RecordedPrimitive& area = drawn[0];
    EXPECT_EQ(area.kind, Kind::Polygon);
    EXPECT_TRUE(area.state.pen.null);
    EXPECT_FALSE(area.state.brush.null);
    EXPECT_EQ(area.state.brush.colour, kBlack);
    ASSERT_EQ(area.points.size(), 4u);
    ExpectPoint(area.points[0], 100, 1000);
    ExpectPoint(area.points[2], 200, 900);
    EXPECT_EQ(drawn[1].kind, Kind::Polyline);
    EXPECT_EQ(drawn[1].points.size(), 5u); // closed: back to the first corner
}

TEST_F(DisplayDrawTest, AWhiteAreaIsPaintedOverTheLineDrawnBeforeIt) {
    Command("S\t600\t1200\t");
    Command("LR\t1200\t");
    Command("S\t1200\t900\t");
    Command("RFS\t600\t600\t0\t");
    const auto& drawn = Redraw();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].kind, Kind::Segments);
    EXPECT_EQ(drawn[1].kind, Kind::Polygon);
    EXPECT_EQ(drawn[1].state.brush.colour, kWhite);
}

TEST_F(DisplayDrawTest, HatchLinesAreDrawnInsideTheirBoundaryBeforeTheOutline) {
    Hatch(Rectangle(), 45, 0.1);
    const auto& drawn = Redraw();
    ASSERT_EQ(drawn.size(), 2u);
    const RecordedPrimitive& hatch = drawn[0];
    EXPECT_EQ(hatch.kind, Kind::Segments);
    EXPECT_EQ(hatch.state.pen.colour, kBlack);
    // A 45 degree family 0.1 apart crosses a 2 x 1 rectangle about 21 times.
    EXPECT_NEAR(hatch.points.size() / 2.0, 3.0 / 0.1 / std::sqrt(2.0), 1.5);
    for (const platform::DevicePoint& p : hatch.points) {
        EXPECT_GE(p.x, 100 - kClose);
        EXPECT_LE(p.x, 300 + kClose);
        EXPECT_GE(p.y, 900 - kClose);
        EXPECT_LE(p.y, 1000 + kClose);
    }
    EXPECT_EQ(drawn[1].kind, Kind::Polyline);
}

TEST_F(DisplayDrawTest, HatchLinesKeptFromAPassFollowTheViewAndThePattern) {
    const int32_t rectangle = Rectangle();
    Hatch(rectangle, 0, 0.1);
    const auto hatchLines = [this] {
        const auto& drawn = Redraw();
        EXPECT_EQ(drawn.size(), 2u);
        return drawn.empty() ? std::vector<platform::DevicePoint>() : drawn[0].points;
    };
    const size_t across = hatchLines().size() / 2; // lines 0.1 apart over a height of 1
    EXPECT_NEAR(across, 10, 1);
    // Twice as close: the same lines, twice the size.
    kq_set_vport_world(Screen(), Viewport(), {0, 0, 4.25, 5.5});
    const std::vector<platform::DevicePoint> zoomed = hatchLines();
    ASSERT_EQ(zoomed.size() / 2, across);
    EXPECT_NEAR(zoomed[1].x - zoomed[0].x, 400, kClose);
    // Half the square out of view: its lines are cut two pixels beyond the
    // edge, where their ends are never seen.
    kq_set_vport_world(Screen(), Viewport(), {2, 0, 6.25, 5.5});
    const std::vector<platform::DevicePoint> cut = hatchLines();
    ASSERT_EQ(cut.size() / 2, across);
    for (const platform::DevicePoint& p : cut)
        EXPECT_NEAR(p.x, p.x < 100 ? -2 : 200, kClose); // from beyond the view's edge to the side
    // A new pattern is seen at once.
    kq_set_vport_world(Screen(), Viewport(), {0, 0, 4.25, 5.5});
    Hatch(rectangle, 0, 0.25);
    EXPECT_NEAR(hatchLines().size() / 2, 4, 1);
}

TEST_F(DisplayDrawTest, AHatchTooFineToDrawLineByLineIsAToneAndIsCounted) {
    // Dashes of 0.0005 every 0.001 on lines 0.001 apart: two million pieces over 2 x 1.
    KqFillLine dense;
    kq_set_fill_pattern(0, 0, 0, 0, 0.001, 0.0005, 0.0005, 0, 0, 0, 0, 0, 0, 0, 2, 1.0, dense);
    const int32_t rectangle = Rectangle();
    ASSERT_EQ(kq_filluser_entity(Screen(), &dense, 1, rectangle), 1);
    EXPECT_EQ(kq_toned_hatch_count(Screen()), 0); // nothing drawn yet
    const auto& drawn = Redraw();
    ASSERT_EQ(drawn.size(), 2u);
    const RecordedPrimitive& tone = drawn[0];
    EXPECT_EQ(tone.kind, Kind::Polygon);
    EXPECT_TRUE(tone.state.pen.null);
    EXPECT_EQ(tone.state.brush.colour, (platform::Rgb{128, 128, 128})); // the ink, halfway to white
    ASSERT_EQ(tone.points.size(), 4u);
    ExpectPoint(tone.points[0], 100, 1000);
    ExpectPoint(tone.points[2], 300, 900);
    EXPECT_EQ(drawn[1].kind, Kind::Polyline);
    EXPECT_EQ(kq_toned_hatch_count(Screen()), 1);
    Redraw();
    EXPECT_EQ(kq_toned_hatch_count(Screen()), 1); // the same hatch, counted once

    // Close up, the lines in view are within the bound and drawn.
    kq_set_vport_world(Screen(), Viewport(), {1.5, 1.25, 1.6, 1.375});
    const auto& near = Redraw();
    ASSERT_FALSE(near.empty());
    EXPECT_EQ(near[0].kind, Kind::Segments);
    // A change to the drawing starts the count again.
    Rectangle();
    EXPECT_EQ(kq_toned_hatch_count(Screen()), 0);
}

TEST_F(DisplayDrawTest, APatternLineThatCannotBeCountedIsLeftOutAndCounted) {
    // Lines 0.25 apart, and a second family whose base point lies 1e15 away.
    std::array<KqFillLine, 2> lines;
    kq_set_fill_pattern(0, 0, 0, 0, 0.25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1.0, lines[0]);
    kq_set_fill_pattern(0, 0, 1e15, 0, 0.1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1.0, lines[1]);
    const int32_t rectangle = Rectangle();
    ASSERT_EQ(kq_filluser_entity(Screen(), lines.data(), 2, rectangle), 1);
    const auto& drawn = Redraw();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].points.size() / 2, 4u); // y = 1, 1.25, 1.5 and 1.75: the first family
    EXPECT_EQ(kq_hatches_with_lines_left_out_count(Screen()), 1);
    EXPECT_EQ(kq_toned_hatch_count(Screen()), 0);
    Rectangle();
    EXPECT_EQ(kq_hatches_with_lines_left_out_count(Screen()), 0);
}

TEST_F(DisplayDrawTest, ATextSitsWhereItsAlignmentPutsIt) {
    Command("S\t1800\t3000\t"); // (3, 5) inches
    Command("AL\t");
    Command("A\tHELLO\t");
    Command("AR\t");
    Command("A\tHELLO\t");
    Command("AD\t90\t");
    Command("AC\t");
    Command("A\tHELLO\t");
    const auto& drawn = Redraw();
    ASSERT_EQ(drawn.size(), 3u);
    const RecordedPrimitive& left = drawn[0];
    EXPECT_EQ(left.kind, Kind::Text);
    EXPECT_EQ(left.text, u"HELLO");
    EXPECT_EQ(left.font.family, "Arial");
    EXPECT_NEAR(left.font.height, TextHeight() * 100, kClose);
    EXPECT_EQ(left.font.align, platform::TextAlign::Left);
    ExpectPoint(left.points[0], 300, TextMiddleY(5), kTextClose);
    EXPECT_EQ(drawn[1].font.align, platform::TextAlign::Right);
    ExpectPoint(drawn[1].points[0], 300, TextMiddleY(5), kTextClose);
    // Rotated texts hang beside the pen: to its right.
    EXPECT_EQ(drawn[2].font.align, platform::TextAlign::Centre);
    EXPECT_EQ(drawn[2].font.rotation, 90);
    ExpectPoint(drawn[2].points[0], 300 + 0.55 * TextHeight() * 100, 600, kTextClose);
}

TEST_F(DisplayDrawTest, AStyleWithoutTrueTypeFontFallsBackToSans) {
    builder::CreateTextStyle("PLAIN", "ROMAND", "");
    const KqPoint3 at{2, 2, 0};
    const int32_t text = kq_construct_text(DataArea(), at,
                                           "A\x01"
                                           "B\u00B0",
                                           0.2, 1, 0, 0, 0, 0, 0, at);
    builder::AppendEntity(text);
    kq_set_text_name(kq_get_entity_data(text), "PLAIN");
    const RecordedPrimitive& drawn = Only(Kind::Text);
    EXPECT_EQ(drawn.font.family, "sans-serif");
    EXPECT_EQ(drawn.text, u"A B\u00B0"); // control characters show as blanks
    // Left-aligned on the baseline: the middle of the capitals lies half a height up.
    ExpectPoint(drawn.points[0], 200, 1100 - (2 + 0.1) * 100);
}

TEST_F(DisplayDrawTest, QuickTextDrawsEachTextAsItsBox) {
    kq_set_sys_qtextmode(DataArea(), 1);
    Command("S\t1800\t3000\t");
    Command("AL\t");
    Command("A\tABCD\t");
    const RecordedPrimitive& box = Only(Kind::Polyline);
    ASSERT_EQ(box.points.size(), 5u);
    const double height = TextHeight() * 100;
    const double width = testsupport::RecordingSurface::kAdvancePerHeight * height * 4;
    const double middle = TextMiddleY(5);
    ExpectPoint(box.points[0], 300, middle + height / 2, kTextClose);
    ExpectPoint(box.points[1], 300 + width, middle + height / 2, kTextClose);
    ExpectPoint(box.points[2], 300 + width, middle - height / 2, kTextClose);
    ExpectPoint(box.points[3], 300, middle - height / 2, kTextClose);
}

TEST_F(DisplayDrawTest, CirclesAndArcsAreSmoothPolylines) {
    Command("S\t1200\t1200\t");
    Command("C\t0.5\t");
    Command("EF\t0.25\t");
    const auto& drawn = Redraw();
    ASSERT_EQ(drawn.size(), 3u); // circle; filled circle: area, then its outline
    EXPECT_EQ(drawn[0].kind, Kind::Polyline);
    EXPECT_GE(drawn[0].points.size(), 30u);
    for (const platform::DevicePoint& p : drawn[0].points) {
        EXPECT_NEAR(std::hypot(p.x - 200, p.y - 900), 50, 1e-6);
    }
    EXPECT_EQ(drawn[1].kind, Kind::Polygon);
    EXPECT_EQ(drawn[1].state.brush.colour, kBlack);
    EXPECT_EQ(drawn[2].kind, Kind::Polyline);
}

TEST_F(DisplayDrawTest, EntitiesOutsideTheViewAreLeftOutAndCrossingOnesCut) {
    Line(7, 10, 8, 10.5);   // top right
    Line(0.5, 0.5, 8, 0.5); // along the bottom, through the zoomed view
    kq_set_vport_world(Screen(), Viewport(), {0, 0, 1.7, 2.2});
    const RecordedPrimitive& line = Only(Kind::Segments);
    EXPECT_NEAR(line.points[0].y, 1100 - 0.5 * 500, kClose);
    EXPECT_LE(line.points[1].x, kWidth + 3);
}

TEST_F(DisplayDrawTest, ATextIsDrawnWhenItsBoxReachesTheView) {
    Command("AL\t");
    Command("S\t1500\t1800\t"); // (2.5, 3) inches: wholly inside the view
    Command("A\tIN\t");
    Command("S\t900\t1500\t"); // left of the view, long enough to reach into it
    Command("A\tABCDEFGHIJKLMNOPQRSTUVWXYZ\t");
    Command("S\t1020\t2100\t"); // short, ending just left of the view: not seen
    Command("A\tAB\t");
    kq_set_vport_world(Screen(), Viewport(), {2, 2, 3.7, 4.2});
    const auto& drawn = Redraw();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].text, u"IN");
    EXPECT_EQ(drawn[1].text, u"ABCDEFGHIJKLMNOPQRSTUVWXYZ");
}

TEST_F(DisplayDrawTest, AViewFindsATextByItsMeasuredWidthHoweverWideItsLetters) {
    // Letters four heights wide, far wider than any plain estimate would take them.
    class WideLetters : public testsupport::RecordingSurface {
      public:
        using RecordingSurface::RecordingSurface;
        double TextWidth(std::u16string_view text, const platform::TextFont& font) override {
            return 4 * font.height * font.widthFactor * static_cast<double>(text.size());
        }
    } wide{kWidth, kHeight};
    Command("AL\t");
    Command("S\t600\t3000\t"); // (1, 5) inches: 20 letters reach x = 1 + 80 heights = 9.9
    Command("A\tABCDEFGHIJKLMNOPQRST\t");
    Command("AD\t90\t");
    Command("S\t4800\t600\t"); // (8, 1), turned: reaching up to y = 9.9
    Command("A\tABCDEFGHIJKLMNOPQRST\t");
    const platform::ScopedWindowSurface shown(window, wide);
    kq_set_vport_world(Screen(), Viewport(), {9.2, 4.5, 9.7, 5.5}); // near the first's end
    builder::RedrawScreen();
    ASSERT_EQ(wide.primitives.size(), 1u);
    EXPECT_EQ(wide.primitives[0].font.rotation, 0);
    wide.primitives.clear();
    kq_set_vport_world(Screen(), Viewport(), {7.5, 9.2, 8.5, 9.7}); // near the second's end
    builder::RedrawScreen();
    ASSERT_EQ(wide.primitives.size(), 1u);
    EXPECT_EQ(wide.primitives[0].font.rotation, 90);
    wide.primitives.clear();
    kq_set_vport_world(Screen(), Viewport(), {7.5, 10.6, 8.5, 11}); // beyond both
    builder::RedrawScreen();
    EXPECT_TRUE(wide.primitives.empty());
}

TEST_F(DisplayDrawTest, AViewShowsOfATextWhatTheDrawingsFileHolds) {
    Command("S\t1800\t3000\t");
    Command("A\t" + std::string(260, 'x') + "\u00E9\u2030" + std::string(40, 'y') + "\t");
    Command("S\t1800\t2400\t");
    Command("A\t" + std::string(240, 'x') + "^^^^^^\t"); // a caret counts two
    const auto& drawn = Redraw();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].text, std::u16string(250, u'x'));
    EXPECT_EQ(drawn[1].text, std::u16string(240, u'x') + u"^^^^^");
}

TEST_F(DisplayDrawTest, SolidLinesOfOnePenAreDrawnTogetherInTheDrawingsOrder) {
    Line(1, 1, 2, 1);
    Line(1, 2, 2, 2);
    Command("S\t600\t1800\t");
    Command("RFC\t300\t300\t0 0 0\t"); // a black square between them
    Line(1, 4, 2, 4);
    Command("LW\t3\t"); // another pen
    Command("S\t600\t3000\t");
    Command("LR\t600\t");
    const auto& drawn = Redraw();
    ASSERT_EQ(drawn.size(), 5u);
    EXPECT_EQ(drawn[0].kind, Kind::Segments);
    EXPECT_EQ(drawn[0].points.size(), 4u); // the first two lines, one call
    EXPECT_EQ(drawn[1].kind, Kind::Polygon);
    EXPECT_EQ(drawn[2].kind, Kind::Polyline); // the square's outline: more than a segment
    EXPECT_EQ(drawn[3].points.size(), 2u);    // the third line, after the square
    ExpectPoint(drawn[3].points[0], 100, 700);
    EXPECT_EQ(drawn[4].state.pen.width, 3);
}

TEST_F(DisplayDrawTest, AZoomedViewLooksOnlyAtWhatReachesItAndSeesChangesAtOnce) {
    for (int i = 0; i < 400; ++i) // a grid of short lines over the page
        Line(0.2 + (i % 20) * 0.4, 0.2 + (i / 20) * 0.5, 0.4 + (i % 20) * 0.4,
             0.2 + (i / 20) * 0.5);
    kq_set_vport_world(Screen(), Viewport(), {1, 1, 1.85, 2.1});
    const auto& zoomed = Redraw();
    ASSERT_EQ(zoomed.size(), 1u);
    // Lines at y 1.2, 1.7 (x 1.0-1.2, 1.4-1.6 and 1.8-2.0, cut at the edge): six.
    EXPECT_EQ(zoomed[0].points.size(), 12u);
    Line(1.1, 2, 1.3, 2); // a change after the first pass is seen by the next
    EXPECT_EQ(Redraw()[0].points.size(), 14u);
    const int32_t wide = Line(-3, 1.5, -2, 1.5); // outside the view, but with a wide pen
    kq_set_entity_penwidth(wide, 20000);
    EXPECT_EQ(Redraw().size(), 2u);
}

TEST_F(DisplayDrawTest, ADrawingPassNeedsBeginAndPutsTheContextBack) {
    const platform::DeviceContextHandle dc = platform::CreateDeviceContext(surface);
    platform::SetROP2(dc, platform::R2_NOT);
    Line(1, 1, 2, 1);
    kq_set_window_DC(Screen(), dc);
    EXPECT_EQ(kq_draw_it(Screen()), 0); // no pass open
    EXPECT_EQ(kq_begin_draw(Screen()), 1);
    EXPECT_EQ(kq_draw_it(Screen()), 1);
    EXPECT_EQ(kq_end_draw(Screen()), 1);
    ASSERT_EQ(surface.primitives.size(), 1u);
    EXPECT_EQ(surface.primitives[0].state.rasterOp, platform::R2_COPYPEN);
    EXPECT_EQ(platform::SetROP2(dc, platform::R2_COPYPEN), platform::R2_NOT);
    kq_set_window_DC(Screen(), 0);
    EXPECT_EQ(kq_begin_draw(Screen()), 0);
    platform::DeleteDC(dc);
}

class DisplayPrintTest : public DisplayDrawTest {
  protected:
    // A letter page at 600 dots per inch.
    testsupport::RecordingSurface paper{5100, 6600, 600};
};

TEST_F(DisplayPrintTest, PrintingDrawsThePageAtOneInchPerInch) {
    Command("LW\t2\t");
    Command("S\t600\t600\t");
    Command("LR\t600\t");
    kq_zoom_point(Screen(), Viewport(), {4, 4}, 3.0); // the screen's zoom does not matter
    const platform::DeviceContextHandle dc = platform::CreateDeviceContext(paper);
    kq_set_window_DC(Screen(), dc);
    EXPECT_EQ(kq_set_map_mode(Screen(), platform::MM_LOENGLISH), platform::MM_TEXT);
    platform::SetMapMode(dc, platform::MM_LOENGLISH);
    EXPECT_EQ(kq_print_drawing(Screen(), 1.0, 1, 1), 1);
    EXPECT_EQ(kq_set_map_mode(Screen(), platform::MM_TEXT), platform::MM_LOENGLISH);

    ASSERT_EQ(paper.primitives.size(), 1u);
    const RecordedPrimitive& line = paper.primitives[0];
    ExpectPoint(line.points[0], 600, 6000);
    ExpectPoint(line.points[1], 1200, 6000);
    EXPECT_NEAR(line.state.pen.width, 12, kClose); // 0.02 inch
    ASSERT_TRUE(line.state.clip.has_value());
    EXPECT_EQ(*line.state.clip, (platform::DeviceRect{0, 0, 5100, 6600}));
    platform::DeleteDC(dc);
}

TEST_F(DisplayPrintTest, PrintingInDevicePixelsGivesTheSamePage) {
    Command("S\t600\t600\t");
    Command("LR\t600\t");
    const platform::DeviceContextHandle dc = platform::CreateDeviceContext(paper);
    kq_set_window_DC(Screen(), dc);
    EXPECT_EQ(kq_print_drawing(Screen(), 1.0, 1, 1), 1);
    ASSERT_EQ(paper.primitives.size(), 1u);
    ExpectPoint(paper.primitives[0].points[0], 600, 6000);
    ExpectPoint(paper.primitives[0].points[1], 1200, 6000);
    platform::DeleteDC(dc);
}

TEST_F(DisplayPrintTest, PrintingTheViewPutsItsTopLeftCornerAtThePagesCorner) {
    Line(2, 3, 3, 3);
    kq_set_vport_world(Screen(), Viewport(), {2, 1, 2.85, 2.1}); // fits the window exactly
    const platform::DeviceContextHandle dc = platform::CreateDeviceContext(paper);
    kq_set_window_DC(Screen(), dc);
    kq_set_map_mode(Screen(), platform::MM_LOENGLISH);
    platform::SetMapMode(dc, platform::MM_LOENGLISH);
    EXPECT_EQ(kq_print_drawing(Screen(), 2.0, 0, 1), 1); // twice the size
    ASSERT_EQ(paper.primitives.size(), 0u);              // y = 3 is above the view
    Line(2, 2, 3, 2);
    EXPECT_EQ(kq_print_drawing(Screen(), 2.0, 0, 1), 1);
    ASSERT_EQ(paper.primitives.size(), 1u);
    ExpectPoint(paper.primitives[0].points[0], 0, 0.1 * 2 * 600);
    platform::DeleteDC(dc);
}

TEST_F(DisplayPrintTest, PrintingNeedsABoundContextAndAScale) {
    EXPECT_EQ(kq_print_drawing(Screen(), 1.0, 1, 1), 0);
    const platform::DeviceContextHandle dc = platform::CreateDeviceContext(paper);
    kq_set_window_DC(Screen(), dc);
    EXPECT_EQ(kq_print_drawing(Screen(), 0.0, 1, 1), 0);
    EXPECT_EQ(kq_print_drawing(Screen(), NAN, 1, 1), 0);
    EXPECT_EQ(kq_set_map_mode(Screen(), 7), 0);
    platform::DeleteDC(dc);
}

TEST_F(DisplayDrawTest, ExtentsCoverTheDrawingOrThePageWhenEmpty) {
    double extents[6] = {};
    ASSERT_EQ(kq_compute_drawing_extents(extents, Screen()), 1);
    EXPECT_EQ(extents[3], 8.5);
    EXPECT_EQ(extents[4], 11);
    Line(1, 1, 2, 3);
    Line(4, 0.5, 1.5, 2);
    ASSERT_EQ(kq_compute_drawing_extents(extents, Screen()), 1);
    const double expected[6] = {1, 0.5, 0, 4, 3, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(extents[i], expected[i]) << i;
    EXPECT_EQ(kq_compute_drawing_extents(extents, 0), 0);
}

TEST(CharArrayTest, ArraysHoldWhatFitsAndArePurgedOnce) {
    const int32_t array = kq_create_char_array(15);
    ASSERT_NE(array, 0);
    EXPECT_EQ(kq_strcpyvb2(array, 2, "DO-DEZ Print"), 1);
    EXPECT_EQ(kq_strcpyvb2(array, 2, "a name longer than fifteen"), 1);
    EXPECT_EQ(kq_strcpyvb2(array, 2, nullptr), 0);
    EXPECT_EQ(kq_purge_char_array(array), 1);
    EXPECT_EQ(kq_purge_char_array(array), 0);
    EXPECT_EQ(kq_strcpyvb2(array, 2, "late"), 0);
    EXPECT_EQ(kq_create_char_array(0), 0);
    EXPECT_NE(kq_create_char_array(1), array);
}

} // namespace

#include "builder/path.h"

#include "builder/session.h"
#include "hatch/patterns.h"
#include "interpreter/placement.h"
#include "support/drawing_fixture.h"
#include "support/error_number.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace builder;
using interpreter::Placement;
using testsupport::ErrorNumberOf;

namespace {

using Points = std::vector<std::pair<double, double>>;
const Points kUnitSquare = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

// A session with both scales 1, so command distances are drawing units.
class PathTest : public testsupport::DrawingTest {
  protected:
    void SetUp() override {
        DrawingTest::SetUp();
        StartSession();
        interpreter::SH(1);
        interpreter::SV(1);
    }
    const cadlib::PolylineGeometry& Polyline(size_t i) {
        EXPECT_EQ(Entities().at(i)->kind, cadlib::EntityKind::Polyline);
        return Area().polylines.at(Entities()[i]->geometry);
    }
    Points PointsOf(size_t i) {
        Points points;
        const KqPoint2* p = Area().Points(Polyline(i));
        for (uint32_t k = 0; k < Polyline(i).pointCount; ++k)
            points.emplace_back(p[k].x, p[k].y);
        return points;
    }
    static Points Pen() { return {{Placement().PenX, Placement().PenY}}; }
    static void UnitSquarePath() {
        PathRight(1);
        PathUp(1);
        PathLeft(1);
    }
    // Pattern 20 ("FB") with two lines as the current pattern.
    static void SelectFillBlack() {
        hatch::Patterns().PatternLineCount[20] = 2;
        hatch::Patterns().PatternValues[20][2] = {0, 135, 0, 0, 0, 0.1, 0, 0};
        std::string name = "FB";
        hatch::SelectFillPattern(name);
    }
    void ExpectArea(size_t i, int32_t colour) {
        EXPECT_EQ(Polyline(i).kind, 513);
        EXPECT_EQ(Entities()[i]->colour, colour);
        EXPECT_EQ(Entities()[i]->fillStyle, 1);
        EXPECT_EQ(Entities()[i]->fillMode, 1);
    }
    void ExpectInkOutline(size_t i) {
        EXPECT_EQ(Polyline(i).kind, 1);
        EXPECT_EQ(Entities()[i]->colour, kInkColour);
        EXPECT_EQ(Entities()[i]->hatch, cadlib::kNoHatch);
    }
};

} // namespace

TEST_F(PathTest, StepsRecordTheStartAndEachConvertedPosition) {
    interpreter::ZXY(1, 1);
    PathRight(2);
    EXPECT_EQ(Path().PathCount, 2);
    EXPECT_EQ(Path().PathPoints[1].x, 1);
    EXPECT_EQ(Path().PathPoints[2].x, 3);
    EXPECT_EQ(Pen(), (Points{{3, 1}}));
    interpreter::Z(1, 1);
    PathTo(5, 5);
    EXPECT_EQ(Pen(), (Points{{6, 6}}));
    EXPECT_EQ(Path().PathPoints[3].y, 6);
    EXPECT_TRUE(Entities().empty());
    interpreter::SH(0);
    EXPECT_EQ(ErrorNumberOf([] { PathRight(5); }), platform::kDivisionByZero);
}

TEST_F(PathTest, PathHoldsAtMost250Points) {
    for (int i = 0; i < 249; ++i)
        PathRight(1);
    EXPECT_EQ(ErrorNumberOf([] { PathRight(1); }), platform::kSubscriptOutOfRange);
    EXPECT_EQ(Path().PathCount, 251); // the count and the pen moved before the error
    EXPECT_EQ(Pen(), (Points{{250, 0}}));
}

TEST_F(PathTest, RectangleOutlineEndsWhereItsFourthSideEnds) {
    DrawRectangle(2, 1);
    ASSERT_EQ(Entities().size(), 1u);
    EXPECT_EQ(Polyline(0).kind, 0);
    EXPECT_EQ(PointsOf(0), (Points{{0, 0}, {2, 0}, {2, 1}, {0, 1}, {0, 0}}));
    EXPECT_EQ(Pen(), (Points{{0, 0}}));
    EXPECT_EQ(Path().PathCount, 0);
}

TEST_F(PathTest, SizeThresholdOnRawCommandValues) {
    DrawRectangle(0.01f, 1);
    FillRectangleHatched(1, 0.01f);
    FillRectangleWhite(-0.01f, 1);
    EXPECT_TRUE(Entities().empty());
    EXPECT_EQ(Path().PathCount, 0);
    FillRectangleSolid(0.01f, 0.01f, 1);
    FillRectangleColour(-0.01f, 0.01f, "0");
    EXPECT_EQ(Entities().size(), 3u);
    interpreter::SH(600);
    DrawRectangle(0.02f, 1); // tested before scaling: 0.02 / 600 still draws
    EXPECT_EQ(Entities().size(), 4u);
}

TEST_F(PathTest, FillBlackRectangleIsABlackAreaNotAHatch) {
    SelectFillBlack();
    FillRectangleHatched(1, 1);
    ASSERT_EQ(Entities().size(), 2u);
    ExpectArea(0, kBlackColour);
    EXPECT_EQ(PointsOf(0), kUnitSquare);
    ExpectInkOutline(1);
    EXPECT_TRUE(Area().hatches.empty());
}

TEST_F(PathTest, PathFillHatchesWithTheCurrentPatternIfAny) {
    UnitSquarePath();
    FillPathHatched(); // before any FPF: no lines, nothing attached
    SelectFillBlack();
    UnitSquarePath();
    FillPathHatched();
    ASSERT_EQ(Entities().size(), 2u);
    EXPECT_EQ(Entities()[0]->hatch, cadlib::kNoHatch);
    EXPECT_EQ(Polyline(1).kind, 1);
    EXPECT_EQ(Entities()[1]->colour, cadlib::kNoColour);
    ASSERT_EQ(Area().hatches.size(), 1u);
    EXPECT_EQ(Area().hatches[0].lineCount, 2u);
    // Values, not references: the packed record's doubles may sit off alignment.
    EXPECT_EQ(double{Area().fillLines[1].angle}, 135);
    EXPECT_EQ(ScreenGlobals().hatchStyle, 15);
}

TEST_F(PathTest, SolidWhiteAndColourFills) {
    UnitSquarePath();
    FillPathSolid(0);
    UnitSquarePath();
    FillPathSolid(1);
    ExpectArea(0, kWhiteColour);
    ExpectArea(1, kInkColour); // no outlines
    SelectFillBlack();
    UnitSquarePath();
    FillPathWhite();
    ExpectArea(2, kWhiteColour);
    EXPECT_NE(Entities()[2]->hatch, cadlib::kNoHatch);
    ExpectInkOutline(3);
    EXPECT_EQ(PointsOf(3), kUnitSquare);
    size_t i = 4;
    for (const char* text : {"16777215", "0 0 0", "", "255 255 255"}) {
        UnitSquarePath();
        FillPathColour(text);
        ExpectArea(i, i == 4 ? kWhiteColour : kBlackColour);
        ExpectInkOutline(i + 1);
        i += 2;
    }
    EXPECT_EQ(Entities().size(), i);
}

TEST_F(PathTest, FillReturnsThePenToThePathStart) {
    interpreter::ZXY(4, 5);
    PathRight(2);
    PathUp(3);
    FillPathHatched();
    EXPECT_EQ(Pen(), (Points{{4, 5}}));
    // No open path: a polyline of no points is refused; the pen still goes back.
    interpreter::ZXY(7, 7);
    FillPathColour("0");
    EXPECT_EQ(Entities().size(), 1u);
    EXPECT_EQ(Pen(), (Points{{4, 5}}));
}

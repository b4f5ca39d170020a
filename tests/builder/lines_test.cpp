#include "builder/lines.h"

#include "builder/session.h"
#include "cadlib/kq.h"
#include "interpreter/placement.h"
#include "support/drawing_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <tuple>

using interpreter::Placement;
using Ends = std::array<double, 4>;
using LinesTest = testsupport::DrawingTest;

TEST_F(LinesTest, AxisLinesRunFromThePenAndMoveIt) {
    StartSession();
    for (const char* line : {"LR\t600\t", "LU\t1200\t", "LL\t600\t", "LD\t1200\t", "LR\t0\t"}) {
        Command(line);
    }
    const auto lines = Entities();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(LineEnds(*lines[0]), (Ends{0, 0, 1, 0}));
    EXPECT_EQ(LineEnds(*lines[1]), (Ends{1, 0, 1, 2}));
    EXPECT_EQ(LineEnds(*lines[2]), (Ends{1, 2, 0, 2}));
    EXPECT_EQ(LineEnds(*lines[3]), (Ends{0, 2, 0, 0}));
    EXPECT_EQ(LineEnds(*lines[4]), (Ends{0, 0, 0, 0})); // zero length, still a line
}

TEST_F(LinesTest, FreeEndsReachTheLibraryInDoublePrecision) {
    StartSession();
    interpreter::ZXY(2, 0);
    Command("LA\t90\t600\t");
    const double cosine = std::cos(90 * (3.1415926536 / 180)); // about -5.1e-12, not 0
    ASSERT_LT(cosine, -5e-12);
    EXPECT_EQ(LineEnds(*Entities()[0]), (Ends{2, 0, 2 + cosine, 1}));
    EXPECT_EQ(Placement().PenX, 2.0f);
    Command("LRTO\t200\t-600\t");
    EXPECT_EQ(LineEnds(*Entities()[1]), (Ends{2, 1, 2 + 200.0 / 600, 0}));
    EXPECT_EQ(Placement().PenX, float(2 + 200.0 / 600));
    Command("ZXY\t3\t1\t");
    Command("ZC\t");
    Command("LU\t600\t");
    Command("LTO\t0\t0\t"); // back to the origin ZC set
    EXPECT_EQ(LineEnds(*Entities()[3]), (Ends{3, 2, 3, 1}));
}

TEST_F(LinesTest, LineTypeCodesStyleLaterLines) {
    StartSession();
    const std::tuple<const char*, const char*, double> cases[] = {
        {"LT\t2.5\t", "HIDDEN", 0.25},    {"LT\t3.5\t", "CENTER", 0.1},
        {"LT\t3\t", "DASHDOT", 0.1},      {"LT\t5\t", "DOT", 0.1},
        {"LT\t2\t", "HIDDEN", 0.25},      {"LT\t1\t", "CONTINUOUS", 0.25}, // the scale stays
        {"LT\t0\t", "CONTINUOUS", 0.25},  {"LT\t6\t", "CONTINUOUS", 0.25},
        {"LT\t-1\t", "CONTINUOUS", 0.25},
    };
    for (const auto& [command, lineType, scale] : cases) {
        Command(command);
        Command("LR\t600\t");
        EXPECT_EQ(Area().lineTypes[Entities().back()->lineType].name, lineType) << command;
        EXPECT_EQ(Entities().back()->lineTypeScale, scale) << command;
    }
    EXPECT_EQ(Area().lineTypes[Entities().front()->lineType].name, "HIDDEN");
}

TEST_F(LinesTest, PenWidthGoesOnEveryLaterLine) {
    StartSession();
    Command("LR\t600\t");
    Command("LW\t5\t");
    EXPECT_EQ(Area().system.penWidth, 5);
    // A line carries the builder's width explicitly, whatever the library stamps.
    kq_set_sys_penwidth(builder::Session().DataAreaHandle, 9);
    Command("LR\t600\t");
    EXPECT_EQ(Entities()[0]->penWidth, 0);
    EXPECT_EQ(Entities()[1]->penWidth, 5);
}

TEST_F(LinesTest, ZeroScaleFailsBeforeAnythingIsDrawn) {
    StartSession();
    Command("SH\t0\t");
    EXPECT_EQ(CommandError("LR\t5\t"), 11);
    EXPECT_EQ(CommandError("LL\t0\t"), 6);
    Command("SV\t0\t");
    EXPECT_EQ(CommandError("LRTO\t0\t5\t"), 6); // x is converted first
    EXPECT_TRUE(Entities().empty());
    EXPECT_EQ(Placement().PenX, 0.0f);
}

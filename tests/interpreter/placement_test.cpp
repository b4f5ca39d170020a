#include "interpreter/placement.h"

#include "platform/runtime_error.h"
#include "support/error_number.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace interpreter;

namespace {

class PlacementTest : public ::testing::Test {
  protected:
    // The start state of every command file.
    void SetUp() override {
        Placement() = {};
        Z(0, 0);
        SV(600);
        SH(600);
    }
    void TearDown() override { Placement() = {}; }
};

} // namespace

TEST_F(PlacementTest, StartStateTurnsZeroScalesIntoOneThenSixHundred) {
    Placement() = {};
    Z(0, 0);
    EXPECT_EQ(Placement().ScaleX, 1.0f);
    EXPECT_EQ(Placement().ScaleY, 1.0f);
    SetUp();
    EXPECT_EQ(Placement().ScaleX, 600.0f);
}

TEST_F(PlacementTest, AbsoluteAndRelativeMoves) {
    S(600, 1200);
    EXPECT_EQ(Placement().PenX, 1.0f);
    EXPECT_EQ(Placement().PenY, 2.0f);
    SR(300);
    EXPECT_EQ(Placement().PenX, 1.5f);
    SL(600);
    SD(300);
    EXPECT_EQ(Placement().PenX, 0.5f);
    EXPECT_EQ(Placement().PenY, 1.5f);
}

TEST_F(PlacementTest, OriginCommands) {
    Z(2, 3);
    S(0, 0);
    EXPECT_EQ(Placement().PenX, 2.0f);
    EXPECT_EQ(Placement().PenY, 3.0f);
    SU(600);
    EXPECT_EQ(Placement().PenY, 4.0f);
    ZC();
    EXPECT_EQ(Placement().OriginY, 4.0f);
    SR(600);
    S(0, 0);
    EXPECT_EQ(Placement().PenX, 2.0f);
    EXPECT_EQ(Placement().PenY, 4.0f);
    ZXY(5, 5); // drawing units, origin untouched
    EXPECT_EQ(Placement().PenX, 5.0f);
    EXPECT_EQ(Placement().OriginX, 2.0f);
}

TEST_F(PlacementTest, PolarMoveUsesTheTenDecimalPi) {
    SA(90, 600);
    EXPECT_EQ(Placement().PenY, 1.0f);
    const float expectedX = float(std::cos(90 * (3.1415926536 / 180)));
    EXPECT_EQ(Placement().PenX, expectedX);
    EXPECT_NE(Placement().PenX, 0.0f);
    EXPECT_NEAR(Placement().PenX, -5.1e-12, 1e-13);

    Placement().PenX = Placement().PenY = 0;
    SA(180, 600);
    EXPECT_EQ(Placement().PenX, -1.0f);
    EXPECT_NEAR(Placement().PenY, -1.0e-11, 1e-12);
}

TEST_F(PlacementTest, UnequalScalesScaleEachComponent) {
    SV(300);
    SA(45, 600);
    EXPECT_NEAR(Placement().PenX, std::cos(M_PI / 4), 1e-6);
    EXPECT_NEAR(Placement().PenY, 2 * std::sin(M_PI / 4), 1e-6);
}

TEST_F(PlacementTest, NegativeScaleMirrors) {
    SH(-600);
    SR(600);
    EXPECT_EQ(Placement().PenX, -1.0f);
}

TEST_F(PlacementTest, ZeroScaleFailsUntilZRepairsIt) {
    SH(0);
    EXPECT_EQ(testsupport::ErrorNumberOf([] { SR(5); }), platform::kDivisionByZero);
    EXPECT_EQ(testsupport::ErrorNumberOf([] { SR(0); }), platform::kOverflow);
    EXPECT_EQ(testsupport::ErrorNumberOf([] { S(1, 1); }), platform::kDivisionByZero);
    EXPECT_EQ(Placement().PenX, 0.0f); // nothing moved
    Z(0, 0);
    EXPECT_EQ(Placement().ScaleX, 1.0f);
    EXPECT_EQ(Placement().ScaleY, 600.0f);
}

TEST_F(PlacementTest, PenBeyondSinglePrecisionIsAnOverflow) {
    SH(1);
    ZXY(3e38f, 0);
    EXPECT_EQ(testsupport::ErrorNumberOf([] { SR(3e38f); }), platform::kOverflow);
}

TEST_F(PlacementTest, StoredPositionsAreSinglePrecision) {
    SR(1); // 1/600 is not a float
    EXPECT_EQ(Placement().PenX, float(1.0 / 600.0));
    SR(1);
    EXPECT_EQ(Placement().PenX, float(double(float(1.0 / 600.0)) + 1.0 / 600.0));
}

// Clipping, arcs and dash patterns of the display.
#include "cadlib/display/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace {

using cadlib::MakeDashPattern;
using platform::LogicalPoint;

constexpr double kClose = 1e-9;
const KqRect2 kBox{0, 0, 10, 10};

struct ClippedRun {
    std::vector<LogicalPoint> points;
    double start;
};

std::vector<ClippedRun> Runs(const std::vector<LogicalPoint>& points) {
    std::vector<ClippedRun> runs;
    cadlib::ClipPolyline(points, kBox, [&runs](std::span<const LogicalPoint> run, double start) {
        runs.push_back({{run.begin(), run.end()}, start});
    });
    return runs;
}

TEST(DashPatternTest, LineTypesBecomeDrawnAndSkippedLengths) {
    const double hidden[] = {0.25, -0.125};
    const cadlib::DashPattern pattern = MakeDashPattern(hidden, 100);
    EXPECT_EQ(pattern.lengths, (std::vector<double>{25, 12.5}));
    EXPECT_EQ(pattern.period, 37.5);
    EXPECT_EQ(pattern.phase, 0);
}

TEST(DashPatternTest, APatternStartingWithAGapStartsWithItsDash) {
    const double gapFirst[] = {-1, 2, -3};
    const cadlib::DashPattern pattern = MakeDashPattern(gapFirst, 1);
    // The gaps at both ends are one gap of 4 across the repeat; the line's
    // own start is where the last gap of 3 ends: 2 + 3 into the pattern.
    EXPECT_EQ(pattern.lengths, (std::vector<double>{2, 4}));
    EXPECT_EQ(pattern.phase, 5);
}

TEST(DashPatternTest, DotsStayAndSolidTypesHaveNoPattern) {
    const double dot[] = {0, -0.25};
    EXPECT_EQ(MakeDashPattern(dot, 10).lengths, (std::vector<double>{0, 2.5}));
    const double solid[] = {1.0};
    EXPECT_TRUE(MakeDashPattern(solid, 10).lengths.empty());
    EXPECT_TRUE(MakeDashPattern({}, 10).lengths.empty());
}

TEST(ClipPolylineTest, RunsInsideTheBoxKeepTheirDistanceAlongTheLine) {
    // In at x = 0, out at x = 10, back in from the top.
    const std::vector<ClippedRun> runs = Runs({{-5, 5}, {15, 5}, {15, 20}, {5, 20}, {5, 5}});
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_NEAR(runs[0].start, 5, kClose);
    ASSERT_EQ(runs[0].points.size(), 2u);
    EXPECT_NEAR(runs[0].points[0].x, 0, kClose);
    EXPECT_NEAR(runs[0].points[1].x, 10, kClose);
    EXPECT_NEAR(runs[1].start, 20 + 15 + 10 + 10, kClose);
    EXPECT_NEAR(runs[1].points[0].y, 10, kClose);
    EXPECT_NEAR(runs[1].points[1].y, 5, kClose);
}

TEST(ClipPolylineTest, APolylineInsideIsOneRunAndOneOutsideNone) {
    const std::vector<ClippedRun> inside = Runs({{1, 1}, {2, 2}, {3, 1}});
    ASSERT_EQ(inside.size(), 1u);
    EXPECT_EQ(inside[0].points.size(), 3u);
    EXPECT_TRUE(Runs({{11, 1}, {20, 2}}).empty());
    EXPECT_EQ(Runs({{4, 4}, {4, 4}}).size(), 1u); // a dot
}

TEST(ClipPolygonTest, APolygonIsCutToTheBox) {
    const std::vector<LogicalPoint> triangle{{-10, 5}, {20, 5}, {5, 20}};
    const std::vector<LogicalPoint> cut = cadlib::ClipPolygon(triangle, kBox);
    ASSERT_GE(cut.size(), 4u);
    for (const LogicalPoint& p : cut) {
        EXPECT_GE(p.x, 0 - kClose);
        EXPECT_LE(p.x, 10 + kClose);
        EXPECT_GE(p.y, 5 - kClose);
        EXPECT_LE(p.y, 10 + kClose);
    }
    EXPECT_TRUE(
        cadlib::ClipPolygon(std::vector<LogicalPoint>{{20, 20}, {30, 20}, {25, 30}}, kBox).empty());
}

TEST(ArcPointsTest, ChordsStayWithinTheTolerance) {
    std::vector<KqPoint2> points;
    cadlib::AppendArcPoints({0, 0}, 100, 0, 90, 0.25, points);
    ASSERT_GE(points.size(), 3u);
    EXPECT_NEAR(points.front().x, 100, kClose);
    EXPECT_NEAR(points.back().y, 100, kClose);
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        const double midX = (points[i].x + points[i + 1].x) / 2;
        const double midY = (points[i].y + points[i + 1].y) / 2;
        EXPECT_LE(100 - std::hypot(midX, midY), 0.25 + kClose);
    }
    std::vector<KqPoint2> tiny;
    cadlib::AppendArcPoints({0, 0}, 0.01, 0, 360, 0.25, tiny);
    EXPECT_EQ(tiny.size(), 9u); // a round shape even below a pixel
}

} // namespace

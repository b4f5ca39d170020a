// Fill-line records: the one hash that the data area finds a pattern by and
// that the DXF names a pattern without a name after.
#include "cadlib/fill_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

KqFillLine Diagonal(double spacing) {
    KqFillLine line;
    line.angle = 45;
    line.offsetAcross = spacing;
    return line;
}

TEST(FillLinesHashTest, TheHashIsFnv1aOverTheRecordsBytesAsFilesHaveAlwaysNamedThem) {
    // The name of a pattern that came without one ("KQ_D570E903") is in
    // drawings already written: the same lines must keep it.
    const std::vector<KqFillLine> lines = {Diagonal(0.125)};
    EXPECT_EQ(cadlib::FillLinesHash(lines), 0xD570E903u);
    EXPECT_EQ(cadlib::FillLinesHash({}), 2166136261u);
    const std::vector<KqFillLine> wider = {Diagonal(0.25)};
    EXPECT_NE(cadlib::FillLinesHash(wider), cadlib::FillLinesHash(lines));
}

TEST(FillLinesHashTest, LinesAreTheSameOnlyRecordForRecord) {
    const std::vector<KqFillLine> one = {Diagonal(0.125)};
    const std::vector<KqFillLine> again = {Diagonal(0.125)};
    const std::vector<KqFillLine> two = {Diagonal(0.125), Diagonal(0.25)};
    const std::vector<KqFillLine> swapped = {Diagonal(0.25), Diagonal(0.125)};
    EXPECT_TRUE(cadlib::SameFillLines(one, again));
    EXPECT_FALSE(cadlib::SameFillLines(one, two));
    EXPECT_FALSE(cadlib::SameFillLines(two, swapped));
    EXPECT_TRUE(cadlib::SameFillLines({}, {}));
}

} // namespace

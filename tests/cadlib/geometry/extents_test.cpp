// Where entities lie: one text frame that the file places a TEXT by and the
// screen sets its glyphs by, the exact extents of the file and the
// conservative ones that find what reaches a view.
#include "cadlib/database.h"
#include "cadlib/geometry/extents.h"
#include "cadlib/geometry/text_frame.h"
#include "cadlib/kq.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

using cadlib::TextFrame;

constexpr double kClose = 1e-9;

TEST(BoxTest, ABoxOnTheEdgeIsContainedAndOneCrossingItIsNot) {
    const KqRect2 kBox{0, 0, 10, 10};
    EXPECT_TRUE(cadlib::Contains(kBox, {0, 0, 10, 10}));
    EXPECT_TRUE(cadlib::Contains(kBox, {2, 3, 4, 5}));
    EXPECT_FALSE(cadlib::Contains(kBox, {-1, 3, 4, 5}));
    EXPECT_FALSE(cadlib::Contains(kBox, {2, 3, 4, 10.5}));
    EXPECT_FALSE(cadlib::Contains({2, 3, 4, 5}, kBox));
}

cadlib::TextGeometry Text(int horizontal, int vertical, int flags) {
    cadlib::TextGeometry text;
    text.first = {1, 2, 0};
    text.second = horizontal == 3 || horizontal == 5 ? KqPoint3{5, 5, 0} : KqPoint3{3, 4, 0};
    text.height = 0.5;
    text.rotation = 30;
    text.horizontal = horizontal;
    text.vertical = vertical;
    text.flags = flags;
    return text;
}

std::string Named(int horizontal, int vertical, int flags) {
    return "alignment " + std::to_string(horizontal) + ", " + std::to_string(vertical) +
           ", mirror flags " + std::to_string(flags);
}

// The box a screen's glyphs of `width` fill, set by `font` about `middle`
// as a font system sets them: aligned along its rotation, a height tall.
std::vector<KqPoint2> GlyphBox(const platform::TextFont& font, const KqPoint3& middle, double width,
                               double height) {
    const double radians = font.rotation * std::numbers::pi / 180;
    const KqPoint2 along{std::cos(radians), std::sin(radians)};
    const KqPoint2 up{-along.y, along.x};
    const double behind = font.align == platform::TextAlign::Left     ? 0
                          : font.align == platform::TextAlign::Centre ? width / 2
                                                                      : width;
    std::vector<KqPoint2> corners;
    for (const double x : {-behind, width - behind}) {
        for (const double y : {-height / 2, height / 2})
            corners.push_back(
                {middle.x + along.x * x + up.x * y, middle.y + along.y * x + up.y * y});
    }
    return corners;
}

void ExpectSameCorners(std::vector<KqPoint2> a, std::vector<KqPoint2> b, const std::string& what) {
    const auto order = [](const KqPoint2& p, const KqPoint2& q) {
        return std::round(p.x * 1e6) != std::round(q.x * 1e6) ? p.x < q.x : p.y < q.y;
    };
    std::sort(a.begin(), a.end(), order);
    std::sort(b.begin(), b.end(), order);
    ASSERT_EQ(a.size(), b.size()) << what;
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(a[i].x, b[i].x, kClose) << what;
        EXPECT_NEAR(a[i].y, b[i].y, kClose) << what;
    }
}

TEST(TextFrameTest, TheScreenSetsTheGlyphsInTheCapitalsBoxTheFileGivesTheText) {
    for (const int horizontal : {0, 1, 2, 3, 4, 5}) {
        for (const int vertical : {0, 1, 2, 3}) {
            for (const int flags : {0, 2, 4, 6}) {
                const std::string what = Named(horizontal, vertical, flags);
                const cadlib::TextGeometry text = Text(horizontal, vertical, flags);
                const TextFrame frame = cadlib::FrameOfText(text, 2, 0.25);
                const platform::TextFont font = cadlib::FontOf(frame, text, "", text.height);
                std::vector<KqPoint2> capitals;
                for (const KqPoint3& corner : frame.Capitals())
                    capitals.push_back({corner.x, corner.y});
                ExpectSameCorners(GlyphBox(font, frame.Middle(), frame.width, text.height),
                                  capitals, what);
            }
        }
    }
}

TEST(TextFrameTest, TheAlignmentNamesThePointTheTextStartsCentresOrEndsOn) {
    // Left on the baseline: the first point; the baseline runs at 30 degrees.
    const TextFrame left = cadlib::FrameOfText(Text(0, 0, 0), 2, 0.25);
    EXPECT_NEAR(left.Start().x, 1, kClose);
    EXPECT_NEAR(left.Start().y, 2, kClose);
    // Right and top: ends a width before the second point, a height below it.
    const TextFrame right = cadlib::FrameOfText(Text(2, 3, 0), 2, 0.25);
    const double c = std::cos(std::numbers::pi / 6), s = std::sin(std::numbers::pi / 6);
    EXPECT_NEAR(right.Start().x, 3 - 2 * c + 0.5 * s, kClose);
    EXPECT_NEAR(right.Start().y, 4 - 2 * s - 0.5 * c, kClose);
    // Bottom: the descender's line on the point, the baseline above it.
    const TextFrame bottom = cadlib::FrameOfText(Text(0, 1, 0), 2, 0.25);
    EXPECT_NEAR(bottom.Start().x, 3 - 0.125 * s, kClose);
    EXPECT_NEAR(bottom.Start().y, 4 + 0.125 * c, kClose);
    // Aligned: from the first point to the second, whatever its advance.
    const TextFrame aligned = cadlib::FrameOfText(Text(3, 0, 0), 2, 0.25);
    EXPECT_NEAR(aligned.width, 5, kClose);
    EXPECT_NEAR(aligned.rotation, std::atan2(3, 4) * 180 / std::numbers::pi, kClose);
    EXPECT_NEAR(aligned.At(aligned.width, 0).x, 5, kClose);
}

class ExtentsTest : public ::testing::Test {
  protected:
    void SetUp() override { handle_ = kq_create_data_area(); }
    void TearDown() override { kq_purge_data_area(handle_); }

    const cadlib::DataArea& Area() const { return *cadlib::FindDataArea(handle_); }
    void Append(int32_t entity) {
        ASSERT_NE(entity, 0);
        ASSERT_NE(kq_update_entity_list(handle_, 0, entity), 0);
    }

    int32_t handle_ = 0;
};

TEST_F(ExtentsTest, WhatReachesAViewHoldsWhatTheFileStatesInEveryAlignment) {
    for (const int horizontal : {0, 1, 2, 3, 4, 5}) {
        for (const int vertical : {0, 1, 2, 3}) {
            for (const int flags : {0, 2, 4, 6}) {
                const cadlib::TextGeometry t = Text(horizontal, vertical, flags);
                Append(kq_construct_text(handle_, t.first, "Wide text", t.height, 1, 0, t.rotation,
                                         horizontal, vertical, flags, t.second));
            }
        }
    }
    Append(kq_construct_arc(handle_, {20, 0, 0}, 2, 300, 45));
    const cadlib::DataArea& area = Area();
    const cadlib::StyleFaces faces(area);
    for (const uint32_t index : area.order) {
        const cadlib::Entity& entity = area.entities[index];
        cadlib::SpaceBox exact;
        cadlib::AddExactExtents(exact, area, faces, entity);
        // Measured as wide as the faces' tables have the text.
        const KqRect2 reach =
            cadlib::ReachOf(area, faces, entity, [&](const cadlib::TextGeometry& text) {
                return faces.FrameOf(area, text).width;
            });
        EXPECT_TRUE(
            cadlib::Contains(reach, {exact.min[0], exact.min[1], exact.max[0], exact.max[1]}))
            << "entity " << index;
    }
}

TEST_F(ExtentsTest, AnArcIsExactlyWhereItsSweepGoesAndReachesItsWholeCircle) {
    // From 300 through 0 to 45 degrees: its right end reaches x = 22.
    Append(kq_construct_arc(handle_, {20, 0, 0}, 2, 300, 45));
    const cadlib::DataArea& area = Area();
    const cadlib::StyleFaces faces(area);
    cadlib::SpaceBox exact;
    cadlib::AddExactExtents(exact, area, faces, area.entities[0]);
    EXPECT_NEAR(exact.max[0], 22, kClose);
    EXPECT_NEAR(exact.min[0], 21, kClose); // cos 300 and cos 45 times 2
    const KqRect2 reach = cadlib::ReachOf(area, faces, area.entities[0], {});
    EXPECT_NEAR(reach.x1, 18, kClose);
    EXPECT_NEAR(reach.y2, 2, kClose);
}

} // namespace

#include "builder/text.h"

#include "interpreter/command_file.h"
#include "interpreter/placement.h"
#include "support/drawing_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using interpreter::Placement;
using Lines = std::vector<std::string>;

namespace {

class TextTest : public testsupport::DrawingTest {
  protected:
    void SetUp() override {
        DrawingTest::SetUp();
        StartSession();
        interpreter::ZXY(1, 2);
    }
    Lines Contents() {
        Lines contents;
        for (const cadlib::Entity* entity : Entities())
            contents.push_back(TextContent(*entity));
        return contents;
    }
    const cadlib::TextGeometry& Nth(size_t n) { return TextOf(*Entities().at(n)); }
    const double height = 8.0 / 72.0;
};

} // namespace

TEST_F(TextTest, MarkerSplitsIntoTwoLinesOneHeightApart) {
    Command("A\tAB\\NCD\t");
    EXPECT_EQ(Contents(), (Lines{"AB", "CD"}));
    EXPECT_EQ(interpreter::Interpreter().CommandFields[2], "AB");
    EXPECT_EQ(Nth(0).first.x, 1.0);
    EXPECT_FLOAT_EQ(Nth(0).first.y, 2 - 0.55 * height);
    EXPECT_FLOAT_EQ(Nth(1).first.y, 2 - 1.55 * height);
    EXPECT_EQ(Nth(1).second.y, Nth(1).first.y);
    EXPECT_EQ(Nth(1).height, height);
    EXPECT_EQ(Nth(1).vertical, 2);
    EXPECT_EQ(Area().styleNames[Nth(1).styleName], "USERFONT");
    EXPECT_EQ(Placement().PenX, 1.0f);
    EXPECT_FLOAT_EQ(Placement().PenY, 2.0f);
}

TEST_F(TextTest, OnlyTheFirstCapitalMarkerSplits) {
    for (std::string text : {"AB\\N", "\\NAB", "\\N", "A\\NB\\NC", "A\\nB"})
        builder::DrawText(text);
    EXPECT_EQ(Contents(), (Lines{"AB", "", "AB", "", "A", "B\\NC", "A\\nB"}));
}

TEST_F(TextTest, RotatedTextsStackToTheRight) {
    Command("AD\t45\t");
    Command("A\tA\\NB\t");
    Command("AD\t0\t");
    Command("AL\t");
    Command("A\tC\t");
    Command("AR\t");
    Command("A\tD\t");
    EXPECT_EQ(Nth(0).rotation, 45.0);
    EXPECT_FLOAT_EQ(Nth(0).first.x, 1 + 0.55 * height);
    EXPECT_FLOAT_EQ(Nth(1).first.x, 1 + 1.55 * height);
    EXPECT_EQ(Nth(1).first.y, 2.0);
    EXPECT_EQ(Nth(2).first.x, 1.0);
    // The alignment code is all that AC, AL and AR change.
    EXPECT_EQ(Nth(1).horizontal, 1);
    EXPECT_EQ(Nth(2).horizontal, 0);
    EXPECT_EQ(Nth(3).horizontal, 2);
    EXPECT_EQ(Nth(3).first.y, Nth(2).first.y);
}

TEST_F(TextTest, NumbersAreWholeOrTwoDecimalsWithoutLeadingZero) {
    const std::pair<float, const char*> cases[] = {
        {2.5f, "2.5"},    {0.25f, ".25"},  {3.14159f, "3.14"}, {1.001f, "1."},     {-0.5f, "-.5"},
        {3, "3"},         {12, "12"},      {-3, "-3"},         {-0.0f, "0"},       {0.995f, "1."},
        {1e20f, "1e+20"}, {0.125f, ".13"}, {-0.001f, "."},     {-2.675f, "-2.67"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(builder::FormatNumber(value), text) << value;
    Command("AN\t0.25\t");
    EXPECT_EQ(Contents(), (Lines{".25"}));
}

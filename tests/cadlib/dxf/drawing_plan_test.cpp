// The drawing's plan: what each entity becomes in the file, decided once,
// and the line form's blocks, whose pieces, cut again when written, are the
// ones their handles were counted for.
#include "cadlib/database.h"
#include "cadlib/dxf/drawing_plan.h"
#include "cadlib/geometry/text_frame.h"
#include "cadlib/kq.h"
#include "cadlib/testing.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

using cadlib::PatternForm;

class DrawingPlanTest : public ::testing::Test {
  protected:
    void SetUp() override {
        cadlib::testing::ResetLibrary();
        area_ = kq_create_data_area();
        KqRect2 paper;
        kq_set_rect_2d(0, 0, 8.5, 11, paper);
        KqRect3 box;
        kq_set_rect_3d(-1, -1, -1, 1, 1, 1, box);
        screen_ = kq_init_drawing(0, area_, 7, 0, paper, box);
        ASSERT_NE(screen_, 0);
        std::array<KqColour, kPaletteSize> palette;
        kq_get_default_palette(screen_, palette.data());
        palette[21] = {1, 1, 1};
        kq_create_palette(screen_, palette.data(), 255);
    }
    void TearDown() override { cadlib::testing::ResetLibrary(); }

    int32_t Append(int32_t entity) {
        EXPECT_EQ(kq_update_entity_list(area_, 0, entity), 1);
        return entity;
    }
    int32_t Square(int32_t kind, double x, double y, double side) {
        const KqPoint3 corners[] = {
            {x, y, 0}, {x + side, y, 0}, {x + side, y + side, 0}, {x, y + side, 0}};
        return Append(kq_construct_polyline(area_, kind, corners, 4));
    }
    void Fill(int32_t entity, int32_t colour) {
        kq_set_entity_color(entity, colour);
        kq_set_entity_fillstyle(entity, 1);
        kq_set_entity_fillmode(entity, 1);
    }
    void Hatch(int32_t entity, double spacing) {
        KqFillLine line;
        kq_set_fill_pattern(45, 0, 0, 0, spacing, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1.0, line);
        ASSERT_EQ(kq_filluser_named_entity(screen_, &line, 1, "KQ_RULES", entity), 1);
    }
    cadlib::DrawingPlan Plan() const {
        const cadlib::Screen& screen = *cadlib::FindScreen(screen_);
        return cadlib::DrawingPlan(screen, *cadlib::DataAreaOf(screen));
    }

    int32_t area_ = 0;
    int32_t screen_ = 0;
};

TEST_F(DrawingPlanTest, EachEntityBecomesTheRecordsItsPlanAndItsPatternFormSay) {
    Append(kq_construct_line(area_, {0, 0, 0}, {1, 1, 0}));
    Fill(Square(cadlib::kPolylineClosed, 1, 1, 1), 3);     // outline and solid
    Fill(Square(cadlib::kPolylineFilledArea, 3, 1, 1), 3); // the solid alone
    Hatch(Square(cadlib::kPolylineClosed, 5, 1, 1), 0.1);  // outline and pattern
    Hatch(Square(cadlib::kPolylineClosed, 5, 3, 1), 1e-7); // too dense for readers
    const cadlib::DrawingPlan plan = Plan();
    const std::vector<cadlib::EntityForms> expected = {{true, false, PatternForm::None},
                                                       {true, true, PatternForm::None},
                                                       {false, true, PatternForm::None},
                                                       {true, false, PatternForm::Entity},
                                                       {true, false, PatternForm::None}};
    uint64_t records = 0;
    for (uint32_t position = 0; position < expected.size(); ++position) {
        const cadlib::EntityForms& forms = plan.Forms(position);
        EXPECT_EQ(forms.outline, expected[position].outline) << position;
        EXPECT_EQ(forms.solid, expected[position].solid) << position;
        EXPECT_EQ(forms.pattern, expected[position].pattern) << position;
        records += forms.outline + forms.solid + (forms.pattern != PatternForm::None);
    }
    EXPECT_EQ(plan.EntityRecords(), records);
    EXPECT_TRUE(plan.Blocks().empty());
}

TEST_F(DrawingPlanTest, ALineBlockIsCutAgainIntoThePiecesItsHandlesWereCountedFor) {
    ASSERT_EQ(kq_set_dxf_hatch_form(screen_, KQ_DXF_HATCH_LINES), 1);
    Hatch(Square(cadlib::kPolylineClosed, 1, 1, 2), 0.1);
    Hatch(Square(cadlib::kPolylineClosed, 4, 1, 2), 0.1);
    Fill(Square(cadlib::kPolylineClosed, 1.5, 1.5, 1), 21); // a white area over the first
    cadlib::DrawingPlan plan = Plan();
    ASSERT_EQ(plan.Blocks().size(), 2u);
    EXPECT_EQ(plan.Forms(0).pattern, PatternForm::Lines);
    const cadlib::LineBlock& masked = plan.Blocks()[0];
    const cadlib::LineBlock& plain = plan.Blocks()[1];
    EXPECT_EQ(masked.position, 0u);
    EXPECT_EQ(plain.position, 1u);
    const auto length = [](const std::vector<cadlib::HatchPiece>& pieces) {
        double total = 0;
        for (const cadlib::HatchPiece& piece : pieces)
            total += std::hypot(piece.to.x - piece.from.x, piece.to.y - piece.from.y);
        return total;
    };
    const std::vector<cadlib::HatchPiece> maskedPieces = plan.Pieces(masked);
    const std::vector<cadlib::HatchPiece> plainPieces = plan.Pieces(plain);
    EXPECT_EQ(maskedPieces.size(), masked.pieceCount);
    EXPECT_EQ(plainPieces.size(), plain.pieceCount);
    EXPECT_EQ(plan.Pieces(masked).size(), masked.pieceCount); // as often as asked
    // The same pattern over the same size: the white area hides a quarter of it.
    EXPECT_NEAR(length(maskedPieces), 0.75 * length(plainPieces), 0.02 * length(plainPieces));
}

TEST_F(DrawingPlanTest, TextsStartWhereTheirFrameSaysAndTheExtentsHoldTheirCapitals) {
    const KqPoint3 at{2, 3, 0};
    for (const int horizontal : {0, 1, 2}) {
        Append(kq_construct_text(area_, at, "Sand", 0.25, 1, 0, 0, horizontal, 2, 0, at));
    }
    const cadlib::DrawingPlan plan = Plan();
    const cadlib::DataArea& area = *cadlib::FindDataArea(area_);
    const cadlib::StyleFaces faces(area);
    for (size_t k = 0; k < 3; ++k) {
        const KqPoint3 start = faces.FrameOf(area, area.texts[k]).Start();
        EXPECT_EQ(plan.TextStart(k).x, start.x) << k;
        EXPECT_EQ(plan.TextStart(k).y, start.y) << k;
    }
    // Left, centred and right of the same point: the right one starts furthest left.
    EXPECT_LT(plan.TextStart(2).x, plan.TextStart(1).x);
    EXPECT_LT(plan.TextStart(1).x, plan.TextStart(0).x);
    EXPECT_EQ(plan.Extents().min[0], plan.TextStart(2).x);
    EXPECT_EQ(plan.Extents().min[1], 3 - 0.125);
    EXPECT_EQ(plan.Extents().max[1], 3 + 0.125);
}

} // namespace

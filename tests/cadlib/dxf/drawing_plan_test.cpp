// The drawing's plan: what each entity becomes in the file, decided once,
// and the line form's blocks, whose pieces, cut again when written, are the
// ones their handles were counted for.
#include "cadlib/database.h"
#include "cadlib/dxf/drawing_plan.h"
#include "cadlib/geometry/text_frame.h"
#include "cadlib/kq.h"
#include "support/dxf_session.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

using cadlib::PatternForm;

class DrawingPlanTest : public testsupport::DxfSessionTest {
  protected:
    void Hatch(int32_t entity, double spacing) {
        FillPattern(entity, {testsupport::FillLine(45, 0, 0, 0, spacing, 0, 0)}, "KQ_RULES");
    }
    cadlib::DrawingPlan Plan() const {
        const cadlib::Screen& screen = *cadlib::FindScreen(screen_);
        return cadlib::DrawingPlan(screen, *cadlib::DataAreaOf(screen));
    }
};

TEST_F(DrawingPlanTest, EachEntityBecomesTheRecordsItsPlanAndItsPatternFormSay) {
    Append(kq_construct_line(area_, {0, 0, 0}, {1, 1, 0}));
    FillSolid(Square(cadlib::kPolylineClosed, 1, 1, 1), 3);     // outline and solid
    FillSolid(Square(cadlib::kPolylineFilledArea, 3, 1, 1), 3); // the solid alone
    Hatch(Square(cadlib::kPolylineClosed, 5, 1, 1), 0.1);       // outline and pattern
    Hatch(Square(cadlib::kPolylineClosed, 5, 3, 1), 1e-7);      // too dense for readers
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
    FillSolid(Square(cadlib::kPolylineClosed, 1.5, 1.5, 1), 21); // a white area over the first
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

// The drawing's plan: what each entity becomes in the file, decided once,
// and the line form's blocks, whose pieces, cut again when written, are the
// ones their handles were counted for.
#include "cadlib/database.h"
#include "cadlib/dxf/drawing_plan.h"
#include "cadlib/geometry/text_frame.h"
#include "cadlib/kq.h"
#include "cadlib/testing.h"
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

// The same drawing in a version with HATCH and LWPOLYLINE and in R12, which
// has neither: solid fills become their pieces, patterns their lines and
// polylines a record per point; the records are counted as written.
TEST_F(DrawingPlanTest, EachEntityBecomesTheRecordsItsPlanAndItsTargetSay) {
    Append(kq_construct_line(area_, {0, 0, 0}, {1, 1, 0}));
    FillSolid(Square(cadlib::kPolylineClosed, 1, 1, 1), 3);     // outline and solid
    FillSolid(Square(cadlib::kPolylineFilledArea, 3, 1, 1), 3); // the solid alone
    Hatch(Square(cadlib::kPolylineClosed, 5, 1, 1), 0.1);       // outline and pattern
    Hatch(Square(cadlib::kPolylineClosed, 5, 3, 1), 1e-7);      // too dense for readers
    using enum cadlib::SolidForm;
    const struct {
        int32_t version;
        cadlib::PolylineForm polylines;
        std::vector<cadlib::EntityForms> forms;
        uint64_t records;
        size_t blocks;
    } cases[] = {
        {KQ_DXF_2004,
         cadlib::PolylineForm::Light,
         {{true, None, PatternForm::None},
          {true, Hatch, PatternForm::None},
          {false, Hatch, PatternForm::None},
          {true, None, PatternForm::Entity},
          {true, None, PatternForm::None}},
         1 + 2 + 1 + 2 + 1,
         0},
        // A square is a POLYLINE, four VERTEX and a SEQEND, and one piece.
        {KQ_DXF_R12,
         cadlib::PolylineForm::Heavy,
         {{true, None, PatternForm::None},
          {true, Pieces, PatternForm::None},
          {false, Pieces, PatternForm::None},
          {true, None, PatternForm::Lines},
          {true, None, PatternForm::None}},
         1 + (6 + 1) + 1 + (6 + 1) + 6,
         1},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(kq_set_dxf_version(screen_, c.version), 1);
        const cadlib::DrawingPlan plan = Plan();
        EXPECT_EQ(plan.Polylines(), c.polylines) << c.version;
        for (uint32_t position = 0; position < c.forms.size(); ++position) {
            const cadlib::EntityForms& forms = plan.Forms(position);
            EXPECT_EQ(forms.outline, c.forms[position].outline) << c.version << " " << position;
            EXPECT_EQ(forms.solid, c.forms[position].solid) << c.version << " " << position;
            EXPECT_EQ(forms.pattern, c.forms[position].pattern) << c.version << " " << position;
        }
        EXPECT_EQ(plan.EntityRecords(), c.records) << c.version;
        EXPECT_EQ(plan.Blocks().size(), c.blocks) << c.version;
    }
}

// Without HATCH, a fill whose cut passes the bound on one fill, or the
// drawing's, keeps its outline and is told; the ones within get their pieces.
TEST_F(DrawingPlanTest, AFillTooMuchWorkToCutShowsItsOutlineWithoutHatch) {
    ASSERT_EQ(kq_set_dxf_version(screen_, KQ_DXF_R12), 1);
    cadlib::testing::SetMaxHatchWork(4); // a square's cut takes 2, a U's 6; the drawing 64
    FillSolid(Square(cadlib::kPolylineFilledArea, 1, 1, 1), 3);
    FillSolid(Polyline(cadlib::kPolylineFilledArea,
                       {{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}}),
              3);
    // The U fails having taken its 4, so 58 of the drawing's 64 are left:
    // 29 squares more, and none for the last.
    for (int k = 0; k < 29; ++k)
        FillSolid(Square(cadlib::kPolylineFilledArea, 0.1 * k, 5, 0.05), 3);
    FillSolid(Square(cadlib::kPolylineFilledArea, 1, 8, 1), 3);
    cadlib::DrawingPlan plan = Plan();
    EXPECT_EQ(plan.Forms(0).solid, cadlib::SolidForm::Pieces);
    EXPECT_FALSE(plan.Forms(0).outline);
    EXPECT_EQ(plan.SolidPieces(0).size(), 1u);
    for (const uint32_t outlined : {1u, 31u}) {
        EXPECT_EQ(plan.Forms(outlined).solid, cadlib::SolidForm::None) << outlined;
        EXPECT_TRUE(plan.Forms(outlined).outline) << outlined;
    }
    EXPECT_EQ(plan.Forms(30).solid, cadlib::SolidForm::Pieces);
    const std::vector<cadlib::DxfNotice> notices = plan.TakeNotices();
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(platform::WarningText(notices[0].warning),
              "cutting a solid fill of 8 points into pieces would take more than 4 steps: its "
              "outline is written instead [solid-fill-too-much-work]");
    EXPECT_EQ(platform::WarningText(notices[1].warning),
              "cutting the solid fills of the drawing into pieces would take more than 64 steps "
              "at a solid fill of 4 points: its outline is written instead "
              "[solid-fill-too-much-work]");
}

// Pens wider than the thinnest are told once a drawing where the version
// has no lineweights, and line types are scaled in their table where
// entities carry no scale of their own.
TEST_F(DrawingPlanTest, WhatR12CannotHoldIsToldOnceOrMovedIntoTheTables) {
    ASSERT_EQ(kq_set_sys_ltype(area_, "HIDDEN"), 1);
    kq_set_sys_ltscale(area_, 0.25);
    Line(0, 0, 1, 1);
    ASSERT_EQ(kq_set_sys_penwidth(area_, 3), 1);
    Line(0, 1, 1, 2);
    Line(0, 2, 1, 3);
    const cadlib::DataArea& area = *cadlib::FindDataArea(area_);
    const size_t hidden = static_cast<size_t>(area.FindLineType("HIDDEN"));
    for (const int32_t version : {KQ_DXF_2004, KQ_DXF_R12}) {
        ASSERT_EQ(kq_set_dxf_version(screen_, version), 1);
        cadlib::DrawingPlan plan = Plan();
        const bool r12 = version == KQ_DXF_R12;
        EXPECT_EQ(plan.LineTypeScales(), !r12);
        EXPECT_EQ(plan.LineTypeScale(hidden), r12 ? 0.25 : 1.0);
        EXPECT_EQ(plan.LineTypeScale(0), 1.0); // used by no entity
        const std::vector<cadlib::DxfNotice> notices = plan.TakeNotices();
        ASSERT_EQ(notices.size(), r12 ? 1u : 0u);
        if (r12) {
            EXPECT_EQ(notices[0].line, 0u);
            EXPECT_EQ(platform::WarningText(notices[0].warning),
                      "DXF R12 holds no lineweights, and the drawing has pens up to 0.03 inch "
                      "wide: every line is written as thin [lineweight-dropped]");
        }
    }
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

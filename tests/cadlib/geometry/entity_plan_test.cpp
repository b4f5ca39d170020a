// One plan for the screen and the file: for every polyline kind, fill
// setting and hatch, and for circles, the display draws what the DXF writer
// writes (outline, solid fill, pattern lines), as the plan says.
#include "cadlib/database.h"
#include "cadlib/display/fixture.h"
#include "cadlib/geometry/entity_plan.h"
#include "cadlib/kq.h"
#include "support/dxf_probe.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Kind = testsupport::RecordedPrimitive::Kind;

struct Shown {
    bool outline = false, solid = false, pattern = false;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& shown) {
    return out << "{outline " << shown.outline << ", solid " << shown.solid << ", pattern "
               << shown.pattern << "}";
}

class EntityPlanTest : public testsupport::DisplayTest {
  protected:
    int32_t DataArea() const { return builder::Session().DataAreaHandle; }

    void NewDrawing() {
        StartSession();
        kq_resize_vports(Screen(), kWidth, kHeight);
    }

    // A new drawing of one entity: a 1-inch square polyline of `kind`
    // (`closing` repeats its first vertex), or a circle when kind < 0.
    int32_t Make(int32_t kind, bool closing, bool filled, bool hatched) {
        NewDrawing();
        std::vector<KqPoint3> corners = {{1, 1, 0}, {2, 1, 0}, {2, 2, 0}, {1, 2, 0}};
        if (closing) corners.push_back(corners.front());
        const int32_t entity = kind < 0
                                   ? kq_construct_circle(DataArea(), {1.5, 1.5, 0}, 0.5)
                                   : kq_construct_polyline(DataArea(), kind, corners.data(),
                                                           static_cast<int32_t>(corners.size()));
        EXPECT_TRUE(builder::AppendEntity(entity));
        kq_set_entity_color(entity, 3);
        kq_set_entity_fillstyle(entity, filled ? 1 : 0);
        kq_set_entity_fillmode(entity, filled ? 1 : 0);
        if (hatched) {
            KqFillLine line;
            kq_set_fill_pattern(45, 0, 0, 0, 0.1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1.0, line);
            EXPECT_EQ(kq_filluser_named_entity(Screen(), &line, 1, "KQ_RULES", entity), 1);
        }
        return entity;
    }

    Shown OnScreen() {
        Shown shown;
        for (const testsupport::RecordedPrimitive& drawn : Redraw()) {
            shown.outline |= drawn.kind == Kind::Polyline;
            shown.solid |= drawn.kind == Kind::Polygon;
            shown.pattern |= drawn.kind == Kind::Segments;
        }
        return shown;
    }

    Shown InTheFile() {
        const std::string path = (folder_.Path() / "plan.dxf").string();
        EXPECT_EQ(kq_output_dxf_file(Screen(), path.c_str()), 1) << kq_last_error();
        const testsupport::DxfProbe probe = testsupport::ProbeDxf(path);
        EXPECT_TRUE(probe.read) << probe.diagnostics;
        Shown shown;
        for (const testsupport::ProbeRecord& entity : probe.entities) {
            const std::string type = entity.Str("type");
            shown.outline |= type == "LWPOLYLINE" || type == "CIRCLE";
            shown.solid |= type == "HATCH" && entity.Int("solid") == 1;
            shown.pattern |= type == "HATCH" && entity.Int("solid") == 0;
        }
        return shown;
    }

    testsupport::TempFolder folder_;
};

TEST_F(EntityPlanTest, TheScreenDrawsWhatTheFileHoldsForEveryKindAndFill) {
    for (const int32_t kind :
         {cadlib::kPolylineOpen, cadlib::kPolylineClosed, cadlib::kPolylineFilledArea, -1}) {
        for (const bool closing : {false, true}) {
            for (const bool filled : {false, true}) {
                for (const bool hatched : {false, true}) {
                    if (kind < 0 && closing) continue;
                    const int32_t handle = Make(kind, closing, filled, hatched);
                    cadlib::DataArea* area = nullptr;
                    const cadlib::Entity* entity = cadlib::FindEntity(handle, &area);
                    ASSERT_NE(entity, nullptr);
                    const cadlib::EntityPlan plan = cadlib::PlanEntity(*area, *entity);
                    const Shown planned{plan.outline, plan.solid, plan.pattern != nullptr};
                    SCOPED_TRACE("kind " + std::to_string(kind) + (closing ? " closing" : "") +
                                 (filled ? " filled" : "") + (hatched ? " hatched" : ""));
                    EXPECT_EQ(OnScreen(), planned);
                    EXPECT_EQ(InTheFile(), planned);
                    // What each kind is: only a filled area drops its line, only
                    // a closed outline is filled.
                    EXPECT_EQ(plan.outline, !(filled && kind == cadlib::kPolylineFilledArea));
                    EXPECT_EQ(plan.solid, filled && kind != cadlib::kPolylineOpen);
                    EXPECT_EQ(plan.pattern != nullptr, hatched);
                }
            }
        }
    }
}

TEST_F(EntityPlanTest, AnAreaOfNoSizeIsNeitherFilledNorHatchedAndKeepsItsLine) {
    NewDrawing();
    const KqPoint3 line[] = {{1, 1, 0}, {2, 1, 0}, {3, 1, 0}};
    const int32_t handle = kq_construct_polyline(DataArea(), cadlib::kPolylineFilledArea, line, 3);
    ASSERT_TRUE(builder::AppendEntity(handle));
    kq_set_entity_fillstyle(handle, 1);
    kq_set_entity_fillmode(handle, 1);
    KqFillLine rules;
    kq_set_fill_pattern(0, 0, 0, 0, 0.1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1.0, rules);
    ASSERT_EQ(kq_filluser_entity(Screen(), &rules, 1, handle), 1);
    cadlib::DataArea* area = nullptr;
    const cadlib::Entity* entity = cadlib::FindEntity(handle, &area);
    ASSERT_NE(entity, nullptr);
    const cadlib::EntityPlan plan = cadlib::PlanEntity(*area, *entity);
    EXPECT_TRUE(plan.outline);
    EXPECT_FALSE(plan.solid);
    EXPECT_EQ(plan.pattern, nullptr);
    EXPECT_EQ(plan.area.polygon.size(), 3u);
    EXPECT_EQ(OnScreen(), (Shown{true, false, false}));
    EXPECT_EQ(InTheFile(), (Shown{true, false, false}));
}

} // namespace

// A drawing session as the converter opens it, for tests of what the DXF
// writer and its planner make of entities built through the kq_* calls.
#pragma once

#include "cadlib/database.h"
#include "cadlib/kq.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace testsupport {

KqPoint3 Point(double x, double y, double z = 0);

// One pattern line with no dash table beyond dash and gap.
KqFillLine FillLine(double angle, double baseX, double baseY, double along, double across,
                    double dash, double gap, double scale = 1.0);

// The 8.5 x 11 page, palette entries 21 white and 22 black, layers MAIN,
// QFENCE and BORDER, three viewports, the default line types and the styles
// MYTEXT and PLAIN; the library is reset before and after each test.
class DxfSessionTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Adds the entity to the drawing and returns it.
    int32_t Append(int32_t entity);
    int32_t Line(double x1, double y1, double x2, double y2, int32_t colour = cadlib::kNoColour);
    int32_t Polyline(int32_t kind, const std::vector<KqPoint3>& points);
    int32_t Square(int32_t kind, double x, double y, double side);
    // A text at (1, 2) aligned on (1.5, 2.25), 0.125 high.
    int32_t Text(const char* content, const char* style = nullptr, int32_t horizontal = 1,
                 int32_t vertical = 2, double rotation = 0, int32_t flags = 0);

    void FillSolid(int32_t entity, int32_t colour);
    void FillPattern(int32_t entity, const std::vector<KqFillLine>& lines,
                     const char* name = nullptr);

    void AddStyle(const char* name, const char* primary, const char* trueType);

    int32_t area_ = 0;
    int32_t screen_ = 0;

  private:
    void AddViewport(const char* name, double x, double y, double z);
};

} // namespace testsupport

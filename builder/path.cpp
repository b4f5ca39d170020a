// Polygon path and filled shapes.
#include "builder/path.h"

#include "builder/session.h"
#include "cadlib/kq.h"
#include "hatch/patterns.h"
#include "interpreter/placement.h"
#include "platform/module_state.h"
#include "platform/numbers.h"
#include "platform/runtime_error.h"

#include <cmath>

namespace builder {

namespace {

using interpreter::Placement;

// Polyline kinds: an open line, an outline the library closes, a closed filled area.
constexpr int32_t kOpenPolyline = 0;
constexpr int32_t kClosedOutline = 1;
constexpr int32_t kFilledArea = 513;

// Display fill style of user-defined hatching (drawn in colour 0).
constexpr int32_t kUserHatchStyle = 15;

// Rectangles with a side below this (raw command units) are ignored.
constexpr float kMinimumSide = 0.01f;
// Pattern 20 ("FB", fill black): filled rectangles draw it as a black area.
constexpr float kFillBlackPatternNo = 20;
// The colour text's value that means white (0xFFFFFF).
constexpr double kWhiteColourValue = 16777215;
constexpr const char* kPathFull = "a path holds at most 250 points";

void StorePenAsPoint(int index) {
    Path().PathPoints[index] = {Placement().PenX, Placement().PenY};
}

// The pen and the count have already moved when the table is full: the error
// ends the run and the open path is never drawn.
void AddPathPoint() {
    PathState& path = Path();
    path.PathCount += 1;
    const int32_t index = platform::ToInt32(path.PathCount);
    if (index > kMaxPathPoints) {
        platform::Raise(platform::kSubscriptOutOfRange, kPathFull);
    }
    StorePenAsPoint(index);
}

// A path starts where the pen stood before its first step.
template <typename Move>
void PathStep(Move move) {
    if (Path().PathCount == 0) {
        Path().PathCount = 1;
        StorePenAsPoint(1);
    }
    move();
    AddPathPoint();
}

// Hands the open path to the library's buffer; returns its point count.
int32_t CopyPath() {
    PathState& path = Path();
    const int32_t count = platform::ToInt32(path.PathCount);
    // A path left over-full by error 9 has no entry for its last point.
    if (count > kMaxPathPoints) platform::Raise(platform::kSubscriptOutOfRange, kPathFull);
    for (int32_t i = 1; i <= count; ++i) {
        kq_set_pnt_3d(path.PathPoints[i].x, path.PathPoints[i].y, 0.0, path.PolylineBuffer[i - 1]);
    }
    return count;
}

// A refused polyline (0) is not listed, but callers still issue their attribute
// calls with it: the library ignores them.
int32_t MakePolyline(int32_t kind, int32_t count) {
    const int32_t dataArea = Session().DataAreaHandle;
    const int32_t entity =
        kq_construct_polyline(dataArea, kind, Path().PolylineBuffer.data(), count);
    if (entity != 0) kq_update_entity_list(dataArea, 0, entity);
    return entity;
}

int32_t MakeFilledArea(int32_t count, int32_t colour) {
    const int32_t entity = MakePolyline(kFilledArea, count);
    kq_set_entity_color(entity, colour);
    kq_set_entity_fillstyle(entity, 1);
    kq_set_entity_fillmode(entity, 1);
    return entity;
}

void MakeInkOutline(int32_t count) {
    kq_set_entity_color(MakePolyline(kClosedOutline, count), kInkColour);
}

void HatchWithCurrentPattern(int32_t entity) {
    const int32_t screen = Session().ScreenHandle;
    const hatch::CurrentPattern& pattern = hatch::Current();
    kq_setfillstyle(screen, kUserHatchStyle, kInkColour);
    kq_set_fillmode(screen, 1);
    kq_filluser_named_entity(screen, pattern.FillLines.data(), pattern.FillLineCount,
                             pattern.FillPatternName.c_str(), entity);
}

// The pen returns to the start of the path (of the previous one when none is open).
void ClosePath() {
    PathState& path = Path();
    Placement().PenX = interpreter::StoreSingle(path.PathPoints[1].x);
    Placement().PenY = interpreter::StoreSingle(path.PathPoints[1].y);
    path.PathCount = 0;
}

bool SidesAbove(float w, float h) {
    return std::fabs(w) > kMinimumSide && std::fabs(h) > kMinimumSide;
}

bool SidesAtLeast(float w, float h) {
    return std::fabs(w) >= kMinimumSide && std::fabs(h) >= kMinimumSide;
}

// Filled rectangles record three sides; the closed polyline kind draws the fourth.
void ThreeSides(float w, float h) {
    PathRight(w);
    PathUp(h);
    PathLeft(w);
}

} // namespace

PathState& Path() {
    return platform::ModuleState<PathState, platform::StateScope::CommandFile>();
}

void PathLeft(float d) {
    PathStep([d] { interpreter::SL(d); });
}

void PathRight(float d) {
    PathStep([d] { interpreter::SR(d); });
}

void PathUp(float d) {
    PathStep([d] { interpreter::SU(d); });
}

void PathDown(float d) {
    PathStep([d] { interpreter::SD(d); });
}

void PathTo(float x, float y) {
    PathStep([x, y] { interpreter::S(x, y); });
}

// A relative step is a step right then a step up: the same sums, each stored in single.
void PathRelative(float dx, float dy) {
    PathStep([dx, dy] {
        interpreter::SR(dx);
        interpreter::SU(dy);
    });
}

void FillPathHatched() {
    const int32_t count = CopyPath();
    HatchWithCurrentPattern(MakePolyline(kClosedOutline, count));
    ClosePath();
}

void FillPathSolid(float s) {
    const int32_t count = CopyPath();
    MakeFilledArea(count, s == 0 ? kWhiteColour : kInkColour);
    kq_set_fillmode(Session().ScreenHandle, 1);
    ClosePath();
}

void FillPathWhite() {
    const int32_t count = CopyPath();
    HatchWithCurrentPattern(MakeFilledArea(count, kWhiteColour));
    MakeInkOutline(count);
    ClosePath();
}

// Only the single number 16777215 means white: "255 255 255" reads as 255255255.
void FillPathColour(const std::string& colour) {
    const bool white = platform::LeadingNumber(colour) == kWhiteColourValue;
    const int32_t count = CopyPath();
    MakeFilledArea(count, white ? kWhiteColour : kBlackColour);
    MakeInkOutline(count);
    ClosePath();
}

// The outline returns to its corner by its own fourth side, so the pen stays
// where that side ended.
void DrawRectangle(float w, float h) {
    if (!SidesAbove(w, h)) return;
    ThreeSides(w, h);
    PathDown(h);
    MakePolyline(kOpenPolyline, CopyPath());
    Path().PathCount = 0;
}

void FillRectangleHatched(float w, float h) {
    if (!SidesAbove(w, h)) return;
    ThreeSides(w, h);
    if (hatch::Current().FillPatternNo == kFillBlackPatternNo) {
        FillPathColour("0 0 0");
    } else {
        FillPathHatched();
    }
}

void FillRectangleSolid(float w, float h, float s) {
    if (!SidesAtLeast(w, h)) return;
    ThreeSides(w, h);
    FillPathSolid(s);
}

void FillRectangleWhite(float w, float h) {
    if (!SidesAbove(w, h)) return;
    ThreeSides(w, h);
    FillPathWhite();
}

void FillRectangleColour(float w, float h, const std::string& colour) {
    if (!SidesAtLeast(w, h)) return;
    ThreeSides(w, h);
    FillPathColour(colour);
}

} // namespace builder

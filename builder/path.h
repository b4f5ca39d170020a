// The polygon path and the filled shapes: path steps record points, closing
// commands turn the path into outlines, solid areas and hatched areas.
#pragma once

#include "cadlib/records.h"

#include <array>
#include <string>

namespace builder {

inline constexpr int kMaxPathPoints = 250;

struct PathState {
    std::array<KqPoint2, kMaxPathPoints + 1> PathPoints{}; // entry 0 unused
    float PathCount = 0; // 0: no path open
    std::array<KqPoint3, kMaxPathPoints + 1> PolylineBuffer{};
};

PathState& Path();

void PathLeft(float d);
void PathRight(float d);
void PathUp(float d);
void PathDown(float d);
void PathTo(float x, float y);
void PathRelative(float dx, float dy);

void FillPathHatched();
void FillPathSolid(float s);
void FillPathWhite();
void FillPathColour(const std::string& colour);

void DrawRectangle(float w, float h);
void FillRectangleHatched(float w, float h);
void FillRectangleSolid(float w, float h, float s);
void FillRectangleWhite(float w, float h);
void FillRectangleColour(float w, float h, const std::string& colour);

} // namespace builder

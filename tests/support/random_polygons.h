// Polygons from a fixed generator for property tests of the geometry: convex,
// star-shaped (concave), random vertices (self-crossing), slivers and small
// grid polygons (shared heights, collinear, repeated and overlapping edges).
#pragma once

#include "cadlib/records.h"

#include <random>
#include <vector>

namespace testsupport {

// A number drawn evenly from [low, high).
double Uniform(std::mt19937& random, double low, double high);

// The `n`th polygon of a run, of kind n % 5, with 3 to `mostCorners` corners.
std::vector<KqPoint2> RandomPolygon(std::mt19937& random, int n, int mostCorners);

} // namespace testsupport

// The pattern library for CAD users: the loaded patterns as a pattern file in
// the standard .pat text format that CAD programs load, under the names that
// the DXF writer gives their hatches, so that a hatch stays editable once the
// file is on the CAD program's support path.
#pragma once

#include <string>

namespace hatch {

// Every pattern of the loaded table that has lines: "*KQ_CL, lean clay", then
// one "angle, x-origin, y-origin, delta-x, delta-y[, dash, gap]" line per
// family, in inches, the values the hatches carry.
std::string PatternLibraryText();

// Writes PatternLibraryText() to `path` through a temporary file renamed into
// place. Returns "" on success, else "<path>: <reason>".
std::string WritePatternLibrary(const std::string& path);

} // namespace hatch

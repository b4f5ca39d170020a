// Puts the modules a drawing changes back to their program-start state, so
// that one process converts command file after command file, each drawing
// made exactly as a run of its own would make it.
#pragma once

namespace driver {

// The interpreter, builder, current hatch pattern and zoom state. The library
// keeps nothing of a drawing once its handles are purged, and the pattern
// table is the same for every drawing.
void ResetDrawingModules();

} // namespace driver

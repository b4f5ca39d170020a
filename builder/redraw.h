// Drawing the session's drawing into the window.
#pragma once

#include "cadlib/records.h"

namespace builder {

// Draws the drawing into the main window through a device context obtained
// for this pass only; does nothing while no session is open.
void RedrawScreen();
// The same within `pixels` of the drawing area only, each entity as the
// whole picture has it there; the rest of the window is left as it is.
void RedrawPart(const KqRect2& pixels);

} // namespace builder

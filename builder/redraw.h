// Drawing the session's drawing into the window.
#pragma once

namespace builder {

// Draws the drawing into the main window through a device context obtained
// for this pass only; does nothing while no session is open.
void RedrawScreen();

} // namespace builder

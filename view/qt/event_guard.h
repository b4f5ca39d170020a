// The Qt shell's event boundary is the one every shell has (view/event_guard.h).
#pragma once

#include "view/event_guard.h"

namespace view::qt {

using view::Guarded;

} // namespace view::qt

// Qt asks for the user's runtime folder (XDG_RUNTIME_DIR) while it starts and
// complains on stderr when the session has none (a service, a container, a
// test). Where there is none, it gets a private folder of its own for the
// start, removed again at once, so that nothing is said and nothing is left.
#pragma once

#include <functional>

namespace view::qt {

// Runs `startGui` (which creates the application object) with a runtime
// folder in place.
void StartWithRuntimeFolder(const std::function<void()>& startGui);

} // namespace view::qt

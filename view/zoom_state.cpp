#include "view/zoom_state.h"

#include "platform/module_state.h"

namespace view {

ZoomState& Zoom() {
    return platform::ModuleState<ZoomState, platform::StateScope::Drawing>();
}

} // namespace view

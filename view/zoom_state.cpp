#include "view/zoom_state.h"

namespace view {

ZoomState& Zoom() {
    static ZoomState state;
    return state;
}

} // namespace view

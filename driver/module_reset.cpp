#include "driver/module_reset.h"

#include "builder/lines.h"
#include "builder/path.h"
#include "builder/session.h"
#include "builder/text.h"
#include "hatch/patterns.h"
#include "interpreter/command_file.h"
#include "interpreter/placement.h"
#include "view/zoom_state.h"

namespace driver {

void ResetDrawingModules() {
    interpreter::Placement() = {};
    interpreter::Interpreter() = {};
    builder::Session() = {};
    builder::Text() = {};
    builder::Pen() = {};
    builder::Path() = {};
    hatch::Current() = {};
    view::Zoom() = {};
}

} // namespace driver

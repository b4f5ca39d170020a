#include "support/module_reset.h"

#include "builder/lines.h"
#include "builder/path.h"
#include "builder/session.h"
#include "builder/text.h"
#include "cadlib/testing.h"
#include "hatch/patterns.h"
#include "interpreter/command_file.h"
#include "interpreter/placement.h"
#include "view/zoom_state.h"

namespace testsupport {

void ResetAllModules() {
    cadlib::testing::ResetLibrary();
    interpreter::Placement() = {};
    interpreter::Interpreter() = {};
    builder::Session() = {};
    builder::Text() = {};
    builder::Pen() = {};
    builder::Path() = {};
    hatch::Patterns() = {};
    hatch::Current() = {};
    view::Zoom() = {};
}

} // namespace testsupport

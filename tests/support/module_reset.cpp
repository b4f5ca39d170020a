#include "support/module_reset.h"

#include "cadlib/testing.h"
#include "driver/module_reset.h"
#include "hatch/patterns.h"

namespace testsupport {

void ResetAllModules() {
    cadlib::testing::ResetLibrary();
    driver::ResetDrawingModules();
    hatch::Patterns() = {};
}

} // namespace testsupport

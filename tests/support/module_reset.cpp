#include "support/module_reset.h"

#include "platform/module_state.h"

namespace testsupport {

void ResetAllModules() {
    platform::ResetModuleStates(platform::StateScope::Process);
}

} // namespace testsupport

#include "platform/module_state.h"

#include <utility>
#include <vector>

namespace platform {

namespace {

using Registry = std::vector<std::pair<StateScope, void (*)()>>;

Registry& Resets() {
    static Registry resets;
    return resets;
}

} // namespace

StateResetRegistration::StateResetRegistration(StateScope scope, void (*reset)()) {
    Resets().emplace_back(scope, reset);
}

void ResetModuleStates(StateScope scope) {
    for (const auto& [registered, reset] : Resets()) {
        if (registered <= scope) reset();
    }
}

} // namespace platform

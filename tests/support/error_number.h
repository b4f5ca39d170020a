// The number of the run-time error an action raises (0 when it raises none).
#pragma once

#include "platform/runtime_error.h"

namespace testsupport {

template <typename Action>
int ErrorNumberOf(Action&& action) {
    try {
        action();
    } catch (const platform::RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

} // namespace testsupport

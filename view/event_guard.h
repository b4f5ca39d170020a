// The boundary between a window system's events and the window's handlers:
// no toolkit can carry an exception through its event loop, so a run-time
// error that escapes a handler ends the program here, reported as every
// uncaught error is.
#pragma once

#include "interpreter/exit_status.h"
#include "platform/process.h"
#include "platform/runtime_error.h"

#include <new>
#include <utility>

namespace view {

template <typename Work>
void Guarded(Work&& work) {
    try {
        std::forward<Work>(work)();
    } catch (const platform::RuntimeError& error) {
        platform::ReportUncaughtError(error, interpreter::kUncaughtError);
    } catch (const std::bad_alloc&) {
        platform::ReportOutOfMemory(interpreter::kUncaughtError);
    }
}

} // namespace view

#include "platform/printer.h"

#include "platform/module_state.h"

namespace platform {

PrinterSettings& DefaultPrinter() {
    return ModuleState<PrinterSettings, StateScope::Process>();
}

} // namespace platform

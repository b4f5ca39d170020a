#include "platform/printer.h"

namespace platform {

PrinterSettings& DefaultPrinter() {
    static PrinterSettings settings;
    return settings;
}

} // namespace platform

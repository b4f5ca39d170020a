// Fuzz target: the hatch pattern file reader on any bytes, then selecting
// every pattern number it may have defined. Run-time errors are the reader's
// documented answer to a bad file; anything else is a fault.
#include "hatch/patterns.h"
#include "platform/runtime_error.h"
#include "support/module_reset.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    testsupport::ResetAllModules();
    try {
        hatch::LoadHatchPatternsFromText(
            std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const platform::RuntimeError&) {
        return 0;
    }
    for (int n = 0; n <= hatch::kMaxPatterns; ++n) {
        std::string name = "F" + std::to_string(n - 20);
        hatch::SelectFillPattern(name);
    }
    return 0;
}

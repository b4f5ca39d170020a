// Fuzz target: the hatch pattern file reader on any bytes, by the classic
// rules and by the option form's (line feeds end lines, a byte-order mark is
// skipped), then selecting every pattern number it may have defined.
// Run-time errors are the reader's documented answer to a bad file; anything
// else is a fault.
#include "hatch/patterns.h"
#include "platform/runtime_error.h"
#include "support/module_reset.h"

#include <cstdint>
#include <string>

namespace {

void ReadAndSelect(std::string_view contents, const platform::TextRules& rules) {
    testsupport::ResetAllModules();
    try {
        hatch::LoadHatchPatternsFromText(contents, rules);
    } catch (const platform::RuntimeError&) {
        return;
    }
    for (int n = 0; n <= hatch::kMaxPatterns; ++n) {
        std::string name = "F" + std::to_string(n - 20);
        hatch::SelectFillPattern(name);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view contents(reinterpret_cast<const char*>(data), size);
    ReadAndSelect(contents, {});
    ReadAndSelect(contents, {platform::TextEncoding::Windows1252, true, true});
    return 0;
}

// Fuzz target: a whole conversion of an in-memory command file by the
// classic rules — session set-up, interpretation and the DXF writer — on the
// shipped hatch patterns, or on the pattern file before a form feed; lines
// read up to a thousand bytes.
#include "fuzz/conversion_fuzz.h"
#include "interpreter/command_file.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::SetUpConversions();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    if (!fuzzsupport::StartConversion(input)) return 0;
    interpreter::ReadRules rules; // the classic ones, lines up to a thousand bytes
    rules.text.maxLineLength = fuzzsupport::kFuzzLineLength;
    interpreter::StartDrawing(
        platform::TextFileReader::FromText(interpreter::kCommandFileName, input, rules.text),
        rules);
    fuzzsupport::WriteDrawing();
    return 0;
}

// Fuzz target: a whole conversion by the rules of the option form — line
// feeds end lines, a byte-order mark selects UTF-8, every skipped part of a
// line is warned of. The first byte chooses the rest: bit 0 UTF-8 (else
// Windows-1252), bit 1 strict checks, bit 2 pattern hatches as lines, bits 3
// to 5 the DXF version (R12 to 2018, 2004 beyond), bit 6 millimetres, bit 7
// layers by kind; the command file is the bytes after it (after a pattern file and a form feed,
// when they hold one: fuzzsupport::StartConversion). Lines are read up to a
// bound of a thousand bytes.
#include "fuzz/conversion_fuzz.h"
#include "interpreter/command_file.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::SetUpConversions();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t choice = data[0];
    std::string_view commands(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (!fuzzsupport::StartConversion(commands)) return 0;
    interpreter::ReadRules rules;
    rules.text = {(choice & 1) != 0 ? platform::TextEncoding::Utf8
                                    : platform::TextEncoding::Windows1252,
                  true, true, fuzzsupport::kFuzzLineLength};
    rules.errorBox = false;
    // Told, so that every warning is made.
    platform::WarningTeller warnings([](long, const std::string&) {}, (choice & 2) != 0);
    rules.warnings = &warnings;
    interpreter::StartDrawing(
        platform::TextFileReader::FromText("commands.txt", commands, rules.text), rules);
    warnings.Finish();
    const int32_t screen = builder::Session().ScreenHandle;
    kq_set_dxf_hatch_form(screen, (choice & 4) != 0 ? KQ_DXF_HATCH_LINES : KQ_DXF_HATCH_ENTITY);
    constexpr int32_t kVersions[] = {KQ_DXF_R12,  KQ_DXF_2000, KQ_DXF_2004, KQ_DXF_2007,
                                     KQ_DXF_2010, KQ_DXF_2013, KQ_DXF_2018, KQ_DXF_2004};
    kq_set_dxf_version(screen, kVersions[(choice >> 3) & 7]);
    kq_set_dxf_units(screen, (choice & 64) != 0 ? KQ_DXF_MILLIMETRES : KQ_DXF_INCHES);
    kq_set_dxf_layers(screen, (choice & 128) != 0 ? KQ_DXF_LAYERS_BY_KIND : KQ_DXF_LAYERS_AS_DRAWN);
    fuzzsupport::WriteDrawing();
    return 0;
}

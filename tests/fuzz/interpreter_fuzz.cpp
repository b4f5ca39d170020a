// Fuzz target: a whole conversion of an in-memory command file — session
// set-up, interpretation and the DXF writer — on the shipped hatch patterns.
#include "builder/session.h"
#include "cadlib/kq.h"
#include "hatch/patterns.h"
#include "interpreter/command_file.h"
#include "platform/message_box.h"
#include "support/module_reset.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

hatch::PatternTable loadedPatterns; // read once: the interpretation never changes it
std::filesystem::path outputFolder; // removed again when the run ends
std::string outputName;

void RemoveOutputFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(outputFolder, ignored);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::SetMessageSink(
        [](const platform::MessageRequest&) { return platform::MessageAnswer::Ok; });
    platform::SetWarningSink([](std::string_view) {});
    std::ifstream file(PLOTDXF_SOURCE_DIR "/data/kqhatch.pat", std::ios::binary);
    const std::string patternFile(std::istreambuf_iterator<char>(file), {});
    if (patternFile.empty()) std::abort();
    hatch::LoadHatchPatternsFromText(patternFile);
    loadedPatterns = hatch::Patterns();
    outputFolder =
        std::filesystem::temp_directory_path() / ("plotdxf-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(outputFolder);
    std::atexit(RemoveOutputFolder);
    outputName = (outputFolder / "fuzz.dxf").string();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    testsupport::ResetAllModules();
    hatch::Patterns() = loadedPatterns;
    interpreter::StartDrawingFromText(std::string_view(reinterpret_cast<const char*>(data), size));
    kq_output_dxf_file(builder::Session().ScreenHandle, outputName.c_str());
    return 0;
}

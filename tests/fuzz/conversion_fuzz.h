// What the conversion fuzz targets share: the shipped hatch patterns read
// once, warnings and boxes dropped, and one drawing file in a folder of the
// process's own that is removed when the run ends.
#pragma once

#include "builder/session.h"
#include "cadlib/kq.h"
#include "hatch/patterns.h"
#include "platform/message_box.h"
#include "support/module_reset.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <unistd.h>

namespace fuzzsupport {

struct ConversionFixture {
    hatch::PatternTable patterns; // read once: the interpretation never changes it
    std::filesystem::path folder;
    std::string drawing;
};

inline ConversionFixture& Fixture() {
    static ConversionFixture fixture;
    return fixture;
}

inline void RemoveOutputFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Fixture().folder, ignored);
}

inline void SetUpConversions() {
    platform::SetMessageSink(
        [](const platform::MessageRequest&) { return platform::MessageAnswer::Ok; });
    platform::SetWarningSink([](std::string_view) {});
    std::ifstream file(PLOTDXF_SOURCE_DIR "/data/kqhatch.pat", std::ios::binary);
    const std::string patternFile(std::istreambuf_iterator<char>(file), {});
    if (patternFile.empty()) std::abort();
    hatch::LoadHatchPatternsFromText(patternFile);
    ConversionFixture& fixture = Fixture();
    fixture.patterns = hatch::Patterns();
    fixture.folder =
        std::filesystem::temp_directory_path() / ("plotdxf-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(fixture.folder);
    std::atexit(RemoveOutputFolder);
    fixture.drawing = (fixture.folder / "fuzz.dxf").string();
}

// Every conversion starts from the program's start state and the shipped patterns.
inline void StartConversion() {
    testsupport::ResetAllModules();
    hatch::Patterns() = Fixture().patterns;
}

inline void WriteDrawing() {
    kq_output_dxf_file(builder::Session().ScreenHandle, Fixture().drawing.c_str());
}

} // namespace fuzzsupport

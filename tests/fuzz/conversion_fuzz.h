// What the conversion fuzz targets share: the shipped hatch patterns read
// once, warnings and boxes dropped, a lower bound on one hatch's work, and
// the drawing written in full to the null device.
#pragma once

#include "builder/session.h"
#include "cadlib/kq.h"
#include "cadlib/testing.h"
#include "hatch/patterns.h"
#include "platform/message_box.h"
#include "support/module_reset.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace fuzzsupport {

// The work one hatch may make in a fuzz run. At the program's million, every
// input that reaches the bounds of one hatch or of the drawing takes a
// second under the sanitizers, and most of the runs would go there; the same
// bounds at this size are reached in milliseconds by the same code.
constexpr size_t kFuzzHatchWork = 20'000;

// The longest line read whole in a fuzz run: the fuzzer's inputs are at most
// a few kilobytes, and the bound of 64 KiB is reached by the same code.
constexpr size_t kFuzzLineLength = 1000;

struct ConversionFixture {
    hatch::PatternTable patterns; // read once: the interpretation never changes it
    std::FILE* nowhere = nullptr; // the drawing's bytes are made, then dropped
};

inline ConversionFixture& Fixture() {
    static ConversionFixture fixture;
    return fixture;
}

inline void SetUpConversions() {
    platform::SetMessageSink(
        [](const platform::MessageRequest&) { return platform::MessageAnswer::Ok; });
    platform::SetWarningSink([](std::string_view) {});
    std::ifstream file(PLOTDXF_SOURCE_DIR "/data/kqhatch.pat", std::ios::binary);
    const std::string patternFile(std::istreambuf_iterator<char>(file), {});
    if (patternFile.empty()) std::abort();
    hatch::LoadHatchPatternsFromText(patternFile);
    Fixture().patterns = hatch::Patterns();
    Fixture().nowhere = std::fopen("/dev/null", "wb");
    if (Fixture().nowhere == nullptr) std::abort();
}

// Every conversion starts from the program's start state and the shipped patterns.
inline void StartConversion() {
    testsupport::ResetAllModules();
    cadlib::testing::SetMaxHatchWork(kFuzzHatchWork);
    hatch::Patterns() = Fixture().patterns;
}

// The whole file is formatted, as kq_output_dxf_file formats it; where it goes
// depends on no input.
inline void WriteDrawing() {
    kq_output_dxf_stream(builder::Session().ScreenHandle, Fixture().nowhere);
}

} // namespace fuzzsupport

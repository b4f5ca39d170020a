// What the conversion fuzz targets share: the pattern file the input brings
// (else the shipped patterns, read once), warnings and boxes dropped, a lower
// bound on one hatch's work, and the drawing written in full to the null
// device.
#pragma once

#include "builder/session.h"
#include "cadlib/kq.h"
#include "cadlib/testing.h"
#include "hatch/patterns.h"
#include "platform/message_box.h"
#include "platform/runtime_error.h"
#include "support/module_reset.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace fuzzsupport {

// The work one hatch may take in a fuzz run. At the program's million, every
// input that reaches the bounds of one hatch or of the drawing takes a
// second under the sanitizers, and most of the runs would go there; the same
// bounds at this size (and the drawing's, which follow it: 80,000 steps,
// 20,000 lines of the line form) are reached in milliseconds by the same code.
constexpr size_t kFuzzHatchWork = 5'000;

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

// Separates the pattern file from the command file in a fuzz input.
inline constexpr char kPatternFileEnd = '\f';

// Every conversion starts from the program's start state. The fuzzer writes
// the pattern file too: the bytes of `input` before its first form feed are
// read as one by the classic rules, and the command file is what follows;
// an input without a form feed is a command file on the shipped patterns.
// False, nothing to convert, when the pattern file is refused (a run-time
// error is the reader's answer to a bad file).
inline bool StartConversion(std::string_view& input) {
    testsupport::ResetAllModules();
    cadlib::testing::SetMaxHatchWork(kFuzzHatchWork);
    const size_t end = input.find(kPatternFileEnd);
    if (end == std::string_view::npos) {
        hatch::Patterns() = Fixture().patterns;
        return true;
    }
    try {
        hatch::LoadHatchPatternsFromText(input.substr(0, end));
    } catch (const platform::RuntimeError&) {
        return false;
    }
    input.remove_prefix(end + 1);
    return true;
}

// The whole file is formatted, as kq_output_dxf_file formats it; where it goes
// depends on no input.
inline void WriteDrawing() {
    kq_output_dxf_stream(builder::Session().ScreenHandle, Fixture().nowhere);
}

} // namespace fuzzsupport

// Fuzz target: the hatch pattern file reader on any bytes, by the classic
// rules and by the option form's (line feeds end lines, a byte-order mark is
// skipped), then selecting every pattern number it may have defined and
// cutting its lines over a few outlines within a small budget of work.
// Run-time errors are the reader's documented answer to a bad file; anything
// else is a fault.
#include "cadlib/geometry/extents.h"
#include "cadlib/geometry/hatch.h"
#include "hatch/patterns.h"
#include "platform/message_box.h"
#include "platform/runtime_error.h"
#include "support/module_reset.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace {

// The work all the cuts of one input may take, so that the runs that pass it
// take milliseconds.
constexpr uint64_t kFuzzWork = 50'000;

// A rectangle, an L-shape and a self-crossing polygon (inches), and a circle.
const std::vector<std::vector<KqPoint2>> kOutlines = {
    {{0, 0}, {8, 0}, {8, 10}, {0, 10}},
    {{1, 1}, {4, 1}, {4, 2}, {2, 2}, {2, 5}, {1, 5}},
    {{0, 0}, {3, 3}, {3, 0}, {0, 3}},
};
const cadlib::HatchCircle kCircle{{2, 2}, 1.5};

// The current pattern cut over every outline, each cut within the one-hatch
// bound and what is left of `work`, as a drawing's cuts are.
void CutCurrentPattern(cadlib::WorkBudget& work) {
    const hatch::CurrentPattern& current = hatch::Current();
    if (current.FillLineCount <= 0) return; // no hatch, as kq_filluser_named_entity has it
    const std::span<const KqFillLine> lines(current.FillLines.data(),
                                            static_cast<size_t>(current.FillLineCount));
    for (const std::vector<KqPoint2>& outline : kOutlines)
        work.Charge(
            cadlib::HatchLines(outline, lines, cadlib::kEverywhere, cadlib::HatchWorkWithin(work))
                .work);
    work.Charge(
        cadlib::HatchLines(kCircle, lines, cadlib::kEverywhere, cadlib::HatchWorkWithin(work))
            .work);
}

void ReadAndSelect(std::string_view contents, const platform::TextRules& rules) {
    testsupport::ResetAllModules();
    try {
        hatch::LoadHatchPatternsFromText(contents, rules);
    } catch (const platform::RuntimeError&) {
        return;
    }
    cadlib::WorkBudget work(kFuzzWork);
    for (int n = 0; n <= hatch::kMaxPatterns; ++n) {
        std::string name = "F" + std::to_string(n - 20);
        hatch::SelectFillPattern(name);
        CutCurrentPattern(work);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A pattern number the file does not define is warned of: thousands of
    // lines a second that nobody reads.
    platform::SetWarningSink([](std::string_view) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view contents(reinterpret_cast<const char*>(data), size);
    ReadAndSelect(contents, {});
    ReadAndSelect(contents, {platform::TextEncoding::Windows1252, true, true});
    return 0;
}

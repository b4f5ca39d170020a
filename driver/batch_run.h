// The batch conversion run shared by the converter and the viewer's start-up.
#pragma once

#include "driver/run_description.h"
#include "platform/text_file.h"

#include <optional>
#include <string>

namespace driver {

enum ExitStatus : int {
    kConverted = 0,
    kInterpreterError = 1,
    kNotWritten = 2,
    kUncaughtError = 3,
};

// "program: text" on stderr.
void Complain(const std::string& program, const std::string& text);

// The command file of `source` opened by the run's rules, or nullopt, told
// on stderr, when it cannot be read. The classic run leaves the opening to
// the interpreter, which reports a missing file as error 53.
std::optional<platform::TextFileReader> OpenCommandFile(const RunDescription& run,
                                                        const CommandSource& source);

// Loads the run's hatch patterns and interprets its first command file into
// the drawing session (the window must exist already): the classic run's by
// its name, else `commands`, opened by OpenCommandFile. Run-time errors
// outside the interpreter's trap propagate.
void PrepareDrawing(const RunDescription& run, std::optional<platform::TextFileReader> commands);
// The same for the classic run: tempdxf.txt and kqhatch.pat of the current folder.
void PrepareDrawing();

// The whole run of the batch converter: each conversion on its own, in one
// process; never returns. The exit status is the worst of the conversions'.
[[noreturn]] void RunBatchConversion(const RunDescription& run);

} // namespace driver

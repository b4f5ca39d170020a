// The batch conversion run shared by the converter and the viewer's start-up.
#pragma once

#include "driver/run_description.h"
#include "platform/file_kind.h"
#include "platform/text_file.h"

#include <optional>
#include <string>

namespace driver {

// "program: text" on stderr, printable on one line (platform/printable_text.h).
void Complain(const std::string& program, const std::string& text);

// Makes `folder` and the folders above it that are missing; false, told on
// stderr in the name of `program`, when it cannot be made.
bool MakeFolder(const std::string& program, const std::string& folder);

// The command file of `source` opened by the run's rules, or nullopt, told
// on stderr, when it cannot be read or is plainly no command file. The classic run leaves the
// opening to the interpreter, which reports a missing file as error 53.
std::optional<platform::TextFileReader> OpenCommandFile(const RunDescription& run,
                                                        const CommandSource& source);

// True, told on stderr, when a file of `kind` is plainly no command file (a
// DXF drawing, a picture, a binary file): `source` is then not read.
bool CommandFileRefused(const RunDescription& run, const CommandSource& source,
                        platform::FileKind kind);

// Loads the run's hatch patterns and interprets the command file of `source`
// into the drawing session (the window must exist already): `commands` when
// it is open already (OpenCommandFile), else the classic run's by its name and
// any other opened here by the run's rules, a file that cannot be opened
// raising error 53. Says where the interpretation stopped at an error
// (interpreter::WhereInterpretationStopped), empty when it did not. Run-time
// errors outside the interpreter's trap propagate. The pattern file is read
// again each time; when it fails after an earlier one was read, the patterns
// read before stay in use and a message says so.
std::string PrepareDrawing(const RunDescription& run, const CommandSource& source,
                           std::optional<platform::TextFileReader> commands);
// The same for the classic run: `commandFile` and kqhatch.pat of the current folder.
std::string PrepareDrawing(const std::string& commandFile);
void PrepareDrawing();

// Tells on stderr where and why the interpretation of `conversion` stopped,
// if it did, and, when its drawing was `written`, that it holds what the
// lines before it built; true when it stopped.
bool ExplainInterpreterError(const RunDescription& run, const Conversion& conversion, bool written);

// The whole run of the batch converter: each conversion on its own, in one
// process; never returns. The exit status is the worst of the conversions'.
[[noreturn]] void RunBatchConversion(const RunDescription& run);

} // namespace driver

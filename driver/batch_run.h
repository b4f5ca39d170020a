// The batch conversion run shared by the converter and the viewer's start-up.
#pragma once

#include <string>

namespace driver {

enum ExitStatus : int {
    kConverted = 0,
    kInterpreterError = 1,
    kNotWritten = 2,
    kUncaughtError = 3,
};

// Loads the hatch patterns and interprets the command file into the drawing
// session (the window must exist already); the classic run reads tempdxf.txt
// of the current folder. Says where the interpretation stopped at an error
// (interpreter::WhereInterpretationStopped), empty when it did not.
// Run-time errors outside the interpreter's trap propagate.
void PrepareDrawing();
std::string PrepareDrawing(const std::string& commandFile);

// What stderr says when the interpretation stopped at an error: where, why,
// and that the drawing holds what the lines before it built.
std::string StoppedNote();

// The output name: the command-line text as it stands, or "temp.dxf".
std::string OutputName(const std::string& commandLine);

// The whole run of the batch converter; never returns normally.
[[noreturn]] void RunBatchConversion(int argc, char** argv);

} // namespace driver

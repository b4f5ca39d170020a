// The exit statuses of plotdxf and plotdxf-view, whichever way a run ends:
// the converter's batch, the viewer's picture or an error that escapes the
// window's event handlers. A run of several command files ends with the
// worst of theirs.
#pragma once

namespace interpreter {

enum ExitStatus : int {
    kConverted = 0,
    // The command file stopped at an error; what the lines before it built
    // was written.
    kInterpreterError = 1,
    // Nothing written: the output could not be, or may not be, written; the
    // command file could not be read; the command line was not understood.
    kNotWritten = 2,
    // A run-time error outside the interpreter's trap ended the run.
    kUncaughtError = 3,
};

} // namespace interpreter

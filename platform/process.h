// Process services: the program's folder, the command-line text, the report
// of an uncaught run-time error and ending the program at once.
#pragma once

#include "platform/runtime_error.h"

#include <filesystem>
#include <string>

namespace platform {

// The folder that holds the running executable.
std::filesystem::path ProgramFolder();

// Makes the program's folder the current folder (directory, then drive where
// the system has drives). Raises error 53 when that is impossible.
void MakeProgramFolderCurrent();

// Everything after the program name, as one string. POSIX keeps no command
// line, so the arguments are joined by single blanks.
std::string CommandLineText(int argc, char** argv);

// "Run-time error 'N': description" shown to the user (stderr in the batch
// converter), then the program ends with `exitStatus`.
[[noreturn]] void ReportUncaughtError(const RuntimeError& error, int exitStatus);

// Ends the program at once: no further handler or destructor runs.
[[noreturn]] void EndProgram(int exitStatus);

} // namespace platform

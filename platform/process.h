// Process services: the program's folder, the command-line text, the report
// of an uncaught run-time error and ending the program at once.
#pragma once

#include "platform/runtime_error.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// The running executable, as the 8-bit name the system's file functions take.
std::string ProgramFile();

// A file name as the system's 8-bit file functions take it (the ANSI code
// page on Windows, bytes on POSIX) and as a path, each from the other,
// without a detour through the C++ library's own narrow encoding.
std::filesystem::path PathOfSystemName(const std::string& name);
std::string SystemNameOf(const std::filesystem::path& path);

// The folder that holds the running executable, as the 8-bit name the
// system's file functions take (the ANSI code page on Windows).
std::string ProgramFolder();

// `name` in the temp folder the user's environment names (TMPDIR on POSIX,
// TMP or TEMP on Windows), else the system's.
std::string TemporaryFile(const std::string& name);

// `name` in the temp folder of the classic programs, whatever the
// environment says: \temp on the current drive on Windows, /tmp elsewhere.
// A test, which must not write the machine's shared folder, names a folder of
// its own in PLOTDXF_TEST_CLASSIC_TEMP (a hook for tests alone).
std::string ClassicTemporaryFile(const std::string& name);

// Makes the program's folder the current folder (directory, then drive where
// the system has drives). Raises error 53 when that is impossible.
void MakeProgramFolderCurrent();

// Everything after the program name, as one string. Windows keeps the command
// line as the caller wrote it and it is returned verbatim; POSIX keeps none,
// so there the arguments are joined by single blanks.
std::string CommandLineText(int argc, char** argv);

// A Windows command line without its program name. The name ends at the
// first blank or TAB outside quotation marks (a quotation mark only switches
// quoting on and off), as the C runtime reads argv[0]; the blanks and TABs
// after it go with it, and the rest is returned as it stands.
std::string_view ArgumentsAfterProgramName(std::string_view commandLine);

// "Run-time error 'N': description" shown to the user (stderr in the batch
// converter), then the program ends with `exitStatus`.
[[noreturn]] void ReportUncaughtError(const RuntimeError& error, int exitStatus);

// The report of an uncaught out-of-memory error (7), made even when the
// report's own text cannot be allocated; then the program ends.
[[noreturn]] void ReportOutOfMemory(int exitStatus);

// A message written to a standard error whose reader has gone must not end
// the run: the write fails quietly instead (SIGPIPE ignored on POSIX).
void KeepRunningWhenStderrCloses();

// Makes the allocator hand large blocks back to the system when they are
// freed, so a drawing's growing tables do not leave their outgrown copies
// resident: the peak memory of a conversion is then what it holds.
void ReturnLargeBlocksToTheSystem();

// Makes `stream` (standard input or output) pass bytes as they are: Windows
// would otherwise turn LF into CR LF on the way out and CR LF into LF on the
// way in. Nothing to do elsewhere.
void MakeBinary(std::FILE* stream);

// True when `stream` is a terminal (a console on Windows) rather than a file
// or a pipe: what a person watches.
bool IsTerminal(std::FILE* stream);

// Ends the program at once: no further handler or destructor runs.
[[noreturn]] void EndProgram(int exitStatus);

} // namespace platform

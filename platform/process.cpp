// The parts of the process services that are the same on every system; the
// program folder and the command line are in process_posix.cpp and
// process_windows.cpp.
#include "platform/process.h"

#include "platform/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <system_error>

namespace platform {

std::string_view ArgumentsAfterProgramName(std::string_view commandLine) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    size_t position = 0;
    bool quoted = false;
    for (; position < commandLine.size(); ++position) {
        const char c = commandLine[position];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && isBlank(c)) {
            break;
        }
    }
    while (position < commandLine.size() && isBlank(commandLine[position]))
        ++position;
    return commandLine.substr(position);
}

namespace {
// Where the classic programs kept their temporary files.
#ifdef _WIN32
constexpr const char* kClassicTempFolder = "\\temp"; // on the current drive
#else
constexpr const char* kClassicTempFolder = "/tmp";
#endif
} // namespace

std::string TemporaryFile(const std::string& name) {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    // The variable names no folder: the system's own.
    if (error) folder = std::filesystem::path(kClassicTempFolder);
    return (folder / name).string();
}

std::string ClassicTemporaryFile(const std::string& name) {
    const char* testFolder = std::getenv("PLOTDXF_TEST_CLASSIC_TEMP");
    const char* folder = testFolder && *testFolder ? testFolder : kClassicTempFolder;
    return (std::filesystem::path(folder) / name).string();
}

void ReportUncaughtError(const RuntimeError& error, int exitStatus) {
    ShowMessage(error.what(), ProgramName());
    EndProgram(exitStatus);
}

void ReportOutOfMemory(int exitStatus) {
    try {
        ReportUncaughtError(RuntimeError(kOutOfMemory), exitStatus);
    } catch (const std::bad_alloc&) {
        static constexpr char kReport[] = "Run-time error '7': Out of memory\n";
        std::fwrite(kReport, 1, sizeof kReport - 1, stderr);
        EndProgram(exitStatus);
    }
}

void EndProgram(int exitStatus) {
    std::fflush(nullptr);
    std::_Exit(exitStatus);
}

} // namespace platform

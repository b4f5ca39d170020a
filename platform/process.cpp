// The parts of the process services that are the same on every system; the
// program folder and the command line are in process_posix.cpp and
// process_windows.cpp.
#include "platform/process.h"

#include "platform/message_box.h"

#include <cstdio>
#include <cstdlib>

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

void ReportUncaughtError(const RuntimeError& error, int exitStatus) {
    ShowMessage(error.what(), kApplicationTitle);
    EndProgram(exitStatus);
}

void EndProgram(int exitStatus) {
    std::fflush(nullptr);
    std::_Exit(exitStatus);
}

} // namespace platform

#include "platform/process.h"

#include "platform/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace platform {

std::filesystem::path ProgramFolder() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) Raise(kFileNotFound, "cannot locate the program file: " + error.message());
    return exe.parent_path();
}

void MakeProgramFolderCurrent() {
    const std::filesystem::path folder = ProgramFolder();
    std::error_code error;
    std::filesystem::current_path(folder, error);
    if (error) Raise(kFileNotFound, folder.string() + ": " + error.message());
}

std::string CommandLineText(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    return text;
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

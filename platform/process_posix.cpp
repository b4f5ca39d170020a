// POSIX half of the process services: the executable through /proc/self/exe,
// and the arguments joined, since no command line survives exec.
#include "platform/process.h"

#include <csignal>
#include <filesystem>
#include <system_error>

#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

std::string ProgramFile() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) Raise(kFileNotFound, "cannot locate the program file: " + error.message());
    return exe.string();
}

std::filesystem::path PathOfSystemName(const std::string& name) {
    return std::filesystem::path(name);
}

std::string SystemNameOf(const std::filesystem::path& path) {
    return path.string();
}

std::string ProgramFolder() {
    return std::filesystem::path(ProgramFile()).parent_path().string();
}

void MakeProgramFolderCurrent() {
    const std::string folder = ProgramFolder();
    std::error_code error;
    std::filesystem::current_path(folder, error);
    if (error) Raise(kFileNotFound, folder + ": " + error.message());
}

std::string CommandLineText(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    return text;
}

void KeepRunningWhenStderrCloses() {
    std::signal(SIGPIPE, SIG_IGN);
}

void ReturnLargeBlocksToTheSystem() {
#if defined(__GLIBC__)
    // A fixed threshold: glibc's adaptive one rises after the first large
    // free and then keeps later blocks on the heap.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}

void MakeBinary(std::FILE*) {}

bool IsTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) == 1;
}

} // namespace platform

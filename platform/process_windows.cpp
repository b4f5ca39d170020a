// Windows half of the process services: the module's file name, the current
// directory and drive, and the command line exactly as the caller wrote it.
// Names stay 8-bit strings in the ANSI code page, as the A functions take them.
#include "platform/process.h"

#include "platform/system_error_windows.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace platform {

namespace {

// 1 for A: and so on; 0 when the folder has no drive letter (a UNC path).
int DriveNumber(const std::string& folder) {
    const bool hasDrive = folder.size() >= 2 && folder[1] == ':' &&
                          std::isalpha(static_cast<unsigned char>(folder[0]));
    return hasDrive ? std::toupper(static_cast<unsigned char>(folder[0])) - 'A' + 1 : 0;
}

} // namespace

std::filesystem::path PathOfSystemName(const std::string& name) {
    if (name.empty()) return {};
    const int length =
        MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), wide.data(), length);
    return std::filesystem::path(wide);
}

std::string SystemNameOf(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) return {};
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string name(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), name.data(), length,
                        nullptr, nullptr);
    return name;
}

std::string ProgramFile() {
    std::string name(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            Raise(kFileNotFound,
                  "cannot locate the program file: " + SystemErrorText(GetLastError()));
        }
        if (length < name.size()) {
            name.resize(length);
            break;
        }
        name.resize(name.size() * 2); // the name was cut short: ask again with more room
    }
    return name;
}

std::string ProgramFolder() {
    const std::string name = ProgramFile();
    const size_t separator = name.find_last_of("\\/");
    // "C:" alone would mean the current folder of drive C, so a drive's root keeps its backslash.
    const bool driveRoot = separator == 2 && DriveNumber(name) != 0;
    return name.substr(0, driveRoot ? separator + 1 : separator);
}

void MakeProgramFolderCurrent() {
    const std::string folder = ProgramFolder();
    if (!SetCurrentDirectoryA(folder.c_str())) {
        Raise(kFileNotFound, folder + ": " + SystemErrorText(GetLastError()));
    }
    // Directory, then drive. A Win32 process has one current directory that
    // carries its drive, so the drive step confirms rather than moves; a UNC
    // folder has no drive to change to.
    const int drive = DriveNumber(folder);
    if (drive != 0 && _chdrive(drive) != 0)
        Raise(kFileNotFound, folder + ": " + std::strerror(errno));
}

std::string CommandLineText(int, char**) {
    return std::string(ArgumentsAfterProgramName(GetCommandLineA()));
}

// Windows raises no signal for a closed pipe: the write just fails.
void KeepRunningWhenStderrCloses() {}

// The Windows heap already returns large blocks when they are freed.
void ReturnLargeBlocksToTheSystem() {}

bool IsTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

void MakeBinary(std::FILE* stream) {
    _setmode(_fileno(stream), _O_BINARY);
}

} // namespace platform

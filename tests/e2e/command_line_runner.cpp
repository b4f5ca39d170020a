// Starts a program with a command line given character for character, for
// the end-to-end tests under Wine. Wine makes the command line of a program
// started from Linux out of its arguments, quoting and escaping them, so a
// command line with quotation marks and runs of blanks of its own can only be
// handed over from inside Windows:
//
//     PLOTDXF_COMMAND_LINE='"Z:\dir\plotdxf.exe" out.dxf' wine plotdxf_command_line_runner.exe
//
// The standard handles and the current folder are passed on. The exit status
// is the program's, or 255 when it could not be started.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>
#include <windows.h>

namespace {

constexpr int kNotStarted = 255;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

int NotStarted(const char* why) {
    std::fprintf(stderr, "command_line_runner: %s\n", why);
    return kNotStarted;
}

} // namespace

int main() {
    const char* given = std::getenv("PLOTDXF_COMMAND_LINE");
    if (given == nullptr) return NotStarted("PLOTDXF_COMMAND_LINE is not set");
    std::string commandLine = given; // CreateProcessA may write into it

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return NotStarted("CreateProcessA failed");
    }
    const Handle process(started.hProcess);
    const Handle thread(started.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    DWORD status = kNotStarted;
    GetExitCodeProcess(process.get(), &status);
    return static_cast<int>(status);
}

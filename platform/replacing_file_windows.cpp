// Windows half of the replacing file: the read-only attribute decides what
// may be replaced, _commit puts the file on the disk and MoveFileExA, writing
// through, in place. Names go to the system as the caller gave them, 8-bit in
// the ANSI code page.
#include "platform/replacing_file.h"

#include "platform/system_error_windows.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace platform {

namespace {
// Names tried for the temporary file before giving up; each is taken only
// if no file of that name exists, and the process id makes a clash rare.
constexpr int kTemporaryNameAttempts = 100;
} // namespace

bool ReplacingFile::Open() {
    // Refused up front so that no time is spent writing a file that could
    // not be put in place or that would replace a file the user protected.
    const DWORD attributes = GetFileAttributesA(destination_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Fail(EISDIR);
        if (attributes & FILE_ATTRIBUTE_READONLY) return Fail("the file is read-only");
        if (!MayReplaceDestination()) return false;
    }

    std::string stem(1, '.');
    stem += std::to_string(GetCurrentProcessId());
    stem += '-';
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        std::string name = TemporaryNameWith(stem + std::to_string(attempt));
        // A signal between the creation and the arming of the removal would
        // leave the file behind: it waits until the removal is armed.
        const SignalsHeldOff held;
        const int descriptor =
            _open(name.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (descriptor < 0) {
            if (errno == EEXIST) continue;
            return Fail(errno);
        }
        // A device name (NUL, CON, COM1...) opens the device whatever follows
        // it, so what was opened is no file that could be renamed.
        if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(descriptor))) != FILE_TYPE_DISK) {
            _close(descriptor);
            return Fail("not a regular file");
        }
        KeepTemporary(std::move(name));
        return Adopt(descriptor);
    }
    return Fail(EEXIST);
}

bool ReplacingFile::SyncToDisk() {
    if (file_) return _commit(_fileno(file_.get())) == 0 || Fail(errno);
    const int descriptor = _open(temporary_.c_str(), _O_WRONLY | _O_BINARY);
    const bool synced = descriptor >= 0 && _commit(descriptor) == 0;
    const int error = errno;
    if (descriptor >= 0) _close(descriptor);
    return synced || Fail(error);
}

bool ReplacingFile::MoveIntoPlace() {
    if (!MoveFileExA(temporary_.c_str(), destination_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return Fail(SystemErrorText(GetLastError()));
    }
    return true;
}

} // namespace platform

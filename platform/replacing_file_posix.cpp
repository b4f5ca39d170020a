// POSIX half of the replacing file: permission bits decide what may be
// replaced, the temporary file takes the target's mode (owner-only output:
// 0600, as mkstemp makes it), fsync() puts it on the disk and rename() in
// place, and the folder is synced after the rename where the system allows.
#include "platform/replacing_file.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool ReplacingFile::Open() {
    // The process umask is only readable by setting it; the program is
    // single-threaded while it writes.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const bool ownerOnly = sharing_ == OutputSharing::OwnerOnly;
    mode_t mode = ownerOnly ? S_IRUSR | S_IWUSR : 0666 & ~mask;

    // A device or a pipe (/dev/null, /dev/stdout) takes the bytes as they come.
    struct stat device {};
    // Asked by the name as given: /dev/stdout leads to a pipe that has no name.
    if (!ownerOnly && ::stat(target_.c_str(), &device) == 0 &&
        (S_ISCHR(device.st_mode) || S_ISFIFO(device.st_mode))) {
        const int descriptor = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
        if (descriptor < 0) return Fail(errno);
        direct_ = true;
        return Adopt(descriptor);
    }

    // Refused up front so that no time is spent writing a file that the
    // rename could not put in place, or that would replace a file the user
    // protected (rename ignores the target's own permissions).
    struct stat existing {};
    if (::lstat(destination_.c_str(), &existing) == 0) {
        if (S_ISLNK(existing.st_mode)) {
            return Fail(ownerOnly ? "a link has been put under that name in a shared folder"
                                  : "a link that leads nowhere a file can be written");
        }
        if (S_ISDIR(existing.st_mode)) return Fail(EISDIR);
        if (!S_ISREG(existing.st_mode)) return Fail("not a regular file");
        if (ownerOnly && existing.st_uid != ::geteuid()) {
            return Fail("the name is taken by another user's file");
        }
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return Fail("the file is read-only");
        }
        if (::access(destination_.c_str(), W_OK) != 0) return Fail(errno);
        if (!ownerOnly) mode = existing.st_mode & 07777;
        if (!MayReplaceDestination()) return false;
    }

    std::string name = TemporaryNameWith(".XXXXXX");
    int descriptor = -1;
    {
        // A signal between the creation and the arming of the removal would
        // leave the file behind: it waits until the removal is armed.
        const SignalsHeldOff held;
        descriptor = ::mkstemp(name.data());
        if (descriptor >= 0) KeepTemporary(std::move(name));
    }
    if (descriptor < 0) return Fail(errno);
    if (::fchmod(descriptor, mode) != 0) {
        const int error = errno;
        ::close(descriptor);
        return Fail(error);
    }
    return Adopt(descriptor);
}

bool ReplacingFile::SyncToDisk() {
    if (file_) return ::fsync(::fileno(file_.get())) == 0 || Fail(errno);
    const int descriptor = ::open(temporary_.c_str(), O_WRONLY | O_CLOEXEC);
    const bool synced = descriptor >= 0 && ::fsync(descriptor) == 0;
    const int error = errno;
    if (descriptor >= 0) ::close(descriptor);
    return synced || Fail(error);
}

bool ReplacingFile::MoveIntoPlace() {
    if (std::rename(temporary_.c_str(), destination_.c_str()) != 0) return Fail(errno);
    // The new name is on the disk with its folder. A folder that cannot be
    // opened or synced (some file systems refuse) leaves the file in place
    // all the same: the rename is done.
    const size_t separator = destination_.rfind('/');
    const std::string folder = separator == std::string::npos ? std::string(".")
                               : separator == 0               ? std::string("/")
                                                              : destination_.substr(0, separator);
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
    return true;
}

} // namespace platform

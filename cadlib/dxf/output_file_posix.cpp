// POSIX half of the output file: permission bits decide what may be replaced,
// the temporary file takes the target's mode (owner-only output: 0600, as
// mkstemp makes it), rename() puts it in place.
#include "cadlib/dxf/output_file.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace cadlib {

bool DxfOutputFile::Open() {
    // The process umask is only readable by setting it; the program is
    // single-threaded while it writes.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const bool ownerOnly = sharing_ == OutputSharing::OwnerOnly;
    mode_t mode = ownerOnly ? S_IRUSR | S_IWUSR : 0666 & ~mask;

    // Refused up front so that no time is spent writing a drawing that the
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
    }

    std::string name = destination_ + ".XXXXXX";
    const int descriptor = ::mkstemp(name.data());
    if (descriptor < 0) return Fail(errno);
    temporary_ = std::move(name);
    if (::fchmod(descriptor, mode) != 0) {
        const int error = errno;
        ::close(descriptor);
        return Fail(error);
    }
    return Adopt(descriptor);
}

bool DxfOutputFile::MoveIntoPlace() {
    if (std::rename(temporary_.c_str(), destination_.c_str()) != 0) return Fail(errno);
    return true;
}

} // namespace cadlib

// Temporary file beside the target, renamed into place when complete.
#include "cadlib/dxf_output_file.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace cadlib {

DxfOutputFile::DxfOutputFile(std::string target) : target_(std::move(target)) {}

DxfOutputFile::~DxfOutputFile() {
    Discard();
}

void DxfOutputFile::Discard() {
    file_.reset();
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool DxfOutputFile::Fail(const char* reason) {
    Discard();
    error_ = target_ + ": " + reason;
    return false;
}

bool DxfOutputFile::Fail(int error) {
    return Fail(std::strerror(error));
}

bool DxfOutputFile::Open() {
    // The process umask is only readable by setting it; the program is
    // single-threaded while it writes.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode_t mode = 0666 & ~mask;

    // Refused up front so that no time is spent writing a drawing that the
    // rename could not put in place, or that would replace a file the user
    // protected (rename ignores the target's own permissions).
    struct stat existing {};
    if (::stat(target_.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) return Fail(EISDIR);
        if (!S_ISREG(existing.st_mode)) return Fail("not a regular file");
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return Fail("the file is read-only");
        }
        if (::access(target_.c_str(), W_OK) != 0) return Fail(errno);
        mode = existing.st_mode & 07777;
    }

    std::string name = target_ + ".XXXXXX";
    const int descriptor = ::mkstemp(name.data());
    if (descriptor < 0) return Fail(errno);
    temporary_ = std::move(name);
    if (::fchmod(descriptor, mode) != 0) {
        const int error = errno;
        ::close(descriptor);
        return Fail(error);
    }
    file_.reset(::fdopen(descriptor, "wb"));
    if (!file_) {
        const int error = errno;
        ::close(descriptor);
        return Fail(error);
    }
    // The caller hands over large chunks: no second buffer in between.
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    return true;
}

bool DxfOutputFile::Commit(int writeError) {
    if (writeError != 0) return Fail(writeError);
    if (std::fflush(file_.get()) != 0) return Fail(errno);
    if (std::fclose(file_.release()) != 0) return Fail(errno);
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) return Fail(errno);
    temporary_.clear();
    return true;
}

} // namespace cadlib

// Temporary file beside the target, renamed into place when complete. What
// differs between systems is in output_file_posix.cpp and
// output_file_windows.cpp.
#include "cadlib/dxf/output_file.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace cadlib {

DxfOutputFile::DxfOutputFile(std::string target) : target_(std::move(target)) {}

DxfOutputFile::~DxfOutputFile() {
    Discard();
}

void DxfOutputFile::Discard() {
    file_.reset();
    if (!temporary_.empty()) std::remove(temporary_.c_str());
    temporary_.clear();
}

bool DxfOutputFile::Fail(const std::string& reason) {
    Discard();
    error_ = target_ + ": " + reason;
    return false;
}

bool DxfOutputFile::Fail(int error) {
    return Fail(std::strerror(error));
}

bool DxfOutputFile::Adopt(int descriptor) {
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
    if (!MoveIntoPlace()) return false;
    temporary_.clear();
    return true;
}

} // namespace cadlib

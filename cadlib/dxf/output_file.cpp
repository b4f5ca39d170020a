// Temporary file beside the target, renamed into place when complete. What
// differs between systems is in output_file_posix.cpp and
// output_file_windows.cpp.
#include "cadlib/dxf/output_file.h"

#include "platform/process.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace cadlib {

namespace {

// Beyond this many links in a row the system reports a loop itself.
constexpr int kMaxLinkHops = 40;

// The file `name` finally stands for: a relative link is read from its own folder.
std::string FollowLinks(const std::string& name) {
    namespace fs = std::filesystem;
    fs::path path = platform::PathOfSystemName(name);
    std::error_code error;
    for (int hop = 0; hop < kMaxLinkHops && fs::is_symlink(path, error); ++hop) {
        const fs::path target = fs::read_symlink(path, error);
        if (error) break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return platform::SystemNameOf(path);
}

} // namespace

DxfOutputFile::DxfOutputFile(std::string target, OutputSharing sharing)
    : target_(std::move(target)), sharing_(sharing),
      destination_(sharing == OutputSharing::Ordinary ? FollowLinks(target_) : target_) {}

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

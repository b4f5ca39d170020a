// Temporary file beside the target, flushed and renamed into place when
// complete. What differs between systems is in replacing_file_posix.cpp and
// replacing_file_windows.cpp.
#include "platform/replacing_file.h"

#include "platform/process.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace platform {

namespace {

// Beyond this many links in a row the system reports a loop itself.
constexpr int kMaxLinkHops = 40;
// The longest file name (one component of a path) the usual file systems take.
constexpr size_t kLongestFileName = 255;
// Stands in for the destination's own name when that leaves no room for a suffix.
constexpr std::string_view kOwnTemporaryName = ".plotdxf";

#ifdef _WIN32
constexpr const char* kSeparators = "/\\:";
#else
constexpr const char* kSeparators = "/";
#endif

// The file `name` finally stands for: a relative link is read from its own folder.
std::string FollowLinks(const std::string& name) {
    namespace fs = std::filesystem;
    fs::path path = PathOfSystemName(name);
    std::error_code error;
    for (int hop = 0; hop < kMaxLinkHops && fs::is_symlink(path, error); ++hop) {
        const fs::path target = fs::read_symlink(path, error);
        if (error) break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return SystemNameOf(path);
}

} // namespace

ReplacingFile::ReplacingFile(std::string target, FileKind writes, OutputSharing sharing)
    : target_(std::move(target)), writes_(writes), sharing_(sharing),
      destination_(sharing == OutputSharing::Ordinary ? FollowLinks(target_) : target_) {}

ReplacingFile::~ReplacingFile() {
    Discard();
}

std::string ReplacingFile::TemporaryNameWith(std::string_view suffix) const {
    const size_t separator = destination_.find_last_of(kSeparators);
    const size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    if (destination_.size() - nameStart + suffix.size() <= kLongestFileName) {
        return destination_ + std::string(suffix);
    }
    return destination_.substr(0, nameStart) + std::string(kOwnTemporaryName) + std::string(suffix);
}

bool ReplacingFile::MayReplaceDestination() {
    // Asked again here although the programs ask before they start: the
    // file may have come meanwhile.
    const FileKind there = KindOfFile(destination_);
    return MayReplace(there, writes_) || Fail(NotReplacedBecause(there, writes_));
}

void ReplacingFile::KeepTemporary(std::string name) {
    temporary_ = std::move(name);
    removal_.emplace(temporary_);
}

void ReplacingFile::Discard() {
    file_.reset();
    if (!temporary_.empty()) std::remove(temporary_.c_str());
    temporary_.clear();
    removal_.reset();
}

bool ReplacingFile::Fail(const std::string& reason) {
    Discard();
    error_ = target_ + ": " + reason;
    return false;
}

bool ReplacingFile::Fail(int error) {
    return Fail(std::strerror(error));
}

bool ReplacingFile::Adopt(int descriptor) {
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

bool ReplacingFile::CloseForWriterByName() {
    if (std::fclose(file_.release()) != 0) return Fail(errno);
    return true;
}

bool ReplacingFile::Commit(int writeError) {
    if (writeError != 0) return Fail(writeError);
    if (file_ && std::fflush(file_.get()) != 0) return Fail(errno);
    // A device has nothing to keep on a disk; a file is on the disk before
    // its name is, so that a power cut cannot leave an empty file under it.
    if (!direct_ && !SyncToDisk()) return false;
    if (file_ && std::fclose(file_.release()) != 0) return Fail(errno);
    if (direct_) return true;
    if (!MoveIntoPlace()) return false;
    temporary_.clear();
    removal_.reset();
    return true;
}

bool ReplaceFileWith(const std::string& path, FileKind writes, std::string_view bytes,
                     std::string& error) {
    ReplacingFile output(path, writes);
    bool written = output.Open();
    if (written) {
        errno = 0;
        const bool complete =
            std::fwrite(bytes.data(), 1, bytes.size(), output.File()) == bytes.size();
        written = output.Commit(complete ? 0 : (errno != 0 ? errno : EIO));
    }
    if (!written) error = output.Error();
    return written;
}

} // namespace platform

#include "platform/text_file.h"

#include "platform/runtime_error.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace platform {

namespace {
constexpr size_t kBlockSize = 1 << 20;
}

TextFileReader::TextFileReader(const std::string& name) : name_(name) {
    // A folder opens like a file on some systems and fails only when read.
    struct stat status {};
    if (::stat(name.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        Raise(kPathFileAccessError, name + ": a folder, not a file");
    }
    file_.reset(std::fopen(name.c_str(), "rb"));
    if (!file_) Raise(kFileNotFound, name);
    block_ = std::make_unique_for_overwrite<char[]>(kBlockSize);
    capacity_ = kBlockSize;
}

TextFileReader TextFileReader::FromText(std::string name, std::string_view text) {
    TextFileReader reader;
    reader.name_ = std::move(name);
    reader.block_ = std::make_unique_for_overwrite<char[]>(text.size());
    std::memcpy(reader.block_.get(), text.data(), text.size());
    reader.length_ = reader.capacity_ = text.size();
    return reader;
}

bool TextFileReader::Fill(long line) {
    if (position_ < length_) return true;
    if (!file_) return false;
    errno = 0;
    length_ = std::fread(block_.get(), 1, capacity_, file_.get());
    position_ = 0;
    if (length_ > 0) return true;
    // Nothing read and not at the end: the read failed, and what follows in
    // the file must not pass for its end.
    if (!std::feof(file_.get())) {
        const int error = errno != 0 ? errno : EIO;
        Raise(kDeviceIoError,
              name_ + " line " + std::to_string(line) + ": " + std::strerror(error));
    }
    return false;
}

bool TextFileReader::AtEnd() {
    return !Fill(lineNumber_ + 1);
}

void TextFileReader::ReadLine(std::string& line) {
    if (!Fill(lineNumber_ + 1)) Raise(kInputPastEnd, name_);
    line.clear();
    ++lineNumber_;
    for (;;) {
        const char* start = block_.get() + position_;
        const size_t available = length_ - position_;
        const void* cr = std::memchr(start, '\r', available);
        if (!cr) {
            line.append(start, available);
            position_ = length_;
            if (!Fill(lineNumber_)) return; // the last line has no line end
            continue;
        }
        const size_t count = static_cast<const char*>(cr) - start;
        line.append(start, count);
        position_ += count + 1;
        // A LF right after the CR belongs to the same line end, even across blocks.
        if (Fill(lineNumber_) && block_[position_] == '\n') ++position_;
        return;
    }
}

} // namespace platform

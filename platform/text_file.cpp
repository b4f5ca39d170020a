#include "platform/text_file.h"

#include "platform/runtime_error.h"

#include <cstring>

namespace platform {

namespace {
constexpr size_t kBlockSize = 1 << 20;
}

TextFileReader::TextFileReader(const std::string& name)
    : file_(std::fopen(name.c_str(), "rb")), name_(name) {
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

bool TextFileReader::Fill() {
    if (position_ < length_) return true;
    if (!file_) return false;
    length_ = std::fread(block_.get(), 1, capacity_, file_.get());
    position_ = 0;
    return length_ > 0;
}

bool TextFileReader::AtEnd() {
    return !Fill();
}

void TextFileReader::ReadLine(std::string& line) {
    if (!Fill()) Raise(kInputPastEnd, name_);
    line.clear();
    ++lineNumber_;
    for (;;) {
        const char* start = block_.get() + position_;
        const size_t available = length_ - position_;
        const void* cr = std::memchr(start, '\r', available);
        if (!cr) {
            line.append(start, available);
            position_ = length_;
            if (!Fill()) return; // the last line has no line end
            continue;
        }
        const size_t count = static_cast<const char*>(cr) - start;
        line.append(start, count);
        position_ += count + 1;
        // A LF right after the CR belongs to the same line end, even across blocks.
        if (Fill() && block_[position_] == '\n') ++position_;
        return;
    }
}

} // namespace platform

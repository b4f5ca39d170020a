#include "platform/text_file.h"

#include "platform/process.h"
#include "platform/runtime_error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace platform {

namespace {
constexpr size_t kBlockSize = 1 << 20;
}

TextFileReader::TextFileReader(std::string name, TextRules rules, NothingOpen)
    : name_(std::move(name)), rules_(rules) {}

TextFileReader::TextFileReader(const std::string& name, TextRules rules)
    : TextFileReader(name, rules, NothingOpen{}) {
    // A folder opens like a file on some systems and fails only when read.
    struct stat status {};
    if (::stat(name.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        Raise(kPathFileAccessError, name + ": a folder, not a file");
    }
    file_.reset(std::fopen(name.c_str(), "rb"));
    if (!file_) Raise(kFileNotFound, name + ": " + std::strerror(errno));
    block_ = std::make_unique_for_overwrite<char[]>(kBlockSize);
    capacity_ = kBlockSize;
    SkipByteOrderMark();
}

TextFileReader TextFileReader::StandardInput(std::string name, TextRules rules) {
    MakeBinary(stdin); // the bytes as they come: CR LF stays two bytes
    TextFileReader reader(std::move(name), rules, NothingOpen{});
    reader.file_.reset(stdin);
    reader.block_ = std::make_unique_for_overwrite<char[]>(kBlockSize);
    reader.capacity_ = kBlockSize;
    reader.SkipByteOrderMark();
    return reader;
}

TextFileReader TextFileReader::FromText(std::string name, std::string_view text, TextRules rules) {
    TextFileReader reader(std::move(name), rules, NothingOpen{});
    reader.block_ = std::make_unique_for_overwrite<char[]>(text.size());
    std::memcpy(reader.block_.get(), text.data(), text.size());
    reader.length_ = reader.capacity_ = text.size();
    reader.SkipByteOrderMark();
    return reader;
}

void TextFileReader::SkipByteOrderMark() {
    // The first block is read whatever the rules, so a read error shows at the start.
    if (!Fill(1) || !rules_.byteOrderMarkSelectsUtf8 ||
        std::string_view(block_.get(), length_).substr(0, 3) != kUtf8ByteOrderMark) {
        return;
    }
    position_ += kUtf8ByteOrderMark.size();
    rules_.encoding = TextEncoding::Utf8;
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
        Raise(kDeviceIoError, NameAndLine(line) + ": " + std::strerror(error));
    }
    return false;
}

bool TextFileReader::AtEnd() {
    return !Fill(lineNumber_ + 1);
}

size_t TextFileReader::LineEndIn(const char* start, size_t available) const {
    if (!rules_.lineFeedEndsLine) {
        const void* cr = std::memchr(start, '\r', available);
        return cr ? static_cast<size_t>(static_cast<const char*>(cr) - start) : available;
    }
    return static_cast<size_t>(
        std::find_if(start, start + available, [this](char c) { return IsLineEnd(c); }) - start);
}

void TextFileReader::Decode(std::string& line) {
    bytesWithoutCharacter_ = 0;
    beyondAscii_ = !std::all_of(line.begin(), line.end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!beyondAscii_) return;
    decoded_.clear();
    bytesWithoutCharacter_ = AppendAsUtf8(line, rules_.encoding, decoded_);
    line.swap(decoded_);
}

LineBeyondAscii TextFileReader::BeyondAscii() const {
    if (!beyondAscii_) return LineBeyondAscii::No;
    std::string utf8;
    return AppendAsUtf8(decoded_, TextEncoding::Utf8, utf8) == 0 ? LineBeyondAscii::Utf8
                                                                 : LineBeyondAscii::NotUtf8;
}

void TextFileReader::ReadLine(std::string& line) {
    if (!Fill(lineNumber_ + 1)) Raise(kInputPastEnd, name_);
    line.clear();
    bytesDropped_ = 0;
    ++lineNumber_;
    for (;;) {
        const char* start = block_.get() + position_;
        const size_t available = length_ - position_;
        const size_t count = LineEndIn(start, available);
        const size_t kept = std::min(count, rules_.maxLineLength - line.size());
        line.append(start, kept);
        bytesDropped_ += count - kept;
        if (count == available) {
            position_ = length_;
            if (Fill(lineNumber_)) continue;
            break; // the last line has no line end
        }
        const bool carriageReturn = start[count] == '\r';
        position_ += count + 1;
        // A LF right after a CR belongs to the same line end, even across blocks.
        if (carriageReturn && Fill(lineNumber_) && block_[position_] == '\n') ++position_;
        break;
    }
    Decode(line);
}

} // namespace platform

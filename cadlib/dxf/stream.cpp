// Group-code/value formatting into a large buffer flushed in big chunks.
#include "cadlib/dxf/stream.h"

#include "platform/text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace cadlib {

namespace {

constexpr size_t kBufferBytes = size_t{1} << 16;
// The longest code line.
constexpr size_t kMaxCodeBytes = 8;
// Room for the shortest round-trip form of any double.
constexpr size_t kMaxNumberBytes = 32;

// Characters that readers refuse in symbol names ('|' marks names that belong
// to external references).
bool IsRefusedInName(char c) {
    return std::strchr("<>/\\\":;?*|,=`", c) != nullptr;
}

} // namespace

size_t CleanText(std::string_view text, size_t limit, char* out, OtherCharacters others,
                 size_t* kept) {
    size_t written = 0, counted = 0, taken = 0;
    for (size_t position = 0; position < text.size();) {
        const size_t start = position;
        const char32_t character = platform::NextCharacter(text, position);
        // What the character becomes, and how much of `limit` it takes.
        char piece[kEscapeBytes];
        size_t bytes = 1, counts = 1;
        const bool control = character < 0x20 || (character >= 0x7F && character < 0xA0);
        const int byte = platform::Windows1252Byte(character);
        if (character == '^') {
            piece[0] = '^';
            piece[1] = ' ';
            bytes = counts = 2;
        } else if (control) {
            piece[0] = ' ';
        } else if (others == OtherCharacters::Utf8 &&
                   character != platform::kReplacementCharacter) {
            // A whole character as it was read: its own UTF-8 bytes.
            bytes = position - start;
            std::memcpy(piece, text.data() + start, bytes);
        } else if (byte >= 0 && others != OtherCharacters::Utf8) {
            piece[0] = static_cast<char>(byte);
        } else if (others == OtherCharacters::Escaped && character < 0x10000 &&
                   character != platform::kReplacementCharacter) {
            // Readers of the drawing's code page show "\U+XXXX" as that character.
            std::memcpy(piece, "\\U+", 3);
            for (int digit = 0; digit < 4; ++digit)
                piece[3 + digit] = "0123456789ABCDEF"[(character >> (12 - 4 * digit)) & 0xF];
            bytes = kEscapeBytes;
        } else {
            piece[0] = '?';
        }
        // One test for every kind of piece: a piece goes in whole or the text ends
        // before it, so no escape or "^ " pair is ever cut.
        if (counted + counts > limit || written + bytes > kMaxStringBytes) break;
        std::memcpy(out + written, piece, bytes);
        written += bytes;
        counted += counts;
        ++taken;
    }
    // Every caller's buffer holds kMaxStringBytes: past that memory is already overrun.
    if (written > kMaxStringBytes) std::abort();
    if (kept) *kept = taken;
    return written;
}

size_t TextLengthKept(std::string_view text, size_t limit) {
    char scratch[kMaxStringBytes];
    size_t kept = 0;
    CleanText(text, std::min(limit, kMaxStringBytes), scratch, OtherCharacters::Escaped, &kept);
    return kept;
}

std::string_view TextKept(std::string_view text, size_t limit) {
    const size_t kept = TextLengthKept(text, limit);
    size_t position = 0;
    for (size_t character = 0; character < kept; ++character)
        platform::NextCharacter(text, position);
    return text.substr(0, position);
}

std::string CleanName(std::string_view name) {
    std::string result(kMaxStringBytes, '\0');
    result.resize(CleanText(name, kMaxStringBytes, result.data(), OtherCharacters::Replaced));
    for (char& c : result) {
        if (IsRefusedInName(c)) c = '_';
    }
    if (result.empty()) result.push_back('_');
    return result;
}

DxfStream::DxfStream(std::FILE* file, const DxfTarget& target)
    : file_(file), target_(target), buffer_(std::make_unique_for_overwrite<char[]>(kBufferBytes)) {}

void DxfStream::Flush() {
    if (used_ > 0 && error_ == 0 && std::fwrite(buffer_.get(), 1, used_, file_) != used_) {
        error_ = errno != 0 ? errno : EIO;
    }
    used_ = 0;
}

char* DxfStream::Room(size_t bytes) {
    if (kBufferBytes - used_ < bytes) Flush();
    return buffer_.get() + used_;
}

// Codes are right-aligned in three columns, as most writers do. The room
// taken holds the code line and the value line, each with its line end.
char* DxfStream::Code(int code, size_t valueBytes) {
    char* out = Room(kMaxCodeBytes + 1 + valueBytes + 1);
    if (code >= 0 && code < 100) {
        *out++ = ' ';
        if (code < 10) *out++ = ' ';
    }
    out = std::to_chars(out, out + kMaxCodeBytes, code).ptr;
    *out++ = '\n';
    return out;
}

void DxfStream::String(int code, std::string_view value) {
    char* out = Code(code, kMaxStringBytes);
    const size_t length = std::min(value.size(), kMaxStringBytes);
    std::memcpy(out, value.data(), length);
    out[length] = '\n';
    used_ = static_cast<size_t>(out + length + 1 - buffer_.get());
}

void DxfStream::Text(int code, std::string_view text, size_t limit) {
    char* out = Code(code, kMaxStringBytes);
    out += CleanText(text, std::min(limit, kMaxStringBytes), out,
                     target_.Utf8Texts() ? OtherCharacters::Utf8 : OtherCharacters::Escaped);
    *out++ = '\n';
    used_ = static_cast<size_t>(out - buffer_.get());
}

void DxfStream::Integer(int code, int64_t value) {
    char* out = Code(code, kMaxNumberBytes);
    out = std::to_chars(out, out + kMaxNumberBytes, value).ptr;
    *out++ = '\n';
    used_ = static_cast<size_t>(out - buffer_.get());
}

void DxfStream::Real(int code, double value) {
    char* out = Code(code, kMaxNumberBytes);
    if (value == 0 || !std::isfinite(value)) {
        *out++ = '0';
    } else {
        out = std::to_chars(out, out + kMaxNumberBytes, value).ptr;
    }
    *out++ = '\n';
    used_ = static_cast<size_t>(out - buffer_.get());
}

void DxfStream::Length(int code, double inches) {
    Real(code, inches * target_.unitScale);
}

void DxfStream::Handle(int code, uint64_t handle) {
    if (!target_.Structured()) return;
    char* out = Code(code, kMaxNumberBytes);
    char digits[16];
    int count = 0;
    do {
        digits[count++] = "0123456789ABCDEF"[handle & 0xF];
        handle >>= 4;
    } while (handle != 0);
    while (count > 0)
        *out++ = digits[--count];
    *out++ = '\n';
    used_ = static_cast<size_t>(out - buffer_.get());
}

void DxfStream::Owner(uint64_t handle) {
    if (handle == 0) {
        if (target_.Structured()) String(330, "0");
        return;
    }
    Handle(330, handle);
}

void DxfStream::Subclass(std::string_view name) {
    if (target_.Structured()) String(100, name);
}

void DxfStream::Lineweight(int64_t weight) {
    if (target_.Lineweights()) Integer(370, weight);
}

void DxfStream::TrueColour(int32_t colour) {
    if (colour >= 0 && target_.TrueColours()) Integer(420, colour);
}

void DxfStream::Point(int code, double x, double y) {
    Length(code, x);
    Length(code + 10, y);
}

void DxfStream::Point(int code, double x, double y, double z) {
    Point(code, x, y);
    Length(code + 20, z);
}

void DxfStream::Vector(int code, double x, double y) {
    Real(code, x);
    Real(code + 10, y);
}

void DxfStream::Vector(int code, double x, double y, double z) {
    Vector(code, x, y);
    Real(code + 20, z);
}

int DxfStream::Finish() {
    Flush();
    return error_;
}

} // namespace cadlib

// What a file is, told from its first bytes: the one rule by which every
// writer decides what it may replace (a drawing replaces only a missing or
// empty file or a drawing, a picture only a picture of its own format), and
// by which a file that is plainly no command file is told from one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

enum class FileKind {
    Missing,
    Empty,
    NotAFile,   // a folder, device or pipe: what the writer makes of it is its own rule
    Unreadable, // there, but its bytes cannot be read to tell
    Dxf,        // ASCII (blank and 999 comment lines, then 0 / SECTION) or binary DXF
    Png,
    Pdf,
    Svg, // or any XML document
    PatternFile,
    CommandFile, // a text whose lines hold TAB-separated fields
    Text,
    Binary, // NUL or control bytes that no text holds, where a command file has names
};

// How many bytes of a file its kind is told from.
inline constexpr size_t kKindSampleSize = 4096;

// The kind of a file that starts with `start` (its first kKindSampleSize
// bytes, or all of it when shorter).
FileKind KindOfBytes(std::string_view start);

// The kind of the file `name` (links followed); its first bytes are read,
// not those of a device or pipe.
FileKind KindOfFile(const std::string& name);

// True when a file of kind `written` may take the place of the file there.
bool MayReplace(FileKind there, FileKind written);

// "a DXF drawing", "a PNG picture"...: how a file of `kind` is called.
std::string_view NameOf(FileKind kind);

// "not a DXF drawing: it looks like a command file, and was left as it is":
// why a file of kind `there` is not replaced by one of kind `written`.
std::string NotReplacedBecause(FileKind there, FileKind written);

} // namespace platform

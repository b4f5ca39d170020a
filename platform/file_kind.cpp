#include "platform/file_kind.h"

#include "platform/process.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace platform {

namespace {

constexpr std::string_view kPngSignature = "\x89PNG\r\n\x1a\n";
constexpr std::string_view kBinaryDxfSentinel{"AutoCAD Binary DXF\r\n\x1a\0", 22};
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t\r\v\f";

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Hands out the lines of `text` (LF, CR LF or CR ends one), trimmed.
class Lines {
  public:
    explicit Lines(std::string_view text) : rest_(text) {}
    bool Next(std::string_view& line) {
        if (rest_.empty()) return false;
        const size_t end = rest_.find_first_of("\r\n");
        line = Trimmed(rest_.substr(0, end));
        if (end == std::string_view::npos) {
            rest_ = {};
        } else {
            rest_.remove_prefix(end + (rest_.substr(end, 2) == "\r\n" ? 2 : 1));
        }
        return true;
    }

  private:
    std::string_view rest_;
};

// A text never holds these: NUL and the control bytes other than TAB, the
// line and page ends, ESC (terminal colours) and the end-of-file mark of old
// DOS files.
bool NoTextHolds(unsigned char c) {
    return c < 0x20 && std::string_view("\t\n\v\f\r\x1a\x1b").find(static_cast<char>(c)) ==
                           std::string_view::npos;
}

// A command file's texts (the fields after a line's first TAB) have always
// carried any byte, NUL included; its command names and lines without fields
// hold text. A line ends at CR here, as in every form of reading.
bool HoldsBytesNoCommandFileHas(std::string_view start) {
    bool inNames = true; // from a line's start to its first TAB
    for (const char c : start) {
        if (c == '\r') {
            inNames = true;
        } else if (c == '\t') {
            inNames = false;
        } else if (inNames && NoTextHolds(static_cast<unsigned char>(c))) {
            return true;
        }
    }
    return false;
}

// Blank lines and 999 comments (a code line and its text), then 0 / SECTION.
bool StartsAsAsciiDxf(std::string_view start) {
    Lines lines(start);
    std::string_view line;
    while (lines.Next(line)) {
        if (line.empty()) continue;
        if (line == "999") {
            lines.Next(line);
            continue;
        }
        return line == "0" && lines.Next(line) && line == "SECTION";
    }
    return false;
}

// A pattern file's first line that is neither blank nor a ';' comment is a
// pattern's '*' line.
bool StartsAsPatternFile(std::string_view start) {
    Lines lines(start);
    std::string_view line;
    while (lines.Next(line)) {
        if (line.empty() || line.front() == ';') continue;
        return line.front() == '*';
    }
    return false;
}

} // namespace

FileKind KindOfBytes(std::string_view start) {
    start = start.substr(0, kKindSampleSize);
    if (start.empty()) return FileKind::Empty;
    if (start.starts_with(kPngSignature)) return FileKind::Png;
    if (start.starts_with("%PDF-")) return FileKind::Pdf;
    if (start.starts_with(kBinaryDxfSentinel)) return FileKind::Dxf;
    if (HoldsBytesNoCommandFileHas(start)) return FileKind::Binary;
    if (start.starts_with(kUtf8Mark)) start.remove_prefix(kUtf8Mark.size());
    if (StartsAsAsciiDxf(start)) return FileKind::Dxf;
    const std::string_view text =
        start.substr(std::min(start.size(), start.find_first_not_of(" \t\r\n")));
    if (text.starts_with("<?xml") || text.starts_with("<svg") || text.starts_with("<!--")) {
        return FileKind::Svg;
    }
    if (StartsAsPatternFile(start)) return FileKind::PatternFile;
    return start.find('\t') != std::string_view::npos ? FileKind::CommandFile : FileKind::Text;
}

FileKind KindOfFile(const std::string& name) {
    std::error_code error;
    const std::filesystem::file_status status =
        std::filesystem::status(PathOfSystemName(name), error);
    if (status.type() == std::filesystem::file_type::not_found) return FileKind::Missing;
    if (error) return FileKind::Unreadable;
    if (status.type() != std::filesystem::file_type::regular) return FileKind::NotAFile;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(name.c_str(), "rb"),
                                                               &std::fclose);
    if (!file) return FileKind::Unreadable;
    std::string start(kKindSampleSize, '\0');
    start.resize(std::fread(start.data(), 1, start.size(), file.get()));
    if (std::ferror(file.get())) return FileKind::Unreadable;
    return KindOfBytes(start);
}

bool MayReplace(FileKind there, FileKind written) {
    return there == FileKind::Missing || there == FileKind::Empty || there == FileKind::NotAFile ||
           there == written;
}

std::string_view NameOf(FileKind kind) {
    switch (kind) {
    case FileKind::Missing:
        return "a missing file";
    case FileKind::Empty:
        return "an empty file";
    case FileKind::NotAFile:
        return "not a file";
    case FileKind::Unreadable:
        return "a file that cannot be read";
    case FileKind::Dxf:
        return "a DXF drawing";
    case FileKind::Png:
        return "a PNG picture";
    case FileKind::Pdf:
        return "a PDF document";
    case FileKind::Svg:
        return "an SVG picture";
    case FileKind::PatternFile:
        return "a hatch pattern file";
    case FileKind::CommandFile:
        return "a command file";
    case FileKind::Text:
        return "a text file";
    case FileKind::Binary:
        return "a binary file";
    }
    return "a file";
}

std::string NotReplacedBecause(FileKind there, FileKind written) {
    const std::string what = there == FileKind::CommandFile ? "it looks like a command file"
                             : there == FileKind::Unreadable
                                 ? "it cannot be read to tell what it is"
                                 : "it is " + std::string(NameOf(there));
    return "not " + std::string(NameOf(written)) + ": " + what + ", and was left as it is";
}

} // namespace platform

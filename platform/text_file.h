// Sequential reading of a text file line by line, each line handed out as
// UTF-8; the bytes of a line past a bound are dropped (and counted),
// its line end still found. A line ends at CR LF or at a CR alone; a LF alone is ordinary text
// unless the rules say that it ends a line too. The file is read in large
// blocks and a line is handed out in a caller's string, so reading a file
// allocates nothing per line once the string has grown.
#pragma once

#include "platform/text_encoding.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// The longest line read whole. A command line holds at most eight fields,
// and its longest, a text, is kept to 250 characters (a thousand bytes at
// most, escapes and UTF-8 included); 64 KiB leaves room for blanks and
// digits in every field many times over, while a file with no line end
// (a device, a binary file) costs no more memory than this.
inline constexpr size_t kMaxLineLength = 64 * 1024;

// How the bytes of a line go beyond ASCII, as they were in the file.
enum class LineBeyondAscii { No, Utf8, NotUtf8 };

// How the bytes of a file become lines of text. The classic rules are the
// defaults: bytes as they come, a byte-order mark included.
struct TextRules {
    TextEncoding encoding = TextEncoding::Windows1252;
    bool lineFeedEndsLine = false;
    // A UTF-8 byte-order mark at the start of the file selects UTF-8 whatever
    // `encoding` says, and is not part of the first line.
    bool byteOrderMarkSelectsUtf8 = false;
    // The bytes of a line past this many are dropped (the fuzz targets lower it).
    size_t maxLineLength = kMaxLineLength;
};

class TextFileReader {
  public:
    // Opens `name` for reading; raises error 53 when the file cannot be
    // opened, 75 when it is a folder.
    explicit TextFileReader(const std::string& name, TextRules rules = {});

    // Reads standard input, called `name` in messages.
    static TextFileReader StandardInput(std::string name, TextRules rules = {});

    // Reads `text` as if it were the contents of a file called `name`.
    static TextFileReader FromText(std::string name, std::string_view text, TextRules rules = {});

    // Reads the next line into `line` (without its line end, and without the
    // bytes past the rules' maxLineLength: BytesDropped). Raises error 62
    // when the file is already at its end. Like AtEnd(), raises error 57 when
    // the system cannot read the file, naming it and the line reached.
    void ReadLine(std::string& line);

    // True when no character is left to read.
    bool AtEnd();

    // 1-based number of the line last read (0 before the first).
    long LineNumber() const { return lineNumber_; }
    // How many bytes of the line last read encoded no character (each is
    // kReplacementCharacter in the line).
    size_t BytesWithoutCharacter() const { return bytesWithoutCharacter_; }
    // The encoding the lines are read in: the rules', or UTF-8 for a marked file.
    TextEncoding Encoding() const { return rules_.encoding; }
    // How many bytes of the line last read lay past MaxLineLength().
    uint64_t BytesDropped() const { return bytesDropped_; }
    size_t MaxLineLength() const { return rules_.maxLineLength; }
    // Whether the line last read held bytes beyond ASCII, and whether they
    // were well-formed UTF-8 whatever the encoding it was read in.
    LineBeyondAscii BeyondAscii() const;
    const std::string& Name() const { return name_; }
    // The file's first bytes (those of its first block) as they are, before
    // the first line is read: what a file is can be told from them, standard
    // input's included, without losing any.
    std::string_view FirstBytes() const { return {block_.get(), length_}; }
    // "NAME line N": how the detail of an error raised reading line N names it.
    std::string NameAndLine(long line) const { return name_ + " line " + std::to_string(line); }

  private:
    struct NothingOpen {};
    TextFileReader(std::string name, TextRules rules, NothingOpen);
    // Refills the block; false at the end of the file. `line` is the number
    // of the line being read, for the report of a read error (57).
    bool Fill(long line);
    bool IsLineEnd(char c) const { return c == '\r' || (c == '\n' && rules_.lineFeedEndsLine); }
    size_t LineEndIn(const char* start, size_t available) const;
    void SkipByteOrderMark();
    void Decode(std::string& line);

    struct FileCloser {
        void operator()(std::FILE* file) const {
            if (file != stdin) std::fclose(file);
        }
    };
    std::unique_ptr<std::FILE, FileCloser> file_; // none when reading from memory
    std::string name_;
    TextRules rules_;
    std::unique_ptr<char[]> block_; // not zero-filled: only what is read is touched
    size_t capacity_ = 0;
    size_t position_ = 0;
    size_t length_ = 0;
    long lineNumber_ = 0;
    size_t bytesWithoutCharacter_ = 0;
    uint64_t bytesDropped_ = 0;
    bool beyondAscii_ = false;
    // The line being decoded, kept for its capacity; once decoded, the line's
    // bytes as they were in the file when it went beyond ASCII.
    std::string decoded_;
};

} // namespace platform

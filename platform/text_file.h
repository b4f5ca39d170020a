// Sequential reading of an 8-bit text file line by line. A line ends at CR LF
// or at a CR alone; a LF alone is ordinary text. The file is read in large
// blocks and a line is handed out in a caller's string, so reading a file
// allocates nothing per line once the string has grown.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

class TextFileReader {
  public:
    // Opens `name` for reading; raises error 53 when the file cannot be
    // opened, 75 when it is a folder.
    explicit TextFileReader(const std::string& name);

    // Reads `text` as if it were the contents of a file called `name`.
    static TextFileReader FromText(std::string name, std::string_view text);

    // Reads the next line into `line` (without its line end). Raises error 62
    // when the file is already at its end. Like AtEnd(), raises error 57 when
    // the system cannot read the file, naming it and the line reached.
    void ReadLine(std::string& line);

    // True when no character is left to read.
    bool AtEnd();

    // 1-based number of the line last read (0 before the first).
    long LineNumber() const { return lineNumber_; }
    const std::string& Name() const { return name_; }

  private:
    TextFileReader() = default;
    // Refills the block; false at the end of the file. `line` is the number
    // of the line being read, for the report of a read error.
    bool Fill(long line);

    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> file_; // none when reading from memory
    std::string name_;
    std::unique_ptr<char[]> block_; // not zero-filled: only what is read is touched
    size_t capacity_ = 0;
    size_t position_ = 0;
    size_t length_ = 0;
    long lineNumber_ = 0;
};

} // namespace platform

// Buffered writer of DXF group-code/value pairs. The pairs are formatted
// straight into one large buffer that goes to the file in big chunks, so
// writing a drawing of millions of entities allocates nothing per pair.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "cadlib/dxf/target.h"

namespace cadlib {

// Longest string value readers accept everywhere, and the longest TEXT content.
inline constexpr size_t kMaxStringBytes = 255;
inline constexpr size_t kMaxTextBytes = 250;

// The bytes "\U+XXXX" that stand for a character the code page lacks.
inline constexpr size_t kEscapeBytes = 7;

// What becomes of a character that Windows-1252, the code page of files
// before DXF 2007, cannot hold: "\U+XXXX", which readers show as that
// character, or '?'. Characters beyond U+FFFF, which the escape cannot name,
// are '?'. Utf8: the whole text is UTF-8, every character as it is, as DXF
// 2007 and later hold texts. Bytes that encoded no character are always '?'.
enum class OtherCharacters { Escaped, Replaced, Utf8 };

// Writes the UTF-8 `text` as a one-line string value in the file's encoding
// into `out`, which holds kMaxStringBytes bytes, and returns the number of
// bytes written. At most `limit` characters are written, an escape
// counting as one, and never more than kMaxStringBytes bytes, whatever mix of
// escapes and plain characters the text holds: the text ends before the
// first character that does not fit whole, so an escape is never cut.
// Control characters become blanks, and a caret is written as "^ " (counting
// two) so that readers do not take it for a control character ("^J"); a
// "^ " pair is never cut in half. `kept`, when given, receives how many
// characters of `text` were written.
size_t CleanText(std::string_view text, size_t limit, char* out,
                 OtherCharacters others = OtherCharacters::Escaped, size_t* kept = nullptr);

// How many leading characters of `text` CleanText keeps within `limit` characters.
size_t TextLengthKept(std::string_view text, size_t limit);
// Those leading characters of `text`: what a TEXT holds of it, and all a view shows.
std::string_view TextKept(std::string_view text, size_t limit);

// A symbol-table name (layer, line type, style, view) as it can be written:
// cleaned like a text with the characters the code page lacks replaced, at
// most 255 bytes, the characters readers refuse in
// names replaced by '_', and never empty.
std::string CleanName(std::string_view name);

// Writes the pairs of a file for one target, the way the target holds them:
// what its version cannot hold (a subclass marker, a handle, a lineweight, a
// true colour) is left out here, places and lengths are given in the
// drawing's units (inches) and written in the file's, and texts go in the
// version's encoding. The writer asks no version question of its own for these.
class DxfStream {
  public:
    // Pairs go to `file`, which the caller keeps open until Finish.
    explicit DxfStream(std::FILE* file, const DxfTarget& target = {});

    const DxfTarget& Target() const { return target_; }

    // A value that is already one line of at most kMaxStringBytes bytes.
    void String(int code, std::string_view value);
    // Free UTF-8 text: cleaned (CleanText) in the version's encoding and cut
    // to `limit` characters on the way.
    void Text(int code, std::string_view text, size_t limit = kMaxStringBytes);
    void Integer(int code, int64_t value);
    // Shortest form that reads back to the same double, '.' as decimal
    // separator in every locale; -0 is written as 0, and a non-finite value
    // (which the library never stores) as 0 rather than a token readers
    // misread. A number with no unit: an angle, a factor, millimetres of paper.
    void Real(int code, double value);
    // A length or a distance in the drawing: in the file's units.
    void Length(int code, double inches);
    // A place: coordinates in the file's units go to `code`, `code` + 10
    // (and `code` + 20).
    void Point(int code, double x, double y);
    void Point(int code, double x, double y, double z);
    // A direction or a share of the screen: numbers with no unit.
    void Vector(int code, double x, double y);
    void Vector(int code, double x, double y, double z);

    // Object handle: upper-case hexadecimal without leading zeros. Handles,
    // owners (330, 0 for none) and subclass markers (100) only where the
    // version has them.
    void Handle(int code, uint64_t handle);
    void Owner(uint64_t handle);
    void Subclass(std::string_view name);
    // A lineweight (370), where the version has them.
    void Lineweight(int64_t weight);
    // A true colour (420, 0xRRGGBB) where the version has them; -1 is none.
    void TrueColour(int32_t colour);

    // True once a write to the file has failed; later pairs are dropped.
    bool Failed() const { return error_ != 0; }
    // Hands the rest of the buffer to the file. Returns 0 on success or the
    // errno value of the first failed write.
    int Finish();

  private:
    // Space for `bytes` more bytes, flushing the buffer first when needed.
    char* Room(size_t bytes);
    // Writes the code line, leaving room for a value of `valueBytes`.
    char* Code(int code, size_t valueBytes);
    void Flush();

    std::FILE* file_;
    DxfTarget target_;
    std::unique_ptr<char[]> buffer_;
    size_t used_ = 0;
    int error_ = 0;
};

} // namespace cadlib

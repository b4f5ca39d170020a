// Text encodings at the edges. Inside the program every text is UTF-8: the
// command file is decoded once where it is read (Windows-1252 unless UTF-8 is
// asked for or marked), and each output encodes it once for its reader (the
// DXF writer into the drawing's code page, the display into UTF-16).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

enum class TextEncoding { Windows1252, Utf8 };

// The three bytes that mark a UTF-8 file.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Stands for a byte that encodes no character: a byte Windows-1252 leaves
// undefined, or a broken UTF-8 sequence.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends `bytes`, encoded as `encoding`, to `utf8` as UTF-8. Bytes that
// encode no character become kReplacementCharacter, so the result is always
// well-formed UTF-8; returns how many bytes did.
size_t AppendAsUtf8(std::string_view bytes, TextEncoding encoding, std::string& utf8);

// Decodes the character of the UTF-8 `text` at `position` and moves `position`
// past it. A broken sequence gives kReplacementCharacter for its first byte.
char32_t NextCharacter(std::string_view text, size_t& position);

// Appends the UTF-8 form of `character`.
void AppendUtf8(char32_t character, std::string& utf8);

// The number of characters of the UTF-8 `text`.
size_t CharacterCount(std::string_view text);

// The Windows-1252 byte of `character`, or -1 when the code page has none.
int Windows1252Byte(char32_t character);

} // namespace platform

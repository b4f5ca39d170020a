// Text that is safe to show: what a message quotes (a command name, a text,
// a file name) may hold bytes that a terminal takes as orders (ESC[2J clears
// the screen, ESC]0;...BEL retitles the window, CR writes over the line) or
// that are no text at all. Every such byte is shown as \xNN (two lowercase
// hex digits): the control characters U+0000-U+001F (TAB included), U+007F
// and U+0080-U+009F, and each byte that is not part of valid UTF-8. All
// other text, valid UTF-8 included, passes unchanged; a backslash stands for
// itself. On Windows, where messages are in the ANSI code page, only the
// control bytes are escaped.
#pragma once

#include <string>
#include <string_view>

namespace platform {

enum class LineFeeds {
    Escaped, // one line: a message on stderr
    Kept,    // a box's text, whose lines the program breaks on purpose
};

std::string PrintableText(std::string_view text, LineFeeds lineFeeds = LineFeeds::Escaped);

} // namespace platform

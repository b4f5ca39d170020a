#include "platform/printable_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using platform::LineFeeds;
using platform::PrintableText;

TEST(PrintableText, EscapesWhatATerminalObeysAndKeepsTheRest) {
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"Error 53 in DXF startdrawing.  Please contact Tarsel", ""}, // unchanged
        {"Café ≈ 10 µm, 土", ""},
        {"C:\\logs\\x1b.txt", ""}, // a backslash stands for itself
        {"\x1b[2JLR", "\\x1b[2JLR"},
        {"\x1b]0;owned\x07", "\\x1b]0;owned\\x07"},
        {std::string("a\0b", 3), "a\\x00b"},
        {"ok\rfake", "ok\\x0dfake"},
        {"a\tb\nc\x7f", "a\\x09b\\x0ac\\x7f"},
        {"\xC2\x9B"
         "2J",
         "\\xc2\\x9b2J"},                            // C1 control: valid UTF-8, yet an order
        {"Caf\xE9 \xFF\xC3", "Caf\\xe9 \\xff\\xc3"}, // invalid and cut-short bytes
        {"\xC0\xAF \xED\xA0\x80", "\\xc0\\xaf \\xed\\xa0\\x80"}, // overlong, surrogate
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PrintableText(c.text), c.shown.empty() ? c.text : c.shown) << c.text;
    }
    EXPECT_EQ(PrintableText("FILE NOT CREATED:  a\x1b\nwhy", LineFeeds::Kept),
              "FILE NOT CREATED:  a\\x1b\nwhy");
}

// Whatever the bytes: no control byte but the kept line feeds comes out,
// and what comes out is shown as it is.
TEST(PrintableText, AnyBytesComeOutPrintableAndStayAsTheyAre) {
    std::mt19937 random(28);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 40, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random());
        for (const LineFeeds lineFeeds : {LineFeeds::Escaped, LineFeeds::Kept}) {
            const std::string shown = PrintableText(bytes, lineFeeds);
            for (const char c : shown) {
                const auto byte = static_cast<unsigned char>(c);
                EXPECT_TRUE((byte >= 0x20 && byte != 0x7F) ||
                            (c == '\n' && lineFeeds == LineFeeds::Kept));
            }
            EXPECT_EQ(PrintableText(shown, lineFeeds), shown);
        }
    }
}

} // namespace

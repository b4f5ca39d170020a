// Decoding command files into UTF-8, line by line, and the code page the DXF
// writer encodes into.
#include "platform/runtime_error.h"
#include "platform/text_encoding.h"
#include "platform/text_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::TextEncoding;

std::string AsUtf8(std::string_view bytes, TextEncoding encoding) {
    std::string utf8;
    platform::AppendAsUtf8(bytes, encoding, utf8);
    return utf8;
}

std::vector<std::string> Lines(std::string_view text, platform::TextRules rules = {}) {
    platform::TextFileReader reader = platform::TextFileReader::FromText("t.txt", text, rules);
    std::vector<std::string> lines;
    std::string line;
    while (!reader.AtEnd()) {
        reader.ReadLine(line);
        lines.push_back(line);
    }
    return lines;
}

TEST(TextEncodingTest, EveryWindows1252ByteComesBackFromItsCharacter) {
    for (int byte = 1; byte < 256; ++byte) {
        const std::string utf8 =
            AsUtf8(std::string(1, static_cast<char>(byte)), TextEncoding::Windows1252);
        size_t position = 0;
        const char32_t character = platform::NextCharacter(utf8, position);
        EXPECT_EQ(position, utf8.size()) << byte;
        const bool undefined =
            byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
        if (undefined) {
            EXPECT_EQ(character, platform::kReplacementCharacter) << byte;
        } else {
            EXPECT_EQ(platform::Windows1252Byte(character), byte) << byte;
        }
    }
    EXPECT_EQ(AsUtf8("5\xB0 \x96 \x80", TextEncoding::Windows1252), "5\u00B0 \u2013 \u20AC");
    EXPECT_EQ(platform::Windows1252Byte(0x03A9), -1); // omega has no byte
}

TEST(TextEncodingTest, BrokenUtf8BecomesReplacementCharacters) {
    const std::string replacement = "\uFFFD";
    EXPECT_EQ(AsUtf8("ok \u00B0\u2014\U0001F600", TextEncoding::Utf8), "ok \u00B0\u2014\U0001F600");
    EXPECT_EQ(AsUtf8("a\xC3", TextEncoding::Utf8), "a" + replacement);            // cut short
    EXPECT_EQ(AsUtf8("\xC0\xAF", TextEncoding::Utf8), replacement + replacement); // overlong
    EXPECT_EQ(AsUtf8("\xED\xA0\x80", TextEncoding::Utf8), replacement + replacement + replacement);
    EXPECT_EQ(AsUtf8("\xE2\x28\xA1", TextEncoding::Utf8), replacement + "(" + replacement);
    EXPECT_EQ(platform::CharacterCount("a\u00B0\u2014\U0001F600\xFF"), 5u);
}

TEST(TextFileTest, LineEndsByTheRules) {
    const std::string text = "a\r\nb\rc\nd\r\n\ne";
    EXPECT_EQ(Lines(text), (std::vector<std::string>{"a", "b", "c\nd", "\ne"}));
    EXPECT_EQ(Lines(text, {TextEncoding::Windows1252, true}),
              (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));
}

TEST(TextFileTest, AByteOrderMarkSelectsUtf8AndIsNoPartOfTheFirstLine) {
    const platform::TextRules marks = {TextEncoding::Windows1252, false, true};
    const std::string marked = "\xEF\xBB\xBF"
                               "A\t\xC2\xB0\t\r\nB\t\xB0\t\r\n";
    EXPECT_EQ(Lines(marked, marks), (std::vector<std::string>{"A\t\u00B0\t", "B\t\uFFFD\t"}));
    EXPECT_EQ(Lines("A\t\xC2\xB0\t", marks), (std::vector<std::string>{"A\t\u00C2\u00B0\t"}));
    EXPECT_EQ(Lines("A\t\xC2\xB0\t", {TextEncoding::Utf8, false}),
              (std::vector<std::string>{"A\t\u00B0\t"}));
    EXPECT_TRUE(Lines("\xEF\xBB\xBF", marks).empty()); // the mark alone is an empty file
}

TEST(TextFileTest, TheClassicRulesReadAByteOrderMarkAsText) {
    const std::string marked = "\xEF\xBB\xBF"
                               "A\t\xC2\xB0\t\r\n";
    EXPECT_EQ(Lines(marked), (std::vector<std::string>{"\u00EF\u00BB\u00BF"
                                                       "A\t\u00C2\u00B0\t"}));
    // Asked for UTF-8, the mark is the character it encodes.
    EXPECT_EQ(Lines(marked, {TextEncoding::Utf8, false}),
              (std::vector<std::string>{"\uFEFFA\t\u00B0\t"}));
}

TEST(TextFileTest, EachLineTellsHowManyBytesEncodedNoCharacter) {
    platform::TextFileReader reader = platform::TextFileReader::FromText(
        "t.txt", "ok \xC2\xB0\r\ntwo \xC3 \xFF\r\nreal \uFFFD\r\n\x81",
        {TextEncoding::Utf8, false});
    std::vector<size_t> counts;
    std::string line;
    while (!reader.AtEnd()) {
        reader.ReadLine(line);
        counts.push_back(reader.BytesWithoutCharacter());
    }
    // A replacement character that the file holds is a character.
    EXPECT_EQ(counts, (std::vector<size_t>{0, 2, 0, 1}));
    EXPECT_EQ(platform::AppendAsUtf8("\x81\x8D", TextEncoding::Windows1252, line), 2u);
}

TEST(TextFileTest, AFileThatCannotBeOpenedIsError53WithTheReason) {
    try {
        platform::TextFileReader reader("no/such/file.txt");
        FAIL() << "opened";
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.Number(), platform::kFileNotFound);
        EXPECT_EQ(error.Detail().rfind("no/such/file.txt: ", 0), 0u) << error.Detail();
    }
}

} // namespace

// The warnings of a command file: which lines give which named warning, the
// cap on how many are told, strict rules, and the list's documentation.
#include "hatch/patterns.h"
#include "interpreter/command_file.h"
#include "platform/numbers.h"
#include "platform/runtime_error.h"
#include "platform/warnings.h"
#include "support/drawing_fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

class WarningsTest : public testsupport::DrawingTest {
  protected:
    // "LINE [name]" of each warning told interpreting `commands`.
    std::vector<std::string>
    Told(const std::string& commands, bool strict = false,
         platform::TextEncoding encoding = platform::TextEncoding::Windows1252) {
        hatch::LoadHatchPatterns(PLOTDXF_SOURCE_DIR "/data/kqhatch.pat");
        std::vector<std::string> told;
        platform::WarningTeller warnings(
            [&told](long line, const std::string& what) {
                const size_t name = what.rfind(" [");
                told.push_back(std::to_string(line) +
                               (name == std::string::npos ? ": " + what : what.substr(name)));
            },
            strict);
        interpreter::ReadRules rules;
        rules.text = {encoding, true, true};
        rules.errorBox = false;
        rules.warnings = &warnings;
        interpreter::StartDrawing(platform::TextFileReader::FromText("t.txt", commands, rules.text),
                                  rules);
        warnings.Finish();
        return told;
    }
};

std::string ReadWhole(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

} // namespace

TEST_F(WarningsTest, EachLikelyMistakeIsToldByNameOnItsLine) {
    const std::string longText(platform::kMaxLineLength + 10, 'x');
    const struct {
        std::string commands;
        std::vector<std::string> told;
    } cases[] = {
        {"S\t600\t600\t\nLR\t0,25\t\nSR\t600,5\t\nSR\t1,5e3\t\nSR\t1.5\t\n",
         {"2 [decimal-comma]", "3 [decimal-comma]", "4 [decimal-comma]"}},
        {"S\t600\t600\t\n  LR\t600\t\n  LR 600\n", {"2 [leading-blanks]", "3 [leading-blanks]"}},
        {"FPF\tCLL\t\nFPF\tF70\t\nFPF\t gw \t\nFPF\t\t\n",
         {"1 [unknown-pattern]", "2 [unknown-pattern]"}},
        {"ARCR\t1\t1e30\t\nC\t0\t\nARCR\t600\t100\t\nC\t100\t\n",
         {"1 [draws-nothing]", "2 [draws-nothing]"}},
        {"A\tplain\t\nA\tCaf\xC3\xA9\t\nA\tCaf\xC3\xA9\t\n", {"2 [utf8-read-as-cp1252]"}},
        {"A\tcaf\xE9\t\nA\tCaf\xC3\xA9\t\n", {}}, // the first line beyond ASCII decides
        {"A\t" + longText + "\t\nLR\t600\t\n", {"1 [long-line]", "1 [text-after-tab]"}},
        {"lr\t600\t\n\tLR\t\n", {"1 [unknown-command]", "2 [unknown-command]"}},
        {"S\t600\t600\t\nLR\t600\t\n\nLR\t600\tx\n", {"3 [no-tab]", "4 [text-after-tab]"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Told(c.commands), c.told) << c.commands.substr(0, 80);
    }
    // The encoding asked for is not told of.
    EXPECT_EQ(Told("A\tCaf\xC3\xA9\t\n", false, platform::TextEncoding::Utf8),
              std::vector<std::string>{});
}

TEST_F(WarningsTest, AHundredAreToldAndOneLineCountsTheRest) {
    std::string commands = "S\t600\t600\t\n";
    for (int i = 0; i < 250; ++i)
        commands += "LR 600\n";
    const std::vector<std::string> told = Told(commands);
    ASSERT_EQ(told.size(), platform::kMostWarningsTold + 1);
    EXPECT_EQ(told[99], "101 [no-tab]");
    EXPECT_EQ(told.back(), "0: 150 more warnings were not told");
}

TEST_F(WarningsTest, StrictRulesEndTheReadingAtTheFirstWarning) {
    const struct {
        std::string commands;
        long line;
        std::string detail;
    } cases[] = {
        {"S\t600\t600\t\nLR\t0,25\t\nLR\t600\t\n", 2, "'0,25' has a decimal comma [decimal-comma]"},
        {"ARCR\t1\t1e30\t\n", 1, "the command builds nothing"},
        {"FPF\tCLL\t\n", 1, "'CLL' names no hatch pattern [unknown-pattern]"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Told(c.commands, true), std::vector<std::string>{});
        EXPECT_EQ(interpreter::Interpreter().ReportedError, platform::kInvalidArgument);
        EXPECT_EQ(interpreter::Interpreter().ReportedErrorLine, c.line);
        EXPECT_EQ(interpreter::Interpreter().ReportedErrorDetail.rfind(c.detail, 0), 0u)
            << interpreter::Interpreter().ReportedErrorDetail;
    }
}

TEST(DecimalComma, IsACommaBetweenDigitsWhereTheNumberStops) {
    const struct {
        std::string_view text;
        bool comma;
    } cases[] = {
        {"0,25", true},   {"600,5", true}, {" - 1 ,5", true}, {".5,5", true},
        {"1.5", false},   {"1,", false},   {",5", false},     {"1,a", false},
        {"1e3,5", false}, {"1x,5", false}, {"1-2,3", false},  {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::StopsAtDecimalComma(c.text), c.comma) << c.text;
    }
}

// Every name of the list is documented where users look it up.
TEST(WarningList, EveryNameIsInTheUserGuideAndTheManualPage) {
    const std::string guide = ReadWhole(PLOTDXF_SOURCE_DIR "/docs/user-guide.md");
    const std::string manual = ReadWhole(PLOTDXF_SOURCE_DIR "/data/plotdxf.1");
    for (const platform::WarningEntry& entry : platform::WarningList()) {
        const std::string name(entry.name);
        std::string roff;
        for (const char c : name)
            roff += c == '-' ? "\\-"s : std::string(1, c);
        EXPECT_NE(guide.find("| `" + name + "` |"), std::string::npos) << name;
        EXPECT_NE(manual.find(".B " + roff + "\n"), std::string::npos) << name;
    }
}

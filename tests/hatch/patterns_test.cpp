#include "hatch/patterns.h"

#include "support/drawing_fixture.h"
#include "support/error_number.h"
#include "support/module_reset.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

using hatch::Current;
using hatch::Patterns;
using testsupport::ErrorNumberOf;

namespace {

using Result = std::pair<int, std::string>; // error number (0: none) and detail

const std::string kLine = "45,0,0,0,0.125,0.1,-0.05\r\n";

std::string Repeated(int count, const std::string& text) {
    std::string result;
    for (int i = 0; i < count; ++i)
        result += text;
    return result;
}

// Loads `text` as kqhatch.pat from a temporary current folder, modules reset first.
Result Load(const std::string& text) {
    testsupport::ResetAllModules();
    testsupport::TempFolder folder;
    folder.Write(hatch::kPatternFileName, text);
    try {
        hatch::LoadHatchPatterns(hatch::kPatternFileName);
    } catch (const platform::RuntimeError& error) {
        return {error.Number(), error.Detail()};
    }
    return {0, ""};
}

// Selects `name` and returns the string as the selection left it.
std::string Select(std::string name) {
    hatch::SelectFillPattern(name);
    return name;
}

} // namespace

TEST(HatchFile, ReadsPatternsInFileOrder) {
    ASSERT_EQ(Load("skipped\r\n* WELL_FILL\r\n2\r\n0,0,0,0.125,0.125,0.1,0.05\r\n"
                   "90,1,2,3,4,5,6,7\r\nskipped\r*\r\n1.5\r\n" +
                   kLine + kLine + "*\r\n2.5\r\n" + kLine + kLine + "*\r\n-1\r\n" + kLine),
              Result{});
    const hatch::PatternTable& table = Patterns();
    EXPECT_EQ(table.PatternValues[1][1],
              (std::array<double, 8>{0, 0, 0, 0, 0.125, 0.125, 0.1, 0.05}));
    EXPECT_EQ(table.PatternValues[1][2][7], 6); // an eighth value is ignored
    EXPECT_EQ(table.PatternLineCount[2], 2);    // halves round to even
    EXPECT_EQ(table.PatternLineCount[3], 2);
    EXPECT_EQ(table.PatternLineCount[4], -1); // no lines: the line after it is skipped
    EXPECT_EQ(table.WellPatternNames[13], "QUICKSOIL");
    EXPECT_EQ(table.SoilPatternCodes[31], "QU");
}

TEST(HatchFile, ErrorsNameTheFileAndLine) {
    EXPECT_EQ(Load("*\r\n0\r\n\r\n*\r\n1\r\n1,2,3,4,5,6\r\n"),
              (Result{5, "kqhatch.pat line 6: a pattern line needs seven values separated by "
                         "commas"}));
    EXPECT_EQ(Load("*\r\n40000\r\n"),
              (Result{6, "kqhatch.pat line 2: the line count is beyond the 16-bit range"}));
    EXPECT_EQ(Load(Repeated(101, "*\r\n0\r\n")),
              (Result{9, "kqhatch.pat line 202: the file holds more than 100 patterns"}));
    EXPECT_EQ(Load("*\r\n51\r\n" + Repeated(51, kLine)),
              (Result{9, "kqhatch.pat line 53: a pattern has more than 50 lines"}));
    EXPECT_EQ(Load(""), (Result{62, "kqhatch.pat line 1: the file is empty"}));
    EXPECT_EQ(Load("*\r\n"),
              (Result{62, "kqhatch.pat line 2: the file ends before the pattern's line count"}));
    EXPECT_EQ(Load("*\r\n2\r\n" + kLine),
              (Result{62, "kqhatch.pat line 4: the file ends before the pattern's last line"}));
    EXPECT_EQ(ErrorNumberOf([] { hatch::LoadHatchPatterns(hatch::kPatternFileName); }),
              platform::kFileNotFound);
}

TEST(HatchFile, SelectsByNameCodeOrNumber) {
    ASSERT_EQ(Load("*\r\n3\r\n" + kLine + "0,1,2,3,4,5,6\r\n" + kLine + Repeated(99, "*\r\n0\r\n")),
              Result{});
    const std::pair<std::string, std::string> names[] = {{"gw", "GW"}, {" GW ", "GW"}, {"F1", "1"},
                                                         {"fb", "FB"}, {"F", ""},      {"F0", "0"}};
    for (const auto& [name, left] : names) {
        EXPECT_EQ(Select(name), left);
        EXPECT_EQ(Current().FillPatternNo, left == "GW" || left == "1" ? 21 : 20) << name;
    }
    Select("quicksoil");
    EXPECT_EQ(Current().FillPatternNo, 13);
    Select("F80");
    EXPECT_EQ(Current().FillPatternNo, 100);
    EXPECT_EQ(ErrorNumberOf([] { Select("F81"); }), platform::kSubscriptOutOfRange);

    Select("WELL_FILL");
    EXPECT_EQ(Current().FillLineCount, 3);
    // Values, not references: the packed record's doubles may sit off alignment.
    const KqFillLine& line = Current().FillLines[1];
    EXPECT_EQ(double{line.baseX}, 1);
    EXPECT_EQ(double{line.gap}, 6);
    EXPECT_EQ(int32_t{line.dashCount}, 2);
    EXPECT_EQ(double{line.scale}, 1.0);
    EXPECT_EQ(double{Current().FillLines[2].angle}, 45);
    Select("unknown");
    EXPECT_EQ(Current().FillPatternNo, 0);
    EXPECT_EQ(Current().FillLineCount, 0);
}

TEST(HatchFile, PatternsAreNamedForCadUsers) {
    // Pattern 1 names itself; 2 has no name on its "*" line; 3 repeats 1's
    // name; 4 has characters no CAD program takes and a very long name;
    // 21 (GW in the tables) has none either; 22 is beyond the tables' names.
    std::string file = "*well_fill, back\tfill  \r\n1\r\n" + kLine + "*\r\n1\r\n" + kLine +
                       "*WELL_FILL,again\r\n1\r\n" + kLine + "* a/b c:" + std::string(40, 'x') +
                       "\r\n1\r\n" + kLine;
    file += Repeated(16, "*\r\n0\r\n") + "*\r\n1\r\n" + kLine;
    ASSERT_EQ(Load(file), Result{});
    const hatch::PatternTable& table = Patterns();
    EXPECT_EQ(table.PatternNames[1], "KQ_WELL_FILL");
    EXPECT_EQ(table.PatternDescriptions[1], "back fill");
    EXPECT_EQ(table.PatternNames[2], "KQ_WELL_GROUT"); // the name tables' name
    EXPECT_EQ(table.PatternDescriptions[2], "WELL_GROUT");
    EXPECT_EQ(table.PatternNames[3], "KQ_WELL_FILL_3"); // two patterns never share a name
    EXPECT_EQ(table.PatternNames[4], "KQ_A_B_C_" + std::string(22, 'X'));
    EXPECT_EQ(table.PatternNames[4].size(), 31u); // the longest name CAD programs load
    EXPECT_EQ(table.PatternNames[21], "KQ_GW");
    EXPECT_EQ(table.PatternNames[52], "KQ_PATTERN_52");

    // The selection carries the name, by whatever form it was selected.
    for (const char* selection : {"gw", "F1", "f1.0"}) {
        Select(selection);
        EXPECT_EQ(Current().FillPatternName, "KQ_GW") << selection;
    }
    Select("nothing");
    EXPECT_EQ(Current().FillPatternName, "");
}

// Loading is all or nothing: a second file replaces the first file's table
// whole, and a second file that fails leaves the first one's in use.
TEST(HatchFile, ASecondFileReplacesTheFirstWholeOrNotAtAll) {
    ASSERT_EQ(
        Load("*CL\r\n1\r\n" + kLine + "*GW\r\n2\r\n" + kLine + kLine + "*SW\r\n1\r\n" + kLine),
        Result{});
    testsupport::TempFolder folder;
    folder.Write("second.pat", "*ONE, only\r\n1\r\n" + kLine);
    hatch::LoadHatchPatterns("second.pat");
    const hatch::PatternTable& table = Patterns();
    EXPECT_EQ(table.PatternNames[1], "KQ_ONE");
    EXPECT_EQ(table.PatternDescriptions[1], "only");
    // The first file's other patterns are gone, not renamed.
    EXPECT_EQ(table.PatternLineCount[2], 0);
    EXPECT_EQ(table.PatternNames[2], "KQ_WELL_GROUT");
    EXPECT_EQ(table.PatternNames[3], "KQ_WELL_SEAL");
    EXPECT_EQ(table.PatternFile, "second.pat");

    folder.Write("broken.pat", "*TWO\r\n1\r\n" + kLine + "*THREE\r\n2\r\n" + kLine);
    EXPECT_EQ(ErrorNumberOf([] { hatch::LoadHatchPatterns("broken.pat"); }),
              platform::kInputPastEnd);
    EXPECT_EQ(table.PatternNames[1], "KQ_ONE");
    EXPECT_EQ(table.PatternNames[2], "KQ_WELL_GROUT");
    EXPECT_EQ(table.PatternLineCount[1], 1);
    EXPECT_EQ(table.PatternFile, "second.pat");
}

// Read by the classic rules a file saved with line feeds alone is one line:
// the error says why.
TEST(HatchFile, AFileOfLineFeedsIsToldItsLineEnds) {
    const std::string hint = " (its lines end with a line feed alone, and this reader ends lines "
                             "at carriage returns: save the file with CR LF line ends)";
    EXPECT_EQ(
        Load("*CL\n1\n" + std::string("45,0,0,0,.1,0,0\n")),
        (Result{62, "kqhatch.pat line 2: the file ends before the pattern's line count" + hint}));
    EXPECT_EQ(Load("*\r\n2\r\n" + kLine), // no line feed read as text: no hint
              (Result{62, "kqhatch.pat line 4: the file ends before the pattern's last line"}));
    // By the option form's rules a line feed ends a line.
    testsupport::ResetAllModules();
    hatch::LoadHatchPatternsFromText("*CL\n1\n45,0,0,0,.1,0,0\n",
                                     {platform::TextEncoding::Windows1252, true, true});
    EXPECT_EQ(Patterns().PatternLineCount[1], 1);
}

// A byte-order mark is text to the classic reader, so the first line is no
// pattern's "*" line; the option form's reader skips it.
TEST(HatchFile, AByteOrderMarkIsTextByTheClassicRules) {
    const std::string marked = "\xEF\xBB\xBF*CL\r\n1\r\n" + kLine + "*GW\r\n2\r\n" + kLine + kLine;
    ASSERT_EQ(Load(marked), Result{});
    EXPECT_EQ(Patterns().PatternNames[1], "KQ_GW");
    EXPECT_EQ(Patterns().PatternLineCount[1], 2);
    EXPECT_EQ(Patterns().PatternLineCount[2], 0);
    testsupport::ResetAllModules();
    hatch::LoadHatchPatternsFromText(marked, {platform::TextEncoding::Windows1252, true, true});
    EXPECT_EQ(Patterns().PatternNames[1], "KQ_CL");
    EXPECT_EQ(Patterns().PatternLineCount[2], 2);
}

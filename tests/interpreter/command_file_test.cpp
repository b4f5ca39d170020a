#include "interpreter/command_file.h"

#include "builder/session.h"
#include "builder/text.h"
#include "cadlib/testing.h"
#include "interpreter/placement.h"
#include "platform/runtime_error.h"
#include "support/drawing_fixture.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using interpreter::Interpreter;
using interpreter::Placement;

namespace {

class CommandFileTest : public testsupport::DrawingTest {
  protected:
    // Runs the interpreter on `commands` as the whole command file.
    void Run(std::string_view commands) {
        folder.Write("tempdxf.txt", commands);
        interpreter::StartDrawing(interpreter::kCommandFileName);
    }

    std::string Field(int n) { return Interpreter().CommandFields[n]; }

    testsupport::TempFolder folder;
};

} // namespace

TEST_F(CommandFileTest, StartStateBeforeTheFirstLine) {
    Run("STOP\t\r\n");
    EXPECT_EQ(Interpreter().ReportedError, 0);
    EXPECT_EQ(Placement().ScaleX, 600.0f);
    EXPECT_EQ(Placement().ScaleY, 600.0f);
    EXPECT_EQ(Placement().PenX, 0.0f);
    EXPECT_EQ(Placement().OriginY, 0.0f);
    EXPECT_DOUBLE_EQ(builder::Text().TextHeight, 8.0 / 72.0);
    EXPECT_EQ(builder::Text().TextAlign, 1);
    EXPECT_EQ(builder::Text().TextStyleName, "USERFONT");
    const int style = Area().FindStyle("USERFONT");
    ASSERT_GE(style, 0);
    EXPECT_EQ(Area().styles[style].trueTypeFont, "Arial");
    EXPECT_TRUE(messages.empty());
}

TEST_F(CommandFileTest, FieldsEndAtTabsAndTextAfterTheLastTabIsDropped) {
    Run("S\t600\t1200\t\r\nSR\t300\tignored\r\n");
    EXPECT_EQ(Placement().PenX, 1.5f);
    EXPECT_EQ(Placement().PenY, 2.0f);
    EXPECT_EQ(Field(2), "300");
    EXPECT_EQ(Field(3), "1200"); // kept from the first line
}

TEST_F(CommandFileTest, EntriesAreKeptBetweenLines) {
    // The second S supplies only x: y comes from the first line's field 3.
    Run("S\t600\t1200\t\r\nS\t1200\r\nS\t300\t\r\n");
    EXPECT_EQ(Placement().PenX, 0.5f);
    EXPECT_EQ(Placement().PenY, 2.0f);
}

TEST_F(CommandFileTest, LineWithoutTabRunsThePreviousCommandAgain) {
    Run("SR\t300\t\r\n\r\nSTOP\r\n");
    // SR ran for its line, for the empty line and for "STOP" without a TAB.
    EXPECT_EQ(Placement().PenX, 1.5f);
}

TEST_F(CommandFileTest, StopWithATabEndsTheRun) {
    Run("SR\t600\t\r\nSTOP\t\r\nSR\t600\t\r\n");
    EXPECT_EQ(Placement().PenX, 1.0f);
}

TEST_F(CommandFileTest, FirstLineWithoutTabRunsNothing) {
    Run("just a title\r\nSU\t600\t\r\n");
    EXPECT_EQ(Interpreter().ReportedError, 0);
    EXPECT_EQ(Placement().PenY, 1.0f);
}

TEST_F(CommandFileTest, TrailingEmptyLineRunsTheLastCommandTwice) {
    Run("SR\t600\t\r\n\r\n");
    EXPECT_EQ(Placement().PenX, 2.0f);
}

TEST_F(CommandFileTest, LinesEndAtCrLfOrCrButNotAtLf) {
    Run("SR\t600\t\rSU\t600\t\nSU\t600\t\r\n");
    EXPECT_EQ(Placement().PenX, 1.0f);
    // The LF is text: field 1 of the second line is "SU" and its field 3 is "\nSU".
    EXPECT_EQ(Placement().PenY, 1.0f);
    EXPECT_EQ(Field(3), "\nSU");
}

TEST_F(CommandFileTest, NamesAreExactAndCaseSensitive) {
    Run("s\t600\t600\t\r\nS \t600\t600\t\r\nSR\t0\t\r\n");
    EXPECT_EQ(Placement().PenX, 0.0f);
    EXPECT_EQ(Placement().PenY, 0.0f);
    EXPECT_EQ(Interpreter().ReportedError, 0);
}

TEST_F(CommandFileTest, IgnoredCommandsChangeNothing) {
    Run("DrawBMP\tpicture.bmp\t1\t2\t\r\nLC\t5\t\r\n");
    EXPECT_EQ(Interpreter().ReportedError, 0);
    EXPECT_TRUE(Area().order.empty());
    EXPECT_EQ(Placement().PenX, 0.0f);
}

TEST_F(CommandFileTest, TextStateCommands) {
    Run("AP\t10\t\r\nAD\t2.5\t\r\nAL\t\r\n");
    EXPECT_DOUBLE_EQ(builder::Text().TextHeight, double(float(10 * 0.7)) / 72.0);
    EXPECT_EQ(builder::Text().TextAngle, 2.0);
    EXPECT_EQ(builder::Text().TextAlign, 0);
    Run("AD\t3.5\t\r\nAR\t\r\nAP\tnone\t\r\n");
    EXPECT_EQ(builder::Text().TextAngle, 4.0);
    EXPECT_EQ(builder::Text().TextAlign, 2);
    EXPECT_EQ(builder::Text().TextHeight, 0.0);
}

TEST_F(CommandFileTest, FontCommandRedefinesTheUserStyle) {
    Run("AF\tTimes New Roman\t\r\n");
    const int style = Area().FindStyle("USERFONT");
    ASSERT_GE(style, 0);
    EXPECT_EQ(Area().styles[style].trueTypeFont, "Times New Roman");
    EXPECT_EQ(Area().styles[style].primaryFont, "ROMAND");
}

struct ErrorCase {
    const char* name;
    std::string commands;
    int error;
    long line;
};

class CommandFileErrorTest : public CommandFileTest,
                             public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(CommandFileErrorTest, ReportsTheErrorAndKeepsWhatEarlierLinesDid) {
    const ErrorCase& c = GetParam();
    Run(c.commands);
    EXPECT_EQ(Interpreter().ReportedError, c.error);
    EXPECT_EQ(Interpreter().ReportedErrorLine, c.line);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, interpreter::ErrorReportText(c.error));
    EXPECT_EQ(messages[0].title, "plotdxf");
    // The first line moved the pen; nothing after the failing line ran.
    EXPECT_EQ(Placement().PenY, 1.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, CommandFileErrorTest,
    ::testing::Values(
        ErrorCase{"NinthField", "SU\t600\t\r\nSR\t1\t2\t3\t4\t5\t6\t7\t8\t\r\nSU\t600\t\r\n", 9, 2},
        ErrorCase{"ZeroScale", "SU\t600\t\r\nSH\t0\t\r\nSR\t5\t\r\nSU\t600\t\r\n", 11, 3},
        ErrorCase{"ZeroOverZero", "SU\t600\t\r\nSH\t0\t\r\nSR\t0\t\r\nSU\t600\t\r\n", 6, 3},
        ErrorCase{"AngleOutOfRange", "SU\t600\t\r\nAD\t40000\t\r\nSU\t600\t\r\n", 6, 2},
        ErrorCase{"LineTypeOutOfRange", "SU\t600\t\r\nLT\t-40000\t\r\nSU\t600\t\r\n", 6, 2},
        ErrorCase{"PenWidthOutOfRange", "SU\t600\t\r\nLW\t3e9\t\r\nSU\t600\t\r\n", 6, 2},
        ErrorCase{"SizeBeyondSingle", "SU\t600\t\r\nAP\t1e39\t\r\nSU\t600\t\r\n", 6, 2},
        ErrorCase{"NumberBeyondDouble", "SU\t600\t\r\nSR\t1e999\t\r\nSU\t600\t\r\n", 6, 2},
        ErrorCase{"PenBeyondSingle", "SU\t600\t\r\nSH\t1\t\r\nZXY\t3e38\t1\t\r\nSR\t3e38\t\r\n", 6,
                  4}),
    [](const auto& info) { return info.param.name; });

TEST_F(CommandFileTest, NinthFieldStoresTheFirstEightBeforeFailing) {
    Run("SR\t1\t2\t3\t4\t5\t6\t7\t8\t\r\n");
    EXPECT_EQ(Interpreter().ReportedError, 9);
    EXPECT_EQ(Field(8), "7");
    EXPECT_EQ(Placement().PenX, 0.0f); // the command did not run
}

TEST_F(CommandFileTest, MissingCommandFileIsError53AfterTheSessionOpened) {
    interpreter::StartDrawing(
        interpreter::kCommandFileName); // the temporary folder has no tempdxf.txt
    EXPECT_EQ(Interpreter().ReportedError, 53);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Error 53 in DXF startdrawing.  Please contact Tarsel");
    EXPECT_NE(builder::Session().ScreenHandle, 0);
    EXPECT_EQ(Placement().ScaleX, 600.0f);
}

TEST_F(CommandFileTest, EmptyCommandFileIsError62) {
    Run("");
    EXPECT_EQ(Interpreter().ReportedError, 62);
    EXPECT_EQ(Interpreter().ReportedErrorLine, 0);
}

TEST_F(CommandFileTest, WhereItStoppedNamesTheLineAndWhyUnderAnyName) {
    Run("SU\t600\t\r\nLR\t1\t2\t3\t4\t5\t6\t7\t8\t9\t\r\n");
    const std::string why = "Subscript out of range: a ninth field";
    EXPECT_EQ(interpreter::WhyInterpretationStopped(), why);
    EXPECT_EQ(interpreter::WhereInterpretationStopped(), "line 2 of tempdxf.txt (" + why + ")");
    EXPECT_EQ(interpreter::WhereInterpretationStopped("/logs/b-3.txt"),
              "line 2 of /logs/b-3.txt (" + why + ")");

    Run(""); // stopped before its first line: the file alone
    EXPECT_EQ(interpreter::WhereInterpretationStopped(),
              "tempdxf.txt (Input past end of file: tempdxf.txt)");

    Run("STOP\t\r\n");
    EXPECT_EQ(interpreter::WhyInterpretationStopped(), "");
    EXPECT_EQ(interpreter::WhereInterpretationStopped("/logs/b-3.txt"), "");
}

TEST_F(CommandFileTest, SessionFailuresAreReportedButTheRunGoesOn) {
    cadlib::testing::RefuseNextDataArea();
    Run("SU\t600\t\r\n");
    EXPECT_EQ(Interpreter().ReportedError, 0);
    EXPECT_EQ(builder::Session().DataAreaHandle, 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Could Not Create DO-DEZ Data Area");
    EXPECT_EQ(Placement().PenY, 1.0f);
}

TEST(ErrorReportText, HasTheBlankRuleAndTwoBlanksAfterTheStop) {
    EXPECT_EQ(interpreter::ErrorReportText(9),
              "Error 9 in DXF startdrawing.  Please contact Tarsel");
    EXPECT_EQ(interpreter::ErrorReportText(-5),
              "Error-5 in DXF startdrawing.  Please contact Tarsel");
}

TEST(TextAfter, DropsTheFirstCharacters) {
    EXPECT_EQ(interpreter::TextAfter("SR\t300\t", 3), "300\t");
    EXPECT_EQ(interpreter::TextAfter("ab", 2), "");
    EXPECT_EQ(interpreter::TextAfter("ab", 5), "");
}

// What the reading loses of a line's characters is warned of, by name, on
// the line it happens; the classic rules warn as well, through the
// platform's warnings.
TEST_F(CommandFileTest, LostCharactersAreWarnedOf) {
    using namespace std::string_literals;
    const std::string commands = "A\tbad \xC3( and \xFF\t\r\n"
                                 "A\tcut\0short\t\r\n"
                                 "AN\t1\0\t5\t\r\n"
                                 "A\tafter the last\t\0\r\n"
                                 "A\treal \xEF\xBF\xBD\t\r\n"s;
    const auto warned = [&](platform::TextEncoding encoding) {
        interpreter::ReadRules rules;
        rules.text = {encoding, true, true};
        std::vector<std::string> told;
        platform::WarningTeller warnings(
            [&told](long line, const std::string& what) {
                told.push_back(std::to_string(line) + ": " + what);
            },
            false);
        rules.warnings = &warnings;
        interpreter::StartDrawing(platform::TextFileReader::FromText("t.txt", commands, rules.text),
                                  rules);
        return told;
    };
    const std::string nulInField2 = "a NUL byte in field 2: the field's text ends at it [nul-byte]";
    const std::string afterTheLastTab = "4: '\0' after the last TAB is no field (every field ends "
                                        "with a TAB): it is ignored [text-after-tab]"s;
    EXPECT_EQ(
        warned(platform::TextEncoding::Utf8),
        (std::vector<std::string>{"1: 2 bytes are no UTF-8: each is read as '?' [invalid-utf8]",
                                  "2: " + nulInField2, "3: " + nulInField2, afterTheLastTab}));
    // Windows-1252 has a character for every byte but five.
    EXPECT_EQ(
        warned(platform::TextEncoding::Windows1252),
        (std::vector<std::string>{"2: " + nulInField2, "3: " + nulInField2, afterTheLastTab}));
    std::vector<std::string> classic;
    const platform::WarningSink previous =
        platform::SetWarningSink([&classic](std::string_view text) { classic.emplace_back(text); });
    Run(commands);
    platform::SetWarningSink(previous);
    EXPECT_EQ(classic,
              (std::vector<std::string>{"line 2 of tempdxf.txt: " + nulInField2,
                                        "line 3 of tempdxf.txt: " + nulInField2,
                                        "line 4 of tempdxf.txt: '\\x00' after the last TAB is "
                                        "no field (every field ends with a TAB): it is "
                                        "ignored [text-after-tab]"}));
}

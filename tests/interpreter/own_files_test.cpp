#include "interpreter/own_files.h"

#include "hatch/patterns.h"
#include "interpreter/command_file.h"
#include "platform/process.h"
#include "support/module_reset.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class OwnFilesTest : public ::testing::Test {
  protected:
    void SetUp() override { testsupport::ResetAllModules(); }
    void TearDown() override { testsupport::ResetAllModules(); }

    // The refusal's text for a file that is `what` at `path`.
    static std::string Refused(const std::string& shown, const std::string& what,
                               const std::filesystem::path& path) {
        return shown + " is " + what + " (" + path.string() +
               "), which the program never writes over";
    }

    testsupport::TempFolder folder;
};

TEST_F(OwnFilesTest, TheFilesTheRunReadsAreRefusedUnderAnyOfTheirNames) {
    folder.Write("log.txt", "STOP\t\r\n");
    folder.Write("soils.pat", "*SOIL\r\n0\r\n");
    std::filesystem::create_directory("sub");
    interpreter::Interpreter().CommandFile = "log.txt";
    hatch::Patterns().PatternFile = "soils.pat";
    EXPECT_EQ(interpreter::OwnFileRefusal("sub/../log.txt", "the log"),
              Refused("the log", "the command file being read", folder.Path() / "log.txt"));
    EXPECT_EQ(interpreter::OwnFileRefusal("./soils.pat", "soils.pat"),
              Refused("soils.pat", "the hatch pattern file in use", folder.Path() / "soils.pat"));
}

TEST_F(OwnFilesTest, TheRunningProgramIsRefused) {
    EXPECT_EQ(interpreter::OwnFileRefusal(platform::ProgramFile(), "it"),
              Refused("it", "the running program", platform::ProgramFile()));
}

TEST_F(OwnFilesTest, OtherFilesAndNewNamesMayBeWritten) {
    folder.Write("log.txt", "STOP\t\r\n");
    folder.Write("old.dxf", "0\nEOF\n");
    interpreter::Interpreter().CommandFile = "log.txt";
    EXPECT_EQ(interpreter::OwnFileRefusal("old.dxf", "old.dxf"), "");
    EXPECT_EQ(interpreter::OwnFileRefusal("new.dxf", "new.dxf"), "");
}

} // namespace

// The pattern library for CAD users: the loaded patterns as .pat text and file.
#include "hatch/pattern_library.h"

#include "hatch/patterns.h"
#include "support/module_reset.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

class PatternLibraryTest : public ::testing::Test {
  protected:
    void SetUp() override { testsupport::ResetAllModules(); }
    void TearDown() override { testsupport::ResetAllModules(); }

    void Load(const std::string& text) {
        folder_.Write(hatch::kPatternFileName, text);
        hatch::LoadHatchPatterns(hatch::kPatternFileName);
    }

    testsupport::TempFolder folder_;
};

TEST_F(PatternLibraryTest, EveryPatternWithLinesInTheStandardFormat) {
    Load("; comment\r\n*CL, lean clay\r\n2\r\n45,0,0,0,0.1,0,0\r\n"
         "30,0.5,0.25,0.0625,0.125,0.25,0.125\r\n"
         "*NONE\r\n0\r\n"
         "*SW, dots\r\n1\r\n0,0,0,0.06,0.08,0,0.12\r\n");
    const std::string text = hatch::PatternLibraryText();
    const size_t first = text.find("\n*");
    ASSERT_NE(first, std::string::npos);
    // Comments first; a pattern of no lines is not in the library.
    EXPECT_EQ(text.substr(first + 1), "*KQ_CL, lean clay\n"
                                      "45, 0, 0, 0, 0.1\n"
                                      "30, 0.5, 0.25, 0.0625, 0.125, 0.25, -0.125\n"
                                      "*KQ_SW, dots\n"
                                      "0, 0, 0, 0.06, 0.08, 0, -0.12\n");
    for (size_t at = 0; at < first; at = text.find('\n', at) + 1)
        EXPECT_EQ(text[at], ';');
}

TEST_F(PatternLibraryTest, TheFileIsWrittenWholeOrNotAtAll) {
    Load("*CL\r\n1\r\n45,0,0,0,0.1,0,0\r\n");
    const fs::path target = folder_.Path() / "kq.pat";
    EXPECT_EQ(hatch::WritePatternLibrary(target.string()), "");
    std::ifstream file(target, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), hatch::PatternLibraryText());

    const fs::path missing = folder_.Path() / "no such folder" / "kq.pat";
    const std::string error = hatch::WritePatternLibrary(missing.string());
    EXPECT_EQ(error.rfind(missing.string() + ": ", 0), 0u) << error;
    EXPECT_FALSE(fs::exists(missing.parent_path()));
}

} // namespace

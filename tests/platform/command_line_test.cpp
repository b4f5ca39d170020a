// The Windows command line without its program name. The function is plain
// text handling, so it is tested on every system.
#include "platform/process.h"

#include <gtest/gtest.h>

using platform::ArgumentsAfterProgramName;

TEST(ArgumentsAfterProgramName, DropsAPlainProgramNameAndTheBlanksAfterIt) {
    EXPECT_EQ(ArgumentsAfterProgramName("plotdxf.exe out.dxf"), "out.dxf");
    EXPECT_EQ(ArgumentsAfterProgramName("plotdxf.exe \t  out.dxf"), "out.dxf");
    EXPECT_EQ(ArgumentsAfterProgramName("C:\\plot\\plotdxf.exe\tout.dxf"), "out.dxf");
}

TEST(ArgumentsAfterProgramName, DropsAQuotedProgramNameWithBlanksInIt) {
    EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\Program Files\\plot\\plotdxf.exe\" out.dxf"),
              "out.dxf");
    EXPECT_EQ(ArgumentsAfterProgramName("C:\\\"Program Files\"\\plotdxf.exe out.dxf"), "out.dxf");
}

TEST(ArgumentsAfterProgramName, KeepsTheRestExactly) {
    EXPECT_EQ(ArgumentsAfterProgramName("plotdxf.exe \"my log.dxf\""), "\"my log.dxf\"");
    EXPECT_EQ(ArgumentsAfterProgramName("plotdxf.exe log   one.dxf  "), "log   one.dxf  ");
    EXPECT_EQ(ArgumentsAfterProgramName("plotdxf.exe a\"b c\"d\t"), "a\"b c\"d\t");
    EXPECT_EQ(ArgumentsAfterProgramName("plotdxf.exe C:\\logs\\\"x\".dxf"), "C:\\logs\\\"x\".dxf");
}

TEST(ArgumentsAfterProgramName, IsEmptyWithoutArguments) {
    EXPECT_EQ(ArgumentsAfterProgramName(""), "");
    EXPECT_EQ(ArgumentsAfterProgramName("plotdxf.exe"), "");
    EXPECT_EQ(ArgumentsAfterProgramName("plotdxf.exe   "), "");
    EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\Program Files\\plotdxf.exe\""), "");
}

TEST(ArgumentsAfterProgramName, FollowsTheCRuntimeAtOddQuotes) {
    // A quotation mark only switches quoting, so the name goes on after it
    // and an unclosed quotation takes the whole line.
    EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\plot\\plotdxf.exe\"out.dxf"), "");
    EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\plot dir\\plotdxf.exe out.dxf"), "");
    // A line that starts with a blank has an empty program name.
    EXPECT_EQ(ArgumentsAfterProgramName(" out.dxf"), "out.dxf");
}

#include "platform/file_kind.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::FileKind;

TEST(FileKind, IsToldFromTheFirstBytes) {
    const struct {
        std::string start;
        FileKind kind;
    } cases[] = {
        {"", FileKind::Empty},
        {"0\nSECTION\n2\nHEADER\n", FileKind::Dxf},
        {"999\r\nmade by hand\r\n\r\n  0\r\nSECTION  \r\n", FileKind::Dxf},
        {"\xEF\xBB\xBF  0\nSECTION\n", FileKind::Dxf},
        {std::string("AutoCAD Binary DXF\r\n\x1a\0\x00\x01", 24), FileKind::Dxf},
        {"0\nEOF\n", FileKind::Text},
        {"\x89PNG\r\n\x1a\n\0\0\0\rIHDR", FileKind::Png},
        {"%PDF-1.4\n%\xE2\xE3", FileKind::Pdf},
        {"<?xml version=\"1.0\"?>\n<svg>", FileKind::Svg},
        {"\n<svg width=\"1\">", FileKind::Svg},
        {";; patterns\r\n*SAND, sand\r\n0,0,0,0,0.1\r\n", FileKind::PatternFile},
        {"S\t600\t600\t\r\nLR\t300\t\r\n", FileKind::CommandFile},
        {"Caf\xC3\xA9 notes\nno fields here\n", FileKind::Text},
        {"A\t\x1b[1mbold\x1b[0m\t\r\n\x1a", FileKind::CommandFile},
        {std::string("S\t600\t\r\n\0\0", 11), FileKind::Binary},
        {"\xFF\xFE" + std::string("S\0\t\0", 4), FileKind::Binary},
        {"LR\t300\t\r\n\x07\t", FileKind::Binary},
        // A text has always carried any byte.
        {std::string("A\tab\0cd\t\r\nA\t\x01\n\x02\t\r\n", 18), FileKind::CommandFile},
        // Past the sample, a NUL is the reader's to meet.
        {std::string(platform::kKindSampleSize, '\t') + '\0', FileKind::CommandFile},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::KindOfBytes(c.start), c.kind) << c.start;
    }
}

} // namespace

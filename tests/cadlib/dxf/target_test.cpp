// The stream writes what the target's version holds, in the target's units
// and encoding: each version and unit over the same pairs.
#include "cadlib/dxf/stream.h"
#include "cadlib/dxf/target.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string WrittenFor(const cadlib::DxfTarget& target) {
    std::FILE* file = std::tmpfile();
    if (!file) return {};
    cadlib::DxfStream out(file, target);
    out.Subclass("AcDbLine");
    out.Handle(5, 0x2A);
    out.Owner(0);
    out.Owner(0x1F);
    out.Lineweight(35);
    out.TrueColour(0x336699);
    out.TrueColour(-1); // none, in every version
    out.Point(10, 1, -0.5);
    out.Length(40, 0.25);
    out.Real(50, 0.25);
    out.Vector(210, 0, 0, 1);
    out.Text(1, "5\xC2\xB0 \xCE\xA9");
    out.Finish();
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(file);
    return text;
}

TEST(DxfTargetTest, StreamWritesWhatEachVersionHolds) {
    using cadlib::DxfVersion;
    // The pairs R12 cannot hold, then those before 2004 cannot, then the rest.
    const std::string structure = "100\nAcDbLine\n  5\n2A\n330\n0\n330\n1F\n370\n35\n";
    const std::string trueColour = "420\n3368601\n";
    const std::string inches = " 10\n1\n 20\n-0.5\n 40\n0.25\n 50\n0.25\n210\n0\n220\n0\n230\n1\n";
    const std::string codePage = "  1\n5\xB0 \\U+03A9\n";
    const std::string utf8 = "  1\n5\xC2\xB0 \xCE\xA9\n";
    const struct {
        DxfVersion version;
        std::string acad;
        std::string expected;
    } cases[] = {
        {DxfVersion::R12, "AC1009", inches + codePage},
        {DxfVersion::R2000, "AC1015", structure + inches + codePage},
        {DxfVersion::R2004, "AC1018", structure + trueColour + inches + codePage},
        {DxfVersion::R2007, "AC1021", structure + trueColour + inches + utf8},
        {DxfVersion::R2010, "AC1024", structure + trueColour + inches + utf8},
        {DxfVersion::R2013, "AC1027", structure + trueColour + inches + utf8},
        {DxfVersion::R2018, "AC1032", structure + trueColour + inches + utf8},
    };
    for (const auto& c : cases) {
        const cadlib::DxfTarget target{c.version};
        EXPECT_EQ(WrittenFor(target), c.expected) << c.acad;
        EXPECT_EQ(target.AcadVersion(), c.acad);
    }
}

TEST(DxfTargetTest, MillimetresScalePlacesAndLengthsOnly) {
    cadlib::DxfTarget target;
    target.unitScale = cadlib::kMillimetres;
    const std::string written = WrittenFor(target);
    // Places and lengths times 25.4; an angle, a direction and the rest as they are.
    EXPECT_NE(written.find(" 10\n25.4\n 20\n-12.7\n 40\n6.35\n 50\n0.25\n210\n0\n220\n0\n230\n1\n"),
              std::string::npos)
        << written;
    EXPECT_TRUE(target.Millimetres());
}

} // namespace

#include "hatch/pattern_library.h"

#include "cadlib/fill_line.h"
#include "hatch/patterns.h"
#include "platform/replacing_file.h"

#include <charconv>
#include <cstdio>
#include <iterator>

namespace hatch {

namespace {

// Shortest text that reads back to the same double; -0 is 0.
void AppendNumber(std::string& out, double value) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value == 0 ? 0.0 : value);
    out.append(digits, result.ptr);
}

// One family as a .pat line: the same reading of the record as the DXF
// writer's, so dashes, gaps, dots and continuous lines mean the same in both.
void AppendFamily(std::string& out, const KqFillLine& record) {
    const cadlib::FillLineValues line = cadlib::ReadFillLine(record);
    const double s = line.scale;
    const double values[] = {line.angle, line.baseX * s, line.baseY * s, line.offsetAlong * s,
                             line.offsetAcross * s};
    AppendNumber(out, values[0]);
    for (size_t i = 1; i < std::size(values); ++i) {
        out += ", ";
        AppendNumber(out, values[i]);
    }
    for (int i = 0; i < line.dashCount; ++i) {
        out += ", ";
        AppendNumber(out, line.dashes[i] * s);
    }
    out += '\n';
}

} // namespace

std::string PatternLibraryText() {
    const PatternTable& table = Patterns();
    std::string text = ";; kq.pat - the hatch patterns of plotdxf (kqhatch.pat) for CAD programs\n"
                       ";; Put this file on the CAD program's support path; hatches in plotdxf\n"
                       ";; drawings name these patterns. Units: inches.\n"
                       ";%UNITS=INCH\n";
    for (int n = 1; n <= kMaxPatterns; ++n) {
        if (table.PatternLineCount[n] <= 0) continue;
        text += '*';
        text += table.PatternNames[n];
        text += ", ";
        text += table.PatternDescriptions[n];
        text += '\n';
        for (int g = 1; g <= table.PatternLineCount[n]; ++g)
            AppendFamily(text, FillLineOf(n, g));
    }
    return text;
}

std::string WritePatternLibrary(const std::string& path) {
    std::string error;
    platform::ReplaceFileWith(path, platform::FileKind::PatternFile, PatternLibraryText(), error);
    return error;
}

} // namespace hatch

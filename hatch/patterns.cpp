// Hatch pattern file, name tables and pattern selection.
#include "hatch/patterns.h"

#include "cadlib/kq.h"
#include "platform/module_state.h"
#include "platform/numbers.h"
#include "platform/runtime_error.h"
#include "platform/text_file.h"
#include "platform/warnings.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <memory>
#include <string_view>

namespace hatch {

namespace {

using platform::TextFileReader;

// Pattern numbers are positions in the file; these tables give them names.
constexpr const char* kWellPatternNames[] = {
    "",          "WELL_FILL",   "WELL_GROUT",  "WELL_SEAL",  "WELL_FILTER",
    "WELL_PACK", "WELL_SCREEN", "SAMP_COND2",  "SAMP_COND3", "SAMP_COND4",
    "CUTT_FINE", "CUTT_MED",    "CUTT_COARSE", "QUICKSOIL",
};
constexpr const char* kSoilPatternCodes[] = {
    "FB", "GW", "GP", "GM", "GC", "SW", "SP", "SM", "SC", "ML", "MH", "CL", "CH", "PT", "AR", "LS",
    "LC", "DO", "SH", "CO", "SS", "MS", "SL", "CG", "BR", "MA", "MB", "GT", "VL", "GR", "ME", "QU",
};
static_assert(std::size(kWellPatternNames) ==
              std::tuple_size_v<decltype(PatternTable::WellPatternNames)>);
static_assert(std::size(kSoilPatternCodes) ==
              std::tuple_size_v<decltype(PatternTable::SoilPatternCodes)>);

// Soil code i selects pattern i + 20; code 0 is "FB".
constexpr int kSoilPatternBase = 20;
constexpr std::string_view kNamePrefix = "KQ_";
// The longest pattern name CAD programs load from a .pat file.
constexpr size_t kMaxNameLength = 31;
constexpr int kValuesPerLine = 7;
// A "*" line behind a UTF-8 byte-order mark, as Windows-1252 reads it.
constexpr std::string_view kMarkedPatternLine = "\u00EF\u00BB\u00BF*";
// A file line is one dash and one gap: the library uses the first two dash values.
constexpr int32_t kDashValuesUsed = 2;

// The pattern file is edited by hand: every error names the line to look at.
[[noreturn]] void Fail(const TextFileReader& file, long line, int number, std::string_view why) {
    platform::Raise(number, file.NameAndLine(line) + ": " + std::string(why));
}

// A file saved with line feeds alone is one long line to a reader that ends
// lines at carriage returns only: its end comes before the first count.
constexpr std::string_view kLineFeedHint =
    " (its lines end with a line feed alone, and this reader ends lines at carriage returns: "
    "save the file with CR LF line ends)";

// `line` holds the line read last; its text tells whether the file's line ends
// were read as text.
void ReadLine(TextFileReader& file, std::string& line, std::string_view missing) {
    if (file.AtEnd()) {
        const bool lineFeedsAsText = line.find('\n') != std::string::npos;
        Fail(file, file.LineNumber() + 1, platform::kInputPastEnd,
             std::string(missing).append(lineFeedsAsText ? kLineFeedHint : ""));
    }
    file.ReadLine(line);
}

template <typename Convert>
auto ConvertOnLine(const TextFileReader& file, std::string_view why, Convert convert) {
    try {
        return convert();
    } catch (const platform::RuntimeError& error) {
        Fail(file, file.LineNumber(), error.Number(), why);
    }
}

double NumberOnLine(const TextFileReader& file, std::string_view text) {
    return ConvertOnLine(file, "a value is beyond the range of numbers",
                         [text] { return platform::LeadingNumber(text); });
}

// Values 1 to 6 end at a comma; value 7 is whatever number follows the sixth
// comma (a further comma ends it, so an eighth value is ignored).
void ReadValues(const TextFileReader& file, std::string_view rest, std::array<double, 8>& values) {
    for (int k = 1; k < kValuesPerLine; ++k) {
        const size_t comma = rest.find(',');
        if (comma == std::string_view::npos) {
            Fail(file, file.LineNumber(), platform::kInvalidArgument,
                 "a pattern line needs seven values separated by commas");
        }
        values[k] = NumberOnLine(file, rest.substr(0, comma));
        rest.remove_prefix(comma + 1);
    }
    values[kValuesPerLine] = NumberOnLine(file, rest);
}

// The count is read and converted before it is stored, so a 101st pattern
// fails on its count line, after the file-end and overflow checks.
void ReadPattern(TextFileReader& file, std::string& line, int n, PatternTable& table) {
    const std::string header = line.substr(1);
    ReadLine(file, line, "the file ends before the pattern's line count");
    const int16_t count = ConvertOnLine(file, "the line count is beyond the 16-bit range", [&] {
        return platform::ToInt16(platform::LeadingNumber(line));
    });
    if (n > kMaxPatterns) {
        Fail(file, file.LineNumber(), platform::kSubscriptOutOfRange,
             "the file holds more than 100 patterns");
    }
    table.PatternLineCount[n] = count;
    // Kept raw until the name tables are filled: NamePatterns finishes them.
    table.PatternNames[n] = header;
    for (int g = 1; g <= count; ++g) {
        ReadLine(file, line, "the file ends before the pattern's last line");
        if (g > kMaxPatternLines) {
            Fail(file, file.LineNumber(), platform::kSubscriptOutOfRange,
                 "a pattern has more than 50 lines");
        }
        ReadValues(file, line, table.PatternValues[n][g]);
    }
}

} // namespace

PatternTable& Patterns() {
    return platform::ModuleState<PatternTable, platform::StateScope::Process>();
}

CurrentPattern& Current() {
    return platform::ModuleState<CurrentPattern, platform::StateScope::CommandFile>();
}

namespace {

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Upper case; any character a CAD program refuses in a pattern name is '_'.
std::string CleanPatternName(std::string_view name) {
    std::string clean;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
        clean += (std::isalnum(u) && u < 0x80) || u == '-' ? static_cast<char>(u) : '_';
    }
    return clean;
}

// Descriptions are one line of plain text.
std::string CleanDescription(std::string_view text) {
    std::string clean(Trimmed(text));
    for (char& c : clean) {
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    }
    return clean;
}

// The table name of pattern n: "" when the tables give it none.
std::string_view TableName(const PatternTable& table, int n) {
    if (n >= 1 && n < static_cast<int>(table.WellPatternNames.size())) {
        return table.WellPatternNames[n];
    }
    const int soil = n - kSoilPatternBase;
    if (soil >= 0 && soil < static_cast<int>(table.SoilPatternCodes.size())) {
        return table.SoilPatternCodes[soil];
    }
    return {};
}

// Turns the raw "*" line texts that ReadPattern kept into the names and
// descriptions of PatternTable; a name taken by an earlier pattern gets the
// pattern's number as a suffix.
void NamePatterns(PatternTable& table) {
    for (int n = 1; n <= kMaxPatterns; ++n) {
        const std::string header = std::move(table.PatternNames[n]);
        const size_t comma = header.find(',');
        std::string name = CleanPatternName(Trimmed(std::string_view(header).substr(0, comma)));
        if (name.empty()) name = TableName(table, n);
        if (name.empty()) name = std::string("PATTERN_").append(std::to_string(n));
        std::string full = std::string(kNamePrefix).append(name);
        full.resize(std::min(full.size(), kMaxNameLength));
        const auto taken = [&](const std::string& candidate) {
            return std::find(table.PatternNames.begin() + 1, table.PatternNames.begin() + n,
                             candidate) != table.PatternNames.begin() + n;
        };
        if (taken(full)) {
            const std::string suffix = std::string("_").append(std::to_string(n));
            full.resize(std::min(full.size(), kMaxNameLength - suffix.size()));
            full += suffix;
        }
        table.PatternNames[n] = full;
        const std::string description =
            comma == std::string::npos ? "" : CleanDescription(header.substr(comma + 1));
        table.PatternDescriptions[n] = description.empty() ? name : description;
    }
}

// The whole file into a table of its own: the table in use changes only
// once a file has been read to its end without an error.
std::unique_ptr<PatternTable> ReadPatternFile(TextFileReader& file) {
    auto table = std::make_unique<PatternTable>();
    std::string line;
    int n = 0;
    // At least one line is read, so an empty file is an error.
    do {
        ReadLine(file, line, "the file is empty");
        if (!line.empty() && line[0] == '*') ReadPattern(file, line, ++n, *table);
        // Read as text, the mark hides the '*' of a first line that has it.
        if (file.LineNumber() == 1 && line.starts_with(kMarkedPatternLine)) {
            platform::TellWarning(platform::PatternFileBom(file.Name()));
        }
    } while (!file.AtEnd());

    std::copy(std::begin(kWellPatternNames), std::end(kWellPatternNames),
              table->WellPatternNames.begin());
    std::copy(std::begin(kSoilPatternCodes), std::end(kSoilPatternCodes),
              table->SoilPatternCodes.begin());
    NamePatterns(*table);
    return table;
}

// The command files' rules for line ends and the mark; Windows-1252 always.
platform::TextRules PatternFileRules(const platform::TextRules& rules) {
    return {platform::TextEncoding::Windows1252, rules.lineFeedEndsLine,
            rules.byteOrderMarkSelectsUtf8, rules.maxLineLength};
}

} // namespace

// Errors are not caught here: the start-up ends the program on them.
void LoadHatchPatterns(const std::string& patternFile, const platform::TextRules& rules) {
    TextFileReader file(patternFile, PatternFileRules(rules));
    std::unique_ptr<PatternTable> table = ReadPatternFile(file);
    table->PatternFile = patternFile;
    Patterns() = std::move(*table);
}

void LoadHatchPatternsFromText(std::string_view contents, const platform::TextRules& rules) {
    TextFileReader file =
        TextFileReader::FromText(kPatternFileName, contents, PatternFileRules(rules));
    Patterns() = std::move(*ReadPatternFile(file));
}

void SelectFillPattern(std::string& name) {
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    name.erase(0, std::min(name.find_first_not_of(' '), name.size()));
    name.erase(name.find_last_not_of(' ') + 1);
    const std::string asGiven = name;

    const PatternTable& table = Patterns();
    double number = 0; // a name found in no table selects pattern 0, which has no lines
    if (name == "FB") {
        number = kSoilPatternBase;
    } else if (!name.empty() && name[0] == 'F') {
        name.erase(0, 1);
        number = platform::LeadingNumber(name) + kSoilPatternBase;
    } else if (const auto well = std::find(table.WellPatternNames.begin() + 1,
                                           table.WellPatternNames.end(), name);
               well != table.WellPatternNames.end()) {
        number = well - table.WellPatternNames.begin();
    } else if (const auto soil = std::find(table.SoilPatternCodes.begin() + 1,
                                           table.SoilPatternCodes.end(), name);
               soil != table.SoilPatternCodes.end()) {
        number = (soil - table.SoilPatternCodes.begin()) + kSoilPatternBase;
    }

    CurrentPattern& current = Current();
    current.FillPatternNo = platform::ToSingle(number);
    const int32_t n = platform::ToInt32(number);
    if (n < 0 || n > kMaxPatterns) {
        platform::Raise(platform::kSubscriptOutOfRange, "no fill pattern " + std::to_string(n));
    }
    current.FillLineCount = table.PatternLineCount[n];
    current.FillPatternName = table.PatternNames[n];
    if (current.FillLineCount == 0 && !asGiven.empty()) {
        platform::TellWarning(platform::UnknownPattern(asGiven, number));
    }
    for (int g = 1; g <= current.FillLineCount; ++g)
        current.FillLines[g - 1] = FillLineOf(n, g);
}

KqFillLine FillLineOf(int n, int g) {
    const std::array<double, 8>& v = Patterns().PatternValues[n][g];
    KqFillLine line;
    kq_set_fill_pattern(v[1], v[2], v[3], v[4], v[5], v[6], v[7], 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0,
                        kDashValuesUsed, 1.0, line);
    return line;
}

} // namespace hatch

// Hatch patterns: the pattern file, the name tables and the current pattern
// that hatched fills use.
#pragma once

#include "cadlib/records.h"
#include "platform/text_file.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace hatch {

inline constexpr int kMaxPatterns = 100;
inline constexpr int kMaxPatternLines = 50;
inline constexpr const char* kPatternFileName = "kqhatch.pat";

struct PatternTable {
    std::array<int16_t, kMaxPatterns + 1> PatternLineCount{};
    // [pattern][line][value 1..7]; line 0 and value 0 unused.
    std::array<std::array<std::array<double, 8>, kMaxPatternLines + 1>, kMaxPatterns + 1>
        PatternValues{};
    std::array<std::string, 14> WellPatternNames;
    std::array<std::string, 32> SoilPatternCodes;
    // What a CAD user sees: "KQ_" and the name on the pattern's "*" line
    // ("*CL, lean clay" -> "KQ_CL"), else its name in the tables above, else
    // "KQ_PATTERN_n"; unique, at most 31 characters of A-Z, 0-9, '_' and '-'.
    // The description is the rest of the "*" line (the name when there is none).
    std::array<std::string, kMaxPatterns + 1> PatternNames;
    std::array<std::string, kMaxPatterns + 1> PatternDescriptions;
    std::string PatternFile; // the file the patterns were read from, as it was opened
};

struct CurrentPattern {
    float FillPatternNo = 0;
    int16_t FillLineCount = 0;
    std::array<KqFillLine, kMaxPatternLines + 1> FillLines{};
    std::string FillPatternName; // PatternNames of the current pattern
};

PatternTable& Patterns();
CurrentPattern& Current();

// Reads the pattern file `patternFile` (relative names from the current
// folder) and fills the name tables. Line ends and the byte-order mark follow
// `rules` as for command files; the bytes are Windows-1252 unless a mark
// selects UTF-8. All or nothing: a file that fails leaves the patterns in use
// as they were.
void LoadHatchPatterns(const std::string& patternFile, const platform::TextRules& rules = {});
// The same reading of `contents` held in memory.
void LoadHatchPatternsFromText(std::string_view contents, const platform::TextRules& rules = {});
// Selects the pattern named by `name` (upper-cased and trimmed in place).
void SelectFillPattern(std::string& name);
// Line g of pattern n as the fill-line record the library takes.
KqFillLine FillLineOf(int n, int g);

} // namespace hatch

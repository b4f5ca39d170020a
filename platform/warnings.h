// Every warning the programs give, in one list: a short stable name that
// scripts, the user guide and the manual page use, and what it means; the
// text of each occurrence is made here too. A warning says what is likely
// wrong (its fault) and what the program made of it (its outcome).
//
// A warning is told through the teller of the file it concerns: the
// teller names its line, turns it into an error under strict rules, and
// keeps a file's warnings to a hundred lines. The code that has no teller of
// its own (the builders, the pattern selection) tells the teller of the file
// being read (TellWarning).
//
// To add a warning: an enumerator, its row in the list (warnings.cpp), and a
// function below that makes its text; the user guide and the manual page
// name it (a test checks).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

enum class WarningKind : uint8_t {
    UnknownCommand,
    LeadingBlanks,
    NoTab,
    TextAfterTab,
    NulByte,
    InvalidUtf8,
    Utf8ReadAsCp1252,
    LongLine,
    DecimalComma,
    UnknownPattern,
    TextTooLong,
    DrawsNothing,
    OffPage,
    PatternFileBom,
    HatchTooDense,
    HatchTooManyLines,
    HatchTooMuchWork,
    HatchLineLeftOut,
    SolidFillTooMuchWork,
    LineweightDropped,
};

struct WarningEntry {
    WarningKind kind;
    std::string_view name;    // stable: scripts may look for it
    std::string_view meaning; // one sentence, as the documentation says it
};

// The whole list, in the order of WarningKind.
std::span<const WarningEntry> WarningList();
std::string_view WarningName(WarningKind kind);

struct Warning {
    WarningKind kind;
    std::string fault;   // what is likely wrong
    std::string outcome; // what the program made of it; empty when the fault says it
};

// "fault: outcome [name]", as a warning line ends.
std::string WarningText(const Warning& warning);
// "fault [name]": the detail of the error a warning becomes under strict rules.
std::string StrictDetail(const Warning& warning);

// `text` in quotes for a message, cut short after a few words.
std::string Quoted(std::string_view text);

// The occurrences, by kind.
Warning UnknownCommand(std::string_view name);
// `outcome`: what becomes of the line (skipped, or the command before it again).
Warning LeadingBlanks(std::string_view line, std::string outcome);
Warning NoTab(std::string_view line, std::string_view commandBefore);
Warning TextAfterTab(std::string_view text);
Warning NulByte(long field);
Warning InvalidUtf8(size_t bytes);
Warning Utf8ReadAsCp1252();
Warning LongLine(size_t bound, uint64_t dropped);
Warning DecimalComma(std::string_view field, double readAs);
Warning UnknownPattern(std::string_view name, double number);
Warning TextTooLong(size_t length, size_t dropped);
Warning DrawsNothing();
// `onPage`: the share of the drawing's extents that lies on the page, 0 to 1.
Warning OffPage(double onPage, double pageWidth, double pageHeight);
// `patternFile`: the pattern file, whose line 1 it is.
Warning PatternFileBom(std::string_view patternFile);
Warning HatchTooDense(std::string_view pattern, std::string_view outcome);
// What becomes of a hatch past a bound on its lines: a HATCH entity; left
// out, too dense for a HATCH entity as well; or left out, the DXF version
// having no HATCH.
enum class PastBound : uint8_t { HatchEntity, TooDense, NoHatch };
// Past the bound on the lines of all the hatches of the drawing, or on the
// work of cutting one hatch or all of them.
Warning HatchTooManyLines(std::string_view pattern, uint64_t bound, PastBound outcome);
Warning HatchTooMuchWork(std::string_view pattern, uint64_t steps, bool wholeDrawing,
                         PastBound outcome);
Warning HatchLineLeftOut(std::string_view pattern, uint32_t family);
// A solid fill that a DXF version without HATCH writes as pieces, past the
// bound on cutting one fill (`points`: its outline's, 0 for a circle) or all
// of them.
Warning SolidFillTooMuchWork(size_t points, uint64_t steps, bool wholeDrawing);
// `widest`: the widest pen of the drawing, in hundredths of an inch.
Warning LineweightDropped(std::string_view version, int32_t widest);

// At most this many warnings of one file are told; one line counts the rest.
inline constexpr size_t kMostWarningsTold = 100;

class WarningTeller {
  public:
    // `sink` writes one warning line about line `line` of the file (0: the
    // file as a whole).
    using Sink = std::function<void(long line, const std::string& text)>;
    WarningTeller(Sink sink, bool strict) : sink_(std::move(sink)), strict_(strict) {}

    // A warning found while reading line `line`: told, or under strict rules
    // raised as error 5, which ends the reading there.
    void Tell(long line, const Warning& warning);
    // A warning known once the drawing is built: told, and under strict rules
    // counted as an error (StrictErrors).
    void TellAfterDrawing(long line, const Warning& warning);
    // `count` more warnings of the file, made but not kept where they were found.
    void Drop(uint64_t count);
    // The one line that says how many warnings were not told, if any were not.
    void Finish();

    bool Strict() const { return strict_; }
    uint64_t StrictErrors() const { return strictErrors_; }

  private:
    void Write(long line, const Warning& warning);

    Sink sink_;
    bool strict_;
    uint64_t told_ = 0; // every warning, told or not
    uint64_t strictErrors_ = 0;
};

// While it lives, TellWarning tells `teller`, at the line `line` gives.
class WarningTarget {
  public:
    WarningTarget(WarningTeller& teller, std::function<long()> line);
    ~WarningTarget();
    WarningTarget(const WarningTarget&) = delete;
    WarningTarget& operator=(const WarningTarget&) = delete;

  private:
    WarningTeller* previousTeller_;
    std::function<long()> previousLine_;
};

// Tells the teller of the file being read, at its line; without one, the
// warning goes to Warn.
void TellWarning(const Warning& warning);

} // namespace platform

#include "platform/warnings.h"

#include "platform/message_box.h"
#include "platform/runtime_error.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace platform {

namespace {

using enum WarningKind;

constexpr WarningEntry kWarnings[] = {
    {UnknownCommand, "unknown-command",
     "the command name is in no table (names are case-sensitive), or the line starts with a "
     "TAB: the line is skipped"},
    {LeadingBlanks, "leading-blanks",
     "blanks stand before the command name: the line is skipped, or, without a TAB, the "
     "command before it runs again"},
    {NoTab, "no-tab",
     "the line has no TAB, an empty line included: the command before it runs again"},
    {TextAfterTab, "text-after-tab",
     "text follows the last TAB, so it is in no field: it is ignored"},
    {NulByte, "nul-byte", "a NUL byte stands in a field: the field's text ends at it"},
    {InvalidUtf8, "invalid-utf8",
     "under UTF-8, bytes that encode no character: each is read as '?'"},
    {Utf8ReadAsCp1252, "utf8-read-as-cp1252",
     "the command file is UTF-8 but is read as Windows-1252, so each character beyond ASCII "
     "becomes two or three; told once, at the first such line"},
    {LongLine, "long-line",
     "the line is longer than 64 KiB: the bytes past that bound are dropped"},
    {DecimalComma, "decimal-comma",
     "a number field holds a comma between digits (0,25): the number ends at the comma"},
    {UnknownPattern, "unknown-pattern",
     "FPF names no pattern, or a pattern number the pattern file holds no lines for: later "
     "hatched fills draw their outline only"},
    {TextTooLong, "text-too-long",
     "a text is longer than the 250 characters a DXF text may hold: its end is dropped"},
    {DrawsNothing, "draws-nothing",
     "a drawing command builds nothing, as an arc too flat to have a centre (ARCR 1 1e30) or "
     "a circle of radius 0"},
    {OffPage, "off-page", "less than half of the drawing's extents lies on the 8.5 x 11 inch page"},
    {PatternFileBom, "pattern-file-bom",
     "the pattern file starts with a UTF-8 byte-order mark, which the classic reading takes "
     "as text: its first pattern is not read and every later one moves up by one"},
    {HatchTooDense, "hatch-too-dense",
     "a hatch pattern repeats too often across its area for DXF readers' HATCH entities: it "
     "is written as its lines, or left out"},
    {HatchTooManyLines, "hatch-too-many-lines",
     "all the hatches of the drawing would be more lines than the bound: it is "
     "written as a HATCH entity, or left out"},
    {HatchTooMuchWork, "hatch-too-much-work",
     "cutting a hatch, or all the drawing's hatches, into lines would take more work than the "
     "bound: it is written as a HATCH entity, or left out"},
    {HatchLineLeftOut, "hatch-line-left-out",
     "a line of a hatch pattern cannot be drawn (its spacing, dashes or base point): it is "
     "left out of the hatch"},
    {SolidFillTooMuchWork, "solid-fill-too-much-work",
     "cutting a solid fill into the four-cornered pieces an R12 drawing fills with would take "
     "more work than the bound: its outline is written instead"},
    {LineweightDropped, "lineweight-dropped",
     "the drawing has pens wider than the thinnest and the DXF version holds no lineweights: "
     "every line is written as thin; told once a drawing"},
};

constexpr bool ListFollowsTheKinds() {
    for (size_t i = 0; i < std::size(kWarnings); ++i) {
        if (static_cast<size_t>(kWarnings[i].kind) != i) return false;
    }
    return std::size(kWarnings) == static_cast<size_t>(LineweightDropped) + 1;
}
static_assert(ListFollowsTheKinds(), "one row per WarningKind, in its order");

std::string Number(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return {buffer, result.ptr};
}

std::string Count(uint64_t n, std::string_view one, std::string_view many) {
    return std::to_string(n).append(" ").append(n == 1 ? one : many);
}

constexpr std::string_view kNoField = " (every field ends with a TAB)";

std::string RunsAgain(std::string_view commandBefore) {
    return commandBefore.empty()
               ? std::string("the line is skipped")
               : Quoted(commandBefore).append(", the command before it, runs again");
}

// The fault of a hatch past a bound, with the pattern's density when that
// keeps it from a HATCH entity too, and what becomes of it.
Warning PastBoundWarning(WarningKind kind, std::string fault, PastBound outcome,
                         std::string_view pattern) {
    if (outcome == PastBound::TooDense) {
        fault.append(" and the hatch pattern ")
            .append(pattern)
            .append(" repeats too often across its area for DXF readers");
    }
    return {kind, std::move(fault),
            outcome == PastBound::HatchEntity ? "it is written as a HATCH entity"
            : outcome == PastBound::TooDense  ? "it is left out"
                                              : "it is left out, as the DXF version has no HATCH"};
}

struct Target {
    WarningTeller* teller = nullptr;
    std::function<long()> line;
};

Target& CurrentTarget() {
    static Target target;
    return target;
}

} // namespace

std::span<const WarningEntry> WarningList() {
    return kWarnings;
}

std::string_view WarningName(WarningKind kind) {
    return kWarnings[static_cast<size_t>(kind)].name;
}

std::string WarningText(const Warning& warning) {
    std::string text = warning.fault;
    if (!warning.outcome.empty()) text.append(": ").append(warning.outcome);
    return text.append(" [").append(WarningName(warning.kind)).append("]");
}

std::string StrictDetail(const Warning& warning) {
    return warning.fault + " [" + std::string(WarningName(warning.kind)) + "]";
}

std::string Quoted(std::string_view text) {
    constexpr size_t kShown = 40;
    size_t end = std::min(text.size(), kShown);
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        ++end; // never half a character
    std::string quoted(1, '\'');
    quoted.append(text.substr(0, end));
    if (end < text.size()) quoted.append("...");
    quoted.push_back('\'');
    return quoted;
}

Warning UnknownCommand(std::string_view name) {
    return {WarningKind::UnknownCommand,
            name.empty() ? std::string("no command name") : "unknown command " + Quoted(name),
            "the line is skipped"};
}

Warning LeadingBlanks(std::string_view line, std::string outcome) {
    return {WarningKind::LeadingBlanks, Quoted(line).append(" has blanks before its command name"),
            std::move(outcome)};
}

Warning NoTab(std::string_view line, std::string_view commandBefore) {
    return {WarningKind::NoTab,
            line.empty() ? std::string("an empty line")
                         : Quoted(line).append(" has no TAB").append(kNoField),
            RunsAgain(commandBefore)};
}

Warning TextAfterTab(std::string_view text) {
    return {WarningKind::TextAfterTab,
            Quoted(text).append(" after the last TAB is no field").append(kNoField),
            "it is ignored"};
}

Warning NulByte(long field) {
    return {WarningKind::NulByte, "a NUL byte in field " + std::to_string(field),
            "the field's text ends at it"};
}

Warning InvalidUtf8(size_t bytes) {
    return {WarningKind::InvalidUtf8, Count(bytes, "byte is", "bytes are") + " no UTF-8",
            bytes == 1 ? "it is read as '?'" : "each is read as '?'"};
}

Warning Utf8ReadAsCp1252() {
    return {WarningKind::Utf8ReadAsCp1252,
            "this line is UTF-8, and the file is read as Windows-1252",
            "each character beyond ASCII becomes two or three (--encoding utf-8 reads it as "
            "UTF-8)"};
}

Warning LongLine(size_t bound, uint64_t dropped) {
    return {WarningKind::LongLine, "the line is longer than " + Count(bound, "byte", "bytes"),
            "the " + Count(dropped, "byte", "bytes") + " after them are dropped"};
}

Warning DecimalComma(std::string_view field, double readAs) {
    return {WarningKind::DecimalComma, Quoted(field).append(" has a decimal comma"),
            "read as " + Number(readAs)};
}

Warning UnknownPattern(std::string_view name, double number) {
    return {WarningKind::UnknownPattern,
            number == 0 ? Quoted(name).append(" names no hatch pattern")
                        : Quoted(name)
                              .append(" is pattern ")
                              .append(Number(number))
                              .append(", which has no lines in the pattern file"),
            "hatched fills draw their outline only"};
}

Warning TextTooLong(size_t length, size_t dropped) {
    return {WarningKind::TextTooLong,
            "a text of " + std::to_string(length) + " characters is longer than a DXF text may be",
            Count(dropped, "character was", "characters were") + " dropped from its end"};
}

Warning DrawsNothing() {
    return {WarningKind::DrawsNothing,
            "the command builds nothing: its shape has no size the drawing can hold (an arc "
            "too flat to have a centre, a radius of 0, a point beyond the range of numbers)",
            ""};
}

Warning OffPage(double onPage, double pageWidth, double pageHeight) {
    const std::string page = Number(pageWidth) + " x " + Number(pageHeight) + " inch page";
    if (onPage <= 0) return {WarningKind::OffPage, "the drawing lies wholly off the " + page, ""};
    const int percent = static_cast<int>(std::floor(onPage * 100));
    return {WarningKind::OffPage,
            "the drawing lies mostly off the " + page + ": " +
                (percent < 1 ? std::string("less than 1") : std::to_string(percent)) +
                "% of its extents are on it",
            ""};
}

Warning PatternFileBom(std::string_view patternFile) {
    return {WarningKind::PatternFileBom,
            "line 1 of " + std::string(patternFile) +
                ", the first pattern's '*' line, starts with a UTF-8 byte-order mark",
            "that pattern is not read, and every later pattern's number is one less (save the "
            "file without the mark)"};
}

Warning HatchTooDense(std::string_view pattern, std::string_view outcome) {
    return {WarningKind::HatchTooDense,
            "the hatch pattern " + std::string(pattern) +
                " repeats too often across its area for DXF readers",
            std::string(outcome)};
}

Warning HatchTooManyLines(std::string_view pattern, uint64_t bound, PastBound outcome) {
    std::string fault = "the hatches of the drawing would be more than " + std::to_string(bound) +
                        " lines with pattern " + std::string(pattern);
    return PastBoundWarning(WarningKind::HatchTooManyLines, std::move(fault), outcome, pattern);
}

Warning HatchTooMuchWork(std::string_view pattern, uint64_t steps, bool wholeDrawing,
                         PastBound outcome) {
    std::string fault =
        wholeDrawing ? "cutting the hatches of the drawing into lines would take more than " +
                           std::to_string(steps) + " steps at pattern " + std::string(pattern)
                     : "cutting the hatch of pattern " + std::string(pattern) +
                           " into lines would take more than " + std::to_string(steps) + " steps";
    return PastBoundWarning(WarningKind::HatchTooMuchWork, std::move(fault), outcome, pattern);
}

Warning HatchLineLeftOut(std::string_view pattern, uint32_t family) {
    return {WarningKind::HatchLineLeftOut,
            "line " + std::to_string(family) + " of the hatch pattern " + std::string(pattern) +
                " is left out: its spacing, dashes or base point cannot be drawn",
            ""};
}

Warning SolidFillTooMuchWork(size_t points, uint64_t steps, bool wholeDrawing) {
    const std::string fill = points == 0 ? std::string("a filled circle")
                                         : "a solid fill of " + Count(points, "point", "points");
    return {WarningKind::SolidFillTooMuchWork,
            wholeDrawing ? "cutting the solid fills of the drawing into pieces would take more "
                           "than " +
                               std::to_string(steps) + " steps at " + fill
                         : "cutting " + fill + " into pieces would take more than " +
                               std::to_string(steps) + " steps",
            "its outline is written instead"};
}

Warning LineweightDropped(std::string_view version, int32_t widest) {
    return {WarningKind::LineweightDropped,
            "DXF " + std::string(version) + " holds no lineweights, and the drawing has pens " +
                "up to " + Number(widest / 100.0) + " inch wide",
            "every line is written as thin"};
}

void WarningTeller::Write(long line, const Warning& warning) {
    if (++told_ <= kMostWarningsTold) sink_(line, WarningText(warning));
}

void WarningTeller::Tell(long line, const Warning& warning) {
    if (strict_) Raise(kInvalidArgument, StrictDetail(warning));
    Write(line, warning);
}

void WarningTeller::TellAfterDrawing(long line, const Warning& warning) {
    if (strict_) ++strictErrors_;
    Write(line, warning);
}

void WarningTeller::Drop(uint64_t count) {
    if (strict_) strictErrors_ += count;
    told_ += count;
}

void WarningTeller::Finish() {
    if (told_ <= kMostWarningsTold) return;
    const uint64_t more = told_ - kMostWarningsTold;
    sink_(0, Count(more, "more warning was", "more warnings were") + " not told");
    told_ = kMostWarningsTold;
}

WarningTarget::WarningTarget(WarningTeller& teller, std::function<long()> line)
    : previousTeller_(CurrentTarget().teller), previousLine_(std::move(CurrentTarget().line)) {
    CurrentTarget() = {&teller, std::move(line)};
}

WarningTarget::~WarningTarget() {
    CurrentTarget() = {previousTeller_, std::move(previousLine_)};
}

void TellWarning(const Warning& warning) {
    const Target& target = CurrentTarget();
    if (target.teller == nullptr) {
        Warn(WarningText(warning));
        return;
    }
    target.teller->Tell(target.line(), warning);
}

} // namespace platform

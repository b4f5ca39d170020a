#include "interpreter/command_file.h"

#include "builder/lines.h"
#include "builder/path.h"
#include "builder/session.h"
#include "builder/shapes.h"
#include "builder/text.h"
#include "hatch/patterns.h"
#include "interpreter/placement.h"
#include "platform/message_box.h"
#include "platform/module_state.h"
#include "platform/numbers.h"
#include "platform/runtime_error.h"
#include "platform/text_file.h"

#include <algorithm>
#include <new>
#include <optional>
#include <unordered_map>

namespace interpreter {

namespace {

using Fields = std::array<std::string, kMaxFields + 1>;

float Single(const Fields& f, int n) {
    return platform::ToSingle(platform::LeadingNumber(f[n]));
}
int16_t Int16(const Fields& f, int n) {
    return platform::ToInt16(platform::LeadingNumber(f[n]));
}
int32_t Int32(const Fields& f, int n) {
    return platform::ToInt32(platform::LeadingNumber(f[n]));
}

// Arguments are read in field order before the operation runs, so the first
// bad field is the one reported.
template <void (*Operation)(float)>
void OneSingle(Fields& f) {
    Operation(Single(f, 2));
}

template <void (*Operation)(float, float)>
void TwoSingles(Fields& f) {
    const float a = Single(f, 2);
    const float b = Single(f, 3);
    Operation(a, b);
}

template <void (*Operation)()>
void NoArguments(Fields&) {
    Operation();
}

void Nothing(Fields&) {}

void TextCommand(Fields& f) {
    if (!f[2].empty()) builder::DrawText(f[2]);
}

void NumberCommand(Fields& f) {
    if (!f[2].empty()) builder::DrawNumber(Single(f, 2));
}

void TextSizeCommand(Fields& f) {
    builder::SetTextSize(platform::ToSingle(platform::LeadingNumber(f[2]) * 0.7));
}

void TextAngleCommand(Fields& f) {
    builder::SetTextAngle(Int16(f, 2));
}
void TextFontCommand(Fields& f) {
    builder::SetTextFont(f[2]);
}
void FillPatternCommand(Fields& f) {
    hatch::SelectFillPattern(f[2]);
}
void LineTypeCommand(Fields& f) {
    builder::SetLineType(Int16(f, 2));
}
void PenWidthCommand(Fields& f) {
    builder::SetPenWidth(Int32(f, 2));
}
void FillPathColourCommand(Fields& f) {
    builder::FillPathColour(f[2]);
}

void FillRectangleColourCommand(Fields& f) {
    const float w = Single(f, 2);
    const float h = Single(f, 3);
    builder::FillRectangleColour(w, h, f[4]);
}

void FillRectangleSolidCommand(Fields& f) {
    const float w = Single(f, 2);
    const float h = Single(f, 3);
    const float s = Single(f, 4);
    builder::FillRectangleSolid(w, h, s);
}

struct Command {
    std::string_view name;
    void (*run)(Fields&);
};

// The command table in dispatch order (names are unique, so the lookup below
// finds the same command a search in this order would).
constexpr Command kCommands[] = {
    {"SH", OneSingle<SH>},
    {"SV", OneSingle<SV>},
    {"A", TextCommand},
    {"AN", NumberCommand},
    {"AL", NoArguments<builder::AlignTextLeft>},
    {"AC", NoArguments<builder::AlignTextCentre>},
    {"AR", NoArguments<builder::AlignTextRight>},
    {"AP", TextSizeCommand},
    {"AD", TextAngleCommand},
    {"AF", TextFontCommand},
    {"ARCR", TwoSingles<builder::DrawArc>},
    {"C", OneSingle<builder::DrawCircle>},
    {"DrawBMP", Nothing},
    {"EF", OneSingle<builder::DrawFilledCircle>},
    {"FPF", FillPatternCommand},
    {"LA", TwoSingles<builder::LineAtAngle>},
    {"LC", Nothing},
    {"LT", LineTypeCommand},
    {"LW", PenWidthCommand},
    {"LR", OneSingle<builder::LineRight>},
    {"LL", OneSingle<builder::LineLeft>},
    {"LD", OneSingle<builder::LineDown>},
    {"LU", OneSingle<builder::LineUp>},
    {"LTO", TwoSingles<builder::LineTo>},
    {"LRTO", TwoSingles<builder::LineRelative>},
    {"PD", OneSingle<builder::PathDown>},
    {"PL", OneSingle<builder::PathLeft>},
    {"PR", OneSingle<builder::PathRight>},
    {"PU", OneSingle<builder::PathUp>},
    {"PTO", TwoSingles<builder::PathTo>},
    {"PRTO", TwoSingles<builder::PathRelative>},
    {"PF", NoArguments<builder::FillPathHatched>},
    {"PFPC", NoArguments<builder::FillPathHatched>},
    {"PFC", FillPathColourCommand},
    {"PFS", OneSingle<builder::FillPathSolid>},
    {"PFW", NoArguments<builder::FillPathWhite>},
    {"RE", TwoSingles<builder::DrawRectangle>},
    {"RF", TwoSingles<builder::FillRectangleHatched>},
    {"RFPC", TwoSingles<builder::FillRectangleHatched>},
    {"RFC", FillRectangleColourCommand},
    {"RFS", FillRectangleSolidCommand},
    {"RFW", TwoSingles<builder::FillRectangleWhite>},
    {"S", TwoSingles<S>},
    {"SA", TwoSingles<SA>},
    {"SR", OneSingle<SR>},
    {"SL", OneSingle<SL>},
    {"SD", OneSingle<SD>},
    {"SU", OneSingle<SU>},
    {"TRI", OneSingle<builder::DrawTriangleUp>},
    {"TRIF", OneSingle<builder::DrawTriangleUp>},
    {"TRID", OneSingle<builder::DrawTriangleDown>},
    {"TRIFD", OneSingle<builder::DrawTriangleDown>},
    {"Z", TwoSingles<Z>},
    {"ZC", NoArguments<ZC>},
    {"ZXY", TwoSingles<ZXY>},
};

const std::unordered_map<std::string_view, void (*)(Fields&)>& CommandIndex() {
    static const auto index = [] {
        std::unordered_map<std::string_view, void (*)(Fields&)> map;
        for (const Command& command : kCommands)
            map.emplace(command.name, command.run);
        return map;
    }();
    return index;
}

// The start state every command file begins with.
void SetInitialState() {
    builder::OpenDrawingSession("P");
    Z(0, 0);
    SV(600);
    SH(600);
    std::string font = "Arial";
    builder::SetTextFont(font);
    builder::SetTextSize(8);
    builder::AlignTextCentre();
}

void ReportError(InterpreterState& state, const platform::RuntimeError& error, long line,
                 bool errorBox) {
    state.ReportedError = error.Number();
    state.ReportedErrorLine = line;
    state.ReportedErrorDetail = error.Detail();
    // The box keeps its classic text; where a box can say more, it names the line.
    if (errorBox) {
        platform::ShowMessage(ErrorReportText(error.Number()), platform::ProgramName(),
                              platform::MessageButtons::Ok,
                              "Stopped at " + WhereInterpretationStopped() +
                                  ". The drawing shows what the lines before it built.");
    }
}

// A line read otherwise than it looks: `fault` says how, `outcome` what the
// reader makes of it when it goes on.
void Tell(const ReadRules& rules, long line, std::string fault, std::string_view outcome) {
    if (rules.checks == LineChecks::Strict) platform::Raise(platform::kInvalidArgument, fault);
    if (rules.warn) rules.warn(line, fault.append(": ").append(outcome));
}

// `text` in quotes for a message, cut short after a few words.
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

// The parts of `line` that the fields leave out.
void CheckLayout(std::string_view line, long number, const ReadRules& rules) {
    const size_t lastTab = line.rfind('\t');
    if (lastTab == std::string_view::npos) {
        const std::string& before = Interpreter().CommandFields[1];
        Tell(rules, number,
             line.empty() ? std::string("an empty line")
                          : Quoted(line).append(" has no TAB (every field ends with a TAB)"),
             before.empty() ? std::string("the line is skipped")
                            : Quoted(before).append(", the command before it, runs again"));
    } else if (lastTab + 1 < line.size()) {
        Tell(rules, number,
             Quoted(line.substr(lastTab + 1))
                 .append(" after the last TAB is no field (every field ends with a TAB)"),
             "it is ignored");
    }
}

// What the reading loses of the characters of a line: a byte that is no UTF-8
// is read as '?', and a NUL byte ends the text of its field (the library
// takes texts up to their first NUL).
void CheckCharacters(std::string_view line, const platform::TextFileReader& file,
                     const ReadRules& rules) {
    const size_t broken = file.BytesWithoutCharacter();
    if (broken > 0 && file.Encoding() == platform::TextEncoding::Utf8) {
        Tell(rules, file.LineNumber(),
             std::to_string(broken) + (broken == 1 ? " byte is" : " bytes are") + " no UTF-8",
             broken == 1 ? "it is read as '?'" : "each is read as '?'");
    }
    const size_t nul = line.find('\0');
    const size_t lastTab = line.rfind('\t');
    // After the last TAB it is in no field, and CheckLayout tells of that text.
    if (nul == std::string_view::npos || lastTab == std::string_view::npos || nul > lastTab) {
        return;
    }
    const auto field =
        1 + std::count(line.begin(), line.begin() + static_cast<ptrdiff_t>(nul), '\t');
    Tell(rules, file.LineNumber(), "a NUL byte in field " + std::to_string(field),
         "the field's text ends at it");
}

} // namespace

InterpreterState& Interpreter() {
    return platform::ModuleState<InterpreterState, platform::StateScope::Drawing>();
}

std::string LineOfFile(long line, const std::string& file) {
    return line > 0 ? "line " + std::to_string(line) + " of " + file : file;
}

std::string WhyInterpretationStopped() {
    const InterpreterState& state = Interpreter();
    if (state.ReportedError == 0) return {};
    std::string why = platform::ErrorDescription(state.ReportedError);
    if (!state.ReportedErrorDetail.empty()) why += ": " + state.ReportedErrorDetail;
    return why;
}

std::string WhereInterpretationStopped(const std::string& file) {
    const InterpreterState& state = Interpreter();
    if (state.ReportedError == 0) return {};
    return LineOfFile(state.ReportedErrorLine, file) + " (" + WhyInterpretationStopped() + ")";
}

std::string WhereInterpretationStopped() {
    return WhereInterpretationStopped(Interpreter().CommandFile);
}

std::vector<FileInUse> FilesRead() {
    std::vector<FileInUse> files;
    const std::string& commands = Interpreter().CommandFile;
    if (!commands.empty()) files.push_back({commands, "the command file being read"});
    const std::string& patterns = hatch::Patterns().PatternFile;
    if (!patterns.empty()) files.push_back({patterns, "the hatch pattern file in use"});
    return files;
}

std::string ErrorReportText(int number) {
    std::string text = "Error";
    if (number >= 0) text += ' ';
    text += std::to_string(number);
    text += " in DXF startdrawing.  Please contact Tarsel";
    return text;
}

std::string_view TextAfter(std::string_view text, size_t position) {
    return position >= text.size() ? std::string_view() : text.substr(position);
}

void SplitFields(std::string_view line) {
    Fields& fields = Interpreter().CommandFields;
    int n = 1;
    for (size_t tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t')) {
        if (n > kMaxFields) platform::Raise(platform::kSubscriptOutOfRange, "a ninth field");
        fields[n].assign(line.data(), tab);
        line = TextAfter(line, tab + 1);
        ++n;
    }
}

bool DispatchCommand() {
    Fields& fields = Interpreter().CommandFields;
    const auto& index = CommandIndex();
    const auto found = index.find(fields[1]);
    if (found == index.end()) return false;
    found->second(fields);
    return true;
}

namespace {

constexpr std::string_view kStop = "STOP";

template <typename OpenCommands>
void RunInterpreter(const std::string& name, OpenCommands open, const ReadRules& rules) {
    InterpreterState& state = Interpreter();
    state = {};
    state.CommandFile = name;
    // A second drawing in one process starts as the first did.
    platform::ResetModuleStates(platform::StateScope::CommandFile);

    // Without a warning of the caller's, warnings go to the platform's sink.
    std::function<void(long, const std::string&)> warn = rules.warn;
    if (!warn) {
        warn = [&name](long line, const std::string& what) {
            platform::Warn(LineOfFile(line, name) + ": " + what);
        };
    }
    std::optional<platform::TextFileReader> file;
    builder::OnTextShortened([&file, &warn](size_t length, size_t dropped) {
        if (!file) return;
        warn(file->LineNumber(), "a text of " + std::to_string(length) +
                                     " characters is longer than a DXF text may be; " +
                                     std::to_string(dropped) +
                                     " characters were dropped from its end");
    });
    try {
        try {
            SetInitialState();
            file.emplace(open());
            std::string line;
            const bool checked = rules.checks != LineChecks::Silent;
            for (;;) {
                file->ReadLine(line);
                if (checked) {
                    CheckLayout(line, file->LineNumber(), rules);
                    CheckCharacters(line, *file, rules);
                }
                builder::AtCommandLine(file->LineNumber());
                SplitFields(line);
                const std::string& name = state.CommandFields[1];
                if (!DispatchCommand() && checked && name != kStop) {
                    Tell(rules, file->LineNumber(),
                         name.empty() ? std::string("no command name")
                                      : "unknown command " + Quoted(name),
                         "the line is skipped");
                }
                if (name == kStop || file->AtEnd()) break;
            }
        } catch (const std::bad_alloc&) {
            platform::Raise(platform::kOutOfMemory, "a command needed more memory than there is");
        }
    } catch (const platform::RuntimeError& error) {
        ReportError(state, error, file ? file->LineNumber() : 0, rules.errorBox);
    }
    builder::OnTextShortened(nullptr);
}

} // namespace

void StartDrawing(const std::string& commandFile) {
    RunInterpreter(
        commandFile, [&commandFile] { return platform::TextFileReader(commandFile); }, ReadRules{});
}

void StartDrawing(platform::TextFileReader commands, const ReadRules& rules) {
    const std::string name = commands.Name();
    RunInterpreter(
        name, [&commands] { return std::move(commands); }, rules);
}

void StartDrawingFromText(std::string_view commands) {
    RunInterpreter(
        kCommandFileName,
        [commands] { return platform::TextFileReader::FromText(kCommandFileName, commands); },
        ReadRules{});
}

} // namespace interpreter

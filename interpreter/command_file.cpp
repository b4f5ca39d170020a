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

// Every number field is read here.
double Number(const Fields& f, int n) {
    const double number = platform::LeadingNumber(f[n]);
    if (platform::StopsAtDecimalComma(f[n])) {
        platform::TellWarning(platform::DecimalComma(f[n], number));
    }
    return number;
}
float Single(const Fields& f, int n) {
    return platform::ToSingle(Number(f, n));
}
int16_t Int16(const Fields& f, int n) {
    return platform::ToInt16(Number(f, n));
}
int32_t Int32(const Fields& f, int n) {
    return platform::ToInt32(Number(f, n));
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
    builder::SetTextSize(platform::ToSingle(Number(f, 2) * 0.7));
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

bool StartsWithBlank(std::string_view line) {
    return !line.empty() && line[0] == ' ';
}

// The parts of `line` that the fields leave out. A line without a TAB runs
// the command before it again (blanks before a name are told as such).
void CheckLayout(std::string_view line, long number, platform::WarningTeller& warnings) {
    const size_t lastTab = line.rfind('\t');
    if (lastTab == std::string_view::npos) {
        const std::string& before = Interpreter().CommandFields[1];
        const bool blanksOnly = line.find_first_not_of(' ') == std::string_view::npos;
        warnings.Tell(number,
                      StartsWithBlank(line) && !blanksOnly
                          ? platform::LeadingBlanks(line, platform::NoTab(line, before).outcome)
                          : platform::NoTab(line, before));
    } else if (lastTab + 1 < line.size()) {
        warnings.Tell(number, platform::TextAfterTab(line.substr(lastTab + 1)));
    }
}

// What the reading loses of the characters of a line: a byte that is no UTF-8
// is read as '?', and a NUL byte ends the text of its field (the library
// takes texts up to their first NUL).
void CheckCharacters(std::string_view line, const platform::TextFileReader& file,
                     platform::WarningTeller& warnings) {
    const long number = file.LineNumber();
    const size_t broken = file.BytesWithoutCharacter();
    if (broken > 0 && file.Encoding() == platform::TextEncoding::Utf8) {
        warnings.Tell(number, platform::InvalidUtf8(broken));
    }
    const size_t nul = line.find('\0');
    const size_t lastTab = line.rfind('\t');
    // After the last TAB it is in no field, and CheckLayout tells of that text.
    if (nul == std::string_view::npos || lastTab == std::string_view::npos || nul > lastTab) {
        return;
    }
    const auto field =
        1 + std::count(line.begin(), line.begin() + static_cast<ptrdiff_t>(nul), '\t');
    warnings.Tell(number, platform::NulByte(field));
}

// A file read as Windows-1252 whose first line beyond ASCII is UTF-8 was
// most likely written as UTF-8: told once, at that line.
class EncodingCheck {
  public:
    void Check(const platform::TextFileReader& file, platform::WarningTeller& warnings) {
        using platform::LineBeyondAscii;
        if (decided_) return;
        const LineBeyondAscii beyond = file.BeyondAscii();
        if (beyond == LineBeyondAscii::No) return;
        decided_ = true;
        if (file.Encoding() == platform::TextEncoding::Windows1252 &&
            beyond == LineBeyondAscii::Utf8) {
            warnings.Tell(file.LineNumber(), platform::Utf8ReadAsCp1252());
        }
    }

  private:
    bool decided_ = false;
};

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

    platform::WarningTeller own(
        [&name](long line, const std::string& what) {
            platform::Warn(LineOfFile(line, name) + ": " + what);
        },
        false);
    platform::WarningTeller& warnings = rules.warnings ? *rules.warnings : own;
    std::optional<platform::TextFileReader> file;
    // The builders' and the patterns' warnings name the line being read.
    const platform::WarningTarget target(warnings,
                                         [&file] { return file ? file->LineNumber() : 0L; });
    try {
        try {
            SetInitialState();
            file.emplace(open());
            std::string line;
            EncodingCheck encoding;
            for (;;) {
                file->ReadLine(line);
                const long number = file->LineNumber();
                if (file->BytesDropped() > 0) {
                    warnings.Tell(number,
                                  platform::LongLine(file->MaxLineLength(), file->BytesDropped()));
                }
                CheckLayout(line, number, warnings);
                CheckCharacters(line, *file, warnings);
                encoding.Check(*file, warnings);
                builder::AtCommandLine(number);
                SplitFields(line);
                const std::string& name = state.CommandFields[1];
                if (!DispatchCommand() && name != kStop && line.find('\t') != std::string::npos) {
                    warnings.Tell(number, StartsWithBlank(name)
                                              ? platform::LeadingBlanks(line, "the line is skipped")
                                              : platform::UnknownCommand(name));
                }
                if (name == kStop || file->AtEnd()) break;
            }
        } catch (const std::bad_alloc&) {
            platform::Raise(platform::kOutOfMemory, "a command needed more memory than there is");
        }
    } catch (const platform::RuntimeError& error) {
        ReportError(state, error, file ? file->LineNumber() : 0, rules.errorBox);
    }
    if (!rules.warnings) own.Finish();
}

} // namespace

void StartDrawing(const std::string& commandFile, const ReadRules& rules) {
    RunInterpreter(
        commandFile, [&] { return platform::TextFileReader(commandFile, rules.text); }, rules);
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

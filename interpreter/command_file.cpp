#include "interpreter/command_file.h"

#include "builder/lines.h"
#include "builder/path.h"
#include "builder/session.h"
#include "builder/shapes.h"
#include "builder/text.h"
#include "hatch/patterns.h"
#include "interpreter/placement.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/runtime_error.h"
#include "platform/text_file.h"

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

void WarnOfShortenedText(const platform::TextFileReader& file, size_t length, size_t dropped) {
    platform::Warn("line " + std::to_string(file.LineNumber()) + " of " + file.Name() +
                   ": a text of " + std::to_string(length) +
                   " characters is longer than a DXF text may be; " + std::to_string(dropped) +
                   " characters were dropped from its end");
}

void ReportError(InterpreterState& state, const platform::RuntimeError& error, long line) {
    state.ReportedError = error.Number();
    state.ReportedErrorLine = line;
    state.ReportedErrorDetail = error.Detail();
    platform::ShowMessage(ErrorReportText(error.Number()), platform::kApplicationTitle);
}

} // namespace

InterpreterState& Interpreter() {
    static InterpreterState state;
    return state;
}

std::vector<platform::FileInUse> FilesRead() {
    return {{kCommandFileName, "the command file being read"},
            {hatch::kPatternFileName, "the hatch pattern file in use"}};
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

void DispatchCommand() {
    Fields& fields = Interpreter().CommandFields;
    const auto& index = CommandIndex();
    const auto found = index.find(fields[1]);
    if (found != index.end()) found->second(fields);
}

namespace {

template <typename OpenCommands>
void RunInterpreter(OpenCommands open) {
    InterpreterState& state = Interpreter();
    state.ReportedError = 0;
    state.ReportedErrorLine = 0;
    state.ReportedErrorDetail.clear();
    for (std::string& field : state.CommandFields)
        field.clear();

    std::optional<platform::TextFileReader> file;
    builder::OnTextShortened([&file](size_t length, size_t dropped) {
        if (file) WarnOfShortenedText(*file, length, dropped);
    });
    try {
        try {
            SetInitialState();
            file.emplace(open());
            std::string line;
            for (;;) {
                file->ReadLine(line);
                SplitFields(line);
                DispatchCommand();
                if (state.CommandFields[1] == "STOP" || file->AtEnd()) break;
            }
        } catch (const std::bad_alloc&) {
            platform::Raise(platform::kOutOfMemory, "a command needed more memory than there is");
        }
    } catch (const platform::RuntimeError& error) {
        ReportError(state, error, file ? file->LineNumber() : 0);
    }
    builder::OnTextShortened(nullptr);
}

} // namespace

void StartDrawing(const std::string& commandFile) {
    RunInterpreter([&commandFile] { return platform::TextFileReader(commandFile); });
}

void StartDrawingFromText(std::string_view commands) {
    RunInterpreter(
        [commands] { return platform::TextFileReader::FromText(kCommandFileName, commands); });
}

} // namespace interpreter

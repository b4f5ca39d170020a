// The plot command interpreter: opens the drawing session, sets the start
// state, then reads the command file line by line, splits each line into
// TAB-terminated fields and carries out its command. One error trap covers
// the whole run: an error is reported and ends the reading.
#pragma once

#include "interpreter/own_files.h"
#include "platform/text_file.h"
#include "platform/warnings.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace interpreter {

inline constexpr const char* kCommandFileName = "tempdxf.txt";
inline constexpr int kMaxFields = 8;

struct InterpreterState {
    // Entry n holds field n of the latest line that had that field; entry 0 is unused.
    std::array<std::string, kMaxFields + 1> CommandFields;
    int ReportedError = 0;      // number of the error that ended the run, 0 when none
    long ReportedErrorLine = 0; // line of the command file it happened on (0: before reading)
    std::string ReportedErrorDetail;
    std::string CommandFile; // the command file being read, as it was opened
};

InterpreterState& Interpreter();

// What becomes of a warning found while reading a line (platform/warnings.h).
enum class LineChecks {
    Warn,   // it is told, and the line is read as always
    Strict, // it is an error (5) that ends the interpretation
};

struct ReadRules {
    platform::TextRules text;
    // The classic message box reports an error; without it the error is only
    // recorded in InterpreterState for the caller to report.
    bool errorBox = true;
    // The teller of the command file's warnings, which the caller keeps to
    // tell more once the drawing is built; none: a teller of the
    // interpretation's own tells platform::Warn "line N of FILE: warning
    // [name]", and ends it at the end of the file.
    platform::WarningTeller* warnings = nullptr;
};

// "line N of FILE", or FILE alone for line 0 (nothing read yet): how
// messages name a line of the command file FILE.
std::string LineOfFile(long line, const std::string& file);

// Why the last interpretation stopped at an error, as "description: detail";
// empty when it reached its end.
std::string WhyInterpretationStopped();

// Where and why the last interpretation stopped at an error, naming the
// command file as `file`: "line N of FILE (description: detail)"; empty when
// it reached its end. Without `file`, the command file as it was opened.
std::string WhereInterpretationStopped(const std::string& file);
std::string WhereInterpretationStopped();

// The files the interpretation reads (the command file and the hatch pattern
// file in use, as they were opened), which no drawing may be written over.
std::vector<FileInUse> FilesRead();

// Interprets the command file `commandFile` (relative names from the current
// folder) into the drawing session, by `rules` (the classic ones by default).
// Never throws: errors are reported and end the interpretation.
void StartDrawing(const std::string& commandFile, const ReadRules& rules = {});

// The same run on the open `commands`, by `rules`.
void StartDrawing(platform::TextFileReader commands, const ReadRules& rules);

// The same run on `commands` held in memory instead of the command file.
void StartDrawingFromText(std::string_view commands);

// The message of the interpreter's error box for error `number`.
std::string ErrorReportText(int number);

// The last (length - position) characters of `text`.
std::string_view TextAfter(std::string_view text, size_t position);

// Stores the TAB-terminated fields of `line` in CommandFields 1, 2, ...; text
// after the last TAB is dropped. A ninth field raises error 9 (fields 1 to 8
// are stored by then).
void SplitFields(std::string_view line);

// Runs the command named by CommandFields entry 1; unknown names do nothing.
// False for an unknown name.
bool DispatchCommand();

} // namespace interpreter

// The plot command interpreter: opens the drawing session, sets the start
// state, then reads tempdxf.txt line by line, splits each line into
// TAB-terminated fields and carries out its command. One error trap covers
// the whole run: an error is reported in a message box and ends the reading.
#pragma once

#include "platform/own_files.h"

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
};

InterpreterState& Interpreter();

// The files a classic run reads (the command file and the hatch pattern
// file), which no drawing may be written over.
std::vector<platform::FileInUse> FilesRead();

// Interprets the command file `commandFile` (relative names from the current
// folder) into the drawing session. Never throws: errors are reported and end
// the interpretation.
void StartDrawing(const std::string& commandFile);

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
void DispatchCommand();

} // namespace interpreter

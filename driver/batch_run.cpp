#include "driver/batch_run.h"

#include "builder/session.h"
#include "cadlib/kq.h"
#include "driver/command_line.h"
#include "hatch/pattern_library.h"
#include "hatch/patterns.h"
#include "interpreter/command_file.h"
#include "interpreter/exit_status.h"
#include "interpreter/own_files.h"
#include "platform/file_kind.h"
#include "platform/message_box.h"
#include "platform/module_state.h"
#include "platform/printable_text.h"
#include "platform/process.h"
#include "platform/runtime_error.h"
#include "platform/warnings.h"
#include "view/draw_area.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <new>
#include <optional>
#include <system_error>

namespace driver {

namespace {

void LoadPatterns(const RunDescription& run) {
    // The classic run reads kqhatch.pat of the current folder, as it always has.
    hatch::LoadHatchPatterns(run.classic ? run.patternFile : ShownName(run.patternFile), run.text);
}

// The viewer reads the pattern file again for every drawing it opens. Once
// patterns are in use, a file that fails leaves them in use, and says so.
void LoadPatternsAgain(const RunDescription& run) {
    if (hatch::Patterns().PatternFile.empty()) {
        LoadPatterns(run);
        return;
    }
    try {
        LoadPatterns(run);
    } catch (const platform::RuntimeError& error) {
        platform::ShowMessage(std::string(error.what()) + "; the patterns read before stay in use",
                              platform::ProgramName());
    }
}

// "FILE: line N", or FILE alone for line 0: how the option form's messages
// name a line, as compilers do.
std::string FileAndLine(const std::string& file, long line) {
    return line > 0 ? file + ": line " + std::to_string(line) : file;
}

// The teller of the warnings of `source`'s command file, told as the run
// tells the interpreter's own: the classic form "warning: line N of FILE:
// ...", the option form "FILE: line N: warning: ...".
platform::WarningTeller WarningsOf(const RunDescription& run, const CommandSource& source) {
    return platform::WarningTeller(
        [&run, &source](long line, const std::string& what) {
            if (run.classic) {
                platform::Warn(interpreter::LineOfFile(line, source.path) + ": " + what);
            } else {
                Complain(run.program, FileAndLine(ShownName(source), line) + ": warning: " + what);
            }
        },
        run.checks == interpreter::LineChecks::Strict);
}

// What the DXF output could not write as the drawing asks, or found likely
// wrong in it.
void TellDrawingNotices(platform::WarningTeller& warnings) {
    const int32_t screen = builder::Session().ScreenHandle;
    for (int32_t i = 0; i < kq_dxf_notice_count(screen); ++i) {
        int32_t line = 0;
        const platform::Warning* notice = kq_dxf_notice(screen, i, &line);
        warnings.TellAfterDrawing(line, *notice);
    }
    warnings.Drop(kq_dxf_notices_untold(screen));
}

void Interpret(const RunDescription& run, const CommandSource& source,
               std::optional<platform::TextFileReader> commands,
               platform::WarningTeller& warnings) {
    interpreter::ReadRules rules;
    rules.text = run.text;
    rules.errorBox = run.errorBox;
    rules.warnings = &warnings;
    if (!commands) {
        interpreter::StartDrawing(source.path, rules);
        return;
    }
    interpreter::StartDrawing(std::move(*commands), rules);
}

// Why the drawing may not be written over the file under its name, or empty.
std::string DrawingRefusal(const DrawingDestination& drawing) {
    if (drawing.standardOutput) return {};
    const std::string refusal =
        interpreter::ReplacementRefusal(drawing.path, ShownName(drawing), platform::FileKind::Dxf);
    return refusal.empty() ? refusal : "the drawing was not written: " + refusal;
}

// Writes the session's drawing; why it could not, or empty when it is written.
std::string WriteDrawing(const RunDescription& run, const DrawingDestination& drawing) {
    const int32_t screen = builder::Session().ScreenHandle;
    kq_set_dxf_hatch_form(screen, run.dxf.hatch);
    kq_set_dxf_version(screen, run.dxf.version);
    kq_set_dxf_units(screen, run.dxf.units);
    kq_set_dxf_layers(screen, run.dxf.layers);
    if (drawing.standardOutput) {
        platform::MakeBinary(stdout);
        if (kq_output_dxf_stream(screen, stdout) != 0) return {};
        return "the drawing could not be written to standard output: " +
               std::string(kq_last_error());
    }
    const std::string refusal = DrawingRefusal(drawing);
    if (!refusal.empty()) return refusal;
    if (run.classic) {
        // The name goes to the writer as the command line gave it, and its
        // message names it so; the absolute name follows.
        if (kq_output_dxf_file(screen, drawing.path.c_str()) != 0) return {};
        return "the drawing could not be written: " + std::string(kq_last_error()) + " (" +
               ShownName(drawing) + ")";
    }
    const std::string target = ShownName(drawing);
    if (kq_output_dxf_file(screen, target.c_str()) != 0) return {};
    return "the drawing " + target +
           " could not be written: " + platform::WithoutName(kq_last_error(), target);
}

// One conversion, from the hidden window to the purge of the session.
interpreter::ExitStatus Convert(const RunDescription& run, const Conversion& conversion) {
    std::optional<platform::TextFileReader> commands;
    if (!run.classic) {
        commands = OpenCommandFile(run, conversion.commands);
        if (!commands) return interpreter::kNotWritten;
    } else if (CommandFileRefused(run, conversion.commands,
                                  platform::KindOfFile(conversion.commands.path))) {
        return interpreter::kNotWritten;
    }
    // Asked before the work, so that none is wasted on a drawing that could
    // not be written; the writer asks again.
    if (const std::string refusal = DrawingRefusal(conversion.drawing); !refusal.empty()) {
        Complain(run.program, refusal);
        return interpreter::kNotWritten;
    }
    std::optional<view::DrawArea> window;
    window.emplace(); // loaded hidden: the session binds the display to it
    platform::WarningTeller warnings = WarningsOf(run, conversion.commands);
    Interpret(run, conversion.commands, std::move(commands), warnings);
    const std::string notWritten = WriteDrawing(run, conversion.drawing);
    const bool written = notWritten.empty();
    bool stopped = ExplainInterpreterError(run, conversion, written);
    if (written) {
        TellDrawingNotices(warnings);
    } else {
        Complain(run.program, notWritten);
    }
    warnings.Finish();
    if (written && !stopped && warnings.StrictErrors() > 0) {
        stopped = true;
        const uint64_t errors = warnings.StrictErrors();
        Complain(run.program, ShownName(conversion.commands) + ": " + std::to_string(errors) +
                                  (errors == 1 ? " warning" : " warnings") +
                                  " about the drawing built, an error under --strict; the "
                                  "drawing " +
                                  ShownName(conversion.drawing) + " is written");
    }

    builder::CloseDrawingSession();
    window.reset();
    if (written && run.verbose) {
        Complain(run.program, ShownName(conversion.commands) + ": written to " +
                                  ShownName(conversion.drawing) +
                                  (stopped ? " up to the error" : ""));
    }
    return !written  ? interpreter::kNotWritten
           : stopped ? interpreter::kInterpreterError
                     : interpreter::kConverted;
}

// Writes the loaded patterns as the run's .pat library.
interpreter::ExitStatus WritePatternLibrary(const RunDescription& run) {
    const std::string problem = hatch::WritePatternLibrary(ShownName(run.patternLibrary));
    if (problem.empty()) return interpreter::kConverted;
    Complain(run.program, "the pattern library could not be written: " + problem);
    return interpreter::kNotWritten;
}

} // namespace

bool MakeFolder(const std::string& program, const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error) return true;
    Complain(program, "the folder " + ShownName(folder) + " could not be made: " + error.message());
    return false;
}

void Complain(const std::string& program, const std::string& text) {
    const std::string line = platform::PrintableText(program + ": " + text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

std::optional<platform::TextFileReader> OpenCommandFile(const RunDescription& run,
                                                        const CommandSource& source) {
    std::optional<platform::TextFileReader> reader;
    if (source.standardInput) {
        reader.emplace(platform::TextFileReader::StandardInput(ShownName(source), run.text));
    } else {
        std::error_code error;
        if (std::filesystem::is_directory(source.path, error)) {
            Complain(run.program, ShownName(source) + ": is a folder, not a command file");
            return std::nullopt;
        }
        try {
            reader.emplace(source.path, run.text);
        } catch (const platform::RuntimeError& failure) {
            Complain(run.program, ShownName(source) + ": cannot be read: " +
                                      platform::WithoutName(failure.Detail(), source.path));
            return std::nullopt;
        }
    }
    if (CommandFileRefused(run, source, platform::KindOfBytes(reader->FirstBytes()))) {
        return std::nullopt;
    }
    return reader;
}

bool CommandFileRefused(const RunDescription& run, const CommandSource& source,
                        platform::FileKind kind) {
    const std::string refusal = interpreter::CommandFileRefusal(kind, ShownName(source));
    if (!refusal.empty()) Complain(run.program, refusal);
    return !refusal.empty();
}

bool ExplainInterpreterError(const RunDescription& run, const Conversion& conversion,
                             bool written) {
    const interpreter::InterpreterState& state = interpreter::Interpreter();
    if (state.ReportedError == 0) return false;
    const std::string commands = ShownName(conversion.commands);
    if (run.classic) {
        Complain(run.program,
                 "the interpretation stopped at " +
                     interpreter::WhereInterpretationStopped(commands) +
                     (written ? "; the drawing holds what the lines before it built" : ""));
    } else {
        Complain(run.program, FileAndLine(commands, state.ReportedErrorLine) + ": " +
                                  interpreter::WhyInterpretationStopped() +
                                  (written ? "; the drawing " + ShownName(conversion.drawing) +
                                                 " holds what the lines before it built"
                                           : ""));
    }
    return true;
}

std::string PrepareDrawing(const RunDescription& run, const CommandSource& source,
                           std::optional<platform::TextFileReader> commands) {
    LoadPatternsAgain(run);
    if (!commands && !run.classic) commands.emplace(source.path, run.text);
    // A file the window opens (File > Open, a reload) is refused as the
    // command line refuses it, in the window's box for run-time errors.
    const platform::FileKind kind = commands ? platform::KindOfBytes(commands->FirstBytes())
                                             : platform::KindOfFile(source.path);
    const std::string refusal = interpreter::CommandFileRefusal(kind, ShownName(source));
    if (!refusal.empty()) platform::Raise(platform::kPathFileAccessError, refusal);
    platform::WarningTeller warnings = WarningsOf(run, source);
    Interpret(run, source, std::move(commands), warnings);
    warnings.Finish();
    return interpreter::WhereInterpretationStopped();
}

std::string PrepareDrawing(const std::string& commandFile) {
    return PrepareDrawing(ClassicRun(""), {commandFile, false}, std::nullopt);
}

void PrepareDrawing() {
    PrepareDrawing(interpreter::kCommandFileName);
}

void RunBatchConversion(const RunDescription& run) {
    try {
        platform::ReturnLargeBlocksToTheSystem();
        if (run.classic) {
            platform::MakeProgramFolderCurrent();
        } else {
            // Nobody waits at a box for a program started by a script.
            platform::SetMessageSink(platform::WriteMessageToStderr);
        }
        LoadPatterns(run);
        if (!run.patternLibrary.empty()) platform::EndProgram(WritePatternLibrary(run));
        if (!run.drawingFolder.empty() && !MakeFolder(run.program, run.drawingFolder)) {
            platform::EndProgram(interpreter::kNotWritten);
        }
        int worst = interpreter::kConverted;
        for (const Conversion& conversion : run.conversions) {
            // Each drawing made exactly as a run of its own would make it.
            if (&conversion != &run.conversions.front()) {
                platform::ResetModuleStates(platform::StateScope::Drawing);
            }
            worst = std::max<int>(worst, Convert(run, conversion));
        }
        platform::EndProgram(worst);
    } catch (const platform::RuntimeError& error) {
        if (!run.classic && !error.Detail().empty()) {
            Complain(run.program, error.what()); // the detail is part of it
            platform::EndProgram(interpreter::kUncaughtError);
        }
        platform::ReportUncaughtError(error, interpreter::kUncaughtError);
    } catch (const std::bad_alloc&) {
        platform::ReportOutOfMemory(interpreter::kUncaughtError);
    }
}

} // namespace driver

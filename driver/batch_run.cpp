#include "driver/batch_run.h"

#include "builder/session.h"
#include "cadlib/kq.h"
#include "hatch/patterns.h"
#include "interpreter/command_file.h"
#include "platform/process.h"
#include "view/draw_area.h"

#include <cstdio>
#include <optional>

namespace driver {

void PrepareDrawing() {
    PrepareDrawing(interpreter::kCommandFileName);
}

std::string PrepareDrawing(const std::string& commandFile) {
    hatch::LoadHatchPatterns(hatch::kPatternFileName);
    interpreter::StartDrawing(commandFile);
    return interpreter::WhereInterpretationStopped();
}

std::string StoppedNote() {
    return "the interpretation stopped at " + interpreter::WhereInterpretationStopped() +
           "; the drawing holds what the lines before it built";
}

std::string OutputName(const std::string& commandLine) {
    return commandLine.empty() ? std::string("temp.dxf") : commandLine;
}

namespace {

void Complain(const std::string& text) {
    std::string line = "plotdxf: " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

} // namespace

void RunBatchConversion(int argc, char** argv) {
    try {
        platform::ReturnLargeBlocksToTheSystem();
        platform::MakeProgramFolderCurrent();
        std::optional<view::DrawArea> window;
        window.emplace(); // loaded hidden: the session binds the display to it
        PrepareDrawing();

        const interpreter::InterpreterState& run = interpreter::Interpreter();
        if (run.ReportedError != 0) Complain(StoppedNote());

        const std::string name = OutputName(platform::CommandLineText(argc, argv));
        const builder::SessionState& session = builder::Session();
        const bool written = kq_output_dxf_file(session.ScreenHandle, name.c_str()) != 0;
        if (!written) Complain("the drawing could not be written: " + std::string(kq_last_error()));

        if (session.DataAreaHandle != 0) kq_purge_data_area(session.DataAreaHandle);
        if (session.ScreenHandle != 0) kq_purge_scrn_glb(session.ScreenHandle);
        window.reset();
        platform::EndProgram(!written                 ? kNotWritten
                             : run.ReportedError != 0 ? kInterpreterError
                                                      : kConverted);
    } catch (const platform::RuntimeError& error) {
        platform::ReportUncaughtError(error, kUncaughtError);
    }
}

} // namespace driver

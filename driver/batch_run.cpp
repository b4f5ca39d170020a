#include "driver/batch_run.h"

#include "builder/session.h"
#include "cadlib/kq.h"
#include "hatch/patterns.h"
#include "interpreter/command_file.h"
#include "platform/own_files.h"
#include "platform/process.h"
#include "view/draw_area.h"

#include <cstdio>
#include <new>
#include <optional>

namespace driver {

void PrepareDrawing() {
    hatch::LoadHatchPatterns(hatch::kPatternFileName);
    interpreter::StartDrawing(interpreter::kCommandFileName);
}

std::string OutputName(const std::string& commandLine) {
    return commandLine.empty() ? std::string("temp.dxf") : commandLine;
}

namespace {

void Complain(const std::string& text) {
    std::string line = "plotdxf: " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

// Writes the drawing as `name` unless that is one of the program's own files;
// false, with the reason on stderr, when it was not written.
bool WriteDrawing(const std::string& name, int32_t screen) {
    const std::string ownFile = platform::OwnFileAt(name, interpreter::FilesRead());
    if (!ownFile.empty()) {
        Complain("the drawing was not written: " + name + " is " + ownFile +
                 ", which the program never writes over");
        return false;
    }
    if (kq_output_dxf_file(screen, name.c_str()) != 0) return true;
    Complain("the drawing could not be written: " + std::string(kq_last_error()));
    return false;
}

} // namespace

void RunBatchConversion(int argc, char** argv) {
    try {
        platform::KeepRunningWhenStderrCloses();
        platform::ReturnLargeBlocksToTheSystem();
        platform::MakeProgramFolderCurrent();
        std::optional<view::DrawArea> window;
        window.emplace(); // loaded hidden: the session binds the display to it
        PrepareDrawing();

        const interpreter::InterpreterState& run = interpreter::Interpreter();
        if (run.ReportedError != 0) {
            std::string where = run.ReportedErrorLine > 0
                                    ? "line " + std::to_string(run.ReportedErrorLine) + " of " +
                                          interpreter::kCommandFileName
                                    : std::string(interpreter::kCommandFileName);
            std::string why = platform::ErrorDescription(run.ReportedError);
            if (!run.ReportedErrorDetail.empty()) why += ": " + run.ReportedErrorDetail;
            Complain("the interpretation stopped at " + where + " (" + why +
                     "); the drawing holds what the lines before it built");
        }

        const std::string name = OutputName(platform::CommandLineText(argc, argv));
        const builder::SessionState& session = builder::Session();
        const bool written = WriteDrawing(name, session.ScreenHandle);

        if (session.DataAreaHandle != 0) kq_purge_data_area(session.DataAreaHandle);
        if (session.ScreenHandle != 0) kq_purge_scrn_glb(session.ScreenHandle);
        window.reset();
        platform::EndProgram(!written                 ? kNotWritten
                             : run.ReportedError != 0 ? kInterpreterError
                                                      : kConverted);
    } catch (const platform::RuntimeError& error) {
        platform::ReportUncaughtError(error, kUncaughtError);
    } catch (const std::bad_alloc&) {
        platform::ReportOutOfMemory(kUncaughtError);
    }
}

} // namespace driver

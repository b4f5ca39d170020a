#include "driver/batch_run.h"

#include "builder/session.h"
#include "cadlib/kq.h"
#include "hatch/patterns.h"
#include "interpreter/command_file.h"
#include "platform/process.h"
#include "view/draw_area.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

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

// Callers of the classic form ask for pattern hatches as lines, for readers
// that draw no pattern they do not know by name, with PLOTDXF_HATCH=lines.
int32_t HatchFormAsked() {
    const char* asked = std::getenv("PLOTDXF_HATCH");
    if (!asked || !*asked || std::string_view(asked) == "hatch") return KQ_DXF_HATCH_ENTITY;
    if (std::string_view(asked) == "lines") return KQ_DXF_HATCH_LINES;
    Complain("PLOTDXF_HATCH=" + std::string(asked) +
             " is not a hatch form (lines or hatch); hatches are written as HATCH entities");
    return KQ_DXF_HATCH_ENTITY;
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
        kq_set_dxf_hatch_form(session.ScreenHandle, HatchFormAsked());
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

// plotdxf-view: the screen view of the drawing that plotdxf converts. Without
// arguments it interprets tempdxf.txt in the program's folder and shows the
// drawing in the "Screen View" window; -i FILE (or FILE alone) shows that
// command file instead. With --png FILE, --pdf FILE or --svg FILE it writes
// the page as the window shows it, with no display needed.
//
// Exit status: 0 written, or the window closed or exited; 1 the interpreter
// reported an error (the picture holds what the lines before it built); 2 the
// picture could not be written, the command file could not be read, or the
// command line was not understood; 3 an uncaught run-time error ended the run.
#include "builder/session.h"
#include "driver/batch_run.h"
#include "driver/command_line.h"
#include "interpreter/command_file.h"
#include "interpreter/exit_status.h"
#include "interpreter/own_files.h"
#include "platform/interruption.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "view/draw_area.h"
#include "view/shell.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace {

constexpr const char* kProgram = "plotdxf-view";

constexpr std::string_view kUsage =
    "usage: plotdxf-view [FILE | -i FILE] [--patterns FILE] [--encoding ENC]\n"
    "       plotdxf-view [FILE | -i FILE] --png FILE [--size WxH]\n"
    "       plotdxf-view [FILE | -i FILE] --pdf FILE [--size WxH]\n"
    "       plotdxf-view [FILE | -i FILE] --svg FILE [--size WxH]\n"
    "\n"
    "Interprets the command file FILE, or without it tempdxf.txt in the\n"
    "program's folder, and shows the drawing in the Screen View window (File >\n"
    "Open shows another, Reload or a change on disk reads it again).\n"
    "  -i, --input FILE  the command file ('-': standard input)\n"
    "  --patterns FILE   the hatch pattern file (default: kqhatch.pat beside\n"
    "                    the program)\n"
    "  --encoding ENC    cp1252 (default) or utf-8; a UTF-8 byte-order mark\n"
    "                    always selects utf-8\n"
    "  -h, --help        this text\n"
    "  -V, --version     the version\n"
    "With a picture option it writes the whole page as the screen view shows it,\n"
    "without a display:\n"
    "  --png FILE   a PNG image of W x H pixels\n"
    "  --pdf FILE   a one-page PDF of W x H pixels at 100 pixels per inch\n"
    "  --svg FILE   an SVG drawing of W x H pixels at 100 pixels per inch\n"
    "  --size WxH   the drawing area in pixels (default 850x1100: the letter page\n"
    "               at 100 pixels per inch); each side from 16 to 10000\n"
    "Relative names are taken from the folder the program is started in.\n"
    "\n"
    "Exit status: 0 written, or the window closed; 1 the command file stopped at\n"
    "an error (the picture shows what the lines before it built); 2 the picture\n"
    "could not be written, the command file could not be read, or the command\n"
    "line was not understood; 3 a run-time error ended the run. A picture\n"
    "replaces only a missing or empty file or a picture of its own format.\n";

constexpr int kDefaultWidth = 850, kDefaultHeight = 1100;
constexpr int kSmallestSide = 16, kLargestSide = 10000;

// The picture a run writes instead of showing the window.
struct PictureOptions {
    std::string png, pdf, svg, size;
    view::PictureFormat format = view::PictureFormat::Png;
    std::filesystem::path file; // empty: show the window
    int width = kDefaultWidth, height = kDefaultHeight;
};

// The viewer's own options: the picture it writes.
void AddPictureOptions(CLI::App& options, PictureOptions& picture) {
    options.add_option("--png", picture.png)->type_name("FILE");
    options.add_option("--pdf", picture.pdf)->type_name("FILE");
    options.add_option("--svg", picture.svg)->type_name("FILE");
    options.add_option("--size", picture.size)->type_name("WxH");
}

void Say(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

bool ParseSide(std::string_view text, int& side) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), side);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() &&
           side >= kSmallestSide && side <= kLargestSide;
}

bool ParseSize(std::string_view text, int& width, int& height) {
    const size_t cross = text.find('x');
    return cross != std::string_view::npos && ParseSide(text.substr(0, cross), width) &&
           ParseSide(text.substr(cross + 1), height);
}

// Why the picture options cannot be followed, or empty.
std::string CheckPicture(PictureOptions& picture) {
    const std::pair<const std::string&, view::PictureFormat> formats[] = {
        {picture.png, view::PictureFormat::Png},
        {picture.pdf, view::PictureFormat::Pdf},
        {picture.svg, view::PictureFormat::Svg},
    };
    int given = 0;
    for (const auto& [file, format] : formats) {
        if (file.empty()) continue;
        if (file == "-")
            return "a picture is written to a file: name it (/dev/stdout writes it out)";
        ++given;
        picture.format = format;
        // Resolved now: the classic run makes the program's folder current.
        picture.file = std::filesystem::absolute(file);
    }
    if (given > 1) return "give one of --png, --pdf and --svg";
    if (!picture.size.empty() && !ParseSize(picture.size, picture.width, picture.height)) {
        return "--size wants WxH, each side from 16 to 10000";
    }
    if (given == 0 && !picture.size.empty()) {
        return "--size goes with --png FILE, --pdf FILE or --svg FILE";
    }
    return {};
}

// Why the common options cannot be followed by the viewer, or empty.
std::string CheckCommon(const driver::CommonOptions& common) {
    if (common.inputs.size() > 1) return "the screen view shows one command file";
    const bool readingOptions =
        !common.patternFile.empty() || common.encoding != platform::TextEncoding::Windows1252;
    if (common.inputs.empty() && readingOptions) {
        return "--patterns and --encoding go with a command file: -i FILE";
    }
    return {};
}

// Why the picture may not be written over the file under its name, or empty:
// asked before the work, so that none is wasted, and again before writing.
std::string PictureRefusal(const PictureOptions& picture) {
    const std::string path = picture.file.string();
    return interpreter::ReplacementRefusal(path, path, view::FileKindOf(picture.format));
}

int RenderPage(const driver::RunDescription& run, std::optional<platform::TextFileReader> commands,
               const PictureOptions& picture, int& argc, char** argv) {
    if (const std::string refusal = PictureRefusal(picture); !refusal.empty()) {
        driver::Complain(kProgram, "the picture was not written: " + refusal);
        return interpreter::kNotWritten;
    }
    const view::HeadlessGui gui(argc, argv);
    const view::DrawArea window; // hidden: the session binds the display to its handle
    const driver::Conversion& conversion = run.conversions.front();
    driver::PrepareDrawing(run, conversion.commands, std::move(commands));

    const std::string path = picture.file.string();
    std::string error = PictureRefusal(picture);
    const bool written =
        error.empty() &&
        view::WritePagePicture(picture.format, path, picture.width, picture.height, error);
    driver::ExplainInterpreterError(run, {conversion.commands, {path, false}}, written);
    if (!written) driver::Complain(kProgram, "the picture could not be written: " + error);
    const std::string notice = window.DrawingNotice();
    if (written && !notice.empty()) {
        driver::Complain(kProgram, driver::ShownName(conversion.commands) + ": warning: " + notice);
    }
    builder::CloseDrawingSession();
    if (!written) return interpreter::kNotWritten;
    return interpreter::Interpreter().ReportedError != 0 ? interpreter::kInterpreterError
                                                         : interpreter::kConverted;
}

// The run as plotdxf makes it, the window created before the session, then
// the window shown until it is closed. The command file opened already (the
// explicit form opens it first, to refuse one it cannot read) is the first
// drawing; Open and Reload open theirs by the run's rules.
int ShowScreenView(const driver::RunDescription& run,
                   std::optional<platform::TextFileReader>& commands, int& argc, char** argv) {
    const driver::CommandSource& first = run.conversions.front().commands;
    return view::RunScreenView(argc, argv, first.path, [&](const std::string& commandFile) {
        std::optional<platform::TextFileReader> opened = std::exchange(commands, std::nullopt);
        return driver::PrepareDrawing(run, opened ? first : driver::CommandSource{commandFile},
                                      std::move(opened));
    });
}

// The run of a command line: nullopt, with the exit status set, for one that
// is answered at once (help, version, refused).
std::optional<driver::RunDescription> ReadCommandLine(int argc, char** argv,
                                                      PictureOptions& picture, int& status) {
    if (argc == 1) return driver::ClassicRun("");
    CLI::App options(kProgram, kProgram);
    driver::CommonOptions common;
    driver::AddCommonOptions(options, common);
    AddPictureOptions(options, picture);
    std::string problem;
    status = interpreter::kConverted;
    switch (driver::ParseOptions(options, argc, argv, common, problem)) {
    case driver::Request::Help:
        Say(stdout, kUsage);
        return std::nullopt;
    case driver::Request::Version:
        Say(stdout, driver::VersionText(kProgram) + "\n");
        return std::nullopt;
    case driver::Request::Refused:
    case driver::Request::Run:
        break;
    }
    if (problem.empty()) problem = CheckCommon(common);
    if (problem.empty()) problem = CheckPicture(picture);
    if (!problem.empty()) {
        driver::Complain(kProgram, problem + " (see --help)");
        status = interpreter::kNotWritten;
        return std::nullopt;
    }
    driver::RunDescription run =
        common.inputs.empty() ? driver::ClassicRun("") : driver::ExplicitRun(common);
    run.program = kProgram;
    return run;
}

} // namespace

int main(int argc, char** argv) {
    platform::SetProgramName(kProgram);
    platform::KeepRunningWhenStderrCloses();
    platform::EndCleanlyOnInterruption();
    PictureOptions picture;
    int status = interpreter::kConverted;
    const std::optional<driver::RunDescription> run = ReadCommandLine(argc, argv, picture, status);
    if (!run) return status;
    try {
        std::optional<platform::TextFileReader> commands;
        if (run->classic) {
            platform::MakeProgramFolderCurrent();
            const driver::CommandSource& source = run->conversions.front().commands;
            if (driver::CommandFileRefused(*run, source, platform::KindOfFile(source.path))) {
                return interpreter::kNotWritten;
            }
        } else {
            commands = driver::OpenCommandFile(*run, run->conversions.front().commands);
            if (!commands) return interpreter::kNotWritten;
        }
        return picture.file.empty() ? ShowScreenView(*run, commands, argc, argv)
                                    : RenderPage(*run, std::move(commands), picture, argc, argv);
    } catch (const platform::RuntimeError& error) {
        platform::ReportUncaughtError(error, interpreter::kUncaughtError);
    } catch (const std::bad_alloc&) {
        platform::ReportOutOfMemory(interpreter::kUncaughtError);
    }
}

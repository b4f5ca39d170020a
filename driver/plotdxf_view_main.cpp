// plotdxf-view: the screen view of the drawing that plotdxf converts. Without
// arguments it interprets tempdxf.txt in the program's folder and shows the
// drawing in the "Screen View" window; -i FILE (or FILE alone) shows that
// command file instead. With --png FILE, --pdf FILE or --svg FILE it writes
// the page as the window shows it, with no display needed; given several
// command files, it writes one PDF of a page each, or a picture each into a
// folder.
//
// Exit status: 0 written, or the window closed or exited; 1 the interpreter
// reported an error (the picture holds what the lines before it built); 2 the
// picture could not be written, the command file could not be read, or the
// command line was not understood; 3 an uncaught run-time error ended the run.
// Of several command files, the worst of theirs.
#include "builder/session.h"
#include "driver/batch_run.h"
#include "driver/command_line.h"
#include "interpreter/command_file.h"
#include "interpreter/exit_status.h"
#include "interpreter/own_files.h"
#include "platform/interruption.h"
#include "platform/message_box.h"
#include "platform/module_state.h"
#include "platform/process.h"
#include "view/draw_area.h"
#include "view/shell.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace {

constexpr const char* kProgram = "plotdxf-view";

constexpr std::string_view kUsage =
    "usage: plotdxf-view [FILE | -i FILE] [--patterns FILE] [--encoding ENC]\n"
    "       plotdxf-view FILE... --pdf FILE [--size WxH]\n"
    "       plotdxf-view FILE... --png FILE|DIR [--size WxH] [--dpi N]\n"
    "       plotdxf-view FILE... --svg FILE|DIR [--size WxH]\n"
    "\n"
    "Interprets the command file FILE, or without it tempdxf.txt in the\n"
    "program's folder, and shows the drawing in the Screen View window (File >\n"
    "Open shows another, Reload or a change on disk reads it again).\n"
    "  -i, --input FILE  the command file ('-': standard input); several go\n"
    "                    with a picture option\n"
    "  --patterns FILE   the hatch pattern file (default: kqhatch.pat beside\n"
    "                    the program)\n"
    "  --encoding ENC    cp1252 (default) or utf-8; a UTF-8 byte-order mark\n"
    "                    always selects utf-8\n"
    "  -h, --help        this text\n"
    "  -V, --version     the version\n"
    "With a picture option it writes the whole page as the screen view shows it,\n"
    "without a display, each command file interpreted as a run of its own:\n"
    "  --pdf FILE       a PDF with a page of W x H pixels at 100 pixels per inch\n"
    "                   for each command file, in the order given\n"
    "  --png FILE|DIR   a PNG image of W x H pixels; of several command files,\n"
    "                   one each in the folder DIR (made if missing): a.txt\n"
    "                   gives DIR/a.png\n"
    "  --svg FILE|DIR   an SVG drawing of W x H pixels at 100 pixels per inch;\n"
    "                   of several command files, one each in DIR as --png\n"
    "  --size WxH       the drawing area in pixels (default 850x1100: the letter\n"
    "                   page at 100 pixels per inch); each side from 16 to 10000\n"
    "  --dpi N          the PNG's pixels per inch (default 100): 200 doubles\n"
    "                   each side; from 10 to 1000, each side at most 10000\n"
    "Relative names are taken from the folder the program is started in.\n"
    "\n"
    "Exit status: 0 written, or the window closed; 1 the command file stopped at\n"
    "an error (the picture shows what the lines before it built); 2 the picture\n"
    "could not be written, the command file could not be read, or the command\n"
    "line was not understood; 3 a run-time error ended the run. Of several\n"
    "command files, the worst of theirs. A picture replaces only a missing or\n"
    "empty file or a picture of its own format.\n";

constexpr int kDefaultWidth = 850, kDefaultHeight = 1100;
constexpr int kSmallestSide = 16, kLargestSide = 10000;
constexpr int kLowestDpi = 10, kHighestDpi = 1000;
// More command files than this show their progress on a terminal.
constexpr size_t kFewFiles = 5;

// The pictures a run writes instead of showing the window.
struct PictureOptions {
    std::string png, pdf, svg, size, dpi;
    view::PictureFormat format = view::PictureFormat::Png;
    std::filesystem::path file; // the picture, the report or the folder; empty: the window
    bool folder = false;        // one picture each into the folder `file`
    int width = kDefaultWidth, height = kDefaultHeight;
    int pixelsPerInch = view::kPagePixelsPerInch; // of a PNG
};

// The viewer's own options: the picture it writes.
void AddPictureOptions(CLI::App& options, PictureOptions& picture) {
    options.add_option("--png", picture.png)->type_name("FILE");
    options.add_option("--pdf", picture.pdf)->type_name("FILE");
    options.add_option("--svg", picture.svg)->type_name("FILE");
    options.add_option("--size", picture.size)->type_name("WxH");
    options.add_option("--dpi", picture.dpi)->type_name("N");
}

void Say(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

bool ParseNumber(std::string_view text, int& number, int lowest, int highest) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() &&
           number >= lowest && number <= highest;
}

bool ParseSize(std::string_view text, int& width, int& height) {
    const size_t cross = text.find('x');
    return cross != std::string_view::npos &&
           ParseNumber(text.substr(0, cross), width, kSmallestSide, kLargestSide) &&
           ParseNumber(text.substr(cross + 1), height, kSmallestSide, kLargestSide);
}

// Why --dpi cannot be followed, or empty.
std::string CheckResolution(PictureOptions& picture) {
    if (picture.dpi.empty()) return {};
    if (picture.format != view::PictureFormat::Png || picture.file.empty()) {
        return "--dpi sets the resolution of a PNG: it goes with --png";
    }
    if (!ParseNumber(picture.dpi, picture.pixelsPerInch, kLowestDpi, kHighestDpi)) {
        return "--dpi wants a number of pixels per inch from 10 to 1000";
    }
    const int wide = view::PictureSide(picture.width, picture.pixelsPerInch);
    const int high = view::PictureSide(picture.height, picture.pixelsPerInch);
    if (std::max(wide, high) <= kLargestSide) return {};
    return "--dpi " + picture.dpi + " makes a PNG of " + std::to_string(wide) + " x " +
           std::to_string(high) + " pixels: each side may be 10000 at most";
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
    return CheckResolution(picture);
}

// The picture of the command file NAME.txt in the folder: NAME.png (or .svg).
std::filesystem::path PictureInFolder(const PictureOptions& picture,
                                      const std::string& commandFile) {
    return (picture.file / std::filesystem::path(commandFile).filename())
        .replace_extension(picture.format == view::PictureFormat::Svg ? ".svg" : ".png");
}

// Why the command files cannot be followed by the viewer, or empty. Several
// give a report or a folder of pictures, each picture named after its file.
std::string CheckCommandFiles(const driver::CommonOptions& common, PictureOptions& picture) {
    const bool readingOptions =
        !common.patternFile.empty() || common.encoding != platform::TextEncoding::Windows1252;
    if (common.inputs.empty() && readingOptions) {
        return "--patterns and --encoding go with a command file: -i FILE";
    }
    if (common.inputs.size() <= 1) return {};
    if (picture.file.empty()) {
        return "the screen view shows one command file; several go into --pdf FILE, or "
               "--png DIR or --svg DIR";
    }
    if (std::count(common.inputs.begin(), common.inputs.end(), "-") > 1) {
        return "standard input ('-i -') can be read once only";
    }
    picture.folder = picture.format != view::PictureFormat::Pdf;
    if (!picture.folder) return {};
    std::set<std::filesystem::path> pictures;
    for (const std::string& input : common.inputs) {
        if (input == "-") return "standard input has no name to give its picture in a folder";
        const std::filesystem::path name = PictureInFolder(picture, input);
        if (!pictures.insert(name).second) {
            return "two command files would both make " + name.string();
        }
    }
    return {};
}

// Why a picture may not be written over the file `path`, or empty: asked
// before the work, so that none is wasted, and again before writing.
std::string PictureRefusal(const PictureOptions& picture, const std::string& path) {
    return interpreter::ReplacementRefusal(path, path, view::FileKindOf(picture.format));
}

// Each drawing's picture: the report, the picture named, or one in the folder.
void NamePictures(driver::RunDescription& run, const PictureOptions& picture) {
    for (driver::Conversion& conversion : run.conversions) {
        const std::filesystem::path file =
            picture.folder ? PictureInFolder(picture, conversion.commands.path) : picture.file;
        conversion.drawing = {file.string(), false};
    }
}

// "plotdxf-view: 12 of 50 drawn (a.txt)" kept on one line of a terminal
// while many command files are drawn; each drawing's messages come on lines
// of their own, and the line goes at the end.
class Progress {
  public:
    explicit Progress(size_t total)
        : total_(total), shown_(total > kFewFiles && platform::IsTerminal(stderr)) {}
    ~Progress() { Wipe(); }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void Wipe() {
        if (width_ == 0) return;
        Say(stderr, "\r" + std::string(width_, ' ') + "\r");
        width_ = 0;
    }
    void Drawn(const driver::CommandSource& source) {
        ++done_;
        if (!shown_) return;
        const std::string line =
            std::string(kProgram) + ": " + std::to_string(done_) + " of " + std::to_string(total_) +
            " drawn (" +
            (source.standardInput ? std::string("standard input")
                                  : std::filesystem::path(source.path).filename().string()) +
            ")";
        Say(stderr, line);
        std::fflush(stderr);
        width_ = line.size();
    }

  private:
    size_t total_, done_ = 0, width_ = 0;
    bool shown_;
};

// Interprets `conversion` into a hidden window's session, as a run of its own
// would, and has `draw` make its picture (false, with why in the string, when
// it cannot: it may not replace a file the drawing read); the drawing's status.
// A page of a report is written with the report, at the end: a stop at an
// error is told without claiming yet that a file holds the page.
int DrawOne(const driver::RunDescription& run, const driver::Conversion& conversion,
            bool pageOfAReport, const std::function<bool(std::string&)>& draw) {
    std::optional<platform::TextFileReader> commands;
    if (!run.classic) {
        commands = driver::OpenCommandFile(run, conversion.commands);
        if (!commands) return interpreter::kNotWritten;
    }
    const view::DrawArea window; // hidden: the session binds the display to its handle
    driver::PrepareDrawing(run, conversion.commands, std::move(commands));

    std::string error;
    const bool written = draw(error);
    driver::ExplainInterpreterError(run, conversion, written && !pageOfAReport);
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

// The pictures of the run, without a display: of several command files, one
// PDF of a page for each, or a picture each; of one, its picture. The status is the worst of the
// drawings'.
int RenderPictures(const driver::RunDescription& run, const PictureOptions& picture, int& argc,
                   char** argv) {
    // Every picture's file is asked first (a report's once), so no drawing
    // is made for a picture that may not be written.
    std::set<std::string> asked;
    bool anyRefused = false;
    for (const driver::Conversion& conversion : run.conversions) {
        if (!asked.insert(conversion.drawing.path).second) continue;
        const std::string refusal = PictureRefusal(picture, conversion.drawing.path);
        if (refusal.empty()) continue;
        driver::Complain(kProgram, "the picture was not written: " + refusal);
        anyRefused = true;
    }
    if (anyRefused) return interpreter::kNotWritten;
    const view::HeadlessGui gui(argc, argv);
    if (picture.folder && !driver::MakeFolder(kProgram, picture.file.string()))
        return interpreter::kNotWritten;
    std::optional<view::PageReport> report;
    if (picture.format == view::PictureFormat::Pdf && run.conversions.size() > 1) {
        report.emplace(picture.file.string(), picture.width, picture.height);
    }
    Progress progress(run.conversions.size());
    int worst = interpreter::kConverted;
    int pages = 0;
    bool refused = false; // the report would replace a file a drawing read
    for (const driver::Conversion& conversion : run.conversions) {
        // Each drawing made exactly as a run of its own would make it.
        if (&conversion != &run.conversions.front()) {
            platform::ResetModuleStates(platform::StateScope::Drawing);
        }
        progress.Wipe();
        const std::string& path = conversion.drawing.path;
        worst = std::max(
            worst, DrawOne(run, conversion, report.has_value(), [&](std::string& error) {
                error = PictureRefusal(picture, path);
                if (!error.empty()) {
                    refused = true;
                    return false;
                }
                if (!report) {
                    return view::WritePagePicture(picture.format, path, picture.width,
                                                  picture.height, error, picture.pixelsPerInch);
                }
                pages += report->AddPage(error) ? 1 : 0;
                return error.empty();
            }));
        progress.Drawn(conversion.commands);
    }
    progress.Wipe();
    std::string error;
    if (report && !refused && pages > 0 && !report->Finish(error)) {
        driver::Complain(kProgram, "the report could not be written: " + error);
        worst = interpreter::kNotWritten;
    }
    return worst;
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
    if (problem.empty()) problem = CheckPicture(picture);
    if (problem.empty()) problem = CheckCommandFiles(common, picture);
    if (!problem.empty()) {
        driver::Complain(kProgram, problem + " (see --help)");
        status = interpreter::kNotWritten;
        return std::nullopt;
    }
    driver::RunDescription run =
        common.inputs.empty() ? driver::ClassicRun("") : driver::ExplicitRun(common);
    run.program = kProgram;
    if (!picture.file.empty()) NamePictures(run, picture);
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
        if (run->classic) {
            platform::MakeProgramFolderCurrent();
            const driver::CommandSource& source = run->conversions.front().commands;
            if (driver::CommandFileRefused(*run, source, platform::KindOfFile(source.path))) {
                return interpreter::kNotWritten;
            }
        }
        if (!picture.file.empty()) return RenderPictures(*run, picture, argc, argv);
        std::optional<platform::TextFileReader> commands;
        if (!run->classic) {
            commands = driver::OpenCommandFile(*run, run->conversions.front().commands);
            if (!commands) return interpreter::kNotWritten;
        }
        return ShowScreenView(*run, commands, argc, argv);
    } catch (const platform::RuntimeError& error) {
        platform::ReportUncaughtError(error, interpreter::kUncaughtError);
    } catch (const std::bad_alloc&) {
        platform::ReportOutOfMemory(interpreter::kUncaughtError);
    }
}

// plotdxf-view: the screen view of the drawing that plotdxf converts. Without
// arguments it interprets tempdxf.txt in the program's folder and shows the
// drawing in the "Screen View" window. With --png FILE or --pdf FILE it
// writes the page as the window shows it instead, with no display needed.
//
// Exit status: 0 written, or the window closed or exited; 1 the interpreter
// reported an error (the picture holds what the lines before it built); 2 the
// picture could not be written, or the command line was not understood; 3 an
// uncaught run-time error ended the run.
#include "builder/session.h"
#include "cadlib/kq.h"
#include "driver/batch_run.h"
#include "interpreter/command_file.h"
#include "platform/own_files.h"
#include "platform/process.h"
#include "view/draw_area.h"
#include "view/qt/headless.h"
#include "view/qt/screen_view.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kUsage =
    "usage: plotdxf-view\n"
    "       plotdxf-view --png FILE [--size WxH]\n"
    "       plotdxf-view --pdf FILE [--size WxH]\n"
    "\n"
    "Interprets tempdxf.txt in the program's folder (with kqhatch.pat beside it).\n"
    "Without arguments it shows the drawing in the Screen View window. Otherwise\n"
    "it writes the whole page as the screen view shows it, without a display:\n"
    "  --png FILE   a PNG image of W x H pixels\n"
    "  --pdf FILE   a one-page PDF of W x H pixels at 100 pixels per inch\n"
    "  --size WxH   the drawing area in pixels (default 850x1100: the letter page\n"
    "               at 100 pixels per inch); each side from 16 to 10000\n"
    "A relative FILE is taken from the folder the program is started in.\n"
    "\n"
    "Exit status: 0 written, or the window closed; 1 the command file stopped at\n"
    "an error (the picture shows what the lines before it built); 2 the picture\n"
    "could not be written or the command line was not understood; 3 a run-time\n"
    "error ended the run.\n";

constexpr int kDefaultWidth = 850, kDefaultHeight = 1100;
constexpr int kSmallestSide = 16, kLargestSide = 10000;

struct Options {
    view::qt::PictureFormat format = view::qt::PictureFormat::Png;
    std::filesystem::path file;
    int width = kDefaultWidth, height = kDefaultHeight;
};

void Say(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

void Complain(const std::string& text) {
    Say(stderr, "plotdxf-view: " + text + "\n");
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

// nullopt, with the reason, for a command line this program cannot follow.
std::optional<Options> ParseOptions(int argc, char** argv, std::string& problem) {
    Options options;
    bool haveFile = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (i + 1 >= argc) {
            problem = "'" + std::string(argument) + "' needs a value";
            return std::nullopt;
        }
        const std::string_view value = argv[++i];
        if (argument == "--png" || argument == "--pdf") {
            if (haveFile) {
                problem = "give one of --png and --pdf, once";
                return std::nullopt;
            }
            haveFile = true;
            options.format =
                argument == "--png" ? view::qt::PictureFormat::Png : view::qt::PictureFormat::Pdf;
            // Resolved now: the run makes the program's folder current.
            options.file = std::filesystem::absolute(value);
        } else if (argument == "--size") {
            if (!ParseSize(value, options.width, options.height)) {
                problem = "--size wants WxH, each side from 16 to 10000";
                return std::nullopt;
            }
        } else {
            problem = "unknown option '" + std::string(argument) + "'";
            return std::nullopt;
        }
    }
    if (!haveFile) {
        problem = "--png FILE or --pdf FILE is needed";
        return std::nullopt;
    }
    return options;
}

int RenderPage(const Options& options, int& argc, char** argv) {
    const view::qt::HeadlessGui gui(argc, argv);
    platform::MakeProgramFolderCurrent();
    const view::DrawArea window; // hidden: the session binds the display to its handle
    driver::PrepareDrawing();

    std::string error;
    bool written = false;
    const std::string ownFile =
        platform::OwnFileAt(options.file.string(), interpreter::FilesRead());
    if (ownFile.empty()) {
        written = view::qt::WritePagePicture(options.format, options.file.string(), options.width,
                                             options.height, error);
    } else {
        error = options.file.string() + " is " + ownFile + ", which the program never writes over";
    }
    if (!written) Complain("the picture could not be written: " + error);

    const builder::SessionState& session = builder::Session();
    if (session.DataAreaHandle != 0) kq_purge_data_area(session.DataAreaHandle);
    if (session.ScreenHandle != 0) kq_purge_scrn_glb(session.ScreenHandle);
    if (!written) return driver::kNotWritten;
    return interpreter::Interpreter().ReportedError != 0 ? driver::kInterpreterError
                                                         : driver::kConverted;
}

// The run as plotdxf makes it, the window created before the session, then
// the window shown until it is closed.
int ShowScreenView(int& argc, char** argv) {
    platform::MakeProgramFolderCurrent();
    return view::qt::RunScreenView(argc, argv, driver::PrepareDrawing);
}

} // namespace

int main(int argc, char** argv) {
    platform::KeepRunningWhenStderrCloses();
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        Say(stdout, kUsage);
        return driver::kConverted;
    }
    std::optional<Options> options;
    if (argc > 1) {
        std::string problem;
        options = ParseOptions(argc, argv, problem);
        if (!options) {
            Complain(problem + " (see --help)");
            return driver::kNotWritten;
        }
    }
    try {
        return options ? RenderPage(*options, argc, argv) : ShowScreenView(argc, argv);
    } catch (const platform::RuntimeError& error) {
        platform::ReportUncaughtError(error, driver::kUncaughtError);
    } catch (const std::bad_alloc&) {
        platform::ReportOutOfMemory(driver::kUncaughtError);
    }
}

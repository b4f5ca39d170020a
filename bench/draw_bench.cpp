// Redraw timing of the screen view: RedrawScreen of the bundled boring log
// and of a generated drawing of many entities spread over the page, at the
// size of a large window, as the median of several runs. The whole page is
// timed twice: into an image (what the window pays) and into a surface that
// only counts what it is given (the library's own share, with no painting).
// Then the steps a user takes on a view zoomed four times: a pan by the
// horizontal bar's arrow, a wheel step about a point, each with the window's
// refresh into the image, and a step of a drag with the middle button. A pan
// of whole pixels moves the picture and draws what it uncovers: a drag does
// on most screens, and the arrow does here (a twentieth of a window 1000
// pixels wide); an arrow's twentieth that is not whole pixels costs a wheel
// step. With --pictures the page, the pan, the wheel step and the drag of
// each drawing are written there as PNG files, to compare one build's
// pictures with another's pixel for pixel.
//
//     draw_bench [--runs N] [--entities N] [--size WxH] [--pictures FOLDER]
#include "builder/redraw.h"
#include "builder/session.h"
#include "cadlib/kq.h"
#include "cadlib/kq_display.h"
#include "driver/batch_run.h"
#include "platform/device_context.h"
#include "platform/window_handles.h"
#include "view/draw_area.h"
#include "view/qt/headless.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The zoom of one wheel notch.
constexpr double kWheelStep = 1.2;
// Client pixels a mouse move drags the view by, across (and half that down).
constexpr float kDragStep = 12;

struct Settings {
    int runs = 7;
    long entities = 100000;
    int width = 1000, height = 1300;
    std::string pictures; // the folder for the PNG files, empty for none
};

// Paints nothing: what is left is the library's and the device context's work.
class CountingSurface : public platform::Surface {
  public:
    explicit CountingSurface(int width, int height) : width_(width), height_(height) {}
    size_t primitives = 0;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    double DotsPerInch() const override { return 100; }
    void Polyline(const platform::DrawState&, std::span<const platform::DevicePoint>) override {
        ++primitives;
    }
    void Segments(const platform::DrawState&, std::span<const platform::DevicePoint>) override {
        ++primitives;
    }
    void Polygon(const platform::DrawState&, std::span<const platform::DevicePoint>) override {
        ++primitives;
    }
    void Text(const platform::DrawState&, platform::DevicePoint, std::u16string_view,
              const platform::TextFont&) override {
        ++primitives;
    }
    double TextWidth(std::u16string_view text, const platform::TextFont& font) override {
        return 0.6 * font.height * static_cast<double>(text.size());
    }

  private:
    int width_, height_;
};

struct Timing {
    double median = 0, fastest = 0; // milliseconds of the clock on the wall
    // Median milliseconds of the processor time of the process, every painting
    // thread's: steadier than the wall's on a machine others are using.
    double cpu = 0;
};

double ProcessorMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// `step` run `runs` times (its run number given) on `surface` as the window's.
template <typename Step>
Timing Time(platform::Surface& surface, int runs, Step step) {
    const platform::ScopedWindowSurface shown(platform::MainWindowHandle(), surface);
    std::vector<double> times, cpu;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ProcessorMilliseconds();
        step(i);
        view::qt::FinishPainting(surface); // as the window does before it shows the picture
        cpu.push_back(ProcessorMilliseconds() - cpuStart);
        const std::chrono::duration<double, std::milli> spent =
            std::chrono::steady_clock::now() - start;
        times.push_back(spent.count());
    }
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    return {times[times.size() / 2], times.front(), cpu[cpu.size() / 2]};
}

Timing TimeRedraws(platform::Surface& surface, int runs) {
    return Time(surface, runs, [](int) { builder::RedrawScreen(); });
}

// A log-like mix, ten entities a round, at seeded places all over the page:
// lines (one dashed), texts, a hatched and a black rectangle, a circle, an arc.
std::string GeneratedCommands(long entities) {
    static const char* const soils[] = {"GW", "SP", "SM", "ML", "CL", "CH", "PT", "SC"};
    uint64_t state = 88172645463325252ull;
    const auto next = [&state](int limit) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<int>(state % static_cast<uint64_t>(limit));
    };
    std::ostringstream out;
    out << "AP\t7\t\r\nAL\t\r\n";
    for (long made = 0; made < entities; made += 10) {
        const auto at = [&] {
            out << "S\t" << 300 + next(4500) << '\t' << 300 + next(6000) << "\t\r\n";
        };
        at();
        out << "LR\t" << 60 + next(1200) << "\t\r\n";
        at();
        out << "LD\t" << 60 + next(600) << "\t\r\n";
        at();
        out << "LT\t2\t\r\nLRTO\t" << next(600) - 300 << '\t' << next(600) - 300
            << "\t\r\nLT\t1\t\r\n";
        at();
        out << "LA\t" << next(360) << '\t' << 60 + next(300) << "\t\r\n";
        at();
        out << "A\tSAND, silty, brown " << made << "\t\r\n";
        at();
        out << "AN\t" << next(100) << "\t\r\n";
        at();
        out << "FPF\t" << soils[next(8)] << "\t\r\nRF\t" << 120 + next(400) << '\t'
            << 60 + next(240) << "\t\r\n";
        at();
        out << "RFS\t" << 30 + next(120) << '\t' << 30 + next(120) << "\t1\t\r\n";
        at();
        out << "C\t" << 0.02 + next(100) / 1000.0 << "\t\r\n";
        at();
        out << "ARCR\t" << 60 + next(300) << '\t' << 1 + next(5) << "\t\r\n";
    }
    out << "STOP\t\r\n";
    return out.str();
}

// The picture the image holds, as `<picture>-<what>.png` in the settings' folder.
void WritePicture(const Settings& settings, platform::Surface& image, const std::string& picture,
                  const char* what) {
    if (settings.pictures.empty()) return;
    const fs::path file = fs::path(settings.pictures) / (picture + "-" + what + ".png");
    if (!view::qt::WriteImageSurface(image, file.string())) {
        std::fprintf(stderr, "draw_bench: %s: cannot be written\n", file.string().c_str());
    }
}

void Report(const char* name, const std::string& picture, const Settings& settings,
            const std::string& commands, const fs::path& folder) {
    std::ofstream(folder / "tempdxf.txt", std::ios::binary) << commands;
    view::DrawArea window;
    driver::PrepareDrawing();
    const builder::SessionState& session = builder::Session();
    window.Resize(settings.width, settings.height); // the bars have no size here
    kq_zoom_vport_limits(session.ScreenHandle, session.CurrentViewport);

    CountingSurface counting(settings.width, settings.height);
    const Timing library = TimeRedraws(counting, settings.runs);
    const size_t primitives = counting.primitives / settings.runs;
    const std::unique_ptr<platform::Surface> image =
        view::qt::CreateImageSurface(settings.width, settings.height);
    const Timing painted = TimeRedraws(*image, settings.runs);
    WritePicture(settings, *image, picture, "page");

    // Four times closer about the middle of the page, then steps to and fro.
    const KqPoint2 middle{(session.PageRect.x1 + session.PageRect.x2) / 2,
                          (session.PageRect.y1 + session.PageRect.y2) / 2};
    kq_zoom_point(session.ScreenHandle, session.ScreenViewport, middle, 4.0);
    const Timing pan = Time(*image, settings.runs, [&window](int i) {
        window.HScroll1.SetValue(i % 2 == 0 ? 51 : 49); // the bar's arrows
    });
    WritePicture(settings, *image, picture, "pan");
    // Dragged with the middle button, a step of a mouse move.
    const Timing drag = Time(*image, settings.runs, [&window, &settings](int i) {
        const float x = settings.width / 2.0f, y = settings.height / 2.0f;
        const float step = i % 2 == 0 ? kDragStep : -kDragStep;
        window.MouseDown(view::kMiddleButton, 0, x, y);
        window.MouseMove(view::kMiddleButton, 0, x + step, y + step / 2);
        window.MouseUp(view::kMiddleButton, 0, x + step, y + step / 2);
    });
    WritePicture(settings, *image, picture, "drag");
    const Timing wheel = Time(*image, settings.runs, [&](int i) {
        kq_zoom_point(session.ScreenHandle, session.ScreenViewport, middle,
                      i % 2 == 0 ? kWheelStep : 1 / kWheelStep);
        window.Refresh();
    });
    WritePicture(settings, *image, picture, "wheel");

    std::printf("  %-34s %8zu primitives\n"
                "    page:       image %8.2f ms (fastest %8.2f, processor %8.2f), library only "
                "%7.2f ms\n"
                "    zoomed x4:  pan   %8.2f ms (processor %8.2f),  wheel %8.2f ms (processor "
                "%8.2f)\n"
                "                drag  %8.2f ms (processor %8.2f)\n",
                name, primitives, painted.median, painted.fastest, painted.cpu, library.median,
                pan.median, pan.cpu, wheel.median, wheel.cpu, drag.median, drag.cpu);
    builder::CloseDrawingSession();
}

bool ParseArguments(int argc, char** argv, Settings& settings) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i], value = argv[i + 1];
        if (option == "--runs") {
            settings.runs = std::max(1, std::stoi(value));
        } else if (option == "--entities") {
            settings.entities = std::max(10L, std::stol(value));
        } else if (option == "--pictures") {
            settings.pictures = fs::absolute(value).string();
            fs::create_directories(settings.pictures);
        } else if (option == "--size" && value.find('x') != std::string::npos) {
            settings.width = std::stoi(value.substr(0, value.find('x')));
            settings.height = std::stoi(value.substr(value.find('x') + 1));
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

} // namespace

int main(int argc, char** argv) {
    Settings settings;
    if (!ParseArguments(argc, argv, settings)) {
        std::fprintf(
            stderr,
            "usage: draw_bench [--runs N] [--entities N] [--size WxH] [--pictures FOLDER]\n");
        return 2;
    }
    const view::HeadlessGui gui(argc, argv);
    const fs::path source = PLOTDXF_SOURCE_DIR;
    const fs::path folder = fs::temp_directory_path() /
                            ("plotdxf-draw-bench-" + std::to_string(std::random_device()()));
    fs::create_directories(folder);
    fs::copy_file(source / "data" / "kqhatch.pat", folder / "kqhatch.pat");
    fs::current_path(folder);

    std::ifstream example(source / "examples" / "boring_log.txt", std::ios::binary);
    const std::string boringLog((std::istreambuf_iterator<char>(example)), {});
    std::printf("RedrawScreen at %d x %d pixels, median of %d runs\n", settings.width,
                settings.height, settings.runs);
    Report("examples/boring_log.txt", "boring-log", settings, boringLog, folder);
    const std::string generated = "generated, " + std::to_string(settings.entities) + " entities";
    Report(generated.c_str(), "generated", settings, GeneratedCommands(settings.entities), folder);

    fs::current_path(source);
    fs::remove_all(folder);
}

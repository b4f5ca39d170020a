// RunScreenView and the headless pictures of view/shell.h on Windows.
#include "view/shell.h"

#include "platform/gdi_surface_windows.h"
#include "platform/replacing_file.h"
#include "render/png_file.h"
#include "view/event_guard.h"
#include "view/page_picture.h"
#include "view/win32/main_window.h"
#include "view/win32/printing.h"

#include <windows.h>

#include <span>
#include <utility>

namespace view {

namespace {

constexpr double kPixelsPerInch = 100;

// The page on the system's PDF printer, laid out in hundredths of an inch
// from the paper's corner: the same picture as the PNG, 100 pixels to the inch.
bool WritePdf(const std::string& path, int width, int height, std::string& error) {
    const HDC printer = win32::CreatePrinterDc(win32::kPdfPrinter);
    if (!printer) {
        error = "no PDF can be made here: the \"Microsoft Print to PDF\" printer is not "
                "installed (--png makes a picture without it)";
        return false;
    }
    // The printer writes a temporary file that replaces the picture once complete.
    platform::ReplacingFile output(path, platform::FileKind::Pdf);
    if (!output.Open() || !output.CloseForWriterByName()) {
        DeleteDC(printer);
        error = output.Error();
        return false;
    }
    bool written = false;
    {
        platform::PrinterSurface surface(printer, platform::Widen(output.TemporaryName()),
                                         kPixelsPerInch);
        written = surface.StartDocument(path) && surface.StartPage();
        if (written) DrawPage(surface, width, height);
        written = surface.EndPage() && written;
        written = surface.Finish() && written;
    } // the printer's context, gone, lets go of the file
    if (!written) {
        error = path + ": the PDF printer could not write it";
        return false;
    }
    if (output.Commit(0)) return true;
    error = output.Error();
    return false;
}

} // namespace

struct HeadlessGui::Toolkit {};

// GDI draws without any set-up.
HeadlessGui::HeadlessGui(int&, char**) {}

HeadlessGui::~HeadlessGui() = default;

bool WritePagePicture(PictureFormat format, const std::string& path, int width, int height,
                      std::string& error) {
    if (format == PictureFormat::Pdf) return WritePdf(path, width, height, error);
    if (format == PictureFormat::Svg) {
        error = path + ": SVG pictures are made by the viewer on Linux; here --png and --pdf";
        return false;
    }
    platform::DibSurface surface(width, height, kPixelsPerInch);
    if (!surface.Pixels()) {
        error = path + ": there is not enough memory for a picture of that size";
        return false;
    }
    DrawPage(surface, width, height);
    const std::span<const uint32_t> pixels(surface.Pixels(), static_cast<size_t>(width) *
                                                                 static_cast<size_t>(height));
    return render::WritePngFile(path, pixels, width, height, kPixelsPerInch, error);
}

int RunScreenView(int&, char**, const std::string& commandFile, DrawingOpener openDrawing) {
    win32::MainWindow window;
    window.Area().SetDrawingOpener(std::move(openDrawing));
    Guarded([&] { window.Area().OpenDrawing(commandFile); });
    window.Show();
    return window.RunMessageLoop();
}

} // namespace view

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

#include <optional>
#include <span>
#include <utility>

namespace view {

struct HeadlessGui::Toolkit {};

// GDI draws without any set-up.
HeadlessGui::HeadlessGui(int&, char**) {}

HeadlessGui::~HeadlessGui() = default;

// The pages on the system's PDF printer, laid out in hundredths of an inch
// from the paper's corner: the same picture as the PNG, 100 pixels to the
// inch. The printer writes a temporary file that replaces the report once
// complete. Its documents have no outline that a page could be marked in.
struct PageReport::Document {
    Document(const std::string& target, int pageWidth, int pageHeight)
        : path(target), width(pageWidth), height(pageHeight),
          output(target, platform::FileKind::Pdf) {
        const HDC printer = win32::CreatePrinterDc(win32::kPdfPrinter);
        if (!printer) {
            failure = "no PDF can be made here: the \"Microsoft Print to PDF\" printer is not "
                      "installed (--png makes a picture without it)";
            return;
        }
        if (!output.Open() || !output.CloseForWriterByName()) {
            DeleteDC(printer);
            failure = output.Error();
            return;
        }
        surface.emplace(printer, platform::Widen(output.TemporaryName()), kPagePixelsPerInch);
        if (!surface->StartDocument(path)) failure = path + ": the PDF printer could not write it";
    }

    std::string path;
    int width, height;
    platform::ReplacingFile output;
    std::optional<platform::PrinterSurface> surface; // owns the printer's context
    std::string failure;                             // why no page can be added, once known
};

PageReport::PageReport(const std::string& path, int width, int height)
    : document_(std::make_unique<Document>(path, width, height)) {}

PageReport::~PageReport() = default;

bool PageReport::AddPage(std::string& error) {
    Document& document = *document_;
    if (document.failure.empty()) {
        const bool started = document.surface->StartPage();
        if (started) DrawPage(*document.surface, document.width, document.height);
        if (!document.surface->EndPage() || !started) {
            document.failure = document.path + ": the PDF printer could not write it";
        }
    }
    error = document.failure;
    return error.empty();
}

bool PageReport::Finish(std::string& error) {
    Document& document = *document_;
    if (document.failure.empty() && !document.surface->Finish()) {
        document.failure = document.path + ": the PDF printer could not write it";
    }
    document.surface.reset(); // the printer's context, gone, lets go of the file
    if (!document.failure.empty()) {
        error = document.failure;
        return false;
    }
    if (document.output.Commit(0)) return true;
    error = document.output.Error();
    return false;
}

bool WritePagePicture(PictureFormat format, const std::string& path, int width, int height,
                      std::string& error, int pngPixelsPerInch) {
    if (format == PictureFormat::Pdf) {
        PageReport page(path, width, height);
        return page.AddPage(error) && page.Finish(error);
    }
    if (format == PictureFormat::Svg) {
        error = path + ": SVG pictures are made by the viewer on Linux; here --png and --pdf";
        return false;
    }
    // More pixels to the inch: the page laid out over more pixels.
    width = PictureSide(width, pngPixelsPerInch);
    height = PictureSide(height, pngPixelsPerInch);
    platform::DibSurface surface(width, height, pngPixelsPerInch);
    if (!surface.Pixels()) {
        error = path + ": there is not enough memory for a picture of that size";
        return false;
    }
    DrawPage(surface, width, height);
    const std::span<const uint32_t> pixels(surface.Pixels(), static_cast<size_t>(width) *
                                                                 static_cast<size_t>(height));
    return render::WritePngFile(path, pixels, width, height, pngPixelsPerInch, error);
}

int RunScreenView(int&, char**, const std::string& commandFile, DrawingOpener openDrawing) {
    win32::MainWindow window;
    window.Area().SetDrawingOpener(std::move(openDrawing));
    Guarded([&] { window.Area().OpenDrawing(commandFile); });
    window.Show();
    return window.RunMessageLoop();
}

} // namespace view

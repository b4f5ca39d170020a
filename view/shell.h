// What the driver asks of the system that shows the screen view: the
// interactive window and the headless page pictures. view/qt/ answers on
// Linux, view/win32/ on Windows; this header names neither.
#pragma once

#include "platform/file_kind.h"
#include "view/draw_area.h"
#include "view/page_picture.h"

#include <functional>
#include <memory>
#include <string>

namespace view {

// The window system for a process that shows nothing (--png, --pdf).
class HeadlessGui {
  public:
    HeadlessGui(int& argc, char** argv);
    ~HeadlessGui();
    HeadlessGui(const HeadlessGui&) = delete;
    HeadlessGui& operator=(const HeadlessGui&) = delete;

    struct Toolkit; // what the shell keeps alive for the run

  private:
    std::unique_ptr<Toolkit> toolkit_;
};

enum class PictureFormat { Png, Pdf, Svg };

// What a picture of `format` is, which decides the files it may replace.
inline platform::FileKind FileKindOf(PictureFormat format) {
    switch (format) {
    case PictureFormat::Png:
        return platform::FileKind::Png;
    case PictureFormat::Pdf:
        return platform::FileKind::Pdf;
    case PictureFormat::Svg:
        return platform::FileKind::Svg;
    }
    return platform::FileKind::Png;
}

// Draws the page of the open session as the window shows it on a drawing area
// of width x height pixels, into a PNG (of `pngPixelsPerInch`: 200 doubles
// each side), a one-page PDF (100 pixels to the inch) or an SVG (one unit to
// the pixel). False, with the reason in `error`, when the file cannot be
// written (or the system cannot make that format).
bool WritePagePicture(PictureFormat format, const std::string& path, int width, int height,
                      std::string& error, int pngPixelsPerInch = kPagePixelsPerInch);

// A PDF of one page for each drawing added, in the order added, each page
// the page of the session open then as WritePagePicture draws it (width x
// height pixels at 100 to the inch). Nothing reaches `path` until Finish.
class PageReport {
  public:
    PageReport(const std::string& path, int width, int height);
    ~PageReport();
    PageReport(const PageReport&) = delete;
    PageReport& operator=(const PageReport&) = delete;

    // Draws the open session's page as the next page; false, with the reason
    // in `error`, when it cannot be drawn.
    bool AddPage(std::string& error);
    // Writes the file (replacing one of its name only when complete); false,
    // with the reason in `error`, when it cannot.
    bool Finish(std::string& error);

    struct Document; // what the shell writes the pages into

  private:
    std::unique_ptr<Document> document_;
};

// Creates the window, has `openDrawing` open the session on `commandFile`
// (the window must exist first: the session binds the display to it), then
// shows the drawing until the window is closed (0) or Exit ends the program;
// File > Open, Reload and changes of the file on disk use `openDrawing`
// again. A run-time error while the first drawing opens ends the program
// with the uncaught-error report.
int RunScreenView(int& argc, char** argv, const std::string& commandFile,
                  DrawingOpener openDrawing);

} // namespace view

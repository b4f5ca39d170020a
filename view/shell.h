// What the driver asks of the system that shows the screen view: the
// interactive window and the headless page pictures. view/qt/ answers on
// Linux, view/win32/ on Windows; this header names neither.
#pragma once

#include "platform/file_kind.h"
#include "view/draw_area.h"

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
// of width x height pixels, into a PNG, a one-page PDF (100 pixels to the
// inch) or an SVG (one unit to the pixel). False, with the reason in `error`,
// when the file cannot be written (or the system cannot make that format).
bool WritePagePicture(PictureFormat format, const std::string& path, int width, int height,
                      std::string& error);

// Creates the window, has `openDrawing` open the session on `commandFile`
// (the window must exist first: the session binds the display to it), then
// shows the drawing until the window is closed (0) or Exit ends the program;
// File > Open, Reload and changes of the file on disk use `openDrawing`
// again. A run-time error while the first drawing opens ends the program
// with the uncaught-error report.
int RunScreenView(int& argc, char** argv, const std::string& commandFile,
                  DrawingOpener openDrawing);

} // namespace view

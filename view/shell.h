// What the driver asks of the system that shows the screen view: the
// interactive window and the headless page pictures. view/qt/ answers on
// Linux, view/win32/ on Windows; this header names neither.
#pragma once

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

enum class PictureFormat { Png, Pdf };

// Draws the page of the open session as the window shows it on a drawing area
// of width x height pixels, into a PNG or a one-page PDF (100 pixels to the
// inch). False, with the reason in `error`, when the file cannot be written.
bool WritePagePicture(PictureFormat format, const std::string& path, int width, int height,
                      std::string& error);

// Creates the window, lets `prepareDrawing` open the session and interpret
// the command file (the window must exist first: the session binds the
// display to it), then shows the drawing until the window is closed (0) or
// Exit ends the program. A run-time error on the way ends the program with
// the uncaught-error report.
int RunScreenView(int& argc, char** argv, const std::function<void()>& prepareDrawing);

} // namespace view

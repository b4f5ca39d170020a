// Drawing the session's page without a window: the viewer's --png, --pdf and
// --svg modes. This header is free of Qt so that the driver needs none.
#pragma once

#include "platform/device_context.h"

#include <memory>
#include <string>

class QGuiApplication;

namespace view::qt {

// The GUI library for a process that shows nothing: the offscreen platform
// unless QT_QPA_PLATFORM names another.
class HeadlessGui {
  public:
    HeadlessGui(int& argc, char** argv);
    ~HeadlessGui();
    HeadlessGui(const HeadlessGui&) = delete;
    HeadlessGui& operator=(const HeadlessGui&) = delete;

  private:
    std::unique_ptr<QGuiApplication> application_;
};

// A white image of width x height pixels to draw into without a window.
std::unique_ptr<platform::Surface> CreateImageSurface(int width, int height);

enum class PictureFormat { Png, Pdf, Svg };

// Draws the page of the open session as the window shows it on a drawing area
// of width x height pixels, into a PNG, a one-page PDF (100 pixels to the
// inch) or an SVG (one unit to the pixel). False, with the reason in `error`, when the file cannot
// be written.
bool WritePagePicture(PictureFormat format, const std::string& path, int width, int height,
                      std::string& error);

} // namespace view::qt

#include "view/qt/headless.h"

#include "builder/redraw.h"
#include "builder/session.h"
#include "cadlib/kq_display.h"
#include "platform/device_context.h"
#include "platform/window_handles.h"
#include "view/qt/image_surface.h"
#include "view/qt/paged_surface.h"
#include "view/qt/runtime_folder.h"
#include "view/qt/svg_surface.h"

#include <QGuiApplication>
#include <QImageWriter>

namespace view::qt {

namespace {

// The window's picture of the whole page: the drawing area laid out over the
// surface, the page zoomed into view, one redraw.
void DrawPage(platform::Surface& surface, int width, int height) {
    const builder::SessionState& session = builder::Session();
    const platform::ScopedWindowSurface shown(platform::MainWindowHandle(), surface);
    kq_resize_vports(session.ScreenHandle, width, height);
    kq_zoom_vport_limits(session.ScreenHandle, session.CurrentViewport);
    builder::RedrawScreen();
}

} // namespace

HeadlessGui::HeadlessGui(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    StartWithRuntimeFolder([&] { application_ = std::make_unique<QGuiApplication>(argc, argv); });
}

HeadlessGui::~HeadlessGui() = default;

std::unique_ptr<platform::Surface> CreateImageSurface(int width, int height) {
    return std::make_unique<ImageSurface>(width, height);
}

bool WritePagePicture(PictureFormat format, const std::string& path, int width, int height,
                      std::string& error) {
    const QString file = QString::fromStdString(path);
    if (format == PictureFormat::Png) {
        ImageSurface surface(width, height);
        DrawPage(surface, width, height);
        QImageWriter writer(file, "png");
        if (writer.write(surface.Image())) return true;
        error = path + ": " + writer.errorString().toStdString();
        return false;
    }
    const auto finished = [&](auto& surface) {
        DrawPage(surface, width, height);
        if (surface.Finish()) return true;
        error = path + ": cannot be written";
        return false;
    };
    if (format == PictureFormat::Svg) {
        SvgSurface surface(file, width, height);
        return finished(surface);
    }
    PdfSurface surface(file, width, height);
    return finished(surface);
}

} // namespace view::qt

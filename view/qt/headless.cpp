#include "view/qt/headless.h"

#include "platform/device_context.h"
#include "view/page_picture.h"
#include "view/qt/image_surface.h"
#include "view/qt/paged_surface.h"
#include "view/qt/runtime_folder.h"
#include "view/qt/svg_surface.h"

#include <QGuiApplication>
#include <QImageWriter>

namespace view {

struct HeadlessGui::Toolkit {
    std::unique_ptr<QGuiApplication> application;
};

// The offscreen platform unless QT_QPA_PLATFORM names another.
HeadlessGui::HeadlessGui(int& argc, char** argv) : toolkit_(std::make_unique<Toolkit>()) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qt::StartWithRuntimeFolder(
        [&] { toolkit_->application = std::make_unique<QGuiApplication>(argc, argv); });
}

HeadlessGui::~HeadlessGui() = default;

bool WritePagePicture(PictureFormat format, const std::string& path, int width, int height,
                      std::string& error) {
    const QString file = QString::fromStdString(path);
    if (format == PictureFormat::Png) {
        qt::ImageSurface surface(width, height);
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
        qt::SvgSurface surface(file, width, height);
        return finished(surface);
    }
    qt::PdfSurface surface(file, width, height);
    return finished(surface);
}

} // namespace view

namespace view::qt {

std::unique_ptr<platform::Surface> CreateImageSurface(int width, int height) {
    return std::make_unique<ImageSurface>(width, height);
}

void FinishPainting(platform::Surface& surface) {
    if (auto* image = dynamic_cast<ImageSurface*>(&surface)) image->Image();
}

bool WriteImageSurface(platform::Surface& surface, const std::string& pngFile) {
    auto* image = dynamic_cast<ImageSurface*>(&surface);
    return image && image->Image().save(QString::fromStdString(pngFile), "PNG");
}

} // namespace view::qt

#include "view/qt/headless.h"

#include "platform/device_context.h"
#include "platform/replacing_file.h"
#include "view/page_picture.h"
#include "view/qt/image_surface.h"
#include "view/qt/paged_surface.h"
#include "view/qt/runtime_folder.h"
#include "view/qt/svg_surface.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImageWriter>

#include <string_view>

namespace view {

namespace {

// Qt's own complaints about a device it writes to would reach stderr beside,
// or instead of, the program's message, which names the file and the
// system's reason: they are kept off it while a picture is made.
class QtMessagesSilenced {
  public:
    QtMessagesSilenced() : previous_(qInstallMessageHandler(Drop)) {}
    ~QtMessagesSilenced() { qInstallMessageHandler(previous_); }
    QtMessagesSilenced(const QtMessagesSilenced&) = delete;
    QtMessagesSilenced& operator=(const QtMessagesSilenced&) = delete;

  private:
    static void Drop(QtMsgType, const QMessageLogContext&, const QString&) {}
    QtMessageHandler previous_;
};

// `image` as a PNG in `bytes`; why not, or empty.
std::string EncodePng(const QImage& image, QByteArray& bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(image) ? std::string() : writer.errorString().toStdString();
}

// The page drawn as a picture of `format` into `bytes`; why not, or empty.
std::string DrawPicture(PictureFormat format, int width, int height, QByteArray& bytes) {
    if (format == PictureFormat::Png) {
        qt::ImageSurface surface(width, height);
        DrawPage(surface, width, height);
        return EncodePng(surface.Image(), bytes);
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const auto finished = [&](auto& surface) {
        DrawPage(surface, width, height);
        return surface.Finish() ? std::string() : std::string("the page could not be drawn");
    };
    if (format == PictureFormat::Svg) {
        qt::SvgSurface surface(buffer, width, height);
        return finished(surface);
    }
    qt::PdfSurface surface(buffer, width, height);
    return finished(surface);
}

// The picture made in memory becomes the file through the replacing file,
// whose every write is checked: a failure keeps the old picture.
bool ReplaceWithBytes(const std::string& path, PictureFormat format, const QByteArray& bytes,
                      std::string& error) {
    return platform::ReplaceFileWith(
        path, FileKindOf(format),
        std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), error);
}

} // namespace

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
    const QtMessagesSilenced quiet;
    QByteArray bytes;
    const std::string problem = DrawPicture(format, width, height, bytes);
    if (problem.empty()) return ReplaceWithBytes(path, format, bytes, error);
    error = path + ": " + problem;
    return false;
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
    QByteArray bytes;
    std::string error;
    return image && EncodePng(image->Image(), bytes).empty() &&
           ReplaceWithBytes(pngFile, PictureFormat::Png, bytes, error);
}

} // namespace view::qt

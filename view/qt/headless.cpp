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
#include <utility>

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

// The page drawn as a picture of `format` into `bytes`; why not, or empty. A
// PNG of more pixels to the inch is the page laid out over more pixels.
std::string DrawPicture(PictureFormat format, int width, int height, int pngPixelsPerInch,
                        QByteArray& bytes) {
    if (format == PictureFormat::Png) {
        const int pixelsWide = PictureSide(width, pngPixelsPerInch);
        const int pixelsHigh = PictureSide(height, pngPixelsPerInch);
        qt::ImageSurface surface(pixelsWide, pixelsHigh, pngPixelsPerInch);
        DrawPage(surface, pixelsWide, pixelsHigh);
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
                      std::string& error, int pngPixelsPerInch) {
    const QtMessagesSilenced quiet;
    QByteArray bytes;
    const std::string problem = DrawPicture(format, width, height, pngPixelsPerInch, bytes);
    if (problem.empty()) return ReplaceWithBytes(path, format, bytes, error);
    error = path + ": " + problem;
    return false;
}

// The report is drawn in memory, as every picture is, and written whole.
// Qt's PDF writer can mark no page in the document's outline (it has no
// call for it), so the pages go without bookmarks.
struct PageReport::Document {
    Document(std::string target, int pageWidth, int pageHeight)
        : path(std::move(target)), width(pageWidth), height(pageHeight) {
        buffer.open(QIODevice::WriteOnly);
    }
    std::string path;
    int width, height;
    QByteArray bytes;
    QBuffer buffer{&bytes};
    qt::PdfSurface surface{buffer, width, height};
};

PageReport::PageReport(const std::string& path, int width, int height)
    : document_(std::make_unique<Document>(path, width, height)) {}

PageReport::~PageReport() = default;

bool PageReport::AddPage(std::string& error) {
    const QtMessagesSilenced quiet;
    Document& document = *document_;
    const bool started = document.surface.StartPage();
    if (started) DrawPage(document.surface, document.width, document.height);
    if (started && document.surface.EndPage()) return true;
    error = document.path + ": the page could not be drawn";
    return false;
}

bool PageReport::Finish(std::string& error) {
    const QtMessagesSilenced quiet;
    if (!document_->surface.Finish()) {
        error = document_->path + ": the document could not be drawn";
        return false;
    }
    return ReplaceWithBytes(document_->path, PictureFormat::Pdf, document_->bytes, error);
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

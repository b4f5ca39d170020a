#include "view/qt/image_surface.h"

#include <cmath>

namespace view::qt {

namespace {
constexpr double kInchesPerMetre = 1 / 0.0254;
// A window pixel is a hundredth of an inch of the drawing at Zoom Page scale.
constexpr double kWindowDotsPerInch = 100.0;
} // namespace

ImageSurface::ImageSurface(int width, int height, double dotsPerInch)
    : ImageSurface(QSize(width, height), dotsPerInch, 1.0) {}

ImageSurface::ImageSurface(QSize devicePixels, double dotsPerInch, double pixelRatio)
    : image_(devicePixels, QImage::Format_RGB32), dotsPerInch_(dotsPerInch),
      pixelRatio_(pixelRatio) {
    image_.fill(Qt::white);
    const int dotsPerMetre = static_cast<int>(dotsPerInch * kInchesPerMetre + 0.5);
    image_.setDotsPerMeterX(dotsPerMetre);
    image_.setDotsPerMeterY(dotsPerMetre);
}

// Whole device pixels covering the client area.
ImageSurface::ImageSurface(QSize clientArea, double pixelRatio)
    : ImageSurface(QSize(static_cast<int>(std::ceil(clientArea.width() * pixelRatio)),
                         static_cast<int>(std::ceil(clientArea.height() * pixelRatio))),
                   kWindowDotsPerInch * pixelRatio, pixelRatio) {}

const QImage& ImageSurface::Image() {
    if (painter_.isActive()) painter_.end();
    return image_;
}

QPainter* ImageSurface::ActivePainter() {
    if (!painter_.isActive()) {
        if (!painter_.begin(&image_)) return nullptr;
        ForgetAppliedState();
    }
    return &painter_;
}

} // namespace view::qt

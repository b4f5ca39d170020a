#include "view/qt/image_surface.h"

namespace view::qt {

namespace {
constexpr double kInchesPerMetre = 1 / 0.0254;
}

ImageSurface::ImageSurface(int width, int height, double dotsPerInch)
    : image_(width, height, QImage::Format_RGB32), dotsPerInch_(dotsPerInch) {
    image_.fill(Qt::white);
    const int dotsPerMetre = static_cast<int>(dotsPerInch * kInchesPerMetre + 0.5);
    image_.setDotsPerMeterX(dotsPerMetre);
    image_.setDotsPerMeterY(dotsPerMetre);
}

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

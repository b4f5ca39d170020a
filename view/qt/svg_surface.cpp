#include "view/qt/svg_surface.h"

#include <QIODevice>

namespace view::qt {

namespace {
// The page at Zoom Page scale: a hundredth of an inch to the pixel.
constexpr int kPixelsPerInch = 100;
} // namespace

SvgSurface::SvgSurface(QIODevice& device, int width, int height) : width_(width), height_(height) {
    generator_.setOutputDevice(&device);
    generator_.setSize(QSize(width, height));
    generator_.setViewBox(QRect(0, 0, width, height));
    generator_.setResolution(kPixelsPerInch);
    generator_.setTitle("plotdxf page");
}

double SvgSurface::DotsPerInch() const {
    return kPixelsPerInch;
}

QPainter* SvgSurface::ActivePainter() {
    if (!painter_.isActive() && !failed_) {
        failed_ = !painter_.begin(&generator_);
        ForgetAppliedState();
    }
    return painter_.isActive() ? &painter_ : nullptr;
}

bool SvgSurface::Finish() {
    // A page nothing was drawn on is still a page.
    if (!ActivePainter()) return false;
    return painter_.end() && generator_.outputDevice()->pos() > 0;
}

} // namespace view::qt

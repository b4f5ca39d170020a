// A surface over an image: the window's backing image, and the PNG of a
// headless render. Raster operations work here (R2_NOT inverts).
#pragma once

#include "view/qt/painter_surface.h"

#include <QImage>
#include <QPainter>

namespace view::qt {

class ImageSurface : public PainterSurface {
  public:
    // A white image of width x height pixels.
    ImageSurface(int width, int height, double dotsPerInch = 100.0);

    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    double DotsPerInch() const override { return dotsPerInch_; }

    // The picture so far; painting afterwards goes on into the same image.
    const QImage& Image();

  protected:
    QPainter* ActivePainter() override;

  private:
    QImage image_;
    QPainter painter_;
    double dotsPerInch_;
};

} // namespace view::qt

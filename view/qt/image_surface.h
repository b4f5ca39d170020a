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
    // A window's backing image: `clientArea` pixels of the client area on a
    // screen of `pixelRatio` device pixels to the pixel. The image has that
    // many more pixels, one for each device pixel, and is painted as such
    // (its own pixel ratio stays 1, so a painter draws in device pixels).
    ImageSurface(QSize clientArea, double pixelRatio);

    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    double DotsPerInch() const override { return dotsPerInch_; }
    double PixelRatio() const override { return pixelRatio_; }

    // The picture so far; painting afterwards goes on into the same image.
    const QImage& Image();

  protected:
    QPainter* ActivePainter() override;

  private:
    ImageSurface(QSize devicePixels, double dotsPerInch, double pixelRatio);

    QImage image_;
    QPainter painter_;
    double dotsPerInch_;
    double pixelRatio_;
};

} // namespace view::qt

// A page written as SVG (for web pages and reports): the screen view's
// picture of width x height pixels, one SVG unit to the pixel.
#pragma once

#include "view/qt/painter_surface.h"

#include <QPainter>
#include <QSvgGenerator>

namespace view::qt {

class SvgSurface : public PainterSurface {
  public:
    // The SVG goes to `device`, open for writing, which outlives the surface.
    SvgSurface(QIODevice& device, int width, int height);

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    double DotsPerInch() const override;

    // Completes the SVG; false when it could not be written.
    bool Finish();

  protected:
    QPainter* ActivePainter() override;

  private:
    QSvgGenerator generator_;
    QPainter painter_;
    int width_, height_;
    bool failed_ = false;
};

} // namespace view::qt

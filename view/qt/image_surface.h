// A surface over an image: the window's backing image, and the PNG of a
// headless render. Raster operations work here (R2_NOT inverts).
//
// What is drawn is kept until the picture is asked for (Image), then painted
// at once in two bands, the lower on a thread of its own: a redraw costs the
// painting of half the picture. Every band gets only what reaches it, clipped
// to it; one-pixel lines, fills and text come out the same painted in bands
// as painted whole, so the picture does not depend on where it was split.
#pragma once

#include "platform/display_list.h"
#include "view/qt/paint_worker.h"
#include "view/qt/painter_surface.h"

#include <QImage>
#include <QPainter>

#include <memory>

namespace view::qt {

class ImageSurface : public platform::Surface {
  public:
    // A white image of width x height pixels.
    ImageSurface(int width, int height, double dotsPerInch = 100.0);
    // A window's backing image: `clientArea` pixels of the client area on a
    // screen of `pixelRatio` device pixels to the pixel. The image has that
    // many more pixels, one for each device pixel, and is painted as such
    // (its own pixel ratio stays 1, so a painter draws in device pixels).
    ImageSurface(QSize clientArea, double pixelRatio);
    ~ImageSurface() override;

    // Less work than this (DisplayList::Work, some tens of microseconds) is
    // painted by the caller alone: a second thread would cost more than it saves.
    static constexpr double kWorkWorthTwoThreads = 2000;

    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    double DotsPerInch() const override { return dotsPerInch_; }
    double PixelRatio() const override { return pixelRatio_; }

    void Polyline(const platform::DrawState& state,
                  std::span<const platform::DevicePoint> points) override;
    void Segments(const platform::DrawState& state,
                  std::span<const platform::DevicePoint> ends) override;
    void Polygon(const platform::DrawState& state,
                 std::span<const platform::DevicePoint> points) override;
    void Text(const platform::DrawState& state, platform::DevicePoint anchor,
              std::u16string_view text, const platform::TextFont& font) override;
    double TextWidth(std::u16string_view text, const platform::TextFont& font) override;

    // The picture, with everything drawn so far painted; drawing afterwards
    // goes on into the same image.
    const QImage& Image();

  private:
    class Band;
    // What the list may hold before it is painted: a window that is never
    // shown still draws at a bounded cost in memory.
    static constexpr size_t kMostHeld = size_t{1} << 22;

    ImageSurface(QSize devicePixels, double dotsPerInch, double pixelRatio);
    void PaintPending();
    void PaintWhenFull();

    QImage image_;
    double dotsPerInch_;
    double pixelRatio_;
    // The upper band is painted by the caller and also measures text; the
    // lower by the worker. Each keeps its own fonts, laid out on its thread.
    std::unique_ptr<Band> upper_, lower_;
    platform::DisplayList pending_;
    PaintWorker worker_;
};

} // namespace view::qt

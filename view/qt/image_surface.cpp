#include "view/qt/image_surface.h"

#include <cmath>
#include <exception>

namespace view::qt {

namespace {
constexpr double kInchesPerMetre = 1 / 0.0254;
// A window pixel is a hundredth of an inch of the drawing at Zoom Page scale.
constexpr double kWindowDotsPerInch = 100.0;
} // namespace

// Rows [top, bottom) of the picture, painted in the picture's coordinates.
class ImageSurface::Band : public PainterSurface {
  public:
    explicit Band(const QImage& picture) : picture_(picture) {}

    int Width() const override { return picture_.width(); }
    int Height() const override { return picture_.height(); }
    double DotsPerInch() const override { return picture_.dotsPerMeterX() / kInchesPerMetre; }

    // Begins painting the rows of the picture whose pixels start at `pixels`.
    void Attach(uchar* pixels, int top, int bottom) {
        Detach();
        pixels_ = pixels;
        top_ = top;
        bottom_ = bottom;
        const qsizetype stride = picture_.bytesPerLine();
        rows_ = QImage(pixels + top * stride, picture_.width(), bottom - top, stride,
                       picture_.format());
        if (painter_.begin(&rows_)) painter_.translate(0, -top);
        ForgetAppliedState();
    }
    void Detach() {
        if (painter_.isActive()) painter_.end();
    }

  protected:
    QPainter* ActivePainter() override { return painter_.isActive() ? &painter_ : nullptr; }
    std::optional<platform::PixelWindow> Pixels() override {
        // 32 bits a pixel, as the picture is made: the stride is whole pixels.
        return platform::PixelWindow{reinterpret_cast<uint32_t*>(pixels_),
                                     picture_.bytesPerLine() / 4,
                                     0,
                                     top_,
                                     picture_.width(),
                                     bottom_};
    }

  private:
    const QImage& picture_;
    uchar* pixels_ = nullptr;
    int top_ = 0, bottom_ = 0;
    QImage rows_; // a view onto the picture's pixels, not a copy
    QPainter painter_;
};

ImageSurface::ImageSurface(int width, int height, double dotsPerInch)
    : ImageSurface(QSize(width, height), dotsPerInch, 1.0) {}

ImageSurface::ImageSurface(QSize devicePixels, double dotsPerInch, double pixelRatio)
    : image_(devicePixels, QImage::Format_RGB32), dotsPerInch_(dotsPerInch),
      pixelRatio_(pixelRatio), upper_(std::make_unique<Band>(image_)),
      lower_(std::make_unique<Band>(image_)), pending_(*this) {
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

ImageSurface::~ImageSurface() = default;

void ImageSurface::Polyline(const platform::DrawState& state,
                            std::span<const platform::DevicePoint> points) {
    pending_.Polyline(state, points);
    PaintWhenFull();
}

void ImageSurface::Segments(const platform::DrawState& state,
                            std::span<const platform::DevicePoint> ends) {
    pending_.Segments(state, ends);
    PaintWhenFull();
}

void ImageSurface::Polygon(const platform::DrawState& state,
                           std::span<const platform::DevicePoint> points) {
    pending_.Polygon(state, points);
    PaintWhenFull();
}

void ImageSurface::Text(const platform::DrawState& state, platform::DevicePoint anchor,
                        std::u16string_view text, const platform::TextFont& font) {
    pending_.Text(state, anchor, text, font);
    PaintWhenFull();
}

double ImageSurface::TextWidth(std::u16string_view text, const platform::TextFont& font) {
    return upper_->TextWidth(text, font);
}

void ImageSurface::PaintWhenFull() {
    if (pending_.Size() > kMostHeld) PaintPending();
}

const QImage& ImageSurface::Image() {
    PaintPending();
    return image_;
}

void ImageSurface::PaintPending() {
    if (pending_.Empty()) return;
    uchar* pixels = image_.bits(); // its own copy, should the picture have been shared
    const int height = image_.height();
    // An inverting stroke is painted whole, so a second one undoes it exactly.
    const int split = pending_.Inverts() || pending_.Work() < kWorkWorthTwoThreads
                          ? height
                          : pending_.BalancedRow();
    if (split < height) {
        worker_.Start([this, pixels, split, height] {
            lower_->Attach(pixels, split, height);
            pending_.Replay(*lower_, split, height);
            lower_->Detach();
        });
    }
    std::exception_ptr failure;
    try {
        upper_->Attach(pixels, 0, split);
        pending_.Replay(*upper_, 0, split);
    } catch (...) {
        failure = std::current_exception();
    }
    upper_->Detach();
    // The worker is done with the list before it goes, whatever happened here.
    if (split < height) {
        try {
            worker_.Wait();
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    }
    pending_.Clear();
    if (failure) std::rethrow_exception(failure);
}

} // namespace view::qt

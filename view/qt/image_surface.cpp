#include "view/qt/image_surface.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace view::qt {

namespace {
constexpr double kInchesPerMetre = 1 / 0.0254;
// A window pixel is a hundredth of an inch of the drawing at Zoom Page scale.
constexpr double kWindowDotsPerInch = 100.0;

double Milliseconds(std::chrono::steady_clock::duration spent) {
    return std::chrono::duration<double, std::milli>(spent).count();
}

// What `paint` threw, so that the other thread is still waited for.
template <typename Paint>
std::exception_ptr Caught(Paint paint) {
    try {
        paint();
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}
} // namespace

// Rows [top, bottom) of the picture, painted in the picture's coordinates.
class ImageSurface::Band : public PainterSurface {
  public:
    explicit Band(const QImage& picture) : picture_(picture) {}

    int Width() const override { return picture_.width(); }
    int Height() const override { return picture_.height(); }
    double DotsPerInch() const override { return picture_.dotsPerMeterX() / kInchesPerMetre; }

    // Begins painting the rows of the picture whose pixels start at `pixels`.
    // A band of no rows paints nothing.
    void Attach(uchar* pixels, int top, int bottom) {
        Detach();
        pixels_ = pixels;
        top_ = top;
        bottom_ = bottom;
        if (top >= bottom) return;
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
    std::optional<render::PixelWindow> Pixels() override {
        // 32 bits a pixel, as the picture is made: the stride is whole pixels.
        return render::PixelWindow{reinterpret_cast<uint32_t*>(pixels_),
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
      lower_(std::make_unique<Band>(image_)), split_(devicePixels.height() / 2) {
    image_.fill(Qt::white);
    const int dotsPerMetre = static_cast<int>(dotsPerInch * kInchesPerMetre + 0.5);
    image_.setDotsPerMeterX(dotsPerMetre);
    image_.setDotsPerMeterY(dotsPerMetre);
    StartPass();
}

// Whole device pixels covering the client area.
ImageSurface::ImageSurface(QSize clientArea, double pixelRatio)
    : ImageSurface(QSize(static_cast<int>(std::ceil(clientArea.width() * pixelRatio)),
                         static_cast<int>(std::ceil(clientArea.height() * pixelRatio))),
                   kWindowDotsPerInch * pixelRatio, pixelRatio) {}

ImageSurface::~ImageSurface() {
    if (!streaming_) return;
    queue_.Close();
    // The picture is gone: what went wrong painting it no longer matters.
    Caught([this] { worker_.Wait(); });
}

// --- The pass as it is drawn ------------------------------------------------

void ImageSurface::Polyline(const platform::DrawState& state,
                            std::span<const platform::DevicePoint> points) {
    Recording(state).Polyline(state, points);
    Recorded();
}

void ImageSurface::Segments(const platform::DrawState& state,
                            std::span<const platform::DevicePoint> ends) {
    Recording(state).Segments(state, ends);
    Recorded();
}

void ImageSurface::Polygon(const platform::DrawState& state,
                           std::span<const platform::DevicePoint> points) {
    Recording(state).Polygon(state, points);
    Recorded();
}

void ImageSurface::Text(const platform::DrawState& state, platform::DevicePoint anchor,
                        std::u16string_view text, const platform::TextFont& font) {
    Recording(state).Text(state, anchor, text, font);
    Recorded();
}

double ImageSurface::TextWidth(std::u16string_view text, const platform::TextFont& font) {
    return upper_->TextWidth(text, font);
}

render::DisplayList& ImageSurface::Recording(const platform::DrawState& state) {
    // An inverting stroke is painted whole: the pass painted so far is finished first.
    if (streaming_ && state.rasterOp != platform::R2_COPYPEN) PaintPending();
    if (held_ == 0 && batches_.back()->Empty()) passBegan_ = Clock::now();
    return *batches_.back();
}

void ImageSurface::Recorded() {
    const render::DisplayList& batch = *batches_.back();
    if (held_ + batch.Size() > kMostHeld) {
        PaintPending();
        return;
    }
    if (batch.Size() < kBatchSize || batch.Inverts()) return;
    if (!streaming_) StartStreaming();
    queue_.Push(&batch);
    held_ += batch.Size();
    batches_.push_back(std::make_unique<render::DisplayList>(*this));
}

void ImageSurface::StartStreaming() {
    streaming_ = true;
    streamPixels_ = image_.bits(); // its own copy, should the picture have been shared
    queue_.Open();
    worker_.Start([this, pixels = streamPixels_, split = split_, height = Height()] {
        const Clock::time_point start = Clock::now();
        Clock::duration waited{};
        PaintBand(*lower_, pixels, split, height, [this, &waited] {
            const Clock::time_point asked = Clock::now();
            const render::DisplayList* batch = queue_.Next();
            waited += Clock::now() - asked;
            return batch;
        });
        workerBusy_ = Milliseconds(Clock::now() - start - waited);
    });
}

bool ImageSurface::Scroll(const platform::DeviceRect& area, int dx, int dy) {
    PaintPending(); // what was drawn moves with the rest
    render::MovePixels({reinterpret_cast<uint32_t*>(image_.bits()), image_.bytesPerLine() / 4, 0, 0,
                        Width(), Height()},
                       area, dx, dy);
    return true;
}

// --- Painting what is pending -------------------------------------------------

const QImage& ImageSurface::Image() {
    PaintPending();
    return image_;
}

void ImageSurface::PaintPending() {
    try {
        if (streaming_) {
            FinishStreaming();
        } else if (held_ > 0 || !batches_.back()->Empty()) {
            const bool inverts = std::any_of(batches_.begin(), batches_.end(),
                                             [](const auto& batch) { return batch->Inverts(); });
            // An inverting stroke is painted whole, so a second one undoes it exactly.
            if (inverts || WorkOfPass() < kWorkWorthTwoThreads) {
                PaintWhole();
            } else {
                PaintInBands(render::RowSplittingWork(WorkByRow(), 0.5));
            }
        }
    } catch (...) {
        StartPass(); // what failed to paint is not tried again
        throw;
    }
    StartPass();
}

void ImageSurface::StartPass() {
    batches_.clear();
    batches_.push_back(std::make_unique<render::DisplayList>(*this));
    held_ = 0;
}

template <typename Next>
void ImageSurface::PaintBand(Band& band, uchar* pixels, int top, int bottom, Next next) {
    band.Attach(pixels, top, bottom);
    try {
        while (const render::DisplayList* batch = next())
            batch->Replay(band, top, bottom);
    } catch (...) {
        band.Detach();
        throw;
    }
    band.Detach();
}

std::function<const render::DisplayList*()> ImageSurface::EveryBatch() const {
    return [this, next = size_t{0}]() mutable {
        return next < batches_.size() ? batches_[next++].get() : nullptr;
    };
}

void ImageSurface::WaitForWorker(std::exception_ptr& failure) {
    const std::exception_ptr worker = Caught([this] { worker_.Wait(); });
    if (!failure) failure = worker;
}

void ImageSurface::PaintWhole() {
    PaintBand(*upper_, image_.bits(), 0, Height(), EveryBatch());
}

void ImageSurface::PaintInBands(int split) {
    uchar* pixels = image_.bits(); // its own copy, should the picture have been shared
    const int height = Height();
    worker_.Start(
        [this, pixels, split, height] { PaintBand(*lower_, pixels, split, height, EveryBatch()); });
    std::exception_ptr failure =
        Caught([&] { PaintBand(*upper_, pixels, 0, split, EveryBatch()); });
    // The worker is done with the batches before they go, whatever happened here.
    WaitForWorker(failure);
    if (failure) std::rethrow_exception(failure);
}

void ImageSurface::FinishStreaming() {
    if (!batches_.back()->Empty()) queue_.Push(batches_.back().get());
    queue_.Close();
    const Clock::time_point recorded = Clock::now();
    std::exception_ptr failure =
        Caught([&] { PaintBand(*upper_, streamPixels_, 0, split_, EveryBatch()); });
    const double upper = Milliseconds(Clock::now() - recorded);
    WaitForWorker(failure);
    streaming_ = false;
    // The next pass likely costs what this one did: the caller draws for
    // `drawing`, then paints its band; the bands meet where both would end
    // together, the work of painting taken to be spread as this pass's.
    const double drawing = Milliseconds(recorded - passBegan_);
    const double painting = upper + workerBusy_;
    if (painting > 0) {
        const double share = std::clamp(((drawing + painting) / 2 - drawing) / painting, 0.0, 1.0);
        split_ = render::RowSplittingWork(WorkByRow(), share);
    }
    if (failure) std::rethrow_exception(failure);
}

double ImageSurface::WorkOfPass() const {
    double work = 0;
    for (const auto& batch : batches_)
        work += batch->Work();
    return work;
}

std::vector<double> ImageSurface::WorkByRow() const {
    std::vector<double> workByRow(static_cast<size_t>(Height()), 0.0);
    for (const auto& batch : batches_)
        batch->AddWorkByRow(workByRow);
    return workByRow;
}

// --- Handing batches to the worker -------------------------------------------------

void ImageSurface::BatchQueue::Open() {
    const std::lock_guard lock(mutex_);
    waiting_.clear();
    closed_ = false;
}

void ImageSurface::BatchQueue::Push(const render::DisplayList* batch) {
    {
        const std::lock_guard lock(mutex_);
        waiting_.push_back(batch);
    }
    changed_.notify_one();
}

void ImageSurface::BatchQueue::Close() {
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_one();
}

const render::DisplayList* ImageSurface::BatchQueue::Next() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !waiting_.empty() || closed_; });
    if (waiting_.empty()) return nullptr;
    const render::DisplayList* batch = waiting_.front();
    waiting_.pop_front();
    return batch;
}

} // namespace view::qt

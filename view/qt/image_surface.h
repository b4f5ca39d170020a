// A surface over an image: the window's backing image, and the PNG of a
// headless render. Raster operations work here (R2_NOT inverts).
//
// The picture is painted in two bands at once, the lower by a thread of its
// own. What a pass draws is kept in batches: once a pass fills its first
// batch, the worker paints the lower band of every batch as it fills, while
// the pass goes on; when the picture is asked for (Image), the caller paints
// the upper band and waits for the worker. The rows where the bands meet
// move from pass to pass so that both finish together. Every band gets only
// what reaches it, clipped to it; one-pixel lines, fills and text come out
// the same painted in bands as painted whole, so the picture does not depend
// on where it was split.
#pragma once

#include "render/display_list.h"
#include "view/qt/paint_worker.h"
#include "view/qt/painter_surface.h"

#include <QImage>
#include <QPainter>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

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
    // Moves the painted picture's pixels: a pan paints only what it uncovers.
    bool Scroll(const platform::DeviceRect& area, int dx, int dy) override;

    // The picture, with everything drawn so far painted; drawing afterwards
    // goes on into the same image.
    const QImage& Image();

  private:
    class Band;
    using Clock = std::chrono::steady_clock;

    // Batches handed from the pass to the worker, in order; closed at the
    // end of the pass.
    class BatchQueue {
      public:
        void Open();
        void Push(const render::DisplayList* batch);
        void Close();
        // The next batch, waiting for it; nullptr once closed and emptied.
        const render::DisplayList* Next();

      private:
        std::mutex mutex_;
        std::condition_variable changed_;
        std::deque<const render::DisplayList*> waiting_;
        bool closed_ = true;
    };

    // Primitives a batch holds (with their points) before the worker gets it.
    static constexpr size_t kBatchSize = 16384;
    // What a pass may hold before it is painted: a window that is never
    // shown still draws at a bounded cost in memory.
    static constexpr size_t kMostHeld = size_t{1} << 22;

    ImageSurface(QSize devicePixels, double dotsPerInch, double pixelRatio);
    // The batch the pass draws into; notes when the pass began.
    render::DisplayList& Recording(const platform::DrawState& state);
    // After a primitive: hands a full batch over, or paints a pass grown too big.
    void Recorded();
    void StartStreaming();
    void PaintPending();
    void StartPass();
    void PaintWhole();
    void PaintInBands(int split);
    void FinishStreaming();
    // Paints rows [top, bottom) of the batches `next` hands out, in turn,
    // onto `band` over the picture's `pixels`; nullptr ends them.
    template <typename Next>
    void PaintBand(Band& band, uchar* pixels, int top, int bottom, Next next);
    // Hands out the pass's batches in order (to one thread each).
    std::function<const render::DisplayList*()> EveryBatch() const;
    // Waits for the worker; `failure` keeps what was thrown first.
    void WaitForWorker(std::exception_ptr& failure);
    double WorkOfPass() const;
    std::vector<double> WorkByRow() const;

    QImage image_;
    double dotsPerInch_;
    double pixelRatio_;
    // The upper band is painted by the caller and also measures text; the
    // lower by the worker. Each keeps its own fonts, laid out on its thread.
    std::unique_ptr<Band> upper_, lower_;
    std::vector<std::unique_ptr<render::DisplayList>> batches_; // the pass, never empty
    size_t held_ = 0;        // primitives and points in the batches
    bool streaming_ = false; // the worker paints the pass as it goes
    uchar* streamPixels_ = nullptr;
    int split_; // the first row of the lower band when streaming
    Clock::time_point passBegan_;
    double workerBusy_ = 0; // milliseconds the worker painted in the last pass
    BatchQueue queue_;
    PaintWorker worker_;
};

} // namespace view::qt

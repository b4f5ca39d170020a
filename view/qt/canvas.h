// The client area of the screen view: it shows the window's backing image,
// which is the surface GetDC hands out for the window, holds the two scroll
// bars and turns mouse, wheel and resize events into the window's handlers.
#pragma once

#include "platform/device_context.h"
#include "view/draw_area.h"
#include "view/qt/image_surface.h"

#include <QScrollBar>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace view::qt {

class Canvas : public QWidget {
  public:
    // `pointerMoved` hears every pointer position over the area, in client pixels.
    Canvas(DrawArea& area, std::function<void(QPoint)> pointerMoved);

    QScrollBar& HScroll1() { return hScroll1_; }
    QScrollBar& VScroll1() { return vScroll1_; }
    // What the window shows; null before the first layout.
    const QImage* Picture();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void FollowModel(QScrollBar& bar, ScrollBarModel& model);
    void BarChanged(QScrollBar& bar, ScrollBarModel& model, int value);

    DrawArea& area_;
    std::function<void(QPoint)> pointerMoved_;
    QScrollBar hScroll1_{Qt::Horizontal, this};
    QScrollBar vScroll1_{Qt::Vertical, this};
    std::unique_ptr<ImageSurface> image_;
    std::optional<platform::ScopedWindowSurface> registered_;
    int wheelAngle_ = 0; // eighths of a degree not yet turned into notches
};

} // namespace view::qt

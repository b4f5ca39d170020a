// The client area of the screen view: it shows the window's backing image,
// which is the surface GetDC hands out for the window (at the screen's pixel
// ratio), holds the two scroll bars and turns mouse, wheel, key and resize
// events into the window's handlers.
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
    // `pointerMoved` hears every pointer position over the area, in client
    // pixels, and nullopt when the pointer leaves it.
    Canvas(DrawArea& area, std::function<void(std::optional<QPoint>)> pointerMoved);

    QScrollBar& HScroll1() { return hScroll1_; }
    QScrollBar& VScroll1() { return vScroll1_; }
    // What the window shows, in device pixels; null before the first layout.
    const QImage* Picture();
    // Shows the bars' models: range, thumb and value (the window's view).
    void ShowBars();
    // Where the pointer is over the area; nullopt when it is elsewhere.
    std::optional<QPoint> Pointer() const { return pointer_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void FollowModel(QScrollBar& bar, ScrollBarModel& model);
    void BarChanged(QScrollBar& bar, ScrollBarModel& model, int value);
    // A new white backing image of the area's size at the screen's pixel
    // ratio, handed out from now on, and the window laid out over it.
    void NewBackingImage();

    DrawArea& area_;
    std::function<void(std::optional<QPoint>)> pointerMoved_;
    QScrollBar hScroll1_{Qt::Horizontal, this};
    QScrollBar vScroll1_{Qt::Vertical, this};
    std::unique_ptr<ImageSurface> image_;
    std::optional<platform::ScopedWindowSurface> registered_;
    std::optional<QPoint> pointer_;
};

} // namespace view::qt

#include "view/qt/canvas.h"

#include "view/event_guard.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <algorithm>

namespace view::qt {

namespace {

int16_t ButtonCode(Qt::MouseButtons buttons) {
    int16_t code = 0;
    if (buttons & Qt::LeftButton) code |= kLeftButton;
    if (buttons & Qt::RightButton) code |= kRightButton;
    if (buttons & Qt::MiddleButton) code |= kMiddleButton;
    return code;
}

int16_t ShiftCode(Qt::KeyboardModifiers modifiers) {
    int16_t code = 0;
    if (modifiers & Qt::ShiftModifier) code |= 1;
    if (modifiers & Qt::ControlModifier) code |= 2;
    if (modifiers & Qt::AltModifier) code |= 4;
    return code;
}

QRect Bounds(const ScrollBarModel& model) {
    return QRect(qRound(model.Left()), qRound(model.Top()), qRound(model.Width()),
                 qRound(model.Height()));
}

std::optional<NavigationKey> NavigationKeyOf(int key) {
    switch (key) {
    case Qt::Key_Left:
        return NavigationKey::Left;
    case Qt::Key_Right:
        return NavigationKey::Right;
    case Qt::Key_Up:
        return NavigationKey::Up;
    case Qt::Key_Down:
        return NavigationKey::Down;
    case Qt::Key_PageUp:
        return NavigationKey::PageUp;
    case Qt::Key_PageDown:
        return NavigationKey::PageDown;
    case Qt::Key_Escape:
        return NavigationKey::Escape;
    default:
        return std::nullopt;
    }
}

// The toolkit's bar as the model is; its page step is the thumb's length.
void ShowModel(QScrollBar& bar, const ScrollBarModel& model) {
    const QSignalBlocker quiet(bar);
    bar.setRange(model.Min(), model.Max());
    bar.setSingleStep(model.SmallChange());
    bar.setPageStep(model.Span());
    bar.setValue(model.Value());
}

} // namespace

Canvas::Canvas(DrawArea& area, std::function<void(std::optional<QPoint>)> pointerMoved)
    : area_(area), pointerMoved_(std::move(pointerMoved)) {
    setMouseTracking(true); // moves without a button report the pointer too
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus); // the keys that pan come here, not to the bars
    area_.VScroll1.SetWidth(vScroll1_.sizeHint().width());
    area_.HScroll1.SetHeight(hScroll1_.sizeHint().height());
    FollowModel(hScroll1_, area_.HScroll1);
    FollowModel(vScroll1_, area_.VScroll1);
}

void Canvas::FollowModel(QScrollBar& bar, ScrollBarModel& model) {
    ShowModel(bar, model);
    // A dragged thumb changes the value only when it is let go.
    bar.setTracking(false);
    bar.setCursor(Qt::ArrowCursor);
    bar.setFocusPolicy(Qt::NoFocus);
    connect(&bar, &QScrollBar::valueChanged, this,
            [this, &bar, &model](int value) { BarChanged(bar, model, value); });
    // A click in the trough steps the model's large change, not the thumb's length.
    connect(&bar, &QScrollBar::actionTriggered, this, [&bar, &model](int action) {
        const int sign = action == QAbstractSlider::SliderPageStepAdd   ? 1
                         : action == QAbstractSlider::SliderPageStepSub ? -1
                                                                        : 0;
        if (sign != 0) bar.setSliderPosition(model.Value() + sign * model.LargeChange());
    });
}

void Canvas::BarChanged(QScrollBar& bar, ScrollBarModel& model, int value) {
    Guarded([&] { model.SetValue(static_cast<int16_t>(value)); });
    // The view has moved, and the bar with it (or it could not: back it goes).
    ShowModel(bar, model);
}

void Canvas::ShowBars() {
    ShowModel(hScroll1_, area_.HScroll1);
    ShowModel(vScroll1_, area_.VScroll1);
}

const QImage* Canvas::Picture() {
    return image_ ? &image_->Image() : nullptr;
}

void Canvas::paintEvent(QPaintEvent*) {
    // Moved to a screen of another scale: drawn again for it.
    if (image_ && image_->PixelRatio() != devicePixelRatioF()) NewBackingImage();
    QPainter painter(this);
    if (const QImage* picture = Picture()) {
        // Device pixel for device pixel: the image is the client area's size
        // times the ratio the painter scales by.
        const double ratio = image_->PixelRatio();
        painter.drawImage(QRectF(0, 0, picture->width() / ratio, picture->height() / ratio),
                          *picture);
    } else {
        painter.fillRect(rect(), Qt::white);
    }
}

void Canvas::resizeEvent(QResizeEvent*) {
    NewBackingImage();
}

void Canvas::NewBackingImage() {
    registered_.reset();
    image_ = std::make_unique<ImageSurface>(QSize(std::max(1, width()), std::max(1, height())),
                                            devicePixelRatioF());
    registered_.emplace(area_.Handle(), *image_);
    Guarded([this] { area_.Resize(width(), height()); });
    hScroll1_.setGeometry(Bounds(area_.HScroll1));
    vScroll1_.setGeometry(Bounds(area_.VScroll1));
}

void Canvas::mousePressEvent(QMouseEvent* event) {
    Guarded([&] {
        area_.MouseDown(ButtonCode(event->button()), ShiftCode(event->modifiers()),
                        static_cast<float>(event->position().x()),
                        static_cast<float>(event->position().y()));
    });
}

void Canvas::mouseMoveEvent(QMouseEvent* event) {
    area_.MouseMove(ButtonCode(event->buttons()), ShiftCode(event->modifiers()),
                    static_cast<float>(event->position().x()),
                    static_cast<float>(event->position().y()));
    pointer_ = event->position().toPoint();
    pointerMoved_(pointer_);
}

void Canvas::leaveEvent(QEvent*) {
    pointer_.reset();
    pointerMoved_(std::nullopt);
}

void Canvas::keyPressEvent(QKeyEvent* event) {
    const std::optional<NavigationKey> key = NavigationKeyOf(event->key());
    if (!key) {
        QWidget::keyPressEvent(event);
        return;
    }
    Guarded([&] { area_.KeyDown(*key); });
    event->accept();
}

void Canvas::mouseReleaseEvent(QMouseEvent* event) {
    Guarded([&] {
        // A point zoom does not show itself; the view it made is shown here.
        const bool pointZoom = event->button() == Qt::LeftButton && area_.PointZoomArmed();
        area_.MouseUp(ButtonCode(event->button()), ShiftCode(event->modifiers()),
                      static_cast<float>(event->position().x()),
                      static_cast<float>(event->position().y()));
        if (pointZoom) area_.Refresh();
    });
}

void Canvas::wheelEvent(QWheelEvent* event) {
    Guarded([&] {
        area_.MouseWheel(event->angleDelta().y(), static_cast<float>(event->position().x()),
                         static_cast<float>(event->position().y()));
    });
    event->accept();
}

} // namespace view::qt

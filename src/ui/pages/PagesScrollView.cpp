#include "ui/pages/PagesScrollView.h"

#include <algorithm>
#include <cmath>

#include <QGestureEvent>
#include <QMouseEvent>
#include <QPinchGesture>
#include <QNativeGestureEvent>
#include <QWheelEvent>

namespace {

// One notch of a wheel moves this far, as a text view would.
constexpr qreal kWheelStep = 60.0;

} // namespace

PagesScrollView::PagesScrollView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_AcceptTouchEvents, false);
    // Two fingers on a touch screen zoom as they do on a touchpad.
    grabGesture(Qt::PinchGesture);
}

void PagesScrollView::setZoomView(QWidget *view, QSizeF baseSize)
{
    if (zoomView_ && zoomView_ != view)
        zoomView_->removeEventFilter(this);
    zoomView_ = view;
    baseSize_ = baseSize;
    offset_ = QPointF();
    if (view) {
        // A slot shows its pages in one view: reparenting it again would
        // cost for nothing.
        if (view->parentWidget() != this)
            view->setParent(this);
        view->installEventFilter(this);
        view->show();
    }
    layoutZoomView();
}

void PagesScrollView::setZoomScale(qreal scale)
{
    setZoomScale(scale, QPointF(width() / 2.0, 0));
}

void PagesScrollView::setZoomScale(qreal scale, QPointF anchor)
{
    scale = std::clamp(scale, minimum_, std::max(minimum_, maximum_));
    if (!(scale > 0))
        return;
    const qreal old = zoom_;
    const QPointF contentPoint = (anchor + offset_) / old;
    zoom_ = scale;
    offset_ = clampedOffset(contentPoint * scale - anchor);
    layoutZoomView();
    if (!qFuzzyCompare(old, scale))
        Q_EMIT zoomChanged();
}

void PagesScrollView::zoomToRect(const QRectF &rect)
{
    if (rect.isEmpty())
        return;
    const qreal scale = std::clamp(std::min(width() / rect.width(), height() / rect.height()), minimum_,
                                   std::max(minimum_, maximum_));
    const qreal old = zoom_;
    zoom_ = scale;
    // Centre the rectangle's middle as far as the page allows.
    offset_ = clampedOffset(rect.center() * scale - QPointF(width() / 2.0, height() / 2.0));
    layoutZoomView();
    if (!qFuzzyCompare(old, scale))
        Q_EMIT zoomChanged();
}

void PagesScrollView::setContentOffset(QPointF offset)
{
    offset_ = clampedOffset(offset);
    layoutZoomView();
}

QPointF PagesScrollView::clampedOffset(QPointF offset) const
{
    const QSizeF content = contentSize();
    const qreal maxX = std::max<qreal>(0, content.width() - width());
    const qreal maxY = std::max<qreal>(0, content.height() - height());
    return {std::clamp(offset.x(), 0.0, maxX), std::clamp(offset.y(), 0.0, maxY)};
}

void PagesScrollView::layoutZoomView()
{
    if (!zoomView_)
        return;
    offset_ = clampedOffset(offset_);
    const QSizeF content = contentSize();
    // A page narrower than the view is centred across; one shorter than the
    // view starts at the top, where reading starts.
    const qreal x = content.width() < width() ? (width() - content.width()) / 2.0 : -offset_.x();
    const qreal y = content.height() < height() ? 0.0 : -offset_.y();
    zoomView_->setGeometry(QRect(QPoint(qRound(x), qRound(y)), zoomViewSize(baseSize_, zoom_)));
}

QSize PagesScrollView::zoomViewSize(QSizeF baseSize, qreal zoom)
{
    return {qRound(baseSize.width() * zoom), qRound(baseSize.height() * zoom)};
}

bool PagesScrollView::atHorizontalEdge(qreal direction) const
{
    const qreal maxX = std::max<qreal>(0, contentSize().width() - width());
    // Dragging towards the left shows what is at the right.
    return direction < 0 ? offset_.x() >= maxX - 0.5 : offset_.x() <= 0.5;
}

void PagesScrollView::dragStarted(QPointF globalPosition)
{
    dragging_ = true;
    dragStart_ = dragLast_ = globalPosition;
    offsetAtDragStart_ = offset_;
}

void PagesScrollView::dragMoved(QPointF globalPosition)
{
    if (!dragging_)
        return;
    if (isZoomedIn() || contentSize().height() > height() + 0.5) {
        offset_ = clampedOffset(offset_ - (globalPosition - dragLast_));
        layoutZoomView();
    }
    dragLast_ = globalPosition;
}

void PagesScrollView::dragEnded(QPointF globalPosition)
{
    if (!dragging_)
        return;
    dragging_ = false;
    const QPointF delta = globalPosition - dragStart_;
    if (std::abs(delta.x()) <= kSwipeDistance || std::abs(delta.x()) < std::abs(delta.y()))
        return;
    const int direction = delta.x() < 0 ? -1 : 1;
    // A zoomed page swipes only once it was already at that edge when the
    // drag began; otherwise the drag was for panning.
    const qreal maxX = std::max<qreal>(0, contentSize().width() - width());
    const bool wasAtEdge =
        direction < 0 ? offsetAtDragStart_.x() >= maxX - 0.5 : offsetAtDragStart_.x() <= 0.5;
    if (!isZoomedIn() || wasAtEdge)
        Q_EMIT swiped(direction);
}

bool PagesScrollView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == zoomView_) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton)
                dragStarted(mouse->globalPosition());
            break;
        }
        case QEvent::MouseMove:
            dragMoved(static_cast<QMouseEvent *>(event)->globalPosition());
            break;
        case QEvent::MouseButtonRelease: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton)
                dragEnded(mouse->globalPosition());
            break;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PagesScrollView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        dragStarted(event->globalPosition());
    // The slot underneath still hears the click, as a tap beside the page.
    event->ignore();
}

void PagesScrollView::mouseMoveEvent(QMouseEvent *event)
{
    dragMoved(event->globalPosition());
    event->ignore();
}

void PagesScrollView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        dragEnded(event->globalPosition());
    event->ignore();
}

void PagesScrollView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutZoomView();
}

void PagesScrollView::wheelEvent(QWheelEvent *event)
{
    event->accept();
    const QPoint angle = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        setZoomScale(zoom_ * std::pow(1.0015, angle.y()), event->position());
        return;
    }
    // A sideways flick of a touchpad is a swipe.
    if (std::abs(angle.x()) > std::abs(angle.y())) {
        horizontalWheel_ += angle.x();
        if (std::abs(horizontalWheel_) >= 240) {
            Q_EMIT swiped(horizontalWheel_ < 0 ? -1 : 1);
            horizontalWheel_ = 0;
        }
        return;
    }
    horizontalWheel_ = 0;
    if (angle.y() == 0)
        return;
    const qreal maxY = std::max<qreal>(0, contentSize().height() - height());
    const bool down = angle.y() < 0;
    // Reaching the end takes one turn, going on past it another, so a page
    // is never left before its foot was seen.
    if (down ? offset_.y() >= maxY - 0.5 : offset_.y() <= 0.5) {
        Q_EMIT scrolledPastEnd(down ? 1 : -1);
        return;
    }
    offset_ = clampedOffset(offset_ - QPointF(0, angle.y() / 120.0 * kWheelStep));
    layoutZoomView();
}

bool PagesScrollView::event(QEvent *event)
{
    if (event->type() == QEvent::Gesture) {
        auto *gestures = static_cast<QGestureEvent *>(event);
        if (auto *pinch = static_cast<QPinchGesture *>(gestures->gesture(Qt::PinchGesture))) {
            if (pinch->changeFlags() & QPinchGesture::ScaleFactorChanged)
                setZoomScale(zoom_ * pinch->scaleFactor(), mapFromGlobal(pinch->centerPoint()));
            gestures->accept(pinch);
            return true;
        }
    }
    if (event->type() == QEvent::NativeGesture) {
        auto *gesture = static_cast<QNativeGestureEvent *>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture) {
            setZoomScale(zoom_ * (1.0 + gesture->value()), gesture->position());
            return true;
        }
    }
    return QWidget::event(event);
}

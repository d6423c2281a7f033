#include "ui/pages/PageImageView.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/pages/PageImageViewDelegate.h"

namespace {

// A hand that shakes a little while clicking has not dragged.
constexpr qreal kDragDistance = 8.0;

} // namespace

PageImageView::PageImageView(std::shared_ptr<const PageImage> page, QWidget *parent)
    : QWidget(parent), page_(std::move(page)), clock_(TapClock::system(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PageImageView::~PageImageView() = default;

void PageImageView::setPage(std::shared_ptr<const PageImage> page)
{
    page_ = std::move(page);
    scaled_ = QPixmap();
    update();
}

void PageImageView::paintEvent(QPaintEvent *)
{
    if (!page_)
        return;
    const QSize pixels = (QSizeF(size()) * devicePixelRatioF()).toSize();
    if (scaled_.isNull() || scaled_.size() != pixels) {
        scaled_ = QPixmap::fromImage(
            page_->image().scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        scaled_.setDevicePixelRatio(devicePixelRatioF());
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, scaled_);
}

void PageImageView::mousePressEvent(QMouseEvent *event)
{
    // A new touch ends the wait for a second click of the one before.
    clock_->cancel();
    pressPosition_ = event->position();
    moved_ = false;
    twoFingerPress_ = event->button() == Qt::RightButton ||
                      (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier));
    event->accept();
}

void PageImageView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Clicks are counted against the reader's interval, not the desktop's.
    mousePressEvent(event);
}

void PageImageView::mouseMoveEvent(QMouseEvent *event)
{
    if ((event->position() - pressPosition_).manhattanLength() > kDragDistance)
        moved_ = true;
    event->ignore();
}

void PageImageView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (moved_ || !delegate_)
        return;
    const QPointF point = event->position();
    if (twoFingerPress_) {
        lastClickTime_ = -1;
        delegate_->pageImageViewGotTwoFingerTapAtPoint(this, point);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    tapLocation_ = point;
    QWidget *slot =
        parentWidget() && parentWidget()->parentWidget() ? parentWidget()->parentWidget() : parentWidget();
    superTapLocation_ = slot ? QPointF(mapTo(slot, point.toPoint())) : point;

    const qint64 now = clock_->now();
    const bool second = lastClickTime_ >= 0 && now - lastClickTime_ <= kTapIntervalMs &&
                        (point - lastClickPosition_).manhattanLength() <= 4 * kDragDistance;
    if (second) {
        lastClickTime_ = -1;
        delegate_->pageImageViewGotDoubleTapAtPoint(this, point);
        return;
    }
    lastClickTime_ = now;
    lastClickPosition_ = point;
    const QPointF location = tapLocation_, superLocation = superTapLocation_;
    clock_->callAfter(kTapIntervalMs, [this, location, superLocation] {
        if (delegate_)
            delegate_->pageImageViewGotSingleTapAtPoint(this, location, superLocation);
    });
}

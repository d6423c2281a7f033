#include "ui/pages/PageImageView.h"

#include <QMouseEvent>
#include <QPaintEvent>
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
    // The top of a page made whole at the same scale keeps the rows already
    // scaled: they are the same rows.
    const bool completed = page && page_ && !page_->isWhole() &&
                           QSize(page->image().width(), page->decodedHeight()) ==
                               QSize(page_->image().width(), page_->decodedHeight());
    if (!completed)
        gray_.reset();
    page_ = std::move(page);
    scaled_ = QPixmap();
    update();
}

void PageImageView::forgetClicks()
{
    clock_->cancel();
    lastClickTime_ = -1;
    moved_ = false;
}

void PageImageView::adoptScaler(GrayScaler scaler)
{
    gray_ = std::move(scaler);
    update();
}

void PageImageView::paintEvent(QPaintEvent *event)
{
    if (!page_)
        return;
    const QImage &image = page_->image();
    const qreal ratio = devicePixelRatioF();
    const QSize viewPixels = (QSizeF(size()) * ratio).toSize();
    const QSize decoded(image.width(), page_->decodedHeight());
    if (image.format() == QImage::Format_Grayscale8 && GrayScaler::suits(decoded, viewPixels)) {
        if (!gray_ || gray_->sourceSize() != decoded || gray_->targetSize() != viewPixels)
            gray_.emplace(decoded, viewPixels);
        gray_->scale(image);
        // A page's top alone fills the top of the view; the rest, off
        // screen when it was asked for, waits for the whole page.
        const int rows = gray_->rowsDone();
        const qreal shown = rows / ratio;
        QPainter painter(this);
        painter.drawImage(QRectF(0, 0, width(), shown), gray_->image(), QRectF(0, 0, viewPixels.width(), rows));
        if (shown < height())
            painter.fillRect(QRectF(0, shown, width(), height() - shown), palette().color(QPalette::Window));
        return;
    }
    // A page's top alone fills the top of the view; the rest, off screen
    // when it was asked for, waits for the whole page in the background.
    QRect target = rect();
    if (!page_->isWhole() && page_->fullSize().height() > 0)
        target.setHeight(qRound(height() * page_->coveredHeight() / page_->fullSize().height()));
    const QSize pixels = (QSizeF(target.size()) * ratio).toSize();
    QPainter painter(this);
    if (target.height() < height())
        painter.fillRect(QRect(0, target.height(), width(), height() - target.height()),
                         palette().color(QPalette::Window));
    if (pixels.isEmpty())
        return;
    if (pixels.width() > 2 * image.width() || pixels.height() > 2 * image.height()) {
        // Zoomed far past the decoded pixels: only what is exposed is drawn,
        // rather than keeping a copy many times the page's size.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setClipRegion(event->region());
        painter.drawImage(target, image);
        return;
    }
    if (scaled_.isNull() || scaled_.size() != pixels) {
        // The decode is never more than twice the shown size when it was
        // chosen for it, and bilinear filtering is sharp enough then; Qt's
        // area-averaging scaler costs many times more, and it is what a page
        // waits for before it is first seen.
        if (image.width() > 2 * pixels.width() || image.height() > 2 * pixels.height()) {
            scaled_ =
                QPixmap::fromImage(image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        } else {
            QImage scaled(pixels, QImage::Format_RGB32);
            QPainter scaler(&scaled);
            scaler.setRenderHint(QPainter::SmoothPixmapTransform);
            scaler.setCompositionMode(QPainter::CompositionMode_Source);
            scaler.drawImage(scaled.rect(), image);
            scaler.end();
            scaled_ = QPixmap::fromImage(std::move(scaled));
        }
        scaled_.setDevicePixelRatio(ratio);
    }
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

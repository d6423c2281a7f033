#include "ui/pages/PageImageView.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "ui/pages/PageImageViewDelegate.h"

namespace {

// A hand that shakes a little while clicking has not dragged.
constexpr qreal kDragDistance = 8.0;

using Bytes8 = uchar __attribute__((vector_size(8)));
using Words8 = quint16 __attribute__((vector_size(16)));

// Where each output pixel's centre falls between two input pixels: the first
// of them and the second's weight in 256ths.
struct Tap {
    int first;
    int second;
    quint32 weight;
};

std::vector<Tap> taps(int from, int to)
{
    std::vector<Tap> result(std::size_t(std::max(to, 0)));
    const double step = double(from) / to;
    for (int i = 0; i < to; ++i) {
        const double at = std::clamp((i + 0.5) * step - 0.5, 0.0, double(from - 1));
        const int first = int(at);
        result[std::size_t(i)] = {first, std::min(first + 1, from - 1), quint32((at - first) * 256.0 + 0.5)};
    }
    return result;
}

// Bilinear resampling of a grey page to opaque RGB32. Qt's painter has no
// fast path from grey sources and takes about three times as long as from
// RGB32 ones, on the very step a page waits for before it is first seen.
QImage scaledGray(const QImage &gray, QSize size)
{
    QImage out(size, QImage::Format_RGB32);
    if (out.isNull() || gray.isNull())
        return out;
    const std::vector<Tap> columns = taps(gray.width(), size.width());
    const std::vector<Tap> rows = taps(gray.height(), size.height());
    // Each output row blends two input rows first, eight pixels at a time,
    // then two columns of the blend per pixel.
    const int width = gray.width();
    std::vector<quint16> blend(std::size_t(width) + 8);
    for (int y = 0; y < size.height(); ++y) {
        const Tap &row = rows[std::size_t(y)];
        const uchar *top = gray.constScanLine(row.first);
        const uchar *bottom = gray.constScanLine(row.second);
        const auto lower = quint16(row.weight), upper = quint16(256 - row.weight);
        int x = 0;
        for (; x + 8 <= width; x += 8) {
            Bytes8 a, b;
            std::memcpy(&a, top + x, sizeof a);
            std::memcpy(&b, bottom + x, sizeof b);
            const Words8 mixed =
                __builtin_convertvector(a, Words8) * upper + __builtin_convertvector(b, Words8) * lower;
            std::memcpy(blend.data() + x, &mixed, sizeof mixed);
        }
        for (; x < width; ++x)
            blend[std::size_t(x)] = quint16(top[x] * upper + bottom[x] * lower);
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int i = 0; i < size.width(); ++i) {
            const Tap &column = columns[std::size_t(i)];
            const quint32 value = (blend[std::size_t(column.first)] * (256 - column.weight) +
                                   blend[std::size_t(column.second)] * column.weight + (1u << 15)) >>
                                  16;
            line[i] = 0xFF000000u | value * 0x010101u;
        }
    }
    return out;
}

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

void PageImageView::paintEvent(QPaintEvent *event)
{
    if (!page_)
        return;
    const QImage &image = page_->image();
    const qreal ratio = devicePixelRatioF();
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
        } else if (image.format() == QImage::Format_Grayscale8) {
            scaled_ = QPixmap::fromImage(scaledGray(image, pixels));
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

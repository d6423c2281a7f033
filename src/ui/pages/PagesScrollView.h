#pragma once

#include <QPointer>
#include <QSizeF>
#include <QWidget>

// The zooming view under one page: it shows its zoom view (the page image)
// at a zoom scale within its limits, centres it across while it is
// narrower than the view and keeps it at the top while it is shorter, and
// lets a drag or the wheel move over a page larger than the view. A
// horizontal drag longer than 40 points over a page that is not zoomed, or
// that sits at its edge, is a swipe; the wheel at the end of the page goes
// on to the next one. Ctrl+wheel and a pinch zoom.
// Clicks that land beside the page are left to the page slot underneath.
// Thread contract: main thread only.
class PagesScrollView : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PagesScrollView)

public:
    static constexpr qreal kSwipeDistance = 40.0;

    explicit PagesScrollView(QWidget *parent = nullptr);

    // Shows `view` at `baseSize` times the zoom; null shows nothing.
    void setZoomView(QWidget *view, QSizeF baseSize);
    QWidget *zoomView() const { return zoomView_; }
    QSizeF baseSize() const { return baseSize_; }

    qreal zoomScale() const { return zoom_; }
    qreal minimumZoomScale() const { return minimum_; }
    qreal maximumZoomScale() const { return maximum_; }
    void setMinimumZoomScale(qreal scale) { minimum_ = scale; }
    void setMaximumZoomScale(qreal scale) { maximum_ = scale; }
    // Clamped to the limits; the point `anchor` of the view stays put.
    void setZoomScale(qreal scale);
    void setZoomScale(qreal scale, QPointF anchor);
    // Zooms so that `rect` (in the zoom view's unzoomed points) fills the view.
    void zoomToRect(const QRectF &rect);

    // The top left of what is seen, in zoomed content points.
    QPointF contentOffset() const { return offset_; }
    void setContentOffset(QPointF offset);
    QSizeF contentSize() const { return baseSize_ * zoom_; }
    // The zoom view's size for a base size and a zoom, rounded alike
    // wherever the view sits, so that a page can be scaled for it before
    // it is laid out.
    static QSize zoomViewSize(QSizeF baseSize, qreal zoom);
    // Lays the zoom view out again (after a resize, a menu shown or hidden).
    void layoutZoomView();

    // A drag, with the mouse or a finger, from the slot or the page.
    void dragStarted(QPointF globalPosition);
    void dragMoved(QPointF globalPosition);
    void dragEnded(QPointF globalPosition);

Q_SIGNALS:
    // -1: towards the left (the next page), +1: towards the right.
    void swiped(int direction);
    // +1: the wheel went on past the bottom, -1: past the top.
    void scrolledPastEnd(int direction);
    void zoomChanged();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QPointF clampedOffset(QPointF offset) const;
    bool atHorizontalEdge(qreal direction) const;
    bool isZoomedIn() const { return zoom_ > minimum_ * 1.01; }

    QPointer<QWidget> zoomView_;
    QSizeF baseSize_;
    qreal zoom_ = 1.0;
    qreal minimum_ = 1.0;
    qreal maximum_ = 2.0;
    QPointF offset_;
    bool dragging_ = false;
    QPointF dragStart_;
    QPointF dragLast_;
    QPointF offsetAtDragStart_;
    qreal horizontalWheel_ = 0;
};

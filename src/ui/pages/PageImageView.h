#pragma once

#include <memory>
#include <optional>

#include <QPixmap>
#include <QPointF>
#include <QWidget>

#include "reader/GrayScaler.h"
#include "reader/PageImage.h"
#include "ui/kit/TapClock.h"

class PageImageViewDelegate;

// The picture of one page, drawn over its whole rectangle whatever the
// resolution it was decoded at, so that a sharper decode swapped in later
// does not move anything. Counts clicks into taps against the reader's own
// interval: a click is a single tap 0.3 s later unless a second click came
// first (a double tap, reported at once); a right-click or a Ctrl+click is a
// two-finger tap. A press that moves is a drag, never a tap.
// Thread contract: main thread only.
class PageImageView : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PageImageView)

public:
    static constexpr int kTapIntervalMs = 300;
    static constexpr int kTag = 100;

    explicit PageImageView(std::shared_ptr<const PageImage> page, QWidget *parent = nullptr);
    ~PageImageView() override;

    const std::shared_ptr<const PageImage> &page() const { return page_; }
    void setPage(std::shared_ptr<const PageImage> page);
    // Takes the scaling of a grey page begun while it was decoded; used if
    // it is for this page at this view's size.
    void adoptScaler(GrayScaler scaler);

    PageImageViewDelegate *delegate() const { return delegate_; }
    void setDelegate(PageImageViewDelegate *delegate) { delegate_ = delegate; }
    // Tests step a clock of their own.
    void setTapClock(std::unique_ptr<TapClock> clock) { clock_ = std::move(clock); }
    TapClock *tapClock() const { return clock_.get(); }

    // Clicks so far count for nothing more: the view is to show another page.
    void forgetClicks();

    QPointF tapLocation() const { return tapLocation_; }
    QPointF superTapLocation() const { return superTapLocation_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::shared_ptr<const PageImage> page_;
    // The page scaled to the view once, not at every paint of a transition
    // or a scroll: a grey page by rows as they come, others whole.
    std::optional<GrayScaler> gray_;
    QPixmap scaled_;
    PageImageViewDelegate *delegate_ = nullptr;
    std::unique_ptr<TapClock> clock_;
    QPointF tapLocation_;
    QPointF superTapLocation_;
    QPointF pressPosition_;
    bool moved_ = false;
    bool twoFingerPress_ = false;
    qint64 lastClickTime_ = -1;
    QPointF lastClickPosition_;
};

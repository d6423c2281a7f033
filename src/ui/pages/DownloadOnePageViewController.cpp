#include "ui/pages/DownloadOnePageViewController.h"

#include <algorithm>

#include <QLabel>
#include <QPainter>
#include <QTimer>

#include "foundation/Localized.h"
#include "store/Download.h"
#include "store/Page.h"
#include "store/PagesData.h"
#include "ui/pages/PagesScrollView.h"

namespace {

// A large white spinner, twelve spokes fading round.
class Spinner : public QWidget
{
public:
    explicit Spinner(QWidget *parent) : QWidget(parent), timer_(new QTimer(this))
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        connect(timer_, &QTimer::timeout, this, [this] {
            step_ = (step_ + 1) % 12;
            update();
        });
        timer_->start(80);
    }
    bool isAnimating() const { return timer_->isActive(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(width() / 2.0, height() / 2.0);
        const qreal radius = std::min(width(), height()) / 2.0;
        for (int i = 0; i < 12; ++i) {
            QColor colour(Qt::white);
            colour.setAlphaF(0.25 + 0.75 * ((12 + i - step_) % 12) / 11.0);
            painter.setPen(QPen(colour, radius / 5.0, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(0, -radius * 0.5), QPointF(0, -radius * 0.92));
            painter.rotate(30);
        }
    }

private:
    QTimer *timer_;
    int step_ = 0;
};

class Placeholder : public QWidget
{
public:
    Placeholder(const QString &text, QWidget *parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        label_ = new QLabel(text, this);
        QPalette palette = label_->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        label_->setPalette(palette);
        QFont font = label_->font();
        font.setPixelSize(17);
        font.setBold(true);
        label_->setFont(font);
        label_->adjustSize();
        spinner_ = new Spinner(this);
        spinner_->resize(50, 50);
    }

protected:
    void resizeEvent(QResizeEvent *) override
    {
        const QPoint centre = rect().center();
        label_->move(centre.x() - label_->width() / 2, centre.y() - 30 - 25 - label_->height());
        spinner_->move(centre.x() - 25, centre.y() - 25);
    }

private:
    QLabel *label_;
    Spinner *spinner_;
};

} // namespace

void DownloadOnePageViewController::loadPage(int index)
{
    pageIsDownloading_ = false;
    delete placeholder_.data();
    OnePageViewController::loadPage(index);
}

void DownloadOnePageViewController::addErrorView()
{
    const auto record = page(pageNumber());
    const auto download = record ? std::dynamic_pointer_cast<Download>(record->chapter()) : nullptr;
    // Known and not downloading: the page will not come, say why.
    if (!record || record->isDownloaded() || !download || !download->isDownloading()) {
        OnePageViewController::addErrorView();
        return;
    }
    showPlaceholder();
    pageShown();
}

void DownloadOnePageViewController::showPlaceholder()
{
    removeShownView();
    resetZoom();
    pageIsDownloading_ = true;
    auto *placeholder = new Placeholder(
        withArguments(localized("Page %d"), {QString::number(pageNumber() + 1)}), scrollView());
    placeholder->setGeometry(scrollView()->rect());
    placeholder->show();
    placeholder_ = placeholder;
    setDisplay(Display::Placeholder);
}

void DownloadOnePageViewController::resizeEvent(QResizeEvent *event)
{
    OnePageViewController::resizeEvent(event);
    if (placeholder_)
        placeholder_->setGeometry(scrollView()->rect());
}

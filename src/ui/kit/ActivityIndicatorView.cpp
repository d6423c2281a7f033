#include "ui/kit/ActivityIndicatorView.h"

#include <algorithm>

#include <QPainter>
#include <QTimer>

ActivityIndicatorView::ActivityIndicatorView(QColor colour, QWidget *parent)
    : QWidget(parent), colour_(colour), timer_(new QTimer(this))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    timer_->setInterval(80);
    connect(timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % 12;
        update();
    });
    hide();
}

void ActivityIndicatorView::startAnimating()
{
    timer_->start();
    show();
    raise();
}

void ActivityIndicatorView::stopAnimating()
{
    timer_->stop();
    hide();
}

bool ActivityIndicatorView::isAnimating() const
{
    return timer_->isActive();
}

void ActivityIndicatorView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(width(), height());
    painter.translate(width() / 2.0, height() / 2.0);
    for (int i = 0; i < 12; ++i) {
        QColor spoke = colour_;
        spoke.setAlphaF(0.25 + 0.75 * double((i - step_ + 12) % 12) / 11.0);
        painter.setPen(QPen(spoke, std::max(1.5, side / 10), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, side * 0.22), QPointF(0, side * 0.45));
        painter.rotate(30);
    }
}

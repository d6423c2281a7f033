#include "ui/kit/DimmerView.h"

#include <algorithm>

#include <QEvent>
#include <QPainter>
#include <QTimer>

DimmerView::DimmerView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Dimmer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    parent->installEventFilter(this);
    setGeometry(parent->rect());
    show();
    raise();
}

void DimmerView::setAlpha(double alpha)
{
    alpha_ = std::clamp(alpha, 0.0, 1.0);
    update();
}

bool DimmerView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        else if (event->type() == QEvent::ChildAdded)
            // After the event: the new child is raised once it is shown.
            QTimer::singleShot(0, this, [this] { raise(); });
    }
    return QWidget::eventFilter(watched, event);
}

void DimmerView::paintEvent(QPaintEvent *)
{
    if (alpha_ <= 0.0)
        return;
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, qRound(alpha_ * 255)));
}

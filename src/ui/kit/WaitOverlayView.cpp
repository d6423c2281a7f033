#include "ui/kit/WaitOverlayView.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QTimer>

#include "foundation/Localized.h"

namespace {
constexpr int BoxSize = 200;
constexpr int Spokes = 12;
} // namespace

WaitOverlayView::WaitOverlayView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("WaitOverlay"));
    label_ = new QLabel(defaultText(), this);
    label_->setAlignment(Qt::AlignCenter);
    label_->setWordWrap(true);
    label_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    label_->setFixedSize(180, 44);
    spinTimer_ = new QTimer(this);
    spinTimer_->setInterval(80);
    connect(spinTimer_, &QTimer::timeout, this, [this] {
        spinStep_ = (spinStep_ + 1) % Spokes;
        update(boxRect());
    });
    parent->installEventFilter(this);
    setGeometry(parent->rect());
    hide();
}

QString WaitOverlayView::defaultText()
{
    return localized("Please wait...");
}

void WaitOverlayView::showWithText(const QString &text)
{
    label_->setText(text);
    setGeometry(parentWidget()->rect());
    show();
    raise();
}

void WaitOverlayView::hideAndReset()
{
    hide();
    label_->setText(defaultText());
}

QRect WaitOverlayView::boxRect() const
{
    return {(width() - BoxSize) / 2, (height() - BoxSize) / 2, BoxSize, BoxSize};
}

bool WaitOverlayView::eventFilter(QObject *watched, QEvent *event)
{
    // While work runs behind the overlay, the keyboard must not reach the
    // screens under it any more than the mouse does: a shortcut such as
    // Alt+Left could pop the screen whose items are being processed.
    switch (event->type()) {
    case QEvent::ShortcutOverride: // accepted, so no shortcut fires
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
        if (auto *widget = qobject_cast<QWidget *>(watched);
            isVisible() && widget && widget->window() == window()) {
            event->accept();
            return true;
        }
        break;
    default:
        break;
    }
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        const QRect box = boxRect();
        label_->move(box.left() + 10, box.top() + 30);
    }
    return QWidget::eventFilter(watched, event);
}

void WaitOverlayView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect box = boxRect();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 178));
    painter.drawRoundedRect(box, 10, 10);

    const QPointF centre(box.center().x() + 0.5, box.top() + 130);
    for (int i = 0; i < Spokes; ++i) {
        // The spoke under the step is brightest; the ones behind it fade.
        const int age = (spinStep_ - i + Spokes) % Spokes;
        painter.setPen(QPen(QColor(255, 255, 255, 255 - age * 18), 4, Qt::SolidLine, Qt::RoundCap));
        painter.save();
        painter.translate(centre);
        painter.rotate(i * 360.0 / Spokes);
        painter.drawLine(QPointF(0, -10), QPointF(0, -19));
        painter.restore();
    }
}

void WaitOverlayView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    const QRect box = boxRect();
    label_->move(box.left() + 10, box.top() + 30);
    spinTimer_->start();
    qApp->installEventFilter(this);
}

void WaitOverlayView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    spinTimer_->stop();
    qApp->removeEventFilter(this);
}

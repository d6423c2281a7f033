#include "ui/kit/WaitOverlayView.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QTimer>

#include "foundation/Localized.h"
#include "ui/kit/DimmerView.h"

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
    stayOnTop();
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

namespace {

// Everything a person can do to a window with a mouse, a keyboard, a touch
// screen or a pen, and the shortcuts the keyboard would fire.
bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::Gesture:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

bool WaitOverlayView::eventFilter(QObject *watched, QEvent *event)
{
    // While work runs behind the overlay nothing may reach the screens under
    // it: a click on the tab bar or a shortcut such as Alt+Left would take
    // away the screen that waits for the work to finish, and with it the
    // only code that would hide the overlay again. Input still reaching a
    // widget under the overlay (one that grabbed the mouse or holds the
    // focus) is stopped here; the overlay itself just absorbs it.
    // Only widgets matter, and leaving everything else unread keeps this
    // filter off the events that workers post to the main thread, which are
    // not theirs to read before their receiver takes them over.
    if (!watched->isWidgetType())
        return QWidget::eventFilter(watched, event);
    if (isVisible() && isInput(event->type())) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == window()) {
            event->accept(); // an accepted shortcut override fires no shortcut
            return true;
        }
    }
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize) {
            setGeometry(parentWidget()->rect());
            const QRect box = boxRect();
            label_->move(box.left() + 10, box.top() + 30);
        } else if (event->type() == QEvent::ChildAdded && isVisible()) {
            // A screen presented meanwhile goes under the overlay, once its
            // presenter has raised it.
            QTimer::singleShot(0, this, [this] {
                if (isVisible())
                    stayOnTop();
            });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WaitOverlayView::stayOnTop()
{
    raise();
    // The dimmer dims everything, the overlay included.
    for (QWidget *sibling : parentWidget()->findChildren<DimmerView *>(Qt::FindDirectChildrenOnly))
        sibling->raise();
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

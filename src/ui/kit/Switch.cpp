#include "ui/kit/Switch.h"

#include <QPainter>

namespace {
constexpr int TrackWidth = 51;
constexpr int TrackHeight = 31;
const QColor OnColour(0x1f, 0x6f, 0xd6);
const QColor OffColour(0xd8, 0xd8, 0xdc);
} // namespace

Switch::Switch(QWidget *parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize Switch::sizeHint() const
{
    return {TrackWidth + 4, TrackHeight + 4};
}

bool Switch::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

void Switch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track(QPointF((width() - TrackWidth) / 2.0, (height() - TrackHeight) / 2.0),
                       QSizeF(TrackWidth, TrackHeight));
    const double radius = TrackHeight / 2.0;
    QColor fill = isChecked() ? OnColour : OffColour;
    if (!isEnabled())
        fill.setAlpha(110);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(track, radius, radius);
    if (hasFocus()) {
        painter.setPen(QPen(QColor(0x3d, 0xa5, 0xff), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(track.adjusted(-1.5, -1.5, 1.5, 1.5), radius + 1.5, radius + 1.5);
    }

    const double knob = TrackHeight - 4;
    const double x = isChecked() ? track.right() - 2 - knob : track.left() + 2;
    const QRectF knobRect(x, track.top() + 2, knob, knob);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawEllipse(knobRect.translated(0, 1));
    painter.setBrush(isDown() ? QColor(0xf0, 0xf0, 0xf0) : QColor(Qt::white));
    painter.setPen(QPen(QColor(0, 0, 0, 30), 0.5));
    painter.drawEllipse(knobRect);
}

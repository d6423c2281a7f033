#include "ui/kit/TabBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "ui/kit/Icons.h"
#include "ui/kit/TabBarItem.h"

namespace {
constexpr int BarHeight = 49;
constexpr int IconSize = 26;
} // namespace

TabBar::TabBar(QWidget *parent) : QWidget(parent)
{
    setFixedHeight(BarHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TabBar::addItem(TabBarItem *item)
{
    items_.emplace_back(item);
    connect(item, &TabBarItem::changed, this, qOverload<>(&QWidget::update));
    update();
}

TabBarItem *TabBar::item(int index) const
{
    return index >= 0 && index < count() ? items_[index].data() : nullptr;
}

void TabBar::setSelectedIndex(int index)
{
    selected_ = index;
    update();
}

QSize TabBar::sizeHint() const
{
    return {count() * 64, BarHeight};
}

QRect TabBar::cellRect(int index) const
{
    const int n = std::max(1, count());
    const int left = width() * index / n;
    const int right = width() * (index + 1) / n;
    return {left, 0, right - left, height()};
}

void TabBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(0x1a, 0x1a, 0x1a));
    painter.setPen(QColor(0x44, 0x44, 0x44));
    painter.drawLine(0, 0, width(), 0);

    QFont titleFont = font();
    titleFont.setPointSizeF(std::max(7.0, titleFont.pointSizeF() * 0.8));
    QFont badgeFont = titleFont;
    badgeFont.setBold(true);

    for (int i = 0; i < count(); ++i) {
        TabBarItem *tab = item(i);
        if (!tab)
            continue;
        const QRect cell = cellRect(i).adjusted(2, 3, -2, -3);
        if (i == selected_) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0x3a, 0x3a, 0x3a));
            painter.drawRoundedRect(cell, 4, 4);
        }
        const QColor ink = i == selected_ ? QColor(0x3d, 0xa5, 0xff) : QColor(0xa0, 0xa0, 0xa0);
        const QPixmap image =
            Icons::pixmap(tab->imageName(), QSize(IconSize, IconSize), ink, devicePixelRatioF());
        if (!image.isNull())
            painter.drawPixmap(cell.center().x() - IconSize / 2, cell.top() + 1, image);
        painter.setPen(ink);
        painter.setFont(titleFont);
        // Without a drawing the title sits in the middle of the cell.
        const QRect titleRect = image.isNull() ? cell : cell.adjusted(0, IconSize + 1, 0, 0);
        painter.drawText(titleRect, Qt::AlignHCenter | (image.isNull() ? Qt::AlignVCenter : Qt::AlignTop),
                         painter.fontMetrics().elidedText(tab->title(), Qt::ElideRight, cell.width()));

        const QString badge = tab->badgeValue();
        if (!badge.isEmpty()) {
            painter.setFont(badgeFont);
            const int textWidth = painter.fontMetrics().horizontalAdvance(badge);
            const int h = 18;
            const int w = std::max(h, textWidth + 10);
            const QRect box(cell.center().x() + 4, cell.top() + 1, w, h);
            painter.setPen(QPen(Qt::white, 1.5));
            painter.setBrush(QColor(0xe0, 0x20, 0x20));
            painter.drawRoundedRect(box, h / 2.0, h / 2.0);
            painter.setPen(Qt::white);
            painter.drawText(box, Qt::AlignCenter, badge);
        }
    }
}

void TabBar::mousePressEvent(QMouseEvent *event)
{
    for (int i = 0; i < count(); ++i) {
        if (cellRect(i).contains(event->position().toPoint())) {
            Q_EMIT tabClicked(i);
            return;
        }
    }
}

#include "ui/library/ChaptersHeaderView.h"

#include <QPainter>
#include <QPushButton>

#include "foundation/Localized.h"

ChaptersHeaderView::ChaptersHeaderView(QWidget *parent) : QWidget(parent)
{
    setFixedHeight(Height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    deleteReadButton_ = new QPushButton(localized("Delete Read"), this);
    deleteReadButton_->setGeometry(10, (Height - 30) / 2, 140, 30);
    connect(deleteReadButton_, &QPushButton::clicked, this, &ChaptersHeaderView::deleteReadClicked);
}

void ChaptersHeaderView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xd3, 0xd3, 0xd3));
    painter.setPen(QColor(0xb0, 0xb0, 0xb0));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}

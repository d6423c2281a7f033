#include "ui/kit/TabBarItem.h"

TabBarItem::TabBarItem(QObject *parent) : QObject(parent) {}

void TabBarItem::setTitle(const QString &title)
{
    if (title_ == title)
        return;
    title_ = title;
    Q_EMIT changed();
}

void TabBarItem::setBadgeValue(const QString &value)
{
    if (badgeValue_ == value)
        return;
    badgeValue_ = value;
    Q_EMIT changed();
}

void TabBarItem::setImageName(const QString &name)
{
    if (imageName_ == name)
        return;
    imageName_ = name;
    Q_EMIT changed();
}

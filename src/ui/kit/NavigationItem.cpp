#include "ui/kit/NavigationItem.h"

#include <QAction>
#include <QWidget>

NavigationItem::NavigationItem(QObject *parent) : QObject(parent) {}

void NavigationItem::setTitle(const QString &title)
{
    if (title_ == title)
        return;
    title_ = title;
    Q_EMIT changed();
}

void NavigationItem::setTitleView(QWidget *view)
{
    titleView_ = view;
    Q_EMIT changed();
}

void NavigationItem::setLeftBarButtonItem(QAction *action)
{
    left_ = action;
    Q_EMIT changed();
}

void NavigationItem::setRightBarButtonItem(QAction *action)
{
    right_ = action;
    Q_EMIT changed();
}

void NavigationItem::setBackTitle(const QString &title)
{
    backTitle_ = title;
    Q_EMIT changed();
}

void NavigationItem::setHidesBackButton(bool hides)
{
    hidesBackButton_ = hides;
    Q_EMIT changed();
}

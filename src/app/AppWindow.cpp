#include "app/AppWindow.h"

#include <QEvent>

AppWindow::AppWindow(QWidget *parent) : QWidget(parent) {}

void AppWindow::enterBackground()
{
    if (background_)
        return;
    background_ = true;
    Q_EMIT didEnterBackground();
}

void AppWindow::enterForeground()
{
    if (!background_)
        return;
    background_ = false;
    Q_EMIT willEnterForeground();
}

void AppWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (isMinimized())
        enterBackground();
    else if (isVisible())
        enterForeground();
}

void AppWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!isMinimized())
        enterForeground();
}

void AppWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    enterBackground();
}

#include "app/AppWindow.h"

#include <QEvent>
#include <QKeySequence>
#include <QResizeEvent>
#include <QShortcut>

#include "foundation/Device.h"

AppWindow::AppWindow(QWidget *parent) : QWidget(parent)
{
    auto *rotateShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    connect(rotateShortcut, &QShortcut::activated, this, &AppWindow::rotate);
    auto *fullScreenShortcut = new QShortcut(QKeySequence(Qt::Key_F11), this);
    connect(fullScreenShortcut, &QShortcut::activated, this, &AppWindow::toggleFullScreen);
}

void AppWindow::rotate()
{
    const int turned = Device::isPortrait(Device::orientation()) ? Device::LandscapeLeft : Device::Portrait;
    if (!mayRotateTo(turned))
        return;
    resize(height(), width());
}

void AppWindow::toggleFullScreen()
{
    setWindowState(windowState() ^ Qt::WindowFullScreen);
}

void AppWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QSize size = event->size();
    // A square window keeps whatever it had, as a device lying flat does.
    if (size.width() == size.height())
        return;
    const int orientation = size.width() > size.height() ? Device::LandscapeLeft : Device::Portrait;
    if (orientation == Device::orientation() || !mayRotateTo(orientation))
        return;
    Device::setOrientation(orientation);
    Q_EMIT orientationDidChange(orientation);
}

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

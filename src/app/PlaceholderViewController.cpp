#include "app/PlaceholderViewController.h"

PlaceholderViewController::PlaceholderViewController(const QString &title, QWidget *parent)
    : ViewController(parent)
{
    setTitle(title);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xf2, 0xf2, 0xf2));
    setPalette(palette);
}

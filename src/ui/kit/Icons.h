#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The app's own drawings, shipped as one-colour SVG resources (":/icons/NAME.svg")
// and inked at draw time, so one drawing serves the lit and the dim tab, the
// black bars and the white rows, at any pixel density.
// Thread contract: main thread only (pixmaps are cached).
class Icons
{
public:
    // NAME drawn in `colour`, `size` logical pixels at `devicePixelRatio`.
    // A name with no drawing gives a null pixmap.
    static QPixmap pixmap(const QString &name, QSize size, const QColor &colour,
                          qreal devicePixelRatio = 1.0);
    // For buttons: the drawing inked for the normal and the disabled state.
    static QIcon icon(const QString &name, const QColor &colour, const QColor &disabledColour, QSize size);
    static bool exists(const QString &name);
};

#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>

// Redraws an image into a smaller canvas.
// Thread contract: stateless; any thread (QPainter on a QImage needs no GUI).
class ImageReducer
{
public:
    // A canvas of the rectangle's size with the image drawn scaled into the
    // rectangle; what falls outside the canvas is lost. A null image when the
    // input is null or the rectangle has no area.
    static QImage simpleReducedImageWithImage(const QImage &image, const QRectF &rect);
    // Decodes the bytes first; a null image when they do not decode.
    static QImage simpleReducedImageWithData(const QByteArray &data, const QRectF &rect);
};

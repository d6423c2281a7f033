#include "reader/ImageReducer.h"

#include <cmath>

#include <QPainter>

QImage ImageReducer::simpleReducedImageWithImage(const QImage &image, const QRectF &rect)
{
    // The upper bound also keeps the size conversion below defined.
    constexpr double kMaxSide = 1 << 15;
    if (image.isNull() || !(rect.width() >= 1 && rect.width() <= kMaxSide) ||
        !(rect.height() >= 1 && rect.height() <= kMaxSide))
        return QImage();
    QImage canvas(QSize(int(std::ceil(rect.width())), int(std::ceil(rect.height()))),
                  QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull())
        return QImage();
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect, image);
    painter.end();
    return canvas;
}

QImage ImageReducer::simpleReducedImageWithData(const QByteArray &data, const QRectF &rect)
{
    return simpleReducedImageWithImage(QImage::fromData(data), rect);
}

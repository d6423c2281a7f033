#include "reader/PageCut.h"

#include <algorithm>
#include <cmath>

QRect PageCutRect(float leftBorder, float rightBorder, const QSize &imageSize)
{
    const QRect whole(QPoint(0, 0), imageSize);
    if (!(leftBorder > 0) && rightBorder == 0)
        return whole;

    const double imageWidth = imageSize.width();
    const double x = leftBorder > 0 ? double(leftBorder) : 0.0;
    double width = rightBorder > 0 ? double(rightBorder) - x : imageWidth - x;
    if (width < 0)
        width = imageWidth;

    // Whole pixels reaching outward, then clipped to the image: borders from
    // another decode of the page, or a corrupt record, must not ask for
    // pixels that do not exist (they would come out black).
    const double left = std::clamp(std::floor(x), 0.0, imageWidth);
    const double right = std::clamp(std::ceil(x + width), 0.0, imageWidth);
    if (!(right > left))
        return whole;
    return QRect(int(left), 0, int(right - left), imageSize.height());
}

QImage CutPageImage(const QImage &image, float leftBorder, float rightBorder)
{
    const QRect rect = PageCutRect(leftBorder, rightBorder, image.size());
    if (rect == image.rect())
        return image;
    return image.copy(rect);
}

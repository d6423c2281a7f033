#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

// Cutting a page with the borders found when it arrived (see Cropper), so the
// viewer shows a page without its blank or framed side strips.
// Thread contract: pure functions, any thread.

// The part of an image of imageSize to show for the stored left and right
// borders. The whole image when there is nothing to cut, and never a
// rectangle reaching outside the image or an empty one.
QRect PageCutRect(float leftBorder, float rightBorder, const QSize &imageSize);

// The image cut to PageCutRect; the image itself (shared, not copied) when
// nothing is cut.
QImage CutPageImage(const QImage &image, float leftBorder, float rightBorder);

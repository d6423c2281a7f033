#include <gtest/gtest.h>

#include <cmath>

#include <QBuffer>

#include "reader/ImageReducer.h"
#include "reader/PageCut.h"

TEST(PageCut, RectangleFromStoredBorders)
{
    const float nan = std::nanf("");
    const struct {
        const char *name;
        float left, right;
        QRect expected;
    } cases[] = {
        {"no borders", 0, 0, QRect(0, 0, 200, 50)},
        {"left only", 30, 0, QRect(30, 0, 170, 50)},
        {"right only", 0, 150, QRect(0, 0, 150, 50)},
        {"both", 30, 150, QRect(30, 0, 120, 50)},
        {"negative width takes the image width, clipped", 30, 20, QRect(30, 0, 170, 50)},
        {"negative left is no cut", -5, 0, QRect(0, 0, 200, 50)},
        {"negative right keeps the whole width", 0, -10, QRect(0, 0, 200, 50)},
        {"empty cut shows the page", 50, 50, QRect(0, 0, 200, 50)},
        {"right beyond the image", 10, 500, QRect(10, 0, 190, 50)},
        {"left beyond the image", 250, 0, QRect(0, 0, 200, 50)},
        {"fractions round outward", 10.5f, 100.2f, QRect(10, 0, 91, 50)},
        {"unset borders", nan, nan, QRect(0, 0, 200, 50)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PageCutRect(c.left, c.right, QSize(200, 50)), c.expected) << c.name;
}

TEST(PageCut, CutsThePixels)
{
    QImage image(200, 10, QImage::Format_RGB32);
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 10; ++y)
            image.setPixel(x, y, qRgb(x, 0, 0));
    const QImage cut = CutPageImage(image, 30, 0);
    EXPECT_EQ(cut.size(), QSize(170, 10));
    EXPECT_EQ(cut.pixel(0, 0), qRgb(30, 0, 0));
    EXPECT_EQ(CutPageImage(image, 0, 0).constBits(), image.constBits());
}

TEST(ImageReducer, DrawsIntoTheRectangle)
{
    QImage red(100, 50, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QImage reduced = ImageReducer::simpleReducedImageWithImage(red, QRectF(0, 0, 20, 10));
    EXPECT_EQ(reduced.size(), QSize(20, 10));
    EXPECT_EQ(reduced.pixel(10, 5), qRgb(255, 0, 0));
    // The canvas has the rectangle's size; an offset origin shifts the drawing.
    const QImage shifted = ImageReducer::simpleReducedImageWithImage(red, QRectF(5, 5, 20, 10));
    EXPECT_EQ(qAlpha(shifted.pixel(2, 2)), 0);
    EXPECT_EQ(shifted.pixel(10, 7), qRgb(255, 0, 0));

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "png");
    EXPECT_EQ(ImageReducer::simpleReducedImageWithData(png, QRectF(0, 0, 4, 2)).size(), QSize(4, 2));
    EXPECT_TRUE(ImageReducer::simpleReducedImageWithData("junk", QRectF(0, 0, 4, 2)).isNull());
    EXPECT_TRUE(ImageReducer::simpleReducedImageWithImage(red, QRectF(0, 0, 0, 2)).isNull());
}

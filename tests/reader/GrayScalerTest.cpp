#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <QImage>

#include "reader/GrayScaler.h"

namespace {

// Grey pixels with detail in both directions, so that any row or column
// taken from the wrong place shows.
QImage pattern(int width, int height)
{
    QImage image(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 0; x < width; ++x)
            line[x] = uchar((x * 37 + y * 11 + (x * y) % 23) & 0xFF);
    }
    return image;
}

int grey(const QImage &image, int x, int y)
{
    return qRed(image.pixel(x, y));
}

} // namespace

TEST(GrayScalerTest, RowsScaledAsTheyComeMatchTheWholePageScaledAtOnce)
{
    // Down and up, with widths that leave pixels beside the four-pixel steps.
    for (const QSize target : {QSize(203, 301), QSize(461, 700)}) {
        const QImage source = pattern(333, 517);
        GrayScaler whole(source.size(), target);
        whole.scale(source);
        ASSERT_TRUE(whole.isComplete());

        GrayScaler progressive(source.size(), target);
        int done = 0;
        for (const int rows : {40, 41, 200, 390, 517}) {
            progressive.scale(source.copy(0, 0, source.width(), rows));
            // Only rows whose taps are decoded, and never fewer than before.
            EXPECT_GE(progressive.rowsDone(), done);
            const double lastAt = (progressive.rowsDone() - 0.5) * source.height() / target.height() - 0.5;
            EXPECT_LE(std::min(std::ceil(lastAt), source.height() - 1.0), rows - 1);
            done = progressive.rowsDone();
        }
        ASSERT_TRUE(progressive.isComplete());
        EXPECT_EQ(progressive.image(), whole.image()) << target.width();

        // A page of another width is not one to go on with.
        GrayScaler other(source.size(), target);
        other.scale(pattern(300, 517));
        EXPECT_EQ(other.rowsDone(), 0);
    }
}

TEST(GrayScalerTest, SamplesBilinearlyAtPixelCentres)
{
    // A ramp across stays a ramp: each output pixel holds the source value
    // at its centre, to within rounding, the last pixels as the first.
    QImage ramp(401, 4, QImage::Format_Grayscale8);
    for (int y = 0; y < ramp.height(); ++y) {
        for (int x = 0; x < ramp.width(); ++x)
            ramp.scanLine(y)[x] = uchar(x * 255 / 400);
    }
    for (const int width : {250, 257, 700}) {
        GrayScaler scaler(ramp.size(), QSize(width, 3));
        scaler.scale(ramp);
        for (int x = 0; x < width; ++x) {
            const double at = std::clamp((x + 0.5) * 401.0 / width - 0.5, 0.0, 400.0);
            const int left = int(at), right = std::min(left + 1, 400);
            const double expected = ramp.scanLine(0)[left] + (ramp.scanLine(0)[right] - ramp.scanLine(0)[left]) *
                                                                 (at - left);
            EXPECT_NEAR(grey(scaler.image(), x, 1), expected, 1.5) << width << " " << x;
        }
        EXPECT_EQ(scaler.image().pixel(0, 0) >> 24, 0xFFu);
    }
    EXPECT_TRUE(GrayScaler::suits(QSize(600, 900), QSize(300, 450)));
    EXPECT_FALSE(GrayScaler::suits(QSize(601, 900), QSize(300, 450)));
    EXPECT_FALSE(GrayScaler::suits(QSize(100, 100), QSize(201, 100)));
}

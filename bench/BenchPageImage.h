#pragma once

#include <random>

#include <QBuffer>
#include <QByteArray>
#include <QImage>

// A scanned page of about 300 KB: paper, margins and a noisy block. The
// fetch benchmarks serve it for every page.
inline QByteArray pageImage()
{
    QImage image(900, 1350, QImage::Format_Grayscale8);
    image.fill(245);
    std::mt19937 random(11);
    std::uniform_int_distribution<int> ink(0, 255);
    for (int y = 60; y < 1290; ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 70; x < 830; ++x)
            line[x] = (x / 9 + y / 13) % 4 == 0 ? uchar(ink(random)) : uchar(200);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 85);
    return bytes;
}

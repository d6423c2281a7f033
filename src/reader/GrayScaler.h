#pragma once

#include <vector>

#include <QImage>
#include <QSize>

// Bilinear resampling of a grey page to opaque RGB32 at the size it is
// shown, for decodes within twice that size either way. Qt's painter has no
// fast path from grey sources and takes about three times as long as from
// RGB32 ones, on the very step a page waits for before it is first seen.
// Progressive: it scales the rows that the top rows of the page decoded so
// far make possible, and more at each call as the decoder goes on, so that
// little is left to scale once the last row is in.
// Thread contract: one thread at a time; the rows it is given must not
// change afterwards.
class GrayScaler
{
public:
    // `source`: the whole page at the decoded scale, of which fewer rows
    // may be decoded yet; `target`: its size on screen in device pixels.
    GrayScaler(QSize source, QSize target);

    QSize sourceSize() const { return source_; }
    QSize targetSize() const { return image_.size(); }
    // Scales what `rows` (the top rows of the source, as many as are
    // decoded: each call from the same decode, with more rows or as many)
    // newly makes possible. Rows of another width are ignored.
    void scale(const QImage &rows);
    // How many rows of image() are scaled.
    int rowsDone() const { return done_; }
    bool isComplete() const { return done_ == image_.height(); }
    const QImage &image() const { return image_; }

    // Whether a source of `source` pixels is near enough `target` in size
    // (at most twice it, at least half) for bilinear filtering to be sharp.
    static bool suits(QSize source, QSize target);

private:
    // Where an output pixel's centre falls between two input pixels: the
    // first of them and the second's weight in 256ths.
    struct Tap {
        int first;
        int second;
        quint32 weight;
    };
    static std::vector<Tap> taps(int from, int to);
    // Four output pixels of a row, for processors with byte shuffles: the
    // eight blended pixels from `base` hold both taps of all four.
    struct Quad {
        int base;
        uchar shuffle[16];
        qint16 weights[8];
    };
    void scaleRow(const uchar *top, const uchar *bottom, const Tap &row, QRgb *line);

    QSize source_;
    QImage image_;
    std::vector<Tap> columns_;
    std::vector<Tap> rows_;
    std::vector<Quad> quads_; // empty: pixel by pixel
    std::vector<qint16> blend_;
    int done_ = 0;
};

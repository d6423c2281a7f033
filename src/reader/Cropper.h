#pragma once

#include <optional>

#include <turbojpeg.h>

#include <QByteArray>
#include <QImage>

// Finds the blank or framed strips at the left and right of a scanned page,
// the columns the reader may cut away. Works on an 8-bit grey copy of the
// page and looks for vertical borders only: tops and bottoms are never cut.
// The borders are found once, when a page arrives, and stored with the page,
// together with whether the page holds any colour (see isGray()).
// Single use: construct for one image, crop once, read the results.
// Thread contract: holds no shared state; runs on the caller's thread (a page
// request's thread, an import operation's thread).
class Cropper
{
public:
    // Decoded images beyond this many pixels are refused before any pixel
    // memory is taken: a hostile or broken file must not exhaust memory.
    static constexpr quint64 kMaxPixels = 100'000'000;

    // Decodes encoded page bytes: JPEG straight to grey (a colour JPEG to its
    // planes, whose chroma tells whether it is grey), anything else that
    // QImage reads (PNG, GIF, WebP) through a grey conversion.
    explicit Cropper(const QByteArray &encoded);
    // For a page already decoded.
    explicit Cropper(const QImage &image);

    Cropper(const Cropper &) = delete;
    Cropper &operator=(const Cropper &) = delete;

    // True when the borders were computed. False when the image could not be
    // decoded, was empty or too large, or memory could not be had.
    bool crop();

    // The decoded page's pixel size; both 0 when it could not be decoded.
    // Callers take the page's size from here so that one decode serves both.
    quint32 width() const { return width_; }
    quint32 height() const { return height_; }
    bool isDecoded() const { return !gray_.isNull(); }
    // Whether the page has no colour worth keeping: a one-component JPEG, or
    // a colour JPEG whose chroma stays near neutral (within what compression
    // leaves on a grey page) all but for a few specks. Such a page looks the
    // same decoded straight to grey. Unknown for other files (only JPEG is
    // ever decoded to grey) and for what could not be decoded.
    std::optional<bool> isGray() const { return isGray_; }

    // How far from neutral (128) a chroma sample may be and still count as
    // grey, and how many samples in a million may stray beyond that before
    // the page counts as colour.
    static constexpr int kChromaTolerance = 12;
    static constexpr int kColourSamplesPerMillion = 100;

    // First column of the content (0: nothing to cut at the left) and the
    // column at which the content ends, exclusive. Meaningful after crop().
    float leftBorder() const { return leftBorder_; }
    float rightBorder() const { return rightBorder_; }

    // The grey copy; after crop() the binary gradient map (0 or 1 per pixel).
    // Rows are bytesPerLine() apart, which may exceed width().
    const QImage &grayImage() const { return gray_; }

    // The steps of crop(). Buffers are width() × height() bytes laid out like
    // grayImage(); input and output may be the same buffer.
    // Writes the horizontal gradient and returns its mean. A one-pixel-wide
    // image has no neighbouring column, so its gradient is 0 everywhere and
    // it keeps "nothing to cut": borders 0 and 1.
    float gradientxWithInput(const uchar *input, uchar *output) const;
    // 1 where the input is strictly above the threshold, else 0.
    void binaryWithInput(const uchar *input, uchar *output, uchar threshold) const;
    // Sets the borders from the binary map.
    void findBordersBySummingWithInput(const uchar *input);

private:
    void initializeBitmapData(QImage image);
    bool decodeJpegToGray(const QByteArray &encoded);
    bool decodeJpegPlanes(tjhandle decompressor, const QByteArray &encoded, int width, int height,
                          int subsampling);
    void decodeThroughQImage(const QByteArray &encoded);

    QImage gray_;
    quint32 width_ = 0;
    quint32 height_ = 0;
    float leftBorder_ = 0;
    float rightBorder_ = 0;
    std::optional<bool> isGray_;
    // The grey copy becomes the binary map, so a second crop() must not run.
    bool cropped_ = false;
};

#include "reader/Cropper.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <QBuffer>
#include <QImageReader>

#include "reader/TurboJpeg.h"

namespace {

inline uchar absoluteDifference(uchar a, uchar b)
{
    return uchar(a > b ? a - b : b - a);
}

// Sixteen pixels at a time through the compiler's portable vector types: the
// build's default optimisation does not vectorise loops of unknown length,
// and these passes are most of the cropper's cost after decoding.
using Bytes16 = uchar __attribute__((vector_size(16)));
using Words8 = quint16 __attribute__((vector_size(16)));
constexpr quint32 kLanes = 16;

inline Bytes16 load16(const uchar *p)
{
    Bytes16 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store16(uchar *p, Bytes16 v)
{
    std::memcpy(p, &v, sizeof v);
}

inline quint64 horizontalSum(Words8 words)
{
    quint64 sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += words[i];
    return sum;
}

// One row of the horizontal gradient; returns the row's sum. The inner
// columns take half the central difference truncated toward zero, which for
// integers is the absolute difference shifted right once.
quint64 gradientRow(const uchar *__restrict in, uchar *__restrict out, quint32 width)
{
    // A one-column image has no neighbour to compare with: no gradient, so
    // it keeps its borders at "nothing to cut".
    if (width == 1) {
        out[0] = 0;
        return 0;
    }
    const quint32 last = width - 1;
    out[0] = absoluteDifference(in[1], in[0]);
    quint64 total = out[0];

    quint32 x = 1;
    // Inner values are at most 127, so a 16-bit lane holding two of them per
    // step stays exact for 256 steps.
    while (x + kLanes <= last) {
        Words8 acc = {};
        for (int step = 0; step < 256 && x + kLanes <= last; ++step, x += kLanes) {
            const Bytes16 next = load16(in + x + 1), previous = load16(in + x - 1);
            const Bytes16 high = next > previous ? next : previous;
            const Bytes16 low = next > previous ? previous : next;
            const Bytes16 value = Bytes16(high - low) >> 1;
            store16(out + x, value);
            const Words8 pairs = Words8(value);
            acc += (pairs & 0xFF) + (pairs >> 8);
        }
        total += horizontalSum(acc);
    }
    for (; x < last; ++x) {
        out[x] = uchar(absoluteDifference(in[x + 1], in[x - 1]) >> 1);
        total += out[x];
    }
    out[last] = absoluteDifference(in[last], in[last - 1]);
    return total + out[last];
}

void binaryRow(const uchar *in, uchar *out, quint32 width, uchar threshold)
{
    quint32 x = 0;
    for (; x + kLanes <= width; x += kLanes)
        store16(out + x, Bytes16(load16(in + x) > threshold) & 1);
    for (; x < width; ++x)
        out[x] = uchar(in[x] > threshold);
}

// Adds a binary row's values into per-column byte counters. A counter takes
// at most 255 rows before it must be flushed into the wide sums.
void countRow(const uchar *row, uchar *counts, quint32 columns)
{
    quint32 x = 0;
    for (; x + kLanes <= columns; x += kLanes)
        store16(counts + x, load16(counts + x) + load16(row + x));
    for (; x < columns; ++x)
        counts[x] = uchar(counts[x] + row[x]);
}

void flushCounts(uchar *counts, quint32 *sums, quint32 columns)
{
    for (quint32 x = 0; x < columns; ++x) {
        sums[x] += counts[x];
        counts[x] = 0;
    }
}

// Whether no more than `allowed` of the samples are further than the
// tolerance from neutral. Stops as soon as the answer is no.
bool chromaIsNeutral(const uchar *samples, qsizetype count, quint64 allowed)
{
    constexpr uchar kLow = uchar(128 - Cropper::kChromaTolerance);
    constexpr uchar kSpan = uchar(2 * Cropper::kChromaTolerance);
    quint64 stray = 0;
    qsizetype i = 0;
    while (i + qsizetype(kLanes) <= count) {
        // A byte lane counts at most 255 strays before it is added up.
        Bytes16 counts = {};
        for (int step = 0; step < 255 && i + qsizetype(kLanes) <= count; ++step, i += kLanes)
            counts -= Bytes16(Bytes16(load16(samples + i) - kLow) > kSpan);
        for (quint32 lane = 0; lane < kLanes; ++lane)
            stray += counts[lane];
        if (stray > allowed)
            return false;
    }
    for (; i < count; ++i)
        stray += uchar(samples[i] - kLow) > kSpan;
    return stray <= allowed;
}

// Left to right on the left side, right to left on the right side: keeps the
// strongest column (the first of equal maxima) and the end of the blank run
// that starts at the edge.
struct BorderScan {
    quint32 weakLimit;
    quint32 strongest;
    quint32 lastBlank;
    quint32 maxSum = 0;
    bool inBlankRun = true;

    BorderScan(quint32 weak, quint32 edge) : weakLimit(weak), strongest(edge), lastBlank(edge) {}

    void add(quint32 column, quint32 sum)
    {
        if (sum > maxSum) {
            maxSum = sum;
            strongest = column;
        }
        if (inBlankRun) {
            if (sum < weakLimit)
                lastBlank = column;
            else
                inBlankRun = false;
        }
    }
};

} // namespace

Cropper::Cropper(const QByteArray &encoded)
{
    if (TurboJpeg::looksLikeJpeg(encoded) && decodeJpegToGray(encoded))
        return;
    decodeThroughQImage(encoded);
}

Cropper::Cropper(const QImage &image)
{
    initializeBitmapData(image);
}

// Returns false only when TurboJPEG cannot make the grey copy but QImage
// might (CMYK files, or data that is no JPEG after all). A refusal on size
// counts as handled: the other decoder must not try either.
bool Cropper::decodeJpegToGray(const QByteArray &encoded)
{
    tjhandle decompressor = TurboJpeg::threadDecompressor();
    if (!decompressor)
        return false;
    const auto *bytes = reinterpret_cast<const unsigned char *>(encoded.constData());
    const auto size = static_cast<unsigned long>(encoded.size());
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(decompressor, bytes, size, &width, &height, &subsampling, &colorspace) != 0)
        return false;
    if (width < 1 || height < 1)
        return false;
    if (quint64(width) * quint64(height) > kMaxPixels)
        return true;
    if (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK)
        return false;
    if (colorspace == TJCS_YCbCr && subsampling >= 0 && subsampling < TJ_NUMSAMP &&
        subsampling != TJSAMP_GRAY && decodeJpegPlanes(decompressor, encoded, width, height, subsampling))
        return true;

    QImage gray(width, height, QImage::Format_Grayscale8);
    if (gray.isNull())
        return true;
    // Decoding straight to grey skips the colour conversion and the chroma
    // planes' transforms. A warning (a truncated file, say) still leaves a
    // whole image, as other decoders would show it.
    if (tjDecompress2(decompressor, bytes, size, gray.bits(), width, int(gray.bytesPerLine()), height,
                      TJPF_GRAY, 0) != 0 &&
        tjGetErrorCode(decompressor) == TJERR_FATAL)
        return false;
    gray_ = std::move(gray);
    width_ = quint32(width);
    height_ = quint32(height);
    if (colorspace == TJCS_GRAY)
        isGray_ = true;
    return true;
}

// The luma plane is the very grey copy a grey decode gives; the chroma planes
// cost only their own transforms (no upsampling, no colour conversion), and
// they are what tells a grey page saved in colour from a colour page. False
// when the planes cannot be had, leaving the plain grey decode to try.
bool Cropper::decodeJpegPlanes(tjhandle decompressor, const QByteArray &encoded, int width, int height,
                               int subsampling)
{
    const int lumaWidth = tjPlaneWidth(0, width, subsampling);
    const int lumaHeight = tjPlaneHeight(0, height, subsampling);
    const int chromaWidth = tjPlaneWidth(1, width, subsampling);
    const int chromaHeight = tjPlaneHeight(1, height, subsampling);
    if (lumaWidth < width || lumaHeight < height || chromaWidth < 1 || chromaHeight < 1)
        return false;
    // The planes are padded to whole chroma samples: an odd width fits the
    // grey rows' alignment, an odd height needs a row more.
    QImage gray(width, lumaHeight, QImage::Format_Grayscale8);
    if (gray.isNull() || gray.bytesPerLine() < lumaWidth)
        return false;
    const qsizetype chromaSize = qsizetype(chromaWidth) * chromaHeight;
    std::unique_ptr<uchar[]> chroma(new (std::nothrow) uchar[std::size_t(2 * chromaSize)]);
    if (!chroma)
        return false;
    unsigned char *planes[3] = {gray.bits(), chroma.get(), chroma.get() + chromaSize};
    int strides[3] = {int(gray.bytesPerLine()), chromaWidth, chromaWidth};
    const auto *bytes = reinterpret_cast<const unsigned char *>(encoded.constData());
    if (tjDecompressToYUVPlanes(decompressor, bytes, static_cast<unsigned long>(encoded.size()), planes,
                                width, strides, height, 0) != 0 &&
        tjGetErrorCode(decompressor) == TJERR_FATAL)
        return false;
    if (lumaHeight != height)
        gray = gray.copy(0, 0, width, height);
    if (gray.isNull())
        return false;
    const quint64 allowed = quint64(2 * chromaSize) * kColourSamplesPerMillion / 1'000'000;
    isGray_ = chromaIsNeutral(chroma.get(), 2 * chromaSize, allowed);
    gray_ = std::move(gray);
    width_ = quint32(width);
    height_ = quint32(height);
    return true;
}

void Cropper::decodeThroughQImage(const QByteArray &encoded)
{
    QBuffer buffer;
    buffer.setData(encoded);
    if (!buffer.open(QIODevice::ReadOnly))
        return;
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && quint64(size.width()) * quint64(size.height()) > kMaxPixels)
        return;
    // Also guards formats whose header gives no size: four bytes a pixel is
    // the widest format the readers decode to.
    reader.setAllocationLimit(int(kMaxPixels * 4 / (1024 * 1024)) + 1);
    QImage image;
    if (!reader.read(&image))
        return;
    initializeBitmapData(std::move(image));
}

void Cropper::initializeBitmapData(QImage image)
{
    if (image.isNull() || image.width() < 1 || image.height() < 1)
        return;
    if (quint64(image.width()) * quint64(image.height()) > kMaxPixels)
        return;
    QImage gray = std::move(image).convertToFormat(QImage::Format_Grayscale8);
    if (gray.isNull())
        return;
    width_ = quint32(gray.width());
    height_ = quint32(gray.height());
    gray_ = std::move(gray);
}

bool Cropper::crop()
{
    if (gray_.isNull() || width_ == 0 || height_ == 0)
        return false;
    if (cropped_)
        return true;
    leftBorder_ = 0;
    rightBorder_ = 0;
    // In place: the grey copy is not needed once the gradient exists, and a
    // second page-sized buffer would double the memory and the cache misses.
    // (bits() copies first when a caller's image still shares the pixels.)
    uchar *pixels = gray_.bits();
    if (!pixels)
        return false;
    const float mean = gradientxWithInput(pixels, pixels);
    if (std::isnan(mean))
        return false;
    binaryWithInput(pixels, pixels, uchar(quint32(mean)));
    findBordersBySummingWithInput(pixels);
    cropped_ = true;
    return true;
}

// Returns NaN when the row buffer for in-place work cannot be had.
float Cropper::gradientxWithInput(const uchar *input, uchar *output) const
{
    const qsizetype stride = gray_.bytesPerLine();
    // Working in place needs the row's original values while it is being
    // overwritten; most pages fit the stack buffer.
    uchar stackRow[8192];
    std::unique_ptr<uchar[]> heapRow;
    uchar *row = stackRow;
    if (width_ > sizeof stackRow) {
        heapRow.reset(new (std::nothrow) uchar[width_]);
        if (!heapRow)
            return std::nanf("");
        row = heapRow.get();
    }

    // The mean is a float running sum in pixel order, rounding and all, so
    // that large pages get the same threshold however the sum is taken.
    // Whole numbers up to 2^24 add exactly in a float, so rows are summed as
    // integers while the total stays there, and pixel by pixel after that.
    constexpr quint64 kExactInFloat = quint64(1) << 24;
    quint64 exactTotal = 0;
    bool exact = true;
    float sum = 0;
    for (quint32 y = 0; y < height_; ++y) {
        const uchar *in = input + y * stride;
        uchar *out = output + y * stride;
        if (in == out) {
            std::memcpy(row, in, width_);
            in = row;
        }
        const quint64 rowTotal = gradientRow(in, out, width_);
        if (exact && exactTotal + rowTotal <= kExactInFloat) {
            exactTotal += rowTotal;
            continue;
        }
        if (exact) {
            sum = float(exactTotal);
            exact = false;
        }
        for (quint32 x = 0; x < width_; ++x)
            sum += float(out[x]);
    }
    if (exact)
        sum = float(exactTotal);
    return sum / float(height_) / float(width_);
}

void Cropper::binaryWithInput(const uchar *input, uchar *output, uchar threshold) const
{
    const qsizetype stride = gray_.bytesPerLine();
    for (quint32 y = 0; y < height_; ++y) {
        binaryRow(input + y * stride, output + y * stride, width_, threshold);
    }
}

void Cropper::findBordersBySummingWithInput(const uchar *input)
{
    // The limits truncate toward zero, as does the scan width.
    const auto scanWidth = quint32(float(width_) * 0.2f);
    // Above this a column is a frame line or a hard edge.
    const auto strongLimit = quint32(float(height_) * 0.7f);
    // Below this a column is blank margin.
    const auto weakLimit = quint32(float(height_) * 0.03f);
    // The right side scans one column fewer than the left.
    const quint32 rightCount = scanWidth > 0 ? scanWidth - 1 : 0;
    const quint32 rightStart = width_ - rightCount;

    // Column sums gathered row by row: walking down each column instead
    // would touch a new cache line for every pixel.
    // The binary map holds only 0 and 1, so byte counters serve for up to
    // 255 rows at a time.
    std::vector<quint32> leftSums(scanWidth), rightSums(rightCount);
    std::vector<uchar> leftCounts(scanWidth), rightCounts(rightCount);
    const qsizetype stride = gray_.bytesPerLine();
    for (quint32 y = 0; y < height_; ++y) {
        const uchar *row = input + y * stride;
        countRow(row, leftCounts.data(), scanWidth);
        countRow(row + rightStart, rightCounts.data(), rightCount);
        if (y % 255 == 254 || y + 1 == height_) {
            flushCounts(leftCounts.data(), leftSums.data(), scanWidth);
            flushCounts(rightCounts.data(), rightSums.data(), rightCount);
        }
    }

    BorderScan left(weakLimit, 0);
    for (quint32 x = 0; x < scanWidth; ++x)
        left.add(x, leftSums[x]);
    leftBorder_ =
        float(left.maxSum > strongLimit ? std::max(left.strongest, left.lastBlank) : left.lastBlank);

    BorderScan right(weakLimit, width_);
    for (quint32 i = rightCount; i-- > 0;)
        right.add(rightStart + i, rightSums[i]);
    rightBorder_ =
        float(right.maxSum > strongLimit ? std::min(right.strongest, right.lastBlank) : right.lastBlank);
}

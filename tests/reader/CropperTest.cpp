#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <optional>
#include <random>
#include <vector>

#include <turbojpeg.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include "reader/Cropper.h"

namespace {

// A binary map of width × height with `ones` rows set in each listed column.
struct Column {
    int x;
    int ones;
};

QImage binaryMap(int width, int height, std::initializer_list<Column> columns, int fillFrom = -1,
                 int fillTo = -1, int fillOnes = 0)
{
    QImage map(width, height, QImage::Format_Grayscale8);
    map.fill(0);
    auto set = [&](int x, int ones) {
        for (int y = 0; y < ones; ++y)
            map.scanLine(y)[x] = 1;
    };
    for (int x = fillFrom; x >= 0 && x <= fillTo; ++x)
        set(x, fillOnes);
    for (const Column &c : columns)
        set(c.x, c.ones);
    return map;
}

std::pair<float, float> bordersOfMap(const QImage &map)
{
    Cropper cropper(map);
    cropper.findBordersBySummingWithInput(cropper.grayImage().constBits());
    return {cropper.leftBorder(), cropper.rightBorder()};
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 100);
    return bytes;
}

// Noise from column `from` to `to` inclusive on white paper.
QImage page(int width, int height, int from, int to, std::mt19937 &random)
{
    QImage image(width, height, QImage::Format_Grayscale8);
    image.fill(255);
    for (int y = 0; y < height; ++y)
        for (int x = from; x <= to; ++x)
            image.scanLine(y)[x] = uchar(random() % 2 ? 0 : 255);
    return image;
}

// The border rules read literally: each column summed top to bottom, the left
// side scanned rightward, the right side leftward and one column shorter.
std::pair<float, float> referenceBorders(const QImage &binary)
{
    const unsigned width = unsigned(binary.width()), height = unsigned(binary.height());
    auto columnSum = [&](unsigned x) {
        unsigned sum = 0;
        for (unsigned y = 0; y < height; ++y)
            sum += binary.constScanLine(int(y))[x] == 1 ? 1 : 0;
        return sum;
    };
    const auto scanWidth = unsigned(float(width) * 0.2f);
    const auto strongLimit = unsigned(float(height) * 0.7f), weakLimit = unsigned(float(height) * 0.03f);

    unsigned maxSum = 0, strongest = 0, lastBlank = 0;
    bool blankRun = true;
    for (unsigned x = 0; x < scanWidth; ++x) {
        const unsigned sum = columnSum(x);
        if (sum > maxSum)
            maxSum = sum, strongest = x;
        if (sum >= weakLimit)
            blankRun = false;
        else if (blankRun)
            lastBlank = x;
    }
    const float left = float(maxSum > strongLimit ? std::max(strongest, lastBlank) : lastBlank);

    maxSum = 0, strongest = width, lastBlank = width, blankRun = true;
    for (long x = long(width) - 1; x >= long(width) - long(scanWidth) + 1; --x) {
        const unsigned sum = columnSum(unsigned(x));
        if (sum > maxSum)
            maxSum = sum, strongest = unsigned(x);
        if (sum >= weakLimit)
            blankRun = false;
        else if (blankRun)
            lastBlank = unsigned(x);
    }
    const float right = float(maxSum > strongLimit ? std::min(strongest, lastBlank) : lastBlank);
    return {left, right};
}

} // namespace

// 100 × 100: scan width 20, strong limit 70, weak limit 3. The left scan
// covers columns 0–19, the right scan columns 99 down to 81.
TEST(CropperBorders, RulesOnBinaryMaps)
{
    struct Case {
        const char *name;
        QImage map;
        float left, right;
    };
    const Case cases[] = {
        {"blank scan regions", binaryMap(100, 100, {}, 20, 80, 50), 19, 81},
        // Taller than 255 rows, where column counts must not wrap.
        {"frame lines beyond blank edges", binaryMap(100, 600, {{12, 600}, {87, 600}}, 6, 93, 60), 12, 87},
        {"blank edges without strong lines", binaryMap(100, 100, {}, 16, 83, 70), 15, 84},
        {"content at the very edges", binaryMap(100, 100, {}, 0, 99, 10), 0, 100},
        {"first of equal maxima", binaryMap(100, 100, {{3, 90}, {8, 90}, {96, 90}, {91, 90}}, 2, 97, 5), 3,
         96},
        {"at the strong limit is not strong", binaryMap(100, 100, {{10, 70}, {90, 70}}, 4, 95, 5), 3, 96},
        {"weak limit ends the blank run", binaryMap(100, 100, {{2, 2}, {97, 2}, {5, 3}, {94, 3}}), 4, 95},
        {"a blank run ends for good", binaryMap(100, 100, {{4, 5}, {95, 5}}), 3, 96},
        // Column 80 is scanned on neither side although column 19 is.
        {"right scan is one column shorter", binaryMap(100, 100, {{19, 100}, {80, 100}}), 19, 81},
        {"narrower than 5 pixels", binaryMap(4, 100, {}, 0, 3, 100), 0, 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto [left, right] = bordersOfMap(c.map);
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(right, c.right);
    }
}

// Gradient, mean and binarisation against a plain transcription of the rules,
// on random pages with margins and a frame line (odd widths pad their rows).
TEST(CropperBorders, MatchesReferenceOnRandomImages)
{
    const unsigned seed = std::random_device{}();
    std::printf("CropperBorders random seed %u\n", seed);
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    for (int round = 0; round < 60; ++round) {
        // The first page is wide enough to span the vector code's chunks and
        // to need a row buffer beyond the stack's.
        // Its gradient total passes 2^24, where a float sum starts rounding.
        const int width = round == 0 ? 9000 : 1 + int(random() % 300),
                  height = round == 0 ? 600 : 1 + int(random() % 120);
        QImage image(width, height, QImage::Format_Grayscale8);
        const int inkFrom = int(random() % (width / 4 + 1)),
                  inkTo = width - 1 - int(random() % (width / 4 + 1));
        const int line = int(random() % width), density = int(random() % 100);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const bool ink = (x >= inkFrom && x <= inkTo && int(random() % 100) < density) || x == line;
                image.scanLine(y)[x] = uchar(ink ? random() % 120 : 200 + random() % 56);
            }

        QImage gradient(width, height, QImage::Format_Grayscale8);
        float total = 0;
        for (int y = 0; y < height; ++y) {
            const uchar *p = image.constScanLine(y);
            for (int x = 0; x < width; ++x) {
                int g = 0;
                if (width > 1 && x == 0)
                    g = std::abs(p[1] - p[0]);
                else if (width > 1 && x == width - 1)
                    g = std::abs(p[x] - p[x - 1]);
                else if (width > 1)
                    g = std::abs(int(float(p[x + 1] - p[x - 1]) * 0.5f));
                gradient.scanLine(y)[x] = uchar(g);
                total += float(g);
            }
        }
        const float mean = total / float(height) / float(width);
        const auto threshold = uchar(unsigned(mean));

        Cropper cropper(image);
        QImage output(width, height, QImage::Format_Grayscale8);
        EXPECT_EQ(cropper.gradientxWithInput(cropper.grayImage().constBits(), output.bits()), mean);
        EXPECT_EQ(output, gradient);

        ASSERT_TRUE(cropper.crop());
        QImage binary = gradient;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                binary.scanLine(y)[x] = gradient.scanLine(y)[x] > threshold;
        EXPECT_EQ(cropper.grayImage(), binary);
        const auto [left, right] = referenceBorders(binary);
        EXPECT_EQ(cropper.leftBorder(), left);
        EXPECT_EQ(cropper.rightBorder(), right);
    }
}

// Column sums placed on and around every limit, blank runs of every length at
// both edges, frequent ties, and heights either side of the column counters'
// 255-row flushes.
TEST(CropperBorders, MatchesReferenceOnStructuredMaps)
{
    const unsigned seed = std::random_device{}();
    std::printf("CropperBorders structured seed %u\n", seed);
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    const int heights[] = {1, 2, 33, 34, 66, 67, 100, 254, 255, 256, 509, 510, 511, 767};
    for (int round = 0; round < 300; ++round) {
        const int width = 1 + int(random() % 140);
        const int height = round < 28 ? heights[round % 14] : 1 + int(random() % 800);
        const int strong = int(float(height) * 0.7f), weak = int(float(height) * 0.03f);
        const int scan = int(float(width) * 0.2f);
        const int leftRun = int(random() % unsigned(scan + 2)), rightRun = int(random() % unsigned(scan + 2));
        std::vector<int> rows(static_cast<size_t>(height));
        std::iota(rows.begin(), rows.end(), 0);

        QImage map(width, height, QImage::Format_Grayscale8);
        map.fill(0);
        for (int x = 0; x < width; ++x) {
            const int near[] = {0, weak - 1, weak, weak + 1, strong - 1, strong, strong + 1, height};
            int ones = random() % 5 == 0 ? int(random() % unsigned(height + 1)) : near[random() % 8];
            if (x < leftRun || width - 1 - x < rightRun)
                ones = random() % 2 ? 0 : weak - 1;
            ones = std::clamp(ones, 0, height);
            for (int i = 0; i < ones; ++i) {
                std::swap(rows[size_t(i)], rows[size_t(i) + random() % size_t(height - i)]);
                map.scanLine(rows[size_t(i)])[x] = 1;
            }
        }
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        const auto expected = referenceBorders(map);
        EXPECT_EQ(bordersOfMap(map), expected);
    }
}

TEST(CropperDecoding, FindsMarginsThroughEachDecoder)
{
    std::mt19937 random(7);
    // Ink from column 30 to 169: binary columns 29 and 170 see it.
    const QImage source = page(200, 100, 30, 169, random);
    const QImage before = source.copy();
    Cropper fromImage(source);
    ASSERT_TRUE(fromImage.crop());
    EXPECT_EQ(fromImage.leftBorder(), 28);
    EXPECT_EQ(fromImage.rightBorder(), 171);
    EXPECT_EQ(source, before) << "the caller's image must not be overwritten";

    // Palette PNGs are common for scans; CMYK JPEGs are beyond TurboJPEG's
    // grey output and must come through QImage instead.
    const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
    // Written as Adobe's inverted CMYK, which is how QImage reads it back.
    std::vector<uchar> cmyk(size_t(200) * 100 * 4, 255);
    for (int i = 0; i < 200 * 100; ++i)
        cmyk[4 * i + 3] = source.constScanLine(i / 200)[i % 200];
    tjhandle compressor = tjInitCompress();
    unsigned char *cmykJpeg = nullptr;
    unsigned long cmykSize = 0;
    ASSERT_EQ(
        tjCompress2(compressor, cmyk.data(), 200, 0, 100, TJPF_CMYK, &cmykJpeg, &cmykSize, TJSAMP_444, 95, 0),
        0);
    const QByteArray files[] = {encoded(rgb, "png"),
                                encoded(rgb.convertToFormat(QImage::Format_Indexed8), "png"),
                                encoded(rgb, "jpg"), encoded(rgb, "webp"),
                                QByteArray(reinterpret_cast<const char *>(cmykJpeg), qsizetype(cmykSize))};
    tjFree(cmykJpeg);
    tjDestroy(compressor);
    for (const QByteArray &file : files) {
        SCOPED_TRACE(file.left(4).toHex().toStdString());
        if (file.isEmpty()) // no WebP writer installed
            continue;
        Cropper cropper(file);
        EXPECT_EQ(cropper.width(), 200u);
        EXPECT_EQ(cropper.height(), 100u);
        ASSERT_TRUE(cropper.crop());
        // Lossy codecs blur the edge of the ink by a few columns.
        EXPECT_NEAR(cropper.leftBorder(), 28, 4);
        EXPECT_NEAR(cropper.rightBorder(), 171, 4);
    }
}

TEST(CropperDecoding, TinyBrokenAndOversizedImages)
{
    for (QSize size : {QSize(1, 1), QSize(1, 40), QSize(3, 40)}) {
        QImage image(size, QImage::Format_Grayscale8);
        image.fill(0);
        image.setPixel(0, 0, 0xFFFFFFFF);
        Cropper cropper(image);
        ASSERT_TRUE(cropper.crop());
        EXPECT_EQ(cropper.leftBorder(), 0);
        EXPECT_EQ(cropper.rightBorder(), float(size.width()));
    }

    QByteArray jpeg = encoded(QImage(16, 16, QImage::Format_RGB32), "jpg");
    for (const QByteArray &bytes : {QByteArray(), QByteArray("not an image"), jpeg.left(40)}) {
        Cropper cropper(bytes);
        EXPECT_FALSE(cropper.crop());
        EXPECT_EQ(cropper.width(), 0u);
    }
    EXPECT_FALSE(Cropper(QImage()).crop());

    // A header claiming 60000 × 60000 pixels is refused before decoding.
    const qsizetype frame = jpeg.indexOf("\xFF\xC0");
    ASSERT_GT(frame, 0);
    jpeg[frame + 5] = jpeg[frame + 7] = char(0xEA);
    jpeg[frame + 6] = jpeg[frame + 8] = char(0x60);
    Cropper huge(jpeg);
    EXPECT_FALSE(huge.crop());
    EXPECT_EQ(huge.width(), 0u);
}

namespace {

// Grey noise on white with a dark block: a scan with compression to wear.
QImage greyScan(int width, int height)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> paper(225, 255);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int v = x > width / 3 && x < width / 2 && y > height / 4 ? 20 : paper(random);
            line[x] = qRgb(v, v, v);
        }
    }
    return image;
}

} // namespace

TEST(CropperDecoding, TellsGreyPagesFromColourOnes)
{
    // Odd sizes pad the colour planes past the image; the grey copy must
    // still be the one a straight grey decode gives.
    const QImage grey = greyScan(201, 101);
    const QByteArray greyJpeg = encoded(grey, "jpg");
    Cropper greyPage(greyJpeg);
    EXPECT_EQ(greyPage.isGray(), std::optional<bool>(true));
    ASSERT_EQ(greyPage.width(), 201u);
    ASSERT_EQ(greyPage.height(), 101u);
    QImage direct(201, 101, QImage::Format_Grayscale8);
    tjhandle decompressor = tjInitDecompress();
    ASSERT_EQ(tjDecompress2(decompressor, reinterpret_cast<const unsigned char *>(greyJpeg.constData()),
                            static_cast<unsigned long>(greyJpeg.size()), direct.bits(), 201,
                            int(direct.bytesPerLine()), 101, TJPF_GRAY, 0),
              0);
    tjDestroy(decompressor);
    EXPECT_EQ(greyPage.grayImage(), direct);

    // Slightly tinted paper, as a scanner leaves it, is still grey; a small
    // red mark is not.
    QImage tinted = grey;
    QImage marked = grey;
    std::mt19937 random(3);
    std::uniform_int_distribution<int> tint(-4, 4);
    for (int y = 0; y < 101; ++y) {
        for (int x = 0; x < 201; ++x) {
            const QRgb p = grey.pixel(x, y);
            tinted.setPixel(x, y,
                            qRgb(std::clamp(qRed(p) + tint(random), 0, 255), qGreen(p),
                                 std::clamp(qBlue(p) - 3, 0, 255)));
            if (x >= 150 && x < 162 && y >= 10 && y < 22)
                marked.setPixel(x, y, qRgb(220, 30, 30));
        }
    }
    EXPECT_EQ(Cropper(encoded(tinted, "jpg")).isGray(), std::optional<bool>(true));
    EXPECT_EQ(Cropper(encoded(marked, "jpg")).isGray(), std::optional<bool>(false));
    EXPECT_EQ(Cropper(encoded(grey.convertToFormat(QImage::Format_Grayscale8), "jpg")).isGray(),
              std::optional<bool>(true))
        << "a one-component JPEG";
    // Only JPEG is ever decoded grey, so nothing is said of other files.
    EXPECT_EQ(Cropper(encoded(grey, "png")).isGray(), std::nullopt);
    EXPECT_EQ(Cropper(QByteArray("not an image")).isGray(), std::nullopt);
}

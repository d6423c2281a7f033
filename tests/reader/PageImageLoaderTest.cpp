#include <gtest/gtest.h>

#include <algorithm>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "reader/PageImageLoader.h"
#include "support/EventLoop.h"

namespace {

// A page in three bands: red up to `left`, green up to `right`, blue after,
// so what survives a cut shows in the colours at its edges.
QByteArray bandedPage(int width, int height, int left, int right, const char *format = "JPEG")
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = x < left ? qRgb(255, 0, 0) : x < right ? qRgb(0, 255, 0) : qRgb(0, 0, 255);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 95);
    return bytes;
}

bool isGreen(QRgb pixel)
{
    return qGreen(pixel) > 200 && qRed(pixel) < 60 && qBlue(pixel) < 60;
}

class PageImageLoaderTest : public testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    PageImageRequest request(const QString &path, double shownScale = 1.0, bool cut = false)
    {
        PageImageRequest r;
        r.fileName = path;
        r.shownScale = shownScale;
        r.cut = cut;
        r.leftBorder = 160;
        r.rightBorder = 640;
        return r;
    }

    // Loads for `owner` and waits for the report.
    std::shared_ptr<const PageImage> loadAndWait(const void *owner, const PageImageRequest &r)
    {
        bool reported = false;
        std::shared_ptr<const PageImage> result;
        loader.load(owner, r, [&](std::shared_ptr<const PageImage> page) {
            reported = true;
            result = std::move(page);
        });
        EXPECT_TRUE(pumpEventsUntil([&] { return reported; }));
        return result;
    }

    QTemporaryDir dir;
    PageImageLoader loader;
};

TEST_F(PageImageLoaderTest, DecodesAtTheShownScaleWithGeometryInFilePixels)
{
    EXPECT_DOUBLE_EQ(PageImageLoader::decodingScale(0.1), 0.125);
    EXPECT_DOUBLE_EQ(PageImageLoader::decodingScale(0.25), 0.25);
    EXPECT_DOUBLE_EQ(PageImageLoader::decodingScale(0.3), 0.5);
    EXPECT_DOUBLE_EQ(PageImageLoader::decodingScale(0.6), 1.0);
    EXPECT_DOUBLE_EQ(PageImageLoader::decodingScale(2.0), 1.0);

    const QString jpeg = write(QStringLiteral("page.jpg"), bandedPage(800, 1200, 160, 640));
    auto whole = PageImageLoader::decode(request(jpeg, 0.3));
    ASSERT_TRUE(whole);
    EXPECT_DOUBLE_EQ(whole->scale(), 0.5);
    EXPECT_EQ(whole->image().size(), QSize(400, 600));
    EXPECT_EQ(whole->fullSize(), QSize(800, 1200));

    // Cut while decoded small: the same part of the page as at full size,
    // reckoned in the file's pixels.
    for (const double shown : {0.3, 1.0}) {
        auto cut = PageImageLoader::decode(request(jpeg, shown, true));
        ASSERT_TRUE(cut);
        EXPECT_EQ(cut->fullSize(), QSize(480, 1200)) << shown;
        EXPECT_NEAR(cut->image().width(), 480 * cut->scale(), 1.0) << shown;
        const QImage &image = cut->image();
        EXPECT_TRUE(isGreen(image.pixel(3, image.height() / 2))) << shown;
        EXPECT_TRUE(isGreen(image.pixel(image.width() - 4, image.height() / 2))) << shown;
    }

    // The rows on screen alone, and a row more to resample with: the page's
    // geometry stays whole, and so does a page shorter than the rows asked.
    PageImageRequest top = request(jpeg, 0.3, true);
    top.firstRows = 301;
    auto topRows = PageImageLoader::decode(top);
    ASSERT_TRUE(topRows);
    EXPECT_FALSE(topRows->isWhole());
    EXPECT_EQ(topRows->image().height(), 152);
    EXPECT_EQ(topRows->fullSize(), QSize(480, 1200));
    EXPECT_NEAR(topRows->coveredHeight(), 304, 1);
    EXPECT_TRUE(isGreen(topRows->image().pixel(3, 150)));
    EXPECT_TRUE(isGreen(topRows->image().pixel(topRows->image().width() - 4, 150)));
    top.firstRows = 1200;
    EXPECT_TRUE(PageImageLoader::decode(top)->isWhole());

    // A grey scan stays grey, a byte a pixel, and is cut alike.
    QImage grey(800, 1200, QImage::Format_Grayscale8);
    grey.fill(0);
    for (int y = 0; y < grey.height(); ++y)
        std::fill_n(grey.scanLine(y) + 160, 480, uchar(200));
    QByteArray greyBytes;
    QBuffer greyBuffer(&greyBytes);
    greyBuffer.open(QIODevice::WriteOnly);
    grey.save(&greyBuffer, "JPEG", 95);
    auto greyCut = PageImageLoader::decode(request(write(QStringLiteral("grey.jpg"), greyBytes), 0.3, true));
    ASSERT_TRUE(greyCut);
    EXPECT_EQ(greyCut->image().depth(), 8);
    EXPECT_EQ(greyCut->fullSize(), QSize(480, 1200));
    EXPECT_GT(qGray(greyCut->image().pixel(3, 300)), 180);
    EXPECT_GT(qGray(greyCut->image().pixel(greyCut->image().width() - 4, 300)), 180);
    // Saved in colour, it decodes grey only when known to be grey.
    QByteArray colourBytes;
    QBuffer colourBuffer(&colourBytes);
    colourBuffer.open(QIODevice::WriteOnly);
    grey.convertToFormat(QImage::Format_RGB32).save(&colourBuffer, "JPEG", 95);
    PageImageRequest inColour = request(write(QStringLiteral("colour.jpg"), colourBytes), 0.3);
    EXPECT_EQ(PageImageLoader::decode(inColour)->image().format(), QImage::Format_RGB32);
    inColour.gray = true;
    EXPECT_EQ(PageImageLoader::decode(inColour)->image().format(), QImage::Format_Grayscale8);

    // Other formats are read whole, whatever the shown scale.
    PageImageRequest pngRequest =
        request(write(QStringLiteral("page.png"), bandedPage(200, 300, 40, 160, "PNG")), 0.3, true);
    pngRequest.leftBorder = 40;
    pngRequest.rightBorder = 160;
    auto png = PageImageLoader::decode(pngRequest);
    ASSERT_TRUE(png);
    EXPECT_TRUE(png->isFullSize());
    EXPECT_EQ(png->image().size(), QSize(120, 300));
    EXPECT_TRUE(isGreen(png->image().pixel(0, 0)) && isGreen(png->image().pixel(119, 299)));

    EXPECT_FALSE(PageImageLoader::decode(request(dir.filePath(QStringLiteral("missing.jpg")))));
    EXPECT_FALSE(PageImageLoader::decode(request(write(QStringLiteral("junk.jpg"), "\xFF\xD8\xFF junk"))));
}

TEST_F(PageImageLoaderTest, KeepsFewPagesAndNeverAStaleOrFailedOne)
{
    const int owner = 0;
    const QString path = dir.filePath(QStringLiteral("late.jpg"));
    // A page not yet fetched fails, and its failure is not remembered.
    EXPECT_FALSE(loadAndWait(&owner, request(path)));
    write(QStringLiteral("late.jpg"), bandedPage(200, 300, 0, 100));
    auto first = loadAndWait(&owner, request(path));
    ASSERT_TRUE(first);

    // Found again at once, without another decode.
    std::shared_ptr<const PageImage> again;
    loader.load(&owner, request(path), [&](std::shared_ptr<const PageImage> page) { again = page; });
    EXPECT_EQ(again, first);
    EXPECT_FALSE(loader.isCached(request(path, 0.3)));
    EXPECT_FALSE(loader.isCached(request(path, 1.0, true)));
    PageImageRequest asGrey = request(path);
    asGrey.gray = true;
    EXPECT_FALSE(loader.isCached(asGrey));
    // The top of a page is shown once and never kept.
    PageImageRequest top = request(path);
    top.firstRows = 100;
    EXPECT_FALSE(loadAndWait(&owner, top)->isWhole());
    EXPECT_FALSE(loader.isCachedOrPending(top));
    EXPECT_TRUE(loader.isCached(request(path)));

    // Rewritten (a page fetched again), it is decoded afresh.
    write(QStringLiteral("late.jpg"), bandedPage(200, 300, 0, 0));
    EXPECT_FALSE(loader.isCached(request(path)));
    auto rewritten = loadAndWait(&owner, request(path));
    ASSERT_TRUE(rewritten);
    EXPECT_NE(rewritten, first);
    EXPECT_FALSE(isGreen(rewritten->image().pixel(10, 10)));

    // Two page slots and the next page: a fourth pushes the oldest out, and
    // what the viewer no longer needs goes at once.
    std::vector<PageImageRequest> pages;
    for (int i = 0; i < 4; ++i) {
        pages.push_back(request(write(QStringLiteral("%1.jpg").arg(i), bandedPage(80, 120, 0, 40))));
        loadAndWait(&owner, pages.back());
    }
    EXPECT_FALSE(loader.isCached(pages[0]));
    EXPECT_TRUE(loader.isCached(pages[1]) && loader.isCached(pages[2]) && loader.isCached(pages[3]));
    loader.retainOnly({pages[3]});
    EXPECT_FALSE(loader.isCached(pages[2]));
    EXPECT_TRUE(loader.isCached(pages[3]));
}

TEST_F(PageImageLoaderTest, OnlyTheNewestLoadOfAnOwnerReports)
{
    const QString a = write(QStringLiteral("a.jpg"), bandedPage(200, 300, 0, 100));
    const QString b = write(QStringLiteral("b.jpg"), bandedPage(200, 300, 0, 100));
    const int slot = 0, otherSlot = 0;
    QStringList reports;
    loader.load(&slot, request(a), [&](auto) { reports << QStringLiteral("slot a"); });
    loader.load(&otherSlot, request(a), [&](auto) { reports << QStringLiteral("other a"); });
    loader.load(&slot, request(b), [&](auto) { reports << QStringLiteral("slot b"); });
    EXPECT_TRUE(pumpEventsUntil([&] { return reports.size() == 2; }));
    pumpEvents();
    reports.sort();
    EXPECT_EQ(reports, (QStringList{QStringLiteral("other a"), QStringLiteral("slot b")}));

    // Cancelled loads never report, and the next page decoded ahead is there
    // when it is asked for.
    loader.clear();
    reports.clear();
    loader.load(&slot, request(a), [&](auto) { reports << QStringLiteral("cancelled"); });
    loader.cancelAll();
    loader.preload(request(b));
    EXPECT_TRUE(pumpEventsUntil([&] { return loader.isCached(request(b)); }));
    EXPECT_TRUE(reports.isEmpty());

    // A slot that stops waiting cancels only what nobody else waits for.
    loader.clear();
    const int thirdSlot = 0;
    loader.load(&slot, request(a), [&](auto) { reports << QStringLiteral("forgotten"); });
    loader.load(&otherSlot, request(a), [&](auto) { reports << QStringLiteral("other a"); });
    loader.load(&thirdSlot, request(b, 0.3), [&](auto) { reports << QStringLiteral("forgotten"); });
    loader.forget(&slot);
    loader.forget(&thirdSlot);
    EXPECT_FALSE(loader.isCachedOrPending(request(b, 0.3)));
    EXPECT_TRUE(pumpEventsUntil([&] { return !reports.isEmpty(); }));
    pumpEvents();
    EXPECT_EQ(reports, QStringList{QStringLiteral("other a")});
}

} // namespace

TEST_F(PageImageLoaderTest, HandsOverTheTopRowsOfAGreyPageAsTheyAreDecoded)
{
    QImage grey(800, 1200, QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x)
            grey.scanLine(y)[x] = x < 160 || x >= 640 ? 0 : uchar(64 + (y * 7 + x) % 128);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    grey.save(&buffer, "JPEG", 95);
    PageImageRequest top = request(write(QStringLiteral("grey.jpg"), bytes), 0.3, true);
    top.firstRows = 900;

    std::vector<PageImageRows> handed;
    std::shared_ptr<const PageImage> page;
    loader.load(
        this, top, [&](std::shared_ptr<const PageImage> result) { page = std::move(result); },
        [&](const PageImageRows &rows) {
            EXPECT_FALSE(page) << "rows after the page";
            handed.push_back(rows);
        });
    ASSERT_TRUE(pumpEventsUntil([&] { return page != nullptr; }));
    ASSERT_FALSE(page->isWhole());
    EXPECT_EQ(page->decodedHeight(), 600);
    // A few times, more rows each time, cut as the page and the very rows
    // it holds.
    ASSERT_GE(handed.size(), 2u);
    int rows = 0;
    for (const PageImageRows &part : handed) {
        EXPECT_GT(part.rows.height(), rows);
        rows = part.rows.height();
        EXPECT_LT(rows, page->image().height());
        EXPECT_EQ(part.fullSize, page->fullSize());
        EXPECT_EQ(part.decodedHeight, page->decodedHeight());
        EXPECT_EQ(part.rows, page->image().copy(0, 0, page->image().width(), rows));
    }

    // A page in colour, or a whole page, comes at once.
    handed.clear();
    page.reset();
    PageImageRequest colour = request(write(QStringLiteral("colour.jpg"), bandedPage(800, 1200, 160, 640)), 0.3);
    colour.firstRows = 900;
    loader.load(
        this, colour, [&](std::shared_ptr<const PageImage> result) { page = std::move(result); },
        [&](const PageImageRows &rows) { handed.push_back(rows); });
    ASSERT_TRUE(pumpEventsUntil([&] { return page != nullptr; }));
    EXPECT_TRUE(handed.empty());
}

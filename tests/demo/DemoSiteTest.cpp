#include <gtest/gtest.h>

#include <QImage>

#include "catalogue/SiteRegistry.h"
#include "demo/DemoCatalogue.h"
#include "demo/DemoPageImage.h"
#include "demo/DemoSite.h"
#include "deduction/Deducer.h"
#include "deduction/DeducerDelegate.h"
#include "foundation/OperationQueue.h"
#include "sites/LicensedFilter.h"
#include "sites/NavBooksFetcher.h"
#include "sites/NavChaptersFetcher.h"
#include "sites/NavRecentChaptersFetcher.h"
#include "sites/SiteConfig.h"
#include "support/EventLoop.h"
#include "web/HttpRequest.h"

namespace {

class CountingDelegate : public DeducerDelegate
{
public:
    void deducerFinished(Deducer &) override { ++finished; }
    void deducerFailed(Deducer &) override { ++failed; }
    std::atomic<int> finished{0};
    std::atomic<int> failed{0};
};

// The demo site read by the project's own fetchers and deducers, one
// layout at a time, as the app and yomora-cli read it.
class DemoSiteTest : public ::testing::TestWithParam<const char *>
{
protected:
    static void SetUpTestSuite()
    {
        site = new DemoSite(DemoSite::Options{0, 7, std::chrono::milliseconds(0)});
    }
    static void TearDownTestSuite()
    {
        delete site;
        site = nullptr;
    }
    void SetUp() override
    {
        ASSERT_GT(site->port(), 0);
        layout = site->layout(QString::fromLatin1(GetParam()));
        ASSERT_TRUE(layout);
        for (const auto &l : site->layouts())
            if (auto s = SiteConfig::siteForOptionName(l->name()))
                SiteConfig::setOverride(*s, l->baseURL());
        NavRecentChaptersFetcher::setFavoriteTitlesProvider([] { return QStringList(); });
    }
    void TearDown() override { SiteConfig::clearOverrides(); }

    QList<NavBook> books(const QString &path)
    {
        const QString url = layout->baseURL() + path;
        auto fetcher =
            SiteRegistry::navBooksFetcherWithURLString(url, layout->name(), path, {}, false, nullptr);
        EXPECT_TRUE(fetcher);
        fetcher->start();
        EXPECT_FALSE(fetcher->error()) << url.toStdString();
        return fetcher->books();
    }

    // Deduces a chapter; the error code on failure, 0 and the image
    // addresses on success.
    int deduce(const QString &url, QStringList *images)
    {
        CountingDelegate delegate;
        OperationQueue queue;
        auto deducer = SiteRegistry::deducerWithSelectPages(std::nullopt, std::nullopt, QString(), url,
                                                            QString(), nullptr, &delegate);
        EXPECT_TRUE(deducer);
        deducer->setCheckHeaderLimit(2);
        queue.addOperation(deducer);
        EXPECT_TRUE(pumpEventsUntil([&] { return deducer->isFinished(); }));
        if (delegate.finished != 1)
            return deducer->error() ? deducer->error()->code : -1;
        *images = deducer->urlStrings();
        return 0;
    }

    static DemoSite *site;
    const DemoLayout *layout = nullptr;
};

DemoSite *DemoSiteTest::site = nullptr;

const char *listPath(const QString &name)
{
    if (name == u"mangafox")
        return "directory/";
    if (name == u"mangareader")
        return "alphabetical";
    if (name == u"mangahere")
        return "mangalist/";
    return "directory/";
}

TEST_P(DemoSiteTest, ListsShowTheMadeUpTitlesButNotTheLicensedOnes)
{
    const DemoCatalogue &catalogue = site->catalogue();
    const QList<NavBook> all = books(QString::fromLatin1(listPath(layout->name())));
    ASSERT_EQ(all.size(), 40);
    QStringList bookURLs;
    for (int b = 0; b < int(catalogue.books().size()); ++b)
        bookURLs << layout->bookURL(b);
    for (const NavBook &book : all) {
        EXPECT_FALSE(LicensedFilter().isLicensed(book.title())) << book.title().toStdString();
        // Absolute, or relative as OneManga wrote them; MangaFox's carry a query.
        QString url = book.urlString().section(u'?', 0, 0);
        if (url.startsWith(u'/'))
            url.prepend(layout->baseURL().chopped(1));
        EXPECT_TRUE(bookURLs.contains(url)) << book.urlString().toStdString();
    }
    if (layout->name() == u"onemanga")
        return; // no genre lists on this site
    // Every genre row of the site's section table leads to a list.
    const QString genre = layout->name() == u"mangareader" ? QStringLiteral("popular/sci-fi")
                          : layout->name() == u"mangafox"  ? QStringLiteral("directory/sci-fi/")
                                                           : QStringLiteral("sci-fi/");
    std::vector<int> expected;
    for (int b : catalogue.inGenre(QStringLiteral("Sci Fi")))
        if (!catalogue.book(b).licensed)
            expected.push_back(b);
    const QList<NavBook> sciFi = books(genre);
    ASSERT_EQ(size_t(sciFi.size()), expected.size());
    EXPECT_EQ(sciFi.first().title(), catalogue.book(expected.front()).title);
}

TEST_P(DemoSiteTest, BookPageGivesDetailsAndEveryChapterItShows)
{
    const DemoCatalogue &catalogue = site->catalogue();
    const int book = catalogue.licenseNoteBook();
    auto fetcher = SiteRegistry::navChaptersFetcherWithURLString(layout->bookURL(book), nullptr);
    ASSERT_TRUE(fetcher);
    fetcher->start();
    ASSERT_FALSE(fetcher->error()) << fetcher->error()->message.toStdString();

    QStringList expected;
    for (int c = int(catalogue.book(book).chapters.size()) - 1; c >= 0; --c)
        if (!layout->chapterURL(book, c).isEmpty())
            expected << layout->chapterURL(book, c);
    QStringList got;
    for (const NavChapter &chapter : fetcher->chapters())
        got << chapter.urlString();
    if (layout->name() == u"onemanga") // relative links, as that site wrote them
        for (QString &url : got)
            url.prepend(layout->baseURL().chopped(1));
    EXPECT_EQ(got, expected);
    EXPECT_FALSE(fetcher->chapters().first().number()->isNaN());
    EXPECT_FALSE(fetcher->navBookInfo().coverUrlString.isEmpty());
    EXPECT_FALSE(fetcher->navBookInfo().genre.isEmpty());
    EXPECT_EQ(fetcher->navBookInfo().license.isEmpty(), layout->name() != u"onemanga");
}

TEST_P(DemoSiteTest, LatestReleasesListTodaysSpecialChapters)
{
    auto fetcher = SiteRegistry::navRecentChaptersFetcherWithURLString(layout->latestURL(), nullptr);
    ASSERT_TRUE(fetcher);
    fetcher->start();
    ASSERT_FALSE(fetcher->error()) << fetcher->error()->message.toStdString();
    const DemoCatalogue &catalogue = site->catalogue();
    const DemoRelease missing = catalogue.missingPageChapter();
    ASSERT_FALSE(fetcher->chapters().isEmpty());
    EXPECT_EQ(fetcher->books().first().title(), catalogue.book(missing.book).title);
    EXPECT_EQ(fetcher->dates().first(), u"Today");
    for (const NavBook &book : fetcher->books())
        EXPECT_FALSE(LicensedFilter().isLicensed(book.title()));
}

TEST_P(DemoSiteTest, ChaptersDeduceOneImagePerPageAndTheMatureOneIsBlocked)
{
    const DemoCatalogue &catalogue = site->catalogue();
    const DemoRelease missing = catalogue.missingPageChapter();
    const DemoChapter &chapter = catalogue.book(missing.book).chapters[size_t(missing.chapter)];
    QStringList images;
    ASSERT_EQ(deduce(layout->chapterURL(missing.book, missing.chapter), &images), 0);
    ASSERT_EQ(images.size(), chapter.pages);

    // The page images are what they claim, and one is missing until repaired.
    HttpRequest first{QUrl(images.first())};
    first.startSynchronous();
    const QImage page = QImage::fromData(first.responseData());
    const DemoPageGeometry geometry = DemoPageImage::geometry(7, missing.book, missing.chapter, 1);
    EXPECT_EQ(page.size(), QSize(geometry.width, geometry.height));
    HttpRequest absent{QUrl(images[chapter.missingPage - 1])};
    absent.startSynchronous();
    EXPECT_EQ(absent.responseStatusCode(), 404);
    site->setRepaired(true);
    HttpRequest repaired{QUrl(images[chapter.missingPage - 1])};
    repaired.startSynchronous();
    site->setRepaired(false);
    EXPECT_FALSE(QImage::fromData(repaired.responseData()).isNull());

    const DemoRelease mature = catalogue.matureChapter();
    EXPECT_EQ(deduce(layout->chapterURL(mature.book, mature.chapter), &images), 9);
}

INSTANTIATE_TEST_SUITE_P(Layouts, DemoSiteTest,
                         ::testing::Values("mangafox", "mangareader", "mangahere", "onemanga"));

TEST(DemoCatalogueTest, SameSeedSameCatalogueAndPages)
{
    const DemoCatalogue a(3), b(3), c(4);
    ASSERT_EQ(a.books().size(), 43u);
    int licensed = 0;
    for (size_t i = 0; i < a.books().size(); ++i) {
        EXPECT_EQ(a.books()[i].title, b.books()[i].title);
        EXPECT_EQ(a.books()[i].chapters.size(), b.books()[i].chapters.size());
        licensed += a.books()[i].licensed;
        EXPECT_EQ(a.books()[i].licensed, LicensedFilter().isLicensed(a.books()[i].title));
    }
    EXPECT_EQ(licensed, 3);
    EXPECT_NE(a.books().front().title + a.books().back().title,
              c.books().front().title + c.books().back().title);
    EXPECT_EQ(DemoPageImage::encoded(3, 0, 0, 2, true), DemoPageImage::encoded(3, 0, 0, 2, true));
}

TEST(DemoPageImageTest, MarginsAreWhiteAndTheDrawingStartsRightAfterThem)
{
    for (int page = 1; page <= 6; ++page) {
        const DemoPageGeometry g = DemoPageImage::geometry(5, 1, 2, page);
        const QImage image = DemoPageImage::render(5, 1, 2, page);
        ASSERT_EQ(image.size(), QSize(g.width, g.height));
        EXPECT_GE(g.width, 800);
        EXPECT_LE(g.height, 2000);
        const auto columnIsWhite = [&](int x) {
            for (int y = 0; y < g.height; ++y)
                if (qGray(image.pixel(x, y)) < 250)
                    return false;
            return true;
        };
        EXPECT_TRUE(columnIsWhite(g.left - 1)) << page;
        EXPECT_FALSE(columnIsWhite(g.left)) << page;
        EXPECT_TRUE(columnIsWhite(g.width - g.right)) << page;
        EXPECT_FALSE(columnIsWhite(g.width - g.right - 1)) << page;
    }
}

} // namespace

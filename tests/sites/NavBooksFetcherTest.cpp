#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "files/MyDirectories.h"
#include "foundation/Alerts.h"
#include "foundation/NotificationCenter.h"
#include "catalogue/NavBooksFetcherQueueWrapper.h"
#include "catalogue/SiteRegistry.h"
#include "sites/BooksParserDelegate.h"
#include "sites/NavBooksCache.h"
#include "support/EventLoop.h"
#include "support/LoopbackServer.h"

namespace {

QByteArray fixture(const char *name)
{
    QFile file(QStringLiteral(YOMORA_TEST_DATA_DIR "/sites/") + QString::fromUtf8(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList titles(const QList<NavBook> &books)
{
    QStringList out;
    for (const auto &b : books)
        out << b.title();
    return out;
}

class NavBooksFetcherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MyDirectories::setRootDirectory(root.path());
        Alerts::install(alerts);
        auto &center = NotificationCenter::defaultCenter();
        center.addObserver(this, NavBooksFetcherQueueWrapper::didFinishNotification(),
                           [this] { ++finished; });
        center.addObserver(this, NavBooksFetcherQueueWrapper::didFailNotification(), [this] { ++failed; });
    }
    void TearDown() override
    {
        wrapper.reset(); // joins the queue before the server goes
        NotificationCenter::defaultCenter().removeObserver(this);
        Alerts::install(nullptr);
        MyDirectories::setRootDirectory({});
    }
    bool waitForReports(int count)
    {
        return pumpEventsUntil([&] { return finished + failed >= count; });
    }
    QString site(const char *word, const char *path) const
    {
        return server.url(QString::fromUtf8(path),
                          QStringLiteral("www.%1.localhost").arg(QLatin1String(word)));
    }

    QTemporaryDir root;
    LoopbackServer server;
    std::shared_ptr<AlertRecorder> alerts = std::make_shared<AlertRecorder>();
    std::unique_ptr<NavBooksFetcherQueueWrapper> wrapper = std::make_unique<NavBooksFetcherQueueWrapper>();
    int finished = 0;
    int failed = 0;
};

TEST_F(NavBooksFetcherTest, ListIsParsedFilteredAndCached)
{
    server.servePage(QStringLiteral("/directory/1.htm"), fixture("mangafox/directory-listing.html"));
    const QString dir = QStringLiteral("/directory/");
    wrapper->goWithRootURLString(site("mangafox", "/directory/"), QStringLiteral("MangaFox.com"), dir,
                                 QStringLiteral("Popular"), false);
    ASSERT_TRUE(waitForReports(1));
    EXPECT_EQ(finished, 1);
    // Bleach is licensed; the genre-only title stays without the section filter.
    EXPECT_EQ(titles(wrapper->books()),
              (QStringList{QStringLiteral("Kissxsis"), QStringLiteral("Ane Doki"),
                           QStringLiteral("Tom &amp; Jerry"), QStringLiteral("After Empty"),
                           QStringLiteral("Footer Book")}));
    EXPECT_EQ(NavBooksCache::books(QStringLiteral("MangaFox.com"), dir), wrapper->books());
    // The file itself follows on the fetch's thread.
    wrapper->queue().waitUntilAllOperationsAreFinished();
    EXPECT_TRUE(QFile::exists(NavBooksCache::filePath(QStringLiteral("MangaFox.com"), dir)));
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    // Some sites answer other browsers with a different layout.
    EXPECT_EQ(
        requests[0].header("user-agent"),
        QByteArray("Mozilla/5.0 (Macintosh; Intel Mac OS X 10_6_8) AppleWebKit/536.5 (KHTML, like Gecko) "
                   "Chrome/19.0.1084.53 Safari/536.5"));
    EXPECT_TRUE(alerts->isEmpty());

    // With the section filter, and without caching (as the search screen asks).
    server.servePage(QStringLiteral("/search/1.htm"), fixture("mangafox/directory-listing.html"));
    wrapper->goWithRootURLString(site("mangafox", "/search"), QStringLiteral("MangaFox.com"),
                                 QStringLiteral("/search"), {}, true, false);
    ASSERT_TRUE(waitForReports(2));
    EXPECT_FALSE(titles(wrapper->books()).contains(QStringLiteral("Kissxsis")));
    EXPECT_EQ(wrapper->books().size(), 4);
    EXPECT_FALSE(NavBooksCache::exists(QStringLiteral("MangaFox.com"), QStringLiteral("/search")));
}

// yomora-cli reads a saved list through readPage: what it prints must be
// what the Internet tab shows for the same page.
TEST_F(NavBooksFetcherTest, ASavedPageIsReadAsTheFetchedPageIs)
{
    const QByteArray page = fixture("mangafox/directory-listing.html");
    server.servePage(QStringLiteral("/search/1.htm"), page);
    wrapper->goWithRootURLString(site("mangafox", "/search"), QStringLiteral("MangaFox.com"),
                                 QStringLiteral("/search"), {}, true, false);
    ASSERT_TRUE(waitForReports(1));
    ASSERT_EQ(finished, 1);

    NavBooksFetcher reader({}, {}, {}, true, nullptr);
    const auto parser = SiteRegistry::booksParserNamed(QStringLiteral("mangafox"));
    ASSERT_TRUE(reader.readPage(QString::fromUtf8(page), *parser));
    EXPECT_EQ(reader.books(), wrapper->books());

    const struct {
        QString text;
        int code;
    } failures[] = {{QString(), NavBooksFetcher::UnknownEncoding},
                    {QStringLiteral("<p>no list here</p>"), NavBooksFetcher::CannotFindBooks}};
    for (const auto &failure : failures) {
        NavBooksFetcher empty({}, {}, {}, false, nullptr);
        EXPECT_FALSE(
            empty.readPage(failure.text, *SiteRegistry::booksParserNamed(QStringLiteral("mangafox"))));
        ASSERT_TRUE(empty.error());
        EXPECT_EQ(empty.error()->code, failure.code) << failure.text.toStdString();
    }
}

TEST_F(NavBooksFetcherTest, PopularParserChosenInAnyCase)
{
    server.servePage(QStringLiteral("/POPULAR/action"), fixture("mangareader/popular.html"));
    wrapper->goWithRootURLString(site("mangareader", "/POPULAR/action"), QStringLiteral("MangaSourceB"),
                                 QStringLiteral("/POPULAR/action"), {}, false);
    ASSERT_TRUE(waitForReports(1));
    ASSERT_EQ(finished, 1);
    // The alphabetical parser finds nothing on this page; Goong and Naruto are licensed.
    EXPECT_EQ(titles(wrapper->books()), QStringList{QStringLiteral("One Piece Alt")});
}

TEST_F(NavBooksFetcherTest, FailuresAlertAndLeaveTheListEmpty)
{
    struct Case {
        const char *site;
        const char *path;
        LoopbackResponse response;
        QString message;
    };
    // A latin-1 page is not UTF-8; its first load is accepted, the second
    // one (for the charset) breaks off.
    int latinLoads = 0;
    server.handlePrefix(QStringLiteral("/latin/"), [&latinLoads](const LoopbackRequest &) {
        LoopbackResponse r = LoopbackResponse::page("<div class=\"result_search\"><a class=\"manga_info\" "
                                                    "href=\"/m/\">Caf\xe9</a></div>",
                                                    "text/html");
        if (++latinLoads > 1)
            r.dropAfter = 0;
        return r;
    });
    const Case cases[] = {
        {"mangafox", "/directory/1.htm",
         LoopbackResponse::page(fixture("mangafox/book-links-without-listing.html")),
         QStringLiteral("Unable to find mangas")},
        {"mangahere", "/search.php", LoopbackResponse::page(fixture("mangahere/search-without-results.html")),
         QStringLiteral("Unable to find mangas")},
        {"mangahere", "/latin/", {}, QStringLiteral("Unknown encoding")},
    };
    int reports = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        if (!QString::fromUtf8(c.path).startsWith(u"/latin/"))
            server.serve(QString::fromUtf8(c.path), c.response);
        const QString url = site(c.site, c.path).remove(QStringLiteral("1.htm"));
        wrapper->goWithRootURLString(url, QStringLiteral("S"), QString::fromUtf8(c.path), {}, false);
        ASSERT_TRUE(waitForReports(++reports));
        EXPECT_EQ(failed, reports);
        ASSERT_FALSE(alerts->isEmpty());
        EXPECT_EQ(alerts->last().title, u"Trouble retrieving directory list");
        EXPECT_EQ(alerts->last().message, c.message);
        EXPECT_TRUE(wrapper->books().isEmpty());
        EXPECT_FALSE(NavBooksCache::exists(QStringLiteral("S"), QString::fromUtf8(c.path)));
    }
    EXPECT_EQ(finished, 0);
}

TEST_F(NavBooksFetcherTest, ForeignEncodingIsDetected)
{
    server.serve(
        QStringLiteral("/latin1/"),
        LoopbackResponse::page("<div class=\"result_search\"><a class=\"manga_info\" href=\"/m/\">Caf\xe9 "
                               "Latt\xe9</a></div>",
                               "text/html; charset=iso-8859-1"));
    wrapper->goWithRootURLString(site("mangahere", "/latin1/"), QStringLiteral("S"), QStringLiteral("/l"), {},
                                 false);
    ASSERT_TRUE(waitForReports(1));
    ASSERT_EQ(finished, 1);
    EXPECT_EQ(wrapper->books().first().title(), QStringLiteral("Caf\u00e9 Latt\u00e9"));
}

TEST_F(NavBooksFetcherTest, TransportErrorIsReportedAsItIs)
{
    QString deadURL;
    {
        LoopbackServer gone;
        deadURL = gone.url(QStringLiteral("/list/"), QStringLiteral("www.mangahere.localhost"));
    }
    wrapper->goWithRootURLString(deadURL, QStringLiteral("S"), QStringLiteral("/list/"), {}, false);
    ASSERT_TRUE(waitForReports(1));
    ASSERT_EQ(failed, 1);
    EXPECT_EQ(alerts->last().title, u"Trouble retrieving directory list");
    EXPECT_FALSE(alerts->last().message.isEmpty());
    EXPECT_NE(alerts->last().message, u"Unable to find mangas");
}

TEST_F(NavBooksFetcherTest, CancelledFetchNeverReportsWhileTheNextOneDoes)
{
    LoopbackResponse stalled = LoopbackResponse::page(fixture("mangareader/alphabetical.html"));
    stalled.stall = true;
    server.serve(QStringLiteral("/alphabetical"), stalled);
    server.servePage(QStringLiteral("/popular"), fixture("mangareader/popular.html"));

    wrapper->goWithRootURLString(site("mangareader", "/alphabetical"), QStringLiteral("B"),
                                 QStringLiteral("/alphabetical"), {}, false);
    ASSERT_TRUE(pumpEventsUntil([&] { return server.requestCount(QStringLiteral("/alphabetical")) == 1; }));
    wrapper->goWithRootURLString(site("mangareader", "/popular"), QStringLiteral("B"),
                                 QStringLiteral("/popular"), {}, false);
    ASSERT_TRUE(waitForReports(1));
    wrapper->queue().waitUntilAllOperationsAreFinished();
    pumpEvents();
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(failed, 0);
    EXPECT_TRUE(alerts->isEmpty());
    EXPECT_EQ(titles(wrapper->books()), QStringList{QStringLiteral("One Piece Alt")});
    EXPECT_FALSE(NavBooksCache::exists(QStringLiteral("B"), QStringLiteral("/alphabetical")));
    EXPECT_TRUE(NavBooksCache::exists(QStringLiteral("B"), QStringLiteral("/popular")));
}

TEST_F(NavBooksFetcherTest, UnknownSiteQueuesNothing)
{
    wrapper->goWithRootURLString(server.url(QStringLiteral("/list/")), QStringLiteral("S"),
                                 QStringLiteral("/list/"), {}, false);
    EXPECT_EQ(wrapper->queue().operationCount(), 0);
    ASSERT_FALSE(alerts->isEmpty());
    EXPECT_EQ(alerts->last().title, u"Error! Cannot fetch mangas from this site?");

    NavBooksFetcher bare(QStringLiteral("http://x/"), {}, {}, false, nullptr);
    EXPECT_THROW(bare.go(), NotImplementedException);
}

} // namespace

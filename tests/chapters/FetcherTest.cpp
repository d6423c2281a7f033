#include <gtest/gtest.h>

#include "ChapterFixtures.h"
#include "support/EventLoop.h"
#include "support/LoopbackServer.h"
#include "foundation/Alerts.h"
#include "foundation/NotificationCenter.h"
#include "catalogue/NavChaptersFetcherQueueWrapper.h"
#include "catalogue/NavRecentChaptersFetcherQueueWrapper.h"

namespace {

class ChapterFetchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Alerts::install(alerts);
        for (const QString &name : {NavChaptersFetcherQueueWrapper::didFinishNotification(),
                                    NavChaptersFetcherQueueWrapper::didFailNotification(),
                                    NavRecentChaptersFetcherQueueWrapper::didFinishNotification(),
                                    NavRecentChaptersFetcherQueueWrapper::didFailNotification()})
            NotificationCenter::defaultCenter().addObserver(this, name, [this, name] { posted << name; });
    }
    void TearDown() override
    {
        NotificationCenter::defaultCenter().removeObserver(this);
        Alerts::install(nullptr);
    }
    void serveFixture(const QString &path, const char *fixture)
    {
        server.servePage(path, chapterFixture(QString::fromLatin1(fixture)).toUtf8());
    }
    bool waitForPosts(qsizetype count)
    {
        return pumpEventsUntil([&] { return posted.size() >= count; });
    }

    FavoriteTitlesGuard noStore;
    LoopbackServer server;
    std::shared_ptr<AlertRecorder> alerts = std::make_shared<AlertRecorder>();
    QStringList posted;
};

// A saved page that gave no text fails as a fetched one does, before any
// parser sees it.
TEST(SavedChapterPagesTest, AnEmptyPageIsAnUnknownEncoding)
{
    const auto book = readBookPage(QStringLiteral("mangafox"), QString());
    const auto latest = readLatestPage(QStringLiteral("mangafox"), QString());
    for (const NavBaseChaptersFetcher *fetcher : {static_cast<NavBaseChaptersFetcher *>(book.get()),
                                                  static_cast<NavBaseChaptersFetcher *>(latest.get())}) {
        ASSERT_TRUE(fetcher->error());
        EXPECT_EQ(fetcher->error()->code, NavBaseChaptersFetcher::unknownEncodingError().code);
        EXPECT_TRUE(fetcher->chapters().isEmpty());
    }
}

} // namespace

TEST_F(ChapterFetchTest, BookPageResultReachesTheWrapper)
{
    serveFixture(QStringLiteral("/mangafox/manga/sample/"), "mangafox/book-new-layout.html");
    NavChaptersFetcherQueueWrapper wrapper;
    wrapper.goWithURLString(server.url(QStringLiteral("/mangafox/manga/sample/")));
    ASSERT_TRUE(waitForPosts(1));
    EXPECT_EQ(posted, QStringList{QStringLiteral("NavChaptersFetcherDidFinish")});
    EXPECT_EQ(wrapper.chapters().size(), 4);
    ASSERT_TRUE(wrapper.navBookInfo());
    EXPECT_EQ(wrapper.navBookInfo()->status, QStringLiteral("Ongoing"));
    EXPECT_TRUE(wrapper.nextPage().isNull());
    EXPECT_TRUE(alerts->isEmpty());
}

TEST_F(ChapterFetchTest, FailuresAlertClearAndPostDidFail)
{
    serveFixture(QStringLiteral("/mangahere/manga/gone/"), "mangafox/book-without-chapters.html");
    // A port that nothing listens on once the temporary server is gone.
    QString deadURL;
    {
        LoopbackServer gone;
        deadURL = gone.url(QStringLiteral("/mangareader/book"));
    }
    NavChaptersFetcherQueueWrapper wrapper;
    wrapper.goWithURLString(server.url(QStringLiteral("/mangahere/manga/gone/")));
    ASSERT_TRUE(waitForPosts(1));
    ASSERT_EQ(alerts->alerts().size(), 1u);
    EXPECT_EQ(alerts->last().title, QStringLiteral("Trouble retrieving the chapters list"));
    EXPECT_EQ(alerts->last().message, QStringLiteral("No chapters found"));
    EXPECT_FALSE(wrapper.navBookInfo());

    wrapper.goWithURLString(deadURL);
    ASSERT_TRUE(waitForPosts(2));
    EXPECT_EQ(posted, QStringList(2, QStringLiteral("NavChaptersFetcherDidFail")));
    ASSERT_EQ(alerts->alerts().size(), 2u);
    EXPECT_NE(alerts->last().message, QStringLiteral("No chapters found")); // the transport's own error
    EXPECT_TRUE(wrapper.chapters().isEmpty());
}

TEST_F(ChapterFetchTest, UnknownSiteAlertsAndQueuesNothing)
{
    NavChaptersFetcherQueueWrapper chapters;
    NavRecentChaptersFetcherQueueWrapper latest;
    chapters.goWithURLString(QStringLiteral("http://www.example.org/manga/x/"));
    latest.goWithURLString(QStringLiteral("http://www.example.org/latest"));
    ASSERT_EQ(alerts->alerts().size(), 2u);
    for (const AlertRequest &alert : alerts->alerts())
        EXPECT_EQ(alert.title, QStringLiteral("Cannot fetch chapters?"));
    EXPECT_EQ(chapters.queue().operationCount() + latest.queue().operationCount(), 0);
    pumpEvents();
    EXPECT_TRUE(posted.isEmpty());
}

TEST_F(ChapterFetchTest, NewRequestSilencesTheCancelledOne)
{
    LoopbackResponse stalled;
    stalled.stall = true;
    server.serve(QStringLiteral("/mangareader/slow"), stalled);
    serveFixture(QStringLiteral("/mangareader/latest"), "mangareader/latest.html");
    NavRecentChaptersFetcherQueueWrapper wrapper;
    wrapper.goWithURLString(server.url(QStringLiteral("/mangareader/slow")));
    ASSERT_TRUE(
        pumpEventsUntil([&] { return server.requestCount(QStringLiteral("/mangareader/slow")) == 1; }));
    wrapper.goWithURLString(server.url(QStringLiteral("/mangareader/latest")));
    ASSERT_TRUE(waitForPosts(1));
    // Cancelling cut the stalled request short: the first fetch ends without
    // waiting for its time-out, and says nothing.
    ASSERT_TRUE(pumpEventsUntil([&] { return wrapper.queue().operationCount() == 0; }));
    pumpEvents();
    EXPECT_EQ(posted, QStringList{QStringLiteral("NavRecentChaptersFetcherDidFinish")});
    EXPECT_TRUE(alerts->isEmpty());
    EXPECT_EQ(wrapper.chapters().size(), 3);
    EXPECT_EQ(wrapper.books().size(), 3);
    EXPECT_EQ(wrapper.dates().size(), 3);
    EXPECT_EQ(wrapper.labels().size(), 3);
}

TEST_F(ChapterFetchTest, LatestPageWithUnequalListsFailsWithNoChaptersFound)
{
    serveFixture(QStringLiteral("/mangafox/latest/"), "mangafox/latest-chapter-before-date.html");
    NavRecentChaptersFetcherQueueWrapper wrapper;
    wrapper.goWithURLString(server.url(QStringLiteral("/mangafox/latest/")));
    ASSERT_TRUE(waitForPosts(1));
    EXPECT_EQ(posted, QStringList{QStringLiteral("NavRecentChaptersFetcherDidFail")});
    ASSERT_EQ(alerts->alerts().size(), 1u);
    EXPECT_EQ(alerts->last().title, QStringLiteral("Trouble retrieving the chapters list"));
    EXPECT_EQ(alerts->last().message, QStringLiteral("No chapters found"));
    EXPECT_TRUE(wrapper.chapters().isEmpty());
}

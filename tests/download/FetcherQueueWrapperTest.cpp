#include <cerrno>
#include <cstring>

#include <gtest/gtest.h>

#include <QDir>

#include "DownloadFixture.h"
#include "files/FileFaults.h"
#include "settings/SettingsKeys.h"

namespace {

using Notifications = QStringList;

class FetcherQueueWrapperTest : public DownloadFixture
{
protected:
    // A download flagged as the queue flags it before a fetch, counted once.
    std::shared_ptr<Download> activeDownload(const QString &title)
    {
        auto download = newDownload(title);
        download->setIsDownloading(true);
        services->incrementDownloadsBadgeNumber();
        return download;
    }

    bool waitForRunEnd()
    {
        return pumpEventsUntil([&] { return !fetcher().isDownloading() && !fetcher().isRunActive(); });
    }

    LoopbackServer server;
    const QByteArray image = scanImage();
};

TEST_F(FetcherQueueWrapperTest, StoresEveryPageAsItsRequestEnds)
{
    server.serve(QStringLiteral("/a.jpg"), LoopbackResponse::page(image, "image/jpeg"));
    server.serve(QStringLiteral("/b.jpeg"), LoopbackResponse::page(scanImage("PNG"), "image/png"));
    server.serve(QStringLiteral("/c.jpg"), LoopbackResponse::page("<html>Bandwidth exceeded</html>"));
    server.serve(QStringLiteral("/d.jpg"), LoopbackResponse::page(QByteArray(), "image/jpeg"));
    const QStringList urls = {server.url(QStringLiteral("/a.jpg")), server.url(QStringLiteral("/b.jpeg")),
                              server.url(QStringLiteral("/c.jpg")), server.url(QStringLiteral("/d.jpg"))};
    // Every page has its record and its empty file before the first request.
    auto download = activeDownload(QStringLiteral("Ch 1"));
    const QString chapterDir = store().chapterDirectory(*download);

    NotificationLog log;
    ASSERT_TRUE(fetcher().goWithURLs(urls, download, services->sink));
    const int filesAtFirstRequest = int(QDir(chapterDir).entryList(QDir::Files).size());
    EXPECT_FALSE(store().managedObjectContext()->hasChanges()) << "pages saved before any request";
    EXPECT_TRUE(services->idleTimerDisabled);
    ASSERT_TRUE(waitForRunEnd());

    EXPECT_EQ(filesAtFirstRequest, 4);
    const auto pages = sortedPages(*download);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[0]->uuid(), QStringLiteral("000.jpg"));
    EXPECT_EQ(pages[1]->uuid().size(), 36) << "a .jpeg page gets a UUID name";
    EXPECT_EQ(pages[2]->uuid(), QStringLiteral("002.jpg"));
    for (int i : {0, 1}) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(AppData::didDownloadImage(*pages[i]));
        EXPECT_EQ(pages[i]->width(), 200);
        EXPECT_EQ(pages[i]->height(), 300);
        EXPECT_NEAR(pages[i]->leftBorder(), 40, 3);
        EXPECT_NEAR(pages[i]->rightBorder(), 160, 3);
        EXPECT_TRUE(pages[i]->errorString().isNull());
    }
    EXPECT_EQ(fileOf(*pages[0]), image);
    // An error page is kept as it came but is no image; an empty body says so.
    EXPECT_TRUE(pages[2]->isDownloaded());
    EXPECT_EQ(pages[2]->width(), 0);
    EXPECT_TRUE(pages[2]->errorString().isNull());
    EXPECT_EQ(fileOf(*pages[2]), QByteArray("<html>Bandwidth exceeded</html>"));
    EXPECT_TRUE(pages[3]->isDownloaded());
    EXPECT_EQ(pages[3]->errorString(), QStringLiteral("No data"));
    EXPECT_EQ(fileOf(*pages[3]), QByteArray());

    EXPECT_FALSE(download->isDownloading());
    EXPECT_FALSE(download->isComplete());
    EXPECT_EQ(services->badge, 0);
    EXPECT_FALSE(services->idleTimerDisabled);
    EXPECT_FALSE(store().managedObjectContext()->hasChanges());
    EXPECT_EQ(fetcher().requestsDownloaded(), 4);

    const QString either = FetcherQueueWrapper::requestDidFinishOrFailNotification();
    const QString finished = FetcherQueueWrapper::requestDidFinishNotification();
    Notifications expected;
    for (int i = 0; i < 4; ++i)
        expected << either << finished;
    expected << FetcherQueueWrapper::queueDidFinishNotification();
    EXPECT_EQ(log.names, expected);
    EXPECT_EQ(services->sink->typeLabels, QStringList{QStringLiteral("Downloading...")});
    EXPECT_EQ(services->sink->labels, QStringList{QString()});
    EXPECT_EQ(services->sink->progressValues.front(), 0.0f);
    EXPECT_EQ(services->sink->progressValues.back(), 1.0f);
}

TEST_F(FetcherQueueWrapperTest, TimedOutPageEndsTheRunAndRetryFetchesOnlyWhatIsMissing)
{
    HttpRequest::setTimeOutOverride(0.1);
    LoopbackResponse stall;
    stall.stall = true;
    server.serve(QStringLiteral("/0.jpg"), LoopbackResponse::page(image, "image/jpeg"));
    server.serve(QStringLiteral("/1.jpg"), stall);
    server.serve(QStringLiteral("/2.jpg"), LoopbackResponse::page(image, "image/jpeg"));
    const QStringList urls = {server.url(QStringLiteral("/0.jpg")), server.url(QStringLiteral("/1.jpg")),
                              server.url(QStringLiteral("/2.jpg"))};
    auto download = activeDownload(QStringLiteral("Ch 1"));
    NotificationLog log;
    ASSERT_TRUE(fetcher().goWithURLs(urls, download, services->sink));
    ASSERT_TRUE(waitForRunEnd());

    auto pages = sortedPages(*download);
    EXPECT_EQ(server.requestCount(QStringLiteral("/1.jpg")), 5) << "first try and four retries";
    EXPECT_TRUE(pages[1]->isDownloaded());
    EXPECT_EQ(pages[1]->width(), 0);
    EXPECT_EQ(pages[1]->errorString(),
              HttpRequest::makeError(HttpRequest::RequestTimedOut).localizedDescription());
    // The page after the failure was cancelled unsent and left as created.
    EXPECT_EQ(server.requestCount(QStringLiteral("/2.jpg")), 0);
    EXPECT_FALSE(pages[2]->isDownloaded());
    EXPECT_TRUE(pages[2]->errorString().isNull());
    EXPECT_EQ(fileOf(*pages[2]), QByteArray());
    EXPECT_FALSE(download->isComplete());
    EXPECT_EQ(log.count(FetcherQueueWrapper::requestDidFailNotification()), 1);

    // The retry: pages 1 and 2 only, without our browser identification,
    // each reset before it goes, the good page counted as done.
    server.serve(QStringLiteral("/1.jpg"), LoopbackResponse::page(image, "image/jpeg"));
    server.resetCounts();
    download->setIsDownloading(true);
    services->incrementDownloadsBadgeNumber();
    ASSERT_TRUE(fetcher().retryWithDownload(download, services->sink));
    EXPECT_EQ(fetcher().requestsDownloaded(), 1);
    EXPECT_EQ(fetcher().requestsToDownload(), 3);
    EXPECT_FALSE(pages[1]->isDownloaded());
    EXPECT_TRUE(pages[1]->errorString().isNull());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(server.requestCount(QStringLiteral("/0.jpg")), 0);
    EXPECT_EQ(server.requestCount(), 2);
    for (const auto &request : server.requests())
        EXPECT_NE(request.header("user-agent"), HttpRequest::browserUserAgent().toUtf8());
    EXPECT_TRUE(download->isComplete());
    EXPECT_FALSE(download->isDownloading());
    EXPECT_EQ(services->badge, 0);

    // A run cut off after its last page but before its end has nothing left
    // to fetch: the retry still ends, and gives its count back.
    download->setIsComplete(false);
    download->setIsDownloading(true);
    services->incrementDownloadsBadgeNumber();
    ASSERT_TRUE(fetcher().retryWithDownload(download, services->sink));
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_TRUE(download->isComplete());
    EXPECT_FALSE(download->isDownloading());
    EXPECT_EQ(services->badge, 0);
    server.releaseStalls();
}

TEST_F(FetcherQueueWrapperTest, CancelKeepsWhatIsStoredAndTheDrainChangesNothing)
{
    LoopbackResponse slow = LoopbackResponse::page(image, "image/jpeg");
    slow.delay = std::chrono::milliseconds(300);
    server.serve(QStringLiteral("/0.jpg"), LoopbackResponse::page(image, "image/jpeg"));
    server.serve(QStringLiteral("/1.jpg"), slow);
    server.serve(QStringLiteral("/2.jpg"), LoopbackResponse::page(image, "image/jpeg"));
    auto download = activeDownload(QStringLiteral("Ch 1"));
    auto waiting = newDownload(QStringLiteral("Waiting"));
    waiting->setIsQueued(true);
    deducerFetcher().pushToWaitQueue(waiting);
    ASSERT_EQ(services->badge, 2);

    NotificationLog log;
    ASSERT_TRUE(
        fetcher().goWithURLs({server.url(QStringLiteral("/0.jpg")), server.url(QStringLiteral("/1.jpg")),
                              server.url(QStringLiteral("/2.jpg"))},
                             download, services->sink));
    ASSERT_TRUE(
        pumpEventsUntil([&] { return log.count(FetcherQueueWrapper::requestDidFinishNotification()) == 1; }));
    fetcher().cancel();
    EXPECT_EQ(services->badge, 1);
    // Refused while the cancelled requests wind down.
    EXPECT_FALSE(fetcher().goWithURLs({server.url(QStringLiteral("/0.jpg"))}, waiting, services->sink));
    EXPECT_EQ(alerts->last().message,
              QStringLiteral("The cancelling of the previous download is still in progress"));
    ASSERT_TRUE(
        pumpEventsUntil([&] { return log.count(FetcherQueueWrapper::queueDidFinishNotification()) == 1; }));
    pumpEvents();

    const auto pages = sortedPages(*download);
    EXPECT_TRUE(AppData::didDownloadImage(*pages[0]));
    EXPECT_FALSE(pages[1]->isDownloaded());
    EXPECT_FALSE(pages[2]->isDownloaded());
    EXPECT_TRUE(download->isDownloading()) << "the drain leaves the download alone";
    EXPECT_FALSE(download->isComplete());
    EXPECT_EQ(services->badge, 1);
    EXPECT_EQ(deducerFetcher().waitQueueSize(), 1);
    EXPECT_FALSE(deducerFetcher().isDeducing());
    EXPECT_EQ(log.count(DeducerFetcher::deducerDidStartNotification()), 0);
    EXPECT_EQ(services->sink->labels.last(), QString());
}

TEST_F(FetcherQueueWrapperTest, AutoSaveOnlyForACompleteDownloadNeverOpened)
{
    server.serve(QStringLiteral("/0.jpg"), LoopbackResponse::page(image, "image/jpeg"));
    server.serve(QStringLiteral("/bad.jpg"), LoopbackResponse::page("nope"));
    const struct {
        const char *title;
        bool setting;
        int lastPageRead;
        const char *path;
        bool saved;
    } cases[] = {
        {"complete, never opened", true, -1, "/0.jpg", true},
        {"setting off", false, -1, "/0.jpg", false},
        {"opened while fetched", true, 0, "/0.jpg", false},
        {"incomplete", true, -1, "/bad.jpg", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        services->savedToLibrary.clear();
        services->defaults.setBool(c.setting, SettingsKeys::autoSaveToLibrary);
        auto download = activeDownload(QString::fromUtf8(c.title));
        download->setLastPageRead(c.lastPageRead);
        NotificationLog log;
        ASSERT_TRUE(fetcher().goWithURLs({server.url(QString::fromUtf8(c.path))}, download, services->sink));
        ASSERT_TRUE(waitForRunEnd());
        EXPECT_EQ(services->savedToLibrary.size(), c.saved ? 1 : 0);
        EXPECT_EQ(fetcher().download() == nullptr, c.saved);
        const QStringList tail = log.names.mid(log.names.size() - (c.saved ? 2 : 1));
        if (c.saved)
            EXPECT_EQ(tail, (QStringList{FetcherQueueWrapper::queueDidFinishForNavChaptersNotification(),
                                         FetcherQueueWrapper::queueDidFinishNotification()}));
        else
            EXPECT_EQ(log.count(FetcherQueueWrapper::queueDidFinishForNavChaptersNotification()), 0);
    }
}

} // namespace

namespace {

TEST_F(FetcherQueueWrapperTest, APageWhoseFileCannotBeWrittenFailsAndIsFetchedAgain)
{
    server.serve(QStringLiteral("/0.jpg"), LoopbackResponse::page(image, "image/jpeg"));
    server.serve(QStringLiteral("/1.jpg"), LoopbackResponse::page(image, "image/jpeg"));
    const QStringList urls = {server.url(QStringLiteral("/0.jpg")), server.url(QStringLiteral("/1.jpg"))};
    auto download = activeDownload(QStringLiteral("Ch 1"));
    ASSERT_TRUE(fetcher().goWithURLs(urls, download, services->sink));
    // The disk fills up after the empty files were made.
    FileFaults::setInjector([](FileFaults::Step step, const QString &path) {
        return step == FileFaults::Step::WriteFile && path.endsWith(QStringLiteral("001.jpg")) ? ENOSPC : 0;
    });
    ASSERT_TRUE(waitForRunEnd());
    FileFaults::setInjector(nullptr);

    auto pages = sortedPages(*download);
    EXPECT_TRUE(AppData::didDownloadImage(*pages[0]));
    EXPECT_TRUE(pages[1]->isDownloaded()) << "its request has ended";
    EXPECT_FALSE(AppData::didDownloadImage(*pages[1]));
    EXPECT_TRUE(pages[1]->errorString().contains(QString::fromLocal8Bit(std::strerror(ENOSPC))))
        << pages[1]->errorString().toStdString();
    EXPECT_EQ(alerts->last().message, QStringLiteral("Could not write page"));
    EXPECT_FALSE(download->isComplete());

    download->setIsDownloading(true);
    services->incrementDownloadsBadgeNumber();
    server.resetCounts();
    ASSERT_TRUE(fetcher().retryWithDownload(download, services->sink));
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_TRUE(download->isComplete());
    EXPECT_EQ(fileOf(*pages[1]), image);
}

} // namespace

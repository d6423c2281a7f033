#include <gtest/gtest.h>

#include <random>

#include "DownloadFixture.h"
#include "catalogue/SiteRegistry.h"
#include "download/DeducerErrorString.h"
#include "foundation/Device.h"
#include "sites/NavBook.h"
#include "sites/NavChapter.h"
#include "store/DownloadsRequest.h"

namespace {

bool IsDownloadingIn(const std::vector<std::shared_ptr<Download>> &downloads)
{
    return std::any_of(downloads.begin(), downloads.end(), [](const auto &d) { return d->isDownloading(); });
}

using Layout = FakeChapterSite::Layout;

class DownloadQueueTest : public DownloadFixture
{
protected:
    void TearDown() override
    {
        Device::setIdiom(Device::Idiom::Phone);
        for (auto &site : sites)
            site->server().releaseStalls();
        DownloadFixture::TearDown();
    }

    FakeChapterSite &site(Layout layout, FakeChapterSite::Options options = {.pages = 3})
    {
        options.imageData = image;
        sites.push_back(std::make_unique<FakeChapterSite>(layout, options));
        return *sites.back();
    }

    std::shared_ptr<Download> request(const QString &url, const QString &title,
                                      std::optional<Decimal> number = Decimal::fromString(u"1"))
    {
        const NavBook book(QStringLiteral("Naruto"), QStringLiteral("/naruto/"));
        const NavChapter chapter(title, url, number);
        return deducerFetcher().goWithChapter(&chapter, &book, QStringLiteral("Site"),
                                              QStringLiteral("http://x/"));
    }

    int downloadCount()
    {
        return int(store().managedObjectContext()->fetch<Download>(DownloadsRequest()).size());
    }

    QStringList waitingTitles()
    {
        QStringList titles;
        for (const auto &download : deducerFetcher().waitQueue())
            titles << download->title();
        return titles;
    }

    // The badge counts what waits plus the one being deduced or fetched.
    int expectedBadge()
    {
        const bool active = deducerFetcher().isDeducing() || fetcher().isRunActive();
        return deducerFetcher().waitQueueSize() + (active ? 1 : 0);
    }

    void stallFirstPage(FakeChapterSite &s)
    {
        LoopbackResponse stall;
        stall.stall = true;
        s.server().serve(s.readerPagePath(1), stall);
    }

    void slowImages(FakeChapterSite &s, int pages)
    {
        LoopbackResponse slow = LoopbackResponse::page(image, "image/jpeg");
        slow.delay = std::chrono::milliseconds(150);
        for (int page = 1; page <= pages; ++page)
            s.server().serve(QUrl(s.imageURL(page)).path(), slow);
    }

    const QByteArray image = scanImage();
    std::vector<std::unique_ptr<FakeChapterSite>> sites;
};

TEST_F(DownloadQueueTest, RequestsWhileBusyWaitAndStartWhenTheRunDrains)
{
    auto &first = site(Layout::MangaReader);
    auto &second = site(Layout::MangaHere);
    NotificationLog log;
    auto ch1 = request(first.chapterURL(), QStringLiteral("Ch 1"));
    ASSERT_TRUE(ch1);
    EXPECT_TRUE(ch1->isDownloading());
    EXPECT_EQ(services->sink->typeLabels.last(), QStringLiteral("Preprocessing..."));
    auto ch2 = request(second.chapterURL(), QStringLiteral("Ch 2"), std::nullopt);
    auto ch3 = request(second.chapterURL(), QStringLiteral("Ch 3"), Decimal::notANumber());
    EXPECT_TRUE(ch2->isQueued());
    EXPECT_FALSE(ch2->isDownloading());
    EXPECT_EQ(*ch2->number(), Decimal::zero());
    EXPECT_EQ(*ch3->number(), Decimal::zero());
    EXPECT_EQ(services->badge, 3);
    EXPECT_EQ(log.count(DeducerFetcher::deducerDidStartNotification()), 0)
        << "a direct start is not announced";

    ASSERT_TRUE(pumpEventsUntil([&] { return ch3->isComplete(); }));
    ASSERT_TRUE(waitUntilIdle());
    for (const auto &download : {ch1, ch2, ch3}) {
        EXPECT_TRUE(download->isComplete());
        EXPECT_FALSE(download->isDownloading() || download->isQueued());
        EXPECT_EQ(download->expectedNumberOfPages(), 3);
    }
    EXPECT_EQ(log.count(DeducerFetcher::deducerDidStartNotification()), 2);
    EXPECT_EQ(log.count(DeducerFetcher::deducerDidFinishNotification()), 3);
    EXPECT_EQ(services->badge, 0);
}

TEST_F(DownloadQueueTest, RefusalsCreateNothing)
{
    auto &s = site(Layout::MangaReader);
    auto &stalled = site(Layout::MangaFox);
    stallFirstPage(stalled);
    ASSERT_TRUE(request(stalled.chapterURL(), QStringLiteral("Active")));
    for (int i = 0; i < 19; ++i)
        deducerFetcher().pushToWaitQueue(newDownload(QStringLiteral("w%1").arg(i)));
    const int before = downloadCount();
    EXPECT_FALSE(request(s.chapterURL(), QStringLiteral("Ch")));
    EXPECT_EQ(downloadCount(), before);
    EXPECT_EQ(alerts->last().title, QStringLiteral("Queue is full"));
    EXPECT_TRUE(alerts->last().message.isEmpty());

    // A tablet holds 39.
    Device::setIdiom(Device::Idiom::Pad);
    auto queued = request(s.chapterURL(), QStringLiteral("Ch"));
    ASSERT_TRUE(queued);
    EXPECT_TRUE(queued->isQueued());
    for (int i = 20; i < 39; ++i)
        deducerFetcher().pushToWaitQueue(newDownload(QStringLiteral("w%1").arg(i)));
    const int full = downloadCount();
    EXPECT_FALSE(request(s.chapterURL(), QStringLiteral("Ch")));
    EXPECT_EQ(alerts->last().title, QStringLiteral("Queue is full"));

    services->online = false;
    EXPECT_FALSE(request(s.chapterURL(), QStringLiteral("Ch")));
    EXPECT_EQ(alerts->last().title, QStringLiteral("Cannot connect to the internet"));
    services->online = true;
    const NavChapter chapter(QStringLiteral("Ch"), s.chapterURL(), std::nullopt);
    const NavBook untitled{QString(), QString()};
    EXPECT_FALSE(deducerFetcher().goWithChapter(&chapter, &untitled, QString(), QString()));
    EXPECT_EQ(alerts->last().title, QStringLiteral("Error.  Unknown Manga"));
    const NavBook book(QStringLiteral("B"), QString());
    EXPECT_FALSE(deducerFetcher().goWithChapter(nullptr, &book, QString(), QString()));
    EXPECT_EQ(alerts->last().title, QStringLiteral("Error.  Unknown Chapter"));
    EXPECT_EQ(downloadCount(), full);
}

TEST_F(DownloadQueueTest, DeductionErrorsStayOnTheRecordUntilARetry)
{
    auto &mature = site(Layout::MangaReader, {.pages = 3, .matureNotice = true});
    NotificationLog log;
    auto download = request(mature.chapterURL(), QStringLiteral("Ch"));
    ASSERT_TRUE(
        pumpEventsUntil([&] { return log.count(DeducerFetcher::deducerDidFailNotification()) == 1; }));
    EXPECT_EQ(GetDeducerErrorString(*download), QStringLiteral("Mature content blocked"));
    EXPECT_FALSE(download->isDownloading());
    EXPECT_EQ(services->badge, 0);

    ASSERT_TRUE(deducerFetcher().retryWithDownload(download, services->sink));
    EXPECT_TRUE(GetDeducerErrorString(*download).isNull());
    EXPECT_EQ(log.count(DeducerFetcher::deducerDidStartNotification()), 1);
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(GetDeducerErrorString(*download), QStringLiteral("Mature content blocked"));

    // An address no site deduces returns the download to where it was.
    download->setFirstPageURL(QStringLiteral("http://example.invalid/chapter/1"));
    EXPECT_FALSE(deducerFetcher().retryWithDownload(download, services->sink));
    EXPECT_EQ(alerts->last().title, QStringLiteral("Cannot deduce website?"));
    EXPECT_FALSE(download->isDownloading());
    EXPECT_FALSE(deducerFetcher().isDeducing());
    EXPECT_EQ(services->badge, 0);
}

TEST_F(DownloadQueueTest, RemovingTheActiveDownloadStartsOnlyTheNextOne)
{
    for (bool whileFetching : {false, true}) {
        SCOPED_TRACE(whileFetching ? "fetching" : "deducing");
        auto &active = site(Layout::MangaFox);
        if (whileFetching)
            slowImages(active, 2);
        else
            stallFirstPage(active);
        auto &next = site(Layout::MangaHere);
        NotificationLog log;
        auto ch1 = request(active.chapterURL(), QStringLiteral("Active"));
        auto ch2 = request(next.chapterURL(), QStringLiteral("Next"));
        auto ch3 = request(next.chapterURL(), QStringLiteral("Last"));
        if (whileFetching) {
            ASSERT_TRUE(
                pumpEventsUntil([&] { return fetcher().isDownloading() && fetcher().download() == ch1; }));
        }
        const QString directory = store().chapterDirectory(*ch1);

        deducerFetcher().removeDownload(ch1);
        EXPECT_EQ(deducerFetcher().currentDownload(), ch2);
        EXPECT_EQ(waitingTitles(), QStringList{QStringLiteral("Last")});
        EXPECT_EQ(services->badge, 2);
        EXPECT_EQ(log.count(DeducerFetcher::deducerDidStartNotification()), 1);
        EXPECT_FALSE(QDir(directory).exists());
        EXPECT_EQ(fetcher().download(), nullptr);
        if (whileFetching) {
            EXPECT_TRUE(services->sink->labels.contains(QStringLiteral("0/0")));
        }
        ASSERT_TRUE(waitUntilIdle());
        EXPECT_EQ(log.count(DeducerFetcher::deducerDidFailNotification()), 0);
        EXPECT_TRUE(ch2->isComplete() && ch3->isComplete());
        EXPECT_EQ(services->badge, 0);
    }
}

TEST_F(DownloadQueueTest, QueuedDownloadsComeBackOldestFirstAfterARestart)
{
    auto &stalled = site(Layout::MangaReader);
    stallFirstPage(stalled);
    auto &other = site(Layout::MangaHere);
    request(stalled.chapterURL(), QStringLiteral("Active"));
    auto older = request(other.chapterURL(), QStringLiteral("Older"));
    auto newer = request(other.chapterURL(), QStringLiteral("Newer"));
    older->setDate(newer->date().addSecs(-5));
    store().save();

    stopProgram();
    startProgram();
    deducerFetcher().reconstructWaitQueue();
    EXPECT_EQ(waitingTitles(), (QStringList{QStringLiteral("Older"), QStringLiteral("Newer")}));
    EXPECT_EQ(services->badge, 2);
}

TEST_F(DownloadQueueTest, AFetchTurnedAwayWhileACancelDrainsLeavesTheQueueMoving)
{
    auto &slow = site(Layout::MangaFox);
    slowImages(slow, 2);
    auto &next = site(Layout::MangaHere);
    auto ch1 = request(slow.chapterURL(), QStringLiteral("Cancelled"));
    ASSERT_TRUE(pumpEventsUntil([&] { return fetcher().isDownloading(); }));
    auto ch2 = request(next.chapterURL(), QStringLiteral("Turned away"));
    auto ch3 = request(next.chapterURL(), QStringLiteral("Waiting"));

    // The fetch run is cancelled, and before its requests have wound down a
    // deduction hands in its result.
    fetcher().cancel();
    deducerFetcher().removeDownloadFromWaitQueue(ch2);
    ASSERT_TRUE(deducerFetcher().launchDeducerWithDownload(ch2));
    manager->deducerQueueWrapper().queue().cancelAllOperations();
    auto result = SiteRegistry::deducerWithSelectPages(
        std::nullopt, std::nullopt, QString(), next.chapterURL(), QString(), nullptr, &deducerFetcher());
    deducerFetcher().deducerFinished(*result);
    EXPECT_EQ(alerts->last().title, QStringLiteral("Sorry, only one download at a time"));
    EXPECT_FALSE(ch2->isDownloading()) << "left Incomplete, so a retry is not blocked";
    EXPECT_EQ(services->badge, 1);

    ASSERT_TRUE(pumpEventsUntil([&] { return ch3->isComplete(); }));
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(services->badge, 0);
    ASSERT_TRUE(deducerFetcher().retryWithDownload(ch2, services->sink));
    ASSERT_TRUE(pumpEventsUntil([&] { return ch2->isComplete(); }));
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(services->badge, 0);
}

// Random requests, removals, retries, failures and restarts: at every point
// the badge shows what waits plus the one download being worked on.
TEST_F(DownloadQueueTest, BadgeFollowsTheQueueThroughRandomEvents)
{
    const unsigned seed = qEnvironmentVariableIsSet("YOMORA_TEST_SEED")
                              ? qEnvironmentVariable("YOMORA_TEST_SEED").toUInt()
                              : std::random_device()();
    std::printf("seed %u\n", seed);
    std::mt19937 random(seed);
    auto &good = site(Layout::MangaHere);
    auto &mature = site(Layout::MangaReader, {.pages = 3, .matureNotice = true});
    auto &brokenImages = site(Layout::MangaFox);
    brokenImages.server().serve(QUrl(brokenImages.imageURL(2)).path(), LoopbackResponse::page("gone"));
    const QStringList urls = {good.chapterURL(), mature.chapterURL(), brokenImages.chapterURL(),
                              QStringLiteral("http://example.invalid/1")};
    auto pick = [&](int n) { return int(random() % unsigned(n)); };

    for (int step = 0; step < 60; ++step) {
        SCOPED_TRACE(testing::Message() << "seed " << seed << " step " << step);
        const auto downloads = store().managedObjectContext()->fetch<Download>(DownloadsRequest());
        switch (pick(6)) {
        case 0:
        case 1:
            request(urls[pick(urls.size())], QStringLiteral("Ch %1").arg(step));
            break;
        case 2:
            if (!downloads.empty())
                deducerFetcher().removeDownload(downloads[size_t(pick(int(downloads.size())))]);
            break;
        case 3:
            // The downloads screen retries only while nothing is active.
            for (const auto &download : downloads) {
                if (!download->isComplete() && !download->isQueued() && !IsDownloadingIn(downloads)) {
                    deducerFetcher().retryWithDownload(download, services->sink);
                    break;
                }
            }
            break;
        case 4:
            pumpEventsUntil([&] { return false; }, std::chrono::milliseconds(pick(80)));
            break;
        case 5:
            if (pick(4) == 0) {
                stopProgram();
                startProgram();
                deducerFetcher().reconstructWaitQueue();
                for (const auto &download :
                     store().managedObjectContext()->fetch<Download>(DownloadsRequest()))
                    download->setIsDownloading(false);
                store().save();
            }
            break;
        }
        pumpEvents();
        ASSERT_EQ(services->badge, expectedBadge());
    }
    // What a restart left waiting starts when something else ends; here
    // nothing else will, so it is started by hand.
    ASSERT_TRUE(pumpEventsUntil(
        [&] {
            auto idle = [&] { return !deducerFetcher().isDeducing() && !fetcher().isRunActive(); };
            if (idle() && !deducerFetcher().waitQueueIsEmpty())
                deducerFetcher().downloadNextInWaitQueue();
            EXPECT_EQ(services->badge, expectedBadge());
            return idle() && deducerFetcher().waitQueueIsEmpty();
        },
        std::chrono::seconds(60)));
    EXPECT_EQ(services->badge, 0);
}

TEST_F(DownloadQueueTest, ARequestWhileNothingRunsStartsTheOldestWaitingDownload)
{
    auto &good = site(Layout::MangaHere);
    // Left waiting by an earlier run: start-up itself starts nothing.
    auto older = newDownload(QStringLiteral("Older"));
    older->setFirstPageURL(good.chapterURL());
    older->setIsQueued(true);
    auto unreadable = newDownload(QStringLiteral("Unreadable"));
    unreadable->setFirstPageURL(QStringLiteral("http://example.invalid/chapter/1"));
    unreadable->setIsQueued(true);
    unreadable->setDate(older->date().addSecs(5));
    store().save();
    stopProgram();
    startProgram();
    deducerFetcher().reconstructWaitQueue();
    pumpEvents();
    EXPECT_FALSE(deducerFetcher().isDeducing());
    ASSERT_EQ(waitingTitles(), (QStringList{QStringLiteral("Older"), QStringLiteral("Unreadable")}));

    NotificationLog log;
    auto newest = request(good.chapterURL(), QStringLiteral("Newest"));
    ASSERT_TRUE(newest);
    EXPECT_EQ(deducerFetcher().currentDownload()->title(), QStringLiteral("Older"));
    EXPECT_TRUE(newest->isQueued());
    EXPECT_EQ(services->badge, expectedBadge());

    // The unreadable address leaves the queue saying why, and the newest
    // starts after it.
    ASSERT_TRUE(pumpEventsUntil([&] { return newest->isComplete(); }));
    ASSERT_TRUE(waitUntilIdle());
    const auto stored = store().managedObjectContext()->fetch<Download>(DownloadsRequest());
    const auto failed = std::find_if(stored.begin(), stored.end(), [](const auto &d) {
        return d->title() == QStringLiteral("Unreadable");
    });
    ASSERT_NE(failed, stored.end());
    EXPECT_FALSE((*failed)->isQueued() || (*failed)->isDownloading());
    EXPECT_EQ(GetDeducerErrorString(**failed), QStringLiteral("Cannot deduce website?"));
    EXPECT_EQ(log.count(DeducerFetcher::deducerDidFailNotification()), 1);
    EXPECT_EQ(services->badge, 0);

    // Out of space: it leaves with that reason too, and nothing is stuck.
    services->diskOk = false;
    auto noSpace = newDownload(QStringLiteral("No space"));
    noSpace->setFirstPageURL(good.chapterURL());
    noSpace->setIsQueued(true);
    deducerFetcher().pushToWaitQueue(noSpace);
    deducerFetcher().downloadNextInWaitQueue();
    EXPECT_FALSE(noSpace->isQueued());
    EXPECT_EQ(GetDeducerErrorString(*noSpace), QStringLiteral("Download cancelled"));
    EXPECT_TRUE(deducerFetcher().waitQueueIsEmpty());
    EXPECT_EQ(services->badge, 0);
}

TEST_F(DownloadQueueTest, ADownloadWithPagesIsNeverDeducedAgain)
{
    auto &good = site(Layout::MangaHere);
    auto first = request(good.chapterURL(), QStringLiteral("First"));
    ASSERT_TRUE(pumpEventsUntil([&] { return first->isComplete(); }));
    ASSERT_TRUE(waitUntilIdle());
    const auto page = sortedPages(*first)[1];
    page->setWidth(0); // as if its request had failed
    first->setIsComplete(false);
    first->setIsQueued(true);
    store().save();
    deducerFetcher().pushToWaitQueue(first);
    good.server().resetCounts();

    deducerFetcher().downloadNextInWaitQueue();
    EXPECT_FALSE(deducerFetcher().isDeducing());
    ASSERT_TRUE(pumpEventsUntil([&] { return first->isComplete(); }));
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(first->pages().size(), 3u) << "no second set of pages";
    EXPECT_EQ(good.server().requestCount(), 1) << "only the missing image";
    EXPECT_EQ(fileOf(*page), image);
    EXPECT_EQ(services->badge, 0);

    // A retry of a download that waits takes it out of the queue first.
    first->setIsComplete(false);
    page->setWidth(0);
    first->setIsQueued(true);
    deducerFetcher().pushToWaitQueue(first);
    ASSERT_TRUE(deducerFetcher().retryWithDownload(first, services->sink));
    EXPECT_FALSE(first->isQueued());
    EXPECT_TRUE(deducerFetcher().waitQueueIsEmpty());
    ASSERT_TRUE(pumpEventsUntil([&] { return first->isComplete(); }));
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(services->badge, 0);
}

TEST_F(DownloadQueueTest, AnInterruptedDownloadIsOfferedForResumingAtTheNextStart)
{
    for (bool whileFetching : {false, true}) {
        SCOPED_TRACE(whileFetching ? "fetching" : "deducing");
        auto &active = site(Layout::MangaFox);
        if (whileFetching)
            slowImages(active, 3);
        else
            stallFirstPage(active);
        auto download = request(active.chapterURL(), QStringLiteral("Running"));
        auto waiting = request(active.chapterURL(), QStringLiteral("Waiting"));
        if (whileFetching) {
            ASSERT_TRUE(pumpEventsUntil([&] { return fetcher().isRunActive(); }));
        }
        NotificationLog log;
        EXPECT_EQ(deducerFetcher().interruptRunningDownload(), download);
        pumpEventsUntil([&] { return !fetcher().isDownloading(); });
        EXPECT_TRUE(download->isDownloading());
        EXPECT_FALSE(download->isQueued());
        EXPECT_TRUE(waiting->isQueued()) << "the queue does not advance";
        EXPECT_FALSE(deducerFetcher().isDeducing());
        EXPECT_EQ(log.count(DeducerFetcher::deducerDidFailNotification()), 0);
        EXPECT_FALSE(store().managedObjectContext()->hasChanges());

        const QString uuid = download->uuid();
        stopProgram();
        startProgram();
        deducerFetcher().reconstructWaitQueue();
        const auto offered = deducerFetcher().unsetIsDownloading();
        ASSERT_TRUE(offered);
        EXPECT_EQ(offered->uuid(), uuid);
        for (const auto &left : store().managedObjectContext()->fetch<Download>(DownloadsRequest()))
            store().managedObjectContext()->deleteObject(left);
        store().save();
        stopProgram();
        startProgram();
    }
}

TEST_F(DownloadQueueTest, RemovingADownloadStoresItsDeletionBeforeItsFolderGoes)
{
    auto &good = site(Layout::MangaHere);
    auto download = request(good.chapterURL(), QStringLiteral("Done"));
    ASSERT_TRUE(pumpEventsUntil([&] { return download->isComplete(); }));
    ASSERT_TRUE(waitUntilIdle());
    const QString folder = store().chapterDirectory(*download);
    bool folderAtSave = false;
    store().managedObjectContext()->addDidSaveObserver(
        this, [&](const ContextDidSaveNotification &) { folderAtSave = QDir(folder).exists(); });
    deducerFetcher().removeDownload(download);
    store().managedObjectContext()->removeDidSaveObserver(this);
    EXPECT_TRUE(folderAtSave);
    EXPECT_FALSE(QDir(folder).exists());
}

} // namespace

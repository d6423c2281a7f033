// The downloads screen while a chapter of 300 pages is fetched from a
// loopback server, in the tablet layout with a full wait queue (39 waiting
// downloads) under it, against the same fetch with another tab shown:
// - main thread ratio: the main thread's CPU time with the screen shown,
//   minus the same without it, over the fetch's wall time (at most 0.05);
// - fetch ratio: the fetch's wall time with the screen against without it
//   (at most 1.1).
// Rounds alternate between the two, so that a machine that gets busier or
// quieter during the run weighs on both alike; the medians are printed.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include <QElapsedTimer>
#include <QTemporaryDir>

#include "BenchApp.h"
#include "BenchPageImage.h"
#include "download/DeducerFetcher.h"
#include "download/DownloadManager.h"
#include "download/DownloadServices.h"
#include "download/FetcherQueueWrapper.h"
#include "foundation/Device.h"
#include "foundation/NotificationCenter.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "store/AppData.h"
#include "store/Download.h"
#include "support/LoopbackServer.h"
#include "ui/downloads/DownloadsViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TableView.h"

namespace {

constexpr int kPages = 300;
constexpr int kRounds = 3;

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Fetch {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    int rowsShown = 0;
};

} // namespace

int main(int argc, char **argv)
{
    auto application = BenchApp::application(argc, argv);

    const QByteArray image = pageImage();
    LoopbackServer server;
    QStringList urls;
    for (int i = 0; i < kPages; ++i) {
        const QString path = QStringLiteral("/page%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
        server.serve(path, LoopbackResponse::page(image, "image/jpeg"));
        urls << server.url(path);
    }
    std::printf("%d images of %lld KB\n", kPages, qint64(image.size()) / 1024);

    QTemporaryDir root;
    BenchApp::Run run;
    if (!run.launch(root.path(), Device::Idiom::Pad))
        return 1;
    MangaAppDelegate &app = *run.app;
    AppData &appData = run.appData;
    MyUserDefaults &defaults = run.defaults;
    defaults.setBool(true, SettingsKeys::showDownloadsHelpViewed);
    app.window()->show();
    DownloadManager &manager = DownloadManager::sharedDownloadManager();
    DeducerFetcher &deducer = manager.deducerFetcher();
    FetcherQueueWrapper &fetcher = manager.fetcherQueueWrapper();
    auto *screen =
        qobject_cast<DownloadsViewController *>(app.downloadsNavigationController()->rootViewController());

    // The full wait queue, oldest first.
    const QDateTime start = QDateTime::currentDateTimeUtc();
    std::vector<std::shared_ptr<Download>> waiting;
    for (int i = 0; i < DeducerFetcher::kPadWaitQueueCapacity; ++i) {
        auto download = appData.createDownloadWithRootTitle(
            QStringLiteral("mangafox"), QStringLiteral("Waiting Book"),
            QStringLiteral("Waiting Book %1").arg(i), server.url(QStringLiteral("/none")), Decimal(i),
            start.addSecs(-1000 + i), 0);
        download->setBook(appData.downloadsBook());
        download->setIsQueued(true);
        waiting.push_back(download);
    }
    appData.save();

    // The run's end leaves the wait queue as it was, so that every round
    // fetches under the same 39 waiting downloads.
    bool finished = false;
    NotificationCenter::defaultCenter().addObserver(&finished,
                                                    FetcherQueueWrapper::queueDidFinishNotification(), [&] {
                                                        finished = true;
                                                        while (!deducer.waitQueueIsEmpty())
                                                            deducer.popFromWaitQueue();
                                                    });

    auto fetchOnce = [&](int round, bool shown) {
        for (const auto &download : waiting)
            deducer.pushToWaitQueue(download);
        auto download = appData.createDownloadWithRootTitle(
            QStringLiteral("mangafox"), QStringLiteral("Bench"), QStringLiteral("Bench %1").arg(round),
            urls.first(), Decimal(100 + round), QDateTime::currentDateTimeUtc(), kPages);
        download->setBook(appData.downloadsBook());
        download->setIsDownloading(true);
        appData.save();
        // The screen lists the downloads as it appears.
        app.tabBarController()->setSelectedIndex(MangaAppDelegate::InternetTab);
        if (shown)
            app.tabBarController()->setSelectedIndex(MangaAppDelegate::DownloadsTab);
        QCoreApplication::processEvents();

        finished = false;
        Fetch result;
        QElapsedTimer wall;
        wall.start();
        const double cpuStart = threadCpuSeconds();
        fetcher.goWithURLs(urls, download, manager.services().progressSink());
        while (!finished && wall.elapsed() < 300000)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        result.cpuSeconds = threadCpuSeconds() - cpuStart;
        result.wallSeconds = wall.nsecsElapsed() / 1e9;
        result.rowsShown = shown ? screen->tableView()->numberOfRows(0) : 0;
        if (!download->isComplete())
            std::printf("round %d: the chapter is incomplete\n", round);
        // Only the 39 waiting downloads and the one fetched are listed.
        appData.removeChapterDirectory(*download);
        appData.managedObjectContext()->deleteObject(download);
        appData.save();
        return result;
    };

    std::vector<double> cpuRatios, fetchRatios;
    for (int round = 0; round < kRounds; ++round) {
        const Fetch without = fetchOnce(2 * round, false);
        const Fetch with = fetchOnce(2 * round + 1, true);
        std::printf("round %d: without the screen %.3f s wall, %.3f s main thread; with it (%d rows) %.3f s "
                    "wall, %.3f s main thread\n",
                    round + 1, without.wallSeconds, without.cpuSeconds, with.rowsShown, with.wallSeconds,
                    with.cpuSeconds);
        cpuRatios.push_back((with.cpuSeconds - without.cpuSeconds) / with.wallSeconds);
        fetchRatios.push_back(with.wallSeconds / without.wallSeconds);
    }
    NotificationCenter::defaultCenter().removeObserver(&finished);

    const double cpuRatio = median(cpuRatios);
    const double fetchRatio = median(fetchRatios);
    std::printf("main thread ratio %.3f\n", cpuRatio);
    std::printf("fetch ratio %.3f\n", fetchRatio);
    std::printf("(at most 0.05 and 1.1)\n");
    return cpuRatio <= 0.05 && fetchRatio <= 1.1 ? 0 : 1;
}

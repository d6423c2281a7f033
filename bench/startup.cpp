// The application's start-up with a big library, in the phone layout,
// offscreen. The last run left the user on the Library tab with no position
// to restore; a start is timed from the delegate's creation to the first
// paint of that tab (the window rendered once everything posted meanwhile
// has run). Prints:
// - startup: with 2,000 books (20,000 chapters) and 40 downloads in the
//   store, against the same start with an empty store; bound 1.5;
// - the page files the viewer's decoder opened during those starts: none;
// - with a reading position to restore: the page files opened until the
//   restored page is on screen: that page alone.
// Each figure is the median of several starts, the two stores alternately,
// so that load from elsewhere on the machine falls on both alike.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <QDateTime>
#include <QTemporaryDir>

#include "BenchApp.h"
#include "BenchLibrary.h"
#include "demo/DemoLibrary.h"
#include "files/MyDirectories.h"
#include "reader/PageImageLoader.h"
#include "settings/SettingsKeys.h"
#include "store/Book.h"
#include "store/Download.h"
#include "ui/kit/TabBarController.h"
#include "ui/pages/OnePageViewController.h"
#include "ui/pages/PagesViewController.h"

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Fills a root the way a user's earlier run would have left it, and quits
// on the Library tab. `restore` is the library position to reopen, or
// {-1, -1}.
bool prepare(const QString &root, bool big, bool demo, const QList<int> &restore)
{
    BenchApp::Run run;
    if (!run.launch(root))
        return false;
    AppData &appData = run.appData;
    if (big) {
        BenchLibrary::addBooks(appData, 0, 2000, 10);
        const QDateTime start = QDateTime::currentDateTimeUtc();
        for (int i = 0; i < 40; ++i) {
            // Stopped, half of them complete: nothing for the queue to fetch.
            auto download = appData.createDownloadWithRootTitle(
                QStringLiteral("mangafox"), QStringLiteral("Downloaded %1").arg(i % 7),
                QStringLiteral("Downloaded %1 chapter %2").arg(i % 7).arg(i),
                QStringLiteral("http://bench.localhost/%1/1.jpg").arg(i), Decimal(i), start.addSecs(-i), 20);
            download->setBook(appData.downloadsBook());
            download->setIsQueued(false);
            download->setIsDownloading(false);
        }
    }
    if (demo)
        DemoLibrary::create(appData);
    appData.save();
    run.defaults.setBool(true, SettingsKeys::showPagesHelpViewed);
    run.app->tabBarController()->setSelectedIndex(MangaAppDelegate::LibraryTab);
    run.app->booksRestoreLocation() = restore;
    // Saves the store and the settings: the last tab and a clean exit.
    run.app->applicationWillTerminate();
    return true;
}

// One start on `root` to the Library tab's first paint, in milliseconds.
double timeStart(const QString &root)
{
    const auto start = Clock::now();
    BenchApp::Run run;
    if (!run.launch(root))
        return -1;
    run.app->window()->show();
    BenchApp::paint(run.app->window());
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (run.app->tabBarController()->selectedIndex() != MangaAppDelegate::LibraryTab)
        return -1;
    run.app->applicationWillTerminate();
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    auto application = BenchApp::application(argc, argv);
    QTemporaryDir emptyRoot, bigRoot, readingRoot;
    if (!prepare(emptyRoot.path(), false, false, {-1, -1}) || !prepare(bigRoot.path(), true, false, {-1, -1}))
        return 1;

    constexpr int Runs = 21;
    const int readsBefore = PageImageLoader::fileReads();
    std::vector<double> emptyTimes, bigTimes;
    for (int i = 0; i < Runs; ++i) {
        emptyTimes.push_back(timeStart(emptyRoot.path()));
        bigTimes.push_back(timeStart(bigRoot.path()));
    }
    const int startReads = PageImageLoader::fileReads() - readsBefore;
    if (std::min(*std::min_element(emptyTimes.begin(), emptyTimes.end()),
                 *std::min_element(bigTimes.begin(), bigTimes.end())) < 0) {
        std::printf("a start did not reach the Library tab\n");
        return 1;
    }
    const double empty = median(emptyTimes);
    const double big = median(bigTimes);
    const double ratio = big / empty;
    std::printf("start to the Library tab's first paint: empty store %.2f ms, "
                "2000 books, 20000 chapters and 40 downloads %.2f ms\n",
                empty, big);
    std::printf("startup ratio %.2f\n", ratio);
    std::printf("page files read by those starts: %d (none)\n", startReads);
    int status = ratio <= 1.5 && startReads == 0 ? 0 : 1;

    // A reading position to restore: the first book's first chapter.
    if (!prepare(readingRoot.path(), false, true, {0, 0}))
        return 1;
    {
        const int before = PageImageLoader::fileReads();
        BenchApp::Run run;
        if (!run.launch(readingRoot.path()))
            return 1;
        // Once its page is on screen the viewer reads the next one ahead, as
        // it does on every flip; that is reading, no longer starting.
        auto *viewer = qobject_cast<PagesViewController *>(run.app->topScreen());
        if (viewer)
            viewer->setHoldsNextPage(false);
        run.app->window()->show();
        BenchApp::paint(run.app->window());
        int reads = -1;
        if (viewer) {
            const auto deadline = Clock::now() + std::chrono::seconds(20);
            while (viewer->currentPageViewController()->display() ==
                       OnePageViewController::Display::Loading &&
                   Clock::now() < deadline)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            reads = PageImageLoader::fileReads() - before;
        }
        std::printf("page files read until the restored page shows: %d (the restored page alone)\n", reads);
        if (reads != 1)
            status = 1;
        run.app->applicationWillTerminate();
    }
    MyDirectories::setRootDirectory({});
    return status;
}

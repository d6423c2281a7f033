#include <memory>

#include <gmock/gmock.h>

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QPushButton>

#include "demo/DemoLibrary.h"
#include "demo/DemoSite.h"
#include "download/DeducerFetcher.h"
#include "download/DownloadManager.h"
#include "download/FetcherQueueWrapper.h"
#include "files/MyDirectories.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sites/NavBook.h"
#include "sites/NavChapter.h"
#include "sites/SiteConfig.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "store/BooksRequest.h"
#include "store/Download.h"
#include "store/DownloadsRequest.h"
#include "support/EventLoop.h"
#include "ui/AppRuns.h"
#include "ui/downloads/DownloadAutoEditViewController.h"
#include "ui/downloads/DownloadsViewController.h"
#include "ui/kit/MyHelpAlertViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TableView.h"
#include "ui/pages/DownloadPagesViewController.h"
#include "ui/pages/LibraryPagesViewController.h"

namespace {

// The demo site serves every layout; the downloads run against its
// MangaFox layout, whose slow chapter gives time to look at a fetch.
class DownloadsScreen : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        site = new DemoSite(DemoSite::Options{0, 7, std::chrono::milliseconds(120)});
    }
    static void TearDownTestSuite()
    {
        delete site;
        site = nullptr;
    }

    void SetUp() override
    {
        ASSERT_GT(site->port(), 0);
        for (const auto &layout : site->layouts())
            if (auto s = SiteConfig::siteForOptionName(layout->name()))
                SiteConfig::setOverride(*s, layout->baseURL());
        layout = site->layout(QStringLiteral("mangafox"));
        ASSERT_TRUE(layout);
    }

    void TearDown() override
    {
        stopEngine();
        runs.stop();
        site->setRepaired(false);
        SiteConfig::clearOverrides();
    }

    // Leaves the shared engine idle with nothing waiting, for the next run.
    void stopEngine()
    {
        DeducerFetcher &deducer = manager().deducerFetcher();
        while (!deducer.waitQueueIsEmpty())
            deducer.popFromWaitQueue();
        deducer.interruptRunningDownload();
        pumpEventsUntil([&] { return !deducer.isBusy(); });
    }

    static DownloadManager &manager() { return DownloadManager::sharedDownloadManager(); }
    FetcherQueueWrapper &fetcher() { return manager().fetcherQueueWrapper(); }

    DownloadsViewController *screen() const
    {
        return qobject_cast<DownloadsViewController *>(
            runs.app()->downloadsNavigationController()->rootViewController());
    }
    void openDownloadsTab()
    {
        runs.app()->tabBarController()->setSelectedIndex(MangaAppDelegate::DownloadsTab);
    }
    ViewController *top() const { return runs.app()->downloadsNavigationController()->topViewController(); }
    TableCell row(int r) const { return screen()->tableView()->cellForRow({0, r}); }

    // Asks for a chapter of the demo site as the Internet tab does.
    std::shared_ptr<Download> request(DemoRelease release)
    {
        const DemoBook &book = site->catalogue().book(release.book);
        const DemoChapter &chapter = book.chapters[size_t(release.chapter)];
        const NavChapter navChapter(book.title + u' ' + chapter.number,
                                    layout->chapterURL(release.book, release.chapter),
                                    Decimal::fromString(chapter.number));
        const NavBook navBook(book.title, layout->bookURL(release.book));
        auto download = manager().deducerFetcher().goWithChapter(&navChapter, &navBook, layout->name(),
                                                                 layout->baseURL());
        // Requests in one test come within the same millisecond; the list
        // shows them newest first.
        if (download) {
            download->setDate(QDateTime::currentDateTime().addSecs(++requests));
            runs.appData().save();
        }
        return download;
    }

    // The counts of the shared fetcher carry over from earlier runs until
    // this download's own fetch begins.
    bool fetched(const std::shared_ptr<Download> &download, int pages)
    {
        return pumpEventsUntil(
            [&] { return fetcher().download() == download && fetcher().requestsDownloaded() >= pages; });
    }

    // The tab's badge counts what the rows show as active or waiting.
    void expectBadgeMatchesRows() const
    {
        int busy = 0;
        for (const auto &download : screen()->downloads())
            busy += download->isDownloading() || download->isQueued() ? 1 : 0;
        EXPECT_EQ(runs.app()->downloadsBadgeValue(), busy ? QString::number(busy) : QString());
    }

    static DemoSite *site;
    const DemoLayout *layout = nullptr;
    int requests = 0;
    AppRuns runs;
};

DemoSite *DownloadsScreen::site = nullptr;

TEST_F(DownloadsScreen, DownloadShowsDeductionThenFetchingThenEndsCompleteOrIncomplete)
{
    runs.start();
    const DemoRelease slow = site->catalogue().slowChapter();
    auto download = request(slow);
    ASSERT_TRUE(download);
    openDownloadsTab();
    ASSERT_EQ(screen()->downloads().size(), 1u);
    const QString title = DownloadsViewController::stringForDownloadCell(*download);
    EXPECT_EQ(row(0).text, title);
    EXPECT_EQ(row(0).detailText, QStringLiteral("Preprocessing..."));
    expectBadgeMatchesRows();
    // The notice comes with the first active download.
    EXPECT_TRUE(screen()->alertViewController()->isShowing());
    screen()->alertViewController()->okButtonClicked();

    ASSERT_TRUE(fetched(download, 2));
    EXPECT_TRUE(row(0).detailText.startsWith(QStringLiteral("Downloading...  ")));
    EXPECT_THAT(row(0).detailText.toStdString(),
                ::testing::EndsWith(QStringLiteral("/%1").arg(fetcher().requestsToDownload()).toStdString()));
    ASSERT_TRUE(row(0).progress);
    EXPECT_GT(*row(0).progress, 0.0);

    ASSERT_TRUE(pumpEventsUntil([&] { return !download->isDownloading(); }));
    EXPECT_TRUE(download->isComplete());
    EXPECT_EQ(row(0).text, layout->name());
    EXPECT_EQ(row(0).detailText, title);
    EXPECT_EQ(row(0).statusText, QStringLiteral("Unread"));
    EXPECT_FALSE(row(0).progress);
    EXPECT_TRUE(row(0).buttonImage.isEmpty());
    expectBadgeMatchesRows();

    // A chapter with a page the site does not have ends incomplete, and
    // then can be retried.
    auto missing = request(site->catalogue().missingPageChapter());
    ASSERT_TRUE(
        pumpEventsUntil([&] { return !missing->isDownloading() && !manager().deducerFetcher().isBusy(); }));
    runs.app()->tabBarController()->setSelectedIndex(MangaAppDelegate::InternetTab);
    openDownloadsTab();
    ASSERT_EQ(screen()->downloads().size(), 2u);
    EXPECT_EQ(screen()->downloads().front(), missing);
    EXPECT_EQ(row(0).statusText, QStringLiteral("Incomplete"));
    EXPECT_EQ(row(0).buttonImage, QStringLiteral("reload"));
    EXPECT_EQ(row(1).statusText, QStringLiteral("Unread"));
}

TEST_F(DownloadsScreen, RetryRefusesWhileBusyAndFetchesTheMissingPageOnceRepaired)
{
    runs.start();
    auto missing = request(site->catalogue().missingPageChapter());
    ASSERT_TRUE(
        pumpEventsUntil([&] { return !missing->isDownloading() && !manager().deducerFetcher().isBusy(); }));
    ASSERT_FALSE(missing->isComplete());

    // Another download is active: one at a time.
    auto slow = request(site->catalogue().slowChapter());
    openDownloadsTab();
    ASSERT_EQ(screen()->downloads().size(), 2u);
    screen()->tableView()->tapButton({0, 1});
    ASSERT_FALSE(runs.alerts->isEmpty());
    EXPECT_EQ(runs.alerts->last().title, QStringLiteral("Sorry, only one download at a time"));
    runs.alerts->clear();
    ASSERT_TRUE(pumpEventsUntil([&] { return !slow->isDownloading(); }));
    screen()->tableView()->reloadData();

    site->setRepaired(true);
    screen()->tableView()->tapButton({0, 1});
    EXPECT_TRUE(runs.alerts->isEmpty());
    EXPECT_TRUE(missing->isDownloading());
    EXPECT_EQ(row(1).text, DownloadsViewController::stringForDownloadCell(*missing));
    expectBadgeMatchesRows();
    ASSERT_TRUE(pumpEventsUntil([&] { return !missing->isDownloading(); }));
    EXPECT_TRUE(missing->isComplete());
    EXPECT_EQ(row(1).statusText, QStringLiteral("Unread"));
}

TEST_F(DownloadsScreen, RemovingTheActiveDownloadStartsTheWaitingOne)
{
    runs.start();
    auto first = request(site->catalogue().slowChapter());
    auto second = request(site->catalogue().missingPageChapter());
    ASSERT_TRUE(first && second);
    openDownloadsTab();
    screen()->alertViewController()->okButtonClicked();
    ASSERT_EQ(screen()->downloads().size(), 2u);
    EXPECT_EQ(row(0).text, QStringLiteral("Waiting..."));
    EXPECT_EQ(row(0).detailText, DownloadsViewController::stringForDownloadCell(*second));
    EXPECT_TRUE(row(0).buttonImage.isEmpty());
    expectBadgeMatchesRows();

    ASSERT_TRUE(fetched(first, 1));
    const QString folder = runs.appData().chapterDirectory(*first);
    ASSERT_TRUE(QDir(folder).exists());
    screen()->setEditing(true);
    screen()->tableView()->tapDelete({0, 1});
    screen()->setEditing(false);
    ASSERT_EQ(screen()->downloads().size(), 1u);
    EXPECT_EQ(screen()->downloads().front(), second);
    EXPECT_TRUE(runs.appData().managedObjectContext()->fetch<Download>(DownloadsRequest()).size() == 1u);
    EXPECT_TRUE(second->isDownloading());
    ASSERT_TRUE(pumpEventsUntil([&] { return !QDir(folder).exists(); }));
    // The deduction that starts reports itself and the row follows.
    EXPECT_EQ(row(0).text, DownloadsViewController::stringForDownloadCell(*second));
    expectBadgeMatchesRows();
}

class ResumeAnswer : public DownloadsScreen, public ::testing::WithParamInterface<bool>
{
};

TEST_P(ResumeAnswer, InterruptedFetchIsOfferedOnceTheTabOpens)
{
    const bool yes = GetParam();
    runs.start();
    auto download = request(site->catalogue().slowChapter());
    ASSERT_TRUE(fetched(download, 2));
    // The program ends in the middle of the fetch.
    manager().deducerFetcher().interruptRunningDownload();
    ASSERT_TRUE(pumpEventsUntil([&] { return !fetcher().isDownloading(); }));
    runs.stop();

    runs.start();
    EXPECT_TRUE(runs.alerts->isEmpty()) << "nothing is asked before the tab opens";
    openDownloadsTab();
    ASSERT_EQ(runs.alerts->alerts().size(), 1u);
    const AlertRequest &alert = runs.alerts->last();
    EXPECT_EQ(alert.title, QStringLiteral("Resume Download?"));
    EXPECT_TRUE(alert.message.isEmpty());
    EXPECT_EQ(alert.cancelButton, QStringLiteral("No"));
    EXPECT_EQ(alert.otherButtons, QStringList{QStringLiteral("Yes")});
    EXPECT_EQ(alert.tag, 44);
    auto resumed = screen()->downloads().front();
    runs.alerts->press(yes ? 1 : 0);
    EXPECT_EQ(resumed->isDownloading(), yes);
    if (yes) {
        // The pages fetched before the end count as done from the start.
        EXPECT_GE(fetcher().requestsDownloaded(), 2);
        ASSERT_TRUE(pumpEventsUntil([&] { return !resumed->isDownloading(); }));
        EXPECT_TRUE(resumed->isComplete());
    } else {
        EXPECT_EQ(row(0).statusText, QStringLiteral("Incomplete"));
    }
    // Asked once per start.
    runs.app()->tabBarController()->setSelectedIndex(MangaAppDelegate::InternetTab);
    openDownloadsTab();
    EXPECT_TRUE(runs.alerts->isEmpty());
}

INSTANTIATE_TEST_SUITE_P(YesAndNo, ResumeAnswer, ::testing::Bool());

TEST_F(DownloadsScreen, RowsOpenTheViewerOnlyWithPagesAndNotNearTheEndOfAnAutoSavedFetch)
{
    runs.start();
    AppData &data = runs.appData();
    auto eightLeft =
        DemoLibrary::createDownload(data, QStringLiteral("Blue Harbor"), QStringLiteral("2"), 20, 12);
    openDownloadsTab();
    screen()->alertViewController()->okButtonClicked();
    ASSERT_EQ(screen()->downloads().size(), 1u);

    runs.defaults().setBool(true, SettingsKeys::autoSaveToLibrary);
    EXPECT_TRUE(screen()->canOpenRow(0));
    // One more page fetched: seven left.
    for (const auto &page : eightLeft->pages()) {
        if (!page->isDownloaded()) {
            page->setIsDownloaded(true);
            break;
        }
    }
    EXPECT_FALSE(screen()->canOpenRow(0));
    screen()->tableView()->tapRow({0, 0});
    EXPECT_EQ(top(), screen());
    runs.defaults().setBool(false, SettingsKeys::autoSaveToLibrary);
    EXPECT_TRUE(screen()->canOpenRow(0));
    // Editing picks only downloads at rest.
    screen()->setEditing(true);
    EXPECT_FALSE(screen()->canOpenRow(0));
    screen()->setEditing(false);

    // While it is being fetched it opens without save and delete.
    screen()->tableView()->tapRow({0, 0});
    auto *viewer = qobject_cast<DownloadPagesViewController *>(top());
    ASSERT_TRUE(viewer);
    EXPECT_FALSE(viewer->showSaveButton());
    EXPECT_FALSE(viewer->showDeleteActionSheet());
    EXPECT_EQ(runs.defaults().integerForKey(SettingsKeys::downloadsRestoreLocation), 0);
}

TEST_F(DownloadsScreen, TheDownloadBeingReadReopensAtTheNextStart)
{
    runs.start();
    auto older =
        DemoLibrary::createDownload(runs.appData(), QStringLiteral("Blue Harbor"), QStringLiteral("2"), 4, 4);
    older->setDate(older->date().addSecs(-60));
    runs.appData().save();
    DemoLibrary::createDownload(runs.appData(), QStringLiteral("Blue Harbor"), QStringLiteral("3"), 4, 4);
    openDownloadsTab();
    screen()->tableView()->tapRow({0, 1});
    ASSERT_TRUE(qobject_cast<DownloadPagesViewController *>(top()));
    const QString title = older->title();
    runs.app()->applicationWillTerminate();

    runs.start();
    auto *viewer = qobject_cast<LibraryPagesViewController *>(top());
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->chapter()->title(), title);
    EXPECT_EQ(viewer->delegate(), screen());
    EXPECT_TRUE(viewer->showSaveButton());
    EXPECT_TRUE(viewer->showDeleteActionSheet());
    // Back on the list, nothing is left to reopen.
    runs.app()->downloadsNavigationController()->popViewController();
    EXPECT_EQ(runs.defaults().integerForKey(SettingsKeys::downloadsRestoreLocation), -1);
}

TEST_F(DownloadsScreen, ViewerOpensOnADownloadStillBeingFetched)
{
    runs.start();
    auto download = request(site->catalogue().slowChapter());
    openDownloadsTab();
    screen()->alertViewController()->okButtonClicked();
    EXPECT_FALSE(screen()->canOpenRow(0)) << "no pages while deducing";
    ASSERT_TRUE(fetched(download, 1));
    screen()->tableView()->tapRow({0, 0});
    auto *viewer = qobject_cast<DownloadPagesViewController *>(top());
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->chapter(), download);
    EXPECT_FALSE(viewer->showSaveButton());
    // The run ends under the reader: now it can be saved.
    ASSERT_TRUE(pumpEventsUntil([&] { return !download->isDownloading(); }));
    EXPECT_TRUE(viewer->showSaveButton());
}

TEST_F(DownloadsScreen, SavePanelPutsBookSourceAndChapterIntoTheLibrary)
{
    runs.start();
    AppData &data = runs.appData();
    auto download =
        DemoLibrary::createDownload(data, QStringLiteral("Blue Harbor"), QStringLiteral("3"), 4, 4);
    download->setRootTitle(QStringLiteral("mangafox"));
    download->setLastPageRead(2);
    ASSERT_FALSE(data.save());
    openDownloadsTab();
    screen()->setEditing(true);
    ASSERT_TRUE(screen()->editingHeader());
    EXPECT_EQ(screen()->deleteButton()->text(), QStringLiteral("Delete"));
    EXPECT_EQ(screen()->saveToLibraryButton()->text(), QStringLiteral("Save to Library"));
    screen()->tableView()->tapRow({0, 0});
    auto *panel = qobject_cast<DownloadAutoEditViewController *>(top());
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->title(), QStringLiteral("Save to Library"));
    TableView *table = panel->tableView();
    EXPECT_EQ(table->cellForRow({0, 0}).detailText, QStringLiteral("Source"));
    EXPECT_EQ(table->cellForRow({0, 0}).text, QStringLiteral("mangafox"));
    EXPECT_EQ(table->cellForRow({0, 1}).detailText, QStringLiteral("Manga"));
    EXPECT_EQ(table->cellForRow({0, 1}).text, QStringLiteral("Blue Harbor"));
    EXPECT_EQ(table->cellForRow({1, 0}).detailText, QStringLiteral("Chapter"));
    EXPECT_EQ(table->cellForRow({1, 0}).text, QStringLiteral("Blue Harbor 3"));

    panel->saveButton()->trigger();
    EXPECT_EQ(top(), screen());
    EXPECT_TRUE(screen()->downloads().empty());
    const auto books = data.managedObjectContext()->fetch<Book>(
        BooksRequest(QStringLiteral("Blue Harbor"), QStringLiteral("mangafox")));
    ASSERT_EQ(books.size(), 1u);
    ASSERT_EQ(books.front()->chapters().size(), 1u);
    EXPECT_EQ(books.front()->chapters().front()->title(), QStringLiteral("Blue Harbor 3"));
    // Saved with the store: the next start finds it without replaying a move.
    EXPECT_FALSE(data.managedObjectContext()->hasChanges());
}

TEST_F(DownloadsScreen, SavingFromTheViewerThenQuittingLeavesNoDownloadBehind)
{
    runs.start();
    auto download =
        DemoLibrary::createDownload(runs.appData(), QStringLiteral("Blue Harbor"), QStringLiteral("2"), 4, 4);
    openDownloadsTab();
    screen()->tableView()->tapRow({0, 0});
    auto *viewer = qobject_cast<DownloadPagesViewController *>(top());
    ASSERT_TRUE(viewer);
    ASSERT_TRUE(viewer->showSaveButton());
    viewer->saveButton()->trigger();
    auto *panel = qobject_cast<DownloadAutoEditViewController *>(top());
    ASSERT_TRUE(panel);
    ASSERT_TRUE(panel->save());
    EXPECT_EQ(top(), screen());
    // Quitting now must not bring the record back through the viewer.
    runs.app()->applicationWillTerminate();
    pumpEvents();
    runs.start();
    EXPECT_TRUE(runs.appData().managedObjectContext()->fetch<Download>(DownloadsRequest()).empty());
    const auto books = runs.appData().managedObjectContext()->fetch<Book>(
        BooksRequest(QStringLiteral("Blue Harbor"), QStringLiteral("demo")));
    ASSERT_EQ(books.size(), 1u);
    EXPECT_EQ(books.front()->chapters().size(), 1u);
}

TEST(DownloadsScreenBulk, HeaderButtonsAskAndRefuseWhileAnythingWaits)
{
    AppRuns runs(Device::Idiom::Phone, true, AppRuns::Store::Shared);
    MangaAppDelegate *app = runs.start();
    AppData &data = app->appData();
    for (const char *number : {"1", "2"})
        DemoLibrary::createDownload(data, QStringLiteral("Blue Harbor"), QLatin1String(number), 2, 2)
            ->setLastPageRead(0);
    auto waiting =
        DemoLibrary::createDownload(data, QStringLiteral("Night Train"), QStringLiteral("3"), 2, 0);
    waiting->setIsDownloading(false);
    waiting->setIsQueued(true);
    ASSERT_FALSE(data.save());
    app->tabBarController()->setSelectedIndex(MangaAppDelegate::DownloadsTab);
    auto *screen =
        qobject_cast<DownloadsViewController *>(app->downloadsNavigationController()->rootViewController());
    ASSERT_EQ(screen->downloads().size(), 3u);
    screen->setEditing(true);

    screen->deleteButton()->click();
    runs.alerts->press(1);
    EXPECT_EQ(runs.alerts->last().message, QStringLiteral("Cannot delete in bulk while downloading"));
    runs.alerts->clear();
    screen->saveToLibraryButton()->click();
    runs.alerts->press(1);
    EXPECT_EQ(runs.alerts->last().message,
              QStringLiteral("Cannot save to the library in bulk while downloading"));
    runs.alerts->clear();
    EXPECT_EQ(screen->downloads().size(), 3u);

    waiting->setIsQueued(false);
    ASSERT_FALSE(data.save());
    screen->deleteButton()->click();
    runs.alerts->press(1);
    ASSERT_TRUE(pumpEventsUntil([&] { return screen->downloads().size() == 2u; }));
    screen->saveToLibraryButton()->click();
    runs.alerts->press(1);
    // Only the finished one goes; the list follows.
    ASSERT_TRUE(pumpEventsUntil([&] { return screen->downloads().size() == 1u; }));
    EXPECT_EQ(screen->downloads().front(), waiting);
    screen->setEditing(false);
    EXPECT_FALSE(screen->editingHeader());
}

} // namespace

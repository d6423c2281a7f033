#include <csignal>

#include <gmock/gmock.h>

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/AppWindow.h"
#include "app/QuitSignals.h"
#include "demo/DemoSite.h"
#include "download/DeducerFetcher.h"
#include "download/DownloadManager.h"
#include "files/FSStats.h"
#include "files/MyDirectories.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sites/NavSections.h"
#include "sites/SiteConfig.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "store/Chapter.h"
#include "store/Download.h"
#include "store/LibraryLookup.h"
#include "support/EventLoop.h"
#include "ui/AppRuns.h"
#include "ui/downloads/DownloadAutoEditViewController.h"
#include "ui/downloads/DownloadsViewController.h"
#include "ui/import/IEDocumentsViewController.h"
#include "ui/import/IEImportBookViewController.h"
#include "ui/import/IEImportChapterViewController.h"
#include "ui/internet/NavBooksViewController.h"
#include "ui/internet/NavCategoriesViewController.h"
#include "ui/internet/NavChaptersViewController.h"
#include "ui/internet/NavRootViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/SearchBar.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TableView.h"
#include "ui/kit/WaitOverlayView.h"
#include "ui/library/BooksViewController.h"
#include "ui/library/ChaptersViewController.h"
#include "ui/pages/OnePageViewController.h"
#include "ui/pages/PagesViewController.h"

namespace {

using Display = OnePageViewController::Display;

enum class Quit { ByClosingTheWindow, BySignal };

struct Run {
    Device::Idiom idiom;
    Quit quit;
};

// A person's afternoon with the app, against the demo site in this process:
// from the catalogue to two downloads, one of them missing a page until the
// site is mended, both saved, one exported, deleted and imported back, read
// from the library, and found open on the same page after a restart.
class EndToEnd : public testing::TestWithParam<Run>
{
protected:
    static void SetUpTestSuite()
    {
        site = new DemoSite(DemoSite::Options{0, 3, std::chrono::milliseconds(40)});
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
            if (auto which = SiteConfig::siteForOptionName(layout->name()))
                SiteConfig::setOverride(*which, layout->baseURL());
        fox = site->layout(QStringLiteral("mangafox"));
        // The disk the tests run on must not decide whether a chapter fits.
        FSStats::setFreeSpaceOverride(quint64(100) << 30);
        app = runs.start();
    }

    void TearDown() override
    {
        DeducerFetcher &deducer = DownloadManager::sharedDownloadManager().deducerFetcher();
        while (!deducer.waitQueueIsEmpty())
            deducer.popFromWaitQueue();
        deducer.interruptRunningDownload();
        pumpEventsUntil([&] { return !deducer.isBusy(); });
        runs.stop();
        site->setRepaired(false);
        FSStats::setFreeSpaceOverride(std::nullopt);
        SiteConfig::clearOverrides();
    }

    void openTab(MangaAppDelegate::Tab tab) { app->tabBarController()->setSelectedIndex(tab); }

    template <class Screen> static Screen *top(NavigationController *nav)
    {
        return qobject_cast<Screen *>(nav->topViewController());
    }

    static int rowWithText(TableView *table, const QString &text, int section = 0)
    {
        for (int row = 0; row < table->numberOfRows(section); ++row)
            if (table->cellForRow({section, row}).text == text)
                return row;
        return -1;
    }

    // A page counts once it is on screen: decoding is off the main thread.
    static bool settled(PagesViewController *viewer)
    {
        return pumpEventsUntil([viewer] {
            const Display display = viewer->currentPageViewController()->display();
            return display != Display::Loading && display != Display::Nothing;
        });
    }
    static void key(PagesViewController *viewer, Qt::Key k)
    {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QCoreApplication::sendEvent(viewer, &press);
        EXPECT_TRUE(settled(viewer));
    }

    // Catalogue → the site's first list → the book, found by its search field.
    NavChaptersViewController *browseToBook(const QString &title)
    {
        NavigationController *nav = app->internetNavigationController();
        auto *root = qobject_cast<NavRootViewController *>(nav->rootViewController());
        int siteRow = -1;
        // The site's own row comes before its latest-release row.
        for (size_t i = 0; i < root->sites().size() && siteRow < 0; ++i)
            if (root->sites()[i].rootUrl() == fox->baseURL())
                siteRow = int(i);
        EXPECT_GE(siteRow, 0);
        root->tableView()->tapRow({0, siteRow});
        auto *categories = top<NavCategoriesViewController>(nav);
        EXPECT_TRUE(categories);
        if (!categories)
            return nullptr;
        const auto &sections = root->sites()[size_t(siteRow)].sections()->sections();
        int listRow = 0;
        while (listRow < int(sections.size()) && sections[size_t(listRow)].useBooksSearch)
            ++listRow;
        categories->tableView()->tapRow({0, listRow});
        auto *list = top<NavBooksViewController>(nav);
        EXPECT_TRUE(list && pumpEventsUntil([list] { return !list->books().isEmpty(); }));
        if (!list)
            return nullptr;
        list->searchBar()->type(title);
        const int row = rowWithText(list->tableView(), title);
        EXPECT_GE(row, 0) << qPrintable(title);
        list->tableView()->tapRow({0, row});
        auto *chapters = top<NavChaptersViewController>(nav);
        EXPECT_TRUE(chapters && pumpEventsUntil([chapters] { return !chapters->isLoading(); }));
        return chapters;
    }

    static int rowOfChapter(NavChaptersViewController *screen, const QString &url)
    {
        const auto listed = screen->chapters();
        for (int row = 0; row < int(listed.size()); ++row)
            if (listed[row].urlString() == url)
                return row;
        return -1;
    }

    DownloadsViewController *downloadsScreen() const
    {
        return qobject_cast<DownloadsViewController *>(
            app->downloadsNavigationController()->rootViewController());
    }
    int downloadRow(const std::shared_ptr<Download> &download) const
    {
        const auto &rows = downloadsScreen()->downloads();
        return int(std::find(rows.begin(), rows.end(), download) - rows.begin());
    }

    // Through the save panel, as a person picks one download in edit mode.
    void saveToLibrary(const std::shared_ptr<Download> &download)
    {
        DownloadsViewController *screen = downloadsScreen();
        screen->setEditing(true);
        screen->tableView()->tapRow({0, downloadRow(download)});
        auto *panel = top<DownloadAutoEditViewController>(app->downloadsNavigationController());
        ASSERT_TRUE(panel);
        panel->saveButton()->trigger();
        EXPECT_EQ(app->downloadsNavigationController()->topViewController(), screen);
        screen->setEditing(false);
    }

    ChaptersViewController *openLibraryBook(const QString &title)
    {
        openTab(MangaAppDelegate::LibraryTab);
        NavigationController *nav = app->booksNavigationController();
        nav->popToRootViewController();
        BooksViewController *books = app->booksViewController();
        pumpEventsUntil([books] { return !books->isRefreshPending(); });
        books->tableView()->reloadData();
        const int row = rowWithText(books->tableView(), title);
        EXPECT_GE(row, 0) << qPrintable(title);
        books->tableView()->tapRow({0, row});
        return top<ChaptersViewController>(nav);
    }

    // The way the program ends for this run: its window closed (the last
    // window ends the event loop), or SIGTERM caught by the quit signals.
    void quit()
    {
        // Should the quit never come, the loop still ends and the test fails.
        bool timedOut = false;
        QTimer fallback;
        fallback.setSingleShot(true);
        QObject::connect(&fallback, &QTimer::timeout, [&timedOut] {
            timedOut = true;
            QCoreApplication::quit();
        });
        fallback.start(20000);
        if (GetParam().quit == Quit::ByClosingTheWindow) {
            QTimer::singleShot(0, [this] { app->window()->close(); });
        } else {
            static const bool installed = QuitSignals::install(qApp);
            ASSERT_TRUE(installed);
            QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        }
        QApplication::exec();
        EXPECT_FALSE(timedOut);
    }

    static inline DemoSite *site = nullptr;
    const DemoLayout *fox = nullptr;
    AppRuns runs{GetParam().idiom, true, AppRuns::Store::Shared};
    MangaAppDelegate *app = nullptr;
};

TEST_P(EndToEnd, FromTheCatalogueToTheLibraryAndBackAfterARestart)
{
    const DemoRelease missing = site->catalogue().missingPageChapter();
    const DemoBook &book = site->catalogue().book(missing.book);
    // Another chapter of the same book, which the site serves whole.
    int whole = 0;
    while (whole == missing.chapter || fox->chapterURL(missing.book, whole).isEmpty())
        ++whole;

    // The catalogue, the list, the book; two chapters asked for, the whole
    // one first.
    NavChaptersViewController *chapters = browseToBook(book.title);
    ASSERT_TRUE(chapters);
    const int wholeRow = rowOfChapter(chapters, fox->chapterURL(missing.book, whole));
    const int missingRow = rowOfChapter(chapters, fox->chapterURL(missing.book, missing.chapter));
    ASSERT_GE(wholeRow, 0);
    ASSERT_GE(missingRow, 0);
    chapters->tableView()->tapButton({0, wholeRow});
    chapters->tableView()->tapButton({0, missingRow});
    EXPECT_EQ(chapters->tableView()->cellForRow({0, wholeRow}).detailText, u"Downloading");
    const auto queued = chapters->queuedOrDownloadingChapters();
    const auto wholeDownload = queued.value(
        NavBaseChaptersViewController::downloadKey(book.title, chapters->chapters()[wholeRow].title()));
    const auto missingDownload = queued.value(
        NavBaseChaptersViewController::downloadKey(book.title, chapters->chapters()[missingRow].title()));
    ASSERT_TRUE(wholeDownload && missingDownload);

    // The whole chapter is read while the queue goes on to the other.
    ASSERT_TRUE(
        pumpEventsUntil([&] { return wholeDownload->isComplete() && !wholeDownload->isDownloading(); }));
    openTab(MangaAppDelegate::DownloadsTab);
    DownloadsViewController *downloads = downloadsScreen();
    ASSERT_EQ(downloads->downloads().size(), 2u);
    downloads->tableView()->tapRow({0, downloadRow(wholeDownload)});
    auto *reader = top<PagesViewController>(app->downloadsNavigationController());
    ASSERT_TRUE(reader);
    EXPECT_TRUE(missingDownload->isDownloading() || missingDownload->isQueued());
    ASSERT_TRUE(settled(reader));
    key(reader, Qt::Key_Right);
    EXPECT_EQ(reader->pageNumber(), 1);
    app->downloadsNavigationController()->popViewController();

    // One page is missing until the site is mended; the retry fetches it.
    ASSERT_TRUE(pumpEventsUntil([&] {
        return !missingDownload->isDownloading() &&
               !DownloadManager::sharedDownloadManager().deducerFetcher().isBusy();
    }));
    EXPECT_FALSE(missingDownload->isComplete());
    runs.alerts->clear();
    site->setRepaired(true);
    downloads->tableView()->reloadData();
    downloads->tableView()->tapButton({0, downloadRow(missingDownload)});
    EXPECT_TRUE(runs.alerts->isEmpty())
        << qPrintable(runs.alerts->isEmpty() ? QString() : runs.alerts->last().title);
    ASSERT_TRUE(pumpEventsUntil([&] { return !missingDownload->isDownloading(); }));
    EXPECT_TRUE(missingDownload->isComplete());

    // Both go into the library.
    const QString wholeTitle = wholeDownload->title();
    const QString missingTitle = missingDownload->title();
    saveToLibrary(wholeDownload);
    saveToLibrary(missingDownload);
    EXPECT_TRUE(downloadsScreen()->downloads().empty());

    // The whole one is zipped for export, deleted, and imported back from
    // the documents screen.
    ChaptersViewController *library = openLibraryBook(book.title);
    ASSERT_TRUE(library);
    ASSERT_EQ(library->tableView()->numberOfRows(0), 2);
    library->setEditing(true);
    runs.alerts->clear();
    library->tableView()->tapButton({0, rowWithText(library->tableView(), wholeTitle)});
    ASSERT_TRUE(pumpEventsUntil([&] { return !runs.alerts->isEmpty(); }));
    EXPECT_EQ(runs.alerts->last().title, u"Success");
    runs.alerts->clear();
    library->tableView()->tapDelete({0, rowWithText(library->tableView(), wholeTitle)});
    ASSERT_TRUE(pumpEventsUntil([&] { return library->tableView()->numberOfRows(0) == 1; }));
    library->setEditing(false);

    openTab(MangaAppDelegate::ImportTab);
    NavigationController *documentsNav = app->documentsNavigationController();
    auto *documents = qobject_cast<IEDocumentsViewController *>(documentsNav->rootViewController());
    ASSERT_TRUE(documents);
    documents->reloadFiles();
    ASSERT_EQ(documents->tableView()->numberOfRows(0), 1);
    const QString zipName = documents->tableView()->cellForRow({0, 0}).text;
    EXPECT_TRUE(zipName.endsWith(u".zip"));
    documents->tableView()->tapRow({0, 0});
    ASSERT_TRUE(pumpEventsUntil([&] {
        return (top<IEImportBookViewController>(documentsNav) ||
                top<IEImportChapterViewController>(documentsNav)) &&
               !app->waitOverlay()->isVisible();
    }));
    if (auto *bookForm = top<IEImportBookViewController>(documentsNav)) {
        EXPECT_EQ(bookForm->bookTextField()->text(), book.title);
        bookForm->nextButton()->trigger();
    }
    auto *chapterForm = top<IEImportChapterViewController>(documentsNav);
    ASSERT_TRUE(chapterForm);
    EXPECT_FALSE(chapterForm->chapterNumberTextField()->text().isEmpty());
    runs.alerts->clear();
    chapterForm->saveButton()->trigger();
    ASSERT_TRUE(pumpEventsUntil([&] { return !runs.alerts->isEmpty(); }));
    EXPECT_EQ(runs.alerts->last().title, u"Success");
    EXPECT_EQ(documentsNav->topViewController(), documents);
    // The clean-up holds the window behind the overlay until it is done.
    ASSERT_TRUE(pumpEventsUntil([&] { return !app->waitOverlay()->isVisible(); }));

    // Read from the library, left open on its third page.
    library = openLibraryBook(book.title);
    ASSERT_TRUE(library);
    ASSERT_EQ(library->tableView()->numberOfRows(0), 2);
    const int importedRow = rowWithText(library->tableView(), missingTitle) == 0 ? 1 : 0;
    library->tableView()->tapRow({0, importedRow});
    reader = top<PagesViewController>(app->booksNavigationController());
    ASSERT_TRUE(reader);
    ASSERT_TRUE(settled(reader));
    ASSERT_GE(reader->pageCount(), 3);
    key(reader, Qt::Key_Right);
    key(reader, Qt::Key_Right);
    const QString readingTitle = reader->title();
    ASSERT_EQ(reader->pageNumber(), 2);

    quit();
    runs.stop();
    app = runs.start();
    EXPECT_EQ(app->tabBarController()->selectedIndex(), MangaAppDelegate::LibraryTab);
    reader = top<PagesViewController>(app->booksNavigationController());
    ASSERT_TRUE(reader);
    ASSERT_TRUE(settled(reader));
    EXPECT_EQ(reader->title(), readingTitle);
    EXPECT_EQ(reader->pageNumber(), 2);
}

INSTANTIATE_TEST_SUITE_P(Layouts, EndToEnd,
                         testing::Values(Run{Device::Idiom::Phone, Quit::ByClosingTheWindow},
                                         Run{Device::Idiom::Pad, Quit::BySignal}),
                         [](const testing::TestParamInfo<Run> &info) {
                             return info.param.idiom == Device::Idiom::Phone
                                        ? std::string("PhoneClosingTheWindow")
                                        : std::string("TabletBySignal");
                         });

} // namespace

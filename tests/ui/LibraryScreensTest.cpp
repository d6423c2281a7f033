#include <condition_variable>
#include <memory>
#include <mutex>

#include <gmock/gmock.h>

#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include "demo/DemoLibrary.h"
#include "download/DownloadMover.h"
#include "download/LibraryQueues.h"
#include "download/RemovePathsQueueWrapper.h"
#include "files/FSStats.h"
#include "files/MyDirectories.h"
#include "foundation/Decimal.h"
#include "foundation/Operation.h"
#include "foundation/OperationQueue.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "store/Chapter.h"
#include "store/Download.h"
#include "support/EventLoop.h"
#include "ui/AppRuns.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TableView.h"
#include "ui/kit/WaitOverlayView.h"
#include "ui/library/BooksViewController.h"
#include "ui/library/ChaptersHeaderView.h"
#include "ui/library/ChaptersViewController.h"
#include "ui/pages/PagesViewController.h"

namespace {

// The engine's removals and exports work on the shared store, so the
// screens are tested on it too.
class LibraryScreens : public testing::Test
{
protected:
    explicit LibraryScreens(bool hasSwipe = true)
        : runs(Device::Idiom::Phone, hasSwipe, AppRuns::Store::Shared)
    {}

    void SetUp() override
    {
        app = runs.start();
        quietNotices();
        DemoLibrary::create(runs.appData());
    }

    void TearDown() override { FSStats::setFreeSpaceOverride(std::nullopt); }

    void quietNotices()
    {
        runs.defaults().setBool(true, SettingsKeys::showChaptersHelpViewer);
        runs.defaults().setBool(true, SettingsKeys::showPagesHelpViewed);
        runs.defaults().setBool(false, SettingsKeys::autoHideMenu);
    }

    BooksViewController *openLibrary()
    {
        app->tabBarController()->setSelectedIndex(MangaAppDelegate::LibraryTab);
        return app->booksViewController();
    }

    static QStringList rows(TableView *table, bool detail = false)
    {
        QStringList out;
        for (int row = 0; row < table->numberOfRows(0); ++row) {
            const TableCell cell = table->cellForRow({0, row});
            out << (detail ? cell.text + u'|' + cell.detailText + u'|' + cell.statusText : cell.text);
        }
        return out;
    }

    static int rowOf(TableView *table, const QString &text) { return int(rows(table).indexOf(text)); }

    ChaptersViewController *openBook(const QString &title)
    {
        BooksViewController *books = openLibrary();
        books->tableView()->tapRow({0, rowOf(books->tableView(), title)});
        return qobject_cast<ChaptersViewController *>(app->booksNavigationController()->topViewController());
    }

    std::shared_ptr<Book> addBook(const QString &title, int chapters)
    {
        AppData &data = runs.appData();
        auto book = data.createBookWithTitle(title, QStringLiteral("demo"));
        for (int n = 1; n <= chapters; ++n) {
            auto chapter =
                data.createChapterWithTitle(QStringLiteral("%1 %2").arg(title).arg(n), Decimal(n), 1, true);
            chapter->setBook(book);
            data.createChapterDirectory(*chapter);
        }
        EXPECT_FALSE(data.save());
        return book;
    }

    bool overlayUp() const { return app->waitOverlay()->isVisible(); }

    AppRuns runs;
    MangaAppDelegate *app = nullptr;
};

TEST_F(LibraryScreens, BooksListShowsTitlesWithTheirSourceAndFollowsSavedDownloads)
{
    BooksViewController *books = openLibrary();
    EXPECT_EQ(books->title(), QStringLiteral("Library"));
    EXPECT_EQ(rows(books->tableView(), true),
              QStringList({QStringLiteral("Blue Harbor|demo|"), QStringLiteral("Night Train|demo|"),
                           QStringLiteral("Paper Lanterns|demo|")}));

    // A download saved meanwhile is listed the next time the list shows.
    auto download =
        DemoLibrary::createDownload(runs.appData(), QStringLiteral("Amber Road"), QStringLiteral("3"), 2, 2);
    ASSERT_NE(DownloadMover::save(download, *runs.appData().managedObjectContext()), nullptr);
    ASSERT_FALSE(runs.appData().save());
    ChaptersViewController *chapters = openBook(QStringLiteral("Paper Lanterns"));
    ASSERT_TRUE(chapters);
    app->booksNavigationController()->popViewController();
    // Back on the list, no book is remembered any more.
    EXPECT_EQ(app->booksRestoreLocation(), QList<int>({-1, -1}));
    // The list comes back as it was until it has been painted; a tap on it
    // meanwhile brings it up to date instead of opening what it shows.
    ASSERT_TRUE(books->isRefreshPending());
    books->tableView()->tapRow({0, 0});
    EXPECT_EQ(app->booksNavigationController()->topViewController(), books);
    EXPECT_EQ(rows(books->tableView()).first(), QStringLiteral("Amber Road"));

    // Painted, it is brought up to date by itself.
    runs.appData().createBookWithTitle(QStringLiteral("Zinc"), QStringLiteral("demo"));
    ASSERT_FALSE(runs.appData().save());
    ASSERT_TRUE(openBook(QStringLiteral("Amber Road")));
    app->booksNavigationController()->popViewController();
    ASSERT_TRUE(pumpEventsUntil([&] { return !books->isRefreshPending(); }));
    EXPECT_EQ(rows(books->tableView()).last(), QStringLiteral("Zinc"));
}

TEST_F(LibraryScreens, BookDeletionGoesAtOnceInTheBackgroundOrNotAtAll)
{
    AppData &data = runs.appData();
    const auto five = addBook(QStringLiteral("Five"), 5);
    const auto six = addBook(QStringLiteral("Six"), 6);
    const auto many = addBook(QStringLiteral("Many"), 201);
    const QString fiveDir = data.bookDirectory(*five);
    const QString sixDir = data.bookDirectory(*six);
    BooksViewController *books = openLibrary();
    TableView *table = books->tableView();
    books->setEditing(true);
    AlertRecorder &alerts = *runs.alerts;

    // Five chapters: gone at once, records and folder.
    table->tapDelete({0, rowOf(table, QStringLiteral("Five"))});
    EXPECT_EQ(rowOf(table, QStringLiteral("Five")), -1);
    EXPECT_FALSE(QFileInfo::exists(fiveDir));
    EXPECT_FALSE(overlayUp());
    EXPECT_TRUE(alerts.isEmpty());

    // Six: the row goes at once, the overlay stays until the folders are gone.
    table->tapDelete({0, rowOf(table, QStringLiteral("Six"))});
    EXPECT_EQ(rowOf(table, QStringLiteral("Six")), -1);
    EXPECT_TRUE(overlayUp());
    ASSERT_TRUE(pumpEventsUntil([&] { return !overlayUp(); }));
    EXPECT_FALSE(QFileInfo::exists(sixDir));
    EXPECT_TRUE(RemovePathsQueueWrapper::remainingPaths().isEmpty());
    books->fetchBooks();
    table->reloadData();
    EXPECT_EQ(rowOf(table, QStringLiteral("Six")), -1);

    // Over 200: refused, nothing deleted.
    table->tapDelete({0, rowOf(table, QStringLiteral("Many"))});
    ASSERT_EQ(alerts.alerts().size(), 1u);
    EXPECT_EQ(alerts.last().message,
              QStringLiteral(
                  "Over 200 chapters to delete.  Please delete some individual chapters first.  Sorry."));
    EXPECT_NE(rowOf(table, QStringLiteral("Many")), -1);
    EXPECT_EQ(many->chapters().size(), 201u);
    alerts.clear();

    // A running download blocks every book, however small.
    DemoLibrary::createDownload(data, QStringLiteral("Blue Harbor"), QStringLiteral("7"), 3, 1);
    table->tapDelete({0, rowOf(table, QStringLiteral("Night Train"))});
    ASSERT_EQ(alerts.alerts().size(), 1u);
    EXPECT_EQ(alerts.last().message, QStringLiteral("Cannot delete while downloading"));
    EXPECT_NE(rowOf(table, QStringLiteral("Night Train")), -1);
}

TEST_F(LibraryScreens, ChapterRowsShowReadMarksAndDeleteReadKeepsTheLastRead)
{
    AppData &data = runs.appData();
    auto one = DemoLibrary::chapter(data, QStringLiteral("Blue Harbor"), QStringLiteral("1"));
    auto two = DemoLibrary::chapter(data, QStringLiteral("Blue Harbor"), QStringLiteral("2"));
    auto three = DemoLibrary::chapter(data, QStringLiteral("Blue Harbor"), QStringLiteral("3"));
    one->setLastPageRead(5);
    two->setLastPageRead(1);
    two->setIsComplete(false);
    three->setIsComplete(true);
    one->book()->setLastChapterNumberRead(Decimal(20));
    auto four = data.createChapterWithTitle(QStringLiteral("Blue Harbor 4"), Decimal(4), 9, false);
    four->setBook(one->book());
    ASSERT_FALSE(data.save());

    ChaptersViewController *screen = openBook(QStringLiteral("Blue Harbor"));
    ASSERT_TRUE(screen);
    TableView *table = screen->tableView();
    // Read through: no status. Last read: said even though incomplete.
    EXPECT_EQ(
        rows(table, true),
        QStringList({QStringLiteral("Blue Harbor 1||"), QStringLiteral("Blue Harbor 2||Last read"),
                     QStringLiteral("Blue Harbor 3||Unread"), QStringLiteral("Blue Harbor 4||Incomplete")}));
    EXPECT_EQ(table->cellForRow({0, 0}).accessory, TableCell::Accessory::DisclosureIndicator);

    // Edit mode: every row offers its zip; the header deletes the read ones.
    screen->setEditing(true);
    ASSERT_TRUE(screen->headerView());
    EXPECT_EQ(screen->headerView()->deleteReadButton()->text(), QStringLiteral("Delete Read"));
    EXPECT_EQ(table->cellForRow({0, 3}).buttonTitle, QStringLiteral("  Zip   "));
    screen->headerView()->deleteReadButton()->click();
    runs.alerts->press(1);
    EXPECT_EQ(rows(table), QStringList({QStringLiteral("Blue Harbor 2"), QStringLiteral("Blue Harbor 3"),
                                        QStringLiteral("Blue Harbor 4")}));

    // A single chapter goes at once, even while a download runs.
    DemoLibrary::createDownload(data, QStringLiteral("Night Train"), QStringLiteral("13"), 3, 1);
    const QString threeDir = data.chapterDirectory(*three);
    table->tapDelete({0, 1});
    EXPECT_EQ(rows(table), QStringList({QStringLiteral("Blue Harbor 2"), QStringLiteral("Blue Harbor 4")}));
    EXPECT_FALSE(QFileInfo::exists(threeDir));
    screen->setEditing(false);
    EXPECT_FALSE(screen->headerView());
}

TEST_F(LibraryScreens, ZipWritesTheChapterForImportOrSaysWhyNot)
{
    ChaptersViewController *screen = openBook(QStringLiteral("Night Train"));
    ASSERT_TRUE(screen);
    screen->setEditing(true);
    AlertRecorder &alerts = *runs.alerts;
    const QString zip = MyDirectories::sharedMyDirectories().documentDirectory() +
                        QStringLiteral("/Night Train_c12.5[demo].zip");

    screen->tableView()->tapButton({0, 0});
    EXPECT_TRUE(overlayUp());
    ASSERT_TRUE(pumpEventsUntil([&] { return !alerts.isEmpty(); }));
    EXPECT_EQ(alerts.last().title, QStringLiteral("Success"));
    EXPECT_EQ(alerts.last().message,
              QStringLiteral("Zipped Night Train\nNight Train 12.5\nCheck the Import/Export Tab"));
    EXPECT_FALSE(overlayUp());
    EXPECT_TRUE(QFileInfo::exists(zip)) << qPrintable(zip);
    alerts.clear();
    QFile::remove(zip);

    // Too little room: an error, and no zip left behind.
    FSStats::setFreeSpaceOverride(1024);
    screen->tableView()->tapButton({0, 0});
    ASSERT_TRUE(pumpEventsUntil([&] { return !alerts.isEmpty(); }));
    EXPECT_EQ(alerts.last().title, QStringLiteral("Error"));
    EXPECT_EQ(alerts.last().message, QStringLiteral("Not enough free space"));
    EXPECT_FALSE(overlayUp());
    EXPECT_FALSE(QFileInfo::exists(zip));
    alerts.clear();
    FSStats::setFreeSpaceOverride(std::nullopt);

    // Never while a download runs.
    DemoLibrary::createDownload(runs.appData(), QStringLiteral("Night Train"), QStringLiteral("13"), 3, 1);
    screen->tableView()->tapButton({0, 0});
    ASSERT_EQ(alerts.alerts().size(), 1u);
    EXPECT_EQ(alerts.last().message, QStringLiteral("Not while downloading"));
    EXPECT_FALSE(overlayUp());
    EXPECT_FALSE(screen->exportQueue() && screen->exportQueue()->operationCount() > 0);
}

TEST_F(LibraryScreens, ViewerGoesOnToTheNextChapterWithPagesAndRemembersTheLastRead)
{
    AppData &data = runs.appData();
    // Chapter 4 has no pages, so chapter 3 has nowhere to go.
    auto empty = data.createChapterWithTitle(QStringLiteral("Blue Harbor 4"), Decimal(4), 5, false);
    empty->setBook(DemoLibrary::chapter(data, QStringLiteral("Blue Harbor"), QStringLiteral("1"))->book());
    ASSERT_FALSE(data.save());
    ChaptersViewController *screen = openBook(QStringLiteral("Blue Harbor"));
    ASSERT_TRUE(screen);
    screen->tableView()->tapRow({0, 0});
    auto *viewer = qobject_cast<PagesViewController *>(app->booksNavigationController()->topViewController());
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->delegate(), screen);
    EXPECT_EQ(viewer->title(), QStringLiteral("Blue Harbor 1"));
    EXPECT_FALSE(viewer->showSaveButton());
    EXPECT_EQ(app->booksRestoreLocation(), QList<int>({0, 0}));

    ASSERT_TRUE(screen->pagesViewControllerHasNextChapter(viewer));
    EXPECT_EQ(viewer->nextChapter()->title(), QStringLiteral("Blue Harbor 2"));
    screen->pagesViewControllerWillGotoNextChapter(viewer);
    viewer->gotoNextChapter();
    EXPECT_EQ(DemoLibrary::chapter(data, QStringLiteral("Blue Harbor"), QStringLiteral("1"))->lastPageRead(),
              0);
    EXPECT_EQ(app->booksRestoreLocation(), QList<int>({0, 1}));
    EXPECT_TRUE(screen->pagesViewControllerHasNextChapter(viewer));
    viewer->setChapter(DemoLibrary::chapter(data, QStringLiteral("Blue Harbor"), QStringLiteral("3")));
    EXPECT_FALSE(screen->pagesViewControllerHasNextChapter(viewer));
    EXPECT_FALSE(viewer->nextChapter());
    EXPECT_FALSE(screen->nextChapterIndexPath());

    // Leaving the viewer makes its chapter the last read, shown on the list.
    viewer->setChapter(DemoLibrary::chapter(data, QStringLiteral("Blue Harbor"), QStringLiteral("2")));
    app->booksNavigationController()->popViewController();
    EXPECT_EQ(screen->book()->lastChapterNumberRead(), Decimal(20));
    EXPECT_EQ(screen->tableView()->cellForRow({0, 1}).statusText, QStringLiteral("Last read"));
    EXPECT_EQ(app->booksRestoreLocation(), QList<int>({0, -1}));
}

TEST_F(LibraryScreens, PositionIsRestoredAfterACleanRestartAndDroppedWhenGone)
{
    ChaptersViewController *screen = openBook(QStringLiteral("Paper Lanterns"));
    ASSERT_TRUE(screen);
    screen->tableView()->tapRow({0, 1});
    EXPECT_EQ(app->booksRestoreLocation(), QList<int>({2, 1}));
    app->applicationWillTerminate();

    app = runs.start();
    auto *viewer = qobject_cast<PagesViewController *>(app->booksNavigationController()->topViewController());
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->chapter()->title(), QStringLiteral("Paper Lanterns 2"));
    EXPECT_EQ(app->booksRestoreLocation(), QList<int>({2, 1}));

    // Back to the list the restart skipped: it is all there.
    app->booksNavigationController()->popToRootViewController();
    ASSERT_TRUE(pumpEventsUntil([&] { return !app->booksViewController()->isRefreshPending(); }));
    EXPECT_EQ(rows(app->booksViewController()->tableView()).size(), 3);

    // A chapter row that no longer exists opens the book only.
    app->booksRestoreLocation() = {2, 7};
    app->applicationWillTerminate();
    app = runs.start();
    auto *chapters =
        qobject_cast<ChaptersViewController *>(app->booksNavigationController()->topViewController());
    ASSERT_TRUE(chapters);
    EXPECT_EQ(chapters->book()->title(), QStringLiteral("Paper Lanterns"));

    // A book row beyond the list opens nothing and is forgotten.
    app->booksRestoreLocation() = {9, 0};
    app->applicationWillTerminate();
    app = runs.start();
    EXPECT_EQ(app->booksNavigationController()->topViewController(), app->booksViewController());
    EXPECT_EQ(app->booksRestoreLocation().value(0), -1);
}

class LibraryScreensWithoutSwipe : public LibraryScreens
{
protected:
    LibraryScreensWithoutSwipe() : LibraryScreens(false) {}
};

// Holds the removal queue until the test lets it go, so the removal a start
// resumes is still running when the screen looks.
class Gate : public Operation
{
public:
    void main() override
    {
        std::unique_lock lock(mutex);
        opened.wait(lock, [this] { return isOpen; });
    }
    void open()
    {
        {
            std::lock_guard lock(mutex);
            isOpen = true;
        }
        opened.notify_all();
    }

private:
    std::mutex mutex;
    std::condition_variable opened;
    bool isOpen = false;
};

TEST_F(LibraryScreensWithoutSwipe, RemovalLeftByAnEarlierRunHoldsTheOverlayUntilItEnds)
{
    const QString leftOver = MyDirectories::sharedMyDirectories().imagesDirectory() + QStringLiteral("/gone");
    ASSERT_TRUE(QDir().mkpath(leftOver + QStringLiteral("/sub")));
    RemovePathsQueueWrapper::writeRemovePaths({leftOver});
    runs.stop();
    auto gate = std::make_shared<Gate>();
    LibraryQueues::removePathsQueueWrapper()->queue().addOperation(gate);
    app = runs.start();
    quietNotices();
    openLibrary();
    EXPECT_TRUE(overlayUp());
    gate->open();
    ASSERT_TRUE(pumpEventsUntil([&] { return !overlayUp(); }));
    EXPECT_FALSE(QFileInfo::exists(leftOver));

    // Nothing left to remove: the next start shows the list straight away.
    runs.stop();
    app = runs.start();
    openLibrary();
    EXPECT_FALSE(overlayUp());
}

} // namespace

#include <algorithm>
#include <memory>

#include <gmock/gmock.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

#include "catalogue/NavChaptersFetcherQueueWrapper.h"
#include "catalogue/NavRecentChaptersFetcherQueueWrapper.h"
#include "demo/DemoSite.h"
#include "download/DeducerFetcher.h"
#include "download/DownloadManager.h"
#include "files/FSStats.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sites/NavSections.h"
#include "sites/NavRecentChaptersFetcher.h"
#include "sites/NavSite.h"
#include "sites/SiteConfig.h"
#include "sites/mangafox/NavChaptersFetcherMangaFox.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "store/Download.h"
#include "store/DownloadsRequest.h"
#include "store/Favorite.h"
#include "store/FavoritesRequest.h"
#include "support/EventLoop.h"
#include "ui/AppRuns.h"
#include "ui/downloads/DownloadsViewController.h"
#include "ui/internet/LicenseViewController.h"
#include "ui/internet/NavBooksViewController.h"
#include "ui/internet/NavCategoriesViewController.h"
#include "ui/internet/NavChaptersViewController.h"
#include "ui/internet/NavFavoriteDetailViewController.h"
#include "ui/internet/NavFavoriteEditViewController.h"
#include "ui/internet/NavFavoritesViewController.h"
#include "ui/internet/NavRecentChaptersViewController.h"
#include "ui/internet/NavRootViewController.h"
#include "ui/internet/NavTitleView.h"
#include "ui/kit/MyHelpAlertViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/SearchBar.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TableView.h"
#include "ui/pages/DownloadPagesViewController.h"

namespace {

constexpr quint64 MB = quint64(1) << 20;

// The app against the demo site in this process; its slow chapter is kept
// short. Free space is pinned so the disk the tests run on does not matter.
class ChapterScreens : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        site = new DemoSite(DemoSite::Options{0, 1, std::chrono::milliseconds(60)});
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
        fox = site->layout(QStringLiteral("mangafox"));
        FSStats::setFreeSpaceOverride(100 * 1024 * MB);
        runs.start();
        // Latest releases read the favourites on their fetch's thread: from
        // this run's store, not the process's shared one.
        NavRecentChaptersFetcher::setFavoriteTitlesProvider(
            [data = &runs.appData()] { return NavRecentChaptersFetcher::favoriteTitles(*data); });
        runs.defaults().setBool(true, SettingsKeys::showFavoritesHelpViewed);
        runs.defaults().setBool(true, SettingsKeys::showEditFavoritesHelpViewed);
    }

    void TearDown() override
    {
        DeducerFetcher &deducer = DownloadManager::sharedDownloadManager().deducerFetcher();
        while (!deducer.waitQueueIsEmpty())
            deducer.popFromWaitQueue();
        deducer.interruptRunningDownload();
        pumpEventsUntil([&] { return !deducer.isBusy(); });
        auto &latest = DownloadManager::sharedDownloadManager().navRecentChaptersFetcherQueueWrapper();
        latest.cancel();
        pumpEventsUntil([&] { return latest.queue().operationCount() == 0; });
        NavRecentChaptersFetcher::setFavoriteTitlesProvider({});
        runs.stop();
        FSStats::setFreeSpaceOverride(std::nullopt);
        SiteConfig::clearOverrides();
    }

    NavigationController *nav() const { return runs.app()->internetNavigationController(); }
    template <class Screen> Screen *top() const { return qobject_cast<Screen *>(nav()->topViewController()); }

    NavChaptersViewController *openBook(const DemoLayout &layout, int book, NavScreenContext context,
                                        bool showAddFavorites = true)
    {
        const NavBook navBook(site->catalogue().book(book).title, layout.bookURL(book));
        nav()->pushViewController(std::make_unique<NavChaptersViewController>(
            std::move(context), navBook, layout.baseURL(), layout.name(), showAddFavorites));
        auto *screen = top<NavChaptersViewController>();
        EXPECT_TRUE(screen && pumpEventsUntil([screen] { return !screen->isLoading(); }));
        return screen;
    }
    NavChaptersViewController *openBook(const DemoLayout &layout, int book)
    {
        return openBook(layout, book, runs.app()->navScreenContext());
    }

    // Leaving for another screen and coming back.
    void comeBack()
    {
        nav()->pushViewController(std::make_unique<ViewController>());
        pumpEvents();
        nav()->popViewController();
        pumpEvents();
    }

    std::vector<std::shared_ptr<Download>> downloads() const
    {
        return runs.appData().managedObjectContext()->fetch<Download>(DownloadsRequest());
    }
    std::vector<std::shared_ptr<Favorite>> favorites() const
    {
        return runs.appData().managedObjectContext()->fetch<Favorite>(FavoritesRequest());
    }

    static QString mark(NavBaseChaptersViewController *screen, int row)
    {
        return screen->cellForRow({0, row}).detailText;
    }
    static bool offersDownload(NavBaseChaptersViewController *screen, int row)
    {
        return screen->cellForRow({0, row}).buttonTitle == u"Download";
    }

    static inline DemoSite *site = nullptr;
    const DemoLayout *fox = nullptr;
    AppRuns runs;
};

TEST_F(ChapterScreens, FromTheCatalogueToADownloadedChapterInTheViewer)
{
    auto *root = qobject_cast<NavRootViewController *>(nav()->rootViewController());
    root->tableView()->tapRow({0, 1});
    auto *categories = top<NavCategoriesViewController>();
    ASSERT_TRUE(categories);
    const auto &sections = root->sites()[1].sections()->sections();
    const auto listRow = std::find_if(sections.begin(), sections.end(),
                                      [](const NavSection &section) { return !section.useBooksSearch; });
    ASSERT_NE(listRow, sections.end());
    categories->tableView()->tapRow({0, int(listRow - sections.begin())});
    auto *list = top<NavBooksViewController>();
    ASSERT_TRUE(list && pumpEventsUntil([list] { return !list->books().isEmpty(); }));
    const QString title = site->catalogue().book(5).title;
    list->searchBar()->type(title);
    ASSERT_GE(list->tableView()->numberOfRows(0), 1);
    list->tableView()->tapRow({0, 0});

    auto *chapters = top<NavChaptersViewController>();
    ASSERT_TRUE(chapters);
    EXPECT_EQ(chapters->book().title(), title);
    ASSERT_TRUE(pumpEventsUntil([chapters] { return !chapters->isLoading(); }));
    ASSERT_FALSE(chapters->chapters().isEmpty());
    EXPECT_TRUE(chapters->bulkDownloadButton()->isVisible());
    EXPECT_EQ(chapters->bulkDownloadButton()->text(), u"Download 20");
    EXPECT_TRUE(chapters->infoButton()->isEnabled());
    EXPECT_TRUE(chapters->addFavoritesButton()->isEnabled());

    // The book's details open from the title, and close with Done.
    chapters->infoButton()->click();
    auto *info = qobject_cast<NavBookInfoViewController *>(runs.app()->topScreen());
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->navBookInfo().coverUrlString.startsWith(u"http"));
    info->done();
    EXPECT_EQ(runs.app()->topScreen(), chapters);

    ASSERT_TRUE(offersDownload(chapters, 0));
    chapters->tableView()->tapButton({0, 0});
    EXPECT_FALSE(offersDownload(chapters, 0));
    EXPECT_EQ(mark(chapters, 0), u"Downloading");
    const auto download = chapters->queuedOrDownloadingChapters().value(
        NavBaseChaptersViewController::downloadKey(title, chapters->chapters()[0].title()));
    ASSERT_TRUE(download);
    ASSERT_TRUE(pumpEventsUntil([&] { return download->isComplete() && !download->isDownloading(); }));
    pumpEvents();
    EXPECT_EQ(mark(chapters, 0), u"Highest downloaded chapter");
    EXPECT_TRUE(offersDownload(chapters, 0));

    runs.app()->tabBarController()->setSelectedIndex(MangaAppDelegate::DownloadsTab);
    auto *downloadsNav = runs.app()->downloadsNavigationController();
    auto *downloadsScreen = qobject_cast<DownloadsViewController *>(downloadsNav->rootViewController());
    if (downloadsScreen->alertViewController()->isShowing())
        downloadsScreen->alertViewController()->okButtonClicked();
    ASSERT_EQ(downloadsScreen->downloads().size(), 1u);
    downloadsScreen->tableView()->tapRow({0, 0});
    auto *viewer = qobject_cast<DownloadPagesViewController *>(downloadsNav->topViewController());
    ASSERT_TRUE(viewer);
}

TEST_F(ChapterScreens, MarksComeFromTheLibraryAndDownloadsAndBulkTakesTheChaptersAfterTheHighest)
{
    // The book with the most chapters, so the list scrolls.
    int book = 4;
    for (int b = 4; b < 40; ++b)
        if (site->catalogue().book(b).chapters.size() > site->catalogue().book(book).chapters.size())
            book = b;
    NavChaptersViewController *screen = openBook(*fox, book);
    ASSERT_TRUE(screen);
    const QList<NavChapter> listed = screen->chapters();
    ASSERT_GE(listed.size(), 10);

    // Newest first: the five oldest in the library, the seventh oldest a
    // complete download, the sixth nowhere.
    const int count = int(listed.size());
    auto rowOfOldest = [count](int n) { return count - n; };
    AppData &data = runs.appData();
    const QString title = screen->book().title();
    auto library = data.createBookWithTitle(title, fox->name());
    for (int n = 1; n <= 5; ++n) {
        const NavChapter &chapter = listed[rowOfOldest(n)];
        data.createChapterWithTitle(chapter.title(), *chapter.number(), 3, true)->setBook(library);
    }
    const NavChapter &seventh = listed[rowOfOldest(7)];
    auto complete = data.createDownloadWithRootTitle(fox->name(), title, seventh.title(), seventh.urlString(),
                                                     *seventh.number(), QDateTime::currentDateTime(), 3);
    complete->setBook(data.downloadsBook());
    complete->setIsComplete(true);
    data.save();
    comeBack();

    EXPECT_EQ(screen->lastDownloadedChapterTableViewRow(), rowOfOldest(7));
    EXPECT_EQ(mark(screen, rowOfOldest(7)), u"Highest downloaded chapter");
    EXPECT_EQ(mark(screen, rowOfOldest(6)), u"");
    EXPECT_EQ(mark(screen, rowOfOldest(1)), u"Downloaded");
    EXPECT_EQ(mark(screen, rowOfOldest(5)), u"Downloaded");

    // "Jump to DL'ed" brings the highest up from the end of the list, but
    // not while the search narrows it.
    QScrollBar *scroll = screen->tableView()->listView()->verticalScrollBar();
    ASSERT_GT(scroll->maximum(), 0);
    screen->searchBar()->type(seventh.title());
    scroll->setValue(scroll->maximum());
    screen->jumpToHighestDLButton()->click();
    EXPECT_EQ(scroll->value(), scroll->maximum());
    screen->searchBar()->tapCancelButton();
    scroll->setValue(scroll->maximum());
    screen->jumpToHighestDLButton()->click();
    EXPECT_LT(scroll->value(), scroll->maximum());

    // The bulk button asks for the rows above the highest, nearest first.
    const int expected = std::min(NavChaptersViewController::BulkDownloadCount, rowOfOldest(7));
    screen->bulkDownloadButton()->click();
    DeducerFetcher &deducer = DownloadManager::sharedDownloadManager().deducerFetcher();
    ASSERT_EQ(deducer.waitQueueSize(), expected - 1);
    EXPECT_EQ(deducer.waitQueue().front()->title(), listed[rowOfOldest(7) - 2].title());
    for (int row = 0; row < count; ++row)
        EXPECT_EQ(offersDownload(screen, row), row < rowOfOldest(7) - expected || row >= rowOfOldest(7))
            << row;
    EXPECT_EQ(mark(screen, rowOfOldest(7) - 1), u"Downloading");
    EXPECT_FALSE(data.managedObjectContext()->hasChanges());

    runs.alerts->clear();
    screen->bulkDownloadButton()->click();
    ASSERT_EQ(runs.alerts->alerts().size(), 1u);
    EXPECT_EQ(runs.alerts->last().title, u"Cannot download in bulk when already downloading or queued");
    EXPECT_EQ(deducer.waitQueueSize(), expected - 1);
}

TEST_F(ChapterScreens, DownloadsAreRefusedWithoutNetworkSpaceOrRoomInTheQueue)
{
    bool reachable = true;
    bool full = false;
    NavScreenContext context = runs.app()->navScreenContext();
    context.reachable = [&reachable] { return reachable; };
    context.waitQueueIsFull = [&full] { return full; };
    NavChaptersViewController *screen = openBook(*fox, 6, context);
    ASSERT_TRUE(screen);
    runs.alerts->clear();

    struct Refusal {
        bool reachable;
        quint64 freeMB;
        bool full;
        const char *title;
        const char *message;
    };
    const Refusal refusals[] = {
        {false, 1000, false, "Cannot connect to the internet", ""},
        {true, 250, false, "Download cancelled", "Only 250.00 MB left on device\n250 MB required."},
        {true, 251, true, "Queue is full", ""},
    };
    for (const Refusal &refusal : refusals) {
        SCOPED_TRACE(refusal.title);
        reachable = refusal.reachable;
        full = refusal.full;
        FSStats::setFreeSpaceOverride(refusal.freeMB * MB);
        screen->tableView()->tapButton({0, 0});
        ASSERT_EQ(runs.alerts->alerts().size(), 1u);
        EXPECT_EQ(runs.alerts->last().title, QString::fromUtf8(refusal.title));
        EXPECT_EQ(runs.alerts->last().message, QString::fromUtf8(refusal.message));
        EXPECT_TRUE(downloads().empty());
        EXPECT_TRUE(offersDownload(screen, 0));
        runs.alerts->clear();
    }

    // One megabyte more than the chapter needs is enough; the bulk button
    // asks for more.
    full = false;
    screen->tableView()->tapButton({0, 0});
    EXPECT_TRUE(runs.alerts->isEmpty());
    EXPECT_EQ(downloads().size(), 1u);
    EXPECT_FALSE(offersDownload(screen, 0));
    FSStats::setFreeSpaceOverride(550 * MB);
    screen->bulkDownloadButton()->click();
    ASSERT_EQ(runs.alerts->alerts().size(), 1u);
    EXPECT_EQ(runs.alerts->last().title, u"Download cancelled");
    EXPECT_EQ(downloads().size(), 1u);
}

TEST_F(ChapterScreens, SearchResultsDownloadTheRowShownAndTheHighestMarkWeighsWholeNumbers)
{
    NavChaptersViewController *screen = openBook(*fox, 8);
    ASSERT_TRUE(screen);
    const QList<NavChapter> listed = screen->chapters();
    ASSERT_GE(listed.size(), 3);

    // The matches ignore case, and a match's button asks for that chapter,
    // not for the row of the whole list at the same place.
    const NavChapter oldest = listed.back();
    screen->searchBar()->type(oldest.title().toLower());
    const QList<NavChapter> matches = screen->filteredChapters();
    ASSERT_FALSE(matches.isEmpty());
    const int row = int(matches.indexOf(oldest));
    ASSERT_GE(row, 0);
    screen->tableView()->tapButton({0, row});
    EXPECT_EQ(screen->selectedChapter(), oldest);
    ASSERT_EQ(downloads().size(), 1u);
    EXPECT_EQ(downloads()[0]->title(), oldest.title());
    EXPECT_FALSE(offersDownload(screen, row));
    screen->searchBar()->tapCancelButton();
    EXPECT_FALSE(offersDownload(screen, int(listed.size()) - 1));

    // A complete download and a library chapter of the same whole number:
    // the download is the newer copy. A higher whole number in the library wins.
    AppData &data = runs.appData();
    const QString title = screen->book().title();
    const Decimal middle = *listed[1].number();
    auto library = data.createBookWithTitle(title, fox->name());
    data.createChapterWithTitle(listed[1].title(), middle, 3, true)->setBook(library);
    const Decimal half = middle + Decimal::fromString(u"0.5");
    auto complete = data.createDownloadWithRootTitle(fox->name(), title, QStringLiteral("half"), QString(),
                                                     half, QDateTime::currentDateTime(), 3);
    complete->setBook(data.downloadsBook());
    complete->setIsComplete(true);
    data.save();
    comeBack();
    ASSERT_TRUE(screen->lastDownloadedChapter());
    EXPECT_EQ(*screen->lastDownloadedChapter(), half);
    EXPECT_EQ(mark(screen, 1), u"Downloaded");

    data.createChapterWithTitle(listed[0].title(), *listed[0].number(), 3, true)->setBook(library);
    data.save();
    comeBack();
    EXPECT_EQ(screen->lastDownloadedChapterTableViewRow(), 0);
    EXPECT_EQ(mark(screen, 0), u"Highest downloaded chapter");
}

// Reads a book page as the site has it and says a second page follows,
// once: the second page is the same page again.
class PagedChaptersFetcher : public NavChaptersFetcherMangaFox
{
public:
    PagedChaptersFetcher(const QString &url, NavBaseChaptersFetcherDelegate *delegate, bool more)
        : NavChaptersFetcherMangaFox(url, delegate), more_(more)
    {}
    bool go() override
    {
        const bool read = NavChaptersFetcherMangaFox::go();
        if (more_)
            nextPage_ = urlString_;
        return read;
    }

private:
    bool more_;
};

class PagedChaptersWrapper : public NavChaptersFetcherQueueWrapper
{
protected:
    std::shared_ptr<NavBaseChaptersFetcher> fetcherWithURLString(const QString &url) override
    {
        return std::make_shared<PagedChaptersFetcher>(url, this, fetches_++ == 0);
    }

private:
    int fetches_ = 0;
};

TEST_F(ChapterScreens, TheNextPageRowAppendsTheSitesFollowingPage)
{
    PagedChaptersWrapper paged;
    NavScreenContext context = runs.app()->navScreenContext();
    context.chaptersFetcher = &paged;
    NavChaptersViewController *screen = openBook(*fox, 7, context);
    ASSERT_TRUE(screen);
    const int first = int(screen->chapters().size());
    ASSERT_GT(first, 0);
    ASSERT_TRUE(screen->hasNextPageRow());
    ASSERT_EQ(screen->tableView()->numberOfRows(0), first + 1);
    EXPECT_EQ(screen->cellForRow({0, first}).text, u"Next Page");
    screen->tableView()->tapRow({0, 0}); // a chapter row does nothing
    EXPECT_FALSE(screen->tableView()->indexPathForSelectedRow());

    screen->tableView()->tapRow({0, first});
    EXPECT_FALSE(screen->isLoading());
    ASSERT_TRUE(pumpEventsUntil([&] { return screen->chapters().size() == 2 * first; }));
    EXPECT_FALSE(screen->hasNextPageRow());
    EXPECT_EQ(screen->tableView()->numberOfRows(0), 2 * first);
    nav()->popViewController();
    pumpEventsUntil([&] { return paged.queue().operationCount() == 0; });
}

TEST_F(ChapterScreens, FavouritesNarrowTheLatestReleasesAndAreEditedAndRemoved)
{
    EXPECT_EQ(NavRecentChaptersViewController::rowLabel(QStringLiteral("Blue Harbor"),
                                                        QStringLiteral("Blue Harbor 12")),
              u"Blue Harbor  12");

    auto *root = qobject_cast<NavRootViewController *>(nav()->rootViewController());
    root->tableView()->tapRow({0, 4});
    auto *latest = top<NavRecentChaptersViewController>();
    ASSERT_TRUE(latest && pumpEventsUntil([latest] { return !latest->isLoading(); }));
    const int all = latest->tableView()->numberOfRows(0);
    ASSERT_GT(all, 1);
    EXPECT_TRUE(latest->favoritesBar()->isVisible());
    // The latest releases name a book but not its page; the catalogue knows it.
    const QString bookTitle = latest->books()[0].title();
    const auto &books = site->catalogue().books();
    const auto demoBook =
        std::find_if(books.begin(), books.end(), [&](const DemoBook &b) { return b.title == bookTitle; });
    ASSERT_NE(demoBook, books.end());
    const NavBook book(bookTitle, fox->bookURL(int(demoBook - books.begin())));
    EXPECT_EQ(latest->cellForRow({0, 0}).text,
              NavRecentChaptersViewController::rowLabel(book.title(), latest->chapters()[0].title()));
    latest->showFavoritesButton()->trigger();
    EXPECT_EQ(latest->showFavoritesButton()->text(), u"Show All");
    EXPECT_EQ(latest->tableView()->numberOfRows(0), 0);
    latest->showFavoritesButton()->trigger();

    // A favourite kept from its chapter list; a second one dropped with Cancel.
    auto addFavorite = [&](bool keep) {
        nav()->pushViewController(std::make_unique<NavChaptersViewController>(
            runs.app()->navScreenContext(), book, latest->rootURLString(), latest->rootTitle(), true));
        auto *chapters = top<NavChaptersViewController>();
        ASSERT_TRUE(pumpEventsUntil([chapters] { return !chapters->isLoading(); }));
        chapters->addFavoritesButton()->trigger();
        auto *panel = qobject_cast<NavFavoriteDetailViewController *>(runs.app()->topScreen());
        ASSERT_TRUE(panel);
        EXPECT_EQ(panel->cellForRow({0, 0}).detailText, book.title());
        EXPECT_EQ(panel->cellForRow({0, 1}).detailText, latest->rootTitle());
        keep ? panel->saveButton()->trigger() : panel->cancelButton()->trigger();
        EXPECT_EQ(runs.app()->topScreen(), chapters);
        nav()->popViewController();
        pumpEvents();
    };
    addFavorite(true);
    addFavorite(false);
    ASSERT_EQ(favorites().size(), 1u);
    EXPECT_EQ(favorites()[0]->urlString(), book.urlString());
    EXPECT_FALSE(runs.appData().managedObjectContext()->hasChanges());

    latest->showFavoritesButton()->trigger();
    const int favourite = latest->tableView()->numberOfRows(0);
    ASSERT_GE(favourite, 1);
    for (int row = 0; row < favourite; ++row)
        EXPECT_EQ(latest->favoritesBooks()[row].title(), book.title());
    // The search looks within the favourites; the toggle waits for it to end.
    const auto other = std::find_if(latest->books().begin(), latest->books().end(), [&](const NavBook &b) {
        return !b.title().contains(book.title()) && !book.title().contains(b.title());
    });
    ASSERT_NE(other, latest->books().end());
    latest->searchBar()->type(other->title());
    EXPECT_EQ(latest->tableView()->numberOfRows(0), 0);
    latest->showFavoritesButton()->trigger();
    EXPECT_TRUE(latest->isShowingFavorites());
    latest->searchBar()->tapCancelButton();
    latest->tableView()->tapButton({0, 0});
    EXPECT_FALSE(offersDownload(latest, 0));
    ASSERT_EQ(downloads().size(), 1u);
    EXPECT_EQ(downloads()[0]->bookTitle(), book.title());

    // Renamed in the favourites list, the favourite no longer names the book.
    nav()->popToRootViewController();
    root->tableView()->tapRow({0, 0});
    auto *favourites = top<NavFavoritesViewController>();
    ASSERT_TRUE(favourites);
    ASSERT_EQ(favourites->tableView()->numberOfRows(0), 1);
    EXPECT_EQ(favourites->cellForRow({0, 0}).detailText, latest->rootTitle());
    favourites->setEditing(true);
    favourites->tableView()->tapRow({0, 0});
    auto *edit = top<NavFavoriteEditViewController>();
    ASSERT_TRUE(edit);
    edit->titleField()->setText(QString());
    EXPECT_FALSE(edit->saveButton()->isEnabled());
    edit->titleField()->setText(QStringLiteral("Renamed"));
    ASSERT_TRUE(edit->saveButton()->isEnabled());
    edit->saveButton()->trigger();
    pumpEvents();
    EXPECT_EQ(top<NavFavoritesViewController>(), favourites);
    EXPECT_EQ(favourites->cellForRow({0, 0}).text, u"Renamed");
    EXPECT_EQ(favorites()[0]->title(), u"Renamed");

    nav()->popToRootViewController();
    root->tableView()->tapRow({0, 4});
    latest = top<NavRecentChaptersViewController>();
    ASSERT_TRUE(latest && pumpEventsUntil([latest] { return !latest->isLoading(); }));
    latest->showFavoritesButton()->trigger();
    EXPECT_EQ(latest->tableView()->numberOfRows(0), 0);

    // A favourite opens its chapters without the add button; deleted, it is gone.
    nav()->popToRootViewController();
    root->tableView()->tapRow({0, 0});
    favourites = top<NavFavoritesViewController>();
    favourites->tableView()->tapRow({0, 0});
    auto *chapters = top<NavChaptersViewController>();
    ASSERT_TRUE(chapters);
    EXPECT_FALSE(chapters->showAddFavorites());
    EXPECT_FALSE(chapters->addFavoritesButton());
    nav()->popViewController();
    pumpEvents();
    favourites->setEditing(true);
    favourites->tableView()->tapDelete({0, 0});
    EXPECT_EQ(favourites->tableView()->numberOfRows(0), 0);
    EXPECT_TRUE(favorites().empty());
}

TEST_F(ChapterScreens, ALicenceNoteCoversTheListUntilDismissed)
{
    const DemoLayout *one = site->layout(QStringLiteral("onemanga"));
    const int noted = site->catalogue().licenseNoteBook();
    NavChaptersViewController *screen = openBook(*one, noted);
    ASSERT_TRUE(screen);
    LicenseViewController *panel = screen->licenseViewController();
    ASSERT_TRUE(panel->isShowing());
    EXPECT_EQ(panel->label()->text(), site->catalogue().book(noted).licenseNote);
    EXPECT_EQ(panel->geometry(), screen->rect());
    EXPECT_GT(screen->tableView()->numberOfRows(0), 0);

    panel->buyButton()->click();
    ASSERT_EQ(runs.links->urls().size(), 1u);
    EXPECT_TRUE(runs.links->urls()[0].toString().contains(u"stripbooks"));
    panel->dismissButton()->click();
    EXPECT_FALSE(panel->isShowing());
    EXPECT_EQ(screen->tableView()->numberOfRows(0), int(screen->chapters().size()));

    NavChaptersViewController *plain = openBook(*one, noted + 1);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->licenseViewController()->isShowing());
}

} // namespace

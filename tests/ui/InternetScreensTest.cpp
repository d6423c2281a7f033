#include <memory>

#include <gmock/gmock.h>

#include <QLabel>
#include <QToolButton>

#include "catalogue/NavBooksFetcherQueueWrapper.h"
#include "catalogue/SiteRegistry.h"
#include "demo/DemoSite.h"
#include "files/UrlStringJoins.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sites/NavBooksCache.h"
#include "sites/NavChaptersFetcher.h"
#include "sites/SiteConfig.h"
#include "support/EventLoop.h"
#include "support/HomeFixture.h"
#include "ui/internet/AsyncImageView.h"
#include "ui/internet/NavBookInfoViewController.h"
#include "ui/internet/NavBooksSearchViewController.h"
#include "ui/internet/NavBooksViewController.h"
#include "ui/internet/NavCategoriesViewController.h"
#include "ui/internet/NavRootViewController.h"
#include "ui/kit/ActivityIndicatorView.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/SearchBar.h"
#include "ui/kit/TableView.h"

namespace {

// The Internet tab on its own navigation stack, against the demo site in
// this process: every site of the catalogue points at it.
class InternetScreens : public HomeFixture
{
protected:
    static void SetUpTestSuite()
    {
        site = new DemoSite(DemoSite::Options{});
        const std::pair<SiteConfig::Site, const char *> sites[] = {
            {SiteConfig::Site::MangaFox, "mangafox"},
            {SiteConfig::Site::MangaReader, "mangareader"},
            {SiteConfig::Site::MangaHere, "mangahere"},
            {SiteConfig::Site::OneManga, "onemanga"}};
        for (const auto &[which, name] : sites)
            SiteConfig::setOverride(which, site->layout(QString::fromLatin1(name))->baseURL());
    }
    static void TearDownTestSuite()
    {
        SiteConfig::clearOverrides();
        delete site;
        site = nullptr;
    }

    void SetUp() override
    {
        HomeFixture::SetUp();
        defaults.setFilename(root.filePath(QStringLiteral("userDefaults")));
        defaults.setBool(true, SettingsKeys::showBasicHelpViewed);
        defaults.setBool(true, SettingsKeys::showDeleteMessage);
        NavScreenContext context;
        context.services.userDefaults = &defaults;
        context.booksFetcher = &wrapper;
        context.reachable = [this] { return reachable; };
        context.openBook = [this](ViewController &, const NavBook &book, const QString &rootURL,
                                  const QString &) { opened.emplace_back(book, rootURL); };
        auto rootScreen = std::make_unique<NavRootViewController>(context);
        root_ = rootScreen.get();
        nav = std::make_unique<NavigationController>(std::move(rootScreen));
        nav->resize(390, 760);
        nav->show();
        pumpEvents();
    }
    void TearDown() override
    {
        nav.reset();
        wrapper.cancel();
        pumpEventsUntil([this] { return wrapper.queue().operationCount() == 0; });
        HomeFixture::TearDown();
    }

    template <class Screen> Screen *top() const { return qobject_cast<Screen *>(nav->topViewController()); }

    NavBooksViewController *openList(int siteRow, int sectionRow, bool wait = true)
    {
        nav->popToRootViewController();
        root_->tableView()->tapRow({0, siteRow});
        top<NavCategoriesViewController>()->tableView()->tapRow({0, sectionRow});
        auto *list = top<NavBooksViewController>();
        if (list && wait) {
            EXPECT_TRUE(pumpEventsUntil([list] { return !list->activityIndicatorView()->isAnimating(); }));
        }
        return list;
    }

    // The first section of the site that lists books rather than searching.
    int firstListRow(int siteRow) const
    {
        const auto &rows = root_->sites()[size_t(siteRow)].sections()->sections();
        for (size_t i = 0; i < rows.size(); ++i)
            if (!rows[i].useBooksSearch)
                return int(i);
        return -1;
    }

    static QStringList titles(const QList<NavBook> &books)
    {
        QStringList out;
        for (const NavBook &book : books)
            out << book.title();
        return out;
    }

    static inline DemoSite *site = nullptr;
    MyUserDefaults defaults;
    NavBooksFetcherQueueWrapper wrapper;
    bool reachable = true;
    std::vector<std::pair<NavBook, QString>> opened;
    NavRootViewController *root_ = nullptr;
    std::unique_ptr<NavigationController> nav;
};

class NoReport : public NavBaseChaptersFetcherDelegate
{
public:
    void navBaseChaptersFetcherFinished(NavBaseChaptersFetcher *) override {}
    void navBaseChaptersFetcherFailed(NavBaseChaptersFetcher *) override {}
};

TEST_F(InternetScreens, EachLayoutWalksFromTheCatalogueToABooksDetails)
{
    QStringList licensed;
    for (const DemoBook &book : site->catalogue().books())
        if (book.licensed)
            licensed << book.title;
    ASSERT_FALSE(licensed.isEmpty());

    EXPECT_EQ(root_->title(), u"Internet");
    EXPECT_TRUE(root_->diskSpaceLabel()->text().startsWith(u"Available "));
    for (int siteRow = 1; siteRow <= 3; ++siteRow) {
        SCOPED_TRACE(siteRow);
        NavBooksViewController *list = openList(siteRow, firstListRow(siteRow));
        ASSERT_TRUE(list);
        EXPECT_EQ(list->rootURLString(), root_->sites()[size_t(siteRow)].rootUrl());
        ASSERT_FALSE(list->books().isEmpty());
        EXPECT_TRUE(list->updatedLabel()->text().startsWith(u"Last updated: "));
        for (const QString &title : titles(list->books()))
            EXPECT_FALSE(licensed.contains(title)) << title.toStdString();

        opened.clear();
        int section = 0;
        while (list->tableView()->numberOfRows(section) == 0 &&
               section < list->tableView()->numberOfSections())
            ++section;
        list->tableView()->tapRow({section, 0});
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_EQ(opened[0].second, list->rootURLString());

        // The details panel of that book, as the chapter list opens it.
        NoReport noReport;
        auto fetcher = SiteRegistry::navChaptersFetcherWithURLString(
            urlStringByAppendingPathComponent(list->rootURLString(), opened[0].first.urlString()), &noReport);
        fetcher->start();
        NavBookInfo info = fetcher->navBookInfo();
        ASSERT_FALSE(info.coverUrlString.isEmpty());
        NavBookInfoViewController::resolveCoverURL(info, list->rootURLString());
        EXPECT_TRUE(info.coverUrlString.startsWith(u"http"));
        NavBookInfoViewController details(opened[0].first.title(), info, nullptr);
        details.resize(390, 700);
        details.show();
        ASSERT_EQ(details.tableView()->numberOfSections(), 2);
        EXPECT_EQ(details.items().front().label, u"Title");
        EXPECT_EQ(details.items().front().value, opened[0].first.title());
        EXPECT_TRUE(pumpEventsUntil([&] { return details.coverView()->hasImage(); }));
        EXPECT_FALSE(details.coverView()->activityIndicator()->isAnimating());
    }
}

TEST_F(InternetScreens, TheCacheOpensTheSecondVisitAndReloadRefreshesIt)
{
    const int row = firstListRow(1);
    NavBooksViewController *list = openList(1, row);
    ASSERT_TRUE(list);
    const QStringList first = titles(list->books());
    ASSERT_FALSE(first.isEmpty());

    // Second visit: shown at once from the cache, nothing fetched.
    nav->popViewController();
    pumpEvents();
    list = openList(1, row, false);
    EXPECT_EQ(titles(list->books()), first);
    EXPECT_FALSE(list->activityIndicatorView()->isAnimating());
    EXPECT_EQ(wrapper.queue().operationCount(), 0);
    EXPECT_TRUE(list->updatedLabel()->text().startsWith(u"Last updated: "));

    list->reloadButton()->click();
    EXPECT_EQ(list->updatedLabel()->text(), u"Loading.  Please be patient...");
    EXPECT_TRUE(list->activityIndicatorView()->isAnimating());
    EXPECT_TRUE(pumpEventsUntil([list] { return !list->activityIndicatorView()->isAnimating(); }));
    EXPECT_TRUE(list->updatedLabel()->text().startsWith(u"Last updated: "));
    EXPECT_EQ(titles(list->books()), first);

    // Leaving a list that is still loading cancels its fetch, and the fetch
    // never reaches the screen that has gone.
    nav->popToRootViewController();
    pumpEvents();
    root_->tableView()->tapRow({0, 2});
    top<NavCategoriesViewController>()->tableView()->tapRow({0, firstListRow(2)});
    auto *loading = top<NavBooksViewController>();
    ASSERT_TRUE(loading && loading->activityIndicatorView()->isAnimating());
    nav->popToRootViewController();
    EXPECT_TRUE(pumpEventsUntil([this] { return wrapper.queue().operationCount() == 0; }));
    pumpEvents();
    EXPECT_EQ(nav->topViewController(), root_);
}

TEST_F(InternetScreens, IndexSectionsAndTheSearchField)
{
    NavBooksViewController *list = openList(2, 0); // "All", indexed
    ASSERT_TRUE(list && list->useSections());
    const QStringList index = list->sectionIndexTitles();
    ASSERT_EQ(index.size(), 27);
    EXPECT_EQ(index.front(), u"A");
    EXPECT_EQ(index.back(), u"#");
    int rows = 0;
    for (int s = 0; s < list->tableView()->numberOfSections(); ++s) {
        rows += list->tableView()->numberOfRows(s);
        if (list->tableView()->numberOfRows(s) > 0)
            EXPECT_EQ(list->titleForHeader(s), index[s]);
        else
            EXPECT_TRUE(list->titleForHeader(s).isEmpty());
    }
    EXPECT_EQ(rows, list->books().size());
    EXPECT_EQ(list->cellForRow({0, 0}).accessory, TableCell::Accessory::None);

    // Typing narrows the list to the titles containing the text, in any case.
    const QString title = list->books().at(list->books().size() / 2).title();
    const QString part = title.mid(1, 4).toUpper();
    list->searchBar()->type(part);
    ASSERT_TRUE(list->isSearching());
    EXPECT_EQ(list->tableView()->numberOfSections(), 1);
    EXPECT_TRUE(list->sectionIndexTitles().isEmpty());
    EXPECT_TRUE(titles(list->filteredBooks()).contains(title));
    for (const QString &t : titles(list->filteredBooks()))
        EXPECT_TRUE(t.toLower().contains(part.toLower())) << t.toStdString();
    opened.clear();
    list->tableView()->tapRow({0, 0});
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].first, list->filteredBooks().first());

    list->searchBar()->tapCancelButton();
    EXPECT_FALSE(list->isSearching());
    EXPECT_EQ(list->tableView()->numberOfSections(), 27);
}

TEST_F(InternetScreens, SiteSearchEscapesTheTextAndShowsWhatTheSiteFound)
{
    EXPECT_EQ(NavBooksSearchViewController::escapedSearchText(QStringLiteral("rock & roll")),
              u"rock+%26;+roll");
    EXPECT_EQ(NavBooksSearchViewController::escapedSearchText(QStringLiteral("it's \"x\" 100%")),
              u"it%27;s+%22;x%22;+100%");

    root_->tableView()->tapRow({0, 1});
    top<NavCategoriesViewController>()->tableView()->tapRow({0, 0}); // "Search All"
    auto *search = top<NavBooksSearchViewController>();
    ASSERT_TRUE(search);
    EXPECT_EQ(search->searchURLString(QStringLiteral("rock & roll")),
              search->rootURLString() + u"search.php?name=rock+%26;+roll");
    EXPECT_EQ(search->tableView()->numberOfRows(0), 0);

    search->searchBar()->beginEditing();
    EXPECT_TRUE(search->coverView()->isVisible());
    search->tableView()->tapRow({0, 0}); // nothing to select under the panel

    const DemoBook &book = site->catalogue().book(site->catalogue().byTitle().front());
    const QString word = book.title.section(u' ', 0, 0);
    search->searchBar()->setText(word);
    search->searchBar()->tapSearchButton();
    EXPECT_FALSE(search->coverView()->isVisible());
    ASSERT_TRUE(pumpEventsUntil([search] { return search->tableView()->numberOfRows(0) > 0; }));
    EXPECT_TRUE(titles(search->books()).contains(book.title));
    EXPECT_FALSE(NavBooksCache::exists(search->rootTitle(), search->directoryURLString()));

    // Cancel stops a search in flight.
    search->searchBar()->setText(word);
    search->searchBar()->tapSearchButton();
    search->searchBar()->tapCancelButton();
    EXPECT_TRUE(search->searchBar()->text().isEmpty());
    EXPECT_FALSE(search->activityIndicatorView()->isAnimating());
    EXPECT_TRUE(pumpEventsUntil([this] { return wrapper.queue().operationCount() == 0; }));
}

TEST_F(InternetScreens, ACoverThatFailsLeavesTheSpinnerTurning)
{
    NavBookInfo info;
    info.coverUrlString = QStringLiteral("/no/such/cover.jpg");
    info.author = QStringLiteral("A. Author");
    info.summary = QStringLiteral("It&#39;s &quot;fine&quot;");
    NavBookInfoViewController::resolveCoverURL(info, site->layout(QStringLiteral("mangafox"))->baseURL());
    NavBookInfoViewController details(QStringLiteral("Some Book"), info, nullptr);
    details.resize(390, 700);
    details.show();
    std::vector<bool> finished;
    QObject::connect(details.coverView(), &AsyncImageView::loadFinished,
                     [&finished](bool loaded) { finished.push_back(loaded); });
    ASSERT_TRUE(pumpEventsUntil([&] { return !finished.empty(); }));
    EXPECT_FALSE(finished.front());
    EXPECT_FALSE(details.coverView()->hasImage());
    EXPECT_TRUE(details.coverView()->activityIndicator()->isAnimating());

    QStringList labels;
    for (const auto &item : details.items())
        labels << item.label;
    EXPECT_EQ(labels,
              (QStringList{QStringLiteral("Title"), QStringLiteral("Author(s)"), QStringLiteral("Summary")}));
    EXPECT_EQ(details.items().back().value, u"It's \"fine\"");
    EXPECT_EQ(details.heightForRow({0, 0}), details.width() - 35);

    // A details panel closed while its cover still loads is never called back.
    auto closing = std::make_unique<NavBookInfoViewController>(QStringLiteral("Other"), info, nullptr);
    closing->show();
    closing.reset();
    pumpEventsUntil([] { return AsyncImageView::queue().operationCount() == 0; });
}

TEST_F(InternetScreens, NoticesAndTheNetworkCheck)
{
    // The uninstall notice on the first visit only.
    ASSERT_EQ(alerts->alerts().size(), 1u);
    EXPECT_FALSE(defaults.boolForKey(SettingsKeys::showDeleteMessage));
    alerts->clear();
    nav->hide();
    nav->show();
    EXPECT_TRUE(alerts->isEmpty());

    // Without a network no site row opens.
    reachable = false;
    root_->tableView()->tapRow({0, 1});
    EXPECT_EQ(nav->topViewController(), root_);
    ASSERT_EQ(alerts->alerts().size(), 1u);
    EXPECT_EQ(alerts->last().title, u"Cannot connect to the internet");
    alerts->clear();
    reachable = true;

    // The site-transition notice: on a MangaFox list only, once; while it is
    // pending the OneManga one is not considered.
    defaults.setBool(true, SettingsKeys::showMangaFoxUpdate);
    defaults.setBool(true, SettingsKeys::showOneMangaUpdate);
    openList(2, firstListRow(2));
    EXPECT_TRUE(alerts->isEmpty());
    EXPECT_TRUE(defaults.boolForKey(SettingsKeys::showOneMangaUpdate));
    openList(1, firstListRow(1));
    ASSERT_EQ(alerts->alerts().size(), 1u);
    EXPECT_EQ(alerts->last().title, u"Important");
    EXPECT_FALSE(defaults.boolForKey(SettingsKeys::showMangaFoxUpdate));
    alerts->clear();
    openList(1, firstListRow(1));
    EXPECT_TRUE(alerts->isEmpty());
}

} // namespace

// The Internet tab's scenes for yomora-screenshots, read from the demo site
// running in this process, with every site pointed at it.
#include "ui/internet/InternetScenes.h"

#include <memory>

#include <QElapsedTimer>

#include "app/MangaAppDelegate.h"
#include "app/screenshots/ScreenshotScene.h"
#include "catalogue/SiteRegistry.h"
#include "demo/DemoSite.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sites/NavChaptersFetcher.h"
#include "sites/SiteConfig.h"
#include "ui/internet/AsyncImageView.h"
#include "ui/internet/NavBookInfoViewController.h"
#include "ui/internet/NavBooksViewController.h"
#include "ui/internet/NavCategoriesViewController.h"
#include "ui/internet/NavRootViewController.h"
#include "ui/kit/ActivityIndicatorView.h"
#include "ui/kit/MyHelpAlertViewController.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TableView.h"

namespace {

using namespace InternetScenes;

// The sites' lists are read from the demo site before the scene starts, so
// the catalogue's addresses are the demo site's.
NavBooksViewController *openList(MangaAppDelegate &app, int siteRow, int sectionRow)
{
    NavRootViewController *root = openInternet(app);
    root->createSites();
    root->tableView()->tapRow({0, siteRow});
    auto *categories =
        qobject_cast<NavCategoriesViewController *>(app.internetNavigationController()->topViewController());
    categories->tableView()->tapRow({0, sectionRow});
    auto *list =
        qobject_cast<NavBooksViewController *>(app.internetNavigationController()->topViewController());
    waitUntil([list] { return !list->books().isEmpty(); });
    return list;
}

class InfoDismisser : public NavBookInfoViewControllerDelegate
{
public:
    void navBookInfoViewControllerDidSelectDismiss(NavBookInfoViewController *controller) override
    {
        controller->dismissModalViewController();
    }
};

class NoReport : public NavBaseChaptersFetcherDelegate
{
public:
    void navBaseChaptersFetcherFinished(NavBaseChaptersFetcher *) override {}
    void navBaseChaptersFetcherFailed(NavBaseChaptersFetcher *) override {}
};

void showBookDetails(MangaAppDelegate &app)
{
    NavBooksViewController *list = openList(app, 2, 0);
    const DemoLayout *layout = demoSite().layout(QStringLiteral("mangareader"));
    const int book = 3;
    NoReport noReport;
    auto fetcher = SiteRegistry::navChaptersFetcherWithURLString(layout->bookURL(book), &noReport);
    fetcher->start();
    NavBookInfo info = fetcher->navBookInfo();
    NavBookInfoViewController::resolveCoverURL(info, list->rootURLString());
    static InfoDismisser dismisser;
    auto details = std::make_unique<NavBookInfoViewController>(demoSite().catalogue().book(book).title, info,
                                                               &dismisser);
    NavBookInfoViewController *raw = details.get();
    auto stack = std::make_unique<NavigationController>(std::move(details));
    stack->navigationBar()->setBarStyle(NavigationBar::Style::Black);
    list->presentModalViewController(std::move(stack));
    waitUntil([raw] { return !raw->coverView() || raw->coverView()->hasImage(); });
}

const ScreenshotScene::Registrar scenes{
    {QStringLiteral("internet-catalogue"), [](MangaAppDelegate &app) { openInternet(app); }},
    {QStringLiteral("internet-list-index"), [](MangaAppDelegate &app) { openList(app, 2, 0); }},
    {QStringLiteral("internet-book-details"), showBookDetails},
};

} // namespace

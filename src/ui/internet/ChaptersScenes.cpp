// The chapter lists' scenes for yomora-screenshots: a book's chapters with
// every kind of mark, a licensed book's notice, a site's latest releases and
// the favourites, all read from the demo site in this process.
#include <QDateTime>

#include "app/MangaAppDelegate.h"
#include "app/screenshots/ScreenshotScene.h"
#include "demo/DemoSite.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "store/Download.h"
#include "ui/internet/InternetScenes.h"
#include "ui/internet/NavChaptersViewController.h"
#include "ui/internet/NavFavoritesViewController.h"
#include "ui/internet/NavRecentChaptersViewController.h"
#include "ui/internet/NavRootViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TableView.h"

namespace {

using namespace InternetScenes;

template <class Screen> Screen *topScreen(MangaAppDelegate &app)
{
    return qobject_cast<Screen *>(app.internetNavigationController()->topViewController());
}

void quietNotices(MangaAppDelegate &app)
{
    app.userDefaults().setBool(true, SettingsKeys::showFavoritesHelpViewed);
    app.userDefaults().setBool(true, SettingsKeys::showEditFavoritesHelpViewed);
}

NavChaptersViewController *openBook(MangaAppDelegate &app, const QString &layoutName, int book)
{
    openInternet(app);
    quietNotices(app);
    const DemoLayout *layout = demoSite().layout(layoutName);
    const NavBook navBook(demoSite().catalogue().book(book).title, layout->bookURL(book));
    app.internetNavigationController()->pushViewController(std::make_unique<NavChaptersViewController>(
        app.navScreenContext(), navBook, layout->baseURL(), layout->name(), true));
    auto *screen = topScreen<NavChaptersViewController>(app);
    waitUntil([screen] { return !screen->isLoading(); });
    return screen;
}

std::shared_ptr<Download> addDownload(AppData &data, const QString &rootTitle, const QString &bookTitle,
                                      const NavChapter &chapter)
{
    auto download = data.createDownloadWithRootTitle(
        rootTitle, bookTitle, chapter.title(), chapter.urlString(),
        chapter.number().value_or(Decimal::zero()), QDateTime::currentDateTime(), 12);
    download->setBook(data.downloadsBook());
    return download;
}

// Newest first: a chapter waiting in the queue, one whose pages could not
// be found, two not downloaded, then the highest chapter in the library and
// the ones before it.
void chaptersMarks(MangaAppDelegate &app)
{
    int book = 4;
    for (int b = 4; b < 40; ++b)
        if (demoSite().catalogue().book(b).chapters.size() >
            demoSite().catalogue().book(book).chapters.size())
            book = b;
    NavChaptersViewController *screen = openBook(app, QStringLiteral("mangafox"), book);
    const QList<NavChapter> chapters = screen->chapters();
    if (chapters.size() < 6)
        return;
    AppData &data = app.appData();
    const QString title = screen->book().title();
    auto library = data.createBookWithTitle(title, screen->rootTitle());
    for (qsizetype row = 4; row < chapters.size(); ++row)
        data.createChapterWithTitle(chapters[row].title(), chapters[row].number().value_or(Decimal::zero()),
                                    12, true)
            ->setBook(library);
    addDownload(data, screen->rootTitle(), title, chapters[0])->setIsQueued(true);
    addDownload(data, screen->rootTitle(), title, chapters[1])
        ->setNextChapterURL(QStringLiteral("Cannot find the pages of this chapter"));
    data.save();
    // Shown again, as after coming back from another screen.
    screen->findQueuedOrDownloadingChapters();
    screen->fetchExistingChapters();
    screen->updateTable();
    screen->tableView()->scrollToRow({0, 0});
}

void chaptersLicense(MangaAppDelegate &app)
{
    openBook(app, QStringLiteral("onemanga"), demoSite().catalogue().licenseNoteBook());
    ScreenshotScene::settle(600); // the fade
}

void latest(MangaAppDelegate &app)
{
    NavRootViewController *root = openInternet(app);
    quietNotices(app);
    root->createSites();
    root->tableView()->tapRow({0, 4});
    auto *screen = topScreen<NavRecentChaptersViewController>(app);
    waitUntil([screen] { return !screen->isLoading(); });
    if (screen->chapters().isEmpty())
        return;
    AppData &data = app.appData();
    addDownload(data, screen->rootTitle(), screen->books()[1].title(), screen->chapters()[1])
        ->setIsQueued(true);
    data.save();
    screen->findQueuedOrDownloadingChapters();
    screen->tableView()->reloadData();
}

void favorites(MangaAppDelegate &app)
{
    NavRootViewController *root = openInternet(app);
    quietNotices(app);
    root->createSites();
    AppData &data = app.appData();
    // One book of each site of the catalogue (rows 1 to 3).
    const char *const layouts[] = {"mangafox", "mangareader", "mangahere"};
    for (int site = 0; site < 3; ++site) {
        const DemoLayout *layout = demoSite().layout(QString::fromLatin1(layouts[site]));
        const int book = 5 + 3 * site;
        data.createFavoriteWithTitle(demoSite().catalogue().book(book).title, layout->bookURL(book),
                                     layout->baseURL(), root->sites()[size_t(site + 1)].rootTitle());
    }
    data.save();
    root->tableView()->tapRow({0, 0});
}

const ScreenshotScene::Registrar scenes{
    {QStringLiteral("chapters-marks"), chaptersMarks},
    {QStringLiteral("chapters-license"), chaptersLicense},
    {QStringLiteral("latest"), latest},
    {QStringLiteral("favorites"), favorites},
};

} // namespace
